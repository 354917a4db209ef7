#include "MemDC.h"

#include <QPaintDevice>

CMemDC::CMemDC(QPainter* pDC) : m_pDC(pDC) { init(nullptr); }

CMemDC::CMemDC(QPainter* pDC, const QRect& rect) : m_pDC(pDC) { init(&rect); }

void CMemDC::init(const QRect* given)
{
    QPaintDevice* device = m_pDC ? m_pDC->device() : nullptr;
    if (!device)
        return;
    const int type = device->devType();
    // Printers and recordings take the drawing as it comes; only screens and images gain from it.
    if (type == QInternal::Printer || type == QInternal::Picture)
        return;
    if (given) {
        m_rect = *given;
    } else {
        const QRect whole(0, 0, device->width(), device->height());
        m_rect = m_pDC->hasClipping() ? m_pDC->clipBoundingRect().toAlignedRect().intersected(whole) : whole;
    }
    if (m_rect.isEmpty())
        return;
    m_bitmap = QImage(m_rect.size(), QImage::Format_ARGB32_Premultiplied);
    if (m_bitmap.isNull())
        return;
    begin(&m_bitmap);
    m_bMemDC = true;
    setFont(m_pDC->font());
    setWindow(m_rect);
    setViewport(0, 0, m_rect.width(), m_rect.height());
    fillRect(m_rect, m_pDC->background());
}

CMemDC::~CMemDC()
{
    if (!m_bMemDC)
        return;
    end();
    m_pDC->save();
    m_pDC->setCompositionMode(QPainter::CompositionMode_Source);
    m_pDC->drawImage(m_rect.topLeft(), m_bitmap);
    m_pDC->restore();
}
