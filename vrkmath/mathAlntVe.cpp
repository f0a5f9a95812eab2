#include "vrkmath/mathAlntVe.h"

#include "cogo/curveFormulas.h"
#include "numeric/unsetValue.h"

#include <cmath>

// ---------------------------------------------------------------------------------------------
// CLsInfo

CLsInfo::CLsInfo(double chainage_, double height_, double curveLen_)
    : chainage(chainage_), height(height_), curveLen(curveLen_),
      curveStart(chainage_ - 0.5 * curveLen_), radius(0.0)
{
}

CLsInfo::CLsInfo(double chainage_, double height_, double curveLen_, double curveStart_, double radius_)
    : chainage(chainage_), height(height_), curveLen(curveLen_), curveStart(curveStart_), radius(radius_)
{
}

bool CLsInfo::isCompatibleWith(const CLsInfo& later) const
{
    const double gap = later.curveStart - (curveStart + curveLen);
    if (gap < 0.0 && !isVeZero(gap))
        return false;
    if (isVeZero(chainage - later.chainage) && !isVeZero(later.curveLen))
        return false;
    return true;
}

// ---------------------------------------------------------------------------------------------
// CAlntVe

bool CAlntVe::isok() const
{
    return true;
}

bool CAlntVe::onNeighbourUpdate(const CAlntVe* prev, const CAlntVe* /*next*/)
{
    if (!prev)
        return true;
    return setStartHtAndChain(prev->getFinalHt(), prev->getFinalChain());
}

bool CAlntVe::getFinalChainageInM(double& chainage) const
{
    chainage = getFinalChain();
    return true;
}

bool CAlntVe::getHLengthInM(double& len) const
{
    if (!isok()) {
        len = 0.0;
        return false;
    }
    len = getLen();
    return true;
}

bool CAlntVe::getHtAtChain(double chainage, double& ht) const
{
    double start;
    if (!getStartChainageInM(start))
        return false;
    return getHtAtLen(chainage - start, ht) == veHtOk;
}

bool CAlntVe::getPosHeightInM(double len, double& ht) const
{
    return getHtAtLen(len, ht) == veHtOk;
}

errCodes CAlntVe::htOnStraightThenCurve(const CAlntVe& straight, const CAlntVe& curve, double len,
                                        double& ht)
{
    const errCodes rc = straight.getHtAtLen(len, ht);
    if (rc != veHtBeyondEnd)
        return rc;
    return curve.getHtAtLen(len - straight.getLen(), ht);
}

double CAlntVe::stepOnStraightThenCurve(const CAlntVe& straight, const CAlntVe& curve, double start,
                                        double len, bool hasCurve, double chainage, double deviation)
{
    const double end = start + len;
    double at = chainage;
    if (isVeZero(at - start))
        at = start;
    if (std::fabs(at - end) < roadTolerance)
        at = end;
    if (len < 0.0 || at < start || at > end)
        return 0.0;
    const double rem = end - chainage;
    if (!hasCurve)
        return rem;
    const double straightEnd = straight.getFinalChain();
    if (std::fabs(at - straightEnd) < roadTolerance)
        at = straightEnd;
    if (straightEnd > at)
        return straight.getStepForDeviation(at, deviation) + (at - chainage);
    return curve.getStepForDeviation(at, deviation) + (at - chainage);
}

// ---------------------------------------------------------------------------------------------
// CVerticalElement

CVerticalElement::CVerticalElement()
    : m_startHt(0.0), m_startChain(0.0), m_len(0.0), m_startGrade(0.0), m_endGrade(0.0)
{
}

CVerticalElement::CVerticalElement(double startHt, double startChain, double len, double grade)
    : m_startHt(startHt), m_startChain(startChain), m_len(len), m_startGrade(grade), m_endGrade(grade)
{
}

CVerticalElement::CVerticalElement(double startHt, double startChain, double len, double startGrade,
                                   double endGrade)
    : m_startHt(startHt), m_startChain(startChain), m_len(len), m_startGrade(startGrade),
      m_endGrade(endGrade)
{
}

void CVerticalElement::reset()
{
    *this = CVerticalElement();
}

void CVerticalElement::setStraight(double len, double grade)
{
    m_len = len;
    m_startGrade = grade;
    m_endGrade = grade;
}

void CVerticalElement::setStraight(double chainage1, double height1, double chainage2, double height2)
{
    setStartHtAndChain(height1, chainage1);
    const double len = chainage2 - chainage1;
    if (len > veZeroTolerance) {
        m_len = len;
        m_startGrade = 100.0 * (height2 - height1) / len;
        m_endGrade = m_startGrade;
    } else {
        m_len = 0.0;
        m_startGrade = 0.0;
        m_endGrade = 0.0;
    }
}

