#include "RectRange.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

using namespace platform;

namespace {

bool Usable(const QRect* rect) { return rect && rect->width() != 0 && rect->height() != 0; }

// A point or edges read from a damaged file may be NaN or infinite; one such value would spread to
// the whole range through its centre and extents, so it is left out.
bool AllFinite(std::initializer_list<double> values)
{
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

// A pixel offset made safe for int: not a number gives the origin, anything else is clamped.
int ToDevice(double scaled, int origin)
{
    constexpr double limit = CRectRange::kMaxDeviceCoord;
    if (std::isnan(scaled))
        return origin;
    // Bounded first so that an infinite offset still adds to a number.
    const double v = std::trunc(std::clamp(scaled, -2 * limit, 2 * limit)) + origin;
    return int(std::clamp(v, -limit, limit));
}

} // namespace

CRectRange::CRectRange() = default;

CRectRange::CRectRange(const CRectRange& other) = default;

CRectRange& CRectRange::operator=(const CRectRange& other)
{
    m_bZoomLimit = other.m_bZoomLimit;
    m_dMinX = other.m_dMinX;
    m_dMaxX = other.m_dMaxX;
    m_dMinY = other.m_dMinY;
    m_dMaxY = other.m_dMaxY;
    m_dAngle = other.m_dAngle;
    return *this;
}

void CRectRange::vRotate(double a, double& x, double& y)
{
    const double r = std::sqrt(x * x + y * y);
    const double t = std::atan2(x, y) + a;
    x = r * std::sin(t);
    y = r * std::cos(t);
}

void CRectRange::rotated(double& x, double& y) const
{
    if (m_dAngle != 0)
        vRotate(m_dAngle, x, y);
}

void CRectRange::vSetTheRange(double x1, double x2, double y1, double y2)
{
    if (!AllFinite({x1, x2, y1, y2}))
        return;
    m_dAngle = 0;
    m_dMagnify = 1;
    m_dMinX = std::min(x1, x2);
    m_dMaxX = std::max(x1, x2);
    m_dMinY = std::min(y1, y2);
    m_dMaxY = std::max(y1, y2);
}

void CRectRange::vSetRange(double x, double y, double r)
{
    if (!AllFinite({x - r, x + r, y - r, y + r}))
        return;
    m_dAngle = 0;
    m_dMinX = x - r;
    m_dMaxX = x + r;
    m_dMinY = y - r;
    m_dMaxY = y + r;
}

void CRectRange::Normalize(double eps)
{
    if (m_dMaxX < m_dMinX)
        std::swap(m_dMinX, m_dMaxX);
    if (m_dMaxY < m_dMinY)
        std::swap(m_dMinY, m_dMaxY);
    const double e = std::isfinite(eps) ? std::fabs(eps) : 0;
    if (m_dMaxX - m_dMinX < e) {
        const double mid = (m_dMinX + m_dMaxX) / 2;
        m_dMinX = mid - e / 2;
        m_dMaxX = mid + e / 2;
    }
    if (m_dMaxY - m_dMinY < e) {
        const double mid = (m_dMinY + m_dMaxY) / 2;
        m_dMinY = mid - e / 2;
        m_dMaxY = mid + e / 2;
    }
}

void CRectRange::GetCenter(double& x, double& y) const
{
    x = (m_dMinX + m_dMaxX) / 2;
    y = (m_dMinY + m_dMaxY) / 2;
}

void CRectRange::moveBy(double dx, double dy)
{
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return;
    m_dMinX += dx;
    m_dMaxX += dx;
    m_dMinY += dy;
    m_dMaxY += dy;
}

void CRectRange::SetCenter(double x, double y)
{
    rotated(x, y);
    double cx, cy;
    GetCenter(cx, cy);
    moveBy(x - cx, y - cy);
}

double CRectRange::GetWidth() const { return std::fabs(m_dMaxY - m_dMinY); }

double CRectRange::GetHeigh() const { return std::fabs(m_dMaxX - m_dMinX); }

int CRectRange::InRange(double x, double y) const
{
    rotated(x, y);
    constexpr double slack = 0.001;
    if (x < m_dMinX - slack || x > m_dMaxX + slack || y < m_dMinY - slack || y > m_dMaxY + slack)
        return FALSE;
    return TRUE;
}

int CRectRange::InCircleRange(double x, double y) const
{
    double cx, cy;
    GetCenter(cx, cy);
    const double r2 = (m_dMaxX - cx) * (m_dMaxX - cx) + (m_dMaxY - cy) * (m_dMaxY - cy);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r2 ? TRUE : FALSE;
}

int CRectRange::IsInsercet(const CRectRange& o) const
{
    if (m_dMaxX < o.m_dMinX || m_dMinX > o.m_dMaxX)
        return FALSE;
    if (m_dMinY > o.m_dMaxY || m_dMaxY < o.m_dMinY)
        return FALSE;
    return TRUE;
}

void CRectRange::Extend(double x, double y, BOOL bReset)
{
    if (!AllFinite({x, y}))
        return;
    if (bReset) {
        m_dMinX = m_dMaxX = x;
        m_dMinY = m_dMaxY = y;
        return;
    }
    m_dMinX = std::min(m_dMinX, x);
    m_dMaxX = std::max(m_dMaxX, x);
    m_dMinY = std::min(m_dMinY, y);
    m_dMaxY = std::max(m_dMaxY, y);
}

void CRectRange::Extend(const CRectRange& o)
{
    Extend(o.m_dMinX, o.m_dMinY, FALSE);
    Extend(o.m_dMaxX, o.m_dMaxY, FALSE);
}

void CRectRange::vModiTheRange(int& count, double x, double y)
{
    if (!AllFinite({x, y}))
        return; // and the next point still starts the range
    if (count == 0) {
        count = 1;
        Extend(x, y, TRUE);
        m_dAngle = 0;
        m_dMagnify = 1;
        return;
    }
    Extend(x, y, FALSE);
}

void CRectRange::vModiTheRange(int& count, const CRectRange& o)
{
    if (!AllFinite({o.m_dMinX, o.m_dMaxX, o.m_dMinY, o.m_dMaxY}))
        return;
    if (count == 0) {
        count = 1;
        m_dMinX = o.m_dMinX;
        m_dMaxX = o.m_dMaxX;
        m_dMinY = o.m_dMinY;
        m_dMaxY = o.m_dMaxY;
        m_dAngle = 0;
        m_dMagnify = 1;
        return;
    }
    Extend(o);
}

void CRectRange::vModiTheRange(double x, double y, const QRect* rect, double s)
{
    if (!rect)
        return;
    const double w = rect->width();
    const double h = rect->height();
    if (!AllFinite({x - h * s / 2, x + h * s / 2, y - w * s / 2, y + w * s / 2}))
        return;
    m_dAngle = 0;
    m_dMinX = x - h * s / 2;
    m_dMaxX = x + h * s / 2;
    m_dMinY = y - w * s / 2;
    m_dMaxY = y + w * s / 2;
}

void CRectRange::ModiRect(int width, int height)
{
    // A minimised window has no shape to fit; dividing by its zero size would make the range NaN.
    if (width == 0 || height == 0)
        return;
    Normalize(1e-5);
    const double w = std::fabs(double(width));
    const double h = std::fabs(double(height));
    const double s = std::max((m_dMaxY - m_dMinY) / w, (m_dMaxX - m_dMinX) / h);
    double cx, cy;
    GetCenter(cx, cy);
    m_dMinX = cx - h * s / 2;
    m_dMaxX = cx + h * s / 2;
    m_dMinY = cy - w * s / 2;
    m_dMaxY = cy + w * s / 2;
}

void CRectRange::LPtoDP(double x, double y, int* px, int* py, const QRect* rect) const
{
    if (!rect)
        return;
    rotated(x, y);
    const double w = rect->width();
    const double h = rect->height();
    if (px)
        *px = ToDevice((y - m_dMinY) * w / (m_dMaxY - m_dMinY), rect->left());
    if (py)
        *py = ToDevice((m_dMaxX - x) * h / (m_dMaxX - m_dMinX), rect->top());
}

void CRectRange::DPtoLP(int px, int py, double* x, double* y, const QRect* rect) const
{
    if (!rect)
        return;
    const double w = rect->width();
    const double h = rect->height();
    // A window without height or width shows only its edge: every pixel is the range's top left.
    if (x)
        *x = m_dMaxX - (h != 0 ? (py - rect->top()) * (m_dMaxX - m_dMinX) / h : 0);
    if (y)
        *y = m_dMinY + (w != 0 ? (px - rect->left()) * (m_dMaxY - m_dMinY) / w : 0);
}

double CRectRange::dGetZoomLevel(const QRect* rect) const
{
    if (!rect)
        return 0;
    return std::min(rect->height() / (m_dMaxX - m_dMinX), rect->width() / (m_dMaxY - m_dMinY));
}

double CRectRange::ScaleNumber(const QRect* rect) const
{
    if (!Usable(rect))
        return HUGE_VAL;
    return std::floor(std::fabs(60 * (m_dMaxY - m_dMinY) / rect->width()) * 1000 + 0.5);
}

void CRectRange::multiplyMagnification(double oldX, double oldY)
{
    const double newX = m_dMaxX - m_dMinX;
    const double newY = m_dMaxY - m_dMinY;
    double ratio = 0;
    if (newX != 0)
        ratio = std::fabs(oldX) / std::fabs(newX);
    if (newY != 0)
        ratio = std::max(ratio, std::fabs(oldY) / std::fabs(newY));
    if (ratio > 0 && std::isfinite(ratio) && std::isfinite(m_dMagnify * ratio))
        m_dMagnify *= ratio;
}

int CRectRange::Zoom(double f)
{
    if (!(f > 0) || !std::isfinite(f))
        return FALSE;
    const double oldX = m_dMaxX - m_dMinX;
    const double oldY = m_dMaxY - m_dMinY;
    if (m_bZoomLimit && ((std::fabs(oldY) < 0.5 && f < 1) || (std::fabs(oldY) > 4000000 && f > 1)))
        return FALSE;
    const double newX = std::fabs(oldX) * f;
    const double newY = std::fabs(oldY) * f;
    if (!std::isfinite(newX) || !std::isfinite(newY))
        return FALSE;
    double cx, cy;
    GetCenter(cx, cy);
    m_dMinX = cx - newX / 2;
    m_dMaxX = cx + newX / 2;
    m_dMinY = cy - newY / 2;
    m_dMaxY = cy + newY / 2;
    multiplyMagnification(oldX, oldY);
    return TRUE;
}

int CRectRange::Zoom(QPoint p1, QPoint p2, const QRect* rect)
{
    if (!Usable(rect))
        return FALSE;
    const double n = ScaleNumber(rect);
    if (m_bZoomLimit && (n < 100 || n > 1e20))
        return FALSE;
    double x1, y1, x2, y2;
    DPtoLP(p1.x(), p1.y(), &x1, &y1, rect);
    DPtoLP(p2.x(), p2.y(), &x2, &y2, rect);
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return FALSE;
    const double oldX = m_dMaxX - m_dMinX;
    const double oldY = m_dMaxY - m_dMinY;
    m_dMinX = std::min(x1, x2);
    m_dMaxX = std::max(x1, x2);
    m_dMinY = std::min(y1, y2);
    m_dMaxY = std::max(y1, y2);
    Normalize(1e-5);
    multiplyMagnification(oldX, oldY);
    return TRUE;
}

int CRectRange::Zoom(QPoint p, const QRect* rect, double f)
{
    if (!Usable(rect) || !(f > 0) || !std::isfinite(f))
        return FALSE;
    const double n = ScaleNumber(rect);
    if (m_bZoomLimit && ((n < 10 && f < 1) || (n > 1e9 && f > 1)))
        return FALSE;
    double x0, y0, x1, y1;
    DPtoLP(p.x(), p.y(), &x0, &y0, rect);
    if (!Zoom(f))
        return FALSE;
    DPtoLP(p.x(), p.y(), &x1, &y1, rect);
    moveBy(x0 - x1, y0 - y1);
    return TRUE;
}

int CRectRange::SetViewProperties(QPoint from, QPoint to, const QRect* rect)
{
    if (!Usable(rect))
        return FALSE;
    double x0, y0, x1, y1;
    DPtoLP(from.x(), from.y(), &x0, &y0, rect);
    DPtoLP(to.x(), to.y(), &x1, &y1, rect);
    moveBy(x0 - x1, y0 - y1);
    return TRUE;
}

void CRectRange::vRotateAngle(double a, BOOL bKeepCentre)
{
    double cx, cy;
    GetCenter(cx, cy);
    vRotateAngle(a, cx, cy, bKeepCentre);
}

void CRectRange::vRotateAngle(double a, double x, double y, BOOL bKeepCentre)
{
    if (!std::isfinite(a))
        return;
    const double corners[4][2] = {{m_dMinX, m_dMinY}, {m_dMinX, m_dMaxY}, {m_dMaxX, m_dMinY}, {m_dMaxX, m_dMaxY}};
    int count = 0;
    for (const auto& c : corners) {
        double cx = c[0], cy = c[1];
        vRotate(a, cx, cy);
        vModiTheRange(count, cx, cy);
    }
    m_dAngle = a;
    if (bKeepCentre)
        SetCenter(x, y);
}
