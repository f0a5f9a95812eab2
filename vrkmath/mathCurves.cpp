#include "vrkmath/mathCurves.h"

#include "cogo/intersections.h"
#include "vrkmath/mathAssert.h"

#include <algorithm>
#include <cmath>

namespace {

// Assertion lines of the segment and the arc.
constexpr int kLineSegmentStepOutside = 49;
constexpr int kLineSegmentPosInvalid = 62;
constexpr int kLineSegmentPosOutside = 68;
constexpr int kLineSegmentNoFoot = 173;
constexpr int kLineArcAngleMissing = 256;
constexpr int kLineArcRadiusMissing = 271;
constexpr int kLineArcStepOutside = 317;
constexpr int kLineArcPosOutside = 344;

// The radius an arc falls back to when nothing defines it.
constexpr double kFallbackRadius = 1e-6;

double hypot2(double n, double e)
{
    return std::sqrt(n * n + e * e);
}

// The nearer end of a curve: the start (d0, 0) only when the end is more than roadTolerance
// further away; otherwise the end (d1, total).
void nearerEnd(double d0, double d1, double total, double& dist, double& len)
{
    if (d1 > d0 + roadTolerance) {
        dist = d0;
        len = 0.0;
    } else {
        dist = d1;
        len = total;
    }
}

// fmod(a, 360), exact: within two turns the remainder is one subtraction or addition of 360,
// which is exact there (Sterbenz); further out the library's fmod.
double fmod360(double a)
{
    if (a >= 360.0 && a <= 720.0)
        return a - 360.0;
    if (a <= -360.0 && a >= -720.0)
        return a + 360.0;
    if (a > -360.0 && a < 360.0)
        return a;
    return std::fmod(a, 360.0);
}

// The azimuth (degrees) from an arc's centre (0, R) to its start, GetRefAziPts(-R, 0): it
// depends only on the side (270 for a right-hand arc, 90 for a left-hand one, as that function
// rounds them), so it is taken once per side.
double startAzimuthFromCentre(double radius)
{
    static const double right = GetRefAziPts(-1.0, 0.0);
    static const double left = GetRefAziPts(1.0, 0.0);
    return radius > 0.0 ? right : left;
}

} // namespace

// ---- CCurveDataSegment -----------------------------------------------------------------------

CCurveDataSegment::CCurveDataSegment() : m_flags(0)
{
    reset();
}

void CCurveDataSegment::reset()
{
    setUnset(m_finalN);
    setUnset(m_finalE);
    setUnset(m_length);
    m_azimuth.setRad(0.0);
}

void CCurveDataSegment::setFinalNE(double n, double e)
{
    reset();
    // The end point defines the direction: the azimuth becomes a derived value.
    m_azimuth.reset();
    m_finalN = n;
    m_finalE = e;
}

void CCurveDataSegment::setLen(double length)
{
    if (m_azimuth.isnan())
        getAzimuth();
    m_length = length;
    setUnset(m_finalN);
    setUnset(m_finalE);
}

void CCurveDataSegment::setAz(const CMathAngle& az)
{
    if (isUnset(m_length))
        getTotalLength();
    m_azimuth = az;
    setUnset(m_finalN);
    setUnset(m_finalE);
}

void CCurveDataSegment::setAzRad(double rad)
{
    CMathAngle az;
    az.setRad(rad);
    setAz(az);
}

void CCurveDataSegment::setAzDeg(double deg)
{
    CMathAngle az;
    az.setDeg(deg);
    setAz(az);
}

double CCurveDataSegment::getTotalLength() const
{
    if (!isok())
        return 0.0;
    if (isUnset(m_length))
        m_length = std::sqrt(m_finalN * m_finalN + m_finalE * m_finalE);
    return m_length;
}

double CCurveDataSegment::getFinalNorthing() const
{
    if (isUnset(m_finalN)) {
        if (!isok())
            return 0.0;
        m_finalN = m_length * getAzimuth().getCos();
    }
    return m_finalN;
}

