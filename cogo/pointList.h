// Polygons given as point lists: measures, crossing tests and area division.
//
// Points are C2dPos (north, east) in metres; X names the first coordinate (north) and Y the
// second (east), as the method names do. Directions are CMathAngle azimuths (radians,
// clockwise from grid north). A list of n points is read as a polygon: side k runs from point k
// to point k + 1 (the ordinary sides 0 .. n - 2), and the closing side from point n - 1 back to
// point 0, unless a method says otherwise.
//
// Orientation: the signed area is positive when the points run counter-clockwise on a
// north-up map (the inside lies to the left of each side) and negative when they run clockwise.
//
// C2dPtListUt only refers to its list; the list must outlive it, and its owner calls reset()
// whenever the points change. Solvers return false rather than a doubtful answer and write their
// outputs only on success.
#pragma once

#include "numeric/mathAngle.h"

#include <cstddef>
#include <utility>
#include <vector>

// Read-only access to a caller's points.
class I2dPtList_r {
public:
    virtual int getCount() const = 0;
    virtual void getPoint(int index, C2dPos& out) const = 0;  // 0 <= index < getCount()
protected:
    ~I2dPtList_r() = default;
};

// A point list held in a vector.
class C2dPtVector final : public I2dPtList_r {
public:
    std::vector<C2dPos> points;

    C2dPtVector() = default;
    explicit C2dPtVector(std::vector<C2dPos> pts) : points(std::move(pts)) {}
    int getCount() const override { return static_cast<int>(points.size()); }
    void getPoint(int index, C2dPos& out) const override { out = points[static_cast<std::size_t>(index)]; }
};

class C2dPtListUt {
public:
    explicit C2dPtListUt(const I2dPtList_r& list);

    // Forgets the cached box and area; call after the points changed.
    void reset();

    // Bounding box (metres), over all points, cached on first use. With no points the box is
    // not defined: each returns 0 and nothing is cached.
    double getMinX() const;
    double getMinY() const;
    double getMaxX() const;
    double getMaxY() const;

    // Signed area (square metres, sign as in the header comment), cached; 0 for fewer than 3
    // points. getArea() is its absolute value.
    double getSignedArea() const;
    double getArea() const;
    // Length of all sides including the closing side (metres); 0 for fewer than 2 points.
    double getPerimeter() const;

    // Turns the points back by `dir` and compares their first rotated coordinate (the distance
    // along dir): `first` receives the index of the largest, `second` that of the smallest (ties
    // keep the earlier index; both 0 for an empty list). Returns largest - smallest (metres).
    double findMostLeftAndRightVertices(const CMathAngle& dir, int& first, int& second) const;

    // The first side k, max(from, 0) <= k <= to - 1, that the segment a-b meets; when `to` is
    // negative or equals the number of points, all ordinary sides and then the closing side
    // (reported as n - 1). -1 when none is met. `to` beyond n - 1 is clamped to the ordinary sides.
    int get1stIntersection(const C2dPos& a, const C2dPos& b, int from, int to) const;
    // The first pair of non-adjacent sides that meet: side i (from max(from, 0)) against the
    // sides i + 2 on, the closing side included when `closed` is true (except against side 0,
    // which it touches). True with i and j (j as get1stIntersection reports it) on a hit.
    bool get1stSelfXsection(int& i, int& j, int from, bool closed) const;

    // The closed polygon crosses itself.
    bool hasSelfXsections() const;
    // The list closed through one added point p (last point -> p -> first point) crosses itself.
    bool hasSelfXsections(const C2dPos& p) const;
    // The list closed through two added points (last point -> q -> p -> first point) crosses
    // itself, or the quadrilateral first, last, q, p is not convex (its diagonals first-q and
    // last-p do not meet).
    bool hasSelfXsections(const C2dPos& p, const C2dPos& q) const;

    // The signed area (square metres) of the part of the polygon on the non-negative side of
    // the line through `origin` with azimuth `dir`: the right-hand side looking along dir.
    double getPositiveArea(const C2dPos& origin, const CMathAngle& dir) const;

    // Hinge-line division. The list is a fixed boundary from its first point P to its last
    // point L; `out` receives the point X on the ray from P with azimuth `dir` such that the
    // list closed through X (.., L, X, P) has the area `area` (square metres, positive; the
    // list's orientation is followed). False for fewer than 2 points, a dir parallel to the
    // needed line, or an X that makes the figure cross itself.
    bool getAreaHingelLineSolution(const CMathAngle& dir, double area, C2dPos& out) const;

    // Parallel-line division. New points p on the side through P (first point) with azimuth
    // dirFirst and q on the side through L (last point) with azimuth dirLast, with q-p parallel
    // to L-P, such that the list closed through them (.., L, q, p, P) has the area `area`
    // (square metres). Both side directions must point to the same side of P->L. The solver
    // does not follow the list's orientation: it adds the strip between P-L and p-q to the
    // signed area, so it suits a list of positive signed area with the sides pointing outwards
    // (to the left of P->L). outFirst = p, outLast = q.
    bool getAreaParallelLineSolution(const CMathAngle& dirFirst, const CMathAngle& dirLast,
                                     double area, C2dPos& outFirst, C2dPos& outLast) const;
    // The same with the dividing line along the azimuth `dirDivide` instead of parallel to
    // P->L: P (or else L) is first moved along its side to where a line along dirDivide through
    // the other end meets it, and the triangle so added counts towards the area.
    bool getAreaParallelLineSolution(const CMathAngle& dirFirst, const CMathAngle& dirLast,
                                     const CMathAngle& dirDivide, double area,
                                     C2dPos& outFirst, C2dPos& outLast) const;

private:
    C2dPos point(int index) const;
    void fillBox() const;
    bool solveStrip(const C2dPos& first, const C2dPos& last, const CMathAngle& dirFirst,
                    const CMathAngle& dirLast, double needed, C2dPos& outFirst,
                    C2dPos& outLast) const;

    const I2dPtList_r& list_;
    mutable double minX_;
    mutable double minY_;
    mutable double maxX_;
    mutable double maxY_;
    mutable double signedArea_;
};
