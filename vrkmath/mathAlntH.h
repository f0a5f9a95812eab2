// The horizontal alignment of a road: CAlntH, an ordered list of horizontal elements
// (vrkmath/mathAlntHe.h) from a start point and a start chainage.
//
// Units and frames: chainages, lengths, offsets and positions in metres (north/east grid);
// azimuths returned as double are decimal degrees clockwise from grid north, not reduced into
// [-180, 180]; CMathAngle values are radians. A positive offset lies right of the direction of
// increasing chainage.
//
// Ownership and placement: the alignment owns clones of the elements given to it. After every
// change it lets the elements from the change to the end follow their predecessors: each
// starts at the previous element's end chainage and end point and, unless its start azimuth
// is fixed, continues in the previous element's final direction. The first element starts at
// the alignment's start point and start chainage heading grid north (azimuth 0) unless its
// start azimuth is fixed: the alignment's start azimuth is stored and reported, but setStartAz
// does not move the geometry. A bulk-update bracket (onBulkUpdateStarted ...
// onBulkUpdateFinished) defers the placement to one pass at its end; elements added inside it
// stay unplaced until then and must not be queried by chainage.
//
// Elements are handed out read-only: they change only through the editing operations. Indexes
// are not range-checked except where a comment says so: the caller keeps them within
// 0 ... count - 1 (insert: 0 ... count).
//
// Nothing throws; outputs are written only on success. Queries fill caches (in the alignment
// and in its elements): one alignment must not be queried from two threads at once.
#pragma once

#include "inlines/ptrArray.h"
#include "numeric/mathAngle.h"
#include "vrkmath/mathAlntHe.h"

#include <cmath>
#include <vector>

class CAlntH {
public:
    // Start chainage 0, chainage interval 100, start point (0, 0), start azimuth 0, no
    // elements.
    CAlntH();
    // An empty alignment (not in a bulk update) that then copies other as operator= does.
    CAlntH(const CAlntH& other);
    // Deletes the elements held, then copies start chainage, interval, start point, start
    // azimuth and the cached length, and a clone of each of other's elements in order (the
    // clones keep their placement). Self-assignment changes nothing; the bulk-update flag stays.
    CAlntH& operator=(const CAlntH& other);
    // Deletes every element.
    virtual ~CAlntH();

    // ---- Virtual operations ----
    // Azimuth (degrees) at a chainage inside the alignment (see getAlntHeAtChain).
    virtual bool getAzimuthAtChain(double chain, double& azDeg) const;
    // As getAzimuthAtChain, and beyond the ends: the last element's final azimuth after the
    // end, the first element's start azimuth before the start (0 for an unset angle). False
    // for an empty alignment or when the length or that azimuth cannot be obtained.
    virtual bool getAzimuthAtChainExtr(double chain, double& azDeg) const;
    // Metres; then the elements are placed again from element 0.
    virtual void setStartChainageInM(double chain);
    // The nominal station interval of the application's station lists (metres); not used here.
    virtual void setChainageIntervalInM(double interval);
    // Stored and reported by getStartAzimut; the geometry does not change (see above).
    virtual void setStartAz(const CMathAngle& az);
    // False, nothing changed, when !he.isok(); else a clone is appended and placed.
    virtual bool appendElement(const CAlntHe& he);
    // The same check; the clone is inserted at i (0 ... count) and placed with what follows.
    virtual bool insertElement(int i, const CAlntHe& he);
    // The same check; the clone replaces (and deletes) element i; placed from i.
    virtual bool replaceElement(int i, const CAlntHe& he);
    // Deletes element i; when elements remain they are placed again from max(i - 1, 0). True.
    virtual bool removeHe(int i);
    // Ends a bulk update: clears the flag and places every element from element 0.
    virtual void onBulkUpdateFinished();

    // Starts a bulk update (see above).
    void onBulkUpdateStarted() { m_inBulkUpdate = true; }
    bool isInBulkUpdate() const { return m_inBulkUpdate; }

    // ---- Elements ----
    const CPtrArrayT<CAlntHe>& getHes() const { return m_hes; }
    int getNumOfHes() const { return m_hes.GetSize(); }
    const CAlntHe* getHe(int i) const { return m_hes.GetAt(i); }
    const CAlntHe* getFirstHe() const;   // null when empty
    const CAlntHe* getLastHe() const;    // null when empty

    // ---- Start values ----
    double getStartChainageInM() const { return m_startChainage; }
    double getStartPosN() const { return m_startN; }
    double getStartPosE() const { return m_startE; }
    const CMathAngle& getStartAzimut() const { return m_startAz; }
    void setStartAzInDegs(double deg) { setStartAz(CMathAngle(deg)); }
    double getChainageIntervalInM() const { return m_chainageInterval; }
    // start chainage + d, and chain - start chainage (metres).
    double distance2Chainage(double d) const { return m_startChainage + d; }
    double chainage2Distance(double chain) const { return chain - m_startChainage; }

