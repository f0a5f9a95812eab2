// Values as text: the formats in which numbers, angles, geographic coordinates, altitudes
// and times are shown, the scans by which typed numbers are read back, the classification
// of a typed text, and the admissibility check of a typed packed DMS value.
//
// All functions are stateless, reentrant and never throw. Angles given to the formatters
// are decimal degrees; the carry of seconds that would print as 60 is check60round with
// five decimals. The degree sign is U+00B0, the minute mark U+0027 and the seconds mark
// U+0022.
#pragma once

#include "platform/CString.h"
#include "platform/CTimeSpan.h"

// Classification of a text by getTextValType.
enum TTextValType {
    TTV_TEXT = 0,  // not a number
    TTV_INT = 1,   // an integer: optional "-" and digits
    TTV_REAL = 2,  // a number with a decimal point
    TTV_EMPTY = 3  // null pointer, empty text, or only white space
};

// ---- Numbers ------------------------------------------------------------------------------

// Scans s with "%lf" ("%f", "%d", "%ld", "%u", "%hd"): leading white space is skipped and the
// scan stops at the first character that is not part of the number ("12abc" gives 12).
// True when exactly one field was converted; otherwise (also for a null or empty s) false
// and v = 0.
bool StringToDouble(const wchar_t* s, double& v);
bool StringToFloat(const wchar_t* s, float& v);
bool StringToInt(const wchar_t* s, int& v);
bool StringToLong(const wchar_t* s, long& v);
bool StringToUint(const wchar_t* s, unsigned& v);
bool StringToShort(const wchar_t* s, short& v);

// The same scans; a text that holds no number gives 0.
double StringToDouble(const CString& s);
float StringToFloat(const CString& s);
int StringToInt(const CString& s);

// "%d".
CString IntToString(int value);
// decimals 1: "%3.1lf" (field width 3); 2 to 8 and 12: "%.<decimals>lf"; any other count
// likewise "%.<decimals>lf" (0 gives no point). A negative count is taken as 0.
CString DoubleToString(double value, int decimals);

// Number, integer, real or empty: an optional "-", digits, an optional "." with digits after
// it, white space around, and at least one digit. "+5", "1e3", "1 2", a lone "." and a lone
// "-" or "-." are text.
TTextValType getTextValType(const wchar_t* s);

// ---- Angles, coordinates and times ---------------------------------------------------------

// deg: decimal degrees, meant non-negative and finite (the whole degrees must fit an int);
// for a negative value degrees, minutes and seconds each carry their own minus sign.
// Examples are shown between brackets, which are not part of the text.
// "%3d°%02d'%7.5f" then the seconds mark: AngleToString(12.5) is [ 12°30'0.00000"].
CString AngleToString(double deg);
// "%3d°%2d'%d" then the seconds mark, whole seconds after the carry: [ 12°30'0"].
CString ShortAngleToString(double deg);
// "%3d°%02d'%02d" then the seconds mark, whole seconds after the carry: [ 12°30'00"].
CString AngleToStringDDDMMSS(double deg);
// packed: an integer-packed DDDMMSS value; "%3d°%2d'%2d" then the seconds mark:
// DDDMMSS2String(1234530) is [123°45'30"].
CString DDDMMSS2String(double packed);

// lat, lon: decimal degrees. Hemisphere "N" for lat > 0, else "S"; "E" for lon > 0, else "W".
// longForm: "%3d°%02d'%08.5f" then the seconds mark and the letter ([ 45°30'45.00000"N]);
// short form: seconds cut (not rounded) to one decimal, "%3d°%02d'%03.1f" then the mark and
// the letter.
CString LatitudeToString(double lat, bool longForm);
CString LongitudeToString(double lon, bool longForm);

// metres (or any length): "%.3f".
CString AltitudeToString(double value);
// hours: decimal hours as "%2d:%2d:%5.3f" (hours, minutes, seconds; no carry at 60).
CString TimeToString(double hours);

namespace vrk_formats {
// "%02d:%02d:%02d": total hours (not reduced to a day), minutes, seconds of a non-negative span.
CString TimeSpanToString(const CTimeSpan& span);
}

// Radians of a degrees, minutes and seconds entry, each field read with StringToDouble (an
// empty field is 0): (sec / 3600 + min / 60 + deg) in radians.
double AngleToRad(const CString& deg, const CString& min, const CString& sec);

// Whether a typed packed DMS text (such as "359.5959") is admissible: digits with at most one
// ".", an optional leading "-", a degree part not above maxDeg (a digit string such as "360"),
// minutes and seconds (the first two digits each, "3" meaning 30) not above 59. A degree part
// equal to maxDeg is refused unless maxInclusive, and then only with zero minutes and seconds.
bool CheckValidDMSVal(const CString& value, const CString& maxDeg, bool maxInclusive);
