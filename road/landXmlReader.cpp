#include "road/landXmlReader.h"

#include "platform/textCodec.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include <iconv.h>

namespace {

// A radius at or above this magnitude (file units) is infinite: exporters write 5.9E+300. Other
// numbers (coordinates, stations, lengths) must stay below it.
const double kInfiniteRadius = 1e12;
const double kLargestValue = 1e12;

// ---- Text helpers ------------------------------------------------------------------------

std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// The text for a message: at most 40 characters, on one line.
std::string quoted(const std::string& s)
{
    std::string t = trim(s);
    for (char& c : t)
        if (isBlank(c))
            c = ' ';
    if (t.size() > 40)
        t = t.substr(0, 37) + "...";
    return "'" + t + "'";
}

// "NaN" in any case, blanks around it: the value is not given.
bool isNanText(const char* text)
{
    return lower(trim(text)) == "nan";
}

// A decimal number: [+-] digits [. digits] [e [+-] digits], at least one digit in the
// mantissa ("280." and ".5" pass; hexadecimal, "inf" and "nan" do not).
bool parseDecimal(const std::string& text, double& value)
{
    const std::string t = trim(text);
    size_t i = 0, n = t.size();
    if (i < n && (t[i] == '+' || t[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(t[i])))
        ++i, ++digits;
    if (i < n && t[i] == '.') {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(t[i])))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-'))
            ++i;
        size_t expDigits = 0;
        while (i < n && std::isdigit(static_cast<unsigned char>(t[i])))
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    const double v = std::strtod(t.c_str(), nullptr);
    if (!std::isfinite(v))
        return false;
    value = v;
    return true;
}

// "INF" and its spellings (lower case, trimmed): an infinite radius.
bool isInfiniteWord(const std::string& t)
{
    return t == "inf" || t == "+inf" || t == "infinity" || t == "+infinity";
}

std::string shortNumber(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

std::string localName(const char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

bool isNamed(const pugi::xml_node& n, const char* name)
{
    return n.type() == pugi::node_element && localName(n.name()) == name;
}

// The text content of an element: its character data, CDATA included.
std::string textOf(const pugi::xml_node& n)
{
    std::string s;
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
            s += c.value();
    return s;
}

// ---- Encodings ---------------------------------------------------------------------------

void appendUtf8(std::string& out, unsigned cp)
{
    out += WideToUtf8(std::wstring(1, static_cast<wchar_t>(cp)));
}

std::string latinToUtf8(const std::string& bytes, bool latin9)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (unsigned char b : bytes) {
        unsigned cp = b;
        if (latin9) {
            switch (b) {
            case 0xA4: cp = 0x20AC; break;
            case 0xA6: cp = 0x0160; break;
            case 0xA8: cp = 0x0161; break;
            case 0xB4: cp = 0x017D; break;
            case 0xB8: cp = 0x017E; break;
            case 0xBC: cp = 0x0152; break;
            case 0xBD: cp = 0x0153; break;
            case 0xBE: cp = 0x0178; break;
            default: break;
            }
        }
        if (cp < 0x80)
            out += static_cast<char>(cp);
        else
            appendUtf8(out, cp);
    }
    return out;
}

// The encoding named by the XML declaration, lower case; empty when none is declared.
std::string declaredEncoding(const std::string& bytes)
{
    if (bytes.compare(0, 5, "<?xml") != 0)
        return std::string();
    const size_t end = bytes.find("?>");
    if (end == std::string::npos || end > 1024)
        return std::string();
    const std::string decl = bytes.substr(0, end);
    size_t p = decl.find("encoding");
    if (p == std::string::npos)
        return std::string();
    p = decl.find_first_of("\"'", p);
    if (p == std::string::npos)
        return std::string();
    const size_t q = decl.find(decl[p], p + 1);
    if (q == std::string::npos)
        return std::string();
    return lower(trim(decl.substr(p + 1, q - p - 1)));
}

// The name iconv knows an encoding by: Shift_JIS and GB2312 as the Windows code pages that
// Japanese and Chinese programs write under those names (0x5C a backslash, not a yen sign).
std::string iconvName(const std::string& enc)
{
    static const char* const cp932[] = {"shift_jis", "shift-jis", "sjis", "x-sjis", "ms_kanji", "windows-31j"};
    for (const char* n : cp932)
        if (enc == n)
            return "CP932";
    if (enc == "gb2312" || enc == "x-gbk")
        return "GBK";
    return enc;
}

enum class Converted { Done, Unknown, Invalid };

// The text in `enc` to UTF-8 by the C library's converter. Unknown: it does not know the
// encoding; Invalid: the bytes are not text in it (`at`: the first bad byte).
Converted convertByIconv(const std::string& bytes, const std::string& enc, std::string& out, size_t& at)
{
    iconv_t cd = iconv_open("UTF-8", iconvName(enc).c_str());
    if (cd == reinterpret_cast<iconv_t>(static_cast<intptr_t>(-1)))
        return Converted::Unknown;
    std::string result;
    std::vector<char> in(bytes.begin(), bytes.end());
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char buf[4096];
    Converted status = Converted::Done;
    while (inLeft > 0) {
        char* outPtr = buf;
        size_t outLeft = sizeof buf;
        const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        result.append(buf, static_cast<size_t>(outPtr - buf));
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            status = Converted::Invalid;
            at = static_cast<size_t>(inPtr - in.data());
            break;
        }
    }
    iconv_close(cd);
    if (status == Converted::Done)
        out = result;
    return status;
}

// The file as UTF-8, whatever it came as; false with a message for an encoding not read.
bool toUtf8(const std::string& bytes, std::string& out, std::string& message, long& line)
{
    line = 1;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        out = bytes.substr(3);
        return true;
    }
    if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0) {
        std::string le = bytes.substr(2, (bytes.size() - 2) & ~static_cast<size_t>(1));
        if (bytes[0] == '\xFE')
            for (size_t i = 0; i + 1 < le.size(); i += 2)
                std::swap(le[i], le[i + 1]);
        out = WideToUtf8(Utf16LeToWide(le.data(), le.size()));
        return true;
    }
    const std::string enc = declaredEncoding(bytes);
    if (enc.empty() || enc == "utf-8" || enc == "utf8" || enc == "us-ascii" || enc == "ascii") {
        out = bytes;
        return true;
    }
    if (enc == "iso-8859-15" || enc == "latin9" || enc == "latin-9") {
        out = latinToUtf8(bytes, true);
        return true;
    }
    if (enc == "windows-1252" || enc == "cp1252") {
        out = WideToUtf8(AnsiToWide(bytes));
        return true;
    }
    // Any other encoding the C library knows (Shift_JIS, GBK, Big5, ISO-8859-2, windows-1250,
    // ...). Refused before, the whole file for text that only names use.
    size_t at = 0;
    switch (convertByIconv(bytes, enc, out, at)) {
    case Converted::Done:
        return true;
    case Converted::Invalid:
        line += static_cast<long>(std::count(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(at), '\n'));
        message = "the file is not " + enc + " text as it declares (byte " + std::to_string(at + 1) + ")";
        return false;
    case Converted::Unknown:
        break;
    }
    if (enc.compare(0, 8, "iso-8859") == 0 || enc.compare(0, 7, "iso8859") == 0 ||
        enc.compare(0, 5, "latin") == 0) {
        out = latinToUtf8(bytes, false);
        return true;
    }
    message = "unsupported encoding '" + enc + "' (UTF-8, UTF-16 with byte-order mark, ISO-8859 or another the system converts)";
    return false;
}

