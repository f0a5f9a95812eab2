// fieldcore resect: a station set-up by resection: the station's plane coordinates, height and
// orientation from readings, zenith angles and distances to known points, by least squares
// (ThreeDResection, cogo/resection.h).
#include "cli.h"
#include "displayUnits.h"
#include "surveyRecords.h"

#include "cogo/resection.h"
#include "numeric/unsetValue.h"

#include <functional>
#include <iostream>

namespace {

const char* const kCommand = "resect";

const char* const kHelp =
    "usage: fieldcore resect [FILE|-] [--hi M] [--sigma-angle SEC] [--sigma-dist M] [--ppm PPM]\n"
    "                        [--units m|usft|ift] [--angles deg|dms|grd] [--decimals N]\n"
    "\n"
    "Places a total station set up on an unknown point from observations to known points:\n"
    "one line per observation 'NAME N E H HA ZA SD HT' from FILE or stdin (- or left out);\n"
    "fields separated by blanks, tabs, commas or semicolons; blank lines and lines starting\n"
    "with # are skipped. N E H is the known point, HA the horizontal reading (clockwise), ZA\n"
    "the zenith angle, SD the slope distance and HT the target height. Write - for a value not\n"
    "observed: H or HT - gives no height from that point; HA - no direction; ZA or SD - no\n"
    "distance.\n"
    "\n"
    "The plane position starts from an approximate solution (three-point resections, readings\n"
    "with a distance, two distances over consecutive points) and is adjusted by weighted least\n"
    "squares over every reading and horizontal distance (SD sin ZA); the orientation is the\n"
    "mean of azimuth - reading at the adjusted station and the height the weighted mean of\n"
    "H + HT - SD cos ZA - hi. Solvable: two points with directions and distances, directions to\n"
    "three points (not on one circle with the station), or distances to three points.\n"
    "\n"
    "Output:\n"
    "  station N E H                 (H - when no height was formed)\n"
    "  orientation DEG               azimuth = reading + orientation, 8 decimals (- without readings)\n"
    "  sigma SN SE SH SO             standard deviations: a-priori for N and E, SO in arc seconds\n"
    "  residual NAME RHA RHD RH      per observation, observed minus computed: reading (arc\n"
    "                                seconds, 1 decimal), horizontal distance, station height (4\n"
    "                                decimals); - where not observed\n"
    "\n"
    "Options:\n"
    "  --hi M             instrument height (default 0)\n"
    "  --sigma-angle SEC  standard deviation of a reading and a zenith angle, arc seconds (default 5)\n"
    "  --sigma-dist M     constant part of a distance's standard deviation (default 0.003 m)\n"
    "  --ppm PPM          its part proportional to the distance (default 3)\n"
    "  --units U          coordinates, heights, distances and their sigmas in m, usft or ift\n"
    "  --angles A         readings, zenith angles and the orientation in deg, dms or grd\n"
    "  --decimals N       decimals of coordinates and sigmas, 4 to 12 (default 4)\n"
    "\n"
    "Examples:\n"
    "  fieldcore resect setup.txt --hi 1.6 --decimals 6\n"
    "  printf 'P1 5150 3050 260 340.9349 86.4172 158.4235 1.5\\n...' | fieldcore resect --hi 1.6\n"
    "\n"
    "Errors: a line without eight fields or with a value that is not a number names its line\n"
    "(\"fieldcore resect: line N: ...\"); nothing is printed then.\n"
    "\n"
    "Exit status: 0 solved; 1 no solution (the reason is printed: too few observations, an\n"
    "ambiguous figure, singular normal equations, no convergence); 2 bad input or usage.\n";

struct Observation {
    std::string name;
    TResectionObs obs;
};

bool readObservation(const cli::Record& r, const cli::DisplayUnits& u, Observation& out, std::string& message)
{
    if (r.fields.size() != 8)
        return message = "expected 8 fields (NAME N E H HA ZA SD HT), got " + std::to_string(r.fields.size()), false;
    out.name = r.fields[0];
    TResectionObs& o = out.obs;
    o = TResectionObs{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    const char* what[8] = {"NAME", "N", "E", "H", "HA", "ZA", "SD", "HT"};
    double v[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    bool given[8] = {true, true, true, true, true, true, true, true};
    for (int i = 1; i < 8; ++i) {
        if (r.fields[i] == "-" && i != 1 && i != 2) {
            given[i] = false;
            continue;
        }
        const bool angle = i == 4 || i == 5;
        if (!(angle ? cli::readAngle(u, r.fields[i], what[i], v[i], message)
                    : cli::readLength(u, r.fields[i], what[i], v[i], message)))
            return false;
    }
    o.north = v[1];
    o.east = v[2];
    o.height = v[3];
    o.ha = v[4];
    o.za = v[5];
    o.sd = v[6];
    o.targetHeight = v[7];
    o.hasHa = given[4];
    o.hasZaSd = given[5] && given[6];
    o.hasHeight = given[3] && given[7];
    if (!o.hasHa && !o.hasZaSd)
        return message = "neither a reading nor a distance observed", false;
    if (o.hasZaSd && !(o.sd > 0.0))
        return message = "SD must be positive", false;
    return true;
}

const char* reasonOf(TResectionStatus s)
{
    switch (s) {
    case RESECTION_TOO_FEW: return "too few observations (two points with directions and distances, or three with one kind)";
    case RESECTION_AMBIGUOUS: return "ambiguous: no unambiguous start position (for directions only: the station may lie on the circle through the known points)";
    case RESECTION_SINGULAR: return "singular normal equations (a weak or degenerate figure)";
    case RESECTION_UNSETTLED: return "the adjustment did not settle in 20 iterations";
    default: return "bad input";
    }
}

std::string orDash(bool has, const std::string& text)
{
    return has ? text : std::string("-");
}

// The resection's settings from the command line (defaults: 5", 3 mm + 3 ppm).
struct Settings {
    cli::DisplayUnits u;
    double hi = 0.0, sigmaAngle = 5.0, sigmaDist = 0.003, ppm = 3.0;
    std::string input = "-";
};

bool readSettings(cli::Args& args, Settings& o, std::string& message)
{
    std::string text, option;
    if (!cli::readDisplayUnits(args, o.u, message))
        return false;
    if (args.option("--hi", text) && !cli::readLength(o.u, text, "--hi", o.hi, message))
        return false;
    if (args.option("--sigma-angle", text) && (!cli::parseDouble(text, o.sigmaAngle) || !(o.sigmaAngle > 0.0)))
        return message = "--sigma-angle takes a positive number of arc seconds", false;
    if (args.option("--sigma-dist", text) &&
        (!cli::readLength(o.u, text, "--sigma-dist", o.sigmaDist, message) || !(o.sigmaDist > 0.0)))
        return message = "--sigma-dist takes a positive distance", false;
    if (args.option("--ppm", text) && (!cli::parseDouble(text, o.ppm) || !(o.ppm >= 0.0)))
        return message = "--ppm takes a number of parts per million, 0 or more", false;
    if (args.missingValue())
        return message = "an option is missing its value", false;
    if (args.firstUnknownOption(option) && option != "-")
        return message = args.unknownOption(option), false;
    if (args.rest().size() > 1)
        return message = "give one input file (got '" + args.rest()[1] + "' too)", false;
    if (!args.rest().empty())
        o.input = args.rest()[0];
    return true;
}

// Reads every observation; false when a line is bad (each reported).
bool readObservations(const Settings& o, std::vector<Observation>& obs)
{
    std::vector<cli::Record> records;
    std::string message;
    if (!cli::readRecords(o.input, records, message)) {
        cli::error(kCommand, message);
        return false;
    }
    obs.assign(records.size(), Observation());
    bool bad = false;
    for (size_t i = 0; i < records.size(); ++i)
        if (!readObservation(records[i], o.u, obs[i], message)) {
            cli::errorAtLine(kCommand, records[i].line, message);
            bad = true;
        }
    return !bad;
}

// A value, or "-" where the resection leaves it unset.
std::string shown(double v, const std::function<std::string(double)>& show)
{
    return orDash(!isUnset(v), isUnset(v) ? "" : show(v));
}

void printResult(const Settings& o, const std::vector<Observation>& obs, const TResectionResult& r,
                 const std::vector<double>& rHa, const std::vector<double>& rHd, const std::vector<double>& rH)
{
    const cli::DisplayUnits& u = o.u;
    cli::DisplayUnits angle8 = u, res4 = u;
    angle8.decimals = 8;
    res4.decimals = 4;
    auto length = [&](double v) { return u.showLength(v); };
    auto residual = [&](double v) { return res4.showLength(v); };
    auto tenths = [](double v) { return cli::fixedNoNegativeZero(v, 1); };
    std::cout << "station " << u.showLength(r.north) << ' ' << u.showLength(r.east) << ' ' << shown(r.height, length) << '\n';
    std::cout << "orientation " << shown(r.orientation, [&](double v) { return cli::showAzimuth(angle8, v); }) << '\n';
    std::cout << "sigma " << u.showLength(r.sigmaNorth) << ' ' << u.showLength(r.sigmaEast) << ' '
              << shown(r.sigmaHeight, length) << ' ' << shown(r.sigmaOrientation, tenths) << '\n';
    for (size_t i = 0; i < obs.size(); ++i)
        std::cout << "residual " << obs[i].name << ' ' << shown(rHa[i], tenths) << ' ' << shown(rHd[i], residual) << ' '
                  << shown(rH[i], residual) << '\n';
}

int runResect(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (args.flag("--help") || args.flag("-h")) {
        std::cout << kHelp;
        return cli::EXIT_OK;
    }
    Settings o;
    std::string message;
    if (!readSettings(args, o, message))
        return cli::usageError(kCommand, message);
    std::vector<Observation> obs;
    if (!readObservations(o, obs))
        return cli::EXIT_BAD_INPUT;
    std::vector<TResectionObs> plain(obs.size());
    for (size_t i = 0; i < obs.size(); ++i)
        plain[i] = obs[i].obs;
    std::vector<double> rHa(obs.size()), rHd(obs.size()), rH(obs.size());
    TG2gParams g2g;
    TResectionResult r;
    TResectionStatus status;
    if (!ThreeDResection(static_cast<int>(obs.size()), plain.data(), o.hi, o.sigmaAngle, o.sigmaDist, o.ppm, g2g, r,
                         rHa.data(), rHd.data(), rH.data(), status)) {
        cli::error(kCommand, std::string("no solution: ") + reasonOf(status));
        return status == RESECTION_BAD_INPUT ? cli::EXIT_BAD_INPUT : cli::EXIT_NO_ANSWER;
    }
    printResult(o, obs, r, rHa, rHd, rH);
    return cli::EXIT_OK;
}

const bool registered =
    cli::registerCommand(kCommand, "station coordinates, height and orientation by resection", &runResect);

} // namespace
