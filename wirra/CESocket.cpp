#include "CESocket.h"

#include "platform/Clock.h"
#include "platform/Window.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QTcpSocket>
#include <QTimer>
#include <QWidget>

#include <unordered_map>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

using platform::BOOL;
using platform::FALSE;
using platform::TRUE;

namespace {

constexpr int kAfInet = 2;
constexpr qint64 kQtReadBuffer = 64 * 1024; // Qt's own buffer stays this small; TCP holds the rest
const QByteArray kEndOfTable = QByteArrayLiteral("ENDSOURCETABLE");

// Sockets alive now, by serial number: a queued message finds its socket here or is dropped.
std::unordered_map<quint64, CCESocket*>& LiveSockets()
{
    static std::unordered_map<quint64, CCESocket*> live;
    return live;
}
quint64 g_nextId = 1;

std::function<HostEntry()>& LocalAddressSource()
{
    static std::function<HostEntry()> source;
    return source;
}

HostEntry InterfaceAddresses()
{
    HostEntry e;
    QList<QHostAddress> loopback;
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        const auto flags = i.flags();
        if (!(flags & QNetworkInterface::IsUp))
            continue;
        for (const QNetworkAddressEntry& a : i.addressEntries()) {
            const QHostAddress ip = a.ip();
            if (ip.protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            if (ip.isLoopback()) {
                loopback << ip;
                continue;
            }
            if (!(flags & QNetworkInterface::IsRunning))
                continue;
            const quint32 v = ip.toIPv4Address();
            e.h_addr_list.push_back({platform::BYTE(v >> 24), platform::BYTE(v >> 16), platform::BYTE(v >> 8),
                                     platform::BYTE(v)});
        }
    }
    if (e.h_addr_list.empty() && !loopback.isEmpty()) {
        const quint32 v = loopback.first().toIPv4Address();
        e.h_addr_list.push_back(
            {platform::BYTE(v >> 24), platform::BYTE(v >> 16), platform::BYTE(v >> 8), platform::BYTE(v)});
    }
    e.h_addrtype = e.h_addr_list.empty() ? 0 : kAfInet;
    return e;
}

int Scaled(int ms)
{
    const double f = platform::Clock::realScale();
    const double v = double(ms) * (f > 0 ? f : 1.0);
    return v < 1 ? 1 : int(v);
}

} // namespace

BOOL StartWSA() { return TRUE; }

const HostEntry* CCESocket::lpGetLocoalAddress()
{
    static HostEntry entry;
    entry = LocalAddressSource() ? LocalAddressSource()() : InterfaceAddresses();
    return &entry;
}

void CCESocket::SetLocalAddressSource(std::function<HostEntry()> source) { LocalAddressSource() = std::move(source); }

CCESocket::CCESocket() : m_id(g_nextId++) { LiveSockets()[m_id] = this; }

CCESocket::~CCESocket()
{
    LiveSockets().erase(m_id);
    m_connectTimer.reset();
    m_silenceTimer.reset();
    m_answerTimer.reset();
    if (m_sock) {
        // Nothing the socket does while it goes may reach this half-destroyed object.
        QObject::disconnect(m_sock, nullptr, nullptr, nullptr);
        m_sock->abort();
        delete m_sock;
    }
}

CCESocket* CCESocket::Live(quint64 id)
{
    const auto it = LiveSockets().find(id);
    return it == LiveSockets().end() ? nullptr : it->second;
}

void CCESocket::vSetRead0Flag(int flag)
{
    m_nReadFlag = flag ? 1 : 0;
    m_bufRecv.SetCapacity(m_nReadFlag ? kWholeAnswerCap : CnBuffer::kDefaultCapacity);
}

