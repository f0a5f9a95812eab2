#include "cogo/intersections.h"

#include "numeric/mathAngle.h"
#include "numeric/units.h"

#include <cmath>

namespace {

const double kZeroVectorSq = 1e-16;  // squared length of a vanishing coefficient pair

// A line (A x + B y = C) or a circle (x^2 + y^2 + A x + B y + C = 0) in implicit form.
struct Locus {
    bool isCircle;
    double A, B, C;
};

// Up to two accepted point solutions; a new one must lie 0.25 m or more from the first.
struct Solutions {
    double x[2] = {0.0, 0.0};
    double y[2] = {0.0, 0.0};
    int count = 0;

    void offer(double px, double py)
    {
        if (count == 1 && HorizontalDistance(x[0], y[0], px, py) < kIntersectDistanceTol)
            return;
        if (count < 2) {
            x[count] = px;
            y[count] = py;
            ++count;
        }
    }

    int hand(double& X1, double& Y1, double& X2, double& Y2, int& n) const
    {
        n = count;
        if (count >= 1) {
            X1 = x[0];
            Y1 = y[0];
        }
        if (count == 2) {
            X2 = x[1];
            Y2 = y[1];
        }
        return count > 0 ? 1 : 0;
    }
};

// The locus of the points that see the chord p1 p2 under `angle` degrees: the circle of
// ComputeCircleEqVals, or the line through the chord when that circle has no centre.
Locus angleLocus(double x1, double y1, double x2, double y2, double angle)
{
    Locus l{true, 0.0, 0.0, 0.0};
    if (ComputeCircleEqVals(x1, y1, x2, y2, angle, l.A, l.B, l.C) == 0) {
        l.isCircle = false;
        ComputeEqVars(x1, y1, x2, y2, l.A, l.B, l.C);
    }
    return l;
}

// Intersections of two loci (at least one of them a circle, or two lines meeting once).
int intersectLoci(const Locus& a, const Locus& b, double& x1, double& y1, double& x2, double& y2)
{
    if (a.isCircle && b.isCircle)
        return IntersectionCoordsOfTwoCircles(a.A, a.B, a.C, b.A, b.B, b.C, x1, y1, x2, y2);
    if (a.isCircle)
        return IntersectionCoordsOfLineAndCircle(a.A, a.B, a.C, b.A, b.B, b.C, x1, y1, x2, y2);
    if (b.isCircle)
        return IntersectionCoordsOfLineAndCircle(b.A, b.B, b.C, a.A, a.B, a.C, x1, y1, x2, y2);
    if (GetIntersectionPointFromEqVars(a.A, a.B, a.C, b.A, b.B, b.C, x1, y1) == 0)
        return 0;
    x2 = x1;
    y2 = y1;
    return 1;
}

// Difference of two angles in degrees brought into [-180, 180].
double angleResidual(double degrees)
{
    double r = std::fmod(degrees, 360.0);
    if (r > 180.0)
        r -= 360.0;
    else if (r < -180.0)
        r += 360.0;
    return r;
}

// True when, seen from P, the clockwise angle from the direction to p1 to the direction to p2
// is `angle` degrees within the kit's angle tolerance.
bool seesAngle(double px, double py, double x1, double y1, double x2, double y2, double angle)
{
    double az1 = GetRefAziPts(x1 - px, y1 - py);
    double az2 = GetRefAziPts(x2 - px, y2 - py);
    return std::fabs(angleResidual(az2 - az1 - angle)) < kIntersectAngleTol;
}

} // namespace

// ---- Azimuths and lines ----

double GetRefAziPts(double dx, double dy)
{
    double az = atan3(dx, dy) * kDegPerRad;
    return az < 0.0 ? az + 360.0 : az;
}

int RotateCounterClockwise(double x, double y, double angle, double& rx, double& ry)
{
    double t = angle * kRadPerDeg;
    double c = std::cos(t), s = std::sin(t);
    rx = c * x + s * y;
    ry = c * y - s * x;
    return 1;
}

int dENSoutInfo(double a, double b, double c, double angle, double* r1, double* r2, double* r3)
{
    *r3 = c;
    *r1 = 0.0;
    *r2 = 0.0;
    if (a * a + b * b < kZeroVectorSq)
        return 0;
    double t = angle * kRadPerDeg;
    double cs = std::cos(t), sn = std::sin(t);
    *r1 = cs * a - sn * b;
    *r2 = sn * a + cs * b;
    return 1;
}

