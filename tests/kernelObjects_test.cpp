// Events, handles and waits: named and unnamed, manual and auto reset, time-outs on the tick
// clock, and one CloseHandle for every kind.
#include "platform/kernelObjects.h"
#include "platform/lastError.h"
#include "platform/threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(Events, ManualAndAutoReset)
{
    struct Case { BOOL manual; BOOL initial; DWORD first; DWORD second; const char* reason; };
    const Case cases[] = {
        {TRUE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT, "manual, unsignalled"},
        {TRUE, TRUE, WAIT_OBJECT_0, WAIT_OBJECT_0, "manual: stays signalled"},
        {FALSE, TRUE, WAIT_OBJECT_0, WAIT_TIMEOUT, "auto: one wait resets it"},
        {FALSE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT, "auto, unsignalled"},
    };
    for (const Case& c : cases) {
        const HANDLE event = CreateEvent(nullptr, c.manual, c.initial, nullptr);
        ASSERT_NE(event, nullptr) << c.reason;
        EXPECT_EQ(WaitForSingleObject(event, 0), c.first) << c.reason;
        EXPECT_EQ(WaitForSingleObject(event, 0), c.second) << c.reason;
        EXPECT_TRUE(SetEvent(event));
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0) << c.reason << ", set";
        EXPECT_TRUE(ResetEvent(event));
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT) << c.reason << ", reset";
        EXPECT_TRUE(CloseHandle(event));
    }
}

TEST(Events, NamedEventsLiveWhileAHandleIsOpen)
{
    SetLastError(0);
    EXPECT_EQ(OpenEvent(EVENT_ALL_ACCESS, FALSE, L"Test Named"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    const HANDLE first = CreateEvent(nullptr, TRUE, FALSE, L"Test Named");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    SetEvent(first);

    const HANDLE second = CreateEvent(nullptr, FALSE, FALSE, L"Test Named");
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first) << "a new handle";
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0) << "the same event, state unchanged";
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0) << "still manual reset";

    const HANDLE opened = OpenEvent(EVENT_ALL_ACCESS, FALSE, L"Test Named");
    ASSERT_NE(opened, nullptr);
    ResetEvent(opened);
    EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_TIMEOUT);
    EXPECT_EQ(OpenEvent(EVENT_ALL_ACCESS, FALSE, L"test named"), nullptr) << "names are exact";

    EXPECT_TRUE(CloseHandle(first));
    EXPECT_TRUE(CloseHandle(second));
    const HANDLE third = OpenEvent(EVENT_ALL_ACCESS, FALSE, L"Test Named");
    EXPECT_NE(third, nullptr) << "one handle still open";
    SetEvent(opened);  // signalled when its last handle goes
    EXPECT_TRUE(CloseHandle(opened));
    EXPECT_TRUE(CloseHandle(third));
    EXPECT_EQ(OpenEvent(EVENT_ALL_ACCESS, FALSE, L"Test Named"), nullptr) << "the last handle closed";
    const HANDLE again = CreateEvent(nullptr, TRUE, FALSE, L"Test Named");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << "a new event";
    EXPECT_EQ(WaitForSingleObject(again, 0), WAIT_TIMEOUT) << "with its own state";
    CloseHandle(again);
}

TEST(Handles, ClosedAndUnknownHandlesFail)
{
    const HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(CloseHandle(event));
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(event)) << "closed twice";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(event));
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    const HANDLE next = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    EXPECT_NE(next, event) << "handles are not reused";
    CloseHandle(next);
}

TEST(Waits, TimeOutOnTheManualClockAndWakeOnSet)
{
    auto clock = std::make_shared<ManualTickClock>();
    auto previous = setTickClock(clock);
    const HANDLE event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    std::atomic<DWORD> result{0xDEAD};
    std::thread waiter([&] { result = WaitForSingleObject(event, 1000); });
    while (clock->timedWaits() == 0)  // the limit is taken when the wait begins
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    clock->advance(999);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(result.load(), 0xDEADu) << "999 of 1000 ms";
    clock->advance(1);
    waiter.join();
    EXPECT_EQ(result.load(), WAIT_TIMEOUT);

    std::thread second([&] { result = WaitForSingleObject(event, INFINITE); });
    SetEvent(event);
    second.join();
    EXPECT_EQ(result.load(), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT) << "the auto-reset event was taken";
    CloseHandle(event);
    setTickClock(previous);
}

DWORD returnSeven(void*) { return 7; }

TEST(Handles, CloseHandleClosesThreadsToo)
{
    DWORD id = 0;
    const HANDLE thread = CreateThread(nullptr, 0, &returnSeven, nullptr, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0) << "an ended thread stays signalled";
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);
}

} // namespace
