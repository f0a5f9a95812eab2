#include "platform/lastError.h"

#include <cerrno>
#include <cwchar>

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD code) { lastError = code; }

DWORD errorFromErrno(int err)
{
    switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENOSPC: return ERROR_DISK_FULL;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case ENAMETOOLONG: return ERROR_INVALID_NAME;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    default: return ERROR_ACCESS_DENIED;
    }
}

const wchar_t* systemErrorText(DWORD code)
{
    switch (code) {
    case ERROR_SUCCESS: return L"The operation completed successfully.";
    case ERROR_FILE_NOT_FOUND: return L"The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND: return L"The system cannot find the path specified.";
    case ERROR_ACCESS_DENIED: return L"Access is denied.";
    case ERROR_INVALID_HANDLE: return L"The handle is invalid.";
    case ERROR_NOT_ENOUGH_MEMORY: return L"Not enough storage is available to process this command.";
    case ERROR_NO_MORE_FILES: return L"There are no more files.";
    case ERROR_WRITE_FAULT: return L"The system cannot write to the specified device.";
    case ERROR_READ_FAULT: return L"The system cannot read from the specified device.";
    case ERROR_NOT_SUPPORTED: return L"The request is not supported.";
    case ERROR_FILE_EXISTS: return L"The file exists.";
    case ERROR_INVALID_PARAMETER: return L"The parameter is incorrect.";
    case ERROR_DISK_FULL: return L"There is not enough space on the disk.";
    case ERROR_INSUFFICIENT_BUFFER: return L"The data area passed to a system call is too small.";
    case ERROR_INVALID_NAME: return L"The filename, directory name, or volume label syntax is incorrect.";
    case ERROR_DIR_NOT_EMPTY: return L"The directory is not empty.";
    case ERROR_ALREADY_EXISTS: return L"Cannot create a file when that file already exists.";
    case ERROR_MOD_NOT_FOUND: return L"The specified module could not be found.";
    case ERROR_PROC_NOT_FOUND: return L"The specified procedure could not be found.";
    case ERROR_MORE_DATA: return L"More data is available.";
    case ERROR_NO_MORE_ITEMS: return L"No more data is available.";
    case ERROR_DIRECTORY: return L"The directory name is invalid.";
    case ERROR_FILE_INVALID: return L"The volume for a file has been externally altered so that the opened file is no longer valid.";
    case ERROR_INVALID_WINDOW_HANDLE: return L"Invalid window handle.";
    case ERROR_INVALID_THREAD_ID: return L"The thread identifier is invalid.";
    default: break;
    }
    static thread_local wchar_t unknown[40];
    std::swprintf(unknown, 40, L"Unknown error %lu.", static_cast<unsigned long>(code));
    return unknown;
}
