#include "MyTabCtrl.h"

#include "MyDialog.h"
#include "SysColors.h"

#include <platform/Controls.h>

#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

// Rectangles in the handheld's terms: right and bottom lie just outside. The drawing below follows
// edge arithmetic in these terms and converts to QRect only to paint.
struct Edges {
    int left = 0, top = 0, right = 0, bottom = 0;
    static Edges of(const QRect& r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }
    QRect rect() const { return QRect(left, top, right - left, bottom - top); }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

void fillSolid(QPainter* dc, int x, int y, int cx, int cy, COLORREF c)
{
    // Negative extents count back from x or y, as the handheld's fill does.
    if (cx < 0) {
        x += cx;
        cx = -cx;
    }
    if (cy < 0) {
        y += cy;
        cy = -cy;
    }
    if (cx > 0 && cy > 0)
        dc->fillRect(QRect(x, y, cx, cy), qcolor(c));
}

void fillSolid(QPainter* dc, const Edges& e, COLORREF c) { fillSolid(dc, e.left, e.top, e.width(), e.height(), c); }

// Top and left in one colour, right and bottom in the other, each one pixel wide.
void draw3dRect(QPainter* dc, const Edges& e, COLORREF topLeft, COLORREF bottomRight)
{
    const int x = e.left, y = e.top, cx = e.width(), cy = e.height();
    fillSolid(dc, x, y, cx - 1, 1, topLeft);
    fillSolid(dc, x, y, 1, cy - 1, topLeft);
    fillSolid(dc, x + cx, y, -1, cy, bottomRight);
    fillSolid(dc, x, y + cy, cx, -1, bottomRight);
}

// One channel times a factor the caller has already limited to >= 0, truncated and limited to 255.
// An infinite factor must not reach the conversion to int: it would not fit (0 times it is no number).
int scale(int channel, float f)
{
    if (channel == 0)
        return 0;
    const float v = float(channel) * f;
    return v >= 255.0f ? 255 : int(v);
}

// A factor that is not a number leaves the colour as it is.
float usable(float f) { return std::isnan(f) ? 1.0f : f; }

} // namespace

CMyTabCtrl::CMyTabCtrl(QWidget* parent) : CTabCtrl(parent), m_nCurPage(0), m_crBkgnd(kDefaultBkgnd)
{
    vRemoveAllDlg();
    Init();
}

CMyTabCtrl::~CMyTabCtrl()
{
    // Pages go before the widget's children are torn down, so each is deleted exactly once.
    vRemoveAllDlg();
    m_arrStaticTabs.RemoveAll();
}

void CMyTabCtrl::Init() { m_nCurPage = 0; }

void CMyTabCtrl::vRemoveAllDlg()
{
    for (int i = m_pages.GetSize() - 1; i >= 0; --i) {
        CObject* page = m_pages[i];
        m_pages[i] = nullptr;
        delete page;
    }
    m_pages.RemoveAll();
}

CMyDialog* CMyTabCtrl::PageAt(int index) const { return dynamic_cast<CMyDialog*>(m_pages.GetAt(index)); }

void CMyTabCtrl::SetRectangle()
{
    if (m_pages.GetSize() == 0)
        return;
    QRect tab0;
    if (!GetItemRect(0, &tab0))
        tab0 = QRect(2, 2, 0, RowBottom() - 2);
    // Placed as if the strip were not scrolled: the page area does not move with the tabs.
    const Edges client = Edges::of(rect());
    const int x = tab0.x() + ScrollOffset();
    const int y = tab0.y() + tab0.height();
    const QRect area(x, y, client.right - x, client.bottom - y);
    // The page showing is the current one, so the pages and m_nCurPage never disagree.
    const int current = PageAt(m_nCurPage) ? m_nCurPage : 0;
    m_nCurPage = current;
    for (int i = 0; i < m_pages.GetSize(); ++i) {
        CMyDialog* page = PageAt(i);
        if (!page || i == current)
            continue;
        page->setGeometry(area);
        page->raise();
        page->hide();
    }
    if (CMyDialog* page = PageAt(current)) {
        page->setGeometry(area);
        page->raise();
        page->show();
    }
}

BOOL CMyTabCtrl::EnableDraw(int nType)
{
    if (nType < 0 || nType > 2)
        return FALSE;
    ModifyStyle(TCS_OWNERDRAWFIXED, 0);
    update();
    return TRUE;
}

void CMyTabCtrl::EnableCustomLook(BOOL, DWORD) {}

