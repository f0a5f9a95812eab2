// C2dPtListUt measures and crossing tests: box, signed area, perimeter, extreme vertices,
// side intersections, self-crossings and the area on one side of a line.
#include "cogo/pointList.h"
#include "numeric/units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// (north, east). Due north, then east, then south: clockwise on a north-up map.
const std::vector<C2dPos> kUnitSquare = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
// Sides 0 and 2 cross at (0.5, 0.5).
const std::vector<C2dPos> kFigureEight = {{0, 0}, {1, 1}, {1, 0}, {0, 1}};
// Side 1 crosses the closing side (reported as index 3).
const std::vector<C2dPos> kCrossesClosing = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};

TEST(PointListMeasures, Table)
{
    struct Case { std::vector<C2dPos> pts; double signedArea, perimeter; const char* reason; };
    const Case cases[] = {
        {kUnitSquare, -1.0, 4.0, "unit square, clockwise on the map"},
        {{{0, 1}, {1, 1}, {1, 0}, {0, 0}}, 1.0, 4.0, "unit square, counter-clockwise"},
        {{{0, 0}, {0, 4}, {3, 0}}, 6.0, 12.0, "3-4-5 triangle: east, then north-west"},
        {kFigureEight, 0.0, 2.0 + 2.0 * std::sqrt(2.0), "figure eight: the two lobes cancel"},
        {{{2, 3}}, 0.0, 0.0, "one point"}, {{{0, 0}, {3, 4}}, 0.0, 10.0, "two points: there and back"},
        {{}, 0.0, 0.0, "no points"},
    };
    for (const Case& c : cases) {
        const C2dPtVector list(c.pts);
        const C2dPtListUt ut(list);
        EXPECT_NEAR(ut.getSignedArea(), c.signedArea, 1e-15) << c.reason;
        EXPECT_NEAR(ut.getArea(), std::fabs(c.signedArea), 1e-15) << c.reason;
        EXPECT_NEAR(ut.getPerimeter(), c.perimeter, 1e-14) << c.reason;
    }
    // The box, cached until reset; an empty list has no box: its getters answer 0.
    C2dPtVector list({{3, -1}, {-2, 5}, {7, 2}});
    C2dPtListUt ut(list);
    EXPECT_TRUE(ut.getMinX() == -2.0 && ut.getMaxX() == 7.0 && ut.getMinY() == -1.0 && ut.getMaxY() == 5.0);
    const double area = ut.getSignedArea();
    list.points.push_back({10, 10});
    EXPECT_TRUE(ut.getMaxX() == 7.0 && ut.getSignedArea() == area) << "cached until reset";
    ut.reset();
    EXPECT_TRUE(ut.getMaxX() == 10.0 && ut.getSignedArea() != area);
    const C2dPtVector empty;
    EXPECT_TRUE(C2dPtListUt(empty).getMinX() == 0.0 && C2dPtListUt(empty).getMaxY() == 0.0);
}

TEST(PointListExtremes, Table)
{
    struct Case { std::vector<C2dPos> pts; double dirDeg; int first, second; double spread; const char* reason; };
    const Case cases[] = {
        {{{1, 0}, {5, 9}, {-3, 2}}, 0.0, 1, 2, 8.0, "along north: largest and smallest north"},
        {{{1, 0}, {5, 9}, {-3, 2}}, 90.0, 1, 0, 9.0, "along east"},
        {{{1, 0}, {5, 9}, {-3, 2}}, 180.0, 2, 1, 8.0, "along south: the order flips"},
        {{{4, 0}, {4, 1}, {0, 0}, {0, 5}}, 0.0, 0, 2, 4.0, "ties keep the earlier index"},
        {{{2, 2}, {2, 2}}, 45.0, 0, 0, 0.0, "all equal"}, {{}, 0.0, 0, 0, 0.0, "empty"},
    };
    for (const Case& c : cases) {
        const C2dPtVector list(c.pts);
        int first = -1, second = -1;
        const double spread = C2dPtListUt(list).findMostLeftAndRightVertices(CMathAngle(c.dirDeg), first, second);
        EXPECT_TRUE(first == c.first && second == c.second && std::fabs(spread - c.spread) < 1e-14) << c.reason;
    }
}

