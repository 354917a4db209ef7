#include "ParamListCtrl.h"

#include "CellCombo.h"
#include "CellEdit.h"

#include "platform/Controls.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

using namespace platform;
using stavo::NMLVDISPINFO;

namespace {

CCellEdit* g_pEdit = nullptr;
CCellCombo* g_pCombo = nullptr;

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// Every row is the list's fixed row height.
class RowHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), CParamListCtrl::kRowHeight};
    }
};

} // namespace

CParamListCtrl::CParamListCtrl(QWidget* parent) : QTreeWidget(parent), Window(this)
{
    setColumnCount(0);
    setHeaderLabels({});
    setRootIsDecorated(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::StrongFocus);
    setItemDelegate(new RowHeightDelegate(this));
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setMinimumSectionSize(0);
    SetStyle(this, WS_VISIBLE | WS_TABSTOP | stavo::WS_BORDER | stavo::LVS_REPORT | stavo::LVS_SINGLESEL |
                       stavo::LVS_SHOWSELALWAYS | stavo::LVS_EDITLABELS | stavo::LVS_OWNERDRAWFIXED);
    for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()})
        connect(bar, &QAbstractSlider::actionTriggered, this, [this] { takeFocusForScroll(); });
}

CParamListCtrl::~CParamListCtrl()
{
    // The editors are the program's and go with the list, whoever they were open for.
    delete g_pEdit;
    g_pEdit = nullptr;
    delete g_pCombo;
    g_pCombo = nullptr;
}

CCellEdit* CParamListCtrl::CellEdit() { return g_pEdit; }
CCellCombo* CParamListCtrl::CellCombo() { return g_pCombo; }

// ---- Set-up ----

int CParamListCtrl::InsertColumn(int nCol, const QString& heading, int nFormat, int nWidth, int)
{
    const int count = columnCount();
    if (nCol < 0)
        return -1;
    const int at = std::min(nCol, count);
    setColumnCount(count + 1);
    // Columns to the right move over by one, headings and texts alike.
    QTreeWidgetItem* head = headerItem();
    for (int c = count; c > at; --c)
        head->setText(c, head->text(c - 1));
    head->setText(at, heading);
    const Qt::Alignment horizontal = nFormat == 1 ? Qt::AlignRight : nFormat == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    head->setTextAlignment(at, horizontal | Qt::AlignVCenter);
    for (int r = 0; r < topLevelItemCount(); ++r) {
        QTreeWidgetItem* item = topLevelItem(r);
        for (int c = count; c > at; --c)
            item->setText(c, item->text(c - 1));
        item->setText(at, QString());
    }
    if (nWidth >= 0)
        header()->resizeSection(at, nWidth);
    ++m_nColumnCount;
    return at;
}

int CParamListCtrl::InsertRow(int nRow, const QString& text)
{
    if (nRow < 0)
        return -1;
    // A row past the end goes at the end, as the list view places it.
    const int at = std::min(nRow, topLevelItemCount());
    auto* item = new QTreeWidgetItem;
    item->setText(0, text);
    insertTopLevelItem(at, item);
    SetItemState(at, stavo::LVIS_SELECTED | stavo::LVIS_FOCUSED, stavo::LVIS_SELECTED | stavo::LVIS_FOCUSED);
    if (nRow < GetItemCount() && std::size_t(nRow) <= m_flags.size()) {
        FlagRecord record{};
        for (int c = 0; c < kDefaultReadOnlyColumns; ++c)
            record[std::size_t(c)] = 1;
        m_flags.insert(m_flags.begin() + nRow, record);
    }
    return at;
}

bool CParamListCtrl::cellExists(int nRow, int nCol) const
{
    // The flag records are checked against their own size: a row that has none (inserted past the
    // end) or a column past the record reads as editable and takes no flag.
    return nRow >= 0 && nRow < GetItemCount() && std::size_t(nRow) < m_flags.size() && nCol >= 0 &&
           nCol < kFlagColumns;
}

