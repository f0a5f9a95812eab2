// The road plot (road/roadPlot.h) of the example road: the page parses as XML, every element
// joint and every PI is a labelled mark at its position on the page to the drawing's own scale
// (read from its scale bar and north arrow), the profile's stations run at the plan's scale with
// the vertical exaggeration its heading states, and offset lines and surveyed points land on
// the right side with the right cut or fill.
//
// Expected positions come from the layout of roadTestSupport.h (quadrature, not the engine).
#include "roadTestSupport.h"

#include "road/landXmlReader.h"
#include "road/roadPlot.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Example {
    size_t which = 0;
    RoadFile file;
    RoadBuild build;
    roadtest::AlignmentSpec spec;
    std::vector<roadtest::Laid> laid;
};

Example example(size_t which)
{
    Example ex;
    ex.which = which;
    ex.spec = roadtest::exampleRoad()[which];
    ex.laid = roadtest::layOut(ex.spec.start, ex.spec.azDeg * kPi / 180.0, ex.spec.specs);
    RoadError err;
    const std::string text = roadtest::landXml(roadtest::exampleRoad(), roadtest::exampleStyle());
    EXPECT_TRUE(ReadLandXmlBytes(text, "example.xml", ex.file, err)) << err.text();
    EXPECT_TRUE(BuildRoadAlignment(ex.file, ex.file.alignments[which], "", ex.build, err)) << err.text();
    return ex;
}

std::string plot(const Example& ex, const RoadPlotOptions& o = RoadPlotOptions())
{
    std::string svg, message;
    EXPECT_TRUE(RoadPlotSvg(ex.file.alignments[ex.which], ex.build, o, svg, message)) << message;
    return svg;
}

double attr(const pugi::xml_node& n, const char* name)
{
    return n.attribute(name).as_double(NAN);
}

struct P {
    double x, y;
};

// The centre of a polygon's points.
P centre(const pugi::xml_node& polygon)
{
    double x = 0, y = 0;
    int n = 0;
    const std::string pts = polygon.attribute("points").value();
    for (size_t i = 0; i < pts.size();) {
        double a, b;
        int used = 0;
        if (std::sscanf(pts.c_str() + i, "%lf,%lf%n", &a, &b, &used) != 2)
            break;
        x += a, y += b, ++n;
        i += used;
    }
    return {x / n, y / n};
}

// The plan's scale and orientation as the drawing states them: px per metre from the scale bar,
// the page direction of north from the north arrow.
struct Drawing {
    pugi::xml_document doc;
    double s = NAN;     // px per metre
    P north{0, 0};      // unit page vector of grid north
    P east{0, 0};       // east: a quarter turn clockwise from north

    explicit Drawing(const std::string& svg)
    {
        const pugi::xml_parse_result r = doc.load_string(svg.c_str());
        EXPECT_TRUE(r) << r.description() << " at offset " << r.offset;
        const pugi::xml_node bar = doc.select_node("//g[@id='scale-bar']").node();
        const pugi::xml_node barLine = bar.child("line");
        EXPECT_STREQ(bar.attribute("data-unit").value(), "m");
        s = (attr(barLine, "x2") - attr(barLine, "x1")) / attr(bar, "data-length");
        const pugi::xml_node arrow = doc.select_node("//g[@id='north-arrow']/line").node();
        const double dx = attr(arrow, "x2") - attr(arrow, "x1"), dy = attr(arrow, "y2") - attr(arrow, "y1");
        const double len = std::hypot(dx, dy);
        north = {dx / len, dy / len};
        east = {-north.y, north.x};
    }
    // Where ground point (n, e) lies on the page, given where `origin` lies.
    P page(const C2dPos& origin, P originPage, double n, double e) const
    {
        const double dn = n - origin.north, de = e - origin.east;
        return {originPage.x + s * (dn * north.x + de * east.x), originPage.y + s * (dn * north.y + de * east.y)};
    }
};

// "n+rest" of a posted station, metres, 1000 m stations (the system's literal form).
std::string stationText(double posted)
{
    const int n = static_cast<int>(posted / 1000.0);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d+%.2f", n, posted - n * 1000.0);
    return buf;
}

