#include "road/roadDesignHeight.h"

#include <cmath>

namespace {

// A station this close to an end of the profile (metres) is at that end: the alignment's own
// end chainage is a sum of element lengths and may miss the last VIP by the rounding.
const double kEndSlack = 1e-6;

} // namespace

bool RoadProfileRange(const CAlnt& alnt, double& first, double& last)
{
    const int n = alnt.getNumOfVes();
    if (n == 0)
        return false;
    double start;
    if (!alnt.getVe(0)->getStartChainageInM(start))
        return false;
    first = start;
    last = alnt.getVe(n - 1)->getFinalChain();
    return std::isfinite(first) && std::isfinite(last) && last >= first;
}

RoadHeightKind RoadDesignHeight(const CAlnt& alnt, double station, bool extendGrades, double& height)
{
    double first, last, h;
    if (!std::isfinite(station) || !RoadProfileRange(alnt, first, last))
        return RoadHeightKind::None;
    if (station >= first - kEndSlack && station <= last + kEndSlack)
        return alnt.getPosHAtChain(station, h) ? (height = h, RoadHeightKind::Profile) : RoadHeightKind::None;
    if (!extendGrades || !alnt.getPosHAtChainExtr(station, h))
        return RoadHeightKind::None;
    height = h;
    return RoadHeightKind::Extended;
}

double RoadCutFill(double measured, double design)
{
    return measured - design;
}
