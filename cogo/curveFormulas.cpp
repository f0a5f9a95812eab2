#include "cogo/curveFormulas.h"

#include "numeric/mathAngle.h"
#include "numeric/units.h"

#include <cmath>

double smallNumTolerance = 1e-5;
double roadTolerance = 0.001;

namespace {

const double kDegPerHalfRad = 114.59155902616465;   // 360 / pi
const double kDegOfCurveRadius = 5729.5779513082325; // radius of a 1-degree curve: 100 x 180 / pi
const double kZeroRadius = 1e-12;                   // a radius that cannot be divided by
const double kHalfCircleTol = 1e-5;                 // degrees from a half circle

bool isUnitInterval(double x) { return x >= -1.0 && x <= 1.0; }

} // namespace

// ---- Degree of curve ----

double GetRadiusFromDegOfCurve(double degree)
{
    double rad = degree * kRadPerDeg;
    return rad < smallNumTolerance ? 0.0 : 100.0 / rad;
}

double GetDegOfCurveFromRadius(double radius)
{
    return radius < smallNumTolerance ? 0.0 : kDegOfCurveRadius / radius;
}

double GetRadiusFromDegOfChord(double degree)
{
    double rad = degree * kRadPerDeg;
    return rad < smallNumTolerance ? 0.0 : 50.0 / std::sin(rad / 2.0);
}

double GetDegOfChordFromRadius(double radius)
{
    if (radius < smallNumTolerance)
        return 0.0;
    double ratio = 50.0 / radius;
    // Below a radius of 50 no 100-unit chord fits the circle: 0 rather than a NaN.
    if (ratio > 1.0)
        return 0.0;
    return std::asin(ratio) * kDegPerHalfRad;
}

// ---- Central angle and the other quantities ----

double GetDeltaFromLength(double length, double radius)
{
    return radius < smallNumTolerance ? 0.0 : length / radius * kDegPerRad;
}

double GetLengthFromDelta(double delta, double radius)
{
    return delta * radius * kRadPerDeg;
}

double GetDeltaFromChordLength(double chord, double radius)
{
    if (std::fabs(radius) < kZeroRadius)
        return 0.0;
    double ratio = chord / (2.0 * radius);
    return isUnitInterval(ratio) ? 2.0 * std::asin(ratio) * kDegPerRad : 0.0;
}

double GetChordLenFromDelta(double delta, double radius)
{
    return 2.0 * radius * std::sin(delta * kRadPerDeg / 2.0);
}

double GetDeltaFromTangent(double tangent, double radius)
{
    return 2.0 * atan3(tangent, radius) * kDegPerRad;
}

double GetTangentFromDelta(double delta, double radius)
{
    if (std::fabs(std::fabs(delta) - 180.0) < kHalfCircleTol)
        return 0.0;
    return radius * std::tan(delta * kRadPerDeg / 2.0);
}

double GetDeltaFromMidOrd(double midOrd, double radius)
{
    if (std::fabs(radius) < kZeroRadius)
        return 0.0;
    double c = 1.0 - midOrd / radius;
    return isUnitInterval(c) ? 2.0 * std::acos(c) * kDegPerRad : 0.0;
}

double GetMidOrdFromDelta(double delta, double radius)
{
    return radius * (1.0 - std::cos(delta * kRadPerDeg / 2.0));
}

double GetDeltaFromExternal(double external, double radius)
{
    if (std::fabs(radius) < kZeroRadius)
        return 0.0;
    double c = std::fabs(radius) / (std::fabs(external) + std::fabs(radius));
    return isUnitInterval(c) ? 2.0 * std::acos(c) * kDegPerRad : 0.0;
}

double GetExternalFromDelta(double delta, double radius)
{
    if (std::fabs(std::fabs(delta) - 180.0) <= kHalfCircleTol)
        return 0.0;
    double r = std::fabs(radius);
    return std::fabs(r / std::cos(delta * kRadPerDeg / 2.0) - r);
}

double GetLengthFromChordLength(double chord, double radius)
{
    return GetLengthFromDelta(GetDeltaFromChordLength(chord, radius), radius);
}

