#pragma once
// GPS time (week number and seconds into the week, counted from 6 January 1980 00:00) to a UTC
// calendar date and time, and back. GPS time runs ahead of UTC by the leap seconds inserted since
// 1980 (GPS-UTC): the receiver reports it in binary message 99; without a report the table below
// gives it.

#include <climits>

namespace wirra {
// Asks gps_to_ymdhms to take GPS-UTC from the table of leap seconds.
constexpr int kGpsUtcFromTable = INT_MIN;
} // namespace wirra

// Any seconds are accepted, negative or beyond one week: they carry into the neighbouring weeks.
// gpsUtc is GPS-UTC in seconds (0 gives the GPS time scale itself as a date); by default the table's
// value at that GPS time. Returns false (leaving the outputs untouched) when seconds is not a finite
// number or the result lies outside years 1..9999.
bool gps_to_ymdhms(long week, double seconds, long* year, long* month, long* day, long* hour, long* minute,
                   double* second, int gpsUtc = wirra::kGpsUtcFromTable);

namespace wirra {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian), and back.
long long DaysFromCivil(long year, unsigned month, unsigned day);
void CivilFromDays(long long days, long* year, long* month, long* day);

// GPS week and seconds of week of a calendar instant given in the GPS time scale.
bool GpsFromCalendar(long year, long month, long day, double secondsOfDay, long* week, double* secondsOfWeek);

// GPS-UTC from the table of leap seconds (the last known: 18 s since 1 January 2017; 0 before
// July 1981). At a GPS time: during an inserted leap second the UTC it gives repeats 23:59:59.
int GpsUtcOffsetAtGps(long week, double seconds);
// At a UTC calendar instant (seconds of the day may reach 86400 in an inserted second).
int GpsUtcOffsetAtUtc(long year, long month, long day, double secondsOfDay);

} // namespace wirra
