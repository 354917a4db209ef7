#include "GpsDriverStandIn.h"

using namespace platform;

namespace stavo::sim {

DWORD GpsDriverStandIn::IoControl(DWORD code, const QByteArray&, QByteArray*)
{
    switch (code) {
    case kPowerOn: m_power.set(true); return ERROR_SUCCESS;
    case kPowerOff: m_power.set(false); return ERROR_SUCCESS;
    default: return ERROR_INVALID_PARAMETER; // a code this driver does not know
    }
}

}  // namespace stavo::sim
