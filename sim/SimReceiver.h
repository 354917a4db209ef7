#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "SimSettings.h"

namespace stavo::sim {

// What the receiver does with one command line.
struct CommandResult {
    std::string reply;          // bytes to send back now (may be empty)
    std::optional<int> newBaud; // this port switches to this rate once the reply is out
    std::string note;           // why a command was refused, or what happened; for the log
};

// The receiver's command interpreter and configuration. No I/O: the caller
// moves bytes, this decides what they mean.
class SimReceiver {
public:
    // saver: stores the settings for $JSAVE; returns false if that failed.
    using Saver = std::function<bool(const SimSettings &)>;

    explicit SimReceiver(SimSettings settings, Saver saver = {});

    // line: one line as received, without CR LF.
    CommandResult handleLine(std::string_view line);

    const SimSettings &settings() const { return m_settings; }

    // The $JSHOW answer: one burst of "$>JSHOW,..." lines.
    std::string statusReport() const;

private:
    SimSettings m_settings;
    Saver m_saver;
};

}  // namespace stavo::sim
