// fieldcore cogo: total-station computations record by record: the direction task (station and
// observation to a point), the inverse task (station and point to an observation) and an open
// or closed traverse, through cogo/instrumentTasks.h.
#include "cli.h"
#include "displayUnits.h"
#include "surveyRecords.h"

#include "cogo/instrumentTasks.h"
#include "cogo/intersections.h"
#include "numeric/units.h"

#include <cmath>
#include <iostream>

namespace {

const char* const kCommand = "cogo";

const char* const kUnitsHelp =
    "Units:\n"
    "  --units m|usft|ift    coordinates, heights and distances in metres (default), US survey\n"
    "                        feet or international feet; feet printed as text are rounded to\n"
    "                        five decimals as the field display does\n"
    "  --angles deg|dms|grd  readings, zenith angles and azimuths in decimal degrees (default),\n"
    "                        packed degrees-minutes-seconds (12.3045 is 12 deg 30 min 45 s) or\n"
    "                        grads\n"
    "  --decimals N          decimals printed, 4 to 12 (default 4)\n"
    "  --csv                 comma-separated with a header row and full precision (9 decimals or\n"
    "                        --decimals); a rejected line keeps its row, the reason in the last\n"
    "                        column, status (ok otherwise)\n"
    "\n"
    "Input: one record per line from FILE, or stdin when FILE is left out or is -; fields\n"
    "separated by blanks, tabs, commas or semicolons; blank lines and lines starting with #\n"
    "are skipped. Coordinates are north, east, height. Readings (HA) are clockwise; zenith\n"
    "angles (ZA) from the zenith (90 level); SD slope distances.\n";

const char* const kCorrectionHelp =
    "Corrections (any of them selects the corrected task):\n"
    "  --scale K             grid scale factor (default 1)\n"
    "  --elevation M         mean height above sea level of the line (default 0)\n"
    "  --curvature none|0.14|0.2\n"
    "                        earth curvature and refraction with this coefficient (R = 6371 km)\n";

const char* const kDirectionHelp =
    "usage: fieldcore cogo direction [FILE|-] [--orientation DEG | --backsight AZ HA] [--hi M]\n"
    "                                [--ht M] [--accuracy] [--scale K] [--elevation M]\n"
    "                                [--curvature none|0.14|0.2] [UNITS]\n"
    "\n"
    "The point observed from a station: one record 'stnN stnE stnH HA ZA SD' per line, one\n"
    "line 'N E H' per record. The azimuth is HA + orientation (less 360 once when 360 or\n"
    "more); HD = SD sin ZA is laid off along it and SD cos ZA + hi - ht added to the height.\n"
    "With a correction the distance is reduced for curvature and refraction (HD - (1 - k/2)\n"
    "VD HD / R, VD + (1 - k) HD^2 / 2R), to sea level (R / (R + elevation)) and to the grid\n"
    "(x scale).\n"
    "\n"
    "Options:\n"
    "  --orientation DEG     added to a reading to give an azimuth (default 0)\n"
    "  --backsight AZ HA     the orientation as backsight azimuth AZ minus its reading HA\n"
    "  --hi M, --ht M        instrument and target heights (default 0)\n"
    "  --accuracy            append the point's standard deviations, horizontal and vertical:\n"
    "                        hypot(sin 5\" SD, sd) and hypot(sin 10\" SD, sd) with sd =\n"
    "                        hypot(3 ppm SD, 3 mm)\n";

const char* const kInverseHelp =
    "usage: fieldcore cogo inverse [FILE|-] [--orientation DEG | --backsight AZ HA] [--hi M]\n"
    "                              [--ht M] [--scale K] [--elevation M]\n"
    "                              [--curvature none|0.14|0.2] [UNITS]\n"
    "\n"
    "The observation from a station to a point: one record 'stnN stnE stnH tgtN tgtE tgtH'\n"
    "per line, one line 'HA ZA SD' per record, HA in [0, 360) (azimuth - orientation).\n"
    "The height difference is (tgtH + ht) - (stnH + hi). With a correction the slope distance\n"
    "is the one the corrected direction task turns into the point at the computed zenith angle;\n"
    "the zenith angle itself is the grid one (no curvature removed).\n"
    "\n"
    "Options:\n"
    "  --orientation DEG     added to a reading to give an azimuth (default 0)\n"
    "  --backsight AZ HA     the orientation as backsight azimuth AZ minus its reading HA\n"
    "  --hi M, --ht M        instrument and target heights (default 0)\n";

const char* const kTraverseHelp =
    "usage: fieldcore cogo traverse [FILE|-] --start N E H (--backsight-azimuth AZ | --backsight N E)\n"
    "                               [--hi M] [--ht M] [--close N E H] [UNITS]\n"
    "\n"
    "A traverse from a known station: one leg per line 'BS_HA FS_HA ZA SD [HI HT]', the\n"
    "readings to the backsight and to the next point, its zenith angle and slope distance, and\n"
    "the leg's own instrument and target heights (default --hi and --ht). Each leg prints the\n"
    "new point 'N E H'; the instrument then moves there and backsights the station it left\n"
    "(the azimuth back to it). With --close, a last line 'misclosure DN DE DH LINEAR LENGTH':\n"
    "the given closing point minus the computed last point, the linear misclosure\n"
    "sqrt(DN^2 + DE^2) and the summed horizontal leg lengths.\n"
    "A bad leg ends the traverse there: its error names the line, later legs are not computed\n"
    "(with --csv their rows say so) and no misclosure is printed. With --csv the columns are\n"
    "kind,north,east,height,linear,length,status: kind 'leg' (linear and length empty) or\n"
    "'misclosure' (north, east, height hold DN, DE, DH).\n"
    "\n"
    "Options:\n"
    "  --start N E H           the first station\n"
    "  --backsight-azimuth AZ  the azimuth of the first backsight\n"
    "  --backsight N E         or the point the first backsight was sighted to\n"
    "  --hi M, --ht M          instrument and target heights (default 0)\n"
    "  --close N E H           the known point the traverse should end on\n";

const char* const kTail =
    "\n"
    "Errors: a line that does not hold the right count of numbers is reported on stderr\n"
    "(\"fieldcore cogo SUB: line N: ...\"), prints nothing on stdout and the other lines still\n"
    "run; the exit status is then 2.\n"
    "\n"
    "Exit status: 0 every record answered; 2 bad input or usage.\n";

const char* const kExamples =
    "\n"
    "Examples:\n"
    "  echo '1000 2000 100 90 90 10' | fieldcore cogo direction --decimals 6\n"
    "      1000.000000 2010.000000 100.000000\n"
    "  echo '0 0 0 10 0 1' | fieldcore cogo inverse --decimals 10\n"
    "      0.0000000000 84.2894068625 10.0498756211\n"
    "  printf '0 90 90 100\\n0 90 90 100\\n' | fieldcore cogo traverse --start 1000 1000 100 \\\n"
    "      --backsight-azimuth 0\n"
    "  fieldcore cogo direction shots.txt --backsight 45 0 --hi 1.6 --ht 1.5 --csv\n";

struct Options {
    cli::DisplayUnits units;
    bool csv = false;
    std::string path;
    double orientation = 0.0;
    double hi = 0.0, ht = 0.0;
    bool corrected = false;
    double scale = 1.0, elevation = 0.0;
    short mode = 0;
    bool accuracy = false;
    // traverse
    double start[3] = {0, 0, 0}, close[3] = {0, 0, 0};
    double backsightAzimuth = 0.0;
    bool hasClose = false;
};

// --orientation DEG or --backsight AZ HA (the direction and inverse tasks).
bool readOrientation(std::vector<std::string>& words, Options& o, std::string& message)
{
    std::vector<std::string> bs;
    bool given;
    if (!cli::takeValues(words, "--backsight", 2, bs, given, message))
        return false;
    cli::Args args(words);
    std::string text;
    const bool hasOrientation = args.option("--orientation", text);
    if (hasOrientation && given)
        return message = "give --orientation or --backsight, not both", false;
    if (hasOrientation && !cli::readAngle(o.units, text, "--orientation", o.orientation, message))
        return false;
    if (given) {
        double az, ha;
        if (!cli::readAngle(o.units, bs[0], "--backsight azimuth", az, message) ||
            !cli::readAngle(o.units, bs[1], "--backsight reading", ha, message))
            return false;
        o.orientation = az - ha;
    }
    words = args.rest();
    return true;
}

// A computed point beyond 1e9 m (a --scale of 1e300, an elevation just above the Earth's
// centre) is no answer: it would print hundreds of digits.
bool pointInRange(const double* p, std::string& message)
{
    for (int i = 0; i < 3; ++i)
        if (!IsSurveyLength(p[i]))
            return message = "the point computed lies beyond 1e9 m", false;
    return true;
}

bool readLengthOption(cli::Args& args, const char* name, const cli::DisplayUnits& u, double& metres,
                      std::string& message)
{
    std::string text;
    return !args.option(name, text) || cli::readLength(u, text, name, metres, message);
}

// Options every subcommand reads; what is left must be at most one FILE.
bool readCommon(cli::Args& args, Options& o, std::string& message)
{
    if (!cli::readDisplayUnits(args, o.units, message))
        return false;
    o.csv = args.flag("--csv");
    if (!readLengthOption(args, "--hi", o.units, o.hi, message) ||
        !readLengthOption(args, "--ht", o.units, o.ht, message))
        return false;
    return true;
}

bool readCorrections(cli::Args& args, Options& o, std::string& message)
{
    std::string text;
    if (args.option("--scale", text)) {
        if (!cli::parseDouble(text, o.scale) || !(o.scale > 0.0))
            return message = "--scale takes a positive number", false;
        o.corrected = true;
    }
    if (args.option("--elevation", text)) {
        if (!cli::readLength(o.units, text, "--elevation", o.elevation, message))
            return false;
        // The reduction R / (R + elevation): at the Earth's centre it divides by zero (inf and nan
        // were printed for -6371000), below it turns the distance round.
        if (!(o.elevation > -kInstrumentEarthRadius))
            return message = "--elevation must lie above the Earth's centre (-6371000 m)", false;
        o.corrected = true;
    }
    if (args.option("--curvature", text)) {
        if (text == "none")
            o.mode = 0;
        else if (text == "0.14")
            o.mode = 1;
        else if (text == "0.2")
            o.mode = 2;
        else
            return message = "--curvature takes none, 0.14 or 0.2", false;
        o.corrected = true;
    }
    return true;
}

bool readPath(const cli::Args& args, Options& o, std::string& message)
{
    std::string option;
    if (args.firstUnknownOption(option) && option != "-")
        return message = args.unknownOption(option), false;
    if (args.rest().size() > 1)
        return message = "give one input file (got '" + args.rest()[1] + "' too)", false;
    if (args.missingValue())
        return message = "an option is missing its value", false;
    o.path = args.rest().empty() ? std::string("-") : args.rest()[0];
    return true;
}

bool wantsHelp(const std::vector<std::string>& words, const char* help)
{
    for (const std::string& w : words)
        if (w == "--help" || w == "-h") {
            std::cout << help << '\n' << kUnitsHelp;
            return true;
        }
    return false;
}

// Reads the numbers of a record into `v` (count fields, the first `lengths` of them... per kind).
// kinds: 'L' a length, 'A' an angle.
bool readFields(const cli::Record& r, const char* kinds, const cli::DisplayUnits& u, double* v, std::string& message)
{
    const size_t n = std::string(kinds).size();
    if (r.fields.size() != n)
        return message = "expected " + std::to_string(n) + " values, got " + std::to_string(r.fields.size()), false;
    for (size_t i = 0; i < n; ++i) {
        const std::string what = "value " + std::to_string(i + 1);
        if (!(kinds[i] == 'A' ? cli::readAngle(u, r.fields[i], what, v[i], message)
                              : cli::readLength(u, r.fields[i], what, v[i], message)))
            return false;
    }
    return true;
}

// Runs `answer` on each record: a row of values on stdout, or an error naming the line (and
// with --csv an empty row with the reason). Returns the exit status.
template <class Answer>
int eachRecord(const std::string& sub, const Options& o, const std::vector<std::string>& header, Answer answer)
{
    std::vector<cli::Record> records;
    std::string message;
    if (!cli::readRecords(o.path, records, message)) {
        cli::error(sub, message);
        return cli::EXIT_BAD_INPUT;
    }
    if (o.csv) {
        std::string h;
        for (const std::string& c : header)
            h += c + ",";
        std::cout << h << "status\n";
    }
    int status = cli::EXIT_OK;
    for (const cli::Record& r : records) {
        cli::ValueRow row{&o.units, o.csv, {}};
        if (answer(r, row, message)) {
            if (o.csv)
                row.text("ok");
            std::cout << row.str() << '\n';
            continue;
        }
        cli::errorAtLine(sub, r.line, message);
        status = cli::EXIT_BAD_INPUT;
        if (o.csv)
            std::cout << std::string(header.size(), ',') << cli::csvCell(message) << '\n';
    }
    return status;
}

// The options of direction and inverse: display units, orientation, the common and correction
// options, FILE, and --accuracy where `withAccuracy`. False with `message` on a usage error.
bool readTaskOptions(const std::vector<std::string>& words0, bool withAccuracy, Options& o, std::string& message)
{
    cli::Args pre(words0);
    if (!cli::readDisplayUnits(pre, o.units, message))
        return false;
    if (!pre.problem().empty())   // a second --decimals would be read again below, and win
        return message = pre.problem(), false;
    std::vector<std::string> words = pre.rest();
    if (!readOrientation(words, o, message))
        return false;
    cli::Args args(words);
    if (withAccuracy)
        o.accuracy = args.flag("--accuracy");
    return readCommon(args, o, message) && readCorrections(args, o, message) && readPath(args, o, message);
}

int runDirection(const std::vector<std::string>& words0)
{
    const std::string sub = "cogo direction";
    if (wantsHelp(words0, kDirectionHelp)) {
        std::cout << kCorrectionHelp << kExamples << kTail;
        return cli::EXIT_OK;
    }
    Options o;
    std::string message;
    if (!readTaskOptions(words0, true, o, message))
        return cli::usageError(sub, message);
    std::vector<std::string> header = {"north", "east", "height"};
    if (o.accuracy) {
        header.push_back("sigma_horizontal");
        header.push_back("sigma_vertical");
    }
    return eachRecord(sub, o, header, [&](const cli::Record& r, cli::ValueRow& row, std::string& msg) {
        double v[6];
        if (!readFields(r, "LLLAAL", o.units, v, msg))
            return false;
        double p[3], acc[2];
        if (o.corrected)
            TSceTaskDirection(v, o.orientation, o.hi, o.ht, v + 3, o.scale, o.elevation, p, o.mode, acc);
        else
            TaskDirection(v, o.orientation, o.hi - o.ht, v + 3, p, acc);
        if (!pointInRange(p, msg))
            return false;
        for (double x : p)
            row.length(x);
        if (o.accuracy) {
            row.length(acc[0]);
            row.length(acc[1]);
        }
        return true;
    });
}

int runInverse(const std::vector<std::string>& words0)
{
    const std::string sub = "cogo inverse";
    if (wantsHelp(words0, kInverseHelp)) {
        std::cout << kCorrectionHelp << kExamples << kTail;
        return cli::EXIT_OK;
    }
    Options o;
    std::string message;
    if (!readTaskOptions(words0, false, o, message))
        return cli::usageError(sub, message);
    return eachRecord(sub, o, {"ha", "za", "sd"}, [&](const cli::Record& r, cli::ValueRow& row, std::string& msg) {
        double v[6];
        if (!readFields(r, "LLLLLL", o.units, v, msg))
            return false;
        double obs[3];
        if (o.corrected) {
            double out[3];
            TSceInverse(v, o.orientation, o.hi, o.ht, o.scale, o.elevation, v + 3, true, true, o.mode, out);
            obs[0] = out[1];
            obs[1] = out[0];
            obs[2] = out[2];
        } else {
            TaskInverse(v, o.orientation, o.hi - o.ht, v + 3, obs);
        }
        row.azimuth(pos360(obs[0]));
        row.angle(obs[1]);
        row.length(obs[2]);
        return true;
    });
}

bool readPointOption(std::vector<std::string>& words, const char* name, int count, const Options& o, double* p,
                     bool& given, std::string& message)
{
    std::vector<std::string> v;
    if (!cli::takeValues(words, name, count, v, given, message))
        return false;
    for (int i = 0; given && i < count; ++i)
        if (!cli::readLength(o.units, v[i], name, p[i], message))
            return false;
    return true;
}

// The traverse's options: the common ones, the start, the closing point and the backsight.
bool readTraverseOptions(const std::vector<std::string>& words0, Options& o, std::string& message)
{
    cli::Args pre(words0);
    if (!cli::readDisplayUnits(pre, o.units, message))
        return false;
    if (!pre.problem().empty())   // a second --decimals would be read again below, and win
        return message = pre.problem(), false;
    std::vector<std::string> words = pre.rest();
    bool hasStart = false, hasBsPoint = false;
    double bsPoint[2] = {0, 0};
    if (!readPointOption(words, "--start", 3, o, o.start, hasStart, message) ||
        !readPointOption(words, "--close", 3, o, o.close, o.hasClose, message) ||
        !readPointOption(words, "--backsight", 2, o, bsPoint, hasBsPoint, message))
        return false;
    cli::Args args(words);
    std::string text;
    const bool hasBsAz = args.option("--backsight-azimuth", text);
    if (hasBsAz && !cli::readAngle(o.units, text, "--backsight-azimuth", o.backsightAzimuth, message))
        return false;
    if (!readCommon(args, o, message) || !readPath(args, o, message))
        return false;
    if (!hasStart)
        return message = "--start N E H is required", false;
    if (hasBsAz == hasBsPoint)
        return message = "give one of --backsight-azimuth AZ and --backsight N E", false;
    if (hasBsPoint) {
        if (std::hypot(bsPoint[0] - o.start[0], bsPoint[1] - o.start[1]) < 1e-12)
            return message = "the backsight point lies on the start station", false;
        o.backsightAzimuth = GetRefAziPts(bsPoint[1] - o.start[1], bsPoint[0] - o.start[0]);
    }
    return true;
}

// The traverse as it runs: the station reached, the backsight azimuth there, the length so far.
struct Traverse {
    const Options& o;
    double stn[3];
    double bsAz;
    double length = 0.0;
    long endedAt = 0;   // the line of the leg that could not be read: the traverse ends there
    bool anyLeg = false;
    bool noBacksight = false;   // the last leg ended on the station it left, in plan

