#include "numeric/fixedDecimals.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace {

std::string reference(double v, int decimals)
{
    char buf[400];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    return std::string(buf, r.ptr);
}

std::string fast(double v, int decimals)
{
    char buf[400];
    char* end = WriteFixedDecimals(buf, buf + sizeof buf, v, decimals);
    return end ? std::string(buf, end) : std::string("<none>");
}

} // namespace

// Values at the edges of the fast way: carries into the whole part, exact ties (1/1024 is
// 0.0009765625: a tie at 9 decimals), a negative zero and negative values that round to zero,
// the largest fast whole part and the first beyond it, values that cannot take it.
TEST(FixedDecimals, EdgesAsToChars)
{
    const double cases[] = {0.0, -0.0, 0.5, 1.5, 2.5, -0.5, 0.9999999999, 9.9999999996, -9.9999999996,
                            0.0009765625, 1.0009765625, -0.0009765625, 0.125, 0.375, 1e-10, -1e-10,
                            4e-10, 5e-10, 6e-10, 1234567.8912345678, 6543210.482, 8999999999999999.0,
                            9e15, 9.000000000000002e15, 1e300, -1e300, 5e-324,
                            std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN()};
    for (const double v : cases)
        for (int d = 0; d <= 14; ++d)
            EXPECT_EQ(fast(v, d), reference(v, d)) << v << " with " << d << " decimals";
}

// Random values of every size a road answer has (and far beyond), every decimal count the
// tools use, and values one unit in the last place either side of a decimal half.
TEST(FixedDecimals, RandomValuesAsToChars)
{
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-12, 16), decimals(0, 12);
    for (int i = 0; i < 300000; ++i) {
        const int d = decimals(rng);
        double v = mantissa(rng) * std::pow(10.0, exponent(rng));
        if (i % 3 == 0)   // near a half of the last decimal
            v = std::nextafter((std::floor(v * std::pow(10.0, d)) + 0.5) / std::pow(10.0, d), i % 2 ? 1e300 : -1e300);
        ASSERT_EQ(fast(v, d), reference(v, d)) << v << " with " << d << " decimals";
    }
}

// A buffer too short for the text gives no text, whichever way it is written.
TEST(FixedDecimals, ShortBuffer)
{
    char buf[8];
    EXPECT_EQ(WriteFixedDecimals(buf, buf + sizeof buf, 1234.5678, 4), nullptr);   // 9 characters
    EXPECT_NE(WriteFixedDecimals(buf, buf + sizeof buf, 123.5678, 4), nullptr);    // 8
    EXPECT_EQ(WriteFixedDecimals(buf, buf + sizeof buf, -123.5678, 4), nullptr);
    EXPECT_EQ(WriteFixedDecimals(buf, buf, 0.0, 0), nullptr);
}
