// fieldcore geod: geodesics on the ellipsoid record by record, in the form of GeographicLib's
// GeodSolve: the direct problem (GeoDirectComp) and the inverse problem (invlon),
// through cogo/geodesic.h.
#include "cli.h"
#include "displayUnits.h"
#include "surveyRecords.h"

#include "cogo/geodesic.h"
#include "numeric/units.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

const char* const kCommand = "geod";
const double kMaxMisfit = 1e-4;   // metres: a direct answer farther off is not given

const char* const kCommonHelp =
    "Options:\n"
    "  --ellipsoid A RF       semi-major axis (1 to 1e9 metres) and inverse flattening (above\n"
    "                         1; default WGS-84: 6378137 298.257223563)\n"
    "  --units m|usft|ift     distances in metres (default), US survey feet or international feet\n"
    "  --angles deg|dms|grd   latitudes, longitudes and azimuths in decimal degrees (default),\n"
    "                         packed degrees-minutes-seconds or grads\n"
    "  --decimals N           N decimals for distances and N + 5 for angles, as GeodSolve's\n"
    "                         precision option (4 to 12, default 5)\n"
    "  --csv                  comma-separated with a header row and full precision (distances 9\n"
    "                         decimals or N, angles 5 more); a rejected line keeps its row, the\n"
    "                         reason in the last column, status (ok otherwise)\n"
    "\n"
    "Input: one record per line from FILE, or stdin when FILE is left out or is -; fields\n"
    "separated by blanks, tabs, commas or semicolons; blank lines and lines starting with # are\n"
    "skipped. Azimuths are clockwise from north; azi2 is the forward azimuth at the second point\n"
    "(as GeodSolve's azi2), printed in [0, 360); longitudes are printed in [-180, 180].\n";

const char* const kDirectHelp =
    "usage: fieldcore geod direct [FILE|-] [--ellipsoid A RF] [--units U] [--angles A]\n"
    "                             [--decimals N] [--csv]\n"
    "\n"
    "The direct problem: one record 'lat1 lon1 azi1 s12' per line, one line 'lat2 lon2 azi2'.\n"
    "\n";

const char* const kInverseHelp =
    "usage: fieldcore geod inverse [FILE|-] [--ellipsoid A RF] [--units U] [--angles A]\n"
    "                              [--decimals N] [--csv]\n"
    "\n"
    "The inverse problem: one record 'lat1 lon1 lat2 lon2' per line, one line 'azi1 azi2 s12'\n"
    "(GeodSolve -i order).\n"
    "\n";

const char* const kDomains =
    "Domains:\n"
    "- direct: a first estimate corrected at most 19 times from inverse solutions, which slows and\n"
    "then diverges as the meridians converge across the line. Within 0.1 mm where s12 x\n"
    "tan(larger end latitude) <= 1.5e6 m (1000 km up to 56 deg, 500 km to 71 deg, 100 km to\n"
    "86 deg). Every answer is checked with the inverse: when the distance or the sideways miss\n"
    "s12 x |d azi1| exceeds 0.1 mm the line is not answered (\"no convergence (misfit X m)\").\n"
    "- inverse: every pair of points. An iteration on the longitude difference (Vincenty type,\n"
    "finished by one more evaluation at its last value): within 1 um up to 100 km, 14 um to\n"
    "2000 km, 60 um to 10,000 km, distance within 80 um to 19,500 km. Within about a degree of\n"
    "antipodal, where that iteration fails, the start azimuth is solved for by bisection: the\n"
    "distance within 1 mm and the azimuth to 1 mm at the far end.\n";

