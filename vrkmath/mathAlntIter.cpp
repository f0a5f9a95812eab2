#include "vrkmath/mathAlntIter.h"

#include "vrkmath/mathAlntVeArc.h"
#include "vrkmath/mathAssert.h"

namespace {

constexpr const char* kIterSource = "vrkmath/mathAlntIter";
// The fixed lines of the iterators' assertion reports.
constexpr int kLineLsUnknownType = 170;
constexpr int kLineSetUnknownType = 277;
constexpr int kLineNextUnknownType = 319;

const CVerticalLSElement* asLsParabola(const CAlntVe* ve)
{
    return ve->getType() == veLsParabola ? dynamic_cast<const CVerticalLSElement*>(ve) : nullptr;
}

const CAlntVeLsWithArc* asLsArc(const CAlntVe* ve)
{
    return ve->getType() == veLsArc ? dynamic_cast<const CAlntVeLsWithArc*>(ve) : nullptr;
}

// A point without a curve at (chainage, height).
CLsInfo plainPoint(double chainage, double height)
{
    return CLsInfo(chainage, height, 0.0, chainage, 0.0);
}

bool sameLs(const CLsInfo& a, const CLsInfo& b)
{
    return isVeZero(a.chainage - b.chainage) && isVeZero(a.height - b.height) &&
           isVeZero(a.curveLen - b.curveLen) && isVeZero(a.curveStart - b.curveStart) &&
           isVeZero(a.radius - b.radius);
}

// No grade break where element i + 1 of the profile follows element i.
bool continuesWithoutBreak(const CAlnt& alnt, int i)
{
    if (i + 1 >= alnt.getNumOfVes())
        return false;
    const CAlntVe* ve = alnt.getVe(i);
    const CAlntVe* next = alnt.getVe(i + 1);
    return ve && next && isVeZero(next->getStartGrade() - ve->getEndGrade());
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CAlntVeItr

CAlntVeItr::CAlntVeItr(const CAlnt& alnt)
    : m_alnt(&alnt), m_curVe(nullptr), m_index(-1), m_curPiece(nullptr)
{
    setAtAlnVe(0);
}

bool CAlntVeItr::setAtAlnVe(int i)
{
    m_index = i;
    if (i < 0 || i >= m_alnt->getNumOfVes())
        return false;
    const CAlntVe* ve = m_alnt->getVe(i);
    if (!ve)
        return false;
    const CAlntVe* piece = ve;   // grade lines, parabolas, arcs (and a foreign long-section form)
    switch (ve->getType()) {
    case veGradeLine:
    case veParabola:
    case veArc:
        break;
    case veLsParabola:
        if (const CVerticalLSElement* ls = asLsParabola(ve))
            piece = &ls->getStartSegment();
        break;
    case veLsArc:
        if (const CAlntVeLsWithArc* ls = asLsArc(ve))
            piece = &ls->getStartSegment();
        break;
    default:
        ReportAlntAssertion(kIterSource, kLineSetUnknownType);
        return false;
    }
    m_curVe = ve;
    m_curPiece = piece;
    return true;
}

bool CAlntVeItr::nextAlnVe()
{
    if (!m_curVe)
        return false;
    switch (m_curVe->getType()) {
    case veLsParabola:
        if (const CVerticalLSElement* ls = asLsParabola(m_curVe)) {
            if (m_curPiece == &ls->getStartSegment() && ls->getParabole()) {
                m_curPiece = ls->getParabole();
                return true;
            }
        }
        return setAtAlnVe(m_index + 1);
    case veLsArc:
        if (const CAlntVeLsWithArc* ls = asLsArc(m_curVe)) {
            if (m_curPiece == &ls->getStartSegment()) {
                m_curPiece = &ls->getArc();
                return true;
            }
        }
        return setAtAlnVe(m_index + 1);
    case veGradeLine:
    case veParabola:
    case veArc:
        return setAtAlnVe(m_index + 1);
    default:
        ReportAlntAssertion(kIterSource, kLineNextUnknownType);
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// CAlntLsItr

CAlntLsItr::CAlntLsItr(const CAlnt& alnt)
    : m_alnt(&alnt), m_status{nullptr, -1, ipStageStart, CLsInfo()}
{
    doGetIp(m_status, 0, ipStageStart);
}

bool CAlntLsItr::doGetIp(TStatus& status, int index, TIpStage stage) const
{
    status.index = index;
    status.stage = stage;
    if (index < 0 || index >= m_alnt->getNumOfVes())
        return false;
    const CAlntVe* ve = m_alnt->getVe(index);
    if (!ve)
        return false;
    status.element = ve;
    double start;
    switch (stage) {
    case ipStageStart:
        if (ve->isok() && ve->getStartChainageInM(start))
            status.ls = plainPoint(start, ve->getStartHt());
        break;
    case ipStageIp:
        doGetElementIp(status);
        break;
    case ipStageEnd:
        if (ve->isok())
            status.ls = plainPoint(ve->getFinalChain(), ve->getFinalHt());
        break;
    }
    return true;
}

void CAlntLsItr::doGetElementIp(TStatus& status) const
{
    const CAlntVe* ve = status.element;
    switch (ve->getType()) {
    case veParabola:
    case veLsParabola:
    case veArc:
    case veLsArc:
        ve->getAsLs(status.ls);
        return;
    case veGradeLine: {
        // A grade line has no intersection point of its own: the curve that continues it
        // without a grade break gives one, else the line's end does.
        const CAlntVe* next =
            continuesWithoutBreak(*m_alnt, status.index) ? m_alnt->getVe(status.index + 1) : nullptr;
        if (next && (next->getType() == veParabola || next->getType() == veArc)) {
            status.index += 1;
            status.element = next;
            next->getAsLs(status.ls);
            return;
        }
        status.ls = plainPoint(ve->getFinalChain(), ve->getFinalHt());
        status.stage = ipStageEnd;
        return;
    }
    default:
        ReportAlntAssertion(kIterSource, kLineLsUnknownType);
        return;
    }
}

void CAlntLsItr::doPreIncStage(int& i, TIpStage& s)
{
    if (s == ipStageEnd) {
        i += 1;
        s = ipStageIp;
    } else {
        s = static_cast<TIpStage>(s + 1);
    }
}

void CAlntLsItr::doIncStage(const CAlnt& alnt, int& i, TIpStage& s)
{
    doPreIncStage(i, s);
    if (i < 0 || i >= alnt.getNumOfVes() || !alnt.getVe(i))
        return;
    if (s == ipStageIp && alnt.getVe(i)->getType() == veGradeLine)
        s = ipStageEnd;
    if (s == ipStageEnd && continuesWithoutBreak(alnt, i)) {
        i += 1;
        s = ipStageIp;
    }
}

bool CAlntLsItr::nextLs()
{
    TStatus status = m_status;
    do {
        int i = status.index;
        TIpStage s = status.stage;
        doIncStage(*m_alnt, i, s);
        status = TStatus{nullptr, -1, ipStageStart, CLsInfo()};
        if (!doGetIp(status, i, s))
            return false;
    } while (sameLs(status.ls, m_status.ls));
    m_status = status;
    return true;
}
