// The prologue every `fieldcore road` subcommand runs: the options they share, the road file
// and its alignment, the units resolved against the file.
//
//     roadcli::RoadSession s("stakeout", roadcli::kOptAlignment | roadcli::kOptUnits | ...);
//     ... the subcommand's own options (args.option) ...
//     if (!roadcli::readRoadOptions(args, s, message)) return cli::usageError(s.command, message);
//     ... the subcommand's own checks ...
//     const int status = roadcli::loadRoadSession(s, true);
//
// A subcommand names the shared options it takes; the others stay unknown options to it.
#pragma once

#include "roadCommands.h"

#include "vrkmath/mathAlntOffset.h"

#include <string>
#include <vector>

namespace roadcli {

// The shared options; a subcommand takes those its mask names.
enum RoadOption : unsigned {
    kOptAlignment = 1u,     // --alignment A (a name in any case, or the number road info shows)
    kOptProfile = 2u,       // --profile NAME
    kOptUnits = 4u,         // --units, --angles, --decimals
    kOptStationUnit = 8u,   // --station-unit N (display units per whole station, 1 to 1e6, whole)
    kOptMaxDistance = 16u,  // --max-distance D (positive up to 1e7, in the output unit)
    kOptExtendGrades = 32u, // --extend-grades
    kOptCsv = 64u,          // --csv
};

// What the prologue reads and loads for one subcommand.
struct RoadSession {
    RoadSession(const char* subcommand, unsigned options)
        : sub(subcommand), command(std::string("road ") + subcommand), which(options) {}

    std::string sub;       // "stakeout"
    std::string command;   // "road stakeout", for messages
    unsigned which;        // the RoadOption bits this subcommand takes

    std::string path;      // the road file (kExampleRoad for --example; empty: none)
    std::string alignment, profile;
    cli::DisplayUnits units;            // dist: --units, else the file's unit once loaded
    StationForm form;                   // --station-unit, else 1000 m or 100 ft once loaded
    double maxDistance = 1000.0;        // metres once loaded (--max-distance in the output unit)
    bool extendGrades = false;
    bool csv = false;
    bool unitsGiven = false, stationUnitGiven = false, maxDistanceGiven = false;

    LoadedRoad loaded;                  // after loadRoadSession
    // The alignment's largest curvature (1/metres) once offsetShortOfCentres needed it, so that
    // each line of a long stake-out does not find it again; negative until then.
    mutable double largestCurvature = -1.0;
};

// Reads the shared options `s.which` names and the road path: the positional words are one
// ROAD path, or with `numbers` a path followed by numbers (the numbers are collected). False
// with a usage message for a bad value, an unknown option, a repeated one or a stray word.
bool readRoadOptions(cli::Args& args, RoadSession& s, std::string& message, std::vector<double>* numbers = nullptr);

// Loads the road file and its alignments (roadcli::loadRoad; `needOne`: the subcommand answers
// on one alignment) and resolves what depends on the file: the display unit, the station unit
// and --max-distance in metres. Returns cli::EXIT_OK or cli::EXIT_BAD_INPUT (reported).
int loadRoadSession(RoadSession& s, bool needOne);

// Whether a constant offset (metres; `typed` as the user wrote it) stays short of the centre
// of every curve on its side between the internal chainages `from` and `to` of the session's
// alignment: false with the reason, naming the radius and the stations. An offset past a
// curve's centre folds its line back (a ring of radius 20 at offset 25 drew a star of ticks).
bool offsetShortOfCentres(const RoadSession& s, const std::string& typed, double offset, double from, double to,
                          std::string& why);

// The same for an offset table (stations as internal chainage, increasing; offsets in metres)
// between its first and last stations: false with the reason, naming the offset and the station
// where it first reaches a centre, the radius and the stretch. A table rising to 700 m inside a
// 600 m arc sampled a line that flipped across the centre and back.
bool offsetTableShortOfCentres(const RoadSession& s, const std::vector<StAndOffset>& table, std::string& why);

} // namespace roadcli
