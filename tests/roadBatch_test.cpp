// Locate and stake-out over arrays: the same answers as the per-point services on any number of
// threads, the round trip at 1e-9 m, and a status for every point the rules refuse.
#include "roadTestSupport.h"

#include "road/roadBatch.h"
#include "road/roadDesignHeight.h"
#include "road/roadLocator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

const double kExact = 1e-9;
// The example road lies at 6.5 million metres, where a coordinate's rounding alone (half of
// 9.3e-10 m in each) moves a located station by up to about 1e-9 m on the round trip.
const double kExactFarOut = 2e-9;

// The example road's main alignment, built as the tool builds it.
RoadBuild exampleMain()
{
    return std::move(roadtest::exampleBuilt().builds.at(0));
}

// Output arrays of one call.
struct Answers {
    std::vector<double> station, internal, offset, north, east, height, azimuth, cutFill, tieStation;
    std::vector<int32_t> region, element, tieRegion;
    std::vector<int8_t> extent;
    std::vector<uint8_t> status;
    explicit Answers(size_t n)
        : station(n), internal(n), offset(n), north(n), east(n), height(n), azimuth(n), cutFill(n), tieStation(n, -1.0),
          region(n), element(n), tieRegion(n, -1), extent(n), status(n, 99)
    {
    }
    RoadBatchAnswers arrays()
    {
        RoadBatchAnswers a;
        a.station = station.data();
        a.internal = internal.data();
        a.offset = offset.data();
        a.north = north.data();
        a.east = east.data();
        a.height = height.data();
        a.azimuth = azimuth.data();
        a.cutFill = cutFill.data();
        a.region = region.data();
        a.element = element.data();
        a.extent = extent.data();
        a.status = status.data();
        a.tieStation = tieStation.data();
        a.tieRegion = tieRegion.data();
        return a;
    }
};

TEST(RoadBatch, StakeoutThenLocateRoundTripsOnEveryThreadCount)
{
    const RoadBuild road = exampleMain();
    RoadBatch batch;
    ASSERT_TRUE(batch.init(road));
    std::mt19937 rng(44);
    std::uniform_real_distribution<double> station(900.0, 2200.0), offset(-30.0, 30.0);
    const size_t n = 20000;
    std::vector<double> s(n), o(n);
    for (size_t i = 0; i < n; ++i) {
        s[i] = station(rng);
        o[i] = offset(rng);
    }
    for (int threads : {1, 2, 3}) {
        RoadBatchOptions opt;
        opt.threads = threads;
        Answers staked(n), located(n);
        batch.stakeout(s.data(), o.data(), nullptr, n, opt, staked.arrays());
        batch.locate(staked.north.data(), staked.east.data(), nullptr, n, opt, located.arrays());
        for (size_t i = 0; i < n; ++i) {
            ASSERT_EQ(staked.status[i], 0) << i;
            ASSERT_EQ(located.status[i], 0) << i;
            ASSERT_NEAR(located.station[i], s[i], kExactFarOut) << "threads " << threads << " station " << s[i];
            ASSERT_NEAR(located.offset[i], o[i], kExactFarOut) << "threads " << threads << " station " << s[i];
            ASSERT_EQ(located.region[i], 1);
            ASSERT_TRUE(std::isnan(located.cutFill[i]));   // no measured heights
        }
    }
}

TEST(RoadBatch, AnswersEqualThePerPointServices)
{
    const RoadBuild road = exampleMain();
    RoadBatch batch;
    ASSERT_TRUE(batch.init(road));
    RoadLocator locator;
    ASSERT_TRUE(locator.build(road.alnt));
    std::mt19937 rng(7);
    // Internal chainage: the main road runs from 1000 to 2890.
    std::uniform_real_distribution<double> station(1000.0, 2890.0), offset(-40.0, 40.0), dh(-2.0, 2.0);
    const size_t n = 5000;
    std::vector<double> north(n), east(n), height(n);
    for (size_t i = 0; i < n; ++i) {
        RoadLocation p;
        const double internal = station(rng);
        ASSERT_TRUE(RoadPointAt(road.alnt, internal, offset(rng), p));
        north[i] = p.north;
        east[i] = p.east;
        double h = 50.0;
        RoadDesignHeight(road.alnt, internal, false, h);
        height[i] = h + dh(rng);
    }
    RoadBatchOptions opt;
    opt.threads = 2;
    Answers a(n);
    batch.locate(north.data(), east.data(), height.data(), n, opt, a.arrays());
    for (size_t i = 0; i < n; ++i) {
        RoadLocation r;
        ASSERT_TRUE(locator.locate(north[i], east[i], r));
        double design;
        ASSERT_EQ(RoadDesignHeight(road.alnt, r.station, false, design), RoadHeightKind::Profile);
        EXPECT_EQ(a.internal[i], r.station);
        EXPECT_EQ(a.station[i], road.stations.toPosted(r.station));
        EXPECT_EQ(a.offset[i], r.offset);
        EXPECT_EQ(a.north[i], r.footNorth);
        EXPECT_EQ(a.east[i], r.footEast);
        EXPECT_EQ(a.height[i], design);
        // Cut/fill: measured minus design, positive above the design.
        EXPECT_EQ(a.cutFill[i], height[i] - design);
        EXPECT_GE(a.element[i], 1);
        EXPECT_LE(a.element[i], 17);
    }
}

