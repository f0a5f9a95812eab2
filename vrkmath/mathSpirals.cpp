#include "vrkmath/mathSpirals.h"

#include "vrkmath/mathAssert.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Assertion lines of the spirals.
constexpr int kLineSimplePosInvalid = 625;
constexpr int kLineSimplePosOutside = 632;
constexpr int kLineSpiral1RStepOutside = 735;
constexpr int kLineSpiralStepOutside = 1380;
constexpr int kLineSpiralPosOutside = 1401;

// The series stops after this step even when its terms are still large.
constexpr int kSeriesMaxSteps = 24;
// The chord angle a spiral step may reach, either way.
constexpr double kMaxChordAngle = kPi / 16.0;
// Nearest point: the coarse search stops when its point moves less than this (metres); the
// refinement stops when its correction is not above it.
constexpr double kNearestConvergence = 1e-5;
// Nearest point: an upper bound on the refinement steps (each one halves the offset of its
// tangent point; the bound is far above what convergence needs).
constexpr int kNearestMaxRefinements = 64;

// The ratios of consecutive terms of the series, signs included, for step n (1 to 24): the
// x-term of step n is the y-term of step n - 1 times th (-(4n - 1) / (2n (4n + 1))), the y-term
// of step n the x-term times th (4n + 1) / ((2n + 1)(4n + 3)). Each ratio is rounded once, at
// compile time, so that a step costs two multiplications on its dependency chain.
constexpr double xRatio(int n)
{
    return -(4.0 * n - 1.0) / (2.0 * n * (4.0 * n + 1.0));
}
constexpr double yRatio(int n)
{
    return (4.0 * n + 1.0) / ((2.0 * n + 1.0) * (4.0 * n + 3.0));
}
struct SeriesRatios {
    double x, y;
};
constexpr SeriesRatios ratios(int n)
{
    return SeriesRatios{xRatio(n), yRatio(n)};
}
// Indexed by the step; entry 0 is not used.
constexpr SeriesRatios kSeries[kSeriesMaxSteps + 1] = {
    ratios(1),  ratios(1),  ratios(2),  ratios(3),  ratios(4),  ratios(5),  ratios(6),
    ratios(7),  ratios(8),  ratios(9),  ratios(10), ratios(11), ratios(12), ratios(13),
    ratios(14), ratios(15), ratios(16), ratios(17), ratios(18), ratios(19), ratios(20),
    ratios(21), ratios(22), ratios(23), ratios(24)};
constexpr double kOneThird = 1.0 / 3.0;

// The clothoid's Fresnel series at the direction change th (radians):
// x = sum (-1)^n th^2n / ((4n+1) (2n)!), y = sum (-1)^n th^(2n+1) / ((4n+3) (2n+1)!), summed by
// the recurrence of their terms (x = 1, y = th / 3 first; then in step n the x-term
// t = u (4n-1) th / (2n (4n+1)) and the y-term u = t (4n+1) th / ((2n+1)(4n+3)), added with the
// sign (-1)^n; here each signed term is the previous one times th and a ratio of kSeries). Stops
// after the step whose two terms are both below smallNumTolerance, or after step 24. The terms
// agree with the written recurrence to the last bit or two (positions within 2e-13 m on spirals
// up to 300 m, with the same number of steps).
inline void clothoidSeries(double th, double& x, double& y)
{
    const double tol = smallNumTolerance;
    double u = th * kOneThird;
    double sx = 1.0;
    double sy = u;
    for (int n = 1; n <= kSeriesMaxSteps; ++n) {
        const double t = u * (th * kSeries[n].x);
        u = t * (th * kSeries[n].y);
        sx += t;
        sy += u;
        if (std::fabs(t) < tol && std::fabs(u) < tol)
            break;
    }
    x = sx;
    y = sy;
}

// A tangent term below this is lost in the rounding of a unit vector's components.
constexpr double kTangentTermZero = 1e-17;

