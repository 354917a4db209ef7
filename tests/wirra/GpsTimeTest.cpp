// GPS week and seconds to a calendar date.

#include "GpsTime.h"

#include <gtest/gtest.h>

#include <cmath>
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
        {1630, 0, 2011, 4, 3, 0, 0, 0},              // the options page's example (no leap seconds)
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
        ASSERT_TRUE(gps_to_ymdhms(c.week, c.seconds, &y, &mo, &d, &h, &mi, &s)) << c.week << " " << c.seconds;
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
        ASSERT_TRUE(gps_to_ymdhms(long(day / 7), double(day % 7) * 86400 + 43210.25, &y, &mo, &d, &h, &mi, &s));
        long week = 0;
        double sow = 0;
        ASSERT_TRUE(wirra::GpsFromCalendar(y, mo, d, h * 3600 + mi * 60 + s, &week, &sow));
        ASSERT_EQ(week, long(day / 7));
        ASSERT_NEAR(sow, double(day % 7) * 86400 + 43210.25, 1e-6);
    }
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
