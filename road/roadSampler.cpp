#include "road/roadSampler.h"

#include "road/roadBuilder.h"
#include "road/roadLocator.h"

#include <algorithm>
#include <cmath>

namespace {

// Station steps of the offset line never turn the direction by more than this (radians), so
// that the chord bound below holds with room.
constexpr double kMaxStepTurn = 0.2;
// The smallest station step of the offset line (metres), as the position cache's.
constexpr double kMinStep = 0.001;
// Where 1 - k * offset falls below this the offset curve has a cusp: its curvature is taken
// as k / kCuspFloor.
constexpr double kCuspFloor = 0.01;

bool usableDeviation(double deviation)
{
    return std::isfinite(deviation) && deviation >= kRoadMinDeviation;
}

// The curve's point at the middle of the chord a-b strays further than `deviation` from the
// chord's line: the middle point is inserted and both halves are checked again.
bool refineChord(const CAlnt& alnt, const C2dPosAndSt& a, const C2dPosAndSt& b, double deviation, int depth,
                 std::vector<C2dPosAndSt>& out)
{
    const double sm = 0.5 * (a.station + b.station);
    RoadLocation m;
    if (!RoadPointAt(alnt, sm, 0.0, m))
        return false;
    const double un = b.north - a.north, ue = b.east - a.east;
    const double len = std::sqrt(un * un + ue * ue);
    const double away = len > 0.0 ? std::fabs(un * (m.footEast - a.east) - ue * (m.footNorth - a.north)) / len : 0.0;
    if (depth >= 30 || !(away > deviation) || !(b.station - a.station > 2.0 * kMinStep))
        return true;
    C2dPosAndSt mid;
    mid.north = m.footNorth;
    mid.east = m.footEast;
    mid.station = sm;
    if (!refineChord(alnt, a, mid, deviation, depth + 1, out))
        return false;
    out.push_back(mid);
    return refineChord(alnt, mid, b, deviation, depth + 1, out);
}

void appendVertex(std::vector<RoadSampleVertex>& out, double station, double offset, double north, double east)
{
    RoadSampleVertex v;
    v.station = station;
    v.offset = offset;
    v.north = north;
    v.east = east;
    out.push_back(v);
}

// The largest station step from l inside the piece (at most `rest`) whose chord on the offset
// curve stays within `deviation`: a curve of length s whose curvature stays below K departs
// from its chord by at most K s^2 / 8. On the offset curve the curvature is k / (1 - k o) and
// the length (1 - k o) times the station step; k is linear along the piece, so its extremes
// over the step are at its ends.
double offsetStep(const RoadCurvePiece& p, double l, double rest, double offset, double deviation)
{
    double h = rest;
    for (int i = 0; i < 60 && h > kMinStep; ++i) {
        const double k0 = p.curvatureAt(l), k1 = p.curvatureAt(l + h);
        const double s0 = 1.0 - k0 * offset, s1 = 1.0 - k1 * offset;
        const double stretch = std::max(std::fabs(s0), std::fabs(s1));
        const double squeeze = std::max(std::min(s0, s1), kCuspFloor);
        const double kMax = std::max(std::fabs(k0), std::fabs(k1));
        const double turn = kMax * h;
        const double sag = kMax / squeeze * (stretch * h) * (stretch * h) / 8.0;
        if (sag <= deviation && turn <= kMaxStepTurn)
            return h;
        double shrink = 0.5;
        if (sag > deviation)
            shrink = std::min(std::max(0.95 * std::sqrt(deviation / sag), 0.1), 0.95);
        if (turn > kMaxStepTurn)
            shrink = std::min(shrink, 0.95 * kMaxStepTurn / turn);
        h *= shrink;
    }
    return std::min(std::max(h, kMinStep), rest);
}

double largestCurvature(const std::vector<RoadCurvePiece>& pieces)
{
    double k = 0.0;
    for (const RoadCurvePiece& p : pieces)
        k = std::max(k, std::max(std::fabs(p.kFrom), std::fabs(p.kTo)));
    return k;
}

} // namespace

bool LoadRoadCentreline(const CAlnt& alnt, double deviation, CAlnt2dPosCache& cache)
{
    UseRoadTolerances();
    CAlnt2dPosCache loaded;
    if (!usableDeviation(deviation) || !loaded.loadNodesAndPosForDeviation(alnt, deviation))
        return false;
    // The vertices again in order, with the halving points of the chords that stray.
    const C2dPosAndSt* v = loaded.GetData();
    const int count = loaded.GetSize();
    CAlnt2dPosCache refined;
    std::vector<C2dPosAndSt> extra;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            extra.clear();
            if (!refineChord(alnt, v[i - 1], v[i], deviation, 0, extra))
                return false;
            for (const C2dPosAndSt& x : extra)
                refined.addVertex(x, false);
        }
        refined.addVertex(v[i], loaded.getNodes().isNode(i));
    }
    cache = refined;
    return true;
}

