// Tests of the coordinate-geometry transforms, the two-point inverse, frgeod and the
// point-to-line frame.
#include "cogo/cogoFunctions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

TEST(CogoTransforms, RotationScaleTranslate)
{
    // Rotation by angle1 - angle2: the point's azimuth from the pivot changes by that much.
    struct Case {
        const char* name;
        double n, e, a1, a2, expectN, expectE;
    } cases[] = {
        {"north to east", 110, 200, 90, 0, 100, 210},
        {"north to west", 110, 200, 0, 90, 100, 190},
        {"half turn", 110, 200, 180, 0, 90, 200},
        {"no turn", 110, 200, 45, 45, 110, 200},
    };
    for (const Case& c : cases) {
        double n = c.n, e = c.e;
        EXPECT_EQ(CogoFunctions::Rotation(100, 200, n, e, c.a1, c.a2), 0);
        EXPECT_NEAR(n, c.expectN, 1e-12) << c.name;
        EXPECT_NEAR(e, c.expectE, 1e-12) << c.name;
    }
    double n = 12, e = 14, h = 16;
    CogoFunctions::Scale(2.0, 10, 10, 10, 0, n, e, h);
    EXPECT_EQ(n, 14);
    EXPECT_EQ(e, 18);
    EXPECT_EQ(h, 16) << "height kept without withHeight";
    CogoFunctions::Scale(2.0, 10, 10, 10, 1, n, e, h);
    EXPECT_EQ(h, 22);
    CogoFunctions::Translate(1, 2, 3, n, e, h);
    EXPECT_EQ(n, 19);
    EXPECT_EQ(e, 28);
    EXPECT_EQ(h, 25);
    CogoFunctions::TranslateAzHdVd(90, 10, -5, n, e, h);
    EXPECT_NEAR(n, 19, 1e-12);
    EXPECT_NEAR(e, 38, 1e-12);
    EXPECT_EQ(h, 20);
}

TEST(TwoPointInverse, PlaneRecord)
{
    const double p1[3] = {100, 200, 10}, p2[3] = {130, 240, 15};
    double out[8];
    ASSERT_EQ(CogoFunctions::TwoPointInverse(false, p1, p2, false, out), 0);
    const double expected[8] = {std::atan2(40.0, 30.0) * 180 / M_PI, 50, 5, 30, 40, 5, 10, std::sqrt(2525.0)};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(out[i], expected[i], 1e-12) << "value " << i;
    // Curvature adds (sqrt(HD^2 + R^2) - R) x 0.86 to out[2] only; the grade stays uncorrected.
    ASSERT_EQ(CogoFunctions::TwoPointInverse(false, p1, p2, true, out), 0);
    // (sqrt(HD^2 + R^2) - R) = HD^2 / 2R to 1e-17 m at HD = 50 m.
    EXPECT_NEAR(out[2], 5 + 2500 / (2 * 6371000.0) * 0.86, 1e-14);
    EXPECT_EQ(out[5], 5);
    EXPECT_EQ(out[6], 10);
}

TEST(TwoPointInverse, CoincidentPointsWriteTheRecordAndFail)
{
    // The HD < 1e-5 m rule: 5 mm apart is an answer (the worked example's "-1" disagrees with the
    // algorithm; the algorithm holds), 0.005 mm apart is not.
    struct Case {
        double dE;
        int result;
    } cases[] = {{0.005, 0}, {0.000005, -1}, {0.0, -1}};
    for (const Case& c : cases) {
        const double p1[3] = {0, 0, 0}, p2[3] = {0, c.dE, 0.1};
        double out[8];
        for (double& v : out)
            v = 99;
        EXPECT_EQ(CogoFunctions::TwoPointInverse(false, p1, p2, true, out), c.result) << "dE " << c.dE;
        if (c.result == -1) {
            EXPECT_EQ(out[6], 0.0) << "grade 0 on failure";
            EXPECT_EQ(out[2], 0.1) << "no curvature on failure";
            EXPECT_NEAR(out[7], std::hypot(c.dE, 0.1), 1e-15);
        }
    }
}

