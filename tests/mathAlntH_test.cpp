// The horizontal alignment: lookup by chainage, extrapolation and offsets, placement, bulk
// updates and removal, corners, the IP of a curve group, a worked spiral-curve-spiral road, and
// properties over random alignments.
#include "vrkmath/mathAlntH.h"

#include "cogo/curveFormulas.h"
#include "vrkmath/mathIntersect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr double kDegToRad = 0.017453292519943295;

// The alignment with its protected start point opened for the tests.
class TestAlntH : public CAlntH {
public:
    using CAlntH::setStartPos;
};

CAlntHeSegment segment(double len, double localAzDeg = 0.0)
{
    CCurveDataSegment c;
    c.setAzDeg(localAzDeg);
    c.setLen(len);
    return CAlntHeSegment(c);
}

CAlntHeArc arc(double len, double radius, bool right)
{
    CCurveDataArc c;
    c.SetElement(len, radius, right);
    return CAlntHeArc(c);
}

CAlntHeSpiral spiral(double len, double radius, bool right, bool tssc)
{
    CCurveDataSpiral c;
    c.setLenAndR(len, radius, right, tssc);
    return CAlntHeSpiral(c);
}

CAlntHeSpiral compoundSpiral(double len, double r1, double r2, bool right)
{
    CCurveDataSpiral c;
    c.setLenAndR(len, r1, r2, right);
    return CAlntHeSpiral(c);
}

CAlntHeIp corner(double n, double e, double l1, double r, double l2)
{
    CAlntHeIp ip;
    ip.setIp(n, e, l1, r, l2);
    return ip;
}

// Difference of two azimuths in degrees, reduced into [-180, 180).
double azDiffDeg(double a, double b)
{
    return std::remainder(a - b, 360.0);
}

struct Pos {
    double n, e;
};

} // namespace

TEST(AlntH, OneSegmentAtChainage1000)
{
    CAlntH h;
    h.setStartChainageInM(1000.0);
    ASSERT_TRUE(h.appendElement(segment(100.0)));
    struct Case {
        const char* reason;
        bool extr;   // getPosNeAtChainAndOffsetExtr, else getPosNeAtChain
        double chain, offset;
        bool ok;
        double n, e;
    };
    const Case cases[] = {
        {"inside", false, 1050.0, 0.0, true, 50.0, 0.0},
        {"within roadTolerance past the end", false, 1100.0005, 0.0, true, 100.0, 0.0},
        {"beyond the end", false, 1101.0, 0.0, false, 0, 0},
        {"before the start", false, 999.0, 0.0, false, 0, 0},
        {"extrapolated after", true, 1101.0, 0.0, true, 101.0, 0.0},
        {"extrapolated before", true, 990.0, 0.0, true, -10.0, 0.0},
        {"offset right", true, 1050.0, 2.0, true, 50.0, 2.0},
        {"offset left", true, 1050.0, -2.0, true, 50.0, -2.0},
        {"offset right after the end", true, 1101.0, 2.0, true, 101.0, 2.0},
        {"offset left before the start", true, 990.0, -2.0, true, -10.0, -2.0},
        {"offset below smallNumTolerance", true, 1050.0, 5e-6, true, 50.0, 0.0},
    };
    for (const Case& c : cases) {
        double n = 7.0, e = 7.0, az = 7.0;
        const bool ok = c.extr ? h.getPosNeAtChainAndOffsetExtr(c.chain, c.offset, n, e)
                               : h.getPosNeAtChain(c.chain, n, e);
        EXPECT_EQ(ok, c.ok) << c.reason;
        EXPECT_NEAR(n, c.ok ? c.n : 7.0, 1e-12) << c.reason;
        EXPECT_NEAR(e, c.ok ? c.e : 7.0, 1e-12) << c.reason;
        EXPECT_TRUE(h.getAzimuthAtChainExtr(c.chain, az)) << c.reason;
        EXPECT_EQ(az, 0.0) << c.reason;
    }
    double final;
    EXPECT_TRUE(h.getFinalChainageInM(final));
    EXPECT_EQ(final, 1100.0);
}

