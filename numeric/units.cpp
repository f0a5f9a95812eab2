// Angle and distance units and small numeric utilities. The order of the floating-point
// operations below is part of the contract (results must match the hand-held system bit for bit).
#include "numeric/units.h"

#include <climits>
#include <cmath>
#include <limits>

// The factors are the doubles of the published tables.
static_assert(kIFootInMeters == 0.3048, "international foot");
static_assert(kMetersToIFeet == 3.280839895013123, "1 / 0.3048");
static_assert(kUSFootInMeters == 0.3048006096012192, "1200 / 3937");
static_assert(kMetersToUSFeet == 3.2808333333333333, "3937 / 1200");
static_assert(kDegPerRad == 57.29577951308232, "180 / pi");
static_assert(kRadPerDeg == 0.017453292519943295, "pi / 180");
static_assert(kDegPerGrad == 0.9, "360 / 400");
static_assert(kGradPerDeg == 1.1111111111111112, "400 / 360");
static_assert(kDegPerMil == 0.05625, "360 / 6400");
static_assert(kMilPerDeg == 17.77777777777778, "6400 / 360");
static_assert(kArcSecPerCcSec == 0.324, "3240 / 10000");
static_assert(kCcSecPerArcSec == 3.0864197530864197, "10000 / 3240");
static_assert(kDegPerArcMin == 0.016666666666666666, "1 / 60");
static_assert(kDegPerArcSec == 0.0002777777777777778, "1 / 3600");
static_assert(kFootPerInch == 0.08333333333333333, "1 / 12");

namespace {

constexpr double kScaleUp = 100000.0;
constexpr double kScaleDown = 0.00001;
constexpr double kFullCircle = 360.0;

// Conversion towards an internal unit: ((x * 100000) * factor) * 0.00001, not rounded.
double scaleUnrounded(double x, double factor)
{
    return ((x * kScaleUp) * factor) * kScaleDown;
}

// Display conversion: dNearInt((x * 100000) * factor) * 0.00001, five decimals.
// A small negative value that rounds away is a plain 0 (+ 0.0 turns -0 into +0): a display
// never shows "-0".
double scaleRounded5(double x, double factor)
{
    return dNearInt((x * kScaleUp) * factor) * kScaleDown + 0.0;
}

// 10^n for n >= 0 by repeated multiplication (exact up to 10^22); for n < 0, 1 / 10^-n.
double powerOfTen(int n)
{
    double p = 1.0;
    const int count = n < 0 ? -n : n;
    for (int k = 0; k < count && !std::isinf(p); ++k)
        p *= 10.0;
    return n < 0 ? 1.0 / p : p;
}

// Carries of a split packed value: `divisor` units of `low` make one unit of `high`.
// Both hold whole numbers (as doubles, so that huge or NaN input cannot overflow an int).
void carry(double& high, double& low, double divisor)
{
    if (low >= divisor) {
        const double rest = std::fmod(low, divisor);
        high += (low - rest) / divisor;
        low = rest;
    }
}

// Feet with fraction -> packed feet-inch value (sign kept).
double feetToPacked(double feet)
{
    const bool negative = feet < 0.0;
    const double a = std::fabs(feet);
    double whole = std::trunc(a);
    const double inches = (a - whole) * 12.0;
    double wholeInches = std::trunc(inches);
    double eighths = dNearInt((inches - wholeInches) * 8.0);
    carry(wholeInches, eighths, 8.0);
    carry(whole, wholeInches, 12.0);
    const double packed = (eighths * 0.001 + wholeInches * 0.01) + whole;
    return negative ? -packed : packed;
}

// Seconds within `near60` of 60 become the next minute, minutes past 59 the next degree
// and degrees past 359 wrap once (the order both packed-angle conversions need).
void carrySexagesimal(double& d, double& m, double& s, double near60)
{
    if (std::fabs(s - 60.0) < near60) {
        m += 1.0;
        s = 0.0;
    }
    if (m > 59.0) {
        d += 1.0;
        m = std::fmod(m, 60.0);
    }
    if (d > 359.0)
        d -= kFullCircle;
}

} // namespace

// ---- Distances -------------------------------------------------------------------------------