BOOL CCESocket::Create(int, platform::Window* owner)
{
    if (!owner || m_state != State::Idle || !QCoreApplication::instance())
        return FALSE;
    m_owner = owner->widget();
    m_sock = new QTcpSocket;
    m_sock->setReadBufferSize(kQtReadBuffer);
    QObject::connect(m_sock, &QTcpSocket::connected, m_sock, [this] { OnConnected(); });
    QObject::connect(m_sock, &QTcpSocket::readyRead, m_sock, [this] { OnReadable(); });
    QObject::connect(m_sock, &QTcpSocket::errorOccurred, m_sock,
                     [this](QAbstractSocket::SocketError e) { OnError(int(e)); });
    QObject::connect(m_sock, &QTcpSocket::disconnected, m_sock, [this] { OnDisconnected(); });
    m_connectTimer = std::make_unique<QTimer>();
    m_connectTimer->setSingleShot(true);
    QObject::connect(m_connectTimer.get(), &QTimer::timeout, m_connectTimer.get(), [this] { OnConnectLimit(); });
    m_silenceTimer = std::make_unique<QTimer>();
    m_silenceTimer->setSingleShot(true);
    QObject::connect(m_silenceTimer.get(), &QTimer::timeout, m_silenceTimer.get(), [this] { OnAnswerLimit(); });
    // A peer that never stops sending (a raw stream where a caster was expected) ends the answer too.
    m_answerTimer = std::make_unique<QTimer>();
    m_answerTimer->setSingleShot(true);
    QObject::connect(m_answerTimer.get(), &QTimer::timeout, m_answerTimer.get(), [this] { OnAnswerLimit(); });
    m_state = State::Created;
    return TRUE;
}

BOOL CCESocket::Connect(const QString& host, unsigned port)
{
    if (m_state != State::Created || host.trimmed().isEmpty() || port == 0 || port > 65535)
        return FALSE;
    m_state = State::Connecting;
    m_connectTimer->start(Scaled(kConnectLimitMs));
    // A dotted address connects directly; a name is looked up first (asynchronously).
    m_sock->connectToHost(host.trimmed(), quint16(port));
    return TRUE;
}

int CCESocket::Send(const QString& text)
{
    if (m_state != State::Connected || !m_sock)
        return -1;
    const QByteArray bytes = text.toLatin1();
    if (bytes.isEmpty())
        return 0;
    // A peer that takes nothing must not make us hold an ever longer queue.
    if (m_sock->bytesToWrite() + bytes.size() > kMaxUnsent)
        return -1;
    if (m_sock->write(bytes) != bytes.size())
        return -1;
    m_sock->flush();
    return int(bytes.size());
}

void CCESocket::Close()
{
    if (m_state == State::Connected) {
        m_sock->abort(); // disconnected() follows at once and reports the close
    } else if (m_state == State::Connecting) {
        EndWith(WM_SOCKET_EVENT, SOCKET_FAILED);
    }
}

void CCESocket::Post(platform::UINT message, platform::WPARAM wParam)
{
    const quint64 id = m_id;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [id, message, wParam] {
            CCESocket* s = Live(id);
            if (!s || !s->m_owner)
                return;
            if (platform::Window* w = platform::Window::FromWidget(s->m_owner))
                w->SendMessage(message, wParam, platform::LPARAM(s));
            // The owner may have destroyed the socket in its handler.
            if (CCESocket* again = Live(id))
                again->AfterDelivery();
        },
        Qt::QueuedConnection);
}

void CCESocket::AfterDelivery()
{
    // Read flag 0: the owner has taken bytes; carry on with what Qt holds.
    if (m_bPaused && m_state == State::Connected && m_bufRecv.Free() > 0) {
        m_bPaused = false;
        OnReadable();
    }
}

void CCESocket::EndWith(platform::UINT message, platform::WPARAM wParam)
{
    if (m_state == State::Ended)
        return;
    m_state = State::Ended;
    m_connectTimer->stop();
    m_silenceTimer->stop();
    m_answerTimer->stop();
    Post(message, wParam);
    if (m_sock->state() != QAbstractSocket::UnconnectedState)
        QMetaObject::invokeMethod(m_sock, [s = m_sock] { s->abort(); }, Qt::QueuedConnection);
}

