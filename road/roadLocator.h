// Stake-out and locate on a road alignment: the position at a station and offset, and the
// station and offset of a position (the nearest point of the alignment), exact to the
// engine's own positions.
//
// Units and frames: stations are the engine's internal (continuous) chainage in metres (see
// road/roadStations.h for posted stations); offsets in metres, positive to the right of the
// direction of increasing station; positions north/east in metres on the grid; azimuths in
// radians, clockwise from grid north.
//
// Beyond the ends: a station before the start or after the end lies on the straight extension
// of the first element's start tangent or of the last element's end tangent, and is flagged
// (RoadExtent). These answers are computed here from the end points and end directions, never
// through the engine's extrapolating queries, so that no query writes to the library log.
//
// Accuracy: positions are the engine's (the clothoid series to about 1e-11 m with the road
// tolerances of road/roadBuilder.h, which the caller sets with UseRoadTolerances); a located
// station and offset agree with the true nearest point of those positions to the rounding of
// the coordinates: about 1e-12 m near the origin, 1e-9 m at coordinates of millions of metres.
//
// Threads: the engine's elements fill caches in const queries. A locator works on one
// alignment object; to locate from several threads, give each thread its own copy of the
// alignment and a locator made with sharedWith (the index itself is immutable and shared).
#pragma once

#include "vrkmath/mathAlnt.h"

#include <limits>
#include <memory>
#include <string>
#include <vector>

// Where a station lies: on the alignment, or on the extension of its start or end tangent.
enum class RoadExtent { Inside, BeforeStart, BeyondEnd };

// A point described relative to the alignment.
struct RoadLocation {
    double station = 0.0;                  // internal chainage, metres
    double offset = 0.0;                   // metres, right positive
    double north = 0.0, east = 0.0;        // the point itself (at the offset), metres
    double footNorth = 0.0, footEast = 0.0;  // the alignment's point at the station
    double azimuth = 0.0;                  // radians: direction of increasing station there
    int element = -1;                      // engine element index (the first or last when extended)
    RoadExtent extent = RoadExtent::Inside;
    // Locate only: the station of another place of the alignment as near as this one (within
    // RoadLocator::kTieDistance), NaN when there is none. Then `station` is one of two equally
    // near answers (a point on a hairpin's middle line, at an arc's centre, inside a kink).
    double tieStation = std::numeric_limits<double>::quiet_NaN();
};

// Stake-out: the point at `station` (internal chainage, metres) and `offset` (metres, right
// positive). Beyond the ends the point lies on the extended end tangents (flagged in
// out.extent). False, `out` untouched, for an alignment without elements or when the engine
// cannot give the position (an unplaced element).
bool RoadPointAt(const CAlntH& alnt, double station, double offset, RoadLocation& out);

// A stretch of one element along which the curvature changes linearly with the length and
// does not change sign: a whole line, arc or clothoid, or one part of an intersection-point
// corner (its tangent, spirals and arc). Curvature in 1/metres, positive turning right.
struct RoadCurvePiece {
    int element = 0;
    double from = 0.0, to = 0.0;   // lengths from the element's start, metres
    double kFrom = 0.0, kTo = 0.0; // curvature at `from` and at `to`
    double curvatureAt(double l) const
    {
        return to > from ? kFrom + (kTo - kFrom) * ((l - from) / (to - from)) : kFrom;
    }
};

// The pieces of every element in order. The curvature comes from the engine's directions
// (their second differences over each piece), so that it matches the engine's geometry. A
// clothoid whose curvature changes sign is split at its inflection. False when an element
// cannot give its length or is unplaced.
bool RoadCurvePieces(const CAlntH& alnt, std::vector<RoadCurvePiece>& pieces);

// The nearest point of an alignment to a position. build() samples the alignment through its
// position cache (chords within kIndexDeviation of the curve, none longer than
// kIndexMaxChord) and puts the chords, each in a box padded so that it holds the curve between
// its ends, into a bounding volume hierarchy. locate() walks the hierarchy nearest box first,
// keeps every chord that may hold the nearest point, and solves the foot point exactly on
// each: Newton on the element's position and direction, with the curvature known, kept inside
// a bracket of the chord (bisection when a step would leave it), so that it can neither leave
// the element nor diverge; where the point lies beyond a curve's centre of curvature the chord
// is first halved until the distance along it has one minimum.
//
// Nearest point and ends: the nearest point of the alignment itself is found; when that is the
// alignment's start (end) point and the position lies behind (ahead of) it, the answer moves
// onto the extended start (end) tangent and is flagged. A position that is nearer to a tangent
// extension than to the alignment but lies beside the alignment (a hairpin's end tangent
// passing another part of the road) is thus answered on the alignment.
//
// Where the nearest point is not unique (equidistant parts of the road, a point at a curve's
// centre), one of the nearest points is returned and the station of another in tieStation.
class RoadLocator {
public:
    // Chord deviation (metres) and longest chord (metres) of the index.
    static constexpr double kIndexDeviation = 0.5;
    static constexpr double kIndexMaxChord = 40.0;
    // Most chords an index holds: an alignment that needs more (an element of thousands of
    // kilometres, or one that winds without end) is refused rather than filling the memory. A
    // straight is one chord however long; a 100 km road needs a few thousand.
    static constexpr int kIndexMaxChords = 1000000;
    // Two places of the alignment (stations more than this apart) whose distances differ by no
    // more than this (metres) are equally near: far below any survey's precision, far above
    // the rounding of the distances.
    static constexpr double kTieDistance = 1e-6;

    RoadLocator() = default;

    // Builds the index over `alnt`, which must outlive the locator and stay unchanged. Sets the
    // road tolerances (UseRoadTolerances). False for an alignment without elements or one the
    // position cache cannot sample.
    bool build(const CAlnt& alnt);
    // The same; when the index would pass kIndexMaxChords, `why` (when given) says so.
    bool build(const CAlnt& alnt, std::string* why);
    bool isBuilt() const { return m_index != nullptr; }

    // A locator sharing this one's index that queries `copy`, an unchanged copy of the
    // alignment this one was built on (for another thread).
    RoadLocator sharedWith(const CAlntH& copy) const;

    // The station, offset, foot point, direction and element of the alignment's nearest point
    // to (north, east), metres; out.north and out.east are the position itself. False, `out`
    // untouched, when the locator is not built or a coordinate is not finite.
    bool locate(double north, double east, RoadLocation& out) const;

    // The number of chords in the index (for tests and benchmarks).
    int chordCount() const;

    // The index (defined in the source).
    struct Index;

private:
    std::shared_ptr<const Index> m_index;
    const CAlntH* m_alnt = nullptr;
};