double CCurveDataSegment::getFinalEasting() const
{
    if (isUnset(m_finalE)) {
        if (!isok())
            return 0.0;
        m_finalE = m_length * getAzimuth().getSin();
    }
    return m_finalE;
}

bool CCurveDataSegment::getFinalAzimut(CMathAngle& az) const
{
    if (!isok())
        return false;
    az = getAzimuth();
    return true;
}

bool CCurveDataSegment::getPosAtLength(double l, double& N, double& E) const
{
    if (!isok()) {
        ReportCurveAssertion(kLineSegmentPosInvalid);
        return false;
    }
    if (!snapCurveLength(l, getTotalLength())) {
        ReportCurveAssertion(kLineSegmentPosOutside);
        return false;
    }
    const CMathAngle& az = getAzimuth();
    N = l * az.getCos();
    E = l * az.getSin();
    return true;
}

bool CCurveDataSegment::getPosAndDirAtLength(double l, double& N, double& E, double& dirN, double& dirE) const
{
    if (!getPosAtLength(l, N, E))
        return false;
    // An unset azimuth reads as 0 (as GetAzimuth gives it).
    const CMathAngle& az = getAzimuth();
    dirN = az.isnan() ? 1.0 : az.getCos();
    dirE = az.isnan() ? 0.0 : az.getSin();
    return true;
}

double CCurveDataSegment::getStepForDeviation(double l, double) const
{
    const double total = getTotalLength();
    if (!snapCurveLength(l, total))
        ReportCurveAssertion(kLineSegmentStepOutside);
    return total - l;
}

bool CCurveDataSegment::getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const
{
    const double total = getTotalLength();
    if (std::fabs(total) < kCurveZero) {
        dist = hypot2(N, E);
        len = 0.0;
        return true;
    }
    const double endN = getFinalNorthing();
    const double endE = getFinalEasting();
    // The intersection kit works in (x, y) = (east, north): the segment's line through the
    // start and the end, and the line through P perpendicular to it.
    double A1, B1, C1, A2, B2, C2;
    ComputeEqVars(0.0, 0.0, endE, endN, A1, B1, C1);
    ComputeEqVars(E, N, E + endN, N - endE, A2, B2, C2);
    double footE, footN;
    if (GetIntersectionPointFromEqVars(A1, B1, C1, A2, B2, C2, footE, footN) == 0) {
        ReportCurveAssertion(kLineSegmentNoFoot);
        return false;
    }
    if (footN * (footN - endN) + footE * (footE - endE) < 0.0) {
        dist = hypot2(N - footN, E - footE);
        len = hypot2(footN, footE);
        return true;
    }
    nearerEnd(hypot2(N, E), hypot2(N - endN, E - endE), total, dist, len);
    return true;
}

// ---- CCurveDataArc ---------------------------------------------------------------------------

CCurveDataArc::CCurveDataArc() : m_flags(0)
{
    reset();
    setAlntFlagField(m_flags, AlntRadiusDisplayMask, AlntRadiusDisplayShift, RadiusDisplayRadius);
    setAlntFlagField(m_flags, AlntLengthDisplayMask, AlntLengthDisplayShift, LengthDisplayLength);
}

void CCurveDataArc::reset()
{
    setUnset(m_finalN);
    setUnset(m_finalE);
    setUnset(m_length);
    setUnset(m_radius);
    m_centerAngle.reset();
}

void CCurveDataArc::clearCaches()
{
    setUnset(m_finalN);
    setUnset(m_finalE);
    m_centerAngle.reset();
}

double CCurveDataArc::getTotalLength() const
{
    if (isUnset(m_length)) {
        if (isUnset(m_radius) || m_centerAngle.isnan())
            return 0.0;
        m_length = std::fabs(m_radius * m_centerAngle.getRad());
    }
    return m_length;
}

CMathAngle CCurveDataArc::getCenterAngle() const
{
    if (m_centerAngle.isnan()) {
        if (isUnset(m_length) || isUnset(m_radius)) {
            ReportCurveAssertion(kLineArcAngleMissing);
            CMathAngle zero;
            return zero;
        }
        m_centerAngle.setRad(std::fabs(m_radius) < kCurveZero ? 0.0 : m_length / m_radius);
    }
    return m_centerAngle;
}

