// File utilities over device paths: path pieces, existence tests, folder creation, copies,
// listings, file times, the flash-card test and the shortening of a path for display.
//
// Paths are device paths (platform/deviceRoot.h). Positions are character indices. Results
// are reported through return values only; nothing is shown or logged.
#pragma once

#include "platform/CString.h"
#include "platform/containers.h"
#include "platform/fileSystem.h"
#include "platform/sysTime.h"
#include "platform/windowStub.h"

#include <functional>

namespace FileFuncs {

// One past the last '\' or '/', 0 when there is none.
int GetFileNameStart(const CString& path);
// The position of the last '.' anywhere in the path, or the length when there is none.
int GetFileExtStart(const CString& path);

// "\a\b.txt" -> "b.txt".
CString ExtractFileNameWithExtFromPathName(const CString& path);
// The text from the file name's start to the extension's '.' ("\a\b.txt" -> "b"). The '.' is
// searched in the whole path: "\a.d\b" gives "" (the dot lies before the file name).
CString ExtractFileNameWithoutExtFromPathName(const CString& path);
// Everything before the last '.' ("\a\b.txt" -> "\a\b"); the whole path when there is none.
CString ExtractPathNameWithoutExtFromPathName(const CString& path);
// The text after the last '.', empty when there is none or nothing follows it ("a." -> "").
CString ExtractFileNameExtFromPathName(const CString& path);
// Everything before the file name, without the separator ("\a\b.txt" -> "\a"); empty when
// the path has no separator ("\b.txt" -> "").
CString ExtractDirNameWithoutSlashFromPathName(const CString& path);

// A directory search for the path finds something (a file or a folder).
bool IsFileExist(const CString& path);
// The search finds the path and it is a folder.
bool IsDirExist(const CString& path);
// Creates the folder and its missing parents; one trailing backslash is ignored. True when
// the last folder created (or the folder found at once) is there.
bool CreateDir(const CString& path);

// The file dialog. This port has no file dialog: the call answers through the handler set
// with SetFileDialogHandler and, without one, as a cancelled dialog (empty text). `open`
// chooses the open dialog (path and file must exist) or the save dialog (overwrite prompt,
// no read-only box); `filter` is the platform's "Text|*.txt|" list, `flags` its extra flags.
CString ChooseFileDialog(bool open, const wchar_t* filter, const wchar_t* defaultExt,
                         const wchar_t* initialFolder, DWORD flags);
using FileDialogHandler = std::function<CString(bool open, const wchar_t* filter,
                                                const wchar_t* defaultExt,
                                                const wchar_t* initialFolder, DWORD flags)>;
// Installs the function that stands for the user of the dialog (an empty one removes it).
void SetFileDialogHandler(FileDialogHandler handler);

// Opens the file for reading and reads its creation, last-access and last-write times (UTC);
// null outputs are skipped. False when the file cannot be opened (folders cannot).
bool vrkGetFileTimes(const wchar_t* path, FILETIME* created, FILETIME* accessed,
                     FILETIME* written);
// The time in local time as date "MM/DD/YYYY" ("%02d/%02d/%d") and time "HH:MM"; either
// output may be null. False (outputs untouched) when the conversion fails.
bool ConvertAndFormatFileTime(FILETIME& time, CString* date, CString* clock);
// Creation time into (d1, t1), last-write time into (d2, t2), last-access time into (d3, t3);
// nothing at all when d1 is null, a pair is skipped when its time is null or cannot be
// converted. Always true.
bool vrkGetFileTimeFormatted(FILETIME* created, FILETIME* accessed, FILETIME* written,
                             CString* d1, CString* t1, CString* d2, CString* t2, CString* d3,
                             CString* t3);
// As above with the times of a file; outputs untouched when its times cannot be read.
bool vrkGetFileTimeFormatted(const wchar_t* path, CString* d1, CString* t1, CString* d2,
                             CString* t2, CString* d3, CString* t3);
// The current UTC time.
void vrkGetSystemTimeAsFileTime(FILETIME& time);

} // namespace FileFuncs

// What FindAllFilesInFolder collects (bit values).
enum EFindFolder {
    EFF_FILES = 1,
    EFF_FOLDERS = 2,
    EFF_FILES_AND_FOLDERS = 3,
};

namespace FileFuncsEx {

// The size in bytes of the file (low and, when `high` is given, high 32 bits); false when the
// path is not found.
bool GetPathSize(const wchar_t* path, unsigned long& low, unsigned long* high);
// 1 without copying when the target exists and overwrite is 0; otherwise the copy's result
// (1 copied, replacing the target; 0 failed).
int CopyFromTo(const wchar_t* from, const wchar_t* to, int overwrite);
// Copies when the target is missing or the source was written later than the target:
// 0 when the source is missing or the copy fails; 1 when copied, and 1 without copying when
// the target is up to date or either last-write time cannot be read.
int CopyFromToCheckDate(const wchar_t* from, const wchar_t* to);
// Copies the entries of folder `from` into folder `to` (created when missing). Entries whose
// attributes are exactly FILE_ATTRIBUTE_DIRECTORY are copied recursively when `recursive` is
// set and skipped otherwise; every other entry is copied as a file, replacing the target
// (so a folder with any other attribute, hidden for instance, makes the copy fail). A
// symbolic link is refused (the copy fails there). 1 when everything was copied, 0 at the
// first failure or when `from` is no folder.
int CopyDirectory(const wchar_t* from, const wchar_t* to, int recursive);
// Deletes the folder's contents recursively (read-only files included), then the folder;
// 1 when the folder is gone. Links are deleted themselves, never what they name (a path that
// is itself a link: the link goes).
int RemoveDirectoryTree(const wchar_t* path);
// Creates the path and its missing parents, from the outermost down, stopping at the first
// failure; 1 when the path exists afterwards.
int CreateDirectoryTree(const wchar_t* path);
// Empties `out` and appends the search records of every entry of folder + "\*" (or folder +
// "\" + pattern when a pattern is given) that `what` asks for: files, folders, or both.
void FindAllFilesInFolder(CArray<WIN32_FIND_DATAW>& out, EFindFolder what, const wchar_t* folder,
                          const wchar_t* pattern);
// 1 for "." and "..".
int IsDots(const wchar_t* name);
// 1 when the path's top folder (an absolute path's first component) is a mounted volume
// (temporary attribute) that answers the storage-identification query with a serial number
// (see platform/fileSystem.h for how a card is modelled here).
int IsPathOnFlashCard(const wchar_t* path);
// Shortens a path to fit 90 % of the window's client width (width - width / 10 pixels in the
// window's font, see platform/windowStub.h) by turning the component after the first
// separator into "..." and then removing the components after the "..." one by one; the
// path unchanged without a window or when empty.
CString CompactPath(HWND window, const wchar_t* path, wchar_t separator);
// One less than the number of entries of folder + "\*.*" (the first entry found is not
// counted); 0 when there is none.
unsigned long CountFiles(const CString& folder);

} // namespace FileFuncsEx
