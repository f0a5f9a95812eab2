// fieldcore road stakeout | locate | sample: the answers a surveyor asks of a road file. Stake-out
// gives the position at a station and offset, locate the station and offset of a position
// (road/roadLocator.h), sample the road as a polyline within a chord deviation
// (road/roadSampler.h).
//
// Shared by the three: the road file and its alignment (first of the file unless --alignment),
// posted stations (station equations applied) typed as plain numbers or "n+rest", lengths in
// --units (by default the file's unit), the text form for people and --csv with a header row
// and full precision for programs.
#include "roadCommands.h"

#include "platform/textCodec.h"
#include "road/roadDesignHeight.h"
#include "road/roadLocator.h"
#include "road/roadSampler.h"
#include "hostFiles.h"
#include "roadPoints.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>
#include <thread>

namespace {

// Decimals of every number in --csv output (at least; --decimals may ask for more).
const int kCsvDecimals = 9;

// ---------------------------------------------------------------------------------------------
// What the three subcommands share

struct Road {
    roadcli::LoadedRoad loaded;
    const RoadAlignment* source = nullptr;
    const RoadBuild* build = nullptr;
    std::vector<int> sourceElement;   // per engine element: the file's element number (1-based)
    cli::DisplayUnits units;
    roadcli::StationForm form;
    bool csv = false;
    bool extendGrades = false;   // design heights beyond the profile along its end grades
    bool several = false;        // the file holds several alignments: answers name theirs
    double maxDistance = 1000.0; // metres: answers farther from the alignment are refused
    int number = 1;              // the alignment's number in the file
    double startChain = 0.0, endChain = 0.0;   // the alignment's ends (read once: the threads share them)
    std::string command;