void CCESocket::OnConnected()
{
    if (m_state != State::Connecting)
        return;
    m_state = State::Connected;
    m_connectTimer->stop();
    m_sock->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    m_sock->setSocketOption(QAbstractSocket::LowDelayOption, 1);
#ifdef TCP_KEEPIDLE
    // A caster that vanished without closing (power, radio link) is noticed in about 90 s instead of
    // the system's two hours: probes after 60 s of silence, three of them 10 s apart.
    if (const qintptr fd = m_sock->socketDescriptor(); fd >= 0) {
        const int idle = 60, interval = 10, count = 3;
        setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
        setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
        setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    }
#endif
    if (m_nReadFlag) {
        m_silenceTimer->start(Scaled(kAnswerSilenceLimitMs));
        m_answerTimer->start(Scaled(kAnswerTimeLimitMs));
    }
    Post(WM_SOCKET_EVENT, SOCKET_CONNECTED);
}

void CCESocket::OnReadable()
{
    if (m_state != State::Connected && m_state != State::Ended)
        return;
    if (m_nReadFlag)
        ReadWholeAnswer();
    else
        ReadBlocks();
}

void CCESocket::ReadBlocks()
{
    if (m_state != State::Connected)
        return;
    int total = 0;
    char block[16 * 1024];
    while (m_sock->bytesAvailable() > 0) {
        const int room = m_bufRecv.Free();
        if (room <= 0) {
            m_bPaused = true;
            break;
        }
        const qint64 n = m_sock->read(block, qMin<qint64>(qint64(sizeof block), room));
        if (n <= 0)
            break;
        total += m_bufRecv.Put(block, int(n));
    }
    if (total > 0)
        Post(WM_SOCKET_RECEIVE, platform::WPARAM(total));
}

void CCESocket::ReadWholeAnswer()
{
    if (m_bDelivered || m_state != State::Connected) {
        m_sock->readAll(); // the answer is out; what follows is not wanted
        return;
    }
    m_silenceTimer->start(Scaled(kAnswerSilenceLimitMs));
    const qsizetype before = m_answer.size();
    const qint64 room = qMin<qint64>(kWholeAnswerCap - before, m_sock->bytesAvailable());
    if (room > 0)
        m_answer += m_sock->read(room);
    const qsizetype from = qMax<qsizetype>(0, before - (kEndOfTable.size() - 1));
    if (m_answer.indexOf(kEndOfTable, from) >= 0 || m_answer.size() >= kWholeAnswerCap)
        DeliverAnswer();
    if (m_bDelivered)
        m_sock->readAll();
}

void CCESocket::DeliverAnswer()
{
    if (m_bDelivered)
        return;
    m_bDelivered = true;
    m_silenceTimer->stop();
    m_answerTimer->stop();
    if (m_answer.isEmpty())
        return;
    const int n = m_bufRecv.Put(m_answer.constData(), int(m_answer.size()));
    m_answer = QByteArray();
    Post(WM_SOCKET_RECEIVE, platform::WPARAM(n));
}

void CCESocket::OnError(int error)
{
    if (m_state == State::Connecting) {
        EndWith(WM_SOCKET_EVENT, SOCKET_FAILED);
    } else if (m_state == State::Connected) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            OnDisconnected();
        else {
            if (m_nReadFlag)
                DeliverAnswer();
            EndWith(WM_SOCKET_EVENT, SOCKET_LOST);
        }
    }
}

void CCESocket::OnDisconnected()
{
    if (m_state != State::Connected) {
        if (m_state == State::Connecting)
            EndWith(WM_SOCKET_EVENT, SOCKET_FAILED);
        return;
    }
    // What arrived before the close is delivered first.
    if (m_nReadFlag) {
        ReadWholeAnswer();
        DeliverAnswer();
    } else {
        ReadBlocks();
    }
    EndWith(WM_SOCKET_CLOSED, 0);
}

void CCESocket::OnConnectLimit()
{
    if (m_state == State::Connecting)
        EndWith(WM_SOCKET_EVENT, SOCKET_FAILED);
}

void CCESocket::OnAnswerLimit()
{
    if (m_state != State::Connected || m_bDelivered)
        return;
    DeliverAnswer();
    EndWith(WM_SOCKET_CLOSED, 0);
}
