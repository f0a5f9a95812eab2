// The binary file of the platform layer, on real files in a device root of the test's own.
#include "deviceRootFixture.h"

#include "platform/CFile.h"
#include "platform/textCodec.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

void PrintTo(const CString& s, std::ostream* os) { *os << '"' << ToUtf8(s) << '"'; }

namespace {

class CFileTest : public DeviceRootTest {};

bool isOpenDescriptor(int fd) { return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

TEST_F(CFileTest, WriteSeekReadRoundTrip)
{
    CFile f;
    ASSERT_TRUE(f.Open(L"\\data.bin", CFile::modeCreate | CFile::modeReadWrite));
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
    f.Close();
    EXPECT_EQ(f.m_hFile, CFile::hFileNull);
    EXPECT_EQ(readHost("data.bin"), std::string("01XY456789\0\xFF" "abc", 15));
}

TEST_F(CFileTest, Seek)
{
    writeHost("s.bin", "abcdefghij");
    CFile f;
    ASSERT_TRUE(f.Open(L"\\s.bin", CFile::modeRead));
    struct Case { LONGLONG offset; UINT from; LONGLONG expected; const char* reason; };  // -1: fails, stays
    const std::vector<Case> cases = {
        {4, CFile::begin, 4, "from the beginning"}, {3, CFile::current, 7, "forward from the position"},
        {-5, CFile::current, 2, "back from the position"}, {0, CFile::end, 10, "the end"},
        {-10, CFile::end, 0, "back to the start from the end"}, {-11, CFile::end, -1, "before the start fails"},
        {-1, CFile::begin, -1, "negative from the beginning fails"}, {5, CFile::end, 15, "past the end is allowed"},
        {1, 7u, -1, "unknown origin fails"},
    };
    for (const Case& c : cases) {
        const ULONGLONG before = f.GetPosition();
        EXPECT_EQ(f.Seek(c.offset, c.from), c.expected) << c.reason;
        EXPECT_EQ(f.GetPosition(), c.expected < 0 ? before : static_cast<ULONGLONG>(c.expected)) << c.reason;
    }
    EXPECT_EQ(f.SeekToEnd(), 10u);
}

TEST_F(CFileTest, OpenModesAndAccess)
{
    writeHost("keep.txt", "old content");
    struct Case { const char* name; UINT flags; bool opens; const char* contentAfter; const char* reason; };
    const std::vector<Case> cases = {  // contentAfter null: the file must not exist
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
        EXPECT_EQ(f.Open(Utf8ToWide(std::string("\\") + c.name).c_str(), c.flags) != FALSE, c.opens) << c.reason;
        EXPECT_EQ(f.m_hFile != CFile::hFileNull, c.opens) << c.reason;
        f.Close();
        EXPECT_EQ(hostExists(c.name), c.contentAfter != nullptr) << c.reason;
        EXPECT_EQ(readHost(c.name), c.contentAfter ? c.contentAfter : "") << c.reason;
    }
    CFile f;
    EXPECT_FALSE(f.Open(L"\\", CFile::modeRead)) << "the root folder is not a file";
    EXPECT_FALSE(f.Open(nullptr, CFile::modeRead)) << "null path";
    EXPECT_EQ(f.GetLength(), 0u) << "a closed file has no length";
    EXPECT_EQ(f.Seek(0, CFile::begin), -1) << "a closed file cannot seek";
    char buffer[4];
    EXPECT_EQ(f.Read(buffer, 4), 0u);
    EXPECT_FALSE(f.Write("x", 1));
    CFile readOnly(L"\\keep.txt", CFile::modeRead);
    EXPECT_FALSE(readOnly.Write("x", 1)) << "writing a file opened for reading fails";
    CFile writeOnly(L"\\keep.txt", CFile::modeWrite);
    EXPECT_EQ(writeOnly.Read(buffer, 4), 0u) << "reading a file opened for writing gives nothing";
}

TEST_F(CFileTest, SetLengthAndGapsAreZeros)
{
    CFile f(L"\\len.bin", CFile::modeCreate | CFile::modeReadWrite);
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
    ASSERT_TRUE(std::filesystem::create_directories(host("sub")));
    struct Case { const wchar_t* devicePath; const char* hostName; const wchar_t* fileName; const char* reason; };
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
        EXPECT_TRUE(hostExists(c.hostName)) << c.reason;
        EXPECT_EQ(f.GetFilePath(), L"") << "a closed file has no path, " << c.reason;
    }
}

TEST_F(CFileTest, DescriptorOwnership)
{
    int fd;
    {
        CFile f(L"\\own.bin", CFile::modeCreate | CFile::modeWrite);
        fd = f.m_hFile;
        ASSERT_TRUE(isOpenDescriptor(fd));
    }
    EXPECT_FALSE(isOpenDescriptor(fd)) << "the destructor closes a file it opened";
    const int adopted = ::open(host("own.bin").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(adopted, 0);
    { CFile f(adopted); }
    EXPECT_TRUE(isOpenDescriptor(adopted)) << "a descriptor handed in stays open";
    CFile(adopted).Close();
    EXPECT_FALSE(isOpenDescriptor(adopted)) << "Close closes it";
    CFile reopened;
    ASSERT_TRUE(reopened.Open(L"\\own.bin", CFile::modeWrite));
    const int first = reopened.m_hFile;
    ASSERT_TRUE(reopened.Open(L"\\own.bin", CFile::modeRead));
    EXPECT_FALSE(first != reopened.m_hFile && isOpenDescriptor(first)) << "Open closes the previous file";
}

} // namespace
