// Position caches: the container's report, stationed vertices and nodes, the five loaders of
// each cache (step snapping, zero-length elements, loaders that must end), the 3D stationing
// queries, and properties of deviation loading over random roads.
#include "vrkmath/mathAlntCache.h"

#include "alntCacheTestSupport.h"
#include "deviceRootFixture.h"
#include "files/logFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

using namespace cachetest;

namespace {

template <class Cache>
std::vector<double> stations(const Cache& c)
{ std::vector<double> out; for (const auto& v : c) out.push_back(v.station); return out; }

std::vector<int> nodes(const CNodePosIndexes& n) { return std::vector<int>(n.begin(), n.end()); }

// A grade line of `len` metres from chainage 0 that answers `step` to every deviation query.
struct FixedAnswerGrade : CVerticalElement {
    FixedAnswerGrade(double len, double step) : CVerticalElement(10.0, 0.0, len, 1.0), m_step(step) {}
    double getStepForDeviation(double, double) const override { return m_step; }
    CAlntVe* clone() const override { return new FixedAnswerGrade(*this); }
    double m_step;
};

C2dPosAndSt vertex(double n, double e, double st) { C2dPosAndSt v; v.north = n, v.east = e, v.station = st; return v; }

} // namespace

class ContainerReport : public DeviceRootTest {};

TEST_F(ContainerReport, OutOfRangeIsReportedAndHarmless)
{
    InitLogging();
    TXContainerCArray<int> a;
    for (int i = 0; i < 5; ++i)
        a.Add(i);
    EXPECT_EQ(a.GetAt(5), 0);
    a[7] = 99;   // writes to a stray slot, not to the array
    EXPECT_TRUE(a.GetSize() == 5 && a.GetAt(-1) == 0);
    FinishLogging();
    std::string text;
    for (const auto& f : std::filesystem::recursive_directory_iterator(m_root))
        if (f.is_regular_file())
            text += readHost(std::filesystem::relative(f.path(), m_root).string());
    size_t count = 0;
    const std::string report = "*** error in inlines/templates, line 617";
    for (size_t at = text.find(report); at != std::string::npos; at = text.find(report, at + 1))
        ++count;
    EXPECT_EQ(count, 3u) << text;
}

// ---------------------------------------------------------------------------------------------
// Stationed vertices and nodes

// Vertices at stations 0, 10, 20 (N = station, E 0, 0, 10): the next vertex strictly after a
// station, and positions between them (a vertex gives its own), interpolated by station.
TEST(Vertices, NextIndexInterpolationInsertionAndNearestSegment)
{
    CAlnt2dPosCache c;
    EXPECT_EQ(c.getNextVertexIndex(0.0), -1) << "empty";
    for (double st : {0.0, 10.0, 20.0})
        c.addVertex(vertex(st, st == 20.0 ? 10.0 : 0.0, st), false);
    struct Case { double station; int next; bool on; double n, e; };
    const Case cases[] = {{-5.0, 0, false, 0, 0}, {-0.5, 0, false, 0, 0}, {0.0, 1, true, 0, 0}, {5.0, 1, true, 5, 0},
                          {10.0, 2, true, 10, 0}, {10.0 + 1e-13, 2, true, 10, 0}, {15.0, 2, true, 15, 5},
                          {20.0, -1, true, 20, 10}, {25.0, -1, false, 0, 0}};
    for (const Case& k : cases) {
        C2dPos p{7, 7};
        EXPECT_EQ(c.getNextVertexIndex(k.station), k.next) << "station " << k.station;
        EXPECT_EQ(c.getPosOnSegment(k.station, p), k.on) << "station " << k.station;
        EXPECT_TRUE(!k.on || (std::fabs(p.north - k.n) < 1e-12 && std::fabs(p.east - k.e) < 1e-12)) << "station " << k.station;
    }

    CAlnt2dPosCache d;
    EXPECT_EQ(d.addVertex(vertex(5, -3, 0.0), true), 0);
    EXPECT_EQ(d.addVertex(vertex(9, 4, 20.0), true), 1);
    EXPECT_EQ(d.addVertex(vertex(-2, 1, 10.0), false), 1) << "inserted between";
    EXPECT_EQ(d.addVertex(vertex(7, 7, 10.0 + 1e-13), true), 1) << "same station: no insertion";
    EXPECT_EQ(stations(d), (std::vector<double>{0.0, 10.0, 20.0}));
    EXPECT_EQ(nodes(d.getNodes()), (std::vector<int>{0, 1, 2})) << "node 20 moved with its vertex";
    EXPECT_TRUE(d.getMinNorth() == -2.0 && d.getMaxNorth() == 9.0 && d.getMinEast() == -3.0);
    EXPECT_EQ(d.getMaxEast(), 4.0) << "the vertex that was not inserted does not widen the box";
    d.clear();
    EXPECT_TRUE(d.IsEmpty() && d.getNodes().IsEmpty() && d.getMaxEast() == 0.0);

    // The nearest segment; a right angle: (0,0) -> (10,0) -> (10,10) -> (0,10).
    double dist = -1.0;
    EXPECT_EQ(d.findNearestSegment(C2dPos{0, 0}, &dist), -1);
    EXPECT_EQ(dist, -1.0) << "empty: distance not written";
    d.addVertex(vertex(0, 0, 0), false);
    EXPECT_TRUE(d.findNearestSegment(C2dPos{3, 4}, &dist) == -1 && dist == 0.0);
    d.addVertex(vertex(10, 0, 10), false);
    d.addVertex(vertex(10, 10, 20), false);
    d.addVertex(vertex(0, 10, 30), false);
    struct Near { C2dPos p; int segment; double dist; };
    const Near nears[] = {{{5, -2}, 0, 2.0}, {{12, 5}, 1, 2.0}, {{5, 5}, 0, 5.0}, {{15, 15}, 1, std::sqrt(50.0)},
                          {{-3, 12}, 2, std::sqrt(13.0)}};
    for (const Near& k : nears)
        EXPECT_TRUE(d.findNearestSegment(k.p, &dist) == k.segment && std::fabs(dist - k.dist) < 1e-12)
            << k.p.north << "," << k.p.east;
    CAlntHtPosCache h;   // the profile measures in (station, height)
    for (double st : {0.0, 100.0, 200.0})
        h.addVertex(CHtAndSt{st == 200.0 ? 10.0 : 0.0, st}, false);
    EXPECT_TRUE(h.findNearestSegment(CHtAndSt{3, 50}, &dist) == 0 && std::fabs(dist - 3.0) < 1e-12);
}

