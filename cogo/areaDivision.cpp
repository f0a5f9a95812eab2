// C2dPtListUt: area on one side of a line, and area division by a hinge line and by a line
// parallel to the base.
#include "cogo/pointList.h"

#include "cogo/segment.h"

#include <cmath>

namespace {

// The trapezoid between the line d = 0 and the part of the side a -> b with d >= 0, measured
// along the first coordinate f (the rotated frame of getPositiveArea).
double positiveTrapezoid(double fa, double da, double fb, double db)
{
    if (da >= 0.0 && db >= 0.0)
        return (da + db) * (fb - fa) / 2.0;
    if (da < 0.0 && db < 0.0)
        return 0.0;
    const double dd = db - da;
    // Ends on both sides yet less than 1e-12 apart across the line: not crossing, and the
    // sliver it would add is below 1e-12 high, so it adds nothing.
    if (dd > -kPlaneZero && dd < kPlaneZero)
        return 0.0;
    const double fc = fa + (fb - fa) * (0.0 - da) / dd;
    if (db >= 0.0)
        return (0.0 + db) * (fb - fc) / 2.0;
    return (da + 0.0) * (fc - fa) / 2.0;
}

// Signed area of the triangle a, b, c by the trapezoid rule of getSignedArea, taken relative
// to a so that grid coordinates of millions of metres do not cancel away the digits.
double triangleArea(const C2dPos& a, const C2dPos& b, const C2dPos& c)
{
    const C2dPos v[3] = {C2dPos{0.0, 0.0}, C2dPos{b.north - a.north, b.east - a.east},
                         C2dPos{c.north - a.north, c.east - a.east}};
    double sum = 0.0;
    for (int i = 0; i < 3; ++i) {
        const C2dPos& p = v[i];
        const C2dPos& q = v[(i + 1) % 3];
        sum += (q.north - p.north) * (p.east + q.east) / 2.0;
    }
    return sum;
}

// The hinge point X on the line from P along dir such that the triangle L, X, P adds `needed`
// to the signed area: the meeting point of that line and the line
//   (P.e - L.e) * X.n + (L.n - P.n) * X.e = P.e * L.n - P.n * L.e - 2 * needed.
// With X = P + t * (cos dir, sin dir) the terms in P and L cancel and t = -2 * needed / det,
// which keeps full precision at large grid coordinates.
bool hingePoint(const C2dPos& P, const C2dPos& L, const CMathAngle& dir, double needed, C2dPos& X)
{
    const double det = (L.north - P.north) * dir.getSin() + (P.east - L.east) * dir.getCos();
    if (det > -kPlaneZero && det < kPlaneZero)
        return false;
    dir.getPosAlong(-2.0 * needed / det, P, X);
    return true;
}

C2dPos minus(const C2dPos& a, const C2dPos& b)
{
    return C2dPos{a.north - b.north, a.east - b.east};
}

C2dPos along(const C2dPos& p, double s, const C2dPos& u)
{
    return C2dPos{p.north + s * u.north, p.east + s * u.east};
}

} // namespace

double C2dPtListUt::getPositiveArea(const C2dPos& origin, const CMathAngle& dir) const
{
    const int n = list_.getCount();
    const double originD = dir.getRotatedBackEast(origin.north, origin.east);
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const C2dPos a = point(i);
        const C2dPos b = point(i + 1 < n ? i + 1 : 0);
        sum += positiveTrapezoid(dir.getRotatedBackNorth(a.north, a.east),
                                 dir.getRotatedBackEast(a.north, a.east) - originD,
                                 dir.getRotatedBackNorth(b.north, b.east),
                                 dir.getRotatedBackEast(b.north, b.east) - originD);
    }
    return sum;
}

bool C2dPtListUt::getAreaHingelLineSolution(const CMathAngle& dir, double area, C2dPos& out) const
{
    const int n = list_.getCount();
    if (n < 2 || !dir.isok())
        return false;
    const C2dPos P = point(0);
    const C2dPos L = point(n - 1);
    const double signedArea = getSignedArea();
    const double required = signedArea < 0.0 ? -area : area;
    C2dPos X;
    if (!hingePoint(P, L, dir, required - signedArea, X))
        return false;
    // A list without area has no orientation to follow: take the area's sign that puts X ahead
    // of P along dir. The test runs on the offset X - P so that large grid coordinates do not
    // swamp its 1e-12 m tolerance.
    if (signedArea == 0.0 && !dir.isSameAsAzimuth(C2dPos{0.0, 0.0}, minus(X, P))) {
        if (!hingePoint(P, L, dir, -required - signedArea, X))
            return false;
    }
    if (hasSelfXsections(X))
        return false;
    out = X;
    return true;
}

