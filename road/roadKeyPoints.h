// The key points of a built road alignment: the joints between its elements, named by the kinds
// of element that meet there (POB, TS, SC, CS, ST, PC, PT, ...), and the PI of each curve group.
//
// Units and frames: stations are internal chainages in metres, positions north/east in metres
// on the grid (the engine's, road/roadBuilder.h).
#pragma once

#include "road/roadBuilder.h"
#include "road/roadGeometry.h"

#include <string>
#include <vector>

// The name of the point where an element of shape `before` meets one of shape `after`; null
// `before` is the start (POB), null `after` the end (POE). Line to line POT, line to arc PC,
// line to spiral TS; arc to line PT, arc to spiral CS, arc to arc PCC (same turning side) or
// PRC (reversing); spiral to line ST, spiral to arc SC, spiral to spiral SS.
std::string RoadJointName(const RoadElementShape* before, const RoadElementShape* after);

// A curve group: the longest run of consecutive curved elements (arcs, spirals, compound
// spirals) turning the same way. A line or a change of turning side (a PRC, or the SS between a
// spiral out to one side and a spiral in to the other) ends it. Its PI is where the tangent at
// its start (TS, PC, ...) meets the tangent at its end (ST, PT, ...).
struct RoadKeyPoint {
    std::string name;                 // a joint's name (RoadJointName) or "PI"
    bool isPi = false;
    int element = 0;                  // joint: the engine element starting there (the element
                                      // count at POE); PI: the group's first engine element
    double station = 0.0;             // joint: internal chainage, metres; PI: that of the
                                      // group's start
    double toStation = 0.0;           // PI only: the internal chainage of the group's end, metres
    double north = 0.0, east = 0.0;   // metres
    // PI only: where its tangents touch the alignment: the group's start and end (metres).
    double fromNorth = 0.0, fromEast = 0.0;
    double toNorth = 0.0, toEast = 0.0;
    // PI only: the smallest radius the group reaches, metres, signed by its turning side (right
    // positive): its sharpest arc's where spirals run between its arcs and the tangents.
    double radius = 0.0;
};

// Every joint of the alignment in station order, each curve group's PI right after the joint
// where the group begins. A group whose end tangent is parallel to its start tangent, or which
// turns by 180 degrees or more (its tangents meet behind it, or not at all), has no PI. Empty
// for an alignment without elements.
std::vector<RoadKeyPoint> RoadKeyPoints(const RoadBuild& build);
