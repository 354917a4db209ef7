#include "PowerSwitch.h"

#include "platform/Registry.h"

#include <QTimer>

#include <unistd.h>

using namespace platform;

namespace stavo::sim {

namespace {
const char* const kDriverKey = "Drivers\\BuiltIn\\GPDGPS";
}

bool WriteMachineDword(const QString& key, const QString& name, unsigned value)
{
    HKEY h = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, key, 0, QString(), 0, KEY_ALL_ACCESS, nullptr, &h, &disposition) != 0)
        return false;
    const DWORD v = value;
    const bool ok = RegSetValueEx(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4) == 0;
    RegCloseKey(h);
    return ok;
}

void DeleteMachineValue(const QString& key, const QString& name)
{
    HKEY h = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, key, 0, 0, &h) != 0)
        return;
    RegDeleteValue(h, name);
    RegCloseKey(h);
}

PowerSwitch::PowerSwitch(bool on, std::function<void(bool)> onChange, QString linkPath, QString slavePath, int replugMs)
    : m_on(on), m_onChange(std::move(onChange)), m_link(std::move(linkPath)), m_slave(std::move(slavePath)),
      m_replugMs(replugMs)
{
    writeStatus();
    WriteMachineDword(QString::fromLatin1(kDriverKey), QStringLiteral("OPENPOWER"), 1);
}

PowerSwitch::~PowerSwitch()
{
    // The driver is unloaded: its values go, and the machine reads as one without it.
    DeleteMachineValue(QString::fromLatin1(kDriverKey), QStringLiteral("POWERSTATUS"));
    DeleteMachineValue(QString::fromLatin1(kDriverKey), QStringLiteral("OPENPOWER"));
}

void PowerSwitch::writeStatus() { WriteMachineDword(QString::fromLatin1(kDriverKey), QStringLiteral("POWERSTATUS"), m_on ? 1 : 0); }

void PowerSwitch::set(bool on)
{
    const bool changed = on != m_on;
    m_on = on;
    if (changed && m_onChange)
        m_onChange(on);
    writeStatus(); // after the switch, as the driver updates it
    if (!changed || m_link.isEmpty() || m_replugMs < 0)
        return;
    const QByteArray link = m_link.toLocal8Bit(), slave = m_slave.toLocal8Bit();
    if (!on) {
        ::unlink(link.constData());
        return;
    }
    QTimer::singleShot(m_replugMs, this, [this, link, slave] {
        if (m_on) {
            ::unlink(link.constData());
            [[maybe_unused]] int rc = ::symlink(slave.constData(), link.constData());
        }
    });
}

}  // namespace stavo::sim
