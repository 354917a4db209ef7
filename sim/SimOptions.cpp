#include "SimOptions.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "SimSettings.h"

namespace stavo::sim {

namespace {

bool toDouble(const std::string &s, double &out)
{
    if (s.empty())
        return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size() && std::isfinite(out);
}

template <typename T> bool toInt(const std::string &s, T &out)
{
    if (s.empty())
        return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

// "YYYY-MM-DDThh:mm:ss" (UTC) to ms since 1970.
std::optional<std::int64_t> parseUtc(const std::string &s)
{
    int y, mo, d, h, mi, se;
    char t;
    if (std::sscanf(s.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d", &y, &mo, &d, &t, &h, &mi, &se) != 7 || (t != 'T' && t != ' '))
        return std::nullopt;
    if (y < 1981 || y > 2100 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || se > 59 || h < 0 || mi < 0
        || se < 0)
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = se;
    return static_cast<std::int64_t>(timegm(&tm)) * 1000;
}

}  // namespace

std::string usageText()
{
    return "usage: stavo-sim [--baud N] [--state FILE] [--log FILE] [--link PATH] [--seed N] [--silent]\n"
           "                 [--no-fix] [--fix-after SECONDS] [--position LAT,LON,HEIGHT]\n"
           "                 [--time-scale F] [--start-time YYYY-MM-DDThh:mm:ss]\n"
           "                 [--power-driver] [--power-manager] [--power-off] [--power-answer-ms N]\n"
           "                 [--replug-ms N] [--help] [--version]\n"
           "A simulated GNSS receiver on a pseudo-terminal. Prints the slave device's path\n"
           "as its first line, then talks on it at its own baud rate until SIGTERM.\n"
           "  --baud N         this port's rate (default 9600; overrides the state file)\n"
           "  --state FILE     settings kept by $JSAVE, read at start\n"
           "  --log FILE       command log (default: standard error)\n"
           "  --link PATH      make PATH a symbolic link to the slave device\n"
           "  --seed N         deterministic satellites, noise and position wander\n"
           "  --silent         never send anything (a dead receiver)\n"
           "  --no-fix         no position (GGA quality 0) until --fix-after seconds\n"
           "  --fix-after S    seconds of simulator time before the first fix with --no-fix\n"
           "  --position LAT,LON,HEIGHT  degrees, degrees, metres (default 31.2304,121.4737,12)\n"
           "  --time-scale F   run the simulator's clock F times faster (tests)\n"
           "  --start-time T   UTC of the first epoch (default: now)\n"
           "  --power-driver   provide the GPS power driver (device GPD1:, registry POWERSTATUS)\n"
           "  --power-manager  provide the power manager that answers QXPOWER\n"
           "  --power-off      start with the receiver unpowered (silent)\n"
           "  --power-answer-ms N  the power manager's delay before it answers (default 200)\n"
           "  --replug-ms N    with --link: power-off removes the link, power-on makes it again after N ms\n"
           "Signals: SIGUSR1 goes silent, SIGUSR2 resumes, SIGTERM/SIGINT end.\n";
}

OptionsResult parseOptions(const std::vector<std::string> &args)
{
    SimOptions o;
    auto fail = [](std::string msg) { return OptionsResult{std::nullopt, std::move(msg)}; };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        auto value = [&](std::string &out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--silent") {
            o.silent = true;
        } else if (a == "--no-fix") {
            o.noFix = true;
        } else if (a == "--power-driver") {
            o.powerDriver = true;
        } else if (a == "--power-manager") {
            o.powerManager = true;
        } else if (a == "--power-off") {
            o.powerOff = true;
        } else if (a == "--power-answer-ms") {
            if (!value(v) || !toInt(v, o.powerAnswerMs) || o.powerAnswerMs < 0 || o.powerAnswerMs > 600000)
                return fail("--power-answer-ms needs milliseconds from 0 to 600000");
        } else if (a == "--replug-ms") {
            if (!value(v) || !toInt(v, o.replugMs) || o.replugMs < 0 || o.replugMs > 600000)
                return fail("--replug-ms needs milliseconds from 0 to 600000");
        } else if (a == "--baud") {
            if (!value(v) || !toInt(v, o.baud) || !isSupportedBaud(o.baud))
                return fail("--baud needs one of 2400 4800 9600 14400 19200 38400 56000 57600 115200 128000 256000 512000");
            o.baudGiven = true;
        } else if (a == "--state") {
            if (!value(o.statePath) || o.statePath.empty())
                return fail("--state needs a file");
        } else if (a == "--log") {
            if (!value(o.logPath) || o.logPath.empty())
                return fail("--log needs a file");
        } else if (a == "--link") {
            if (!value(o.linkPath) || o.linkPath.empty())
                return fail("--link needs a path");
        } else if (a == "--seed") {
            std::uint64_t s = 0;
            if (!value(v) || !toInt(v, s))
                return fail("--seed needs a non-negative integer");
            o.seed = s;
        } else if (a == "--fix-after") {
            if (!value(v) || !toDouble(v, o.fixAfter) || o.fixAfter < 0)
                return fail("--fix-after needs seconds");
        } else if (a == "--time-scale") {
            if (!value(v) || !toDouble(v, o.timeScale) || o.timeScale < 0.01 || o.timeScale > 1000)
                return fail("--time-scale needs a factor from 0.01 to 1000");
        } else if (a == "--start-time") {
            if (!value(v) || !(o.startUtcMs = parseUtc(v)))
                return fail("--start-time needs YYYY-MM-DDThh:mm:ss (UTC)");
        } else if (a == "--position") {
            if (!value(v))
                return fail("--position needs LAT,LON,HEIGHT");
            const auto c1 = v.find(','), c2 = c1 == std::string::npos ? c1 : v.find(',', c1 + 1);
            if (c2 == std::string::npos || !toDouble(v.substr(0, c1), o.lat)
                || !toDouble(v.substr(c1 + 1, c2 - c1 - 1), o.lon) || !toDouble(v.substr(c2 + 1), o.height)
                || std::fabs(o.lat) > 89.9 || std::fabs(o.lon) > 180.0 || std::fabs(o.height) > 100000.0)
                return fail("--position needs LAT,LON,HEIGHT in degrees, degrees, metres");
        } else {
            return fail("unknown option " + a);
        }
    }
    return {o, {}};
}

}  // namespace stavo::sim
