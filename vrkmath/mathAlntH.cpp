#include "vrkmath/mathAlntH.h"

#include "cogo/curveFormulas.h"
#include "numeric/unsetValue.h"
#include "vrkmath/mathIntersect.h"

#include <algorithm>
#include <cmath>
#include <limits>

// ---------------------------------------------------------------------------------------------
// Construction and copy

CAlntH::CAlntH()
    : m_startChainage(0.0), m_chainageInterval(100.0), m_startN(0.0), m_startE(0.0),
      m_totalLen(unsetDouble()), m_inBulkUpdate(false), m_indexState(indexStale),
      m_lastFound(0), m_lastAzChain(std::nan("")), m_lastAzDeg(0.0)
{
    m_startAz.setRad(0.0);
}

CAlntH::CAlntH(const CAlntH& other) : CAlntH()
{
    doCopyHes(other);
}

CAlntH& CAlntH::operator=(const CAlntH& other)
{
    if (this != &other) {
        removeAllHes();
        doCopyHes(other);
    }
    return *this;
}

CAlntH::~CAlntH() = default;   // the array deletes the elements

void CAlntH::doCopyHes(const CAlntH& other)
{
    invalidateIndex();
    m_startChainage = other.m_startChainage;
    m_chainageInterval = other.m_chainageInterval;
    m_startN = other.m_startN;
    m_startE = other.m_startE;
    m_startAz = other.m_startAz;
    m_totalLen = other.m_totalLen;
    for (const CAlntHe* he : other.m_hes)
        m_hes.Add(he->clone());
}

// ---------------------------------------------------------------------------------------------
// Editing

bool CAlntH::appendElement(const CAlntHe& he)
{
    if (!he.isok())
        return false;
    doInsertHe(getNumOfHes(), he.clone());
    return true;
}

bool CAlntH::insertElement(int i, const CAlntHe& he)
{
    if (!he.isok())
        return false;
    doInsertHe(i, he.clone());
    return true;
}

bool CAlntH::replaceElement(int i, const CAlntHe& he)
{
    if (!he.isok())
        return false;
    invalidateIndex();
    m_hes.ReplaceAt(i, he.clone());
    doHPostUpdate(i);
    return true;
}

bool CAlntH::removeHe(int i)
{
    invalidateIndex();
    m_hes.RemoveAt(i);
    setUnset(m_totalLen);
    if (!m_hes.IsEmpty())
        doHPostUpdate(i > 0 ? i - 1 : 0);
    return true;
}

void CAlntH::removeAllHes()
{
    invalidateIndex();
    m_hes.RemoveAll();
    setUnset(m_totalLen);
}

void CAlntH::doInsertHe(int i, CAlntHe* he)
{
    invalidateIndex();
    m_hes.InsertAt(i, he);
    doHPostUpdate(i);
}

void CAlntH::onBulkUpdateFinished()
{
    m_inBulkUpdate = false;
    if (!m_hes.IsEmpty())
        doHPostUpdate(0);
}

void CAlntH::doHPostUpdate(int i)
{
    if (m_inBulkUpdate)
        return;
    invalidateIndex();
    setUnset(m_totalLen);
    const int n = getNumOfHes();
    for (int j = i > 0 ? i - 1 : 0; j < n; ++j)
        m_hes.GetAt(j)->onSetIndex(*this, j);
}

// ---------------------------------------------------------------------------------------------
// Start values

void CAlntH::setStartChainageInM(double chain)
{
    m_startChainage = chain;
    doHPostUpdate(0);
}

void CAlntH::setChainageIntervalInM(double interval)
{
    m_chainageInterval = interval;
}

void CAlntH::setStartAz(const CMathAngle& az)
{
    m_startAz = az;
    if (!m_hes.IsEmpty())
        doHPostUpdate(0);
}

void CAlntH::setStartPos(double N, double E)
{
    m_startN = N;
    m_startE = E;
    if (!m_hes.IsEmpty())
        doHPostUpdate(0);
}

// ---------------------------------------------------------------------------------------------
// Queries

const CAlntHe* CAlntH::getFirstHe() const
{
    return m_hes.IsEmpty() ? nullptr : m_hes.GetAt(0);
}

const CAlntHe* CAlntH::getLastHe() const
{
    return m_hes.IsEmpty() ? nullptr : m_hes.GetAt(m_hes.GetUpperBound());
}

