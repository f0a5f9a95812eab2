// The running program as the ported code sees it: its executable's path and the debugger
// output.
#pragma once

#include "platform/winTypes.h"

typedef void* HMODULE;

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
