#include "road/roadStationText.h"

#include "numeric/textFields.h"
#include "road/roadPoints.h"

#include <cmath>
#include <cstdio>

namespace {

// Digits of the largest whole remainder below `unit` (at least 1).
int remainderWidth(double unit)
{
    double largest = std::ceil(unit) - 1.0;
    int width = 1;
    while (largest >= 10.0) {
        largest /= 10.0;
        ++width;
    }
    return width;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Digits with at most one decimal point and at least one digit; `whole` asks for digits only.
bool isPlainNumber(const std::string& t, bool whole)
{
    int digits = 0, points = 0;
    for (char c : t) {
        if (isDigit(c))
            ++digits;
        else if (c == '.' && !whole)
            ++points;
        else
            return false;
    }
    return digits > 0 && points <= 1;
}

// The value of text isPlainNumber has accepted, by the one decimal grammar.
double plainValue(const std::string& t)
{
    double v = 0.0;
    ParseDecimalText(t, v);
    return v;
}

std::string trim(const std::string& s)
{
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos)
        return std::string();
    const size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

} // namespace

std::string RoadStationText(double station, double unit, int decimals)
{
    if (!std::isfinite(station) || !(unit >= 1.0))
        return "?";
    if (decimals < 0)
        decimals = 0;
    if (decimals > 12)
        decimals = 12;
    const double scale = std::pow(10.0, decimals);
    // Rounded to the decimals first, so that the remainder never shows the unit itself.
    const double rounded = std::round(std::fabs(station) * scale) / scale;
    double whole = std::floor(rounded / unit);
    double rest = std::round((rounded - whole * unit) * scale) / scale;
    if (rest >= unit) {
        whole += 1.0;
        rest = std::round((rounded - whole * unit) * scale) / scale;
    }
    if (rest < 0.0) {
        whole -= 1.0;
        rest = std::round((rounded - whole * unit) * scale) / scale;
    }
    const int width = remainderWidth(unit) + (decimals > 0 ? decimals + 1 : 0);
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s%.0f+%0*.*f", station < 0.0 && rounded > 0.0 ? "-" : "", whole, width, decimals,
                  std::fabs(rest));
    return buf;
}

bool RoadParseStation(const std::string& input, double unit, double& station, int& region, std::string& why)
{
    std::string t = trim(input);
    int k = 0;
    const size_t at = t.find('@');
    if (at != std::string::npos) {
        const std::string r = t.substr(at + 1);
        if (!isPlainNumber(r, true) || r.size() > 6 || (k = std::stoi(r)) < 1)
            return why = QuotedInputLine(input) + ": the region after '@' must be a whole number from 1", false;
        t = trim(t.substr(0, at));
    }
    bool negative = false;
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
        negative = t[0] == '-';
        t = t.substr(1);
    }
    double value;
    const size_t plus = t.find('+');
    if (plus == std::string::npos) {
        if (!isPlainNumber(t, false))
            return why = QuotedInputLine(input) + " is not a station (a number or n+rest)", false;
        value = plainValue(t);
    } else {
        const std::string whole = t.substr(0, plus), rest = t.substr(plus + 1);
        if (rest.find_first_of("+-") != std::string::npos)
            return why = QuotedInputLine(input) + " is not a station: one sign and one '+' at most (n+rest)", false;
        if (!isPlainNumber(whole, true) || !isPlainNumber(rest, false))
            return why = QuotedInputLine(input) + " is not a station (n+rest: whole stations, '+', the remainder)", false;
        const double r = plainValue(rest);
        if (!(r < unit))
            return why = QuotedInputLine(input) + ": the remainder " + rest + " is not below the station unit", false;
        value = plainValue(whole) * unit + r;
    }
    if (!std::isfinite(value))
        return why = QuotedInputLine(input) + " is out of range", false;
    station = negative ? -value : value;
    region = k;
    return true;
}
