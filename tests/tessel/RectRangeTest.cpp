// The map view range: fitting, conversions both ways, zooms and their limits, panning, rotation,
// and line clipping, with property tests over random ranges and points.

#include <tessel/ClipLine.h>
#include <tessel/RectRange.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace platform;

namespace {

constexpr double kEps = 1e-9;

CRectRange Range(double x1, double x2, double y1, double y2)
{
    CRectRange r;
    r.vSetTheRange(x1, x2, y1, y2);
    return r;
}

void ExpectEdges(const CRectRange& r, double minX, double maxX, double minY, double maxY, double eps = kEps)
{
    EXPECT_NEAR(r.m_dMinX, minX, eps);
    EXPECT_NEAR(r.m_dMaxX, maxX, eps);
    EXPECT_NEAR(r.m_dMinY, minY, eps);
    EXPECT_NEAR(r.m_dMaxY, maxY, eps);
}

bool Finite(const CRectRange& r)
{
    return std::isfinite(r.m_dMinX) && std::isfinite(r.m_dMaxX) && std::isfinite(r.m_dMinY) &&
           std::isfinite(r.m_dMaxY) && std::isfinite(r.m_dMagnify);
}

} // namespace

TEST(RectRange, NewRangeAndCopies)
{
    CRectRange r;
    ExpectEdges(r, -50000, 50000, -50000, 50000);
    EXPECT_EQ(r.m_bZoomLimit, 1);
    EXPECT_EQ(r.m_dAngle, 0);
    EXPECT_EQ(r.m_dMagnify, 1);

    CRectRange a = Range(0, 10, 0, 10);
    a.m_dMagnify = 4;
    a.m_dAngle = 0.5;
    const CRectRange copy(a);
    EXPECT_EQ(copy.m_dMagnify, 4);
    CRectRange assigned;
    assigned.m_dMagnify = 2;
    assigned = a;
    EXPECT_EQ(assigned.m_dMagnify, 2); // assignment keeps its own magnification
    EXPECT_EQ(assigned.m_dAngle, 0.5);
    ExpectEdges(assigned, 0, 10, 0, 10);
}

TEST(RectRange, ModiRectFitsTheWindowAndTheCentreMapsToItsMiddle)
{
    CRectRange r = Range(0, 100, 0, 100);
    r.ModiRect(240, 320);
    ExpectEdges(r, 50 - 320 * (100.0 / 240) / 2, 50 + 320 * (100.0 / 240) / 2, 0, 100);
    EXPECT_NEAR(r.m_dMinX, -16.666666666667, 1e-9);
    const QRect window(0, 0, 240, 320);
    EXPECT_NEAR(r.GetWidth() / window.width(), 100.0 / 240, kEps);
    EXPECT_NEAR(r.GetHeigh() / window.height(), 100.0 / 240, kEps);
    int px = -1, py = -1;
    r.LPtoDP(50, 50, &px, &py, &window);
    EXPECT_EQ(px, 120);
    EXPECT_EQ(py, 160);
    double x = 0, y = 0;
    r.DPtoLP(px, py, &x, &y, &window);
    EXPECT_NEAR(x, 50, kEps);
    EXPECT_NEAR(y, 50, kEps);

    // A minimised window (no width or no height) leaves the range as it was.
    const CRectRange before = r;
    for (auto [w, h] : {std::pair{0, 320}, std::pair{240, 0}, std::pair{0, 0}}) {
        r.ModiRect(w, h);
        ExpectEdges(r, before.m_dMinX, before.m_dMaxX, before.m_dMinY, before.m_dMaxY, 0);
    }
}

