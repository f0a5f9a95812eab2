// Estimates of a position: a scalar first-order Gauss-Markov filter step, the running average
// of measured positions weighted by their precision figures, and the position of a point from
// vertical angles to known points.
#pragma once

// One step of a scalar first-order Gauss-Markov filter: prediction over dt with correlation time
// tau (|tau| below 1e-16 taken as 1e-16) and process noise q, x = x e^(-dt/tau),
// p = q tau / 2 (1 - e^(-2 dt/tau)) + p e^(-2 dt/tau); then the update with the measurement z of
// standard deviation sigmaZ. When p and sigmaZ are both 0 after the prediction (0 / 0 gain),
// the prediction is kept: x unchanged, p = 0.
void firstOrderGaussMarkov(double& x, double& p, double q, double tau, double z, double sigmaZ, double dt);

// Precision figures of a measured position: the standard deviation of figure k is m x pk.
// p2 is the figure of the height and weights all three coordinates in the average.
struct PosInfo {
    float p0 = 0.0f, p1 = 0.0f, p2 = 0.0f;
    float m = 1.0f;
};

// Starts an average from its first position and figures: avg = pos, avgInfo.pk = m x pk,
// avgInfo.m = 1. (An average started from zeros would weigh them infinitely.)
void StartAvgPositions(double* avg, PosInfo* avgInfo, const double* pos, const PosInfo* info);

// Adds a position to the average: the figures combine as sqrt(1 / (1/a^2 + 1/b^2)) (a squared
// figure that is not positive counts as 1e16, almost no weight); the three coordinates are
// weighted by the squared third figures. When runningVar is given it keeps the running mean of
// the squared third figure: pass it holding 0 to start it. Its counter is process-wide (one
// running mean at a time; not thread-safe). Returns 1.
int ComputeAvgPositions(double* avg, PosInfo* avgInfo, const double* pos, const PosInfo* info, double* runningVar);
// Combines the figures only (k = 1, 0, 2). Returns 1.
int ComputeAvgDOPs(PosInfo* avg, const PosInfo* info);

// The position out = {X, Y, Z} of a point from the vertical angles (elevations, degrees) to or
// from n known points pts = n triples {x, y, z}: the height z_i + d_i tan(angle_i) must agree
// for consecutive points. Gauss-Newton from the centroid, at most 20 iterations, until a step
// is below 1e-7 in plan. status: 0 success; 1 singular normal equations (|det| < 1e-12, for
// example three points on a line); 2 the estimate fell onto a known point in plan; 3 fewer than
// three points. out[0], out[1] receive the centroid at the start and every move; out[2] is
// written only after a move. rms: the root-mean-square height misclosure of the last iteration
// (sum over the n - 1 pairs divided by n). From the centroid start the iteration can settle
// elsewhere when the point lies outside the known points; it recovers a point within about
// 0.3 R of the centroid of points near a circle of radius R.
void InitializeQadra2(int n, const double* pts, const double* angles, double* out, int& status, double& rms);
