#include "MessagePrinter.h"

#include "MessageKinds.h"

#include <cmath>
#include <cstring>

namespace {

void AppendEscaped(std::string& out, const char* s, std::size_t n)
{
    out += '"';
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += char(c);
        }
    }
    out += '"';
}

void Num(std::string& out, const char* key, double v)
{
    char buf[64];
    if (std::isfinite(v))
        std::snprintf(buf, sizeof buf, ",\"%s\":%.10g", key, v);
    else
        std::snprintf(buf, sizeof buf, ",\"%s\":null", key);
    out += buf;
}

void Int(std::string& out, const char* key, long long v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, ",\"%s\":%lld", key, v);
    out += buf;
}

const char* TypeName(int type)
{
    switch (type) {
    case wirra::kTypeNmea: return "nmea";
    case wirra::kTypeReply: return "reply";
    case wirra::kTypeBinary: return "binary";
    default: return "other";
    }
}

constexpr double kRadToDeg = 180.0 / 3.14159265358979323846;

} // namespace

void MessagePrinter::Print(int type, unsigned id, const char* bytes, int n)
{
    ++m_total;
    ++m_counts[{type, id}];
    std::string& o = m_line;
    o.clear();
    char head[96];
    std::snprintf(head, sizeof head, "{\"type\":%d,\"kind\":\"%s\",\"id\":%u", type, TypeName(type), id);
    o += head;
    CCSIFormat& d = m_decoder;
    if (type == wirra::kTypeNmea) {
        o += ",\"sentence\":";
        AppendEscaped(o, bytes, std::size_t(n));
        switch (id) {
        case wirra::kIdGGA:
            Int(o, "ok", d.bProcessGGA(bytes));
            Int(o, "quality", d.m_ucQuality);
            Num(o, "lat_deg", d.m_dLatitude * kRadToDeg);
            Num(o, "lon_deg", d.m_dLongitude * kRadToDeg);
            Num(o, "height_m", d.m_dHeight);
            Int(o, "satellites", d.m_nSatellitesUsed);
            Num(o, "hdop", d.m_dHdop);
            Num(o, "age_s", d.m_dDiffAge);
            Int(o, "station", d.m_nStationId);
            break;
        case wirra::kIdGSA:
            Int(o, "ok", d.bProcessGSA(bytes));
            Int(o, "fix", d.m_nFixType);
            Num(o, "pdop", d.m_dPdop);
            Num(o, "hdop", d.m_dHdop);
            Num(o, "vdop", d.m_dVdop);
            break;
        case wirra::kIdGST:
            Int(o, "ok", d.bProcessGST(bytes));
            Num(o, "rms", d.m_dRangeRms);
            Num(o, "sigma_lat", d.m_dSigmaLat);
            Num(o, "sigma_lon", d.m_dSigmaLon);
            Num(o, "sigma_height", d.m_dSigmaHeight);
            Int(o, "gst_flag", d.m_ucGstFlag);
            break;
        case wirra::kIdRMC:
            Int(o, "ok", d.bProcessRMC(bytes));
            o += std::string(",\"status\":\"") + (d.m_cRmcStatus == 'A' ? "A" : "V") + "\"";
            Num(o, "speed_kn", d.m_dSpeedKnots);
            Num(o, "course_deg", d.m_dCourse);
            Int(o, "gps_week", d.m_nGpsWeek);
            Num(o, "gps_seconds", d.m_dGpsSeconds);
            break;
        case wirra::kIdZDA:
            Int(o, "ok", d.bProcessZDA(bytes));
            Int(o, "year", d.m_nYear);
            Int(o, "month", d.m_nMonth);
            Int(o, "day", d.m_nDay);
            Num(o, "utc_s", d.m_dUtcSeconds);
            break;
        default:
            break;
        }
    } else if (type == wirra::kTypeReply) {
        o += ",\"text\":";
        AppendEscaped(o, bytes, std::size_t(n));
        if (id == wirra::kIdShowReport) {
            d.ProcessCSISHOW(bytes);
            Int(o, "baud", d.m_nBaud);
            Int(o, "diff", d.m_nDiffMode);
            Int(o, "alt", d.m_nAltAiding);
            Int(o, "mask", d.m_nElevMask);
            Int(o, "air", d.m_nAirMode);
            Int(o, "smooth", d.m_nSmoothing);
            Num(o, "freq", d.m_dFrequency);
            Int(o, "age", d.m_nMaxDiffAge);
            o += ",\"rates\":{";
            bool first = true;
            for (const auto& [name, rate] : d.m_mapRates) {
                if (!first)
                    o += ',';
                first = false;
                AppendEscaped(o, name.data(), name.size());
                char buf[40];
                std::snprintf(buf, sizeof buf, ":%g", rate);
                o += buf;
            }
            o += '}';
        } else if (id == wirra::kIdAck) {
            d.ProcessAck();
        }
    } else if (type == wirra::kTypeBinary) {
        Int(o, "length", n - 12);
        if (id == 99) {
            d.ProcessSBinaryMsg99(bytes, n);
            Int(o, "week", d.m_nGpsWeek);
            Num(o, "tow", d.m_dGpsSeconds);
            Int(o, "nav_mode", d.m_nNavMode);
            Int(o, "gps_utc", d.m_nLeapSeconds);
            o += ",\"sats\":[";
            for (int i = 0; i < d.m_nSatCount; ++i) {
                const CSatRecord& s = d.m_sats[i];
                char buf[120];
                std::snprintf(buf, sizeof buf, "%s{\"prn\":%d,\"el\":%d,\"az\":%d,\"cn0\":%d,\"slips\":%d}", i ? "," : "",
                              s.m_nPrn, s.m_nElevation, s.m_nAzimuth, s.m_nSnr, s.m_nCycleSlips);
                o += buf;
            }
            o += ']';
        } else if (id == 96) {
            d.ProcessSBinaryMsg96(bytes, n);
            Int(o, "week", d.m_nObsWeek);
            Num(o, "tow", d.m_dObsSeconds);
            o += ",\"obs\":[";
            bool first = true;
            for (const CObservation& ob : d.m_obs) {
                if (ob.m_nPrn == 0)
                    continue;
                char buf[200];
                std::snprintf(buf, sizeof buf, "%s{\"prn\":%d,\"snr_db\":%.1f,\"slips\":%d,\"pr\":%.3f}",
                              first ? "" : ",", ob.m_nPrn, ob.m_dSnrDb, ob.m_nCycleSlips, ob.m_dPseudorange);
                first = false;
                o += buf;
            }
            o += ']';
        }
    }
    o += "}\n";
    std::fwrite(o.data(), 1, o.size(), m_out);
}

void MessagePrinter::PrintSummary(const wirra::FramerStats& st, std::uint64_t discarded)
{
    std::string o = "{\"summary\":{";
    char buf[64];
    std::snprintf(buf, sizeof buf, "\"messages\":%llu,\"by_kind\":{", (unsigned long long)m_total);
    o += buf;
    bool first = true;
    for (const auto& [key, count] : m_counts) {
        std::snprintf(buf, sizeof buf, "%s\"%d/%u\":%llu", first ? "" : ",", key.first, key.second,
                      (unsigned long long)count);
        first = false;
        o += buf;
    }
    o += '}';
    Int(o, "bytes_in", (long long)st.bytesIn);
    Int(o, "dropped_bytes", (long long)st.droppedBytes);
    Int(o, "bad_checksum", (long long)st.badChecksum);
    Int(o, "bad_binary", (long long)st.badBinary);
    Int(o, "overlong", (long long)st.overlong);
    Int(o, "broken_lines", (long long)st.brokenLines);
    Int(o, "queue_discarded", (long long)discarded);
    o += "}}\n";
    std::fwrite(o.data(), 1, o.size(), m_out);
}
