#include "TabCtrl.h"

#include "SysColors.h"

#include <platform/Controls.h>
#include <platform/Screen.h>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <numeric>

using namespace platform;

namespace {

constexpr int kRowTop = 2;      // tabs start 2 pixels below the top and right of the left edge
constexpr int kTabPadding = 6;  // text to tab edge, each side
constexpr int kImageWidth = 19; // image plus gap, left of the text
constexpr UINT MK_LBUTTON = 0x0001;

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// The control's face: the template font ("MS Shell Dlg" 9 points), so captions are as tall as the
// template's labels, and smoothed as all text is.
QFont tabFont() { return Screen::pointFont(9); }

} // namespace

CTabCtrl::CTabCtrl(QWidget* parent) : QWidget(parent), Window(this)
{
    setFont(tabFont());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CTabCtrl::~CTabCtrl() = default;

int CTabCtrl::InsertItem(int nItem, const QString& text, int nImage)
{
    if (nItem < 0)
        return -1;
    nItem = std::min(nItem, GetItemCount());
    m_items.insert(m_items.begin() + nItem, Item{text, nImage});
    if (m_sel < 0) {
        m_sel = m_focus = 0;
    } else {
        if (nItem <= m_sel)
            ++m_sel;
        if (nItem <= m_focus)
            ++m_focus;
    }
    EnsureVisible(m_sel);
    update();
    return nItem;
}

BOOL CTabCtrl::DeleteItem(int nItem)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    m_items.erase(m_items.begin() + nItem);
    const int count = GetItemCount();
    // The selection stays on its tab; a deleted selected tab hands it to the tab now in its place.
    auto shift = [&](int& v) {
        if (nItem < v)
            --v;
        v = std::min(v, count - 1);
    };
    shift(m_sel);
    shift(m_focus);
    m_first = std::clamp(m_first, 0, std::max(0, count - 1));
    EnsureVisible(m_sel);
    update();
    return TRUE;
}

BOOL CTabCtrl::DeleteAllItems()
{
    m_items.clear();
    m_sel = m_focus = -1;
    m_first = 0;
    update();
    return TRUE;
}

QString CTabCtrl::GetItemText(int nItem) const
{
    return nItem >= 0 && nItem < GetItemCount() ? m_items[std::size_t(nItem)].text : QString();
}

BOOL CTabCtrl::SetItemText(int nItem, const QString& text)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    m_items[std::size_t(nItem)].text = text;
    EnsureVisible(m_sel);
    update();
    return TRUE;
}

int CTabCtrl::GetItemImage(int nItem) const
{
    return nItem >= 0 && nItem < GetItemCount() ? m_items[std::size_t(nItem)].image : -1;
}

int CTabCtrl::SetCurSel(int nItem)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return -1;
    const int previous = m_sel;
    m_sel = m_focus = nItem;
    EnsureVisible(nItem);
    update();
    return previous;
}

void CTabCtrl::SetCurFocus(int nItem) { SetCurSel(nItem); }

int CTabCtrl::tabHeight() const { return QFontMetrics(font()).height() + 8; }

int CTabCtrl::RowBottom() const { return kRowTop + tabHeight(); }

int CTabCtrl::tabWidth(int i) const
{
    const Item& it = m_items[std::size_t(i)];
    int w = QFontMetrics(font()).horizontalAdvance(it.text) + 2 * kTabPadding;
    if (HasImageList() && it.image >= 0)
        w += kImageWidth;
    return std::max(w, tabHeight());
}

int CTabCtrl::stripWidth() const
{
    int w = 0;
    for (int i = 0; i < GetItemCount(); ++i)
        w += tabWidth(i);
    return w;
}

bool CTabCtrl::HasScroller() const { return kRowTop + stripWidth() + 2 > width(); }

QRect CTabCtrl::ScrollerRect() const
{
    if (!HasScroller())
        return {};
    const int h = std::max(8, tabHeight() - 4);
    const int arrow = std::max(8, h * 3 / 4);
    return {width() - 2 * arrow - 2, kRowTop, 2 * arrow, h};
}

int CTabCtrl::visibleRight() const { return HasScroller() ? ScrollerRect().left() - 1 : width(); }

int CTabCtrl::ScrollOffset() const
{
    int off = 0;
    for (int i = 0; i < std::min(m_first, GetItemCount()); ++i)
        off += tabWidth(i);
    return off;
}