TEST(Nodes, PositionIndexToElement)
{
    // Elements 0 and 3 long, 1 and 2 of zero length: nodes 0, 4, 4, 4, 9.
    CNodePosIndexes n;
    for (int i : {0, 4, 4, 4, 9})
        n.addNode(i);
    const int cases[][2] = {{-1, -1}, {0, 0}, {2, 0}, {4, 3}, {7, 3}, {9, 4}, {12, 4}};
    for (const auto& k : cases)
        EXPECT_EQ(n.posIndex2AlntElementIndex(k[0]), k[1]) << "vertex " << k[0];
    n.addNode(2);
    EXPECT_EQ(nodes(n), (std::vector<int>{0, 2, 4, 4, 4, 9}));
}

// ---------------------------------------------------------------------------------------------
// Loaders

// A 100 m road, a straight and a grade line from height 10 at 2 %, loaded by steps: every 30 m
// gives 0, 30, 60, 90, 100. Every 33.3336 m the last step ends 0.0008 past the end, every
// 33.3331 m 0.0007 before it: the walker snaps, the one-element loader stops past the end and
// does not snap before it. The ends are the nodes; heights lie on the grade line.
TEST(Loaders, StepsAndSnappingAtTheEnd)
{
    struct Case { double step; bool whole; std::vector<double> expected; const char* reason; };
    const Case cases[] = {
        {30.0, true, {0, 30, 60, 90, 100}, "every 30 m, the whole road"},
        {30.0, false, {0, 30, 60, 90, 100}, "every 30 m, one element"},
        {33.3336, true, {0, 33.3336, 66.6672, 100}, "the walker snaps 0.0008 past the end"},
        {33.3336, false, {0, 33.3336, 66.6672, 100}, "the one-element loader stops past the end"},
        {33.3331, true, {0, 33.3331, 66.6662, 100}, "the walker snaps 0.0007 before the end"},
        {33.3331, false, {0, 33.3331, 66.6662, 99.9993, 100}, "the one-element loader does not snap"},
    };
    CAlnt a;
    a.setStartPos(0, 0, 10.0);
    a.appendElement(segment(100.0));
    a.appendElement(CVerticalElement(10.0, 0.0, 100.0, 2.0));
    for (const Case& k : cases) {
        CAlnt2dPosCache plan;
        CAlntHtPosCache profile;
        ASSERT_TRUE(k.whole ? plan.loadNodesAndPosWithStep(a, k.step) && profile.loadNodesAndPosWithStep(a, k.step)
                            : plan.loadNodesAndPosWithStep(*a.getHe(0), k.step) &&
                                  profile.loadNodesAndPosWithStep(*a.getVe(0), k.step)) << k.reason;
        for (const std::vector<double>& got : {stations(plan), stations(profile)}) {
            ASSERT_EQ(got.size(), k.expected.size()) << k.reason;
            for (size_t i = 0; i < got.size(); ++i)
                EXPECT_NEAR(got[i], k.expected[i], 1e-9) << k.reason;
        }
        const std::vector<int> ends{0, int(k.expected.size()) - 1};
        EXPECT_TRUE(nodes(plan.getNodes()) == ends && nodes(profile.getNodes()) == ends) << k.reason;
        for (const CHtAndSt& v : profile)   // (a height within 0.001 of the end is the end's)
            EXPECT_NEAR(v.height, 10.0 + 0.02 * (100.0 - v.station < 0.001 ? 100.0 : v.station), 1e-12) << k.reason;
        EXPECT_TRUE(!k.whole || profile.getVIpNodes().GetSize() == 1) << k.reason;
    }
}

