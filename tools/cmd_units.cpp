// fieldcore angle / fieldcore dist: unit conversions through the library's display
// conversions (ToDegreesEx / FromDegreesEx, ToMetersEx / FromMetersEx).
#include "cli.h"
#include "displayUnits.h"

#include "numeric/units.h"
#include "numeric/valueText.h"

#include <cmath>
#include <iostream>

namespace {

using cli::angleUnitFromName;
using cli::distUnitFromName;
using cli::kDegrees;

const char* kAngleHelp =
    "usage: fieldcore angle [VALUE...] --from UNIT --to UNIT [--digits N]\n"
    "       fieldcore angle [VALUE...] --from UNIT --text\n"
    "\n"
    "Converts angles between display units. Without VALUE, reads one value per line\n"
    "from stdin (blank lines and lines starting with # are skipped).\n"
    "\n"
    "Units:\n"
    "  deg  decimal degrees (the library's internal unit)\n"
    "  rad  radians\n"
    "  grd  grads, 400 to the circle\n"
    "  mls  mils, 6400 to the circle\n"
    "  dms  packed degrees-minutes-seconds: 123.4530 is 123 deg 45 min 30 sec\n"
    "\n"
    "Conversions into rad, grd and mls reduce by a full circle and round to five\n"
    "decimals, as the field display does; dms output is printed with --digits\n"
    "decimals (default 4: whole seconds; 5: tenths of a second).\n"
    "\n"
    "--text prints the angle in degrees as the field display's text: degrees (width\n"
    "3), the degree sign, two-digit minutes, an apostrophe, seconds with five decimals\n"
    "and a double quote; seconds that would print as 60 carry into the minutes. --to\n"
    "may be left out (or be deg). Meant for non-negative angles: for a negative angle\n"
    "degrees, minutes and seconds each carry their own minus sign.\n"
    "\n"
    "Examples:\n"
    "  fieldcore angle 123.4530 --from dms --to deg      -> 123.758333333333\n"
    "  fieldcore angle 90 --from deg --to grd            -> 100\n"
    "  printf '0.5\\n1.25\\n' | fieldcore angle --from deg --to dms\n"
    "  fieldcore angle 12.3 --from dms --text             -> [ 12\u00B030'0.00000\"]\n"
    "    (brackets added here to show the leading blank of the width-3 degrees)\n"
    "\n"
    "Exit status: 0 all values converted; 2 a bad value (reported on stderr with its\n"
    "line number, the other lines still converted) or a usage error.\n";

const char* kDistHelp =
    "usage: fieldcore dist [VALUE...] --from UNIT --to UNIT\n"
    "\n"
    "Converts distances between display units. Without VALUE, reads one value per\n"
    "line from stdin (blank lines and lines starting with # are skipped).\n"
    "\n"
    "Units:\n"
    "  m      metres (the library's internal unit)\n"
    "  usft   US survey feet (1200/3937 m)\n"
    "  ift    international feet (0.3048 m)\n"
    "  usfti  US survey feet-inches-eighths, packed: 5.073 is 5 ft 7 3/8 in\n"
    "  ifti   international feet-inches-eighths, packed\n"
    "\n"
    "Conversions out of metres round to five decimals of the unit, as the field\n"
    "display does; packed feet-inch values carry to the nearest eighth.\n"
    "\n"
    "Examples:\n"
    "  fieldcore dist 100 --from m --to usft     -> 328.08333\n"
    "  fieldcore dist 5.073 --from ifti --to m   -> 1.711325\n"
    "\n"
    "Exit status: 0 all values converted; 2 a bad value (reported on stderr with its\n"
    "line number, the other lines still converted) or a usage error.\n";

// Reads --from and --to; reports a usage error and returns false when they are missing or unknown.
template <typename Unit, typename Lookup>
bool readUnits(cli::Args& args, const char* command, Lookup lookup, Unit& from, Unit& to, int& status)
{
    std::string fromName, toName;
    bool haveFrom = args.option("--from", fromName);
    bool haveTo = args.option("--to", toName);
    if (!haveFrom || !haveTo) {
        status = cli::usageError(command, "--from and --to are required");
        return false;
    }
    if (!lookup(fromName, from)) {
        status = cli::usageError(command, "unknown unit '" + fromName + "'");
        return false;
    }
    if (!lookup(toName, to)) {
        status = cli::usageError(command, "unknown unit '" + toName + "'");
        return false;
    }
    return true;
}

bool rejectLeftoverOptions(const cli::Args& args, const char* command, int& status)
{
    std::string word;
    if (!args.problem().empty()) {
        status = cli::usageError(command, args.problem());
        return true;
    }
    if (args.firstUnknownOption(word)) {
        status = cli::usageError(command, args.unknownOption(word));
        return true;
    }
    return false;
}

int runAngle(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (args.flag("--help")) {
        std::cout << kAngleHelp;
        return cli::EXIT_OK;
    }
    int status = cli::EXIT_OK;
    int from = kDegrees, to = kDegrees;
    const bool asText = args.flag("--text");
    if (asText) {
        // The text form is always degrees: --from is needed, --to may be left out or be deg.
        std::string fromName, toName;
        if (!args.option("--from", fromName))
            return cli::usageError("angle", "--from is required");
        if (!angleUnitFromName(fromName, from))
            return cli::usageError("angle", "unknown unit '" + fromName + "'");
        if (args.option("--to", toName) && toName != "deg")
            return cli::usageError("angle", "--text prints degrees: --to must be deg or left out");
    } else if (!readUnits(args, "angle", angleUnitFromName, from, to, status)) {
        return status;
    }
    int digits = 4;
    std::string digitsText;
    if (args.option("--digits", digitsText) && (!cli::parseInt(digitsText, digits) || digits < 0 || digits > 12))
        return cli::usageError("angle", "--digits takes a whole number from 0 to 12");
    if (rejectLeftoverOptions(args, "angle", status))
        return status;

    return cli::forEachValue("angle", args.rest(), std::cin, [&](const std::string& text, std::string& out) {
        double value;
        if (!cli::parseDouble(text, value)) {
            out = "'" + text + "' is not a number";
            return false;
        }
        if (!cli::checkPackedText(text, from == ANGLES_DMS, false, out))
            return false;
        double deg = from == kDegrees ? value : ToDegreesEx(value, static_cast<ANGLES>(from));
        // The text form counts whole degrees in a 32-bit integer (a carry of the seconds
        // included): larger angles have none.
        if (asText && !(std::fabs(deg) < 2147483647.0)) {
            out = "'" + text + "' is out of range (whole degrees must fit a 32-bit integer)";
            return false;
        }
        if (asText)
            out = ToUtf8(AngleToString(deg));
        else if (to == kDegrees)
            out = cli::formatDisplay(deg);
        else if (to == ANGLES_DMS)
            out = cli::fixedNoNegativeZero(FromDegreesEx(deg, ANGLES_DMS, digits), digits);
        else
            out = cli::formatDisplay(FromDegreesEx(deg, static_cast<ANGLES>(to), digits));
        return true;
    });
}

int runDist(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (args.flag("--help")) {
        std::cout << kDistHelp;
        return cli::EXIT_OK;
    }
    int status = cli::EXIT_OK;
    UNITS from = UNITS_M, to = UNITS_M;
    if (!readUnits(args, "dist", distUnitFromName, from, to, status))
        return status;
    if (rejectLeftoverOptions(args, "dist", status))
        return status;

    return cli::forEachValue("dist", args.rest(), std::cin, [&](const std::string& text, std::string& out) {
        double value;
        if (!cli::parseDouble(text, value)) {
            out = "'" + text + "' is not a number";
            return false;
        }
        if (!cli::checkPackedText(text, false, from == UNITS_USFTI || from == UNITS_IFTI, out))
            return false;
        double metres = ToMetersEx(value, from);
        if (!IsSurveyLength(metres)) {
            out = "'" + text + "' is out of range (distances beyond 1e9 m are refused)";
            return false;
        }
        double shown = FromMetersEx(metres, to);
        out = (to == UNITS_USFTI || to == UNITS_IFTI) ? cli::fixedNoNegativeZero(shown, 3) : cli::formatDisplay(shown);
        return true;
    });
}

const bool angleRegistered = cli::registerCommand("angle", "convert angles between deg, rad, grd, mls and dms", &runAngle);
const bool distRegistered = cli::registerCommand("dist", "convert distances between m, usft, ift, usfti and ifti", &runDist);

} // namespace
