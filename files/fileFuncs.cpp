#include "files/fileFuncs.h"

#include "platform/CFile.h"

#include <cstring>
#include <cwchar>
#include <vector>

namespace {

// The first search record of a pattern; false when nothing is found.
bool findFirst(const wchar_t* pattern, WIN32_FIND_DATAW& data)
{
    const HANDLE find = FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return true;
}

// Calls `visit` with every search record of a pattern.
template <class Visit>
bool forEachEntry(const CString& pattern, Visit visit)
{
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    do {
        if (!visit(data)) {
            FindClose(find);
            return false;
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

bool lastWriteTime(const wchar_t* path, FILETIME& time)
{
    return FileFuncs::vrkGetFileTimes(path, nullptr, nullptr, &time);
}

FileFuncs::FileDialogHandler& dialogHandler()
{
    static FileFuncs::FileDialogHandler handler;
    return handler;
}

} // namespace

namespace FileFuncs {

int GetFileNameStart(const CString& path)
{
    const int back = path.ReverseFind(L'\\');
    const int slash = path.ReverseFind(L'/');
    return (back > slash ? back : slash) + 1;
}

int GetFileExtStart(const CString& path)
{
    const int dot = path.ReverseFind(L'.');
    return dot < 0 ? path.GetLength() : dot;
}

CString ExtractFileNameWithExtFromPathName(const CString& path)
{
    return path.Mid(GetFileNameStart(path));
}

CString ExtractFileNameWithoutExtFromPathName(const CString& path)
{
    const int start = GetFileNameStart(path);
    return path.Mid(start, GetFileExtStart(path) - start);
}

CString ExtractPathNameWithoutExtFromPathName(const CString& path)
{
    return path.Left(GetFileExtStart(path));
}

CString ExtractFileNameExtFromPathName(const CString& path)
{
    const int dot = GetFileExtStart(path);
    return dot + 1 < path.GetLength() ? path.Mid(dot + 1) : CString();
}

CString ExtractDirNameWithoutSlashFromPathName(const CString& path)
{
    const int start = GetFileNameStart(path);
    return start == 0 ? CString() : path.Left(start - 1);
}

bool IsFileExist(const CString& path)
{
    WIN32_FIND_DATAW data;
    return findFirst(path, data);
}

bool IsDirExist(const CString& path)
{
    WIN32_FIND_DATAW data;
    return findFirst(path, data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDir(const CString& path)
{
    CString current = path;
    if (!current.IsEmpty() && current[current.GetLength() - 1] == L'\\')
        current = current.Left(current.GetLength() - 1);
    std::vector<CString> cut;  // the components taken off, innermost last
    while (!IsDirExist(current) && !CreateDirectoryW(current, nullptr)) {
        const int last = current.ReverseFind(L'\\');
        if (last < 0)
            return false;
        cut.push_back(current.Mid(last));
        current = current.Left(last);
    }
    bool ok = true;
    while (!cut.empty()) {
        current += cut.back();
        cut.pop_back();
        ok = CreateDirectoryW(current, nullptr) != FALSE;
    }
    return ok;
}

CString ChooseFileDialog(bool open, const wchar_t* filter, const wchar_t* defaultExt,
                         const wchar_t* initialFolder, DWORD flags)
{
    const FileDialogHandler& handler = dialogHandler();
    return handler ? handler(open, filter, defaultExt, initialFolder, flags) : CString();
}

void SetFileDialogHandler(FileDialogHandler handler)
{
    dialogHandler() = std::move(handler);
}

bool vrkGetFileTimes(const wchar_t* path, FILETIME* created, FILETIME* accessed,
                     FILETIME* written)
{
    CFile file;
    if (!path || !file.Open(path, CFile::modeRead))
        return false;
    return getFileTimes(path, created, accessed, written) != FALSE;
}

bool ConvertAndFormatFileTime(FILETIME& time, CString* date, CString* clock)
{
    FILETIME local;
    SYSTEMTIME s;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &s))
        return false;
    if (date)
        date->Format(L"%02d/%02d/%d", s.wMonth, s.wDay, s.wYear);
    if (clock)
        clock->Format(L"%02d:%02d", s.wHour, s.wMinute);
    return true;
}

bool vrkGetFileTimeFormatted(FILETIME* created, FILETIME* accessed, FILETIME* written,
                             CString* d1, CString* t1, CString* d2, CString* t2, CString* d3,
                             CString* t3)
{
    if (!d1)
        return true;
    if (created)
        ConvertAndFormatFileTime(*created, d1, t1);
    if (written)
        ConvertAndFormatFileTime(*written, d2, t2);
    if (accessed)
        ConvertAndFormatFileTime(*accessed, d3, t3);
    return true;
}

bool vrkGetFileTimeFormatted(const wchar_t* path, CString* d1, CString* t1, CString* d2,
                             CString* t2, CString* d3, CString* t3)
{
    FILETIME created, accessed, written;
    if (d1 && vrkGetFileTimes(path, &created, &accessed, &written))
        vrkGetFileTimeFormatted(&created, &accessed, &written, d1, t1, d2, t2, d3, t3);
    return true;
}

void vrkGetSystemTimeAsFileTime(FILETIME& time)
{
    GetSystemTimeAsFileTime(&time);
}

} // namespace FileFuncs

namespace FileFuncsEx {

bool GetPathSize(const wchar_t* path, unsigned long& low, unsigned long* high)
{
    WIN32_FIND_DATAW data;
    if (!path || !findFirst(path, data))
        return false;
    low = data.nFileSizeLow;
    if (high)
        *high = data.nFileSizeHigh;
    return true;
}

int CopyFromTo(const wchar_t* from, const wchar_t* to, int overwrite)
{
    if (!overwrite && FileFuncs::IsFileExist(to))
        return 1;
    return CopyFileW(from, to, FALSE) ? 1 : 0;
}

int CopyFromToCheckDate(const wchar_t* from, const wchar_t* to)
{
    if (!FileFuncs::IsFileExist(to))
        return CopyFileW(from, to, FALSE) ? 1 : 0;
    if (!FileFuncs::IsFileExist(from))
        return 0;
    FILETIME source, target;
    if (!lastWriteTime(from, source) || !lastWriteTime(to, target))
        return 1;
    if (CompareFileTime(&source, &target) <= 0)
        return 1;
    return CopyFileW(from, to, FALSE) ? 1 : 0;
}

int CopyDirectory(const wchar_t* from, const wchar_t* to, int recursive)
{
    const CString source(from), target(to);
    if (!FileFuncs::IsDirExist(source))
        return 0;
    if (!FileFuncs::IsDirExist(target) && !CreateDirectoryW(target, nullptr))
        return 0;
    bool ok = true;
    forEachEntry(source + L"\\*", [&](const WIN32_FIND_DATAW& entry) {
        const CString inner = source + L"\\" + entry.cFileName;
        const CString outer = target + L"\\" + entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            ok = false;  // a link is refused: copied, it could name anything
        } else if (entry.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY) {
            if (recursive && !IsDots(entry.cFileName))
                ok = CopyDirectory(inner, outer, recursive) != 0;
        } else {
            ok = CopyFileW(inner, outer, FALSE) != FALSE;
        }
        return ok;
    });
    return ok ? 1 : 0;
}

int RemoveDirectoryTree(const wchar_t* path)
{
    const CString folder(path);
    // A link is removed itself, never what it names.
    const DWORD attributes = GetFileAttributesW(folder);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return DeleteFileW(folder) ? 1 : 0;
    forEachEntry(folder + L"\\*", [&](const WIN32_FIND_DATAW& entry) {
        const CString inner = folder + L"\\" + entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            DeleteFileW(inner);
        } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!IsDots(entry.cFileName))
                RemoveDirectoryTree(inner);
        } else {
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesW(inner, entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            DeleteFileW(inner);
        }
        return true;
    });
    return RemoveDirectoryW(folder) ? 1 : 0;
}

int CreateDirectoryTree(const wchar_t* path)
{
    std::vector<CString> levels;  // the path first, its outermost parent last
    CString current(path);
    levels.push_back(current);
    for (;;) {
        const int back = current.ReverseFind(L'\\');
        const int slash = current.ReverseFind(L'/');
        const int cut = back > slash ? back : slash;
        if (cut <= 0)
            break;
        current = current.Left(cut);
        levels.push_back(current);
    }
    for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
        if (!FileFuncs::IsDirExist(*it) && !CreateDirectoryW(*it, nullptr))
            break;
    }
    return FileFuncs::IsDirExist(CString(path)) ? 1 : 0;
}