// ---- The reader --------------------------------------------------------------------------

class Reader {
public:
    Reader(const std::string& name, const std::string& text) : m_name(name), m_text(text)
    {
        // Lines end in LF, CR LF or a lone CR (as XML reads them; a file with CR line ends was
        // all line 1).
        m_lineStarts.push_back(0);
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
                m_lineStarts.push_back(i + 1);
    }

    bool run(RoadFile& file);
    RoadError error;

private:
    long lineAt(ptrdiff_t offset) const
    {
        if (offset < 0)
            return 0;
        auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), static_cast<size_t>(offset));
        return static_cast<long>(it - m_lineStarts.begin());
    }
    long lineOf(const pugi::xml_node& n) const { return lineAt(n.offset_debug()); }

    bool fail(long line, const std::string& message)
    {
        error.file = m_name;
        error.line = line;
        error.message = message;
        return false;
    }
    bool fail(const pugi::xml_node& n, const std::string& message)
    {
        return fail(lineOf(n), "<" + localName(n.name()) + ">: " + message);
    }

    pugi::xml_attribute attr(const pugi::xml_node& n, const char* name) const
    {
        for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
            if (localName(a.name()) == name)
                return a;
        return pugi::xml_attribute();
    }
    bool number(const pugi::xml_node& n, const char* name, double& v, bool required);
    bool radius(const pugi::xml_node& n, const char* name, double& v);
    bool verticalRadius(const pugi::xml_node& n, double& v);
    bool rotation(const pugi::xml_node& n, RoadRot& rot, bool required);
    bool point(const pugi::xml_node& n, RoadPoint& p, int maxValues, int depth = 0);
    bool pointChild(const pugi::xml_node& n, const char* name, RoadPoint& p, bool required);

    bool units(const pugi::xml_node& root, RoadFile& file);
    bool cgPoints(const pugi::xml_node& root);
    bool alignment(const pugi::xml_node& n, RoadAlignment& a);
    bool geometry(const pugi::xml_node& n, RoadGeomElement& e);
    bool equations(RoadAlignment& a);
    bool profile(const pugi::xml_node& n, const std::string& profileName, RoadProfile& p);

    std::string m_name;
    const std::string& m_text;
    std::vector<size_t> m_lineStarts;
    struct CgPoint {
        pugi::xml_node node;
        RoadPoint point;
        bool resolved = false;
    };
    std::map<std::string, CgPoint> m_points;
    bool m_inframodel = false;   // the root's namespace is Inframodel's
    bool m_metres = true;        // the file's linear unit is the metre
    void kmPosts(RoadAlignment& a) const;
};

