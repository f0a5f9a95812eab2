#include "vrkmath/mathCurveIp.h"

#include "vrkmath/mathAssert.h"
#include "vrkmath/mathIntersect.h"

#include <cmath>

namespace {

// Assertion line of the nearest-point search.
constexpr int kLineIpNearestFailed = 1836;

// The snap of a length onto the element's start: positions snap within 0.001 m, directions and
// steps only within 1e-12.
constexpr double kPosStartSnap = 0.001;
constexpr double kStartSnap = 1e-12;
// A solved TS must lie on the incoming tangent ahead of the start point within this (metres,
// north and east).
constexpr double kTsOnTangentTolerance = 0.001;

double distance(double n1, double e1, double n2, double e2)
{
    return std::sqrt((n2 - n1) * (n2 - n1) + (e2 - e1) * (e2 - e1));
}

} // namespace

CCurveIp::CCurveIp()
{
    reset();
}

CCurveIp::CCurveIp(const CCurveIp& other)
    : m_ipN(other.m_ipN), m_ipE(other.m_ipE), m_pointID(other.m_pointID), m_isSimple(other.m_isSimple),
      m_startSegment(other.m_startSegment), m_entrySpiral(other.m_entrySpiral), m_arc(other.m_arc),
      m_exitSpiral(other.m_exitSpiral), m_flags(0)
{
}

void CCurveIp::reset()
{
    setUnset(m_ipN);
    setUnset(m_ipE);
    m_isSimple = true;
    CMathAngle zero;
    m_startSegment.setOrgAz(0.0, 0.0, zero);
    m_startSegment.getCurve().reset();
    m_startSegment.getCurve().setLen(0.0);
    m_entrySpiral.resetOrgAz();
    m_arc.resetOrgAz();
    m_exitSpiral.resetOrgAz();
    m_entrySpiral.getCurve().reset();
    m_arc.getCurve().reset();
    m_exitSpiral.getCurve().reset();
    m_pointID = 0;
    m_flags = 0;
}

// ---- Setting the corner ----------------------------------------------------------------------

bool CCurveIp::setIp(double N, double E, double L1, double R, double L2)
{
    m_ipN = N;
    m_ipE = E;
    m_isSimple = std::fabs(L1) < kCurveZero && std::fabs(R) < kCurveZero && std::fabs(L2) < kCurveZero;
    CMathAngle outgoing;
    if (!m_exitSpiral.getFinalAzimut(outgoing))
        outgoing.reset();
    m_entrySpiral.getCurve().reset();
    m_exitSpiral.getCurve().reset();
    m_entrySpiral.getCurve().setLenAndR(L1, R, true, true);
    m_exitSpiral.getCurve().setLenAndR(L2, R, true, false);
    if (outgoing.isnan())
        return true;
    return doSetFinalAz(outgoing);
}

bool CCurveIp::setIp(double N, double E, double L1, AlntElementLengthDisplay lengthDisplay1, double R,
                     AlntElementRadiusDisplay radiusDisplay, double L2,
                     AlntElementLengthDisplay lengthDisplay2, UNITS)
{
    setAlntFlagField(m_flags, AlntRadiusDisplayMask, AlntRadiusDisplayShift, radiusDisplay);
    setAlntFlagField(m_flags, AlntLengthDisplayMask, AlntLengthDisplayShift, lengthDisplay1);
    setAlntFlagField(m_flags, AlntLength2DisplayMask, AlntLength2DisplayShift, lengthDisplay2);
    return setIp(N, E, L1, R, L2);
}

void CCurveIp::setOrg(double N0, double E0)
{
    // Without a set IP, or with the IP on the start point, the incoming direction stays as it was.
    CMathAngle a1 = m_startSegment.getStartAz();
    if (!isUnset(m_ipN) && !isUnset(m_ipE))
        a1.setAz(N0, E0, m_ipN, m_ipE);
    m_startSegment.setOrgAz(N0, E0, a1);
    m_entrySpiral.setStartAz(a1);
    doSolve();
}

bool CCurveIp::onSetNextIp(double Nn, double En)
{
    if (isSimplePointByDef())
        return true;
    // A next point on the IP (or an unset IP) leaves the outgoing direction unset.
    CMathAngle a2;
    a2.reset();
    if (!isUnset(m_ipN) && !isUnset(m_ipE))
        a2.setAz(m_ipN, m_ipE, Nn, En);
    return doSetFinalAz(a2);
}

