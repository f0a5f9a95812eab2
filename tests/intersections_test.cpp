// Tests of the plane intersection kit. Coordinates are (x, y) = (east, north).
#include "cogo/intersections.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
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

// Tolerance for points found on the line with normal (A, B) in a figure of the given size.
double locusTol(double A, double B, double size)
{
    return std::fabs(B) < kSteepBand * std::fabs(A) ? kSteepError * size : kOnLocus;
}

double distToCircle(double x, double y, double cx, double cy, double r)
{
    return std::fabs(HorizontalDistance(cx, cy, x, y) - r);
}

double distToLine(double x, double y, double A, double B, double C)
{
    return std::fabs(A * x + B * y - C) / std::sqrt(A * A + B * B);
}

// Clockwise angle (degrees, in [0, 360)) at P from the direction to p1 to the direction to p2.
double angleAt(double px, double py, double x1, double y1, double x2, double y2)
{
    double a = GetRefAziPts(x2 - px, y2 - py) - GetRefAziPts(x1 - px, y1 - py);
    return a < 0.0 ? a + 360.0 : a;
}

// Distance from P to the locus of points seeing the chord p1 p2 under `angle` degrees.
double distToAngleLocus(double px, double py, double x1, double y1, double x2, double y2, double angle)
{
    double cx, cy, r;
    if (ComputeCenterCoordinates(x1, y1, x2, y2, angle, cx, cy, r))
        return distToCircle(px, py, cx, cy, r);
    double A, B, C;
    ComputeEqVars(x1, y1, x2, y2, A, B, C);
    return distToLine(px, py, A, B, C);
}

// ---- Azimuths and lines ----

TEST(Intersections, GetRefAziPtsQuadrants)
{
    struct Case { double dx, dy, expected; const char* reason; };
    const std::vector<Case> cases = {
        {0, 1, 0, "north"},
        {1, 0, 90, "east"},
        {0, -1, 180, "south"},
        {-1, 0, 270, "west"},
        {0, 0, 0, "zero vector"},
        {1, 1, 45, "north-east"},
        {1, -1, 135, "south-east"},
        {-1, -1, 225, "south-west: the third quadrant comes out above 180, not negative"},
        {-1, 1, 315, "north-west: a negative direction gets 360 added"},
        {-1e-9, 1, 360 - 5.729577951308232e-8, "just west of north stays below 360"},
    };
    for (const Case& c : cases) {
        double az = GetRefAziPts(c.dx, c.dy);
        EXPECT_NEAR(az, c.expected, 1e-12) << c.reason;
        EXPECT_GE(az, 0.0) << c.reason;
        EXPECT_LT(az, 360.0) << c.reason;
    }
}

TEST(Intersections, RotationsKeepLengthAndTurnByTheAngle)
{
    double rx, ry;
    EXPECT_EQ(RotateCounterClockwise(1.0, 0.0, 90.0, rx, ry), 1);
    EXPECT_NEAR(rx, 0.0, 1e-15);
    EXPECT_NEAR(ry, -1.0, 1e-15);
    RotateCounterClockwise(3.0, 4.0, 33.0, rx, ry);
    EXPECT_NEAR(std::hypot(rx, ry), 5.0, 1e-14);

    double r1 = 7, r2 = 7, r3 = 7;
    EXPECT_EQ(dENSoutInfo(0.0, 0.0, 5.0, 30.0, &r1, &r2, &r3), 0) << "vanishing pair";
    EXPECT_EQ(r1, 0.0);
    EXPECT_EQ(r2, 0.0);
    EXPECT_EQ(r3, 5.0) << "c is copied even on failure";
    EXPECT_EQ(dENSoutInfo(1.0, 0.0, 5.0, 90.0, &r1, &r2, &r3), 1);
    EXPECT_NEAR(r1, 0.0, 1e-15);
    EXPECT_NEAR(r2, 1.0, 1e-15);
}

