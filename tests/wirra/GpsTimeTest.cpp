// GPS week and seconds to a calendar date, in the GPS time scale and in UTC (leap seconds).

#include "GpsTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

TEST(GpsTime, CalendarTable)
{
    struct Case {
        long week;
        double seconds;
        long y, mo, d, h, mi;
        double s;
    } cases[] = {
        {0, 0, 1980, 1, 6, 0, 0, 0},
        {1630, 0, 2011, 4, 3, 0, 0, 0},              // GPS week 1630 begins on 3 April 2011
        {1630, 28800, 2011, 4, 3, 8, 0, 0},
        {1481, 108094, 2008, 5, 26, 6, 1, 34},       // the binary capture's first epoch
        {1023, 604799.5, 1999, 8, 21, 23, 59, 59.5}, // last moment before the first week rollover
        {1024, 0, 1999, 8, 22, 0, 0, 0},             // week 1024 (received as 0 by 10-bit receivers)
        {2047, 604799, 2019, 4, 6, 23, 59, 59},
        {2048, 0, 2019, 4, 7, 0, 0, 0},              // second rollover
        {1051, 86400 * 3, 2000, 3, 1, 0, 0, 0},      // 2000 is a leap year: 29 Feb exists
        {1051, 86400 * 2, 2000, 2, 29, 0, 0, 0},
        {1677, 86400 * 3, 2012, 2, 29, 0, 0, 0},
        {6269, 0, 2100, 2, 28, 0, 0, 0},             // 2100 is not a leap year...
        {6269, 86400, 2100, 3, 1, 0, 0, 0},          // ...so 28 Feb is followed by 1 March
        {1630, -1, 2011, 4, 2, 23, 59, 59},          // negative seconds carry into the week before
        {1630, 604800 + 3600, 2011, 4, 10, 1, 0, 0}, // beyond one week carries forward
        {1630, -28800, 2011, 4, 2, 16, 0, 0},
    };
    for (const Case& c : cases) {
        long y = 0, mo = 0, d = 0, h = 0, mi = 0;
        double s = -1;
        ASSERT_TRUE(gps_to_ymdhms(c.week, c.seconds, &y, &mo, &d, &h, &mi, &s, 0)) << c.week << " " << c.seconds;
        EXPECT_EQ(y, c.y) << c.week << " " << c.seconds;
        EXPECT_EQ(mo, c.mo) << c.week << " " << c.seconds;
        EXPECT_EQ(d, c.d) << c.week << " " << c.seconds;
        EXPECT_EQ(h, c.h) << c.week << " " << c.seconds;
        EXPECT_EQ(mi, c.mi) << c.week << " " << c.seconds;
        EXPECT_NEAR(s, c.s, 1e-6) << c.week << " " << c.seconds;
    }
}

TEST(GpsTime, RoundTripEveryDayForFourHundredYears)
{
    for (long long day = 0; day < 146097; day += 1) {
        long y, mo, d, h, mi;
        double s;
        ASSERT_TRUE(gps_to_ymdhms(long(day / 7), double(day % 7) * 86400 + 43210.25, &y, &mo, &d, &h, &mi, &s, 0));
        long week = 0;
        double sow = 0;
        ASSERT_TRUE(wirra::GpsFromCalendar(y, mo, d, h * 3600 + mi * 60 + s, &week, &sow));
        ASSERT_EQ(week, long(day / 7));
        ASSERT_NEAR(sow, double(day % 7) * 86400 + 43210.25, 1e-6);
    }
}

TEST(GpsTime, UtcWithLeapSecondsFromTheTableOrAsGiven)
{
    struct Case {
        long week;
        double seconds;
        int gpsUtc; // wirra::kGpsUtcFromTable or a reported value
        const char* utc;
    } cases[] = {
        {1630, 0, wirra::kGpsUtcFromTable, "2011-04-02 23:59:45.000"},     // GPS-UTC was 15 s in 2011
        {1630, 28800, wirra::kGpsUtcFromTable, "2011-04-03 07:59:45.000"}, // the same, 8 hours east
        {1630, 28800, 15, "2011-04-03 07:59:45.000"},                      // reported: the same
        {1630, 28800, 16, "2011-04-03 07:59:44.000"},                      // a report wins over the table
        {1481, 108094, wirra::kGpsUtcFromTable, "2008-05-26 06:01:20.000"}, // 14 s in 2008
        {0, 0, wirra::kGpsUtcFromTable, "1980-01-06 00:00:00.000"},        // none yet in 1980
        {1630, -18000, wirra::kGpsUtcFromTable, "2011-04-02 18:59:45.000"}, // -5:00, into the week before
        {1630, 604800 * 2 + 1.25, wirra::kGpsUtcFromTable, "2011-04-16 23:59:46.250"},
        // Around the leap second at the end of 2016 (GPS-UTC 17 -> 18): 23:59:59 shows twice.
        // Week 1930 begins on 1 January 2017 in GPS time, 18 s before it begins in UTC.
        {1930, 15, wirra::kGpsUtcFromTable, "2016-12-31 23:59:58.000"},
        {1930, 16, wirra::kGpsUtcFromTable, "2016-12-31 23:59:59.000"},
        {1930, 17.5, wirra::kGpsUtcFromTable, "2016-12-31 23:59:59.500"}, // the inserted second
        {1930, 18, wirra::kGpsUtcFromTable, "2017-01-01 00:00:00.000"},
        {2300, 0, wirra::kGpsUtcFromTable, "2024-02-03 23:59:42.000"},
    };
    for (const Case& c : cases) {
        long y = 0, mo = 0, d = 0, h = 0, mi = 0;
        double s = -1;
        ASSERT_TRUE(gps_to_ymdhms(c.week, c.seconds, &y, &mo, &d, &h, &mi, &s, c.gpsUtc)) << c.utc;
        char text[40];
        std::snprintf(text, sizeof text, "%04ld-%02ld-%02ld %02ld:%02ld:%06.3f", y, mo, d, h, mi, s);
        EXPECT_STREQ(text, c.utc);
    }
    // The decoder's RMC/ZDA time goes the other way with the table's value at that UTC date.
    EXPECT_EQ(wirra::GpsUtcOffsetAtUtc(2015, 6, 30, 86399), 16);
    EXPECT_EQ(wirra::GpsUtcOffsetAtUtc(2015, 7, 1, 0), 17);
    EXPECT_EQ(wirra::GpsUtcOffsetAtUtc(1981, 6, 30, 0), 0);
    EXPECT_EQ(wirra::GpsUtcOffsetAtUtc(2030, 1, 1, 0), 18);
}

TEST(GpsTime, UnusableInputIsRefusedAndLeavesTheOutputs)
{
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e300,
                          -1e300};
    for (double seconds : bad) {
        long y = 7, mo = 7, d = 7, h = 7, mi = 7;
        double s = 7;
        EXPECT_FALSE(gps_to_ymdhms(1630, seconds, &y, &mo, &d, &h, &mi, &s));
        EXPECT_EQ(y, 7);
        EXPECT_EQ(s, 7);
    }
    long y, mo, d, h, mi;
    double s;
    EXPECT_FALSE(gps_to_ymdhms(2000000000L, 0, &y, &mo, &d, &h, &mi, &s));
}