void ComputeEqVars(double azimuth, double x, double y, double& A, double& B, double& C)
{
    double t = azimuth * kRadPerDeg;
    A = std::cos(t);
    B = -std::sin(t);
    C = A * x + B * y;
}

void ComputeEqVars(double x1, double y1, double x2, double y2, double& A, double& B, double& C)
{
    A = y2 - y1;
    B = x1 - x2;
    C = A * x1 + B * y1;
}

int GetIntersectionPointFromEqVars(double A1, double B1, double C1, double A2, double B2, double C2,
                                   double& x, double& y)
{
    double det = A1 * B2 - B1 * A2;
    if (std::fabs(det) < kIntersectZeroTol)
        return 0;
    x = (C1 * B2 - B1 * C2) / det;
    y = (A1 * C2 - C1 * A2) / det;
    return 1;
}

int ComputeENIntersectionPoint(double x1, double y1, double az1, double x2, double y2, double az2,
                               double& x, double& y)
{
    x = kIntersectNoPoint;
    y = kIntersectNoPoint;
    double A1, B1, C1, A2, B2, C2;
    ComputeEqVars(az1, x1, y1, A1, B1, C1);
    ComputeEqVars(az2, x2, y2, A2, B2, C2);
    return GetIntersectionPointFromEqVars(A1, B1, C1, A2, B2, C2, x, y);
}

double HorizontalDistance(double x1, double y1, double x2, double y2)
{
    double dx = x2 - x1, dy = y2 - y1;
    return std::sqrt(dx * dx + dy * dy);
}

// ---- Circles and quadratics ----

void ComputeCircleEqVars(double cx, double cy, double r, double& A, double& B, double& C)
{
    A = -2.0 * cx;
    B = -2.0 * cy;
    C = cx * cx + cy * cy - r * r;
}

void TwoCirclesIntersectionLine(double A1, double B1, double C1, double A2, double B2, double C2,
                                double& A, double& B, double& C)
{
    A = A2 - A1;
    B = B2 - B1;
    C = C1 - C2;
}

int ComputeCenterCoordinates(double x1, double y1, double x2, double y2, double angle,
                             double& cx, double& cy, double& r)
{
    double half = HorizontalDistance(x1, y1, x2, y2) / 2.0;
    double az = atan3(x2 - x1, y2 - y1);
    double t = angle * kRadPerDeg;
    double sinAngle = std::sin(t);
    if (std::fabs(sinAngle) < kIntersectZeroTol)
        return 0;
    double h = half * std::cos(t) / sinAngle;
    double ca = std::cos(az), sa = std::sin(az);
    cx = x1 + ca * h + sa * half;
    cy = y1 + ca * half - sa * h;
    r = std::sqrt(h * h + half * half);
    return 1;
}

int ComputeCircleEqVals(double x1, double y1, double x2, double y2, double angle,
                        double& A, double& B, double& C)
{
    double cx, cy, r;
    if (ComputeCenterCoordinates(x1, y1, x2, y2, angle, cx, cy, r) == 0)
        return 0;
    ComputeCircleEqVars(cx, cy, r, A, B, C);
    return 1;
}

int SolutionTo2ndDegreePolynomial(double a, double b, double c, double& r1, double& r2)
{
    r1 = 0.0;
    r2 = 0.0;
    double D = b * b - 4.0 * a * c;
    if (D < -kIntersectZeroTol)
        return 0;
    if (std::fabs(D) < kIntersectZeroTol) {
        // With a = 0 the discriminant vanishes only for |b| < 3.2e-7, below the leading
        // coefficient tolerance: the equation has no usable root (rather than -b / 0).
        if (a == 0.0)
            return 0;
        r1 = r2 = -b / (2.0 * a);
        return 1;
    }
    if (std::fabs(a) >= kIntersectZeroTol) {
        double s = std::sqrt(D);
        r1 = (-b + s) / (2.0 * a);
        r2 = (-b - s) / (2.0 * a);
        return 2;
    }
    if (std::fabs(b) < kIntersectLeadCoefTol)
        return 0;
    r1 = r2 = -c / b;
    return 1;
}

