#include "vrkmath/mathAlntOffset.h"

#include "cogo/segment.h"
#include "numeric/mathAngle.h"

#include <cmath>

namespace {

constexpr double kPointZero = 1e-12;        // points and stations that coincide exactly
constexpr double kCornerCoincide = 0.001;   // points that coincide for the corner rules
constexpr double kStationEnd = -1.0;        // "up to the last vertex"

bool coincide(const C2dPos& a, const C2dPos& b, double tol)
{
    return std::fabs(a.north - b.north) < tol && std::fabs(a.east - b.east) < tol;
}

// p moved by o across the direction a -> b (right positive). When a and b coincide (1e-12)
// there is no direction and p is returned unmoved.
C2dPos across(const C2dPos& a, const C2dPos& b, const C2dPos& p, double o)
{
    CMathAngle az;
    if (!az.setAz(a, b))
        return p;
    C2dPos out;
    az.getPosAcross(o, p, out);
    return out;
}

// The offset corner at P1 between P0 and P2 with the offsets o0, o1, o2 (see the header).
C2dPos offsetCorner(const C2dPos& p0, const C2dPos& p1, const C2dPos& p2, double o0, double o1, double o2,
                    bool isNode)
{
    const bool near01 = coincide(p0, p1, kCornerCoincide);
    const bool near12 = coincide(p1, p2, kCornerCoincide);
    if (isNode && !near01 && !near12) {
        CMathAngle d1, d2;
        d1.setAz(p0, p1);
        d2.setAz(p1, p2);
        C2dPos a, b, c, d;
        d1.getPosAcross(o0, p0, a);
        d1.getPosAcross(o1, p1, b);
        d2.getPosAcross(o1, p1, c);
        d2.getPosAcross(o2, p2, d);
        if (coincide(b, c, kCornerCoincide))
            return b;
        const C2dPos u{b.north - a.north, b.east - a.east};
        const C2dPos v{d.north - c.north, d.east - c.east};
        double s, t;
        if (lineMeetParams(a, u, c, v, s, t)) {
            const C2dPos x{a.north + s * u.north, a.east + s * u.east};
            const double fromB = getPosDistance(x, b);
            const double o = std::fabs(o1);
            if (fromB >= 0.5 * o && fromB <= 1.5 * o)
                return x;
        }
        return C2dPos{(b.north + c.north) / 2.0, (b.east + c.east) / 2.0};
    }
    if (!near01)
        return across(p0, p1, p1, o1);
    if (!near12)
        return across(p1, p2, p1, o1);
    return across(p0, p2, p1, o1);
}

// The source and destination of a plan offset. The offset is interpolated by the plan
// distance travelled from the stretch's start point.
struct PlanTrack {
    const CAlnt2dPosCache& src;
    CAlnt2dPosCache& dst;
    double from;

    int count() const { return src.GetSize(); }
    C2dPos point(int i) const
    {
        const C2dPosAndSt& v = src.GetData()[i];
        return C2dPos{v.north, v.east};
    }
    double station(int i) const { return src.GetData()[i].station; }
    bool isNode(int i) const { return src.getNodes().isNode(i); }
    bool pointAt(double station, C2dPos& p) const { return src.getPosOnSegment(station, p); }
    int nextIndex(double station) const { return src.getNextVertexIndex(station); }
    // The measure of b after a (whose measure is m), and of a point p before the start s.
    double measureNext(double m, const C2dPos& a, const C2dPos& b) const { return m + getPosDistance(a, b); }
    double measureBefore(const C2dPos& s, const C2dPos& p) const { return -getPosDistance(s, p); }
    void write(const C2dPos& q, double station)
    {
        C2dPosAndSt v;
        v.north = q.north;
        v.east = q.east;
        v.station = station;
        dst.addVertex(v, false);
    }
};

// The same on a profile: points (station, height), the offset interpolated by station, and
// each point written at its own station.
struct ProfileTrack {
    const CAlntHtPosCache& src;
    CAlntHtPosCache& dst;
    double from;

