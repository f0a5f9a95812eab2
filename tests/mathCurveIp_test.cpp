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
{
    return corner(C2dPos{startNorth, 0.0}, C2dPos{0.0, 0.0}, C2dPos{0.0, 300.0}, 0.0, 100.0, 0.0);
}

// Distance (signed, right positive) of p from the line through q with azimuth az.
double offsetFromLine(const C2dPos& p, const C2dPos& q, const CMathAngle& az)
{
    return (p.east - q.east) * az.getCos() - (p.north - q.north) * az.getSin();
}

struct RandomCorner {
    CCurveIp ip;
    C2dPos ipPos;
    CMathAngle a1, a2;
    double R = 0.0;
    std::string name;
};

// A corner with a deflection of 0.2 to 2 rad to the given side, R from 50 m to 1 km, and spirals
// (sometimes none) turning at most 0.4 of the deflection each; the start point 5 km before the
// IP and the next IP 3 km after it.
RandomCorner drawCorner(std::mt19937& rng, bool right, int variant)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    RandomCorner c;
    const double deflection = (0.2 + 1.8 * unit(rng)) * (right ? 1.0 : -1.0);
    c.R = 50.0 * std::pow(20.0, unit(rng));
    const double spiralMax = std::min(300.0, 2.0 * c.R * 0.4 * std::fabs(deflection));
    const double L1 = variant == 1 ? 0.0 : spiralMax * unit(rng);
    const double L2 = variant == 2 ? 0.0 : spiralMax * unit(rng);
    c.a1.setDeg(360.0 * unit(rng) - 180.0);
    c.a2.setRad(c.a1.getRad() + deflection);
    c.ipPos = C2dPos{20000.0 * unit(rng) - 10000.0, 20000.0 * unit(rng) - 10000.0};
    const C2dPos start{c.ipPos.north - 5000.0 * c.a1.getCos(), c.ipPos.east - 5000.0 * c.a1.getSin()};
    const C2dPos next{c.ipPos.north + 3000.0 * c.a2.getCos(), c.ipPos.east + 3000.0 * c.a2.getSin()};
    c.ip = corner(start, c.ipPos, next, L1, c.R, L2);
    char text[160];
    std::snprintf(text, sizeof text, "corner deflection %.4f R %.3f L1 %.3f L2 %.3f", deflection, c.R, L1, L2);
    c.name = text;
    return c;
}

// Lengths at which the pieces join, from the start: 0, Ls, Ls + L1, Ls + L1 + La, total.
std::vector<double> joints(const CCurveIp& c)
{
    const double ls = c.getSolutionStartSegment().getTotalLength();
    const double l1 = c.getSolutionStartSpiral().getTotalLength();
    const double la = c.getSolutionArc().getTotalLength();
    return {0.0, ls, ls + l1, ls + l1 + la, c.getTotalLength()};
}

// A length at least 1 m from every joint, or -1 when the piece drawn is too short.
double lengthAwayFromJoints(const CCurveIp& c, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const std::vector<double> j = joints(c);
    const int piece = static_cast<int>(4.0 * unit(rng)) % 4;
    const double a = j[piece] + 1.0, b = j[piece + 1] - 1.0;
    if (b <= a)
        return -1.0;
    return a + (b - a) * unit(rng);
}

} // namespace

// ---- Edge cases ------------------------------------------------------------------------------

TEST(CurveIp, SimplePointIsTheTangentToTheIp)
{
    CCurveIp c = corner(C2dPos{-300.0, 40.0}, C2dPos{0.0, 0.0}, C2dPos{0.0, 300.0}, 0.0, 0.0, 0.0);
    EXPECT_TRUE(c.isSimplePoint());
    EXPECT_TRUE(c.isSimplePointByDef());
    EXPECT_NEAR(c.getTotalLength(), std::hypot(300.0, 40.0), 1e-12);
    EXPECT_EQ(c.getFinalNorthing(), 0.0);
    EXPECT_EQ(c.getFinalEasting(), 0.0);
    double n, e;
    ASSERT_TRUE(c.getPosAtLength(c.getTotalLength(), n, e));
    EXPECT_NEAR(n, 0.0, 1e-12);
    EXPECT_NEAR(e, 0.0, 1e-12);
    EXPECT_FALSE(c.getPosAtLength(c.getTotalLength() + 1.0, n, e));
    EXPECT_EQ(c.getStepForDeviation(c.getTotalLength(), 0.01), 0.0);
    EXPECT_EQ(c.getStepForDeviation(10.0, 0.01), c.getTotalLength() - 10.0);
}

