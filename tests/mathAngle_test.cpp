// The angle type and plane position. Expected values are exact doubles (literals), compared
// within 2 ulp unless a tolerance is named.
#include "numeric/mathAngle.h"
#include "testUtil.h"

#include <cmath>
#include <limits>
#include <random>
#include <type_traits>
#include <vector>

namespace {

const double kPiLit = 3.141592653589793;
const double kHalfPiLit = 1.5707963267948966;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

CMathAngle radians(double r)
{
    CMathAngle a;
    a.setRad(r);
    return a;
}

CMathAngle unsetAngle()
{
    CMathAngle a;
    a.reset();
    return a;
}

} // namespace

static_assert(std::is_aggregate<C2dPos>::value, "C2dPos{north, east}");
static_assert(sizeof(CMathAngle) == 3 * sizeof(double), "angle, sine cache, cosine cache");
static_assert(sizeof(TQuadrant) == 2, "two bools");

TEST(C2dPos, AggregateNorthThenEast)
{
    const C2dPos p{1.5, -2.0};
    EXPECT_EQ(p.north, 1.5);
    EXPECT_EQ(p.east, -2.0);
    EXPECT_TRUE(nearUlps(getPosDistance(C2dPos{1, 2}, C2dPos{4, 6}), 5.0));
    EXPECT_TRUE(nearUlps(getPosDistance(C2dPos{4, 6}, C2dPos{1, 2}), 5.0));
    EXPECT_EQ(getPosDistance(p, p), 0.0);
}

TEST(MathAngle, StateAndConstruction)
{
    CMathAngle zero;
    EXPECT_TRUE(zero.isok());
    EXPECT_EQ(zero.getRad(), 0.0);
    EXPECT_TRUE(nearUlps(CMathAngle(90.0).getRad(), kHalfPiLit));

    CMathAngle a = radians(0.5);
    a.reset();
    EXPECT_TRUE(a.isnan());
    EXPECT_FALSE(a.isok());
    EXPECT_EQ(a.getRad(), 0.0);
    EXPECT_EQ(a.getDeg(), 0.0);
    EXPECT_FALSE(a.isSharp());

    // A NaN that is not the unset pattern is a set (if useless) value.
    CMathAngle n = radians(kNaN);
    EXPECT_TRUE(n.isok());
    EXPECT_TRUE(std::isnan(n.getRad()));

    CMathAngle copied;
    copied.copy(radians(-1.25));
    EXPECT_EQ(copied.getRad(), -1.25);
}

TEST(MathAngle, SetDegNormalisesAndKeepsPiApart)
{
    struct Case { double deg, rad, degBack; const char* name; };
    const std::vector<Case> cases = {
        {180.0, kPiLit, 180.0, "180 is +pi"},
        {-180.0, -kPiLit, -180.0, "-180 is -pi"},
        {190.0, -2.96705972839036, -170.0, "190 wraps to -170"},
        {540.0, kPiLit, 180.0, "540 comes down onto +pi"},
        {-540.0, -kPiLit, -180.0, "-540 comes up onto -pi"},
        {90.0, kHalfPiLit, 90.0, "quarter"},
    };
    for (const Case& c : cases) {
        CMathAngle a;
        a.setDeg(c.deg);
        EXPECT_TRUE(nearUlps(a.getRad(), c.rad)) << c.name;
        EXPECT_TRUE(nearUlps(a.getDeg(), c.degBack)) << c.name;
    }
    CMathAngle plus, minus;
    plus.setDeg(180.0);
    minus.setDeg(-180.0);
    EXPECT_FALSE(plus == minus);
    EXPECT_TRUE(plus != minus);
    EXPECT_TRUE(minus < plus);
}

TEST(MathAngle, SetRadTerminatesForAnyInput)
{
    EXPECT_TRUE(std::isnan(radians(kInf).getRad()));
    EXPECT_TRUE(std::isnan(radians(-kInf).getRad()));
    for (double big : {1e17, -1e17, 1e300, -1e300, 1e6, -1e6}) {
        const double r = radians(big).getRad();
        EXPECT_TRUE(r >= -kPiLit && r <= kPiLit) << big;
    }
}

