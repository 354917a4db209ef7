#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace stavo::sim {

struct SimOptions {
    int baud = 9600;
    bool baudGiven = false; // --baud overrides the saved rate
    std::string statePath;
    std::string logPath;
    std::string linkPath;
    std::optional<std::uint64_t> seed;
    bool silent = false;
    bool noFix = false;
    double fixAfter = -1.0; // simulator seconds; negative: never
    double lat = 31.2304, lon = 121.4737, height = 12.0;
    double timeScale = 1.0;
    std::optional<std::int64_t> startUtcMs;
    // Stand-ins for the handheld's GPS power driver and power manager (sim/power/).
    bool powerDriver = false;
    bool powerManager = false;
    bool powerOff = false;   // the receiver starts unpowered
    int powerAnswerMs = 200; // the power manager's time to switch on and answer
    int replugMs = -1;       // with --link: the link goes at power-off and comes back this long after power-on
    bool help = false;
};

struct OptionsResult {
    std::optional<SimOptions> options;
    std::string error;
};

OptionsResult parseOptions(const std::vector<std::string> &args);
std::string usageText();

}  // namespace stavo::sim
