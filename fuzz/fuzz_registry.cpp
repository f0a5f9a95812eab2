// The registry export reader: any bytes load, or fail naming the file and a line (from 1) and
// leave the registry as it was; a loaded tree answers every enumeration and query, and the
// Bluetooth scans run over it.
#include "fuzzRoot.h"

#include "devices/bluetoothRegistry.h"
#include "platform/registry.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void walk(HKEY key, int depth)
{
    for (DWORD index = 0; depth < 64; ++index) {
        wchar_t name[300];
        DWORD length = 300;
        const LONG rc = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc != 0) {
            check(rc == static_cast<LONG>(ERROR_NO_MORE_ITEMS) || rc == static_cast<LONG>(ERROR_MORE_DATA));
            return;
        }
        HKEY sub = nullptr;
        check(RegOpenKeyExW(key, name, 0, KEY_READ, &sub) == 0);
        for (const wchar_t* value : {L"", L"key", L"Name"}) {
            DWORD type = 0, size = 0;
            if (RegQueryValueExW(sub, value, nullptr, &type, nullptr, &size) != 0)
                continue;
            std::vector<BYTE> data(size);
            DWORD got = size;
            check(RegQueryValueExW(sub, value, nullptr, &type, data.data(), &got) == 0 && got == size);
            check(type == REG_SZ || type == REG_DWORD);
        }
        walk(sub, depth + 1);
        check(RegCloseKey(sub) == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::root();
    RegistryLoadError error;
    check(registryLoadText("REGEDIT4\n[HKEY_USERS\\Marker]\n", "marker.reg", error));
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!registryLoadText(bytes, "fuzz.reg", error)) {
        check(error.file == "fuzz.reg" && error.line >= 1 && !error.message.empty());
        HKEY marker = nullptr;
        check(RegOpenKeyExW(HKEY_USERS, L"Marker", 0, KEY_READ, &marker) == 0);
        RegCloseKey(marker);
        return 0;
    }
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_USERS})
        walk(root, 0);
    check(BluetoothRegistry::GetBluetoothComPort() >= 0 && BluetoothRegistry::GetBluetoothComPort2() >= 0);
    return 0;
}
