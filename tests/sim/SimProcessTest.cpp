// stavo-sim as a process on its pseudo-terminal, driven from the slave side the
// way the program drives a receiver.
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <regex>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SimProcess.h"

namespace {

std::string testData(const std::string &name)
{
    const char *dir = std::getenv("STAVO_TEST_DATA");
    return std::string(dir ? dir : STAVO_TEST_DATA_DIR) + "/" + name;
}

int countOf(const std::string &text, const std::string &needle)
{
    int n = 0;
    for (std::size_t pos = 0; (pos = text.find(needle, pos)) != std::string::npos; pos += needle.size())
        ++n;
    return n;
}

double hmsSeconds(const std::string &t) // "hhmmss.ss"
{
    return std::stoi(t.substr(0, 2)) * 3600 + std::stoi(t.substr(2, 2)) * 60 + std::stod(t.substr(4));
}

std::vector<std::string> ofType(const std::vector<std::string> &sentences, const std::string &type)
{
    std::vector<std::string> out;
    for (const auto &s : sentences)
        if (s.size() > 6 && s.compare(3, 3, type) == 0)
            out.push_back(s);
    return out;
}

std::vector<double> spacing(const std::vector<std::string> &sentences)
{
    std::vector<double> d;
    for (std::size_t i = 1; i < sentences.size(); ++i)
        d.push_back(hmsSeconds(fields(sentences[i])[1]) - hmsSeconds(fields(sentences[i - 1])[1]));
    return d;
}

}  // namespace

TEST(SimProcess, JshowReportReflectsTheCommandedSettings)
{
    SimProcess sim({"--seed", "1"});
    ASSERT_TRUE(sim.started());
    ASSERT_TRUE(sim.openLine(9600));
    sim.send("$JOFF\r\n$JMASK,10\r\n$JDIFF,BEACON\r\n$JAIR,HIGH\r\n$JSMOOTH,SHORT\r\n$JALT,SOMETIMES,3.5\r\n"
             "$JASC,GPGGA,1,OTHER\r\n$JASC,GPGSV,1,OTHER\r\n$JASC,GPRMC,1\r\n$JBIN,99,1\r\n$JBAUD,19200,OTHER\r\n");
    const std::string acks = sim.readUntil("$>\r\n$>\r\n$>\r\n$>\r\n$>\r\n$>\r\n$>\r\n$>\r\n$>\r\n$>\r\n$>\r\n", 3000);
    EXPECT_EQ(countOf(acks, "$>\r\n"), 11);
    sim.send("$JOFF\r\n$JSHOW\r\n");
    const std::string report = sim.readUntil("$>JSHOW,AGE,1800\r\n", 3000);
    const std::vector<std::string> expected{
        "$>",
        "$>JSHOW,BAUD,9600",
        "$>JSHOW,BAUD,19200,OTHER",
        "$>JSHOW,ASC,GPGGA,1.0,OTHER",
        "$>JSHOW,ASC,GPGSV,1.0,OTHER",
        "$>JSHOW,DIFF,BEACON",
        "$>JSHOW,ALT,SOMETIMES,3.5",
        "$>JSHOW,MASK,10",
        "$>JSHOW,AIR,HIGH",
        "$>JSHOW,SMOOTH,SHORT",
        "$>JSHOW,FREQ,1575.4200,250",
        "$>JSHOW,AGE,1800",
    };
    const auto lines = replyLines(report);
    ASSERT_GE(lines.size(), expected.size()) << report;
    EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<long>(expected.size()), lines.end()), expected);
    // The burst is written in one go: no output between its lines.
    const auto first = report.find("$>JSHOW,BAUD,9600");
    EXPECT_EQ(report.substr(first).find("$G"), std::string::npos);

    // The binary output of this port is listed as such.
    sim.send("$JBIN,99,1\r\n$JSHOW\r\n");
    const std::string withBin = sim.readUntil("$>JSHOW,AGE", 3000);
    EXPECT_NE(withBin.find("$>JSHOW,BIN,99,1.0\r\n$>JSHOW,DIFF,BEACON\r\n"), std::string::npos);
}