TEST(CurveIp, CornerWithoutDeflectionBecomesASimplePoint)
{
    CCurveIp c = corner(C2dPos{-300.0, 0.0}, C2dPos{0.0, 0.0}, C2dPos{300.0, 0.0}, 30.0, 100.0, 30.0);
    EXPECT_TRUE(c.isSimplePoint());
    EXPECT_FALSE(c.isSimplePointByDef());
    EXPECT_NEAR(c.getTotalLength(), 300.0, 1e-12);
}

TEST(CurveIp, SolvedCornerTurnedStraightRunsToTheIp)
{
    // Solved first with a curve, then the next IP moves straight ahead: the start segment must
    // run to the IP again, not stop at the old TS.
    CCurveIp c = exampleCorner();
    ASSERT_NEAR(c.getSolutionStartSegment().getTotalLength(), 200.0, 1e-9);
    EXPECT_TRUE(c.onSetNextIp(300.0, 0.0));
    EXPECT_TRUE(c.isSimplePoint());
    EXPECT_NEAR(c.getTotalLength(), 300.0, 1e-12);
    double n, e;
    ASSERT_TRUE(c.getPosAtLength(300.0, n, e));
    EXPECT_NEAR(n, 0.0, 1e-12);
    EXPECT_NEAR(e, 0.0, 1e-12);
}

TEST(CurveIp, TheRightAngleCornerWithoutSpirals)
{
    const CCurveIp c = exampleCorner();
    ASSERT_FALSE(c.isSimplePoint());
    TIpNodes nodes;
    c.getIpNodes(nodes);
    EXPECT_EQ(nodes.curve, &c);
    struct Case {
        double n, expectedN, e, expectedE;
        const char* reason;
    };
    const Case cases[] = {
        {nodes.tsN, -100.0, nodes.tsE, 0.0, "TS"},
        {nodes.scN, -100.0, nodes.scE, 0.0, "SC"},
        {nodes.csN, 0.0, nodes.csE, 100.0, "CS"},
        {c.getFinalNorthing(), 0.0, c.getFinalEasting(), 100.0, "ST"},
        {nodes.ipN, 0.0, nodes.ipE, 0.0, "IP"},
    };
    for (const Case& k : cases) {
        EXPECT_NEAR(k.n, k.expectedN, 1e-9) << k.reason;
        EXPECT_NEAR(k.e, k.expectedE, 1e-9) << k.reason;
    }
    double cn, ce;
    c.getSolutionArc().getCurve().getCenterNE(cn, ce);
    EXPECT_EQ(cn, 0.0);
    EXPECT_NEAR(ce, 100.0, 1e-12);   // the centre (-100, 100) lies 100 m right of SC
    EXPECT_NEAR(c.getSolutionStartSegment().getTotalLength(), 200.0, 1e-9);
    EXPECT_NEAR(c.getSolutionArc().getTotalLength(), 50.0 * kPi, 1e-9);
    EXPECT_NEAR(c.getTotalLength(), 200.0 + 50.0 * kPi, 1e-9);
    EXPECT_GT(c.getR(), 0.0);
    EXPECT_GT(c.getSolutionArc().getCurve().getRadius(), 0.0);
    bool right = false;
    ASSERT_TRUE(c.checkIsTurnRight(right));
    EXPECT_TRUE(right);
    // Halfway round the arc: 100 m from the centre, heading north-east.
    double n, e;
    ASSERT_TRUE(c.getPosAtLength(200.0 + 25.0 * kPi, n, e));
    EXPECT_NEAR(n, -100.0 + 100.0 * std::sqrt(0.5), 1e-9);
    EXPECT_NEAR(e, 100.0 - 100.0 * std::sqrt(0.5), 1e-9);
    EXPECT_NEAR(c.GetAzimuth(200.0 + 25.0 * kPi), 45.0, 1e-9);
    double dist, len;
    ASSERT_TRUE(c.getShortestDistAndCurveLen(-100.0, 100.0, dist, len));   // the centre
    EXPECT_NEAR(dist, 100.0, 1e-9);
    EXPECT_NEAR(len, 200.0 + 50.0 * kPi, 1e-9);
}

