#pragma once
// A report-view list whose cells are edited in place. It draws every cell itself (read-only cells
// grey, editable cells white, the selected row blue), opens an editor over a cell when the user taps
// an editable cell of the focused row or moves to it with the keyboard, and tells its parent when an
// edit ends. Rows marked as choice rows are edited with a drop-down whose choices the parent supplies
// (WM_LIST_GETCHOICES); other cells with a one-line text box that takes only the column's allowed
// characters. The list knows nothing of what its cells mean.

#include "ListNotify.h"

#include "platform/Window.h"

#include "tessel/Array.h"

#include <QPointer>
#include <QString>
#include <QTreeWidget>

#include <array>
#include <vector>

class CCellEdit;
class CCellCombo;

class CParamListCtrl : public QTreeWidget, public platform::Window {
public:
    static constexpr int kRowHeight = 30;
    static constexpr int kFlagColumns = 32;   // columns with a read-only flag per row
    static constexpr int kCharColumns = 100;  // columns with an allowed-character set
    static constexpr int kDefaultReadOnlyColumns = 8;
    static constexpr platform::DWORD kEditStyle = stavo::ES_AUTOVSCROLL | stavo::ES_AUTOHSCROLL | stavo::ES_NOHIDESEL;
    static constexpr platform::DWORD kComboStyle = 0x508008C3;

    explicit CParamListCtrl(QWidget* parent = nullptr);
    ~CParamListCtrl() override;

    // Set-up.
    int InsertColumn(int nCol, const QString& heading, int nFormat = stavo::LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    int InsertRow(int nRow, const QString& text);
    void SetCellReadOnly(int nRow, int nCol, int nFlag);
    platform::BOOL IsCellReadOnly(int nRow, int nCol) const;
    void SetChoiceRow(int nRow, platform::BOOL bOn);
    bool IsChoiceRow(int nRow) const;
    void SetAllowedChars(const QString& chars, int nCol);
    QString AllowedChars(int nCol) const;
    void SetChoiceScrollBar(platform::BOOL bOn);
    void RemeasureRows();

    // The list view's own operations, as the page and the editors use them.
    int GetItemCount() const { return topLevelItemCount(); }
    int GetColumnCount() const { return m_nColumnCount; }
    QString GetItemText(int nRow, int nCol) const;
    platform::BOOL SetItemText(int nRow, int nCol, const QString& text);
    int GetColumnWidth(int nCol) const;
    platform::BOOL SetColumnWidth(int nCol, int cx);
    platform::UINT GetItemState(int nRow, platform::UINT mask) const;
    platform::BOOL SetItemState(int nRow, platform::UINT state, platform::UINT mask);
    int GetNextItem(int nStart, platform::UINT flags) const;
    platform::BOOL EnsureVisible(int nRow, platform::BOOL bPartialOK);
    platform::DWORD GetExtendedStyle() const { return m_dwExStyle; }
    platform::DWORD SetExtendedStyle(platform::DWORD dwExStyle);
    int CurrentColumn() const { return m_nCurColumn; }
    platform::DWORD ChoiceBoxStyle() const { return m_dwComboStyle; }

    // Geometry in the list's client area (below the heading). Row bounds: all columns side by side.
    platform::BOOL GetItemRect(int nRow, QRect* rect, platform::UINT code = stavo::LVIR_BOUNDS) const;
    QRect GetCellRect(int nRow, int nCol, bool bOuter) const;
    // Row and column under a client point; false when the point is on no cell.
    bool HitTestCell(QPoint point, int* pRow, int* pCol) const;
    QWidget* ClientArea() const { return viewport(); }

    void BeginCellEdit(int nRow, int nCol);

    // The editors the whole program shares (null until first used).
    static CCellEdit* CellEdit();
    static CCellCombo* CellCombo();

    // What an editor sends the list when its edit of the cell ends: the end-of-edit record with the
    // editor's text (WM_NOTIFY, LVN_ENDLABELEDIT).
    void SendEndLabelEdit(int nRow, int nCol, const QString& text);

    // Reflected notifications.
    platform::LRESULT OnBeginLabelEdit(const stavo::NMLVDISPINFO* info);
    platform::LRESULT OnEndLabelEdit(const stavo::NMLVDISPINFO* info);

    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override;
    QString ClassName() const override { return QStringLiteral("SysListView32"); }

protected:
    void OnKeyDown(platform::UINT nChar);
    void OnLButtonDown(QMouseEvent* e);

    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    using FlagRecord = std::array<int, kFlagColumns>;
    void takeFocusForScroll();
    void notifyParent(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam);
    bool cellExists(int nRow, int nCol) const;

    int m_nColumnCount = 0;
    int m_nCurColumn = 0;
    std::vector<FlagRecord> m_flags;
    std::vector<int> m_choiceRows;
    std::array<QString, kCharColumns> m_allowed;
    platform::DWORD m_dwEditStyle = kEditStyle;
    platform::DWORD m_dwComboStyle = kComboStyle;
    platform::DWORD m_dwExStyle = 0;
};
