// Whole-program tests: the program against the simulated receiver on a pseudo-terminal, and the
// single-copy rule. The program's timers run faster by STAVO_TIMER_SCALE; the simulator's command
// log (what it received, when, and at which rates) is what the tests read.

#include "ProgramHarness.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

const QStringList kOutputs = {QStringLiteral("$JBIN,96,1"),    QStringLiteral("$JBIN,99,1"),
                              QStringLiteral("$JASC,GPGGA,1"), QStringLiteral("$JASC,GPGSA,1"),
                              QStringLiteral("$JASC,GPGST,1"), QStringLiteral("$JASC,GPRMC,1")};

// The outputs come in order, each once, at 9600 on both sides, followed by a status request.
void expectOutputsSwitchedOn(const SimHarness& sim)
{
    std::size_t at = 0;
    for (const QString& c : kOutputs) {
        const auto l = sim.find(c, &at, at);
        ASSERT_TRUE(l) << qPrintable(c);
        EXPECT_EQ(l->simBaud, 9600) << qPrintable(c);
        EXPECT_EQ(l->programBaud, 9600) << qPrintable(c);
        EXPECT_EQ(sim.count(c), 1) << qPrintable(c);
    }
    EXPECT_TRUE(sim.find(QStringLiteral("$JSHOW"), nullptr, at + 1)) << "status report not requested after the outputs";
}

constexpr double kScale = 0.25;

} // namespace

TEST(Connection, ReceiverAt9600IsInitialisedWithoutBaudChange)
{
    SimHarness sim({QStringLiteral("--baud"), QStringLiteral("9600")});
    ASSERT_TRUE(sim.ready());
    Program prog(sim, kScale);
    ASSERT_TRUE(waitFor(sim, QStringLiteral("$JASC,GPRMC,1"), 15000));
    ASSERT_TRUE(waitFor(sim, QStringLiteral("$JSHOW"), 5000, 2));
    const auto lines = sim.lines();
    const auto first = sim.find(QStringLiteral("$JOFF"));
    const auto show = sim.find(QStringLiteral("$JSHOW"));
    ASSERT_TRUE(first && show);
    EXPECT_EQ(first->programBaud, 9600);
    EXPECT_EQ(sim.count(QStringLiteral("$JBAUD,9600")), 0);
    expectOutputsSwitchedOn(sim);
    // Outputs about 3 s (scaled) after the port was opened: probe tick at 2 s, then 1 s.
    const double delay = sim.find(QStringLiteral("$JBIN,96,1"))->t - first->t;
    EXPECT_GT(delay, 2.5 * kScale);
    EXPECT_LT(delay, 3.0 * kScale + 1.0);
    EXPECT_TRUE(prog.boxes().isEmpty());
}

TEST(Connection, ReceiverAt115200IsFoundOnTheThirdAttemptAndBroughtTo9600)
{
    SimHarness sim({QStringLiteral("--baud"), QStringLiteral("115200")});
    ASSERT_TRUE(sim.ready());
    Program prog(sim, kScale);
    ASSERT_TRUE(waitFor(sim, QStringLiteral("$JASC,GPRMC,1"), 20000));
    const auto baud = sim.find(QStringLiteral("$JBAUD,9600"));
    ASSERT_TRUE(baud);
    EXPECT_EQ(baud->programBaud, 115200);
    EXPECT_EQ(baud->simBaud, 115200);
    EXPECT_EQ(sim.count(QStringLiteral("$JBAUD,9600")), 1);
    // Nothing was understood before the third attempt: 9600 (opening), 19200 and 38400 came garbled.
    bool garbledAt19200 = false, garbledAt38400 = false;
    for (const SimLine& l : sim.lines()) {
        garbledAt19200 |= l.programBaud == 19200 && l.text.startsWith(QStringLiteral("GARBLED"));
        garbledAt38400 |= l.programBaud == 38400 && l.text.startsWith(QStringLiteral("GARBLED"));
        if (l.text.startsWith(QLatin1Char('$'))) {
            EXPECT_TRUE(l.programBaud == 115200 || l.programBaud == 9600) << qPrintable(l.text);
        }
    }
    EXPECT_TRUE(garbledAt19200);
    EXPECT_TRUE(garbledAt38400);
    expectOutputsSwitchedOn(sim);
}

TEST(Connection, ReceiverAt4800IsFoundOnAttemptEleven)
{
    SimHarness sim({QStringLiteral("--baud"), QStringLiteral("4800")});
    ASSERT_TRUE(sim.ready());
    Program prog(sim, kScale);
    ASSERT_TRUE(waitFor(sim, QStringLiteral("$JASC,GPRMC,1"), 30000)) << sim.dump();
    const auto baud = sim.find(QStringLiteral("$JBAUD,9600"));
    ASSERT_TRUE(baud);
    EXPECT_EQ(baud->programBaud, 4800);
    // Eleven attempts of 2 s each (scaled) after the port opened.
    const double elapsed = baud->t - sim.find(QStringLiteral("GARBLED"), nullptr)->t;
    EXPECT_GT(elapsed, 20.0 * kScale);
    // Every rate of the table before 4800 was tried once, in order.
    QList<int> tried;
    for (const SimLine& l : sim.lines())
        if (l.text.startsWith(QStringLiteral("GARBLED")) && (tried.isEmpty() || tried.last() != l.programBaud))
            tried << l.programBaud;
    const QList<int> want = {9600, 19200, 38400, 115200, 57600, 14400, 56000, 128000, 256000, 512000, 2400};
    EXPECT_EQ(tried, want);
    expectOutputsSwitchedOn(sim);
}