// For random ranges and windows: after ModiRect both axes have one scale and the old range is
// inside; DPtoLP of LPtoDP lands within one pixel, LPtoDP of DPtoLP gives the pixel back.
TEST(RectRange, PropertyFitAndRoundTrips)
{
    std::mt19937_64 rng(25);
    std::uniform_real_distribution<double> coord(-1e6, 1e6);
    std::uniform_real_distribution<double> extent(0.5, 1e5);
    std::uniform_int_distribution<int> size(20, 2000);
    for (int i = 0; i < 2000; ++i) {
        const double x0 = coord(rng), y0 = coord(rng);
        const CRectRange original = Range(x0, x0 + extent(rng), y0, y0 + extent(rng));
        CRectRange r = original;
        const QRect window(size(rng) - 1000, size(rng) - 1000, size(rng), size(rng));
        r.ModiRect(window.width(), window.height());
        const double sx = r.GetHeigh() / window.height(), sy = r.GetWidth() / window.width();
        ASSERT_NEAR(sx / sy, 1, 1e-9);
        ASSERT_LE(r.m_dMinX, original.m_dMinX + 1e-6);
        ASSERT_GE(r.m_dMaxX, original.m_dMaxX - 1e-6);
        ASSERT_LE(r.m_dMinY, original.m_dMinY + 1e-6);
        ASSERT_GE(r.m_dMaxY, original.m_dMaxY - 1e-6);

        std::uniform_real_distribution<double> inX(r.m_dMinX, r.m_dMaxX), inY(r.m_dMinY, r.m_dMaxY);
        const double x = inX(rng), y = inY(rng);
        int px = 0, py = 0;
        r.LPtoDP(x, y, &px, &py, &window);
        double bx = 0, by = 0;
        r.DPtoLP(px, py, &bx, &by, &window);
        ASSERT_LE(std::fabs(bx - x), sx * (1 + 1e-9)) << i;
        ASSERT_LE(std::fabs(by - y), sy * (1 + 1e-9)) << i;
        // Truncation moves toward the window's origin only: the survey point is at or after the pixel's.
        ASSERT_GE(y - by, -1e-6);
        ASSERT_GE(bx - x, -1e-6);

        const int qx = window.left() + int(rng() % unsigned(window.width()));
        const int qy = window.top() + int(rng() % unsigned(window.height()));
        r.DPtoLP(qx, qy, &bx, &by, &window);
        // Nudge half a pixel inward so that truncation cannot fall on the neighbouring pixel.
        int rx = 0, ry = 0;
        r.LPtoDP(bx - sx / 2, by + sy / 2, &rx, &ry, &window);
        ASSERT_EQ(rx, qx) << i;
        ASSERT_EQ(ry, qy) << i;
    }
}

TEST(RectRange, LPtoDPClampsWhatDoesNotFitAPixel)
{
    const QRect window(10, 20, 240, 320);
    struct Case {
        const char* what;
        CRectRange range;
        double x, y;
        int px, py;
    } cases[] = {
        {"far east and south", Range(0, 100, 0, 100), -1e300, 1e300, CRectRange::kMaxDeviceCoord,
         CRectRange::kMaxDeviceCoord},
        {"far west and north", Range(0, 100, 0, 100), 1e300, -1e300, -CRectRange::kMaxDeviceCoord,
         -CRectRange::kMaxDeviceCoord},
        {"infinite point", Range(0, 100, 0, 100), -INFINITY, INFINITY, CRectRange::kMaxDeviceCoord,
         CRectRange::kMaxDeviceCoord},
        {"not a number", Range(0, 100, 0, 100), NAN, NAN, 10, 20},
        {"range without extent", Range(5, 5, 5, 5), 5, 5, 10, 20},
    };
    for (const Case& c : cases) {
        int px = 1, py = 1;
        c.range.LPtoDP(c.x, c.y, &px, &py, &window);
        EXPECT_EQ(px, c.px) << c.what;
        EXPECT_EQ(py, c.py) << c.what;
    }
    // Only the outputs asked for are written.
    int py = 77;
    Range(0, 100, 0, 100).LPtoDP(50, 50, nullptr, &py, &window);
    EXPECT_EQ(py, 20 + 160);
}