bool CAlntH::getHLengthInM(double& len) const
{
    if (isUnset(m_totalLen)) {
        double sum = 0.0;
        for (const CAlntHe* he : m_hes) {
            double l;
            if (!he->getHLengthInM(l))
                return false;
            sum += l;
        }
        m_totalLen = sum;
    }
    len = m_totalLen;
    return true;
}

bool CAlntH::getFinalChainageInM(double& chain) const
{
    double len;
    if (!getHLengthInM(len))
        return false;
    chain = m_startChainage + len;
    return true;
}

bool CAlntH::getFinalPosNe(double& N, double& E) const
{
    if (const CAlntHe* last = getLastHe())
        return last->getFinalPosNe(N, E);
    N = m_startN;
    E = m_startE;
    return true;
}

bool CAlntH::indexUsable() const
{
    if (m_indexState == indexStale) {
        const std::size_t n = static_cast<std::size_t>(getNumOfHes());
        m_indexState = indexSorted;
        m_starts.resize(n);
        m_lens.resize(n);
        m_lastFound = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const CAlntHe* he = m_hes.GetAt(static_cast<int>(i));
            if (!he->getStartChainageInM(m_starts[i]) || std::isnan(m_starts[i]) ||
                (i > 0 && !(m_starts[i - 1] <= m_starts[i])) || !he->getHLengthInM(m_lens[i])) {
                m_indexState = indexUnusable;
                break;
            }
        }
        if (m_indexState == indexSorted) {
            fillBuckets();
            m_starts.push_back(std::nan(""));   // the end of the bucket steps
        }
    }
    return m_indexState == indexSorted;
}

void CAlntH::fillBuckets() const
{
    // Four buckets an element on average. A bucket covers its chainages widened by a margin for
    // the rounding of the bucket's number (1e-12 of the span and the first start, and 1e-9 m):
    // `first` is the element at the low end of that range, `count` the starts inside it.
    const std::size_t n = m_lens.size();
    m_buckets.clear();
    m_bucketsPerM = 0.0;
    if (n == 0)
        return;
    const double s0 = m_starts[0];
    const double span = m_starts[n - 1] + m_lens[n - 1] - s0;
    if (!(span > 0.0) || !std::isfinite(span))
        return;   // no buckets: bisection
    m_buckets.assign(4 * n, ElementBucket());
    m_bucketsPerM = static_cast<double>(m_buckets.size()) / span;
    const double margin = 1e-12 * (span + std::fabs(s0)) + 1e-9;
    const double* starts = m_starts.data();
    for (std::size_t b = 0; b < m_buckets.size(); ++b) {
        const double lo = s0 + static_cast<double>(b) / m_bucketsPerM - margin;
        const double hi = s0 + static_cast<double>(b + 1) / m_bucketsPerM + margin;
        const std::size_t first = static_cast<std::size_t>(std::max<std::ptrdiff_t>(std::upper_bound(starts, starts + n, lo) - starts - 1, 0));
        const std::size_t end = static_cast<std::size_t>(std::upper_bound(starts, starts + n, hi) - starts);
        ElementBucket& k = m_buckets[b];
        k.first = static_cast<int>(first);
        k.count = static_cast<int>(std::max(end, first + 1) - first - 1);
        k.split = k.count > 0 ? starts[first + 1] : std::numeric_limits<double>::infinity();
    }
}

// Both inline: the element at a chainage is the engine's most frequent question.
inline int CAlntH::bucketSearch(double chain) const
{
    const double* starts = m_starts.data();
    const int n = getNumOfHes();
    if (chain < starts[0])
        return 0;
    const double at = (chain - starts[0]) * m_bucketsPerM;
    if (!(at < static_cast<double>(m_buckets.size())))   // past the last bucket, or no buckets
        return static_cast<int>(std::upper_bound(starts, starts + n, chain) - starts) - 1;
    const ElementBucket& k = m_buckets[static_cast<std::size_t>(at)];
    // One start in the bucket: a step without a branch (a coin toss for random chainages);
    // several (elements much shorter than a bucket): a bisection over them.
    if (k.count <= 1)
        return k.first + static_cast<int>(k.split <= chain);
    return static_cast<int>(std::upper_bound(starts + k.first + 1, starts + k.first + 1 + k.count, chain) - starts) - 1;
}

