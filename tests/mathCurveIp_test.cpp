// The intersection-point curve: solving TS, SC, CS and ST from the IP and the tangents, and the
// chain of start segment, entry spiral, arc and exit spiral.
#include "curveTestSupport.h"
#include "testUtil.h"

#include "vrkmath/mathCurveIp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace curvetest;

namespace {

CCurveIp corner(C2dPos start, C2dPos ip, C2dPos next, double L1, double R, double L2)
{
    CCurveIp c;
    c.setIp(ip.north, ip.east, L1, R, L2);
    c.setOrg(start.north, start.east);
    c.onSetNextIp(next.north, next.east);
    return c;
}

// The example corner: start (-300, 0), IP (0, 0), next IP (0, 300), R 100, no spirals.
CCurveIp exampleCorner(double startNorth = -300.0)
{ return corner(C2dPos{startNorth, 0.0}, C2dPos{0.0, 0.0}, C2dPos{0.0, 300.0}, 0.0, 100.0, 0.0); }

C2dPos posAt(const CCurveIp& c, double l) { return at(IpView{{c}}, l); }

// A corner with a deflection of 0.2 to 2 rad to the given side, R from 50 m to 1 km, and spirals
// (sometimes none) turning at most 0.4 of the deflection each; the start point 5 km before the
// IP and the next IP 3 km after it.
struct RandomCorner { CCurveIp ip; C2dPos ipPos; CMathAngle a1, a2; double R = 0.0; std::string name; };

RandomCorner drawCorner(std::mt19937& rng, bool right, int variant)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    RandomCorner c;
    const double deflection = (0.2 + 1.8 * unit(rng)) * (right ? 1.0 : -1.0);
    c.R = 50.0 * std::pow(20.0, unit(rng));
    const double spiralMax = std::min(300.0, 2.0 * c.R * 0.4 * std::fabs(deflection));
    const double L1 = variant == 1 ? 0.0 : spiralMax * unit(rng), L2 = variant == 2 ? 0.0 : spiralMax * unit(rng);
    c.a1.setDeg(360.0 * unit(rng) - 180.0);
    c.a2.setRad(c.a1.getRad() + deflection);
    c.ipPos = C2dPos{20000.0 * unit(rng) - 10000.0, 20000.0 * unit(rng) - 10000.0};
    c.ip = corner(C2dPos{c.ipPos.north - 5000.0 * c.a1.getCos(), c.ipPos.east - 5000.0 * c.a1.getSin()}, c.ipPos,
                  C2dPos{c.ipPos.north + 3000.0 * c.a2.getCos(), c.ipPos.east + 3000.0 * c.a2.getSin()}, L1, c.R, L2);
    char text[160];
    std::snprintf(text, sizeof text, "corner deflection %.4f R %.3f L1 %.3f L2 %.3f", deflection, c.R, L1, L2);
    c.name = text;
    return c;
}

// Distance (signed, right positive) of p from the line through q with azimuth az.
double offsetFromLine(const C2dPos& p, const C2dPos& q, const CMathAngle& az)
{ return (p.east - q.east) * az.getCos() - (p.north - q.north) * az.getSin(); }

} // namespace

// ---- Edge cases ------------------------------------------------------------------------------

// Corners that are simple points: by definition, without deflection (a corner that cannot be
// eased), and a solved corner whose next IP then moves straight ahead (its start segment must
// run to the IP again, not stop at the old TS). Each ends on the IP.
TEST(CurveIp, SimplePointsRunToTheIp)
{
    const CCurveIp byDef = corner(C2dPos{-300.0, 40.0}, C2dPos{0.0, 0.0}, C2dPos{0.0, 300.0}, 0.0, 0.0, 0.0);
    const CCurveIp flat = corner(C2dPos{-300.0, 0.0}, C2dPos{0.0, 0.0}, C2dPos{300.0, 0.0}, 30.0, 100.0, 30.0);
    CCurveIp straightened = exampleCorner();
    ASSERT_NEAR(straightened.getSolutionStartSegment().getTotalLength(), 200.0, 1e-9);
    EXPECT_TRUE(straightened.onSetNextIp(300.0, 0.0));
    struct Case { const CCurveIp& c; bool byDef; double length; const char* reason; };
    const Case cases[] = {
        {byDef, true, std::hypot(300.0, 40.0), "simple by definition"}, {flat, false, 300.0, "no deflection"},
        {straightened, false, 300.0, "solved, then straightened"},
    };
    for (const Case& k : cases) {
        EXPECT_TRUE(k.c.isSimplePoint()) << k.reason;
        EXPECT_EQ(k.c.isSimplePointByDef(), k.byDef) << k.reason;
        EXPECT_NEAR(k.c.getTotalLength(), k.length, 1e-12) << k.reason;
        EXPECT_TRUE(k.c.getFinalNorthing() == 0.0 && k.c.getFinalEasting() == 0.0) << k.reason;
        const C2dPos end = posAt(k.c, k.length);
        EXPECT_TRUE(std::fabs(end.north) < 1e-12 && std::fabs(end.east) < 1e-12) << k.reason;
        double n, e;
        EXPECT_FALSE(k.c.getPosAtLength(k.length + 1.0, n, e)) << k.reason;
        EXPECT_EQ(k.c.getStepForDeviation(k.length, 0.01), 0.0) << k.reason;
        EXPECT_EQ(k.c.getStepForDeviation(10.0, 0.01), k.c.getTotalLength() - 10.0) << k.reason;
    }
}

