#pragma once
// A report-style list for the handheld: full-row selection, and a spreadsheet-like cell cursor that
// the user moves between columns with Left and Right (the current cell of the focused row is drawn
// pressed in) and opens for editing with F2, which the parent hears as the list's begin-label-edit
// notification. It adds row operations (select, check, delete by state, swap, move), typed cell
// writers, headings from one string, and placement of an in-place editor over a cell.

#include "ListCtrl.h"
#include "TesselExport.h"

#include <QHeaderView>

// The grid's header: the list's column headings, with the sort state of a sorting grid. Nothing in
// the library turns sort mode on, so every grid leaves its rows in the order they were put in.
class TESSEL_EXPORT CGridHeaderCtrl : public QHeaderView {
public:
    explicit CGridHeaderCtrl(QWidget* parent = nullptr);
    ~CGridHeaderCtrl() override;

    int GetItemCount() const { return count(); }
    // The column index shown at a display position, or -1.
    int OrderToIndex(int nOrder) const;

    platform::BOOL m_bSortMode = platform::FALSE;
    int m_nSortColumn = -1;
    platform::BOOL m_bSortAscending = platform::TRUE;
};

class TESSEL_EXPORT CGridListCtrl : public CListCtrl {
public:
    explicit CGridListCtrl(QWidget* parent = nullptr);
    ~CGridListCtrl() override;

    // The current column, as a display position; -1 (none) after construction. A value outside the
    // columns counts as none.
    int m_nCurCol;

    // Report view with full-row select and header drag-and-drop; the argument is not used.
    platform::BOOL PrepareControl(platform::WORD wStyle);

    // Columns.
    using CListCtrl::InsertColumn;
    // Appends columns from "heading,width;heading,format,width;..." (format 1 centred, 2 right, else
    // left; width at least 1). An entry without "," ends it with TRUE, a refused column with FALSE.
    platform::BOOL SetHeadings(platform::UINT nStringID);
    platform::BOOL SetHeadings(const QString& strHeadings);
    platform::BOOL DeleteColumn(int nCol);
    platform::BOOL DeleteAllColumns();
    int GetColumnCount() const;
    // The display position of a column index, or -1.
    int IndexToOrder(int nIndex) const;
    // Scrolls horizontally so the column (an index) is in view; nothing for a column that is not there.
    void MakeColumnVisible(int nColumn);
    CGridHeaderCtrl* GetGridHeader() const { return m_pHeader; }

    // Rows.
    using CListCtrl::DeleteItem;
    using CListCtrl::InsertItem;
    // Deletes the row; with bSelectNext selects the row now at nItem (clamped into the rows).
    platform::BOOL DeleteItem(int nItem, platform::BOOL bSelectNext);
    // Each deletes matching rows one by one and returns how many went; a refused deletion ends it.
    int DeleteAllItems();
    int DeleteAllSelectedItems();
    int DeleteAllUnselectedItems();
    int DeleteAllCheckedItems();
    int DeleteAllUncheckedItems();
    // Removes every column, then every row.
    void vClearList();

    // Selection. SelectItem with bClamp brings an index outside the rows into them first.
    platform::BOOL SelectItem(int nItem, platform::BOOL bClamp = platform::FALSE);
    platform::BOOL UnSelectItem(int nItem);
    platform::BOOL SelectAllItems();
    platform::BOOL UnSelectAllItems();
    platform::BOOL InvertSelect();
    platform::BOOL IsItemSelected(int nItem) const;
    // The first matching row after nStart (from 0 when nStart is negative), or -1.
    int GetFirstSelectedItem(int nStart = -1) const;
    int GetFirstUnselectedItem(int nStart = -1) const;
    int GetUnselectedItemCount() const;

    // Check boxes.
    platform::BOOL SetCheckboxes(platform::BOOL bEnable = platform::TRUE);
    platform::BOOL CheckItem(int nItem);
    platform::BOOL UnCheckItem(int nItem);
    platform::BOOL IsItemChecked(int nItem) const;
    platform::BOOL CheckAllItems();
    platform::BOOL UnCheckAllItems();
    platform::BOOL InvertCheck();
    int GetCheckedItemCount() const;
    int GetFirstCheckedItem(int nStart = -1) const;
    int GetFirstUncheckedItem(int nStart = -1) const;
    int GetUncheckedItemCount() const;

    platform::BOOL SetFullRowSelect(platform::BOOL bEnable = platform::TRUE);
    platform::BOOL SetGridLines(platform::BOOL bEnable = platform::TRUE);

    // Exchanges the texts of every column, the check states and the selection states of two rows.
    platform::BOOL SwapItems(int nItem1, int nItem2);
    // Moves a row by swaps with its neighbour (a negative count moves the other way); FALSE at the
    // first swap that fails.
    platform::BOOL MoveUp(int nItem, int nCount = 1);
    platform::BOOL MoveDown(int nItem, int nCount = 1);
    platform::BOOL MoveToTop(int nItem);
    platform::BOOL MoveToBottom(int nItem);

    // Typed cell writers: a char as that one character, the integer types in decimal, doubles and
    // floats with nPrecision decimals (kept within 0..30).
    using CListCtrl::SetItemText;
    platform::BOOL SetItemText(int nItem, int nSubItem, char value);
    platform::BOOL SetItemText(int nItem, int nSubItem, unsigned char value);
    platform::BOOL SetItemText(int nItem, int nSubItem, short value);
    platform::BOOL SetItemText(int nItem, int nSubItem, unsigned short value);
    platform::BOOL SetItemText(int nItem, int nSubItem, int value);
    platform::BOOL SetItemText(int nItem, int nSubItem, unsigned int value);
    platform::BOOL SetItemText(int nItem, int nSubItem, long value);
    platform::BOOL SetItemText(int nItem, int nSubItem, unsigned long value);
    platform::BOOL SetItemText(int nItem, int nSubItem, double value, int nPrecision);
    platform::BOOL SetItemText(int nItem, int nSubItem, float value, int nPrecision);
    static constexpr int kMaxPrecision = 30;

    // Sort mode is never on: these keep the rows as they are. The row value is stored as given.
    platform::BOOL SetItemData(int nItem, platform::DWORD dwData);
    platform::DWORD GetItemData(int nItem) const;
    platform::BOOL Sort(int nColumn, platform::BOOL bAscending);
    platform::BOOL Sort();

    // Places an editor window over the cell of row nItem at display position nSubItem; FALSE when the
    // row cannot be shown, the position is not a column, or the column is 4 pixels wide or less.
    platform::BOOL PositionControl(QWidget* pWnd, int nItem, int nSubItem);

    platform::BOOL PreTranslateMessage(platform::MSG* pMsg) override;
    void PreSubclassWindow() override;

    // The column index of the current column, or -1 when there is none.
    int CurrentColumnIndex() const;

protected:
    platform::LRESULT OnCustomDraw(tessel::NMLVCUSTOMDRAW* pDraw) override;
    void OnHScroll(int nAction) override;
    void OnVScroll(int nAction) override;
    void OnColumnClick(int nColumn) override;

private:
    void drawCellCursor(tessel::NMLVCUSTOMDRAW* pDraw);
    void repaintFocusedRow();
    void forgetMissingColumn();
    platform::BOOL sendBeginLabelEdit();

    CGridHeaderCtrl* m_pHeader;
};
