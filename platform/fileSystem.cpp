#include "platform/fileSystem.h"

#include "platform/CString.h"
#include "platform/deviceRoot.h"
#include "platform/lastError.h"
#include "platform/textCodec.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace {

const char kAttributeFile[] = ".fieldcore-attributes";
const char kCardMark[] = ".fieldcore-card";
const DWORD kRecordedBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_TEMPORARY;

BOOL fail(DWORD code)
{
    SetLastError(code);
    return FALSE;
}

BOOL failErrno()
{
    return fail(errorFromErrno(errno));
}

// ---- host path pieces ----

void splitHostPath(const std::string& path, std::string& folder, std::string& name)
{
    const std::size_t slash = path.rfind('/');
    folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    if (folder.empty())
        folder = "/";
    name = slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isDeviceRoot(const std::string& hostPath)
{
    return hostPath == getDeviceRoot();
}

bool statHost(const std::string& path, struct stat& st)
{
    return ::stat(path.c_str(), &st) == 0;
}

// The host path of a device path for an operation, or false with the last error set: a name
// the device cannot hold (ERROR_INVALID_NAME), or a path that a symbolic link leads out of the
// device root (ERROR_ACCESS_DENIED). `followLast` as for hostPathInsideRoot.
bool mapPath(LPCWSTR path, std::string& host, bool followLast)
{
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (!deviceHostPath(path, host))
        return false;  // ERROR_INVALID_NAME
    if (!hostPathInsideRoot(host, followLast)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}

// mapPath without following the last link, then the status of the entry itself (a link, not
// what it names); false with the last error set when either fails.
bool mapEntry(LPCWSTR path, std::string& host, struct stat& st)
{
    if (!mapPath(path, host, false))
        return false;
    if (::lstat(host.c_str(), &st) != 0) {
        failErrno();
        return false;
    }
    return true;
}

// The status an entry shows the device: a link that stays inside the root shows what it
// names; any other link shows itself (never a folder). `link` tells whether it is a link.
bool entryStatus(const std::string& host, struct stat& st, bool& link)
{
    if (::lstat(host.c_str(), &st) != 0)
        return false;
    link = S_ISLNK(st.st_mode);
    struct stat target;
    if (link && hostPathInsideRoot(host, true) && ::stat(host.c_str(), &target) == 0)
        st = target;
    return true;
}

// ---- attribute records ----

std::map<std::string, DWORD> readRecords(const std::string& folder)
{
    std::map<std::string, DWORD> records;
    std::FILE* f = std::fopen((folder + "/" + kAttributeFile).c_str(), "r");
    if (!f)
        return records;
    std::string line;
    int c;
    auto takeLine = [&]() {
        const std::size_t blank = line.find(' ');
        if (blank != std::string::npos && blank > 0) {
            char* end = nullptr;
            const unsigned long bits = std::strtoul(line.c_str(), &end, 16);
            if (end == line.c_str() + blank)
                records[line.substr(blank + 1)] = static_cast<DWORD>(bits) & kRecordedBits;
        }
        line.clear();
    };
    while ((c = std::fgetc(f)) != EOF) {
        if (c == '\n')
            takeLine();
        else
            line += static_cast<char>(c);
    }
    takeLine();
    std::fclose(f);
    return records;
}

void writeRecords(const std::string& folder, const std::map<std::string, DWORD>& records)
{
    const std::string path = folder + "/" + kAttributeFile;
    if (records.empty()) {
        ::unlink(path.c_str());
        return;
    }
    // The new records go to a file made exclusively (a link planted at its name is removed,
    // never followed), then replace the old ones.
    const std::string temp = path + ".new";
    ::unlink(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    std::FILE* f = fd >= 0 ? ::fdopen(fd, "w") : nullptr;
    if (!f) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    for (const auto& r : records)
        std::fprintf(f, "%08X %s\n", static_cast<unsigned>(r.second), r.first.c_str());
    if (std::fclose(f) == 0)
        std::rename(temp.c_str(), path.c_str());
    else
        ::unlink(temp.c_str());
}

DWORD recordedBits(const std::string& hostPath)
{
    std::string folder, name;
    splitHostPath(hostPath, folder, name);
    const auto records = readRecords(folder);
    const auto it = records.find(name);
    return it == records.end() ? 0 : it->second;
}

void recordBits(const std::string& hostPath, DWORD bits)
{
    std::string folder, name;
    splitHostPath(hostPath, folder, name);
    auto records = readRecords(folder);
    bits &= kRecordedBits;
    const auto it = records.find(name);
    if (bits == 0 && it == records.end())
        return;
    if (bits == 0)
        records.erase(it);
    else
        records[name] = bits;
    writeRecords(folder, records);
}

DWORD attributesOf(const struct stat& st, DWORD recorded, bool link = false)
{
    if (link)
        recorded |= FILE_ATTRIBUTE_REPARSE_POINT;
    if (S_ISDIR(st.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY | recorded;
    return recorded ? recorded : FILE_ATTRIBUTE_NORMAL;
}

// ---- wildcard matching ----

bool hasWildcards(const std::wstring& pattern)
{
    return pattern.find_first_of(L"*?") != std::wstring::npos;
}

bool globMatch(const wchar_t* p, const wchar_t* n)
{
    // Iterative matcher with one backtrack point for the last '*'.
    const wchar_t* star = nullptr;
    const wchar_t* resume = nullptr;
    while (*n) {
        if (*p == L'*') {
            star = p++;
            resume = n;
        } else if (*p == L'?' || (*p && CharToLower(*p) == CharToLower(*n))) {
            ++p;
            ++n;
        } else if (star) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (*p == L'*')
        ++p;
    return *p == L'\0';
}

bool nameMatches(const std::wstring& pattern, const std::wstring& name)
{
    if (!hasWildcards(pattern))
        return deviceNamesEqual(pattern, name);
    if (globMatch(pattern.c_str(), name.c_str()))
        return true;
    return name.find(L'.') == std::wstring::npos &&
           globMatch(pattern.c_str(), (name + L".").c_str());
}

// ---- find records ----

void fillFindData(const std::wstring& name, const struct stat& st, DWORD recorded, bool link,
                  WIN32_FIND_DATAW& data)
{
    std::memset(&data, 0, sizeof data);
    data.dwFileAttributes = attributesOf(st, recorded, link);
    data.ftCreationTime = fileTimeFromUnix(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    data.ftLastAccessTime = fileTimeFromUnix(st.st_atim.tv_sec, st.st_atim.tv_nsec);
    data.ftLastWriteTime = fileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    if (!S_ISDIR(st.st_mode)) {
        const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
        data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    }
    const std::size_t n = std::min<std::size_t>(name.size(), MAX_PATH - 1);
    std::wmemcpy(data.cFileName, name.c_str(), n);
    data.cFileName[n] = L'\0';
}

struct FindState {
    std::vector<WIN32_FIND_DATAW> entries;
    std::size_t next = 0;
};

std::mutex& handleMutex()
{
    static std::mutex m;
    return m;
}

std::set<void*>& liveHandles()
{
    static std::set<void*> handles;
    return handles;
}

HANDLE registerHandle(void* object)
{
    std::lock_guard<std::mutex> lock(handleMutex());
    liveHandles().insert(object);
    return object;
}

bool isLiveHandle(void* object)
{
    std::lock_guard<std::mutex> lock(handleMutex());
    return liveHandles().count(object) != 0;
}

bool releaseHandle(void* object)
{
    std::lock_guard<std::mutex> lock(handleMutex());
    return liveHandles().erase(object) != 0;
}

void splitDevicePath(const std::wstring& path, std::wstring& folder, std::wstring& last)
{
    const std::size_t sep = path.find_last_of(L"\\/");
    folder = sep == std::wstring::npos ? std::wstring() : path.substr(0, sep);
    last = sep == std::wstring::npos ? path : path.substr(sep + 1);
}

bool isDirectoryEmptyForDevice(const std::string& hostFolder)
{
    DIR* dir = ::opendir(hostFolder.c_str());
    if (!dir)
        return false;
    bool empty = true;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != ".." && !isReservedHostName(name)) {
            empty = false;
            break;
        }
    }
    ::closedir(dir);
    return empty;
}

void removeReservedEntries(const std::string& hostFolder)
{
    DIR* dir = ::opendir(hostFolder.c_str());
    if (!dir)
        return;
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        if (isReservedHostName(e->d_name))
            names.push_back(e->d_name);
    }
    ::closedir(dir);
    for (const std::string& n : names)
        ::unlink((hostFolder + "/" + n).c_str());
}

bool copyBytes(const std::string& from, const std::string& to)
{
    const int in = ::open(from.c_str(), O_RDONLY);
    if (in < 0)
        return false;
    // `to` is a new temporary name: made exclusively, a link planted there is never followed.
    ::unlink(to.c_str());
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        errno = err;
        return false;
    }
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                ok = false;
                break;
            }
            done += put;
        }
        if (!ok)
            break;
    }
    const int err = errno;
    ::close(in);
    if (::close(out) != 0)
        ok = false;
    errno = err;
    return ok;
}

} // namespace

