#include "platform/process.h"

#include "platform/deviceRoot.h"
#include "platform/textCodec.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include <cwchar>
#include <string>

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