void CVerticalElement::setParabola(double len, double startGrade, double endGrade)
{
    m_len = len;
    m_startGrade = startGrade;
    m_endGrade = endGrade;
}

void CVerticalElement::setParabolaByCR(double len, double c, double r)
{
    m_len = len;
    m_startGrade = 200.0 * c / len;
    m_endGrade = 100.0 * (2.0 * c / len - len / r);
}

void CVerticalElement::setParabolaByCF(double len, double c, double f)
{
    m_len = len;
    m_startGrade = 200.0 * c / len;
    m_endGrade = (200.0 * c - 800.0 * f) / len;
}

double CVerticalElement::getParabolaCoefficientA() const
{
    return (m_endGrade - m_startGrade) / (200.0 * m_len);
}

double CVerticalElement::getParabolaCoefficientB() const
{
    return m_startGrade * 0.01;
}

double CVerticalElement::getParabolaCoefficientC() const
{
    return m_startHt;
}

double CVerticalElement::getParabolaCoefficientKv() const
{
    return 1.0 / (2.0 * getParabolaCoefficientA());
}

double CVerticalElement::getParabolaCoefficientDs() const
{
    return -2.0 * getParabolaCoefficientA() * getLen();
}

TAlntVeType CVerticalElement::getType() const
{
    return isStraight() ? veGradeLine : veParabola;
}

double CVerticalElement::htAt(double len) const
{
    if (isParabola()) {
        if (isVeZero(m_len))
            return m_startHt;
        return ((m_endGrade - m_startGrade) / (200.0 * m_len) * len + m_startGrade * 0.01) * len + m_startHt;
    }
    return m_startGrade * len * 0.01 + m_startHt;
}

double CVerticalElement::getFinalHt() const
{
    return htAt(m_len);
}

bool CVerticalElement::getStartChainageInM(double& chainage) const
{
    chainage = m_startChain;
    return true;
}

errCodes CVerticalElement::getHtAtLen(double len, double& ht) const
{
    if (isVeZero(len))
        len = 0.0;
    if (std::fabs(len - m_len) < roadTolerance)
        len = m_len;
    if (len < 0.0)
        return veHtBeforeStart;
    if (len > m_len)
        return veHtBeyondEnd;
    ht = htAt(len);
    return veHtOk;
}

double CVerticalElement::getStepForDeviation(double chainage, double deviation) const
{
    const double start = m_startChain;
    const double end = m_startChain + m_len;
    if (isVeZero(chainage - start))
        chainage = start;
    if (std::fabs(chainage - end) < roadTolerance)
        chainage = end;
    if (m_len < 0.0 || chainage < start || chainage > end)
        return 0.0;
    const double rem = end - chainage;
    if (isStraight() || m_len < roadTolerance)
        return rem;
    // The chord of length s of the parabola has the sagitta |A| s^2 / 4.
    const double s = 2.0 * std::sqrt(std::fabs(deviation / getParabolaCoefficientA()));
    if (rem < s)
        return rem;
    if (std::fabs(rem - s) < roadTolerance)
        return rem;
    return s;
}

bool CVerticalElement::getAsLs(CLsInfo& info) const
{
    double start;
    if (!isok() || !getStartChainageInM(start))
        return false;
    if (isParabola()) {
        const double half = m_len / 2.0;
        const double vipChain = start + half;
        info = CLsInfo(vipChain, m_startHt + m_startGrade * half * 0.01, m_len, vipChain - half, 0.0);
    } else {
        const double vipChain = start + m_len;
        info = CLsInfo(vipChain, m_startHt + m_startGrade * m_len * 0.01, 0.0, vipChain, 0.0);
    }
    return true;
}

CAlntVe* CVerticalElement::clone() const
{
    return new CVerticalElement(*this);
}

bool CVerticalElement::setStartHtAndChain(double height, double chainage)
{
    m_startHt = height;
    m_startChain = chainage;
    return true;
}

// ---------------------------------------------------------------------------------------------
// CVerticalLSElement

CVerticalLSElement::CVerticalLSElement()
    : m_ok(false), m_hasParabola(false), m_curr(), m_next(), m_startHt(0.0), m_startChain(0.0),
      m_hasCurr(false), m_hasNext(false)
{
    reset();
}

CVerticalLSElement::CVerticalLSElement(const CLsInfo& vip) : CVerticalLSElement()
{
    setCurrLSElement(vip);
}

void CVerticalLSElement::reset()
{
    m_straight.reset();
    m_parabola.reset();
    m_ok = false;
    m_hasParabola = false;
    m_hasCurr = false;
    m_hasNext = false;
    m_startHt = 0.0;
    setUnset(m_startChain);
}

void CVerticalLSElement::setCurrLSElement(const CLsInfo& vip)
{
    m_curr = vip;
    m_hasCurr = true;
    setUpData();
}