TEST(Intersections, LinesMeetOrAreParallel)
{
    struct Case { double x1, y1, az1, x2, y2, az2; int result; double x, y; const char* reason; };
    const std::vector<Case> cases = {
        {0, 0, 45, 10, 0, 315, 1, 5, 5, "symmetric rays meet above the base"},
        {0, 0, 0, 5, 3, 270, 1, 0, 3, "north line and west line"},
        {0, 0, 90, 0, 1, 270, 0, 1e30, 1e30, "parallel east-west lines keep the 1e30 marker"},
        {0, 0, 30, 1, 1, 210, 0, 1e30, 1e30, "opposite azimuths are parallel too"},
        {2, 2, 10, 2, 2, 80, 1, 2, 2, "lines through one point meet there"},
    };
    for (const Case& c : cases) {
        double x = 0, y = 0;
        EXPECT_EQ(ComputeENIntersectionPoint(c.x1, c.y1, c.az1, c.x2, c.y2, c.az2, x, y), c.result) << c.reason;
        EXPECT_NEAR(x, c.x, 1e-12) << c.reason;
        EXPECT_NEAR(y, c.y, 1e-12) << c.reason;
    }
    double x = -3, y = -4, A1, B1, C1, A2, B2, C2;
    ComputeEqVars(0.0, 0.0, 1.0, 1.0, A1, B1, C1);
    ComputeEqVars(0.0, 1.0, 1.0, 2.0, A2, B2, C2);
    EXPECT_EQ(GetIntersectionPointFromEqVars(A1, B1, C1, A2, B2, C2, x, y), 0);
    EXPECT_EQ(x, -3.0) << "outputs untouched for parallel lines";
    EXPECT_EQ(y, -4.0);
}

TEST(Intersections, AzimuthLinePassesAlongItsAzimuth)
{
    std::mt19937 rng(15);
    std::uniform_real_distribution<double> coord(-1000.0, 1000.0), az(0.0, 360.0), dist(-500.0, 500.0);
    for (int i = 0; i < 500; ++i) {
        double x = coord(rng), y = coord(rng), a = az(rng), d = dist(rng), A, B, C;
        ComputeEqVars(a, x, y, A, B, C);
        double t = a * 0.017453292519943295;
        double px = x + d * std::sin(t), py = y + d * std::cos(t);
        ASSERT_LT(distToLine(px, py, A, B, C), 1e-9) << "case " << i;
    }
}

// ---- Quadratics ----

TEST(Intersections, QuadraticRoots)
{
    struct Case { double a, b, c; int n; double r1, r2; const char* reason; };
    const std::vector<Case> cases = {
        {1, -3, 2, 2, 2, 1, "two roots, r1 takes +sqrt D"},
        {-1, 3, -2, 2, 1, 2, "negative a swaps the order"},
        {1, 2, 1, 1, -1, -1, "double root"},
        {0, 2, -4, 1, 2, 2, "linear"},
        {1, 0, 1, 0, 0, 0, "no real root, outputs zeroed"},
        {0, 1e-6, 1, 0, 0, 0, "linear with vanishing b"},
        {0, 0, 1, 0, 0, 0, "a = b = 0: no root instead of 0 / 0"},
        {0, 0, 0, 0, 0, 0, "a = b = c = 0: no single root"},
        {1e-14, 3, -6, 1, 2, 2, "a below 1e-13 counts as linear"},
    };
    for (const Case& c : cases) {
        double r1 = 99, r2 = 99;
        EXPECT_EQ(SolutionTo2ndDegreePolynomial(c.a, c.b, c.c, r1, r2), c.n) << c.reason;
        EXPECT_NEAR(r1, c.r1, 1e-12) << c.reason;
        EXPECT_NEAR(r2, c.r2, 1e-12) << c.reason;
    }
}

// ---- Line and circle ----

