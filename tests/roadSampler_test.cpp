// Sampling road alignments: the centreline, the exact constant-offset line and the variable
// offset line, checked vertex by vertex against stake-out and chord by chord (at each chord's
// middle) against the exact locator. The road services leave the library log silent, beyond
// the ends too.
#include "libraryLogFixture.h"
#include "roadTestSupport.h"

#include "road/roadLocator.h"
#include "road/roadSampler.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double kOnLine = 1e-9;
const double kChordSlack = 1e-4;

// The alignments of a road written as LandXML, built as the tool builds them.
std::vector<RoadBuild> buildRoads(const std::vector<roadtest::AlignmentPlan>& plans)
{
    return roadtest::readAndBuild(plans).builds;
}

// The example road's two alignments and a road of tight curves (radii 30 to 80 m).
std::vector<RoadBuild> testRoads()
{
    std::vector<roadtest::AlignmentPlan> items = roadtest::exampleRoad();
    roadtest::AlignmentPlan tight;
    tight.name = "Tight";
    tight.start = C2dPos{2000.0, 4000.0};
    tight.azDeg = 200.0;
    tight.items = {{40.0, 0, 0},    {20.0, 0, 30.0},   {25.0, 30.0, 30.0}, {15.0, 30.0, 50.0},
                   {30.0, 50.0, 50.0}, {20.0, 50.0, 0}, {10.0, 0, 0},      {25.0, 0, -80.0},
                   {60.0, -80.0, -80.0}, {25.0, -80.0, 0}, {30.0, 0, 0}};
    items.push_back(tight);
    return buildRoads(items);
}

// The nearest point's offset from the centreline of the middle of chord a-b.
double middleOffset(const RoadLocator& locator, const RoadSampleVertex& a, const RoadSampleVertex& b)
{
    RoadLocation m;
    EXPECT_TRUE(locator.locate(0.5 * (a.north + b.north), 0.5 * (a.east + b.east), m));
    return m.offset;
}

// Every vertex of `line` is the stake-out point at its station and `offset`, stations increase,
// and the middle of every chord lies within `deviation` of the offset line. For a point beside
// a regular offset curve, its distance from the curve is the difference of the offsets along
// the common normal.
void checkSampledLine(const CAlnt& alnt, const RoadLocator& locator, const std::vector<RoadSampleVertex>& line,
                      double offset, double deviation)
{
    for (size_t i = 0; i < line.size(); ++i) {
        RoadLocation p;
        ASSERT_TRUE(RoadPointAt(alnt, line[i].station, offset, p));
        EXPECT_EQ(line[i].offset, offset);
        EXPECT_NEAR(std::hypot(p.north - line[i].north, p.east - line[i].east), 0.0, kOnLine)
            << "vertex " << i << " at " << line[i].station;
        if (i > 0) {
            EXPECT_GT(line[i].station, line[i - 1].station);
            EXPECT_LE(std::fabs(middleOffset(locator, line[i - 1], line[i]) - offset), deviation + kChordSlack)
                << "chord " << i << " at " << line[i].station << ", offset " << offset << ", deviation " << deviation;
        }
    }
}

} // namespace

// The centreline (offset 0) from end to end, and offset lines on both sides, inside and outside
// the curves (25 m is within the tightest radius, 30 m).
TEST(RoadSampler, VerticesAtTheOffsetChordsWithinTheDeviation)
{
    for (const RoadBuild& road : testRoads()) {
        RoadLocator locator;
        ASSERT_TRUE(locator.build(road.alnt));
        for (double offset : {0.0, -25.0, -3.5, 4.0, 25.0}) {
            for (double deviation : {0.0005, 0.01, 0.2}) {
                std::vector<RoadSampleVertex> line;
                if (offset == 0.0) {
                    ASSERT_TRUE(SampleRoadCentreline(road.alnt, deviation, line));
                    double last;
                    road.alnt.getFinalChainageInM(last);
                    EXPECT_EQ(line.front().station, road.alnt.getStartChainageInM());
                    EXPECT_NEAR(line.back().station, last, 1e-9);
                } else {
                    ASSERT_TRUE(SampleRoadOffsetLine(road.alnt, offset, deviation, line));
                }
                checkSampledLine(road.alnt, locator, line, offset, deviation);
            }
        }
    }
}

