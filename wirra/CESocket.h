#pragma once
// CCESocket: a TCP client socket on Qt Network, driven by the program's event loop. It tells its
// owner window what happens with three messages, delivered through the event loop (never from inside
// the socket's own calls), each carrying the socket's address as the second parameter:
//   WM_SOCKET_EVENT    wParam SOCKET_FAILED (0): the attempt failed (name lookup, refused,
//                      unreachable, no answer within the connect time limit);
//                      SOCKET_CONNECTED (1): the connection is up;
//                      SOCKET_LOST (2): the connection broke after it was up (reset, network error).
//                      (3, SOCKET_ENDED, is an ended connection too; this socket does not send it.)
//   WM_SOCKET_RECEIVE  wParam n: n more bytes wait in m_bufRecv;
//   WM_SOCKET_CLOSED   the peer closed the connection (or Close() ended it).
// A message still queued when the socket is destroyed is dropped, so an owner never hears of a
// socket it has already destroyed. Each kind of end is reported once.
//
// Read flag 0 (vSetRead0Flag(0)): every block read is put in m_bufRecv and announced at once. The
// buffer is bounded; while it is full the socket stops reading, so TCP holds the peer back.
// Read flag 1: the socket collects a whole answer and announces it in one message: when the text
// "ENDSOURCETABLE" has arrived, when the peer closes, when the peer stays silent for the silence
// limit, when the answer has taken the answer time limit (a peer that sends without end), or when
// 8 MB have arrived (the answer is cut there). Later bytes are dropped.
//
// States: idle -> Create -> created -> Connect -> connecting -> (event 1) connected -> (closed,
// event 2, or Close) ended; connecting -> (event 0) ended.

#include "NBuffer.h"

#include "platform/WinTypes.h"

#include <QByteArray>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QTcpSocket;
class QTimer;
class QWidget;

namespace platform {
class Window;
}

constexpr platform::UINT WM_SOCKET_RECEIVE = platform::WM_USER + 41; // 0x0429
constexpr platform::UINT WM_SOCKET_CLOSED = platform::WM_USER + 42;  // 0x042A
constexpr platform::UINT WM_SOCKET_EVENT = platform::WM_USER + 44;   // 0x042C

enum SocketEventCode : int { SOCKET_FAILED = 0, SOCKET_CONNECTED = 1, SOCKET_LOST = 2, SOCKET_ENDED = 3 };

// The handheld's own host entry: its IPv4 addresses, bytes in network order. h_addrtype is 0 when
// the host has no IPv4 address at all, else 2 (AF_INET).
struct HostEntry {
    int h_addrtype = 0;
    std::vector<std::array<platform::BYTE, 4>> h_addr_list;
};

// Prepares the socket layer once before any socket is used (nothing to do on Qt; kept for callers).
platform::BOOL StartWSA();

class CCESocket {
public:
    CCESocket();
    virtual ~CCESocket();
    CCESocket(const CCESocket&) = delete;
    CCESocket& operator=(const CCESocket&) = delete;

    // The addresses of the network interfaces that are up (not loopback); when there is none, the
    // loopback address, as a host name lookup of the handheld itself gives. Valid until the next call.
    static const HostEntry* lpGetLocoalAddress();
    // For tests: where lpGetLocoalAddress takes its entry from (null restores the interfaces).
    static void SetLocalAddressSource(std::function<HostEntry()> source);

    // 1: deliver whole answers, 0: deliver every block (the default). Set before Create.
    void vSetRead0Flag(int flag);
    // Makes the socket; owner receives the messages. FALSE without an owner or when already made.
    platform::BOOL Create(int type, platform::Window* owner);
    // Starts connecting to a host name or dotted address; TRUE when the attempt has started.
    platform::BOOL Connect(const QString& host, unsigned port);
    // Sends the text one byte per character (Latin-1; others as "?"); returns the number of bytes
    // or -1 when not connected, when the write fails, or when 256 kB are still waiting to go out.
    virtual int Send(const QString& text);
    // Ends the connection at once; the owner hears of it as of a close by the peer.
    void Close();

    bool IsConnected() const { return m_state == State::Connected; }

    CnBuffer m_bufRecv;    // received bytes, taken by the owner
    QString m_strRequest;  // the request the owner sends when the connection is up

    static constexpr int kWholeAnswerCap = 8 * 1024 * 1024;
    static constexpr int kMaxUnsent = 256 * 1024;
    // Time limits in milliseconds (scaled by the platform's real-time scale, as every timer is).
    static constexpr int kConnectLimitMs = 20000;
    static constexpr int kAnswerSilenceLimitMs = 30000;
    static constexpr int kAnswerTimeLimitMs = 120000;

private:
    enum class State { Idle, Created, Connecting, Connected, Ended };
    void Post(platform::UINT message, platform::WPARAM wParam);
    void OnConnected();
    void OnReadable();
    void OnError(int error);
    void OnDisconnected();
    void OnConnectLimit();
    void OnAnswerLimit();
    void ReadBlocks();
    void ReadWholeAnswer();
    void DeliverAnswer();
    void EndWith(platform::UINT message, platform::WPARAM wParam);
    void AfterDelivery();
    static CCESocket* Live(quint64 id);

    State m_state = State::Idle;
    int m_nReadFlag = 0;
    quint64 m_id;
    QPointer<QWidget> m_owner;
    QTcpSocket* m_sock = nullptr;
    std::unique_ptr<QTimer> m_connectTimer;
    std::unique_ptr<QTimer> m_silenceTimer;
    std::unique_ptr<QTimer> m_answerTimer;
    QByteArray m_answer;     // read flag 1: the answer collected so far
    bool m_bDelivered = false;
    bool m_bPaused = false;  // read flag 0: the buffer was full
};