TEST(Intersections, LineAndCircleCases)
{
    double A, B, C;
    ComputeCircleEqVars(0.0, 0.0, 1.0, A, B, C);  // unit circle
    struct Case { double lA, lB, lC; int n; double x1, y1, x2, y2; const char* reason; };
    const std::vector<Case> cases = {
        {0, 1, 1, 1, 0, 1, 0, 1, "tangent y = 1: one solution, both pairs equal"},
        {1, 0, 1, 1, 1, 0, 1, 0, "tangent x = 1 through the vertical-line branch"},
        {1, 0, 0, 2, 0, 1, 0, -1, "x = 0 crosses twice"},
        {0, 1, 0, 2, 1, 0, -1, 0, "y = 0 crosses twice"},
        {1, 1, 1, 2, 1, 0, 0, 1, "x + y = 1"},
        {0, 1, 2, 0, 7, 7, 7, 7, "y = 2 misses: outputs untouched"},
        {1, 0, -3, 0, 7, 7, 7, 7, "x = -3 misses"},
        {1e-6, 1e-6, 1, 0, 7, 7, 7, 7, "no line at all"},
    };
    for (const Case& c : cases) {
        double x1 = 7, y1 = 7, x2 = 7, y2 = 7;
        EXPECT_EQ(IntersectionCoordsOfLineAndCircle(A, B, C, c.lA, c.lB, c.lC, x1, y1, x2, y2), c.n) << c.reason;
        EXPECT_NEAR(x1, c.x1, 1e-7) << c.reason;
        EXPECT_NEAR(y1, c.y1, 1e-7) << c.reason;
        EXPECT_NEAR(x2, c.x2, 1e-7) << c.reason;
        EXPECT_NEAR(y2, c.y2, 1e-7) << c.reason;
    }
}

// Property: every returned point lies on the circle and on the line. The lines are drawn with
// uniform directions; near x = const the quadratic in x loses accuracy (see the header), which
// the next test checks against its stated bound.
TEST(Intersections, LineAndCirclePointsLieOnBoth)
{
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> unit(-1.0, 1.0), az(0.0, 360.0);
    int solved = 0;
    for (int i = 0; i < 2000; ++i) {
        double r = std::pow(10.0, 2.0 * unit(rng) + 1.0);  // 0.1 m to 1000 m, log-uniform
        double cx = r * unit(rng), cy = r * unit(rng);
        double px = cx + 1.2 * r * unit(rng), py = cy + 1.2 * r * unit(rng);
        double cA, cB, cC, lA, lB, lC;
        ComputeCircleEqVars(cx, cy, r, cA, cB, cC);
        ComputeEqVars(az(rng), px, py, lA, lB, lC);
        double x[2], y[2];
        int n = IntersectionCoordsOfLineAndCircle(cA, cB, cC, lA, lB, lC, x[0], y[0], x[1], y[1]);
        solved += n > 0;
        const double tol = locusTol(lA, lB, std::hypot(cx, cy) + r);
        for (int k = 0; k < n; ++k) {
            ASSERT_LT(distToCircle(x[k], y[k], cx, cy, r), tol) << "case " << i << " point " << k;
            ASSERT_LT(distToLine(x[k], y[k], lA, lB, lC), tol) << "case " << i << " point " << k;
        }
    }
    EXPECT_GT(solved, 1000);
}

TEST(Intersections, NearlyNorthSouthLinesStayWithinTheStatedBound)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (double slope : {0.0, 1e-7, 9.9e-6, 1.01e-5, 1e-4, 1e-3, 1e-2}) {
        for (int i = 0; i < 2000; ++i) {
            double cx = unit(rng), cy = unit(rng);
            double side = unit(rng) < 0 ? -1.0 : 1.0;
            double lA = std::sqrt(1.0 - slope * slope), lB = side * slope;
            double lC = lA * (cx + 0.9 * unit(rng)) + lB * (cy + 0.9 * unit(rng));
            double cA, cB, cC;
            ComputeCircleEqVars(cx, cy, 1.0, cA, cB, cC);
            double x[2], y[2];
            int n = IntersectionCoordsOfLineAndCircle(cA, cB, cC, lA, lB, lC, x[0], y[0], x[1], y[1]);
            ASSERT_EQ(n, 2) << "slope " << slope << " case " << i;
            const double size = std::hypot(cx, cy) + 1.0;
            const double bound = slope < kIntersectLeadCoefTol ? std::fmax(slope * size, 1e-15)
                                                               : kLineCircleErrorFactor / (slope * slope);
            for (int k = 0; k < n; ++k) {
                ASSERT_LT(distToCircle(x[k], y[k], cx, cy, 1.0), bound) << "slope " << slope << " case " << i;
                ASSERT_LT(distToLine(x[k], y[k], lA, lB, lC), bound) << "slope " << slope << " case " << i;
            }
            ASSERT_LT(std::fmin(slope * size, kLineCircleErrorFactor / (slope * slope)), kSteepError * size);
        }
    }
}

