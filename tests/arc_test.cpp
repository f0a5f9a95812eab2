// CArc: every constructor form, the half-circle sign rule, tangent and middle point.
#include "cogo/arc.h"
#include "numeric/units.h"

#include "testUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

CMathAngle rad(double r) { CMathAngle a; a.setRad(r); return a; }

// The point at azimuth `az` (radians) and distance r from c.
C2dPos polar(const C2dPos& c, double r, double az) { return C2dPos{c.north + r * std::cos(az), c.east + r * std::sin(az)}; }

::testing::AssertionResult samePos(const C2dPos& a, const C2dPos& b, double tol)
{
    if (std::fabs(a.north - b.north) <= tol && std::fabs(a.east - b.east) <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.north << ", " << a.east << ") vs (" << b.north << ", " << b.east << ")";
}

// Half circles: the stored angle always agrees with the flag, whichever way setAngle returned
// +-pi; only half circles are flipped.
TEST(ArcHalfCircle, SignFollowsFlag)
{
    struct Case { C2dPos start, finish; double given; bool clockwise; double expected; const char* reason; };
    const Case cases[] = {
        {{10, 0}, {-10, 0}, 0, true, kPi, "north to south, setAngle gives +pi, clockwise"},
        {{10, 0}, {-10, 0}, 0, false, -kPi, "north to south, counter-clockwise"},
        {{0, 10}, {0, -10}, 0, true, kPi, "east to west, setAngle gives -pi, clockwise"},
        {{0, 10}, {0, -10}, 0, false, -kPi, "east to west, counter-clockwise"},
        {{0, 10}, {}, -kPi, true, kPi, "given -pi, clockwise"},
        {{0, 10}, {}, kPi - 1e-13, false, -kPi + 1e-13, "within 1e-12 of a half circle counts as one"},
        {{0, 10}, {}, -kHalfPi, true, -kHalfPi, "a 270-degree clockwise arc keeps its short angle"},
    };
    for (const Case& k : cases) {
        CArc arc;
        if (k.given == 0)
            ASSERT_TRUE(arc.set_start_center_finish(k.start, {0, 0}, k.finish, k.clockwise)) << k.reason;
        else
            arc.set_start_center_cAngle(k.start, {0, 0}, rad(k.given), k.clockwise);
        EXPECT_NEAR(arc.cAngle.getRad(), k.expected, 1e-15) << k.reason;
        EXPECT_EQ(arc.clockwise, k.clockwise) << k.reason;
    }
}

TEST(ArcMiddleAndTangent, Table)
{
    struct Case { double cAngle; bool clockwise; C2dPos middle; double tangent; const char* reason; };
    const double h = 7.0710678118654755;  // 10 / sqrt(2)
    const Case cases[] = {
        // Written as (east, north) the quarter circle from (0, 10) around (0, 0) has its middle at
        // (7.0710678, 7.0710678); this system holds (north, east): the start lies due east of the
        // centre, a clockwise quarter turns south, and the middle is (-7.0710678, 7.0710678).
        {kHalfPi, true, {-h, h}, kPi, "clockwise quarter from due east: heads south"},
        {-kHalfPi, false, {h, h}, 0.0, "counter-clockwise quarter from due east: heads north"},
        {-kHalfPi, true, {-h, -h}, kPi, "clockwise three quarters: the long way, south-west"},
        {kHalfPi, false, {h, -h}, 0.0, "counter-clockwise three quarters: north-west"},
        {kPi, true, {-10, 0}, kPi, "clockwise half circle: due south"},
        {0.0, true, {0, -10}, kPi, "zero angle flagged clockwise: a full turn, middle opposite"},
    };
    for (const Case& k : cases) {
        CArc arc;
        arc.set_start_center_cAngle({0, 10}, {0, 0}, rad(k.cAngle), k.clockwise);
        C2dPos m;
        CMathAngle t;
        arc.get_middle_pos_on_the_arc(m);
        arc.get_start_tgdir(t);
        EXPECT_TRUE(samePos(m, k.middle, 1e-12)) << k.reason;
        EXPECT_NEAR(std::fabs(t.getRad()), k.tangent, 1e-15) << k.reason;
    }
    CArc arc;
    CMathAngle t;
    arc.set_start_center_cAngle({1, 1}, {1, 1}, rad(1.0), true);
    arc.get_start_tgdir(t);
    EXPECT_TRUE(t.isnan()) << "centre on the start: no tangent";
    arc.set_r_start_center_finish(10, CMathAngle(90.0), {5, 5}, CMathAngle(180.0), true);
    EXPECT_TRUE(samePos(arc.start, {5, 15}, 1e-12) && nearUlps(arc.cAngle.getRad(), kHalfPi, 2) && arc.getRadius() == 10.0);
    arc.set_r_start_center_finish(10, CMathAngle(170.0), {0, 0}, CMathAngle(-170.0), true);
    EXPECT_NEAR(arc.cAngle.getDeg(), 20.0, 1e-12) << "across the +-180 seam";
}

TEST(ArcFailures, OutputsUntouched)
{
    struct Case { bool (*build)(CArc&); const char* reason; };
    const Case cases[] = {
        {[](CArc& a) { return a.set_start_center_finish({1, 1}, {1, 1}, {5, 5}, true); }, "centre on the start"},
        {[](CArc& a) { return a.set_start_center_finish({1, 1}, {5, 5}, {5, 5}, true); }, "centre on the finish"},
        {[](CArc& a) { return a.set_start_finish_startTgDir({0, 0}, {10, 0}, CMathAngle(0.0)); }, "start tangent along the chord"},
        {[](CArc& a) { return a.set_start_finish_finishTgDir({0, 0}, {10, 0}, CMathAngle(180.0)); }, "finish tangent along the chord"},
        {[](CArc& a) { return a.set_start_finish_startTgDir({3, 3}, {3, 3}, CMathAngle(0.0)); }, "start and finish coincide"},
        {[](CArc& a) { return a.set_start_finish_plusPos({0, 0}, {10, 10}, {5, 5}); }, "three points on a line"},
        {[](CArc& a) { return a.set_start_finish_plusPos({0, 0}, {10, 10}, {0, 0}); }, "point on the arc on the start"},
    };
    for (const Case& k : cases) {
        CArc arc;
        arc.set_start_center_cAngle({7, 8}, {9, 10}, rad(0.5), true);
        EXPECT_FALSE(k.build(arc)) << k.reason;
        EXPECT_TRUE(samePos(arc.start, {7, 8}, 0) && samePos(arc.centre, {9, 10}, 0) && arc.cAngle.getRad() == 0.5) << k.reason;
    }
}

TEST(ArcTangentForms, Table)
{
    struct Case { bool startTangent; double tangentDeg; bool clockwise; C2dPos centre; const char* reason; };
    // Chord from (0, 0) to (0, 10) (due east).
    const Case cases[] = {
        {true, 0.0, true, {0, 5}, "start heading north, turning right: half circle"},
        {true, 45.0, true, {-5, 5}, "start heading north-east, turning right: quarter"},
        {true, 135.0, false, {5, 5}, "start heading south-east, turning left: quarter"},
        {false, 135.0, true, {-5, 5}, "finish heading south-east, turning right"},
        {false, 45.0, false, {5, 5}, "finish heading north-east, turning left"},
    };
    for (const Case& k : cases) {
        CArc arc;
        const CMathAngle t(k.tangentDeg);
        ASSERT_TRUE(k.startTangent ? arc.set_start_finish_startTgDir({0, 0}, {0, 10}, t)
                                   : arc.set_start_finish_finishTgDir({0, 0}, {0, 10}, t)) << k.reason;
        EXPECT_TRUE(arc.clockwise == k.clockwise && samePos(arc.centre, k.centre, 1e-12)) << k.reason;
    }
}

// Random arcs through three points; each other constructor, fed with that arc's own givens,
// builds the same arc: centre, radius and central angle within 1e-9, the same turning side.
TEST(ArcForms, AgreeOnRandomArcs)
{
    std::mt19937 rng(2016);
    std::uniform_real_distribution<double> coord(-500, 500), logR(0, 3), az(-kPi, kPi), sweep(0.1, kPi - 0.1), frac(0.2, 0.8), coin(0, 1);
    for (int k = 0; k < 1000; ++k) {
        const C2dPos c{coord(rng), coord(rng)};
        const double r = std::pow(10.0, logR(rng)), a0 = az(rng);
        // Total sweep in (0.1, pi - 0.1) or (pi + 0.1, 2pi - 0.1), either way round.
        const double total = (sweep(rng) + (coin(rng) < 0.5 ? 0.0 : kPi)) * (coin(rng) < 0.5 ? -1.0 : 1.0);
        const bool cw = total > 0;
        const C2dPos s = polar(c, r, a0), f = polar(c, r, a0 + total), m = polar(c, r, a0 + total * frac(rng));
        CArc ref;
        ASSERT_TRUE(ref.set_start_finish_plusPos(s, f, m)) << "case " << k;
        ASSERT_TRUE(samePos(ref.centre, c, 1e-9 * r) && ref.clockwise == cw) << "case " << k;
        ASSERT_NEAR(ref.cAngle.getRad(), rad(total).getRad(), 1e-9) << "case " << k;

        CMathAngle startAz, finishAz, startTg, finishTg;
        startAz.setAz(ref.centre, s);
        finishAz.setAz(ref.centre, f);
        ref.get_start_tgdir(startTg);
        finishTg = finishAz;
        finishTg += rad(cw ? kHalfPi : -kHalfPi);
        C2dPos middle;
        ref.get_middle_pos_on_the_arc(middle);
        CArc forms[6];
        forms[0].set_start_center_cAngle(s, ref.centre, ref.cAngle, cw);
        forms[1].set_r_start_center_finish(ref.getRadius(), startAz, ref.centre, finishAz, cw);
        ASSERT_TRUE(forms[2].set_start_center_finish(s, ref.centre, f, cw)) << "case " << k;
        ASSERT_TRUE(forms[3].set_start_finish_startTgDir(s, f, startTg)) << "case " << k;
        ASSERT_TRUE(forms[4].set_start_finish_finishTgDir(s, f, finishTg)) << "case " << k;
        ASSERT_TRUE(forms[5].set_start_finish_plusPos(s, f, middle)) << "case " << k;
        for (int i = 0; i < 6; ++i) {
            ASSERT_TRUE(samePos(forms[i].centre, ref.centre, 1e-9) && forms[i].clockwise == cw) << "case " << k << " form " << i;
            ASSERT_NEAR(forms[i].getRadius(), ref.getRadius(), 1e-9) << "case " << k << " form " << i;
            ASSERT_NEAR(forms[i].cAngle.getRad(), ref.cAngle.getRad(), 1e-9) << "case " << k << " form " << i;
        }
    }
}

} // namespace
