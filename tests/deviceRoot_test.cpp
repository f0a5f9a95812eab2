// The device root holds: no file operation follows a symbolic link out of it, names the
// device cannot hold and the layer's own files are refused, the root cannot be removed, and
// an embedded NUL ends a path. Each test in a device root of its own, with a host folder
// outside it that links point to.
#include "deviceRootFixture.h"

#include "files/fileFuncs.h"
#include "platform/CFile.h"
#include "platform/deviceRoot.h"
#include "platform/fileSystem.h"
#include "platform/lastError.h"

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

class RootHolds : public DeviceRootTest {
protected:
    void SetUp() override
    {
        DeviceRootTest::SetUp();
        m_outside = m_root + "-outside";
        std::filesystem::create_directories(m_outside + "/inner");
        std::ofstream(m_outside + "/keep.txt") << "outside";
        std::ofstream(m_outside + "/inner/deep.txt") << "outside";
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_outside, ignored);
        DeviceRootTest::TearDown();
    }
    void link(const std::string& target, const std::string& relative) const
    {
        ASSERT_EQ(::symlink(target.c_str(), host(relative).c_str()), 0) << relative;
    }
    bool outsideIntact() const
    {
        return std::filesystem::exists(m_outside + "/keep.txt") &&
               std::filesystem::exists(m_outside + "/inner/deep.txt");
    }
    std::string m_outside;
};

TEST_F(RootHolds, TheLinkOutOfTheRootIsNeverFollowed)
{
    writeHost("tree/file.txt", "x");
    link(m_outside, "tree/out");
    link(m_outside + "/keep.txt", "tree/outfile");
    link(m_outside + "/none", "dangling");

    CFile file;
    EXPECT_FALSE(file.Open(L"\\tree\\out\\keep.txt", CFile::modeRead));
    EXPECT_FALSE(file.Open(L"\\tree\\outfile", CFile::modeRead));
    EXPECT_FALSE(file.Open(L"\\tree\\out\\new.txt", CFile::modeWrite | CFile::modeCreate));
    EXPECT_FALSE(file.Open(L"\\dangling", CFile::modeWrite | CFile::modeCreate));
    EXPECT_FALSE(std::filesystem::exists(m_outside + "/none")) << "created through a dangling link";
    EXPECT_EQ(deviceFopen(L"\\tree\\outfile", "r"), nullptr);
    WIN32_FIND_DATAW data;
    EXPECT_EQ(FindFirstFileW(L"\\tree\\out\\*", &data), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CreateDirectoryW(L"\\tree\\out\\made", nullptr));
    EXPECT_FALSE(CopyFileW(L"\\tree\\outfile", L"\\copy.txt", FALSE));
    EXPECT_FALSE(getFileTimes(L"\\tree\\out", nullptr, nullptr, nullptr));

    const DWORD attributes = GetFileAttributesW(L"\\tree\\out");
    EXPECT_EQ(attributes, FILE_ATTRIBUTE_REPARSE_POINT) << "a link out shows itself, no folder";
    EXPECT_EQ(FileFuncsEx::CopyDirectory(L"\\tree", L"\\copy", TRUE), 0) << "a link is refused";
    EXPECT_FALSE(hostExists("copy/out/keep.txt"));

    EXPECT_EQ(FileFuncsEx::RemoveDirectoryTree(L"\\tree"), 1);
    EXPECT_FALSE(hostExists("tree"));
    EXPECT_TRUE(outsideIntact()) << "deleting the tree emptied the folder outside the root";
}

