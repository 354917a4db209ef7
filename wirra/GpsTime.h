#pragma once
// GPS time (week number and seconds into the week, counted from 6 January 1980 00:00) to a calendar
// date and time, and back. No leap seconds are applied: the result is the GPS time scale written
// as a date, which is what the program displays and sets.

// Any seconds are accepted, negative or beyond one week: they carry into the neighbouring weeks.
// Returns false (leaving the outputs untouched) when seconds is not a finite number or the result
// lies outside years 1..9999.
bool gps_to_ymdhms(long week, double seconds, long* year, long* month, long* day, long* hour, long* minute,
                   double* second);

namespace wirra {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian), and back.
long long DaysFromCivil(long year, unsigned month, unsigned day);
void CivilFromDays(long long days, long* year, long* month, long* day);

// GPS week and seconds of week of a calendar instant given in the GPS time scale.
bool GpsFromCalendar(long year, long month, long day, double secondsOfDay, long* week, double* secondsOfWeek);

} // namespace wirra
