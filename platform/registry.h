// The system registry, modelled in-process: a tree of keys under the predefined roots, each
// key holding subkeys (kept in the order they were made, which is the order enumeration
// gives) and named values, either text (REG_SZ) or a 32-bit number (REG_DWORD). Key and value
// names compare without regard to case (CharToLower of platform/CString.h), as on the
// platform; the spelling first given is kept.
//
// Where the contents come from: a registry export file (".reg", below). Until a program loads
// one itself (registryLoadFile, registryLoadText), the registry is the device root's own
// "ROOT/.fieldcore-registry.reg" (a host name that the file services never show to the device,
// see platform/deviceRoot.h), read at the first call that needs it and read again when the
// device root has changed since; a root without that file, or with a file that cannot be read,
// gives an empty registry (nothing is reported: registryLoadDeviceFile tells why).
//
// The export format read:
//   - line 1 is the header: "REGEDIT4" (the file is then 8-bit text in the system code page)
//     or "Windows Registry Editor Version 5.00" (UTF-16LE after its byte-order mark FF FE, or
//     UTF-8 with or without its mark EF BB BF). A byte-order mark decides the encoding for
//     either header;
//   - lines end with CR LF or LF; blank lines, and lines whose first non-blank is ';', are
//     skipped; blanks around a line are ignored;
//   - "[ROOT\path\to\key]" makes the key and every missing key on its way (ROOT one of
//     HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_USERS, any case);
//   - "name"="text" and "name"=dword:0000001a (one to eight hexadecimal digits) set a value of
//     the last key; @ in place of "name" is the key's default value (the empty name). Inside
//     quotes \\ stands for \ and \" for "; no other escape exists. A name given twice keeps
//     its last value.
//   Anything else (other value kinds, deletions "[-...]" and "name"=-, a text after a closing
//   quote, a value before any key) is refused: the load fails with the file and line, and the
//   registry stays as it was.
//
// Handles: RegOpenKeyExW hands out a handle that stays valid until RegCloseKey, even when a
// load replaces the registry meanwhile (the handle keeps the key it opened). The calls are safe
// from any thread.
#pragma once

#include "platform/lastError.h"  // the result codes
#include "platform/winTypes.h"

#include <string>

struct HKEY__;
typedef HKEY__* HKEY;
typedef HKEY* PHKEY;
typedef DWORD REGSAM;

// The predefined roots, the platform's values.
inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000003u));

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_DWORD = 4;

// Access rights: accepted and not checked (every key can be read).
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Opens `subKey` below `key` (a root or an open handle). The path's components are separated
// by '\'; empty components are skipped, so a null or empty path opens `key` itself again.
// `options` and `desired` are ignored. Returns ERROR_SUCCESS with `*result` set,
// ERROR_FILE_NOT_FOUND when a component does not exist, ERROR_INVALID_HANDLE for a key that is
// neither a root nor open, ERROR_INVALID_PARAMETER for a null `result`; `*result` is written
// only on success. Every call counts one open of the path it names (registryOpenCount).
LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM desired, PHKEY result);

// The name of subkey number `index` (from 0, in the order the keys were made). `*nameLength`
// gives the buffer's size in characters, the terminating zero included; on success it becomes
// the name's length without the zero. ERROR_NO_MORE_ITEMS when index is past the last subkey,
// ERROR_MORE_DATA when the name and its zero do not fit (nothing written), ERROR_INVALID_HANDLE,
// ERROR_INVALID_PARAMETER for a null name or length. Class names are not kept: a non-null
// `className` gets an empty text when `*classLength` leaves room for it, and `*classLength`
// becomes 0. `reserved` and `lastWriteTime` are ignored.
LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, DWORD* nameLength, DWORD* reserved,
                   LPWSTR className, DWORD* classLength, void* lastWriteTime);

// A value of the key: null or "" names the default value. `*type` (when not null) gets
// REG_SZ or REG_DWORD. The data of a text is its wchar_t characters and a terminating zero
// (4 bytes per character on this host: sizes are in bytes of the caller's wchar_t buffer);
// a REG_DWORD is 4 bytes in host order. With `data` null and `dataSize` not null, `*dataSize`
// gets the size needed; with a buffer, `*dataSize` gives its size and gets the size written.
// ERROR_FILE_NOT_FOUND when the key has no such value, ERROR_MORE_DATA when the buffer is too
// small (`*dataSize` gets the size needed, the buffer is left alone), ERROR_INVALID_HANDLE,
// ERROR_INVALID_PARAMETER for a buffer without a size.
LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);

// Closes a handle from RegOpenKeyExW; a root closes as a no-op. ERROR_INVALID_HANDLE for
// anything else (a handle already closed among them).
LONG RegCloseKey(HKEY key);

// The same calls by the names the platform's headers map to the wide ones.
inline LONG RegOpenKeyEx(HKEY key, LPCWSTR subKey, DWORD options, REGSAM desired, PHKEY result)
{
    return RegOpenKeyExW(key, subKey, options, desired, result);
}
inline LONG RegEnumKeyEx(HKEY key, DWORD index, LPWSTR name, DWORD* nameLength, DWORD* reserved,
                         LPWSTR className, DWORD* classLength, void* lastWriteTime)
{
    return RegEnumKeyExW(key, index, name, nameLength, reserved, className, classLength, lastWriteTime);
}
inline LONG RegQueryValueEx(HKEY key, LPCWSTR valueName, DWORD* reserved, DWORD* type, BYTE* data,
                            DWORD* dataSize)
{
    return RegQueryValueExW(key, valueName, reserved, type, data, dataSize);
}

// ---- Loading (this layer's own calls) ----

// Why a registry file was refused: the file's name as given, the line (from 1; 0 when the
// file could not be read at all) and the reason.
struct RegistryLoadError {
    std::string file;
    long line = 0;
    std::string message;
    std::string text() const;  // "FILE: line N: MESSAGE" ("FILE: MESSAGE" for line 0)
};

// Replaces the whole registry by the contents of an export file (`bytes`, named `fileName` in
// errors). On failure the registry is left as it was and `error` says why.
bool registryLoadText(const std::string& bytes, const std::string& fileName, RegistryLoadError& error);
// The same for a host file.
bool registryLoadFile(const std::string& hostPath, RegistryLoadError& error);
// Loads the device root's "ROOT/.fieldcore-registry.reg" now (an empty registry when the root
// has none, which is no failure), as the first use would; false with the reason for a file that
// cannot be read or is refused (the registry is then empty).
bool registryLoadDeviceFile(RegistryLoadError& error);
// The host name of the device root's registry file.
const char* registryDeviceFileName();  // ".fieldcore-registry.reg"

// Empties the registry and forgets any load, so that the next use reads the device root's
// file again; the open counts restart at 0. Open handles stay valid.
void registryReset();

// How many times RegOpenKeyExW was asked for a key, by its full path from the root, any
// case: "HKEY_LOCAL_MACHINE\Drivers\Active" (found or not). For tests.
long registryOpenCount(const std::wstring& fullPath);
