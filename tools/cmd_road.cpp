// fieldcore road: road files (LandXML alignments) and the road services over the alignment
// engine. The subcommands live in tools/road_<name>.cpp and register with the table here.
#include "roadCommands.h"

#include "hostFiles.h"
#include "numeric/stationText.h"
#include "platform/textCodec.h"
#include "road/landXmlReader.h"
#include "road/roadPoints.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace roadcli {

static std::vector<Subcommand>& table()
{
    static std::vector<Subcommand> list;
    return list;
}

bool registerSubcommand(const char* name, const char* summary, cli::RunFn run)
{
    table().push_back(Subcommand{name, summary, run});
    return true;
}

const std::vector<Subcommand>& subcommands() { return table(); }

const char* const kRoadHelpNotes =
    "Road files: LandXML 1.0, 1.1 and 1.2 (any namespace), in the encoding they declare (UTF-8,\n"
    "UTF-16, ISO-8859, Shift_JIS, GB2312, ... any the system converts).\n"
    "Give the road file ROAD (\"-\": read from stdin, named \"stdin\" in messages; not where\n"
    "stdin carries the command's points, stations or table), or --example for the bundled\n"
    "example road (examples/exampleRoad.xml); without either the command stops. Geometry comes\n"
    "from the coordinates (a line from Start and End, an arc from Start, Center and End, a\n"
    "spiral's start tangent from Start towards PI), never from direction attributes. A gap up\n"
    "to 1 mm between elements is absorbed; a larger one is an error. An alignment with an\n"
    "element that cannot be taken is refused alone: road info lists it with the reason and\n"
    "line, the others answer, and choosing it exits 2. A profile that cannot be taken is\n"
    "refused alone too: with none left the plan answers without heights, said on stderr.\n"
    "Design heights: inside the profile (from its first VIP to its last) the profile's,\n"
    "exact; outside it none (\"-\" in text, empty in CSV, no cut/fill) unless --extend-grades\n"
    "carries the first and last grades on. A road without a profile has none; an alignment\n"
    "with several profiles needs --profile (road info lists them), the first is not taken.\n"
    "Stations shown and typed are posted stations, with the file's station equations applied,\n"
    "written n+rest with the rest padded to the station unit (1000 m: 2+050.00, 1+004.74;\n"
    "100 ft: 191+04.51), negative as -0+090.00, with --decimals decimals (default 2). Typed as\n"
    "a number (1320.5, -5) or n+rest (1+320.5, -0+5); 1+2+3, 1+-5 and a rest of the unit or\n"
    "more (0+1500) are refused. Regions: region 1 runs from the start to the first station\n"
    "equation after it, region K+1 from the K-th on. Where an equation steps back, its\n"
    "repeated stations lie in two regions: type STATION@K (0+675.00@3, 675@3); a station two\n"
    "regions hold given without @K is refused for that line, and every station shown there\n"
    "carries its @K (road info lists the regions). An equation without staBack (or \"NaN\")\n"
    "only marks where posted stations begin; the stations follow staInternal and staAhead.\n"
    "The engine runs with smallNumTolerance lowered to 1e-10 (from 1e-5), so that its clothoid\n"
    "series answer to the micrometre.\n";

bool printedRoadHelp(cli::Args& args, const char* help)
{
    if (!args.flag("--help") && !args.flag("-h"))
        return false;
    std::cout << help << '\n' << kRoadHelpNotes;
    return true;
}

static bool fileExists(const std::string& path)
{
    return !path.empty() && access(path.c_str(), R_OK) == 0;
}

std::string exampleRoadPath()
{
    const char* name = "/exampleRoad.xml";
    if (const char* dir = std::getenv("FIELDCORE_EXAMPLES")) {
        if (fileExists(std::string(dir) + name))
            return std::string(dir) + name;
    }
    const std::string src = __FILE__;
    const size_t slash = src.rfind("/tools/");
    if (slash != std::string::npos && fileExists(src.substr(0, slash) + "/examples" + name))
        return src.substr(0, slash) + "/examples" + name;
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0) {
        exe[n] = '\0';
        std::string dir(exe);
        dir = dir.substr(0, dir.rfind('/'));
        for (const char* rel : {"/../share/fieldcore/examples", "/../../examples", "/../examples"})
            if (fileExists(dir + rel + name))
                return dir + rel + name;
    }
    return std::string();
}