// ---- Circles ----

TEST(Intersections, CentreOfTheAngleCircle)
{
    struct Case { double angle; int result; double cx, cy, r; const char* reason; };
    // Chord from (0, 0) to (0, 10), running north.
    const std::vector<Case> cases = {
        {90, 1, 0, 5, 5, "right angle: the chord is a diameter"},
        {45, 1, 5, 5, 7.0710678118654755, "below 90 the centre lies right (east) of the chord"},
        {135, 1, -5, 5, 7.0710678118654755, "above 90 it lies left (west)"},
        {-45, 1, -5, 5, 7.0710678118654755, "a counter-clockwise angle mirrors the circle"},
        {0, 0, 9, 9, 9, "zero angle: the locus is the line"},
        {180, 0, 9, 9, 9, "straight angle: the locus is the line"},
    };
    for (const Case& c : cases) {
        double cx = 9, cy = 9, r = 9;
        EXPECT_EQ(ComputeCenterCoordinates(0, 0, 0, 10, c.angle, cx, cy, r), c.result) << c.reason;
        EXPECT_NEAR(cx, c.cx, 1e-12) << c.reason;
        EXPECT_NEAR(cy, c.cy, 1e-12) << c.reason;
        EXPECT_NEAR(r, c.r, 1e-12) << c.reason;
    }
}

