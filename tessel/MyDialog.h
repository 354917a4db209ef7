#pragma once
// Base of every page shown inside the program's tab control: a modeless child dialog with hooks the
// main window calls on the current page, a layout step that runs once initialisation is complete,
// fixed page placement for the handheld's screen classes, keypad navigation between controls for
// pages of a form-view application, and settings saved or loaded through an archive file.

#include "Archive.h"
#include "TesselExport.h"

#include <platform/Dialog.h>
#include <platform/RuntimeClass.h>

// Posted to itself at the end of OnInitDialog; runs MoveControls once the derived class has done
// its own initialisation.
constexpr platform::UINT WM_MY_INITIAL_UPDATE = platform::WM_USER + 0x67;
// Posted to a tab control after keypad navigation moved its focus: switch to the focused tab's page.
constexpr platform::UINT WM_TAB_ARROW_FOCUS = platform::WM_USER + 0x66;
// Control ids in the form view that receive the Enter and Escape keys as commands.
constexpr int IDC_VIEW_ENTER = 1142;
constexpr int IDC_VIEW_ESCAPE = 1001;

class TESSEL_EXPORT CMyDialog : public platform::Dialog, public platform::CObject {
public:
    CMyDialog();
    CMyDialog(platform::UINT nIDTemplate, QWidget* pParent, platform::BOOL bMain);
    ~CMyDialog() override;

    platform::BOOL m_bEnterCommand;
    // The form view of a form-view application; null unless a dialog was made with bMain.
    static QWidget* m_pView;

    // Shows or hides the page (SW_HIDE hides, any other command shows); returns 1 if it was shown.
    virtual int vShowWindow(int nCmdShow);
    virtual platform::LRESULT OnCommRemote(platform::WPARAM wParam, platform::LPARAM lParam);
    // Places the page in the page area for the screen's class, refreshes and shows it.
    virtual void ActiveDlg();
    virtual void UpdateMainForm();
    virtual platform::LRESULT OnCommunication(platform::WPARAM wParam, platform::LPARAM lParam);

    platform::BOOL PreTranslateMessage(platform::MSG* pMsg) override;
    platform::BOOL OnInitDialog() override;
    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override;

    // nMode 2 loads from strFile, anything else stores into it: the new contents replace the old
    // file whole once written, or not at all; a file that does not open is ignored.
    void SerializeSettings(const QString& strFile, int nMode);
    virtual void Serialize(CArchive& ar);

    const platform::CRuntimeClass* GetRuntimeClass() const override;
    static const platform::CRuntimeClass classCMyDialog;
    static platform::CObject* CreateObject();

    // Screen class for page placement: 0 portrait or square, 1 landscape, 2 landscape 640 wide.
    static int ScreenClass(int width, int height);

private:
    virtual void vCommNovatel();
    virtual void MoveControls();

    platform::BOOL translateKey(platform::MSG* pMsg);
    platform::BOOL viewCommand(int controlId);
    void nextControl(bool previous);
};
