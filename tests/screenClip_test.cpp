// Screen clipping of rays and segments; the CPoint and CRect basics it stands on.
#include "cogo/screenClip.h"
#include "numeric/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

::testing::AssertionResult samePts(const CPoint& a, const CPoint& b, const CPoint& ea, const CPoint& eb)
{
    if (a == ea && b == eb)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ") (" << b.x << ", " << b.y << ")";
}

TEST(ClipLevels, Table)
{
    // Half-open rectangles: the right and bottom edges lie outside; a flipped one is empty until
    // normalised.
    const CRect r(10, 20, 110, 70);
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)) && !r.PtInRect(CPoint(110, 20)) && !r.PtInRect(CPoint(10, 70)));
    CRect flipped(110, 70, 10, 20);
    EXPECT_TRUE(flipped.IsRectEmpty());
    flipped.NormalizeRect();
    EXPECT_EQ(flipped, r);

    struct Case { double x0, y0, x1, y1, level; bool onX; int result; double value, t; const char* reason; };
    const Case cases[] = {
        {0, 0, 10, 10, 5, false, 1, 5, 0.5, "diagonal crosses y = 5 halfway"},
        {0, 0, 10, 10, 20, false, 1, 20, 2.0, "a ray runs on beyond its second point"},
        {0, 0, 10, 0, 5, false, 0, -1, 0.0, "horizontal ray never meets a y level: t = 0"},
        {0, 10, 10, 20, 5, false, 0, -1, -0.5, "level behind the start"}, {0, 0, 4, 8, 2, true, 1, 4, 0.5, "x level"},
        {3, 0, 3, 9, 1, true, 0, -1, 0.0, "vertical ray never meets an x level"},
    };
    for (const Case& c : cases) {
        double value = -1, t = 99;
        const int res = c.onX ? rayIntersectionWithXLevel(c.x0, c.y0, c.x1, c.y1, c.level, value, &t)
                              : rayIntersectionWithYLevel(c.x0, c.y0, c.x1, c.y1, c.level, value, &t);
        EXPECT_TRUE(res == c.result && value == c.value && t == c.t) << c.reason << ": " << res << " " << value << " " << t;
    }
    double x = 0, t = 0;
    EXPECT_EQ(rayIntersectionWithYLevel(0, 0, 1, 1, 3, x, nullptr), 1) << "t is optional";
    // Segments stop at their end (included); results truncate towards zero.
    CPoint out(-1, -1);
    EXPECT_TRUE(segmentIntersectionWithYLevel(CPoint(0, 0), 10, 10, 20, out, &t) == 0 && t == 2.0);
    EXPECT_TRUE(out == CPoint(-1, -1)) << "not written on failure";
    EXPECT_TRUE(segmentIntersectionWithYLevel(CPoint(0, 0), 10, 10, 10, out, &t) == 1 && out == CPoint(10, 10)) << "end included";
    EXPECT_TRUE(segmentIntersectionWithXLevel(CPoint(0, 0), 3, 10, 1, out, nullptr) == 1 && out == CPoint(1, 3)) << "3.33 truncated to 3";
    EXPECT_TRUE(segmentIntersectionWithXLevel(CPoint(0, 0), -3, -10, -1, out, nullptr) == 1 && out == CPoint(-1, -3)) << "towards zero";
}

