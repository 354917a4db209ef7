#include "SimReceiver.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

namespace stavo::sim {

namespace {

constexpr const char *kAck = "$>\r\n";

std::vector<std::string> splitFields(std::string_view s)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const auto comma = s.find(',', start);
        out.emplace_back(s.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    for (auto &f : out) {
        while (!f.empty() && f.back() == ' ')
            f.pop_back();
        while (!f.empty() && f.front() == ' ')
            f.erase(f.begin());
    }
    return out;
}

bool oneOf(const std::string &v, std::initializer_list<const char *> allowed)
{
    return std::any_of(allowed.begin(), allowed.end(), [&](const char *a) { return v == a; });
}

bool parseInt(const std::string &s, int &out)
{
    if (s.empty())
        return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

bool isNumber(const std::string &s)
{
    if (s.empty() || s.size() > 12)
        return false;
    bool digit = false, dot = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.' && !dot)
            dot = true;
        else if (!((c == '-' || c == '+') && i == 0))
            return false;
    }
    return digit;
}

// Rates each sentence type accepts, in tenths of a hertz. GNS, GRS and GBS are only recorded for the
// other port, which has no line of its own here: this port cannot produce them.
std::optional<std::vector<RateTenths>> nmeaRates(const std::string &name, bool other)
{
    if (name.size() != 5 || name[0] < 'A' || name[0] > 'Z' || name[1] < 'A' || name[1] > 'Z')
        return std::nullopt;
    const std::string type = name.substr(2);
    if (oneOf(type, {"GGA", "GLL", "RMC", "VTG", "ZDA"}))
        return std::vector<RateTenths>{50, 10, 2, 0};
    if (oneOf(type, {"GSA", "GST", "GSV", "RRE"}))
        return std::vector<RateTenths>{10, 0};
    if (other && type == "GNS")
        return std::vector<RateTenths>{50, 10, 2, 0};
    if (other && oneOf(type, {"GRS", "GBS"}))
        return std::vector<RateTenths>{10, 0};
    return std::nullopt;
}

std::optional<std::vector<RateTenths>> binaryRates(int id)
{
    if (id == 96)
        return std::vector<RateTenths>{10, 0};
    if (id == 99 || id == 1)
        return std::vector<RateTenths>{50, 10, 2, 0};
    return std::nullopt;
}

CommandResult refused(std::string why) { return {std::string(), std::nullopt, "IGNORED " + std::move(why)}; }
CommandResult ack(std::string note = {}) { return {kAck, std::nullopt, std::move(note)}; }

}  // namespace

SimReceiver::SimReceiver(SimSettings settings, Saver saver) : m_settings(std::move(settings)), m_saver(std::move(saver)) {}

std::string SimReceiver::statusReport() const
{
    const SimSettings &s = m_settings;
    std::string r;
    r += "$>JSHOW,BAUD," + std::to_string(s.baud) + "\r\n";
    r += "$>JSHOW,BAUD," + std::to_string(s.otherBaud) + ",OTHER\r\n";
    for (const auto &[name, rate] : s.otherAsc)
        r += "$>JSHOW,ASC," + name + "," + formatRate(rate) + ",OTHER\r\n";
    for (const auto &[id, rate] : s.bin)
        r += "$>JSHOW,BIN," + std::to_string(id) + "," + formatRate(rate) + "\r\n";
    r += "$>JSHOW,DIFF," + s.diff + "\r\n";
    r += "$>JSHOW,ALT," + s.alt + (s.altValue.empty() ? "" : "," + s.altValue) + "\r\n";
    r += "$>JSHOW,MASK," + std::to_string(s.mask) + "\r\n";
    r += "$>JSHOW,AIR," + s.air + "\r\n";
    r += "$>JSHOW,SMOOTH," + s.smooth + "\r\n";
    r += "$>JSHOW,FREQ,1575.4200,250\r\n";
    r += "$>JSHOW,AGE,1800\r\n";
    return r;
}

CommandResult SimReceiver::handleLine(std::string_view raw)
{
    std::string line(raw);
    // Commands carry no checksum, but a tool may add one: ignore it.
    if (const auto star = line.find('*'); star != std::string::npos)
        line.resize(star);
    std::transform(line.begin(), line.end(), line.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    });
    if (line.rfind("$>", 0) == 0)
        return {std::string(), std::nullopt, "IGNORED reply text"};
    if (line.rfind("$J", 0) != 0)
        return refused("not a command");

