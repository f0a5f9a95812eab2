// Surveyed point files as surveyors keep them: the lines `road locate` and `road plot --points`
// read, one point a line. Values are in the caller's unit (the tool's display unit); nothing
// here converts them.
//
// The lines accepted:
//   - NAME NORTH EAST [HEIGHT] [CODE], or NORTH EAST [HEIGHT]: a first field that is no number
//     is the name, and so is the first of four or more numbers ("101 NORTH EAST HEIGHT");
//     fields separated by blanks, tabs, commas or semicolons (SplitTextFields);
//   - CR LF or LF line ends; blank lines and lines starting with '#' hold nothing
//     (IsBlankOrCommentLine);
//   - a first line that is a CSV header row naming its columns (name/point/id,
//     north/northing/n, east/easting/e, height/elevation/elev/z/h, code; any case, any order):
//     the rows are then split at the header's separator with empty fields kept (a row without
//     that separator at any separator); a first line without any number that names no known
//     column is a header to skip.
// Numbers follow the one decimal grammar (ParseDecimalText: no hexadecimal, "inf" or "nan");
// coordinates must lie below 1e9 and heights below 1e5 in size.
//
// Reading a file: skip the lines IsBlankOrCommentLine holds; offer the first other line to
// ReadRoadPointHeader (true: it is a header, set the format from it); parse every other line
// with ParseRoadPointLine and that format.
#pragma once

#include <string>
#include <string_view>

struct RoadPointRecord {
    std::string name;   // empty when the line names none
    std::string code;
    double north = 0.0, east = 0.0, height = 0.0;
    bool hasHeight = false;
};

// How the lines of one file are laid out; set from its first line (ReadRoadPointHeader).
struct RoadPointFormat {
    bool header = false;    // columns from a header row
    char separator = 0;     // the header's separator (0: any of blank, tab, comma, semicolon)
    int name = -1, north = -1, east = -1, height = -1, code = -1;
};

// The first line to read of a file (not blank, no comment): true when it is a header row, with
// `format` set when it names the north and east columns.
bool ReadRoadPointHeader(std::string_view line, RoadPointFormat& format);

// One line as a point; false with the reason (at most 80 characters of the line quoted). The
// point's name is set from the line even when it is refused (for the messages), the rest only
// on success.
bool ParseRoadPointLine(const RoadPointFormat& format, std::string_view line, RoadPointRecord& point, std::string& why);

// Whether a line holds nothing to read (blank, or a comment).
bool IsBlankOrCommentLine(std::string_view line);

// An input line quoted for a message: at most 80 characters, then "...".
std::string QuotedInputLine(std::string_view line);
