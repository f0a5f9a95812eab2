// Values as text: number scans, classification, the angle, coordinate and time formats with
// their exact field widths, and the admissibility of typed packed DMS values.
#include "numeric/valueText.h"

#include "testUtil.h"

#include <cmath>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

std::string narrow(const std::wstring& w) { return ToUtf8(CString(w.c_str())); }

struct TextCase {
    double value;
    const wchar_t* expected;
    const char* reason;
};

void expectTexts(CString (*format)(double), const std::vector<TextCase>& cases)
{
    for (const TextCase& c : cases)
        EXPECT_EQ(std::wstring(c.expected), format(c.value).str()) << c.reason << " (" << c.value << ")";
}

TEST(GetTextValType, ClassifiesTexts)
{
    struct Case {
        const wchar_t* text;
        TTextValType expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {L"  12  ", TTV_INT, "integer with blanks around"},
        {L"\t-7\n", TTV_INT, "negative integer, tab and line feed around"},
        {L"-3.5", TTV_REAL, "negative real"},
        {L"5.", TTV_REAL, "point without decimals"},
        {L".5", TTV_REAL, "point without whole part"},
        {L"-.5", TTV_REAL, "sign and point without whole part"},
        {L" 0.25 ", TTV_REAL, "real with blanks"},
        {L".", TTV_TEXT, "lone point"},
        {L"  . ", TTV_TEXT, "lone point among blanks"},
        {L"-", TTV_TEXT, "lone minus has no digit"},
        {L"-.", TTV_TEXT, "minus and point have no digit"},
        {L"+5", TTV_TEXT, "plus is not a sign"},
        {L"1e3", TTV_TEXT, "no exponent"},
        {L"1 2", TTV_TEXT, "two numbers"},
        {L"- 5", TTV_TEXT, "blank after the sign"},
        {L"1.2.3", TTV_TEXT, "two points"},
        {L"12a", TTV_TEXT, "trailing letter"},
        {L"", TTV_EMPTY, "empty"},
        {L"   ", TTV_EMPTY, "blanks only"},
        {nullptr, TTV_EMPTY, "null pointer"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, getTextValType(c.text)) << c.reason;
}

TEST(StringTo, ScansOneFieldAndZeroesOnFailure)
{
    struct Case {
        const wchar_t* text;
        bool ok;
        double expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {L"12abc", true, 12, "scan stops at the first non-number character"},
        {L"  3.25", true, 3.25, "leading blanks skipped"},
        {L"1e3", true, 1000, "the scan itself reads an exponent"},
        {L"-0.5", true, -0.5, "negative"},
        {L"abc", false, 0, "no number"},
        {L"", false, 0, "empty"},
        {nullptr, false, 0, "null pointer"},
    };
    for (const Case& c : cases) {
        double v = 99;
        EXPECT_EQ(c.ok, StringToDouble(c.text, v)) << c.reason;
        EXPECT_EQ(c.expected, v) << c.reason;
    }

    int i = 99;
    EXPECT_TRUE(StringToInt(L"12.7", i));
    EXPECT_EQ(12, i);
    EXPECT_FALSE(StringToInt(L"x", i));
    EXPECT_EQ(0, i);
    long l = 0;
    EXPECT_TRUE(StringToLong(L" -123456", l));
    EXPECT_EQ(-123456L, l);
    unsigned u = 0;
    EXPECT_TRUE(StringToUint(L"4000000000", u));
    EXPECT_EQ(4000000000u, u);
    short sh = 0;
    EXPECT_TRUE(StringToShort(L"-321", sh));
    EXPECT_EQ(-321, sh);
    float f = 9;
    EXPECT_TRUE(StringToFloat(L"0.5", f));
    EXPECT_EQ(0.5f, f);
    EXPECT_FALSE(StringToFloat(L"", f));
    EXPECT_EQ(0.0f, f);

    EXPECT_EQ(0.0, StringToDouble(CString(L"x")));
    EXPECT_EQ(2.5, StringToDouble(CString(L"2.5m")));
    EXPECT_EQ(42, StringToInt(CString(L" 42 ")));
    EXPECT_EQ(0, StringToInt(CString()));
    EXPECT_EQ(0.25f, StringToFloat(CString(L"0.25")));
}

TEST(DoubleToString, FormatsByDecimals)
{
    struct Case {
        double value;
        int decimals;
        const wchar_t* expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {2.0, 1, L"2.0", "one decimal, %3.1lf"},
        {-0.04, 1, L"-0.0", "one decimal, wider than the field"},
        {2.0, 0, L"2", "no decimals, no point"},
        {2.0, 10, L"2.0000000000", "a count outside the table builds its format"},
        {3.14159, 3, L"3.142", "three decimals round"},
        {7.0, 8, L"7.00000000", "eight decimals"},
        {1.0 / 3, 12, L"0.333333333333", "twelve decimals"},
        {2.0, -1, L"2", "a negative count is taken as 0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(c.expected), DoubleToString(c.value, c.decimals).str()) << c.reason;
    EXPECT_EQ(std::wstring(L"-12"), IntToString(-12).str());
}

TEST(AngleFormats, AngleToStringFieldWidthsAndCarry)
{
    expectTexts(AngleToString, {
        {12.5, L" 12\u00B030'0.00000\"", "seconds below 10 fill the width of 7"},
        {0.99999999999, L"  1\u00B000'0.00000\"", "seconds carry into minutes and degrees"},
        {0.0, L"  0\u00B000'0.00000\"", "zero"},
        {1 + 5.5 / 3600, L"  1\u00B000'5.50000\"", "seconds with decimals"},
        {123.75833333333334, L"123\u00B045'30.00000\"", "two-digit seconds widen the field"},
        {10 + 59.0 / 60 + 59.999995 / 3600, L" 11\u00B000'0.00000\"", "59.999995 s print as a new minute"},
        {10 + 59.0 / 60 + 59.99998 / 3600, L" 10\u00B059'59.99998\"", "just below the carry"},
        {359.999999999, L"360\u00B000'0.00000\"", "the carry does not reduce by a circle"},
        {-12.5, L"-12\u00B0-30'0.00000\"", "negative: each part carries its own sign"},
    });
}

TEST(AngleFormats, WholeSecondForms)
{
    expectTexts(ShortAngleToString, {
        {12.5, L" 12\u00B030'0\"", "seconds unpadded"},
        {1 + 5.5 / 3600, L"  1\u00B0 0'5\"", "minutes padded with a blank, whole seconds"},
        {0.99999999999, L"  1\u00B0 0'0\"", "carry before taking whole seconds"},
    });
    expectTexts(AngleToStringDDDMMSS, {
        {12.5, L" 12\u00B030'00\"", "two-digit fields"},
        {1 + 5.5 / 3600, L"  1\u00B000'05\"", "whole seconds, zero padded"},
        {2 + 59.0 / 60 + 59.9999999 / 3600, L"  3\u00B000'00\"", "carry at 60 seconds"},
    });
    expectTexts(DDDMMSS2String, {
        {1234530, L"123\u00B045'30\"", "integer-packed DDDMMSS"},
        {50005, L"  5\u00B0 0' 5\"", "blank-padded fields"},
        {0, L"  0\u00B0 0' 0\"", "zero"},
    });
}

TEST(AngleFormats, LatitudeAndLongitude)
{
    struct Case {
        bool latitude;
        double value;
        bool longForm;
        const wchar_t* expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {true, 45.5125, true, L" 45\u00B030'45.00000\"N", "long form"},
        {true, 45.5125, false, L" 45\u00B030'45.0\"N", "short form"},
        {true, 12.2625, false, L" 12\u00B015'44.9\"N", "short form cuts 44.99999999999744 s, no rounding"},
        {true, -33.25, true, L" 33\u00B015'00.00000\"S", "south, seconds zero-padded to width 8"},
        {true, 0.0, false, L"  0\u00B000'0.0\"S", "zero latitude is south"},
        {false, 0.0, true, L"  0\u00B000'00.00000\"W", "zero longitude is west"},
        {false, 123.5, false, L"123\u00B030'0.0\"E", "east"},
        {false, -48.858222, false, L" 48\u00B051'29.5\"W", "west, short form cut"},
        {false, -(0.99999999999), true, L"  1\u00B000'00.00000\"W", "carry on the magnitude"},
    };
    for (const Case& c : cases) {
        CString text = c.latitude ? LatitudeToString(c.value, c.longForm) : LongitudeToString(c.value, c.longForm);
        EXPECT_EQ(std::wstring(c.expected), text.str()) << c.reason;
    }
}

TEST(TimeFormats, AltitudeTimeAndSpan)
{
    EXPECT_EQ(std::wstring(L"12.346"), AltitudeToString(12.3456).str());
    EXPECT_EQ(std::wstring(L"-0.000"), AltitudeToString(-0.0004).str());
    expectTexts(TimeToString, {
        {1.5, L" 1:30:0.000", "blank-padded hours, minutes"},
        {12.2625, L"12:15:45.000", "seconds rounded by the format"},
        {0.99999999, L" 0:59:60.000", "no carry: 59.99996 s print as 60.000"},
    });
    struct SpanCase {
        CTimeSpan span;
        const wchar_t* expected;
        const char* reason;
    };
    const std::vector<SpanCase> spans = {
        {CTimeSpan(0), L"00:00:00", "zero"},
        {CTimeSpan(0, 1, 2, 3), L"01:02:03", "two-digit fields"},
        {CTimeSpan(1, 2, 5, 9), L"26:05:09", "hours not reduced to a day"},
        {CTimeSpan(0, 125, 0, 59), L"125:00:59", "more than two hour digits"},
    };
    for (const SpanCase& c : spans)
        EXPECT_EQ(std::wstring(c.expected), vrk_formats::TimeSpanToString(c.span).str()) << c.reason;
}

TEST(AngleToRad, ReadsThreeFields)
{
    EXPECT_TRUE(nearUlps(AngleToRad(L"12", L"30", L"0"), 12.5 * kPi / 180));
    EXPECT_TRUE(nearUlps(AngleToRad(L"90", L"", L""), kPi / 2));
    EXPECT_TRUE(nearUlps(AngleToRad(L"1", L"2", L"3.6"), (1 + 2 / 60.0 + 3.6 / 3600) * kPi / 180, 4));
    EXPECT_EQ(0.0, AngleToRad(L"", L"", L""));
    EXPECT_TRUE(nearUlps(AngleToRad(L"-10", L"", L""), -10 * kPi / 180));
}

TEST(CheckValidDMSVal, AdmissiblePackedTexts)
{
    struct Case {
        const wchar_t* value;
        const wchar_t* maxDeg;
        bool inclusive;
        bool expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {L"359.5959", L"360", false, true, "largest below the limit"},
        {L"12.5", L"360", false, true, "one minute digit means 50 minutes"},
        {L"360", L"360", false, false, "the limit itself, exclusive"},
        {L"12.60", L"360", false, false, "60 minutes"},
        {L"12.6", L"360", false, false, "one digit 6 means 60 minutes"},
        {L"12.5960", L"360", false, false, "60 seconds"},
        {L"12.306", L"360", false, false, "one second digit 6 means 60 seconds"},
        {L"12.305", L"360", false, true, "50 seconds"},
        {L"12.5959999", L"360", false, true, "seconds decimals not examined"},
        {L"400", L"360", false, false, "degrees above the limit"},
        {L"1000", L"360", false, false, "more degree digits than the limit"},
        {L"7", L"360", false, true, "short degree part padded with blanks"},
        {L"-12.3", L"360", false, true, "one leading minus dropped"},
        {L" 12.30 ", L"360", false, true, "white space trimmed"},
        {L"--12", L"360", false, false, "only one minus dropped"},
        {L"12.3.4", L"360", false, false, "two points"},
        {L"12a", L"360", false, false, "a letter"},
        {L"+12", L"360", false, false, "plus sign"},
        {L"90", L"90", true, true, "inclusive limit"},
        {L"90.0000", L"90", true, true, "inclusive limit with zero minutes and seconds"},
        {L"90.0001", L"90", true, false, "inclusive limit takes no seconds"},
        {L"90.01", L"90", true, false, "inclusive limit takes no minutes"},
        {L"-90", L"90", true, true, "negative inclusive limit"},
        {L"89.5959", L"90", true, true, "just below the inclusive limit"},
        {L"91", L"90", true, false, "above the inclusive limit"},
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
    for (int i = 0; i < 20000; ++i) {
        // Every fourth value sits just below a whole minute to exercise the carry.
        double x = degrees(rng);
        if (i % 4 == 0)
            x = std::floor(x * 60) / 60 - 1e-9 * (i % 7);
        if (x < 0)
            x = 0;
        CString text = AngleToString(x);
        int d = -1, m = -1;
        double s = -1;
        ASSERT_EQ(3, std::swscanf(text, L"%d\u00B0%d'%lf\"", &d, &m, &s)) << narrow(text.str());
        EXPECT_LT(m, 60) << narrow(text.str());
        EXPECT_LT(s, 60.0) << narrow(text.str());
        EXPECT_NEAR(x, d + m / 60.0 + s / 3600, 1.01e-5 / 3600) << narrow(text.str());
    }
}

} // namespace
