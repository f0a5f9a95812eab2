// Locate and stake-out on road alignments: the locator against a brute-force nearest point
// (dense sampling, then bisection on the derivative of the true distance) on random roads of
// lines, arcs, clothoids and compound spirals, near joints, inside tight curves and beyond
// the ends; stake-out then locate as a round trip.
#include "roadTestSupport.h"

#include "road/roadLocator.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

const double kExact = 1e-9;

// A road built from its element list through LandXML text, as the tool reads it.
struct TestRoad {
    RoadBuild build;
    double first = 0.0, last = 0.0;
    double smallestRadius = 1e300;
    std::vector<double> joints;   // internal chainages of the element joints
};

std::unique_ptr<TestRoad> makeRoad(const std::vector<roadtest::PlanItem>& items, C2dPos start, double azDeg)
{
    roadtest::AlignmentPlan a;
    a.name = "Test";
    a.staStart = 1000.0;
    a.start = start;
    a.azDeg = azDeg;
    a.items = items;
    auto road = std::make_unique<TestRoad>();
    road->build = std::move(roadtest::readAndBuild({a}).builds.at(0));
    road->first = road->build.alnt.getStartChainageInM();
    road->build.alnt.getFinalChainageInM(road->last);
    double at = road->first;
    for (const roadtest::PlanItem& s : items) {
        for (double r : {s.r1, s.r2})
            if (r != 0.0)
                road->smallestRadius = std::min(road->smallestRadius, std::fabs(r));
        at += s.length;
        road->joints.push_back(at);
    }
    road->joints.pop_back();
    return road;
}

// A random road: a line, then curve groups (a plain arc; spiral, arc, spiral; or arc,
// compound spiral, arc, spiral) each followed by a line. The heading stays within 60 degrees
// of the start, so that no part of the road comes back near another.
std::vector<roadtest::PlanItem> randomRoad(std::mt19937& rng, int groups, const std::vector<double>& radii)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    auto pick = [&](double a, double b) { return a + (b - a) * u(rng); };
    std::vector<roadtest::PlanItem> items{{pick(30.0, 150.0), 0, 0}};
    double heading = 0.0;
    for (int g = 0; g < groups; ++g) {
        const double R = radii[rng() % radii.size()];
        const double side = std::fabs(heading) > 0.3 ? (heading > 0.0 ? -1.0 : 1.0) : (u(rng) < 0.5 ? -1.0 : 1.0);
        const double turn = pick(0.3, 0.75);   // |heading| stays below 1.05 rad
        const int kind = static_cast<int>(rng() % 3);
        const double r = side * R;
        if (kind == 0) {
            items.push_back({R * turn, r, r});
            heading += side * turn;
        } else if (kind == 1) {
            const double ls = pick(0.2, 0.4) * R * turn;
            items.push_back({ls, 0, r});
            items.push_back({R * turn - ls, r, r});
            items.push_back({ls, r, 0});
            heading += side * turn;
        } else {
            // Arc of 1.6 R, compound spiral to R, arc of R, spiral out.
            const double r1 = 1.6 * r, lc = 0.25 * R;
            const double compoundTurn = 0.5 * lc * (1.0 / (1.6 * R) + 1.0 / R);
            const double rest = turn - compoundTurn;
            items.push_back({0.3 * rest * 1.6 * R, r1, r1});
            items.push_back({lc, r1, r});
            items.push_back({0.4 * rest * R, r, r});
            items.push_back({0.3 * rest * 2.0 * R, r, 0});
            heading += side * turn;
        }
        items.push_back({pick(10.0, 120.0), 0, 0});
    }
    return items;
}

double along(const RoadLocation& c, double n, double e)
{
    return (n - c.footNorth) * std::cos(c.azimuth) + (e - c.footEast) * std::sin(c.azimuth);
}

// The nearest point by brute force: the alignment every 0.5 m, then at each local minimum of
// the sampled distance a bisection of the bracket around it on the sign of the distance's
// derivative, -(P - C) . T. At the ends the extended tangent answers as the locator does.
struct Truth {
    double station = 0.0, offset = 0.0, dist = 1e300;
    RoadExtent extent = RoadExtent::Inside;
    bool unique = true;   // no other local minimum within 1e-7 m of the same distance
    double firmness = 1;  // 1 - curvature * offset: near 0 the station is ill-determined
};

