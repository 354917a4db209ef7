#pragma once
// The handheld's system colours, fixed to its classic scheme so that every machine paints the same
// pixels (Qt's palette varies by style and desktop). Tests compute expected pixels from these.

#include "TesselExport.h"

#include <platform/WinTypes.h>

namespace tessel {

enum SysColorIndex {
    COLOR_WINDOW = 5,
    COLOR_WINDOWTEXT = 8,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_BTNTEXT = 18,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_STATIC = 25,     // background of static text controls
    COLOR_STATICTEXT = 26,
};

// Classic scheme: button face and static background light grey 192/192/192, window white, window
// and button text black, shadow 128/128/128, highlight white, dark shadow black, selection navy
// 0/0/128 with white text. Unknown indices give black.
TESSEL_EXPORT platform::COLORREF GetSysColor(int index);

} // namespace tessel