// ---- Directory search ----

HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data)
{
    if (!pattern || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::wstring folder, last;
    splitDevicePath(pattern, folder, last);
    if (last.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::string hostFolder;
    if (!deviceNameAllowed(last)) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }
    if (!mapPath(folder.c_str(), hostFolder, true))
        return INVALID_HANDLE_VALUE;
    DIR* dir = ::opendir(hostFolder.c_str());
    if (!dir) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::vector<std::pair<std::wstring, std::string>> names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string host = e->d_name;
        if (host == "." || host == ".." || isReservedHostName(host))
            continue;
        std::wstring wide = Utf8ToWide(host);
        if (nameMatches(last, wide))
            names.emplace_back(std::move(wide), host);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());

    FindState* state = new FindState;
    const auto records = readRecords(hostFolder);
    for (const auto& n : names) {
        struct stat st;
        bool link = false;
        if (!entryStatus(hostFolder + "/" + n.second, st, link))
            continue;
        const auto rec = records.find(n.second);
        WIN32_FIND_DATAW entry;
        fillFindData(n.first, st, rec == records.end() ? 0 : rec->second, link, entry);
        state->entries.push_back(entry);
    }
    if (state->entries.empty()) {
        delete state;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *data = state->entries[0];
    state->next = 1;
    return registerHandle(state);
}

BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data)
{
    if (!find || find == INVALID_HANDLE_VALUE || !data || !isLiveHandle(find))
        return fail(ERROR_INVALID_HANDLE);
    FindState* state = static_cast<FindState*>(find);
    if (state->next >= state->entries.size())
        return fail(ERROR_NO_MORE_FILES);
    *data = state->entries[state->next++];
    return TRUE;
}