double CCurveDataArc::getRadius() const
{
    if (isUnset(m_radius)) {
        // Derived from the length and a set, non-zero central angle; anything less cannot
        // define it.
        const double delta = m_centerAngle.getRad();
        if (!isUnset(m_length) && m_centerAngle.isok() && delta != 0.0) {
            m_radius = m_length / delta;
        } else {
            ReportCurveAssertion(kLineArcRadiusMissing);
            m_radius = kFallbackRadius;
        }
    }
    return m_radius;
}

double CCurveDataArc::getFinalNorthing() const
{
    if (isUnset(m_finalN) || isUnset(m_finalE)) {
        const double R = getRadius();
        const CMathAngle delta = getCenterAngle();
        m_finalN = R * delta.getSin();
        m_finalE = R * (1.0 - delta.getCos());
    }
    return m_finalN;
}

double CCurveDataArc::getFinalEasting() const
{
    if (isUnset(m_finalN) || isUnset(m_finalE))
        getFinalNorthing();
    return m_finalE;
}

double CCurveDataArc::getFinalAzimutInRad() const
{
    return getCenterAngle().getRad();
}

bool CCurveDataArc::getFinalAzimut(CMathAngle& az) const
{
    if (!isok())
        return false;
    az = getCenterAngle();
    return true;
}

void CCurveDataArc::getCenterNE(double& N, double& E) const
{
    N = 0.0;
    E = getRadius();
}

double CCurveDataArc::getChordLength() const
{
    return 2.0 * getRadius() * std::sin(getCenterAngle().getRad() / 2.0);
}

void CCurveDataArc::SetElement(double L, double R, bool right)
{
    clearCaches();
    m_length = std::fabs(L);
    m_radius = right ? std::fabs(R) : -std::fabs(R);
}

void CCurveDataArc::SetElement(double L, AlntElementLengthDisplay lengthDisplay, double R,
                               AlntElementRadiusDisplay radiusDisplay, bool right, UNITS)
{
    SetElement(L, R, right);
    setAlntFlagField(m_flags, AlntLengthDisplayMask, AlntLengthDisplayShift, lengthDisplay);
    setAlntFlagField(m_flags, AlntRadiusDisplayMask, AlntRadiusDisplayShift, radiusDisplay);
}

void CCurveDataArc::setLen(double L)
{
    clearCaches();
    m_length = std::fabs(L);
}

void CCurveDataArc::setCAngleR(const CMathAngle& delta, double R, bool right)
{
    clearCaches();
    m_radius = right ? std::fabs(R) : -std::fabs(R);
    m_centerAngle = delta;
    double d = delta.getRad();
    if (right && d < 0.0)
        d += kTwoPi;
    else if (!right && d > 0.0)
        d -= kTwoPi;
    m_length = std::fabs(R * d);
}

void CCurveDataArc::setCAngleR(const CMathAngle& delta, double R)
{
    setCAngleR(delta, R, delta.getRad() >= 0.0);
}

void CCurveDataArc::GetElement(double& L, double& R, bool& right) const
{
    L = getTotalLength();
    const double radius = getRadius();
    R = std::fabs(radius);
    right = radius >= 0.0;
}

void CCurveDataArc::GetElement(double& L, AlntElementLengthDisplay& lengthDisplay, double& R,
                               AlntElementRadiusDisplay& radiusDisplay, bool& right, UNITS) const
{
    GetElement(L, R, right);
    lengthDisplay = static_cast<AlntElementLengthDisplay>(
        getAlntFlagField(m_flags, AlntLengthDisplayMask, AlntLengthDisplayShift));
    radiusDisplay = static_cast<AlntElementRadiusDisplay>(
        getAlntFlagField(m_flags, AlntRadiusDisplayMask, AlntRadiusDisplayShift));
}

