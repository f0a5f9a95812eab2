#include "cogo/screenClip.h"

#include "cogo/segment.h"

#include <cmath>
#include <cstdint>

namespace {

// A device coordinate from a double: truncated towards zero, held inside the 32-bit range (a
// ray's far point may lie anywhere).
std::int32_t toDevice(double v)
{
    const double lo = -2147483648.0, hi = 2147483647.0;
    if (!(v > lo))
        return INT32_MIN;
    if (v > hi)
        return INT32_MAX;
    return static_cast<std::int32_t>(v);
}

// The X and Y forms are one computation with the roles of x and y exchanged. `Axis` picks the
// coordinate that a level or strip limits ("level" coordinate) and the other one.
struct Axis {
    bool onX;  // true: levels are x = const
    double level(double x, double y) const { return onX ? x : y; }
    double other(double x, double y) const { return onX ? y : x; }
    CPoint make(std::int32_t levelCoord, double otherCoord) const
    {
        return onX ? CPoint(levelCoord, toDevice(otherCoord))
                   : CPoint(toDevice(otherCoord), levelCoord);
    }
};

// The ray (segment when `segment`) from (l0, o0) through (l1, o1) against the line
// level-coordinate = lvl, in (level, other) coordinates.
int levelCrossing(double l0, double o0, double l1, double o1, double lvl, double& o, double* t,
                  bool segment)
{
    const double dl = l1 - l0;
    if (dl > -kPlaneZero && dl < kPlaneZero) {
        if (t)
            *t = 0.0;
        return 0;
    }
    const double tt = (lvl - l0) / dl;
    if (t)
        *t = tt;
    if (tt < 0.0 || (segment && tt > 1.0))
        return 0;
    o = o0 + (o1 - o0) * tt;
    return 1;
}

// The point where the segment (ray) from `from` through (x1, y1) crosses level `lvl`.
int crossingPoint(const Axis& ax, const CPoint& from, double x1, double y1, int lvl, bool segment,
                  CPoint& out, double* t)
{
    double o;
    if (!levelCrossing(ax.level(from.x, from.y), ax.other(from.x, from.y), ax.level(x1, y1),
                       ax.other(x1, y1), lvl, o, t, segment))
        return 0;
    out = ax.make(lvl, o);
    return 1;
}

int segmentStrip(const Axis& ax, const CPoint& a, const CPoint& b, CPoint& outA, CPoint& outB,
                 int lo, int hi)
{
    const double ca = ax.level(a.x, a.y), cb = ax.level(b.x, b.y);
    if ((ca < lo && cb < lo) || (ca > hi && cb > hi))
        return 0;
    CPoint na = a, nb = b;
    if ((ca < lo || ca > hi) && !crossingPoint(ax, a, b.x, b.y, ca < lo ? lo : hi, true, na, nullptr))
        return 0;
    if ((cb < lo || cb > hi) && !crossingPoint(ax, b, a.x, a.y, cb < lo ? lo : hi, true, nb, nullptr))
        return 0;
    outA = na;
    outB = nb;
    return 1;
}

int rayStrip(const Axis& ax, const CPoint& p, double x1, double y1, CPoint& outA, CPoint& outB,
             int lo, int hi)
{
    const double c0 = ax.level(p.x, p.y);
    const double dc = ax.level(x1, y1) - c0;
    if (dc > -kPlaneZero && dc < kPlaneZero) {
        if (c0 < lo || c0 > hi)
            return 0;
        outA = p;
        outB = CPoint(toDevice(x1), toDevice(y1));
        return 1;
    }
    CPoint enter = p, leave;
    if ((c0 < lo || c0 > hi) &&
        !crossingPoint(ax, p, x1, y1, c0 < lo ? lo : hi, false, enter, nullptr))
        return 0;
    if (!crossingPoint(ax, p, x1, y1, dc > 0.0 ? hi : lo, false, leave, nullptr))
        return 0;
    outA = enter;
    outB = leave;
    return 1;
}

const Axis kXAxis{true};
const Axis kYAxis{false};

} // namespace

int rayIntersectionWithYLevel(double x0, double y0, double x1, double y1, double yLevel,
                              double& x, double* t)
{
    return levelCrossing(y0, x0, y1, x1, yLevel, x, t, false);
}

int rayIntersectionWithXLevel(double x0, double y0, double x1, double y1, double xLevel,
                              double& y, double* t)
{
    return levelCrossing(x0, y0, x1, y1, xLevel, y, t, false);
}

int segmentIntersectionWithYLevel(const CPoint& p, double x1, double y1, int yLevel, CPoint& out,
                                  double* t)
{
    return crossingPoint(kYAxis, p, x1, y1, yLevel, true, out, t);
}

int segmentIntersectionWithXLevel(const CPoint& p, double x1, double y1, int xLevel, CPoint& out,
                                  double* t)
{
    return crossingPoint(kXAxis, p, x1, y1, xLevel, true, out, t);
}

int segmentIntersectionWithYStrip(const CPoint& a, const CPoint& b, CPoint& outA, CPoint& outB,
                                  int yMin, int yMax)
{
    return segmentStrip(kYAxis, a, b, outA, outB, yMin, yMax);
}

int segmentIntersectionWithXStrip(const CPoint& a, const CPoint& b, CPoint& outA, CPoint& outB,
                                  int xMin, int xMax)
{
    return segmentStrip(kXAxis, a, b, outA, outB, xMin, xMax);
}

int segmentIntersection(CPoint& a, CPoint& b, const CRect& r)
{
    CPoint xa, xb, ya, yb;
    if (!segmentIntersectionWithXStrip(a, b, xa, xb, r.left, r.right) ||
        !segmentIntersectionWithYStrip(xa, xb, ya, yb, r.top, r.bottom))
        return 0;
    a = ya;
    b = yb;
    return 1;
}

int rayIntersectionWithYStrip(const CPoint& p, double x1, double y1, CPoint& outA, CPoint& outB,
                              int yMin, int yMax)
{
    return rayStrip(kYAxis, p, x1, y1, outA, outB, yMin, yMax);
}

int rayIntersectionWithXStrip(const CPoint& p, double x1, double y1, CPoint& outA, CPoint& outB,
                              int xMin, int xMax)
{
    return rayStrip(kXAxis, p, x1, y1, outA, outB, xMin, xMax);
}

// After the x strip a ray that crosses it has become a segment (it leaves at the far x level),
// so the y strip clips that segment; this keeps the result inside the x strip. Only a vertical
// ray is still unbounded after the x strip and is clipped as a ray.
int rayIntersection(const CPoint& p, double x1, double y1, CPoint& outA, CPoint& outB,
                    const CRect& r)
{
    const double dx = x1 - p.x;
    if (dx > -kPlaneZero && dx < kPlaneZero) {
        if (p.x < r.left || p.x > r.right)
            return 0;
        return rayIntersectionWithYStrip(p, x1, y1, outA, outB, r.top, r.bottom);
    }
    CPoint xa, xb;
    if (!rayIntersectionWithXStrip(p, x1, y1, xa, xb, r.left, r.right))
        return 0;
    return segmentIntersectionWithYStrip(xa, xb, outA, outB, r.top, r.bottom);
}

int rayIntersection(const CPoint& p, double angle, CPoint& outA, CPoint& outB, const CRect& r)
{
    return rayIntersection(p, p.x + std::sin(angle), p.y + std::cos(angle), outA, outB, r);
}
