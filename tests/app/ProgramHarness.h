#pragma once
// Runs the program itself as a separate process for a test, offscreen, in the simulator's data
// folder, with its timers scaled and its message boxes answered from a list and logged
// ("<type> <answer> <text>" a line).

#include "SimHarness.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QThread>

class Program {
public:
    Program(const SimHarness& sim, double scale, const QString& answers = QString())
        : m_boxes(sim.home() + QStringLiteral("/boxes.log"))
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), sim.home());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("STAVO_TIMER_SCALE"), QString::number(scale));
        env.insert(QStringLiteral("STAVO_MSGBOX_LOG"), m_boxes);
        env.insert(QStringLiteral("STAVO_MSGBOX_ANSWERS"), answers);
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("stavo.instance.info=true"));
        m_proc.setProcessEnvironment(env);
        m_proc.setProgram(QStringLiteral(STAVO_EXE));
        m_proc.start();
        m_proc.waitForStarted(5000);
    }
    ~Program()
    {
        if (m_proc.state() != QProcess::NotRunning) {
            m_proc.kill();
            m_proc.waitForFinished(3000);
        }
    }
    QProcess& process() { return m_proc; }
    // The message box log as written.
    QString boxes() const
    {
        QFile f(m_boxes);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QStringList boxLines() const { return boxes().split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

private:
    QString m_boxes;
    QProcess m_proc;
};

// Waits (up to ms of real time, the test's own thread asleep) until the simulator has received text.
inline bool waitFor(const SimHarness& sim, const QString& text, int ms, int occurrences = 1)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (sim.count(text) >= occurrences)
            return true;
        QThread::msleep(20);
    }
    return false;
}
