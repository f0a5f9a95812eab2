// Tests of the circular-curve and spiral formulas and the point constructions.
#include "cogo/curveFormulas.h"

#include "numeric/mathAngle.h"
#include "testUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

const double kRoundTrip = 1e-9;  // relative error allowed for a conversion there and back

double relErr(double actual, double expected)
{
    return std::fabs(actual - expected) / std::fmax(std::fabs(expected), 1e-300);
}

// ---- Degree of curve ----

TEST(CurveFormulas, DegreeOfCurve)
{
    struct Case { double (*fn)(double); double in, expected; int ulps; const char* reason; };
    const Case cases[] = {
        {GetRadiusFromDegOfCurve, 1, 5729.5779513082325, 2, "1 degree, arc definition"},
        {GetDegOfCurveFromRadius, 5729.5779513082325, 1, 0, "and back, exactly"},
        {GetRadiusFromDegOfChord, 1, 5729.650674006516, 2, "chord definition: slightly larger radius"},
        {GetDegOfChordFromRadius, 100, 60, 2, "a 100-unit chord in a circle of radius 100 is 60 degrees"},
        {GetDegOfChordFromRadius, 50, 180, 2, "radius 50: the chord is a diameter"},
        // Below a radius of 50 no 100-unit chord fits the circle: 0 rather than a NaN.
        {GetDegOfChordFromRadius, 49.9, 0, 0, "below radius 50 no 100-unit chord fits: 0"},
        {GetRadiusFromDegOfCurve, 0, 0, 0, "zero degree"}, {GetRadiusFromDegOfCurve, -2, 0, 0, "negative degree"},
        {GetRadiusFromDegOfChord, -2, 0, 0, "negative chord degree"}, {GetDegOfCurveFromRadius, 0, 0, 0, "zero radius"},
        {GetDegOfCurveFromRadius, -300, 0, 0, "negative radius"}, {GetDegOfChordFromRadius, -300, 0, 0, "negative, chord"},
        {GetDegOfCurveFromRadius, 0.5e-5, 0, 0, "radius below smallNumTolerance"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(nearUlps(c.fn(c.in), c.expected, c.ulps)) << c.reason;
    // The display kinds pick the matching conversion; other kinds pass the value through.
    struct Kind { int kind; double toRadius, toDisplay; const char* reason; };
    const Kind kinds[] = {
        {RadiusDisplayRadius, 100, 100, "the radius itself"}, {RadiusDisplayDegCurve, 57.29577951308232, 57.29577951308232, "arc"},
        {RadiusDisplayDegChord, 65.27036446661393, 60.00000000000001, "chord"}, {0, 100, 100, "unknown kind 0"},
        {4, 100, 100, "unknown kind 4"},
    };
    for (const Kind& k : kinds)
        EXPECT_TRUE(nearUlps(getRadiusValueFromDisplay(100, k.kind), k.toRadius, 4)
                    && nearUlps(getDisplayValueFromRadius(100, k.kind), k.toDisplay, 4)) << k.reason;
}

// ---- Curve quantities ----

TEST(CurveFormulas, QuantitiesOfTheWorkedCurve)
{
    // Radius 300, delta 25.5 degrees: the values a surveyor's table prints to 4 decimals.
    const double R = 300, delta = 25.5;
    struct Case { double value, expected; const char* reason; };
    const Case cases[] = {
        {GetLengthFromDelta(delta, R), 133.5177, "arc length"}, {GetChordLenFromDelta(delta, R), 132.4185, "long chord"},
        {GetTangentFromDelta(delta, R), 67.8831, "tangent"}, {GetMidOrdFromDelta(delta, R), 7.3973, "middle ordinate"},
        {GetExternalFromDelta(delta, R), 7.5843, "external"},
        {GetDeltaFromLength(133.5176877775662, R), 25.5, "delta from the length"},
        {GetDeltaFromChordLength(132.41846101290065, R), 25.5, "delta from the chord"},
        {GetDeltaFromTangent(67.88306947650024, R), 25.5, "delta from the tangent"},
        {GetDeltaFromMidOrd(7.397303847446201, R), 25.5, "delta from the middle ordinate"},
        {GetDeltaFromExternal(7.584315467403769, R), 25.5, "delta from the external"},
        // A left curve (negative radius) keeps the sign in the chord, tangent and middle
        // ordinate; the external is a magnitude.
        {GetChordLenFromDelta(25.5, -300), -132.4185, "left chord"}, {GetTangentFromDelta(25.5, -300), -67.8831, "left tangent"},
        {GetMidOrdFromDelta(25.5, -300), -7.3973, "left middle ordinate"},
        {GetExternalFromDelta(25.5, -300), 7.5843, "left external"}, {GetExternalFromDelta(-25.5, 300), 7.5843, "negative delta"},
        {GetExternalFromDelta(200, 300), 2027.6311, "beyond a half circle, still a magnitude"},
        {GetDeltaFromChordLength(-132.41846101290065, 300), -25.5, "negative chord"},
        {GetDeltaFromChordLength(600, 300), 180.0, "the diameter itself is a half circle"},
        {GetDeltaFromMidOrd(600, 300), 360.0, "the full circle"},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.value, c.expected, 5e-5) << c.reason;
}

TEST(CurveFormulas, GuardsGiveZero)
{
    struct Case { double value; const char* reason; };
    const Case cases[] = {
        {GetTangentFromDelta(180, 300), "tangent of a half circle"}, {GetTangentFromDelta(-180, 300), "turning left"},
        {GetTangentFromDelta(180 - 0.9e-5, 300), "within 1e-5 degrees of a half circle"},
        {GetExternalFromDelta(-180, 300), "external of a half circle"},
        {GetExternalFromDelta(180 + 0.5e-5, 300), "just beyond a half circle"},
        {GetDeltaFromChordLength(601, 300), "chord longer than the diameter"}, {GetDeltaFromChordLength(10, 0), "zero R"},
        {GetDeltaFromMidOrd(601, 300), "middle ordinate beyond the diameter"}, {GetDeltaFromMidOrd(-1, 300), "negative M"},
        {GetDeltaFromMidOrd(10, 0), "zero radius"}, {GetDeltaFromExternal(10, 0), "zero radius, external"},
        {GetDeltaFromTangent(0, 0), "tangent and radius both zero"}, {GetDeltaFromLength(100, 0), "zero radius, length"},
        {GetDeltaFromLength(100, -300), "negative radius"}, {GetSpiralLength(100, 0), "spiral to a zero radius"},
        {GetSpiralLength(100, 0.9e-5), "spiral to a radius below smallNumTolerance"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value, 0.0) << c.reason;
    EXPECT_NE(GetTangentFromDelta(180 - 2e-5, 300), 0.0) << "outside the guard";
}

TEST(CurveFormulas, LengthDisplayAndSpirals)
{
    for (int kind : {int(LengthDisplayLength), 0, 8, -1}) {
        EXPECT_EQ(getLengthValueFromDisplay(123.25, 300, kind), 123.25) << "kind " << kind;
        EXPECT_EQ(getLengthValueFromDisplay(123.25, 0, kind), 123.25) << "kind " << kind << ", zero radius";
        EXPECT_EQ(getDisplayValueFromLength(123.25, 300, kind), 123.25) << "kind " << kind;
    }
    // The spiral constant uses L and R directly, not the central angle (which is 0 for a
    // negative radius); spirals use magnitudes.
    EXPECT_TRUE(nearUlps(getDisplayValueFromLength(80, -300, LengthDisplaySpiralConst), std::sqrt(24000.0)));
    EXPECT_TRUE(nearUlps(getLengthValueFromDisplay(std::sqrt(24000.0), -300, LengthDisplaySpiralConst), 80.0));
    EXPECT_TRUE(nearUlps(GetSpiralConstant(-80, -300), std::sqrt(24000.0)));
    EXPECT_TRUE(nearUlps(GetSpiralLength(150, 300), 75.0) && nearUlps(GetSpiralLength(150, -300), 75.0));
}

// Each quantity, converted to the arc length and back, returns; and each arc length, converted
// to the quantity and back, returns (R > 0, less than a half circle). Likewise the degree of
// curve and the spiral constant.
TEST(CurveFormulas, RoundTrips)
{
    std::mt19937 rng(2);
    std::uniform_real_distribution<double> unit(0.0, 1.0), delta(1.0, 179.0), degree(0.01, 179.0);
    for (int i = 0; i < 1000; ++i) {
        const double R = std::pow(10.0, 1.0 + 3.0 * unit(rng)), L = GetLengthFromDelta(delta(rng), R);  // R log-uniform
        for (int kind = 1; kind <= 7; ++kind) {
            const double q = getDisplayValueFromLength(L, R, kind);
            ASSERT_LT(relErr(getLengthValueFromDisplay(q, R, kind), L), kRoundTrip) << "kind " << kind << " L " << L << " R " << R;
            ASSERT_LT(relErr(getDisplayValueFromLength(getLengthValueFromDisplay(q, R, kind), R, kind), q), kRoundTrip)
                << "kind " << kind << " q " << q << " R " << R;
        }
        const double d = degree(rng), A = std::pow(10.0, 3.0 * unit(rng));
        EXPECT_LT(relErr(GetDegOfCurveFromRadius(GetRadiusFromDegOfCurve(d)), d), kRoundTrip) << d;
        EXPECT_LT(relErr(GetDegOfChordFromRadius(GetRadiusFromDegOfChord(d)), d), kRoundTrip) << d;
        for (int kind : {int(RadiusDisplayDegCurve), int(RadiusDisplayDegChord)})
            EXPECT_LT(relErr(getDisplayValueFromRadius(getRadiusValueFromDisplay(d, kind), kind), d), kRoundTrip) << d;
        ASSERT_LT(relErr(GetSpiralLength(GetSpiralConstant(A, R), R), A), kRoundTrip);
    }
}

TEST(CurveFormulas, TolerancesAreWritableAndReadAtEveryUse)
{
    EXPECT_TRUE(smallNumTolerance == 1e-5 && roadTolerance == 0.001);
    const double saved = smallNumTolerance;
    EXPECT_NE(GetDegOfCurveFromRadius(0.5), 0.0);
    smallNumTolerance = 1.0;
    EXPECT_TRUE(GetDegOfCurveFromRadius(0.5) == 0.0 && GetSpiralLength(10, 0.5) == 0.0) << "a radius below the raised tolerance";
    smallNumTolerance = saved;
    EXPECT_NE(GetDegOfCurveFromRadius(0.5), 0.0);
}

// ---- Point construction ----

TEST(CurveFormulas, Compute2DPoint)
{
    struct Case { double az, turn, east, north; const char* reason; };
    const Case cases[] = {
        {0, 0, 0, 10, "straight ahead north"}, {0, 90, 10, 0, "+90 is right of a north-going direction: east"},
        {0, -90, -10, 0, "-90 is left: west"}, {90, 90, 0, -10, "right of east is south"},
        {270, -90, 0, -10, "left of west is south"}, {350, 100, 10, 0, "azimuth plus turn beyond 360"},
    };
    for (const Case& c : cases) {
        double e, n;
        Compute2DPoint(0.0, 0.0, 10.0, c.az, c.turn, e, n);
        EXPECT_TRUE(std::fabs(e - c.east) < 1e-12 && std::fabs(n - c.north) < 1e-12) << c.reason;
    }
    // The point lies at the distance and in the direction azimuth + turn.
    std::mt19937 rng(20);
    std::uniform_real_distribution<double> coord(-1e6, 1e6), az(0.0, 360.0), turn(-180.0, 180.0), unit(0.0, 1.0);
    for (int i = 0; i < 2000; ++i) {
        const double e0 = coord(rng), n0 = 5e6 + coord(rng), a = az(rng), t = turn(rng);
        const double dist = std::pow(10.0, 4.0 * unit(rng) - 1.0);  // 0.1 m to 1 km
        double e, n;
        Compute2DPoint(e0, n0, dist, a, t, e, n);
        const C2dPos from{n0, e0}, to{n, e};
        const double eps = 8 * 2.220446049250313e-16 * std::fmax(std::fabs(n0), std::fabs(e0));  // rounding of the coordinates
        ASSERT_NEAR(getPosDistance(from, to), dist, eps) << "case " << i;
        CMathAngle seen, expected;
        ASSERT_TRUE(seen.setAz(from, to));
        expected.setDeg(a + t);
        seen -= expected;
        ASSERT_LT(std::fabs(seen.getRad()), eps / dist) << "case " << i;
    }
}

TEST(CurveFormulas, Compute3DPoint)
{
    TCoords from{0, 0, 0, 5}, to{3, 4, 12, 5}, out{-1, -1, -1, 2};
    ASSERT_EQ(Compute3DPoint(from, to, 13, out), 1);
    EXPECT_TRUE(std::fabs(out.x - 6) < 1e-12 && std::fabs(out.y - 8) < 1e-12 && std::fabs(out.z - 24) < 1e-12);
    EXPECT_EQ(out.mask, 2) << "the validity mask is left alone";
    ASSERT_EQ(Compute3DPoint(from, to, -13, out), 1);
    EXPECT_TRUE(std::fabs(out.x) < 1e-12 && std::fabs(out.z) < 1e-12) << "a negative distance goes back towards `from`";
    TCoords same{1, 2, 3}, near{1 + 0.5e-5, 2, 3}, untouched{7, 8, 9, 1};
    EXPECT_EQ(Compute3DPoint(same, same, 10, untouched), 0) << "coinciding points";
    EXPECT_EQ(Compute3DPoint(same, near, 10, untouched), 0) << "closer than smallNumTolerance";
    EXPECT_TRUE(untouched.x == 7.0 && untouched.z == 9.0);
    EXPECT_EQ(TCoords{}.mask, static_cast<int>(COORD_VALID_ALL));
}

} // namespace