void CMyTabCtrl::SetBkgndColor(COLORREF cr)
{
    m_crBkgnd = cr;
    update();
}

void CMyTabCtrl::PreSubclassWindow()
{
    CTabCtrl::PreSubclassWindow();
    ModifyStyle(0, TCS_OWNERDRAWFIXED);
}

COLORREF CMyTabCtrl::Darker(COLORREF cr, float f)
{
    f = std::clamp(usable(f), 0.0f, 1.0f);
    return RGB(scale(GetRValue(cr), f), scale(GetGValue(cr), f), scale(GetBValue(cr), f));
}

COLORREF CMyTabCtrl::Lighter(COLORREF cr, float f)
{
    f = std::max(usable(f), 1.0f);
    return RGB(scale(GetRValue(cr), f), scale(GetGValue(cr), f), scale(GetBValue(cr), f));
}

COLORREF CMyTabCtrl::baseColor() const
{
    return m_crBkgnd == kSysButtonFace ? tessel::GetSysColor(tessel::COLOR_BTNFACE) : m_crBkgnd;
}

COLORREF CMyTabCtrl::GetTabColor(BOOL bSelected)
{
    return bSelected ? Lighter(baseColor(), 1.4f) : Darker(baseColor(), 0.9f);
}

COLORREF CMyTabCtrl::GetTabTextColor(BOOL bSelected)
{
    return bSelected ? tessel::GetSysColor(tessel::COLOR_WINDOWTEXT) : Darker(baseColor(), 0.5f);
}

bool CMyTabCtrl::isStaticTab(int index) const
{
    for (const qintptr t : m_arrStaticTabs)
        if (t == index)
            return true;
    return false;
}

LRESULT CMyTabCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TAB_ARROW_FOCUS)
        return OnArrowFocus(wParam, lParam);
    return CTabCtrl::WindowProc(message, wParam, lParam);
}

bool CMyTabCtrl::switchToFocusedTab()
{
    const int focused = GetCurFocus();
    if (focused < 0 || isStaticTab(focused) || focused == m_nCurPage)
        return false;
    if (CMyDialog* old = PageAt(m_nCurPage))
        old->vShowWindow(SW_HIDE);
    m_nCurPage = focused;
    CMyDialog* page = PageAt(m_nCurPage);
    if (page)
        page->vShowWindow(SW_SHOW);
    if (Window* parent = Window::FromWidget(parentWidget()))
        parent->SendMessage(WM_TAB_PAGE_CHANGED, 0, 0);
    if (page)
        page->SendMessage(WM_TAB_PAGE_CHANGED, 0, 0);
    return true;
}

void CMyTabCtrl::OnLButtonDown(UINT nFlags, QPoint point)
{
    CTabCtrl::OnLButtonDown(nFlags, point);
    if (switchToFocusedTab())
        setFocus(Qt::MouseFocusReason);
}

void CMyTabCtrl::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar != VK_LEFT && nChar != VK_RIGHT)
        return;
    CTabCtrl::OnKeyUp(nChar, nRepCnt, nFlags);
    switchToFocusedTab();
}

LRESULT CMyTabCtrl::OnArrowFocus(WPARAM, LPARAM)
{
    if (CMyDialog* old = PageAt(m_nCurPage))
        old->vShowWindow(SW_HIDE);
    m_nCurPage = GetCurFocus();
    if (CMyDialog* page = PageAt(m_nCurPage)) {
        page->vShowWindow(SW_SHOW);
        page->setFocus(Qt::OtherFocusReason);
    }
    return 0;
}

BOOL CMyTabCtrl::OnEraseBkgnd(QPainter* dc)
{
    CTabCtrl::OnEraseBkgnd(dc);
    const COLORREF strip = baseColor();
    const Edges cr = Edges::of(rect());
    Edges tu;
    bool any = false;
    for (int i = 0; i < GetItemCount(); ++i) {
        QRect r;
        GetItemRect(i, &r);
        const Edges e = Edges::of(r);
        if (!any)
            tu = e;
        tu = {std::min(tu.left, e.left), std::min(tu.top, e.top), std::max(tu.right, e.right),
              std::max(tu.bottom, e.bottom)};
        any = true;
    }
    const int h = tu.height();
    tu = {tu.left - 2, tu.top - 3, tu.right + 2, tu.bottom + 3};
    fillSolid(dc, {cr.left, cr.top, cr.right, tu.top + 3}, strip);           // band above the tabs
    fillSolid(dc, {cr.left, cr.top, 2, cr.top + h + 2}, strip);              // band left of the tabs
    // Right of the last tab; measured from the tabs' union so that it also holds on a scrolled strip
    // (unscrolled this is the same edge as left + union width - 2).
    fillSolid(dc, {tu.right - 2, cr.top, cr.right, cr.top + h + 2}, strip);
    return TRUE;
}

