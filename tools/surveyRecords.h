// What the survey-computation commands (cogo, resect, geod) share: records read one per line
// from a file or stdin, options with several values, and their values shown as text or CSV.
#pragma once

#include "cli.h"
#include "displayUnits.h"

#include <string>
#include <vector>

namespace cli {

// One input line split into fields (splitFields), with its line number.
struct Record {
    long line = 0;
    std::vector<std::string> fields;
};

// Reads every record of `path` ("-" or empty: stdin); blank and '#' lines are skipped.
// False with a message when the file cannot be read.
bool readRecords(const std::string& path, std::vector<Record>& records, std::string& message);

// Takes "--name V1 ... Vcount" out of `words`. False with a message when the option is given
// with fewer values or more than once; `given` says whether it was there.
bool takeValues(std::vector<std::string>& words, const std::string& name, int count,
                std::vector<std::string>& values, bool& given, std::string& message);

// Decimals of every number in --csv output (at least; --decimals may ask for more).
const int kCsvDecimals = 9;

// The values of one answer, shown as text (blank-separated, --decimals) or as a CSV row.
struct ValueRow {
    const DisplayUnits* units;
    bool csv;
    std::vector<std::string> cells;

    int decimals() const;
    void length(double metres);          // in the display length unit
    void angle(double degrees);          // in the display angle unit
    void azimuth(double degrees);        // the same for a value in [0, 360), never shown as 360
    void fixed(double value, int decimals);
    void text(const std::string& cell);
    std::string str() const;             // joined by ' ' or ','
};

// An azimuth in [0, 360) in the display angle unit with its decimals; a value that rounds to
// the full circle is shown as 0.
std::string showAzimuth(const DisplayUnits& units, double degrees);

// A CSV cell: quoted when it holds a comma or a quote.
std::string csvCell(const std::string& text);

// Reads a length in the display unit (metres out) or an angle in the display angle unit (degrees
// out). False with a message naming `what`.
bool readLength(const DisplayUnits& units, const std::string& text, const std::string& what, double& metres,
                std::string& message);
bool readAngle(const DisplayUnits& units, const std::string& text, const std::string& what, double& degrees,
               std::string& message);

} // namespace cli