TEST(RectRange, ZoomByFactorAndItsLimits)
{
    struct Case {
        const char* what;
        CRectRange range;
        int limit;
        double f;
        int changed;
        double yExtent;
        double magnify;
    } cases[] = {
        {"in by two", Range(0, 100, 0, 200), 1, 0.5, TRUE, 100, 2},
        {"out by four", Range(0, 100, 0, 200), 1, 4, TRUE, 800, 0.25},
        {"in at 0.4 wide", Range(0, 1, 0, 0.4), 1, 0.5, FALSE, 0.4, 1},
        {"in at 0.4 wide, no limit", Range(0, 1, 0, 0.4), 0, 0.5, TRUE, 0.2, 2},
        {"out beyond 4000 km", Range(0, 1, 0, 4000001), 1, 2, FALSE, 4000001, 1},
        {"in beyond 4000 km", Range(0, 1, 0, 4000001), 1, 0.5, TRUE, 2000000.5, 2},
        {"factor 0", Range(0, 100, 0, 100), 0, 0, FALSE, 100, 1},
        {"negative factor", Range(0, 100, 0, 100), 0, -2, FALSE, 100, 1},
        {"not a number", Range(0, 100, 0, 100), 0, NAN, FALSE, 100, 1},
        {"infinite factor", Range(0, 100, 0, 100), 0, INFINITY, FALSE, 100, 1},
        {"overflowing factor", Range(0, 100, 0, 100), 0, 1e307, FALSE, 100, 1},
    };
    for (Case& c : cases) {
        CRectRange r = c.range;
        r.m_bZoomLimit = c.limit;
        double cx0, cy0, cx1, cy1;
        r.GetCenter(cx0, cy0);
        EXPECT_EQ(r.Zoom(c.f), c.changed) << c.what;
        r.GetCenter(cx1, cy1);
        EXPECT_NEAR(r.GetWidth(), c.yExtent, 1e-9) << c.what;
        EXPECT_NEAR(r.m_dMagnify, c.magnify, 1e-12) << c.what;
        EXPECT_NEAR(cx1, cx0, 1e-9) << c.what;
        EXPECT_NEAR(cy1, cy0, 1e-9) << c.what;
        EXPECT_TRUE(Finite(r)) << c.what;
    }
    // A collapsed range zooms without its magnification becoming NaN.
    CRectRange point;
    point.m_bZoomLimit = 0;
    point.Extend(3, 4, TRUE);
    EXPECT_EQ(point.Zoom(2), TRUE);
    EXPECT_TRUE(Finite(point));
    EXPECT_EQ(point.m_dMagnify, 1);
}

TEST(RectRange, ZoomAboutAPointKeepsItUnderThePixel)
{
    std::mt19937_64 rng(20);
    const QRect window(0, 0, 480, 640);
    for (int i = 0; i < 500; ++i) {
        CRectRange r = Range(1000, 1500, 2000, 2300);
        r.ModiRect(window.width(), window.height());
        const QPoint p(int(rng() % 480), int(rng() % 640));
        const double f = (i % 2) ? 2 : 0.5;
        double x0, y0, x1, y1;
        r.DPtoLP(p.x(), p.y(), &x0, &y0, &window);
        ASSERT_EQ(r.Zoom(p, &window, f), TRUE);
        r.DPtoLP(p.x(), p.y(), &x1, &y1, &window);
        ASSERT_NEAR(x1, x0, 1e-9);
        ASSERT_NEAR(y1, y0, 1e-9);
        ASSERT_NEAR(r.m_dMagnify, 1 / f, 1e-12);
    }
    // The scale number refuses going further in at 10 and further out beyond 1e9.
    CRectRange fine = Range(0, 0.02, 0, 0.02); // 60 × 0.02 / 480 × 1000 = 2.5
    EXPECT_LT(fine.ScaleNumber(&window), 10);
    EXPECT_EQ(fine.Zoom(QPoint(10, 10), &window, 0.5), FALSE);
    EXPECT_EQ(fine.Zoom(QPoint(10, 10), &window, 2), TRUE);
    const QRect empty(0, 0, 0, 640);
    CRectRange any = Range(0, 100, 0, 100);
    EXPECT_EQ(any.Zoom(QPoint(1, 1), &empty, 2), FALSE);
    EXPECT_EQ(any.SetViewProperties(QPoint(1, 1), QPoint(5, 5), &empty), FALSE);
    EXPECT_EQ(any.Zoom(QPoint(1, 1), QPoint(5, 5), &empty), FALSE);
    EXPECT_TRUE(Finite(any));
}

