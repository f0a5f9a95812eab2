// The binary file of the platform layer, on real files in a temporary folder.
#include "platform/CFile.h"
#include "platform/deviceRoot.h"
#include "platform/textCodec.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

void PrintTo(const CString& s, std::ostream* os) { *os << '"' << ToUtf8(s) << '"'; }

namespace {

namespace fs = std::filesystem;

// A fresh folder per test, inside $FIELDCORE_TEST_TMP when set, else under /tmp, serves as
// the device root: the device path "\\name" is the host file m_dir/name.
class CFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* base = std::getenv("FIELDCORE_TEST_TMP");
        std::string root = (base != nullptr && *base != '\0') ? base : "/tmp";
        std::error_code ignored;
        fs::create_directories(root, ignored);
        std::string pattern = root + "/platform_file_XXXXXX";
        ASSERT_NE(::mkdtemp(&pattern[0]), nullptr) << "cannot make a folder in " << root;
        m_dir = pattern;
        setDeviceRoot(m_dir);
    }
    void TearDown() override
    {
        setDeviceRoot(std::string());
        std::error_code ignored;
        if (!m_dir.empty())
            fs::remove_all(m_dir, ignored);
    }
    std::string hostPath(const std::string& name) const { return m_dir + "/" + name; }
    // The device path of a file in the root; `name` is UTF-8.
    CString path(const std::string& name) const { return CString((L"\\" + Utf8ToWide(name)).c_str()); }
    std::string readHost(const std::string& name) const
    {
        std::ifstream in(hostPath(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void writeHost(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(hostPath(name), std::ios::binary) << bytes;
    }

    std::string m_dir;
};

bool isOpenDescriptor(int fd) { return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

TEST_F(CFileTest, WriteSeekReadRoundTrip)
{
    CFile f;
    ASSERT_TRUE(f.Open(path("data.bin"), CFile::modeCreate | CFile::modeReadWrite));
    const std::string bytes("0123456789\0\xFF" "abc", 15);
    EXPECT_TRUE(f.Write(bytes.data(), static_cast<UINT>(bytes.size())));
    EXPECT_EQ(f.GetPosition(), 15u);
    EXPECT_EQ(f.GetLength(), 15u);

    f.SeekToBegin();
    std::string back(15, '?');
    EXPECT_EQ(f.Read(&back[0], 15), 15u);
    EXPECT_EQ(back, bytes);

    EXPECT_EQ(f.Seek(-3, CFile::end), 12);
    char tail[8] = {};
    EXPECT_EQ(f.Read(tail, 8), 3u) << "a read at the end gives what is left";
    EXPECT_EQ(std::string(tail), "abc");
    EXPECT_EQ(f.Read(tail, 8), 0u) << "nothing left";

    EXPECT_EQ(f.Seek(2, CFile::begin), 2);
    EXPECT_TRUE(f.Write("XY", 2));
    f.Flush();
    f.Close();
    EXPECT_EQ(f.m_hFile, CFile::hFileNull);
    EXPECT_EQ(readHost("data.bin"), std::string("01XY456789\0\xFF" "abc", 15));
}

TEST_F(CFileTest, Seek)
{
    writeHost("s.bin", "abcdefghij");
    CFile f;
    ASSERT_TRUE(f.Open(path("s.bin"), CFile::modeRead));
    struct Case {
        LONGLONG offset;
        UINT from;
        LONGLONG expected;  // -1: fails, position unchanged
        const char* reason;
    };
    const std::vector<Case> cases = {
        {4, CFile::begin, 4, "from the beginning"},
        {3, CFile::current, 7, "forward from the position"},
        {-5, CFile::current, 2, "back from the position"},
        {0, CFile::end, 10, "the end"},
        {-10, CFile::end, 0, "back to the start from the end"},
        {-11, CFile::end, -1, "before the start fails"},
        {-1, CFile::begin, -1, "negative from the beginning fails"},
        {5, CFile::end, 15, "past the end is allowed"},
        {1, 7u, -1, "unknown origin fails"},
    };
    for (const Case& c : cases) {
        const ULONGLONG before = f.GetPosition();
        EXPECT_EQ(f.Seek(c.offset, c.from), c.expected) << c.reason;
        EXPECT_EQ(f.GetPosition(), c.expected < 0 ? before : static_cast<ULONGLONG>(c.expected)) << c.reason;
    }
    EXPECT_EQ(f.SeekToEnd(), 10u);
    f.SeekToBegin();
    EXPECT_EQ(f.GetPosition(), 0u);
}

TEST_F(CFileTest, OpenModes)
{
    writeHost("keep.txt", "old content");
    struct Case {
        const char* name;
        UINT flags;
        bool opens;
        const char* contentAfter;  // null: the file must not exist
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"missing.txt", CFile::modeRead, false, nullptr, "read needs an existing file"},
        {"missing.txt", CFile::modeWrite, false, nullptr, "write without create needs an existing file"},
        {"new.txt", CFile::modeCreate | CFile::modeWrite, true, "", "create makes the file"},
        {"keep.txt", CFile::modeWrite | CFile::shareDenyWrite, true, "old content", "open for writing keeps it"},
        {"keep.txt", CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite, true, "old content",
         "no-truncate keeps the content"},
        {"keep.txt", CFile::modeCreate | CFile::modeWrite | CFile::typeBinary, true, "", "create truncates"},
    };
    for (const Case& c : cases) {
        CFile f;
        EXPECT_EQ(f.Open(path(c.name), c.flags) != FALSE, c.opens) << c.reason;
        EXPECT_EQ(f.m_hFile != CFile::hFileNull, c.opens) << c.reason;
        f.Close();
        if (c.contentAfter == nullptr) {
            EXPECT_FALSE(fs::exists(hostPath(c.name))) << c.reason;
        } else {
            EXPECT_EQ(readHost(c.name), c.contentAfter) << c.reason;
        }
    }
    CFile f;
    EXPECT_FALSE(f.Open(L"\\", CFile::modeRead)) << "the root folder is not a file";
    EXPECT_FALSE(f.Open(L"", CFile::modeRead)) << "empty path";
    EXPECT_FALSE(f.Open(nullptr, CFile::modeRead)) << "null path";
    EXPECT_EQ(f.GetLength(), 0u) << "a closed file has no length";
    EXPECT_EQ(f.Seek(0, CFile::begin), -1) << "a closed file cannot seek";
}

TEST_F(CFileTest, AccessFollowsTheMode)
{
    writeHost("r.txt", "data");
    CFile readOnly(path("r.txt"), CFile::modeRead);
    ASSERT_NE(readOnly.m_hFile, CFile::hFileNull);
    EXPECT_FALSE(readOnly.Write("x", 1)) << "writing a file opened for reading fails";
    CFile writeOnly(path("r.txt"), CFile::modeWrite);
    ASSERT_NE(writeOnly.m_hFile, CFile::hFileNull);
    char buffer[4];
    EXPECT_EQ(writeOnly.Read(buffer, 4), 0u) << "reading a file opened for writing gives nothing";
    CFile closed;
    EXPECT_EQ(closed.Read(buffer, 4), 0u);
    EXPECT_FALSE(closed.Write("x", 1));
}

TEST_F(CFileTest, SetLengthAndGapsAreZeros)
{
    CFile f(path("len.bin"), CFile::modeCreate | CFile::modeReadWrite);
    ASSERT_TRUE(f.Write("abcdef", 6));
    EXPECT_TRUE(f.SetLength(3));
    EXPECT_EQ(f.GetLength(), 3u);
    EXPECT_EQ(f.GetPosition(), 6u) << "the position stays";
    EXPECT_TRUE(f.SetLength(5));
    EXPECT_EQ(f.Seek(8, CFile::begin), 8);
    EXPECT_TRUE(f.Write("Z", 1));
    f.Close();
    EXPECT_EQ(readHost("len.bin"), std::string("abc\0\0\0\0\0Z", 9));
}

TEST_F(CFileTest, NamesAndSeparators)
{
    ASSERT_TRUE(fs::create_directories(hostPath("sub")));
    struct Case {
        const wchar_t* devicePath;
        const char* hostName;  // relative to the root, UTF-8
        const wchar_t* fileName;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {L"\\sub\\a.dat", "sub/a.dat", L"a.dat", "backslashes"},
        {L"/sub/b.dat", "sub/b.dat", L"b.dat", "slashes"},
        {L"\\sub/c.dat", "sub/c.dat", L"c.dat", "mixed"},
        {L"\\caf\u00E9.txt", "caf\xC3\xA9.txt", L"caf\u00E9.txt", "host names are UTF-8"},
    };
    for (const Case& c : cases) {
        CFile f;
        ASSERT_TRUE(f.Open(c.devicePath, CFile::modeCreate | CFile::modeWrite)) << c.reason;
        EXPECT_EQ(f.GetFilePath(), c.devicePath) << "the path as given, " << c.reason;
        EXPECT_EQ(f.GetFileName(), c.fileName) << c.reason;
        f.Close();
        EXPECT_TRUE(fs::exists(hostPath(c.hostName))) << c.reason;
        EXPECT_EQ(f.GetFilePath(), L"") << "a closed file has no path, " << c.reason;
    }
}

TEST_F(CFileTest, DescriptorOwnership)
{
    int fd;
    {
        CFile f(path("own.bin"), CFile::modeCreate | CFile::modeWrite);
        fd = f.m_hFile;
        ASSERT_NE(fd, CFile::hFileNull);
        ASSERT_TRUE(isOpenDescriptor(fd));
    }
    EXPECT_FALSE(isOpenDescriptor(fd)) << "the destructor closes a file it opened";

    const int adopted = ::open(hostPath("own.bin").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(adopted, 0);
    {
        CFile f(adopted);
        EXPECT_EQ(f.GetLength(), 0u);
    }
    EXPECT_TRUE(isOpenDescriptor(adopted)) << "a descriptor handed in stays open";
    {
        CFile f(adopted);
        f.Close();
    }
    EXPECT_FALSE(isOpenDescriptor(adopted)) << "Close closes it";

    CFile reopened;
    ASSERT_TRUE(reopened.Open(path("own.bin"), CFile::modeWrite));
    const int first = reopened.m_hFile;
    ASSERT_TRUE(reopened.Open(path("own.bin"), CFile::modeRead));
    EXPECT_FALSE(first != reopened.m_hFile && isOpenDescriptor(first)) << "Open closes the previous file";
}

} // namespace
