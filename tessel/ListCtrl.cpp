#include "ListCtrl.h"

#include "SysColors.h"

#include <platform/Controls.h>

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

using namespace platform;
using namespace tessel;

namespace tessel {

// The Qt view's picture of the list: how many rows and columns, the headings and their alignment.
// The rows themselves stay in the list.
class ListModel : public QAbstractTableModel {
public:
    struct Column {
        QString heading;
        int fmt = LVCFMT_LEFT;
        int subItem = 0;
    };

    explicit ListModel(CListCtrl* list) : QAbstractTableModel(list), m_list(list) {}

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_list->m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(columns.size()); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole && index.isValid())
            return m_list->GetItemText(index.row(), index.column());
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= int(columns.size()))
            return {};
        if (role == Qt::DisplayRole)
            return columns[std::size_t(section)].heading;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(alignment(columns[std::size_t(section)].fmt) | Qt::AlignVCenter));
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex&) const override { return Qt::ItemIsEnabled; }

    static Qt::Alignment alignment(int fmt)
    {
        switch (fmt & LVCFMT_JUSTIFYMASK) {
        case LVCFMT_RIGHT: return Qt::AlignRight;
        case LVCFMT_CENTER: return Qt::AlignHCenter;
        default: return Qt::AlignLeft;
        }
    }

    void cellChanged(int row, int column)
    {
        if (column >= 0 && column < int(columns.size()))
            emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
    }

    using QAbstractItemModel::beginInsertColumns;
    using QAbstractItemModel::beginInsertRows;
    using QAbstractItemModel::beginRemoveColumns;
    using QAbstractItemModel::beginRemoveRows;
    using QAbstractItemModel::endInsertColumns;
    using QAbstractItemModel::endInsertRows;
    using QAbstractItemModel::endRemoveColumns;
    using QAbstractItemModel::endRemoveRows;

    std::vector<Column> columns;

private:
    CListCtrl* m_list;
};

} // namespace tessel

namespace {

constexpr int kMaxColumnWidth = 32767;

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
QColor sysColor(int index) { return qcolor(GetSysColor(index)); }

// Rows all have the list's row height; their painting is the list's own.
class RowDelegate : public QStyledItemDelegate {
public:
    explicit RowDelegate(CListCtrl* list) : QStyledItemDelegate(list), m_list(list) {}
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return {1, m_list->RowHeight()}; }
    void paint(QPainter*, const QStyleOptionViewItem&, const QModelIndex&) const override {}

private:
    CListCtrl* m_list;
};

int clampWidth(int cx) { return std::clamp(cx, 0, kMaxColumnWidth); }

} // namespace

CListCtrl::CListCtrl(QWidget* parent) : QTreeView(parent), Window(this), m_model(new ListModel(this))
{
    setModel(m_model);
    setItemDelegate(new RowDelegate(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(NoSelection);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerItem);
    setFocusPolicy(Qt::StrongFocus);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, sysColor(COLOR_WINDOW));
    pal.setColor(QPalette::Text, sysColor(COLOR_WINDOWTEXT));
    setPalette(pal);
    ReplaceHeader(header());
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this, [this](int a) { OnHScroll(a); });
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this](int a) { OnVScroll(a); });
    platform::SetStyle(this, LVS_REPORT);
}

CListCtrl::~CListCtrl()
{
    // The model reads the rows; it goes before them, not later with the view's children.
    setModel(nullptr);
    delete m_model;
}

void CListCtrl::ReplaceHeader(QHeaderView* pHeader)
{
    if (pHeader != header())
        setHeader(pHeader);
    pHeader->setStretchLastSection(false);
    pHeader->setMinimumSectionSize(0);
    pHeader->setSectionResizeMode(QHeaderView::Interactive);
    pHeader->setSectionsClickable(true);
    pHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(pHeader, &QHeaderView::sectionClicked, this, [this](int s) { OnColumnClick(s); });
    applyStyle();
}

// ---- Styles ----

DWORD CListCtrl::GetStyle() const { return platform::GetStyle(this); }

