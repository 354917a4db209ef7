#include "RemoteWindow.h"

#include "LastError.h"
#include "LocalName.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <atomic>
#include <unistd.h>

namespace platform {

namespace {
constexpr int kConnectMs = 1000;
constexpr qint64 kMaxLine = 128;

QString serverFor(DWORD handle) { return LocalServerName(QStringLiteral("wnd"), QString::number(handle)); }

// Handles are unique per process and per mailbox, and never 0.
DWORD nextHandle()
{
    static std::atomic<DWORD> counter{0};
    const DWORD n = (counter.fetch_add(1) % 255) + 1;
    return (DWORD(::getpid()) << 8) ^ n;
}
} // namespace

UINT RegisterWindowMessage(const QString& name)
{
    if (name.isEmpty())
        return 0;
    // FNV-1a of the upper-case name: the same number in every process, without a shared table.
    std::uint32_t h = 2166136261u;
    for (const QChar c : name.toUpper()) {
        h ^= c.unicode();
        h *= 16777619u;
    }
    return 0xC000u + (h % 0x4000u);
}

MessageTarget::MessageTarget(Receiver receiver, QObject* parent) : QObject(parent), m_receiver(std::move(receiver))
{
    for (int attempt = 0; attempt < 4 && !m_handle; ++attempt) {
        const DWORD handle = nextHandle();
        if (!handle)
            continue;
        auto* server = new QLocalServer(this);
        QLocalServer::removeServer(serverFor(handle));
        if (server->listen(serverFor(handle))) {
            m_server = server;
            m_handle = handle;
            connect(m_server, &QLocalServer::newConnection, this, &MessageTarget::onConnection);
        } else {
            delete server;
        }
    }
}

MessageTarget::~MessageTarget()
{
    if (m_server)
        m_server->close();
}

void MessageTarget::onConnection()
{
    while (QLocalSocket* s = m_server->nextPendingConnection()) {
        connect(s, &QLocalSocket::readyRead, this, [this, s] { onReadable(s); });
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    }
}

void MessageTarget::onReadable(QLocalSocket* s)
{
    while (s->canReadLine()) {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
        if (ParsePostedMessage(s->readLine(kMaxLine), &message, &wParam, &lParam) && m_receiver)
            m_receiver(message, wParam, lParam);
    }
    if (s->bytesAvailable() > kMaxLine)
        s->abort();
}

bool ParsePostedMessage(const QByteArray& line, UINT* message, WPARAM* wParam, LPARAM* lParam)
{
    const QList<QByteArray> f = line.trimmed().split(' ');
    if (f.size() != 4 || f[0] != "POST")
        return false;
    bool ok1 = false, ok2 = false, ok3 = false;
    const UINT m = f[1].toUInt(&ok1);
    const WPARAM w = WPARAM(f[2].toULongLong(&ok2));
    const LPARAM l = LPARAM(f[3].toLongLong(&ok3));
    if (!ok1 || !ok2 || !ok3)
        return false;
    *message = m;
    *wParam = w;
    *lParam = l;
    return true;
}

BOOL PostMessageToHandle(DWORD hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    QLocalSocket socket;
    if (hwnd)
        socket.connectToServer(serverFor(hwnd));
    if (!hwnd || !socket.waitForConnected(kConnectMs)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    socket.write("POST " + QByteArray::number(message) + ' ' + QByteArray::number(qulonglong(wParam)) + ' '
                 + QByteArray::number(qlonglong(lParam)) + '\n');
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(kConnectMs)) {
    }
    const bool sent = socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kConnectMs);
    if (!sent) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

} // namespace platform
