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
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

using namespace cachetest;

namespace {

template <class Cache>
std::vector<double> stations(const Cache& c)
{
    std::vector<double> out;
    for (const auto& v : c)
        out.push_back(v.station);
    return out;
}

std::vector<int> nodes(const CNodePosIndexes& n)
{
    return std::vector<int>(n.begin(), n.end());
}

// A grade line of `len` metres from chainage 0 that answers `step` to every deviation query.
class FixedAnswerGrade : public CVerticalElement {
public:
    FixedAnswerGrade(double len, double step) : CVerticalElement(10.0, 0.0, len, 1.0), m_step(step) {}
    double getStepForDeviation(double, double) const override { return m_step; }
    CAlntVe* clone() const override { return new FixedAnswerGrade(*this); }

private:
    double m_step;
};

C2dPosAndSt vertex(double n, double e, double st)
{
    C2dPosAndSt v;
    v.north = n, v.east = e, v.station = st;
    return v;
}

} // namespace

// ---------------------------------------------------------------------------------------------

class ContainerReport : public DeviceRootTest {};

TEST_F(ContainerReport, OutOfRangeIsReportedAndHarmless)
{
    InitLogging();
    TXContainerCArray<int> a;
    for (int i = 0; i < 5; ++i)
        a.Add(i);
    EXPECT_EQ(a.GetAt(5), 0);
    a[7] = 99;   // writes to a stray slot, not to the array
    EXPECT_EQ(a.GetSize(), 5);
    EXPECT_EQ(a.GetAt(-1), 0);
    FinishLogging();
    std::string text;
    for (const auto& f : std::filesystem::recursive_directory_iterator(m_root)) {
        std::ifstream in(f.path(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        text += s.str();
    }
    size_t count = 0;
    const std::string report = "*** error in inlines/templates, line 617";
    for (size_t at = text.find(report); at != std::string::npos; at = text.find(report, at + 1))
        ++count;
    EXPECT_EQ(count, 3u) << text;
}

// ---------------------------------------------------------------------------------------------
// Stationed vertices and nodes

TEST(Vertices, NextIndexAndInterpolation)
{
    CAlnt2dPosCache c;
    EXPECT_EQ(c.getNextVertexIndex(0.0), -1) << "empty";
    for (double st : {0.0, 10.0, 20.0})
        c.addVertex(vertex(st, st == 20.0 ? 10.0 : 0.0, st), false);
    struct Case {
        double station;
        int next;
    } cases[] = {{10.0, 2}, {15.0, 2}, {20.0, -1}, {-5.0, 0}, {0.0, 1}, {10.0 + 1e-13, 2}, {25.0, -1}};
    for (const Case& k : cases)
        EXPECT_EQ(c.getNextVertexIndex(k.station), k.next) << "station " << k.station;

    C2dPos p;
    ASSERT_TRUE(c.getPosOnSegment(5.0, p));
    EXPECT_DOUBLE_EQ(p.north, 5.0);
    EXPECT_DOUBLE_EQ(p.east, 0.0);
    ASSERT_TRUE(c.getPosOnSegment(15.0, p));
    EXPECT_DOUBLE_EQ(p.east, 5.0);
    ASSERT_TRUE(c.getPosOnSegment(20.0, p));
    EXPECT_DOUBLE_EQ(p.east, 10.0) << "a vertex gives its own position";
    EXPECT_FALSE(c.getPosOnSegment(25.0, p));
    EXPECT_FALSE(c.getPosOnSegment(-0.5, p));
}

TEST(Vertices, InsertionKeepsOrderBoxAndNodes)
{
    CAlnt2dPosCache c;
    EXPECT_EQ(c.addVertex(vertex(5, -3, 0.0), true), 0);
    EXPECT_EQ(c.addVertex(vertex(9, 4, 20.0), true), 1);
    EXPECT_EQ(c.addVertex(vertex(-2, 1, 10.0), false), 1) << "inserted between";
    EXPECT_EQ(c.addVertex(vertex(7, 7, 10.0 + 1e-13), true), 1) << "same station: no insertion";
    EXPECT_EQ(stations(c), (std::vector<double>{0.0, 10.0, 20.0}));
    EXPECT_EQ(nodes(c.getNodes()), (std::vector<int>{0, 1, 2})) << "node 20 moved with its vertex";
    EXPECT_EQ(c.getMinNorth(), -2.0);
    EXPECT_EQ(c.getMaxNorth(), 9.0);
    EXPECT_EQ(c.getMinEast(), -3.0);
    EXPECT_EQ(c.getMaxEast(), 4.0) << "the vertex that was not inserted does not widen the box";
    c.clear();
    EXPECT_TRUE(c.IsEmpty() && c.getNodes().IsEmpty());
    EXPECT_EQ(c.getMaxEast(), 0.0);
}

TEST(Vertices, NearestSegment)
{
    CAlnt2dPosCache c;
    double d = -1.0;
    EXPECT_EQ(c.findNearestSegment(C2dPos{0, 0}, &d), -1);
    EXPECT_EQ(d, -1.0) << "empty: distance not written";
    c.addVertex(vertex(0, 0, 0), false);
    EXPECT_EQ(c.findNearestSegment(C2dPos{3, 4}, &d), -1);
    EXPECT_EQ(d, 0.0);
    // A right angle: (0,0) -> (10,0) -> (10,10) -> (0,10).
    c.addVertex(vertex(10, 0, 10), false);
    c.addVertex(vertex(10, 10, 20), false);
    c.addVertex(vertex(0, 10, 30), false);
    struct Case {
        C2dPos p;
        int segment;
        double dist;
    } cases[] = {{{5, -2}, 0, 2.0}, {{12, 5}, 1, 2.0}, {{5, 5}, 0, 5.0}, {{15, 15}, 1, std::sqrt(50.0)}, {{-3, 12}, 2, std::sqrt(13.0)}};
    for (const Case& k : cases) {
        EXPECT_EQ(c.findNearestSegment(k.p, &d), k.segment) << k.p.north << "," << k.p.east;
        EXPECT_NEAR(d, k.dist, 1e-12);
    }
    CAlntHtPosCache h;   // the profile measures in (station, height)
    for (double st : {0.0, 100.0, 200.0})
        h.addVertex(CHtAndSt{st == 200.0 ? 10.0 : 0.0, st}, false);
    EXPECT_EQ(h.findNearestSegment(CHtAndSt{3, 50}, &d), 0);
    EXPECT_NEAR(d, 3.0, 1e-12);
}

TEST(Nodes, PositionIndexToElement)
{
    // Elements 0 and 3 long, 1 and 2 of zero length: nodes 0, 4, 4, 4, 9.
    CNodePosIndexes n;
    for (int i : {0, 4, 4, 4, 9})
        n.addNode(i);
    struct Case {
        int pos;
        int element;
    } cases[] = {{-1, -1}, {0, 0}, {2, 0}, {4, 3}, {7, 3}, {9, 4}, {12, 4}};
    for (const Case& k : cases)
        EXPECT_EQ(n.posIndex2AlntElementIndex(k.pos), k.element) << "vertex " << k.pos;
    n.addNode(2);
    EXPECT_EQ(nodes(n), (std::vector<int>{0, 2, 4, 4, 4, 9}));
}

// ---------------------------------------------------------------------------------------------
// Loaders

TEST(Loaders, GradeLineEveryThirtyMetres)
{
    CAlnt a;
    a.setStartPos(0.0, 0.0, 10.0);
    a.appendElement(CVerticalElement(10.0, 0.0, 100.0, 2.0));
    const std::vector<double> expected{0, 30, 60, 90, 100};
    CAlntHtPosCache whole, one;
    ASSERT_TRUE(whole.loadNodesAndPosWithStep(a, 30.0));
    ASSERT_TRUE(one.loadNodesAndPosWithStep(*a.getVe(0), 30.0));
    for (const CAlntHtPosCache* c : {&whole, &one}) {
        EXPECT_EQ(stations(*c), expected);
        EXPECT_EQ(nodes(c->getNodes()), (std::vector<int>{0, 4}));
        EXPECT_NEAR(c->GetAt(2).height, 11.2, 1e-12);
    }
    EXPECT_EQ(whole.getVIpNodes().GetSize(), 1);
}

TEST(Loaders, StepsEndingNearTheEndSnap)
{
    struct Case {
        double step;
        bool whole;
        std::vector<double> expected;
        const char* reason;
    } cases[] = {
        {33.3336, true, {0, 33.3336, 66.6672, 100}, "the walker snaps 0.0008 past the end"},
        {33.3336, false, {0, 33.3336, 66.6672, 100}, "the one-element loader stops past the end"},
        {33.3331, true, {0, 33.3331, 66.6662, 100}, "the walker snaps 0.0007 before the end"},
        {33.3331, false, {0, 33.3331, 66.6662, 99.9993, 100}, "the one-element loader does not snap"},
    };
    CAlnt a;
    a.setStartPos(0, 0, 0);
    a.appendElement(segment(100.0));
    a.appendElement(CVerticalElement(0.0, 0.0, 100.0, 1.0));
    for (const Case& k : cases) {
        CAlnt2dPosCache plan;
        CAlntHtPosCache profile;
        ASSERT_TRUE(k.whole ? plan.loadNodesAndPosWithStep(a, k.step) : plan.loadNodesAndPosWithStep(*a.getHe(0), k.step));
        ASSERT_TRUE(k.whole ? profile.loadNodesAndPosWithStep(a, k.step)
                            : profile.loadNodesAndPosWithStep(*a.getVe(0), k.step));
        const std::vector<double> p = stations(plan), h = stations(profile);
        ASSERT_EQ(p.size(), k.expected.size()) << k.reason;
        ASSERT_EQ(h.size(), k.expected.size()) << k.reason;
        for (size_t i = 0; i < p.size(); ++i) {
            EXPECT_NEAR(p[i], k.expected[i], 1e-9) << k.reason;
            EXPECT_NEAR(h[i], k.expected[i], 1e-9) << k.reason;
        }
    }
}

TEST(Loaders, ZeroLengthElementsRepeatTheirNode)
{
    // 50 m, 0 m, 50 m, 0 m (the last element has no length either).
    CAlnt a;
    for (double len : {50.0, 0.0, 50.0, 0.0})
        a.appendElement(segment(len));
    CAlnt2dPosCache step, dev, only;
    ASSERT_TRUE(step.loadNodesAndPosWithStep(a, 25.0));
    ASSERT_TRUE(dev.loadNodesAndPosForDeviation(a, 0.01));
    ASSERT_TRUE(only.loadOnlyNodes(a));
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
        EXPECT_FALSE(plan.loadNodesAndPosWithStep(a, step)) << step;
        EXPECT_FALSE(plan.loadNodesAndPosWithStep(*a.getHe(0), step)) << step;
        EXPECT_FALSE(profile.loadNodesAndPosWithStep(FixedAnswerGrade(100.0, 1.0), step)) << step;
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
    EXPECT_FALSE(c.loadNodesAndPosForDeviation(empty, 0.01));
    EXPECT_TRUE(c.loadOnlyNodes(empty)) << "the start point alone";
    EXPECT_EQ(c.GetSize(), 1);
}

TEST(Cache3d, Stationing)
{
    CAlnt3dPosCache c;
    double lo = 7, hi = 7, next = 7;
    EXPECT_FALSE(c.getMinMaxStationing(lo, hi));
    EXPECT_EQ(lo + hi, 0.0) << "both start at 0";
    for (double st : {10.0, 20.0, 40.0})
        c.getPlan().addVertex(vertex(0, 0, st), false);
    ASSERT_TRUE(c.getMinMaxStationing(lo, hi));
    EXPECT_EQ(lo, 10.0);
    EXPECT_EQ(hi, 40.0);
    for (double st : {0.0, 15.0, 30.0})
        c.getProfile().addVertex(CHtAndSt{1.0, st}, false);
    ASSERT_TRUE(c.getMinMaxStationing(lo, hi));
    EXPECT_EQ(lo, 0.0);
    EXPECT_EQ(hi, 40.0);
    // A cache whose next vertex is its first does not count; the nearer of the two wins.
    const double cases[][2] = {{-1, -1}, {5, 15}, {12, 15}, {15, 20}, {25, 30}, {30, 40}, {40, -1}};
    for (const auto& k : cases) {
        const bool ok = c.getNextVertexStationing(k[0], next);
        EXPECT_EQ(ok, k[1] >= 0) << k[0];
        EXPECT_TRUE(!ok || next == k[1]) << k[0];
    }
}

// ---------------------------------------------------------------------------------------------
// Properties over random roads (fixed seed)

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
            ASSERT_TRUE(plan.loadNodesAndPosForDeviation(a, dev));
            ASSERT_TRUE(profile.loadNodesAndPosForDeviation(a, dev));
            EXPECT_EQ(plan.getIpNodes().GetSize(), road.easedCorners);

            // Plan: vertices on the road, nodes on the joints, chords within the deviation.
            double n, e, h;
            for (int i = 0; i < plan.GetSize(); ++i) {
                const C2dPosAndSt& v = plan.GetAt(i);
                ASSERT_TRUE(a.getPosNeAtChain(v.station, n, e)) << v.station;
                ASSERT_LE(std::hypot(v.north - n, v.east - e), 1e-9) << "vertex " << i;
                if (i + 1 < plan.GetSize()) {
                    const C2dPosAndSt& w = plan.GetAt(i + 1);
                    ASSERT_TRUE(a.getPosNeAtChain((v.station + w.station) / 2.0, n, e));
                    ASSERT_LE(std::hypot((v.north + w.north) / 2.0 - n, (v.east + w.east) / 2.0 - e), dev + 1e-4)
                        << "chord " << i;
                }
            }
            ASSERT_EQ(plan.getNodes().GetSize(), a.getNumOfHes() + 1);
            for (int k = 0; k < plan.getNodes().GetSize(); ++k) {
                const C2dPosAndSt& v = plan.GetAt(plan.getNodes().GetAt(k));
                const C2dPosAndSt& w = onlyNodes.GetAt(onlyNodes.getNodes().GetAt(k));
                double joint;
                if (k < a.getNumOfHes())
                    a.getHe(k)->getStartChainageInM(joint);
                else
                    a.getFinalChainageInM(joint);
                EXPECT_NEAR(v.station, joint, 1e-9) << "node " << k;
                EXPECT_NEAR(std::hypot(v.north - w.north, v.east - w.east), 0.0, 1e-9) << "node " << k;
            }

            // Profile: the same in (station, height).
            for (int i = 0; i < profile.GetSize(); ++i) {
                const CHtAndSt& v = profile.GetAt(i);
                ASSERT_TRUE(a.getPosHAtChain(v.station, h));
                ASSERT_LE(std::fabs(v.height - h), 1e-9) << "vertex " << i;
                if (i + 1 < profile.GetSize()) {
                    const CHtAndSt& w = profile.GetAt(i + 1);
                    ASSERT_TRUE(a.getPosHAtChain((v.station + w.station) / 2.0, h));
                    ASSERT_LE(std::fabs((v.height + w.height) / 2.0 - h), dev + 1e-4) << "chord " << i;
                }
            }
            ASSERT_EQ(profile.getNodes().GetSize(), a.getNumOfVes() + 1);
            for (int k = 0; k < a.getNumOfVes(); ++k) {
                double joint;
                a.getVe(k)->getStartChainageInM(joint);
                EXPECT_NEAR(profile.GetAt(profile.getNodes().GetAt(k)).station, joint, 1e-9) << "node " << k;
            }
        }
    }
}
