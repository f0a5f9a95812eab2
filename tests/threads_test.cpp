// Threads: exit codes, suspension, priorities as recorded, stack sizes as minimums, and
// identities that are never reused.
#include "platform/lastError.h"
#include "platform/messages.h"
#include "platform/threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <vector>

namespace {

DWORD returnParameter(void* parameter)
{
    return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(parameter));
}

std::atomic<int> ran{0};

DWORD countRun(void*)
{
    ++ran;
    return 0;
}

// Uses a good part of a large stack: fails under a stack of the requested few kilobytes.
DWORD deepStack(void*)
{
    volatile char buffer[64 * 1024];
    for (size_t i = 0; i < sizeof buffer; i += 512)
        buffer[i] = static_cast<char>(i);
    return buffer[512] == 0 ? 1 : 2;
}

TEST(Threads, ExitCodes)
{
    const DWORD codes[] = {0, 42, 0xFFFFFFFFu, STILL_ACTIVE + 1};
    for (DWORD code : codes) {
        DWORD id = 0;
        const HANDLE thread = CreateThread(nullptr, 0, &returnParameter,
                                           reinterpret_cast<void*>(static_cast<std::uintptr_t>(code)), 0, &id);
        ASSERT_NE(thread, nullptr);
        EXPECT_NE(id, 0u);
        EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
        DWORD exitCode = 0;
        EXPECT_TRUE(GetExitCodeThread(thread, &exitCode));
        EXPECT_EQ(exitCode, code);
        CloseHandle(thread);
    }
    DWORD exitCode = 5;
    EXPECT_FALSE(GetExitCodeThread(nullptr, &exitCode));
    EXPECT_EQ(exitCode, 5u) << "untouched";
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr) << "no function";
}

TEST(Threads, SuspendedUntilResumed)
{
    ran = 0;
    const HANDLE thread = CreateThread(nullptr, 0, &countRun, nullptr, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    EXPECT_EQ(ran.load(), 0);
    DWORD exitCode = 0;
    GetExitCodeThread(thread, &exitCode);
    EXPECT_EQ(exitCode, STILL_ACTIVE);
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(ran.load(), 1);
    EXPECT_EQ(ResumeThread(thread), 0u) << "not suspended";
    CloseHandle(thread);
    EXPECT_EQ(ResumeThread(thread), 0xFFFFFFFFu) << "closed";
}

TEST(Threads, PrioritiesAreRecordedOnTheEightLevelScale)
{
    const HANDLE thread = CreateThread(nullptr, 0, &countRun, nullptr, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_NORMAL);
    for (int level = THREAD_PRIORITY_TIME_CRITICAL; level <= THREAD_PRIORITY_IDLE; ++level) {
        EXPECT_TRUE(SetThreadPriority(thread, level)) << "whether or not the host applies it";
        EXPECT_EQ(GetThreadPriority(thread), level);
    }
    EXPECT_FALSE(SetThreadPriority(thread, 8));
    EXPECT_FALSE(SetThreadPriority(thread, -1));
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_IDLE) << "unchanged by refused levels";
    SetThreadPriority(thread, THREAD_PRIORITY_ABOVE_NORMAL);
    ResumeThread(thread);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0) << "a refused raise never stops the start";
    CloseHandle(thread);
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_ERROR_RETURN);
}

TEST(Threads, StackSizeIsAMinimum)
{
    const DWORD sizes[] = {0, 0x7FFF, 16 * 1024 * 1024};
    for (DWORD size : sizes) {
        const HANDLE thread = CreateThread(nullptr, size, &deepStack, nullptr, 0, nullptr);
        ASSERT_NE(thread, nullptr) << size;
        EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
        DWORD exitCode = 0;
        GetExitCodeThread(thread, &exitCode);
        EXPECT_EQ(exitCode, 1u) << size;
        CloseHandle(thread);
    }
}

TEST(Threads, IdentitiesAreNeverReused)
{
    std::set<DWORD> ids{GetCurrentThreadId()};
    for (int i = 0; i < 50; ++i) {
        DWORD id = 0;
        const HANDLE thread = CreateThread(nullptr, 0, &countRun, nullptr, 0, &id);
        ASSERT_NE(thread, nullptr);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        EXPECT_TRUE(ids.insert(id).second) << "identity " << id << " seen before";
        EXPECT_FALSE(PostThreadMessage(id, WM_USER, 0, 0)) << "an ended thread has no queue";
    }
}

} // namespace