BOOL FindClose(HANDLE find)
{
    if (!find || find == INVALID_HANDLE_VALUE || !releaseHandle(find))
        return fail(ERROR_INVALID_HANDLE);
    delete static_cast<FindState*>(find);
    return TRUE;
}

// ---- Files and folders ----

BOOL CopyFileW(LPCWSTR from, LPCWSTR to, BOOL failIfExists)
{
    std::string source, target;
    if (!mapPath(from, source, true) || !mapPath(to, target, false))
        return FALSE;
    struct stat src, dst;
    if (!statHost(source, src))
        return failErrno();
    if (S_ISDIR(src.st_mode))
        return fail(ERROR_ACCESS_DENIED);
    if (statHost(target, dst)) {
        if (failIfExists)
            return fail(ERROR_FILE_EXISTS);
        if (S_ISDIR(dst.st_mode) || (recordedBits(target) & FILE_ATTRIBUTE_READONLY) ||
            (dst.st_dev == src.st_dev && dst.st_ino == src.st_ino))
            return fail(ERROR_ACCESS_DENIED);
    }
    // Copy into a reserved temporary name beside the target, then rename it over the target:
    // a failed copy leaves the old target as it was.
    std::string folder, name;
    splitHostPath(target, folder, name);
    static std::atomic<unsigned> copies{0};
    const std::string temp = folder + "/.fieldcore-copy-" + std::to_string(::getpid()) + "-" +
                             std::to_string(copies++);
    if (!copyBytes(source, temp)) {
        const BOOL result = failErrno();
        ::unlink(temp.c_str());
        return result;
    }
    const struct timespec times[2] = {src.st_atim, src.st_mtim};
    ::utimensat(AT_FDCWD, temp.c_str(), times, 0);
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        const BOOL result = failErrno();
        ::unlink(temp.c_str());
        return result;
    }
    recordBits(target, recordedBits(source));
    return TRUE;
}

