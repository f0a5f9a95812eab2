// The angle type and plane position. Expected values are exact doubles (literals), compared
// within 2 ulp unless a tolerance is named.
#include "numeric/mathAngle.h"
#include "testUtil.h"

#include <cmath>
#include <limits>
#include <random>
#include <type_traits>

namespace {

const double kPiLit = 3.141592653589793;
const double kHalfPiLit = 1.5707963267948966;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

CMathAngle radians(double r) { CMathAngle a; a.setRad(r); return a; }
CMathAngle unsetAngle() { CMathAngle a; a.reset(); return a; }

} // namespace

static_assert(std::is_aggregate<C2dPos>::value, "C2dPos{north, east}");
static_assert(sizeof(CMathAngle) == 3 * sizeof(double), "angle, sine cache, cosine cache");
static_assert(sizeof(TQuadrant) == 2, "two bools");

TEST(MathAngle, StateAndConstruction)
{
    EXPECT_TRUE(nearUlps(getPosDistance(C2dPos{1, 2}, C2dPos{4, 6}), 5.0));
    EXPECT_TRUE(CMathAngle().isok() && CMathAngle().getRad() == 0.0);
    EXPECT_TRUE(nearUlps(CMathAngle(90.0).getRad(), kHalfPiLit));
    CMathAngle a = radians(0.5);
    a.reset();
    EXPECT_TRUE(a.isnan() && !a.isok() && !a.isSharp());
    EXPECT_TRUE(a.getRad() == 0.0 && a.getDeg() == 0.0) << "unset reads as 0";
    a.copy(radians(-1.25));
    EXPECT_TRUE(a.getRad() == -1.25 && a.setTg(1.0, 0.0) && nearUlps(a.getRad(), kHalfPiLit)) << "copy; setTg(y, x)";
    // A NaN that is not the unset pattern is a set (if useless) value.
    EXPECT_TRUE(radians(kNaN).isok() && std::isnan(radians(kNaN).getRad()));
    // Setting terminates for any input and stays in [-pi, pi].
    EXPECT_TRUE(std::isnan(radians(kInf).getRad()) && std::isnan(radians(-kInf).getRad()));
    for (double big : {1e17, -1e300, 1e6})
        EXPECT_TRUE(std::fabs(radians(big).getRad()) <= kPiLit) << big;
}

TEST(MathAngle, SetDegNormalisesAndKeepsPiApart)
{
    struct Case { double deg, rad, degBack; const char* name; };
    const Case cases[] = {
        {180.0, kPiLit, 180.0, "180 is +pi"}, {-180.0, -kPiLit, -180.0, "-180 is -pi"},
        {190.0, -2.96705972839036, -170.0, "190 wraps to -170"},
        {540.0, kPiLit, 180.0, "540 comes down onto +pi"}, {-540.0, -kPiLit, -180.0, "-540 comes up onto -pi"},
    };
    for (const Case& c : cases) {
        CMathAngle a;
        a.setDeg(c.deg);
        EXPECT_TRUE(nearUlps(a.getRad(), c.rad) && nearUlps(a.getDeg(), c.degBack)) << c.name;
    }
    const CMathAngle plus(180.0), minus(-180.0);
    EXPECT_TRUE(!(plus == minus) && plus != minus && minus < plus);
}

TEST(MathAngle, DegreesMinutesSeconds)
{
    struct SetCase { int d, m; double s, rad; const char* name; };
    const SetCase sets[] = {
        {10, 30, 0.0, 0.1832595714594046, "10 30 00"}, {-10, 30, 0.0, -0.1832595714594046, "the sign rides on d"},
        {0, 0, 36.0, 0.00017453292519943296, "36 seconds"},
        {-1, 2, 3.5, -0.018052037416113574, "minutes and seconds subtract for d < 0"},
    };
    for (const SetCase& c : sets) {
        CMathAngle a;
        a.setDMS(c.d, c.m, c.s);
        EXPECT_TRUE(nearUlps(a.getRad(), c.rad)) << c.name;
    }
    struct GetCase { double rad; int d, m; double s; const char* name; };
    const GetCase gets[] = {
        {-0.5323254218582705, -30, 30, 0.0, "-30.5 deg"}, {3.1328660073298216, 179, 30, 0.0, "179.5 deg"},
        {0.017453292519943292, 1, 0, 0.0, "0.9999999999999998 deg: seconds carry a minute, minutes a degree"},
        {-0.017453292519943292, -1, 0, 0.0, "the same carry below zero"},
        {0.01745329251994329, 0, 59, 59.99999999999872, "one ulp lower: no carry"},
        {0.008726646259971646, 0, 30, 0.0, "0.4999999999999999 deg: seconds carry a minute"},
        {kPiLit, 180, 0, 0.0, "180"}, {-kPiLit, -180, 0, 0.0, "-180"},
        // d carries the sign, so an angle between -1 and 0 degrees comes back with d = 0.
        {-0.008726646259971648, 0, 30, 0.0, "-0.5 deg: the sign is lost with d = 0"},
    };
    for (const GetCase& c : gets) {
        int d = 99, m = 99;
        double s = 99.0;
        radians(c.rad).getDMS(d, m, s);
        EXPECT_TRUE(d == c.d && m == c.m && nearUlps(s, c.s)) << c.name << ": " << d << " " << m << " " << s;
    }
}

