// Whole numbers from outside doubles. A conversion of a double to an integer type is undefined
// when the value does not fit (a NaN, an infinity, or 1e300 typed for an angle), so every
// formatter that splits a value into whole parts goes through these.
#pragma once

#include <climits>
#include <cmath>

// x truncated towards zero, held inside the int range: beyond it the nearer limit, and 0 for a
// NaN. Callers that must refuse such values check std::isfinite and the range first; the
// formatters print the limits, so a wild value shows as an obviously wild text.
inline int truncToInt(double x)
{
    if (std::isnan(x))
        return 0;
    if (x <= static_cast<double>(INT_MIN))
        return INT_MIN;
    if (x >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(x);
}

// True when x truncated towards zero fits an int, so truncToInt(x) is its exact whole part.
inline bool fitsInt(double x)
{
    return x > static_cast<double>(INT_MIN) - 1.0 && x < static_cast<double>(INT_MAX) + 1.0;
}
