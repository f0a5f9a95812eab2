// The wide string and the text conversions of the platform layer.
#include "platform/CString.h"
#include "platform/textCodec.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cwchar>
#include <random>
#include <string>
#include <utility>
#include <vector>

// Failure messages show a CString as its UTF-8 text.
void PrintTo(const CString& s, std::ostream* os) { *os << '"' << ToUtf8(s) << '"'; }

namespace {

std::string utf8(const std::wstring& s) { return WideToUtf8(s); }
std::string utf8(const CString& s) { return ToUtf8(s); }

// ---- Construction ---------------------------------------------------------------------------

TEST(CString, Construction)
{
    const char cafe[] = "caf\xE9";
    const char withZero[] = {'a', '\0', 'b'};
    const wchar_t wideWithZero[] = {L'x', L'\0', L'y'};
    struct Case {
        CString value;
        std::wstring expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {CString(), L"", "default is empty"},
        {CString(static_cast<const wchar_t*>(nullptr)), L"", "null wide pointer"},
        {CString(static_cast<const char*>(nullptr)), L"", "null 8-bit pointer"},
        {CString(L"abc"), L"abc", "wide text"},
        {CString(cafe), L"caf\u00E9", "8-bit Latin-1 byte"},
        {CString("\x80 \x8A \x9F"), L"\u20AC \u0160 \u0178", "8-bit Windows-1252 bytes"},
        {CString(withZero, 3), std::wstring(L"a\0b", 3), "8-bit count keeps zeros"},
        {CString(wideWithZero, 3), std::wstring(L"x\0y", 3), "wide count keeps zeros"},
        {CString(L"abcdef", 2), L"ab", "wide count shorter than text"},
        {CString(L"abc", -4), L"", "negative count"},
        {CString("abc", 0), L"", "zero count"},
        {CString(L'z', 3), L"zzz", "repeated wide character"},
        {CString(L'z', -1), L"", "negative repeat"},
        {CString('\xE9', 2), L"\u00E9\u00E9", "repeated 8-bit character"},
        {CString(L'q'), L"q", "one character"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value.str(), c.expected) << c.reason;
}

TEST(CString, AssignmentAndConversion)
{
    CString s;
    s = L"wide";
    EXPECT_EQ(s, L"wide");
    s = "n\xE4rrow";
    EXPECT_EQ(s, L"n\u00E4rrow");
    s = L'c';
    EXPECT_EQ(s, L"c");
    s = static_cast<const wchar_t*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    const wchar_t* p = s;
    ASSERT_NE(p, nullptr) << "an empty string still converts to a valid text";
    EXPECT_EQ(*p, L'\0');
    s = L"abc";
    s = static_cast<const wchar_t*>(s) + 1;  // assigning a pointer into the string itself
    EXPECT_EQ(s, L"bc");
    EXPECT_EQ(std::wcscmp(static_cast<const wchar_t*>(s), L"bc"), 0);
}

// ---- Characters -------------------------------------------------------------------------------

TEST(CString, CharacterAccessOutOfRangeIsSafe)
{
    CString s(L"abc");
    EXPECT_EQ(s.GetAt(0), L'a');
    EXPECT_EQ(s[2], L'c');
    EXPECT_EQ(s.GetAt(3), L'\0') << "one past the end";
    EXPECT_EQ(s.GetAt(-1), L'\0');
    EXPECT_EQ(s[100], L'\0');
    s.SetAt(1, L'X');
    s.SetAt(3, L'Y');
    s.SetAt(-1, L'Z');
    EXPECT_EQ(s, L"aXc") << "only the in-range SetAt changes the string";
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_EQ(s.GetAt(0), L'\0');
}

// ---- Extraction -------------------------------------------------------------------------------

TEST(CString, LeftMidRightClamp)
{
    const CString s(L"abcdef");
    struct Case {
        CString got;
        const wchar_t* expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {s.Left(2), L"ab", "Left inside"},
        {s.Left(0), L"", "Left zero"},
        {s.Left(6), L"abcdef", "Left whole"},
        {s.Left(99), L"abcdef", "Left beyond the end"},
        {s.Left(-3), L"", "Left negative"},
        {s.Mid(2), L"cdef", "Mid to the end"},
        {s.Mid(6), L"", "Mid at the end"},
        {s.Mid(9), L"", "Mid past the end"},
        {s.Mid(-2), L"abcdef", "Mid negative start"},
        {s.Mid(1, 3), L"bcd", "Mid inside"},
        {s.Mid(4, 10), L"ef", "Mid count past the end"},
        {s.Mid(-2, 3), L"abc", "Mid negative start keeps the count"},
        {s.Mid(2, -1), L"", "Mid negative count"},
        {s.Mid(7, 2), L"", "Mid start past the end"},
        {s.Right(2), L"ef", "Right inside"},
        {s.Right(6), L"abcdef", "Right whole"},
        {s.Right(99), L"abcdef", "Right beyond the length"},
        {s.Right(0), L"", "Right zero"},
        {s.Right(-1), L"", "Right negative"},
        {CString().Mid(0, 5), L"", "Mid of the empty string"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.reason;
}

// ---- Searching --------------------------------------------------------------------------------

TEST(CString, FindReverseFindFindOneOf)
{
    const CString s(L"abcabc");
    struct Case {
        int got;
        int expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {s.Find(L'b'), 1, "first b"},
        {s.Find(L'b', 1), 1, "start on the match"},
        {s.Find(L'b', 2), 4, "start after the first match"},
        {s.Find(L'z'), -1, "missing character"},
        {s.Find(L'a', 6), -1, "start at the end"},
        {s.Find(L'a', 60), -1, "start past the end"},
        {s.Find(L'c', -5), 2, "negative start searches from 0"},
        {s.Find(L"bc"), 1, "substring"},
        {s.Find(L"bc", 2), 4, "substring after start"},
        {s.Find(L"cab", 3), -1, "substring before start"},
        {s.Find(L"abcabcd"), -1, "substring longer than the string"},
        {s.Find(L"xyz"), -1, "missing substring"},
        {s.Find(L"", 3), 3, "empty substring is found at start"},
        {s.Find(static_cast<const wchar_t*>(nullptr)), -1, "null substring"},
        {s.ReverseFind(L'a'), 3, "last a"},
        {s.ReverseFind(L'c'), 5, "last character"},
        {s.ReverseFind(L'q'), -1, "reverse missing"},
        {CString().ReverseFind(L'a'), -1, "reverse in the empty string"},
        {s.FindOneOf(L"xc"), 2, "one of a set"},
        {s.FindOneOf(L"xyz"), -1, "none of a set"},
        {s.FindOneOf(L""), -1, "empty set"},
        {s.FindOneOf(nullptr), -1, "null set"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.reason;
}

TEST(CString, TokenizeWalksTokens)
{
    // Two spaces, a, two spaces, b, split at blanks.
    const CString text(L"  a  b");
    int start = 0;
    EXPECT_EQ(text.Tokenize(L" ", start), L"a");
    EXPECT_EQ(start, 4);
    EXPECT_EQ(text.Tokenize(L" ", start), L"b");
    EXPECT_EQ(start, 7);
    EXPECT_EQ(text.Tokenize(L" ", start), L"");
    EXPECT_EQ(start, -1);
    EXPECT_EQ(text.Tokenize(L" ", start), L"") << "a negative start stays finished";
    EXPECT_EQ(start, -1);

    int s2 = 1;
    EXPECT_EQ(CString(L"abc").Tokenize(nullptr, s2), L"bc") << "no token characters: the rest";
    EXPECT_EQ(s2, 1);
    s2 = 3;
    EXPECT_EQ(CString(L"abc").Tokenize(L"", s2), L"");
    EXPECT_EQ(s2, -1);
    s2 = 0;
    EXPECT_EQ(CString(L";;").Tokenize(L";,", s2), L"") << "only delimiters";
    EXPECT_EQ(s2, -1);
}

// ---- Trimming ---------------------------------------------------------------------------------

TEST(CString, Trim)
{
    struct Case {
        CString got;
        const wchar_t* expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {CString(L" \t\r\n x y \v\f").Trim(), L"x y", "white space both sides"},
        {CString(L"  x  ").TrimLeft(), L"x  ", "left only"},
        {CString(L"  x  ").TrimRight(), L"  x", "right only"},
        {CString(L"   ").Trim(), L"", "only white space"},
        {CString(L"\u00A0x\u00A0").Trim(), L"\u00A0x\u00A0", "no-break space is not white space"},
        {CString(L"xxaxx").Trim(L'x'), L"a", "one character"},
        {CString(L"xxaxx").TrimLeft(L'x'), L"axx", "one character left"},
        {CString(L"xxaxx").TrimRight(L'x'), L"xxa", "one character right"},
        {CString(L"-+a+-b-+").Trim(L"+-"), L"a+-b", "a set, inner characters stay"},
        {CString(L"-+a").TrimLeft(L"+-"), L"a", "a set left"},
        {CString(L"a-+").TrimRight(L"+-"), L"a", "a set right"},
        {CString(L" a ").Trim(static_cast<const wchar_t*>(nullptr)), L" a ", "null set"},
        {CString(L" a ").Trim(L""), L" a ", "empty set"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.reason;
}

// ---- Editing ----------------------------------------------------------------------------------

TEST(CString, ReplaceCounts)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* from;
        const wchar_t* to;
        int count;
        const wchar_t* expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {L"a,b,c", L",", L";", 2, L"a;b;c", "same length"},
        {L"a,b,c", L",", L"", 2, L"abc", "to empty"},
        {L"a,b,c", L",", nullptr, 2, L"abc", "to null"},
        {L"a,b", L",", L"<->", 1, L"a<->b", "longer"},
        {L"aaa", L"aa", L"b", 1, L"ba", "left to right, not overlapping"},
        {L"aaaa", L"aa", L"b", 2, L"bb", "adjacent matches"},
        {L"abc", L"x", L"y", 0, L"abc", "no match"},
        {L"abc", L"", L"y", 0, L"abc", "empty old text"},
        {L"abc", nullptr, L"y", 0, L"abc", "null old text"},
        {L"abab", L"ab", L"abab", 2, L"abababab", "replacement holds the old text"},
    };
    for (const Case& c : cases) {
        CString s(c.text);
        EXPECT_EQ(s.Replace(c.from, c.to), c.count) << c.reason;
        EXPECT_EQ(s, c.expected) << c.reason;
    }
    CString s(L"a.b.c");
    EXPECT_EQ(s.Replace(L'.', L'/'), 2);
    EXPECT_EQ(s, L"a/b/c");
    EXPECT_EQ(s.Replace(L'x', L'y'), 0);
    CString self(L"xyx");
    EXPECT_EQ(self.Replace(self.Mid(0, 1), self), 2) << "arguments made from the string itself";
    EXPECT_EQ(self, L"xyxyxyx");
}

TEST(CString, RemoveInsertDelete)
{
    CString s(L"a-b-c-");
    EXPECT_EQ(s.Remove(L'-'), 3);
    EXPECT_EQ(s, L"abc");
    EXPECT_EQ(s.Remove(L'z'), 0);
    EXPECT_EQ(s.MakeReverse(), L"cba");

    auto insertChar = [](const wchar_t* t, int at, wchar_t c) {
        CString x(t);
        const int n = x.Insert(at, c);
        return std::make_pair(n, x);
    };
    auto insertText = [](const wchar_t* t, int at, const wchar_t* add) {
        CString x(t);
        const int n = x.Insert(at, add);
        return std::make_pair(n, x);
    };
    auto erase = [](const wchar_t* t, int at, int count) {
        CString x(t);
        const int n = x.Delete(at, count);
        return std::make_pair(n, x);
    };
    const std::vector<std::pair<std::pair<int, CString>, const wchar_t*>> cases = {
        {insertChar(L"ac", 1, L'b'), L"abc"},
        {insertChar(L"bc", 0, L'a'), L"abc"},
        {insertChar(L"ab", 2, L'c'), L"abc"},
        {insertChar(L"ab", 9, L'c'), L"abc"},   // past the end appends
        {insertChar(L"bc", -4, L'a'), L"abc"},  // negative inserts at the front
        {insertText(L"ad", 1, L"bc"), L"abcd"},
        {insertText(L"ad", 1, nullptr), L"ad"},
        {erase(L"abcd", 1, 2), L"ad"},
        {erase(L"abcd", 1, 1), L"acd"},
        {erase(L"abcd", 2, 50), L"ab"},        // count past the end
        {erase(L"abcd", 4, 1), L"abcd"},       // at the end
        {erase(L"abcd", -1, 1), L"bcd"},       // negative index counts from 0
        {erase(L"abcd", 1, -1), L"abcd"},      // negative count
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const auto& result = cases[i].first;
        EXPECT_EQ(result.second, cases[i].second) << "case " << i;
        EXPECT_EQ(result.first, result.second.GetLength()) << "case " << i << " returns the new length";
    }
}

TEST(CString, CaseMapping)
{
    struct Case {
        const wchar_t* lower;
        const wchar_t* upper;
        const char* reason;
    };
    const std::vector<Case> pairs = {
        {L"abc xyz 019", L"ABC XYZ 019", "ASCII"},
        {L"\u00E5\u00E4\u00F6\u00E9\u00FE", L"\u00C5\u00C4\u00D6\u00C9\u00DE", "Latin-1 letters"},
        {L"\u00FF", L"\u0178", "y with diaeresis pairs with U+0178"},
        {L"\u0161\u0153\u017E", L"\u0160\u0152\u017D", "Windows-1252 letters of Latin Extended-A"},
        {L"\u0101\u0142\u014B\u017A", L"\u0100\u0141\u014A\u0179", "pairs of each Latin Extended-A run"},
        {L"\u03B1\u03C3\u03C9", L"\u0391\u03A3\u03A9", "Greek"},
        {L"\u0436\u0451", L"\u0416\u0401", "Cyrillic"},
    };
    for (const Case& c : pairs) {
        EXPECT_EQ(utf8(CString(c.lower).MakeUpper()), utf8(std::wstring(c.upper))) << c.reason;
        EXPECT_EQ(utf8(CString(c.upper).MakeLower()), utf8(std::wstring(c.lower))) << c.reason;
    }
    const std::vector<Case> unchanged = {
        {L"\u00DF\u00D7\u00F7\u00B5\u0138\u0149", nullptr, "sharp s, signs, micro, kra, n-apostrophe"},
        {L"\u4E2D 1+2", nullptr, "characters without case"},
    };
    for (const Case& c : unchanged) {
        EXPECT_EQ(CString(c.lower).MakeUpper(), c.lower) << c.reason;
        EXPECT_EQ(CString(c.lower).MakeLower(), c.lower) << c.reason;
    }
    EXPECT_EQ(CharToUpper(0x3C2), 0x3A3) << "final sigma";
}

TEST(CString, CaseMappingRoundTripsAndStaysInTheCodePage)
{
    for (wchar_t c = 0; c < 0x500; ++c) {
        const wchar_t up = CharToUpper(c);
        const wchar_t low = CharToLower(c);
        if (up != c && c != 0x3C2) {
            EXPECT_EQ(CharToLower(up), c) << "lower of upper of U+" << std::hex << int(c);
        }
        if (low != c) {
            EXPECT_EQ(CharToUpper(low), c) << "upper of lower of U+" << std::hex << int(c);
        }
        EXPECT_TRUE(up == c || low == c) << "a character is upper or lower, U+" << std::hex << int(c);
    }
    // A letter of the 8-bit code page never changes case into one the code page lacks, so
    // case changes cannot make 8-bit text lossy.
    for (int b = 0; b < 256; ++b) {
        const wchar_t c = AnsiCharToWide(static_cast<unsigned char>(b));
        unsigned char byte;
        EXPECT_TRUE(WideCharToAnsi(CharToUpper(c), byte)) << "upper of byte " << b;
        EXPECT_TRUE(WideCharToAnsi(CharToLower(c), byte)) << "lower of byte " << b;
    }
}

// ---- Comparison -------------------------------------------------------------------------------

int sign(int v) { return (v > 0) - (v < 0); }

TEST(CString, CompareAndCompareNoCase)
{
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        int compare;
        int noCase;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {L"abc", L"abc", 0, 0, "equal"},
        {L"abc", L"abd", -1, -1, "last character smaller"},
        {L"abd", L"abc", 1, 1, "last character larger"},
        {L"ab", L"abc", -1, -1, "prefix first"},
        {L"abc", L"ab", 1, 1, "longer after"},
        {L"ABC", L"abc", -1, 0, "case differs"},
        {L"Abc", L"aBD", -1, -1, "case and letter differ"},
        {L"\u00C5sa", L"\u00E5SA", -1, 0, "Latin-1 case"},
        {L"", L"", 0, 0, "both empty"},
        {L"", L"a", -1, -1, "empty first"},
        {L"a", nullptr, 1, 1, "null is the empty text"},
        {L"Z", L"a", -1, 1, "no-case compares lower-case letters"},
    };
    for (const Case& c : cases) {
        const CString s(c.a);
        EXPECT_EQ(sign(s.Compare(c.b)), c.compare) << c.reason;
        EXPECT_EQ(sign(s.CompareNoCase(c.b)), c.noCase) << c.reason;
    }
}

TEST(CString, Operators)
{
    const CString a(L"ab");
    const CString b(L"cd");
    EXPECT_EQ(a + b, L"abcd");
    EXPECT_EQ(a + L"x", L"abx");
    EXPECT_EQ(L"x" + a, L"xab");
    EXPECT_EQ(a + L'!', L"ab!");
    EXPECT_EQ(L'!' + a, L"!ab");
    EXPECT_EQ(a + "n", L"abn") << "8-bit text converts to CString";
    CString s;
    s += a;
    s += L"-";
    s += L'z';
    s += static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ(s, L"ab-z");
    s += s;
    EXPECT_EQ(s, L"ab-zab-z") << "appending the string to itself";
}

// The six comparison operators agree with Compare, in each argument form.
TEST(CString, ComparisonOperatorsAgreeWithCompare)
{
    const std::vector<const wchar_t*> texts = {L"", L"a", L"ab", L"b", L"B"};
    for (const wchar_t* x : texts) {
        for (const wchar_t* y : texts) {
            const CString a(x), b(y);
            const int c = sign(a.Compare(y));
            const std::vector<bool> expected = {c == 0, c != 0, c < 0, c > 0, c <= 0, c >= 0};
            const std::vector<std::vector<bool>> forms = {
                {a == b, a != b, a < b, a > b, a <= b, a >= b},
                {a == y, a != y, a < y, a > y, a <= y, a >= y},
                {x == b, x != b, x < b, x > b, x <= b, x >= b},
            };
            for (size_t f = 0; f < forms.size(); ++f)
                EXPECT_EQ(forms[f], expected) << utf8(a) << " vs " << utf8(b) << ", form " << f;
        }
    }
}

// ---- Formatting -------------------------------------------------------------------------------

TEST(CString, FormatNarrowAndWideArguments)
{
    const CString wide(L"w\u00E9");
    struct Case {
        CString got;
        const wchar_t* expected;
        const char* reason;
    };
    auto fmt = [](const wchar_t* format, auto... args) {
        CString s(L"old content");
        s.Format(format, args...);
        return s;
    };
    const std::vector<Case> cases = {
        {fmt(L"%s", "narrow"), L"narrow", "%s takes a narrow argument"},
        {fmt(L"%ls", L"wide \u00E9"), L"wide \u00E9", "%ls takes a wide argument"},
        {fmt(L"%ls", wide), L"w\u00E9", "a CString passes as its wide text"},
        {fmt(L"[%5ls]", L"ab"), L"[   ab]", "width applies to wide text"},
        {fmt(L"%c%lc", 'n', L'\u00E9'), L"n\u00E9", "%c narrow, %lc wide"},
        {fmt(L"%d+%.2f", 12, 34.5), L"12+34.50", "numbers"},
        {fmt(L"%3d\u00B0%02d'%08.5f", 5, 7, 1.5), L"  5\u00B007'01.50000", "degree text"},
        {fmt(L"%X", 0xBEEFu), L"BEEF", "hexadecimal"},
        {fmt(L"100%%"), L"100%", "no arguments"},
        {fmt(L""), L"", "empty format"},
        {fmt(L"%f", 1.5f), L"1.500000", "a float is promoted"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(utf8(c.got), utf8(CString(c.expected))) << c.reason;

    CString nullFormat(L"x");
    nullFormat.Format(nullptr);
    EXPECT_EQ(nullFormat, L"") << "a null format gives the empty string";
}

TEST(CString, FormatGrowsTheBuffer)
{
    const std::wstring long5000(5000, L'q');
    CString s;
    s.Format(L"<%ls>", long5000.c_str());
    EXPECT_EQ(s.GetLength(), 5002);
    EXPECT_EQ(s, (L"<" + long5000 + L">").c_str());

    s.Format(L"%5000d", 7);
    EXPECT_EQ(s.GetLength(), 5000);
    EXPECT_EQ(s.Right(2), L" 7");

    // Results around the first buffer sizes (a full buffer is the case that fails first).
    for (int n = 250; n <= 520; ++n) {
        const std::string narrow(static_cast<size_t>(n), 'a');
        s.Format(L"%s", narrow.c_str());
        ASSERT_EQ(s.GetLength(), n) << "length " << n;
        ASSERT_EQ(s.Find(L'b'), -1);
    }
}

TEST(CString, FormatConversionErrorEndsWithoutLooping)
{
    // In the C locale glibc cannot convert a narrow byte above 0x7F: %s fails with EILSEQ,
    // %c fails without setting errno. Neither may grow the buffer forever.
    CString s(L"old");
    s.Format(L"a%sb", "caf\xE9");
    EXPECT_EQ(s, L"") << "%s with a byte the locale cannot convert";
    s = L"old";
    s.Format(L"a%cb", '\xE9');
    EXPECT_EQ(s, L"") << "%c with a byte the locale cannot convert";
    s = L"keep";
    s.AppendFormat(L"%s", "\xFF");
    EXPECT_EQ(s, L"keep") << "AppendFormat appends nothing on failure";
    const std::wstring longText(3000, L'x');
    s.Format(L"%ls%s", longText.c_str(), "\xE9");
    EXPECT_EQ(s, L"") << "error after more than a buffer of output";
}

TEST(CString, AppendFormatAndSelfReference)
{
    CString s(L"n=");
    s.AppendFormat(L"%d", 5);
    s.AppendFormat(L",%ls", L"x");
    EXPECT_EQ(s, L"n=5,x");
    s.Format(L"%ls|%ls", s, s);
    EXPECT_EQ(s, L"n=5,x|n=5,x") << "the string itself as argument";
    CString f(L"<%d>");
    f.Format(f, 3);
    EXPECT_EQ(f, L"<3>") << "the string itself as format";
}

CString formatThrough(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    CString s;
    s.FormatV(format, args);
    va_end(args);
    return s;
}

TEST(CString, FormatV)
{
    EXPECT_EQ(formatThrough(L"%d-%ls", 4, L"z"), L"4-z");
    const std::wstring big(4000, L'k');
    EXPECT_EQ(formatThrough(L"%ls", big.c_str()).GetLength(), 4000) << "the list is reused per attempt";
}

// ---- Buffer access ----------------------------------------------------------------------------

TEST(CString, GetBufferReleaseBuffer)
{
    CString s;
    wchar_t* p = s.GetBuffer(10);
    std::wcscpy(p, L"hello");
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"hello");
    EXPECT_EQ(s.GetLength(), 5);

    p = s.GetBuffer(0);
    EXPECT_EQ(s.GetLength(), 5) << "a smaller request keeps the string";
    p[0] = L'j';
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"jello");

    p = s.GetBuffer(8);
    p[5] = L'!';
    p[6] = L'!';
    s.ReleaseBuffer(7);
    EXPECT_EQ(s, L"jello!!");
    s.GetBuffer(0);
    s.ReleaseBuffer(3);
    EXPECT_EQ(s, L"jel");
    s.GetBuffer(0);
    s.ReleaseBuffer(50);
    EXPECT_EQ(s, L"jel") << "a length beyond the buffer is cut to it";

    p = s.GetBufferSetLength(2);
    EXPECT_EQ(s.GetLength(), 2);
    p[1] = L'x';
    s.ReleaseBuffer(2);
    EXPECT_EQ(s, L"jx");
}

// ---- Text conversions -------------------------------------------------------------------------

TEST(TextCodec, CodePageBytes)
{
    struct Case {
        unsigned char byte;
        wchar_t wide;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {0x00, 0x0000, "zero"},
        {0x41, 0x0041, "ASCII"},
        {0x7F, 0x007F, "last ASCII"},
        {0x80, 0x20AC, "euro sign"},
        {0x81, 0x0081, "undefined byte keeps its value"},
        {0x85, 0x2026, "ellipsis"},
        {0x8A, 0x0160, "S caron"},
        {0x8D, 0x008D, "undefined byte keeps its value"},
        {0x8F, 0x008F, "undefined byte keeps its value"},
        {0x90, 0x0090, "undefined byte keeps its value"},
        {0x92, 0x2019, "right single quotation mark"},
        {0x99, 0x2122, "trade mark"},
        {0x9D, 0x009D, "undefined byte keeps its value"},
        {0x9F, 0x0178, "Y diaeresis"},
        {0xA0, 0x00A0, "no-break space"},
        {0xB0, 0x00B0, "degree sign"},
        {0xE9, 0x00E9, "e acute"},
        {0xFF, 0x00FF, "y diaeresis"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AnsiCharToWide(c.byte), c.wide) << c.reason;
        unsigned char back = 0;
        EXPECT_TRUE(WideCharToAnsi(c.wide, back)) << c.reason;
        EXPECT_EQ(back, c.byte) << c.reason;
    }
}

TEST(TextCodec, AllCodePageBytesRoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::wstring wide = AnsiToWide(all);
    ASSERT_EQ(wide.size(), 256u);
    bool lossy = true;
    EXPECT_EQ(WideToAnsi(wide, &lossy), all);
    EXPECT_FALSE(lossy);
    // Distinct bytes give distinct characters.
    for (int i = 0; i < 256; ++i)
        for (int j = i + 1; j < 256; ++j)
            ASSERT_NE(wide[i], wide[j]) << i << " and " << j;
}

TEST(TextCodec, UnmappableWideCharactersBecomeQuestionMarks)
{
    struct Case {
        std::wstring wide;
        std::string expected;
        bool lossy;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {L"abc", "abc", false, "ASCII"},
        {L"\u20AC5", "\x80" "5", false, "euro sign"},
        {L"\u0080", "?", true, "C1 control that the code page uses for the euro sign"},
        {L"\u4E2Dx", "?x", true, "CJK"},
        {L"\U0001F600", "?", true, "beyond the BMP"},
        {std::wstring(1, static_cast<wchar_t>(-5)), "?", true, "negative value"},
        {L"", "", false, "empty"},
    };
    for (const Case& c : cases) {
        bool lossy = !c.lossy;
        EXPECT_EQ(WideToAnsi(c.wide, &lossy), c.expected) << c.reason;
        EXPECT_EQ(lossy, c.lossy) << c.reason;
    }
    unsigned char untouched = 0x55;
    EXPECT_FALSE(WideCharToAnsi(L'\u4E2D', untouched));
    EXPECT_EQ(untouched, 0x55) << "the output is written only on success";
}

TEST(TextCodec, Utf16SurrogatePairs)
{
    const std::wstring text = L"A\U0001F600\uFFFF\U00010000\U0010FFFF";
    const std::u16string units = WideToUtf16(text.data(), text.size());
    const std::u16string expected = {0x0041, 0xD83D, 0xDE00, 0xFFFF, 0xD800, 0xDC00, 0xDBFF, 0xDFFF};
    EXPECT_EQ(units, expected);
    EXPECT_EQ(Utf16ToWide(units.data(), units.size()), text);

    const std::string bytes = WideToUtf16Le(text);
    const std::string expectedBytes("\x41\x00\x3D\xD8\x00\xDE\xFF\xFF\x00\xD8\x00\xDC\xFF\xDB\xFF\xDF", 16);
    EXPECT_EQ(bytes, expectedBytes) << "little-endian units, no byte-order mark";
    EXPECT_EQ(Utf16LeToWide(bytes.data(), bytes.size()), text);
}

TEST(TextCodec, Utf16EdgeCases)
{
    struct Case {
        std::string bytes;
        std::wstring wide;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {std::string("\x00\xD8\x41\x00", 4), std::wstring{0xD800, L'A'}, "lone high surrogate is kept"},
        {std::string("\x00\xDC\x00\xD8", 4), std::wstring{0xDC00, 0xD800}, "pair in the wrong order"},
        {std::string("\x3D\xD8", 2), std::wstring{0xD83D}, "high surrogate at the end"},
        {std::string("\x41\x00\x42", 3), std::wstring{L'A', 0xFFFD}, "odd trailing byte"},
        {std::string("\xFF\xFE\x41\x00", 4), std::wstring{0xFEFF, L'A'}, "byte-order mark is not stripped"},
        {std::string(), std::wstring(), "empty"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf16LeToWide(c.bytes.data(), c.bytes.size()), c.wide) << c.reason;
    const std::wstring invalid{static_cast<wchar_t>(0x110000), static_cast<wchar_t>(-1)};
    EXPECT_EQ(WideToUtf16(invalid.data(), invalid.size()), std::u16string({0xFFFD, 0xFFFD}));
}

TEST(TextCodec, Utf16RandomRoundTrips)
{
    std::mt19937 rng(20240611);
    // Any sequence of UTF-16 units, surrogates included, survives bytes -> wide -> bytes.
    std::uniform_int_distribution<int> unit(0, 0xFFFF);
    std::uniform_int_distribution<int> surrogate(0xD800, 0xDFFF);
    for (int trial = 0; trial < 500; ++trial) {
        std::string bytes;
        for (int i = 0; i < 20; ++i) {
            const int u = (rng() % 3 == 0) ? surrogate(rng) : unit(rng);
            bytes += static_cast<char>(u & 0xFF);
            bytes += static_cast<char>(u >> 8);
        }
        ASSERT_EQ(WideToUtf16Le(Utf16LeToWide(bytes.data(), bytes.size())), bytes) << "trial " << trial;
    }
    // Any text of Unicode scalar values survives wide -> UTF-16 -> wide and wide -> UTF-8 -> wide.
    std::uniform_int_distribution<int> codePoint(0, 0x10FFFF - 0x800);
    for (int trial = 0; trial < 500; ++trial) {
        std::wstring text;
        for (int i = 0; i < 20; ++i) {
            int c = codePoint(rng);
            if (c >= 0xD800)
                c += 0x800;  // skip the surrogates
            text += static_cast<wchar_t>(c);
        }
        const std::u16string units = WideToUtf16(text.data(), text.size());
        ASSERT_EQ(Utf16ToWide(units.data(), units.size()), text) << "trial " << trial;
        ASSERT_EQ(Utf8ToWide(WideToUtf8(text)), text) << "trial " << trial;
    }
}

TEST(TextCodec, Utf8)
{
    const wchar_t r = 0xFFFD;
    struct Case {
        std::string bytes;
        std::wstring wide;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"abc", L"abc", "ASCII"},
        {"caf\xC3\xA9", L"caf\u00E9", "two bytes"},
        {"\xE2\x82\xAC", L"\u20AC", "three bytes"},
        {"\xF0\x9F\x98\x80", L"\U0001F600", "four bytes"},
        {"\xC0\x80", std::wstring{r, r}, "overlong lead and a stray continuation"},
        {"\xE0\x80\x80", std::wstring{r, r, r}, "overlong three-byte form"},
        {"\xED\xA0\x80", std::wstring{r, r, r}, "encoded surrogate"},
        {"\xF4\x90\x80\x80", std::wstring{r, r, r, r}, "beyond U+10FFFF"},
        {"\xE2\x82" "A", std::wstring{r, L'A'}, "cut short: one replacement for the subsequence"},
        {"\xF0\x9F\x98", std::wstring{r}, "cut short at the end"},
        {"\xFF" "a", std::wstring{r, L'a'}, "invalid byte"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8ToWide(c.bytes), c.wide) << c.reason;
    const std::wstring bad{0xD800, static_cast<wchar_t>(0x110000)};
    EXPECT_EQ(WideToUtf8(bad), "\xEF\xBF\xBD\xEF\xBF\xBD") << "no surrogates or values beyond U+10FFFF in UTF-8";
}

TEST(CString, Utf8Export)
{
    const CString s(L"Z\u00FCrich \u20AC \U0001F600");
    EXPECT_EQ(ToUtf8(s), "Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8(ToUtf8(s).c_str()), s);
    EXPECT_EQ(FromUtf8(nullptr), L"");
}

} // namespace
