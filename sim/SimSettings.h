#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace stavo::sim {

// Output rates are kept in tenths of a hertz so that 0.2 Hz is exact: 50, 10, 2, 0.
using RateTenths = int;

// A receiver's configuration: what $JSAVE keeps and $JSHOW reports.
struct SimSettings {
    int baud = 9600;
    int otherBaud = 9600;
    std::string diff = "WAAS";
    int mask = 5;
    std::string air = "AUTO";
    std::string smooth = "LONG";
    std::string alt = "NEVER";
    std::string altValue; // threshold or altitude given with SOMETIMES/ALWAYS, as sent
    std::map<std::string, RateTenths> asc;      // this port's NMEA outputs (name -> rate)
    std::map<std::string, RateTenths> otherAsc; // the other port's
    std::map<int, RateTenths> bin;              // this port's binary outputs (block id -> rate)

    // What the receiver does at power-on without saved settings.
    static SimSettings factoryDefaults();

    // State file: "key=value" lines, see sim/README.md. Unknown or malformed lines
    // are skipped so that an old or damaged file never stops the receiver.
    std::string toText() const;
    static SimSettings fromText(std::string_view text, const SimSettings &base);

    bool operator==(const SimSettings &) const = default;
};

// Loads a state file over the factory defaults; nullopt when it cannot be read.
std::optional<SimSettings> loadStateFile(const std::string &path);
// Writes it atomically (temporary file, then rename) so a crash never leaves half a file.
bool saveStateFile(const std::string &path, const SimSettings &settings);

// "1.0", "5.0", "0.2": how rates appear in the status report and the state file.
std::string formatRate(RateTenths rate);
// Parses "1", "1.0", "5", "0.2", ".2", "0"; nullopt for anything else.
std::optional<RateTenths> parseRate(std::string_view text);

// The rates a port can be set to (the program's probe table).
bool isSupportedBaud(int baud);

}  // namespace stavo::sim
