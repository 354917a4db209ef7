#pragma once
// A map view: a rectangle in survey coordinates shown in a window rectangle of pixels, with a
// rotation angle and a running magnification. Survey x is north (up the screen), y is east (to the
// right). Converts between survey points and pixels, fits the range to a window's shape, pans,
// zooms (with limits on how far in and out), rotates, and grows to include points and ranges.
// Window rectangles are QRects: their width() and height() are W and H. Nothing a caller passes
// (an empty window, a factor of 0, a point or edge that is not finite) makes the range NaN or
// infinite: such points and edges are left out.

#include "TesselExport.h"

#include <platform/WinTypes.h>

#include <QPoint>
#include <QRect>

class TESSEL_EXPORT CRectRange {
public:
    // Pixel coordinates are clamped to plus or minus this: far outside any window, well inside int.
    static constexpr int kMaxDeviceCoord = (1 << 27) - 1;

    CRectRange();
    CRectRange(const CRectRange& other); // every member
    CRectRange& operator=(const CRectRange& other); // all but the magnification

    void vSetTheRange(double x1, double x2, double y1, double y2);
    // The square of half-side r around (x, y); the magnification stays.
    void vSetRange(double x, double y, double r);
    // Edges in order, and each extent at least |eps|.
    void Normalize(double eps);
    void GetCenter(double& x, double& y) const;
    // Moves the range (same size) so that the point, rotated by the range's angle, is its centre.
    void SetCenter(double x, double y);
    double GetWidth() const; // east-west extent
    double GetHeigh() const; // north-south extent

    // Within 0.001 of the range (the point rotated by the range's angle).
    int InRange(double x, double y) const;
    // Within the circle through the range's corners (the corner itself counts as inside).
    int InCircleRange(double x, double y) const;
    int IsInsercet(const CRectRange& other) const;
    void Extend(double x, double y, platform::BOOL bReset);
    void Extend(const CRectRange& other);
    // With count 0: count becomes 1 and the range the point (angle 0, magnification 1); otherwise
    // the range grows to include the point.
    void vModiTheRange(int& count, double x, double y);
    void vModiTheRange(int& count, const CRectRange& other);
    // Centred on (x, y) at s survey units per pixel of the window.
    void vModiTheRange(double x, double y, const QRect* rect, double s);
    // Widens one axis so that both have the same scale and the whole range stays visible in a window
    // of that shape. A zero width or height (a minimised window) changes nothing.
    void ModiRect(int width, int height);

    // Survey point to pixel; each output written only when given. Results are clamped to
    // ±kMaxDeviceCoord; a point that is not a number gives the window's origin.
    void LPtoDP(double x, double y, int* px, int* py, const QRect* rect) const;
    // Pixel to survey point, in the range's (rotated) frame.
    void DPtoLP(int px, int py, double* x, double* y, const QRect* rect) const;
    // Pixels per survey unit.
    double dGetZoomLevel(const QRect* rect) const;
    // The scale number the zoom limits compare against: 60 000 × survey units per pixel, rounded.
    double ScaleNumber(const QRect* rect) const;

    // Each returns TRUE when the range changed, FALSE when refused. A factor that is 0, negative or
    // not finite is refused, and so is an empty window rectangle.
    int Zoom(double f);
    // To the rectangle dragged between two pixels.
    int Zoom(QPoint p1, QPoint p2, const QRect* rect);
    // About a tapped pixel: the survey point under it stays there.
    int Zoom(QPoint p, const QRect* rect, double f);
    // Pans so that the survey point under `from` comes under `to`.
    int SetViewProperties(QPoint from, QPoint to, const QRect* rect);

    // Rotates a point about the origin by a radians.
    static void vRotate(double a, double& x, double& y);
    // The smallest range holding the corners rotated by a; a becomes the angle and the magnification
    // 1. With bKeepCentre the range is centred where it was.
    void vRotateAngle(double a, platform::BOOL bKeepCentre);
    // The same, centred on (x, y) instead with bKeepCentre.
    void vRotateAngle(double a, double x, double y, platform::BOOL bKeepCentre);

    int m_bZoomLimit = 1;
    double m_dMinX = -50000; // south edge
    double m_dMaxX = 50000;  // north edge
    double m_dMinY = -50000; // west edge
    double m_dMaxY = 50000;  // east edge
    double m_dAngle = 0;     // radians
    double m_dMagnify = 1;

private:
    void rotated(double& x, double& y) const;
    void moveBy(double dx, double dy);
    void multiplyMagnification(double oldX, double oldY);
};