    int count() const { return src.GetSize(); }
    C2dPos point(int i) const
    {
        const CHtAndSt& v = src.GetData()[i];
        return C2dPos{v.station, v.height};
    }
    double station(int i) const { return src.GetData()[i].station; }
    bool isNode(int i) const { return src.getNodes().isNode(i); }
    bool pointAt(double station, C2dPos& p) const
    {
        double h;
        if (!src.getHtOnSegment(station, h))
            return false;
        p = C2dPos{station, h};
        return true;
    }
    int nextIndex(double station) const { return src.getNextVertexIndex(station); }
    double measureNext(double, const C2dPos&, const C2dPos& b) const { return b.north - from; }
    double measureBefore(const C2dPos&, const C2dPos& p) const { return p.north - from; }
    void write(const C2dPos& q, double) { dst.addVertex(CHtAndSt{q.east, q.north}, false); }
};

template <class Track>
bool offsetStretch(Track& t, double from, double to, double offFrom, double offTo, double& lastOffset,
                   bool joinPrevious, bool continues)
{
    const int n = t.count();
    if (n < 2)
        return false;
    const double lastStation = t.station(n - 1);
    if (to == kStationEnd || to > lastStation)
        to = lastStation;
    if (!(from < lastStation))
        return false;
    // A `from` before the first vertex has no start point: false, nothing written.
    C2dPos S, E;
    if (!t.pointAt(from, S) || !t.pointAt(to, E))
        return false;
    const double L = to - from;
    if (!(L >= kPointZero))   // zero (and, the caller's slip, negative) length
        return false;
    const int i0 = t.nextIndex(from);
    if (i0 < 1)
        return false;
    int iN;
    if (std::fabs(to - lastStation) < kPointZero) {
        iN = n - 1;
    } else {
        const int next = t.nextIndex(to);
        iN = next == i0 ? i0 : next - 1;
    }
    t.from = from;
    auto offsetAt = [&](double m) { return offFrom + (offTo - offFrom) * m / L; };
    // No vertex lies between from and to: vertex i0 lies after to.
    const bool noVertexInside = i0 == iN && t.station(iN) - to >= kPointZero;

    // First point, at `from`.
    const C2dPos firstNext = noVertexInside ? E : t.point(i0);
    int before = i0 - 1;
    if (joinPrevious && coincide(t.point(before), S, kPointZero))
        --before;
    C2dPos q;
    if (!joinPrevious || before < 0) {
        // Without a vertex before the start the join has no incoming chord: a square start.
        q = across(S, firstNext, S, offFrom);
    } else {
        q = offsetCorner(t.point(before), S, firstNext, lastOffset, offFrom,
                         offsetAt(t.measureNext(0.0, S, firstNext)), t.isNode(i0));
    }
    t.write(q, from);
    lastOffset = offFrom;

    // Vertices i0 ... iN - 1, each the corner between its neighbours (S before vertex i0).
    C2dPos prev = S;
    double prevM = 0.0;
    C2dPos cur = t.point(i0);
    double curM = t.measureNext(0.0, S, cur);
    if (i0 < iN) {
        const bool skipFirst = coincide(cur, S, kPointZero);
        for (int i = i0; i < iN; ++i) {
            const C2dPos next = t.point(i + 1);
            const double nextM = t.measureNext(curM, cur, next);
            if (i > i0 || !skipFirst) {
                const double o = offsetAt(curM);
                t.write(offsetCorner(prev, cur, next, offsetAt(prevM), o, offsetAt(nextM), t.isNode(i)),
                        t.station(i));
                lastOffset = o;
            }
            prev = cur;
            prevM = curM;
            cur = next;
            curM = nextM;
        }
    } else {
        prev = t.point(iN - 1);
        prevM = t.measureBefore(S, prev);
    }

    // Vertex iN.
    if (!noVertexInside) {
        if (coincide(cur, E, kPointZero)) {
            if (!continues) {
                t.write(across(prev, cur, cur, offTo), t.station(iN));
                lastOffset = offTo;
            }
        } else {
            const double o = offsetAt(curM);
            t.write(offsetCorner(prev, cur, E, offsetAt(prevM), o, offsetAt(t.measureNext(curM, cur, E)),
                                 t.isNode(iN)),
                    t.station(iN));
            lastOffset = o;
        }
    }

    // Closing point at `to`.
    if (!continues && lastOffset != offTo) {
        const C2dPos base = i0 == iN ? S : cur;
        if (!coincide(E, base, kPointZero)) {
            t.write(across(base, E, E, offTo), to);
            lastOffset = offTo;
        }
    }
    return true;
}

template <class Track>
bool offsetTable(Track& t, const TXContainerCArray<StAndOffset>& table)
{
    const int n = t.count();
    if (n < 2)
        return false;
    const int rows = table.GetSize();
    if (rows < 2)
        return true;
    const double first = t.station(0);
    const double last = t.station(n - 1);
    const StAndOffset* row = table.GetData();
    double lastOffset = 0.0;
    bool written = false;
    for (int k = 0; k + 1 < rows; ++k) {
        const StAndOffset& e = row[k];
        const StAndOffset& f = row[k + 1];
        const bool toEnd = f.station == kStationEnd;
        if (!toEnd && f.station < first)
            continue;
        double from = e.station;
        double offFrom = e.offset;
        if (e.station < first) {
            // A pair ending at -1.0 ends at the last vertex, for this interpolation too.
            const double fStation = toEnd ? last : f.station;
            from = first;
            offFrom = e.offset + (f.offset - e.offset) * (first - e.station) / (fStation - e.station);
        }
        if (toEnd || f.station >= last) {
            // The final stretch joins the one before it, which left its end open.
            return offsetStretch(t, from, f.station, offFrom, f.offset, lastOffset, written, false);
        }
        if (!offsetStretch(t, from, f.station, offFrom, f.offset, lastOffset, written, k + 2 < rows))
            return false;
        written = true;
    }
    return true;
}

} // namespace