    const std::vector<std::string> f = splitFields(line);
    const std::string &cmd = f[0];
    const bool other = f.size() >= 2 && f.back() == "OTHER";
    const std::size_t nargs = f.size() - 1 - (other ? 1 : 0);

    if (cmd == "$JOFF") {
        if (other)
            m_settings.otherAsc.clear();
        else {
            m_settings.asc.clear();
            m_settings.bin.clear();
        }
        return ack();
    }
    if (cmd == "$JSHOW")
        return {statusReport(), std::nullopt, {}};
    if (cmd == "$JI")
        return {"$>JI,11577,1,5,11102002,01/01/1900,01/01/3003,6.3,46\r\n", std::nullopt, {}};
    if (cmd == "$JASC") {
        if (nargs != 2)
            return refused("JASC needs a sentence and a rate");
        const auto allowed = nmeaRates(f[1], other);
        const auto rate = parseRate(f[2]);
        if (!allowed)
            return refused("unknown sentence " + f[1]);
        if (!rate || std::find(allowed->begin(), allowed->end(), *rate) == allowed->end())
            return refused("rate " + f[2] + " not available for " + f[1]);
        auto &table = other ? m_settings.otherAsc : m_settings.asc;
        if (*rate == 0)
            table.erase(f[1]);
        else
            table[f[1]] = *rate;
        return ack();
    }
    if (cmd == "$JBIN") {
        int id = 0;
        if (nargs != 2 || other || !parseInt(f[1], id))
            return refused("JBIN needs a message number and a rate");
        const auto allowed = binaryRates(id);
        const auto rate = parseRate(f[2]);
        if (!allowed)
            return refused("binary message " + f[1] + " not produced");
        if (!rate || std::find(allowed->begin(), allowed->end(), *rate) == allowed->end())
            return refused("rate " + f[2] + " not available for message " + f[1]);
        if (*rate == 0)
            m_settings.bin.erase(id);
        else
            m_settings.bin[id] = *rate;
        return ack();
    }
    if (cmd == "$JBAUD") {
        int baud = 0;
        if (nargs != 1 || !parseInt(f[1], baud) || !isSupportedBaud(baud))
            return refused("unsupported baud rate");
        if (other) {
            m_settings.otherBaud = baud;
            return ack();
        }
        CommandResult r = ack();
        if (baud != m_settings.baud) {
            m_settings.baud = baud;
            r.newBaud = baud;
        }
        return r;
    }
    if (cmd == "$JDIFF") {
        if (nargs != 1 || !oneOf(f[1], {"NONE", "WAAS", "SBAS", "BEACON", "OTHER", "THIS", "X", "AUTO", "LBAND", "RTK"}))
            return refused("unknown differential source");
        m_settings.diff = f[1];
        return ack();
    }
    if (cmd == "$JMASK") {
        int e = 0;
        if (nargs != 1 || !parseInt(f[1], e) || e < 0 || e > 60)
            return refused("mask must be 0 to 60");
        m_settings.mask = e;
        return ack();
    }
    if (cmd == "$JAIR") {
        if (nargs != 1 || !oneOf(f[1], {"AUTO", "NORM", "HIGH", "LOW"}))
            return refused("unknown air mode");
        m_settings.air = f[1];
        return ack();
    }
    if (cmd == "$JSMOOTH") {
        if (nargs != 1 || !oneOf(f[1], {"SHORT", "LONG"}))
            return refused("smoothing is SHORT or LONG");
        m_settings.smooth = f[1];
        return ack();
    }
    if (cmd == "$JALT") {
        if (nargs < 1 || nargs > 2 || !oneOf(f[1], {"NEVER", "SOMETIMES", "ALWAYS"}))
            return refused("altitude aiding is NEVER, SOMETIMES or ALWAYS");
        if (nargs == 2 && !isNumber(f[2]))
            return refused("altitude aiding value is not a number");
        m_settings.alt = f[1];
        m_settings.altValue = nargs == 2 ? f[2] : std::string();
        return ack();
    }
    if (cmd == "$JSAVE") {
        if (m_saver && !m_saver(m_settings))
            return {"$> Save Failed\r\n", std::nullopt, "SAVE FAILED"};
        return {"$> Save Complete\r\n", std::nullopt, m_saver ? "SAVED" : "SAVE (no state file)"};
    }
    return refused("unknown command");
}

}  // namespace stavo::sim