bool Reader::number(const pugi::xml_node& n, const char* name, double& v, bool required)
{
    pugi::xml_attribute a = attr(n, name);
    // Exporters write "NaN" for a value they do not hold: an optional attribute so written is
    // not given; a required one is refused below as not a number.
    if (!a || (!required && isNanText(a.value()))) {
        if (required)
            return fail(n, std::string("attribute '") + name + "' is missing");
        v = kRoadUnset;
        return true;
    }
    if (!parseDecimal(a.value(), v))
        return fail(n, std::string("attribute '") + name + "' is not a number: " + quoted(a.value()));
    if (!(std::fabs(v) < kLargestValue))
        return fail(n, std::string("attribute '") + name + "' is out of range: " + quoted(a.value()));
    return true;
}

bool Reader::radius(const pugi::xml_node& n, const char* name, double& v)
{
    pugi::xml_attribute a = attr(n, name);
    if (!a)
        return fail(n, std::string("attribute '") + name + "' is missing");
    const std::string t = lower(trim(a.value()));
    if (isInfiniteWord(t)) {
        v = kRoadInfinite;
        return true;
    }
    double r;
    if (!parseDecimal(t, r))
        return fail(n, std::string("attribute '") + name + "' is not a radius: " + quoted(a.value()));
    v = (r == 0.0 || std::fabs(r) >= kInfiniteRadius) ? kRoadInfinite : std::fabs(r);
    return true;
}

// A vertical curve's radius: an infinite one ("INF" or 1e12 and above, as horizontal radii are
// written) is no curve and reads as 0, as the file may also write it. The sign is kept as written
// (some exporters mark crests so); "-INF" is as infinite as "INF".
bool Reader::verticalRadius(const pugi::xml_node& n, double& v)
{
    pugi::xml_attribute a = attr(n, "radius");
    if (!a)
        return fail(n, "attribute 'radius' is missing");
    const std::string t = lower(trim(a.value()));
    if (isInfiniteWord(t) || (!t.empty() && t[0] == '-' && isInfiniteWord(t.substr(1)))) {
        v = 0.0;
        return true;
    }
    double r;
    if (!parseDecimal(t, r))
        return fail(n, "attribute 'radius' is not a number: " + quoted(a.value()));
    v = std::fabs(r) >= kInfiniteRadius ? 0.0 : r;
    return true;
}