TEST(SimProcess, WrongRateIsGarbageBothWays)
{
    SimProcess sim({"--baud", "115200", "--seed", "2", "--time-scale", "4"});
    ASSERT_TRUE(sim.started());
    ASSERT_TRUE(sim.openLine(9600));
    sim.send("$JSHOW\r\n");
    const std::string heard = sim.readFor(800);
    ASSERT_FALSE(heard.empty()); // the line is busy, just not understandable
    EXPECT_EQ(heard.find('$'), std::string::npos);
    EXPECT_EQ(heard.find('\n'), std::string::npos);
    EXPECT_NE(sim.logText().find(" 115200 9600 GARBLED 8 bytes"), std::string::npos) << sim.logText();
    EXPECT_EQ(sim.logText().find("$JSHOW"), std::string::npos);

    // Every other rate of the probe table is just as deaf; the right one is understood.
    for (int rate : {2400, 4800, 14400, 19200, 38400, 56000, 57600, 128000, 256000, 512000}) {
        sim.setRate(rate);
        sim.send("$JOFF\r\n");
        const std::string out = sim.readFor(300);
        EXPECT_EQ(out.find('$'), std::string::npos) << rate;
    }
    sim.setRate(115200);
    sim.drain();
    sim.send("$JSHOW\r\n");
    EXPECT_NE(sim.readUntil("$>JSHOW,AGE", 2000).find("$>JSHOW,BAUD,115200\r\n"), std::string::npos);
    EXPECT_EQ(countOf(sim.logText(), "GARBLED"), 11);
}

TEST(SimProcess, EveryProbeRateWorksWhenBothSidesAgree)
{
    for (int rate : {2400, 14400, 56000, 128000, 512000}) {
        SimProcess sim({"--baud", std::to_string(rate)});
        ASSERT_TRUE(sim.started());
        ASSERT_TRUE(sim.openLine(rate));
        sim.send("$JSHOW\r\n");
        EXPECT_NE(sim.readUntil("$>JSHOW,AGE", 2000).find("$>JSHOW,BAUD," + std::to_string(rate) + "\r\n"),
                  std::string::npos)
            << rate;
    }
}

TEST(SimProcess, JbaudAnswersAtTheOldRateThenSwitches)
{
    SimProcess sim({"--baud", "115200", "--time-scale", "4"});
    ASSERT_TRUE(sim.started());
    ASSERT_TRUE(sim.openLine(115200));
    sim.send("$JOFF\r\n");
    sim.readUntil("$>\r\n", 2000);
    sim.send("$JBAUD,9600\r\n");
    EXPECT_NE(sim.readUntil("$>\r\n", 2000).find("$>\r\n"), std::string::npos);
    sim.send("$JSHOW\r\n"); // still at 115200: the receiver has moved on
    EXPECT_EQ(sim.readFor(400).find("$>JSHOW"), std::string::npos);
    sim.setRate(9600);
    sim.send("$JSHOW\r\n");
    EXPECT_NE(sim.readUntil("$>JSHOW,AGE", 2000).find("$>JSHOW,BAUD,9600\r\n"), std::string::npos);
    const std::string log = sim.logText();
    EXPECT_NE(log.find(" 115200 115200 $JBAUD,9600\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" 115200 115200 BAUD -> 9600\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" 9600 9600 $JSHOW\n"), std::string::npos) << log;
}

TEST(SimProcess, CommandSentJustBeforeTheProgramSwitchesCountsAtTheOldRate)
{
    // The program writes $JBAUD,9600 and switches its port at once, as it does
    // after finding the receiver at another rate: the command must still count.
    for (int round = 0; round < 3; ++round) {
        SimProcess sim({"--baud", "57600", "--time-scale", "4"});
        ASSERT_TRUE(sim.started());
        ASSERT_TRUE(sim.openLine(57600));
        sim.send("$JBAUD,9600\r\n");
        sim.setRate(9600);
        sim.drain(300);
        sim.send("$JSHOW\r\n");
        EXPECT_NE(sim.readUntil("$>JSHOW,AGE", 2000).find("$>JSHOW,BAUD,9600\r\n"), std::string::npos);
        EXPECT_NE(sim.logText().find(" 57600 57600 $JBAUD,9600\n"), std::string::npos) << sim.logText();
    }
}