TEST(Loaders, ZeroLengthElementsRepeatTheirNode)
{
    // 50 m, 0 m, 50 m, 0 m (the last element has no length either).
    CAlnt a;
    for (double len : {50.0, 0.0, 50.0, 0.0})
        a.appendElement(segment(len));
    CAlnt2dPosCache step, dev, only;
    ASSERT_TRUE(step.loadNodesAndPosWithStep(a, 25.0) && dev.loadNodesAndPosForDeviation(a, 0.01) && only.loadOnlyNodes(a));
    EXPECT_EQ(stations(step), (std::vector<double>{0, 25, 50, 75, 100}));
    EXPECT_EQ(nodes(step.getNodes()), (std::vector<int>{0, 2, 2, 4, 4}));
    EXPECT_EQ(stations(dev), (std::vector<double>{0, 50, 100}));
    EXPECT_EQ(nodes(dev.getNodes()), (std::vector<int>{0, 1, 1, 2, 2}));
    EXPECT_EQ(nodes(only.getNodes()), (std::vector<int>{0, 1, 1, 2, 2}));
    EXPECT_EQ(step.getNodes().posIndex2AlntElementIndex(2), 2) << "the last element starting there";
}

TEST(Loaders, EveryLoaderEnds)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    CAlnt a;
    a.appendElement(segment(100.0));
    for (double step : {0.0, -5.0, 0.0004, nan}) {
        CAlnt2dPosCache plan;
        CAlntHtPosCache profile;
        EXPECT_FALSE(plan.loadNodesAndPosWithStep(a, step) || plan.loadNodesAndPosWithStep(*a.getHe(0), step) ||
                     profile.loadNodesAndPosWithStep(FixedAnswerGrade(100.0, 1.0), step)) << step;
    }
    // Elements answering steps that could never finish: the whole-alignment loader leaves each
    // for the next (no end vertex after the last), the one-element loader stops with false.
    for (double answer : {0.0, 0.0004, -3.0, nan}) {
        CAlnt v;
        v.appendElement(FixedAnswerGrade(40.0, answer));
        v.appendElement(FixedAnswerGrade(60.0, answer));
        CAlntHtPosCache c;
        ASSERT_TRUE(c.loadNodesAndPosForDeviation(v, 0.01)) << answer;
        EXPECT_EQ(stations(c), (std::vector<double>{0, 40})) << answer;
        EXPECT_FALSE(c.loadNodesAndPosForDeviation(FixedAnswerGrade(40.0, answer), 0.01)) << answer;
    }
    CAlnt empty;
    CAlnt2dPosCache c;
    EXPECT_FALSE(c.loadNodesAndPosForDeviation(empty, 0.01)) << "an empty road";
    EXPECT_TRUE(c.loadOnlyNodes(empty) && c.GetSize() == 1) << "the start point alone";
}

