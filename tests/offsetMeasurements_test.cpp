// Tests of the offset measurements: hidden point, points beside a line, line meetings,
// corners, plane offsets and the offset observations.
#include "cogo/instrumentTasks.h"
#include "cogo/offsetMeasurements.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

::testing::AssertionResult near3(const double* a, const double* b, double tol)
{
    for (int i = 0; i < 3; ++i)
        if (!(std::fabs(a[i] - b[i]) <= tol))
            return ::testing::AssertionFailure()
                   << "(" << a[0] << ", " << a[1] << ", " << a[2] << ") vs (" << b[0] << ", " << b[1] << ", " << b[2] << ")";
    return ::testing::AssertionSuccess();
}

TEST(HiddenPoint, BeyondTheSecondPrism)
{
    const double p1[3] = {0, 0, 2}, p2[3] = {0, 0, 1};
    double out[3] = {9, 9, 9};
    ASSERT_EQ(HiddenPoint(p1, p2, 1.5, out), 1);
    const double foot[3] = {0, 0, -0.5};
    EXPECT_TRUE(near3(out, foot, 1e-12));
    // Coinciding prisms: 0 and a zero point.
    ASSERT_EQ(HiddenPoint(p1, p1, 1.5, out), 0);
    const double zero[3] = {0, 0, 0};
    EXPECT_TRUE(near3(out, zero, 0));
}

TEST(AlongAndPerp, QuarterTurnInTheNorthEastFrame)
{
    const double p1[3] = {0, 0, 0}, p2[3] = {10, 0, 0};
    double out[3] = {0, 0, 77};
    ASSERT_EQ(AlongAndPerp(p1, p2, 2.0, 3.0, out), 1);
    EXPECT_NEAR(out[0], 13.0, 1e-12);
    // The component formula turns north into east: `left` 2 lands east of a line running north.
    EXPECT_NEAR(out[1], 2.0, 1e-12);
    EXPECT_EQ(out[2], 77) << "height untouched";
    EXPECT_EQ(AlongAndPerp(p1, p1, 2.0, 3.0, out), 0);
}

TEST(LineOffset, AlongTheSlopingLineRightPositive)
{
    // A line rising 3 in 4: 5 m along it is 4 m in plan and 3 m up; right of north is east.
    const double p1[3] = {0, 0, 0}, p2[3] = {4, 0, 3};
    double out[3];
    ASSERT_EQ(LineOffset(p1, p2, 5.0, 2.0, 0.5, out), 1);
    const double expected[3] = {8, 2, 6.5};
    EXPECT_TRUE(near3(out, expected, 1e-12));
    // Observation form: the points from TaskDirection.
    const double stn[3] = {0, 0, 0};
    double obsOut[3];
    ASSERT_EQ(LineOffset(stn, 0.0, 0.0, 0.0, 0, 90, 0.0, 0, std::atan2(4.0, 3.0) * 180 / M_PI, 5.0, 5.0, 2.0, 0.5,
                         obsOut),
              1);
    EXPECT_TRUE(near3(obsOut, expected, 1e-12));
}

TEST(LineLine, PointsAndObservations)
{
    const double a1[3] = {0, 0, 10}, a2[3] = {0, 10, 20}, b1[3] = {-5, 5, 0}, b2[3] = {5, 5, 100};
    double out[3] = {7, 7, 7};
    ASSERT_EQ(LineLine(a1, a2, b1, b2, out), 1);
    const double expected[3] = {0, 5, 15};   // the height of line a only
    EXPECT_TRUE(near3(out, expected, 1e-12));
    // Beyond a2: extrapolated.
    const double c1[3] = {-5, 20, 0}, c2[3] = {5, 20, 0};
    ASSERT_EQ(LineLine(a1, a2, c1, c2, out), 1);
    EXPECT_NEAR(out[2], 30, 1e-12);
    // Parallel lines are degenerate: 0, out untouched.
    const double d1[3] = {3, 0, 0}, d2[3] = {3, 10, 0};
    double kept[3] = {7, 7, 7};
    EXPECT_EQ(LineLine(a1, a2, d1, d2, kept), 0);
    EXPECT_EQ(kept[0], 7);

    // Observation form from a station at the origin: heights of both lines averaged.
    const double stn[3] = {0, 0, 0};
    auto obsOf = [&](const double* p, double* obs) { TaskInverse(stn, 0.0, 0.0, p, obs); };
    double oa1[3], oa2[3], ob1[3], ob2[3];
    const double q1[3] = {10, 0, 10}, q2[3] = {10, 10, 20}, r1[3] = {5, 5, 0}, r2[3] = {15, 5, 100};
    obsOf(q1, oa1);
    obsOf(q2, oa2);
    obsOf(r1, ob1);
    obsOf(r2, ob2);
    ASSERT_EQ(LineLine(stn, 0.0, 0.0, 0.0, oa1, oa2, ob1, ob2, out), 1);
    const double mean[3] = {10, 5, (15 + 50) / 2.0};
    EXPECT_TRUE(near3(out, mean, 1e-9));
}

