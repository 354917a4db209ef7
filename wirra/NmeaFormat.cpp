#include "NmeaFormat.h"

#include "GpsTime.h"
#include "NmeaFields.h"

#include <cmath>
#include <cstring>

using platform::BOOL;
using platform::FALSE;
using platform::TRUE;
using wirra::NmeaFields;

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

bool Open(NmeaFields& f, const char* msg, const char* name, std::size_t minFields)
{
    return f.Split(msg) && f.Name() == name && f.Count() >= minFields;
}

// Reads an optional number: true when the field is empty or numeric; *present says which.
bool Optional(const NmeaFields& f, std::size_t i, double* v, bool* present)
{
    *present = !f.Empty(i);
    return !*present || f.Double(i, v);
}

bool OptionalInt(const NmeaFields& f, std::size_t i, long* v, bool* present)
{
    *present = !f.Empty(i);
    return !*present || f.Int(i, v);
}

bool OptionalTime(const NmeaFields& f, std::size_t i, double* v, bool* present)
{
    *present = !f.Empty(i);
    return !*present || f.TimeOfDay(i, v);
}

// Latitude and longitude come as a pair: both empty, or both readable.
bool OptionalPosition(const NmeaFields& f, std::size_t i, double* lat, double* lon, bool* present)
{
    const bool empty = f.Empty(i) && f.Empty(i + 1) && f.Empty(i + 2) && f.Empty(i + 3);
    *present = !empty;
    return empty || (f.Angle(i, true, lat) && f.Angle(i + 2, false, lon));
}

// A real calendar day: 31 February would silently become 3 March in the GPS time.
bool RealDate(long year, long month, long day)
{
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    long y = 0, m = 0, d = 0;
    wirra::CivilFromDays(wirra::DaysFromCivil(year, unsigned(month), unsigned(day)), &y, &m, &d);
    return y == year && m == month && d == day;
}

} // namespace

bool CNmeaFormat::bLookupRate(const std::string& name, double* rate) const
{
    const auto it = m_mapRates.find(name);
    if (it == m_mapRates.end())
        return false;
    *rate = it->second;
    return true;
}

BOOL CNmeaFormat::bProcessGGA(const char* msg)
{
    NmeaFields f;
    if (!Open(f, msg, "GGA", 7))
        return FALSE;
    double t = 0, lat = 0, lon = 0, hdop = 0, alt = 0, sep = 0, age = 0;
    long q = 0, sats = 0, station = 0;
    bool hasT, hasPos, hasQ, hasSats, hasHdop, hasAlt, hasSep, hasAge, hasStation;
    if (!OptionalTime(f, 1, &t, &hasT) || !OptionalPosition(f, 2, &lat, &lon, &hasPos)
        || !OptionalInt(f, 6, &q, &hasQ) || !OptionalInt(f, 7, &sats, &hasSats)
        || !Optional(f, 8, &hdop, &hasHdop) || !Optional(f, 9, &alt, &hasAlt) || !Optional(f, 11, &sep, &hasSep)
        || !Optional(f, 13, &age, &hasAge) || !OptionalInt(f, 14, &station, &hasStation))
        return FALSE;
    if (q < 0 || q > 255 || sats < 0 || sats > 999)
        return FALSE;
    if (hasT)
        m_dUtcSeconds = t;
    if (hasPos) {
        m_dLatitude = lat * kDegToRad;
        m_dLongitude = lon * kDegToRad;
    }
    if (hasQ)
        m_ucQuality = std::uint8_t(q);
    if (hasSats)
        m_nSatellitesUsed = int(sats);
    if (hasHdop)
        m_dHdop = hdop;
    if (hasAlt)
        m_dHeight = alt;
    if (hasSep)
        m_dGeoidSeparation = sep;
    m_dDiffAge = hasAge ? age : -1.0;
    m_nStationId = hasStation && station >= 0 && station <= 9999 ? int(station) : -1;
    std::size_t n = std::strlen(msg);
    while (n > 0 && (msg[n - 1] == '\r' || msg[n - 1] == '\n'))
        --n;
    m_strLastGGA.assign(msg, n);
    m_strLastGGA += "\r\n";
    return TRUE;
}

BOOL CNmeaFormat::bProcessGSA(const char* msg)
{
    NmeaFields f;
    if (!Open(f, msg, "GSA", 18))
        return FALSE;
    long fix = 0;
    bool hasFix;
    int prns[12] = {};
    for (int i = 0; i < 12; ++i) {
        long p = 0;
        bool has;
        if (!OptionalInt(f, 3 + std::size_t(i), &p, &has) || p < 0 || p > 999)
            return FALSE;
        prns[i] = int(p);
    }
    double pdop = 0, hdop = 0, vdop = 0;
    bool hasP, hasH, hasV;
    if (!OptionalInt(f, 2, &fix, &hasFix) || !Optional(f, 15, &pdop, &hasP) || !Optional(f, 16, &hdop, &hasH)
        || !Optional(f, 17, &vdop, &hasV))
        return FALSE;
    const std::string_view mode = f.Field(1);
    if (mode.size() > 1)
        return FALSE;
    if (!mode.empty())
        m_cGsaMode = mode[0];
    if (hasFix)
        m_nFixType = int(fix);
    std::memcpy(m_nUsedPrns, prns, sizeof prns);
    if (hasP)
        m_dPdop = pdop;
    if (hasH)
        m_dHdop = hdop;
    if (hasV)
        m_dVdop = vdop;
    return TRUE;
}