inline bool CAlntH::findElement(double chain, int& index, double& start, double& len) const
{
    // The element is defined by a scan from the last element backwards while the chainage lies
    // before the element's start: the last element whose start chainage is <= chain (the later
    // one at a joint), or element 0. When every start chainage is set and they never decrease
    // (as placement makes them), the element last found and the bucket search below both stop
    // on that same element, ties at a joint included (upper_bound passes over equal starts), and
    // read the same start; whether the chainage lies within the element's length +
    // roadTolerance is checked by the caller either way. Otherwise (an unplaced element, an
    // element without a length, or a NaN chainage) the scan itself runs.
    const int n = getNumOfHes();
    if (!std::isnan(chain) && (m_indexState == indexSorted || indexUsable())) {
        const double* starts = m_starts.data();
        int i = m_lastFound;
        // Without branches: for random chainages each comparison is a coin toss. starts[n]
        // exists (a NaN, below).
        const bool hit = ((i == 0) | (starts[i] <= chain)) & ((i == n - 1) | (chain < starts[i + 1]));
        if (!hit) {
            i = bucketSearch(chain);
            m_lastFound = i;
        }
        index = i;
        start = starts[i];
        len = m_lens[static_cast<std::size_t>(i)];
        return true;
    }
    for (int i = n - 1;; --i) {
        if (!m_hes.GetAt(i)->getStartChainageInM(start))
            return false;
        if (!(chain < start) || i == 0) {
            index = i;
            return m_hes.GetAt(i)->getHLengthInM(len);
        }
    }
}

const CAlntHe* CAlntH::getAlntHeAtChain(double chain, double* lenInElement) const
{
    const int i = getHeIndexAtChain(chain, lenInElement);
    return i < 0 ? nullptr : m_hes.GetAt(i);
}

int CAlntH::getHeIndexAtChain(double chain, double* lenInElement, double* elementLength) const
{
    if (m_hes.IsEmpty())
        return -1;
    int i;
    double start, len;
    if (!findElement(chain, i, start, len))
        return -1;
    const double d = chain - start;
    if (!(d <= len + roadTolerance))
        return -1;
    if (lenInElement)
        *lenInElement = d;
    if (elementLength)
        *elementLength = len;
    return i;
}

bool CAlntH::getPosNeAtChain(double chain, double& N, double& E) const
{
    double d;
    const CAlntHe* he = getAlntHeAtChain(chain, &d);
    return he && he->getPosNeAtLength(d, N, E);
}

bool CAlntH::getAzimuthAtChain(double chain, double& azDeg) const
{
    // The azimuth the last position query inside the alignment found at this very chainage.
    if (m_indexState == indexSorted && chain == m_lastAzChain) {
        azDeg = m_lastAzDeg;
        return true;
    }
    double d;
    const CAlntHe* he = getAlntHeAtChain(chain, &d);
    return he && he->getAzimuthAtLength(d, azDeg);
}

bool CAlntH::getPosNeAtChainExtr(double chain, double& N, double& E) const
{
    return getPosNeAtChainAndOffsetExtr(chain, 0.0, N, E);
}

bool CAlntH::getPosNeAtChainAndOffsetExtr(double chain, double offset, double& N, double& E) const
{
    // The point and its unit tangent from one element query; the offset goes along the
    // tangent's right normal.
    double n, e, az, dirN, dirE, d;
    const CAlntHe* he = getAlntHeAtChain(chain, &d);
    if (he && he->getPosAndDirAtLength(d, n, e, az, dirN, dirE)) {
        // Kept for getAzimuthAtChain at the same chainage (a position and its azimuth are
        // mostly asked together); the element found depends on the index alone.
        if (m_indexState == indexSorted) {
            m_lastAzChain = chain;
            m_lastAzDeg = az;
        }
    } else {
        CMathAngle dir;
        if (!extrapolationTangent(chain, dir, &n, &e, &d))
            return false;
        if (dir.isnan())
            dir.setRad(0.0);
        dirN = dir.getCos();
        dirE = dir.getSin();
        n = n + d * dirN;
        e = e + d * dirE;
    }
    if (!(std::fabs(offset) < smallNumTolerance)) {
        n -= offset * dirE;
        e += offset * dirN;
    }
    N = n;
    E = e;
    return true;
}

bool CAlntH::getAzimuthAtChainExtr(double chain, double& azDeg) const
{
    if (getAzimuthAtChain(chain, azDeg))
        return true;
    CMathAngle dir;
    if (!extrapolationTangent(chain, dir))
        return false;
    azDeg = dir.getDeg();   // an unset angle gives 0
    return true;
}

