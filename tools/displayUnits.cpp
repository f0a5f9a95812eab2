#include "displayUnits.h"

#include <algorithm>

namespace cli {

bool angleUnitFromName(const std::string& name, int& unit)
{
    if (name == "deg") unit = kDegrees;
    else if (name == "rad") unit = ANGLES_RAD;
    else if (name == "grd") unit = ANGLES_GRD;
    else if (name == "mls") unit = ANGLES_MLS;
    else if (name == "dms") unit = ANGLES_DMS;
    else return false;
    return true;
}

bool distUnitFromName(const std::string& name, UNITS& unit)
{
    if (name == "m") unit = UNITS_M;
    else if (name == "usft") unit = UNITS_USFT;
    else if (name == "ift") unit = UNITS_IFT;
    else if (name == "usfti") unit = UNITS_USFTI;
    else if (name == "ifti") unit = UNITS_IFTI;
    else return false;
    return true;
}

double DisplayUnits::toDegrees(double value) const
{
    return angle == kDegrees ? value : ToDegreesEx(value, static_cast<ANGLES>(angle));
}

double DisplayUnits::toSquareMetres(double value) const
{
    const double metresPerUnit = ToMetersEx(1.0, dist);
    return value * metresPerUnit * metresPerUnit;
}

std::string DisplayUnits::showLength(double metres) const
{
    return fixedNoNegativeZero(FromMetersEx(metres, dist), decimals);
}

std::string DisplayUnits::showArea(double squareMetres) const
{
    const double metresPerUnit = ToMetersEx(1.0, dist);
    return fixedNoNegativeZero(squareMetres / (metresPerUnit * metresPerUnit), decimals);
}

std::string DisplayUnits::showAngle(double degrees) const
{
    double shown = angle == kDegrees ? degrees : FromDegreesEx(degrees, static_cast<ANGLES>(angle), decimals);
    return fixedNoNegativeZero(shown, decimals);
}

bool readDisplayUnits(Args& args, DisplayUnits& units, std::string& message)
{
    std::string text;
    if (args.option("--units", text) &&
        !(distUnitFromName(text, units.dist) && units.dist <= UNITS_IFT)) {
        message = "unknown distance unit '" + text + "' (m, usft or ift)";
        return false;
    }
    int angle = kDegrees;
    if (args.option("--angles", text)) {
        if (!angleUnitFromName(text, angle) || angle == ANGLES_RAD || angle == ANGLES_MLS) {
            message = "unknown angle unit '" + text + "' (deg, dms or grd)";
            return false;
        }
        units.angle = angle;
    }
    if (args.option("--decimals", text) &&
        (!parseInt(text, units.decimals) || units.decimals < 4 || units.decimals > 12)) {
        message = "--decimals takes a whole number from 4 to 12";
        return false;
    }
    return true;
}

bool checkPackedText(const std::string& text, bool dms, bool feetInches, std::string& why)
{
    if (!dms && !feetInches)
        return true;
    const std::string t = trim(text);
    const size_t point = t.find('.');
    if (t.find_first_of("eE") != std::string::npos)
        return why = "'" + t + "': a packed value is written without an exponent", false;
    std::string digits = point == std::string::npos ? std::string() : t.substr(point + 1);
    digits.resize(std::max<size_t>(digits.size(), 4), '0');
    if (dms) {
        if ((digits[0] - '0') * 10 + (digits[1] - '0') >= 60)
            return why = "'" + t + "': the minutes (" + digits.substr(0, 2) + ") must be below 60", false;
        if ((digits[2] - '0') * 10 + (digits[3] - '0') >= 60)
            return why = "'" + t + "': the seconds (" + digits.substr(2, 2) + ") must be below 60", false;
        return true;
    }
    if ((digits[0] - '0') * 10 + (digits[1] - '0') >= 12)
        return why = "'" + t + "': the inches (" + digits.substr(0, 2) + ") must be below 12", false;
    if (digits[2] - '0' >= 8)
        return why = "'" + t + "': the eighths (" + digits.substr(2, 1) + ") must be below 8", false;
    return true;
}

std::string fixedNoNegativeZero(double value, int decimals)
{
    std::string text = formatFixed(value, decimals);
    if (text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos)
        text.erase(0, 1);
    return text;
}

} // namespace cli
