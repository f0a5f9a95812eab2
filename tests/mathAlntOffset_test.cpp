// Offset lines: the worked straight examples, the corner rules (mitre and midpoint), tables
// of stretches, the profile form, the conversions, and a constant offset of random roads.
#include "vrkmath/mathAlntOffset.h"

#include "alntCacheTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace cachetest;

namespace {

constexpr double kRad = 0.017453292519943295;

void add(CAlnt2dPosCache& c, double n, double e, double st, bool node = false)
{ C2dPosAndSt v; v.north = n, v.east = e, v.station = st; c.addVertex(v, node); }

TXContainerCArray<StAndOffset> table(std::initializer_list<StAndOffset> rows)
{ TXContainerCArray<StAndOffset> t; for (const StAndOffset& r : rows) t.Add(r); return t; }

// The vertices' (north, east, station) against the expected ones.
void expectPoints(const CAlnt2dPosCache& c, const std::vector<std::vector<double>>& expected, const char* reason)
{
    ASSERT_EQ(c.GetSize(), int(expected.size())) << reason;
    for (int i = 0; i < c.GetSize(); ++i)
        EXPECT_TRUE(std::fabs(c.GetAt(i).north - expected[i][0]) < 1e-12 && std::fabs(c.GetAt(i).east - expected[i][1]) < 1e-12 &&
                    c.GetAt(i).station == expected[i][2]) << reason << ", point " << i;
}

} // namespace

// The straight from (N 0, E 0, st 0) to (N 100, E 0, st 100), its ends nodes; a refused
// stretch writes nothing.
TEST(OffsetStretch, StraightExamples)
{
    struct Case { double from, to, o1, o2; std::vector<std::vector<double>> expected; const char* reason; };
    const Case cases[] = {
        {0, 100, 5, 5, {{0, 5, 0}, {100, 5, 100}}, "constant offset"},
        {0, 100, 0, 10, {{0, 0, 0}, {100, 10, 100}}, "taper over the whole straight"},
        {20, 50, 0, 10, {{20, 0, 20}, {50, 10, 50}}, "taper between stations: the closing point at 50"},
        {0, -1.0, -3, -3, {{0, -3, 0}, {100, -3, 100}}, "-1.0 runs to the last vertex, left side"},
        {60, 250, 2, 2, {{60, 2, 60}, {100, 2, 100}}, "a `to` beyond the end is the end"},
        {40, 40, 1, 1, {}, "refused: to equal to from"}, {100, -1.0, 1, 1, {}, "refused: from at the last vertex"},
        {-5, 50, 1, 1, {}, "refused: from before the first vertex"}, {50, 30, 1, 1, {}, "refused: to before from"},
    };
    CAlnt2dPosCache src;
    add(src, 0, 0, 0, true);
    add(src, 100, 0, 100, true);
    for (const Case& k : cases) {
        CAlnt2dPosCache dst;
        double last = 0.0;
        ASSERT_EQ(OffsetPoints(src, dst, k.from, k.to, k.o1, k.o2, last, false, false), !k.expected.empty()) << k.reason;
        expectPoints(dst, k.expected, k.reason);
        EXPECT_TRUE(k.expected.empty() || last == k.o2) << k.reason;
        EXPECT_TRUE(dst.getNodes().IsEmpty()) << "no written vertex is a node";
    }
}