bool CCurveDataArc::getPosAtLength(double l, double& N, double& E) const
{
    if (!isok())
        return false;
    if (!snapCurveLength(l, m_length)) {
        ReportCurveAssertion(kLineArcPosOutside);
        return false;
    }
    const double R = m_radius;
    const double phi = std::fabs(R) < kCurveZero ? 0.0 : l / R;
    N = R * std::sin(phi);
    E = R * (1.0 - std::cos(phi));
    return true;
}

bool CCurveDataArc::getPosAndDirAtLength(double l, double& N, double& E, double& dirN, double& dirE) const
{
    if (!isok())
        return false;
    if (!snapCurveLength(l, m_length)) {
        ReportCurveAssertion(kLineArcPosOutside);
        return false;
    }
    const double R = m_radius;
    const double phi = std::fabs(R) < kCurveZero ? 0.0 : l / R;
    const double s = std::sin(phi);
    const double c = std::cos(phi);
    N = R * s;
    E = R * (1.0 - c);
    dirN = c;
    dirE = s;
    return true;
}

double CCurveDataArc::getStepForDeviation(double l, double deviation) const
{
    const double total = getTotalLength();
    if (!snapCurveLength(l, total))
        ReportCurveAssertion(kLineArcStepOutside);
    const double r = std::fabs(m_radius);
    if (!isok() || r < kCurveZero || !(deviation > 0.0))
        return total - l;
    const double d = std::min(deviation, r);
    double step = 2.0 * r * std::acos(1.0 - d / r);
    const double cap = r * kPi / 16.0;
    if (!(cap < kCurveZero))
        step = std::min(step, cap);
    return std::min(step, total - l);
}

double CCurveDataArc::arcLengthTo(double x, double y, double radius, double startAzDeg) const
{
    double a = GetRefAziPts(x - radius, y) - startAzDeg;
    if (radius < 0.0)
        a = 360.0 - a;
    a = fmod360(a);
    if (a < 0.0)
        a += 360.0;
    return std::fabs(radius * a * kRadPerDeg);
}

bool CCurveDataArc::getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const
{
    if (!isok())
        return false;
    const double total = m_length;
    if (std::fabs(total) < kCurveZero) {
        dist = hypot2(N, E);
        len = 0.0;
        return true;
    }
    const double R = m_radius;
    // (x, y) = (east, north): the radial line through P and the centre (R, 0), and the circle.
    double lA, lB, lC, cA, cB, cC;
    ComputeEqVars(E, N, R, 0.0, lA, lB, lC);
    ComputeCircleEqVars(R, 0.0, std::fabs(R), cA, cB, cC);
    double x1, y1, x2, y2;
    if (IntersectionCoordsOfLineAndCircle(cA, cB, cC, lA, lB, lC, x1, y1, x2, y2) == 0) {
        if (std::fabs(R - E) < smallNumTolerance && std::fabs(N) < smallNumTolerance) {
            dist = std::fabs(R);
            len = total;
            return true;
        }
        // P lies so near the centre that the radial line cannot be formed, yet not within
        // smallNumTolerance of it (possible when that tolerance is lowered): every point of the
        // arc is about abs(R) away, so the end is reported, as for the centre itself.
        dist = hypot2(N - getFinalNorthing(), E - getFinalEasting());
        len = total;
        return true;
    }
    const double startAzDeg =
        R != 0.0 && std::isfinite(R) ? startAzimuthFromCentre(R) : GetRefAziPts(-R, 0.0);
    const double s1 = arcLengthTo(x1, y1, R, startAzDeg);
    const double s2 = arcLengthTo(x2, y2, R, startAzDeg);
    const double d1 = hypot2(N - y1, E - x1);
    const double d2 = hypot2(N - y2, E - x2);
    const bool on1 = s1 < total;
    const bool on2 = s2 < total;
    if (on1 && on2) {
        if (d2 > d1 + roadTolerance) {
            dist = d1;
            len = s1;
        } else {
            dist = d2;
            len = s2;
        }
    } else if (on2) {
        dist = d2;
        len = s2;
    } else if (on1) {
        dist = d1;
        len = s1;
    } else {
        nearerEnd(hypot2(N, E), hypot2(N - getFinalNorthing(), E - getFinalEasting()), total, dist, len);
    }
    return true;
}
