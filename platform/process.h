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
