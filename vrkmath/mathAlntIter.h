// Iterators over the vertical side of an alignment (vrkmath/mathAlnt.h).
//
// CAlntVeItr visits every primitive vertical piece in chainage order: grade lines, parabolas
// and arcs, the inner straight and curve of the long-section elements included.
// CAlntLsItr visits the long-section points a profile table lists: the start of the first
// element, then for each element its intersection point (curves) or its end (grade lines and
// grade breaks), points that repeat the previous one merged, ending at the end of the last
// element.
//
// Both keep a pointer to the alignment, which must outlive them and must not change while they
// are used. Failures leave an iterator where it was (CAlntVeItr::setAtAlnVe stores the index
// it is given all the same). An element type outside 0 ... 4 is met with the assertion report
// of "vrkmath/mathAlntIter".
#pragma once

#include "vrkmath/mathAlnt.h"

class CAlntVeItr {
public:
    // Index -1, no element, then setAtAlnVe(0).
    explicit CAlntVeItr(const CAlnt& alnt);
    CAlntVeItr(const CAlntVeItr&) = default;
    CAlntVeItr& operator=(const CAlntVeItr&) = default;

    // Stores i as the current index; when 0 <= i < count, element i becomes the current
    // element and its first piece (the element itself, or the inner straight of a
    // long-section element) the current piece: true. Otherwise false, element unchanged.
    bool setAtAlnVe(int i);
    // The next piece: the inner curve after the inner straight of a long-section element,
    // else the first piece of the next element. False at the end.
    bool nextAlnVe();

    const CAlnt* getAlnt() const { return m_alnt; }
    const CAlntVe* getCurVe() const { return m_curVe; }
    int getCurAlntVeIndex() const { return m_index; }
    // The current piece.
    const CAlntVe* getElement() const { return m_curPiece; }

private:
    const CAlnt* m_alnt;
    const CAlntVe* m_curVe;
    int m_index;
    const CAlntVe* m_curPiece;
};

class CAlntLsItr {
public:
    // Which point of an element the iterator stands on.
    enum TIpStage {
        ipStageStart = 0,   // the element's start point
        ipStageIp = 1,      // its intersection point
        ipStageEnd = 2      // its end point
    };
    struct TStatus {
        const CAlntVe* element;
        int index;          // -1 before the first positioning
        TIpStage stage;
        CLsInfo ls;         // the current long-section point
    };

    // Positioned at the start of element 0 (no element when the profile is empty).
    explicit CAlntLsItr(const CAlnt& alnt);
    CAlntLsItr(const CAlntLsItr&) = default;
    CAlntLsItr& operator=(const CAlntLsItr&) = default;

    // Moves to the next long-section point that differs from the current one (all five
    // fields within 1e-12 count as equal); false at the end, the iterator unchanged.
    bool nextLs();

    const CAlnt* getAlnt() const { return m_alnt; }
    const CAlntVe* getCurElement() const { return m_status.element; }
    int getCurAlntVeIndex() const { return m_status.index; }
    const CLsInfo& getCurLs() const { return m_status.ls; }

private:
    // Positions `status` on element `index` at `stage` (stored first); false unless the
    // element exists. A grade line's intersection point may move it on to the next element.
    bool doGetIp(TStatus& status, int index, TIpStage stage) const;
    // The intersection point of status.element (stage 1).
    void doGetElementIp(TStatus& status) const;
    // The next (index, stage) to visit after (i, s).
    static void doIncStage(const CAlnt& alnt, int& i, TIpStage& s);
    static void doPreIncStage(int& i, TIpStage& s);

    const CAlnt* m_alnt;
    TStatus m_status;
};