bool CAlntH::extrapolationTangent(double chain, CMathAngle& dir, double* n, double* e, double* d) const
{
    double final;
    if (!getFinalChainageInM(final))
        return false;
    if (final <= chain) {
        const CAlntHe* last = getLastHe();
        if (!last || !last->getFinalAzimut(dir) || (n && !last->getFinalPosNe(*n, *e)))
            return false;
        if (d)
            *d = chain - final;
    } else {
        const CAlntHe* first = getFirstHe();
        if (!first || (n && !first->getStartPosNe(*n, *e)))
            return false;
        first->getStartAzimut(dir);
        if (d)
            *d = chain - m_startChainage;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// IP of a curve group

namespace {

const CAlntHeArc* asArc(const CAlntHe* he)
{
    return he && he->getType() == AlntHeArc ? dynamic_cast<const CAlntHeArc*>(he) : nullptr;
}

const CAlntHeSpiral* asSpiral(const CAlntHe* he)
{
    return he && he->getType() == AlntHeSpiral ? dynamic_cast<const CAlntHeSpiral*>(he) : nullptr;
}

bool sameRadius(const CAlntHeSpiral& s, const CAlntHeArc& a)
{
    return std::fabs(s.getCurve().getRadius() - a.getCurve().getRadius()) < 1e-12;
}

// An ordinary TS->SC spiral whose arc follows it without a fixed start azimuth, at its radius.
bool leadsInto(const CAlntHeSpiral* s, const CAlntHeArc* a)
{
    return s && a && s->getCurve().isTSSC() && !a->isStartAzFixed() && sameRadius(*s, *a);
}

// An ordinary CS->ST spiral that follows the arc without a fixed start azimuth, at its radius.
bool leadsOutOf(const CAlntHeArc* a, const CAlntHeSpiral* s)
{
    return s && a && s->getCurve().isCSST() && !s->isStartAzFixed() && sameRadius(*s, *a);
}

} // namespace

bool CAlntH::getIpPosForElement(int i, double& N, double& E) const
{
    const int n = getNumOfHes();
    if (i < 0 || i >= n)
        return false;
    const auto at = [&](int k) -> const CAlntHe* { return k >= 0 && k < n ? m_hes.GetAt(k) : nullptr; };
    const CAlntHe* he = m_hes.GetAt(i);
    if (const CAlntHeIp* ip = CAlntHeIp::cast(he)) {
        N = ip->get_data().getIpNorth();
        E = ip->get_data().getIpEast();
        return true;
    }
    int first = i, last = i;
    if (const CAlntHeArc* arc = asArc(he)) {
        if (leadsInto(asSpiral(at(i - 1)), arc))
            first = i - 1;
        if (leadsOutOf(arc, asSpiral(at(i + 1))))
            last = i + 1;
    } else if (const CAlntHeSpiral* spiral = asSpiral(he)) {
        if (spiral->getCurve().isTSSC()) {
            const CAlntHeArc* next = asArc(at(i + 1));
            if (!leadsInto(spiral, next))
                return false;
            last = leadsOutOf(next, asSpiral(at(i + 2))) ? i + 2 : i + 1;
        } else if (spiral->getCurve().isCSST()) {
            const CAlntHeArc* prev = asArc(at(i - 1));
            if (!leadsOutOf(prev, spiral))
                return false;
            first = leadsInto(asSpiral(at(i - 2)), prev) ? i - 2 : i - 1;
        } else {
            return false;   // a compound spiral
        }
    } else {
        return false;
    }
    C2dPos p1, p2, ip;
    CMathAngle a1, a2;
    const CAlntHe* startHe = m_hes.GetAt(first);
    const CAlntHe* endHe = m_hes.GetAt(last);
    startHe->getStartAzimut(a1);
    if (!startHe->getStartPosNe(p1.north, p1.east) || !endHe->getFinalPosNe(p2.north, p2.east) ||
        !endHe->getFinalAzimut(a2) || isUnset(p1.north) || isUnset(p1.east) ||
        isUnset(p2.north) || isUnset(p2.east))
        return false;
    if (!IntersectPointDirLines(p1, a1, p2, a2, ip))
        return false;
    N = ip.north;
    E = ip.east;
    return true;
}