TEST(Intersections, TheAngleCirclePassesThroughTheObserver)
{
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> coord(-500.0, 500.0);
    int tested = 0;
    for (int i = 0; i < 1000; ++i) {
        double px = coord(rng), py = coord(rng), x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
        double a = angleAt(px, py, x1, y1, x2, y2);
        if (std::fabs(std::sin(a * 0.017453292519943295)) < 0.01)
            continue;  // nearly collinear: the circle is huge
        double cx, cy, r;
        ASSERT_EQ(ComputeCenterCoordinates(x1, y1, x2, y2, a, cx, cy, r), 1) << "case " << i;
        ASSERT_NEAR(HorizontalDistance(cx, cy, x1, y1), r, 1e-8 * r) << "case " << i;
        ASSERT_NEAR(HorizontalDistance(cx, cy, x2, y2), r, 1e-8 * r) << "case " << i;
        ASSERT_NEAR(HorizontalDistance(cx, cy, px, py), r, 1e-8 * r) << "case " << i;
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
    EXPECT_NEAR(x1, 1.75, 1e-12);
    EXPECT_NEAR(x2, 1.75, 1e-12);
    EXPECT_NEAR(std::fabs(y1), std::sqrt(4 - 1.75 * 1.75), 1e-12);
    EXPECT_NEAR(y1, -y2, 1e-12) << "mirrored about the line of centres";
    ComputeCircleEqVars(3, 0, 1, A2, B2, C2);
    EXPECT_EQ(IntersectionCoordsOfTwoCircles(A1, B1, C1, A2, B2, C2, x1, y1, x2, y2), 1) << "touching";
    EXPECT_NEAR(x1, 2.0, 1e-12);
    EXPECT_NEAR(y1, 0.0, 1e-6);
}

TEST(Intersections, TwoCirclePointsLieOnBoth)
{
    std::mt19937 rng(31);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    int solved = 0;
    for (int i = 0; i < 2000; ++i) {
        // Two circles through a common point, so that most pairs meet.
        double r1 = std::pow(10.0, unit(rng) + 1.5), r2 = std::pow(10.0, unit(rng) + 1.5);  // 3 m to 300 m
        double px = 50 * unit(rng), py = 50 * unit(rng), t1 = 3.14159 * unit(rng), t2 = 3.14159 * unit(rng);
        double cx1 = px + r1 * std::sin(t1), cy1 = py + r1 * std::cos(t1);
        double cx2 = px + r2 * std::sin(t2), cy2 = py + r2 * std::cos(t2);
        double A1, B1, C1, A2, B2, C2, x[2], y[2];
        ComputeCircleEqVars(cx1, cy1, r1, A1, B1, C1);
        ComputeCircleEqVars(cx2, cy2, r2, A2, B2, C2);
        int n = IntersectionCoordsOfTwoCircles(A1, B1, C1, A2, B2, C2, x[0], y[0], x[1], y[1]);
        solved += n > 0;
        // The radical line's normal is the line of centres.
        const double tol = locusTol(cx2 - cx1, cy2 - cy1, std::hypot(cx1, cy1) + r1);
        for (int k = 0; k < n; ++k) {
            ASSERT_LT(distToCircle(x[k], y[k], cx1, cy1, r1), tol) << "case " << i;
            ASSERT_LT(distToCircle(x[k], y[k], cx2, cy2, r2), tol) << "case " << i;
        }
    }
    EXPECT_GT(solved, 1900);
}

// ---- Point solutions ----

TEST(Intersections, PointFromTwoDistances)
{
    struct Case { double d1, d2; int count; const char* reason; };
    // Base from (0, 0) to (10, 0).
    const std::vector<Case> cases = {
        {6, 8, 2, "two solutions mirrored about the base line"},
        {3, 3, 0, "the circles do not meet"},
        {4, 6, 1, "touching circles give one point on the base"},
        {4.1, 6, 2, "0.1 m overlap: the two points are 1.4 m apart"},
        {4.001, 6, 1, "barely overlapping: the two points are closer than 0.25 m"},
        {0, 10, 0, "a zero first distance gives no solution"},
    };
    for (const Case& c : cases) {
        double X1 = 7, Y1 = 7, X2 = 7, Y2 = 7;
        int count = -1;
        EXPECT_EQ(ComputeCoords(0.0, 0.0, c.d1, 10.0, 0.0, c.d2, X1, Y1, X2, Y2, count), c.count > 0 ? 1 : 0)
            << c.reason;
        EXPECT_EQ(count, c.count) << c.reason;
        if (c.count == 0) {
            EXPECT_EQ(X1, 7.0) << c.reason;
        } else {
            EXPECT_NEAR(HorizontalDistance(0, 0, X1, Y1), c.d1, 1e-3) << c.reason;
        }
        if (c.count < 2) {
            EXPECT_EQ(X2, 7.0) << "second pair untouched: " << c.reason;
        }
    }
    double X1, Y1, X2, Y2;
    int count;
    ComputeCoords(0.0, 0.0, 6.0, 10.0, 0.0, 8.0, X1, Y1, X2, Y2, count);
    EXPECT_NEAR(X1, 3.6, 1e-12);
    EXPECT_NEAR(X2, 3.6, 1e-12);
    EXPECT_NEAR(std::fabs(Y1), 4.8, 1e-12);
    EXPECT_NEAR(Y1, -Y2, 1e-12);
}

TEST(Intersections, TwoDistanceSolutionsLieOnBothCircles)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> unit(-1.0, 1.0), coord(-1e5, 1e5);
    int solved = 0;
    for (int i = 0; i < 4000; ++i) {
        double x1 = coord(rng), y1 = coord(rng);
        double base = std::pow(10.0, 1.5 * unit(rng) + 1.5);  // 1 m to 1 km
        // Every fourth base runs nearly east-west, where the radical line is nearly x = const.
        double t = i % 4 == 0 ? 1.5707963267948966 + 1e-3 * unit(rng) : 3.14159 * unit(rng);
        double x2 = x1 + base * std::sin(t), y2 = y1 + base * std::cos(t);
        double d1 = base * std::pow(10.0, 0.5 * unit(rng)), d2 = base * std::pow(10.0, 0.5 * unit(rng));
        double X[2], Y[2];
        int count;
        ComputeCoords(x1, y1, d1, x2, y2, d2, X[0], Y[0], X[1], Y[1], count);
        solved += count > 0;
        const double tol = locusTol(x2 - x1, y2 - y1, d1 + base);
        for (int k = 0; k < count; ++k) {
            ASSERT_LT(std::fabs(HorizontalDistance(x1, y1, X[k], Y[k]) - d1), tol) << "case " << i;
            ASSERT_LT(std::fabs(HorizontalDistance(x2, y2, X[k], Y[k]) - d2), tol) << "case " << i;
        }
        if (count == 2) {
            ASSERT_GE(HorizontalDistance(X[0], Y[0], X[1], Y[1]), kIntersectDistanceTol);
        }
    }
    EXPECT_GT(solved, 1000);
}