// A point as near to two places of a hairpin (two 100 m lines 30 m apart joined by a half circle
// of radius 15; stations from 0, an equation at 150 restarting at 1150): the other place's posted
// station and region, as the locator gives it. On the middle line at 50 the other place is at
// 100 + 15 pi + 50 = 197.12 internal, 1197.12 posted in region 2; at the arc's centre a place on
// the arc (every one is as near). 1 mm aside, and for points without an answer or staked out:
// none.
TEST(RoadBatch, TiesCarryTheOtherPlacesStation)
{
    const char* xml = R"(<?xml version="1.0"?>
<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2">
<Units><Metric linearUnit="meter"/></Units>
<Alignments><Alignment name="Hairpin" staStart="0"><CoordGeom>
<Line><Start>1000 2000</Start><End>1100 2000</End></Line>
<Curve rot="cw"><Start>1100 2000</Start><Center>1100 2015</Center><End>1100 2030</End></Curve>
<Line><Start>1100 2030</Start><End>1000 2030</End></Line>
</CoordGeom><StaEquation staBack="150" staAhead="1150" staInternal="150"/></Alignment></Alignments></LandXML>)";
    RoadFile file;
    RoadBuild build;
    RoadError err;
    ASSERT_TRUE(ReadLandXmlBytes(xml, "hairpin.xml", file, err)) << err.text();
    ASSERT_TRUE(BuildRoadAlignment(file, file.alignments[0], "", build, err)) << err.text();
    RoadBatch batch;
    ASSERT_TRUE(batch.init(build));
    const double pi = std::acos(-1.0);
    const double middle = 100.0 + 15.0 * pi + 50.0 - 150.0 + 1150.0;
    struct Case { double north, east; uint8_t status; double tieFrom, tieTo; int32_t region; const char* what; };
    const Case cases[] = {
        {1050.0, 2015.0, 0, middle - 1e-6, middle + 1e-6, 2, "the middle line"},
        {1100.0, 2015.0, 0, 100.0, 100.0 + 15.0 * pi, 1, "the arc's centre"},
        {1050.0, 2015.001, 0, NAN, NAN, 0, "1 mm aside"},
        {NAN, 2015.0, 1, NAN, NAN, 0, "refused"},
    };
    const size_t n = sizeof cases / sizeof cases[0];
    std::vector<double> north, east;
    for (const Case& c : cases) {
        north.push_back(c.north);
        east.push_back(c.east);
    }
    Answers a(n);
    batch.locate(north.data(), east.data(), nullptr, n, RoadBatchOptions(), a.arrays());
    RoadLocator locator;
    ASSERT_TRUE(locator.build(build.alnt));
    for (size_t i = 0; i < n; ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(a.status[i], c.status) << c.what;
        EXPECT_EQ(a.tieRegion[i], c.region) << c.what;
        if (std::isnan(c.tieFrom)) {
            EXPECT_TRUE(std::isnan(a.tieStation[i])) << c.what;
            continue;
        }
        EXPECT_GE(a.tieStation[i], c.tieFrom) << c.what;
        EXPECT_LE(a.tieStation[i], c.tieTo) << c.what;
        RoadLocation r;
        ASSERT_TRUE(locator.locate(c.north, c.east, r));
        EXPECT_EQ(a.tieStation[i], build.stations.toPosted(r.tieStation)) << c.what;
    }
    const double stations[] = {50.0};
    const double offsets[] = {15.0};
    Answers staked(1);
    batch.stakeout(stations, offsets, nullptr, 1, RoadBatchOptions(), staked.arrays());
    EXPECT_EQ(staked.status[0], 0);
    EXPECT_TRUE(std::isnan(staked.tieStation[0]));
    EXPECT_EQ(staked.tieRegion[0], 0);
}