void CMyTabCtrl::OnPaint(QPainter* dc)
{
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_TAB;
    dis.CtlID = UINT(GetDlgCtrlID(this));
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = this;
    dis.hDC = dc;

    QRect page = rect();
    AdjustRect(FALSE, &page);
    Edges item = Edges::of(rect());
    item.top = Edges::of(page).top - 2;
    dis.rcItem = item.rect();
    DrawMainBorder(&dis);

    const int count = GetItemCount();
    if (count == 0)
        return;
    const int sel = GetCurSel();
    for (int i = count - 1; i >= 0; --i) {
        if (i == sel)
            continue;
        QRect r;
        GetItemRect(i, &r);
        Edges e = Edges::of(r);
        e.bottom -= 2;
        dis.itemID = UINT(i);
        dis.itemState = 0;
        dis.rcItem = e.rect();
        DrawItem(&dis);
        DrawItemBorder(&dis);
    }
    QRect r;
    if (!GetItemRect(sel, &r))
        return;
    Edges e = Edges::of(r);
    e.bottom += 2;
    e.top -= 2;
    dis.itemID = UINT(sel);
    dis.itemState = ODS_SELECTED;
    dis.rcItem = e.rect();
    DrawItem(&dis);
    DrawItemBorder(&dis);
}

void CMyTabCtrl::DrawMainBorder(DRAWITEMSTRUCT* dis)
{
    const COLORREF tab = GetTabColor(FALSE);
    draw3dRect(dis->hDC, Edges::of(dis->rcItem), Lighter(tab, 1.5f), Darker(tab, 0.75f));
}

void CMyTabCtrl::DrawItem(DRAWITEMSTRUCT* dis)
{
    QPainter* dc = dis->hDC;
    const int index = int(dis->itemID);
    const bool selected = index == GetCurSel() || isStaticTab(index);
    Edges r = Edges::of(dis->rcItem);
    r.bottom += selected ? -1 : 2;

    const COLORREF from = GetTabColor(selected);
    const COLORREF to = selected ? tessel::GetSysColor(tessel::COLOR_BTNFACE) : Darker(baseColor(), 0.7f);
    const int height = r.height();
    for (int i = 0; i < height; i += 2) {
        auto channel = [&](int a, int b) { return a + (i * (b - a)) / height; };
        const COLORREF band = RGB(channel(GetRValue(from), GetRValue(to)), channel(GetGValue(from), GetGValue(to)),
                                  channel(GetBValue(from), GetBValue(to)));
        fillSolid(dc, {r.left, r.top + i, r.right, r.top + i + 2}, band);
    }

    Edges text = {r.left + 3, r.top + 3 + (selected ? 1 : 0), r.right, r.bottom};
    const QString label = GetItemText(index).left(99);
    const int image = GetItemImage(index);
    if (HasImageList()) {
        if (const QPixmap pm = GetImage(image); !pm.isNull())
            dc->drawPixmap(text.left, text.top, pm);
        text.left += 19;
    }
    text.right = r.right - 3;
    if (text.width() <= 0 || text.height() <= 0)
        return;
    dc->setPen(qcolor(GetTabTextColor(selected)));
    dc->setBackgroundMode(Qt::TransparentMode);
    dc->drawText(text.rect(), Qt::AlignHCenter | Qt::AlignTop, label);
}

void CMyTabCtrl::DrawItemBorder(DRAWITEMSTRUCT* dis)
{
    QPainter* dc = dis->hDC;
    const bool selected = int(dis->itemID) == GetCurSel();
    const COLORREF tab = GetTabColor(selected);
    const COLORREF highlight = Lighter(tab, 1.5f);
    const COLORREF shadow = Darker(tab, 0.75f);
    Edges r = Edges::of(dis->rcItem);
    if (selected) {
        r.bottom -= 1;
        fillSolid(dc, r.left, r.top, 1, r.height(), highlight);
        fillSolid(dc, r.left, r.top, r.width(), 1, highlight);
        fillSolid(dc, r.right - 1, r.top, 1, r.height(), shadow);
    } else {
        fillSolid(dc, r.left - 1, r.top, 1, r.height(), shadow);
        fillSolid(dc, r.right - 1, r.top, 1, r.height(), shadow);
    }
}
