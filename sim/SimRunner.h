#pragma once
#include <chrono>
#include <cstdint>
#include <string>

#include "CommandLog.h"
#include "FixModel.h"
#include "LineNoise.h"
#include "PortInput.h"
#include "PtyPort.h"
#include "SimOptions.h"
#include "SimReceiver.h"
#include "SkyModel.h"

namespace stavo::sim {

// The running receiver: reads what the program sends, answers, and puts out
// the commanded messages epoch by epoch, all on one thread around poll().
// The settings the receiver has at power-on: the state file's (what $JSAVE kept) or the factory
// defaults, with --baud taking precedence.
SimSettings powerUpSettings(const SimOptions &options);

class SimRunner {
public:
    static constexpr std::int64_t kEpochMs = 200; // 5 Hz, the fastest output rate

    SimRunner(const SimOptions &options, SimSettings settings, PtyPort &port, CommandLog &log);

    // Runs until stopFd becomes readable with a stop request. signalFd carries one
    // byte per signal: 'S' silent, 'R' resume, 'Q' quit; and from the power stand-ins
    // 'P' power off, 'O' power on.
    int run(int signalFd);

private:
    double realSeconds() const;
    double simSeconds() const;
    void log(const std::string &text, int programRate = -1);
    void handleInput();
    void handleChunk(const std::string &data, int rate);
    void handleLine(const std::string &line, int rate);
    void emitEpoch(std::int64_t index);
    void send(const std::string &bytes);
    void powerOff();
    void powerOn();
    bool deaf() const { return m_options.silent || m_paused || !m_powered; }

    const SimOptions &m_options;
    PtyPort &m_port;
    CommandLog &m_log;
    std::uint64_t m_seed; // logged, so that any run can be repeated with --seed
    SimReceiver m_receiver;
    FixModel m_fix;
    SkyModel m_sky;
    LineNoise m_noise;
    PortInput m_input;
    int m_baud;
    bool m_paused = false; // SIGUSR1
    bool m_powered = true; // the power stand-ins switch it
    int m_lastQuality = -1;
    int m_lastSeenRate = 0;
    int m_rateBeforeChange = 0;
    bool m_changeBeforeInput = false;
    std::int64_t m_startUtcMs = 0;
    std::chrono::steady_clock::time_point m_start;
};

}  // namespace stavo::sim
