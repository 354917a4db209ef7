#include "PageFit.h"

#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/DialogTemplate.h"

#include <cmath>

namespace stavo {

void FitPageToHeight(platform::Dialog& page)
{
    const platform::DialogTemplate* t = platform::FindDialogTemplate(page.TemplateId());
    if (!t || page.height() <= 0)
        return;
    const QSize base = platform::DialogBaseUnits(t->fontFace, t->pointSize);
    const int templateHeight = platform::MapDialogRect(QRect(0, 0, t->w, t->h), base).height();
    const double scale = templateHeight > page.height() ? double(page.height()) / templateHeight : 1.0;
    for (const platform::ControlTemplate& c : t->controls) {
        QWidget* w = c.id >= 0 ? platform::FindControl(&page, c.id) : nullptr;
        if (!w)
            continue;
        const QRect r = platform::MapDialogRect(QRect(c.x, c.y, c.w, c.h), base);
        const int top = int(std::lround(r.top() * scale));
        const int bottom = int(std::lround((r.top() + r.height()) * scale));
        w->setGeometry(r.left(), top, r.width(), bottom - top);
    }
}

} // namespace stavo
