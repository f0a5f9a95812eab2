// Lists and tokens: splitting, tokens, joining, membership and runs of characters.
#include "numeric/textLists.h"

#include "testUtil.h"

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> items(const CStringArray& a)
{
    std::vector<std::wstring> v;
    for (int i = 0; i < a.GetSize(); ++i)
        v.push_back(a[i].str());
    return v;
}

using Values = std::vector<std::wstring>;

TEST(ParseValues, SplitsAtOneDelimiter)
{
    struct Case {
        const wchar_t* text;
        char delimiter;
        const wchar_t* forbidden;
        bool ok;
        Values expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {L"a, b ,c", ',', L"", true, {L"a", L"b", L"c"}, "values trimmed"},
        {L"a,b|c", ',', L"|", false, {L"a"}, "forbidden character stops; earlier values stay"},
        {L"", ',', L"", true, {L""}, "empty text gives one empty value"},
        {L"a,", ',', L"", true, {L"a"}, "trailing delimiter adds no value"},
        {L",a", ',', L"", true, {L"", L"a"}, "leading delimiter gives an empty value"},
        {L"a,,b", ',', L"", true, {L"a", L"", L"b"}, "adjacent delimiters give an empty value"},
        {L"a\r\nb;c", ';', L"", true, {L"ab", L"c"}, "CR and LF stripped inside a value"},
        {L" x ;\ty\n", ';', L"", true, {L"x", L"y"}, "white space and line end trimmed"},
        {L"p1;p|2;p3", ';', L"|#", false, {L"p1"}, "second value holds a forbidden character"},
    };
    for (const Case& c : cases) {
        CStringArray out;
        out.Add(L"kept");
        EXPECT_EQ(c.ok, ParseValues(c.text, out, c.delimiter, c.forbidden)) << c.reason;
        Values expected = c.expected;
        expected.insert(expected.begin(), L"kept");
        EXPECT_EQ(expected, items(out)) << c.reason;
    }
}

TEST(ParseDelimitersValues, SplitsAtAnyDelimiter)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* delimiters;
        Values expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {L"a;b,,c", L";,", {L"a", L"b", L"", L"c"}, "two delimiters, an empty value"},
        {L" a ; b ", L";", {L"a", L"b"}, "values trimmed"},
        {L"a;", L";", {L"a"}, "trailing delimiter adds no value"},
        {L"abc", L";", {L"abc"}, "no delimiter"},
        {L"", L";", {L""}, "empty text gives one empty value"},
        {L"a;b", L"", {L"a;b"}, "no delimiters"},
    };
    for (const Case& c : cases) {
        CStringArray out;
        EXPECT_TRUE(ParseDelimitersValues(c.text, out, c.delimiters)) << c.reason;
        EXPECT_EQ(c.expected, items(out)) << c.reason;
    }
}

TEST(Tokenize, WalksTokensAndEnds)
{
    CString text(L"  a  b");
    int start = 0;
    EXPECT_EQ(std::wstring(L"a"), Tokenize(text, L" ", start).str());
    EXPECT_EQ(4, start);
    EXPECT_EQ(std::wstring(L"b"), Tokenize(text, L" ", start).str());
    EXPECT_EQ(7, start);
    EXPECT_EQ(std::wstring(), Tokenize(text, L" ", start).str());
    EXPECT_EQ(-1, start);
    EXPECT_EQ(std::wstring(), Tokenize(text, L" ", start).str());
    EXPECT_EQ(-1, start);

    CString list(L"x,;y;");
    start = 0;
    EXPECT_EQ(std::wstring(L"x"), Tokenize(list, L",;", start).str());
    EXPECT_EQ(2, start);
    EXPECT_EQ(std::wstring(L"y"), Tokenize(list, L",;", start).str());
    EXPECT_EQ(5, start);
    EXPECT_EQ(std::wstring(), Tokenize(list, L",;", start).str());
    EXPECT_EQ(-1, start);

    // Without token characters: the rest from start, start unchanged; past the end: -1.
    start = 2;
    EXPECT_EQ(std::wstring(L";y;"), Tokenize(list, L"", start).str());
    EXPECT_EQ(2, start);
    EXPECT_EQ(std::wstring(L";y;"), Tokenize(list, nullptr, start).str());
    start = 5;
    EXPECT_EQ(std::wstring(), Tokenize(list, nullptr, start).str());
    EXPECT_EQ(-1, start);
}

TEST(StringArrays, JoinAndMembership)
{
    CStringArray xyz;
    xyz.Add(L"x");
    xyz.Add(L"y");
    xyz.Add(L"z");
    EXPECT_EQ(std::wstring(L"x,y,z"), StringArrayToString(xyz).str());
    EXPECT_EQ(std::wstring(), StringArrayToString(CStringArray()).str());
    CStringArray one;
    one.Add(L" a b ");
    EXPECT_EQ(std::wstring(L" a b "), StringArrayToString(one).str());

    EXPECT_TRUE(IsStringInStringArray(xyz, L"y"));
    EXPECT_FALSE(IsStringInStringArray(xyz, L"Y"));
    EXPECT_FALSE(IsStringInStringArray(xyz, L"y "));
    EXPECT_FALSE(IsStringInStringArray(CStringArray(), L""));

    CUIntArray numbers;
    numbers.Add(3);
    numbers.Add(70000);
    EXPECT_TRUE(IsUIntInUIntArray(numbers, 70000));
    EXPECT_FALSE(IsUIntInUIntArray(numbers, 4));
}

TEST(ReplaceChars, ReplacesRuns)
{
    struct Case {
        const wchar_t* source;
        const wchar_t* chars;
        const wchar_t* replacement;
        int runs;
        const wchar_t* expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {L"a,,b;c", L",;", L"_", 2, L"a_b_c", "runs become one replacement"},
        {L"abc", L",;", L"_", 0, L"abc", "nothing to replace"},
        {L",a,", L",", L"--", 2, L"--a--", "runs at both ends"},
        {L"a, ;b", L", ;", nullptr, 1, L"ab", "null replacement removes"},
        {L"a,b", L",", L"", 1, L"ab", "empty replacement removes"},
        {L"a,b", L"", L"_", 0, L"", "no characters: output emptied"},
        {L"a,b", nullptr, L"_", 0, L"", "null characters: output emptied"},
    };
    for (const Case& c : cases) {
        CString out(L"old");
        EXPECT_EQ(c.runs, replaceChars(c.source, c.chars, c.replacement, out)) << c.reason;
        EXPECT_EQ(std::wstring(c.expected), out.str()) << c.reason;
    }
}

} // namespace
