#pragma once
// The record an owner-drawn control hands to its drawing code for one item.

#include <platform/WinTypes.h>

#include <QRect>

class QPainter;
class QWidget;

struct DRAWITEMSTRUCT {
    platform::UINT CtlType = 0;   // ODT_TAB for tab controls
    platform::UINT CtlID = 0;
    platform::UINT itemID = 0;    // index of the item being drawn
    platform::UINT itemAction = 0;
    platform::UINT itemState = 0; // ODS_SELECTED for the selected item
    QWidget* hwndItem = nullptr;
    QPainter* hDC = nullptr;
    // The pixels covered; in the handheld's terms right = rcItem.x() + rcItem.width() and
    // bottom = rcItem.y() + rcItem.height() lie just outside (QRect::right()/bottom() are the last
    // pixels inside, one less).
    QRect rcItem;
    quintptr itemData = 0;
};
