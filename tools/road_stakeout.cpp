// fieldcore road stakeout: the position on the road at a station and offset (north, east,
// design height, azimuth), for one station, a range of stations or lines from stdin.
#include "roadAnswers.h"

#include "lineReader.h"
#include "road/roadPoints.h"

#include <cmath>
#include <iostream>

namespace roadcli {
namespace {

const char* const kStakeoutHelp =
    "usage: fieldcore road stakeout ROAD|--example --station S [--offset O] [OPTIONS]\n"
    "       fieldcore road stakeout ROAD|--example --from S --to S --every D [--offset O] [OPTIONS]\n"
    "       fieldcore road stakeout ROAD|--example [OPTIONS] < lines of \"station [offset]\"\n"
    "\n"
    "The position on the road at a station and offset: station, offset, north, east, design\n"
    "height (see \"Design heights\" below) and the azimuth of the alignment there, one line\n"
    "per station. Stations before the start or after\n"
    "the end lie on the extended start or end tangent and are flagged.\n"
    "\n"
    "Options:\n"
    "  --station S        one station: a number (\"1320.5\") or \"n+rest\" (\"1+320.5\"), with\n"
    "                     \"@K\" for region K where equations overlap (\"0+675.40@2\")\n"
    "  --from S --to S --every D\n"
    "                     stations from S to S every D (the last station too); stations in\n"
    "                     the gap of a station equation are left out\n"
    "  --offset O         offset, positive to the right of increasing stations (default 0)\n"
    FIELDCORE_ANSWER_REACH_HELP
    "  --units U          stations, offsets, coordinates and heights in m, usft or ift\n"
    "                     (default: the linear unit the file declares)\n"
    "  --angles A         azimuths in deg (default), dms (ddd°mm'ss.s\" in text; packed\n"
    "                     DDD.MMSS in CSV, its column azimuth_packed_dms) or grd\n"
    "  --decimals N       decimals of the text output, 4 to 12 (default 4; stations 2)\n"
    "  --station-unit N   display units per whole station of \"n+rest\" (1000 m, 100 ft)\n"
    "  --csv              comma-separated with a header row, full precision (9 decimals):\n"
    "                     station,offset,north,east,height,azimuth,extent (extent: inside,\n"
    "                     before or beyond)\n"
    "\n"
    "Examples:\n"
    "  fieldcore road stakeout --example --station 1+450 --offset -3.5\n"
    "  fieldcore road stakeout road.xml --from 1000 --to 1200 --every 20 --offset 5 --csv\n"
    "  printf '1320 2.5\\n1+400\\n' | fieldcore road stakeout road.xml --alignment \"Main Road\"\n"
    "\n"
    "Errors: a station that is not a number nor \"n+rest\", lies in the gap of a station\n"
    "equation, or lies in two regions without \"@K\" is reported (\"line N:\" for input\n"
    "lines, naming both regions) and the other stations still run. So is an offset that\n"
    "reaches the centre of a curve on its side (the point would lie past it).\n"
    "\n"
    "Exit status: 0 every station answered; 1 the engine could not answer a station; 2 bad\n"
    "input or usage (the road file names its line).\n";

// One line of output per station.
struct StakeoutWriter {
    const AnswerRoad& road;
    std::string out;

    void header() const
    {
        const bool dms = road.s.units.angle == ANGLES_DMS;
        std::cout << (road.s.csv ? csvHeader(road, dms ? "station,offset,north,east,height,azimuth_packed_dms,extent"
                                                       : "station,offset,north,east,height,azimuth,extent")
                                 : textHeader(road, true));
    }

    // The point at an internal chainage, shown at the posted station the user named.
    bool write(double internal, double offsetMetres, double posted)
    {
        RoadLocation p;
        if (!RoadPointAt(road.alnt(), internal, offsetMetres, p))
            return false;
        double h = 0.0;
        const bool hasHeight = profileHeight(road, road.alnt(), internal, h);
        const double az = azimuthDegrees(p.azimuth);
        out.clear();
        if (road.s.csv)
            csvRow(internal, offsetMetres, posted, p, hasHeight ? &h : nullptr, az);
        else
            out = stationText(road, posted, internal) + "  offset " + road.s.units.showLength(offsetMetres) +
                  "  north " + road.s.units.showLength(p.north) + "  east " + road.s.units.showLength(p.east) +
                  "  height " + (hasHeight ? road.s.units.showLength(h) : "-") + "  azimuth " +
                  azimuthText(road, az) + extentNote(p.extent);
        std::cout << out << '\n';
        return true;
    }

