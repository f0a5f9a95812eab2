#include "platform/memoryStatus.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <sys/resource.h>

namespace {

const SIZE_T kUserAddressSpace = SIZE_T(1) << 47;

struct Source {
    std::mutex mutex;
    MemoryStatusSource source;
};

Source& source()
{
    static Source* s = new Source;
    return *s;
}

// The value in kB of a "Name: value kB" line of a /proc file, as bytes; 0 when missing.
SIZE_T procValue(const char* file, const char* name)
{
    std::FILE* in = std::fopen(file, "r");
    if (!in)
        return 0;
    char line[256];
    unsigned long long kb = 0;
    const std::size_t length = std::strlen(name);
    while (std::fgets(line, sizeof line, in))
        if (std::strncmp(line, name, length) == 0 && line[length] == ':' &&
            std::sscanf(line + length + 1, "%llu", &kb) == 1)
            break;
    std::fclose(in);
    return static_cast<SIZE_T>(kb) * 1024;
}

void fromHost(MEMORYSTATUS& status)
{
    status.dwTotalPhys = procValue("/proc/meminfo", "MemTotal");
    status.dwAvailPhys = procValue("/proc/meminfo", "MemAvailable");
    status.dwTotalPageFile = procValue("/proc/meminfo", "SwapTotal");
    status.dwAvailPageFile = procValue("/proc/meminfo", "SwapFree");
    rlimit limit{};
    const bool limited = getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
    status.dwTotalVirtual = limited ? static_cast<SIZE_T>(limit.rlim_cur) : kUserAddressSpace;
    const SIZE_T used = procValue("/proc/self/status", "VmSize");
    status.dwAvailVirtual = used < status.dwTotalVirtual ? status.dwTotalVirtual - used : 0;
    status.dwMemoryLoad = status.dwTotalPhys
                              ? static_cast<DWORD>(100 - status.dwAvailPhys * 100 / status.dwTotalPhys)
                              : 0;
}

} // namespace

void GlobalMemoryStatus(MEMORYSTATUS* status)
{
    if (!status)
        return;
    MEMORYSTATUS result{};
    result.dwLength = sizeof(MEMORYSTATUS);
    MemoryStatusSource replaced;
    {
        Source& s = source();
        std::lock_guard<std::mutex> lock(s.mutex);
        replaced = s.source;
    }
    if (replaced)
        replaced(result);
    else
        fromHost(result);
    *status = result;
}

void setMemoryStatusSource(MemoryStatusSource replacement)
{
    Source& s = source();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.source = std::move(replacement);
}
