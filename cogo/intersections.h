// Plane intersection kit: lines and circles in implicit form, their intersections, point
// solutions from distances and circle readings, three-point resection, linear interpolation
// and the catch point of a cut or fill slope.
//
// Frame: unlike the north/east order used elsewhere, every function here works in plane
// coordinates (x, y) = (east, north), in metres. Azimuths are decimal degrees clockwise from
// north (the +y axis). Integer results count solutions, or report success (1) and failure (0);
// outputs are written only when the result says there is something to write, except where a
// function's comment says otherwise.
//
// Line, implicit form:   A x + B y = C.
// Circle, implicit form: x^2 + y^2 + A x + B y + C = 0.
#pragma once

// Tolerances of the kit (their own, not the 1e-12 used elsewhere).
inline constexpr double kIntersectZeroTol = 1e-13;      // vanishing determinant, sine or discriminant
inline constexpr double kIntersectLeadCoefTol = 1e-5;   // vanishing leading coefficient
inline constexpr double kIntersectCoordDiffTol = 1e-12; // vanishing coordinate difference
inline constexpr double kIntersectDistanceTol = 0.25;   // metres: accepting a point solution, telling two apart
inline constexpr double kIntersectAngleTol = 0.01;      // degrees: accepting a point solution against its angle
inline constexpr double kIntersectNoPoint = 1e30;       // marker of a missing intersection

// ---- Azimuths and lines ----

// Azimuth of the vector (dx east, dy north) in degrees, in [0, 360]; (0, 0) gives 0. (360 only
// for a direction so little west of north that adding 360 rounds up.)
double GetRefAziPts(double dx, double dy);

// Rotates (x, y) by `angle` degrees: rx = cos*x + sin*y, ry = cos*y - sin*x. Returns 1.
int RotateCounterClockwise(double x, double y, double angle, double& rx, double& ry);

// Rotates the coefficient pair (a, b) by `angle` degrees into (*r1, *r2) and copies c into *r3.
// Returns 0 (with *r1 = *r2 = 0) when a^2 + b^2 < 1e-16, else 1. All three outputs are always
// written.
int dENSoutInfo(double a, double b, double c, double angle, double* r1, double* r2, double* r3);

// The line through (x, y) with the azimuth `azimuth` (degrees): A = cos az, B = -sin az.
void ComputeEqVars(double azimuth, double x, double y, double& A, double& B, double& C);

// The line through (x1, y1) and (x2, y2): A = y2 - y1, B = x1 - x2.
void ComputeEqVars(double x1, double y1, double x2, double y2, double& A, double& B, double& C);

// Intersection of two lines. Returns 0 for (nearly) parallel lines (|det| < 1e-13), leaving
// x and y alone; else 1.
int GetIntersectionPointFromEqVars(double A1, double B1, double C1, double A2, double B2, double C2,
                                   double& x, double& y);

// Intersection of the line through (x1, y1) with azimuth az1 and the line through (x2, y2) with
// azimuth az2 (degrees). x and y are preset to 1e30 (the "no intersection" marker) and keep
// that value when the result is 0.
int ComputeENIntersectionPoint(double x1, double y1, double az1, double x2, double y2, double az2,
                               double& x, double& y);

// Plane distance between two points.
double HorizontalDistance(double x1, double y1, double x2, double y2);

// ---- Circles and quadratics ----

// The circle of centre (cx, cy) and radius r in implicit form.
void ComputeCircleEqVars(double cx, double cy, double r, double& A, double& B, double& C);

// The radical line A x + B y = C of two circles (the line through their intersections).
void TwoCirclesIntersectionLine(double A1, double B1, double C1, double A2, double B2, double C2,
                                double& A, double& B, double& C);

// The circle through (x1, y1) and (x2, y2) on which the chord is seen under the inscribed
// angle `angle` (degrees, clockwise from the direction towards p1 to the direction towards p2).
// The centre lies right of p1 -> p2 for angles in (0, 90), left for (90, 180). Returns 0 when
// |sin angle| < 1e-13 (the locus is the line through the points), outputs untouched; else 1.
int ComputeCenterCoordinates(double x1, double y1, double x2, double y2, double angle,
                             double& cx, double& cy, double& r);

// ComputeCenterCoordinates followed by ComputeCircleEqVars; 0 when there is no centre.
int ComputeCircleEqVals(double x1, double y1, double x2, double y2, double angle,
                        double& A, double& B, double& C);

// Real roots of a r^2 + b r + c = 0; returns their number (0, 1 or 2). r1 and r2 are always
// written: 0 when there is no root, both equal for one root, r1 = (-b + sqrt D) / 2a and
// r2 = (-b - sqrt D) / 2a for two. A discriminant within 1e-13 of 0 gives the double root
// -b / 2a (no root when a = 0); otherwise a vanishing a (< 1e-13) makes the equation linear
// (no root when |b| < 1e-5).
int SolutionTo2ndDegreePolynomial(double a, double b, double c, double& r1, double& r2);

