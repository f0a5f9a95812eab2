// Offset lines: lines parallel to a sampled alignment (a position cache of
// vrkmath/mathAlntCache.h) with an offset that may change linearly between stations, in plan
// (OffsetPoints) and in profile (VerticalOffsetPoints), and three conversions between plan
// caches, profile caches and position arrays.
//
// Units and signs: stations, offsets and positions in metres. In plan a positive offset lies
// right of the direction of increasing station; in profile the vertices are the plane points
// (station, height) and a positive offset lies above the line for a rising station.
//
// The functions append to the destination through the caches' vertex insertion: no written
// vertex is a node, station order is kept and a vertex at a station already held (1e-12) is
// dropped. The destination is not cleared first, so that successive calls build one line.
// Failures return false and leave what was already appended. The offset line is not tested
// for self-intersection: inside a curve tighter than the offset, or at a reversal, the points
// fold back as the corner rules place them.
//
// Corners: at a source vertex P1 between P0 and P2 (offsets o0, o1, o2), when P1 is a node and
// neither neighbour coincides with it (0.001 m in both coordinates), the offset line takes the
// intersection of the two offset chords when it lies 0.5 |o1| ... 1.5 |o1| from the offset end
// B of the incoming chord (deflections of about 53 to 113 degrees: a mitre 1.12 ... 1.80 |o1|
// from P1), else the midpoint of the two chord ends (|o1| cos(deflection / 2) from P1). Any
// other vertex is moved by o1 square to its incoming chord (exactly |o1| from P1).
#pragma once

#include "inlines/templates.h"
#include "vrkmath/mathAlntCache.h"

// A (station, offset) pair of an offset table, metres. A station of exactly -1.0 given as the
// end of a stretch means the last vertex of the source.
struct StAndOffset {
    double station = 0.0;
    double offset = 0.0;
};

// One stretch in plan: the offset changes linearly from offFrom at station `from` to offTo at
// station `to`, interpolated by the plan distance travelled along the source from `from`
// divided by to - from. `to` of -1.0 or beyond the last vertex means the last vertex.
// lastOffset: on entry (with joinPrevious) the offset at which the previous stretch ended; on
// return the offset of the last point written. joinPrevious: the first point is the corner
// with the previous stretch instead of a square start. continues: the last vertex is written as
// a corner towards the stretch's end and no closing point is added (the next stretch starts
// there). False with fewer than two source vertices, `from` at or beyond the last vertex,
// `from` before the first vertex (there is no start point to offset), or to - from below 1e-12
// (zero or negative).
bool OffsetPoints(const CAlnt2dPosCache& src, CAlnt2dPosCache& dst, double from, double to, double offFrom,
                  double offTo, double& lastOffset, bool joinPrevious, bool continues);

// The stretches of a table of (station, offset) pairs in increasing station order, joined into
// one line; a pair ending before the first vertex is skipped, one starting before it starts at
// the first vertex with the offset interpolated there, and the pair that reaches the last
// vertex (or ends with -1.0) ends the line. False with fewer than two source vertices or when a
// stretch fails; a table of fewer than two pairs does nothing (true).
bool OffsetPoints(const CAlnt2dPosCache& src, CAlnt2dPosCache& dst, const TXContainerCArray<StAndOffset>& table);

// The same on a profile: offsets square to the profile line in the (station, height) plane,
// interpolated by station (offFrom + (offTo - offFrom) (station - from) / (to - from)); each
// written vertex takes the station and height of its offset point.
bool VerticalOffsetPoints(const CAlntHtPosCache& src, CAlntHtPosCache& dst, double from, double to,
                          double offFrom, double offTo, double& lastOffset, bool joinPrevious, bool continues);
bool VerticalOffsetPoints(const CAlntHtPosCache& src, CAlntHtPosCache& dst,
                          const TXContainerCArray<StAndOffset>& table);

// Each plan vertex (north, east, station) added to the profile cache as (height = east,
// station = north).
void HzToVertAlnt(const CAlnt2dPosCache& src, CAlntHtPosCache& dst);
// Each profile vertex (height, station) added to the plan cache as (north = station,
// east = height, station = station). HzToVertAlnt undoes it.
void VertToHzAlnt(const CAlntHtPosCache& src, CAlnt2dPosCache& dst);
// Position i added with station i (0, 1, 2, ...).
void PosArray2Cache(const TXContainerCArray<C2dPos>& positions, CAlnt2dPosCache& dst);