int IntersectionCoordsOfLineAndCircle(double cA, double cB, double cC, double lA, double lB, double lC,
                                      double& x1, double& y1, double& x2, double& y2)
{
    double u1, u2;
    if (std::fabs(lB) < kIntersectLeadCoefTol) {
        // The line is x = const.
        if (std::fabs(lA) < kIntersectLeadCoefTol)
            return 0;
        double x = lC / lA;
        int n = SolutionTo2ndDegreePolynomial(1.0, cB, x * x + cA * x + cC, u1, u2);
        if (n > 0) {
            x1 = x2 = x;
            y1 = u1;
            y2 = u2;
        }
        return n;
    }
    double lB2 = lB * lB;
    double a = 1.0 + lA * lA / lB2;
    double b = cA - lA * (2.0 * lC / lB2 + cB / lB);
    double c = lC * (lC / lB2 + cB / lB) + cC;
    int n = SolutionTo2ndDegreePolynomial(a, b, c, u1, u2);
    if (n > 0) {
        x1 = u1;
        x2 = u2;
        y1 = (lC - lA * u1) / lB;
        y2 = (lC - lA * u2) / lB;
    }
    return n;
}

int IntersectionCoordsOfTwoCircles(double A1, double B1, double C1, double A2, double B2, double C2,
                                   double& x1, double& y1, double& x2, double& y2)
{
    double lA, lB, lC;
    TwoCirclesIntersectionLine(A1, B1, C1, A2, B2, C2, lA, lB, lC);
    return IntersectionCoordsOfLineAndCircle(A1, B1, C1, lA, lB, lC, x1, y1, x2, y2);
}

int ConfirmValidSolutionTwoPointsAndDistance(double x1, double y1, double x2, double y2,
                                             double px, double py, double d1, double d2)
{
    return std::fabs(HorizontalDistance(x1, y1, px, py) - d1) < kIntersectDistanceTol &&
                   std::fabs(HorizontalDistance(x2, y2, px, py) - d2) < kIntersectDistanceTol
               ? 1
               : 0;
}

// ---- Point solutions ----
// Each works in a local frame (an origin at a known point and a known distance as unit) so
// that the kit's absolute tolerances act relative to the figure's size, then scales back.

int ComputeCoords(double x1, double y1, double d1, double x2, double y2, double d2,
                  double& X1, double& Y1, double& X2, double& Y2, int& count)
{
    Solutions found;
    // A zero or negative first distance gives no unit to scale by: no solution.
    if (d1 > 0.0) {
        double A1, B1, C1, A2, B2, C2;
        ComputeCircleEqVars(0.0, 0.0, 1.0, A1, B1, C1);
        ComputeCircleEqVars((x2 - x1) / d1, (y2 - y1) / d1, d2 / d1, A2, B2, C2);
        double u[2], v[2];
        int n = IntersectionCoordsOfTwoCircles(A1, B1, C1, A2, B2, C2, u[0], v[0], u[1], v[1]);
        for (int i = 0; i < n; ++i) {
            double px = u[i] * d1 + x1, py = v[i] * d1 + y1;
            if (ConfirmValidSolutionTwoPointsAndDistance(x1, y1, x2, y2, px, py, d1, d2))
                found.offer(px, py);
        }
    }
    return found.hand(X1, Y1, X2, Y2, count);
}

int ComputeCoords(double x1, double y1, double r1, double x2, double y2, double r2, double d2,
                  double& X1, double& Y1, double& X2, double& Y2, int& count)
{
    Solutions found;
    // A zero or negative distance gives no unit to scale by: no solution.
    if (d2 > 0.0) {
        const double alpha = r2 - r1;
        const double ux = (x2 - x1) / d2, uy = (y2 - y1) / d2;
        Locus angle = angleLocus(0.0, 0.0, ux, uy, alpha);
        Locus circle{true, 0.0, 0.0, 0.0};
        ComputeCircleEqVars(ux, uy, 1.0, circle.A, circle.B, circle.C);
        double u[2], v[2];
        int n = intersectLoci(circle, angle, u[0], v[0], u[1], v[1]);
        for (int i = 0; i < n; ++i) {
            double px = u[i] * d2 + x1, py = v[i] * d2 + y1;
            if (seesAngle(px, py, x1, y1, x2, y2, alpha))
                found.offer(px, py);
        }
    }
    return found.hand(X1, Y1, X2, Y2, count);
}