TEST(AlntH, ExtrapolationFollowsTheEndTangents)
{
    // A left quarter circle (R 100) from (0, 0), its start fixed heading east: it ends at
    // (100, 100) heading north.
    CAlntH h;
    CAlntHeArc quarter = arc(50.0 * kPi, 100.0, false);
    quarter.setFixedStartAzInDegs(90.0);
    h.appendElement(quarter);
    struct Case {
        const char* reason;
        double chain, offset, n, e, azDeg;
    };
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
        EXPECT_NEAR(n, c.n, 1e-9) << c.reason;
        EXPECT_NEAR(e, c.e, 1e-9) << c.reason;
        // The alignment's azimuth before its start is the first element's at l < 0 (for an arc
        // not the start tangent); the element's own extrapolation gives the tangent.
        ASSERT_TRUE(h.getAzimuthAtChainExtr(c.chain, az)) << c.reason;
        if (c.chain >= 0.0) {
            EXPECT_NEAR(azDiffDeg(az, c.azDeg), 0.0, 1e-9) << c.reason;
        }
        ASSERT_TRUE(h.getHe(0)->getPosNeAtChainAndOffsetExtr(c.chain, c.offset, n, e)) << c.reason;
        ASSERT_TRUE(h.getHe(0)->getAzimuthAtChainExtr(c.chain, az)) << c.reason;
        EXPECT_NEAR(std::hypot(n - c.n, e - c.e), 0.0, 1e-9) << c.reason << " (element)";
        EXPECT_NEAR(azDiffDeg(az, c.azDeg), 0.0, 1e-9) << c.reason << " (element)";
    }
    double n, e, az;
    EXPECT_FALSE(CAlntH().getPosNeAtChainAndOffsetExtr(0.0, 0.0, n, e)) << "empty";
    EXPECT_FALSE(CAlntH().getAzimuthAtChainExtr(0.0, az)) << "empty";
    EXPECT_FALSE(segment(10.0).getPosNeAtChainExtr(5.0, n, e)) << "unplaced";
}

TEST(AlntH, JointsAreAnsweredByTheLaterElement)
{
    CAlntH h;
    h.appendElement(segment(100.0));
    h.appendElement(arc(50.0, 100.0, true));
    h.appendElement(segment(30.0));
    struct Case {
        const char* reason;
        double chain;
        int index;   // -1: no element
        double len;
    };
    const Case cases[] = {
        {"first joint", 100.0, 1, 0.0},
        {"just before it", 99.999, 0, 99.999},
        {"second joint", 150.0, 2, 0.0},
        {"within roadTolerance past the end", 180.0009, 2, 30.0009},
        {"beyond roadTolerance", 180.002, -1, 0.0},
        {"before the start: element 0, negative", -5.0, 0, -5.0},
    };
    for (const Case& c : cases) {
        double len = 0.0;
        const CAlntHe* he = h.getAlntHeAtChain(c.chain, &len);
        EXPECT_EQ(he, c.index < 0 ? nullptr : h.getHe(c.index)) << c.reason;
        if (he) {
            EXPECT_NEAR(len, c.len, 1e-9) << c.reason;
        }
    }
    double n, e, n1, e1, az;
    CMathAngle start;
    ASSERT_TRUE(h.getPosNeAtChain(150.0, n, e));
    ASSERT_TRUE(h.getAzimuthAtChain(150.0, az));
    h.getHe(2)->getStartPosNe(n1, e1);
    h.getHe(2)->getStartAzimut(start);
    EXPECT_EQ(n, n1);
    EXPECT_EQ(e, e1);
    EXPECT_NEAR(azDiffDeg(az, start.getDeg()), 0.0, 1e-12);
    EXPECT_NEAR(az, 0.5 / kDegToRad, 1e-9);
}

