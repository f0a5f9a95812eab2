// The platform's file, time and process services over a device root of the test's own.
#include "deviceRootFixture.h"

#include "platform/fileSystem.h"
#include "platform/lastError.h"
#include "platform/process.h"
#include "platform/sync.h"
#include "platform/sysTime.h"
#include "platform/textCodec.h"

#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

class PlatformFiles : public DeviceRootTest {};

using Names = std::vector<std::wstring>;

Names listNames(const wchar_t* pattern)
{
    Names names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    FindClose(find);
    return names;
}

// Sets an environment variable for the life of the object (and re-reads TZ).
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value)
        : m_name(name), m_had(std::getenv(name) != nullptr), m_old(m_had ? std::getenv(name) : "")
    {
        ::setenv(name, value.c_str(), 1);
        ::tzset();
    }
    ~ScopedEnv()
    {
        m_had ? ::setenv(m_name, m_old.c_str(), 1) : ::unsetenv(m_name);
        ::tzset();
    }

private:
    const char* m_name;
    bool m_had;
    std::string m_old;
};

// A call that must fail and set `error` as the last error.
void expectFailure(BOOL result, DWORD error, const char* reason)
{
    EXPECT_FALSE(result) << reason;
    EXPECT_EQ(GetLastError(), error) << reason;
}

// ---- Device root mapping ----

