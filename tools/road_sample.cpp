// fieldcore road sample: the centreline, an offset line or a line of varying offset as a
// polyline within a chord deviation (road/roadSampler.h), as text, CSV or GeoJSON.
#include "roadAnswers.h"

#include "hostFiles.h"
#include "lineReader.h"
#include "road/roadPoints.h"
#include "road/roadSampler.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace roadcli {
namespace {

const char* const kSampleHelp =
    "usage: fieldcore road sample ROAD|--example --deviation D [--offset O | --offsets TABLE]\n"
    "                             [--format text|csv|geojson] [OPTIONS]\n"
    "\n"
    "The road as a polyline whose chords stay within D of the true line:\n"
    "  - the centreline (the alignment's position cache loaded for the deviation, each chord\n"
    "    checked at its middle);\n"
    "  - with --offset O, the exact offset line: every vertex lies O from the centreline\n"
    "    square to its direction at the vertex's station, every chord within D of the true\n"
    "    offset curve;\n"
    "  - with --offsets TABLE, a line whose offset changes linearly between the (station,\n"
    "    offset) pairs of the file TABLE (\"station offset\" per line, stations increasing),\n"
    "    built by the engine's offset-line rules; each vertex's offset is then measured square\n"
    "    to the centreline at its station.\n"
    "The profile adds its own vertices (VIPs, curve ends and points along vertical curves) so\n"
    "that, with the design heights, the line follows the profile within D too. One vertex per\n"
    "line: station, offset, north, east and the design height of its station (\"-\" where\n"
    "there is none).\n"
    "\n"
    "Options:\n"
    "  --deviation D      the largest chord deviation, at least 0.0001 m (display units)\n"
    "  --offset O         a constant offset, positive to the right\n"
    "  --offsets TABLE    a table of stations and offsets (\"-\": from stdin)\n"
    "  --format F         text (default), csv (a header row, full precision: station,offset,\n"
    "                     north,east,height; height empty where there is none) or geojson\n"
    "                     (a FeatureCollection of one LineString: coordinates [east, north,\n"
    "                     height] in the display unit, the height where the profile gives\n"
    "                     one; the stations and offsets (and the stations' regions where\n"
    "                     station equations make several) as properties; a named \"crs\" where\n"
    "                     the road file names its coordinate system by EPSG code or a WKT\n"
    "                     with one, otherwise the coordinates are the file's grid)\n"
    "  --csv              the same as --format csv\n"
    FIELDCORE_ANSWER_REACH_HELP
    "  --units U          m, usft or ift (default: the linear unit the file declares)\n"
    "  --decimals N       decimals of the text output, 4 to 12 (default 4; stations 2)\n"
    "  --station-unit N   display units per whole station of \"n+rest\" (1000 m, 100 ft)\n"
    "\n"
    "Examples:\n"
    "  fieldcore road sample --example --deviation 0.01\n"
    "  fieldcore road sample road.xml --deviation 0.005 --offset -3.5 --format geojson\n"
    "  printf '1+300 2\\n1+500 6\\n1+700 2\\n' > widening.txt\n"
    "  fieldcore road sample road.xml --deviation 0.01 --offsets widening.txt --csv\n"
    "\n"
    "Errors: a bad table line is reported with its number and the line is left out; a\n"
    "deviation below 0.0001 m, stations that do not increase, fewer than two pairs: usage.\n"
    "Offsets over --max-distance, and an --offset or a table's offset that reaches the centre\n"
    "of a curve on its side (its line would fold back), are refused with the stations where it\n"
    "does.\n"
    "\n"
    "Exit status: 0 sampled; 1 the road could not be sampled; 2 bad input or usage.\n";

// An offset (display units, typed as `text`) within --max-distance; false with the reason. An
// offset line of 1e300 m was sampled into a million lines of 300-digit coordinates.
bool offsetWithinReach(const AnswerRoad& road, const std::string& text, double offset, std::string& message)
{
    if (std::fabs(road.toMetres(offset)) <= road.s.maxDistance)
        return true;
    message = "the offset " + QuotedInputLine(text) + " is more than --max-distance " +
              road.s.units.showLength(road.s.maxDistance) + " from the alignment";
    return false;
}

// The table's name in messages: "stdin" for "-".
std::string tableName(const std::string& file)
{
    return file == "-" ? std::string(kStdinName) : file;
}

// Reads the offset table: "station offset" lines, from stdin for "-". Bad lines are reported
// and left out; false when the file cannot be read.
bool readOffsetTable(const AnswerRoad& road, const std::string& file, std::vector<StAndOffset>& table, int& status)
{
    const bool fromStdin = file == "-";
    const std::string unreadable = cli::whyUnreadable(file);
    std::FILE* in = fromStdin ? stdin : unreadable.empty() ? std::fopen(file.c_str(), "rb") : nullptr;
    if (!in) {
        cli::error(road.s.command, "--offsets: " + cli::cannotRead(file, unreadable.empty() ? "a read error" : unreadable));
        return false;
    }
    const int read = cli::forEachLine(in, road.s.command, tableName(file) + ": ",
                                      [&](long, const std::string& line, const std::vector<std::string>& fields, std::string& message) {
        StAndOffset pair;
        double posted, offset;
        if (fields.size() != 2)
            return message = "expected \"station offset\", got " + QuotedInputLine(line), cli::EXIT_BAD_INPUT;
        if (!readStation(road, fields[0], pair.station, posted, message))
            return cli::EXIT_BAD_INPUT;
        if (!cli::parseDouble(fields[1], offset))
            return message = QuotedInputLine(fields[1]) + " is not a number", cli::EXIT_BAD_INPUT;
        if (!table.empty() && !(pair.station > table.back().station))
            return message = "the stations must increase", cli::EXIT_BAD_INPUT;
        if (!offsetWithinReach(road, fields[1], offset, message) || !withinReach(road, pair.station, 0.0, message))
            return cli::EXIT_BAD_INPUT;
        pair.offset = road.toMetres(offset);
        table.push_back(pair);
        return cli::EXIT_OK;
    });
    status = std::max(status, read);
    if (!fromStdin)
        std::fclose(in);
    return true;
}

// Appends `values` as a JSON array of full-precision numbers.
void appendJsonArray(std::string& out, const std::vector<double>& values, int decimals)
{
    out += '[';
    for (size_t i = 0; i < values.size(); ++i) {
        out += i ? ", " : "";
        appendFixed(out, values[i], decimals);
    }
    out += ']';
}

// The alignment's name as a JSON string's content.
std::string jsonName(const std::string& name)
{
    std::string out;
    for (char c : name) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20)
            out += c;
    }
    return out;
}

