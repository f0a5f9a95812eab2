// Straight segments, circular arcs and their placement in the plane.
#include "curveTestSupport.h"
#include "testUtil.h"

#include "vrkmath/mathCurves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace curvetest;

namespace {

CCurveDataSegment segmentByLength(double L, double azDeg)
{
    CCurveDataSegment s;
    s.setAzDeg(azDeg);
    s.setLen(L);
    return s;
}

CCurveDataArc arc(double L, double R)
{
    CCurveDataArc a;
    a.SetElement(L, R, R > 0.0);
    return a;
}

} // namespace

// ---- Snapping onto the ends ------------------------------------------------------------------

TEST(CurveSnap, LengthsNearTheEndsSnapAndFurtherOnesFail)
{
    const CCurveDataSegment seg = segmentByLength(100.0, 30.0);
    const CCurveDataArc a = arc(100.0, 250.0);
    struct Case {
        double l;
        bool ok;
        double snapped;
        const char* reason;
    };
    const Case cases[] = {
        {-0.0009, true, 0.0, "0.0009 before the start snaps onto it"},
        {100.0009, true, 100.0, "0.0009 beyond the end snaps onto it"},
        {-0.002, false, 0.0, "0.002 before the start is outside (reported)"},
        {100.002, false, 0.0, "0.002 beyond the end is outside (reported)"},
        {0.0005, true, 0.0005, "inside lengths are not moved"},
    };
    for (const Case& c : cases) {
        double n, e, n0, e0;
        EXPECT_EQ(seg.getPosAtLength(c.l, n, e), c.ok) << "segment: " << c.reason;
        if (c.ok) {
            ASSERT_TRUE(seg.getPosAtLength(c.snapped, n0, e0));
            EXPECT_EQ(n, n0) << "segment: " << c.reason;
            EXPECT_EQ(e, e0) << "segment: " << c.reason;
        }
        EXPECT_EQ(a.getPosAtLength(c.l, n, e), c.ok) << "arc: " << c.reason;
        if (c.ok) {
            ASSERT_TRUE(a.getPosAtLength(c.snapped, n0, e0));
            EXPECT_EQ(n, n0) << "arc: " << c.reason;
            EXPECT_EQ(e, e0) << "arc: " << c.reason;
        }
    }
}

// ---- Segment ---------------------------------------------------------------------------------

TEST(CurveSegment, EndPointAndAzimuthDefineEachOther)
{
    CCurveDataSegment s;
    EXPECT_FALSE(s.isok());
    EXPECT_EQ(s.getTotalLength(), 0.0);
    s.setFinalNE(30.0, 40.0);
    ASSERT_TRUE(s.isok());
    EXPECT_EQ(s.getTotalLength(), 50.0);
    EXPECT_TRUE(nearUlps(s.GetAzimuth(12.0), std::atan2(40.0, 30.0) * kDegPerRad));
    double n, e;
    ASSERT_TRUE(s.getPosAtLength(25.0, n, e));
    EXPECT_NEAR(n, 15.0, 1e-12);
    EXPECT_NEAR(e, 20.0, 1e-12);
    // A new length keeps the direction that only the end point gave.
    s.setLen(100.0);
    EXPECT_NEAR(s.getFinalNorthing(), 60.0, 1e-12);
    EXPECT_NEAR(s.getFinalEasting(), 80.0, 1e-12);
    // A new azimuth keeps the length.
    s.setAzDeg(90.0);
    EXPECT_NEAR(s.getFinalNorthing(), 0.0, 1e-12);
    EXPECT_NEAR(s.getFinalEasting(), 100.0, 1e-12);
}

TEST(CurveSegment, StepIsTheRestOfTheSegment)
{
    const CCurveDataSegment s = segmentByLength(80.0, -20.0);
    EXPECT_EQ(s.getStepForDeviation(0.0, 0.01), 80.0);
    EXPECT_EQ(s.getStepForDeviation(30.0, 1e-9), 50.0);
    EXPECT_EQ(s.getStepForDeviation(80.0, 0.01), 0.0);
}

