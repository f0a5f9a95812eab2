#include "platform/winTypes.h"

#include <cstdio>

void PlatformUsageError(const char* what, long long index, long long size)
{
#ifndef NDEBUG
    std::fprintf(stderr, "platform: %s: index %lld out of range (size %lld)\n", what, index, size);
#else
    (void)what;
    (void)index;
    (void)size;
#endif
}