TEST(SimProcess, JoffStopsOutputAndJascJbinStartItAtTheCommandedRates)
{
    SimProcess sim({"--seed", "3", "--time-scale", "5"});
    ASSERT_TRUE(sim.started());
    ASSERT_TRUE(sim.openLine(9600));
    // Power-on outputs: GGA, VTG, GSA, ZDA at 1 Hz.
    const auto powerOn = validNmea(sim.readFor(700));
    for (const char *type : {"GGA", "VTG", "GSA", "ZDA"})
        EXPECT_FALSE(ofType(powerOn, type).empty()) << type;
    for (double d : spacing(ofType(powerOn, "GGA")))
        EXPECT_NEAR(d, 1.0, 1e-6);

    sim.send("$JOFF\r\n");
    sim.readUntil("$>\r\n", 2000);
    EXPECT_EQ(sim.readFor(600), "");

    sim.send("$JASC,GPGGA,5\r\n$JASC,GPZDA,1\r\n$JASC,GPRMC,0.2\r\n$JASC,GPGSV,1\r\n$JASC,GPGST,1\r\n"
             "$JBIN,99,1\r\n$JBIN,96,1\r\n");
    const std::string out = sim.readFor(2600); // 13 s of the receiver's time
    int badNmea = -1, badBin = -1;
    const auto nmea = validNmea(out, &badNmea);
    const auto bin = validBinary(out, &badBin);
    EXPECT_EQ(badNmea, 0);
    EXPECT_EQ(badBin, 0);
    const std::vector<std::pair<std::string, double>> rates{{"GGA", 0.2}, {"ZDA", 1.0}, {"GST", 1.0}, {"RMC", 5.0}};
    for (const auto &[type, period] : rates) {
        const auto sentences = ofType(nmea, type);
        EXPECT_GE(sentences.size(), type == "RMC" ? 2u : 8u) << type;
        for (double d : spacing(sentences))
            EXPECT_NEAR(d, period, 1e-6) << type;
    }
    EXPECT_TRUE(ofType(nmea, "VTG").empty());
    int n96 = 0, n99 = 0;
    for (const auto &f : bin) {
        if (f.id == 96) {
            ++n96;
            EXPECT_EQ(f.data.size(), 300u);
        } else if (f.id == 99) {
            ++n99;
            EXPECT_EQ(f.data.size(), 304u);
        }
    }
    EXPECT_GE(n96, 10);
    EXPECT_NEAR(n96, n99, 1);

    // GSV and message 99 describe the same satellites.
    std::vector<int> gsvPrns;
    const auto gsv = ofType(nmea, "GSV");
    ASSERT_FALSE(gsv.empty());
    const auto last99 = std::find_if(bin.rbegin(), bin.rend(), [](const BinFrame &f) { return f.id == 99; });
    ASSERT_NE(last99, bin.rend());
    std::vector<int> binPrns;
    for (int ch = 0; ch < 12; ++ch)
        if (int sv = static_cast<unsigned char>(last99->data[12 + 24 * ch + 1]))
            binPrns.push_back(sv);
    // The last GSV group: sentences from the last "x,1," on.
    std::size_t start = gsv.size();
    while (start > 0 && fields(gsv[start - 1])[2] != "1")
        --start;
    ASSERT_GT(start, 0u);
    for (std::size_t i = start - 1; i < gsv.size(); ++i) {
        const auto f = fields(gsv[i]);
        for (std::size_t k = 4; k + 3 < f.size() + 1 && k < f.size(); k += 4)
            gsvPrns.push_back(std::stoi(f[k]));
    }
    EXPECT_EQ(gsvPrns, binPrns);
    EXPECT_GE(binPrns.size(), 8u);
    EXPECT_LE(binPrns.size(), 12u);
}

