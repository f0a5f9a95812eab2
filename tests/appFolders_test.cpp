// The application's folders, the file utilities and the 8-bit line file, each test in a
// device root of its own.
#include "deviceRootFixture.h"

#include "files/appFolders.h"
#include "files/fileAnsi.h"
#include "files/fileFuncs.h"
#include "platform/fileSystem.h"
#include "platform/textCodec.h"

#include <string>
#include <vector>

void PrintTo(const CString& s, std::ostream* os) { *os << '"' << ToUtf8(s) << '"'; }

namespace {

class AppFolders : public DeviceRootTest {};

FILETIME utcTime(WORD year, WORD month, WORD day, WORD hour, WORD minute)
{
    SYSTEMTIME st = {year, month, 0, day, hour, minute, 0, 0};
    FILETIME ft{};
    EXPECT_TRUE(SystemTimeToFileTime(&st, &ft));
    return ft;
}

void setWriteTime(const wchar_t* path, const FILETIME& time)
{
    ASSERT_TRUE(setFileTimes(path, nullptr, nullptr, &time));
}

// Sets TZ for the life of the object.
class ScopedZone {
public:
    explicit ScopedZone(const char* zone)
        : m_had(std::getenv("TZ") != nullptr), m_old(m_had ? std::getenv("TZ") : "")
    {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ScopedZone()
    {
        m_had ? ::setenv("TZ", m_old.c_str(), 1) : ::unsetenv("TZ");
        ::tzset();
    }

private:
    bool m_had;
    std::string m_old;
};

// ---- Folders and names ----

// The folders derived from the executable's path and the paths composed of several pieces
// (the getters that only return a fixed text are not listed).
TEST_F(AppFolders, FoldersAndComposedPaths)
{
    using namespace AppStrPaths;
    const CString root = L"\\Program Files\\fieldcore";
    struct Case { CString actual; CString expected; const char* name; };
    const std::vector<Case> cases = {
        {GetApplicationPath(), root + L"\\fieldcore.exe", "GetApplicationPath"}, {GetExeDir(), root, "GetExeDir"},
        {GetRootDir(), root, "GetRootDir"}, {GetDocsDir(), root, "GetDocsDir"},
        {GetDefaultJobDBPath(), root + L"\\Jobs\\Default.osd", "GetDefaultJobDBPath"},
        {AppStrXForm::GetTsAplFileName(), root + L"\\Geo\\_apl2_.ini", "GetTsAplFileName"},
        {GetLastGeoidsPath(), L"\\Program Files\\osd_setup\\lastgeoids", "GetLastGeoidsPath"},
        {GetTempKestalPath(), L"\\temp\\Ostrand", "GetTempKestalPath"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.name;
    EXPECT_TRUE(FileFuncs::IsDirExist(L"\\temp")) << "the temporary folder is made when missing";
}

TEST(AppFolderRules, UserSettingsFolderOfARoot)
{
    struct Case { const wchar_t* root; const wchar_t* expected; const char* reason; };
    const std::vector<Case> cases = {
        {L"\\Program Files\\fieldcore", L"\\Program Files\\osd_setup", "cut after the second backslash"},
        {L"\\Storage Card\\a\\b", L"\\Storage Card\\osd_setup", "the top folder of the volume"},
        {L"\\Storage Card", L"\\Storage Card\\osd_setup", "a root at the top: the root plus a backslash"},
        {L"\\", L"\\\\osd_setup", "only the leading backslash: one more is appended"},
        {L"", L"\\osd_setup", "no backslash at all"},
        {L"Flash", L"Flash\\osd_setup", "no backslash, a name"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UserSettingsPathFor(c.root), CString(c.expected)) << c.reason;
}

TEST_F(AppFolders, OneTimeFoldersAreCreatedHidden)
{
    ASSERT_TRUE(CreateDirectoryW(L"\\Storage Card", nullptr));
    EXPECT_EQ(MakeUserSettingsFolder(L"\\Storage Card\\Program"), CString(L"\\Storage Card\\osd_setup"));
    EXPECT_EQ(GetFileAttributesW(L"\\Storage Card\\osd_setup"),
              FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(MakeTempProgramFolder(), CString(L"\\temp\\Ostrand"));
    EXPECT_EQ(GetFileAttributesW(L"\\temp\\Ostrand"), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(GetFileAttributesW(L"\\temp"), FILE_ATTRIBUTE_DIRECTORY) << "only the last level is hidden";
}

// ---- Path pieces ----

TEST(FileFuncsPaths, PiecesOfPaths)
{
    using namespace FileFuncs;
    struct Case {
        const wchar_t* path;
        int nameStart, extStart;
        const wchar_t *nameWithExt, *nameWithoutExt, *pathWithoutExt, *ext, *dir;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {L"\\Jobs\\road.osd", 6, 10, L"road.osd", L"road", L"\\Jobs\\road", L"osd", L"\\Jobs", "ordinary"},
        {L"name", 0, 4, L"name", L"name", L"name", L"", L"", "no dot: the extension starts at the length"},
        {L"a.", 0, 1, L"a.", L"a", L"a", L"", L"", "nothing after the dot: empty extension"},
        {L"\\a.d\\file", 5, 2, L"file", L"", L"\\a", L"d\\file", L"\\a.d",
         "the dot of a folder counts when the file name has none"},
        {L"c:/x/y.tar.gz", 5, 10, L"y.tar.gz", L"y.tar", L"c:/x/y.tar", L"gz", L"c:/x", "forward slashes, two dots"},
        {L"\\top.txt", 1, 4, L"top.txt", L"top", L"\\top", L"txt", L"", "a file at the top has no folder"},
        {L"", 0, 0, L"", L"", L"", L"", L"", "empty"},
    };
    for (const Case& c : cases) {
        const CString p(c.path);
        EXPECT_EQ(GetFileNameStart(p), c.nameStart) << c.reason;
        EXPECT_EQ(GetFileExtStart(p), c.extStart) << c.reason;
        EXPECT_EQ(ExtractFileNameWithExtFromPathName(p), CString(c.nameWithExt)) << c.reason;
        EXPECT_EQ(ExtractFileNameWithoutExtFromPathName(p), CString(c.nameWithoutExt)) << c.reason;
        EXPECT_EQ(ExtractPathNameWithoutExtFromPathName(p), CString(c.pathWithoutExt)) << c.reason;
        EXPECT_EQ(ExtractFileNameExtFromPathName(p), CString(c.ext)) << c.reason;
        EXPECT_EQ(ExtractDirNameWithoutSlashFromPathName(p), CString(c.dir)) << c.reason;
    }
}

// ---- Existence and folders ----

TEST_F(AppFolders, ExistenceAndFolderCreation)
{
    writeHost("Jobs/a.osd", "x");
    writeHost("file", "x");
    struct Case { bool got, expected; const char* reason; };
    const std::vector<Case> cases = {
        {FileFuncs::IsFileExist(L"\\Jobs\\a.osd"), true, "a file exists"},
        {FileFuncs::IsFileExist(L"\\Jobs"), true, "folders exist as files do"},
        {FileFuncs::IsFileExist(L"\\Jobs\\b.osd"), false, "a missing file"},
        {FileFuncs::IsDirExist(L"\\Jobs\\a.osd"), false, "a file is no folder"},
        {FileFuncs::IsDirExist(L"\\Jobs"), true, "a folder"},
        {FileFuncs::IsDirExist(L"\\Jobs\\"), false, "a trailing backslash names nothing to find"},
        {FileFuncs::CreateDir(L"\\one\\two\\three") && hostExists("one/two/three"), true, "three missing levels"},
        {FileFuncs::CreateDir(L"\\one\\two\\three"), true, "an existing folder"},
        {FileFuncs::CreateDir(L"\\slash\\") && FileFuncs::IsDirExist(L"\\slash"), true, "one trailing backslash"},
        {FileFuncs::CreateDir(L"\\file\\sub"), false, "a file is in the way"},
        {FileFuncs::CreateDir(L""), false, "the empty path names no folder"},
        {FileFuncsEx::CreateDirectoryTree(L"\\a\\b/c\\d") == 1 && hostExists("a/b/c/d"), true, "a tree"},
        {FileFuncsEx::CreateDirectoryTree(L"\\a\\b/c\\d") == 1, true, "a tree that is there"},
        {FileFuncsEx::CreateDirectoryTree(L"\\file\\g\\h") == 1, false, "a tree with a file in the way"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.reason;
}

// ---- Copies ----

TEST_F(AppFolders, CopyFromToHonoursOverwriteAndDates)
{
    writeHost("src", "new");
    writeHost("dst", "old");
    EXPECT_EQ(FileFuncsEx::CopyFromTo(L"\\src", L"\\dst", 0), 1);
    EXPECT_EQ(readHost("dst"), "old") << "an existing target is kept without overwrite";
    EXPECT_EQ(FileFuncsEx::CopyFromTo(L"\\src", L"\\dst", 1), 1);
    EXPECT_EQ(readHost("dst"), "new");
    EXPECT_EQ(FileFuncsEx::CopyFromTo(L"\\missing", L"\\other", 1), 0);

    writeHost("src", "v1");
    setWriteTime(L"\\src", utcTime(2020, 1, 1, 0, 0));
    EXPECT_EQ(FileFuncsEx::CopyFromToCheckDate(L"\\src", L"\\copy"), 1);
    EXPECT_EQ(readHost("copy"), "v1") << "a missing target is copied";
    writeHost("copy", "edited");
    setWriteTime(L"\\copy", utcTime(2020, 1, 1, 0, 0));
    EXPECT_EQ(FileFuncsEx::CopyFromToCheckDate(L"\\src", L"\\copy"), 1);
    EXPECT_EQ(readHost("copy"), "edited") << "a target as new as the source is left alone";
    writeHost("src", "v2");
    setWriteTime(L"\\src", utcTime(2020, 1, 1, 0, 1));
    EXPECT_EQ(FileFuncsEx::CopyFromToCheckDate(L"\\src", L"\\copy"), 1);
    EXPECT_EQ(readHost("copy"), "v2") << "a newer source replaces the target";
    EXPECT_EQ(FileFuncsEx::CopyFromToCheckDate(L"\\missing", L"\\copy"), 0);
}

TEST_F(AppFolders, CopyAndRemoveFolderTrees)
{
    writeHost("from/a.txt", "A");
    writeHost("from/sub/deeper/c.txt", "C");
    EXPECT_EQ(FileFuncsEx::CopyDirectory(L"\\from", L"\\flat", 0), 1);
    EXPECT_EQ(readHost("flat/a.txt"), "A");
    EXPECT_FALSE(hostExists("flat/sub")) << "without recursion plain folders are skipped";
    EXPECT_EQ(FileFuncsEx::CopyDirectory(L"\\from", L"\\deep", 1), 1);
    EXPECT_EQ(readHost("deep/sub/deeper/c.txt"), "C");
    ASSERT_TRUE(SetFileAttributesW(L"\\from\\sub", FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(FileFuncsEx::CopyDirectory(L"\\from", L"\\hidden", 1), 0)
        << "a folder whose attributes are not exactly 'directory' is copied as a file, which fails";
    EXPECT_EQ(FileFuncsEx::CopyDirectory(L"\\nowhere", L"\\x", 1), 0);

    ASSERT_TRUE(SetFileAttributesW(L"\\from\\sub\\deeper\\c.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(FileFuncsEx::RemoveDirectoryTree(L"\\from"), 1) << "read-only files are removed too";
    EXPECT_FALSE(hostExists("from"));
    EXPECT_EQ(FileFuncsEx::RemoveDirectoryTree(L"\\from"), 0);
}

// ---- Listings ----

TEST_F(AppFolders, ListingsCountsAndSizes)
{
    writeHost("f/one.osd", std::string(70000, 'x'));
    writeHost("f/two.txt", "");
    writeHost("f/dir/x", "");
    ASSERT_TRUE(CreateDirectoryW(L"\\none", nullptr));
    struct Case { EFindFolder what; const wchar_t *folder, *pattern; std::vector<std::wstring> expected; };
    const std::vector<Case> cases = {
        {EFF_FILES, L"\\f", nullptr, {L"one.osd", L"two.txt"}}, {EFF_FOLDERS, L"\\f", nullptr, {L"dir"}},
        {EFF_FILES_AND_FOLDERS, L"\\f", L"*.osd", {L"one.osd"}}, {EFF_FILES, L"\\missing", nullptr, {}},
    };
    for (const Case& c : cases) {
        CArray<WIN32_FIND_DATAW> found;
        found.SetSize(5);  // emptied first
        FileFuncsEx::FindAllFilesInFolder(found, c.what, c.folder, c.pattern);
        std::vector<std::wstring> names;
        for (int i = 0; i < found.GetSize(); ++i)
            names.push_back(found[i].cFileName);
        EXPECT_EQ(names, c.expected) << "what " << c.what << " in " << ToUtf8(c.folder);
    }
    EXPECT_EQ(FileFuncsEx::CountFiles(L"\\f"), 2u) << "three entries count as two";
    EXPECT_EQ(FileFuncsEx::CountFiles(L"\\none"), 0u);
    EXPECT_EQ(FileFuncsEx::CountFiles(L"\\missing"), 0u);
    unsigned long low = 1, high = 1;
    ASSERT_TRUE(FileFuncsEx::GetPathSize(L"\\f\\one.osd", low, &high));
    EXPECT_TRUE(low == 70000u && high == 0u);
    low = 7;
    EXPECT_FALSE(FileFuncsEx::GetPathSize(L"\\missing", low, nullptr));
    EXPECT_EQ(low, 7u) << "untouched on failure";
}

TEST_F(AppFolders, FlashCardTest)
{
    ASSERT_TRUE(mountFlashCard(L"Storage Card", L"0042") && mountFlashCard(L"NoSerial", L""));
    ASSERT_TRUE(CreateDirectoryW(L"\\Plain", nullptr));
    struct Case { const wchar_t* path; int expected; const char* reason; };
    const std::vector<Case> cases = {
        {L"\\Storage Card\\Jobs\\a.osd", 1, "a file on the card"}, {L"\\Storage Card", 1, "the card folder"},
        {L"\\NoSerial\\x", 0, "a card without a serial number"},
        {L"\\Plain\\x", 0, "a folder without the temporary attribute"}, {L"\\Missing\\x", 0, "no such folder"},
        {L"Storage Card\\x", 0, "not an absolute path"}, {L"", 0, "empty"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileFuncsEx::IsPathOnFlashCard(c.path), c.expected) << c.reason;
}

TEST(CompactPathRules, ShortensAfterTheFirstSeparator)
{
    // 200 pixels wide: 180 usable, 22 characters of 8 pixels.
    HWND window = createWindowStub(200, 100);
    struct Case { HWND window; const wchar_t* path; wchar_t separator; const wchar_t* expected; const char* reason; };
    const std::vector<Case> cases = {
        {window, L"\\short\\path.txt", L'\\', L"\\short\\path.txt", "fits: unchanged"},
        {window, L"\\Program Files\\fieldcore\\Jobs\\Default.osd", L'\\', L"\\...\\Jobs\\Default.osd",
         "dots for the first component, then components after the dots removed until it fits"},
        {window, L"\\Program Files\\fieldcore\\Jobs\\", L'\\', L"\\...\\fieldcore\\Jobs\\",
         "a trailing separator is taken off and put back"},
        {window, L"\\Program Files\\averyveryverylongname.txt", L'\\', L"\\...\\averyveryverylongname.txt",
         "the file name is never shortened"},
        {window, L"\\ab\\Program Files\\fieldcore\\x.txt", L'\\', L"\\ab\\...\\x.txt",
         "a component shorter than three characters keeps its place"},
        {window, L"C:/data/fieldcore/more/x.txt", L'\\', L"C:/data/fieldcore/more/x.txt", "another separator"},
        {window, L"C:/Program Files/fieldcore/Jobs/x.txt", L'/', L"C:/.../Jobs/x.txt", "slashes"},
        {nullptr, L"\\Program Files\\fieldcore\\Jobs\\Default.osd", L'\\',
         L"\\Program Files\\fieldcore\\Jobs\\Default.osd", "no window: unchanged"},
        {window, L"", L'\\', L"", "empty"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileFuncsEx::CompactPath(c.window, c.path, c.separator), CString(c.expected)) << c.reason;
    destroyWindowStub(window);
}

// ---- File times ----

TEST_F(AppFolders, FileTimesFormatInLocalTime)
{
    auto format = [](FILETIME t) {
        CString date = L"kept", clock = L"kept";
        const bool ok = FileFuncs::ConvertAndFormatFileTime(t, &date, &clock);
        return std::to_string(ok) + " " + ToUtf8(date) + " " + ToUtf8(clock);
    };
    const FILETIME t = utcTime(2021, 7, 4, 9, 5);
    ScopedZone zone("UTC0");
    EXPECT_EQ(format(t), "1 07/04/2021 09:05");
    EXPECT_EQ(format(fileTimeFromUInt64(0xFFFFFFFFFFFFFFFFULL)), "0 kept kept") << "outputs untouched on failure";
    {
        ScopedZone east("EST5");  // five hours behind UTC, no summer time
        EXPECT_EQ(format(t), "1 07/04/2021 04:05");
    }
    writeHost("f", "x");
    const FILETIME accessed = utcTime(2019, 12, 31, 23, 59), written = utcTime(2020, 1, 2, 3, 4);
    ASSERT_TRUE(setFileTimes(L"\\f", nullptr, &accessed, &written));
    CString d1, t1, d2, t2, d3, t3;
    EXPECT_TRUE(FileFuncs::vrkGetFileTimeFormatted(L"\\f", &d1, &t1, &d2, &t2, &d3, &t3));
    EXPECT_FALSE(d1.IsEmpty()) << "the creation time";
    EXPECT_EQ(d2 + L" " + t2, CString(L"01/02/2020 03:04")) << "the second pair is the last write";
    EXPECT_EQ(d3 + L" " + t3, CString(L"12/31/2019 23:59")) << "the third pair is the last access";
    CString untouched = L"u";
    EXPECT_TRUE(FileFuncs::vrkGetFileTimeFormatted(L"\\f", nullptr, &untouched, &d2, &t2, &d3, &t3));
    EXPECT_EQ(untouched, CString(L"u")) << "nothing is done without the first date";
    FILETIME c, a, w;
    EXPECT_FALSE(FileFuncs::vrkGetFileTimes(L"\\missing", &c, &a, &w));
    ASSERT_TRUE(CreateDirectoryW(L"\\dir", nullptr));
    EXPECT_FALSE(FileFuncs::vrkGetFileTimes(L"\\dir", &c, &a, &w)) << "a folder cannot be opened";
}

TEST(FileDialog, AnswersThroughTheHandlerOrAsCancelled)
{
    EXPECT_TRUE(FileFuncs::ChooseFileDialog(true, L"Jobs|*.osd|", L"osd", L"\\Jobs", 0).IsEmpty()) << "no handler";
    FileFuncs::SetFileDialogHandler([](bool open, const wchar_t*, const wchar_t* ext, const wchar_t* folder, DWORD) {
        return CString(folder) + (open ? L"\\opened." : L"\\saved.") + ext;
    });
    EXPECT_EQ(FileFuncs::ChooseFileDialog(true, L"Jobs|*.osd|", L"osd", L"\\Jobs", 0), CString(L"\\Jobs\\opened.osd"));
    FileFuncs::SetFileDialogHandler(nullptr);
    EXPECT_TRUE(FileFuncs::ChooseFileDialog(false, L"", L"", L"", 0).IsEmpty());
}

// ---- CFileAnsi ----

class FileAnsi : public DeviceRootTest {
protected:
    // "result:line" of a read, so that each read is one comparison.
    template <typename Read>
    static std::string read(Read readLine)
    {
        CString line = L"kept";
        const int n = readLine(line);
        return std::to_string(n) + ":" + ToUtf8(line);
    }
};

TEST_F(FileAnsi, ReadsLinesKeepingTheCarriageReturn)
{
    writeHost("lines.txt", "one\r\ntwo\n\n   \nlast");
    CFileAnsi f(L"\\lines.txt", CFile::modeRead);
    auto nonBlank = [&](CString& line) { return f.ReadNextNonBlankWCLine(line); };
    char buffer[16];
    EXPECT_EQ(f.ReadAnsiLine(buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "one\r") << "the CR stays";
    EXPECT_EQ(read(nonBlank), "3:two");
    EXPECT_EQ(read(nonBlank), "4:last") << "a last line without a line feed counts";
    EXPECT_EQ(read(nonBlank), "-1:kept") << "untouched at the end";
    EXPECT_EQ(f.ReadAnsiLine(buffer, sizeof buffer), -1);
    EXPECT_STREQ(buffer, "");
}

TEST_F(FileAnsi, LongLinesComeInPieces)
{
    writeHost("long.txt", "abcdefghij\n" + std::string(600, 'x') + "\n\xe9\x80\n");
    CFileAnsi f(L"\\long.txt", CFile::modeRead);
    auto next = [&](CString& line) { return f.ReadNextWCLine(line); };
    char small[5];
    EXPECT_EQ(f.ReadAnsiLine(small, sizeof small), 4) << "size - 1 bytes, then the zero";
    EXPECT_STREQ(small, "abcd");
    EXPECT_EQ(f.ReadAnsiLine(small, 0), 0);
    EXPECT_EQ(read(next), "6:efghij");
    EXPECT_EQ(read(next), "512:" + std::string(512, 'x')) << "at most 512 bytes per line";
    EXPECT_EQ(read(next), "88:" + std::string(88, 'x'));
    EXPECT_EQ(read(next), "2:\xC3\xA9\xE2\x82\xAC") << "code-page bytes convert";
}

TEST_F(FileAnsi, WritesPaddedLinesWithCrLf)
{
    {
        CFileAnsi f(L"\\out.txt", CFile::modeCreate | CFile::modeWrite);
        f.WriteWCLine(L"abcde", true, 12);
        f.WriteWCLine(L"abcde", false, 12);
        f.WriteWCLine(L"toolong-text", true, 5);
        f.WriteWCLine(L"cut\rhere", true, 8);
        f.WriteWCLine(L"z\x1A" L"eof", false, 0);
        f.WriteWCLine(L"\u20ac\u4e00", false, 0);
        f.WriteWCLine(CString(L'y', 600), false, 0);
    }
    EXPECT_EQ(readHost("out.txt"), "abcde     \r\nabcde\r\ntoolong-text\r\ncut   \r\nz\r\n\x80?\r\n" +
                                       std::string(512, 'y') + "\r\n");
    char line[32] = "ab";
    CFileAnsi::PaddLine(line, 6);
    EXPECT_STREQ(line, "ab  ");
    CFileAnsi::SetMBLine(line);
    EXPECT_STREQ(line, "ab  \r\n");
}

TEST_F(FileAnsi, GetLineOfTypeSearchesTheRecord)
{
    writeHost("rec.txt", "PT 1\nNAME  first \nCODE c1\n\nPT 2\nCODE c2\n");  // "PT" lines start records
    CFileAnsi f(L"\\rec.txt", CFile::modeRead);
    f.SetKeyString(L"PT");
    CString header;
    ASSERT_EQ(f.ReadNextWCLine(header), 4);
    f.SetStartPosition(static_cast<long>(f.GetPosition()));
    auto type = [&](const wchar_t* name) { return read([&](CString& v) { return f.GetLineOfType(name, v); }); };
    EXPECT_EQ(type(L"name"), "1:first") << "the next line, case ignored, trimmed";
    EXPECT_EQ(type(L"CODE"), "1:c1");
    EXPECT_EQ(type(L"NAME"), "1:first") << "found again from the record start";
    EXPECT_EQ(type(L"SIZE"), "0:kept") << "the next record's key ends the search";
    f.SetKeyString(L"");
    EXPECT_EQ(type(L"MISSING"), "0:kept") << "without a key the search runs to the end";
}

} // namespace
