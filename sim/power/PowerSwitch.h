#pragma once
// The simulated receiver's power as the handheld's GPS module has it: switched by the driver and the
// power manager stand-ins, shown in the registry (POWERSTATUS), heard by the receiver (off means
// silent), and, for a USB receiver, its device gone while off and back a moment after power-on.

#include <QObject>
#include <QString>

#include <functional>

namespace stavo::sim {

class PowerSwitch : public QObject {
public:
    // onChange tells the receiver; linkPath/slavePath and replugMs (< 0: never) for the USB device.
    PowerSwitch(bool on, std::function<void(bool on)> onChange, QString linkPath, QString slavePath, int replugMs);
    ~PowerSwitch() override;

    bool isOn() const { return m_on; }
    void set(bool on);

private:
    void writeStatus();

    bool m_on;
    std::function<void(bool)> m_onChange;
    QString m_link, m_slave;
    int m_replugMs;
};

// Registry helpers of the stand-ins (HKEY_LOCAL_MACHINE).
bool WriteMachineDword(const QString& key, const QString& name, unsigned value);
void DeleteMachineValue(const QString& key, const QString& name);

}  // namespace stavo::sim
