#include "SingleInstance.h"

#include "DataFolder.h"
#include "Window.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QWidget>

Q_LOGGING_CATEGORY(lcInstance, "stavo.instance", QtWarningMsg)

namespace platform {

namespace {
QString serverName(const QString& name)
{
    // Local server names live in one namespace per user; the data folder tells copies apart.
    const QByteArray key = (DataFolder() + QLatin1Char('/') + name).toUtf8();
    return QStringLiteral("stavo-") + QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}
} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent), m_name(name) {}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_lock)
        m_lock->unlock();
}

bool SingleInstance::acquire()
{
    m_lock = std::make_unique<QLockFile>(DataFile(m_name + QStringLiteral(".lock")));
    m_lock->setStaleLockTime(0); // a lock left by a dead process is taken over, never timed out
    if (!m_lock->tryLock(0)) {
        // Another copy runs: ask it to come forward and end.
        QLocalSocket socket;
        socket.connectToServer(serverName(m_name));
        if (socket.waitForConnected(1000)) {
            socket.write("forward\n");
            socket.waitForBytesWritten(1000);
            if (socket.waitForReadyRead(1000))
                m_reply = QString::fromLatin1(socket.readLine().trimmed());
            socket.disconnectFromServer();
            qCInfo(lcInstance) << "another copy runs; it answered" << m_reply;
        }
        m_lock.reset();
        return false;
    }
    m_server = new QLocalServer(this);
    const QString sn = serverName(m_name);
    QLocalServer::removeServer(sn);
    m_server->listen(sn);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
    return true;
}

void SingleInstance::onConnection()
{
    while (QLocalSocket* s = m_server->nextPendingConnection()) {
        connect(s, &QLocalSocket::readyRead, this, [this, s] {
            if (!s->canReadLine())
                return;
            const QByteArray line = s->readLine().trimmed();
            bool honoured = false;
            if (line == "forward" && m_window) {
                const Window* w = Window::FromWidget(m_window);
                if (w && w->GetProp(propertyName()) == 1) {
                    BringForward(m_window);
                    honoured = true;
                }
            }
            s->write(honoured ? "raised\n" : "ignored\n");
            s->flush();
            s->disconnectFromServer();
            emit forwardRequested(honoured);
        });
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    }
}

void BringForward(QWidget* w)
{
    if (!w)
        return;
    w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace platform
