// Polylines of a road alignment within a chord deviation: the centreline, a line at a constant
// offset, and a line whose offset changes along a table of (station, offset) pairs.
//
// Units and frames: stations are internal chainages (metres), offsets metres with right
// positive, positions north/east in metres, deviations metres. Every function sets the road
// tolerances (UseRoadTolerances) and writes `out` only on success.
#pragma once

#include "vrkmath/mathAlnt.h"
#include "vrkmath/mathAlntCache.h"
#include "vrkmath/mathAlntOffset.h"

#include <vector>

// The smallest deviation accepted (metres): below it the position cache's smallest step
// (0.001 m) could no longer follow the tightest curves.
const double kRoadMinDeviation = 1e-4;

// One vertex of a sampled line.
struct RoadSampleVertex {
    double station = 0.0;   // internal chainage of the centreline point it belongs to
    double offset = 0.0;    // its offset from that point, metres, right positive
    double north = 0.0, east = 0.0;
};

// The centreline's plan cache loaded for `deviation` (CAlnt2dPosCache::
// loadNodesAndPosForDeviation), each chord then checked at its middle station against the
// curve and halved while the curve strays further than `deviation` from it. False for a
// deviation below kRoadMinDeviation or not finite, or when the cache cannot be loaded.
bool LoadRoadCentreline(const CAlnt& alnt, double deviation, CAlnt2dPosCache& cache);

// The centreline polyline: the vertices of LoadRoadCentreline. Every vertex is the engine's
// own point; every chord stays within `deviation` of the curve.
bool SampleRoadCentreline(const CAlnt& alnt, double deviation, std::vector<RoadSampleVertex>& out);

// The exact offset line at a constant `offset`: every vertex lies at `offset` across the
// centreline's direction at its station, and every chord within `deviation` of the true offset
// curve (the station steps follow the offset curve's own curvature, k / (1 - k offset), and
// length, from the elements' curvature; RoadCurvePieces of road/roadLocator.h). Element joints
// are vertices. Inside a curve tighter than the offset the true offset curve folds back; the
// vertices still lie at the offset, spaced at most 1 mm of station apart over the fold.
bool SampleRoadOffsetLine(const CAlnt& alnt, double offset, double deviation, std::vector<RoadSampleVertex>& out);

// Where an offset reaches the centre of a curve on its side: |offset| at or beyond the radius
// there (offset * curvature >= 1, right and right-turning positive), so that its line folds
// back (and a point at that offset lies past the centre).
struct RoadOffsetFold {
    double from = 0.0, to = 0.0;   // internal chainage of the stretch, metres
    double radius = 0.0;           // the smallest radius there, metres
    double offset = 0.0;           // the offset at `from`, metres
};

// The largest curvature of the alignment (1/metres, either side): no offset shorter than its
// inverse reaches a centre. False when the curvature cannot be found.
bool RoadLargestCurvature(const CAlnt& alnt, double& curvature);

// True, with the first such stretch between the internal chainages `from` and `to` (metres),
// when `offset` (metres, right positive) reaches the centre of a curve on its side there; false
// when it stays short of every centre (or the curvature cannot be found).
bool RoadOffsetFolds(const CAlnt& alnt, double offset, double from, double to, RoadOffsetFold& fold);

// The same for the offset of a table (stations as internal chainage, increasing; the offset
// linear between pairs, as SampleRoadOffsetTable draws it) between its first and last
// stations: the curvature and the offset are both linear between the pieces' ends and the
// table's stations, so that the stretch ends where their product crosses 1. False when the
// offset stays short of every centre, for an empty table, stations not increasing or not
// finite (or when the curvature cannot be found).
bool RoadOffsetTableFolds(const CAlnt& alnt, const std::vector<StAndOffset>& table, RoadOffsetFold& fold);

// The variable offset line through the table (stations as internal chainage, increasing):
// OffsetPoints of vrkmath/mathAlntOffset.h on the centreline cache, loaded for the deviation
// divided by 1 + the largest offset times the largest curvature (so that the offset chords stay
// near the deviation). Each vertex's offset is measured across the centreline's direction at
// its station. The line begins at the table's first station and ends at its last (each
// within the alignment) exactly at the table's offset there. Where the offset reaches the
// centre of a curve on its side the line folds back (RoadOffsetTableFolds finds where, for
// callers that refuse such a table). False with fewer than two pairs,
// stations not increasing, a table that does not reach into the alignment, or when
// OffsetPoints fails.
bool SampleRoadOffsetTable(const CAlnt& alnt, const std::vector<StAndOffset>& table, double deviation,
                           std::vector<RoadSampleVertex>& out);

// Adds the vertices the profile needs to a sampled line (stations increasing): at each station
// of the profile's height cache loaded for `deviation` (CAlntHtPosCache: VIPs, curve ends and
// points along vertical curves) strictly between two vertices of the line, a vertex at that
// station whose offset is the linear interpolation of theirs, placed exactly there. With the
// design heights of its stations the line then follows the profile within `deviation` too.
// False for a deviation below kRoadMinDeviation, fewer than two vertices or when the profile
// cannot be sampled; `line` is then unchanged. No profile: nothing to add (true).
bool AddRoadProfileVertices(const CAlnt& alnt, double deviation, std::vector<RoadSampleVertex>& line);
