// C2dSegment: point distance and the segment meeting test; lineMeetParams.
#include "cogo/segment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

TEST(SegmentDistance, TableAndRandomOffsets)
{
    struct Case { C2dSegment seg; C2dPos p; double expected; const char* reason; };
    const C2dSegment east{{0, 0}, {0, 10}};  // runs due east
    const Case cases[] = {
        {east, {5, 5}, 5.0, "beside the middle"}, {east, {0, 15}, 5.0, "beyond the end: distance to the nearer end"},
        {east, {-4, 10}, 4.0, "level with the end, perpendicular foot on the end"},
        {east, {3, 14}, 5.0, "beyond the end, off the line: 3-4-5 to the end"}, {east, {0, 7}, 0.0, "on the segment"},
        {{{2, 2}, {2, 2}}, {5, 6}, 5.0, "zero-length segment: distance to its end"},
        {{{0, 0}, {6, 8}}, {8, -6}, 10.0, "slanted, perpendicular through the start"},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(c.seg.getDistance(c.p), c.expected, 1e-12) << c.reason;
        EXPECT_NEAR(C2dSegment({c.seg.end, c.seg.start}).getDistance(c.p), c.expected, 1e-12) << c.reason << " (reversed)";
    }
    // A point at a known offset across a segment, with its foot inside, lies at that distance;
    // moved beyond the end, its distance is the distance to the end.
    std::mt19937 rng(16);
    std::uniform_real_distribution<double> coord(-1000, 1000), frac(0, 1), off(-50, 50);
    for (int k = 0; k < 2000; ++k) {
        const C2dSegment s{{coord(rng), coord(rng)}, {coord(rng), coord(rng)}};
        const double len = getPosDistance(s.start, s.end);
        const double un = (s.end.north - s.start.north) / len, ue = (s.end.east - s.start.east) / len;
        const double f = frac(rng), c = off(rng);
        const C2dPos p{s.start.north + f * len * un - c * ue, s.start.east + f * len * ue + c * un};
        ASSERT_NEAR(s.getDistance(p), std::fabs(c), 1e-9) << "case " << k;
        const C2dPos beyond{p.north + 1.5 * len * un, p.east + 1.5 * len * ue};
        ASSERT_NEAR(s.getDistance(beyond), getPosDistance(beyond, s.end), 1e-9) << "case " << k;
    }
}

TEST(SegmentMeets, Table)
{
    struct Case { C2dSegment a, b; bool meets; C2dPos at; const char* reason; };
    const Case cases[] = {
        {{{0, 0}, {2, 2}}, {{0, 2}, {2, 0}}, true, {1, 1}, "crossing diagonals"},
        {{{0, 0}, {2, 0}}, {{2, 0}, {2, 5}}, true, {2, 0}, "touching end to end counts"},
        {{{0, 0}, {4, 0}}, {{2, 0}, {2, 5}}, true, {2, 0}, "T-junction on the first"},
        {{{0, 0}, {4, 0}}, {{2, 1}, {2, 5}}, false, {-99, -99}, "would meet beyond the second's start"},
        {{{0, 0}, {1, 1}}, {{0, 1}, {1, 2}}, false, {-99, -99}, "parallel"},
        {{{0, 0}, {4, 0}}, {{2, 0}, {6, 0}}, false, {-99, -99}, "collinear overlap is not a meeting"},
    };
    for (const Case& c : cases) {
        C2dPos at{-99, -99};
        EXPECT_EQ(c.a.meets(c.b, &at), c.meets) << c.reason;
        EXPECT_EQ(c.b.meets(c.a), c.meets) << c.reason << " (swapped)";
        EXPECT_TRUE(std::fabs(at.north - c.at.north) < 1e-12 && std::fabs(at.east - c.at.east) < 1e-12) << c.reason;
    }
    double s = 7, t = 7;
    EXPECT_FALSE(lineMeetParams({0, 0}, {1, 0}, {0, 1}, {1, 1e-13}, s, t)) << "parallel within tolerance";
    EXPECT_EQ(s, 7.0);
    ASSERT_TRUE(lineMeetParams({0, 0}, {1, 0}, {3, 1}, {0, -2}, s, t));
    EXPECT_TRUE(std::fabs(s - 3.0) < 1e-15 && std::fabs(t - 0.5) < 1e-15);
}

} // namespace
