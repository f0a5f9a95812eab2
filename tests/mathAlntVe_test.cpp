// Vertical elements: grade lines, parabolas, VIP elements, circular arcs.
#include "vrkmath/mathAlntVe.h"
#include "vrkmath/mathAlntVeArc.h"

#include "testUtil.h"

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

// One height query: length into the element, expected code, expected height (ht unused
// unless the code is veHtOk), and why the case is there.
struct HtCase { double len; errCodes code; double ht; const char* reason; };

// Heights compared within `ulps`, or within `tol` metres when tol > 0 (the arc's height is the
// centre height less a root of nearly the radius, which loses about 1e-13 m to cancellation).
void checkHeights(const CAlntVe& e, const std::vector<HtCase>& cases, int ulps = 2, double tol = 0.0)
{
    for (const HtCase& c : cases) {
        double ht = -12345.0;
        EXPECT_EQ(e.getHtAtLen(c.len, ht), c.code) << c.reason;
        if (c.code != veHtOk)
            EXPECT_EQ(ht, -12345.0) << c.reason << ": height written on failure";
        else
            EXPECT_TRUE(tol > 0.0 ? std::fabs(ht - c.ht) <= tol : nearUlps(ht, c.ht, ulps)) << c.reason << ": " << ht;
    }
}

// A value against its expectation within a tolerance, with the reason.
struct Value { double got, expected, tol; const char* reason; };
void checkValues(const std::vector<Value>& values)
{
    for (const Value& v : values)
        EXPECT_NEAR(v.got, v.expected, v.tol) << v.reason;
}

CAlntVeArc arcAt(double chainage, double height, double g1, double g2, double r)
{ CAlntVeArc a; a.setStartHtAndChain(height, chainage); a.setGradesAndR(g1, g2, r); return a; }

CVerticalLSElement lsElement(const CLsInfo& curr, const CLsInfo& next, double startCh, double startHt)
{ CVerticalLSElement e(curr); e.setNextLSElement(next); e.setStartHtAndChain(startHt, startCh); return e; }

} // namespace