bool Reader::rotation(const pugi::xml_node& n, RoadRot& rot, bool required)
{
    pugi::xml_attribute a = attr(n, "rot");
    if (!a) {
        rot = RoadRot::None;
        return !required || fail(n, "attribute 'rot' is missing");
    }
    const std::string t = lower(trim(a.value()));
    if (t == "cw")
        rot = RoadRot::Cw;
    else if (t == "ccw")
        rot = RoadRot::Ccw;
    else
        return fail(n, "attribute 'rot' is neither cw nor ccw: " + quoted(a.value()));
    return true;
}

// A point: a pntRef to <CgPoints> or "north east [height]" text.
bool Reader::point(const pugi::xml_node& n, RoadPoint& p, int maxValues, int depth)
{
    pugi::xml_attribute ref = attr(n, "pntRef");
    const std::string text = trim(textOf(n));
    if (ref && text.empty()) {
        auto it = m_points.find(ref.value());
        if (it == m_points.end())
            return fail(n, "point " + quoted(ref.value()) + " is not among the CgPoints");
        if (depth > 16)
            return fail(n, "point " + quoted(ref.value()) + ": too many references in a row");
        CgPoint& cg = it->second;
        if (!cg.resolved) {
            // A CgPoint may itself refer to another one; the mark stops a cycle.
            cg.resolved = true;
            RoadPoint q;
            if (!point(cg.node, q, 3, depth + 1))
                return false;
            cg.point = q;
        }
        if (!cg.point.valid)
            return fail(n, "point " + quoted(ref.value()) + " refers to itself");
        p = cg.point;
        return true;
    }
    std::vector<double> values;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        size_t j = i;
        while (j < text.size() && !isBlank(text[j]))
            ++j;
        if (j > i) {
            double v;
            if (!parseDecimal(text.substr(i, j - i), v))
                return fail(n, "expected 'north east', got " + quoted(text));
            // Said apart from a word that is no number: "expected 'north east'" for a
            // coordinate of 6.5e12 sent the reader looking for a typo.
            if (!(std::fabs(v) < kLargestValue))
                return fail(n, quoted(text.substr(i, j - i)) + " is out of range (1e12 or more in size)");
            values.push_back(v);
        }
        i = j;
    }
    if (values.size() < 2 || static_cast<int>(values.size()) > maxValues)
        return fail(n, (maxValues == 2 ? "expected two numbers, got " : "expected 'north east' or 'north east height', got ") +
                           quoted(text));
    p.valid = true;
    p.north = values[0];
    p.east = values[1];
    p.hasHeight = values.size() > 2;
    p.height = p.hasHeight ? values[2] : 0.0;
    return true;
}

bool Reader::pointChild(const pugi::xml_node& n, const char* name, RoadPoint& p, bool required)
{
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (isNamed(c, name))
            return point(c, p, 3);
    return !required || fail(n, std::string("the point <") + name + "> is missing");
}

// The unit a <Units> attribute names, compared in lower case without blanks (spacing varies
// between exporters: "decimal dd.mm.ss", "decimal  dd.mm.ss").
std::string squeezed(const std::string& text)
{
    std::string s;
    for (char c : lower(text))
        if (!isBlank(c))
            s += c;
    return s;
}

bool linearUnitNamed(const std::string& text, RoadLinearUnit& unit)
{
    static const struct {
        const char* name;
        RoadLinearUnit unit;
    } names[] = {{"meter", RoadLinearUnit::Metre},         {"metre", RoadLinearUnit::Metre},
                 {"millimeter", RoadLinearUnit::Millimetre}, {"centimeter", RoadLinearUnit::Centimetre},
                 {"kilometer", RoadLinearUnit::Kilometre},   {"ussurveyfoot", RoadLinearUnit::USSurveyFoot},
                 {"foot", RoadLinearUnit::InternationalFoot}, {"internationalfoot", RoadLinearUnit::InternationalFoot}};
    for (const auto& n : names)
        if (squeezed(text) == n.name)
            return unit = n.unit, true;
    return false;
}

