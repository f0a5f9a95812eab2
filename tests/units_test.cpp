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
#include <cwchar>
#include <limits>
#include <random>
#include <vector>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kPiLit = 3.141592653589793;

struct Case1 {
    const char* name;
    double (*fn)(double);
    double in;
    double expected;
};

void runCases(const std::vector<Case1>& cases)
{
    for (const Case1& c : cases)
        EXPECT_TRUE(nearUlps(c.fn(c.in), c.expected)) << c.name;
}

} // namespace

TEST(UnsetValue, OnlyAllOnesIsUnset)
{
    double x = 1.0;
    setUnset(x);
    EXPECT_TRUE(isUnset(x));
    EXPECT_TRUE(isUnset(unsetDouble()));
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    EXPECT_EQ(bits, 0xFFFFFFFFFFFFFFFFull);
    EXPECT_TRUE(std::isnan(x));
    // Other NaNs are ordinary values.
    EXPECT_FALSE(isUnset(kNaN));
    EXPECT_FALSE(isUnset(-kNaN));
    EXPECT_FALSE(isUnset(0.0 * kInf));
    EXPECT_FALSE(isUnset(0.0));
}

TEST(Units, NearIntHalvesAwayFromZero)
{
    runCases({
        {"2.5", dNearInt, 2.5, 3.0},
        {"-2.5", dNearInt, -2.5, -3.0},
        {"2.4999", dNearInt, 2.4999, 2.0},
        {"-0.4 gives zero", dNearInt, -0.4, 0.0},
        // floor(|x| + 0.5): the sum rounds to 1.0 in binary, so this rounds up (std::round gives 0).
        {"largest double below 0.5", dNearInt, 0.49999999999999994, 1.0},
        {"NaN passes", dNearInt, kNaN, kNaN},
    });
}

TEST(Units, SingleConversions)
{
    runCases({
        {"Deg2Rad(180) is 3.14159", Deg2Rad, 180.0, 3.1415900000000003},
        {"Deg2Rad(360) reduces to 0", Deg2Rad, 360.0, 0.0},
        {"Deg2Rad(-90) keeps the sign", Deg2Rad, -90.0, -1.5708000000000002},
        {"Deg2Rad(540) reduces by a circle", Deg2Rad, 540.0, 3.1415900000000003},
        {"Deg2Rad(-450) reduces towards zero", Deg2Rad, -450.0, -1.5708000000000002},
        {"Deg2Rad just below a circle", Deg2Rad, 359.99999, 6.28319},
        {"Deg2Grad(90)", Deg2Grad, 90.0, 100.00000000000001},
        {"Deg2Mil(90)", Deg2Mil, 90.0, 1600.0000000000002},
        {"Deg2Mil(-1)", Deg2Mil, -1.0, -17.77778},
        {"Meter2USFeet(1)", Meter2USFeet, 1.0, 3.2808300000000004},
        {"Meter2IFeet(1)", Meter2IFeet, 1.0, 3.2808400000000004},
        {"Meter2IFeet(-2.5) rounds the magnitude", Meter2IFeet, -2.5, -8.202100000000002},
        {"DegSec2GradCC(1)", DegSec2GradCC, 1.0, 3.0864200000000004},
        {"DegSec2GradCC(3600) is not reduced", DegSec2GradCC, 3600.0, 11111.111110000002},
        {"Meter2IFeet NaN", Meter2IFeet, kNaN, kNaN},
        // Conversions towards the internal units do not round.
        {"Rad2Deg(pi) is 180 within an ulp", Rad2Deg, kPiLit, 180.0},
        {"Grad2Deg(100)", Grad2Deg, 100.0, 90.00000000000001},
        {"Mil2Deg(1600)", Mil2Deg, 1600.0, 90.00000000000001},
        {"GradCC2DegSec(10000)", GradCC2DegSec, 10000.0, 3240.0000000000005},
        {"USFeet2Meter(1)", USFeet2Meter, 1.0, 0.3048006096012192},
        {"IFeet2Meter(1000)", IFeet2Meter, 1000.0, 304.8},
        {"Rad2Deg(1e-9) not rounded away", Rad2Deg, 1e-9, 5.729577951308232e-08},
        {"Rad2Deg NaN", Rad2Deg, kNaN, kNaN},
    });
}

