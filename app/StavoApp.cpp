#include "StavoApp.h"

#include "StavoDlg.h"

#include "receiver/GpsPower.h"

#include "platform/KeyRouter.h"

#include "tessel/SysColors.h"

#include <QApplication>
#include <QWidget>
#include <QPalette>

using namespace platform;

void stavo::ApplySystemColours()
{
    auto qcolor = [](COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); };
    QPalette p = QApplication::palette();
    p.setColor(QPalette::Window, qcolor(tessel::GetSysColor(tessel::COLOR_BTNFACE)));
    p.setColor(QPalette::Button, qcolor(tessel::GetSysColor(tessel::COLOR_BTNFACE)));
    p.setColor(QPalette::WindowText, qcolor(tessel::GetSysColor(tessel::COLOR_WINDOWTEXT)));
    p.setColor(QPalette::ButtonText, qcolor(tessel::GetSysColor(tessel::COLOR_BTNTEXT)));
    p.setColor(QPalette::Base, qcolor(tessel::GetSysColor(tessel::COLOR_WINDOW)));
    QApplication::setPalette(p);
}

CStavoApp::CStavoApp() = default;

CStavoApp::~CStavoApp() { SetAppPreTranslate(nullptr); }

BOOL CStavoApp::InitApplication()
{
    m_instance = std::make_unique<SingleInstance>(QStringLiteral("STAVO"));
    if (!m_instance->acquire())
        return FALSE; // the running copy was asked to come forward
    if (!CheckGpsPowerAtStartup())
        return FALSE; // the GPS stays off: the program does not start
    return TRUE;
}

BOOL CStavoApp::InitInstance()
{
    m_pszRegistryKey = QStringLiteral("Stavo");
    CStavoDlg dlg;
    AttachMainWindow(&dlg);
    dlg.DoModal();
    SetAppPreTranslate(nullptr);
    m_pMainWnd = nullptr;
    return FALSE;
}

void CStavoApp::AttachMainWindow(CStavoDlg* dlg)
{
    m_pMainWnd = dlg;
    if (m_instance)
        m_instance->setWindow(dlg);
    m_hAccelTable = &res::AcceleratorTable();
    InstallKeyRouter([this](MSG* msg) { return PreTranslateMessage(msg); });
}

namespace {
// Whether a key for w is the main window's: for the window itself, its pages and their controls,
// and the pop-ups those controls open (a drop-down list, an in-place editor's list). A message box
// or any other dialog runs its own loop on the handheld, and the application never sees its keys.
bool IsMainWindowKey(const QWidget* w, const QWidget* mainWindow)
{
    while (w) {
        if (w == mainWindow)
            return true;
        if (w->isWindow() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip)
            return false;
        w = w->parentWidget();
    }
    return false;
}
} // namespace

BOOL CStavoApp::PreTranslateMessage(MSG* msg)
{
    if (!m_hAccelTable || !m_pMainWnd)
        return FALSE;
    if ((msg->message != WM_KEYDOWN && msg->message != WM_KEYUP) || msg->wParam != VK_ESCAPE)
        return FALSE;
    if (!IsMainWindowKey(msg->hwnd, m_pMainWnd))
        return FALSE;
    // Accelerators act on key-down; the key-up is swallowed all the same.
    if (msg->message == WM_KEYDOWN)
        for (const res::AcceleratorEntry& a : *m_hAccelTable)
            if (a.virtualKey == msg->wParam)
                m_pMainWnd->SendMessage(WM_COMMAND, a.command, 0);
    return TRUE;
}