// The series above and, from the same terms, the unit tangent (cos th, sin th): the n-th term of
// cos th is the x-term times 4n + 1, that of sin th the y-term times 4n + 3. The position is
// summed exactly as clothoidSeries sums it; the tangent goes on until its terms fall below
// kTangentTermZero, and is taken from std::cos and std::sin where 24 steps do not get there.
inline void clothoidSeriesAndTangent(double th, double& x, double& y, double& c, double& s)
{
    const double tol = smallNumTolerance;
    double u = th * kOneThird;
    double sx = 1.0, sy = u, sc = 1.0, ss = th;
    bool positionDone = false;
    for (int n = 1; n <= kSeriesMaxSteps; ++n) {
        const double t = u * (th * kSeries[n].x);
        u = t * (th * kSeries[n].y);
        const double ct = (4.0 * n + 1.0) * t;
        const double su = (4.0 * n + 3.0) * u;
        sc += ct;
        ss += su;
        if (!positionDone) {
            sx += t;
            sy += u;
            positionDone = std::fabs(t) < tol && std::fabs(u) < tol;
        }
        if (positionDone && std::fabs(ct) < kTangentTermZero && std::fabs(su) < kTangentTermZero) {
            x = sx;
            y = sy;
            c = sc;
            s = ss;
            return;
        }
    }
    x = sx;
    y = sy;
    c = std::cos(th);
    s = std::sin(th);
}

// The position of a spiral element at a length, with what does not depend on the length read
// once: 1 / (2 R L) of the simple spiral (the direction change at l is then l^2 times it) and,
// for a CS->ST element, the simple spiral's end and the sine and cosine of thetaL. The one place
// where element positions are computed.
class SpiralEvaluator {
public:
    SpiralEvaluator(const CCurveSpiralTStoSC& simple, bool isTSSC)
        : m_length(simple.getTotalLength()), m_inverseTwoRL(1.0 / (2.0 * simple.getFinalRadius() * m_length)),
          m_degenerate(std::fabs(m_length) < kCurveZero || std::fabs(simple.getFinalRadius()) < kCurveZero),
          m_csst(!isTSSC)
    {
        if (m_csst) {
            m_endN = simple.getFinalNorthing();
            m_endE = simple.getFinalEasting();
            m_sin = simple.getFinalAzimut().getSin();
            m_cos = simple.getFinalAzimut().getCos();
        }
    }
    // The simple spiral's point at l (0 <= l <= L).
    void simplePos(double l, double& N, double& E) const
    {
        if (m_degenerate) {
            N = 0.0;
            E = 0.0;
            return;
        }
        double x, y;
        clothoidSeries(l * l * m_inverseTwoRL, x, y);
        N = l * x;
        E = l * y;
    }
    // simplePos with the unit tangent (dirN, dirE) there, from the same series terms.
    void simplePosAndDir(double l, double& N, double& E, double& dirN, double& dirE) const
    {
        if (m_degenerate) {
            N = 0.0;
            E = 0.0;
            dirN = 1.0;
            dirE = 0.0;
            return;
        }
        double x, y;
        clothoidSeriesAndTangent(l * l * m_inverseTwoRL, x, y, dirN, dirE);
        N = l * x;
        E = l * y;
    }
    // pos with the unit tangent in the direction of travel; a CS->ST element travels its simple
    // spiral backwards, mapped as the position is.
    void posAndDir(double l, double& N, double& E, double& dirN, double& dirE) const
    {
        if (!m_csst) {
            simplePosAndDir(l, N, E, dirN, dirE);
            return;
        }
        double n, e, c, s;
        simplePosAndDir(m_length - l, n, e, c, s);
        const double dn = n - m_endN;
        const double de = e - m_endE;
        N = -(m_sin * de + m_cos * dn);
        E = -(m_cos * de - m_sin * dn);
        dirN = m_sin * s + m_cos * c;
        dirE = m_cos * s - m_sin * c;
    }
    // The element's point at l (0 <= l <= L); a CS->ST element is its simple spiral at L - l,
    // moved by minus the simple spiral's end, rotated back by thetaL and negated.
    void pos(double l, double& N, double& E) const
    {
        if (!m_csst) {
            simplePos(l, N, E);
            return;
        }
        double n, e;
        simplePos(m_length - l, n, e);
        const double dn = n - m_endN;
        const double de = e - m_endE;
        N = -(m_sin * de + m_cos * dn);
        E = -(m_cos * de - m_sin * dn);
    }

