#include "vrkmath/mathAlntHe.h"

#include "cogo/curveFormulas.h"
#include "vrkmath/mathAlntH.h"

#include <cmath>

// ---------------------------------------------------------------------------------------------
// CAlntElBase

bool CAlntElBase::getFinalChainageInM(double& chain) const
{
    double len;
    if (isUnset(m_startChainage) || !getHLengthInM(len))
        return false;
    chain = m_startChainage + len;
    return true;
}

bool CAlntElBase::distance2Chainage(double d, double& chain) const
{
    if (isUnset(m_startChainage))
        return false;
    chain = m_startChainage + d;
    return true;
}

bool CAlntElBase::chainage2Distance(double chain, double& d) const
{
    if (isUnset(m_startChainage))
        return false;
    d = chain - m_startChainage;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Offsets

void ApplyAlntOffset(double& N, double& E, double azDeg, double offset)
{
    if (std::fabs(offset) < smallNumTolerance)
        return;
    Compute2DPoint(E, N, std::fabs(offset), azDeg, offset > 0.0 ? 90.0 : -90.0, E, N);
}

// ---------------------------------------------------------------------------------------------
// CAlntHe: the operations shared by every element

bool CAlntHe::getPosAndDirAtLength(double l, double& N, double& E, double& azDeg, double& dirN, double& dirE) const
{
    double n, e, az;
    if (!getPosNeAtLength(l, n, e) || !getAzimuthAtLength(l, az))
        return false;
    N = n;
    E = e;
    azDeg = az;
    dirN = std::cos(az * kRadPerDeg);
    dirE = std::sin(az * kRadPerDeg);
    return true;
}

bool CAlntHe::getPosNeAtChainExtr(double chain, double& N, double& E) const
{
    return getPosNeAtChainAndOffsetExtr(chain, 0.0, N, E);
}

bool CAlntHe::extrapolate(double l, double* N, double* E, double& azDeg) const
{
    double total;
    if (!getHLengthInM(total))
        return false;
    if (l < 0.0 || l > total) {
        // Along the start tangent backwards, or along the end tangent forwards.
        CMathAngle dir;
        double n0 = 0.0, e0 = 0.0, d;
        if (l < 0.0) {
            getStartAzimut(dir);
            if (N && !getStartPosNe(n0, e0))
                return false;
            d = l;
        } else {
            if (!getFinalAzimut(dir))
                dir.setRad(0.0);
            if (N && !getFinalPosNe(n0, e0))
                return false;
            d = l - total;
        }
        if (dir.isnan())
            dir.setRad(0.0);
        if (N) {
            *N = n0 + d * dir.getCos();
            *E = e0 + d * dir.getSin();
        }
        azDeg = dir.getDeg();
        return true;
    }
    if (N && !getPosNeAtLength(l, *N, *E))
        return false;
    getAzimuthAtLength(l, azDeg);
    return true;
}

bool CAlntHe::getPosNeAtChainAndOffsetExtr(double chain, double offset, double& N, double& E) const
{
    // An unplaced element has no chainages: nothing to extrapolate from.
    double l, n, e, az;
    if (!chainage2Distance(chain, l) || !extrapolate(l, &n, &e, az))
        return false;
    ApplyAlntOffset(n, e, az, offset);
    N = n;
    E = e;
    return true;
}

bool CAlntHe::getAzimuthAtChainExtr(double chain, double& azDeg) const
{
    double l;
    return chainage2Distance(chain, l) && extrapolate(l, nullptr, nullptr, azDeg);
}

bool CAlntHe::getPosAtLengthAndOffset(double l, double offset, double& N, double& E) const
{
    double n, e, az;
    if (!getPosNeAtLength(l, n, e) || !getAzimuthAtLength(l, az))
        return false;
    ApplyAlntOffset(n, e, az, offset);
    N = n;
    E = e;
    return true;
}

double CAlntHe::getNextPosForDeviation(double chain, double deviation, double& N, double& E) const
{
    const double next = chain + getStepForDeviation(chain, deviation);
    getPosNeAtChain(next, N, E);
    return next;
}

void CAlntHe::getPlacementStart(const CAlntH& h, int index, double& chain, double& N, double& E,
                                CMathAngle& dir)
{
    dir.setRad(0.0);
    if (index <= 0) {
        chain = h.getStartChainageInM();
        N = h.getStartPosN();
        E = h.getStartPosE();
        return;
    }
    const CAlntHe* prev = h.getHe(index - 1);
    if (prev->getFinalPosNe(N, E) && prev->getFinalChainageInM(chain)) {
        CMathAngle az;
        if (prev->getFinalAzimut(az))
            dir = az;
        return;
    }
    chain = N = E = 0.0;
}

// ---------------------------------------------------------------------------------------------
// Placed curve elements

template <class T>
bool CAlntHeCurveT<T>::getHLengthInM(double& len) const
{
    const double total = m_placed.getTotalLength();
    if (isUnset(total))
        return false;
    len = total;
    return true;
}

template <class T>
bool CAlntHeCurveT<T>::getStartPosNe(double& N, double& E) const
{
    N = m_placed.getStartNorthing();
    E = m_placed.getStartEasting();
    return true;
}

template <class T>
bool CAlntHeCurveT<T>::getFinalPosNe(double& N, double& E) const
{
    N = m_placed.getFinalNorthing();
    E = m_placed.getFinalEasting();
    return true;
}

template <class T>
bool CAlntHeCurveT<T>::getPosNeAtChain(double chain, double& N, double& E) const
{
    double l;
    return chainage2Distance(chain, l) && m_placed.getPosAtLength(l, N, E);
}

template <class T>
bool CAlntHeCurveT<T>::getAzimuthAtChain(double chain, double& azDeg) const
{
    double l;
    if (!chainage2Distance(chain, l))
        return false;
    azDeg = m_placed.getAzimuthAtLength(l);
    return true;
}

template <class T>
double CAlntHeCurveT<T>::getStepForDeviation(double chain, double deviation) const
{
    // Unplaced: the chainage is taken as a length (such queries are not made).
    double l = chain;
    chainage2Distance(chain, l);
    return m_placed.getStepForDeviation(l, deviation);
}

template <class T>
void CAlntHeCurveT<T>::onSetIndex(const CAlntH& h, int index)
{
    double chain, n, e;
    CMathAngle dir;
    getPlacementStart(h, index, chain, n, e, dir);
    onStartChainageUpdate(chain);
    m_placed.setOrg(n, e);
    if (!m_isStartAzFixed)
        m_placed.setStartAz(dir);
}

template class CAlntHeCurveT<CCurveDataSegment>;
template class CAlntHeCurveT<CCurveDataArc>;
template class CAlntHeCurveT<CCurveDataSpiral>;

// ---------------------------------------------------------------------------------------------
// CAlntHeArc

bool CAlntHeArc::getArc(CArc& arc) const
{
    const C2dPos start{m_placed.getStartNorthing(), m_placed.getStartEasting()};
    const C2dPos finish{m_placed.getFinalNorthing(), m_placed.getFinalEasting()};
    if (isUnset(start.north) || isUnset(start.east) || isUnset(finish.north) ||
        isUnset(finish.east) || m_placed.getStartAz().isnan())
        return false;
    return arc.set_start_finish_startTgDir(start, finish, m_placed.getStartAz());
}

void CAlntHeArc::setArc(const CArc& arc)
{
    CMathAngle tangent;
    arc.get_start_tgdir(tangent);
    if (tangent.isnan())
        tangent.setRad(0.0);
    setFixedStartAz(tangent);
    m_placed.getCurve().setCAngleR(arc.cAngle, arc.getRadius(), arc.clockwise);
}

// ---------------------------------------------------------------------------------------------
// CAlntHeIp

CAlntHeIp* CAlntHeIp::cast(CAlntHe* he)
{
    return he && he->getType() == AlntHeIp ? static_cast<CAlntHeIp*>(he) : nullptr;
}

const CAlntHeIp* CAlntHeIp::cast(const CAlntHe* he)
{
    return he && he->getType() == AlntHeIp ? static_cast<const CAlntHeIp*>(he) : nullptr;
}

bool CAlntHeIp::getHLengthInM(double& len) const
{
    len = m_corner.getTotalLength();
    return true;
}

bool CAlntHeIp::getStartPosNe(double& N, double& E) const
{
    N = m_corner.getStartNorthing();
    E = m_corner.getStartEasting();
    return true;
}

bool CAlntHeIp::getFinalPosNe(double& N, double& E) const
{
    N = m_corner.getFinalNorthing();
    E = m_corner.getFinalEasting();
    return true;
}

bool CAlntHeIp::getPosNeAtChain(double chain, double& N, double& E) const
{
    double l;
    return chainage2Distance(chain, l) && m_corner.getPosAtLength(l, N, E);
}

bool CAlntHeIp::getAzimuthAtChain(double chain, double& azDeg) const
{
    double l;
    if (!chainage2Distance(chain, l))
        return false;
    azDeg = m_corner.GetAzimuth(l);
    return true;
}

double CAlntHeIp::getStepForDeviation(double chain, double deviation) const
{
    double l = chain;
    chainage2Distance(chain, l);
    return m_corner.getStepForDeviation(l, deviation);
}

void CAlntHeIp::onSetIndex(const CAlntH& h, int index)
{
    double chain, n, e;
    CMathAngle dir;   // a corner takes its incoming direction from its start point and IP
    getPlacementStart(h, index, chain, n, e, dir);
    onStartChainageUpdate(chain);
    m_corner.setOrg(n, e);
    const CAlntHeIp* next = index + 1 < h.getNumOfHes() ? cast(h.getHe(index + 1)) : nullptr;
    if (!next)
        m_corner.setSimplePoint();
    else
        m_corner.onSetNextIp(next->m_corner.getIpNorth(), next->m_corner.getIpEast());
}