TEST(ClipRect, SegmentsAndRays)
{
    const CRect r(0, 0, 100, 50);
    struct SegCase { CPoint a, b; int result; CPoint outA, outB; const char* reason; };
    const SegCase segments[] = {
        {{10, 10}, {20, 20}, 1, {10, 10}, {20, 20}, "inside: unchanged"},
        {{-50, 25}, {150, 25}, 1, {0, 25}, {100, 25}, "horizontal through: both ends cut"},
        {{50, -10}, {50, 60}, 1, {50, 0}, {50, 50}, "vertical through"},
        {{-10, -10}, {60, 60}, 1, {0, 0}, {50, 50}, "diagonal from outside the corner"},
        {{200, 10}, {300, 20}, 0, {200, 10}, {300, 20}, "wholly right of the rectangle: points unchanged"},
        {{10, 60}, {90, 70}, 0, {10, 60}, {90, 70}, "wholly below"},
        {{-10, 40}, {20, 80}, 0, {-10, 40}, {20, 80}, "passes outside the corner"},
        {{100, 50}, {120, 70}, 1, {100, 50}, {100, 50}, "touches the corner: edges count"},
    };
    for (const SegCase& c : segments) {
        CPoint a = c.a, b = c.b;
        EXPECT_EQ(segmentIntersection(a, b, r), c.result) << c.reason;
        EXPECT_TRUE(samePts(a, b, c.outA, c.outB)) << c.reason;
    }
    struct RayCase { CPoint p; double x1, y1; int result; CPoint outA, outB; const char* reason; };
    const RayCase rays[] = {
        {{10, 10}, 11, 10, 1, {10, 10}, {100, 10}, "horizontal from inside: leaves at the right"},
        {{-20, 10}, -19, 10, 1, {0, 10}, {100, 10}, "horizontal from the left: crosses the width"},
        {{10, 10}, 9, 10, 1, {10, 10}, {0, 10}, "horizontal towards the left edge"},
        {{-20, 10}, -21, 10, 0, {}, {}, "horizontal heading away"},
        {{30, 10}, 30, 11, 1, {30, 10}, {30, 50}, "vertical downwards: clipped by the y strip alone"},
        {{30, 80}, 30, 79, 1, {30, 50}, {30, 0}, "vertical upwards from below"},
        {{130, 10}, 130, 11, 0, {}, {}, "vertical outside the x strip"},
        {{0, 0}, 1, 1, 1, {0, 0}, {50, 50}, "diagonal from the corner leaves at the bottom"},
        {{-10, 60}, 0, 61, 0, {}, {}, "below the rectangle, heading further down"},
        {{-10, 60}, 0, 55, 1, {10, 50}, {100, 5}, "from below-left, rising into it"},
    };
    for (const RayCase& c : rays) {
        CPoint a(-1, -1), b(-1, -1);
        EXPECT_EQ(rayIntersection(c.p, c.x1, c.y1, a, b, r), c.result) << c.reason;
        EXPECT_TRUE(!c.result || samePts(a, b, c.outA, c.outB)) << c.reason;
    }
    CPoint a, b;
    EXPECT_TRUE(rayIntersection(CPoint(50, 10), 0.0, a, b, r) == 1 && samePts(a, b, {50, 10}, {50, 50})) << "angle 0 runs down the screen";
    EXPECT_TRUE(rayIntersection(CPoint(50, 10), kHalfPi, a, b, r) == 1 && b == CPoint(100, 10)) << "a quarter turn runs right";
    EXPECT_TRUE(rayIntersectionWithYStrip(CPoint(5, 10), 6, 10, a, b, 0, 50) == 1 && samePts(a, b, {5, 10}, {6, 10}))
        << "never leaves: the second point stands for its run";
    EXPECT_EQ(rayIntersectionWithYStrip(CPoint(5, 60), 6, 60, a, b, 0, 50), 0);
    EXPECT_EQ(rayIntersectionWithXStrip(CPoint(5, 5), 5, 6, a, b, 0, 10), 1);
}

// Every clipped piece of a random segment lies inside the rectangle (edges included) and on
// the segment's line (within the truncation to whole pixels).
TEST(ClipRect, RandomSegmentsStayInside)
{
    std::mt19937 rng(1616);
    std::uniform_int_distribution<int> coord(-300, 300);
    const CRect r(-100, -50, 150, 120);
    int clipped = 0;
    for (int k = 0; k < 3000; ++k) {
        const CPoint a0(coord(rng), coord(rng)), b0(coord(rng), coord(rng));
        CPoint a = a0, b = b0;
        if (a0 == b0 || !segmentIntersection(a, b, r))
            continue;
        ++clipped;
        for (const CPoint& p : {a, b}) {
            ASSERT_TRUE(p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom) << "case " << k;
            const double cross = double(b0.x - a0.x) * (p.y - a0.y) - double(b0.y - a0.y) * (p.x - a0.x);
            ASSERT_LE(std::fabs(cross) / std::hypot(b0.x - a0.x, b0.y - a0.y), 2.0) << "case " << k << ": off the segment's line";
        }
    }
    EXPECT_GT(clipped, 300);
}

} // namespace