BOOL CListCtrl::ModifyStyle(DWORD dwRemove, DWORD dwAdd)
{
    const DWORD old = GetStyle();
    const DWORD now = (old & ~dwRemove) | dwAdd;
    if (now == old)
        return FALSE;
    platform::SetStyle(this, now);
    applyStyle();
    return TRUE;
}

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) { return SetExtendedStyle(0, dwNewStyle); }

DWORD CListCtrl::SetExtendedStyle(DWORD dwExMask, DWORD dwExStyle)
{
    const DWORD old = m_dwExStyle;
    const DWORD mask = dwExMask ? dwExMask : ~DWORD(0);
    m_dwExStyle = (old & ~mask) | (dwExStyle & mask);
    applyStyle();
    return old;
}

void CListCtrl::PreSubclassWindow() { applyStyle(); }

void CListCtrl::applyStyle()
{
    const DWORD style = GetStyle();
    header()->setSectionsMovable((m_dwExStyle & LVS_EX_HEADERDRAGDROP) != 0);
    header()->setVisible(!(style & LVS_NOCOLUMNHEADER));
    setFrameShape((style & WS_BORDER) ? QFrame::Box : QFrame::StyledPanel);
    if (style & WS_BORDER)
        setLineWidth(1);
    if (!(style & LVS_SINGLESEL)) {
        viewport()->update();
        return;
    }
    // A single-selection list keeps at most one row selected: the focused one if it is.
    int keep = -1;
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_rows[std::size_t(i)].selected && (keep < 0 || i == m_focusRow))
            keep = i;
    for (int i = 0; i < GetItemCount(); ++i)
        m_rows[std::size_t(i)].selected = i == keep;
    viewport()->update();
}

// ---- Columns ----

int CListCtrl::InsertColumn(int nCol, const LVCOLUMN* pColumn)
{
    if (!pColumn || nCol < 0)
        return -1;
    const int count = int(m_model->columns.size());
    const int at = std::min(nCol, count);
    ListModel::Column c;
    if (pColumn->mask & LVCF_TEXT)
        c.heading = pColumn->pszText;
    if (pColumn->mask & LVCF_FMT)
        c.fmt = pColumn->fmt;
    c.subItem = (pColumn->mask & LVCF_SUBITEM) ? pColumn->iSubItem : at;
    int width = 0;
    if (pColumn->mask & LVCF_WIDTH)
        width = pColumn->cx;
    else if (pColumn->mask & LVCF_TEXT)
        width = fontMetrics().horizontalAdvance(c.heading) + 2 * TextMargin();
    m_model->beginInsertColumns({}, at, at);
    m_model->columns.insert(m_model->columns.begin() + at, c);
    // Cell texts are kept by column index, so they move with the columns after the new one.
    for (Row& r : m_rows)
        if (int(r.texts.size()) > at)
            r.texts.insert(r.texts.begin() + at, QString());
    m_model->endInsertColumns();
    header()->resizeSection(at, clampWidth(width));
    viewport()->update();
    return at;
}

int CListCtrl::InsertColumn(int nCol, const QString& heading, int nFormat, int nWidth, int nSubItem)
{
    LVCOLUMN c;
    c.mask = LVCF_TEXT | LVCF_FMT;
    c.pszText = heading;
    c.fmt = nFormat;
    if (nWidth != -1) {
        c.mask |= LVCF_WIDTH;
        c.cx = nWidth;
    }
    if (nSubItem != -1) {
        c.mask |= LVCF_SUBITEM;
        c.iSubItem = nSubItem;
    }
    return InsertColumn(nCol, &c);
}

BOOL CListCtrl::DeleteColumn(int nCol)
{
    if (nCol < 0 || nCol >= int(m_model->columns.size()))
        return FALSE;
    m_model->beginRemoveColumns({}, nCol, nCol);
    m_model->columns.erase(m_model->columns.begin() + nCol);
    for (Row& r : m_rows)
        if (int(r.texts.size()) > nCol)
            r.texts.erase(r.texts.begin() + nCol);
    m_model->endRemoveColumns();
    viewport()->update();
    return TRUE;
}