// Readings taken at P with an arbitrary orientation of the circle.
struct Station {
    double px, py, orientation;
    double reading(double x, double y) const
    {
        double r = GetRefAziPts(x - px, y - py) - orientation;
        return r < 0.0 ? r + 360.0 : r;
    }
};

TEST(Intersections, PointFromTwoReadingsAndADistance)
{
    struct Case { double px, py, x1, y1, x2, y2, orientation; const char* reason; };
    const std::vector<Case> cases = {
        {0, 0, -50, 80, 60, 70, 0, "both points ahead"},
        {10, -20, -50, 80, 60, 70, 123.4, "oriented circle"},
        {100, 100, 0, 0, 200, 0, 300, "obtuse angle, centre on the far side"},
        {5, 5, 6, 90, 4, -90, 0, "nearly straight angle (about 180 degrees)"},
        {-3, 7, 50, 7, -40, 9, 77, "reflex angle (clockwise above 180)"},
    };
    for (const Case& c : cases) {
        Station st{c.px, c.py, c.orientation};
        double r1 = st.reading(c.x1, c.y1), r2 = st.reading(c.x2, c.y2);
        double d2 = HorizontalDistance(c.px, c.py, c.x2, c.y2);
        double X[2], Y[2];
        int count;
        ASSERT_EQ(ComputeCoords(c.x1, c.y1, r1, c.x2, c.y2, r2, d2, X[0], Y[0], X[1], Y[1], count), 1) << c.reason;
        bool found = false;
        for (int k = 0; k < count; ++k) {
            found = found || HorizontalDistance(X[k], Y[k], c.px, c.py) < 1e-6;
            EXPECT_NEAR(HorizontalDistance(X[k], Y[k], c.x2, c.y2), d2, kOnLocus) << c.reason;
        }
        EXPECT_TRUE(found) << c.reason;
    }
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

TEST(Intersections, ReadingSolutionsLieOnBothLoci)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> unit(-1.0, 1.0), coord(-1e4, 1e4), az(0.0, 360.0);
    int recovered = 0;
    for (int i = 0; i < 2000; ++i) {
        double px = coord(rng), py = coord(rng);
        double t1 = az(rng) * 0.017453292519943295, t2 = az(rng) * 0.017453292519943295;
        double s1 = std::pow(10.0, 1.5 * unit(rng) + 1.5), s2 = std::pow(10.0, 1.5 * unit(rng) + 1.5);
        double x1 = px + s1 * std::sin(t1), y1 = py + s1 * std::cos(t1);
        double x2 = px + s2 * std::sin(t2), y2 = py + s2 * std::cos(t2);
        Station st{px, py, az(rng)};
        double r1 = st.reading(x1, y1), r2 = st.reading(x2, y2);
        double X[2], Y[2];
        int count;
        ComputeCoords(x1, y1, r1, x2, y2, r2, s2, X[0], Y[0], X[1], Y[1], count);
        const double tol = readingTol(x1, y1, x2, y2, r2 - r1, s2);
        for (int k = 0; k < count; ++k) {
            ASSERT_LT(std::fabs(HorizontalDistance(x2, y2, X[k], Y[k]) - s2), tol) << "case " << i;
            ASSERT_LT(distToAngleLocus(X[k], Y[k], x1, y1, x2, y2, r2 - r1), tol) << "case " << i;
            recovered += HorizontalDistance(X[k], Y[k], px, py) < 1e-6;
        }
    }
    EXPECT_GT(recovered, 1900) << "the true station is found in nearly every case";
}

