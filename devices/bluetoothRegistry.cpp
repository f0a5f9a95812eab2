#include "devices/bluetoothRegistry.h"

#include "devices/btConfigFile.h"
#include "files/fileFuncs.h"
#include "files/globalSettings.h"
#include "platform/CString.h"
#include "platform/lastError.h"
#include "platform/registry.h"

#include <climits>
#include <cwctype>
#include <vector>

namespace {

const wchar_t kPresence1[] = L"SOFTWARE\\Socket Communications\\Bluetooth\\Socket BT COM Port";
const wchar_t kPresence2[] = L"SOFTWARE\\Socket Communications\\Bluetooth\\Socket BT COM Port 2";
const wchar_t kDriverKey1[] = L"Software\\Socket Communications\\Bluetooth\\Socket BT COM Port";
const wchar_t kDriverKey2[] = L"Software\\Socket Communications\\Bluetooth\\Socket BT COM Port 2";
const wchar_t kActive[] = L"Drivers\\Active";
const wchar_t kCardPrefix[] = L"Drivers\\PCMCIA\\Socket-CF+_Personal_Network_Card";  // 47 characters
const wchar_t kCardSuffix[] = L"\\Bluetooth COM Port";                                // 19 characters

const ECommPort kMavikPort = static_cast<ECommPort>(6);

bool sameNoCase(const std::wstring& text, size_t at, const std::wstring& part)
{
    if (at + part.size() > text.size())
        return false;
    for (size_t i = 0; i < part.size(); ++i)
        if (CharToLower(text[at + i]) != CharToLower(part[i]))
            return false;
    return true;
}

bool firstPassMatch(const std::wstring& key, const wchar_t* wanted)
{
    const std::wstring w(wanted);
    return key.size() == w.size() && sameNoCase(key, 0, w);
}

bool secondPassMatch(const std::wstring& key)
{
    const std::wstring prefix(kCardPrefix), suffix(kCardSuffix);
    return key.size() >= prefix.size() + suffix.size() && sameNoCase(key, 0, prefix) &&
           sameNoCase(key, key.size() - suffix.size(), suffix);
}

// A text value of an open key; false when it is missing or no text.
bool readText(HKEY key, const wchar_t* name, std::wstring& text)
{
    DWORD type = REG_NONE, size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != static_cast<LONG>(ERROR_SUCCESS) ||
        type != REG_SZ || size < sizeof(wchar_t))
        return false;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        static_cast<LONG>(ERROR_SUCCESS))
        return false;
    text.assign(buffer.data());
    return true;
}

// Walks the subkeys of "Drivers\Active" from index 0 until `matches` accepts one's "key"
// value; that subkey's port, or false when none matched.
template <class Match>
bool findDriverPort(HKEY active, Match matches, ECommPort& port)
{
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = sizeof name / sizeof name[0];
        if (RegEnumKeyExW(active, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            static_cast<LONG>(ERROR_SUCCESS))
            return false;
        HKEY driver = nullptr;
        if (RegOpenKeyExW(active, name, 0, KEY_READ, &driver) != static_cast<LONG>(ERROR_SUCCESS))
            continue;
        std::wstring key, deviceName;
        const bool match = readText(driver, L"key", key) && matches(key);
        if (match)
            port = readText(driver, L"Name", deviceName) ? BluetoothRegistry::SocketPortNumber(deviceName)
                                                          : COMM_PORT_NONE;
        RegCloseKey(driver);
        if (match)
            return true;
    }
}

ECommPort scan(const wchar_t* presence, const wchar_t* driverKey, bool secondPass)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, presence, 0, KEY_READ, &key) != static_cast<LONG>(ERROR_SUCCESS))
        return COMM_PORT_NONE;
    RegCloseKey(key);
    HKEY active = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kActive, 0, KEY_READ, &active) != static_cast<LONG>(ERROR_SUCCESS))
        return COMM_PORT_NONE;
    ECommPort port = COMM_PORT_NONE;
    if (!findDriverPort(active, [driverKey](const std::wstring& k) { return firstPassMatch(k, driverKey); }, port) &&
        secondPass)
        findDriverPort(active, secondPassMatch, port);
    RegCloseKey(active);
    return port;
}

bool isZr8Unit()
{
    return FileFuncs::IsFileExist(CString(L"\\Windows\\zr8_lcd.dll")) || FileFuncs::IsFileExist(CString(L"\\Windows\\zr8_wavedev.dll"));
}

} // namespace

ECommPort BluetoothRegistry::SocketPortNumber(const std::wstring& name)
{
    if (name.compare(0, 3, L"COM") != 0)
        return COMM_PORT_NONE;
    size_t i = 3;
    while (i < name.size() && std::iswspace(static_cast<wint_t>(name[i])))
        ++i;
    bool negative = false;
    if (i < name.size() && (name[i] == L'+' || name[i] == L'-'))
        negative = name[i++] == L'-';
    long long value = 0;
    size_t digits = 0;
    for (; i < name.size() && name[i] >= L'0' && name[i] <= L'9'; ++i, ++digits) {
        value = value * 10 + (name[i] - L'0');
        if (value > INT_MAX)
            return COMM_PORT_NONE;  // beyond int: scanf's result is undefined; no port has it
    }
    if (digits == 0 || negative || value < 1)
        return COMM_PORT_NONE;  // below 1 names no port
    return static_cast<ECommPort>(value);
}

ECommPort BluetoothRegistry::SocketComPortScan() { return scan(kPresence1, kDriverKey1, true); }

ECommPort BluetoothRegistry::SocketComPort2Scan() { return scan(kPresence2, kDriverKey2, false); }

ECommPort BluetoothRegistry::GetBluetoothComPort()
{
    if (isZr8Unit())
        return GetUseInternalBT() ? GetBtConfigComPort() : SocketComPortScan();
    const ECommPort port = SocketComPortScan();
    return port == COMM_PORT_NONE && FileFuncs::IsFileExist(CString(L"\\Windows\\MavikLib.dll")) ? kMavikPort : port;
}

ECommPort BluetoothRegistry::GetBluetoothComPort2() { return SocketComPort2Scan(); }

bool BluetoothRegistry::IsRover2BluetoothExist()
{
    return GetBtConfigComPort() != COMM_PORT_NONE || SocketComPortScan() != COMM_PORT_NONE;
}

bool BluetoothRegistry::IsBluetoothQuenta()
{
    static const bool quenta = false;  // no operation of this library sets it
    return quenta;
}
