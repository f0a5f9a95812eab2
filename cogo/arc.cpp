#include "cogo/arc.h"

#include "cogo/segment.h"
#include "numeric/units.h"

#include <cmath>

namespace {

// The landing test of set_start_center_finish: metres in each coordinate.
constexpr double kLandingTolerance = 0.001;

CMathAngle radians(double r)
{
    CMathAngle a;
    a.setRad(r);
    return a;
}

// The azimuth a turned by `turn` radians (clockwise positive), normalised.
CMathAngle turned(const CMathAngle& a, double turn)
{
    CMathAngle r(a);
    r += radians(turn);
    return r;
}

C2dPos midpoint(const C2dPos& a, const C2dPos& b)
{
    return C2dPos{(a.north + b.north) * 0.5, (a.east + b.east) * 0.5};
}

// Where the line through p with azimuth a meets the line through q with azimuth b. False when
// the two are parallel (the sine of the angle between them within 1e-12 of 0).
bool meetAzimuths(const C2dPos& p, const CMathAngle& a, const C2dPos& q, const CMathAngle& b,
                  C2dPos& out)
{
    const C2dPos u{a.getCos(), a.getSin()};
    double s, t;
    if (!lineMeetParams(p, u, q, C2dPos{b.getCos(), b.getSin()}, s, t))
        return false;
    out = C2dPos{p.north + s * u.north, p.east + s * u.east};
    return true;
}

// The centre of the arc from start to finish that touches `tangent` at `touch` (the start or
// the finish): the perpendicular bisector of the chord meets the normal at `touch`. The arc is
// clockwise when the tangent minus the radial azimuth centre -> touch is not negative.
bool arcFromTangent(CArc& arc, const C2dPos& start, const C2dPos& finish, const C2dPos& touch,
                    const CMathAngle& tangent)
{
    CMathAngle chord;
    if (!tangent.isok() || !chord.setAz(start, finish))
        return false;
    C2dPos centre;
    if (!meetAzimuths(midpoint(start, finish), turned(chord, kHalfPi), touch,
                      turned(tangent, kHalfPi), centre))
        return false;
    CMathAngle radial;
    radial.reset();
    radial.setAz(centre, touch);
    CMathAngle diff(tangent);
    diff -= radial;
    const bool clockwise = diff.isnan() || diff.getRad() >= 0.0;
    return arc.set_start_center_finish(start, centre, finish, clockwise);
}

} // namespace

void CArc::set_start_center_cAngle(const C2dPos& s, const C2dPos& c, const CMathAngle& a,
                                   bool cw)
{
    start = s;
    centre = c;
    cAngle = a;
    clockwise = cw;
    const bool positive = cAngle.getRad() > 0.0;
    if (positive != clockwise && radians(kPi + cAngle.getRad()) == CMathAngle())
        cAngle.changeSign();
}

void CArc::set_r_start_center_finish(double r, const CMathAngle& startAz, const C2dPos& c,
                                     const CMathAngle& finishAz, bool cw)
{
    CMathAngle a(finishAz);
    a -= startAz;
    C2dPos s;
    startAz.getPosAlong(r, c, s);
    set_start_center_cAngle(s, c, a, cw);
}

bool CArc::set_start_center_finish(const C2dPos& s, const C2dPos& c, const C2dPos& f, bool cw)
{
    CMathAngle a;
    if (!a.setAngle(s, c, f))
        return false;
    C2dPos landed;
    a.getRotatedPoint(c, s, landed);
    if (!(std::fabs(landed.north - f.north) < kLandingTolerance &&
          std::fabs(landed.east - f.east) < kLandingTolerance)) {
        CMathAngle opposite(a);
        opposite.changeSign();
        C2dPos other;
        opposite.getRotatedPoint(c, s, other);
        if (getPosDistance(other, f) < getPosDistance(landed, f))
            a = opposite;
    }
    set_start_center_cAngle(s, c, a, cw);
    return true;
}

bool CArc::set_start_finish_startTgDir(const C2dPos& s, const C2dPos& f,
                                       const CMathAngle& startTangent)
{
    return arcFromTangent(*this, s, f, s, startTangent);
}

bool CArc::set_start_finish_finishTgDir(const C2dPos& s, const C2dPos& f,
                                        const CMathAngle& finishTangent)
{
    return arcFromTangent(*this, s, f, f, finishTangent);
}

bool CArc::set_start_finish_plusPos(const C2dPos& s, const C2dPos& f, const C2dPos& onArc)
{
    CMathAngle first, second;
    if (!first.setAz(s, onArc) || !second.setAz(onArc, f))
        return false;
    C2dPos c;
    if (!meetAzimuths(midpoint(s, onArc), turned(first, kHalfPi), midpoint(onArc, f),
                      turned(second, kHalfPi), c))
        return false;
    CMathAngle turn(second);
    turn -= first;
    return set_start_center_finish(s, c, f, turn.getRad() >= 0.0);
}

void CArc::get_start_tgdir(CMathAngle& out) const
{
    out.reset();
    if (out.setAz(centre, start))
        out += radians(clockwise ? kHalfPi : -kHalfPi);
}

void CArc::get_middle_pos_on_the_arc(C2dPos& out) const
{
    double h = cAngle.getRad() / 2.0;
    const bool positive = cAngle.getRad() > 0.0;
    if (positive != clockwise)
        h = positive ? h - kPi : h + kPi;
    radians(h).getRotatedPoint(centre, start, out);
}

double CArc::getRadius() const
{
    return getPosDistance(centre, start);
}
