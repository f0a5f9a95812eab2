// Height reductions between sensor, laser and mark, vertical and slant.
#include "devices/beamGridHeights.h"

#include "testUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace BeamGridParams;

namespace {

const double k2 = 0.083 * 0.083;

TEST(BeamGridHeights, Reductions)
{
    struct Case { const char* name; double got; double expected; };
    const Case cases[] = {
        {"sensor lens", ComputeSensorLenseHeight(1.5), 1.5 - 0.07},
        {"mark", ComputeTransmitterMarkHeight(1.65), 1.65 - 0.15},
        {"laser, vertical", ComputeTransmitterLaserHeight(1.2, true), 1.2 + 0.15},
        {"laser, vertical negative", ComputeTransmitterLaserHeight(-0.4, true), -0.4 + 0.15},
        {"laser, slant", ComputeTransmitterLaserHeight(1.2, false), std::sqrt(1.44 - k2) + 0.15},
        {"laser, slant negative", ComputeTransmitterLaserHeight(-1.2, false), -std::sqrt(1.44 - k2) + 0.15},
        {"offset, vertical", AddOffsetToMarkHeight(1.2, 0.3, true), 1.5},
        {"offset, slant", AddOffsetToMarkHeight(1.2, 0.3, false),
         std::sqrt(std::pow(std::sqrt(1.44 - k2) + 0.3, 2) + k2)},
        // The result takes the sign of the given height, not of the raised vertical component.
        {"offset, slant, sign of h", AddOffsetToMarkHeight(-1.2, 2.0, false),
         -std::sqrt(std::pow(-std::sqrt(1.44 - k2) + 2.0, 2) + k2)},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(nearUlps(c.got, c.expected)) << c.name;
}

// At and below the rim radius a slant height has no real vertical component: it is taken as 0
// (at the radius exactly, without rounding).
TEST(BeamGridHeights, SlantAtOrBelowTheRimRadiusHasVerticalZero)
{
    for (double h : {0.083, -0.083, 0.0, -0.0, 0.05, -0.05, 0.0829999}) {
        EXPECT_EQ(ComputeTransmitterLaserHeight(h, false), 0.15) << h;
        const double s = h < 0.0 ? -1.0 : 1.0;
        EXPECT_TRUE(nearUlps(AddOffsetToMarkHeight(h, 0.2, false), s * std::sqrt(0.04 + k2))) << h;
        EXPECT_TRUE(nearUlps(AddOffsetToMarkHeight(h, 0.0, false), s * 0.083)) << h;
    }
}

TEST(BeamGridHeights, ZeroOffsetKeepsASlantHeight)
{
    std::mt19937 rng(34);
    std::uniform_real_distribution<double> exponent(std::log(0.083), std::log(100.0));
    for (int i = 0; i < 2000; ++i) {
        const double h = (i % 2 ? -1.0 : 1.0) * (i < 2 ? 0.083 : std::exp(exponent(rng)));
        EXPECT_NEAR(AddOffsetToMarkHeight(h, 0.0, false), h, 1e-12) << h;
    }
}

// The raised slant height reduces to the laser height raised by the offset.
TEST(BeamGridHeights, RaisedSlantReducesToRaisedLaserHeight)
{
    std::mt19937 rng(35);
    std::uniform_real_distribution<double> height(0.083, 5.0), offset(0.0, 3.0);
    for (int i = 0; i < 500; ++i) {
        const double h = height(rng), o = offset(rng);
        const double raised = AddOffsetToMarkHeight(h, o, false);
        EXPECT_NEAR(ComputeTransmitterLaserHeight(raised, false), ComputeTransmitterLaserHeight(h, false) + o, 1e-12)
            << h << " " << o;
    }
}

} // namespace
