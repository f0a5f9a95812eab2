#include "numeric/fixedDecimals.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

const double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
const std::uint64_t kPow10Whole[] = {1ull,           10ull,           100ull,           1000ull,
                                     10000ull,       100000ull,       1000000ull,       10000000ull,
                                     100000000ull,   1000000000ull,   10000000000ull,   100000000000ull,
                                     1000000000000ull};
const int kMostFastDecimals = 12;
// Below this the whole part is an exact 64-bit integer and the scaled fraction's rounding
// error is far below the tie margin.
const double kLargestFast = 9e15;
// The scaled fraction's error is below 1e12 * 2^-53 (1.2e-4): a remainder farther than this
// from one half rounds the same way as the exact value.
const double kTieMargin = 1e-3;

char* viaToChars(char* first, char* last, double value, int decimals)
{
    const std::to_chars_result r = std::to_chars(first, last, value, std::chars_format::fixed, decimals);
    return r.ec == std::errc() ? r.ptr : nullptr;
}

} // namespace

char* WriteFixedDecimals(char* first, char* last, double value, int decimals)
{
    const double x = std::fabs(value);
    if (decimals < 0 || decimals > kMostFastDecimals || !(x < kLargestFast))
        return viaToChars(first, last, value, decimals);
    // Truncation is the floor here (x >= 0), without a call; both differences are exact. The
    // conversions are signed (x < 2^63): one instruction each.
    std::uint64_t whole = static_cast<std::uint64_t>(static_cast<std::int64_t>(x));
    const double scaled = (x - static_cast<double>(whole)) * kPow10[decimals];
    const std::int64_t below = static_cast<std::int64_t>(scaled);
    const double rest = scaled - static_cast<double>(below);
    if (std::fabs(rest - 0.5) < kTieMargin)
        return viaToChars(first, last, value, decimals);
    std::uint64_t digits = static_cast<std::uint64_t>(below) + (rest > 0.5 ? 1u : 0u);
    if (digits == kPow10Whole[decimals]) {   // 0.9999... rounds up to the next whole
        digits = 0;
        ++whole;
    }
    char* p = first;
    if (p == last)
        return nullptr;
    *p = '-';
    p += std::signbit(value);   // without a branch: signs of offsets are a coin toss
    const std::to_chars_result w = std::to_chars(p, last, whole);
    if (w.ec != std::errc() || last - w.ptr < decimals + (decimals > 0 ? 1 : 0))
        return nullptr;
    p = w.ptr;
    if (decimals == 0)
        return p;
    *p++ = '.';
    // Two digits a step from the right, in 32 bits: the low six digits, then the rest.
    static const char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    int k = decimals;
    for (int part = 0; part < 2 && k > 0; ++part) {
        std::uint32_t six = static_cast<std::uint32_t>(digits % 1000000u);
        digits /= 1000000u;
        for (int n = 0; n < 3 && k > 0; ++n) {
            if (k == 1) {   // the first decimal of an odd count
                p[0] = static_cast<char>('0' + six % 10u);
                k = 0;
                break;
            }
            const std::uint32_t pair = six % 100u;
            six /= 100u;
            p[k - 2] = kPairs[2 * pair];
            p[k - 1] = kPairs[2 * pair + 1];
            k -= 2;
        }
    }
    return p + decimals;
}