TEST(MathAngle, SetDms)
{
    struct Case { int d, m; double s, rad; const char* name; };
    const std::vector<Case> cases = {
        {10, 30, 0.0, 0.1832595714594046, "10 30 00"},
        {-10, 30, 0.0, -0.1832595714594046, "the sign rides on the degrees"},
        {0, 0, 36.0, 0.00017453292519943296, "36 seconds"},
        {-1, 2, 3.5, -0.018052037416113574, "minutes and seconds subtract for d < 0"},
    };
    for (const Case& c : cases) {
        CMathAngle a;
        a.setDMS(c.d, c.m, c.s);
        EXPECT_TRUE(nearUlps(a.getRad(), c.rad)) << c.name;
    }
}

TEST(MathAngle, GetDms)
{
    struct Case { double rad; int d, m; double s; const char* name; };
    const std::vector<Case> cases = {
        {-0.5323254218582705, -30, 30, 0.0, "-30.5 deg"},
        {3.1328660073298216, 179, 30, 0.0, "179.5 deg"},
        {0.017453292519943292, 1, 0, 0.0, "0.9999999999999998 deg: seconds carry a minute, minutes a degree"},
        {-0.017453292519943292, -1, 0, 0.0, "the same carry below zero"},
        {0.01745329251994329, 0, 59, 59.99999999999872, "one ulp lower: no carry"},
        {0.008726646259971646, 0, 30, 0.0, "0.4999999999999999 deg: seconds carry a minute"},
        {kPiLit, 180, 0, 0.0, "180"},
        {-kPiLit, -180, 0, 0.0, "-180"},
        // d carries the sign, so an angle between -1 and 0 degrees comes back with d = 0.
        {-0.008726646259971648, 0, 30, 0.0, "-0.5 deg: the sign is lost with d = 0"},
    };
    for (const Case& c : cases) {
        int d = 99, m = 99;
        double s = 99.0;
        radians(c.rad).getDMS(d, m, s);
        EXPECT_EQ(d, c.d) << c.name;
        EXPECT_EQ(m, c.m) << c.name;
        EXPECT_TRUE(nearUlps(s, c.s)) << c.name;
    }
}

TEST(MathAngle, SetAzAndFailures)
{
    struct Case { double dn, de; bool ok; double rad; const char* name; };
    const double before = 0.3;
    const std::vector<Case> cases = {
        {0.0, 0.0, false, before, "zero vector"},
        {1e-13, 5e-13, false, before, "both components below 1e-12"},
        {0.0, 1.0, true, kHalfPiLit, "due east"},
        {-1.0, 0.0, true, kPiLit, "due south is +pi"},
        {-1.0, -0.0, true, -kPiLit, "due south with a negative zero east is -pi (atan2)"},
        {0.0, -1.0, true, -kHalfPiLit, "due west"},
        {1.0, 1.0, true, 0.7853981633974483, "north-east"},
        {-1.0, -1.0, true, -2.356194490192345, "south-west"},
        {1e-13, 2e-12, true, 1.5208379310729538, "one component above 1e-12 is enough"},
    };
    for (const Case& c : cases) {
        CMathAngle a = radians(before);
        EXPECT_EQ(a.setAz(c.dn, c.de), c.ok) << c.name;
        EXPECT_TRUE(nearUlps(a.getRad(), c.rad)) << c.name;
        // The other forms agree.
        CMathAngle b = radians(before), p = radians(before), q = radians(before);
        EXPECT_EQ(b.setAz(C2dPos{c.dn, c.de}), c.ok) << c.name;
        EXPECT_EQ(p.setAz(10.0, 20.0, 10.0 + c.dn, 20.0 + c.de), c.ok) << c.name;
        EXPECT_EQ(q.setAz(C2dPos{0.0, 0.0}, C2dPos{c.dn, c.de}), c.ok) << c.name;
        EXPECT_TRUE(nearUlps(b.getRad(), c.rad)) << c.name;
        EXPECT_TRUE(nearUlps(q.getRad(), c.rad)) << c.name;
    }
    CMathAngle u = unsetAngle();
    EXPECT_FALSE(u.setAz(0.0, 0.0));
    EXPECT_TRUE(u.isnan()) << "a failed setAz leaves an unset angle unset";
    CMathAngle t = radians(1.0);
    EXPECT_TRUE(t.setTg(1.0, 0.0));
    EXPECT_TRUE(nearUlps(t.getRad(), kHalfPiLit));
}

