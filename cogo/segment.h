// Plane segments and the line-meeting helper shared by the plane-geometry tools.
//
// Positions are C2dPos (north, east) in metres. A "parameter" along a line p + s * u is the
// multiple s of the direction vector u (not a distance unless u is a unit vector).
#pragma once

#include "numeric/mathAngle.h"

// Zero tolerance of the plane-geometry tools: determinants, lengths and changes within this of 0
// count as 0.
constexpr double kPlaneZero = 1e-12;

// The parameters s and t at which the lines p + s * u and q + t * v meet (u, v: direction
// vectors in north/east, any length). Returns false, writing nothing, when the lines are
// parallel: the determinant u x v lies within 1e-12 of 0.
bool lineMeetParams(const C2dPos& p, const C2dPos& u, const C2dPos& q, const C2dPos& v,
                    double& s, double& t);

// A straight segment from `start` to `end` (north/east, metres).
struct C2dSegment {
    C2dPos start;
    C2dPos end;

    // The shortest distance (metres) from p to the segment. A segment shorter than 1e-12 is
    // measured as its end point.
    double getDistance(const C2dPos& p) const;

    // True when this segment and `other` meet: their lines are not parallel (determinant not
    // within 1e-12 of 0) and the meeting point lies on both, ends included. `at`, when given,
    // receives the meeting point, computed as start + parameter * (end - start) of this segment.
    // Collinear overlapping segments do not count as meeting.
    bool meets(const C2dSegment& other, C2dPos* at = nullptr) const;
};