BOOL CNmeaFormat::bProcessGST(const char* msg)
{
    NmeaFields f;
    if (!Open(f, msg, "GST", 9))
        return FALSE;
    double v[9] = {};
    bool has[9] = {};
    if (!OptionalTime(f, 1, &v[1], &has[1]))
        return FALSE;
    for (std::size_t i = 2; i <= 8; ++i)
        if (!Optional(f, i, &v[i], &has[i]))
            return FALSE;
    double* const out[8] = {nullptr, nullptr, &m_dRangeRms, &m_dSigmaMajor, &m_dSigmaMinor,
                            &m_dOrientation, &m_dSigmaLat, &m_dSigmaLon};
    for (std::size_t i = 2; i <= 7; ++i)
        if (has[i])
            *out[i] = v[i];
    if (has[8])
        m_dSigmaHeight = v[8];
    if (has[6] && has[7])
        m_ucGstFlag = 1;
    return TRUE;
}

BOOL CNmeaFormat::bProcessRMC(const char* msg)
{
    NmeaFields f;
    if (!Open(f, msg, "RMC", 10))
        return FALSE;
    double t = 0, lat = 0, lon = 0, speed = 0, course = 0;
    long date = 0;
    bool hasT, hasPos, hasSpeed, hasCourse, hasDate;
    if (!OptionalTime(f, 1, &t, &hasT) || !OptionalPosition(f, 3, &lat, &lon, &hasPos)
        || !Optional(f, 7, &speed, &hasSpeed) || !Optional(f, 8, &course, &hasCourse)
        || !OptionalInt(f, 9, &date, &hasDate))
        return FALSE;
    const std::string_view status = f.Field(2);
    if (status.size() > 1)
        return FALSE;
    // Variation and its E/W letter, then the mode of NMEA 2.3 and later; older receivers stop earlier.
    double variation = 0;
    bool hasVariation;
    if (!Optional(f, 10, &variation, &hasVariation))
        return FALSE;
    const std::string_view side = f.Field(11);
    if (!side.empty() && side != "E" && side != "W")
        return FALSE;
    const std::string_view mode = f.Field(12);
    if (mode.size() > 1)
        return FALSE;
    long day = 0, month = 0, year = 0;
    if (hasDate) {
        if (f.Field(9).size() != 6)
            return FALSE;
        day = date / 10000;
        month = date / 100 % 100;
        year = 2000 + date % 100;
        if (year >= 2080) // two-digit years: 80..99 are the last century
            year -= 100;
        if (!RealDate(year, month, day))
            return FALSE;
    }
    m_cRmcStatus = status.empty() ? 'V' : status[0];
    if (hasSpeed)
        m_dSpeedKnots = speed;
    if (hasCourse)
        m_dCourse = course;
    if (hasVariation && !side.empty()) // without its letter the sign is unknown
        m_dVariation = side == "W" ? -variation : variation;
    m_cRmcMode = mode.empty() ? 0 : mode[0];
    SetUtcTimeAndDate(hasT, t, hasDate, year, month, day);
    return TRUE;
}

BOOL CNmeaFormat::bProcessZDA(const char* msg)
{
    NmeaFields f;
    if (!Open(f, msg, "ZDA", 5))
        return FALSE;
    double t = 0;
    long day = 0, month = 0, year = 0;
    bool hasT, hasD, hasM, hasY;
    if (!OptionalTime(f, 1, &t, &hasT) || !OptionalInt(f, 2, &day, &hasD) || !OptionalInt(f, 3, &month, &hasM)
        || !OptionalInt(f, 4, &year, &hasY))
        return FALSE;
    long zoneH = 0, zoneM = 0;
    bool hasZoneH, hasZoneM;
    if (!OptionalInt(f, 5, &zoneH, &hasZoneH) || !OptionalInt(f, 6, &zoneM, &hasZoneM) || zoneH < -13 || zoneH > 13
        || zoneM < -59 || zoneM > 59)
        return FALSE;
    const bool hasDate = hasD && hasM && hasY;
    if (hasDate && (year < 1980 || year > 9999 || !RealDate(year, month, day)))
        return FALSE;
    if (hasZoneH)
        m_nZoneHours = int(zoneH);
    if (hasZoneM)
        m_nZoneMinutes = int(zoneM);
    SetUtcTimeAndDate(hasT, t, hasDate, year, month, day);
    return TRUE;
}

void CNmeaFormat::SetUtcTimeAndDate(bool hasTime, double t, bool hasDate, long year, long month, long day)
{
    if (hasTime)
        m_dUtcSeconds = t;
    if (!hasDate)
        return;
    m_nYear = int(year);
    m_nMonth = int(month);
    m_nDay = int(day);
    if (hasTime)
        SetTimeFromUtc(year, month, day, t);
}

void CNmeaFormat::SetTimeFromUtc(long year, long month, long day, double secondsOfDay)
{
    if (m_bBinaryTime)
        return;
    long week = 0;
    double sow = 0;
    const int gpsUtc = m_nLeapSeconds > 0 ? m_nLeapSeconds : wirra::GpsUtcOffsetAtUtc(year, month, day, secondsOfDay);
    if (!wirra::GpsFromCalendar(year, month, day, secondsOfDay + gpsUtc, &week, &sow))
        return;
    if (week < 0 || week > 32767)
        return;
    m_nGpsWeek = std::int16_t(week);
    m_dGpsSeconds = sow;
    m_ulGpsSeconds = std::uint32_t(sow);
}

int CNmeaFormat::nGpsUtcOffset() const
{
    return m_nLeapSeconds > 0 ? m_nLeapSeconds : wirra::GpsUtcOffsetAtGps(m_nGpsWeek, m_dGpsSeconds);
}