TEST(MathAngle, SetAngleAtVertex)
{
    struct Case { C2dPos p1, vertex, p3; bool ok; double rad; const char* name; };
    const std::vector<Case> cases = {
        {{1, 0}, {0, 0}, {0, 1}, true, kHalfPiLit, "north to east is clockwise positive"},
        {{0, 1}, {0, 0}, {1, 0}, true, -kHalfPiLit, "east to north is negative"},
        {{0, -1}, {0, 0}, {0, 1}, true, kPiLit, "west to east: +pi"},
        {{0, 1}, {0, 0}, {0, -1}, true, -kPiLit, "east to west: -pi, kept"},
        {{5, 5}, {5, 5}, {6, 5}, false, 0.7, "p1 on the vertex"},
        {{6, 5}, {5, 5}, {5, 5 + 1e-13}, false, 0.7, "p3 within 1e-12 of the vertex"},
        {{11, 20}, {10, 20}, {9, 20}, true, kPiLit, "straight on"},
    };
    for (const Case& c : cases) {
        CMathAngle a = radians(0.7);
        EXPECT_EQ(a.setAngle(c.p1, c.vertex, c.p3), c.ok) << c.name;
        EXPECT_TRUE(nearUlps(a.getRad(), c.rad)) << c.name;
    }
}

TEST(MathAngle, ChordAndRadius)
{
    struct Case { double chord, radius, rad; const char* name; };
    const std::vector<Case> cases = {
        {2.0, 1.0, 0.0, "half circle: the tangents are parallel"},
        {1.4142135623730951, 1.0, kHalfPiLit, "quarter circle"},
        {1.0, 1.0, 2.0943951023931953, "sixth of a circle: pi - pi/3"},
    };
    for (const Case& c : cases) {
        CMathAngle a;
        a.setChordAndR(c.chord, c.radius);
        EXPECT_TRUE(nearUlps(a.getRad(), c.rad)) << c.name;
    }
    std::mt19937_64 rng(21);
    std::uniform_real_distribution<double> central(0.01, 3.0), radius(1.0, 5000.0);
    for (int k = 0; k < 1000; ++k) {
        const double delta = central(rng), r = radius(rng);
        CMathAngle a;
        a.setChordAndR(2.0 * r * std::sin(delta / 2.0), r);
        EXPECT_NEAR(a.getRad(), kPiLit - delta, 1e-9) << "R " << r << " delta " << delta;
    }
}

TEST(MathAngle, Quadrants)
{
    struct Case { double rad; bool north, east; const char* name; };
    const std::vector<Case> cases = {
        {0.0, true, true, "0"},
        {1.0, true, true, "first quadrant"},
        {-0.1, true, false, "just left of north"},
        {3.0, false, true, "second quadrant"},
        {-3.0, false, false, "third quadrant"},
        {-kHalfPiLit, true, false, "due west starts the fourth quadrant"},
        {kHalfPiLit, false, true, "due east starts the second quadrant"},
        {kPiLit, false, false, "+pi starts the third quadrant"},
        {-kPiLit, false, false, "-pi is the same direction"},
        {-1e-300, true, false, "r rounds to 2pi: reported in the fourth quadrant"},
    };
    for (const Case& c : cases) {
        const TQuadrant q = radians(c.rad).getQuadrant();
        EXPECT_EQ(q.isNorth, c.north) << c.name;
        EXPECT_EQ(q.isEast, c.east) << c.name;
    }
    const TQuadrant u = unsetAngle().getQuadrant();
    EXPECT_TRUE(u.isNorth && u.isEast) << "unset counts as 0";
}

TEST(MathAngle, TangentsAndSharpness)
{
    EXPECT_EQ(radians(kHalfPiLit).getTg(), 0.0);
    EXPECT_EQ(radians(-kHalfPiLit).getTg(), 0.0);
    EXPECT_EQ(radians(0.0).getCtg(), 0.0);
    EXPECT_EQ(radians(kPiLit).getCtg(), 0.0);
    EXPECT_TRUE(nearUlps(radians(0.7853981633974483).getTg(), 0.9999999999999999));
    EXPECT_TRUE(nearUlps(radians(0.7853981633974483).getCtg(), 1.0000000000000002));

    struct Case { double rad; bool sharp; };
    for (const Case& c : std::vector<Case>{{0.0, true}, {1.5, true}, {-1.5, true}, {kHalfPiLit, false},
                                           {-kHalfPiLit, false}, {kPiLit, false}, {-2.0, false}})
        EXPECT_EQ(radians(c.rad).isSharp(), c.sharp) << c.rad;
}