double USFeet2Meter(double feet) { return scaleUnrounded(feet, kUSFootInMeters); }
double Meter2USFeet(double metres) { return scaleRounded5(metres, kMetersToUSFeet); }
double IFeet2Meter(double feet) { return scaleUnrounded(feet, kIFootInMeters); }
double Meter2IFeet(double metres) { return scaleRounded5(metres, kMetersToIFeet); }

double FFFII2Meter(double packed, bool usFeet)
{
    const bool negative = packed < 0.0;
    const double x = std::fabs(packed);
    double wholeFeet = std::trunc(x);
    const double xr = dNearInt(x * 1000.0) * 0.001;
    // Inches with one decimal, that decimal being the eighths digit.
    const double i = dNearInt(((xr - wholeFeet) * 100.0) * 10.0) * 0.1;
    double wholeInches = std::trunc(i);
    double eighths = dNearInt((i - wholeInches) * 10.0);
    carry(wholeInches, eighths, 8.0);
    carry(wholeFeet, wholeInches, 12.0);
    double feet = (eighths * 0.125 + wholeInches) * kFootPerInch + wholeFeet;
    if (negative)
        feet = -feet;
    return scaleUnrounded(feet, usFeet ? kUSFootInMeters : kIFootInMeters);
}

double Meter2FFFII(double metres, bool usFeet)
{
    const double feet = scaleRounded5(metres, usFeet ? kMetersToUSFeet : kMetersToIFeet);
    return feetToPacked(feet);
}

double ToMetersEx(double value, UNITS unit)
{
    switch (unit) {
    case UNITS_M: return value;
    case UNITS_USFT: return USFeet2Meter(value);
    case UNITS_IFT: return IFeet2Meter(value);
    case UNITS_USFTI: return FFFII2Meter(value, true);
    case UNITS_IFTI: return FFFII2Meter(value, false);
    }
    return 1.0;
}

double FromMetersEx(double metres, UNITS unit)
{
    switch (unit) {
    case UNITS_M: return metres;
    case UNITS_USFT: return Meter2USFeet(metres);
    case UNITS_IFT: return Meter2IFeet(metres);
    case UNITS_USFTI: return Meter2FFFII(metres, true);
    case UNITS_IFTI: return Meter2FFFII(metres, false);
    }
    return 1.0;
}

void ToMetersVec3Ex(const double* in, double* out, UNITS unit)
{
    for (int k = 0; k < 3; ++k)
        out[k] = ToMetersEx(in[k], unit);
}

void FromMetersVec3Ex(const double* in, double* out, UNITS unit)
{
    for (int k = 0; k < 3; ++k)
        out[k] = FromMetersEx(in[k], unit);
}

void ToMetersVec3Ex(double* v, UNITS unit) { ToMetersVec3Ex(v, v, unit); }
void FromMetersVec3Ex(double* v, UNITS unit) { FromMetersVec3Ex(v, v, unit); }

const wchar_t* DispDistUnitsStrShortEx(UNITS unit)
{
    switch (unit) {
    case UNITS_M: return L"m";
    case UNITS_USFT: return L"USft";
    case UNITS_IFT: return L"Ift";
    case UNITS_USFTI: return L"USfti";
    case UNITS_IFTI: return L"Ifti";
    }
    // An unknown unit shows no unit text: the empty string is safe to print or append, unlike
    // the null pointer that the angle variant returns by contract.
    return L"";
}

// ---- Angles ----------------------------------------------------------------------------------

double Rad2Deg(double rad) { return scaleUnrounded(rad, kDegPerRad); }
double Grad2Deg(double grad) { return scaleUnrounded(grad, kDegPerGrad); }
double Mil2Deg(double mil) { return scaleUnrounded(mil, kDegPerMil); }
double GradCC2DegSec(double cc) { return scaleUnrounded(cc, kArcSecPerCcSec); }

double Deg2Rad(double deg) { return scaleRounded5(std::fmod(deg, kFullCircle), kRadPerDeg); }
double Deg2Grad(double deg) { return scaleRounded5(std::fmod(deg, kFullCircle), kGradPerDeg); }
double Deg2Mil(double deg) { return scaleRounded5(std::fmod(deg, kFullCircle), kMilPerDeg); }
double DegSec2GradCC(double sec) { return scaleRounded5(sec, kCcSecPerArcSec); }