    const CAlnt& alnt() const { return build->alnt; }
    int csvDecimals() const { return std::max(kCsvDecimals, units.decimals); }
    double toDisplay(double metres) const { return FromMetersEx(metres, units.dist); }
    // Full precision (CSV, GeoJSON, station ranges): the exact foot ratio, not the display
    // conversion, which rounds feet to five decimals.
    double toCsv(double metres) const
    {
        return units.dist == UNITS_USFT ? metres / kUSFootInMeters : units.dist == UNITS_IFT ? metres / kIFootInMeters : metres;
    }
    double toMetres(double display) const { return units.toMetres(display); }
};

// Options every subcommand reads; the positional words are left in `args`.
struct CommonOptions {
    std::string alignment, profile, stationUnit, maxDistance;
    bool stationUnitGiven = false;
    bool maxDistanceGiven = false;
    bool unitsGiven = false;
};

bool readCommon(cli::Args& args, Road& road, CommonOptions& o, std::string& message)
{
    args.option("--alignment", o.alignment);
    args.option("--profile", o.profile);
    o.stationUnitGiven = args.option("--station-unit", o.stationUnit);
    road.csv = args.flag("--csv");
    road.extendGrades = args.flag("--extend-grades");
    o.maxDistanceGiven = args.option("--max-distance", o.maxDistance);
    if (!roadcli::readRoadUnits(args, road.units, o.unitsGiven, road.form.decimals, message))
        return false;
    if (o.maxDistanceGiven && (!cli::parseDouble(o.maxDistance, road.maxDistance) || !(road.maxDistance > 0.0)))
        return message = "--max-distance takes a positive number", false;
    if (o.stationUnitGiven && (!cli::parseDouble(o.stationUnit, road.form.unit) || !(road.form.unit >= 1.0)))
        return message = "--station-unit takes a number of at least 1", false;
    return true;
}

// Loads the road: the alignment named, or the file's first.
int loadRoad(const std::string& sub, const std::string& path, const CommonOptions& o, Road& road)
{
    const int status = roadcli::loadRoad(sub, path, o.alignment, o.profile, road.loaded, true);
    if (status != cli::EXIT_OK)
        return status;
    road.source = &road.loaded.file.alignments[road.loaded.selected[0]];
    road.build = &road.loaded.builds[0];
    road.several = road.loaded.file.alignments.size() > 1;
    road.startChain = road.endChain = road.alnt().getStartChainageInM();
    road.alnt().getFinalChainageInM(road.endChain);
    road.number = road.loaded.selected[0] + 1;
    if (!o.unitsGiven)
        road.units.dist = roadcli::fileDisplayUnit(road.loaded.file);
    if (!o.stationUnitGiven)
        road.form.unit = roadcli::defaultStationUnit(road.units.dist);
    // --max-distance is in the output unit: 1000 of it unless given.
    road.maxDistance = road.toMetres(o.maxDistanceGiven ? road.maxDistance : 1000.0);
    road.sourceElement.assign(road.alnt().getNumOfHes(), 0);
    for (size_t i = 0; i < road.build->engineIndex.size(); ++i)
        if (road.build->engineIndex[i] >= 0)
            road.sourceElement[road.build->engineIndex[i]] = static_cast<int>(i) + 1;
    return cli::EXIT_OK;
}

// A station typed as a number, "n+rest" or with "@K" (roadcli::readStation).
bool readStation(const Road& road, const std::string& text, double& internal, double& posted, std::string& message)
{
    return roadcli::readStation(road.build->stations, text, road.units, road.form, internal, posted, message);
}

// The station text of a point at `internal` whose posted station is `posted` (metres).
std::string stationText(const Road& road, double posted, double internal)
{
    return roadcli::stationText(road.build->stations, posted, internal, road.units, road.form);
}

// The station as a CSV field: full precision, "@K" in an overlap.
void appendStationField(std::string& out, const Road& road, double posted, double internal);

// The design height at an internal chainage by the road's one rule (road/roadDesignHeight.h).
bool designHeight(const CAlnt& alnt, const Road& road, double station, double& height)
{
    return RoadDesignHeight(alnt, station, road.extendGrades, height) != RoadHeightKind::None;
}

// Fixed decimals, fast; a value that rounds to zero has no minus sign.
void appendFixed(std::string& out, double value, int decimals)
{
    static const double kHalfUnit[] = {0.5, 0.05, 0.005, 5e-4, 5e-5, 5e-6, 5e-7, 5e-8, 5e-9, 5e-10, 5e-11, 5e-12, 5e-13};
    if (value < 0.0 && value > -kHalfUnit[std::min(decimals, 12)])
        value = 0.0;
    char buf[400];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    out.append(buf, r.ptr);
}

void appendStationField(std::string& out, const Road& road, double posted, double internal)
{
    appendFixed(out, road.toCsv(posted), road.csvDecimals());
    out += roadcli::regionSuffix(road.build->stations, posted, internal);
}

// A text as a CSV field: quoted when it holds a comma, a quote or a line end.
std::string csvText(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string q = "\"";
    for (char c : text)
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

// Whether an answer at an internal station and offset (metres) lies within --max-distance of
// the alignment, its extended tangents included; false with the reason.
bool withinReach(const Road& road, double station, double offset, std::string& why)
{
    const double start = road.startChain, end = road.endChain;
    const double beyond = std::max(start - station, station - end);
    const double limit = road.maxDistance;
    auto text = [&](double metres) { return road.units.showLength(metres); };
    if (beyond > limit) {
        why = "the station lies " + text(beyond) + " " + (station < start ? "before the start" : "beyond the end") +
              " of the alignment (more than --max-distance " + text(limit) + ")";
        return false;
    }
    if (std::fabs(offset) > limit) {
        why = "the point lies " + text(std::fabs(offset)) + " from the alignment (more than --max-distance " +
              text(limit) + ")";
        return false;
    }
    return true;
}

// The alignment as the first CSV field when the file holds several ("name" quoted).
void appendAlignmentField(std::string& out, const Road& road)
{
    if (!road.several)
        return;
    out += '"';
    for (char c : road.source->name)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    out += "\",";
}

// The CSV header row: the alignment column when the file holds several, then `columns`.
std::string csvHeader(const Road& road, const char* columns)
{
    return std::string(road.several ? "alignment," : "") + columns + "\n";
}

// The first line of text output: which alignment answered, the units, the station form and
// the offset sign (and the azimuths' form when `angles`).
std::string textHeader(const Road& road, bool angles)
{
    const UNITS u = road.units.dist;
    const std::string unit = u == UNITS_USFT ? "US survey feet" : u == UNITS_IFT ? "feet" : "metres";
    std::string h = "# alignment " + std::to_string(road.number) + " \"" + road.source->name + "\"";
    if (road.several)
        h += " of " + std::to_string(road.loaded.file.alignments.size());
    h += "; lengths and heights in " + unit + "; stations n+rest, " + cli::formatDisplay(road.form.unit) + " " +
         (u == UNITS_M ? "m" : "ft") + " a station; offsets right positive";
    if (angles)
        h += road.units.angle == ANGLES_DMS ? "; azimuths ddd°mm'ss.s\""
             : road.units.angle == cli::kDegrees ? "; azimuths in degrees" : "; azimuths in grads";
    return h + "\n";
}

// An azimuth (degrees) for text output: ddd°mm'ss.s" with --angles dms, else as the display
// unit shows it.
std::string azimuthText(const Road& road, double degrees)
{
    if (road.units.angle != ANGLES_DMS)
        return road.units.showAngle(degrees);
    long tenths = std::lround(degrees * 36000.0);
    tenths %= 360L * 36000L;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%03ld\xC2\xB0%02ld'%04.1f\"", tenths / 36000, tenths / 600 % 60,
                  static_cast<double>(tenths % 600) / 10.0);
    return buf;
}

const char* extentName(RoadExtent e)
{
    return e == RoadExtent::BeforeStart ? "before" : e == RoadExtent::BeyondEnd ? "beyond" : "inside";
}

const char* extentNote(RoadExtent e)
{
    return e == RoadExtent::BeforeStart ? "  (before the start, on the extended tangent)"
           : e == RoadExtent::BeyondEnd ? "  (beyond the end, on the extended tangent)"
                                        : "";
}

double azimuthDegrees(double radians)
{
    double deg = radians * kDegPerRad;
    deg = std::fmod(deg, 360.0);
    return deg < 0.0 ? deg + 360.0 : deg;
}

// Reads the words after the options: the road path (a word that is not a number) and the
// numbers. False with a message for an unknown option or a second path.
bool splitPositionals(cli::Args& args, std::string& path, std::vector<double>& numbers, std::string& message)
{
    const bool example = args.flag("--example");
    std::string option;
    if (!args.problem().empty())
        return message = args.problem(), false;
    if (args.firstUnknownOption(option))
        return message = "unknown option '" + option + "'", false;
    for (const std::string& w : args.rest()) {
        double v;
        if (cli::parseDouble(w, v)) {
            numbers.push_back(v);
        } else if (path.empty() && numbers.empty()) {
            path = w;
        } else {
            return message = "unexpected '" + w + "'", false;
        }
    }
    const std::string given = path;
    return roadcli::takeRoadPath(example, given, path, message);
}

// ---------------------------------------------------------------------------------------------
// Lines of input, read in large blocks (files of millions of points).

class LineReader {
public:
    explicit LineReader(std::FILE* in) : m_in(in) {}