BOOL CListCtrl::GetColumn(int nCol, LVCOLUMN* pColumn) const
{
    if (!pColumn || nCol < 0 || nCol >= int(m_model->columns.size()))
        return FALSE;
    const ListModel::Column& c = m_model->columns[std::size_t(nCol)];
    if (pColumn->mask & LVCF_TEXT)
        pColumn->pszText = c.heading;
    if (pColumn->mask & LVCF_FMT)
        pColumn->fmt = c.fmt;
    if (pColumn->mask & LVCF_WIDTH)
        pColumn->cx = header()->sectionSize(nCol);
    if (pColumn->mask & LVCF_SUBITEM)
        pColumn->iSubItem = c.subItem;
    return TRUE;
}

int CListCtrl::GetColumnWidth(int nCol) const
{
    if (nCol < 0 || nCol >= int(m_model->columns.size()))
        return 0;
    return header()->sectionSize(nCol);
}

BOOL CListCtrl::SetColumnWidth(int nCol, int cx)
{
    if (nCol < 0 || nCol >= int(m_model->columns.size()))
        return FALSE;
    header()->resizeSection(nCol, clampWidth(cx));
    return TRUE;
}

BOOL CListCtrl::GetColumnOrderArray(int* piArray, int iCount) const
{
    const int count = int(m_model->columns.size());
    if (!piArray || iCount != count)
        return FALSE;
    for (int i = 0; i < count; ++i)
        piArray[i] = header()->logicalIndex(i);
    return TRUE;
}

BOOL CListCtrl::SetColumnOrderArray(int iCount, const int* piArray)
{
    const int count = int(m_model->columns.size());
    if (!piArray || iCount != count)
        return FALSE;
    std::vector<int> seen(std::size_t(count), 0);
    for (int i = 0; i < count; ++i) {
        if (piArray[i] < 0 || piArray[i] >= count || seen[std::size_t(piArray[i])]++)
            return FALSE;
    }
    for (int i = 0; i < count; ++i)
        header()->moveSection(header()->visualIndex(piArray[i]), i);
    return TRUE;
}

// ---- Rows ----

int CListCtrl::InsertItem(const LVITEM* pItem)
{
    if (!pItem || pItem->iItem < 0)
        return -1;
    const int at = std::min(pItem->iItem, GetItemCount());
    Row r;
    r.texts.push_back((pItem->mask & LVIF_TEXT) ? pItem->pszText : QString());
    if (pItem->mask & LVIF_IMAGE)
        r.image = pItem->iImage;
    if (pItem->mask & LVIF_PARAM)
        r.data = std::uintptr_t(pItem->lParam);
    m_model->beginInsertRows({}, at, at);
    m_rows.insert(m_rows.begin() + at, std::move(r));
    if (m_focusRow >= at)
        ++m_focusRow;
    m_model->endInsertRows();
    if (pItem->mask & LVIF_STATE)
        SetItemState(at, pItem->state, pItem->stateMask);
    viewport()->update();
    return at;
}

int CListCtrl::InsertItem(int nItem, const QString& text)
{
    LVITEM item;
    item.mask = LVIF_TEXT;
    item.iItem = nItem;
    item.pszText = text;
    return InsertItem(&item);
}

int CListCtrl::InsertItem(int nItem, const QString& text, int nImage)
{
    LVITEM item;
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = nItem;
    item.pszText = text;
    item.iImage = nImage;
    return InsertItem(&item);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, const QString& text, UINT nState, UINT nStateMask, int nImage,
                          LPARAM lParam)
{
    LVITEM item;
    item.mask = nMask;
    item.iItem = nItem;
    item.pszText = text;
    item.state = nState;
    item.stateMask = nStateMask;
    item.iImage = nImage;
    item.lParam = lParam;
    return InsertItem(&item);
}

