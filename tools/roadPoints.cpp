#include "roadPoints.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace roadcli {

namespace {

const double kLargestCoordinate = 1e9;
const double kLargestHeight = 1e5;

bool isSeparator(char c, char separator)
{
    return separator ? c == separator : (c == ' ' || c == '\t' || c == ',' || c == ';');
}

// The fields of a line: at any separator (empty fields dropped), or at the header's separator
// (empty fields kept, blanks around them trimmed).
std::vector<std::string_view> fieldsOf(std::string_view line, char separator)
{
    std::vector<std::string_view> out;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    size_t i = 0;
    if (!separator) {
        while (i < line.size()) {
            while (i < line.size() && isSeparator(line[i], 0))
                ++i;
            const size_t start = i;
            while (i < line.size() && !isSeparator(line[i], 0))
                ++i;
            if (i > start)
                out.push_back(line.substr(start, i - start));
        }
        return out;
    }
    for (;;) {
        size_t end = line.find(separator, i);
        std::string_view f = line.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
        while (!f.empty() && (f.front() == ' ' || f.front() == '\t'))
            f.remove_prefix(1);
        while (!f.empty() && (f.back() == ' ' || f.back() == '\t'))
            f.remove_suffix(1);
        if (f.size() >= 2 && f.front() == '"' && f.back() == '"')
            f = f.substr(1, f.size() - 2);
        out.push_back(f);
        if (end == std::string_view::npos)
            break;
        i = end + 1;
    }
    return out;
}

std::string lower(std::string_view s)
{
    std::string t(s);
    for (char& c : t)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return t;
}

bool coordinateOk(double v, std::string& why, const char* what)
{
    if (std::fabs(v) < kLargestCoordinate)
        return true;
    why = std::string(what) + " is 1e9 or more in size";
    return false;
}

} // namespace

std::string quoteLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return "'" + std::string(line.substr(0, 80)) + (line.size() > 80 ? "...'" : "'");
}

bool isBlankOrComment(std::string_view line)
{
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
        ++i;
    return i == line.size() || line[i] == '#';
}

bool parseDecimalField(std::string_view field, double& value)
{
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    if (field.empty())
        return false;
    // Digits, one point, a leading minus and an exponent only: from_chars would take "inf",
    // "nan" and hexadecimal forms too.
    for (char c : field)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E' || c == '+'))
            return false;
    double v;
    const std::from_chars_result r = std::from_chars(field.data(), field.data() + field.size(), v);
    if (r.ec != std::errc() || r.ptr != field.data() + field.size() || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool readPointHeader(std::string_view line, PointFormat& format)
{
    char separator = 0;
    for (char c : {',', ';', '\t'})
        if (line.find(c) != std::string_view::npos) {
            separator = c;
            break;
        }
    const std::vector<std::string_view> fields = fieldsOf(line, separator);
    PointFormat f;
    f.separator = separator;
    for (size_t i = 0; i < fields.size(); ++i) {
        double v;
        if (parseDecimalField(fields[i], v))
            return false;   // a number: no header
        const std::string n = lower(fields[i]);
        const int k = static_cast<int>(i);
        if (n == "name" || n == "point" || n == "id")
            f.name = k;
        else if (n == "north" || n == "northing" || n == "n")
            f.north = k;
        else if (n == "east" || n == "easting" || n == "e")
            f.east = k;
        else if (n == "height" || n == "elevation" || n == "elev" || n == "z" || n == "h")
            f.height = k;
        else if (n == "code")
            f.code = k;
    }
    if (f.north >= 0 && f.east >= 0) {
        f.header = true;
        format = f;
    }
    return true;
}

bool parsePointLine(const PointFormat& format, std::string_view line, PointRecord& point, std::string& why)
{
    // A row without the header's separator is split at any separator (files that mix them).
    const bool bySeparator = format.header && format.separator && line.find(format.separator) != std::string_view::npos;
    const std::vector<std::string_view> f = fieldsOf(line, bySeparator ? format.separator : 0);
    PointRecord p;
    auto field = [&](int k) { return k >= 0 && k < static_cast<int>(f.size()) ? f[static_cast<size_t>(k)] : std::string_view(); };
    // The name, when the line gives one, even for a line refused below (for its messages).
    double number;
    point.name = std::string(format.header ? field(format.name)
                                           : (!f.empty() && (!parseDecimalField(f[0], number) || f.size() >= 4)
                                                  ? f[0] : std::string_view()));
    if (format.header) {
        if (!parseDecimalField(field(format.north), p.north) || !parseDecimalField(field(format.east), p.east))
            return why = "expected north and east in their columns, got " + quoteLine(line), false;
        if (!field(format.height).empty()) {
            if (!parseDecimalField(field(format.height), p.height))
                return why = "the height is not a number: " + quoteLine(line), false;
            p.hasHeight = true;
        }
        p.name = std::string(field(format.name));
        p.code = std::string(field(format.code));
    } else {
        // The name: a first field that is no number, or the first of four numbers (surveyors
        // number their points: "101 NORTH EAST HEIGHT").
        size_t i = 0;
        double v;
        bool numberedName = f.size() >= 4;
        for (size_t k = 0; k < 4 && k < f.size(); ++k)
            numberedName = numberedName && parseDecimalField(f[k], v);
        if (!f.empty() && (!parseDecimalField(f[0], v) || numberedName))
            p.name = std::string(f[i++]);
        if (f.size() < i + 2 || !parseDecimalField(f[i], p.north) || !parseDecimalField(f[i + 1], p.east))
            return why = "expected \"[NAME] NORTH EAST [HEIGHT] [CODE]\", got " + quoteLine(line), false;
        i += 2;
        if (i < f.size() && parseDecimalField(f[i], p.height)) {
            p.hasHeight = true;
            ++i;
        }
        if (i < f.size())
            p.code = std::string(f[i++]);
        if (i < f.size() || (p.name.empty() && !p.code.empty()))
            return why = "expected \"[NAME] NORTH EAST [HEIGHT] [CODE]\", got " + quoteLine(line), false;
    }
    if (!coordinateOk(p.north, why, "north") || !coordinateOk(p.east, why, "east"))
        return false;
    if (p.hasHeight && !(std::fabs(p.height) < kLargestHeight))
        return why = "the height is 1e5 or more in size", false;
    point = p;
    return true;
}

} // namespace roadcli