bool angularUnitNamed(const std::string& text, RoadAngularUnit& unit)
{
    static const struct {
        const char* name;
        RoadAngularUnit unit;
    } names[] = {{"radians", RoadAngularUnit::Radians},          {"grads", RoadAngularUnit::Grads},
                 {"gradians", RoadAngularUnit::Grads},           {"decimaldegrees", RoadAngularUnit::DecimalDegrees},
                 {"decimaldd.mm.ss", RoadAngularUnit::DecimalDms}};
    for (const auto& n : names)
        if (squeezed(text) == n.name)
            return unit = n.unit, true;
    return false;
}

bool Reader::units(const pugi::xml_node& root, RoadFile& file)
{
    pugi::xml_node unitsNode;
    for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling())
        if (isNamed(c, "Units"))
            unitsNode = c;
    if (!unitsNode)
        return true;
    pugi::xml_node system;
    for (pugi::xml_node c = unitsNode.first_child(); c; c = c.next_sibling())
        if (isNamed(c, "Metric") || isNamed(c, "Imperial"))
            system = c;
    if (!system)
        return fail(unitsNode, "neither <Metric> nor <Imperial> is given");
    RoadUnits u;
    u.metric = isNamed(system, "Metric");
    pugi::xml_attribute linear = attr(system, "linearUnit");
    if (!linear)
        return fail(system, "attribute 'linearUnit' is missing");
    if (!linearUnitNamed(linear.value(), u.linear))
        return fail(system, "unknown linear unit " + quoted(linear.value()));
    pugi::xml_attribute angular = attr(system, "angularUnit");
    if (angular && !angularUnitNamed(angular.value(), u.angular))
        return fail(system, "unknown angular unit " + quoted(angular.value()));
    pugi::xml_attribute direction = attr(system, "directionUnit");
    if (direction && !angularUnitNamed(direction.value(), u.direction))
        return fail(system, "unknown direction unit " + quoted(direction.value()));
    // Heights are read in the linear unit: an elevation unit of another kind would make every
    // design height wrong by its factor, so it is refused. "feet" goes with either foot (the
    // declared kinds of elevation unit do not tell the two apart).
    pugi::xml_attribute elevation = attr(system, "elevationUnit");
    if (elevation) {
        const std::string e = squeezed(elevation.value());
        const bool feet = u.linear == RoadLinearUnit::USSurveyFoot || u.linear == RoadLinearUnit::InternationalFoot;
        RoadLinearUnit named;
        const bool same = (e == "feet" || e == "foot") ? feet : linearUnitNamed(e, named) && named == u.linear;
        if (!same)
            return fail(system, "heights in " + quoted(elevation.value()) + " and lengths in " + quoted(linear.value()) +
                                    " are not supported (heights are read in the linear unit)");
    }
    file.units = u;
    file.unitsDeclared = true;
    return true;
}

bool Reader::cgPoints(const pugi::xml_node& root)
{
    for (pugi::xml_node group : root.children()) {
        if (!isNamed(group, "CgPoints"))
            continue;
        for (pugi::xml_node c = group.first_child(); c; c = c.next_sibling()) {
            if (!isNamed(c, "CgPoint"))
                continue;
            pugi::xml_attribute name = attr(c, "name");
            if (name && m_points.find(name.value()) == m_points.end()) {
                CgPoint cg;
                cg.node = c;
                m_points[name.value()] = cg;
            }
        }
    }
    return true;
}