    explicit Traverse(const Options& options)
        : o(options), stn{options.start[0], options.start[1], options.start[2]}, bsAz(options.backsightAzimuth) {}

    // One leg: BS_HA FS_HA ZA SD [HI HT] to the next station.
    bool leg(const cli::Record& r, cli::ValueRow& row, std::string& msg)
    {
        if (endedAt)
            return msg = "not computed: the traverse ended at line " + std::to_string(endedAt), false;
        double v[6] = {0, 0, 0, 0, o.hi, o.ht};
        const bool ok = r.fields.size() == 6 ? readFields(r, "AAALLL", o.units, v, msg)
                                             : readFields(r, "AAAL", o.units, v, msg);
        if (!ok) {
            if (r.fields.size() != 4 && r.fields.size() != 6)
                msg = "expected 4 or 6 values (BS_HA FS_HA ZA SD [HI HT]), got " + std::to_string(r.fields.size());
            endedAt = r.line;
            return false;
        }
        if (noBacksight) {
            endedAt = r.line;
            return msg = "the leg before has no horizontal length (SD 0, or ZA 0 or 180): "
                         "the station it reached has no backsight direction", false;
        }
        double p[3];
        TaskDirection(stn, bsAz, v[0], v[4] - v[5], v + 1, p, nullptr);
        if (!pointInRange(p, msg)) {
            endedAt = r.line;
            return false;
        }
        const double hd = std::hypot(p[0] - stn[0], p[1] - stn[1]);
        length += hd;
        // Below 0.01 mm the azimuth back to the station left is noise (as for an inverse).
        noBacksight = hd < 1e-5;
        bsAz = GetRefAziPts(stn[1] - p[1], stn[0] - p[0]);
        if (o.csv)
            row.text("leg");
        for (int i = 0; i < 3; ++i) {
            stn[i] = p[i];
            row.length(p[i]);
        }
        if (o.csv) {
            row.text("");
            row.text("");
        }
        anyLeg = true;
        return true;
    }

