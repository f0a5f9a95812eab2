#include "cogo/gridToGround.h"

#include "cogo/cogoFunctions.h"
#include "cogo/instrumentTasks.h"
#include "cogo/intersections.h"
#include "numeric/mathAngle.h"
#include "numeric/units.h"

#include <cmath>

namespace {

const std::uint32_t kModeFactor = 1;
const std::uint32_t kModeHeight = 2;
const std::uint32_t kModeScale = 4;
const double kMinScale = 0.01;
const double kMinRadiusArg = 1.0;
const double kMinInverseHd = 1e-5;
const double kTiny = 1e-40;
const double kMinSinZa = 1e-16;

} // namespace

double TG2gParams::getFactor(double s, double h) const
{
    if (mode & kModeScale)
        s = scale;
    if (s < kMinScale)
        s = 1.0;
    if (mode == 0) {
        // The older form: the first double held the height.
        height = factor;
        factor = 1.0;
        scale = 1.0;
        mode = kModeHeight;
    }
    if (enabled == 0)
        return 1.0;
    if (mode & kModeHeight) {
        const double R = h > kMinRadiusArg ? h : kInstrumentEarthRadius;
        return (height / R + 1.0) / s;
    }
    return (mode & kModeFactor) ? factor : 1.0;
}

namespace CogoFunctions {

int TwoPointInverse(const double* p1, const double* p2, double* out, const TG2gParams& params, bool toGround)
{
    double dN = p2[0] - p1[0];
    double dE = p2[1] - p1[1];
    const double dH = p2[2] - p1[2];
    double hd = std::sqrt(dN * dN + dE * dE);
    const double az = GetRefAziPts(dE, dN);
    if (toGround) {
        hd *= params.getFactor(1.0, 0.0);
        dN = std::cos(az * kRadPerDeg) * hd;
        dE = std::sin(az * kRadPerDeg) * hd;
    }
    if (hd < kMinInverseHd)
        return -1;
    out[0] = az;
    out[1] = hd;
    out[2] = dH;
    out[3] = dN;
    out[4] = dE;
    out[5] = dH;
    out[6] = dH / hd * 100.0;
    out[7] = std::sqrt(hd * hd + dH * dH);
    return 0;
}

} // namespace CogoFunctions

void ECRFCorrections(double& sd, double& za, bool refraction, bool curvature, double k)
{
    if ((!refraction && !curvature) || sd < kTiny)
        return;
    const double R = kInstrumentEarthRadius;
    const double z = za * kRadPerDeg;
    const double s = std::sin(z);
    const double c = std::cos(z);
    const double C = curvature ? sd * s / (2.0 * R) : 0.0;
    const double F = refraction ? sd * s * k / (2.0 * R) : 0.0;
    const double horizontal = sd * (s - (2.0 * C - F) * c);
    const double vertical = sd * ((C - F) * s + c);
    sd = std::sqrt(horizontal * horizontal + vertical * vertical);
    za = atan3(horizontal, vertical) * kDegPerRad;
}

void GridToGround(double& d, double za, double scale, int toGround)
{
    const double s = std::sin(za * kRadPerDeg) + kTiny;
    const double f = scale + kTiny;
    d = toGround ? (d * s * f) / s : (d * s / f) / s;
}

void GetOffsetFromNeuCoords(const double* p0, const double* p1, bool slope, double* out)
{
    double obs[3];
    TaskInverse(p0, 0.0, 0.0, p1, obs);
    out[0] = obs[0];
    out[1] = obs[1];
    out[2] = slope ? obs[2] : obs[2] * std::sin(obs[1] * kRadPerDeg);
}

void OffsetNeuCoords(const double* p0, const double* offset, bool slope, double* out)
{
    double obs[3] = {offset[0], offset[1], offset[2]};
    const double s = std::sin(offset[1] * kRadPerDeg);
    if (!slope && std::fabs(s) > kMinSinZa)
        obs[2] /= s;
    TaskDirection(p0, 0.0, 0.0, obs, out, nullptr);
}
