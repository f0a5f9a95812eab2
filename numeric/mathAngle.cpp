// The angle type and plane position.
#include "numeric/mathAngle.h"

#include "numeric/units.h"
#include "numeric/unsetValue.h"

#include <cmath>
#include <utility>

namespace {

constexpr double kZeroTolerance = 1e-12;

bool nearZero(double x)
{
    return std::fabs(x) < kZeroTolerance;
}

} // namespace

// ---- Construction and state ------------------------------------------------------------------

CMathAngle::CMathAngle() : m_rad(unsetDouble()), m_sin(unsetDouble()), m_cos(unsetDouble())
{
    setRad(0.0);
}

CMathAngle::CMathAngle(double degrees) : m_rad(unsetDouble()), m_sin(unsetDouble()), m_cos(unsetDouble())
{
    setDeg(degrees);
}

void CMathAngle::copy(const CMathAngle& other)
{
    *this = other;
}

void CMathAngle::reset()
{
    setUnset(m_rad);
    setUnset(m_sin);
    setUnset(m_cos);
}


// ---- Setters ---------------------------------------------------------------------------------

void CMathAngle::setRad(double rad)
{
    reset();
    m_rad = toRange(rad, -kPi, kPi);
}

void CMathAngle::setDeg(double degrees)
{
    setRad(degrees * kRadPerDeg);
}

void CMathAngle::setDMS(int d, int m, double s)
{
    const double degrees = d >= 0 ? (m * kDegPerArcMin + s * kDegPerArcSec) + d
                                  : (d - m * kDegPerArcMin) - s * kDegPerArcSec;
    setDeg(degrees);
}

bool CMathAngle::setTg(double y, double x)
{
    if (nearZero(y) && nearZero(x))
        return false;
    setRad(std::atan2(y, x));
    return true;
}

bool CMathAngle::setAz(double dNorth, double dEast)
{
    return setTg(dEast, dNorth);
}

bool CMathAngle::setAz(const C2dPos& d)
{
    return setTg(d.east, d.north);
}

bool CMathAngle::setAz(double northA, double eastA, double northB, double eastB)
{
    return setTg(eastB - eastA, northB - northA);
}

bool CMathAngle::setAz(const C2dPos& from, const C2dPos& to)
{
    return setTg(to.east - from.east, to.north - from.north);
}

bool CMathAngle::setAngle(const C2dPos& p1, const C2dPos& vertex, const C2dPos& p3)
{
    CMathAngle toP1, toP3;
    if (!toP1.setAz(vertex, p1) || !toP3.setAz(vertex, p3))
        return false;
    setRad(toP3.m_rad - toP1.m_rad);
    return true;
}

void CMathAngle::setChordAndR(double chord, double radius)
{
    const double h = chord * 0.5;
    setRad(2.0 * std::atan2(std::sqrt(radius * radius - h * h), h));
}

void CMathAngle::setComplimentary()
{
    if (isnan())
        return;
    m_rad = toRange(kHalfPi - m_rad, -kPi, kPi);
    std::swap(m_sin, m_cos);
}

void CMathAngle::setSupplementary()
{
    if (isnan())
        return;
    m_rad = toRange(kPi - m_rad, -kPi, kPi);
    if (!isUnset(m_cos))
        m_cos = -m_cos;
}

void CMathAngle::changeSign()
{
    if (isnan())
        return;
    m_rad = -m_rad;
    if (!isUnset(m_sin))
        m_sin = -m_sin;
}

// ---- Getters ---------------------------------------------------------------------------------

double CMathAngle::getRad() const
{
    return isok() ? m_rad : 0.0;
}

void CMathAngle::getDMS(int& d, int& m, double& s) const
{
    const double deg = getDeg();
    const double a = std::fmod(std::fabs(deg), 360.0);
    if (!std::isfinite(a)) {   // a NaN angle: no parts to split (and no int to cast NaN to)
        d = 0;
        m = 0;
        s = a;
        return;
    }
    const double wholeDeg = std::floor(a);
    const double minutes = (a - wholeDeg) * 60.0;
    d = static_cast<int>(wholeDeg);
    m = static_cast<int>(std::floor(minutes));
    s = (minutes - m) * 60.0;
    if (-kZeroTolerance < s - 60.0 && s - 60.0 < kZeroTolerance) {
        ++m;
        s = 0.0;
    }
    if (m > 59) {
        ++d;
        m = 0;
    }
    if (d > 359)
        d -= 360;
    if (deg < 0.0)
        d = -d;
}

TQuadrant CMathAngle::getQuadrant() const
{
    const double r = toRange(getRad(), 0.0, kTwoPi);
    const double q = r * 2.0 / kPi;
    int quadrant = 1;
    if (q >= 0.0 && q < 4.0)
        quadrant = 1 + static_cast<int>(q);
    else if (q >= 4.0)
        // A negative angle so close to zero that adding 2pi rounds to exactly 2pi: its east
        // component is negative and its north component positive, so it is reported in the
        // fourth quadrant (true, false). (A NaN angle reports the first quadrant.)
        quadrant = 4;
    return TQuadrant{quadrant == 1 || quadrant == 4, quadrant == 1 || quadrant == 2};
}