BOOL CListCtrl::DeleteItem(int nItem)
{
    if (!validRow(nItem))
        return FALSE;
    m_model->beginRemoveRows({}, nItem, nItem);
    m_rows.erase(m_rows.begin() + nItem);
    if (m_focusRow == nItem)
        m_focusRow = -1;
    else if (m_focusRow > nItem)
        --m_focusRow;
    m_model->endRemoveRows();
    viewport()->update();
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems()
{
    if (m_rows.empty())
        return TRUE;
    m_model->beginRemoveRows({}, 0, GetItemCount() - 1);
    m_rows.clear();
    m_focusRow = -1;
    m_model->endRemoveRows();
    viewport()->update();
    return TRUE;
}

QString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    if (!validRow(nItem) || nSubItem < 0)
        return {};
    const Row& r = m_rows[std::size_t(nItem)];
    return nSubItem < int(r.texts.size()) ? r.texts[std::size_t(nSubItem)] : QString();
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, const QString& text)
{
    if (!validRow(nItem) || nSubItem < 0 || (nSubItem > 0 && nSubItem >= int(m_model->columns.size())))
        return FALSE;
    Row& r = m_rows[std::size_t(nItem)];
    if (int(r.texts.size()) <= nSubItem)
        r.texts.resize(std::size_t(nSubItem) + 1);
    r.texts[std::size_t(nSubItem)] = text;
    m_model->cellChanged(nItem, nSubItem);
    return TRUE;
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const
{
    if (!validRow(nItem))
        return 0;
    const Row& r = m_rows[std::size_t(nItem)];
    UINT state = 0;
    if (nItem == m_focusRow)
        state |= LVIS_FOCUSED;
    if (r.selected)
        state |= LVIS_SELECTED;
    if (m_dwExStyle & LVS_EX_CHECKBOXES)
        state |= INDEXTOSTATEIMAGEMASK(r.checked ? 2 : 1);
    return state & nMask;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    if (nItem == -1) {
        BOOL ok = TRUE;
        for (int i = 0; i < GetItemCount(); ++i)
            ok &= SetItemState(i, nState, nMask & ~LVIS_FOCUSED);
        if ((nMask & LVIS_FOCUSED) && !(nState & LVIS_FOCUSED))
            setFocusRow(-1);
        return ok;
    }
    if (!validRow(nItem))
        return FALSE;
    Row& r = m_rows[std::size_t(nItem)];
    if (nMask & LVIS_SELECTED) {
        const bool select = (nState & LVIS_SELECTED) != 0;
        if (select && (GetStyle() & LVS_SINGLESEL))
            for (int i = 0; i < GetItemCount(); ++i)
                if (i != nItem && m_rows[std::size_t(i)].selected) {
                    m_rows[std::size_t(i)].selected = false;
                    InvalidateRow(i);
                }
        r.selected = select;
    }
    if (nMask & LVIS_FOCUSED) {
        if (nState & LVIS_FOCUSED)
            setFocusRow(nItem);
        else if (m_focusRow == nItem)
            setFocusRow(-1);
    }
    if (nMask & LVIS_STATEIMAGEMASK)
        r.checked = ((nState & LVIS_STATEIMAGEMASK) >> 12) == 2;
    InvalidateRow(nItem);
    return TRUE;
}

BOOL CListCtrl::GetCheck(int nItem) const { return validRow(nItem) && m_rows[std::size_t(nItem)].checked; }

BOOL CListCtrl::SetCheck(int nItem, BOOL bCheck)
{
    return SetItemState(nItem, INDEXTOSTATEIMAGEMASK(bCheck ? 2 : 1), LVIS_STATEIMAGEMASK);
}

BOOL CListCtrl::SetItemData(int nItem, std::uintptr_t data)
{
    if (!validRow(nItem))
        return FALSE;
    m_rows[std::size_t(nItem)].data = data;
    return TRUE;
}

std::uintptr_t CListCtrl::GetItemData(int nItem) const { return validRow(nItem) ? m_rows[std::size_t(nItem)].data : 0; }

UINT CListCtrl::GetSelectedCount() const
{
    return UINT(std::count_if(m_rows.begin(), m_rows.end(), [](const Row& r) { return r.selected; }));
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const
{
    // Computed wide: the row after INT_MAX is past the end, not row 0.
    for (int i = int(std::clamp<long long>(nItem + 1LL, 0, GetItemCount())); i < GetItemCount(); ++i) {
        if ((nFlags & LVNI_FOCUSED) && i != m_focusRow)
            continue;
        if ((nFlags & LVNI_SELECTED) && !m_rows[std::size_t(i)].selected)
            continue;
        return i;
    }
    return -1;
}

// ---- Geometry ----

QPoint CListCtrl::ClientOrigin() const { return contentsRect().topLeft(); }

QPoint CListCtrl::clientToViewport() const { return ClientOrigin() - viewport()->geometry().topLeft(); }

QRect CListCtrl::GetClientRect() const
{
    const QRect vp = viewport()->geometry();
    return QRect(QPoint(0, 0), QSize(vp.right() + 1, vp.bottom() + 1) - QSize(ClientOrigin().x(), ClientOrigin().y()));
}

int CListCtrl::RowLeft() const { return -clientToViewport().x() - horizontalOffset(); }

int CListCtrl::RowHeight() const { return fontMetrics().height() + 4; }

int CListCtrl::StateImageWidth() const
{
    if (!(m_dwExStyle & LVS_EX_CHECKBOXES))
        return 0;
    return std::min(RowHeight() - 4, fontMetrics().height()) + 6;
}

int CListCtrl::TextMargin() const { return 2 * fontMetrics().horizontalAdvance(QLatin1Char(' ')); }

int CListCtrl::firstVisibleRow() const { return m_model->columns.empty() ? 0 : verticalScrollBar()->value(); }

int CListCtrl::fullyVisibleRows() const { return std::max(1, viewport()->height() / RowHeight()); }

BOOL CListCtrl::GetItemRect(int nItem, QRect* rect, UINT nCode) const
{
    if (!rect || !validRow(nItem))
        return FALSE;
    const_cast<CListCtrl*>(this)->executeDelayedItemsLayout();
    const QPoint vp = -clientToViewport();
    const int top = vp.y() + (nItem - firstVisibleRow()) * RowHeight();
    const int left = vp.x() - horizontalOffset();
    switch (nCode) {
    case LVIR_BOUNDS: *rect = QRect(left, top, header()->length(), RowHeight()); return TRUE;
    case LVIR_ICON:
    case LVIR_LABEL: {
        QRect c0(left, top, 0, RowHeight());
        if (!m_model->columns.empty())
            c0 = CellRect(nItem, 0);
        const int state = std::min(StateImageWidth(), c0.width());
        if (nCode == LVIR_ICON)
            *rect = QRect(c0.left() + state, top, 0, RowHeight());
        else
            *rect = QRect(c0.left() + state, top, c0.width() - state, RowHeight());
        return TRUE;
    }
    default: return FALSE;
    }
}

QRect CListCtrl::CellRect(int nItem, int nColumn) const
{
    const QPoint vp = -clientToViewport();
    const int top = vp.y() + (nItem - firstVisibleRow()) * RowHeight();
    const int left = vp.x() - horizontalOffset() + header()->sectionPosition(nColumn);
    return QRect(left, top, header()->sectionSize(nColumn), RowHeight());
}

int CListCtrl::HitTest(QPoint pt) const
{
    const QPoint vp = -clientToViewport();
    if (pt.y() < vp.y() || m_model->columns.empty())
        return -1;
    const int row = firstVisibleRow() + (pt.y() - vp.y()) / RowHeight();
    const int left = vp.x() - horizontalOffset();
    if (!validRow(row) || pt.x() < left || pt.x() >= left + header()->length())
        return -1;
    return row;
}

BOOL CListCtrl::EnsureVisible(int nItem, BOOL bPartialOK)
{
    if (!validRow(nItem))
        return FALSE;
    executeDelayedItemsLayout();
    const int first = firstVisibleRow();
    const int full = fullyVisibleRows();
    const int shown = (viewport()->height() + RowHeight() - 1) / RowHeight();
    if (bPartialOK && nItem >= first && nItem < first + shown)
        return TRUE;
    if (nItem < first)
        verticalScrollBar()->setValue(nItem);
    else if (nItem >= first + full)
        verticalScrollBar()->setValue(nItem - full + 1);
    return TRUE;
}

BOOL CListCtrl::Scroll(QSize size)
{
    executeDelayedItemsLayout();
    if (size.width())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + size.width());
    if (const int rows = size.height() / RowHeight())
        verticalScrollBar()->setValue(verticalScrollBar()->value() + rows);
    return TRUE;
}

void CListCtrl::InvalidateRow(int nItem)
{
    QRect r;
    if (GetItemRect(nItem, &r, LVIR_BOUNDS))
        viewport()->update(QRect(0, r.top() + clientToViewport().y(), viewport()->width(), r.height()));
}

// ---- Hooks ----

LRESULT CListCtrl::OnCustomDraw(NMLVCUSTOMDRAW*) { return CDRF_DODEFAULT; }
void CListCtrl::OnHScroll(int) {}
void CListCtrl::OnVScroll(int) {}
void CListCtrl::OnColumnClick(int) {}

// ---- Painting ----

void CListCtrl::paintEvent(QPaintEvent* e)
{
    m_prepaintPending = true; // the first row painted asks the pre-paint stage for the whole paint
    QTreeView::paintEvent(e);
    if (!(m_dwExStyle & LVS_EX_GRIDLINES) || m_model->columns.empty())
        return;
    QPainter p(viewport());
    p.translate(clientToViewport());
    paintGridBelowRows(&p);
}

void CListCtrl::paintGridBelowRows(QPainter* p) const
{
    // The grid goes on below the last row, as on the handheld.
    const QRect client = GetClientRect();
    const int rowH = RowHeight();
    const QPoint vp = -clientToViewport();
    int top = vp.y() + (GetItemCount() - firstVisibleRow()) * rowH;
    top = std::max(top, vp.y());
    if (top >= client.bottom() + 1)
        return;
    p->setPen(sysColor(COLOR_BTNFACE));
    const int left = vp.x() - horizontalOffset();
    const int right = left + header()->length() - 1;
    for (int y = top + rowH - 1; y <= client.bottom(); y += rowH)
        p->drawLine(left, y, right, y);
    for (int v = 0; v < header()->count(); ++v) {
        const int col = header()->logicalIndex(v);
        if (header()->isSectionHidden(col))
            continue;
        const int x = left + header()->sectionPosition(col) + header()->sectionSize(col) - 1;
        p->drawLine(x, top, x, client.bottom());
    }
}

void CListCtrl::drawRow(QPainter* p, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const int row = index.row();
    if (!validRow(row))
        return;
    auto* self = const_cast<CListCtrl*>(this);
    p->save();
    p->translate(clientToViewport());
    const QRect client = GetClientRect();

    NMLVCUSTOMDRAW cd;
    cd.hdr.hwndFrom = self;
    cd.hdr.idFrom = std::uintptr_t(GetDlgCtrlID(this));
    cd.hdr.code = NM_CUSTOMDRAW;
    cd.hdc = p;
    if (m_prepaintPending) {
        m_prepaintPending = false;
        cd.dwDrawStage = CDDS_PREPAINT;
        cd.rc = client;
        m_prepaintAnswer = self->OnCustomDraw(&cd);
    }
    const LRESULT paintAnswer = m_prepaintAnswer;

    QRect bounds;
    GetItemRect(row, &bounds, LVIR_BOUNDS);
    cd.dwItemSpec = std::uintptr_t(row);
    cd.uItemState = (row == m_focusRow ? CDIS_FOCUS : 0) | (m_rows[std::size_t(row)].selected ? CDIS_SELECTED : 0);
    LRESULT itemAnswer = CDRF_DODEFAULT;
    if (paintAnswer & CDRF_NOTIFYITEMDRAW) {
        cd.dwDrawStage = CDDS_ITEMPREPAINT;
        cd.rc = bounds;
        cd.iSubItem = 0;
        itemAnswer = self->OnCustomDraw(&cd);
    }
    if (!(itemAnswer & CDRF_SKIPDEFAULT)) {
        std::vector<int> postPaint;
        for (int v = 0; v < header()->count(); ++v) {
            const int col = header()->logicalIndex(v);
            if (header()->isSectionHidden(col))
                continue;
            const QRect cell = CellRect(row, col);
            if (!cell.intersects(client))
                continue;
            LRESULT cellAnswer = CDRF_DODEFAULT;
            if (itemAnswer & CDRF_NOTIFYSUBITEMDRAW) {
                cd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
                cd.iSubItem = col;
                cd.rc = col == 0 ? bounds : cell.translated(-bounds.left(), 0);
                cellAnswer = self->OnCustomDraw(&cd);
            }
            if (!(cellAnswer & CDRF_SKIPDEFAULT))
                paintCell(p, row, col, cell);
            if (cellAnswer & CDRF_NOTIFYPOSTPAINT)
                postPaint.push_back(col);
        }
        if (row == m_focusRow && hasFocus()) {
            QRect frame = bounds;
            if (!(m_dwExStyle & LVS_EX_FULLROWSELECT))
                GetItemRect(row, &frame, LVIR_LABEL);
            const bool onSelection = m_rows[std::size_t(row)].selected;
            p->setPen(QPen(sysColor(onSelection ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT), 1, Qt::DotLine));
            p->setBrush(Qt::NoBrush);
            p->drawRect(frame.adjusted(0, 0, -1, -1));
        }
        for (int col : postPaint) {
            const QRect cell = CellRect(row, col);
            cd.dwDrawStage = CDDS_ITEMPOSTPAINT | CDDS_SUBITEM;
            cd.iSubItem = col;
            cd.rc = col == 0 ? bounds : cell.translated(-bounds.left(), 0);
            self->OnCustomDraw(&cd);
        }
    }
    if (itemAnswer & CDRF_NOTIFYPOSTPAINT) {
        cd.dwDrawStage = CDDS_ITEMPOSTPAINT;
        cd.rc = bounds;
        cd.iSubItem = 0;
        self->OnCustomDraw(&cd);
    }
    p->restore();
}

void CListCtrl::paintCell(QPainter* p, int row, int column, const QRect& cell) const
{
    const Row& r = m_rows[std::size_t(row)];
    const bool grid = (m_dwExStyle & LVS_EX_GRIDLINES) != 0;
    QRect area = grid ? cell.adjusted(0, 0, -1, -1) : cell;
    p->fillRect(area, sysColor(COLOR_WINDOW));
    if (column == 0 && StateImageWidth() > 0) {
        const int side = StateImageWidth() - 6;
        paintCheckBox(p, QRect(area.left() + 3, area.top() + (area.height() - side) / 2, side, side), r.checked);
        area.setLeft(area.left() + StateImageWidth());
    }
    // Selected rows are drawn across every column with full-row select, else in column 0 only.
    const bool showSelection = r.selected && (hasFocus() || (GetStyle() & LVS_SHOWSELALWAYS));
    QColor text = sysColor(COLOR_WINDOWTEXT);
    if (showSelection && (column == 0 || (m_dwExStyle & LVS_EX_FULLROWSELECT))) {
        p->fillRect(area, sysColor(hasFocus() ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        text = sysColor(hasFocus() ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
    }
    const QString s = GetItemText(row, column);
    if (!s.isEmpty()) {
        const QRect textArea = area.adjusted(TextMargin(), 0, -TextMargin(), 0);
        const int fmt = column == 0 ? LVCFMT_LEFT : m_model->columns[std::size_t(column)].fmt;
        p->setPen(text);
        p->setFont(font());
        p->drawText(textArea, int(ListModel::alignment(fmt) | Qt::AlignVCenter | Qt::TextSingleLine),
                    fontMetrics().elidedText(s, Qt::ElideRight, std::max(0, textArea.width())));
    }
    if (grid) {
        p->setPen(sysColor(COLOR_BTNFACE));
        p->drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
        p->drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
    }
}

void CListCtrl::paintCheckBox(QPainter* p, const QRect& box, bool checked) const
{
    p->fillRect(box, sysColor(COLOR_WINDOW));
    p->setPen(sysColor(COLOR_BTNSHADOW));
    p->setBrush(Qt::NoBrush);
    p->drawRect(box.adjusted(0, 0, -1, -1));
    if (!checked)
        return;
    p->setPen(QPen(sysColor(COLOR_WINDOWTEXT), std::max(2, box.width() / 8)));
    const QRect m = box.adjusted(box.width() / 5, box.height() / 5, -box.width() / 5, -box.height() / 5);
    p->drawLine(m.left(), m.center().y(), m.left() + m.width() / 3, m.bottom());
    p->drawLine(m.left() + m.width() / 3, m.bottom(), m.right(), m.top());
}

// ---- Keys and taps ----

void CListCtrl::setFocusRow(int nItem)
{
    if (nItem == m_focusRow)
        return;
    const int old = m_focusRow;
    m_focusRow = validRow(nItem) ? nItem : -1;
    InvalidateRow(old);
    InvalidateRow(m_focusRow);
}

void CListCtrl::selectOnly(int nItem)
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_rows[std::size_t(i)].selected != (i == nItem)) {
            m_rows[std::size_t(i)].selected = i == nItem;
            InvalidateRow(i);
        }
}

void CListCtrl::moveFocusTo(int nItem)
{
    if (!validRow(nItem))
        return;
    setFocusRow(nItem);
    selectOnly(nItem);
    EnsureVisible(nItem, FALSE);
}

void CListCtrl::keyPressEvent(QKeyEvent* e)
{
    const int count = GetItemCount();
    const int focus = m_focusRow;
    const int page = fullyVisibleRows();
    switch (e->key()) {
    case Qt::Key_Up: moveFocusTo(focus < 0 ? 0 : std::max(0, focus - 1)); break;
    case Qt::Key_Down: moveFocusTo(focus < 0 ? 0 : std::min(count - 1, focus + 1)); break;
    case Qt::Key_PageUp: moveFocusTo(std::max(0, focus - page)); break;
    case Qt::Key_PageDown: moveFocusTo(std::min(count - 1, std::max(0, focus) + page)); break;
    case Qt::Key_Home: moveFocusTo(0); break;
    case Qt::Key_End: moveFocusTo(count - 1); break;
    case Qt::Key_Left: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_Right: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case Qt::Key_Space:
        if ((m_dwExStyle & LVS_EX_CHECKBOXES) && validRow(focus)) {
            SetCheck(focus, !GetCheck(focus));
            break;
        }
        e->ignore();
        return;
    default: e->ignore(); return;
    }
    e->accept();
}

void CListCtrl::mousePressEvent(QMouseEvent* e)
{
    setFocus(Qt::MouseFocusReason);
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint pt = e->position().toPoint() - clientToViewport();
    const int row = HitTest(pt);
    QRect label;
    if (row >= 0 && StateImageWidth() > 0) {
        GetItemRect(row, &label, LVIR_LABEL);
        if (pt.x() < label.left() && pt.x() >= label.left() - StateImageWidth()) {
            SetCheck(row, !GetCheck(row));
            moveFocusTo(row);
            return;
        }
    }
    bool onItem = row >= 0;
    if (onItem && !(m_dwExStyle & LVS_EX_FULLROWSELECT)) {
        GetItemRect(row, &label, LVIR_LABEL);
        onItem = label.contains(pt);
    }
    const bool multi = !(GetStyle() & LVS_SINGLESEL);
    if (!onItem) {
        if (!(multi && (e->modifiers() & Qt::ControlModifier)))
            selectOnly(-1);
        return;
    }
    if (multi && (e->modifiers() & Qt::ControlModifier)) {
        m_rows[std::size_t(row)].selected = !m_rows[std::size_t(row)].selected;
        setFocusRow(row);
        InvalidateRow(row);
        return;
    }
    if (multi && (e->modifiers() & Qt::ShiftModifier) && validRow(m_focusRow)) {
        const int a = std::min(row, m_focusRow), b = std::max(row, m_focusRow);
        for (int i = 0; i < GetItemCount(); ++i) {
            m_rows[std::size_t(i)].selected = i >= a && i <= b;
            InvalidateRow(i);
        }
        setFocusRow(row);
        return;
    }
    moveFocusTo(row);
}

void CListCtrl::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }
void CListCtrl::mouseMoveEvent(QMouseEvent* e) { e->accept(); }
void CListCtrl::mouseReleaseEvent(QMouseEvent* e) { e->accept(); }

void CListCtrl::changeEvent(QEvent* e)
{
    QTreeView::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        scheduleDelayedItemsLayout();
}

void CListCtrl::focusInEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
}

void CListCtrl::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    viewport()->update();
}
