// Lists and tokens: splitting, tokens, joining, membership and runs of characters.
#include "numeric/textLists.h"

#include "testUtil.h"

#include <string>
#include <vector>

namespace {

using Values = std::vector<std::wstring>;

Values items(const CStringArray& a)
{
    Values v;
    for (int i = 0; i < a.GetSize(); ++i)
        v.push_back(a[i].str());
    return v;
}

// ParseValues (one delimiter, with forbidden characters) when `delimiter` is set, else
// ParseDelimitersValues (any of `delimiters`, always true).
TEST(ParseValues, SplitsAtDelimiters)
{
    struct Case { const wchar_t* text; char delimiter; const wchar_t* chars; bool ok; Values expected; const char* reason; };
    const std::vector<Case> cases = {
        {L"a, b ,c", ',', L"", true, {L"a", L"b", L"c"}, "values trimmed"},
        {L"a,b|c", ',', L"|", false, {L"a"}, "forbidden character stops; earlier values stay"},
        {L"", ',', L"", true, {L""}, "empty text gives one empty value"},
        {L"a,", ',', L"", true, {L"a"}, "trailing delimiter adds no value"},
        {L",a", ',', L"", true, {L"", L"a"}, "leading delimiter gives an empty value"},
        {L"a,,b", ',', L"", true, {L"a", L"", L"b"}, "adjacent delimiters give an empty value"},
        {L"a\r\nb;c", ';', L"", true, {L"ab", L"c"}, "CR and LF stripped inside a value"},
        {L" x ;\ty\n", ';', L"", true, {L"x", L"y"}, "white space and line end trimmed"},
        {L"a;b,,c", 0, L";,", true, {L"a", L"b", L"", L"c"}, "any delimiter: an empty value"},
        {L" a ; b;", 0, L";", true, {L"a", L"b"}, "any delimiter: trimmed, trailing adds no value"},
        // The loop body runs once before the test, as in ParseValues.
        {L"", 0, L";", true, {L""}, "any delimiter: empty text gives one empty value"},
        {L"a;b", 0, L"", true, {L"a;b"}, "no delimiters"},
    };
    for (const Case& c : cases) {
        CStringArray out;
        out.Add(L"kept");
        const bool ok = c.delimiter ? ParseValues(c.text, out, c.delimiter, c.chars) : ParseDelimitersValues(c.text, out, c.chars);
        Values expected = c.expected;
        expected.insert(expected.begin(), L"kept");
        EXPECT_EQ(c.ok, ok) << c.reason;
        EXPECT_EQ(expected, items(out)) << c.reason;
    }
}

TEST(Tokenize, WalksTokensAndEnds)
{
    // Each step: token characters (null for none), start before, token and start after.
    struct Step { CString* text; const wchar_t* tokens; int start; const wchar_t* token; int after; };
    CString text(L"  a  b"), list(L"x,;y;");
    // Without token characters: the rest from start, start unchanged; past the end: -1.
    const Step steps[] = {{&text, L" ", 0, L"a", 4}, {&text, L" ", 4, L"b", 7}, {&text, L" ", 7, L"", -1},
                          {&text, L" ", -1, L"", -1}, {&list, L",;", 0, L"x", 2}, {&list, L",;", 2, L"y", 5},
                          {&list, L",;", 5, L"", -1}, {&list, L"", 2, L";y;", 2}, {&list, nullptr, 2, L";y;", 2},
                          {&list, nullptr, 5, L"", -1}};
    for (const Step& s : steps) {
        int start = s.start;
        EXPECT_TRUE(Tokenize(*s.text, s.tokens, start).str() == s.token && start == s.after) << ToUtf8(*s.text) << " from " << s.start;
    }
}

TEST(StringArrays, JoinMembershipAndRuns)
{
    CStringArray xyz, one;
    xyz.Add(L"x");
    xyz.Add(L"y");
    xyz.Add(L"z");
    one.Add(L" a b ");
    EXPECT_EQ(std::wstring(L"x,y,z"), StringArrayToString(xyz).str());
    EXPECT_TRUE(StringArrayToString(CStringArray()).IsEmpty());
    EXPECT_EQ(std::wstring(L" a b "), StringArrayToString(one).str());
    EXPECT_TRUE(IsStringInStringArray(xyz, L"y") && !IsStringInStringArray(xyz, L"Y") && !IsStringInStringArray(xyz, L"y "));
    EXPECT_FALSE(IsStringInStringArray(CStringArray(), L""));
    CUIntArray numbers;
    numbers.Add(3);
    numbers.Add(70000);
    EXPECT_TRUE(IsUIntInUIntArray(numbers, 70000) && !IsUIntInUIntArray(numbers, 4));

    struct Case { const wchar_t* source; const wchar_t* chars; const wchar_t* replacement; int runs;
                  const wchar_t* expected; const char* reason; };
    const Case cases[] = {
        {L"a,,b;c", L",;", L"_", 2, L"a_b_c", "runs become one replacement"},
        {L"abc", L",;", L"_", 0, L"abc", "nothing to replace"}, {L",a,", L",", L"--", 2, L"--a--", "runs at both ends"},
        {L"a, ;b", L", ;", nullptr, 1, L"ab", "null replacement removes"}, {L"a,b", L",", L"", 1, L"ab", "empty removes"},
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
