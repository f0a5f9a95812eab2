// The horizontal alignment: placement of the elements, lookup by chainage, extrapolation and
// offsets, bulk updates and removal, corners, the IP of a curve group, a worked
// spiral-curve-spiral road, and properties over random alignments.
#include "vrkmath/mathAlntH.h"

#include "cogo/curveFormulas.h"
#include "testUtil.h"

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
    double d = std::fmod(a - b, 360.0);
    if (d >= 180.0)
        d -= 360.0;
    if (d < -180.0)
        d += 360.0;
    return d;
}

struct Pos {
    double n, e;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// One segment of 100 m heading north from (0, 0) at chainage 1000.

TEST(AlntH, OneSegmentAtChainage1000)
{
    CAlntH h;
    h.setStartChainageInM(1000.0);
    ASSERT_TRUE(h.appendElement(segment(100.0)));
    enum Query { atChain, extr };
    struct Case {
        const char* reason;
        Query query;
        double chain, offset;
        bool ok;
        double n, e;
    };
    const Case cases[] = {
        {"inside", atChain, 1050.0, 0.0, true, 50.0, 0.0},
        {"start", atChain, 1000.0, 0.0, true, 0.0, 0.0},
        {"within roadTolerance past the end", atChain, 1100.0005, 0.0, true, 100.0, 0.0},
        {"beyond the end", atChain, 1101.0, 0.0, false, 0.0, 0.0},
        {"before the start", atChain, 999.0, 0.0, false, 0.0, 0.0},
        {"extrapolated after", extr, 1101.0, 0.0, true, 101.0, 0.0},
        {"extrapolated before", extr, 990.0, 0.0, true, -10.0, 0.0},
        {"offset right", extr, 1050.0, 2.0, true, 50.0, 2.0},
        {"offset left", extr, 1050.0, -2.0, true, 50.0, -2.0},
        {"offset right after the end", extr, 1101.0, 2.0, true, 101.0, 2.0},
        {"offset left before the start", extr, 990.0, -2.0, true, -10.0, -2.0},
        {"offset below smallNumTolerance", extr, 1050.0, 5e-6, true, 50.0, 0.0},
    };
    for (const Case& c : cases) {
        double n = 7.0, e = 7.0;
        const bool ok = c.query == atChain ? h.getPosNeAtChain(c.chain, n, e)
                                           : h.getPosNeAtChainAndOffsetExtr(c.chain, c.offset, n, e);
        EXPECT_EQ(ok, c.ok) << c.reason;
        if (!c.ok) {
            EXPECT_EQ(n, 7.0) << c.reason << ": output written on failure";
            continue;
        }
        EXPECT_NEAR(n, c.n, 1e-12) << c.reason;
        EXPECT_NEAR(e, c.e, 1e-12) << c.reason;
        double az = 7.0;
        EXPECT_TRUE(h.getAzimuthAtChainExtr(c.chain, az)) << c.reason;
        EXPECT_EQ(az, 0.0) << c.reason;
    }
    double len, n, e;
    EXPECT_TRUE(h.getHLengthInM(len));
    EXPECT_EQ(len, 100.0);
    EXPECT_TRUE(h.getFinalChainageInM(len));
    EXPECT_EQ(len, 1100.0);
    EXPECT_TRUE(h.getPosNeAtChainExtr(990.0, n, e));
    EXPECT_EQ(n, -10.0);
}

TEST(AlntH, ExtrapolationFollowsTheEndTangents)
{
    // A left arc of a quarter circle (R 100) from (0, 0) heading east: it ends at (100, 100)
    // heading north. Before the start the line runs back west, after the end on north.
    TestAlntH h;
    h.appendElement(segment(0.0, 90.0));
    h.appendElement(arc(50.0 * kPi, 100.0, false));
    struct Case {
        const char* reason;
        double chain, offset, n, e, azDeg;
    };
    const Case cases[] = {
        {"before, on the line", -10.0, 0.0, 0.0, -10.0, 90.0},
        {"before, right of east is south", -10.0, 3.0, -3.0, -10.0, 90.0},
        {"after, on the line", 50.0 * kPi + 20.0, 0.0, 120.0, 100.0, 0.0},
        {"after, left of north is west", 50.0 * kPi + 20.0, -4.0, 120.0, 96.0, 0.0},
        {"inside, on the right is outside the curve", 25.0 * kPi, 10.0,
         100.0 - 110.0 * std::cos(kPi / 4), 110.0 * std::sin(kPi / 4), 45.0},
    };
    for (const Case& c : cases) {
        double n, e, az;
        ASSERT_TRUE(h.getPosNeAtChainAndOffsetExtr(c.chain, c.offset, n, e)) << c.reason;
        ASSERT_TRUE(h.getAzimuthAtChainExtr(c.chain, az)) << c.reason;
        EXPECT_NEAR(n, c.n, 1e-9) << c.reason;
        EXPECT_NEAR(e, c.e, 1e-9) << c.reason;
        if (c.chain >= 0.0)   // before the start the azimuth of the first element at l < 0
            EXPECT_NEAR(azDiffDeg(az, c.azDeg), 0.0, 1e-9) << c.reason;
        // The arc element alone extrapolates the same way.
        const CAlntHe* he = h.getHe(1);
        ASSERT_TRUE(he->getPosNeAtChainAndOffsetExtr(c.chain, c.offset, n, e)) << c.reason;
        ASSERT_TRUE(he->getAzimuthAtChainExtr(c.chain, az)) << c.reason;
        EXPECT_NEAR(n, c.n, 1e-9) << c.reason << " (element)";
        EXPECT_NEAR(e, c.e, 1e-9) << c.reason << " (element)";
        EXPECT_NEAR(azDiffDeg(az, c.azDeg), 0.0, 1e-9) << c.reason << " (element)";
    }
    CAlntH empty;
    double n, e, az;
    EXPECT_FALSE(empty.getPosNeAtChainAndOffsetExtr(0.0, 0.0, n, e));
    EXPECT_FALSE(empty.getAzimuthAtChainExtr(0.0, az));
    EXPECT_FALSE(CAlntHeSegment(segment(10.0)).getPosNeAtChainExtr(5.0, n, e)) << "unplaced";
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
        {"start", 0.0, 0, 0.0},
        {"first joint", 100.0, 1, 0.0},
        {"just before the first joint", 99.999, 0, 99.999},
        {"second joint", 150.0, 2, 0.0},
        {"end", 180.0, 2, 30.0},
        {"within roadTolerance past the end", 180.0009, 2, 30.0009},
        {"beyond roadTolerance", 180.002, -1, 0.0},
        {"before the start: element 0, negative", -5.0, 0, -5.0},
    };
    for (const Case& c : cases) {
        double len = 0.0;
        const CAlntHe* he = h.getAlntHeAtChain(c.chain, &len);
        if (c.index < 0) {
            EXPECT_EQ(he, nullptr) << c.reason;
            continue;
        }
        EXPECT_EQ(he, h.getHe(c.index)) << c.reason;
        EXPECT_NEAR(len, c.len, 1e-9) << c.reason;
    }
    // The joint's position and direction are the later element's start.
    double n, e, n1, e1, az;
    CMathAngle start;
    ASSERT_TRUE(h.getPosNeAtChain(150.0, n, e));
    h.getHe(2)->getStartPosNe(n1, e1);
    h.getHe(2)->getStartAzimut(start);
    EXPECT_EQ(n, n1);
    EXPECT_EQ(e, e1);
    ASSERT_TRUE(h.getAzimuthAtChain(150.0, az));
    EXPECT_NEAR(azDiffDeg(az, start.getDeg()), 0.0, 1e-12);
    EXPECT_NEAR(start.getDeg(), 50.0 / 100.0 / kDegToRad, 1e-9);
}

