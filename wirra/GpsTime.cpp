#include "GpsTime.h"

#include <cmath>
#include <iterator>

namespace wirra {

namespace {
constexpr long long kGpsEpochDays = 3657; // 1980-01-06 counted from 1970-01-01
constexpr double kWeekSeconds = 604800.0;

// The UTC months whose first day began with GPS-UTC one second more (IERS Bulletin C).
struct Leap {
    int year, month;
};
constexpr Leap kLeaps[] = {{1981, 7}, {1982, 7}, {1983, 7}, {1985, 7}, {1988, 1}, {1990, 1},
                           {1991, 1}, {1992, 7}, {1993, 7}, {1994, 7}, {1996, 1}, {1997, 7},
                           {1999, 1}, {2006, 1}, {2009, 1}, {2012, 7}, {2015, 7}, {2017, 1}};

// Seconds from the GPS epoch to the start of that UTC day, counted without leap seconds.
double leapDay(const Leap& l) { return double(DaysFromCivil(l.year, unsigned(l.month), 1) - kGpsEpochDays) * 86400.0; }
} // namespace

int GpsUtcOffsetAtGps(long week, double seconds)
{
    const double g = double(week) * kWeekSeconds + seconds;
    int offset = 0;
    // The day starts at GPS time day + n; the inserted second before it already counts n, so the
    // UTC shown for it is 23:59:59 once more rather than a day that has not begun.
    for (const Leap& l : kLeaps)
        if (g >= leapDay(l) + double(offset + 1) - 1.0)
            ++offset;
    return offset;
}

int GpsUtcOffsetAtUtc(long year, long month, long day, double secondsOfDay)
{
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return int(std::size(kLeaps));
    const double u = double(DaysFromCivil(year, unsigned(month), unsigned(day)) - kGpsEpochDays) * 86400.0 + secondsOfDay;
    int offset = 0;
    for (const Leap& l : kLeaps)
        if (u >= leapDay(l))
            ++offset;
    return offset;
}

// The usual era-based conversion: exact for every date, no tables, no loops.
long long DaysFromCivil(long year, unsigned month, unsigned day)
{
    const long long y = (long long)year - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (long long)doe - 719468;
}

void CivilFromDays(long long z, long* year, long* month, long* day)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = (long long)yoe + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    *year = long(y + (m <= 2 ? 1 : 0));
    *month = long(m);
    *day = long(d);
}

bool GpsFromCalendar(long year, long month, long day, double secondsOfDay, long* week, double* secondsOfWeek)
{
    if (month < 1 || month > 12 || day < 1 || day > 31 || !std::isfinite(secondsOfDay))
        return false;
    const long long days = DaysFromCivil(year, unsigned(month), unsigned(day)) - kGpsEpochDays;
    const double total = double(days) * 86400.0 + secondsOfDay;
    const double w = std::floor(total / kWeekSeconds);
    *week = long(w);
    *secondsOfWeek = total - w * kWeekSeconds;
    return true;
}

} // namespace wirra

bool gps_to_ymdhms(long week, double seconds, long* year, long* month, long* day, long* hour, long* minute,
                   double* second, int gpsUtc)
{
    // Far outside years 1..9999 either way; also keeps the integer arithmetic below in range.
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e12 || week > 100000000L || week < -100000000L)
        return false;
    seconds -= gpsUtc == wirra::kGpsUtcFromTable ? wirra::GpsUtcOffsetAtGps(week, seconds) : gpsUtc;
    // Split into whole days and the second of the day, carrying seconds outside the week.
    const double daysIn = std::floor(seconds / 86400.0);
    double sod = seconds - daysIn * 86400.0;
    long long days = (long long)week * 7 + (long long)daysIn;
    if (sod >= 86400.0) { // rounding of the division above
        sod -= 86400.0;
        ++days;
    }
    if (sod < 0.0)
        sod = 0.0;
    days += 3657;
    // Years 1..9999 only: beyond them the result means nothing to a person.
    if (days < -719162 || days > 2932896)
        return false;
    long y = 0, mo = 0, d = 0;
    wirra::CivilFromDays(days, &y, &mo, &d);
    const long h = long(sod / 3600.0);
    const long mi = long((sod - h * 3600.0) / 60.0);
    *year = y;
    *month = mo;
    *day = d;
    *hour = h;
    *minute = mi;
    *second = sod - h * 3600.0 - mi * 60.0;
    return true;
}
