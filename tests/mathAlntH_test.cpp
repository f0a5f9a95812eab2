// The horizontal alignment: lookup by chainage, extrapolation and offsets, placement, bulk
// updates and removal, corners, the IP of a curve group, a worked spiral-curve-spiral road, and
// properties over random alignments.
#include "vrkmath/mathAlntH.h"

#include "alntCacheTestSupport.h"
#include "cogo/curveFormulas.h"
#include "vrkmath/mathIntersect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

using namespace cachetest;

namespace {

constexpr double kDegToRad = 0.017453292519943295;

// The alignment with its protected start point opened for the tests.
class TestAlntH : public CAlntH {
public:
    using CAlntH::setStartPos;
};

// Difference of two azimuths in degrees, reduced into [-180, 180).
double azDiffDeg(double a, double b) { return std::remainder(a - b, 360.0); }

C2dPos finalPos(const CAlntH& h)
{
    C2dPos p{};
    EXPECT_TRUE(h.getFinalPosNe(p.north, p.east));
    return p;
}

template <class... E>
void appendAll(CAlntH& h, const E&... e) { (h.appendElement(e), ...); }

} // namespace

TEST(AlntH, OneSegmentAtChainage1000)
{
    CAlntH h;
    h.setStartChainageInM(1000.0);
    ASSERT_TRUE(h.appendElement(segment(100.0)));
    struct Case { const char* reason; bool extr; double chain, offset; bool ok; double n, e; };   // extr: ...AndOffsetExtr
    const Case cases[] = {
        {"inside", false, 1050.0, 0.0, true, 50.0, 0.0},
        {"within roadTolerance past the end", false, 1100.0005, 0.0, true, 100.0, 0.0},
        {"beyond the end", false, 1101.0, 0.0, false, 0, 0}, {"before the start", false, 999.0, 0.0, false, 0, 0},
        {"offset right after the end", true, 1101.0, 2.0, true, 101.0, 2.0},
        {"offset left before the start", true, 990.0, -2.0, true, -10.0, -2.0},
        {"offset below smallNumTolerance", true, 1050.0, 5e-6, true, 50.0, 0.0},
    };
    for (const Case& c : cases) {
        double n = 7.0, e = 7.0, az = 7.0;
        EXPECT_EQ(c.extr ? h.getPosNeAtChainAndOffsetExtr(c.chain, c.offset, n, e) : h.getPosNeAtChain(c.chain, n, e), c.ok)
            << c.reason;
        EXPECT_TRUE(std::fabs(n - (c.ok ? c.n : 7.0)) < 1e-12 && std::fabs(e - (c.ok ? c.e : 7.0)) < 1e-12)
            << c.reason << ": " << n << " " << e;
        EXPECT_TRUE(h.getAzimuthAtChainExtr(c.chain, az) && az == 0.0) << c.reason;
    }
    double final;
    EXPECT_TRUE(h.getFinalChainageInM(final) && final == 1100.0);
}

