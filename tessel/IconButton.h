#pragma once
// An owner-drawn push button with up to three icons (normal, at rest, disabled), six colours, a flat
// mode that raises the button while the pointer is over it, an optional check-box behaviour taken
// from the button's style, a pop-up menu and a link opened through the desktop when clicked. It takes
// over a dialog's button (DDX_Control) and draws every state itself; a click still reaches the
// dialog as the button's command.

#include "DrawItem.h"
#include "TesselExport.h"

#include <platform/GdiObjects.h>
#include <platform/MenuTemplate.h>
#include <platform/Window.h>

#include <QPushButton>
#include <QSize>

#include <vector>

class QPainter;

class TESSEL_EXPORT CIconButton : public QPushButton, public platform::Window {
public:
    // Colour slots.
    enum {
        BTNST_COLOR_BK_IN = 0,   // background while pressed or hovered
        BTNST_COLOR_FG_IN = 1,   // text while pressed or hovered
        BTNST_COLOR_BK_OUT = 2,  // background at rest
        BTNST_COLOR_FG_OUT = 3,  // text at rest
        BTNST_COLOR_BK_FOCUS = 4,
        BTNST_COLOR_FG_FOCUS = 5,
        BTNST_MAX_COLORS = 6,
    };
    // Icon alignment.
    enum { ST_ALIGN_HORIZ = 0, ST_ALIGN_VERT = 1, ST_ALIGN_HORIZ_RIGHT = 2 };
    // Setter results.
    enum { BTNST_OK = 0, BTNST_INVALIDRESOURCE = 1, BTNST_FAILEDMASK = 2, BTNST_INVALIDINDEX = 3, BTNST_INVALIDALIGN = 4 };

    // Messages, owner-draw values and dialog codes of the handheld's buttons.
    static constexpr platform::UINT WM_ENABLE = 0x000A;
    static constexpr platform::UINT BM_SETSTATE = 0x00F3;
    static constexpr platform::UINT BM_SETSTYLE = 0x00F4;
    static constexpr platform::UINT WM_MOUSELEAVE = 0x02A3;
    static constexpr platform::UINT ODT_BUTTON = 4;
    static constexpr platform::UINT ODS_DISABLED = 0x0004;
    static constexpr platform::UINT ODS_FOCUS = 0x0010;
    static constexpr platform::UINT DLGC_DEFPUSHBUTTON = 0x0010;
    static constexpr platform::UINT DLGC_UNDEFPUSHBUTTON = 0x0020;
    static constexpr platform::DWORD BS_OWNERDRAW = 0x000B;

    static constexpr platform::UINT kHoverTimer = 1;
    static constexpr platform::UINT kHoverPeriodMs = 50;
    static constexpr int kMaxUrl = 260;

    explicit CIconButton(QWidget* parent = nullptr);
    ~CIconButton() override;

    platform::DWORD SetIcon(int nIconIn, QSize sizeIn, int nIconOut = 0, QSize sizeOut = QSize(), int nIconDis = 0,
                            QSize sizeDis = QSize());
    platform::DWORD SetIcon(platform::HICON hIconIn, QSize sizeIn, platform::HICON hIconOut = nullptr,
                            QSize sizeOut = QSize(), platform::HICON hIconDis = nullptr, QSize sizeDis = QSize());
    platform::DWORD SetFlat(platform::BOOL bFlat = platform::TRUE, platform::BOOL bRepaint = platform::TRUE);
    platform::DWORD DrawBorder(platform::BOOL bDrawBorder = platform::TRUE, platform::BOOL bRepaint = platform::TRUE);
    platform::DWORD DrawFlatFocus(platform::BOOL bDrawFlatFocus, platform::BOOL bRepaint = platform::TRUE);
    platform::DWORD SetAlwaysTrack(platform::BOOL bAlwaysTrack = platform::TRUE);
    platform::DWORD SetAlign(platform::BYTE byAlign, platform::BOOL bRepaint = platform::TRUE);
    platform::DWORD SetColor(platform::BYTE byColorIndex, platform::COLORREF crColor,
                             platform::BOOL bRepaint = platform::TRUE);
    platform::DWORD GetColor(platform::BYTE byColorIndex, platform::COLORREF* crpColor) const;
    platform::DWORD SetDefaultColors(platform::BOOL bRepaint = platform::TRUE);
    platform::DWORD SetCheck(int nCheck, platform::BOOL bRepaint = platform::TRUE);
    int GetCheck() const { return m_nCheck; }
    platform::DWORD vSetCheckBox(platform::BOOL bCheckBox);
    platform::BOOL GetDefault() const { return m_bIsDefault ? platform::TRUE : platform::FALSE; }
    // Up to 260 characters; null or empty clears the link.
    platform::DWORD SetURL(const wchar_t* lpszURL);
    platform::DWORD SetURL(const QString& url);
    QString GetURL() const { return m_strUrl; }
    // A standard cursor id (IDC_ARROW 32512, IDC_HAND 32649, ...) or an icon resource; 0 removes it.
    platform::DWORD SetBtnCursor(int nCursorId = 0, platform::BOOL bRepaint = platform::TRUE);

