#pragma once
// Off-screen drawing for one paint: everything drawn through it goes into an image the size of the
// target's clip box (or of a given rectangle), cleared to the target's background colour, and is
// copied onto the target in one step when it goes out of scope, so a window never shows half a
// picture. On a target that records or prints rather than shows, it draws straight into the target.

#include "TesselExport.h"

#include <QImage>
#include <QPainter>
#include <QRect>

class TESSEL_EXPORT CMemDC : public QPainter {
public:
    explicit CMemDC(QPainter* pDC);
    CMemDC(QPainter* pDC, const QRect& rect);
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    // The context to draw with: this object, or the target itself when drawing straight into it.
    QPainter* operator->() { return m_bMemDC ? static_cast<QPainter*>(this) : m_pDC; }
    bool IsOffScreen() const { return m_bMemDC; }
    QRect Rect() const { return m_rect; }

private:
    void init(const QRect* given);

    QImage m_bitmap;
    QPainter* m_pDC;
    QRect m_rect;
    bool m_bMemDC = false;
};