TEST(MathAngle, SetAzAndFailures)
{
    struct Case { double dn, de; bool ok; double rad; const char* name; };
    const double before = 0.3;
    const Case cases[] = {
        {0.0, 0.0, false, before, "zero vector"}, {1e-13, 5e-13, false, before, "both components below 1e-12"},
        {0.0, 1.0, true, kHalfPiLit, "due east"}, {-1.0, 0.0, true, kPiLit, "due south is +pi"},
        {-1.0, -0.0, true, -kPiLit, "due south with a negative zero east is -pi (atan2)"},
        {0.0, -1.0, true, -kHalfPiLit, "due west"}, {-1.0, -1.0, true, -2.356194490192345, "south-west"},
        {1e-13, 2e-12, true, 1.5208379310729538, "one component above 1e-12 is enough"},
    };
    for (const Case& c : cases) {
        // All four forms agree.
        CMathAngle a = radians(before), b = a, p = a, q = a;
        EXPECT_TRUE(a.setAz(c.dn, c.de) == c.ok && b.setAz(C2dPos{c.dn, c.de}) == c.ok) << c.name;
        EXPECT_TRUE(p.setAz(10.0, 20.0, 10.0 + c.dn, 20.0 + c.de) == c.ok
                    && q.setAz(C2dPos{0.0, 0.0}, C2dPos{c.dn, c.de}) == c.ok) << c.name;
        EXPECT_TRUE(nearUlps(a.getRad(), c.rad) && nearUlps(b.getRad(), c.rad) && nearUlps(q.getRad(), c.rad)) << c.name;
    }
    CMathAngle u = unsetAngle();
    EXPECT_TRUE(!u.setAz(0.0, 0.0) && u.isnan()) << "a failed setAz leaves an unset angle unset";
}

TEST(MathAngle, SetAngleAtVertexAndChord)
{
    struct Case { C2dPos p1, vertex, p3; bool ok; double rad; const char* name; };
    const Case cases[] = {
        {{1, 0}, {0, 0}, {0, 1}, true, kHalfPiLit, "north to east is clockwise positive"},
        {{0, 1}, {0, 0}, {1, 0}, true, -kHalfPiLit, "east to north"}, {{0, -1}, {0, 0}, {0, 1}, true, kPiLit, "west to east: +pi"},
        {{0, 1}, {0, 0}, {0, -1}, true, -kPiLit, "east to west: -pi, kept"}, {{5, 5}, {5, 5}, {6, 5}, false, 0.7, "p1 on the vertex"},
        {{6, 5}, {5, 5}, {5, 5 + 1e-13}, false, 0.7, "p3 within 1e-12 of the vertex"},
    };
    for (const Case& c : cases) {
        CMathAngle a = radians(0.7);
        EXPECT_TRUE(a.setAngle(c.p1, c.vertex, c.p3) == c.ok && nearUlps(a.getRad(), c.rad)) << c.name;
    }
    // setChordAndR: the angle between the tangents, pi minus the central angle.
    CMathAngle t;
    t.setChordAndR(1.0, 1.0);
    EXPECT_TRUE(nearUlps(t.getRad(), 2.0943951023931953)) << "sixth of a circle: pi - pi/3";
    std::mt19937_64 rng(21);
    std::uniform_real_distribution<double> central(0.01, 3.0), radius(1.0, 5000.0);
    for (int k = 0; k < 500; ++k) {
        const double delta = central(rng), r = radius(rng);
        t.setChordAndR(2.0 * r * std::sin(delta / 2.0), r);
        EXPECT_NEAR(t.getRad(), kPiLit - delta, 1e-9) << "R " << r << " delta " << delta;
    }
}