TEST(AlntH, FirstElementHeadsNorthUnlessFixed)
{
    CAlntH h;
    h.setStartAzInDegs(90.0);
    h.appendElement(segment(100.0));
    EXPECT_NEAR(h.getStartAzimut().getDeg(), 90.0, 1e-12);
    double n, e;
    h.getFinalPosNe(n, e);
    EXPECT_NEAR(n, 100.0, 1e-12) << "the start azimuth does not move the geometry";
    EXPECT_NEAR(e, 0.0, 1e-12);

    CAlntHeSegment east = segment(100.0);
    east.setFixedStartAzInDegs(90.0);
    h.insertElement(0, east);
    h.getFinalPosNe(n, e);
    EXPECT_NEAR(n, 0.0, 1e-9) << "the next element continues east";
    EXPECT_NEAR(e, 200.0, 1e-9);

    // A fixed element in the middle keeps its direction; a deflected segment turns from the
    // incoming one.
    h.appendElement(east);
    h.appendElement(segment(100.0, -90.0));
    h.getFinalPosNe(n, e);
    EXPECT_NEAR(n, 100.0, 1e-9);
    EXPECT_NEAR(e, 300.0, 1e-9);
}

TEST(AlntH, IncompleteElementsAreRefused)
{
    CAlntH h;
    h.appendElement(segment(100.0));
    const CAlntHe* before = h.getHe(0);
    CAlntHeIp noIp;   // IP unset
    const CAlntHe* refused[] = {new CAlntHeSegment(), new CAlntHeArc(), new CAlntHeSpiral(), &noIp};
    for (const CAlntHe* he : refused) {
        EXPECT_FALSE(h.appendElement(*he)) << he->getType();
        EXPECT_FALSE(h.insertElement(0, *he)) << he->getType();
        EXPECT_FALSE(h.replaceElement(0, *he)) << he->getType();
        EXPECT_EQ(h.getNumOfHes(), 1);
        EXPECT_EQ(h.getHe(0), before);
    }
    for (int i = 0; i < 3; ++i)
        delete refused[i];
}

