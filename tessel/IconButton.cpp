#include "IconButton.h"

#include "SysColors.h"

#include <platform/Controls.h>

#include <QCursor>
#include <QDesktopServices>
#include <QEvent>
#include <QFocusEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include <algorithm>

using namespace platform;
using tessel::GetSysColor;

namespace {

constexpr UINT kWmActivate = 0x0006;
constexpr UINT kWmKillFocus = 0x0008;
constexpr UINT kWmCancelMode = 0x001F;
constexpr UINT kWmGetDlgCode = 0x0087;
constexpr UINT kDlgcButton = 0x2000;
constexpr DWORD kTypeBits = 0x1F;
constexpr DWORD kBs3State = 0x0005;
constexpr DWORD kBsAuto3State = 0x0006;

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// A one-pixel frame on the rectangle's edges.
void frameRect(QPainter* p, const QRect& r, COLORREF c)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const QColor q = qcolor(c);
    p->fillRect(QRect(r.left(), r.top(), r.width(), 1), q);
    p->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), q);
    p->fillRect(QRect(r.left(), r.top(), 1, r.height()), q);
    p->fillRect(QRect(r.right(), r.top(), 1, r.height()), q);
}

// Top and left in one colour, right and bottom in the other.
void draw3dRect(QPainter* p, const QRect& r, COLORREF topLeft, COLORREF bottomRight)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p->fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), qcolor(topLeft));
    p->fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), qcolor(topLeft));
    p->fillRect(QRect(r.right(), r.top(), 1, r.height()), qcolor(bottomRight));
    p->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), qcolor(bottomRight));
}

// The handheld's standard cursors by their ids.
bool standardCursor(int id, Qt::CursorShape* shape)
{
    switch (id) {
    case 32512: *shape = Qt::ArrowCursor; return true;
    case 32513: *shape = Qt::IBeamCursor; return true;
    case 32514: *shape = Qt::WaitCursor; return true;
    case 32515: *shape = Qt::CrossCursor; return true;
    case 32516: *shape = Qt::UpArrowCursor; return true;
    case 32646: *shape = Qt::SizeAllCursor; return true;
    case 32648: *shape = Qt::ForbiddenCursor; return true;
    case 32649: *shape = Qt::PointingHandCursor; return true;
    case 32650: *shape = Qt::BusyCursor; return true;
    case 32651: *shape = Qt::WhatsThisCursor; return true;
    default: return false;
    }
}

} // namespace

CIconButton::CIconButton(QWidget* parent) : QPushButton(parent), Window(this)
{
    setAutoDefault(false);
    setMouseTracking(true);
    SetDefaultColors(FALSE);
    connect(this, &QAbstractButton::clicked, this, [this] {
        OnClicked();
        // The dialog hears of the click after the button has handled it.
        if (Window* owner = Window::FromWidget(parentWidget()))
            owner->SendMessage(WM_COMMAND, MAKELONG(WORD(GetDlgCtrlID(this)), BN_CLICKED), LPARAM(this));
    });
}

CIconButton::~CIconButton()
{
    KillTimer(kHoverTimer);
    FreeResources(TRUE);
}

void CIconButton::PreSubclassWindow()
{
    const DWORD style = GetStyle(this);
    m_nTypeStyle = style & kTypeBits;
    // The type is a number, not a set of flags: tested bit by bit, an owner-drawn button (0x0B) became a
    // check box and a radio or three-state button the default button.
    switch (m_nTypeStyle) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case kBs3State:
    case kBsAuto3State: m_bIsCheckBox = true; break;
    case BS_DEFPUSHBUTTON:
        m_bIsDefault = true;
        m_nTypeStyle = BS_PUSHBUTTON;
        break;
    default: break;
    }
    SetStyle(this, (style & ~kTypeBits) | BS_OWNERDRAW);
    m_bSubclassed = true;
    update();
}

void CIconButton::OnSetStyle(DWORD style)
{
    const DWORD type = style & kTypeBits;
    if (type == BS_DEFPUSHBUTTON)
        m_bIsDefault = true;
    else if (type == BS_PUSHBUTTON)
        m_bIsDefault = false;
    SetStyle(this, (style & ~kTypeBits) | BS_OWNERDRAW);
}

UINT CIconButton::OnGetDlgCode() const { return kDlgcButton | (m_bIsDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON); }

