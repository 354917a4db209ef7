#include "ClipLine.h"

#include <cmath>

using namespace platform;

namespace {

// Moves the endpoint outside one edge onto it. (a1, b1)-(a2, b2) are the segment's coordinates
// along the edge's axis (a) and the other axis (b); lowEdge says whether the edge bounds a from below.
void ClipEdge(double edge, bool lowEdge, double& a1, double& b1, double& a2, double& b2)
{
    const bool rising = a2 > a1;
    const bool falling = a2 < a1;
    if (!rising && !falling)
        return;
    const double lo = rising ? a1 : a2;
    const double hi = rising ? a2 : a1;
    if (!(edge > lo && edge < hi))
        return;
    const double b = b1 + (edge - a1) / (a2 - a1) * (b2 - b1);
    // Rising: the low edge cuts off the first point, the high edge the second; falling the reverse.
    const bool moveFirst = rising == lowEdge;
    if (moveFirst) {
        a1 = edge;
        b1 = b;
    } else {
        a2 = edge;
        b2 = b;
    }
}

} // namespace

int CClipLine::ClipLine(CRectRange* range)
{
    if (!range)
        return FALSE;
    if (m_nMode == 0) {
        const double c = std::cos(m_dAngle);
        const double s = std::sin(m_dAngle);
        double cx, cy;
        range->GetCenter(cx, cy);
        const double r2 = (range->m_dMaxX - cx) * (range->m_dMaxX - cx) + (range->m_dMaxY - cy) * (range->m_dMaxY - cy);
        const double b = (cx - m_dX1) * c + (cy - m_dY1) * s;
        const double d = (cx - m_dX1) * s - (cy - m_dY1) * c;
        if (r2 - d * d < 0)
            return FALSE;
        const double t = b + std::sqrt(r2 - d * d);
        if (t < 0)
            return FALSE;
        m_dX2 = m_dX1 + t * c;
        m_dY2 = m_dY1 + t * s;
    }
    if (!std::isfinite(m_dX1) || !std::isfinite(m_dY1) || !std::isfinite(m_dX2) || !std::isfinite(m_dY2))
        return FALSE;
    ClipEdge(range->m_dMinY, true, m_dY1, m_dX1, m_dY2, m_dX2);
    ClipEdge(range->m_dMaxY, false, m_dY1, m_dX1, m_dY2, m_dX2);
    ClipEdge(range->m_dMinX, true, m_dX1, m_dY1, m_dX2, m_dY2);
    ClipEdge(range->m_dMaxX, false, m_dX1, m_dY1, m_dX2, m_dY2);
    if (m_dX1 < range->m_dMinX || m_dX1 > range->m_dMaxX || m_dY1 < range->m_dMinY || m_dY1 > range->m_dMaxY)
        return FALSE;
    return TRUE;
}