TEST(CurveIp, TheRightAngleCornerWithoutSpirals)
{
    const CCurveIp c = exampleCorner();
    ASSERT_FALSE(c.isSimplePoint());
    TIpNodes nodes;
    c.getIpNodes(nodes);
    EXPECT_EQ(nodes.curve, &c);
    double cn, ce, dist, len;
    c.getSolutionArc().getCurve().getCenterNE(cn, ce);
    ASSERT_TRUE(c.getShortestDistAndCurveLen(-100.0, 100.0, dist, len));   // the centre
    const C2dPos half = posAt(c, 200.0 + 25.0 * kPi);   // halfway round the arc
    struct Case { double got, expected; const char* reason; };
    const Case cases[] = {
        {nodes.tsN, -100.0, "TS north"}, {nodes.tsE, 0.0, "TS east"}, {nodes.scN, -100.0, "SC north"},
        {nodes.scE, 0.0, "SC east"}, {nodes.csN, 0.0, "CS north"}, {nodes.csE, 100.0, "CS east"},
        {c.getFinalNorthing(), 0.0, "ST north"}, {c.getFinalEasting(), 100.0, "ST east"},
        {nodes.ipN, 0.0, "IP north"}, {nodes.ipE, 0.0, "IP east"},
        {cn, 0.0, "the centre (-100, 100) lies 100 m right of SC: local north"}, {ce, 100.0, "local east"},
        {c.getSolutionStartSegment().getTotalLength(), 200.0, "start segment"},
        {c.getSolutionArc().getTotalLength(), 50.0 * kPi, "arc"}, {c.getTotalLength(), 200.0 + 50.0 * kPi, "total"},
        {half.north, -100.0 + 100.0 * std::sqrt(0.5), "halfway north"},
        {half.east, 100.0 - 100.0 * std::sqrt(0.5), "halfway east"},
        {c.GetAzimuth(200.0 + 25.0 * kPi), 45.0, "halfway heading north-east"},
        {dist, 100.0, "the centre: distance"}, {len, 200.0 + 50.0 * kPi, "the centre: the end"},
    };
    for (const Case& k : cases)
        EXPECT_NEAR(k.got, k.expected, 1e-9) << k.reason;
    EXPECT_TRUE(c.getR() > 0.0 && c.getSolutionArc().getCurve().getRadius() > 0.0);
    bool right = false;
    EXPECT_TRUE(c.checkIsTurnRight(right) && right);
}

TEST(CurveIp, LeftHandCornerHasNegativeRadii)
{
    const CCurveIp c = corner(C2dPos{-300.0, 0.0}, C2dPos{0.0, 0.0}, C2dPos{100.0, -300.0}, 40.0, 150.0, 60.0);
    ASSERT_FALSE(c.isSimplePoint());
    EXPECT_TRUE(c.getR() < 0.0 && c.getSolutionFinalSpiral().getCurve().getRadius() < 0.0 &&
                c.getSolutionArc().getCurve().getRadius() < 0.0);
    bool right = true;
    EXPECT_TRUE(c.checkIsTurnRight(right) && !right);
    double L1, R, L2, n, e;
    c.getIpElement(n, e, L1, R, L2);
    EXPECT_TRUE(L1 == 40.0 && R == 150.0 && L2 == 60.0);
}

