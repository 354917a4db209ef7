#pragma once
// The parameter list's drop-down editor: opened over a cell with the choices the list's parent gave
// for the row, the first choice that begins with the cell's text selected. Picking a choice, Return,
// Left, Right or Escape ends the edit; on losing the focus it writes its text (or, after Escape, the
// text it started with) back to the list, then closes.

#include "ListNotify.h"

#include "platform/Window.h"

#include "tessel/Array.h"

#include <QComboBox>
#include <QPointer>

class CParamListCtrl;

class CCellCombo : public QComboBox, public platform::Window {
public:
    explicit CCellCombo(QWidget* parent = nullptr);
    ~CCellCombo() override;

    int m_nRow = -1;
    int m_nCol = -1;
    platform::BOOL m_bCancelled = platform::FALSE;
    QString m_strStart;
    CArray<QString> m_choices;

    // Opens the box: rect is the cell with the drop-down below it (client coordinates of the list),
    // cellHeight the part the closed box takes.
    void Create(platform::DWORD style, const QRect& rect, int cellHeight, CParamListCtrl* list);
    bool HasWindow() const { return m_bHasWindow; }
    void DestroyWindow();
    // The box with its drop-down, as created.
    QRect GetDroppedControlRect() const { return m_rcDropped; }
    // Selects the first choice that begins with text (case ignored) from the start; -1 when none.
    int SelectString(const QString& text);
    CParamListCtrl* List() const { return m_pList; }

    void showPopup() override;
    void hidePopup() override;

    platform::BOOL PreTranslateMessage(platform::MSG* msg) override;
    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override;
    QString ClassName() const override { return QStringLiteral("ComboBox"); }

protected:
    // Escape and Return end the edit; FALSE lets the box handle the character.
    platform::BOOL OnChar(platform::UINT nChar);
    void OnCloseUp();
    void focusOutEvent(QFocusEvent* e) override;

private:
    QPointer<CParamListCtrl> m_pList;
    QRect m_rcDropped;
    bool m_bHasWindow = false;
    platform::WPARAM m_nWindow = 0;
};
