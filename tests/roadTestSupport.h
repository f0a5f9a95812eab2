// Road files for the tests, laid out without the alignment engine: plan elements integrated by
// Gauss-Legendre quadrature (curveTestSupport.h), profiles evaluated in closed form, written as
// LandXML text in a choice of units and of the quirks real exporters show. The example road in
// examples/ is this layout too. readAndBuild reads such a file with the reader under test.
#pragma once

#include "curveTestSupport.h"

#include "road/landXmlReader.h"
#include "road/roadBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace roadtest {

// One plan element: length and signed radii at its start and end (metres, positive to the
// right, 0 infinite). Both radii 0: a line; equal radii: an arc; otherwise a clothoid.
// `byPi`: an arc written with Start, PI and End only (no Center). `kinkDeg`: the element starts
// turned by this angle from the end direction of the one before it (real alignments have kinks).
struct PlanItem {
    double length;
    double r1;
    double r2;
    bool byPi = false;
    double kinkDeg = 0.0;
};

// An element laid out in the plane (metres, azimuths in radians).
struct Laid {
    PlanItem layout;
    C2dPos start, end, pi, center;
    double az0 = 0.0, az1 = 0.0;
};

inline double curvature(double r)
{
    return r == 0.0 ? 0.0 : 1.0 / r;
}

// The elements one after the other from `start` heading `az` (radians); each starts where the
// one before it ends, in its end direction.
inline std::vector<Laid> layOut(C2dPos start, double az, const std::vector<PlanItem>& items)
{
    std::vector<Laid> out;
    for (const PlanItem& s : items) {
        Laid l;
        l.layout = s;
        l.start = start;
        az += s.kinkDeg * kPi / 180.0;
        l.az0 = az;
        const double k0 = curvature(s.r1), k1 = curvature(s.r2);
        const double dk = (k1 - k0) / s.length;
        const C2dPos local = curvetest::clothoidByQuadrature(k0, dk, s.length);
        const double c = std::cos(az), sn = std::sin(az);
        l.end = C2dPos{start.north + local.north * c - local.east * sn, start.east + local.north * sn + local.east * c};
        l.az1 = az + k0 * s.length + 0.5 * dk * s.length * s.length;
        // PI: where the start and end tangents cross.
        const double d0n = std::cos(l.az0), d0e = std::sin(l.az0), d1n = std::cos(l.az1), d1e = std::sin(l.az1);
        const double det = d0n * d1e - d0e * d1n;
        if (std::fabs(det) > 1e-15) {
            const double t = ((l.end.north - start.north) * d1e - (l.end.east - start.east) * d1n) / det;
            l.pi = C2dPos{start.north + t * d0n, start.east + t * d0e};
        }
        if (s.r1 != 0.0 && s.r1 == s.r2)
            l.center = C2dPos{start.north - s.r1 * d0e, start.east + s.r1 * d0n};
        out.push_back(l);
        start = l.end;
        az = l.az1;
    }
    return out;
}

struct Vip {
    const char* kind;   // "PVI", "ParaCurve", "CircCurve", "UnsymParaCurve"
    double station, elevation;
    double length = NAN;
    double radius = NAN;
    double lengthIn = NAN;    // UnsymParaCurve
    double lengthOut = NAN;
};

struct Equation {
    double back, ahead, internal;   // internal may be NAN
};

struct AlignmentPlan {
    std::string name;
    double staStart = 0.0;
    C2dPos start;
    double azDeg = 0.0;
    std::vector<PlanItem> items;
    std::vector<Equation> equations;
    std::string profileName;
    std::vector<Vip> vips;
};

// The profile of a plan, evaluated in closed form (metres, internal chainage): tangents,
// parabolas, unsymmetrical parabolas and circles; before the first VIP and after the last the
// end grades run on.
class IndependentProfile {
public:
    explicit IndependentProfile(const std::vector<Vip>& vips) : v(vips) {}

    double first() const { return v.front().station; }
    double last() const { return v.back().station; }
    double gradeIn(size_t i) const { return grade(v[i - 1], v[i]); }
    double gradeOut(size_t i) const { return grade(v[i], v[i + 1]); }

    double at(double x) const
    {
        for (size_t i = 1; i + 1 < v.size(); ++i) {
            double y;
            if (onCurve(i, x, y))
                return y;
        }
        if (x <= first())
            return v.front().elevation + gradeOut(0) * (x - first());
        if (x >= last())
            return v.back().elevation + gradeIn(v.size() - 1) * (x - last());
        size_t i = 1;
        while (v[i].station < x)
            ++i;
        return v[i - 1].elevation + gradeIn(i) * (x - v[i - 1].station);
    }

private:
    static double grade(const Vip& a, const Vip& b) { return (b.elevation - a.elevation) / (b.station - a.station); }

