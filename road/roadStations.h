// Posted stations and internal chainage of a road alignment.
//
// Inside, the alignment engine measures along the alignment with one continuous chainage: the
// start station plus the length from the start (the file's "internal station"). The stations a
// surveyor reads and types are posted stations: station equations let them jump (a gap, where
// the ahead station exceeds the back station) or run back (an overlap, where some posted
// stations occur twice). Everything here is in metres.
//
// The mapping comes from each equation's internal and ahead station: from the equation on,
// posted = ahead + (internal - equation's internal). An equation at or before the alignment's
// start only sets the posted station of the start (km-post files put one at the zero post,
// which may lie before the start). The equations after the start divide the alignment into
// regions: region 1 runs from the start to the first of them, region k + 1 from the k-th on.
// Where an equation runs back, the posted stations it repeats lie in two regions; a station
// typed there needs its region ("STATION@K", road/roadStationText.h).
//
// An equation's back station is not used for the mapping. Exporters write it as NaN or leave
// it out (it then only marks where posted stations begin), and km-post files write there the
// distance from the previous post: where it disagrees with the back region's own station the
// mapping stays and the disagreement is reported (mismatches()).
#pragma once

#include "road/roadModel.h"

#include <functional>
#include <limits>
#include <string>
#include <vector>

class RoadStationing {
public:
    // No equations, start 0: posted and internal stations are the same.
    RoadStationing() = default;
    // From the alignment's start station and its equations (file units times metresPerUnit).
    // The equations' internal stations must be known and in order (the reader sees to it).
    RoadStationing(const RoadAlignment& a, double metresPerUnit);

    // The posted station at an internal chainage (before the start: on from the start's posted
    // station), and the region that holds it (1 before the first equation after the start).
    double toPosted(double internal, int* region = nullptr) const;

    // The internal chainage of a posted station. `region` 0: the one region that holds it;
    // K: region K. False, with `why`, for a station in the gap of an equation, one that two
    // regions hold without a region given (naming both), or a region that does not hold it or
    // does not exist. Before the start and beyond the end the first and last regions run on.
    bool toInternal(double posted, int region, double& internal, std::string& why) const;
    // As above without the reason.
    bool toInternal(double posted, double& internal) const;

    // True when more than one region holds the posted station (an overlap): its text then
    // carries its region.
    bool isShared(double posted) const;

    // The number of regions (1 + the equations after the start).
    int regionCount() const { return static_cast<int>(m_regions.size()); }

    // One region: internal and posted stations at its start (its end is the next region's
    // start; the last region runs to the alignment's end).
    struct Region {
        double internal;
        double posted;
        double nextInternal;   // +infinity for the last region
    };
    const std::vector<Region>& regions() const { return m_regions; }

    // One equation as the file states it (metres): internal, back (NaN when not given), ahead.
    struct Equation {
        double internal;
        double back;
        double ahead;
    };
    const std::vector<Equation>& equations() const { return m_equations; }

    // Equations whose back station disagrees with the back region's own station there by more
    // than kRoadStationMismatch, one message each ("line N: ...").
    const std::vector<std::string>& mismatches() const { return m_mismatches; }

private:
    bool overlapping() const;

    std::vector<Equation> m_equations;   // in the order of their internal stations
    std::vector<Region> m_regions{Region{0.0, 0.0, std::numeric_limits<double>::infinity()}};
    std::vector<std::string> m_mismatches;
    // Whether two regions may hold one posted station; false: isShared answers at once.
    bool m_mayShare = false;
};

// The posted stations of a range in the order of the road: from + k * every (in a unit of
// `metresPerUnit` metres, so that a foot range steps in whole feet) from the internal chainage
// `fromInternal` (posted `fromPosted`) to `toInternal` (posted `toPosted`), region by region:
// the stations an overlap repeats come once in each region, those in the gap of an equation are
// left out, and the last station `to` comes too. `visit` receives each station's internal
// chainage and posted station (metres). The caller bounds the count (stations / every).
void RoadForEachStation(const RoadStationing& st, double fromInternal, double fromPosted, double toInternal,
                        double toPosted, double every, double metresPerUnit,
                        const std::function<void(double internal, double posted)>& visit);

// Largest difference (metres) between an equation's back station and the back region's own
// station there that is taken for rounding.
const double kRoadStationMismatch = 0.001;
