// Stations as text: the literal "%d+%.2f" form and its scan back.
#include "numeric/stationText.h"

#include "testUtil.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

namespace {

TEST(StnToString, LiteralForm)
{
    struct Case { double station, unit; const wchar_t* expected; const char* reason; };
    const Case cases[] = {
        {1234.5, 100, L"12+34.50", "hundred-metre stations"}, {1234.5, 1000, L"1+234.50", "kilometre stations"},
        {0, 100, L"0+0.00", "zero"}, {100, 100, L"1+0.00", "a whole station"},
        {1299.999, 100, L"12+100.00", "remainder rounds up to a full unit without a carry"},
        {-50, 100, L"0+-50.00", "negative below one unit: truncation leaves 0 stations"},
        {-150, 100, L"-1+-50.00", "negative: both parts carry the sign"}, {5000000.25, 1000, L"5000+0.25", "long road"},
        {NAN, 100, L"0+nan", "a NaN station stays visible (its cast to int was undefined)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(c.expected), StnToString(c.station, c.unit).str()) << c.reason;
    // 1e300 / 100 does not fit an int (an undefined conversion before): the limit, then the rest.
    EXPECT_EQ(0u, StnToString(1e300, 100).str().rfind(L"2147483647+1", 0));
}

TEST(StnFromString, ScansBothForms)
{
    struct Case { const wchar_t* text; double unit; int result; double expected; const char* reason; };
    const Case cases[] = {   // the station starts at -7
        {L"12+34.5", 100, 1, 1234.5, "plus form"}, {L"1+234.5", 1000, 1, 1234.5, "kilometre unit"},
        {L"12+100.00", 100, 1, 1300, "remainder of a full unit"}, {L"0+-50.00", 100, 1, -50, "negative remainder"},
        {L"1234.5", 100, 1, 1234.5, "plain metres"}, {L"  77", 100, 1, 77, "leading blanks"},
        {L"abc", 100, 0, -7, "no number: untouched"}, {L"12+", 100, 0, -7, "remainder missing: untouched"},
        {L"+12", 100, 0, -7, "plus before the stations"}, {L"", 100, 0, -7, "empty: untouched"},
        // Whole stations beyond an int were wrapped (read as 27644723101 m, no error).
        {L"99999999999999+1", 100, 0, -7, "stations beyond an int"}, {L"2147483648+0", 100, 0, -7, "INT_MAX + 1"},
        {L"2147483647+0", 100, 1, 214748364700.0, "INT_MAX"}, {L"-2147483648+5", 100, 1, -214748364795.0, "INT_MIN"},
        {L" 12+5", 100, 1, 1205, "leading blank"}, {L"12 +5", 100, 0, -7, "blank before the plus"},
        {L"+5+3", 100, 1, 503, "signed stations"},
    };
    for (const Case& c : cases) {
        double station = -7;
        EXPECT_EQ(c.result, StnFromString(c.text, station, c.unit)) << c.reason;
        EXPECT_TRUE(nearUlps(station, c.expected)) << c.reason;
    }
    // The text keeps two decimals, so reading it back gives the station to within 0.005.
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> metres(0.0, 200000.0), near(-0.006, 0.006);
    for (int i = 0; i < 10000; ++i) {
        const double unit = i % 2 ? 1000 : 100;
        double s = metres(rng);
        if (i % 3 == 0)  // close to a whole station, where the remainder rounds to a full unit
            s = std::max(0.0, std::round(s / unit) * unit + near(rng));
        const CString text = StnToString(s, unit);
        double back = -1;
        ASSERT_EQ(1, StnFromString(text, back, unit)) << ToUtf8(text);
        EXPECT_NEAR(s, back, 0.005 + 1e-9) << ToUtf8(text) << " unit " << unit;
    }
}

} // namespace
