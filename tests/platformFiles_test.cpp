// The platform's file, time and process services over a device root of the test's own.
#include "deviceRootFixture.h"

#include "platform/CFile.h"
#include "platform/fileSystem.h"
#include "platform/lastError.h"
#include "platform/process.h"
#include "platform/sync.h"
#include "platform/sysTime.h"
#include "platform/textCodec.h"
#include "platform/windowStub.h"

#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

class PlatformFiles : public DeviceRootTest {};

std::vector<std::wstring> listNames(const wchar_t* pattern)
{
    std::vector<std::wstring> names;
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

// ---- Device root mapping ----

TEST_F(PlatformFiles, DevicePathsMapUnderTheRoot)
{
    struct Case { const wchar_t* device; std::string host; const char* reason; };
    const std::vector<Case> cases = {
        {L"\\Settings\\ostrand.ini", "/Settings/ostrand.ini", "absolute device path"},
        {L"debug.ini", "/debug.ini", "a bare name is taken from the top of the device"},
        {L"\\", "", "the top of the device is the root folder"},
        {L"", "", "the empty path is the root folder"},
        {L"\\a\\\\b\\.\\c", "/a/b/c", "empty and '.' components are dropped"},
        {L"\\a\\..\\..\\..\\etc\\passwd", "/etc/passwd", "'..' never climbs above the root"},
        {L"/a/b", "/a/b", "forward slashes separate too"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(deviceToHostPath(c.device), m_root + c.host) << c.reason;
}

TEST_F(PlatformFiles, NamesMatchWithoutRegardToCase)
{
    writeHost("Settings/Ostrand.ini", "x");
    EXPECT_EQ(deviceToHostPath(L"\\settings\\OSTRAND.INI"), host("Settings/Ostrand.ini"));
    // A name that exists in no spelling keeps the caller's.
    EXPECT_EQ(deviceToHostPath(L"\\SETTINGS\\New.ini"), host("Settings/New.ini"));
    EXPECT_EQ(deviceToHostPath(L"\\Other\\X"), host("Other/X"));
}

TEST_F(PlatformFiles, TheHostTopFolderAsRootIsNeverWritten)
{
    const bool hadProgramFiles = std::filesystem::exists("/Program Files");
    setDeviceRoot("/");  // how the tools reach host files
    EXPECT_EQ(deviceToHostPath(L"\\tmp\\x"), "/tmp/x");
    EXPECT_EQ(deviceToHostPath(L"\\"), "/");
    EXPECT_TRUE(ensureDeviceRoot());
    EXPECT_EQ(std::filesystem::exists("/Program Files"), hadProgramFiles)
        << "no executable's folder is made in the host's top folder";
    setDeviceRoot(m_root);
}

TEST_F(PlatformFiles, EnvironmentChoosesTheRootWhenNoneIsSet)
{
    setDeviceRoot("");
    const char* old = std::getenv("FIELDCORE_ROOT");
    const std::string saved = old ? old : "";
    ::setenv("FIELDCORE_ROOT", (m_root + "/env/").c_str(), 1);
    EXPECT_EQ(getDeviceRoot(), m_root + "/env");
    EXPECT_EQ(deviceToHostPath(L"\\temp"), m_root + "/env/temp");
    EXPECT_TRUE(ensureDeviceRoot());
    EXPECT_TRUE(hostExists("env"));
    if (old)
        ::setenv("FIELDCORE_ROOT", saved.c_str(), 1);
    else
        ::unsetenv("FIELDCORE_ROOT");
    setDeviceRoot(m_root);
}

TEST_F(PlatformFiles, CFileOpensDevicePaths)
{
    CFile f;
    ASSERT_TRUE(f.Open(L"\\note.txt", CFile::modeCreate | CFile::modeWrite));
    ASSERT_TRUE(f.Write("abc", 3));
    f.Close();
    EXPECT_EQ(readHost("note.txt"), "abc");
}

// ---- Search ----

TEST_F(PlatformFiles, SearchListsSortedEntriesWithoutDotsOrReservedFiles)
{
    writeHost("dir/b.txt", "12345");
    writeHost("dir/a.osd", "");
    writeHost("dir/noext", "");
    writeHost("dir/sub/x", "");
    ASSERT_TRUE(SetFileAttributesW(L"\\dir\\a.osd", FILE_ATTRIBUTE_HIDDEN));  // writes a record file

    EXPECT_EQ(listNames(L"\\dir\\*"), (std::vector<std::wstring>{L"a.osd", L"b.txt", L"noext", L"sub"}));
    EXPECT_EQ(listNames(L"\\dir\\*.*"), (std::vector<std::wstring>{L"a.osd", L"b.txt", L"noext", L"sub"}))
        << "*.* matches names without a dot too";
    EXPECT_EQ(listNames(L"\\dir\\*.TXT"), (std::vector<std::wstring>{L"b.txt"}));
    EXPECT_EQ(listNames(L"\\dir\\?.*"), (std::vector<std::wstring>{L"a.osd", L"b.txt"}));
    EXPECT_EQ(listNames(L"\\DIR\\B.TXT"), (std::vector<std::wstring>{L"b.txt"}));

    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(L"\\dir\\b.txt", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
    FindClose(find);
    find = FindFirstFileW(L"\\dir\\sub", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    FindClose(find);
}

TEST_F(PlatformFiles, SearchFailuresSetTheLastError)
{
    WIN32_FIND_DATAW data;
    EXPECT_EQ(FindFirstFileW(L"\\missing\\*", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    writeHost("empty/.keep-out", "");
    std::filesystem::remove(host("empty/.keep-out"));
    EXPECT_EQ(FindFirstFileW(L"\\empty\\*", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FindFirstFileW(L"\\empty\\", &data), INVALID_HANDLE_VALUE)
        << "a trailing separator names nothing to find";
    EXPECT_FALSE(FindNextFileW(INVALID_HANDLE_VALUE, &data));
    EXPECT_FALSE(FindClose(nullptr));
}

// ---- Attributes ----

TEST_F(PlatformFiles, AttributesPersistAndTravelWithMovesAndCopies)
{
    writeHost("a.txt", "data");
    ASSERT_TRUE(SetFileAttributesW(L"\\a.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY |
                                                   FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesW(L"\\A.TXT"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY)
        << "the directory bit comes from the host, not from the caller";

    ASSERT_TRUE(MoveFileW(L"\\a.txt", L"\\b.txt"));
    EXPECT_EQ(GetFileAttributesW(L"\\b.txt"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY);
    EXPECT_EQ(GetFileAttributesW(L"\\a.txt"), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(CopyFileW(L"\\b.txt", L"\\c.txt", TRUE));
    EXPECT_EQ(GetFileAttributesW(L"\\c.txt"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY);
    EXPECT_EQ(readHost("c.txt"), "data");

    ASSERT_TRUE(SetFileAttributesW(L"\\c.txt", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesW(L"\\c.txt"), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(DeleteFileW(L"\\b.txt"));
    writeHost("b.txt", "new");
    EXPECT_EQ(GetFileAttributesW(L"\\b.txt"), FILE_ATTRIBUTE_NORMAL)
        << "a deleted file's attributes do not pass to a new file of the same name";
    EXPECT_FALSE(SetFileAttributesW(L"\\", FILE_ATTRIBUTE_HIDDEN)) << "the root has no attributes";
}

TEST_F(PlatformFiles, ReadOnlyFilesResistDeleteAndOverwrite)
{
    writeHost("r.txt", "keep");
    writeHost("s.txt", "other");
    ASSERT_TRUE(SetFileAttributesW(L"\\r.txt", FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(DeleteFileW(L"\\r.txt"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(CopyFileW(L"\\s.txt", L"\\r.txt", FALSE));
    EXPECT_EQ(readHost("r.txt"), "keep");
    ASSERT_TRUE(SetFileAttributesW(L"\\r.txt", FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileW(L"\\r.txt"));
}

// ---- Files and folders ----

TEST_F(PlatformFiles, CopyKeepsTheLastWriteTimeAndRespectsFailIfExists)
{
    writeHost("src.bin", std::string("a\0b\r\n", 5));
    FILETIME old;
    SYSTEMTIME st = {2020, 2, 0, 29, 12, 30, 15, 0};
    ASSERT_TRUE(SystemTimeToFileTime(&st, &old));
    ASSERT_TRUE(setFileTimes(L"\\src.bin", nullptr, nullptr, &old));

    ASSERT_TRUE(CopyFileW(L"\\src.bin", L"\\dst.bin", FALSE));
    EXPECT_EQ(readHost("dst.bin"), std::string("a\0b\r\n", 5));
    FILETIME written;
    ASSERT_TRUE(getFileTimes(L"\\dst.bin", nullptr, nullptr, &written));
    EXPECT_EQ(CompareFileTime(&written, &old), 0);

    writeHost("dst.bin", "changed");
    EXPECT_FALSE(CopyFileW(L"\\src.bin", L"\\dst.bin", TRUE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(readHost("dst.bin"), "changed");
    EXPECT_FALSE(CopyFileW(L"\\src.bin", L"\\src.bin", FALSE)) << "a file is not copied onto itself";
    EXPECT_EQ(readHost("src.bin").size(), 5u);
    EXPECT_FALSE(CopyFileW(L"\\missing", L"\\x", FALSE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(PlatformFiles, FoldersAreMadeAndRemovedOneLevelAtATime)
{
    EXPECT_FALSE(CreateDirectoryW(L"\\a\\b", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    ASSERT_TRUE(CreateDirectoryW(L"\\a", nullptr));
    EXPECT_FALSE(CreateDirectoryW(L"\\a", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CreateDirectoryW(L"\\a\\b", nullptr));
    ASSERT_TRUE(SetFileAttributesW(L"\\a\\b", FILE_ATTRIBUTE_HIDDEN));
    EXPECT_FALSE(RemoveDirectoryW(L"\\a"));
    EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
    EXPECT_FALSE(DeleteFileW(L"\\a\\b")) << "DeleteFileW does not delete folders";
    writeHost("a/b/f", "");
    SetFileAttributesW(L"\\a\\b\\f", FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(DeleteFileW(L"\\a\\b\\f"));
    EXPECT_TRUE(RemoveDirectoryW(L"\\a\\b")) << "the layer's own record files do not count";
    EXPECT_TRUE(RemoveDirectoryW(L"\\a"));
    EXPECT_FALSE(hostExists("a"));
    EXPECT_FALSE(RemoveDirectoryW(L"\\"));
}

TEST_F(PlatformFiles, MoveRefusesAnExistingTarget)
{
    writeHost("x", "1");
    writeHost("y", "2");
    EXPECT_FALSE(MoveFileW(L"\\x", L"\\y"));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(readHost("y"), "2");
    ASSERT_TRUE(CreateDirectoryW(L"\\d", nullptr));
    EXPECT_TRUE(MoveFileW(L"\\x", L"\\d\\x"));
    EXPECT_EQ(readHost("d/x"), "1");
}

TEST_F(PlatformFiles, FreeSpaceIsReportedForMissingPathsToo)
{
    ULARGE_INTEGER freeToCaller{0}, total{0}, totalFree{0};
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"\\not\\there", &freeToCaller, &total, &totalFree));
    EXPECT_GT(total.QuadPart, 0u);
    EXPECT_LE(freeToCaller.QuadPart, totalFree.QuadPart);
    EXPECT_LE(totalFree.QuadPart, total.QuadPart);
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
    EXPECT_FALSE(DeviceIoControl(volume, IOCTL_DISK_GET_STORAGEID, nullptr, 0, reply, 16, &returned, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    ASSERT_TRUE(DeviceIoControl(volume, IOCTL_DISK_GET_STORAGEID, nullptr, 0, reply, sizeof reply,
                                &returned, nullptr));
    STORAGE_IDENTIFICATION head;
    std::memcpy(&head, reply, sizeof head);
    EXPECT_EQ(head.dwSize, returned);
    ASSERT_GE(head.dwSerialNumOffset, 16u);
    EXPECT_STREQ(reinterpret_cast<const char*>(reply + head.dwSerialNumOffset), "SN1234");
    EXPECT_FALSE(DeviceIoControl(volume, 0x1234, nullptr, 0, reply, sizeof reply, &returned, nullptr));
    EXPECT_TRUE(CloseVolumeDevice(volume));
    EXPECT_FALSE(CloseVolumeDevice(volume));

    // A temporary folder without the card mark is a volume that is no flash card.
    ASSERT_TRUE(CreateDirectoryW(L"\\Network", nullptr));
    ASSERT_TRUE(SetFileAttributesW(L"\\Network", FILE_ATTRIBUTE_TEMPORARY));
    volume = CreateVolumeDeviceW(L"\\Network\\vol:");
    ASSERT_NE(volume, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeviceIoControl(volume, IOCTL_DISK_GET_STORAGEID, nullptr, 0, reply, sizeof reply,
                                 &returned, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    CloseVolumeDevice(volume);
    // A plain folder has no volume device.
    ASSERT_TRUE(CreateDirectoryW(L"\\Plain", nullptr));
    EXPECT_EQ(CreateVolumeDeviceW(L"\\Plain\\vol:"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateVolumeDeviceW(L"\\Storage Card\\sub\\vol:"), INVALID_HANDLE_VALUE);
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
            << c.reason << ": " << st.wYear << "-" << st.wMonth << "-" << st.wDay << " dow "
            << st.wDayOfWeek << " " << st.wHour << ":" << st.wMinute << ":" << st.wSecond << "."
            << st.wMilliseconds;
    }
    const FILETIME tooLarge = fileTimeFromUInt64(0x8000000000000000ULL);
    SYSTEMTIME st;
    EXPECT_FALSE(FileTimeToSystemTime(&tooLarge, &st));
}

TEST(PlatformTime, CalendarTimesRoundTripAndBadFieldsFail)
{
    std::mt19937_64 random(13);
    std::uniform_int_distribution<std::uint64_t> ticks(0, 0x7FFFFFFFFFFFFFFFULL / 10000 - 1);
    for (int i = 0; i < 2000; ++i) {
        const FILETIME ft = fileTimeFromUInt64(ticks(random) * 10000);  // whole milliseconds
        SYSTEMTIME st;
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
        FILETIME back;
        ASSERT_TRUE(SystemTimeToFileTime(&st, &back));
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
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);  // POSIX form: no zone database needed
    ::tzset();
    struct Case { SYSTEMTIME utc; WORD localHour; const char* reason; };
    const std::vector<Case> cases = {
        {{2021, 1, 0, 15, 12, 0, 0, 0}, 13, "winter: UTC+1"},
        {{2021, 7, 0, 15, 12, 0, 0, 0}, 14, "summer: UTC+2"},
    };
    for (const Case& c : cases) {
        FILETIME utc, local;
        ASSERT_TRUE(SystemTimeToFileTime(&c.utc, &utc));
        ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
        SYSTEMTIME st;
        ASSERT_TRUE(FileTimeToSystemTime(&local, &st));
        EXPECT_EQ(st.wHour, c.localHour) << c.reason;
    }
    if (old)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

TEST(PlatformTime, TickCountNeverRunsBackwards)
{
    DWORD last = GetTickCount();
    for (int i = 0; i < 5; ++i) {
        Sleep(2);
        const DWORD now = GetTickCount();
        EXPECT_LT(static_cast<DWORD>(now - last), 0x80000000u);
        last = now;
    }
    SYSTEMTIME local, utc;
    GetLocalTime(&local);
    GetSystemTime(&utc);
    EXPECT_GE(utc.wYear, 2020);
    EXPECT_GE(local.wMonth, 1);
    EXPECT_LE(local.wMonth, 12);
}

// ---- Process ----

TEST_F(PlatformFiles, ModuleFileNameIsTheDevicePathOfTheExecutable)
{
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    EXPECT_EQ(std::wstring(buffer), L"\\Program Files\\fieldcore\\fieldcore.exe");
    EXPECT_EQ(n, std::wcslen(buffer));
    EXPECT_TRUE(hostExists("Program Files/fieldcore")) << "the executable's folder exists on a device";

    wchar_t small[8];
    EXPECT_EQ(GetModuleFileNameW(nullptr, small, 8), 8u) << "a cut path returns the buffer size";
    EXPECT_EQ(std::wstring(small), L"\\Progra");
    EXPECT_EQ(GetModuleFileNameW(nullptr, nullptr, 8), 0u);
}

TEST(PlatformProcess, DebuggerOutputGoesToStandardError)
{
    ::testing::internal::CaptureStderr();
    OutputDebugStringW(L"caf\u00e9 \u20ac\n");
    OutputDebugStringW(nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "caf\xc3\xa9 \xe2\x82\xac\n");
}

TEST(PlatformSync, CriticalSectionSerialisesAndIsRecursive)
{
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

TEST(PlatformWindow, StubWindowsMeasureFixedWidthText)
{
    HWND window = createWindowStub(240, 320);
    ASSERT_TRUE(IsWindow(window));
    CRect client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client, CRect(0, 0, 240, 320));
    EXPECT_EQ(GetTextWidth(window, L"abcdef", 3), 3 * kStubCharWidth);
    destroyWindowStub(window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(GetClientRect(window, &client));
    EXPECT_EQ(GetTextWidth(window, L"abc", 3), 0);
}

} // namespace