// Where an offset reaches the centre of a curve on its side: the main road's right curve of
// 600 m (spirals from and to tangents around it) and its left compound curve down to 250 m.
// The stretch runs from where the spiral's radius equals the offset to where the next spiral's
// does again: on a clothoid of length L to radius R, radius r at L * R / r from the tangent.
TEST(RoadSampler, OffsetsThatReachACurvesCentre)
{
    const std::vector<RoadBuild> builds = testRoads();
    const CAlnt& alnt = builds.at(0).alnt;
    const double start = alnt.getStartChainageInM();
    double end = 0.0;
    ASSERT_TRUE(alnt.getFinalChainageInM(end));
    struct Case { double offset, from, to; bool folds; double foldFrom, foldTo, radius; const char* what; };
    const Case cases[] = {
        {590.0, start, end, false, 0, 0, 0, "short of the 600 m centre"},
        {-590.0, start, end, true, 0, 0, 250.0, "left: past the 250 m and 400 m centres"},
        {700.0, start, end, true, 1320.0 + 80.0 * 600.0 / 700.0, 1580.0 + 80.0 * (1.0 - 600.0 / 700.0), 600.0,
         "right: spiral, arc, spiral"},
        {700.0, 1500.0, 1500.0, true, 1500.0, 1500.0, 600.0, "one station on the arc"},
        {700.0, 1700.0, 1800.0, false, 0, 0, 0, "a stretch of left curves"},
        {-700.0, 1200.0, 1300.0, false, 0, 0, 0, "a tangent"},
    };
    for (const Case& c : cases) {
        RoadOffsetFold fold;
        ASSERT_EQ(RoadOffsetFolds(alnt, c.offset, c.from, c.to, fold), c.folds) << c.what;
        if (!c.folds || c.foldTo == 0)
            continue;
        EXPECT_NEAR(fold.from, c.foldFrom, 1e-6) << c.what;
        EXPECT_NEAR(fold.to, c.foldTo, 1e-6) << c.what;
        EXPECT_NEAR(fold.radius, c.radius, 1e-6) << c.what;
    }
}

// Where a table's offset reaches the centre of a curve on its side, on the main road (right
// arc of 600 m from 1400 to 1580 after a spiral from 1320; left arc of 250 m from 1890 to 1980).
// Failed before: "1400 2, 1500 700, 1600 2" was sampled into a line that flipped across the
// 600 m arc's centre and back. The offset rises 6.98 m a metre to 700: it is 600 at
// 1400 + 598 / 6.98 and again at 1500 + 100 / 6.98. Over the spiral the offset 12.5 (s - 1320)
// times the curvature (s - 1320) / 48000 reaches 1 at s - 1320 = sqrt(3840).
TEST(RoadSampler, OffsetTablesThatReachACurvesCentre)
{
    const std::vector<RoadBuild> builds = testRoads();
    const CAlnt& alnt = builds.at(0).alnt;
    struct Case { std::vector<StAndOffset> table; bool folds; double from, to, radius, offset; const char* what; };
    const double spiral = std::sqrt(3840.0);
    const std::vector<Case> cases = {
        {{{1400.0, 2.0}, {1500.0, 700.0}, {1600.0, 2.0}}, true, 1400.0 + 598.0 / 6.98, 1500.0 + 100.0 / 6.98, 600.0,
         600.0, "rising past the 600 m centre and back"},
        {{{1400.0, 2.0}, {1500.0, 590.0}, {1600.0, 2.0}}, false, 0, 0, 0, 0, "rising to 590: short of it"},
        {{{1320.0, 0.0}, {1400.0, 1000.0}}, true, 1320.0 + spiral, 1400.0, 600.0, 12.5 * spiral,
         "both rising along the spiral"},
        {{{1450.0, 700.0}, {1550.0, 700.0}}, true, 1450.0, 1550.0, 600.0, 700.0, "past the centre from its first pair"},
        {{{1900.0, -2.0}, {1935.0, -300.0}, {1970.0, -2.0}}, true, 1900.0 + 248.0 * 35.0 / 298.0,
         1970.0 - 248.0 * 35.0 / 298.0, 250.0, -250.0, "left, inside the 250 m arc"},
        {{{1900.0, 2.0}, {1935.0, 300.0}, {1970.0, 2.0}}, false, 0, 0, 0, 0, "right of the left arc: outside"},
        {{{1000.0, 5000.0}, {1300.0, 5000.0}}, false, 0, 0, 0, 0, "a tangent"},
        {{{1500.0, 700.0}, {1400.0, 2.0}}, false, 0, 0, 0, 0, "stations not increasing: refused"},
        {{}, false, 0, 0, 0, 0, "no pairs"},
    };
    for (const Case& c : cases) {
        RoadOffsetFold fold;
        ASSERT_EQ(RoadOffsetTableFolds(alnt, c.table, fold), c.folds) << c.what;
        if (!c.folds)
            continue;
        EXPECT_NEAR(fold.from, c.from, 1e-6) << c.what;
        EXPECT_NEAR(fold.to, c.to, 1e-6) << c.what;
        EXPECT_NEAR(fold.radius, c.radius, 1e-6) << c.what;
        EXPECT_NEAR(fold.offset, c.offset, 1e-6) << c.what;
    }
    // A table of one constant offset answers as the constant offset over its stations.
    RoadOffsetFold table, constant;
    ASSERT_TRUE(RoadOffsetTableFolds(alnt, {{1000.0, 700.0}, {2000.0, 700.0}}, table));
    ASSERT_TRUE(RoadOffsetFolds(alnt, 700.0, 1000.0, 2000.0, constant));
    EXPECT_EQ(table.from, constant.from);
    EXPECT_EQ(table.to, constant.to);
    EXPECT_EQ(table.radius, constant.radius);
    EXPECT_EQ(constant.offset, 700.0);
}