TEST(RectRange, ZoomToADraggedRectangleAndPan)
{
    const QRect window(0, 0, 200, 100);
    CRectRange r = Range(0, 100, 0, 200); // 1 unit per pixel
    ASSERT_EQ(r.Zoom(QPoint(150, 80), QPoint(50, 30), &window), TRUE);
    ExpectEdges(r, 20, 70, 50, 150);
    EXPECT_NEAR(r.m_dMagnify, 2, 1e-12);
    // A single pixel widens to the smallest extent.
    CRectRange dot = Range(0, 100, 0, 200);
    ASSERT_EQ(dot.Zoom(QPoint(10, 10), QPoint(10, 10), &window), TRUE);
    EXPECT_NEAR(dot.GetWidth(), 1e-5, 1e-12);
    EXPECT_TRUE(Finite(dot));
    // Too fine a scale refuses a dragged zoom: N < 100.
    CRectRange tiny = Range(0, 0.1, 0, 0.2); // 60 × 0.2 / 200 × 1000 = 60
    EXPECT_EQ(tiny.Zoom(QPoint(0, 0), QPoint(100, 50), &window), FALSE);

    // Pan: what was under `from` comes under `to`.
    CRectRange pan = Range(0, 100, 0, 200);
    double x0, y0, x1, y1;
    pan.DPtoLP(40, 30, &x0, &y0, &window);
    ASSERT_EQ(pan.SetViewProperties(QPoint(40, 30), QPoint(70, 90), &window), TRUE);
    pan.DPtoLP(70, 90, &x1, &y1, &window);
    EXPECT_NEAR(x1, x0, kEps);
    EXPECT_NEAR(y1, y0, kEps);
    EXPECT_NEAR(pan.GetWidth(), 200, kEps);
}

TEST(RectRange, TestsOfPointsAndRanges)
{
    const CRectRange r = Range(0, 100, 0, 100);
    struct Case {
        double x, y;
        int in;
    } points[] = {{50, 50, TRUE}, {-0.0005, 50, TRUE}, {-0.002, 50, FALSE}, {50, 100.0005, TRUE},
                  {50, 100.002, FALSE}, {100.002, 100, FALSE}};
    for (const Case& c : points)
        EXPECT_EQ(r.InRange(c.x, c.y), c.in) << c.x << "," << c.y;
    EXPECT_EQ(r.InCircleRange(100, 100), TRUE); // the corner itself
    EXPECT_EQ(r.InCircleRange(50 + 50 * std::sqrt(2.0) + 1e-6, 50), FALSE);
    EXPECT_EQ(r.InCircleRange(50 + 50 * std::sqrt(2.0) - 1e-6, 50), TRUE);

    CRectRange grow;
    int count = 0;
    grow.m_dAngle = 1;
    grow.m_dMagnify = 5;
    grow.vModiTheRange(count, 3, 4);
    EXPECT_EQ(count, 1);
    ExpectEdges(grow, 3, 3, 4, 4);
    EXPECT_EQ(grow.m_dAngle, 0);
    EXPECT_EQ(grow.m_dMagnify, 1);
    grow.vModiTheRange(count, -1, 10);
    grow.vModiTheRange(count, Range(0, 20, 5, 6));
    EXPECT_EQ(count, 1);
    ExpectEdges(grow, -1, 20, 4, 10);
}

TEST(RectRange, RotationTurnsAboutTheOriginAndRebuildsTheRange)
{
    double x = 1, y = 0; // north
    CRectRange::vRotate(M_PI / 2, x, y);
    EXPECT_NEAR(x, 0, kEps);
    EXPECT_NEAR(y, -1, kEps);

    CRectRange r = Range(0, 100, 0, 100);
    r.m_dMagnify = 3;
    r.vRotateAngle(M_PI / 4, FALSE);
    const double h = 50 * std::sqrt(2.0);
    // Corners (0,0), (0,100), (100,0), (100,100) turned by 45°: x from 0 to 141.4, y from -70.7 to 70.7.
    ExpectEdges(r, 0, 2 * h, -h, h);
    EXPECT_EQ(r.m_dAngle, M_PI / 4);
    EXPECT_EQ(r.m_dMagnify, 1);

    CRectRange kept = Range(0, 100, 0, 100);
    kept.vRotateAngle(M_PI / 4, TRUE);
    // The old centre, turned into the new frame, is the new centre.
    double cx = 50, cy = 50, gx, gy;
    CRectRange::vRotate(M_PI / 4, cx, cy);
    kept.GetCenter(gx, gy);
    EXPECT_NEAR(gx, cx, kEps);
    EXPECT_NEAR(gy, cy, kEps);
    // Points are turned before InRange and LPtoDP look at them.
    EXPECT_EQ(kept.InRange(50, 50), TRUE);
    const QRect window(0, 0, 100, 100);
    int px, py;
    kept.LPtoDP(50, 50, &px, &py, &window);
    EXPECT_NEAR(px, 50, 1); // the middle pixel, give or take the truncation of 49.999...
    EXPECT_NEAR(py, 50, 1);
}

