// Station set-up on a new point: the backsight constant (orientation) from readings to points
// of known azimuth, the station height from zenith angles and distances to points of known
// height, approximate plane coordinates from readings and distances, and the full resection
// by least squares.
//
// Units: angles in decimal degrees (readings clockwise, zenith angles from the zenith), angle
// standard deviations in arc seconds, distances and coordinates in metres, coordinates in
// north/east order. Flags are int, 0 or non-zero. Parallel arrays have length n.
#pragma once

#include "cogo/gridToGround.h"

// The orientation of a set-up: the circular mean of az - ha over the observations both valid
// and used, in [0, 360) (readings 359.99 and 0.01 to azimuths 0 and 0.02 give 0.01).
// `constant` = 0 and `sigmaConstant` = sigma are written first; with no such observation the
// result is 0 and nothing else happens. Otherwise sigmaConstant = sigma / sqrt(m) and, when
// wantResiduals, residuals[i] = ha + constant - az in (-180, 180] for every valid observation,
// used or not. Returns 1.
int computeBSConstant(int n, const double* az, const int* valid, const double* ha, double sigma, const int* use,
                      double& constant, double& sigmaConstant, int wantResiduals, double* residuals);

// The station height from the observations whose four flags are all set (flag1 the point's
// height is known, flag2 it is used, flag3 it has a zenith angle, flag4 a slope distance): each
// gives knownH + targetH - sd cos za - hi, weighted by 1 / ((sigmaDist^2 + (ppm 1e-6 sd)^2) cos^2 za
// + (sd sin za)^2 (sigmaAngle / 206264.8)^2). sigmaAngle in arc seconds, ppm in parts per million.
// stationH = sigmaH = 0 are written first; result 0 when no observation has all four flags.
// sigmaH = sqrt(1 / sum w), scaled, when two or more took part, by the a-posteriori factor
// sqrt(V / (m - 1)) with V = sum w r^2 (the usual standard deviation of unit weight).
// With wantResiduals, every observation with flags 1, 3 and 4 gets heightDiff = stationH -
// knownH, residualH = r = stationH - its height, residualZ = r / (sd sin za) in degrees.
// `g2g` is accepted and not read.
int HeightInResection(int n, const double* knownH, const double* sd, const double* za, const double* targetH,
                      double hi, double sigmaAngle, double sigmaDist, double ppm, const int* flag1, const int* flag2,
                      const int* flag3, const int* flag4, double& stationH, double& sigmaH, int wantResiduals,
                      double* heightDiff, double* residualH, double* residualZ, TG2gParams& g2g);

// Approximate plane coordinates of the station from the readings (ha where hasHa) and the zenith
// angles and slope distances (za, sd where hasZa and hasSd) to the points (north, east) where
// known[i]: candidates from three-point resections, a reading pair with one distance and two
// distances over consecutive points; the closest agreeing pair (within 0.25 m) is the answer.
// Returns 1 with the station written; 0 (outputs untouched) when there is no candidate or more
// than one candidate and none agreeing. Points less than 0.25 m from an earlier point are
// dropped. The three-point resection finds nothing when the station lies on the circle through
// the three points. `g2g` is accepted and not read (distances are used as measured).
int approximateResectionHCoords(int n, const double* north, const double* east, const int* known, const double* ha,
                                const int* hasHa, const double* za, const double* sd, const int* hasZa,
                                const int* hasSd, double& stationN, double& stationE, TG2gParams& g2g);

// One observation of a resection.
struct TResectionObs {
    double north, east, height;               // the known point
    double ha, za, sd, targetHeight;          // reading, zenith angle, slope distance, target height
    int hasHeight, hasHa, hasZaSd, use;       // use 0: residuals only
};

struct TResectionResult {
    double north, east, height;               // height unset (numeric/unsetValue.h) when none was formed
    double orientation;                       // [0, 360): azimuth = reading + orientation; unset without readings
    double sigmaNorth, sigmaEast, sigmaHeight, sigmaOrientation;   // m, m, m, arc seconds (unset with their value)
    int iterations;
};

// Why a resection has no answer.
enum TResectionStatus {
    RESECTION_OK = 0,
    RESECTION_TOO_FEW,       // fewer observations than unknowns, or fewer than two points used
    RESECTION_AMBIGUOUS,     // no unambiguous start position (approximateResectionHCoords)
    RESECTION_SINGULAR,      // the normal equations are singular (a weak or degenerate figure)
    RESECTION_UNSETTLED,     // 20 iterations without settling
    RESECTION_BAD_INPUT      // n < 0, a standard deviation not positive, a value not finite
};

// The full resection. From approximateResectionHCoords, north and east (and the orientation,
// given readings) are adjusted by weighted least squares (Gauss-Newton, at most 20 iterations)
// over every used reading (sigmaAngle, arc seconds) and horizontal distance sd sin za divided by
// the grid-to-ground factor of g2g (sigma^2 = sigmaDist^2 + (ppm 1e-6 sd)^2); the adjustment
// settles when a step moves the station less than 1e-8 m and the orientation less than 1e-10
// rad. Then the orientation comes from computeBSConstant and the height from HeightInResection
// (instrument height hi) at the adjusted station. sigmaNorth and sigmaEast are the a-priori
// standard deviations of the adjustment (from the inverse normal matrix, not scaled by the
// residuals); sigmaOrientation and sigmaHeight those of computeBSConstant and HeightInResection.
// Residuals (any pointer may be null), observed minus computed: resHa (arc seconds) for readings,
// resHd (metres, grid) for distances, resH (metres, HeightInResection's station-height residual)
// where a height and a distance exist; unset where an observation lacks the value.
// Returns 1; 0 with every output untouched when there is no answer (`status` says why).
int ThreeDResection(int n, const TResectionObs* obs, double hi, double sigmaAngle, double sigmaDist, double ppm,
                    TG2gParams& g2g, TResectionResult& result, double* resHa, double* resHd, double* resH);
int ThreeDResection(int n, const TResectionObs* obs, double hi, double sigmaAngle, double sigmaDist, double ppm,
                    TG2gParams& g2g, TResectionResult& result, double* resHa, double* resHd, double* resH,
                    TResectionStatus& status);
