// Straight segments, circular arcs and their placement in the plane.
#include "curveTestSupport.h"
#include "testUtil.h"

#include "vrkmath/mathCurves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace curvetest;

// ---- Snapping onto the ends ------------------------------------------------------------------

TEST(CurveSnap, LengthsNearTheEndsSnapAndFurtherOnesFail)
{
    const CCurveDataSegment seg = segmentData(100.0, 30.0);
    const CCurveDataArc a = arcData(100.0, 250.0);
    struct Case { double l; bool ok; double snapped; const char* reason; };
    const Case cases[] = {
        {-0.0009, true, 0.0, "0.0009 before the start snaps onto it"},
        {100.0009, true, 100.0, "0.0009 beyond the end snaps onto it"},
        {-0.002, false, 0.0, "0.002 before the start is outside (reported)"},
        {100.002, false, 0.0, "0.002 beyond the end is outside (reported)"},
        {0.0005, true, 0.0005, "inside lengths are not moved"},
    };
    for (const Case& c : cases) {
        double n, e, n0 = 0, e0 = 0;
        EXPECT_EQ(seg.getPosAtLength(c.l, n, e), c.ok) << "segment: " << c.reason;
        EXPECT_TRUE(!c.ok || (seg.getPosAtLength(c.snapped, n0, e0) && n == n0 && e == e0)) << "segment: " << c.reason;
        EXPECT_EQ(a.getPosAtLength(c.l, n, e), c.ok) << "arc: " << c.reason;
        EXPECT_TRUE(!c.ok || (a.getPosAtLength(c.snapped, n0, e0) && n == n0 && e == e0)) << "arc: " << c.reason;
    }
}

// ---- Segment ---------------------------------------------------------------------------------

TEST(CurveSegment, EndPointAndAzimuthDefineEachOther)
{
    CCurveDataSegment s;
    EXPECT_TRUE(!s.isok() && s.getTotalLength() == 0.0);
    s.setFinalNE(30.0, 40.0);
    CCurveDataSegment longer = s;
    longer.setLen(100.0);   // keeps the direction that only the end point gave, asked for or not
    EXPECT_TRUE(std::fabs(longer.getFinalNorthing() - 60.0) < 1e-12 && std::fabs(longer.getFinalEasting() - 80.0) < 1e-12);
    ASSERT_TRUE(s.isok());
    EXPECT_EQ(s.getTotalLength(), 50.0);
    EXPECT_TRUE(nearUlps(s.GetAzimuth(12.0), std::atan2(40.0, 30.0) * kDegPerRad));
    double n, e;
    ASSERT_TRUE(s.getPosAtLength(25.0, n, e));
    EXPECT_TRUE(std::fabs(n - 15.0) < 1e-12 && std::fabs(e - 20.0) < 1e-12) << n << " " << e;
    s.setLen(100.0);   // keeps the direction that only the end point gave
    EXPECT_TRUE(std::fabs(s.getFinalNorthing() - 60.0) < 1e-12 && std::fabs(s.getFinalEasting() - 80.0) < 1e-12);
    s.setAzDeg(90.0);   // keeps the length
    EXPECT_TRUE(std::fabs(s.getFinalNorthing()) < 1e-12 && std::fabs(s.getFinalEasting() - 100.0) < 1e-12);
}