// The coordinates of the line: [east, north, height] where the profile gives a design height,
// [east, north] elsewhere.
void appendCoordinates(std::string& out, const AnswerRoad& road, const std::vector<RoadSampleVertex>& line)
{
    const int d = road.csvDecimals();
    for (size_t i = 0; i < line.size(); ++i) {
        out += i ? ", [" : "[";
        appendFixed(out, road.toCsv(line[i].east), d);
        out += ", ";
        appendFixed(out, road.toCsv(line[i].north), d);
        double h;
        if (profileHeight(road, road.alnt(), line[i].station, h)) {
            out += ", ";
            appendFixed(out, road.toCsv(h), d);
        }
        out += ']';
    }
}

// A FeatureCollection of one LineString with the stations and offsets (and each station's
// region when equations make several) as properties; the file's coordinate system as a named
// crs.
std::string geoJson(const AnswerRoad& road, const std::vector<RoadSampleVertex>& line)
{
    std::string out = "{\"type\": \"FeatureCollection\", ";
    const std::string epsg = RoadFileEpsg(road.s.loaded.file);
    if (!epsg.empty())
        out += "\"crs\": {\"type\": \"name\", \"properties\": {\"name\": \"urn:ogc:def:crs:EPSG::" + epsg + "\"}}, ";
    out += "\"features\": [{\"type\": \"Feature\", \"geometry\": {\"type\": \"LineString\", \"coordinates\": [";
    appendCoordinates(out, road, line);
    const UNITS u = road.s.units.dist;
    out += "]}, \"properties\": {\"alignment\": \"" + jsonName(road.source->name) + "\", \"units\": \"" +
           (u == UNITS_USFT ? "usft" : u == UNITS_IFT ? "ift" : "m") + "\", \"stations\": ";
    std::vector<double> stations, offsets;
    for (const RoadSampleVertex& v : line) {
        stations.push_back(road.toCsv(road.build->stations.toPosted(v.station)));
        offsets.push_back(road.toCsv(v.offset));
    }
    appendJsonArray(out, stations, road.csvDecimals());
    out += ", \"offsets\": ";
    appendJsonArray(out, offsets, road.csvDecimals());
    // Each station's region when equations overlap (a posted station alone is ambiguous there).
    if (road.build->stations.regionCount() > 1) {
        out += ", \"regions\": [";
        for (size_t i = 0; i < line.size(); ++i) {
            int region = 1;
            road.build->stations.toPosted(line[i].station, &region);
            out += (i ? ", " : "") + std::to_string(region);
        }
        out += ']';
    }
    return out + "}}]}\n";
}

std::string csvLines(const AnswerRoad& road, const std::vector<RoadSampleVertex>& line)
{
    const int d = road.csvDecimals();
    std::string out = csvHeader(road, "station,offset,north,east,height");
    for (const RoadSampleVertex& v : line) {
        appendAlignmentField(out, road);
        appendStationField(out, road, road.build->stations.toPosted(v.station), v.station);
        for (double x : {v.offset, v.north, v.east}) {
            out += ',';
            appendFixed(out, road.toCsv(x), d);
        }
        out += ',';
        double h;
        if (profileHeight(road, road.alnt(), v.station, h))
            appendFixed(out, road.toCsv(h), d);
        out += '\n';
    }
    return out;
}

