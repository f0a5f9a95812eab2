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
    {
        const char* old = std::getenv("TZ");
        m_had = old != nullptr;
        m_old = old ? old : "";
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ScopedZone()
    {
        if (m_had)
            ::setenv("TZ", m_old.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    bool m_had;
    std::string m_old;
};

// ---- Folders and names ----

TEST_F(AppFolders, FoldersDeriveFromTheExecutablePath)
{
    EXPECT_EQ(GetApplicationPath(), CString(L"\\Program Files\\fieldcore\\fieldcore.exe"));
    EXPECT_EQ(GetExeDir(), CString(L"\\Program Files\\fieldcore"));
    EXPECT_EQ(GetRootDir(), GetExeDir());
    EXPECT_EQ(GetDocsDir(), GetExeDir());
    EXPECT_EQ(GetTempDir(), CString(L"\\temp"));
    EXPECT_TRUE(FileFuncs::IsDirExist(L"\\temp")) << "the temporary folder is made when missing";
}

TEST_F(AppFolders, NamedPathsAndExtensions)
{
    using namespace AppStrPaths;
    const CString root = L"\\Program Files\\fieldcore";
    struct Case { CString actual; CString expected; const char* name; };
    const std::vector<Case> cases = {
        {GetJobExt(), L".osd", "GetJobExt"},
        {GetJobExtensionName(), L"osd", "GetJobExtensionName"},
        {GetInitialJobVersionName(), L"jobversion.", "GetInitialJobVersionName"},
        {GetInitialJobName(), L"initial.ti0", "GetInitialJobName"},
        {GetStylesDBName(), L"Styles.oss", "GetStylesDBName"},
        {GetProgramName(), L"Ostrand", "GetProgramName"},
        {GetPelmarHelpName(), L"Pelmar.htm", "GetPelmarHelpName"},
        {GetVestraHelpName(), L"Vestra.htm", "GetVestraHelpName"},
        {GetMainHelpName(), L"ostrand.htm", "GetMainHelpName"},
        {GetGpsHelpName(), L"osdGps.htm", "GetGpsHelpName"},
        {GetTsHelpName(), L"osdTs.htm", "GetTsHelpName"},
        {GetCogoHelpName(), L"osdCogo.htm", "GetCogoHelpName"},
        {GetLngFilePath(), root + L"\\Lng", "GetLngFilePath"},
        {GetLogFilePath(), root, "GetLogFilePath"},
        {GetStylesDBPath(), root, "GetStylesDBPath"},
        {GetInitialJobPath(), root, "GetInitialJobPath"},
        {GetInitialJobVersionPath(), root, "GetInitialJobVersionPath"},
        {GetJobDBPath(), root + L"\\Jobs", "GetJobDBPath"},
        {GetDefaultJobDBPath(), root + L"\\Jobs\\Default.osd", "GetDefaultJobDBPath"},
        {GetSessionSettingsPath(), root + L"\\FileSettings", "GetSessionSettingsPath"},
        {GetIESettingsPath(), root + L"\\FileSettings", "GetIESettingsPath"},
        {GetIEFilePath(), root + L"\\IEFiles", "GetIEFilePath"},
        {GetCodeLibraryPath(), root + L"\\IEFiles", "GetCodeLibraryPath"},
        {GetAntennaFilePath(), root + L"\\antennas", "GetAntennaFilePath"},
        {GetUserDefinedAntennaFilePath(), root + L"\\antennas\\userdefined", "GetUserDefinedAntennaFilePath"},
        {GetPreDefinedAntennaFilePath(), root + L"\\antennas\\predefined", "GetPreDefinedAntennaFilePath"},
        {GetSoundFilePath(), root + L"\\sounds", "GetSoundFilePath"},
        {GetCustomDevicesPath(), root + L"\\CustomDevices", "GetCustomDevicesPath"},
        {GetGeoidsListPath(), root + L"\\Geoids", "GetGeoidsListPath"},
        {GetRowDataPath(), root + L"\\RawData", "GetRowDataPath"},
        {GetTN3Ext(), L".tn3", "GetTN3Ext"},
        {GetTN3ExtensionName(), L"tn3", "GetTN3ExtensionName"},
        {GetTN3FilePath(), root + L"\\DTM", "GetTN3FilePath"},
        {GetPixoraFilePathForExport(), root + L"\\IEFiles\\Pixora", "GetPixoraFilePathForExport"},
        {GetImageDataPath(), root + L"\\Images", "GetImageDataPath"},
        {GetImageExt(), L".jpg", "GetImageExt"},
        {GetCameraDataPath(), root + L"\\Camera", "GetCameraDataPath"},
        {GetCameraExt(), L".cmr", "GetCameraExt"},
        {GetScanFileExt(), L".dbs", "GetScanFileExt"},
        {GetIMCFileExt(), L".imc", "GetIMCFileExt"},
        {AppStrXForm::GetTsGeoFolder(), root + L"\\Geo\\", "GetTsGeoFolder"},
        {AppStrXForm::GetTsUserGeoFolder(), root + L"\\Geo\\", "GetTsUserGeoFolder"},
        {AppStrXForm::GetTsAplFileName(), root + L"\\Geo\\_apl2_.ini", "GetTsAplFileName"},
        {GetUserSettingsPath(), L"\\Program Files\\osd_setup", "GetUserSettingsPath"},
        {GetLastGeoidsPath(), L"\\Program Files\\osd_setup\\lastgeoids", "GetLastGeoidsPath"},
        {GetLastBackgroundImagesPath(), L"\\Program Files\\osd_setup\\lastBkgndImages",
         "GetLastBackgroundImagesPath"},
        {GetTempKestalPath(), L"\\temp\\Ostrand", "GetTempKestalPath"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.name;
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

TEST_F(AppFolders, ExistenceTests)
{
    writeHost("Jobs/a.osd", "x");
    EXPECT_TRUE(FileFuncs::IsFileExist(L"\\Jobs\\a.osd"));
    EXPECT_TRUE(FileFuncs::IsFileExist(L"\\Jobs")) << "folders exist as files do";
    EXPECT_TRUE(FileFuncs::IsFileExist(L"\\jobs\\A.OSD")) << "names match without regard to case";
    EXPECT_FALSE(FileFuncs::IsDirExist(L"\\Jobs\\a.osd"));
    EXPECT_TRUE(FileFuncs::IsDirExist(L"\\Jobs"));
    EXPECT_FALSE(FileFuncs::IsFileExist(L"\\Jobs\\b.osd"));
    EXPECT_FALSE(FileFuncs::IsDirExist(L"\\Jobs\\"));
}

TEST_F(AppFolders, CreateDirMakesMissingParents)
{
    EXPECT_TRUE(FileFuncs::CreateDir(L"\\one\\two\\three"));
    EXPECT_TRUE(hostExists("one/two/three")) << "three missing levels at once";
    EXPECT_TRUE(FileFuncs::CreateDir(L"\\one\\two\\three")) << "an existing folder";
    EXPECT_TRUE(FileFuncs::CreateDir(L"\\slash\\"));
    EXPECT_TRUE(FileFuncs::IsDirExist(L"\\slash")) << "a trailing backslash names the same folder";
    writeHost("file", "x");
    EXPECT_FALSE(FileFuncs::CreateDir(L"\\file\\sub")) << "a file is in the way";
    EXPECT_FALSE(FileFuncs::CreateDir(L"")) << "the empty path names no folder";
    EXPECT_TRUE(FileFuncs::CreateDir(L"bare")) << "a bare name is taken from the top of the device";
    EXPECT_TRUE(hostExists("bare"));
}

TEST_F(AppFolders, CreateDirectoryTreeMakesEveryLevel)
{
    EXPECT_EQ(FileFuncsEx::CreateDirectoryTree(L"\\a\\b/c\\d"), 1);
    EXPECT_TRUE(hostExists("a/b/c/d"));
    EXPECT_EQ(FileFuncsEx::CreateDirectoryTree(L"\\a\\b/c\\d"), 1) << "already there";
    writeHost("f", "");
    EXPECT_EQ(FileFuncsEx::CreateDirectoryTree(L"\\f\\g\\h"), 0);
}

// ---- Copies ----

TEST_F(AppFolders, CopyFromToHonoursOverwrite)
{
    writeHost("src", "new");
    writeHost("dst", "old");
    EXPECT_EQ(FileFuncsEx::CopyFromTo(L"\\src", L"\\dst", 0), 1);
    EXPECT_EQ(readHost("dst"), "old") << "an existing target is kept without overwrite";
    EXPECT_EQ(FileFuncsEx::CopyFromTo(L"\\src", L"\\dst", 1), 1);
    EXPECT_EQ(readHost("dst"), "new");
    EXPECT_EQ(FileFuncsEx::CopyFromTo(L"\\missing", L"\\other", 1), 0);
}

TEST_F(AppFolders, CopyFromToCheckDateCopiesOnlyNewerSources)
{
    writeHost("src", "v1");
    setWriteTime(L"\\src", utcTime(2020, 1, 1, 0, 0));
    EXPECT_EQ(FileFuncsEx::CopyFromToCheckDate(L"\\src", L"\\dst"), 1);
    EXPECT_EQ(readHost("dst"), "v1") << "a missing target is copied";

    writeHost("dst", "edited");  // the copy keeps the source's time; the edit makes it newer
    setWriteTime(L"\\dst", utcTime(2020, 1, 1, 0, 0));
    EXPECT_EQ(FileFuncsEx::CopyFromToCheckDate(L"\\src", L"\\dst"), 1);
    EXPECT_EQ(readHost("dst"), "edited") << "a target as new as the source is left alone";

    writeHost("src", "v2");
    setWriteTime(L"\\src", utcTime(2020, 1, 1, 0, 1));
    EXPECT_EQ(FileFuncsEx::CopyFromToCheckDate(L"\\src", L"\\dst"), 1);
    EXPECT_EQ(readHost("dst"), "v2") << "a newer source replaces the target";

    EXPECT_EQ(FileFuncsEx::CopyFromToCheckDate(L"\\missing", L"\\dst"), 0);
    EXPECT_EQ(FileFuncsEx::CopyFromToCheckDate(L"\\missing", L"\\nothing"), 0);
}

TEST_F(AppFolders, CopyDirectoryCopiesPlainFoldersRecursively)
{
    writeHost("from/a.txt", "A");
    writeHost("from/sub/b.txt", "B");
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
}

TEST_F(AppFolders, RemoveDirectoryTreeRemovesReadOnlyFilesToo)
{
    writeHost("tree/a", "");
    writeHost("tree/sub/b", "");
    writeHost("tree/sub/sub2/c", "");
    ASSERT_TRUE(SetFileAttributesW(L"\\tree\\sub\\b", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(FileFuncsEx::RemoveDirectoryTree(L"\\tree"), 1);
    EXPECT_FALSE(hostExists("tree"));
    EXPECT_EQ(FileFuncsEx::RemoveDirectoryTree(L"\\tree"), 0);
}

// ---- Listings ----

TEST_F(AppFolders, FindAllFilesInFolderSelectsFilesOrFolders)
{
    writeHost("f/one.osd", "");
    writeHost("f/two.txt", "");
    writeHost("f/dir/x", "");
    auto names = [](const CArray<WIN32_FIND_DATAW>& found) {
        std::vector<std::wstring> out;
        for (int i = 0; i < found.GetSize(); ++i)
            out.push_back(found[i].cFileName);
        return out;
    };
    CArray<WIN32_FIND_DATAW> found;
    found.SetSize(5);  // emptied first
    FileFuncsEx::FindAllFilesInFolder(found, EFF_FILES, L"\\f", nullptr);
    EXPECT_EQ(names(found), (std::vector<std::wstring>{L"one.osd", L"two.txt"}));
    FileFuncsEx::FindAllFilesInFolder(found, EFF_FOLDERS, L"\\f", nullptr);
    EXPECT_EQ(names(found), (std::vector<std::wstring>{L"dir"}));
    FileFuncsEx::FindAllFilesInFolder(found, EFF_FILES_AND_FOLDERS, L"\\f", L"*.osd");
    EXPECT_EQ(names(found), (std::vector<std::wstring>{L"one.osd"}));
    FileFuncsEx::FindAllFilesInFolder(found, EFF_FILES, L"\\missing", nullptr);
    EXPECT_EQ(found.GetSize(), 0);
    EXPECT_EQ(FileFuncsEx::IsDots(L"."), 1);
    EXPECT_EQ(FileFuncsEx::IsDots(L".."), 1);
    EXPECT_EQ(FileFuncsEx::IsDots(L"..."), 0);
}

TEST_F(AppFolders, CountFilesSkipsTheFirstEntry)
{
    writeHost("three/a", "");
    writeHost("three/b", "");
    writeHost("three/c", "");
    EXPECT_EQ(FileFuncsEx::CountFiles(L"\\three"), 2u) << "three files count as two";
    ASSERT_TRUE(CreateDirectoryW(L"\\none", nullptr));
    EXPECT_EQ(FileFuncsEx::CountFiles(L"\\none"), 0u);
    EXPECT_EQ(FileFuncsEx::CountFiles(L"\\missing"), 0u);
}

TEST_F(AppFolders, PathSize)
{
    writeHost("sized", std::string(70000, 'x'));
    unsigned long low = 1, high = 1;
    ASSERT_TRUE(FileFuncsEx::GetPathSize(L"\\sized", low, &high));
    EXPECT_EQ(low, 70000u);
    EXPECT_EQ(high, 0u);
    EXPECT_TRUE(FileFuncsEx::GetPathSize(L"\\sized", low, nullptr));
    low = 7;
    EXPECT_FALSE(FileFuncsEx::GetPathSize(L"\\missing", low, nullptr));
    EXPECT_EQ(low, 7u);
}

TEST_F(AppFolders, FlashCardTest)
{
    ASSERT_TRUE(mountFlashCard(L"Storage Card", L"0042"));
    ASSERT_TRUE(mountFlashCard(L"NoSerial", L""));
    ASSERT_TRUE(CreateDirectoryW(L"\\Plain", nullptr));
    struct Case { const wchar_t* path; int expected; const char* reason; };
    const std::vector<Case> cases = {
        {L"\\Storage Card\\Jobs\\a.osd", 1, "a file on the card"},
        {L"\\Storage Card", 1, "the card folder itself"},
        {L"\\storage card\\x", 1, "case does not matter"},
        {L"\\NoSerial\\x", 0, "a card without a serial number"},
        {L"\\Plain\\x", 0, "a folder without the temporary attribute"},
        {L"\\Missing\\x", 0, "no such folder"},
        {L"Storage Card\\x", 0, "not an absolute path"},
        {L"", 0, "empty"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileFuncsEx::IsPathOnFlashCard(c.path), c.expected) << c.reason;
}

// ---- CompactPath ----

TEST(CompactPathRules, ShortensAfterTheFirstSeparator)
{
    // 200 pixels wide: 180 usable, 22 characters of 8 pixels.
    HWND window = createWindowStub(200, 100);
    struct Case { const wchar_t* path; const wchar_t* expected; const char* reason; };
    const std::vector<Case> cases = {
        {L"\\short\\path.txt", L"\\short\\path.txt", "fits: unchanged"},
        {L"\\Program Files\\fieldcore\\Jobs\\Default.osd", L"\\...\\Jobs\\Default.osd",
         "dots for the first component, then components after the dots removed until it fits"},
        {L"\\Program Files\\fieldcore\\Jobs\\", L"\\...\\fieldcore\\Jobs\\",
         "a trailing separator is taken off and put back"},
        {L"\\Program Files\\averyveryverylongname.txt", L"\\...\\averyveryverylongname.txt",
         "the file name is never shortened"},
        {L"\\ab\\Program Files\\fieldcore\\x.txt", L"\\ab\\...\\x.txt",
         "a component shorter than three characters keeps its place"},
        {L"C:/data/fieldcore/more/x.txt", L"C:/data/fieldcore/more/x.txt", "another separator"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileFuncsEx::CompactPath(window, c.path, L'\\'), CString(c.expected)) << c.reason;
    EXPECT_EQ(FileFuncsEx::CompactPath(window, L"C:/Program Files/fieldcore/Jobs/x.txt", L'/'),
              CString(L"C:/.../Jobs/x.txt"));
    EXPECT_EQ(FileFuncsEx::CompactPath(nullptr, L"\\Program Files\\fieldcore\\Jobs\\Default.osd", L'\\'),
              CString(L"\\Program Files\\fieldcore\\Jobs\\Default.osd")) << "no window: unchanged";
    EXPECT_EQ(FileFuncsEx::CompactPath(window, L"", L'\\'), CString());
    destroyWindowStub(window);
}

// ---- File times ----

TEST_F(AppFolders, FileTimesFormatInLocalTime)
{
    ScopedZone zone("UTC0");
    FILETIME t = utcTime(2021, 7, 4, 9, 5);
    CString date, clock;
    ASSERT_TRUE(FileFuncs::ConvertAndFormatFileTime(t, &date, &clock));
    EXPECT_EQ(date, CString(L"07/04/2021"));
    EXPECT_EQ(clock, CString(L"09:05"));
    EXPECT_TRUE(FileFuncs::ConvertAndFormatFileTime(t, nullptr, &clock));

    {
        ScopedZone east("EST5");  // five hours behind UTC, no summer time
        ASSERT_TRUE(FileFuncs::ConvertAndFormatFileTime(t, &date, &clock));
        EXPECT_EQ(date, CString(L"07/04/2021"));
        EXPECT_EQ(clock, CString(L"04:05"));
    }

    FILETIME bad = fileTimeFromUInt64(0xFFFFFFFFFFFFFFFFULL);
    date = L"kept";
    EXPECT_FALSE(FileFuncs::ConvertAndFormatFileTime(bad, &date, nullptr));
    EXPECT_EQ(date, CString(L"kept"));

    writeHost("f", "x");
    const FILETIME accessed = utcTime(2019, 12, 31, 23, 59);
    const FILETIME written = utcTime(2020, 1, 2, 3, 4);
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
    FILETIME now;
    FileFuncs::vrkGetSystemTimeAsFileTime(now);
    EXPECT_GT(fileTimeToUInt64(now), fileTimeToUInt64(utcTime(2020, 1, 1, 0, 0)));
}

// ---- The file dialog stand-in ----

TEST(FileDialog, AnswersThroughTheHandlerOrAsCancelled)
{
    EXPECT_TRUE(FileFuncs::ChooseFileDialog(true, L"Jobs|*.osd|", L"osd", L"\\Jobs", 0).IsEmpty());
    bool sawOpen = false;
    FileFuncs::SetFileDialogHandler([&](bool open, const wchar_t*, const wchar_t* ext,
                                        const wchar_t* folder, DWORD) {
        sawOpen = open;
        return CString(folder) + L"\\chosen." + ext;
    });
    EXPECT_EQ(FileFuncs::ChooseFileDialog(true, L"Jobs|*.osd|", L"osd", L"\\Jobs", 0),
              CString(L"\\Jobs\\chosen.osd"));
    EXPECT_TRUE(sawOpen);
    FileFuncs::SetFileDialogHandler(nullptr);
    EXPECT_TRUE(FileFuncs::ChooseFileDialog(false, L"", L"", L"", 0).IsEmpty());
}

// ---- CFileAnsi ----

class FileAnsi : public DeviceRootTest {};

TEST_F(FileAnsi, ReadsLinesKeepingTheCarriageReturn)
{
    writeHost("lines.txt", "one\r\ntwo\n\n   \nlast");
    CFileAnsi f(L"\\lines.txt", CFile::modeRead);
    char buffer[16];
    EXPECT_EQ(f.ReadAnsiLine(buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "one\r");
    CString line;
    EXPECT_EQ(f.ReadNextNonBlankWCLine(line), 3);
    EXPECT_EQ(line, CString(L"two"));
    EXPECT_EQ(f.ReadNextNonBlankWCLine(line), 4) << "a last line without a line feed counts";
    EXPECT_EQ(line, CString(L"last"));
    EXPECT_EQ(f.ReadNextNonBlankWCLine(line), -1);
    EXPECT_EQ(line, CString(L"last")) << "untouched at the end";
    EXPECT_EQ(f.ReadAnsiLine(buffer, sizeof buffer), -1);
    EXPECT_STREQ(buffer, "");
}

TEST_F(FileAnsi, LongLinesComeInPieces)
{
    writeHost("long.txt", "abcdefghij\n" + std::string(600, 'x') + "\n\xe9\x80\n");
    CFileAnsi f(L"\\long.txt", CFile::modeRead);
    char small[5];
    EXPECT_EQ(f.ReadAnsiLine(small, sizeof small), 4) << "size - 1 bytes, then the zero";
    EXPECT_STREQ(small, "abcd");
    EXPECT_EQ(f.ReadAnsiLine(small, 0), 0);
    CString line;
    EXPECT_EQ(f.ReadNextWCLine(line), 6);
    EXPECT_EQ(line, CString(L"efghij"));
    EXPECT_EQ(f.ReadNextWCLine(line), 512) << "at most 512 bytes per line";
    EXPECT_EQ(f.ReadNextWCLine(line), 88);
    EXPECT_EQ(f.ReadNextWCLine(line), 2);
    EXPECT_EQ(line, CString(L"\u00e9\u20ac")) << "code-page bytes convert";
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
    const std::string expected = "abcde     \r\n"
                                 "abcde\r\n"
                                 "toolong-text\r\n"
                                 "cut   \r\n"
                                 "z\r\n"
                                 "\x80?\r\n" +
                                 std::string(512, 'y') + "\r\n";
    EXPECT_EQ(readHost("out.txt"), expected);

    char line[32] = "ab";
    CFileAnsi::PaddLine(line, 6);
    EXPECT_STREQ(line, "ab  ");
    CFileAnsi::SetMBLine(line);
    EXPECT_STREQ(line, "ab  \r\n");
}

TEST_F(FileAnsi, GetLineOfTypeSearchesTheRecord)
{
    const std::string records = "PT 1\n"        // record key line
                                "NAME  first \n"
                                "CODE c1\n"
                                "\n"
                                "PT 2\n"
                                "CODE c2\n";
    writeHost("rec.txt", records);
    CFileAnsi f(L"\\rec.txt", CFile::modeRead);
    f.SetKeyString(L"PT");
    CString header;
    ASSERT_EQ(f.ReadNextWCLine(header), 4);
    f.SetStartPosition(static_cast<long>(f.GetPosition()));

    CString value;
    EXPECT_EQ(f.GetLineOfType(L"name", value), 1) << "the next line, case ignored";
    EXPECT_EQ(value, CString(L"first"));
    EXPECT_EQ(f.GetLineOfType(L"CODE", value), 1);
    EXPECT_EQ(value, CString(L"c1"));
    EXPECT_EQ(f.GetLineOfType(L"NAME", value), 1) << "found again from the record start";
    EXPECT_EQ(value, CString(L"first"));
    value = L"kept";
    EXPECT_EQ(f.GetLineOfType(L"SIZE", value), 0) << "the next record's key ends the search";
    EXPECT_EQ(value, CString(L"kept"));

    f.SetKeyString(L"");
    EXPECT_EQ(f.GetLineOfType(L"MISSING", value), 0) << "without a key the search runs to the end";
}

} // namespace