bool Reader::geometry(const pugi::xml_node& n, RoadGeomElement& e)
{
    e.line = lineOf(n);
    e.name = attr(n, "name").value();
    const std::string kind = localName(n.name());
    if (kind == "Line") {
        e.kind = RoadGeomKind::Line;
        if (!number(n, "length", e.length, false))
            return false;
    } else if (kind == "Curve") {
        e.kind = RoadGeomKind::Curve;
        if (!rotation(n, e.rot, false) || !number(n, "length", e.length, false) ||
            !pointChild(n, "Center", e.center, false) || !pointChild(n, "PI", e.pi, false))
            return false;
        // The radius is needed only when neither Center nor PI places the curve ("NaN": not
        // given).
        const pugi::xml_attribute r = attr(n, "radius");
        if (((r && !isNanText(r.value())) || (!e.center.valid && !e.pi.valid)) && !radius(n, "radius", e.radius))
            return false;
    } else {
        e.kind = RoadGeomKind::Spiral;
        pugi::xml_attribute type = attr(n, "spiType");
        e.spiType = type ? trim(type.value()) : std::string();
        if (type && lower(e.spiType) != "clothoid")
            return fail(n, "spiral type " + quoted(e.spiType) + " is not supported (only clothoid)");
        if (!number(n, "length", e.length, true) || !radius(n, "radiusStart", e.radiusStart) ||
            !radius(n, "radiusEnd", e.radiusEnd) || !rotation(n, e.rot, true) ||
            !pointChild(n, "PI", e.pi, false))
            return false;
        // Length 0 is a spiral that does not occur (exporters write one where a curve group has
        // none): road/roadGeometry.h takes it as a point when its Start and End meet.
        if (e.length < 0.0)
            return fail(n, "attribute 'length' must not be negative");
    }
    return pointChild(n, "Start", e.start, true) && pointChild(n, "End", e.end, true);
}

// A whole number written in `text` (blanks around it allowed).
bool wholeNumber(const std::string& text, long& value)
{
    const std::string t = trim(text);
    if (t.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(t.c_str(), &end, 10);
    if (errno != 0 || end != t.c_str() + t.size())
        return false;
    value = v;
    return true;
}

// Inframodel marks the km posts of a railway with station equations that do not restart the
// stationing: staAhead repeats staInternal, desc holds the km number and staBack the post's
// distance from the post before it. The posted station of a point is then its km address, the
// km times 1000 plus the metres past the post (shown n+rest: "2+941.80" is 941.80 m past post
// 2). Read as such when every equation of the alignment is so written and the file is in
// metres; otherwise as written. The post before the first one is taken as km - 1 (posts are
// numbered in order).
void Reader::kmPosts(RoadAlignment& a) const
{
    if (!m_inframodel || !m_metres || a.equations.empty())
        return;
    std::vector<long> km;
    for (const RoadStaEquation& q : a.equations) {
        long k;
        if (std::isnan(q.staInternal) || std::isnan(q.staAhead) ||
            !(std::fabs(q.staAhead - q.staInternal) <= 1e-9 * std::max(1.0, std::fabs(q.staInternal))) ||
            !wholeNumber(q.desc, k) || std::labs(k) > 1000000)
            return;
        km.push_back(k);
    }
    for (size_t i = 0; i < a.equations.size(); ++i) {
        RoadStaEquation& q = a.equations[i];
        q.staAhead = 1000.0 * static_cast<double>(km[i]);
        if (!std::isnan(q.staBack))
            q.staBack += 1000.0 * static_cast<double>(i > 0 ? km[i - 1] : km[i] - 1);
    }
}

// Completes the internal stations the file leaves as NaN (each follows from its back station
// and the equation before it) and checks their order.
bool Reader::equations(RoadAlignment& a)
{
    double prevInternal = a.staStart;
    double prevAhead = a.staStart;
    bool first = true;
    for (RoadStaEquation& q : a.equations) {
        if (std::isnan(q.staInternal)) {
            if (std::isnan(q.staBack))
                return fail(q.line, "<StaEquation>: neither staInternal nor staBack is given: the equation "
                                    "cannot be placed");
            q.staInternal = prevInternal + (q.staBack - prevAhead);
        }
        // The first equation may lie at or before the start (it then sets the start's posted
        // station); the others follow it.
        if (!first && q.staInternal < prevInternal)
            return fail(q.line, "<StaEquation>: station equations are out of order (internal station " +
                                    shortNumber(q.staInternal) + " lies before " + shortNumber(prevInternal) + ")");
        first = false;
        prevInternal = q.staInternal;
        prevAhead = q.staAhead;
    }
    return true;
}

bool Reader::profile(const pugi::xml_node& n, const std::string& profileName, RoadProfile& p)
{
    p.line = lineOf(n);
    p.name = attr(n, "name").value();
    p.profileName = profileName;
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const std::string kind = localName(c.name());
        RoadVip v;
        if (kind == "PVI")
            v.kind = RoadVipKind::Pvi;
        else if (kind == "ParaCurve")
            v.kind = RoadVipKind::ParaCurve;
        else if (kind == "CircCurve")
            v.kind = RoadVipKind::CircCurve;
        else if (kind == "UnsymParaCurve")
            v.kind = RoadVipKind::UnsymParaCurve;
        else
            continue;
        v.line = lineOf(c);
        RoadPoint se;
        if (!point(c, se, 2))
            return false;
        v.station = se.north;
        v.elevation = se.east;
        switch (v.kind) {
        case RoadVipKind::Pvi:
            break;
        case RoadVipKind::ParaCurve:
            if (!number(c, "length", v.length, true))
                return false;
            break;
        case RoadVipKind::CircCurve:
            if (!verticalRadius(c, v.radius) || !number(c, "length", v.length, false))
                return false;
            break;
        case RoadVipKind::UnsymParaCurve:
            if (!number(c, "lengthIn", v.lengthIn, true) || !number(c, "lengthOut", v.lengthOut, true))
                return false;
            break;
        }
        if ((!std::isnan(v.length) && v.length < 0.0) || v.lengthIn < 0.0 || v.lengthOut < 0.0)
            return fail(c, "a curve length must not be negative");
        p.vips.push_back(v);
    }
    return true;
}

