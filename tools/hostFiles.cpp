#include "hostFiles.h"

#include "platform/deviceRoot.h"
#include "platform/safeFile.h"
#include "platform/textCodec.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

CString hostFileAsDevicePath(const std::string& hostPath)
{
    setDeviceRoot("/");
    std::string absolute = hostPath;
    if (absolute.empty() || absolute[0] != '/') {
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd) != nullptr)
            absolute = std::string(cwd) + "/" + hostPath;
    }
    return CString(Utf8ToWide(absolute).c_str());
}

std::string whyUnreadable(const std::string& hostPath)
{
    if (hostPath == "-")
        return std::string();
    struct stat st;
    if (::stat(hostPath.c_str(), &st) != 0)
        return std::strerror(errno);
    if (S_ISDIR(st.st_mode))
        return "is a directory";
    if (::access(hostPath.c_str(), R_OK) != 0)
        return std::strerror(errno);
    return std::string();
}

bool isHostFolder(const std::string& hostPath)
{
    struct stat st;
    return ::stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string cannotRead(const std::string& hostPath, const std::string& why)
{
    return "cannot read '" + hostPath + "': " + why;
}

bool readWholeFile(const std::string& hostPath, std::string& bytes, std::string* why)
{
    if (hostPath == "-") {
        std::ostringstream all;
        all << std::cin.rdbuf();
        bytes = all.str();
        return !std::cin.bad();
    }
    const std::string reason = whyUnreadable(hostPath);
    if (!reason.empty()) {
        if (why)
            *why = reason;
        return false;
    }
    std::FILE* f = std::fopen(hostPath.c_str(), "rb");
    if (!f) {
        if (why)
            *why = std::strerror(errno);
        return false;
    }
    std::string all;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        all.append(buf, n);
    const bool ok = !std::ferror(f);
    if (!ok && why)
        *why = std::strerror(errno);
    std::fclose(f);
    if (ok)
        bytes.swap(all);
    return ok;
}

bool makeParentFolders(const std::string& hostPath, std::string& why)
{
    for (size_t at = hostPath.find('/', 1); at != std::string::npos; at = hostPath.find('/', at + 1)) {
        const std::string folder = hostPath.substr(0, at);
        struct stat st;
        if (::stat(folder.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                return why = "'" + folder + "' is not a folder", false;
            continue;
        }
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
            return why = "cannot make the folder '" + folder + "': " + std::strerror(errno), false;
    }
    return true;
}

bool writeWholeFile(const std::string& hostPath, const std::string& bytes, std::string& why)
{
    struct stat st;
    const bool exists = ::stat(hostPath.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return why = "is a directory", false;
    if (exists && !S_ISREG(st.st_mode)) {
        std::FILE* f = std::fopen(hostPath.c_str(), "wb");
        const bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        if (!f || std::fclose(f) != 0 || !ok)
            return why = std::strerror(errno), false;
        return true;
    }
    const size_t slash = hostPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : hostPath.substr(0, slash);
    if (!isHostFolder(folder))
        return why = "there is no folder '" + folder + "'", false;
    const CString device = hostFileAsDevicePath(hostPath);
    CFileLock lock;
    if (!lock.Lock(device) || !ReplaceFileBytes(device, bytes))
        return why = "it cannot be written (left unchanged)", false;
    return true;
}

} // namespace cli