const char* const kTail =
    "\n"
    "Examples:\n"
    "  echo '40 -75 45 100000' | fieldcore geod direct\n"
    "      40.6338006753 -74.1641722387 45.5408067500\n"
    "  echo '-33.8688 151.2093 -37.8136 144.9631' | fieldcore geod inverse\n"
    "      230.4033030802 234.0652744082 713857.66512\n"
    "  fieldcore geod inverse pairs.csv --csv --ellipsoid 6378137 298.257222101\n"
    "\n"
    "Errors: a line that is not four numbers, with a latitude beyond 90 or a value not finite is\n"
    "reported on stderr (\"fieldcore geod SUB: line N: ...\"), prints nothing on stdout and the\n"
    "other lines still run.\n"
    "\n"
    "Exit status: 0 every record answered; 1 a direct line did not converge; 2 bad input or usage\n"
    "(2 wins over 1).\n";

struct Options {
    cli::DisplayUnits units;
    bool csv = false;
    std::string path;
    double a = 6378137.0, rf = 298.257223563;

    int distDecimals() const { return csv ? std::max(cli::kCsvDecimals, units.decimals) : units.decimals; }
    std::string length(double metres) const
    {
        return cli::fixedNoNegativeZero(metres / units.toMetres(1.0), distDecimals());
    }
    std::string angle(double degrees) const
    {
        cli::DisplayUnits u = units;
        u.decimals = distDecimals() + 5;
        return u.showAngle(degrees);
    }
    std::string azimuth(double degrees) const
    {
        cli::DisplayUnits u = units;
        u.decimals = distDecimals() + 5;
        return cli::showAzimuth(u, degrees);
    }
};

int readOptions(const std::string& sub, const std::vector<std::string>& words0, const char* help, Options& o)
{
    for (const std::string& w : words0)
        if (w == "--help" || w == "-h") {
            std::cout << help << kCommonHelp << '\n' << kDomains << kTail;
            return -1;
        }
    std::vector<std::string> words = words0, ell;
    std::string message;
    bool given;
    if (!cli::takeValues(words, "--ellipsoid", 2, ell, given, message))
        return cli::usageError(sub, message);
    if (given && (!cli::parseDouble(ell[0], o.a) || !cli::parseDouble(ell[1], o.rf) || !(o.a >= 1.0) ||
                  !IsSurveyLength(o.a) || !(o.rf > 1.0)))
        // Beyond these the distances overflow or underflow to NaN (a = 1e300 or 1e-200 printed nan).
        return cli::usageError(sub, "--ellipsoid takes a semi-major axis from 1 m to 1e9 m and an inverse "
                                    "flattening above 1");
    cli::Args args(words);
    o.units.decimals = 5;
    if (!cli::readDisplayUnits(args, o.units, message))
        return cli::usageError(sub, message);
    o.csv = args.flag("--csv");
    std::string option;
    if (args.missingValue())
        return cli::usageError(sub, "an option is missing its value");
    if (args.firstUnknownOption(option) && option != "-")
        return cli::usageError(sub, args.unknownOption(option));
    if (args.rest().size() > 1)
        return cli::usageError(sub, "give one input file (got '" + args.rest()[1] + "' too)");
    o.path = args.rest().empty() ? std::string("-") : args.rest()[0];
    return cli::EXIT_OK;
}

// Four numbers: angles, except the fourth of a direct record (a distance).
bool readRecord(const cli::Record& r, const Options& o, bool direct, double* v, std::string& message)
{
    if (r.fields.size() != 4)
        return message = "expected 4 values, got " + std::to_string(r.fields.size()), false;
    const char* names[2][4] = {{"lat1", "lon1", "lat2", "lon2"}, {"lat1", "lon1", "azi1", "s12"}};
    for (int i = 0; i < 4; ++i) {
        const char* what = names[direct ? 1 : 0][i];
        if (!(direct && i == 3 ? cli::readLength(o.units, r.fields[i], what, v[i], message)
                               : cli::readAngle(o.units, r.fields[i], what, v[i], message)))
            return false;
    }
    for (int i : {0, direct ? 0 : 2})
        if (std::fabs(v[i]) > 90.0)
            return message = std::string(names[0][i]) + " '" + r.fields[i] + "' is beyond 90 degrees", false;
    return true;
}

