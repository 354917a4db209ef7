#pragma once
// The main window: the tab control with the six pages, the status area under it, the receiver port
// and the message decoder. Every page reaches the port, the decoder and the other pages through it.

#include "platform/Dialog.h"
#include "platform/TrayIcon.h"

#include "tessel/FontStatic.h"
#include "tessel/MyTabCtrl.h"

#include <QIcon>

class CTrimblePort;
class CCSIFormat;

namespace stavo {

// Messages and timers of the main window.
constexpr platform::UINT WM_TRAY_NOTIFY = 0x0BD1;
constexpr platform::UINT NOTIFY_ICON_ID = 13;
constexpr platform::UINT TIMER_BAUD_PROBE = 5;
constexpr platform::UINT TIMER_RECEIVER_INIT = 6;
constexpr platform::UINT TIMER_DATA_WATCH = 7;

// The receiver family the program drives (also the receiver type of correction writes).
using GPSOEMTYPE = int;
constexpr GPSOEMTYPE OEM_CSI = 13;

// Page indices in the tab control.
enum PageIndex { PAGE_STATUS = 0, PAGE_SKY = 1, PAGE_SATS = 2, PAGE_COMMANDS = 3, PAGE_CORS = 4, PAGE_OPTIONS = 5 };

} // namespace stavo

class CStavoDlg : public platform::Dialog {
    Q_OBJECT
public:
    explicit CStavoDlg(QWidget* parent = nullptr);
    ~CStavoDlg() override;

    CMyTabCtrl m_tab;
    CTrimblePort* m_pPort = nullptr;
    stavo::GPSOEMTYPE m_eOemType = 0;
    CCSIFormat* m_pDecoder = nullptr;
    int m_bDataSeen = 0;
    int m_nNoDataTicks = 0;
    unsigned m_nPortNo = 4;
    unsigned m_nBaud = 9600;
    QIcon m_hIcon;
    CFontStatic m_stNorth;
    CFontStatic m_stEast;
    CFontStatic m_stHeight;
    CFontStatic m_stPdop;
    CFontStatic m_stStatus;

    // The exit sequence: confirmation, "$JSAVE", icon removed, dialog ended.
    void RequestExit();

    // Receiver connection.
    void OpenReceiverPort();
    void CloseReceiverPort();
    void EnableReceiverOutputs();
    void RequestReceiverState();
    void ShowStatusMessage(const QString& text);

    // Message dispatch and position status.
    void DrainReceiverQueue();
    int DispatchReceiverMessage(unsigned id, int type);
    void UpdatePositionStatus();

    // The page at a tab index, or null.
    CMyDialog* Page(int index) const;

    // Has the receiver parameter page (page 0) refresh itself: it re-reads the receiver's settings.
    void RefreshStatusPage();

    // Probe attempts made in this program's life (never reset).
    static int ProbeAttempts();

    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override;

protected:
    platform::BOOL OnInitDialog() override;
    void DoDataExchange(bool saveAndValidate) override;
    platform::BOOL OnCommand(platform::WPARAM wParam, platform::LPARAM lParam) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void BuildPages();
    void OnTimer(platform::UINT id);
    void OnBaudProbeTick();
    void OnReceiverInitTick();
    void OnDataWatchTick();
    void Apply9600Rule();
    void WriteCommand(const char* command);
    void WriteAndWait(const char* command);

    platform::TrayIcon m_tray;
    QSize m_laidOut;
};
