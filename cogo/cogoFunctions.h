// Coordinate-geometry transforms and frames: rotation, scale and translation of points, the
// two-point inverse record (plane or geodetic), geographic to earth-centred coordinates, and the
// point-to-line frame along a reference line.
//
// Units and frames: coordinate triples double[3] = {north, east, height}, metres; geographic
// triples {latitude, longitude, height}, degrees and metres; earth-centred {X, Y, Z}, metres.
// Azimuths in degrees clockwise from grid north.
#pragma once

namespace CogoFunctions {

// Turns (n, e) about the pivot so that its azimuth from the pivot changes by angle1 - angle2
// (degrees). Returns 0.
int Rotation(double pivotN, double pivotE, double& n, double& e, double angle1, double angle2);
// Scales about the centre; the height only when withHeight is non-zero. Returns 0.
int Scale(double factor, double centreN, double centreE, double centreH, int withHeight, double& n,
          double& e, double& h);
// Adds (dN, dE, dH). Returns 0.
int Translate(double dN, double dE, double dH, double& n, double& e, double& h);
// Adds hd along the azimuth (degrees) and vd to the height. Returns 0.
int TranslateAzHdVd(double azimuth, double hd, double vd, double& n, double& e, double& h);

// The inverse record out[8] = {azimuth (degrees, [0, 360)), HD, dU (corrected when asked), dN,
// dE, dU, grade (percent, dU / HD x 100), SD} from p1 to p2.
// - geodetic false: p1, p2 are {north, east, height}, the differences plain.
// - geodetic true: p1, p2 are {latitude, longitude, height} on WGS-84; the earth-centred
//   difference is turned into the local east, north, up frame at p1 (exact, no projection).
// With `curvature`, out[2] = dU + (sqrt(HD^2 + R^2) - R) x 0.86 (R^2 = 4.0589641e13, k = 0.14);
// the grade uses the uncorrected dU. Returns 0; -1 when HD < 1e-5 m, with the record written
// uncorrected and grade 0.
int TwoPointInverse(bool geodetic, const double* p1, const double* p2, bool curvature, double* out);

} // namespace CogoFunctions

// Geodetic {latitude, longitude, height} (degrees, metres) to earth-centred {X, Y, Z} (metres)
// on the ellipsoid (a, rf = inverse flattening). |rf| < 0.1 is replaced by 298.257222101
// (GRS 80) and |a| < 5e6 by 6378137. Exact to rounding (about 1e-9 m).
void frgeod(double a, double rf, double* xyz, const double* llh);

// ---- Point-to-line frame ----
// ptl = {along, right, dH}: the distance along the reference line from p0, the offset to its
// right (positive right of the line's direction), and the height difference from p0.

// The frame of the line from p0 with the azimuth `azimuth` (degrees).
void ENCoordsToPtl(const double* p0, double azimuth, const double* p, double* ptl);
// The frame of the line from p0 towards p1.
void ENCoordsToPtl(const double* p0, const double* p1, const double* p, double* ptl);
void LineProjection(const double* p0, const double* p1, const double* p, double* ptl);
// The frame values back to differences: dE, dN and dU (note the east-first order).
void PtlTodENU(const double* ptl, double azimuth, double& dE, double& dN, double& dU);
// The point {north, east, height} at ptl in the frame of the line p0 -> p1.
void PtlToENCoords(const double* p0, const double* p1, const double* ptl, double* out);