TEST(Connection, SilentReceiverEndsProbingWithAMessageAfter24Attempts)
{
    SimHarness sim({QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--silent")});
    ASSERT_TRUE(sim.ready());
    const double scale = 0.05;
    Program prog(sim, scale);
    QElapsedTimer t;
    t.start();
    while (prog.boxes().isEmpty() && t.elapsed() < 30000)
        QThread::msleep(50);
    EXPECT_EQ(prog.boxes(), QStringLiteral("0 1 串口不能正常通信，自适应串口波特率失败！\n"));
    QThread::msleep(500);
    // Opening, and attempts 12 and 24 are at 9600. Counted by their "$JOFF": the parameter page asks
    // "$JSHOW" on its own, once a second while no answer comes.
    int probesAt9600 = 0;
    for (const SimLine& l : sim.lines())
        probesAt9600 += l.text == QStringLiteral("$JOFF") && l.programBaud == 9600;
    EXPECT_EQ(probesAt9600, 3);
    EXPECT_EQ(sim.count(QStringLiteral("$JBIN,96,1")), 0);
    EXPECT_EQ(prog.process().state(), QProcess::Running); // the port stays open, the program runs on
}

TEST(SingleInstance, SecondCopyEndsAtOnceAndRaisesTheFirst)
{
    SimHarness sim({QStringLiteral("--baud"), QStringLiteral("9600")});
    ASSERT_TRUE(sim.ready());
    Program first(sim, kScale);
    ASSERT_TRUE(waitFor(sim, QStringLiteral("$JASC,GPRMC,1"), 15000));
    Program second(sim, kScale);
    ASSERT_TRUE(second.process().waitForFinished(10000));
    EXPECT_EQ(second.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process().exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(second.process().readAllStandardError()).contains(QStringLiteral("\"raised\"")));
    EXPECT_EQ(first.process().state(), QProcess::Running);
    // The second copy never opened the port: "$JOFF" came only from the first copy's opening and
    // output initialisation.
    EXPECT_EQ(sim.count(QStringLiteral("$JOFF")), 2);
}

TEST(Connection, APortThatCannotBeOpenedIsExplainedOnStandardError)
{
    // The box stays "GPS连接端口已被占用！" and the program still ends at once; standard error says
    // which device and why, and what to do when permission is refused.
    struct Case {
        const char* what;
        const char* device;
        int err;
    };
    const Case cases[] = {{"missing device", "ttyGONE", ENOENT}, {"no permission", "ttyLOCKED", EACCES}};
    for (const Case& c : cases) {
        QTemporaryDir home;
        const QString data = home.path() + QStringLiteral("/stavo");
        QDir().mkpath(data);
        const QString device = data + QLatin1Char('/') + QLatin1String(c.device);
        QFile map(data + QStringLiteral("/ports.conf"));
        ASSERT_TRUE(map.open(QIODevice::WriteOnly));
        map.write(QStringLiteral("4=%1\n").arg(device).toUtf8());
        map.close();
        QProcess proc;
        if (c.err == EACCES) {
            QFile locked(device);
            ASSERT_TRUE(locked.open(QIODevice::WriteOnly));
            locked.close();
            if (::geteuid() == 0) {
                // Root may open anything: the program runs as nobody, for whom the device is closed.
                QFile::setPermissions(device, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
                for (const QString& dir : {home.path(), data})
                    QFile::setPermissions(dir, QFileDevice::Permissions(0x7777));
                QFile::setPermissions(map.fileName(), QFileDevice::Permissions(0x4444));
                proc.setChildProcessModifier([] {
                    if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                        ::_exit(99);
                });
            } else {
                QFile::setPermissions(device, QFileDevice::Permissions());
            }
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("STAVO_MSGBOX_LOG"), home.path() + QStringLiteral("/boxes.log"));
        env.insert(QStringLiteral("HOME"), home.path());
        proc.setProcessEnvironment(env);
        proc.start(QStringLiteral(STAVO_EXE), QStringList());
        ASSERT_TRUE(proc.waitForFinished(20000)) << c.what;
        const QString err = QString::fromLocal8Bit(proc.readAllStandardError());
        ASSERT_NE(proc.exitCode(), 99) << c.what << ": could not run the program as nobody";
        EXPECT_EQ(proc.exitStatus(), QProcess::NormalExit) << c.what;
        EXPECT_EQ(proc.exitCode(), 0) << c.what;
        QFile boxes(home.path() + QStringLiteral("/boxes.log"));
        ASSERT_TRUE(boxes.open(QIODevice::ReadOnly)) << c.what << ": " << qPrintable(err);
        EXPECT_EQ(QString::fromUtf8(boxes.readAll()), QStringLiteral("64 1 GPS连接端口已被占用！\n")) << c.what;
        EXPECT_TRUE(err.contains(QStringLiteral("port 4: %1: %2").arg(device, QString::fromLocal8Bit(std::strerror(c.err)))))
            << c.what << ": " << qPrintable(err);
        EXPECT_EQ(err.contains(QStringLiteral("dialout")), c.err == EACCES) << c.what << ": " << qPrintable(err);
    }
}
