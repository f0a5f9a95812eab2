// The key points of a built road alignment: the joints between its elements, named by the kinds
// of element that meet there (POB, TS, SC, CS, ST, PC, PT, ...), and the PI of each curve.
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

struct RoadKeyPoint {
    std::string name;                 // a joint's name (RoadJointName) or "PI"
    bool isPi = false;
    int element = 0;                  // joint: the engine element starting there (the element
                                      // count at POE); PI: its arc's engine element
    double station = 0.0;             // joint: internal chainage, metres; PI: that of the joint
                                      // before it (the arc's start)
    double north = 0.0, east = 0.0;   // metres
    // PI only: where its tangents touch the alignment: the start of the curve the engine takes
    // the PI for (the arc alone, or the arc with its spirals) and that curve's end (metres).
    double fromNorth = 0.0, fromEast = 0.0;
    double toNorth = 0.0, toEast = 0.0;
    double radius = 0.0;              // PI only: the arc's signed radius, metres (right positive)
};

// Every joint of the alignment in station order, each arc's PI right after the joint where the
// arc begins (where the engine gives one: CAlntH::getIpPosForElement). Empty for an alignment
// without elements.
std::vector<RoadKeyPoint> RoadKeyPoints(const RoadBuild& build);