BOOL MoveFileW(LPCWSTR from, LPCWSTR to)
{
    std::string source, target;
    if (!mapPath(from, source, false) || !mapPath(to, target, false))
        return FALSE;
    struct stat st;
    if (::lstat(source.c_str(), &st) != 0)
        return failErrno();
    if (isDeviceRoot(source))
        return fail(ERROR_ACCESS_DENIED);
    if (::lstat(target.c_str(), &st) == 0)
        return fail(ERROR_ALREADY_EXISTS);
    const DWORD bits = recordedBits(source);
    if (std::rename(source.c_str(), target.c_str()) != 0)
        return failErrno();
    recordBits(source, 0);
    recordBits(target, bits);
    return TRUE;
}

BOOL DeleteFileW(LPCWSTR path)
{
    // A link is deleted itself, whatever it names.
    std::string host;
    struct stat st;
    if (!mapEntry(path, host, st))
        return FALSE;
    if (S_ISDIR(st.st_mode) || (recordedBits(host) & FILE_ATTRIBUTE_READONLY))
        return fail(ERROR_ACCESS_DENIED);
    if (::unlink(host.c_str()) != 0)
        return failErrno();
    recordBits(host, 0);
    return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR path, void*)
{
    std::string host;
    if (!mapPath(path, host, false))
        return FALSE;
    if (::mkdir(host.c_str(), 0777) != 0)
        return fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : errorFromErrno(errno));
    recordBits(host, 0);
    return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR path)
{
    std::string host;
    struct stat st;
    if (!mapEntry(path, host, st))
        return FALSE;
    if (!S_ISDIR(st.st_mode))
        return fail(ERROR_DIRECTORY);  // a link to a folder too: DeleteFileW removes links
    if (isDeviceRoot(host) || (recordedBits(host) & FILE_ATTRIBUTE_READONLY))
        return fail(ERROR_ACCESS_DENIED);
    if (!isDirectoryEmptyForDevice(host))
        return fail(ERROR_DIR_NOT_EMPTY);
    removeReservedEntries(host);
    if (::rmdir(host.c_str()) != 0)
        return failErrno();
    recordBits(host, 0);
    return TRUE;
}

DWORD GetFileAttributesW(LPCWSTR path)
{
    std::string host;
    if (!mapPath(path, host, false))
        return INVALID_FILE_ATTRIBUTES;
    struct stat st;
    bool link = false;
    if (!entryStatus(host, st, link)) {
        SetLastError(errorFromErrno(errno));
        return INVALID_FILE_ATTRIBUTES;
    }
    return attributesOf(st, isDeviceRoot(host) ? 0 : recordedBits(host), link);
}

BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes)
{
    std::string host;
    struct stat st;
    if (!mapEntry(path, host, st))
        return FALSE;
    if (isDeviceRoot(host))
        return fail(ERROR_ACCESS_DENIED);
    recordBits(host, attributes & kRecordedBits);
    return TRUE;
}

BOOL getFileTimes(LPCWSTR path, FILETIME* created, FILETIME* accessed, FILETIME* written)
{
    std::string host;
    if (!mapPath(path, host, true))
        return FALSE;
    struct stat st;
    if (!statHost(host, st))
        return failErrno();
    if (created)
        *created = fileTimeFromUnix(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    if (accessed)
        *accessed = fileTimeFromUnix(st.st_atim.tv_sec, st.st_atim.tv_nsec);
    if (written)
        *written = fileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    return TRUE;
}

BOOL setFileTimes(LPCWSTR path, const FILETIME*, const FILETIME* accessed, const FILETIME* written)
{
    std::string host;
    if (!mapPath(path, host, true))
        return FALSE;
    struct timespec times[2];
    const FILETIME* given[2] = {accessed, written};
    for (int i = 0; i < 2; ++i) {
        if (!given[i]) {
            times[i].tv_sec = 0;
            times[i].tv_nsec = UTIME_OMIT;
            continue;
        }
        std::int64_t seconds;
        long nanoseconds;
        fileTimeToUnix(*given[i], seconds, nanoseconds);
        times[i].tv_sec = static_cast<time_t>(seconds);
        times[i].tv_nsec = nanoseconds;
    }
    if (::utimensat(AT_FDCWD, host.c_str(), times, 0) != 0)
        return failErrno();
    return TRUE;
}

BOOL GetDiskFreeSpaceExW(LPCWSTR path, ULARGE_INTEGER* freeToCaller, ULARGE_INTEGER* total,
                         ULARGE_INTEGER* totalFree)
{
    std::string host;
    if (!deviceHostPath(path, host))
        return FALSE;
    struct statvfs vfs;
    while (::statvfs(host.c_str(), &vfs) != 0) {
        const std::size_t slash = host.rfind('/');
        if (errno != ENOENT || slash == std::string::npos || slash == 0)
            return failErrno();
        host.erase(slash);
    }
    const ULONGLONG unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
    if (freeToCaller)
        freeToCaller->QuadPart = unit * vfs.f_bavail;
    if (total)
        total->QuadPart = unit * vfs.f_blocks;
    if (totalFree)
        totalFree->QuadPart = unit * vfs.f_bfree;
    return TRUE;
}

// ---- Storage cards ----

namespace {

struct VolumeState {
    std::string hostFolder;
};

const wchar_t kVolumeSuffix[] = L"\\vol:";

} // namespace

BOOL mountFlashCard(LPCWSTR folder, LPCWSTR serial)
{
    if (!folder || !*folder)
        return fail(ERROR_INVALID_PARAMETER);
    const std::wstring devicePath = std::wstring(L"\\") + folder;
    std::string host;
    if (!mapPath(devicePath.c_str(), host, true))
        return FALSE;
    struct stat st;
    if (!statHost(host, st) && !CreateDirectoryW(devicePath.c_str(), nullptr))
        return FALSE;
    if (!SetFileAttributesW(devicePath.c_str(), FILE_ATTRIBUTE_TEMPORARY |
                                                   (GetFileAttributesW(devicePath.c_str()) &
                                                    kRecordedBits)))
        return FALSE;
    std::FILE* f = std::fopen((host + "/" + kCardMark).c_str(), "w");
    if (!f)
        return failErrno();
    const std::string text = serial ? WideToAnsi(serial, std::wcslen(serial)) : std::string();
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok)
        return failErrno();
    return TRUE;
}