Truth bruteForce(const TestRoad& road, double n, double e)
{
    const CAlnt& alnt = road.build.alnt;
    const int count = static_cast<int>(std::ceil((road.last - road.first) / 0.5));
    std::vector<double> s(count + 1), d(count + 1);
    for (int i = 0; i <= count; ++i) {
        s[i] = i == count ? road.last : road.first + 0.5 * i;
        RoadLocation c;
        EXPECT_TRUE(RoadPointAt(alnt, s[i], 0.0, c));
        d[i] = std::hypot(n - c.footNorth, e - c.footEast);
    }
    auto f = [&](double st) {
        RoadLocation c;
        RoadPointAt(alnt, st, 0.0, c);
        return along(c, n, e);
    };
    std::vector<Truth> minima;
    for (int i = 0; i <= count; ++i) {
        if ((i > 0 && d[i] > d[i - 1]) || (i < count && d[i] > d[i + 1]))
            continue;
        double lo = s[std::max(i - 1, 0)], hi = s[std::min(i + 1, count)];
        double root;
        if (f(lo) <= 0.0) {
            root = lo;
        } else if (f(hi) >= 0.0) {
            root = hi;
        } else {
            for (int k = 0; k < 200 && hi - lo > 0.0; ++k) {
                const double mid = 0.5 * (lo + hi);
                if (mid == lo || mid == hi)
                    break;
                (f(mid) > 0.0 ? lo : hi) = mid;
            }
            root = 0.5 * (lo + hi);
        }
        RoadLocation c;
        RoadPointAt(alnt, root, 0.0, c);
        Truth t;
        t.station = root;
        t.dist = std::hypot(n - c.footNorth, e - c.footEast);
        const double a = along(c, n, e);
        t.offset = (e - c.footEast) * std::cos(c.azimuth) - (n - c.footNorth) * std::sin(c.azimuth);
        if (root == road.first && a < 0.0) {
            t.extent = RoadExtent::BeforeStart;
            t.station += a;
        } else if (root == road.last && a > 0.0) {
            t.extent = RoadExtent::BeyondEnd;
            t.station += a;
        } else {
            RoadLocation b, c2;
            RoadPointAt(alnt, root - 1e-3, 0.0, b);
            RoadPointAt(alnt, root + 1e-3, 0.0, c2);
            const double k = (c2.azimuth - b.azimuth) / 2e-3;
            t.firmness = 1.0 - k * t.offset;
        }
        minima.push_back(t);
    }
    std::sort(minima.begin(), minima.end(), [](const Truth& x, const Truth& y) { return x.dist < y.dist; });
    Truth best = minima.front();
    for (size_t i = 1; i < minima.size(); ++i)
        if (std::fabs(minima[i].station - best.station) > 0.5 && minima[i].dist - best.dist < 1e-7)
            best.unique = false;
    return best;
}

// Locates (n, e) and compares with the brute force; returns whether station and offset were
// compared (false where the nearest point is not unique or ill-determined).
bool checkAgainstBruteForce(const RoadLocator& locator, const TestRoad& road, double n, double e,
                            const std::string& what)
{
    RoadLocation got, at;
    EXPECT_TRUE(locator.locate(n, e, got)) << what;
    const Truth t = bruteForce(road, n, e);
    // The distance to the alignment itself (to its end point when answered beyond it).
    const double s = got.extent == RoadExtent::BeforeStart ? road.first
                     : got.extent == RoadExtent::BeyondEnd ? road.last
                                                           : got.station;
    RoadPointAt(road.build.alnt, s, 0.0, at);
    EXPECT_NEAR(std::hypot(n - at.footNorth, e - at.footEast), t.dist, kExact) << what;
    if (!t.unique || t.firmness < 0.05)
        return false;
    EXPECT_NEAR(got.station, t.station, kExact) << what;
    EXPECT_NEAR(got.offset, t.offset, kExact) << what;
    EXPECT_EQ(got.extent, t.extent) << what;
    return true;
}

struct PointSet {
    const char* name;
    std::vector<double> radii;
    // Station and offset of the next point.
    void (*draw)(std::mt19937& rng, const TestRoad& road, double& station, double& offset);
};

double uniform(std::mt19937& rng, double a, double b)
{
    return std::uniform_real_distribution<double>(a, b)(rng);
}

