// The framer against the real captures and against damaged input.

#include "Framer.h"
#include "MessageKinds.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace wirra_test;
using wirra::Framer;
using wirra::FramerStats;

namespace {

std::map<std::pair<int, unsigned>, int> Count(const std::vector<Msg>& msgs)
{
    std::map<std::pair<int, unsigned>, int> n;
    for (const Msg& m : msgs)
        ++n[{m.type, m.id}];
    return n;
}

struct CaptureCase {
    const char* file;
    std::map<std::pair<int, unsigned>, int> counts;
    std::uint64_t dropped;
};

void PrintTo(const CaptureCase& c, std::ostream* os) { *os << c.file; }

class CaptureCounts : public ::testing::TestWithParam<CaptureCase> {};

} // namespace

TEST_P(CaptureCounts, EveryValidMessageIsCountedAndNothingElse)
{
    const CaptureCase& c = GetParam();
    const std::string data = ReadData(c.file);
    ASSERT_FALSE(data.empty()) << c.file;
    FramerStats st;
    const auto msgs = FrameWhole(data, &st);
    EXPECT_EQ(Count(msgs), c.counts);
    EXPECT_EQ(st.droppedBytes, c.dropped);
    EXPECT_EQ(st.badChecksum, 0u);
    EXPECT_EQ(st.bytesIn, data.size());
}