TEST(RoadBatch, EveryRefusedPointKeepsItsPlaceWithItsStatus)
{
    const RoadBuild road = exampleMain();
    RoadBatch batch;
    ASSERT_TRUE(batch.init(road));
    RoadLocation mid;
    ASSERT_TRUE(RoadPointAt(road.alnt, 1500.0, 0.0, mid));
    const double nan = std::nan("");
    struct Case {
        const char* what;
        double north, east, height;
        RoadPointStatus status;
    };
    const Case cases[] = {
        {"on the road", mid.north, mid.east, 50.0, RoadPointStatus::Ok},
        {"no measured height", mid.north, mid.east, nan, RoadPointStatus::Ok},
        {"north not finite", nan, mid.east, 50.0, RoadPointStatus::BadValue},
        {"east infinite", mid.north, INFINITY, 50.0, RoadPointStatus::BadValue},
        {"coordinate 1e9", 1e9, mid.east, 50.0, RoadPointStatus::BadValue},
        {"height 1e5", mid.north, mid.east, 1e5, RoadPointStatus::BadValue},
        {"height infinite", mid.north, mid.east, -INFINITY, RoadPointStatus::BadValue},
        {"20 km off", mid.north + 20000.0, mid.east, 50.0, RoadPointStatus::TooFar},
        {"far behind the start", 6543210.482 - 3000.0 * std::cos(35.2 * kPi / 180.0),
         1234567.915 - 3000.0 * std::sin(35.2 * kPi / 180.0), 50.0, RoadPointStatus::TooFar},
    };
    const size_t n = sizeof cases / sizeof cases[0];
    std::vector<double> north, east, height;
    for (const Case& c : cases) {
        north.push_back(c.north);
        east.push_back(c.east);
        height.push_back(c.height);
    }
    Answers a(n);
    batch.locate(north.data(), east.data(), height.data(), n, RoadBatchOptions(), a.arrays());
    for (size_t i = 0; i < n; ++i) {
        EXPECT_EQ(a.status[i], static_cast<uint8_t>(cases[i].status)) << cases[i].what;
        if (cases[i].status != RoadPointStatus::Ok) {
            EXPECT_TRUE(std::isnan(a.station[i]) && std::isnan(a.offset[i])) << cases[i].what;
            EXPECT_EQ(a.element[i], 0) << cases[i].what;
        }
    }
    EXPECT_NEAR(a.station[0], 1500.0, kExact);
    EXPECT_NEAR(a.cutFill[0], 50.0 - a.height[0], 1e-12);
    EXPECT_TRUE(std::isnan(a.cutFill[1]) && !std::isnan(a.height[1]));
}

TEST(RoadBatch, StakeoutStatusesFollowTheStationRules)
{
    const RoadBuild road = exampleMain();
    RoadBatch batch;
    ASSERT_TRUE(batch.init(road));
    // The main road runs from 1000 to 2940 posted (a 50 m gap after 2200).
    struct Case {
        const char* what;
        double station, offset;
        int32_t region;
        RoadPointStatus status;
        int8_t extent;
    };
    const Case cases[] = {
        {"inside", 1500.0, 2.0, 0, RoadPointStatus::Ok, 0},
        {"after the equation", 2300.0, -2.0, 0, RoadPointStatus::Ok, 0},
        {"in the equation's gap", 2220.0, 0.0, 0, RoadPointStatus::BadStation, 0},
        {"region that does not exist", 1500.0, 0.0, 3, RoadPointStatus::BadStation, 0},
        {"before the start, within reach", 900.0, 0.0, 0, RoadPointStatus::Ok, -1},
        {"beyond the end, within reach", 3000.0, 0.0, 0, RoadPointStatus::Ok, 1},
        {"5 km beyond the end", 7940.0, 0.0, 0, RoadPointStatus::TooFar, 0},
        {"offset over the limit", 1500.0, 1000.5, 0, RoadPointStatus::TooFar, 0},
        {"station not finite", NAN, 0.0, 0, RoadPointStatus::BadValue, 0},
        {"offset infinite", 1500.0, INFINITY, 0, RoadPointStatus::BadValue, 0},
    };
    std::vector<double> s, o;
    std::vector<int32_t> r;
    for (const Case& c : cases) {
        s.push_back(c.station);
        o.push_back(c.offset);
        r.push_back(c.region);
    }
    const size_t n = s.size();
    Answers a(n);
    batch.stakeout(s.data(), o.data(), r.data(), n, RoadBatchOptions(), a.arrays());
    for (size_t i = 0; i < n; ++i) {
        EXPECT_EQ(a.status[i], static_cast<uint8_t>(cases[i].status)) << cases[i].what;
        EXPECT_EQ(a.extent[i], cases[i].extent) << cases[i].what;
    }
    EXPECT_EQ(a.station[1], 2300.0);
    EXPECT_EQ(a.region[1], 2);
    EXPECT_NEAR(a.internal[1], 2250.0, kExact);
}

TEST(RoadBatch, ThreadsFollowTheWork)
{
    EXPECT_EQ(RoadBatch::threadsFor(4, 10), 1);
    EXPECT_EQ(RoadBatch::threadsFor(2, 1000000), 2);
    EXPECT_GE(RoadBatch::threadsFor(0, 1000000), 1);
}

TEST(RoadBatch, AnUnbuiltBatchAnswersNothing)
{
    RoadBatch batch;
    const double n = 1.0, e = 2.0;
    Answers a(1);
    batch.locate(&n, &e, nullptr, 1, RoadBatchOptions(), a.arrays());
    EXPECT_EQ(a.status[0], static_cast<uint8_t>(RoadPointStatus::NoAnswer));
}

} // namespace
