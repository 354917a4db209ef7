#pragma once
// The decoder of the receiver's own messages on top of the NMEA decoder: the "$JSHOW" status report,
// the bare "$>" acknowledgement, and the binary messages 96 (observations) and 99 (channel status).
// Binary operations take the whole frame as the port's queue gives it, "$BIN" to CR LF; a frame of
// the wrong id, length or checksum changes nothing.

#include "NmeaFormat.h"

#include <cstdint>

// One row of the satellite table.
struct CSatRecord {
    std::int16_t m_nPrn = 0;       // satellite number (SBAS PRNs such as 129..138 included)
    std::int16_t m_nElevation = 0; // degrees
    std::int16_t m_nAzimuth = 0;   // degrees, 0..358 (the receiver reports it in steps of 2)
    std::int16_t m_nSnr = 0;       // C/N0, whole dB-Hz (rounded); 0 when the receiver reports no signal
    std::int16_t m_nCycleSlips = 0; // cycle-slip counter of this PRN in the last message 96, else 0
};

// One channel of the last message 96.
struct CObservation {
    int m_nPrn = 0;             // 0 for an empty channel
    double m_dSnrDb = 0.0;      // 10*log10(0.8192*v); 0 when v is 0
    double m_dTrackTime = 0.0;  // seconds of continuous phase tracking
    int m_nCycleSlips = 0;      // receiver's slip counter (wraps at 256)
    bool m_bPhaseValid = false;
    double m_dDoppler = 0.0;    // m/s
    double m_dPseudorange = 0.0; // metres
    double m_dCarrierPhase = 0.0; // metres
};

class CCSIFormat : public CNmeaFormat {
public:
    static constexpr int kChannels = 12;

    // Decodes a "$JSHOW" report (its "$>JSHOW,..." lines, separated by CR and/or LF). Unknown keywords
    // and extra fields are ignored. Sets m_nJshowAnswered when at least one report line was present.
    void ProcessCSISHOW(const char* msg);
    // A bare "$>" reply: sets m_ucAckFlag.
    void ProcessAck() { m_ucAckFlag = 1; }
    void ProcessSBinaryMsg96(const char* frame, int n);
    void ProcessSBinaryMsg99(const char* frame, int n);

    // ---- The "$JSHOW" report (receiver parameter page) ----
    std::int32_t m_nJshowAnswered = 0; // non-zero once a report was decoded; the program clears it before asking
    std::int32_t m_nBaud = 0;          // this port's baud rate
    std::int16_t m_nDiffMode = 0;      // differential source: 0 NONE, 1 WAAS/SBAS, 2 any other (CORS, beacon, ...)
    std::int16_t m_nAltAiding = 0;     // altitude aiding: 0 NEVER, 1 SOMETIMES, 2 ALWAYS, 3 other
    std::int16_t m_nElevMask = 5;      // elevation mask, degrees
    std::int16_t m_nAirMode = 0;       // dynamics: 0 AUTO, 1 NORM, 2 HIGH, 3 LOW
    std::int16_t m_nSmoothing = 0;     // carrier smoothing: 0 LONG, 1 SHORT
    double m_dFrequency = 0.0;         // receiver frequency, MHz as reported
    std::int16_t m_nMaxDiffAge = 0;    // maximum differential age, seconds

    // ---- Replies ----
    std::uint8_t m_ucAckFlag = 0;      // 1 once a bare "$>" acknowledgement came; the program clears it

    // ---- Satellites (message 99, slips from 96) ----
    std::int32_t m_nSatCount = 0;      // valid rows of m_sats
    CSatRecord m_sats[kChannels];      // tracked channels in channel order
    int m_nNavMode = 0;                // message 99 nav mode: 0 time invalid, 1 no fix, 2 2D, 3 3D
    int m_nClockErrorHz = 0;           // message 99 clock error at L1

    // ---- Observations (message 96) ----
    CObservation m_obs[kChannels];
    std::int16_t m_nObsWeek = 0;
    double m_dObsSeconds = 0.0;

private:
    void ApplyShowLine(const char* line, std::size_t n);
    std::uint8_t m_slips[256] = {}; // by PRN, from the last message 96
};