// Posted station of the main road's internal chainage (its equation: 2200 back = 2250 ahead).
double posted(const roadtest::AlignmentSpec& a, double internal)
{
    for (const roadtest::Equation& q : a.equations)
        if (internal >= q.internal)
            return q.ahead + (internal - q.internal);
    return internal;
}

const double kTolPx = 0.05;   // page positions: three decimals of the drawing, over ~1100 px

struct JointCase {
    size_t alignment;
    std::vector<std::string> names;   // POB, the joints in order, POE
};

TEST(RoadPlot, EveryJointIsALabelledMarkAtItsPositionToScale)
{
    const std::vector<JointCase> cases = {
        {0, {"POB", "TS", "SC", "CS", "SS", "SC", "CS", "SC", "CS", "ST", "PC", "CS", "SC", "CS", "SC", "CS", "ST", "POE"}},
        {1, {"POB", "PC", "PT", "POE"}},
    };
    for (const JointCase& c : cases) {
        const Example ex = example(c.alignment);
        const Drawing d(plot(ex));
        ASSERT_GT(d.s, 0.0);
        const pugi::xpath_node_set joints = d.doc.select_nodes("//g[@class='joint']");
        ASSERT_EQ(joints.size(), c.names.size()) << ex.spec.name;
        const P pob{attr(joints[0].node().child("circle"), "cx"), attr(joints[0].node().child("circle"), "cy")};
        double chain = ex.spec.staStart;
        for (size_t i = 0; i < c.names.size(); ++i) {
            const pugi::xml_node g = joints[i].node();
            const C2dPos at = i < ex.laid.size() ? ex.laid[i].start : ex.laid.back().end;
            const std::string station = stationText(posted(ex.spec, chain));
            const std::string what = ex.spec.name + " joint " + std::to_string(i) + " " + c.names[i];
            const P want = d.page(ex.laid[0].start, pob, at.north, at.east);
            EXPECT_NEAR(attr(g.child("circle"), "cx"), want.x, kTolPx) << what;
            EXPECT_NEAR(attr(g.child("circle"), "cy"), want.y, kTolPx) << what;
            EXPECT_STREQ(g.attribute("data-name").value(), c.names[i].c_str()) << what;
            EXPECT_EQ(std::string(g.child("text").child_value()), c.names[i] + " " + station) << what;
            if (i < ex.spec.specs.size())
                chain += ex.spec.specs[i].length;
        }
    }
}

// Distance of page point q from the line through a tick's <line>.
double offLine(const pugi::xml_node& l, P q)
{
    const double x1 = attr(l, "x1"), y1 = attr(l, "y1"), dx = attr(l, "x2") - x1, dy = attr(l, "y2") - y1;
    return std::fabs((q.x - x1) * dy - (q.y - y1) * dx) / std::hypot(dx, dy);
}

// The main road's equation (internal 2200: back 2+200 = ahead 2+250) lies 150 m into its 200 m
// line (element 10); posted 2+300 is internal 2250, the PC at the line's end. No tick repeats
// the equation's stations.
TEST(RoadPlot, StationTicksFollowTheEquation)
{
    const Example ex = example(0);
    RoadPlotOptions o;
    o.interval = 100.0;
    const Drawing d(plot(ex, o));
    const pugi::xml_node pobMark = d.doc.select_node("//g[@class='joint']/circle").node();
    const P pob{attr(pobMark, "cx"), attr(pobMark, "cy")};
    const roadtest::Laid& line10 = ex.laid[9];
    const pugi::xml_node eq = d.doc.select_node("//g[@class='equation']").node();
    ASSERT_TRUE(eq);
    EXPECT_EQ(std::string(eq.child("text").child_value()), "2+200.00 = 2+250.00");
    const P at = d.page(ex.laid[0].start, pob, line10.start.north + 150.0 * std::cos(line10.az0),
                        line10.start.east + 150.0 * std::sin(line10.az0));
    EXPECT_LT(offLine(eq.child("line"), at), kTolPx);
    const pugi::xml_node pc = d.doc.select_node("//g[@class='joint'][@data-name='PC']/circle").node();
    const pugi::xml_node tick = d.doc.select_node("//g[@class='station'][@data-station='2+300.00']/line").node();
    ASSERT_TRUE(pc && tick);
    EXPECT_LT(offLine(tick, P{attr(pc, "cx"), attr(pc, "cy")}), kTolPx);
    for (const char* repeated : {"2+200.00", "2+250.00"})
        EXPECT_FALSE(d.doc.select_node((std::string("//g[@class='station'][@data-station='") + repeated + "']").c_str()))
            << repeated;
    EXPECT_TRUE(d.doc.select_node("//g[@class='station'][@data-station='2+400.00']")) << "the next tick";
}

