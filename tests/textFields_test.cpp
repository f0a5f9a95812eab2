// The one field splitter and number grammar: what each accepts and refuses.
#include "numeric/textFields.h"

#include <gtest/gtest.h>

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

TEST(TextFields, SplitTextFields)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(strings(SplitTextFields("a, b;;c\td \r")), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(strings(SplitTextFields(" ,;, ")), V{});
    EXPECT_EQ(strings(SplitTextFieldsAt("a, ,\"c d\",\r", ',')), (V{"a", "", "c d", ""}));
    EXPECT_EQ(strings(SplitTextFieldsAt("no separator", ';')), (V{"no separator"}));
}

} // namespace