// Stakes out `count` random stations in [first, last] at offsets within `widest` and locates
// them again: the same station and offset within kExact.
void checkRoundTrip(const CAlnt& alnt, double first, double last, double widest, int count, std::mt19937& rng,
                    const std::string& what)
{
    RoadLocator locator;
    ASSERT_TRUE(locator.build(alnt));
    for (int i = 0; i < count; ++i) {
        const double s = uniform(rng, first, last), o = uniform(rng, -widest, widest);
        RoadLocation p, q;
        ASSERT_TRUE(RoadPointAt(alnt, s, o, p));
        ASSERT_TRUE(locator.locate(p.north, p.east, q));
        EXPECT_NEAR(q.station, s, kExact) << what << " station " << s << " offset " << o;
        EXPECT_NEAR(q.offset, o, kExact) << what << " station " << s << " offset " << o;
        EXPECT_EQ(q.extent, RoadExtent::Inside) << what;
    }
}

} // namespace

TEST(RoadLocator, MatchesBruteForce)
{
    const std::vector<PointSet> sets = {
        {"within 50 m", {150.0, 300.0, 600.0, 1500.0},
         [](std::mt19937& rng, const TestRoad& r, double& s, double& o) {
             s = uniform(rng, r.first, r.last);
             o = uniform(rng, -50.0, 50.0);
         }},
        {"near joints", {80.0, 250.0, 900.0},
         [](std::mt19937& rng, const TestRoad& r, double& s, double& o) {
             s = r.joints[rng() % r.joints.size()] + uniform(rng, -0.5, 0.5);
             o = uniform(rng, -50.0, 50.0);
         }},
        {"inside tight curves", {25.0, 40.0, 60.0},
         [](std::mt19937& rng, const TestRoad& r, double& s, double& o) {
             s = uniform(rng, r.first, r.last);
             o = uniform(rng, -1.5 * r.smallestRadius, 1.5 * r.smallestRadius);
         }},
        {"beyond the ends", {100.0, 400.0},
         [](std::mt19937& rng, const TestRoad& r, double& s, double& o) {
             s = rng() % 2 ? r.first - uniform(rng, 0.0, 50.0) : r.last + uniform(rng, 0.0, 50.0);
             o = uniform(rng, -50.0, 50.0);
         }},
        // Across the edge of the index's grid (about 60 m from the road) and beyond, where the
        // tree answers.
        {"across the grid's edge", {150.0, 600.0, 3000.0},
         [](std::mt19937& rng, const TestRoad& r, double& s, double& o) {
             s = uniform(rng, r.first, r.last);
             o = (rng() % 2 ? 1.0 : -1.0) * uniform(rng, 40.0, 140.0);
         }},
    };
    std::mt19937 rng(20240514);
    for (const PointSet& set : sets) {
        int compared = 0, total = 0;
        for (int roadNo = 0; roadNo < 4; ++roadNo) {
            const auto road = makeRoad(randomRoad(rng, 4, set.radii), C2dPos{5000.0 + 100.0 * roadNo, 3000.0},
                                       uniform(rng, -180.0, 180.0));
            RoadLocator locator;
            ASSERT_TRUE(locator.build(road->build.alnt));
            for (int i = 0; i < 60; ++i, ++total) {
                double s, o;
                set.draw(rng, *road, s, o);
                RoadLocation p;
                ASSERT_TRUE(RoadPointAt(road->build.alnt, s, o, p));
                const std::string what = std::string(set.name) + ", road " + std::to_string(roadNo) + ", point " +
                                         std::to_string(i) + " (station " + std::to_string(s) + ", offset " +
                                         std::to_string(o) + ")";
                compared += checkAgainstBruteForce(locator, *road, p.north, p.east, what);
            }
        }
        // Ties and points at a centre of curvature are rare.
        EXPECT_GE(compared, total * 8 / 10) << set.name;
    }
}

TEST(RoadLocator, StakeoutThenLocateGivesBackStationAndOffset)
{
    std::mt19937 rng(77);
    for (int roadNo = 0; roadNo < 6; ++roadNo) {
        const auto road = makeRoad(randomRoad(rng, 6, {60.0, 200.0, 450.0, 2000.0}), C2dPos{20000.0, -7000.0},
                                   uniform(rng, -180.0, 180.0));
        checkRoundTrip(road->build.alnt, road->first, road->last, std::min(30.0, 0.5 * road->smallestRadius), 400, rng,
                       "road " + std::to_string(roadNo));
    }
}