TEST(RoadPlot, EveryPiIsMarkedWhereTheArcsTangentsMeet)
{
    for (size_t which : {0u, 1u}) {
        const Example ex = example(which);
        const Drawing d(plot(ex));
        const pugi::xml_node first = d.doc.select_node("//g[@class='joint']/circle").node();
        const P pob{attr(first, "cx"), attr(first, "cy")};
        std::vector<const roadtest::Laid*> arcs;
        for (const roadtest::Laid& l : ex.laid)
            if (l.spec.r1 != 0.0 && l.spec.r1 == l.spec.r2)
                arcs.push_back(&l);
        const pugi::xpath_node_set pis = d.doc.select_nodes("//g[@class='pi']");
        ASSERT_EQ(pis.size(), arcs.size()) << ex.spec.name;
        for (size_t i = 0; i < arcs.size(); ++i) {
            const P want = d.page(ex.laid[0].start, pob, arcs[i]->pi.north, arcs[i]->pi.east);
            const P got = centre(pis[i].node().child("polygon"));
            EXPECT_NEAR(got.x, want.x, kTolPx) << ex.spec.name << " PI " << i;
            EXPECT_NEAR(got.y, want.y, kTolPx) << ex.spec.name << " PI " << i;
            char label[64];
            std::snprintf(label, sizeof label, "PI  R %.2f", std::fabs(arcs[i]->spec.r1));
            EXPECT_EQ(std::string(pis[i].node().child("text").child_value()), label);
        }
    }
}

// The profile's stations run at the plan's scale from below the plan's start; its heights at
// the scale times the exaggeration its heading states; each tangent's grade is labelled.
TEST(RoadPlot, ProfileSharesThePlanScaleAndStatesItsExaggeration)
{
    const Example ex = example(0);
    const Drawing d(plot(ex));
    const pugi::xml_node pobMark = d.doc.select_node("//g[@class='joint']/circle").node();
    std::string heading;
    for (const pugi::xpath_node& t : d.doc.select_nodes("//text"))
        if (std::string(t.node().child_value()).rfind("Profile:", 0) == 0)
            heading = t.node().child_value();
    const size_t at = heading.find("vertical exaggeration ");
    ASSERT_NE(at, std::string::npos) << heading;
    const double ve = std::atof(heading.c_str() + at + 22);
    ASSERT_GE(ve, 1.0);

    const pugi::xpath_node_set vips = d.doc.select_nodes("//g[@class='vip']");
    ASSERT_EQ(vips.size(), ex.spec.vips.size());
    P first{0, 0};
    for (size_t i = 0; i < vips.size(); ++i) {
        const roadtest::Vip& v = ex.spec.vips[i];
        const P top = centre(vips[i].node().child("polygon"));   // the mark's centroid lies 1/3 px above the VIP
        if (i == 0)
            first = top;
        const std::string what = "VIP " + std::to_string(i);
        EXPECT_NEAR(top.x, attr(pobMark, "cx") + d.s * (v.station - ex.spec.staStart), kTolPx) << what;
        EXPECT_NEAR(top.y - first.y, -d.s * ve * (v.elevation - ex.spec.vips[0].elevation), kTolPx) << what;
        EXPECT_STREQ(vips[i].node().attribute("data-station").value(), stationText(posted(ex.spec, v.station)).c_str());
    }
    std::vector<std::string> grades;
    for (const pugi::xpath_node& t : d.doc.select_nodes("//text[@class='grade']"))
        grades.push_back(t.node().child_value());
    EXPECT_EQ(grades, (std::vector<std::string>{"+2.00%", "-1.00%", "+1.60%", "-0.60%", "+1.00%"}));
}