bool C2dPtListUt::solveStrip(const C2dPos& P, const C2dPos& L, const CMathAngle& dirFirst,
                             const CMathAngle& dirLast, double needed, C2dPos& outFirst,
                             C2dPos& outLast) const
{
    if (std::fabs(needed) < kPlaneZero) {
        outFirst = P;
        outLast = L;
        return true;
    }
    // P and L in one place leave no base to build on.
    CMathAngle base;
    if (!base.setAz(P, L))
        return false;
    CMathAngle alpha(dirFirst);
    alpha -= base;
    CMathAngle beta(dirLast);
    beta -= base;
    beta.setSupplementary();
    if (std::fabs(alpha.getSin()) < kPlaneZero || std::fabs(beta.getSin()) < kPlaneZero)
        return false;
    const bool alphaRight = alpha.getQuadrant().isEast;
    if (alphaRight != beta.getQuadrant().isEast)
        return false;
    if (!alphaRight) {
        alpha.changeSign();
        beta.changeSign();
    }
    const double k = (alpha.getCtg() + beta.getCtg()) / 2.0;
    const double d = getPosDistance(P, L);

    auto accept = [&](double h) {
        if (!(h >= 0.0))
            return false;
        C2dPos p, q;
        dirFirst.getPosAlong(h / alpha.getSin(), P, p);
        dirLast.getPosAlong(h / beta.getSin(), L, q);
        if (hasSelfXsections(p, q))
            return false;
        outFirst = p;
        outLast = q;
        return true;
    };
    if (std::fabs(k) < kPlaneZero)
        return accept(needed / d);
    const double disc = d * d - 4.0 * k * needed;
    if (disc < 0.0)
        return false;
    const double root = std::sqrt(disc);
    return accept((d + root) / (2.0 * k)) || accept((d - root) / (2.0 * k));
}

bool C2dPtListUt::getAreaParallelLineSolution(const CMathAngle& dirFirst,
                                              const CMathAngle& dirLast, double area,
                                              C2dPos& outFirst, C2dPos& outLast) const
{
    const int n = list_.getCount();
    if (n < 2 || !dirFirst.isok() || !dirLast.isok())
        return false;
    return solveStrip(point(0), point(n - 1), dirFirst, dirLast, area - getSignedArea(),
                      outFirst, outLast);
}

bool C2dPtListUt::getAreaParallelLineSolution(const CMathAngle& dirFirst,
                                              const CMathAngle& dirLast,
                                              const CMathAngle& dirDivide, double area,
                                              C2dPos& outFirst, C2dPos& outLast) const
{
    const int n = list_.getCount();
    if (n < 2 || !dirFirst.isok() || !dirLast.isok() || !dirDivide.isok())
        return false;
    C2dPos P = point(0);
    C2dPos L = point(n - 1);
    const C2dPos w = dirDivide.getDir();
    // "Non-negative" parameters allow the zero tolerance, so that a dividing line parallel to
    // the base (meeting at P itself) is not lost to rounding.
    double s, t;
    double cutOff;
    if (lineMeetParams(P, dirFirst.getDir(), L, w, s, t) && s > -kPlaneZero) {
        const C2dPos moved = along(P, std::fmax(s, 0.0), dirFirst.getDir());
        cutOff = triangleArea(P, moved, L);
        P = moved;
    } else if (lineMeetParams(L, dirLast.getDir(), P, w, s, t) && s > -kPlaneZero) {
        const C2dPos moved = along(L, std::fmax(s, 0.0), dirLast.getDir());
        cutOff = triangleArea(P, L, moved);
        L = moved;
    } else {
        return false;
    }
    const double needed = area - getSignedArea() - std::fabs(cutOff);
    return solveStrip(P, L, dirFirst, dirLast, needed, outFirst, outLast);
}
