// The replaceable tick clock: the manual clock's time, its sleepers and timed waits, the wrap
// at 2^32, and that GetTickCount and Sleep follow the installed clock.
#include "platform/sysTime.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Installs a clock for one test and puts the previous one back.
class InstalledClock {
public:
    explicit InstalledClock(std::shared_ptr<TickClock> clock) : m_previous(setTickClock(std::move(clock))) {}
    ~InstalledClock() { setTickClock(m_previous); }

private:
    std::shared_ptr<TickClock> m_previous;
};

TEST(TickClock, ManualTimeMovesOnlyWhenAdvancedAndWraps)
{
    auto clock = std::make_shared<ManualTickClock>(0xFFFFFFFFu - 5);
    InstalledClock installed(clock);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFFFu - 5);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFFFu - 5) << "stands still";
    const DWORD before = GetTickCount();
    clock->advance(10);
    EXPECT_EQ(GetTickCount(), 4u) << "wraps at 2^32";
    EXPECT_EQ(static_cast<std::int32_t>(GetTickCount() - before), 10) << "differences survive the wrap";
    Sleep(0);  // returns at once
}

TEST(TickClock, SleepWaitsForTheClock)
{
    auto clock = std::make_shared<ManualTickClock>(100);
    InstalledClock installed(clock);
    std::atomic<int> woke{0};
    std::thread sleeper([&] {
        Sleep(50);
        woke = 1;
        Sleep(30);
        woke = 2;
    });
    ASSERT_TRUE(clock->waitForSleepers(1));
    clock->advance(49);
    ASSERT_TRUE(clock->waitForSleepers(1));
    EXPECT_EQ(woke.load(), 0) << "49 of 50 ms";
    clock->advance(1);
    ASSERT_TRUE(clock->waitForSleepers(1)) << "woke, then sleeps its second period";
    EXPECT_EQ(woke.load(), 1);
    clock->advance(100);
    sleeper.join();
    EXPECT_EQ(woke.load(), 2);
    EXPECT_EQ(clock->sleepers(), 0);
    EXPECT_FALSE(clock->waitForSleepers(1, 10)) << "nobody sleeps";
}

TEST(TickClock, TimedWaitsFollowTheClock)
{
    auto clock = std::make_shared<ManualTickClock>();
    std::mutex mutex;
    std::condition_variable cv;
    bool ready = false;
    std::atomic<int> result{-1};
    std::thread waiter([&] {
        std::unique_lock<std::mutex> lock(mutex);
        result = clock->waitFor(lock, cv, 100, [&] { return ready; }) ? 1 : 0;
    });
    while (clock->timedWaits() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(result.load(), -1) << "real time does not end the wait";
    EXPECT_EQ(clock->timedWaits(), 1);
    clock->advance(100);
    waiter.join();
    EXPECT_EQ(result.load(), 0) << "timed out on the clock";

    std::thread second([&] {
        std::unique_lock<std::mutex> lock(mutex);
        result = clock->waitFor(lock, cv, kInfiniteWait, [&] { return ready; }) ? 1 : 0;
    });
    clock->advance(1000000);
    {
        std::lock_guard<std::mutex> lock(mutex);
        ready = true;
        cv.notify_all();
    }
    second.join();
    EXPECT_EQ(result.load(), 1) << "satisfied";
}

TEST(TickClock, RealClockIsBackWhenNullIsInstalled)
{
    auto manual = std::make_shared<ManualTickClock>(7);
    auto previous = setTickClock(manual);
    EXPECT_EQ(tickClock(), manual);
    EXPECT_EQ(setTickClock(nullptr), manual);
    const DWORD a = GetTickCount();
    Sleep(20);
    const std::int32_t elapsed = static_cast<std::int32_t>(GetTickCount() - a);
    EXPECT_GE(elapsed, 19);
    EXPECT_LT(elapsed, 5000);
    setTickClock(previous);
}

} // namespace