LRESULT CIconButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case BM_SETSTATE: setDown(wParam != 0); update(); return 0;
    case BM_SETSTYLE:
        OnSetStyle(DWORD(wParam));
        if (lParam)
            update();
        return 0;
    case WM_MOUSELEAVE: CancelHover(); return 0;
    case kWmGetDlgCode: return LRESULT(OnGetDlgCode());
    case WM_ENABLE: OnEnable(wParam ? TRUE : FALSE); return 0;
    case kWmKillFocus:
    case kWmCancelMode: CancelHover(); return 0;
    case kWmActivate:
        if (LOWORD(wParam) == 0)
            CancelHover();
        return 0;
    case WM_TIMER:
        if (wParam == kHoverTimer) {
            if (!rect().contains(mapFromGlobal(QCursor::pos())))
                PostMessage(WM_MOUSELEAVE, 0, 0);
            return 0;
        }
        break;
    default: break;
    }
    return Window::WindowProc(message, wParam, lParam);
}

// ---- Setters ----

DWORD CIconButton::SetIcon(int nIconIn, QSize sizeIn, int nIconOut, QSize sizeOut, int nIconDis, QSize sizeDis)
{
    HICON in = nIconIn ? LoadIcon(UINT(nIconIn)) : nullptr;
    HICON out = nIconOut ? LoadIcon(UINT(nIconOut)) : nullptr;
    HICON dis = nIconDis ? LoadIcon(UINT(nIconDis)) : nullptr;
    const DWORD r = SetIcon(in, sizeIn, out, sizeOut, dis, sizeDis);
    // Without a first icon the others are not kept: they were loaded here, so they go here.
    if (!in) {
        DestroyIcon(out);
        DestroyIcon(dis);
    }
    return r;
}

DWORD CIconButton::SetIcon(HICON hIconIn, QSize sizeIn, HICON hIconOut, QSize sizeOut, HICON hIconDis, QSize sizeDis)
{
    // The icons held now go, except one that is handed back to be held again: destroying it here
    // would leave the button holding a dead handle.
    const HICON keep[3] = {hIconIn, hIconIn ? hIconOut : nullptr, hIconIn ? hIconDis : nullptr};
    for (Icon& icon : m_csIcons) {
        if (icon.handle && std::find(std::begin(keep), std::end(keep), icon.handle) == std::end(keep))
            DestroyIcon(icon.handle);
        icon = Icon();
    }
    if (hIconIn) {
        auto sized = [](HICON h, QSize s) { return Icon{h, s.isEmpty() ? IconSize(h) : s}; };
        m_csIcons[0] = sized(hIconIn, sizeIn);
        if (hIconOut)
            m_csIcons[1] = sized(hIconOut, sizeOut);
        if (hIconDis)
            m_csIcons[2] = sized(hIconDis, sizeDis);
    }
    update();
    return BTNST_OK;
}

HICON CIconButton::IconHandle(int slot) const { return slot >= 0 && slot < 3 ? m_csIcons[slot].handle : nullptr; }

QSize CIconButton::IconDrawSize(int slot) const { return slot >= 0 && slot < 3 ? m_csIcons[slot].size : QSize(); }

DWORD CIconButton::SetFlat(BOOL bFlat, BOOL bRepaint)
{
    m_bIsFlat = bFlat != FALSE;
    if (bRepaint)
        update();
    return BTNST_OK;
}

DWORD CIconButton::DrawBorder(BOOL bDrawBorder, BOOL bRepaint)
{
    m_bDrawBorder = bDrawBorder != FALSE;
    if (bRepaint)
        update();
    return BTNST_OK;
}

DWORD CIconButton::DrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint)
{
    m_bDrawFlatFocus = bDrawFlatFocus != FALSE;
    if (bRepaint)
        update();
    return BTNST_OK;
}

DWORD CIconButton::SetAlwaysTrack(BOOL bAlwaysTrack)
{
    m_bAlwaysTrack = bAlwaysTrack != FALSE;
    return BTNST_OK;
}

DWORD CIconButton::SetAlign(BYTE byAlign, BOOL bRepaint)
{
    if (byAlign > ST_ALIGN_HORIZ_RIGHT)
        return BTNST_INVALIDALIGN;
    m_byAlign = byAlign;
    if (bRepaint)
        update();
    return BTNST_OK;
}

DWORD CIconButton::SetColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint)
{
    if (byColorIndex >= BTNST_MAX_COLORS)
        return BTNST_INVALIDINDEX;
    m_crColors[byColorIndex] = crColor;
    if (bRepaint)
        update();
    return BTNST_OK;
}