HANDLE CreateVolumeDeviceW(LPCWSTR device)
{
    const std::wstring name = device ? device : L"";
    const std::size_t suffix = std::wcslen(kVolumeSuffix);
    if (name.size() <= suffix + 1 || name[0] != L'\\' ||
        !deviceNamesEqual(name.substr(name.size() - suffix), kVolumeSuffix)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const std::wstring folder = name.substr(0, name.size() - suffix);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (folder.find_first_of(L"\\/", 1) != std::wstring::npos ||
        attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !(attributes & FILE_ATTRIBUTE_TEMPORARY)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::string host;
    if (!mapPath(folder.c_str(), host, true))
        return INVALID_HANDLE_VALUE;
    return registerHandle(new VolumeState{host});
}

BOOL CloseVolumeDevice(HANDLE device)
{
    if (!device || device == INVALID_HANDLE_VALUE || !releaseHandle(device))
        return fail(ERROR_INVALID_HANDLE);
    delete static_cast<VolumeState*>(device);
    return TRUE;
}

BOOL DeviceIoControl(HANDLE device, DWORD code, void*, DWORD, void* out, DWORD outSize,
                     DWORD* returned, void*)
{
    if (!device || device == INVALID_HANDLE_VALUE || !isLiveHandle(device))
        return fail(ERROR_INVALID_HANDLE);
    if (code != IOCTL_DISK_GET_STORAGEID)
        return fail(ERROR_NOT_SUPPORTED);
    const VolumeState* volume = static_cast<const VolumeState*>(device);
    std::FILE* f = std::fopen((volume->hostFolder + "/" + kCardMark).c_str(), "r");
    if (!f)
        return fail(ERROR_NOT_SUPPORTED);
    std::string serial;
    for (int c; (c = std::fgetc(f)) != EOF && c != '\0' && c != '\n';)
        serial += static_cast<char>(c);
    std::fclose(f);

    static const char manufacturer[] = "fieldcore";
    STORAGE_IDENTIFICATION head;
    head.dwFlags = 0;
    head.dwManufactureIDOffset = sizeof head;
    head.dwSerialNumOffset = 0;
    std::string tail(manufacturer, sizeof manufacturer);
    if (serial.empty()) {
        head.dwFlags |= SERIALNUM_INVALID;
    } else {
        head.dwSerialNumOffset = static_cast<DWORD>(sizeof head + tail.size());
        tail += serial;
        tail += '\0';
    }
    head.dwSize = static_cast<DWORD>(sizeof head + tail.size());
    if (returned)
        *returned = head.dwSize;
    if (!out || outSize < head.dwSize)
        return fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(out, &head, sizeof head);
    std::memcpy(static_cast<char*>(out) + sizeof head, tail.data(), tail.size());
    return TRUE;
}
