#include "road/roadKeyPoints.h"

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

// Whether the point (n, e) lies on the line through (n0, e0) in direction `az` (within 0.1 mm).
bool onTangent(double n0, double e0, const CMathAngle& az, double n, double e)
{
    const double across = (e - e0) * az.getCos() - (n - n0) * az.getSin();
    return std::fabs(across) < 1e-4;
}

// The ends of the curve whose PI (n, e) the engine gave for arc i: the widest of the arc with
// its spirals whose start and end tangents pass through the PI. The engine joins a spiral to
// its arc only under conditions of its own (getIpPosForElement); the tangents tell which.
void piTangentPoints(const CAlnt& alnt, const std::vector<const RoadElementShape*>& shapes, int i, RoadKeyPoint& pi)
{
    const int count = alnt.getNumOfHes();
    int first = i, last = i;
    if (i > 0 && shapes[i - 1]->kind == RoadShapeKind::Spiral && shapes[i - 1]->radiusStart == 0.0) {
        double n0, e0;
        CMathAngle az;
        alnt.getHe(i - 1)->getStartAzimut(az);
        if (alnt.getHe(i - 1)->getStartPosNe(n0, e0) && onTangent(n0, e0, az, pi.north, pi.east))
            first = i - 1;
    }
    if (i + 1 < count && shapes[i + 1]->kind == RoadShapeKind::Spiral && shapes[i + 1]->radiusEnd == 0.0) {
        double n1, e1;
        CMathAngle az;
        if (alnt.getHe(i + 1)->getFinalPosNe(n1, e1) && alnt.getHe(i + 1)->getFinalAzimut(az) &&
            onTangent(n1, e1, az, pi.north, pi.east))
            last = i + 1;
    }
    alnt.getHe(first)->getStartPosNe(pi.fromNorth, pi.fromEast);
    alnt.getHe(last)->getFinalPosNe(pi.toNorth, pi.toEast);
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
        RoadKeyPoint pi;
        if (after && after->kind == RoadShapeKind::Arc && alnt.getIpPosForElement(i, pi.north, pi.east)) {
            pi.name = "PI";
            pi.isPi = true;
            pi.element = i;
            pi.station = p.station;
            pi.radius = after->radiusStart * b.metresPerUnit;
            piTangentPoints(alnt, shapes, i, pi);
            out.push_back(pi);
        }
    }
    return out;
}
