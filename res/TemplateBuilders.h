#pragma once
// Small builders shared by the template files: a control line of a template in dialog units.

#include "platform/DialogTemplate.h"

namespace res {

// A static label without an id.
inline platform::ControlTemplate label(const char* text, int x, int y, int w, int h)
{
    return {-1, platform::ControlKind::Static, QString::fromUtf8(text), x, y, w, h,
            platform::WS_VISIBLE | platform::SS_LEFT};
}

// A static text with an id and an alignment style.
inline platform::ControlTemplate text(int id, const char* t, int x, int y, int w, int h, platform::DWORD align)
{
    return {id, platform::ControlKind::Static, QString::fromUtf8(t), x, y, w, h, platform::WS_VISIBLE | align};
}

// A child page of the main window's tab control, without controls yet.
inline platform::DialogTemplate page(platform::UINT id, int w, int h)
{
    platform::DialogTemplate t;
    t.id = id;
    t.w = w;
    t.h = h;
    t.child = true;
    return t;
}

} // namespace res