TEST(MathAngle, QuadrantsTangentsAndSharpness)
{
    struct Case { double rad; bool north, east; const char* name; };
    const Case cases[] = {
        {0.0, true, true, "0"}, {1.0, true, true, "first quadrant"}, {-0.1, true, false, "just left of north"},
        {3.0, false, true, "second quadrant"}, {-3.0, false, false, "third quadrant"},
        {-kHalfPiLit, true, false, "due west starts the fourth quadrant"},
        {kHalfPiLit, false, true, "due east starts the second quadrant"},
        {kPiLit, false, false, "+pi starts the third quadrant"}, {-kPiLit, false, false, "-pi is the same direction"},
        {-1e-300, true, false, "r rounds to 2pi: reported in the fourth quadrant"},
    };
    for (const Case& c : cases) {
        const TQuadrant q = radians(c.rad).getQuadrant();
        EXPECT_TRUE(q.isNorth == c.north && q.isEast == c.east) << c.name;
    }
    const TQuadrant u = unsetAngle().getQuadrant();
    EXPECT_TRUE(u.isNorth && u.isEast) << "unset counts as 0";

    EXPECT_TRUE(radians(kHalfPiLit).getTg() == 0.0 && radians(-kHalfPiLit).getTg() == 0.0);
    EXPECT_TRUE(radians(0.0).getCtg() == 0.0 && radians(kPiLit).getCtg() == 0.0);
    EXPECT_TRUE(nearUlps(radians(0.7853981633974483).getTg(), 0.9999999999999999));
    EXPECT_TRUE(nearUlps(radians(0.7853981633974483).getCtg(), 1.0000000000000002));
    for (double r : {0.0, 1.5, -1.5, kHalfPiLit, -kHalfPiLit, kPiLit, -2.0})
        EXPECT_EQ(radians(r).isSharp(), std::fabs(r) < 1.57) << r;
}

TEST(MathAngle, SameAsAzimuthRotationAndOffsets)
{
    const C2dPos from{100.0, 200.0}, to{103.0, 204.0};
    CMathAngle a;
    ASSERT_TRUE(a.setAz(from, to));
    EXPECT_TRUE(a.isSameAsAzimuth(from, to));
    EXPECT_FALSE(a.isSameAsAzimuth(to, from)) << "the opposite direction";
    CMathAngle b = a;
    b += radians(1e-9);
    EXPECT_FALSE(b.isSameAsAzimuth(from, to)) << "5 m at 1e-9 rad is 5e-9 m off";
    EXPECT_TRUE(radians(2.0).isSameAsAzimuth(from, from)) << "zero distance matches any azimuth";

    const CMathAngle east(90.0), north;
    double n = 1.0, e = 0.0, pn = 9.0, pe = 9.0;
    east.getRotated(n, e);
    EXPECT_TRUE(std::fabs(n) < 1e-15 && std::fabs(e - 1.0) < 1e-15) << "a positive angle turns north towards east";
    north.getPosAcross(1.0, 0.0, 0.0, pn, pe);
    EXPECT_TRUE(pn == 0.0 && pe == 1.0) << "right of a north-going line is east";
    // Output aliasing the input point.
    C2dPos p{10.0, 20.0}, q{10.0, 20.0};
    east.getPosAlong(3.0, p, p);
    east.getPosAcross(3.0, q, q);
    EXPECT_TRUE(std::fabs(p.north - 10.0) < 1e-14 && std::fabs(p.east - 23.0) < 1e-14);
    EXPECT_TRUE(std::fabs(q.north - 7.0) < 1e-14 && std::fabs(q.east - 20.0) < 1e-14) << "right of east is south";
}

TEST(MathAngleProperty, RotateThenRotateBack)
{
    std::mt19937_64 rng(31);
    std::uniform_real_distribution<double> angle(-10.0, 10.0), coord(-1000.0, 1000.0);
    for (int k = 0; k < 5000; ++k) {
        const CMathAngle a = radians(angle(rng));
        const double n0 = coord(rng), e0 = coord(rng);
        double n = n0, e = e0;
        a.getRotated(n, e);
        EXPECT_TRUE(n == a.getRotatedNorth(n0, e0) && e == a.getRotatedEast(n0, e0));
        EXPECT_NEAR(std::hypot(n, e), std::hypot(n0, e0), 1e-12) << "rotation keeps the length";
        const double bn = a.getRotatedBackNorth(n, e), be = a.getRotatedBackEast(n, e);
        a.getRotatedBack(n, e);
        EXPECT_TRUE(n == bn && e == be);
        ASSERT_TRUE(std::fabs(n - n0) <= 1e-12 && std::fabs(e - e0) <= 1e-12) << "angle " << a.getRad() << " point " << n0 << ", " << e0;
        // About a centre: the rotated point keeps its distance and is turned by the angle.
        const C2dPos centre{coord(rng), coord(rng)}, p{n0, e0};
        C2dPos out;
        a.getRotatedPoint(centre, p, out);
        EXPECT_NEAR(getPosDistance(centre, out), getPosDistance(centre, p), 1e-9);
        CMathAngle turned;
        const bool measurable = getPosDistance(centre, p) > 1.0 && turned.setAngle(p, centre, out);
        EXPECT_TRUE(!measurable || std::fabs(std::remainder(turned.getRad() - a.getRad(), 2 * kPiLit)) < 1e-9);
    }
}