    // For the nearest-point search: the length on the simple spiral of the element's length l,
    // and a point of the element's frame in the simple spiral's frame (the inverse of the CS->ST
    // transformation; distances are the same in both frames).
    double simpleLength(double l) const { return m_csst ? m_length - l : l; }
    void toSimpleFrame(double N, double E, double& n, double& e) const
    {
        if (!m_csst) {
            n = N;
            e = E;
            return;
        }
        n = m_endN - (m_cos * N - m_sin * E);
        e = m_endE - (m_cos * E + m_sin * N);
    }

private:
    double m_length;
    double m_inverseTwoRL;   // 1 / (2 R L)
    bool m_degenerate;
    bool m_csst;
    double m_endN = 0.0, m_endE = 0.0, m_sin = 0.0, m_cos = 1.0;
};

// sqrt(sb) < sqrt(sa), decided on the squares: when sb < sa by more than sa 2^-48 the roots
// differ by more than 8 units in their last place and keep the order; closer squares (rare) are
// decided on the roots themselves.
inline bool rootLess(double sb, double sa)
{
    const bool less = sb < sa;
    if (less && sa - sb <= sa * 0x1p-48)
        return std::sqrt(sb) < std::sqrt(sa);
    return less;
}

// pick ? a : b without a branch (the choice of the coarse search is not predictable).
inline double choose(bool pick, double a, double b)
{
    std::uint64_t ia, ib;
    std::memcpy(&ia, &a, sizeof ia);
    std::memcpy(&ib, &b, sizeof ib);
    const std::uint64_t mask = std::uint64_t(0) - static_cast<std::uint64_t>(pick);
    const std::uint64_t r = (ia & mask) | (ib & ~mask);
    double result;
    std::memcpy(&result, &r, sizeof result);
    return result;
}

} // namespace

// ---- CCurveSpiralTStoSC ----------------------------------------------------------------------

CCurveSpiralTStoSC::CCurveSpiralTStoSC()
{
    m_finalAzimut.setRad(0.0);
    reset();
}

void CCurveSpiralTStoSC::reset()
{
    setUnset(m_length);
    setUnset(m_radius);
    m_finalAzimut.reset();
    setUnset(m_finalN);
    setUnset(m_finalE);
}

bool CCurveSpiralTStoSC::setLenAndR(double L, double R, bool right)
{
    reset();
    m_length = L;
    m_radius = right ? std::fabs(R) : -std::fabs(R);
    m_finalAzimut.setRad(std::fabs(m_radius) < kCurveZero ? 0.0 : L / (2.0 * m_radius));
    return true;
}

bool CCurveSpiralTStoSC::setLenAndSpPrm(double L, double P)
{
    reset();
    m_length = L;
    m_radius = std::fabs(L) >= kCurveZero ? P / L : 0.0;
    m_finalAzimut.setRad(std::fabs(P) < kCurveZero ? 0.0 : L * L / (2.0 * P));
    return true;
}

double CCurveSpiralTStoSC::GetAzimuth(double l) const
{
    if (!isok() || std::fabs(m_length) < kCurveZero || std::fabs(m_radius) < kCurveZero)
        return 0.0;
    return l * l / (2.0 * m_radius * m_length) * kDegPerRad;
}

void CCurveSpiralTStoSC::fillFinal() const
{
    double n, e;
    if (getPosAtLength(m_length, n, e)) {
        m_finalN = n;
        m_finalE = e;
    }
}

double CCurveSpiralTStoSC::getFinalNorthing() const
{
    if (isUnset(m_finalN) || isUnset(m_finalE))
        fillFinal();
    return isUnset(m_finalN) ? 0.0 : m_finalN;
}

double CCurveSpiralTStoSC::getFinalEasting() const
{
    if (isUnset(m_finalN) || isUnset(m_finalE))
        fillFinal();
    return isUnset(m_finalE) ? 0.0 : m_finalE;
}

void CCurveSpiralTStoSC::posAtLengthUnchecked(double l, double& N, double& E) const
{
    SpiralEvaluator(*this, true).simplePos(l, N, E);
}

bool CCurveSpiralTStoSC::getPosAtLength(double l, double& N, double& E) const
{
    if (!isok()) {
        ReportCurveAssertion(kLineSimplePosInvalid);
        return false;
    }
    if (!snapCurveLength(l, m_length)) {
        ReportCurveAssertion(kLineSimplePosOutside);
        return false;
    }
    posAtLengthUnchecked(l, N, E);
    return true;
}

