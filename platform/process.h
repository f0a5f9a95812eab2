// The running program as the ported code sees it: its executable's path and the debugger
// output.
#pragma once

#include "platform/winTypes.h"

typedef void* HMODULE;
typedef HMODULE HINSTANCE;

// The device path of the running executable, "\Program Files\fieldcore\fieldcore.exe",
// whatever host program is running (the device's layout, mapped onto the device root like
// every device path, see platform/deviceRoot.h). The executable's folder exists on a device,
// so this call prepares the device root (ensureDeviceRoot) first. `module` is ignored (every module answers the executable's path).
// Copies at most size - 1 characters and a terminating zero; returns the number of
// characters copied without the zero, or `size` when the path was cut (the buffer then holds
// the cut, terminated path), 0 for a null buffer or size 0.
DWORD GetModuleFileNameW(HMODULE module, wchar_t* buffer, DWORD size);

// The device path GetModuleFileNameW answers.
const wchar_t* moduleDevicePath();

// Debugger output: the text goes to the host's standard error, in UTF-8, as it is (the
// caller supplies any line end). A null text writes nothing.
void OutputDebugStringW(const wchar_t* text);

// ---- String resources ----
// Each module's string table is defined in code: SetStringResource adds or replaces the text
// of an identifier (a null text removes it). LoadStringW copies at most maxCount - 1
// characters and a zero and returns the number copied; 0 when the module has no such string
// (or for a null buffer or maxCount below 1).
void SetStringResource(HMODULE module, UINT id, const wchar_t* text);
int LoadStringW(HMODULE module, UINT id, wchar_t* buffer, int maxCount);

// ---- Dynamic libraries ----
// A library is any host shared object (ELF) at the device path asked for: LoadLibraryW maps the
// device path onto the host (platform/deviceRoot.h) and dlopen()s the file found by its full
// host path, never by a bare name (which would search the host's library path).
//
// Where a name is looked for: a path beginning with '\' (or '/') is that file alone; any other
// name is looked for in the executable's folder "\Program Files\fieldcore", then in "\Windows".
// A name whose last component has no '.' gets ".dll", as on the platform. Null on failure,
// with the last error ERROR_MOD_NOT_FOUND (no such file), ERROR_BAD_EXE_FORMAT (the file is no
// loadable library) or ERROR_INVALID_NAME. Each successful call takes one reference to the
// library, which FreeLibrary gives back; a library still loaded is answered again, even when
// its file has been replaced meanwhile.
typedef void (*FARPROC)();
HMODULE LoadLibraryW(LPCWSTR name);
inline HMODULE LoadLibrary(LPCWSTR name) { return LoadLibraryW(name); }
// The address of an export (dlsym): null, with ERROR_PROC_NOT_FOUND (or ERROR_INVALID_HANDLE
// for a null module), when it has none. Cast the result to the export's type before calling.
FARPROC GetProcAddress(HMODULE module, const char* exportName);
FARPROC GetProcAddressW(HMODULE module, LPCWSTR exportName);
// Gives back one reference (dlclose); the library is unloaded with its last. FALSE for a null
// module or when dlclose fails.
BOOL FreeLibrary(HMODULE module);