double GetChordLenFromLength(double length, double radius)
{
    return GetChordLenFromDelta(GetDeltaFromLength(length, radius), radius);
}

double GetLengthFromTangent(double tangent, double radius)
{
    return GetLengthFromDelta(GetDeltaFromTangent(tangent, radius), radius);
}

double GetTangentFromLength(double length, double radius)
{
    return GetTangentFromDelta(GetDeltaFromLength(length, radius), radius);
}

double GetLengthFromMidOrd(double midOrd, double radius)
{
    return GetLengthFromDelta(GetDeltaFromMidOrd(midOrd, radius), radius);
}

double GetMidOrdFromLength(double length, double radius)
{
    return GetMidOrdFromDelta(GetDeltaFromLength(length, radius), radius);
}

double GetLengthFromExternal(double external, double radius)
{
    return GetLengthFromDelta(GetDeltaFromExternal(external, radius), radius);
}

double GetExternalFromLength(double length, double radius)
{
    return GetExternalFromDelta(GetDeltaFromLength(length, radius), radius);
}

// ---- Spirals ----

double GetSpiralLength(double spiralConst, double radius)
{
    double r = std::fabs(radius);
    return r < smallNumTolerance ? 0.0 : spiralConst * spiralConst / r;
}

double GetSpiralConstant(double length, double radius)
{
    return std::sqrt(std::fabs(length) * std::fabs(radius));
}

// ---- Display conversions ----

double getRadiusValueFromDisplay(double value, int kind)
{
    switch (kind) {
    case RadiusDisplayDegChord: return GetRadiusFromDegOfChord(value);
    case RadiusDisplayDegCurve: return GetRadiusFromDegOfCurve(value);
    default: return value;
    }
}

double getDisplayValueFromRadius(double radius, int kind)
{
    switch (kind) {
    case RadiusDisplayDegChord: return GetDegOfChordFromRadius(radius);
    case RadiusDisplayDegCurve: return GetDegOfCurveFromRadius(radius);
    default: return radius;
    }
}

double getLengthValueFromDisplay(double value, double radius, int kind)
{
    switch (kind) {
    case LengthDisplayDelta: return GetLengthFromDelta(value, radius);
    case LengthDisplayChord: return GetLengthFromChordLength(value, radius);
    case LengthDisplayTangent: return GetLengthFromTangent(value, radius);
    case LengthDisplayMidOrd: return GetLengthFromMidOrd(value, radius);
    case LengthDisplayExternal: return GetLengthFromExternal(value, radius);
    case LengthDisplaySpiralConst: return GetSpiralLength(value, radius);
    default: return value;  // LengthDisplayLength and unknown kinds
    }
}

double getDisplayValueFromLength(double length, double radius, int kind)
{
    double delta = GetDeltaFromLength(length, radius);
    switch (kind) {
    case LengthDisplayDelta: return delta;
    case LengthDisplayChord: return GetChordLenFromDelta(delta, radius);
    case LengthDisplayTangent: return GetTangentFromDelta(delta, radius);
    case LengthDisplayMidOrd: return GetMidOrdFromDelta(delta, radius);
    case LengthDisplaySpiralConst: return GetSpiralConstant(length, radius);
    case LengthDisplayExternal: return GetExternalFromDelta(delta, radius);
    default: return length;  // LengthDisplayLength and unknown kinds
    }
}

// ---- Point construction ----

void Compute2DPoint(double east0, double north0, double dist, double azimuthDeg, double turnDeg,
                    double& east, double& north)
{
    double a = (azimuthDeg + turnDeg) * kRadPerDeg;
    east = east0 + dist * std::sin(a);
    north = north0 + dist * std::cos(a);
}

int Compute3DPoint(const TCoords& from, const TCoords& to, double dist, TCoords& out)
{
    double dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z;
    double len = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (len < smallNumTolerance)
        return 0;
    out.x = to.x + dist * dx / len;
    out.y = to.y + dist * dy / len;
    out.z = to.z + dist * dz / len;
    return 1;
}