TEST(AlntH, ExtrapolationFollowsTheEndTangents)
{
    // A left quarter circle (R 100) from (0, 0), its start fixed heading east: it ends at
    // (100, 100) heading north.
    CAlntH h;
    CAlntHeArc quarter = arc(50.0 * kPi, 100.0, false);
    quarter.setFixedStartAzInDegs(90.0);
    h.appendElement(quarter);
    struct Case { const char* reason; double chain, offset, n, e, azDeg; };
    const Case cases[] = {
        {"before: back west", -10.0, 0.0, 0.0, -10.0, 90.0},
        {"before: right of east is south", -10.0, 3.0, -3.0, -10.0, 90.0},
        {"after: on north", 50.0 * kPi + 20.0, 0.0, 120.0, 100.0, 0.0},
        {"after: left of north is west", 50.0 * kPi + 20.0, -4.0, 120.0, 96.0, 0.0},
        {"inside: right is outside the curve", 25.0 * kPi, 10.0, 100.0 - 110.0 * std::cos(kPi / 4),
         110.0 * std::sin(kPi / 4), 45.0},
    };
    for (const Case& c : cases) {
        double n, e, az;
        ASSERT_TRUE(h.getPosNeAtChainAndOffsetExtr(c.chain, c.offset, n, e)) << c.reason;
        EXPECT_NEAR(std::hypot(n - c.n, e - c.e), 0.0, 1e-9) << c.reason;
        // The alignment's azimuth before its start is the first element's at l < 0 (for an arc
        // not the start tangent); the element's own extrapolation gives the tangent.
        ASSERT_TRUE(h.getAzimuthAtChainExtr(c.chain, az)) << c.reason;
        EXPECT_TRUE(c.chain < 0.0 || std::fabs(azDiffDeg(az, c.azDeg)) < 1e-9) << c.reason;
        ASSERT_TRUE(h.getHe(0)->getPosNeAtChainAndOffsetExtr(c.chain, c.offset, n, e) &&
                    h.getHe(0)->getAzimuthAtChainExtr(c.chain, az)) << c.reason;
        EXPECT_TRUE(std::hypot(n - c.n, e - c.e) < 1e-9 && std::fabs(azDiffDeg(az, c.azDeg)) < 1e-9)
            << c.reason << " (element): " << n << " " << e << " " << az;
    }
    double n, e, az;
    EXPECT_FALSE(CAlntH().getPosNeAtChainAndOffsetExtr(0.0, 0.0, n, e) || CAlntH().getAzimuthAtChainExtr(0.0, az)) << "empty";
    EXPECT_FALSE(segment(10.0).getPosNeAtChainExtr(5.0, n, e)) << "unplaced";
}

TEST(AlntH, JointsAreAnsweredByTheLaterElement)
{
    CAlntH h;
    appendAll(h, segment(100.0), arc(50.0, 100.0, true), segment(30.0));
    struct Case { const char* reason; double chain; int index; double len; };   // index -1: no element
    const Case cases[] = {
        {"first joint", 100.0, 1, 0.0}, {"just before it", 99.999, 0, 99.999}, {"second joint", 150.0, 2, 0.0},
        {"within roadTolerance past the end", 180.0009, 2, 30.0009}, {"beyond roadTolerance", 180.002, -1, 0.0},
        {"before the start: element 0, negative", -5.0, 0, -5.0},
    };
    for (const Case& c : cases) {
        double len = 0.0;
        const CAlntHe* he = h.getAlntHeAtChain(c.chain, &len);
        EXPECT_EQ(he, c.index < 0 ? nullptr : h.getHe(c.index)) << c.reason;
        EXPECT_TRUE(!he || std::fabs(len - c.len) < 1e-9) << c.reason;
    }
    double n, e, n1, e1, az;
    CMathAngle start;
    ASSERT_TRUE(h.getPosNeAtChain(150.0, n, e) && h.getAzimuthAtChain(150.0, az));
    h.getHe(2)->getStartPosNe(n1, e1);
    h.getHe(2)->getStartAzimut(start);
    EXPECT_TRUE(n == n1 && e == e1 && std::fabs(azDiffDeg(az, start.getDeg())) < 1e-12);
    EXPECT_NEAR(az, 0.5 / kDegToRad, 1e-9);
}

TEST(AlntH, PlacementFirstElementFixedAzimuthsAndRefusals)
{
    // The first element heads north unless its start azimuth is fixed.
    CAlntH h;
    auto expectEnd = [&](const char* reason, double n, double e) {
        const C2dPos end = finalPos(h);
        EXPECT_NEAR(std::hypot(end.north - n, end.east - e), 0.0, 1e-9) << reason;
    };
    h.setStartAzInDegs(90.0);
    h.appendElement(segment(100.0));
    EXPECT_NEAR(h.getStartAzimut().getDeg(), 90.0, 1e-12);
    expectEnd("the start azimuth does not move the geometry", 100.0, 0.0);
    CAlntHeSegment east = segment(100.0);
    east.setFixedStartAzInDegs(90.0);
    h.insertElement(0, east);
    expectEnd("a fixed first element heads east, the next continues", 0.0, 200.0);
    h.appendElement(east);
    expectEnd("a fixed element in the middle", 0.0, 300.0);
    h.appendElement(segment(100.0, -90.0));
    expectEnd("a segment deflected -90 from east", 100.0, 300.0);
    // Incomplete elements are refused everywhere.
    const CAlntHe* before = h.getHe(0);
    const CAlntHeSegment noLength;
    const CAlntHeArc noArc;
    const CAlntHeSpiral noSpiral;
    const CAlntHeIp noIp;
    for (const CAlntHe* he : std::initializer_list<const CAlntHe*>{&noLength, &noArc, &noSpiral, &noIp}) {
        EXPECT_FALSE(h.appendElement(*he) || h.insertElement(0, *he) || h.replaceElement(0, *he)) << he->getType();
        EXPECT_TRUE(h.getNumOfHes() == 4 && h.getHe(0) == before) << he->getType();
    }
}