void FindAllFilesInFolder(CArray<WIN32_FIND_DATAW>& out, EFindFolder what, const wchar_t* folder,
                          const wchar_t* pattern)
{
    out.RemoveAll();
    const CString search = CString(folder) + L"\\" + (pattern && *pattern ? pattern : L"*");
    forEachEntry(search, [&](const WIN32_FIND_DATAW& entry) {
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if ((!isFolder && (what & EFF_FILES)) ||
            (isFolder && (what & EFF_FOLDERS) && !IsDots(entry.cFileName)))
            out.Add(entry);
        return true;
    });
}

int IsDots(const wchar_t* name)
{
    return name && (std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0) ? 1 : 0;
}

int IsPathOnFlashCard(const wchar_t* path)
{
    const CString full(path);
    if (full.IsEmpty() || full[0] != L'\\')
        return 0;
    const int second = full.Find(L'\\', 1);
    const CString top = second < 0 ? full : full.Left(second);
    const DWORD attributes = GetFileAttributesW(top);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !(attributes & FILE_ATTRIBUTE_TEMPORARY))
        return 0;
    const HANDLE volume = CreateVolumeDeviceW(top + L"\\vol:");
    if (volume == INVALID_HANDLE_VALUE)
        return 0;
    unsigned char reply[500];
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(volume, IOCTL_DISK_GET_STORAGEID, nullptr, 0, reply,
                                    sizeof reply, &returned, nullptr);
    CloseVolumeDevice(volume);
    if (!ok)
        return 0;
    STORAGE_IDENTIFICATION head;
    std::memcpy(&head, reply, sizeof head);
    return head.dwSerialNumOffset >= 16 ? 1 : 0;
}