    // Lines longer than this are not held: they come back empty, with tooLong() true.
    static constexpr size_t kMaxLineBytes = size_t(1) << 20;
    static constexpr const char* kTooLongMessage = "the line is longer than 1 MB";

    // The next line without its end (LF or CR LF); false at the end of the input.
    bool next(std::string& line)
    {
        line.clear();
        m_tooLong = false;
        for (;;) {
            const char* begin = m_buffer.data() + m_pos;
            const char* end = m_buffer.data() + m_size;
            const char* nl = static_cast<const char*>(std::memchr(begin, '\n', static_cast<size_t>(end - begin)));
            if (nl) {
                keep(line, begin, nl);
                m_pos += static_cast<size_t>(nl - begin) + 1;
                break;
            }
            keep(line, begin, end);
            m_pos = m_size = 0;
            if (m_eof)
                return !line.empty() ? (trimCr(line), true) : false;
            m_size = std::fread(m_buffer.data(), 1, m_buffer.size(), m_in);
            if (m_size == 0) {
                m_eof = true;
                if (line.empty())
                    return false;
                break;
            }
        }
        trimCr(line);
        return true;
    }

    // True when the last line read was longer than kMaxLineBytes (it came back empty).
    bool tooLong() const { return m_tooLong; }

private:
    static void trimCr(std::string& line)
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    }

    // Appends [begin, end) unless the line would pass the limit: then the line is dropped.
    void keep(std::string& line, const char* begin, const char* end)
    {
        if (m_tooLong)
            return;
        if (line.size() + static_cast<size_t>(end - begin) > kMaxLineBytes) {
            m_tooLong = true;
            line.clear();
            line.shrink_to_fit();
            return;
        }
        line.append(begin, end);
    }

    bool m_tooLong = false;
    std::FILE* m_in;
    std::vector<char> m_buffer = std::vector<char>(1 << 20);
    size_t m_pos = 0, m_size = 0;
    bool m_eof = false;
};

// ---------------------------------------------------------------------------------------------
// road stakeout

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
    "  --alignment A      the alignment, by name (any case) or number (road info shows it);\n"
    "                     needed when the file holds several\n"
    "  --profile NAME     the profile (default: the first)\n"
    "  --extend-grades    design heights beyond the profile's ends along its end grades\n"
    "  --max-distance D   refuse points farther than D from the alignment (its extended\n"
    "                     tangents included), stations more than D beyond its ends and offsets\n"
    "                     over D, in the output unit (default 1000)\n"
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
    "lines, naming both regions) and the other stations still run.\n"
    "\n"
    "Exit status: 0 every station answered; 1 the engine could not answer a station; 2 bad\n"
    "input or usage (the road file names its line).\n";

struct StakeoutWriter {
    const Road& road;
    std::string out;