    bool onCurve(size_t i, double x, double& y) const
    {
        const Vip& p = v[i];
        const double s = p.station, h = p.elevation, g1 = gradeIn(i), g2 = gradeOut(i);
        const std::string kind = p.kind;
        if (kind == "ParaCurve") {
            const double L = p.length, a = s - L / 2;
            if (x < a || x > s + L / 2)
                return false;
            y = h - g1 * (s - x) + (g2 - g1) / (2 * L) * (x - a) * (x - a);
            return true;
        }
        if (kind == "UnsymParaCurve") {
            const double li = p.lengthIn, lo = p.lengthOut;
            const double gc = (g2 * lo + g1 * li) / (li + lo);
            if (x >= s - li && x <= s) {
                y = h - g1 * (s - x) + (gc - g1) / (2 * li) * (x - s + li) * (x - s + li);
                return true;
            }
            if (x >= s && x <= s + lo) {
                y = h + g2 * (x - s) + (g2 - gc) / (2 * lo) * (s + lo - x) * (s + lo - x);
                return true;
            }
            return false;
        }
        if (kind == "CircCurve") {
            // The circle of radius R tangent to both grade lines in the (station, height) plane.
            const double R = p.radius, a1 = std::atan(g1), a2 = std::atan(g2);
            const double t = R * std::tan(std::fabs(a2 - a1) / 2);
            const double x1 = s - t * std::cos(a1), y1 = h - t * std::sin(a1), x2 = s + t * std::cos(a2);
            if (x < x1 || x > x2)
                return false;
            const bool sag = a2 > a1;
            const double cx = x1 + (sag ? -1 : 1) * R * std::sin(a1), cy = y1 + (sag ? 1 : -1) * R * std::cos(a1);
            y = cy + (sag ? -1 : 1) * std::sqrt(R * R - (x - cx) * (x - cx));
            return true;
        }
        return false;
    }

    std::vector<Vip> v;
};

// How the file is written.
struct Style {
    std::string linearUnit = "meter";
    double metresPerUnit = 1.0;
    bool imperial = false;
    std::string angularUnit = "decimal degrees";
    std::string directionUnit = "decimal degrees";
    std::string infText = "INF";
    bool cgPoints = false;        // points as pntRef to <CgPoints>
    bool wrapPoints = false;      // "north" and "east" on separate lines
    std::string prefix;           // element prefix, e.g. "lx:"
    std::string nsUri = "http://www.landxml.org/schema/LandXML-1.2";
    std::string version = "1.2";
    int decimals = -1;            // fixed decimals, or -1 for the shortest exact text
    bool bogusDirections = false; // direction attributes in a convention the reader must ignore
    bool writeHeights = false;    // "north east height" points
    std::string comment;          // an XML comment after the declaration
};

// Lengths in US survey feet.
inline Style usSurveyFeet()
{
    Style s;
    s.linearUnit = "USSurveyFoot";
    s.metresPerUnit = 1200.0 / 3937.0;
    s.imperial = true;
    return s;
}

