// The start-up power check as a user meets it: the program and the simulated receiver with its
// driver and power manager stand-ins as separate processes, sharing a data folder. Message boxes are
// answered through STAVO_MSGBOX_ANSWERS and logged as "<type> <answer> <text>".

#include "ProgramHarness.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

const QString kQuestion = QStringLiteral("36 6 GPS已经关闭，是否打开？");
const QString kFailed = QStringLiteral("48 1 电源打开失败!");

} // namespace

TEST(StartUpPower, AsksOnlyWhenOffAndStartsOnlyWhenThePowerManagerAnswersInTime)
{
    struct Case {
        const char* what;
        QStringList sim;     // power options of the simulator
        QString answers;
        QStringList boxes;
        bool starts;         // goes on to open the receiver port, else ends at once
    } cases[] = {
        {"no driver, no power manager: an external receiver", {}, QString(), {}, true},
        {"powered", {"--power-driver"}, QString(), {}, true},
        {"off, no power manager window", {"--power-driver", "--power-off"}, "6", {kQuestion, kFailed}, false},
        {"off, declined", {"--power-driver", "--power-off", "--power-manager"}, "7",
         {QStringLiteral("36 7 GPS已经关闭，是否打开？")}, false},
        {"off, answered after 4000 ms", {"--power-driver", "--power-off", "--power-manager", "--power-answer-ms", "6000"},
         "6", {kQuestion, kFailed}, false},
        {"off, switched on in time", {"--power-driver", "--power-off", "--power-manager", "--power-answer-ms", "300"}, "6",
         {kQuestion}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimHarness sim(QStringList{QStringLiteral("--baud"), QStringLiteral("9600")} + c.sim);
        ASSERT_TRUE(sim.ready());
        Program prog(sim, 1.0, c.answers);
        if (c.starts) {
            ASSERT_TRUE(waitFor(sim, QStringLiteral("$JASC,GPRMC,1"), 20000)) << sim.dump();
            EXPECT_EQ(prog.process().state(), QProcess::Running);
        } else {
            ASSERT_TRUE(prog.process().waitForFinished(15000));
            EXPECT_EQ(prog.process().exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(prog.process().exitCode(), 0);
            EXPECT_EQ(sim.count(QStringLiteral("$JOFF")), 0); // the port was never opened
        }
        EXPECT_EQ(prog.boxLines(), c.boxes);
        // The receiver was switched on only where the program asked and the user agreed.
        const bool switchedOn = c.answers == QStringLiteral("6") && c.sim.contains(QStringLiteral("--power-manager"));
        if (switchedOn && c.starts) {
            std::size_t on = 0, open = 0;
            ASSERT_TRUE(sim.find(QStringLiteral("POWER ON"), &on));
            ASSERT_TRUE(sim.find(QStringLiteral("$JOFF"), &open));
            EXPECT_LT(on, open); // on before the program opened the port
        } else if (!switchedOn) {
            EXPECT_EQ(sim.count(QStringLiteral("POWER ON")), 0);
        }
    }
}