void CParamListCtrl::SetCellReadOnly(int nRow, int nCol, int nFlag)
{
    if (cellExists(nRow, nCol))
        m_flags[std::size_t(nRow)][std::size_t(nCol)] = nFlag;
}

BOOL CParamListCtrl::IsCellReadOnly(int nRow, int nCol) const
{
    if (!cellExists(nRow, nCol))
        return FALSE;
    return m_flags[std::size_t(nRow)][std::size_t(nCol)] != 0 ? TRUE : FALSE;
}

void CParamListCtrl::SetChoiceRow(int nRow, BOOL bOn)
{
    const auto it = std::find(m_choiceRows.begin(), m_choiceRows.end(), nRow);
    if (bOn && it == m_choiceRows.end())
        m_choiceRows.push_back(nRow);
    else if (!bOn && it != m_choiceRows.end())
        m_choiceRows.erase(it);
}

bool CParamListCtrl::IsChoiceRow(int nRow) const
{
    return std::find(m_choiceRows.begin(), m_choiceRows.end(), nRow) != m_choiceRows.end();
}

void CParamListCtrl::SetAllowedChars(const QString& chars, int nCol)
{
    if (nCol == -1) {
        m_allowed.fill(chars);
        return;
    }
    if (nCol < 0 || nCol >= kCharColumns)
        return;
    m_allowed[std::size_t(nCol)] = chars;
}

QString CParamListCtrl::AllowedChars(int nCol) const
{
    return nCol >= 0 && nCol < kCharColumns ? m_allowed[std::size_t(nCol)] : QString();
}

void CParamListCtrl::SetChoiceScrollBar(BOOL bOn)
{
    if (bOn)
        m_dwComboStyle |= stavo::WS_VSCROLL;
    else
        m_dwComboStyle &= ~stavo::WS_VSCROLL;
}

void CParamListCtrl::RemeasureRows()
{
    // The rows are laid out again, each asking the fixed height anew.
    doItemsLayout();
}

DWORD CParamListCtrl::SetExtendedStyle(DWORD dwExStyle)
{
    const DWORD old = m_dwExStyle;
    m_dwExStyle = dwExStyle;
    return old;
}

// ---- Items ----

QString CParamListCtrl::GetItemText(int nRow, int nCol) const
{
    const QTreeWidgetItem* item = nRow >= 0 ? topLevelItem(nRow) : nullptr;
    return item && nCol >= 0 && nCol < columnCount() ? item->text(nCol) : QString();
}

BOOL CParamListCtrl::SetItemText(int nRow, int nCol, const QString& text)
{
    QTreeWidgetItem* item = nRow >= 0 ? topLevelItem(nRow) : nullptr;
    if (!item || nCol < 0 || nCol >= columnCount())
        return FALSE;
    item->setText(nCol, text);
    viewport()->update();
    return TRUE;
}

int CParamListCtrl::GetColumnWidth(int nCol) const
{
    return nCol >= 0 && nCol < header()->count() ? header()->sectionSize(nCol) : 0;
}

BOOL CParamListCtrl::SetColumnWidth(int nCol, int cx)
{
    if (nCol < 0 || nCol >= header()->count())
        return FALSE;
    header()->resizeSection(nCol, std::max(0, cx));
    return TRUE;
}

UINT CParamListCtrl::GetItemState(int nRow, UINT mask) const
{
    const QTreeWidgetItem* item = nRow >= 0 ? topLevelItem(nRow) : nullptr;
    if (!item)
        return 0;
    UINT state = 0;
    if (item->isSelected())
        state |= stavo::LVIS_SELECTED;
    if (currentItem() == item)
        state |= stavo::LVIS_FOCUSED;
    return state & mask;
}

