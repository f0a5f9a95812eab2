#include "vrkmath/mathAlntV.h"

#include "cogo/curveFormulas.h"
#include "numeric/unsetValue.h"
#include "vrkmath/mathAssert.h"
#include "vrkmath/mathAlntVeArc.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------------------------
// getVIp

bool getVIp(const CAlntVe& e, TVIpNode& node)
{
    const CAlntVe* curve = nullptr;
    switch (e.getType()) {
    case veGradeLine:
    case veParabola:
    case veArc:
        curve = &e;
        break;
    case veLsParabola:
        if (const CVerticalLSElement* ls = dynamic_cast<const CVerticalLSElement*>(&e)) {
            curve = ls->getParabole();
            if (!curve)
                return false;
        }
        break;
    case veLsArc:
        if (const CAlntVeLsWithArc* ls = dynamic_cast<const CAlntVeLsWithArc*>(&e))
            curve = &ls->getArc();
        break;
    }
    if (!curve) {
        ReportAlntAssertion("vrkmath/mathAlntCache", 76);
        return false;
    }
    CLsInfo ip;
    double start;
    if (!curve->getAsLs(ip) || !curve->getStartChainageInM(start))
        return false;
    node = TVIpNode{curve->getStartHt(), start, curve->getFinalHt(), curve->getFinalChain(), ip.height,
                    ip.chainage};
    return true;
}

// ---------------------------------------------------------------------------------------------
// CAlntV: construction, copy

CAlntV::CAlntV()
    : m_startHt(0.0), m_startChain(0.0), m_totalLen(unsetDouble()), m_inBulkUpdate(false),
      m_indexState(indexStale)
{
}

CAlntV::CAlntV(const CAlntV& other) : CAlntV()
{
    doCopyVes(other);
}

CAlntV& CAlntV::operator=(const CAlntV& other)
{
    if (this != &other) {
        removeAllVes();
        doCopyVes(other);
    }
    return *this;
}

CAlntV::~CAlntV() = default;   // the array deletes the elements

// ---------------------------------------------------------------------------------------------
// Editing

bool CAlntV::checkIfOk(int /*prevIndex*/, int /*nextIndex*/, const CAlntVe& /*e*/) const
{
    return true;
}

bool CAlntV::appendElement(const CAlntVe& e)
{
    const int i = getNumOfVes();
    if (!checkIfOk(i - 1, i, e))
        return false;
    invalidateIndex();
    m_ves.Add(e.clone());
    doVPostUpdate(i);
    return true;
}

bool CAlntV::insertElement(int i, const CAlntVe& e)
{
    if (!checkIfOk(i - 1, i, e))
        return false;
    doInsertVe(i, e.clone());
    return true;
}

bool CAlntV::replaceElement(int i, const CAlntVe& e)
{
    if (!checkIfOk(i - 1, i + 1, e))
        return false;
    invalidateIndex();
    m_ves.ReplaceAt(i, e.clone());
    doVPostUpdate(i);
    return true;
}

bool CAlntV::removeVe(int i)
{
    invalidateIndex();
    m_ves.RemoveAt(i);
    if (m_ves.IsEmpty())
        setUnset(m_totalLen);
    else
        doVPostUpdate(i > 0 ? i - 1 : 0);
    return true;
}

void CAlntV::removeAllVes()
{
    invalidateIndex();
    m_ves.RemoveAll();
    setUnset(m_totalLen);
}

void CAlntV::doInsertVe(int i, CAlntVe* e)
{
    invalidateIndex();
    m_ves.InsertAt(i, e);
    doVPostUpdate(i);
}

void CAlntV::doCopyVes(const CAlntV& other)
{
    invalidateIndex();
    m_startHt = other.m_startHt;
    m_startChain = other.m_startChain;
    m_totalLen = other.m_totalLen;
    for (const CAlntVe* e : other.m_ves)
        m_ves.Add(e->clone());
}

void CAlntV::onBulkUpdateStarted()
{
    m_inBulkUpdate = true;
}

void CAlntV::onBulkUpdateFinished()
{
    m_inBulkUpdate = false;
    if (!m_ves.IsEmpty())
        doVPostUpdate(0);
}

void CAlntV::setStartHeight(double height)
{
    m_startHt = height;
    if (!m_ves.IsEmpty())
        doVPostUpdate(0);
}

void CAlntV::setStartChainageInM(double chainage)
{
    m_startChain = chainage;
    if (!m_ves.IsEmpty())
        doVPostUpdate(0);
}

void CAlntV::doVPostUpdate(int k)
{
    if (m_inBulkUpdate)
        return;
    invalidateIndex();
    setUnset(m_totalLen);
    const int n = getNumOfVes();
    if (k >= n)
        return;
    const int from = k > 0 ? k - 1 : 0;
    if (k <= 1)
        m_ves.GetAt(0)->setStartHtAndChain(m_startHt, m_startChain);
    for (int j = from; j < n; ++j) {
        const CAlntVe* prev = j > 0 ? m_ves.GetAt(j - 1) : nullptr;
        const CAlntVe* next = j + 1 < n ? m_ves.GetAt(j + 1) : nullptr;
        m_ves.GetAt(j)->onNeighbourUpdate(prev, next);   // the results are not used
    }
}

