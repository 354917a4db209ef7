#include "StavoDlg.h"

#include "Pages.h"

#include "res/Resources.h"
#include "res/resource.h"

#include "platform/MessageBox.h"
#include "platform/Screen.h"
#include "platform/SingleInstance.h"
#include "platform/StringTable.h"

#include "wirra/CSIFormat.h"
#include "wirra/TrimblePort.h"

#include <QResizeEvent>

using namespace platform;
using namespace stavo;

CStavoDlg::CStavoDlg(QWidget* parent) : Dialog(IDD_STAVO_DIALOG, parent)
{
    m_hIcon = res::LoadAppIcon();
}

CStavoDlg::~CStavoDlg()
{
    CloseReceiverPort();
    delete m_pDecoder;
    m_pDecoder = nullptr;
    m_tray.Remove();
    // The tab control member deletes the pages as it goes.
}

void CStavoDlg::DoDataExchange(bool saveAndValidate)
{
    Dialog::DoDataExchange(saveAndValidate);
    DDX_Control(IDC_TAB, m_tab);
    DDX_Control(IDC_NORTH, m_stNorth);
    DDX_Control(IDC_EAST, m_stEast);
    DDX_Control(IDC_HEIGHT, m_stHeight);
    DDX_Control(IDC_PDOP, m_stPdop);
    DDX_Control(IDC_STATUS, m_stStatus);
}

BOOL CStavoDlg::OnInitDialog()
{
    SetProp(SingleInstance::propertyName(), 1);
    raise();
    activateWindow();

    Dialog::OnInitDialog();

    setWindowIcon(m_hIcon);
    for (CFontStatic* s : {&m_stNorth, &m_stEast, &m_stHeight, &m_stPdop, &m_stStatus})
        s->SetFontSize(28);
    m_eOemType = OEM_CSI;
    m_pDecoder = new CCSIFormat;

    SendMessage(WM_MY_INITIAL_UPDATE, 0, 0);

    // Shown maximised: the whole screen on the handheld itself, the whole simulated screen in a
    // desktop window.
    Screen::showMaximized(this);

    m_stStatus.setText(LoadString(IDS_CONNECTING));
    OpenReceiverPort();
    SetTimer(TIMER_BAUD_PROBE, 2000);
    m_tray.Add(this, NOTIFY_ICON_ID, m_hIcon, WM_TRAY_NOTIFY);
    m_tab.setFocus();
    return FALSE;
}

void CStavoDlg::BuildPages()
{
    const int width = Screen::width();
    setGeometry(0, 0, width, 640);
    if (!Screen::isHandheld())
        setFixedSize(width, 640); // a desktop window stands for the handheld's screen
    m_tab.setGeometry(0, 0, width, 440);

    m_tab.vRemoveAllDlg();
    m_tab.DeleteAllItems();

    m_tab.m_pages.SetSize(6);
    const UINT captions[6] = {IDS_TAB_STATUS, IDS_TAB_SKY, IDS_TAB_SATS, IDS_TAB_COMMANDS, IDS_TAB_CORS, IDS_TAB_OPTIONS};
    for (int i = 0; i < 6; ++i)
        m_tab.InsertItem(i, LoadString(captions[i]));

    auto* status = new CGPSStatusDlg;
    auto* sky = new CSatMapSNR;
    auto* sats = new CSatChart;
    auto* commands = new CCsiCmdsSendDlg;
    auto* cors = new CLogonCORSDlg;
    auto* options = new CStavoOption;
    CMyDialog* pages[6] = {status, sky, sats, commands, cors, options};
    for (int i = 0; i < 6; ++i)
        m_tab.m_pages[i] = pages[i];
    m_tab.m_nCurPage = 0;

    const QRect client = m_tab.rect();
    for (CMyDialog* p : pages) {
        p->Create(p->TemplateId(), &m_tab);
        p->setGeometry(client);
    }
    pages[0]->show();
    for (int i = 1; i < 6; ++i)
        pages[i]->hide();

    status->m_pMainDlg = this;
    sky->m_pMainDlg = this;
    sats->m_pMainDlg = this;
    commands->m_pMainDlg = this;
    cors->m_pMainDlg = this;
    options->m_pMainDlg = this;

    m_tab.EnableDraw(2);
    m_tab.EnableCustomLook(TRUE, 0x1F);
    m_tab.SetRectangle();
    m_tab.update();
    m_laidOut = size();
}

void CStavoDlg::RefreshStatusPage()
{
    if (auto* page = static_cast<CGPSStatusDlg*>(Page(stavo::PAGE_STATUS)))
        page->Refresh();
}

CMyDialog* CStavoDlg::Page(int index) const
{
    if (index < 0 || index >= m_tab.m_pages.GetSize())
        return nullptr;
    return dynamic_cast<CMyDialog*>(m_tab.m_pages.GetAt(index));
}

LRESULT CStavoDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        // The same template serves portrait and landscape screens; the tab control keeps the
        // page area it was given when the pages were built.
        RelayoutFromTemplate();
        m_tab.setGeometry(0, 0, width(), 440);
        m_tab.SetRectangle();
        m_laidOut = size();
        return 0;
    case WM_TIMER:
        OnTimer(UINT(wParam));
        return Dialog::WindowProc(message, wParam, lParam);
    case WM_MY_INITIAL_UPDATE:
        BuildPages();
        return 0;
    case WM_RECEIVER_DATA:
        DrainReceiverQueue();
        return 0;
    case WM_TRAY_NOTIFY:
        if (wParam == NOTIFY_ICON_ID && lParam == LPARAM(WM_LBUTTONDOWN))
            BringForward(this);
        return 0;
    default: return Dialog::WindowProc(message, wParam, lParam);
    }
}

BOOL CStavoDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        // Hidden, the program goes on working; a tap on the icon brings it back.
        TrayIcon::HideToTray(this);
        return TRUE;
    case IDCANCEL: RequestExit(); return TRUE;
    case ID_APP_ESCAPE:
        RemoveProp(SingleInstance::propertyName());
        RequestExit();
        return TRUE;
    default: return Dialog::OnCommand(wParam, lParam);
    }
}

void CStavoDlg::RequestExit()
{
    if (auto* cors = dynamic_cast<CLogonCORSDlg*>(Page(PAGE_CORS)); cors && cors->HasCorrectionSocket()) {
        if (MessageBox(this, QStringLiteral("CORS网络连接中,\n确定要退出吗？"), windowTitle(),
                       MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return;
        cors->Disconnect();
    } else if (MessageBox(this, LoadString(IDS_EXIT_QUESTION), windowTitle(), MB_YESNO) != IDYES) {
        return;
    }
    if (m_pPort) {
        m_pPort->vWriteToPort(QStringLiteral("$JSAVE\r\n"), 3000, 0);
        m_pPort->bWaitWriteBufferEmpty();
    }
    m_tray.Remove();
    EndDialog(IDCANCEL);
}

void CStavoDlg::resizeEvent(QResizeEvent* e)
{
    Dialog::resizeEvent(e);
    if (m_tab.GetItemCount() > 0 && e->size() != m_laidOut)
        SendMessage(WM_SIZE, 0, MAKELONG(WORD(e->size().width()), WORD(e->size().height())));
}