// Nearest points of a segment heading north-east, 100 m long, and of arcs of R 100 (57.3
// degrees) to either side.
TEST(CurveNearest, SegmentAndArcTables)
{
    const CCurveDataSegment s = segmentData(100.0, 45.0);
    const CCurveDataArc a = arcData(100.0, 100.0), left = arcData(100.0, -100.0);
    const double r = std::sqrt(0.5), phi = 0.3;   // phi: 30 m along the arc
    double endN, endE;
    ASSERT_TRUE(a.getPosAtLength(100.0, endN, endE));
    struct Case { const CCurveDataSegment* seg; const CCurveDataArc* arc; double n, e, dist, len; const char* reason; };
    const Case cases[] = {
        {&s, nullptr, 47.0 * r, 53.0 * r, 3.0, 50.0, "segment: 3 m right of the middle"},
        {&s, nullptr, 24.0 * r, 16.0 * r, 4.0, 20.0, "segment: 4 m left at 20 m"},
        {&s, nullptr, 130.0 * r, 130.0 * r, 30.0, 100.0, "segment: on the extension beyond the end"},
        {&s, nullptr, -10.0 * r, -10.0 * r, 10.0, 0.0, "segment: on the extension behind the start"},
        {&s, nullptr, 0.0, 0.0, 0.0, 0.0, "segment: the start itself"},
        {nullptr, &a, 0.0, 100.0, 100.0, 100.0, "the centre projects to (R, L)"},
        {nullptr, &left, 0.0, -100.0, 100.0, 100.0, "the centre of a left arc"},
        {nullptr, &a, 105.0 * std::sin(phi), 100.0 - 105.0 * std::cos(phi), 5.0, 30.0, "5 m outside at 30 m"},
        {nullptr, &a, 95.0 * std::sin(phi), 100.0 - 95.0 * std::cos(phi), 5.0, 30.0, "5 m inside at 30 m"},
        {nullptr, &left, 103.0 * std::sin(phi), -100.0 + 103.0 * std::cos(phi), 3.0, 30.0, "left arc, 3 m outside"},
        {nullptr, &a, -20.0, 0.0, 20.0, 0.0, "behind the start on the tangent"},
        {nullptr, &a, endN + 30.0 * std::cos(1.0), endE + 30.0 * std::sin(1.0), 30.0, 100.0, "beyond the end: the end"},
    };
    for (const Case& c : cases) {
        double dist, len;
        ASSERT_TRUE(c.seg ? c.seg->getShortestDistAndCurveLen(c.n, c.e, dist, len)
                          : c.arc->getShortestDistAndCurveLen(c.n, c.e, dist, len)) << c.reason;
        EXPECT_NEAR(dist, c.dist, 1e-9) << c.reason;
        EXPECT_NEAR(len, c.len, 1e-9) << c.reason;
    }
    // Behind a segment shorter than roadTolerance both ends are as near: the end wins.
    double dist, len;
    ASSERT_TRUE(segmentData(1e-4, 0.0).getShortestDistAndCurveLen(-1.0, 0.0, dist, len));
    EXPECT_EQ(len, 1e-4);
    EXPECT_NEAR(dist, 1.0001, 1e-12);
}

// ---- Steps and arc shapes --------------------------------------------------------------------

TEST(CurveStep, SegmentAndArcTable)
{
    const CCurveDataSegment s = segmentData(80.0, -20.0);
    const CCurveDataArc a = arcData(200.0, 100.0);
    CCurveDataArc zero;
    zero.SetElement(50.0, 0.0, true);
    struct Case { double got, step, tol; const char* reason; };
    const Case cases[] = {
        {s.getStepForDeviation(0.0, 0.01), 80.0, 0.0, "segment: the whole of it"},
        {s.getStepForDeviation(30.0, 1e-9), 50.0, 0.0, "segment: the rest of it"},
        {s.getStepForDeviation(80.0, 0.01), 0.0, 0.0, "segment: at the end"},
        {a.getStepForDeviation(0.0, 0.01), 2.82845, 5e-6, "R 100, deviation 0.01"},
        {a.getStepForDeviation(0.0, 1.0), 19.63495, 5e-6, "28.308 capped to an 11.25 degree step"},
        {a.getStepForDeviation(0.0, 0.1), 2.0 * 100.0 * std::acos(1.0 - 0.001), 1e-12, "middle ordinate 0.1"},
        {a.getStepForDeviation(190.0, 1.0), 10.0, 1e-12, "capped by the rest of the arc"},
        {a.getStepForDeviation(50.0, 0.0), 150.0, 0.0, "deviation 0: the rest of the arc"},
        {zero.getStepForDeviation(10.0, 0.01), 40.0, 0.0, "radius 0: the rest of the arc"},
        {a.getStepForDeviation(200.0, 0.01), 0.0, 0.0, "at the end"},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.got, c.step, c.tol) << c.reason;
}

TEST(CurveArc, ShapeQueries)
{
    const CCurveDataArc quarter = arcData(10.0 * kPi / 2.0, 10.0), left = arcData(10.0 * kPi / 2.0, -10.0);
    CCurveDataArc longWay, bySign;
    const CMathAngle delta(-90.0);
    longWay.setCAngleR(delta, 10.0, true);   // -90 degrees on a right-hand arc: the long way about
    bySign.setCAngleR(delta, 10.0);          // without a side the sign of the angle decides
    struct Case { double got, expected, tol; const char* reason; };
    const Case cases[] = {
        {quarter.getChordLength(), 14.14214, 5e-6, "chord"}, {quarter.getFinalNorthing(), 10.0, 1e-12, "end north"},
        {quarter.getFinalEasting(), 10.0, 1e-12, "end east"},
        {quarter.getFinalAzimutInRad(), kPi / 2.0, 1e-15, "end direction"},
        {quarter.GetAzimuth(10.0 * kPi / 4.0), 45.0, 1e-12, "direction halfway"},
        {left.getChordLength(), 14.14214, 5e-6, "chord of a left arc"},
        {left.getFinalEasting(), -10.0, 1e-12, "end east of a left arc"},
        {longWay.getTotalLength(), 15.0 * kPi, 1e-12, "long way: length"},
        {longWay.getFinalNorthing(), -10.0, 1e-12, "long way: end north"},
        {longWay.getFinalEasting(), 10.0, 1e-12, "long way: end east"},
        {bySign.getTotalLength(), 5.0 * kPi, 1e-12, "by sign: length"},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.got, c.expected, c.tol) << c.reason;
    EXPECT_TRUE(left.isToTheLeft());
    EXPECT_LT(bySign.getRadius(), 0.0);
}

