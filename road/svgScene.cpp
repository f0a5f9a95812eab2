#include "road/svgScene.h"

#include "numeric/units.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace svgscene {

// ---------------------------------------------------------------------------------------------
// Page geometry

void Box::corners(Pt out[4]) const
{
    const Pt v = right(u);
    out[0] = c + u * hu + v * hv;
    out[1] = c + u * hu - v * hv;
    out[2] = c - u * hu + v * hv;
    out[3] = c - u * hu - v * hv;
}

// Separating axes: the boxes overlap unless one of their four side directions separates them.
bool overlap(const Box& a, const Box& b)
{
    const Pt axes[4] = {a.u, right(a.u), b.u, right(b.u)};
    for (const Pt& ax : axes) {
        const double ra = a.hu * std::fabs(dot(a.u, ax)) + a.hv * std::fabs(dot(right(a.u), ax));
        const double rb = b.hu * std::fabs(dot(b.u, ax)) + b.hv * std::fabs(dot(right(b.u), ax));
        if (std::fabs(dot(b.c - a.c, ax)) >= ra + rb)
            return false;
    }
    return true;
}

bool inside(const Box& b, double x0, double y0, double x1, double y1)
{
    Pt c[4];
    b.corners(c);
    for (const Pt& q : c)
        if (q.x < x0 || q.x > x1 || q.y < y0 || q.y > y1)
            return false;
    return true;
}

bool crosses(Pt a, Pt b, const Box& box)
{
    // The segment in the box's own axes, clipped to its extent (Liang-Barsky).
    const Pt v = right(box.u);
    const Pt pa{dot(a - box.c, box.u), dot(a - box.c, v)}, pb{dot(b - box.c, box.u), dot(b - box.c, v)};
    double t0 = 0.0, t1 = 1.0;
    const double d[2] = {pb.x - pa.x, pb.y - pa.y}, p0[2] = {pa.x, pa.y}, h[2] = {box.hu, box.hv};
    for (int k = 0; k < 2; ++k) {
        if (std::fabs(d[k]) < 1e-12) {
            if (std::fabs(p0[k]) >= h[k])
                return false;
            continue;
        }
        double ta = (-h[k] - p0[k]) / d[k], tb = (h[k] - p0[k]) / d[k];
        if (ta > tb)
            std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        if (t0 >= t1)
            return false;
    }
    return true;
}

Box markBox(Pt c, double r)
{
    return Box{c, {1.0, 0.0}, r, r};
}

// ---------------------------------------------------------------------------------------------
// Text

const char* const kFontFamily = "'DejaVu Sans','Noto Sans CJK JP','Noto Sans CJK SC',sans-serif";

namespace {

// DejaVu Sans advance widths of the printable ASCII characters, em (0x20 to 0x7E), rounded up.
const double kAsciiAdvance[95] = {
    0.318, 0.401, 0.460, 0.838, 0.637, 0.950, 0.780, 0.275, 0.391, 0.391, 0.500, 0.838, 0.318, 0.361, 0.318, 0.337,
    0.637, 0.637, 0.637, 0.637, 0.637, 0.637, 0.637, 0.637, 0.637, 0.637, 0.337, 0.337, 0.838, 0.838, 0.838, 0.531,
    1.000, 0.685, 0.687, 0.699, 0.771, 0.632, 0.576, 0.775, 0.753, 0.295, 0.295, 0.657, 0.558, 0.863, 0.749, 0.788,
    0.604, 0.788, 0.695, 0.635, 0.612, 0.733, 0.685, 0.989, 0.686, 0.612, 0.686, 0.391, 0.337, 0.391, 0.838, 0.500,
    0.500, 0.613, 0.636, 0.550, 0.636, 0.616, 0.353, 0.636, 0.634, 0.278, 0.278, 0.580, 0.278, 0.975, 0.634, 0.613,
    0.636, 0.636, 0.412, 0.521, 0.393, 0.634, 0.592, 0.818, 0.592, 0.592, 0.526, 0.637, 0.337, 0.637, 0.838};

// The advance of one code point, em.
double advance(unsigned long cp)
{
    if (cp >= 0x20 && cp <= 0x7E)
        return kAsciiAdvance[cp - 0x20];
    if (cp == 0xB0)   // degree sign
        return 0.500;
    if (cp == 0xD7)   // multiplication sign
        return 0.838;
    if (cp >= 0xA0 && cp <= 0x24F)   // Latin-1 and Latin Extended: as wide as the widest letters
        return 0.80;
    if (cp >= 0x2000 && cp <= 0x206F)   // punctuation: dashes, quotes
        return 1.0;
    return 1.0;   // other scripts (CJK ideographs and kana are a full em)
}

// The code points of UTF-8 text (a malformed byte counts as one character).
std::vector<unsigned long> codePoints(std::string_view s)
{
    std::vector<unsigned long> out;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        unsigned long cp = n == 1 ? c : c & (0x7Fu >> n);
        for (int k = 1; k < n && i + static_cast<size_t>(k) < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0x3Fu);
        out.push_back(cp);
        i += static_cast<size_t>(n);
    }
    return out;
}

} // namespace

