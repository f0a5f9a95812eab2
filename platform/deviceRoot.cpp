#include "platform/deviceRoot.h"

#include "platform/CString.h"
#include "platform/textCodec.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <mutex>
#include <sys/stat.h>
#include <vector>

namespace {

std::mutex& rootMutex()
{
    static std::mutex m;
    return m;
}

std::string& rootOverride()
{
    static std::string folder;
    return folder;
}

std::string withoutTrailingSlash(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

bool hostExists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

bool hostIsDir(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The entry of `folder` whose name equals `name` without regard to case; `name` itself
// when it exists as given or when no entry matches.
std::string resolveCase(const std::string& folder, const std::string& name)
{
    const std::string prefix = folder.back() == '/' ? folder : folder + "/";
    if (hostExists(prefix + name))
        return name;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return name;
    const std::wstring wanted = Utf8ToWide(name);
    std::string found = name;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string candidate = entry->d_name;
        if (candidate == "." || candidate == ".." || isReservedHostName(candidate))
            continue;
        if (deviceNamesEqual(Utf8ToWide(candidate), wanted)) {
            found = candidate;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// The device path split into components, "." dropped and ".." applied (never above the root).
std::vector<std::wstring> deviceComponents(const std::wstring& path)
{
    std::vector<std::wstring> parts;
    std::wstring part;
    auto flush = [&]() {
        if (part == L"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (wchar_t ch : path) {
        if (ch == L'\\' || ch == L'/')
            flush();
        else
            part += ch;
    }
    flush();
    return parts;
}

} // namespace

void setDeviceRoot(const std::string& hostFolder)
{
    {
        std::lock_guard<std::mutex> lock(rootMutex());
        rootOverride() = withoutTrailingSlash(hostFolder);
    }
    if (!hostFolder.empty())
        ensureDeviceRoot();
}

std::string getDeviceRoot()
{
    {
        std::lock_guard<std::mutex> lock(rootMutex());
        if (!rootOverride().empty())
            return rootOverride();
    }
    const char* env = std::getenv("FIELDCORE_ROOT");
    if (env && *env)
        return withoutTrailingSlash(env);
    const char* home = std::getenv("HOME");
    return withoutTrailingSlash(std::string(home && *home ? home : ".") + "/.fieldcore");
}

bool ensureDeviceRoot()
{
    const std::string root = getDeviceRoot();
    if (!hostIsDir(root)) {
        // Create each missing level from the top down.
        for (std::size_t pos = 1; pos <= root.size(); ++pos) {
            if (pos == root.size() || root[pos] == '/') {
                const std::string level = root.substr(0, pos);
                if (!hostIsDir(level) && ::mkdir(level.c_str(), 0777) != 0 && errno != EEXIST)
                    return false;
            }
        }
    }
    // The executable's folder (platform/process.h); never in the host's top folder, which the
    // tools use as a root to reach host files and which is no device.
    if (root == "/")
        return true;
    for (const wchar_t* folder : {L"\\Program Files", L"\\Program Files\\fieldcore"}) {
        const std::string host = deviceToHostPath(folder);
        if (!hostIsDir(host))
            ::mkdir(host.c_str(), 0777);
    }
    return hostIsDir(root);
}

std::string deviceToHostPath(const std::wstring& devicePath)
{
    std::string host = getDeviceRoot();
    bool resolving = true;  // while the folders so far exist, later names may differ in case
    for (const std::wstring& part : deviceComponents(devicePath)) {
        std::string name = WideToUtf8(part);
        if (resolving)
            name = resolveCase(host, name);
        if (host.back() != '/')
            host += '/';
        host += name;
        resolving = resolving && hostExists(host);
    }
    return host;
}

std::string deviceToHostPath(const wchar_t* devicePath)
{
    return deviceToHostPath(std::wstring(devicePath ? devicePath : L""));
}

std::string ansiDeviceToHostPath(const char* devicePath)
{
    return deviceToHostPath(AnsiToWide(std::string(devicePath ? devicePath : "")));
}

namespace {

std::string hostMode(const char* mode)
{
    std::string m;
    for (const char* p = mode; p && *p; ++p) {
        if (*p != 't')
            m += *p;
    }
    return m;
}

// fopen that refuses folders, as the platform does (the host opens them for reading).
std::FILE* openFile(const std::string& hostPath, const char* mode)
{
    std::FILE* file = std::fopen(hostPath.c_str(), hostMode(mode).c_str());
    struct stat st;
    if (file && ::fstat(::fileno(file), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(file);
        errno = EISDIR;
        return nullptr;
    }
    return file;
}

} // namespace

std::FILE* deviceFopen(const wchar_t* devicePath, const char* mode)
{
    return openFile(deviceToHostPath(devicePath), mode);
}

std::FILE* deviceFopen(const char* devicePath, const char* mode)
{
    return openFile(ansiDeviceToHostPath(devicePath), mode);
}

bool deviceRemove(const char* devicePath)
{
    return std::remove(ansiDeviceToHostPath(devicePath).c_str()) == 0;
}

bool isReservedHostName(const std::string& hostName)
{
    static const char prefix[] = ".fieldcore-";
    return hostName.compare(0, sizeof prefix - 1, prefix) == 0;
}

bool deviceNamesEqual(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (CharToLower(a[i]) != CharToLower(b[i]))
            return false;
    }
    return true;
}