TEST(SimProcess, SavedSettingsSurviveARestartAndBaudOnTheCommandLineWins)
{
    char tmpl[] = "/tmp/stavo-sim-state-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string state = std::string(tmpl) + "/receiver.state";
    {
        SimProcess sim({"--state", state, "--baud", "19200"});
        ASSERT_TRUE(sim.started());
        ASSERT_TRUE(sim.openLine(19200));
        sim.send("$JOFF\r\n$JMASK,15\r\n$JDIFF,NONE\r\n$JASC,GPGST,1,OTHER\r\n$JASC,GPRMC,1\r\n$JBAUD,38400,OTHER\r\n"
                 "$JALT,ALWAYS,12.5\r\n$JSAVE\r\n");
        EXPECT_NE(sim.readUntil("$> Save Complete\r\n", 3000).find("$> Save Complete\r\n"), std::string::npos);
        EXPECT_EQ(sim.stop(), 0);
    }
    {
        SimProcess sim({"--state", state, "--time-scale", "4"});
        ASSERT_TRUE(sim.started());
        ASSERT_TRUE(sim.openLine(19200));
        const auto out = validNmea(sim.readFor(700));
        EXPECT_FALSE(ofType(out, "RMC").empty());
        EXPECT_TRUE(ofType(out, "GGA").empty()); // the saved table replaces the power-on one
        sim.send("$JSHOW\r\n");
        const std::string report = sim.readUntil("$>JSHOW,AGE", 2000);
        for (const char *line : {"$>JSHOW,BAUD,19200\r\n", "$>JSHOW,BAUD,38400,OTHER\r\n",
                                 "$>JSHOW,ASC,GPGST,1.0,OTHER\r\n", "$>JSHOW,DIFF,NONE\r\n",
                                 "$>JSHOW,MASK,15\r\n", "$>JSHOW,ALT,ALWAYS,12.5\r\n"})
            EXPECT_NE(report.find(line), std::string::npos) << line << report;
        // Without SBAS the autonomous quality is 1.
        EXPECT_NE(sim.logText().find("QUALITY 1\n"), std::string::npos);
    }
    {
        SimProcess sim({"--state", state, "--baud", "4800"});
        ASSERT_TRUE(sim.started());
        ASSERT_TRUE(sim.openLine(4800));
        sim.send("$JSHOW\r\n");
        const std::string report = sim.readUntil("$>JSHOW,AGE", 2000);
        EXPECT_NE(report.find("$>JSHOW,BAUD,4800\r\n"), std::string::npos);
        EXPECT_NE(report.find("$>JSHOW,MASK,15\r\n"), std::string::npos);
    }
    std::remove(state.c_str());
    ::rmdir(tmpl);
}

TEST(SimProcess, RtcmMovesTheSolutionToFloatThenFixedAndItFallsBack)
{
    SimProcess sim({"--seed", "4", "--time-scale", "5"});
    ASSERT_TRUE(sim.started());
    ASSERT_TRUE(sim.openLine(9600));
    const std::string rtcm = readFile(testData("rtklib_testglo.rtcm3"));
    ASSERT_EQ(rtcm.size(), 57931u);
    // Spread the stream over ~3.2 s of real time, 16 s of the receiver's.
    std::string heard;
    const std::size_t chunk = rtcm.size() / 40 + 1;
    for (std::size_t at = 0; at < rtcm.size(); at += chunk) {
        sim.send(rtcm.substr(at, chunk));
        heard += sim.readFor(80);
    }
    heard += sim.readFor(2600); // > 10 s of receiver time without corrections
    std::vector<std::string> qualities;
    for (const auto &gga : ofType(validNmea(heard), "GGA")) {
        const auto f = fields(gga);
        if (qualities.empty() || qualities.back() != f[6])
            qualities.push_back(f[6]);
        if (f[6] == "4" || f[6] == "5") {
            EXPECT_FALSE(f[13].empty()) << gga; // correction age
            EXPECT_LT(std::stod(f[13]), 10.5) << gga;
        }
    }
    EXPECT_EQ(qualities, (std::vector<std::string>{"2", "5", "4", "2"}));
    const std::string log = sim.logText();
    const auto q5 = log.find("QUALITY 2 -> 5"), q4 = log.find("QUALITY 5 -> 4"), back = log.find("QUALITY 4 -> 2");
    ASSERT_NE(q5, std::string::npos) << log;
    ASSERT_NE(q4, std::string::npos);
    ASSERT_NE(back, std::string::npos);
    EXPECT_LT(q5, q4);
    EXPECT_LT(q4, back);
    // Every frame of the capture counted once (1004 x186, 1012 x186, 1005/1019/1020 x19), junk skipped.
    EXPECT_EQ(countOf(log, " RTCM 1004 "), 186);
    EXPECT_EQ(countOf(log, " RTCM 1012 "), 186);
    EXPECT_EQ(countOf(log, " RTCM 1005 "), 19);
    EXPECT_EQ(countOf(log, " RTCM "), 186 + 186 + 19 * 3);
    EXPECT_NE(log.find("SKIPPED"), std::string::npos);
}

