#pragma once
// The NMEA decoder: each operation decodes one complete sentence (as the port's queue gives it, with
// or without its line end) into the public state below, which the program's pages read directly.
// A sentence that is malformed (wrong checksum, wrong sentence, unreadable numbers) changes nothing
// and the operation returns FALSE. Empty fields, normal before a fix, leave the value they would set
// as it was and do not make the sentence malformed. Any talker (GP, GN, GL, GA, GB, ...) is accepted.

#include "platform/WinTypes.h"

#include <cstdint>
#include <map>
#include <string>

class CNmeaFormat {
public:
    CNmeaFormat() = default;
    virtual ~CNmeaFormat() = default;

    platform::BOOL bProcessGGA(const char* msg);
    platform::BOOL bProcessGSA(const char* msg);
    platform::BOOL bProcessGST(const char* msg);
    platform::BOOL bProcessRMC(const char* msg);
    platform::BOOL bProcessZDA(const char* msg);

    // The last GGA sentence decoded, ending in CR LF (ready to send to a caster); empty before the first.
    std::string strGetGPGGA() const { return m_strLastGGA; }

    // Sentence-to-rate table (name such as "GPGGA" -> rate in Hz). Filled from the receiver's report
    // of the other port's outputs (see CCSIFormat) and written by the program when it commands rates.
    bool bLookupRate(const std::string& name, double* rate) const;
    void vSetRate(const std::string& name, double rate) { m_mapRates[name] = rate; }

    // ---- Position (GGA) ----
    double m_dLatitude = 0.0;       // radians, north positive
    double m_dLongitude = 0.0;      // radians, east positive
    double m_dHeight = 0.0;         // metres, antenna altitude above mean sea level (GGA field 9)
    double m_dGeoidSeparation = 0.0; // metres, geoid above the ellipsoid (GGA field 11)
    std::uint8_t m_ucQuality = 0;   // GGA quality: 0 none, 1 single, 2 differential, 4 RTK fixed,
                                    // 5 RTK float, 6 dead reckoning, 7 manual, 8 simulation, 9 SBAS
    int m_nSatellitesUsed = 0;      // GGA satellite count
    double m_dHdop = 0.0;           // from GGA (and GSA)
    double m_dDiffAge = -1.0;       // seconds since the last correction; -1 when the field was empty
    int m_nStationId = -1;          // differential station id; -1 when the field was empty
    double m_dUtcSeconds = -1.0;    // UTC time of day of the last GGA/RMC/ZDA, seconds; -1 before one

    // ---- Dilution of precision (GSA) ----
    double m_dPdop = 0.0;
    double m_dVdop = 0.0;
    char m_cGsaMode = 0;            // GSA: 'A' automatic or 'M' manual 2D/3D choice; 0 before one
    int m_nFixType = 0;             // GSA: 1 no fix, 2 2D, 3 3D
    int m_nUsedPrns[12] = {};       // GSA: satellites used, 0 for an empty slot

    // ---- Precision (GST) ----
    double m_dRangeRms = 0.0;       // metres, RMS of the range inputs
    double m_dSigmaMajor = 0.0;     // metres, error ellipse semi-major axis
    double m_dSigmaMinor = 0.0;     // metres, error ellipse semi-minor axis
    double m_dOrientation = 0.0;    // degrees from true north, of the semi-major axis
    double m_dSigmaLat = 0.0;       // metres, standard deviation of the latitude error
    double m_dSigmaLon = 0.0;       // metres, standard deviation of the longitude error
    double m_dSigmaHeight = 0.0;    // metres, standard deviation of the height error
    std::uint8_t m_ucGstFlag = 0;   // 1 once a GST with numeric latitude and longitude sigmas was decoded

    // ---- Course and date (RMC, ZDA) ----
    char m_cRmcStatus = 'V';        // RMC status: 'A' valid, 'V' warning
    double m_dSpeedKnots = 0.0;
    double m_dCourse = 0.0;         // degrees true
    double m_dVariation = 0.0;      // RMC magnetic variation, degrees, east positive
    char m_cRmcMode = 0;            // RMC mode indicator ('A' autonomous, 'D' differential, 'N' not
                                    // valid, ...); 0 when the sentence has none
    int m_nZoneHours = 0, m_nZoneMinutes = 0; // ZDA local zone (local = UTC + zone)
    int m_nYear = 0, m_nMonth = 0, m_nDay = 0; // UTC date of the last RMC/ZDA; 0 before one

    // ---- GPS time, as the options page reads it ----
    // From the last binary message 99; before any, from RMC/ZDA (UTC date and time plus GPS-UTC).
    std::int16_t m_nGpsWeek = 0;
    std::uint32_t m_ulGpsSeconds = 0; // whole seconds of the week
    double m_dGpsSeconds = 0.0;       // seconds of the week with fraction
    int m_nLeapSeconds = 0;           // GPS - UTC, seconds, as the last message 99 reported it; 0 before one

    // GPS - UTC for the time above: the receiver's report, else the table of leap seconds. GPS-UTC
    // has been positive since 1981, so a report of 0 or less means the receiver does not know it yet.
    int nGpsUtcOffset() const;

    // ---- Rate table ----
    std::map<std::string, double> m_mapRates;

protected:
    bool m_bBinaryTime = false; // a message 99 has set the GPS time: RMC/ZDA no longer do
    void SetTimeFromUtc(long year, long month, long day, double secondsOfDay);
    // The UTC time of day and date of an RMC or ZDA, each only when the sentence had it.
    void SetUtcTimeAndDate(bool hasTime, double t, bool hasDate, long year, long month, long day);

private:
    std::string m_strLastGGA;
};