TEST(MathAngle, SameAsAzimuth)
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
}

TEST(MathAngle, RotationAndOffsets)
{
    CMathAngle east;
    east.setDeg(90.0);
    double n = 1.0, e = 0.0;
    east.getRotated(n, e);
    EXPECT_NEAR(n, 0.0, 1e-15);
    EXPECT_NEAR(e, 1.0, 1e-15) << "a positive angle turns north towards east";
    east.getRotatedBack(n, e);
    EXPECT_NEAR(n, 1.0, 1e-15);
    EXPECT_NEAR(e, 0.0, 1e-15);

    CMathAngle north;
    north.setRad(0.0);
    double pn = 9.0, pe = 9.0;
    north.getPosAcross(1.0, 0.0, 0.0, pn, pe);
    EXPECT_EQ(pn, 0.0);
    EXPECT_EQ(pe, 1.0) << "right of a north-going line is east";
    north.getPosAlong(2.0, 10.0, 20.0, pn, pe);
    EXPECT_EQ(pn, 12.0);
    EXPECT_EQ(pe, 20.0);

    // Output aliasing the input point.
    C2dPos p{10.0, 20.0};
    east.getPosAlong(3.0, p, p);
    EXPECT_NEAR(p.north, 10.0, 1e-14);
    EXPECT_NEAR(p.east, 23.0, 1e-14);
    C2dPos q{10.0, 20.0};
    east.getPosAcross(3.0, q, q);
    EXPECT_NEAR(q.north, 7.0, 1e-14) << "right of an east-going line is south";
    EXPECT_NEAR(q.east, 20.0, 1e-14);

    C2dPos rotated;
    east.getRotatedPoint(C2dPos{10.0, 10.0}, C2dPos{12.0, 10.0}, rotated);
    EXPECT_NEAR(rotated.north, 10.0, 1e-14);
    EXPECT_NEAR(rotated.east, 12.0, 1e-14);

    const C2dPos dir = radians(kPiLit).getDir();
    EXPECT_TRUE(nearUlps(dir.north, -1.0));
    EXPECT_NEAR(dir.east, 0.0, 1e-15);
    C2dPos dir2;
    radians(0.3).getDir(dir2);
    EXPECT_TRUE(nearUlps(dir2.north, std::cos(0.3)));
    EXPECT_TRUE(nearUlps(dir2.east, std::sin(0.3)));
}

TEST(MathAngleProperty, RotateThenRotateBack)
{
    std::mt19937_64 rng(31);
    std::uniform_real_distribution<double> angle(-10.0, 10.0), coord(-1000.0, 1000.0);
    for (int k = 0; k < 10000; ++k) {
        const CMathAngle a = radians(angle(rng));
        const double n0 = coord(rng), e0 = coord(rng);
        double n = n0, e = e0;
        a.getRotated(n, e);
        EXPECT_NEAR(n, a.getRotatedNorth(n0, e0), 0.0);
        EXPECT_NEAR(e, a.getRotatedEast(n0, e0), 0.0);
        EXPECT_NEAR(std::hypot(n, e), std::hypot(n0, e0), 1e-12) << "rotation keeps the length";
        a.getRotatedBack(n, e);
        ASSERT_NEAR(n, n0, 1e-12) << "angle " << a.getRad() << " point " << n0 << ", " << e0;
        ASSERT_NEAR(e, e0, 1e-12) << "angle " << a.getRad() << " point " << n0 << ", " << e0;
        // About a centre: the rotated point keeps its distance and is turned by the angle.
        const C2dPos centre{coord(rng), coord(rng)}, p{n0, e0};
        C2dPos out;
        a.getRotatedPoint(centre, p, out);
        EXPECT_NEAR(getPosDistance(centre, out), getPosDistance(centre, p), 1e-9);
        CMathAngle turned;
        if (getPosDistance(centre, p) > 1.0 && turned.setAngle(p, centre, out)) {
            EXPECT_NEAR(std::remainder(turned.getRad() - a.getRad(), 2 * kPiLit), 0.0, 1e-9);
        }
    }
}

