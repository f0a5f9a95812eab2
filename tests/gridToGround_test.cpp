// Tests of the grid-to-ground factor and inverse, the curvature and refraction corrections,
// grid/ground distances and the offsets between points.
#include "cogo/gridToGround.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

TEST(TG2gParams, Factor)
{
    struct Case {
        const char* name;
        double factor, scale, height;
        int enabled;
        unsigned mode;
        double s, h, expected;
    } cases[] = {
        {"disabled", 1.5, 1, 500, 0, 2, 1, 0, 1.0},
        {"height, earth radius", 1, 1, 500, 1, 2, 1, 0, 1.000078480615288},
        {"height, given radius", 1, 1, 500, 1, 2, 1, 1000000, 1.0005},
        {"height and scale", 1, 0.5, 500, 1, 6, 1, 0, 2 * (500 / 6371000.0 + 1)},
        {"given s below 0.01 is 1", 1, 1, 500, 1, 2, 0.001, 0, 1.000078480615288},
        {"fixed factor", 1.25, 1, 0, 1, 1, 1, 0, 1.25},
        {"factor flag ignores scale", 1.25, 0.5, 0, 1, 5, 1, 0, 1.25},
        {"no flag", 1.25, 1, 0, 1, 4, 1, 0, 1.0},
    };
    for (const Case& c : cases) {
        TG2gParams p;
        p.factor = c.factor;
        p.scale = c.scale;
        p.height = c.height;
        p.enabled = c.enabled;
        p.mode = c.mode;
        EXPECT_DOUBLE_EQ(p.getFactor(c.s, c.h), c.expected) << c.name;
    }
}

TEST(TG2gParams, OlderFormIsConvertedOnFirstUseThroughConst)
{
    TG2gParams p;
    p.factor = 500.0;   // the older form's height
    p.scale = 7.0;
    p.enabled = 1;
    p.mode = 0;
    const TG2gParams& view = p;
    EXPECT_DOUBLE_EQ(view.getFactor(), 1.000078480615288);
    EXPECT_EQ(p.height, 500.0);
    EXPECT_EQ(p.factor, 1.0);
    EXPECT_EQ(p.scale, 1.0);
    EXPECT_EQ(p.mode, 2u);
    EXPECT_DOUBLE_EQ(view.getFactor(), 1.000078480615288) << "second use";
}

TEST(GridToGroundInverse, FactorApplied)
{
    TG2gParams p;
    p.height = 500;
    p.enabled = 1;
    p.mode = 2;
    const double p1[3] = {0, 0, 0}, p2[3] = {600, 800, 20};
    double out[8];
    ASSERT_EQ(CogoFunctions::TwoPointInverse(p1, p2, out, p, true), 0);
    EXPECT_NEAR(out[1], 1000.0784806, 1e-7);
    EXPECT_NEAR(out[3], 600 * 1.000078480615288, 1e-9);
    EXPECT_NEAR(out[4], 800 * 1.000078480615288, 1e-9);
    EXPECT_NEAR(out[6], 20 / out[1] * 100, 1e-12);
    ASSERT_EQ(CogoFunctions::TwoPointInverse(p1, p2, out, p, false), 0);
    EXPECT_NEAR(out[1], 1000.0, 1e-12);
    // Coinciding points: -1 and nothing written (unlike the plain form).
    double kept[8] = {5, 5, 5, 5, 5, 5, 5, 5};
    EXPECT_EQ(CogoFunctions::TwoPointInverse(p1, p1, kept, p, true), -1);
    for (double v : kept)
        EXPECT_EQ(v, 5);
}

TEST(ECRFCorrections, FlagsAndLevelSight)
{
    double sd = 1000, za = 90;
    ECRFCorrections(sd, za, false, false, 0.14);
    EXPECT_EQ(sd, 1000);
    EXPECT_EQ(za, 90);
    // Curvature only over a level kilometre: vertical sd x C = 1000^2 / 2R, horizontal unchanged.
    ECRFCorrections(sd, za, false, true, 0.14);
    const double v = 1e6 / (2 * 6371000.0);
    EXPECT_NEAR(sd, std::hypot(1000.0, v), 1e-12);
    EXPECT_NEAR(za, std::atan2(1000.0, v) * 180 / M_PI, 1e-12);
}

TEST(GridToGround, ScaleEitherWay)
{
    struct Case {
        double d, za, scale;
        int toGround;
        double expected;
    } cases[] = {
        {1000, 90, 0.9996, 0, 1000 / 0.9996},
        {1000, 90, 0.9996, 1, 1000 * 0.9996},
        {1000, 30, 1.0004, 1, 1000 * 1.0004},
        {1000, 0, 1.0004, 0, 1000 / 1.0004},   // sin za + 1e-40 multiplies and divides
    };
    for (const Case& c : cases) {
        double d = c.d;
        GridToGround(d, c.za, c.scale, c.toGround);
        EXPECT_NEAR(d, c.expected, 1e-9) << "za " << c.za << " toGround " << c.toGround;
    }
}

TEST(NeuOffsets, RoundTripOffTheVertical)
{
    std::mt19937_64 rng(33);
    std::uniform_real_distribution<double> coord(-5000, 5000), dz(-200, 200);
    for (int k = 0; k < 1000; ++k) {
        const std::string name = "case " + std::to_string(k);
        const double p0[3] = {coord(rng), coord(rng), dz(rng)};
        const double p1[3] = {coord(rng), coord(rng), dz(rng)};
        for (bool slope : {false, true}) {
            double off[3], back[3];
            GetOffsetFromNeuCoords(p0, p1, slope, off);
            OffsetNeuCoords(p0, off, slope, back);
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(back[i], p1[i], 1e-9) << name << (slope ? " slope" : " horizontal");
        }
    }
    // On the vertical the horizontal form loses the height difference.
    const double p0[3] = {0, 0, 0}, up[3] = {0, 0, 5};
    double off[3], back[3];
    GetOffsetFromNeuCoords(p0, up, false, off);
    EXPECT_EQ(off[1], 0.0);
    OffsetNeuCoords(p0, off, false, back);
    EXPECT_EQ(back[2], 0.0);
    GetOffsetFromNeuCoords(p0, up, true, off);
    OffsetNeuCoords(p0, off, true, back);
    EXPECT_EQ(back[2], 5.0);
}

} // namespace
