#pragma once
// Where the sky plot and the signal-to-noise chart put things, in the page's client coordinates.
// Every division rounds towards zero and every double is truncated, as the page has always drawn.

#include <QPoint>
#include <QRect>

namespace stavo {

struct SkyPlotFrame {
    int x0 = 0, y0 = 0; // top-left of the 340 x 340 plot square
    int cx = 0, cy = 0; // centre of the horizon circle (radius 150)
};

// The plot centred in the client area with 170 more pixels reserved to its right.
SkyPlotFrame SkyPlotFrameFor(const QRect& client);

// A satellite's disc centre: north up, azimuth clockwise, elevation 90 at the centre and 0 on the
// horizon circle.
QPoint SkyPosition(const SkyPlotFrame& frame, int elevation, int azimuth);

// Radius of the elevation-mask circle.
int MaskRadius(int maskDegrees);

// The chart right of the plot: its left edge, bar pitch for n satellites and bar length for a ratio.
constexpr int kChartLeft = 340; // from the client's left edge
constexpr int kChartTop = 5;
// 340 pixels in; on a page wider than 510 pixels, where the centred plot reaches further, 340 pixels
// right of the plot's origin, so the bars never cover the plot.
int ChartLeft(const QRect& client);
int BarPitch(int visible, int chartHeight);
int BarLength(int snr, int chartWidth);

} // namespace stavo