TEST(AlntH, CornersBecomeSimplePointsWithoutANextCorner)
{
    CAlntH h;
    h.appendElement(corner(300.0, 0.0, 30.0, 100.0, 30.0));
    auto ipOf = [&](int i) { return CAlntHeIp::cast(h.getHe(i)); };
    EXPECT_TRUE(ipOf(0)->get_data().isSimplePoint()) << "placed last";
    double n, e;
    h.getFinalPosNe(n, e);
    EXPECT_EQ(n, 300.0);
    EXPECT_EQ(e, 0.0);

    h.appendElement(segment(50.0));
    EXPECT_TRUE(ipOf(0)->get_data().isSimplePoint()) << "followed by a segment";
    EXPECT_EQ(ipOf(1), nullptr);

    h.insertElement(1, corner(300.0, 300.0, 0.0, 0.0, 0.0));
    EXPECT_FALSE(ipOf(0)->get_data().isSimplePoint()) << "followed by a corner";
    EXPECT_TRUE(ipOf(1)->get_data().isSimplePoint()) << "followed by a segment";
    double az;
    ASSERT_TRUE(h.getAzimuthAtChainExtr(1e6, az));
    EXPECT_NEAR(azDiffDeg(az, 90.0), 0.0, 1e-9) << "the road ends heading east";

    h.removeHe(1);
    EXPECT_TRUE(ipOf(0)->get_data().isSimplePoint()) << "re-placed after the removal";
}

TEST(AlntH, BulkUpdatesDeferPlacement)
{
    CAlntH h;
    h.onBulkUpdateStarted();
    for (int i = 0; i < 3; ++i)
        h.appendElement(segment(100.0));
    h.setStartChainageInM(500.0);
    double chain;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(h.getHe(i)->getStartChainageInM(chain)) << i;
    EXPECT_TRUE(h.isInBulkUpdate());
    h.onBulkUpdateFinished();
    EXPECT_FALSE(h.isInBulkUpdate());
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(h.getHe(i)->getStartChainageInM(chain)) << i;
        EXPECT_EQ(chain, 500.0 + 100.0 * i);
    }
    double n, e;
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
    ASSERT_TRUE(h.getHe(0)->getStartChainageInM(chain));
    EXPECT_EQ(chain, 5.0);
    h.getHe(0)->getStartPosNe(n, e);
    EXPECT_EQ(n, 10.0);
    EXPECT_EQ(e, 20.0);
    CMathAngle az;
    h.getHe(0)->getStartAzimut(az);
    EXPECT_EQ(az.getRad(), 0.0);
    ASSERT_TRUE(h.getHLengthInM(len));
    EXPECT_NEAR(len, 50.0, 1e-12) << "the cached length follows the removal";

    h.removeHe(0);
    EXPECT_EQ(h.getNumOfHes(), 0);
    EXPECT_EQ(h.getFirstHe(), nullptr);
    ASSERT_TRUE(h.getFinalPosNe(n, e));
    EXPECT_EQ(n, 10.0);
    EXPECT_EQ(e, 20.0);
    ASSERT_TRUE(h.getHLengthInM(len));
    EXPECT_EQ(len, 0.0);
    EXPECT_FALSE(h.getPosNeAtChain(5.0, n, e));
}

