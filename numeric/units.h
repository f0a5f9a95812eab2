// Angle and distance units: the display-unit enumerations, conversions between units, the
// packed degrees-minutes-seconds and feet-inch display values, the horizontal and vertical
// angle conventions and a few small numeric utilities.
//
// Inside the library distances are metres and angles at the user-facing boundary are decimal
// degrees (the angle type CMathAngle holds radians). All functions are stateless and
// thread-safe. None reports an error: NaN passes through as NaN.
//
// DISPLAY CONVERSIONS ROUND. Deg2Rad, Deg2Grad, Deg2Mil, Meter2USFeet and Meter2IFeet (and
// DegSec2GradCC) round their result to five decimals, because they produce the value that a
// field shows: Deg2Rad(180) is 3.14159 (the double 3.1415900000000003), not pi. Geometry never
// converts through them: it multiplies by the literal factors below (CMathAngle::setDeg uses
// kRadPerDeg = 0.017453292519943295, getDeg uses kDegPerRad = 57.29577951308232). The
// conversions towards the internal units (Rad2Deg, Grad2Deg, Mil2Deg, GradCC2DegSec,
// USFeet2Meter, IFeet2Meter) do not round, but compute ((x * 100000) * factor) * 0.00001,
// which may differ from x * factor in the last bit.
#pragma once

// ---- Constants -------------------------------------------------------------------------------
// Each factor is written as its exact ratio; the compiler rounds it to the nearest double, and
// the static_asserts in units.cpp pin the resulting doubles.

constexpr double kPi = 3.141592653589793;       // pi, the double nearest to it
constexpr double kHalfPi = kPi / 2.0;           // 1.5707963267948966
constexpr double kTwoPi = kPi * 2.0;            // 6.283185307179586

constexpr double kIFootInMeters = 0.3048;                  // international foot, exact by definition
constexpr double kMetersToIFeet = 1.0 / 0.3048;            // 3.280839895013123
constexpr double kUSFootInMeters = 1200.0 / 3937.0;        // US survey foot: 0.3048006096012192
constexpr double kMetersToUSFeet = 3937.0 / 1200.0;        // 3.2808333333333333

constexpr double kDegPerRad = 180.0 / kPi;                 // 57.29577951308232
constexpr double kRadPerDeg = kPi / 180.0;                 // 0.017453292519943295
constexpr double kDegPerGrad = 360.0 / 400.0;              // 0.9
constexpr double kGradPerDeg = 400.0 / 360.0;              // 1.1111111111111112
constexpr double kDegPerMil = 360.0 / 6400.0;              // 0.05625
constexpr double kMilPerDeg = 6400.0 / 360.0;              // 17.77777777777778
// A centesimal second is 1/10000 grad = 0.9/10000 degree = 3240/10000 arc second.
constexpr double kArcSecPerCcSec = 3240.0 / 10000.0;      // 0.324
constexpr double kCcSecPerArcSec = 10000.0 / 3240.0;       // 3.0864197530864197
constexpr double kDegPerArcMin = 1.0 / 60.0;               // 0.016666666666666666
constexpr double kDegPerArcSec = 1.0 / 3600.0;             // 0.0002777777777777778
constexpr double kFootPerInch = 1.0 / 12.0;                // 0.08333333333333333

// ---- Enumerations ----------------------------------------------------------------------------

// Distance display unit (plain integer enumeration; any int value may be stored, values outside
// the list make the conversions return 1.0).
enum UNITS : int {
    UNITS_M = 0,      // metres
    UNITS_USFT = 1,   // US survey feet
    UNITS_IFT = 2,    // international feet
    UNITS_USFTI = 3,  // US survey feet, inches and eighths as a packed feet-inch value
    UNITS_IFTI = 4    // international feet, inches and eighths as a packed feet-inch value
};

// Angle display unit (plain integer enumeration). Decimal degrees, the internal unit, has no
// member of its own.
enum ANGLES : int {
    ANGLES_RAD = 0,   // radians
    ANGLES_GRD = 1,   // grads, 400 to the circle
    ANGLES_MLS = 2,   // mils, 6400 to the circle
    ANGLES_DMS = 3    // degrees, minutes and seconds as a packed DMS value
};

// ---- Distances -------------------------------------------------------------------------------
// Packed feet-inch value: integer part feet, first two decimals inches (00-11), third decimal
// eighths of an inch (0-7): 5.073 is 5 ft 7 3/8 in. The sign of the number is the sign of the
// length.

// Display unit to metres. An unknown unit gives 1.0 (not the input).
double ToMetersEx(double value, UNITS unit);
// Metres to the display unit (feet rounded to five decimals, feet-inch values to eighths).
// An unknown unit gives 1.0.
double FromMetersEx(double metres, UNITS unit);
// The three doubles v[0..2] in place, each as ToMetersEx / FromMetersEx.
void ToMetersVec3Ex(double* v, UNITS unit);
void FromMetersVec3Ex(double* v, UNITS unit);
// The same from in[0..2] into out[0..2] (in and out may be the same array).
void ToMetersVec3Ex(const double* in, double* out, UNITS unit);
void FromMetersVec3Ex(const double* in, double* out, UNITS unit);

double USFeet2Meter(double feet);    // not rounded
double Meter2USFeet(double metres);  // DISPLAY: rounded to five decimals
double IFeet2Meter(double feet);     // not rounded
double Meter2IFeet(double metres);   // DISPLAY: rounded to five decimals

// Packed feet-inch value to metres; usFeet selects the US survey foot, else the international
// foot. Digits beyond the eighths are rounded; 8 eighths carry into an inch, 12 inches into a foot.
double FFFII2Meter(double packed, bool usFeet);
// Metres to a packed feet-inch value, rounded to the nearest eighth of an inch.
double Meter2FFFII(double metres, bool usFeet);

