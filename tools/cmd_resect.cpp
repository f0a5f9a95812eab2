// fieldcore resect: a station set-up by resection: the station's plane coordinates, height and
// orientation from readings, zenith angles and distances to known points, by least squares
// (ThreeDResection, cogo/resection.h).
#include "cli.h"
#include "displayUnits.h"
#include "surveyRecords.h"

#include "cogo/resection.h"
#include "numeric/unsetValue.h"

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

int runResect(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (args.flag("--help") || args.flag("-h")) {
        std::cout << kHelp;
        return cli::EXIT_OK;
    }
    cli::DisplayUnits u;
    std::string message, text;
    if (!cli::readDisplayUnits(args, u, message))
        return cli::usageError(kCommand, message);
    double hi = 0.0, sigmaAngle = 5.0, sigmaDist = 0.003, ppm = 3.0;
    if (args.option("--hi", text) && !cli::readLength(u, text, "--hi", hi, message))
        return cli::usageError(kCommand, message);
    if (args.option("--sigma-angle", text) && (!cli::parseDouble(text, sigmaAngle) || !(sigmaAngle > 0.0)))
        return cli::usageError(kCommand, "--sigma-angle takes a positive number of arc seconds");
    if (args.option("--sigma-dist", text) &&
        (!cli::readLength(u, text, "--sigma-dist", sigmaDist, message) || !(sigmaDist > 0.0)))
        return cli::usageError(kCommand, "--sigma-dist takes a positive distance");
    if (args.option("--ppm", text) && (!cli::parseDouble(text, ppm) || !(ppm >= 0.0)))
        return cli::usageError(kCommand, "--ppm takes a number of parts per million, 0 or more");
    std::string option;
    if (args.missingValue())
        return cli::usageError(kCommand, "an option is missing its value");
    if (args.firstUnknownOption(option) && option != "-")
        return cli::usageError(kCommand, "unknown option '" + option + "'");
    if (args.rest().size() > 1)
        return cli::usageError(kCommand, "give one input file (got '" + args.rest()[1] + "' too)");

    std::vector<cli::Record> records;
    if (!cli::readRecords(args.rest().empty() ? "-" : args.rest()[0], records, message)) {
        cli::error(kCommand, message);
        return cli::EXIT_BAD_INPUT;
    }
    std::vector<Observation> obs(records.size());
    bool bad = false;
    for (size_t i = 0; i < records.size(); ++i)
        if (!readObservation(records[i], u, obs[i], message)) {
            cli::errorAtLine(kCommand, records[i].line, message);
            bad = true;
        }
    if (bad)
        return cli::EXIT_BAD_INPUT;

    const int n = static_cast<int>(obs.size());
    std::vector<TResectionObs> plain(obs.size());
    for (size_t i = 0; i < obs.size(); ++i)
        plain[i] = obs[i].obs;
    std::vector<double> rHa(obs.size()), rHd(obs.size()), rH(obs.size());
    TG2gParams g2g;
    TResectionResult r;
    TResectionStatus status;
    if (!ThreeDResection(n, plain.data(), hi, sigmaAngle, sigmaDist, ppm, g2g, r, rHa.data(), rHd.data(), rH.data(),
                         status)) {
        cli::error(kCommand, std::string("no solution: ") + reasonOf(status));
        return status == RESECTION_BAD_INPUT ? cli::EXIT_BAD_INPUT : cli::EXIT_NO_ANSWER;
    }
    cli::DisplayUnits angle8 = u;
    angle8.decimals = 8;
    cli::DisplayUnits res4 = u;
    res4.decimals = 4;
    std::cout << "station " << u.showLength(r.north) << ' ' << u.showLength(r.east) << ' '
              << orDash(!isUnset(r.height), isUnset(r.height) ? "" : u.showLength(r.height)) << '\n';
    std::cout << "orientation "
              << orDash(!isUnset(r.orientation), isUnset(r.orientation) ? "" : cli::showAzimuth(angle8, r.orientation)) << '\n';
    std::cout << "sigma " << u.showLength(r.sigmaNorth) << ' ' << u.showLength(r.sigmaEast) << ' '
              << orDash(!isUnset(r.sigmaHeight), isUnset(r.sigmaHeight) ? "" : u.showLength(r.sigmaHeight)) << ' '
              << orDash(!isUnset(r.sigmaOrientation),
                        isUnset(r.sigmaOrientation) ? "" : cli::fixedNoNegativeZero(r.sigmaOrientation, 1))
              << '\n';
    for (size_t i = 0; i < obs.size(); ++i) {
        std::cout << "residual " << obs[i].name << ' '
                  << orDash(!isUnset(rHa[i]), isUnset(rHa[i]) ? "" : cli::fixedNoNegativeZero(rHa[i], 1)) << ' '
                  << orDash(!isUnset(rHd[i]), isUnset(rHd[i]) ? "" : res4.showLength(rHd[i])) << ' '
                  << orDash(!isUnset(rH[i]), isUnset(rH[i]) ? "" : res4.showLength(rH[i])) << '\n';
    }
    return cli::EXIT_OK;
}

const bool registered =
    cli::registerCommand(kCommand, "station coordinates, height and orientation by resection", &runResect);

} // namespace
