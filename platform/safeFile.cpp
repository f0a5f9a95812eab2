#include "platform/safeFile.h"

#include "platform/deviceRoot.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char kTempPrefix[] = ".fieldcore-new-";
const std::size_t kTempTail = 8;  // random characters after the name and a dot
const char kTempChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";

void splitHostPath(const std::string& path, std::string& folder, std::string& name)
{
    const std::size_t slash = path.rfind('/');
    folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    name = slash == std::string::npos ? path : path.substr(slash + 1);
}

// The host path of the file itself: the target of a chain of links (at most 40, as the host
// allows), or the path when it is no link. Empty when the chain is too long or leaves the
// device root.
std::string finalTarget(const wchar_t* devicePath)
{
    std::string host;
    if (!deviceHostPath(devicePath, host))
        return std::string();
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(host.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return hostPathInsideRoot(host, false) ? host : std::string();
        std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(host.c_str(), target.data(), target.size() - 1);
        if (n <= 0)
            return std::string();
        const std::string link(target.data(), static_cast<std::size_t>(n));
        std::string folder, name;
        splitHostPath(host, folder, name);
        host = link[0] == '/' ? link : folder + "/" + link;
    }
    return std::string();
}

// The start of the temporary names of one target: the name itself when it is short enough,
// else a hash of it (host names hold at most 255 bytes).
std::string tempStem(const std::string& name)
{
    if (name.size() <= 200)
        return kTempPrefix + name + ".";
    unsigned long long h = 1469598103934665603ULL;
    for (char c : name)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%016llx", h);
    return kTempPrefix + std::string(buf) + ".";
}

bool isTempOf(const std::string& entry, const std::string& stem)
{
    if (entry.size() != stem.size() + kTempTail || entry.compare(0, stem.size(), stem) != 0)
        return false;
    for (std::size_t i = stem.size(); i < entry.size(); ++i) {
        const char c = entry[i];
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// Removes the new files that killed writers of the same target left in the folder.
void removeStaleTemps(const std::string& folder, const std::string& stem)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> stale;
    while (const dirent* e = ::readdir(dir)) {
        if (isTempOf(e->d_name, stem))
            stale.push_back(e->d_name);
    }
    ::closedir(dir);
    for (const std::string& name : stale)
        ::unlink((folder + "/" + name).c_str());
}

// Creates a new file of a random name exclusively (never through a link); -1 on failure.
int createTemp(const std::string& folder, const std::string& stem, std::string& path)
{
    std::random_device source;
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name = stem;
        for (std::size_t i = 0; i < kTempTail; ++i)
            name += kTempChars[source() % (sizeof kTempChars - 1)];
        path = folder + "/" + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool CFileLock::Lock(const wchar_t* devicePath)
{
    Unlock();
    const std::string host = finalTarget(devicePath);
    if (host.empty())
        return false;
    for (;;) {
        bool created = false;
        int fd = ::open(host.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(host.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            created = fd >= 0;
            if (fd < 0 && errno == EEXIST)
                continue;  // another writer made it meanwhile
        }
        if (fd < 0)
            return false;
        struct stat mine, now;
        int r;
        do {
            r = ::flock(fd, LOCK_EX);
        } while (r != 0 && errno == EINTR);
        if (r != 0 || ::fstat(fd, &mine) != 0 || S_ISDIR(mine.st_mode)) {
            ::close(fd);
            return false;
        }
        // The writer before may have replaced the file while this one waited: lock the new one.
        if (::stat(host.c_str(), &now) != 0 || now.st_ino != mine.st_ino || now.st_dev != mine.st_dev) {
            ::close(fd);
            continue;
        }
        m_fd = fd;
        m_created = created;
        m_hostPath = host;
        return true;
    }
}

void CFileLock::Unlock()
{
    if (m_fd < 0)
        return;
    struct stat mine, now;
    if (m_created && ::fstat(m_fd, &mine) == 0 && ::stat(m_hostPath.c_str(), &now) == 0 &&
        mine.st_ino == now.st_ino && mine.st_dev == now.st_dev && now.st_size == 0)
        ::unlink(m_hostPath.c_str());
    ::close(m_fd);
    m_fd = -1;
    m_created = false;
    m_hostPath.clear();
}

bool ReplaceFileBytes(const wchar_t* devicePath, const std::string& bytes)
{
    const std::string host = finalTarget(devicePath);
    if (host.empty())
        return false;
    struct stat old;
    const bool existed = ::stat(host.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode))
        return false;
    std::string folder, name;
    splitHostPath(host, folder, name);
    const std::string stem = tempStem(name);
    removeStaleTemps(folder, stem);

    std::string temp;
    const int fd = createTemp(folder, stem, temp);
    if (fd < 0)
        return false;
    bool ok = (!existed || ::fchmod(fd, old.st_mode & 07777) == 0) && writeAll(fd, bytes) &&
              ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), host.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}