inline std::string num(double v, int decimals)
{
    char buf[64];
    if (decimals < 0)
        std::snprintf(buf, sizeof buf, "%.17g", v);
    else
        std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

class Writer {
public:
    explicit Writer(const Style& s) : st(s) {}

    std::string document(const std::vector<AlignmentPlan>& alignments)
    {
        std::string body;
        for (const AlignmentPlan& a : alignments)
            body += alignment(a);
        std::string t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        if (!st.comment.empty())
            t += "<!--\n" + st.comment + "\n-->\n";
        t += "<" + st.prefix + "LandXML xmlns" + (st.prefix.empty() ? "" : ":" + st.prefix.substr(0, st.prefix.size() - 1)) +
             "=\"" + st.nsUri + "\" version=\"" + st.version + "\" date=\"2024-05-14\" time=\"10:00:00\">\n";
        t += "  <" + st.prefix + "Units>\n    <" + st.prefix + (st.imperial ? "Imperial" : "Metric") +
             " linearUnit=\"" + st.linearUnit + "\" areaUnit=\"" + (st.imperial ? "squareFoot" : "squareMeter") +
             "\" volumeUnit=\"" + (st.imperial ? "cubicYard" : "cubicMeter") + "\" angularUnit=\"" + st.angularUnit +
             "\" directionUnit=\"" + st.directionUnit + "\"/>\n  </" + st.prefix + "Units>\n";
        if (st.cgPoints) {
            t += "  <" + st.prefix + "CgPoints>\n" + points + "  </" + st.prefix + "CgPoints>\n";
        }
        t += "  <" + st.prefix + "Alignments>\n" + body + "  </" + st.prefix + "Alignments>\n";
        t += "</" + st.prefix + "LandXML>\n";
        return t;
    }

private:
    std::string len(double metres) const { return num(metres / st.metresPerUnit, st.decimals); }
    std::string radius(double r) const { return r == 0.0 ? st.infText : len(std::fabs(r)); }
    std::string tag(const std::string& name) const { return st.prefix + name; }

    std::string point(const std::string& name, const C2dPos& p)
    {
        std::string n = len(p.north), e = len(p.east);
        if (st.cgPoints) {
            const std::string id = "P" + std::to_string(++pointCount);
            points += "    <" + tag("CgPoint") + " name=\"" + id + "\">" + n + " " + e + "</" + tag("CgPoint") + ">\n";
            return "<" + tag(name) + " pntRef=\"" + id + "\"/>";
        }
        const std::string sep = st.wrapPoints ? "\n            " : " ";
        return "<" + tag(name) + ">" + n + sep + e + (st.writeHeights ? " 0" : "") + "</" + tag(name) + ">";
    }

    std::string element(const Laid& l)
    {
        const PlanItem& s = l.layout;
        const std::string ind = "        ";
        const std::string dirs = st.bogusDirections ? " dir=\"123.456\" dirStart=\"-7.5\" dirEnd=\"400.1\"" : "";
        if (s.r1 == 0.0 && s.r2 == 0.0)
            return ind + "<" + tag("Line") + " length=\"" + len(s.length) + "\"" + dirs + ">" + point("Start", l.start) +
                   point("End", l.end) + "</" + tag("Line") + ">\n";
        const std::string rot = s.r1 > 0.0 || s.r2 > 0.0 ? "cw" : "ccw";
        if (s.r1 == s.r2) {
            std::string t = ind + "<" + tag("Curve") + " rot=\"" + rot + "\"";
            if (!s.byPi)
                t += " radius=\"" + radius(s.r1) + "\" length=\"" + len(s.length) + "\"";
            t += dirs + " crvType=\"arc\">" + point("Start", l.start);
            if (!s.byPi)
                t += point("Center", l.center);
            return t + point("End", l.end) + point("PI", l.pi) + "</" + tag("Curve") + ">\n";
        }
        return ind + "<" + tag("Spiral") + " length=\"" + len(s.length) + "\" radiusStart=\"" + radius(s.r1) +
               "\" radiusEnd=\"" + radius(s.r2) + "\" rot=\"" + rot + "\" spiType=\"clothoid\"" + dirs + ">" +
               point("Start", l.start) + point("PI", l.pi) + point("End", l.end) + "</" + tag("Spiral") + ">\n";
    }

    std::string alignment(const AlignmentPlan& a)
    {
        const std::vector<Laid> laid = layOut(a.start, a.azDeg * kPi / 180.0, a.items);
        double length = 0.0;
        for (const PlanItem& s : a.items)
            length += s.length;
        std::string t = "    <" + tag("Alignment") + " name=\"" + a.name + "\" length=\"" + len(length) +
                        "\" staStart=\"" + len(a.staStart) + "\">\n      <" + tag("CoordGeom") + ">\n";
        for (const Laid& l : laid)
            t += element(l);
        t += "      </" + tag("CoordGeom") + ">\n";
        for (const Equation& q : a.equations)
            t += "      <" + tag("StaEquation") + " staBack=\"" + len(q.back) + "\" staAhead=\"" + len(q.ahead) +
                 "\" staInternal=\"" + (std::isnan(q.internal) ? std::string("NaN") : len(q.internal)) + "\"/>\n";
        if (!a.vips.empty()) {
            t += "      <" + tag("Profile") + " name=\"" + a.profileName + "\">\n        <" + tag("ProfAlign") +
                 " name=\"" + a.profileName + "\">\n";
            for (const Vip& v : a.vips) {
                t += "          <" + tag(v.kind);
                if (!std::isnan(v.length))
                    t += " length=\"" + len(v.length) + "\"";
                if (!std::isnan(v.radius))
                    t += " radius=\"" + len(v.radius) + "\"";
                if (!std::isnan(v.lengthIn))
                    t += " lengthIn=\"" + len(v.lengthIn) + "\" lengthOut=\"" + len(v.lengthOut) + "\"";
                t += ">" + len(v.station) + " " + len(v.elevation) + "</" + tag(v.kind) + ">\n";
            }
            t += "        </" + tag("ProfAlign") + ">\n      </" + tag("Profile") + ">\n";
        }
        return t + "    </" + tag("Alignment") + ">\n";
    }

    Style st;
    std::string points;
    int pointCount = 0;
};

inline std::string landXml(const std::vector<AlignmentPlan>& alignments, const Style& style)
{
    return Writer(style).document(alignments);
}

// The example road of examples/exampleRoad.xml: a main road with lines, arcs, clothoids in both
// directions, a spiral directly after a spiral, compound spirals rising and falling, a station
// equation and a profile with parabolic and circular vertical curves; and a ramp with a curve
// given by Start, PI and End only.
inline std::vector<AlignmentPlan> exampleRoad()
{
    AlignmentPlan main;
    main.name = "Main Road";
    main.staStart = 1000.0;
    main.start = C2dPos{6543210.482, 1234567.915};
    main.azDeg = 35.2;
    main.items = {
        {320.0, 0, 0},         {80.0, 0, 600},        {180.0, 600, 600},   {80.0, 600, 0},
        {60.0, 0, -400},       {120.0, -400, -400},   {50.0, -400, -250},  {90.0, -250, -250},
        {70.0, -250, 0},       {200.0, 0, 0},         {100.0, 1200, 1200}, {60.0, 1200, 700},
        {80.0, 700, 700},      {60.0, 700, 1200},     {50.0, 1200, 1200},  {90.0, 1200, 0},
        {250.0, 0, 0},
    };
    main.equations = {{2200.0, 2250.0, 2200.0}};
    main.profileName = "Design";
    main.vips = {
        {"PVI", 1000.0, 48.2},
        {"ParaCurve", 1300.0, 54.2, 180.0},
        {"CircCurve", 1700.0, 50.2, NAN, 6000.0},
        {"ParaCurve", 2150.0, 57.4, 160.0},
        {"CircCurve", 2550.0, 55.0, NAN, 10000.0},
        {"PVI", 2940.0, 58.9},
    };
    AlignmentPlan ramp;
    ramp.name = "Ramp A1";
    ramp.staStart = 0.0;
    ramp.start = C2dPos{6543401.25, 1234880.5};
    ramp.azDeg = 120.0;
    ramp.items = {{120.0, 0, 0}, {80.0, -150, -150, true}, {60.0, 0, 0}};
    return {main, ramp};
}

inline Style exampleStyle()
{
    Style s;
    s.decimals = 6;
    s.comment = "  The example road of fieldcore (fieldcore road info). Coordinates, PIs and centres were\n"
                "  laid out by Gauss-Legendre quadrature of each element's curvature (tests/roadTestSupport.h),\n"
                "  not by the alignment engine; the engine's end points are checked against them.";
    return s;
}

// Roads that stress a plot's labels: one file each, with the style to write it in.
struct PlotRoad {
    const char* what;
    AlignmentPlan plan;
    Style style;
};

inline std::vector<PlotRoad> plotRoads()
{
    std::vector<PlotRoad> roads;
    // Short: a line and an arc, two VIPs.
    AlignmentPlan shortRoad;
    shortRoad.name = "Short Lane";
    shortRoad.start = C2dPos{5000.0, 2000.0};
    shortRoad.azDeg = 80.0;
    shortRoad.items = {{60.0, 0, 0}, {40.0, 80, 80}, {30.0, 0, 0}};
    shortRoad.profileName = "P";
    shortRoad.vips = {{"PVI", 0.0, 10.0}, {"PVI", 130.0, 11.5}};
    roads.push_back({"short", shortRoad, Style()});
    // Winding: hairpins of tight arcs and short spirals, joints a metre or two apart (a PT and a
    // PC 1.76 m apart), a station equation.
    AlignmentPlan winding;
    winding.name = "Pass Road";
    winding.start = C2dPos{8000.0, 3000.0};
    winding.azDeg = 10.0;
    winding.items = {{80.0, 0, 0}};
    for (int k = 0; k < 6; ++k) {
        const double r = k % 2 ? -35.0 : 35.0;
        winding.items.push_back({12.0, 0, r});
        winding.items.push_back({70.0, r, r});
        winding.items.push_back({12.0, r, 0});
        winding.items.push_back({k == 2 ? 1.76 : 25.0, 0, 0});
        winding.items.push_back({18.0, -r * 4, -r * 4});
        winding.items.push_back({2.5, 0, 0});
    }
    winding.equations = {{640.0, 600.0, 640.0}};
    winding.profileName = "P";
    winding.vips = {{"PVI", 0.0, 400.0}, {"ParaCurve", 300.0, 430.0, 60.0}, {"ParaCurve", 650.0, 445.0, 80.0},
                    {"PVI", 890.0, 470.0}};
    roads.push_back({"winding", winding, Style()});
    // Dense profile: VIPs 10 m apart, grades changing at each.
    AlignmentPlan dense;
    dense.name = "Dense Profile";
    dense.start = C2dPos{1000.0, 1000.0};
    dense.azDeg = 100.0;
    dense.items = {{200.0, 0, 0}, {150.0, 500, 500}, {250.0, 0, 0}};
    dense.profileName = "Many VIPs";
    for (int k = 0; k <= 60; ++k)
        dense.vips.push_back({"PVI", 10.0 * k, 20.0 + 0.4 * (k % 3) + 0.05 * k});
    roads.push_back({"dense profile", dense, Style()});
    // Long: 12 km of curves every few hundred metres, VIPs every 500 m.
    AlignmentPlan longRoad;
    longRoad.name = "Long Highway";
    longRoad.staStart = 10000.0;
    longRoad.start = C2dPos{6000000.0, 500000.0};
    longRoad.azDeg = 60.0;
    for (int k = 0; k < 24; ++k) {
        const double r = (k % 2 ? -1.0 : 1.0) * (800.0 + 100.0 * (k % 4));
        longRoad.items.push_back({250.0, 0, 0});
        longRoad.items.push_back({60.0, 0, r});
        longRoad.items.push_back({130.0, r, r});
        longRoad.items.push_back({60.0, r, 0});
    }
    longRoad.profileName = "P";
    for (int k = 0; k <= 24; ++k)
        longRoad.vips.push_back(k == 0 || k == 24 ? Vip{"PVI", 10000.0 + 500.0 * k, 100.0 + 3.0 * (k % 5)}
                                                  : Vip{"ParaCurve", 10000.0 + 500.0 * k, 100.0 + 3.0 * (k % 5), 120.0});
    roads.push_back({"long", longRoad, Style()});
    // Feet: a US survey foot road with stations of 100 ft.
    AlignmentPlan feet;
    feet.name = "County Road 12";
    feet.staStart = 1000.0;
    feet.start = C2dPos{2000000.0, 6000000.0};
    feet.azDeg = 300.0;
    feet.items = {{900.0, 0, 0}, {250.0, 0, 1500}, {600.0, 1500, 1500}, {250.0, 1500, 0}, {1200.0, 0, 0}};
    feet.profileName = "P";
    feet.vips = {{"PVI", 1000.0, 350.0}, {"ParaCurve", 2500.0, 372.0, 400.0}, {"PVI", 4200.0, 361.0}};
    roads.push_back({"feet", feet, usSurveyFeet()});
    // A Japanese name, for the fonts.
    AlignmentPlan japanese = shortRoad;
    japanese.name = "\xE5\x9B\xBD\xE9\x81\x93\xE4\xB8\x80\xE5\x8F\xB7\xE7\xB7\x9A";   // 国道一号線
    roads.push_back({"japanese", japanese, Style()});
    return roads;
}

// A road file read, and each of its alignments built with its first profile, as the tool does
// (the reader and builder under test: a failure fails the test that asked).
struct BuiltRoad {
    RoadFile file;
    std::vector<RoadBuild> builds;
};

inline BuiltRoad readAndBuild(const std::string& text, const std::string& name = "test.xml")
{
    BuiltRoad r;
    RoadError err;
    EXPECT_TRUE(ReadLandXmlBytes(text, name, r.file, err)) << err.text();
    r.builds.resize(r.file.alignments.size());
    for (size_t i = 0; i < r.builds.size(); ++i)
        EXPECT_TRUE(BuildRoadAlignment(r.file, r.file.alignments[i], "", r.builds[i], err)) << name << ": " << err.text();
    return r;
}

inline BuiltRoad readAndBuild(const std::vector<AlignmentPlan>& plans, const Style& style = Style())
{
    return readAndBuild(landXml(plans, style));
}

// The example road, read and built.
inline BuiltRoad exampleBuilt()
{
    return readAndBuild(exampleRoad(), exampleStyle());
}

} // namespace roadtest
