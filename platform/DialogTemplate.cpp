#include "DialogTemplate.h"

#include "Screen.h"

#include <QFontMetrics>

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
    // Every template face maps to the platform face; its average Latin letter width and line height
    // at the point size give the base units (about 12 x 27 pixels for 9 points at 192 dpi).
    const int pixel = (pointSize * Screen::dpi() + 36) / 72;
    const QFontMetrics fm(Screen::font(pixel));
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int avg = (fm.horizontalAdvance(letters) / 26 + 1) / 2;
    return {std::max(1, avg), std::max(1, fm.height())};
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