bool CCurveIp::doSetFinalAz(const CMathAngle& a2)
{
    CMathAngle deflection = a2;
    deflection -= m_startSegment.getStartAz();
    const bool right = deflection.getRad() >= 0.0;
    m_entrySpiral.getCurve().setTurnRight(right);
    m_exitSpiral.getCurve().setTurnRight(right);
    CMathAngle theta2;
    if (!m_exitSpiral.getCurve().getFinalAzimut(theta2))
        return false;
    CMathAngle exitStart = a2;
    exitStart -= theta2;
    m_exitSpiral.setStartAz(exitStart);
    m_isSimple = false;
    if (a2.isnan()) {
        // No outgoing direction: the element is solved as the simple point it now is.
        doSolve();
        return false;
    }
    return doSolve();
}

bool CCurveIp::doSolveSimple()
{
    CCurveDataSegment& segment = m_startSegment.getCurve();
    segment.reset();
    const double n0 = m_startSegment.getStartNorthing();
    const double e0 = m_startSegment.getStartEasting();
    segment.setLen(distance(n0, e0, m_ipN, m_ipE));
    // An IP on the start point keeps the incoming direction.
    CMathAngle az = m_startSegment.getStartAz();
    az.setAz(n0, e0, m_ipN, m_ipE);
    m_startSegment.setStartAz(az);
    return true;
}

bool CCurveIp::doSolve()
{
    // Nothing can be solved before the IP and the start point are known.
    if (isUnset(m_ipN) || isUnset(m_ipE) || !m_startSegment.isOrgAzOk())
        return false;
    if (isSimplePoint())
        return doSolveSimple();

    const CMathAngle a1 = m_startSegment.getStartAz();
    const CCurveDataSpiral& entry = m_entrySpiral.getCurve();
    const CCurveDataSpiral& exit = m_exitSpiral.getCurve();
    // A corner that cannot be eased falls back to a simple point and is solved as one, so that
    // its start segment runs to the IP.
    CMathAngle a2, theta1, theta2;
    if (!getFinalAzimut(a2) || !entry.getFinalAzimut(theta1) || !exit.getFinalAzimut(theta2)) {
        m_isSimple = true;
        doSolveSimple();
        return false;
    }
    const double y1 = entry.getFinalEasting();
    const double y2 = exit.getSimpleSpiral().getFinalEasting();
    const double R = entry.getRadius();

    // The circle's centre lies d1 right of the incoming and d2 right of the outgoing tangent.
    const double d1 = y1 + R * theta1.getCos();
    const double d2 = R * theta2.getCos() - y2;
    const C2dPos ip{m_ipN, m_ipE};
    C2dPos p1, p2, centre;
    a1.getPosAcross(d1, ip, p1);
    a2.getPosAcross(d2, ip, p2);
    if (!IntersectPointDirLines(p1, a1, p2, a2, centre)) {
        m_isSimple = true;
        return doSolveSimple();
    }

    CMathAngle aSC;
    if (!m_entrySpiral.getFinalAzimut(aSC)) {
        m_isSimple = true;
        doSolveSimple();
        return false;
    }
    const CMathAngle aCS = m_exitSpiral.getStartAz();
    const C2dPos sc{centre.north + R * aSC.getSin(), centre.east - R * aSC.getCos()};
    const C2dPos cs{centre.north + R * aCS.getSin(), centre.east - R * aCS.getCos()};

    m_exitSpiral.setOrg(cs.north, cs.east);

    double endN = entry.getFinalNorthing();
    double endE = entry.getFinalEasting();
    a1.getRotated(endN, endE);
    const double tsN = sc.north - endN;
    const double tsE = sc.east - endE;
    m_entrySpiral.setOrg(tsN, tsE);

    m_arc.setOrgAz(sc.north, sc.east, aSC);
    CMathAngle toCS, toSC;
    toCS.setAz(centre, cs);
    toSC.setAz(centre, sc);
    CMathAngle delta = toCS;
    delta -= toSC;
    m_arc.getCurve().setCAngleR(delta, R);

    // The start segment runs to TS, unless TS lies behind the start point.
    const double n0 = m_startSegment.getStartNorthing();
    const double e0 = m_startSegment.getStartEasting();
    const double lengthToTs = distance(n0, e0, tsN, tsE);
    CCurveDataSegment& segment = m_startSegment.getCurve();
    segment.setLen(lengthToTs);
    double segEndN, segEndE;
    a1.getPosAlong(lengthToTs, n0, e0, segEndN, segEndE);
    if (!(std::fabs(segEndN - tsN) < kTsOnTangentTolerance && std::fabs(segEndE - tsE) < kTsOnTangentTolerance))
        segment.setLen(0.0);
    return true;
}

