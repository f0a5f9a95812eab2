// Device paths and the device root.
//
// The ported code names files the way the field controller does: absolute device paths with
// backslash separators ("\temp", "\Settings\ostrand.ini"), no drive letters and no current
// folder. A relative name ("debug.ini") is taken from the top of the device, as on the
// controller. This layer keeps those paths as they are everywhere in the library and maps
// them onto the host file system only at the moment a file is touched:
//
//   device path "\Settings\ostrand.ini"  ->  host path ROOT/Settings/ostrand.ini
//
// ROOT, the device root, is chosen at each mapping, in this order:
//   1. the folder given to setDeviceRoot() (tests give each test its own temporary root);
//   2. the environment variable FIELDCORE_ROOT, when set and not empty;
//   3. $HOME/.fieldcore (the current folder when HOME is not set).
// A device always holds its executable's folder, "\Program Files\fieldcore" (see
// platform/process.h): ensureDeviceRoot() creates the root folder and that folder when they
// are missing. setDeviceRoot() and GetModuleFileNameW call it, so the default root is
// created on first use; mapping alone never creates anything. The host's top folder "/" as a
// root (the command-line tools reach host files that way) is never written to by it.
//
// Mapping rules:
//   - '\' and '/' both separate components; empty components and "." are dropped; ".." steps
//     back one component but never above the root, so no device path leads outside it;
//   - component names convert to UTF-8 host names (platform/textCodec.h);
//   - names are matched without regard to case, as on the controller: when a component does
//     not exist with the exact spelling, an existing entry of the same folder that differs
//     only in case (CharToLower of platform/CString.h) is used instead; a name that exists in
//     neither spelling keeps the spelling it was given (so new files get the caller's
//     spelling);
//   - host entries whose names begin with ".fieldcore-" belong to this layer (attribute
//     records, the flash-card mark, see platform/fileSystem.h) and are never listed to the
//     device.
//
// The root holds. Every file operation of the platform layer maps its paths with
// deviceHostPath, which refuses names the device cannot hold (control characters) and the
// layer's own names (".fieldcore-...", in any case), and checks with hostPathInsideRoot that
// no symbolic link leads it out of the root before it acts; a link that stays inside the
// root is followed as the file it names. An embedded NUL ends a path.
#pragma once

#include <cstdio>
#include <string>

// The host folder used as the device root from now on in this process; an empty folder
// returns to FIELDCORE_ROOT or the default. Relative host folders are taken from the current
// host folder. A folder given is prepared with ensureDeviceRoot().
void setDeviceRoot(const std::string& hostFolder);

// The host folder that device paths map onto at this moment (no trailing '/').
std::string getDeviceRoot();

// Creates the device root folder (and its missing parents) and the executable's folder
// "\Program Files\fieldcore" in it when they do not exist; with the root "/" nothing is
// created. True when the root exists afterwards.
bool ensureDeviceRoot();

// The host path (UTF-8) of a device path; "" and "\" give the root folder itself. A null
// path gives the root folder; the text ends at an embedded NUL (in either form).
std::string deviceToHostPath(const wchar_t* devicePath);
std::string deviceToHostPath(const std::wstring& devicePath);
// 8-bit device paths (the log's file names) are in the system code page.
std::string ansiDeviceToHostPath(const char* devicePath);

// The host path of a device path for a file operation: false (with ERROR_INVALID_NAME as the
// last error) when a component holds a control character (below U+0020, or U+007F) or is one
// of the layer's own names.
bool deviceHostPath(const wchar_t* devicePath, std::string& hostPath);
// The same test for one name (a path component or a search pattern's last part).
bool deviceNameAllowed(const std::wstring& name);
// True when the host path lies inside the device root once symbolic links are resolved:
// with `followLast`, the path as an open follows it (a link at the end that leads nowhere is
// refused: creating through it could land anywhere); without, only its folder (for
// operations on the entry itself: unlink, rmdir, rename, lstat). Always true for the root "/".
bool hostPathInsideRoot(const std::string& hostPath, bool followLast);

// fopen of a device path. `mode` is a C stdio mode; the text-mode letter 't' is accepted and
// dropped (this host has no text-mode translation: the readers of text files strip the CR of
// CR LF themselves). Null when the file cannot be opened.
std::FILE* deviceFopen(const wchar_t* devicePath, const char* mode);
std::FILE* deviceFopen(const char* devicePath, const char* mode);

// remove() of a device path (a file, a link, or an empty folder other than the root itself);
// true on success.
bool deviceRemove(const char* devicePath);

// True for the host names this layer keeps for itself (".fieldcore-..."), which no listing
// shows to the device.
bool isReservedHostName(const std::string& hostName);

// Case-insensitive equality of two device names (CharToLower of platform/CString.h).
bool deviceNamesEqual(const std::wstring& a, const std::wstring& b);
