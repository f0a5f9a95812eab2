// The "unset" double shared by the whole library.
//
// A double whose 64 bits are all ones (0xFFFFFFFFFFFFFFFF) means "no value given yet" or
// "cache not yet filled". The pattern is a quiet NaN, but no other NaN counts as unset: a NaN
// produced by arithmetic (0/0, sqrt(-1), ...) is an ordinary, set value. Test with isUnset(),
// never with std::isnan() or ==.
#pragma once

#include <cstdint>
#include <cstring>

// The all-ones bit pattern as a double.
inline double unsetDouble()
{
    const std::uint64_t bits = ~std::uint64_t(0);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// True exactly when all 64 bits of x are ones.
inline bool isUnset(double x)
{
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits == ~std::uint64_t(0);
}

// Marks x unset.
inline void setUnset(double& x)
{
    x = unsetDouble();
}
