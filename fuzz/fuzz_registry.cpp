// The registry export reader: any bytes load, or fail naming the file and a line (from 1) and
// leave the registry as it was; a loaded tree answers every enumeration and query, and the
// Bluetooth scans run over it.
#include "fuzzRoot.h"

#include "devices/bluetoothRegistry.h"
#include "platform/registry.h"
#include "tests/registryTestSupport.h"

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

bool checked(bool ok, const char*)
{
    check(ok);
    return ok;
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
        regtest::walkRegistry(root, &checked);
    check(BluetoothRegistry::GetBluetoothComPort() >= 0 && BluetoothRegistry::GetBluetoothComPort2() >= 0);
    return 0;
}