BOOL CTabCtrl::GetItemRect(int nItem, QRect* rect) const
{
    if (!rect || nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    int x = kRowTop - ScrollOffset();
    for (int i = 0; i < nItem; ++i)
        x += tabWidth(i);
    *rect = QRect(x, kRowTop, tabWidth(nItem), tabHeight());
    return TRUE;
}

void CTabCtrl::AdjustRect(BOOL bLarger, QRect* rect) const
{
    if (!rect)
        return;
    const int top = RowBottom() + 2;
    if (bLarger)
        *rect = rect->adjusted(-2, -top, 2, 2);
    else
        *rect = rect->adjusted(2, top, -2, -2);
}

int CTabCtrl::HitTest(QPoint pt) const
{
    if (HasScroller() && (ScrollerRect().contains(pt) || pt.x() > visibleRight()))
        return -1;
    for (int i = 0; i < GetItemCount(); ++i) {
        QRect r;
        GetItemRect(i, &r);
        if (r.contains(pt))
            return i;
    }
    return -1;
}

DWORD CTabCtrl::GetStyle() const { return platform::GetStyle(this); }

BOOL CTabCtrl::ModifyStyle(DWORD remove, DWORD add)
{
    const DWORD old = GetStyle();
    const DWORD now = (old & ~remove) | add;
    SetStyle(this, now);
    return now != old ? TRUE : FALSE;
}

void CTabCtrl::SetImageList(const std::vector<QPixmap>& images)
{
    m_images = images;
    EnsureVisible(m_sel);
    update();
}

QPixmap CTabCtrl::GetImage(int nImage) const
{
    return nImage >= 0 && nImage < int(m_images.size()) ? m_images[std::size_t(nImage)] : QPixmap();
}

void CTabCtrl::clampFirst()
{
    if (!HasScroller()) {
        m_first = 0;
        return;
    }
    // Scroll back while the tabs from the one before the first to the last would still fit.
    while (m_first > 0) {
        int rest = 0;
        for (int i = m_first - 1; i < GetItemCount(); ++i)
            rest += tabWidth(i);
        if (kRowTop + rest > visibleRight())
            break;
        --m_first;
    }
}

void CTabCtrl::EnsureVisible(int nItem)
{
    if (nItem < 0 || nItem >= GetItemCount() || !HasScroller()) {
        clampFirst();
        return;
    }
    if (nItem < m_first)
        m_first = nItem;
    QRect r;
    while (m_first < nItem && GetItemRect(nItem, &r) && r.x() + r.width() > visibleRight())
        ++m_first;
    clampFirst();
}

LRESULT CTabCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        OnLButtonDown(UINT(wParam), QPoint(short(LOWORD(WPARAM(lParam))), short(HIWORD(WPARAM(lParam)))));
        return 0;
    case WM_KEYDOWN: OnKeyDown(UINT(wParam), 1, UINT(lParam)); return 0;
    case WM_KEYUP: OnKeyUp(UINT(wParam), 1, UINT(lParam)); return 0;
    default: return Window::WindowProc(message, wParam, lParam);
    }
}

void CTabCtrl::OnLButtonDown(UINT, QPoint point)
{
    if (HasScroller() && ScrollerRect().contains(point)) {
        const QRect s = ScrollerRect();
        if (point.x() < s.center().x() + 1) {
            m_first = std::max(0, m_first - 1);
        } else {
            QRect last;
            if (GetItemRect(GetItemCount() - 1, &last) && last.x() + last.width() > visibleRight())
                ++m_first;
        }
        update();
        return;
    }
    const int i = HitTest(point);
    if (i < 0)
        return;
    SetCurSel(i);
    setFocus(Qt::MouseFocusReason);
}

void CTabCtrl::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (nChar == VK_LEFT && m_sel > 0)
        SetCurSel(m_sel - 1);
    else if (nChar == VK_RIGHT && m_sel >= 0 && m_sel + 1 < GetItemCount())
        SetCurSel(m_sel + 1);
}

void CTabCtrl::OnKeyUp(UINT, UINT, UINT) {}

void CTabCtrl::DrawItem(DRAWITEMSTRUCT*) {}

BOOL CTabCtrl::OnEraseBkgnd(QPainter* dc)
{
    dc->fillRect(rect(), qcolor(tessel::GetSysColor(tessel::COLOR_BTNFACE)));
    return TRUE;
}

void CTabCtrl::OnPaint(QPainter* dc) { paintStandard(dc); }

