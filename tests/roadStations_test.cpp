// Posted stations and regions: equations that mark the start of the posted stations (staBack
// missing or NaN), km-post equations before the start and with back stations that are distances
// from the previous post, and equations that step back (overlapping regions).
#include "road/landXmlReader.h"
#include "road/roadStations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

// A straight alignment of 1000 m from staStart with the given equations.
RoadAlignment alignment(double staStart, const std::string& equations, std::string* error = nullptr)
{
    const std::string text =
        "<?xml version=\"1.0\"?>\n<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\">\n"
        "<Units><Metric linearUnit=\"meter\"/></Units>\n<Alignments>\n"
        "<Alignment name=\"A\" length=\"1000\" staStart=\"" + std::to_string(staStart) + "\">\n"
        "<CoordGeom><Line><Start>0 0</Start><End>1000 0</End></Line></CoordGeom>\n" + equations +
        "</Alignment>\n</Alignments>\n</LandXML>\n";
    RoadFile f;
    RoadError err;
    if (!ReadLandXmlBytes(text, "t", f, err)) {
        if (error)
            *error = err.text();
        return RoadAlignment();
    }
    return f.alignments.at(0);
}

struct Point { double internal, posted; int region; bool shared; };

void expectPoints(const RoadStationing& st, const std::vector<Point>& points, const std::string& what)
{
    for (const Point& p : points) {
        int region = 0;
        EXPECT_NEAR(st.toPosted(p.internal, &region), p.posted, 1e-9) << what << " at " << p.internal;
        EXPECT_EQ(region, p.region) << what << " at " << p.internal;
        EXPECT_EQ(st.isShared(p.posted), p.shared) << what << " at " << p.internal;
        double internal = 0.0;
        std::string why;
        ASSERT_TRUE(st.toInternal(p.posted, p.shared ? p.region : 0, internal, why)) << what << ": " << why;
        EXPECT_NEAR(internal, p.internal, 1e-9) << what;
    }
}

TEST(RoadStationing, ExportersEquations)
{
    struct Case {
        const char* name;   // and the input that failed before
        double staStart;
        const char* equations;
        int regions;
        size_t mismatches;
        std::vector<Point> points;
    };
    const Case cases[] = {
        // Refused whole before: staBack "NaN" was "not a number".
        {"staBack NaN marks where posted stations begin", 0.0,
         "<StaEquation staBack=\"NaN\" staAhead=\"5000\" staInternal=\"0\"/>", 1, 0,
         {{0.0, 5000.0, 1, false}, {250.0, 5250.0, 1, false}, {1000.0, 6000.0, 1, false}}},
        {"staBack missing", 100.0, "<StaEquation staAhead=\"2000\" staInternal=\"100\"/>", 1, 0,
         {{100.0, 2000.0, 1, false}, {600.0, 2500.0, 1, false}}},
        // A km-post file: the zero post lies 230 m before the start; refused before as out of order.
        {"km post before the start", 0.0, "<StaEquation staBack=\"NaN\" staAhead=\"0\" staInternal=\"-230\"/>", 1, 0,
         {{0.0, 230.0, 1, false}, {770.0, 1000.0, 1, false}}},
        // Km posts whose staBack holds the distance from the previous post (here 1003.5 instead
        // of the back region's 1000): the mapping follows staInternal and staAhead; a warning.
        {"km posts with distances as back stations", 0.0,
         "<StaEquation staBack=\"NaN\" staAhead=\"0\" staInternal=\"0\"/>"
         "<StaEquation staBack=\"403.5\" staAhead=\"1000\" staInternal=\"400\"/>", 2, 1,
         {{100.0, 100.0, 1, false}, {400.0, 1000.0, 2, false}, {500.0, 1100.0, 2, false}}},
        // Back 675.88 = ahead 675.00: posted 675.00 to 675.88 exist twice.
        {"overlap", 0.0, "<StaEquation staBack=\"675.88\" staAhead=\"675.00\" staInternal=\"675.88\"/>", 2, 0,
         {{600.0, 600.0, 1, false}, {675.5, 675.5, 1, true}, {675.88, 675.0, 2, true}, {676.0, 675.12, 2, true},
          {676.76, 675.88, 2, true}, {700.0, 699.12, 2, false}}},
        // An internal station "NaN" follows from its back station: 200 + (400 - 250) = 350.
        {"staInternal NaN after an equation", 0.0,
         "<StaEquation staBack=\"200\" staAhead=\"250\" staInternal=\"200\"/>"
         "<StaEquation staBack=\"400\" staAhead=\"350\" staInternal=\"NaN\"/>", 3, 0,
         {{100.0, 100.0, 1, false}, {200.0, 250.0, 2, false}, {300.0, 350.0, 2, true}, {350.0, 350.0, 3, true},
          {500.0, 500.0, 3, false}}},
    };
    for (const Case& c : cases) {
        std::string error;
        const RoadAlignment a = alignment(c.staStart, c.equations, &error);
        ASSERT_TRUE(error.empty()) << c.name << ": " << error;
        const RoadStationing st(a, 1.0);
        EXPECT_EQ(st.regionCount(), c.regions) << c.name;
        EXPECT_EQ(st.mismatches().size(), c.mismatches) << c.name;
        expectPoints(st, c.points, c.name);
    }
}