TEST(CurveSegment, NearestPointTable)
{
    // A segment heading north-east, 100 m long, ends at (70.71, 70.71).
    const CCurveDataSegment s = segmentByLength(100.0, 45.0);
    const double r = std::sqrt(0.5);
    struct Case {
        double n, e, dist, len;
        const char* reason;
    };
    const Case cases[] = {
        {50.0 * r - 3.0 * r, 50.0 * r + 3.0 * r, 3.0, 50.0, "3 m right of the middle"},
        {20.0 * r + 4.0 * r, 20.0 * r - 4.0 * r, 4.0, 20.0, "4 m left at 20 m"},
        {130.0 * r, 130.0 * r, 30.0, 100.0, "on the extension beyond the end"},
        {-10.0 * r, -10.0 * r, 10.0, 0.0, "on the extension behind the start"},
        {0.0, 0.0, 0.0, 0.0, "the start itself"},
    };
    for (const Case& c : cases) {
        double dist, len;
        ASSERT_TRUE(s.getShortestDistAndCurveLen(c.n, c.e, dist, len)) << c.reason;
        EXPECT_NEAR(dist, c.dist, 1e-9) << c.reason;
        EXPECT_NEAR(len, c.len, 1e-9) << c.reason;
    }
    // Behind a segment shorter than roadTolerance both ends are as near: the end wins.
    const CCurveDataSegment tiny = segmentByLength(1e-4, 0.0);
    double dist, len;
    ASSERT_TRUE(tiny.getShortestDistAndCurveLen(-1.0, 0.0, dist, len));
    EXPECT_EQ(len, 1e-4);
    EXPECT_NEAR(dist, 1.0001, 1e-12);
}

// ---- Arc -------------------------------------------------------------------------------------

TEST(CurveArc, StepForDeviationTable)
{
    const CCurveDataArc a = arc(200.0, 100.0);
    CCurveDataArc zero;
    zero.SetElement(50.0, 0.0, true);
    struct Case {
        const CCurveDataArc& arc;
        double l, deviation, step, tol;
        const char* reason;
    };
    const Case cases[] = {
        {a, 0.0, 0.01, 2.82845, 5e-6, "R 100, deviation 0.01"},
        {a, 0.0, 1.0, 19.63495, 5e-6, "28.308 capped to an 11.25 degree step"},
        {a, 0.0, 0.1, 2.0 * 100.0 * std::acos(1.0 - 0.001), 1e-12, "middle ordinate 0.1"},
        {a, 190.0, 1.0, 10.0, 1e-12, "capped by the rest of the arc"},
        {a, 50.0, 0.0, 150.0, 0.0, "deviation 0: the rest of the arc"},
        {zero, 10.0, 0.01, 40.0, 0.0, "radius 0: the rest of the arc"},
        {a, 200.0, 0.01, 0.0, 0.0, "at the end"},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.arc.getStepForDeviation(c.l, c.deviation), c.step, c.tol) << c.reason;
}

TEST(CurveArc, ShapeQueries)
{
    const CCurveDataArc quarter = arc(10.0 * kPi / 2.0, 10.0);
    EXPECT_NEAR(quarter.getChordLength(), 14.14214, 5e-6);
    EXPECT_NEAR(quarter.getFinalNorthing(), 10.0, 1e-12);
    EXPECT_NEAR(quarter.getFinalEasting(), 10.0, 1e-12);
    EXPECT_NEAR(quarter.getFinalAzimutInRad(), kPi / 2.0, 1e-15);
    EXPECT_NEAR(quarter.GetAzimuth(10.0 * kPi / 4.0), 45.0, 1e-12);
    const CCurveDataArc left = arc(10.0 * kPi / 2.0, -10.0);
    EXPECT_NEAR(left.getChordLength(), 14.14214, 5e-6);
    EXPECT_NEAR(left.getFinalEasting(), -10.0, 1e-12);
    EXPECT_TRUE(left.isToTheLeft());

    // A central angle of -90 degrees on a right-hand arc goes the long way about.
    CCurveDataArc longWay;
    CMathAngle delta(-90.0);
    longWay.setCAngleR(delta, 10.0, true);
    EXPECT_NEAR(longWay.getTotalLength(), 10.0 * 1.5 * kPi, 1e-12);
    EXPECT_NEAR(longWay.getFinalNorthing(), -10.0, 1e-12);
    EXPECT_NEAR(longWay.getFinalEasting(), 10.0, 1e-12);
    // Without a side the sign of the angle decides.
    CCurveDataArc bySign;
    bySign.setCAngleR(delta, 10.0);
    EXPECT_LT(bySign.getRadius(), 0.0);
    EXPECT_NEAR(bySign.getTotalLength(), 10.0 * kPi / 2.0, 1e-12);
}