bool SampleRoadCentreline(const CAlnt& alnt, double deviation, std::vector<RoadSampleVertex>& out)
{
    CAlnt2dPosCache cache;
    if (!LoadRoadCentreline(alnt, deviation, cache))
        return false;
    std::vector<RoadSampleVertex> line;
    line.reserve(cache.GetSize());
    for (int i = 0; i < cache.GetSize(); ++i) {
        const C2dPosAndSt& v = cache.GetData()[i];
        appendVertex(line, v.station, 0.0, v.north, v.east);
    }
    out.swap(line);
    return true;
}

bool SampleRoadOffsetLine(const CAlnt& alnt, double offset, double deviation, std::vector<RoadSampleVertex>& out)
{
    UseRoadTolerances();
    std::vector<RoadCurvePiece> pieces;
    if (!usableDeviation(deviation) || !std::isfinite(offset) || alnt.getNumOfHes() == 0 ||
        !RoadCurvePieces(alnt, pieces))
        return false;
    std::vector<RoadSampleVertex> line;
    auto add = [&](double station) {
        if (!line.empty() && !(station > line.back().station))
            return true;   // a joint, already written as the end of the piece before
        RoadLocation p;
        if (!RoadPointAt(alnt, station, offset, p))
            return false;
        appendVertex(line, station, offset, p.north, p.east);
        return true;
    };
    for (const RoadCurvePiece& p : pieces) {
        double start = 0.0;
        if (!alnt.getHe(p.element)->getStartChainageInM(start))
            return false;
        double l = p.from;
        if (!add(start + l))
            return false;
        while (l < p.to) {
            const double rest = p.to - l;
            double next = l + offsetStep(p, l, rest, offset, deviation);
            if (p.to - next < kMinStep)
                next = p.to;
            if (!add(start + next))
                return false;
            l = next;
        }
    }
    out.swap(line);
    return true;
}

bool RoadLargestCurvature(const CAlnt& alnt, double& curvature)
{
    UseRoadTolerances();
    std::vector<RoadCurvePiece> pieces;
    if (!RoadCurvePieces(alnt, pieces))
        return false;
    curvature = largestCurvature(pieces);
    return true;
}

bool RoadOffsetFolds(const CAlnt& alnt, double offset, double from, double to, RoadOffsetFold& fold)
{
    UseRoadTolerances();
    std::vector<RoadCurvePiece> pieces;
    if (!std::isfinite(offset) || offset == 0.0 || !RoadCurvePieces(alnt, pieces))
        return false;
    bool found = false;
    RoadOffsetFold f;
    for (const RoadCurvePiece& p : pieces) {
        double start = 0.0;
        if (!alnt.getHe(p.element)->getStartChainageInM(start))
            return false;
        // offset * k >= 1 where the offset reaches the centre; k changes linearly along the
        // piece, so the stretch is one interval bounded by the ends or the crossing.
        const double a = offset * p.kFrom, b = offset * p.kTo;
        if (a < 1.0 && b < 1.0) {
            if (found)
                break;
            continue;
        }
        double l0 = p.from, l1 = p.to;
        if (a < 1.0)
            l0 = p.from + (1.0 - a) / (b - a) * (p.to - p.from);
        else if (b < 1.0)
            l1 = p.from + (1.0 - a) / (b - a) * (p.to - p.from);
        const double c0 = std::max(start + l0, from), c1 = std::min(start + l1, to);
        if (c0 > c1)
            continue;
        // The first stretch, joined with those right after it (a spiral, its arc, the next
        // spiral): one report for one curve.
        const double radius = 1.0 / std::max(std::fabs(p.curvatureAt(c0 - start)), std::fabs(p.curvatureAt(c1 - start)));
        if (found && c0 > f.to + 1e-9)
            break;
        f.from = found ? f.from : c0;
        f.to = c1;
        f.radius = found ? std::min(f.radius, radius) : radius;
        found = true;
    }
    if (found)
        fold = f;
    return found;
}