CString CompactPath(HWND window, const wchar_t* path, wchar_t separator)
{
    CString text(path);
    CRect client;
    if (!window || text.IsEmpty() || !GetClientRect(window, &client))
        return text;
    const int limit = client.Width() - client.Width() / 10;
    auto fits = [&]() { return GetTextWidth(window, text, text.GetLength()) <= limit; };

    const bool trailing = text.GetLength() > 3 && text[text.GetLength() - 1] == separator;
    if (trailing)
        text = text.Left(text.GetLength() - 1);

    // The "..." goes in place of the first component (after a separator) of at least three
    // characters; shorter components before it are kept. (Which component takes the dots when
    // the first one is shorter is this port's choice.)
    int dots = -1;
    for (int sep = text.Find(separator); !fits() && sep >= 0;) {
        int next = text.Find(separator, sep + 1);
        const int length = (next < 0 ? text.GetLength() : next) - (sep + 1);
        if (next < 0)
            break;  // what follows is the file name: never shortened
        if (length >= 3) {
            text = text.Left(sep + 1) + L"..." + text.Mid(next);
            dots = sep + 1;
            break;
        }
        sep = next;
    }
    // Then each step removes the whole component that follows the "...".
    while (dots >= 0 && !fits()) {
        const int afterDots = dots + 3;  // the separator after "..."
        const int next = text.Find(separator, afterDots + 1);
        if (next < 0)
            break;
        text = text.Left(afterDots) + text.Mid(next);
    }
    if (trailing)
        text += separator;
    return text;
}

unsigned long CountFiles(const CString& folder)
{
    unsigned long count = 0;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(folder + L"\\*.*", &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    while (FindNextFileW(find, &data))
        ++count;
    FindClose(find);
    return count;
}

} // namespace FileFuncsEx