bool CCurveSpiralTStoSC::checkStepForDeviation(double step, double from, double deviation) const
{
    if (!isok() || std::fabs(m_length) < kCurveZero || std::fabs(m_radius) < kCurveZero)
        return true;
    const double psi = step * (2.0 * from + step) / (3.0 * m_radius * m_length);
    return -kMaxChordAngle < psi && psi < kMaxChordAngle && deviation > std::fabs(step * std::tan(psi));
}

// ---- CCurveDataSpiral1R ----------------------------------------------------------------------

CCurveDataSpiral1R::CCurveDataSpiral1R() : m_isTSSC(true), m_flags(0)
{
    setAlntFlagField(m_flags, AlntRadiusDisplayMask, AlntRadiusDisplayShift, RadiusDisplayRadius);
    setAlntFlagField(m_flags, AlntLengthDisplayMask, AlntLengthDisplayShift, LengthDisplayLength);
    setAlntFlagField(m_flags, AlntRadius2DisplayMask, AlntRadius2DisplayShift, RadiusDisplayRadius);
}

bool CCurveDataSpiral1R::isToTheRight() const
{
    const bool simpleRight = m_simple.getFinalRadius() > 0.0;
    return m_isTSSC ? simpleRight : !simpleRight;
}

double CCurveDataSpiral1R::getRadius() const
{
    return m_isTSSC ? m_simple.getFinalRadius() : -m_simple.getFinalRadius();
}

void CCurveDataSpiral1R::setLenAndR(double L, double R, bool right, bool isTSSC)
{
    m_simple.setLenAndR(L, R, isTSSC ? right : !right);
    m_isTSSC = isTSSC;
}

void CCurveDataSpiral1R::setDisplayFlags(AlntElementLengthDisplay lengthDisplay,
                                         AlntElementRadiusDisplay radiusDisplay)
{
    setAlntFlagField(m_flags, AlntLengthDisplayMask, AlntLengthDisplayShift, lengthDisplay);
    setAlntFlagField(m_flags, AlntRadiusDisplayMask, AlntRadiusDisplayShift, radiusDisplay);
}

void CCurveDataSpiral1R::setLenAndR(double L, AlntElementLengthDisplay lengthDisplay, double R,
                                    AlntElementRadiusDisplay radiusDisplay, bool right, bool isTSSC,
                                    UNITS)
{
    setLenAndR(L, R, right, isTSSC);
    setDisplayFlags(lengthDisplay, radiusDisplay);
}

void CCurveDataSpiral1R::setLenAndSpPrm(double L, double P, bool isTSSC)
{
    m_simple.setLenAndSpPrm(L, P);
    m_isTSSC = isTSSC;
}

void CCurveDataSpiral1R::setTurnRight(bool right)
{
    setLenAndR(m_simple.getTotalLength(), getRadius(), right, m_isTSSC);
}

double CCurveDataSpiral1R::getFinalAzimutInRad() const
{
    const double theta = m_simple.getFinalAzimut().getRad();
    return m_isTSSC ? theta : -theta;
}

bool CCurveDataSpiral1R::getFinalAzimut(CMathAngle& az) const
{
    if (!isok())
        return false;
    CMathAngle theta = m_simple.getFinalAzimut();
    if (!m_isTSSC)
        theta.changeSign();
    az = theta;
    return true;
}

double CCurveDataSpiral1R::GetAzimuth(double l) const
{
    if (m_isTSSC)
        return m_simple.GetAzimuth(l);
    return m_simple.GetAzimuth(m_simple.getTotalLength() - l) - m_simple.getFinalAzimut().getDeg();
}

void CCurveDataSpiral1R::toCsstFrame(double& n, double& e) const
{
    // Subtract the simple spiral's end, rotate back by thetaL (CMathAngle::getRotatedBack, the
    // sine and cosine read once), negate; as SpiralEvaluator::pos.
    const double dn = n - m_simple.getFinalNorthing();
    const double de = e - m_simple.getFinalEasting();
    const CMathAngle& theta = m_simple.getFinalAzimut();
    const double s = theta.getSin();
    const double c = theta.getCos();
    n = -(s * de + c * dn);
    e = -(c * de - s * dn);
}

double CCurveDataSpiral1R::getFinalNorthing() const
{
    if (m_isTSSC)
        return m_simple.getFinalNorthing();
    double n = 0.0, e = 0.0;
    toCsstFrame(n, e);
    return n;
}

