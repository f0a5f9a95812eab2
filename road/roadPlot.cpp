#include "road/roadPlot.h"

#include "road/roadStationText.h"
#include "road/roadDesignHeight.h"
#include "numeric/units.h"
#include "platform/textCodec.h"
#include "road/roadKeyPoints.h"
#include "road/roadLocator.h"
#include "road/roadSampler.h"
#include "road/svgScene.h"
#include "vrkmath/mathAlntCache.h"

#include <algorithm>
#include <cmath>
#include <cstdio>


namespace {

using namespace svgscene;

const double kMargin = 30.0;
const double kAxisLeft = 56.0;     // room left of the profile for its height labels
const double kRightPad = 40.0;     // room right of the profile for its last station label
const double kFont = 11.0;         // labels
const double kSmallFont = 10.0;    // axis labels

// ---------------------------------------------------------------------------------------------
// What the plan and the profile share

struct Tick {
    double chain = 0.0;        // internal, metres
    std::string text;
    bool equation = false;
};

struct Located {
    RoadLocation at;
    bool hasDesign = false;
    double design = 0.0;       // metres
    std::string label;
    const RoadPlotPoint* point = nullptr;
};

struct Plot {
    const RoadAlignment* source = nullptr;
    const RoadBuild* build = nullptr;
    const RoadPlotOptions* o = nullptr;
    double c0 = 0.0, c1 = 0.0;         // internal chainage of start and end
    double s = 1.0;                    // px per metre, plan and profile stations
    double az = 0.0;                   // radians: the ground azimuth that runs across the page
    double n0 = 0.0, e0 = 0.0;         // the plan's ground origin
    double interval = 0.0;             // ticks, display units
    std::vector<Tick> ticks;
    std::vector<RoadKeyPoint> keys;
    std::vector<Located> points;
    std::vector<std::string> strays;   // points too far from the road to draw: "name (distance)"

    const CAlnt& alnt() const { return build->alnt; }
    double display(double metres) const { return FromMetersEx(metres, o->units); }
    double metresPerUnit() const { return ToMetersEx(1.0, o->units); }
    std::string unitName() const
    {
        return o->units == UNITS_USFT ? "US ft" : o->units == UNITS_IFT ? "ft" : "m";
    }
    std::string length(double metres) const { return fixed(display(metres), 2); }
    // "n+rest" of a posted station given in display units.
    std::string stationOfDisplay(double posted) const { return RoadStationText(posted, o->stationUnit, o->stationDecimals); }
    // "n+rest" of a posted station in metres, and of an internal chainage.
    std::string postedText(double metres) const { return stationOfDisplay(o->units == UNITS_M ? metres : display(metres)); }
    // An internal chainage's posted station, with "@K" where two regions hold it.
    std::string station(double internal) const
    {
        int region = 1;
        const double posted = build->stations.toPosted(internal, &region);
        return postedText(posted) + (build->stations.isShared(posted) ? "@" + std::to_string(region) : std::string());
    }

