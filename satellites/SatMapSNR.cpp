#include "SatMapSNR.h"

#include "OffscreenDC.h"
#include "SkyGeometry.h"

#include "app/StavoDlg.h"
#include "res/resource.h"

#include "geodra/Geodra.h"
#include "platform/Screen.h"
#include "wirra/CSIFormat.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

using namespace platform;
using namespace stavo;

STAVO_IMPLEMENT_PAGE(CSatMapSNR)

namespace {

const QColor kBackground(160, 200, 220);
const QColor kHorizon(0, 0, 255);
const QColor kMask(0, 128, 128);
const QColor kNorthFill(64, 64, 255);
const QColor kStrongDisc(0, 0, 255);  // ratio 15 or more
const QColor kWeakDisc(0, 255, 0);    // ratio below 15
const QColor kOtherSystem(96, 156, 156); // satellite numbers above 37 (SBAS and the like)
const QColor kNumberText(255, 128, 0);
const QColor kBarFill(64, 64, 255);

// The handheld's fonts by cell height; "system" and "Tahoma" both stand for the platform face.
QFont LabelFont() { return Screen::font(23, 300); }
QFont NorthFont() { return Screen::font(26, 300); }
QFont ChartFont() { return Screen::font(24, 300); }

// The rectangle whose outline QPainter draws on the pixels l..r-1 and t..b-1, as the handheld's
// ellipses and rectangles cover their right and bottom edges exclusively.
QRect Outline(int l, int t, int r, int b)
{
    if (r < l)
        std::swap(l, r);
    if (b < t)
        std::swap(t, b);
    return QRect(l, t, r - l - 1, b - t - 1);
}

QRect Box(int l, int t, int r, int b) { return QRect(l, t, r - l, b - t); }

// The satellite table as the decoder holds it, bounded by its size.
int SatelliteCount(const CCSIFormat& decoder) { return std::clamp(int(decoder.m_nSatCount), 0, CCSIFormat::kChannels); }

} // namespace

