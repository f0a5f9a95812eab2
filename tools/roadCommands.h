// The `fieldcore road` subcommands: their registry and what they share (loading a road file
// with its messages, the bundled example road, stations and lengths in the display unit).
//
// A subcommand is one file tools/road_<name>.cpp that registers itself:
//     namespace { int runX(const std::vector<std::string>& args) {...}
//                 const bool registered = roadcli::registerSubcommand("x", "one-line summary", &runX); }
// `args` are the words after "fieldcore road x". The conventions are the tool's (tools/cli.h):
// --help prints the manual, exit 0 ok, 1 no answer, 2 bad input or usage. Every subcommand
// runs the engine with the road services' tolerances (road/roadBuilder.h: smallNumTolerance
// 1e-10), which loadRoad sets.
#pragma once

#include "cli.h"
#include "displayUnits.h"

#include "road/roadBuilder.h"
#include "road/roadModel.h"
#include "road/roadStationText.h"
#include "road/roadStations.h"

#include <string>
#include <vector>

namespace roadcli {

struct Subcommand {
    std::string name;
    std::string summary;
    cli::RunFn run;
};

bool registerSubcommand(const char* name, const char* summary, cli::RunFn run);
const std::vector<Subcommand>& subcommands();

// The text --help of every subcommand says about tolerances and stations.
extern const char* const kRoadHelpNotes;

// When --help or -h is given: prints the subcommand's manual followed by kRoadHelpNotes and
// returns true.
bool printedRoadHelp(cli::Args& args, const char* help);

// The bundled example road (examples/exampleRoad.xml): from $FIELDCORE_EXAMPLES, the source
// tree the tool was built from, or the installed share/fieldcore/examples; empty when none is
// found.
std::string exampleRoadPath();

// A road file with the alignments a subcommand works on, built.
struct LoadedRoad {
    RoadFile file;
    std::vector<int> selected;       // indexes into file.alignments
    std::vector<RoadBuild> builds;   // parallel to selected
};

// Reads `path` (kExampleRoad: the bundled example road; "-": stdin; empty: refused with "give
// the road file"), selects the alignment named `alignment` (every
// alignment when empty) and builds it with the profile named `profile` (the first when empty).
// Alignments the reader or the builder refuses are left out of `selected` (marked refused in
// `file`, with the reason); one asked for by name is an error. The stations' disagreements
// (RoadStationing::mismatches) are warned about on stderr, once each. Problems go to stderr as
// "fieldcore road SUB: FILE:LINE: MESSAGE". Returns cli::EXIT_OK or cli::EXIT_BAD_INPUT.
// `alignment` is a name (any case) or the number road info shows (1, 2, ...). With `needOne`
// (commands that answer on one alignment) a file of several alignments needs the choice, and so
// does an alignment of several profiles when `profile` is empty: without it the command stops,
// listing them.
int loadRoad(const std::string& sub, const std::string& path, const std::string& alignment,
             const std::string& profile, LoadedRoad& road, bool needOne = false);

// The alignment `text` names (its name in any case, else its number from 1), -1 for none.
int findAlignment(const RoadFile& file, const std::string& text);
// The file's alignments, one a line: number, name and stations (or why it is refused).
std::string alignmentList(const RoadFile& file, const std::string& profile);

// The display unit that matches the file's linear unit: usft, ift, or m for the metric units.
UNITS fileDisplayUnit(const RoadFile& file);

// Reads --units, --angles and --decimals (cli::readDisplayUnits); without --units the file's
// unit is taken later (unitsGiven false). `stationDecimals` receives the decimals of station
// text: --decimals when given, else kRoadStationDecimals (2).
bool readRoadUnits(cli::Args& args, cli::DisplayUnits& units, bool& unitsGiven, int& stationDecimals,
                   std::string& message);

// Metres per whole station in the display: 1000 for metres, 100 for feet (--station-unit
// overrides), in display units.
double defaultStationUnit(UNITS unit);

// How stations are written: display units per whole station, and decimals.
struct StationForm {
    double unit = 1000.0;
    int decimals = kRoadStationDecimals;
};

// A posted station (metres) as "n+rest" text in the display unit (RoadStationText).
std::string postedText(double postedMetres, const cli::DisplayUnits& units, const StationForm& form);

// The station text of a point: its posted station (metres, as typed or toPosted(internal)),
// with "@K" when two regions hold that posted station (K: the region of `internal`).
std::string stationText(const RoadStationing& st, double posted, double internal, const cli::DisplayUnits& units,
                        const StationForm& form);
// The same from the internal chainage alone.
std::string stationText(const RoadStationing& st, double internal, const cli::DisplayUnits& units,
                        const StationForm& form);
// "@K" when two regions hold the posted station of `internal`, else empty.
std::string regionSuffix(const RoadStationing& st, double posted, double internal);

// A station typed by the user (RoadParseStation: a number or n+rest, optionally @K) in the
// display unit, as internal chainage (metres) and its posted station (metres). False with the
// reason for text that is no station, a station in an equation's gap, or one that two regions
// hold without @K.
bool readStation(const RoadStationing& st, const std::string& text, const cli::DisplayUnits& units,
                 const StationForm& form, double& internal, double& posted, std::string& why);

// Reads the words left after the options: at most one ROAD path. False with a usage message
// when an unknown option or a second path is left.
// --example (the bundled example road) is taken here: `path` is then kExampleRoad, which
// loadRoad resolves; an empty `path` is no road file, which loadRoad refuses.
bool readRoadPath(cli::Args& args, std::string& path, std::string& message);
// The path for --example and a given road file (empty: none); false when both are given.
bool takeRoadPath(bool example, const std::string& given, std::string& path, std::string& message);
// What readRoadPath gives for --example.
const char* const kExampleRoad = "\x01example";

// A road file (or table) given as "-" is read from stdin, named kStdinName in messages
// ("stdin:12: ...").
const char* const kStdinName = "stdin";
inline bool roadFromStdin(const std::string& path) { return path == "-"; }
// The usage message of a subcommand that would read `what` from stdin too while the road file
// comes from there; `instead` says how to give it otherwise.
std::string stdinTakenByRoad(const std::string& what, const std::string& instead);

} // namespace roadcli