TEST(AlntH, ArcElementFromAndToCArc)
{
    CAlntH h;
    h.appendElement(segment(40.0));
    h.appendElement(arc(120.0, 250.0, false));
    CArc circle;
    ASSERT_TRUE(static_cast<const CAlntHeArc*>(h.getHe(1))->getArc(circle));
    EXPECT_NEAR(circle.getRadius(), 250.0, 1e-9);
    EXPECT_FALSE(circle.clockwise);

    CAlntHeArc copy;
    copy.setArc(circle);
    EXPECT_TRUE(copy.isStartAzFixed());
    EXPECT_NEAR(copy.getCurve().getTotalLength(), 120.0, 1e-9);
    EXPECT_NEAR(copy.getCurve().getRadius(), -250.0, 1e-9);
    // Appended after a deflected segment it keeps the arc's own start tangent (north).
    CAlntH other;
    other.appendElement(segment(40.0));
    other.appendElement(segment(10.0, 30.0));
    other.appendElement(copy);
    CMathAngle az;
    other.getHe(2)->getStartAzimut(az);
    EXPECT_NEAR(az.getRad(), 0.0, 1e-12);
    EXPECT_FALSE(CAlntHeArc().getArc(circle)) << "an arc without a curve has no end";
}

// ---------------------------------------------------------------------------------------------
// A spiral-curve-spiral road, worked by hand.
//
// Start (0, 0) heading north at chainage 1000; IP at (500, 0); the road turns 40 degrees right
// towards the next IP (883.022221559489, 321.393804843270) with R = 300 m and spirals of
// Ls = 60 m.
//   spiral deflection   thetaS = Ls / 2R = 0.1 rad
//   Xs = Ls (1 - thetaS^2/10 + thetaS^4/216)           = 59.940027778
//   Ys = Ls (thetaS/3 - thetaS^3/42 + thetaS^5/1320)   = 1.998571883
//   p  = Ys - R (1 - cos thetaS)                       = 0.499821467
//   k  = Xs - R sin thetaS                             = 29.990002784
//   tangent length Ts = (R + p) tan(40/2) + k          = 139.362993200
//   long tangent   LT = Xs - Ys / tan thetaS           = 40.020972464
//   circular arc   Lc = R (Delta - 2 thetaS)           = 149.439510239
// TS = IP - Ts along north                      = (360.637006800, 0)
// SC = TS + Xs along north + Ys right           = (420.577034578, 1.998571883)
// ST = IP + Ts along azimuth 40                 = (606.758246517, 89.580805278)
// CS = ST - Xs along azimuth 40 + Ys right of it = (559.556864074, 52.583092983)
// Chainages: TS 1360.637006800, SC 1420.637006800, CS 1570.076517039, ST 1630.076517039.
// The tangents at TS and SC meet LT = 40.020972464 from TS.

namespace {

const Pos kTS{360.637006800, 0.0};
const Pos kSC{420.577034578, 1.998571883};
const Pos kCS{559.556864074, 52.583092983};
const Pos kST{606.758246517, 89.580805278};
const double kChainTS = 1360.637006800, kChainSC = 1420.637006800;
const double kChainCS = 1570.076517039, kChainST = 1630.076517039;
const double kLongTangent = 40.020972464;
const double kHandTol = 2e-6;   // the hand figures carry 9 decimals

} // namespace