// A road of more than 100 km at grid coordinates of hundreds of kilometres: round trips within
// 50 m, and points within 50 m against the brute force.
TEST(RoadLocator, HundredKilometreRoad)
{
    std::mt19937 rng(100);
    const auto road = makeRoad(randomRoad(rng, 160, {300.0, 800.0, 2000.0}), C2dPos{500000.0, 200000.0}, 40.0);
    ASSERT_GT(road->last - road->first, 100000.0);
    checkRoundTrip(road->build.alnt, road->first, road->last, 50.0, 2000, rng, "100 km road");
    RoadLocator locator;
    ASSERT_TRUE(locator.build(road->build.alnt));
    for (int i = 0; i < 12; ++i) {
        const double s = uniform(rng, road->first, road->last), o = uniform(rng, -50.0, 50.0);
        RoadLocation p;
        ASSERT_TRUE(RoadPointAt(road->build.alnt, s, o, p));
        checkAgainstBruteForce(locator, *road, p.north, p.east, "100 km road, station " + std::to_string(s));
    }
}

// A road file of one 1e9 m line made the index split the line into 40 m chords: 25 million
// vertices, 6 GB and an uncaught bad_alloc in `road locate`. A straight is one chord however
// long, and an index that would pass its size is refused with the reason.
TEST(RoadLocator, AStraightIsOneChordHoweverLong)
{
    const std::string xml = "<LandXML><Alignments><Alignment name=\"A\" staStart=\"0\"><CoordGeom><Line>"
                            "<Start>0 0</Start><End>1000000000 0</End></Line></CoordGeom></Alignment>"
                            "</Alignments></LandXML>";
    const roadtest::BuiltRoad road = roadtest::readAndBuild(xml, "line-1e9-metres");
    ASSERT_FALSE(::testing::Test::HasFailure());
    RoadLocator locator;
    std::string why;
    ASSERT_TRUE(locator.build(road.builds.at(0).alnt, &why)) << why;
    EXPECT_EQ(locator.chordCount(), 1);
    RoadLocation at;
    ASSERT_TRUE(locator.locate(5e8, 3.0, at));
    EXPECT_NEAR(at.station, 5e8, 1e-6);
    EXPECT_NEAR(at.offset, 3.0, 1e-6) << "east of a line running north is its right";
}

TEST(RoadLocator, EndsJointsAndSides)
{
    // A right arc between two lines: 100 m north, a quarter circle of radius 100 m to the east,
    // 100 m east. Start at (0, 0) heading north, stations from 1000.
    const auto road = makeRoad({{100.0, 0, 0}, {50.0 * kPi, 100.0, 100.0}, {100.0, 0, 0}}, C2dPos{0.0, 0.0}, 0.0);
    RoadLocator locator;
    ASSERT_TRUE(locator.build(road->build.alnt));
    const double arcEnd = 1100.0 + 50.0 * kPi;
    struct Case {
        double n, e;
        double station, offset;
        RoadExtent extent;
        int element;
        const char* reason;
    } cases[] = {
        {50.0, 3.0, 1050.0, 3.0, RoadExtent::Inside, 0, "right of the first line"},
        {50.0, -3.0, 1050.0, -3.0, RoadExtent::Inside, 0, "left of the first line"},
        {-20.0, -4.0, 980.0, -4.0, RoadExtent::BeforeStart, 0, "behind the start"},
        {100.0 + 60.0 * std::sqrt(0.5), 100.0 - 60.0 * std::sqrt(0.5), 1100.0 + 25.0 * kPi, 40.0,
         RoadExtent::Inside, 1, "inside the arc at its middle"},
        {100.0 + 150.0 * std::sqrt(0.5), 100.0 - 150.0 * std::sqrt(0.5), 1100.0 + 25.0 * kPi, -50.0,
         RoadExtent::Inside, 1, "outside the arc at its middle"},
        {205.0, 100.5, arcEnd + 0.5, -5.0, RoadExtent::Inside, 2, "just after the joint arc - line, left"},
        {190.0, 250.0, arcEnd + 150.0, 10.0, RoadExtent::BeyondEnd, 2, "ahead of the end, right"},
    };
    for (const Case& c : cases) {
        RoadLocation got;
        ASSERT_TRUE(locator.locate(c.n, c.e, got)) << c.reason;
        EXPECT_NEAR(got.station, c.station, 1e-9) << c.reason;
        EXPECT_NEAR(got.offset, c.offset, 1e-9) << c.reason;
        EXPECT_EQ(got.extent, c.extent) << c.reason;
        EXPECT_EQ(got.element, c.element) << c.reason;
    }
    // Stake-out beyond the ends lies on the extended tangents.
    RoadLocation p;
    ASSERT_TRUE(RoadPointAt(road->build.alnt, 990.0, 2.0, p));
    EXPECT_NEAR(p.north, -10.0, 1e-9);
    EXPECT_NEAR(p.east, 2.0, 1e-9);
    EXPECT_EQ(p.extent, RoadExtent::BeforeStart);
    ASSERT_TRUE(RoadPointAt(road->build.alnt, arcEnd + 110.0, -1.0, p));
    EXPECT_NEAR(p.north, 201.0, 1e-9);
    EXPECT_NEAR(p.east, 210.0, 1e-9);
    EXPECT_EQ(p.extent, RoadExtent::BeyondEnd);
    // Not built, or not a number: no answer.
    RoadLocator none;
    EXPECT_FALSE(none.locate(1.0, 2.0, p));
    EXPECT_FALSE(locator.locate(NAN, 2.0, p));
}