// The offset of a table at `station` (metres), interpolated linearly; the first offset before it.
double tableOffset(const std::vector<StAndOffset>& table, double station)
{
    for (size_t k = 1; k < table.size(); ++k)
        if (station >= table[k - 1].station && station <= table[k].station)
            return table[k - 1].offset + (table[k].offset - table[k - 1].offset) * (station - table[k - 1].station) /
                                             (table[k].station - table[k - 1].station);
    return table.front().offset;
}

// The line follows the table, reaches its last station and begins exactly at its first offset.
// Failed before: a last stretch of constant offset ("1+500 6, 2+900 6" on the example road)
// stopped at the last cache vertex before its end (2740, 160 m short), and a table inside one
// line element ("100 2, 900 2" on a straight road) gave a single vertex; the first vertex lay
// square to the first chord, a hair inside the offset.
TEST(RoadSampler, OffsetTableFollowsTheTableToItsEnds)
{
    std::vector<roadtest::AlignmentPlan> plans = roadtest::exampleRoad();
    roadtest::AlignmentPlan straight;
    straight.name = "Straight";
    straight.start = C2dPos{1000.0, 2000.0};
    straight.items = {{1000.0, 0, 0}};
    plans.push_back(straight);
    const std::vector<RoadBuild> roads = buildRoads(plans);
    struct Case { size_t road; std::vector<StAndOffset> table; double from, to; const char* name; size_t least = 2; };
    const std::vector<Case> cases = {
        {0, {{1300.0, 2.0}, {1500.0, 6.0}, {2850.0, 6.0}}, 1300.0, 2850.0, "constant last stretch"},
        {2, {{100.0, 2.0}, {900.0, 2.0}}, 100.0, 900.0, "inside one line"},
        {2, {{-50.0, 1.0}, {500.0, 3.0}, {1200.0, 3.0}}, 0.0, 1000.0, "beyond both ends: clipped"},
        {0, {{1250.0, -3.0}, {1400.0, 4.0}}, 1250.0, 1400.0, "over a spiral"},
        {0, {{1250.0, 2.0}, {1500.0, 6.0}, {1900.0, 6.0}, {2300.0, 2.0}}, 1250.0, 2300.0,
         "widening and back over curves and the station equation", 21},
    };
    for (const Case& c : cases) {
        std::vector<RoadSampleVertex> line;
        ASSERT_TRUE(SampleRoadOffsetTable(roads[c.road].alnt, c.table, 0.01, line)) << c.name;
        ASSERT_GE(line.size(), c.least) << c.name;
        for (const RoadSampleVertex* v : {&line.front(), &line.back()}) {
            const double station = v == &line.front() ? c.from : c.to;
            const double expected = tableOffset(c.table, station);
            EXPECT_NEAR(v->station, station, 1e-9) << c.name;
            EXPECT_NEAR(v->offset, expected, 1e-9) << c.name;
            RoadLocation at;
            ASSERT_TRUE(RoadPointAt(roads[c.road].alnt, station, expected, at));
            EXPECT_NEAR(std::hypot(at.north - v->north, at.east - v->east), 0.0, 1e-9) << c.name;
        }
        // Between the ends the offset runs with the plan distance along the chords, a hair
        // shorter than the stations; where two stretches meet (the table's stations) the corner
        // rule places the vertex between their ends, about a centimetre off.
        for (size_t i = 1; i < line.size(); ++i) {
            EXPECT_GT(line[i].station, line[i - 1].station) << c.name << " vertex " << i;
            EXPECT_NEAR(line[i].offset, tableOffset(c.table, line[i].station), 0.02) << c.name << " vertex " << i;
        }
    }
    // Refused: fewer than two pairs, stations out of order, a deviation below the least, NaN.
    std::vector<RoadSampleVertex> line;
    EXPECT_FALSE(SampleRoadOffsetTable(roads[0].alnt, {{1250.0, 2.0}}, 0.01, line));
    EXPECT_FALSE(SampleRoadOffsetTable(roads[0].alnt, {{1500.0, 2.0}, {1400.0, 3.0}}, 0.01, line));
    EXPECT_FALSE(SampleRoadCentreline(roads[0].alnt, 5e-5, line));
    EXPECT_FALSE(SampleRoadOffsetLine(roads[0].alnt, 2.0, NAN, line));
}

