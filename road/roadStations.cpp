#include "road/roadStations.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

const double kInf = std::numeric_limits<double>::infinity();
// Two internal stations closer than this (metres) are one point.
const double kSamePoint = 1e-9;

std::string number(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

} // namespace

RoadStationing::RoadStationing(const RoadAlignment& a, double metresPerUnit)
{
    const double start = a.staStart * metresPerUnit;
    m_regions.assign(1, Region{start, start, kInf});
    for (const RoadStaEquation& q : a.equations) {
        const Equation e{q.staInternal * metresPerUnit, q.staBack * metresPerUnit, q.staAhead * metresPerUnit};
        m_equations.push_back(e);
        if (e.internal <= start) {
            // At or before the start: the posted station of the start.
            m_regions.front().posted = e.ahead + (start - e.internal);
            continue;
        }
        const Region& back = m_regions.back();
        const double own = back.posted + (e.internal - back.internal);
        if (!std::isnan(e.back) && std::fabs(e.back - own) > kRoadStationMismatch)
            m_mismatches.push_back("line " + std::to_string(q.line) + ": the station equation's back station " +
                                   number(e.back) + " m disagrees with the station there, " + number(own) +
                                   " m; the stations follow staInternal and staAhead");
        m_regions.back().nextInternal = e.internal;
        m_regions.push_back(Region{e.internal, e.ahead, kInf});
    }
    m_mayShare = overlapping();
}

bool RoadStationing::overlapping() const
{
    // The posted stations of each region (the first runs back without end, the last on), a
    // micrometre wider against the rounding of isShared's candidate stations: regions whose
    // ranges do not meet cannot share a station.
    const double widen = 1e-6;
    for (size_t j = 0; j < m_regions.size(); ++j)
        for (size_t k = j + 1; k < m_regions.size(); ++k) {
            const Region& a = m_regions[j];
            const Region& b = m_regions[k];
            const double lo = std::max(j == 0 ? -kInf : a.posted, b.posted);
            const double hi = std::min(a.posted + (a.nextInternal - a.internal), b.posted + (b.nextInternal - b.internal));
            if (lo <= hi + widen)
                return true;
        }
    return false;
}

double RoadStationing::toPosted(double internal, int* region) const
{
    size_t k = 0;
    while (k + 1 < m_regions.size() && internal >= m_regions[k + 1].internal)
        ++k;
    if (region)
        *region = static_cast<int>(k) + 1;
    return m_regions[k].posted + (internal - m_regions[k].internal);
}

bool RoadStationing::toInternal(double posted, int region, double& internal, std::string& why) const
{
    const int count = regionCount();
    if (region > count) {
        why = "region " + std::to_string(region) + " does not exist (the alignment has " + std::to_string(count) +
              (count == 1 ? " region)" : " regions)");
        return false;
    }
    // Region k holds the posted stations from its start to the next region's start (both
    // included); the first region runs back and the last one on without end.
    int found = 0, firstRegion = 0, secondRegion = 0;
    double at = 0.0;
    for (int k = 0; k < count; ++k) {
        const Region& r = m_regions[static_cast<size_t>(k)];
        const double candidate = r.internal + (posted - r.posted);
        const bool inside = (k == 0 || candidate >= r.internal) && candidate <= r.nextInternal;
        if (!inside || (region != 0 && region != k + 1))
            continue;
        if (found > 0 && std::fabs(candidate - at) <= kSamePoint)
            continue;   // the end of one region is the start of the next
        if (found++ == 0) {
            at = candidate;
            firstRegion = k + 1;
        } else if (found == 2) {
            secondRegion = k + 1;
        }
    }
    if (found == 0) {
        why = region != 0 ? "region " + std::to_string(region) + " does not hold this station"
                          : "the station lies in the gap of a station equation";
        return false;
    }
    if (found > 1) {
        why = "regions " + std::to_string(firstRegion) + " and " + std::to_string(secondRegion) +
              " both hold this station (overlapping station equations): add @" + std::to_string(firstRegion) +
              " or @" + std::to_string(secondRegion);
        return false;
    }
    internal = at;
    return true;
}

bool RoadStationing::toInternal(double posted, double& internal) const
{
    std::string why;
    return toInternal(posted, 0, internal, why);
}

bool RoadStationing::isShared(double posted) const
{
    if (!m_mayShare)
        return false;
    // Distinct points of the alignment that carry this posted station.
    double first = 0.0;
    int holders = 0;
    for (int k = 0; k < regionCount(); ++k) {
        const Region& r = m_regions[static_cast<size_t>(k)];
        const double candidate = r.internal + (posted - r.posted);
        if (!((k == 0 || candidate >= r.internal) && candidate <= r.nextInternal))
            continue;
        if (holders == 0)
            first = candidate;
        else if (std::fabs(candidate - first) > kSamePoint)
            return true;
        ++holders;
    }
    return false;
}

void RoadForEachStation(const RoadStationing& st, double fromInternal, double fromPosted, double toInternal,
                        double toPosted, double every, double metresPerUnit,
                        const std::function<void(double internal, double posted)>& visit)
{
    // The grid runs in the caller's unit from the first station; a station met twice at the
    // same point (a region's end and the next one's start) comes once.
    const double a = fromPosted / metresPerUnit;
    const double eps = 1e-9;
    double lastPosted = NAN, lastInternal = NAN;
    auto emit = [&](double posted, double internal) {
        if (posted == lastPosted && std::fabs(internal - lastInternal) < kSamePoint)
            return;
        lastPosted = posted;
        lastInternal = internal;
        visit(internal, posted);
    };
    const std::vector<RoadStationing::Region>& regions = st.regions();
    for (size_t k = 0; k < regions.size(); ++k) {
        const RoadStationing::Region& r = regions[k];
        const double lo = k == 0 ? fromInternal : std::max(fromInternal, r.internal);
        const double hi = std::min(toInternal, r.nextInternal);
        if (lo > hi)
            continue;
        const double plo = (r.posted + (lo - r.internal)) / metresPerUnit;
        const double phi = (r.posted + (hi - r.internal)) / metresPerUnit;
        const double last = std::floor((phi - a) / every + eps);
        for (double m = std::ceil((plo - a) / every - eps); m <= last; ++m) {
            const double posted = (a + m * every) * metresPerUnit;
            emit(posted, r.internal + (posted - r.posted));
        }
    }
    if (!(lastInternal >= toInternal - kSamePoint))
        emit(toPosted, toInternal);
}
