// Tests of the plane intersection kit. Coordinates are (x, y) = (east, north).
#include "cogo/intersections.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <random>
#include <vector>

namespace {

const double kOnLocus = 1e-6;  // metres: a returned point must lie this close to each locus
// Accuracy stated for IntersectionCoordsOfLineAndCircle: error <= factor x (lA / lB)^2 x size
// for |lB| >= 1e-5, and |lB / lA| x size below that, where the line is taken as x = const.
const double kLineCircleErrorFactor = 4e-15;
// Lines (given, or the radical line of two circles) within this of x = const may leave points
// up to kSteepError x the figure's size off their loci; all others within kOnLocus.
const double kSteepBand = 1e-2;
const double kSteepError = 3e-5;
const double kRadPerDeg = 0.017453292519943295;

// Tolerance for points found on the line with normal (A, B) in a figure of the given size.
double locusTol(double A, double B, double size)
{
    return std::fabs(B) < kSteepBand * std::fabs(A) ? kSteepError * size : kOnLocus;
}

double distToCircle(double x, double y, double cx, double cy, double r) { return std::fabs(HorizontalDistance(cx, cy, x, y) - r); }
double distToLine(double x, double y, double A, double B, double C) { return std::fabs(A * x + B * y - C) / std::hypot(A, B); }

// Distance from P to the locus of points seeing the chord p1 p2 under `angle` degrees.
double distToAngleLocus(double px, double py, double x1, double y1, double x2, double y2, double angle)
{
    double cx, cy, r, A, B, C;
    if (ComputeCenterCoordinates(x1, y1, x2, y2, angle, cx, cy, r))
        return distToCircle(px, py, cx, cy, r);
    ComputeEqVars(x1, y1, x2, y2, A, B, C);
    return distToLine(px, py, A, B, C);
}

// Every actual value within tol of its expected value.
::testing::AssertionResult allNear(std::initializer_list<double> actual, std::initializer_list<double> expected, double tol)
{
    auto e = expected.begin();
    for (double a : actual)
        if (!(std::fabs(a - *e++) <= tol))
            return ::testing::AssertionFailure() << a << " vs " << *(e - 1);
    return ::testing::AssertionSuccess();
}

// Readings taken at P with an arbitrary orientation of the circle.
struct Station {
    double px, py, orientation;
    double reading(double x, double y) const
    {
        const double r = GetRefAziPts(x - px, y - py) - orientation;
        return r < 0.0 ? r + 360.0 : r;
    }
};

// ---- Azimuths and lines ----

TEST(Intersections, AzimuthsRotationsAndLines)
{
    struct Case { double dx, dy, expected; const char* reason; };
    const Case cases[] = {
        {0, 1, 0, "north"}, {1, 0, 90, "east"}, {0, -1, 180, "south"}, {-1, 0, 270, "west"}, {0, 0, 0, "zero vector"},
        {1, -1, 135, "south-east"}, {-1, -1, 225, "south-west: the third quadrant comes out above 180, not negative"},
        {-1, 1, 315, "north-west: a negative direction gets 360 added"},
        {-1e-9, 1, 360 - 5.729577951308232e-8, "just west of north stays below 360"},
    };
    for (const Case& c : cases) {
        const double az = GetRefAziPts(c.dx, c.dy);
        EXPECT_TRUE(std::fabs(az - c.expected) < 1e-12 && az >= 0.0 && az < 360.0) << c.reason;
    }
    double rx, ry, r1 = 7, r2 = 7, r3 = 7;
    EXPECT_EQ(RotateCounterClockwise(1.0, 0.0, 90.0, rx, ry), 1);
    EXPECT_TRUE(allNear({rx, ry}, {0.0, -1.0}, 1e-15));
    EXPECT_EQ(dENSoutInfo(0.0, 0.0, 5.0, 30.0, &r1, &r2, &r3), 0) << "vanishing pair";
    EXPECT_TRUE(r1 == 0.0 && r2 == 0.0 && r3 == 5.0) << "c is copied even on failure";
    EXPECT_EQ(dENSoutInfo(1.0, 0.0, 5.0, 90.0, &r1, &r2, &r3), 1);
    EXPECT_TRUE(allNear({r1, r2}, {0.0, 1.0}, 1e-15));

    struct LineCase { double x1, y1, az1, x2, y2, az2; int result; double x, y; const char* reason; };
    const LineCase lines[] = {
        {0, 0, 45, 10, 0, 315, 1, 5, 5, "symmetric rays meet above the base"},
        {0, 0, 0, 5, 3, 270, 1, 0, 3, "north line and west line"},
        {0, 0, 90, 0, 1, 270, 0, 1e30, 1e30, "parallel east-west lines keep the 1e30 marker"},
        {0, 0, 30, 1, 1, 210, 0, 1e30, 1e30, "opposite azimuths are parallel too"},
    };
    for (const LineCase& c : lines) {
        double x = 0, y = 0;
        EXPECT_EQ(ComputeENIntersectionPoint(c.x1, c.y1, c.az1, c.x2, c.y2, c.az2, x, y), c.result) << c.reason;
        EXPECT_TRUE(allNear({x, y}, {c.x, c.y}, 1e-12)) << c.reason;
    }
    double x = -3, y = -4, A1, B1, C1, A2, B2, C2;
    ComputeEqVars(0.0, 0.0, 1.0, 1.0, A1, B1, C1);
    ComputeEqVars(0.0, 1.0, 1.0, 2.0, A2, B2, C2);
    EXPECT_EQ(GetIntersectionPointFromEqVars(A1, B1, C1, A2, B2, C2, x, y), 0);
    EXPECT_TRUE(x == -3.0 && y == -4.0) << "outputs untouched for parallel lines";
}

// ---- Quadratics, lines and circles ----

TEST(Intersections, QuadraticRoots)
{
    struct Case { double a, b, c; int n; double r1, r2; const char* reason; };
    const Case cases[] = {
        {1, -3, 2, 2, 2, 1, "two roots, r1 takes +sqrt D"}, {-1, 3, -2, 2, 1, 2, "negative a swaps the order"},
        {1, 2, 1, 1, -1, -1, "double root"}, {0, 2, -4, 1, 2, 2, "linear"},
        {1, 0, 1, 0, 0, 0, "no real root, outputs zeroed"}, {0, 1e-6, 1, 0, 0, 0, "linear with vanishing b"},
        {0, 0, 1, 0, 0, 0, "a = b = 0: no root instead of 0 / 0"}, {0, 0, 0, 0, 0, 0, "a = b = c = 0: no single root"},
        {1e-14, 3, -6, 1, 2, 2, "a below 1e-13 counts as linear"},
    };
    for (const Case& c : cases) {
        double r1 = 99, r2 = 99;
        EXPECT_EQ(SolutionTo2ndDegreePolynomial(c.a, c.b, c.c, r1, r2), c.n) << c.reason;
        EXPECT_TRUE(allNear({r1, r2}, {c.r1, c.r2}, 1e-12)) << c.reason;
    }
}

TEST(Intersections, LineAndCircleCases)
{
    double A, B, C;
    ComputeCircleEqVars(0.0, 0.0, 1.0, A, B, C);  // unit circle
    struct Case { double lA, lB, lC; int n; double x1, y1, x2, y2; const char* reason; };
    const Case cases[] = {
        {0, 1, 1, 1, 0, 1, 0, 1, "tangent y = 1: one solution, both pairs equal"},
        {1, 0, 1, 1, 1, 0, 1, 0, "tangent x = 1 through the vertical-line branch"},
        {1, 0, 0, 2, 0, 1, 0, -1, "x = 0 crosses twice"}, {1, 1, 1, 2, 1, 0, 0, 1, "x + y = 1"},
        {0, 1, 2, 0, 7, 7, 7, 7, "y = 2 misses: outputs untouched"}, {1, 0, -3, 0, 7, 7, 7, 7, "x = -3 misses"},
        {1e-6, 1e-6, 1, 0, 7, 7, 7, 7, "no line at all"},
    };
    for (const Case& c : cases) {
        double x1 = 7, y1 = 7, x2 = 7, y2 = 7;
        EXPECT_EQ(IntersectionCoordsOfLineAndCircle(A, B, C, c.lA, c.lB, c.lC, x1, y1, x2, y2), c.n) << c.reason;
        EXPECT_TRUE(allNear({x1, y1, x2, y2}, {c.x1, c.y1, c.x2, c.y2}, 1e-7)) << c.reason;
    }
}

// Property: every returned point lies on the circle and on the line. The lines are drawn with
// uniform directions (the azimuth form of the line passes along its azimuth); near x = const
// the quadratic in x loses accuracy (see the header), which is checked against its stated
// bound on lines within 1e-2 of x = const.
TEST(Intersections, LineAndCirclePointsLieOnBoth)
{
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> unit(-1.0, 1.0), az(0.0, 360.0);
    int solved = 0;
    for (int i = 0; i < 2000; ++i) {
        const double r = std::pow(10.0, 2.0 * unit(rng) + 1.0);  // 0.1 m to 1000 m, log-uniform
        const double cx = r * unit(rng), cy = r * unit(rng), px = cx + 1.2 * r * unit(rng), py = cy + 1.2 * r * unit(rng);
        double cA, cB, cC, lA, lB, lC, x[2], y[2];
        const double a = az(rng), d = 1.2 * r * unit(rng);
        ComputeCircleEqVars(cx, cy, r, cA, cB, cC);
        ComputeEqVars(a, px, py, lA, lB, lC);
        ASSERT_LT(distToLine(px + d * std::sin(a * kRadPerDeg), py + d * std::cos(a * kRadPerDeg), lA, lB, lC), 1e-9) << "case " << i;
        const int n = IntersectionCoordsOfLineAndCircle(cA, cB, cC, lA, lB, lC, x[0], y[0], x[1], y[1]);
        solved += n > 0;
        const double tol = locusTol(lA, lB, std::hypot(cx, cy) + r);
        for (int k = 0; k < n; ++k)
            ASSERT_TRUE(distToCircle(x[k], y[k], cx, cy, r) < tol && distToLine(x[k], y[k], lA, lB, lC) < tol)
                << "case " << i << " point " << k;
    }
    EXPECT_GT(solved, 1000);
    for (double slope : {0.0, 1e-7, 9.9e-6, 1.01e-5, 1e-4, 1e-3, 1e-2}) {
        for (int i = 0; i < 500; ++i) {
            const double cx = unit(rng), cy = unit(rng), lA = std::sqrt(1.0 - slope * slope), lB = (unit(rng) < 0 ? -1.0 : 1.0) * slope;
            const double lC = lA * (cx + 0.9 * unit(rng)) + lB * (cy + 0.9 * unit(rng));
            double cA, cB, cC, x[2], y[2];
            ComputeCircleEqVars(cx, cy, 1.0, cA, cB, cC);
            ASSERT_EQ(IntersectionCoordsOfLineAndCircle(cA, cB, cC, lA, lB, lC, x[0], y[0], x[1], y[1]), 2)
                << "slope " << slope << " case " << i;
            const double size = std::hypot(cx, cy) + 1.0;
            const double bound = slope < kIntersectLeadCoefTol ? std::fmax(slope * size, 1e-15) : kLineCircleErrorFactor / (slope * slope);
            for (int k = 0; k < 2; ++k)
                ASSERT_TRUE(distToCircle(x[k], y[k], cx, cy, 1.0) < bound && distToLine(x[k], y[k], lA, lB, lC) < bound)
                    << "slope " << slope << " case " << i;
            ASSERT_LT(std::fmin(slope * size, kLineCircleErrorFactor / (slope * slope)), kSteepError * size);
        }
    }
}

TEST(Intersections, CentreOfTheAngleCircle)
{
    struct Case { double angle; int result; double cx, cy, r; const char* reason; };
    // Chord from (0, 0) to (0, 10), running north.
    const Case cases[] = {
        {90, 1, 0, 5, 5, "right angle: the chord is a diameter"},
        {45, 1, 5, 5, 7.0710678118654755, "below 90 the centre lies right (east) of the chord"},
        {135, 1, -5, 5, 7.0710678118654755, "above 90 it lies left (west)"},
        {-45, 1, -5, 5, 7.0710678118654755, "a counter-clockwise angle mirrors the circle"},
        {0, 0, 9, 9, 9, "zero angle: the locus is the line"}, {180, 0, 9, 9, 9, "straight angle: the locus is the line"},
    };
    for (const Case& c : cases) {
        double cx = 9, cy = 9, r = 9;
        EXPECT_EQ(ComputeCenterCoordinates(0, 0, 0, 10, c.angle, cx, cy, r), c.result) << c.reason;
        EXPECT_TRUE(allNear({cx, cy, r}, {c.cx, c.cy, c.r}, 1e-12)) << c.reason;
    }
    // The circle of the angle seen at P passes through P.
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> coord(-500.0, 500.0);
    int tested = 0;
    for (int i = 0; i < 1000; ++i) {
        const double px = coord(rng), py = coord(rng), x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
        double a = GetRefAziPts(x2 - px, y2 - py) - GetRefAziPts(x1 - px, y1 - py), cx, cy, r;
        a = a < 0.0 ? a + 360.0 : a;
        if (std::fabs(std::sin(a * kRadPerDeg)) < 0.01)
            continue;  // nearly collinear: the circle is huge
        ASSERT_EQ(ComputeCenterCoordinates(x1, y1, x2, y2, a, cx, cy, r), 1) << "case " << i;
        ASSERT_TRUE(allNear({HorizontalDistance(cx, cy, x1, y1), HorizontalDistance(cx, cy, x2, y2), HorizontalDistance(cx, cy, px, py)},
                            {r, r, r}, 1e-8 * r)) << "case " << i;
        ++tested;
    }
    EXPECT_GT(tested, 900);
}

TEST(Intersections, TwoCircles)
{
    double A1, B1, C1, A2, B2, C2, x1 = 7, y1 = 7, x2 = 7, y2 = 7;
    ComputeCircleEqVars(0, 0, 2, A1, B1, C1);
    ComputeCircleEqVars(0, 0, 3, A2, B2, C2);
    EXPECT_EQ(IntersectionCoordsOfTwoCircles(A1, B1, C1, A2, B2, C2, x1, y1, x2, y2), 0) << "concentric";
    EXPECT_EQ(x1, 7.0);
    ComputeCircleEqVars(2, 0, 1, A2, B2, C2);
    EXPECT_EQ(IntersectionCoordsOfTwoCircles(A1, B1, C1, A2, B2, C2, x1, y1, x2, y2), 2);
    EXPECT_TRUE(allNear({x1, x2, std::fabs(y1), y1}, {1.75, 1.75, std::sqrt(4 - 1.75 * 1.75), -y2}, 1e-12))
        << "mirrored about the line of centres";
    ComputeCircleEqVars(3, 0, 1, A2, B2, C2);
    EXPECT_EQ(IntersectionCoordsOfTwoCircles(A1, B1, C1, A2, B2, C2, x1, y1, x2, y2), 1) << "touching";
    EXPECT_TRUE(allNear({x1, y1}, {2.0, 0.0}, 1e-6));

}

// ---- Point solutions ----

TEST(Intersections, PointFromTwoDistances)
{
    struct Case { double d1, d2; int count; const char* reason; };
    // Base from (0, 0) to (10, 0).
    const Case cases[] = {
        {6, 8, 2, "two solutions mirrored about the base line"}, {3, 3, 0, "the circles do not meet"},
        {4, 6, 1, "touching circles give one point on the base"},
        {4.1, 6, 2, "0.1 m overlap: the two points are 1.4 m apart"},
        {4.001, 6, 1, "barely overlapping: the two points are closer than 0.25 m"},
        {0, 10, 0, "a zero first distance gives no solution"},
    };
    for (const Case& c : cases) {
        double X1 = 7, Y1 = 7, X2 = 7, Y2 = 7;
        int count = -1;
        EXPECT_EQ(ComputeCoords(0.0, 0.0, c.d1, 10.0, 0.0, c.d2, X1, Y1, X2, Y2, count), c.count > 0 ? 1 : 0) << c.reason;
        EXPECT_EQ(count, c.count) << c.reason;
        EXPECT_TRUE(c.count == 0 ? X1 == 7.0 : std::fabs(HorizontalDistance(0, 0, X1, Y1) - c.d1) < 1e-3) << c.reason;
        EXPECT_TRUE(c.count == 2 || X2 == 7.0) << "second pair untouched: " << c.reason;
        EXPECT_TRUE(c.count < 2 || allNear({X1, std::fabs(Y1), Y1}, {X2, std::fabs(Y2), -Y2}, 1e-12)) << c.reason;
    }

    std::mt19937 rng(5);
    std::uniform_real_distribution<double> unit(-1.0, 1.0), coord(-1e5, 1e5);
    int solved = 0;
    for (int i = 0; i < 4000; ++i) {
        const double x1 = coord(rng), y1 = coord(rng), base = std::pow(10.0, 1.5 * unit(rng) + 1.5);  // 1 m to 1 km
        // Every fourth base runs nearly east-west, where the radical line is nearly x = const.
        const double t = i % 4 == 0 ? 1.5707963267948966 + 1e-3 * unit(rng) : 3.14159 * unit(rng);
        const double x2 = x1 + base * std::sin(t), y2 = y1 + base * std::cos(t);
        const double d1 = base * std::pow(10.0, 0.5 * unit(rng)), d2 = base * std::pow(10.0, 0.5 * unit(rng));
        double X[2], Y[2], A1, B1, C1, A2, B2, C2;
        int count;
        ComputeCoords(x1, y1, d1, x2, y2, d2, X[0], Y[0], X[1], Y[1], count);
        solved += count > 0;
        // The radical line's normal is the line of centres.
        const double tol = locusTol(x2 - x1, y2 - y1, d1 + base);
        for (int k = 0; k < count; ++k)
            ASSERT_TRUE(allNear({HorizontalDistance(x1, y1, X[k], Y[k]), HorizontalDistance(x2, y2, X[k], Y[k])},
                                {d1, d2}, tol)) << "case " << i;
        ASSERT_TRUE(count < 2 || HorizontalDistance(X[0], Y[0], X[1], Y[1]) >= kIntersectDistanceTol) << "case " << i;
        // The same two circles, p1 at the origin, through the raw intersection.
        ComputeCircleEqVars(0, 0, d1, A1, B1, C1);
        ComputeCircleEqVars(x2 - x1, y2 - y1, d2, A2, B2, C2);
        const int n = IntersectionCoordsOfTwoCircles(A1, B1, C1, A2, B2, C2, X[0], Y[0], X[1], Y[1]);
        for (int k = 0; k < n; ++k)
            ASSERT_TRUE(distToCircle(X[k], Y[k], 0, 0, d1) < tol && distToCircle(X[k], Y[k], x2 - x1, y2 - y1, d2) < tol) << "case " << i;
    }
    EXPECT_GT(solved, 1000);
}

// Tolerance for the readings-and-distance solution: its radical line is normal to the line from
// p2 to the centre of the angle circle, or the angle locus is the line p1 p2 itself.
double readingTol(double x1, double y1, double x2, double y2, double angle, double d2)
{
    double size = HorizontalDistance(x1, y1, x2, y2) + d2, cx, cy, r;
    if (ComputeCenterCoordinates(x1, y1, x2, y2, angle, cx, cy, r))
        return locusTol(cx - x2, cy - y2, size);
    return locusTol(y2 - y1, x1 - x2, size);
}

// Tolerance for a resection: the radical line of the two angle circles is normal to the line
// of their centres; a locus without a centre is the line through its chord.
double resectionTol(const double* x, const double* y, double alpha, double beta, double size)
{
    double c1x, c1y, c2x, c2y, r;
    const bool circle1 = ComputeCenterCoordinates(x[0], y[0], x[1], y[1], alpha, c1x, c1y, r) != 0;
    const bool circle2 = ComputeCenterCoordinates(x[1], y[1], x[2], y[2], beta, c2x, c2y, r) != 0;
    if (circle1 && circle2)
        return locusTol(c2x - c1x, c2y - c1y, size);
    return circle1 ? locusTol(y[2] - y[1], x[1] - x[2], size) : locusTol(y[1] - y[0], x[0] - x[1], size);
}

// The point from two readings and a distance (p1, p2) finds the station in every case; the
// three-point resection finds `count` solutions (-1: not checked).
TEST(Intersections, ReadingsAndResection)
{
    struct Case { double px, py, x1, y1, x2, y2, x3, y3, orientation; int count; const char* reason; };
    const Case cases[] = {
        {0, 0, -50, 80, 60, 70, 0, 0, 0, -1, "both points ahead"}, {10, -20, -50, 80, 60, 70, 0, 0, 123.4, -1, "oriented circle"},
        {100, 100, 0, 0, 200, 0, 0, 0, 300, -1, "obtuse angle, centre on the far side"},
        {5, 5, 6, 90, 4, -90, 0, 0, 0, -1, "nearly straight angle (about 180 degrees)"},
        {-3, 7, 50, 7, -40, 9, 0, 0, 77, -1, "reflex angle (clockwise above 180)"},
        {0, 0, -100, 100, 0, 150, 120, 80, 250, 1, "three points ahead, any orientation of the circle"},
        {30, -40, -100, 100, 150, 20, -60, -200, 17, 1, "station inside the triangle"},
        {0, 0, 0, 100, 100, 0, 100, 100, 0, 0, "all four on one circle: indeterminate"},
        {0, 0, 10, 10, 20, 20, 30, 30, 0, 0, "all on one line"},
        {0, 0, -100, 100, 0, 100, 100, 100, 0, 1, "known points in a straight row"},
        {50, 0, 0, 0, 100, 0, 200, 50, 0, 1, "station on the line p1 p2: the first locus is a line"},
    };
    for (const Case& c : cases) {
        const Station st{c.px, c.py, c.orientation};
        const double r1 = st.reading(c.x1, c.y1), r2 = st.reading(c.x2, c.y2), d2 = HorizontalDistance(c.px, c.py, c.x2, c.y2);
        double X[2] = {7, 7}, Y[2] = {7, 7};
        int count = -1;
        ASSERT_EQ(ComputeCoords(c.x1, c.y1, r1, c.x2, c.y2, r2, d2, X[0], Y[0], X[1], Y[1], count), 1) << c.reason;
        bool found = false;
        for (int k = 0; k < count; ++k) {
            found = found || HorizontalDistance(X[k], Y[k], c.px, c.py) < 1e-6;
            EXPECT_NEAR(HorizontalDistance(X[k], Y[k], c.x2, c.y2), d2, kOnLocus) << c.reason;
        }
        EXPECT_TRUE(found) << c.reason;
        if (c.count < 0)
            continue;
        const int result = ComputeCoords(c.x1, c.y1, r1, c.x2, c.y2, r2, c.x3, c.y3, st.reading(c.x3, c.y3), X[0], Y[0], X[1], Y[1], count);
        EXPECT_TRUE(result == (c.count > 0 ? 1 : 0) && count == c.count) << c.reason << ": " << result << " " << count;
        EXPECT_TRUE(c.count == 0 || allNear({X[0], Y[0]}, {c.px, c.py}, 1e-6)) << c.reason;
    }

    // Random stations: the resection recovers the station and never reports the middle known
    // point (which lies on both loci); the two-readings-and-a-distance solutions lie on both loci.
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> unit(-1.0, 1.0), coord(-1e4, 1e4), az(0.0, 360.0);
    int recovered = 0, recoveredFromDistance = 0;
    for (int i = 0; i < 2000; ++i) {
        const double px = coord(rng), py = coord(rng);
        double x[3], y[3], r[3], size = 0.0, X[2], Y[2];
        for (int k = 0; k < 3; ++k) {
            const double t = az(rng) * kRadPerDeg, s = std::pow(10.0, unit(rng) + 2.0);
            x[k] = px + s * std::sin(t);
            y[k] = py + s * std::cos(t);
            size += s;
        }
        const Station st{px, py, az(rng)};
        for (int k = 0; k < 3; ++k)
            r[k] = st.reading(x[k], y[k]);
        int count;
        ComputeCoords(x[0], y[0], r[0], x[1], y[1], r[1], x[2], y[2], r[2], X[0], Y[0], X[1], Y[1], count);
        const double tol = resectionTol(x, y, r[1] - r[0], r[2] - r[1], size);
        for (int k = 0; k < count; ++k) {
            ASSERT_GE(HorizontalDistance(X[k], Y[k], x[1], y[1]), kIntersectDistanceTol) << "case " << i;
            ASSERT_LT(distToAngleLocus(X[k], Y[k], x[0], y[0], x[1], y[1], r[1] - r[0]), tol) << "case " << i;
            ASSERT_LT(distToAngleLocus(X[k], Y[k], x[1], y[1], x[2], y[2], r[2] - r[1]), tol) << "case " << i;
            recovered += HorizontalDistance(X[k], Y[k], px, py) < 1e-5;
        }
        const double s2 = HorizontalDistance(px, py, x[1], y[1]), rtol = readingTol(x[0], y[0], x[1], y[1], r[1] - r[0], s2);
        ComputeCoords(x[0], y[0], r[0], x[1], y[1], r[1], s2, X[0], Y[0], X[1], Y[1], count);
        for (int k = 0; k < count; ++k) {
            ASSERT_LT(std::fabs(HorizontalDistance(x[1], y[1], X[k], Y[k]) - s2), rtol) << "case " << i;
            ASSERT_LT(distToAngleLocus(X[k], Y[k], x[0], y[0], x[1], y[1], r[1] - r[0]), rtol) << "case " << i;
            recoveredFromDistance += HorizontalDistance(X[k], Y[k], px, py) < 1e-6;
        }
    }
    EXPECT_GT(recovered, 1900);
    EXPECT_GT(recoveredFromDistance, 1900) << "the true station is found in nearly every case";
}

// ---- Interpolation and slopes ----

TEST(Intersections, Interpolation)
{
    // z runs from 100 at p1 to 110 at p2 along the driving coordinate; the Y forms are the X
    // forms with the roles of x and y exchanged.
    struct Case { double x1, y1, x2, y2, at, expected, z; const char* reason; };
    const Case cases[] = {
        {0, 0, 10, 20, 5, 2.5, 102.5, "inside"}, {0, 0, 10, 20, 40, 20, 120, "extrapolated beyond p2"},
        {0, 0, 10, 20, -20, -10, 90, "extrapolated before p1"},
        {3, 5, 10, 5, 99, 3, 100, "level line: x1 whatever y is; vanishing driving difference gives z1"},
        {3, 5, 3, 9, 7, 3, 105, "x = const: x1, z still interpolated"},
    };
    for (const Case& c : cases) {
        double x = 0, y = 0, xz = 0, yz = 0, z1 = 0, z2 = 0;
        InterpolateXGivenY(c.x1, c.y1, c.x2, c.y2, c.at, x);
        InterpolateYGivenX(c.y1, c.x1, c.y2, c.x2, c.at, y);
        InterpolateXZGivenY(c.x1, c.y1, 100, c.x2, c.y2, 110, c.at, xz, z1);
        InterpolateYZGivenX(c.y1, c.x1, 100, c.y2, c.x2, 110, c.at, yz, z2);
        EXPECT_TRUE(allNear({x, y, xz, yz, z1, z2}, {c.expected, c.expected, c.expected, c.expected, c.z, c.z}, 1e-12)) << c.reason;
    }
}

TEST(Intersections, SlopesAndCatchPoint)
{
    struct SlopeCase { double slope; bool isCut, isRight; double dx, dy; const char* reason; };
    const SlopeCase slopes[] = {
        {2, true, true, 2, 1, "cut to the right rises"}, {2, false, true, 2, -1, "fill to the right falls"},
        {1.5, true, false, -1.5, 1, "left side runs towards -x"}, {-2, true, true, -2, 1, "a negative slope runs back"},
        {0, true, true, 1, 0, "zero slope: level, to the right"}, {0, false, false, -1, 0, "zero slope: level, to the left"},
    };
    for (const SlopeCase& c : slopes) {
        double dx = 9, dy = 9;
        ComputeXYOffsetsForCutFillSlope(c.slope, c.isCut, c.isRight, &dx, &dy);
        EXPECT_TRUE(allNear({dx, dy}, {c.dx, c.dy}, 1e-12)) << c.reason;
    }
    struct Case {
        double hx, hy; bool isRight; double cut; bool hasCut; double fill; bool hasFill;
        double gx1, gy1, gx2, gy2; int result; double x, y, dir; const char* reason;
    };
    const Case cases[] = {
        {0, 0, true, 2, true, 0, false, -5, 1, 5, 1, 1, 2, 1, 90, "right cut meets level ground at (2, 1)"},
        {0, 0, false, 2, true, 0, false, -5, 1, 5, 1, 1, -2, 1, 90, "left cut mirrors it"},
        {0, 0, true, 2, true, 0, false, -5, -1, 5, -1, 0, 7, 7, 90, "ground below: the cut meets it left of the hinge"},
        {0, 0, true, 0, false, 3, true, -5, 1, 5, 1, 0, 7, 7, 90, "fill only, ground above: none, groundDir still written"},
        {0, 0, true, 0, false, 3, true, -5, -2, 5, -2, 2, 6, -2, 90, "fill only, ground below"},
        {0, 0, true, 2, true, 3, true, -5, -2, 5, -2, 2, 6, -2, 90, "both requested, only the fill meets on its side"},
        {0, 0, true, 2, true, 3, true, 1, 5, 2, -5, 2, 1.5517241379310345, -0.5172413793103449, 174.28940686250036,
         "both meet steep ground; the fill is nearer gy2 in height"},
        {0, 0, true, 2, true, 3, true, 2, -5, 1, 5, 1, 1.4285714285714286, 0.7142857142857143, 354.28940686250036,
         "the same ground drawn the other way: now the cut is nearer gy2"},
        {0, 0, true, 2, true, 2, true, 3, 5, 3, 0, 1, 3, 1.5, 180, "equally near gy2: the cut wins the tie"},
        {0, 0, true, 1, true, 1, true, 3, 3, 3, 3, 1, 3, 3, 90, "coinciding ground points: level ground through them"},
        {10, 0, true, 2, true, 0, false, 0, 0, 10, 10, 0, 7, 7, 45, "ground steeper than the cut slope: they meet behind the hinge"},
        {10, 0, true, 2, true, 0, false, 0, 0, 10, 5, 0, 7, 7, 63.43494882292201, "ground parallel to the cut slope"},
    };
    for (const Case& c : cases) {
        double x = 7, y = 7, dir = -1;
        const int result = ComputeCatchPoint(c.hx, c.hy, c.isRight, c.cut, c.hasCut, c.fill, c.hasFill,
                                             c.gx1, c.gy1, c.gx2, c.gy2, x, y, dir);
        EXPECT_EQ(result, c.result) << c.reason;
        EXPECT_TRUE(allNear({x, y, dir}, {c.x, c.y, c.dir}, 1e-9)) << c.reason;
    }
}

} // namespace