double CCurveDataSpiral1R::getFinalEasting() const
{
    if (m_isTSSC)
        return m_simple.getFinalEasting();
    double n = 0.0, e = 0.0;
    toCsstFrame(n, e);
    return e;
}

void CCurveDataSpiral1R::GetSpiralElement(double& L, double& R, bool& right, bool& isTSSC) const
{
    L = m_simple.getTotalLength();
    R = std::fabs(getRadius());
    right = isToTheRight();
    isTSSC = m_isTSSC;
}

void CCurveDataSpiral1R::GetSpiralElement(double& L, AlntElementLengthDisplay& lengthDisplay, double& R,
                                          AlntElementRadiusDisplay& radiusDisplay, bool& right,
                                          bool& isTSSC, UNITS) const
{
    GetSpiralElement(L, R, right, isTSSC);
    lengthDisplay = static_cast<AlntElementLengthDisplay>(
        getAlntFlagField(m_flags, AlntLengthDisplayMask, AlntLengthDisplayShift));
    radiusDisplay = static_cast<AlntElementRadiusDisplay>(
        getAlntFlagField(m_flags, AlntRadiusDisplayMask, AlntRadiusDisplayShift));
}

void CCurveDataSpiral1R::posAtLengthUnchecked(double l, double& N, double& E) const
{
    SpiralEvaluator(m_simple, m_isTSSC).pos(l, N, E);
}

void CCurveDataSpiral1R::posAndDirAtLengthUnchecked(double l, double& N, double& E, double& dirN,
                                                    double& dirE) const
{
    SpiralEvaluator(m_simple, m_isTSSC).posAndDir(l, N, E, dirN, dirE);
}

bool CCurveDataSpiral1R::getPosAtLength(double l, double& N, double& E) const
{
    if (m_isTSSC)
        return m_simple.getPosAtLength(l, N, E);
    double n, e;
    if (!m_simple.getPosAtLength(m_simple.getTotalLength() - l, n, e))
        return false;
    toCsstFrame(n, e);
    N = n;
    E = e;
    return true;
}

double CCurveDataSpiral1R::getStepForDeviation(double l, double deviation) const
{
    const double total = m_simple.getTotalLength();
    if (!snapCurveLength(l, total))
        ReportCurveAssertion(kLineSpiral1RStepOutside);
    const double from = m_isTSSC ? l : total - l;
    double step = total - l;
    while (!m_simple.checkStepForDeviation(step, from, deviation)) {
        if (std::fabs(step) < kCurveZero)
            return total - l;
        step /= 2.0;
    }
    return step;
}

