// File handles and mappings: opening modes and their errors, sizes, views clamped to the file,
// writes through a view, and handles closed in any order.
#include "deviceRootFixture.h"

#include "platform/fileMapping.h"
#include "platform/kernelObjects.h"
#include "platform/lastError.h"

#include <cstring>

namespace {

using FileMapping = DeviceRootTest;

TEST_F(FileMapping, OpenModesAndErrors)
{
    writeHost("a.txt", "abc");
    writeHost("dir/x", "");
    struct Case { const wchar_t* path; DWORD access; DWORD creation; DWORD error; const char* reason; };
    const Case cases[] = {
        {L"\\a.txt", GENERIC_READ, OPEN_EXISTING, ERROR_SUCCESS, "exists"},
        {L"\\A.TXT", GENERIC_READ, OPEN_EXISTING, ERROR_SUCCESS, "names match without case"},
        {L"\\b.txt", GENERIC_READ, OPEN_EXISTING, ERROR_FILE_NOT_FOUND, "missing file"},
        {L"\\none\\b.txt", GENERIC_READ, OPEN_EXISTING, ERROR_PATH_NOT_FOUND, "missing folder"},
        {L"\\none\\b.txt", GENERIC_WRITE, CREATE_ALWAYS, ERROR_PATH_NOT_FOUND, "cannot create in a missing folder"},
        {L"\\a.txt", GENERIC_WRITE, CREATE_NEW, ERROR_ALREADY_EXISTS, "CREATE_NEW over a file"},
        {L"\\dir", GENERIC_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED, "a folder"},
        {L"\\a.txt", GENERIC_READ, 9, ERROR_INVALID_PARAMETER, "unknown creation"},
    };
    for (const Case& c : cases) {
        const HANDLE file = CreateFileW(c.path, c.access, 0, nullptr, c.creation, 0, nullptr);
        EXPECT_EQ(GetLastError(), c.error) << c.reason;
        EXPECT_EQ(file == INVALID_HANDLE_VALUE, c.error != ERROR_SUCCESS) << c.reason;
        if (file != INVALID_HANDLE_VALUE) {
            EXPECT_TRUE(CloseHandle(file));
        }
    }
}

TEST_F(FileMapping, SizeWriteReadAndEnd)
{
    const HANDLE file = CreateFileW(L"\\f.bin", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "0123456789", 10, &written, nullptr));
    EXPECT_EQ(written, 10u);
    EXPECT_EQ(SetFilePointer(file, 4, nullptr, FILE_BEGIN), 4u);
    EXPECT_TRUE(SetEndOfFile(file));
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(file, &high), 4u);
    EXPECT_EQ(high, 0u);
    LONG distanceHigh = 1;  // 4 GiB + 16: the file grows sparse
    EXPECT_EQ(SetFilePointer(file, 16, &distanceHigh, FILE_BEGIN), 16u);
    EXPECT_EQ(distanceHigh, 1);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_BEGIN), 0u);
    char buffer[8] = {};
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file, buffer, 8, &read, nullptr));
    EXPECT_EQ(read, 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE) << "closed";
}

TEST_F(FileMapping, ViewsAreClampedToTheFile)
{
    writeHost("big.bin", std::string(200000, 'b'));
    const HANDLE file = CreateFileForMappingW(L"\\big.bin", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                              nullptr);
    const HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READWRITE, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    EXPECT_EQ(CreateFileMappingW(file, nullptr, PAGE_READWRITE, 0, 5, nullptr), nullptr) << "no growing by mapping";
    struct Case { DWORD offset; std::size_t bytes; std::size_t length; const char* reason; };
    const Case cases[] = {
        {0, 0, 200000, "0: to the end"},
        {0, 2097152, 200000, "2 MiB over a smaller file: clamped"},
        {65536, 1000, 1000, "inside"},
        {131072, 2097152, 200000 - 131072, "the tail"},
        {262144, 10, 0, "past the end: refused"},
        {1000, 10, 0, "not on the 64 KiB grain: refused"},
    };
    for (const Case& c : cases) {
        char* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, c.offset, c.bytes));
        EXPECT_EQ(viewLength(view), c.length) << c.reason;
        if (view) {
            view[viewLength(view) - 1] = 'e';  // the last byte of the view is in the file
            EXPECT_TRUE(UnmapViewOfFile(view));
        }
    }
    EXPECT_FALSE(UnmapViewOfFile(&cases)) << "not a view";
    // A view outlives the handles it came from.
    char* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 4));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(file));
    std::memcpy(view, "head", 4);
    EXPECT_TRUE(UnmapViewOfFile(view));
    const std::string bytes = readHost("big.bin");
    EXPECT_EQ(bytes.substr(0, 4), "head") << "writes reach the file";
    EXPECT_EQ(bytes.back(), 'e');
}

TEST_F(FileMapping, MappingRules)
{
    writeHost("empty.bin", "");
    writeHost("one.bin", "1");
    const HANDLE empty = CreateFileForMappingW(L"\\empty.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(CreateFileMappingW(empty, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_INVALID) << "an empty file cannot be mapped";
    CloseHandle(empty);
    const HANDLE readOnly = CreateFileForMappingW(L"\\one.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(CreateFileMappingW(readOnly, nullptr, PAGE_READWRITE, 0, 0, nullptr), nullptr)
        << "a read/write mapping needs write access";
    const HANDLE mapping = CreateFileMappingW(readOnly, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0), nullptr) << "a writable view of a read-only mapping";
    const char* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view[0], '1');
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    CloseHandle(readOnly);
    EXPECT_EQ(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    EXPECT_EQ(MapViewOfFile(nullptr, FILE_MAP_READ, 0, 0, 0), nullptr);
}

// A reader that stopped after opening 0 to 3 of the file, its mapping and its view closes
// what it has and passes over the failure values (a close of one would set the last error).
TEST_F(FileMapping, ClosingAMappedFileClosesWhatWasOpened)
{
    writeHost("one.bin", "1");
    struct Case { int opened; const char* reason; };
    const Case cases[] = {
        {3, "file, mapping and view"}, {2, "the view failed"}, {1, "the mapping failed"}, {0, "the file did not open"},
    };
    for (const Case& c : cases) {
        HANDLE file = INVALID_HANDLE_VALUE, mapping = nullptr;
        const void* view = nullptr;
        if (c.opened >= 1)
            file = CreateFileForMappingW(L"\\one.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (c.opened >= 2)
            mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (c.opened >= 3)
            view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
        ASSERT_TRUE((c.opened < 1 || file != INVALID_HANDLE_VALUE) && (c.opened < 2 || mapping) && (c.opened < 3 || view))
            << c.reason;
        SetLastError(ERROR_SUCCESS);
        closeMappedFile(view, mapping, file);
        EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << c.reason;
        if (view) {
            EXPECT_EQ(viewLength(view), 0u) << c.reason << ": the view is unmapped";
        }
        if (mapping) {
            EXPECT_EQ(objectOfHandle(mapping), nullptr) << c.reason << ": the mapping is closed";
        }
        if (file != INVALID_HANDLE_VALUE) {
            EXPECT_EQ(objectOfHandle(file), nullptr) << c.reason << ": the file is closed";
        }
    }
}

} // namespace