// Intersections of the circle (cA, cB, cC) with the line lA x + lB y = lC. Returns 0, 1 or 2;
// with one solution both pairs are equal. Outputs are untouched when the result is 0.
// A line with |lB| < 1e-5 is taken as x = lC / lA. Otherwise y is eliminated and x solved
// from a quadratic, which loses accuracy for lines close to x = const: for a circle of radius
// s within a few radii of the origin the points are off their loci by up to about
// 1e-15 x (lA / lB)^2 x s (1e-5 x s just above the 1e-5 threshold, 1e-9 x s at lB / lA = 1e-3).
// The point solutions below work in frames of unit size, where this stays below 1e-6 m for
// all but nearly degenerate figures.
int IntersectionCoordsOfLineAndCircle(double cA, double cB, double cC, double lA, double lB, double lC,
                                      double& x1, double& y1, double& x2, double& y2);

// Intersections of two circles: their radical line intersected with the first circle.
// Concentric circles give 0. As IntersectionCoordsOfLineAndCircle otherwise.
int IntersectionCoordsOfTwoCircles(double A1, double B1, double C1, double A2, double B2, double C2,
                                   double& x1, double& y1, double& x2, double& y2);

// 1 when (px, py) lies within 0.25 m of distance d1 from (x1, y1) and of d2 from (x2, y2).
int ConfirmValidSolutionTwoPointsAndDistance(double x1, double y1, double x2, double y2,
                                             double px, double py, double d1, double d2);

// ---- Point solutions ----
// Each returns 1 when at least one solution was accepted, else 0. `count` (always written)
// receives the number accepted, 0, 1 or 2; X1, Y1 are written when count >= 1 and X2, Y2 only
// when count == 2. Two accepted solutions are at least 0.25 m apart.
// Each works in a local frame whose unit is a known distance. Accuracy: the points lie within
// 1e-6 m of their loci for figures up to a few kilometres, except where a line intersected in
// that frame runs within about 1e-3 of x = const (for two distances: a base p1 p2 within about
// 1e-3 rad of east-west); there, by the limits of IntersectionCoordsOfLineAndCircle, they may
// be off by up to about 3e-5 of the figure's size.

// The point at distance d1 (metres, > 0) from p1 and d2 from p2. Solutions are accepted when
// both distances agree within 0.25 m.
int ComputeCoords(double x1, double y1, double d1, double x2, double y2, double d2,
                  double& X1, double& Y1, double& X2, double& Y2, int& count);

// The point from which p1 and p2 were sighted with the horizontal circle readings r1 and r2
// (degrees) and which lies at distance d2 (metres, > 0) from p2. Solutions are accepted when
// their angle r2 - r1 agrees within 0.01 degrees.
int ComputeCoords(double x1, double y1, double r1, double x2, double y2, double r2, double d2,
                  double& X1, double& Y1, double& X2, double& Y2, int& count);

// Three-point resection: the point from which p1, p2 and p3 were sighted with the circle
// readings r1, r2, r3 (degrees). Both angle loci pass through p2, which is never reported:
// a candidate within 0.25 m of p2 is dropped. Solutions are accepted when both angles
// r2 - r1 and r3 - r2 agree within 0.01 degrees. All four points on one circle (or all
// collinear) give no solution.
int ComputeCoords(double x1, double y1, double r1, double x2, double y2, double r2,
                  double x3, double y3, double r3,
                  double& X1, double& Y1, double& X2, double& Y2, int& count);

// ---- Interpolation ----
// Linear interpolation on the line through p1 and p2. When the driving difference or the
// driven difference vanishes (< 1e-12) the first point's value is returned. The third value
// z follows the driving coordinate linearly (z1 when the driving difference vanishes).

void InterpolateXGivenY(double x1, double y1, double x2, double y2, double y, double& x);
void InterpolateYGivenX(double x1, double y1, double x2, double y2, double x, double& y);
void InterpolateXZGivenY(double x1, double y1, double z1, double x2, double y2, double z2,
                         double y, double& x, double& z);
void InterpolateYZGivenX(double x1, double y1, double z1, double x2, double y2, double z2,
                         double x, double& y, double& z);

// ---- Cut and fill slopes ----
// Cross-section frame: x across (positive to the right), y height. Slopes are horizontal run
// per unit of height.

// Direction of a slope leaving the hinge: (*dx, *dy) = (+-slope, +-1), dx positive towards the
// right side, dy positive (up) for a cut and negative for a fill. A zero slope gives (+-1, 0).
void ComputeXYOffsetsForCutFillSlope(double slope, bool isCut, bool isRight, double* dx, double* dy);

// Catch point of the cut (when hasCut) or fill (when hasFill) slope leaving the hinge (hx, hy)
// on the right (isRight) or left side, with the unbounded ground line through (gx1, gy1) and
// (gx2, gy2) (coinciding ground points make a level line). A slope's solution counts only on its
// own side of the hinge. With both found, the one whose height is nearer gy2 wins (the cut on a
// tie). Returns 1 for the cut, 2 for the fill, 0 for none (x, y untouched). `groundDir` (degrees,
// GetRefAziPts of the ground line) is always written.
int ComputeCatchPoint(double hx, double hy, bool isRight, double cutSlope, bool hasCut,
                      double fillSlope, bool hasFill, double gx1, double gy1, double gx2, double gy2,
                      double& x, double& y, double& groundDir);
