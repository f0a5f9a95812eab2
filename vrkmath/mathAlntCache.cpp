#include "vrkmath/mathAlntCache.h"

#include "cogo/segment.h"
#include "vrkmath/mathAlntWalker.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool sameStation(double a, double b)
{
    return std::fabs(a - b) < kCacheStationZero;
}

// The plane point of a vertex: (north, east) in plan, (station, height) in profile.
C2dPos planeOf(const C2dPosAndSt& v)
{
    return C2dPos{v.north, v.east};
}
C2dPos planeOf(const CHtAndSt& v)
{
    return C2dPos{v.station, v.height};
}

// The bisection of the caches over `count` ascending keys: low = 0, high = count, probe =
// count / 2; a key equal within 1e-12 is found at the probe; a probe below the key raises low
// to it (or, when low is already there, ends the search with low = high); a probe above lowers
// high to it. On a miss `index` is the final probe: the first key after `key`, or count.
template <class KeyAt>
bool bisect(int count, double key, KeyAt keyAt, int& index)
{
    int low = 0;
    int high = count;
    int probe = count / 2;
    while (low < high) {
        const double k = keyAt(probe);
        if (sameStation(k, key)) {
            index = probe;
            return true;
        }
        if (k < key)
            low = low == probe ? high : probe;
        else
            high = probe;
        probe = (low + high) / 2;
    }
    index = probe;
    return false;
}

// ---- Shared work of the plan and profile vertex arrays ----

template <class V>
bool findStationIn(const TXContainerCArray<V>& a, double station, int& index)
{
    const V* data = a.GetData();
    return bisect(a.GetSize(), station, [data](int i) { return data[i].station; }, index);
}

// Where v goes: true with its index when it is to be inserted, false with the index of the
// vertex already at its station (or -1 for a station that is not a finite number).
template <class V>
bool insertionPoint(const TXContainerCArray<V>& a, const V& v, int& index)
{
    if (!std::isfinite(v.station)) {
        index = -1;
        return false;
    }
    const int n = a.GetSize();
    if (n == 0 || (a.GetData()[n - 1].station < v.station && !sameStation(a.GetData()[n - 1].station, v.station))) {
        index = n;
        return true;
    }
    return !findStationIn(a, v.station, index);
}

template <class V>
int nextVertexIndexIn(const TXContainerCArray<V>& a, double station)
{
    if (a.IsEmpty())
        return -1;
    int k;
    const int next = findStationIn(a, station, k) ? k + 1 : k;
    return next < a.GetSize() ? next : -1;
}

// The plane point at a station (a vertex's, or interpolated by station); false outside.
template <class V>
bool planeOnSegment(const TXContainerCArray<V>& a, double station, C2dPos& out)
{
    int k;
    if (findStationIn(a, station, k)) {
        out = planeOf(a.GetData()[k]);
        return true;
    }
    if (k == 0 || k >= a.GetSize())
        return false;
    const V& v0 = a.GetData()[k - 1];
    const V& v1 = a.GetData()[k];
    const double t = (station - v0.station) / (v1.station - v0.station);
    const C2dPos p0 = planeOf(v0);
    const C2dPos p1 = planeOf(v1);
    out = C2dPos{p0.north + (p1.north - p0.north) * t, p0.east + (p1.east - p0.east) * t};
    return true;
}

// Lower bound of the distance from p to the segment a-b: the gap to its bounding box along the
// axis where it is larger.
double boxGap(const C2dPos& p, const C2dPos& a, const C2dPos& b)
{
    const double gapN = std::max({0.0, std::min(a.north, b.north) - p.north, p.north - std::max(a.north, b.north)});
    const double gapE = std::max({0.0, std::min(a.east, b.east) - p.east, p.east - std::max(a.east, b.east)});
    return std::max(gapN, gapE);
}

