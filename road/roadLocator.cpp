#include "road/roadLocator.h"

#include "numeric/units.h"
#include "road/roadBuilder.h"
#include "vrkmath/mathAlntCache.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr double kRadPerDegree = kRadPerDeg;   // numeric/units.h
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// A point abeam an end within this (metres, the rounding of large coordinates) is abeam it.
constexpr double kEndSlack = 1e-9;
// Chords shorter than this (metres) are not made.
constexpr double kShortestChord = 1e-9;
// An inflection closer than this to a piece's end (metres) is taken to lie at the end.
constexpr double kInflectionGap = 1e-6;

// A point of the alignment with its unit tangent and its azimuth (radians).
struct Frame {
    double n = 0.0, e = 0.0;
    double tn = 1.0, te = 0.0;
    double az = 0.0;
};

// The engine's position and direction at length l of an element (one query: the tangent
// comes from the same terms as the point).
bool evalElement(const CAlntHe& he, double l, Frame& f)
{
    double azDeg;
    if (!he.getPosAndDirAtLength(l, f.n, f.e, azDeg, f.tn, f.te))
        return false;
    f.az = azDeg * kRadPerDegree;
    return true;
}

// The point `along` metres along the tangent and `offset` metres right of a frame.
void moveFrame(const Frame& f, double along, double offset, double& n, double& e)
{
    n = f.n + along * f.tn - offset * f.te;
    e = f.e + along * f.te + offset * f.tn;
}

// The frames at the alignment's start and end (first element at 0, last at its length).
bool endFrames(const CAlntH& alnt, Frame& first, Frame& last)
{
    const int count = alnt.getNumOfHes();
    double len;
    return count > 0 && evalElement(*alnt.getHe(0), 0.0, first) && alnt.getHe(count - 1)->getHLengthInM(len) &&
           evalElement(*alnt.getHe(count - 1), len, last);
}

// The direction change (radians, magnitude) between two unit tangents.
double turnBetween(const Frame& a, const Frame& b)
{
    return std::fabs(std::atan2(a.tn * b.te - a.te * b.tn, a.tn * b.tn + a.te * b.te));
}

// How far the curve between two frames of one piece (direction turning one way, by less than
// a half turn) can stray from their chord: it lies inside the triangle of the chord and the
// two tangents, whose apex is at most chord * tan(turn / 2) / 2 from the chord. A margin covers
// the rounding of large coordinates.
double chordPad(const Frame& a, const Frame& b)
{
    const double chord = std::sqrt((b.n - a.n) * (b.n - a.n) + (b.e - a.e) * (b.e - a.e));
    return 0.5 * chord * std::tan(0.5 * turnBetween(a, b)) + 1e-7;
}

// The point at a station inside an element between the first and the last (most stations):
// found without the alignment's end chainages; false for every other station.
bool innerPointAt(const CAlntH& alnt, double station, double offset, RoadLocation& r)
{
    double l, len;
    const int i = alnt.getHeIndexAtChain(station, &l, &len);
    Frame f;
    if (i <= 0 || i + 1 >= alnt.getNumOfHes() || !(l >= 0.0 && l <= len) || !(station >= alnt.getStartChainageInM()) ||
        !evalElement(*alnt.getHe(i), l, f))
        return false;
    r.element = i;
    r.extent = RoadExtent::Inside;
    r.station = station;
    r.offset = offset;
    moveFrame(f, 0.0, 0.0, r.footNorth, r.footEast);
    moveFrame(f, 0.0, offset, r.north, r.east);
    r.azimuth = f.az;
    return true;
}

} // namespace

bool RoadPointAt(const CAlntH& alnt, double station, double offset, RoadLocation& out)
{
    const int count = alnt.getNumOfHes();
    if (count == 0 || !std::isfinite(station) || !std::isfinite(offset))
        return false;
    RoadLocation r;
    if (innerPointAt(alnt, station, offset, r)) {
        out = r;
        return true;
    }
    const double first = alnt.getStartChainageInM();
    double last;
    if (!alnt.getFinalChainageInM(last))
        return false;
    Frame f;
    double along = 0.0;
    if (station < first || station > last) {
        Frame start, end;
        if (!endFrames(alnt, start, end))
            return false;
        const bool before = station < first;
        f = before ? start : end;
        along = station - (before ? first : last);
        r.element = before ? 0 : count - 1;
        r.extent = before ? RoadExtent::BeforeStart : RoadExtent::BeyondEnd;
    } else {
        // The engine's element at the station: the later one at a joint.
        double l, len;
        r.element = alnt.getHeIndexAtChain(station, &l, &len);
        if (r.element < 0 || !evalElement(*alnt.getHe(r.element), std::min(std::max(l, 0.0), len), f))
            return false;
    }
    r.station = station;
    r.offset = offset;
    moveFrame(f, along, 0.0, r.footNorth, r.footEast);
    moveFrame(f, along, offset, r.north, r.east);
    r.azimuth = f.az;
    out = r;
    return true;
}

