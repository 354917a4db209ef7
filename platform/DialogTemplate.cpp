#include "DialogTemplate.h"

#include "Screen.h"

#include <algorithm>

#include <map>

namespace platform {

namespace {
std::map<UINT, DialogTemplate>& templates()
{
    static std::map<UINT, DialogTemplate> t;
    return t;
}
} // namespace

void AddDialogTemplate(DialogTemplate t)
{
    const UINT id = t.id;
    templates()[id] = std::move(t);
}

const DialogTemplate* FindDialogTemplate(UINT id)
{
    const auto it = templates().find(id);
    return it == templates().end() ? nullptr : &it->second;
}

QSize DialogBaseUnits(const QString&, int pointSize)
{
    // The handheld's dialog face has base units of 4/3 x 3 times its point size at 144 dpi (12 x 27
    // pixels for 9 points at 192 dpi). The stand-in face is wider than the handheld's, so the units
    // come from those metrics rather than from measuring it: the templates keep the proportions they
    // were drawn with, and every machine lays them out alike.
    const int dpi = Screen::dpi();
    const int x = (pointSize * dpi + 72) / 144;
    const int y = (pointSize * dpi * 3 + 96) / 192;
    return {std::max(1, x), std::max(1, y)};
}

QRect MapDialogRect(const QRect& du, QSize base)
{
    const int x = du.x() * base.width() / 4;
    const int y = du.y() * base.height() / 8;
    const int r = (du.x() + du.width()) * base.width() / 4;
    const int b = (du.y() + du.height()) * base.height() / 8;
    return {x, y, r - x, b - y};
}

QRect MapDialogRect(const QRect& du, const DialogTemplate& t)
{
    return MapDialogRect(du, DialogBaseUnits(t.fontFace, t.pointSize));
}

} // namespace platform
