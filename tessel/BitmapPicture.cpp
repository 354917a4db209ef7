#include "BitmapPicture.h"

#include "SysColors.h"

#include <QPainter>

using namespace platform;

namespace {
QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
} // namespace

CBitmapPicture::CBitmapPicture(QWidget* parent) : QLabel(parent), Window(this)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

CBitmapPicture::~CBitmapPicture() { DeleteObject(m_hBitmap); }

BOOL CBitmapPicture::SetBitmap(HBITMAP hBitmap)
{
    // Handing back the bitmap already held must not delete it.
    if (m_hBitmap && m_hBitmap != hBitmap)
        DeleteObject(m_hBitmap);
    m_hBitmap = hBitmap;
    m_bmSize = BitmapImage(hBitmap).size();
    update();
    return TRUE;
}

BOOL CBitmapPicture::SetBitmap(UINT nIDResource, const QString& strText)
{
    if (nIDResource == m_nResourceID && strText == m_strText)
        return FALSE;
    HBITMAP loaded = LoadBitmap(nIDResource);
    if (!loaded)
        return FALSE;
    m_nResourceID = nIDResource;
    m_strText = strText;
    return SetBitmap(loaded);
}

void CBitmapPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect client = rect();
    const QImage image = BitmapImage(m_hBitmap);
    if (image.isNull()) {
        p.fillRect(client, qcolor(tessel::GetSysColor(tessel::COLOR_STATIC)));
        return;
    }
    // The whole bitmap but its last row and column, stretched with a plain copy.
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(client, image, QRect(0, 0, m_bmSize.width() - 1, m_bmSize.height() - 1));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!m_strText.isEmpty()) {
        p.setFont(font());
        const QFontMetrics fm(font());
        const int w = fm.horizontalAdvance(m_strText);
        const QRect box(client.left() + client.width() - 2 - w, client.top() + 2, w, fm.height());
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(Qt::white);
        p.fillRect(box, Qt::white);
        p.setPen(Qt::black);
        p.drawText(box, Qt::AlignRight | Qt::AlignTop, m_strText);
        p.setBackgroundMode(Qt::TransparentMode);
    }
}
