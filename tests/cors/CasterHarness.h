#pragma once
// Casters for the CORS tests, both on loopback ports the system chose:
//   Str2Str        Debian's str2str running as a real NTRIP caster, with a feeder connection on its
//                  input (correction bytes go in there; with -b 1 the GGA a client sends comes back);
//   ScriptedCaster a QTcpServer in the test's own event loop that answers each request as the test
//                  says: for what a real caster does not do (split answers, silence, garbage, ...).

#include "WaitUntil.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <memory>
#include <vector>

namespace corstest {

// A port nobody listens on right now (the system's choice).
inline quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

inline const char* kStrRecord = "RTCM 3.0;1004(1),1005(10),1012(1);2;GPS+GLO;TEST;DEU;52.00;13.00;1;0;str2str;none;B;N;2400;";

class Str2Str {
public:
    // One mount point MOUNT1 (user "user", password "pass"); the source table lists MOUNT1 and MOUNT2.
    Str2Str()
    {
        for (int attempt = 0; attempt < 5 && !m_ok; ++attempt)
            m_ok = start();
    }
    ~Str2Str() { kill(); }

    bool ok() const { return m_ok; }
    quint16 casterPort() const { return m_caster; }
    QTcpSocket& feeder() { return m_feed; }

    // Writes correction bytes into the caster's input.
    void feed(const QByteArray& bytes)
    {
        m_feed.write(bytes);
        m_feed.flush();
    }
    // What came back on the input connection (the GGA of connected clients, with -b 1).
    QByteArray readBack()
    {
        m_back += m_feed.readAll();
        return m_back;
    }
    void kill()
    {
        if (m_proc.state() != QProcess::NotRunning) {
            m_proc.kill();
            m_proc.waitForFinished(3000);
        }
    }

private:
    bool start()
    {
        m_input = FreePort();
        m_caster = FreePort();
        const QString str = QStringLiteral("MOUNT1;") + QLatin1String(kStrRecord) + QStringLiteral("\r\nSTR;MOUNT2;MOUNT2;") +
                            QLatin1String(kStrRecord);
        m_proc.setProgram(QStringLiteral("str2str"));
        m_proc.setArguments({QStringLiteral("-in"), QStringLiteral("tcpsvr://:%1").arg(m_input), QStringLiteral("-out"),
                             QStringLiteral("ntripc://user:pass@:%1/MOUNT1:%2").arg(m_caster).arg(str),
                             QStringLiteral("-b"), QStringLiteral("1")});
        m_proc.setProcessChannelMode(QProcess::MergedChannels);
        m_proc.start();
        if (!m_proc.waitForStarted(5000))
            return false;
        // Listening on both ports once the feeder gets in and a probe reaches the caster port.
        const bool up = WaitUntil(
            [&] {
                if (m_proc.state() == QProcess::NotRunning)
                    return true;
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, m_caster);
                return probe.waitForConnected(200);
            },
            10000);
        if (!up || m_proc.state() == QProcess::NotRunning) {
            kill();
            return false;
        }
        m_feed.connectToHost(QHostAddress::LocalHost, m_input);
        if (!m_feed.waitForConnected(3000)) {
            kill();
            return false;
        }
        return true;
    }

    QProcess m_proc;
    QTcpSocket m_feed;
    QByteArray m_back;
    quint16 m_input = 0, m_caster = 0;
    bool m_ok = false;
};

// One accepted connection of the scripted caster.
struct ScriptedConnection {
    QTcpSocket* socket = nullptr;
    QByteArray received;
    bool answered = false;
};

class ScriptedCaster {
public:
    // Called once per connection when its request (up to the blank line) has arrived.
    using Script = std::function<void(ScriptedConnection&)>;

    explicit ScriptedCaster(Script script) : m_script(std::move(script))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection()) {
                auto c = std::make_shared<ScriptedConnection>();
                c->socket = s;
                m_connections.push_back(c);
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, c] {
                    c->received += c->socket->readAll();
                    if (!c->answered && c->received.contains("\r\n\r\n")) {
                        c->answered = true;
                        m_script(*c);
                    }
                });
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    const std::vector<std::shared_ptr<ScriptedConnection>>& connections() const { return m_connections; }
    ScriptedConnection* last() const { return m_connections.empty() ? nullptr : m_connections.back().get(); }

private:
    QTcpServer m_server;
    Script m_script;
    std::vector<std::shared_ptr<ScriptedConnection>> m_connections;
};

// Writes and pushes the bytes out now.
inline void Say(ScriptedConnection& c, const QByteArray& bytes)
{
    c.socket->write(bytes);
    c.socket->flush();
}

} // namespace corstest
