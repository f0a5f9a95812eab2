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

// The table's offset at a station (linear between pairs; the first pair's offset before it,
// the last's after it: one pair is a constant offset).
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

// The parameters t strictly between 0 and 1, in order, where the offset times the curvature,
// both linear in t (o0 to o1, k0 to k1), equals 1: the roots of a quadratic (its stable form).
int unitCrossings(double o0, double o1, double k0, double k1, double t[2])
{
    const double a = (o1 - o0) * (k1 - k0), b = o0 * (k1 - k0) + (o1 - o0) * k0, c = o0 * k0 - 1.0;
    double r[2];
    int n = 0;
    if (a == 0.0) {
        if (b != 0.0)
            r[n++] = -c / b;
    } else if (b * b - 4.0 * a * c >= 0.0) {
        const double q = -0.5 * (b + std::copysign(std::sqrt(b * b - 4.0 * a * c), b));
        r[n++] = q / a;
        if (q != 0.0)
            r[n++] = c / q;
    }
    int m = 0;
    for (int i = 0; i < n; ++i)
        if (r[i] > 0.0 && r[i] < 1.0)
            t[m++] = r[i];
    if (m == 2 && t[0] > t[1])
        std::swap(t[0], t[1]);
    return m;
}

// The stretches where an offset reaches the centre of a curve on its side, offered in station
// order: the first, joined with those right after it (a spiral, its arc, the next spiral: one
// report for one curve); `done` once a stretch clear of the centres follows it.
struct FoldScan {
    bool found = false, done = false;
    RoadOffsetFold fold;

    void add(double from, double to, double radius)
    {
        if (found && from > fold.to + 1e-9) {
            done = true;
            return;
        }
        fold.from = found ? fold.from : from;
        fold.to = std::max(to, found ? fold.to : to);
        fold.radius = found ? std::min(fold.radius, radius) : radius;
        found = true;
    }
};

// Scans the stations s0 to s1 of piece `p` (its element starting at chainage `start`), where
// the table's offset is linear: the offset reaches the centre where offset * curvature >= 1.
// Between the crossings the product keeps its side, so that each is decided at its middle.
void scanFolds(const RoadCurvePiece& p, double start, const std::vector<StAndOffset>& table, double s0, double s1,
               FoldScan& scan)
{
    const double k0 = p.curvatureAt(s0 - start), k1 = p.curvatureAt(s1 - start);
    const double o0 = tableOffsetAt(table, s0), o1 = tableOffsetAt(table, s1);
    auto reaches = [&](double t) { return (o0 + (o1 - o0) * t) * (k0 + (k1 - k0) * t) >= 1.0; };
    auto station = [&](double t) { return t == 1.0 ? s1 : s0 + t * (s1 - s0); };
    auto radius = [&](double t) { return 1.0 / std::fabs(k0 + (k1 - k0) * t); };
    double t[4] = {0.0};
    int n = 1 + unitCrossings(o0, o1, k0, k1, t + 1);
    t[n++] = 1.0;
    for (int i = 0; i < n && !scan.done; ++i) {
        if (reaches(t[i]))
            scan.add(station(t[i]), station(t[i]), radius(t[i]));
        if (i + 1 == n || scan.done)
            continue;
        if (reaches(0.5 * (t[i] + t[i + 1])))
            scan.add(station(t[i]), station(t[i + 1]), std::min(radius(t[i]), radius(t[i + 1])));
        else if (scan.found && t[i + 1] > t[i])
            scan.done = true;
    }
}

// The first stretch between the chainages `from` and `to` where the table's offset reaches the
// centre of a curve on its side: each piece split at the table's stations.
bool tableFolds(const CAlnt& alnt, const std::vector<StAndOffset>& table, double from, double to, RoadOffsetFold& fold)
{
    std::vector<RoadCurvePiece> pieces;
    if (!(from <= to) || !RoadCurvePieces(alnt, pieces))
        return false;
    FoldScan scan;
    for (size_t i = 0; i < pieces.size() && !scan.done; ++i) {
        const RoadCurvePiece& p = pieces[i];
        double start = 0.0;
        if (!alnt.getHe(p.element)->getStartChainageInM(start))
            return false;
        const double a = std::max(start + p.from, from), b = std::min(start + p.to, to);
        if (a > b)
            continue;
        double s0 = a;
        for (const StAndOffset& pair : table) {
            if (pair.station > s0 && pair.station < b) {
                scanFolds(p, start, table, s0, pair.station, scan);
                s0 = pair.station;
            }
        }
        scanFolds(p, start, table, s0, b, scan);
    }
    if (!scan.found)
        return false;
    fold = scan.fold;
    fold.offset = tableOffsetAt(table, fold.from);
    return true;
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
    StAndOffset constant;
    constant.station = from;
    constant.offset = offset;
    return std::isfinite(offset) && tableFolds(alnt, {constant}, from, to, fold);
}

bool RoadOffsetTableFolds(const CAlnt& alnt, const std::vector<StAndOffset>& table, RoadOffsetFold& fold)
{
    UseRoadTolerances();
    if (table.empty())
        return false;
    for (size_t i = 0; i < table.size(); ++i)
        if (!std::isfinite(table[i].station) || !std::isfinite(table[i].offset) ||
            (i > 0 && !(table[i].station > table[i - 1].station)))
            return false;
    return tableFolds(alnt, table, table.front().station, table.back().station, fold);
}

namespace {

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