    // Pop-up menu: nMenu 0 removes it. Commands chosen go to pParent as WM_COMMAND.
    platform::DWORD SetMenu(platform::UINT nMenu, QWidget* pParent, platform::BOOL bRepaint = platform::TRUE);
    void vShowMenu();
    void vInsertMenu(platform::UINT nPosition, platform::UINT nIDNewItem, const QString& text);
    void vRemoveMenu(platform::UINT nIDItem);
    void vModifyMenu(platform::UINT nIDItem, const QString& text);
    void vCheckMenuItem(platform::UINT nIDItem, platform::BOOL bCheck);
    // The text of the item chosen last, empty before a choice.
    QString strGetSelectedMenu() const { return m_strSelectedMenu; }

    platform::DWORD FreeResources(platform::BOOL bCheckForNull = platform::TRUE);

    // State, for the drawing and for callers.
    bool IsFlat() const { return m_bIsFlat; }
    bool IsHovering() const { return m_bMouseOnButton; }
    bool IsCheckBox() const { return m_bIsCheckBox; }
    platform::HICON IconHandle(int slot) const;
    QSize IconDrawSize(int slot) const;
    platform::BYTE Align() const { return m_byAlign; }
    platform::DWORD ButtonType() const { return m_nTypeStyle; }

    // Drawing of one state; the widget's paint builds the record from its state.
    virtual void DrawItem(DRAWITEMSTRUCT* lpDIS);
    virtual platform::DWORD OnDrawBorder(QPainter* pDC, const QRect& rect);
    virtual platform::DWORD OnDrawBackground(QPainter* pDC, const QRect& rect);

    platform::UINT OnGetDlgCode() const;
    void PreSubclassWindow() override;
    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override;
    QString ClassName() const override { return QStringLiteral("Button"); }

protected:
    virtual void OnClicked();
    virtual void OnMouseMove(platform::UINT nFlags, QPoint point);
    void OnEnable(platform::BOOL bEnable);
    void CancelHover();
    void OnSetStyle(platform::DWORD style);

    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;

    struct Icon {
        platform::HICON handle = nullptr;
        QSize size;
    };
    struct MenuItem {
        platform::UINT id = 0;
        QString text;
        bool checked = false;
    };

    bool m_bIsFocused = false;
    bool m_bIsFlat = false;
    bool m_bMouseOnButton = false;
    bool m_bIsPressed = false;
    bool m_bIsDisabled = false;
    bool m_bIsDefault = false;
    bool m_bIsCheckBox = false;
    platform::BYTE m_byAlign = ST_ALIGN_HORIZ;
    bool m_bDrawBorder = true;
    bool m_bDrawFlatFocus = false;
    platform::COLORREF m_crColors[BTNST_MAX_COLORS] = {};
    bool m_bHasMenu = false;
    std::vector<MenuItem> m_menu;
    QWidget* m_pMenuParent = nullptr;
    Icon m_csIcons[3];
    Qt::CursorShape m_cursor = Qt::ArrowCursor;
    bool m_bHasCursor = false;
    bool m_bAlwaysTrack = true;
    int m_nCheck = 0;
    platform::DWORD m_nTypeStyle = 0x1F;
    platform::UINT m_nHoverTimer = 0;
    QString m_strUrl;
    QString m_strSelectedMenu;
    bool m_bSubclassed = false;

private:
    void drawIcon(QPainter* p, const QRect& client, const QRect& item, bool hasTitle, QRect* title);
    void drawCaption(QPainter* p, const QString& caption, QRect captionRect, bool hasIcon, const QRect& item);
};