void CCurveIp::setSimplePoint(double N, double E)
{
    m_ipN = N;
    m_ipE = E;
    m_isSimple = true;
}

void CCurveIp::getIpElement(double& N, double& E, double& L1, double& R, double& L2) const
{
    N = m_ipN;
    E = m_ipE;
    L1 = getTsscLen();
    R = std::fabs(getR());
    L2 = getCsstLen();
}

void CCurveIp::getIpElement(double& N, double& E, double& L1, AlntElementLengthDisplay& lengthDisplay1,
                            double& R, AlntElementRadiusDisplay& radiusDisplay, double& L2,
                            AlntElementLengthDisplay& lengthDisplay2, UNITS) const
{
    getIpElement(N, E, L1, R, L2);
    radiusDisplay = static_cast<AlntElementRadiusDisplay>(
        getAlntFlagField(m_flags, AlntRadiusDisplayMask, AlntRadiusDisplayShift));
    lengthDisplay1 = static_cast<AlntElementLengthDisplay>(
        getAlntFlagField(m_flags, AlntLengthDisplayMask, AlntLengthDisplayShift));
    lengthDisplay2 = static_cast<AlntElementLengthDisplay>(
        getAlntFlagField(m_flags, AlntLength2DisplayMask, AlntLength2DisplayShift));
}

// ---- Queries ---------------------------------------------------------------------------------

bool CCurveIp::isSimplePointByDef() const
{
    return std::fabs(getTsscLen()) < kCurveZero && std::fabs(getR()) < kCurveZero &&
           std::fabs(getCsstLen()) < kCurveZero;
}

bool CCurveIp::isSimplePoint() const
{
    return m_isSimple || isSimplePointByDef() || m_exitSpiral.getStartAz().isnan();
}

bool CCurveIp::getFinalAzimut(CMathAngle& az) const
{
    return isSimplePoint() ? m_startSegment.getFinalAzimut(az) : m_exitSpiral.getFinalAzimut(az);
}

double CCurveIp::getFinalNorthing() const
{
    return isSimplePoint() ? m_ipN : m_exitSpiral.getFinalNorthing();
}

double CCurveIp::getFinalEasting() const
{
    return isSimplePoint() ? m_ipE : m_exitSpiral.getFinalEasting();
}

double CCurveIp::getTotalLength() const
{
    const double segment = m_startSegment.getTotalLength();
    if (isSimplePoint())
        return segment;
    return segment + m_entrySpiral.getTotalLength() + m_arc.getTotalLength() + m_exitSpiral.getTotalLength();
}

bool CCurveIp::checkIsTurnRight(bool& right) const
{
    CMathAngle start, final;
    if (!getStartAzimut(start) || !getFinalAzimut(final)) {
        right = true;
        return false;
    }
    final -= start;
    right = final.getRad() >= 0.0;
    return true;
}

void CCurveIp::getIpNodes(TIpNodes& nodes) const
{
    nodes.tsN = m_entrySpiral.getStartNorthing();
    nodes.tsE = m_entrySpiral.getStartEasting();
    nodes.scN = m_arc.getStartNorthing();
    nodes.scE = m_arc.getStartEasting();
    nodes.csN = m_exitSpiral.getStartNorthing();
    nodes.csE = m_exitSpiral.getStartEasting();
    nodes.ipN = m_ipN;
    nodes.ipE = m_ipE;
    nodes.curve = this;
}

// ---- Lengths along the chain -----------------------------------------------------------------

int CCurveIp::locate(double l, double startSnap, bool strict, double& rem) const
{
    if (std::fabs(l) < startSnap)
        l = 0.0;
    if (l < 0.0)
        return -1;
    const bool simple = isSimplePoint();
    const double lengths[4] = {m_startSegment.getTotalLength(), m_entrySpiral.getTotalLength(),
                               m_arc.getTotalLength(), m_exitSpiral.getTotalLength()};
    const int pieces = simple ? 1 : 4;
    rem = l;
    for (int i = 0; i < pieces; ++i) {
        if (std::fabs(rem - lengths[i]) < kCurveLengthSnap)
            rem = lengths[i];
        if (strict ? rem < lengths[i] : rem <= lengths[i])
            return i;
        rem -= lengths[i];
    }
    if (simple && !strict) {
        // A simple point hands every length to its start segment, which reports it as outside.
        rem = l;
        return 0;
    }
    return -1;
}