TEST(ClipLine, SegmentsAndRays)
{
    CRectRange r = Range(0, 100, 0, 100);
    struct Case {
        const char* what;
        int mode;
        double x1, y1, x2, y2, angle;
        int inside;
        double ex1, ey1, ex2, ey2;
    } cases[] = {
        {"across x", 1, -10, 50, 110, 50, 0, TRUE, 0, 50, 100, 50},
        {"across x backwards", 1, 110, 50, -10, 50, 0, TRUE, 100, 50, 0, 50},
        {"across y", 1, 50, -10, 50, 110, 0, TRUE, 50, 0, 50, 100},
        {"diagonal through corners", 1, -10, -10, 110, 110, 0, TRUE, 0, 0, 100, 100},
        {"cuts a corner", 1, -10, 50, 50, -10, 0, TRUE, 0, 40, 40, 0},
        {"inside", 1, 10, 20, 30, 40, 0, TRUE, 10, 20, 30, 40},
        {"wholly outside", 1, -10, 5, 5, -10, 0, FALSE, -10, 5, -5, 0},
        {"beside", 1, 150, 0, 150, 100, 0, FALSE, 150, 0, 150, 100},
        {"ray north from the centre", 0, 50, 50, 0, 0, 0, TRUE, 50, 50, 100, 50},
        {"ray east from the centre", 0, 50, 50, 0, 0, M_PI / 2, TRUE, 50, 50, 50, 100},
        // The ray's end is the far crossing of the circle through the corners: toward a corner it
        // is the corner itself, which no edge then cuts.
        {"ray to the corner", 0, 50, 50, 0, 0, M_PI / 4, TRUE, 50, 50, 100, 100},
        {"ray from outside", 0, -50, 50, 0, 0, 0, TRUE, 0, 50, 100, 50},
        {"ray pointing away", 0, 200, 50, 0, 0, 0, FALSE, 200, 50, 0, 0},
        {"ray far beside", 0, 500, 500, 0, 0, 0, FALSE, 500, 500, 0, 0},
        {"ray missing the circle", 0, 200, -500, 0, 0, 0, FALSE, 200, -500, 0, 0},
    };
    for (const Case& c : cases) {
        CClipLine l;
        l.m_nMode = c.mode;
        l.m_dX1 = c.x1, l.m_dY1 = c.y1, l.m_dX2 = c.x2, l.m_dY2 = c.y2, l.m_dAngle = c.angle;
        EXPECT_EQ(l.ClipLine(&r), c.inside) << c.what;
        EXPECT_NEAR(l.m_dX1, c.ex1, kEps) << c.what;
        EXPECT_NEAR(l.m_dY1, c.ey1, kEps) << c.what;
        EXPECT_NEAR(l.m_dX2, c.ex2, kEps) << c.what;
        EXPECT_NEAR(l.m_dY2, c.ey2, kEps) << c.what;
    }
    CRectRange small = r;
    CClipLine nan;
    nan.m_nMode = 1;
    nan.m_dX1 = NAN, nan.m_dY1 = 50, nan.m_dX2 = 50, nan.m_dY2 = 50;
    EXPECT_EQ(nan.ClipLine(&small), FALSE);
    CClipLine inf;
    inf.m_nMode = 1;
    inf.m_dX1 = -INFINITY, inf.m_dY1 = 50, inf.m_dX2 = 50, inf.m_dY2 = 50;
    EXPECT_EQ(inf.ClipLine(&small), FALSE);
}