    // Plan: the page position (before the plan is placed) of a ground position, and the page
    // direction of a ground azimuth (radians).
    Pt map(double n, double e) const
    {
        const double dn = n - n0, de = e - e0;
        const double along = dn * std::cos(az) + de * std::sin(az);
        const double left = dn * std::sin(az) - de * std::cos(az);
        return {s * along, -s * left};
    }
    Pt dir(double azimuth) const { return {std::cos(azimuth - az), std::sin(azimuth - az)}; }
};

// The ticks every interval (display units) along each stretch between station equations, and a
// tick at each equation with both of its stations.
bool makeTicks(Plot& p, std::string& message)
{
    const double mpu = p.metresPerUnit();
    const double step = p.interval * mpu;
    if ((p.c1 - p.c0) / step > kRoadPlotMaxTicks) {
        message = "more than " + std::to_string(kRoadPlotMaxTicks) + " station ticks: give a longer --interval";
        return false;
    }
    // Stretches of continuous posted stations: internal from, to; posted at `from`; the back
    // station of the equation at `from` (NaN at the start).
    struct Stretch {
        double from, to, posted, back;
    };
    std::vector<Stretch> stretches;
    double from = p.c0, posted = p.build->stations.toPosted(p.c0), back = NAN;
    for (const RoadStationing::Region& r : p.build->stations.regions()) {
        if (r.internal <= p.c0 || r.internal >= p.c1)
            continue;
        stretches.push_back({from, r.internal, posted, back});
        back = posted + (r.internal - from);   // the back region's own station there
        from = r.internal;
        posted = r.posted;
    }
    stretches.push_back({from, p.c1, posted, back});
    for (size_t k = 0; k < stretches.size(); ++k) {
        const Stretch& st = stretches[k];
        const bool last = k + 1 == stretches.size(), equation = !std::isnan(st.back);
        if (equation)
            p.ticks.push_back({st.from, p.postedText(st.back) + " = " + p.postedText(st.posted), true});
        const double end = st.posted + (st.to - st.from);
        for (double m = std::ceil(st.posted / step - 1e-9); m <= std::floor(end / step + 1e-9); ++m) {
            const double at = m * step;
            if ((equation && std::fabs(at - st.posted) < 1e-6) || (!last && std::fabs(at - end) < 1e-6))
                continue;
            // A tick in an overlap of station equations carries its region.
            const double internal = st.from + (at - st.posted);
            int region = 1;
            const double tickPosted = p.build->stations.toPosted(internal, &region);
            const std::string suffix = p.build->stations.isShared(tickPosted) ? "@" + std::to_string(region) : "";
            p.ticks.push_back({internal, p.stationOfDisplay(m * p.interval + 0.0) + suffix, false});
        }
    }
    return true;
}

// The design height at an internal station, metres, by the road's one rule.
bool designHeight(const Plot& p, double chain, double& h)
{
    return RoadDesignHeight(p.alnt(), chain, p.o->extendGrades, h) != RoadHeightKind::None;
}

bool locatePoints(Plot& p, std::string& message)
{
    if (p.o->points.empty())
        return true;
    RoadLocator locator;
    if (!locator.build(p.alnt())) {
        message = "the alignment cannot be indexed to locate the points";
        return false;
    }
    for (size_t i = 0; i < p.o->points.size(); ++i) {
        const RoadPlotPoint& q = p.o->points[i];
        Located l;
        l.point = &q;
        if (!locator.locate(q.north, q.east, l.at)) {
            message = "point " + std::to_string(i + 1) + " cannot be located";
            return false;
        }
        l.label = q.name.empty() ? std::to_string(i + 1) : q.name;
        // Far from the road (a blunder, another job's point): listed, not drawn.
        const double beyond = std::max(p.c0 - l.at.station, l.at.station - p.c1);
        const double away = std::max(beyond, std::fabs(l.at.offset));
        if (away > p.o->maxDistance) {
            p.strays.push_back(l.label + " (" + p.length(away) + " " + p.unitName() + ")");
            continue;
        }
        l.hasDesign = designHeight(p, l.at.station, l.design);
        if (q.hasHeight && l.hasDesign) {
            const double d = p.display(RoadCutFill(q.height, l.design));
            const std::string size = fixed(std::fabs(d), 3);
            l.label += size == fixed(0.0, 3) ? ": on grade" : (d > 0.0 ? ": cut " : ": fill ") + size;
        }
        p.points.push_back(l);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Plan

bool sampledLine(const Plot& p, double offset, std::vector<Pt>& out, std::string& message)
{
    const double deviation = std::max(kRoadMinDeviation, 0.2 / p.s);
    std::vector<RoadSampleVertex> v;
    const bool ok = offset == 0.0 ? SampleRoadCentreline(p.alnt(), deviation, v)
                                  : SampleRoadOffsetLine(p.alnt(), offset, deviation, v);
    if (!ok) {
        message = offset == 0.0 ? "the centreline cannot be sampled"
                                : "the offset line at " + p.length(offset) + " " + p.unitName() + " cannot be sampled";
        return false;
    }
    out.clear();
    for (const RoadSampleVertex& x : v)
        out.push_back(p.map(x.north, x.east));
    return true;
}

// The page direction of the alignment at an internal station.
Pt tangentAt(const Plot& p, double chain)
{
    double azDeg = 0.0;
    p.alnt().getAzimuthAtChainExtr(chain, azDeg);
    return p.dir(azDeg * kRadPerDeg);
}

// The offset lines and the centreline; the widest offset on each side, px.
bool planLines(const Plot& p, Scene& scene, double& maxLeft, double& maxRight, std::string& message)
{
    maxLeft = maxRight = 0.0;
    for (double off : p.o->offsets) {
        std::vector<Pt> line;
        if (!sampledLine(p, off, line, message))
            return false;
        double& widest = off > 0.0 ? maxRight : maxLeft;
        widest = std::max(widest, std::fabs(off) * p.s);
        Group& g = scene.add(0, "class=\"offset\" data-offset=\"" + fixed(p.display(off), 3) + "\"");
        g.prims.push_back(polyline(line, "off"));
    }
    std::vector<Pt> centre;
    if (!sampledLine(p, 0.0, centre, message))
        return false;
    scene.add(1, "id=\"centreline\"").prims.push_back(polyline(centre, "cl"));
    return true;
}

// Joints: marked, labelled with kind and station on the left of the road, beyond the offset
// lines.
void planJoints(const Plot& p, Scene& scene, Labels& labels, double maxLeft)
{
    for (const RoadKeyPoint& k : p.keys) {
        if (k.isPi)
            continue;
        const Pt at = p.map(k.north, k.east);
        const Pt n = right(tangentAt(p, k.station)) * -1.0;
        const std::string station = p.station(k.station);
        Group& g = scene.add(3, "class=\"joint\" data-name=\"" + k.name + "\" data-station=\"" + station + "\"");
        g.prims.push_back(circle(at, 3.5, "jm"));
        placeOutward(g, labels, at, n, 7.0 + maxLeft, k.name + " " + station, kFont, "jl", 40, true);
    }
}

// PIs: each curve group's tangents dashed (TS -> PI -> ST), the PI marked and labelled with the
// group's smallest radius outwards from the middle of the group.
void planPis(const Plot& p, Scene& scene, Labels& labels)
{
    for (const RoadKeyPoint& k : p.keys) {
        if (!k.isPi)
            continue;
        const Pt at = p.map(k.north, k.east);
        scene.add(0, "class=\"tangent\"")
            .prims.push_back(polyline({p.map(k.fromNorth, k.fromEast), at, p.map(k.toNorth, k.toEast)}, "tan"));
        Group& g = scene.add(3, "class=\"pi\"");
        g.prims.push_back(polyline({at + Pt{0, -4.5}, at + Pt{4.5, 0}, at + Pt{0, 4.5}, at + Pt{-4.5, 0}}, "pim", true));
        double n = 0.0, e = 0.0;
        Pt out = right(tangentAt(p, k.station)) * (k.radius > 0.0 ? -1.0 : 1.0);
        if (p.alnt().getPosNeAtChain(0.5 * (k.station + k.toStation), n, e)) {
            const Pt d = at - p.map(n, e);
            if (dot(d, d) > 1.0)
                out = d * (1.0 / std::sqrt(dot(d, d)));
        }
        placeOutward(g, labels, at, out, 8.0, "PI  R " + p.length(std::fabs(k.radius)), kFont, "pil", 40, true);
    }
}

// Station ticks across the road, labelled on its right where there is room; equations always.
void planTicks(const Plot& p, Scene& scene, Labels& labels, double maxRight)
{
    for (const Tick& t : p.ticks) {
        double n = 0.0, e = 0.0;
        if (!p.alnt().getPosNeAtChainExtr(t.chain, n, e))
            continue;
        const Pt at = p.map(n, e), r = right(tangentAt(p, t.chain));
        Group& g = scene.add(2, std::string(t.equation ? "class=\"equation\"" : "class=\"station\"") +
                                    " data-station=\"" + t.text + "\"");
        g.prims.push_back(line(at - r * (t.equation ? 8.0 : 4.0), at + r * (5.0 + maxRight), "tick"));
        placeOutward(g, labels, at, r, 8.0 + maxRight, t.text, kSmallFont, t.equation ? "eql" : "stl", 3, t.equation);
    }
}

// The offset of each offset line at its end, and the surveyed points with their labels.
void planOffsetsAndPoints(const Plot& p, Scene& scene, Labels& labels)
{
    for (double off : p.o->offsets) {
        double n = 0.0, e = 0.0;
        if (!p.alnt().getPosNeAtChainAndOffsetExtr(p.c1, off, n, e))
            continue;
        Group& g = scene.add(2);
        placeBeside(g, labels, p.map(n, e), (off > 0.0 ? "+" : "") + p.length(off), kSmallFont, "offl", false);
    }
    for (const Located& l : p.points) {
        const Pt at = p.map(l.point->north, l.point->east);
        Group& g = scene.add(4, "class=\"point\"");
        g.prims.push_back(line(at + Pt{-4, -4}, at + Pt{4, 4}, "pt"));
        g.prims.push_back(line(at + Pt{-4, 4}, at + Pt{4, -4}, "pt"));
        placeBeside(g, labels, at, l.label, kSmallFont, "ptl", true);
    }
}

// The plan before it is placed on the page. Labels are placed in order of importance: joints,
// PIs, stations, offsets and points.
bool buildPlan(const Plot& p, Scene& scene, std::string& message)
{
    double maxLeft = 0.0, maxRight = 0.0;
    if (!planLines(p, scene, maxLeft, maxRight, message))
        return false;
    Labels labels;
    for (const RoadKeyPoint& k : p.keys)   // the marks keep labels off them
        labels.take(markBox(p.map(k.north, k.east), 5.0));
    planJoints(p, scene, labels, maxLeft);
    planPis(p, scene, labels);
    planTicks(p, scene, labels, maxRight);
    planOffsetsAndPoints(p, scene, labels);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Profile

// The profile's page frame (before it is placed): stations across at the plan's scale from
// xLeft, heights up at the scale times the exaggeration from hBottom.
struct ProfileFrame {
    double xLeft = 0.0, c0 = 0.0, s = 1.0, sv = 1.0;   // px per metre across, up
    double hBottom = 0.0, hTop = 0.0, hStep = 1.0;      // metres
    double xRight = 0.0;
    Pt at(double chain, double h) const { return {xLeft + s * (chain - c0), -sv * (h - hBottom)}; }
};

// The height range of the design, its VIPs and the points beside it (metres).
void heightRange(const Plot& p, const CAlntHtPosCache& design, const std::vector<CLsInfo>& vips, double& lo,
                 double& hi)
{
    lo = design.getMinHeight();
    hi = design.getMaxHeight();
    for (const CLsInfo& v : vips)
        lo = std::min(lo, v.height), hi = std::max(hi, v.height);
    for (const Located& l : p.points)
        if (l.point->hasHeight && l.at.station >= p.c0 && l.at.station <= p.c1)
            lo = std::min(lo, l.point->height), hi = std::max(hi, l.point->height);
}

// Height lines with their labels at the left, station lines with their labels below (station
// equations first; a station label without room is left out), the axes.
void profileGrid(const Plot& p, const ProfileFrame& f, Scene& scene, Labels& labels)
{
    Group& grid = scene.add(0, "id=\"profile-grid\"");
    const double mpu = p.metresPerUnit(), yBottom = f.at(0.0, f.hBottom).y, yTop = f.at(0.0, f.hTop).y;
    const int decimals = f.hStep / mpu >= 1.0 - 1e-9 ? 0 : f.hStep / mpu >= 0.1 - 1e-9 ? 1 : 2;
    for (double h = f.hBottom; h <= f.hTop + 1e-9 * f.hStep; h += f.hStep) {
        const double y = f.at(0.0, h).y;
        grid.prims.push_back(line({f.xLeft, y}, {f.xRight, y}, "grid"));
        Prim t = hText({f.xLeft - 6.0, y + 3.5}, "end", fixed(p.display(h), decimals), kSmallFont, "axl");
        labels.take(t.box);
        grid.prims.push_back(t);
    }
    for (bool equations : {true, false})
        for (const Tick& t : p.ticks) {
            if (t.equation != equations)
                continue;
            const double x = f.at(t.chain, 0.0).x;
            grid.prims.push_back(line({x, yTop}, {x, yBottom + 4.0}, equations ? "eqgrid" : "grid"));
            Prim l = hText({x, yBottom + 15.0}, "middle", t.text, kSmallFont, equations ? "eql" : "axl");
            if (equations || labels.isFree(l.box)) {
                labels.take(l.box);
                grid.prims.push_back(l);
            }
        }
    grid.prims.push_back(line({f.xLeft, yBottom}, {f.xRight, yBottom}, "axis"));
    grid.prims.push_back(line({f.xLeft, yBottom}, {f.xLeft, yTop}, "axis"));
}

// Each tangent's grade in percent, along it, midway between the curves at its ends.
void profileGrades(const ProfileFrame& f, const std::vector<CLsInfo>& vips, Scene& scene, Labels& labels)
{
    for (size_t i = 0; i + 1 < vips.size(); ++i) {
        const CLsInfo &a = vips[i], &b = vips[i + 1];
        if (!(b.chainage - a.chainage > 1e-9))
            continue;
        const double g = (b.height - a.height) / (b.chainage - a.chainage);
        const double from = a.curveLen > 0.0 ? a.curveStart + a.curveLen : a.chainage;
        const double to = b.curveLen > 0.0 ? b.curveStart : b.chainage;
        const double mid = 0.5 * (from + to);
        const Pt m = f.at(mid, a.height + g * (mid - a.chainage));
        const Pt d = f.at(b.chainage, b.height) - f.at(a.chainage, a.height);
        const Pt u = d * (1.0 / std::sqrt(dot(d, d)));
        const std::string text = (g > 0.0 ? "+" : "") + fixed(100.0 * g, 2) + "%";
        const Pt up = right(u) * -1.0;
        Prim t = hText(m + up * 5.0, "middle", text, kFont, "grade");
        t.angle = std::atan2(u.y, u.x) * kDegPerRad;
        t.box = Box{m + up * (5.0 + 0.35 * kFont), u, textWidth(text, kFont) / 2 + 1.0, 0.5 * kFont + 1.0};
        labels.take(t.box);
        scene.add(4, "class=\"grade\"").prims.push_back(t);
    }
}

// VIP i: its mark, the ends of its vertical curve, and its station, height and curve (length;
// radius of an arc) above it (below a sag), moved out while another label is in the way.
void profileVip(const Plot& p, const ProfileFrame& f, const std::vector<CLsInfo>& vips, size_t i, Scene& scene,
                Labels& labels)
{
    const CLsInfo& v = vips[i];
    const Pt m = f.at(v.chainage, v.height);
    const std::string station = p.station(v.chainage);
    Group& g = scene.add(4, "class=\"vip\" data-station=\"" + station + "\"");
    g.prims.push_back(polyline({m + Pt{0, -5}, m + Pt{4.5, 3}, m + Pt{-4.5, 3}}, "vipm", true));
    std::string curve;
    if (v.curveLen > 0.0) {
        for (double c : {v.curveStart, v.curveStart + v.curveLen}) {
            double h = 0.0;
            if (p.alnt().getPosHAtChain(c, h))
                g.prims.push_back(line(f.at(c, h) + Pt{0, -5}, f.at(c, h) + Pt{0, 5}, "tick"));
        }
        curve = (v.radius != 0.0 ? "R " + p.length(std::fabs(v.radius)) + "  " : std::string()) + "L " +
                p.length(v.curveLen);
    }
    bool sag = false;
    if (i > 0 && i + 1 < vips.size()) {
        const double gIn = (v.height - vips[i - 1].height) / (v.chainage - vips[i - 1].chainage);
        const double gOut = (vips[i + 1].height - v.height) / (vips[i + 1].chainage - v.chainage);
        sag = gOut > gIn;
    }
    const std::string first = "VIP " + station + "  " + p.length(v.height);
    const double w = std::max(textWidth(first, kFont), textWidth(curve, kFont));
    const double h = (curve.empty() ? 1.0 : 2.0) * 1.25 * kFont;
    // The first VIP's label reads to the right of it, the last one's to the left.
    const std::string anchor = i == 0 ? "start" : i + 1 == vips.size() ? "end" : "middle";
    const double ax = anchor == "start" ? m.x - 4 : anchor == "end" ? m.x + 4 : m.x;
    const double cx = anchor == "start" ? ax + w / 2 : anchor == "end" ? ax - w / 2 : ax;
    Box box;
    for (int k = 0; k < 30; ++k) {
        const double gap = 9.0 + 6.0 * k;
        box = Box{{cx, sag ? m.y + gap + h / 2 : m.y - gap - h / 2}, {1.0, 0.0}, w / 2 + 1.0, h / 2};
        if (labels.isFree(box))
            break;
    }
    labels.take(box);
    const double top = box.c.y - h / 2;
    g.prims.push_back(line(m + Pt{0, sag ? 4.0 : -5.0}, {m.x, sag ? top : top + h}, "lead"));
    g.prims.push_back(hText({ax, top + 0.95 * kFont}, anchor, first, kFont, "vipl"));
    if (!curve.empty())
        g.prims.push_back(hText({ax, top + 2.2 * kFont}, anchor, curve, kFont, "vipl"));
}

// Surveyed points at their station and height, joined to the design, where the road is.
void profilePoints(const Plot& p, const ProfileFrame& f, Scene& scene, Labels& labels)
{
    for (const Located& l : p.points) {
        if (!l.point->hasHeight || !l.hasDesign || l.at.station < p.c0 || l.at.station > p.c1)
            continue;
        const Pt q = f.at(l.at.station, l.point->height), d = f.at(l.at.station, l.design);
        Group& g = scene.add(5, "class=\"point\"");
        g.prims.push_back(line(q, d, "ptlead"));
        g.prims.push_back(line(q + Pt{-4, -4}, q + Pt{4, 4}, "pt"));
        g.prims.push_back(line(q + Pt{-4, 4}, q + Pt{4, -4}, "pt"));
        placeBeside(g, labels, q, l.label, kSmallFont, "ptl", true);
    }
}

// The profile below the plan: stations across from xLeft at the plan's scale; the exaggeration
// the largest of 1, 2, 5 times a power of ten that keeps the heights within 200 px.
bool buildProfile(const Plot& p, double xLeft, Scene& scene, double& exaggeration, std::string& message)
{
    const CAlnt& alnt = p.alnt();
    const std::vector<CLsInfo> vips = RoadProfileVips(*p.source, *p.build);
    // A first pass for the height range, then the line itself within a fifth of a pixel.
    CAlntHtPosCache design;
    if (vips.size() < 2 || !design.loadNodesAndPosForDeviation(alnt, 0.001)) {
        message = "the profile cannot be sampled";
        return false;
    }
    double lo = 0.0, hi = 0.0;
    heightRange(p, design, vips, lo, hi);
    exaggeration = std::max(1.0, niceAtMost(std::max(1.0, 200.0 / (std::max(hi - lo, 0.01) * p.s))));
    ProfileFrame f;
    f.xLeft = xLeft;
    f.c0 = p.c0;
    f.s = p.s;
    f.sv = p.s * exaggeration;
    const double mpu = p.metresPerUnit();
    f.hStep = niceAtLeast(24.0 / (f.sv * mpu)) * mpu;
    f.hBottom = std::floor(lo / f.hStep - 1e-9) * f.hStep;
    f.hTop = std::ceil(hi / f.hStep + 1e-9) * f.hStep;
    f.xRight = f.at(p.c1, 0.0).x;
    if (!design.loadNodesAndPosForDeviation(alnt, std::max(0.001, 0.2 / f.sv))) {
        message = "the profile cannot be sampled";
        return false;
    }
    Labels labels;
    profileGrid(p, f, scene, labels);
    std::vector<Pt> gradeLine, designLine;
    for (const CLsInfo& v : vips)
        gradeLine.push_back(f.at(v.chainage, v.height));
    scene.add(1, "class=\"grade-line\"").prims.push_back(polyline(gradeLine, "gl"));
    for (int i = 0; i < design.GetSize(); ++i)
        designLine.push_back(f.at(design[i].station, design[i].height));
    scene.add(2, "id=\"design-line\"").prims.push_back(polyline(designLine, "dl"));
    profileGrades(f, vips, scene, labels);
    for (const CLsInfo& v : vips)
        labels.take(markBox(f.at(v.chainage, v.height), 5.0));
    for (size_t i = 0; i < vips.size(); ++i)
        profileVip(p, f, vips, i, scene, labels);
    profilePoints(p, f, scene, labels);
    return true;
}

// ---------------------------------------------------------------------------------------------
// The page

const char* const kStyle =
    "text{font-family:'DejaVu Sans',Verdana,Arial,Helvetica,sans-serif;font-size:11px;fill:#222}"
    ".title{font-size:20px;font-weight:bold}.sub{font-size:12px;fill:#555}"
    ".head{font-size:14px;font-weight:bold}.note{font-size:12px;fill:#444}"
    ".stl,.axl,.offl,.ptl,.eql{font-size:10px}.eql{fill:#8e44ad}.ptl{fill:#1565c0}"
    ".jl{font-weight:bold}.pil{fill:#2c3e50;font-style:italic}.grade{fill:#1b5e20;font-weight:bold}"
    ".cl,.dl{fill:none;stroke:#c0392b;stroke-width:2;stroke-linejoin:round}"
    ".off{fill:none;stroke:#8d99a6;stroke-width:1}"
    ".tan,.gl{fill:none;stroke:#2c3e50;stroke-width:0.8;stroke-dasharray:6 4}"
    ".jm,.vipm{fill:#fff;stroke:#111;stroke-width:1.4}.pim{fill:#2c3e50}"
    ".tick{stroke:#111;stroke-width:1}.lead{stroke:#9a9a9a;stroke-width:0.6}"
    ".pt{stroke:#1565c0;stroke-width:1.8}.ptlead{stroke:#1565c0;stroke-width:0.8;stroke-dasharray:2 2}"
    ".grid{stroke:#e4e4e4;stroke-width:1}.eqgrid{stroke:#8e44ad;stroke-width:1;stroke-dasharray:3 3}"
    ".axis{stroke:#555;stroke-width:1}.na{stroke:#111;stroke-width:2}.nah{fill:#111}"
    ".sbw{fill:#fff;stroke:#111;stroke-width:1}.sbb{fill:#111;stroke:#111;stroke-width:1}"
    ".frame{fill:none;stroke:#bbb;stroke-width:1}";

// The north arrow centred at c: a line from its tail to its head, the head, and "N".
void northArrow(Scene& page, const Plot& p, Pt c)
{
    const Pt u = p.dir(0.0);
    Group& g = page.add(0, "id=\"north-arrow\"");
    const Pt tail = c - u * 18.0, head = c + u * 18.0;
    g.prims.push_back(circle(c, 22.0, "frame"));
    g.prims.push_back(line(tail, head, "na"));
    g.prims.push_back(polyline({head + u * 4.0, head - u * 8.0 + right(u) * 5.0, head - u * 8.0 - right(u) * 5.0},
                               "nah", true));
    g.prims.push_back(hText(c + u * 32.0 + Pt{0, 4.5}, "middle", "N", 13.0, "head"));
}


// A scale bar of a round length from `left` along the baseline: four blocks, a line along its
// whole length, "0" and the length with its unit.
void scaleBar(Scene& page, const Plot& p, Pt left)
{
    const double mpu = p.metresPerUnit();
    const double length = niceAtMost(200.0 / (p.s * mpu));   // display units
    const double w = length * mpu * p.s;
    char text[32];
    std::snprintf(text, sizeof text, "%g", length);
    Group& g = page.add(0, "id=\"scale-bar\" data-length=\"" + std::string(text) + "\" data-unit=\"" + p.unitName() + "\"");
    for (int k = 0; k < 4; ++k) {
        const double a = left.x + w * k / 4, b = left.x + w * (k + 1) / 4;
        g.prims.push_back(polyline({{a, left.y - 6}, {b, left.y - 6}, {b, left.y}, {a, left.y}}, k % 2 ? "sbw" : "sbb", true));
    }
    g.prims.push_back(line(left, left + Pt{w, 0}, "tick"));
    g.prims.push_back(hText(left + Pt{0, 14}, "middle", "0", kSmallFont, "axl"));
    g.prims.push_back(hText(left + Pt{w, 14}, "middle", std::string(text) + " " + p.unitName(), kSmallFont, "axl"));
}

// The legend in rows from (x, y) within `width`; returns the height used.
double legend(Scene& page, const Plot& p, bool profile, double x, double y, double width)
{
    struct Item {
        std::string text;
        int sample;   // 0 red line, 1 grey line, 2 dashed, 3 joint, 4 PI, 5 tick, 6 VIP, 7 point
    };
    std::vector<Item> items = {{"centreline, design line", 0}};
    if (!p.o->offsets.empty())
        items.push_back({"offset line", 1});
    items.push_back({profile ? "tangent to PI, grade line" : "tangent to PI", 2});
    items.push_back({"element joint", 3});
    items.push_back({"PI (R: arc radius)", 4});
    items.push_back({"station", 5});
    if (profile)
        items.push_back({"VIP (L: vertical curve length)", 6});
    if (!p.points.empty())
        items.push_back({"surveyed point (cut: above design)", 7});
    Group& g = page.add(0, "id=\"legend\"");
    double cx = x, cy = y + 10;
    for (const Item& it : items) {
        const double w = 30 + textWidth(it.text, kFont) + 20;
        if (cx + w > x + width && cx > x) {
            cx = x;
            cy += 20;
        }
        const Pt a{cx, cy}, b{cx + 22, cy}, m{cx + 11, cy};
        switch (it.sample) {
        case 0: g.prims.push_back(line(a, b, "cl")); break;
        case 1: g.prims.push_back(line(a, b, "off")); break;
        case 2: g.prims.push_back(line(a, b, "tan")); break;
        case 3: g.prims.push_back(circle(m, 3.5, "jm")); break;
        case 4: g.prims.push_back(polyline({m + Pt{0, -4.5}, m + Pt{4.5, 0}, m + Pt{0, 4.5}, m + Pt{-4.5, 0}}, "pim", true)); break;
        case 5: g.prims.push_back(line(m + Pt{0, -5}, m + Pt{0, 5}, "tick")); break;
        case 6: g.prims.push_back(polyline({m + Pt{0, -5}, m + Pt{4.5, 3}, m + Pt{-4.5, 3}}, "vipm", true)); break;
        default:
            g.prims.push_back(line(m + Pt{-4, -4}, m + Pt{4, 4}, "pt"));
            g.prims.push_back(line(m + Pt{-4, 4}, m + Pt{4, -4}, "pt"));
        }
        g.prims.push_back(hText({cx + 30, cy + 4}, "start", it.text, kFont, ""));
        cx += w;
    }
    return cy + 10 - y;
}

// The ground azimuth (radians) of the principal axis of the vertices, pointing from the start
// towards the end.
double longAxis(const std::vector<RoadSampleVertex>& v)
{
    double mn = 0.0, me = 0.0;
    for (const RoadSampleVertex& x : v)
        mn += x.north, me += x.east;
    const double count = static_cast<double>(v.size());
    mn /= count;
    me /= count;
    double snn = 0.0, see = 0.0, sne = 0.0;
    for (const RoadSampleVertex& x : v) {
        snn += (x.north - mn) * (x.north - mn);
        see += (x.east - me) * (x.east - me);
        sne += (x.north - mn) * (x.east - me);
    }
    double az = 0.5 * std::atan2(2.0 * sne, snn - see);
    if ((v.back().north - v.front().north) * std::cos(az) + (v.back().east - v.front().east) * std::sin(az) < 0.0)
        az += kPi;
    return az;
}

bool checkOptions(const RoadPlotOptions& o, std::string& message)
{
    if (!(o.maxDistance > 0.0))
        return message = "the largest distance of a point from the road must be positive", false;
    if (!(o.width >= 400.0 && o.width <= 20000.0))
        return message = "the page width must lie between 400 and 20000 px", false;
    if (!(o.interval >= 0.0 && std::isfinite(o.interval)))
        return message = "the station interval must be a positive number", false;
    if (!(o.stationUnit >= 1.0 && std::isfinite(o.stationUnit)))
        return message = "the station unit must be at least 1", false;
    for (double off : o.offsets)
        if (!std::isfinite(off) || off == 0.0)
            return message = "offsets must be numbers other than 0", false;
    for (const RoadPlotPoint& q : o.points)
        if (!std::isfinite(q.north) || !std::isfinite(q.east) || (q.hasHeight && !std::isfinite(q.height)))
            return message = "a point's coordinates must be numbers", false;
    return true;
}

// The plan at the profile's scale (the stations filling the page) unless its labels need a
// smaller one; its extent in x0 ... y1.
bool layOutPlan(Plot& p, double length, Scene& plan, double& x0, double& y0, double& x1, double& y1,
                std::string& message)
{
    const double W = p.o->width;
    p.s = (W - 2 * kMargin - kAxisLeft - kRightPad) / length;
    for (int pass = 0;; ++pass) {
        p.interval = p.o->interval > 0.0 ? p.o->interval : niceAtLeast(55.0 / (p.s * p.metresPerUnit()));
        p.ticks.clear();
        plan = Scene();
        if (!makeTicks(p, message) || !buildPlan(p, plan, message))
            return false;
        plan.bounds(x0, y0, x1, y1);
        if (x1 - x0 <= W - 2 * kMargin || pass == 4)
            return true;
        p.s *= 0.97 * (W - 2 * kMargin) / (x1 - x0);
    }
}

// Title, the road's stations and length, the subtitle; returns the y below them.
double titleBlock(Scene& page, const Plot& p, const std::string& title, double length, bool hasProfile)
{
    double y = kMargin;
    page.add(0).prims.push_back(hText({kMargin, y + 18}, "start", title + " \xE2\x80\x94 plan and profile", 20, "title"));
    std::string facts = "stations " + p.station(p.c0) + " to " + p.station(p.c1) + ", length " + p.length(length) + " " +
                        p.unitName();
    if (hasProfile)
        facts += ", profile \"" + p.source->profiles[p.build->profile].name + "\"";
    page.add(0).prims.push_back(hText({kMargin, y + 38}, "start", facts, 12, "sub"));
    y += 44;
    if (!p.o->subtitle.empty()) {
        page.add(0).prims.push_back(hText({kMargin, y + 12}, "start", p.o->subtitle, 12, "sub"));
        y += 16;
    }
    return y + 14;
}

void frame(Scene& page, double top, double bottom, double width)
{
    page.add(0).prims.push_back(
        polyline({{kMargin, top}, {width - kMargin, top}, {width - kMargin, bottom}, {kMargin, bottom}}, "frame", true));
}

std::string document(const std::string& title, double W, double H, const Scene& page, const Scene& plan,
                     Pt planShift, const Scene& profile, Pt profileShift)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(W) + "\" height=\"" + num(H) + "\" viewBox=\"0 0 " +
           num(W) + " " + num(H) + "\">\n";
    out += "<title>" + escapeXml(title) + ": plan and profile</title>\n";
    out += "<style>" + std::string(kStyle) + "</style>\n";
    out += "<rect width=\"" + num(W) + "\" height=\"" + num(H) + "\" fill=\"#fff\"/>\n";
    out += "<g id=\"page\">\n";
    page.write(out, {0.0, 0.0});
    out += "</g>\n<g id=\"plan\">\n";
    plan.write(out, planShift);
    out += "</g>\n<g id=\"profile\">\n";
    profile.write(out, profileShift);
    out += "</g>\n</svg>\n";
    return out;
}

} // namespace

bool RoadPlotSvg(const RoadAlignment& source, const RoadBuild& build, const RoadPlotOptions& o, std::string& svg,
                 std::string& message, std::vector<std::string>* notDrawn)
{
    UseRoadTolerances();
    if (!checkOptions(o, message))
        return false;
    const CAlnt& alnt = build.alnt;
    double length = 0.0;
    if (alnt.getNumOfHes() == 0 || !alnt.getHLengthInM(length) || !(length > 0.0)) {
        message = "the alignment has no length";
        return false;
    }
    Plot p;
    p.source = &source;
    p.build = &build;
    p.o = &o;
    p.c0 = alnt.getStartChainageInM();
    p.c1 = p.c0 + length;
    std::vector<RoadSampleVertex> coarse;
    if (!SampleRoadCentreline(alnt, std::max(kRoadMinDeviation, length * 1e-4), coarse) || coarse.size() < 2) {
        message = "the centreline cannot be sampled";
        return false;
    }
    p.az = longAxis(coarse);
    p.n0 = coarse.front().north;
    p.e0 = coarse.front().east;
    p.keys = RoadKeyPoints(build);
    Scene plan, profile, page;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0, exaggeration = 1.0;
    const double W = o.width, xLeft = kMargin + kAxisLeft;
    const bool hasProfile = build.profile >= 0 && alnt.getNumOfVes() >= 2;
    if (!locatePoints(p, message) || !layOutPlan(p, length, plan, x0, y0, x1, y1, message) ||
        (hasProfile && !buildProfile(p, xLeft, profile, exaggeration, message)))
        return false;

    const std::string title = o.title.empty() ? source.name : o.title;
    double y = titleBlock(page, p, title, length, hasProfile);
    // Plan: heading, scale bar and north arrow above the drawing; its start below the
    // profile's where the page allows.
    const double planTop = y;
    page.add(0).prims.push_back(hText({kMargin + 10, y + 30}, "start", "Plan", 14, "head"));
    scaleBar(page, p, {kMargin + 70, y + 30});
    northArrow(page, p, {W - kMargin - 52, y + 42});
    y += 76;
    const Pt pob = p.map(p.keys.front().north, p.keys.front().east);
    const double dx = std::max(kMargin - x0, std::min(xLeft - pob.x, W - kMargin - x1));
    const Pt planShift{dx, y - y0};
    y += (y1 - y0) + 12;
    frame(page, planTop, y, W);
    // Profile: heading, drawing.
    y += 14;
    const double profileTop = y;
    char ve[32];
    std::snprintf(ve, sizeof ve, "%g", exaggeration);
    const std::string head = hasProfile ? "Profile: heights in " + p.unitName() + ", vertical exaggeration " + ve + "\xC3\x97"
                                        : "Profile: none in the road file";
    page.add(0).prims.push_back(hText({kMargin + 10, y + 22}, "start", head, 14, "head"));
    y += 34;
    Pt profileShift{0.0, 0.0};
    if (hasProfile) {
        double px0, py0, px1, py1;
        profile.bounds(px0, py0, px1, py1);
        profileShift.y = y + 6 - py0;
        y += (py1 - py0) + 12;
    }
    frame(page, profileTop, y, W);
    y += 12;
    y += legend(page, p, hasProfile, kMargin + 10, y, W - 2 * kMargin - 20);
    if (!p.strays.empty()) {
        // The points left out, in lines that fit the page.
        std::string text = "Not drawn, farther than " + p.length(o.maxDistance) + " " + p.unitName() + " from the road:";
        Group& g = page.add(0, "id=\"not-drawn\"");
        for (size_t i = 0; i < p.strays.size(); ++i) {
            const std::string next = (i == 0 ? " " : ", ") + p.strays[i];
            if (textWidth(text + next, kFont) > W - 2 * kMargin - 20) {
                y += 16;
                g.prims.push_back(hText({kMargin + 10, y}, "start", text, kFont, ""));
                text = p.strays[i];
            } else {
                text += next;
            }
        }
        y += 16;
        g.prims.push_back(hText({kMargin + 10, y}, "start", text, kFont, ""));
        y += 8;
    }
    if (notDrawn)
        *notDrawn = p.strays;
    svg = document(title, W, std::ceil(y + kMargin), page, plan, planShift, profile, profileShift);
    return true;
}
