#include "GridListCtrl.h"

#include "SysColors.h"

#include <platform/Controls.h>
#include <platform/StringTable.h>

#include <QApplication>
#include <QPainter>

#include <algorithm>
#include <climits>

using namespace platform;
using namespace tessel;

namespace {

QColor sysColor(int index)
{
    const COLORREF c = GetSysColor(index);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// A frame one pixel wide: top and left lines in one colour, bottom and right in the other, the
// right and bottom lines covering the corners, as the handheld draws 3-D rectangles.
void Draw3dRect(QPainter* p, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p->fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    p->fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    p->fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    p->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
}

// Leading blanks, a sign and decimal digits, as the C library reads a number; saturates instead of
// overflowing, 0 when there is no number.
int ParseDecimal(const QString& text)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    long long v = 0;
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        v = std::min<long long>(v * 10 + (text[i].unicode() - '0'), 1LL << 32);
    v = negative ? -v : v;
    return int(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

int HeadingFormat(int number)
{
    switch (number) {
    case 1: return LVCFMT_CENTER;
    case 2: return LVCFMT_RIGHT;
    default: return LVCFMT_LEFT;
    }
}

} // namespace

// ---- Header ----

CGridHeaderCtrl::CGridHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

CGridHeaderCtrl::~CGridHeaderCtrl() = default;

int CGridHeaderCtrl::OrderToIndex(int nOrder) const
{
    return nOrder >= 0 && nOrder < count() ? logicalIndex(nOrder) : -1;
}

// ---- Construction and set-up ----

CGridListCtrl::CGridListCtrl(QWidget* parent) : CListCtrl(parent), m_nCurCol(-1), m_pHeader(new CGridHeaderCtrl(this))
{
    ReplaceHeader(m_pHeader);
}

CGridListCtrl::~CGridListCtrl() = default;

void CGridListCtrl::PreSubclassWindow()
{
    ModifyStyle(0, LVS_REPORT);
    CListCtrl::PreSubclassWindow();
    SetFullRowSelect(TRUE);
}

BOOL CGridListCtrl::PrepareControl(WORD)
{
    ModifyStyle(LVS_TYPEMASK | LVS_EDITLABELS, LVS_REPORT);
    SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    return TRUE;
}

// ---- Columns ----

BOOL CGridListCtrl::SetHeadings(UINT nStringID) { return SetHeadings(LoadString(nStringID)); }

BOOL CGridListCtrl::SetHeadings(const QString& strHeadings)
{
    for (const QString& entry : strHeadings.split(QLatin1Char(';'))) {
        const qsizetype comma = entry.indexOf(QLatin1Char(','));
        if (comma < 0)
            return TRUE;
        const QString heading = entry.left(comma);
        QString widthText = entry.mid(comma + 1);
        int format = LVCFMT_LEFT;
        if (const qsizetype second = widthText.indexOf(QLatin1Char(',')); second >= 0) {
            format = HeadingFormat(ParseDecimal(widthText.left(second)));
            widthText = widthText.mid(second + 1);
        }
        const int width = std::max(1, ParseDecimal(widthText));
        if (InsertColumn(GetColumnCount(), heading, format, width) == -1)
            return FALSE;
    }
    return TRUE;
}

int CGridListCtrl::GetColumnCount() const { return m_pHeader->GetItemCount(); }

void CGridListCtrl::forgetMissingColumn()
{
    if (m_nCurCol >= GetColumnCount())
        m_nCurCol = -1;
}

BOOL CGridListCtrl::DeleteColumn(int nCol)
{
    const BOOL ok = CListCtrl::DeleteColumn(nCol);
    forgetMissingColumn();
    return ok;
}

BOOL CGridListCtrl::DeleteAllColumns()
{
    BOOL ok = TRUE;
    while (ok && GetColumnCount() > 0)
        ok = CListCtrl::DeleteColumn(GetColumnCount() - 1);
    forgetMissingColumn();
    return ok;
}

int CGridListCtrl::CurrentColumnIndex() const
{
    if (m_nCurCol < 0 || m_nCurCol >= GetColumnCount())
        return -1;
    return m_pHeader->OrderToIndex(m_nCurCol);
}

int CGridListCtrl::IndexToOrder(int nIndex) const
{
    const int count = GetColumnCount();
    std::vector<int> order(std::size_t(std::max(count, 0)));
    if (count <= 0 || !GetColumnOrderArray(order.data(), count))
        return -1;
    for (int i = 0; i < count; ++i)
        if (order[std::size_t(i)] == nIndex)
            return i;
    return -1;
}

void CGridListCtrl::MakeColumnVisible(int nColumn)
{
    const int count = GetColumnCount();
    if (nColumn < 0 || nColumn >= count)
        return;
    std::vector<int> order(static_cast<std::size_t>(count));
    GetColumnOrderArray(order.data(), count);
    int offset = 0;
    for (int i = 0; i < count && order[std::size_t(i)] != nColumn; ++i)
        offset += GetColumnWidth(order[std::size_t(i)]);
    const int width = GetColumnWidth(nColumn);
    const int left = offset + RowLeft();
    if (left < 0 || left + width > GetClientRect().width())
        Scroll(QSize(left, 0));
}

// ---- Rows ----

BOOL CGridListCtrl::DeleteItem(int nItem, BOOL bSelectNext)
{
    if (!DeleteItem(nItem))
        return FALSE;
    if (bSelectNext && GetItemCount() > 0)
        SelectItem(std::clamp(nItem, 0, GetItemCount() - 1));
    return TRUE;
}

int CGridListCtrl::DeleteAllItems()
{
    int deleted = 0;
    while (GetItemCount() > 0 && DeleteItem(0))
        ++deleted;
    return deleted;
}

namespace {
// Deletes the first row that matches until none does or the list refuses one (which would
// otherwise find the same row again for ever).
template <class Find> int DeleteMatching(CListCtrl& list, Find find)
{
    int deleted = 0;
    for (int row = find(); row != -1; row = find()) {
        if (!list.DeleteItem(row))
            break;
        ++deleted;
    }
    return deleted;
}
} // namespace

int CGridListCtrl::DeleteAllSelectedItems()
{
    return DeleteMatching(*this, [this] { return GetFirstSelectedItem(-1); });
}

int CGridListCtrl::DeleteAllUnselectedItems()
{
    return DeleteMatching(*this, [this] { return GetFirstUnselectedItem(-1); });
}

int CGridListCtrl::DeleteAllCheckedItems()
{
    return DeleteMatching(*this, [this] { return GetFirstCheckedItem(-1); });
}

int CGridListCtrl::DeleteAllUncheckedItems()
{
    return DeleteMatching(*this, [this] { return GetFirstUncheckedItem(-1); });
}

void CGridListCtrl::vClearList()
{
    DeleteAllColumns();
    DeleteAllItems();
}

// ---- Selection ----

namespace {
// op on every row (as many as there are at each step); TRUE only when it succeeded on each.
template <class Op> BOOL ForEveryItem(const CGridListCtrl& list, Op op)
{
    BOOL ok = TRUE;
    for (int i = 0; i < list.GetItemCount(); ++i)
        ok &= op(i);
    return ok;
}

template <class Match> int FirstMatch(int count, int nStart, Match match)
{
    if (nStart >= count)
        return -1;
    for (int i = nStart < 0 ? 0 : nStart + 1; i < count; ++i)
        if (match(i))
            return i;
    return -1;
}
} // namespace

BOOL CGridListCtrl::SelectItem(int nItem, BOOL bClamp)
{
    const int count = GetItemCount();
    if (nItem < 0 || nItem >= count) {
        if (!bClamp || count == 0)
            return FALSE;
        nItem = std::clamp(nItem, 0, count - 1);
    }
    return SetItemState(nItem, LVIS_SELECTED, LVIS_SELECTED);
}

BOOL CGridListCtrl::UnSelectItem(int nItem) { return SetItemState(nItem, 0, LVIS_SELECTED); }

BOOL CGridListCtrl::SelectAllItems() { return ForEveryItem(*this, [this](int i) { return SelectItem(i); }); }

BOOL CGridListCtrl::UnSelectAllItems() { return ForEveryItem(*this, [this](int i) { return UnSelectItem(i); }); }

BOOL CGridListCtrl::InvertSelect()
{
    return ForEveryItem(*this, [this](int i) { return IsItemSelected(i) ? UnSelectItem(i) : SelectItem(i); });
}

BOOL CGridListCtrl::IsItemSelected(int nItem) const { return GetItemState(nItem, LVIS_SELECTED) != 0; }

int CGridListCtrl::GetFirstSelectedItem(int nStart) const
{
    return FirstMatch(GetItemCount(), nStart, [this](int i) { return IsItemSelected(i); });
}

int CGridListCtrl::GetFirstUnselectedItem(int nStart) const
{
    return FirstMatch(GetItemCount(), nStart, [this](int i) { return !IsItemSelected(i); });
}

int CGridListCtrl::GetUnselectedItemCount() const { return GetItemCount() - int(GetSelectedCount()); }

// ---- Check boxes ----

BOOL CGridListCtrl::SetCheckboxes(BOOL bEnable)
{
    SetExtendedStyle(LVS_EX_CHECKBOXES, bEnable ? LVS_EX_CHECKBOXES : 0);
    return TRUE;
}

BOOL CGridListCtrl::CheckItem(int nItem) { return SetCheck(nItem, TRUE); }
BOOL CGridListCtrl::UnCheckItem(int nItem) { return SetCheck(nItem, FALSE); }
BOOL CGridListCtrl::IsItemChecked(int nItem) const { return GetCheck(nItem); }

BOOL CGridListCtrl::CheckAllItems() { return ForEveryItem(*this, [this](int i) { return CheckItem(i); }); }

BOOL CGridListCtrl::UnCheckAllItems() { return ForEveryItem(*this, [this](int i) { return UnCheckItem(i); }); }

BOOL CGridListCtrl::InvertCheck()
{
    return ForEveryItem(*this, [this](int i) { return IsItemChecked(i) ? UnCheckItem(i) : CheckItem(i); });
}

int CGridListCtrl::GetCheckedItemCount() const
{
    int n = 0;
    for (int i = 0; i < GetItemCount(); ++i)
        n += IsItemChecked(i) ? 1 : 0;
    return n;
}

int CGridListCtrl::GetFirstCheckedItem(int nStart) const
{
    return FirstMatch(GetItemCount(), nStart, [this](int i) { return IsItemChecked(i) != FALSE; });
}

int CGridListCtrl::GetFirstUncheckedItem(int nStart) const
{
    return FirstMatch(GetItemCount(), nStart, [this](int i) { return !IsItemChecked(i); });
}

int CGridListCtrl::GetUncheckedItemCount() const { return GetItemCount() - GetCheckedItemCount(); }

BOOL CGridListCtrl::SetFullRowSelect(BOOL bEnable)
{
    SetExtendedStyle(LVS_EX_FULLROWSELECT, bEnable ? LVS_EX_FULLROWSELECT : 0);
    return TRUE;
}

BOOL CGridListCtrl::SetGridLines(BOOL bEnable)
{
    SetExtendedStyle(LVS_EX_GRIDLINES, bEnable ? LVS_EX_GRIDLINES : 0);
    return TRUE;
}

// ---- Swaps and moves ----

BOOL CGridListCtrl::SwapItems(int nItem1, int nItem2)
{
    const int count = GetItemCount();
    if (nItem1 < 0 || nItem1 >= count || nItem2 < 0 || nItem2 >= count)
        return FALSE;
    if (nItem1 == nItem2)
        return TRUE;
    const int columns = std::max(1, GetColumnCount());
    for (int c = 0; c < columns; ++c) {
        const QString t1 = GetItemText(nItem1, c);
        const QString t2 = GetItemText(nItem2, c);
        if (t1 != t2) {
            CListCtrl::SetItemText(nItem1, c, t2);
            CListCtrl::SetItemText(nItem2, c, t1);
        }
    }
    const BOOL check1 = GetCheck(nItem1), check2 = GetCheck(nItem2);
    SetCheck(nItem1, check2);
    SetCheck(nItem2, check1);
    const UINT sel1 = GetItemState(nItem1, LVIS_SELECTED), sel2 = GetItemState(nItem2, LVIS_SELECTED);
    // Clear first, so a single-selection list never drops the selection being moved.
    SetItemState(nItem1, 0, LVIS_SELECTED);
    SetItemState(nItem2, 0, LVIS_SELECTED);
    SetItemState(nItem1, sel2, LVIS_SELECTED);
    SetItemState(nItem2, sel1, LVIS_SELECTED);
    return TRUE;
}

BOOL CGridListCtrl::MoveUp(int nItem, int nCount)
{
    if (nCount < 0)
        return MoveDown(nItem, nCount == INT_MIN ? INT_MAX : -nCount);
    for (long long i = 0; i < nCount; ++i) {
        const long long from = nItem - i;
        if (from - 1 < 0 || from >= GetItemCount() || !SwapItems(int(from), int(from - 1)))
            return FALSE;
    }
    return TRUE;
}

BOOL CGridListCtrl::MoveDown(int nItem, int nCount)
{
    if (nCount < 0)
        return MoveUp(nItem, nCount == INT_MIN ? INT_MAX : -nCount);
    for (long long i = 0; i < nCount; ++i) {
        const long long from = nItem + i;
        if (from < 0 || from + 1 >= GetItemCount() || !SwapItems(int(from), int(from + 1)))
            return FALSE;
    }
    return TRUE;
}

BOOL CGridListCtrl::MoveToTop(int nItem) { return MoveUp(nItem, nItem); }

BOOL CGridListCtrl::MoveToBottom(int nItem)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    return MoveDown(nItem, GetItemCount() - 1 - nItem);
}

// ---- Typed writers ----

BOOL CGridListCtrl::SetItemText(int nItem, int nSubItem, char value)
{
    return CListCtrl::SetItemText(nItem, nSubItem, QString(QChar(static_cast<unsigned char>(value))));
}

BOOL CGridListCtrl::SetItemText(int nItem, int nSubItem, unsigned char value)
{
    return CListCtrl::SetItemText(nItem, nSubItem, QString::number(value));
}

BOOL CGridListCtrl::SetItemText(int nItem, int nSubItem, short value)
{
    return CListCtrl::SetItemText(nItem, nSubItem, QString::number(value));
}

BOOL CGridListCtrl::SetItemText(int nItem, int nSubItem, unsigned short value)
{
    return CListCtrl::SetItemText(nItem, nSubItem, QString::number(value));
}

BOOL CGridListCtrl::SetItemText(int nItem, int nSubItem, int value)
{
    return CListCtrl::SetItemText(nItem, nSubItem, QString::number(value));
}

BOOL CGridListCtrl::SetItemText(int nItem, int nSubItem, unsigned int value)
{
    return CListCtrl::SetItemText(nItem, nSubItem, QString::number(value));
}

BOOL CGridListCtrl::SetItemText(int nItem, int nSubItem, long value)
{
    return CListCtrl::SetItemText(nItem, nSubItem, QString::number(value));
}

BOOL CGridListCtrl::SetItemText(int nItem, int nSubItem, unsigned long value)
{
    return CListCtrl::SetItemText(nItem, nSubItem, QString::number(value));
}

BOOL CGridListCtrl::SetItemText(int nItem, int nSubItem, double value, int nPrecision)
{
    const int precision = std::clamp(nPrecision, 0, kMaxPrecision);
    return CListCtrl::SetItemText(nItem, nSubItem, QString::asprintf("%.*f", precision, value));
}

BOOL CGridListCtrl::SetItemText(int nItem, int nSubItem, float value, int nPrecision)
{
    return SetItemText(nItem, nSubItem, double(value), nPrecision);
}

// ---- Sort mode (never on) ----

BOOL CGridListCtrl::SetItemData(int nItem, DWORD dwData) { return CListCtrl::SetItemData(nItem, dwData); }

DWORD CGridListCtrl::GetItemData(int nItem) const { return DWORD(CListCtrl::GetItemData(nItem)); }

BOOL CGridListCtrl::Sort(int, BOOL) { return FALSE; }

BOOL CGridListCtrl::Sort() { return FALSE; }

void CGridListCtrl::OnColumnClick(int)
{
    // Only a grid in sort mode reorders its rows on a heading tap, and no grid is in sort mode.
}

// ---- Editor placement ----

BOOL CGridListCtrl::PositionControl(QWidget* pWnd, int nItem, int nSubItem)
{
    if (!pWnd || !EnsureVisible(nItem, FALSE))
        return FALSE;
    const int count = GetColumnCount();
    if (nSubItem < 0 || nSubItem >= count)
        return FALSE;
    const int width = GetColumnWidth(m_pHeader->OrderToIndex(nSubItem));
    if (width <= 4)
        return FALSE;
    int offset = 0;
    for (int i = 0; i < nSubItem; ++i)
        offset += GetColumnWidth(m_pHeader->OrderToIndex(i));
    QRect row;
    GetItemRect(nItem, &row, LVIR_BOUNDS);
    const QRect client = GetClientRect();
    if (offset + row.left() < 0 || offset + row.left() + width > client.width()) {
        Scroll(QSize(offset + row.left(), 0));
        // Read back where the row now is: the scroll stops at the ends of its range.
        GetItemRect(nItem, &row, LVIR_BOUNDS);
    }
    const int left = row.left() + offset + 4;
    const int right = std::min(left + width - 3, client.right() + 1);
    const QRect cell(left, row.top(), std::max(0, right - left), row.height());

    // Client coordinates to the editor's parent's.
    const QPoint inList = cell.topLeft() + ClientOrigin();
    QWidget* parent = pWnd->parentWidget();
    QPoint at = inList;
    if (parent && parent != this)
        at = parent->isAncestorOf(this) ? mapTo(parent, inList) : parent->mapFromGlobal(mapToGlobal(inList));
    else if (!parent)
        at = mapToGlobal(inList);
    pWnd->setGeometry(QRect(at, cell.size()));
    pWnd->update();
    return TRUE;
}

// ---- Cell cursor ----

void CGridListCtrl::repaintFocusedRow()
{
    const int focused = GetNextItem(-1, LVNI_FOCUSED);
    if (focused >= 0)
        InvalidateRow(focused);
}

BOOL CGridListCtrl::PreTranslateMessage(MSG* pMsg)
{
    if (!pMsg || pMsg->message != WM_KEYDOWN || QApplication::focusWidget() != this)
        return CListCtrl::PreTranslateMessage(pMsg);
    const int last = GetColumnCount() - 1;
    // A current column that no longer exists counts as none.
    if (m_nCurCol < -1 || m_nCurCol > last)
        m_nCurCol = -1;
    switch (pMsg->wParam) {
    case VK_LEFT:
        if (--m_nCurCol < -1) {
            m_nCurCol = -1;
            return TRUE;
        }
        if (m_nCurCol >= 0)
            MakeColumnVisible(m_pHeader->OrderToIndex(m_nCurCol));
        repaintFocusedRow();
        return TRUE;
    case VK_RIGHT:
        if (++m_nCurCol > last) {
            m_nCurCol = last;
            return TRUE;
        }
        MakeColumnVisible(m_pHeader->OrderToIndex(m_nCurCol));
        repaintFocusedRow();
        return TRUE;
    case VK_F1 + 1: // F2
        sendBeginLabelEdit();
        return CListCtrl::PreTranslateMessage(pMsg);
    default: return CListCtrl::PreTranslateMessage(pMsg);
    }
}

BOOL CGridListCtrl::sendBeginLabelEdit()
{
    const int column = CurrentColumnIndex();
    const int row = GetNextItem(-1, LVNI_FOCUSED);
    if (column < 0 || row < 0)
        return FALSE;
    Window* parent = Window::FromWidget(parentWidget());
    if (!parent)
        return FALSE;
    NMLVDISPINFO info;
    info.hdr.hwndFrom = this;
    info.hdr.idFrom = std::uintptr_t(GetDlgCtrlID(this));
    info.hdr.code = LVN_BEGINLABELEDITW;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = row;
    info.item.iSubItem = column;
    info.item.pszText = GetItemText(row, column);
    info.item.cchTextMax = int(info.item.pszText.size());
    parent->SendMessage(WM_NOTIFY, WPARAM(GetDlgCtrlID(this)), LPARAM(&info));
    return TRUE;
}

LRESULT CGridListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* pDraw)
{
    switch (pDraw->dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: return CDRF_NOTIFYSUBITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM: {
        const int column = CurrentColumnIndex();
        if (!(pDraw->uItemState & CDIS_FOCUS) || column < 0 || pDraw->iSubItem != column)
            return CDRF_DODEFAULT;
        drawCellCursor(pDraw);
        return CDRF_SKIPDEFAULT;
    }
    default: return (pDraw->uItemState & CDIS_FOCUS) ? CDRF_NOTIFYSUBITEMDRAW : CDRF_DODEFAULT;
    }
}