template <class V>
int nearestSegmentIn(const TXContainerCArray<V>& a, const C2dPos& p, double* dist)
{
    const int n = a.GetSize();
    if (n == 0)
        return -1;
    if (n < 2) {
        if (dist)
            *dist = 0.0;
        return -1;
    }
    const V* data = a.GetData();
    double best = std::numeric_limits<double>::infinity();
    int bestIndex = -1;
    C2dSegment seg{planeOf(data[0]), planeOf(data[0])};
    for (int i = 0; i + 1 < n; ++i) {
        seg.start = seg.end;
        seg.end = planeOf(data[i + 1]);
        // A segment whose box lies farther than the best distance cannot win (nor tie).
        if (boxGap(p, seg.start, seg.end) > best)
            continue;
        const double d = seg.getDistance(p);
        if (d < best) {
            best = d;
            bestIndex = i;
        }
    }
    if (dist)
        *dist = best;
    return bestIndex;
}

// ---- Loader policies ----

struct FixedStep {
    double step;
};
struct ForDeviation {
    double deviation;
};

template <class Walker>
bool advanceWalker(Walker& w, const FixedStep& p)
{
    return w.advance(p.step);
}

// The element's own step; one below 0.001 m (a failed answer of 0, a negative or NaN answer
// included) leaves the element for the next one, so that the walk always moves on.
template <class Walker>
bool advanceWalker(Walker& w, const ForDeviation& p)
{
    double step = 0.0;
    if (!w.isZeroLength()) {
        step = w.getElement()->getStepForDeviation(w.getChainage(), p.deviation);
        if (!(step >= kCacheMinStep))
            return w.moveToNextElement();
    }
    return w.advance(step);
}