TEST(AlntH, CornersBecomeSimplePointsWithoutANextCorner)
{
    CAlntH h;
    auto simple = [&](int i) { return CAlntHeIp::cast(h.getHe(i))->get_data().isSimplePoint(); };
    h.appendElement(corner(300.0, 0.0, 30.0, 100.0, 30.0));
    EXPECT_TRUE(simple(0)) << "placed last";
    EXPECT_EQ(finalPos(h).north, 300.0) << "a simple point ends at its IP";
    h.appendElement(segment(50.0));
    EXPECT_TRUE(simple(0)) << "followed by a segment";
    EXPECT_EQ(CAlntHeIp::cast(h.getHe(1)), nullptr);
    h.insertElement(1, corner(300.0, 300.0, 0.0, 0.0, 0.0));
    EXPECT_FALSE(simple(0)) << "followed by a corner";
    EXPECT_TRUE(simple(1)) << "followed by a segment";
    double az;
    ASSERT_TRUE(h.getAzimuthAtChainExtr(1e6, az));
    EXPECT_NEAR(azDiffDeg(az, 90.0), 0.0, 1e-9) << "the road ends heading east";
    h.removeHe(1);
    EXPECT_TRUE(simple(0)) << "placed again after the removal";
}

TEST(AlntH, BulkUpdatesRemovalAndArcsFromCArc)
{
    CAlntH bulk;
    bulk.onBulkUpdateStarted();
    appendAll(bulk, segment(100.0), segment(100.0), segment(100.0));
    bulk.setStartChainageInM(500.0);
    double chain, n, e, len;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(bulk.getHe(i)->getStartChainageInM(chain)) << "deferred " << i;
    bulk.onBulkUpdateFinished();
    EXPECT_FALSE(bulk.isInBulkUpdate());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(bulk.getHe(i)->getStartChainageInM(chain) && chain == 500.0 + 100.0 * i) << i;
    EXPECT_TRUE(bulk.getPosNeAtChain(750.0, n, e) && std::fabs(n - 250.0) < 1e-12);

    // Removal places the rest again from the start point, chainage and azimuth.
    TestAlntH h;
    h.setStartPos(10.0, 20.0);
    h.setStartChainageInM(5.0);
    appendAll(h, segment(100.0, 90.0), arc(50.0, 80.0, true));
    h.removeHe(0);
    CMathAngle az;
    ASSERT_TRUE(h.getHe(0)->getStartChainageInM(chain));
    h.getHe(0)->getStartPosNe(n, e);
    h.getHe(0)->getStartAzimut(az);
    EXPECT_TRUE(chain == 5.0 && n == 10.0 && e == 20.0 && az.getRad() == 0.0);
    EXPECT_TRUE(h.getHLengthInM(len) && std::fabs(len - 50.0) < 1e-12) << "the cached length follows the removal";
    h.removeHe(0);
    EXPECT_EQ(h.getFirstHe(), nullptr);
    ASSERT_TRUE(h.getFinalPosNe(n, e) && h.getHLengthInM(len));
    EXPECT_TRUE(n == 10.0 && e == 20.0 && len == 0.0);

    // An arc element to a CArc and back: fixed start azimuth, kept after a kink.
    CAlntH road;
    appendAll(road, segment(40.0), arc(120.0, 250.0, false));
    CArc circle;
    ASSERT_TRUE(static_cast<const CAlntHeArc*>(road.getHe(1))->getArc(circle));
    CAlntHeArc copy;
    copy.setArc(circle);
    EXPECT_TRUE(copy.isStartAzFixed() && std::fabs(copy.getCurve().getTotalLength() - 120.0) < 1e-9 &&
                std::fabs(copy.getCurve().getRadius() + 250.0) < 1e-9);
    road.insertElement(1, segment(10.0, 30.0));
    road.replaceElement(2, copy);
    road.getHe(2)->getStartAzimut(az);
    EXPECT_NEAR(az.getRad(), 0.0, 1e-12) << "the arc keeps its own start tangent after a kink";
}