// ---- Placement -------------------------------------------------------------------------------

TEST(CurvePlacement, RotatesAndMovesTheLocalFrame)
{
    // A right-hand quarter circle of radius 100 placed at (1000, 2000) heading east: it ends
    // heading south at (900, 2100); its centre is (900, 2000).
    COrgAzCurveT<CCurveDataArc> placed;
    placed.setOrgAz(1000.0, 2000.0, CMathAngle(90.0));
    placed.getCurve().SetElement(50.0 * kPi, 100.0, true);
    ASSERT_TRUE(placed.isok());
    CMathAngle final;
    double n, e, dist, len;
    const double r = std::sqrt(0.5);
    ASSERT_TRUE(placed.getFinalAzimut(final) && placed.getPosAtLength(50.0 * kPi, n, e));
    ASSERT_TRUE(placed.getShortestDistAndCurveLen(900.0 + 90.0 * r, 2000.0 + 90.0 * r, dist, len));
    struct Case { double got, expected; const char* reason; };
    const Case cases[] = {
        {placed.getFinalNorthing(), 900.0, "end north"}, {placed.getFinalEasting(), 2100.0, "end east"},
        {final.getDeg(), 180.0, "end direction"}, {n, 900.0, "north at L"}, {e, 2100.0, "east at L"},
        {placed.getAzimuthAtLength(25.0 * kPi), 135.0, "direction halfway"},
        {dist, 10.0, "10 m inside the middle: distance"}, {len, 25.0 * kPi, "10 m inside the middle: length"},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.got, c.expected, 1e-9) << c.reason;
    // Without an origin nothing is answered.
    placed.resetOrgAz();
    EXPECT_FALSE(placed.isOrgAzOk());
    EXPECT_FALSE(placed.getPosAtLength(1.0, n, e));
    EXPECT_FALSE(placed.getShortestDistAndCurveLen(0.0, 0.0, dist, len));
    EXPECT_FALSE(placed.getStartAzimut(final));
    EXPECT_EQ(final.getRad(), 0.0);
}

// ---- Properties over random arcs -------------------------------------------------------------

// Placed arcs of 20 m to 2 km radius (log-uniform) on either side: the chord of a circle points
// exactly along the tangent at its middle; nearest point inverts position at length; the
// mirror image has mirrored positions; sampling keeps every chord within the deviation.
TEST(CurveArcProperties, RandomArcs)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 300; ++i) {
        const double R = 20.0 * std::pow(100.0, unit(rng)), L = std::min(R * (0.1 + 4.0 * unit(rng)), 600.0);
        const std::string name = "arc " + std::to_string(i);
        COrgAzCurveT<CCurveDataArc> placed;
        placed.setOrgAz(5000.0 * unit(rng), -3000.0 * unit(rng), CMathAngle(360.0 * unit(rng) - 180.0));
        placed.getCurve().SetElement(L, R, i % 2 == 0);
        if (L >= 3.0) {
            const double l = 1.0 + (L - 2.0) * unit(rng), d = std::min(5.0, R / 50.0) * (2.0 * unit(rng) - 1.0);
            expectAzimuthAndNearest(placedView(placed), l, 0.25, 1e-9, d, 1e-6, name);
        }
        const CCurveDataArc right = arcData(L, R), left = arcData(L, -R);
        for (double f : {0.0, 0.3, 0.7, 1.0}) {
            double nr, er, nl, el;
            ASSERT_TRUE(right.getPosAtLength(f * L, nr, er) && left.getPosAtLength(f * L, nl, el)) << name;
            EXPECT_TRUE(nr == nl && er == -el) << name << " at " << f;
        }
        EXPECT_EQ(right.GetAzimuth(0.5 * L), -left.GetAzimuth(0.5 * L)) << name;
        if (i % 5 == 0)
            expectChordsWithin(placedView(placed), 0.001 * std::pow(1000.0, unit(rng)), 1, name);   // 1 mm to 1 m
    }
}
