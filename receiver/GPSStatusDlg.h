#pragma once
// The receiver parameter page (tab 0): nine working parameters of the receiver in an editable list,
// four of which (differential mode, elevation mask, dynamics, smoothing) the user can change and send.
// The page reads the receiver's settings from its status report, repeating the question every second
// until an answer has been decoded; it also restores factory settings and leaves the program.

#include "ParamListCtrl.h"

#include "app/PageClass.h"

#include "tessel/IconButton.h"

class CGPSStatusDlg : public CMyDialog {
    STAVO_DECLARE_PAGE(CGPSStatusDlg)
public:
    // Timers of the page: 1 fills the rows once an answer is there, 2 asks the receiver.
    static constexpr platform::UINT TIMER_FILL = 1;
    static constexpr platform::UINT TIMER_QUERY = 2;
    static constexpr platform::UINT kQueryDelayMs = 50;
    static constexpr platform::UINT kFillDelayMs = 500;
    static constexpr platform::UINT kRetryMs = 1000;
    static constexpr int kRows = 9;
    // Characters the elevation-mask cell (column 1) accepts.
    static constexpr const char* kValueChars = "+-0123456789.:";

    CGPSStatusDlg();
    ~CGPSStatusDlg() override;

    CStavoDlg* m_pMainDlg = nullptr;
    CParamListCtrl m_list;
    CIconButton m_btnPower;
    CIconButton m_btnRefresh;
    CIconButton m_btnSet;
    CIconButton m_btnExit;
    CIconButton m_btnFactory;
    // GPS power. The driver is opened and closed within each switch by the power functions, so the
    // handle stays null between switches.
    void* m_hDriver = nullptr;
    platform::DWORD m_nOpenPower = 0;   // start-up power preference (radio group 1006/1007)
    platform::DWORD m_nPowerStatus = 0; // as the registry read last: nonzero while powered

    // Fills column 1 from the decoder: -1 all rows, 0 to 8 one row.
    void UpdateRows(int row);
    // Sends the four editable values to the receiver.
    void SendParameters();

    // The buttons' operations. Refresh is also how other pages have this page re-read the receiver.
    void Refresh();
    void OnSet();
    void OnFactoryReset();
    void OnExit();

    // GPS power: the driver's two switches (failures in message boxes on the page); the registry's
    // state into the members, the button and the radio group; the button's switch off or on from the
    // state read last, with the receiver port closed or reopened around it.
    void PowerOn();
    void PowerOff();
    void ReadPowerState();
    void TogglePower();

    // The choices of a row, as the list asks for them (TRUE when they were given).
    platform::BOOL OnGetChoices(int row, CArray<QString>* choices);

    // A value as Set sends it: cut at its first control character, then to at most 9 characters.
    static QString CommandValue(const QString& cell);

    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override;

protected:
    void resizeEvent(QResizeEvent* e) override;
    platform::BOOL OnInitDialog() override;
    void DoDataExchange(bool saveAndValidate) override;
    platform::BOOL OnCommand(platform::WPARAM wParam, platform::LPARAM lParam) override;
    void OnTimer(platform::UINT id);
    void PlacePowerButton();
};