TEST(Intersections, ThreePointResection)
{
    struct Case { double px, py, x1, y1, x2, y2, x3, y3, orientation; int count; const char* reason; };
    const std::vector<Case> cases = {
        {0, 0, -100, 100, 0, 150, 120, 80, 0, 1, "three points ahead"},
        {0, 0, -100, 100, 0, 150, 120, 80, 250, 1, "any orientation of the circle"},
        {30, -40, -100, 100, 150, 20, -60, -200, 17, 1, "station inside the triangle"},
        {0, 0, 0, 100, 100, 0, 100, 100, 0, 0, "all four on one circle: indeterminate"},
        {0, 0, 10, 10, 20, 20, 30, 30, 0, 0, "all on one line"},
        {0, 0, -100, 100, 0, 100, 100, 100, 0, 1, "known points in a straight row"},
        {50, 0, 0, 0, 100, 0, 200, 50, 0, 1, "station on the line p1 p2: the first locus is a line"},
    };
    for (const Case& c : cases) {
        Station st{c.px, c.py, c.orientation};
        double r1 = st.reading(c.x1, c.y1), r2 = st.reading(c.x2, c.y2), r3 = st.reading(c.x3, c.y3);
        double X[2] = {7, 7}, Y[2] = {7, 7};
        int count = -1;
        int result = ComputeCoords(c.x1, c.y1, r1, c.x2, c.y2, r2, c.x3, c.y3, r3, X[0], Y[0], X[1], Y[1], count);
        EXPECT_EQ(result, c.count > 0 ? 1 : 0) << c.reason;
        ASSERT_EQ(count, c.count) << c.reason;
        if (c.count == 1) {
            EXPECT_NEAR(X[0], c.px, 1e-6) << c.reason;
            EXPECT_NEAR(Y[0], c.py, 1e-6) << c.reason;
        }
    }
}

// Tolerance for a resection: the radical line of the two angle circles is normal to the line
// of their centres; a locus without a centre is the line through its chord.
double resectionTol(const double* x, const double* y, double alpha, double beta, double size)
{
    double c1x, c1y, c2x, c2y, r;
    bool circle1 = ComputeCenterCoordinates(x[0], y[0], x[1], y[1], alpha, c1x, c1y, r) != 0;
    bool circle2 = ComputeCenterCoordinates(x[1], y[1], x[2], y[2], beta, c2x, c2y, r) != 0;
    if (circle1 && circle2)
        return locusTol(c2x - c1x, c2y - c1y, size);
    if (!circle1)
        return locusTol(y[1] - y[0], x[0] - x[1], size);
    return locusTol(y[2] - y[1], x[1] - x[2], size);
}

TEST(Intersections, ResectionRecoversTheStationAndIsNeverTheMiddlePoint)
{
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> unit(-1.0, 1.0), coord(-1e4, 1e4), az(0.0, 360.0);
    int recovered = 0;
    for (int i = 0; i < 2000; ++i) {
        double px = coord(rng), py = coord(rng);
        double x[3], y[3], size = 0.0;
        for (int k = 0; k < 3; ++k) {
            double t = az(rng) * 0.017453292519943295, s = std::pow(10.0, unit(rng) + 2.0);
            x[k] = px + s * std::sin(t);
            y[k] = py + s * std::cos(t);
            size += s;
        }
        Station st{px, py, az(rng)};
        double r1 = st.reading(x[0], y[0]), r2 = st.reading(x[1], y[1]), r3 = st.reading(x[2], y[2]);
        double X[2], Y[2];
        int count;
        ComputeCoords(x[0], y[0], r1, x[1], y[1], r2, x[2], y[2], r3, X[0], Y[0], X[1], Y[1], count);
        const double tol = resectionTol(x, y, r2 - r1, r3 - r2, size);
        for (int k = 0; k < count; ++k) {
            ASSERT_GE(HorizontalDistance(X[k], Y[k], x[1], y[1]), kIntersectDistanceTol) << "case " << i;
            ASSERT_LT(distToAngleLocus(X[k], Y[k], x[0], y[0], x[1], y[1], r2 - r1), tol) << "case " << i;
            ASSERT_LT(distToAngleLocus(X[k], Y[k], x[1], y[1], x[2], y[2], r3 - r2), tol) << "case " << i;
            recovered += HorizontalDistance(X[k], Y[k], px, py) < 1e-5;
        }
    }
    EXPECT_GT(recovered, 1900);
}

// ---- Interpolation ----