    // The misclosure at the closing point; lines after a bad leg were reported each, and only
    // the first is the cause, so none is printed then.
    void printMisclosure() const
    {
        if (!o.hasClose || endedAt || !anyLeg)
            return;
        const double dN = o.close[0] - stn[0], dE = o.close[1] - stn[1], dH = o.close[2] - stn[2];
        cli::ValueRow row{&o.units, o.csv, {}};
        row.text("misclosure");
        row.length(dN);
        row.length(dE);
        row.length(dH);
        row.length(std::hypot(dN, dE));
        row.length(length);
        if (o.csv)
            row.text("ok");
        std::cout << row.str() << '\n';
    }
};

int runTraverse(const std::vector<std::string>& words0)
{
    const std::string sub = "cogo traverse";
    if (wantsHelp(words0, kTraverseHelp)) {
        std::cout << kExamples << kTail;
        return cli::EXIT_OK;
    }
    Options o;
    std::string message;
    if (!readTraverseOptions(words0, o, message))
        return cli::usageError(sub, message);
    Traverse t(o);
    // CSV: legs and the misclosure share the columns kind,north,east,height,linear,length.
    const std::vector<std::string> header =
        o.csv ? std::vector<std::string>{"kind", "north", "east", "height", "linear", "length"}
              : std::vector<std::string>{"north", "east", "height"};
    const int status = eachRecord(sub, o, header, [&](const cli::Record& r, cli::ValueRow& row, std::string& msg) {
        return t.leg(r, row, msg);
    });
    t.printMisclosure();
    return status;
}

const std::vector<cli::Subcommand> kSubcommands = {
    {"direction", "station and observation (HA ZA SD) to a point", &runDirection},
    {"inverse", "station and point to an observation (HA ZA SD)", &runInverse},
    {"traverse", "a traverse of legs from a known station, with its misclosure", &runTraverse},
};

void printOverview()
{
    std::cout << "usage: fieldcore cogo SUBCOMMAND [FILE|-] [OPTIONS]\n\n"
                 "Total-station computations, one record per input line.\n\n"
                 "Subcommands (each has --help):\n";
    cli::printSubcommands(kSubcommands);
    std::cout << '\n' << kUnitsHelp << kExamples
              << "\nExit status: 0 every record answered; 2 bad input (a message names the line) or usage.\n";
}

int runCogo(const std::vector<std::string>& args)
{
    return cli::runSubcommand(kCommand, kSubcommands, &printOverview, args);
}

const bool registered = cli::registerCommand(kCommand, "total-station direction, inverse and traverse", &runCogo);

} // namespace
