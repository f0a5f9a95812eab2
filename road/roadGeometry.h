// The shape of a road file's plan element, derived from its coordinates: start direction,
// length and radii. Plane geometry only; the alignment engine builds on it (road/roadBuilder.h).
//
// Geometry comes from coordinates, never from the file's direction attributes (exporters write
// those in several conventions):
//   - a line's direction and length from Start and End;
//   - an arc's start tangent from Start and Center with its turning side, its central angle
//     from Start, Center and End; a curve given by Start, PI and End only is completed from
//     them (its centre follows), one given by Start, End, radius and turning side too;
//   - a spiral's start tangent from Start towards PI (without a PI: the direction that takes
//     a clothoid of the stated length and radii from Start to End); its length and radii from
//     its attributes.
//
// Units: lengths and radii in the file's linear unit (the shape scales with the unit); azimuths
// in radians, clockwise from grid north. A radius of 0 means infinite; radii are signed by the
// turning side, positive to the right (clockwise).
#pragma once

#include "road/roadModel.h"

#include <string>

enum class RoadShapeKind { Line, Arc, Spiral };

struct RoadElementShape {
    RoadShapeKind kind = RoadShapeKind::Line;
    double startAz = 0.0;      // radians, grid azimuth of the start tangent
    double length = 0.0;       // file units
    double radiusStart = 0.0;  // file units, signed, 0 = infinite
    double radiusEnd = 0.0;
    // Lines: the direction of Start -> End. Arcs: the centre (file units), for the key points.
    RoadPoint center;
};

// The shape of element `e`. A spiral whose radii are both infinite is a line, one whose radii
// are equal an arc. False with a message (no line number) when the element cannot be completed:
// a curve whose Start and End lie at different distances from its Center (more than
// `tolerance`, file units), a curve without Center or PI and without radius, a chord longer
// than the diameter, a curve without deflection, a spiral without length.
bool DeriveRoadElementShape(const RoadGeomElement& e, double tolerance, RoadElementShape& shape,
                            std::string& message);

// Grid azimuth (radians, clockwise from north) of the vector from a to b; 0 when they coincide.
double RoadAzimuth(const RoadPoint& a, const RoadPoint& b);
// Distance from a to b in the plane (file units).
double RoadDistance(const RoadPoint& a, const RoadPoint& b);