int findAlignment(const RoadFile& file, const std::string& text)
{
    return RoadFindAlignment(file, text);
}

std::string alignmentList(const RoadFile& file, const std::string& profile)
{
    cli::DisplayUnits units;
    units.dist = fileDisplayUnit(file);
    StationForm form;
    form.unit = defaultStationUnit(units.dist);
    std::string list;
    for (size_t i = 0; i < file.alignments.size(); ++i) {
        const RoadAlignment& a = file.alignments[i];
        list += "  " + std::to_string(i + 1) + "  \"" + a.name + "\"  ";
        RoadBuild b;
        RoadError err;
        double end;
        if (!BuildRoadAlignment(file, a, profile, b, err) || !b.alnt.getFinalChainageInM(end))
            list += "refused: " + (a.refused ? a.refusal.message : err.message);
        else
            list += "stations " + stationText(b.stations, b.alnt.getStartChainageInM(), units, form) + " to " +
                    stationText(b.stations, end, units, form);
        list += i + 1 < file.alignments.size() ? "\n" : "";
    }
    return list;
}

// The file `path` names: the bundled example road for kExampleRoad, "-" for stdin; empty
// (reported) for none.
static std::string roadFilePath(const std::string& command, const std::string& path)
{
    if (path.empty()) {
        cli::error(command, "give the road file (or --example for the bundled example road)");
        return std::string();
    }
    if (path != kExampleRoad)
        return path;
    const std::string example = exampleRoadPath();
    if (example.empty())
        cli::error(command, "the example road is not installed (set FIELDCORE_EXAMPLES or give ROAD)");
    return example;
}

// The alignments to build: the one named, or every one; false (reported) for a name the file
// does not hold, or a file of several without a choice where the command needs one.
static bool selectAlignments(const std::string& command, const std::string& file, const std::string& alignment,
                             const std::string& profile, bool needOne, LoadedRoad& road)
{
    const int chosen = alignment.empty() ? -1 : findAlignment(road.file, alignment);
    if (chosen == kRoadAlignmentNameShared) {
        cli::error(command, file + ": several alignments are named '" + alignment +
                                "': choose one with --alignment NUMBER\n" + alignmentList(road.file, profile));
        return false;
    }
    if (!alignment.empty() && chosen < 0) {
        cli::error(command, file + ": no alignment '" + alignment + "'; the file holds:\n" + alignmentList(road.file, profile));
        return false;
    }
    if (alignment.empty() && needOne && road.file.alignments.size() > 1) {
        cli::error(command, file + ": the file holds " + std::to_string(road.file.alignments.size()) +
                                " alignments: choose one with --alignment NAME or NUMBER\n" +
                                alignmentList(road.file, profile));
        return false;
    }
    for (size_t i = 0; i < road.file.alignments.size(); ++i)
        if (chosen < 0 || static_cast<int>(i) == chosen)
            road.selected.push_back(static_cast<int>(i));
    return true;
}

// Builds the selected alignments. Those that cannot be read or built are refused alone; one
// that was asked for by name stops the command with its reason (false).
// `answering`: the command answers heights (info and convert list or name a refused profile
// themselves).
static bool buildSelected(const std::string& command, const std::string& file, const std::string& alignment,
                          const std::string& profile, bool answering, LoadedRoad& road)
{
    std::vector<int> built;
    road.builds.reserve(road.selected.size());
    for (int index : road.selected) {
        RoadAlignment& a = road.file.alignments[static_cast<size_t>(index)];
        RoadError err;
        road.builds.emplace_back();
        if (!a.refused && !BuildRoadAlignment(road.file, a, profile, road.builds.back(), err)) {
            a.refused = true;
            a.refusal = err;
        }
        if (a.refused) {
            road.builds.pop_back();
            if (!alignment.empty()) {
                cli::error(command, "alignment '" + a.name + "' is refused: " + a.refusal.text());
                return false;
            }
            continue;
        }
        for (const std::string& m : road.builds.back().stations.mismatches())
            cli::error(command, file + ": warning: " + m);
        if (answering && road.builds.back().profileRefused)
            cli::error(command, "warning: alignment '" + a.name + "' is answered without heights: " +
                                    (a.profiles.size() == 1 ? "its profile \"" + a.profiles[0].name + "\" is refused: "
                                                            : "its " + std::to_string(a.profiles.size()) +
                                                                  " profiles are refused, the first: ") +
                                    road.builds.back().profileRefusal.text());
        built.push_back(index);
    }
    road.selected = built;
    return true;
}