TEST(AlntH, WorkedSpiralCurveSpiralByCorner)
{
    CAlntH h;
    h.setStartChainageInM(1000.0);
    h.appendElement(corner(500.0, 0.0, 60.0, 300.0, 60.0));
    h.appendElement(corner(883.022221559489, 321.393804843270, 0.0, 0.0, 0.0));
    const CCurveIp& c = CAlntHeIp::cast(h.getHe(0))->get_data();
    TIpNodes nodes;
    c.getIpNodes(nodes);
    double n, e;
    h.getHe(0)->getFinalPosNe(n, e);
    struct Case {
        const char* reason;
        double n, e, expectN, expectE;
    };
    const Case cases[] = {
        {"TS", nodes.tsN, nodes.tsE, kTS.n, kTS.e},
        {"SC", nodes.scN, nodes.scE, kSC.n, kSC.e},
        {"CS", nodes.csN, nodes.csE, kCS.n, kCS.e},
        {"ST", n, e, kST.n, kST.e},
    };
    for (const Case& k : cases) {
        EXPECT_NEAR(k.n, k.expectN, kHandTol) << k.reason;
        EXPECT_NEAR(k.e, k.expectE, kHandTol) << k.reason;
    }
    // The same points by chainage.
    const double chains[] = {kChainTS, kChainSC, kChainCS, kChainST};
    const Pos points[] = {kTS, kSC, kCS, kST};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(h.getPosNeAtChain(chains[i], n, e)) << cases[i].reason;
        EXPECT_NEAR(n, points[i].n, kHandTol) << cases[i].reason << " by chainage";
        EXPECT_NEAR(e, points[i].e, kHandTol) << cases[i].reason << " by chainage";
    }
    // The long tangent: the entry spiral's tangents meet LT from TS on the incoming line.
    Pos meet;
    CMathAngle aTS, aSC;
    c.getSolutionStartSpiral().getStartAzimut(aTS);
    ASSERT_TRUE(c.getSolutionStartSpiral().getFinalAzimut(aSC));
    C2dPos out;
    ASSERT_TRUE(IntersectPointDirLines(C2dPos{nodes.tsN, nodes.tsE}, aTS, C2dPos{nodes.scN, nodes.scE},
                                       aSC, out));
    meet = {out.north - nodes.tsN, out.east - nodes.tsE};
    EXPECT_NEAR(meet.n, kLongTangent, kHandTol);
    EXPECT_NEAR(meet.e, 0.0, kHandTol);
}

TEST(AlntH, WorkedSpiralCurveSpiralByElements)
{
    // The same road from its pieces; each curve element names the IP of its group.
    CAlntH h;
    h.setStartChainageInM(1000.0);
    const double lc = 300.0 * (40.0 * kDegToRad - 0.2);
    h.appendElement(segment(kChainTS - 1000.0));
    h.appendElement(spiral(60.0, 300.0, true, true));
    h.appendElement(arc(lc, 300.0, true));
    h.appendElement(spiral(60.0, 300.0, true, false));
    h.appendElement(segment(100.0));
    const double chains[] = {kChainSC, kChainCS, kChainST};
    const Pos points[] = {kSC, kCS, kST};
    double n, e;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(h.getPosNeAtChain(chains[i], n, e)) << i;
        EXPECT_NEAR(n, points[i].n, kHandTol) << i;
        EXPECT_NEAR(e, points[i].e, kHandTol) << i;
    }
    struct Case {
        const char* reason;
        int index;
        bool ok;
    };
    const Case cases[] = {
        {"segment", 0, false}, {"TS->SC spiral", 1, true}, {"arc", 2, true},
        {"CS->ST spiral", 3, true}, {"last segment", 4, false}, {"outside the list", 5, false},
    };
    for (const Case& c : cases) {
        n = e = 7.0;
        EXPECT_EQ(h.getIpPosForElement(c.index, n, e), c.ok) << c.reason;
        if (c.ok) {
            EXPECT_NEAR(n, 500.0, kHandTol) << c.reason;
            EXPECT_NEAR(e, 0.0, kHandTol) << c.reason;
        }
    }
    // Groups break at a radius mismatch, a fixed start azimuth, a compound spiral.
    CAlntH broken(h);
    broken.replaceElement(2, arc(lc, 301.0, true));
    EXPECT_FALSE(broken.getIpPosForElement(1, n, e)) << "the spiral no longer leads into the arc";
    ASSERT_TRUE(broken.getIpPosForElement(2, n, e)) << "the arc alone";
    EXPECT_GT(std::hypot(n - 500.0, e), 1.0);
    CAlntHeSpiral fixedExit = spiral(60.0, 300.0, true, false);
    CMathAngle az;
    h.getHe(3)->getStartAzimut(az);
    fixedExit.setFixedStartAz(az);
    broken = h;
    broken.replaceElement(3, fixedExit);
    EXPECT_FALSE(broken.getIpPosForElement(3, n, e)) << "fixed start azimuth";
    broken.replaceElement(3, compoundSpiral(60.0, 300.0, 600.0, true));
    EXPECT_FALSE(broken.getIpPosForElement(3, n, e)) << "compound spiral";
    ASSERT_TRUE(broken.getIpPosForElement(1, n, e)) << "spiral and arc";
}

