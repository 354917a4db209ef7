#include "CSIFormat.h"

#include "MessageKinds.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

using std::string_view;

bool Equal(string_view a, const char* b)
{
    const std::size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = a[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != b[i])
            return false;
    }
    return true;
}

bool StartsWith(string_view a, const char* b)
{
    const std::size_t n = std::strlen(b);
    return a.size() >= n && Equal(a.substr(0, n), b);
}

bool ToLong(string_view s, long* v)
{
    if (!s.empty() && s[0] == '+')
        s.remove_prefix(1);
    const auto r = std::from_chars(s.data(), s.data() + s.size(), *v);
    return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool ToDouble(string_view s, double* v)
{
    if (!s.empty() && s[0] == '+')
        s.remove_prefix(1);
    const auto r = std::from_chars(s.data(), s.data() + s.size(), *v, std::chars_format::fixed);
    return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(*v);
}

unsigned U8(const unsigned char* p) { return p[0]; }
int I8(const unsigned char* p) { return int(static_cast<signed char>(p[0])); }
unsigned U16(const unsigned char* p) { return unsigned(p[0]) | (unsigned(p[1]) << 8); }
int I16(const unsigned char* p) { return int(std::int16_t(std::uint16_t(U16(p)))); }
std::uint32_t U32(const unsigned char* p) { return std::uint32_t(U16(p)) | (std::uint32_t(U16(p + 2)) << 16); }
double F64(const unsigned char* p)
{
    const std::uint64_t bits = std::uint64_t(U32(p)) | (std::uint64_t(U32(p + 4)) << 32);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// The data of a well-formed frame of this block id, or null.
const unsigned char* FrameData(const char* frame, int n, unsigned id)
{
    const unsigned len = wirra::BinaryDataLength(id);
    if (!frame || n < int(len + 12) || std::memcmp(frame, "$BIN", 4) != 0)
        return nullptr;
    const auto* p = reinterpret_cast<const unsigned char*>(frame);
    if (U16(p + 4) != id || U16(p + 6) != len)
        return nullptr;
    unsigned sum = 0;
    for (unsigned i = 0; i < len; ++i)
        sum += p[8 + i];
    if ((sum & 0xFFFF) != U16(p + 8 + len))
        return nullptr;
    return p + 8;
}

bool UsableTime(double tow) { return std::isfinite(tow) && tow >= 0.0 && tow < 604801.0; }

} // namespace

void CCSIFormat::ProcessCSISHOW(const char* msg)
{
    if (!msg)
        return;
    bool any = false;
    bool complete = false;
    std::map<std::string, double> rates;
    const char* p = msg;
    while (*p) {
        const char* end = p;
        while (*end && *end != '\r' && *end != '\n')
            ++end;
        string_view line(p, std::size_t(end - p));
        while (!line.empty() && line.back() == ' ')
            line.remove_suffix(1);
        if (StartsWith(line, "$>JSHOW,")) {
            any = true;
            string_view f[16];
            std::size_t count = 0, start = 0;
            for (std::size_t i = 0; i <= line.size() && count < 16; ++i) {
                if (i == line.size() || line[i] == ',') {
                    f[count++] = line.substr(start, i - start);
                    start = i + 1;
                }
            }
            const string_view key = count > 1 ? f[1] : string_view();
            long l = 0;
            double d = 0;
            if (Equal(key, "BAUD")) {
                complete = true;
                if (count >= 3 && (count < 4 || !Equal(f[3], "OTHER")) && ToLong(f[2], &l) && l > 0 && l <= 10000000)
                    m_nBaud = std::int32_t(l);
            } else if (Equal(key, "ASC")) {
                if (count >= 5 && Equal(f[4], "OTHER") && !f[2].empty() && ToDouble(f[3], &d))
                    rates[std::string(f[2])] = d;
            } else if (Equal(key, "DIFF") && count >= 3) {
                m_nDiffMode = Equal(f[2], "NONE") ? 0 : (Equal(f[2], "WAAS") || Equal(f[2], "SBAS")) ? 1 : 2;
            } else if (Equal(key, "ALT") && count >= 3) {
                m_nAltAiding = Equal(f[2], "NEVER") ? 0 : Equal(f[2], "SOMETIMES") ? 1 : Equal(f[2], "ALWAYS") ? 2 : 3;
            } else if (Equal(key, "MASK") && count >= 3) {
                if (ToLong(f[2], &l) && l >= -90 && l <= 90)
                    m_nElevMask = std::int16_t(l);
                else if (ToDouble(f[2], &d) && d >= -90 && d <= 90)
                    m_nElevMask = std::int16_t(d);
            } else if (Equal(key, "AIR") && count >= 3) {
                static const char* const names[] = {"AUTO", "NORM", "HIGH", "LOW"};
                for (int i = 0; i < 4; ++i)
                    if (Equal(f[2], names[i]))
                        m_nAirMode = std::int16_t(i);
            } else if (Equal(key, "SMOOTH") && count >= 3) {
                if (StartsWith(f[2], "LONG"))
                    m_nSmoothing = 0;
                else if (StartsWith(f[2], "SHORT"))
                    m_nSmoothing = 1;
            } else if (Equal(key, "FREQ") && count >= 3) {
                if (ToDouble(f[2], &d))
                    m_dFrequency = d;
            } else if (Equal(key, "AGE") && count >= 3) {
                if (ToLong(f[2], &l) && l >= 0 && l <= 32767)
                    m_nMaxDiffAge = std::int16_t(l);
            }
        }
        p = end;
        while (*p == '\r' || *p == '\n')
            ++p;
    }
    if (!any)
        return;
    // A whole report (it opens with the port's rate) lists every sentence that is on: rebuild the
    // table from it, so sentences switched off elsewhere do not stay ticked. A part only adds.
    if (complete)
        m_mapRates.clear();
    for (const auto& [name, rate] : rates)
        m_mapRates[name] = rate;
    m_nJshowAnswered = 1;
}

void CCSIFormat::ProcessSBinaryMsg96(const char* frame, int n)
{
    const unsigned char* d = FrameData(frame, n, 96);
    if (!d)
        return;
    const double tow = F64(d + 4);
    if (UsableTime(tow) && U16(d + 2) <= 32767) {
        m_nObsWeek = std::int16_t(U16(d + 2));
        m_dObsSeconds = tow;
    }
    std::memset(m_slips, 0, sizeof m_slips);
    for (int c = 0; c < kChannels; ++c) {
        const unsigned char* r = d + 12 + 24 * c; // after spare, week and time of week
        const std::uint32_t w0 = U32(r);
        const std::uint32_t w1 = U32(r + 4);
        CObservation o;
        o.m_nPrn = int(w0 & 0xFF);
        if (o.m_nPrn != 0) {
            const unsigned v = (w0 >> 8) & 0xFF;
            o.m_dSnrDb = v ? 10.0 * std::log10(0.8192 * v) : 0.0;
            o.m_dTrackTime = ((w0 >> 16) & 0xFF) * 0.1;
            o.m_nCycleSlips = int(w0 >> 24);
            o.m_bPhaseValid = (w1 & 1) != 0;
            o.m_dDoppler = double(std::int32_t(w1 & 0xFFFFFFF0u) >> 4) / 4096.0;
            o.m_dPseudorange = F64(r + 8);
            o.m_dCarrierPhase = F64(r + 16);
            m_slips[o.m_nPrn] = std::uint8_t(o.m_nCycleSlips);
        }
        m_obs[c] = o;
    }
}

void CCSIFormat::ProcessSBinaryMsg99(const char* frame, int n)
{
    const unsigned char* d = FrameData(frame, n, 99);
    if (!d)
        return;
    m_nNavMode = int(U8(d) & 7);
    const double tow = F64(d + 4);
    const unsigned week = U16(d + 2);
    if (UsableTime(tow) && week <= 32767) {
        m_nLeapSeconds = I8(d + 1);
        m_nGpsWeek = std::int16_t(week);
        m_dGpsSeconds = tow;
        m_ulGpsSeconds = std::uint32_t(tow);
        m_bBinaryTime = true;
    }
    m_nClockErrorHz = I16(d + 300);
    int count = 0;
    for (int c = 0; c < kChannels; ++c) {
        const unsigned char* r = d + 12 + 24 * c;
        const unsigned sv = U8(r + 1);
        if (sv == 0)
            continue;
        CSatRecord s;
        s.m_nPrn = std::int16_t(sv);
        s.m_nElevation = std::int16_t(I8(r + 8));
        s.m_nAzimuth = std::int16_t((U8(r + 9) * 2) % 360);
        const unsigned cli = U16(r + 12);
        s.m_nSnr = cli ? std::int16_t(std::lround(10.0 * std::log10(4096.0 * cli / 80000.0) + 30.0)) : 0;
        s.m_nCycleSlips = m_slips[sv];
        m_sats[count++] = s;
    }
    for (int c = count; c < kChannels; ++c)
        m_sats[c] = CSatRecord();
    m_nSatCount = count;
}
