// The simulator's pure parts: input splitting, commands, settings, outputs, sky.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include "CommandLog.h"
#include "FixModel.h"
#include "LineNoise.h"
#include "OutputFormat.h"
#include "PortInput.h"
#include "SimOptions.h"
#include "SimReceiver.h"
#include "SimSettings.h"
#include "SkyModel.h"
#include "SimProcess.h"

using namespace stavo::sim;
using namespace std::string_literals;

namespace {

std::string capture()
{
    const char *dir = std::getenv("STAVO_TEST_DATA");
    return readFile(std::string(dir ? dir : STAVO_TEST_DATA_DIR) + "/rtklib_testglo.rtcm3");
}

// The first whole frame of the real capture.
std::string firstFrame(const std::string &bytes)
{
    const auto at = bytes.find('\xD3');
    const std::size_t len = (static_cast<unsigned char>(bytes[at + 1]) & 3) << 8 | static_cast<unsigned char>(bytes[at + 2]);
    return bytes.substr(at, 3 + len + 3);
}

template <typename T> T get(const std::string &d, std::size_t at)
{
    T v;
    std::memcpy(&v, d.data() + at, sizeof v);
    return v;
}

}  // namespace

TEST(PortInput, Crc24qMatchesTheRealCapture)
{
    const std::string f = firstFrame(capture());
    const auto *p = reinterpret_cast<const std::uint8_t *>(f.data());
    const std::uint32_t stored = static_cast<std::uint32_t>(p[f.size() - 3]) << 16 | p[f.size() - 2] << 8 | p[f.size() - 1];
    EXPECT_EQ(crc24q(p, f.size() - 3), stored);
}

TEST(PortInput, WholeCaptureGivesEveryFrameOnce)
{
    PortInput in;
    std::map<int, int> types;
    std::size_t dropped = 0;
    for (const auto &e : in.feed(capture())) {
        if (e.kind == PortInput::Event::Rtcm)
            ++types[e.messageType];
        else if (e.kind == PortInput::Event::Dropped)
            dropped += e.size;
        else
            ADD_FAILURE() << "line in a correction stream: " << e.text;
    }
    EXPECT_EQ(types, (std::map<int, int>{{1004, 186}, {1005, 19}, {1012, 186}, {1019, 19}, {1020, 19}}));
    // 58 junk bytes ("[USB1]\r\n<OK\r\n..."); the 16 CR and LF among them are skipped silently.
    EXPECT_EQ(dropped, 42u);
}

TEST(PortInput, MixedStreamSplitAtEveryPlace)
{
    const std::string frame = firstFrame(capture());
    std::string bad = frame;
    bad[10] = static_cast<char>(bad[10] ^ 1);
    const std::string stream = "$JOFF\r\nxx" + frame + "$JSHOW\r\n" + bad + "\xD3\xFF" + frame + "$JBIN,96,1\n";
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        PortInput in;
        auto ev = in.feed(stream.substr(0, cut));
        for (auto &e : in.feed(stream.substr(cut)))
            ev.push_back(e);
        std::vector<std::string> lines;
        int frames = 0;
        for (const auto &e : ev) {
            if (e.kind == PortInput::Event::Line)
                lines.push_back(e.text);
            else if (e.kind == PortInput::Event::Rtcm)
                ++frames;
        }
        EXPECT_EQ(lines, (std::vector<std::string>{"$JOFF", "$JSHOW", "$JBIN,96,1"})) << cut;
        EXPECT_EQ(frames, 2) << cut;
        EXPECT_EQ(in.validFrames(), 2u);
    }
}

