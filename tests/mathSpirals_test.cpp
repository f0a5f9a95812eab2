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

CCurveDataSpiral spiral(double L, double R, bool right, bool tssc)
{
    CCurveDataSpiral s;
    s.setLenAndR(L, R, right, tssc);
    return s;
}

CCurveDataSpiral compound(double L, double R1, double R2, bool right)
{
    CCurveDataSpiral s;
    s.setLenAndR(L, R1, R2, right);
    return s;
}

C2dPos pos(const CCurveDataSpiral& s, double l)
{
    C2dPos p{};
    EXPECT_TRUE(s.getPosAtLength(l, p.north, p.east)) << "no position at " << l;
    return p;
}

// Signed curvature (1/m, right positive) of the circle through the points at l, l + h, l + 2h.
double chordCurvature(const CCurveDataSpiral& s, double l, double h)
{
    const C2dPos a = pos(s, l), b = pos(s, l + h), c = pos(s, l + 2.0 * h);
    const double cross = (b.north - a.north) * (c.east - b.east) - (b.east - a.east) * (c.north - b.north);
    const double ab = std::hypot(b.north - a.north, b.east - a.east);
    const double bc = std::hypot(c.north - b.north, c.east - b.east);
    const double ac = std::hypot(c.north - a.north, c.east - a.east);
    return 2.0 * cross / (ab * bc * ac);
}

COrgAzCurveT<CCurveDataSpiral> place(const CCurveDataSpiral& s, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    COrgAzCurveT<CCurveDataSpiral> placed;
    placed.setOrgAz(1e5 * unit(rng), -1e5 * unit(rng), CMathAngle(360.0 * unit(rng) - 180.0));
    placed.getCurve() = s;
    return placed;
}

} // namespace

// ---- Edge cases ------------------------------------------------------------------------------

TEST(Spiral, EndPointsOfTheHundredMetreSpirals)
{
    struct Case {
        CCurveDataSpiral s;
        double n, e, finalRad;
        const char* reason;
    };
    const Case cases[] = {
        {spiral(100.0, 100.0, true, true), 97.52877, 16.37140, 0.5, "TS->SC, R 100, right"},
        {spiral(100.0, 100.0, false, true), 97.52877, -16.37140, -0.5, "TS->SC, R 100, left"},
        {spiral(100.0, 100.0, true, false), 93.43842, 32.39052, 0.5, "CS->ST, R 100, right"},
        {spiral(100.0, 100.0, false, false), 93.43842, -32.39052, -0.5, "CS->ST, R 100, left"},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(c.s.getFinalNorthing(), c.n, 5e-6) << c.reason;
        EXPECT_NEAR(c.s.getFinalEasting(), c.e, 5e-6) << c.reason;
        const C2dPos end = pos(c.s, 100.0);
        EXPECT_NEAR(end.north, c.n, 5e-6) << c.reason;
        EXPECT_NEAR(end.east, c.e, 5e-6) << c.reason;
        CMathAngle final;
        ASSERT_TRUE(c.s.getFinalAzimut(final)) << c.reason;
        EXPECT_NEAR(final.getRad(), c.finalRad, 1e-15) << c.reason;
        EXPECT_NEAR(c.s.getFinalAzimutInRad(), c.finalRad, 1e-15) << c.reason;
        const C2dPos start = pos(c.s, 0.0);
        EXPECT_EQ(start.north, 0.0) << c.reason;
        EXPECT_NEAR(start.east, 0.0, 1e-12) << c.reason;
        EXPECT_NEAR(c.s.GetAzimuth(0.0), 0.0, 1e-12) << c.reason;
    }
}

TEST(Spiral, CurvatureAtTheEnds)
{
    // The circle through the points at l, l + h, l + 2h has the curvature at l + h.
    ScopedSmallNumTolerance exact(1e-12);
    const CCurveDataSpiral csst = spiral(100.0, 100.0, true, false);
    EXPECT_NEAR(chordCurvature(csst, 0.0, 0.05), 0.01 * (1.0 - 0.05 / 100.0), 1e-9);
    EXPECT_NEAR(chordCurvature(csst, 99.9, 0.05), 0.01 * 0.05 / 100.0, 1e-9);
    const CCurveDataSpiral tssc = spiral(100.0, 100.0, false, true);
    EXPECT_NEAR(chordCurvature(tssc, 0.0, 0.05), -0.01 * 0.05 / 100.0, 1e-9);
    EXPECT_NEAR(chordCurvature(tssc, 99.9, 0.05), -0.01 * (1.0 - 0.05 / 100.0), 1e-9);
}