// Stake-out exactly on the joints of a kinked road (three lines, turning 30 degrees right,
// then 40 left): a joint belongs to the later element, so the point lies square to the later
// line on both sides and the azimuth is the later line's. Answering with the earlier element
// at the joint (the fault this test catches) puts both offsets square to the earlier line.
// The joint's station is the engine's start chainage of the later element: the lengths come
// from the file's coordinates, so it is 1100 plus a few units in the last place here.
TEST(RoadLocator, StakeoutOnKinkedJointsTakesTheLaterElement)
{
    const auto road = makeRoad({{100.0, 0, 0}, {100.0, 0, 0, false, 30.0}, {100.0, 0, 0, false, -40.0}},
                               C2dPos{0.0, 0.0}, 0.0);
    const double rad = kPi / 180.0;
    struct Joint {
        double station, north, east, laterAzDeg;
        int laterElement;
    };
    double joint1 = 0.0, joint2 = 0.0;
    ASSERT_TRUE(road->build.alnt.getHe(1)->getStartChainageInM(joint1) &&
                road->build.alnt.getHe(2)->getStartChainageInM(joint2));
    ASSERT_NEAR(joint1, 1100.0, 1e-9);
    ASSERT_NEAR(joint2, 1200.0, 1e-9);
    const Joint joints[] = {{joint1, 100.0, 0.0, 30.0, 1},
                            {joint2, 100.0 + 100.0 * std::cos(30.0 * rad), 100.0 * std::sin(30.0 * rad), -10.0, 2}};
    for (const Joint& j : joints) {
        for (double offset : {-5.0, 5.0}) {
            RoadLocation p;
            ASSERT_TRUE(RoadPointAt(road->build.alnt, j.station, offset, p)) << j.station;
            const double az = j.laterAzDeg * rad;
            EXPECT_EQ(p.element, j.laterElement) << j.station;
            EXPECT_EQ(p.extent, RoadExtent::Inside) << j.station;
            EXPECT_NEAR(std::remainder(p.azimuth - az, 2.0 * kPi), 0.0, 1e-12) << j.station;
            EXPECT_NEAR(p.footNorth, j.north, 1e-9) << j.station;
            EXPECT_NEAR(p.footEast, j.east, 1e-9) << j.station;
            EXPECT_NEAR(p.north, j.north - offset * std::sin(az), 1e-9) << j.station << " offset " << offset;
            EXPECT_NEAR(p.east, j.east + offset * std::cos(az), 1e-9) << j.station << " offset " << offset;
        }
    }
    // On the outside of the first kink the staked point is nearest to the joint itself, and
    // locate answers the joint with the later element too.
    RoadLocator locator;
    ASSERT_TRUE(locator.build(road->build.alnt));
    RoadLocation p, got;
    ASSERT_TRUE(RoadPointAt(road->build.alnt, joint1, -5.0, p));
    ASSERT_TRUE(locator.locate(p.north, p.east, got));
    EXPECT_NEAR(got.station, joint1, 1e-9);
    EXPECT_NEAR(got.offset, -5.0, 1e-9);
    EXPECT_EQ(got.element, 1);
}