void CTabCtrl::paintStandard(QPainter* p)
{
    const QColor face = qcolor(tessel::GetSysColor(tessel::COLOR_BTNFACE));
    const QColor light = qcolor(tessel::GetSysColor(tessel::COLOR_BTNHIGHLIGHT));
    const QColor dark = qcolor(tessel::GetSysColor(tessel::COLOR_BTNSHADOW));
    const QColor text = qcolor(tessel::GetSysColor(tessel::COLOR_BTNTEXT));
    const bool ownerDraw = GetStyle() & TCS_OWNERDRAWFIXED;

    // Page-area frame, its top edge along the bottom of the tab row.
    const QRect frame(0, RowBottom(), width(), height() - RowBottom());
    p->fillRect(frame.x(), frame.y(), frame.width(), 1, light);
    p->fillRect(frame.x(), frame.y(), 1, frame.height(), light);
    p->fillRect(frame.right(), frame.y(), 1, frame.height(), dark);
    p->fillRect(frame.x(), frame.bottom(), frame.width(), 1, dark);

    auto drawTab = [&](int i, bool selected) {
        QRect r;
        GetItemRect(i, &r);
        if (selected)
            r.adjust(-2, -2, 2, 1); // raised and joined to the page area
        p->fillRect(r, face);
        if (ownerDraw) {
            DRAWITEMSTRUCT dis;
            dis.CtlType = ODT_TAB;
            dis.CtlID = UINT(GetDlgCtrlID(this));
            dis.itemID = UINT(i);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = selected ? ODS_SELECTED : 0;
            dis.hwndItem = this;
            dis.hDC = p;
            dis.rcItem = r.adjusted(2, 2, -2, -1);
            p->save();
            DrawItem(&dis);
            p->restore();
        } else {
            int x = r.x() + kTabPadding;
            if (HasImageList() && GetItemImage(i) >= 0) {
                p->drawPixmap(x, r.y() + 3, GetImage(GetItemImage(i)));
                x += kImageWidth;
            }
            p->setPen(text);
            p->drawText(QRect(x, r.y() + 3, r.right() - kTabPadding - x + 1, r.height() - 3),
                        Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, GetItemText(i));
        }
        p->fillRect(r.x(), r.y(), 1, r.height(), light);
        p->fillRect(r.x(), r.y(), r.width(), 1, light);
        p->fillRect(r.right(), r.y(), 1, r.height(), dark);
    };
    for (int i = GetItemCount() - 1; i >= 0; --i)
        if (i != m_sel)
            drawTab(i, false);
    if (m_sel >= 0)
        drawTab(m_sel, true);
}

void CTabCtrl::paintScroller(QPainter* p)
{
    const QRect s = ScrollerRect();
    const QColor face = qcolor(tessel::GetSysColor(tessel::COLOR_BTNFACE));
    const QColor light = qcolor(tessel::GetSysColor(tessel::COLOR_BTNHIGHLIGHT));
    const QColor dark = qcolor(tessel::GetSysColor(tessel::COLOR_BTNSHADOW));
    // Clear the strip between the last visible pixel and the scroller, then the two arrow buttons.
    p->fillRect(QRect(visibleRight() + 1, 0, width() - visibleRight() - 1, RowBottom()), face);
    QRect last;
    GetItemRect(GetItemCount() - 1, &last);
    const bool canBack = m_first > 0;
    const bool canForward = last.x() + last.width() > visibleRight();
    const int half = s.width() / 2;
    for (int k = 0; k < 2; ++k) {
        const QRect b(s.x() + k * half, s.y(), half, s.height());
        p->fillRect(b, face);
        p->fillRect(b.x(), b.y(), b.width(), 1, light);
        p->fillRect(b.x(), b.y(), 1, b.height(), light);
        p->fillRect(b.right(), b.y(), 1, b.height(), dark);
        p->fillRect(b.x(), b.bottom(), b.width(), 1, dark);
        const bool enabled = k == 0 ? canBack : canForward;
        const QColor arrow = enabled ? qcolor(tessel::GetSysColor(tessel::COLOR_BTNTEXT)) : dark;
        const int cy = b.center().y();
        const int size = std::max(2, std::min(b.width(), b.height()) / 4);
        const int cx = b.center().x();
        for (int d = 0; d <= size; ++d) {
            // A solid triangle pointing left (k 0) or right (k 1), one column at a time.
            const int x = k == 0 ? cx - size / 2 + d : cx + size / 2 - d;
            p->fillRect(x, cy - d, 1, 2 * d + 1, arrow);
        }
    }
}

void CTabCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(font());
    OnEraseBkgnd(&p);
    OnPaint(&p);
    if (HasScroller())
        paintScroller(&p);
}

void CTabCtrl::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    const QPoint pt = e->position().toPoint();
    SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, LPARAM(MAKELONG(WORD(pt.x()), WORD(pt.y()))));
    e->accept();
}

void CTabCtrl::keyPressEvent(QKeyEvent* e)
{
    const UINT vk = VirtualKeyFromQt(e->key());
    if (vk == 0) {
        QWidget::keyPressEvent(e);
        return;
    }
    SendMessage(WM_KEYDOWN, vk, e->isAutoRepeat() ? 1 : 0);
    // Keys the tab strip has no use for go on to the dialog (Enter, Escape, Tab ...).
    if (vk == VK_LEFT || vk == VK_RIGHT)
        e->accept();
    else
        QWidget::keyPressEvent(e);
}

void CTabCtrl::keyReleaseEvent(QKeyEvent* e)
{
    // An auto-repeated key is released once, when the user lets go.
    if (e->isAutoRepeat()) {
        e->accept();
        return;
    }
    const UINT vk = VirtualKeyFromQt(e->key());
    if (vk == 0) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    SendMessage(WM_KEYUP, vk, 0);
    e->accept();
}

void CTabCtrl::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    EnsureVisible(m_sel);
}