TEST_F(RootHolds, DeletingALinkedTreeRemovesTheLinkOnly)
{
    link(m_outside, "out");
    EXPECT_EQ(FileFuncsEx::RemoveDirectoryTree(L"\\out"), 1);
    EXPECT_FALSE(std::filesystem::is_symlink(host("out")));
    EXPECT_TRUE(outsideIntact());

    // A link inside the root is followed as the folder it names, but deleting a tree that
    // holds it removes the link, not the folder's contents.
    writeHost("real/a.txt", "a");
    writeHost("tree/b.txt", "b");
    link(host("real"), "tree/alias");
    EXPECT_EQ(GetFileAttributesW(L"\\tree\\alias"), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
    CFile file;
    EXPECT_TRUE(file.Open(L"\\tree\\alias\\a.txt", CFile::modeRead)) << "a link inside the root";
    file.Close();
    EXPECT_FALSE(RemoveDirectoryW(L"\\tree\\alias")) << "RemoveDirectoryW refuses a link";
    EXPECT_EQ(FileFuncsEx::RemoveDirectoryTree(L"\\tree"), 1);
    EXPECT_TRUE(hostExists("real/a.txt"));
}

TEST_F(RootHolds, TheLineFeedNameAndOtherControlCharactersAreRefused)
{
    writeHost("victim.txt", "v");
    // The name once wrote a second attribute record making "victim.txt" read-only.
    const wchar_t* evil = L"\\evil\n00000001 victim.txt";
    CFile file;
    EXPECT_FALSE(file.Open(evil, CFile::modeWrite | CFile::modeCreate));
    EXPECT_FALSE(SetFileAttributesW(evil, FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
    EXPECT_FALSE(CreateDirectoryW(L"\\tab\there", nullptr));
    EXPECT_FALSE(CopyFileW(L"\\victim.txt", L"\\bell\a", FALSE));
    EXPECT_FALSE(MoveFileW(L"\\victim.txt", L"\\del\x7f"));
    EXPECT_EQ(GetFileAttributesW(L"\\victim.txt"), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(DeleteFileW(L"\\victim.txt"));
}

TEST_F(RootHolds, TheLayersOwnFilesAreNotReachable)
{
    ASSERT_TRUE(SetFileAttributesW(L"\\", FILE_ATTRIBUTE_NORMAL) == FALSE);  // the root has none
    writeHost("f.txt", "f");
    ASSERT_TRUE(SetFileAttributesW(L"\\f.txt", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(hostExists(".fieldcore-attributes"));
    CFile file;
    for (const wchar_t* name : {L"\\.fieldcore-attributes", L"\\.FIELDCORE-ATTRIBUTES", L"\\.fieldcore-card"}) {
        EXPECT_FALSE(file.Open(name, CFile::modeReadWrite | CFile::modeCreate)) << name;
        EXPECT_FALSE(DeleteFileW(name)) << name;
    }
    EXPECT_EQ(deviceFopen("\\.fieldcore-attributes", "w"), nullptr);
    EXPECT_FALSE(deviceRemove("\\.fieldcore-attributes"));
    EXPECT_TRUE(hostExists(".fieldcore-attributes"));
    EXPECT_NE(GetFileAttributesW(L"\\f.txt") & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(RootHolds, APlantedLinkAtTheLayersNewFileNamesIsNotFollowed)
{
    // Another user of the folder plants links where the layer makes its new files.
    writeHost("a.txt", "a");
    link(m_outside + "/keep.txt", ".fieldcore-attributes.new");
    EXPECT_TRUE(SetFileAttributesW(L"\\a.txt", FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(GetFileAttributesW(L"\\a.txt"), FILE_ATTRIBUTE_HIDDEN);
    std::ifstream kept(m_outside + "/keep.txt");
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "outside");
}

TEST_F(RootHolds, TheRootCannotBeRemoved)
{
    for (const char* path : {"", "\\", "\\a\\..", "."})
        EXPECT_FALSE(deviceRemove(path)) << "'" << path << "'";
    EXPECT_FALSE(RemoveDirectoryW(L"\\"));
    EXPECT_FALSE(MoveFileW(L"\\", L"\\elsewhere"));
    EXPECT_TRUE(std::filesystem::is_directory(m_root));
}

TEST_F(RootHolds, AnEmbeddedNulEndsThePathInEveryForm)
{
    const std::wstring withNul(L"\\a\0\\..\\..\\..\\x", 14);
    EXPECT_EQ(deviceToHostPath(withNul), deviceToHostPath(L"\\a"));
    EXPECT_EQ(deviceToHostPath(withNul.c_str()), deviceToHostPath(L"\\a"));
    EXPECT_EQ(deviceToHostPath(std::wstring(L"\0", 1)), m_root);
}

} // namespace
