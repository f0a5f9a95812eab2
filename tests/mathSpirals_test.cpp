// Clothoid spirals: the simple spiral, spirals into and out of a curve, compound spirals, and
// the start azimuth of an element between two points. Positions are checked against an
// independent quadrature of the clothoid.
#include "curveTestSupport.h"
#include "testUtil.h"

#include "vrkmath/mathSpirals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace curvetest;

namespace {

C2dPos pos(const CCurveDataSpiral& s, double l) { return at(placedView(s), l); }

// Signed curvature (1/m, right positive) of the circle through the points at l, l + h, l + 2h.
double chordCurvature(const CCurveDataSpiral& s, double l, double h)
{
    const C2dPos a = pos(s, l), b = pos(s, l + h), c = pos(s, l + 2.0 * h);
    const double cross = (b.north - a.north) * (c.east - b.east) - (b.east - a.east) * (c.north - b.north);
    return 2.0 * cross / (std::hypot(b.north - a.north, b.east - a.east) * std::hypot(c.north - b.north, c.east - b.east) *
                          std::hypot(c.north - a.north, c.east - a.east));
}

} // namespace

// ---- Edge cases ------------------------------------------------------------------------------

TEST(Spiral, EndPointsOfTheHundredMetreSpirals)
{
    struct Case { CCurveDataSpiral s; double n, e, finalRad; const char* reason; };
    const Case cases[] = {
        {spiralData(100.0, 100.0, true, true), 97.52877, 16.37140, 0.5, "TS->SC, R 100, right"},
        {spiralData(100.0, 100.0, false, true), 97.52877, -16.37140, -0.5, "TS->SC, R 100, left"},
        {spiralData(100.0, 100.0, true, false), 93.43842, 32.39052, 0.5, "CS->ST, R 100, right"},
        {spiralData(100.0, 100.0, false, false), 93.43842, -32.39052, -0.5, "CS->ST, R 100, left"},
    };
    for (const Case& c : cases) {
        const C2dPos end = pos(c.s, 100.0), start = pos(c.s, 0.0);
        for (double n : {c.s.getFinalNorthing(), end.north})
            EXPECT_NEAR(n, c.n, 5e-6) << c.reason;
        for (double e : {c.s.getFinalEasting(), end.east})
            EXPECT_NEAR(e, c.e, 5e-6) << c.reason;
        CMathAngle final;
        ASSERT_TRUE(c.s.getFinalAzimut(final)) << c.reason;
        EXPECT_NEAR(final.getRad(), c.finalRad, 1e-15) << c.reason;
        EXPECT_NEAR(c.s.getFinalAzimutInRad(), c.finalRad, 1e-15) << c.reason;
        EXPECT_TRUE(start.north == 0.0 && std::fabs(start.east) < 1e-12 && std::fabs(c.s.GetAzimuth(0.0)) < 1e-12)
            << c.reason;
    }
}

TEST(Spiral, CompoundSpiralsAndSetters)
{
    // Equal radii: an ordinary CS->ST spiral.
    const CCurveDataSpiral equal = compoundData(80.0, 150.0, 150.0, true);
    double L, R, R2;
    bool right, tssc;
    equal.GetSpiralElement(L, R, right, tssc);
    EXPECT_TRUE(equal.getCutLength() == 0.0 && !tssc && right && L == 80.0 && R == 150.0);
    for (double l : {0.0, 25.0, 80.0}) {
        const C2dPos a = pos(equal, l), b = pos(spiralData(80.0, 150.0, true, false), l);
        EXPECT_TRUE(a.north == b.north && a.east == b.east) << l;
    }
    // From 200 to 100 over 50 m: the direction changes by (100^2 - 50^2) / (2 * 100 * 100) rad.
    CCurveDataSpiral c = compoundData(50.0, 200.0, 100.0, true);
    EXPECT_TRUE(c.isCompoundSpiral() && !c.isTSSC() && !c.isCSST());
    EXPECT_TRUE(c.getCutLength() == 50.0 && c.getStartRadius() == 200.0 && c.getFinalRadius() == 100.0 &&
                c.getTotalLength() == 50.0);
    const C2dPos start = pos(c, 0.0);
    EXPECT_TRUE(std::fabs(start.north) < 1e-12 && std::fabs(start.east) < 1e-12 && std::fabs(c.GetAzimuth(0.0)) < 1e-12);
    CMathAngle final;
    ASSERT_TRUE(c.getFinalAzimut(final));
    EXPECT_NEAR(final.getRad(), 0.375, 1e-12);
    c.GetSpiralElement(L, R, R2, right);
    EXPECT_TRUE(L == 50.0 && R == 200.0 && R2 == 100.0 && right);
    // Turning a compound spiral to a side makes it an ordinary CS->ST spiral of its smaller
    // radius; turning an ordinary one mirrors it.
    c.setTurnRight(true);
    EXPECT_TRUE(!c.isCompoundSpiral() && c.isCSST() && c.getRadius() == 100.0 && c.getTotalLength() == 50.0);
    CCurveDataSpiral turned = spiralData(120.0, 300.0, true, false);
    turned.setTurnRight(false);
    EXPECT_TRUE(turned.isToTheLeft());
    EXPECT_EQ(pos(turned, 60.0).east, -pos(spiralData(120.0, 300.0, true, false), 60.0).east);
    // By the spiral parameter.
    CCurveDataSpiral byParam;
    byParam.setLenAndSpPrm(120.0, -120.0 * 300.0, true);
    EXPECT_EQ(byParam.getRadius(), -300.0);
    EXPECT_NEAR(pos(byParam, 70.0).east, pos(spiralData(120.0, 300.0, false, true), 70.0).east, 1e-12);
}

