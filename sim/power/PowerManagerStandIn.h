#pragma once
// Stand-in for the handheld's power manager: its window handle is in the registry; "QXPOWER" posted
// to it switches the GPS module on and, a moment later, signals "POWEREVENT".

#include "PowerSwitch.h"

#include "platform/RemoteWindow.h"

namespace stavo::sim {

class PowerManagerStandIn : public QObject {
public:
    PowerManagerStandIn(PowerSwitch& power, int answerMs);
    ~PowerManagerStandIn() override;
    bool published() const { return m_target.Handle() != 0; }

private:
    void onMessage(platform::UINT message);

    PowerSwitch& m_power;
    int m_answerMs;
    platform::MessageTarget m_target;
};

}  // namespace stavo::sim