BOOL CParamListCtrl::SetItemState(int nRow, UINT state, UINT mask)
{
    QTreeWidgetItem* item = nRow >= 0 ? topLevelItem(nRow) : nullptr;
    if (!item)
        return FALSE;
    const QModelIndex index = indexFromItem(item, 0);
    if (mask & stavo::LVIS_FOCUSED) {
        if (state & stavo::LVIS_FOCUSED)
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        else if (currentItem() == item)
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    if (mask & stavo::LVIS_SELECTED) {
        // One row at most is selected: selecting a row deselects the others.
        if (state & stavo::LVIS_SELECTED)
            selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        else
            selectionModel()->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
    viewport()->update();
    return TRUE;
}

int CParamListCtrl::GetNextItem(int nStart, UINT flags) const
{
    for (int r = std::max(0, nStart + 1); r < GetItemCount(); ++r)
        if (!(flags & stavo::LVNI_SELECTED) || GetItemState(r, stavo::LVIS_SELECTED))
            return r;
    return -1;
}

BOOL CParamListCtrl::EnsureVisible(int nRow, BOOL)
{
    QTreeWidgetItem* item = nRow >= 0 ? topLevelItem(nRow) : nullptr;
    if (!item)
        return FALSE;
    scrollToItem(item, QAbstractItemView::EnsureVisible);
    return TRUE;
}

// ---- Geometry ----

BOOL CParamListCtrl::GetItemRect(int nRow, QRect* rect, UINT) const
{
    QTreeWidgetItem* item = nRow >= 0 ? topLevelItem(nRow) : nullptr;
    if (!item || !rect)
        return FALSE;
    const QRect first = visualItemRect(item);
    int width = 0;
    for (int c = 0; c < header()->count(); ++c)
        width += header()->sectionSize(c);
    *rect = QRect(header()->sectionViewportPosition(0), first.top(), width, kRowHeight);
    return TRUE;
}

QRect CParamListCtrl::GetCellRect(int nRow, int nCol, bool bOuter) const
{
    QRect bounds;
    if (!GetItemRect(nRow, &bounds))
        return {};
    int left = bounds.left();
    for (int c = 0; c < nCol; ++c)
        left += GetColumnWidth(c);
    QRect r(left, bounds.top(), GetColumnWidth(nCol), bounds.height());
    return bOuter ? r : r.adjusted(1, 1, -1, -1);
}

bool CParamListCtrl::HitTestCell(QPoint point, int* pRow, int* pCol) const
{
    if ((GetStyle(this) & stavo::LVS_TYPEMASK) != stavo::LVS_REPORT)
        return false;
    const QTreeWidgetItem* item = itemAt(QPoint(header()->sectionViewportPosition(0), point.y()));
    const int row = item ? indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)) : -1;
    QRect bounds;
    if (row < 0 || !GetItemRect(row, &bounds) || !bounds.contains(point))
        return false;
    // Each column covers its left edge to its left edge plus its width, both ends included: a point
    // on a boundary belongs to the column on its left.
    int left = bounds.left();
    for (int c = 0; c < header()->count(); ++c) {
        const int w = GetColumnWidth(c);
        if (point.x() >= left && point.x() <= left + w) {
            *pRow = row;
            *pCol = c;
            return true;
        }
        left += w;
    }
    return false;
}

// ---- Drawing ----

void CParamListCtrl::drawRow(QPainter* p, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const int row = index.row();
    const bool selected = GetItemState(row, stavo::LVIS_SELECTED) != 0;
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setFont(font());
    for (int c = 0; c < m_nColumnCount; ++c) {
        const QRect outer = GetCellRect(row, c, true);
        const QRect inner = outer.adjusted(1, 1, -1, -1);
        COLORREF fill;
        if (IsCellReadOnly(row, c))
            fill = selected ? RGB(128, 128, 128) : RGB(192, 192, 192);
        else
            fill = selected ? RGB(0, 0, 255) : RGB(255, 255, 255);
        p->fillRect(outer, qcolor(fill));
        p->setPen(selected ? Qt::white : Qt::black);
        p->setBackgroundMode(Qt::OpaqueMode);
        p->setBackground(qcolor(fill));
        p->drawText(inner, int(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine), GetItemText(row, c));
        // The border with the context's plain black pen, as a closed line one pixel outside the inner
        // rectangle: its right and bottom sides fall on the next cell's and next row's first pixels.
        p->setPen(QPen(Qt::black, 0));
        // (r, b: one past the inner rectangle's exclusive right and bottom edges, i.e. the outer
        // rectangle's exclusive edges.)
        const int l = inner.left() - 1, t = inner.top() - 1;
        const int r = inner.left() + inner.width() + 1, b = inner.top() + inner.height() + 1;
        const QPoint border[5] = {{r, t}, {l, t}, {l, b}, {r, b}, {r, t}};
        p->drawPolyline(border, 5);
    }
    p->restore();
}

