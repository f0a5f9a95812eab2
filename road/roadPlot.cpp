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
#include <tuple>


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
    double c0 = 0.0, c1 = 0.0;         // internal chainage of the stretch drawn
    double w0 = 0.0, w1 = 0.0;         // internal chainage of the alignment's start and end
    Pt start;                          // the plan's page position of c0
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
        const double beyond = std::max(p.w0 - l.at.station, l.at.station - p.w1);
        const double away = std::max(beyond, std::fabs(l.at.offset));
        if (away > p.o->maxDistance) {
            p.strays.push_back(l.label + " (" + p.length(away) + " " + p.unitName() + ")");
            continue;
        }
        if ((l.at.station < p.c0 - 1e-6 && p.c0 > p.w0 + 1e-6) || (l.at.station > p.c1 + 1e-6 && p.c1 < p.w1 - 1e-6))
            continue;   // on another page's stretch (those beyond the road's ends go on its end pages)
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
    // The vertices of the stretch between its ends, placed exactly. (With the vertex beyond
    // each end instead, a page of a long line drew the line whole: 230 m before its stretch on
    // page 2 of 8, which shrank the plan to fit.)
    RoadLocation first, last;
    if (!RoadPointAt(p.alnt(), p.c0, offset, first) || !RoadPointAt(p.alnt(), p.c1, offset, last))
        return message = "the stretch's ends cannot be placed", false;
    out.assign(1, p.map(first.north, first.east));
    for (const RoadSampleVertex& x : v)
        if (x.station > p.c0 && x.station < p.c1)
            out.push_back(p.map(x.north, x.east));
    out.push_back(p.map(last.north, last.east));
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

// Joints close together on the page share one label: those at one station print once
// ("POB=TS 0+000.00"), those closer than a label's height print together
// ("PT/PC 0+840.13/0+841.89"). Each cluster lists the joints in station order.
std::vector<std::vector<const RoadKeyPoint*>> jointClusters(const Plot& p)
{
    std::vector<std::vector<const RoadKeyPoint*>> clusters;
    const double within = (kTextAbove + kTextBelow) * kFont + 2.0;
    Pt last;
    for (const RoadKeyPoint& k : p.keys) {
        if (k.isPi)
            continue;
        const Pt at = p.map(k.north, k.east);
        const Pt d = at - last;
        if (clusters.empty() || dot(d, d) >= within * within)
            clusters.emplace_back();
        clusters.back().push_back(&k);
        last = at;
    }
    return clusters;
}

// The text of a cluster's label: names of joints at one station joined by '=', stations and
// the names at them joined by '/'.
std::string clusterText(const Plot& p, const std::vector<const RoadKeyPoint*>& c)
{
    std::string names, stations;
    for (size_t i = 0; i < c.size(); ++i) {
        const bool same = i > 0 && std::fabs(c[i]->station - c[i - 1]->station) < 1e-6;
        names += (i == 0 ? "" : same ? "=" : "/") + c[i]->name;
        if (!same)
            stations += (i == 0 ? "" : "/") + p.station(c[i]->station);
    }
    return names + " " + stations;
}

// Joints: marked, labelled with kind and station on the left of the road beyond the offset
// lines, else on its right; a label without room is counted.
void planJoints(const Plot& p, Scene& scene, Labels& labels, double maxLeft)
{
    const std::vector<std::vector<const RoadKeyPoint*>> clusters = jointClusters(p);
    std::vector<Group*> labelled;   // per cluster: the group of its first joint, which holds the label
    for (const std::vector<const RoadKeyPoint*>& c : clusters)
        for (const RoadKeyPoint* k : c) {
            const std::string station = p.station(k->station);
            Group& g = scene.add(3, "class=\"joint\" data-name=\"" + k->name + "\" data-station=\"" + station + "\"");
            g.prims.push_back(circle(p.map(k->north, k->east), 3.5, "jm"));
            if (k == c.front())
                labelled.push_back(&g);
        }
    // The road's ends first, then the joints in station order.
    for (size_t i = 0; i < clusters.size(); ++i) {
        const size_t index = i == 0 ? 0 : i == 1 ? clusters.size() - 1 : i - 1;
        const RoadKeyPoint& first = *clusters[index].front();
        const Pt at = p.map(first.north, first.east);
        const Pt n = right(tangentAt(p, first.station)) * -1.0;
        if (!placeOutward(*labelled[index], labels, at, n, 7.0 + maxLeft, clusterText(p, clusters[index]), kFont, "jl",
                          40, true, true))
            labels.drop(static_cast<int>(clusters[index].size()));
    }
}

// PIs: each curve group's tangents dashed (TS -> PI -> ST), the PI marked and labelled with the
// group's smallest radius outwards from the middle of the group.
// The part of segment a-b between x0 and x1; false when none.
bool clipSegmentX(Pt& a, Pt& b, double x0, double x1)
{
    if ((a.x < x0 && b.x < x0) || (a.x > x1 && b.x > x1))
        return false;
    auto at = [&](const Pt& from, double x) { return Pt{x, from.y + (b.y - a.y) * (x - from.x) / (b.x - a.x)}; };
    const Pt a0 = a, b0 = b;
    if (a0.x < x0)
        a = at(a0, x0);
    else if (a0.x > x1)
        a = at(a0, x1);
    if (b0.x < x0)
        b = at(a0, x0);
    else if (b0.x > x1)
        b = at(a0, x1);
    return true;
}