double textWidth(std::string_view text, double size, bool bold)
{
    double em = 0.0;
    for (unsigned long cp : codePoints(text))
        em += advance(cp);
    return em * size * (bold ? 1.1 : 1.0);
}

std::string num(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    std::string s(buf);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string fixed(double v, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s(buf);
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos)
        s.erase(0, 1);
    return s;
}

namespace {

// The length of the well-formed UTF-8 sequence at s[i] that XML 1.0 allows as a character, 0
// when there is none (a stray byte, an overlong form, a surrogate, U+FFFE/U+FFFF).
size_t xmlCharLength(const std::string& s, size_t i)
{
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80)
        return c >= 0x20 || c == '\t' || c == '\n' || c == '\r' ? 1 : 0;
    const size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? (c < 0xF0 ? 3 : 0) : c >= 0xC2 ? 2 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    unsigned long cp = c & (0xFF >> (n + 1));
    for (size_t k = 1; k < n; ++k) {
        const unsigned char d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (d & 0x3F);
    }
    const bool shortest = (n == 3 && cp >= 0x800) || (n == 4 && cp >= 0x10000 && cp <= 0x10FFFF) || n == 2;
    return shortest && !(cp >= 0xD800 && cp <= 0xDFFF) && cp != 0xFFFE && cp != 0xFFFF ? n : 0;
}

} // namespace