double CMathAngle::getTg() const
{
    const double c = getCos();
    return nearZero(c) ? 0.0 : getSin() / c;
}

double CMathAngle::getCtg() const
{
    const double s = getSin();
    return nearZero(s) ? 0.0 : getCos() / s;
}

bool CMathAngle::isSharp() const
{
    return isok() && -kHalfPi < m_rad && m_rad < kHalfPi;
}

bool CMathAngle::isSameAsAzimuth(const C2dPos& from, const C2dPos& to) const
{
    const double d = getPosDistance(from, to);
    return nearZero(from.east + getSin() * d - to.east) &&
           nearZero(from.north + getCos() * d - to.north);
}

double CMathAngle::getRotatedNorth(double n, double e) const
{
    return getCos() * n - getSin() * e;
}

double CMathAngle::getRotatedEast(double n, double e) const
{
    return getCos() * e + getSin() * n;
}

void CMathAngle::getRotated(double& n, double& e) const
{
    const double north = getRotatedNorth(n, e);
    e = getRotatedEast(n, e);
    n = north;
}

double CMathAngle::getRotatedBackNorth(double n, double e) const
{
    return getSin() * e + getCos() * n;
}

double CMathAngle::getRotatedBackEast(double n, double e) const
{
    return getCos() * e - getSin() * n;
}

void CMathAngle::getRotatedBack(double& n, double& e) const
{
    const double north = getRotatedBackNorth(n, e);
    e = getRotatedBackEast(n, e);
    n = north;
}

void CMathAngle::getRotatedPoint(const C2dPos& centre, const C2dPos& p, C2dPos& out) const
{
    const double dn = p.north - centre.north;
    const double de = p.east - centre.east;
    const C2dPos result{centre.north + getRotatedNorth(dn, de), centre.east + getRotatedEast(dn, de)};
    out = result;
}

void CMathAngle::getPosAlong(double dist, double north0, double east0, double& north, double& east) const
{
    const double n = getCos() * dist + north0;
    east = getSin() * dist + east0;
    north = n;
}

void CMathAngle::getPosAlong(double dist, const C2dPos& p0, C2dPos& out) const
{
    const C2dPos start = p0;
    getPosAlong(dist, start.north, start.east, out.north, out.east);
}

void CMathAngle::getPosAcross(double dist, double north0, double east0, double& north, double& east) const
{
    const double n = north0 - getSin() * dist;
    east = getCos() * dist + east0;
    north = n;
}

void CMathAngle::getPosAcross(double dist, const C2dPos& p0, C2dPos& out) const
{
    const C2dPos start = p0;
    getPosAcross(dist, start.north, start.east, out.north, out.east);
}

void CMathAngle::getDir(C2dPos& out) const
{
    out = getDir();
}

C2dPos CMathAngle::getDir() const
{
    return C2dPos{getCos(), getSin()};
}

// ---- Arithmetic and comparison ---------------------------------------------------------------

CMathAngle& CMathAngle::operator+=(const CMathAngle& b)
{
    if (isok())
        setRad(m_rad + b.getRad());
    return *this;
}

CMathAngle& CMathAngle::operator-=(const CMathAngle& b)
{
    if (isok())
        setRad(m_rad - b.getRad());
    return *this;
}

CMathAngle& CMathAngle::operator*=(double f)
{
    if (isok())
        setRad(m_rad * f);
    return *this;
}

CMathAngle& CMathAngle::operator/=(double f)
{
    if (isnan())
        return *this;
    if (nearZero(f))
        reset();
    else
        setRad(m_rad / f);
    return *this;
}

bool operator==(const CMathAngle& a, const CMathAngle& b)
{
    const double d = a.getRad() - b.getRad();
    return -1e-12 < d && d < 1e-12;
}

bool operator!=(const CMathAngle& a, const CMathAngle& b) { return !(a == b); }
bool operator<(const CMathAngle& a, const CMathAngle& b) { return a.getRad() < b.getRad(); }
bool operator<=(const CMathAngle& a, const CMathAngle& b) { return a.getRad() <= b.getRad(); }
bool operator>(const CMathAngle& a, const CMathAngle& b) { return a.getRad() > b.getRad(); }
bool operator>=(const CMathAngle& a, const CMathAngle& b) { return a.getRad() >= b.getRad(); }

// ---- Free functions --------------------------------------------------------------------------

double atan3(double a, double b)
{
    if (a == 0.0 && b == 0.0)
        return 0.0;
    const double aa = std::fabs(a);
    const double bb = std::fabs(b);
    const double t = aa > bb ? kHalfPi - std::atan(bb / aa) : std::atan(aa / bb);
    if (a >= 0.0)
        return b >= 0.0 ? t : kPi - t;
    if (a < 0.0)
        return b < 0.0 ? kPi + t : -t;
    return t;   // a is NaN: t is NaN too
}

double getPosDistance(const C2dPos& p1, const C2dPos& p2)
{
    const double dn = p2.north - p1.north;
    const double de = p2.east - p1.east;
    return std::sqrt(dn * dn + de * de);
}