// ---------------------------------------------------------------------------------------------
// A spiral-curve-spiral road, worked by hand.
//
// Start (0, 0) heading north at chainage 1000; IP at (500, 0); the road turns 40 degrees right
// towards the next IP (883.022221559489, 321.393804843270), R = 300 m, spirals Ls = 60 m.
//   spiral deflection   thetaS = Ls / 2R = 0.1 rad
//   Xs = Ls (1 - thetaS^2/10 + thetaS^4/216)           = 59.940027778
//   Ys = Ls (thetaS/3 - thetaS^3/42 + thetaS^5/1320)   = 1.998571883
//   p  = Ys - R (1 - cos thetaS)                       = 0.499821467
//   k  = Xs - R sin thetaS                             = 29.990002784
//   tangent length Ts = (R + p) tan(40/2) + k          = 139.362993200
//   long tangent   LT = Xs - Ys / tan thetaS           = 40.020972464
//   circular arc   Lc = R (Delta - 2 thetaS)           = 149.439510239
// TS = IP - Ts along north                        = (360.637006800, 0)
// SC = TS + Xs along north + Ys right             = (420.577034578, 1.998571883)
// ST = IP + Ts along azimuth 40                   = (606.758246517, 89.580805278)
// CS = ST - Xs along azimuth 40 + Ys right of it  = (559.556864074, 52.583092983)
// Chainages: TS 1360.637006800, SC 1420.637006800, CS 1570.076517039, ST 1630.076517039.
// The tangents at TS and SC meet LT from TS.

TEST(AlntH, WorkedSpiralCurveSpiral)
{
    const double kHandTol = 2e-6;   // the hand figures carry 9 decimals
    CAlntH byCorner;
    byCorner.setStartChainageInM(1000.0);
    appendAll(byCorner, corner(500.0, 0.0, 60.0, 300.0, 60.0), corner(883.022221559489, 321.393804843270, 0.0, 0.0, 0.0));
    CAlntH byElements;
    byElements.setStartChainageInM(1000.0);
    appendAll(byElements, segment(360.637006800), spiral(60.0, 300.0, true, true), arc(149.439510239, 300.0, true),
              spiral(60.0, 300.0, true, false), segment(100.0));
    TIpNodes nodes;
    const CCurveIp& c = CAlntHeIp::cast(byCorner.getHe(0))->get_data();
    c.getIpNodes(nodes);
    struct Case { const char* reason; double chain; C2dPos p, node; };
    const Case cases[] = {
        {"TS", 1360.637006800, {360.637006800, 0.0}, {nodes.tsN, nodes.tsE}},
        {"SC", 1420.637006800, {420.577034578, 1.998571883}, {nodes.scN, nodes.scE}},
        {"CS", 1570.076517039, {559.556864074, 52.583092983}, {nodes.csN, nodes.csE}},
        {"ST", 1630.076517039, {606.758246517, 89.580805278}, {606.758246517, 89.580805278}},
    };
    for (const Case& k : cases) {
        for (const CAlntH* h : {&byCorner, &byElements}) {
            double n, e;
            ASSERT_TRUE(h->getPosNeAtChain(k.chain, n, e)) << k.reason;
            EXPECT_NEAR(std::hypot(n - k.p.north, e - k.p.east), 0.0, kHandTol)
                << k.reason << (h == &byCorner ? " corner" : " elements");
        }
        EXPECT_NEAR(std::hypot(k.node.north - k.p.north, k.node.east - k.p.east), 0.0, kHandTol) << k.reason << " node";
    }
    CMathAngle aTS, aSC;
    C2dPos meet;
    c.getSolutionStartSpiral().getStartAzimut(aTS);
    c.getSolutionStartSpiral().getFinalAzimut(aSC);
    ASSERT_TRUE(IntersectPointDirLines({nodes.tsN, nodes.tsE}, aTS, {nodes.scN, nodes.scE}, aSC, meet));
    EXPECT_NEAR(meet.north - nodes.tsN, 40.020972464, kHandTol) << "long tangent";

    // Each curve element of the road names the IP of its group; groups break at a radius
    // mismatch, a fixed start azimuth and a compound spiral.
    CAlntHeSpiral fixedExit = spiral(60.0, 300.0, true, false);
    fixedExit.setFixedStartAzInDegs(40.0 - 0.1 / kDegToRad);   // the direction at CS, fixed
    const CAlntHeArc otherRadius = arc(149.439510239, 301.0, true);
    const CAlntHeSpiral compound = compoundSpiral(60.0, 300.0, 600.0, true);
    struct IpCase { const char* reason; int replace; const CAlntHe* with; int index; bool ok, atIp; };   // replace -1: none
    const IpCase ipCases[] = {
        {"segment", -1, nullptr, 0, false, false}, {"TS->SC spiral", -1, nullptr, 1, true, true},
        {"arc", -1, nullptr, 2, true, true}, {"CS->ST spiral", -1, nullptr, 3, true, true},
        {"outside the list", -1, nullptr, 5, false, false},
        {"radius mismatch: spiral alone", 2, &otherRadius, 1, false, false},
        {"radius mismatch: arc alone", 2, &otherRadius, 2, true, false},
        {"fixed start azimuth", 3, &fixedExit, 3, false, false}, {"compound spiral", 3, &compound, 3, false, false},
        {"spiral and arc", 3, &compound, 1, true, false},
    };
    for (const IpCase& k : ipCases) {
        CAlntH h(byElements);
        if (k.replace >= 0)
            h.replaceElement(k.replace, *k.with);
        double n = 7.0, e = 7.0;
        EXPECT_EQ(h.getIpPosForElement(k.index, n, e), k.ok) << k.reason;
        EXPECT_TRUE(!k.ok || (std::hypot(n - 500.0, e) < kHandTol) == k.atIp) << k.reason;
    }
}

