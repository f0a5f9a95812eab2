#include "platform/CFile.h"

#include "platform/deviceRoot.h"
#include "platform/textCodec.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int openFlags(UINT flags)
{
    int result = O_CLOEXEC;
    if (flags & CFile::modeReadWrite)
        result |= O_RDWR;
    else if (flags & CFile::modeWrite)
        result |= O_WRONLY;
    else
        result |= O_RDONLY;
    if (flags & CFile::modeCreate) {
        result |= O_CREAT;
        if (!(flags & CFile::modeNoTruncate))
            result |= O_TRUNC;
    }
    return result;
}

} // namespace

CFile::CFile(int fd) : m_hFile(fd) {}

CFile::CFile(LPCTSTR path, UINT flags) { Open(path, flags); }

CFile::~CFile()
{
    if (m_closeOnDelete)
        Close();
}

// Paths reach the host file system here and nowhere else: device paths map onto the device
// root (platform/deviceRoot.h).
// A path the device cannot name, or one that a link leads out of the root, gives "".
std::string CFile::HostPath(LPCTSTR path)
{
    std::string host;
    if (!deviceHostPath(path, host) || !hostPathInsideRoot(host, true))
        return std::string();
    return host;
}

BOOL CFile::Open(LPCTSTR path, UINT flags)
{
    Close();
    if (path == nullptr || *path == L'\0')
        return FALSE;
    const std::string host = HostPath(path);
    if (host.empty())
        return FALSE;
    int fd;
    do {
        fd = ::open(host.c_str(), openFlags(flags), 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return FALSE;
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return FALSE;
    }
    m_hFile = fd;
    m_closeOnDelete = true;
    m_path = path;
    return TRUE;
}

void CFile::Close()
{
    if (m_hFile != hFileNull)
        ::close(m_hFile);  // not retried on EINTR: on Linux the descriptor is gone either way
    m_hFile = hFileNull;
    m_closeOnDelete = false;
    m_path.Empty();
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (m_hFile == hFileNull || buffer == nullptr)
        return 0;
    char* out = static_cast<char*>(buffer);
    UINT done = 0;
    while (done < count) {
        const ssize_t n = ::read(m_hFile, out + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<UINT>(n);
    }
    return done;
}

BOOL CFile::Write(const void* buffer, UINT count)
{
    if (m_hFile == hFileNull || (buffer == nullptr && count > 0))
        return FALSE;
    const char* in = static_cast<const char*>(buffer);
    UINT done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_hFile, in + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return FALSE;
        done += static_cast<UINT>(n);
    }
    return TRUE;
}

LONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    if (m_hFile == hFileNull)
        return -1;
    int whence;
    switch (from) {
    case begin: whence = SEEK_SET; break;
    case current: whence = SEEK_CUR; break;
    case end: whence = SEEK_END; break;
    default: return -1;
    }
    const off_t position = ::lseek(m_hFile, static_cast<off_t>(offset), whence);
    return position < 0 ? -1 : static_cast<LONGLONG>(position);
}

ULONGLONG CFile::SeekToEnd()
{
    const LONGLONG position = Seek(0, end);
    return position < 0 ? 0 : static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetPosition() const
{
    if (m_hFile == hFileNull)
        return 0;
    const off_t position = ::lseek(m_hFile, 0, SEEK_CUR);
    return position < 0 ? 0 : static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetLength() const
{
    struct stat info;
    if (m_hFile == hFileNull || ::fstat(m_hFile, &info) != 0)
        return 0;
    return static_cast<ULONGLONG>(info.st_size);
}

BOOL CFile::SetLength(ULONGLONG length)
{
    if (m_hFile == hFileNull)
        return FALSE;
    int r;
    do {
        r = ::ftruncate(m_hFile, static_cast<off_t>(length));
    } while (r != 0 && errno == EINTR);
    return r == 0 ? TRUE : FALSE;
}

void CFile::Flush()
{
    if (m_hFile != hFileNull)
        ::fsync(m_hFile);
}

BOOL CFile::Lock()
{
    if (m_hFile == hFileNull)
        return FALSE;
    int r;
    do {
        r = ::flock(m_hFile, LOCK_EX);
    } while (r != 0 && errno == EINTR);
    return r == 0 ? TRUE : FALSE;
}

CString CFile::GetFileName() const
{
    const int last = std::max(m_path.ReverseFind(L'\\'), m_path.ReverseFind(L'/'));
    return m_path.Mid(last + 1);
}
