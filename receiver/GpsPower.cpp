#include "GpsPower.h"

#include "app/StavoDlg.h"
#include "res/resource.h"

#include "platform/Clock.h"
#include "platform/DebugOutput.h"
#include "platform/Handle.h"
#include "platform/MessageBox.h"
#include "platform/NamedEvent.h"
#include "platform/RemoteWindow.h"
#include "platform/StringTable.h"
#include "tessel/RegEdit.h"
#include "wirra/PortMap.h"

#include <QFileInfo>

using namespace platform;

namespace stavo {

namespace {

constexpr int kDeviceWaitStepMs = 50;

struct SwitchTexts {
    DWORD code;
    const char* started;   // debug output once the device is open
    const char* succeeded; // debug output after the request
    const char* failed;    // debug output after a refusal
};

const SwitchTexts kOn = {IOCTL_GPS_POWER_ON, "GPSpower on\r\n", "power on DeviceIoControl succeed!\r\n",
                         "GPSpower on: failed"};
const SwitchTexts kOff = {IOCTL_GPS_POWER_OFF, nullptr, " POWER_OFF DeviceIoControl succeed!\r\n",
                          "GPSpower OFF: failed"};

void switchPower(QWidget* page, const SwitchTexts& t)
{
    HANDLE device = CreateFile(QString::fromLatin1(kGpsPowerDevice), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        MessageBox(page, QStringLiteral("Failed to load driver!\r\n"), QString(), MB_OK);
        return;
    }
    if (t.started)
        OutputDebugString(QString::fromLatin1(t.started));
    if (DeviceIoControl(device, t.code, nullptr, 0, nullptr, 0, nullptr, nullptr)) {
        OutputDebugString(QString::fromLatin1(t.succeeded));
    } else {
        const DWORD error = GetLastError();
        MessageBox(page, QString::asprintf("DeviceIoControl failed! - %d", int(error)), QString(), MB_OK);
        OutputDebugString(QString::fromLatin1(t.failed));
    }
    CloseHandle(device);
}

} // namespace

PowerButtonLook PowerButtonLookFor(DWORD powerStatus)
{
    if (powerStatus)
        return {IDI_GPS_POWERED, LoadString(IDS_POWER_OFF_TEXT)};
    return {IDI_GPS_UNPOWERED, LoadString(IDS_POWER_ON_TEXT)};
}

GpsPowerState ReadGpsPowerState()
{
    GpsPowerState s;
    s.powerStatus = ReadDWORD(HKEY_LOCAL_MACHINE, kGpsDriverKey, kPowerStatusValue, 0);
    s.openPower = ReadDWORD(HKEY_LOCAL_MACHINE, kGpsDriverKey, kOpenPowerValue, 0);
    return s;
}

bool GpsPowerDriverPresent()
{
    HANDLE device = CreateFile(QString::fromLatin1(kGpsPowerDevice), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(device);
    return true;
}

void GpsPowerOn(QWidget* page) { switchPower(page, kOn); }

void GpsPowerOff(QWidget* page)
{
    OutputDebugString(QStringLiteral("GPSpower off\r\n"));
    switchPower(page, kOff);
}

bool WaitForPortDevice(unsigned portNo, int ms)
{
    const QString path = wirra::PortDevice(portNo);
    for (int waited = 0; !QFileInfo::exists(path); waited += kDeviceWaitStepMs) {
        if (waited >= ms)
            return false;
        Clock::sleep(kDeviceWaitStepMs);
    }
    return true;
}

void ToggleGpsPower(QWidget* page, CStavoDlg* mainDlg, DWORD powerStatus)
{
    if (!mainDlg)
        return;
    if (powerStatus) {
        mainDlg->CloseReceiverPort();
        mainDlg->m_bDataSeen = 0;
        Clock::sleep(kPowerSwitchPauseMs);
        GpsPowerOff(page);
        return;
    }
    GpsPowerOn(page);
    Clock::sleep(kPowerSwitchPauseMs);
    mainDlg->ShowStatusMessage(LoadString(IDS_INITIALISING));
    // A USB receiver's device comes back some time after its power; a port that cannot be opened
    // would end the program, so give it a few seconds to appear.
    WaitForPortDevice(mainDlg->m_nPortNo, kPortDeviceWaitMs);
    mainDlg->OpenReceiverPort();
    mainDlg->SetTimer(TIMER_BAUD_PROBE, 2000);
}

UINT PowerRequestMessage()
{
    static const UINT message = RegisterWindowMessage(QString::fromLatin1(kPowerMessageName));
    return message;
}

} // namespace stavo

using namespace stavo;

BOOL CheckGpsPowerAtStartup()
{
    const UINT request = PowerRequestMessage();
    const QString caption = QStringLiteral("Stavo");
    if (ReadDWORD(HKEY_LOCAL_MACHINE, kGpsDriverKey, kPowerStatusValue, 0) != 0)
        return TRUE;
    if (MessageBox(nullptr, LoadString(IDS_GPS_POWER_QUESTION), caption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return FALSE;
    bool answered = false;
    if (HANDLE event = CreateEvent(nullptr, FALSE, FALSE, QString::fromLatin1(kPowerEventName))) {
        const DWORD window = ReadDWORD(HKEY_LOCAL_MACHINE, kPowerManagerKey, kPowerWindowValue, 0);
        if (window) {
            PostMessageToHandle(window, request, 0, 0);
            // Only a time-out is a failure: the power manager has had its chance.
            answered = WaitForSingleObject(event, kPowerAnswerMs) != WAIT_TIMEOUT;
        }
        CloseHandle(event);
    }
    if (answered)
        return TRUE;
    MessageBox(nullptr, QStringLiteral("电源打开失败!"), caption, MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
}