// ---- Taps, keys, scrolling ----

void CParamListCtrl::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QTreeWidget::mousePressEvent(e);
        return;
    }
    OnLButtonDown(e);
}

void CParamListCtrl::OnLButtonDown(QMouseEvent* e)
{
    const QPoint point = e->position().toPoint();
    int row = -1, col = -1;
    if (!HitTestCell(point, &row, &col)) {
        e->accept(); // not on a cell: the list view never sees it
        return;
    }
    QTreeWidget::mousePressEvent(e);
    if (e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))
        return;
    if (row == -1 || !GetItemState(row, stavo::LVIS_FOCUSED))
        return;
    if (!(GetStyle(this) & stavo::LVS_EDITLABELS) || IsCellReadOnly(row, col))
        return;
    BeginCellEdit(row, col);
}

void CParamListCtrl::keyPressEvent(QKeyEvent* e)
{
    // Every key is the list's: the navigation keys move between cells, the rest do nothing.
    const UINT vk = VirtualKeyFromQt(e->key());
    if (vk)
        SendMessage(WM_KEYDOWN, vk, e->isAutoRepeat() ? 1 : 0);
    e->accept();
}

void CParamListCtrl::takeFocusForScroll()
{
    // Scrolling ends an open edit: the editor loses the focus to the list.
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
}

void CParamListCtrl::wheelEvent(QWheelEvent* e)
{
    takeFocusForScroll();
    QTreeWidget::wheelEvent(e);
}

void CParamListCtrl::OnKeyDown(UINT nChar)
{
    int row = GetNextItem(-1, stavo::LVNI_SELECTED);
    if (row < 0 || m_nColumnCount <= 0)
        return;
    int col = m_nCurColumn;
    const int rows = GetItemCount();
    const int cols = m_nColumnCount;
    bool found = false;
    switch (nChar) {
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_RIGHT:
        for (;;) {
            if (++col >= cols) {
                col = 0;
                ++row;
            }
            if (row >= rows)
                break;
            if (!IsCellReadOnly(row, col)) {
                found = true;
                break;
            }
        }
        break;
    case VK_LEFT:
        for (;;) {
            if (--col < 0) {
                col = cols - 1;
                --row;
            }
            if (row < 0)
                break;
            if (!IsCellReadOnly(row, col)) {
                found = true;
                break;
            }
        }
        break;
    case VK_DOWN:
        while (col < cols) {
            if (++row >= rows) {
                row = 0;
                if (++col >= cols) {
                    col = cols - 1;
                    break;
                }
            }
            if (!IsCellReadOnly(row, col)) {
                found = true;
                break;
            }
        }
        break;
    case VK_UP:
        while (col < cols) {
            if (--row < 0) {
                row = rows - 1;
                if (--col < 0) {
                    col = 0;
                    break;
                }
            }
            if (!IsCellReadOnly(row, col)) {
                found = true;
                break;
            }
        }
        break;
    default: return;
    }
    m_nCurColumn = col;
    if (!found)
        return;
    SetItemState(row, stavo::LVIS_SELECTED | stavo::LVIS_FOCUSED, stavo::LVIS_SELECTED | stavo::LVIS_FOCUSED);
    BeginCellEdit(row, col);
}

// ---- Editing ----

void CParamListCtrl::notifyParent(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window* parent = Window::FromWidget(parentWidget()))
        parent->SendMessage(message, wParam, lParam);
}