// ---------------------------------------------------------------------------------------------
// Properties over random alignments (fixed seeds).

namespace {

// A straight, then lines (some deflected or with a fixed start azimuth), arcs, spirals of both
// orientations, compound spirals and runs of corners.
void buildRandom(std::mt19937& rng, int count, TestAlntH& h)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    auto in = [&](double a, double b) { return a + (b - a) * u(rng); };
    h.setStartPos(in(-1000, 1000), in(-1000, 1000));
    h.setStartChainageInM(in(0, 5000));
    h.appendElement(segment(in(20, 300)));
    while (h.getNumOfHes() < count) {
        const double kind = u(rng);
        const bool right = u(rng) < 0.5;
        const bool tangent = kind >= 0.2 || (kind < 0.15 && u(rng) < 0.7);
        CAlntHeSegment s = segment(in(20, 300), tangent ? 0.0 : in(-30, 30));
        if (kind < 0.2) {
            if (kind >= 0.15)
                s.setFixedStartAzInDegs(in(-180, 180));
            h.appendElement(s);
        } else if (kind < 0.45) {
            h.appendElement(arc(in(20, 200), in(100, 1000), right));
        } else if (kind < 0.65) {
            h.appendElement(spiral(in(20, 100), in(150, 800), right, u(rng) < 0.5));
        } else if (kind < 0.75) {
            h.appendElement(compoundSpiral(in(20, 100), in(150, 500), in(550, 1000), right));
        } else {
            // Corners 300 m ahead and then 400 m apart, turning 10 to 40 degrees; the last one
            // is a simple point.
            C2dPos p = finalPos(h);
            double az, final;
            h.getFinalChainageInM(final);
            h.getAzimuthAtChainExtr(final + 1.0, az);
            const int corners = 2 + static_cast<int>(u(rng) * 2);
            for (int k = 0; k < corners; ++k) {
                p.north += (k == 0 ? 300.0 : 400.0) * std::cos(az * kDegToRad);
                p.east += (k == 0 ? 300.0 : 400.0) * std::sin(az * kDegToRad);
                h.appendElement(corner(p.north, p.east, in(30, 60), in(150, 300), in(30, 60)));
                az += (right ? 1 : -1) * in(10, 40);
            }
        }
    }
}