TEST(Units, PackedDmsToDegrees)
{
    runCases({
        {"123.4530", DDDMMSS2Deg, 123.4530, 123.75833333333334},
        {"-123.4530", DDDMMSS2Deg, -123.4530, -123.75833333333334},
        {"60 s carry a minute, 60 min a degree", DDDMMSS2Deg, 10.5960, 11.0},
        {"carry past 359 wraps to 0", DDDMMSS2Deg, 359.5960, 0.0},
        {"-0.3 is half a degree", DDDMMSS2Deg, -0.3, -0.5},
        {"0.0030 is 30 s", DDDMMSS2Deg, 0.0030, 0.008333333333333333},
        {"minute digits just below 46", DDDMMSS2Deg, 12.4599999999, 12.766666666666666},
        {"reduced by a circle", DDDMMSS2Deg, 720.3, 0.5},
        {"99.99 s are not 60 s", DDDMMSS2Deg, 0.5959999, 0.9999997222222223},
        {"NaN passes", DDDMMSS2Deg, kNaN, kNaN},
    });
}

TEST(Units, DegreesToPackedDms)
{
    struct Case { double deg; int digits; double expected; const char* name; };
    const std::vector<Case> cases = {
        {0.99999, 4, 1.0, "59.964 s lie within 0.6 s of 60: carry to a degree"},
        {0.99999, 6, 0.5959964, "with six decimals 0.036 s from 60 is no carry"},
        {359.9999, 4, 0.0, "carry past 359 wraps to 0"},
        {-0.5, 4, -0.3, "negative half degree"},
        {-360.5, 4, -0.3, "reduced by a circle, sign kept"},
        {12.5, 5, 12.3, "12 deg 30 min"},
        {123.75833333333334, 4, 123.453, "inverse of 123.4530"},
        {10.9999, 4, 11.0, "59.64 s carry with four decimals"},
        {kNaN, 4, kNaN, "NaN passes"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(nearUlps(Deg2DDDMMSS(c.deg, c.digits), c.expected)) << c.name;
}

TEST(Units, FeetInchToMeters)
{
    struct Case { double packed; bool us; double expected; const char* name; };
    // 5.073 is 5 ft 7 3/8 in: 1.711325 m, the double 1.7113249999999998 (1 ulp apart).
    const std::vector<Case> cases = {
        {5.073, false, 1.711325, "5 ft 7 3/8 in"},
        {5.073, true, 1.7113284226568453, "US survey foot"},
        {5.118, false, 1.8288000000000002, "11 in and 8 eighths carry to 6 ft"},
        {-5.118, false, -1.8288000000000002, "sign of the whole value"},
        {5.0, false, 1.524, "whole feet"},
        {0.117, false, 0.30162500000000003, "11 7/8 in"},
        {5.0735, false, 1.7145000000000001, "a fourth decimal rounds the eighths up"},
        {kNaN, false, kNaN, "NaN passes"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(nearUlps(FFFII2Meter(c.packed, c.us), c.expected)) << c.name;
}

TEST(Units, MetersToFeetInch)
{
    struct Case { double metres; bool us; double expected; const char* name; };
    const std::vector<Case> cases = {
        {1.0, false, 3.033, "1 m is 3 ft 3 3/8 in"},
        {-1.0, false, -3.033, "negative"},
        {0.3048, true, 1.0, "a US foot rounds to one foot"},
        {0.3047, false, 1.0, "eight eighths carry to 12 in, 12 in to a foot"},
        {1.8288, false, 6.0, "6 ft"},
        {1.711325, false, 5.073, "5 ft 7 3/8 in"},
        {100.0, true, 328.01, "328 ft 1 in (US)"},
        {kNaN, false, kNaN, "NaN passes"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(nearUlps(Meter2FFFII(c.metres, c.us), c.expected)) << c.name;
}

TEST(Units, UnknownUnitsGiveOne)
{
    const UNITS badDist[] = {static_cast<UNITS>(5), static_cast<UNITS>(9), static_cast<UNITS>(-1)};
    const ANGLES badAngle[] = {static_cast<ANGLES>(4), static_cast<ANGLES>(7), static_cast<ANGLES>(-1)};
    for (UNITS u : badDist) {
        EXPECT_EQ(ToMetersEx(123.0, u), 1.0) << int(u);
        EXPECT_EQ(FromMetersEx(123.0, u), 1.0) << int(u);
        double v[3] = {4.0, 5.0, 6.0};
        ToMetersVec3Ex(v, u);
        EXPECT_TRUE(v[0] == 1.0 && v[1] == 1.0 && v[2] == 1.0) << int(u);
        const double in[3] = {4.0, 5.0, 6.0};
        double out[3] = {0.0, 0.0, 0.0};
        FromMetersVec3Ex(in, out, u);
        EXPECT_TRUE(out[0] == 1.0 && out[1] == 1.0 && out[2] == 1.0) << int(u);
        EXPECT_STREQ(DispDistUnitsStrShortEx(u), L"") << int(u);
    }
    for (ANGLES a : badAngle) {
        EXPECT_EQ(ToDegreesEx(42.0, a), 1.0) << int(a);
        EXPECT_EQ(FromDegreesEx(42.0, a, 4), 1.0) << int(a);
        EXPECT_EQ(DispAngleUnitsStrShortEx(a), nullptr) << int(a);
    }
}

TEST(Units, ShortTexts)
{
    const wchar_t* dist[] = {L"m", L"USft", L"Ift", L"USfti", L"Ifti"};
    for (int u = 0; u < 5; ++u)
        EXPECT_STREQ(DispDistUnitsStrShortEx(static_cast<UNITS>(u)), dist[u]) << u;
    const wchar_t* angle[] = {L"rad", L"grd", L"mls", L"dms"};
    for (int a = 0; a < 4; ++a)
        EXPECT_STREQ(DispAngleUnitsStrShortEx(static_cast<ANGLES>(a)), angle[a]) << a;
}

TEST(Units, DispatchByUnit)
{
    struct Case { double value; int unit; bool toInternal; double expected; const char* name; };
    const std::vector<Case> dist = {
        {12.5, UNITS_M, true, 12.5, "metres unchanged"},
        {1.0, UNITS_USFT, true, 0.3048006096012192, "US feet"},
        {1000.0, UNITS_IFT, true, 304.8, "international feet"},
        {5.118, UNITS_USFTI, true, 1.8288036576073152, "US feet-inch: 6 US ft"},
        {5.073, UNITS_IFTI, true, 1.711325, "feet-inch"},
        {12.5, UNITS_M, false, 12.5, "metres unchanged"},
        {1.0, UNITS_USFT, false, 3.2808300000000004, "to US feet"},
        {1.0, UNITS_IFT, false, 3.2808400000000004, "to feet"},
        {0.3048, UNITS_USFTI, false, 1.0, "to US feet-inch"},
        {1.0, UNITS_IFTI, false, 3.033, "to feet-inch"},
    };
    for (const Case& c : dist) {
        const UNITS u = static_cast<UNITS>(c.unit);
        const double got = c.toInternal ? ToMetersEx(c.value, u) : FromMetersEx(c.value, u);
        EXPECT_TRUE(nearUlps(got, c.expected)) << c.name;
    }
    const std::vector<Case> angle = {
        {kPiLit, ANGLES_RAD, true, 180.00000000000003, "radians"},
        {100.0, ANGLES_GRD, true, 90.00000000000001, "grads"},
        {1600.0, ANGLES_MLS, true, 90.00000000000001, "mils"},
        {123.4530, ANGLES_DMS, true, 123.75833333333334, "packed DMS"},
        {180.0, ANGLES_RAD, false, 3.1415900000000003, "to radians"},
        {90.0, ANGLES_GRD, false, 100.00000000000001, "to grads"},
        {90.0, ANGLES_MLS, false, 1600.0000000000002, "to mils"},
        {12.5, ANGLES_DMS, false, 12.3, "to packed DMS"},
    };
    for (const Case& c : angle) {
        const ANGLES a = static_cast<ANGLES>(c.unit);
        const double got = c.toInternal ? ToDegreesEx(c.value, a) : FromDegreesEx(c.value, a, 5);
        EXPECT_TRUE(nearUlps(got, c.expected)) << c.name;
    }
}

TEST(Units, Vec3FormsConvertEachComponent)
{
    double v[3] = {1.0, -2.5, 1000.0};
    FromMetersVec3Ex(v, UNITS_IFT);
    EXPECT_TRUE(nearUlps(v[0], 3.2808400000000004) && nearUlps(v[1], -8.202100000000002) && nearUlps(v[2], 3280.8399000000004));
    ToMetersVec3Ex(v, UNITS_M);
    EXPECT_TRUE(nearUlps(v[0], 3.2808400000000004)) << "metres unchanged";
    const double in[3] = {1.0, 5.073, -1.0};
    double out[3] = {9.0, 9.0, 9.0};
    ToMetersVec3Ex(in, out, UNITS_IFTI);
    EXPECT_TRUE(nearUlps(out[0], 0.3048) && nearUlps(out[1], 1.711325) && nearUlps(out[2], -0.3048));
    FromMetersVec3Ex(out, out, UNITS_IFTI);
    EXPECT_TRUE(nearUlps(out[0], 1.0) && nearUlps(out[1], 5.073) && nearUlps(out[2], -1.0)) << "in place through the copying form";
}

TEST(Units, HorizontalAndVerticalConventions)
{
    runCases({
        {"HL2HR(0) stays 0", HL2HR, 0.0, 0.0},
        {"HL2HR(90)", HL2HR, 90.0, 270.0},
        {"HL2HR(360)", HL2HR, 360.0, 0.0},
        {"HL2HR(-90)", HL2HR, -90.0, 90.0},
        {"HR2HL(270)", HR2HL, 270.0, 90.0},
        {"HR2HL(400)", HR2HL, 400.0, 320.0},
        {"Level2Zenith(0)", Level2Zenith, 0.0, 90.0},
        {"Level2Zenith(-30)", Level2Zenith, -30.0, 120.0},
        {"Level2Zenith(90) is straight up", Level2Zenith, 90.0, 0.0},
        {"Zenith2Level(120) below the horizon", Zenith2Level, 120.0, 330.0},
        {"Zenith2Level(90)", Zenith2Level, 90.0, 0.0},
    });
    // The HA / VA forms apply the convention on the degree side of the conversion.
    EXPECT_TRUE(nearUlps(ToDegreesHAEx(100.0, ANGLES_GRD, true), 270.0));
    EXPECT_TRUE(nearUlps(ToDegreesHAEx(100.0, ANGLES_GRD, false), 90.00000000000001));
    EXPECT_TRUE(nearUlps(FromDegreesHAEx(270.0, ANGLES_GRD, true, 4), 100.00000000000001));
    EXPECT_TRUE(nearUlps(FromDegreesHAEx(90.0, ANGLES_DMS, false, 4), 90.0));
    EXPECT_TRUE(nearUlps(ToDegreesVAEx(0.3, ANGLES_DMS, true), 89.5));
    EXPECT_TRUE(nearUlps(ToDegreesVAEx(0.3, ANGLES_DMS, false), 0.5));
    EXPECT_TRUE(nearUlps(FromDegreesVAEx(89.5, ANGLES_DMS, true, 4), 0.3));
    EXPECT_TRUE(nearUlps(FromDegreesVAEx(120.0, ANGLES_DMS, true, 4), 330.0));
}

TEST(Units, CircleReductions)
{
    EXPECT_TRUE(nearUlps(ModDeg360(-30.0, false), -30.0));
    EXPECT_TRUE(nearUlps(ModDeg360(-30.0, true), 330.0));
    EXPECT_TRUE(nearUlps(ModDeg360(750.0, false), 30.0));
    EXPECT_TRUE(nearUlps(ModDeg360(-750.0, false), -30.0));
    EXPECT_TRUE(nearUlps(ModDeg360(720.0, true), 0.0));
    EXPECT_TRUE(nearUlps(pos360(-90.0), 270.0));
    EXPECT_TRUE(nearUlps(pos360(360.0), 0.0));
    EXPECT_TRUE(nearUlps(pos360(-360.0), 0.0));
    EXPECT_TRUE(std::isnan(pos360(kNaN)));
}

TEST(Units, ToRangeDouble)
{
    struct Case { double x, lo, hi, expected; const char* name; };
    const double pi = kPiLit;
    const std::vector<Case> cases = {
        {pi, -pi, pi, pi, "upper end kept"},
        {-pi, -pi, pi, -pi, "lower end kept"},
        {3 * pi, -pi, pi, pi, "from above stops on the upper end"},
        {-3 * pi, -pi, pi, -pi, "from below stops on the lower end"},
        {7.5, 0, 5, 2.5, "one period down"},
        {-0.5, 0, 5, 4.5, "one period up"},
        {10, 0, 5, 5, "exact multiple from above"},
        {-10, 0, 5, 0, "exact multiple from below"},
        {1.0, 3, 3, 3, "empty interval gives lo"},
        {1.0, 5, 3, 5, "reversed interval gives lo"},
        {kNaN, -pi, pi, kNaN, "NaN passes"},
        {kInf, -pi, pi, kNaN, "+inf has no place: NaN"},
        {-kInf, -pi, pi, kNaN, "-inf has no place: NaN"},
        {5000.0, 0, 1, 1, "many periods, exact multiple from above"},
        {-5000.0, 0, 1, 0, "many periods, exact multiple from below"},
        {5000.25, 0, 1, 0.25, "many periods from above"},
        {-5000.25, 0, 1, 0.75, "many periods from below"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(nearUlps(toRange(c.x, c.lo, c.hi), c.expected)) << c.name;
}

TEST(Units, ToRangeTerminatesAndLandsInside)
{
    // Values so large that adding the period no longer changes them, log-uniform magnitudes,
    // both signs. The result must be finite and inside the closed interval.
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> exponent(-3.0, 300.0);
    std::bernoulli_distribution negative(0.5);
    const double pi = kPiLit;
    const double intervals[][2] = {{-pi, pi}, {0.0, 2 * pi}, {0.0, 360.0}, {-1e-9, 1e-9}, {10.0, 11.0}};
    for (int k = 0; k < 5000; ++k) {
        const double x = (negative(rng) ? -1.0 : 1.0) * std::pow(10.0, exponent(rng));
        for (const auto& iv : intervals) {
            const double r = toRange(x, iv[0], iv[1]);
            ASSERT_TRUE(r >= iv[0] && r <= iv[1]) << "x " << x << " into [" << iv[0] << ", " << iv[1] << "] gave " << r;
        }
    }
    EXPECT_TRUE(std::isfinite(toRange(1e17, -pi, pi)));   // 1e17 + 2pi == 1e17
    EXPECT_TRUE(std::isfinite(toRange(-1e300, -pi, pi)));
}

TEST(Units, ToRangeStepsMatchRemainder)
{
    // Within a few periods the stepping result and the remainder agree closely, on both sides of
    // the switch to one-step reduction.
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> turns(-3000.0, 3000.0);
    const double pi = kPiLit;
    for (int k = 0; k < 2000; ++k) {
        const double x = turns(rng) * 2 * pi;
        const double r = toRange(x, -pi, pi);
        const double expected = std::remainder(x, 2 * pi);
        EXPECT_NEAR(r, expected, 1e-9) << "x " << x;
    }
}

TEST(Units, ToRangeInt)
{
    struct Case { int x, lo, hi, expected; const char* name; };
    const std::vector<Case> cases = {
        {7, 0, 5, 2, "one period down"},
        {-1, 0, 5, 4, "one period up"},
        {5, 0, 5, 5, "upper end kept"},
        {0, 0, 5, 0, "lower end kept"},
        {10, 0, 5, 5, "exact multiple from above"},
        {-10, 0, 5, 0, "exact multiple from below"},
        {9, 3, 3, 3, "empty interval"},
        {9, 4, 3, 4, "reversed interval"},
        {INT_MAX, 0, 7, 1, "huge count of periods"},
        {INT_MIN, 0, 1, 0, "period one from far below"},
        {INT_MAX, INT_MIN, INT_MAX, INT_MAX, "period wider than int"},
        {-7, INT_MIN, INT_MAX, -7, "inside the widest interval"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toRange(c.x, c.lo, c.hi), c.expected) << c.name;

    // Against plain stepping on small values.
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
    runCases({
        {"180 stays", MinimizeTurnAngle, 180.0, 180.0},
        {"-180 becomes 180", MinimizeTurnAngle, -180.0, 180.0},
        {"190 becomes -170", MinimizeTurnAngle, 190.0, -170.0},
        {"-190 becomes 170", MinimizeTurnAngle, -190.0, 170.0},
        {"-179.5 stays", MinimizeTurnAngle, -179.5, -179.5},
    });
    EXPECT_FALSE(ShouldTurn(0.5));
    EXPECT_FALSE(ShouldTurn(-0.5));
    EXPECT_TRUE(ShouldTurn(0.50001));
    EXPECT_TRUE(ShouldTurn(-0.6));

    struct Case { double ha, va, haOut, vaOut; const char* name; };
    const std::vector<Case> cases = {
        {200.0, 80.0, 20.0, 280.0, "face two of 200/80"},
        {-10.0, 0.0, -190.0, 0.0, "negative ha goes down; va 0 stays"},
        {0.0, 90.0, 180.0, 270.0, "0 turns up"},
        {179.9, -5.0, 359.9, -5.0, "below 180 turns up; negative va stays"},
        {180.0, 360.0, 0.0, 0.0, "180 turns down"},
    };
    for (const Case& c : cases) {
        double ha = c.ha, va = c.va;
        CalcReverseAngles(ha, va);
        EXPECT_TRUE(nearUlps(ha, c.haOut)) << c.name;
        EXPECT_TRUE(nearUlps(va, c.vaOut)) << c.name;
    }
}

TEST(Units, FormatFloat)
{
    struct Case { double x; int n; double expected; const char* name; };
    const std::vector<Case> cases = {
        {2.345, 2, 2.35, "half up on the fraction"},
        {-1.24, 1, -1.2, "negative"},
        {2.5, 0, 3.0, "whole, half away from zero"},
        {-2.5, 0, -3.0, "whole negative"},
        {1.005, 2, 1.0, "1.005 is below 1.005 in binary"},
        {1.23456, -2, 1.0, "no decimals for n <= 0"},
        {3000000000.25, 1, 3000000000.3, "whole part beyond 32 bits"},
        {-3000000000.25, 1, -3000000000.3, "negative beyond 32 bits"},
        {kNaN, 2, kNaN, "NaN passes"},
        {kInf, 2, kInf, "infinity passes"},
        {1.25, 400, 1.25, "10^400 overflows: unchanged"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(nearUlps(FormatFloat(c.x, c.n), c.expected)) << c.name;
}

TEST(Units, Check60Round)
{
    struct Case { int deg, min; double sec; int n; int degOut, minOut; double secOut; const char* name; };
    const std::vector<Case> cases = {
        {10, 59, 59.999995, 5, 11, 0, 0.0, "seconds and minutes carry"},
        {10, 59, 59.99999, 5, 10, 59, 59.99999, "exactly 60 - 1e-5 stays"},
        {-10, 59, 59.999999, 5, -11, 0, 0.0, "carry away from zero"},
        {0, 30, 59.9999999, 5, 0, 31, 0.0, "minute carry only"},
        {0, 30, 59.96, 1, 0, 31, 0.0, "one decimal: above 59.9"},
        {0, 30, 59.9, 1, 0, 30, 59.9, "one decimal: 59.9 stays"},
    };
    for (const Case& c : cases) {
        int d = c.deg, m = c.min;
        double s = c.sec;
        check60round(d, m, s, c.n);
        EXPECT_EQ(d, c.degOut) << c.name;
        EXPECT_EQ(m, c.minOut) << c.name;
        EXPECT_TRUE(nearUlps(s, c.secOut)) << c.name;
    }
}

// ---- Round trips -----------------------------------------------------------------------------

TEST(UnitsRoundTrip, AngleUnitsWithinFiveDecimals)
{
    // Degrees -> unit (rounded to 1e-5 of the unit) -> degrees: off by at most half a step.
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> deg(-359.9, 359.9);
    const struct {
        ANGLES unit;
        double degPerUnit;
    } units[] = {{ANGLES_RAD, 57.29577951308232}, {ANGLES_GRD, 0.9}, {ANGLES_MLS, 0.05625}};
    for (int k = 0; k < 3000; ++k) {
        const double x = deg(rng);
        for (const auto& u : units) {
            const double back = ToDegreesEx(FromDegreesEx(x, u.unit, 4), u.unit);
            EXPECT_NEAR(back, x, 0.5e-5 * u.degPerUnit + 1e-9) << "unit " << int(u.unit) << " x " << x;
        }
    }
    // Display values with five decimals come back exactly.
    std::uniform_int_distribution<long> steps(-600000, 600000);
    for (int k = 0; k < 3000; ++k) {
        const double v = static_cast<double>(steps(rng)) * 0.00001;   // |v| < 2 pi rad
        for (const auto& u : units)
            EXPECT_TRUE(nearUlps(FromDegreesEx(ToDegreesEx(v, u.unit), u.unit, 4), v)) << int(u.unit) << " " << v;
    }
}

TEST(UnitsRoundTrip, PackedDms)
{
    std::mt19937_64 rng(12);
    // Degrees -> packed -> degrees: the only change allowed is the carry of seconds near 60
    // (0.6 s for four decimals; 0.00036 s on the way back).
    std::uniform_real_distribution<double> deg(-359.0, 359.0);
    for (int k = 0; k < 5000; ++k) {
        const double x = deg(rng);
        EXPECT_NEAR(DDDMMSS2Deg(Deg2DDDMMSS(x, 4)), x, 0.6 / 3600 + 1e-9) << x;
        EXPECT_NEAR(DDDMMSS2Deg(Deg2DDDMMSS(x, 8)), x, 0.00036 / 3600 + 1e-9) << x;
    }
    // Packed (whole minutes, seconds with two decimals below 59.99) -> degrees -> packed.
    std::uniform_int_distribution<int> d(0, 359), m(0, 59), cs(0, 5998);
    for (int k = 0; k < 5000; ++k) {
        const double packed = (m(rng) * 0.01 + cs(rng) * 0.01 * 0.0001) + d(rng);
        const double sign = (k % 2) ? -1.0 : 1.0;
        EXPECT_NEAR(Deg2DDDMMSS(DDDMMSS2Deg(sign * packed), 6), sign * packed, 1e-10) << sign * packed;
    }
}

TEST(UnitsRoundTrip, Distances)
{
    std::mt19937_64 rng(13);
    std::uniform_real_distribution<double> metres(-10000.0, 10000.0);
    for (int k = 0; k < 3000; ++k) {
        const double x = metres(rng);
        EXPECT_NEAR(ToMetersEx(FromMetersEx(x, UNITS_USFT), UNITS_USFT), x, 0.5e-5 * 0.3048006096012192 + 1e-11) << x;
        EXPECT_NEAR(ToMetersEx(FromMetersEx(x, UNITS_IFT), UNITS_IFT), x, 0.5e-5 * 0.3048 + 1e-11) << x;
        // Feet-inch values hold eighths of an inch: off by at most a sixteenth (plus the
        // five-decimal rounding of the feet on the way).
        EXPECT_NEAR(ToMetersEx(FromMetersEx(x, UNITS_IFTI), UNITS_IFTI), x, 0.3048 / 12 / 16 + 2e-6) << x;
        EXPECT_NEAR(ToMetersEx(FromMetersEx(x, UNITS_USFTI), UNITS_USFTI), x, 0.3048006096012192 / 12 / 16 + 2e-6) << x;
    }
    // Packed feet-inch values come back exactly.
    std::uniform_int_distribution<int> feet(0, 9999), inches(0, 11), eighths(0, 7);
    for (int k = 0; k < 3000; ++k) {
        const double packed = ((eighths(rng) * 0.001 + inches(rng) * 0.01) + feet(rng)) * ((k % 2) ? -1.0 : 1.0);
        EXPECT_TRUE(nearUlps(FromMetersEx(ToMetersEx(packed, UNITS_IFTI), UNITS_IFTI), packed)) << packed;
        EXPECT_TRUE(nearUlps(FromMetersEx(ToMetersEx(packed, UNITS_USFTI), UNITS_USFTI), packed)) << packed;
    }
}

TEST(UnitsRoundTrip, HorizontalAndVerticalMirrors)
{
    std::mt19937_64 rng(14);
    std::uniform_real_distribution<double> deg(0.001, 359.999);
    for (int k = 0; k < 2000; ++k) {
        const double x = deg(rng);
        EXPECT_NEAR(HR2HL(HL2HR(x)), x, 1e-12) << x;
        EXPECT_NEAR(Zenith2Level(Level2Zenith(x)), x, 1e-12) << x;
        EXPECT_NEAR(ToDegreesHAEx(FromDegreesHAEx(x, ANGLES_DMS, true, 8), ANGLES_DMS, true), x, 0.00036 / 3600 + 1e-9) << x;
    }
}