TEST(Spiral, CompoundWithEqualRadiiIsAnOrdinaryCsstSpiral)
{
    const CCurveDataSpiral c = compound(80.0, 150.0, 150.0, true);
    const CCurveDataSpiral ordinary = spiral(80.0, 150.0, true, false);
    EXPECT_EQ(c.getCutLength(), 0.0);
    double L, R;
    bool right, tssc;
    c.GetSpiralElement(L, R, right, tssc);
    EXPECT_FALSE(tssc);
    EXPECT_TRUE(right);
    EXPECT_EQ(L, 80.0);
    EXPECT_EQ(R, 150.0);
    for (double l : {0.0, 25.0, 80.0}) {
        EXPECT_EQ(pos(c, l).north, pos(ordinary, l).north) << l;
        EXPECT_EQ(pos(c, l).east, pos(ordinary, l).east) << l;
    }
}

TEST(Spiral, CompoundFromTwoHundredToOneHundred)
{
    const CCurveDataSpiral c = compound(50.0, 200.0, 100.0, true);
    EXPECT_TRUE(c.isCompoundSpiral());
    EXPECT_FALSE(c.isTSSC());
    EXPECT_FALSE(c.isCSST());
    EXPECT_EQ(c.getCutLength(), 50.0);
    EXPECT_EQ(c.getStartRadius(), 200.0);
    EXPECT_EQ(c.getFinalRadius(), 100.0);
    EXPECT_EQ(c.getTotalLength(), 50.0);
    const C2dPos start = pos(c, 0.0);
    EXPECT_NEAR(start.north, 0.0, 1e-12);
    EXPECT_NEAR(start.east, 0.0, 1e-12);
    EXPECT_NEAR(c.GetAzimuth(0.0), 0.0, 1e-12);
    // Direction change over the element: (100^2 - 50^2) / (2 * 100 * 100) rad.
    CMathAngle final;
    ASSERT_TRUE(c.getFinalAzimut(final));
    EXPECT_NEAR(final.getRad(), 0.375, 1e-12);
    double L, R1, R2;
    bool right;
    c.GetSpiralElement(L, R1, R2, right);
    EXPECT_EQ(L, 50.0);
    EXPECT_EQ(R1, 200.0);
    EXPECT_EQ(R2, 100.0);
    EXPECT_TRUE(right);
}

TEST(Spiral, SettersAgree)
{
    CCurveDataSpiral byParam;
    byParam.setLenAndSpPrm(120.0, -120.0 * 300.0, true);
    const CCurveDataSpiral byRadius = spiral(120.0, 300.0, false, true);
    EXPECT_EQ(byParam.getRadius(), -300.0);
    EXPECT_NEAR(pos(byParam, 70.0).east, pos(byRadius, 70.0).east, 1e-12);

    // Turning a spiral to the other side mirrors it; a compound spiral becomes an ordinary
    // CS->ST spiral of its smaller radius.
    CCurveDataSpiral turned = spiral(120.0, 300.0, true, false);
    turned.setTurnRight(false);
    EXPECT_TRUE(turned.isToTheLeft());
    EXPECT_EQ(pos(turned, 60.0).east, -pos(spiral(120.0, 300.0, true, false), 60.0).east);
    CCurveDataSpiral c = compound(50.0, 200.0, 100.0, true);
    c.setTurnRight(true);
    EXPECT_FALSE(c.isCompoundSpiral());
    EXPECT_TRUE(c.isCSST());
    EXPECT_EQ(c.getRadius(), 100.0);
    EXPECT_EQ(c.getTotalLength(), 50.0);
}

TEST(Spiral, StepForDeviationEdges)
{
    const CCurveDataSpiral s = spiral(100.0, 100.0, true, true);
    EXPECT_EQ(s.getStepForDeviation(100.0, 0.01), 0.0);
    EXPECT_EQ(s.getStepForDeviation(100.002, 0.01), 0.0);   // outside: reported, 0
    // A zero deviation halves the step below 1e-12 and then takes the rest of the spiral.
    EXPECT_EQ(s.getStepForDeviation(40.0, 0.0), 60.0);
    // The first halving that passes the chord test: psi = s (2 l + s) / (3 R L).
    const double step = s.getStepForDeviation(0.0, 0.01);
    const double psi = step * step / (3.0 * 100.0 * 100.0);
    EXPECT_LT(std::fabs(step * std::tan(psi)), 0.01);
    const double psi2 = 4.0 * psi;
    EXPECT_GE(std::fabs(2.0 * step * std::tan(psi2)), 0.01);
}

