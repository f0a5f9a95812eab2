// Position caches: sampled copies of an alignment (vrkmath/mathAlnt.h) for drawing, for finding
// where a point lies relative to the road and for building offset lines.
//
//   C2dPosAndSts / CAlnt2dPosCache   plan vertices (north, east, station)
//   CHtAndSts / CAlntHtPosCache      profile vertices (height, station)
//   CAlnt3dPosCache                  a plan cache and a profile cache together
//
// Units: stations (chainages), positions, heights and deviations in metres; plan positions
// north/east on the grid. A profile is treated as the plane (station, height) wherever a
// distance is needed.
//
// Vertices are kept in strictly increasing station order: two vertices are at the same station
// when their stations differ by less than 1e-12 (kCacheStationZero), and a vertex at a station
// already held is not inserted again. Each cache records which vertices are nodes (element
// joints: node k is the start of element k, the last node the end of the last element; a
// zero-length element repeats its node) and the curve key points of its elements.
//
// A cache is loaded in one of three ways (each clears it first): nodes only, vertices at a
// fixed station step, or vertices placed so that no chord departs from the alignment by more
// than a deviation. A failed loader returns false and keeps what it added up to the failure.
// Caches are plain values; copying copies every container. The TIpNodes records point to the
// corners of the alignment they were loaded from: they are valid while that alignment lives
// unchanged.
#pragma once

#include "inlines/templates.h"
#include "numeric/mathAngle.h"
#include "vrkmath/mathAlnt.h"
#include "vrkmath/mathAlntV.h"
#include "vrkmath/mathCurveIp.h"

// Station zero tolerance of the caches, metres.
constexpr double kCacheStationZero = 1e-12;

// The smallest step the step and deviation loaders walk by, metres: a step that would end
// within this of an element's end ends on it, and a deviation step below it is not taken.
constexpr double kCacheMinStep = 0.001;

// One plan vertex: north, east (the C2dPos part) and station.
struct C2dPosAndSt : C2dPos {
    double station = 0.0;
};

// One profile vertex: height and station.
struct CHtAndSt {
    double height = 0.0;
    double station = 0.0;
};

// Plan vertices in strictly increasing station order with their bounding box (all 0 when
// empty). Add vertices through insertVertex (or a cache's addVertex), not through the array
// operations, which keep neither the order nor the box.
class C2dPosAndSts : public TXContainerCArray<C2dPosAndSt> {
public:
    // Inserts v by station: appended when it lies after the last vertex, else at its bisection
    // position; nothing when a vertex at its station is held. `index` receives the index of the
    // inserted or the existing vertex. True when inserted (the box then takes v in).
    bool insertVertex(const C2dPosAndSt& v, int& index);
    // Bisection over the stations: true with the vertex's index when a vertex lies at the
    // station (within 1e-12); else false with the index of the first vertex after it (or the
    // count).
    bool findStation(double station, int& index) const;
    // The index of the first vertex strictly after the station (a vertex at the station itself
    // is passed over); -1 when empty or when no vertex follows.
    int getNextVertexIndex(double station) const;
    // The position at a station: a vertex's own position, or the interpolation by station
    // between the two vertices around it. False before the first or after the last vertex.
    bool getPosOnSegment(double station, C2dPos& pos) const;
    // The index i of the segment (vertex i to i + 1) nearest to p (point-to-segment distance,
    // metres; the lower index on equal distances); -1 with fewer than two vertices. `dist`,
    // when given and the container is not empty, receives the distance (0 with one vertex).
    int findNearestSegment(const C2dPos& p, double* dist) const;

    double getMinNorth() const { return m_minN; }
    double getMaxNorth() const { return m_maxN; }
    double getMinEast() const { return m_minE; }
    double getMaxEast() const { return m_maxE; }

protected:
    // Removes the vertices and zeroes the box.
    void clearVertices();

private:
    double m_minN = 0.0;
    double m_maxN = 0.0;
    double m_minE = 0.0;
    double m_maxE = 0.0;
};

// Profile vertices in strictly increasing station order with their height range (0, 0 when
// empty). The operations are those of C2dPosAndSts with heights for positions; distances are
// measured in the plane (station, height).
class CHtAndSts : public TXContainerCArray<CHtAndSt> {
public:
    bool insertVertex(const CHtAndSt& v, int& index);
    bool findStation(double station, int& index) const;
    int getNextVertexIndex(double station) const;
    // The height at a station: a vertex's own, or interpolated by station between the two
    // around it; false outside the vertices.
    bool getHtOnSegment(double station, double& height) const;
    // p.station is the first axis, p.height the second.
    int findNearestSegment(const CHtAndSt& p, double* dist) const;

    double getMinHeight() const { return m_minH; }
    double getMaxHeight() const { return m_maxH; }

protected:
    void clearVertices();

private:
    double m_minH = 0.0;
    double m_maxH = 0.0;
};

