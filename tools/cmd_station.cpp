// fieldcore station: stations (chainages) to and from their "12+34.50" text form, through the
// library's StnToString and StnFromString.
#include "cli.h"

#include "numeric/stationText.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <iostream>

namespace {

const char* kStationHelp =
    "usage: fieldcore station [VALUE...] [--unit 100|1000]\n"
    "       fieldcore station --parse [TEXT...] [--unit 100|1000]\n"
    "\n"
    "Shows stations (chainages) as text and reads them back. Without VALUE or TEXT,\n"
    "reads one per line from stdin (blank lines and lines starting with # are skipped).\n"
    "\n"
    "VALUE is a chainage in metres; it is printed as whole stations of --unit metres,\n"
    "a plus sign and the remainder with two decimals (\"%d+%.2f\"). The form is literal:\n"
    "the stations are the chainage divided by the unit and truncated towards zero, and\n"
    "the remainder is not carried, so 1299.999 prints as 12+100.00 and -50 as 0+-50.00.\n"
    "\n"
    "With --parse, TEXT is a station as typed: \"n+rest\" gives n * unit + rest metres,\n"
    "a text without a plus sign is read as metres. Reading stops at the first character\n"
    "that does not belong to the number, as the field software does (\"12+34.5m\" is\n"
    "1234.5). The chainage is printed in metres.\n"
    "\n"
    "Options:\n"
    "  --unit U   metres per whole station, usually 100 or 1000 (default 100)\n"
    "  --parse    read station texts instead of showing chainages\n"
    "\n"
    "Examples:\n"
    "  fieldcore station 1234.5                  -> 12+34.50\n"
    "  fieldcore station --unit 1000 1234.5      -> 1+234.50\n"
    "  fieldcore station --parse 12+34.5         -> 1234.5\n"
    "  printf '0\\n150.25\\n' | fieldcore station\n"
    "\n"
    "Errors: a VALUE that is not a number, a chainage whose whole stations do not fit\n"
    "a 32-bit integer, or a TEXT that holds no station is reported on stderr (with its\n"
    "line number for stdin) and the other values are still answered.\n"
    "\n"
    "Exit status: 0 all values answered; 2 a bad value or a usage error.\n";

// A word is an option when it starts with "-" followed by something other than a digit or a
// point, so that negative chainages and station texts such as "-1+-50.00" stay values.
bool firstOption(const std::vector<std::string>& words, std::string& option)
{
    for (const std::string& w : words) {
        if (w.size() > 1 && w[0] == '-' && !std::isdigit(static_cast<unsigned char>(w[1])) && w[1] != '.') {
            option = w;
            return true;
        }
    }
    return false;
}

bool showStation(const std::string& text, double unit, std::string& out)
{
    double metres;
    if (!cli::parseDouble(text, metres)) {
        out = "'" + text + "' is not a number";
        return false;
    }
    const double stations = std::trunc(metres / unit);
    if (!(stations >= INT_MIN && stations <= INT_MAX)) {
        out = "'" + text + "' is out of range (whole stations must fit a 32-bit integer)";
        return false;
    }
    out = ToUtf8(StnToString(metres, unit));
    return true;
}

bool parseStation(const std::string& text, double unit, std::string& out)
{
    double metres = 0;
    if (StnFromString(FromUtf8(text.c_str()), metres, unit) != 1 || !std::isfinite(metres)) {
        out = "'" + text + "' is not a station";
        return false;
    }
    out = cli::formatDisplay(metres);
    return true;
}

int runStation(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (args.flag("--help")) {
        std::cout << kStationHelp;
        return cli::EXIT_OK;
    }
    const bool parse = args.flag("--parse");
    double unit = 100;
    std::string unitText;
    if (args.option("--unit", unitText) && (!cli::parseDouble(unitText, unit) || !(unit > 0)))
        return cli::usageError("station", "--unit takes a positive number of metres (100 or 1000)");
    if (!args.problem().empty())
        return cli::usageError("station", args.problem());
    std::string option;
    if (firstOption(args.rest(), option))
        return cli::usageError("station", args.unknownOption(option));

    return cli::forEachValue("station", args.rest(), std::cin, [&](const std::string& text, std::string& out) {
        return parse ? parseStation(text, unit, out) : showStation(text, unit, out);
    });
}

const bool stationRegistered =
    cli::registerCommand("station", "show stations as 12+34.50 text and read them back", &runStation);

} // namespace