// Every answer of the alignment at the chainages, as bits.
std::vector<std::uint64_t> answers(const CAlntH& h, const std::vector<double>& chains)
{
    std::vector<std::uint64_t> out;
    auto put = [&](double v) { std::uint64_t b; std::memcpy(&b, &v, sizeof b); out.push_back(b); };
    double v1 = 0, v2 = 0;
    for (double c : chains) {
        put(h.getPosNeAtChain(c, v1, v2)), put(v1), put(v2);
        put(h.getAzimuthAtChain(c, v1)), put(v1);
        put(h.getPosNeAtChainAndOffsetExtr(c, -3.5, v1, v2)), put(v1), put(v2);
        put(h.getAzimuthAtChainExtr(c, v1)), put(v1);
        put(h.getAlntHeAtChain(c, &v1) != nullptr), put(v1);
    }
    for (int i = 0; i < h.getNumOfHes(); ++i)
        put(h.getIpPosForElement(i, v1, v2)), put(v1), put(v2);
    put(h.getHLengthInM(v1)), put(v1);
    return out;
}

// The lookup as defined: a scan from the last element back to the first whose start is not
// after the chainage.
const CAlntHe* scanElementAt(const CAlntH& h, double chain)
{
    int i = h.getNumOfHes() - 1;
    double start = 0.0, len;
    while (h.getHe(i)->getStartChainageInM(start) && chain < start && i > 0)
        --i;
    return h.getHe(i)->getHLengthInM(len) && chain - start <= len + roadTolerance ? h.getHe(i) : nullptr;
}

} // namespace

// Over random alignments: the bisection lookup against the backward scan at and about every
// joint; continuity in position at every joint and in direction at tangent ones; the total
// length; offsets across the extended centreline on the side of their sign; copies, assignment
// and a bulk rebuild answering bit for bit.
TEST(AlntHRandom, JointsLookupOffsetsAndCopies)
{
    std::mt19937 rng(20240419);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int trial = 0; trial < 16; ++trial) {
        TestAlntH h;
        buildRandom(rng, 30, h);
        double sum = 0.0, len, final, last;
        for (int i = 0; i < h.getNumOfHes(); ++i) {
            const CAlntHe* he = h.getHe(i);
            double start, end, n0, e0, n1, e1, az0, az1, d = 0;
            ASSERT_TRUE(he->getHLengthInM(len) && he->getStartChainageInM(start) && he->getFinalChainageInM(end));
            sum += len;
            for (double c : {start, end, end + 0.0009, end + 0.0011, start - 0.0009, start + len * u(rng)})
                EXPECT_EQ(h.getAlntHeAtChain(c, &d), scanElementAt(h, c)) << trial << " at " << c;
            if (i == 0)
                continue;
            // Continuity: the previous element's end against the joint, answered by this one.
            const CAlntHe* prev = h.getHe(i - 1);
            double prevLen;
            ASSERT_TRUE(prev->getHLengthInM(prevLen) && prev->getPosNeAtLength(prevLen, n0, e0) &&
                        prev->getAzimuthAtLength(prevLen, az0) && h.getPosNeAtChain(start, n1, e1) &&
                        h.getAzimuthAtChain(start, az1));
            EXPECT_NEAR(std::hypot(n1 - n0, e1 - e0), 0.0, 1e-9) << trial << " joint " << i;
            const auto* seg = dynamic_cast<const CAlntHeSegment*>(he);   // only segments were drawn with a kink
            const bool tangent = !seg || (!seg->isStartAzFixed() && seg->getCurve().getAzimuth().getRad() == 0.0);
            EXPECT_TRUE(!tangent || std::fabs(azDiffDeg(az1, az0) * kDegToRad) < 1e-9)
                << trial << " joint " << i << " type " << he->getType();
        }
        ASSERT_TRUE(h.getHLengthInM(len) && h.getFinalChainageInM(final) && h.getLastHe()->getFinalChainageInM(last));
        EXPECT_NEAR(len, sum, 1e-9) << trial;
        EXPECT_NEAR(final, last, 1e-9) << trial;

        // Offsets, from 50 m before the start (the first element is a straight, so that the
        // azimuth there is its own) to 50 m after the end.
        const double start = h.getStartChainageInM();
        std::vector<double> chains;
        for (int k = 0; k < 150; ++k) {
            const double c = start - 50.0 + (final - start + 100.0) * u(rng), o = (u(rng) - 0.5) * 40.0;
            double n0, e0, n, e, az;
            ASSERT_TRUE(h.getPosNeAtChainExtr(c, n0, e0) && h.getPosNeAtChainAndOffsetExtr(c, o, n, e) &&
                        h.getAzimuthAtChainExtr(c, az));
            const double a = az * kDegToRad;
            EXPECT_NEAR((e - e0) * std::cos(a) - (n - n0) * std::sin(a), o, 1e-9) << trial << " at " << c;
            EXPECT_NEAR((n - n0) * std::cos(a) + (e - e0) * std::sin(a), 0.0, 1e-9) << trial << " at " << c;
            chains.push_back(c);
        }

        const std::vector<std::uint64_t> expected = answers(h, chains);
        const CAlntH copied(h);
        CAlntH assigned;
        assigned.appendElement(segment(5.0));
        assigned = h;
        TestAlntH rebuilt;
        rebuilt.setStartPos(h.getStartPosN(), h.getStartPosE());
        rebuilt.onBulkUpdateStarted();
        rebuilt.setStartChainageInM(start);
        for (int i = 0; i < h.getNumOfHes(); ++i)
            rebuilt.appendElement(*h.getHe(i));
        rebuilt.onBulkUpdateFinished();
        EXPECT_EQ(answers(copied, chains), expected) << trial << " copied";
        EXPECT_EQ(answers(assigned, chains), expected) << trial << " assigned";
        EXPECT_EQ(answers(rebuilt, chains), expected) << trial << " rebuilt";
    }
}