TEST(MathAngleProperty, PosAcrossPositiveIsRight)
{
    std::mt19937_64 rng(32);
    std::uniform_real_distribution<double> az(-kPiLit, kPiLit), dist(0.001, 500.0), coord(-1e4, 1e4);
    for (int k = 0; k < 5000; ++k) {
        const double azimuth = az(rng), d = dist(rng);
        const CMathAngle a = radians(azimuth);
        // Direction of travel from the test's own trigonometry (north = cos, east = sin).
        const double dn = std::cos(azimuth), de = std::sin(azimuth);
        C2dPos u;
        a.getDir(u);
        EXPECT_TRUE(nearUlps(u.north, dn) && nearUlps(u.east, de) && nearUlps(a.getDir().north, dn)) << "unit vector";
        const C2dPos p0{coord(rng), coord(rng)};
        C2dPos right;
        double ln, le, an, ae;   // left and ahead, through the (north, east) forms
        a.getPosAcross(d, p0, right);
        a.getPosAcross(-d, p0.north, p0.east, ln, le);
        a.getPosAlong(d, p0.north, p0.east, an, ae);
        const double vn = right.north - p0.north, ve = right.east - p0.east;
        // Cross product (direction x offset) in the north/east frame: positive means clockwise
        // of the direction, i.e. on the right on a north-up map.
        const double cross = dn * ve - de * vn;
        ASSERT_GT(cross, 0.0) << "azimuth " << azimuth;
        EXPECT_NEAR(cross, d, 1e-9 * d + 1e-9);
        EXPECT_NEAR(dn * vn + de * ve, 0.0, 1e-9) << "perpendicular";
        ASSERT_LT(dn * (le - p0.east) - de * (ln - p0.north), 0.0) << "negative distance goes left";
        EXPECT_TRUE(std::fabs(an - p0.north - d * dn) < 1e-9 && std::fabs(ae - p0.east - d * de) < 1e-9) << "ahead";
    }
}

TEST(MathAngleProperty, RelatedAngleCachesMatchFreshValues)
{
    // The aliases (ops 3 and 4) are the same operations.
    void (CMathAngle::*ops[])() = {&CMathAngle::setComplimentary, &CMathAngle::setSupplementary, &CMathAngle::changeSign,
                                   &CMathAngle::set90MinusThis, &CMathAngle::set180MinusThis};
    std::mt19937_64 rng(33);
    std::uniform_real_distribution<double> angle(-kPiLit, kPiLit);
    for (int k = 0; k < 2000; ++k) {
        const double r = angle(rng);
        for (int op = 0; op < 5; ++op) {
            for (bool filled : {true, false}) {
                CMathAngle a = radians(r);
                if (filled)
                    (void)(a.getSin() + a.getCos());
                const double expected = op == 0 || op == 3 ? kHalfPiLit - r : op == 1 || op == 4 ? kPiLit - r : -r;
                (a.*ops[op])();
                ASSERT_TRUE(a.getRad() >= -kPiLit && a.getRad() <= kPiLit) << op << " " << r;
                EXPECT_NEAR(std::remainder(a.getRad() - expected, 2 * kPiLit), 0.0, 1e-15) << op << " " << r;
                const CMathAngle fresh = radians(a.getRad());
                ASSERT_NEAR(a.getSin(), fresh.getSin(), 1e-15) << "op " << op << " r " << r << " filled " << filled;
                ASSERT_NEAR(a.getCos(), fresh.getCos(), 1e-15) << "op " << op << " r " << r << " filled " << filled;
            }
        }
    }
    // At the ends of the interval (pi/2 + pi wraps to -pi/2); an unset angle is left alone.
    CMathAngle a = radians(-kPiLit), b = a, c = radians(0.0);
    a.changeSign();
    b.setComplimentary();
    c.setSupplementary();
    EXPECT_TRUE(a.getRad() == kPiLit && nearUlps(b.getRad(), -kHalfPiLit) && c.getRad() == kPiLit);
    CMathAngle u = unsetAngle();
    for (auto op : ops)
        (u.*op)();
    EXPECT_TRUE(u.isnan());
}