bool CCurveIp::getPosAtLength(double l, double& N, double& E) const
{
    double rem;
    switch (locate(l, kPosStartSnap, false, rem)) {
    case 0:
        return m_startSegment.getPosAtLength(rem, N, E);
    case 1:
        return m_entrySpiral.getPosAtLength(rem, N, E);
    case 2:
        return m_arc.getPosAtLength(rem, N, E);
    case 3:
        return m_exitSpiral.getPosAtLength(rem, N, E);
    default:
        return false;
    }
}

bool CCurveIp::getPosAndDirAtLength(double l, double& N, double& E, double& azDeg, double& dirN,
                                    double& dirE) const
{
    // Within the position's start snap the point and the azimuth find their pieces with
    // different snaps: each is asked on its own there.
    if (l < kPosStartSnap) {
        if (!getPosAtLength(l, N, E))
            return false;
        azDeg = GetAzimuth(l);
        const double a = azDeg * kRadPerDeg;
        dirN = std::cos(a);
        dirE = std::sin(a);
        return true;
    }
    double rem;
    const auto piece = [&](const auto& curve) {
        if (!curve.getPosAndDirAtLength(rem, N, E, dirN, dirE))
            return false;
        azDeg = curve.getAzimuthAtLength(rem);
        return true;
    };
    switch (locate(l, kPosStartSnap, false, rem)) {
    case 0:
        return piece(m_startSegment);
    case 1:
        return piece(m_entrySpiral);
    case 2:
        return piece(m_arc);
    case 3:
        return piece(m_exitSpiral);
    default:
        return false;
    }
}

double CCurveIp::GetAzimuth(double l) const
{
    double rem;
    switch (locate(l, kStartSnap, false, rem)) {
    case 0:
        return m_startSegment.getAzimuthAtLength(rem);
    case 1:
        return m_entrySpiral.getAzimuthAtLength(rem);
    case 2:
        return m_arc.getAzimuthAtLength(rem);
    case 3:
        return m_exitSpiral.getAzimuthAtLength(rem);
    default:
        return 0.0;
    }
}

double CCurveIp::getStepForDeviation(double l, double deviation) const
{
    double rem;
    switch (locate(l, kStartSnap, true, rem)) {
    case 0:
        return m_startSegment.getStepForDeviation(rem, deviation);
    case 1:
        return m_entrySpiral.getStepForDeviation(rem, deviation);
    case 2:
        return m_arc.getStepForDeviation(rem, deviation);
    case 3:
        return m_exitSpiral.getStepForDeviation(rem, deviation);
    default:
        return 0.0;
    }
}

double CCurveIp::getNextPosForDeviation(double l, double deviation, double& N, double& E) const
{
    const double next = l + getStepForDeviation(l, deviation);
    getPosAtLength(next, N, E);
    return next;
}

bool CCurveIp::getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const
{
    double bestDist = 0.0, bestLen = 0.0;
    int winner = 0;
    bool ok = m_startSegment.isOrgAzOk() && m_startSegment.getShortestDistAndCurveLen(N, E, bestDist, bestLen);
    // The later pieces in order, each only after a success and when placed; a later piece
    // wins ties within roadTolerance.
    auto tryPiece = [&](const auto& piece, int index) {
        if (!ok || !piece.isOrgAzOk()) {
            ok = false;
            return;
        }
        double d, l;
        ok = piece.getShortestDistAndCurveLen(N, E, d, l);
        if (ok && d <= bestDist + roadTolerance) {
            bestDist = d;
            bestLen = l;
            winner = index;
        }
    };
    if (!isSimplePoint()) {
        tryPiece(m_entrySpiral, 1);
        tryPiece(m_arc, 2);
        tryPiece(m_exitSpiral, 3);
    }
    if (!ok) {
        ReportCurveAssertion(kLineIpNearestFailed);
        return false;
    }
    if (winner >= 1)
        bestLen += m_startSegment.getTotalLength();
    if (winner >= 2)
        bestLen += m_entrySpiral.getTotalLength();
    if (winner >= 3)
        bestLen += m_arc.getTotalLength();
    dist = bestDist;
    len = bestLen;
    return true;
}
