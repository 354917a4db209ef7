#pragma once
#include <string>
#include <string_view>

namespace stavo::sim {

// The simulator's record of what it received and did, one line per event,
// flushed at once so that a test can read it while the simulator runs:
//   <seconds since start, 3 decimals> <sim baud> <program baud> <text>
class CommandLog {
public:
    CommandLog() = default;
    ~CommandLog();
    CommandLog(const CommandLog &) = delete;
    CommandLog &operator=(const CommandLog &) = delete;

    // Empty path: standard error. False if the file cannot be created.
    bool open(const std::string &path);
    void write(double seconds, int simBaud, int programBaud, std::string_view text);

    // Control bytes and non-ASCII shown as \xHH so one event stays one line.
    static std::string printable(std::string_view text);

private:
    int m_fd = 2;
};

}  // namespace stavo::sim