TEST(CurveIp, JointOfStartSegmentAndEntrySpiral)
{
    const CCurveIp c = corner(C2dPos{-500.0, 0.0}, C2dPos{0.0, 0.0}, C2dPos{200.0, 300.0}, 60.0, 200.0, 40.0);
    ASSERT_FALSE(c.isSimplePoint());
    const double ls = c.getSolutionStartSegment().getTotalLength();
    TIpNodes nodes;
    c.getIpNodes(nodes);
    const C2dPos ts = posAt(c, ls), near = posAt(c, ls - 0.0005);
    EXPECT_NEAR(std::hypot(ts.north - nodes.tsN, ts.east - nodes.tsE), 0.0, 1e-9);
    EXPECT_TRUE(near.north == ts.north && near.east == ts.east) << "within 0.001 of the joint a position is the joint's";
    // At the joint the step is taken on the entry spiral, just before it on the segment.
    EXPECT_EQ(c.getStepForDeviation(ls, 0.01), c.getSolutionStartSpiral().getStepForDeviation(0.0, 0.01));
    EXPECT_NEAR(c.getStepForDeviation(ls - 0.5, 0.01), 0.5, 1e-9);
    double n, e;
    EXPECT_EQ(c.getNextPosForDeviation(ls, 0.01, n, e), ls + c.getStepForDeviation(ls, 0.01));
    // Lengths outside the element.
    EXPECT_FALSE(c.getPosAtLength(-0.002, n, e));
    EXPECT_TRUE(c.getPosAtLength(-0.0005, n, e));
    EXPECT_FALSE(c.getPosAtLength(c.getTotalLength() + 0.002, n, e));
    EXPECT_EQ(c.GetAzimuth(c.getTotalLength() + 0.002), 0.0);
    EXPECT_EQ(c.getStepForDeviation(c.getTotalLength(), 0.01), 0.0);
}

// New IP values solve the corner again with the known outgoing direction, a new start point
// solves it again too; a start point inside the tangent gives an empty start segment.
TEST(CurveIp, SolvingAgainAndStartInsideTheTangent)
{
    CCurveIp c = exampleCorner();
    ASSERT_TRUE(c.setIp(0.0, 0.0, 0.0, 200.0, 0.0));
    TIpNodes nodes;
    c.getIpNodes(nodes);
    EXPECT_NEAR(nodes.tsN, -200.0, 1e-9);
    EXPECT_NEAR(nodes.csE, 200.0, 1e-9);
    EXPECT_NEAR(c.getSolutionStartSegment().getTotalLength(), 100.0, 1e-9);
    c.setOrg(-1000.0, 0.0);
    EXPECT_NEAR(c.getSolutionStartSegment().getTotalLength(), 800.0, 1e-9);

    const CCurveIp inside = exampleCorner(-50.0);
    EXPECT_EQ(inside.getSolutionStartSegment().getTotalLength(), 0.0);
    inside.getIpNodes(nodes);
    EXPECT_NEAR(std::hypot(nodes.tsN + 100.0, nodes.tsE), 0.0, 1e-9) << "TS is not moved to the start point";
    const C2dPos start = posAt(inside, 0.0);
    EXPECT_TRUE(start.north == -50.0 && start.east == 0.0);
    EXPECT_NEAR(inside.getTotalLength(), 50.0 * kPi, 1e-9);
}

TEST(CurveIp, CopiesAndFlags)
{
    CCurveIp c;
    c.setIp(0.0, 0.0, 30.0, LengthDisplayTangent, 100.0, RadiusDisplayDegCurve, 20.0, LengthDisplaySpiralConst, UNITS_M);
    c.setOrg(-300.0, 0.0);
    c.onSetNextIp(0.0, 300.0);
    c.setPointID(17);
    double n, e, L1, R, L2;
    AlntElementLengthDisplay k1, k2;
    AlntElementRadiusDisplay kr;
    c.getIpElement(n, e, L1, k1, R, kr, L2, k2, UNITS_M);
    EXPECT_TRUE(k1 == LengthDisplayTangent && kr == RadiusDisplayDegCurve && k2 == LengthDisplaySpiralConst);
    const CCurveIp copied(c);
    EXPECT_TRUE(copied.getFlags() == 0u && copied.getPointID() == 17 && copied.getTotalLength() == c.getTotalLength());
    CCurveIp assigned;
    assigned = c;
    EXPECT_EQ(assigned.getFlags(), c.getFlags());
    EXPECT_NE(c.getFlags(), 0u);
}

// ---- Properties over random corners ----------------------------------------------------------

