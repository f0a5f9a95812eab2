// The one field splitter and number grammar: what each accepts and refuses.
#include "numeric/textFields.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> strings(const std::vector<std::string_view>& fields)
{
    return std::vector<std::string>(fields.begin(), fields.end());
}

TEST(TextFields, ParseDecimalText)
{
    struct Case { const char* text; bool ok; double value; };
    const Case cases[] = {
        {"12.5", true, 12.5}, {" -3 ", true, -3.0}, {"+4", true, 4.0}, {".5", true, 0.5}, {"5.", true, 5.0},
        {"1e3", true, 1000.0}, {"1.5E-2", true, 0.015}, {"2e+2\r\n", true, 200.0}, {"-0", true, 0.0},
        // Refused: no digits, two signs (the point files' grammar took "+-5" as -5), hexadecimal,
        // infinities and NaN, an exponent without digits, trailing text, out of range.
        {"", false, 0}, {"  ", false, 0}, {".", false, 0}, {"-", false, 0}, {"+-5", false, 0}, {"--5", false, 0},
        {"0x10", false, 0}, {"inf", false, 0}, {"nan", false, 0}, {"1e", false, 0}, {"1e+", false, 0},
        {"1.2.3", false, 0}, {"12a", false, 0}, {"1 2", false, 0}, {"1e400", false, 0}, {"1,5", false, 0},
    };
    for (const Case& c : cases) {
        double v = 99.0;
        EXPECT_EQ(ParseDecimalText(c.text, v), c.ok) << "'" << c.text << "'";
        EXPECT_EQ(v, c.ok ? c.value : 99.0) << "'" << c.text << "': unchanged when refused";
    }
}

// Numbers as point files write them, and beyond: the value bit for bit as from_chars reads it
// (whichever way the reader takes: 15 digits or fewer scaled by an exact power of ten, or the
// library's reader). Long mantissas, leading zeros, exponents past 1e22 and negative zero.
TEST(TextFields, ParseDecimalTextAsFromChars)
{
    std::mt19937_64 rng(43);
    std::uniform_int_distribution<int> intDigits(0, 12), fracDigits(0, 20), digit(0, 9), exponent(-40, 40), form(0, 9);
    for (int i = 0; i < 200000; ++i) {
        std::string t = form(rng) == 0 ? "-" : "";
        const int a = intDigits(rng), b = fracDigits(rng);
        for (int k = 0; k < a; ++k)
            t += static_cast<char>('0' + digit(rng));
        if (b > 0 || a == 0)
            t += '.';
        for (int k = 0; k < std::max(b, a == 0 ? 1 : 0); ++k)
            t += static_cast<char>('0' + digit(rng));
        if (form(rng) < 2)
            t += "e" + std::to_string(exponent(rng));
        double expected, got = 0.0;
        const std::from_chars_result r = std::from_chars(t.data(), t.data() + t.size(), expected);
        ASSERT_EQ(r.ec, std::errc()) << t;
        ASSERT_TRUE(ParseDecimalText(t, got)) << t;
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << t << ": " << got << " against " << expected;
    }
}

TEST(TextFields, SplitTextFields)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(strings(SplitTextFields("a, b;;c\td \r")), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(strings(SplitTextFields(" ,;, ")), V{});
    EXPECT_EQ(strings(SplitTextFieldsAt("a, ,\"c d\",\r", ',')), (V{"a", "", "c d", ""}));
    EXPECT_EQ(strings(SplitTextFieldsAt("no separator", ';')), (V{"no separator"}));
}

} // namespace
