// Grid-to-ground reduction of a job and the plane pieces of the geodetic computations that a
// station set-up uses: the grid-to-ground factor and inverse, the earth-curvature and refraction
// corrections of an observation, grid/ground distances and offsets between points.
//
// Units and frames: coordinate triples {north, east, height}, metres; angles in degrees (zenith
// angles from the zenith, azimuths clockwise from grid north).
#pragma once

#include <cstdint>

// The grid-to-ground parameters of a job.
// mode flags (values): 1 use `factor`; 2 use `height`; 4 divide by `scale`. A record whose mode is 0 is in
// the older form, in which the first double (`factor`) held the project height: the first
// factor query converts it (height = that value, factor = scale = 1, mode = 2), also through a
// const reference; that is why those members are mutable.
struct TG2gParams {
    mutable double factor = 1.0;    // a fixed combined grid-to-ground factor
    mutable double scale = 1.0;     // the grid scale factor
    mutable double height = 0.0;    // mean project height, metres
    std::int32_t enabled = 0;       // nonzero: grid-to-ground reduction in force
    mutable std::uint32_t mode = 0;

    // The grid-to-ground factor (ground distance = grid distance x factor):
    // 1 when not enabled; with mode flag 2, (height / R + 1) / s with R = h when h > 1 m, else
    // 6371000 m, where s = `scale` with flag 4, else the given s (1 when below 0.01; s is read
    // before the older-form conversion); otherwise `factor` with flag 1, else 1. The conversion
    // of an older-form record happens on every first query, enabled or not.
    double getFactor(double s = 1.0, double h = 0.0) const;
};

namespace CogoFunctions {

// The plane inverse record out[8] (see CogoFunctions::TwoPointInverse in cogoFunctions.h)
// between grid points, with the horizontal distance (and dN, dE from its azimuth) turned into a
// ground distance by params.getFactor() when toGround. Returns 0; -1 when HD < 1e-5 m, with
// nothing written.
int TwoPointInverse(const double* p1, const double* p2, double* out, const TG2gParams& params, bool toGround);

} // namespace CogoFunctions

// Earth curvature and refraction applied to an observation (sd metres, za degrees, updated in
// place): with s = sin za, c = cos za, C = sd s / 2R (when curvature) and F = sd s k / 2R (when
// refraction), R = 6371000 m, the horizontal part becomes sd (s - (2C - F) c) and the vertical
// sd ((C - F) s + c). Nothing happens when both flags are false or sd < 1e-40.
void ECRFCorrections(double& sd, double& za, bool refraction, bool curvature, double k);

// A distance d (metres) to ground (toGround nonzero: d x scale) or to grid (d / scale), through
// the horizontal part at the zenith angle za (degrees): (d sin za / scale) / sin za, with 1e-40
// added to sin za and scale; the order of operations is kept.
void GridToGround(double& d, double za, double scale, int toGround);

// out = {azimuth, zenith angle, distance} from p0 to p1 (TaskInverse, orientation 0, dh 0); the
// distance is slope with `slope`, else horizontal.
void GetOffsetFromNeuCoords(const double* p0, const double* p1, bool slope, double* out);

// The reverse: the point at offset = {azimuth, zenith angle, distance} from p0. Without `slope`
// the distance is horizontal and is divided by sin za when |sin za| > 1e-16 (so a vertical
// offset, za 0 or 180, keeps no height difference).
void OffsetNeuCoords(const double* p0, const double* offset, bool slope, double* out);