DWORD CIconButton::GetColor(BYTE byColorIndex, COLORREF* crpColor) const
{
    if (byColorIndex >= BTNST_MAX_COLORS)
        return BTNST_INVALIDINDEX;
    if (crpColor)
        *crpColor = m_crColors[byColorIndex];
    return BTNST_OK;
}

DWORD CIconButton::SetDefaultColors(BOOL bRepaint)
{
    for (int i = 0; i < BTNST_MAX_COLORS; ++i)
        m_crColors[i] = GetSysColor(i % 2 == 0 ? tessel::COLOR_BTNFACE : tessel::COLOR_BTNTEXT);
    if (bRepaint)
        update();
    return BTNST_OK;
}

DWORD CIconButton::SetCheck(int nCheck, BOOL bRepaint)
{
    if (m_bIsCheckBox) {
        m_nCheck = nCheck ? 1 : 0;
        if (bRepaint)
            update();
    }
    return BTNST_OK;
}

DWORD CIconButton::vSetCheckBox(BOOL bCheckBox)
{
    m_bIsCheckBox = bCheckBox != FALSE;
    m_nCheck = 0;
    update();
    return BTNST_OK;
}

DWORD CIconButton::SetURL(const wchar_t* lpszURL)
{
    return SetURL(lpszURL ? QString::fromWCharArray(lpszURL) : QString());
}

DWORD CIconButton::SetURL(const QString& url)
{
    m_strUrl = url.left(kMaxUrl);
    return BTNST_OK;
}

DWORD CIconButton::SetBtnCursor(int nCursorId, BOOL bRepaint)
{
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (nCursorId == 0) {
        m_bHasCursor = false;
        unsetCursor();
    } else if (standardCursor(nCursorId, &shape)) {
        m_bHasCursor = true;
        m_cursor = shape;
        setCursor(shape);
    } else if (HICON h = LoadIcon(UINT(nCursorId))) {
        m_bHasCursor = true;
        setCursor(QCursor(QPixmap::fromImage(IconImage(h))));
        DestroyIcon(h);
    } // a cursor that does not load leaves the one there was
    if (bRepaint)
        update();
    return BTNST_OK;
}

DWORD CIconButton::FreeResources(BOOL bCheckForNull)
{
    for (Icon& icon : m_csIcons) {
        if (bCheckForNull && icon.handle)
            DestroyIcon(icon.handle);
        icon = Icon();
    }
    m_bIsCheckBox = false;
    return BTNST_OK;
}

// ---- Menu ----

DWORD CIconButton::SetMenu(UINT nMenu, QWidget* pParent, BOOL bRepaint)
{
    if (nMenu == 0) {
        m_bHasMenu = false;
        m_menu.clear();
        m_pMenuParent = nullptr;
    } else if (const std::vector<MenuItemTemplate>* items = FindMenuTemplate(nMenu)) {
        m_menu.clear();
        for (const MenuItemTemplate& i : *items)
            m_menu.push_back({i.id, i.text, false});
        m_pMenuParent = pParent;
        m_bHasMenu = true;
    } // a menu that does not load leaves the one there was
    if (bRepaint)
        update();
    return BTNST_OK;
}

void CIconButton::vShowMenu()
{
    if (!m_bHasMenu)
        return;
    QMenu menu(this);
    for (const MenuItem& item : m_menu) {
        if (item.id == 0 && item.text.isEmpty()) {
            menu.addSeparator();
            continue;
        }
        QAction* a = menu.addAction(item.text);
        a->setData(item.id);
        a->setCheckable(item.checked);
        a->setChecked(item.checked);
    }
    QAction* chosen = menu.exec(mapToGlobal(QPoint(0, height())));
    setDown(false);
    update();
    if (!chosen)
        return;
    m_strSelectedMenu = chosen->text();
    QWidget* owner = m_pMenuParent ? m_pMenuParent : parentWidget();
    if (Window* w = Window::FromWidget(owner))
        w->SendMessage(WM_COMMAND, WPARAM(chosen->data().toUInt()), 0);
}

void CIconButton::vInsertMenu(UINT nPosition, UINT nIDNewItem, const QString& text)
{
    const std::size_t at = std::min<std::size_t>(nPosition, m_menu.size());
    m_menu.insert(m_menu.begin() + std::ptrdiff_t(at), MenuItem{nIDNewItem, text, false});
    m_bHasMenu = true;
}

void CIconButton::vRemoveMenu(UINT nIDItem)
{
    m_menu.erase(std::remove_if(m_menu.begin(), m_menu.end(), [&](const MenuItem& i) { return i.id == nIDItem; }),
                 m_menu.end());
}

