#pragma once
#include <optional>
#include <string>

namespace stavo::sim {

// The solution's quality as the GGA reports it, driven by time and by the RTCM 3
// corrections that arrive. Times are the simulator's clock, in seconds.
class FixModel {
public:
    static constexpr double kFloatAfter = 3.0;  // corrections flowing this long: RTK float
    static constexpr double kFixedAfter = 10.0; // and this long: RTK fixed
    static constexpr double kMaxAge = 10.0;     // no valid frame for longer: back to autonomous

    // noFix: no solution until fixAfter (negative: never).
    FixModel(bool noFix = false, double fixAfter = -1.0);

    void onCorrection(double t);
    // 0 none, 1 single, 2 SBAS differential, 5 RTK float, 4 RTK fixed.
    int quality(double t, const std::string &diffSource) const;
    // Seconds since the last valid correction frame while corrections count.
    std::optional<double> correctionAge(double t) const;

private:
    bool streaming(double t) const;
    bool m_noFix;
    double m_fixAfter;
    double m_streamStart = -1.0;
    double m_lastFrame = -1.0;
};

}  // namespace stavo::sim
