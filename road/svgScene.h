// A small SVG toolkit for drawings made of marks and labels: page geometry, primitives kept in
// groups so that a drawing can be measured before it is placed, text measured from the font's
// advance widths, label placement clear of the labels already placed, and round steps for
// scales and grids. Nothing here knows about roads.
//
// Page coordinates are SVG user units (px at 96 dpi), x to the right and y down. Angles of
// turned text are in degrees, clockwise on the page.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace svgscene {

// ---------------------------------------------------------------------------------------------
// Page geometry

struct Pt {
    double x = 0.0, y = 0.0;
};
inline Pt operator+(Pt a, Pt b) { return {a.x + b.x, a.y + b.y}; }
inline Pt operator-(Pt a, Pt b) { return {a.x - b.x, a.y - b.y}; }
inline Pt operator*(Pt a, double k) { return {a.x * k, a.y * k}; }
inline double dot(Pt a, Pt b) { return a.x * b.x + a.y * b.y; }
// The direction a quarter turn clockwise on the page (the right side of a direction of travel).
inline Pt right(Pt d) { return {-d.y, d.x}; }

// A rectangle turned on the page: centre, unit direction of its length, half length and half
// width.
struct Box {
    Pt c, u{1.0, 0.0};
    double hu = 0.0, hv = 0.0;
    void corners(Pt out[4]) const;
};

// Whether two boxes overlap (separating axes; boxes that only touch do not).
bool overlap(const Box& a, const Box& b);
// Whether the box lies within the rectangle x0..x1, y0..y1.
bool inside(const Box& b, double x0, double y0, double x1, double y1);
// Whether the segment a-b passes through the box.
bool crosses(Pt a, Pt b, const Box& box);
// The square of half side r around a mark.
Box markBox(Pt c, double r);

// ---------------------------------------------------------------------------------------------
// Text

// The font-family list the drawings name: Latin and CJK on common systems.
extern const char* const kFontFamily;

// The advance of UTF-8 text at `size` px in the font kFontFamily names first (DejaVu Sans):
// per-character widths for Latin letters, digits and the common symbols, bold a tenth wider,
// and a full em for the characters of other scripts (CJK and the like), so that a measured box
// is never narrower than the text drawn.
double textWidth(std::string_view text, double size, bool bold = false);

// A page coordinate: three decimals, trailing zeros dropped.
std::string num(double v);
// Fixed decimals without the minus sign of a value that rounds to zero.
std::string fixed(double v, int decimals);
std::string escapeXml(const std::string& s);

// ---------------------------------------------------------------------------------------------
// Primitives and groups

struct Prim {
    enum Kind { Polyline, Polygon, Line, Circle, Text } kind = Line;
    std::vector<Pt> pts;
    double r = 0.0;            // circle
    double angle = 0.0;        // text rotation, degrees clockwise
    std::string anchor;        // text: start, middle, end
    std::string cls, text;
    Box box;                   // text: its measured extent
};

struct Group {
    int layer = 0;             // drawn in increasing layers
    std::string attrs;         // of the <g> element
    std::vector<Prim> prims;
};

Prim line(Pt a, Pt b, const std::string& cls);
Prim polyline(std::vector<Pt> pts, const std::string& cls, bool closed = false);
Prim circle(Pt c, double r, const std::string& cls);
// A horizontal text with its baseline at `at`, its box measured (textWidth; `bold` for a bold
// class).
Prim hText(Pt at, const std::string& anchor, const std::string& text, double size, const std::string& cls,
           bool bold = false);
// A text reading outwards from `p` along the unit direction `n`, beginning `gap` px from p and
// centred on the line through p along n; turned so that it never reads upside down.
Prim outwardText(Pt p, Pt n, double gap, const std::string& text, double size, const std::string& cls,
                 bool bold = false);

class Scene {
public:
    Group& add(int layer, const std::string& attrs = std::string());
    // Extent of everything drawn (text by its box); false when empty.
    bool bounds(double& x0, double& y0, double& x1, double& y1) const;
    // Every group, layer by layer, moved by `shift`.
    void write(std::string& out, Pt shift) const;
    const std::deque<Group>& groups() const { return m_groups; }

private:
    std::deque<Group> m_groups;
};

// ---------------------------------------------------------------------------------------------
// Label placement

// The boxes of the labels placed so far, for placing the next ones clear of them.
class Labels {
public:
    bool isFree(const Box& b) const;
    void take(const Box& b) { m_placed.push_back(b); }

private:
    std::vector<Box> m_placed;
};

// An outward label at the first gap from `gap` on (in steps of 6 px, up to `tries` of them)
// where it is clear of the labels placed; a label that must be shown takes the last gap tried
// when none is clear. A label moved out gets a leader line from `p`. False when the label is
// left out.
bool placeOutward(Group& g, Labels& labels, Pt p, Pt n, double gap, const std::string& text, double size,
                  const std::string& cls, int tries, bool must);
// A horizontal label beside the point p: right above, left above, right below, left below, then
// the same further out (a leader line from p to a label moved out). Same rules as placeOutward.
bool placeBeside(Group& g, Labels& labels, Pt p, const std::string& text, double size, const std::string& cls,
                 bool must);

// ---------------------------------------------------------------------------------------------
// Round steps

// The smallest of 1, 2 and 5 times a power of ten that is at least `least` (> 0).
double niceAtLeast(double least);
// The largest of 1, 2 and 5 times a power of ten that is at most `most` (> 0).
double niceAtMost(double most);

} // namespace svgscene
