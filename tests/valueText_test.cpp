// Values as text: number scans, classification, the angle, coordinate and time formats with
// their exact field widths, and the admissibility of typed packed DMS values.
#include "numeric/valueText.h"

#include "testUtil.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <random>
#include <string>

namespace {

const double kPi = 3.14159265358979323846;

std::string narrow(const std::wstring& w) { return ToUtf8(CString(w.c_str())); }

TEST(GetTextValType, ClassifiesTexts)
{
    struct Case { const wchar_t* text; TTextValType expected; const char* reason; };
    const Case cases[] = {
        {L"  12  ", TTV_INT, "integer with blanks around"}, {L"\t-7\n", TTV_INT, "negative, tab and line feed"},
        {L"-3.5", TTV_REAL, "negative real"}, {L"5.", TTV_REAL, "point without decimals"},
        {L".5", TTV_REAL, "point without whole part"}, {L"-.5", TTV_REAL, "sign, point, no whole part"},
        {L".", TTV_TEXT, "lone point"}, {L"+5", TTV_TEXT, "plus is not a sign"}, {L"1e3", TTV_TEXT, "no exponent"},
        // A number needs a digit: a lone minus and minus-point are text, like a lone point.
        {L"-", TTV_TEXT, "lone minus has no digit"}, {L"-.", TTV_TEXT, "minus and point have no digit"},
        {L"1 2", TTV_TEXT, "two numbers"}, {L"- 5", TTV_TEXT, "blank after the sign"},
        {L"1.2.3", TTV_TEXT, "two points"}, {L"12a", TTV_TEXT, "trailing letter"},
        {L"", TTV_EMPTY, "empty"}, {L"   ", TTV_EMPTY, "blanks only"}, {nullptr, TTV_EMPTY, "null pointer"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, getTextValType(c.text)) << c.reason;
}

TEST(StringTo, ScansOneFieldAndZeroesOnFailure)
{
    struct Case { const wchar_t* text; bool ok; double expected; const char* reason; };
    const Case cases[] = {
        {L"12abc", true, 12, "scan stops at the first non-number character"}, {L"  3.25", true, 3.25, "leading blanks"},
        {L"1e3", true, 1000, "the scan itself reads an exponent"}, {L"abc", false, 0, "no number"},
        {L"", false, 0, "empty"}, {nullptr, false, 0, "null pointer"},
    };
    for (const Case& c : cases) {
        double v = 99;
        EXPECT_TRUE(StringToDouble(c.text, v) == c.ok && v == c.expected) << c.reason;
    }
    int i = 99;
    long l = 0;
    unsigned u = 0;
    short sh = 0;
    float f = 9;
    EXPECT_TRUE(StringToInt(L"12.7", i) && i == 12);
    EXPECT_TRUE(!StringToInt(L"x", i) && i == 0);
    EXPECT_TRUE(StringToLong(L" -123456", l) && l == -123456L);
    EXPECT_TRUE(StringToUint(L"4000000000", u) && u == 4000000000u);
    EXPECT_TRUE(StringToShort(L"-321", sh) && sh == -321);
    EXPECT_TRUE(StringToFloat(L"0.5", f) && f == 0.5f);
    EXPECT_TRUE(!StringToFloat(L"", f) && f == 0.0f);
    EXPECT_TRUE(StringToDouble(CString(L"x")) == 0.0 && StringToDouble(CString(L"2.5m")) == 2.5);
    EXPECT_TRUE(StringToInt(CString(L" 42 ")) == 42 && StringToInt(CString()) == 0 && StringToFloat(CString(L"0.25")) == 0.25f);
}

TEST(DoubleToString, FormatsByDecimals)
{
    struct Case { double value; int decimals; const wchar_t* expected; const char* reason; };
    const Case cases[] = {
        {2.0, 1, L"2.0", "one decimal, %3.1lf"}, {-0.04, 1, L"-0.0", "one decimal, wider than the field"},
        {2.0, 0, L"2", "no decimals, no point"}, {2.0, 10, L"2.0000000000", "a count outside the table builds its format"},
        {3.14159, 3, L"3.142", "three decimals round"}, {7.0, 8, L"7.00000000", "eight decimals"},
        {1.0 / 3, 12, L"0.333333333333", "twelve decimals"}, {2.0, -1, L"2", "a negative count is taken as 0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(c.expected), DoubleToString(c.value, c.decimals).str()) << c.reason;
    EXPECT_EQ(std::wstring(L"-12"), IntToString(-12).str());
}

// The exact field widths, the degree sign U+00B0 and the seconds mark U+0022, and the carry
// of seconds that would print as 60.
TEST(TextFormats, FieldWidthsAndCarries)
{
    struct Case { CString (*format)(double); double value; const wchar_t* expected; const char* reason; };
    const Case cases[] = {
        {AngleToString, 12.5, L" 12\u00B030'0.00000\"", "seconds below 10 fill the width of 7"},
        {AngleToString, 0.99999999999, L"  1\u00B000'0.00000\"", "seconds carry into minutes and degrees"},
        {AngleToString, 1 + 5.5 / 3600, L"  1\u00B000'5.50000\"", "seconds with decimals"},
        {AngleToString, 123.75833333333334, L"123\u00B045'30.00000\"", "two-digit seconds widen the field"},
        {AngleToString, 10 + 59.0 / 60 + 59.999995 / 3600, L" 11\u00B000'0.00000\"", "59.999995 s print as a new minute"},
        {AngleToString, 10 + 59.0 / 60 + 59.99998 / 3600, L" 10\u00B059'59.99998\"", "just below the carry"},
        {AngleToString, 359.999999999, L"360\u00B000'0.00000\"", "the carry does not reduce by a circle"},
        {AngleToString, -12.5, L"-12\u00B0-30'0.00000\"", "negative: each part carries its own sign"},
        {ShortAngleToString, 12.5, L" 12\u00B030'0\"", "seconds unpadded"},
        {ShortAngleToString, 1 + 5.5 / 3600, L"  1\u00B0 0'5\"", "minutes padded with a blank, whole seconds"},
        {ShortAngleToString, 0.99999999999, L"  1\u00B0 0'0\"", "carry before taking whole seconds"},
        {AngleToStringDDDMMSS, 12.5, L" 12\u00B030'00\"", "two-digit fields"},
        {AngleToStringDDDMMSS, 1 + 5.5 / 3600, L"  1\u00B000'05\"", "whole seconds, zero padded"},
        {AngleToStringDDDMMSS, 2 + 59.0 / 60 + 59.9999999 / 3600, L"  3\u00B000'00\"", "carry at 60 seconds"},
        {DDDMMSS2String, 1234530, L"123\u00B045'30\"", "integer-packed DDDMMSS"},
        {DDDMMSS2String, 50005, L"  5\u00B0 0' 5\"", "blank-padded fields"},
        {TimeToString, 1.5, L" 1:30:0.000", "blank-padded hours, minutes"},
        {TimeToString, 12.2625, L"12:15:45.000", "seconds rounded by the format"},
        {TimeToString, 0.99999999, L" 0:59:60.000", "no carry: 59.99996 s print as 60.000"},
        {AltitudeToString, 12.3456, L"12.346", "three decimals"}, {AltitudeToString, -0.0004, L"-0.000", "sign kept"},
        // Values beyond an int were undefined conversions (caught with float-cast-overflow):
        // the whole part prints as the int limit and a NaN stays visible.
        {AngleToString, 1e300, L"2147483647\u00B000'0.00000\"", "1e300 degrees: the int limit"},
        {AngleToString, -1e300, L"-2147483648\u00B000'0.00000\"", "-1e300 degrees: the other limit"},
        {AngleToString, NAN, L"  0\u00B000'    nan\"", "a NaN angle shows as nan"},
        {AngleToStringDDDMMSS, INFINITY, L"2147483647\u00B000'00\"", "infinity"},
        {DDDMMSS2String, 1e300, L"2147483647\u00B0 0' 0\"", "packed 1e300"},
        {DDDMMSS2String, NAN, L"nan", "packed NaN: the value itself"},
        {TimeToString, 1e20, L"2147483647: 0:0.000", "1e20 hours"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(c.expected), c.format(c.value).str()) << c.reason << " (" << c.value << ")";
}

TEST(AngleFormats, LatitudeAndLongitude)
{
    struct Case { bool latitude; double value; bool longForm; const wchar_t* expected; const char* reason; };
    const Case cases[] = {
        {true, 45.5125, true, L" 45\u00B030'45.00000\"N", "long form"},
        {true, 45.5125, false, L" 45\u00B030'45.0\"N", "short form"},
        {true, 12.2625, false, L" 12\u00B015'44.9\"N", "short form cuts 44.99999999999744 s, no rounding"},
        {true, -33.25, true, L" 33\u00B015'00.00000\"S", "south, seconds zero-padded to width 8"},
        {true, 0.0, false, L"  0\u00B000'0.0\"S", "zero latitude is south"},
        {false, 0.0, true, L"  0\u00B000'00.00000\"W", "zero longitude is west"},
        {false, 123.5, false, L"123\u00B030'0.0\"E", "east"},
        {false, -(0.99999999999), true, L"  1\u00B000'00.00000\"W", "carry on the magnitude"},
    };
    for (const Case& c : cases) {
        const CString text = c.latitude ? LatitudeToString(c.value, c.longForm) : LongitudeToString(c.value, c.longForm);
        EXPECT_EQ(std::wstring(c.expected), text.str()) << c.reason;
    }
}

TEST(TimeFormats, SpanAndAngleToRad)
{
    struct SpanCase { CTimeSpan span; const wchar_t* expected; const char* reason; };
    const SpanCase spans[] = {
        {CTimeSpan(0, 1, 2, 3), L"01:02:03", "two-digit fields"}, {CTimeSpan(1, 2, 5, 9), L"26:05:09", "hours not reduced"},
        {CTimeSpan(0, 125, 0, 59), L"125:00:59", "more than two hour digits"},
    };
    for (const SpanCase& c : spans)
        EXPECT_EQ(std::wstring(c.expected), vrk_formats::TimeSpanToString(c.span).str()) << c.reason;
    // AngleToRad reads three fields; an empty field is 0.
    EXPECT_TRUE(nearUlps(AngleToRad(L"12", L"30", L"0"), 12.5 * kPi / 180) && nearUlps(AngleToRad(L"-10", L"", L""), -10 * kPi / 180));
    EXPECT_TRUE(nearUlps(AngleToRad(L"1", L"2", L"3.6"), (1 + 2 / 60.0 + 3.6 / 3600) * kPi / 180, 4));
    EXPECT_EQ(0.0, AngleToRad(L"", L"", L""));
}

TEST(CheckValidDMSVal, AdmissiblePackedTexts)
{
    struct Case { const wchar_t* value; const wchar_t* maxDeg; bool inclusive, expected; const char* reason; };
    const Case cases[] = {
        {L"359.5959", L"360", false, true, "largest below the limit"},
        {L"12.5", L"360", false, true, "one minute digit means 50 minutes"},
        {L"360", L"360", false, false, "the limit itself, exclusive"}, {L"12.60", L"360", false, false, "60 minutes"},
        {L"12.6", L"360", false, false, "one digit 6 means 60 minutes"}, {L"12.5960", L"360", false, false, "60 seconds"},
        {L"12.306", L"360", false, false, "one second digit 6 means 60 seconds"}, {L"12.305", L"360", false, true, "50 s"},
        {L"12.5959999", L"360", false, true, "seconds decimals not examined"},
        {L"400", L"360", false, false, "degrees above the limit"},
        {L"1000", L"360", false, false, "more degree digits than the limit"},
        {L"7", L"360", false, true, "short degree part padded with blanks"},
        {L"-12.3", L"360", false, true, "one leading minus dropped"}, {L" 12.30 ", L"360", false, true, "white space trimmed"},
        {L"--12", L"360", false, false, "only one minus dropped"}, {L"12.3.4", L"360", false, false, "two points"},
        {L"12a", L"360", false, false, "a letter"}, {L"90", L"90", true, true, "inclusive limit"},
        {L"90.0000", L"90", true, true, "inclusive limit with zero minutes and seconds"},
        {L"90.0001", L"90", true, false, "inclusive limit takes no seconds"},
        {L"90.01", L"90", true, false, "inclusive limit takes no minutes"}, {L"-90", L"90", true, true, "negative, inclusive"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, CheckValidDMSVal(c.value, c.maxDeg, c.inclusive)) << narrow(c.value) << ": " << c.reason;
}

// Reading the printed degrees, minutes and seconds back gives the value to the printed
// precision, and neither minutes nor seconds ever print as 60.
TEST(AngleFormats, RandomAnglesReadBack)
{
    std::mt19937 rng(1234);
    std::uniform_real_distribution<double> degrees(0.0, 360.0);
    for (int i = 0; i < 5000; ++i) {
        // Every fourth value sits just below a whole minute to exercise the carry.
        double x = degrees(rng);
        if (i % 4 == 0)
            x = std::max(0.0, std::floor(x * 60) / 60 - 1e-9 * (i % 7));
        CString text = AngleToString(x);
        int d = -1, m = -1;
        double s = -1;
        ASSERT_EQ(3, std::swscanf(text, L"%d\u00B0%d'%lf\"", &d, &m, &s)) << narrow(text.str());
        EXPECT_TRUE(m < 60 && s < 60.0 && std::fabs(x - (d + m / 60.0 + s / 3600)) <= 1.01e-5 / 3600) << narrow(text.str());
    }
}

} // namespace