TEST(MathAngle, ArithmeticAndComparisons)
{
    struct Case { double a; char op; double b; bool unsetResult; double rad; const char* name; };
    const Case cases[] = {
        {kHalfPiLit, '+', kHalfPiLit, false, kPiLit, "adds up to +pi, kept"},
        {-kHalfPiLit, '-', kHalfPiLit, false, -kPiLit, "subtracts down to -pi, kept"},
        {kPiLit, '+', kHalfPiLit, false, -kHalfPiLit, "wraps past +pi"},
        {1.0, '*', 4.0, false, 4.0 - 2 * kPiLit, "multiplication normalises"},
        {1.0, '/', 4.0, false, 0.25, "division"}, {1.0, '/', 0.0, true, 0.0, "division by zero unsets"},
        {1.0, '/', 1e-13, true, 0.0, "near-zero factor unsets"},
        {1.0, '/', -1e-12, false, kNaN, "1e-12 is not near zero (value only checked to be in range)"},
    };
    for (const Case& c : cases) {
        CMathAngle a = radians(c.a);
        if (c.op == '+') a += radians(c.b);
        if (c.op == '-') a -= radians(c.b);
        if (c.op == '*') a *= c.b;
        if (c.op == '/') a /= c.b;
        EXPECT_EQ(a.isnan(), c.unsetResult) << c.name;
        EXPECT_TRUE(c.unsetResult ? a.getDeg() == 0.0 : std::fabs(a.getRad()) <= kPiLit) << c.name;
        EXPECT_TRUE(c.unsetResult || std::isnan(c.rad) || std::fabs(a.getRad() - c.rad) < 1e-15) << c.name;
    }
    // An unset operand counts as 0; an unset angle stays unset.
    CMathAngle a = radians(1.0);
    a += unsetAngle();
    EXPECT_EQ(a.getRad(), 1.0);
    CMathAngle u = unsetAngle();
    u += radians(1.0);
    u -= radians(1.0);
    u *= 2.0;
    u /= 2.0;
    EXPECT_TRUE(u.isnan());

    EXPECT_TRUE(radians(1.0) == radians(1.0 + 5e-13) && !(radians(1.0) == radians(1.0 + 2e-12)));
    EXPECT_TRUE(unsetAngle() == radians(0.0)) << "unset compares as 0";
    EXPECT_TRUE(radians(1.0) < radians(1.0 + 5e-13)) << "ordering is exact, equality tolerant";
    EXPECT_TRUE(radians(1.0) <= radians(1.0) && radians(2.0) > radians(1.0) && radians(2.0) >= radians(2.0));
}

TEST(Atan3, QuadrantsAndRange)
{
    struct Case { double a, b, expected; const char* name; };
    const Case cases[] = {
        {-1.0, -1.0, 3.9269908169872414, "third quadrant comes out above pi"},
        {-1.0, 1.0, -0.7853981633974483, "fourth quadrant is negative"}, {0.0, -1.0, kPiLit, "due south"},
        {0.0, 0.0, 0.0, "both zero"}, {1.0, 0.0, kHalfPiLit, "due east"}, {-1.0, 0.0, -kHalfPiLit, "due west"},
        {1.0, -1.0, 2.356194490192345, "second quadrant"},
        {2.0, 1.0, 1.1071487177940904, "|a| > |b| goes through pi/2 - atan(|b|/|a|)"},
        {-2.0, -1.0, 4.2487413713838835, "third quadrant, steep"},
        {-0.0, -1.0, kPiLit, "negative zero counts as non-negative"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(nearUlps(atan3(c.a, c.b), c.expected)) << c.name;
    EXPECT_TRUE(std::isnan(atan3(kNaN, 1.0)) && std::isnan(atan3(1.0, kNaN)));

    std::mt19937_64 rng(41);
    std::uniform_real_distribution<double> v(-100.0, 100.0);
    for (int k = 0; k < 5000; ++k) {
        const double a = v(rng), b = v(rng);
        const double t = atan3(a, b);
        ASSERT_TRUE(t >= -kHalfPiLit && t < 3 * kHalfPiLit) << a << ", " << b;
        EXPECT_NEAR(std::remainder(t - std::atan2(a, b), 2 * kPiLit), 0.0, 1e-14) << a << ", " << b;
    }
}