    void header()
    {
        std::cout << (road.csv ? csvHeader(road, road.units.angle == ANGLES_DMS
                                                     ? "station,offset,north,east,height,azimuth_packed_dms,extent"
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
        const bool hasHeight = designHeight(road.alnt(), road, internal, h);
        const double az = azimuthDegrees(p.azimuth);
        out.clear();
        if (road.csv) {
            const int d = road.csvDecimals();
            cli::DisplayUnits precise = road.units;
            precise.decimals = d;
            appendAlignmentField(out, road);
            appendStationField(out, road, posted, internal);
            for (double v : {offsetMetres, p.north, p.east}) {
                out += ',';
                appendFixed(out, road.toCsv(v), d);
            }
            out += ',';
            if (hasHeight)
                appendFixed(out, road.toCsv(h), d);
            out += "," + precise.showAngle(az) + "," + extentName(p.extent);
        } else {
            out = stationText(road, posted, internal) + "  offset " +
                  road.units.showLength(offsetMetres) + "  north " + road.units.showLength(p.north) + "  east " +
                  road.units.showLength(p.east) + "  height " + (hasHeight ? road.units.showLength(h) : "-") +
                  "  azimuth " + azimuthText(road, az) + extentNote(p.extent);
        }
        std::cout << out << '\n';
        return true;
    }
};

int runStakeout(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (roadcli::printedRoadHelp(args, kStakeoutHelp))
        return cli::EXIT_OK;
    Road road;
    road.command = "road stakeout";
    CommonOptions common;
    std::string station, from, to, every, offset, path, message;
    const bool hasStation = args.option("--station", station);
    const bool hasFrom = args.option("--from", from);
    const bool hasTo = args.option("--to", to);
    const bool hasEvery = args.option("--every", every);
    const bool hasOffset = args.option("--offset", offset);
    if (!readCommon(args, road, common, message) || !roadcli::readRoadPath(args, path, message))
        return cli::usageError(road.command, message);
    if (!args.problem().empty())
        return cli::usageError(road.command, args.problem());
    const bool range = hasFrom || hasTo || hasEvery;
    if (range && !(hasFrom && hasTo && hasEvery))
        return cli::usageError(road.command, "--from, --to and --every go together");
    if (range && hasStation)
        return cli::usageError(road.command, "give --station or --from/--to/--every, not both");
    double offsetDisplay = 0.0, everyDisplay = 0.0;
    if (hasOffset && !cli::parseDouble(offset, offsetDisplay))
        return cli::usageError(road.command, "--offset: '" + offset + "' is not a number");
    if (hasEvery && (!cli::parseDouble(every, everyDisplay) || !(everyDisplay > 0.0)))
        return cli::usageError(road.command, "--every takes a positive number");
    int status = loadRoad("stakeout", path, common, road);
    if (status != cli::EXIT_OK)
        return status;
    StakeoutWriter writer{road, std::string()};
    const double offsetMetres = road.toMetres(offsetDisplay);
    if (hasStation) {
        double internal, posted;
        if (!readStation(road, station, internal, posted, message)) {
            cli::error(road.command, message);
            return cli::EXIT_BAD_INPUT;
        }
        if (!withinReach(road, internal, offsetMetres, message)) {
            cli::error(road.command, message);
            return cli::EXIT_BAD_INPUT;
        }
        writer.header();
        return writer.write(internal, offsetMetres, posted) ? cli::EXIT_OK : cli::EXIT_NO_ANSWER;
    }
    if (range) {
        // Posted stations a + k * every (display units) from `from` to `to`, region by region in
        // the order of the road: stations an overlap repeats come once in each region, stations in
        // a gap are left out; the last station `to` too.
        double ia, ib, pa, pb;
        if (!readStation(road, from, ia, pa, message) || !readStation(road, to, ib, pb, message)) {
            cli::error(road.command, message);
            return cli::EXIT_BAD_INPUT;
        }
        const double a = road.toCsv(pa), b = road.toCsv(pb);
        if (!(ib >= ia))
            return cli::usageError(road.command, "--to must not come before --from");
        if (!withinReach(road, ia, offsetMetres, message) || !withinReach(road, ib, offsetMetres, message)) {
            cli::error(road.command, message);
            return cli::EXIT_BAD_INPUT;
        }
        if (std::fabs(b - a) / everyDisplay > 1e7 || (road.toCsv(ib - ia)) / everyDisplay > 1e7)
            return cli::usageError(road.command, "--every is too small for the range (more than 10 million stations)");
        writer.header();
        double lastPosted = NAN, lastInternal = NAN;
        auto emit = [&](double posted, double internal) {
            if (posted == lastPosted && std::fabs(internal - lastInternal) < 1e-9)
                return;
            lastPosted = posted;
            lastInternal = internal;
            if (!writer.write(internal, offsetMetres, posted))
                status = cli::EXIT_NO_ANSWER;
        };
        const std::vector<RoadStationing::Region>& regions = road.build->stations.regions();
        for (size_t k = 0; k < regions.size(); ++k) {
            const RoadStationing::Region& r = regions[k];
            const double lo = k == 0 ? ia : std::max(ia, r.internal), hi = std::min(ib, r.nextInternal);
            if (lo > hi)
                continue;
            const double plo = road.toCsv(r.posted + (lo - r.internal));
            const double phi = road.toCsv(r.posted + (hi - r.internal));
            const double eps = 1e-9;
            for (double m = std::ceil((plo - a) / everyDisplay - eps); m <= std::floor((phi - a) / everyDisplay + eps); ++m) {
                const double posted = road.toMetres(a + m * everyDisplay);
                emit(posted, r.internal + (posted - r.posted));
            }
        }
        if (!(lastInternal >= ib - 1e-9))
            emit(pb, ib);
        return status;
    }
    // Lines of "station [offset]" from stdin.
    writer.header();
    LineReader reader(stdin);
    std::string line;
    long lineNo = 0;
    while (reader.next(line)) {
        ++lineNo;
        if (reader.tooLong()) {
            cli::errorAtLine(road.command, lineNo, LineReader::kTooLongMessage);
            status = cli::EXIT_BAD_INPUT;
            continue;
        }
        const std::string t = cli::trim(line);
        if (t.empty() || t[0] == '#')
            continue;
        const std::vector<std::string> fields = cli::splitFields(t);
        if (fields.empty())   // separators only (",", ";;"): no station, read as a blank line
            continue;
        double internal, posted, o = offsetDisplay;
        if (fields.size() > 2) {
            cli::errorAtLine(road.command, lineNo, "expected \"station [offset]\", got " + roadcli::quoteLine(t));
            status = cli::EXIT_BAD_INPUT;
            continue;
        }
        if (!readStation(road, fields[0], internal, posted, message) ||
            (fields.size() == 2 && !cli::parseDouble(fields[1], o) && (message = roadcli::quoteLine(fields[1]) + " is not a number", true)) ||
            !withinReach(road, internal, road.toMetres(o), message)) {
            cli::errorAtLine(road.command, lineNo, message);
            status = cli::EXIT_BAD_INPUT;
            continue;
        }
        if (!writer.write(internal, road.toMetres(o), posted) && status == cli::EXIT_OK)
            status = cli::EXIT_NO_ANSWER;
    }
    return status;
}

// ---------------------------------------------------------------------------------------------
// road locate

const char* const kLocateHelp =
    "usage: fieldcore road locate ROAD|--example NORTH EAST [HEIGHT] [OPTIONS]\n"
    "       fieldcore road locate ROAD|--example [--input FILE] [--threads N] [OPTIONS] < points\n"
    "\n"
    "The station, offset and design height of the alignment's nearest point to a position,\n"
    "the cut or fill when a height is given, and the element (its number in the file). Points\n"
    "are \"[NAME] NORTH EAST [HEIGHT] [CODE]\" one per line (a first field that is no number\n"
    "is the name, and so is the first of four numbers: \"101 NORTH EAST HEIGHT\"), separated\n"
    "by blanks, tabs, commas or semicolons, CR LF or LF ends, from\n"
    "FILE or stdin; blank lines and lines starting with '#' are skipped. A CSV file may start\n"
    "with a header row naming its columns (name/point/id, north/northing/n, east/easting/e,\n"
    "height/elevation/elev/z/h, code; any case and order); a first line without any number\n"
    "that names none is skipped. Every answer carries the point's name, or \"line N\" where\n"
    "it has none. Coordinates must lie below 1e9 and heights below 1e5 in size. Points\n"
    "behind the start or ahead of the end are answered on the extended start or end tangent\n"
    "and flagged.\n"
    "\n"
    "The nearest point is exact (to about 1e-9 m): candidate chords from an index over the\n"
    "road, then the foot point solved on each by Newton's method on the element's position\n"
    "and direction.\n"
    "\n"
    "Options:\n"
    "  --input FILE       read points from FILE instead of stdin\n"
    "  --threads N        locate on N threads (1 to 256, default 1); the answers keep the\n"
    "                     order of the input; memory stays bounded whatever the input's size\n"
    "  --alignment A      the alignment, by name (any case) or number (road info shows it);\n"
    "                     needed when the file holds several\n"
    "  --profile NAME     the profile (default: the first)\n"
    "  --extend-grades    design heights beyond the profile's ends along its end grades\n"
    "  --max-distance D   refuse points farther than D from the alignment (its extended\n"
    "                     tangents included), stations more than D beyond its ends and offsets\n"
    "                     over D, in the output unit (default 1000)\n"
    "  --units U          coordinates, heights, stations and offsets in m, usft or ift\n"
    "                     (default: the linear unit the file declares)\n"
    "  --decimals N       decimals of the text output, 4 to 12 (default 4; stations 2)\n"
    "  --station-unit N   display units per whole station of \"n+rest\" (1000 m, 100 ft)\n"
    "  --csv              comma-separated with a header row, full precision (9 decimals):\n"
    "                     [alignment,]name,line,station,offset,height,cut_fill,element,extent,\n"
    "                     status (alignment when the file holds several; height empty where\n"
    "                     there is no design height, cut_fill empty without one or without a\n"
    "                     measured height; a rejected line keeps its row, the reason in\n"
    "                     status, \"ok\" otherwise)\n"
    "\n"
    "Offsets are positive to the right of increasing stations. Cut/fill is the measured height\n"
    "minus the design height: positive a cut (the point lies above the design), negative a\n"
    "fill.\n"
    "\n"
    "Examples:\n"
    "  fieldcore road locate --example 6543480 1234740\n"
    "  fieldcore road locate road.xml --input points.csv --csv --threads 2 > answers.csv\n"
    "  fieldcore road stakeout road.xml --station 1+500 --offset 2 --csv | tail -1 |\n"
    "    cut -d, -f3,4 | fieldcore road locate road.xml\n"
    "\n"
    "Errors: a line that is no point, or a point farther than --max-distance, is reported\n"
    "with its number (\"fieldcore road locate: line N: ...\") and the other lines still run.\n"
    "\n"
    "Exit status: 0 every point answered; 1 a point had no answer; 2 bad input or usage.\n";

// The answers of one block of input lines.
struct Batch {
    std::string text;                 // the lines, each followed by '\n'
    std::vector<long> lineNumbers;    // of each line
    std::vector<bool> tooLong;        // of each line: longer than the reader holds (kept empty)
    std::string out;
    std::vector<std::pair<long, std::string>> errors;
    bool badInput = false;
    bool noAnswer = false;

    void clear()
    {
        text.clear();
        lineNumbers.clear();
        tooLong.clear();
        out.clear();
        errors.clear();
        badInput = noAnswer = false;
    }
    void fail(long lineNo, const std::string& message)
    {
        errors.emplace_back(lineNo, message);
        badInput = true;
    }
};

// One thread's view of the road: its own copy of the alignment (the engine fills caches in
// its queries), a locator sharing the index, and the layout of the points' lines.
struct LocateWorker {
    const Road* road;
    const CAlnt* alnt;
    RoadLocator locator;
    roadcli::PointFormat format;

    // The answer for one point, or false with the reason (the point has no answer).
    bool answer(const roadcli::PointRecord& q, long lineNo, std::string& out, std::string& why) const
    {
        RoadLocation r;
        if (!locator.locate(road->toMetres(q.north), road->toMetres(q.east), r)) {
            why = "no answer for this point";
            return false;
        }
        if (!withinReach(*road, r.station, r.offset, why))
            return false;
        double design = 0.0;
        const bool hasDesign = designHeight(*alnt, *road, r.station, design);
        const double posted = road->build->stations.toPosted(r.station);
        const int element = road->sourceElement[r.element];
        if (road->csv) {
            const int d = road->csvDecimals();
            appendPointFields(out, q, lineNo);
            appendStationField(out, *road, posted, r.station);
            out += ',';
            appendFixed(out, road->toCsv(r.offset), d);
            out += ',';
            if (hasDesign)
                appendFixed(out, road->toCsv(design), d);
            out += ',';
            if (hasDesign && q.hasHeight)
                appendFixed(out, RoadCutFill(q.height, road->toCsv(design)), d);
            out += ',';
            char buf[16];
            out.append(buf, std::to_chars(buf, buf + sizeof buf, element).ptr);
            out += ',';
            out += extentName(r.extent);
            out += ",ok";
        } else {
            const cli::DisplayUnits& u = road->units;
            out += (q.name.empty() ? (lineNo > 0 ? "line " + std::to_string(lineNo) + "  " : std::string()) : q.name + "  ") +
                   stationText(*road, posted, r.station) + "  offset " + u.showLength(r.offset) + "  height " +
                   (hasDesign ? u.showLength(design) : std::string("-"));
            if (hasDesign && q.hasHeight) {
                const double cutFill = RoadCutFill(q.height, road->toDisplay(design));
                out += (cutFill >= 0.0 ? "  cut " : "  fill ") + cli::fixedNoNegativeZero(std::fabs(cutFill), u.decimals);
            }
            out += "  element " + std::to_string(element) + extentNote(r.extent);
        }
        out += '\n';
        return true;
    }

    // The name and line fields of a CSV row (after the alignment when the file holds several).
    void appendPointFields(std::string& out, const roadcli::PointRecord& q, long lineNo) const
    {
        appendAlignmentField(out, *road);
        out += csvText(q.name) + ',' + (lineNo > 0 ? std::to_string(lineNo) : std::string()) + ',';
    }

    // A rejected line: its CSV row with the reason, so that rows stay aligned with the input.
    void rejectRow(std::string& out, const roadcli::PointRecord& q, long lineNo, const std::string& why) const
    {
        if (!road->csv)
            return;
        appendPointFields(out, q, lineNo);
        out += ",,,,,," + csvText(why) + '\n';
    }

    void run(Batch& b) const
    {
        size_t pos = 0;
        for (size_t i = 0; i < b.lineNumbers.size(); ++i) {
            const long lineNo = b.lineNumbers[i];
            const size_t end = b.text.find('\n', pos);
            std::string_view line(b.text.data() + pos, end - pos);
            pos = end + 1;
            roadcli::PointRecord q;
            std::string why;
            if (b.tooLong[i] || !roadcli::parsePointLine(format, line, q, why)) {
                if (b.tooLong[i])
                    why = LineReader::kTooLongMessage;
                b.fail(lineNo, why);
                rejectRow(b.out, q, lineNo, why);
                continue;
            }
            if (!answer(q, lineNo, b.out, why)) {
                b.errors.emplace_back(lineNo, why);
                rejectRow(b.out, q, lineNo, why);
                if (why.find("--max-distance") != std::string::npos)
                    b.badInput = true;
                else
                    b.noAnswer = true;
            }
        }
    }
};

int runLocate(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (roadcli::printedRoadHelp(args, kLocateHelp))
        return cli::EXIT_OK;
    Road road;
    road.command = "road locate";
    CommonOptions common;
    std::string input, threadsText, path, message;
    const bool hasInput = args.option("--input", input);
    const bool hasThreads = args.option("--threads", threadsText);
    std::vector<double> numbers;
    if (!readCommon(args, road, common, message) || !splitPositionals(args, path, numbers, message))
        return cli::usageError(road.command, message);
    if (!args.problem().empty())
        return cli::usageError(road.command, args.problem());
    int threads = 1;
    if (hasThreads && (!cli::parseInt(threadsText, threads) || threads < 1 || threads > 256))
        return cli::usageError(road.command, "--threads takes a number from 1 to 256");
    if (!numbers.empty() && (numbers.size() < 2 || numbers.size() > 3))
        return cli::usageError(road.command, "give NORTH EAST [HEIGHT]");
    if (!numbers.empty() && hasInput)
        return cli::usageError(road.command, "give a point or --input, not both");
    std::FILE* in = stdin;
    const std::string unreadable = hasInput ? cli::whyUnreadable(input) : std::string();
    if (hasInput && (!unreadable.empty() || !(in = std::fopen(input.c_str(), "rb")))) {
        cli::error(road.command, "--input: " + cli::cannotRead(input, unreadable.empty() ? "a read error" : unreadable));
        return cli::EXIT_BAD_INPUT;
    }
    int status = loadRoad("locate", path, common, road);
    if (status == cli::EXIT_OK) {
        RoadLocator locator;
        if (!locator.build(road.alnt())) {
            cli::error(road.command, "the alignment cannot be indexed");
            status = cli::EXIT_NO_ANSWER;
        }
        if (status == cli::EXIT_OK) {
            if (road.csv)
                std::cout << csvHeader(road, "name,line,station,offset,height,cut_fill,element,extent,status");
            else
                std::cout << textHeader(road, false);
            if (!numbers.empty()) {
                // The point of the command line: its numbers, checked as a file's are.
                std::string text, why;
                for (double v : numbers)
                    text += cli::formatDouble(v) + " ";
                roadcli::PointRecord q;
                std::string out;
                LocateWorker w{&road, &road.alnt(), locator, roadcli::PointFormat()};
                const bool parsed = roadcli::parsePointLine(w.format, text, q, why);
                const bool ok = parsed && w.answer(q, 0, out, why);
                std::cout << out;
                if (!ok) {
                    cli::error(road.command, why);
                    status = !parsed || why.find("--max-distance") != std::string::npos ? cli::EXIT_BAD_INPUT
                                                                                        : cli::EXIT_NO_ANSWER;
                }
            } else {
                // Copies of the alignment for the other threads.
                std::vector<CAlnt> copies(static_cast<size_t>(threads - 1), road.alnt());
                std::vector<LocateWorker> workers;
                workers.push_back(LocateWorker{&road, &road.alnt(), locator, roadcli::PointFormat()});
                for (const CAlnt& c : copies)
                    workers.push_back(LocateWorker{&road, &c, locator.sharedWith(c), roadcli::PointFormat()});
                const size_t kBatchLines = 8192;
                std::vector<Batch> batches(static_cast<size_t>(threads));
                LineReader reader(in);
                std::string line;
                long lineNo = 0;
                bool seenFirst = false, more = true;
                while (more) {
                    size_t filled = 0;
                    for (; filled < batches.size() && more; ++filled) {
                        Batch& b = batches[filled];
                        b.clear();
                        while (b.lineNumbers.size() < kBatchLines && (more = reader.next(line))) {
                            ++lineNo;
                            if (reader.tooLong()) {
                                b.text += '\n';
                                b.lineNumbers.push_back(lineNo);
                                b.tooLong.push_back(true);
                                continue;
                            }
                            if (roadcli::isBlankOrComment(line))
                                continue;
                            if (!seenFirst) {
                                // The first line may be a header row: it sets the columns.
                                seenFirst = true;
                                roadcli::PointFormat format;
                                if (roadcli::readPointHeader(line, format)) {
                                    for (LocateWorker& w : workers)
                                        w.format = format;
                                    continue;
                                }
                            }
                            b.text.append(line);
                            b.text += '\n';
                            b.lineNumbers.push_back(lineNo);
                            b.tooLong.push_back(false);
                        }
                    }
                    if (filled == 1) {
                        workers[0].run(batches[0]);
                    } else {
                        std::vector<std::thread> running;
                        for (size_t k = 1; k < filled; ++k)
                            running.emplace_back([&, k] { workers[k].run(batches[k]); });
                        workers[0].run(batches[0]);
                        for (std::thread& t : running)
                            t.join();
                    }
                    for (size_t k = 0; k < filled; ++k) {
                        std::cout.write(batches[k].out.data(), static_cast<std::streamsize>(batches[k].out.size()));
                        if (!batches[k].errors.empty())
                            std::cout.flush();
                        for (const auto& e : batches[k].errors)
                            cli::errorAtLine(road.command, e.first, e.second);
                        if (batches[k].badInput)
                            status = cli::EXIT_BAD_INPUT;
                        else if (batches[k].noAnswer && status == cli::EXIT_OK)
                            status = cli::EXIT_NO_ANSWER;
                    }
                }
            }
        }
    }
    if (in != stdin)
        std::fclose(in);
    return status;
}

// ---------------------------------------------------------------------------------------------
// road sample

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
    "  --offsets TABLE    a table of stations and offsets\n"
    "  --format F         text (default), csv (a header row, full precision: station,offset,\n"
    "                     north,east,height; height empty where there is none) or geojson\n"
    "                     (a FeatureCollection of one LineString: coordinates [east, north,\n"
    "                     height] in the display unit, the height where the profile gives\n"
    "                     one; the stations and offsets (and the stations' regions where\n"
    "                     station equations make several) as properties; a named \"crs\" where\n"
    "                     the road file names its coordinate system by EPSG code or a WKT\n"
    "                     with one, otherwise the coordinates are the file's grid)\n"
    "  --csv              the same as --format csv\n"
    "  --alignment A      the alignment, by name (any case) or number (road info shows it);\n"
    "                     needed when the file holds several\n"
    "  --profile NAME     the profile (default: the first)\n"
    "  --extend-grades    design heights beyond the profile's ends along its end grades\n"
    "  --max-distance D   refuse points farther than D from the alignment (its extended\n"
    "                     tangents included), stations more than D beyond its ends and offsets\n"
    "                     over D, in the output unit (default 1000)\n"
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
    "\n"
    "Exit status: 0 sampled; 1 the road could not be sampled; 2 bad input or usage.\n";

// Reads the offset table: "station offset" lines. Bad lines are reported and left out.
bool readOffsetTable(const Road& road, const std::string& file, std::vector<StAndOffset>& table, int& status)
{
    const std::string unreadable = cli::whyUnreadable(file);
    std::FILE* in = unreadable.empty() ? std::fopen(file.c_str(), "rb") : nullptr;
    if (!in) {
        cli::error(road.command, "--offsets: " + cli::cannotRead(file, unreadable.empty() ? "a read error" : unreadable));
        return false;
    }
    LineReader reader(in);
    std::string line, message;
    long lineNo = 0;
    while (reader.next(line)) {
        ++lineNo;
        if (reader.tooLong()) {
            cli::errorAtLine(road.command, lineNo, std::string("--offsets: ") + LineReader::kTooLongMessage);
            status = cli::EXIT_BAD_INPUT;
            continue;
        }
        const std::string t = cli::trim(line);
        if (t.empty() || t[0] == '#')
            continue;
        const std::vector<std::string> fields = cli::splitFields(t);
        StAndOffset pair;
        double posted;
        double offset;
        if (fields.size() != 2) {
            message = "expected \"station offset\", got " + roadcli::quoteLine(t);
        } else if (!readStation(road, fields[0], pair.station, posted, message)) {
        } else if (!cli::parseDouble(fields[1], offset)) {
            message = roadcli::quoteLine(fields[1]) + " is not a number";
        } else if (!table.empty() && !(pair.station > table.back().station)) {
            message = "the stations must increase";
        } else {
            pair.offset = road.toMetres(offset);
            table.push_back(pair);
            continue;
        }
        cli::errorAtLine(road.command, lineNo, file + ": " + message);
        status = cli::EXIT_BAD_INPUT;
    }
    std::fclose(in);
    return true;
}

void printSample(const Road& road, const std::string& format, const std::vector<RoadSampleVertex>& line)
{
    std::string out;
    const int d = road.csvDecimals();
    if (format == "geojson") {
        std::string name;
        for (char c : road.source->name) {
            if (c == '"' || c == '\\')
                name += '\\';
            if (static_cast<unsigned char>(c) >= 0x20)
                name += c;
        }
        // A FeatureCollection of one LineString: [east, north, height] where the profile gives a
        // design height, [east, north] elsewhere; the file's coordinate system as a named crs.
        out = "{\"type\": \"FeatureCollection\", ";
        const std::string epsg = RoadFileEpsg(road.loaded.file);
        if (!epsg.empty())
            out += "\"crs\": {\"type\": \"name\", \"properties\": {\"name\": \"urn:ogc:def:crs:EPSG::" + epsg + "\"}}, ";
        out += "\"features\": [{\"type\": \"Feature\", \"geometry\": {\"type\": \"LineString\", \"coordinates\": [";
        for (size_t i = 0; i < line.size(); ++i) {
            out += i ? ", [" : "[";
            appendFixed(out, road.toCsv(line[i].east), d);
            out += ", ";
            appendFixed(out, road.toCsv(line[i].north), d);
            double h;
            if (designHeight(road.alnt(), road, line[i].station, h)) {
                out += ", ";
                appendFixed(out, road.toCsv(h), d);
            }
            out += ']';
        }
        out += "]}, \"properties\": {\"alignment\": \"" + name + "\", \"units\": \"" +
               (road.units.dist == UNITS_USFT ? "usft" : road.units.dist == UNITS_IFT ? "ift" : "m") +
               "\", \"stations\": [";
        for (size_t i = 0; i < line.size(); ++i) {
            out += i ? ", " : "";
            appendFixed(out, road.toCsv(road.build->stations.toPosted(line[i].station)), d);
        }
        out += "], \"offsets\": [";
        for (size_t i = 0; i < line.size(); ++i) {
            out += i ? ", " : "";
            appendFixed(out, road.toCsv(line[i].offset), d);
        }
        // Each station's region when equations overlap (a posted station alone is ambiguous there).
        if (road.build->stations.regionCount() > 1) {
            out += "], \"regions\": [";
            for (size_t i = 0; i < line.size(); ++i) {
                int region = 1;
                road.build->stations.toPosted(line[i].station, &region);
                out += (i ? ", " : "") + std::to_string(region);
            }
        }
        out += "]}}]}\n";
    } else if (format == "csv") {
        out = csvHeader(road, "station,offset,north,east,height");
        for (const RoadSampleVertex& v : line) {
            appendAlignmentField(out, road);
            appendStationField(out, road, road.build->stations.toPosted(v.station), v.station);
            for (double x : {v.offset, v.north, v.east}) {
                out += ',';
                appendFixed(out, road.toCsv(x), d);
            }
            out += ',';
            double h;
            if (designHeight(road.alnt(), road, v.station, h))
                appendFixed(out, road.toCsv(h), d);
            out += '\n';
        }
    } else {
        out = textHeader(road, false);
        for (const RoadSampleVertex& v : line) {
            double h;
            const bool hasHeight = designHeight(road.alnt(), road, v.station, h);
            out += stationText(road, road.build->stations.toPosted(v.station), v.station) +
                   "  offset " + road.units.showLength(v.offset) + "  north " + road.units.showLength(v.north) +
                   "  east " + road.units.showLength(v.east) + "  height " +
                   (hasHeight ? road.units.showLength(h) : std::string("-")) + '\n';
        }
    }
    std::cout << out;
}

int runSample(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (roadcli::printedRoadHelp(args, kSampleHelp))
        return cli::EXIT_OK;
    Road road;
    road.command = "road sample";
    CommonOptions common;
    std::string deviation, offset, table, format = "text", path, message;
    const bool hasDeviation = args.option("--deviation", deviation);
    const bool hasOffset = args.option("--offset", offset);
    const bool hasTable = args.option("--offsets", table);
    args.option("--format", format);
    if (!readCommon(args, road, common, message) || !roadcli::readRoadPath(args, path, message))
        return cli::usageError(road.command, message);
    if (!args.problem().empty())
        return cli::usageError(road.command, args.problem());
    if (road.csv)
        format = "csv";
    if (format != "text" && format != "csv" && format != "geojson")
        return cli::usageError(road.command, "--format takes text, csv or geojson");
    double deviationDisplay = 0.0, offsetDisplay = 0.0;
    if (!hasDeviation)
        return cli::usageError(road.command, "give --deviation D");
    if (!cli::parseDouble(deviation, deviationDisplay))
        return cli::usageError(road.command, "--deviation: '" + deviation + "' is not a number");
    if (hasOffset && hasTable)
        return cli::usageError(road.command, "give --offset or --offsets, not both");
    if (hasOffset && !cli::parseDouble(offset, offsetDisplay))
        return cli::usageError(road.command, "--offset: '" + offset + "' is not a number");
    int status = loadRoad("sample", path, common, road);
    if (status != cli::EXIT_OK)
        return status;
    const double deviationMetres = road.toMetres(deviationDisplay);
    if (!(deviationMetres >= kRoadMinDeviation))
        return cli::usageError(road.command, "--deviation must be at least 0.0001 m");
    std::vector<RoadSampleVertex> line;
    bool sampled;
    if (hasTable) {
        std::vector<StAndOffset> pairs;
        if (!readOffsetTable(road, table, pairs, status))
            return cli::EXIT_BAD_INPUT;
        if (pairs.size() < 2) {
            cli::error(road.command, table + ": the table needs at least two (station, offset) pairs");
            return cli::EXIT_BAD_INPUT;
        }
        sampled = SampleRoadOffsetTable(road.alnt(), pairs, deviationMetres, line);
    } else if (hasOffset) {
        sampled = SampleRoadOffsetLine(road.alnt(), road.toMetres(offsetDisplay), deviationMetres, line);
    } else {
        sampled = SampleRoadCentreline(road.alnt(), deviationMetres, line);
    }
    if (!sampled || !AddRoadProfileVertices(road.alnt(), deviationMetres, line)) {
        cli::error(road.command, "the road could not be sampled");
        return cli::EXIT_NO_ANSWER;
    }
    printSample(road, format, line);
    return status;
}

const bool registeredStakeout =
    roadcli::registerSubcommand("stakeout", "positions at stations and offsets (north, east, height, azimuth)", &runStakeout);
const bool registeredLocate =
    roadcli::registerSubcommand("locate", "station, offset, height and cut/fill of positions", &runLocate);
const bool registeredSample =
    roadcli::registerSubcommand("sample", "the centreline or an offset line as a polyline (csv, geojson)", &runSample);

} // namespace