std::string textLines(const AnswerRoad& road, const std::vector<RoadSampleVertex>& line)
{
    const cli::DisplayUnits& u = road.s.units;
    std::string out = textHeader(road, false);
    for (const RoadSampleVertex& v : line) {
        double h;
        const bool hasHeight = profileHeight(road, road.alnt(), v.station, h);
        out += stationText(road, road.build->stations.toPosted(v.station), v.station) + "  offset " +
               u.showLength(v.offset) + "  north " + u.showLength(v.north) + "  east " + u.showLength(v.east) +
               "  height " + (hasHeight ? u.showLength(h) : std::string("-")) + '\n';
    }
    return out;
}

struct SampleOptions {
    std::string deviation, offset, table, format = "text";
    bool hasOffset = false, hasTable = false;
    double deviationValue = 0.0, offsetValue = 0.0;   // display units
};

bool readSampleOptions(cli::Args& args, AnswerRoad& road, SampleOptions& o, std::string& message)
{
    const bool hasDeviation = args.option("--deviation", o.deviation);
    o.hasOffset = args.option("--offset", o.offset);
    o.hasTable = args.option("--offsets", o.table);
    args.option("--format", o.format);
    if (!readRoadOptions(args, road.s, message))
        return false;
    if (road.s.csv)
        o.format = "csv";
    if (o.format != "text" && o.format != "csv" && o.format != "geojson")
        return message = "--format takes text, csv or geojson", false;
    if (!hasDeviation)
        return message = "give --deviation D", false;
    if (!cli::parseDouble(o.deviation, o.deviationValue))
        return message = "--deviation: '" + o.deviation + "' is not a number", false;
    if (o.hasOffset && o.hasTable)
        return message = "give --offset or --offsets, not both", false;
    if (o.hasOffset && !cli::parseDouble(o.offset, o.offsetValue))
        return message = "--offset: '" + o.offset + "' is not a number", false;
    if (o.hasTable && o.table == "-" && roadFromStdin(road.s.path))
        return message = stdinTakenByRoad("the table (--offsets -)", "give --offsets FILE"), false;
    return true;
}

// Samples the line the options ask for; false (reported) when it cannot be sampled.
int sampleLine(const AnswerRoad& road, const SampleOptions& o, double deviation, std::vector<RoadSampleVertex>& line)
{
    int status = cli::EXIT_OK;
    bool sampled;
    if (o.hasTable) {
        std::vector<StAndOffset> pairs;
        if (!readOffsetTable(road, o.table, pairs, status))
            return cli::EXIT_BAD_INPUT;
        if (pairs.size() < 2) {
            cli::error(road.s.command, tableName(o.table) + ": the table needs at least two (station, offset) pairs");
            return cli::EXIT_BAD_INPUT;
        }
        // A table wholly off the alignment has nothing to sample: said so, not "could not be
        // sampled".
        if (pairs.back().station <= road.startChain || pairs.front().station >= road.endChain) {
            cli::error(road.s.command, tableName(o.table) + ": its stations lie " +
                                           (pairs.front().station >= road.endChain ? "beyond the end" : "before the start") +
                                           " of the alignment: there is no line to sample");
            return cli::EXIT_NO_ANSWER;
        }
        std::string why;
        if (!offsetTableShortOfCentres(road.s, pairs, why)) {
            cli::error(road.s.command, "--offsets: " + tableName(o.table) + ": " + why);
            return cli::EXIT_BAD_INPUT;
        }
        sampled = SampleRoadOffsetTable(road.alnt(), pairs, deviation, line);
    } else if (o.hasOffset) {
        sampled = SampleRoadOffsetLine(road.alnt(), road.toMetres(o.offsetValue), deviation, line);
    } else {
        sampled = SampleRoadCentreline(road.alnt(), deviation, line);
    }
    if (!sampled || !AddRoadProfileVertices(road.alnt(), deviation, line)) {
        cli::error(road.s.command, "the road could not be sampled");
        line.clear();
        return cli::EXIT_NO_ANSWER;
    }
    return status;
}

int runSample(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (printedRoadHelp(args, kSampleHelp))
        return cli::EXIT_OK;
    AnswerRoad road("sample");
    SampleOptions o;
    std::string message;
    if (!readSampleOptions(args, road, o, message))
        return cli::usageError(road.s.command, message);
    int status = loadAnswerRoad(road);
    if (status != cli::EXIT_OK)
        return status;
    if (o.hasOffset && (!offsetWithinReach(road, o.offset, o.offsetValue, message) ||
                        !offsetShortOfCentres(road.s, o.offset, road.toMetres(o.offsetValue), road.startChain,
                                              road.endChain, message))) {
        cli::error(road.s.command, "--offset: " + message);
        return cli::EXIT_BAD_INPUT;
    }
    const double deviation = road.toMetres(o.deviationValue);
    if (!(deviation >= kRoadMinDeviation))
        return cli::usageError(road.s.command, "--deviation must be at least 0.0001 m");
    std::vector<RoadSampleVertex> line;
    status = sampleLine(road, o, deviation, line);
    if (line.empty())
        return status;
    std::cout << (o.format == "geojson" ? geoJson(road, line) : o.format == "csv" ? csvLines(road, line)
                                                                                   : textLines(road, line));
    return status;
}

const bool registered =
    registerSubcommand("sample", "the centreline or an offset line as a polyline (csv, geojson)", &runSample);

} // namespace
} // namespace roadcli
