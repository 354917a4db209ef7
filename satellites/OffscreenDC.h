#pragma once
// Collects one paint in an image of the target's rectangle and copies it to the target in one step
// when it ends, so a page repainted on every receiver message does not flicker. It has the shape of
// Tessel's off-screen drawing context (constructed on the paint context and a rectangle, drawn
// through ->, copied out by the destructor), so a page can switch to that class without other change.

#include <QImage>
#include <QPainter>
#include <QRect>

namespace stavo {

class OffscreenDC {
public:
    OffscreenDC(QPainter* target, const QRect& rect);
    ~OffscreenDC();
    OffscreenDC(const OffscreenDC&) = delete;
    OffscreenDC& operator=(const OffscreenDC&) = delete;

    QPainter* operator->() { return &m_painter; }
    QPainter* get() { return &m_painter; }

private:
    QPainter* m_target;
    QRect m_rect;
    QImage m_image;
    QPainter m_painter;
};

} // namespace stavo
