// Coded 3D lines: control-code lookup, conversion into straights, arcs and grade lines (curves
// through their coded points, rectangles, closing, missing coordinates and heights).
#include "vrkmath/math3dLine.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

// A coded point: north, east, the two codes, height and the valid coordinates.
struct P { double n, e; int c1 = 0, c2 = 0; double h = 0.0; int mask = COORD_VALID_ALL; };

C3dLineWithCtlCodes line(const std::vector<P>& pts)
{
    C3dLineWithCtlCodes l;
    for (const P& p : pts) {
        TCtlCodedPoint c;
        c.code1 = p.c1, c.code2 = p.c2;
        c.pos.x = p.n, c.pos.y = p.e, c.pos.z = p.h, c.pos.mask = p.mask;
        l.Add(c);
    }
    return l;
}

std::vector<int> types(const CAlnt& a)
{
    std::vector<int> out;
    for (int i = 0; i < a.getNumOfHes(); ++i)
        out.push_back(a.getHe(i)->getType());
    return out;
}

} // namespace

TEST(CodedLine, FindCtlCode)
{
    const C3dLineWithCtlCodes l = line({{0, 0, 1}, {0, 1}, {0, 2, 2, 1}, {0, 3, 0, 2}});
    struct Case { TCtlCodeEnum code; int from, found; };
    const Case cases[] = {{CtlCodeBeginCurve, 0, 0}, {CtlCodeBeginCurve, 1, 2}, {CtlCodeEndCurve, 0, 2},
                          {CtlCodeEndCurve, 3, 3}, {CtlCodeEndCurve, 4, -1}, {CtlCodeClose, 0, -1},
                          {CtlCodeBeginCurve, -2, 0}};
    for (const Case& k : cases)
        EXPECT_EQ(l.findCtlCode(k.code, k.from), k.found) << "code " << k.code << " from " << k.from;
}

// Conversions into straights and grade lines: the plan element types, the number of grade
// lines and, where given, the end point of every plan element and heights at chainages. A
// missing height keeps the previous one. The same rectangle from three different corner
// triples: the fourth corner lies opposite the corner where the two shorter sides meet.
TEST(CodedLine, StraightsGradesRectanglesAndFailures)
{
    using Pairs = std::vector<std::array<double, 2>>;
    const Pairs rectangle = {{0, 10}, {5, 10}, {5, 0}, {0, 0}};
    const int noY = COORD_VALID_X | COORD_VALID_Z, noH = COORD_VALID_X | COORD_VALID_Y;
    struct Case { std::vector<P> pts; bool close, ok; std::vector<int> plan; int grades; Pairs ends, heights;
                  const char* reason; };
    const Case cases[] = {
        {{{0, 0}, {0, 100}}, false, true, {0}, 1, {{0, 100}}, {}, "two plain points"},
        {{{0, 0}, {0, 100}}, true, true, {0, 0}, 2, {{0, 100}, {0, 0}}, {}, "closed: a straight back to the start"},
        {{{0, 0}, {0, 100, 4}, {50, 100}}, false, true, {0, 0, 0}, 3, {}, {}, "a close code closes the line"},
        {{{0, 0}, {0, 50}, {0, 50}, {20, 50}}, false, true, {0, 0}, 3, {}, {}, "a point at the end adds no straight"},
        {{{0, 0, 1}, {10, 5}, {20, 0}, {30, 5, 2}}, false, true, {0, 0, 0}, 3, {}, {}, "curve codes three apart: straights"},
        {{{0, 0}, {0, 100, 0, 0, 0, noY}}, false, false, {}, 0, {}, {}, "a point without east"},
        {{}, true, true, {}, 0, {}, {}, "an empty line"},
        {{{0, 0, 0, 0, 10}, {0, 100, 0, 0, 20}, {100, 100, 0, 0, 99, noH}, {100, 0, 0, 0, 5}}, true, true, {0, 0, 0, 0}, 4, {},
         {{0, 10}, {100, 20}, {200, 20}, {300, 5}, {400, 10}, {150, 20}, {350, 7.5}}, "heights 10, 20, none, 5; closed"},
        {{{0, 0, 0, 0, 0, noH}, {0, 100, 0, 0, 20}}, false, true, {0}, 1, {}, {{0, 0}, {100, 20}}, "a start without height: 0"},
        {{{0, 0}, {0, 10}, {5, 10, 3}}, false, true, {0, 0, 0, 0}, 4, rectangle, {}, "CA is the diagonal: D = A + C - B"},
        {{{0, 0}, {0, 10, 3}, {5, 0}}, false, true, {0, 0, 0, 0}, 4, rectangle, {}, "BC is the diagonal: D = B + C - A"},
        {{{0, 0, 3}, {5, 10}, {0, 10}}, false, true, {0, 0, 0, 0}, 4, rectangle, {}, "AB is the diagonal: D = A + B - C"},
    };
    for (const Case& k : cases) {
        CAlnt a;
        a.appendElement(CVerticalElement(0, 0, 10, 1));   // removed by the conversion
        EXPECT_EQ(line(k.pts).convertToAlnt(a, k.close), k.ok) << k.reason;
        ASSERT_EQ(types(a), k.plan) << k.reason;
        EXPECT_TRUE(a.getNumOfVes() == k.grades && a.getStartChainageInM() == 0.0) << k.reason;
        for (size_t i = 0; i < k.ends.size(); ++i) {
            double n, e;
            a.getHe(int(i))->getFinalPosNe(n, e);
            EXPECT_NEAR(std::hypot(n - k.ends[i][0], e - k.ends[i][1]), 0.0, 1e-12) << k.reason << ", element " << i;
        }
        for (const auto& x : k.heights) {
            double h;
            EXPECT_TRUE(a.getPosHAtChain(x[0], h) && std::fabs(h - x[1]) < 1e-9) << k.reason << ", chainage " << x[0];
        }
    }
}

