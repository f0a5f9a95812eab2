#include "numeric/valueText.h"

#include "numeric/intRange.h"
#include "numeric/units.h"

#include <cmath>
#include <cwchar>
#include <cwctype>

namespace {

const wchar_t kSecondsMark = L'"';

// One conversion of a scan format; true when exactly one field was converted.
template <typename T>
bool scanOne(const wchar_t* s, const wchar_t* format, T& v)
{
    T value = T();
    if (s != nullptr && *s != L'\0' && std::swscanf(s, format, &value) == 1) {
        v = value;
        return true;
    }
    v = T();
    return false;
}

// Degrees, minutes and seconds of a decimal-degree value, with the carry of seconds that
// would print as 60. For a negative value each part carries its own sign.
void splitDegrees(double x, int& d, int& m, double& s)
{
    d = truncToInt(x);
    // Beyond the int range there is no fraction to split; a NaN stays in the seconds.
    double f = fitsInt(x) || std::isnan(x) ? x - d : 0.0;
    m = truncToInt(f * 60);
    s = (f - m * 0.016666666666666666) * 3600;
    check60round(d, m, s, 5);
}

CString geographicToString(double value, wchar_t hemisphere, bool longForm)
{
    int d, m;
    double s;
    splitDegrees(value < 0 ? -value : value, d, m, s);
    CString text;
    if (longForm) {
        text.Format(L"%3d\u00B0%02d'%08.5f%lc%lc", d, m, s, kSecondsMark, hemisphere);
    } else {
        s = truncToInt(s * 10) * 0.1;
        text.Format(L"%3d\u00B0%02d'%03.1f%lc%lc", d, m, s, kSecondsMark, hemisphere);
    }
    return text;
}

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Case-insensitive comparison of two digit strings padded to the same length.
int compareDigits(const CString& a, const CString& b) { return a.CompareNoCase(b); }

// Two characters of `text` from `from` (fewer when fewer remain), padded on the right with "0".
CString twoDigits(const CString& text, int from)
{
    CString part = text.Mid(from, 2);
    while (part.GetLength() < 2)
        part += L'0';
    return part;
}

} // namespace

bool StringToDouble(const wchar_t* s, double& v) { return scanOne(s, L"%lf", v); }
bool StringToFloat(const wchar_t* s, float& v) { return scanOne(s, L"%f", v); }
bool StringToInt(const wchar_t* s, int& v) { return scanOne(s, L"%d", v); }
bool StringToLong(const wchar_t* s, long& v) { return scanOne(s, L"%ld", v); }
bool StringToUint(const wchar_t* s, unsigned& v) { return scanOne(s, L"%u", v); }
bool StringToShort(const wchar_t* s, short& v) { return scanOne(s, L"%hd", v); }

double StringToDouble(const CString& s)
{
    double v;
    StringToDouble(static_cast<const wchar_t*>(s), v);
    return v;
}

float StringToFloat(const CString& s)
{
    float v;
    StringToFloat(static_cast<const wchar_t*>(s), v);
    return v;
}

int StringToInt(const CString& s)
{
    int v;
    StringToInt(static_cast<const wchar_t*>(s), v);
    return v;
}

CString IntToString(int value)
{
    CString text;
    text.Format(L"%d", value);
    return text;
}

CString DoubleToString(double value, int decimals)
{
    CString text;
    if (decimals == 1) {
        text.Format(L"%3.1lf", value);
    } else {
        // "%.<n>lf" for every other count; a negative count would make an invalid format and
        // is taken as 0 (no decimals).
        CString format;
        format.Format(L"%%.%dlf", decimals < 0 ? 0 : decimals);
        text.Format(static_cast<const wchar_t*>(format), value);
    }
    return text;
}

TTextValType getTextValType(const wchar_t* s)
{
    if (s == nullptr)
        return TTV_EMPTY;
    const wchar_t* p = s;
    while (*p != L'\0' && std::iswspace(static_cast<wint_t>(*p)))
        ++p;
    if (*p == L'\0')
        return TTV_EMPTY;
    // A number needs at least one digit: a lone "-" and "-." are text, like a lone ".".
    bool digits = false;
    if (*p == L'-')
        ++p;
    for (; isDigit(*p); ++p)
        digits = true;
    if (*p == L'\0')
        return digits ? TTV_INT : TTV_TEXT;
    bool real = false;
    if (*p == L'.') {
        real = true;
        for (++p; isDigit(*p); ++p)
            digits = true;
    }
    if (!digits)
        return TTV_TEXT;
    while (*p != L'\0' && std::iswspace(static_cast<wint_t>(*p)))
        ++p;
    if (*p != L'\0')
        return TTV_TEXT;
    return real ? TTV_REAL : TTV_INT;
}

