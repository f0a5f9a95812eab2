// Memory status of the platform (GlobalMemoryStatus), from the host, replaceable by tests.
//
// Physical memory: the host's MemTotal and MemAvailable (/proc/meminfo). Virtual memory: on the
// controller, the free part of the process's small address space; a 64-bit host has no such
// limit, so this layer reports the headroom under the address-space limit (RLIMIT_AS) when one
// is set, else under the user address space (128 TiB), less the process's mapped size (VmSize).
// Sizes are bytes in SIZE_T, 64 bits here.
#pragma once

#include "platform/winTypes.h"

#include <cstddef>
#include <functional>

typedef std::size_t SIZE_T;

struct MEMORYSTATUS {
    DWORD dwLength;
    DWORD dwMemoryLoad;  // percent of physical memory in use
    SIZE_T dwTotalPhys;
    SIZE_T dwAvailPhys;
    SIZE_T dwTotalPageFile;
    SIZE_T dwAvailPageFile;
    SIZE_T dwTotalVirtual;
    SIZE_T dwAvailVirtual;
};

void GlobalMemoryStatus(MEMORYSTATUS* status);

// Replaces the host as the source (an empty function returns to the host).
using MemoryStatusSource = std::function<void(MEMORYSTATUS& status)>;
void setMemoryStatusSource(MemoryStatusSource source);
