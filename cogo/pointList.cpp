// C2dPtListUt: bounding box, area, perimeter and the crossing tests.
#include "cogo/pointList.h"

#include "cogo/segment.h"
#include "numeric/unsetValue.h"

#include <algorithm>
#include <cmath>

C2dPtListUt::C2dPtListUt(const I2dPtList_r& list) : list_(list)
{
    reset();
}

void C2dPtListUt::reset()
{
    minX_ = minY_ = maxX_ = maxY_ = signedArea_ = unsetDouble();
}

C2dPos C2dPtListUt::point(int index) const
{
    C2dPos p{0.0, 0.0};
    list_.getPoint(index, p);
    return p;
}

void C2dPtListUt::fillBox() const
{
    const int n = list_.getCount();
    if (n <= 0 || !isUnset(minX_))
        return;
    const C2dPos p0 = point(0);
    double loX = p0.north, hiX = p0.north, loY = p0.east, hiY = p0.east;
    for (int k = 1; k < n; ++k) {
        const C2dPos p = point(k);
        loX = std::fmin(loX, p.north);
        hiX = std::fmax(hiX, p.north);
        loY = std::fmin(loY, p.east);
        hiY = std::fmax(hiY, p.east);
    }
    minX_ = loX;
    maxX_ = hiX;
    minY_ = loY;
    maxY_ = hiY;
}

// An empty list has no box: its getters answer 0 (and cache nothing).
double C2dPtListUt::getMinX() const { fillBox(); return isUnset(minX_) ? 0.0 : minX_; }
double C2dPtListUt::getMinY() const { fillBox(); return isUnset(minY_) ? 0.0 : minY_; }
double C2dPtListUt::getMaxX() const { fillBox(); return isUnset(maxX_) ? 0.0 : maxX_; }
double C2dPtListUt::getMaxY() const { fillBox(); return isUnset(maxY_) ? 0.0 : maxY_; }

double C2dPtListUt::getSignedArea() const
{
    if (!isUnset(signedArea_))
        return signedArea_;
    const int n = list_.getCount();
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const C2dPos a = point(i);
        const C2dPos b = point(i + 1 < n ? i + 1 : 0);
        sum += (b.north - a.north) * (a.east + b.east) / 2.0;
    }
    signedArea_ = sum;
    return sum;
}

double C2dPtListUt::getArea() const
{
    return std::fabs(getSignedArea());
}

double C2dPtListUt::getPerimeter() const
{
    const int n = list_.getCount();
    if (n < 2)
        return 0.0;
    double sum = getPosDistance(point(n - 1), point(0));
    for (int i = 0; i + 1 < n; ++i)
        sum += getPosDistance(point(i), point(i + 1));
    return sum;
}

double C2dPtListUt::findMostLeftAndRightVertices(const CMathAngle& dir, int& first,
                                                 int& second) const
{
    const int n = list_.getCount();
    first = second = 0;
    if (n <= 0)
        return 0.0;
    double hi = 0.0, lo = 0.0;
    for (int k = 0; k < n; ++k) {
        const C2dPos p = point(k);
        const double along = dir.getRotatedBackNorth(p.north, p.east);
        if (k == 0 || along > hi) {
            hi = along;
            first = k;
        }
        if (k == 0 || along < lo) {
            lo = along;
            second = k;
        }
    }
    return hi - lo;
}

int C2dPtListUt::get1stIntersection(const C2dPos& a, const C2dPos& b, int from, int to) const
{
    const int n = list_.getCount();
    const bool withClosing = to < 0 || to == n;
    const int lastSide = withClosing ? n - 2 : std::min(to - 1, n - 2);
    const C2dSegment ab{a, b};
    for (int k = std::max(from, 0); k <= lastSide; ++k) {
        if (ab.meets(C2dSegment{point(k), point(k + 1)}))
            return k;
    }
    if (withClosing && n >= 2 && ab.meets(C2dSegment{point(n - 1), point(0)}))
        return n - 1;
    return -1;
}

bool C2dPtListUt::get1stSelfXsection(int& i, int& j, int from, bool closed) const
{
    const int n = list_.getCount();
    for (int k = std::max(from, 0); k < n - 2; ++k) {
        // Side 0 and the closing side share point 0: side 0 stops at the last ordinary side.
        const int to = (k > 0 && closed) ? n : n - 1;
        const int hit = get1stIntersection(point(k), point(k + 1), k + 2, to);
        if (hit >= 0) {
            i = k;
            j = hit;
            return true;
        }
    }
    return false;
}

bool C2dPtListUt::hasSelfXsections() const
{
    int i, j;
    return get1stSelfXsection(i, j, 0, true);
}

// The list "already crosses itself" when two of its own sides cross. Its closing side is not
// part of a figure closed through added points, so it is left out of that test here.
bool C2dPtListUt::hasSelfXsections(const C2dPos& p) const
{
    int i, j;
    if (get1stSelfXsection(i, j, 0, false))
        return true;
    const int n = list_.getCount();
    if (n < 2)
        return false;
    return get1stIntersection(p, point(0), 1, n - 1) >= 0 ||
           get1stIntersection(p, point(n - 1), 0, n - 2) >= 0;
}

bool C2dPtListUt::hasSelfXsections(const C2dPos& p, const C2dPos& q) const
{
    int i, j;
    if (get1stSelfXsection(i, j, 0, false))
        return true;
    const int n = list_.getCount();
    if (n < 2)
        return false;
    const C2dPos first = point(0);
    const C2dPos last = point(n - 1);
    return get1stIntersection(p, first, 1, n - 1) >= 0 ||
           get1stIntersection(q, p, 0, n - 1) >= 0 ||
           get1stIntersection(q, last, 0, n - 2) >= 0 ||
           !C2dSegment{first, q}.meets(C2dSegment{last, p});
}