TEST(CurveIp, LeftHandCornerHasNegativeRadii)
{
    const CCurveIp c = corner(C2dPos{-300.0, 0.0}, C2dPos{0.0, 0.0}, C2dPos{100.0, -300.0}, 40.0, 150.0, 60.0);
    ASSERT_FALSE(c.isSimplePoint());
    EXPECT_LT(c.getR(), 0.0);
    EXPECT_LT(c.getSolutionFinalSpiral().getCurve().getRadius(), 0.0);
    EXPECT_LT(c.getSolutionArc().getCurve().getRadius(), 0.0);
    bool right = true;
    ASSERT_TRUE(c.checkIsTurnRight(right));
    EXPECT_FALSE(right);
    double L1, R, L2, n, e;
    c.getIpElement(n, e, L1, R, L2);
    EXPECT_EQ(L1, 40.0);
    EXPECT_EQ(R, 150.0);
    EXPECT_EQ(L2, 60.0);
}

TEST(CurveIp, StartPointInsideTheTangentGivesAnEmptyStartSegment)
{
    const CCurveIp c = exampleCorner(-50.0);
    EXPECT_EQ(c.getSolutionStartSegment().getTotalLength(), 0.0);
    TIpNodes nodes;
    c.getIpNodes(nodes);
    EXPECT_NEAR(nodes.tsN, -100.0, 1e-9);   // TS is not moved to the start point
    EXPECT_NEAR(nodes.tsE, 0.0, 1e-9);
    double n, e;
    ASSERT_TRUE(c.getPosAtLength(0.0, n, e));
    EXPECT_EQ(n, -50.0);
    EXPECT_EQ(e, 0.0);
    EXPECT_NEAR(c.getTotalLength(), 50.0 * kPi, 1e-9);
}

TEST(CurveIp, JointOfStartSegmentAndEntrySpiral)
{
    const CCurveIp c = corner(C2dPos{-500.0, 0.0}, C2dPos{0.0, 0.0}, C2dPos{200.0, 300.0}, 60.0, 200.0, 40.0);
    ASSERT_FALSE(c.isSimplePoint());
    const double ls = c.getSolutionStartSegment().getTotalLength();
    TIpNodes nodes;
    c.getIpNodes(nodes);
    double n, e;
    ASSERT_TRUE(c.getPosAtLength(ls, n, e));
    EXPECT_NEAR(n, nodes.tsN, 1e-9);
    EXPECT_NEAR(e, nodes.tsE, 1e-9);
    // At the joint the step is taken on the entry spiral, just before it on the segment.
    EXPECT_EQ(c.getStepForDeviation(ls, 0.01), c.getSolutionStartSpiral().getStepForDeviation(0.0, 0.01));
    EXPECT_NEAR(c.getStepForDeviation(ls - 0.5, 0.01), 0.5, 1e-9);
    // Within 0.001 of the joint a position is the joint's.
    double n2, e2;
    ASSERT_TRUE(c.getPosAtLength(ls - 0.0005, n2, e2));
    EXPECT_EQ(n2, n);
    EXPECT_EQ(e2, e);
    // Lengths outside the element.
    EXPECT_FALSE(c.getPosAtLength(-0.002, n, e));
    EXPECT_TRUE(c.getPosAtLength(-0.0005, n, e));
    EXPECT_FALSE(c.getPosAtLength(c.getTotalLength() + 0.002, n, e));
    EXPECT_EQ(c.GetAzimuth(c.getTotalLength() + 0.002), 0.0);
    EXPECT_EQ(c.getStepForDeviation(c.getTotalLength(), 0.01), 0.0);
    const double next = c.getNextPosForDeviation(ls, 0.01, n, e);
    EXPECT_EQ(next, ls + c.getStepForDeviation(ls, 0.01));
}

