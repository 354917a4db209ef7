#include "SimSettings.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace stavo::sim {

namespace {

bool parseInt(std::string_view s, int &out)
{
    if (s.empty())
        return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

bool isWord(std::string_view s)
{
    if (s.empty() || s.size() > 16)
        return false;
    for (char c : s)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

// The value after SOMETIMES/ALWAYS: empty or a plain decimal number.
bool isNumberText(std::string_view s)
{
    if (s.size() > 16)
        return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+'))
            return false;
    return true;
}

}  // namespace

bool isSupportedBaud(int baud)
{
    static constexpr std::array<int, 12> rates{2400, 4800, 9600, 14400, 19200, 38400,
                                               56000, 57600, 115200, 128000, 256000, 512000};
    for (int r : rates)
        if (r == baud)
            return true;
    return false;
}

SimSettings SimSettings::factoryDefaults()
{
    SimSettings s;
    for (const char *name : {"GPGGA", "GPVTG", "GPGSA", "GPZDA"})
        s.asc[name] = 10;
    return s;
}

std::string formatRate(RateTenths rate)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%d", rate / 10, rate % 10);
    return buf;
}

std::optional<RateTenths> parseRate(std::string_view text)
{
    const auto dot = text.find('.');
    std::string_view whole = text.substr(0, dot);
    std::string_view frac = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (whole.empty() && frac.empty())
        return std::nullopt;
    int w = 0;
    if (!whole.empty() && (!parseInt(whole, w) || w < 0 || w > 100 || whole[0] == '-' || whole[0] == '+'))
        return std::nullopt;
    int tenths = 0;
    if (!frac.empty()) {
        // Only a first decimal may be non-zero ("0.20" is fine, "0.25" is not a rate).
        if (frac[0] < '0' || frac[0] > '9')
            return std::nullopt;
        tenths = frac[0] - '0';
        for (char c : frac.substr(1))
            if (c != '0')
                return std::nullopt;
    }
    return w * 10 + tenths;
}

std::string SimSettings::toText() const
{
    std::ostringstream o;
    o << "baud=" << baud << '\n'
      << "baud_other=" << otherBaud << '\n'
      << "diff=" << diff << '\n'
      << "mask=" << mask << '\n'
      << "air=" << air << '\n'
      << "smooth=" << smooth << '\n'
      << "alt=" << alt << (altValue.empty() ? "" : "," + altValue) << '\n'
      << "outputs=saved\n"; // the tables below are complete, even when empty
    for (const auto &[name, rate] : asc)
        o << "asc=" << name << ',' << formatRate(rate) << '\n';
    for (const auto &[name, rate] : otherAsc)
        o << "asc_other=" << name << ',' << formatRate(rate) << '\n';
    for (const auto &[id, rate] : bin)
        o << "bin=" << id << ',' << formatRate(rate) << '\n';
    return o.str();
}

SimSettings SimSettings::fromText(std::string_view text, const SimSettings &base)
{
    SimSettings s = base;
    // Saved output tables replace the defaults as a whole: a receiver that was
    // saved with everything off must come up silent.
    bool sawAsc = false, sawOther = false, sawBin = false;
    while (!text.empty()) {
        auto nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const auto eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, eq);
        const std::string_view value = line.substr(eq + 1);
        const auto comma = value.find(',');
        const std::string_view first = value.substr(0, comma);
        const std::string_view second = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
        int n = 0;
        if (key == "outputs") {
            s.asc.clear();
            s.otherAsc.clear();
            s.bin.clear();
            sawAsc = sawOther = sawBin = true;
        } else if (key == "baud" && parseInt(value, n) && isSupportedBaud(n)) {
            s.baud = n;
        } else if (key == "baud_other" && parseInt(value, n) && isSupportedBaud(n)) {
            s.otherBaud = n;
        } else if (key == "diff" && isWord(value)) {
            s.diff = value;
        } else if (key == "mask" && parseInt(value, n) && n >= 0 && n <= 60) {
            s.mask = n;
        } else if (key == "air" && isWord(value)) {
            s.air = value;
        } else if (key == "smooth" && isWord(value)) {
            s.smooth = value;
        } else if (key == "alt" && isWord(first) && isNumberText(second)) {
            s.alt = first;
            s.altValue = second;
        } else if ((key == "asc" || key == "asc_other") && isWord(first)) {
            auto rate = parseRate(second);
            if (!rate || (*rate != 0 && *rate != 2 && *rate != 10 && *rate != 50))
                continue;
            auto &table = key == "asc" ? s.asc : s.otherAsc;
            bool &seen = key == "asc" ? sawAsc : sawOther;
            if (!seen) {
                table.clear();
                seen = true;
            }
            if (*rate > 0)
                table[std::string(first)] = *rate;
        } else if (key == "bin" && parseInt(first, n) && n > 0 && n < 65536) {
            auto rate = parseRate(second);
            if (!rate || (*rate != 0 && *rate != 2 && *rate != 10 && *rate != 50))
                continue;
            if (!sawBin) {
                s.bin.clear();
                sawBin = true;
            }
            if (*rate > 0)
                s.bin[n] = *rate;
        }
    }
    return s;
}

std::optional<SimSettings> loadStateFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text;
    // A state file is a few hundred bytes; refuse to slurp something that is not one.
    char buf[4096];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        text.append(buf, static_cast<std::size_t>(in.gcount()));
        if (text.size() > 65536)
            return std::nullopt;
    }
    return SimSettings::fromText(text, SimSettings::factoryDefaults());
}

bool saveStateFile(const std::string &path, const SimSettings &settings)
{
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out << settings.toText();
        out.flush();
        if (!out)
            return false;
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace stavo::sim