TEST(OffsetStretch, CornerRules)
{
    // P0 (0, 0) -> P1 (10, 0) -> P2 ten metres on at azimuth `turn`: the point written at P1.
    struct Case { double turn, offset; bool node; double distance; const char* reason; };
    const Case cases[] = {
        {90, 2, true, 2 * std::sqrt(2.0), "right angle: the mitre, |o| from B"},
        {-90, 2, true, 2 * std::sqrt(2.0), "the mirror image, offset outside"},
        {60, -3, true, 3 / std::cos(30 * kRad), "60 degrees: mitre 0.58 |o| from B"},
        {120, 3, true, 3 * std::cos(60 * kRad), "120 degrees: 1.73 |o| from B, midpoint"},
        {150, 2, true, 2 * std::cos(75 * kRad), "150 degrees: 3.7 |o| from B, midpoint"},
        {10, 2, true, 2 * std::cos(5 * kRad), "10 degrees: 0.087 |o| from B, midpoint"},
        {0.001, 2, true, 2, "B and C within 0.001: B"}, {90, 2, false, 2, "no node: square to the incoming chord"},
    };
    for (const Case& k : cases) {
        CAlnt2dPosCache src, dst;
        add(src, 0, 0, 0, true);
        add(src, 10, 0, 10, k.node);
        add(src, 10 + 10 * std::cos(k.turn * kRad), 10 * std::sin(k.turn * kRad), 20, true);
        double last = 0.0;
        ASSERT_TRUE(OffsetPoints(src, dst, 0, 20, k.offset, k.offset, last, false, false) && dst.GetSize() == 3) << k.reason;
        const C2dPosAndSt& q = dst.GetAt(1);
        const double dn = q.north - 10, de = q.east;
        EXPECT_TRUE(q.station == 10.0 && std::fabs(std::hypot(dn, de) - k.distance) < 1e-9)
            << k.reason << ": " << dn << " " << de;
        // On the side of the offset: across the incoming chord (north) to the right is east;
        // at a node on the bisector, equally far across both chords.
        EXPECT_GT(de * k.offset, 0.0) << k.reason;
        EXPECT_TRUE(!k.node || std::fabs(de - (-dn * std::sin(k.turn * kRad) + de * std::cos(k.turn * kRad))) < 1e-9)
            << k.reason;
    }
}

TEST(OffsetTable, StretchesJoinIntoOneLine)
{
    CAlnt2dPosCache src;   // the straight of the examples, a vertex every 10 m
    for (double st = 0.0; st <= 100.0; st += 10.0)
        add(src, st, 0.0, st, st == 0.0 || st == 100.0);
    // east: at the stations 0, 10, ..., 100
    struct Case { TXContainerCArray<StAndOffset> t; bool ok; std::vector<double> east; const char* reason; };
    const Case cases[] = {
        {table({{0, 3}, {-1.0, 3}}), true, {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3}, "-1.0 runs to the end"},
        {table({{-50, 0}, {50, 10}, {-1.0, 10}}), true, {5, 6, 7, 8, 9, 10, 10, 10, 10, 10, 10},
         "a start before the source is interpolated at its first vertex; the taper joins the constant"},
        {table({{-90, 1}, {-20, 1}, {20, 2}, {60, -2}, {120, -2}}), true, {1.5, 1.75, 2, 1, 0, -1, -2, -2, -2, -2, -2},
         "a pair before the source is skipped, the steps in offset are joined square to the chord "
         "before them, the final pair reaches past the end"},
        {table({{-20, 1}, {0, 2}, {-1.0, 2}}), false, {},
         "a pair ending at the first vertex is a stretch of zero length, which fails the table"},
        {table({{30, 4}}), true, {}, "one entry does nothing"},
    };
    for (const Case& k : cases) {
        CAlnt2dPosCache dst;
        ASSERT_EQ(OffsetPoints(src, dst, k.t), k.ok) << k.reason;
        std::vector<std::vector<double>> expected;
        for (double e : k.east)
            expected.push_back({10.0 * expected.size(), e, 10.0 * expected.size()});
        expectPoints(dst, expected, k.reason);
    }
    CAlnt2dPosCache one, dst;
    add(one, 0, 0, 0);
    EXPECT_FALSE(OffsetPoints(one, dst, table({{0, 1}, {-1.0, 1}}))) << "one source vertex";
}

