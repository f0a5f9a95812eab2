// Tests of the total-station direction and inverse tasks, plain and corrected.
#include "cogo/gridToGround.h"
#include "cogo/instrumentTasks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

struct Obs {
    double v[3];
};

double mod360Diff(double a, double b)
{
    return std::fabs(std::remainder(a - b, 360.0));
}

TEST(TaskDirection, WorkedValues)
{
    struct Case {
        const char* name;
        double stn[3], orientation, dh, obs[3], expected[3];
    } cases[] = {
        {"east 10 m", {1000, 2000, 100}, 0, 0, {90, 90, 10}, {1000, 2010, 100}},
        {"azimuth 350 + 20 reduced to 10", {1000, 2000, 100}, 20, 0, {350, 90, 10},
         {1009.848077530122, 2001.7364817766693, 100}},
        {"instrument above target", {0, 0, 0}, 0, 1.5, {0, 90, 10}, {10, 0, 1.5}},
        {"steep sight", {0, 0, 0}, 0, 0, {0, 45, std::sqrt(2.0)}, {1, 0, 1}},
    };
    for (const Case& c : cases) {
        double out[3];
        TaskDirection(c.stn, c.orientation, c.dh, c.obs, out, nullptr);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(out[i], c.expected[i], 1e-9) << c.name << " coordinate " << i;
    }
    // The backsight form is the same with orientation bsAz - bsHA.
    const double stn[3] = {1000, 2000, 100}, obs[3] = {350, 90, 10};
    double a[3], b[3];
    TaskDirection(stn, 30.0, 10.0, 0.0, obs, a, nullptr);
    TaskDirection(stn, 20.0, 0.0, obs, b, nullptr);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(a[i], b[i]);
}

TEST(TaskDirection, AccuracyIsQuadraticSumOfPpmAndConstant)
{
    // hypot(3 ppm x SD, 3 mm), not 3 mm + 3 ppm, combined with the 5" and 10" angle terms.
    const double stn[3] = {0, 0, 0}, obs[3] = {0, 90, 1000};
    double out[3], acc[2];
    TaskDirection(stn, 0.0, 0.0, obs, out, acc);
    EXPECT_NEAR(acc[0], 0.0246091609, 1e-10);
    EXPECT_NEAR(acc[1], 0.0486666538, 1e-10);
    TSceTaskDirection(stn, 0.0, 0.0, 0.0, obs, 1.0, 0.0, out, 1, acc);
    EXPECT_NEAR(acc[0], 0.0246091609, 1e-10);
}

TEST(TaskInverse, WorkedValues)
{
    struct Case {
        const char* name;
        double stn[3], orientation, dh, tgt[3], expected[3];
    } cases[] = {
        {"10 m north, 1 m up", {0, 0, 0}, 0, 0, {10, 0, 1}, {0, 84.2894068625, 10.0498756211}},
        // orientation 10 - 350 = -340, azimuth 200: 200 + 340 = 540, raised once only.
        {"HA above 360 kept", {0, 0, 0}, -340, 0, {-10 * std::cos(20 * M_PI / 180), -10 * std::sin(20 * M_PI / 180), 0},
         {540, 90, 10}},
        {"negative HA raised once", {0, 0, 0}, 90, 0, {10, 0, 0}, {270, 90, 10}},
        {"target on the vertical above", {5, 5, 0}, 30, 0, {5, 5, 3}, {330, 0, 3}},
        {"target on the vertical below", {5, 5, 0}, -30, 0, {5, 5, -3}, {30, 180, 3}},
        {"dh lowers the target", {0, 0, 0}, 0, 1, {10, 0, 1}, {0, 90, 10}},
    };
    for (const Case& c : cases) {
        double out[3];
        TaskInverse(c.stn, c.orientation, c.dh, c.tgt, out);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(out[i], c.expected[i], 1e-9) << c.name << " value " << i;
    }
    const double stn[3] = {0, 0, 0}, tgt[3] = {-9.396926207859083, -3.420201433256687, 0};
    double out[3];
    TaskInverse(stn, 10.0, 350.0, 0.0, tgt, out);
    EXPECT_NEAR(out[0], 540.0, 1e-9) << "backsight form";
}

