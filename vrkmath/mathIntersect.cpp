#include "vrkmath/mathIntersect.h"

#include "cogo/segment.h"

bool IntersectPointDirLines(const C2dPos& p1, const CMathAngle& dir1, const C2dPos& p2,
                            const CMathAngle& dir2, C2dPos& out)
{
    if (dir1.isnan() || dir2.isnan())
        return false;
    const C2dPos u1 = dir1.getDir();
    const C2dPos u2 = dir2.getDir();
    double s, t;
    if (!lineMeetParams(p1, u1, p2, u2, s, t))
        return false;
    out = C2dPos{p1.north + s * u1.north, p1.east + s * u1.east};
    return true;
}
