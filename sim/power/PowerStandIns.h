#pragma once
// The GPS power driver and power manager stand-ins, on a thread of their own with an event loop
// (the receiver's loop is poll() on the pseudo-terminal). Power changes reach the receiver through
// onChange, called on that thread.

#include "SimOptions.h"

#include <functional>
#include <memory>
#include <string>

class QThread;

namespace stavo::sim {

class PowerStandIns {
public:
    PowerStandIns(const SimOptions& options, std::string slavePath, std::function<void(bool on)> onChange);
    ~PowerStandIns();

    // Starts the thread and waits until the device and the window are published; false on failure.
    bool start();

private:
    SimOptions m_options;
    std::string m_slave;
    std::function<void(bool)> m_onChange;
    std::unique_ptr<QThread> m_thread;
};

}  // namespace stavo::sim