    // ---- Queries ----
    // Sum of the element lengths (0 when empty), cached; false when an element cannot give
    // its length.
    bool getHLengthInM(double& len) const;
    // Start chainage + total length.
    bool getFinalChainageInM(double& chain) const;
    // The last element's end; the start point when there are no elements.
    bool getFinalPosNe(double& N, double& E) const;
    // The element whose chainage range holds `chain`: the last element whose start chainage
    // is <= chain (at a joint the later element), or element 0 for a chainage before the
    // start; accepted when chain - its start chainage <= its length + roadTolerance. Null for
    // an empty alignment, a chainage beyond the end, or an unplaced element on the way.
    // lenInElement, when given, receives chain - the element's start chainage (negative
    // before the start; the element snaps only within 0.001 m).
    const CAlntHe* getAlntHeAtChain(double chain, double* lenInElement = nullptr) const;
    // The same element as getAlntHeAtChain, as its index (-1 where that gives null);
    // elementLength, when given, receives the element's length.
    int getHeIndexAtChain(double chain, double* lenInElement = nullptr, double* elementLength = nullptr) const;
    // Position at a chainage inside the alignment; false outside it.
    bool getPosNeAtChain(double chain, double& N, double& E) const;
    // getPosNeAtChainAndOffsetExtr with offset 0.
    bool getPosNeAtChainExtr(double chain, double& N, double& E) const;
    // Position at a chainage and signed offset (metres, positive right), beyond the ends
    // along the end tangents. False for an empty alignment, when the length cannot be
    // obtained, or when the azimuth needed cannot be.
    bool getPosNeAtChainAndOffsetExtr(double chain, double offset, double& N, double& E) const;
    // The IP of the curve group element i belongs to (an IP element's own IP; an arc with the
    // spirals leading into and out of it): the intersection of the group's start tangent and
    // end tangent. False for segments, compound spirals, spirals not attached to an arc,
    // parallel tangents, an index outside the list, or a missing position or azimuth.
    bool getIpPosForElement(int i, double& N, double& E) const;

protected:
    // Metres; then the elements are placed again from element 0 when there are any.
    void setStartPos(double N, double E);
    // Deletes every element and empties the list.
    void removeAllHes();
    // Inserts an element the alignment takes ownership of (made with new) at i and places
    // from i.
    void doInsertHe(int i, CAlntHe* he);
    // Placement after a change at index i (see above): nothing inside a bulk update;
    // otherwise the cached length is cleared and elements max(i - 1, 0) ... count - 1 are
    // placed in order (one early, so that a corner sees its new next corner).
    void doHPostUpdate(int i);
    // Copies start values and the cached length and appends a clone of each of other's
    // elements, without placing them (operator= and the whole alignment's copy).
    void doCopyHes(const CAlntH& other);

private:
    // The tangent an extrapolation follows: beyond the end the last element's end tangent,
    // before the start the first element's start tangent. With n and e also the point it leaves
    // from and in d the distance along it to `chain`; false when an element cannot answer.
    bool extrapolationTangent(double chain, CMathAngle& dir, double* n = nullptr, double* e = nullptr,
                              double* d = nullptr) const;
    // The element the backward scan over the start chainages stops at (see the source), its
    // start chainage and its length; false when the scan meets an element without a start
    // chainage or the element found cannot give its length.
    bool findElement(double chain, int& index, double& start, double& len) const;
    // Builds the index of start chainages and lengths when stale; true when the bisection may
    // answer.
    bool indexUsable() const;
    void fillBuckets() const;
    int bucketSearch(double chain) const;
    void invalidateIndex()
    {
        m_indexState = indexStale;
        m_lastAzChain = std::nan("");
    }

    double m_startChainage;
    double m_chainageInterval;
    double m_startN;
    double m_startE;
    CMathAngle m_startAz;
    CPtrArrayT<CAlntHe> m_hes;
    mutable double m_totalLen;   // cache, unset when not computed
    bool m_inBulkUpdate;

    // Start chainages (and a NaN after the last) and lengths of the elements in order, for the
    // search by buckets and bisection, and
    // the index last found (queries at nearby chainages mostly fall into the same element).
    enum IndexState { indexStale, indexSorted, indexUnusable };
    mutable std::vector<double> m_starts;
    mutable std::vector<double> m_lens;
    mutable IndexState m_indexState;
    mutable int m_lastFound;
    // Buckets of equal chainage from the first start: the element at each bucket's start and
    // the element starts inside the bucket (the first of them in `split`; +inf: none), so that
    // a chainage away from the last one finds its element in one step.
    struct ElementBucket {
        double split = 0.0;
        int first = 0;
        int count = 0;
    };
    mutable std::vector<ElementBucket> m_buckets;
    mutable double m_bucketsPerM = 0.0;
    // The chainage of the last position answered inside the alignment (NaN: none since the
    // last change) and the azimuth there, degrees.
    mutable double m_lastAzChain;
    mutable double m_lastAzDeg;
};