void CVerticalLSElement::setNextLSElement(const CLsInfo& vip)
{
    m_next = vip;
    m_hasNext = true;
}

void CVerticalLSElement::getCurrLSElement(CLsInfo& vip) const
{
    vip = m_curr;
}

TAlntVeType CVerticalLSElement::getType() const
{
    return veLsParabola;
}

double CVerticalLSElement::getStartHt() const
{
    return m_straight.getStartHt();
}

double CVerticalLSElement::getFinalHt() const
{
    if (!isVeZero(m_curr.curveLen))
        return m_hasParabola ? m_parabola.getFinalHt() : m_straight.getFinalHt();
    return m_hasCurr ? m_curr.height : 0.0;
}

double CVerticalLSElement::getFinalChain() const
{
    return m_startChain + getLen();
}

double CVerticalLSElement::getLen() const
{
    return m_hasParabola ? m_straight.getLen() + m_parabola.getLen() : m_straight.getLen();
}

double CVerticalLSElement::getStartGrade() const
{
    return m_straight.getStartGrade();
}

double CVerticalLSElement::getEndGrade() const
{
    return m_hasParabola ? m_parabola.getEndGrade() : m_straight.getEndGrade();
}

bool CVerticalLSElement::getStartChainageInM(double& chainage) const
{
    if (isUnset(m_startChain)) {
        chainage = 0.0;
        return false;
    }
    chainage = m_startChain;
    return true;
}

errCodes CVerticalLSElement::getHtAtLen(double len, double& ht) const
{
    if (!isok())
        return veHtBeyondEnd;
    return htOnStraightThenCurve(m_straight, m_parabola, len, ht);
}

double CVerticalLSElement::getStepForDeviation(double chainage, double deviation) const
{
    if (!isok() || isUnset(m_startChain))
        return 0.0;
    const double len = getLen();
    return stepOnStraightThenCurve(m_straight, m_parabola, m_startChain, len,
                                   m_hasParabola && !(len < roadTolerance), chainage, deviation);
}

bool CVerticalLSElement::getAsLs(CLsInfo& info) const
{
    if (!m_hasCurr)
        return false;
    info = m_curr;
    return true;
}

CAlntVe* CVerticalLSElement::clone() const
{
    return new CVerticalLSElement(*this);
}

bool CVerticalLSElement::setStartHtAndChain(double height, double chainage)
{
    m_startHt = height;
    m_startChain = chainage;
    setUpData();
    return true;
}

bool CVerticalLSElement::setUpData()
{
    if (isUnset(m_startHt) || isUnset(m_startChain))
        return m_ok = false;
    if (!m_hasCurr)
        return m_ok;
    m_straight.reset();
    m_parabola.reset();
    m_hasParabola = false;

    m_ok = CLsInfo(m_startChain, m_startHt, 0.0).isCompatibleWith(m_curr);
    if (!m_ok)
        return false;
    const double run = m_curr.chainage - m_startChain;
    const double grade = isVeZero(run) ? 0.0 : 100.0 * (m_curr.height - m_startHt) / run;
    m_straight.setStartHtAndChain(m_startHt, m_startChain);

    double straightLen = (m_hasNext ? m_curr.curveStart : m_curr.chainage) - m_startChain;
    if (isVeZero(straightLen))
        straightLen = 0.0;
    else
        m_ok = straightLen >= 0.0;
    if (m_hasNext)
        m_ok = m_ok && m_curr.isCompatibleWith(m_next);
    if (!m_ok)
        return false;
    m_straight.setStraight(straightLen, grade);

    if (m_hasNext) {
        const double run2 = m_next.chainage - m_curr.chainage;
        const double grade2 = isVeZero(run2) ? 0.0 : 100.0 * (m_next.height - m_curr.height) / run2;
        m_parabola.setStartHtAndChain(m_straight.getFinalHt(), m_straight.getFinalChain());
        m_hasParabola = !isVeZero(m_curr.curveLen);
        if (m_hasParabola)
            m_parabola.setParabola(m_curr.curveLen, grade, grade2);
    }
    return m_ok;
}

bool CVerticalLSElement::onNeighbourUpdate(const CAlntVe* prev, const CAlntVe* next)
{
    if (!prev && m_hasCurr)
        setStartHtAndChain(m_curr.height, m_curr.chainage);
    if (!CAlntVe::onNeighbourUpdate(prev, next))
        return false;
    if (!next || (next->getType() != veLsParabola && next->getType() != veLsArc)) {
        m_hasNext = false;
        setUpData();
        return true;
    }
    CLsInfo nextVip;
    if (!next->getAsLs(nextVip))
        return true;
    if (!m_hasCurr) {
        setNextLSElement(nextVip);
        return true;
    }
    if (!m_curr.isCompatibleWith(nextVip))
        return false;
    setNextLSElement(nextVip);
    return setUpData();
}