TEST(Spiral, NearestPointOfPointsOnTheSpiral)
{
    const CCurveDataSpiral s = spiral(150.0, 120.0, false, false);
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
    struct Case {
        double R1, R2, L;
        const char* reason;
    };
    const Case cases[] = {
        {0.0, 0.0, 120.0, "segment"},     {250.0, 250.0, 120.0, "arc"},
        {-250.0, 0.0, 90.0, "CS->ST left"}, {0.0, 300.0, 90.0, "TS->SC right"},
        {400.0, 200.0, 80.0, "compound right"}, {-200.0, -600.0, 80.0, "compound left"},
    };
    const CMathAngle azimuth(-123.4);
    for (const Case& c : cases) {
        double n, e;
        if (c.R1 == 0.0 && c.R2 == 0.0) {
            n = c.L;
            e = 0.0;
        } else if (c.R1 == c.R2) {
            CCurveDataArc a;
            a.SetElement(c.L, c.R1, c.R1 > 0.0);
            n = a.getFinalNorthing();
            e = a.getFinalEasting();
        } else {
            CCurveDataSpiral s;
            if (c.R1 == 0.0)
                s.setLenAndR(c.L, c.R2, c.R2 > 0.0, true);
            else if (c.R2 == 0.0)
                s.setLenAndR(c.L, c.R1, c.R1 > 0.0, false);
            else
                s.setLenAndR(c.L, c.R1, c.R2, c.R2 > 0.0);
            n = s.getFinalNorthing();
            e = s.getFinalEasting();
        }
        azimuth.getRotated(n, e);
        const C2dPos start{500.0, 700.0};
        const C2dPos end{start.north + n, start.east + e};
        CMathAngle az;
        ASSERT_TRUE(getAlntElementAzimuth(az, start, end, c.R1, c.R2, c.L)) << c.reason;
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

namespace {

// The largest distance between the series and the quadrature over points along random spirals
// of every kind and side.
double worstAgainstQuadrature(unsigned seed, int count)
{
    std::mt19937 rng(seed);
    double worst = 0.0;
    for (int i = 0; i < count; ++i) {
        const RandomSpiral r = drawSpiral(rng, i % 4, (i / 4) % 2 == 0);
        const double L = r.spiral.getTotalLength();
        for (double f : {0.1, 0.25, 0.5, 0.75, 0.9, 1.0}) {
            const C2dPos series = pos(r.spiral, f * L);
            const C2dPos exact = clothoidByQuadrature(r.k0, r.dk, f * L);
            const double error = std::hypot(series.north - exact.north, series.east - exact.east);
            worst = std::max(worst, error);
            EXPECT_LT(error, smallNumTolerance < 1e-6 ? 1e-8 : 5e-5) << r.name << " at " << f * L;
        }
    }
    return worst;
}

} // namespace

TEST(SpiralAccuracy, SeriesAgreesWithQuadratureAtTheDefaultTolerance)
{
    ASSERT_EQ(smallNumTolerance, 1e-5);
    EXPECT_LT(worstAgainstQuadrature(21, 400), 5e-5);
}

TEST(SpiralAccuracy, SeriesAgreesWithQuadratureAtATightTolerance)
{
    {
        ScopedSmallNumTolerance tight(1e-12);
        EXPECT_LT(worstAgainstQuadrature(22, 400), 1e-8);
    }
    EXPECT_EQ(smallNumTolerance, 1e-5);
}

// ---- Properties over random spirals ----------------------------------------------------------

TEST(SpiralProperties, AzimuthFollowsTheChord)
{
    // A series summed to 1e-12, so that the chord is the clothoid's; the chord of 0.1 m then
    // points along the tangent at its middle within dk h^2 / 6 < 1e-5 rad.
    ScopedSmallNumTolerance exact(1e-12);
    std::mt19937 rng(31);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 400; ++i) {
        const RandomSpiral r = drawSpiral(rng, i % 4, (i / 4) % 2 == 0);
        const auto placed = place(r.spiral, rng);
        const double L = placed.getTotalLength();
        const double l = 1.0 + (L - 2.0) * unit(rng);
        EXPECT_NEAR(azimuthChordError(placedView(placed), l, 0.05), 0.0, 1e-5) << r.name << " at " << l;
    }
}

TEST(SpiralProperties, NearestPointInvertsPositionAtLength)
{
    std::mt19937 rng(32);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 800; ++i) {
        const RandomSpiral r = drawSpiral(rng, i % 4, (i / 4) % 2 == 0);
        const auto placed = place(r.spiral, rng);
        const double L = placed.getTotalLength();
        const double l = 1.0 + (L - 2.0) * unit(rng);
        const double d = std::min(5.0, r.minRadius / 50.0) * (2.0 * unit(rng) - 1.0);
        double distError, lenError;
        ASSERT_TRUE(nearestRoundTrip(placedView(placed), l, d, distError, lenError)) << r.name;
        EXPECT_LT(distError, 1e-4) << r.name << " l " << l << " d " << d;
        EXPECT_LT(lenError, 1e-4) << r.name << " l " << l << " d " << d;
    }
}

