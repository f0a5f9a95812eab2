// C2dPtListUt area division: hinge line and parallel line (both overloads).
#include "cogo/pointList.h"
#include "numeric/units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

::testing::AssertionResult samePos(const C2dPos& a, const C2dPos& b, double tol)
{
    if (std::fabs(a.north - b.north) <= tol && std::fabs(a.east - b.east) <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.north << ", " << a.east << ") vs (" << b.north << ", " << b.east << ")";
}

double signedArea(const std::vector<C2dPos>& pts) { return C2dPtListUt(C2dPtVector(pts)).getSignedArea(); }

// The signed area by the same trapezoid rule in extended precision: an independent measure of
// a division's answer, which may lie hundreds of kilometres out (a hinge line almost parallel
// to the line of the needed area), where doubles would lose the 1e-6 m^2 being checked.
double exactArea(const std::vector<C2dPos>& pts)
{
    long double sum = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        const C2dPos& a = pts[i];
        const C2dPos& b = pts[(i + 1) % pts.size()];
        sum += ((long double)b.north - a.north) * ((long double)a.east + b.east) / 2;
    }
    return static_cast<double>(sum);
}

// Boundary east from P (0,0) to (0,10), then north to L (10,10): signed area +50.
const std::vector<C2dPos> kHook = {{0, 0}, {0, 10}, {10, 10}};
// The same boundary listed from (10,10) back to (0,0): signed area -50.
const std::vector<C2dPos> kHookReversed = {{10, 10}, {0, 10}, {0, 0}};
// Open square P (0,0), east, north, west to L (10,0): signed area +100; P->L runs north along
// the west edge, so outwards is west, to the left of P->L.
const std::vector<C2dPos> kOpenSquare = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};

TEST(HingeDivision, Table)
{
    struct Case { std::vector<C2dPos> pts; double dirDeg, area; bool ok; C2dPos expected; const char* reason; };
    const Case cases[] = {
        {kHook, 0.0, 75.0, true, {5, 0}, "north from P: a trapezoid of 75"},
        {kHook, 0.0, 150.0, true, {20, 0}, "beyond L's north: the new side runs back south-west"},
        {kHookReversed, 270.0, 75.0, true, {10, 5}, "clockwise list: the orientation is followed"},
        {{{0, 0}, {0, 10}}, 0.0, 50.0, true, {10, 0}, "two points, no area: X ahead along dir"},
        {{{0, 0}, {0, 10}}, 180.0, 50.0, true, {-10, 0}, "two points, dir south: solved again with the negated area"},
        {kHook, 45.0, 75.0, false, {}, "dir parallel to P->L: no meeting"},
        {kHook, 120.0, 15.85, false, {}, "the new side from L crosses side 0"},
        {{{3, 3}}, 0.0, 10.0, false, {}, "one point"},
    };
    for (const Case& c : cases) {
        const C2dPtVector list(c.pts);
        C2dPos x{-99, -99};
        EXPECT_EQ(C2dPtListUt(list).getAreaHingelLineSolution(CMathAngle(c.dirDeg), c.area, x), c.ok) << c.reason;
        EXPECT_TRUE(samePos(x, c.ok ? c.expected : C2dPos{-99, -99}, 1e-12)) << c.reason << " (untouched on failure)";
    }
}

TEST(ParallelDivision, Table)
{
    // divideDeg: the direction of the dividing line (NaN: parallel to the base, the first form).
    struct Case { std::vector<C2dPos> pts; double firstDeg, lastDeg, divideDeg, area; bool ok; C2dPos p, q; const char* reason; };
    const double h = std::sqrt(75.0) - 5.0, par = std::nan("");  // h: root of h^2 + 10 h = 50
    const Case cases[] = {
        {kOpenSquare, 270, 270, par, 150, true, {0, -5}, {10, -5}, "sides square to the base: h = needed / d"},
        {kOpenSquare, 270, 270, par, 100, true, {0, 0}, {10, 0}, "nothing needed: P and L themselves"},
        {kOpenSquare, 225, 315, par, 150, true, {-h, -h}, {10 + h, -h}, "diverging sides, k = -1"},
        {kOpenSquare, 315, 225, par, 116, true, {2, -2}, {8, -2},
         "converging sides: the far root (beyond the apex) is twisted, the near one taken"},
        {kOpenSquare, 315, 225, par, 130, false, {}, {}, "converging sides cannot hold 30: no real root"},
        {kOpenSquare, 270, 90, par, 150, false, {}, {}, "sides to opposite half-planes"},
        {kOpenSquare, 0, 270, par, 150, false, {}, {}, "side along the base"},
        {kOpenSquare, 90, 90, par, 150, false, {}, {}, "sides inwards: the strip crosses the figure"},
        {{{1, 1}}, 270, 270, par, 150, false, {}, {}, "one point"},
        {kOpenSquare, 270, 270, 0, 150, true, {0, -5}, {10, -5}, "dividing line parallel to the base"},
        {kOpenSquare, 270, 270, 45, 200, true, {0, -15}, {10, -5}, "P moves 10 west first (triangle of 50)"},
        {kOpenSquare, 270, 270, -45, 200, true, {0, -5}, {10, -15}, "P cannot move: L moves 10 west"},
        {kOpenSquare, 225, 315, 90, 200, false, {}, {}, "the dividing line meets both sides behind"},
        {kOpenSquare, 270, 270, 270, 200, false, {}, {}, "dividing line along the sides"},
    };
    for (const Case& c : cases) {
        const C2dPtVector list(c.pts);  // the utility keeps a reference: the list must outlive it
        const C2dPtListUt ut(list);
        const CMathAngle first(c.firstDeg), last(c.lastDeg);
        C2dPos p{-99, -99}, q{-99, -99};
        const bool ok = std::isnan(c.divideDeg) ? ut.getAreaParallelLineSolution(first, last, c.area, p, q)
                                                : ut.getAreaParallelLineSolution(first, last, CMathAngle(c.divideDeg), c.area, p, q);
        EXPECT_EQ(ok, c.ok) << c.reason;
        const C2dPos none{-99, -99};
        EXPECT_TRUE(samePos(p, c.ok ? c.p : none, 1e-9) && samePos(q, c.ok ? c.q : none, 1e-9)) << c.reason << " (untouched on failure)";
    }
}

