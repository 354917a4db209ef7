#include "SkyModel.h"

#include <algorithm>
#include <cmath>

namespace stavo::sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kEarthRadius = 6371000.0;
constexpr double kOrbitRadius = 26560000.0;
constexpr double kL1Wavelength = 0.19029367;
constexpr std::int64_t kGpsEpochUnix = 315964800; // 1980-01-06

double unit(std::uint64_t h) { return static_cast<double>(h >> 11) / 9007199254740992.0; }

double geometricRange(double elevationDeg)
{
    const double e = elevationDeg * kDeg;
    const double re = kEarthRadius * std::cos(e);
    return std::sqrt(kOrbitRadius * kOrbitRadius - re * re) - kEarthRadius * std::sin(e);
}

// Inverse of a symmetric positive definite 4x4 matrix by Gauss-Jordan; false if singular.
bool invert4(std::array<std::array<double, 4>, 4> m, std::array<std::array<double, 4>, 4> &inv)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            inv[i][j] = i == j ? 1.0 : 0.0;
    for (int c = 0; c < 4; ++c) {
        int p = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(m[r][c]) > std::fabs(m[p][c]))
                p = r;
        if (std::fabs(m[p][c]) < 1e-12)
            return false;
        std::swap(m[p], m[c]);
        std::swap(inv[p], inv[c]);
        const double d = m[c][c];
        for (int j = 0; j < 4; ++j) {
            m[c][j] /= d;
            inv[c][j] /= d;
        }
        for (int r = 0; r < 4; ++r) {
            if (r == c)
                continue;
            const double f = m[r][c];
            for (int j = 0; j < 4; ++j) {
                m[r][j] -= f * m[c][j];
                inv[r][j] -= f * inv[c][j];
            }
        }
    }
    return true;
}

}  // namespace

