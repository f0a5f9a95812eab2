// The vertical alignment (profile) of a road: CAlntV, and the curve key points TVIpNode /
// getVIp used by the height cache.
//
// Units: chainages, lengths and heights in metres, grades in percent (see
// vrkmath/mathAlntVe.h). The snap tolerance is `roadTolerance` (cogo/curveFormulas.h).
#pragma once

#include "inlines/ptrArray.h"
#include "vrkmath/mathAlntVe.h"

#include <vector>

// Start, end and intersection point of a vertical element's curve, metres.
struct TVIpNode {
    double startHt;
    double startChain;
    double endHt;
    double endChain;
    double ipHt;      // intersection point: for a grade line its end, for a parabola the point
    double ipChain;   // at half length on the start tangent, for an arc the tangents' crossing
};

// The element's curve as three points: the element itself for grade lines, parabolas and arcs,
// the inner parabola of a CVerticalLSElement (false without one), the inner arc of a
// CAlntVeLsWithArc. False when the chosen element cannot give its long-section point or start
// chainage; an unknown type also logs an assertion report. `node` is written only on success.
bool getVIp(const CAlntVe& e, TVIpNode& node);

// An ordered list of vertical elements with a start height and a start chainage. The profile
// owns clones of the elements given to it; after every change it lets the elements from the
// change to the end follow their predecessors (a bulk-update bracket defers that to its end).
// Elements are handed out read-only: they change only through the editing operations.
//
// Indexes are not range-checked: the caller keeps them within 0 ... count - 1 (insert:
// 0 ... count).
class CAlntV {
public:
    CAlntV();
    // An empty profile that then copies other's start values and elements (doCopyVes).
    CAlntV(const CAlntV& other);
    // Deletes the elements held, then copies as the copy constructor does; self-assignment
    // changes nothing. The target's own bulk-update flag is kept.
    CAlntV& operator=(const CAlntV& other);
    virtual ~CAlntV();

    // ---- Editing: each stores e.clone() and returns true ----
    // Appends; neighbour updates from the new index.
    virtual bool appendElement(const CAlntVe& e);
    // Inserts at i (0 ... count; count appends); neighbour updates from i.
    virtual bool insertElement(int i, const CAlntVe& e);
    // Replaces (and deletes) element i; neighbour updates from i.
    virtual bool replaceElement(int i, const CAlntVe& e);
    // Deletes element i; neighbour updates from i - 1 (0 when i is 0) when elements remain.
    virtual bool removeVe(int i);
    // Ends a bulk update: clears the flag and updates from element 0.
    virtual void onBulkUpdateFinished();

    // Starts a bulk update: until onBulkUpdateFinished the neighbour updates (and the clearing
    // of the length cache) are deferred.
    void onBulkUpdateStarted();
    bool isInBulkUpdate() const { return m_inBulkUpdate; }

    // Deletes every element.
    void removeAllVes();
    // Inserts an element the profile takes ownership of (made with new) at i and updates
    // from i. The caller must not change the element through its own pointer afterwards.
    void doInsertVe(int i, CAlntVe* e);
    // Copies start height, start chainage and the length cache, and appends a clone of each of
    // other's elements in order, without neighbour updates (the clones carry their state).
    void doCopyVes(const CAlntV& other);

    // ---- Element access ----
    const CPtrArrayT<CAlntVe>& getVes() const { return m_ves; }
    int getNumOfVes() const { return m_ves.GetSize(); }
    const CAlntVe* getVe(int i) const { return m_ves.GetAt(i); }
    const CAlntVe* getFirstVe() const;   // null when empty
    const CAlntVe* getLastVe() const;    // null when empty

    // ---- Start values (a change updates from element 0 when there are elements) ----
    double getStartPosH() const { return m_startHt; }
    double getStartChainageInM() const { return m_startChain; }
    void setStartHeight(double height);
    void setStartChainageInM(double chainage);

    // ---- Queries ----
    // Sum of the elements' horizontal lengths (0 when empty), cached; true.
    bool getHLengthInM(double& len) const;
    // The last element's final height; false when empty.
    bool getFinalHeight(double& height) const;
    // The element that holds the chainage (the later one at a joint; up to roadTolerance past
    // an element's end; the first element for a chainage before the profile), or null when it
    // is not ready or the chainage lies beyond it. `len`, when given, receives chainage - the
    // element's start chainage.
    const CAlntVe* getAlntVeAtChain(double chainage, double* len = nullptr) const;
    // Height at a chainage inside the profile; false outside it or on an element not ready.
    bool getHeightAtChain(double chainage, double& height) const;
    // As getHeightAtChain, and outside the profile along the first element's start grade
    // (before its start) or the last element's end grade (beyond its end). The profile's ends
    // are its end elements' own: a VIP profile begins at its first VIP, wherever the start
    // chainage lies. False for an empty or zero-length profile.
    bool getHeightAtChainExtr(double chainage, double& height) const;

protected:
    // Consulted before append (prev = count - 1, next = count), insert (i - 1, i) and
    // replace (i - 1, i + 1); accepts every element.
    bool checkIfOk(int prevIndex, int nextIndex, const CAlntVe& e) const;

private:
    // Lets the elements from k - 1 (or 0) to the end follow their predecessors.
    void doVPostUpdate(int k);
    // Forgets the start-chainage index (after any change of the list or of the elements).
    void invalidateIndex() { m_indexState = indexStale; }
    // Builds the start-chainage index when it is stale; true when it can answer lookups.
    bool indexUsable() const;
    // The element whose start the backward scan over the start chainages stops at; false when
    // a start chainage cannot be read.
    bool findStart(double chainage, int& index, double& start) const;

    double m_startHt;
    double m_startChain;
    CPtrArrayT<CAlntVe> m_ves;
    mutable double m_totalLen;   // cache, unset when it must be recomputed
    bool m_inBulkUpdate;

    // Start chainages of all elements, in order, for the lookup by bisection.
    enum IndexState { indexStale, indexSorted, indexUnusable };
    mutable std::vector<double> m_starts;
    mutable IndexState m_indexState;
};
