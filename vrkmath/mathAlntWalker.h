// The element walkers of the position caches: a walk along the horizontal (CAlntHeWalker) or
// the vertical (CAlntVeWalker) elements of an alignment by station steps, which stops on every
// element joint once.
//
// Stations (chainages) and lengths in metres. The walker keeps a pointer to the alignment,
// which must outlive it and must not change while it is used.
//
// Termination: every advance either moves the walk on by its step or to the next element, and
// a step that would end within 0.001 m of an element's end ends on it; callers
// that may be handed steps that are not positive must not advance by them (the cache loaders
// refuse or skip such steps).
#pragma once

#include "vrkmath/mathAlnt.h"

#include <cmath>

// How a walker reads the elements of one side of an alignment.
template <class E>
struct TAlntElementsOf;

template <>
struct TAlntElementsOf<CAlntHe> {
    static int count(const CAlnt& a) { return a.getNumOfHes(); }
    static const CAlntHe* at(const CAlnt& a, int i) { return a.getHe(i); }
};

template <>
struct TAlntElementsOf<CAlntVe> {
    static int count(const CAlnt& a) { return a.getNumOfVes(); }
    static const CAlntVe* at(const CAlnt& a, int i) { return a.getVe(i); }
};

template <class E>
class CAlntElementWalkerT {
public:
    // An invalid walker on alnt; position it with setAtElement.
    explicit CAlntElementWalkerT(const CAlnt& alnt) : m_alnt(&alnt) {}

    // Positions at the start of element i: valid when 0 <= i < count, the element is ready
    // (isok) and gives its start chainage and a finite length >= 0. Otherwise the walker
    // becomes invalid. Returns whether it is valid.
    bool setAtElement(int i)
    {
        m_element = nullptr;
        m_index = i;
        if (i < 0 || i >= TAlntElementsOf<E>::count(*m_alnt))
            return false;
        const E* e = TAlntElementsOf<E>::at(*m_alnt, i);
        double start, len;
        if (!e || !e->isok() || !e->getStartChainageInM(start) || !e->getHLengthInM(len) ||
            !std::isfinite(start) || !std::isfinite(len) || len < 0.0)
            return false;
        m_element = e;
        m_chainage = start;
        m_walked = 0.0;
        m_length = len;
        m_reached = false;
        return true;
    }
    // The element after the current one; false (invalid) past the last.
    bool moveToNextElement() { return isValid() && setAtElement(m_index + 1); }

    bool isValid() const { return m_element != nullptr; }
    bool isAtStart() const { return m_walked == 0.0; }
    // The element is shorter than 1e-12 m.
    bool isZeroLength() const { return m_length < 1e-12; }
    // A zero-length element is at its end once an advance has set the flag (so that its end
    // is visited as a node of its own, on the vertex of its start); any other element when
    // nothing of it remains (1e-12).
    bool isAtEnd() const
    {
        if (isZeroLength())
            return m_reached;
        return std::fabs(m_length - m_walked) < 1e-12;
    }
    // The current point is a joint.
    bool isNode() const { return isAtStart() || isAtEnd(); }
    bool isLastElement() const { return m_index == TAlntElementsOf<E>::count(*m_alnt) - 1; }

    // Moves on by `step` metres of station: onto the element's end when the step ends within
    // 0.001 of it or beyond it; from an element's end to the next element's start (the joint
    // is visited once, as that start); from the last element's end nowhere (false, the walker
    // becomes invalid). False for an invalid walker.
    bool advance(double step)
    {
        if (!isValid())
            return false;
        if (isAtEnd()) {
            if (isLastElement()) {
                m_element = nullptr;
                return false;
            }
            return setAtElement(m_index + 1);
        }
        const double remaining = m_length - m_walked;
        if (std::fabs(remaining - step) < kWalkerSnap || step > remaining) {
            m_walked = m_length;
            m_reached = true;
        } else {
            m_walked += step;
        }
        if (!isAtEnd()) {
            m_chainage += step;
            return true;
        }
        if (!isLastElement())
            return setAtElement(m_index + 1);
        double finalChain;
        if (!m_element->getFinalChainageInM(finalChain)) {
            m_element = nullptr;
            return false;
        }
        m_chainage = finalChain;
        return true;
    }

    const E* getElement() const { return m_element; }
    int getIndex() const { return m_index; }
    double getChainage() const { return m_chainage; }
    double getLength() const { return m_length; }
    double getWalked() const { return m_walked; }

private:
    static constexpr double kWalkerSnap = 0.001;

    const CAlnt* m_alnt;
    const E* m_element = nullptr;
    int m_index = -1;
    double m_chainage = 0.0;
    double m_walked = 0.0;
    double m_length = 0.0;
    bool m_reached = false;
};

typedef CAlntElementWalkerT<CAlntHe> CAlntHeWalker;
typedef CAlntElementWalkerT<CAlntVe> CAlntVeWalker;