TEST(Cache3d, Stationing)
{
    CAlnt3dPosCache c;
    double lo = 7, hi = 7, next = 7;
    EXPECT_FALSE(c.getMinMaxStationing(lo, hi));
    EXPECT_EQ(lo + hi, 0.0) << "both start at 0";
    for (double st : {10.0, 20.0, 40.0})
        c.getPlan().addVertex(vertex(0, 0, st), false);
    EXPECT_TRUE(c.getMinMaxStationing(lo, hi) && lo == 10.0 && hi == 40.0);
    for (double st : {0.0, 15.0, 30.0})
        c.getProfile().addVertex(CHtAndSt{1.0, st}, false);
    EXPECT_TRUE(c.getMinMaxStationing(lo, hi) && lo == 0.0 && hi == 40.0);
    // A cache whose next vertex is its first does not count; the nearer of the two wins.
    const double cases[][2] = {{-1, -1}, {5, 15}, {12, 15}, {15, 20}, {25, 30}, {30, 40}, {40, -1}};
    for (const auto& k : cases) {
        const bool ok = c.getNextVertexStationing(k[0], next);
        EXPECT_TRUE(ok == (k[1] >= 0) && (!ok || next == k[1])) << k[0];
    }
}

// ---------------------------------------------------------------------------------------------
// Properties over random roads (fixed seed)

// Deviation loading of the plan and the profile: vertices on the road, chord middles within
// the deviation (and a margin for the chord's own length along the curve), one node per joint
// at its chainage (the plan's where the node loader puts them).
TEST(LoadersRandom, DeviationVerticesLieOnTheRoadAndChordsStayClose)
{
    std::mt19937 rng(7301);
    for (int trial = 0; trial < 12; ++trial) {
        SmoothRoad road;
        buildSmoothRoad(rng, 6, trial % 3 == 0, road);
        const CAlnt& a = road.alnt;
        CAlnt2dPosCache onlyNodes;
        ASSERT_TRUE(onlyNodes.loadOnlyNodes(a));
        for (double dev : {0.1, 0.01, 0.001}) {
            SCOPED_TRACE(testing::Message() << "trial " << trial << ", deviation " << dev);
            CAlnt2dPosCache plan;
            CAlntHtPosCache profile;
            ASSERT_TRUE(plan.loadNodesAndPosForDeviation(a, dev) && profile.loadNodesAndPosForDeviation(a, dev));
            EXPECT_EQ(plan.getIpNodes().GetSize(), road.easedCorners);
            double n, e, h, joint;
            for (int i = 0; i < plan.GetSize(); ++i) {
                const C2dPosAndSt &v = plan.GetAt(i), &w = plan.GetAt(std::min(i + 1, plan.GetSize() - 1));
                ASSERT_TRUE(a.getPosNeAtChain(v.station, n, e)) << v.station;
                ASSERT_LE(std::hypot(v.north - n, v.east - e), 1e-9) << "vertex " << i;
                ASSERT_TRUE(a.getPosNeAtChain((v.station + w.station) / 2.0, n, e));
                ASSERT_LE(std::hypot((v.north + w.north) / 2.0 - n, (v.east + w.east) / 2.0 - e), dev + 1e-4) << "chord " << i;
            }
            for (int i = 0; i < profile.GetSize(); ++i) {
                const CHtAndSt &v = profile.GetAt(i), &w = profile.GetAt(std::min(i + 1, profile.GetSize() - 1));
                ASSERT_TRUE(a.getPosHAtChain(v.station, h));
                ASSERT_LE(std::fabs(v.height - h), 1e-9) << "vertex " << i;
                ASSERT_TRUE(a.getPosHAtChain((v.station + w.station) / 2.0, h));
                ASSERT_LE(std::fabs((v.height + w.height) / 2.0 - h), dev + 1e-4) << "chord " << i;
            }
            ASSERT_EQ(plan.getNodes().GetSize(), a.getNumOfHes() + 1);
            ASSERT_EQ(profile.getNodes().GetSize(), a.getNumOfVes() + 1);
            for (int k = 0; k < plan.getNodes().GetSize(); ++k) {
                const C2dPosAndSt& v = plan.GetAt(plan.getNodes().GetAt(k));
                const C2dPosAndSt& w = onlyNodes.GetAt(onlyNodes.getNodes().GetAt(k));
                ASSERT_TRUE(k < a.getNumOfHes() ? a.getHe(k)->getStartChainageInM(joint) : a.getFinalChainageInM(joint));
                EXPECT_NEAR(v.station, joint, 1e-9) << "node " << k;
                EXPECT_NEAR(std::hypot(v.north - w.north, v.east - w.east), 0.0, 1e-9) << "node " << k;
            }
            for (int k = 0; k < a.getNumOfVes(); ++k) {
                ASSERT_TRUE(a.getVe(k)->getStartChainageInM(joint));
                EXPECT_NEAR(profile.GetAt(profile.getNodes().GetAt(k)).station, joint, 1e-9) << "node " << k;
            }
        }
    }
}