// An offset line to the right of the road lies to the right of the direction of travel on the
// page, at the offset to the drawing's scale.
TEST(RoadPlot, OffsetLinesLieOnTheirSide)
{
    const Example ex = example(0);
    RoadPlotOptions o;
    o.offsets = {5.0, -12.5};
    const Drawing d(plot(ex, o));
    const pugi::xml_node pobMark = d.doc.select_node("//g[@class='joint']/circle").node();
    const P pob{attr(pobMark, "cx"), attr(pobMark, "cy")};
    const pugi::xpath_node_set lines = d.doc.select_nodes("//g[@class='offset']/polyline");
    ASSERT_EQ(lines.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        double x, y;
        ASSERT_EQ(std::sscanf(lines[i].node().attribute("points").value(), "%lf,%lf", &x, &y), 2);
        const double az = ex.laid[0].az0 + kPi / 2;   // right of the start direction
        const P want = d.page(ex.laid[0].start, pob, ex.laid[0].start.north + o.offsets[i] * std::cos(az),
                              ex.laid[0].start.east + o.offsets[i] * std::sin(az));
        EXPECT_NEAR(x, want.x, kTolPx) << "offset " << o.offsets[i];
        EXPECT_NEAR(y, want.y, kTolPx) << "offset " << o.offsets[i];
    }
}

// Cut is the point above the design, fill below; a point on the design is on grade; without a
// height the point has its name only. Beyond the end the design runs on along the last grade
// (+1 % from 58.9 at the end, chainage 2940).
TEST(RoadPlot, PointsShowTheirCutOrFill)
{
    const Example ex = example(0);
    struct Case {
        double chain, offset, dh;
        bool hasHeight;
        std::string label;
        double design;   // NAN: the engine's height at the chainage
    };
    const std::vector<Case> cases = {
        {1500.0, 4.0, 0.25, true, "a: cut 0.250", NAN},
        {1810.0, -6.0, -0.125, true, "b: fill 0.125", NAN},
        {2600.0, 0.0, 0.0, true, "c: on grade", NAN},
        {1200.0, 3.0, 0.0, false, "d", NAN},
        {2970.0, -2.0, 0.3, true, "e: cut 0.300", 58.9 + 0.3},
    };
    RoadPlotOptions o;
    for (size_t i = 0; i < cases.size(); ++i) {
        RoadPlotPoint q;
        double h = cases[i].design;
        ASSERT_TRUE(ex.build.alnt.getPosNeAtChainAndOffsetExtr(cases[i].chain, cases[i].offset, q.north, q.east));
        ASSERT_TRUE(!std::isnan(h) || ex.build.alnt.getPosHAtChain(cases[i].chain, h));
        q.hasHeight = cases[i].hasHeight;
        q.height = h + cases[i].dh;
        q.name = std::string(1, static_cast<char>('a' + i));
        o.points.push_back(q);
    }
    const Drawing d(plot(ex, o));
    const pugi::xpath_node_set plan = d.doc.select_nodes("//g[@id='plan']/g[@class='point']/text");
    ASSERT_EQ(plan.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(std::string(plan[i].node().child_value()), cases[i].label) << i;
    // In the profile: the points with a height along the road.
    EXPECT_EQ(d.doc.select_nodes("//g[@id='profile']/g[@class='point']").size(), 3u);
}

TEST(RoadPlot, RefusesBadOptions)
{
    const Example ex = example(0);
    struct Case {
        RoadPlotOptions o;
        const char* reason;
    };
    std::vector<Case> cases(4);
    cases[0].o.width = 100.0, cases[0].reason = "page too narrow";
    cases[1].o.interval = 0.01, cases[1].reason = "too many ticks";
    cases[2].o.offsets = {0.0}, cases[2].reason = "offset 0";
    cases[3].o.interval = NAN, cases[3].reason = "interval NaN";
    for (const Case& c : cases) {
        std::string svg = "untouched", message;
        EXPECT_FALSE(RoadPlotSvg(ex.file.alignments[0], ex.build, c.o, svg, message)) << c.reason;
        EXPECT_EQ(svg, "untouched") << c.reason;
        EXPECT_FALSE(message.empty()) << c.reason;
    }
}

} // namespace
