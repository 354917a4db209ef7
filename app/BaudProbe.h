#pragma once
// The baud-rate probe: the rates tried in turn and the attempt counter that lives as long as the
// program (closing and reopening the port resumes it where it stopped).

#include <array>

namespace stavo {

constexpr std::array<unsigned, 12> kProbeRates = {9600,  19200,  38400,  115200, 57600, 14400,
                                                   56000, 128000, 256000, 512000, 2400,  4800};
constexpr int kMaxProbeAttempts = 24;

class BaudProbe {
public:
    // Counts one attempt; returns its rate, or 0 when the attempts are used up.
    static unsigned NextRate();
    static int Attempts();
    // For tests that run several programs' lives in one process.
    static void ResetForTest();
};

} // namespace stavo