// Whether a posted station is shared, against its definition (two regions hold it at distinct
// points, each asked alone), on random equations: gaps, overlaps with the next region and
// with regions further back, equations that change nothing; at every region's ends, a
// micrometre either side and between.
TEST(RoadStationing, SharedStationsOnRandomEquations)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> jump(-150.0, 150.0);
    std::uniform_int_distribution<int> kind(0, 3);
    for (int trial = 0; trial < 60; ++trial) {
        std::string equations;
        double posted = 0.0;
        for (int k = 1; k <= 4; ++k) {
            const double internal = 200.0 * k;
            const double back = posted + 200.0;
            posted = kind(rng) == 0 ? back : back + jump(rng);   // some change nothing
            equations += "<StaEquation staBack=\"" + std::to_string(back) + "\" staAhead=\"" + std::to_string(posted) +
                         "\" staInternal=\"" + std::to_string(internal) + "\"/>";
        }
        const RoadStationing st(alignment(0.0, equations), 1.0);
        ASSERT_EQ(st.regionCount(), 5) << equations;
        std::vector<double> probes;
        for (const RoadStationing::Region& r : st.regions())
            for (double end : {r.posted, r.posted + std::min(r.nextInternal, 1000.0) - r.internal})
                for (double d : {-1e-6, 0.0, 1e-6, 3.3})
                    probes.push_back(end + d);
        for (double p : probes) {
            std::vector<double> holders;
            for (int region = 1; region <= st.regionCount(); ++region) {
                double internal;
                std::string why;
                if (st.toInternal(p, region, internal, why))
                    holders.push_back(internal);
            }
            bool distinct = false;
            for (double h : holders)
                distinct = distinct || std::fabs(h - holders.front()) > 1e-9;
            EXPECT_EQ(st.isShared(p), distinct) << equations << " at " << p;
        }
    }
}

// A posted station to internal chainage in a region (0: any), or refused with the reason and
// the output untouched.
TEST(RoadStationing, ToInternalAcrossOverlapsAndGaps)
{
    const char* overlap = "<StaEquation staBack=\"675.88\" staAhead=\"675.00\" staInternal=\"675.88\"/>";
    const char* gap = "<StaEquation staBack=\"500\" staAhead=\"600\" staInternal=\"500\"/>";
    struct Case { const char* name; const char* equations; double posted; int region; double internal; const char* why; };
    const Case cases[] = {   // why: nullptr when answered
        {"an overlap needs its region", overlap, 675.4, 0, NAN, "regions 1 and 2"},
        {"the overlap in region 1", overlap, 675.4, 1, 675.4, nullptr},
        {"the overlap in region 2", overlap, 675.4, 2, 676.28, nullptr},
        {"region 2 does not hold 100", overlap, 100.0, 2, NAN, ""},
        {"there is no region 3", overlap, 100.0, 3, NAN, "does not exist"},
        {"a gap holds no station", gap, 550.0, 0, NAN, "gap"},
        {"the back station at the equation", gap, 500.0, 0, 500.0, nullptr},
        {"the ahead station at the equation", gap, 600.0, 0, 500.0, nullptr},
    };
    for (const Case& c : cases) {
        const RoadStationing st(alignment(0.0, c.equations), 1.0);
        double internal = -1.0;
        std::string why;
        EXPECT_EQ(st.toInternal(c.posted, c.region, internal, why), c.why == nullptr) << c.name << ": " << why;
        if (c.why) {
            EXPECT_NE(why.find(c.why), std::string::npos) << c.name << ": " << why;
            EXPECT_EQ(internal, -1.0) << c.name << ": not written";
        } else {
            EXPECT_NEAR(internal, c.internal, 1e-12) << c.name;
        }
    }
}

TEST(RoadStationing, AnEquationWithoutBackOrInternalIsRefused)
{
    std::string error;
    alignment(0.0, "<StaEquation staBack=\"NaN\" staAhead=\"100\"/>", &error);
    EXPECT_NE(error.find("cannot be placed"), std::string::npos) << error;
}

// A range of stations across equations: every `every` of the posted stations, once in each
// region that holds them, none in a gap, the last station always.
TEST(RoadStationing, StationRanges)
{
    struct Case {
        const char* name;
        const char* equations;
        double from, to, every, metresPerUnit;   // internal chainage (metres); every in the unit
        std::vector<std::pair<double, double>> expected;   // internal, posted (metres)
    };
    const Case cases[] = {
        {"no equations, the last station off the grid", "", 0.0, 250.0, 100.0, 1.0,
         {{0, 0}, {100, 100}, {200, 200}, {250, 250}}},
        {"an overlap repeats its stations in region 2", "<StaEquation staBack=\"400\" staAhead=\"300\" staInternal=\"400\"/>",
         200.0, 600.0, 100.0, 1.0, {{200, 200}, {300, 300}, {400, 400}, {400, 300}, {500, 400}, {600, 500}}},
        {"a gap holds none", "<StaEquation staBack=\"400\" staAhead=\"550\" staInternal=\"400\"/>",
         300.0, 600.0, 100.0, 1.0, {{300, 300}, {400, 400}, {450, 600}, {550, 700}, {600, 750}}},
        {"whole feet from a station off the grid", "", 10.0, 10.0 + 2 * 30.48, 100.0, 0.3048,
         {{10.0, 10.0}, {10.0 + 30.48, 10.0 + 30.48}, {10.0 + 60.96, 10.0 + 60.96}}},
    };
    for (const Case& c : cases) {
        const RoadStationing st(alignment(0.0, c.equations), 1.0);
        double fromPosted = st.toPosted(c.from), toPosted = st.toPosted(c.to);
        std::vector<std::pair<double, double>> got;
        RoadForEachStation(st, c.from, fromPosted, c.to, toPosted, c.every, c.metresPerUnit,
                           [&](double internal, double posted) { got.emplace_back(internal, posted); });
        ASSERT_EQ(got.size(), c.expected.size()) << c.name;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].first, c.expected[i].first, 1e-9) << c.name << " #" << i;
            EXPECT_NEAR(got[i].second, c.expected[i].second, 1e-9) << c.name << " #" << i;
        }
    }
}

} // namespace