// A simple polygon, star-shaped about a centre: points at increasing azimuth about it
// (clockwise on the map, negative signed area), with random radii. Each point keeps to its own
// sector, so no gap between neighbours reaches a half turn and the centre stays inside.
std::vector<C2dPos> randomStar(std::mt19937& rng)
{
    std::uniform_int_distribution<int> count(3, 10);
    std::uniform_real_distribution<double> coord(-200, 200), radius(20, 100), az(0, 2 * kPi), jitter(0, 0.4);
    const C2dPos c{coord(rng), coord(rng)};
    const int n = count(rng);
    const double a0 = az(rng);
    std::vector<C2dPos> pts;
    for (int k = 0; k < n; ++k) {
        const double a = a0 + 2 * kPi * (k + jitter(rng)) / n, r = radius(rng);
        pts.push_back({c.north + r * std::cos(a), c.east + r * std::sin(a)});
    }
    return pts;
}

// Every accepted hinge division, closed through its new point, has the requested area, with
// the list's own orientation, whichever way the list runs. Two points carry no orientation:
// the accepted point lies ahead along dir (points within 100 m, areas up to 1000 m^2).
TEST(HingeDivision, AcceptedSolutionsHaveTheArea)
{
    std::mt19937 rng(160);
    std::uniform_real_distribution<double> dir(-kPi, kPi), factor(0.3, 3.0), coin(0, 1), coord(-100, 100), small(1, 1000);
    int accepted = 0, acceptedTwo = 0;
    const int trials = 4000;
    for (int k = 0; k < trials; ++k) {
        std::vector<C2dPos> pts = randomStar(rng);
        if (coin(rng) < 0.5)
            std::reverse(pts.begin(), pts.end());
        const double before = signedArea(pts), area = std::fabs(before) * factor(rng);
        CMathAngle d;
        d.setRad(dir(rng));
        C2dPos x;
        const C2dPos P{coord(rng), coord(rng)}, L{coord(rng), coord(rng)};
        const double a = small(rng);
        if (C2dPtListUt(C2dPtVector({P, L})).getAreaHingelLineSolution(d, a, x)) {
            ++acceptedTwo;
            const C2dPos u = d.getDir();
            ASSERT_GE((x.north - P.north) * u.north + (x.east - P.east) * u.east, 0.0) << "case " << k;
            ASSERT_NEAR(std::fabs(exactArea({P, L, x})), a, 1e-6) << "case " << k << " (two points)";
        }
        if (!C2dPtListUt(C2dPtVector(pts)).getAreaHingelLineSolution(d, area, x))
            continue;
        ++accepted;
        pts.push_back(x);
        const double after = exactArea(pts);
        ASSERT_NEAR(std::fabs(after), area, 1e-6) << "case " << k;
        ASSERT_EQ(after > 0, before > 0) << "case " << k << ": orientation";
    }
    EXPECT_GT(accepted, trials / 4) << "too few accepted divisions to mean anything";
    EXPECT_GT(acceptedTwo, trials / 4);
}

// Every parallel division accepted for a list of positive signed area, with both side
// directions pointing outwards (to the left of P->L), has the requested area; for both
// overloads.
TEST(ParallelDivision, AcceptedSolutionsHaveTheArea)
{
    std::mt19937 rng(162);
    std::uniform_real_distribution<double> turn(0.15, kPi - 0.15), factor(1.02, 2.5), tilt(-0.4, 0.4);
    int accepted[2] = {0, 0};
    const int trials = 3000;
    for (int k = 0; k < trials; ++k) {
        std::vector<C2dPos> pts = randomStar(rng);
        std::reverse(pts.begin(), pts.end());  // counter-clockwise: positive signed area
        const double before = signedArea(pts), area = before * factor(rng);
        ASSERT_GT(before, 0.0);
        CMathAngle base, t1, t2, t3;
        base.setAz(pts.front(), pts.back());
        t1.setRad(turn(rng));
        t2.setRad(turn(rng));
        t3.setRad(tilt(rng));
        CMathAngle first(base), last(base), divide(base);
        first -= t1;  // turned left of P->L
        last -= t2;
        divide += t3;
        const C2dPtVector list(pts);
        const C2dPtListUt ut(list);
        for (int directed = 0; directed < 2; ++directed) {
            C2dPos p, q;
            const bool ok = directed ? ut.getAreaParallelLineSolution(first, last, divide, area, p, q)
                                     : ut.getAreaParallelLineSolution(first, last, area, p, q);
            if (!ok)
                continue;
            ++accepted[directed];
            std::vector<C2dPos> closed = pts;
            closed.push_back(q);
            closed.push_back(p);
            ASSERT_NEAR(exactArea(closed), area, 1e-6) << "case " << k << " directed " << directed;
        }
    }
    EXPECT_GT(accepted[0], trials / 4);
    EXPECT_GT(accepted[1], trials / 4);
}

} // namespace
