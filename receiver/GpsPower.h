#pragma once
// GPS power control. At start-up, a built-in GPS module that is off is switched on by the handheld's
// power manager, at the user's request. On the receiver parameter page the power button switches it
// off and on through the GPS power driver ("GPD1:"), closing and reopening the receiver port around
// it. The driver keeps the power state in the registry; the program only reads it.
//
// The page operations are here as functions of the page's window (the owner of their message boxes)
// and the main window, so that they run and are tested without the page.

#include "platform/NamedDevice.h"
#include "platform/WinTypes.h"

#include <QString>

class CStavoDlg;
class QWidget;

namespace stavo {

// Control codes of the GPS power driver: device type 0x32, functions 0x200 (on) and 0x201 (off).
constexpr platform::DWORD IOCTL_GPS_POWER_ON =
    platform::CTL_CODE(0x32, 0x200, platform::METHOD_BUFFERED, platform::FILE_ANY_ACCESS);
constexpr platform::DWORD IOCTL_GPS_POWER_OFF =
    platform::CTL_CODE(0x32, 0x201, platform::METHOD_BUFFERED, platform::FILE_ANY_ACCESS);

// Registry values (HKEY_LOCAL_MACHINE), all DWORD, never written by the program.
inline constexpr platform::WCHAR kGpsDriverKey[] = u"Drivers\\BuiltIn\\GPDGPS";
inline constexpr platform::WCHAR kPowerStatusValue[] = u"POWERSTATUS"; // nonzero while powered
inline constexpr platform::WCHAR kOpenPowerValue[] = u"OPENPOWER";     // start-up preference, 0 off, 1 on
inline constexpr platform::WCHAR kPowerManagerKey[] = u"SoftWare\\TARVO\\GPSPower";
inline constexpr platform::WCHAR kPowerWindowValue[] = u"powerhwnd";   // the power manager's window

inline constexpr char kGpsPowerDevice[] = "GPD1:";
inline constexpr char kPowerEventName[] = "POWEREVENT";
inline constexpr char kPowerMessageName[] = "QXPOWER";

constexpr platform::DWORD kPowerAnswerMs = 4000; // the power manager's time to answer at start-up
constexpr int kPowerSwitchPauseMs = 200;
// A USB receiver's device appears some time after its power comes on.
constexpr int kPortDeviceWaitMs = 5000;

// Power button icons (32 x 32) and texts: while powered icon 142 (IDI_GPS_POWERED) and string 172,
// else icon 145 (IDI_GPS_UNPOWERED) and string 171.
struct PowerButtonLook {
    platform::UINT icon = 0;
    QString text;
};
PowerButtonLook PowerButtonLookFor(platform::DWORD powerStatus);

// The registry's power status and start-up preference, read afresh.
struct GpsPowerState {
    platform::DWORD powerStatus = 0;
    platform::DWORD openPower = 0;
};
GpsPowerState ReadGpsPowerState();

// Whether the GPS power driver provides "GPD1:" now (opened and closed again at once; a device
// that someone else holds open is there too).
bool GpsPowerDriverPresent();

// The driver's two switches; failures are shown in message boxes owned by page.
void GpsPowerOn(QWidget* page);
void GpsPowerOff(QWidget* page);

// The power button's sequence on the main window, from the power status read last: powered, the
// port is closed and the power switched off; unpowered, the power is switched on and the port
// reopened once its device is there, with baud probing started. The page reads the state again after.
void ToggleGpsPower(QWidget* page, CStavoDlg* mainDlg, platform::DWORD powerStatus);

// Waits up to ms (in steps of the program's clock) until the device of the serial port exists.
bool WaitForPortDevice(unsigned portNo, int ms);

// The registered message "QXPOWER", registered once.
platform::UINT PowerRequestMessage();

} // namespace stavo

// Before the main window exists: TRUE when the GPS module is powered or was switched on at the
// user's request; FALSE when the program must end (its messages have been shown).
platform::BOOL CheckGpsPowerAtStartup();