// PIs: each curve group's tangents dashed (TS -> PI -> ST) within the page's width x0..x1 (a
// page of a longer road cut them at its frame: they ran off it), the PI marked and labelled
// with the group's smallest radius outwards from the middle of the group. A PI beyond the
// page's width (a page at a scale asked for keeps the scale) is not drawn, its label counted.
void planPis(const Plot& p, Scene& scene, Labels& labels, double x0, double x1)
{
    for (const RoadKeyPoint& k : p.keys) {
        if (!k.isPi)
            continue;
        const Pt at = p.map(k.north, k.east);
        // One polyline from the group's start through the PI to its end, cut where it leaves
        // the page's width.
        Group& tangents = scene.add(0, "class=\"tangent\"");
        const Pt from = p.map(k.fromNorth, k.fromEast), to = p.map(k.toNorth, k.toEast);
        Pt a0 = from, b0 = at, a1 = at, b1 = to;
        const bool in0 = clipSegmentX(a0, b0, x0, x1), in1 = clipSegmentX(a1, b1, x0, x1);
        if (in0 && in1 && b0.x == a1.x && b0.y == a1.y)
            tangents.prims.push_back(polyline({a0, b0, b1}, "tan"));
        else
            for (const auto& [a, b, in] : {std::tuple<Pt, Pt, bool>{a0, b0, in0}, {a1, b1, in1}})
                if (in)
                    tangents.prims.push_back(polyline({a, b}, "tan"));
        if (at.x < x0 || at.x > x1) {
            labels.drop();
            continue;
        }
        Group& g = scene.add(3, "class=\"pi\"");
        g.prims.push_back(polyline({at + Pt{0, -4.5}, at + Pt{4.5, 0}, at + Pt{0, 4.5}, at + Pt{-4.5, 0}}, "pim", true));
        double n = 0.0, e = 0.0;
        Pt out = right(tangentAt(p, k.station)) * (k.radius > 0.0 ? -1.0 : 1.0);
        if (p.alnt().getPosNeAtChain(0.5 * (k.station + k.toStation), n, e)) {
            const Pt d = at - p.map(n, e);
            if (dot(d, d) > 1.0)
                out = d * (1.0 / std::sqrt(dot(d, d)));
        }
        if (!placeOutward(g, labels, at, out, 8.0, "PI  R " + p.length(std::fabs(k.radius)), kFont, "pil", 40, true))
            labels.drop();
    }
}

// Station ticks across the road, labelled on its right where there is room (a tick label
// without room is left out: the ticks keep their rhythm); equations on either side, counted
// when there is no room.
void planTicks(const Plot& p, Scene& scene, Labels& labels, double maxRight)
{
    for (bool equations : {true, false})
        for (const Tick& t : p.ticks) {
            double n = 0.0, e = 0.0;
            if (t.equation != equations || !p.alnt().getPosNeAtChainExtr(t.chain, n, e))
                continue;
            const Pt at = p.map(n, e), r = right(tangentAt(p, t.chain));
            Group& g = scene.add(2, std::string(t.equation ? "class=\"equation\"" : "class=\"station\"") +
                                        " data-station=\"" + t.text + "\"");
            g.prims.push_back(line(at - r * (t.equation ? 8.0 : 4.0), at + r * (5.0 + maxRight), "tick"));
            const bool placed = placeOutward(g, labels, at, r, 8.0 + maxRight, t.text, kSmallFont,
                                             t.equation ? "eql" : "stl", t.equation ? 30 : 3, t.equation);
            if (!placed && t.equation)
                labels.drop();
        }
}

// The offset of each offset line at its end, and the surveyed points with their labels
// (counted when there is no room).
void planOffsetsAndPoints(const Plot& p, Scene& scene, Labels& labels)
{
    for (double off : p.o->offsets) {
        double n = 0.0, e = 0.0;
        if (!p.alnt().getPosNeAtChainAndOffsetExtr(p.c1, off, n, e))
            continue;
        Group& g = scene.add(2);
        placeBeside(g, labels, p.map(n, e), (off > 0.0 ? "+" : "") + p.length(off), kSmallFont, "offl");
    }
    for (const Located& l : p.points) {
        const Pt at = p.map(l.point->north, l.point->east);
        Group& g = scene.add(4, "class=\"point\"");
        g.prims.push_back(line(at + Pt{-4, -4}, at + Pt{4, 4}, "pt"));
        g.prims.push_back(line(at + Pt{-4, 4}, at + Pt{4, -4}, "pt"));
        if (!placeBeside(g, labels, at, l.label, kSmallFont, "ptl", 12))
            labels.drop();
    }
}

