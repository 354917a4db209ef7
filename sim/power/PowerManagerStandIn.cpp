#include "PowerManagerStandIn.h"

#include "platform/Handle.h"
#include "platform/NamedEvent.h"

#include <QTimer>

using namespace platform;

namespace stavo::sim {

namespace {
const char* const kManagerKey = "SoftWare\\TARVO\\GPSPower";
}

PowerManagerStandIn::PowerManagerStandIn(PowerSwitch& power, int answerMs)
    : m_power(power), m_answerMs(answerMs),
      m_target([this](UINT message, WPARAM, LPARAM) { onMessage(message); })
{
    if (m_target.Handle())
        WriteMachineDword(QString::fromLatin1(kManagerKey), QStringLiteral("powerhwnd"), m_target.Handle());
}

PowerManagerStandIn::~PowerManagerStandIn()
{
    DeleteMachineValue(QString::fromLatin1(kManagerKey), QStringLiteral("powerhwnd"));
}

void PowerManagerStandIn::onMessage(UINT message)
{
    if (message != RegisterWindowMessage(QStringLiteral("QXPOWER")))
        return;
    QTimer::singleShot(m_answerMs, this, [this] {
        m_power.set(true);
        // Whoever asked waits on the event; nobody waiting means nobody to tell.
        if (HANDLE event = OpenEvent(EVENT_ALL_ACCESS, FALSE, QStringLiteral("POWEREVENT"))) {
            SetEvent(event);
            CloseHandle(event);
        }
    });
}

}  // namespace stavo::sim