TEST(TwoPointInverse, GeodeticLocalFrame)
{
    // Reference: GeographicLib's CartConvert -l 47 8 500 of "47.001 8.001 510" agrees to 1e-6 m.
    const double p1[3] = {47, 8, 500}, p2[3] = {47.001, 8.001, 510};
    double out[8];
    ASSERT_EQ(CogoFunctions::TwoPointInverse(true, p1, p2, false, out), 0);
    EXPECT_NEAR(out[4], 76.060650, 1e-6);
    EXPECT_NEAR(out[3], 111.180238, 1e-6);
    EXPECT_NEAR(out[5], 9.998577, 1e-6);
    EXPECT_NEAR(out[1], 134.708083, 1e-6);
    EXPECT_NEAR(out[7], 135.078641, 1e-6);
    EXPECT_NEAR(out[6], 7.422403, 1e-6);
    EXPECT_NEAR(out[0], std::atan2(out[4], out[3]) * 180 / M_PI, 1e-12);
}

TEST(Frgeod, KnownPointsAndDefaults)
{
    struct Case {
        const char* name;
        double a, rf, llh[3], xyz[3], tol;
    } cases[] = {
        {"origin", 6378137, 298.257223563, {0, 0, 0}, {6378137, 0, 0}, 1e-9},
        {"pole", 6378137, 298.257223563, {90, 0, 0}, {0, 0, 6356752.314245179}, 1e-6},
        // GeographicLib's CartConvert agrees to 1e-6 m.
        {"45 45 100", 6378137, 298.257223563, {45, 45, 100}, {3194469.145061, 3194469.145061, 4487419.119544}, 1e-6},
        {"a below 5e6 is WGS-84's", 0, 298.257223563, {0, 0, 0}, {6378137, 0, 0}, 1e-9},
    };
    for (const Case& c : cases) {
        double xyz[3];
        frgeod(c.a, c.rf, xyz, c.llh);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(xyz[i], c.xyz[i], c.tol) << c.name << " " << i;
    }
    // An inverse flattening below 0.1 is GRS 80's, not WGS-84's.
    const double pole[3] = {90, 0, 0};
    double grs[3], zero[3];
    frgeod(6378137, 298.257222101, grs, pole);
    frgeod(6378137, 0.0, zero, pole);
    EXPECT_EQ(zero[2], grs[2]);
    EXPECT_NEAR(zero[2], 6356752.314140347, 1e-6);
}

TEST(PointToLineFrame, RoundTripsAndSides)
{
    std::mt19937_64 rng(32);
    std::uniform_real_distribution<double> coord(-5000, 5000), az(0, 360);
    for (int k = 0; k < 1000; ++k) {
        const std::string name = "case " + std::to_string(k);
        const double p0[3] = {coord(rng), coord(rng), coord(rng) / 50};
        const double p1[3] = {coord(rng), coord(rng), 0};
        const double p[3] = {coord(rng), coord(rng), coord(rng) / 50};
        double ptl[3], back[3];
        ENCoordsToPtl(p0, p1, p, ptl);
        PtlToENCoords(p0, p1, ptl, back);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(back[i], p[i], 1e-9) << name;
        double same[3];
        LineProjection(p0, p1, p, same);
        EXPECT_EQ(same[0], ptl[0]);
        // A point right of the line has a positive offset.
        const double a = az(rng);
        double dE, dN, dU;
        const double right[3] = {37.0, 12.5, 3.0};
        PtlTodENU(right, a, dE, dN, dU);
        const double q[3] = {p0[0] + dN, p0[1] + dE, p0[2] + dU};
        ENCoordsToPtl(p0, a, q, ptl);
        EXPECT_NEAR(ptl[0], 37.0, 1e-9) << name;
        EXPECT_NEAR(ptl[1], 12.5, 1e-9) << name;
        EXPECT_NEAR(ptl[2], 3.0, 1e-9) << name;
    }
    const double p0[3] = {0, 0, 0};
    const double east[3] = {0, 5, 0};
    double ptl[3];
    ENCoordsToPtl(p0, 0.0, east, ptl);
    EXPECT_NEAR(ptl[0], 0.0, 1e-15);
    EXPECT_EQ(ptl[1], 5.0) << "east of a line running north is right";
}

} // namespace