TEST(TaskDirectionInverse, RoundTripsOverRandomObservations)
{
    std::mt19937_64 rng(30);
    std::uniform_real_distribution<double> coord(-10000, 10000), orient(-359.999, 359.999), ha(0, 360),
        za(1, 179), sd(1, 3000), dh(-2, 2);
    for (int k = 0; k < 2000; ++k) {
        const double stn[3] = {coord(rng), coord(rng), coord(rng) / 10};
        const double o = orient(rng), d = dh(rng);
        const double obs[3] = {ha(rng), za(rng), sd(rng)};
        const std::string name = "case " + std::to_string(k);
        double p[3], back[3], again[3];
        TaskDirection(stn, o, d, obs, p, nullptr);
        TaskInverse(stn, o, d, p, back);
        EXPECT_LT(mod360Diff(back[0], obs[0]), 1e-8) << name;
        EXPECT_NEAR(back[1], obs[1], 1e-8) << name;
        EXPECT_NEAR(back[2], obs[2], 1e-9) << name;
        TaskDirection(stn, o, d, back, again, nullptr);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(again[i], p[i], 1e-9) << name;
        // Face two: HA + 180, 360 - ZA reaches the same point.
        const double face2[3] = {obs[0] + 180.0 >= 360.0 ? obs[0] - 180.0 : obs[0] + 180.0, 360.0 - obs[1], obs[2]};
        TaskDirection(stn, o, d, face2, again, nullptr);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(again[i], p[i], 1e-9) << name << " face two";
    }
}

TEST(TSceTaskDirection, CurvatureAndRefractionOverLevelKilometre)
{
    const double stn[3] = {0, 0, 100}, obs[3] = {0, 90, 1000};
    struct Case {
        short mode;
        double dHeight;
    } cases[] = {
        {0, 0.0},
        {1, (1 - 0.14) * 1e6 / (2 * 6371000.0)},   // 0.0674933291
        {7, (1 - 0.14) * 1e6 / (2 * 6371000.0)},
        {2, (1 - 0.2) * 1e6 / (2 * 6371000.0)},
    };
    for (const Case& c : cases) {
        double out[3];
        TSceTaskDirection(stn, 0.0, 0.0, 0.0, obs, 1.0, 0.0, out, c.mode, nullptr);
        EXPECT_NEAR(out[2] - 100.0, c.dHeight, 1e-12) << "mode " << c.mode;
        EXPECT_NEAR(out[0], 1000.0, 1e-9) << "mode " << c.mode;
    }
    double out[3];
    TSceTaskDirection(stn, 0.0, 0.0, 0.0, obs, 1.0, 0.0, out, 1, nullptr);
    EXPECT_NEAR(out[2] - 100.0, 0.0674933291, 1e-10);
}

TEST(TSceInverse, LevelLinesAndPlainEquivalence)
{
    const double stn[3] = {0, 0, 50};
    // Equal heights 1000 m apart: ZA 90 and SD 1000 in every mode (the literal root
    // (sin z - sqrt q) 2R / (c sin 2z) would give 0 / 0 here).
    for (short mode : {0, 1, 2}) {
        const double tgt[3] = {1000, 0, 50};
        double out[3] = {0, 0, 0};
        TSceInverse(stn, 0.0, 0.0, 0.0, 1.0, 0.0, tgt, true, true, mode, out);
        EXPECT_EQ(out[0], 90.0) << "mode " << mode;
        EXPECT_NEAR(out[2], 1000.0, 1e-9) << "mode " << mode;
    }
    // Nearly level: no cancellation (the literal form gives 1140.93 m for dH = 1e-9 m).
    {
        const double tgt[3] = {1000, 0, 50 + 1e-9};
        double out[3];
        TSceInverse(stn, 0.0, 0.0, 0.0, 1.0, 0.0, tgt, true, true, 1, out);
        EXPECT_NEAR(out[2], 1000.0, 1e-6);
    }
    // Mode 0, scale 1, elevation 0 reproduces the plain inverse (ZA first).
    const double tgt[3] = {30, -40, 57};
    double plain[3], sce[3];
    TaskInverse(stn, 25.0, 1.5 - 1.2, tgt, plain);
    TSceInverse(stn, 25.0, 1.5, 1.2, 1.0, 0.0, tgt, true, true, 0, sce);
    EXPECT_NEAR(sce[1], plain[0], 1e-12);
    EXPECT_NEAR(sce[0], plain[1], 1e-12);
    EXPECT_NEAR(sce[2], plain[2], 1e-12);
    // computeHA and computeZA false leave out[1] and use out[0] as given.
    double kept[3] = {80.0, 123.0, 0.0};
    TSceInverse(stn, 0.0, 0.0, 0.0, 1.0, 0.0, tgt, false, false, 0, kept);
    EXPECT_EQ(kept[1], 123.0);
    EXPECT_EQ(kept[0], 80.0);
    // A target on the vertical gives HA = orientation (literal, unlike TaskInverse).
    const double above[3] = {0, 0, 60};
    TSceInverse(stn, 33.0, 0.0, 0.0, 1.0, 0.0, above, true, true, 1, kept);
    EXPECT_EQ(kept[1], 33.0);
    EXPECT_EQ(kept[0], 0.0);
    EXPECT_NEAR(kept[2], 0.0, 1e-12);
}