double DDDMMSS2Deg(double packed)
{
    const bool negative = packed < 0.0;
    const double a = std::fmod(std::fabs(packed), kFullCircle);
    double d = std::floor(a);
    const double mm = (a - d) * 100.0;
    double m = std::floor(mm);
    double s = (mm - m) * 100.0;
    if ((m + 1.0) - mm < 1e-7) {   // minute digits just below the next whole minute
        m += 1.0;
        s = 0.0;
    }
    carrySexagesimal(d, m, s, 0.00036);
    const double deg = (s * kDegPerArcSec + m * kDegPerArcMin) + d;
    return negative ? -deg : deg;
}

double Deg2DDDMMSS(double degrees, int digits)
{
    const bool negative = degrees < 0.0;
    const double a = std::fabs(std::fmod(degrees, kFullCircle));
    double d = std::floor(a);
    const double mf = (a - d) * 60.0;
    double m = std::floor(mf);
    double s = (mf - m) * 60.0;
    // Seconds that a display of `digits` decimals would round to 60: 6 / 10^(digits - 3).
    const int e = digits - 3;
    const double near60 = e >= 0 ? 6.0 / powerOfTen(e) : 6.0 * powerOfTen(-e);
    carrySexagesimal(d, m, s, near60);
    const double packed = (m * 0.01 + s * 0.0001) + d;
    return negative ? -packed : packed;
}

double ToDegreesEx(double value, ANGLES unit)
{
    switch (unit) {
    case ANGLES_RAD: return Rad2Deg(value);
    case ANGLES_GRD: return Grad2Deg(value);
    case ANGLES_MLS: return Mil2Deg(value);
    case ANGLES_DMS: return DDDMMSS2Deg(value);
    }
    return 1.0;
}

double FromDegreesEx(double degrees, ANGLES unit, int digits)
{
    switch (unit) {
    case ANGLES_RAD: return Deg2Rad(degrees);
    case ANGLES_GRD: return Deg2Grad(degrees);
    case ANGLES_MLS: return Deg2Mil(degrees);
    case ANGLES_DMS: return Deg2DDDMMSS(degrees, digits);
    }
    return 1.0;
}

double ToDegreesHAEx(double value, ANGLES unit, bool isLeft)
{
    const double deg = ToDegreesEx(value, unit);
    return isLeft ? HL2HR(deg) : deg;
}

double FromDegreesHAEx(double degrees, ANGLES unit, bool isLeft, int digits)
{
    return FromDegreesEx(isLeft ? HR2HL(degrees) : degrees, unit, digits);
}

double ToDegreesVAEx(double value, ANGLES unit, bool isLevel)
{
    const double deg = ToDegreesEx(value, unit);
    return isLevel ? Level2Zenith(deg) : deg;
}

double FromDegreesVAEx(double degrees, ANGLES unit, bool isLevel, int digits)
{
    return FromDegreesEx(isLevel ? Zenith2Level(degrees) : degrees, unit, digits);
}

const wchar_t* DispAngleUnitsStrShortEx(ANGLES unit)
{
    switch (unit) {
    case ANGLES_RAD: return L"rad";
    case ANGLES_GRD: return L"grd";
    case ANGLES_MLS: return L"mls";
    case ANGLES_DMS: return L"dms";
    }
    return nullptr;
}

// Mirror image of a horizontal angle; 0 stays 0.
double HR2HL(double degrees)
{
    if (degrees == 0.0)
        return degrees;
    return ModDeg360(kFullCircle - degrees, true);
}

double HL2HR(double degrees) { return HR2HL(degrees); }

double Level2Zenith(double degrees) { return ModDeg360((kFullCircle - degrees) + 90.0, true); }
double Zenith2Level(double degrees) { return Level2Zenith(degrees); }

// ---- Numeric utilities -----------------------------------------------------------------------

double dNearInt(double x)
{
    const double r = std::floor(std::fabs(x) + 0.5);
    return x < 0.0 ? -r : r;
}