bool Reader::alignment(const pugi::xml_node& n, RoadAlignment& a)
{
    a.line = lineOf(n);
    pugi::xml_attribute name = attr(n, "name");
    if (!name)
        return fail(n, "attribute 'name' is missing");
    a.name = name.value();
    a.desc = attr(n, "desc").value();
    if (!number(n, "staStart", a.staStart, true))
        return false;
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
        if (isNamed(c, "CoordGeom")) {
            for (pugi::xml_node g = c.first_child(); g; g = g.next_sibling()) {
                if (g.type() != pugi::node_element)
                    continue;
                const std::string kind = localName(g.name());
                if (kind == "Line" || kind == "Curve" || kind == "Spiral") {
                    RoadGeomElement e;
                    if (!geometry(g, e))
                        return false;
                    a.elements.push_back(e);
                } else if (kind == "IrregularLine" || kind == "Chain") {
                    return fail(g, "this geometry element is not supported (Line, Curve and Spiral are)");
                }
            }
        } else if (isNamed(c, "StaEquation")) {
            RoadStaEquation q;
            q.line = lineOf(c);
            q.desc = attr(c, "desc").value();
            if (!number(c, "staAhead", q.staAhead, true))
                return false;
            // staBack and staInternal may be missing or "NaN" (exporters mark the start of the
            // posted stations so).
            if (!number(c, "staBack", q.staBack, false) || !number(c, "staInternal", q.staInternal, false))
                return false;
            // Stations that decrease ahead of an equation would be posted increasing, every one
            // wrong: refused until they are supported.
            const pugi::xml_attribute increment = attr(c, "staIncrement");
            const std::string direction = increment ? lower(trim(increment.value())) : std::string("increasing");
            if (direction == "decreasing")
                return fail(c, "stations decreasing ahead of the equation (staIncrement 'decreasing') are not supported");
            if (direction != "increasing")
                return fail(c, "attribute 'staIncrement' is neither 'increasing' nor 'decreasing': " + quoted(increment.value()));
            a.equations.push_back(q);
        } else if (isNamed(c, "Profile")) {
            const std::string profileName = attr(c, "name").value();
            for (pugi::xml_node pa = c.first_child(); pa; pa = pa.next_sibling()) {
                if (!isNamed(pa, "ProfAlign"))
                    continue;
                // A profile that cannot be read is refused alone: the plan and the other
                // profiles still answer (a bad second profile refused the whole alignment).
                RoadProfile p;
                if (!profile(pa, profileName, p)) {
                    p.vips.clear();
                    p.refused = true;
                    p.refusal = error;
                    error = RoadError();
                }
                a.profiles.push_back(p);
            }
        }
    }
    if (a.elements.empty())
        return fail(n, "alignment " + quoted(a.name) + " has no geometry (no Line, Curve or Spiral)");
    kmPosts(a);
    return equations(a);
}