TEST(CurveArc, NearestPointTable)
{
    const CCurveDataArc a = arc(100.0, 100.0);   // 57.3 degrees to the right
    const CCurveDataArc left = arc(100.0, -100.0);
    const double phi = 0.3;                      // 30 m along
    struct Case {
        const CCurveDataArc& arc;
        double n, e, dist, len;
        const char* reason;
    };
    const Case cases[] = {
        {a, 0.0, 100.0, 100.0, 100.0, "the centre projects to (R, L)"},
        {left, 0.0, -100.0, 100.0, 100.0, "the centre of a left arc"},
        {a, 105.0 * std::sin(phi), 100.0 - 105.0 * std::cos(phi), 5.0, 30.0, "5 m outside at 30 m"},
        {a, 95.0 * std::sin(phi), 100.0 - 95.0 * std::cos(phi), 5.0, 30.0, "5 m inside at 30 m"},
        {left, 103.0 * std::sin(phi), -100.0 + 103.0 * std::cos(phi), 3.0, 30.0, "left arc, 3 m outside"},
        {a, -20.0, 0.0, 20.0, 0.0, "behind the start on the tangent"},
    };
    for (const Case& c : cases) {
        double dist, len;
        ASSERT_TRUE(c.arc.getShortestDistAndCurveLen(c.n, c.e, dist, len)) << c.reason;
        EXPECT_NEAR(dist, c.dist, 1e-9) << c.reason;
        EXPECT_NEAR(len, c.len, 1e-9) << c.reason;
    }
    // Beyond the end the end wins.
    double endN, endE, dist, len;
    ASSERT_TRUE(a.getPosAtLength(100.0, endN, endE));
    ASSERT_TRUE(a.getShortestDistAndCurveLen(endN + 30.0 * std::cos(1.0), endE + 30.0 * std::sin(1.0), dist, len));
    EXPECT_NEAR(dist, 30.0, 1e-9);
    EXPECT_EQ(len, 100.0);
}

// ---- Placement -------------------------------------------------------------------------------

TEST(CurvePlacement, RotatesAndMovesTheLocalFrame)
{
    // A right-hand quarter circle of radius 100 placed at (1000, 2000) heading east: it ends
    // heading south at (900, 2100).
    COrgAzCurveT<CCurveDataArc> placed;
    placed.setOrgAz(1000.0, 2000.0, CMathAngle(90.0));
    placed.getCurve().SetElement(50.0 * kPi, 100.0, true);
    ASSERT_TRUE(placed.isok());
    EXPECT_NEAR(placed.getFinalNorthing(), 900.0, 1e-9);
    EXPECT_NEAR(placed.getFinalEasting(), 2100.0, 1e-9);
    CMathAngle final;
    ASSERT_TRUE(placed.getFinalAzimut(final));
    EXPECT_NEAR(final.getDeg(), 180.0, 1e-9);
    double n, e;
    ASSERT_TRUE(placed.getPosAtLength(50.0 * kPi, n, e));
    EXPECT_NEAR(n, 900.0, 1e-9);
    EXPECT_NEAR(e, 2100.0, 1e-9);
    EXPECT_NEAR(placed.getAzimuthAtLength(25.0 * kPi), 135.0, 1e-9);
    double dist, len;
    // 10 m inside the arc at its middle, seen from the centre (900, 2000).
    const double r = std::sqrt(0.5);
    ASSERT_TRUE(placed.getShortestDistAndCurveLen(900.0 + 90.0 * r, 2000.0 + 90.0 * r, dist, len));
    EXPECT_NEAR(dist, 10.0, 1e-9);
    EXPECT_NEAR(len, 25.0 * kPi, 1e-9);

    // Without an origin nothing is answered; the end is the plain sum.
    placed.resetOrgAz();
    EXPECT_FALSE(placed.isOrgAzOk());
    EXPECT_FALSE(placed.getPosAtLength(1.0, n, e));
    EXPECT_FALSE(placed.getShortestDistAndCurveLen(0.0, 0.0, dist, len));
    EXPECT_FALSE(placed.getStartAzimut(final));
    EXPECT_EQ(final.getRad(), 0.0);
}

