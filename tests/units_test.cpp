// Units, conversions, packed display values and numeric utilities.
// Expected values are the exact doubles of the documented order of operations (worked out
// independently, written as literals); they are compared within 2 ulp.
#include "numeric/units.h"
#include "numeric/unsetValue.h"
#include "testUtil.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kPiLit = 3.141592653589793;

} // namespace

TEST(UnsetValue, OnlyAllOnesIsUnset)
{
    double x = 1.0;
    setUnset(x);
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    EXPECT_EQ(bits, 0xFFFFFFFFFFFFFFFFull);
    EXPECT_TRUE(isUnset(x) && isUnset(unsetDouble()) && std::isnan(x));
    for (double other : {kNaN, -kNaN, 0.0 * kInf, 0.0})
        EXPECT_FALSE(isUnset(other)) << "other NaNs are ordinary values: " << other;
}

// Single-argument functions: the reductions, signs, carries and rounding quirks (the single
// conversions of each unit are covered through the dispatch table below).
TEST(Units, SingleArgumentFunctions)
{
    struct Case { const char* name; double (*fn)(double); double in, expected; };
    const Case cases[] = {
        {"dNearInt(2.5)", dNearInt, 2.5, 3.0}, {"dNearInt(-2.5)", dNearInt, -2.5, -3.0},
        {"dNearInt(2.4999)", dNearInt, 2.4999, 2.0}, {"dNearInt NaN", dNearInt, kNaN, kNaN},
        // floor(|x| + 0.5): the sum rounds to 1.0 in binary, so this rounds up (std::round gives 0).
        {"dNearInt of the largest double below 0.5", dNearInt, 0.49999999999999994, 1.0},
        {"Deg2Rad(180) is 3.14159", Deg2Rad, 180.0, 3.1415900000000003}, {"Deg2Rad(360) is 0", Deg2Rad, 360.0, 0.0},
        {"Deg2Rad(-90) keeps the sign", Deg2Rad, -90.0, -1.5708000000000002}, {"Deg2Rad(-450)", Deg2Rad, -450.0, -1.5708000000000002},
        {"DegSec2GradCC(3600) is not reduced", DegSec2GradCC, 3600.0, 11111.111110000002},
        {"GradCC2DegSec(10000)", GradCC2DegSec, 10000.0, 3240.0000000000005},
        {"Rad2Deg(pi) is 180 within an ulp", Rad2Deg, kPiLit, 180.0}, {"Meter2IFeet NaN", Meter2IFeet, kNaN, kNaN},
        {"Rad2Deg(1e-9) not rounded away", Rad2Deg, 1e-9, 5.729577951308232e-08},
        {"60 s carry a minute, 60 min a degree", DDDMMSS2Deg, 10.5960, 11.0},
        {"DMS carry past 359 wraps to 0", DDDMMSS2Deg, 359.5960, 0.0}, {"DMS -0.3", DDDMMSS2Deg, -0.3, -0.5},
        {"DMS minute digits just below 46", DDDMMSS2Deg, 12.4599999999, 12.766666666666666},
        {"DMS 99.99 s are not 60 s", DDDMMSS2Deg, 0.5959999, 0.9999997222222223},
        {"DMS reduced by a circle", DDDMMSS2Deg, 720.3, 0.5}, {"DDDMMSS2Deg NaN", DDDMMSS2Deg, kNaN, kNaN},
        {"HL2HR(0) stays 0", HL2HR, 0.0, 0.0}, {"HL2HR(90)", HL2HR, 90.0, 270.0},
        {"HL2HR(360)", HL2HR, 360.0, 0.0}, {"HL2HR(-90)", HL2HR, -90.0, 90.0},
        {"HR2HL(270)", HR2HL, 270.0, 90.0}, {"Level2Zenith(0)", Level2Zenith, 0.0, 90.0},
        {"Level2Zenith(-30)", Level2Zenith, -30.0, 120.0}, {"Level2Zenith(90) is up", Level2Zenith, 90.0, 0.0},
        {"Zenith2Level(120) below the horizon", Zenith2Level, 120.0, 330.0},
        {"MinimizeTurnAngle(180)", MinimizeTurnAngle, 180.0, 180.0}, {"(-180)", MinimizeTurnAngle, -180.0, 180.0},
        {"MinimizeTurnAngle(190)", MinimizeTurnAngle, 190.0, -170.0}, {"(-190)", MinimizeTurnAngle, -190.0, 170.0},
        {"pos360(-90)", pos360, -90.0, 270.0}, {"pos360(-360)", pos360, -360.0, 0.0}, {"pos360 NaN", pos360, kNaN, kNaN},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(nearUlps(c.fn(c.in), c.expected)) << c.name;
    EXPECT_TRUE(nearUlps(ModDeg360(-30.0, false), -30.0) && nearUlps(ModDeg360(-750.0, false), -30.0));
    EXPECT_TRUE(nearUlps(ModDeg360(-30.0, true), 330.0));
    // A tiny negative value rounds to a plain 0 ('angle -0.0000001 --from deg --to rad' printed -0).
    for (double (*fn)(double) : {Deg2Rad, Deg2Grad, Deg2Mil, Meter2USFeet, Meter2IFeet, DegSec2GradCC})
        EXPECT_FALSE(std::signbit(fn(-1e-7))) << "a display never shows -0";
}

// The survey size limit: 1e300 as a coordinate printed a 300-digit answer, 1e308 an infinite one.
TEST(Units, SurveyLengthLimit)
{
    for (double ok : {0.0, -0.0, 1e9, -1e9, 4.0e7})
        EXPECT_TRUE(IsSurveyLength(ok)) << ok;
    for (double bad : {1.0000001e9, -1e300, 1e308, kInf, -kInf, kNaN})
        EXPECT_FALSE(IsSurveyLength(bad)) << bad;
}

// Every conversion through the unit dispatch (which reaches each single conversion), with the
// packed DMS and feet-inch carries. Dir: 'm' to metres, 'f' from metres, 'd' to degrees, 'a'
// from degrees (with `digits`). 5.073 is 5 ft 7 3/8 in: 1.711325 m, the double
// 1.7113249999999998 (1 ulp apart).
TEST(Units, Conversions)
{
    struct Case { char dir; int unit; double in; int digits; double expected; const char* name; };
    const Case cases[] = {
        {'m', UNITS_M, 12.5, 0, 12.5, "metres unchanged"}, {'f', UNITS_M, 12.5, 0, 12.5, "metres back"},
        {'m', UNITS_USFT, 1.0, 0, 0.3048006096012192, "US feet"}, {'f', UNITS_USFT, 1.0, 0, 3.2808300000000004, "to US feet"},
        {'m', UNITS_IFT, 1000.0, 0, 304.8, "international feet"}, {'f', UNITS_IFT, 1.0, 0, 3.2808400000000004, "to feet"},
        {'m', UNITS_USFTI, 5.118, 0, 1.8288036576073152, "6 US ft"}, {'m', UNITS_USFTI, 5.073, 0, 1.7113284226568453, "US"},
        {'m', UNITS_IFTI, 5.073, 0, 1.711325, "5 ft 7 3/8 in"}, {'m', UNITS_IFTI, kNaN, 0, kNaN, "NaN passes"},
        {'m', UNITS_IFTI, 5.118, 0, 1.8288000000000002, "11 in and 8 eighths carry to 6 ft"},
        {'m', UNITS_IFTI, -5.118, 0, -1.8288000000000002, "sign of the whole value"},
        {'m', UNITS_IFTI, 5.0735, 0, 1.7145000000000001, "a fourth decimal rounds the eighths up"},
        {'f', UNITS_IFTI, 1.0, 0, 3.033, "1 m is 3 ft 3 3/8 in"}, {'f', UNITS_IFTI, -1.0, 0, -3.033, "negative"},
        {'f', UNITS_USFTI, 0.3048, 0, 1.0, "a US foot rounds to one foot"}, {'f', UNITS_IFTI, kNaN, 0, kNaN, "NaN back"},
        {'f', UNITS_IFTI, 0.3047, 0, 1.0, "eight eighths carry to 12 in, 12 in to a foot"},
        {'d', ANGLES_RAD, kPiLit, 0, 180.00000000000003, "radians"}, {'a', ANGLES_RAD, 180.0, 0, 3.1415900000000003, "to radians"},
        {'d', ANGLES_GRD, 100.0, 0, 90.00000000000001, "grads"}, {'a', ANGLES_GRD, 90.0, 0, 100.00000000000001, "to grads"},
        {'d', ANGLES_MLS, 1600.0, 0, 90.00000000000001, "mils"}, {'a', ANGLES_MLS, 90.0, 0, 1600.0000000000002, "to mils"},
        {'d', ANGLES_DMS, 123.4530, 0, 123.75833333333334, "packed DMS"}, {'a', ANGLES_DMS, 12.5, 5, 12.3, "12 deg 30 min"},
        {'a', ANGLES_DMS, 0.99999, 4, 1.0, "59.964 s lie within 0.6 s of 60: carry to a degree"},
        {'a', ANGLES_DMS, 0.99999, 6, 0.5959964, "six decimals: 0.036 s from 60 is no carry"},
        {'a', ANGLES_DMS, 359.9999, 4, 0.0, "carry past 359 wraps to 0"}, {'a', ANGLES_DMS, -0.5, 4, -0.3, "negative half degree"},
        {'a', ANGLES_DMS, -360.5, 4, -0.3, "reduced by a circle, sign kept"}, {'a', ANGLES_DMS, kNaN, 4, kNaN, "NaN to DMS"},
    };
    for (const Case& c : cases) {
        const UNITS u = static_cast<UNITS>(c.unit);
        const ANGLES a = static_cast<ANGLES>(c.unit);
        const double got = c.dir == 'm' ? ToMetersEx(c.in, u) : c.dir == 'f' ? FromMetersEx(c.in, u)
                         : c.dir == 'd' ? ToDegreesEx(c.in, a) : FromDegreesEx(c.in, a, c.digits);
        EXPECT_TRUE(nearUlps(got, c.expected)) << c.name;
    }
    // The Vec3 forms convert each component, from `in` into `out` and in place.
    const double in[3] = {1.0, 5.073, -1.0};
    double out[3] = {9.0, 9.0, 9.0};
    ToMetersVec3Ex(in, out, UNITS_IFTI);
    EXPECT_TRUE(nearUlps(out[0], 0.3048) && nearUlps(out[1], 1.711325) && nearUlps(out[2], -0.3048));
    FromMetersVec3Ex(out, UNITS_IFTI);
    EXPECT_TRUE(nearUlps(out[0], 1.0) && nearUlps(out[1], 5.073) && nearUlps(out[2], -1.0)) << "in place";
    // The HA / VA forms apply the convention on the degree side of the conversion.
    EXPECT_TRUE(nearUlps(ToDegreesHAEx(100.0, ANGLES_GRD, true), 270.0));
    EXPECT_TRUE(nearUlps(ToDegreesHAEx(100.0, ANGLES_GRD, false), 90.00000000000001));
    EXPECT_TRUE(nearUlps(FromDegreesHAEx(270.0, ANGLES_GRD, true, 4), 100.00000000000001));
    EXPECT_TRUE(nearUlps(ToDegreesVAEx(0.3, ANGLES_DMS, true), 89.5));
    EXPECT_TRUE(nearUlps(ToDegreesVAEx(0.3, ANGLES_DMS, false), 0.5));
    EXPECT_TRUE(nearUlps(FromDegreesVAEx(120.0, ANGLES_DMS, true, 4), 330.0));
}

// The edges of the packed-DMS carry window at every digit count: seconds that a display of
// `digits` decimals of the packed value rounds to 60 (within 6 / 10^(digits - 3) s of 60)
// carry into the minute; seconds a little farther from 60 stay. A fault in the window's size
// (one digit off) moves one of each pair to the wrong side.
TEST(Units, PackedDmsCarryWindowEdges)
{
    for (int digits = 4; digits <= 10; ++digits) {
        const double window = 6.0 * std::pow(10.0, 3 - digits);   // seconds
        const struct { double seconds; bool carries; } edges[] = {
            {60.0 - 0.9 * window, true}, {60.0 - 1.1 * window, false}};
        for (const auto& e : edges) {
            const double deg = 10.0 + 59.0 / 60.0 + e.seconds / 3600.0;
            const double packed = Deg2DDDMMSS(deg, digits);
            if (e.carries)
                EXPECT_TRUE(nearUlps(packed, 11.0)) << digits << " digits, " << e.seconds << " s";
            else
                EXPECT_NEAR(packed, 10.59 + e.seconds * 1e-4, 1e-12) << digits << " digits, " << e.seconds << " s";
        }
    }
    // Reading packed values: seconds within 0.00036 of 60 carry, a little more stay.
    EXPECT_TRUE(nearUlps(DDDMMSS2Deg(10.595999970), 11.0)) << "59.99970 s";
    EXPECT_NEAR(DDDMMSS2Deg(10.595999950), 10.0 + 59.0 / 60.0 + 59.9995 / 3600.0, 1e-11) << "59.99950 s";
}

TEST(Units, UnknownUnitsGiveOne)
{
    for (int bad : {5, 9, -1}) {
        const UNITS u = static_cast<UNITS>(bad);
        EXPECT_TRUE(ToMetersEx(123.0, u) == 1.0 && FromMetersEx(123.0, u) == 1.0) << bad;
        double v[3] = {4.0, 5.0, 6.0}, out[3] = {0.0, 0.0, 0.0};
        FromMetersVec3Ex(v, out, u);
        ToMetersVec3Ex(v, u);
        EXPECT_TRUE(v[0] == 1.0 && v[1] == 1.0 && v[2] == 1.0 && out[0] == 1.0 && out[2] == 1.0) << bad;
        EXPECT_STREQ(DispDistUnitsStrShortEx(u), L"") << bad;
    }
    for (int bad : {4, 7, -1}) {
        const ANGLES a = static_cast<ANGLES>(bad);
        EXPECT_TRUE(ToDegreesEx(42.0, a) == 1.0 && FromDegreesEx(42.0, a, 4) == 1.0) << bad;
        EXPECT_EQ(DispAngleUnitsStrShortEx(a), nullptr) << bad;
    }
    const wchar_t* dist[] = {L"m", L"USft", L"Ift", L"USfti", L"Ifti"};
    const wchar_t* angle[] = {L"rad", L"grd", L"mls", L"dms", nullptr};
    for (int u = 0; u < 5; ++u) {
        EXPECT_STREQ(DispDistUnitsStrShortEx(static_cast<UNITS>(u)), dist[u]) << u;
        EXPECT_STREQ(DispAngleUnitsStrShortEx(static_cast<ANGLES>(u)), angle[u]) << u;
    }
}

TEST(Units, ToRangeDouble)
{
    struct Case { double x, lo, hi, expected; const char* name; };
    const double pi = kPiLit;
    const Case cases[] = {
        {pi, -pi, pi, pi, "upper end kept"}, {-pi, -pi, pi, -pi, "lower end kept"},
        {3 * pi, -pi, pi, pi, "from above stops on the upper end"},
        {-3 * pi, -pi, pi, -pi, "from below stops on the lower end"},
        {10, 0, 5, 5, "exact multiple from above"}, {-10, 0, 5, 0, "exact multiple from below"},
        {1.0, 3, 3, 3, "empty interval gives lo"}, {1.0, 5, 3, 5, "reversed interval gives lo"},
        {kNaN, -pi, pi, kNaN, "NaN passes"}, {kInf, -pi, pi, kNaN, "+inf has no place: NaN"},
        {-kInf, -pi, pi, kNaN, "-inf has no place: NaN"},
        {5000.0, 0, 1, 1, "many periods, exact multiple from above"},
        {-5000.0, 0, 1, 0, "many periods, exact multiple from below"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(nearUlps(toRange(c.x, c.lo, c.hi), c.expected)) << c.name;

    // Within a few periods stepping and the remainder agree closely, on both sides of the
    // switch to one-step reduction. Values so large that adding the period no longer changes
    // them (log-uniform magnitudes, both signs) end finite and inside the closed interval.
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> turns(-3000.0, 3000.0), exponent(-3.0, 300.0);
    const double intervals[][2] = {{-pi, pi}, {0.0, 2 * pi}, {0.0, 360.0}, {-1e-9, 1e-9}, {10.0, 11.0}};
    for (int k = 0; k < 2000; ++k) {
        const double x = turns(rng) * 2 * pi;
        EXPECT_NEAR(toRange(x, -pi, pi), std::remainder(x, 2 * pi), 1e-9) << "x " << x;
        const double y = (k % 2 ? -1.0 : 1.0) * std::pow(10.0, exponent(rng));
        for (const auto& iv : intervals) {
            const double r = toRange(y, iv[0], iv[1]);
            ASSERT_TRUE(r >= iv[0] && r <= iv[1]) << "x " << y << " into [" << iv[0] << ", " << iv[1] << "] gave " << r;
        }
    }
    EXPECT_TRUE(std::isfinite(toRange(1e17, -pi, pi)));   // 1e17 + 2pi == 1e17
}

TEST(Units, ToRangeInt)
{
    struct Case { int x, lo, hi, expected; const char* name; };
    const Case cases[] = {
        {9, 3, 3, 3, "empty interval"}, {9, 4, 3, 4, "reversed interval"},
        {INT_MAX, 0, 7, 1, "huge count of periods"}, {INT_MIN, 0, 1, 0, "period one from far below"},
        {INT_MAX, INT_MIN, INT_MAX, INT_MAX, "period wider than int"},
        {-7, INT_MIN, INT_MAX, -7, "inside the widest interval"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toRange(c.x, c.lo, c.hi), c.expected) << c.name;
    // Against plain stepping on small values (toRange(7, 0, 5) is 2, both ends kept).
    for (int lo = -4; lo <= 3; ++lo)
        for (int hi = lo + 1; hi <= lo + 5; ++hi)
            for (int x = -30; x <= 30; ++x) {
                int y = x;
                while (y < lo) y += hi - lo;
                while (y > hi) y -= hi - lo;
                ASSERT_EQ(toRange(x, lo, hi), y) << x << " into [" << lo << ", " << hi << "]";
            }
}

TEST(Units, TurnUtilities)
{
    EXPECT_TRUE(!ShouldTurn(0.5) && !ShouldTurn(-0.5));
    EXPECT_TRUE(ShouldTurn(0.50001) && ShouldTurn(-0.6));
    struct Case { double ha, va, haOut, vaOut; const char* name; };
    const Case cases[] = {
        {200.0, 80.0, 20.0, 280.0, "face two of 200/80"}, {0.0, 90.0, 180.0, 270.0, "0 turns up"},
        {-10.0, 0.0, -190.0, 0.0, "negative ha goes down; va 0 stays"},
        {180.0, -5.0, 0.0, -5.0, "180 turns down; negative va stays"},
    };
    for (const Case& c : cases) {
        double ha = c.ha, va = c.va;
        CalcReverseAngles(ha, va);
        EXPECT_TRUE(nearUlps(ha, c.haOut) && nearUlps(va, c.vaOut)) << c.name;
    }
}

TEST(Units, FormatFloat)
{
    struct Case { double x; int n; double expected; const char* name; };
    const Case cases[] = {
        {2.345, 2, 2.35, "half up on the fraction"}, {-1.24, 1, -1.2, "negative"},
        {2.5, 0, 3.0, "whole, half away from zero"}, {1.005, 2, 1.0, "1.005 is below 1.005 in binary"},
        {1.23456, -2, 1.0, "no decimals for n <= 0"}, {1.25, 400, 1.25, "10^400 overflows: unchanged"},
        {3000000000.25, 1, 3000000000.3, "whole part beyond 32 bits"},
        {kNaN, 2, kNaN, "NaN passes"}, {kInf, 2, kInf, "infinity passes"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(nearUlps(FormatFloat(c.x, c.n), c.expected)) << c.name;
}

TEST(Units, Check60Round)
{
    struct Case { int deg, min; double sec; int n; int degOut, minOut; double secOut; const char* name; };
    const Case cases[] = {
        {10, 59, 59.999995, 5, 11, 0, 0.0, "seconds and minutes carry"},
        {10, 59, 59.99999, 5, 10, 59, 59.99999, "exactly 60 - 1e-5 stays"},
        {-10, 59, 59.999999, 5, -11, 0, 0.0, "carry away from zero"},
        {0, 30, 59.9999999, 5, 0, 31, 0.0, "minute carry only"},
        {0, 30, 59.96, 1, 0, 31, 0.0, "one decimal: above 59.9"},
    };
    for (const Case& c : cases) {
        int d = c.deg, m = c.min;
        double s = c.sec;
        check60round(d, m, s, c.n);
        EXPECT_TRUE(d == c.degOut && m == c.minOut && nearUlps(s, c.secOut)) << c.name << ": " << d << " " << m << " " << s;
    }
}

// ---- Round trips -----------------------------------------------------------------------------

TEST(UnitsRoundTrip, AngleUnitsWithinFiveDecimals)
{
    // Degrees -> unit (rounded to 1e-5 of the unit) -> degrees: off by at most half a step;
    // display values with five decimals come back exactly; HL/HR and level/zenith mirror.
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> deg(-359.9, 359.9);
    std::uniform_int_distribution<long> steps(-600000, 600000);
    const struct { ANGLES unit; double degPerUnit; } units[] = {{ANGLES_RAD, 57.29577951308232}, {ANGLES_GRD, 0.9}, {ANGLES_MLS, 0.05625}};
    for (int k = 0; k < 2000; ++k) {
        const double x = deg(rng);
        const double v = static_cast<double>(steps(rng)) * 0.00001;   // |v| < 2 pi rad
        const double h = std::fabs(x) + 0.001;   // mirrors of horizontal and vertical angles
        EXPECT_NEAR(HR2HL(HL2HR(h)), h, 1e-12) << h;
        EXPECT_NEAR(Zenith2Level(Level2Zenith(h)), h, 1e-12) << h;
        EXPECT_NEAR(ToDegreesHAEx(FromDegreesHAEx(h, ANGLES_DMS, true, 8), ANGLES_DMS, true), h, 0.00036 / 3600 + 1e-9) << h;
        for (const auto& u : units) {
            EXPECT_NEAR(ToDegreesEx(FromDegreesEx(x, u.unit, 4), u.unit), x, 0.5e-5 * u.degPerUnit + 1e-9) << int(u.unit) << " x " << x;
            EXPECT_TRUE(nearUlps(FromDegreesEx(ToDegreesEx(v, u.unit), u.unit, 4), v)) << int(u.unit) << " " << v;
        }
    }
}

TEST(UnitsRoundTrip, PackedValuesAndDistances)
{
    std::mt19937_64 rng(13);
    std::uniform_real_distribution<double> metres(-10000.0, 10000.0), deg(-359.0, 359.0);
    std::uniform_int_distribution<int> feet(0, 9999), inches(0, 11), eighths(0, 7), d(0, 359), m(0, 59), cs(0, 5998);
    for (int k = 0; k < 3000; ++k) {
        // Degrees -> packed -> degrees: the only change allowed is the carry of seconds near 60
        // (0.6 s for four decimals; 0.00036 s on the way back). Packed (whole minutes, seconds
        // with two decimals below 59.99) -> degrees -> packed comes back.
        const double a = deg(rng);
        EXPECT_NEAR(DDDMMSS2Deg(Deg2DDDMMSS(a, 4)), a, 0.6 / 3600 + 1e-9) << a;
        EXPECT_NEAR(DDDMMSS2Deg(Deg2DDDMMSS(a, 8)), a, 0.00036 / 3600 + 1e-9) << a;
        const double dms = ((m(rng) * 0.01 + cs(rng) * 0.01 * 0.0001) + d(rng)) * ((k % 2) ? -1.0 : 1.0);
        EXPECT_NEAR(Deg2DDDMMSS(DDDMMSS2Deg(dms), 6), dms, 1e-10) << dms;
        const double x = metres(rng);
        EXPECT_NEAR(ToMetersEx(FromMetersEx(x, UNITS_USFT), UNITS_USFT), x, 0.5e-5 * 0.3048006096012192 + 1e-11) << x;
        EXPECT_NEAR(ToMetersEx(FromMetersEx(x, UNITS_IFT), UNITS_IFT), x, 0.5e-5 * 0.3048 + 1e-11) << x;
        // Feet-inch values hold eighths of an inch: off by at most a sixteenth (plus the
        // five-decimal rounding of the feet on the way).
        EXPECT_NEAR(ToMetersEx(FromMetersEx(x, UNITS_IFTI), UNITS_IFTI), x, 0.3048 / 12 / 16 + 2e-6) << x;
        EXPECT_NEAR(ToMetersEx(FromMetersEx(x, UNITS_USFTI), UNITS_USFTI), x, 0.3048006096012192 / 12 / 16 + 2e-6) << x;
        // Packed feet-inch values come back exactly.
        const double packed = ((eighths(rng) * 0.001 + inches(rng) * 0.01) + feet(rng)) * ((k % 2) ? -1.0 : 1.0);
        EXPECT_TRUE(nearUlps(FromMetersEx(ToMetersEx(packed, UNITS_IFTI), UNITS_IFTI), packed)) << packed;
        EXPECT_TRUE(nearUlps(FromMetersEx(ToMetersEx(packed, UNITS_USFTI), UNITS_USFTI), packed)) << packed;
    }
}