// A step that a walk by fixed steps or a one-element loader can finish with.
bool usableStep(double step)
{
    return step >= kCacheMinStep && std::isfinite(step);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// C2dPosAndSts

bool C2dPosAndSts::insertVertex(const C2dPosAndSt& v, int& index)
{
    if (!insertionPoint(*this, v, index))
        return false;
    InsertAt(index, v);
    if (GetSize() == 1) {
        m_minN = m_maxN = v.north;
        m_minE = m_maxE = v.east;
    } else {
        m_minN = std::min(m_minN, v.north);
        m_maxN = std::max(m_maxN, v.north);
        m_minE = std::min(m_minE, v.east);
        m_maxE = std::max(m_maxE, v.east);
    }
    return true;
}

bool C2dPosAndSts::findStation(double station, int& index) const
{
    return findStationIn(*this, station, index);
}

int C2dPosAndSts::getNextVertexIndex(double station) const
{
    return nextVertexIndexIn(*this, station);
}

bool C2dPosAndSts::getPosOnSegment(double station, C2dPos& pos) const
{
    return planeOnSegment(*this, station, pos);
}

int C2dPosAndSts::findNearestSegment(const C2dPos& p, double* dist) const
{
    return nearestSegmentIn(*this, p, dist);
}

void C2dPosAndSts::clearVertices()
{
    RemoveAll();
    m_minN = m_maxN = m_minE = m_maxE = 0.0;
}

// ---------------------------------------------------------------------------------------------
// CHtAndSts

bool CHtAndSts::insertVertex(const CHtAndSt& v, int& index)
{
    if (!insertionPoint(*this, v, index))
        return false;
    InsertAt(index, v);
    if (GetSize() == 1) {
        m_minH = m_maxH = v.height;
    } else {
        m_minH = std::min(m_minH, v.height);
        m_maxH = std::max(m_maxH, v.height);
    }
    return true;
}

bool CHtAndSts::findStation(double station, int& index) const
{
    return findStationIn(*this, station, index);
}

int CHtAndSts::getNextVertexIndex(double station) const
{
    return nextVertexIndexIn(*this, station);
}

bool CHtAndSts::getHtOnSegment(double station, double& height) const
{
    C2dPos p;
    if (!planeOnSegment(*this, station, p))
        return false;
    height = p.east;
    return true;
}

int CHtAndSts::findNearestSegment(const CHtAndSt& p, double* dist) const
{
    return nearestSegmentIn(*this, planeOf(p), dist);
}

void CHtAndSts::clearVertices()
{
    RemoveAll();
    m_minH = m_maxH = 0.0;
}

// ---------------------------------------------------------------------------------------------
// CNodePosIndexes

bool CNodePosIndexes::find(int posIndex, int& k) const
{
    const int* data = GetData();
    return bisect(GetSize(), posIndex, [data](int i) { return static_cast<double>(data[i]); }, k);
}

void CNodePosIndexes::addNode(int posIndex)
{
    if (IsEmpty() || posIndex > GetAt(GetUpperBound())) {
        Add(posIndex);
        return;
    }
    int k;
    find(posIndex, k);
    InsertAt(k, posIndex);
}

bool CNodePosIndexes::isNode(int posIndex) const
{
    int k;
    return find(posIndex, k);
}

int CNodePosIndexes::posIndex2AlntElementIndex(int posIndex) const
{
    if (posIndex < 0)
        return -1;
    int k;
    if (find(posIndex, k)) {
        const int* data = GetData();
        while (k < GetSize() - 2 && data[k] == data[k + 1])
            ++k;
        return k;
    }
    return k > 0 ? k - 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Shared work of the plan and profile caches.

namespace {

// Vertex insertion inside the array moves the vertices after it up by one; their node
// indexes move with them.
void shiftNodesFrom(CNodePosIndexes& nodes, int index)
{
    int* data = nodes.GetData();
    for (int i = nodes.GetSize() - 1; i >= 0 && data[i] >= index; --i)
        ++data[i];
}

// addVertex of both caches: inserts v and records its index as a node when isNode.
template <class Cache, class V>
int addCacheVertex(Cache& cache, CNodePosIndexes& nodes, const V& v, bool isNode)
{
    int index;
    const int before = cache.GetSize();
    if (cache.insertVertex(v, index) && index < before)
        shiftNodesFrom(nodes, index);
    if (isNode && index >= 0)
        nodes.addNode(index);
    return index;
}

// The element's point at a chainage, added to the cache as a vertex; false when it cannot be
// computed.
bool addElementPoint(CAlnt2dPosCache& cache, const CAlntHe& he, double chain, bool isNode)
{
    C2dPosAndSt v;
    if (!he.getPosNeAtChain(chain, v.north, v.east))
        return false;
    v.station = chain;
    cache.addVertex(v, isNode);
    return true;
}
bool addElementPoint(CAlntHtPosCache& cache, const CAlntVe& ve, double chain, bool isNode)
{
    CHtAndSt v;
    if (!ve.getHtAtChain(chain, v.height))
        return false;
    v.station = chain;
    cache.addVertex(v, isNode);
    return true;
}

// Whether an element may be loaded on its own: a vertical element must be ready (isok); a
// horizontal one is judged by its own answers.
bool elementReady(const CAlntHe&)
{
    return true;
}
bool elementReady(const CAlntVe& ve)
{
    return ve.isok();
}

// The walk of the whole alignment's E elements: the key points of each element entered, a
// vertex at every point the walker stops on (its joints as nodes). addKeyPoints(e) adds an
// element's key points to the cache.
template <class E, class Cache, class Policy, class AddKeyPoints>
bool loadAlntWalk(Cache& cache, const CAlnt& alnt, const Policy& policy, AddKeyPoints addKeyPoints)
{
    CAlntElementWalkerT<E> w(alnt);
    if (!w.setAtElement(0))
        return false;
    int entered = -1;
    for (;;) {
        const E& e = *w.getElement();
        if (w.getIndex() != entered) {
            entered = w.getIndex();
            addKeyPoints(e);
        }
        if (!addElementPoint(cache, e, w.getChainage(), w.isNode()))
            return false;
        if (!advanceWalker(w, policy))
            return true;
    }
}

// One element by fixed steps: its start, start + k * step while before its end, its end (start
// and end are nodes).
template <class Cache, class E>
bool loadElementWithStep(Cache& cache, const E& e, double step)
{
    double start, len;
    // A step below 0.001 m (0, negative, NaN) could never finish: refused.
    if (!usableStep(step) || !elementReady(e) || !e.getStartChainageInM(start) || !e.getHLengthInM(len) ||
        !std::isfinite(len))
        return false;
    const double end = start + len;
    if (!addElementPoint(cache, e, start, true))
        return false;
    for (double k = 1.0;; k += 1.0) {
        const double c = start + k * step;
        if (!(c < end))
            break;
        if (!addElementPoint(cache, e, c, false))
            return false;
    }
    return addElementPoint(cache, e, end, true);
}

// One element by its own steps for the deviation.
template <class Cache, class E>
bool loadElementForDeviation(Cache& cache, const E& e, double deviation)
{
    double start, len;
    if (!elementReady(e) || !e.getStartChainageInM(start) || !e.getHLengthInM(len) || !std::isfinite(len))
        return false;
    const double end = start + len;
    if (!addElementPoint(cache, e, start, true))
        return false;
    double c = start;
    while (c < end && !sameStation(c, end)) {
        const double step = e.getStepForDeviation(c, deviation);
        // A step below 0.001 m (an element answering 0, a negative or NaN) would never reach
        // the end: the load stops with false.
        if (!usableStep(step))
            return false;
        c += step;
        if (end - c < kCacheMinStep)
            c = end;   // as the walker does: a step ending within 0.001 m of the end ends on it
        if (!addElementPoint(cache, e, c, sameStation(c, end)))
            return false;
    }
    return true;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CAlnt2dPosCache

void CAlnt2dPosCache::clear()
{
    clearVertices();
    m_nodes.RemoveAll();
    m_ipNodes.RemoveAll();
}

int CAlnt2dPosCache::addVertex(const C2dPosAndSt& v, bool isNode)
{
    return addCacheVertex(*this, m_nodes, v, isNode);
}

void CAlnt2dPosCache::addKeyPoints(const CAlntHe& he)
{
    const CAlntHeIp* ip = CAlntHeIp::cast(&he);
    if (!ip || ip->get_data().isSimplePoint())
        return;
    TIpNodes nodes;
    ip->get_data().getIpNodes(nodes);
    m_ipNodes.Add(nodes);
}

bool CAlnt2dPosCache::loadOnlyNodes(const CAlnt& alnt)
{
    clear();
    double station = alnt.getStartChainageInM();
    C2dPosAndSt v;
    v.north = alnt.getStartPosN();
    v.east = alnt.getStartPosE();
    v.station = station;
    addVertex(v, true);
    for (int i = 0; i < alnt.getNumOfHes(); ++i) {
        const CAlntHe* he = alnt.getHe(i);
        double len;
        if (!he || !he->getHLengthInM(len) || !he->getFinalPosNe(v.north, v.east))
            return false;
        station += len;
        v.station = station;
        addVertex(v, true);
    }
    return true;
}

template <class Policy>
bool CAlnt2dPosCache::loadWalk(const CAlnt& alnt, const Policy& policy)
{
    return loadAlntWalk<CAlntHe>(*this, alnt, policy, [this](const CAlntHe& he) { addKeyPoints(he); });
}

bool CAlnt2dPosCache::loadNodesAndPosWithStep(const CAlnt& alnt, double step)
{
    clear();
    // A step below 0.001 m (0, negative, NaN) could never finish the walk: refused.
    return usableStep(step) && loadWalk(alnt, FixedStep{step});
}

bool CAlnt2dPosCache::loadNodesAndPosForDeviation(const CAlnt& alnt, double deviation)
{
    clear();
    return loadWalk(alnt, ForDeviation{deviation});
}

bool CAlnt2dPosCache::loadNodesAndPosWithStep(const CAlntHe& he, double step)
{
    clear();
    return loadElementWithStep(*this, he, step);
}

bool CAlnt2dPosCache::loadNodesAndPosForDeviation(const CAlntHe& he, double deviation)
{
    clear();
    return loadElementForDeviation(*this, he, deviation);
}

// ---------------------------------------------------------------------------------------------
// CAlntHtPosCache

void CAlntHtPosCache::clear()
{
    clearVertices();
    m_nodes.RemoveAll();
    m_vIpNodes.RemoveAll();
}

int CAlntHtPosCache::addVertex(const CHtAndSt& v, bool isNode)
{
    return addCacheVertex(*this, m_nodes, v, isNode);
}

void CAlntHtPosCache::addKeyPoints(const CAlntVe& ve)
{
    TVIpNode node;
    if (getVIp(ve, node))
        m_vIpNodes.Add(node);
}

bool CAlntHtPosCache::loadOnlyNodes(const CAlnt& alnt)
{
    clear();
    const CAlntV& profile = alnt.getAlntVes();
    double station = profile.getStartChainageInM();
    addVertex(CHtAndSt{profile.getStartPosH(), station}, true);
    for (int i = 0; i < profile.getNumOfVes(); ++i) {
        const CAlntVe* ve = profile.getVe(i);
        double len;
        if (!ve || !ve->isok() || !ve->getHLengthInM(len))
            return false;
        station += len;
        addVertex(CHtAndSt{ve->getFinalHt(), station}, true);
    }
    return true;
}

template <class Policy>
bool CAlntHtPosCache::loadWalk(const CAlnt& alnt, const Policy& policy)
{
    return loadAlntWalk<CAlntVe>(*this, alnt, policy, [this](const CAlntVe& ve) { addKeyPoints(ve); });
}

bool CAlntHtPosCache::loadNodesAndPosWithStep(const CAlnt& alnt, double step)
{
    clear();
    return usableStep(step) && loadWalk(alnt, FixedStep{step});
}

bool CAlntHtPosCache::loadNodesAndPosForDeviation(const CAlnt& alnt, double deviation)
{
    clear();
    return loadWalk(alnt, ForDeviation{deviation});
}

bool CAlntHtPosCache::loadNodesAndPosWithStep(const CAlntVe& ve, double step)
{
    clear();
    return loadElementWithStep(*this, ve, step);
}

bool CAlntHtPosCache::loadNodesAndPosForDeviation(const CAlntVe& ve, double deviation)
{
    clear();
    return loadElementForDeviation(*this, ve, deviation);
}

// ---------------------------------------------------------------------------------------------
// CAlnt3dPosCache

bool CAlnt3dPosCache::getMinMaxStationing(double& min, double& max) const
{
    min = 0.0;
    max = 0.0;
    const bool plan = !m_plan.IsEmpty();
    const bool profile = !m_profile.IsEmpty();
    if (!plan && !profile)
        return false;
    if (plan && profile) {
        min = std::min(m_plan.GetAt(0).station, m_profile.GetAt(0).station);
        max = std::max(m_plan.GetAt(m_plan.GetUpperBound()).station,
                       m_profile.GetAt(m_profile.GetUpperBound()).station);
    } else if (plan) {
        min = m_plan.GetAt(0).station;
        max = m_plan.GetAt(m_plan.GetUpperBound()).station;
    } else {
        min = m_profile.GetAt(0).station;
        max = m_profile.GetAt(m_profile.GetUpperBound()).station;
    }
    return true;
}

bool CAlnt3dPosCache::getNextVertexStationing(double station, double& next) const
{
    const int ip = m_plan.getNextVertexIndex(station);
    const int ih = m_profile.getNextVertexIndex(station);
    const bool plan = ip >= 1;
    const bool profile = ih >= 1;
    if (!plan && !profile)
        return false;
    if (plan && profile)
        next = std::min(m_plan.GetAt(ip).station, m_profile.GetAt(ih).station);
    else
        next = plan ? m_plan.GetAt(ip).station : m_profile.GetAt(ih).station;
    return true;
}
