#include "CellEdit.h"

#include "ParamListCtrl.h"

#include "platform/Controls.h"
#include "platform/Sound.h"

#include <QFocusEvent>

using namespace platform;

CCellEdit::CCellEdit(QWidget* parent) : CNumEdit(parent)
{
    m_nKind = KIND_TEXT;
    hide();
}

CCellEdit::~CCellEdit() { m_bHasWindow = false; }

void CCellEdit::Create(DWORD style, const QRect& rect, CParamListCtrl* list)
{
    m_pList = list;
    if (parentWidget() != list->ClientArea())
        setParent(list->ClientArea());
    SetDlgCtrlID(this, 0);
    SetStyle(this, style | 0x40000000 /* WS_CHILD */);
    setFrame(false);
    setGeometry(rect);
    setFont(list->font());
    m_bHasWindow = true;
    ++m_nWindow;
    show();
    raise();
    setText(m_strStart);
    setSelection(0, int(m_strStart.size())); // all of it, caret at the end and in view
    setFocus(Qt::OtherFocusReason);
}

void CCellEdit::DestroyWindow()
{
    m_bHasWindow = false;
    hide();
}

BOOL CCellEdit::OnChar(UINT nChar)
{
    const bool clipboardOrBack = nChar == VK_BACK || nChar == 3 || nChar == 22 || nChar == 24;
    if (!(m_strAllowed.isEmpty() || clipboardOrBack || m_strAllowed.contains(QChar(char16_t(nChar))))) {
        MessageBeep(MB_ICONEXCLAMATION);
        return FALSE;
    }
    return CNumEdit::OnChar(nChar);
}

void CCellEdit::postToList(UINT vk, LPARAM keyData)
{
    if (m_pList)
        m_pList->PostMessage(WM_KEYDOWN, vk, keyData);
}

BOOL CCellEdit::PreTranslateMessage(MSG* msg)
{
    if (!msg || msg->message != WM_KEYDOWN || !m_bHasWindow)
        return CNumEdit::PreTranslateMessage(msg);
    const auto [start, end] = Selection();
    const bool empty = text().isEmpty();
    const bool nothingSelected = start == end;
    switch (UINT(msg->wParam)) {
    case VK_ESCAPE:
        m_bCancelled = TRUE;
        if (m_pList)
            m_pList->setFocus(Qt::OtherFocusReason);
        return TRUE;
    case VK_RETURN: postToList(VK_RIGHT, msg->lParam); return TRUE;
    case VK_UP:
    case VK_DOWN: postToList(UINT(msg->wParam), msg->lParam); return TRUE;
    case VK_LEFT:
        if (empty || (cursorPosition() == 0 && nothingSelected)) {
            postToList(VK_LEFT, msg->lParam);
            return TRUE;
        }
        return FALSE;
    case VK_RIGHT:
        if (empty || (cursorPosition() == int(text().size()) && nothingSelected)) {
            postToList(VK_RIGHT, msg->lParam);
            return TRUE;
        }
        return FALSE;
    default: return CNumEdit::PreTranslateMessage(msg);
    }
}

void CCellEdit::OnKillFocus(QWidget* pNewWnd)
{
    CNumEdit::OnKillFocus(pNewWnd);
    if (!m_bHasWindow)
        return;
    const WPARAM window = m_nWindow;
    if (m_pList)
        m_pList->SendEndLabelEdit(m_nRow, m_nCol, m_bCancelled ? m_strStart : text());
    // Closed once the current message is done; a later opening is not closed by this.
    PostMessage(stavo::WM_CLOSE, window, 0);
}

void CCellEdit::focusOutEvent(QFocusEvent* e)
{
    // A pop-up (the edit's own context menu) does not end the edit.
    if (e->reason() == Qt::PopupFocusReason) {
        QLineEdit::focusOutEvent(e);
        return;
    }
    CNumEdit::focusOutEvent(e);
}

LRESULT CCellEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == stavo::WM_CLOSE) {
        if (wParam == m_nWindow && m_bHasWindow && !hasFocus())
            DestroyWindow();
        return 0;
    }
    return CNumEdit::WindowProc(message, wParam, lParam);
}
