// The decoders: NMEA sentences, the "$JSHOW" report, binary messages 96 and 99.

#include "CSIFormat.h"
#include "Decode.h"
#include "GpsTime.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace wirra_test;

namespace {
constexpr double kDeg = 3.14159265358979323846 / 180.0;
}

TEST(NmeaDecoder, GgaTable)
{
    struct Case {
        std::string sentence;
        bool ok;
        int quality;
        double latDeg, lonDeg, height;
    } cases[] = {
        {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47", true, 1, 48.1173, 11.516666667, 545.4},
        {"$GNGGA,132819.60,4134.49795459,N,09345.03431408,W,2,10,0.9,278.161,M,-31.442,M,6.6,0133*6A", true, 2,
         41.574965910, -93.750571901, 278.161},
        {Nmea("GLGGA,000000,3344.000,S,15112.000,W,4,12,0.6,10.0,M,0,M,1.0,0001"), true, 4, -33.733333333,
         -151.2, 10.0},
        {Nmea("GPGGA,000000,0000.000,N,00000.000,E,5,05,1.0,0,M,0,M,,"), true, 5, 0, 0, 0},
        {Nmea("GPGGA,000000,0000.000,N,00000.000,E,9,05,1.0,0,M,0,M,,"), true, 9, 0, 0, 0},
        {Nmea("GPGGA,000000,0000.000,N,00000.000,E,200,05,1.0,0,M,0,M,,"), true, 200, 0, 0, 0},
        {Nmea("GPGGA,000000,0000.000,N,00000.000,E,256,05,1.0,0,M,0,M,,"), false, 0, 0, 0, 0},
        {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*48", false, 0, 0, 0, 0}, // checksum
        {Nmea("GPGGA,123519,4807.038,X,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"), false, 0, 0, 0, 0},
        {Nmea("GPGGA,123519,4867.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"), false, 0, 0, 0, 0}, // 67 minutes
        {Nmea("GPGGA,123519,4807.038,N,,,1,08,0.9,545.4,M,46.9,M,,"), false, 0, 0, 0, 0}, // half a position
        {Nmea("GPGGA,123519,4807.038,N,01131.000,E,1,08,abc,545.4,M,46.9,M,,"), false, 0, 0, 0, 0},
        {Nmea("GPRMC,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"), false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        CNmeaFormat d;
        d.m_ucQuality = 0;
        EXPECT_EQ(d.bProcessGGA(c.sentence.c_str()), c.ok ? 1 : 0) << c.sentence;
        if (!c.ok) {
            EXPECT_EQ(d.strGetGPGGA(), "");
            continue;
        }
        EXPECT_EQ(d.m_ucQuality, c.quality) << c.sentence;
        EXPECT_NEAR(d.m_dLatitude, c.latDeg * kDeg, 1e-10) << c.sentence;
        EXPECT_NEAR(d.m_dLongitude, c.lonDeg * kDeg, 1e-10) << c.sentence;
        EXPECT_DOUBLE_EQ(d.m_dHeight, c.height);
        EXPECT_EQ(d.strGetGPGGA(), c.sentence + "\r\n");
    }
}

TEST(NmeaDecoder, GgaWithEmptyFieldsKeepsTheLastPosition)
{
    CNmeaFormat d;
    ASSERT_TRUE(d.bProcessGGA("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47"));
    EXPECT_EQ(d.m_nSatellitesUsed, 8);
    EXPECT_DOUBLE_EQ(d.m_dDiffAge, -1.0);
    ASSERT_TRUE(d.bProcessGGA("$GPGGA,,,,,,0,,,,M,,M,,*66\r\n"));
    EXPECT_EQ(d.m_ucQuality, 0);
    EXPECT_NEAR(d.m_dLatitude, 48.1173 * kDeg, 1e-10);
    EXPECT_DOUBLE_EQ(d.m_dHeight, 545.4);
    EXPECT_EQ(d.strGetGPGGA(), "$GPGGA,,,,,,0,,,,M,,M,,*66\r\n");
}

TEST(NmeaDecoder, GstFlagNeedsNumericLatitudeAndLongitudeSigmas)
{
    struct Case {
        std::string sentence;
        int flag;
    } cases[] = {
        {Nmea("GPGST,112257.00,,,,,,,"), 0},
        {Nmea("GPGST,112257.00,0.387,,,,,10.659,"), 0},
        {Nmea("GPGST,112257.00,0.387,,,,1.5,,180.7"), 0},
        {"$GPGST,112257.00,0.387,317.719,3.872,1.791,317.563,10.659,180.746*61", 1},
    };
    for (const Case& c : cases) {
        CNmeaFormat d;
        EXPECT_TRUE(d.bProcessGST(c.sentence.c_str()));
        EXPECT_EQ(d.m_ucGstFlag, c.flag) << c.sentence;
    }
    CNmeaFormat d;
    ASSERT_TRUE(d.bProcessGST(cases[3].sentence.c_str()));
    EXPECT_DOUBLE_EQ(d.m_dSigmaLat, 317.563);
    EXPECT_DOUBLE_EQ(d.m_dSigmaLon, 10.659);
    EXPECT_DOUBLE_EQ(d.m_dSigmaHeight, 180.746);
    EXPECT_DOUBLE_EQ(d.m_dRangeRms, 0.387);
    // Later empty sigmas neither clear the flag nor the values.
    ASSERT_TRUE(d.bProcessGST(cases[0].sentence.c_str()));
    EXPECT_EQ(d.m_ucGstFlag, 1);
    EXPECT_DOUBLE_EQ(d.m_dSigmaLat, 317.563);
}

TEST(NmeaDecoder, GsaRmcZda)
{
    CNmeaFormat d;
    ASSERT_TRUE(d.bProcessGSA("$GPGSA,A,2,10,13,23,,,,,,,,,,10.5,10.5,*1F"));
    EXPECT_DOUBLE_EQ(d.m_dPdop, 10.5);
    EXPECT_EQ(d.m_nFixType, 2);
    EXPECT_EQ(d.m_nUsedPrns[2], 23);
    EXPECT_EQ(d.m_nUsedPrns[3], 0);
    EXPECT_FALSE(d.bProcessGSA(Nmea("GPGSA,A,3,1,2").c_str())); // too few fields

    ASSERT_TRUE(d.bProcessRMC("$GPRMC,112257.00,A,3844.24011,N,00908.43828,W,0.1,339.1,220312,5.6,E,A*26"));
    EXPECT_EQ(d.m_cRmcStatus, 'A');
    EXPECT_DOUBLE_EQ(d.m_dCourse, 339.1);
    EXPECT_EQ(d.m_nYear, 2012);
    EXPECT_EQ(d.m_nMonth, 3);
    EXPECT_EQ(d.m_nDay, 22);
    // 2012-03-22 is Thursday of GPS week 1680; 11:22:57 UTC plus GPS-UTC, 15 s then.
    EXPECT_EQ(d.m_nGpsWeek, 1680);
    EXPECT_EQ(d.m_ulGpsSeconds, 4u * 86400 + 11 * 3600 + 22 * 60 + 57 + 15);
    EXPECT_FALSE(d.bProcessRMC(Nmea("GPRMC,112257.00,A,,,,,0.1,339.1,221312,,,A").c_str())); // month 13

    ASSERT_TRUE(d.bProcessZDA("$GPZDA,193913.00,07,09,2018,00,00*63"));
    EXPECT_EQ(d.m_nYear, 2018);
    EXPECT_EQ(d.m_nDay, 7);
    EXPECT_DOUBLE_EQ(d.m_dUtcSeconds, 19 * 3600 + 39 * 60 + 13);
    EXPECT_EQ(d.m_nGpsWeek, 2017); // 2018-09-07 is Friday of week 2017
    ASSERT_TRUE(d.bProcessZDA("$GPZDA,112257.00,22,03,2012,,*66")); // empty zone fields are normal
}

TEST(NmeaDecoder, GsaModeRmcVariationAndModeZdaZone)
{
    CNmeaFormat d;
    ASSERT_TRUE(d.bProcessGSA("$GPGSA,A,2,10,13,23,,,,,,,,,,10.5,10.5,*1F"));
    EXPECT_EQ(d.m_cGsaMode, 'A');
    ASSERT_TRUE(d.bProcessGSA(Nmea("GPGSA,M,3,,,,,,,,,,,,,1.0,1.0,1.0").c_str()));
    EXPECT_EQ(d.m_cGsaMode, 'M');
    EXPECT_FALSE(d.bProcessGSA(Nmea("GPGSA,AM,3,,,,,,,,,,,,,1.0,1.0,1.0").c_str()));
    EXPECT_EQ(d.m_cGsaMode, 'M');

    struct Case {
        std::string tail; // fields after the date
        bool ok;
        double variation; // expected afterwards (starts at 0 and carries over)
        char mode;
    } cases[] = {
        {"5.6,E,A", true, 5.6, 'A'},
        {"3.1,W,D", true, -3.1, 'D'},
        {",,N", true, -3.1, 'N'},   // empty variation keeps the last one
        {"", true, -3.1, 0},        // an older sentence without variation and mode
        {"2.0,,A", true, -3.1, 'A'}, // no letter: the sign is unknown, keep the last one
        {"2.0,X,A", false, -3.1, 'A'},
        {"abc,E,A", false, -3.1, 'A'},
        {"2.0,E,AD", false, -3.1, 'A'},
    };
    for (const Case& c : cases) {
        const std::string s = Nmea("GPRMC,112257.00,A,3844.24011,N,00908.43828,W,0.1,339.1,220312," + c.tail);
        EXPECT_EQ(bool(d.bProcessRMC(s.c_str())), c.ok) << s;
        EXPECT_DOUBLE_EQ(d.m_dVariation, c.variation) << s;
        EXPECT_EQ(d.m_cRmcMode, c.mode) << s;
    }

    ASSERT_TRUE(d.bProcessZDA(Nmea("GPZDA,193913.00,07,09,2018,-05,30").c_str()));
    EXPECT_EQ(d.m_nZoneHours, -5);
    EXPECT_EQ(d.m_nZoneMinutes, 30);
    EXPECT_FALSE(d.bProcessZDA(Nmea("GPZDA,193913.00,07,09,2018,15,00").c_str()));
    EXPECT_FALSE(d.bProcessZDA(Nmea("GPZDA,193913.00,07,09,2018,+8,x").c_str()));
    EXPECT_EQ(d.m_nZoneHours, -5);
}

TEST(NmeaDecoder, DatesThatDoNotExistAreRefusedAndLeaveTheTime)
{
    struct Case {
        std::string rmcDate, zdaDate;
        bool ok;
    } cases[] = {
        {"290212", "29,02,2012", true}, // leap year
        {"290211", "29,02,2011", false},
        {"310411", "31,04,2011", false},
        {"300411", "30,04,2011", true},
        {"000411", "00,04,2011", false},
        {"311211", "31,12,2011", true},
    };
    for (const Case& c : cases) {
        CNmeaFormat d;
        EXPECT_EQ(bool(d.bProcessRMC(Nmea("GPRMC,120000,A,,,,,,," + c.rmcDate + ",,,A").c_str())), c.ok) << c.rmcDate;
        EXPECT_EQ(d.m_nGpsWeek != 0, c.ok) << c.rmcDate;
        CNmeaFormat z;
        EXPECT_EQ(bool(z.bProcessZDA(Nmea("GPZDA,120000.00," + c.zdaDate + ",,").c_str())), c.ok) << c.zdaDate;
        EXPECT_EQ(z.m_nGpsWeek != 0, c.ok) << c.zdaDate;
    }
}

TEST(CsiDecoder, ShowReport)
{
    CCSIFormat d;
    d.vSetRate("GPZDA", 1.0); // commanded earlier, not in the report: a whole report clears it
    const char* report = "$>JSHOW,BAUD,19200\r\n"
                         "$>JSHOW,BAUD,9600,OTHER\r\n"
                         "$>JSHOW,ASC,GPGGA,1.0,OTHER\r\n"
                         "$>JSHOW,ASC,GPGSV,0.2,OTHER\r\n"
                         "$>JSHOW,ASC,GPRMC,1.0\r\n" // this port's output: not in the table
                         "$>JSHOW,BIN,99,1.0\r\n"
                         "$>JSHOW,DIFF,BEACON\r\n"
                         "$>JSHOW,ALT,SOMETIMES,2.5\r\n"
                         "$>JSHOW,MASK,10\r\n"
                         "$>JSHOW,AIR,HIGH\r\n"
                         "$>JSHOW,SMOOTH,SHORT5MIN\r\n"
                         "$>JSHOW,FREQ,1575.4200,250,extra,fields\r\n"
                         "$>JSHOW,AGE,1800\r\n"
                         "$>JSHOW,NEWTHING,1,2,3\r\n"
                         "$>JSHOW\r\n";
    d.ProcessCSISHOW(report);
    EXPECT_EQ(d.m_nJshowAnswered, 1);
    EXPECT_EQ(d.m_nBaud, 19200);
    EXPECT_EQ(d.m_nDiffMode, 2);
    EXPECT_EQ(d.m_nAltAiding, 1);
    EXPECT_EQ(d.m_nElevMask, 10);
    EXPECT_EQ(d.m_nAirMode, 2);
    EXPECT_EQ(d.m_nSmoothing, 1);
    EXPECT_DOUBLE_EQ(d.m_dFrequency, 1575.42);
    EXPECT_EQ(d.m_nMaxDiffAge, 1800);
    double r = 0;
    EXPECT_TRUE(d.bLookupRate("GPGGA", &r));
    EXPECT_DOUBLE_EQ(r, 1.0);
    EXPECT_TRUE(d.bLookupRate("GPGSV", &r));
    EXPECT_DOUBLE_EQ(r, 0.2);
    EXPECT_FALSE(d.bLookupRate("GPRMC", &r));
    EXPECT_FALSE(d.bLookupRate("GPZDA", &r));
}

TEST(CsiDecoder, ShowReportValueTables)
{
    struct Case {
        const char* line;
        int diff, alt, air, smooth;
    } cases[] = {
        {"$>JSHOW,DIFF,NONE", 0, -1, -1, -1},      {"$>JSHOW,DIFF,WAAS", 1, -1, -1, -1},
        {"$>JSHOW,DIFF,SBAS", 1, -1, -1, -1},      {"$>JSHOW,DIFF,LBAND", 2, -1, -1, -1},
        {"$>JSHOW,DIFF,X", 2, -1, -1, -1},         {"$>JSHOW,ALT,NEVER", -1, 0, -1, -1},
        {"$>JSHOW,ALT,ALWAYS,100", -1, 2, -1, -1}, {"$>JSHOW,ALT,MAYBE", -1, 3, -1, -1},
        {"$>JSHOW,AIR,AUTO", -1, -1, 0, -1},       {"$>JSHOW,AIR,LOW", -1, -1, 3, -1},
        {"$>JSHOW,AIR,WARP", -1, -1, 7, -1},       {"$>JSHOW,SMOOTH,LONG15MIN", -1, -1, -1, 0},
        {"$>JSHOW,SMOOTH,MEDIUM", -1, -1, -1, 7},
    };
    for (const Case& c : cases) {
        CCSIFormat d;
        d.m_nDiffMode = d.m_nAltAiding = d.m_nAirMode = d.m_nSmoothing = 7;
        d.ProcessCSISHOW(c.line);
        EXPECT_EQ(d.m_nJshowAnswered, 1) << c.line;
        if (c.diff >= 0) {
            EXPECT_EQ(d.m_nDiffMode, c.diff) << c.line;
        }
        if (c.alt >= 0) {
            EXPECT_EQ(d.m_nAltAiding, c.alt) << c.line;
        }
        if (c.air >= 0) {
            EXPECT_EQ(d.m_nAirMode, c.air) << c.line;
        }
        if (c.smooth >= 0) {
            EXPECT_EQ(d.m_nSmoothing, c.smooth) << c.line;
        }
    }
    CCSIFormat d;
    d.ProcessCSISHOW("$> Save Complete\r\n");
    EXPECT_EQ(d.m_nJshowAnswered, 0); // not a report
}

namespace {

std::string Msg99(unsigned week, double tow, const std::vector<std::array<int, 4>>& channels /* sv, el, azRaw, cli */)
{
    std::string d(304, '\0');
    d[0] = 3;
    d[1] = 18;
    PutU16(d, 2, week);
    PutF64(d, 4, tow);
    for (std::size_t i = 0; i < channels.size() && i < 12; ++i) {
        const std::size_t r = 12 + 24 * i;
        d[r] = char(i);
        d[r + 1] = char(channels[i][0]);
        d[r + 8] = char(static_cast<signed char>(channels[i][1]));
        d[r + 9] = char(channels[i][2]);
        PutU16(d, r + 12, unsigned(channels[i][3]));
    }
    return BinFrame(99, d);
}

std::string Msg96(const std::vector<std::pair<int, int>>& prnSlips)
{
    std::string d(300, '\0');
    PutU16(d, 2, 1481);
    PutF64(d, 4, 108094.0);
    for (std::size_t i = 0; i < prnSlips.size() && i < 12; ++i) {
        const std::size_t r = 12 + 24 * i;
        d[r] = char(prnSlips[i].first);
        d[r + 1] = char(100); // SNR value
        d[r + 3] = char(prnSlips[i].second);
    }
    return BinFrame(96, d);
}

} // namespace

TEST(CsiDecoder, Message99SatelliteTable)
{
    CCSIFormat d;
    // Cli 80000/4096 = 19.53 gives 30 dB-Hz; Cli 1953 gives 49.99 -> 50; Cli 0 gives 0.
    const std::string f = Msg99(1630, 3600.5, {{12, 63, 61, 1953}, {0, 10, 10, 500}, {138, -2, 179, 20},
                                               {5, 90, 0, 0}, {0, 0, 0, 0}, {200, 45, 200, 100}});
    d.ProcessSBinaryMsg99(f.data(), int(f.size()));
    ASSERT_EQ(d.m_nSatCount, 4);
    EXPECT_EQ(d.m_sats[0].m_nPrn, 12);
    EXPECT_EQ(d.m_sats[0].m_nElevation, 63);
    EXPECT_EQ(d.m_sats[0].m_nAzimuth, 122);
    EXPECT_EQ(d.m_sats[0].m_nSnr, 50);
    EXPECT_EQ(d.m_sats[1].m_nPrn, 138); // the empty channel is skipped, order kept
    EXPECT_EQ(d.m_sats[1].m_nElevation, -2);
    EXPECT_EQ(d.m_sats[1].m_nAzimuth, 358);
    EXPECT_EQ(d.m_sats[1].m_nSnr, 30);
    EXPECT_EQ(d.m_sats[2].m_nSnr, 0);
    EXPECT_EQ(d.m_sats[3].m_nAzimuth, 40); // out-of-range raw 200 -> 400 degrees, wrapped
    EXPECT_EQ(d.m_nGpsWeek, 1630);
    EXPECT_EQ(d.m_ulGpsSeconds, 3600u);
    EXPECT_EQ(d.m_nLeapSeconds, 18);
    EXPECT_EQ(d.m_nNavMode, 3);
    // Once binary time is there, RMC no longer moves the GPS time.
    ASSERT_TRUE(d.bProcessRMC("$GPRMC,112257.00,A,3844.24011,N,00908.43828,W,0.1,339.1,220312,5.6,E,A*26"));
    EXPECT_EQ(d.m_nGpsWeek, 1630);
    // A smaller table replaces the larger one entirely.
    const std::string g = Msg99(1630, 3601, {{7, 1, 1, 100}});
    d.ProcessSBinaryMsg99(g.data(), int(g.size()));
    EXPECT_EQ(d.m_nSatCount, 1);
    EXPECT_EQ(d.m_sats[1].m_nPrn, 0);
}

TEST(CsiDecoder, CycleSlipsComeFromTheLastMessage96OfTheSamePrn)
{
    CCSIFormat d;
    const std::string a = Msg96({{12, 3}, {5, 250}});
    d.ProcessSBinaryMsg96(a.data(), int(a.size()));
    EXPECT_EQ(d.m_obs[0].m_nPrn, 12);
    EXPECT_EQ(d.m_obs[0].m_nCycleSlips, 3);
    EXPECT_NEAR(d.m_obs[0].m_dSnrDb, 10 * std::log10(81.92), 1e-9);
    const std::string s = Msg99(1481, 1, {{5, 10, 10, 100}, {12, 10, 10, 100}, {9, 10, 10, 100}});
    d.ProcessSBinaryMsg99(s.data(), int(s.size()));
    EXPECT_EQ(d.m_sats[0].m_nCycleSlips, 250);
    EXPECT_EQ(d.m_sats[1].m_nCycleSlips, 3);
    EXPECT_EQ(d.m_sats[2].m_nCycleSlips, 0); // PRN 9 not in the last 96
    // The next 96 without PRN 12 resets its counter for the table.
    const std::string b = Msg96({{9, 1}});
    d.ProcessSBinaryMsg96(b.data(), int(b.size()));
    d.ProcessSBinaryMsg99(s.data(), int(s.size()));
    EXPECT_EQ(d.m_sats[1].m_nCycleSlips, 0);
    EXPECT_EQ(d.m_sats[2].m_nCycleSlips, 1);
}

TEST(CsiDecoder, DamagedBinaryFramesChangeNothing)
{
    CCSIFormat d;
    const std::string good = Msg99(1630, 10, {{12, 63, 61, 1953}});
    d.ProcessSBinaryMsg99(good.data(), int(good.size()));
    std::string badSum = good;
    badSum[20] ^= 1;
    const std::string wrongId = Msg96({{7, 1}});
    const std::string other = Msg99(1700, 10, {{1, 1, 1, 1}, {2, 2, 2, 2}});
    for (const std::string& f : {badSum, wrongId, other.substr(0, 100)}) {
        d.ProcessSBinaryMsg99(f.data(), int(f.size()));
        EXPECT_EQ(d.m_nSatCount, 1);
        EXPECT_EQ(d.m_nGpsWeek, 1630);
    }
    d.ProcessSBinaryMsg99(nullptr, 0);
    d.ProcessSBinaryMsg96(good.data(), int(good.size())); // a 99 is not a 96
    EXPECT_EQ(d.m_obs[0].m_nPrn, 0);
}

TEST(CsiDecoder, RealBinaryCaptureCheckedByHand)
{
    const std::string data = ReadData("cres_20080526.bin");
    const auto msgs = FrameWhole(data);
    CCSIFormat d;
    int n96 = 0, n99 = 0;
    for (const Msg& m : msgs) {
        wirra::DecodeMessage(d, m.type, m.id, m.bytes.c_str(), int(m.bytes.size()));
        if (m.type == 27 && m.id == 96 && ++n96 == 1) {
            // First message 96: channel 0 tracks PRN 12, slip counter 8, pseudorange 20788290.364 m.
            EXPECT_EQ(d.m_nObsWeek, 1481);
            EXPECT_NEAR(d.m_dObsSeconds, 108094.0, 1e-6);
            EXPECT_EQ(d.m_obs[0].m_nPrn, 12);
            EXPECT_EQ(d.m_obs[0].m_nCycleSlips, 8);
            EXPECT_NEAR(d.m_obs[0].m_dPseudorange, 20788290.364, 1e-3);
            EXPECT_NEAR(d.m_obs[0].m_dCarrierPhase, 5886750.791, 1e-3);
            EXPECT_NEAR(d.m_obs[0].m_dTrackTime, 25.5, 1e-9); // saturated: tracked longer
            EXPECT_TRUE(d.m_obs[0].m_bPhaseValid);
            EXPECT_EQ(d.m_obs[1].m_nPrn, 14);
            EXPECT_EQ(d.m_obs[1].m_nCycleSlips, 10);
        }
        if (m.type == 27 && m.id == 99 && ++n99 == 1) {
            // First message 99 of the capture: 2008-05-26 06:01:34 GPS time, GPS-UTC 14 s.
            EXPECT_EQ(d.m_nGpsWeek, 1481);
            EXPECT_EQ(d.m_ulGpsSeconds, 108094u);
            EXPECT_EQ(d.m_nLeapSeconds, 14);
            EXPECT_EQ(d.m_nNavMode, 3);
            ASSERT_GE(d.m_nSatCount, 2);
            EXPECT_EQ(d.m_sats[0].m_nPrn, 12);
            EXPECT_EQ(d.m_sats[0].m_nElevation, 63);
            EXPECT_EQ(d.m_sats[0].m_nAzimuth, 122);
            EXPECT_EQ(d.m_sats[1].m_nPrn, 14);
            EXPECT_EQ(d.m_sats[0].m_nCycleSlips, 8); // from the message 96 of the same epoch
            EXPECT_EQ(d.m_sats[1].m_nCycleSlips, 10);
        }
    }
    EXPECT_EQ(n96, 312);
    EXPECT_EQ(n99, 311);
    // The last complete 99 (the one after it is cut) is at 06:06:43 GPS time, 06:06:29 UTC.
    EXPECT_EQ(d.m_ulGpsSeconds, 108403u);
    EXPECT_EQ(d.nGpsUtcOffset(), 14);
    long y, mo, da, h, mi;
    double s;
    ASSERT_TRUE(gps_to_ymdhms(d.m_nGpsWeek, d.m_dGpsSeconds, &y, &mo, &da, &h, &mi, &s, d.nGpsUtcOffset()));
    EXPECT_EQ(y * 10000 + mo * 100 + da, 20080526);
    EXPECT_EQ(h * 100 + mi, 606);
    EXPECT_EQ(int(s), 29);
}

TEST(CsiDecoder, RealNmeaCapturesCheckedByHand)
{
    CCSIFormat d;
    for (const Msg& m : FrameWhole(ReadData("gpsd_polarx2.log")))
        wirra::DecodeMessage(d, m.type, m.id, m.bytes.c_str(), int(m.bytes.size()));
    // The last epoch of the log: $GPGGA,112301.00,3844.23907,N,00908.43804,W,1,03,10.5,,,,,,
    EXPECT_EQ(d.m_ucQuality, 1);
    EXPECT_EQ(d.m_nSatellitesUsed, 3);
    EXPECT_EQ(d.m_ucGstFlag, 1);
    EXPECT_DOUBLE_EQ(d.m_dPdop, 10.5);
    EXPECT_LT(d.m_dLongitude, 0.0);
    EXPECT_NEAR(d.m_dLatitude / kDeg, 38.0 + 44.2 / 60.0, 0.001);

    CCSIFormat r;
    int rtkFixed = 0;
    for (const Msg& m : FrameWhole(ReadData("gpsd_nmea-rtk.log"))) {
        wirra::DecodeMessage(r, m.type, m.id, m.bytes.c_str(), int(m.bytes.size()));
        rtkFixed += m.id == 25 && r.m_ucQuality == 4;
    }
    EXPECT_EQ(rtkFixed, 18);
}