TEST(CurveIp, NewIpValuesSolveAgainWithTheKnownOutgoingDirection)
{
    CCurveIp c = exampleCorner();
    ASSERT_TRUE(c.setIp(0.0, 0.0, 0.0, 200.0, 0.0));
    TIpNodes nodes;
    c.getIpNodes(nodes);
    EXPECT_NEAR(nodes.tsN, -200.0, 1e-9);
    EXPECT_NEAR(nodes.csE, 200.0, 1e-9);
    EXPECT_NEAR(c.getSolutionStartSegment().getTotalLength(), 100.0, 1e-9);
    // A new start point solves it again too.
    c.setOrg(-1000.0, 0.0);
    EXPECT_NEAR(c.getSolutionStartSegment().getTotalLength(), 800.0, 1e-9);
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
    EXPECT_EQ(k1, LengthDisplayTangent);
    EXPECT_EQ(kr, RadiusDisplayDegCurve);
    EXPECT_EQ(k2, LengthDisplaySpiralConst);
    const CCurveIp copied(c);
    EXPECT_EQ(copied.getFlags(), 0u);
    EXPECT_EQ(copied.getPointID(), 17);
    EXPECT_EQ(copied.getTotalLength(), c.getTotalLength());
    CCurveIp assigned;
    assigned = c;
    EXPECT_EQ(assigned.getFlags(), c.getFlags());
    EXPECT_NE(c.getFlags(), 0u);
}

// ---- Properties over random corners ----------------------------------------------------------

TEST(CurveIpProperties, SolvedCornersAreContinuousAndMeetTheTangents)
{
    std::mt19937 rng(41);
    for (int i = 0; i < 300; ++i) {
        const RandomCorner r = drawCorner(rng, i % 2 == 0, i % 3);
        const CCurveIp& c = r.ip;
        ASSERT_FALSE(c.isSimplePoint()) << r.name;
        const auto& entry = c.getSolutionStartSpiral();
        const auto& arc = c.getSolutionArc();
        const auto& exit = c.getSolutionFinalSpiral();
        // Radii signed by the side of the corner.
        const double sign = i % 2 == 0 ? 1.0 : -1.0;
        EXPECT_EQ(c.getR(), sign * r.R) << r.name;
        EXPECT_EQ(arc.getCurve().getRadius(), sign * r.R) << r.name;
        EXPECT_EQ(exit.getCurve().getRadius(), sign * r.R) << r.name;
        // Positions join.
        EXPECT_NEAR(entry.getFinalNorthing(), arc.getStartNorthing(), 1e-6) << r.name;
        EXPECT_NEAR(entry.getFinalEasting(), arc.getStartEasting(), 1e-6) << r.name;
        EXPECT_NEAR(arc.getFinalNorthing(), exit.getStartNorthing(), 1e-6) << r.name;
        EXPECT_NEAR(arc.getFinalEasting(), exit.getStartEasting(), 1e-6) << r.name;
        // Directions join.
        CMathAngle entryEnd, arcEnd, exitEnd;
        ASSERT_TRUE(entry.getFinalAzimut(entryEnd));
        ASSERT_TRUE(arc.getFinalAzimut(arcEnd));
        ASSERT_TRUE(exit.getFinalAzimut(exitEnd));
        EXPECT_NEAR(std::remainder(entryEnd.getRad() - arc.getStartAz().getRad(), 2 * kPi), 0.0, 1e-12) << r.name;
        EXPECT_NEAR(std::remainder(arcEnd.getRad() - exit.getStartAz().getRad(), 2 * kPi), 0.0, 1e-9) << r.name;
        EXPECT_NEAR(std::remainder(exitEnd.getRad() - r.a2.getRad(), 2 * kPi), 0.0, 1e-12) << r.name;
        // TS lies on the incoming tangent, ST on the outgoing one.
        const C2dPos ts{entry.getStartNorthing(), entry.getStartEasting()};
        const C2dPos st{c.getFinalNorthing(), c.getFinalEasting()};
        EXPECT_NEAR(offsetFromLine(ts, r.ipPos, r.a1), 0.0, 1e-6) << r.name;
        EXPECT_NEAR(offsetFromLine(st, r.ipPos, r.a2), 0.0, 1e-6) << r.name;
        // The start segment runs to TS.
        EXPECT_NEAR(c.getSolutionStartSegment().getFinalNorthing(), ts.north, 1e-6) << r.name;
        EXPECT_NEAR(c.getSolutionStartSegment().getFinalEasting(), ts.east, 1e-6) << r.name;
    }
}