void CIconButton::vModifyMenu(UINT nIDItem, const QString& text)
{
    for (MenuItem& i : m_menu)
        if (i.id == nIDItem)
            i.text = text;
}

void CIconButton::vCheckMenuItem(UINT nIDItem, BOOL bCheck)
{
    for (MenuItem& i : m_menu)
        if (i.id == nIDItem)
            i.checked = bCheck != FALSE;
}

// ---- Events ----

void CIconButton::OnClicked()
{
    if (m_bIsCheckBox) {
        m_nCheck = m_nCheck ? 0 : 1;
        update();
        return;
    }
    if (!m_strUrl.isEmpty()) {
        QDesktopServices::openUrl(QUrl::fromUserInput(m_strUrl));
        return;
    }
    if (m_bHasMenu)
        vShowMenu();
}

void CIconButton::OnMouseMove(UINT nFlags, QPoint point)
{
    if (!m_bIsFlat)
        return;
    const bool leftHeld = nFlags & 0x0001;
    if (leftHeld && !m_bMouseOnButton)
        return;
    if (!m_bAlwaysTrack && !isActiveWindow())
        return;
    if (rect().contains(point) && !m_bMouseOnButton) {
        m_bMouseOnButton = true;
        update();
        m_nHoverTimer = SetTimer(kHoverTimer, kHoverPeriodMs);
    }
}

void CIconButton::CancelHover()
{
    if (m_nHoverTimer) {
        KillTimer(m_nHoverTimer);
        m_nHoverTimer = 0;
    }
    if (m_bMouseOnButton) {
        m_bMouseOnButton = false;
        update();
    }
}

void CIconButton::OnEnable(BOOL bEnable)
{
    if (bEnable)
        return;
    QWidget* parent = parentWidget();
    if (parent) {
        QWidget* next = nullptr;
        for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
            if (parent->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(parent)) {
                next = w;
                break;
            }
        (next ? next : parent)->setFocus(Qt::OtherFocusReason);
    }
    CancelHover();
}

void CIconButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        SendMessage(BM_SETSTATE, 1, 0);
    QPushButton::mousePressEvent(e);
}

void CIconButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    // A second tap is a tap like the first.
    mousePressEvent(e);
}

void CIconButton::mouseMoveEvent(QMouseEvent* e)
{
    OnMouseMove((e->buttons() & Qt::LeftButton) ? 0x0001 : 0, e->position().toPoint());
    QPushButton::mouseMoveEvent(e);
}

void CIconButton::focusOutEvent(QFocusEvent* e)
{
    CancelHover();
    QPushButton::focusOutEvent(e);
}

void CIconButton::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::ActivationChange && !isActiveWindow())
        CancelHover();
    else if (e->type() == QEvent::EnabledChange)
        OnEnable(isEnabled() ? TRUE : FALSE);
    QPushButton::changeEvent(e);
}

// ---- Drawing ----

void CIconButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(font());
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = UINT(GetDlgCtrlID(this));
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (isDown() ? ODS_SELECTED : 0) | (hasFocus() ? ODS_FOCUS : 0) | (isEnabled() ? 0 : ODS_DISABLED);
    dis.hwndItem = this;
    dis.hDC = &p;
    dis.rcItem = rect();
    DrawItem(&dis);
}

DWORD CIconButton::OnDrawBackground(QPainter* pDC, const QRect& rect)
{
    COLORREF c = m_crColors[BTNST_COLOR_BK_OUT];
    if (m_bMouseOnButton || m_bIsPressed)
        c = m_crColors[BTNST_COLOR_BK_IN];
    else if (m_bIsFocused)
        c = m_crColors[BTNST_COLOR_BK_FOCUS];
    pDC->fillRect(rect, qcolor(c));
    return BTNST_OK;
}

