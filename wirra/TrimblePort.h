#pragma once
// The receiver's port: a serial line whose reader frames what arrives into the CNOut queue and posts
// WM_RECEIVER_DATA to the owner window when messages wait (once per batch: no new notice is posted
// while one is outstanding, i.e. until the program has drained the queue empty).

#include "Framer.h"
#include "NOut.h"
#include "SerialPort.h"

#include <QPointer>
#include <QWidget>

namespace platform {
class Window;
}

constexpr unsigned WM_RECEIVER_DATA = 0x0BE1;

class CTrimblePort : public CMySerialPort {
public:
    // Bits of the option word: which message kinds reach the queue. The program stores 0x00400020
    // (both); 0 also means both.
    static constexpr platform::DWORD kOptionText = 0x00000020;   // NMEA sentences and "$>" replies
    static constexpr platform::DWORD kOptionBinary = 0x00400000; // "$BIN" frames

    CTrimblePort();
    ~CTrimblePort() override;

    platform::DWORD m_dwOption = 0; // taken when the port opens

    // Opens port number n (through the port map, see PortMap.h) at a rate; the owner (may be null)
    // receives WM_RECEIVER_DATA. Any earlier line is closed and waiting messages are forgotten.
    platform::BOOL bOpenPort(platform::Window* owner, unsigned port, unsigned baud);
    // The same with a device path instead of a port number.
    platform::BOOL bOpenDevice(platform::Window* owner, const QString& device, unsigned baud);

    CNOut m_out; // the queue

    // The current message (the one the last successful m_out.Read() took): bytes and length. Text
    // messages are NUL-terminated; binary ones are whole "$BIN" frames.
    const char* pCurrentMessage() const { return m_out.Current().Data(); }
    int nCurrentLength() const { return m_out.Current().Length(); }

    // Writes correction bytes (RTCM and the like) to the receiver as they are. The receiver type
    // (13 from the program) does not change how they are written.
    void vSendCorsData(const char* bytes, int n, int type);

    // Reader statistics so far (bytes in, dropped, bad frames); read from any thread, approximate.
    wirra::FramerStats Stats() const;

protected:
    void OnReceive(const char* data, std::size_t n) override;
    void OnTimer() override;
    void OnRateChanged() override;

private:
    class Sink : public wirra::FrameSink {
    public:
        explicit Sink(CTrimblePort& port) : m_port(port) {}
        void OnFrame(int type, unsigned id, const char* bytes, std::size_t n) override;
        bool m_notify = false;

    private:
        CTrimblePort& m_port;
    };
    void AfterFeed();

    Sink m_sink;
    wirra::Framer m_framer;
    platform::DWORD m_kinds = 0; // m_dwOption's message kinds, fixed while the reader runs
    QPointer<QWidget> m_owner;
    mutable std::mutex m_statsMutex;
    wirra::FramerStats m_stats;
};