TEST(LineCorner, HeightCarriedFromTheNearerPoint)
{
    const double p1[3] = {0, 0, 10}, p2[3] = {0, 10, 11}, stn[3] = {10, 30, 0};
    struct Case {
        const char* name;
        double stnE, az;
        int result;
        double n, e, h;
    } cases[] = {
        {"south, 20 m beyond p2: the line's grade", 30, 180, 1, 0, 30, 13},
        {"between, nearer p1: mirrored", 2, 180, 1, 0, 2, 9.8},
        {"between, nearer p2: mirrored", 8, 180, 1, 0, 8, 11.2},
        {"beyond p1", -10, 180, 1, 0, -10, 9},
        {"line behind the sight", 30, 0, 0, 0, 0, 0},
        {"parallel", 30, 270, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const double s[3] = {stn[0], c.stnE, stn[2]};
        double out[3] = {-1, -1, -1};
        // bsAz 100, bsHA 100: the reading is the azimuth.
        EXPECT_EQ(LineCorner(s, 100.0, 100.0, 1.7, p1, p2, c.az, out), c.result) << c.name;
        if (c.result == 1) {
            const double expected[3] = {c.n, c.e, c.h};
            EXPECT_TRUE(near3(out, expected, 1e-9)) << c.name;
        } else {
            EXPECT_EQ(out[0], -1) << c.name << ": untouched";
        }
    }
    // The station on the line.
    const double onLine[3] = {0, 50, 0};
    double out[3];
    EXPECT_EQ(LineCorner(onLine, 0.0, 0.0, 0.0, p1, p2, 180.0, out), 0);
}

TEST(LineCorner, ObservationForm)
{
    const double stn[3] = {10, 30, 100};
    double o1[3], o2[3];
    const double p1[3] = {0, 0, 10}, p2[3] = {0, 10, 11};
    TaskInverse(stn, 0.0, 1.5, p1, o1);
    TaskInverse(stn, 0.0, 1.5, p2, o2);
    double out[3];
    // ZA 0: the line's height.
    ASSERT_EQ(LineCorner(stn, 0.0, 0.0, 1.5, o1[0], o1[1], o1[2], o2[0], o2[1], o2[2], 180.0, 0.0, 0.0, out), 1);
    const double expected[3] = {0, 30, 13};
    EXPECT_TRUE(near3(out, expected, 1e-9));
    // With a zenith angle: station height + HD cot ZA + the offset (10 m away, 45 deg: 10 up).
    ASSERT_EQ(LineCorner(stn, 0.0, 0.0, 1.5, o1[0], o1[1], o1[2], o2[0], o2[1], o2[2], 180.0, 45.0, 1.5, out), 1);
    EXPECT_NEAR(out[2], 111.5, 1e-9);
}

TEST(PlaneOffset, SightMeetsPlane)
{
    // The vertical plane north = 20.
    const double p1[3] = {20, 0, 0}, p2[3] = {20, 10, 0}, p3[3] = {20, 0, 10}, stn[3] = {0, 0, 100};
    struct Case {
        const char* name;
        double ha, za;
        int result;
        double expected[3];
    } cases[] = {
        {"level sight north", 0, 90, 1, {20, 0, 101.5}},
        {"45 deg right and up", 45, 45, 1, {20, 20, 101.5 + 20 * std::sqrt(2.0)}},
        {"pointing away", 180, 90, 0, {0, 0, 0}},
        {"parallel to the plane", 90, 90, 0, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        double out[3] = {0, 0, 0};
        EXPECT_EQ(PlaneOffset(stn, 0.0, 0.0, 1.5, p1, p2, p3, c.ha, c.za, out), c.result) << c.name;
        if (c.result) {
            EXPECT_TRUE(near3(out, c.expected, 1e-9)) << c.name;
        }
    }
    const double inPlane[3] = {20, 5, 0};
    double out[3];
    EXPECT_EQ(PlaneOffset(inPlane, 0.0, 0.0, 0.0, p1, p2, p3, 0.0, 90.0, out), 0) << "station in the plane";
    // Block form: the plane's points observed.
    double block[15] = {0, 0, 1.5};
    const double* pts[3] = {p1, p2, p3};
    for (int i = 0; i < 3; ++i)
        TaskInverse(stn, 0.0, 1.5, pts[i], block + 3 + 3 * i);
    block[12] = 45;
    block[13] = 45;
    ASSERT_EQ(PlaneOffset(stn, block, out), 1);
    EXPECT_TRUE(near3(out, cases[1].expected, 1e-9));
}

TEST(Offsets4TS, Kinds)
{
    const double stn[3] = {0, 0, 0};
    const double obs[3] = {0, 90, 100};
    struct Case {
        const char* name;
        int kind;
        double a, b, c;
        double expected[3];
    } cases[] = {
        {"no offset", 0, 5, 5, 5, {100, 0, -0.3}},
        {"unknown kind", 7, 5, 5, 5, {100, 0, -0.3}},
        {"horizontal angle", 1, 90, 0, 0, {0, 100, -0.3}},
        // The horizontal distance stays 100 and the target height counts as 0.
        {"horizontal and vertical angle", 2, 0, -45, 0, {100, 0, 100}},
        {"distances: 10 m across lands 10 m east", 3, 0, 10, 0, {100, 10, -0.3}},
        {"distances: along and up", 3, -20, 0, 2, {80, 0, 1.7}},
    };
    for (const Case& c : cases) {
        double out[3], corrected[3];
        Offsets4TS(stn, 0.0, 0.0, 0.0, 0.3, obs, out, static_cast<ETypeOffset>(c.kind), c.a, c.b, c.c, corrected);
        EXPECT_TRUE(near3(out, c.expected, 1e-9)) << c.name;
        double again[3];
        TaskDirection(stn, 0.0, c.kind == 2 ? 0.0 : -0.3, corrected, again, nullptr);
        EXPECT_TRUE(near3(again, out, 1e-9)) << c.name << ": corrected observation";
    }
    double out[3];
    Offsets4TS(stn, 0.0, 0.0, 0.0, 0.0, obs, out, OFFSET_DISTANCES, 0, 10, 0, nullptr);
    EXPECT_NEAR(out[1], 10, 1e-9) << "correctedObs may be null";
}

} // namespace