INSTANTIATE_TEST_SUITE_P(
    Captures, CaptureCounts,
    ::testing::Values(
        // Hemisphere NMEA: GGA/VTG/HDT x215, ZDA x108. Dropped: exactly the bytes of the '#' comment lines.
        CaptureCase{"gpsd_hemi.log", {{{6, 25}, 215}, {{6, 44}, 215}, {{6, 46}, 215}, {{6, 35}, 108}}, 63},
        CaptureCase{"gpsd_polarx2.log",
                    {{{6, 25}, 5}, {{6, 26}, 5}, {{6, 27}, 5}, {{6, 28}, 5}, {{6, 29}, 5}, {{6, 30}, 5},
                     {{6, 31}, 25}, {{6, 33}, 5}, {{6, 35}, 5}, {{6, 44}, 5}, {{6, 45}, 5}},
                    444},
        // GNGGA 50 + GPGGA 72, GNRMC 50 + GPRMC 72 (talkers do not matter); CRLF line ends.
        CaptureCase{"gpsd_nmea-rtk.log", {{{6, 25}, 122}, {{6, 33}, 122}}, 284},
        // Binary stream: one real "$>" acknowledgement inside; the last frame is cut at 256 KiB
        // (196 bytes from its "$BIN"), so 312 of message 96 but only 311 of message 99.
        CaptureCase{"cres_20080526.bin",
                    {{{23, 31}, 1}, {{27, 1}, 312}, {{27, 80}, 622}, {{27, 93}, 4}, {{27, 95}, 9},
                     {{27, 96}, 312}, {{27, 97}, 312}, {{27, 99}, 311}},
                    196}),
    [](const ::testing::TestParamInfo<CaptureCase>& info) {
        std::string n = info.param.file;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

TEST(Framer, SameMessagesWhetherWholeByteByByteOrSplitAnywhere)
{
    for (const char* file : {"gpsd_hemi.log", "gpsd_polarx2.log", "gpsd_nmea-rtk.log", "cres_20080526.bin"}) {
        std::string data = ReadData(file);
        const auto whole = FrameWhole(data);
        std::vector<std::size_t> every;
        for (std::size_t i = 1; i < data.size(); ++i)
            every.push_back(i);
        EXPECT_EQ(FrameInPieces(data, every), whole) << file << " one byte at a time";
        // A single cut at every position: the whole text files, and the first 4 KiB of the binary one.
        const std::string part = data.substr(0, std::min<std::size_t>(data.size(), 4700));
        const auto partWhole = FrameWhole(part);
        for (std::size_t cut = 1; cut < part.size(); ++cut)
            ASSERT_EQ(FrameInPieces(part, {cut}), partWhole) << file << " cut at " << cut;
    }
}

TEST(Framer, LineEndsAndChecksums)
{
    const std::string gga = "$GPGGA,,,,,,0,,,,M,,M,,*66";
    struct Case {
        std::string in;
        int delivered;
    } cases[] = {
        {gga + "\r\n", 1},
        {gga + "\n", 1},
        {gga + "\r", 1},                          // a bare CR ends a line as well
        {"$GPGGA,,,,,,0,,,,M,,M,,*66\n" + gga + "\r\n", 2},
        {"$gpgga,,,,,,0,,,,M,,M,,*66\r\n", 0},    // checksum covers the case of the letters
        {"$GPGGA,,,,,,0,,,,M,,M,,*67\r\n", 0},    // wrong checksum
        {"$GPGGA,,,,,,0,,,,M,,M,,\r\n", 0},       // no checksum at all
        {"$GPGGA,,,,,,0,,,,M,,M,,*6\r\n", 0},     // one hex digit
        {Nmea("GPZDA,193913.00,07,09,2018,00,00") + "\n", 1},
        {"$GPZDA,193913.00,07,09,2018,00,00*63\n", 1},
        {"$GPZDA,193913.00,07,09,2018,00,00*63", 0}, // never ended
    };
    for (const Case& c : cases)
        EXPECT_EQ(int(FrameWhole(c.in).size()), c.delivered) << c.in;
}

TEST(Framer, SentenceIdentifiersByNameWhateverTheTalker)
{
    struct Case {
        const char* body;
        unsigned id;
    } cases[] = {
        {"GPGGA,", 25}, {"GNGGA,", 25}, {"GLGSA,", 29}, {"GAGST,", 30}, {"GBGSV,", 31}, {"GPRMC,", 33},
        {"GPZDA,", 35}, {"GPVTG,", 44}, {"GPGLL,", 26}, {"GPGNS,", 27}, {"GPGRS,", 28}, {"GPRRE,", 34},
        {"GPGBS,", 45}, {"GPHDT,", 46}, {"GPXYZ,", 0}, {"PGRME,", 0}, {"PSGGA,", 0},
        {"G,GGA,1", 0}, {"GPGGAX,1", 0}, {"GPGGA", 25}, {"GGA,1,2,3", 0}, {"GPGG,A", 0},
    };
    for (const Case& c : cases) {
        const auto msgs = FrameWhole(Nmea(c.body) + "\r\n");
        ASSERT_EQ(msgs.size(), 1u) << c.body;
        EXPECT_EQ(msgs[0].type, 6);
        EXPECT_EQ(msgs[0].id, c.id) << c.body;
    }
}

TEST(Framer, RepliesAndTheShowBurst)
{
    const std::string in = "$>\r\n"
                           "$> Save Complete\r\n"
                           "$>JI,11577,1,5,11102002,01/01/1900,01/01/3003,6.3,46\r\n"
                           "$>JSHOW,BAUD,9600\r\n"
                           "$>JSHOW,ASC,GPGGA,1.0,OTHER\n"
                           "$>JSHOW,MASK,5\r\n"
                           "$>\r\n"
                           "$>JSHOW,AGE,1800\r\n";
    const auto msgs = FrameWhole(in);
    ASSERT_EQ(msgs.size(), 6u);
    EXPECT_EQ(msgs[0], (Msg{23, 31, "$>"}));
    EXPECT_EQ(msgs[1], (Msg{23, 140, "$> Save Complete"}));
    EXPECT_EQ(msgs[2].id, 140u);
    EXPECT_EQ(msgs[3], (Msg{23, 150, "$>JSHOW,BAUD,9600\r\n$>JSHOW,ASC,GPGGA,1.0,OTHER\r\n$>JSHOW,MASK,5\r\n"}));
    EXPECT_EQ(msgs[4], (Msg{23, 31, "$>"})); // the line that ended the burst comes after it
    EXPECT_EQ(msgs[5], (Msg{23, 150, "$>JSHOW,AGE,1800\r\n"})); // delivered at the end of input
}

TEST(Framer, ShowBurstEndsAfterSilenceOrAtAnyOtherMessage)
{
    Collect c;
    Framer f(c);
    const std::string a = "$>JSHOW,BAUD,9600\r\n";
    const std::string b = "$>JSHOW,MASK,5\r\n";
    f.Feed(a.data(), a.size(), 1000);
    f.Feed(b.data(), b.size(), 1099); // 99 ms later: still the same burst
    f.Poll(1198);
    EXPECT_TRUE(c.msgs.empty());
    EXPECT_TRUE(f.BurstPending());
    f.Poll(1199); // 100 ms after the last line
    ASSERT_EQ(c.msgs.size(), 1u);
    EXPECT_EQ(c.msgs[0].bytes, a + b);
    // A binary frame (or sentence) ends a burst at once.
    const std::string bin = BinFrame(2, std::string(16, '\0'));
    f.Feed(a.data(), a.size(), 2000);
    f.Feed(bin.data(), bin.size(), 2001);
    ASSERT_EQ(c.msgs.size(), 3u);
    EXPECT_EQ(c.msgs[1], (Msg{23, 150, a}));
    EXPECT_EQ(c.msgs[2].type, 27);
}

TEST(Framer, ShowBurstStaysOpenWhileALineIsStillArriving)
{
    // At 2400 baud a report line takes longer than the burst gap to arrive.
    Collect c;
    Framer f(c);
    const std::string a = "$>JSHOW,BAUD,2400\r\n";
    f.Feed(a.data(), a.size(), 3000);
    f.Feed("$>JSHOW,AS", 10, 3090);
    f.Poll(3150);
    f.Feed("C,GPGGA,1.0,OTHER\r\n", 19, 3180);
    f.Poll(3279);
    EXPECT_TRUE(c.msgs.empty());
    f.Poll(3280);
    ASSERT_EQ(c.msgs.size(), 1u);
    EXPECT_EQ(c.msgs[0].bytes, a + "$>JSHOW,ASC,GPGGA,1.0,OTHER\r\n");
    // Bytes that never make a line cannot hold a burst open for ever.
    f.Feed(a.data(), a.size(), 5000);
    for (std::int64_t t = 5090; t < 7100; t += 90) {
        f.Feed("x", 1, t);
        f.Poll(t);
    }
    ASSERT_EQ(c.msgs.size(), 2u);
    EXPECT_EQ(c.msgs[1].bytes, a);
}

TEST(Framer, BinaryFramesAreCheckedAndResynchronised)
{
    const std::string good = BinFrame(99, std::string(304, '\x01'));
    const std::string gga = Nmea("GPGGA,,,,,,0,,,,M,,M,,") + "\r\n";
    struct Case {
        const char* what;
        std::string in;
        int binaries;
        int sentences;
    } cases[] = {
        {"good", good, 1, 0},
        {"bad checksum", BinFrame(99, std::string(304, '\x01'), 1) + gga, 0, 1},
        {"wrong length for its id", BinFrame(99, std::string(300, '\x01')) + gga, 0, 1},
        {"length above 1024", BinFrame(500, std::string(1025, 'x')) + gga, 0, 1},
        {"unknown id with a plausible length", BinFrame(76, std::string(20, 'x')), 1, 0},
        {"no CR LF", good.substr(0, good.size() - 2) + "xx" + gga, 0, 1},
        {"cut, then a sentence", good.substr(0, 100) + gga, 0, 1},
        {"cut, then a frame", good.substr(0, 200) + good, 1, 0},
        {"frame hidden after a false header", "$BIN\x63\x00\xff\xff" + good + gga, 1, 1},
        {"noise before", std::string("\x00\xff\x13$$$B$BI\r\n", 12) + good, 1, 0},
    };
    for (const Case& c : cases) {
        const auto msgs = FrameWhole(c.in);
        int bins = 0, sentences = 0;
        for (const Msg& m : msgs) {
            bins += m.type == 27;
            sentences += m.type == 6;
            if (m.type == 27 && m.id == 99) {
                EXPECT_EQ(m.bytes, good);
            }
        }
        EXPECT_EQ(bins, c.binaries) << c.what;
        EXPECT_EQ(sentences, c.sentences) << c.what;
    }
}

TEST(Framer, NoiseOverlongLinesAndBrokenLinesAreSkipped)
{
    const std::string gga = Nmea("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") + "\r\n";
    struct Case {
        const char* what;
        std::string in;
    } cases[] = {
        {"line cut by a new sentence", "$GPGGA,1235" + gga},
        {"control byte inside a line", "$GPGGA,12\x01" "35\r\n" + gga},
        {"over-long line", "$" + std::string(2000, 'A') + "\r\n" + gga},
        {"over-long line then sentence without a line end between", "$" + std::string(600, 'A') + gga},
    };
    for (const Case& c : cases) {
        FramerStats st;
        const auto msgs = FrameWhole(c.in, &st);
        ASSERT_EQ(msgs.size(), 1u) << c.what;
        EXPECT_EQ(msgs[0].bytes + "\r\n", gga) << c.what;
        EXPECT_GT(st.droppedBytes, 0u) << c.what;
    }
}

TEST(Framer, WrongBaudRateNoiseThenRealDataAndMemoryStaysBounded)
{
    std::mt19937 rng(7);
    std::string noise(1 << 20, '\0');
    for (char& ch : noise)
        ch = char(rng());
    const std::string hemi = ReadData("gpsd_hemi.log");
    Collect c;
    Framer f(c);
    std::size_t maxHeld = 0;
    for (std::size_t at = 0; at < noise.size(); at += 997) {
        const std::size_t n = std::min<std::size_t>(997, noise.size() - at);
        f.Feed(noise.data() + at, n, 0);
        maxHeld = std::max(maxHeld, f.BufferedBytes());
    }
    EXPECT_LE(maxHeld, Framer::kMaxBinaryData + 12);
    const std::size_t before = c.msgs.size();
    // A frame can start in the noise's last bytes; after one line of real data the framer is in step.
    f.Feed(hemi.data(), hemi.size(), 0);
    f.Finish();
    EXPECT_GE(c.msgs.size() - before, 752u);
    EXPECT_LE(c.msgs.size() - before, 753u + 5u);
}