// Random segments: a clipped segment lies in the range, on the original line, and is reported
// inside exactly when the original segment meets the range (checked by dense sampling).
TEST(ClipLine, PropertyClippedSegmentsLieOnTheLineAndInTheRange)
{
    std::mt19937_64 rng(23);
    std::uniform_real_distribution<double> c(-200, 300);
    const CRectRange r = Range(0, 100, 0, 100);
    int inside = 0;
    for (int i = 0; i < 5000; ++i) {
        CClipLine l;
        l.m_nMode = 1;
        l.m_dX1 = c(rng), l.m_dY1 = c(rng), l.m_dX2 = c(rng), l.m_dY2 = c(rng);
        const CClipLine o = l;
        CRectRange range = r;
        const int got = l.ClipLine(&range);
        bool meets = false;
        for (int k = 0; k <= 20000 && !meets; ++k) {
            const double t = k / 20000.0;
            const double x = o.m_dX1 + t * (o.m_dX2 - o.m_dX1), y = o.m_dY1 + t * (o.m_dY2 - o.m_dY1);
            meets = x > 0.01 && x < 99.99 && y > 0.01 && y < 99.99;
        }
        if (meets) {
            ASSERT_EQ(got, TRUE) << i;
        }
        if (!got)
            continue;
        ++inside;
        for (auto [x, y] : {std::pair{l.m_dX1, l.m_dY1}, std::pair{l.m_dX2, l.m_dY2}}) {
            ASSERT_GE(x, -1e-9);
            ASSERT_LE(x, 100 + 1e-9);
            ASSERT_GE(y, -1e-9);
            ASSERT_LE(y, 100 + 1e-9);
            // On the original line: the cross product with its direction vanishes.
            const double cross = (x - o.m_dX1) * (o.m_dY2 - o.m_dY1) - (y - o.m_dY1) * (o.m_dX2 - o.m_dX1);
            ASSERT_NEAR(cross / std::hypot(o.m_dX2 - o.m_dX1, o.m_dY2 - o.m_dY1), 0, 1e-7);
        }
    }
    EXPECT_GT(inside, 500);
}

// Whatever a caller passes, ordinary numbers or ones that are not finite (a point read from a
// damaged file), the range stays finite: random sequences of every operation.
TEST(RectRange, PropertyNothingPassedMakesTheRangeNotFinite)
{
    std::mt19937_64 rng(26);
    const double specials[] = {NAN, INFINITY, -INFINITY, 0};
    std::uniform_real_distribution<double> ordinary(-1e7, 1e7);
    auto value = [&] { return rng() % 5 == 0 ? specials[rng() % 4] : ordinary(rng); };
    auto pixel = [&] { return QPoint(int(rng() % 700) - 50, int(rng() % 700) - 50); };
    const QRect window(0, 0, 480, 640);
    for (int run = 0; run < 300; ++run) {
        CRectRange r;
        r.m_bZoomLimit = int(rng() % 2);
        int count = 0;
        for (int step = 0; step < 40; ++step) {
            const int op = int(rng() % 15);
            switch (op) {
            case 0: r.vSetTheRange(value(), value(), value(), value()); break;
            case 1: r.vSetRange(value(), value(), value()); break;
            case 2: r.Normalize(value()); break;
            case 3: r.SetCenter(value(), value()); break;
            case 4: r.Extend(value(), value(), BOOL(rng() % 2)); break;
            case 5: r.vModiTheRange(count, value(), value()); break;
            case 6: {
                CRectRange other;
                other.m_dMinX = value(), other.m_dMaxX = value(), other.m_dMinY = value(), other.m_dMaxY = value();
                if (rng() % 2)
                    r.vModiTheRange(count, other);
                else
                    r.Extend(other);
                break;
            }
            case 7: r.vModiTheRange(value(), value(), &window, value()); break;
            case 8: r.ModiRect(int(rng() % 600), int(rng() % 600)); break;
            case 9: r.Zoom(value()); break;
            case 10: r.Zoom(pixel(), pixel(), &window); break;
            case 11: r.Zoom(pixel(), &window, value()); break;
            case 12: r.SetViewProperties(pixel(), pixel(), &window); break;
            case 13: r.vRotateAngle(value(), BOOL(rng() % 2)); break;
            default: count = 0; break;
            }
            ASSERT_TRUE(Finite(r)) << "run " << run << " step " << step << " operation " << op;
        }
    }
    // A point left out does not start the range: the next good one does.
    CRectRange bounds;
    int count = 0;
    bounds.vModiTheRange(count, NAN, 1);
    bounds.vModiTheRange(count, 2, INFINITY);
    EXPECT_EQ(count, 0);
    bounds.vModiTheRange(count, 3, 4);
    bounds.vModiTheRange(count, -INFINITY, 9);
    bounds.vModiTheRange(count, 5, 6);
    ExpectEdges(bounds, 3, 5, 4, 6);
}