// The plan before it is placed on the page, its labels within x0..x1 (the page's width in the
// plan's coordinates). Labels are placed in order of importance: joints (the road's ends
// first), PIs, station equations and stations, offsets and points. Returns the labels that
// found no place in `dropped`.
bool buildPlan(const Plot& p, Scene& scene, double x0, double x1, int& dropped, std::string& message)
{
    double maxLeft = 0.0, maxRight = 0.0;
    if (!planLines(p, scene, maxLeft, maxRight, message))
        return false;
    Labels labels;
    labels.setArea(x0, -1e300, x1, 1e300);
    for (const RoadKeyPoint& k : p.keys)   // the marks keep labels off them
        labels.takeMark(markBox(p.map(k.north, k.east), 5.0));
    planJoints(p, scene, labels, maxLeft);
    planPis(p, scene, labels, x0, x1);
    planTicks(p, scene, labels, maxRight);
    planOffsetsAndPoints(p, scene, labels);
    dropped = labels.dropped();
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

// The height range of the stretch: the design, the grade lines and the VIPs within it and the
// points beside it (metres).
void heightRange(const Plot& p, const CAlntHtPosCache& design, const std::vector<CLsInfo>& vips, double& lo,
                 double& hi)
{
    lo = 1e300;
    hi = -1e300;
    auto take = [&](double h) { lo = std::min(lo, h), hi = std::max(hi, h); };
    for (int i = 0; i < design.GetSize(); ++i)
        if (design[i].station >= p.c0 && design[i].station <= p.c1)
            take(design[i].height);
    for (size_t i = 0; i < vips.size(); ++i) {
        if (vips[i].chainage >= p.c0 && vips[i].chainage <= p.c1)
            take(vips[i].height);
        if (i + 1 < vips.size())
            for (double c : {p.c0, p.c1})
                if (c >= vips[i].chainage && c <= vips[i + 1].chainage && vips[i + 1].chainage > vips[i].chainage)
                    take(vips[i].height + (vips[i + 1].height - vips[i].height) * (c - vips[i].chainage) /
                                              (vips[i + 1].chainage - vips[i].chainage));
    }
    for (const Located& l : p.points)
        if (l.point->hasHeight && l.at.station >= p.c0 && l.at.station <= p.c1)
            take(l.point->height);
    if (lo > hi)
        lo = hi = 0.0;
}

// The VIPs within the stretch and one beyond each of its ends (for the grades through them).
std::vector<CLsInfo> vipsOfStretch(const Plot& p, const std::vector<CLsInfo>& all)
{
    std::vector<CLsInfo> out;
    for (size_t i = 0; i < all.size(); ++i) {
        const bool in = all[i].chainage >= p.c0 && all[i].chainage <= p.c1;
        const bool next = i + 1 < all.size() && all[i + 1].chainage >= p.c0;
        const bool prev = i > 0 && all[i - 1].chainage <= p.c1;
        if (in || (next && all[i].chainage < p.c0) || (prev && all[i].chainage > p.c1))
            out.push_back(all[i]);
    }
    return out;
}

// Why the page draws no profile. "none in the road file" was said of a profile of one VIP, of
// a page whose stretch lies beyond the profile's ends, and of a profile refused.
std::string noProfileText(const Plot& p, const RoadAlignment& source, const RoadBuild& build)
{
    if (build.profileRefused)
        return "\"" + source.profiles.front().name + "\" refused (line " + std::to_string(build.profileRefusal.line) +
               "): " + build.profileRefusal.message;
    if (build.profile < 0)
        return "none in the road file";
    const std::string name = "\"" + source.profiles[static_cast<size_t>(build.profile)].name + "\"";
    const std::vector<CLsInfo> all = RoadProfileVips(source, build);
    if (all.size() < 2)
        return name + " holds " + (all.empty() ? std::string("no VIP") : "one VIP only (" + p.station(all[0].chainage) + ")") +
               ": no design line to draw";
    return name + " runs from " + p.station(all.front().chainage) + " to " + p.station(all.back().chainage) +
           ", not along this stretch";
}

// The part of a polyline between x0 and x1 (x increasing along it).
std::vector<Pt> clipX(const std::vector<Pt>& pts, double x0, double x1)
{
    std::vector<Pt> out;
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
        const Pt a = pts[i], b = pts[i + 1];
        if (b.x < x0 || a.x > x1 || !(b.x > a.x))
            continue;
        auto at = [&](double x) { return Pt{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; };
        if (out.empty())
            out.push_back(a.x < x0 ? at(x0) : a);
        out.push_back(b.x > x1 ? at(x1) : b);
    }
    return out;
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
        const Prim t = hText({f.xLeft - 6.0, y + 3.5}, "end", fixed(p.display(h), decimals), kSmallFont, "axl");
        if (labels.isFree(t.box)) {
            labels.take(t.box);
            grid.prims.push_back(t);
        }
    }
    // Equations first, a row lower when their own row is taken; then the stations with room.
    for (bool equations : {true, false})
        for (const Tick& t : p.ticks) {
            if (t.equation != equations)
                continue;
            const double x = f.at(t.chain, 0.0).x;
            grid.prims.push_back(line({x, yTop}, {x, yBottom + 4.0}, equations ? "eqgrid" : "grid"));
            bool placed = false;
            for (int row = 0; row < (equations ? 3 : 1) && !placed; ++row) {
                const Prim l = hText({x, yBottom + 15.0 + 13.0 * row}, "middle", t.text, kSmallFont, equations ? "eql" : "axl");
                if ((placed = labels.isFree(l.box))) {
                    labels.take(l.box);
                    grid.prims.push_back(l);
                }
            }
            if (!placed && equations)
                labels.drop();
        }
    grid.prims.push_back(line({f.xLeft, yBottom}, {f.xRight, yBottom}, "axis"));
    grid.prims.push_back(line({f.xLeft, yBottom}, {f.xLeft, yTop}, "axis"));
}