TEST(PointListIntersection, FromToAndClosingSide)
{
    // Square (0,0) (0,10) (10,10) (10,0): sides 0 south edge, 1 east edge, 2 north edge,
    // closing side 3 the west edge.
    const C2dPtVector list({{0, 0}, {0, 10}, {10, 10}, {10, 0}});
    const C2dPtListUt ut(list);
    const C2dPos a{5, -5}, b{5, 15};  // crosses the west (closing) and east edges
    const C2dPos c{-5, 5}, d{15, 5};  // crosses the south and north edges
    struct Case { C2dPos a, b; int from, to, expected; const char* reason; };
    const Case cases[] = {
        {a, b, 0, -1, 1, "all sides: the east edge comes first"},
        {a, b, 2, -1, 3, "from side 2: the closing side, reported as the last index"},
        {a, b, 2, 4, 3, "to = n also takes the closing side"}, {a, b, 2, 3, -1, "to = n - 1: ordinary sides only"},
        {c, d, 0, 1, 0, "only side 0"}, {c, d, 1, 2, -1, "only side 1"},
        {c, d, -5, 9, 0, "from below 0 and to beyond the end are clamped"}, {{20, 20}, {30, 30}, 0, -1, -1, "outside"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(ut.get1stIntersection(k.a, k.b, k.from, k.to), k.expected) << k.reason;
}

TEST(PointListSelfCrossing, Table)
{
    struct Case { std::vector<C2dPos> pts; bool closed, crosses; int i, j; const char* reason; };
    const Case cases[] = {
        {kFigureEight, true, true, 0, 2, "figure eight: sides 0 and 2"},
        {kCrossesClosing, true, true, 1, 3, "side 1 crosses the closing side"},
        {kCrossesClosing, false, false, -1, -1, "the same list left open"}, {kUnitSquare, true, false, -1, -1, "square"},
        {{{0, 0}, {0, 4}, {2, 4}, {2, 2}, {-1, 2}}, true, true, 0, 3, "open hook closed back across its first side"},
    };
    for (const Case& c : cases) {
        const C2dPtVector list(c.pts);
        const C2dPtListUt ut(list);
        int i = -1, j = -1;
        EXPECT_TRUE(ut.get1stSelfXsection(i, j, 0, c.closed) == c.crosses && i == c.i && j == c.j) << c.reason << ": " << i << " " << j;
        EXPECT_TRUE(!c.closed || ut.hasSelfXsections() == c.crosses) << c.reason;
    }
    // The open list (0,0) (10,0) (10,10) (0,10): north, east, south; closed through added points.
    const C2dPtVector list({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    const C2dPtListUt ut(list);
    EXPECT_FALSE(ut.hasSelfXsections(C2dPos{-5, 5})) << "a point south of the gap";
    EXPECT_TRUE(ut.hasSelfXsections(C2dPos{15, 5})) << "beyond the far side: both new sides cross it";
    EXPECT_TRUE(ut.hasSelfXsections(C2dPos{5, 15})) << "east of the list: the side to the first point crosses";
    EXPECT_FALSE(ut.hasSelfXsections(C2dPos{-5, 0}, C2dPos{-5, 10})) << "a rectangle below";
    EXPECT_TRUE(ut.hasSelfXsections(C2dPos{-5, 10}, C2dPos{-5, 0})) << "p and q swapped: twisted";
    EXPECT_TRUE(ut.hasSelfXsections(C2dPos{15, 0}, C2dPos{15, 10})) << "new side crosses the list";
    const C2dPtVector eight(kFigureEight);
    EXPECT_TRUE(C2dPtListUt(eight).hasSelfXsections(C2dPos{-5, 0})) << "already crosses itself";
}

TEST(PointListPositiveArea, Table)
{
    // Square of side 2 centred on the origin, counter-clockwise (signed area +4).
    const C2dPtVector square({{-1, 1}, {1, 1}, {1, -1}, {-1, -1}});
    const C2dPtListUt ut(square);
    ASSERT_NEAR(ut.getSignedArea(), 4.0, 1e-15);
    struct Case { C2dPos origin; double dirDeg, expected; const char* reason; };
    const Case cases[] = {
        {{0, 0}, 0.0, 2.0, "line through the centre, due north: the east half"},
        {{0, 0}, 180.0, 2.0, "due south: the west half"}, {{0, 0}, 45.0, 2.0, "diagonal through the centre"},
        {{0, 0.5}, 0.0, 1.0, "line half a unit east of the centre"}, {{0, -5}, 0.0, 4.0, "line west of the square: all"},
        {{0, 5}, 0.0, 0.0, "line east of the square: none"},
        {{1, 1}, 135.0, 4.0, "heading south-east through the north-east corner: all on the right"},
        {{1, 1}, -45.0, 0.0, "heading north-west through that corner: none on the right"},
        {{0, 1}, 0.0, 0.0, "along the east edge, nothing beyond"},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(ut.getPositiveArea(c.origin, CMathAngle(c.dirDeg)), c.expected, 1e-12) << c.reason;
}

// Reversing the order changes the sign of the signed area; rotating the start point does not
// change it; the areas on the two sides of any line add up to the signed area.
TEST(PointListProperties, SignedAreaOrderAndSides)
{
    std::mt19937 rng(1616);
    std::uniform_int_distribution<int> count(3, 12);
    std::uniform_real_distribution<double> coord(-100, 100), dir(-kPi, kPi);
    for (int k = 0; k < 500; ++k) {
        std::vector<C2dPos> pts(count(rng));
        for (C2dPos& p : pts)
            p = {coord(rng), coord(rng)};
        const C2dPtVector list(pts);
        const C2dPtListUt ut(list);
        const double area = ut.getSignedArea(), tol = 1e-9 * (1.0 + std::fabs(area));
        const std::vector<C2dPos> reversed(pts.rbegin(), pts.rend());
        ASSERT_NEAR(C2dPtListUt(C2dPtVector(reversed)).getSignedArea(), -area, tol) << "case " << k;
        for (size_t r = 1; r < pts.size(); ++r) {
            std::vector<C2dPos> rotated = pts;
            std::rotate(rotated.begin(), rotated.begin() + static_cast<long>(r), rotated.end());
            ASSERT_NEAR(C2dPtListUt(C2dPtVector(rotated)).getSignedArea(), area, tol) << "case " << k << " rotated by " << r;
        }
        const C2dPos origin{coord(rng), coord(rng)};
        CMathAngle d, opposite;
        d.setRad(dir(rng));
        opposite = d;
        opposite += CMathAngle(180.0);
        ASSERT_NEAR(ut.getPositiveArea(origin, d) + ut.getPositiveArea(origin, opposite), area,
                    1e-8 * (1.0 + std::fabs(area))) << "case " << k;
    }
}

} // namespace
