// Memory queries over an injected memory status: the smaller of virtual and physical memory,
// both ways, and the log line with 64-bit values.
#include "libraryLogFixture.h"

#include "files/memoryFuncs.h"
#include "platform/memoryStatus.h"

namespace {

void inject(SIZE_T virtualBytes, SIZE_T physicalBytes)
{
    setMemoryStatusSource([=](MEMORYSTATUS& status) {
        status.dwAvailVirtual = virtualBytes;
        status.dwAvailPhys = physicalBytes;
    });
}

TEST(MemoryFuncs, SmallerOfVirtualAndPhysical)
{
    struct Case { SIZE_T virtualBytes, physicalBytes; unsigned long expected; const char* reason; };
    const Case cases[] = {
        {1000, 5000, 1000, "virtual is smaller"},
        {9000, 5000, 5000, "physical is smaller"},
        {SIZE_T(6) << 32, SIZE_T(5) << 32, (5ul << 32), "beyond 32 bits"},
    };
    for (const Case& c : cases) {
        inject(c.virtualBytes, c.physicalBytes);
        EXPECT_EQ(MemoryFuncs::GetFreeVirtMemory(), c.expected) << c.reason;
    }
    setMemoryStatusSource(nullptr);
}

TEST(MemoryFuncs, HostStatus)
{
    setMemoryStatusSource(nullptr);
    MEMORYSTATUS status{};
    GlobalMemoryStatus(&status);
    EXPECT_EQ(status.dwLength, sizeof(MEMORYSTATUS));
    EXPECT_GT(status.dwTotalPhys, 0u);
    EXPECT_LE(status.dwAvailPhys, status.dwTotalPhys);
    EXPECT_GT(status.dwAvailVirtual, 0u);
    EXPECT_LE(status.dwAvailVirtual, status.dwTotalVirtual);
}

using MemoryLog = LibraryLogTest;

TEST_F(MemoryLog, SliderMemoryLogsBothValues)
{
    const std::string log = libraryLogOf([] {
        inject(SIZE_T(7) << 32, 123456789);
        return MemoryFuncs::GetFreeSliderMemory() == 123456789ul;
    });
    EXPECT_NE(log.find("<2> - Virtual memory available: 30064771072 Physical memory available: 123456789\n"),
              std::string::npos)
        << log;
}

} // namespace