TEST(CurveIpProperties, MirroredCornerGivesMirroredPositions)
{
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 100; ++i) {
        const double R = 50.0 + 500.0 * unit(rng);
        const double L1 = 100.0 * unit(rng), L2 = 100.0 * unit(rng);
        const C2dPos next{500.0 * unit(rng) - 100.0, 200.0 + 1000.0 * unit(rng)};
        const CCurveIp right = corner(C2dPos{-2000.0, 0.0}, C2dPos{0.0, 0.0}, next, L1, R, L2);
        const CCurveIp left = corner(C2dPos{-2000.0, 0.0}, C2dPos{0.0, 0.0}, C2dPos{next.north, -next.east}, L1, R, L2);
        ASSERT_NEAR(right.getTotalLength(), left.getTotalLength(), 1e-9);
        for (double f : {0.1, 0.5, 0.8, 0.9, 0.97, 1.0}) {
            const C2dPos a = at(IpView{right}, f * right.getTotalLength());
            const C2dPos b = at(IpView{left}, f * right.getTotalLength());
            EXPECT_NEAR(a.north, b.north, 1e-9) << "corner " << i << " at " << f;
            EXPECT_NEAR(a.east, -b.east, 1e-9) << "corner " << i << " at " << f;
        }
    }
}

TEST(CurveIpProperties, AzimuthFollowsTheChord)
{
    // As for single spirals: an exact series and a chord of 0.1 m (pieces are at least 2 m
    // long here, so dk h^2 / 6 < 1e-5 rad).
    ScopedSmallNumTolerance exact(1e-12);
    std::mt19937 rng(43);
    for (int i = 0; i < 300; ++i) {
        const RandomCorner r = drawCorner(rng, i % 2 == 0, i % 3);
        const double l = lengthAwayFromJoints(r.ip, rng);
        if (l < 0.0)
            continue;
        EXPECT_NEAR(azimuthChordError(IpView{r.ip}, l, 0.05), 0.0, 1e-5) << r.name << " at " << l;
    }
}

TEST(CurveIpProperties, NearestPointInvertsPositionAtLength)
{
    std::mt19937 rng(44);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int checked = 0;
    for (int i = 0; i < 800; ++i) {
        const RandomCorner r = drawCorner(rng, i % 2 == 0, i % 3);
        const double l = lengthAwayFromJoints(r.ip, rng);
        if (l < 0.0)
            continue;
        const double d = std::min(5.0, r.R / 50.0) * (2.0 * unit(rng) - 1.0);
        double distError, lenError;
        ASSERT_TRUE(nearestRoundTrip(IpView{r.ip}, l, d, distError, lenError)) << r.name;
        EXPECT_LT(distError, 1e-4) << r.name << " l " << l << " d " << d;
        EXPECT_LT(lenError, 1e-4) << r.name << " l " << l << " d " << d;
        ++checked;
    }
    EXPECT_GT(checked, 600);
}

TEST(CurveIpProperties, SamplingKeepsEveryChordWithinTheDeviation)
{
    std::mt19937 rng(45);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 60; ++i) {
        const RandomCorner r = drawCorner(rng, i % 2 == 0, i % 3);
        const double deviation = 0.001 * std::pow(1000.0, unit(rng));
        int chords = 0;
        EXPECT_LE(worstChordExcess(IpView{r.ip}, deviation, chords), 1e-9) << r.name << " deviation " << deviation;
        EXPECT_GE(chords, 4) << r.name;
    }
}