int ComputeCoords(double x1, double y1, double r1, double x2, double y2, double r2,
                  double x3, double y3, double r3,
                  double& X1, double& Y1, double& X2, double& Y2, int& count)
{
    Solutions found;
    // Local frame: origin at p2 (the point common to both loci), unit the distance p2 p1.
    const double unit = HorizontalDistance(x1, y1, x2, y2);
    if (unit > 0.0) {
        const double alpha = r2 - r1, beta = r3 - r2;
        Locus first = angleLocus((x1 - x2) / unit, (y1 - y2) / unit, 0.0, 0.0, alpha);
        Locus second = angleLocus(0.0, 0.0, (x3 - x2) / unit, (y3 - y2) / unit, beta);
        double u[2], v[2];
        int n = intersectLoci(first, second, u[0], v[0], u[1], v[1]);
        for (int i = 0; i < n; ++i) {
            double px = u[i] * unit + x2, py = v[i] * unit + y2;
            // Both loci pass through p2 itself, which is never an answer: it is dropped and
            // the other candidate, when valid, is reported.
            if (HorizontalDistance(px, py, x2, y2) < kIntersectDistanceTol)
                continue;
            if (seesAngle(px, py, x1, y1, x2, y2, alpha) && seesAngle(px, py, x2, y2, x3, y3, beta))
                found.offer(px, py);
        }
    }
    return found.hand(X1, Y1, X2, Y2, count);
}

// ---- Interpolation ----

void InterpolateXGivenY(double x1, double y1, double x2, double y2, double y, double& x)
{
    if (std::fabs(y2 - y1) < kIntersectCoordDiffTol || std::fabs(x2 - x1) < kIntersectCoordDiffTol)
        x = x1;
    else
        x = (y - y1) * (x2 - x1) / (y2 - y1) + x1;
}

void InterpolateYGivenX(double x1, double y1, double x2, double y2, double x, double& y)
{
    InterpolateXGivenY(y1, x1, y2, x2, x, y);
}

void InterpolateXZGivenY(double x1, double y1, double z1, double x2, double y2, double z2,
                         double y, double& x, double& z)
{
    InterpolateXGivenY(x1, y1, x2, y2, y, x);
    if (std::fabs(y2 - y1) < kIntersectCoordDiffTol)
        z = z1;
    else
        z = z1 + (z2 - z1) * (y - y1) / (y2 - y1);
}

void InterpolateYZGivenX(double x1, double y1, double z1, double x2, double y2, double z2,
                         double x, double& y, double& z)
{
    InterpolateXZGivenY(y1, x1, z1, y2, x2, z2, x, y, z);
}

// ---- Cut and fill slopes ----

void ComputeXYOffsetsForCutFillSlope(double slope, bool isCut, bool isRight, double* dx, double* dy)
{
    if (std::fabs(slope) < kIntersectCoordDiffTol) {
        *dx = isRight ? 1.0 : -1.0;
        *dy = 0.0;
        return;
    }
    *dx = isRight ? slope : -slope;
    double rise = slope * std::tan(atan3(1.0, slope));
    *dy = isCut ? rise : -rise;
}

int ComputeCatchPoint(double hx, double hy, bool isRight, double cutSlope, bool hasCut,
                      double fillSlope, bool hasFill, double gx1, double gy1, double gx2, double gy2,
                      double& x, double& y, double& groundDir)
{
    if (std::fabs(gx2 - gx1) < kIntersectCoordDiffTol && std::fabs(gy2 - gy1) < kIntersectCoordDiffTol)
        gx2 = gx1 + 1.0;
    groundDir = GetRefAziPts(gx2 - gx1, gy2 - gy1);
    double gA, gB, gC;
    ComputeEqVars(gx1, gy1, gx2, gy2, gA, gB, gC);

    // The catch point of one slope on its own side of the hinge, if any.
    auto slopeCatch = [&](double slope, bool isCut, double& px, double& py) {
        double dx, dy, A, B, C;
        ComputeXYOffsetsForCutFillSlope(slope, isCut, isRight, &dx, &dy);
        ComputeEqVars(hx, hy, hx + dx, hy + dy, A, B, C);
        if (GetIntersectionPointFromEqVars(A, B, C, gA, gB, gC, px, py) == 0)
            return false;
        return isRight ? px >= hx : px <= hx;
    };
    double cutX = 0.0, cutY = 0.0, fillX = 0.0, fillY = 0.0;
    bool cut = hasCut && slopeCatch(cutSlope, true, cutX, cutY);
    bool fill = hasFill && slopeCatch(fillSlope, false, fillX, fillY);
    if (cut && fill) {
        if (std::fabs(cutY - gy2) <= std::fabs(fillY - gy2))
            fill = false;
        else
            cut = false;
    }
    if (cut) {
        x = cutX;
        y = cutY;
        return 1;
    }
    if (fill) {
        x = fillX;
        y = fillY;
        return 2;
    }
    return 0;
}
