#include "MyDialog.h"

#include "TabCtrl.h"

#include <platform/Controls.h>
#include <platform/Screen.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QRadioButton>
#include <QSaveFile>
#include <QSignalBlocker>

using namespace platform;

namespace {

// The framework's dialog class record, the base of CMyDialog's; it is not creatable.
const CRuntimeClass classCDialog = {"CDialog", int(sizeof(Dialog)), 0xFFFF, nullptr, &CObject::classCObject};

// The form view of the window a main dialog belongs to: a main window's central widget, else the
// window itself.
QWidget* findView(QWidget* parent)
{
    QWidget* top = parent ? parent->window() : QApplication::activeWindow();
    if (auto* mw = qobject_cast<QMainWindow*>(top); mw && mw->centralWidget())
        return mw->centralWidget();
    return top;
}

// The class name as a 10-character buffer would hold it: at most 9 characters are compared.
bool classIs(const QString& name, const char* what)
{
    return name.left(9).compare(QLatin1String(what), Qt::CaseInsensitive) == 0;
}

bool isRadioButton(const QWidget* w)
{
    const DWORD type = GetStyle(w) & 0xF;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON || qobject_cast<const QRadioButton*>(w);
}

// Selection start and end of an edit box; the caret position for both when nothing is selected.
std::pair<int, int> editSelection(const QLineEdit* e)
{
    if (e->hasSelectedText()) {
        const int start = e->selectionStart();
        return {start, start + int(e->selectedText().size())};
    }
    return {e->cursorPosition(), e->cursorPosition()};
}

} // namespace

QWidget* CMyDialog::m_pView = nullptr;

const CRuntimeClass CMyDialog::classCMyDialog = {
    "CMyDialog", int(sizeof(CMyDialog)), 0xFFFF, &CMyDialog::CreateObject, &classCDialog};

CObject* CMyDialog::CreateObject() { return new CMyDialog; }

const CRuntimeClass* CMyDialog::GetRuntimeClass() const { return &classCMyDialog; }

CMyDialog::CMyDialog() : Dialog(0, nullptr), m_bEnterCommand(TRUE) {}

CMyDialog::CMyDialog(UINT nIDTemplate, QWidget* pParent, BOOL bMain)
    : Dialog(nIDTemplate, pParent), m_bEnterCommand(TRUE)
{
    if (bMain) {
        m_pView = findView(pParent);
        // A view that goes away must not leave a dangling pointer behind for the key handling.
        if (m_pView)
            QObject::connect(m_pView, &QObject::destroyed, [](QObject* gone) {
                if (m_pView == gone)
                    m_pView = nullptr;
            });
    }
}

CMyDialog::~CMyDialog() = default;

void CMyDialog::vCommNovatel() {}
void CMyDialog::MoveControls() {}
void CMyDialog::UpdateMainForm() {}
LRESULT CMyDialog::OnCommRemote(WPARAM, LPARAM) { return 0; }
LRESULT CMyDialog::OnCommunication(WPARAM, LPARAM) { return 0; }
void CMyDialog::Serialize(CArchive&) {}

int CMyDialog::vShowWindow(int nCmdShow)
{
    const int wasVisible = isHidden() ? 0 : 1;
    setVisible(nCmdShow != SW_HIDE);
    return wasVisible;
}

int CMyDialog::ScreenClass(int width, int height)
{
    if (height >= width)
        return 0;
    return width == 640 ? 2 : 1;
}

void CMyDialog::ActiveDlg()
{
    const QRect place = ScreenClass(Screen::width(), Screen::height()) == 2 ? QRect(1, 1, 520, 400)
                                                                            : QRect(1, 26, 238, 200);
    setGeometry(place);
    raise();
    show();
    UpdateMainForm();
    vShowWindow(SW_SHOWNORMAL);
}

BOOL CMyDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
    PostMessage(WM_MY_INITIAL_UPDATE, 0, 0);
    return TRUE;
}

LRESULT CMyDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETTINGCHANGE: return 0; // deliberately kept from the default handling
    case WM_MY_INITIAL_UPDATE: MoveControls(); return 0;
    case WM_LBUTTONDOWN:
    default: return Dialog::WindowProc(message, wParam, lParam);
    }
}

