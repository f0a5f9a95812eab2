#include "platform/process.h"

#include "platform/deviceRoot.h"
#include "platform/textCodec.h"

#include <cstdio>
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