void CGridListCtrl::drawCellCursor(NMLVCUSTOMDRAW* pDraw)
{
    const int row = int(pDraw->dwItemSpec);
    QRect bounds;
    if (!GetItemRect(row, &bounds, LVIR_BOUNDS))
        return;
    QRect cell;
    if (pDraw->iSubItem == 0) {
        QRect label;
        GetItemRect(row, &label, LVIR_LABEL);
        cell = QRect(label.left(), bounds.top(), label.width(), bounds.height());
    } else {
        cell = QRect(pDraw->rc.left() + bounds.left(), bounds.top(), pDraw->rc.width(), bounds.height());
    }
    QPainter* p = pDraw->hdc;
    p->save();
    p->fillRect(cell, sysColor(COLOR_BTNFACE));
    const int space = 2 * fontMetrics().horizontalAdvance(QLatin1Char(' '));
    const QRect textArea = cell.adjusted(space, 0, -space, 0);
    if (textArea.width() > 0) {
        p->save();
        p->setClipRect(textArea, Qt::IntersectClip);
        p->setPen(sysColor(COLOR_BTNTEXT));
        p->setFont(font());
        p->drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    GetItemText(row, pDraw->iSubItem));
        p->restore();
    }
    Draw3dRect(p, cell, sysColor(COLOR_BTNSHADOW), sysColor(COLOR_BTNFACE));
    Draw3dRect(p, cell.adjusted(1, 1, -1, -1), sysColor(COLOR_3DDKSHADOW), sysColor(COLOR_BTNHIGHLIGHT));
    p->restore();
}

// ---- Focus on scrolling ----

void CGridListCtrl::OnHScroll(int)
{
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
}

void CGridListCtrl::OnVScroll(int)
{
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
}
