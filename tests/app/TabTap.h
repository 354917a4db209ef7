#pragma once
// A user's tap on a tab of the main window's strip: six captions do not fit a handheld's strip, so
// its arrows are tapped until the tab is wholly in view, then the tab itself.

#include "tessel/MyTabCtrl.h"

#include <QTest>

inline bool TapTab(CMyTabCtrl& tab, int index)
{
    QRect r;
    for (int i = 0; i < 8; ++i) {
        if (!tab.GetItemRect(index, &r))
            return false;
        const QRect arrows = tab.ScrollerRect();
        if (!tab.HasScroller() || (r.left() >= 0 && r.right() < arrows.left()))
            break;
        // Left half of the arrows scrolls back, right half on.
        const QRect half = r.left() < 0 ? arrows.adjusted(0, 0, -arrows.width() / 2, 0)
                                        : arrows.adjusted(arrows.width() / 2, 0, 0, 0);
        QTest::mouseClick(&tab, Qt::LeftButton, {}, half.center());
    }
    QTest::mouseClick(&tab, Qt::LeftButton, {}, r.center());
    QTest::qWait(20);
    return tab.GetCurSel() == index;
}