TEST(Spiral, StepForDeviationEdges)
{
    const CCurveDataSpiral s = spiralData(100.0, 100.0, true, true);
    EXPECT_EQ(s.getStepForDeviation(100.0, 0.01), 0.0);
    EXPECT_EQ(s.getStepForDeviation(100.002, 0.01), 0.0);   // outside: reported, 0
    // A zero deviation halves the step below 1e-12 and then takes the rest of the spiral.
    EXPECT_EQ(s.getStepForDeviation(40.0, 0.0), 60.0);
    // The first halving that passes the chord test: psi = s (2 l + s) / (3 R L).
    const double step = s.getStepForDeviation(0.0, 0.01);
    const double psi = step * step / (3.0 * 100.0 * 100.0);
    EXPECT_LT(std::fabs(step * std::tan(psi)), 0.01);
    EXPECT_GE(std::fabs(2.0 * step * std::tan(4.0 * psi)), 0.01);
}

TEST(Spiral, NearestPointOfPointsOnTheSpiral)
{
    const CCurveDataSpiral s = spiralData(150.0, 120.0, false, false);
    for (double l : {0.0005, 0.5, 37.0, 75.0, 149.9, 149.9995}) {
        const C2dPos p = pos(s, l);
        double dist, len;
        ASSERT_TRUE(s.getShortestDistAndCurveLen(p.north, p.east, dist, len)) << l;
        EXPECT_LT(dist, 1e-4) << l;
        EXPECT_NEAR(len, l, 1e-4) << l;
    }
}

TEST(Spiral, ElementAzimuthBetweenTwoPoints)
{
    // Each kind of element placed with a known azimuth; its start and end give it back.
    struct Case { double R1, R2, L; C2dPos end; const char* reason; };
    auto endOf = [](const auto& c) { return C2dPos{c.getFinalNorthing(), c.getFinalEasting()}; };
    const Case cases[] = {
        {0.0, 0.0, 120.0, {120.0, 0.0}, "segment"}, {250.0, 250.0, 120.0, endOf(arcData(120.0, 250.0)), "arc"},
        {-250.0, 0.0, 90.0, endOf(spiralData(90.0, 250.0, false, false)), "CS->ST left"},
        {0.0, 300.0, 90.0, endOf(spiralData(90.0, 300.0, true, true)), "TS->SC right"},
        {400.0, 200.0, 80.0, endOf(compoundData(80.0, 400.0, 200.0, true)), "compound right"},
        {-200.0, -600.0, 80.0, endOf(compoundData(80.0, -200.0, -600.0, false)), "compound left"},
    };
    const CMathAngle azimuth(-123.4);
    for (const Case& c : cases) {
        double n = c.end.north, e = c.end.east;
        azimuth.getRotated(n, e);
        CMathAngle az;
        ASSERT_TRUE(getAlntElementAzimuth(az, C2dPos{500.0, 700.0}, C2dPos{500.0 + n, 700.0 + e}, c.R1, c.R2, c.L))
            << c.reason;
        EXPECT_NEAR(az.getDeg(), -123.4, 1e-9) << c.reason;
    }
    CMathAngle az(10.0);
    EXPECT_FALSE(getAlntElementAzimuth(az, C2dPos{0, 0}, C2dPos{1, 1}, 100.0, -200.0, 50.0));
    EXPECT_EQ(az.getRad(), 0.0);
    az = CMathAngle(10.0);
    EXPECT_FALSE(getAlntElementAzimuth(az, C2dPos{0, 0}, C2dPos{1, 1}, 100.0, 100.0, 0.0));
    EXPECT_EQ(az.getRad(), 0.0);
    EXPECT_FALSE(getAlntElementAzimuth(az, C2dPos{1, 1}, C2dPos{1, 1}, 0.0, 0.0, 10.0));
}

// ---- The series against an independent quadrature of the clothoid ---------------------------