// Each tangent's grade in percent, along it, midway between the curves at its ends; only where
// the tangent is longer than its label and the label is clear of the others (the VIPs' labels
// come first).
void profileGrades(const Plot& p, const ProfileFrame& f, const std::vector<CLsInfo>& vips, Scene& scene, Labels& labels)
{
    for (size_t i = 0; i + 1 < vips.size(); ++i) {
        const CLsInfo &a = vips[i], &b = vips[i + 1];
        if (!(b.chainage - a.chainage > 1e-9))
            continue;
        const double g = (b.height - a.height) / (b.chainage - a.chainage);
        const double from = std::max(p.c0, a.curveLen > 0.0 ? a.curveStart + a.curveLen : a.chainage);
        const double to = std::min(p.c1, b.curveLen > 0.0 ? b.curveStart : b.chainage);
        const Pt d = f.at(b.chainage, b.height) - f.at(a.chainage, a.height);
        const Pt u = d * (1.0 / std::sqrt(dot(d, d)));
        const std::string text = (g > 0.0 ? "+" : "") + fixed(100.0 * g, 2) + "%";
        const double w = textWidth(text, kFont, true);
        if (f.s * (to - from) < w + 8.0)
            continue;
        // Midway above the line, then below it, then nearer either end.
        auto candidate = [&](double at, double side) {
            const double c = from + at * (to - from);
            const Pt m = f.at(c, a.height + g * (c - a.chainage));
            const double toCentre = 5.0 + 0.5 * (kTextAbove + side * -kTextBelow + (side > 0 ? 0.0 : 2.0 * kTextBelow)) * kFont;
            Prim t = hText(m, "middle", text, kFont, "grade", true);
            t.angle = std::atan2(u.y, u.x) * kDegPerRad;
            t.box = Box{m + right(u) * (-side * toCentre), u, w / 2 + 1.0, 0.5 * (kTextAbove + kTextBelow) * kFont + 1.0};
            // The baseline lies below the box's centre line, across the text.
            t.pts = {t.box.c + right(u) * (0.5 * (kTextAbove - kTextBelow) * kFont)};
            return t;
        };
        Prim t;
        bool found = false;
        for (double at : {0.5, 0.3, 0.7, 0.2, 0.8})
            for (double side : {1.0, -1.0})
                if (!found && labels.isFree((t = candidate(at, side)).box))
                    found = true;
        if (!found)
            continue;
        labels.take(t.box);
        scene.add(4, "class=\"grade\"").prims.push_back(t);
    }
}

// Whether VIP i is a sag (grade rising through it).
bool isSag(const std::vector<CLsInfo>& vips, size_t i)
{
    if (i == 0 || i + 1 >= vips.size())
        return false;
    const CLsInfo& v = vips[i];
    const double gIn = (v.height - vips[i - 1].height) / (v.chainage - vips[i - 1].chainage);
    const double gOut = (vips[i + 1].height - v.height) / (vips[i + 1].chainage - v.chainage);
    return gOut > gIn;
}

// The label of VIP i: its station, height and curve (length; radius of an arc), above it (below
// a sag) and then on the other side, moved out a little while another label is in the way; the
// first VIP's reads to the right, the last one's to the left. False when it finds no place.
bool profileVipLabel(const Plot& p, const ProfileFrame& f, const std::vector<CLsInfo>& vips, size_t i, Group& g,
                     Labels& labels)
{
    const CLsInfo& v = vips[i];
    const Pt m = f.at(v.chainage, v.height);
    const std::string curve = v.curveLen > 0.0 ? (v.radius != 0.0 ? "R " + p.length(std::fabs(v.radius)) + "  " : std::string()) +
                                                     "L " + p.length(v.curveLen)
                                               : std::string();
    const std::string first = "VIP " + p.station(v.chainage) + "  " + p.length(v.height);
    const double w = std::max(textWidth(first, kFont), textWidth(curve, kFont));
    const double h = (curve.empty() ? 1.0 : 2.0) * 1.25 * kFont;
    const std::string anchors[3] = {i == 0 ? "start" : i + 1 == vips.size() ? "end" : "middle", "start", "end"};
    const bool sag = isSag(vips, i);
    for (int side = 0; side < 2; ++side)
        for (const std::string& anchor : anchors)
            for (int k = 0; k < 6; ++k) {
                const bool below = sag != (side == 1);
                const double ax = anchor == "start" ? m.x - 4 : anchor == "end" ? m.x + 4 : m.x;
                const double cx = anchor == "start" ? ax + w / 2 : anchor == "end" ? ax - w / 2 : ax;
                const double gap = 9.0 + 6.0 * k;
                const Box box{{cx, below ? m.y + gap + h / 2 : m.y - gap - h / 2}, {1.0, 0.0}, w / 2 + 1.0, h / 2 + 1.0};
                const double top = box.c.y - h / 2;
                const Pt from = m + Pt{0, below ? 4.0 : -5.0}, to{m.x, below ? top : top + h};
                if (!labels.isFree(box) || !labels.leaderFree(from, to))
                    continue;
                labels.take(box);
                labels.takeLeader(from, to);
                g.prims.push_back(line(from, to, "lead"));
                g.prims.push_back(hText({ax, top + 0.95 * kFont}, anchor, first, kFont, "vipl"));
                if (!curve.empty())
                    g.prims.push_back(hText({ax, top + 2.2 * kFont}, anchor, curve, kFont, "vipl"));
                return true;
            }
    return false;
}

