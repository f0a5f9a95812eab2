// Circular-curve and spiral formulas: conversions between the ways a surveyor states the size
// of a curve (radius, degree of curve by arc or chord) and its extent (central angle, arc
// length, long chord, tangent, middle ordinate, external, spiral constant), the display
// conversions of the element-entry screens, and two point constructions.
//
// Units: lengths and radii share one linear unit (metres in the engine); central angles
// ("delta") and degrees of curve are decimal degrees; azimuths are decimal degrees clockwise
// from grid north. No function throws or logs; impossible inputs give 0 as the tables below say.
#pragma once

#include "cogo/coords.h"

// Process-wide tolerances, read at every use by these formulas and by the alignment engine;
// callers may change them.
extern double smallNumTolerance;  // initially 1e-5: near-zero radius, angle or distance
extern double roadTolerance;      // initially 0.001 (metres): length tolerance of the alignment engine

// How the size of a curve was entered.
enum AlntElementRadiusDisplay {
    RadiusDisplayRadius = 1,    // the radius itself
    RadiusDisplayDegChord = 2,  // degree of curve, chord definition
    RadiusDisplayDegCurve = 3   // degree of curve, arc definition
};

// How the extent of a curve was entered.
enum AlntElementLengthDisplay {
    LengthDisplayDelta = 1,        // central angle in degrees
    LengthDisplayLength = 2,       // arc length
    LengthDisplayChord = 3,        // long chord
    LengthDisplayTangent = 4,      // tangent length, intersection point to tangent point
    LengthDisplayMidOrd = 5,       // middle ordinate
    LengthDisplaySpiralConst = 6,  // spiral constant A (spirals)
    LengthDisplayExternal = 7      // external distance, intersection point to curve midpoint
};

// Where the display kinds live in a curve element's flag word (bit 0 is the lowest bit):
// bits 4-5 the AlntElementRadiusDisplay of the radius, bits 6-8 the AlntElementLengthDisplay
// of the length, bits 12-13 the AlntElementRadiusDisplay of a second radius.
inline constexpr unsigned int AlntRadiusDisplayShift = 4;
inline constexpr unsigned int AlntRadiusDisplayMask = 0x3u << AlntRadiusDisplayShift;
inline constexpr unsigned int AlntLengthDisplayShift = 6;
inline constexpr unsigned int AlntLengthDisplayMask = 0x7u << AlntLengthDisplayShift;
inline constexpr unsigned int AlntRadius2DisplayShift = 12;
inline constexpr unsigned int AlntRadius2DisplayMask = 0x3u << AlntRadius2DisplayShift;

// ---- Degree of curve ----
// The degree of curve is the central angle (degrees) of a 100-unit arc (arc definition) or a
// 100-unit chord (chord definition). The base is 100 units of whatever linear unit the radius
// is in; it does not follow the display unit. A zero or negative degree or radius gives 0.

double GetRadiusFromDegOfCurve(double degree);   // 100 / (D rad)
double GetDegOfCurveFromRadius(double radius);   // 5729.5779513082325 / R
double GetRadiusFromDegOfChord(double degree);   // 50 / sin(D rad / 2)
// asin(50 / R) in degrees x 2. No 100-unit chord fits a circle of radius below 50: 0 then.
double GetDegOfChordFromRadius(double radius);

// ---- Central angle and the other curve quantities (quantity first, radius second) ----

double GetDeltaFromLength(double length, double radius);   // 0 when R < smallNumTolerance
double GetLengthFromDelta(double delta, double radius);
double GetDeltaFromChordLength(double chord, double radius);  // 0 when |C / 2R| > 1 or R = 0
double GetChordLenFromDelta(double delta, double radius);
double GetDeltaFromTangent(double tangent, double radius);
double GetTangentFromDelta(double delta, double radius);   // 0 at a half circle (|delta| = 180)
double GetDeltaFromMidOrd(double midOrd, double radius);   // 0 when M / R lies outside [0, 2] or R = 0
double GetMidOrdFromDelta(double delta, double radius);
double GetDeltaFromExternal(double external, double radius);  // 0 when R = 0
double GetExternalFromDelta(double delta, double radius);  // 0 at a half circle (|delta| = 180)

// Arc length to and from the other quantities, through the central angle.
double GetLengthFromChordLength(double chord, double radius);
double GetChordLenFromLength(double length, double radius);
double GetLengthFromTangent(double tangent, double radius);
double GetTangentFromLength(double length, double radius);
double GetLengthFromMidOrd(double midOrd, double radius);
double GetMidOrdFromLength(double length, double radius);
double GetLengthFromExternal(double external, double radius);
double GetExternalFromLength(double length, double radius);

// ---- Spirals (clothoids from infinite radius to radius R) ----

// A^2 / |R|; 0 when |R| < smallNumTolerance.
double GetSpiralLength(double spiralConst, double radius);
// sqrt(|L| |R|).
double GetSpiralConstant(double length, double radius);

// ---- Display conversions of the entry screens ----
// `kind` is an AlntElementRadiusDisplay or AlntElementLengthDisplay value; any other value
// passes the input through unchanged.

double getRadiusValueFromDisplay(double value, int kind);
double getDisplayValueFromRadius(double radius, int kind);
double getLengthValueFromDisplay(double value, double radius, int kind);
double getDisplayValueFromLength(double length, double radius, int kind);

// ---- Point construction ----

// The point `dist` from (east0, north0) in the direction azimuthDeg + turnDeg (degrees,
// clockwise from north): turnDeg = +90 lies right of the azimuth, -90 left.
void Compute2DPoint(double east0, double north0, double dist, double azimuthDeg, double turnDeg,
                    double& east, double& north);

// Extends the line from `from` through `to` by `dist` beyond `to` (all three coordinates alike).
// Returns 0, out untouched, when the points are less than smallNumTolerance apart; else 1.
// Writes out's coordinates only, not its validity mask.
int Compute3DPoint(const TCoords& from, const TCoords& to, double dist, TCoords& out);
