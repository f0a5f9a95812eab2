#include "road/roadKeyPoints.h"

#include "numeric/units.h"
#include "vrkmath/mathIntersect.h"

#include <cmath>

std::string RoadJointName(const RoadElementShape* a, const RoadElementShape* b)
{
    if (!a)
        return "POB";
    if (!b)
        return "POE";
    const RoadShapeKind p = a->kind, n = b->kind;
    if (p == RoadShapeKind::Line)
        return n == RoadShapeKind::Line ? "POT" : n == RoadShapeKind::Arc ? "PC" : "TS";
    if (p == RoadShapeKind::Arc) {
        if (n == RoadShapeKind::Line)
            return "PT";
        if (n == RoadShapeKind::Spiral)
            return "CS";
        return (a->radiusEnd > 0.0) == (b->radiusStart > 0.0) ? "PCC" : "PRC";
    }
    return n == RoadShapeKind::Line ? "ST" : n == RoadShapeKind::Arc ? "SC" : "SS";
}

namespace {

// The turning side of a shape: 1 right, -1 left, 0 for a line. A spiral turns to the side of its
// finite radius (a clothoid between two finite radii keeps its side).
int turningSide(const RoadElementShape& s)
{
    if (s.kind == RoadShapeKind::Line)
        return 0;
    const double r = s.radiusStart != 0.0 ? s.radiusStart : s.radiusEnd;
    return r > 0.0 ? 1 : r < 0.0 ? -1 : 0;
}

double curvature(double r)
{
    return r == 0.0 ? 0.0 : 1.0 / r;
}

// The angle a shape turns through, radians (right positive): its length times its mean
// curvature (curvature runs linearly along a clothoid); may exceed pi.
double deflection(const RoadElementShape& s)
{
    return s.length * 0.5 * (curvature(s.radiusStart) + curvature(s.radiusEnd));
}

// The angle in (-pi, pi] equivalent to a (radians).
double wrapPi(double a)
{
    a = std::remainder(a, kTwoPi);
    return a <= -kPi ? a + kTwoPi : a;
}

// The PI of the curve group of engine elements first..last: the meeting point of the tangent at
// the group's start with that at its end, in front of both. False when the tangents are
// parallel or the group turns by 180 degrees or more; `pi` is then untouched.
bool groupPi(const RoadBuild& b, const std::vector<const RoadElementShape*>& shapes, int first, int last, RoadKeyPoint& pi)
{
    const CAlnt& alnt = b.alnt;
    // The whole turn: each element's own plus the kinks where an element starts turned from the
    // end direction of the one before it.
    double turn = 0.0, smallest = 0.0;
    CMathAngle prevEnd;
    for (int i = first; i <= last; ++i) {
        CMathAngle az0;
        alnt.getHe(i)->getStartAzimut(az0);
        if (i > first)
            turn += wrapPi(az0.getRad() - prevEnd.getRad());
        if (!alnt.getHe(i)->getFinalAzimut(prevEnd))
            return false;
        turn += deflection(*shapes[i]);
        for (double r : {shapes[i]->radiusStart, shapes[i]->radiusEnd})
            if (r != 0.0 && (smallest == 0.0 || std::fabs(r) < std::fabs(smallest)))
                smallest = r;
    }
    if (std::fabs(turn) >= kPi)
        return false;
    C2dPos from, to, at;
    CMathAngle az0, az1;
    alnt.getHe(first)->getStartAzimut(az0);
    if (!alnt.getHe(first)->getStartPosNe(from.north, from.east) || !alnt.getHe(last)->getFinalPosNe(to.north, to.east) ||
        !alnt.getHe(last)->getFinalAzimut(az1) || !IntersectPointDirLines(from, az0, to, az1, at))
        return false;
    // In front of the start and behind the end, as for any turn under 180 degrees; a guard
    // against kinks that bend the tangents the other way.
    const double ahead = (at.north - from.north) * az0.getCos() + (at.east - from.east) * az0.getSin();
    const double behind = (to.north - at.north) * az1.getCos() + (to.east - at.east) * az1.getSin();
    if (!(ahead > 0.0) || !(behind > 0.0))
        return false;
    pi.name = "PI";
    pi.isPi = true;
    pi.element = first;
    alnt.getHe(first)->getStartChainageInM(pi.station);
    alnt.getHe(last)->getFinalChainageInM(pi.toStation);
    pi.north = at.north;
    pi.east = at.east;
    pi.fromNorth = from.north;
    pi.fromEast = from.east;
    pi.toNorth = to.north;
    pi.toEast = to.east;
    pi.radius = smallest * b.metresPerUnit;
    return true;
}

} // namespace

std::vector<RoadKeyPoint> RoadKeyPoints(const RoadBuild& b)
{
    const CAlnt& alnt = b.alnt;
    // The engine's elements with their shapes, in order.
    std::vector<const RoadElementShape*> shapes;
    for (size_t i = 0; i < b.engineIndex.size(); ++i)
        if (b.engineIndex[i] >= 0)
            shapes.push_back(&b.shapes[i]);
    std::vector<RoadKeyPoint> out;
    const int count = alnt.getNumOfHes();
    if (count == 0)
        return out;
    int groupEnd = -1;   // the last element of the group the current element belongs to
    for (int i = 0; i <= count; ++i) {
        const RoadElementShape* before = i > 0 ? shapes[i - 1] : nullptr;
        const RoadElementShape* after = i < count ? shapes[i] : nullptr;
        RoadKeyPoint p;
        p.name = RoadJointName(before, after);
        p.element = i;
        if (i < count) {
            alnt.getHe(i)->getStartChainageInM(p.station);
            alnt.getHe(i)->getStartPosNe(p.north, p.east);
        } else {
            alnt.getFinalChainageInM(p.station);
            alnt.getFinalPosNe(p.north, p.east);
        }
        out.push_back(p);
        const int side = after ? turningSide(*after) : 0;
        if (side == 0 || i <= groupEnd)
            continue;
        groupEnd = i;
        while (groupEnd + 1 < count && turningSide(*shapes[groupEnd + 1]) == side)
            ++groupEnd;
        RoadKeyPoint pi;
        if (groupPi(b, shapes, i, groupEnd, pi))
            out.push_back(pi);
    }
    return out;
}