std::uint64_t mix64(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

SkyModel::SkyModel(std::uint64_t seed, double lat, double lon, double height)
    : m_seed(seed), m_lat(lat), m_lon(lon), m_height(height)
{
    for (std::size_t i = 0; i < m_phases.size(); ++i)
        m_phases[i] = 2 * kPi * unit(mix64(seed ^ (0x5157ull + i)));
}

ChannelState SkyModel::channel(int index, double t) const
{
    // Each channel follows one satellite over a pass of 3 to 5 hours; when the pass
    // ends it takes the next one. The PRN pools of the channels do not overlap, so
    // a PRN is never tracked twice.
    const std::uint64_t chanKey = mix64(m_seed * 131 + static_cast<std::uint64_t>(index));
    const double period = (3.0 + 2.0 * unit(chanKey)) * 3600.0;
    const double offset = unit(mix64(chanKey + 1)) * period;
    const double along = (t + offset) / period;
    const auto pass = static_cast<std::uint64_t>(std::floor(along));
    const double u = along - std::floor(along);
    const std::uint64_t passKey = mix64(chanKey ^ (pass * 0x9E37ull + 7));

    ChannelState c;
    const int pool[3] = {index + 1, index + 13, index + 25};
    const int poolSize = index + 25 <= 32 ? 3 : 2;
    // Consecutive passes of a channel always take another PRN.
    c.sv = pool[(pass + chanKey % 3) % static_cast<std::uint64_t>(poolSize)];
    const double maxElevation = 25.0 + 62.0 * unit(mix64(passKey + 2));
    c.elevation = 3.0 + (maxElevation - 3.0) * std::sin(kPi * u);
    const double az0 = 360.0 * unit(mix64(passKey + 3));
    const double sweep = (unit(mix64(passKey + 4)) < 0.5 ? -1.0 : 1.0) * (60.0 + 120.0 * unit(mix64(passKey + 5)));
    c.azimuth = std::fmod(az0 + sweep * u + 720.0, 360.0);
    c.snr = 6.0 + 14.0 * std::sin(std::max(c.elevation, 0.0) * kDeg) + 1.2 * std::sin(t / 7.0 + index);
    c.range = geometricRange(c.elevation);
    const double du = 1.0 / period;
    const double elevLater = 3.0 + (maxElevation - 3.0) * std::sin(kPi * std::min(u + du, 1.0));
    const double elevEarlier = 3.0 + (maxElevation - 3.0) * std::sin(kPi * std::max(u - du, 0.0));
    c.rangeRate = (geometricRange(elevLater) - geometricRange(elevEarlier)) / 2.0;
    // A whole number of wavelengths away from the range, fixed for the pass.
    c.phase = c.range + std::floor(unit(mix64(passKey + 6)) * 1000.0) * kL1Wavelength;
    c.trackTime = std::min(u * period, t);
    return c;
}

void SkyModel::wander(double t, int quality, double &north, double &east, double &up) const
{
    double scale = 1.5;
    if (quality == 2)
        scale = 0.5;
    else if (quality == 5)
        scale = 0.15;
    else if (quality == 4)
        scale = 0.008;
    north = scale * (std::sin(t / 97.0 + m_phases[0]) + 0.4 * std::sin(t / 13.0 + m_phases[1])
                     + 0.1 * std::sin(t * 1.3 + m_phases[2]));
    east = scale * (std::sin(t / 83.0 + m_phases[3]) + 0.4 * std::sin(t / 17.0 + m_phases[4])
                    + 0.1 * std::sin(t * 1.1 + m_phases[5]));
    up = 1.8 * scale * (std::sin(t / 71.0 + m_phases[6]) + 0.3 * std::sin(t / 11.0 + m_phases[7]));
}

EpochState SkyModel::epoch(std::int64_t simMs, std::int64_t startUtcMs, int quality, int maskDegrees,
                           double correctionAge) const
{
    EpochState e;
    const double t = static_cast<double>(simMs) / 1000.0;
    e.utcMs = startUtcMs + simMs;
    const std::int64_t gpsMs = e.utcMs - kGpsEpochUnix * 1000 + kLeapSeconds * 1000;
    e.gpsWeek = static_cast<int>(gpsMs / (604800 * 1000ll));
    e.gpsTow = static_cast<double>(gpsMs % (604800 * 1000ll)) / 1000.0;
    e.quality = quality;
    e.correctionAge = correctionAge;

    // Between 8 and 12 channels track, changing every few minutes.
    const int tracking = 10 + static_cast<int>(std::lround(2.0 * std::sin(t / 240.0 + m_phases[0])));
    std::array<std::array<double, 4>, 4> normal{};
    for (int i = 0; i < 12; ++i) {
        if (i >= tracking)
            continue;
        ChannelState c = channel(i, t);
        c.used = quality > 0 && c.elevation >= maskDegrees;
        e.channels[static_cast<std::size_t>(i)] = c;
        ++e.tracked;
        if (!c.used)
            continue;
        ++e.used;
        const double el = c.elevation * kDeg, az = c.azimuth * kDeg;
        const double g[4] = {-std::cos(el) * std::sin(az), -std::cos(el) * std::cos(az), -std::sin(el), 1.0};
        for (int r = 0; r < 4; ++r)
            for (int col = 0; col < 4; ++col)
                normal[r][col] += g[r] * g[col];
    }
    std::array<std::array<double, 4>, 4> q{};
    if (e.used >= 4 && invert4(normal, q)) {
        e.hdop = std::sqrt(q[0][0] + q[1][1]);
        e.vdop = std::sqrt(q[2][2]);
        e.pdop = std::sqrt(q[0][0] + q[1][1] + q[2][2]);
    } else {
        e.pdop = e.hdop = e.vdop = 99.9;
    }

    double n0, e0, u0, n1, e1, u1, n2, e2, u2;
    wander(t, quality, n0, e0, u0);
    wander(t - 0.5, quality, n1, e1, u1);
    wander(t + 0.5, quality, n2, e2, u2);
    const double metresPerDegLat = 111320.0;
    const double metresPerDegLon = 111320.0 * std::cos(m_lat * kDeg);
    e.lat = m_lat + n0 / metresPerDegLat;
    e.lon = m_lon + e0 / metresPerDegLon;
    e.height = m_height + u0;
    e.geoidSeparation = 9.8;
    e.velN = n2 - n1;
    e.velE = e2 - e1;
    e.velU = u2 - u1;

    double base = 0.0;
    switch (quality) {
    case 1: base = 1.2; break;
    case 2: base = 0.45; break;
    case 5: base = 0.12; break;
    case 4: base = 0.008; break;
    default: base = 0.0; break;
    }
    e.sigmaLat = base * e.hdop * 0.75;
    e.sigmaLon = base * e.hdop * 0.62;
    e.sigmaAlt = base * e.vdop * 1.1;
    return e;
}

}  // namespace stavo::sim