// ---------------------------------------------------------------------------------------------
// Queries

const CAlntVe* CAlntV::getFirstVe() const
{
    return m_ves.IsEmpty() ? nullptr : m_ves.GetAt(0);
}

const CAlntVe* CAlntV::getLastVe() const
{
    return m_ves.IsEmpty() ? nullptr : m_ves.GetAt(m_ves.GetUpperBound());
}

bool CAlntV::getHLengthInM(double& len) const
{
    if (isUnset(m_totalLen)) {
        double sum = 0.0;
        for (const CAlntVe* e : m_ves)
            sum += e->getLen();
        m_totalLen = sum;
    }
    len = m_totalLen;
    return true;
}

bool CAlntV::getFinalHeight(double& height) const
{
    const CAlntVe* last = getLastVe();
    if (!last)
        return false;
    height = last->getFinalHt();
    return true;
}

bool CAlntV::indexUsable() const
{
    if (m_indexState == indexStale) {
        m_indexState = indexSorted;
        m_starts.resize(static_cast<std::size_t>(getNumOfVes()));
        for (int i = 0; i < getNumOfVes(); ++i) {
            double& s = m_starts[static_cast<std::size_t>(i)];
            if (!m_ves.GetAt(i)->getStartChainageInM(s) || std::isnan(s) ||
                (i > 0 && !(m_starts[static_cast<std::size_t>(i) - 1] <= s))) {
                m_indexState = indexUnusable;
                break;
            }
        }
    }
    return m_indexState == indexSorted;
}

bool CAlntV::findStart(double chainage, int& index, double& start) const
{
    // The element is the last one whose start chainage is not after the chainage, or the first
    // element when there is none: a walk from the last element backwards. When every start
    // chainage can be read and they never decrease, the bisection below stops on the same
    // element (ties at a joint included: the later of equal starts) and reads the same start;
    // otherwise, and for a NaN chainage, the walk itself runs.
    const int n = getNumOfVes();
    if (n > 0 && !std::isnan(chainage) && indexUsable()) {
        // The bisection without branches (a conditional move a step: for scattered chainages
        // each comparison is a coin toss): the last start <= chainage, else the first.
        const double* base = m_starts.data();
        for (std::size_t len = m_starts.size(); len > 1;) {
            const std::size_t half = len / 2;
            base = base[half] <= chainage ? base + half : base;
            len -= half;
        }
        index = static_cast<int>(base - m_starts.data());
        start = *base;
        return true;
    }
    for (int i = n - 1;; --i) {
        if (!m_ves.GetAt(i)->getStartChainageInM(start))
            return false;
        if (start <= chainage || i == 0) {
            index = i;
            return true;
        }
    }
}

const CAlntVe* CAlntV::getAlntVeAtChain(double chainage, double* len) const
{
    if (m_ves.IsEmpty())
        return nullptr;
    int i;
    double start;
    if (!findStart(chainage, i, start))
        return nullptr;
    const CAlntVe* e = m_ves.GetAt(i);
    const double into = chainage - start;
    if (!e->isok() || !(e->getLen() + roadTolerance >= into))
        return nullptr;
    if (len)
        *len = into;
    return e;
}

bool CAlntV::getHeightAtChain(double chainage, double& height) const
{
    double into;
    const CAlntVe* e = getAlntVeAtChain(chainage, &into);
    return e && e->getHtAtLen(into, height) == veHtOk;
}

bool CAlntV::getHeightAtChainExtr(double chainage, double& height) const
{
    if (getHeightAtChain(chainage, height))
        return true;
    double total;
    getHLengthInM(total);
    if (isVeZero(total))
        return false;
    // The profile runs from its first element's start to its last element's end. For elements
    // that follow the start values these are the start chainage and the start chainage plus the
    // total length; a VIP element begins at its own VIP, so a VIP profile that starts after
    // (or before) the start chainage is shifted by that difference. The ends and their grades
    // are therefore read from the end elements themselves, passing over VIP elements of zero
    // length (the first VIP element is one: it ends where it begins, with no grade of its own).
    const int n = getNumOfVes();
    auto emptyVip = [this](int k) {
        const CAlntVe* e = m_ves.GetAt(k);
        return (e->getType() == veLsParabola || e->getType() == veLsArc) && isVeZero(e->getLen());
    };
    int i = 0, j = n - 1;
    while (i + 1 < n && emptyVip(i))
        ++i;
    while (j > 0 && emptyVip(j))
        --j;
    const CAlntVe* first = m_ves.GetAt(i);
    const CAlntVe* last = m_ves.GetAt(j);
    double firstStart;
    if (!first->getStartChainageInM(firstStart))
        return false;
    const double lastEnd = last->getFinalChain();
    if (lastEnd <= chainage) {
        height = last->getFinalHt() + last->getEndGrade() * (chainage - lastEnd) * 0.01;
        return true;
    }
    height = first->getStartHt() - first->getStartGrade() * (firstStart - chainage) * 0.01;
    return true;
}
