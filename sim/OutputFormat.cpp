#include "OutputFormat.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace stavo::sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kL1Wavelength = 0.19029367;

struct Utc {
    int year, month, day, hour, minute;
    double second;
};

Utc toUtc(std::int64_t utcMs)
{
    const std::time_t secs = static_cast<std::time_t>(utcMs / 1000);
    std::tm tm{};
    gmtime_r(&secs, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
            tm.tm_sec + static_cast<double>(utcMs % 1000) / 1000.0};
}

std::string fmt(const char *format, ...) __attribute__((format(printf, 1, 2)));
std::string fmt(const char *format, ...)
{
    char buf[512];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    return buf;
}

std::string timeField(const Utc &u) { return fmt("%02d%02d%05.2f", u.hour, u.minute, u.second); }

// ddmm.mmmmmmm,N / dddmm.mmmmmmm,E as the receiver prints them.
std::string latField(double lat)
{
    const double a = std::fabs(lat);
    const int d = static_cast<int>(a);
    return fmt("%02d%010.7f,%c", d, (a - d) * 60.0, lat >= 0 ? 'N' : 'S');
}

std::string lonField(double lon)
{
    const double a = std::fabs(lon);
    const int d = static_cast<int>(a);
    return fmt("%03d%010.7f,%c", d, (a - d) * 60.0, lon >= 0 ? 'E' : 'W');
}

double speedMs(const EpochState &e) { return std::hypot(e.velN, e.velE); }

double courseDeg(const EpochState &e)
{
    double c = std::atan2(e.velE, e.velN) * 180.0 / kPi;
    return c < 0 ? c + 360.0 : c;
}

char modeIndicator(int quality)
{
    switch (quality) {
    case 0: return 'N';
    case 2: return 'D';
    case 4: return 'R';
    case 5: return 'F';
    default: return 'A';
    }
}

std::string gga(std::string_view name, const EpochState &e)
{
    const Utc u = toUtc(e.utcMs);
    std::string body = std::string(name) + "," + timeField(u);
    if (e.quality == 0)
        return nmeaSentence(body + ",,,,,0,00,,,M,,M,,");
    std::string age, station;
    if (e.correctionAge >= 0) {
        age = fmt("%.1f", e.correctionAge);
        station = e.quality == 2 ? "0135" : "0001";
    }
    body += "," + latField(e.lat) + "," + lonField(e.lon) + fmt(",%d,%02d,%.1f,%.3f,M,%.3f,M,", e.quality, e.used,
                                                                    e.hdop, e.height, e.geoidSeparation)
            + age + "," + station;
    return nmeaSentence(body);
}

std::string gll(std::string_view name, const EpochState &e)
{
    const Utc u = toUtc(e.utcMs);
    if (e.quality == 0)
        return nmeaSentence(std::string(name) + ",,,,," + timeField(u) + ",V,N");
    return nmeaSentence(std::string(name) + "," + latField(e.lat) + "," + lonField(e.lon) + "," + timeField(u) + ",A,"
                        + modeIndicator(e.quality));
}

std::string gsa(std::string_view name, const EpochState &e)
{
    std::string body = std::string(name) + (e.quality == 0 ? ",A,1" : ",A,3");
    int listed = 0;
    for (const auto &c : e.channels) {
        if (c.sv != 0 && c.used) {
            body += fmt(",%02d", c.sv);
            ++listed;
        }
    }
    for (; listed < 12; ++listed)
        body += ",";
    if (e.quality == 0)
        body += ",,,";
    else
        body += fmt(",%.1f,%.1f,%.1f", e.pdop, e.hdop, e.vdop);
    return nmeaSentence(body);
}

std::string gst(std::string_view name, const EpochState &e)
{
    const Utc u = toUtc(e.utcMs);
    std::string body = std::string(name) + "," + timeField(u);
    if (e.quality == 0)
        return nmeaSentence(body + ",,,,,,,");
    const double major = std::max(e.sigmaLat, e.sigmaLon) * 1.1;
    const double minor = std::min(e.sigmaLat, e.sigmaLon) * 0.9;
    const double rms = e.quality == 4 ? 0.02 : e.quality == 5 ? 0.09 : 0.6 + 0.1 * e.hdop;
    body += fmt(",%.3f,%.3f,%.3f,%.1f,%.3f,%.3f,%.3f", rms, major, minor, 12.0, e.sigmaLat, e.sigmaLon, e.sigmaAlt);
    return nmeaSentence(body);
}

std::string gsv(std::string_view name, const EpochState &e)
{
    std::string out;
    const int total = e.tracked;
    const int sentences = total == 0 ? 1 : (total + 3) / 4;
    int n = 0;
    std::string body;
    for (const auto &c : e.channels) {
        if (c.sv == 0)
            continue;
        if (n % 4 == 0)
            body = std::string(name) + fmt(",%d,%d,%02d", sentences, n / 4 + 1, total);
        body += fmt(",%02d,%02d,%03d,%02d", c.sv, static_cast<int>(std::lround(std::max(c.elevation, 0.0))),
                    static_cast<int>(std::lround(c.azimuth)) % 360, static_cast<int>(std::lround(c.snr + 30.0)));
        ++n;
        if (n % 4 == 0)
            out += nmeaSentence(body);
    }
    if (n % 4 != 0)
        out += nmeaSentence(body);
    if (total == 0)
        out += nmeaSentence(std::string(name) + ",1,1,00");
    return out;
}