TEST(PortInput, BadInputHasABoundedOutcome)
{
    struct Case {
        std::string input;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases{
        {std::string(5000, 'A') + "\n$JOFF\n", {"$JOFF"}},
        {"$" + std::string(400, 'X') + "\n$JSHOW\r\n", {"$JSHOW"}}, // overlong line dropped whole
        {"$JOF\xD3\x00\x00\x00\x00\x00$JSHOW\n"s, {"$JSHOW"}},       // frame with a wrong CRC cuts the line
        {std::string(3000, '\xD3') + "$JOFF\n", {"$JOFF"}},
        {"\r\n\r\n$JASC,GPGGA,1\r\n", {"$JASC,GPGGA,1"}},
    };
    for (const auto &c : cases) {
        PortInput in;
        std::vector<std::string> lines;
        for (const auto &e : in.feed(c.input))
            if (e.kind == PortInput::Event::Line)
                lines.push_back(e.text);
        EXPECT_EQ(lines, c.lines) << CommandLog::printable(c.input.substr(0, 40));
        EXPECT_EQ(in.validFrames(), 0u);
    }
}

TEST(SimReceiver, CommandsAndReplies)
{
    struct Case {
        const char *line;
        const char *reply; // nullptr: none
        bool ignored;
    };
    const std::vector<Case> cases{
        {"$JOFF", "$>\r\n", false},
        {"$JASC,GPGGA,5", "$>\r\n", false},
        {"$JASC,GPGGA,0.2", "$>\r\n", false},
        {"$JASC,GNRMC,1", "$>\r\n", false},
        {"$JASC,GPGSA,5", nullptr, true}, // GSA only 1 or 0
        {"$JASC,GPGGA,2", nullptr, true},
        {"$JASC,GPXYZ,1", nullptr, true},
        {"$JASC,GPGGA", nullptr, true},
        {"$JBIN,96,1", "$>\r\n", false},
        {"$JBIN,96,5", nullptr, true},
        {"$JBIN,99,0.2", "$>\r\n", false},
        {"$JBIN,80,1", nullptr, true},
        {"$JBAUD,9601", nullptr, true},
        {"$JBAUD,38400,OTHER", "$>\r\n", false},
        {"$JDIFF,LBAND", "$>\r\n", false},
        {"$JDIFF,MARS", nullptr, true},
        {"$JMASK,61", nullptr, true},
        {"$JMASK,-1", nullptr, true},
        {"$JMASK,0", "$>\r\n", false},
        {"$JAIR,LOW", "$>\r\n", false},
        {"$JAIR,FAST", nullptr, true},
        {"$JSMOOTH,SHORT", "$>\r\n", false},
        {"$JALT,SOMETIMES,2.5", "$>\r\n", false},
        {"$JALT,ALWAYS,abc", nullptr, true},
        {"$jmask,7", "$>\r\n", false},
        {"$JSAVE", "$> Save Complete\r\n", false},
        {"$JFOO,1", nullptr, true},
        {"hello", nullptr, true},
        {"$JASC,GPGGA,1*6A", "$>\r\n", false},
        {"$JASC,GPGNS,1.0,OTHER", "$>\r\n", false}, // the other port's table takes GNS, GRS, GBS
        {"$JASC,GPGBS,0.0,OTHER", "$>\r\n", false},
        {"$JASC,GPGRS,1", nullptr, true},             // this port cannot produce them
    };
    SimReceiver r(SimSettings::factoryDefaults());
    for (const auto &c : cases) {
        const CommandResult res = r.handleLine(c.line);
        EXPECT_EQ(res.reply, c.reply ? c.reply : "") << c.line;
        EXPECT_EQ(res.note.rfind("IGNORED", 0) == 0, c.ignored) << c.line << " " << res.note;
    }
    const SimSettings &s = r.settings();
    EXPECT_EQ(s.asc, (std::map<std::string, RateTenths>{{"GPGGA", 10}, {"GNRMC", 10}}));
    EXPECT_EQ(s.bin, (std::map<int, RateTenths>{{96, 10}, {99, 2}}));
    EXPECT_EQ(s.otherAsc, (std::map<std::string, RateTenths>{{"GPGNS", 10}}));
    EXPECT_EQ(s.otherBaud, 38400);
    EXPECT_EQ(s.baud, 9600);
    EXPECT_EQ(s.diff, "LBAND");
    EXPECT_EQ(s.mask, 7);
    EXPECT_EQ(s.air, "LOW");
    EXPECT_EQ(s.alt, "SOMETIMES");
    EXPECT_EQ(s.altValue, "2.5");
}

TEST(SimReceiver, BaudSwitchAndSaveOutcome)
{
    int saves = 0;
    bool ok = true;
    SimReceiver r(SimSettings::factoryDefaults(), [&](const SimSettings &) {
        ++saves;
        return ok;
    });
    auto res = r.handleLine("$JBAUD,115200");
    EXPECT_EQ(res.reply, "$>\r\n");
    ASSERT_TRUE(res.newBaud.has_value());
    EXPECT_EQ(*res.newBaud, 115200);
    EXPECT_FALSE(r.handleLine("$JBAUD,115200").newBaud.has_value()); // already there
    EXPECT_EQ(r.handleLine("$JSAVE").reply, "$> Save Complete\r\n");
    ok = false;
    EXPECT_EQ(r.handleLine("$JSAVE").reply, "$> Save Failed\r\n"); // never claim a save that did not happen
    EXPECT_EQ(saves, 2);
}

TEST(SimSettings, RoundTripAndDamagedFiles)
{
    SimSettings s = SimSettings::factoryDefaults();
    s.baud = 115200;
    s.diff = "BEACON";
    s.mask = 12;
    s.alt = "ALWAYS";
    s.altValue = "30.5";
    s.asc = {{"GPRMC", 2}};
    s.otherAsc = {{"GPGGA", 50}};
    s.bin = {{99, 10}};
    EXPECT_EQ(SimSettings::fromText(s.toText(), SimSettings::factoryDefaults()), s);

    SimSettings off = SimSettings::factoryDefaults();
    off.asc.clear();
    EXPECT_TRUE(SimSettings::fromText(off.toText(), SimSettings::factoryDefaults()).asc.empty());

    const SimSettings d = SimSettings::factoryDefaults();
    EXPECT_EQ(SimSettings::fromText("", d), d);
    EXPECT_EQ(SimSettings::fromText("garbage\n=\nbaud=12\nmask=99\ndiff=a b\nasc=GPGGA,7\n\xff\xfe", d), d);
    EXPECT_EQ(SimSettings::fromText("mask=20\r\n", d).mask, 20);
}

TEST(SimSettings, Rates)
{
    const std::vector<std::pair<const char *, std::optional<RateTenths>>> cases{
        {"1", 10}, {"1.0", 10}, {"5", 50}, {"0.2", 2}, {".2", 2}, {"0", 0}, {"0.20", 2},
        {"0.25", std::nullopt}, {"", std::nullopt}, {"-1", std::nullopt}, {"x", std::nullopt}, {"1e3", std::nullopt}};
    for (const auto &[text, want] : cases)
        EXPECT_EQ(parseRate(text), want) << text;
    EXPECT_EQ(formatRate(2), "0.2");
    EXPECT_EQ(formatRate(50), "5.0");
}

TEST(OutputFormat, ChecksumMatchesARealReceiverSentence)
{
    EXPECT_EQ(nmeaSentence("GPGGA,194050.00,4221.8237733,N,07101.9411707,W,1,00,3.3,10.835,M,-33.320,M,,"),
              "$GPGGA,194050.00,4221.8237733,N,07101.9411707,W,1,00,3.3,10.835,M,-33.320,M,,*62\r\n");
}

TEST(OutputFormat, BinaryMessagesFollowTheLayouts)
{
    SkyModel sky(11, 31.2304, 121.4737, 12.0);
    const EpochState e = sky.epoch(3600000, 1700000000000, 1, 5, -1);
    int bad = -1;
    const auto frames = validBinary(formatBinary(99, e) + formatBinary(96, e) + formatBinary(1, e), &bad);
    EXPECT_EQ(bad, 0);
    ASSERT_EQ(frames.size(), 3u);
    const std::string &m99 = frames[0].data, &m96 = frames[1].data, &m1 = frames[2].data;
    ASSERT_EQ(m99.size(), 304u);
    ASSERT_EQ(m96.size(), 300u);
    ASSERT_EQ(m1.size(), 52u);
    EXPECT_EQ(get<std::uint8_t>(m99, 0) & 7, 3);
    EXPECT_EQ(get<std::uint16_t>(m99, 2), e.gpsWeek);
    EXPECT_DOUBLE_EQ(get<double>(m99, 4), e.gpsTow);
    EXPECT_DOUBLE_EQ(get<double>(m96, 4), e.gpsTow);
    for (std::size_t ch = 0; ch < 12; ++ch) {
        const ChannelState &c = e.channels[ch];
        const std::size_t at = 12 + 24 * ch;
        EXPECT_EQ(get<std::uint8_t>(m99, at), ch);
        EXPECT_EQ(get<std::uint8_t>(m99, at + 1), c.sv);
        EXPECT_EQ(get<std::uint32_t>(m96, at) & 0xFF, static_cast<std::uint32_t>(c.sv));
        if (c.sv == 0)
            continue;
        EXPECT_EQ(get<std::int8_t>(m99, at + 8), std::lround(c.elevation));
        EXPECT_NEAR(get<std::uint8_t>(m99, at + 9) * 2.0, c.azimuth, 1.01);
        const double snr = 10 * std::log10(4096.0 * get<std::uint16_t>(m99, at + 12) / 80000.0);
        EXPECT_NEAR(snr, c.snr, 0.05);
        const double v = (get<std::uint32_t>(m96, at) >> 8) & 0xFF;
        EXPECT_NEAR(10 * std::log10(0.8192 * v), c.snr, 0.5);
        EXPECT_NEAR(get<double>(m96, at + 8), c.range, 1e-6);
        const std::int32_t doppler = static_cast<std::int32_t>(get<std::uint32_t>(m96, at + 4)) >> 4;
        EXPECT_NEAR(doppler / 4096.0, -c.rangeRate, 0.001);
    }
    EXPECT_DOUBLE_EQ(get<double>(m1, 12), e.lat);
    EXPECT_DOUBLE_EQ(get<double>(m1, 20), e.lon);
}

TEST(OutputFormat, NoFixSentences)
{
    SkyModel sky(1, 31.2304, 121.4737, 12.0);
    const EpochState e = sky.epoch(0, 1700000000000, 0, 5, -1);
    EXPECT_EQ(formatNmea("GPGGA", e), nmeaSentence("GPGGA,221320.00,,,,,0,00,,,M,,M,,"));
    EXPECT_EQ(formatNmea("GPGST", e), nmeaSentence("GPGST,221320.00,,,,,,,"));
    EXPECT_EQ(formatNmea("GPXYZ", e), "");
}

TEST(SkyModel, SatellitesArePlausibleAndMoveSlowly)
{
    SkyModel sky(21, 31.2304, 121.4737, 12.0);
    EpochState prev = sky.epoch(0, 1700000000000, 1, 5, -1);
    for (std::int64_t ms = 1000; ms <= 4 * 3600 * 1000; ms += 1000) {
        const EpochState e = sky.epoch(ms, 1700000000000, 1, 5, -1);
        ASSERT_GE(e.tracked, 8) << ms;
        ASSERT_LE(e.tracked, 12) << ms;
        std::set<int> prns;
        for (std::size_t ch = 0; ch < 12; ++ch) {
            const ChannelState &c = e.channels[ch], &p = prev.channels[ch];
            if (c.sv == 0)
                continue;
            ASSERT_TRUE(prns.insert(c.sv).second) << "PRN twice at " << ms;
            ASSERT_GE(c.elevation, 0.0);
            ASSERT_LE(c.elevation, 90.0);
            ASSERT_GE(c.snr + 30, 30.0);
            ASSERT_LE(c.snr + 30, 55.0);
            if (p.sv == c.sv) {
                ASSERT_LT(std::fabs(c.elevation - p.elevation), 0.1) << ms;
                const double daz = std::fabs(c.azimuth - p.azimuth);
                ASSERT_LT(std::min(daz, 360 - daz), 0.2) << ms;
            }
        }
        ASSERT_GT(e.pdop, 0.9) << ms;
        ASSERT_LT(e.pdop, 10.0) << ms;
        ASSERT_NEAR(e.lat, 31.2304, 5e-5);
        prev = e;
    }
}

TEST(SkyModel, SigmasShrinkWithTheFixType)
{
    SkyModel sky(5, 31.2304, 121.4737, 12.0);
    double last = 1e9;
    for (int q : {1, 2, 5, 4}) {
        const EpochState e = sky.epoch(60000, 1700000000000, q, 5, -1);
        EXPECT_LT(e.sigmaLat, last) << q;
        last = e.sigmaLat;
    }
}

TEST(FixModel, Timeline)
{
    struct Step {
        double t;
        bool frame;
        int quality;
    };
    FixModel m;
    const std::vector<Step> steps{{0, false, 2}, {1, true, 2}, {3.5, true, 2}, {4.0, true, 5}, {8, true, 5},
                                  {11.0, true, 4}, {20.9, false, 4}, {21.1, false, 2}, {22, true, 2}, {25.5, true, 5}};
    for (const auto &s : steps) {
        if (s.frame)
            m.onCorrection(s.t);
        EXPECT_EQ(m.quality(s.t, "WAAS"), s.quality) << s.t;
    }
    EXPECT_EQ(m.quality(26, "NONE"), 5);
    EXPECT_EQ(m.correctionAge(25.0), 0.0); // asked for a moment before the last frame
    EXPECT_EQ(m.correctionAge(26.0), 0.5);
    EXPECT_EQ(m.quality(40, "NONE"), 1);
    FixModel noFix(true, 5.0);
    EXPECT_EQ(noFix.quality(4.9, "NONE"), 0);
    EXPECT_EQ(noFix.quality(5.0, "NONE"), 1);
    EXPECT_EQ(FixModel(true).quality(1e6, "NONE"), 0);
}

TEST(LineNoise, NeverHoldsAMessageAndScalesWithTheRates)
{
    LineNoise a(9), b(9);
    const std::string x = a.garble(1000, 9600, 115200);
    EXPECT_EQ(x, b.garble(1000, 9600, 115200));
    EXPECT_EQ(x.size(), LineNoise::kMaxBurst);
    EXPECT_EQ(x.find('$'), std::string::npos);
    EXPECT_EQ(x.find('\n'), std::string::npos);
    EXPECT_EQ(LineNoise::scaledSize(960, 115200, 9600), 80u);
    EXPECT_EQ(LineNoise::scaledSize(5, 512000, 2400), 1u);
    EXPECT_EQ(LineNoise::scaledSize(100, 9600, 19200), 200u);
}

TEST(SimOptions, Table)
{
    const auto ok = parseOptions({"--baud", "56000", "--seed", "12", "--position", "-33.9,18.4,5", "--no-fix",
                                  "--fix-after", "2.5", "--time-scale", "10", "--start-time", "2024-03-01T12:00:00"});
    ASSERT_TRUE(ok.options) << ok.error;
    EXPECT_EQ(ok.options->baud, 56000);
    EXPECT_TRUE(ok.options->baudGiven);
    EXPECT_EQ(*ok.options->seed, 12u);
    EXPECT_DOUBLE_EQ(ok.options->lat, -33.9);
    EXPECT_DOUBLE_EQ(ok.options->fixAfter, 2.5);
    EXPECT_EQ(*ok.options->startUtcMs, 1709294400000);
    for (const std::vector<std::string> &bad : std::vector<std::vector<std::string>>{
             {"--baud"}, {"--baud", "9600x"}, {"--seed", "-1"}, {"--position", "1,2"}, {"--position", "1,2,x"},
             {"--fix-after", "-3"}, {"--start-time", "2024-13-01T00:00:00"}, {"--log", ""}, {"extra"}})
        EXPECT_FALSE(parseOptions(bad).options) << bad[0];
}
