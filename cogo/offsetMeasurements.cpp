#include "cogo/offsetMeasurements.h"

#include "cogo/instrumentTasks.h"
#include "cogo/intersections.h"
#include "numeric/mathAngle.h"
#include "numeric/units.h"

#include <cmath>

namespace {

const double kMinPoleLength = 1e-5;
const double kTinyLength = 1e-13;
const double kZeroTest = 1e-12;

double planDistance(const double* a, const double* b)
{
    return std::hypot(b[0] - a[0], b[1] - a[1]);
}

// Height of the line a1 -> a2 at the plan point p, linear in the signed position along it.
double heightAlong(const double* a1, const double* a2, double n, double e)
{
    const double dN = a2[0] - a1[0];
    const double dE = a2[1] - a1[1];
    const double t = ((n - a1[0]) * dN + (e - a1[1]) * dE) / (dN * dN + dE * dE);
    return a1[2] + t * (a2[2] - a1[2]);
}

void observedPoint(const double* stn, double orientation, double dh, double ha, double za, double sd, double* p)
{
    const double obs[3] = {ha, za, sd};
    TaskDirection(stn, orientation, dh, obs, p, nullptr);
}

} // namespace

int HiddenPoint(const double* p1, const double* p2, double dist, double* out)
{
    const double d[3] = {p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
    const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (len <= kMinPoleLength) {
        out[0] = out[1] = out[2] = 0.0;
        return 0;
    }
    for (int i = 0; i < 3; ++i)
        out[i] = p2[i] + d[i] / len * dist;
    return 1;
}

int AlongAndPerp(const double* p1, const double* p2, double left, double along, double* out)
{
    const double len = planDistance(p1, p2);
    if (len < kZeroTest)
        return 0;
    const double uN = (p2[0] - p1[0]) / len;
    const double uE = (p2[1] - p1[1]) / len;
    out[0] = p2[0] + along * uN - left * uE;
    out[1] = p2[1] + along * uE + left * uN;
    return 1;
}

int LineOffset(const double* p1, const double* p2, double along, double right, double up, double* out)
{
    const double dN = p2[0] - p1[0];
    const double dE = p2[1] - p1[1];
    const double dH = p2[2] - p1[2];
    const double az = GetRefAziPts(dE, dN) * kRadPerDeg;
    const double hd = std::sqrt(dN * dN + dE * dE);
    const double sd = std::sqrt(hd * hd + dH * dH);
    double a = 0.0, v = 0.0;
    if (sd > kTinyLength) {
        a = along * hd / sd;
        v = along * dH / sd;
    }
    out[0] = p2[0] + std::cos(az) * a - std::sin(az) * right;
    out[1] = p2[1] + std::sin(az) * a + std::cos(az) * right;
    out[2] = p2[2] + v + up;
    return 1;
}

int LineOffset(const double* stn, double bsAz, double bsHA, double dh, double HA1, double ZA1, double SD1,
               double HA2, double ZA2, double SD2, double along, double right, double up, double* out)
{
    double p1[3], p2[3];
    observedPoint(stn, bsAz - bsHA, dh, HA1, ZA1, SD1, p1);
    observedPoint(stn, bsAz - bsHA, dh, HA2, ZA2, SD2, p2);
    return LineOffset(p1, p2, along, right, up, out);
}

int LineLine(const double* a1, const double* a2, const double* b1, const double* b2, double* out)
{
    // Coinciding points give no line; parallel lines no intersection.
    if (planDistance(a1, a2) < kZeroTest || planDistance(b1, b2) < kZeroTest)
        return 0;
    const double azA = GetRefAziPts(a2[1] - a1[1], a2[0] - a1[0]);
    const double azB = GetRefAziPts(b2[1] - b1[1], b2[0] - b1[0]);
    double x, y;
    if (!ComputeENIntersectionPoint(a1[1], a1[0], azA, b1[1], b1[0], azB, x, y))
        return 0;
    out[0] = y;
    out[1] = x;
    out[2] = heightAlong(a1, a2, y, x);
    return 1;
}

int LineLine(const double* stn, double bsAz, double bsHA, double dh, const double* obsA1, const double* obsA2,
             const double* obsB1, const double* obsB2, double* out)
{
    const double o = bsAz - bsHA;
    double a1[3], a2[3], b1[3], b2[3];
    TaskDirection(stn, o, dh, obsA1, a1, nullptr);
    TaskDirection(stn, o, dh, obsA2, a2, nullptr);
    TaskDirection(stn, o, dh, obsB1, b1, nullptr);
    TaskDirection(stn, o, dh, obsB2, b2, nullptr);
    if (planDistance(a1, a2) < kZeroTest || planDistance(b1, b2) < kZeroTest)
        return 0;
    double A1, B1, C1, A2, B2, C2, x, y;
    ComputeEqVars(a1[1], a1[0], a2[1], a2[0], A1, B1, C1);
    ComputeEqVars(b1[1], b1[0], b2[1], b2[0], A2, B2, C2);
    if (!GetIntersectionPointFromEqVars(A1, B1, C1, A2, B2, C2, x, y))
        return 0;
    out[0] = y;
    out[1] = x;
    out[2] = (heightAlong(a1, a2, y, x) + heightAlong(b1, b2, y, x)) / 2.0;
    return 1;
}

int LineCorner(const double* stn, double bsAz, double bsHA, double /*hi*/, const double* p1, const double* p2,
               double HA, double* out)
{
    const double aL = GetRefAziPts(p2[1] - p1[1], p2[0] - p1[0]);
    const double az = bsAz - bsHA + HA;
    double A1, B1, C1, A2, B2, C2;
    ComputeEqVars(aL, p1[1], p1[0], A1, B1, C1);
    ComputeEqVars(az, stn[1], stn[0], A2, B2, C2);
    const double s = A1 * stn[1] + B1 * stn[0] - C1;
    const double sigma = std::sin((aL - az) * kRadPerDeg);
    if (std::fabs(s) < kZeroTest || std::fabs(sigma) < kZeroTest || sigma * s <= 0.0)
        return 0;
    double x, y;
    if (!GetIntersectionPointFromEqVars(A1, B1, C1, A2, B2, C2, x, y))
        return 0;
    const double corner[2] = {y, x};
    const double len = planDistance(p1, p2);
    const double dH = p1[2] - p2[2];
    const double d1 = planDistance(p1, corner);
    const double d2 = planDistance(p2, corner);
    out[0] = y;
    out[1] = x;
    out[2] = d1 < d2 ? p1[2] + d1 / len * dH : p2[2] - d2 / len * dH;
    return 1;
}

int LineCorner(const double* stn, double bsAz, double bsHA, double hi, double HA1, double ZA1, double SD1,
               double HA2, double ZA2, double SD2, double HA, double ZA, double up, double* out)
{
    double p1[3], p2[3], corner[3];
    observedPoint(stn, bsAz - bsHA, hi, HA1, ZA1, SD1, p1);
    observedPoint(stn, bsAz - bsHA, hi, HA2, ZA2, SD2, p2);
    if (!LineCorner(stn, bsAz, bsHA, hi, p1, p2, HA, corner))
        return 0;
    const double z = ZA * kRadPerDeg;
    if (std::fabs(std::sin(z)) >= kTinyLength)
        corner[2] = stn[2] + planDistance(stn, corner) * std::cos(z) / std::sin(z) + up;
    for (int i = 0; i < 3; ++i)
        out[i] = corner[i];
    return 1;
}

int PlaneOffset(const double* stn, double bsAz, double bsHA, double hi, const double* p1, const double* p2,
                const double* p3, double HA, double ZA, double* out)
{
    const double az = (bsAz - bsHA + HA) * kRadPerDeg;
    const double za = ZA * kRadPerDeg;
    const double o[3] = {stn[0], stn[1], stn[2] + hi};
    const double d[3] = {std::cos(az) * std::sin(za), std::sin(az) * std::sin(za), std::cos(za)};
    const double u[3] = {p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
    const double v[3] = {p3[0] - p1[0], p3[1] - p1[1], p3[2] - p1[2]};
    const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double s = n[0] * (o[0] - p1[0]) + n[1] * (o[1] - p1[1]) + n[2] * (o[2] - p1[2]);
    const double t = n[0] * d[0] + n[1] * d[1] + n[2] * d[2];
    if (std::fabs(s) < kZeroTest || std::fabs(t) < kZeroTest || s * t >= 0.0)
        return 0;
    for (int i = 0; i < 3; ++i)
        out[i] = o[i] + (-s / t) * d[i];
    return 1;
}

int PlaneOffset(const double* stn, const double* block, double* out)
{
    const double bsAz = block[0], bsHA = block[1], hi = block[2];
    double p[3][3];
    for (int i = 0; i < 3; ++i)
        TaskDirection(stn, bsAz - bsHA, hi, block + 3 + 3 * i, p[i], nullptr);
    return PlaneOffset(stn, bsAz, bsHA, hi, p[0], p[1], p[2], block[12], block[13], out);
}

void Offsets4TS(const double* stn, double bsAz, double bsHA, double hi, double ht, const double* obs, double* out,
                ETypeOffset kind, double a, double b, double c, double* correctedObs)
{
    double ha = obs[0] * kRadPerDeg;
    double za = obs[1] * kRadPerDeg;
    double sd = obs[2];
    const double hd0 = sd * std::sin(za);
    switch (kind) {
    case OFFSET_HA:
        ha += a * kRadPerDeg;
        break;
    case OFFSET_HA_VA:
        ha += a * kRadPerDeg;
        za += b * kRadPerDeg;
        if (std::fabs(std::sin(za)) > kTinyLength)
            sd = hd0 / std::sin(za);
        ht = 0.0;
        break;
    case OFFSET_DISTANCES: {
        const double hd1 = hd0 + a;
        const double hd2 = std::sqrt(hd1 * hd1 + b * b);
        const double vd = sd * std::cos(za) + c;
        ha += atan3(b, hd1);
        za = atan3(hd2, vd);
        sd = std::sqrt(vd * vd + hd2 * hd2);
        break;
    }
    default:
        break;
    }
    const double corrected[3] = {ha * kDegPerRad, za * kDegPerRad, sd};
    if (correctedObs) {
        for (int i = 0; i < 3; ++i)
            correctedObs[i] = corrected[i];
    }
    TaskDirection(stn, bsAz - bsHA, hi - ht, corrected, out, nullptr);
}