TEST(Intersections, Interpolation)
{
    struct Case { double x1, y1, x2, y2, at, expected; const char* reason; };
    const std::vector<Case> cases = {
        {0, 0, 10, 20, 5, 2.5, "inside"},
        {0, 0, 10, 20, 40, 20, "extrapolated beyond p2"},
        {0, 0, 10, 20, -20, -10, "extrapolated before p1"},
        {3, 5, 10, 5, 99, 3, "level line: x1 whatever y is"},
        {3, 5, 3, 9, 7, 3, "x = const: x1"},
    };
    for (const Case& c : cases) {
        double x = 0, y = 0;
        InterpolateXGivenY(c.x1, c.y1, c.x2, c.y2, c.at, x);
        EXPECT_NEAR(x, c.expected, 1e-12) << c.reason;
        InterpolateYGivenX(c.y1, c.x1, c.y2, c.x2, c.at, y);
        EXPECT_NEAR(y, c.expected, 1e-12) << "mirrored roles: " << c.reason;
    }
    double x, y, z;
    InterpolateXZGivenY(0, 0, 100, 10, 20, 110, 5, x, z);
    EXPECT_NEAR(x, 2.5, 1e-12);
    EXPECT_NEAR(z, 102.5, 1e-12);
    InterpolateXZGivenY(0, 4, 100, 10, 4, 110, 5, x, z);
    EXPECT_EQ(z, 100.0) << "vanishing driving difference gives z1";
    InterpolateYZGivenX(0, 0, 100, 10, 20, 110, 5, y, z);
    EXPECT_NEAR(y, 10.0, 1e-12);
    EXPECT_NEAR(z, 105.0, 1e-12);
    InterpolateYZGivenX(2, 3, 100, 2, 7, 110, 9, y, z);
    EXPECT_EQ(y, 3.0);
    EXPECT_EQ(z, 100.0);
}

// ---- Slopes ----

TEST(Intersections, SlopeOffsets)
{
    struct Case { double slope; bool isCut, isRight; double dx, dy; const char* reason; };
    const std::vector<Case> cases = {
        {2, true, true, 2, 1, "cut to the right rises"},
        {2, false, true, 2, -1, "fill to the right falls"},
        {1.5, true, false, -1.5, 1, "left side runs towards -x"},
        {-2, true, true, -2, 1, "a negative slope runs back"},
        {0, true, true, 1, 0, "zero slope: level, to the right"},
        {0, false, false, -1, 0, "zero slope: level, to the left"},
    };
    for (const Case& c : cases) {
        double dx = 9, dy = 9;
        ComputeXYOffsetsForCutFillSlope(c.slope, c.isCut, c.isRight, &dx, &dy);
        EXPECT_NEAR(dx, c.dx, 1e-12) << c.reason;
        EXPECT_NEAR(dy, c.dy, 1e-12) << c.reason;
    }
}

TEST(Intersections, CatchPoint)
{
    struct Case {
        double hx, hy;
        bool isRight;
        double cut;
        bool hasCut;
        double fill;
        bool hasFill;
        double gx1, gy1, gx2, gy2;
        int result;
        double x, y, dir;
        const char* reason;
    };
    const std::vector<Case> cases = {
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
        {10, 0, true, 2, true, 0, false, 0, 0, 10, 10, 0, 7, 7, 45,
         "ground steeper than the cut slope: they meet behind the hinge"},
        {10, 0, true, 2, true, 0, false, 0, 0, 10, 5, 0, 7, 7, 63.43494882292201, "ground parallel to the cut slope"},
    };
    for (const Case& c : cases) {
        double x = 7, y = 7, dir = -1;
        int result = ComputeCatchPoint(c.hx, c.hy, c.isRight, c.cut, c.hasCut, c.fill, c.hasFill,
                                       c.gx1, c.gy1, c.gx2, c.gy2, x, y, dir);
        EXPECT_EQ(result, c.result) << c.reason;
        EXPECT_NEAR(x, c.x, 1e-9) << c.reason;
        EXPECT_NEAR(y, c.y, 1e-9) << c.reason;
        EXPECT_NEAR(dir, c.dir, 1e-9) << c.reason;
    }
}

} // namespace
