#include "platform/fileMapping.h"

#include "platform/deviceRoot.h"
#include "platform/lastError.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class File : public KernelObject {
public:
    explicit File(int descriptor, bool canWrite) : fd(descriptor), writable(canWrite) {}
    ~File() override { ::close(fd); }
    const int fd;
    const bool writable;
};

class Mapping : public KernelObject {
public:
    Mapping(std::shared_ptr<File> f, std::uint64_t n, bool canWrite) : file(std::move(f)), size(n), writable(canWrite) {}
    const std::shared_ptr<File> file;
    const std::uint64_t size;
    const bool writable;
};

struct View {
    std::size_t length;
    std::shared_ptr<Mapping> mapping;
};

// Every view by address. Never destroyed (views may be unmapped while the program exits).
struct Views {
    std::mutex mutex;
    std::map<const void*, View> views;
};

Views& views()
{
    static Views* v = new Views;
    return *v;
}

std::shared_ptr<File> fileOf(HANDLE handle)
{
    auto file = std::dynamic_pointer_cast<File>(objectOfHandle(handle));
    if (!file)
        SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

// The last error for a failed open: ENOENT is a missing file only when the folder exists.
DWORD openError(int err, const std::string& hostPath)
{
    if (err != ENOENT)
        return errorFromErrno(err);
    const std::size_t slash = hostPath.find_last_of('/');
    struct stat folder;
    if (slash != std::string::npos && (::stat(hostPath.substr(0, slash + 1).c_str(), &folder) != 0 ||
                                       !S_ISDIR(folder.st_mode)))
        return ERROR_PATH_NOT_FOUND;
    return ERROR_FILE_NOT_FOUND;
}

int openFlags(DWORD access, DWORD creation, bool& valid)
{
    valid = true;
    int flags = O_CLOEXEC;
    const bool read = (access & GENERIC_READ) != 0, write = (access & GENERIC_WRITE) != 0;
    flags |= read && write ? O_RDWR : (write ? O_WRONLY : O_RDONLY);
    switch (creation) {
    case CREATE_NEW: return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS: return flags | O_CREAT | O_TRUNC;
    case OPEN_EXISTING: return flags;
    case OPEN_ALWAYS: return flags | O_CREAT;
    case TRUNCATE_EXISTING: return flags | O_TRUNC;
    default: valid = false; return flags;
    }
}

} // namespace

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD, void*, DWORD creation, DWORD, HANDLE)
{
    bool valid;
    const int flags = openFlags(access, creation, valid);
    if (!path || !*path || !valid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::string host = deviceToHostPath(path);
    struct stat info;
    if (::stat(host.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    const int fd = ::open(host.c_str(), flags, 0666);
    if (fd < 0) {
        SetLastError(openError(errno, host));
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_SUCCESS);
    return openHandle(std::make_shared<File>(fd, (access & GENERIC_WRITE) != 0));
}

HANDLE CreateFileForMappingW(LPCWSTR path, DWORD access, DWORD share, void* security, DWORD creation,
                             DWORD flags, HANDLE templateFile)
{
    return CreateFileW(path, access, share, security, creation, flags, templateFile);
}

DWORD GetFileSize(HANDLE handle, DWORD* high)
{
    const std::shared_ptr<File> file = fileOf(handle);
    struct stat info;
    if (!file || ::fstat(file->fd, &info) != 0)
        return INVALID_FILE_SIZE;
    const std::uint64_t size = static_cast<std::uint64_t>(info.st_size);
    if (high)
        *high = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size);
}

DWORD SetFilePointer(HANDLE handle, LONG distance, LONG* distanceHigh, DWORD method)
{
    const std::shared_ptr<File> file = fileOf(handle);
    if (!file || method > FILE_END)
        return INVALID_SET_FILE_POINTER;
    const std::int64_t move = distanceHigh
                                  ? static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<DWORD>(*distanceHigh)) << 32) |
                                                              static_cast<DWORD>(distance))
                                  : distance;
    const int whence = method == FILE_BEGIN ? SEEK_SET : (method == FILE_CURRENT ? SEEK_CUR : SEEK_END);
    const off_t at = ::lseek(file->fd, static_cast<off_t>(move), whence);
    if (at < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh)
        *distanceHigh = static_cast<LONG>(static_cast<std::uint64_t>(at) >> 32);
    return static_cast<DWORD>(static_cast<std::uint64_t>(at));
}