// The profile's own vertices: on a straight road the plan needs only its two ends, so a 3D line
// of them skipped every VIP (the straight road: heights at 0 and 1000 only). With the
// profile's vertices each VIP is a vertex and the line follows the profile within the deviation.
TEST(RoadSampler, ProfileVerticesFollowTheProfile)
{
    std::vector<roadtest::AlignmentPlan> plans = roadtest::exampleRoad();
    roadtest::AlignmentPlan straight;
    straight.name = "Straight";
    straight.start = C2dPos{1000.0, 2000.0};
    straight.items = {{1000.0, 0, 0}};
    straight.profileName = "P";
    straight.vips = {{"PVI", 300, 100}, {"ParaCurve", 500, 110, 120}, {"PVI", 700, 100}, {"PVI", 1000, 110}};
    plans.push_back(straight);
    const std::vector<RoadBuild> roads = buildRoads(plans);
    for (size_t r : {size_t(0), size_t(2)}) {
        const CAlnt& alnt = roads[r].alnt;
        for (double offset : {0.0, -4.0}) {
            std::vector<RoadSampleVertex> line;
            ASSERT_TRUE(offset == 0.0 ? SampleRoadCentreline(alnt, 0.01, line) : SampleRoadOffsetLine(alnt, offset, 0.01, line));
            ASSERT_TRUE(AddRoadProfileVertices(alnt, 0.01, line));
            for (int i = 0; i < alnt.getNumOfVes(); ++i) {
                CLsInfo vip;
                ASSERT_TRUE(alnt.getVe(i)->getAsLs(vip));
                bool found = false;
                for (const RoadSampleVertex& v : line)
                    found = found || std::fabs(v.station - vip.chainage) < 1e-9;
                EXPECT_TRUE(found || vip.curveLen > 0.0) << "road " << r << ": the VIP at " << vip.chainage;
            }
            for (size_t i = 1; i < line.size(); ++i) {
                const RoadSampleVertex &a = line[i - 1], &b = line[i];
                ASSERT_GT(b.station, a.station);
                EXPECT_NEAR(b.offset, offset, 1e-9);
                double ha, hb, hm;
                const double mid = 0.5 * (a.station + b.station);
                if (alnt.getPosHAtChain(a.station, ha) && alnt.getPosHAtChain(b.station, hb) && alnt.getPosHAtChain(mid, hm)) {
                    EXPECT_LE(std::fabs(0.5 * (ha + hb) - hm), 0.01 + 1e-9) << "road " << r << " chord at " << mid;
                }
            }
        }
    }
}

using RoadServicesLog = LibraryLogTest;

// Stake-out and locate from before the start to beyond the end, and sampling, log nothing; the
// check is live: an engine failure does reach the log.
TEST_F(RoadServicesLog, NormalQueriesWriteNothing)
{
    const std::vector<RoadBuild> roads = testRoads();
    const std::string text = libraryLogOf([&] {
        bool ok = true;
        for (const RoadBuild& road : roads) {
            RoadLocator locator;
            ok = ok && locator.build(road.alnt);
            double first = road.alnt.getStartChainageInM(), last;
            road.alnt.getFinalChainageInM(last);
            for (double s : {first - 30.0, first, 0.5 * (first + last), last, last + 30.0}) {
                RoadLocation p, q;
                ok = ok && RoadPointAt(road.alnt, s, 7.0, p) && locator.locate(p.north, p.east, q) &&
                     std::fabs(q.station - s) < 1e-6;
            }
            std::vector<RoadSampleVertex> line;
            ok = ok && SampleRoadCentreline(road.alnt, 0.01, line) && SampleRoadOffsetLine(road.alnt, -4.0, 0.01, line);
        }
        double n, e;
        return ok && !CCurveDataSegment().getPosAtLength(1.0, n, e);
    });
    size_t reports = 0;
    for (size_t at = text.find("*** error in"); at != std::string::npos; at = text.find("*** error in", at + 1))
        ++reports;
    EXPECT_EQ(reports, 1u) << text;
}