TEST(CLsInfo, Compatibility)
{
    const CLsInfo a(100.0, 12.0, 40.0);   // the three-value form: curve 80 ... 120
    ASSERT_EQ(a.curveStart, 80.0);
    struct Case { CLsInfo later; bool ok; const char* reason; };
    const Case cases[] = {
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

TEST(CVerticalElement, GradeLineAndParabolaHeightsAndSnapping)
{
    const CVerticalElement line(10.0, 0.0, 100.0, 2.0);
    EXPECT_EQ(line.getType(), veGradeLine);
    checkHeights(line, {
        {50.0, veHtOk, 11.0, "middle"}, {0.0, veHtOk, 10.0, "start"},
        {-5e-13, veHtOk, 10.0, "within the zero tolerance before the start"},
        {-0.0001, veHtBeforeStart, 0.0, "0.0001 before the start: no snapping there"},
        {100.0009, veHtOk, 12.0, "0.0009 beyond the end snaps onto it"},
        {99.9991, veHtOk, 12.0, "0.0009 before the end snaps onto it"},
        {100.002, veHtBeyondEnd, 0.0, "0.002 beyond the end"},
    });
    EXPECT_TRUE(nearUlps(line.getFinalHt(), 12.0, 0) && line.getFinalChain() == 100.0);

    const CVerticalElement e(0.0, 0.0, 100.0, 2.0, -2.0);
    EXPECT_EQ(e.getType(), veParabola);
    EXPECT_TRUE(nearUlps(e.getParabolaCoefficientA(), -0.0002) && nearUlps(e.getParabolaCoefficientB(), 0.02) &&
                e.getParabolaCoefficientC() == 0.0 && nearUlps(e.getParabolaCoefficientKv(), -2500.0) &&
                nearUlps(e.getParabolaCoefficientDs(), 0.04));
    checkHeights(e, {
        {50.0, veHtOk, 0.5, "the crest of the symmetric parabola"}, {25.0, veHtOk, 0.375, "quarter length"},
        {100.0009, veHtOk, e.getFinalHt(), "snapped onto the end"}, {100.002, veHtBeyondEnd, 0.0, "beyond"},
    });
    EXPECT_NEAR(e.getFinalHt(), 0.0, 1e-15);

    const double s = 2.0 * std::sqrt(0.01 / 0.0002);   // 14.142...
    checkValues({
        {e.getStepForDeviation(0.0, 0.01), s, 1e-12, "from the start: the chord whose sagitta is the deviation"},
        {e.getStepForDeviation(90.0, 0.01), 10.0, 1e-12, "10 m left: the remainder"},
        {e.getStepForDeviation(100.0 - s - 0.0005, 0.01), s + 0.0005, 1e-12,
         "remainder within 0.001 of the step: the remainder"},
        {e.getStepForDeviation(100.0 - s - 0.002, 0.01), s, 1e-12, "remainder 0.002 longer than the step"},
        {e.getStepForDeviation(100.0005, 0.01), 0.0, 1e-12, "snapped onto the end: nothing left"},
        {e.getStepForDeviation(100.002, 0.01), 0.0, 1e-12, "beyond the end"},
        {e.getStepForDeviation(-0.0001, 0.01), 0.0, 1e-12, "before the start"},
        {line.getStepForDeviation(30.0, 0.01), 70.0, 0.0, "a grade line needs no inner vertex"},
    });
}

TEST(CVerticalElement, SetStraightThroughTwoPoints)
{
    CVerticalElement e;
    e.setStraight(10.0, 5.0, 20.0, 6.0);
    double ch = 0;
    EXPECT_TRUE(e.getLen() == 10.0 && nearUlps(e.getStartGrade(), 10.0) && e.getStartGrade() == e.getEndGrade());
    EXPECT_TRUE(e.getStartHt() == 5.0 && e.getStartChainageInM(ch) && ch == 10.0);
    for (double ch2 : {10.0, 9.0, 10.0 + 5e-13}) {
        e.setStraight(10.0, 5.0, ch2, 7.0);
        EXPECT_TRUE(e.getLen() == 0.0 && e.getStartGrade() == 0.0 && e.getEndGrade() == 0.0) << ch2;
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

// VIP (100, 12) with a 40 m curve, entered from (0, 10) and left towards (200, 10): grades +2 %
// and -2 %.
TEST(CVerticalLSElement, StraightThenParabola)
{
    const CVerticalLSElement e = lsElement(CLsInfo(100.0, 12.0, 40.0), CLsInfo(200.0, 10.0, 0.0), 0.0, 10.0);
    ASSERT_TRUE(e.isok());
    EXPECT_EQ(e.getType(), veLsParabola);
    ASSERT_NE(e.getParabole(), nullptr);
    EXPECT_TRUE(e.getStartSegment().getLen() == 80.0 && e.getParabole()->getLen() == 40.0 && e.getLen() == 120.0 &&
                e.getFinalChain() == 120.0);
    EXPECT_TRUE(nearUlps(e.getStartGrade(), 2.0) && nearUlps(e.getEndGrade(), -2.0));
    EXPECT_NEAR(e.getFinalHt(), 11.6, 1e-12);
    checkHeights(e, {
        {50.0, veHtOk, 11.0, "on the straight"},
        {100.0, veHtOk, 11.8, "at the VIP: its height less the mid-ordinate 0.2"},
        {120.0005, veHtOk, e.getFinalHt(), "snapped onto the end"},
        {120.002, veHtBeyondEnd, 0.0, "beyond"}, {-0.001, veHtBeforeStart, 0.0, "before"},
    }, 8);
    // Steps: on the straight up to its end; near the straight's end from there into the curve.
    checkValues({
        {e.getStepForDeviation(50.0, 0.01), 30.0, 1e-12, "on the straight"},
        {e.getStepForDeviation(79.9995, 0.01), 2.0 * std::sqrt(0.01 / 0.0005) + 0.0005, 1e-12, "into the curve"},
        {e.getStepForDeviation(115.0, 0.01), 5.0, 1e-12, "the remainder"},
        {e.getStepForDeviation(121.0, 0.01), 0.0, 0.0, "beyond"},
    });
    // Without a next VIP the element ends at its VIP, without curve.
    CVerticalLSElement alone(CLsInfo(100.0, 12.0, 40.0));
    alone.setStartHtAndChain(10.0, 0.0);
    ASSERT_TRUE(alone.isok());
    EXPECT_TRUE(alone.getParabole() == nullptr && alone.getLen() == 100.0 && alone.getFinalHt() == 12.0);
}

// Elements that are not ready: fresh ones, and VIP elements that cannot be built. None is ok or
// answers a height (nor writes one); the VIP elements answer no step (a fresh arc's step is not
// defined).
TEST(CVerticalLSElement, NotReadyStates)
{
    const CVerticalLSElement fresh;
    const CAlntVeLsWithArc freshArcVip;
    const CAlntVeArc freshArc;
    double ch = 5.0;
    CLsInfo info;
    EXPECT_FALSE(fresh.getStartChainageInM(ch) || fresh.getAsLs(info) || freshArcVip.getAsLs(info));
    EXPECT_EQ(ch, 0.0);
    const CLsInfo vip(100, 12, 40), next(200, 10, 0);
    struct Case { const CAlntVe& e; double startCh; const char* reason; };
    const Case cases[] = {
        {fresh, 0, "a fresh VIP element"}, {freshArcVip, 0, "a fresh VIP element with arc"},
        {freshArc, 0, "an arc without start"},
        {lsElement(CLsInfo(100, 12, 0), CLsInfo(100, 10, 20), 0, 10), 0, "next VIP at the same chainage has a curve"},
        {lsElement(vip, CLsInfo(100, 10, 0), 0, 10), 0, "a curve at a VIP its neighbour shares"},
        {lsElement(vip, CLsInfo(110, 10, 40), 0, 10), 0, "overlapping curves"},
        {lsElement(vip, next, 100, 12), 100, "a first VIP with a curve"},
        {lsElement(vip, next, 90, 12), 90, "start inside the curve"},
    };
    for (const Case& c : cases) {
        double ht = 7.0;
        EXPECT_FALSE(c.e.isok()) << c.reason;
        EXPECT_EQ(c.e.getHtAtLen(0.0, ht), veHtBeyondEnd) << c.reason;
        EXPECT_EQ(ht, 7.0) << c.reason;
        EXPECT_EQ(c.e.getStepForDeviation(c.startCh, 0.01), 0.0) << c.reason << " (a fresh arc once answered NaN here)";
    }
}

// ---------------------------------------------------------------------------------------------
// CAlntVeArc

TEST(CAlntVeArc, RadiusTakesItsSignFromTheGrades)
{
    struct Case { double g1, g2, r, stored; const char* reason; };
    const Case cases[] = {
        {2, -2, 500, -500, "falling grades: crest"}, {-2, 2, -500, 500, "rising grades: sag"},
        {2, 2, 500, 0, "equal grades: a point"}, {1, 1 + 1e-13, 500, 500, "rising by 1e-13 is still a sag"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(arcAt(0, 0, c.g1, c.g2, c.r).getRadius(), c.stored) << c.reason;
    const CAlntVeArc point = arcAt(10, 5, 2, 2, 500);
    EXPECT_TRUE(point.isSimplePoint() && point.getArcLength() == 0.0 && point.getLen() == 0.0 && point.getFinalHt() == 5.0);
}

TEST(CAlntVeArc, SagExampleAndSnapping)
{
    const CAlntVeArc a = arcAt(0.0, 0.0, -2.0, 2.0, 1000.0);
    ASSERT_TRUE(a.isok());
    EXPECT_TRUE(a.getType() == veArc && a.isConvexDownwards());
    double low;
    CLsInfo ip;
    ASSERT_EQ(a.getHtAtLen(a.getCenterStaAndHt().north, low), veHtOk);
    ASSERT_TRUE(a.getAsLs(ip));
    // The printed figures are rounded to their last digit. The tangents meet at half the
    // horizontal length, 2 % of it below the start.
    checkValues({
        {a.getArcLength(), 39.9947, 5e-5, "arc length"},
        {a.getCenterStaAndHt().north, 19.9960, 5e-5, "centre chainage"},
        {a.getCenterStaAndHt().east, 999.8001, 5e-5, "centre height"}, {a.getLen(), 39.9920, 5e-5, "horizontal length"},
        {a.getFinalHt(), 0.0, 1e-12, "end height"}, {a.getEndGrade(), 2.0, 1e-12, "end grade"},
        {low, -0.19994, 5e-6, "the lowest point"}, {ip.chainage, a.getLen() / 2, 1e-9, "tangents' crossing: chainage"},
        {ip.height, -0.02 * a.getLen() / 2, 1e-9, "tangents' crossing: height"},
    });
    EXPECT_TRUE(nearUlps(a.getStartGrade(), -2.0, 4));
    EXPECT_TRUE(ip.curveLen == a.getLen() && ip.curveStart == 0.0 && ip.radius == 1000.0);

    const CAlntVeArc b = arcAt(50.0, 3.0, -2.0, 2.0, 1000.0);
    double end;
    ASSERT_EQ(b.getHtAtLen(b.getLen(), end), veHtOk);
    checkHeights(b, {
        {-0.0005, veHtOk, 3.0, "0.0005 before the start snaps onto it"},
        {b.getLen() + 0.0005, veHtOk, end, "0.0005 beyond the end snaps onto it"},
        {-0.002, veHtBeforeStart, 0.0, "before (logs an assertion report)"},
        {b.getLen() + 0.002, veHtBeyondEnd, 0.0, "beyond (logs an assertion report)"},
    }, 0, 1e-12);
}

// A crest is the mirror image of a sag; the point after a step is the start point turned
// about the centre by the chord angle, and a crest, turning the other way, still steps forwards.
TEST(CAlntVeArc, CrestMirrorsTheSagAndStepsForDeviation)
{
    const CAlntVeArc sag = arcAt(0.0, 0.0, -3.0, 1.5, 2500.0), crest = arcAt(0.0, 0.0, 3.0, -1.5, 2500.0);
    ASSERT_EQ(sag.getLen(), crest.getLen());
    for (int i = 0; i <= 20; ++i) {
        double hs, hc;
        ASSERT_TRUE(sag.getHtAtLen(sag.getLen() * i / 20, hs) == veHtOk && crest.getHtAtLen(sag.getLen() * i / 20, hc) == veHtOk);
        EXPECT_NEAR(hs, -hc, 1e-12) << i;
    }
    EXPECT_NEAR(sag.getEndGrade(), -crest.getEndGrade(), 1e-12);

    // Deviation 20 is capped to the radius, whose chord angle pi is capped to pi/16.
    const CAlntVeArc a = arcAt(0.0, 0.0, -50.0, 50.0, 10.0), big = arcAt(0.0, 0.0, -2.0, 2.0, 1000.0);
    const double a0 = std::atan(-0.5) - kPi / 2, b0 = std::atan(-0.02) - kPi / 2;   // start seen from the centre
    const double theta = 2.0 * std::acos(1.0 - 0.01 / 1000.0);
    checkValues({
        {a.getStepForDeviation(0.0, 20.0), 10.0 * (std::cos(a0 + kPi / 16) - std::cos(a0)), 1e-12, "capped"},
        {big.getStepForDeviation(0.0, 0.01), 1000.0 * (std::cos(b0 + theta) - std::cos(b0)), 1e-9, "R 1000"},
        {big.getStepForDeviation(big.getLen() - 1.0, 0.01), 1.0, 1e-12, "the remainder"},
        {big.getStepForDeviation(big.getLen() + 0.002, 0.01), 0.0, 0.0, "beyond"},
        {big.getStepForDeviation(10.0, 0.0), 0.0, 0.0, "deviation not positive"},
        {arcAt(0.0, 0.0, 2.0, -2.0, 1000.0).getStepForDeviation(0.0, 0.01), big.getStepForDeviation(0.0, 0.01), 1e-12,
         "a crest"},
    });
}

// The lowest point of a sag and the highest of a crest lie where the grade is zero: straight
// below (above) the centre, at a height of centre -/+ |R|; heights on both sides are higher
// (lower) and symmetric about it.
TEST(CAlntVeArc, ExtremeLiesWhereTheGradeIsZero)
{
    std::mt19937 rng(1811);
    std::uniform_real_distribution<double> gD(0.2, 8.0), rD(300.0, 20000.0), chD(-500.0, 5000.0), hD(-50.0, 900.0);
    for (int i = 0; i < 300; ++i) {
        const bool sag = i % 2 == 0;
        const double g1 = (sag ? -1 : 1) * gD(rng), g2 = (sag ? 1 : -1) * gD(rng), r = rD(rng);
        const double ch0 = chD(rng), h0 = hD(rng);
        const CAlntVeArc a = arcAt(ch0, h0, g1, g2, r);
        // Textbook: with g = g1 / 100 (the tangent of the start direction) and rs the signed
        // radius, the zero-grade point lies rs g / sqrt(1 + g^2) back along the chainage and
        // rs (1 - 1 / sqrt(1 + g^2)) below the start.
        const double rs = sag ? r : -r, g = g1 / 100.0, k = std::sqrt(1.0 + g * g);
        const double xStar = ch0 - rs * g / k, hStar = h0 - rs * (1.0 - 1.0 / k), d = 0.05;
        const std::string what = "case " + std::to_string(i);
        EXPECT_NEAR(xStar, a.getCenterStaAndHt().north, 1e-8) << what;
        double h, hl, hr;
        ASSERT_TRUE(a.getHtAtLen(xStar - ch0, h) == veHtOk && a.getHtAtLen(xStar - ch0 - d, hl) == veHtOk &&
                    a.getHtAtLen(xStar - ch0 + d, hr) == veHtOk) << what;
        EXPECT_NEAR(h, hStar, 1e-8) << what;
        EXPECT_NEAR((hr - hl) / (2 * d), 0.0, 1e-9) << what << ": grade at the extreme";
        EXPECT_TRUE(sag ? hl > h && hr > h : hl < h && hr < h) << what;
    }
}

// ---------------------------------------------------------------------------------------------
// CAlntVeLsWithArc

// Between a grade line ending at (0, 10) and the VIP (200, 10), the VIP (100, 12) with radius 0
// is a grade line to the VIP, with radius 2000 an arc tangent to both grades (+2 % to -2 %: a
// crest) whose tangents cross on the VIP: horizontal length 2 R sin(atan 0.02), symmetric
// about the VIP.
TEST(CAlntVeLsWithArc, GradeLineOrArcThroughTheVip)
{
    const CVerticalElement prev(10.0, -50.0, 50.0, 0.0);
    const CVerticalLSElement next(CLsInfo(200.0, 10.0, 0.0));
    CAlntVeLsWithArc line(100.0, 12.0, 0.0), e(100.0, 12.0, 2000.0);
    ASSERT_TRUE(line.onNeighbourUpdate(&prev, &next) && line.isok());
    EXPECT_TRUE(line.getType() == veLsArc && line.getFinalChain() == 100.0 && line.getFinalHt() == 12.0 &&
                line.getLen() == 100.0);
    EXPECT_TRUE(nearUlps(line.getStartGrade(), 2.0) && nearUlps(line.getEndGrade(), 2.0));
    checkHeights(line, {{50.0, veHtOk, 11.0, "middle"}, {100.0005, veHtOk, 12.0, "snapped end"}});
    CLsInfo info;
    EXPECT_TRUE(line.getAsLs(info) && info.chainage == 100.0 && info.curveLen == 0.0);

    ASSERT_TRUE(e.onNeighbourUpdate(&prev, &next) && e.isok());
    const CAlntVeArc& arc = e.getArc();
    EXPECT_EQ(arc.getRadius(), -2000.0);
    ASSERT_TRUE(e.getAsLs(info));
    EXPECT_EQ(info.radius, -2000.0);
    double hs, ha;
    ASSERT_TRUE(e.getStartSegment().getHtAtLen(e.getStartSegment().getLen(), hs) == veHtOk && arc.getHtAtLen(0.0, ha) == veHtOk);
    const double half = 2000.0 * std::sin(std::atan(0.02)), arcStart = e.getStartSegment().getFinalChain();
    checkValues({
        {info.chainage, 100.0, 1e-9, "VIP chainage"}, {info.height, 12.0, 1e-9, "VIP height"},
        {arc.getLen(), 2 * half, 1e-9, "arc length"},
        {e.getStartSegment().getLen(), 100.0 - half, 1e-9, "straight length"},
        {e.getFinalChain(), 100.0 + half, 1e-9, "end chainage"},
        {e.getFinalHt(), 12.0 - 0.02 * half, 1e-9, "end height"}, {e.getEndGrade(), -2.0, 1e-9, "end grade"},
        {hs, ha, 1e-9, "the straight meets the arc without a step"},
        {e.getStepForDeviation(10.0, 0.01), arcStart - 10.0, 1e-9, "step to the arc's start"},
        {e.getStepForDeviation(arcStart - 0.0005, 0.01), arc.getStepForDeviation(arcStart, 0.01) + 0.0005, 1e-12,
         "step into the arc from its start"},
        {e.getStepForDeviation(e.getFinalChain() + 0.01, 0.01), 0.0, 0.0, "never past the element's end"},
    });
    // No predecessor and the start on the VIP: a point even with a radius.
    CAlntVeLsWithArc first(100.0, 12.0, 2000.0);
    first.setStartHtAndChain(12.0, 100.0);
    ASSERT_TRUE(first.onNeighbourUpdate(nullptr, &next));
    EXPECT_TRUE(first.getArc().isSimplePoint() && first.getLen() == 0.0 && first.getFinalChain() == 100.0 &&
                first.getFinalHt() == 12.0);
}