std::string rmc(std::string_view name, const EpochState &e)
{
    const Utc u = toUtc(e.utcMs);
    const std::string date = fmt("%02d%02d%02d", u.day, u.month, u.year % 100);
    if (e.quality == 0)
        return nmeaSentence(std::string(name) + "," + timeField(u) + ",V,,,,,,," + date + ",,,N");
    return nmeaSentence(std::string(name) + "," + timeField(u) + ",A," + latField(e.lat) + "," + lonField(e.lon)
                        + fmt(",%.2f,%.1f,", speedMs(e) * 1.943844, courseDeg(e)) + date + ",,," + modeIndicator(e.quality));
}

std::string vtg(std::string_view name, const EpochState &e)
{
    if (e.quality == 0)
        return nmeaSentence(std::string(name) + ",,T,,M,,N,,K,N");
    const double v = speedMs(e);
    return nmeaSentence(std::string(name) + fmt(",%.1f,T,,M,%.2f,N,%.2f,K,", courseDeg(e), v * 1.943844, v * 3.6)
                        + modeIndicator(e.quality));
}

std::string zda(std::string_view name, const EpochState &e)
{
    const Utc u = toUtc(e.utcMs);
    return nmeaSentence(std::string(name) + "," + timeField(u) + fmt(",%02d,%02d,%04d,00,00", u.day, u.month, u.year));
}

std::string rre(std::string_view name, const EpochState &e)
{
    std::string body = std::string(name) + fmt(",%d", e.used);
    int i = 0;
    for (const auto &c : e.channels) {
        if (c.sv == 0 || !c.used)
            continue;
        // Residuals a little larger at low elevation, signs alternating.
        const double r = (i++ % 2 ? -1.0 : 1.0) * (0.2 + 0.8 * std::cos(c.elevation * kPi / 180.0)) * e.sigmaLat;
        body += fmt(",%02d,%.1f", c.sv, r);
    }
    if (e.quality == 0)
        return nmeaSentence(body + ",,");
    return nmeaSentence(body + fmt(",%.1f,%.1f", std::hypot(e.sigmaLat, e.sigmaLon), e.sigmaAlt));
}

void put(std::string &d, std::size_t at, const void *v, std::size_t n) { std::memcpy(&d[at], v, n); }
template <typename T> void putLe(std::string &d, std::size_t at, T v)
{
    // The machine is little-endian, as the receiver's byte order; memcpy keeps it.
    static_assert(std::endian::native == std::endian::little);
    put(d, at, &v, sizeof v);
}

std::string message1(const EpochState &e)
{
    std::string d(52, '\0');
    putLe<std::uint8_t>(d, 0, e.correctionAge >= 0 ? static_cast<std::uint8_t>(std::min(e.correctionAge, 255.0)) : 0);
    putLe<std::uint8_t>(d, 1, static_cast<std::uint8_t>(e.used));
    putLe<std::uint16_t>(d, 2, static_cast<std::uint16_t>(e.gpsWeek));
    putLe<double>(d, 4, e.gpsTow);
    if (e.quality != 0) {
        putLe<double>(d, 12, e.lat);
        putLe<double>(d, 20, e.lon);
        putLe<float>(d, 28, static_cast<float>(e.height));
        putLe<float>(d, 32, static_cast<float>(e.velN));
        putLe<float>(d, 36, static_cast<float>(e.velE));
        putLe<float>(d, 40, static_cast<float>(e.velU));
        putLe<float>(d, 44, static_cast<float>(std::hypot(e.sigmaLat, e.sigmaLon)));
    }
    std::uint16_t mode = 0;
    switch (e.quality) {
    case 1: mode = 2; break;
    case 2: mode = 4; break;
    case 5: mode = 5; break;
    case 4: mode = 6; break;
    default: mode = 0; break;
    }
    putLe<std::uint16_t>(d, 48, mode);
    putLe<std::uint16_t>(d, 50, e.correctionAge >= 0 ? static_cast<std::uint16_t>(e.correctionAge * 10) : 0);
    return binFrame(1, d);
}

std::string message96(const EpochState &e)
{
    std::string d(300, '\0');
    putLe<std::uint16_t>(d, 2, static_cast<std::uint16_t>(e.gpsWeek));
    putLe<double>(d, 4, e.gpsTow);
    for (std::size_t i = 0; i < e.channels.size(); ++i) {
        const ChannelState &c = e.channels[i];
        if (c.sv == 0)
            continue;
        const std::size_t at = 12 + 24 * i;
        const double snrValue = std::pow(10.0, c.snr / 10.0) / 0.8192;
        const auto v = static_cast<std::uint32_t>(std::clamp(std::lround(snrValue), 0L, 255L));
        const double tenths = c.trackTime * 10.0;
        const auto track = static_cast<std::uint32_t>(std::min(tenths, 255.0));
        const std::uint32_t word = static_cast<std::uint32_t>(c.sv) | (v << 8) | (track << 16);
        putLe<std::uint32_t>(d, at, word);
        const auto doppler = static_cast<std::int32_t>(std::lround(-c.rangeRate * 4096.0));
        std::uint32_t flags = 1u; // phase valid
        if (tenths > 255.0)
            flags |= 2u;
        flags |= static_cast<std::uint32_t>(doppler) << 4;
        putLe<std::uint32_t>(d, at + 4, flags);
        putLe<double>(d, at + 8, c.range);
        putLe<double>(d, at + 16, c.phase);
    }
    return binFrame(96, d);
}