// The vertex indexes that are nodes, in increasing order (an index repeats for a zero-length
// element).
class CNodePosIndexes : public TXContainerCArray<int> {
public:
    // Appends the vertex index, or inserts it at its bisection position when it is not greater
    // than the last node (an equal index goes in next to its twin).
    void addNode(int posIndex);
    // Whether the vertex index is a node (bisection).
    bool isNode(int posIndex) const;
    // The element a vertex index belongs to: -1 for a negative index; a node found by
    // bisection at k gives k, moved on past repeated nodes while k < count - 2 (the last
    // element starting there); an index between nodes gives the last node before it (never
    // below 0).
    int posIndex2AlntElementIndex(int posIndex) const;

private:
    // The bisection over the node indexes (see findStation).
    bool find(int posIndex, int& k) const;
};

// The plan cache: vertices, nodes and the key points of the intersection-point corners.
class CAlnt2dPosCache : public C2dPosAndSts {
public:
    // Empties vertices, box, nodes and key points.
    void clear();
    // Inserts the vertex (see insertVertex); when isNode, the index of the inserted or existing
    // vertex at its station is recorded as a node. Returns that index.
    int addVertex(const C2dPosAndSt& v, bool isNode);

    // ---- Loaders (each clears first) ----
    // The start point and the end of each element, all nodes. False when an element cannot
    // give its length or end point.
    bool loadOnlyNodes(const CAlnt& alnt);
    // Walks the elements by `step` metres of station (a step ending within 0.001 of an
    // element's end ends on it; every joint is a node). False for a step below 0.001 m
    // (kCacheMinStep, including 0, negatives and NaN, which could never finish), an alignment
    // without a usable first element, or a point that cannot be computed.
    bool loadNodesAndPosWithStep(const CAlnt& alnt, double step);
    // Walks each element by its own getStepForDeviation so that no chord departs from the
    // alignment by more than `deviation` metres; an element that answers a step below 0.001
    // is left for the next one. False as above.
    bool loadNodesAndPosForDeviation(const CAlnt& alnt, double deviation);
    // One placed element: its start, start + k * step while before its end, its end (start and
    // end are nodes). False for a step below 0.001 m, an unplaced element or a failed point.
    bool loadNodesAndPosWithStep(const CAlntHe& he, double step);
    // One placed element by its steps for the deviation; a step ending within 0.001 of the end
    // ends on it. False for an unplaced element, a failed point, or a step answer below
    // 0.001 m before the end is reached (such an element could never be finished).
    bool loadNodesAndPosForDeviation(const CAlntHe& he, double deviation);

    const CNodePosIndexes& getNodes() const { return m_nodes; }
    const TXContainerCArray<TIpNodes>& getIpNodes() const { return m_ipNodes; }

private:
    template <class Policy>
    bool loadWalk(const CAlnt& alnt, const Policy& policy);
    // Appends the corner's key points when he is an eased intersection-point corner.
    void addKeyPoints(const CAlntHe& he);

    CNodePosIndexes m_nodes;
    TXContainerCArray<TIpNodes> m_ipNodes;
};

// The profile cache: vertices, nodes and one TVIpNode per vertical element.
class CAlntHtPosCache : public CHtAndSts {
public:
    void clear();
    int addVertex(const CHtAndSt& v, bool isNode);

    // The loaders of CAlnt2dPosCache on the profile (heights from the vertical elements; the
    // vertical start height and start chainage for the first node). An element that is not
    // ready (isok) fails them.
    bool loadOnlyNodes(const CAlnt& alnt);
    bool loadNodesAndPosWithStep(const CAlnt& alnt, double step);
    bool loadNodesAndPosForDeviation(const CAlnt& alnt, double deviation);
    bool loadNodesAndPosWithStep(const CAlntVe& ve, double step);
    bool loadNodesAndPosForDeviation(const CAlntVe& ve, double deviation);

    const CNodePosIndexes& getNodes() const { return m_nodes; }
    const TXContainerCArray<TVIpNode>& getVIpNodes() const { return m_vIpNodes; }

private:
    template <class Policy>
    bool loadWalk(const CAlnt& alnt, const Policy& policy);
    void addKeyPoints(const CAlntVe& ve);

    CNodePosIndexes m_nodes;
    TXContainerCArray<TVIpNode> m_vIpNodes;
};

// A plan cache and a profile cache of one alignment.
class CAlnt3dPosCache {
public:
    CAlnt2dPosCache& getPlan() { return m_plan; }
    const CAlnt2dPosCache& getPlan() const { return m_plan; }
    CAlntHtPosCache& getProfile() { return m_profile; }
    const CAlntHtPosCache& getProfile() const { return m_profile; }

    // min and max start at 0. Both caches loaded: the smaller first station and the larger
    // last station; one loaded: its first and last station; none: false.
    bool getMinMaxStationing(double& min, double& max) const;
    // The station of the next vertex after `station` in either cache (the smaller of the two);
    // a cache whose next vertex is its first one (the station lies before it) or that has none
    // does not count. False when neither counts.
    bool getNextVertexStationing(double station, double& next) const;

private:
    CAlnt2dPosCache m_plan;
    CAlntHtPosCache m_profile;
};