// The point, azimuth and unit tangent of one element query against the separate queries: the
// point and the azimuth bit for bit, the tangent the sine and cosine of the azimuth, on every
// kind of element at random lengths, at both ends and within the start snap, with the default
// tolerances and the road ones (a spiral's tangent comes from its series terms). And the offset
// at a chainage against the separate position and azimuth (the offset the right normal of the
// azimuth), over the alignment and beyond its ends.
TEST(AlntHRandom, PositionAndTangentFromOneQuery)
{
    const double savedTolerance = smallNumTolerance;
    for (double tolerance : {savedTolerance, 1e-12}) {
        smallNumTolerance = tolerance;
        std::mt19937 rng(20261206);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        for (int trial = 0; trial < 8; ++trial) {
            TestAlntH h;
            buildRandom(rng, 30, h);
            for (int i = 0; i < h.getNumOfHes(); ++i) {
                const CAlntHe* he = h.getHe(i);
                double len;
                ASSERT_TRUE(he->getHLengthInM(len));
                for (double l : {0.0, 1e-13, 0.0005, len, len - 1e-9, len * u(rng), len * u(rng), len * u(rng)}) {
                    double n0, e0, az0, n, e, az, dn, de;
                    ASSERT_TRUE(he->getPosNeAtLength(l, n0, e0) && he->getAzimuthAtLength(l, az0));
                    ASSERT_TRUE(he->getPosAndDirAtLength(l, n, e, az, dn, de)) << trial << " " << i << " " << l;
                    EXPECT_EQ(n, n0);
                    EXPECT_EQ(e, e0);
                    EXPECT_EQ(az, az0);
                    EXPECT_NEAR(dn, std::cos(az0 * kDegToRad), 1e-15) << trial << " type " << he->getType() << " at " << l;
                    EXPECT_NEAR(de, std::sin(az0 * kDegToRad), 1e-15) << trial << " type " << he->getType() << " at " << l;
                }
                double n, e, az, dn, de;
                EXPECT_FALSE(he->getPosAndDirAtLength(len + 0.01, n, e, az, dn, de));
                EXPECT_FALSE(he->getPosAndDirAtLength(-0.01, n, e, az, dn, de));
            }
            double final;
            ASSERT_TRUE(h.getFinalChainageInM(final));
            const double start = h.getStartChainageInM();
            for (int k = 0; k < 200; ++k) {
                const double c = start - 20.0 + (final - start + 40.0) * u(rng), o = (u(rng) - 0.5) * 100.0;
                double n0, e0, az, n, e;
                ASSERT_TRUE(h.getPosNeAtChainExtr(c, n0, e0) && h.getAzimuthAtChainExtr(c, az) &&
                            h.getPosNeAtChainAndOffsetExtr(c, o, n, e));
                double n1 = n0, e1 = e0;
                ApplyAlntOffset(n1, e1, az, o);
                EXPECT_NEAR(n, n1, 1e-12 * (1.0 + std::fabs(o))) << trial << " at " << c;
                EXPECT_NEAR(e, e1, 1e-12 * (1.0 + std::fabs(o))) << trial << " at " << c;
            }
        }
    }
    smallNumTolerance = savedTolerance;
}

