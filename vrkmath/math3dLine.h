// Coded 3D lines: a line surveyed in the field as a sequence of points, some of which carry
// control codes (begin curve, end curve, rectangle, close), and its conversion into an
// alignment of straights and arcs in plan with grade lines in profile.
//
// Units: north, east and height in metres (TCoords, cogo/coords.h: x = north, y = east,
// z = height; mask bits COORD_VALID_X / _Y / _Z tell which hold a value).
#pragma once

#include "cogo/coords.h"
#include "inlines/templates.h"
#include "vrkmath/mathAlnt.h"

// The control codes of a surveyed point.
enum TCtlCodeEnum {
    CtlCodeNone = 0,
    CtlCodeBeginCurve = 1,
    CtlCodeEndCurve = 2,
    CtlCodeRectangle = 3,
    CtlCodeClose = 4
};

// One surveyed point of a coded line: up to two codes (for example the end of one curve and
// the begin of the next) and its position.
struct TCtlCodedPoint {
    int code1 = CtlCodeNone;
    int code2 = CtlCodeNone;
    TCoords pos;

    bool hasCode(TCtlCodeEnum code) const { return code1 == code || code2 == code; }
};

// A coded line: its points in survey order (indexed access outside the line is reported by
// the array, source "inlines/templates").
class C3dLineWithCtlCodes : public TXContainerCArray<TCtlCodedPoint> {
public:
    // The index of the first point at or after `from` that carries `code` in either slot; -1
    // when there is none (or `from` is at or beyond the end). A negative `from` starts at 0.
    int findCtlCode(TCtlCodeEnum code, int from) const;

    // Rebuilds alnt from the line (start chainage 0, start position the first point; heights
    // of points without one follow the previous height):
    //   - a straight to every further point (none to a point at the alignment's current end)
    //     and a grade line to its height at the new end chainage;
    //   - from a point coded begin curve to the next point coded end curve one or two points
    //     later, an arc instead: a two-point arc tangent to the element before it (or, for the
    //     first element, ending tangent to the direction to the point after the curve), a
    //     three-point arc through the three points; arcs may follow each other;
    //   - three points of which one is coded rectangle: the rectangle with the fourth corner
    //     opposite the corner where its two shorter sides meet, closed;
    //   - with `close` or any point coded close: a straight back to the first point.
    // False when a point lacks north or east (before anything is built) or a straight cannot
    // be appended; alnt keeps what was built up to there. An empty line gives an empty
    // alignment and true.
    bool convertToAlnt(CAlnt& alnt, bool close) const;

private:
    // The line from the alignment's end to point i (see the source).
    static bool appendPoint(CAlnt& alnt, const TCoords& p);
    // The curve starting at point j; k receives its last point. False when there is none.
    bool appendCurve(CAlnt& alnt, int j, int& k) const;
    bool convertRectangle(CAlnt& alnt) const;
};