    void csvRow(double internal, double offsetMetres, double posted, const RoadLocation& p, const double* height,
                double az)
    {
        const int d = road.csvDecimals();
        cli::DisplayUnits precise = road.s.units;
        precise.decimals = d;
        appendAlignmentField(out, road);
        appendStationField(out, road, posted, internal);
        for (double v : {offsetMetres, p.north, p.east}) {
            out += ',';
            appendFixed(out, road.toCsv(v), d);
        }
        out += ',';
        if (height)
            appendFixed(out, road.toCsv(*height), d);
        out += "," + precise.showAngle(az) + "," + extentName(p.extent);
    }
};

// What the command line asks: one station, a range, or lines from stdin.
struct StakeoutOptions {
    std::string station, from, to, every;
    bool hasStation = false, range = false;
    double offset = 0.0, step = 0.0;   // display units: --offset and --every
};

bool readStakeoutOptions(cli::Args& args, AnswerRoad& road, StakeoutOptions& o, std::string& message)
{
    std::string offset;
    o.hasStation = args.option("--station", o.station);
    const bool hasFrom = args.option("--from", o.from);
    const bool hasTo = args.option("--to", o.to);
    const bool hasEvery = args.option("--every", o.every);
    const bool hasOffset = args.option("--offset", offset);
    if (!readRoadOptions(args, road.s, message))
        return false;
    o.range = hasFrom || hasTo || hasEvery;
    if (o.range && !(hasFrom && hasTo && hasEvery))
        return message = "--from, --to and --every go together", false;
    if (o.range && o.hasStation)
        return message = "give --station or --from/--to/--every, not both", false;
    if (hasOffset && !cli::parseDouble(offset, o.offset))
        return message = "--offset: '" + offset + "' is not a number", false;
    if (hasEvery && (!cli::parseDouble(o.every, o.step) || !(o.step > 0.0)))
        return message = "--every takes a positive number", false;
    if (roadFromStdin(road.s.path) && !o.hasStation && !o.range)
        return message = stdinTakenByRoad("the lines of stations", "give --station S or --from, --to and --every"), false;
    return true;
}

// Reports `message` as the command's error: bad input.
int refused(const AnswerRoad& road, const std::string& message)
{
    cli::error(road.s.command, message);
    return cli::EXIT_BAD_INPUT;
}

// An offset (metres, within --max-distance) that stays short of the centres of the curves
// between two stations; false with the reason. A point past a curve's centre was staked as if
// the offset were measured on.
bool pastNoCentre(const AnswerRoad& road, double offset, double from, double to, std::string& why)
{
    return offsetShortOfCentres(road.s, road.s.units.showLength(offset), offset, from, to, why);
}

int stakeOne(const AnswerRoad& road, const StakeoutOptions& o)
{
    double internal, posted;
    std::string message;
    const double offsetMetres = road.toMetres(o.offset);
    if (!readStation(road, o.station, internal, posted, message) || !withinReach(road, internal, offsetMetres, message) ||
        !pastNoCentre(road, offsetMetres, internal, internal, message))
        return refused(road, message);
    StakeoutWriter writer{road, std::string()};
    writer.header();
    return writer.write(internal, offsetMetres, posted) ? cli::EXIT_OK : cli::EXIT_NO_ANSWER;
}

int stakeRange(const AnswerRoad& road, const StakeoutOptions& o)
{
    double ia, ib, pa, pb;
    std::string message;
    const double offsetMetres = road.toMetres(o.offset);
    if (!readStation(road, o.from, ia, pa, message) || !readStation(road, o.to, ib, pb, message))
        return refused(road, message);
    if (!(ib >= ia))
        return cli::usageError(road.s.command, "--to must not come before --from");
    if (!withinReach(road, ia, offsetMetres, message) || !withinReach(road, ib, offsetMetres, message) ||
        !pastNoCentre(road, offsetMetres, ia, ib, message))
        return refused(road, message);
    if (std::fabs(road.toCsv(pb - pa)) / o.step > 1e7 || road.toCsv(ib - ia) / o.step > 1e7)
        return cli::usageError(road.s.command, "--every is too small for the range (more than 10 million stations)");
    StakeoutWriter writer{road, std::string()};
    writer.header();
    int status = cli::EXIT_OK;
    RoadForEachStation(road.build->stations, ia, pa, ib, pb, o.step, road.toMetres(1.0), [&](double internal, double posted) {
        if (!writer.write(internal, offsetMetres, posted))
            status = cli::EXIT_NO_ANSWER;
    });
    return status;
}

// Lines of "station [offset]" from stdin.
int stakeLines(const AnswerRoad& road, const StakeoutOptions& o)
{
    StakeoutWriter writer{road, std::string()};
    writer.header();
    return cli::forEachLine(stdin, road.s.command, std::string(),
                            [&](long, const std::string& line, const std::vector<std::string>& fields, std::string& message) {
        double internal, posted, offset = o.offset;
        if (fields.size() > 2)
            return message = "expected \"station [offset]\", got " + QuotedInputLine(line), cli::EXIT_BAD_INPUT;
        if (!readStation(road, fields[0], internal, posted, message))
            return cli::EXIT_BAD_INPUT;
        if (fields.size() == 2 && !cli::parseDouble(fields[1], offset))
            return message = QuotedInputLine(fields[1]) + " is not a number", cli::EXIT_BAD_INPUT;
        if (!withinReach(road, internal, road.toMetres(offset), message) ||
            !pastNoCentre(road, road.toMetres(offset), internal, internal, message))
            return cli::EXIT_BAD_INPUT;
        return writer.write(internal, road.toMetres(offset), posted) ? cli::EXIT_OK : cli::EXIT_NO_ANSWER;
    });
}

int runStakeout(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (printedRoadHelp(args, kStakeoutHelp))
        return cli::EXIT_OK;
    AnswerRoad road("stakeout");
    StakeoutOptions o;
    std::string message;
    if (!readStakeoutOptions(args, road, o, message))
        return cli::usageError(road.s.command, message);
    const int status = loadAnswerRoad(road);
    if (status != cli::EXIT_OK)
        return status;
    return o.hasStation ? stakeOne(road, o) : o.range ? stakeRange(road, o) : stakeLines(road, o);
}

const bool registered =
    registerSubcommand("stakeout", "positions at stations and offsets (north, east, height, azimuth)", &runStakeout);

} // namespace
} // namespace roadcli