bool RoadCurvePieces(const CAlntH& alnt, std::vector<RoadCurvePiece>& pieces)
{
    pieces.clear();
    for (int i = 0; i < alnt.getNumOfHes(); ++i) {
        const CAlntHe* he = alnt.getHe(i);
        double start, len;
        if (!he || !he->getStartChainageInM(start) || !he->getHLengthInM(len) || !std::isfinite(len))
            return false;
        // An intersection-point corner is its tangent, entry spiral, arc and exit spiral.
        std::vector<double> cuts{0.0};
        if (const CAlntHeIp* ip = CAlntHeIp::cast(he)) {
            const CCurveIp& c = ip->get_data();
            double at = c.getSolutionStartSegment().getTotalLength();
            cuts.push_back(at);
            if (!c.isSimplePoint()) {
                at += c.getSolutionStartSpiral().getTotalLength();
                cuts.push_back(at);
                at += c.getSolutionArc().getTotalLength();
                cuts.push_back(at);
            }
        }
        cuts.push_back(len);
        for (size_t k = 0; k + 1 < cuts.size(); ++k) {
            const double a = cuts[k], b = std::min(cuts[k + 1], len);
            if (!(b > a))
                continue;
            // The direction is a quadratic of the length along a line, an arc or a clothoid:
            // its values at both ends and the middle give the linear curvature exactly.
            double a0, am, a1;
            he->getAzimuthAtLength(a, a0);
            he->getAzimuthAtLength(0.5 * (a + b), am);
            he->getAzimuthAtLength(b, a1);
            const double h = b - a;
            const double slope = (4.0 * am - 3.0 * a0 - a1) / h * kRadPerDegree;
            const double bend = 4.0 * (a1 - 2.0 * am + a0) / (h * h) * kRadPerDegree;
            RoadCurvePiece p;
            p.element = i;
            p.from = a;
            p.to = b;
            // A straight (one direction throughout) has no curvature, not its rounding.
            const bool straight = a0 == am && am == a1;
            p.kFrom = straight ? 0.0 : slope;
            p.kTo = straight ? 0.0 : slope + bend * h;
            if (p.kFrom * p.kTo < 0.0) {
                // An inflection: the curvature passes zero inside the piece. Within a
                // micrometre of an end it is the rounding of a spiral's zero end curvature.
                const double at = a + h * (p.kFrom / (p.kFrom - p.kTo));
                if (at - a < kInflectionGap)
                    p.kFrom = 0.0;
                else if (b - at < kInflectionGap)
                    p.kTo = 0.0;
                else {
                    RoadCurvePiece q = p;
                    p.to = q.from = at;
                    p.kTo = q.kFrom = 0.0;
                    pieces.push_back(p);
                    p = q;
                }
            }
            pieces.push_back(p);
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// The index

struct RoadLocator::Index {
    struct Vertex {
        double l;   // length from the element's start
        Frame f;
    };
    // The curve between vertices v and v + 1 of one piece: the chord's ends, how far the curve
    // can stray from it, and the curvature at both ends (linear between). One cache line.
    struct Chord {
        double an, ae, bn, be;
        double pad;
        double ka, kb;
        int v;
        int element;
    };
    // Boxes in single precision relative to the origin, rounded outwards.
    struct Box {
        float minN, minE, maxN, maxE;
    };
    // A node holds both children's boxes, so that one fetch decides where to go. A child >= 0
    // is a node; a leaf is -(first * 8 + count) - 1 for the chords treeOrder[first, first +
    // count).
    struct Node {
        Box box[2];
        int child[2];
    };
    std::vector<Vertex> vertices;
    std::vector<Chord> chords;
    // What the search reads of each chord, packed: its start, its direction times its length,
    // the inverse of its squared length (0 for a point) and the pad.
    struct Reach {
        double an, ae, un, ue, inverse2, pad;
        int v, element;   // the chord's, to fetch its vertices and element ahead of need
    };
    std::vector<Reach> reach;
    std::vector<Node> nodes;
    std::vector<int> treeOrder;   // chords (kept in road order) in the order of the tree's leaves
    double originN = 0.0, originE = 0.0;
    int root = 0;
    Box rootBox{};
    std::vector<double> elementStart;   // start chainage of each element
    double lastLength = 0.0;            // length of the last element

    static const int kLeafSize = 4;

    // The tree over treeOrder[first, last): its reference and its box.
    int build(int first, int last, Box& box);

    // A grid over the band along the road, for the points of most queries: each cell (a square
    // of kCellSize metres, row and column counted from the origin) lists every chord whose
    // curve may hold the nearest point of the alignment to any point of the cell, so that such
    // a point reads its candidates at once instead of walking the tree. The cells sit in an
    // open-addressed hash table (linear probing). Points outside the band
    // walk the tree.
    // A cell in 8 bytes. key: row and column, each offset by kCellSpan, in 16 bits each
    // (kEmptyCell: an empty slot); value: the first chord (24 bits) and the count (7 bits) of
    // the chords first, first + 1, ... (in road order, so that the chords near a cell mostly
    // follow each other), or, with kListed, of the chords cellChords[first, first + count).
    struct Cell {
        std::uint32_t key, value;
    };
    static constexpr std::int32_t kCellSpan = 32767;      // rows and columns within +-this
    static constexpr std::uint32_t kEmptyCell = 0xffffffffu;
    static constexpr std::uint32_t kListed = 0x80u;
    static constexpr std::uint32_t kMostCellChords = 0x7fu;
    std::vector<Cell> cells;
    std::uint32_t cellMask = 0;       // cells.size() - 1
    std::vector<int> cellChords;
    static constexpr double kCellSize = 20.0;
    // Cells are made where a chord lies within this (metres) and kept where the nearest point
    // is known to be found among the chords within it: up to about 60 m from the road.
    static constexpr double kGridReach = 100.0;
    // The grid is left out (the tree answers alone) where it would need more (cell, chord)
    // pairs than this while being built: a road of thousands of kilometres.
    static constexpr std::size_t kGridMaxPairs = std::size_t(1) << 23;

    void buildGrid();
    static std::uint32_t cellKey(std::int64_t row, std::int64_t column)
    {
        return static_cast<std::uint32_t>(row + kCellSpan) << 16 | static_cast<std::uint32_t>(column + kCellSpan);
    }
    static std::uint32_t hashCell(std::uint32_t key)
    {
        const std::uint32_t h = key * 0x9E3779B1u;
        return h ^ (h >> 16);
    }
    // The cell at (row, column) or null.
    const Cell* findCell(std::int64_t row, std::int64_t column) const
    {
        if (cells.empty() || row < -kCellSpan || row > kCellSpan || column < -kCellSpan || column > kCellSpan)
            return nullptr;
        const std::uint32_t key = cellKey(row, column);
        for (std::uint32_t at = hashCell(key) & cellMask;; at = (at + 1) & cellMask) {
            const Cell& c = cells[at];
            if (c.key == key)
                return &c;
            if (c.key == kEmptyCell)
                return nullptr;
        }
    }
};

namespace {

float below(double v)
{
    float f = static_cast<float>(v);
    return static_cast<double>(f) > v ? std::nextafter(f, -std::numeric_limits<float>::infinity()) : f;
}

float above(double v)
{
    float f = static_cast<float>(v);
    return static_cast<double>(f) < v ? std::nextafter(f, std::numeric_limits<float>::infinity()) : f;
}

} // namespace

int RoadLocator::Index::build(int first, int last, Box& box)
{
    double minN = kInfinity, minE = kInfinity, maxN = -kInfinity, maxE = -kInfinity;
    double cMinN = kInfinity, cMinE = kInfinity, cMaxN = -kInfinity, cMaxE = -kInfinity;
    for (int i = first; i < last; ++i) {
        const Chord& c = chords[treeOrder[i]];
        minN = std::min(minN, std::min(c.an, c.bn) - c.pad);
        minE = std::min(minE, std::min(c.ae, c.be) - c.pad);
        maxN = std::max(maxN, std::max(c.an, c.bn) + c.pad);
        maxE = std::max(maxE, std::max(c.ae, c.be) + c.pad);
        const double mn = 0.5 * (c.an + c.bn), me = 0.5 * (c.ae + c.be);
        cMinN = std::min(cMinN, mn);
        cMinE = std::min(cMinE, me);
        cMaxN = std::max(cMaxN, mn);
        cMaxE = std::max(cMaxE, me);
    }
    box = Box{below(minN - originN), below(minE - originE), above(maxN - originN), above(maxE - originE)};
    if (last - first <= kLeafSize)
        return -(first * 8 + (last - first)) - 1;
    // Median split of the chord midpoints along the longer side of their box.
    const bool alongNorth = cMaxN - cMinN >= cMaxE - cMinE;
    const int mid = (first + last) / 2;
    std::nth_element(treeOrder.begin() + first, treeOrder.begin() + mid, treeOrder.begin() + last,
                     [this, alongNorth](int i, int j) {
                         const Chord &x = chords[i], &y = chords[j];
                         return alongNorth ? x.an + x.bn < y.an + y.bn : x.ae + x.be < y.ae + y.be;
                     });
    // Nodes in visiting order: a node, then its first subtree, then its second, so that a
    // descent mostly reads on along memory.
    const int at = static_cast<int>(nodes.size());
    nodes.push_back(Node{});
    Node node;
    node.child[0] = build(first, mid, node.box[0]);
    node.child[1] = build(mid, last, node.box[1]);
    nodes[at] = node;
    return at;
}


namespace {

// A chord relative to the origin and the box of a grid cell, in metres.
struct Segment {
    double an, ae, bn, be;
};
struct CellBox {
    double minN, minE, maxN, maxE;
};

// Squared distances: the grid's build compares many and takes one root at the end.
double segmentDistance2(double n, double e, const Segment& s)
{
    const double un = s.bn - s.an, ue = s.be - s.ae;
    const double pn = n - s.an, pe = e - s.ae;
    const double len2 = un * un + ue * ue;
    double t = len2 > 0.0 ? (pn * un + pe * ue) / len2 : 0.0;
    t = std::min(std::max(t, 0.0), 1.0);
    const double dn = pn - t * un, de = pe - t * ue;
    return dn * dn + de * de;
}

double boxPointDistance2(const CellBox& b, double n, double e)
{
    const double dn = std::max(std::max(b.minN - n, n - b.maxN), 0.0);
    const double de = std::max(std::max(b.minE - e, e - b.maxE), 0.0);
    return dn * dn + de * de;
}

// The parameters [t0, t1] of the segment a + t (b - a), 0 <= t <= 1, with lo <= a + t (b - a) <= hi
// (one coordinate); false when there are none.
bool clipSegment(double a, double b, double lo, double hi, double& t0, double& t1)
{
    const double d = b - a;
    if (d == 0.0)
        return a >= lo && a <= hi;
    double ta = (lo - a) / d, tb = (hi - a) / d;
    if (ta > tb)
        std::swap(ta, tb);
    t0 = std::max(t0, ta);
    t1 = std::min(t1, tb);
    return t0 <= t1;
}

// The farthest and the nearest a point of the box can be from the segment. The distance to a
// segment is convex, so it is farthest at a corner; apart, two convex shapes are nearest at a
// corner of one of them.
double cellFarthest(const CellBox& b, const Segment& s)
{
    return std::sqrt(std::max(std::max(segmentDistance2(b.minN, b.minE, s), segmentDistance2(b.minN, b.maxE, s)),
                              std::max(segmentDistance2(b.maxN, b.minE, s), segmentDistance2(b.maxN, b.maxE, s))));
}

double cellNearest2(const CellBox& b, const Segment& s)
{
    double t0 = 0.0, t1 = 1.0;
    if (clipSegment(s.an, s.bn, b.minN, b.maxN, t0, t1) && clipSegment(s.ae, s.be, b.minE, b.maxE, t0, t1))
        return 0.0;
    return std::min(std::min(std::min(segmentDistance2(b.minN, b.minE, s), segmentDistance2(b.minN, b.maxE, s)),
                             std::min(segmentDistance2(b.maxN, b.minE, s), segmentDistance2(b.maxN, b.maxE, s))),
                    std::min(boxPointDistance2(b, s.an, s.ae), boxPointDistance2(b, s.bn, s.be)));
}

} // namespace

void RoadLocator::Index::buildGrid()
{
    const double size = kCellSize, within = kGridReach;
    std::vector<Segment> segments;
    double widestPad = 0.0;
    for (const Chord& c : chords) {
        segments.push_back(Segment{c.an - originN, c.ae - originE, c.bn - originN, c.be - originE});
        widestPad = std::max(widestPad, c.pad);
    }
    if (chords.size() > (std::size_t(1) << 24))
        return;
    // Every (cell, chord) with the chord within within of the cell: row by row across the
    // chord's stretch, the columns its clipped part spans. Cells beyond kCellSpan are left to
    // the tree.
    const double span = static_cast<double>(kCellSpan);
    std::vector<std::pair<std::uint32_t, int>> pairs;
    for (int ci = 0; ci < static_cast<int>(segments.size()); ++ci) {
        const Segment& s = segments[ci];
        const double rowFirst = std::max(std::floor((std::min(s.an, s.bn) - within) / size), -span);
        const double rowLast = std::min(std::floor((std::max(s.an, s.bn) + within) / size), span);
        for (double row = rowFirst; row <= rowLast; ++row) {
            double t0 = 0.0, t1 = 1.0;
            if (!clipSegment(s.an, s.bn, row * size - within, (row + 1.0) * size + within, t0, t1))
                continue;
            const double e0 = s.ae + t0 * (s.be - s.ae), e1 = s.ae + t1 * (s.be - s.ae);
            const double colFirst = std::max(std::floor((std::min(e0, e1) - within) / size), -span);
            const double colLast = std::min(std::floor((std::max(e0, e1) + within) / size), span);
            for (double col = colFirst; col <= colLast; ++col) {
                if (cellNearest2(CellBox{row * size, col * size, (row + 1.0) * size, (col + 1.0) * size}, s) > within * within)
                    continue;
                if (pairs.size() >= kGridMaxPairs)
                    return;
                pairs.emplace_back(cellKey(static_cast<std::int64_t>(row), static_cast<std::int64_t>(col)), ci);
            }
        }
    }
    std::sort(pairs.begin(), pairs.end());
    // Per cell: the nearest point of the alignment to any point of the cell is no farther than
    // `upper`; the chords whose curve may come that near are its list. A chord left out lies
    // beyond within, so the cell is kept only where upper stays clear of within.
    std::vector<Cell> kept;
    std::vector<int> list;
    for (std::size_t g = 0; g < pairs.size();) {
        std::size_t end = g;
        while (end < pairs.size() && pairs[end].first == pairs[g].first)
            ++end;
        const double row = static_cast<double>(static_cast<std::int64_t>(pairs[g].first >> 16) - kCellSpan);
        const double col = static_cast<double>(static_cast<std::int64_t>(pairs[g].first & 0xffffu) - kCellSpan);
        const CellBox b{row * size, col * size, (row + 1.0) * size, (col + 1.0) * size};
        double upper = kInfinity;
        for (std::size_t k = g; k < end; ++k)
            upper = std::min(upper, cellFarthest(b, segments[pairs[k].second]) + chords[pairs[k].second].pad);
        // A margin for the rounding of coordinates (the queries measure from the point itself).
        const double slack = 1e-3 + 1e-6 * (upper + std::fabs(b.minN) + std::fabs(b.minE) +
                                            std::fabs(originN) + std::fabs(originE));
        list.clear();
        for (std::size_t k = g; k < end; ++k)
            if (std::sqrt(cellNearest2(b, segments[pairs[k].second])) - chords[pairs[k].second].pad <= upper + slack)
                list.push_back(pairs[k].second);
        // Sorted by chord, the pairs of a cell give its chords in road order: a run with a few
        // gaps is kept as the range from its first to its last chord (a few more measured).
        const auto run = static_cast<std::uint32_t>(list.back() - list.front() + 1);
        const bool asRun = run <= list.size() + 2;
        if (upper + slack + widestPad < within && (asRun ? run : list.size()) <= kMostCellChords) {
            if (asRun) {
                kept.push_back(Cell{pairs[g].first, static_cast<std::uint32_t>(list.front()) << 8 | run});
            } else {
                kept.push_back(Cell{pairs[g].first, static_cast<std::uint32_t>(cellChords.size()) << 8 |
                                                        static_cast<std::uint32_t>(list.size()) | kListed});
                cellChords.insert(cellChords.end(), list.begin(), list.end());
            }
        }
        g = end;
    }
    if (cellChords.size() >= (std::size_t(1) << 24)) {
        cellChords.clear();
        return;
    }
    // At most about 70% full: a miss then probes a few slots, mostly in one cache line.
    std::size_t slots = 16;
    while (slots * 7 < kept.size() * 10)
        slots *= 2;
    cells.assign(slots, Cell{kEmptyCell, 0});
    cellMask = static_cast<std::uint32_t>(slots - 1);
    for (const Cell& c : kept) {
        std::uint32_t at = hashCell(c.key) & cellMask;
        while (cells[at].key != kEmptyCell)
            at = (at + 1) & cellMask;
        cells[at] = c;
    }
}

namespace {

// Vertices of one piece between la and lb (both evaluated), halved while the chord turns by
// more than 0.35 rad or, on a curved piece, is longer than the longest chord (a straight is its
// own chord, however long). Appends the vertices after `a`; false when an element cannot be
// evaluated or the index would pass kIndexMaxChords.
template <class Vertex>
bool addVertices(const CAlntHe& he, bool curved, double la, const Frame& a, double lb, const Frame& b,
                 std::vector<Vertex>& out, int depth)
{
    if (out.size() >= static_cast<size_t>(RoadLocator::kIndexMaxChords))
        return false;
    const double chord2 = (b.n - a.n) * (b.n - a.n) + (b.e - a.e) * (b.e - a.e);
    const bool tooLong = curved && chord2 > RoadLocator::kIndexMaxChord * RoadLocator::kIndexMaxChord;
    if (depth < 40 && (tooLong || turnBetween(a, b) > 0.35)) {
        const double lm = 0.5 * (la + lb);
        Frame m;
        if (!evalElement(he, lm, m))
            return false;
        return addVertices(he, curved, la, a, lm, m, out, depth + 1) &&
               addVertices(he, curved, lm, m, lb, b, out, depth + 1);
    }
    out.push_back(Vertex{lb, b});
    return true;
}

} // namespace

bool RoadLocator::build(const CAlnt& alnt)
{
    return build(alnt, nullptr);
}

bool RoadLocator::build(const CAlnt& alnt, std::string* why)
{
    UseRoadTolerances();
    m_index.reset();
    m_alnt = nullptr;
    std::vector<RoadCurvePiece> pieces;
    CAlnt2dPosCache cache;
    if (alnt.getNumOfHes() == 0 || !RoadCurvePieces(alnt, pieces) ||
        !cache.loadNodesAndPosForDeviation(alnt, kIndexDeviation))
        return false;
    auto index = std::make_shared<Index>();
    for (int i = 0; i < alnt.getNumOfHes(); ++i) {
        double start;
        alnt.getHe(i)->getStartChainageInM(start);
        index->elementStart.push_back(start);
    }
    alnt.getHe(alnt.getNumOfHes() - 1)->getHLengthInM(index->lastLength);
    const C2dPosAndSt* cached = cache.GetData();
    const int cachedCount = cache.GetSize();
    for (const RoadCurvePiece& p : pieces) {
        const CAlntHe& he = *alnt.getHe(p.element);
        const bool curved = p.kFrom != 0.0 || p.kTo != 0.0;
        const double start = index->elementStart[p.element];
        Frame a;
        if (!evalElement(he, p.from, a))
            return false;
        const int firstVertex = static_cast<int>(index->vertices.size());
        index->vertices.push_back(Index::Vertex{p.from, a});
        // The cache's stations strictly inside the piece, then its end.
        int k = static_cast<int>(std::upper_bound(cached, cached + cachedCount, start + p.from,
                                                  [](double s, const C2dPosAndSt& v) { return s < v.station; }) -
                                 cached);
        double la = p.from;
        for (;; ++k) {
            // Cache stations within a nanometre of the piece's ends are its ends.
            const bool atEnd = k >= cachedCount || !(cached[k].station - start < p.to - kShortestChord);
            const double lb = atEnd ? p.to : cached[k].station - start;
            if (lb > la + kShortestChord || (atEnd && lb > la)) {
                Frame b;
                if (!evalElement(he, lb, b) || !addVertices(he, curved, la, a, lb, b, index->vertices, 0)) {
                    if (why && index->vertices.size() >= static_cast<size_t>(kIndexMaxChords))
                        *why = "the alignment needs more than " + std::to_string(kIndexMaxChords) +
                               " chords to be located (an element too long or too winding)";
                    return false;
                }
                a = b;
                la = lb;
            }
            if (atEnd)
                break;
        }
        for (int v = firstVertex; v + 1 < static_cast<int>(index->vertices.size()); ++v) {
            const Index::Vertex& va = index->vertices[v];
            const Index::Vertex& vb = index->vertices[v + 1];
            index->chords.push_back(Index::Chord{va.f.n, va.f.e, vb.f.n, vb.f.e, chordPad(va.f, vb.f),
                                                 p.curvatureAt(va.l), p.curvatureAt(vb.l), v, p.element});
        }
    }
    if (index->chords.empty())
        return false;
    index->originN = index->vertices.front().f.n;
    index->originE = index->vertices.front().f.e;
    index->nodes.reserve(index->chords.size() / 2 + 1);
    for (int i = 0; i < static_cast<int>(index->chords.size()); ++i)
        index->treeOrder.push_back(i);
    index->root = index->build(0, static_cast<int>(index->chords.size()), index->rootBox);
    for (const Index::Chord& c : index->chords) {
        const double un = c.bn - c.an, ue = c.be - c.ae, len2 = un * un + ue * ue;
        index->reach.push_back(Index::Reach{c.an, c.ae, un, ue, len2 > 0.0 ? 1.0 / len2 : 0.0, c.pad, c.v, c.element});
    }
    index->buildGrid();
    m_index = index;
    m_alnt = &alnt;
    return true;
}

RoadLocator RoadLocator::sharedWith(const CAlntH& copy) const
{
    RoadLocator other;
    other.m_index = m_index;
    other.m_alnt = m_index ? &copy : nullptr;
    return other;
}

int RoadLocator::chordCount() const
{
    return m_index ? static_cast<int>(m_index->chords.size()) : 0;
}

// ---------------------------------------------------------------------------------------------
// The query

namespace {

// The nearest point found on one chord's curve.
struct Foot {
    double dist = kInfinity;
    double l = 0.0;
    int element = -1;
    int vertex = -1;     // the vertex it lies at, -1 inside a chord
    double offset = 0.0; // across the direction, right positive (inside a chord)
    Frame f;             // the alignment's point and direction there
};

struct Candidate {
    double lower;   // the curve of the chord lies no nearer than this
    int chord;
};

// A short list that lives on the stack unless a point has many candidates (a point near the
// centre of a long arc reached through the tree); then it spills into a list of the thread that
// keeps its memory, so that queries do not allocate once it has grown.
class Candidates {
public:
    void add(double lower, int chord)
    {
        if (m_count < kFixed) {
            m_fixed[m_count++] = Candidate{lower, chord};
            return;
        }
        std::vector<Candidate>& more = spill();
        if (m_count == kFixed)
            more.assign(m_fixed, m_fixed + kFixed);
        more.push_back(Candidate{lower, chord});
        ++m_count;
    }
    // The candidates whose lower bound does not exceed `upper`, nearest first.
    Candidate* sorted(double upper, int& count)
    {
        Candidate* list = m_count > kFixed ? spill().data() : m_fixed;
        count = 0;
        for (int i = 0; i < m_count; ++i)
            if (list[i].lower <= upper)
                list[count++] = list[i];
        std::sort(list, list + count, [](const Candidate& x, const Candidate& y) { return x.lower < y.lower; });
        return list;
    }

private:
    static std::vector<Candidate>& spill()
    {
        static thread_local std::vector<Candidate> more;
        return more;
    }
    static const int kFixed = 32;
    Candidate m_fixed[kFixed];
    int m_count = 0;
};

// The squared distance from a point to a box, without branches (max instructions).
float boxDistance2(float n, float e, const RoadLocator::Index::Box& b)
{
    const float dn = std::max(std::max(b.minN - n, n - b.maxN), 0.0f);
    const float de = std::max(std::max(b.minE - e, e - b.maxE), 0.0f);
    return dn * dn + de * de;
}

double chordDistance(double n, double e, const RoadLocator::Index::Reach& c)
{
    const double pn = n - c.an, pe = e - c.ae;
    // Clamped without branches (the compiler's maxsd and minsd): whether a point lies abeam
    // the chord is a coin toss. t is finite: the point is, and chords have a length.
    double t = (pn * c.un + pe * c.ue) * c.inverse2;
    t = t > 0.0 ? t : 0.0;
    t = t < 1.0 ? t : 1.0;
    const double dn = pn - t * c.un, de = pe - t * c.ue;
    return std::sqrt(dn * dn + de * de);
}

// Distances within this (metres) count as equal: the distance is flat at its minimum, so that a
// point a micrometre of station from the foot is as near to the last digit. Between equal
// ones, a foot where the distance's derivative vanishes beats one at the end of a stretch.
constexpr double kSameDistance = 1e-9;

bool nearer(const Foot& x, const Foot& y)
{
    if (x.dist < y.dist - kSameDistance)
        return true;
    if (x.dist > y.dist + kSameDistance)
        return false;
    if ((x.vertex < 0) != (y.vertex < 0))
        return x.vertex < 0;
    return x.dist < y.dist;
}

// The nearest foot so far and the nearest one at another place of the alignment (a station
// more than kTieDistance away), to tell an answer that is one of two.
class NearestTwo {
public:
    explicit NearestTwo(const std::vector<double>& elementStart) : m_start(elementStart) {}

    void offer(const Foot& f)
    {
        if (!nearer(f, best)) {
            if (distinct(f, best) && f.dist < other.dist)
                other = f;
            return;
        }
        const Foot old = best;
        best = f;
        if (other.element >= 0 && !distinct(other, best))
            other = Foot();
        if (old.element >= 0 && distinct(old, best) && old.dist < other.dist)
            other = old;
    }
    double station(const Foot& f) const { return m_start[static_cast<std::size_t>(f.element)] + f.l; }
    bool tie() const { return other.element >= 0 && other.dist <= best.dist + RoadLocator::kTieDistance; }

    Foot best, other;

private:
    bool distinct(const Foot& a, const Foot& b) const
    {
        return a.element >= 0 && b.element >= 0 && std::fabs(station(a) - station(b)) > RoadLocator::kTieDistance;
    }

    const std::vector<double>& m_start;
};

// Whether two feet at stations a and b, both about `dist` from (north, east), are two places of
// the alignment: it comes farther from the point between them (each is a minimum of its own),
// or they lie a metre or more apart along a stretch of equal distance (an arc about the
// point). Feet closer together on one flat minimum (a chord's end beside the foot) are one.
bool twoPlaces(const CAlntH& alnt, double a, double b, double north, double east, double dist)
{
    if (std::fabs(a - b) >= 1.0)
        return true;
    RoadLocation middle;
    return RoadPointAt(alnt, 0.5 * (a + b), 0.0, middle) &&
           std::hypot(north - middle.footNorth, east - middle.footEast) > dist + RoadLocator::kTieDistance;
}

// A foot point is solved until its station (and its point) are this exact, metres.
constexpr double kStationExact = 1e-11;

// Halvings of a stretch at most, where the point lies near the centres of curvature.
constexpr int kMaxHalvings = 10;

// The exact foot of (n, e) on the curve between two frames of one element.
class FootSolver {
public:
    FootSolver(const CAlntHe& he, int element, double n, double e) : m_he(he), m_element(element), m_n(n), m_e(e) {}

    // The nearest point of the curve from la (frame a, curvature ka, vertex va or -1) to lb.
    bool solve(double la, const Frame& a, double ka, int va, double lb, const Frame& b, double kb, int vb,
               double pad, int depth, Foot& foot) const
    {
        const double da = distanceTo(a), db = distanceTo(b);
        // With w = the point's offset towards the inside of the turn, f' = -(1 - |k| w): f
        // falls along the stretch while |k| w < 1 (one minimum at most) and rises while
        // |k| w > 1 (the point lies beyond the centres of curvature: maxima only, the minimum
        // at an end). w changes by at most |k| |f| <= |k| (distance + pad) per metre, which
        // bounds it between the ends. Where neither holds throughout, the stretch is halved.
        const double inward = ka + kb >= 0.0 ? 1.0 : -1.0;
        const double kMax = std::max(std::fabs(ka), std::fabs(kb));
        const double kMin = std::min(std::fabs(ka), std::fabs(kb));
        const double middle = 0.5 * inward * (across(a) + across(b));
        const double spread = 0.5 * kMax * (std::max(da, db) + pad) * (lb - la);
        const bool falls = kMax * (middle + spread) < 1.0;
        const bool rises = !falls && kMin * (middle - spread) > 1.0;
        if (!falls && !rises && depth < kMaxHalvings) {
            const double lm = 0.5 * (la + lb);
            Frame m;
            if (!evalElement(m_he, lm, m))
                return false;
            const double km = 0.5 * (ka + kb);
            Foot first, second;
            if (!solve(la, a, ka, va, lm, m, km, -1, chordPad(a, m), depth + 1, first) ||
                !solve(lm, m, km, -1, lb, b, kb, vb, chordPad(m, b), depth + 1, second))
                return false;
            foot = nearer(second, first) ? second : first;
            return true;
        }
        const double fa = along(a), fb = along(b);
        if (rises || fa <= 0.0 || fb >= 0.0) {
            // A minimum at an end: the nearer one, unless f says which.
            const bool atA = rises ? da <= db : fa <= 0.0 && (fb < 0.0 || da <= db);
            atVertex(atA ? la : lb, atA ? a : b, atA ? va : vb, atA ? da : db, foot);
            return true;
        }
        if (ka == 0.0 && kb == 0.0) {
            // A straight stretch: the foot lies fa metres along the tangent at a.
            atRoot(la, a, fa, 0.0, fa, across(a), foot);
            return true;
        }
        return newton(la, fa, ka, lb, fb, kb, foot);
    }

private:
    double distanceTo(const Frame& f) const
    {
        const double dn = m_n - f.n, de = m_e - f.e;
        return std::sqrt(dn * dn + de * de);
    }
    double along(const Frame& f) const { return (m_n - f.n) * f.tn + (m_e - f.e) * f.te; }
    double across(const Frame& f) const { return (m_e - f.e) * f.tn - (m_n - f.n) * f.te; }

    void atVertex(double l, const Frame& f, int vertex, double dist, Foot& foot) const
    {
        foot.dist = dist;
        foot.l = l;
        foot.element = m_element;
        foot.vertex = vertex;
        const double off = across(f);
        foot.offset = off < 0.0 ? -dist : dist;
        foot.f = f;
    }

    // Newton on f(l) = (P - C(l)) . T(l), f' = -(1 - k off), inside the bracket [lo, hi] with
    // f(lo) > 0 > f(hi); a step that would leave the bracket bisects it instead.
    bool newton(double lo, double flo, double ka, double hi, double fhi, double kb, Foot& foot) const
    {
        const double la = lo, lb = hi;
        double l = lo + (hi - lo) * (flo / (flo - fhi));
        for (int iteration = 0; iteration < 200; ++iteration) {
            Frame f;
            if (!evalElement(m_he, l, f))
                return false;
            const double fl = along(f);
            const double off = across(f);
            const double k = ka + (kb - ka) * ((l - la) / (lb - la));
            const double slope = 1.0 - k * off;
            const double step = fl / slope;
            // Done when the last step leaves the station within kStationExact: after it the
            // station is off by about f'' / (2 f') step^2, with f'' = k' off at the root, and
            // the foot, carried along the tangent, by k step^2 / 2.
            const double kRate = (kb - ka) / (lb - la);
            const double bend = std::fabs(kRate * off) / slope + std::fabs(k);
            if (slope > 0.05 && step * step * bend < 2.0 * kStationExact) {
                atRoot(l, f, std::min(std::max(l + step, la), lb) - l, k, fl, off, foot);
                return true;
            }
            if (fl > 0.0)
                lo = l;
            else
                hi = l;
            double next = l + step;
            if (!(slope > 0.05) || !(next > lo && next < hi))
                next = 0.5 * (lo + hi);
            if (!(hi - lo > 1e-12) || next == l) {
                atRoot(l, f, 0.0, k, fl, off, foot);
                return true;
            }
            l = next;
        }
        return false;
    }

    // The foot `moved` metres on from the frame f at l (a last Newton step, short enough that
    // the tangent carries it: the error is k moved^2 / 2); fl and off are f's along and across.
    void atRoot(double l, const Frame& f, double moved, double k, double fl, double off, Foot& foot) const
    {
        foot.l = l + moved;
        foot.element = m_element;
        foot.vertex = -1;
        foot.offset = off;
        foot.f = f;
        foot.f.n += moved * f.tn;
        foot.f.e += moved * f.te;
        foot.f.az += k * moved;
        // The distance from the moved foot: along the tangent there is fl - (1 - k off) moved.
        const double rest = fl - (1.0 - k * off) * moved;
        foot.dist = std::sqrt(rest * rest + off * off);
    }

    const CAlntHe& m_he;
    int m_element;
    double m_n, m_e;
};

// Nearest box first; every chord whose curve may hold the nearest point is given to
// `consider`, which lowers `upper`. The boxes are compared in single precision with a margin
// for the rounding of the point (rn, re: relative to the origin). False when the tree is
// deeper than the stack.
template <class Consider>
bool walkTree(const RoadLocator::Index& ix, double rn, double re, const double& upper, Consider&& consider)
{
    const float pn = static_cast<float>(rn), pe = static_cast<float>(re);
    const double margin = 1e-3 + 1e-6 * (std::fabs(rn) + std::fabs(re));
    auto reach2 = [&] {
        const double reach = upper * (1.0 + 1e-6) + margin;
        return reach * reach;
    };
    // Down the nearer child at once, the farther one kept for later when it is within reach.
    struct Entry {
        int ref;
        float d2;
    } stack[64];
    int top = 0;
    int ref = ix.root;
    float d2 = boxDistance2(pn, pe, ix.rootBox);
    double within2 = reach2();
    for (;;) {
        if (static_cast<double>(d2) <= within2) {
            if (ref >= 0) {
                const RoadLocator::Index::Node& node = ix.nodes[ref];
                const float d0 = boxDistance2(pn, pe, node.box[0]);
                const float d1 = boxDistance2(pn, pe, node.box[1]);
                const bool firstNearer = d0 <= d1;
                const float dFar = firstNearer ? d1 : d0;
                if (static_cast<double>(dFar) <= within2) {
                    if (top == 64)
                        return false;
                    stack[top++] = Entry{node.child[firstNearer ? 1 : 0], dFar};
                }
                ref = node.child[firstNearer ? 0 : 1];
                d2 = firstNearer ? d0 : d1;
                continue;
            }
            const int code = -ref - 1;
            const int first = code >> 3, last = first + (code & 7);
            for (int i = first; i < last; ++i)
                consider(ix.treeOrder[i]);
            within2 = reach2();
        }
        if (top == 0)
            return true;
        --top;
        ref = stack[top].ref;
        d2 = stack[top].d2;
    }
}

} // namespace

bool RoadLocator::locate(double north, double east, RoadLocation& out) const
{
    if (!m_index || !std::isfinite(north) || !std::isfinite(east))
        return false;
    const Index& ix = *m_index;
    const double rn = north - ix.originN, re = east - ix.originE;
    double upper = kInfinity;
    Candidates candidates;
    // A chord whose curve may hold the nearest point is kept; `upper` bounds the distance.
    auto consider = [&](int i) {
        const Index::Reach& c = ix.reach[i];
        const double d = chordDistance(north, east, c);
        upper = std::min(upper, d + c.pad);
        if (d - c.pad <= upper)
            candidates.add(d - c.pad, i);
    };
    const Index::Cell* cell = nullptr;
    if (std::fabs(rn) < 1e9 && std::fabs(re) < 1e9)
        cell = ix.findCell(static_cast<std::int64_t>(std::floor(rn * (1.0 / Index::kCellSize))),
                           static_cast<std::int64_t>(std::floor(re * (1.0 / Index::kCellSize))));
    if (cell) {
        // The distances first (independent of each other), then the bound, then the list.
        const std::uint32_t first = cell->value >> 8, count = cell->value & Index::kMostCellChords;
        const bool listed = (cell->value & Index::kListed) != 0;
        int chord[Index::kMostCellChords];
        double lower[Index::kMostCellChords];
        for (std::uint32_t k = 0; k < count; ++k) {
            chord[k] = listed ? ix.cellChords[first + k] : static_cast<int>(first + k);
            const Index::Reach& c = ix.reach[chord[k]];
            // The chord's record, vertices and element are read next if it is kept: fetched
            // now, while the distances are measured (a long road's index is not all cached).
            __builtin_prefetch(&ix.chords[chord[k]]);
            __builtin_prefetch(&ix.vertices[c.v]);
            __builtin_prefetch(&ix.vertices[c.v + 1]);
            __builtin_prefetch(m_alnt->getHe(c.element));
            const double d = chordDistance(north, east, c);
            upper = std::min(upper, d + c.pad);
            lower[k] = d - c.pad;
        }
        for (std::uint32_t k = 0; k < count; ++k)
            if (lower[k] <= upper)
                candidates.add(lower[k], chord[k]);
    } else if (!walkTree(ix, rn, re, upper, consider))
        return false;
    int count = 0;
    const Candidate* list = candidates.sorted(upper, count);
    NearestTwo nearest(ix.elementStart);
    const Foot& best = nearest.best;
    for (int i = 0; i < count; ++i) {
        if (list[i].lower > best.dist + kTieDistance)   // no chord further on can tie
            break;
        const Index::Chord& c = ix.chords[list[i].chord];
        const Index::Vertex& a = ix.vertices[c.v];
        const Index::Vertex& b = ix.vertices[c.v + 1];
        Foot foot;
        FootSolver solver(*m_alnt->getHe(c.element), c.element, north, east);
        if (!solver.solve(a.l, a.f, c.ka, c.v, b.l, b.f, c.kb, c.v + 1, c.pad, 0, foot))
            return false;
        nearest.offer(foot);
    }
    if (best.element < 0)
        return false;
    RoadLocation r;
    r.north = north;
    r.east = east;
    r.element = best.element;
    const Frame& f = best.f;
    const double along = (north - f.n) * f.tn + (east - f.e) * f.te;
    const bool atStart = best.vertex >= 0 && best.element == 0 && best.l == 0.0;
    const bool atEnd = best.vertex >= 0 && best.element == static_cast<int>(ix.elementStart.size()) - 1 &&
                       best.l == ix.lastLength;
    if ((atStart && along < -kEndSlack) || (atEnd && along > kEndSlack)) {
        // Behind the start or ahead of the end: on the extended tangent.
        r.extent = atStart && along < 0.0 ? RoadExtent::BeforeStart : RoadExtent::BeyondEnd;
        r.station = ix.elementStart[best.element] + best.l + along;
        r.offset = (east - f.e) * f.tn - (north - f.n) * f.te;
        moveFrame(f, along, 0.0, r.footNorth, r.footEast);
    } else {
        r.station = ix.elementStart[best.element] + best.l;
        r.offset = best.offset;
        r.footNorth = f.n;
        r.footEast = f.e;
    }
    r.azimuth = f.az;
    const Foot& other = nearest.other;
    if (nearest.tie() && twoPlaces(*m_alnt, nearest.station(best), nearest.station(other), north, east,
                                   std::max(best.dist, other.dist)))
        r.tieStation = nearest.station(other);
    out = r;
    return true;
}
