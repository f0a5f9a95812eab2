#include "vrkmath/mathAlntVeArc.h"

#include "cogo/curveFormulas.h"
#include "numeric/unsetValue.h"
#include "vrkmath/mathAssert.h"

#include <cmath>

namespace {

const double kMaxChordAngle = 0.19634954084936207;   // pi / 16

C2dPos unsetPos()
{
    return C2dPos{unsetDouble(), unsetDouble()};
}

bool isPosSet(const C2dPos& p)
{
    return !isUnset(p.north) && !isUnset(p.east);
}

// Intersection of the line through p1 with direction a1 and the line through p2 with direction
// a2 (directions in the chainage-height plane); false for lines parallel within 1e-12.
bool intersectLines(const C2dPos& p1, const CMathAngle& a1, const C2dPos& p2, const CMathAngle& a2,
                    C2dPos& out)
{
    const double c1 = a1.getCos(), s1 = a1.getSin();
    const double c2 = a2.getCos(), s2 = a2.getSin();
    const double det = c1 * s2 - s1 * c2;
    if (!(std::fabs(det) >= 1e-12))
        return false;
    const double u = ((p2.north - p1.north) * s2 - (p2.east - p1.east) * c2) / det;
    out = C2dPos{p1.north + u * c1, p1.east + u * s1};
    return true;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CAlntVeArc

CAlntVeArc::CAlntVeArc() : m_arcLen(0.0), m_radius(0.0)
{
    reset();
}

void CAlntVeArc::reset()
{
    m_startDir.reset();
    m_start = unsetPos();
    m_arcLen = 0.0;
    m_radius = 0.0;
    reset_mutables();
}

void CAlntVeArc::reset_mutables() const
{
    m_centre = unsetPos();
    m_end = unsetPos();
}

void CAlntVeArc::setGradesAndR(double startGrade, double endGrade, double radius)
{
    double r;
    if (startGrade < endGrade)
        r = std::fabs(radius);
    else if (startGrade > endGrade)
        r = -std::fabs(radius);
    else
        r = isVeZero(startGrade - endGrade) ? 0.0 : radius;
    m_startDir.setTg(startGrade * 0.01, 1.0);
    m_radius = r;
    if (isVeZero(r)) {
        m_arcLen = 0.0;
    } else {
        CMathAngle turn;
        turn.setTg(endGrade * 0.01, 1.0);
        turn -= m_startDir;
        double delta = turn.getRad();
        if (!std::isfinite(delta))
            delta = 0.0;
        m_arcLen = std::fabs(delta * r);
    }
    reset_mutables();
}

void CAlntVeArc::setCenterGradesAndR(const C2dPos& centre, double startGrade, double endGrade, double radius)
{
    setStartHtAndChain(0.0, 0.0);
    setGradesAndR(startGrade, endGrade, radius);
    const C2dPos c0 = getCenterStaAndHt();
    setStartHtAndChain(centre.east - c0.east, centre.north - c0.north);
}

void CAlntVeArc::setRadius(double radius)
{
    m_radius = radius;
    reset_mutables();
}

C2dPos CAlntVeArc::getCenterStaAndHt() const
{
    if (isUnset(m_centre.north))
        m_centre = C2dPos{m_start.north - m_startDir.getSin() * m_radius,
                          m_start.east + m_startDir.getCos() * m_radius};
    return m_centre;
}

void CAlntVeArc::getCentralAngle(CMathAngle& angle) const
{
    angle.setRad(isVeZero(m_radius) ? 0.0 : m_arcLen / m_radius);
}

C2dPos CAlntVeArc::getFinalStaAndHt() const
{
    if (isUnset(m_end.north)) {
        if (isVeZero(m_radius)) {
            m_end = m_start;
        } else {
            CMathAngle central;
            getCentralAngle(central);
            central.getRotatedPoint(getCenterStaAndHt(), m_start, m_end);
        }
    }
    return m_end;
}

bool CAlntVeArc::isok() const
{
    return isPosSet(m_start) && m_startDir.isok();
}

TAlntVeType CAlntVeArc::getType() const
{
    return veArc;
}

double CAlntVeArc::getFinalHt() const
{
    return getFinalStaAndHt().east;
}

double CAlntVeArc::getFinalChain() const
{
    return getFinalStaAndHt().north;
}

double CAlntVeArc::getLen() const
{
    return getFinalStaAndHt().north - m_start.north;
}

double CAlntVeArc::getStartGrade() const
{
    return 100.0 * std::tan(m_startDir.getRad());
}

double CAlntVeArc::getEndGrade() const
{
    if (isVeZero(m_radius))
        return getStartGrade();
    CMathAngle end;
    getCentralAngle(end);
    end += m_startDir;
    return 100.0 * std::tan(end.getRad());
}

bool CAlntVeArc::getStartChainageInM(double& chainage) const
{
    chainage = m_start.north;
    return true;
}

errCodes CAlntVeArc::getHtAtLen(double len, double& ht) const
{
    // Not in the rules of the arc itself: an arc without start point or direction has no
    // range, and answers "not ready" as every other vertical element does.
    if (!isok())
        return veHtBeyondEnd;
    const double total = getLen();
    if (len < 0.0 && -len < roadTolerance)
        len = 0.0;
    if (len > total && len - total < roadTolerance)
        len = total;
    if (len < 0.0 || len > total) {
        ReportCurveAssertion(2190);
        return len < 0.0 ? veHtBeforeStart : veHtBeyondEnd;
    }
    if (isVeZero(m_radius)) {
        ht = m_start.east;
        return veHtOk;
    }
    const C2dPos c = getCenterStaAndHt();
    const double dx = m_start.north + len - c.north;
    const double side = m_radius > 0.0 ? -1.0 : 1.0;
    ht = c.east + side * std::sqrt(m_radius * m_radius - dx * dx);
    return veHtOk;
}

double CAlntVeArc::getStepForDeviation(double chainage, double deviation) const
{
    const double start = m_start.north;
    const double final = getFinalChain();
    if (chainage < start && start - chainage < roadTolerance)
        chainage = start;
    if (chainage > final && chainage - final < roadTolerance)
        chainage = final;
    // Written so that an arc without a start (NaN ends) also counts as outside: no step, as
    // for the other elements that are not ready.
    if (!(chainage >= start && chainage <= final) || !(deviation > 0.0)) {
        ReportCurveAssertion(2217);
        return 0.0;
    }
    const double rem = final - chainage;
    if (getLen() < roadTolerance)
        return rem;
    double ht;
    if (!getHtAtChain(chainage, ht) || isVeZero(m_radius))
        return rem;
    const double absR = std::fabs(m_radius);
    const double d = deviation > absR ? absR : deviation;
    double theta = 2.0 * std::acos(1.0 - d / absR);
    if (!std::isfinite(theta))
        theta = 0.0;
    if (theta > kMaxChordAngle)
        theta = kMaxChordAngle;
    if (m_radius < 0.0)
        theta = -theta;
    CMathAngle chord;
    chord.setRad(theta);
    C2dPos next;
    chord.getRotatedPoint(getCenterStaAndHt(), C2dPos{chainage, ht}, next);
    const double step = next.north - chainage;
    if (rem >= step && !(std::fabs(rem - step) < roadTolerance))
        return step;
    return rem;
}

bool CAlntVeArc::getAsLs(CLsInfo& info) const
{
    double start;
    if (!isok() || !getStartChainageInM(start))
        return false;
    if (isVeZero(m_radius)) {
        info = CLsInfo(start, m_start.east, 0.0);
        return true;
    }
    CMathAngle endDir;
    getCentralAngle(endDir);
    endDir += m_startDir;
    C2dPos ip;
    if (!intersectLines(m_start, m_startDir, getFinalStaAndHt(), endDir, ip)) {
        ReportCurveAssertion(2295);
        return false;
    }
    info = CLsInfo(ip.north, ip.east, getLen(), start, m_radius);
    return true;
}

CAlntVe* CAlntVeArc::clone() const
{
    return new CAlntVeArc(*this);
}

bool CAlntVeArc::setStartHtAndChain(double height, double chainage)
{
    reset_mutables();
    m_start = C2dPos{chainage, height};
    return true;
}

// ---------------------------------------------------------------------------------------------
// CAlntVeLsWithArc

CAlntVeLsWithArc::CAlntVeLsWithArc() : m_radius(0.0)
{
    reset();
}

CAlntVeLsWithArc::CAlntVeLsWithArc(double chainage, double height, double radius) : CAlntVeLsWithArc()
{
    setIpAndR(chainage, height, radius);
}

void CAlntVeLsWithArc::reset()
{
    m_vip = unsetPos();
    m_straight.reset();
    m_arc.reset();
    m_radius = 0.0;
}

void CAlntVeLsWithArc::setIpAndR(const C2dPos& vip, double radius)
{
    reset();
    m_radius = radius;
    m_vip = vip;
    m_straight.setStraight(vip.north, vip.east, vip.north, vip.east);
    m_arc.setCenterGradesAndR(vip, 0.0, 0.0, 0.0);
}

void CAlntVeLsWithArc::setIpAndR(double chainage, double height, double radius)
{
    setIpAndR(C2dPos{chainage, height}, radius);
}

bool CAlntVeLsWithArc::isok() const
{
    return m_straight.isok() && m_arc.isok() && isPosSet(m_vip);
}

TAlntVeType CAlntVeLsWithArc::getType() const
{
    return veLsArc;
}

double CAlntVeLsWithArc::getLen() const
{
    return m_straight.getLen() + m_arc.getLen();
}

bool CAlntVeLsWithArc::getStartChainageInM(double& chainage) const
{
    return m_straight.getStartChainageInM(chainage);
}

errCodes CAlntVeLsWithArc::getHtAtLen(double len, double& ht) const
{
    if (!isok())
        return veHtBeyondEnd;
    return htOnStraightThenCurve(m_straight, m_arc, len, ht);
}

double CAlntVeLsWithArc::getStepForDeviation(double chainage, double deviation) const
{
    double start;
    if (!isok() || !getStartChainageInM(start))
        return 0.0;
    return stepOnStraightThenCurve(m_straight, m_arc, start, getLen(), !m_arc.isSimplePoint(), chainage,
                                   deviation);
}

bool CAlntVeLsWithArc::getAsLs(CLsInfo& info) const
{
    if (!isok())
        return false;
    if (!m_arc.isSimplePoint())
        return m_arc.getAsLs(info);
    info = CLsInfo(m_vip.north, m_vip.east, 0.0, m_vip.north, 0.0);
    return true;
}

CAlntVe* CAlntVeLsWithArc::clone() const
{
    return new CAlntVeLsWithArc(*this);
}

bool CAlntVeLsWithArc::setStartHtAndChain(double height, double chainage)
{
    return m_straight.setStartHtAndChain(height, chainage);
}

bool CAlntVeLsWithArc::onNeighbourUpdate(const CAlntVe* prev, const CAlntVe* next)
{
    if (!CAlntVe::onNeighbourUpdate(prev, next))
        return false;
    double start;
    if (!getStartChainageInM(start))
        return false;
    bool point = isSimplePoint();
    if (!prev && isVeZero(m_vip.north - start)) {
        // The first element starts on its own VIP; the start is read again so that the grade
        // line below runs from exactly there.
        setStartHtAndChain(m_vip.east, m_vip.north);
        getStartChainageInM(start);
        point = true;
    }
    CLsInfo nextVip;
    const bool nextIsVip = next && (next->getType() == veLsParabola || next->getType() == veLsArc);
    const double run1 = m_vip.north - start;
    if (!point && nextIsVip && next->getAsLs(nextVip) && run1 >= 0.0 && nextVip.chainage - m_vip.north >= 0.0) {
        const double run2 = nextVip.chainage - m_vip.north;
        const double g1 = isVeZero(run1) ? 0.0 : 100.0 * (m_vip.east - getStartHt()) / run1;
        const double g2 = isVeZero(run2) ? 0.0 : 100.0 * (nextVip.height - m_vip.east) / run2;
        // Built about the origin first; its tangent intersection T then tells where the centre
        // must go for T to fall on the VIP.
        m_arc.setCenterGradesAndR(C2dPos{0.0, 0.0}, g1, g2, m_radius);
        CLsInfo ip;
        const bool ipOk = m_arc.getAsLs(ip);
        if (ipOk)
            m_arc.setCenterGradesAndR(C2dPos{m_vip.north - ip.chainage, m_vip.east - ip.height}, g1, g2,
                                      m_radius);
        double arcStart;
        const bool startOk = m_arc.getStartChainageInM(arcStart);
        if (!ipOk || !startOk)
            ReportCurveAssertion(2514);
        m_straight.setStraight(arcStart - start, g1);
        return true;
    }
    m_straight.setStraight(start, getStartHt(), m_vip.north, m_vip.east);
    m_arc.setCenterGradesAndR(m_vip, m_straight.getStartGrade(), m_straight.getEndGrade(), 0.0);
    return true;
}