int run(const std::string& sub, const Options& o, bool direct)
{
    std::vector<cli::Record> records;
    std::string message;
    if (!cli::readRecords(o.path, records, message)) {
        cli::error(sub, message);
        return cli::EXIT_BAD_INPUT;
    }
    if (o.csv)
        std::cout << (direct ? "lat2,lon2,azi2,status\n" : "azi1,azi2,s12,status\n");
    bool bad = false, noAnswer = false;
    for (const cli::Record& r : records) {
        double v[4];
        std::string out;
        bool ok = readRecord(r, o, direct, v, message);
        if (ok && direct) {
            const double p1[2] = {v[0], v[1]};
            double p2[2], faz, s, baz;
            CogoFunctions::GeoDirectComp(o.a, o.rf, p1, v[2], v[3], p2);
            invlon(o.a, o.rf, v[0], v[1], p2[0], p2[1], faz, s, baz);
            const double misfit =
                std::max(std::fabs(s - v[3]), std::fabs(v[3]) * std::fabs(std::remainder(faz - v[2], 360.0)) * kRadPerDeg);
            if (std::fabs(v[3]) >= 1e-9 && !(misfit <= kMaxMisfit)) {
                message = "no convergence (misfit " + cli::formatDisplay(std::round(misfit * 1e4) / 1e4) + " m)";
                ok = false;
                noAnswer = true;
            } else {
                const double azi2 = std::fabs(v[3]) < 1e-9 ? v[2] : baz - 180.0;
                out = o.angle(p2[0]) + (o.csv ? "," : " ") + o.angle(std::remainder(p2[1], 360.0)) +
                      (o.csv ? "," : " ") + o.azimuth(std::fmod(azi2 + 720.0, 360.0));
            }
        } else if (ok) {
            double faz, s, baz;
            invlon(o.a, o.rf, v[0], v[1], v[2], v[3], faz, s, baz);
            out = o.azimuth(faz) + (o.csv ? "," : " ") + o.azimuth(std::fmod(baz + 180.0, 360.0)) +
                  (o.csv ? "," : " ") + o.length(s);
        } else {
            bad = true;
        }
        if (ok) {
            std::cout << out << (o.csv ? ",ok\n" : "\n");
            continue;
        }
        cli::errorAtLine(sub, r.line, message);
        if (o.csv)
            std::cout << ",,," << cli::csvCell(message) << '\n';
    }
    return bad ? cli::EXIT_BAD_INPUT : noAnswer ? cli::EXIT_NO_ANSWER : cli::EXIT_OK;
}

int runDirect(const std::vector<std::string>& words)
{
    Options o;
    const int status = readOptions("geod direct", words, kDirectHelp, o);
    if (status != cli::EXIT_OK)
        return status < 0 ? cli::EXIT_OK : status;
    return run("geod direct", o, true);
}

int runInverse(const std::vector<std::string>& words)
{
    Options o;
    const int status = readOptions("geod inverse", words, kInverseHelp, o);
    if (status != cli::EXIT_OK)
        return status < 0 ? cli::EXIT_OK : status;
    return run("geod inverse", o, false);
}

const std::vector<cli::Subcommand> kSubcommands = {
    {"direct", "the point at a distance along an azimuth (lat1 lon1 azi1 s12)", &runDirect},
    {"inverse", "azimuths and distance between two points (lat1 lon1 lat2 lon2)", &runInverse},
};

void printOverview()
{
    std::cout << "usage: fieldcore geod SUBCOMMAND [FILE|-] [OPTIONS]\n\n"
                 "Geodesics on the ellipsoid, one record per input line, in the form of GeographicLib's\n"
                 "GeodSolve.\n\n"
                 "Subcommands (each has --help):\n";
    cli::printSubcommands(kSubcommands);
    std::cout << '\n' << kCommonHelp << '\n' << kDomains << kTail;
}

int runGeod(const std::vector<std::string>& args)
{
    return cli::runSubcommand(kCommand, kSubcommands, &printOverview, args);
}

const bool registered = cli::registerCommand(kCommand, "geodesics on the ellipsoid: direct and inverse", &runGeod);

} // namespace