DWORD CIconButton::OnDrawBorder(QPainter* pDC, const QRect& rect)
{
    const COLORREF highlight = GetSysColor(tessel::COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(tessel::COLOR_BTNSHADOW);
    if (m_bIsPressed)
        draw3dRect(pDC, rect, shadow, highlight);
    else if (!m_bIsFlat || m_bMouseOnButton)
        draw3dRect(pDC, rect, highlight, shadow);
    return BTNST_OK;
}

void CIconButton::DrawItem(DRAWITEMSTRUCT* lpDIS)
{
    QPainter* p = lpDIS->hDC;
    m_bIsPressed = (lpDIS->itemState & ODS_SELECTED) || (m_bIsCheckBox && m_nCheck);
    m_bIsFocused = (lpDIS->itemState & ODS_FOCUS) != 0;
    m_bIsDisabled = (lpDIS->itemState & ODS_DISABLED) != 0;
    p->setBackgroundMode(Qt::TransparentMode);

    QRect item = lpDIS->rcItem;
    if (!m_bIsFlat && (m_bIsFocused || m_bIsDefault)) {
        frameRect(p, item, RGB(0, 0, 0));
        item.adjust(1, 1, -1, -1); // the frame stays visible around what follows
    }
    OnDrawBackground(p, item);
    if (m_bIsPressed)
        frameRect(p, item, GetSysColor(tessel::COLOR_BTNSHADOW));
    if (!m_bIsFlat || m_bDrawBorder)
        OnDrawBorder(p, item);

    const QString caption = text().left(256);
    QRect captionRect = item;
    const bool hasIcon = m_csIcons[0].handle != nullptr;
    if (hasIcon)
        drawIcon(p, lpDIS->rcItem, item, !caption.isEmpty(), &captionRect);
    if (!caption.isEmpty())
        drawCaption(p, caption, captionRect, hasIcon, item);

    if (m_bDrawFlatFocus && m_bIsFocused) {
        QPen pen(qcolor(RGB(0, 0, 0)), 1, Qt::DotLine);
        p->setPen(pen);
        p->setBrush(Qt::NoBrush);
        p->drawRect(item.adjusted(3, 3, -4, -4));
    }
}

void CIconButton::drawIcon(QPainter* p, const QRect& client, const QRect& item, bool hasTitle, QRect* title)
{
    int slot = 0;
    if (m_bIsDisabled)
        slot = m_csIcons[2].handle ? 2 : 0;
    else if (m_bIsCheckBox)
        slot = m_nCheck ? 0 : (m_csIcons[1].handle ? 1 : 0);
    else
        slot = (m_bIsPressed || m_bIsFocused) ? 0 : (m_csIcons[1].handle ? 1 : 0);
    const Icon& icon = m_csIcons[slot];
    const int w = icon.size.width(), h = icon.size.height();

    QPoint at;
    switch (m_byAlign) {
    case ST_ALIGN_VERT:
        at.setX(item.left() + (item.width() - w) / 2);
        if (hasTitle) {
            at.setY(item.top() + 3);
            title->setTop(title->top() + h);
        } else {
            at.setY(item.top() + (item.height() - h) / 2);
        }
        break;
    case ST_ALIGN_HORIZ_RIGHT:
        at.setY(item.top() + (item.height() - h) / 2);
        if (hasTitle) {
            title->setLeft(item.left() + 3);
            title->setRight(item.left() + item.width() - w - 3 - 1);
            at.setX(client.left() + client.width() - w - 3);
        } else {
            at.setX(item.left() + (item.width() - w) / 2);
        }
        break;
    default: // ST_ALIGN_HORIZ
        at = item.topLeft();
        title->setLeft(title->left() + w);
        break;
    }
    if (m_bIsPressed && !m_bIsCheckBox)
        at += QPoint(1, 1);
    p->drawImage(QRect(at, QSize(w, h)), IconImage(icon.handle));
}

void CIconButton::drawCaption(QPainter* p, const QString& caption, QRect area, bool hasIcon, const QRect& item)
{
    if (m_bIsPressed && !m_bIsCheckBox)
        area.translate(1, 1);
    if (!hasIcon)
        area = item.translated(area.topLeft() - item.topLeft());
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    const QRect measured = p->fontMetrics().boundingRect(QRect(0, 0, area.width(), 0x7FFF), flags, caption);
    const QRect placed(area.left() + (area.width() - measured.width()) / 2,
                       area.top() + (area.height() - measured.height()) / 2, measured.width(), measured.height());
    if (m_bIsDisabled) {
        p->setPen(qcolor(GetSysColor(tessel::COLOR_BTNHIGHLIGHT)));
        p->drawText(placed.translated(1, 1), flags, caption);
        p->setPen(qcolor(GetSysColor(tessel::COLOR_BTNSHADOW)));
        p->drawText(placed, flags, caption);
        return;
    }
    const bool in = m_bMouseOnButton || m_bIsPressed;
    p->setPen(qcolor(m_crColors[in ? BTNST_COLOR_FG_IN : BTNST_COLOR_FG_OUT]));
    p->drawText(placed, flags, caption);
}
