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
    bool help = false;
};

struct OptionsResult {
    std::optional<SimOptions> options;
    std::string error;
};

OptionsResult parseOptions(const std::vector<std::string> &args);
std::string usageText();

}  // namespace stavo::sim
