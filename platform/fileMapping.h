// File handles and memory-mapped files of the platform over POSIX open() and mmap(), on device
// paths (mapped onto the device root as CFile does, platform/deviceRoot.h).
//
// Failure values are the platform's: the calls that open files return INVALID_HANDLE_VALUE,
// CreateFileMappingW and MapViewOfFile return null; each sets the thread's last error
// (platform/lastError.h). Handles are closed with CloseHandle (platform/kernelObjects.h); a
// mapping keeps its file open until the mapping is closed, and a view keeps its mapping until
// it is unmapped.
//
// Differences from the platform:
//  - Share modes are accepted and ignored: POSIX files have no share modes.
//  - A view never reaches past the end of the file: MapViewOfFile clamps the length to the
//    file (touching such pages would stop the process here, where the platform refuses the
//    view), and a view that would start at or past the end fails.
//  - An empty file cannot be mapped: CreateFileMappingW fails with ERROR_FILE_INVALID.
#pragma once

#include "platform/kernelObjects.h"
#include "platform/winTypes.h"

#include <cstddef>

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002;

constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;

constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFF;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;

constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD PAGE_READWRITE = 0x04;
constexpr DWORD FILE_MAP_WRITE = 0x0002;
constexpr DWORD FILE_MAP_READ = 0x0004;
constexpr DWORD FILE_MAP_ALL_ACCESS = 0x000F001F;

// Opens or creates a file. `access`: GENERIC_READ and/or GENERIC_WRITE; `creation`:
// CREATE_NEW, CREATE_ALWAYS, OPEN_EXISTING, OPEN_ALWAYS or TRUNCATE_EXISTING. `share`,
// `security`, `flags` and `templateFile` are ignored. A missing file gives
// ERROR_FILE_NOT_FOUND, a missing folder on the way ERROR_PATH_NOT_FOUND, a folder
// ERROR_ACCESS_DENIED.
HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD share, void* security, DWORD creation, DWORD flags,
                   HANDLE templateFile);
// The platform's way to open a file that is to be mapped: the same as CreateFileW here.
HANDLE CreateFileForMappingW(LPCWSTR path, DWORD access, DWORD share, void* security, DWORD creation,
                             DWORD flags, HANDLE templateFile);

// The size in bytes (low 32 bits; the high ones in *high when given); INVALID_FILE_SIZE on
// failure.
DWORD GetFileSize(HANDLE file, DWORD* high);
// Moves the file position; returns its low 32 bits (INVALID_SET_FILE_POINTER on failure).
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
// Makes the file end at the position (longer files are cut, shorter ones grow with zeros).
BOOL SetEndOfFile(HANDLE file);
BOOL ReadFile(HANDLE file, void* buffer, DWORD count, DWORD* read, void* overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD count, DWORD* written, void* overlapped);

// A mapping of the whole file (the maximum size must be 0 or the file's size: files are not
// grown by mapping). PAGE_READONLY or PAGE_READWRITE (the file must be open for writing).
// `security` and `name` are ignored. Null on failure.
HANDLE CreateFileMappingW(HANDLE file, void* security, DWORD protect, DWORD maximumSizeHigh,
                          DWORD maximumSizeLow, LPCWSTR name);
// A view of `bytes` bytes (0: to the end of the file) from the offset, which must be a
// multiple of the host's allocation granularity (64 KiB always is). FILE_MAP_WRITE needs a
// PAGE_READWRITE mapping; writes reach the file. Null on failure.
void* MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, std::size_t bytes);
// Unmaps a view made by MapViewOfFile; FALSE for any other address.
BOOL UnmapViewOfFile(const void* view);
// The length of a view (after clamping); 0 for an address that is no view.
std::size_t viewLength(const void* view);
// Unmaps the view, then closes the mapping and the file (the three a reader of a mapped file
// holds); each is skipped where it is its failure value (null, INVALID_HANDLE_VALUE), so that
// a reader that stopped half-way closes what it has.
void closeMappedFile(const void* view, HANDLE mapping, HANDLE file);