CSatMapSNR::CSatMapSNR() : CMyDialog(IDD_SAT_MAP_SNR, nullptr, FALSE)
{
    // Every pixel is painted from the off-screen image, so nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CSatMapSNR::~CSatMapSNR() = default;

BOOL CSatMapSNR::OnInitDialog()
{
    CMyDialog::OnInitDialog();
    return TRUE;
}

void CSatMapSNR::OnSatelliteData() { update(); }

void CSatMapSNR::paintEvent(QPaintEvent*)
{
    QPainter paint(this);
    OffscreenDC dc(&paint, rect());
    Draw(dc.get(), rect());
}

void CSatMapSNR::Draw(QPainter* dc, const QRect& client)
{
    // A fresh context: black pen one pixel wide, white brush, black text.
    dc->setRenderHint(QPainter::Antialiasing, false);
    dc->setPen(QPen(Qt::black, 1));
    dc->setBrush(Qt::white);
    DrawSkyPlot(dc, client);
    DrawSnrChart(dc, client);
}

void CSatMapSNR::DrawSkyPlot(QPainter* dc, const QRect& client)
{
    dc->fillRect(client, kBackground);
    const SkyPlotFrame f = SkyPlotFrameFor(client);
    const int x0 = f.x0, y0 = f.y0, cx = f.cx, cy = f.cy;

    DrawNorthMarker(dc);

    const QPen defaultPen = dc->pen();
    dc->setPen(QPen(kHorizon, 2, Qt::SolidLine));
    dc->drawEllipse(Outline(cx - 150, cy - 150, cx + 150, cy + 150));
    const CCSIFormat* decoder = m_pMainDlg ? m_pMainDlg->m_pDecoder : nullptr;
    const int s = MaskRadius(decoder ? decoder->m_nElevMask : 0);
    QPen dashed(kMask, 1);
    dashed.setDashPattern({18.0, 6.0}); // the handheld's dash: 18 pixels drawn, 6 left out
    dc->setPen(dashed);
    dc->drawEllipse(Outline(cx - s, cy - s, cx + s, cy + s));
    dc->setPen(defaultPen);

    dc->drawLine(x0 + 20, cy, x0 + 319, cy);
    dc->drawLine(cx, y0 + 20, cx, y0 + 319);

    dc->setFont(LabelFont());
    const int centred = Qt::AlignCenter | Qt::TextSingleLine;
    dc->drawText(Box(x0 + 130, y0 + 12, x0 + 210, y0 + 70), centred, QStringLiteral("0°"));
    dc->drawText(Box(x0 - 20, y0 + 160, x0 + 40, y0 + 200), centred, QStringLiteral("270°"));
    dc->drawText(Box(x0 + 300, y0 + 160, x0 + 364, y0 + 200), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                 QStringLiteral("90°"));
    dc->drawText(Box(x0 + 130, y0 + 300, x0 + 210, y0 + 340), centred, QStringLiteral("180°"));

    if (!decoder) {
        dc->setPen(Qt::black);
        return;
    }

    const QBrush previousBrush = dc->brush();
    dc->setFont(LabelFont());
    for (int i = 0; i < SatelliteCount(*decoder); ++i) {
        const CSatRecord& sat = decoder->m_sats[i];
        if (sat.m_nPrn == 0)
            continue;
        const QPoint c = SkyPosition(f, sat.m_nElevation, sat.m_nAzimuth);
        const QColor& fill = sat.m_nPrn > 37 ? kOtherSystem : sat.m_nSnr >= 15 ? kStrongDisc : kWeakDisc;
        dc->setBrush(fill);
        dc->setPen(defaultPen);
        dc->drawEllipse(Outline(c.x() - 14, c.y() - 14, c.x() + 14, c.y() + 14));
        dc->setPen(kNumberText);
        dc->drawText(Box(c.x() - 14, c.y() - 14, c.x() + 14, c.y() + 14), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                     QString::asprintf("%02d", int(sat.m_nPrn)));
    }
    dc->setBrush(previousBrush);
    dc->setPen(Qt::black);
}

void CSatMapSNR::DrawNorthMarker(QPainter* dc)
{
    dc->setFont(NorthFont());
    const QBrush current = dc->brush();
    dc->setBrush(kNorthFill);
    dc->drawPolygon(QPolygon({QPoint(44, 2), QPoint(28, 60), QPoint(44, 40)}));
    dc->setBrush(current);
    dc->drawPolygon(QPolygon({QPoint(44, 2), QPoint(44, 40), QPoint(60, 60)}));
    dc->drawText(QRect(8, 5, 200, 100), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                 nGetLang() == 1 ? QStringLiteral("N") : QStringLiteral("北"));
}

void CSatMapSNR::DrawSnrChart(QPainter* dc, const QRect& client)
{
    const CCSIFormat* decoder = m_pMainDlg ? m_pMainDlg->m_pDecoder : nullptr;
    if (!decoder)
        return;
    const int b = ChartLeft(client);
    const int t = client.top() + kChartTop;
    const int right = client.left() + client.width();
    const int bottom = client.top() + client.height();
    const int count = SatelliteCount(*decoder);

    m_nVisibleSats = 0;
    for (int i = 0; i < count; ++i)
        m_nVisibleSats += decoder->m_sats[i].m_nPrn != 0 ? 1 : 0;
    const int n = m_nVisibleSats;
    // Bars only in a chart area at least as tall as it is wide.
    if (n < 1 || bottom - t < right - b)
        return;

    const QPen pen = dc->pen();
    const QBrush previousBrush = dc->brush();
    const QFont previousFont = dc->font();
    dc->setFont(ChartFont());
    const int h = BarPitch(n, bottom - t);
    const int centred = Qt::AlignCenter | Qt::TextSingleLine;
    int j = 0;
    for (int i = 0; i < count; ++i) {
        const CSatRecord& sat = decoder->m_sats[i];
        if (sat.m_nPrn == 0)
            continue;
        const int y = t + h * j++;
        const int length = BarLength(sat.m_nSnr, right - b);
        dc->setBrush(sat.m_nPrn > 37 ? kOtherSystem : kBarFill);
        dc->setPen(pen);
        dc->drawRect(Outline(b + 5, y, b + length, y + h - 5));
        dc->drawText(Box(b + length, y, b + length + 20, y + 20), centred, QString::number(sat.m_nSnr));
        dc->drawText(Box(b - 30, y, b, y + 20), centred, QString::number(sat.m_nPrn));
    }
    dc->setBrush(previousBrush);
    dc->setFont(previousFont);
}
