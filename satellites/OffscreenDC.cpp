#include "OffscreenDC.h"

#include <QPaintEngine>

#include <algorithm>

namespace stavo {

namespace {
// The pixels per coordinate unit of the device the painter really draws on (a widget's backing
// store, or the image a widget is rendered into).
qreal DeviceRatio(QPainter* target)
{
    if (!target || !target->isActive() || !target->paintEngine() || !target->paintEngine()->paintDevice())
        return 1.0;
    return std::max<qreal>(1.0, target->paintEngine()->paintDevice()->devicePixelRatio());
}
} // namespace

OffscreenDC::OffscreenDC(QPainter* target, const QRect& rect)
    : m_target(target), m_rect(rect),
      m_image(rect.size().expandedTo(QSize(1, 1)) * DeviceRatio(target), QImage::Format_ARGB32_Premultiplied)
{
    // As fine as the target (a scaled screen gets no blown-up picture), starting as the target's
    // background, drawn in the target's coordinates.
    m_image.setDevicePixelRatio(DeviceRatio(target));
    const QColor background = target && target->device() ? target->background().color() : QColor(Qt::white);
    m_image.fill(background);
    m_painter.begin(&m_image);
    m_painter.translate(-rect.topLeft());
}

OffscreenDC::~OffscreenDC()
{
    m_painter.end();
    if (m_target && m_target->isActive())
        m_target->drawImage(m_rect.topLeft(), m_image);
}

} // namespace stavo