TEST(AlntH, FirstElementHeadsNorthUnlessFixed)
{
    CAlntH h;
    auto expectEnd = [&](const char* reason, double n, double e) {
        double fn, fe;
        h.getFinalPosNe(fn, fe);
        EXPECT_NEAR(fn, n, 1e-9) << reason;
        EXPECT_NEAR(fe, e, 1e-9) << reason;
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
}

TEST(AlntH, IncompleteElementsAreRefused)
{
    CAlntH h;
    h.appendElement(segment(100.0));
    const CAlntHe* before = h.getHe(0);
    const CAlntHeSegment noLength;
    const CAlntHeArc noArc;
    const CAlntHeSpiral noSpiral;
    const CAlntHeIp noIp;
    const CAlntHe* refused[] = {&noLength, &noArc, &noSpiral, &noIp};
    for (const CAlntHe* he : refused) {
        EXPECT_FALSE(h.appendElement(*he)) << he->getType();
        EXPECT_FALSE(h.insertElement(0, *he)) << he->getType();
        EXPECT_FALSE(h.replaceElement(0, *he)) << he->getType();
        EXPECT_EQ(h.getNumOfHes(), 1);
        EXPECT_EQ(h.getHe(0), before);
    }
}

TEST(AlntH, CornersBecomeSimplePointsWithoutANextCorner)
{
    CAlntH h;
    auto simple = [&](int i) { return CAlntHeIp::cast(h.getHe(i))->get_data().isSimplePoint(); };
    h.appendElement(corner(300.0, 0.0, 30.0, 100.0, 30.0));
    EXPECT_TRUE(simple(0)) << "placed last";
    double n, e, az;
    h.getFinalPosNe(n, e);
    EXPECT_EQ(n, 300.0) << "a simple point ends at its IP";
    h.appendElement(segment(50.0));
    EXPECT_TRUE(simple(0)) << "followed by a segment";
    EXPECT_EQ(CAlntHeIp::cast(h.getHe(1)), nullptr);
    h.insertElement(1, corner(300.0, 300.0, 0.0, 0.0, 0.0));
    EXPECT_FALSE(simple(0)) << "followed by a corner";
    EXPECT_TRUE(simple(1)) << "followed by a segment";
    ASSERT_TRUE(h.getAzimuthAtChainExtr(1e6, az));
    EXPECT_NEAR(azDiffDeg(az, 90.0), 0.0, 1e-9) << "the road ends heading east";
    h.removeHe(1);
    EXPECT_TRUE(simple(0)) << "placed again after the removal";
}

TEST(AlntH, BulkUpdatesDeferPlacement)
{
    CAlntH h;
    h.onBulkUpdateStarted();
    for (int i = 0; i < 3; ++i)
        h.appendElement(segment(100.0));
    h.setStartChainageInM(500.0);
    double chain, n, e;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(h.getHe(i)->getStartChainageInM(chain)) << i;
    h.onBulkUpdateFinished();
    EXPECT_FALSE(h.isInBulkUpdate());
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(h.getHe(i)->getStartChainageInM(chain)) << i;
        EXPECT_EQ(chain, 500.0 + 100.0 * i);
    }
    ASSERT_TRUE(h.getPosNeAtChain(750.0, n, e));
    EXPECT_NEAR(n, 250.0, 1e-12);
}

TEST(AlntH, RemovalPlacesAgain)
{
    TestAlntH h;
    h.setStartPos(10.0, 20.0);
    h.setStartChainageInM(5.0);
    h.appendElement(segment(100.0, 90.0));
    h.appendElement(arc(50.0, 80.0, true));
    h.removeHe(0);
    double chain, n, e, len;
    CMathAngle az;
    ASSERT_TRUE(h.getHe(0)->getStartChainageInM(chain));
    h.getHe(0)->getStartPosNe(n, e);
    h.getHe(0)->getStartAzimut(az);
    EXPECT_EQ(chain, 5.0);
    EXPECT_EQ(n, 10.0);
    EXPECT_EQ(e, 20.0);
    EXPECT_EQ(az.getRad(), 0.0);
    ASSERT_TRUE(h.getHLengthInM(len));
    EXPECT_NEAR(len, 50.0, 1e-12) << "the cached length follows the removal";
    h.removeHe(0);
    EXPECT_EQ(h.getFirstHe(), nullptr);
    ASSERT_TRUE(h.getFinalPosNe(n, e));
    ASSERT_TRUE(h.getHLengthInM(len));
    EXPECT_EQ(n, 10.0);
    EXPECT_EQ(e, 20.0);
    EXPECT_EQ(len, 0.0);
}