bool CCurveDataSpiral1R::getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const
{
    const double total = m_simple.getTotalLength();
    // The position at the middle can be computed exactly when the spiral is valid and its
    // length a finite number >= 0; every probe below then lies on it.
    if (!isok() || !(total >= 0.0) || !std::isfinite(total))
        return false;
    if (std::fabs(total) < kCurveZero) {
        dist = std::sqrt(N * N + E * E);
        len = 0.0;
        return true;
    }

    // Coarse search: c moves by h towards the nearer of the probes c + h and c - h (clamped to
    // the spiral), h halving each time; the midpoint itself is never compared. Distances are
    // compared through their squares, measured in the simple spiral's frame, where a probe is
    // one series.
    const SpiralEvaluator spiral(m_simple, m_isTSSC);
    double qn, qe;
    spiral.toSimpleFrame(N, E, qn, qe);
    double c = total / 2.0;
    double h = total / 4.0;
    double previous = 0.0;
    double best = 0.0;   // squared distance of the current c
    const double tol = smallNumTolerance;
    for (;;) {
        const double a = std::min(c + h, total);
        const double b = std::max(c - h, 0.0);
        double an, ae, bn, be;
        spiral.simplePos(spiral.simpleLength(a), an, ae);
        spiral.simplePos(spiral.simpleLength(b), bn, be);
        const double sa = (qn - an) * (qn - an) + (qe - ae) * (qe - ae);
        const double sb = (qn - bn) * (qn - bn) + (qe - be) * (qe - be);
        const bool takeB = rootLess(sb, sa);
        c = choose(takeB, b, a);
        best = choose(takeB, sb, sa);
        h = h / 2.0;
        if (std::fabs(c - previous) < kNearestConvergence)
            break;
        previous = c;
        if (h <= tol)
            break;
    }
    dist = std::sqrt(best);

    // Refinement with the full circle tangent to the spiral at s = c - h, of radius A^2 / s
    // (A^2 = L abs(R)); only away from the ends. For a CS->ST spiral that is not the spiral's
    // own radius at s (A^2 / (L - s)), but the step still ends on the normal through P, where
    // the correction t vanishes, so it converges to the same foot.
    if (std::fabs(c) >= roadTolerance && std::fabs(c - total) >= roadTolerance) {
        const double radius = getRadius();
        const double a2 = total * std::fabs(radius);
        const bool right = !(radius < 0.0);
        for (int i = 0; i < kNearestMaxRefinements; ++i) {
            const double s = c - h;
            // The position at s must exist (s on the spiral within the snap); the circle needs
            // s > 0 (an implementation bound: at s <= 0 its radius is not defined).
            double onSpiral = s;
            if (!snapCurveLength(onSpiral, total) || !(s > 0.0))
                break;
            double sn, se;
            spiral.pos(onSpiral, sn, se);
            // The direction at s as a CMathAngle would hold it (normalised into [-pi, pi]); P
            // rotated back by it (CMathAngle::getRotatedBack).
            const double dir = toRange(GetAzimuth(s) * kRadPerDeg, -kPi, kPi);
            const double sinDir = std::sin(dir);
            const double cosDir = std::cos(dir);
            const double rho = a2 / s;
            CCurveDataArc circle;
            circle.SetElement(2.0 * kPi * rho, std::fabs(rho), right);
            const double dn = N - sn;
            const double de = E - se;
            const double pn = sinDir * de + cosDir * dn;
            const double pe = cosDir * de - sinDir * dn;
            double d, t;
            if (!circle.getShortestDistAndCurveLen(pn, pe, d, t))
                break;
            dist = d;
            double phi = t / rho;
            if (phi > kPi)
                phi -= kTwoPi;
            else if (phi < -kPi)
                phi += kTwoPi;
            t = phi * rho;
            c = s + t;
            h = h / 2.0;
            if (t <= kNearestConvergence)
                break;
        }
    }
    len = c;
    return true;
}

// ---- CCurveDataSpiral ------------------------------------------------------------------------

CCurveDataSpiral::CCurveDataSpiral()
{
    reset();
}

void CCurveDataSpiral::clearFinal()
{
    setUnset(m_finalN);
    setUnset(m_finalE);
}

void CCurveDataSpiral::reset()
{
    CCurveDataSpiral1R::reset();
    m_startN = 0.0;
    m_startE = 0.0;
    m_cutLength = 0.0;
    setUnset(m_otherRadius);
    m_rotation.setRad(0.0);
    clearFinal();
}

void CCurveDataSpiral::setLenAndR(double L, double R, bool right, bool isTSSC)
{
    reset();
    CCurveDataSpiral1R::setLenAndR(L, R, right, isTSSC);
}

void CCurveDataSpiral::setLenAndSpPrm(double L, double P, bool isTSSC)
{
    reset();
    CCurveDataSpiral1R::setLenAndSpPrm(L, P, isTSSC);
}

void CCurveDataSpiral::setLenAndR(double L, double R1, double R2, bool right)
{
    reset();
    const double a = std::fabs(R1);
    const double b = std::fabs(R2);
    const bool tssc = a > b;
    const double big = std::max(a, b);
    const double small = std::min(a, b);
    const double cut = std::fabs(big - small) < kCurveZero ? 0.0 : small * L / (big - small);
    m_otherRadius = big;
    CCurveDataSpiral1R::setLenAndR(cut + L, small, right, tssc);
    m_cutLength = cut;
    if (tssc) {
        m_rotation.setRad(-(m_simple.GetAzimuth(cut) * kRadPerDeg));
        double n, e;
        if (CCurveDataSpiral1R::getPosAtLength(cut, n, e)) {
            m_startN = n;
            m_startE = e;
        }
    }
}

void CCurveDataSpiral::setLenAndR(double L, AlntElementLengthDisplay lengthDisplay, double R,
                                  AlntElementRadiusDisplay radiusDisplay, bool right, bool isTSSC,
                                  UNITS)
{
    setLenAndR(L, R, right, isTSSC);
    setDisplayFlags(lengthDisplay, radiusDisplay);
}

