// The wide string and the text conversions of the platform layer.
#include "platform/CString.h"
#include "platform/textCodec.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

// Failure messages show a CString as its UTF-8 text.
void PrintTo(const CString& s, std::ostream* os) { *os << '"' << ToUtf8(s) << '"'; }

namespace {

// A string result, the text expected and what the case checks.
struct TextCase { CString got; std::wstring expected; const char* reason; };
struct IntCase { int got; int expected; const char* reason; };

void checkAll(const std::vector<TextCase>& cases)
{
    for (const TextCase& c : cases)
        EXPECT_EQ(c.got.str(), c.expected) << c.reason << " (got \"" << ToUtf8(c.got) << "\")";
}

void checkAll(const std::vector<IntCase>& cases)
{
    for (const IntCase& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.reason;
}

int sign(int v) { return (v > 0) - (v < 0); }

// The result of an edit of `text`, marked wrong when the edit does not return `expected`
// (-1: the new length).
template <typename Edit>
CString edited(const wchar_t* text, Edit edit, int expected = -1)
{
    CString s(text);
    const int n = edit(s);
    return n == (expected < 0 ? s.GetLength() : expected) ? s : CString(L"<wrong result returned>");
}

TEST(CString, ConstructionAssignmentAndAccess)
{
    const char withZero[] = {'a', '\0', 'b'};
    const wchar_t wideWithZero[] = {L'x', L'\0', L'y'};
    checkAll({
        {CString(), L"", "default"}, {CString(static_cast<const wchar_t*>(nullptr)), L"", "null wide pointer"},
        {CString(static_cast<const char*>(nullptr)), L"", "null 8-bit pointer"},
        {CString("caf\xE9"), L"caf\u00E9", "8-bit Latin-1 byte"},
        {CString("\x80 \x8A \x9F"), L"\u20AC \u0160 \u0178", "8-bit Windows-1252 bytes"},
        {CString(withZero, 3), std::wstring(L"a\0b", 3), "8-bit count keeps zeros"},
        {CString(wideWithZero, 3), std::wstring(L"x\0y", 3), "wide count keeps zeros"},
        {CString(L"abcdef", 2), L"ab", "wide count"}, {CString(L"abc", -4), L"", "negative count"},
        {CString(L'z', 3), L"zzz", "repeated wide character"}, {CString(L'z', -1), L"", "negative repeat"},
        {CString('\xE9', 2), L"\u00E9\u00E9", "repeated 8-bit character"},
    });
    CString s(L"x");
    s = static_cast<const wchar_t*>(nullptr);
    const wchar_t* p = s;
    ASSERT_NE(p, nullptr) << "an empty string still converts to a valid text";
    EXPECT_EQ(*p, L'\0');
    s = "n\xE4rrow";
    EXPECT_EQ(s, L"n\u00E4rrow");
    s = static_cast<const wchar_t*>(s) + 1;  // a pointer into the string itself
    EXPECT_EQ(s, L"\u00E4rrow");

    s = L"abc";  // characters out of range are safe
    checkAll({{s.GetAt(0), L'a', "first"}, {s[2], L'c', "last"}, {s.GetAt(3), 0, "one past the end"},
              {s.GetAt(-1), 0, "negative"}, {s[100], 0, "far past the end"}});
    s.SetAt(1, L'X');
    s.SetAt(3, L'Y');
    s.SetAt(-1, L'Z');
    EXPECT_EQ(s, L"aXc") << "only the in-range SetAt changes the string";
}

TEST(CString, ExtractionTrimAndEditing)
{
    const CString s(L"abcdef");
    auto ins = [](const wchar_t* t, int at, auto what) {
        return edited(t, [&](CString& x) { return x.Insert(at, what); });
    };
    auto del = [](const wchar_t* t, int at, int n) { return edited(t, [&](CString& x) { return x.Delete(at, n); }); };
    auto rep = [](const wchar_t* t, auto from, auto to, int count) {
        return edited(t, [&](CString& x) { return x.Replace(from, to); }, count);
    };
    checkAll({
        {s.Left(2), L"ab", "Left inside"}, {s.Left(0), L"", "Left zero"}, {s.Left(-3), L"", "Left negative"},
        {s.Left(6), L"abcdef", "Left whole"}, {s.Left(99), L"abcdef", "Left beyond the end"},
        {s.Mid(2), L"cdef", "Mid to the end"}, {s.Mid(6), L"", "Mid at the end"}, {s.Mid(9), L"", "Mid past the end"},
        {s.Mid(-2), L"abcdef", "Mid negative start"}, {s.Mid(1, 3), L"bcd", "Mid inside"},
        {s.Mid(4, 2), L"ef", "Mid count up to the end"}, {s.Mid(4, 10), L"ef", "Mid count past the end"},
        {s.Mid(-2, 3), L"abc", "Mid negative start keeps the count"}, {s.Mid(2, -1), L"", "Mid negative count"},
        {s.Right(2), L"ef", "Right inside"}, {s.Right(0), L"", "Right zero"}, {s.Right(-1), L"", "Right negative"},
        {s.Right(6), L"abcdef", "Right whole"}, {s.Right(99), L"abcdef", "Right beyond the length"},
        {CString().Mid(0, 5), L"", "Mid of the empty string"},
        {CString(L" \t\r\n x y \v\f").Trim(), L"x y", "white space both sides"},
        {CString(L"  x  ").TrimLeft(), L"x  ", "left only"}, {CString(L"  x  ").TrimRight(), L"  x", "right only"},
        {CString(L"   ").Trim(), L"", "only white space"},
        {CString(L"\u00A0x\u00A0").Trim(), L"\u00A0x\u00A0", "no-break space is not white space"},
        {CString(L"xxaxx").Trim(L'x'), L"a", "one character"},
        {CString(L"xxaxx").TrimLeft(L'x'), L"axx", "left"}, {CString(L"xxaxx").TrimRight(L'x'), L"xxa", "right"},
        {CString(L"-+a+-b-+").Trim(L"+-"), L"a+-b", "a set, inner characters stay"},
        {CString(L" a ").Trim(static_cast<const wchar_t*>(nullptr)), L" a ", "null set"},
        {CString(L" a ").Trim(L""), L" a ", "empty set"},
        {ins(L"ac", 1, L'b'), L"abc", "insert inside"}, {ins(L"bc", 0, L'a'), L"abc", "insert at the front"},
        {ins(L"ab", 2, L'c'), L"abc", "insert at the end"}, {ins(L"ab", 9, L'c'), L"abc", "insert past the end"},
        {ins(L"bc", -4, L'a'), L"abc", "insert at a negative index"}, {ins(L"ad", 1, L"bc"), L"abcd", "insert text"},
        {ins(L"ad", 1, static_cast<const wchar_t*>(nullptr)), L"ad", "insert null text"},
        {del(L"abcd", 1, 2), L"ad", "delete inside"}, {del(L"abcd", 3, 1), L"abc", "delete the last"},
        {del(L"abcd", 2, 50), L"ab", "delete count past the end"}, {del(L"abcd", 4, 1), L"abcd", "delete at the end"},
        {del(L"abcd", -1, 1), L"bcd", "delete at a negative index"}, {del(L"abcd", 1, -1), L"abcd", "negative count"},
        {rep(L"a,b,c", L",", L";", 2), L"a;b;c", "replace, same length"},
        {rep(L"a,b,c", L",", nullptr, 2), L"abc", "replace by null"},
        {rep(L"a,b", L",", L"<->", 1), L"a<->b", "longer"},
        {rep(L"aaaa", L"aa", L"b", 2), L"bb", "adjacent matches"},
        {rep(L"aaa", L"aa", L"b", 1), L"ba", "left to right, not overlapping"},
        {rep(L"abc", L"x", L"y", 0), L"abc", "no match"}, {rep(L"abc", L"", L"y", 0), L"abc", "empty old text"},
        {rep(L"abc", nullptr, L"y", 0), L"abc", "null old text"},
        {rep(L"abab", L"ab", L"abab", 2), L"abababab", "replacement holds the old text"},
        {rep(L"a.b.c", L'.', L'/', 2), L"a/b/c", "replace characters"},
        {edited(L"a-b-c-", [](CString& x) { return x.Remove(L'-'); }, 3), L"abc", "remove"},
        {CString(L"abc").MakeReverse(), L"cba", "reverse"},
        {CString(L"ab") + CString(L"cd") + L"x" + L'!', L"abcdx!", "concatenation"},
        {L"x" + CString(L"ab"), L"xab", "text first"},
        {L'!' + CString(L"ab") + "n", L"!abn", "character first, 8-bit text converts"},
    });
    CString r(L"abc");
    r += static_cast<const wchar_t*>(nullptr);
    r += r;
    EXPECT_EQ(r, L"abcabc") << "appending null, then the string to itself";
    EXPECT_EQ(r.Replace(r.Mid(0, 1), r), 2) << "replace with arguments made from the string itself";
    EXPECT_EQ(r, L"abcabcbcabcabcbc");
}

TEST(CString, Searching)
{
    const CString s(L"abcabc");
    checkAll({
        {s.Find(L'b'), 1, "first b"}, {s.Find(L'b', 1), 1, "start on the match"},
        {s.Find(L'b', 2), 4, "start after the first match"}, {s.Find(L'z'), -1, "missing character"},
        {s.Find(L'c', 5), 5, "start on the last character"}, {s.Find(L'a', 6), -1, "start at the end"},
        {s.Find(L'c', -5), 2, "negative start searches from 0"},
        {s.Find(L"bc"), 1, "substring"}, {s.Find(L"bc", 2), 4, "substring after start"},
        {s.Find(L"cab", 3), -1, "substring before start"}, {s.Find(L"abcabcd"), -1, "substring too long"},
        {s.Find(L"", 3), 3, "empty substring is found at start"}, {s.Find(L"", 6), 6, "empty substring at the end"},
        {s.Find(L"", 7), -1, "empty substring past the end"}, {s.Find(nullptr), -1, "null substring"},
        {s.ReverseFind(L'a'), 3, "last a"}, {s.ReverseFind(L'c'), 5, "last character"},
        {s.ReverseFind(L'q'), -1, "reverse missing"},
        {s.FindOneOf(L"xc"), 2, "one of a set"}, {s.FindOneOf(L"xyz"), -1, "none of a set"},
        {s.FindOneOf(L""), -1, "empty set"}, {s.FindOneOf(nullptr), -1, "null set"},
    });
}

TEST(CString, TokenizeWalksTokens)
{
    struct Case { const wchar_t *text, *tokens; int start; const wchar_t* token; int next; const char* reason; };
    const std::vector<Case> cases = {
        {L"  a  b", L" ", 0, L"a", 4, "leading delimiters skipped; start after the delimiter"},
        {L"  a  b", L" ", 4, L"b", 7, "the last token: start one past the end"},
        {L"  a  b", L" ", 7, L"", -1, "finished"}, {L"  a  b", L" ", -1, L"", -1, "a negative start stays finished"},
        {L"abc", nullptr, 1, L"bc", 1, "no token characters: the rest, start unchanged"},
        {L"abc", L"", 3, L"", -1, "no token characters at the end"}, {L";;", L";,", 0, L"", -1, "only delimiters"},
    };
    for (const Case& c : cases) {
        int start = c.start;
        EXPECT_EQ(CString(c.text).Tokenize(c.tokens, start), c.token) << c.reason;
        EXPECT_EQ(start, c.next) << c.reason;
    }
}

TEST(CString, CaseMapping)
{
    struct Case { const wchar_t *lower, *upper; const char* reason; };
    const std::vector<Case> cases = {
        {L"abc xyz 019", L"ABC XYZ 019", "ASCII"},
        {L"\u00E0\u00E5\u00F6\u00F8\u00FE", L"\u00C0\u00C5\u00D6\u00D8\u00DE", "Latin-1 letters, both ends"},
        {L"\u00FF", L"\u0178", "y with diaeresis pairs with U+0178"},
        {L"\u0161\u0153\u017E", L"\u0160\u0152\u017D", "Windows-1252 letters of Latin Extended-A"},
        {L"\u0101\u0142\u014B\u017A", L"\u0100\u0141\u014A\u0179", "pairs of each Latin Extended-A run"},
        {L"\u03B1\u03C3\u03C9", L"\u0391\u03A3\u03A9", "Greek"}, {L"\u0436\u0451", L"\u0416\u0401", "Cyrillic"},
        {L"\u00DF\u00D7\u00F7\u00B5\u0138\u0149", nullptr, "sharp s, signs, micro, kra, n-apostrophe keep their case"},
        {L"\u4E2D 1+2", nullptr, "characters without case"},
    };
    for (const Case& c : cases) {
        const wchar_t* upper = c.upper ? c.upper : c.lower;
        EXPECT_EQ(CString(c.lower).MakeUpper().str(), upper) << c.reason;
        EXPECT_EQ(CString(upper).MakeLower().str(), c.lower) << c.reason;
    }
    EXPECT_EQ(CharToUpper(0x3C2), 0x3A3) << "final sigma";
    for (wchar_t c = 0; c < 0x500; ++c) {
        const wchar_t up = CharToUpper(c), low = CharToLower(c);
        EXPECT_TRUE(up == c || c == 0x3C2 || CharToLower(up) == c) << "lower of upper, U+" << std::hex << int(c);
        EXPECT_TRUE(low == c || CharToUpper(low) == c) << "upper of lower of U+" << std::hex << int(c);
        EXPECT_TRUE(up == c || low == c) << "a character is upper or lower, U+" << std::hex << int(c);
    }
    // A letter of the 8-bit code page never changes case into one the code page lacks.
    for (int b = 0; b < 256; ++b) {
        const wchar_t c = AnsiCharToWide(static_cast<unsigned char>(b));
        unsigned char byte;
        EXPECT_TRUE(WideCharToAnsi(CharToUpper(c), byte) && WideCharToAnsi(CharToLower(c), byte)) << "byte " << b;
    }
}

TEST(CString, Comparison)
{
    struct Case { const wchar_t *a, *b; int compare, noCase; const char* reason; };
    const std::vector<Case> cases = {
        {L"abc", L"abc", 0, 0, "equal"}, {L"abc", L"abd", -1, -1, "last character smaller"},
        {L"abd", L"abc", 1, 1, "last character larger"}, {L"ab", L"abc", -1, -1, "prefix first"},
        {L"abc", L"ab", 1, 1, "longer after"}, {L"ABC", L"abc", -1, 0, "case differs"},
        {L"Abc", L"aBD", -1, -1, "case and letter differ"}, {L"\u00C5sa", L"\u00E5SA", -1, 0, "Latin-1 case"},
        {L"", L"a", -1, -1, "empty first"}, {L"a", nullptr, 1, 1, "null is the empty text"},
        {L"Z", L"a", -1, 1, "no-case compares lower-case letters"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sign(CString(c.a).Compare(c.b)), c.compare) << c.reason;
        EXPECT_EQ(sign(CString(c.a).CompareNoCase(c.b)), c.noCase) << c.reason;
    }
    // The six operators agree with Compare, in each argument form.
    const std::vector<const wchar_t*> texts = {L"", L"a", L"ab", L"b", L"B"};
    for (const wchar_t* x : texts) {
        for (const wchar_t* y : texts) {
            const CString a(x), b(y);
            const int c = sign(a.Compare(y));
            const std::vector<bool> expected = {c == 0, c != 0, c < 0, c > 0, c <= 0, c >= 0};
            const std::vector<std::vector<bool>> forms = {{a == b, a != b, a < b, a > b, a <= b, a >= b},
                                                          {a == y, a != y, a < y, a > y, a <= y, a >= y},
                                                          {x == b, x != b, x < b, x > b, x <= b, x >= b}};
            for (size_t f = 0; f < forms.size(); ++f)
                EXPECT_EQ(forms[f], expected) << ToUtf8(a) << " vs " << ToUtf8(b) << ", form " << f;
        }
    }
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

template <typename... Args>
CString fmt(const wchar_t* format, const Args&... args)
{
    CString s(L"old content");
    s.Format(format, args...);
    return s;
}

TEST(CString, Format)
{
    // In the C locale glibc's wide printf cannot convert a narrow byte above 0x7F: %s fails
    // with EILSEQ, %c fails without setting errno. Neither may grow the buffer forever.
    const std::wstring long3000(3000, L'x'), long4000(4000, L'k');
    checkAll({
        {fmt(L"%s", "narrow"), L"narrow", "%s takes a narrow argument"},
        {fmt(L"%ls", L"wide \u00E9"), L"wide \u00E9", "%ls takes a wide argument"},
        {fmt(L"%ls", CString(L"w\u00E9")), L"w\u00E9", "a CString passes as its wide text"},
        {fmt(L"[%5ls]", L"ab"), L"[   ab]", "width applies to wide text"},
        {fmt(L"%c%lc", 'n', L'\u00E9'), L"n\u00E9", "%c narrow, %lc wide"},
        {fmt(L"%3d\u00B0%02d'%08.5f", 5, 7, 1.5), L"  5\u00B007'01.50000", "degree text"},
        {fmt(L"%X|%f", 0xBEEFu, 1.5f), L"BEEF|1.500000", "hexadecimal, a float is promoted"},
        {fmt(L"100%%"), L"100%", "no arguments"}, {fmt(L""), L"", "empty format"},
        {fmt(static_cast<const wchar_t*>(nullptr)), L"", "a null format gives the empty string"},
        {formatThrough(L"%d-%ls", 4, L"z"), L"4-z", "FormatV"},
        {formatThrough(L"%ls", long4000.c_str()), long4000, "FormatV reuses the list for each attempt"},
        {fmt(L"a%sb", "caf\xE9"), L"", "%s with a byte the locale cannot convert"},
        {fmt(L"a%cb", '\xE9'), L"", "%c with a byte the locale cannot convert"},
        {fmt(L"%ls%s", long3000.c_str(), "\xE9"), L"", "error after more than a buffer of output"},
    });
    CString s(L"n=");
    s.AppendFormat(L"%d,%ls", 5, L"x");
    s.AppendFormat(L"%s", "\xFF");
    EXPECT_EQ(s, L"n=5,x") << "AppendFormat appends, and nothing on failure";
    s.Format(L"%ls|%ls", s, s);
    EXPECT_EQ(s, L"n=5,x|n=5,x") << "the string itself as argument";
    CString f(L"<%d>");
    f.Format(f, 3);
    EXPECT_EQ(f, L"<3>") << "the string itself as format";

    const std::wstring long5000(5000, L'q');  // the buffer grows
    s.Format(L"<%ls>", long5000.c_str());
    EXPECT_EQ(s.str(), L"<" + long5000 + L">");
    s.Format(L"%5000d", 7);
    EXPECT_EQ(s.GetLength(), 5000);
    EXPECT_EQ(s.Right(2), L" 7");
    // Results around the first buffer sizes (a full buffer is the case that fails first).
    for (int n = 250; n <= 520; ++n) {
        s.Format(L"%s", std::string(static_cast<size_t>(n), 'a').c_str());
        ASSERT_EQ(s.GetLength(), n) << "length " << n;
        ASSERT_EQ(s.Find(L'b'), -1);
    }
}

TEST(CString, GetBufferReleaseBuffer)
{
    CString s;
    std::wcscpy(s.GetBuffer(10), L"hello");
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"hello") << "the length up to the first zero";
    s.GetBuffer(0)[0] = L'j';
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"jello") << "a smaller request keeps the string";
    wchar_t* p = s.GetBuffer(8);
    p[5] = p[6] = L'!';
    s.ReleaseBuffer(7);
    EXPECT_EQ(s, L"jello!!");
    s.GetBuffer(0);
    s.ReleaseBuffer(50);
    EXPECT_EQ(s, L"jello!!") << "a length beyond the buffer is cut to it";
    s.GetBufferSetLength(2)[1] = L'x';
    s.ReleaseBuffer(2);
    EXPECT_EQ(s, L"jx");
}

// ---- Text conversions -------------------------------------------------------------------------

TEST(TextCodec, CodePage)
{
    // The Windows-1252 characters, both ends of each range, and the five undefined bytes.
    const std::vector<std::pair<unsigned char, wchar_t>> bytes = {
        {0x00, 0x0000}, {0x7F, 0x007F}, {0x80, 0x20AC}, {0x81, 0x0081}, {0x85, 0x2026}, {0x8A, 0x0160},
        {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x92, 0x2019}, {0x99, 0x2122}, {0x9D, 0x009D},
        {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF},
    };
    for (const auto& c : bytes) {
        EXPECT_EQ(AnsiCharToWide(c.first), c.second) << "byte " << int(c.first);
        unsigned char back = 0;
        EXPECT_TRUE(WideCharToAnsi(c.second, back) && back == c.first) << "byte " << int(c.first);
    }
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::wstring wide = AnsiToWide(all);
    ASSERT_EQ(wide.size(), 256u);
    bool allLossy = true;
    EXPECT_EQ(WideToAnsi(wide, &allLossy), all) << "all 256 bytes round trip";
    EXPECT_FALSE(allLossy);

    // Characters the code page lacks become '?'.
    struct Case { std::wstring wide; std::string expected; bool lossy; const char* reason; };
    const std::vector<Case> cases = {
        {L"abc", "abc", false, "ASCII"}, {L"\u20AC5", "\x80" "5", false, "euro sign"},
        {L"\u0080", "?", true, "C1 control that the code page uses for the euro sign"},
        {L"\u4E2Dx", "?x", true, "CJK"}, {L"\U0001F600", "?", true, "beyond the BMP"},
        {std::wstring(1, static_cast<wchar_t>(-5)), "?", true, "negative value"},
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

TEST(TextCodec, Utf16)
{
    const std::wstring text = L"A\U0001F600\uFFFF\U00010000\U0010FFFF";
    const std::u16string units = WideToUtf16(text.data(), text.size());
    EXPECT_EQ(units, (std::u16string{0x0041, 0xD83D, 0xDE00, 0xFFFF, 0xD800, 0xDC00, 0xDBFF, 0xDFFF}));
    EXPECT_EQ(Utf16ToWide(units.data(), units.size()), text);
    const std::string bytes = WideToUtf16Le(text);
    EXPECT_EQ(bytes, std::string("\x41\x00\x3D\xD8\x00\xDE\xFF\xFF\x00\xD8\x00\xDC\xFF\xDB\xFF\xDF", 16))
        << "little-endian units, no byte-order mark";
    EXPECT_EQ(Utf16LeToWide(bytes.data(), bytes.size()), text);

    struct Case { std::string bytes; std::wstring wide; const char* reason; };
    const std::vector<Case> cases = {
        {std::string("\x00\xD8\x41\x00", 4), std::wstring{0xD800, L'A'}, "lone high surrogate is kept"},
        {std::string("\x00\xDC\x00\xD8", 4), std::wstring{0xDC00, 0xD800}, "pair in the wrong order"},
        {std::string("\x3D\xD8", 2), std::wstring{0xD83D}, "high surrogate at the end"},
        {std::string("\x41\x00\x42", 3), std::wstring{L'A', 0xFFFD}, "odd trailing byte"},
        {std::string("\xFF\xFE\x41\x00", 4), std::wstring{0xFEFF, L'A'}, "byte-order mark is not stripped"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf16LeToWide(c.bytes.data(), c.bytes.size()), c.wide) << c.reason;
    const std::wstring invalid{static_cast<wchar_t>(0x110000), static_cast<wchar_t>(-1)};
    EXPECT_EQ(WideToUtf16(invalid.data(), invalid.size()), std::u16string({0xFFFD, 0xFFFD}));
}

TEST(TextCodec, RandomRoundTrips)
{
    std::mt19937 rng(20240611);
    // Any sequence of UTF-16 units, surrogates included, survives bytes -> wide -> bytes.
    std::uniform_int_distribution<int> unit(0, 0xFFFF), surrogate(0xD800, 0xDFFF);
    for (int trial = 0; trial < 300; ++trial) {
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
    for (int trial = 0; trial < 300; ++trial) {
        std::wstring text;
        for (int i = 0; i < 20; ++i) {
            const int c = codePoint(rng);
            text += static_cast<wchar_t>(c >= 0xD800 ? c + 0x800 : c);  // skip the surrogates
        }
        const std::u16string units = WideToUtf16(text.data(), text.size());
        ASSERT_EQ(Utf16ToWide(units.data(), units.size()), text) << "trial " << trial;
        ASSERT_EQ(Utf8ToWide(WideToUtf8(text)), text) << "trial " << trial;
    }
}

TEST(TextCodec, Utf8)
{
    const wchar_t r = 0xFFFD;
    struct Case { std::string bytes; std::wstring wide; const char* reason; };
    const std::vector<Case> cases = {
        {"caf\xC3\xA9", L"caf\u00E9", "two bytes"}, {"\xE2\x82\xAC", L"\u20AC", "three bytes"},
        {"\xF0\x9F\x98\x80", L"\U0001F600", "four bytes"}, {"\xFF" "a", std::wstring{r, L'a'}, "invalid byte"},
        {"\xC0\x80", std::wstring{r, r}, "overlong lead and a stray continuation"},
        {"\xE0\x80\x80", std::wstring{r, r, r}, "overlong three-byte form"},
        {"\xED\xA0\x80", std::wstring{r, r, r}, "encoded surrogate"},
        {"\xED\x9F\xBF", L"\uD7FF", "below the surrogates"},
        {"\xF4\x90\x80\x80", std::wstring{r, r, r, r}, "beyond U+10FFFF"},
        {"\xE2\x82" "A", std::wstring{r, L'A'}, "cut short: one replacement for the subsequence"},
        {"\xF0\x9F\x98", std::wstring{r}, "cut short at the end"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8ToWide(c.bytes), c.wide) << c.reason;
    const std::wstring bad{0xD800, static_cast<wchar_t>(0x110000)};
    EXPECT_EQ(WideToUtf8(bad), "\xEF\xBF\xBD\xEF\xBF\xBD") << "no surrogates or values beyond U+10FFFF in UTF-8";
    const CString s(L"Z\u00FCrich \u20AC \U0001F600");
    EXPECT_EQ(ToUtf8(s), "Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8(ToUtf8(s).c_str()), s);
    EXPECT_EQ(FromUtf8(nullptr), L"");
}

} // namespace
