// Text lines and narrow strings: ReadLine over a CFile, WriteString to a FILE*, and the
// copies between wide strings and 8-bit buffers.
#include "numeric/textLines.h"

#include "testUtil.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A host temporary file holding `bytes`, removed at the end of the test.
class TempFile {
public:
    explicit TempFile(const std::string& bytes)
    {
        const char* base = std::getenv("FIELDCORE_TEST_TMP");
        std::string dir = (base != nullptr && *base != '\0') ? base : "/tmp";
        ::mkdir(dir.c_str(), 0777);
        m_path = dir + "/textLines_XXXXXX";
        int fd = ::mkstemp(&m_path[0]);
        if (fd >= 0) {
            ssize_t written = ::write(fd, bytes.data(), bytes.size());
            (void)written;
            ::close(fd);
        }
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

TEST(ReadLine, LinesEndsAndEndOfFile)
{
    TempFile temp("first\r\n\r\n  second  \n   \nthird\xE9\x80");
    int fd = ::open(temp.path().c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    CFile file(fd);
    struct Step {
        std::wstring line;
        unsigned long long position;  // file position after the call
        const char* reason;
    };
    const std::vector<Step> steps = {
        {L"first", 9, "CR LF CR LF consumed, the next byte given back"},
        {L"  second  ", 20, "leading and trailing blanks kept"},
        {L"", 24, "a line of blanks comes back empty"},
        {L"third\u00E9\u20AC", 31, "last line without a line end; code-page bytes widened"},
        {L"", 31, "end of file: empty line, position at the end"},
    };
    for (const Step& s : steps) {
        CString line(L"stale");
        ReadLine(file, line);
        EXPECT_EQ(s.line, line.str()) << s.reason;
        EXPECT_EQ(s.position, file.GetPosition()) << s.reason;
    }
    file.Close();
}

TEST(ReadLine, LoneCarriageReturnsEndLines)
{
    TempFile temp("a\rb\r\r\rc");
    int fd = ::open(temp.path().c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    CFile file(fd);
    std::vector<std::wstring> lines;
    for (int i = 0; i < 3; ++i) {
        CString line;
        ReadLine(file, line);
        lines.push_back(line.str());
    }
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"c"}), lines);
    EXPECT_EQ(file.GetLength(), file.GetPosition());
    file.Close();
}

TEST(WriteString, WritesCodePageBytes)
{
    TempFile temp("");
    FILE* out = std::fopen(temp.path().c_str(), "wb");
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(WriteString(out, CString(L"ab\u00E9\u20AC\u4E00\r\n")));
    EXPECT_TRUE(WriteString(out, CString()));
    std::fclose(out);

    FILE* in = std::fopen(temp.path().c_str(), "rb");
    ASSERT_NE(in, nullptr);
    char buf[32] = {};
    size_t n = std::fread(buf, 1, sizeof buf, in);
    std::fclose(in);
    EXPECT_EQ(std::string("ab\xE9\x80?\r\n"), std::string(buf, n));
}

TEST(WriteString, ReportsAFailedWrite)
{
    TempFile temp("x");
    FILE* readOnly = std::fopen(temp.path().c_str(), "rb");
    ASSERT_NE(readOnly, nullptr);
    EXPECT_FALSE(WriteString(readOnly, CString(L"abc")));
    EXPECT_TRUE(WriteString(readOnly, CString()));  // nothing to write
    std::fclose(readOnly);
}

TEST(NarrowStrings, Copies)
{
    CString out(L"old");
    ASCII2CString("a\xE9\x80", out);
    EXPECT_EQ(std::wstring(L"a\u00E9\u20AC"), out.str());
    ASCII2CString(nullptr, out);
    EXPECT_TRUE(out.IsEmpty());

    struct Case {
        const wchar_t* text;
        int max;
        std::string expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {L"hello", 3, "hel", "cut at max"},
        {L"hello", 10, "hello", "shorter than max"},
        {L"hello", 5, "hello", "exactly max"},
        {L"hello", 0, "", "max 0"},
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
