#include "platform/deviceRoot.h"

#include "platform/CString.h"
#include "platform/lastError.h"
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
    // An embedded NUL ends the path, as it does for the pointer form.
    const std::wstring path = devicePath.substr(0, devicePath.find(L'\0'));
    for (const std::wstring& part : deviceComponents(path)) {
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
    std::string host;
    if (!deviceHostPath(devicePath, host))
        return nullptr;
    if (!hostPathInsideRoot(host, true)) {
        errno = EACCES;
        return nullptr;
    }
    return openFile(host, mode);
}

std::FILE* deviceFopen(const char* devicePath, const char* mode)
{
    const std::wstring wide = AnsiToWide(std::string(devicePath ? devicePath : ""));
    return deviceFopen(wide.c_str(), mode);
}

bool deviceRemove(const char* devicePath)
{
    std::string host;
    const std::wstring wide = AnsiToWide(std::string(devicePath ? devicePath : ""));
    if (!deviceHostPath(wide.c_str(), host) || host == getDeviceRoot() ||
        !hostPathInsideRoot(host, false))
        return false;
    return std::remove(host.c_str()) == 0;
}

namespace {

bool isControl(wchar_t c)
{
    return c < 0x20 || c == 0x7F;
}

bool isReservedDeviceName(const std::wstring& name)
{
    static const std::wstring prefix = L".fieldcore-";
    return name.size() >= prefix.size() && deviceNamesEqual(name.substr(0, prefix.size()), prefix);
}

std::string realPath(const std::string& path)
{
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return std::string();
    std::string result = real;
    std::free(real);
    return result;
}

bool underRoot(const std::string& real, const std::string& root)
{
    return real == root || (real.compare(0, root.size(), root) == 0 && real.size() > root.size() &&
                            (root == "/" || real[root.size()] == '/'));
}

} // namespace

bool deviceNameAllowed(const std::wstring& name)
{
    if (isReservedDeviceName(name))
        return false;
    for (wchar_t c : name) {
        if (isControl(c))
            return false;
    }
    return true;
}

bool deviceHostPath(const wchar_t* devicePath, std::string& hostPath)
{
    const std::wstring path = devicePath ? devicePath : L"";
    for (const std::wstring& part : deviceComponents(path)) {
        if (!deviceNameAllowed(part)) {
            SetLastError(ERROR_INVALID_NAME);
            return false;
        }
    }
    hostPath = deviceToHostPath(path);
    return true;
}

bool hostPathInsideRoot(const std::string& hostPath, bool followLast)
{
    const std::string configured = getDeviceRoot();
    if (configured == "/")
        return true;
    const std::string root = realPath(configured);
    if (root.empty())
        return true;  // no root yet: nothing can be reached through it
    if (followLast) {
        const std::string real = realPath(hostPath);
        if (!real.empty())
            return underRoot(real, root);
        struct stat st;
        if (::lstat(hostPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            return false;  // a link to nothing: an open that creates would follow it
    }
    const std::size_t slash = hostPath.rfind('/');
    if (slash == std::string::npos)
        return true;
    const std::string real = realPath(slash == 0 ? "/" : hostPath.substr(0, slash));
    return real.empty() || underRoot(real, root);
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
