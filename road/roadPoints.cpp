#include "road/roadPoints.h"

#include "numeric/textFields.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const double kLargestCoordinate = 1e9;
const double kLargestHeight = 1e5;

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

// The fields of a line: at any separator (empty fields dropped), or at the header's separator.
std::vector<std::string_view> fieldsOf(std::string_view line, char separator)
{
    return separator ? SplitTextFieldsAt(line, separator) : SplitTextFields(line);
}

} // namespace

std::string QuotedInputLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return "'" + std::string(line.substr(0, 80)) + (line.size() > 80 ? "...'" : "'");
}

bool IsBlankOrCommentLine(std::string_view line)
{
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
        ++i;
    return i == line.size() || line[i] == '#';
}

bool ReadRoadPointHeader(std::string_view line, RoadPointFormat& format)
{
    char separator = 0;
    for (char c : {',', ';', '\t'})
        if (line.find(c) != std::string_view::npos) {
            separator = c;
            break;
        }
    const std::vector<std::string_view> fields = fieldsOf(line, separator);
    RoadPointFormat f;
    f.separator = separator;
    for (size_t i = 0; i < fields.size(); ++i) {
        double v;
        if (ParseDecimalText(fields[i], v))
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

namespace {

// The fields a line's point is read from, gathered in one pass without storing the others:
// the first kLeading fields and how many there are (counted up to kLeading + 1), or with a
// header the fields of its columns (empty where the row is shorter). The spans are plain
// (no constructor): only those gathered are written, a line costs no clearing of the rest.
struct PointFields {
    struct Span {
        const char* data;
        std::size_t size;
        std::string_view view() const { return std::string_view(data, size); }
    };
    static constexpr int kLeading = 5;
    enum Column { kName, kNorth, kEast, kHeight, kCode };
    Span field[kLeading + 1];   // without a header: the leading fields; with one: by Column
    int count = 0;
    // Without a header: whether each of the first four fields is a number, and its value.
    bool isNumber[4];
    double value[4];

    std::string_view operator[](int k) const { return field[k].view(); }
};

void gatherFields(const RoadPointFormat& format, std::string_view line, PointFields& p)
{
    // A row without the header's separator is split at any separator (files that mix them).
    const bool bySeparator = format.header && format.separator && line.find(format.separator) != std::string_view::npos;
    TextFieldCursor cursor(line, bySeparator ? format.separator : 0);
    std::string_view f;
    if (!format.header) {
        // The first four fields read as numbers once: whether the first is a name depends on
        // them.
        bool number = false;
        double value = 0.0;
        while (p.count <= PointFields::kLeading && (p.count < 4 ? cursor.next(f, number, value) : cursor.next(f))) {
            if (p.count < 4) {
                p.isNumber[p.count] = number;
                p.value[p.count] = value;
            }
            p.field[p.count++] = {f.data(), f.size()};
        }
        for (int k = p.count; k < 4; ++k)
            p.isNumber[k] = false;
        return;
    }
    const int columns[] = {format.name, format.north, format.east, format.height, format.code};
    for (PointFields::Span& s : p.field)
        s = {line.data(), 0};
    for (int k = 0; cursor.next(f); ++k)
        for (int c = PointFields::kName; c <= PointFields::kCode; ++c)
            if (k == columns[c])
                p.field[c] = {f.data(), f.size()};
}

std::string badLayout(std::string_view line)
{
    return "expected \"[NAME] NORTH EAST [HEIGHT] [CODE]\", got " + QuotedInputLine(line);
}

// A line laid out by a header row.
bool parseColumns(const PointFields& f, std::string_view line, RoadPointRecord& p, std::string& why)
{
    p.name = std::string(f[PointFields::kName]);
    if (!ParseDecimalText(f[PointFields::kNorth], p.north) || !ParseDecimalText(f[PointFields::kEast], p.east))
        return why = "expected north and east in their columns, got " + QuotedInputLine(line), false;
    if (!f[PointFields::kHeight].empty()) {
        if (!ParseDecimalText(f[PointFields::kHeight], p.height))
            return why = "the height is not a number: " + QuotedInputLine(line), false;
        p.hasHeight = true;
    }
    p.code = std::string(f[PointFields::kCode]);
    return true;
}

// A line of "[NAME] NORTH EAST [HEIGHT] [CODE]". The name: a first field that is no number, or
// the first of four numbers (surveyors number their points: "101 NORTH EAST HEIGHT").
bool parseFree(const PointFields& f, std::string_view line, RoadPointRecord& p, std::string& why)
{
    const bool* isNumber = f.isNumber;
    const double* value = f.value;
    int i = 0;
    const bool numberedName = f.count >= 4 && isNumber[0] && isNumber[1] && isNumber[2] && isNumber[3];
    if (f.count > 0 && (!isNumber[0] || numberedName))
        p.name = std::string(f[i++]);
    if (f.count < i + 2 || !isNumber[i] || !isNumber[i + 1])
        return why = badLayout(line), false;
    p.north = value[i];
    p.east = value[i + 1];
    i += 2;
    if (i < f.count && isNumber[i]) {   // i is 2 or 3 here
        p.height = value[i];
        p.hasHeight = true;
        ++i;
    }
    if (i < f.count)
        p.code = std::string(f[i++]);
    if (i < f.count || (p.name.empty() && !p.code.empty()))
        return why = badLayout(line), false;
    return true;
}

} // namespace

bool ParseRoadPointLine(const RoadPointFormat& format, std::string_view line, RoadPointRecord& point, std::string& why)
{
    PointFields f;
    gatherFields(format, line, f);
    RoadPointRecord p;
    const bool read = format.header ? parseColumns(f, line, p, why) : parseFree(f, line, p, why);
    if (read && (!coordinateOk(p.north, why, "north") || !coordinateOk(p.east, why, "east")))
        return point.name = p.name, false;
    if (read && p.hasHeight && !(std::fabs(p.height) < kLargestHeight))
        return point.name = p.name, why = "the height is 1e5 or more in size", false;
    if (read) {
        point = std::move(p);
        return true;
    }
    // The name, when the line gives one, even for a line refused (for its messages): a first
    // field that is no number or the first of four fields.
    point.name = std::string(format.header ? f[PointFields::kName]
                             : f.count > 0 && (f.count >= 4 || !f.isNumber[0]) ? f[0] : std::string_view());
    return false;
}