TEST(MathAngleProperty, PosAcrossPositiveIsRight)
{
    std::mt19937_64 rng(32);
    std::uniform_real_distribution<double> az(-kPiLit, kPiLit), dist(0.001, 500.0), coord(-1e4, 1e4);
    for (int k = 0; k < 10000; ++k) {
        const double azimuth = az(rng), d = dist(rng);
        const CMathAngle a = radians(azimuth);
        // Direction of travel from the test's own trigonometry (north = cos, east = sin).
        const double dn = std::cos(azimuth), de = std::sin(azimuth);
        const C2dPos p0{coord(rng), coord(rng)};
        C2dPos right, left, ahead;
        a.getPosAcross(d, p0, right);
        a.getPosAcross(-d, p0, left);
        a.getPosAlong(d, p0, ahead);
        const double vn = right.north - p0.north, ve = right.east - p0.east;
        // Cross product (direction x offset) in the north/east frame: positive means clockwise
        // of the direction, i.e. on the right on a north-up map.
        const double cross = dn * ve - de * vn;
        ASSERT_GT(cross, 0.0) << "azimuth " << azimuth;
        EXPECT_NEAR(cross, d, 1e-9 * d + 1e-9);
        EXPECT_NEAR(dn * vn + de * ve, 0.0, 1e-9) << "perpendicular";
        const double ln = left.north - p0.north, le = left.east - p0.east;
        ASSERT_LT(dn * le - de * ln, 0.0) << "negative distance goes left";
        EXPECT_NEAR(ahead.north - p0.north, d * dn, 1e-9);
        EXPECT_NEAR(ahead.east - p0.east, d * de, 1e-9);
    }
}

TEST(MathAngleProperty, RelatedAngleCachesMatchFreshValues)
{
    std::mt19937_64 rng(33);
    std::uniform_real_distribution<double> angle(-kPiLit, kPiLit);
    const double tol = 1e-15;
    for (int k = 0; k < 5000; ++k) {
        const double r = angle(rng);
        for (int op = 0; op < 3; ++op) {
            for (bool filled : {true, false}) {
                CMathAngle a = radians(r);
                if (filled) {
                    a.getSin();
                    a.getCos();
                }
                double expected = 0.0;
                if (op == 0) {
                    a.setComplimentary();
                    expected = std::remainder(kHalfPiLit - r, 2 * kPiLit);
                } else if (op == 1) {
                    a.set180MinusThis();
                    expected = std::remainder(kPiLit - r, 2 * kPiLit);
                } else {
                    a.changeSign();
                    expected = -r;
                }
                ASSERT_TRUE(a.getRad() >= -kPiLit && a.getRad() <= kPiLit) << op << " " << r;
                EXPECT_NEAR(std::remainder(a.getRad() - expected, 2 * kPiLit), 0.0, 1e-15) << op << " " << r;
                const CMathAngle fresh = radians(a.getRad());
                ASSERT_NEAR(a.getSin(), fresh.getSin(), tol) << "op " << op << " r " << r << " filled " << filled;
                ASSERT_NEAR(a.getCos(), fresh.getCos(), tol) << "op " << op << " r " << r << " filled " << filled;
            }
        }
        // The aliases are the same operations.
        CMathAngle x = radians(r), y = radians(r);
        x.setComplimentary();
        y.set90MinusThis();
        EXPECT_EQ(x.getRad(), y.getRad());
        x = radians(r);
        y = radians(r);
        x.setSupplementary();
        y.set180MinusThis();
        EXPECT_EQ(x.getRad(), y.getRad());
    }
}

TEST(MathAngle, RelatedAnglesAtTheEnds)
{
    CMathAngle a = radians(-kPiLit);
    a.changeSign();
    EXPECT_EQ(a.getRad(), kPiLit);
    a = radians(-kPiLit);
    a.setComplimentary();
    EXPECT_TRUE(nearUlps(a.getRad(), -kHalfPiLit)) << "pi/2 + pi wraps to -pi/2";
    a = radians(0.0);
    a.setSupplementary();
    EXPECT_EQ(a.getRad(), kPiLit);
    CMathAngle u = unsetAngle();
    u.setComplimentary();
    u.setSupplementary();
    u.changeSign();
    EXPECT_TRUE(u.isnan()) << "an unset angle is left alone";
}

