#include "vrkmath/math3dLine.h"

#include "cogo/arc.h"
#include "numeric/units.h"
#include "vrkmath/mathAlntHe.h"
#include "vrkmath/mathAlntVe.h"

#include <cmath>

namespace {

constexpr double kZero = 1e-12;

bool hasPlan(const TCoords& p)
{
    return (p.mask & COORD_VALID_X) && (p.mask & COORD_VALID_Y);
}

C2dPos planOf(const TCoords& p)
{
    return C2dPos{p.x, p.y};
}

// The profile step of an append: a grade line from the end of the profile (or the start:
// chainage 0 and the start height) to the alignment's final chainage at the point's height
// (the previous height when the point has none). Nothing when the final chainage cannot be
// read.
void appendGradeLine(CAlnt& alnt, const TCoords& p)
{
    double chain;
    if (!alnt.getFinalChainageInM(chain))
        return;
    double prevChain = 0.0;
    double prevHt = alnt.getStartPosH();
    if (const CAlntVe* last = alnt.getLastVe()) {
        prevChain = last->getFinalChain();
        prevHt = last->getFinalHt();
    }
    const double ht = (p.mask & COORD_VALID_Z) ? p.z : prevHt;
    CVerticalElement grade;
    grade.setStraight(prevChain, prevHt, chain, ht);
    alnt.appendElement(grade);
}

} // namespace

int C3dLineWithCtlCodes::findCtlCode(TCtlCodeEnum code, int from) const
{
    for (int i = from < 0 ? 0 : from; i < GetSize(); ++i) {
        if (GetData()[i].hasCode(code))
            return i;
    }
    return -1;
}

bool C3dLineWithCtlCodes::appendPoint(CAlnt& alnt, const TCoords& p)
{
    double n, e;
    if (!alnt.getFinalPosNe(n, e))
        return false;
    const double dN = p.x - n;
    const double dE = p.y - e;
    if (!(std::fabs(dN) < kZero && std::fabs(dE) < kZero)) {
        CCurveDataSegment line;
        line.setAzDeg(0.0);
        line.setLen(std::sqrt(dN * dN + dE * dE));
        CAlntHeSegment segment(line);
        segment.setFixedStartAzInDegs(std::atan2(dE, dN) * kDegPerRad);
        if (!alnt.appendElement(segment))
            return false;
    }
    appendGradeLine(alnt, p);
    return true;
}

bool C3dLineWithCtlCodes::appendCurve(CAlnt& alnt, int j, int& k) const
{
    k = findCtlCode(CtlCodeEndCurve, j + 1);
    if (k < 0 || k - j > 2)
        return false;
    const TCoords& pj = GetData()[j].pos;
    const TCoords& pk = GetData()[k].pos;
    if (!hasPlan(pj) || !hasPlan(pk))
        return false;
    const C2dPos start = planOf(pj);
    const C2dPos finish = planOf(pk);
    CArc arc;
    if (k == j + 1) {
        if (const CAlntHe* last = alnt.getLastHe()) {
            CMathAngle tangent;
            if (!last->getFinalAzimut(tangent) || !arc.set_start_finish_startTgDir(start, finish, tangent))
                return false;
        } else {
            // No element to be tangent to: the arc ends tangent to the direction to the point
            // after the curve.
            if (k + 1 >= GetSize() || !hasPlan(GetData()[k + 1].pos))
                return false;
            CMathAngle tangent;
            if (!tangent.setAz(finish, planOf(GetData()[k + 1].pos)) ||
                !arc.set_start_finish_finishTgDir(start, finish, tangent))
                return false;
        }
    } else {
        const TCoords& pm = GetData()[j + 1].pos;
        CArc through;
        if (!hasPlan(pm) || !through.set_start_finish_plusPos(start, finish, planOf(pm)) ||
            !arc.set_start_center_finish(start, through.centre, finish, through.clockwise))
            return false;
    }
    CAlntHeArc element;
    element.setArc(arc);
    if (!alnt.appendElement(element))
        return false;
    appendGradeLine(alnt, pk);
    return true;
}

bool C3dLineWithCtlCodes::convertRectangle(CAlnt& alnt) const
{
    const TCoords& a = GetData()[0].pos;
    const TCoords& b = GetData()[1].pos;
    const TCoords& c = GetData()[2].pos;
    auto dist2 = [](const TCoords& p, const TCoords& q) {
        return (p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y);
    };
    const double ab = dist2(a, b);
    const double bc = dist2(b, c);
    const double ca = dist2(c, a);
    TCoords d;
    d.mask = COORD_VALID_X | COORD_VALID_Y;   // the fourth corner has no height
    const TCoords* order[4];
    // The longest side is the diagonal (on a tie the first of CA, BC, AB).
    if (ca >= ab && ca >= bc) {
        d.x = a.x + c.x - b.x;
        d.y = a.y + c.y - b.y;
        order[0] = &b, order[1] = &c, order[2] = &d;
    } else if (bc >= ab) {
        d.x = b.x + c.x - a.x;
        d.y = b.y + c.y - a.y;
        order[0] = &b, order[1] = &d, order[2] = &c;
    } else {
        d.x = a.x + b.x - c.x;
        d.y = a.y + b.y - c.y;
        order[0] = &c, order[1] = &b, order[2] = &d;
    }
    order[3] = &a;
    for (const TCoords* p : order) {
        if (!appendPoint(alnt, *p))
            return false;
    }
    return true;
}

bool C3dLineWithCtlCodes::convertToAlnt(CAlnt& alnt, bool close) const
{
    alnt.removeAll();
    alnt.setStartChainageInM(0.0);
    const int n = GetSize();
    const TCtlCodedPoint* pts = GetData();
    for (int i = 0; i < n; ++i) {
        if (!hasPlan(pts[i].pos))
            return false;
    }
    if (n == 0)
        return true;
    const TCoords& first = pts[0].pos;
    // A start without a height starts the profile at 0.
    alnt.setStartPos(first.x, first.y, (first.mask & COORD_VALID_Z) ? first.z : 0.0);

    bool rectangle = false;
    bool closed = close;
    for (int i = 0; i < n; ++i) {
        rectangle = rectangle || pts[i].hasCode(CtlCodeRectangle);
        closed = closed || pts[i].hasCode(CtlCodeClose);
    }
    if (n == 3 && rectangle)
        return convertRectangle(alnt);

    int i = 0;
    while (i < n) {
        if (i > 0 && !appendPoint(alnt, pts[i].pos))
            return false;
        int next = i + 1;
        int j = i;
        int k;
        while (pts[j].hasCode(CtlCodeBeginCurve) && appendCurve(alnt, j, k)) {
            j = k;
            next = k + 1;
        }
        i = next;
    }
    if (closed)
        return appendPoint(alnt, first);
    return true;
}