// ---------------------------------------------------------------------------------------------
// Properties over random alignments.

namespace {

struct RandomAlignment {
    TestAlntH h;
    std::vector<bool> tangentJoint;   // joint before element i is tangent
};

// Lines (some deflected or with a fixed start azimuth), arcs, spirals of both orientations,
// compound spirals and runs of corners. The first element is a straight.
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
            const bool kink = u(rng) < 0.3;
            out.h.appendElement(segment(in(20, 300), kink ? in(-30, 30) : 0.0));
            tangent = !kink;
        } else if (kind < 0.2) {
            CAlntHeSegment s = segment(in(20, 300));
            s.setFixedStartAzInDegs(in(-180, 180));
            out.h.appendElement(s);
            tangent = false;
        } else if (kind < 0.4) {
            out.h.appendElement(arc(in(20, 200), in(100, 1000), right));
        } else if (kind < 0.6) {
            out.h.appendElement(spiral(in(20, 100), in(150, 800), right, u(rng) < 0.5));
        } else if (kind < 0.7) {
            out.h.appendElement(compoundSpiral(in(20, 100), in(150, 500), in(550, 1000), right));
        } else {
            // A run of corners, 300 m ahead and then 400 m apart, deflections of 10 to 40
            // degrees; the last one ends the run as a simple point.
            double n, e, az;
            double final;
            out.h.getFinalPosNe(n, e);
            out.h.getFinalChainageInM(final);
            out.h.getAzimuthAtChainExtr(final + 1.0, az);
            const int corners = 2 + static_cast<int>(u(rng) * 2);
            double dist = 300.0;
            for (int k = 0; k < corners; ++k) {
                n += dist * std::cos(az * kDegToRad);
                e += dist * std::sin(az * kDegToRad);
                out.h.appendElement(corner(n, e, in(30, 60), in(150, 300), in(30, 60)));
                out.tangentJoint.push_back(true);
                az += (u(rng) < 0.5 ? -1 : 1) * in(10, 40);
                dist = 400.0;
            }
            continue;
        }
        out.tangentJoint.push_back(tangent);
    }
}

// Every answer of the alignment at the given chainages, as bits.
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
        const CAlntHe* he = h.getAlntHeAtChain(c, &v1);
        int index = -1;
        for (int i = 0; i < h.getNumOfHes(); ++i)
            if (h.getHe(i) == he)
                index = i;
        put(index), put(v1);
    }
    for (int i = 0; i < h.getNumOfHes(); ++i)
        put(h.getIpPosForElement(i, v1, v2)), put(v1), put(v2);
    put(h.getHLengthInM(v1)), put(v1);
    put(h.getFinalPosNe(v1, v2)), put(v1), put(v2);
    return out;
}

// The backward scan over the start chainages, as the lookup is defined.
const CAlntHe* scanElementAt(const CAlntH& h, double chain, double& d)
{
    int i = h.getNumOfHes() - 1;
    double start, len;
    for (;; --i) {
        if (!h.getHe(i)->getStartChainageInM(start))
            return nullptr;
        if (!(chain < start) || i == 0)
            break;
    }
    if (!h.getHe(i)->getHLengthInM(len) || !(chain - start <= len + roadTolerance))
        return nullptr;
    d = chain - start;
    return h.getHe(i);
}

} // namespace

