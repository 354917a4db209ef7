#pragma once
// Stand-in for the handheld's GPS power driver: device "GPD1:" with its two control codes.

#include "PowerSwitch.h"

#include "platform/NamedDevice.h"

namespace stavo::sim {

class GpsDriverStandIn : public platform::DeviceDriver {
public:
    static constexpr platform::DWORD kPowerOn = platform::CTL_CODE(0x32, 0x200, platform::METHOD_BUFFERED, platform::FILE_ANY_ACCESS);
    static constexpr platform::DWORD kPowerOff = platform::CTL_CODE(0x32, 0x201, platform::METHOD_BUFFERED, platform::FILE_ANY_ACCESS);

    explicit GpsDriverStandIn(PowerSwitch& power) : m_power(power) {}
    platform::DWORD IoControl(platform::DWORD code, const QByteArray& in, QByteArray* out) override;

private:
    PowerSwitch& m_power;
};

}  // namespace stavo::sim
