// The intersection of two lines, each given by a point and a direction, shared by the
// intersection-point curve (the circle centre of a corner) and the horizontal alignment (the IP
// of a curve group).
#pragma once

#include "numeric/mathAngle.h"

// Intersection of the line through p1 with azimuth dir1 and the line through p2 with azimuth
// dir2 (north/east metres; azimuths clockwise from north, direction vectors (cos, sin)). The
// lines are unbounded both ways: the intersection may lie behind either point. Returns false,
// leaving `out` untouched, when a direction is unset or the lines are parallel (the determinant
// of the two direction vectors lies within 1e-12 of 0).
bool IntersectPointDirLines(const C2dPos& p1, const CMathAngle& dir1, const C2dPos& p2,
                            const CMathAngle& dir2, C2dPos& out);
