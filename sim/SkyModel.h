#pragma once
#include <array>
#include <cstdint>

namespace stavo::sim {

// One receiver channel at one epoch.
struct ChannelState {
    int sv = 0;            // 0: not tracking
    double elevation = 0;  // degrees
    double azimuth = 0;    // degrees, 0..360
    double snr = 0;        // dB (C/N0 is this + 30 dB-Hz)
    double range = 0;      // pseudorange, m
    double rangeRate = 0;  // m/s
    double phase = 0;      // carrier phase, m
    double trackTime = 0;  // s since the channel locked
    bool used = false;     // in the solution (above the mask)
};

// Everything the outputs of one epoch are made of.
struct EpochState {
    std::int64_t utcMs = 0; // UTC, ms since 1970
    int gpsWeek = 0;
    double gpsTow = 0;
    int quality = 0;
    double lat = 0, lon = 0, height = 0; // degrees, metres above mean sea level
    double geoidSeparation = 0;
    double velN = 0, velE = 0, velU = 0; // m/s
    std::array<ChannelState, 12> channels{};
    int tracked = 0, used = 0;
    double pdop = 0, hdop = 0, vdop = 0;
    double sigmaLat = 0, sigmaLon = 0, sigmaAlt = 0; // metres (1 sigma)
    double correctionAge = -1; // s; negative: none
};

// A plausible sky and a position that wanders a little, as pure functions of the
// simulator's time and seed: the same seed gives the same epochs whatever the
// order or number of calls.
class SkyModel {
public:
    static constexpr int kLeapSeconds = 18;

    SkyModel(std::uint64_t seed, double lat, double lon, double height);

    // simMs: simulator time since start; startUtcMs: UTC at simulator time 0.
    EpochState epoch(std::int64_t simMs, std::int64_t startUtcMs, int quality, int maskDegrees,
                     double correctionAge) const;

private:
    ChannelState channel(int index, double t) const;
    void wander(double t, int quality, double &north, double &east, double &up) const;

    std::uint64_t m_seed;
    double m_lat, m_lon, m_height;
    std::array<double, 8> m_phases{};
};

// splitmix64: a small, well-mixed hash used for every seeded choice.
std::uint64_t mix64(std::uint64_t x);

}  // namespace stavo::sim