// The VIPs: every one marked with the ends of its vertical curve; labels by priority (the
// profile's ends, then the VIPs with vertical curves by the grade change, then the others by
// the grade change), each where it finds room, the others counted.
void profileVips(const Plot& p, const ProfileFrame& f, const std::vector<CLsInfo>& vips, Scene& scene, Labels& labels)
{
    std::vector<Group*> groups;
    std::vector<std::pair<double, size_t>> order;
    for (size_t i = 0; i < vips.size(); ++i) {
        const CLsInfo& v = vips[i];
        groups.push_back(nullptr);
        if (v.chainage < p.c0 - 1e-6 || v.chainage > p.c1 + 1e-6)
            continue;   // beyond the stretch: its grades only
        const Pt m = f.at(v.chainage, v.height);
        Group& g = scene.add(4, "class=\"vip\" data-station=\"" + p.station(v.chainage) + "\"");
        g.prims.push_back(polyline({m + Pt{0, -5}, m + Pt{4.5, 3}, m + Pt{-4.5, 3}}, "vipm", true));
        for (double c : {v.curveStart, v.curveStart + v.curveLen}) {
            double h = 0.0;
            if (v.curveLen > 0.0 && p.alnt().getPosHAtChain(c, h))
                g.prims.push_back(line(f.at(c, h) + Pt{0, -5}, f.at(c, h) + Pt{0, 5}, "tick"));
        }
        groups.back() = &g;
        double change = 0.0;
        if (i > 0 && i + 1 < vips.size())
            change = std::fabs((vips[i + 1].height - v.height) / (vips[i + 1].chainage - v.chainage) -
                               (v.height - vips[i - 1].height) / (v.chainage - vips[i - 1].chainage));
        const double rank = i == 0 || i + 1 == vips.size() || vips[i - 1].chainage < p.c0 || vips[i + 1].chainage > p.c1
                                ? 1e9 : (v.curveLen > 0.0 ? 1e6 : 0.0) + change;
        order.emplace_back(-rank, i);
    }
    std::stable_sort(order.begin(), order.end());
    for (const auto& o : order)
        if (groups[o.second] && !profileVipLabel(p, f, vips, o.second, *groups[o.second], labels))
            labels.drop();
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
        if (!placeBeside(g, labels, q, l.label, kSmallFont, "ptl", 12))
            labels.drop();
    }
}

// The profile below the plan: stations across from xLeft at the plan's scale; the exaggeration
// the largest of 1, 2, 5 times a power of ten that keeps the heights within 200 px.
bool buildProfile(const Plot& p, double xLeft, Scene& scene, double& exaggeration, int& dropped, std::string& message)
{
    const CAlnt& alnt = p.alnt();
    const std::vector<CLsInfo> vips = vipsOfStretch(p, RoadProfileVips(*p.source, *p.build));
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
    labels.setArea(kMargin + 2.0, -1e300, p.o->width - kMargin - 2.0, 1e300);
    for (const CLsInfo& v : vips)
        if (v.chainage >= p.c0 && v.chainage <= p.c1)
            labels.takeMark(markBox(f.at(v.chainage, v.height), 5.0));
    profileGrid(p, f, scene, labels);
    std::vector<Pt> gradeLine, designLine;
    for (const CLsInfo& v : vips)
        gradeLine.push_back(f.at(v.chainage, v.height));
    scene.add(1, "class=\"grade-line\"").prims.push_back(polyline(clipX(gradeLine, f.xLeft, f.xRight), "gl"));
    for (int i = 0; i < design.GetSize(); ++i)
        designLine.push_back(f.at(design[i].station, design[i].height));
    designLine = clipX(designLine, f.xLeft, f.xRight);
    scene.add(2, "id=\"design-line\"").prims.push_back(polyline(designLine, "dl"));
    profileVips(p, f, vips, scene, labels);
    profileGrades(p, f, vips, scene, labels);
    profilePoints(p, f, scene, labels);
    dropped = labels.dropped();
    return true;
}

// ---------------------------------------------------------------------------------------------
// The page

// Font sizes and weights are each text's own attributes (its box was measured with them); the
// style sets the font family and the colours.
const char* const kStyle =
    ".sub{fill:#555}.note{fill:#444}.eql{fill:#8e44ad}.ptl{fill:#1565c0}"
    ".pil{fill:#2c3e50;font-style:italic}.grade{fill:#1b5e20}"
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
    g.prims.push_back(hText(c + u * 32.0 + Pt{0, 4.5}, "middle", "N", 13.0, "head", true));
}