BOOL SetEndOfFile(HANDLE handle)
{
    const std::shared_ptr<File> file = fileOf(handle);
    if (!file)
        return FALSE;
    const off_t at = ::lseek(file->fd, 0, SEEK_CUR);
    if (at < 0 || ::ftruncate(file->fd, at) != 0) {
        SetLastError(errorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL ReadFile(HANDLE handle, void* buffer, DWORD count, DWORD* read, void*)
{
    const std::shared_ptr<File> file = fileOf(handle);
    if (read)
        *read = 0;
    if (!file || (!buffer && count))
        return FALSE;
    const ssize_t n = ::read(file->fd, buffer, count);
    if (n < 0) {
        SetLastError(ERROR_READ_FAULT);
        return FALSE;
    }
    if (read)
        *read = static_cast<DWORD>(n);
    return TRUE;
}

BOOL WriteFile(HANDLE handle, const void* buffer, DWORD count, DWORD* written, void*)
{
    const std::shared_ptr<File> file = fileOf(handle);
    if (written)
        *written = 0;
    if (!file || (!buffer && count))
        return FALSE;
    DWORD done = 0;
    while (done < count) {
        const ssize_t n = ::write(file->fd, static_cast<const char*>(buffer) + done, count - done);
        if (n <= 0) {
            SetLastError(errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
            break;
        }
        done += static_cast<DWORD>(n);
    }
    if (written)
        *written = done;
    return done == count ? TRUE : FALSE;
}

HANDLE CreateFileMappingW(HANDLE handle, void*, DWORD protect, DWORD maximumSizeHigh, DWORD maximumSizeLow,
                          LPCWSTR)
{
    const std::shared_ptr<File> file = fileOf(handle);
    if (!file)
        return nullptr;
    const bool writable = protect == PAGE_READWRITE;
    if ((protect != PAGE_READONLY && !writable) || (writable && !file->writable)) {
        SetLastError(writable ? ERROR_ACCESS_DENIED : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    struct stat info;
    if (::fstat(file->fd, &info) != 0) {
        SetLastError(errorFromErrno(errno));
        return nullptr;
    }
    const std::uint64_t size = static_cast<std::uint64_t>(info.st_size);
    const std::uint64_t maximum = (static_cast<std::uint64_t>(maximumSizeHigh) << 32) | maximumSizeLow;
    if (size == 0) {
        SetLastError(ERROR_FILE_INVALID);
        return nullptr;
    }
    if (maximum != 0 && maximum != size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return openHandle(std::make_shared<Mapping>(file, size, writable));
}

void* MapViewOfFile(HANDLE handle, DWORD access, DWORD offsetHigh, DWORD offsetLow, std::size_t bytes)
{
    auto mapping = std::dynamic_pointer_cast<Mapping>(objectOfHandle(handle));
    if (!mapping) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const bool write = (access & FILE_MAP_WRITE) != 0;
    const std::uint64_t offset = (static_cast<std::uint64_t>(offsetHigh) << 32) | offsetLow;
    if ((write && !mapping->writable) || offset >= mapping->size || offset % 65536 != 0) {
        SetLastError(write && !mapping->writable ? ERROR_ACCESS_DENIED : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::uint64_t rest = mapping->size - offset;
    const std::size_t length = static_cast<std::size_t>(bytes == 0 || bytes > rest ? rest : bytes);
    void* view = ::mmap(nullptr, length, write ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED,
                        mapping->file->fd, static_cast<off_t>(offset));
    if (view == MAP_FAILED) {
        SetLastError(errorFromErrno(errno));
        return nullptr;
    }
    Views& v = views();
    std::lock_guard<std::mutex> lock(v.mutex);
    v.views[view] = View{length, mapping};
    return view;
}

BOOL UnmapViewOfFile(const void* view)
{
    View found;
    {
        Views& v = views();
        std::lock_guard<std::mutex> lock(v.mutex);
        auto it = v.views.find(view);
        if (it == v.views.end()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        found = std::move(it->second);
        v.views.erase(it);
    }
    ::munmap(const_cast<void*>(view), found.length);
    return TRUE;
}

std::size_t viewLength(const void* view)
{
    Views& v = views();
    std::lock_guard<std::mutex> lock(v.mutex);
    auto it = v.views.find(view);
    return it == v.views.end() ? 0 : it->second.length;
}

void closeMappedFile(const void* view, HANDLE mapping, HANDLE file)
{
    if (view)
        UnmapViewOfFile(view);
    if (mapping)
        CloseHandle(mapping);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}
