#include "FontStatic.h"

#include "SysColors.h"

#include <platform/Controls.h>
#include <platform/Screen.h>

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

using namespace platform;

namespace {
QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
} // namespace

CFontStatic::CFontStatic(QWidget* parent) : CMyStatic(parent) {}

CFontStatic::~CFontStatic() = default;

void CFontStatic::SetFontSize(int nSize) { m_nFontSize = nSize; update(); }
void CFontStatic::SetFontWidth(int nWidth) { m_nFontWidth = nWidth; update(); }
void CFontStatic::SetForeground(COLORREF cr) { m_crText = cr; update(); }
void CFontStatic::SetForeground(int r, int g, int b) { SetForeground(RGB(r, g, b)); }

void CFontStatic::SetBackground(COLORREF cr)
{
    m_crBackground = cr;
    m_bBackground = true;
    update();
}

void CFontStatic::SetBackground(int r, int g, int b) { SetBackground(RGB(r, g, b)); }

COLORREF CFontStatic::Background() const
{
    return m_bBackground ? m_crBackground : tessel::GetSysColor(tessel::COLOR_STATIC);
}

void CFontStatic::SetFontStyle(int nStyle)
{
    switch (nStyle) {
    case FS_BOLD: m_bBold = true; break;
    case FS_ITALIC: m_bItalic = true; break;
    case FS_UNDERLINED: m_bUnderline = true; break;
    case FS_STRIKETHROUGH: m_bStrikeOut = true; break;
    case FS_ANTIALIAS: m_bSmooth = true; break;
    default:
        m_bBold = m_bItalic = m_bUnderline = m_bStrikeOut = m_bSmooth = false;
        m_bLeft = true;
        m_bCenter = m_bRight = false;
        break;
    }
    update();
}

void CFontStatic::SetAlignment(int nAlign)
{
    m_bLeft = nAlign != FS_CENTER && nAlign != FS_RIGHT;
    m_bCenter = nAlign == FS_CENTER;
    m_bRight = nAlign == FS_RIGHT;
    update();
}

void CFontStatic::SetFontStatic(const QString& face)
{
    m_strFace = face;
    update();
}

void CFontStatic::SetFontStatic(const QString& face, int nSize)
{
    m_strFace = face;
    m_nFontSize = nSize;
    update();
}

void CFontStatic::SetFontStatic(const QString& face, int nSize, COLORREF crText, int nStyle)
{
    m_strFace = face;
    m_nFontSize = nSize;
    m_crText = crText;
    SetFontStyle(nStyle);
}

void CFontStatic::FlashText(BOOL bFlash)
{
    if (bFlash) {
        // Flashing again keeps the text saved the first time: saving now could catch the blank phase.
        if (!m_bFlashing) {
            m_strSaved = text();
            m_bFlashHidden = false;
        }
        m_bFlashing = true;
        SetTimer(kFlashTimer, kFlashPeriodMs);
    } else if (m_bFlashing) {
        KillTimer(kFlashTimer);
        m_bFlashing = false;
        m_bFlashHidden = false;
        setText(m_strSaved);
    }
}

LRESULT CFontStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kFlashTimer && m_bFlashing) {
        m_bFlashHidden = !m_bFlashHidden;
        setText(m_bFlashHidden ? QString() : m_strSaved);
        return 0;
    }
    return CMyStatic::WindowProc(message, wParam, lParam);
}

void CFontStatic::PreSubclassWindow()
{
    CMyStatic::PreSubclassWindow();
    SetStyle(this, GetStyle(this) | SS_NOTIFY);
}

Qt::Alignment CFontStatic::TextAlignment() const
{
    if (m_bCenter)
        return Qt::AlignHCenter;
    if (m_bRight)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

QFont CFontStatic::PaintFont() const
{
    // Every face name maps to the platform's face. As with the handheld's fonts, a positive height is
    // the cell height in pixels, a negative one the character (em) height, and 0 asks for the
    // default height rather than a font one pixel high.
    QFont f = Screen::font(m_nFontSize > 0 ? std::min(m_nFontSize, kMaxFontSize) : kDefaultFontSize, m_bBold ? 700 : 400);
    if (m_nFontSize < 0)
        f.setPixelSize(int(std::min<qint64>(-qint64(m_nFontSize), kMaxFontSize)));
    f.setItalic(m_bItalic);
    f.setUnderline(m_bUnderline);
    f.setStrikeOut(m_bStrikeOut);
    // Smooth text or not, the handheld draws its smoothed text (its default quality follows the
    // system's smoothing); the platform's face already asks for it.
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    if (m_nFontWidth > 0) {
        // A requested average character width becomes a horizontal stretch of the face.
        const int natural = std::max(1, QFontMetrics(f).averageCharWidth());
        f.setStretch(int(std::clamp<qint64>(qint64(m_nFontWidth) * 100 / natural, 1, 4000)));
    }
    return f;
}

void CFontStatic::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), qcolor(Background()));
    p.setFont(PaintFont());
    p.setPen(qcolor(m_crText));
    p.setBackgroundMode(Qt::TransparentMode);
    int flags = int(TextAlignment()) | Qt::AlignTop;
    flags |= m_bSingleLine ? int(Qt::TextSingleLine) : int(Qt::TextWordWrap);
    p.drawText(rect(), flags, text());
}
