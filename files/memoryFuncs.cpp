#include "files/memoryFuncs.h"

#include "files/logFile.h"
#include "platform/memoryStatus.h"

namespace MemoryFuncs {

unsigned long GetFreeSliderMemory()
{
    MEMORYSTATUS status{};
    GlobalMemoryStatus(&status);
    // The values are 64 bits here: the text is unchanged, the conversion matches their size.
    LOGMESSAGE(2, "Virtual memory available: %lu Physical memory available: %lu",
               static_cast<unsigned long>(status.dwAvailVirtual), static_cast<unsigned long>(status.dwAvailPhys));
    return static_cast<unsigned long>(status.dwAvailPhys);
}

unsigned long GetFreeVirtMemory()
{
    MEMORYSTATUS status{};
    GlobalMemoryStatus(&status);
    return static_cast<unsigned long>(status.dwAvailVirtual < status.dwAvailPhys ? status.dwAvailVirtual
                                                                                 : status.dwAvailPhys);
}

} // namespace MemoryFuncs
