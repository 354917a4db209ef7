#pragma once
// The tab control the program's pages live in: it owns one page dialog per tab, keeps exactly one
// of them showing, switches pages on a tap, on Left/Right released on the strip and on the page
// base's arrow-focus message, and paints itself in a flat, colour-graded look derived from one
// background colour.

#include "Array.h"
#include "TabCtrl.h"
#include "TesselExport.h"

#include <platform/RuntimeClass.h>

class CMyDialog;

// Sent, parent first and then the new page, after a page switch by tap or key.
constexpr platform::UINT WM_TAB_PAGE_CHANGED = platform::WM_APP + 0x3EC;

class TESSEL_EXPORT CMyTabCtrl : public CTabCtrl {
public:
    // Entry i is the page of tab i; the control owns and deletes them.
    CArray<platform::CObject*> m_pages;
    int m_nCurPage;
    // Tabs painted as selected that never switch the page; empty unless the user adds to it.
    CArray<qintptr> m_arrStaticTabs;
    // Strip colour and base of every tab colour; 0xFFFFFFFF means the system button face.
    platform::COLORREF m_crBkgnd;

    static constexpr platform::COLORREF kDefaultBkgnd = 0x00DCC8A0; // red 160, green 200, blue 220
    static constexpr platform::COLORREF kSysButtonFace = 0xFFFFFFFF;

    explicit CMyTabCtrl(QWidget* parent = nullptr);
    ~CMyTabCtrl() override;

    void Init();
    // Deletes every page (last first), leaving null entries alone, and empties the list; the tabs
    // and the current page index stay.
    void vRemoveAllDlg();
    // Places every page in the page area below the tabs and shows the current one.
    void SetRectangle();
    // 0..2: clears the owner-draw style and repaints; other values are refused with FALSE.
    platform::BOOL EnableDraw(int nType);
    // Kept for callers of the original interface; the look is always the custom one.
    void EnableCustomLook(platform::BOOL bEnable, platform::DWORD dwStyle);
    void SetBkgndColor(platform::COLORREF cr);

    void PreSubclassWindow() override;
    void DrawItem(DRAWITEMSTRUCT* lpDrawItemStruct) override;
    void DrawMainBorder(DRAWITEMSTRUCT* lpDrawItemStruct);
    void DrawItemBorder(DRAWITEMSTRUCT* lpDrawItemStruct);
    platform::COLORREF GetTabColor(platform::BOOL bSelected);
    platform::COLORREF GetTabTextColor(platform::BOOL bSelected);

    // Channel scaling in single precision, truncated: Darker clamps f to 0..1, Lighter raises it to
    // at least 1 and limits each channel to 255.
    static platform::COLORREF Darker(platform::COLORREF cr, float f);
    static platform::COLORREF Lighter(platform::COLORREF cr, float f);

    // The page of a tab, or null when the entry is missing, null or not a page.
    CMyDialog* PageAt(int index) const;

    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override;

protected:
    void OnLButtonDown(platform::UINT nFlags, QPoint point) override;
    void OnKeyUp(platform::UINT nChar, platform::UINT nRepCnt, platform::UINT nFlags) override;
    platform::BOOL OnEraseBkgnd(QPainter* dc) override;
    void OnPaint(QPainter* dc) override;
    platform::LRESULT OnArrowFocus(platform::WPARAM wParam, platform::LPARAM lParam);

private:
    platform::COLORREF baseColor() const;
    bool isStaticTab(int index) const;
    // Steps 2 to 4 of a switch by tap or key; false when nothing was switched.
    bool switchToFocusedTab();
};