TEST(CodedLine, ArcsPassThroughTheCodedPoints)
{
    // Points on two circles of radius 50: one about (100, 50) from (100, 0) heading north to
    // (150, 50) heading east, one about (200, 50) turning back north to (200, 100).
    const double s = 50.0 * std::sqrt(0.5);
    // arcPoints: the coded points each arc passes through
    struct Case { std::vector<P> pts; std::vector<int> plan; std::vector<std::vector<int>> arcPoints; const char* reason; };
    const Case cases[] = {
        {{{0, 0}, {100, 0, 1}, {150, 50, 2}, {150, 150}}, {0, 1, 0}, {{1, 2}}, "two points, tangent to the straight"},
        {{{100, 0, 1}, {150, 50, 2}, {150, 150}}, {1, 0}, {{0, 1}}, "two points first, tangent to the next straight"},
        {{{0, 0}, {100, 0, 1}, {100 + s, 50 - s}, {150, 50, 2}, {150, 100}}, {0, 1, 0}, {{1, 2, 3}}, "three points"},
        {{{0, 0}, {100, 0, 1}, {150, 50, 2, 1}, {200, 100, 2}, {300, 100}}, {0, 1, 1, 0}, {{1, 2}, {2, 3}},
         "a reverse curve: the second arc starts where the first ends"},
        {{{100, 0, 1}, {150, 50, 2}}, {0}, {}, "two points first without a point after them: a straight"},
    };
    for (const Case& k : cases) {
        CAlnt a;
        ASSERT_TRUE(line(k.pts).convertToAlnt(a, false)) << k.reason;
        ASSERT_EQ(types(a), k.plan) << k.reason;
        size_t arc = 0;
        for (int i = 0; i < a.getNumOfHes(); ++i) {
            if (a.getHe(i)->getType() != AlntHeArc)
                continue;
            ASSERT_LT(arc, k.arcPoints.size()) << k.reason;
            const std::vector<int>& on = k.arcPoints[arc++];
            for (int j : on) {
                double d = 1e9, l;
                a.getHe(i)->getShortestDistAndCurveLen(k.pts[j].n, k.pts[j].e, d, l);
                EXPECT_LT(d, 1e-9) << k.reason << ", point " << j;
            }
            double n, e;
            a.getHe(i)->getFinalPosNe(n, e);
            EXPECT_NEAR(std::hypot(n - k.pts[on.back()].n, e - k.pts[on.back()].e), 0.0, 1e-9) << k.reason;
            // Every joint is tangent (the coded points lie on tangent-continuous circles).
            if (i + 1 < a.getNumOfHes()) {
                CMathAngle turn, next;
                a.getHe(i)->getFinalAzimut(turn);
                a.getHe(i + 1)->getStartAzimut(next);
                turn -= next;
                EXPECT_NEAR(turn.getRad(), 0.0, 1e-9) << k.reason;
            }
        }
        EXPECT_EQ(arc, k.arcPoints.size()) << k.reason;
    }
}