TEST(AlntHRandom, ContinuousAtJointsAndLengthsAddUp)
{
    std::mt19937 rng(20240419);
    for (int trial = 0; trial < 20; ++trial) {
        RandomAlignment r;
        buildRandom(rng, 30, r);
        const CAlntH& h = r.h;
        double sum = 0.0, len, final, last;
        for (int i = 0; i < h.getNumOfHes(); ++i) {
            ASSERT_TRUE(h.getHe(i)->getHLengthInM(len));
            sum += len;
        }
        ASSERT_TRUE(h.getHLengthInM(len));
        EXPECT_NEAR(len, sum, 1e-9) << trial;
        ASSERT_TRUE(h.getFinalChainageInM(final));
        ASSERT_TRUE(h.getLastHe()->getFinalChainageInM(last));
        EXPECT_NEAR(final, last, 1e-9) << trial;
        for (int i = 1; i < h.getNumOfHes(); ++i) {
            const CAlntHe* prev = h.getHe(i - 1);
            double prevLen, chain, n0, e0, n1, e1, az0, az1;
            prev->getHLengthInM(prevLen);
            ASSERT_TRUE(h.getHe(i)->getStartChainageInM(chain));
            ASSERT_TRUE(prev->getPosNeAtLength(prevLen, n0, e0)) << trial << " joint " << i;
            ASSERT_TRUE(h.getPosNeAtChain(chain, n1, e1)) << trial << " joint " << i;
            EXPECT_NEAR(std::hypot(n1 - n0, e1 - e0), 0.0, 1e-9) << trial << " joint " << i;
            if (!r.tangentJoint[i])
                continue;
            prev->getAzimuthAtLength(prevLen, az0);
            ASSERT_TRUE(h.getAzimuthAtChain(chain, az1));
            EXPECT_NEAR(azDiffDeg(az1, az0) * kDegToRad, 0.0, 1e-9)
                << trial << " joint " << i << " type " << h.getHe(i)->getType();
        }
    }
}

TEST(AlntHRandom, LookupMatchesTheBackwardScan)
{
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int trial = 0; trial < 10; ++trial) {
        RandomAlignment r;
        buildRandom(rng, 25, r);
        std::vector<double> chains;
        for (int i = 0; i < r.h.getNumOfHes(); ++i) {
            double s, f;
            r.h.getHe(i)->getStartChainageInM(s);
            r.h.getHe(i)->getFinalChainageInM(f);
            for (double c : {s, f, f + 0.0009, f + 0.0011, s - 0.0009, s + (f - s) * u(rng)})
                chains.push_back(c);
        }
        for (double c : chains) {
            double d1 = 0.0, d2 = 0.0;
            const CAlntHe* expected = scanElementAt(r.h, c, d1);
            EXPECT_EQ(r.h.getAlntHeAtChain(c, &d2), expected) << trial << " at " << c;
            EXPECT_EQ(d1, d2) << trial << " at " << c;
        }
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
            const double c = start - 50.0 + (final - start + 100.0) * u(rng);
            const double o = (u(rng) - 0.5) * 40.0;
            double n0, e0, n, e, az;
            ASSERT_TRUE(r.h.getPosNeAtChainExtr(c, n0, e0));
            ASSERT_TRUE(r.h.getPosNeAtChainAndOffsetExtr(c, o, n, e));
            ASSERT_TRUE(r.h.getAzimuthAtChainExtr(c, az));
            const double a = az * kDegToRad;
            const double across = (n - n0) * -std::sin(a) + (e - e0) * std::cos(a);
            const double along = (n - n0) * std::cos(a) + (e - e0) * std::sin(a);
            EXPECT_NEAR(across, o, 1e-9) << trial << " at " << c;
            EXPECT_NEAR(along, 0.0, 1e-9) << trial << " at " << c;
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
        std::vector<double> chains;
        for (int k = 0; k < 100; ++k)
            chains.push_back(r.h.getStartChainageInM() - 20.0 + (final - r.h.getStartChainageInM() + 40.0) * u(rng));
        const std::vector<std::uint64_t> expected = answers(r.h, chains);

        const CAlntH copied(r.h);
        CAlntH assigned;
        assigned.appendElement(segment(5.0));
        assigned = r.h;
        TestAlntH rebuilt;
        rebuilt.setStartPos(r.h.getStartPosN(), r.h.getStartPosE());
        rebuilt.onBulkUpdateStarted();
        rebuilt.setStartChainageInM(r.h.getStartChainageInM());
        for (int i = 0; i < r.h.getNumOfHes(); ++i)
            rebuilt.appendElement(*r.h.getHe(i));
        rebuilt.onBulkUpdateFinished();
        EXPECT_EQ(answers(copied, chains), expected) << trial << " copied";
        EXPECT_EQ(answers(assigned, chains), expected) << trial << " assigned";
        EXPECT_EQ(answers(rebuilt, chains), expected) << trial << " rebuilt";
        assigned = assigned;
        EXPECT_EQ(answers(assigned, chains), expected) << trial << " self-assigned";
    }
}
