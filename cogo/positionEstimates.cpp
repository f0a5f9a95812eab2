#include "cogo/positionEstimates.h"

#include "numeric/units.h"

#include <cmath>

namespace {

const double kMinTau = 1e-16;
const double kNoPrecision = 1e16;
const int kMaxIterations = 20;
const double kMinPlanDistance = 1e-12;
const double kSingularDet = 1e-12;
const double kSettledStepSq = 1e-14;

// The running mean's counter (process-wide; reset by a running value of 0).
long gRunningCount = 1;

double squaredOrNoPrecision(double s)
{
    const double sq = s * s;
    return sq > 0.0 ? sq : kNoPrecision;
}

double combine(double a, double b)
{
    return std::sqrt(1.0 / (1.0 / squaredOrNoPrecision(a) + 1.0 / squaredOrNoPrecision(b)));
}

} // namespace

void firstOrderGaussMarkov(double& x, double& p, double q, double tau, double z, double sigmaZ, double dt)
{
    if (std::fabs(tau) < kMinTau)
        tau = kMinTau;
    const double beta = 1.0 / tau;
    const double phi = std::exp(-beta * dt);
    x *= phi;
    p = q / (2.0 * beta) * (1.0 - phi * phi) + p * phi * phi;
    const double denom = sigmaZ * sigmaZ + p;
    if (denom == 0.0) {
        p = 0.0;   // both certain: the prediction is kept
        return;
    }
    const double k = p / denom;
    x += k * (z - x);
    p = (1.0 - k) * p;
}

void StartAvgPositions(double* avg, PosInfo* avgInfo, const double* pos, const PosInfo* info)
{
    for (int i = 0; i < 3; ++i)
        avg[i] = pos[i];
    avgInfo->p0 = info->m * info->p0;
    avgInfo->p1 = info->m * info->p1;
    avgInfo->p2 = info->m * info->p2;
    avgInfo->m = 1.0f;
}

int ComputeAvgPositions(double* avg, PosInfo* avgInfo, const double* pos, const PosInfo* info, double* runningVar)
{
    if (runningVar) {
        if (*runningVar == 0.0)
            gRunningCount = 1;
        const double p2 = info->p2;
        *runningVar += (p2 * p2 - *runningVar) / static_cast<double>(gRunningCount);
        ++gRunningCount;
    }
    avgInfo->m = 1.0f;
    const double m = info->m;
    avgInfo->p1 = static_cast<float>(combine(avgInfo->p1, m * info->p1));
    avgInfo->p0 = static_cast<float>(combine(avgInfo->p0, m * info->p0));
    const double oldP2 = avgInfo->p2;
    const double wOld = 1.0 / squaredOrNoPrecision(oldP2);
    const double wNew = 1.0 / squaredOrNoPrecision(m * info->p2);
    const double v = 1.0 / (wOld + wNew);
    avgInfo->p2 = static_cast<float>(std::sqrt(v));
    const double w = 1.0 / (oldP2 * oldP2);
    for (int i = 0; i < 3; ++i)
        avg[i] = (avg[i] * w + pos[i] * wNew) * v;
    return 1;
}

int ComputeAvgDOPs(PosInfo* avg, const PosInfo* info)
{
    avg->p1 = static_cast<float>(combine(avg->p1, info->p1));
    avg->p0 = static_cast<float>(combine(avg->p0, info->p0));
    avg->p2 = static_cast<float>(combine(avg->p2, info->p2));
    return 1;
}

void InitializeQadra2(int n, const double* pts, const double* angles, double* out, int& status, double& rms)
{
    status = 0;
    if (n < 3) {
        status = 3;
        return;
    }
    double X = 0.0, Y = 0.0;
    for (int i = 0; i < n; ++i) {
        X += pts[3 * i];
        Y += pts[3 * i + 1];
    }
    X /= n;
    Y /= n;
    out[0] = X;
    out[1] = Y;
    for (int iter = 0; iter < kMaxIterations; ++iter) {
        double saa = 0, sab = 0, sbb = 0, saw = 0, sbw = 0, sww = 0;
        for (int i = 0; i + 1 < n; ++i) {
            const double* p = pts + 3 * i;
            const double* q = pts + 3 * (i + 1);
            const double di = std::hypot(X - p[0], Y - p[1]);
            const double dj = std::hypot(X - q[0], Y - q[1]);
            if (di < kMinPlanDistance || dj < kMinPlanDistance) {
                status = 2;
                return;
            }
            const double ti = std::tan(angles[i] * kRadPerDeg), tj = std::tan(angles[i + 1] * kRadPerDeg);
            const double w = tj * dj - ti * di + (q[2] - p[2]);
            const double a = ti * (X - p[0]) / di - tj * (X - q[0]) / dj;
            const double b = ti * (Y - p[1]) / di - tj * (Y - q[1]) / dj;
            saa += a * a;
            sab += a * b;
            sbb += b * b;
            saw += a * w;
            sbw += b * w;
            sww += w * w;
        }
        const double det = saa * sbb - sab * sab;
        if (std::fabs(det) < kSingularDet) {
            status = 1;
            return;
        }
        const double dX = (sbb * saw - sab * sbw) / det;
        const double dY = (saa * sbw - sab * saw) / det;
        X += dX;
        Y += dY;
        out[0] = X;
        out[1] = Y;
        rms = std::sqrt(sww / n);
        out[2] = pts[2] + std::tan(angles[0] * kRadPerDeg) * std::hypot(X - pts[0], Y - pts[1]);
        if (dX * dX + dY * dY < kSettledStepSq)
            return;
    }
}
