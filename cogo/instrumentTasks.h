// Total-station observations to coordinates and back: the radial direction task, the inverse
// task, the same two with grid scale, sea-level, earth-curvature and refraction corrections,
// and the accuracy of a measured point.
//
// Units and frames: coordinate triples are double[3] = {north, east, height} in metres.
// Observations are double[3] = {HA, ZA, SD}: horizontal circle reading (clockwise) and zenith
// angle in decimal degrees, slope distance in metres. An orientation (degrees) is what is added
// to a reading to give a grid azimuth (clockwise from grid north); the forms taking a backsight
// use orientation = bsAz - bsHA. Every angle at this interface is in degrees.
//
// None of these tasks can fail: degenerate inputs give the values their formulas give (a target
// on the station's vertical: HA from the orientation, ZA 0 or 180).
#pragma once

// Earth radius of the instrument corrections (metres).
inline constexpr double kInstrumentEarthRadius = 6371000.0;
// One arc second in radians.
inline constexpr double kArcSecond = 4.848136957929807e-6;

// The standard deviations {horizontal, vertical} (metres) of a point measured over the slope
// distance sd: sigma_d = hypot(3 ppm x sd, 3 mm); horizontal = hypot(sin 5" x sd, sigma_d),
// vertical = hypot(sin 10" x sd, sigma_d).
void PointAccuracy(double sd, double* accuracy);

// Direction task: the point observed from `stn` with `obs`; dh = instrument height - target
// height. az = HA + orientation (less 360 once when >= 360). out = stn + {cos az HD, sin az HD,
// VD + dh} with HD = SD sin ZA, VD = SD cos ZA. `accuracy` (may be null) receives PointAccuracy.
void TaskDirection(const double* stn, double orientation, double dh, const double* obs, double* out,
                   double* accuracy);
void TaskDirection(const double* stn, double bsAz, double bsHA, double dh, const double* obs, double* out,
                   double* accuracy);

// Inverse task: out = {HA, ZA, SD} of `tgt` seen from `stn`, with dH = (tgt.h - stn.h) - dh.
// HA = azimuth - orientation, raised by 360 once when negative: with an orientation outside
// [0, 360) it may lie outside [0, 360) (orientation -340, azimuth 200 gives 540); compare
// readings modulo 360. A target on the vertical gives HA = -orientation (+360 when negative).
void TaskInverse(const double* stn, double orientation, double dh, const double* tgt, double* out);
void TaskInverse(const double* stn, double bsAz, double bsHA, double dh, const double* tgt, double* out);

// Correction mode of the corrected tasks: 0 none; 2 curvature and refraction with k = 0.2;
// any other value curvature and refraction with k = 0.14.
double RefractionOfMode(short mode);

// Corrected direction task: HD, VD from the observation; with a mode other than 0,
// HDc = HD - (1 - k/2) VD HD / R and VDc = VD + (1 - k) HD^2 / 2R (R = 6371000 m); the grid
// distance HDc x R / (elevation + R) x scale is laid off along az; height stn.h + VDc + hi - ht.
// `elevation` is the mean height above sea level (metres), `scale` the grid scale factor.
void TSceTaskDirection(const double* stn, double orientation, double hi, double ht, const double* obs,
                       double scale, double elevation, double* out, short mode, double* accuracy);

// Corrected inverse: out = {ZA, HA, SD} (zenith angle first). f = scale x R / (elevation + R)
// (1 when below 1e-6).
// - computeHA: out[1] = azimuth - orientation, brought into [0, 360) by one step each way; a
//   target within 1e-13 m in plan gives out[1] = orientation. Else out[1] is left alone.
// - computeZA: out[0] from the grid distance and dH = (tgt.h + ht) - (stn.h + hi), 90 when
//   |dH| < 1e-13; no curvature is removed. Else the zenith angle already in out[0] is used.
// - out[2]: the slope distance over the ground distance hd = HD / f: with mode 0
//   sqrt(dH^2 + hd^2); otherwise the root of the corrected direction task's reduction at the
//   zenith angle out[0] (hd when |sin z| <= 1e-13 or the root does not exist).
// So: after TSceTaskDirection, the inverse gives back HA; SD too in mode 0, and in modes 1 and
// 2 when out[0] is preset to the observed ZA (computeZA false).
void TSceInverse(const double* stn, double orientation, double hi, double ht, double scale, double elevation,
                 const double* tgt, bool computeHA, bool computeZA, short mode, double* out);

// out = {HA, SD sin ZA, SD cos ZA}: reading, horizontal distance, vertical difference.
void HAZDSDtoHAHDVD(const double* obs, double* out);

// The radius of a round object whose edge was sighted: the horizontal distance of `obs` times
// tan(angle) (angle in degrees, the angle between the sight to the edge and to the centre);
// where |cos angle| <= 1e-13 (tan undefined) HD x sin(angle) is given instead. One output.
void GetRadius(double angle, const double* obs, double* radius);