namespace {

// The table's offset at a station between its first and last (linear between pairs).
double tableOffsetAt(const std::vector<StAndOffset>& table, double station)
{
    if (station <= table.front().station)
        return table.front().offset;
    for (size_t i = 1; i < table.size(); ++i) {
        const StAndOffset &a = table[i - 1], &b = table[i];
        if (station <= b.station)
            return a.offset + (b.offset - a.offset) * (station - a.station) / (b.station - a.station);
    }
    return table.back().offset;
}

// Offset-line vertices this close (metres of station) to the line's ends are its ends.
const double kEndGap = 1e-6;

} // namespace

bool SampleRoadOffsetTable(const CAlnt& alnt, const std::vector<StAndOffset>& table, double deviation,
                           std::vector<RoadSampleVertex>& out)
{
    UseRoadTolerances();
    std::vector<RoadCurvePiece> pieces;
    if (table.size() < 2 || !usableDeviation(deviation) || !RoadCurvePieces(alnt, pieces))
        return false;
    double widest = 0.0;
    TXContainerCArray<StAndOffset> pairs;
    for (size_t i = 0; i < table.size(); ++i) {
        if (!std::isfinite(table[i].station) || !std::isfinite(table[i].offset) ||
            (i > 0 && !(table[i].station > table[i - 1].station)))
            return false;
        widest = std::max(widest, std::fabs(table[i].offset));
        pairs.Add(table[i]);
    }
    const double sourceDeviation = std::max(deviation / (1.0 + widest * largestCurvature(pieces)), kRoadMinDeviation);
    CAlnt2dPosCache centre, line;
    if (!LoadRoadCentreline(alnt, sourceDeviation, centre) || !OffsetPoints(centre, line, pairs))
        return false;
    // The line's ends: the table's first and last stations within the alignment, with the
    // offsets interpolated there. The offset rules start square to the first chord and close a
    // stretch only where its offset changes, so that a last stretch of constant offset stopped at
    // the last cache vertex before its end (up to a whole line element short). Both ends are
    // therefore the exact points at their station and offset.
    double first = alnt.getStartChainageInM(), last;
    if (!alnt.getFinalChainageInM(last))
        return false;
    const double from = std::max(table.front().station, first), to = std::min(table.back().station, last);
    if (!(to > from))
        return false;
    RoadLocation a, b;
    if (!RoadPointAt(alnt, from, tableOffsetAt(table, from), a) || !RoadPointAt(alnt, to, tableOffsetAt(table, to), b))
        return false;
    std::vector<RoadSampleVertex> result;
    result.reserve(line.GetSize() + 2);
    appendVertex(result, from, a.offset, a.north, a.east);
    for (int i = 0; i < line.GetSize(); ++i) {
        const C2dPosAndSt& v = line.GetData()[i];
        if (!(v.station > from + kEndGap && v.station < to - kEndGap))
            continue;
        RoadLocation c;
        if (!RoadPointAt(alnt, v.station, 0.0, c))
            return false;
        const double across = (v.east - c.footEast) * std::cos(c.azimuth) - (v.north - c.footNorth) * std::sin(c.azimuth);
        appendVertex(result, v.station, across, v.north, v.east);
    }
    appendVertex(result, to, b.offset, b.north, b.east);
    out.swap(result);
    return true;
}

bool AddRoadProfileVertices(const CAlnt& alnt, double deviation, std::vector<RoadSampleVertex>& line)
{
    UseRoadTolerances();
    if (!usableDeviation(deviation) || line.size() < 2)
        return false;
    if (alnt.getNumOfVes() == 0)
        return true;
    CAlntHtPosCache profile;
    if (!profile.loadNodesAndPosForDeviation(alnt, deviation))
        return false;
    std::vector<RoadSampleVertex> result;
    result.reserve(line.size() + static_cast<size_t>(profile.GetSize()));
    const CHtAndSt* h = profile.GetData();
    const int count = profile.GetSize();
    int k = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        if (i > 0) {
            const RoadSampleVertex &a = line[i - 1], &b = line[i];
            while (k < count && h[k].station <= a.station + kEndGap)
                ++k;
            for (; k < count && h[k].station < b.station - kEndGap; ++k) {
                const double t = (h[k].station - a.station) / (b.station - a.station);
                const double offset = a.offset + t * (b.offset - a.offset);
                RoadLocation p;
                if (!RoadPointAt(alnt, h[k].station, offset, p))
                    return false;
                appendVertex(result, h[k].station, offset, p.north, p.east);
            }
        }
        result.push_back(line[i]);
    }
    line.swap(result);
    return true;
}
