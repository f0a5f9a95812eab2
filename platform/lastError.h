// The calling thread's last error code, as the platform's file and system services set it
// when they fail (GetLastError / SetLastError). Codes are the platform's numbers.
#pragma once

#include "platform/winTypes.h"

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_NO_MORE_FILES = 18;
constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_READ_FAULT = 30;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_INVALID_NAME = 123;
constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;     // LoadLibraryW: no such library
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;    // GetProcAddress: no such export
constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;    // LoadLibraryW: the file is no loadable library
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
constexpr DWORD ERROR_DIRECTORY = 267;
constexpr DWORD ERROR_FILE_INVALID = 1006;  // an empty file cannot be mapped
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_INVALID_THREAD_ID = 1444;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

DWORD GetLastError();
void SetLastError(DWORD code);

// The platform code for a host errno value (ENOENT -> ERROR_FILE_NOT_FOUND, ...).
DWORD errorFromErrno(int err);

// The system's message for a code the layer produces ("The system cannot find the file
// specified." for 2, ...), as the platform's FormatMessage gives it, without a line end;
// "Unknown error N." for other codes.
const wchar_t* systemErrorText(DWORD code);