TEST(SimProcess, CorruptedRtcmDoesNotCount)
{
    SimProcess sim({"--seed", "4", "--time-scale", "10"});
    ASSERT_TRUE(sim.started());
    ASSERT_TRUE(sim.openLine(9600));
    std::string rtcm = readFile(testData("rtklib_testglo.rtcm3"));
    // Flip one bit in every 20th byte: every frame (the shortest is 25 bytes) fails its CRC.
    for (std::size_t i = 10; i < rtcm.size(); i += 20)
        rtcm[i] = static_cast<char>(rtcm[i] ^ 0x10);
    std::string heard;
    for (std::size_t at = 0; at < rtcm.size(); at += 1500) {
        sim.send(rtcm.substr(at, 1500));
        heard += sim.readFor(50);
    }
    for (const auto &gga : ofType(validNmea(heard), "GGA"))
        EXPECT_EQ(fields(gga)[6], "2") << gga;
    EXPECT_EQ(countOf(sim.logText(), " RTCM "), 0);
}

TEST(SimProcess, Usr1SilencesTheReceiverAndUsr2BringsItBack)
{
    SimProcess sim({"--time-scale", "5"});
    ASSERT_TRUE(sim.started());
    ASSERT_TRUE(sim.openLine(9600));
    EXPECT_FALSE(validNmea(sim.readFor(500)).empty());
    sim.signal(SIGUSR1);
    sim.drain(200);
    sim.send("$JSHOW\r\n");
    EXPECT_EQ(sim.readFor(700), "");
    sim.signal(SIGUSR2);
    ::usleep(200000); // the signal is delivered asynchronously
    sim.send("$JSHOW\r\n");
    const std::string back = sim.readFor(700);
    EXPECT_NE(back.find("$>JSHOW,BAUD,9600"), std::string::npos);
    EXPECT_FALSE(ofType(validNmea(back), "GGA").empty());
    const std::string log = sim.logText();
    EXPECT_LT(log.find("SILENT"), log.find("RESUMED"));
}

TEST(SimProcess, SilentOptionIsADeadReceiverThatStillLogs)
{
    SimProcess sim({"--silent", "--time-scale", "5"});
    ASSERT_TRUE(sim.started());
    ASSERT_TRUE(sim.openLine(9600));
    sim.send("$JSHOW\r\n");
    EXPECT_EQ(sim.readFor(800), "");
    EXPECT_NE(sim.logText().find(" 9600 9600 $JSHOW\n"), std::string::npos);
}

