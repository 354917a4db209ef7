#include "OffscreenDC.h"

namespace stavo {

OffscreenDC::OffscreenDC(QPainter* target, const QRect& rect)
    : m_target(target), m_rect(rect),
      m_image(rect.size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied)
{
    // The image starts as the target's background and is drawn in the target's coordinates.
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