TEST(MathAngle, Arithmetic)
{
    struct Case { double a; char op; double b; bool unsetResult; double rad; const char* name; };
    const std::vector<Case> cases = {
        {kHalfPiLit, '+', kHalfPiLit, false, kPiLit, "adds up to +pi, kept"},
        {-kHalfPiLit, '-', kHalfPiLit, false, -kPiLit, "subtracts down to -pi, kept"},
        {kPiLit, '+', kHalfPiLit, false, -kHalfPiLit, "wraps past +pi"},
        {1.0, '*', 4.0, false, 4.0 - 2 * kPiLit, "multiplication normalises"},
        {1.0, '/', 4.0, false, 0.25, "division"},
        {1.0, '/', 0.0, true, 0.0, "division by zero unsets"},
        {1.0, '/', 1e-13, true, 0.0, "division by a near-zero factor unsets"},
        {1.0, '/', -1e-12, false, kNaN, "1e-12 is not near zero (value only checked to be in range)"},
    };
    for (const Case& c : cases) {
        CMathAngle a = radians(c.a);
        if (c.op == '+') a += radians(c.b);
        if (c.op == '-') a -= radians(c.b);
        if (c.op == '*') a *= c.b;
        if (c.op == '/') a /= c.b;
        EXPECT_EQ(a.isnan(), c.unsetResult) << c.name;
        if (c.unsetResult) {
            EXPECT_EQ(a.getDeg(), 0.0) << c.name;
        } else {
            EXPECT_TRUE(a.getRad() >= -kPiLit && a.getRad() <= kPiLit) << c.name;
            if (!std::isnan(c.rad)) {
                EXPECT_NEAR(a.getRad(), c.rad, 1e-15) << c.name;
            }
        }
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
}

TEST(MathAngle, Comparisons)
{
    EXPECT_TRUE(radians(1.0) == radians(1.0 + 5e-13));
    EXPECT_FALSE(radians(1.0) == radians(1.0 + 2e-12));
    EXPECT_TRUE(unsetAngle() == radians(0.0)) << "unset compares as 0";
    EXPECT_TRUE(radians(1.0) < radians(1.0 + 5e-13)) << "ordering is exact, equality tolerant";
    EXPECT_TRUE(radians(1.0) <= radians(1.0));
    EXPECT_TRUE(radians(2.0) > radians(1.0));
    EXPECT_TRUE(radians(2.0) >= radians(2.0));
    EXPECT_FALSE(radians(-kPiLit) == radians(kPiLit));
}

TEST(Atan3, QuadrantsAndRange)
{
    struct Case { double a, b, expected; const char* name; };
    const std::vector<Case> cases = {
        {-1.0, -1.0, 3.9269908169872414, "third quadrant comes out above pi"},
        {-1.0, 1.0, -0.7853981633974483, "fourth quadrant is negative"},
        {0.0, -1.0, kPiLit, "due south"},
        {0.0, 0.0, 0.0, "both zero"},
        {1.0, 0.0, kHalfPiLit, "due east"},
        {-1.0, 0.0, -kHalfPiLit, "due west"},
        {1.0, -1.0, 2.356194490192345, "second quadrant"},
        {2.0, 1.0, 1.1071487177940904, "|a| > |b| goes through pi/2 - atan(|b|/|a|)"},
        {-2.0, -1.0, 4.2487413713838835, "third quadrant, steep"},
        {-0.0, -1.0, kPiLit, "negative zero counts as non-negative"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(nearUlps(atan3(c.a, c.b), c.expected)) << c.name;
    EXPECT_TRUE(std::isnan(atan3(kNaN, 1.0)));
    EXPECT_TRUE(std::isnan(atan3(1.0, kNaN)));

    std::mt19937_64 rng(41);
    std::uniform_real_distribution<double> v(-100.0, 100.0);
    for (int k = 0; k < 5000; ++k) {
        const double a = v(rng), b = v(rng);
        const double t = atan3(a, b);
        ASSERT_TRUE(t >= -kHalfPiLit && t < 3 * kHalfPiLit) << a << ", " << b;
        EXPECT_NEAR(std::remainder(t - std::atan2(a, b), 2 * kPiLit), 0.0, 1e-14) << a << ", " << b;
    }
}
