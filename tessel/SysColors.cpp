#include "SysColors.h"

namespace tessel {

platform::COLORREF GetSysColor(int index)
{
    using platform::RGB;
    switch (index) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_BTNFACE:
    case COLOR_STATIC: return RGB(192, 192, 192);
    case COLOR_BTNSHADOW: return RGB(128, 128, 128);
    case COLOR_BTNHIGHLIGHT:
    case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
    case COLOR_HIGHLIGHT: return RGB(0, 0, 128);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
    case COLOR_STATICTEXT:
    default: return RGB(0, 0, 0);
    }
}

} // namespace tessel