TEST(OffsetProfile, SquareToTheGradeAndConversions)
{
    // A 10 % grade from (st 0, h 0) to (st 100, h 10) offset 1 upwards: both points move
    // across the grade, so their stations move back by sin(atan 0.1).
    CAlntHtPosCache src, dst, tabled, back;
    src.addVertex(CHtAndSt{0, 0}, true);
    src.addVertex(CHtAndSt{10, 100}, true);
    double last = 0.0;
    ASSERT_TRUE(VerticalOffsetPoints(src, dst, 0, -1.0, 1, 1, last, false, false));
    const double a = std::atan(0.1);
    ASSERT_TRUE(VerticalOffsetPoints(src, tabled, table({{0, 0}, {-1.0, -2}})));
    EXPECT_NEAR(tabled.GetAt(1).height, 10 - 2 * std::cos(a), 1e-12) << "the taper ends at -2";
    // Profile -> plan -> profile returns the vertices; positions get stations 0, 1, 2.
    CAlnt2dPosCache plan, fromArray;
    VertToHzAlnt(dst, plan);
    HzToVertAlnt(plan, back);
    ASSERT_TRUE(dst.GetSize() == 2 && plan.GetSize() == 2 && back.GetSize() == 2);
    for (int i = 0; i < 2; ++i) {
        const CHtAndSt& v = dst.GetAt(i);
        EXPECT_TRUE(std::fabs(v.station - (100 * i - std::sin(a))) < 1e-12 &&
                    std::fabs(v.height - (10 * i + std::cos(a))) < 1e-12)
            << i << ": " << v.station << " " << v.height;
        EXPECT_TRUE(plan.GetAt(i).north == v.station && back.GetAt(i).station == v.station &&
                    back.GetAt(i).height == v.height) << i;
    }
    TXContainerCArray<C2dPos> positions;
    for (double e : {5.0, 3.0, 4.0})
        positions.Add(C2dPos{1.0, e});
    PosArray2Cache(positions, fromArray);
    EXPECT_TRUE(fromArray.GetSize() == 3 && fromArray.GetAt(2).station == 2.0 && fromArray.GetAt(2).east == 4.0);
}

// A constant offset o of a road sampled for a deviation, compared with the road itself at each
// written station s (P the road's point there, Q the offset point):
//   - Q lies on the side the sign of o says, across the road's tangent at s;
//   - |o| cos(t / 2) - 1e-9 <= |Q - P| <= |o| + 1e-9, where t = (l1 + l2) / (2 Rmin) bounds the
//     deflection between the chords of lengths (in station) l1 and l2 either side of the vertex:
//     a chord of a curve whose curvature never exceeds 1 / Rmin turns from the tangent at its
//     ends by at most half its length over Rmin, and the road is tangent-continuous. Ordinary
//     vertices and those whose corner ends coincide lie exactly |o| from the vertex; a node's
//     midpoint lies |o| cos(deflection / 2) from it; the mitre needs deflections above 53 degrees
//     and never occurs here.
TEST(OffsetRandom, ConstantOffsetLiesOnItsSideAtItsDistance)
{
    std::mt19937 rng(5151);
    for (int trial = 0; trial < 8; ++trial) {
        SmoothRoad road;
        buildSmoothRoad(rng, 5, trial % 2 == 0, road);
        CAlnt2dPosCache src;
        ASSERT_TRUE(src.loadNodesAndPosForDeviation(road.alnt, trial % 3 == 0 ? 0.1 : 0.01));
        for (double o : {3.0, -7.5}) {
            SCOPED_TRACE(testing::Message() << "trial " << trial << ", offset " << o);
            CAlnt2dPosCache dst;
            ASSERT_TRUE(OffsetPoints(src, dst, table({{src.GetAt(0).station, o}, {-1.0, o}})));
            ASSERT_EQ(dst.GetSize(), src.GetSize());
            for (int i = 0; i < dst.GetSize(); ++i) {
                const C2dPosAndSt& q = dst.GetAt(i);
                double n, e, az;
                ASSERT_TRUE(road.alnt.getPosNeAtChain(q.station, n, e) && road.alnt.getAzimuthAtChain(q.station, az));
                const double across = -(q.north - n) * std::sin(az * kRad) + (q.east - e) * std::cos(az * kRad);
                EXPECT_GT(across * o, 0.0) << "vertex " << i;
                const double l1 = i > 0 ? src.GetAt(i).station - src.GetAt(i - 1).station : 0.0;
                const double l2 = i + 1 < src.GetSize() ? src.GetAt(i + 1).station - src.GetAt(i).station : 0.0;
                const double t = (l1 + l2) / (2.0 * road.minRadius), d = std::hypot(q.north - n, q.east - e);
                EXPECT_TRUE(d <= std::fabs(o) + 1e-9 && d >= std::fabs(o) * std::cos(t / 2.0) - 1e-9)
                    << "vertex " << i << ": " << d;
            }
        }
    }
}
