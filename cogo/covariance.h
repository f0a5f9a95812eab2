// Covariances of 3-D positions: the covariance-weighted mean of two estimates, the covariance
// of a position in the earth-centred frame from its plan and height precision, and the
// symmetric covariance type with its inverse and frame changes.
//
// Two orders of six doubles:
//  - covariance arrays (wAveVec, wAveCov, ComputeCovMatrix): the lower triangle row by row,
//    c11, c21, c22, c31, c32, c33;
//  - TCoordCov: c11, c22, c33, c12, c13, c23.
// Inversion is by the adjugate; a matrix is singular when |det| <= 1e-20 (absolute): a
// covariance sigma^2 I counts as singular for sigma below 0.464 mm, so give sigmas of 1 mm or
// more. The adjugate loses digits for sigmas spread over more than a factor of about 100.
// 3x3 matrices are double[3][3], row by row. Units are the caller's (metres squared for
// positions); angles in degrees.
#pragma once

#include "cogo/coords.h"

// A symmetric covariance of a position: the first two coordinates the plan components, the
// third the height component.
struct TCoordCov {
    double c11 = 0.0, c22 = 0.0, c33 = 0.0, c12 = 0.0, c13 = 0.0, c23 = 0.0;

    // plan = sqrt(c11 + c22), height = sqrt(c33).
    void getRms(double& plan, double& height) const;
    // The inverse (adjugate / det); false (out unchanged) when |det| <= 1e-20.
    bool getInverse(TCoordCov& out) const;
    // The matrix times the coordinate triple; the result's mask is 7.
    TCoords operator*(const TCoords& v) const;
    // C becomes M C M^T.
    void transformToAnotherCS(double m[3][3]);
    // C becomes A^T C A with A = GenerateATMatrix(position.x, position.y) (latitude, longitude
    // in degrees): an earth-centred covariance in the local east, north, up frame.
    void geocentric2topocentric(const TCoords& position);
    // C becomes S C S with S = diag(1/s1, 1/s2, 1/s3).
    void scale(double s1, double s2, double s3);
};

// The matrix whose columns are the east, north and up directions at (lat, lon) in earth-centred
// coordinates (local to earth-centred; its transpose the reverse). lon is taken with pos360.
void GenerateATMatrix(double m[3][3], double lat, double lon);
// t = m^T.
void GenerateTransposeMatrix(double m[3][3], double t[3][3]);
// c = a b; c may be a or b.
void ProdMat(double a[3][3], double b[3][3], double c[3][3]);

// The earth-centred covariance (lower triangle) of a position at (lat, lon) with plan standard
// deviation planSigma (planSigma^2 / 2 on each horizontal axis) and heightSigma.
void ComputeCovMatrix(double lat, double lon, double planSigma, double heightSigma, double* cov);

// cov2 = (cov1^-1 + cov2^-1)^-1. Returns 1; 0 with cov2 untouched when an inversion fails.
int wAveCov(const double* cov1, double* cov2);
// The covariance-weighted mean of (vec1, cov1) and (vec2, cov2) into vec2 and cov2:
// vec2 = (cov1^-1 + cov2^-1)^-1 (cov1^-1 vec1 + cov2^-1 vec2). Returns 1; 0 with vec2 and cov2
// untouched when an inversion fails.
int wAveVec(const double* cov1, const double* vec1, double* cov2, double* vec2);