void CCurveDataSpiral::setLenAndR(double L, AlntElementLengthDisplay lengthDisplay, double R1,
                                  AlntElementRadiusDisplay radius1Display, double R2,
                                  AlntElementRadiusDisplay radius2Display, bool right, UNITS)
{
    setLenAndR(L, R1, R2, right);
    setDisplayFlags(lengthDisplay, radius1Display);
    setAlntFlagField(m_flags, AlntRadius2DisplayMask, AlntRadius2DisplayShift, radius2Display);
}

void CCurveDataSpiral::setTurnRight(bool right)
{
    const bool wasTSSC = isTSSC();
    const double R = getRadius();
    const double L = getTotalLength();
    reset();
    setLenAndR(L, R, right, wasTSSC);
}

double CCurveDataSpiral::getStartRadius() const
{
    return m_isTSSC ? m_otherRadius : getRadius();
}

double CCurveDataSpiral::getFinalRadius() const
{
    return m_isTSSC ? m_simple.getFinalRadius() : m_otherRadius;
}

double CCurveDataSpiral::GetAzimuth(double l) const
{
    return m_rotation.getDeg() + CCurveDataSpiral1R::GetAzimuth(m_isTSSC ? l + m_cutLength : l);
}

bool CCurveDataSpiral::getFinalAzimut(CMathAngle& az) const
{
    az.setDeg(GetAzimuth(getTotalLength()));
    return true;
}

bool CCurveDataSpiral::fillFinal() const
{
    if (!isUnset(m_finalN) && !isUnset(m_finalE))
        return true;
    double n, e;
    if (!getPosAtLength(getTotalLength(), n, e))
        return false;
    m_finalN = n;
    m_finalE = e;
    return true;
}

double CCurveDataSpiral::getFinalNorthing() const
{
    return fillFinal() ? m_finalN : 0.0;
}

double CCurveDataSpiral::getFinalEasting() const
{
    return fillFinal() ? m_finalE : 0.0;
}

namespace {

double nonNegativeWhenSet(double r)
{
    return isUnset(r) ? r : std::fabs(r);
}

} // namespace

void CCurveDataSpiral::GetSpiralElement(double& L, double& R1, double& R2, bool& right) const
{
    L = getTotalLength();
    R1 = nonNegativeWhenSet(getStartRadius());
    R2 = nonNegativeWhenSet(getFinalRadius());
    right = isToTheRight();
}

void CCurveDataSpiral::GetSpiralElement(double& L, AlntElementLengthDisplay& lengthDisplay, double& R1,
                                        AlntElementRadiusDisplay& radius1Display, double& R2,
                                        AlntElementRadiusDisplay& radius2Display, bool& right,
                                        UNITS) const
{
    GetSpiralElement(L, R1, R2, right);
    lengthDisplay = static_cast<AlntElementLengthDisplay>(
        getAlntFlagField(m_flags, AlntLengthDisplayMask, AlntLengthDisplayShift));
    radius1Display = static_cast<AlntElementRadiusDisplay>(
        getAlntFlagField(m_flags, AlntRadiusDisplayMask, AlntRadiusDisplayShift));
    radius2Display = static_cast<AlntElementRadiusDisplay>(
        getAlntFlagField(m_flags, AlntRadius2DisplayMask, AlntRadius2DisplayShift));
}

void CCurveDataSpiral::GetSpiralElement(double& L, double& R, bool& right, bool& isTSSC) const
{
    L = getTotalLength();
    R = std::fabs(getRadius());
    right = isToTheRight();
    isTSSC = m_isTSSC;
}

void CCurveDataSpiral::GetSpiralElement(double& L, AlntElementLengthDisplay& lengthDisplay, double& R,
                                        AlntElementRadiusDisplay& radiusDisplay, bool& right,
                                        bool& isTSSC, UNITS units) const
{
    CCurveDataSpiral1R::GetSpiralElement(L, lengthDisplay, R, radiusDisplay, right, isTSSC, units);
    L = getTotalLength();
}

