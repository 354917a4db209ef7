#pragma once
// The parameter list's one-line text editor: opened over a cell, it takes only the column's allowed
// characters (a refused character beeps), hands the arrow keys and Return on to the list when the
// caret is at an end, and when it loses the focus writes its text (or, after Escape, the text it
// started with) back to the list, then closes.

#include "ListNotify.h"

#include "tessel/NumEdit.h"

#include <QPointer>

class CParamListCtrl;

class CCellEdit : public CNumEdit {
public:
    explicit CCellEdit(QWidget* parent = nullptr);
    ~CCellEdit() override;

    int m_nRow = -1;
    int m_nCol = -1;
    platform::BOOL m_bCancelled = platform::FALSE;
    QString m_strAllowed;
    QString m_strStart;

    // Opens the editor window over rect (client coordinates of the list) with the starting text.
    void Create(platform::DWORD style, const QRect& rect, CParamListCtrl* list);
    // The editor's window is open (between Create and the close that follows the end of the edit).
    bool HasWindow() const { return m_bHasWindow; }
    void DestroyWindow();
    CParamListCtrl* List() const { return m_pList; }

    platform::BOOL PreTranslateMessage(platform::MSG* msg) override;
    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override;
    void OnKillFocus(QWidget* pNewWnd) override;

protected:
    platform::BOOL OnChar(platform::UINT nChar) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void postToList(platform::UINT vk, platform::LPARAM keyData);

    QPointer<CParamListCtrl> m_pList;
    bool m_bHasWindow = false;
    platform::WPARAM m_nWindow = 0; // which opening a posted close belongs to
};
