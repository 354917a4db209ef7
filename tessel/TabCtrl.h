#pragma once
// A tab control with the handheld's semantics: a row of tabs along the top with one selected and
// one holding the focus, a page area below, a tap selects and focuses a tab, Left and Right move the
// selection. When the tabs are wider than the control, a two-arrow scroller at the right end of the
// strip scrolls them, and the selected tab is always brought into view. Painting is the standard
// look unless the owner-draw style is set, in which case DrawItem paints each tab.

#include "DrawItem.h"
#include "TesselExport.h"

#include <platform/Window.h>

#include <QPixmap>
#include <QWidget>

#include <vector>

class TESSEL_EXPORT CTabCtrl : public QWidget, public platform::Window {
public:
    explicit CTabCtrl(QWidget* parent = nullptr);
    ~CTabCtrl() override;

    // Returns the index given to the new tab, or -1.
    int InsertItem(int nItem, const QString& text, int nImage = -1);
    platform::BOOL DeleteItem(int nItem);
    platform::BOOL DeleteAllItems();
    int GetItemCount() const { return int(m_items.size()); }
    QString GetItemText(int nItem) const;
    platform::BOOL SetItemText(int nItem, const QString& text);
    int GetItemImage(int nItem) const;

    // Selection and focus move together, as on a tab control without button-style tabs.
    int GetCurSel() const { return m_sel; }
    int SetCurSel(int nItem); // previous selection, or -1 when nItem is not a tab
    int GetCurFocus() const { return m_focus; }
    void SetCurFocus(int nItem);

    // The tab's rectangle in client coordinates (scrolled with the strip); FALSE for no such tab.
    platform::BOOL GetItemRect(int nItem, QRect* rect) const;
    // bLarger FALSE: the page area for a control rectangle; TRUE: the control rectangle for a page area.
    void AdjustRect(platform::BOOL bLarger, QRect* rect) const;
    // The tab under the point, or -1 (also over the scroller).
    int HitTest(QPoint pt) const;

    platform::DWORD GetStyle() const;
    platform::BOOL ModifyStyle(platform::DWORD remove, platform::DWORD add);

    // Images for the tabs, drawn left of the text; empty means the control has no image list.
    void SetImageList(const std::vector<QPixmap>& images);
    bool HasImageList() const { return !m_images.empty(); }
    QPixmap GetImage(int nImage) const;

    // Scrolling of a strip wider than the control.
    bool HasScroller() const;
    QRect ScrollerRect() const; // both arrows; the left half scrolls back, the right half forward
    int FirstVisibleTab() const { return m_first; }
    // How far the strip is scrolled: the width of the tabs left of the first visible one.
    int ScrollOffset() const;
    void EnsureVisible(int nItem);

    QString ClassName() const override { return QStringLiteral("SysTabControl32"); }
    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override;

    // Owner drawing of one tab; the base draws nothing.
    virtual void DrawItem(DRAWITEMSTRUCT* dis);

    // Height of the tab row (from the top of the control to the bottom of the tabs).
    int RowBottom() const;

protected:
    virtual void OnLButtonDown(platform::UINT nFlags, QPoint point);
    virtual void OnKeyDown(platform::UINT nChar, platform::UINT nRepCnt, platform::UINT nFlags);
    virtual void OnKeyUp(platform::UINT nChar, platform::UINT nRepCnt, platform::UINT nFlags);
    // Background and foreground painting; the scroller is painted over them afterwards.
    virtual platform::BOOL OnEraseBkgnd(QPainter* dc);
    virtual void OnPaint(QPainter* dc);

    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    struct Item {
        QString text;
        int image = -1;
    };
    int tabHeight() const;
    int tabWidth(int i) const;
    int stripWidth() const;    // all tabs side by side
    int visibleRight() const;  // right edge (exclusive) of the part of the strip tabs may use
    void paintStandard(QPainter* p);
    void paintScroller(QPainter* p);
    void clampFirst();

    std::vector<Item> m_items;
    std::vector<QPixmap> m_images;
    int m_sel = -1;
    int m_focus = -1;
    int m_first = 0; // first tab shown at the left of a scrolled strip
};
