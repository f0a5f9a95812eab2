#include "surveyRecords.h"
#include "hostFiles.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>

namespace cli {

bool readRecords(const std::string& path, std::vector<Record>& records, std::string& message)
{
    std::ifstream file;
    std::istream* in = &std::cin;
    if (!path.empty() && path != "-") {
        // A folder opens as a stream that reads nothing: it would pass for an empty file.
        const std::string why = whyUnreadable(path);
        if (!why.empty())
            return message = cannotRead(path, why), false;
        file.open(path);
        if (!file)
            return message = cannotRead(path, "cannot open"), false;
        in = &file;
    }
    std::string line;
    long lineNo = 0;
    while (std::getline(*in, line)) {
        ++lineNo;
        const std::string t = trim(line);
        if (t.empty() || t[0] == '#')
            continue;
        records.push_back(Record{lineNo, splitFields(t)});
    }
    return true;
}

bool takeValues(std::vector<std::string>& words, const std::string& name, int count,
                std::vector<std::string>& values, bool& given, std::string& message)
{
    given = false;
    for (size_t i = 0; i < words.size(); ++i) {
        if (words[i] != name)
            continue;
        if (given)
            return message = name + " is given twice", false;
        if (i + static_cast<size_t>(count) >= words.size())
            return message = name + " takes " + std::to_string(count) + " values", false;
        values.assign(words.begin() + static_cast<long>(i) + 1, words.begin() + static_cast<long>(i) + 1 + count);
        words.erase(words.begin() + static_cast<long>(i), words.begin() + static_cast<long>(i) + 1 + count);
        given = true;
        --i;
    }
    return true;
}

int ValueRow::decimals() const
{
    return csv ? std::max(kCsvDecimals, units->decimals) : units->decimals;
}

void ValueRow::length(double metres)
{
    // CSV: the unrounded conversion (the text form rounds feet to five decimals, as the field
    // display does).
    cells.push_back(csv ? fixedNoNegativeZero(metres / units->toMetres(1.0), decimals())
                        : units->showLength(metres));
}

void ValueRow::angle(double degrees)
{
    DisplayUnits u = *units;
    u.decimals = decimals();
    cells.push_back(u.showAngle(degrees));
}

void ValueRow::azimuth(double degrees)
{
    DisplayUnits u = *units;
    u.decimals = decimals();
    cells.push_back(showAzimuth(u, degrees));
}

std::string showAzimuth(const DisplayUnits& units, double degrees)
{
    const std::string text = units.showAngle(degrees);
    return text == units.showAngle(360.0) ? units.showAngle(0.0) : text;
}

void ValueRow::fixed(double value, int d)
{
    cells.push_back(fixedNoNegativeZero(value, d));
}

void ValueRow::text(const std::string& cell)
{
    cells.push_back(csv ? csvCell(cell) : cell);
}

std::string ValueRow::str() const
{
    std::string out;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i)
            out += csv ? ',' : ' ';
        out += cells[i];
    }
    return out;
}

std::string csvCell(const std::string& text)
{
    if (text.find_first_of(",\"") == std::string::npos)
        return text;
    std::string out = "\"";
    for (char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

bool readLength(const DisplayUnits& units, const std::string& text, const std::string& what, double& metres,
                std::string& message)
{
    double v;
    if (!parseDouble(text, v))
        return message = what + " '" + text + "' is not a number", false;
    metres = units.toMetres(v);
    if (!IsSurveyLength(metres))
        return message = what + " '" + text + "' is out of range (lengths beyond 1e9 m are refused)", false;
    return true;
}

bool readAngle(const DisplayUnits& units, const std::string& text, const std::string& what, double& degrees,
               std::string& message)
{
    double v;
    if (!parseDouble(text, v))
        return message = what + " '" + text + "' is not a number", false;
    std::string why;
    if (!checkPackedText(text, units.angle == ANGLES_DMS, false, why))   // 12.6030 was 13 deg 0 min 30 s
        return message = what + " " + why, false;
    degrees = units.toDegrees(v);
    if (!std::isfinite(degrees))
        return message = what + " '" + text + "' is not an angle", false;
    return true;
}

} // namespace cli