bool IsSurveyLength(double metres) { return std::fabs(metres) <= kMaxSurveyLength; }

double ModDeg360(double x, bool positive)
{
    double r = std::fmod(x, kFullCircle);
    if (positive && r < 0.0)
        r += kFullCircle;
    return r;
}

double pos360(double x)
{
    return ModDeg360(x, true);
}

namespace {

// Above this many periods toRange stops stepping and reduces in one step.
constexpr double kMaxRangeSteps = 1024.0;

} // namespace

double toRange(double x, double lo, double hi)
{
    if (hi <= lo)
        return lo;
    const double w = hi - lo;
    // Decisions for values that stepping cannot bring into range:
    // - NaN (x, lo or hi) falls through every comparison below and comes back unchanged;
    // - an infinite x with a finite period has no place in the interval: the result is NaN;
    // - a value more than kMaxRangeSteps periods outside (which covers values so large that
    //   adding the period no longer changes them) is reduced in one step with fmod. The result
    //   is the exact remainder, which may differ in the last bits from what stepping would
    //   accumulate; the closed ends are honoured as stepping would: an exact multiple coming
    //   from above lands on hi, from below on lo.
    // Within kMaxRangeSteps periods the result is that of the repeated steps, bit for bit.
    if (std::isinf(x) && std::isfinite(w))
        return std::numeric_limits<double>::quiet_NaN();
    if (x < lo && lo - x > w * kMaxRangeSteps) {
        const double d = std::fmod(lo - x, w);
        x = d == 0.0 ? lo : hi - d;
    } else if (x > hi && x - hi > w * kMaxRangeSteps) {
        const double d = std::fmod(x - hi, w);
        x = d == 0.0 ? hi : lo + d;
    }
    while (x < lo)
        x += w;
    while (x > hi)
        x -= w;
    return x;
}

int toRange(int x, int lo, int hi)
{
    if (hi <= lo)
        return lo;
    // The same result as stepping by whole periods, computed in one step in 64 bits, so that
    // neither the period nor the loop count can overflow or take long.
    const long long w = static_cast<long long>(hi) - lo;
    if (x < lo) {
        const long long d = (static_cast<long long>(lo) - x) % w;
        return static_cast<int>(d == 0 ? lo : lo + w - d);
    }
    if (x > hi) {
        const long long d = (static_cast<long long>(x) - hi) % w;
        return static_cast<int>(d == 0 ? hi : lo + d);
    }
    return x;
}

double MinimizeTurnAngle(double degrees)
{
    if (degrees > 180.0)
        return degrees - kFullCircle;
    if (degrees <= -180.0)
        return degrees + kFullCircle;
    return degrees;
}

bool ShouldTurn(double degrees)
{
    return std::fabs(degrees) > 0.5;
}

void CalcReverseAngles(double& ha, double& va)
{
    ha = (ha >= 0.0 && ha < 180.0) ? ha + 180.0 : ha - 180.0;
    if (va > 0.0)
        va = kFullCircle - va;
}

double FormatFloat(double x, int decimals)
{
    // Decisions: a non-finite x comes back unchanged, and so does any x when 10^decimals
    // overflows a double (no finite rounding step exists there). The whole part goes through a
    // 32-bit integer when it fits one; beyond that it is truncated as a double, which gives
    // what a wider integer would.
    if (!std::isfinite(x))
        return x;
    const double p = decimals > 0 ? powerOfTen(decimals) : 1.0;
    if (std::isinf(p))
        return x;
    const double t = std::trunc(x);
    const double whole = (t >= INT_MIN && t <= INT_MAX) ? static_cast<double>(static_cast<int>(x)) : t;
    const double f = x - whole;
    double r = std::floor(std::fabs(f * p) + 0.5);
    if (f < 0.0)
        r = -r;
    return whole + r / p;
}

void check60round(int& deg, int& min, double& sec, int decimals)
{
    if (sec > 60.0 - powerOfTen(-decimals)) {
        sec = 0.0;
        ++min;
        if (min >= 60) {
            min -= 60;
            deg += deg >= 0 ? 1 : -1;
        }
    }
}