std::string escapeXml(const std::string& s)
{
    // Text from the command line and point files may hold control characters or bytes that are
    // no UTF-8: each becomes U+FFFD, so that the page stays XML (a title with \x01 or \xFF made
    // an SVG that no program would open). Line ends and tabs become blanks.
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const size_t n = xmlCharLength(s, i);
        const char c = s[i];
        if (n == 0)
            out += "\xEF\xBF\xBD";
        else if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else if (c == '\t' || c == '\n' || c == '\r')
            out += ' ';
        else
            out.append(s, i, n);
        i += n == 0 ? 1 : n;
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Primitives

Prim line(Pt a, Pt b, const std::string& cls)
{
    Prim p;
    p.kind = Prim::Line;
    p.pts = {a, b};
    p.cls = cls;
    return p;
}

Prim polyline(std::vector<Pt> pts, const std::string& cls, bool closed)
{
    Prim p;
    p.kind = closed ? Prim::Polygon : Prim::Polyline;
    p.pts = std::move(pts);
    p.cls = cls;
    return p;
}

Prim circle(Pt c, double r, const std::string& cls)
{
    Prim p;
    p.kind = Prim::Circle;
    p.pts = {c};
    p.r = r;
    p.cls = cls;
    return p;
}

// Text boxes: the advance across, from a quarter em below the baseline to 0.95 em above it
// (ascenders and accents), a pixel of air around.
Prim hText(Pt at, const std::string& anchor, const std::string& text, double size, const std::string& cls, bool bold)
{
    Prim p;
    p.kind = Prim::Text;
    p.pts = {at};
    p.anchor = anchor;
    p.text = text;
    p.cls = cls;
    const double w = textWidth(text, size, bold);
    const double cx = anchor == "start" ? at.x + w / 2 : anchor == "end" ? at.x - w / 2 : at.x;
    p.size = size;
    p.bold = bold;
    const double mid = 0.5 * (kTextAbove - kTextBelow) * size;   // the box's centre above the baseline
    p.box = Box{{cx, at.y - mid}, {1.0, 0.0}, w / 2 + 1.0, 0.5 * (kTextAbove + kTextBelow) * size + 1.0};
    return p;
}

Prim outwardText(Pt p, Pt n, double gap, const std::string& text, double size, const std::string& cls, bool bold)
{
    const double w = textWidth(text, size, bold);
    const bool forward = n.x > 1e-9 || (std::fabs(n.x) <= 1e-9 && n.y < 0.0);
    const Pt r = forward ? n : n * -1.0;
    const Pt down = right(r);
    Prim t;
    t.kind = Prim::Text;
    const double mid = 0.5 * (kTextAbove - kTextBelow) * size;
    t.pts = {p + n * gap + down * mid};
    t.angle = std::atan2(r.y, r.x) * kDegPerRad;
    t.anchor = forward ? "start" : "end";
    t.text = text;
    t.cls = cls;
    t.size = size;
    t.bold = bold;
    t.box = Box{p + n * (gap + w / 2), n, w / 2 + 1.0, 0.5 * (kTextAbove + kTextBelow) * size + 1.0};
    return t;
}

// ---------------------------------------------------------------------------------------------
// Scene

Group& Scene::add(int layer, const std::string& attrs)
{
    m_groups.push_back(Group{layer, attrs, {}});
    return m_groups.back();
}

bool Scene::bounds(double& x0, double& y0, double& x1, double& y1) const
{
    x0 = y0 = 1e300;
    x1 = y1 = -1e300;
    auto take = [&](Pt q, double pad) {
        x0 = std::min(x0, q.x - pad);
        y0 = std::min(y0, q.y - pad);
        x1 = std::max(x1, q.x + pad);
        y1 = std::max(y1, q.y + pad);
    };
    for (const Group& g : m_groups)
        for (const Prim& p : g.prims) {
            if (p.kind == Prim::Text) {
                Pt c[4];
                p.box.corners(c);
                for (const Pt& q : c)
                    take(q, 0.0);
            } else {
                for (const Pt& q : p.pts)
                    take(q, p.kind == Prim::Circle ? p.r + 1.0 : 1.0);
            }
        }
    return x1 >= x0;
}

namespace {

void writePrim(std::string& out, const Prim& p, Pt d)
{
    const std::string cls = p.cls.empty() ? std::string() : " class=\"" + p.cls + "\"";
    switch (p.kind) {
    case Prim::Line:
        out += "<line" + cls + " x1=\"" + num(p.pts[0].x + d.x) + "\" y1=\"" + num(p.pts[0].y + d.y) + "\" x2=\"" +
               num(p.pts[1].x + d.x) + "\" y2=\"" + num(p.pts[1].y + d.y) + "\"/>";
        break;
    case Prim::Polyline:
    case Prim::Polygon:
        out += p.kind == Prim::Polygon ? "<polygon" : "<polyline";
        out += cls + " points=\"";
        for (size_t i = 0; i < p.pts.size(); ++i)
            out += (i ? " " : "") + num(p.pts[i].x + d.x) + "," + num(p.pts[i].y + d.y);
        out += "\"/>";
        break;
    case Prim::Circle:
        out += "<circle" + cls + " cx=\"" + num(p.pts[0].x + d.x) + "\" cy=\"" + num(p.pts[0].y + d.y) + "\" r=\"" +
               num(p.r) + "\"/>";
        break;
    case Prim::Text: {
        const std::string x = num(p.pts[0].x + d.x), y = num(p.pts[0].y + d.y);
        out += "<text" + cls + " x=\"" + x + "\" y=\"" + y + "\" font-size=\"" + num(p.size) + "\"";
        if (p.bold)
            out += " font-weight=\"bold\"";
        if (p.anchor != "start")
            out += " text-anchor=\"" + p.anchor + "\"";
        if (std::fabs(p.angle) > 1e-9)
            out += " transform=\"rotate(" + num(p.angle) + " " + x + " " + y + ")\"";
        out += ">" + escapeXml(p.text) + "</text>";
        break;
    }
    }
}

void writeGroup(std::string& out, const Group& g, Pt d)
{
    if (g.prims.empty())
        return;
    const bool wrap = !g.attrs.empty() || g.prims.size() > 1;
    if (wrap)
        out += "<g" + (g.attrs.empty() ? std::string() : " " + g.attrs) + ">";
    for (const Prim& p : g.prims)
        writePrim(out, p, d);
    out += wrap ? "</g>\n" : "\n";
}

} // namespace

void Scene::write(std::string& out, Pt shift) const
{
    int top = 0;
    for (const Group& g : m_groups)
        top = std::max(top, g.layer);
    for (int layer = 0; layer <= top; ++layer)
        for (const Group& g : m_groups)
            if (g.layer == layer)
                writeGroup(out, g, shift);
}

// ---------------------------------------------------------------------------------------------
// Label placement

void Labels::setArea(double x0, double y0, double x1, double y1)
{
    m_x0 = x0;
    m_y0 = y0;
    m_x1 = x1;
    m_y1 = y1;
}

bool Labels::isFree(const Box& b) const
{
    if (!inside(b, m_x0, m_y0, m_x1, m_y1))
        return false;
    for (const std::vector<Box>* list : {&m_placed, &m_marks, &m_leaders})
        for (const Box& p : *list)
            if (overlap(p, b))
                return false;
    return true;
}

bool Labels::leaderFree(Pt a, Pt b) const
{
    for (const Box& p : m_placed)
        if (crosses(a, b, p))
            return false;
    return true;
}

void Labels::takeLeader(Pt a, Pt b)
{
    const Pt d = b - a;
    const double len = std::sqrt(dot(d, d));
    if (len > 1e-9)
        m_leaders.push_back(Box{(a + b) * 0.5, d * (1.0 / len), len / 2, 0.5});
}

namespace {

// Puts the label and its leader (when `lead`) on the page and in `labels`.
void keep(Group& g, Labels& labels, const Prim& t, bool lead, Pt a, Pt b)
{
    if (lead) {
        g.prims.push_back(line(a, b, "lead"));
        labels.takeLeader(a, b);
    }
    labels.take(t.box);
    g.prims.push_back(t);
}

} // namespace

bool placeOutward(Group& g, Labels& labels, Pt p, Pt n, double gap, const std::string& text, double size,
                  const std::string& cls, int tries, bool bothSides, bool bold)
{
    for (int side = 0; side < (bothSides ? 2 : 1); ++side) {
        const Pt dir = side ? n * -1.0 : n;
        for (int i = 0; i < tries; ++i) {
            const double at = gap + 6.0 * i;
            const Prim t = outwardText(p, dir, at, text, size, cls, bold);
            const Pt a = p + dir * 4.0, b = p + dir * (at - 2.0);
            const bool lead = i > 0 || side > 0;
            if (labels.isFree(t.box) && (!lead || labels.leaderFree(a, b))) {
                keep(g, labels, t, lead, a, b);
                return true;
            }
        }
    }
    return false;
}

bool placeBeside(Group& g, Labels& labels, Pt p, const std::string& text, double size, const std::string& cls,
                 int rings, bool bold)
{
    for (int ring = 1; ring <= rings; ++ring) {
        const double d = 6.0 * ring, up = -4.0 - 6.0 * (ring - 1), down = size + 2.0 + 6.0 * (ring - 1);
        const Pt spots[4] = {{d, up}, {-d, up}, {d, down}, {-d, down}};
        for (const Pt& spot : spots) {
            const Prim t = hText(p + spot, spot.x > 0 ? "start" : "end", text, size, cls, bold);
            const Pt end = p + Pt{spot.x, spot.y < 0 ? up + 3.0 : down - size};
            const bool lead = ring > 2;
            if (labels.isFree(t.box) && (!lead || labels.leaderFree(p, end))) {
                keep(g, labels, t, lead, p, end);
                return true;
            }
        }
    }
    return false;
}

// The smallest of 1, 2 and 5 times a power of ten that is at least `least` (> 0).
double niceAtLeast(double least)
{
    double p = std::pow(10.0, std::floor(std::log10(least)));
    for (int i = 0; i < 4; ++i, p *= 10.0)
        for (double m : {1.0, 2.0, 5.0})
            if (m * p >= least * (1.0 - 1e-12))
                return m * p;
    return 10.0 * p;
}
// The largest of 1, 2 and 5 times a power of ten that is at most `most` (> 0).
double niceAtMost(double most)
{
    double p = std::pow(10.0, std::floor(std::log10(most)) + 1.0);
    for (int i = 0; i < 4; ++i, p /= 10.0)
        for (double m : {5.0, 2.0, 1.0})
            if (m * p <= most * (1.0 + 1e-12))
                return m * p;
    return p;
}

} // namespace svgscene
