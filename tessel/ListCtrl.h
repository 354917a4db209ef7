#pragma once
// The handheld's list-view control in report view, on a Qt item view: columns with a heading, a
// format and a width (reordered by dragging their headings when the style asks for it), rows of cell
// texts each with its own selected, focused and checked state, the extended styles grid lines,
// check boxes, full-row select and header drag-and-drop, and rectangles in the list's client
// coordinates (the header included, as on the handheld). The control paints every cell itself in
// the handheld's colours and offers derived classes the custom-draw stages of each row and cell.
//
// Rows are kept here, not in Qt's selection model, so that a list keeps its rows and their states
// even while it has no columns, as a list view does.

#include "ListViewTypes.h"
#include "TesselExport.h"

#include <platform/Window.h>

#include <QTreeView>

#include <vector>

class QHeaderView;

namespace tessel {
class ListModel;
}

class TESSEL_EXPORT CListCtrl : public QTreeView, public platform::Window {
public:
    explicit CListCtrl(QWidget* parent = nullptr);
    ~CListCtrl() override;

    // Window style (LVS_*) and extended style (LVS_EX_*).
    platform::DWORD GetStyle() const;
    platform::BOOL ModifyStyle(platform::DWORD dwRemove, platform::DWORD dwAdd);
    platform::DWORD GetExtendedStyle() const { return m_dwExStyle; }
    // Replaces the extended style; returns the previous one.
    platform::DWORD SetExtendedStyle(platform::DWORD dwNewStyle);
    // Changes only the bits in dwExMask (all bits when the mask is 0); returns the previous style.
    platform::DWORD SetExtendedStyle(platform::DWORD dwExMask, platform::DWORD dwExStyle);

    // Columns. Widths are kept within 0..32767 pixels.
    int InsertColumn(int nCol, const tessel::LVCOLUMN* pColumn);
    int InsertColumn(int nCol, const QString& heading, int nFormat = tessel::LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    platform::BOOL DeleteColumn(int nCol);
    platform::BOOL GetColumn(int nCol, tessel::LVCOLUMN* pColumn) const;
    int GetColumnWidth(int nCol) const;
    platform::BOOL SetColumnWidth(int nCol, int cx);
    // Column indices in display order; FALSE unless iCount is the number of columns.
    platform::BOOL GetColumnOrderArray(int* piArray, int iCount) const;
    platform::BOOL SetColumnOrderArray(int iCount, const int* piArray);
    QHeaderView* GetHeaderCtrl() const { return header(); }

    // Rows. Insertion returns the new row's index or -1; an index past the end appends.
    int GetItemCount() const { return int(m_rows.size()); }
    int InsertItem(const tessel::LVITEM* pItem);
    int InsertItem(int nItem, const QString& text);
    int InsertItem(int nItem, const QString& text, int nImage);
    int InsertItem(platform::UINT nMask, int nItem, const QString& text, platform::UINT nState,
                   platform::UINT nStateMask, int nImage, platform::LPARAM lParam);
    virtual platform::BOOL DeleteItem(int nItem);
    platform::BOOL DeleteAllItems();
    QString GetItemText(int nItem, int nSubItem) const;
    // Subitem 0 always exists; others only where there is a column.
    platform::BOOL SetItemText(int nItem, int nSubItem, const QString& text);
    platform::UINT GetItemState(int nItem, platform::UINT nMask) const;
    // nItem -1 sets the state of every row.
    platform::BOOL SetItemState(int nItem, platform::UINT nState, platform::UINT nMask);
    platform::BOOL GetCheck(int nItem) const;
    platform::BOOL SetCheck(int nItem, platform::BOOL bCheck = platform::TRUE);
    platform::BOOL SetItemData(int nItem, std::uintptr_t data);
    std::uintptr_t GetItemData(int nItem) const;
    platform::UINT GetSelectedCount() const;
    // The next row after nItem (from 0 when nItem is -1) with the LVNI_* state asked for, or -1.
    int GetNextItem(int nItem, int nFlags) const;

    // Geometry in client coordinates.
    QRect GetClientRect() const;
    platform::BOOL GetItemRect(int nItem, QRect* rect, platform::UINT nCode) const;
    // Scrolls vertically so the row shows (bPartialOK: a partly shown row is enough).
    platform::BOOL EnsureVisible(int nItem, platform::BOOL bPartialOK);
    // Scrolls by pixels horizontally and by whole rows (the pixel count rounded down) vertically.
    platform::BOOL Scroll(QSize size);
    // Widget coordinates of the client origin.
    QPoint ClientOrigin() const;
    // The row at a point in client coordinates, or -1.
    int HitTest(QPoint pt) const;
    // The left edge of every row (0, or less while scrolled to the right).
    int RowLeft() const;
    int RowHeight() const;

    QString ClassName() const override { return QStringLiteral("SysListView32"); }
    // Takes over the style a dialog template gave the control.
    void PreSubclassWindow() override;

protected:
    // Custom draw, called for the stages a previous answer asked for: CDDS_PREPAINT once per paint
    // (before its first row);
    // CDDS_ITEMPREPAINT per row after CDRF_NOTIFYITEMDRAW; CDDS_ITEMPREPAINT | CDDS_SUBITEM per cell
    // after CDRF_NOTIFYSUBITEMDRAW (CDRF_SKIPDEFAULT leaves the cell unpainted); and the matching
    // post-paint stages after CDRF_NOTIFYPOSTPAINT, once the row's cells and focus frame are drawn.
    // The base answers CDRF_DODEFAULT.
    virtual platform::LRESULT OnCustomDraw(tessel::NMLVCUSTOMDRAW* pDraw);
    // Scroll-bar actions taken by the user.
    virtual void OnHScroll(int nAction);
    virtual void OnVScroll(int nAction);
    // A tap on a column heading.
    virtual void OnColumnClick(int nColumn);

    // The rectangle of a row's cell for a column, in client coordinates.
    QRect CellRect(int nItem, int nColumn) const;
    // The width of the check box left of column 0's text while the check-box style is on.
    int StateImageWidth() const;
    // Repaints one row.
    void InvalidateRow(int nItem);
    // Inner margin of cell texts.
    int TextMargin() const;

    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

    // Sets the header view (the list then owns it).
    void ReplaceHeader(QHeaderView* pHeader);

private:
    struct Row {
        std::vector<QString> texts; // by column index; entry 0 is the item's label
        bool selected = false;
        bool checked = false;
        int image = 0;
        std::uintptr_t data = 0;
    };

    void applyStyle();
    void paintCell(QPainter* p, int row, int column, const QRect& cell) const;
    void paintCheckBox(QPainter* p, const QRect& box, bool checked) const;
    void paintGridBelowRows(QPainter* p) const;
    void setFocusRow(int nItem);
    void selectOnly(int nItem);
    void moveFocusTo(int nItem);
    bool validRow(int nItem) const { return nItem >= 0 && nItem < int(m_rows.size()); }
    QPoint clientToViewport() const; // add to client coordinates to get viewport coordinates
    int firstVisibleRow() const;
    int fullyVisibleRows() const;

    tessel::ListModel* m_model;
    std::vector<Row> m_rows;
    int m_focusRow = -1;
    platform::DWORD m_dwExStyle = 0;
    mutable bool m_prepaintPending = false;
    mutable platform::LRESULT m_prepaintAnswer = 0;
    friend class tessel::ListModel;
};