CString AngleToString(double deg)
{
    int d, m;
    double s;
    splitDegrees(deg, d, m, s);
    CString text;
    text.Format(L"%3d\u00B0%02d'%7.5f%lc", d, m, s, kSecondsMark);
    return text;
}

CString ShortAngleToString(double deg)
{
    int d, m;
    double s;
    splitDegrees(deg, d, m, s);
    CString text;
    text.Format(L"%3d\u00B0%2d'%d%lc", d, m, truncToInt(s), kSecondsMark);
    return text;
}

CString AngleToStringDDDMMSS(double deg)
{
    int d, m;
    double s;
    splitDegrees(deg, d, m, s);
    CString text;
    text.Format(L"%3d\u00B0%02d'%02d%lc", d, m, truncToInt(s), kSecondsMark);
    return text;
}

CString DDDMMSS2String(double packed)
{
    CString text;
    if (!std::isfinite(packed)) {  // no parts to show: the value itself ("nan", "inf")
        text.Format(L"%g", packed);
        return text;
    }
    int d = truncToInt(packed * 0.0001);
    double r = fitsInt(packed * 0.0001) ? packed - d * 10000.0 : 0.0;
    int m = truncToInt(r * 0.01);
    int s = truncToInt(r - m * 100);
    text.Format(L"%3d\u00B0%2d'%2d%lc", d, m, s, kSecondsMark);
    return text;
}

CString LatitudeToString(double lat, bool longForm)
{
    return geographicToString(lat, lat > 0 ? L'N' : L'S', longForm);
}

CString LongitudeToString(double lon, bool longForm)
{
    return geographicToString(lon, lon > 0 ? L'E' : L'W', longForm);
}

CString AltitudeToString(double value)
{
    CString text;
    text.Format(L"%.3f", value);
    return text;
}

CString TimeToString(double hours)
{
    int h = truncToInt(hours);
    double f = fitsInt(hours) || std::isnan(hours) ? hours - h : 0.0;
    int m = truncToInt(f * 60);
    double s = (f - m * 0.016666666666666666) * 3600;
    CString text;
    text.Format(L"%2d:%2d:%5.3f", h, m, s);
    return text;
}

namespace vrk_formats {

CString TimeSpanToString(const CTimeSpan& span)
{
    long long total = static_cast<long long>(span.GetTotalSeconds());
    long long hours = total / 3600;
    long long minutes = total / 60 - hours * 60;
    long long seconds = total % 60;
    CString text;
    text.Format(L"%02d:%02d:%02d", static_cast<int>(hours), static_cast<int>(minutes),
                static_cast<int>(seconds));
    return text;
}

} // namespace vrk_formats

double AngleToRad(const CString& deg, const CString& min, const CString& sec)
{
    return (StringToDouble(sec) * kDegPerArcSec + StringToDouble(min) * kDegPerArcMin +
            StringToDouble(deg)) *
           kRadPerDeg;
}

bool CheckValidDMSVal(const CString& value, const CString& maxDeg, bool maxInclusive)
{
    CString text = value;
    text.Trim();
    if (!text.IsEmpty() && text[0] == L'-')
        text = text.Mid(1);

    int dot = -1;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == L'.') {
            if (dot >= 0)
                return false;
            dot = i;
        } else if (!isDigit(text[i])) {
            return false;
        }
    }

    // A "." at the very start leaves the whole text as the degree part.
    CString degrees = text;
    CString rest;
    if (dot >= 1) {
        degrees = text.Left(dot);
        rest = text.Mid(dot);
        if (rest.GetLength() > 1)
            rest = rest.Mid(1);
    }

    if (degrees.GetLength() > maxDeg.GetLength())
        return false;
    while (degrees.GetLength() < maxDeg.GetLength())
        degrees = L' ' + degrees;
    int cmp = compareDigits(degrees, maxDeg);
    if (cmp > 0)
        return false;

    CString minuteLimit = L"59";
    CString secondLimit = L"59";
    if (cmp == 0) {
        if (!maxInclusive)
            return false;
        minuteLimit = L"00";
        secondLimit = L"00";
    }

    if (rest.IsEmpty())
        return true;
    if (compareDigits(twoDigits(rest, 0), minuteLimit) > 0)
        return false;
    if (rest.GetLength() <= 2)
        return true;
    return compareDigits(twoDigits(rest, 2), secondLimit) <= 0;
}
