// Text lines and narrow strings: ReadLine over a CFile, WriteString to a FILE*, and the
// copies between wide strings and 8-bit buffers.
#include "numeric/textLines.h"

#include "testUtil.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A host temporary file holding `bytes`, removed at the end of the test.
struct TempFile {
    std::string path;
    explicit TempFile(const std::string& bytes)
    {
        const char* base = std::getenv("FIELDCORE_TEST_TMP");
        const std::string dir = (base != nullptr && *base != '\0') ? base : "/tmp";
        ::mkdir(dir.c_str(), 0777);
        path = dir + "/textLines_XXXXXX";
        const int fd = ::mkstemp(&path[0]);
        if (fd >= 0) {
            (void)!::write(fd, bytes.data(), bytes.size());
            ::close(fd);
        }
    }
    ~TempFile() { std::remove(path.c_str()); }
};

TEST(ReadLine, LinesEndsAndEndOfFile)
{
    // Code-page bytes above 0x7F widen to their characters (0xE9 e-acute, 0x80 the euro sign).
    struct Step { std::wstring line; unsigned long long position; const char* reason; };
    const std::vector<std::pair<std::string, std::vector<Step>>> files = {
        {"first\r\n\r\n  second  \n   \nthird\xE9\x80",
         {{L"first", 9, "CR LF CR LF consumed, the next byte given back"},
          {L"  second  ", 20, "leading and trailing blanks kept"}, {L"", 24, "a line of blanks comes back empty"},
          {L"third\u00E9\u20AC", 31, "last line without a line end; code-page bytes widened"},
          {L"", 31, "end of file: empty line, position at the end"}}},
        {"a\rb\r\r\rc", {{L"a", 2, "lone CR ends a line"}, {L"b", 6, "runs of CR collapse"}, {L"c", 7, "last"}}},
    };
    for (const auto& f : files) {
        TempFile temp(f.first);
        const int fd = ::open(temp.path.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        CFile file(fd);
        for (const Step& s : f.second) {
            CString line(L"stale");
            ReadLine(file, line);
            EXPECT_TRUE(s.line == line.str() && s.position == file.GetPosition()) << s.reason << ": " << ToUtf8(line);
        }
        file.Close();
    }
}

TEST(WriteString, WritesCodePageBytesAndReportsFailure)
{
    TempFile temp("");
    FILE* out = std::fopen(temp.path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(WriteString(out, CString(L"ab\u00E9\u20AC\u4E00\r\n")) && WriteString(out, CString()));
    std::fclose(out);
    FILE* in = std::fopen(temp.path.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    char buf[32] = {};
    const size_t n = std::fread(buf, 1, sizeof buf, in);
    EXPECT_EQ(std::string("ab\xE9\x80?\r\n"), std::string(buf, n));
    EXPECT_FALSE(WriteString(in, CString(L"abc"))) << "a stream open for reading";
    EXPECT_TRUE(WriteString(in, CString())) << "nothing to write";
    std::fclose(in);
}

TEST(NarrowStrings, Copies)
{
    CString out(L"old");
    ASCII2CString("a\xE9\x80", out);
    EXPECT_EQ(std::wstring(L"a\u00E9\u20AC"), out.str());
    ASCII2CString(nullptr, out);
    EXPECT_TRUE(out.IsEmpty());
    struct Case { const wchar_t* text; int max; std::string expected; const char* reason; };
    const Case cases[] = {
        {L"hello", 3, "hel", "cut at max"}, {L"hello", 10, "hello", "shorter than max"},
        {L"hello", 5, "hello", "exactly max"}, {L"hello", 0, "", "max 0"},
        {L"\u0141\u00E9", 2, "\x41\xE9", "low 8 bits of each character"},
    };
    for (const Case& c : cases) {
        char buf[16];
        std::fill(buf, buf + sizeof buf, '#');
        CString2ASCII(c.text, buf, c.max);
        EXPECT_EQ(c.expected, std::string(buf)) << c.reason;
        EXPECT_EQ('#', buf[c.expected.size() + 1]) << c.reason << ": wrote past the terminator";
    }
}

} // namespace