// The azimuth kept from a position query answers only until the alignment changes: a position
// at 1050, then the arc replaced by one turning the other way, then the azimuth at 1050.
TEST(AlntH, AzimuthAfterAPositionFollowsAnEdit)
{
    CAlntH h;
    h.setStartChainageInM(1000.0);
    h.appendElement(segment(20.0));
    h.appendElement(arc(100.0, 200.0, true));
    double n, e, az;
    ASSERT_TRUE(h.getPosNeAtChainAndOffsetExtr(1050.0, 3.0, n, e) && h.getAzimuthAtChain(1050.0, az));
    EXPECT_NEAR(az, 30.0 / 200.0 / kDegToRad, 1e-12);
    h.replaceElement(1, arc(100.0, 200.0, false));
    ASSERT_TRUE(h.getAzimuthAtChain(1050.0, az));
    EXPECT_NEAR(az, -30.0 / 200.0 / kDegToRad, 1e-12);
    const CAlntH copy(h);
    ASSERT_TRUE(copy.getAzimuthAtChainExtr(1050.0, az));
    EXPECT_NEAR(az, -30.0 / 200.0 / kDegToRad, 1e-12);
}

// The lookup by buckets of chainage against the backward scan where element lengths differ by
// orders of magnitude (many short elements share a bucket of a long one), zero-length elements
// included: at every joint, a unit in the last place either side of it, and at random
// chainages, in a random order (the last element found is no help) and walking on.
TEST(AlntHRandom, LookupWithUnevenElementLengths)
{
    // Start chainages where a unit in the last place is large against the margin of a bucket's
    // ends (1e-12 of the span and the first start, and 1e-9 m).
    for (const double first : {2500.0, 1234567.891, -40000.0, 98765432.1}) {
        std::mt19937 rng(4301);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        CAlntH h;
        h.setStartChainageInM(first);
        h.onBulkUpdateStarted();
        h.appendElement(segment(5000.0));
        for (int i = 0; i < 60; ++i)
            h.appendElement(segment(i % 7 == 0 ? 0.0 : 0.01 + u(rng)));
        h.appendElement(segment(3000.0, 10.0));
        for (int i = 0; i < 20; ++i)
            h.appendElement(segment(u(rng) * 3.0));
        h.onBulkUpdateFinished();
        std::vector<double> chains;
        double final;
        ASSERT_TRUE(h.getFinalChainageInM(final));
        for (int i = 0; i < h.getNumOfHes(); ++i) {
            double start;
            ASSERT_TRUE(h.getHe(i)->getStartChainageInM(start));
            chains.insert(chains.end(), {start, std::nextafter(start, -1e300), std::nextafter(start, 1e300)});
        }
        for (int k = 0; k < 2000; ++k)
            chains.push_back(first - 100.0 + (final - first + 200.0) * u(rng));
        std::shuffle(chains.begin(), chains.end(), rng);
        for (double c : chains)
            EXPECT_EQ(h.getAlntHeAtChain(c), scanElementAt(h, c)) << "start " << first << ", at " << c;
        std::sort(chains.begin(), chains.end());
        for (double c : chains)
            EXPECT_EQ(h.getAlntHeAtChain(c), scanElementAt(h, c)) << "start " << first << ", walking, at " << c;
    }
}