TEST(SimProcess, SameSeedGivesTheSameOutput)
{
    // Outputs come from a hand-written state file, so that no command's timing
    // decides which epoch they start at.
    char tmpl[] = "/tmp/stavo-sim-seed-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string state = std::string(tmpl) + "/state";
    std::ofstream(state) << "outputs=saved\nasc=GPGGA,5\nasc=GPGSV,1\nasc=GPRMC,1\nbin=99,5\nbin=96,1\n";
    auto capture = [&](const char *seed) {
        SimProcess sim({"--seed", seed, "--start-time", "2024-03-01T12:00:00", "--time-scale", "2", "--position",
                        "47.5,-122.25,80", "--state", state});
        if (!sim.started() || !sim.openLine(9600, false))
            return std::string();
        return sim.readBytes(8000, 5000).substr(0, 8000);
    };
    const std::string a = capture("7"), b = capture("7"), c = capture("8");
    std::remove(state.c_str());
    ::rmdir(tmpl);
    ASSERT_EQ(a.size(), 8000u);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    const auto gga = ofType(validNmea(a), "GGA");
    ASSERT_FALSE(gga.empty());
    EXPECT_EQ(fields(gga[0])[1], "120000.00");
    const auto f = fields(gga[0]);
    EXPECT_NEAR(std::stod(f[2].substr(0, 2)) + std::stod(f[2].substr(2)) / 60.0, 47.5, 1e-4);
    EXPECT_NEAR(std::stod(f[4].substr(0, 3)) + std::stod(f[4].substr(3)) / 60.0, 122.25, 1e-4);
    EXPECT_EQ(fields(gga[0])[5], "W");
}

TEST(SimProcess, NoFixUntilFixAfter)
{
    SimProcess sim({"--no-fix", "--fix-after", "4", "--time-scale", "5", "--seed", "5"});
    ASSERT_TRUE(sim.started());
    ASSERT_TRUE(sim.openLine(9600));
    const auto gga = ofType(validNmea(sim.readFor(1600)), "GGA");
    ASSERT_GE(gga.size(), 5u);
    const std::regex empty(R"(\$GPGGA,\d{6}\.\d\d,,,,,0,00,,,M,,M,,\*[0-9A-F]{2})");
    EXPECT_TRUE(std::regex_match(gga.front(), empty)) << gga.front();
    EXPECT_EQ(fields(gga.back())[6], "2") << gga.back();
    EXPECT_NE(sim.logText().find("QUALITY 0 -> 2"), std::string::npos);
}

TEST(SimProcess, LinkIsMadeAndRemoved)
{
    char tmpl[] = "/tmp/stavo-sim-link-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string link = std::string(tmpl) + "/ttyUSB0";
    ASSERT_EQ(::symlink("/nonexistent", link.c_str()), 0); // a stale link from an earlier run
    {
        SimProcess sim({"--link", link});
        ASSERT_TRUE(sim.started());
        char target[256] = {};
        ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(std::string(target), sim.slavePath());
        EXPECT_EQ(sim.stop(), 0);
    }
    struct stat st;
    EXPECT_NE(::lstat(link.c_str(), &st), 0);
    ::rmdir(tmpl);
}

TEST(SimProcess, CommandLineErrorsAndHelp)
{
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const std::vector<Case> cases{{{"--help"}, 0},           {{"--baud", "12345"}, 2}, {{"--bogus"}, 2},
                                  {{"--position", "91,0,0"}, 2}, {{"--seed"}, 2},          {{"--time-scale", "0"}, 2}};
    for (const auto &c : cases) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::vector<char *> argv;
            std::string exe = STAVO_SIM_EXE;
            argv.push_back(exe.data());
            for (auto a : c.args)
                argv.push_back(strdup(a.c_str()));
            argv.push_back(nullptr);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execv(exe.c_str(), argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.status) << c.args[0];
    }
}

TEST(SimProcess, OutputNobodyReadsGoesStale)
{
    // 40 s of the receiver's time with nobody reading: a program opening the port
    // then finds recent messages, not everything since the start.
    SimProcess sim({"--time-scale", "20", "--start-time", "2024-03-01T12:00:00"});
    ASSERT_TRUE(sim.started());
    ::usleep(2000000);
    ASSERT_TRUE(sim.openLine(9600, false));
    const std::string first = sim.readFor(30);
    EXPECT_LT(first.size(), 4096u + 512u);
    const auto gga = ofType(validNmea(first), "GGA");
    ASSERT_FALSE(gga.empty());
    EXPECT_GT(hmsSeconds(fields(gga.front())[1]) - hmsSeconds("120000.00"), 25.0) << gga.front();
}