TEST_F(PlatformFiles, DevicePathsMapUnderTheRoot)
{
    writeHost("Settings/Ostrand.ini", "x");
    struct Case { const wchar_t* device; std::string host; const char* reason; };
    const std::vector<Case> cases = {
        {L"\\Data\\ostrand.ini", "/Data/ostrand.ini", "absolute device path"},
        {L"debug.ini", "/debug.ini", "a bare name is taken from the top of the device"},
        {L"\\", "", "the top of the device is the root folder"},
        {L"", "", "the empty path is the root folder"},
        {L"\\a\\\\b\\.\\c", "/a/b/c", "empty and '.' components are dropped"},
        {L"\\a\\..\\..\\..\\..\\etc\\passwd", "/etc/passwd", "'..' never climbs above the root"},
        {L"/a/b", "/a/b", "forward slashes separate too"},
        {L"\\settings\\OSTRAND.INI", "/Settings/Ostrand.ini", "names match without regard to case"},
        {L"\\SETTINGS\\New.ini", "/Settings/New.ini", "a name that exists in no spelling keeps the caller's"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(deviceToHostPath(c.device), m_root + c.host) << c.reason;
}

TEST_F(PlatformFiles, TheHostTopFolderAsRootIsNeverWritten)
{
    const bool hadProgramFiles = std::filesystem::exists("/Program Files");
    setDeviceRoot("/");  // how the tools reach host files
    EXPECT_EQ(deviceToHostPath(L"\\tmp\\x"), "/tmp/x");
    EXPECT_TRUE(ensureDeviceRoot());
    EXPECT_EQ(std::filesystem::exists("/Program Files"), hadProgramFiles)
        << "no executable's folder is made in the host's top folder";
    setDeviceRoot(m_root);
}

TEST_F(PlatformFiles, EnvironmentChoosesTheRootWhenNoneIsSet)
{
    setDeviceRoot("");
    {
        ScopedEnv env("FIELDCORE_ROOT", m_root + "/env/");
        EXPECT_EQ(getDeviceRoot(), m_root + "/env");
        EXPECT_EQ(deviceToHostPath(L"\\temp"), m_root + "/env/temp");
        EXPECT_TRUE(ensureDeviceRoot());
        EXPECT_TRUE(hostExists("env"));
    }
    setDeviceRoot(m_root);
}

// ---- Search ----

TEST_F(PlatformFiles, SearchListsSortedEntriesWithoutDotsOrReservedFiles)
{
    writeHost("dir/b.txt", "12345");
    writeHost("dir/a.osd", "");
    writeHost("dir/noext", "");
    writeHost("dir/sub/x", "");
    ASSERT_TRUE(SetFileAttributesW(L"\\dir\\a.osd", FILE_ATTRIBUTE_HIDDEN));  // writes a record file
    const Names all = {L"a.osd", L"b.txt", L"noext", L"sub"};
    struct Case { const wchar_t* pattern; Names expected; const char* reason; };
    const std::vector<Case> cases = {
        {L"\\dir\\*", all, "everything, sorted, no record file"},
        {L"\\dir\\*.*", all, "*.* matches names without a dot too"},
        {L"\\dir\\*.TXT", {L"b.txt"}, "case ignored"},
        {L"\\dir\\?.*", {L"a.osd", L"b.txt"}, "one character"},
        {L"\\DIR\\B.TXT", {L"b.txt"}, "a name without wildcards"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(listNames(c.pattern), c.expected) << c.reason;

    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(L"\\dir\\b.txt", &data);
    EXPECT_TRUE(data.nFileSizeLow == 5u && data.dwFileAttributes == FILE_ATTRIBUTE_NORMAL);
    FindClose(find);
    find = FindFirstFileW(L"\\dir\\sub", &data);
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    FindClose(find);

    SetLastError(0);
    EXPECT_EQ(FindFirstFileW(L"\\missing\\*", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND) << "a missing folder";
    EXPECT_EQ(FindFirstFileW(L"\\dir\\sub\\*.none", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND) << "nothing matches";
    EXPECT_EQ(FindFirstFileW(L"\\dir\\", &data), INVALID_HANDLE_VALUE) << "a trailing separator names nothing";
    EXPECT_FALSE(FindNextFileW(INVALID_HANDLE_VALUE, &data) || FindClose(nullptr)) << "no search";
}

// ---- Attributes ----

TEST_F(PlatformFiles, AttributesPersistAndTravelWithMovesAndCopies)
{
    const DWORD hiddenTemporary = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY;
    writeHost("a.txt", "data");
    ASSERT_TRUE(SetFileAttributesW(L"\\a.txt", hiddenTemporary | FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesW(L"\\A.TXT"), hiddenTemporary) << "the directory bit comes from the host";
    ASSERT_TRUE(MoveFileW(L"\\a.txt", L"\\b.txt"));
    EXPECT_EQ(GetFileAttributesW(L"\\b.txt"), hiddenTemporary) << "moved along";
    EXPECT_EQ(GetFileAttributesW(L"\\a.txt"), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(CopyFileW(L"\\b.txt", L"\\c.txt", TRUE));
    EXPECT_EQ(GetFileAttributesW(L"\\c.txt"), hiddenTemporary) << "copied along";
    ASSERT_TRUE(DeleteFileW(L"\\b.txt"));
    writeHost("b.txt", "new");
    EXPECT_EQ(GetFileAttributesW(L"\\b.txt"), FILE_ATTRIBUTE_NORMAL)
        << "a deleted file's attributes do not pass to a new file of the same name";
    EXPECT_FALSE(SetFileAttributesW(L"\\", FILE_ATTRIBUTE_HIDDEN)) << "the root has no attributes";
    ASSERT_TRUE(SetFileAttributesW(L"\\b.txt", FILE_ATTRIBUTE_READONLY));
    expectFailure(DeleteFileW(L"\\b.txt"), ERROR_ACCESS_DENIED, "a read-only file resists delete");
    EXPECT_FALSE(CopyFileW(L"\\c.txt", L"\\b.txt", FALSE)) << "and overwriting";
    EXPECT_EQ(readHost("b.txt"), "new");
}

// ---- Files and folders ----

TEST_F(PlatformFiles, CopyKeepsTheLastWriteTimeAndRespectsFailIfExists)
{
    writeHost("src.bin", std::string("a\0b\r\n", 5));
    FILETIME old, written;
    SYSTEMTIME st = {2020, 2, 0, 29, 12, 30, 15, 0};
    ASSERT_TRUE(SystemTimeToFileTime(&st, &old) && setFileTimes(L"\\src.bin", nullptr, nullptr, &old));
    ASSERT_TRUE(CopyFileW(L"\\src.bin", L"\\dst.bin", FALSE));
    EXPECT_EQ(readHost("dst.bin"), std::string("a\0b\r\n", 5));
    ASSERT_TRUE(getFileTimes(L"\\dst.bin", nullptr, nullptr, &written));
    EXPECT_EQ(CompareFileTime(&written, &old), 0);
    writeHost("dst.bin", "changed");
    expectFailure(CopyFileW(L"\\src.bin", L"\\dst.bin", TRUE), ERROR_FILE_EXISTS, "fail if exists");
    EXPECT_EQ(readHost("dst.bin"), "changed");
    EXPECT_FALSE(CopyFileW(L"\\src.bin", L"\\src.bin", FALSE)) << "a file is not copied onto itself";
    EXPECT_EQ(readHost("src.bin").size(), 5u);
    expectFailure(CopyFileW(L"\\missing", L"\\x", FALSE), ERROR_FILE_NOT_FOUND, "a missing source");
}

TEST_F(PlatformFiles, FoldersMovesAndFreeSpace)
{
    expectFailure(CreateDirectoryW(L"\\a\\b", nullptr), ERROR_PATH_NOT_FOUND, "one level at a time");
    ASSERT_TRUE(CreateDirectoryW(L"\\a", nullptr));
    expectFailure(CreateDirectoryW(L"\\a", nullptr), ERROR_ALREADY_EXISTS, "an existing folder");
    ASSERT_TRUE(CreateDirectoryW(L"\\a\\b", nullptr));
    ASSERT_TRUE(SetFileAttributesW(L"\\a\\b", FILE_ATTRIBUTE_HIDDEN));
    expectFailure(RemoveDirectoryW(L"\\a"), ERROR_DIR_NOT_EMPTY, "a folder that is not empty");
    EXPECT_FALSE(DeleteFileW(L"\\a\\b")) << "DeleteFileW does not delete folders";
    writeHost("a/b/f", "");
    SetFileAttributesW(L"\\a\\b\\f", FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(DeleteFileW(L"\\a\\b\\f"));
    EXPECT_TRUE(RemoveDirectoryW(L"\\a\\b")) << "the layer's own record files do not count";
    EXPECT_TRUE(RemoveDirectoryW(L"\\a"));
    EXPECT_FALSE(hostExists("a"));
    EXPECT_FALSE(RemoveDirectoryW(L"\\"));

    writeHost("x", "1");
    writeHost("y", "2");
    expectFailure(MoveFileW(L"\\x", L"\\y"), ERROR_ALREADY_EXISTS, "move onto an existing file");
    EXPECT_EQ(readHost("y"), "2");
    ASSERT_TRUE(CreateDirectoryW(L"\\d", nullptr));
    EXPECT_TRUE(MoveFileW(L"\\x", L"\\d\\x"));
    EXPECT_EQ(readHost("d/x"), "1");

    ULARGE_INTEGER freeToCaller{0}, total{0}, totalFree{0};
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"\\not\\there", &freeToCaller, &total, &totalFree)) << "a missing path";
    EXPECT_TRUE(total.QuadPart > 0 && freeToCaller.QuadPart <= totalFree.QuadPart &&
                totalFree.QuadPart <= total.QuadPart);
}

// ---- Storage cards ----

TEST_F(PlatformFiles, FlashCardsAnswerTheStorageQuery)
{
    ASSERT_TRUE(mountFlashCard(L"Storage Card", L"SN1234"));
    EXPECT_EQ(GetFileAttributesW(L"\\Storage Card"), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY);
    EXPECT_TRUE(listNames(L"\\Storage Card\\*").empty()) << "the card mark is not listed";

    HANDLE volume = CreateVolumeDeviceW(L"\\storage card\\VOL:");
    ASSERT_NE(volume, INVALID_HANDLE_VALUE);
    unsigned char reply[500];
    DWORD returned = 0;
    auto query = [&](DWORD code, DWORD size) {
        return DeviceIoControl(volume, code, nullptr, 0, reply, size, &returned, nullptr);
    };
    ASSERT_TRUE(query(IOCTL_DISK_GET_STORAGEID, sizeof reply));
    STORAGE_IDENTIFICATION head;
    std::memcpy(&head, reply, sizeof head);
    ASSERT_GE(head.dwSerialNumOffset, 16u);
    EXPECT_STREQ(reinterpret_cast<const char*>(reply + head.dwSerialNumOffset), "SN1234");
    CloseVolumeDevice(volume);

    // A temporary folder without the card mark is a volume that is no flash card.
    ASSERT_TRUE(CreateDirectoryW(L"\\Network", nullptr));
    ASSERT_TRUE(SetFileAttributesW(L"\\Network", FILE_ATTRIBUTE_TEMPORARY));
    volume = CreateVolumeDeviceW(L"\\Network\\vol:");
    ASSERT_NE(volume, INVALID_HANDLE_VALUE);
    expectFailure(query(IOCTL_DISK_GET_STORAGEID, sizeof reply), ERROR_NOT_SUPPORTED, "no flash card");
    CloseVolumeDevice(volume);
    ASSERT_TRUE(CreateDirectoryW(L"\\Plain", nullptr));
    EXPECT_EQ(CreateVolumeDeviceW(L"\\Plain\\vol:"), INVALID_HANDLE_VALUE) << "a plain folder has no volume";
    EXPECT_EQ(CreateVolumeDeviceW(L"\\Storage Card\\sub\\vol:"), INVALID_HANDLE_VALUE) << "not top-level";
}

// ---- Times ----

TEST(PlatformTime, FileTimesConvertToCalendarTimes)
{
    struct Case { std::uint64_t ticks; SYSTEMTIME expected; const char* reason; };
    const std::vector<Case> cases = {
        {0, {1601, 1, 1, 1, 0, 0, 0, 0}, "the epoch, a Monday"},
        {116444736000000000ULL, {1970, 1, 4, 1, 0, 0, 0, 0}, "the Unix epoch, a Thursday"},
        {116444736000000000ULL + 951782400ULL * 10000000ULL + 12345678, {2000, 2, 2, 29, 0, 0, 1, 234},
         "a leap day (2000 is a leap year), milliseconds truncated"},
        {0x7FFFFFFFFFFFFFFFULL, {30828, 9, 4, 14, 2, 48, 5, 477}, "the largest convertible time"},
    };
    for (const Case& c : cases) {
        const FILETIME ft = fileTimeFromUInt64(c.ticks);
        SYSTEMTIME st;
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &st)) << c.reason;
        EXPECT_EQ(std::memcmp(&st, &c.expected, sizeof st), 0)
            << c.reason << ": " << st.wYear << "-" << st.wMonth << "-" << st.wDay << " dow " << st.wDayOfWeek
            << " " << st.wHour << ":" << st.wMinute << ":" << st.wSecond << "." << st.wMilliseconds;
    }
    const FILETIME tooLarge = fileTimeFromUInt64(0x8000000000000000ULL);
    SYSTEMTIME st;
    EXPECT_FALSE(FileTimeToSystemTime(&tooLarge, &st));
}

TEST(PlatformTime, CalendarTimesRoundTripAndBadFieldsFail)
{
    std::mt19937_64 random(13);
    std::uniform_int_distribution<std::uint64_t> ticks(0, 0x7FFFFFFFFFFFFFFFULL / 10000 - 1);
    for (int i = 0; i < 1000; ++i) {
        const FILETIME ft = fileTimeFromUInt64(ticks(random) * 10000);  // whole milliseconds
        SYSTEMTIME st;
        FILETIME back;
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &st) && SystemTimeToFileTime(&st, &back));
        ASSERT_EQ(fileTimeToUInt64(back), fileTimeToUInt64(ft)) << "year " << st.wYear;
    }
    struct Bad { SYSTEMTIME st; const char* reason; };
    const std::vector<Bad> bad = {
        {{2021, 2, 0, 29, 0, 0, 0, 0}, "29 February of a common year"},
        {{1900, 2, 0, 29, 0, 0, 0, 0}, "1900 is no leap year"},
        {{2020, 13, 0, 1, 0, 0, 0, 0}, "month 13"},
        {{2020, 4, 0, 31, 0, 0, 0, 0}, "31 April"},
        {{1600, 12, 0, 31, 0, 0, 0, 0}, "before 1601"},
        {{2020, 1, 0, 1, 24, 0, 0, 0}, "hour 24"},
        {{2020, 1, 0, 1, 0, 0, 60, 0}, "second 60"},
        {{2020, 1, 0, 1, 0, 0, 0, 1000}, "millisecond 1000"},
    };
    for (const Bad& b : bad) {
        FILETIME ft = fileTimeFromUInt64(42);
        EXPECT_FALSE(SystemTimeToFileTime(&b.st, &ft)) << b.reason;
        EXPECT_EQ(fileTimeToUInt64(ft), 42u) << b.reason << ": output untouched";
    }
}

TEST(PlatformTime, LocalTimeFollowsTheZoneOfTheDate)
{
    ScopedEnv zone("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");  // POSIX form: no zone database needed
    struct Case { SYSTEMTIME utc; WORD localHour; const char* reason; };
    const std::vector<Case> cases = {
        {{2021, 1, 0, 15, 12, 0, 0, 0}, 13, "winter: UTC+1"},
        {{2021, 7, 0, 15, 12, 0, 0, 0}, 14, "summer: UTC+2"},
    };
    for (const Case& c : cases) {
        FILETIME utc, local;
        SYSTEMTIME st;
        ASSERT_TRUE(SystemTimeToFileTime(&c.utc, &utc) && FileTimeToLocalFileTime(&utc, &local) &&
                    FileTimeToSystemTime(&local, &st));
        EXPECT_EQ(st.wHour, c.localHour) << c.reason;
    }
}

// ---- Process, debugger and threads ----

TEST_F(PlatformFiles, ModuleFileNameIsTheDevicePathOfTheExecutable)
{
    wchar_t buffer[MAX_PATH];
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    EXPECT_EQ(std::wstring(buffer), L"\\Program Files\\fieldcore\\fieldcore.exe");
    EXPECT_TRUE(hostExists("Program Files/fieldcore")) << "the executable's folder exists on a device";
    wchar_t small[8];
    EXPECT_EQ(GetModuleFileNameW(nullptr, small, 8), 8u) << "a cut path returns the buffer size";
    EXPECT_EQ(std::wstring(small), L"\\Progra");
    EXPECT_EQ(GetModuleFileNameW(nullptr, nullptr, 8), 0u);
}

TEST(PlatformProcess, DebuggerOutputAndCriticalSections)
{
    ::testing::internal::CaptureStderr();
    OutputDebugStringW(L"caf\u00e9 \u20ac\n");
    OutputDebugStringW(nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "caf\xc3\xa9 \xe2\x82\xac\n");

    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);  // the owner may enter again
    LeaveCriticalSection(&section);
    LeaveCriticalSection(&section);
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                CCriticalSectionLock lock(section);
                ++counter;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(counter, 40000);
    DeleteCriticalSection(&section);

}

} // namespace
