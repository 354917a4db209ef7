#pragma once
// Runs the simulated receiver on its pseudo-terminal for a test, in a private data folder whose port
// map points port 4 at it, and reads back its command log.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>

#include <optional>
#include <string>
#include <vector>

struct SimLine {
    double t = 0;
    int simBaud = 0;
    int programBaud = 0;
    QString text;
};

class SimHarness {
public:
    explicit SimHarness(QStringList args)
    {
        m_dataFolder = m_home.path() + QStringLiteral("/stavo");
        QDir().mkpath(m_dataFolder);
        m_link = m_dataFolder + QStringLiteral("/ttySIM");
        m_log = m_home.path() + QStringLiteral("/sim.log");
        args << QStringLiteral("--link") << m_link << QStringLiteral("--log") << m_log;
        // The simulator's power stand-ins meet the program in the same data folder.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
        m_sim.setProcessEnvironment(env);
        m_sim.setProgram(QStringLiteral(STAVO_SIM));
        m_sim.setArguments(args);
        m_sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_sim.start();
        m_sim.waitForStarted(5000);
        QElapsedTimer t;
        t.start();
        while (!QFile::exists(m_link) && t.elapsed() < 5000)
            QThread::msleep(10);
        QFile map(m_dataFolder + QStringLiteral("/ports.conf"));
        if (map.open(QIODevice::WriteOnly))
            map.write(QStringLiteral("4=%1\n").arg(m_link).toUtf8());
    }
    ~SimHarness()
    {
        m_sim.terminate();
        m_sim.waitForFinished(3000);
    }

    bool ready() const { return QFile::exists(m_link); }
    QString link() const { return m_link; }

    // Ends the simulator (SIGTERM: it removes its link; the line hangs up for whoever holds it).
    void stop()
    {
        m_sim.terminate();
        m_sim.waitForFinished(5000);
    }
    // Starts it again on the same link (its command log starts afresh); true once the link is there.
    bool restart()
    {
        m_sim.start();
        if (!m_sim.waitForStarted(5000))
            return false;
        QElapsedTimer t;
        t.start();
        while (!QFile::exists(m_link) && t.elapsed() < 5000)
            QThread::msleep(10);
        return QFile::exists(m_link);
    }
    QString home() const { return m_home.path(); }
    QString dataFolder() const { return m_dataFolder; }
    QString logPath() const { return m_log; }
    void signal(int sig) { ::kill(pid_t(m_sim.processId()), sig); }

    std::vector<SimLine> lines() const
    {
        std::vector<SimLine> out;
        QFile f(m_log);
        if (!f.open(QIODevice::ReadOnly))
            return out;
        for (const QByteArray& raw : f.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw);
            const QStringList parts = line.split(QLatin1Char(' '));
            if (parts.size() < 4)
                continue;
            SimLine l;
            l.t = parts[0].toDouble();
            l.simBaud = parts[1].toInt();
            l.programBaud = parts[2].toInt();
            l.text = line.section(QLatin1Char(' '), 3);
            out.push_back(l);
        }
        return out;
    }

    // The first command line equal to text (after index from), if any.
    std::optional<SimLine> find(const QString& text, std::size_t* index = nullptr, std::size_t from = 0) const
    {
        const auto all = lines();
        for (std::size_t i = from; i < all.size(); ++i)
            if (all[i].text == text) {
                if (index)
                    *index = i;
                return all[i];
            }
        return std::nullopt;
    }

    // The whole log, for failure messages.
    std::string dump() const
    {
        QFile f(m_log);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }

    int count(const QString& text) const
    {
        int n = 0;
        for (const SimLine& l : lines())
            n += l.text == text;
        return n;
    }

private:
    QTemporaryDir m_home;
    QString m_dataFolder, m_link, m_log;
    QProcess m_sim;
};