bool CCurveDataSpiral::getPosAtLength(double l, double& N, double& E) const
{
    if (!snapLength(l))
        return false;
    if (!m_isTSSC) {
        posAtLengthUnchecked(l, N, E);
        return true;
    }
    // l + l0 may round a hair past the full clothoid's end; its own snapping would bring it
    // back onto the end.
    double n, e;
    posAtLengthUnchecked(std::min(l + m_cutLength, m_simple.getTotalLength()), n, e);
    toElementFrame(n, e, N, E, true);
    return true;
}

double CCurveDataSpiral::getStepForDeviation(double l, double deviation) const
{
    const double total = getTotalLength();
    if (!snapCurveLength(l, total)) {
        ReportCurveAssertion(kLineSpiralStepOutside);
        return 0.0;
    }
    double step = CCurveDataSpiral1R::getStepForDeviation(m_isTSSC ? l + m_cutLength : l, deviation);
    if (l + step > total)
        step = total - l;
    return step;
}

bool CCurveDataSpiral::getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const
{
    double n = N;
    double e = E;
    if (m_isTSSC) {
        m_rotation.getRotatedBack(n, e);
        n += m_startN;
        e += m_startE;
    }
    double d, l;
    if (!CCurveDataSpiral1R::getShortestDistAndCurveLen(n, e, d, l))
        return false;
    if (m_isTSSC)
        l -= m_cutLength;
    if (!(l >= 0.0))
        return false;
    dist = d;
    len = l;
    return true;
}

// ---- getAlntElementAzimuth -------------------------------------------------------------------

bool getAlntElementAzimuth(CMathAngle& az, const C2dPos& start, const C2dPos& end, double R1,
                           double R2, double L)
{
    if (std::fabs(L) < kCurveZero || L <= 0.0) {
        az.setRad(0.0);
        return false;
    }
    if (std::fabs(R1) < kCurveZero)
        R1 = 0.0;
    if (std::fabs(R2) < kCurveZero)
        R2 = 0.0;
    double n, e;
    if (R1 == 0.0 && R2 == 0.0) {
        CCurveDataSegment segment;
        segment.setLen(L);
        n = segment.getFinalNorthing();
        e = segment.getFinalEasting();
    } else if (std::fabs(R1 - R2) < kCurveZero) {
        CCurveDataArc arc;
        arc.SetElement(L, R1, R1 > 0.0);
        n = arc.getFinalNorthing();
        e = arc.getFinalEasting();
    } else if ((R1 < 0.0 && R2 > 0.0) || (R1 > 0.0 && R2 < 0.0)) {
        az.setRad(0.0);
        return false;
    } else {
        CCurveDataSpiral spiral;
        if (R2 == 0.0)
            spiral.setLenAndR(L, R1, R1 > 0.0, false);
        else if (R1 == 0.0)
            spiral.setLenAndR(L, R2, R2 > 0.0, true);
        else
            spiral.setLenAndR(L, R1, R2, R2 > 0.0);
        n = spiral.getFinalNorthing();
        e = spiral.getFinalEasting();
    }
    CMathAngle chord;
    CMathAngle local;
    if (!chord.setAz(start, end) || !local.setAz(n, e))
        return false;
    chord -= local;
    az = chord;
    return true;
}

bool CCurveDataSpiral::getPosAndDirAtLength(double l, double& N, double& E, double& dirN, double& dirE) const
{
    if (!snapLength(l))
        return false;
    if (!m_isTSSC) {
        posAndDirAtLengthUnchecked(l, N, E, dirN, dirE);
        return true;
    }
    // As getPosAtLength; the tangent turns with the point.
    double n, e, dn, de;
    posAndDirAtLengthUnchecked(std::min(l + m_cutLength, m_simple.getTotalLength()), n, e, dn, de);
    toElementFrame(n, e, N, E, true);
    toElementFrame(dn, de, dirN, dirE, false);
    return true;
}

bool CCurveDataSpiral::snapLength(double& l) const
{
    if (!isok())
        return false;
    if (!snapCurveLength(l, getTotalLength())) {
        ReportCurveAssertion(kLineSpiralPosOutside);
        return false;
    }
    return true;
}

void CCurveDataSpiral::toElementFrame(double n, double e, double& N, double& E, bool fromStart) const
{
    if (fromStart) {
        n -= m_startN;
        e -= m_startE;
    }
    // CMathAngle::getRotated, the sine and cosine read once.
    const double s = m_rotation.getSin();
    const double c = m_rotation.getCos();
    N = c * n - s * e;
    E = c * e + s * n;
}