void CMyDialog::SerializeSettings(const QString& strFile, int nMode)
{
    if (nMode == 2) {
        QFile file(strFile);
        if (!file.open(QIODevice::ReadOnly))
            return;
        CArchive ar(&file, CArchive::load, 4096);
        Serialize(ar);
        ar.Close();
        return;
    }
    // Written beside the old file and renamed over it once complete and on disk, so that a crash
    // or a full disk leaves the old settings rather than an empty or cut file. Where no file can
    // be made beside it (a folder we may not write to), the file is written in place as before.
    QSaveFile file(strFile);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return;
    CArchive ar(&file, CArchive::store, 4096);
    Serialize(ar);
    ar.Close();
    if (ar.IsFailed())
        file.cancelWriting();
    file.commit();
}

BOOL CMyDialog::PreTranslateMessage(MSG* pMsg)
{
    if (!m_pView || !pMsg || pMsg->message != WM_KEYDOWN)
        return Dialog::PreTranslateMessage(pMsg);
    return translateKey(pMsg);
}

BOOL CMyDialog::viewCommand(int controlId)
{
    // A view without the control still gets the command, with no control attached.
    QWidget* control = FindControl(m_pView, controlId);
    if (Window* view = Window::FromWidget(m_pView))
        view->SendMessage(WM_COMMAND, WPARAM(controlId), LPARAM(control));
    return TRUE;
}

void CMyDialog::nextControl(bool previous) { PostMessage(WM_NEXTDLGCTL, previous ? 1 : 0, 0); }

BOOL CMyDialog::translateKey(MSG* pMsg)
{
    const UINT key = UINT(pMsg->wParam);
    if (key == VK_RETURN && m_bEnterCommand)
        return viewCommand(IDC_VIEW_ENTER);
    if (key == VK_ESCAPE)
        return viewCommand(IDC_VIEW_ESCAPE);
    if (key != VK_UP && key != VK_DOWN && key != VK_LEFT && key != VK_RIGHT)
        return Dialog::PreTranslateMessage(pMsg);

    QWidget* focus = pMsg->hwnd ? pMsg->hwnd : QApplication::focusWidget();
    const QString cls = GetClassName(focus);
    const bool button = classIs(cls, "button");
    const bool radio = button && isRadioButton(focus);
    auto* combo = classIs(cls, "combobox") ? qobject_cast<QComboBox*>(focus) : nullptr;
    auto* edit = classIs(cls, "edit") ? qobject_cast<QLineEdit*>(focus) : nullptr;
    auto* tabs = classIs(cls, "systabcon") ? dynamic_cast<CTabCtrl*>(Window::FromWidget(focus)) : nullptr;
    const bool back = key == VK_UP || key == VK_LEFT;

    if (radio)
        return Dialog::PreTranslateMessage(pMsg);

    if (key == VK_UP || key == VK_DOWN) {
        if (combo) {
            const int count = combo->count();
            const int sel = combo->currentIndex();
            const int from = key == VK_UP ? 0 : count - 1;
            if (count < 1 || sel != from)
                return Dialog::PreTranslateMessage(pMsg);
            const QSignalBlocker quiet(combo); // set directly, no selection-change notification
            combo->setCurrentIndex(key == VK_UP ? count - 1 : 0);
            return TRUE;
        }
        nextControl(back);
        return TRUE;
    }

    // Left and Right.
    if (edit) {
        const auto [start, end] = editSelection(edit);
        const int at = key == VK_LEFT ? 0 : int(edit->text().size());
        if (start == at && end == at) {
            nextControl(back);
            return TRUE;
        }
        return Dialog::PreTranslateMessage(pMsg);
    }
    if (tabs) {
        const int count = tabs->GetItemCount();
        if (count > 0) {
            int i = tabs->GetCurFocus() + (back ? -1 : 1);
            if (i < 0)
                i = count - 1;
            if (i >= count)
                i = 0;
            tabs->SetCurFocus(i);
            tabs->PostMessage(WM_TAB_ARROW_FOCUS, WPARAM(i), 0);
        }
        return TRUE;
    }
    nextControl(back);
    return TRUE;
}
