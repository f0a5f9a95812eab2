#include "cogo/segment.h"

#include <cmath>

bool lineMeetParams(const C2dPos& p, const C2dPos& u, const C2dPos& q, const C2dPos& v,
                    double& s, double& t)
{
    const double det = u.north * v.east - u.east * v.north;
    if (det > -kPlaneZero && det < kPlaneZero)
        return false;
    const double dn = q.north - p.north;
    const double de = q.east - p.east;
    s = (dn * v.east - de * v.north) / det;
    t = (dn * u.east - de * u.north) / det;
    return true;
}

double C2dSegment::getDistance(const C2dPos& p) const
{
    const double len = getPosDistance(start, end);
    if (len > -kPlaneZero && len < kPlaneZero)
        return getPosDistance(p, end);
    const double un = (end.north - start.north) / len;
    const double ue = (end.east - start.east) / len;
    const double along = un * (p.north - start.north) + ue * (p.east - start.east);
    const double across = un * (p.east - start.east) - ue * (p.north - start.north);
    if (along >= 0.0 && along <= len)
        return std::fabs(across);
    return std::fmin(getPosDistance(p, start), getPosDistance(p, end));
}

bool C2dSegment::meets(const C2dSegment& other, C2dPos* at) const
{
    const C2dPos u{end.north - start.north, end.east - start.east};
    const C2dPos v{other.end.north - other.start.north, other.end.east - other.start.east};
    double s, t;
    if (!lineMeetParams(start, u, other.start, v, s, t))
        return false;
    if (s < 0.0 || s > 1.0 || t < 0.0 || t > 1.0)
        return false;
    if (at)
        *at = C2dPos{start.north + s * u.north, start.east + s * u.east};
    return true;
}
