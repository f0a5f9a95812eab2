#include "road/roadGeometry.h"

#include "numeric/mathAngle.h"
#include "numeric/units.h"
#include "vrkmath/mathSpirals.h"

#include <cmath>
#include <cstdio>

namespace {

// Into [0, 2 pi).
double positiveAngle(double a)
{
    a = std::fmod(a, kTwoPi);
    if (a < 0.0)
        a += kTwoPi;
    return a >= kTwoPi ? 0.0 : a;
}

// Into (-pi, pi].
double signedAngle(double a)
{
    a = positiveAngle(a);
    return a > kPi ? a - kTwoPi : a;
}

std::string number(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

RoadPoint offsetPoint(const RoadPoint& p, double dn, double de)
{
    RoadPoint q;
    q.valid = true;
    q.north = p.north + dn;
    q.east = p.east + de;
    return q;
}

// The centre of a curve given by Start, End, radius and side; the major arc when the stated
// length says so.
bool centreFromRadius(const RoadGeomElement& e, double tolerance, RoadPoint& centre, std::string& message)
{
    if (!(e.radius > 0.0) || std::isinf(e.radius))
        return message = "a curve without Center and PI needs a positive radius", false;
    if (e.rot == RoadRot::None)
        return message = "a curve without PI needs its turning side (rot)", false;
    const double R = e.radius;
    const double dn = e.end.north - e.start.north;
    const double de = e.end.east - e.start.east;
    const double c = std::hypot(dn, de);
    if (c < 1e-12)
        return message = "a curve without Center and PI has Start equal to End", false;
    if (c > 2.0 * R + tolerance)
        return message = "the chord " + number(c) + " is longer than the diameter " + number(2.0 * R), false;
    const double h = std::sqrt(std::fmax(R * R - 0.25 * c * c, 0.0));
    // Right of the chord for a clockwise minor arc; a major arc has its centre on the other side.
    double side = e.rot == RoadRot::Cw ? 1.0 : -1.0;
    if (!std::isnan(e.length) && e.length > kPi * R)
        side = -side;
    const double un = dn / c, ue = de / c;
    centre = offsetPoint(e.start, 0.5 * dn + side * h * -ue, 0.5 * de + side * h * un);
    return true;
}

bool arcFromCentre(const RoadGeomElement& e, const RoadPoint& centre, RoadRot rot, double tolerance,
                   RoadElementShape& shape, std::string& message)
{
    const double Rs = RoadDistance(centre, e.start);
    const double Re = RoadDistance(centre, e.end);
    if (Rs < 1e-12)
        return message = "the curve's Center coincides with its Start", false;
    if (std::fabs(Rs - Re) > tolerance)
        return message = "Start and End lie at different distances from Center (" + number(Rs) +
                         " and " + number(Re) + ")", false;
    if (rot == RoadRot::None)
        return message = "attribute 'rot' is missing", false;
    const double azS = RoadAzimuth(centre, e.start);
    const double azE = RoadAzimuth(centre, e.end);
    const bool right = rot == RoadRot::Cw;
    double delta = positiveAngle(right ? azE - azS : azS - azE);
    // Start equal to End: a full circle when the stated length says so.
    if (!std::isnan(e.length) && std::fabs(e.length - Rs * (delta + kTwoPi)) < std::fabs(e.length - Rs * delta))
        delta += kTwoPi;
    // A turning side the wrong way round takes the arc the long way about the circle; a stated
    // length tells (exporters round it, so only a gross disagreement counts).
    if (!std::isnan(e.length) && std::fabs(e.length - Rs * delta) > 0.01 * e.length + tolerance)
        return message = "the stated length " + number(e.length) + " disagrees with the length " + number(Rs * delta) +
                         " from the coordinates (is the turning side right?)", false;
    shape.kind = RoadShapeKind::Arc;
    shape.startAz = positiveAngle(azS + (right ? 0.5 : -0.5) * kPi);
    shape.length = Rs * delta;
    shape.radiusStart = shape.radiusEnd = right ? Rs : -Rs;
    shape.center = centre;
    return true;
}

// A curve by Start, PI and End: the deflection at PI gives the central angle and the side, the
// chord the radius.
bool arcFromPi(const RoadGeomElement& e, double tolerance, RoadElementShape& shape, std::string& message)
{
    const double a1 = RoadAzimuth(e.start, e.pi);
    const double a2 = RoadAzimuth(e.pi, e.end);
    const double deflection = signedAngle(a2 - a1);
    if (std::fabs(deflection) < 1e-12 || RoadDistance(e.start, e.pi) < 1e-12 || RoadDistance(e.pi, e.end) < 1e-12)
        return message = "the curve's Start, PI and End give no deflection", false;
    const RoadRot rot = deflection > 0.0 ? RoadRot::Cw : RoadRot::Ccw;
    if (e.rot != RoadRot::None && e.rot != rot)
        return message = "attribute 'rot' disagrees with the turn at PI", false;
    const double t1 = RoadDistance(e.start, e.pi);
    const double t2 = RoadDistance(e.pi, e.end);
    if (std::fabs(t1 - t2) > tolerance)
        return message = "the curve's tangents differ (" + number(t1) + " and " + number(t2) + ")", false;
    const double chord = RoadDistance(e.start, e.end);
    const double R = chord / (2.0 * std::sin(0.5 * std::fabs(deflection)));
    const double right = rot == RoadRot::Cw ? 1.0 : -1.0;
    const double sn = std::sin(a1), cs = std::cos(a1);
    // The centre lies R across the start tangent, to the side of the turn.
    const RoadPoint centre = offsetPoint(e.start, right * R * -sn, right * R * cs);
    shape.kind = RoadShapeKind::Arc;
    shape.startAz = positiveAngle(a1);
    shape.length = R * std::fabs(deflection);
    shape.radiusStart = shape.radiusEnd = right * R;
    shape.center = centre;
    return true;
}

bool spiralShape(const RoadGeomElement& e, double tolerance, RoadElementShape& shape, std::string& message)
{
    // Length 0: a point, taken where its Start and End meet (a line of length 0, which the
    // builder skips); its radii and direction say nothing.
    if (e.length == 0.0) {
        const double apart = RoadDistance(e.start, e.end);
        if (apart > tolerance) {
            char buf[160];
            std::snprintf(buf, sizeof buf, "the spiral's length is 0 but its Start and End lie %.4f apart", apart);
            return message = buf, false;
        }
        shape.kind = RoadShapeKind::Line;
        shape.startAz = RoadAzimuth(e.start, e.end);
        shape.length = 0.0;
        shape.radiusStart = shape.radiusEnd = 0.0;
        return true;
    }
    if (!(e.length > 0.0))
        return message = "the spiral's length must be positive", false;
    if (e.rot == RoadRot::None)
        return message = "attribute 'rot' is missing", false;
    const double side = e.rot == RoadRot::Cw ? 1.0 : -1.0;
    const double r1 = std::isinf(e.radiusStart) ? 0.0 : side * e.radiusStart;
    const double r2 = std::isinf(e.radiusEnd) ? 0.0 : side * e.radiusEnd;
    shape.length = e.length;
    shape.radiusStart = r1;
    shape.radiusEnd = r2;
    if (r1 == 0.0 && r2 == 0.0)
        shape.kind = RoadShapeKind::Line;
    else if (r1 == r2)
        shape.kind = RoadShapeKind::Arc;
    else
        shape.kind = RoadShapeKind::Spiral;
    if (e.pi.valid && RoadDistance(e.start, e.pi) > tolerance) {
        shape.startAz = RoadAzimuth(e.start, e.pi);
        return true;
    }
    // No PI: the direction that takes this clothoid from Start to End.
    CMathAngle az;
    const C2dPos s{e.start.north, e.start.east};
    const C2dPos t{e.end.north, e.end.east};
    if (!getAlntElementAzimuth(az, s, t, r1, r2, e.length))
        return message = "the spiral's direction cannot be found from Start and End (no PI)", false;
    shape.startAz = positiveAngle(az.getRad());
    return true;
}

} // namespace

double RoadAzimuth(const RoadPoint& a, const RoadPoint& b)
{
    const double dn = b.north - a.north;
    const double de = b.east - a.east;
    if (dn == 0.0 && de == 0.0)
        return 0.0;
    return positiveAngle(std::atan2(de, dn));
}

double RoadDistance(const RoadPoint& a, const RoadPoint& b)
{
    return std::hypot(b.north - a.north, b.east - a.east);
}

bool DeriveRoadElementShape(const RoadGeomElement& e, double tolerance, RoadElementShape& shape,
                            std::string& message)
{
    RoadElementShape s;
    switch (e.kind) {
    case RoadGeomKind::Line:
        s.kind = RoadShapeKind::Line;
        s.startAz = RoadAzimuth(e.start, e.end);
        s.length = RoadDistance(e.start, e.end);
        break;
    case RoadGeomKind::Curve:
        if (e.center.valid) {
            RoadRot rot = e.rot;
            if (rot == RoadRot::None && e.pi.valid)   // the side from the turn at PI
                rot = signedAngle(RoadAzimuth(e.pi, e.end) - RoadAzimuth(e.start, e.pi)) > 0.0 ? RoadRot::Cw
                                                                                                : RoadRot::Ccw;
            if (!arcFromCentre(e, e.center, rot, tolerance, s, message))
                return false;
        } else if (e.pi.valid) {
            if (!arcFromPi(e, tolerance, s, message))
                return false;
        } else {
            RoadPoint centre;
            if (!centreFromRadius(e, tolerance, centre, message) ||
                !arcFromCentre(e, centre, e.rot, tolerance, s, message))
                return false;
        }
        break;
    case RoadGeomKind::Spiral:
        if (!spiralShape(e, tolerance, s, message))
            return false;
        break;
    }
    shape = s;
    return true;
}