TEST(SpiralProperties, CompoundCurvatureAtBothEnds)
{
    ScopedSmallNumTolerance exact(1e-12);
    std::mt19937 rng(33);
    for (int i = 0; i < 200; ++i) {
        const RandomSpiral r = drawSpiral(rng, 2 + i % 2, (i / 2) % 2 == 0);
        const double L = r.spiral.getTotalLength();
        const double h = 0.02;
        // The circle through three close points has the curvature at the middle point.
        const double k1 = r.k0, k2 = r.k0 + r.dk * L;
        const double slack = std::fabs(r.dk) * h + 1e-7;
        EXPECT_NEAR(chordCurvature(r.spiral, 0.0, h), k1 + r.dk * h, slack) << r.name << " start";
        EXPECT_NEAR(chordCurvature(r.spiral, L - 2.0 * h, h), k2 - r.dk * h, slack) << r.name << " end";
        const double R1 = r.spiral.getStartRadius(), R2 = r.spiral.getFinalRadius();
        EXPECT_NEAR(std::fabs(k1), 1.0 / std::fabs(R1), 1e-12) << r.name;
        EXPECT_NEAR(std::fabs(k2), 1.0 / std::fabs(R2), 1e-12) << r.name;
    }
}

TEST(SpiralProperties, MirroredSpiralGivesMirroredPositions)
{
    std::mt19937 rng(34);
    std::mt19937 same(34);
    for (int i = 0; i < 200; ++i) {
        const RandomSpiral right = drawSpiral(rng, i % 4, true);
        const RandomSpiral left = drawSpiral(same, i % 4, false);
        const double L = right.spiral.getTotalLength();
        ASSERT_EQ(L, left.spiral.getTotalLength());
        for (double f : {0.0, 0.2, 0.5, 0.8, 1.0}) {
            const C2dPos a = pos(right.spiral, f * L), b = pos(left.spiral, f * L);
            EXPECT_NEAR(a.north, b.north, 1e-12) << right.name << " at " << f * L;
            EXPECT_NEAR(a.east, -b.east, 1e-12) << right.name << " at " << f * L;
            EXPECT_NEAR(right.spiral.GetAzimuth(f * L), -left.spiral.GetAzimuth(f * L), 1e-12) << right.name;
        }
        const C2dPos p = pos(right.spiral, 0.4 * L);
        double da, la, db, lb;
        ASSERT_TRUE(right.spiral.getShortestDistAndCurveLen(p.north + 1.0, p.east + 2.0, da, la));
        ASSERT_TRUE(left.spiral.getShortestDistAndCurveLen(p.north + 1.0, -p.east - 2.0, db, lb));
        EXPECT_NEAR(da, db, 1e-9) << right.name;
        EXPECT_NEAR(la, lb, 1e-9) << right.name;
    }
}

TEST(SpiralProperties, SamplingKeepsEveryChordWithinTheDeviation)
{
    std::mt19937 rng(35);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 80; ++i) {
        const RandomSpiral r = drawSpiral(rng, i % 4, (i / 4) % 2 == 0);
        const auto placed = place(r.spiral, rng);
        const double deviation = 0.001 * std::pow(1000.0, unit(rng));
        int chords = 0;
        EXPECT_LE(worstChordExcess(placedView(placed), deviation, chords), 1e-9)
            << r.name << " deviation " << deviation;
        EXPECT_GT(chords, 0);
    }
}