TEST(AlntH, ArcElementFromAndToCArc)
{
    CAlntH h;
    h.appendElement(segment(40.0));
    h.appendElement(arc(120.0, 250.0, false));
    CArc circle;
    ASSERT_TRUE(static_cast<const CAlntHeArc*>(h.getHe(1))->getArc(circle));
    CAlntHeArc copy;
    copy.setArc(circle);
    EXPECT_TRUE(copy.isStartAzFixed());
    EXPECT_NEAR(copy.getCurve().getTotalLength(), 120.0, 1e-9);
    EXPECT_NEAR(copy.getCurve().getRadius(), -250.0, 1e-9);
    h.insertElement(1, segment(10.0, 30.0));
    h.replaceElement(2, copy);
    CMathAngle az;
    h.getHe(2)->getStartAzimut(az);
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
    byCorner.appendElement(corner(500.0, 0.0, 60.0, 300.0, 60.0));
    byCorner.appendElement(corner(883.022221559489, 321.393804843270, 0.0, 0.0, 0.0));
    CAlntH byElements;
    byElements.setStartChainageInM(1000.0);
    byElements.appendElement(segment(360.637006800));
    byElements.appendElement(spiral(60.0, 300.0, true, true));
    byElements.appendElement(arc(149.439510239, 300.0, true));
    byElements.appendElement(spiral(60.0, 300.0, true, false));
    byElements.appendElement(segment(100.0));
    struct Case {
        const char* reason;
        double chain;
        Pos p;
    };
    const Case cases[] = {
        {"TS", 1360.637006800, {360.637006800, 0.0}},
        {"SC", 1420.637006800, {420.577034578, 1.998571883}},
        {"CS", 1570.076517039, {559.556864074, 52.583092983}},
        {"ST", 1630.076517039, {606.758246517, 89.580805278}},
    };
    for (const CAlntH* h : {&byCorner, &byElements}) {
        for (const Case& c : cases) {
            double n, e;
            ASSERT_TRUE(h->getPosNeAtChain(c.chain, n, e)) << c.reason;
            EXPECT_NEAR(n, c.p.n, kHandTol) << c.reason << (h == &byCorner ? " corner" : " elements");
            EXPECT_NEAR(e, c.p.e, kHandTol) << c.reason << (h == &byCorner ? " corner" : " elements");
        }
    }
    TIpNodes nodes;
    const CCurveIp& c = CAlntHeIp::cast(byCorner.getHe(0))->get_data();
    c.getIpNodes(nodes);
    const Pos nodePos[] = {{nodes.tsN, nodes.tsE}, {nodes.scN, nodes.scE}, {nodes.csN, nodes.csE}};
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(std::hypot(nodePos[i].n - cases[i].p.n, nodePos[i].e - cases[i].p.e), 0.0, kHandTol)
            << cases[i].reason << " node";
    CMathAngle aTS, aSC;
    C2dPos meet;
    c.getSolutionStartSpiral().getStartAzimut(aTS);
    c.getSolutionStartSpiral().getFinalAzimut(aSC);
    ASSERT_TRUE(IntersectPointDirLines({nodes.tsN, nodes.tsE}, aTS, {nodes.scN, nodes.scE}, aSC, meet));
    EXPECT_NEAR(meet.north - nodes.tsN, 40.020972464, kHandTol) << "long tangent";

    // Each curve element of the road names the IP of its group; groups break at a radius
    // mismatch, a fixed start azimuth and a compound spiral.
    struct IpCase {
        const char* reason;
        int replace;   // element replaced by `with`, -1: none
        const CAlntHe* with;
        int index;
        bool ok, atIp;
    };
    CAlntHeSpiral fixedExit = spiral(60.0, 300.0, true, false);
    CMathAngle exitAz;
    byElements.getHe(3)->getStartAzimut(exitAz);
    fixedExit.setFixedStartAz(exitAz);
    const CAlntHeArc otherRadius = arc(149.439510239, 301.0, true);
    const CAlntHeSpiral compound = compoundSpiral(60.0, 300.0, 600.0, true);
    const IpCase ipCases[] = {
        {"segment", -1, nullptr, 0, false, false},
        {"TS->SC spiral", -1, nullptr, 1, true, true},
        {"arc", -1, nullptr, 2, true, true},
        {"CS->ST spiral", -1, nullptr, 3, true, true},
        {"outside the list", -1, nullptr, 5, false, false},
        {"radius mismatch: spiral alone", 2, &otherRadius, 1, false, false},
        {"radius mismatch: arc alone", 2, &otherRadius, 2, true, false},
        {"fixed start azimuth", 3, &fixedExit, 3, false, false},
        {"compound spiral", 3, &compound, 3, false, false},
        {"spiral and arc", 3, &compound, 1, true, false},
    };
    for (const IpCase& k : ipCases) {
        CAlntH h(byElements);
        if (k.replace >= 0)
            h.replaceElement(k.replace, *k.with);
        double n = 7.0, e = 7.0;
        EXPECT_EQ(h.getIpPosForElement(k.index, n, e), k.ok) << k.reason;
        if (k.ok) {
            EXPECT_EQ(std::hypot(n - 500.0, e) < kHandTol, k.atIp) << k.reason;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Properties over random alignments (fixed seeds).

namespace {

struct RandomAlignment {
    TestAlntH h;
    std::vector<bool> tangentJoint;   // the joint before element i is tangent
};

// A straight, then lines (some deflected or with a fixed start azimuth), arcs, spirals of both
// orientations, compound spirals and runs of corners.
void buildRandom(std::mt19937& rng, int count, RandomAlignment& out)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    auto in = [&](double a, double b) { return a + (b - a) * u(rng); };
    out.h.setStartPos(in(-1000, 1000), in(-1000, 1000));
    out.h.setStartChainageInM(in(0, 5000));
    out.h.appendElement(segment(in(20, 300)));
    out.tangentJoint.assign(1, true);
    while (out.h.getNumOfHes() < count) {
        const double kind = u(rng);
        const bool right = u(rng) < 0.5;
        bool tangent = true;
        if (kind < 0.15) {
            tangent = u(rng) < 0.7;
            out.h.appendElement(segment(in(20, 300), tangent ? 0.0 : in(-30, 30)));
        } else if (kind < 0.2) {
            CAlntHeSegment s = segment(in(20, 300));
            s.setFixedStartAzInDegs(in(-180, 180));
            out.h.appendElement(s);
            tangent = false;
        } else if (kind < 0.45) {
            out.h.appendElement(arc(in(20, 200), in(100, 1000), right));
        } else if (kind < 0.65) {
            out.h.appendElement(spiral(in(20, 100), in(150, 800), right, u(rng) < 0.5));
        } else if (kind < 0.75) {
            out.h.appendElement(compoundSpiral(in(20, 100), in(150, 500), in(550, 1000), right));
        } else {
            // Corners 300 m ahead and then 400 m apart, turning 10 to 40 degrees; the last one
            // is a simple point.
            double n, e, az, final;
            out.h.getFinalPosNe(n, e);
            out.h.getFinalChainageInM(final);
            out.h.getAzimuthAtChainExtr(final + 1.0, az);
            const int corners = 2 + static_cast<int>(u(rng) * 2);
            for (int k = 0; k < corners; ++k) {
                const double dist = k == 0 ? 300.0 : 400.0;
                n += dist * std::cos(az * kDegToRad);
                e += dist * std::sin(az * kDegToRad);
                out.h.appendElement(corner(n, e, in(30, 60), in(150, 300), in(30, 60)));
                out.tangentJoint.push_back(true);
                az += (right ? 1 : -1) * in(10, 40);
            }
            continue;
        }
        out.tangentJoint.push_back(tangent);
    }
}

// Every answer of the alignment at the chainages, as bits.
std::vector<std::uint64_t> answers(const CAlntH& h, const std::vector<double>& chains)
{
    std::vector<std::uint64_t> out;
    auto put = [&](double v) {
        std::uint64_t b;
        std::memcpy(&b, &v, sizeof b);
        out.push_back(b);
    };
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
const CAlntHe* scanElementAt(const CAlntH& h, double chain, double& d)
{
    int i = h.getNumOfHes() - 1;
    double start = 0.0, len;
    while (h.getHe(i)->getStartChainageInM(start) && chain < start && i > 0)
        --i;
    if (!h.getHe(i)->getHLengthInM(len) || !(chain - start <= len + roadTolerance))
        return nullptr;
    d = chain - start;
    return h.getHe(i);
}

} // namespace

TEST(AlntHRandom, JointsLengthsAndLookup)
{
    std::mt19937 rng(20240419);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int trial = 0; trial < 20; ++trial) {
        RandomAlignment r;
        buildRandom(rng, 30, r);
        const CAlntH& h = r.h;
        double sum = 0.0, len, final, last;
        for (int i = 0; i < h.getNumOfHes(); ++i) {
            const CAlntHe* he = h.getHe(i);
            double start, end, n0, e0, n1, e1, az0, az1, d1 = 0, d2 = 0;
            ASSERT_TRUE(he->getHLengthInM(len));
            sum += len;
            ASSERT_TRUE(he->getStartChainageInM(start));
            ASSERT_TRUE(he->getFinalChainageInM(end));
            for (double c : {start, end, end + 0.0009, end + 0.0011, start - 0.0009, start + len * u(rng)})
                EXPECT_EQ(h.getAlntHeAtChain(c, &d2), scanElementAt(h, c, d1)) << trial << " at " << c;
            if (i == 0)
                continue;
            // Continuity: the previous element's end against the joint, answered by this one.
            const CAlntHe* prev = h.getHe(i - 1);
            double prevLen;
            prev->getHLengthInM(prevLen);
            ASSERT_TRUE(prev->getPosNeAtLength(prevLen, n0, e0));
            ASSERT_TRUE(h.getPosNeAtChain(start, n1, e1));
            EXPECT_NEAR(std::hypot(n1 - n0, e1 - e0), 0.0, 1e-9) << trial << " joint " << i;
            prev->getAzimuthAtLength(prevLen, az0);
            ASSERT_TRUE(h.getAzimuthAtChain(start, az1));
            if (r.tangentJoint[i]) {
                EXPECT_NEAR(azDiffDeg(az1, az0) * kDegToRad, 0.0, 1e-9)
                    << trial << " joint " << i << " type " << he->getType();
            }
        }
        ASSERT_TRUE(h.getHLengthInM(len));
        EXPECT_NEAR(len, sum, 1e-9) << trial;
        ASSERT_TRUE(h.getFinalChainageInM(final));
        ASSERT_TRUE(h.getLastHe()->getFinalChainageInM(last));
        EXPECT_NEAR(final, last, 1e-9) << trial;
    }
}

TEST(AlntHRandom, OffsetsLieAcrossTheCentreline)
{
    std::mt19937 rng(4242);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int trial = 0; trial < 10; ++trial) {
        RandomAlignment r;
        buildRandom(rng, 20, r);
        double final;
        r.h.getFinalChainageInM(final);
        const double start = r.h.getStartChainageInM();
        for (int k = 0; k < 200; ++k) {
            // The first element is a straight, so that before the start the azimuth is its own.
            const double c = start - 50.0 + (final - start + 100.0) * u(rng);
            const double o = (u(rng) - 0.5) * 40.0;
            double n0, e0, n, e, az;
            ASSERT_TRUE(r.h.getPosNeAtChainExtr(c, n0, e0));
            ASSERT_TRUE(r.h.getPosNeAtChainAndOffsetExtr(c, o, n, e));
            ASSERT_TRUE(r.h.getAzimuthAtChainExtr(c, az));
            const double a = az * kDegToRad;
            EXPECT_NEAR((e - e0) * std::cos(a) - (n - n0) * std::sin(a), o, 1e-9) << trial << " at " << c;
            EXPECT_NEAR((n - n0) * std::cos(a) + (e - e0) * std::sin(a), 0.0, 1e-9) << trial << " at " << c;
        }
    }
}

TEST(AlntHRandom, CopiesAnswerIdentically)
{
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int trial = 0; trial < 10; ++trial) {
        RandomAlignment r;
        buildRandom(rng, 25, r);
        double final;
        r.h.getFinalChainageInM(final);
        const double start = r.h.getStartChainageInM();
        std::vector<double> chains;
        for (int k = 0; k < 100; ++k)
            chains.push_back(start - 20.0 + (final - start + 40.0) * u(rng));
        const std::vector<std::uint64_t> expected = answers(r.h, chains);
        const CAlntH copied(r.h);
        CAlntH assigned;
        assigned.appendElement(segment(5.0));
        assigned = r.h;
        TestAlntH rebuilt;
        rebuilt.setStartPos(r.h.getStartPosN(), r.h.getStartPosE());
        rebuilt.onBulkUpdateStarted();
        rebuilt.setStartChainageInM(start);
        for (int i = 0; i < r.h.getNumOfHes(); ++i)
            rebuilt.appendElement(*r.h.getHe(i));
        rebuilt.onBulkUpdateFinished();
        EXPECT_EQ(answers(copied, chains), expected) << trial << " copied";
        EXPECT_EQ(answers(assigned, chains), expected) << trial << " assigned";
        EXPECT_EQ(answers(rebuilt, chains), expected) << trial << " rebuilt";
    }
}
