// Free memory, from the platform's memory status (platform/memoryStatus.h: on this host the
// available virtual memory is the headroom under the address-space limit). Bytes.
#pragma once

namespace MemoryFuncs {

// Logs "Virtual memory available: %u Physical memory available: %u" (the two values, level 2)
// and returns the available physical memory.
unsigned long GetFreeSliderMemory();
// The smaller of the available virtual and physical memory.
unsigned long GetFreeVirtMemory();

} // namespace MemoryFuncs