bool OffsetPoints(const CAlnt2dPosCache& src, CAlnt2dPosCache& dst, double from, double to, double offFrom,
                  double offTo, double& lastOffset, bool joinPrevious, bool continues)
{
    PlanTrack t{src, dst, from};
    return offsetStretch(t, from, to, offFrom, offTo, lastOffset, joinPrevious, continues);
}

bool OffsetPoints(const CAlnt2dPosCache& src, CAlnt2dPosCache& dst, const TXContainerCArray<StAndOffset>& table)
{
    PlanTrack t{src, dst, 0.0};
    return offsetTable(t, table);
}

bool VerticalOffsetPoints(const CAlntHtPosCache& src, CAlntHtPosCache& dst, double from, double to,
                          double offFrom, double offTo, double& lastOffset, bool joinPrevious, bool continues)
{
    ProfileTrack t{src, dst, from};
    return offsetStretch(t, from, to, offFrom, offTo, lastOffset, joinPrevious, continues);
}

bool VerticalOffsetPoints(const CAlntHtPosCache& src, CAlntHtPosCache& dst,
                          const TXContainerCArray<StAndOffset>& table)
{
    ProfileTrack t{src, dst, 0.0};
    return offsetTable(t, table);
}

void HzToVertAlnt(const CAlnt2dPosCache& src, CAlntHtPosCache& dst)
{
    for (const C2dPosAndSt& v : src)
        dst.addVertex(CHtAndSt{v.east, v.north}, false);
}

void VertToHzAlnt(const CAlntHtPosCache& src, CAlnt2dPosCache& dst)
{
    for (const CHtAndSt& v : src) {
        C2dPosAndSt p;
        p.north = v.station;
        p.east = v.height;
        p.station = v.station;
        dst.addVertex(p, false);
    }
}

void PosArray2Cache(const TXContainerCArray<C2dPos>& positions, CAlnt2dPosCache& dst)
{
    for (int i = 0; i < positions.GetSize(); ++i) {
        C2dPosAndSt p;
        p.north = positions.GetData()[i].north;
        p.east = positions.GetData()[i].east;
        p.station = i;
        dst.addVertex(p, false);
    }
}
