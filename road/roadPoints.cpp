#include "road/roadPoints.h"

#include "numeric/textFields.h"

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

bool ParseRoadPointLine(const RoadPointFormat& format, std::string_view line, RoadPointRecord& point, std::string& why)
{
    // A row without the header's separator is split at any separator (files that mix them).
    const bool bySeparator = format.header && format.separator && line.find(format.separator) != std::string_view::npos;
    const std::vector<std::string_view> f = fieldsOf(line, bySeparator ? format.separator : 0);
    RoadPointRecord p;
    auto field = [&](int k) { return k >= 0 && k < static_cast<int>(f.size()) ? f[static_cast<size_t>(k)] : std::string_view(); };
    // The name, when the line gives one, even for a line refused below (for its messages).
    double number;
    point.name = std::string(format.header ? field(format.name)
                                           : (!f.empty() && (!ParseDecimalText(f[0], number) || f.size() >= 4)
                                                  ? f[0] : std::string_view()));
    if (format.header) {
        if (!ParseDecimalText(field(format.north), p.north) || !ParseDecimalText(field(format.east), p.east))
            return why = "expected north and east in their columns, got " + QuotedInputLine(line), false;
        if (!field(format.height).empty()) {
            if (!ParseDecimalText(field(format.height), p.height))
                return why = "the height is not a number: " + QuotedInputLine(line), false;
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
            numberedName = numberedName && ParseDecimalText(f[k], v);
        if (!f.empty() && (!ParseDecimalText(f[0], v) || numberedName))
            p.name = std::string(f[i++]);
        if (f.size() < i + 2 || !ParseDecimalText(f[i], p.north) || !ParseDecimalText(f[i + 1], p.east))
            return why = "expected \"[NAME] NORTH EAST [HEIGHT] [CODE]\", got " + QuotedInputLine(line), false;
        i += 2;
        if (i < f.size() && ParseDecimalText(f[i], p.height)) {
            p.hasHeight = true;
            ++i;
        }
        if (i < f.size())
            p.code = std::string(f[i++]);
        if (i < f.size() || (p.name.empty() && !p.code.empty()))
            return why = "expected \"[NAME] NORTH EAST [HEIGHT] [CODE]\", got " + QuotedInputLine(line), false;
    }
    if (!coordinateOk(p.north, why, "north") || !coordinateOk(p.east, why, "east"))
        return false;
    if (p.hasHeight && !(std::fabs(p.height) < kLargestHeight))
        return why = "the height is 1e5 or more in size", false;
    point = p;
    return true;
}
