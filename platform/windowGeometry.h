// Integer device geometry of the windowing platform: a point and a rectangle in screen pixels,
// with the layout and behaviour of the Windows POINT/RECT structures and the MFC CPoint/CRect
// classes (x grows to the right, y grows downwards).
//
// A rectangle is half-open: it holds the pixels left <= x < right and top <= y < bottom. It is
// "normalised" when left <= right and top <= bottom; the operations below do not normalise on
// their own (as on the platform), NormalizeRect() does.
#pragma once

#include <cstdint>

class CPoint {
public:
    std::int32_t x;
    std::int32_t y;

    CPoint() : x(0), y(0) {}
    CPoint(std::int32_t initX, std::int32_t initY) : x(initX), y(initY) {}

    void Offset(std::int32_t dx, std::int32_t dy) { x += dx; y += dy; }
    void Offset(const CPoint& d) { Offset(d.x, d.y); }
    void SetPoint(std::int32_t newX, std::int32_t newY) { x = newX; y = newY; }

    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const CPoint& o) const { return !(*this == o); }
    CPoint operator+(const CPoint& o) const { return CPoint(x + o.x, y + o.y); }
    CPoint operator-(const CPoint& o) const { return CPoint(x - o.x, y - o.y); }
    CPoint operator-() const { return CPoint(-x, -y); }
    CPoint& operator+=(const CPoint& o) { Offset(o); return *this; }
    CPoint& operator-=(const CPoint& o) { Offset(-o.x, -o.y); return *this; }
};

class CSize {
public:
    std::int32_t cx;
    std::int32_t cy;

    CSize() : cx(0), cy(0) {}
    CSize(std::int32_t initCx, std::int32_t initCy) : cx(initCx), cy(initCy) {}
    bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
    bool operator!=(const CSize& o) const { return !(*this == o); }
};

class CRect {
public:
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;

    CRect() : left(0), top(0), right(0), bottom(0) {}
    CRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
        : left(l), top(t), right(r), bottom(b) {}
    CRect(const CPoint& topLeft, const CPoint& bottomRight)
        : left(topLeft.x), top(topLeft.y), right(bottomRight.x), bottom(bottomRight.y) {}

    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    CSize Size() const { return CSize(Width(), Height()); }

    // No area: width or height zero or negative.
    bool IsRectEmpty() const { return Width() <= 0 || Height() <= 0; }
    // All four coordinates zero.
    bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    // Half-open test: the right and bottom edges lie outside.
    bool PtInRect(const CPoint& p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }

    void SetRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
    {
        left = l; top = t; right = r; bottom = b;
    }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    // Swaps left/right and top/bottom where needed so that width and height are not negative.
    void NormalizeRect()
    {
        if (left > right) { std::int32_t t = left; left = right; right = t; }
        if (top > bottom) { std::int32_t t = top; top = bottom; bottom = t; }
    }
    void OffsetRect(std::int32_t dx, std::int32_t dy)
    {
        left += dx; right += dx; top += dy; bottom += dy;
    }
    // Moves every side outwards by dx (left and right) and dy (top and bottom); negative shrinks.
    void InflateRect(std::int32_t dx, std::int32_t dy)
    {
        left -= dx; right += dx; top -= dy; bottom += dy;
    }
    void DeflateRect(std::int32_t dx, std::int32_t dy) { InflateRect(-dx, -dy); }
    // The common part of two rectangles; false (and this rectangle emptied) when they share
    // no pixel.
    bool IntersectRect(const CRect& a, const CRect& b)
    {
        SetRect(a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom);
        if (IsRectEmpty()) {
            SetRectEmpty();
            return false;
        }
        return true;
    }

    bool operator==(const CRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const CRect& o) const { return !(*this == o); }
};