// Whether the heights of alignment `a` come from one profile without a choice: false
// (reported, the profiles listed) when it holds several. Heights of the first of two design
// profiles were answered without a word of which.
static bool oneProfile(const std::string& command, const std::string& file, const RoadAlignment& a)
{
    // With every profile refused there is nothing to choose: the plan answers, without heights.
    if (a.profiles.size() < 2 || RoadEveryProfileRefused(a))
        return true;
    std::string list;
    for (const RoadProfile& p : a.profiles)
        list += "\n  \"" + p.name + "\" (line " + std::to_string(p.line) + ")" +
                (p.refused ? ": refused: " + p.refusal.message + " (line " + std::to_string(p.refusal.line) + ")" : "");
    cli::error(command, file + ": alignment '" + a.name + "' holds " + std::to_string(a.profiles.size()) +
                            " profiles: choose one with --profile NAME" + list);
    return false;
}

// Reads the road file, or stdin for "-" (kStdinName in messages); empty stdin is said so
// rather than reported as malformed XML.
static bool readRoadFile(const std::string& path, RoadFile& file, RoadError& err)
{
    if (!roadFromStdin(path))
        return ReadLandXmlFile(path, file, err);
    std::string bytes;
    err.file = kStdinName;
    err.line = 0;
    if (!cli::readWholeFile(path, bytes))
        return err.message = "the road file cannot be read from stdin", false;
    if (bytes.empty())
        return err.message = "empty (no road file was given on it)", false;
    return ReadLandXmlBytes(bytes, kStdinName, file, err);
}

int loadRoad(const std::string& sub, const std::string& path, const std::string& alignment,
             const std::string& profile, LoadedRoad& road, bool needOne)
{
    UseRoadTolerances();
    const std::string command = "road " + sub;
    const std::string source = roadFilePath(command, path);
    if (source.empty())
        return cli::EXIT_BAD_INPUT;
    const std::string file = roadFromStdin(source) ? std::string(kStdinName) : source;
    RoadError err;
    if (!readRoadFile(source, road.file, err)) {
        cli::error(command, err.text());
        return cli::EXIT_BAD_INPUT;
    }
    // A file without <Units> is read in metres: said each time, as the answers' units rest on it.
    if (!road.file.unitsDeclared)
        cli::error(command, file + ": warning: the file declares no units (no <Units>): its lengths are read as metres");
    if (!selectAlignments(command, file, alignment, profile, needOne, road))
        return cli::EXIT_BAD_INPUT;
    // The choice among profiles comes before the build, which would refuse a bad first one.
    if (needOne && profile.empty() && road.selected.size() == 1 &&
        !oneProfile(command, file, road.file.alignments[static_cast<size_t>(road.selected[0])]))
        return cli::EXIT_BAD_INPUT;
    if (!buildSelected(command, file, alignment, profile, needOne, road))
        return cli::EXIT_BAD_INPUT;
    if (road.selected.empty()) {
        for (const RoadAlignment& a : road.file.alignments)
            if (a.refused)
                cli::error(command, "alignment '" + a.name + "' is refused: " + a.refusal.text());
        return cli::EXIT_BAD_INPUT;
    }
    return cli::EXIT_OK;
}

UNITS fileDisplayUnit(const RoadFile& file)
{
    switch (file.units.linear) {
    case RoadLinearUnit::USSurveyFoot: return UNITS_USFT;
    case RoadLinearUnit::InternationalFoot: return UNITS_IFT;
    default: return UNITS_M;
    }
}

bool readRoadUnits(cli::Args& args, cli::DisplayUnits& units, bool& unitsGiven, int& stationDecimals,
                   std::string& message)
{
    const UNITS none = static_cast<UNITS>(-1);
    units.dist = none;
    units.decimals = -1;
    if (!cli::readDisplayUnits(args, units, message))
        return false;
    unitsGiven = units.dist != none;
    if (!unitsGiven)
        units.dist = UNITS_M;
    stationDecimals = units.decimals < 0 ? kRoadStationDecimals : units.decimals;
    if (units.decimals < 0)
        units.decimals = cli::DisplayUnits().decimals;
    return true;
}