void CParamListCtrl::BeginCellEdit(int nRow, int nCol)
{
    const QString text = GetItemText(nRow, nCol);
    const QRect outer = GetCellRect(nRow, nCol, true);
    if (IsChoiceRow(nRow)) {
        CArray<QString> choices;
        notifyParent(stavo::WM_LIST_GETCHOICES, WPARAM(nRow), LPARAM(&choices));
        if (!EnsureVisible(nRow, TRUE))
            return;
        if (nCol >= header()->count() || GetColumnWidth(nCol) < 10)
            return;
        const QRect cell = GetCellRect(nRow, nCol, true); // visible now, perhaps scrolled
        const int k = std::min(choices.GetSize() + 1, 11);
        const QRect dropped(cell.left(), cell.top(), cell.width(), cell.height() * (1 + k));

        if (!g_pCombo)
            g_pCombo = new CCellCombo;
        CCellCombo& combo = *g_pCombo;
        if (combo.HasWindow()) {
            setFocus(Qt::OtherFocusReason); // ends the open edit
            combo.DestroyWindow();          // and the new one opens at once
        }
        combo.m_nRow = nRow;
        combo.m_nCol = nCol;
        combo.m_strStart = text;
        combo.m_choices.RemoveAll();
        for (const QString& c : choices)
            combo.m_choices.Add(c);
        combo.m_bCancelled = FALSE;
        if (!combo.HasWindow())
            combo.Create(m_dwComboStyle, dropped, cell.height(), this);
        combo.setCurrentIndex(-1);
        combo.SelectString(text);
        return;
    }

    if (!g_pEdit)
        g_pEdit = new CCellEdit;
    CCellEdit& edit = *g_pEdit;
    if (edit.HasWindow()) {
        setFocus(Qt::OtherFocusReason);
        edit.DestroyWindow();
    }
    edit.m_nRow = nRow;
    edit.m_nCol = nCol;
    edit.m_strStart = text;
    edit.m_strAllowed = AllowedChars(nCol);
    edit.m_nKind = CNumEdit::KIND_TEXT;
    edit.m_bCancelled = FALSE;
    if (!edit.HasWindow())
        edit.Create(m_dwEditStyle, outer, this);
}

LRESULT CParamListCtrl::OnBeginLabelEdit(const NMLVDISPINFO* info)
{
    if (!info)
        return 1;
    return IsCellReadOnly(info->item.iItem, info->item.iSubItem) || IsChoiceRow(info->item.iItem) ? 1 : 0;
}

void CParamListCtrl::SendEndLabelEdit(int nRow, int nCol, const QString& text)
{
    NMLVDISPINFO info;
    info.hdr.hwndFrom = this;
    info.hdr.idFrom = UINT(GetDlgCtrlID(this));
    info.hdr.code = stavo::LVN_ENDLABELEDIT;
    info.item.mask = stavo::LVIF_TEXT;
    info.item.iItem = nRow;
    info.item.iSubItem = nCol;
    info.item.pszText = text;
    info.item.cchTextMax = int(text.size());
    SendMessage(stavo::WM_NOTIFY, info.hdr.idFrom, LPARAM(&info));
}

LRESULT CParamListCtrl::OnEndLabelEdit(const NMLVDISPINFO* info)
{
    if (!info)
        return 0;
    SetItemText(info->item.iItem, info->item.iSubItem, info->item.pszText);
    m_nCurColumn = info->item.iSubItem;
    notifyParent(stavo::WM_LIST_CELLEDITED, WPARAM(GetDlgCtrlID(this)), LPARAM(info));
    return 0;
}

LRESULT CParamListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN: OnKeyDown(UINT(wParam)); return 0;
    case stavo::WM_NOTIFY: {
        const auto* info = reinterpret_cast<const NMLVDISPINFO*>(lParam);
        if (!info)
            return 0;
        if (info->hdr.code == stavo::LVN_ENDLABELEDIT)
            return OnEndLabelEdit(info);
        if (info->hdr.code == stavo::LVN_BEGINLABELEDIT)
            return OnBeginLabelEdit(info);
        return 0;
    }
    default: return Window::WindowProc(message, wParam, lParam);
    }
}
