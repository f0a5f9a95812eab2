// The road file as read: alignments with their plan geometry, station equations and profiles,
// exactly as the file states them, before the alignment engine is involved.
//
// Units: every number of the model is in the file's own units (RoadUnits) as written in the
// file, so that writing the model back reproduces the file's values bit for bit. Metres come
// only from RoadUnits::toMetres. Points are north, east (and height) in the file's linear unit;
// stations are the file's stations. Infinite radii are held as +infinity.
//
// The model knows the source line of everything it holds, for messages.
#pragma once

#include <limits>
#include <string>
#include <vector>

// Linear units a road file may declare.
enum class RoadLinearUnit { Metre, Millimetre, Centimetre, Kilometre, USSurveyFoot, InternationalFoot };
// Angular and direction units a road file may declare (the engine reads no angles from the
// file; they are kept so that the file can be written back as it was declared).
enum class RoadAngularUnit { Radians, Grads, DecimalDegrees, DecimalDms };

struct RoadUnits {
    bool metric = true;                                   // <Metric> or <Imperial>
    RoadLinearUnit linear = RoadLinearUnit::Metre;
    RoadAngularUnit angular = RoadAngularUnit::Radians;   // radians unless declared
    RoadAngularUnit direction = RoadAngularUnit::Radians;

    // Metres per file unit: 1200/3937 for the US survey foot, 0.3048 for the foot.
    double metresPerUnit() const;
    double toMetres(double value) const { return value * metresPerUnit(); }
};

// The names a file uses for the units ("meter", "USSurveyFoot", "decimal degrees", ...).
const char* RoadLinearUnitName(RoadLinearUnit unit);
const char* RoadAngularUnitName(RoadAngularUnit unit);

// A point of the file: north, east and optionally a height, in the file's linear unit.
struct RoadPoint {
    bool valid = false;
    double north = 0.0;
    double east = 0.0;
    bool hasHeight = false;
    double height = 0.0;
};

enum class RoadGeomKind { Line, Curve, Spiral };
const char* RoadGeomKindName(RoadGeomKind kind);   // "Line", "Curve", "Spiral"

// Turning side of a curve or spiral: clockwise (right) or counter-clockwise (left).
enum class RoadRot { None, Cw, Ccw };

const double kRoadUnset = std::numeric_limits<double>::quiet_NaN();
const double kRoadInfinite = std::numeric_limits<double>::infinity();

// One element of a <CoordGeom>. Attributes not given are NaN.
struct RoadGeomElement {
    RoadGeomKind kind = RoadGeomKind::Line;
    long line = 0;                  // source line of the element's start tag
    std::string name;
    RoadPoint start, end, center, pi;
    double length = kRoadUnset;     // file units
    double radius = kRoadUnset;     // Curve
    double radiusStart = kRoadUnset;  // Spiral; +infinity for a tangent end
    double radiusEnd = kRoadUnset;
    RoadRot rot = RoadRot::None;
    std::string spiType;            // Spiral: empty or "clothoid"
};

// A station equation: from the internal station staInternal on, the posted stations run on
// from staAhead instead of staBack. staInternal may be NaN in the file: it then follows from
// staBack and the equations before it.
struct RoadStaEquation {
    long line = 0;
    double staBack = kRoadUnset;
    double staAhead = kRoadUnset;
    double staInternal = kRoadUnset;
    std::string desc;
};

enum class RoadVipKind { Pvi, ParaCurve, CircCurve, UnsymParaCurve };
const char* RoadVipKindName(RoadVipKind kind);   // "PVI", "ParaCurve", ...

// A vertical intersection point of a profile; its station is an internal station (the
// alignment's continuous stationing), file units.
struct RoadVip {
    RoadVipKind kind = RoadVipKind::Pvi;
    long line = 0;
    double station = 0.0;
    double elevation = 0.0;
    double length = kRoadUnset;     // ParaCurve; CircCurve (redundant, kept for writing)
    double radius = kRoadUnset;     // CircCurve, sign as written
    double lengthIn = kRoadUnset;   // UnsymParaCurve
    double lengthOut = kRoadUnset;
};

// A design profile (<ProfAlign>) with the name of its <Profile> parent.
// A problem with a road file: where and what.
struct RoadError {
    std::string file;
    long line = 0;           // 0: no particular line
    std::string message;
    // "FILE:LINE: MESSAGE" ("FILE: MESSAGE" without a line).
    std::string text() const;
};

struct RoadProfile {
    long line = 0;
    std::string name;
    std::string profileName;
    std::vector<RoadVip> vips;
    // Set when the reader could not take the profile: it is refused alone (its alignment and
    // the other profiles still answer; building with it fails with `refusal`).
    bool refused = false;
    RoadError refusal;
};

struct RoadAlignment {
    long line = 0;
    // Set when the reader could not take the alignment (an element or profile it cannot read):
    // only the name and line are then known, and `refusal` says why.
    bool refused = false;
    RoadError refusal;
    std::string name;
    std::string desc;
    double staStart = 0.0;
    std::vector<RoadGeomElement> elements;
    std::vector<RoadStaEquation> equations;
    std::vector<RoadProfile> profiles;
};

struct RoadFile {
    std::string path;        // as given to the reader, for messages
    std::string version;     // the LandXML version attribute
    RoadUnits units;
    bool unitsDeclared = false;
    // The coordinate system the file names (<CoordinateSystem>): its EPSG code and OGC WKT as
    // written, empty when not given.
    std::string epsgCode;
    std::string ogcWkt;
    std::vector<RoadAlignment> alignments;
};


// The EPSG code of the file's coordinate system: its epsgCode, else the authority code that
// closes its OGC WKT (AUTHORITY["EPSG","n"] or ID["EPSG",n]); empty when the file names none.
std::string RoadFileEpsg(const RoadFile& file);

// What RoadFindAlignment answers for a name several alignments share (in any case): the file
// cannot tell which is meant, and the first is not guessed; their numbers choose.
const int kRoadAlignmentNameShared = -2;

// The index of the alignment that `text` names, or -1: its name first, in any case of the
// letters A to Z (an alignment may be named "2"), then its number from 1. Blanks around `text`
// are ignored. kRoadAlignmentNameShared when the name is that of several alignments.
int RoadFindAlignment(const RoadFile& file, const std::string& text);
