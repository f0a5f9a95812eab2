#include "roadPrologue.h"

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
        return message = "unknown option '" + option + "'", false;
    for (const std::string& w : args.rest()) {
        double v;
        if (cli::parseDouble(w, v))
            numbers.push_back(v);
        else if (given.empty() && numbers.empty())
            given = w;
        else
            return message = "unexpected '" + w + "'", false;
    }
    return takeRoadPath(example, given, path, message);
}

// A positive number (`atLeast`: not below it) from an option's text.
bool readPositive(const std::string& text, double atLeast, double& value)
{
    double v;
    if (!cli::parseDouble(text, v) || !(atLeast > 0.0 ? v >= atLeast : v > 0.0))
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
    if (s.maxDistanceGiven && !readPositive(maxDistance, 0.0, s.maxDistance))
        return message = "--max-distance takes a positive number", false;
    if (s.stationUnitGiven && !readPositive(stationUnit, 1.0, s.form.unit))
        return message = "--station-unit takes a number of at least 1", false;
    const bool pathRead = numbers ? readPathAndNumbers(args, s.path, *numbers, message)
                                  : readRoadPath(args, s.path, message);
    if (!pathRead)
        return false;
    if (!args.problem().empty())
        return message = args.problem(), false;
    return true;
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