bool Reader::run(RoadFile& file)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(m_text.data(), m_text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (parsed.status == pugi::status_no_document_element)
        return fail(1, "not a LandXML file (no XML element)");
    if (!parsed)
        return fail(lineAt(parsed.offset), std::string("malformed XML: ") + parsed.description());
    const pugi::xml_node root = doc.document_element();
    if (localName(root.name()) != "LandXML")
        return fail(lineOf(root), "not a LandXML file (the root element is <" + std::string(root.name()) + ">)");
    RoadFile f;
    f.path = m_name;
    f.version = attr(root, "version").value();
    if (!units(root, f) || !cgPoints(root))
        return false;
    m_metres = f.units.linear == RoadLinearUnit::Metre;
    for (pugi::xml_attribute ns = root.first_attribute(); ns; ns = ns.next_attribute()) {
        const std::string name = ns.name();
        if ((name == "xmlns" || name.compare(0, 6, "xmlns:") == 0) && lower(ns.value()).find("inframodel") != std::string::npos)
            m_inframodel = true;
    }
    for (pugi::xml_node c : root.children())
        if (isNamed(c, "CoordinateSystem")) {
            f.epsgCode = trim(attr(c, "epsgCode").value());
            f.ogcWkt = attr(c, "ogcWktCode").value();
            break;
        }
    for (pugi::xml_node group : root.children()) {
        if (!isNamed(group, "Alignments"))
            continue;
        for (pugi::xml_node n : group.children()) {
            if (!isNamed(n, "Alignment"))
                continue;
            // An alignment the reader cannot take is refused alone: the others still load.
            RoadAlignment a;
            if (!alignment(n, a)) {
                RoadAlignment refused;
                refused.line = lineOf(n);
                refused.name = attr(n, "name").value();
                refused.refused = true;
                refused.refusal = error;
                f.alignments.push_back(refused);
                continue;
            }
            f.alignments.push_back(a);
        }
    }
    if (f.alignments.empty())
        return fail(lineOf(root), "the file holds no alignment");
    bool anyRead = false;
    for (const RoadAlignment& a : f.alignments)
        anyRead = anyRead || !a.refused;
    if (!anyRead) {
        error = f.alignments.front().refusal;
        return false;
    }
    file = f;
    return true;
}

} // namespace

bool ReadLandXmlBytes(const std::string& bytes, const std::string& name, RoadFile& file, RoadError& err)
{
    std::string text, message;
    long line = 1;
    if (!toUtf8(bytes, text, message, line)) {
        err.file = name;
        err.line = line;
        err.message = message;
        return false;
    }
    Reader reader(name, text);
    if (!reader.run(file)) {
        err = reader.error;
        return false;
    }
    return true;
}

bool ReadLandXmlFile(const std::string& path, RoadFile& file, RoadError& err)
{
    std::string bytes;
    bool ok = false;
    int why = 0;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            bytes.append(buf, n);
        ok = !std::ferror(f);
        why = errno;
        std::fclose(f);
    } else {
        why = errno;
    }
    if (!ok) {
        // With the reason: "cannot read the file" for a folder left the user guessing.
        err.file = path;
        err.line = 0;
        err.message = std::string("cannot read the file") + (why != 0 ? std::string(": ") + std::strerror(why) : "");
        return false;
    }
    return ReadLandXmlBytes(bytes, path, file, err);
}
