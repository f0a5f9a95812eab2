// Shared helpers of the test programs.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

namespace testutil {

// Maps a double onto a signed integer line on which neighbouring doubles are neighbouring
// integers, +0 and -0 both map to 0, and negative values lie below zero.
inline std::int64_t orderedBits(double x)
{
    std::int64_t i;
    std::memcpy(&i, &x, sizeof i);
    return i < 0 ? std::numeric_limits<std::int64_t>::min() - i : i;
}

// Number of representable doubles between a and b (0 for equal values, +0 vs -0 included).
inline std::uint64_t ulpDistance(double a, double b)
{
    const std::int64_t ia = orderedBits(a);
    const std::int64_t ib = orderedBits(b);
    return ia >= ib ? static_cast<std::uint64_t>(ia) - static_cast<std::uint64_t>(ib)
                    : static_cast<std::uint64_t>(ib) - static_cast<std::uint64_t>(ia);
}

} // namespace testutil

// Success when `actual` lies within `ulps` units in the last place of `expected`. +0 and -0
// count as equal; two NaNs (any payload) count as equal, a NaN against a number never does;
// an infinity only matches the same infinity.
inline ::testing::AssertionResult nearUlps(double actual, double expected, int ulps = 2)
{
    char text[160];
    if (std::isnan(actual) || std::isnan(expected)) {
        if (std::isnan(actual) && std::isnan(expected))
            return ::testing::AssertionSuccess();
        std::snprintf(text, sizeof text, "actual %.17g, expected %.17g", actual, expected);
        return ::testing::AssertionFailure() << text;
    }
    if ((std::isinf(actual) || std::isinf(expected)) && actual != expected) {
        std::snprintf(text, sizeof text, "actual %.17g, expected %.17g", actual, expected);
        return ::testing::AssertionFailure() << text;
    }
    const std::uint64_t distance = testutil::ulpDistance(actual, expected);
    if (distance <= static_cast<std::uint64_t>(ulps < 0 ? 0 : ulps))
        return ::testing::AssertionSuccess();
    std::snprintf(text, sizeof text, "actual %.17g, expected %.17g (%llu ulps apart, %d allowed)",
                  actual, expected, static_cast<unsigned long long>(distance), ulps);
    return ::testing::AssertionFailure() << text;
}
