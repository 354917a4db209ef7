#include "CellCombo.h"

#include "ParamListCtrl.h"

#include "platform/Controls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QScrollBar>

using namespace platform;

namespace {
// Posted to itself when the drop-down has closed, so that the list takes the focus only after the
// pop-up has finished handing it back.
constexpr UINT kCloseUp = WM_USER + 0x7A1;
} // namespace

CCellCombo::CCellCombo(QWidget* parent) : QComboBox(parent), Window(this)
{
    setEditable(false);
    hide();
}

CCellCombo::~CCellCombo() { m_bHasWindow = false; }

void CCellCombo::Create(DWORD style, const QRect& rect, int cellHeight, CParamListCtrl* list)
{
    m_pList = list;
    if (parentWidget() != list->ClientArea())
        setParent(list->ClientArea());
    SetDlgCtrlID(this, 0);
    SetStyle(this, style);
    m_rcDropped = rect;
    setGeometry(rect.left(), rect.top(), rect.width(), cellHeight);
    setFont(list->font());
    view()->setVerticalScrollBarPolicy((style & stavo::WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    m_bHasWindow = true;
    ++m_nWindow;
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
    clear();
    for (const QString& c : m_choices)
        addItem(c);
}

void CCellCombo::DestroyWindow()
{
    m_bHasWindow = false;
    hide();
}

int CCellCombo::SelectString(const QString& text)
{
    for (int i = 0; i < count(); ++i)
        if (itemText(i).startsWith(text, Qt::CaseInsensitive)) {
            setCurrentIndex(i);
            return i;
        }
    return -1;
}

void CCellCombo::showPopup()
{
    QComboBox::showPopup();
    // The drop-down fills the rest of the rectangle the box was created with, under the box.
    QWidget* popup = view()->window();
    if (popup && popup != window()) {
        const int listHeight = m_rcDropped.height() - height();
        if (listHeight > 0)
            popup->setGeometry(QRect(mapToGlobal(QPoint(0, height())), QSize(width(), listHeight)));
    }
}

void CCellCombo::hidePopup()
{
    QComboBox::hidePopup();
    if (m_bHasWindow)
        PostMessage(kCloseUp, m_nWindow, 0);
}

void CCellCombo::OnCloseUp()
{
    if (m_pList)
        m_pList->setFocus(Qt::OtherFocusReason);
}

BOOL CCellCombo::OnChar(UINT nChar)
{
    if (nChar == VK_ESCAPE) {
        m_bCancelled = TRUE;
        if (m_pList)
            m_pList->setFocus(Qt::OtherFocusReason);
        return TRUE;
    }
    if (nChar == VK_RETURN) {
        if (m_pList)
            m_pList->setFocus(Qt::OtherFocusReason);
        return TRUE;
    }
    return FALSE;
}

BOOL CCellCombo::PreTranslateMessage(MSG* msg)
{
    if (!msg || msg->message != WM_KEYDOWN || !m_bHasWindow)
        return FALSE;
    switch (UINT(msg->wParam)) {
    case VK_ESCAPE:
        // Straight to the character handler, as a translated key would reach it.
        OnChar(VK_ESCAPE);
        return TRUE;
    case VK_RETURN:
    case VK_RIGHT:
    case VK_LEFT: {
        const QPointer<CParamListCtrl> list = m_pList;
        if (list) {
            list->setFocus(Qt::OtherFocusReason);
            list->PostMessage(WM_KEYDOWN, UINT(msg->wParam) == VK_LEFT ? VK_LEFT : VK_RIGHT, msg->lParam);
        }
        return TRUE;
    }
    default: return FALSE; // Up and Down move the selection
    }
}

void CCellCombo::focusOutEvent(QFocusEvent* e)
{
    QComboBox::focusOutEvent(e);
    // Its own drop-down taking the keys is still this edit.
    QWidget* now = QApplication::focusWidget();
    const bool ownDropDown = now && (now == view() || view()->window()->isAncestorOf(now));
    if (e->reason() == Qt::PopupFocusReason || ownDropDown || !m_bHasWindow)
        return;
    const WPARAM window = m_nWindow;
    if (m_pList)
        m_pList->SendEndLabelEdit(m_nRow, m_nCol, m_bCancelled ? m_strStart : currentText());
    PostMessage(stavo::WM_CLOSE, window, 0);
}

LRESULT CCellCombo::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == stavo::WM_CLOSE) {
        if (wParam == m_nWindow && m_bHasWindow && !hasFocus())
            DestroyWindow();
        return 0;
    }
    if (message == kCloseUp) {
        if (wParam == m_nWindow && m_bHasWindow)
            OnCloseUp();
        return 0;
    }
    return Window::WindowProc(message, wParam, lParam);
}