std::string message99(const EpochState &e)
{
    std::string d(304, '\0');
    putLe<std::uint8_t>(d, 0, e.quality == 0 ? 1 : 3);
    putLe<std::int8_t>(d, 1, SkyModel::kLeapSeconds);
    putLe<std::uint16_t>(d, 2, static_cast<std::uint16_t>(e.gpsWeek));
    putLe<double>(d, 4, e.gpsTow);
    for (std::size_t i = 0; i < e.channels.size(); ++i) {
        const ChannelState &c = e.channels[i];
        const std::size_t at = 12 + 24 * i;
        putLe<std::uint8_t>(d, at, static_cast<std::uint8_t>(i));
        if (c.sv == 0)
            continue;
        putLe<std::uint8_t>(d, at + 1, static_cast<std::uint8_t>(c.sv));
        putLe<std::uint8_t>(d, at + 2, 0x4F); // code, carrier, bit lock, frame sync, phase lock
        putLe<std::uint8_t>(d, at + 3, 5);
        putLe<std::uint8_t>(d, at + 4, 1);
        putLe<std::uint8_t>(d, at + 5, 0);
        putLe<std::uint8_t>(d, at + 6, 1);
        putLe<std::uint8_t>(d, at + 7, 0);
        putLe<std::int8_t>(d, at + 8, static_cast<std::int8_t>(std::lround(c.elevation)));
        putLe<std::uint8_t>(d, at + 9, static_cast<std::uint8_t>(std::lround(c.azimuth / 2.0) % 180));
        putLe<std::uint8_t>(d, at + 10, 1);
        // SNR dB = 10 log10(4096 Cli / 80000)
        const double cli = 80000.0 / 4096.0 * std::pow(10.0, c.snr / 10.0);
        putLe<std::uint16_t>(d, at + 12, static_cast<std::uint16_t>(std::lround(cli)));
        putLe<std::int16_t>(d, at + 14, static_cast<std::int16_t>(e.quality >= 2 ? 150 - static_cast<int>(i) * 23 : 0));
        putLe<std::int16_t>(d, at + 16, static_cast<std::int16_t>(std::lround(std::cos(c.elevation * kPi / 180.0) * 5.0)));
        putLe<std::int16_t>(d, at + 18, static_cast<std::int16_t>(std::lround(std::sin(c.azimuth * kPi / 180.0) * 2.0)));
        putLe<std::int16_t>(d, at + 20, static_cast<std::int16_t>(std::lround(-c.rangeRate / kL1Wavelength)));
        putLe<std::int16_t>(d, at + 22, static_cast<std::int16_t>(std::lround(-c.rangeRate / kL1Wavelength) + 120));
    }
    putLe<std::int16_t>(d, 300, -412);
    return binFrame(99, d);
}

}  // namespace

std::string nmeaSentence(std::string_view body)
{
    unsigned char sum = 0;
    for (char c : body)
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + std::string(body) + tail;
}

std::string formatNmea(std::string_view name, const EpochState &e)
{
    if (name.size() != 5)
        return {};
    const std::string_view type = name.substr(2);
    if (type == "GGA") return gga(name, e);
    if (type == "GLL") return gll(name, e);
    if (type == "GSA") return gsa(name, e);
    if (type == "GST") return gst(name, e);
    if (type == "GSV") return gsv(name, e);
    if (type == "RMC") return rmc(name, e);
    if (type == "VTG") return vtg(name, e);
    if (type == "ZDA") return zda(name, e);
    if (type == "RRE") return rre(name, e);
    return {};
}

std::string binFrame(int id, const std::string &data)
{
    std::string f = "$BIN";
    f.resize(8);
    putLe<std::uint16_t>(f, 4, static_cast<std::uint16_t>(id));
    putLe<std::uint16_t>(f, 6, static_cast<std::uint16_t>(data.size()));
    f += data;
    std::uint16_t sum = 0;
    for (char c : data)
        sum = static_cast<std::uint16_t>(sum + static_cast<unsigned char>(c));
    const std::size_t at = f.size();
    f.resize(at + 2);
    putLe<std::uint16_t>(f, at, sum);
    f += "\r\n";
    return f;
}

std::string formatBinary(int id, const EpochState &e)
{
    switch (id) {
    case 1: return message1(e);
    case 96: return message96(e);
    case 99: return message99(e);
    default: return {};
    }
}

}  // namespace stavo::sim
