#include "cogo/instrumentTasks.h"

#include "numeric/mathAngle.h"
#include "numeric/units.h"

#include <cmath>

namespace {

// Computed once when the library is loaded.
const double kSinHorizontalAccuracy = std::sin(5.0 * kArcSecond);
const double kSinVerticalAccuracy = std::sin(10.0 * kArcSecond);

const double kDistAccuracyConst = 0.003;   // metres
const double kDistAccuracyPpm = 3e-6;
const double kTinyDiff = 1e-13;
const double kMinFactor = 1e-6;
const double kMinRootArg = 1e-5;

// Azimuth of a reading in degrees, reduced by 360 once when >= 360.
double readingAzimuth(double ha, double orientation)
{
    double az = ha + orientation;
    if (az >= 360.0)
        az -= 360.0;
    return az;
}

} // namespace

void PointAccuracy(double sd, double* accuracy)
{
    const double sigmaD = std::hypot(kDistAccuracyPpm * sd, kDistAccuracyConst);
    accuracy[0] = std::hypot(kSinHorizontalAccuracy * sd, sigmaD);
    accuracy[1] = std::hypot(kSinVerticalAccuracy * sd, sigmaD);
}

void TaskDirection(const double* stn, double orientation, double dh, const double* obs, double* out,
                   double* accuracy)
{
    const double az = readingAzimuth(obs[0], orientation) * kRadPerDeg;
    const double za = obs[1] * kRadPerDeg;
    const double hd = obs[2] * std::sin(za);
    const double vd = obs[2] * std::cos(za);
    out[0] = stn[0] + std::cos(az) * hd;
    out[1] = stn[1] + std::sin(az) * hd;
    out[2] = stn[2] + vd + dh;
    if (accuracy)
        PointAccuracy(obs[2], accuracy);
}

void TaskDirection(const double* stn, double bsAz, double bsHA, double dh, const double* obs, double* out,
                   double* accuracy)
{
    TaskDirection(stn, bsAz - bsHA, dh, obs, out, accuracy);
}

void TaskInverse(const double* stn, double orientation, double dh, const double* tgt, double* out)
{
    const double dN = tgt[0] - stn[0];
    const double dE = tgt[1] - stn[1];
    const double dH = (tgt[2] - stn[2]) - dh;
    double ha = atan3(dE, dN) * kDegPerRad - orientation;
    if (ha < 0.0)
        ha += 360.0;
    const double hd = std::sqrt(dN * dN + dE * dE);
    out[0] = ha;
    out[1] = atan3(hd, dH) * kDegPerRad;
    out[2] = std::sqrt(dH * dH + hd * hd);
}

void TaskInverse(const double* stn, double bsAz, double bsHA, double dh, const double* tgt, double* out)
{
    TaskInverse(stn, bsAz - bsHA, dh, tgt, out);
}

double RefractionOfMode(short mode)
{
    if (mode == 0)
        return 0.0;
    return mode == 2 ? 0.2 : 0.14;
}

void TSceTaskDirection(const double* stn, double orientation, double hi, double ht, const double* obs,
                       double scale, double elevation, double* out, short mode, double* accuracy)
{
    const double R = kInstrumentEarthRadius;
    const double az = readingAzimuth(obs[0], orientation) * kRadPerDeg;
    const double za = obs[1] * kRadPerDeg;
    const double hd = obs[2] * std::sin(za);
    const double vd = obs[2] * std::cos(za);
    double hdc = hd;
    double vdc = vd;
    if (mode != 0) {
        const double k = RefractionOfMode(mode);
        hdc = hd - (1.0 - k / 2.0) * vd * hd / R;
        vdc = vd + (1.0 - k) * hd * hd / (2.0 * R);
    }
    const double grid = hdc * R / (elevation + R) * scale;
    out[0] = stn[0] + std::cos(az) * grid;
    out[1] = stn[1] + std::sin(az) * grid;
    out[2] = stn[2] + vdc + hi - ht;
    if (accuracy)
        PointAccuracy(obs[2], accuracy);
}

void TSceInverse(const double* stn, double orientation, double hi, double ht, double scale, double elevation,
                 const double* tgt, bool computeHA, bool computeZA, short mode, double* out)
{
    const double R = kInstrumentEarthRadius;
    double f = scale * R / (elevation + R);
    if (f < kMinFactor)
        f = 1.0;
    const double dN = tgt[0] - stn[0];
    const double dE = tgt[1] - stn[1];
    const double HD = std::sqrt(dN * dN + dE * dE);
    const double dH = (tgt[2] + ht) - (stn[2] + hi);
    if (computeHA) {
        if (std::fabs(dN) < kTinyDiff && std::fabs(dE) < kTinyDiff) {
            out[1] = orientation;
        } else {
            double az = std::atan2(dE, dN) * kDegPerRad;
            if (az < 0.0)
                az += 360.0;
            double ha = az - orientation;
            if (ha >= 360.0)
                ha -= 360.0;
            if (ha < 0.0)
                ha += 360.0;
            out[1] = ha;
        }
    }
    if (computeZA) {
        double za = 90.0;
        if (std::fabs(dH) >= kTinyDiff) {
            za = std::atan2(HD, dH) * kDegPerRad;
            if (za < 0.0)
                za += 360.0;
        }
        out[0] = za;
    }
    const double hd = HD / f;
    const double z = out[0] * kRadPerDeg;
    const double sz = std::sin(z);
    if (std::fabs(sz) <= kTinyDiff) {
        out[2] = hd;
    } else if (mode == 0) {
        out[2] = std::sqrt(dH * dH + hd * hd);
    } else {
        const double c = 2.0 - RefractionOfMode(mode);
        const double s2 = std::sin(2.0 * z);
        const double q = sz * sz - c * s2 * hd / R;
        if (q > kMinRootArg) {
            // The root (sin z - sqrt q) x 2R / (c sin 2z), evaluated without cancellation: for
            // sin z > 0 as the equal 2 hd / (sin z + sqrt q) (the literal form loses every digit
            // near a level sight and divides 0 by 0 at z = 90), else literally (no cancellation).
            out[2] = sz > 0.0 ? 2.0 * hd / (sz + std::sqrt(q)) : (sz - std::sqrt(q)) * 2.0 * R / (c * s2);
        } else {
            out[2] = hd;
        }
    }
}

void HAZDSDtoHAHDVD(const double* obs, double* out)
{
    const double za = obs[1] * kRadPerDeg;
    const double sd = obs[2];
    out[0] = obs[0];
    out[1] = sd * std::sin(za);
    out[2] = sd * std::cos(za);
}

void GetRadius(double angle, const double* obs, double* radius)
{
    double hv[3];
    HAZDSDtoHAHDVD(obs, hv);
    const double a = angle * kRadPerDeg;
    const double c = std::cos(a);
    *radius = std::fabs(c) > kTinyDiff ? hv[1] * std::sin(a) / c : hv[1] * std::sin(a);
}
