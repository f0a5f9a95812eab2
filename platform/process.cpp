#include "platform/process.h"

#include "platform/deviceRoot.h"
#include "platform/lastError.h"
#include "platform/textCodec.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include <cwchar>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <sys/stat.h>

namespace {

const wchar_t kModulePath[] = L"\\Program Files\\fieldcore\\fieldcore.exe";

} // namespace

const wchar_t* moduleDevicePath() { return kModulePath; }

DWORD GetModuleFileNameW(HMODULE, wchar_t* buffer, DWORD size)
{
    if (!buffer || size == 0)
        return 0;
    ensureDeviceRoot();  // the executable's folder exists on a device
    const DWORD length = static_cast<DWORD>(std::wcslen(kModulePath));
    if (length < size) {
        std::wmemcpy(buffer, kModulePath, length + 1);
        return length;
    }
    std::wmemcpy(buffer, kModulePath, size - 1);
    buffer[size - 1] = L'\0';
    return size;
}

void OutputDebugStringW(const wchar_t* text)
{
    if (!text)
        return;
    const std::string bytes = WideToUtf8(text, std::wcslen(text));
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}

namespace {

struct StringTable {
    std::mutex mutex;
    std::map<std::pair<HMODULE, UINT>, std::wstring> strings;
};

StringTable& stringTable()
{
    static StringTable* table = new StringTable;
    return *table;
}

} // namespace

void SetStringResource(HMODULE module, UINT id, const wchar_t* text)
{
    StringTable& t = stringTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (text)
        t.strings[{module, id}] = text;
    else
        t.strings.erase({module, id});
}

int LoadStringW(HMODULE module, UINT id, wchar_t* buffer, int maxCount)
{
    if (!buffer || maxCount < 1)
        return 0;
    StringTable& t = stringTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.strings.find({module, id});
    if (it == t.strings.end()) {
        buffer[0] = L'\0';
        return 0;
    }
    const int n = std::min(static_cast<int>(it->second.size()), maxCount - 1);
    std::copy(it->second.begin(), it->second.begin() + n, buffer);
    buffer[n] = L'\0';
    return n;
}

namespace {

// The host path of a device path that names an existing regular file inside the root.
bool existingLibrary(const std::wstring& devicePath, std::string& hostPath)
{
    std::string host;
    struct stat info;
    if (!deviceHostPath(devicePath.c_str(), host) || !hostPathInsideRoot(host, true) ||
        ::stat(host.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    hostPath = host;
    return true;
}

} // namespace

HMODULE LoadLibraryW(LPCWSTR name)
{
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_NAME);
        return nullptr;
    }
    std::wstring file(name);
    const size_t lastSeparator = file.find_last_of(L"\\/");
    const size_t base = lastSeparator == std::wstring::npos ? 0 : lastSeparator + 1;
    if (file.find(L'.', base) == std::wstring::npos)
        file += L".dll";
    std::vector<std::wstring> candidates;
    if (file[0] == L'\\' || file[0] == L'/') {
        candidates.push_back(file);
    } else {
        const std::wstring module(kModulePath);
        candidates.push_back(module.substr(0, module.find_last_of(L'\\') + 1) + file);
        candidates.push_back(L"\\Windows\\" + file);
    }
    for (const std::wstring& candidate : candidates) {
        std::string host;
        if (!existingLibrary(candidate, host))
            continue;
        if (void* handle = ::dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL))
            return handle;
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return nullptr;
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, const char* exportName)
{
    if (!module || !exportName) {
        SetLastError(module ? ERROR_PROC_NOT_FOUND : ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* address = ::dlsym(module, exportName);
    if (!address) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    // POSIX guarantees that an object address from dlsym converts to a function pointer.
    return reinterpret_cast<FARPROC>(address);
}

FARPROC GetProcAddressW(HMODULE module, LPCWSTR exportName)
{
    if (!exportName)
        return GetProcAddress(module, nullptr);
    return GetProcAddress(module, WideToUtf8(exportName, std::wcslen(exportName)).c_str());
}

BOOL FreeLibrary(HMODULE module)
{
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return ::dlclose(module) == 0 ? TRUE : FALSE;
}