// Points along random spirals of every kind and side, at the default series tolerance and at a
// tight one (restored afterwards).
TEST(SpiralAccuracy, SeriesAgreesWithQuadratureAtBothTolerances)
{
    ASSERT_EQ(smallNumTolerance, 1e-5);
    struct Case { unsigned seed; double tolerance, bound; };
    for (const Case& c : {Case{21, 1e-5, 5e-5}, Case{22, 1e-12, 1e-8}}) {
        ScopedSmallNumTolerance scoped(c.tolerance);
        std::mt19937 rng(c.seed);
        for (int i = 0; i < 400; ++i) {
            const RandomSpiral r = drawSpiral(rng, i % 4, (i / 4) % 2 == 0);
            const double L = r.spiral.getTotalLength();
            for (double f : {0.1, 0.25, 0.5, 0.75, 0.9, 1.0}) {
                const C2dPos series = pos(r.spiral, f * L), exact = clothoidByQuadrature(r.k0, r.dk, f * L);
                EXPECT_LT(std::hypot(series.north - exact.north, series.east - exact.east), c.bound)
                    << r.name << " at " << f * L << ", tolerance " << c.tolerance;
            }
        }
    }
    EXPECT_EQ(smallNumTolerance, 1e-5);
}

// ---- Properties over random spirals ----------------------------------------------------------

// Every kind on either side, placed at random: the azimuth against a chord of 0.1 m (within
// dk h^2 / 6 < 1e-5 rad of the tangent at its middle); nearest point inverts position at
// length; the circle through three close points has the curvature at the middle one, at both
// ends; the mirror image has mirrored positions and nearest points; every 5th is sampled.
TEST(SpiralProperties, RandomSpirals)
{
    std::mt19937 draw(31), mirror(31), rng(32);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 400; ++i) {
        const bool right = (i / 4) % 2 == 0;
        const RandomSpiral r = drawSpiral(draw, i % 4, right), m = drawSpiral(mirror, i % 4, !right);
        // The mirror image first, both series summed at the default tolerance.
        const double L = r.spiral.getTotalLength();
        ASSERT_EQ(L, m.spiral.getTotalLength()) << r.name;
        for (double f : {0.0, 0.2, 0.5, 0.8, 1.0}) {
            const C2dPos a = pos(r.spiral, f * L), b = pos(m.spiral, f * L);
            EXPECT_NEAR(a.north, b.north, 1e-12) << r.name << " at " << f * L;
            EXPECT_NEAR(a.east, -b.east, 1e-12) << r.name << " at " << f * L;
            EXPECT_NEAR(r.spiral.GetAzimuth(f * L), -m.spiral.GetAzimuth(f * L), 1e-12) << r.name;
        }
        const C2dPos p = pos(r.spiral, 0.4 * L);
        double da, la, db, lb;
        ASSERT_TRUE(r.spiral.getShortestDistAndCurveLen(p.north + 1.0, p.east + 2.0, da, la));
        ASSERT_TRUE(m.spiral.getShortestDistAndCurveLen(p.north + 1.0, -p.east - 2.0, db, lb));
        EXPECT_TRUE(std::fabs(da - db) < 1e-9 && std::fabs(la - lb) < 1e-9) << r.name;
        COrgAzCurveT<CCurveDataSpiral> placed;
        placed.setOrgAz(1e5 * unit(rng), -1e5 * unit(rng), CMathAngle(360.0 * unit(rng) - 180.0));
        placed.getCurve() = r.spiral;
        const double l = 1.0 + (L - 2.0) * unit(rng);
        expectAzimuthAndNearest(placedView(placed), l, 0.05, 1e-5, std::min(5.0, r.minRadius / 50.0) * (2.0 * unit(rng) - 1.0),
                                1e-4, r.name);
        {
            ScopedSmallNumTolerance exact(1e-12);
            const double h = 0.02, slack = std::fabs(r.dk) * h + 1e-7;
            EXPECT_NEAR(chordCurvature(r.spiral, 0.0, h), r.k0 + r.dk * h, slack) << r.name << " start";
            EXPECT_NEAR(chordCurvature(r.spiral, L - 2.0 * h, h), r.k0 + r.dk * (L - h), slack) << r.name << " end";
        }
        if (i % 4 >= 2) {
            EXPECT_NEAR(std::fabs(r.k0), 1.0 / std::fabs(r.spiral.getStartRadius()), 1e-12) << r.name;
            EXPECT_NEAR(std::fabs(r.k0 + r.dk * L), 1.0 / std::fabs(r.spiral.getFinalRadius()), 1e-12) << r.name;
        }
        if (i % 5 == 0)
            expectChordsWithin(placedView(placed), 0.001 * std::pow(1000.0, unit(rng)), 1, r.name);
    }
}
