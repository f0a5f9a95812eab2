#include "roadPrologue.h"

#include "road/roadSampler.h"

#include <cmath>

namespace roadcli {

namespace {

// Reads the positional words: the road path (a word that is not a number) and the numbers
// after it.
bool readPathAndNumbers(cli::Args& args, std::string& path, std::vector<double>& numbers, std::string& message)
{
    const bool example = args.flag("--example");
    std::string option, given;
    if (!args.problem().empty())
        return message = args.problem(), false;
    if (args.firstUnknownOption(option))
        return message = args.unknownOption(option), false;
    for (const std::string& w : args.rest()) {
        double v;
        if (cli::parseDouble(w, v))
            numbers.push_back(v);
        else if (given.empty() && numbers.empty())
            given = w;
        else   // after the road file only numbers come ("unexpected 'nan'" said less)
            return message = "'" + w + "' is not a number (NORTH EAST [HEIGHT] follow the road file)", false;
    }
    return takeRoadPath(example, given, path, message);
}

// The largest --max-distance (output units): beyond some thousands of kilometres a grid's
// coordinates mean nothing, and 1e300 would print a 300-digit offset.
const double kLargestMaxDistance = 1e7;
// The largest --station-unit: 1000 m and 100 ft are the usual ones; 1e20 padded each station
// to twenty digits.
const double kLargestStationUnit = 1e6;

// A positive number (`atLeast`: not below it) up to `atMost` from an option's text.
bool readPositive(const std::string& text, double atLeast, double atMost, double& value)
{
    double v;
    if (!cli::parseDouble(text, v) || !(atLeast > 0.0 ? v >= atLeast : v > 0.0) || !(v <= atMost))
        return false;
    value = v;
    return true;
}

} // namespace

bool readRoadOptions(cli::Args& args, RoadSession& s, std::string& message, std::vector<double>* numbers)
{
    std::string stationUnit, maxDistance;
    if (s.which & kOptAlignment)
        args.option("--alignment", s.alignment);
    if (s.which & kOptProfile)
        args.option("--profile", s.profile);
    if (s.which & kOptStationUnit)
        s.stationUnitGiven = args.option("--station-unit", stationUnit);
    if (s.which & kOptMaxDistance)
        s.maxDistanceGiven = args.option("--max-distance", maxDistance);
    if (s.which & kOptExtendGrades)
        s.extendGrades = args.flag("--extend-grades");
    if (s.which & kOptCsv)
        s.csv = args.flag("--csv");
    if ((s.which & kOptUnits) && !readRoadUnits(args, s.units, s.unitsGiven, s.form.decimals, message))
        return false;
    if (s.maxDistanceGiven && !readPositive(maxDistance, 0.0, kLargestMaxDistance, s.maxDistance))
        return message = "--max-distance takes a positive number up to 10000000", false;
    // A whole number: "33+0.50" of a 1.5 m station reads as nothing a surveyor writes.
    if (s.stationUnitGiven && (!readPositive(stationUnit, 1.0, kLargestStationUnit, s.form.unit) ||
                               s.form.unit != std::floor(s.form.unit)))
        return message = "--station-unit takes a whole number from 1 to 1000000", false;
    const bool pathRead = numbers ? readPathAndNumbers(args, s.path, *numbers, message)
                                  : readRoadPath(args, s.path, message);
    if (!pathRead)
        return false;
    if (!args.problem().empty())
        return message = args.problem(), false;
    return true;
}

// Where the curvature cannot be found every offset is checked in full.
const double kInfiniteCurvature = 1e300;

namespace {

// The stations of a fold: "at S" for one station, "from S1 to S2" for a stretch.
std::string foldStations(const RoadSession& s, const RoadOffsetFold& fold, bool& point)
{
    const RoadBuild& b = s.loaded.builds.at(0);
    point = fold.to - fold.from < 1e-9;
    return point ? "at " + stationText(b.stations, fold.from, s.units, s.form)
                 : "from " + stationText(b.stations, fold.from, s.units, s.form) + " to " +
                       stationText(b.stations, fold.to, s.units, s.form);
}

} // namespace

bool offsetShortOfCentres(const RoadSession& s, const std::string& typed, double offset, double from, double to,
                          std::string& why)
{
    const RoadBuild& b = s.loaded.builds.at(0);
    if (s.largestCurvature < 0.0 && !RoadLargestCurvature(b.alnt, s.largestCurvature))
        s.largestCurvature = kInfiniteCurvature;
    RoadOffsetFold fold;
    if (std::fabs(offset) * s.largestCurvature < 1.0 || !RoadOffsetFolds(b.alnt, offset, from, to, fold))
        return true;
    bool point;
    const std::string at = foldStations(s, fold, point);
    why = "the offset '" + typed + "' reaches the centre of the curve of radius " + s.units.showLength(fold.radius) +
          " " + at + (point ? " (the point would lie past it)" : " (its line would fold back there)");
    return false;
}

bool offsetTableShortOfCentres(const RoadSession& s, const std::vector<StAndOffset>& table, std::string& why)
{
    const RoadBuild& b = s.loaded.builds.at(0);
    RoadOffsetFold fold;
    if (!RoadOffsetTableFolds(b.alnt, table, fold))
        return true;
    bool point;
    const std::string stretch = foldStations(s, fold, point);
    why = "the offset " + s.units.showLength(fold.offset) + " at " +
          stationText(b.stations, fold.from, s.units, s.form) + " reaches the centre of the curve of radius " +
          s.units.showLength(fold.radius) + " (its line would fold back " + (point ? "there" : stretch) + ")";
    return false;
}

int loadRoadSession(RoadSession& s, bool needOne)
{
    const int status = loadRoad(s.sub, s.path, s.alignment, s.profile, s.loaded, needOne);
    if (status != cli::EXIT_OK)
        return status;
    if (!s.unitsGiven)
        s.units.dist = fileDisplayUnit(s.loaded.file);
    if (!s.stationUnitGiven)
        s.form.unit = defaultStationUnit(s.units.dist);
    // --max-distance is in the output unit: 1000 of it unless given.
    s.maxDistance = s.units.toMetres(s.maxDistanceGiven ? s.maxDistance : 1000.0);
    return cli::EXIT_OK;
}

} // namespace roadcli
