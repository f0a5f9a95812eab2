// Surveyed point files as surveyors keep them, for `road locate` and `road plot --points`.
//
// Lines hold NAME NORTH EAST [HEIGHT] [CODE] or NORTH EAST [HEIGHT] (a first field that is no
// number is the name, and so is the first of four or more numbers: "101 NORTH EAST HEIGHT"), separated by blanks, tabs, commas or semicolons, with CR LF or LF ends;
// blank lines and lines starting with '#' are skipped. A CSV file may start with a header row
// naming its columns (name/point/id, north/northing/n, east/easting/e,
// height/elevation/elev/z/h, code; any case, any order): its rows are then split at the
// header's separator, empty fields kept (a row without that separator at any separator). A
// first line without any number that names no known column is a header to skip.
//
// Numbers are decimal only (no hexadecimal, "inf" or "nan"); coordinates must lie below 1e9
// and heights below 1e5 in size. Values are in the caller's display unit.
#pragma once

#include <string>
#include <string_view>

namespace roadcli {

struct PointRecord {
    std::string name;   // empty when the line names none
    std::string code;
    double north = 0.0, east = 0.0, height = 0.0;
    bool hasHeight = false;
};

// How the lines of one file are laid out; set from its first line (readPointHeader).
struct PointFormat {
    bool header = false;    // columns from a header row
    char separator = 0;     // the header's separator (0: any of blank, tab, comma, semicolon)
    int name = -1, north = -1, east = -1, height = -1, code = -1;
};

// The first line to read of a file (not blank, no comment): true when it is a header row, with
// `format` set when it names the columns.
bool readPointHeader(std::string_view line, PointFormat& format);

// One line as a point; false with the reason (at most 80 characters of the line quoted). The
// point's name is set from the line even when it is refused (for the messages), the rest only
// on success.
bool parsePointLine(const PointFormat& format, std::string_view line, PointRecord& point, std::string& why);

// Whether a line holds nothing to read (blank, or a comment).
bool isBlankOrComment(std::string_view line);

// A decimal number, the whole field (a leading '+' allowed): no hexadecimal, exponent-free
// text only where `plain`, no "inf" or "nan".
bool parseDecimalField(std::string_view field, double& value);

// An input line quoted for a message: at most 80 characters, then "...".
std::string quoteLine(std::string_view line);

} // namespace roadcli
