// fieldcore area: measures a polygon (area, perimeter, orientation, self-crossing) and divides
// areas with a hinge line or a line parallel to the base, through C2dPtListUt (cogo/pointList.h).
#include "hostFiles.h"
#include "cli.h"
#include "displayUnits.h"

#include "cogo/pointList.h"
#include "numeric/units.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <utility>

namespace {

const char* const kCommand = "area";

const char* kHelp =
    "usage: fieldcore area [FILE] [--units m|usft|ift] [--decimals N]\n"
    "       fieldcore area [FILE] --divide-hinge AZ --area A [--angles deg|dms|grd] ...\n"
    "       fieldcore area [FILE] --divide-parallel AZ1 AZ2 [--direction AZ3] --area A ...\n"
    "\n"
    "Reads a polygon from FILE (or stdin when FILE is left out or is -): one point per line,\n"
    "\"north east\", the two values separated by blanks, a comma, a semicolon or a tab.\n"
    "Blank lines and anything from # to the end of a line are skipped. Points are numbered\n"
    "1, 2, ... in the order read; side k runs from point k to point k + 1, and side n (the\n"
    "closing side) from the last point n back to point 1.\n"
    "\n"
    "Without a division, prints (at least 3 points):\n"
    "  points N\n"
    "  area A               enclosed area, square units\n"
    "  perimeter P          all sides including the closing side\n"
    "  orientation O        clockwise or counter-clockwise on a north-up map (none: no area)\n"
    "  self_crossing no     or: self_crossing sides I J, the first two sides that cross\n"
    "An area of a polygon that crosses itself is the sum of its lobes with their signs.\n"
    "\n"
    "Divisions (at least 2 points). The points are a fixed boundary from the first point P to\n"
    "the last point L; A is the area the closed figure must have, in square units.\n"
    "  --divide-hinge AZ    closes the boundary with one new point X on the line from P with\n"
    "                       azimuth AZ: the figure P ... L, X. Prints: new_point N E.\n"
    "  --divide-parallel AZ1 AZ2\n"
    "                       closes it with two new points on the sides from P (azimuth AZ1)\n"
    "                       and from L (azimuth AZ2), joined by a line parallel to L-P: the\n"
    "                       figure P ... L, Q, R. Prints: new_point_last_side (Q) and\n"
    "                       new_point_first_side (R). The strip is added outside the side\n"
    "                       L-P, so both sides must point away from the figure and A must\n"
    "                       exceed the area the points already enclose. Either orientation of\n"
    "                       the list works (a clockwise list is solved in reverse order).\n"
    "  --direction AZ3      with --divide-parallel: the dividing line runs along AZ3 instead\n"
    "                       of parallel to L-P.\n"
    "Each division also prints 'area A' of the closed figure, as a check.\n"
    "\n"
    "Units:\n"
    "  --units m|usft|ift    coordinates and distances in metres (default), US survey feet\n"
    "                        (1200/3937 m) or international feet (0.3048 m); areas in square\n"
    "                        units of the same. Coordinates printed in feet are rounded to\n"
    "                        five decimals as the field display does.\n"
    "  --angles deg|dms|grd  azimuths (clockwise from grid north) in decimal degrees\n"
    "                        (default), packed degrees-minutes-seconds (12.3045 is 12 deg 30\n"
    "                        min 45 s) or grads (400 to the circle).\n"
    "  --decimals N          decimals printed, 4 to 12 (default 4).\n"
    "\n"
    "Examples:\n"
    "  printf '0 0\\n0 10\\n10 10\\n10 0\\n' | fieldcore area\n"
    "      points 4 / area 100.0000 / perimeter 40.0000 / orientation counter-clockwise /\n"
    "      self_crossing no\n"
    "  printf '0,0\\n0,10\\n10,10\\n' | fieldcore area --divide-hinge 0 --area 75\n"
    "      new_point 5.0000 0.0000 / area 75.0000\n"
    "  printf '0 0\\n0 10\\n10 10\\n10 0\\n' | fieldcore area --divide-parallel 270 270 --area 150\n"
    "      new_point_last_side 10.0000 -5.0000 / new_point_first_side 0.0000 -5.0000 / area 150.0000\n"
    "\n"
    "Errors: a line that is not two numbers is reported on stderr with its line number (all\n"
    "such lines are reported, and nothing is computed); too few points; an unreadable file;\n"
    "a missing, repeated or unknown option. A division with no solution (a line parallel to\n"
    "the one it must meet, an area out of reach, or a figure that would cross itself) is\n"
    "reported on stderr.\n"
    "\n"
    "Exit status: 0 answered; 1 the division has no solution; 2 bad input or usage.\n";

struct Units : cli::DisplayUnits {
    std::string showPoint(const C2dPos& p) const { return showLength(p.north) + ' ' + showLength(p.east); }
};

enum class Division { None, Hinge, Parallel };

struct Request {
    Division division = Division::None;
    double az1 = 0.0, az2 = 0.0, az3 = 0.0;  // degrees
    bool haveDirection = false;
    double area = 0.0;                        // square metres
    std::string file = "-";
    std::vector<std::string> azTexts;         // the azimuths as given, checked once --angles is read
};

bool readNumber(const std::string& option, const std::string& text, double& value, std::string& message)
{
    if (cli::parseDouble(text, value))
        return true;
    message = option + ": '" + text + "' is not a number";
    return false;
}

// Takes "--divide-parallel AZ1 AZ2" out of the words (Args reads one value per option).
// The azimuths stay in the user's unit here.
bool takeParallel(std::vector<std::string>& words, Request& req, std::string& message)
{
    for (size_t i = 0; i < words.size(); ++i) {
        if (words[i] != "--divide-parallel")
            continue;
        if (req.division != Division::None)
            return message = "give only one division", false;
        if (i + 2 >= words.size())
            return message = "--divide-parallel needs two azimuths", false;
        if (!readNumber("--divide-parallel", words[i + 1], req.az1, message) ||
            !readNumber("--divide-parallel", words[i + 2], req.az2, message))
            return false;
        req.azTexts.push_back(words[i + 1]);
        req.azTexts.push_back(words[i + 2]);
        req.division = Division::Parallel;
        words.erase(words.begin() + static_cast<long>(i), words.begin() + static_cast<long>(i) + 3);
        --i;
    }
    return true;
}

// Reads one optional value option; a repeated option is an error.
bool readOptional(cli::Args& args, const std::string& option, bool& given, double& value, std::string& message,
                  std::vector<std::string>* texts = nullptr)
{
    std::string text;
    given = false;
    while (args.option(option, text)) {
        if (given)
            return message = "give " + option + " only once", false;
        if (!readNumber(option, text, value, message))
            return false;
        if (texts)
            texts->push_back(text);
        given = true;
    }
    return true;
}

// Reads the options into units and req, converted to degrees and square metres.
bool readRequest(std::vector<std::string> words, Units& units, Request& req, std::string& message)
{
    if (!takeParallel(words, req, message))
        return false;
    cli::Args args(words);
    bool haveHinge = false, haveArea = false;
    double hingeAz = 0.0;
    if (!cli::readDisplayUnits(args, units, message) ||
        !readOptional(args, "--divide-hinge", haveHinge, hingeAz, message, &req.azTexts) ||
        !readOptional(args, "--direction", req.haveDirection, req.az3, message, &req.azTexts) ||
        !readOptional(args, "--area", haveArea, req.area, message))
        return false;
    std::string word;
    if (!args.problem().empty())
        return message = args.problem(), false;
    if (args.firstUnknownOption(word))
        return message = args.unknownOption(word), false;
    if (args.rest().size() > 1)
        return message = "unexpected argument '" + args.rest()[1] + "' (one FILE at most)", false;
    if (!args.rest().empty())
        req.file = args.rest().front();
    if (haveHinge) {
        if (req.division != Division::None)
            return message = "give only one division", false;
        req.division = Division::Hinge;
        req.az1 = hingeAz;
    }
    if (req.haveDirection && req.division != Division::Parallel)
        return message = "--direction goes with --divide-parallel", false;
    if (haveArea != (req.division != Division::None))
        return message = haveArea ? "--area goes with --divide-hinge or --divide-parallel"
                                  : "a division needs --area", false;
    if (haveArea && !(req.area > 0.0))
        return message = "--area must be positive", false;
    std::string why;
    for (const std::string& t : req.azTexts)   // 135.6030 dms was taken as 136 deg 0 min 30 s
        if (!cli::checkPackedText(t, units.angle == ANGLES_DMS, false, why))
            return message = "azimuth " + why, false;
    req.az1 = units.toDegrees(req.az1);
    req.az2 = units.toDegrees(req.az2);
    req.az3 = units.toDegrees(req.az3);
    req.area = units.toSquareMetres(req.area);
    if (haveArea && !(req.area <= kMaxSurveyLength * kMaxSurveyLength))
        return message = "--area is out of range (areas beyond 1e18 square metres are refused)", false;
    return true;
}

// One data line: blank or comment (false, nothing to add), or two numbers. `bad` receives the
// message for a line that is neither.
bool parsePoint(const std::string& line, const Units& units, C2dPos& p, std::string& bad)
{
    const std::vector<std::string> fields = cli::splitFields(line.substr(0, line.find('#')));
    if (fields.empty())
        return false;
    if (fields.size() != 2) {
        bad = "expected two values (north east), found " + std::to_string(fields.size());
        return false;
    }
    double value[2];
    for (int k = 0; k < 2; ++k) {
        if (!cli::parseDouble(fields[k], value[k])) {
            bad = "'" + fields[k] + "' is not a number";
            return false;
        }
    }
    p = C2dPos{units.toMetres(value[0]), units.toMetres(value[1])};
    for (int k = 0; k < 2; ++k) {
        if (!IsSurveyLength(k ? p.east : p.north)) {
            bad = "'" + fields[k] + "' is out of range (coordinates beyond 1e9 m are refused)";
            return false;
        }
    }
    return true;
}

// Reads every point; all bad lines are reported. False when any line was bad.
bool readPoints(std::istream& in, const Units& units, std::vector<C2dPos>& pts)
{
    std::string line, bad;
    long lineNo = 0;
    bool ok = true;
    while (std::getline(in, line)) {
        ++lineNo;
        C2dPos p;
        bad.clear();
        if (parsePoint(line, units, p, bad))
            pts.push_back(p);
        else if (!bad.empty()) {
            cli::errorAtLine(kCommand, lineNo, bad);
            ok = false;
        }
    }
    return ok;
}

void print(const char* name, const std::string& value) { std::cout << name << ' ' << value << '\n'; }

int measure(const std::vector<C2dPos>& pts, const Units& units)
{
    const C2dPtVector list(pts);
    const C2dPtListUt ut(list);
    const double signedArea = ut.getSignedArea();
    print("points", std::to_string(pts.size()));
    print("area", units.showArea(ut.getArea()));
    print("perimeter", units.showLength(ut.getPerimeter()));
    print("orientation", signedArea < 0.0 ? "clockwise" : signedArea > 0.0 ? "counter-clockwise" : "none");
    int i, j;
    if (ut.get1stSelfXsection(i, j, 0, true))
        print("self_crossing", "sides " + std::to_string(i + 1) + ' ' + std::to_string(j + 1));
    else
        print("self_crossing", "no");
    return cli::EXIT_OK;
}

void printCheck(std::vector<C2dPos> closed, const Units& units)
{
    print("area", units.showArea(C2dPtListUt(C2dPtVector(std::move(closed))).getArea()));
}

int divideHinge(const std::vector<C2dPos>& pts, const Request& req, const Units& units)
{
    C2dPos x;
    if (!C2dPtListUt(C2dPtVector(pts)).getAreaHingelLineSolution(CMathAngle(req.az1), req.area, x)) {
        cli::error(kCommand, "no solution: no point on the hinge line from point 1 closes the figure "
                             "with that area (the line runs parallel to the line it must meet, or "
                             "the figure would cross itself)");
        return cli::EXIT_NO_ANSWER;
    }
    if (!IsSurveyLength(x.north) || !IsSurveyLength(x.east)) {
        cli::error(kCommand, "no solution: the new point would lie beyond 1e9 m");
        return cli::EXIT_NO_ANSWER;
    }
    print("new_point", units.showPoint(x));
    std::vector<C2dPos> closed = pts;
    closed.push_back(x);
    printCheck(closed, units);
    return cli::EXIT_OK;
}

int divideParallel(std::vector<C2dPos> pts, const Request& req, const Units& units)
{
    // The solver adds its strip to the signed area: it wants the list counter-clockwise. A
    // clockwise list is solved in reverse order, its two sides exchanged; the figure is the same.
    CMathAngle dirFirst(req.az1), dirLast(req.az2);
    const bool reversed = C2dPtListUt(C2dPtVector(pts)).getSignedArea() < 0.0;
    if (reversed) {
        std::reverse(pts.begin(), pts.end());
        std::swap(dirFirst, dirLast);
    }
    const C2dPtVector list(pts);
    const C2dPtListUt ut(list);
    C2dPos onFirst, onLast;
    const bool ok = req.haveDirection
                        ? ut.getAreaParallelLineSolution(dirFirst, dirLast, CMathAngle(req.az3), req.area,
                                                         onFirst, onLast)
                        : ut.getAreaParallelLineSolution(dirFirst, dirLast, req.area, onFirst, onLast);
    if (!ok) {
        cli::error(kCommand, "no solution: no strip between the two sides adds the area needed "
                             "(sides parallel to the base or to opposite sides of it, an area not "
                             "above the enclosed one or out of reach, or a figure that would cross "
                             "itself)");
        return cli::EXIT_NO_ANSWER;
    }
    if (reversed) {
        std::reverse(pts.begin(), pts.end());
        std::swap(onFirst, onLast);
    }
    for (const C2dPos& p : {onFirst, onLast}) {
        if (!IsSurveyLength(p.north) || !IsSurveyLength(p.east)) {
            cli::error(kCommand, "no solution: the new points would lie beyond 1e9 m");
            return cli::EXIT_NO_ANSWER;
        }
    }
    print("new_point_last_side", units.showPoint(onLast));
    print("new_point_first_side", units.showPoint(onFirst));
    pts.push_back(onLast);
    pts.push_back(onFirst);
    printCheck(pts, units);
    return cli::EXIT_OK;
}

int runArea(const std::vector<std::string>& words)
{
    {
        cli::Args help(words);
        if (help.flag("--help")) {
            std::cout << kHelp;
            return cli::EXIT_OK;
        }
    }
    Units units;
    Request req;
    std::string message;
    if (!readRequest(words, units, req, message))
        return cli::usageError(kCommand, message);

    std::vector<C2dPos> pts;
    bool ok;
    if (req.file == "-") {
        ok = readPoints(std::cin, units, pts);
    } else {
        const std::string why = cli::whyUnreadable(req.file);
        std::ifstream in(req.file);
        if (!why.empty() || !in) {
            cli::error(kCommand, cli::cannotRead(req.file, why.empty() ? "a read error" : why));
            return cli::EXIT_BAD_INPUT;
        }
        ok = readPoints(in, units, pts);
    }
    if (!ok)
        return cli::EXIT_BAD_INPUT;

    const size_t needed = req.division == Division::None ? 3 : 2;
    if (pts.size() < needed) {
        cli::error(kCommand, (req.division == Division::None ? "area and perimeter need at least 3 points"
                                                             : "a division needs at least 2 points") +
                                 std::string(", found ") + std::to_string(pts.size()));
        return cli::EXIT_BAD_INPUT;
    }
    switch (req.division) {
    case Division::Hinge: return divideHinge(pts, req, units);
    case Division::Parallel: return divideParallel(pts, req, units);
    default: return measure(pts, units);
    }
}

const bool registered = cli::registerCommand(kCommand, "polygon area, perimeter and area division", &runArea);

} // namespace