// Px per metre of paper on a screen of 96 dpi (96 px per inch): px per metre of ground at 1:1.
double pxPerMetreAt96Dpi()
{
    return 96.0 / (kIFootInMeters * kFootPerInch);
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
    // The scale the plan is drawn at, which --scale only approaches (each page fits its stretch
    // to the width): a plot printed to measure on must say what it is.
    char scale[48];
    std::snprintf(scale, sizeof scale, "1:%.0f", pxPerMetreAt96Dpi() / p.s);
    g.attrs += " data-scale=\"" + std::string(scale) + "\"";
    g.prims.push_back(hText(left + Pt{0, 28}, "start", std::string(scale) + " at 96 dpi", kSmallFont, "axl"));
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

// Room kept free at each side of the plan's lines for labels, px.
const double kLabelRoom = 40.0;

// The extent of the plan's lines and PIs before it is placed (no labels).
bool lineBounds(const Plot& p, double& x0, double& y0, double& x1, double& y1, std::string& message)
{
    Scene lines;
    double maxLeft = 0.0, maxRight = 0.0;
    if (!planLines(p, lines, maxLeft, maxRight, message))
        return false;
    // At a scale asked for, the PIs do not widen the plan: those beyond the page's width are
    // left out instead.
    Group& g = lines.add(0);
    for (const RoadKeyPoint& k : p.keys)
        if (!(k.isPi && p.o->pxPerMetre > 0.0))
            g.prims.push_back(circle(p.map(k.north, k.east), 5.0, ""));
    lines.bounds(x0, y0, x1, y1);
    return true;
}

// The plan at the profile's scale (the stations filling the page) unless its lines need a
// smaller one; `dx` moves it onto the page, its start below the profile's where the page
// allows, so that its lines keep kLabelRoom from the page's sides and its labels keep within
// them. Its extent before the move in y0, y1; the labels without room in `dropped`.
bool layOutPlan(Plot& p, double length, Scene& plan, double& dx, double& y0, double& y1, int& dropped,
                std::string& message)
{
    const double W = p.o->width, room = W - 2 * kMargin - 2 * kLabelRoom;
    p.s = p.o->pxPerMetre > 0.0 ? p.o->pxPerMetre : (W - 2 * kMargin - kAxisLeft - kRightPad) / length;
    double x0 = 0.0, x1 = 0.0;
    for (int pass = 0; pass < 8; ++pass) {
        if (!lineBounds(p, x0, y0, x1, y1, message))
            return false;
        if (x1 - x0 <= room)
            break;
        p.s *= 0.99 * room / (x1 - x0);
    }
    const Pt pob = p.start;
    const double lo = kMargin + kLabelRoom - x0, hi = std::max(lo, W - kMargin - kLabelRoom - x1);
    dx = std::min(std::max(kMargin + kAxisLeft - pob.x, lo), hi);
    p.interval = p.o->interval > 0.0 ? p.o->interval : niceAtLeast(55.0 / (p.s * p.metresPerUnit()));
    p.ticks.clear();
    plan = Scene();
    if (!makeTicks(p, message) || !buildPlan(p, plan, kMargin + 1.0 - dx, W - kMargin - 1.0 - dx, dropped, message))
        return false;
    plan.bounds(x0, y0, x1, y1);
    return true;
}

// Title, the road's stations and length, the subtitle; returns the y below them.
// `text` shortened at its end with "…" so that it takes at most `width` px (whole UTF-8
// characters are cut).
std::string fitWidth(const std::string& text, double size, bool bold, double width)
{
    if (textWidth(text, size, bold) <= width)
        return text;
    const std::string ellipsis = "\xE2\x80\xA6";
    std::string cut = text;
    while (!cut.empty() && textWidth(cut + ellipsis, size, bold) > width) {
        unsigned char last;
        do {   // one character: its continuation bytes, then its first byte
            last = static_cast<unsigned char>(cut.back());
            cut.pop_back();
        } while (!cut.empty() && (last & 0xC0) == 0x80);
    }
    return cut + ellipsis;
}

double titleBlock(Scene& page, const Plot& p, const std::string& title, double length, bool hasProfile)
{
    double y = kMargin;
    // Each line within the page: a long --title or file name ran off its right edge.
    const double width = p.o->width - 2 * kMargin;
    const std::string suffix = " \xE2\x80\x94 plan and profile";
    page.add(0).prims.push_back(hText({kMargin, y + 18}, "start",
                                      fitWidth(title, 20, true, width - textWidth(suffix, 20, true)) + suffix, 20, "title", true));
    std::string facts = "stations " + p.station(p.c0) + " to " + p.station(p.c1) + ", length " + p.length(length) + " " +
                        p.unitName();
    if (hasProfile)
        facts += ", profile \"" + p.source->profiles[p.build->profile].name + "\"";
    page.add(0).prims.push_back(hText({kMargin, y + 38}, "start", fitWidth(facts, 12, false, width), 12, "sub"));
    y += 44;
    if (!p.o->pageText.empty()) {
        page.add(0).prims.push_back(hText({kMargin, y + 12}, "start", fitWidth(p.o->pageText, 12, false, width), 12, "sub"));
        y += 16;
    }
    if (!p.o->subtitle.empty()) {
        page.add(0).prims.push_back(hText({kMargin, y + 12}, "start", fitWidth(p.o->subtitle, 12, false, width), 12, "sub"));
        y += 16;
    }
    return y + 14;
}

// The note of the labels that found no place, below `y`; returns the y below it.
double notShown(Scene& page, int count, double y, double width)
{
    if (count == 0)
        return y;
    const std::string text = std::to_string(count) + (count == 1 ? " label" : " labels") +
                             " not shown for want of room; see `fieldcore road info` (or plot on more pages)";
    Group& g = page.add(0, "id=\"labels-not-shown\" data-count=\"" + std::to_string(count) + "\"");
    g.prims.push_back(hText({kMargin + 10, y + 16}, "start", text, kFont, "note"));
    (void)width;
    return y + 24;
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
    out += "<style>text{font-family:" + std::string(kFontFamily) + ";fill:#222}" + kStyle + "</style>\n";
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

// The stretch's long axis across the page, its start on the left, and its key points.
bool orient(Plot& p, std::string& message)
{
    std::vector<RoadSampleVertex> coarse, kept;
    if (!SampleRoadCentreline(p.alnt(), std::max(kRoadMinDeviation, (p.w1 - p.w0) * 1e-4), coarse)) {
        message = "the centreline cannot be sampled";
        return false;
    }
    for (double c : {p.c0, p.c1}) {
        RoadSampleVertex v;
        v.station = c;
        p.alnt().getPosNeAtChainExtr(c, v.north, v.east);
        kept.push_back(v);
    }
    for (const RoadSampleVertex& v : coarse)
        if (v.station > p.c0 && v.station < p.c1)
            kept.insert(kept.end() - 1, v);
    p.az = longAxis(kept);
    p.n0 = kept.front().north;
    p.e0 = kept.front().east;
    p.start = p.map(p.n0, p.e0);
    for (const RoadKeyPoint& k : RoadKeyPoints(*p.build))
        if (k.isPi ? k.station <= p.c1 && k.toStation >= p.c0 : k.station >= p.c0 - 1e-6 && k.station <= p.c1 + 1e-6)
            p.keys.push_back(k);
    return true;
}

// A key map of the whole road in the box at (x, y) of `width` x at most `height`: the
// centreline and where each page's stretch begins, numbered. Returns the height used.
double keyMap(Scene& page, const Plot& p, double x, double y, double width, double height)
{
    Group& g = page.add(0, "id=\"key-map\"");
    g.prims.push_back(hText({x, y + 14}, "start", "Key map: the pages", 12, "sub", true));
    std::vector<RoadSampleVertex> v;
    if (!SampleRoadCentreline(p.alnt(), std::max(kRoadMinDeviation, (p.w1 - p.w0) * 1e-3), v) || v.size() < 2)
        return 20.0;
    const double az = longAxis(v);
    double a0 = 1e300, a1 = -1e300, l0 = 1e300, l1 = -1e300;
    auto along = [&](double n, double e) { return (n - v[0].north) * std::cos(az) + (e - v[0].east) * std::sin(az); };
    auto left = [&](double n, double e) { return (n - v[0].north) * std::sin(az) - (e - v[0].east) * std::cos(az); };
    for (const RoadSampleVertex& q : v) {
        a0 = std::min(a0, along(q.north, q.east)), a1 = std::max(a1, along(q.north, q.east));
        l0 = std::min(l0, left(q.north, q.east)), l1 = std::max(l1, left(q.north, q.east));
    }
    const double k = std::min((width - 40) / std::max(a1 - a0, 1e-9), (height - 50) / std::max(l1 - l0, 1e-9));
    height = std::min(height, k * (l1 - l0) + 50);
    auto map = [&](double n, double e) { return Pt{x + 20 + k * (along(n, e) - a0), y + 30 + k * (l1 - left(n, e))}; };
    std::vector<Pt> line;
    for (const RoadSampleVertex& q : v)
        line.push_back(map(q.north, q.east));
    g.prims.push_back(polyline(line, "cl"));
    Labels labels;
    labels.setArea(x, y + 18, x + width, y + height);
    for (size_t i = 0; i < p.o->keyMap.size(); ++i) {
        double n = 0.0, e = 0.0;
        p.alnt().getPosNeAtChainExtr(p.o->keyMap[i].first, n, e);
        const Pt at = map(n, e);
        g.prims.push_back(circle(at, 3.0, "jm"));
        labels.takeMark(markBox(at, 3.5));
        placeBeside(g, labels, at, std::to_string(i + 1), kSmallFont, "", 6, true);
    }
    return height;
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
    p.w0 = alnt.getStartChainageInM();
    p.w1 = p.w0 + length;
    p.c0 = std::isnan(o.fromChain) ? p.w0 : std::max(p.w0, o.fromChain);
    p.c1 = std::isnan(o.toChain) ? p.w1 : std::min(p.w1, o.toChain);
    if (!(p.c1 - p.c0 > 1e-6)) {
        message = "the stretch to draw holds no part of the alignment";
        return false;
    }
    length = p.c1 - p.c0;
    if (!orient(p, message))
        return false;
    Scene plan, profile, page;
    double dx = 0, y0 = 0, y1 = 0, exaggeration = 1.0;
    int planDropped = 0, profileDropped = 0;
    const double W = o.width, xLeft = kMargin + kAxisLeft;
    const bool hasProfile = build.profile >= 0 && alnt.getNumOfVes() >= 2 &&
                            vipsOfStretch(p, RoadProfileVips(source, build)).size() >= 2;
    if (!locatePoints(p, message) || !layOutPlan(p, length, plan, dx, y0, y1, planDropped, message) ||
        (hasProfile && !buildProfile(p, xLeft, profile, exaggeration, profileDropped, message)))
        return false;

    const std::string title = o.title.empty() ? source.name : o.title;
    double y = titleBlock(page, p, title, length, hasProfile);
    // Plan: heading, scale bar and north arrow above the drawing; its start below the
    // profile's where the page allows.
    const double planTop = y;
    page.add(0).prims.push_back(hText({kMargin + 10, y + 30}, "start", "Plan", 14, "head", true));
    scaleBar(page, p, {kMargin + 70, y + 30});
    northArrow(page, p, {W - kMargin - 52, y + 42});
    y += 76;
    const Pt planShift{dx, y - y0};
    y += (y1 - y0) + 12;
    frame(page, planTop, y, W);
    // Profile: heading, drawing.
    y += 14;
    const double profileTop = y;
    char ve[32];
    std::snprintf(ve, sizeof ve, "%g", exaggeration);
    const std::string head = hasProfile ? "Profile: heights in " + p.unitName() + ", vertical exaggeration " + ve + "\xC3\x97"
                                        : "Profile: " + noProfileText(p, source, build);
    page.add(0).prims.push_back(hText({kMargin + 10, y + 22}, "start", head, 14, "head", true));
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
    if (!o.keyMap.empty()) {
        y += keyMap(page, p, kMargin + 10, y + 8, std::min(W - 2 * kMargin - 20, 500.0), 220.0) + 16;
    }
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
    y = notShown(page, planDropped + profileDropped, y, W);
    if (notDrawn)
        *notDrawn = p.strays;
    svg = document(title, W, std::ceil(y + kMargin), page, plan, planShift, profile, profileShift);
    return true;
}

bool RoadPlotPages(const RoadAlignment& source, const RoadBuild& build, const RoadPlotOptions& options,
                   const RoadPlotLayout& layout, std::vector<std::string>& pages, std::string& message,
                   std::vector<std::string>* notDrawn)
{
    double length = 0.0;
    if (build.alnt.getNumOfHes() == 0 || !build.alnt.getHLengthInM(length) || !(length > 0.0))
        return message = "the alignment has no length", false;
    if (layout.pages < 0 || !(layout.scale >= 0.0) || !std::isfinite(layout.scale))
        return message = "the number of pages and the scale must be positive", false;
    // Px per metre on one page, and the pages that keep the plan readable or at the scale asked
    // (a screen of 96 dpi: 96 px per inch of paper).
    const double usable = options.width - 2 * kMargin - kAxisLeft - kRightPad, s1 = usable / length;
    const double want = layout.scale > 0.0 ? pxPerMetreAt96Dpi() / layout.scale : kRoadPlotReadable;
    double count = layout.pages > 0 ? layout.pages : std::max(1.0, std::ceil(want / s1 - 1e-9));
    // At a scale asked for, each page's stretch with its overlaps (a tenth more) must fit the
    // narrower of the profile's width and the plan's room at that scale.
    const double fits = std::min(usable, options.width - 2 * kMargin - 2 * kLabelRoom);
    if (layout.scale > 0.0 && count > 1.0)
        count = std::ceil(length * 1.1 * want / fits - 1e-9);
    if (count > kRoadPlotMaxPages)
        return message = "the plot would take " + fixed(count, 0) + " pages (at most " +
                         std::to_string(kRoadPlotMaxPages) + "): give --pages or a smaller scale", false;
    const int n = static_cast<int>(count);
    const double c0 = build.alnt.getStartChainageInM(), step = length / n, overlap = n > 1 ? step / 20.0 : 0.0;
    RoadPlotOptions o = options;
    if (layout.scale > 0.0)
        o.pxPerMetre = want;
    for (int k = 0; k < n; ++k)
        o.keyMap.emplace_back(std::max(c0, c0 + k * step - overlap), std::min(c0 + length, c0 + (k + 1) * step + overlap));
    std::vector<std::string> out;
    for (int k = 0; k < n; ++k) {
        RoadPlotOptions page = o;
        page.fromChain = o.keyMap[static_cast<size_t>(k)].first;
        page.toChain = o.keyMap[static_cast<size_t>(k)].second;
        if (n > 1)
            page.pageText = "page " + std::to_string(k + 1) + " of " + std::to_string(n);
        if (k > 0 || n == 1)
            page.keyMap.clear();
        out.emplace_back();
        if (!RoadPlotSvg(source, build, page, out.back(), message, k == 0 ? notDrawn : nullptr))
            return false;
    }
    pages = out;
    return true;
}