TEST(TSceTaskDirectionInverse, RoundTripsOverRandomObservations)
{
    std::mt19937_64 rng(31);
    std::uniform_real_distribution<double> coord(-10000, 10000), orient(-359.999, 359.999), ha(0, 360),
        za(1, 179), sd(1, 3000), scale(0.9996, 1.0004), elev(0, 3000), hgt(0, 2);
    for (int k = 0; k < 3000; ++k) {
        const short mode = static_cast<short>(k % 3);
        const double stn[3] = {coord(rng), coord(rng), coord(rng) / 10};
        const double o = orient(rng), s = scale(rng), e = elev(rng), hi = hgt(rng), ht = hgt(rng);
        const double obs[3] = {ha(rng), za(rng), sd(rng)};
        const std::string name = "case " + std::to_string(k) + " mode " + std::to_string(mode);
        double p[3];
        TSceTaskDirection(stn, o, hi, ht, obs, s, e, p, mode, nullptr);
        double back[3] = {obs[1], 0.0, 0.0};
        TSceInverse(stn, o, hi, ht, s, e, p, true, false, mode, back);
        EXPECT_LT(mod360Diff(back[1], obs[0]), 1e-8) << name;
        EXPECT_NEAR(back[2], obs[2], 1e-9) << name;
        // ECRFCorrections with k gives the corrected direction's horizontal and vertical parts.
        if (mode != 0) {
            double sdC = obs[2], zaC = obs[1];
            ECRFCorrections(sdC, zaC, true, true, RefractionOfMode(mode));
            double plain[3];
            const double corrected[3] = {obs[0], zaC, sdC};
            TaskDirection(stn, o, hi - ht, corrected, plain, nullptr);
            double unscaled[3];
            TSceTaskDirection(stn, o, hi, ht, obs, 1.0, 0.0, unscaled, mode, nullptr);
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(plain[i], unscaled[i], 1e-9) << name << " ECRF coordinate " << i;
        }
    }
}

TEST(HAZDSDtoHAHDVD, SplitsTheSlopeDistance)
{
    const double obs[3] = {12.5, 60.0, 10.0};
    double out[3];
    HAZDSDtoHAHDVD(obs, out);
    EXPECT_EQ(out[0], 12.5);
    EXPECT_NEAR(out[1], 10 * std::sqrt(3.0) / 2, 1e-12);
    EXPECT_NEAR(out[2], 5.0, 1e-12);
}

TEST(GetRadius, TangentAndItsFallback)
{
    const double obs[3] = {0, 90, 20};
    double r = 0;
    GetRadius(45.0, obs, &r);
    EXPECT_NEAR(r, 20.0, 1e-12);
    GetRadius(90.0, obs, &r);   // cos 90 about 6e-17: the sine form
    EXPECT_NEAR(r, 20.0, 1e-12);
    GetRadius(0.0, obs, &r);
    EXPECT_EQ(r, 0.0);
}

} // namespace