// Solved corners: radii signed by the side, pieces joined in position and direction, TS on the
// incoming and ST on the outgoing tangent, the start segment running to TS. At a length at
// least 1 m from every joint (pieces are then at least 2 m long, so that a chord of 0.1 m lies
// within dk h^2 / 6 < 1e-5 rad of the tangent): the azimuth against the chord, and nearest
// point as the inverse of position at length. Every 5th corner is sampled.
TEST(CurveIpProperties, RandomCorners)
{
    std::mt19937 rng(41);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int checked = 0;
    for (int i = 0; i < 300; ++i) {
        const RandomCorner r = drawCorner(rng, i % 2 == 0, i % 3);
        const CCurveIp& c = r.ip;
        ASSERT_FALSE(c.isSimplePoint()) << r.name;
        const auto& entry = c.getSolutionStartSpiral();
        const auto& arc = c.getSolutionArc();
        const auto& exit = c.getSolutionFinalSpiral();
        const double sign = i % 2 == 0 ? 1.0 : -1.0;
        EXPECT_TRUE(c.getR() == sign * r.R && arc.getCurve().getRadius() == sign * r.R &&
                    exit.getCurve().getRadius() == sign * r.R) << r.name;
        auto gap = [](const auto& a, const auto& b) {
            return std::hypot(a.getFinalNorthing() - b.getStartNorthing(), a.getFinalEasting() - b.getStartEasting());
        };
        EXPECT_NEAR(gap(entry, arc), 0.0, 1e-6) << r.name;
        EXPECT_NEAR(gap(arc, exit), 0.0, 1e-6) << r.name;
        CMathAngle entryEnd, arcEnd, exitEnd;
        ASSERT_TRUE(entry.getFinalAzimut(entryEnd) && arc.getFinalAzimut(arcEnd) && exit.getFinalAzimut(exitEnd));
        EXPECT_NEAR(std::remainder(entryEnd.getRad() - arc.getStartAz().getRad(), 2 * kPi), 0.0, 1e-12) << r.name;
        EXPECT_NEAR(std::remainder(arcEnd.getRad() - exit.getStartAz().getRad(), 2 * kPi), 0.0, 1e-9) << r.name;
        EXPECT_NEAR(std::remainder(exitEnd.getRad() - r.a2.getRad(), 2 * kPi), 0.0, 1e-12) << r.name;
        const C2dPos ts{entry.getStartNorthing(), entry.getStartEasting()};
        EXPECT_NEAR(offsetFromLine(ts, r.ipPos, r.a1), 0.0, 1e-6) << r.name;
        EXPECT_NEAR(offsetFromLine(C2dPos{c.getFinalNorthing(), c.getFinalEasting()}, r.ipPos, r.a2), 0.0, 1e-6) << r.name;
        EXPECT_NEAR(std::hypot(c.getSolutionStartSegment().getFinalNorthing() - ts.north,
                               c.getSolutionStartSegment().getFinalEasting() - ts.east), 0.0, 1e-6) << r.name;

        const double ls = c.getSolutionStartSegment().getTotalLength(), l1 = entry.getTotalLength();
        const double j[] = {0.0, ls, ls + l1, ls + l1 + arc.getTotalLength(), c.getTotalLength()};
        const int piece = static_cast<int>(4.0 * unit(rng)) % 4;
        const double a = j[piece] + 1.0, b = j[piece + 1] - 1.0, l = a + (b - a) * unit(rng);
        const double d = std::min(5.0, r.R / 50.0) * (2.0 * unit(rng) - 1.0);
        if (b > a)
            expectAzimuthAndNearest(IpView{{c}}, l, 0.05, 1e-5, d, 1e-4, r.name);
        checked += b > a;
        if (i % 5 == 0)
            expectChordsWithin(IpView{{c}}, 0.001 * std::pow(1000.0, unit(rng)), 4, r.name);
    }
    EXPECT_GT(checked, 200);

    // Mirrored about the incoming tangent, a corner gives mirrored positions.
    for (int i = 0; i < 100; ++i) {
        const double R = 50.0 + 500.0 * unit(rng), L1 = 100.0 * unit(rng), L2 = 100.0 * unit(rng);
        const C2dPos next{500.0 * unit(rng) - 100.0, 200.0 + 1000.0 * unit(rng)};
        const CCurveIp right = corner(C2dPos{-2000.0, 0.0}, C2dPos{0.0, 0.0}, next, L1, R, L2);
        const CCurveIp left = corner(C2dPos{-2000.0, 0.0}, C2dPos{0.0, 0.0}, C2dPos{next.north, -next.east}, L1, R, L2);
        ASSERT_NEAR(right.getTotalLength(), left.getTotalLength(), 1e-9);
        for (double f : {0.1, 0.5, 0.8, 0.9, 0.97, 1.0}) {
            const C2dPos a = posAt(right, f * right.getTotalLength()), b = posAt(left, f * right.getTotalLength());
            EXPECT_NEAR(std::hypot(a.north - b.north, a.east + b.east), 0.0, 1e-9) << "corner " << i << " at " << f;
        }
    }
}
