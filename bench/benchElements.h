// Placed horizontal elements for the benchmarks' test roads.
#pragma once

#include "vrkmath/mathAlntHe.h"

namespace bench {

inline CAlntHeSegment segment(double len)
{
    CCurveDataSegment c;
    c.setLen(len);
    return CAlntHeSegment(c);
}

inline CAlntHeArc arc(double len, double radius, bool right)
{
    CCurveDataArc c;
    c.SetElement(len, radius, right);
    return CAlntHeArc(c);
}

// A spiral from a straight into `radius` (tssc) or out of it.
inline CAlntHeSpiral spiral(double len, double radius, bool right, bool tssc)
{
    CCurveDataSpiral c;
    c.setLenAndR(len, radius, right, tssc);
    return CAlntHeSpiral(c);
}

// A compound spiral from radius r1 to radius r2.
inline CAlntHeSpiral compoundSpiral(double len, double r1, double r2, bool right)
{
    CCurveDataSpiral c;
    c.setLenAndR(len, r1, r2, right);
    return CAlntHeSpiral(c);
}

} // namespace bench
