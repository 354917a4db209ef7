#include "SkyGeometry.h"

#include <algorithm>
#include <cmath>

namespace stavo {

namespace {
constexpr double kOneNinetieth = 1.0 / 90; // 0.011111111111111112
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kOneFiftyFifth = 1.0 / 55;
} // namespace

SkyPlotFrame SkyPlotFrameFor(const QRect& client)
{
    SkyPlotFrame f;
    f.x0 = client.left() + (client.width() - 510) / 2;
    f.y0 = client.top() + (client.height() - 340) / 2;
    f.cx = f.x0 + 170;
    f.cy = f.y0 + 170;
    return f;
}

QPoint SkyPosition(const SkyPlotFrame& frame, int elevation, int azimuth)
{
    const double a = azimuth * kRadiansPerDegree;
    const double k = 1 - elevation * kOneNinetieth;
    const int dx = int(k * std::sin(a) * 150);
    const int dy = int(k * std::cos(a) * 150);
    return {frame.cx + dx, frame.cy - dy};
}

int MaskRadius(int maskDegrees) { return int((1 - maskDegrees * kOneNinetieth) * 150); }

int ChartLeft(const QRect& client)
{
    return std::max(client.left() + kChartLeft, SkyPlotFrameFor(client).x0 + 340);
}

int BarPitch(int visible, int chartHeight) { return visible < 7 ? 35 : chartHeight / visible; }

int BarLength(int snr, int chartWidth) { return int(snr * (chartWidth * kOneFiftyFifth)); }

} // namespace stavo