double defaultStationUnit(UNITS unit)
{
    return unit == UNITS_M ? 1000.0 : 100.0;
}

static double toDisplay(double metres, const cli::DisplayUnits& units)
{
    return units.dist == UNITS_M ? metres : FromMetersEx(metres, units.dist);
}

std::string postedText(double postedMetres, const cli::DisplayUnits& units, const StationForm& form)
{
    return RoadStationText(toDisplay(postedMetres, units), form.unit, form.decimals);
}

std::string regionSuffix(const RoadStationing& st, double posted, double internal)
{
    if (!st.isShared(posted))
        return std::string();
    int region = 1;
    st.toPosted(internal, &region);
    return "@" + std::to_string(region);
}

std::string stationText(const RoadStationing& st, double posted, double internal, const cli::DisplayUnits& units,
                        const StationForm& form)
{
    return postedText(posted, units, form) + regionSuffix(st, posted, internal);
}

std::string stationText(const RoadStationing& st, double internal, const cli::DisplayUnits& units,
                        const StationForm& form)
{
    return stationText(st, st.toPosted(internal), internal, units, form);
}

bool readStation(const RoadStationing& st, const std::string& text, const cli::DisplayUnits& units,
                 const StationForm& form, double& internal, double& posted, std::string& why)
{
    double display;
    int region;
    if (!RoadParseStation(text, form.unit, display, region, why))
        return false;
    const double metres = units.toMetres(display);
    double at;
    if (!st.toInternal(metres, region, at, why)) {
        why = "station " + QuotedInputLine(cli::trim(text)) + ": " + why;
        return false;
    }
    internal = at;
    posted = metres;
    return true;
}

bool readRoadPath(cli::Args& args, std::string& path, std::string& message)
{
    const bool example = args.flag("--example");
    std::string option;
    if (!args.problem().empty())
        return message = args.problem(), false;
    if (args.firstUnknownOption(option))
        return message = args.unknownOption(option), false;
    if (args.rest().size() > 1)
        return message = "give one road file (got '" + args.rest()[1] + "' too)", false;
    return takeRoadPath(example, args.rest().empty() ? std::string() : args.rest()[0], path, message);
}

bool takeRoadPath(bool example, const std::string& given, std::string& path, std::string& message)
{
    if (example && !given.empty())
        return message = "give the road file or --example, not both", false;
    path = example ? kExampleRoad : given;
    return true;
}

std::string stdinTakenByRoad(const std::string& what, const std::string& instead)
{
    return "the road file is read from stdin ('-'), which leaves none for " + what + ": " + instead;
}

} // namespace roadcli

namespace {

const char* const kCommand = "road";

void printOverview()
{
    std::cout << "usage: fieldcore road SUBCOMMAND [OPTIONS] ROAD|--example\n\n"
                 "Road files and the road services over the alignment engine.\n\n"
                 "Subcommands (each has --help):\n";
    std::vector<roadcli::Subcommand> sorted = roadcli::subcommands();
    std::sort(sorted.begin(), sorted.end(),
              [](const roadcli::Subcommand& a, const roadcli::Subcommand& b) { return a.name < b.name; });
    for (const roadcli::Subcommand& s : sorted)
        std::cout << "  " << s.name << std::string(s.name.size() < 10 ? 10 - s.name.size() : 1, ' ') << s.summary
                  << '\n';
    std::cout << '\n' << roadcli::kRoadHelpNotes
              << "\nExit status: 0 ok; 1 no answer; 2 bad input (a message names the file and line) or usage.\n";
}

int runRoad(const std::vector<std::string>& args)
{
    if (args.empty()) {
        printOverview();
        return cli::EXIT_BAD_INPUT;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printOverview();
        return cli::EXIT_OK;
    }
    for (const roadcli::Subcommand& s : roadcli::subcommands())
        if (s.name == args[0])
            return s.run(std::vector<std::string>(args.begin() + 1, args.end()));
    return cli::usageError(kCommand, "unknown subcommand '" + args[0] + "'");
}

const bool registered = cli::registerCommand(kCommand, "road files (LandXML) and the road services", &runRoad);

} // namespace
