// Clipping of rays and segments against screen levels, strips and rectangles, for the map view.
//
// Device coordinates: x to the right, y downwards, in pixels. Computation is in doubles; points
// that come back are truncated (towards zero) to integers. A ray starts at its first point and
// runs through its second point and on without end; a segment ends at its second point. A
// parameter t measures along the vector first -> second point (t = 0 at the start, 1 at the
// second point).
//
// Every function returns 1 when something of the ray or segment remains (outputs written) and
// 0 otherwise (outputs left alone, except t, which the level forms store whenever asked for).
// Strips and rectangles include their edges and are expected normalised (min <= max,
// left <= right, top <= bottom).
#pragma once

#include "platform/windowGeometry.h"

// Where the ray from (x0, y0) through (x1, y1) crosses the horizontal line y = yLevel: x
// receives the crossing's x and *t its parameter. 0 when the ray is horizontal (|dy| < 1e-12;
// *t = 0) or the line lies behind the start (t < 0).
int rayIntersectionWithYLevel(double x0, double y0, double x1, double y1, double yLevel,
                              double& x, double* t);
// The same with the vertical line x = xLevel; y receives the crossing's y.
int rayIntersectionWithXLevel(double x0, double y0, double x1, double y1, double xLevel,
                              double& y, double* t);

// The segment from p to (x1, y1) against the line y = yLevel (x = xLevel): as the ray forms,
// but only 0 <= t <= 1 counts; out receives the crossing.
int segmentIntersectionWithYLevel(const CPoint& p, double x1, double y1, int yLevel, CPoint& out,
                                  double* t);
int segmentIntersectionWithXLevel(const CPoint& p, double x1, double y1, int xLevel, CPoint& out,
                                  double* t);

// The part of the segment a-b with yMin <= y <= yMax (xMin <= x <= xMax): an end outside the
// strip is replaced by the crossing with the level beyond it.
int segmentIntersectionWithYStrip(const CPoint& a, const CPoint& b, CPoint& outA, CPoint& outB,
                                  int yMin, int yMax);
int segmentIntersectionWithXStrip(const CPoint& a, const CPoint& b, CPoint& outA, CPoint& outB,
                                  int xMin, int xMax);
// The part of the segment a-b inside the rectangle r (edges included): clipped to the x strip
// [left, right], then to the y strip [top, bottom]; a and b are replaced on success.
int segmentIntersection(CPoint& a, CPoint& b, const CRect& r);

// The part of the ray from p through (x1, y1) inside the strip: outA is where it enters (p
// itself when p lies inside), outB where it leaves. A ray that runs along the strip (no
// component across it) never leaves: when p lies inside, outA = p and outB = its second point.
int rayIntersectionWithYStrip(const CPoint& p, double x1, double y1, CPoint& outA, CPoint& outB,
                              int yMin, int yMax);
int rayIntersectionWithXStrip(const CPoint& p, double x1, double y1, CPoint& outA, CPoint& outB,
                              int xMin, int xMax);
// The part of the ray from p through (x1, y1) inside the rectangle r: clipped to the x strip,
// then to the y strip (as a segment, unless the x strip left it unbounded: a vertical ray).
int rayIntersection(const CPoint& p, double x1, double y1, CPoint& outA, CPoint& outB,
                    const CRect& r);
// The ray from p in the direction `angle` (radians): through (p.x + sin angle, p.y + cos angle).
int rayIntersection(const CPoint& p, double angle, CPoint& outA, CPoint& outB, const CRect& r);