// Short text of a distance unit ("m", "USft", "Ift", "USfti", "Ifti"); a static string owned by
// the library. An unknown unit gives the empty string "" (never a null pointer).
const wchar_t* DispDistUnitsStrShortEx(UNITS unit);

// ---- Angles ----------------------------------------------------------------------------------
// Packed DMS value: integer part degrees, first two decimals minutes (00-59), then the seconds
// (two digits of whole seconds, then their decimals): 123.4530 is 123 deg 45 min 30 s. The sign
// of the number is the sign of the angle.

// Display unit to decimal degrees. An unknown unit gives 1.0.
double ToDegreesEx(double value, ANGLES unit);
// Decimal degrees to the display unit (DISPLAY: radians, grads and mils rounded to five
// decimals). digits is the number of decimals a packed DMS display shows (4 whole seconds, 5
// tenths) and is used only for ANGLES_DMS. An unknown unit gives 1.0.
double FromDegreesEx(double degrees, ANGLES unit, int digits);
// Horizontal angles: the internal angle is right-handed (clockwise, HR); isLeft means the
// display shows a left-handed (HL) angle.
double ToDegreesHAEx(double value, ANGLES unit, bool isLeft);
double FromDegreesHAEx(double degrees, ANGLES unit, bool isLeft, int digits);
// Vertical angles: the internal angle is a zenith angle (0 up, 90 horizontal); isLevel means
// the display shows a level angle (elevation above the horizon, in [0, 360)).
double ToDegreesVAEx(double value, ANGLES unit, bool isLevel);
double FromDegreesVAEx(double degrees, ANGLES unit, bool isLevel, int digits);

// Short text of an angle unit ("rad", "grd", "mls", "dms"); a static string owned by the
// library. An unknown unit gives a null pointer.
const wchar_t* DispAngleUnitsStrShortEx(ANGLES unit);

double Rad2Deg(double rad);      // not rounded
double Deg2Rad(double deg);      // DISPLAY: reduced by fmod 360, rounded to five decimals
double Grad2Deg(double grad);    // not rounded
double Deg2Grad(double deg);     // DISPLAY: reduced by fmod 360, rounded to five decimals
double Mil2Deg(double mil);      // not rounded
double Deg2Mil(double deg);      // DISPLAY: reduced by fmod 360, rounded to five decimals
double GradCC2DegSec(double cc);      // centesimal seconds to arc seconds, not rounded
double DegSec2GradCC(double sec);     // arc seconds to centesimal seconds, DISPLAY: five decimals

// Packed DMS value to decimal degrees, reduced into (-360, 360) with the sign of the input.
// Seconds within 0.00036 of 60 (or minute digits just below a whole minute) carry into a
// minute, 60 minutes into a degree.
double DDDMMSS2Deg(double packed);
// Decimal degrees to a packed DMS value for a display of `digits` decimals. The seconds are
// not rounded, but seconds that such a display would round to 60 become a whole minute.
double Deg2DDDMMSS(double degrees, int digits);

// Right-handed <-> left-handed horizontal angle (the same computation both ways), degrees in
// [0, 360); 0 stays 0.
double HR2HL(double degrees);
double HL2HR(double degrees);
// Level <-> zenith vertical angle (the same computation both ways): (360 - x) + 90 reduced
// into [0, 360).
double Level2Zenith(double degrees);
double Zenith2Level(double degrees);

// ---- Numeric utilities -----------------------------------------------------------------------

// Nearest integer, halves away from zero: floor(|x| + 0.5) with the sign of x.
double dNearInt(double x);
// fmod(x, 360); with positive true a negative remainder gets 360 added.
double ModDeg360(double x, bool positive);
// fmod(x, 360) plus 360 when negative: [0, 360) (exactly 360 only for a negative x so small
// that the sum rounds up).
double pos360(double x);
// Reduction into the closed interval [lo, hi] by whole periods hi - lo: adds the period while
// x < lo, then subtracts it while x > hi, so both ends are possible results
// (toRange(pi, -pi, pi) is pi, toRange(-pi, -pi, pi) is -pi). hi <= lo gives lo.
// NaN gives NaN; an infinite x (with a finite period) gives NaN; a value far outside the
// interval is reduced in one step with fmod (see units.cpp).
double toRange(double x, double lo, double hi);
int toRange(int x, int lo, int hi);

// Instrument turning (degrees). MinimizeTurnAngle: the same turn in (-180, 180].
double MinimizeTurnAngle(double degrees);
// True when the turn is larger than half a degree either way.
bool ShouldTurn(double degrees);
// Face-one reading to the matching face-two reading, in place: ha +/- 180, va -> 360 - va
// when va > 0.
void CalcReverseAngles(double& ha, double& va);

// The largest size of a length or coordinate that a survey computation takes, in metres. The
// Earth's circumference is 4e7 m and projected coordinates stay below 1e8 m; a double still
// holds 1e9 m to the micrometre. A larger value is a slip of the keyboard, and its answers
// would be infinite or hundreds of digits long.
constexpr double kMaxSurveyLength = 1e9;
// True when `metres` is within +-kMaxSurveyLength (false for NaN and infinities).
bool IsSurveyLength(double metres);

// x rounded to `decimals` decimals, halves away from zero, computed on the fraction only.
double FormatFloat(double x, int decimals);
// Seconds that would print as 60 with `decimals` decimals (sec > 60 - 10^-decimals) become 0
// and carry into the minutes; 60 minutes carry a degree away from zero.
void check60round(int& deg, int& min, double& sec, int decimals);