// Near-ties between two parts of a hairpin: two arcs of radius 500 m bulging towards each
// other across a 2 m gap (the first northwards, its easternmost point at (50, 9); the second
// southwards, its westernmost at (50, 11)), joined by a tight right arc. Points on the line
// east = 10 half-way between them, moved 5e-7 m towards one, must be answered on the nearer
// arc at its exact distance. Padding the index boxes too little for the bulge of a curve
// between its chord's ends (the fault this test catches) drops the nearer arc's chord and
// answers on the farther arc.
TEST(RoadLocator, HairpinNearTiesGoToTheNearerPart)
{
    const double R = 500.0, half = 1.0, mid = 10.0;
    const double alpha = std::asin(50.0 / R);                  // half the turn of each long arc
    const double reach = std::sqrt(R * R - 50.0 * 50.0);       // east of the centre at north 0, 100
    const double width = 2.0 * (half + R - reach);             // between the hairpin's ends
    const double tight = width / (2.0 * std::cos(alpha));      // the joining arc's radius
    const auto road = makeRoad({{R * 2.0 * alpha, -R, -R},
                                {tight * (kPi + 2.0 * alpha), tight, tight},
                                {R * 2.0 * alpha, -R, -R}},
                               C2dPos{0.0, mid - half - R + reach}, alpha * 180.0 / kPi);
    RoadLocator locator;
    ASSERT_TRUE(locator.build(road->build.alnt));
    for (double north = 10.0; north <= 90.0; north += 2.5) {
        for (double toward : {-5e-7, 5e-7}) {
            const double e = mid + toward;
            const double toFirst = std::hypot(north - 50.0, e - (mid - half - R)) - R;
            const double toSecond = std::hypot(north - 50.0, e - (mid + half + R)) - R;
            RoadLocation got, back;
            ASSERT_TRUE(locator.locate(north, e, got)) << north;
            EXPECT_EQ(got.element, toward < 0.0 ? 0 : 2) << "north " << north << ", toward " << toward;
            EXPECT_NEAR(got.offset, std::min(toFirst, toSecond), 1e-9) << north << ", toward " << toward;
            ASSERT_TRUE(RoadPointAt(road->build.alnt, got.station, got.offset, back));
            EXPECT_NEAR(back.north, north, 1e-9);
            EXPECT_NEAR(back.east, e, 1e-9);
        }
    }
}

TEST(RoadLocator, SharedIndexOnACopyAnswersTheSame)
{
    std::mt19937 rng(5);
    const auto road = makeRoad(randomRoad(rng, 5, {120.0, 500.0}), C2dPos{1000.0, 1000.0}, 30.0);
    RoadLocator locator;
    ASSERT_TRUE(locator.build(road->build.alnt));
    const CAlnt copy(road->build.alnt);
    const RoadLocator other = locator.sharedWith(copy);
    for (int i = 0; i < 100; ++i) {
        RoadLocation p, a, b;
        RoadPointAt(road->build.alnt, uniform(rng, road->first, road->last), uniform(rng, -40.0, 40.0), p);
        ASSERT_TRUE(locator.locate(p.north, p.east, a));
        ASSERT_TRUE(other.locate(p.north, p.east, b));
        EXPECT_EQ(a.station, b.station);
        EXPECT_EQ(a.offset, b.offset);
    }
}

TEST(RoadLocator, IntersectionPointCornersRoundTrip)
{
    // A line and corners eased with spirals and an arc (engine elements, not a road file), each
    // corner's tangent heading for its IP along the line before it; each corner is split into
    // its tangent, spirals and arc for the curvature.
    UseRoadTolerances();
    CAlnt alnt;
    CCurveDataSegment line;
    line.setLen(200.0);
    alnt.appendElement(CAlntHeSegment(line));
    const double ips[][5] = {
        {500.0, 0.0, 60.0, 350.0, 60.0}, {820.0, -150.0, 40.0, 200.0, 40.0}, {1100.0, -150.0, 0, 0, 0}};
    for (const auto& ip : ips) {
        CAlntHeIp corner;
        ASSERT_TRUE(corner.setIp(ip[0], ip[1], ip[2], ip[3], ip[4]));
        ASSERT_TRUE(alnt.appendElement(corner));
    }
    std::vector<RoadCurvePiece> pieces;
    ASSERT_TRUE(RoadCurvePieces(alnt, pieces));
    EXPECT_GT(pieces.size(), 6u);
    double last;
    alnt.getFinalChainageInM(last);
    std::mt19937 rng(9);
    checkRoundTrip(alnt, 0.0, last, 30.0, 500, rng, "corners");
}
