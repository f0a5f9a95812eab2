// Vertical elements: grade lines, parabolas, VIP elements, circular arcs.
#include "vrkmath/mathAlntVe.h"
#include "vrkmath/mathAlntVeArc.h"

#include "numeric/unsetValue.h"
#include "testUtil.h"

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

// One height query: length into the element, expected code, expected height (ht unused
// unless the code is veHtOk), and why the case is there.
struct HtCase {
    double len;
    errCodes code;
    double ht;
    const char* reason;
};

// Heights compared within `ulps`, or within `tol` metres when tol > 0 (the arc's height is the
// centre height less a root of nearly the radius, which loses about 1e-13 m to cancellation).
void checkHeights(const CAlntVe& e, const std::vector<HtCase>& cases, int ulps = 2, double tol = 0.0)
{
    for (const HtCase& c : cases) {
        double ht = -12345.0;
        const errCodes rc = e.getHtAtLen(c.len, ht);
        EXPECT_EQ(rc, c.code) << c.reason;
        if (c.code == veHtOk && tol > 0.0)
            EXPECT_NEAR(ht, c.ht, tol) << c.reason;
        else if (c.code == veHtOk)
            EXPECT_TRUE(nearUlps(ht, c.ht, ulps)) << c.reason;
        else
            EXPECT_EQ(ht, -12345.0) << c.reason << ": height written on failure";
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CLsInfo

TEST(CLsInfo, Compatibility)
{
    const CLsInfo a(100.0, 12.0, 40.0);   // the three-value form: curve 80 ... 120
    ASSERT_EQ(a.curveStart, 80.0);
    struct Case {
        CLsInfo later;
        bool ok;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {CLsInfo(150.0, 10.0, 20.0), true, "curves apart"},
        {CLsInfo(130.0, 10.0, 20.0), true, "next curve begins where this one ends"},
        {CLsInfo(130.0, 10.0, 20.0, 120.0 - 5e-13, 0.0), true, "overlap within the zero tolerance"},
        {CLsInfo(130.0, 10.0, 20.0, 120.0 - 1e-9, 0.0), false, "overlap of 1e-9"},
        {CLsInfo(100.0, 10.0, 0.0, 120.0, 0.0), true, "same chainage, later without curve"},
        {CLsInfo(100.0, 10.0, 1e-6, 120.0, 0.0), false, "same chainage, later with a curve"},
        {CLsInfo(100.0 + 5e-13, 10.0, 1e-6, 120.0, 0.0), false, "chainages equal within 1e-12"},
        {CLsInfo(100.0 + 2e-12, 10.0, 1e-6, 120.0, 0.0), true, "chainages 2e-12 apart"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(a.isCompatibleWith(c.later), c.ok) << c.reason;
}

// ---------------------------------------------------------------------------------------------
// CVerticalElement

TEST(CVerticalElement, GradeLineHeightsAndSnapping)
{
    const CVerticalElement e(10.0, 0.0, 100.0, 2.0);
    EXPECT_EQ(e.getType(), veGradeLine);
    checkHeights(e, {
                        {50.0, veHtOk, 11.0, "middle"},
                        {0.0, veHtOk, 10.0, "start"},
                        {-5e-13, veHtOk, 10.0, "within the zero tolerance before the start"},
                        {-0.0001, veHtBeforeStart, 0.0, "0.0001 before the start: no snapping there"},
                        {100.0009, veHtOk, 12.0, "0.0009 beyond the end snaps onto it"},
                        {99.9991, veHtOk, 12.0, "0.0009 before the end snaps onto it"},
                        {100.002, veHtBeyondEnd, 0.0, "0.002 beyond the end"},
                    });
    EXPECT_TRUE(nearUlps(e.getFinalHt(), 12.0, 0));
    EXPECT_EQ(e.getFinalChain(), 100.0);
}

TEST(CVerticalElement, ParabolaHeightsCoefficientsAndSteps)
{
    CVerticalElement e(0.0, 0.0, 100.0, 2.0, -2.0);
    EXPECT_EQ(e.getType(), veParabola);
    EXPECT_TRUE(nearUlps(e.getParabolaCoefficientA(), -0.0002));
    EXPECT_TRUE(nearUlps(e.getParabolaCoefficientB(), 0.02));
    EXPECT_EQ(e.getParabolaCoefficientC(), 0.0);
    EXPECT_TRUE(nearUlps(e.getParabolaCoefficientKv(), -2500.0));
    EXPECT_TRUE(nearUlps(e.getParabolaCoefficientDs(), 0.04));
    checkHeights(e, {
                        {50.0, veHtOk, 0.5, "the crest of the symmetric parabola"},
                        {25.0, veHtOk, 0.375, "quarter length"},
                        {100.0009, veHtOk, e.getFinalHt(), "snapped onto the end"},
                        {100.002, veHtBeyondEnd, 0.0, "beyond"},
                    });
    EXPECT_NEAR(e.getFinalHt(), 0.0, 1e-15);

    const double s = 2.0 * std::sqrt(0.01 / 0.0002);   // 14.142...
    struct Case {
        double chainage;
        double step;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {0.0, s, "from the start: the chord whose sagitta is the deviation"},
        {90.0, 10.0, "10 m left: the remainder"},
        {100.0 - s - 0.0005, s + 0.0005, "remainder within 0.001 of the step: the remainder"},
        {100.0 - s - 0.002, s, "remainder 0.002 longer than the step"},
        {100.0005, 0.0, "snapped onto the end: nothing left"},
        {100.002, 0.0, "beyond the end"},
        {-0.0001, 0.0, "before the start"},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(e.getStepForDeviation(c.chainage, 0.01), c.step, 1e-12) << c.reason;
    EXPECT_EQ(CVerticalElement(0.0, 0.0, 100.0, 2.0).getStepForDeviation(30.0, 0.01), 70.0)
        << "a grade line needs no inner vertex";
}

TEST(CVerticalElement, SetStraightThroughTwoPoints)
{
    CVerticalElement e;
    e.setStraight(10.0, 5.0, 20.0, 6.0);
    EXPECT_EQ(e.getLen(), 10.0);
    EXPECT_TRUE(nearUlps(e.getStartGrade(), 10.0));
    EXPECT_EQ(e.getStartGrade(), e.getEndGrade());
    EXPECT_EQ(e.getStartHt(), 5.0);
    double ch = 0;
    EXPECT_TRUE(e.getStartChainageInM(ch));
    EXPECT_EQ(ch, 10.0);

    for (double ch2 : {10.0, 9.0, 10.0 + 5e-13}) {
        e.setStraight(10.0, 5.0, ch2, 7.0);
        EXPECT_EQ(e.getLen(), 0.0) << ch2;
        EXPECT_EQ(e.getStartGrade(), 0.0) << ch2;
        EXPECT_EQ(e.getEndGrade(), 0.0) << ch2;
    }
}

// The mid-ordinate f and the rise c to the tangent intersection are what a designer reads off
// a drawing: the curve passes f below (crest) the intersection point at half length.
TEST(CVerticalElement, ParabolaByRiseAndMidOrdinateOrRadius)
{
    std::mt19937 rng(18);
    std::uniform_real_distribution<double> lenD(20.0, 400.0), cD(-5.0, 5.0), fD(-1.0, 1.0);
    for (int i = 0; i < 200; ++i) {
        const double len = lenD(rng), c = cD(rng), f = fD(rng);
        CVerticalElement e(100.0, 0.0, 0.0, 0.0);
        e.setParabolaByCF(len, c, f);
        double ht;
        ASSERT_EQ(e.getHtAtLen(len / 2, ht), veHtOk);
        EXPECT_NEAR(ht, 100.0 + c - f, 1e-9) << "len " << len << " c " << c << " f " << f;

        const double r = (i % 2 ? 1.0 : -1.0) * lenD(rng) * 20.0;
        e.setParabolaByCR(len, c, r);
        EXPECT_NEAR(e.getParabolaCoefficientKv(), -r, 1e-9 * std::fabs(r)) << "radius " << r;
        EXPECT_NEAR(e.getStartGrade(), 200.0 * c / len, 1e-12);
    }
}

// ---------------------------------------------------------------------------------------------
// CVerticalLSElement

namespace {

// VIP (100, 12) with a 40 m curve, entered from (0, 10) and left towards (200, 10):
// grades +2 % and -2 %.
CVerticalLSElement crestLs()
{
    CVerticalLSElement e(CLsInfo(100.0, 12.0, 40.0));
    e.setNextLSElement(CLsInfo(200.0, 10.0, 0.0));
    e.setStartHtAndChain(10.0, 0.0);
    return e;
}

} // namespace

TEST(CVerticalLSElement, StraightThenParabola)
{
    const CVerticalLSElement e = crestLs();
    ASSERT_TRUE(e.isok());
    EXPECT_EQ(e.getType(), veLsParabola);
    EXPECT_EQ(e.getStartSegment().getLen(), 80.0);
    ASSERT_NE(e.getParabole(), nullptr);
    EXPECT_EQ(e.getParabole()->getLen(), 40.0);
    EXPECT_EQ(e.getLen(), 120.0);
    EXPECT_EQ(e.getFinalChain(), 120.0);
    EXPECT_TRUE(nearUlps(e.getStartGrade(), 2.0));
    EXPECT_TRUE(nearUlps(e.getEndGrade(), -2.0));
    EXPECT_NEAR(e.getFinalHt(), 11.6, 1e-12);
    checkHeights(e, {
                        {50.0, veHtOk, 11.0, "on the straight"},
                        {100.0, veHtOk, 11.8, "at the VIP: its height less the mid-ordinate 0.2"},
                        {120.0005, veHtOk, e.getFinalHt(), "snapped onto the end"},
                        {120.002, veHtBeyondEnd, 0.0, "beyond"},
                        {-0.001, veHtBeforeStart, 0.0, "before"},
                    },
                 8);
    // Steps: on the straight up to its end; near the straight's end from there into the curve.
    const double s = 2.0 * std::sqrt(0.01 / 0.0005);
    EXPECT_NEAR(e.getStepForDeviation(50.0, 0.01), 30.0, 1e-12);
    EXPECT_NEAR(e.getStepForDeviation(79.9995, 0.01), s + 0.0005, 1e-12);
    EXPECT_NEAR(e.getStepForDeviation(115.0, 0.01), 5.0, 1e-12);
    EXPECT_EQ(e.getStepForDeviation(121.0, 0.01), 0.0);
}

TEST(CVerticalLSElement, WithoutNextVipEndsAtItsVipWithoutCurve)
{
    CVerticalLSElement e(CLsInfo(100.0, 12.0, 40.0));
    e.setStartHtAndChain(10.0, 0.0);
    ASSERT_TRUE(e.isok());
    EXPECT_EQ(e.getParabole(), nullptr);
    EXPECT_EQ(e.getLen(), 100.0);
    EXPECT_EQ(e.getFinalHt(), 12.0);
}

TEST(CVerticalLSElement, NotReadyStates)
{
    CVerticalLSElement fresh;
    double ch = 5.0, ht = -1.0;
    EXPECT_FALSE(fresh.isok());
    EXPECT_FALSE(fresh.getStartChainageInM(ch));
    EXPECT_EQ(ch, 0.0);
    EXPECT_EQ(fresh.getHtAtLen(0.0, ht), veHtBeyondEnd);
    EXPECT_EQ(fresh.getStepForDeviation(0.0, 0.01), 0.0);
    CLsInfo info;
    EXPECT_FALSE(fresh.getAsLs(info));

    struct Case {
        CLsInfo curr, next;
        double startCh, startHt;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {CLsInfo(100, 12, 0), CLsInfo(100, 10, 20), 0, 10, "next VIP at the same chainage has a curve"},
        {CLsInfo(100, 12, 40), CLsInfo(100, 10, 0), 0, 10, "a curve at a VIP its neighbour shares"},
        {CLsInfo(100, 12, 40), CLsInfo(110, 10, 40), 0, 10, "overlapping curves"},
        {CLsInfo(100, 12, 40), CLsInfo(200, 10, 0), 100, 12, "a first VIP with a curve"},
        {CLsInfo(100, 12, 40), CLsInfo(200, 10, 0), 90, 12, "start inside the curve"},
    };
    for (const Case& c : cases) {
        CVerticalLSElement e(c.curr);
        e.setNextLSElement(c.next);
        e.setStartHtAndChain(c.startHt, c.startCh);
        EXPECT_FALSE(e.isok()) << c.reason;
        EXPECT_EQ(e.getHtAtLen(0.0, ht), veHtBeyondEnd) << c.reason;
        EXPECT_EQ(e.getStepForDeviation(c.startCh, 0.01), 0.0) << c.reason;
    }
}

// ---------------------------------------------------------------------------------------------
// CAlntVeArc

namespace {

CAlntVeArc arcAt(double chainage, double height, double g1, double g2, double r)
{
    CAlntVeArc a;
    a.setStartHtAndChain(height, chainage);
    a.setGradesAndR(g1, g2, r);
    return a;
}

} // namespace

TEST(CAlntVeArc, RadiusTakesItsSignFromTheGrades)
{
    struct Case {
        double g1, g2, r, stored;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {2, -2, 500, -500, "falling grades: crest"},
        {-2, 2, -500, 500, "rising grades: sag"},
        {2, 2, 500, 0, "equal grades: a point"},
        {1, 1 + 1e-13, 500, 500, "rising by 1e-13 is still a sag"},
    };
    for (const Case& c : cases) {
        CAlntVeArc a = arcAt(0, 0, c.g1, c.g2, c.r);
        EXPECT_EQ(a.getRadius(), c.stored) << c.reason;
    }
    const CAlntVeArc point = arcAt(10, 5, 2, 2, 500);
    EXPECT_TRUE(point.isSimplePoint());
    EXPECT_EQ(point.getArcLength(), 0.0);
    EXPECT_EQ(point.getLen(), 0.0);
    EXPECT_EQ(point.getFinalHt(), 5.0);
}

TEST(CAlntVeArc, SagExample)
{
    const CAlntVeArc a = arcAt(0.0, 0.0, -2.0, 2.0, 1000.0);
    ASSERT_TRUE(a.isok());
    EXPECT_EQ(a.getType(), veArc);
    EXPECT_TRUE(a.isConvexDownwards());
    // The printed figures are rounded to their last digit.
    EXPECT_NEAR(a.getArcLength(), 39.9947, 5e-5);
    EXPECT_NEAR(a.getCenterStaAndHt().north, 19.9960, 5e-5);
    EXPECT_NEAR(a.getCenterStaAndHt().east, 999.8001, 5e-5);
    EXPECT_NEAR(a.getLen(), 39.9920, 5e-5);
    EXPECT_NEAR(a.getFinalHt(), 0.0, 1e-12);
    EXPECT_NEAR(a.getEndGrade(), 2.0, 1e-12);
    EXPECT_TRUE(nearUlps(a.getStartGrade(), -2.0, 4));
    double low;
    ASSERT_EQ(a.getHtAtLen(a.getCenterStaAndHt().north, low), veHtOk);
    EXPECT_NEAR(low, -0.19994, 5e-6);

    // The tangents meet at half the horizontal length, 2 % of it below the start.
    CLsInfo ip;
    ASSERT_TRUE(a.getAsLs(ip));
    EXPECT_NEAR(ip.chainage, a.getLen() / 2, 1e-9);
    EXPECT_NEAR(ip.height, -0.02 * a.getLen() / 2, 1e-9);
    EXPECT_EQ(ip.curveLen, a.getLen());
    EXPECT_EQ(ip.curveStart, 0.0);
    EXPECT_EQ(ip.radius, 1000.0);
}

TEST(CAlntVeArc, SnappingAndRange)
{
    const CAlntVeArc a = arcAt(50.0, 3.0, -2.0, 2.0, 1000.0);
    double end;
    ASSERT_EQ(a.getHtAtLen(a.getLen(), end), veHtOk);
    checkHeights(a, {
                        {-0.0005, veHtOk, 3.0, "0.0005 before the start snaps onto it"},
                        {a.getLen() + 0.0005, veHtOk, end, "0.0005 beyond the end snaps onto it"},
                        {-0.002, veHtBeforeStart, 0.0, "before (logs an assertion report)"},
                        {a.getLen() + 0.002, veHtBeyondEnd, 0.0, "beyond (logs an assertion report)"},
                    },
                 0, 1e-12);
    double ht = 7.0;
    EXPECT_EQ(CAlntVeArc().getHtAtLen(0.0, ht), veHtBeyondEnd) << "an arc without start";
    EXPECT_EQ(ht, 7.0);
}

TEST(CAlntVeArc, CrestIsTheMirrorImageOfTheSag)
{
    const CAlntVeArc sag = arcAt(0.0, 0.0, -3.0, 1.5, 2500.0);
    const CAlntVeArc crest = arcAt(0.0, 0.0, 3.0, -1.5, 2500.0);
    ASSERT_EQ(sag.getLen(), crest.getLen());
    for (int i = 0; i <= 20; ++i) {
        const double len = sag.getLen() * i / 20;
        double hs, hc;
        ASSERT_EQ(sag.getHtAtLen(len, hs), veHtOk);
        ASSERT_EQ(crest.getHtAtLen(len, hc), veHtOk);
        EXPECT_NEAR(hs, -hc, 1e-12) << len;
    }
    EXPECT_NEAR(sag.getEndGrade(), -crest.getEndGrade(), 1e-12);
}

// The point after the step is the start point turned about the centre by the chord angle.
TEST(CAlntVeArc, StepForDeviation)
{
    const double grades = 50.0, radius = 10.0;
    const CAlntVeArc a = arcAt(0.0, 0.0, -grades, grades, radius);
    // Deviation 20 is capped to the radius, whose chord angle pi is capped to pi/16.
    const double a0 = std::atan(-grades / 100) - kPi / 2;   // start point seen from the centre
    const double expected = radius * (std::cos(a0 + kPi / 16) - std::cos(a0));
    EXPECT_NEAR(a.getStepForDeviation(0.0, 20.0), expected, 1e-12);

    const CAlntVeArc big = arcAt(0.0, 0.0, -2.0, 2.0, 1000.0);
    const double theta = 2.0 * std::acos(1.0 - 0.01 / 1000.0);
    const double b0 = std::atan(-0.02) - kPi / 2;
    EXPECT_NEAR(big.getStepForDeviation(0.0, 0.01), 1000.0 * (std::cos(b0 + theta) - std::cos(b0)), 1e-9);
    EXPECT_NEAR(big.getStepForDeviation(big.getLen() - 1.0, 0.01), 1.0, 1e-12) << "the remainder";
    EXPECT_EQ(big.getStepForDeviation(big.getLen() + 0.002, 0.01), 0.0) << "beyond";
    EXPECT_EQ(big.getStepForDeviation(10.0, 0.0), 0.0) << "deviation not positive";

    // A crest turns the other way but still steps forwards.
    const CAlntVeArc crest = arcAt(0.0, 0.0, 2.0, -2.0, 1000.0);
    EXPECT_NEAR(crest.getStepForDeviation(0.0, 0.01), big.getStepForDeviation(0.0, 0.01), 1e-12);
}

// The lowest point of a sag and the highest of a crest lie where the grade is zero: straight
// below (above) the centre, at a height of centre -/+ |R|; heights on both sides are higher
// (lower) and symmetric about it.
TEST(CAlntVeArc, ExtremeLiesWhereTheGradeIsZero)
{
    std::mt19937 rng(1811);
    std::uniform_real_distribution<double> gD(0.2, 8.0), rD(300.0, 20000.0), chD(-500.0, 5000.0),
        hD(-50.0, 900.0);
    for (int i = 0; i < 300; ++i) {
        const bool sag = i % 2 == 0;
        const double g1 = (sag ? -1 : 1) * gD(rng), g2 = (sag ? 1 : -1) * gD(rng), r = rD(rng);
        const double ch0 = chD(rng), h0 = hD(rng);
        const CAlntVeArc a = arcAt(ch0, h0, g1, g2, r);
        // Textbook: with g = g1 / 100 (the tangent of the start direction) and rs the signed
        // radius, the zero-grade point lies rs g / sqrt(1 + g^2) back along the chainage and
        // rs (1 - 1 / sqrt(1 + g^2)) below the start.
        const double rs = sag ? r : -r;
        const double g = g1 / 100.0, k = std::sqrt(1.0 + g * g);
        const double xStar = ch0 - rs * g / k;
        const double hStar = h0 - rs * (1.0 - 1.0 / k);
        const std::string what = "case " + std::to_string(i);
        EXPECT_NEAR(xStar, a.getCenterStaAndHt().north, 1e-8) << what;
        double h, hl, hr;
        ASSERT_EQ(a.getHtAtLen(xStar - ch0, h), veHtOk) << what;
        EXPECT_NEAR(h, hStar, 1e-8) << what;
        const double d = 0.05;
        ASSERT_EQ(a.getHtAtLen(xStar - ch0 - d, hl), veHtOk) << what;
        ASSERT_EQ(a.getHtAtLen(xStar - ch0 + d, hr), veHtOk) << what;
        EXPECT_NEAR((hr - hl) / (2 * d), 0.0, 1e-9) << what << ": grade at the extreme";
        if (sag) {
            EXPECT_GT(hl, h) << what;
            EXPECT_GT(hr, h) << what;
        } else {
            EXPECT_LT(hl, h) << what;
            EXPECT_LT(hr, h) << what;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// CAlntVeLsWithArc

TEST(CAlntVeLsWithArc, RadiusZeroIsAGradeLineToTheVip)
{
    const CVerticalElement prev(10.0, -50.0, 50.0, 0.0);   // ends at (0, 10)
    const CVerticalLSElement next(CLsInfo(200.0, 10.0, 0.0));
    CAlntVeLsWithArc e(100.0, 12.0, 0.0);
    ASSERT_TRUE(e.onNeighbourUpdate(&prev, &next));
    ASSERT_TRUE(e.isok());
    EXPECT_EQ(e.getType(), veLsArc);
    EXPECT_EQ(e.getFinalChain(), 100.0);
    EXPECT_EQ(e.getFinalHt(), 12.0);
    EXPECT_EQ(e.getLen(), 100.0);
    EXPECT_TRUE(nearUlps(e.getStartGrade(), 2.0));
    EXPECT_TRUE(nearUlps(e.getEndGrade(), 2.0));
    checkHeights(e, {{50.0, veHtOk, 11.0, "middle"}, {100.0005, veHtOk, 12.0, "snapped end"}});
    CLsInfo info;
    ASSERT_TRUE(e.getAsLs(info));
    EXPECT_EQ(info.chainage, 100.0);
    EXPECT_EQ(info.curveLen, 0.0);
}

TEST(CAlntVeLsWithArc, ArcTangentToBothGradesThroughTheVip)
{
    const CVerticalElement prev(10.0, -50.0, 50.0, 0.0);   // ends at (0, 10)
    const CVerticalLSElement next(CLsInfo(200.0, 10.0, 0.0));
    CAlntVeLsWithArc e(100.0, 12.0, 2000.0);
    ASSERT_TRUE(e.onNeighbourUpdate(&prev, &next));
    ASSERT_TRUE(e.isok());
    const CAlntVeArc& arc = e.getArc();
    EXPECT_EQ(arc.getRadius(), -2000.0) << "+2 % to -2 %: a crest";
    CLsInfo ip;
    ASSERT_TRUE(e.getAsLs(ip));
    EXPECT_NEAR(ip.chainage, 100.0, 1e-9);
    EXPECT_NEAR(ip.height, 12.0, 1e-9);
    EXPECT_EQ(ip.radius, -2000.0);
    // Horizontal length 2 R sin(atan 0.02), symmetric about the VIP.
    const double half = 2000.0 * std::sin(std::atan(0.02));
    EXPECT_NEAR(arc.getLen(), 2 * half, 1e-9);
    EXPECT_NEAR(e.getStartSegment().getLen(), 100.0 - half, 1e-9);
    EXPECT_NEAR(e.getFinalChain(), 100.0 + half, 1e-9);
    EXPECT_NEAR(e.getFinalHt(), 12.0 - 0.02 * half, 1e-9);
    EXPECT_NEAR(e.getEndGrade(), -2.0, 1e-9);
    // The straight meets the arc without a step.
    double hs, ha;
    ASSERT_EQ(e.getStartSegment().getHtAtLen(e.getStartSegment().getLen(), hs), veHtOk);
    ASSERT_EQ(arc.getHtAtLen(0.0, ha), veHtOk);
    EXPECT_NEAR(hs, ha, 1e-9);
    // The curve steps: into the arc from its start, never past the element's end.
    const double arcStart = e.getStartSegment().getFinalChain();
    EXPECT_NEAR(e.getStepForDeviation(10.0, 0.01), arcStart - 10.0, 1e-9);
    EXPECT_NEAR(e.getStepForDeviation(arcStart - 0.0005, 0.01),
                arc.getStepForDeviation(arcStart, 0.01) + 0.0005, 1e-12);
    EXPECT_EQ(e.getStepForDeviation(e.getFinalChain() + 0.01, 0.01), 0.0);
}

TEST(CAlntVeLsWithArc, NotReadyAndFirstElement)
{
    CAlntVeLsWithArc fresh;
    double ht = 1.0;
    CLsInfo info;
    EXPECT_FALSE(fresh.isok());
    EXPECT_EQ(fresh.getHtAtLen(0.0, ht), veHtBeyondEnd);
    EXPECT_FALSE(fresh.getAsLs(info));
    EXPECT_EQ(fresh.getStepForDeviation(0.0, 0.01), 0.0);

    // No predecessor and the start on the VIP: a point even with a radius.
    CAlntVeLsWithArc first(100.0, 12.0, 2000.0);
    const CVerticalLSElement next(CLsInfo(200.0, 10.0, 0.0));
    first.setStartHtAndChain(12.0, 100.0);
    ASSERT_TRUE(first.onNeighbourUpdate(nullptr, &next));
    EXPECT_TRUE(first.getArc().isSimplePoint());
    EXPECT_EQ(first.getLen(), 0.0);
    EXPECT_EQ(first.getFinalChain(), 100.0);
    EXPECT_EQ(first.getFinalHt(), 12.0);
}
