#pragma once
// Cuts a line segment, or a ray from a point in a direction, to a map view range.

#include "RectRange.h"
#include "TesselExport.h"

class TESSEL_EXPORT CClipLine {
public:
    // In place; TRUE when the clipped line lies in the range. Points that are not finite never do.
    int ClipLine(CRectRange* range);

    int m_nMode = 0; // 0: a ray from the first point along m_dAngle; otherwise the segment
    double m_dX1 = 0;
    double m_dY1 = 0;
    double m_dX2 = 0;
    double m_dY2 = 0;
    double m_dAngle = 0; // radians from north (x) toward east (y)
};
