// File-system services of the platform over device paths (see platform/deviceRoot.h):
// search, copy, move, delete, folders, attributes, file times, free space and the
// storage-card query. Every call maps its device paths onto the device root at the moment
// it runs. Failures return FALSE (or the documented invalid value) and set the thread's last
// error (platform/lastError.h).
//
// Attributes. The host file system has no hidden, system, archive, temporary or read-only
// marks of the platform's kind, so this layer keeps them itself: each host folder may hold a
// record file ".fieldcore-attributes" (one line per entry: the attribute bits in hexadecimal,
// a blank, the host name). Move, copy, delete and folder removal carry or drop the records.
// The directory bit comes from the host. A file without recorded bits reports
// FILE_ATTRIBUTE_NORMAL; a folder reports FILE_ATTRIBUTE_DIRECTORY plus its recorded bits.
// Read-only is enforced by DeleteFileW, RemoveDirectoryW and CopyFileW onto the file (not by
// other writers). The device root itself has no attributes of its own.
//
// Times. The last-write and last-access times are the host's; the host's status-change time
// stands for the creation time, which the host does not keep.
//
// Links and the root. No call leads out of the device root (platform/deviceRoot.h): names
// with control characters and the layer's own names fail with ERROR_INVALID_NAME, paths that
// a symbolic link leads out of the root with ERROR_ACCESS_DENIED. A link shows
// FILE_ATTRIBUTE_REPARSE_POINT: with the attributes of what it names when that lies inside
// the root, alone (never a folder) when it leads outside or nowhere. DeleteFileW deletes a
// link itself (whatever it names), MoveFileW moves it, RemoveDirectoryW refuses it
// (ERROR_DIRECTORY), and the device root itself cannot be removed or moved.
//
// Storage cards. A mounted card is a top-level folder of the device root with the temporary
// attribute, as the platform marks mounted volumes. Its volume device ("\Storage Card\vol:")
// answers the storage-identification query (IOCTL_DISK_GET_STORAGEID) when the folder also
// holds the mark ".fieldcore-card" (its text is the card's serial number); a temporary folder
// without the mark is a mounted volume that is no flash card (the query fails).
// mountFlashCard() makes such a card folder.
#pragma once

#include "platform/sysTime.h"
#include "platform/winTypes.h"

#include <cstdint>

constexpr DWORD MAX_PATH = 260;

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x00000001;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x00000002;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x00000004;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x00000010;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x00000020;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
constexpr DWORD FILE_ATTRIBUTE_TEMPORARY = 0x00000100;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x00000400;  // a symbolic link
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// One entry of a directory search (the platform's record; cFileName is the bare name).
struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[MAX_PATH];
};

struct ULARGE_INTEGER {
    ULONGLONG QuadPart;
};

// ---- Directory search ----
// `pattern` is a folder path plus a last component that may hold the wildcards '*' (any run
// of characters) and '?' (one character), matched without regard to case; a name without a
// dot also matches as if it ended in one, so "*.*" matches every name. Entries are listed in
// the order of their names and never include "." or "..". FindFirstFileW returns
// INVALID_HANDLE_VALUE when nothing matches (ERROR_FILE_NOT_FOUND, or ERROR_PATH_NOT_FOUND
// when the folder does not exist); FindNextFileW returns FALSE with ERROR_NO_MORE_FILES after
// the last entry. Close every handle with FindClose.
HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data);
BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data);
BOOL FindClose(HANDLE find);

// ---- Files and folders ----
// Copies a file's bytes, last-write time and attributes; fails for folders, when the target
// exists and failIfExists is set (ERROR_FILE_EXISTS), and when the target is read-only.
BOOL CopyFileW(LPCWSTR from, LPCWSTR to, BOOL failIfExists);
// Renames or moves a file or folder; fails when the target exists (ERROR_ALREADY_EXISTS).
BOOL MoveFileW(LPCWSTR from, LPCWSTR to);
// Deletes a file; fails for folders and read-only files (ERROR_ACCESS_DENIED).
BOOL DeleteFileW(LPCWSTR path);
// Creates one folder; fails when it exists (ERROR_ALREADY_EXISTS) or its parent does not
// (ERROR_PATH_NOT_FOUND). `security` is ignored.
BOOL CreateDirectoryW(LPCWSTR path, void* security);
// Removes an empty folder (ERROR_DIR_NOT_EMPTY otherwise).
BOOL RemoveDirectoryW(LPCWSTR path);

// The attribute bits, or INVALID_FILE_ATTRIBUTES when the path does not exist.
DWORD GetFileAttributesW(LPCWSTR path);
// Records the read-only, hidden, system, archive and temporary bits of `attributes`
// (FILE_ATTRIBUTE_NORMAL clears them all; other bits are ignored).
BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes);

// The three times of a file or folder (UTC file times); null outputs are skipped.
BOOL getFileTimes(LPCWSTR path, FILETIME* created, FILETIME* accessed, FILETIME* written);
// Sets the last-access and last-write times (null keeps one); the creation time cannot be
// set on this host and is ignored.
BOOL setFileTimes(LPCWSTR path, const FILETIME* created, const FILETIME* accessed,
                  const FILETIME* written);

// Free and total bytes of the host volume that holds `path` (the nearest existing folder of
// it); null outputs are skipped.
BOOL GetDiskFreeSpaceExW(LPCWSTR path, ULARGE_INTEGER* freeToCaller, ULARGE_INTEGER* total,
                         ULARGE_INTEGER* totalFree);

// ---- Storage cards ----
constexpr DWORD IOCTL_DISK_GET_STORAGEID = 0x71C24;
constexpr DWORD MANUFACTUREID_INVALID = 0x01;
constexpr DWORD SERIALNUM_INVALID = 0x02;

// The head of the storage-identification reply; the manufacturer and serial texts follow it
// in the reply buffer at the given byte offsets (zero-terminated 8-bit text; offset 0 when
// the text is missing).
struct STORAGE_IDENTIFICATION {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwManufactureIDOffset;
    DWORD dwSerialNumOffset;
};

// Makes "\" + folder a mounted flash card with the given serial number (an empty serial:
// the card reports no serial number). Creates the folder when missing.
BOOL mountFlashCard(LPCWSTR folder, LPCWSTR serial);

// Opens the volume device of a mounted folder, "\Folder\vol:" (case ignored); fails with
// ERROR_FILE_NOT_FOUND when the folder is not a top-level folder with the temporary
// attribute. Close with CloseVolumeDevice.
HANDLE CreateVolumeDeviceW(LPCWSTR device);
BOOL CloseVolumeDevice(HANDLE device);
// Device control of a volume device. Only IOCTL_DISK_GET_STORAGEID is known: it writes the
// reply (STORAGE_IDENTIFICATION and its texts) into `out` and its size into *returned; it
// fails with ERROR_NOT_SUPPORTED on a volume that is no flash card and with
// ERROR_INSUFFICIENT_BUFFER when `outSize` is too small. Other codes: ERROR_NOT_SUPPORTED.
BOOL DeviceIoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* returned, void* overlapped);
