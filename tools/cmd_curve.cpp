// fieldcore curve: the surveyor's curve calculator. From the size of a circular curve (radius
// or degree of curve) and any one measure of its extent, prints every other measure, through
// the library's curve formulas (cogo/curveFormulas.h) and display conversions.
#include "cli.h"
#include "displayUnits.h"

#include "cogo/curveFormulas.h"
#include "numeric/units.h"

#include <cmath>
#include <iostream>

namespace {

const char* const kCommand = "curve";

// Central angles from here on (degrees) count as half a circle: tangent and external are
// infinite there (the library's own half-circle guard is 1e-5 degrees).
const double kHalfCircle = 180.0 - 1e-5;

const char* kHelp =
    "usage: fieldcore curve SIZE EXTENT [--units m|usft|ift] [--angles deg|dms|grd] [--decimals N]\n"
    "\n"
    "Circular-curve and spiral calculator. Give the size of the curve and one measure of its\n"
    "extent; every other measure is printed, one 'name value' line each.\n"
    "\n"
    "SIZE, exactly one of:\n"
    "  --radius R          radius\n"
    "  --degree-arc D      degree of curve, arc definition: the central angle of a 100 m arc\n"
    "  --degree-chord D    degree of curve, chord definition: the central angle of a 100 m chord\n"
    "EXTENT, exactly one of:\n"
    "  --delta A           central angle\n"
    "  --length L          arc length\n"
    "  --chord C           long chord\n"
    "  --tangent T         tangent length (intersection point to tangent point)\n"
    "  --middle-ordinate M middle ordinate (chord midpoint to arc midpoint)\n"
    "  --external E        external distance (intersection point to arc midpoint)\n"
    "  --spiral-length L   length of a clothoid running from a straight into the radius\n"
    "  --spiral-constant A its spiral constant (A^2 = spiral length x radius)\n"
    "\n"
    "Units:\n"
    "  --units m|usft|ift    distances in metres (default), US survey feet (1200/3937 m) or\n"
    "                        international feet (0.3048 m); output in the same unit, feet\n"
    "                        rounded to five decimals as the field display does.\n"
    "  --angles deg|dms|grd  angles (delta, degree of curve, deflection) in decimal degrees\n"
    "                        (default), packed degrees-minutes-seconds (12.3045 is 12 deg\n"
    "                        30 min 45 s) or grads (400 to the circle).\n"
    "  --decimals N          decimals printed, 4 to 12 (default 4; for dms, 4 is whole seconds\n"
    "                        and 5 tenths of a second).\n"
    "\n"
    "The degree of curve refers to 100 units of arc or chord in the unit of --units: 100 m,\n"
    "100 US survey feet (usft) or 100 feet (ift), as surveyors in each unit use it (in feet:\n"
    "radius 5729.578 / D feet). The output line degree_base names it.\n"
    "\n"
    "Output lines (circular curve): radius, degree_arc, degree_chord (left out for a radius\n"
    "below 50 units, where no 100-unit chord fits), degree_base, delta, length, chord,\n"
    "tangent, middle_ordinate, external. With a spiral: radius, degree_arc, degree_chord,\n"
    "degree_base, spiral_length,\n"
    "spiral_constant, deflection (the spiral angle: the change of direction along the spiral,\n"
    "spiral length / 2 radius).\n"
    "\n"
    "Examples:\n"
    "  fieldcore curve --radius 300 --delta 25.5\n"
    "      radius 300.0000 ... length 133.5177  chord 132.4185  tangent 67.8831\n"
    "      middle_ordinate 7.3973  external 7.5843\n"
    "  fieldcore curve --degree-arc 2 --tangent 150\n"
    "  fieldcore curve --radius 300 --spiral-length 80     (spiral_constant 154.9193)\n"
    "  fieldcore curve --units usft --angles dms --radius 1000 --delta 30.1530\n"
    "\n"
    "Errors: a missing, repeated or unknown option, a value that is not a number, and a\n"
    "curve that cannot exist (a zero or negative radius or extent, a degree of chord above\n"
    "180, a chord longer than the diameter, a middle ordinate of the radius or more, or a\n"
    "curve of half a circle or more, where tangent and external are undefined) are reported\n"
    "on stderr.\n"
    "\n"
    "Exit status: 0 answered; 2 bad input or usage.\n";

// One input option: its name and what it measures.
enum class Kind { Distance, Angle };
struct Input {
    const char* option;
    Kind kind;
    int display;  // AlntElementRadiusDisplay or AlntElementLengthDisplay; 0 for the spiral length
};

const Input kSizes[] = {
    {"--radius", Kind::Distance, RadiusDisplayRadius},
    {"--degree-arc", Kind::Angle, RadiusDisplayDegCurve},
    {"--degree-chord", Kind::Angle, RadiusDisplayDegChord},
};
const int kSpiralLength = 0;
const Input kExtents[] = {
    {"--delta", Kind::Angle, LengthDisplayDelta},
    {"--length", Kind::Distance, LengthDisplayLength},
    {"--chord", Kind::Distance, LengthDisplayChord},
    {"--tangent", Kind::Distance, LengthDisplayTangent},
    {"--middle-ordinate", Kind::Distance, LengthDisplayMidOrd},
    {"--external", Kind::Distance, LengthDisplayExternal},
    {"--spiral-length", Kind::Distance, kSpiralLength},
    {"--spiral-constant", Kind::Distance, LengthDisplaySpiralConst},
};

struct Units : cli::DisplayUnits {
    double toInternal(double v, Kind k) const { return k == Kind::Distance ? toMetres(v) : toDegrees(v); }
    std::string show(double internal, Kind k) const
    {
        return k == Kind::Distance ? showLength(internal) : showAngle(internal);
    }
};

// Takes the options of `table` out of args: at most one may be given. `chosen` stays null when
// none is.
template <size_t N>
bool readOne(cli::Args& args, const Input (&table)[N], const char* what, const Units& units,
             const Input*& chosen, double& value, std::string& message)
{
    chosen = nullptr;
    for (const Input& in : table) {
        std::string text;
        while (args.option(in.option, text)) {
            if (chosen)
                return message = std::string("give only one ") + what, false;
            double v;
            if (!cli::parseDouble(text, v))
                return message = std::string(in.option) + ": '" + text + "' is not a number", false;
            std::string why;
            if (in.kind == Kind::Angle && !cli::checkPackedText(text, units.angle == ANGLES_DMS, false, why))
                return message = std::string(in.option) + ": " + why, false;
            chosen = &in;
            value = units.toInternal(v, in.kind);
            if (in.kind == Kind::Distance && !IsSurveyLength(value))
                return message = std::string(in.option) + ": '" + text + "' is out of range (lengths beyond 1e9 m are refused)", false;
        }
    }
    return true;
}

// The radius in metres from the size given; false with a message when none can be formed. A
// degree of curve refers to 100 display units: the conversions are unit-free, so they are fed
// the display unit and their radius converted to metres.
bool radiusFromSize(const Input& size, double value, const Units& units, double& radius, std::string& message)
{
    if (!(value > 0.0))
        return message = std::string(size.option + 2) + " must be positive", false;
    if (size.display == RadiusDisplayDegChord && value > 180.0)
        return message = "a degree of chord above 180 does not describe a curve (at 180 the 100-unit chord is a diameter)", false;
    radius = size.display == RadiusDisplayRadius ? value : units.toMetres(getRadiusValueFromDisplay(value, size.display));
    // Below smallNumTolerance the curve formulas answer 0 (a delta of 10 was printed as 0).
    if (size.display == RadiusDisplayRadius && radius < smallNumTolerance)
        return message = "a radius below 1e-5 m has no curve", false;
    if (!(radius >= smallNumTolerance) || !IsSurveyLength(radius))
        return message = "this degree of curve gives no usable radius", false;
    return true;
}

// The central angle in degrees from the extent given; false with a message when the curve
// cannot exist or reaches half a circle.
bool deltaFromExtent(const Input& extent, double value, double radius, const Units& units,
                     double& delta, std::string& message)
{
    if (!(value > 0.0))
        return message = std::string(extent.option + 2) + " must be positive", false;
    const std::string diameter = units.show(2.0 * radius, Kind::Distance);
    if (extent.display == LengthDisplayChord && value >= 2.0 * radius)
        return message = "a chord of " + units.show(value, Kind::Distance) +
                         (value > 2.0 * radius ? " is longer than" : " equals") + " the diameter " + diameter, false;
    if (extent.display == LengthDisplayMidOrd && value >= radius)
        return message = "a middle ordinate of " + units.show(value, Kind::Distance) +
                         " is not less than the radius " + units.show(radius, Kind::Distance) +
                         ": the curve would be half a circle or more", false;
    const double length = getLengthValueFromDisplay(value, radius, extent.display);
    delta = GetDeltaFromLength(length, radius);
    if (!(delta < kHalfCircle))
        return message = "the curve would reach half a circle or more (delta " + units.show(delta, Kind::Angle) +
                         "), where tangent and external are undefined", false;
    return true;
}

void print(const char* name, const std::string& value) { std::cout << name << ' ' << value << '\n'; }

void printSize(double radius, const Units& u)
{
    // The degrees per 100 display units: the radius in the display unit into the unit-free rule.
    const double r = u.dist == UNITS_M ? radius : FromMetersEx(radius, u.dist);
    print("radius", u.show(radius, Kind::Distance));
    print("degree_arc", u.show(GetDegOfCurveFromRadius(r), Kind::Angle));
    if (r >= 50.0)
        print("degree_chord", u.show(GetDegOfChordFromRadius(r), Kind::Angle));
    print("degree_base", u.dist == UNITS_USFT ? "100 usft" : u.dist == UNITS_IFT ? "100 ift" : "100 m");
}

// A spiral of the given length or constant on a curve of `radius`.
int printSpiral(const Input& extent, double extentValue, double radius, const Units& units)
{
    if (!(extentValue > 0.0)) {
        cli::error(kCommand, std::string(extent.option + 2) + " must be positive");
        return cli::EXIT_BAD_INPUT;
    }
    const double length = extent.display == kSpiralLength
                              ? extentValue
                              : getLengthValueFromDisplay(extentValue, radius, LengthDisplaySpiralConst);
    printSize(radius, units);
    print("spiral_length", units.show(length, Kind::Distance));
    print("spiral_constant", units.show(GetSpiralConstant(length, radius), Kind::Distance));
    // The spiral angle: half the central angle of a circular arc of the same length.
    print("deflection", units.show(GetDeltaFromLength(length, radius) / 2.0, Kind::Angle));
    return cli::EXIT_OK;
}

// A circular arc of `radius` with the given extent.
int printArc(const Input& extent, double extentValue, double radius, const Units& units)
{
    double delta = 0.0;
    std::string message;
    if (!deltaFromExtent(extent, extentValue, radius, units, delta, message)) {
        cli::error(kCommand, message);
        return cli::EXIT_BAD_INPUT;
    }
    const double length = GetLengthFromDelta(delta, radius);
    printSize(radius, units);
    print("delta", units.show(delta, Kind::Angle));
    print("length", units.show(length, Kind::Distance));
    print("chord", units.show(getDisplayValueFromLength(length, radius, LengthDisplayChord), Kind::Distance));
    print("tangent", units.show(getDisplayValueFromLength(length, radius, LengthDisplayTangent), Kind::Distance));
    print("middle_ordinate", units.show(getDisplayValueFromLength(length, radius, LengthDisplayMidOrd), Kind::Distance));
    print("external", units.show(getDisplayValueFromLength(length, radius, LengthDisplayExternal), Kind::Distance));
    return cli::EXIT_OK;
}

int runCurve(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (args.flag("--help")) {
        std::cout << kHelp;
        return cli::EXIT_OK;
    }
    Units units;
    std::string message, word;
    const Input* size = nullptr;
    const Input* extent = nullptr;
    double sizeValue = 0.0, extentValue = 0.0;
    const char* sizeNames = "size (--radius, --degree-arc or --degree-chord)";
    const char* extentNames = "extent (--delta, --length, --chord, --tangent, --middle-ordinate, --external, "
                              "--spiral-length or --spiral-constant)";
    if (!cli::readDisplayUnits(args, units, message) || !readOne(args, kSizes, sizeNames, units, size, sizeValue, message) ||
        !readOne(args, kExtents, extentNames, units, extent, extentValue, message))
        return cli::usageError(kCommand, message);
    if (!args.problem().empty())
        return cli::usageError(kCommand, args.problem());
    if (args.firstUnknownOption(word))
        return cli::usageError(kCommand, args.unknownOption(word));
    if (!args.rest().empty())
        return cli::usageError(kCommand, "unexpected argument '" + args.rest().front() + "'");
    if (!size)
        return cli::usageError(kCommand, std::string("missing the ") + sizeNames);
    if (!extent)
        return cli::usageError(kCommand, std::string("missing the ") + extentNames);

    double radius = 0.0;
    if (!radiusFromSize(*size, sizeValue, units, radius, message)) {
        cli::error(kCommand, message);
        return cli::EXIT_BAD_INPUT;
    }
    if (extent->display == kSpiralLength || extent->display == LengthDisplaySpiralConst)
        return printSpiral(*extent, extentValue, radius, units);
    return printArc(*extent, extentValue, radius, units);
}

const bool registered = cli::registerCommand(kCommand, "circular curve and spiral calculator", &runCurve);

} // namespace