// ---- Properties over random arcs -------------------------------------------------------------

namespace {

COrgAzCurveT<CCurveDataArc> randomArc(std::mt19937& rng, bool right)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double R = 20.0 * std::pow(100.0, unit(rng));   // 20 m to 2 km, log-uniform
    const double L = std::min(R * (0.1 + 4.0 * unit(rng)), 600.0);
    COrgAzCurveT<CCurveDataArc> placed;
    placed.setOrgAz(5000.0 * unit(rng), -3000.0 * unit(rng), CMathAngle(360.0 * unit(rng) - 180.0));
    placed.getCurve().SetElement(L, R, right);
    return placed;
}

} // namespace

TEST(CurveArcProperties, AzimuthFollowsTheChord)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 200; ++i) {
        const auto placed = randomArc(rng, i % 2 == 0);
        const double L = placed.getTotalLength();
        const double l = 0.5 + (L - 1.0) * unit(rng);
        // The chord of a circle points exactly along the tangent at its middle.
        EXPECT_NEAR(azimuthChordError(placedView(placed), l, 0.25), 0.0, 1e-9) << "arc " << i;
    }
}

TEST(CurveArcProperties, NearestPointInvertsPositionAtLength)
{
    std::mt19937 rng(12);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 300; ++i) {
        const auto placed = randomArc(rng, i % 2 == 0);
        const double L = placed.getTotalLength();
        const double R = std::fabs(placed.getCurve().getRadius());
        if (L < 3.0)
            continue;
        const double l = 1.0 + (L - 2.0) * unit(rng);
        const double d = std::min(5.0, R / 50.0) * (2.0 * unit(rng) - 1.0);
        double distError, lenError;
        ASSERT_TRUE(nearestRoundTrip(placedView(placed), l, d, distError, lenError)) << "arc " << i;
        EXPECT_LT(distError, 1e-6) << "arc " << i << " l " << l << " d " << d;
        EXPECT_LT(lenError, 1e-6) << "arc " << i << " l " << l << " d " << d;
    }
}

TEST(CurveArcProperties, MirroredArcGivesMirroredPositions)
{
    std::mt19937 rng(13);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 100; ++i) {
        const double R = 10.0 + 1000.0 * unit(rng);
        const double L = R * 3.0 * unit(rng);
        const CCurveDataArc right = arc(L, R), left = arc(L, -R);
        for (double f : {0.0, 0.3, 0.7, 1.0}) {
            double nr, er, nl, el;
            ASSERT_TRUE(right.getPosAtLength(f * L, nr, er));
            ASSERT_TRUE(left.getPosAtLength(f * L, nl, el));
            EXPECT_EQ(nr, nl) << "arc " << i;
            EXPECT_EQ(er, -el) << "arc " << i;
        }
        EXPECT_EQ(right.GetAzimuth(0.5 * L), -left.GetAzimuth(0.5 * L));
    }
}

TEST(CurveArcProperties, SamplingKeepsEveryChordWithinTheDeviation)
{
    std::mt19937 rng(14);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 60; ++i) {
        const auto placed = randomArc(rng, i % 2 == 0);
        const double deviation = 0.001 * std::pow(1000.0, unit(rng));   // 1 mm to 1 m
        int chords = 0;
        EXPECT_LE(worstChordExcess(placedView(placed), deviation, chords), 1e-9)
            << "arc " << i << " deviation " << deviation;
        EXPECT_GT(chords, 0);
    }
}
