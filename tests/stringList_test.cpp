// String lists: the line-end rules, saving, editing, finding, round trips of random lists, and
// a fuzz pass over both loaders (FIELDCORE_FUZZ_SECONDS and FIELDCORE_FUZZ_SEED run it longer).
#include "fuzzBudget.h"
#include "deviceRootFixture.h"

#include "files/stringList.h"
#include "platform/fileSystem.h"
#include "platform/textCodec.h"

#include <cstdio>
#include <random>
#include <vector>

namespace {

using Entries = std::vector<std::string>;
using WideEntries = std::vector<std::wstring>;

Entries entriesOf(const CXenStringList& list)
{
    Entries out;
    for (int i = 0; i < list.Length(); ++i)
        out.push_back(list[i]);
    return out;
}

WideEntries entriesOf(const CWXenStringList& list)
{
    WideEntries out;
    for (int i = 0; i < list.Length(); ++i)
        out.push_back(list[i]);
    return out;
}

std::string utf16(const std::wstring& text) { return WideToUtf16Le(text); }

class StringList : public DeviceRootTest {
protected:
    Entries load(const std::string& bytes)
    {
        writeHost("l.txt", bytes);
        CXenStringList list;
        EXPECT_TRUE(list.LoadFromFile(L"\\l.txt"));
        return entriesOf(list);
    }
    WideEntries loadWide(const std::string& bytes)
    {
        writeHost("w.txt", bytes);
        CWXenStringList list;
        EXPECT_TRUE(list.LoadFromFile(L"\\w.txt"));
        return entriesOf(list);
    }
};

TEST_F(StringList, LineEnds)
{
    struct Case { std::string bytes; Entries expected; const char* reason; };
    const std::vector<Case> cases = {
        {"a\r\nb\r\nc\r\n", {"a", "b", "c"}, "CR LF"},
        {"a\nb\nc\n", {"a", "b", "c"}, "LF alone: the same entries"},
        {"a\rb\rc\r", {"a", "b", "c"}, "CR alone: the same entries"},
        {"a\r\n\r\nb", {"a", "", "b"}, "an empty line between two CR LF pairs"},
        {"a\n\nb", {"a", "b"}, "a LF right after a LF belongs to the line end"},
        {"a\r\rb", {"a", "b"}, "a CR right after a CR belongs to the line end"},
        {"a\r\nlast", {"a", "last"}, "no final line end: the last line still counts"},
        {"a\r\n", {"a"}, "a final CR LF adds no entry"},
        {"\r\n", {""}, "one empty line"},
        {"a\n\r\n", {"a", ""}, "LF CR pair, then a lone LF"},
        {std::string("ab\0cd\r\n", 7), {"ab"}, "a NUL ends the text"},
        {"\xef\xbb\xbfx\r\n", {"\xef\xbb\xbfx"}, "a mark stays in the first entry"},
        {"", {}, "an empty file: an empty list"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(load(c.bytes), c.expected) << c.reason;
}

TEST_F(StringList, WideLineEnds)
{
    struct Case { std::string bytes; WideEntries expected; const char* reason; };
    const std::vector<Case> cases = {
        {utf16(L"a\r\nb\r\n"), {L"a", L"b"}, "CR LF"},
        {utf16(L"a\nb"), {L"a", L"b"}, "LF, no final line end"},
        {utf16(L"a\r\n\r\nb"), {L"a", L"", L"b"}, "an empty line"},
        {utf16(L"\xFEFFx\r\n"), {L"\xFEFFx"}, "a mark stays in the first entry"},
        {utf16(L"\U0001F600z\r\n"), {L"\U0001F600z"}, "a surrogate pair joins"},
        {utf16(L"ab") + "c", {L"ab"}, "an odd last byte is ignored"},
        {utf16(L"ab") + std::string("\0\0", 2) + utf16(L"cd"), {L"ab"}, "a NUL unit ends the text"},
        {"\x41\x0a", {L"\x0a41"}, "units are little-endian: 41 0A is U+0A41, no line end"},
        {"x", {}, "one byte: no unit"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(loadWide(c.bytes), c.expected) << c.reason;
}

TEST_F(StringList, SavesCrLfPairs)
{
    CXenStringList list;
    EXPECT_TRUE(list.SaveToFile(L"\\empty.txt"));
    EXPECT_TRUE(hostExists("empty.txt"));
    EXPECT_EQ(readHost("empty.txt"), "") << "an empty list writes an empty file";
    list.Add("one");
    list.Add("");
    list.Add("three");
    ASSERT_TRUE(list.SaveToFile(L"\\three.txt"));
    EXPECT_EQ(readHost("three.txt"), "one\r\n\r\nthree\r\n") << "three CR LF pairs";

    CWXenStringList wide;
    wide.Add(L"\u00e9\U0001F600");
    ASSERT_TRUE(wide.SaveToFile(L"\\wide.txt"));
    EXPECT_EQ(readHost("wide.txt"), std::string("\xe9\x00\x3d\xd8\x00\xde\r\0\n\0", 10)) << "UTF-16LE, no mark";

    // A read-only file is made writable first; a folder cannot be made a file.
    writeHost("ro.txt", "old");
    ASSERT_TRUE(SetFileAttributesW(L"\\ro.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(list.SaveToFile(L"\\ro.txt"));
    EXPECT_EQ(readHost("ro.txt"), "one\r\n\r\nthree\r\n");
    EXPECT_EQ(GetFileAttributesW(L"\\ro.txt"), FILE_ATTRIBUTE_HIDDEN) << "only the read-only mark is cleared";
    EXPECT_FALSE(list.SaveToFile(L"\\no such folder\\x.txt"));
    EXPECT_FALSE(list.LoadFromFile(L"\\missing.txt"));
    EXPECT_EQ(list.Length(), 0) << "emptied before the failed load";
}

TEST_F(StringList, EditAndFind)
{
    CXenStringList list;
    list.Add("b");
    list.InsertAt(0, "a");
    list.InsertAt(2, "d") ;  // Length(): appends
    list.InsertAt(2, "c");
    EXPECT_EQ(entriesOf(list), (Entries{"a", "b", "c", "d"}));
    list.SetAt(1, "B");
    list.Delete(3);
    list.Add(nullptr);
    EXPECT_EQ(entriesOf(list), (Entries{"a", "B", "c", ""}));

    struct Case { int first, last; const char* text; int expected; const char* reason; };
    const Case cases[] = {
        {0, 3, "c", 2, "found"},
        {0, 3, "C", -1, "case counts"},
        {3, 2, "c", -1, "first above last"},
        {3, 3, "", 3, "an empty entry"},
        {-5, 100, "a", 0, "clipped to the list"},
        {0, 3, nullptr, -1, "no text"},
        {1, 1, "a", -1, "outside the range"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.FindStringInRange(c.first, c.last, c.text), c.expected) << c.reason;
    EXPECT_EQ(list.FindString("B"), 1);

    // Out of range: nothing changes and nothing outside is touched.
    list.SetAt(4, "x");
    list.Delete(-1);
    list.InsertAt(9, "x");
    EXPECT_STREQ(list[4], "");
    EXPECT_EQ(list.Length(), 4);
}

TEST_F(StringList, CapacityGrowsPastTheFirstBlock)
{
    CXenStringList list;
    for (int i = 0; i < 3000; ++i)
        list.Add(std::to_string(i).c_str());
    EXPECT_EQ(list.Length(), 3000);
    EXPECT_STREQ(list[2999], "2999");
    EXPECT_EQ(list.FindString("1024"), 1024);
}

TEST(StringListConvert, WideToAnsi)
{
    char out[8];
    EXPECT_TRUE(CXenStringList::ConvertWtoA(L"caf\u00e9", out, 5));
    EXPECT_STREQ(out, "caf\xe9");
    EXPECT_FALSE(CXenStringList::ConvertWtoA(L"caf\u00e9", out, 4)) << "no room for the terminator";
    EXPECT_TRUE(CXenStringList::ConvertWtoA(L"\u4e2d", out, 8)) << "outside the code page: '?', still true";
    EXPECT_STREQ(out, "?");
    EXPECT_FALSE(CXenStringList::ConvertWtoA(nullptr, out, 8));
    EXPECT_FALSE(CXenStringList::ConvertWtoA(L"x", out, 0));
}

// Random lists whose entries hold no CR, LF or NUL save and load back unchanged.
TEST_F(StringList, RandomListsRoundTrip)
{
    std::mt19937 random(35);
    for (int round = 0; round < 40; ++round) {
        CXenStringList list;
        CWXenStringList wide;
        const int n = static_cast<int>(random() % 30);
        for (int i = 0; i < n; ++i) {
            std::string entry;
            std::wstring wentry;
            const int length = static_cast<int>(random() % 12);
            for (int k = 0; k < length; ++k) {
                char c;
                do
                    c = static_cast<char>(random() % 256);
                while (c == '\r' || c == '\n' || c == '\0');
                entry += c;
                wchar_t w;
                do
                    w = static_cast<wchar_t>(random() % 3 == 0 ? 0x10000 + random() % 0xFFFFF : random() % 0xD800);
                while (w == L'\r' || w == L'\n' || w == 0);
                wentry += w;
            }
            list.Add(entry.c_str());
            wide.Add(wentry.c_str());
        }
        // A last empty entry cannot come back (a final line end adds none): not generated.
        if (n > 0 && list[n - 1][0] == '\0')
            list.SetAt(n - 1, "x");
        if (n > 0 && wide[n - 1][0] == L'\0')
            wide.SetAt(n - 1, L"x");
        ASSERT_TRUE(list.SaveToFile(L"\\r.txt"));
        ASSERT_TRUE(wide.SaveToFile(L"\\rw.txt"));
        CXenStringList back;
        CWXenStringList wideBack;
        ASSERT_TRUE(back.LoadFromFile(L"\\r.txt"));
        ASSERT_TRUE(wideBack.LoadFromFile(L"\\rw.txt"));
        EXPECT_EQ(entriesOf(back), entriesOf(list)) << "round " << round;
        EXPECT_EQ(entriesOf(wideBack), entriesOf(wide)) << "round " << round;
    }
}

// Random bytes, heavy in CR, LF and NUL, of odd and even lengths.
std::string randomFile(std::mt19937& random)
{
    static const char special[] = {'\r', '\n', '\0', 'a', '\xff', '\xfe'};
    std::string bytes(random() % 200, '\0');
    for (char& c : bytes)
        c = random() % 2 ? special[random() % sizeof special] : static_cast<char>(random() % 256);
    return bytes;
}

// Loaded, saved and loaded again: the first load's entries (the 8-bit list), and for both
// lists no crash and entries free of line ends and NULs.
void exercise(StringList& test, const std::string& bytes, const std::function<void(const std::string&)>& write)
{
    write(bytes);
    CXenStringList first, second;
    ASSERT_TRUE(first.LoadFromFile(L"\\f.txt"));
    ASSERT_TRUE(first.SaveToFile(L"\\g.txt"));
    ASSERT_TRUE(second.LoadFromFile(L"\\g.txt"));
    EXPECT_EQ(entriesOf(second), entriesOf(first));
    CWXenStringList wideFirst, wideSecond;
    ASSERT_TRUE(wideFirst.LoadFromFile(L"\\f.txt"));
    ASSERT_TRUE(wideFirst.SaveToFile(L"\\h.txt"));
    ASSERT_TRUE(wideSecond.LoadFromFile(L"\\h.txt"));
    // Unpaired surrogates and a lone high surrogate before a line end survive; the entries
    // compare as loaded.
    EXPECT_EQ(entriesOf(wideSecond), entriesOf(wideFirst));
    (void)test;
}

TEST_F(StringList, FuzzLoadSaveLoad)
{
    const FuzzBudget budget = fuzzBudget(3535u);
    const auto write = [&](const std::string& bytes) { writeHost("f.txt", bytes); };
    // Regression inputs: short and edge cases first.
    const std::vector<std::string> kept = {std::string("\r", 1), std::string("\n\r\n\r", 4), std::string("\0", 1),
                                           std::string("\r\0\n\0", 4), std::string("\x00\xd8\r\0", 4),
                                           std::string("\x00\xdc", 2), std::string("a\r\n\r\r\n\n", 7)};
    for (const std::string& bytes : kept)
        exercise(*this, bytes, write);
    std::mt19937 random(budget.seed);
    long runs = 0;
    for (; budget.goesOn(runs, 300); ++runs) {
        exercise(*this, randomFile(random), write);
        if (HasFailure())
            break;
    }
    if (budget.seconds > 0.0)
        std::printf("%ld random files\n", runs);
}

} // namespace
