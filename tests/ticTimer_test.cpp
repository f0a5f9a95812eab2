// The tic timer. Counting tests run on a manual clock: each step moves the clock one base
// period and waits until the worker has scanned and sleeps again, so every expiry is counted
// exactly. Two tests use the real clock (a stop that is not acknowledged, and the stress run
// with threads); their bounds are loose.
#include "devices/ticTimer.h"
#include "platform/kernelObjects.h"
#include "platform/messages.h"
#include "platform/sysTime.h"
#include "platform/threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <map>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The identifiers of the WM_TICTIMER messages queued for the calling thread, taken out.
std::vector<unsigned> takeExpiries()
{
    std::vector<unsigned> ids;
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_TICTIMER, WM_TICTIMER, PM_REMOVE))
        ids.push_back(static_cast<unsigned>(msg.wParam));
    return ids;
}

int usedSlots(const TicTimerView& view)
{
    int used = 0;
    for (const TTicTimerSlot& slot : view.slots)
        used += slot.window != nullptr;
    return used;
}

// Waits, at most `limit`, until `done()` holds.
template <class Done>
bool waitUntil(Done done, std::chrono::milliseconds limit)
{
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class TicTimerManual : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = setTickClock(clock);
        window = createWindowStub(100, 100);
        takeExpiries();
    }
    void TearDown() override
    {
        destroy();
        destroyWindowStub(window);
        takeExpiries();
        setTickClock(previous);
    }
    // Starts the service and waits until its worker sleeps its first base period.
    void start(unsigned base)
    {
        ASSERT_EQ(CreateTicTimerThread(base), 1);
        ASSERT_TRUE(clock->waitForSleepers(1)) << "the worker sleeps its first period";
    }
    // One scan: the clock moves one base period; returns once the worker sleeps again.
    void scan(unsigned base)
    {
        clock->advance(base);
        ASSERT_TRUE(clock->waitForSleepers(1)) << "the worker scanned and sleeps again";
    }
    // Destroys the service, moving the clock on whenever the worker sleeps again without
    // having seen the stop; the worker always answers before the wait's 1000 ms pass.
    int destroy(unsigned base = 100)
    {
        auto result = std::async(std::launch::async, DestroyTicTimerThread);
        while (result.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
            if (clock->waitForSleepers(1, 5))
                clock->advance(base);
        return result.get();
    }
    TicTimerView view()
    {
        TicTimerView v{};
        EXPECT_TRUE(GetTicTimerView(v));
        return v;
    }

    std::shared_ptr<ManualTickClock> clock = std::make_shared<ManualTickClock>(5000);
    std::shared_ptr<TickClock> previous;
    HWND window = nullptr;
};

TEST_F(TicTimerManual, PeriodsRoundToWholeBaseTicks)
{
    start(100);
    struct Case { unsigned id; unsigned period; unsigned every; const char* reason; };
    const std::vector<Case> cases = {
        {1, 1000, 10, "1000 ms on base 100: every tenth scan"},
        {2, 149, 1, "149 ms rounds down to one tick: every scan"},
        {3, 150, 2, "150 ms rounds up to two ticks: every second scan"},
        {4, 0, 1, "below half the base: every scan (the reload count is at least 1)"},
        {5, 49, 1, "49 ms on base 100: every scan"},
        {6, 250, 3, "250 ms rounds to three ticks"},
    };
    for (const Case& c : cases)
        ASSERT_EQ(SetTicTimer(window, c.id, c.period), 1) << c.reason;
    std::map<unsigned, std::vector<int>> fired;
    for (int n = 1; n <= 30; ++n) {
        scan(100);
        for (unsigned id : takeExpiries())
            fired[id].push_back(n);
    }
    for (const Case& c : cases) {
        std::vector<int> expected;
        for (int n = static_cast<int>(c.every); n <= 30; n += static_cast<int>(c.every))
            expected.push_back(n);
        EXPECT_EQ(fired[c.id], expected) << c.reason;
    }
}

TEST_F(TicTimerManual, RateHoldsAcrossTheTickCountWrap)
{
    // The clock starts 1000 ms before 2^32: the count wraps at the tenth scan.
    clock = std::make_shared<ManualTickClock>(0xFFFFFFFFu - 999);
    setTickClock(clock);
    start(100);
    ASSERT_EQ(SetTicTimer(window, 7, 1000), 1);
    ASSERT_EQ(SetTicTimer(window, 8, 100), 1);
    std::vector<int> seven;
    int eight = 0;
    for (int n = 1; n <= 30; ++n) {
        scan(100);
        for (unsigned id : takeExpiries()) {
            if (id == 7)
                seven.push_back(n);
            eight += id == 8;
        }
    }
    EXPECT_LT(GetTickCount(), 5000u) << "the tick count wrapped";
    EXPECT_EQ(seven, (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(eight, 30) << "one scan per base period, none skipped or doubled";
}

TEST_F(TicTimerManual, BaseIsAtLeastTenAndTheFirstStartWins)
{
    start(5);
    EXPECT_EQ(view().basePeriodMs, 10u);
    EXPECT_EQ(CreateTicTimerThread(250), 1) << "already running";
    EXPECT_EQ(view().basePeriodMs, 10u) << "the first base period is kept";
    ASSERT_EQ(SetTicTimer(window, 1, 10), 1);
    scan(10);
    EXPECT_EQ(takeExpiries(), (std::vector<unsigned>{1})) << "one expiry per 10 ms scan";
    EXPECT_EQ(destroy(10), 1);
}

TEST_F(TicTimerManual, SetKillAndRearm)
{
    start(100);
    HWND other = createWindowStub(10, 10);
    EXPECT_EQ(KillTicTimer(window, 1), 0) << "never set";
    ASSERT_EQ(SetTicTimer(window, 1, 1000), 1);
    ASSERT_EQ(SetTicTimer(window, 2, 500), 1);
    ASSERT_EQ(SetTicTimer(other, 1, 300), 1);
    EXPECT_EQ(view().activeCount, 3u);

    ASSERT_EQ(SetTicTimer(window, 2, 300), 1) << "re-armed";
    TicTimerView v = view();
    EXPECT_EQ(v.activeCount, 3u) << "re-arming keeps the count";
    EXPECT_EQ(v.slots[1].window, window);
    EXPECT_EQ(v.slots[1].periodMs, 300u) << "changed in place";
    EXPECT_EQ(v.slots[1].reload, 3u);
    EXPECT_EQ(v.slots[1].countdown, 3u);

    EXPECT_EQ(KillTicTimer(window, 1), 1);
    EXPECT_EQ(KillTicTimer(window, 1), 0) << "already gone";
    v = view();
    EXPECT_EQ(v.activeCount, 2u);
    EXPECT_EQ(v.slots[0].window, nullptr);
    EXPECT_EQ(v.slots[0].id, 0u);

    // A free slot before an existing timer takes the new setting; the old one stays.
    ASSERT_EQ(SetTicTimer(other, 1, 900), 1);
    v = view();
    EXPECT_EQ(v.slots[0].window, other);
    EXPECT_EQ(v.slots[2].window, other);
    EXPECT_EQ(v.activeCount, 3u);
    EXPECT_EQ(KillTicTimer(other, 1), 1);
    EXPECT_EQ(view().slots[0].window, nullptr) << "the first match goes";
    EXPECT_EQ(KillTicTimer(nullptr, 0), 0) << "a free slot is no timer";
    EXPECT_EQ(view().activeCount, 2u);
    EXPECT_EQ(SetTicTimer(nullptr, 3, 100), 0) << "no window";
    destroyWindowStub(other);
}

TEST_F(TicTimerManual, PeriodsNearTheTopDoNotWrap)
{
    start(100);
    ASSERT_EQ(SetTicTimer(window, 1, 4294967295u), 1);
    EXPECT_EQ(view().slots[0].reload, 42949673u) << "(4294967295 + 50) / 100 without 32-bit wrap";
    for (int n = 0; n < 5; ++n)
        scan(100);
    EXPECT_TRUE(takeExpiries().empty());
    EXPECT_EQ(view().slots[0].countdown, 42949668u);
}

TEST_F(TicTimerManual, DestroyedWindowLeavesAtTheNextScan)
{
    start(100);
    HWND other = createWindowStub(10, 10);
    ASSERT_EQ(SetTicTimer(window, 1, 1000), 1);
    ASSERT_EQ(SetTicTimer(other, 2, 1000), 1);
    destroyWindowStub(other);
    EXPECT_EQ(view().activeCount, 2u) << "still there until the next scan";
    EXPECT_EQ(SetTicTimer(other, 3, 100), 0) << "not a window any more";
    scan(100);
    const TicTimerView v = view();
    EXPECT_EQ(v.activeCount, 1u);
    EXPECT_EQ(v.slots[1].window, nullptr);
    EXPECT_EQ(v.slots[1].periodMs, 0u);
    EXPECT_EQ(v.slots[0].countdown, 9u) << "the live timer counted down";
}

TEST_F(TicTimerManual, HundredSlotsThenNoMore)
{
    start(100);
    for (unsigned id = 0; id < 100; ++id)
        ASSERT_EQ(SetTicTimer(window, id, 100 + id), 1);
    const TicTimerView before = view();
    EXPECT_EQ(before.activeCount, 100u);
    EXPECT_EQ(SetTicTimer(window, 100, 500), 0) << "the 101st timer";
    const TicTimerView after = view();
    EXPECT_EQ(after.activeCount, 100u);
    EXPECT_EQ(std::memcmp(before.slots, after.slots, sizeof before.slots), 0) << "nothing changed";
    EXPECT_EQ(SetTicTimer(window, 50, 900), 1) << "re-arming needs no free slot";
}

TEST_F(TicTimerManual, ExpiriesQueueUpUnmerged)
{
    start(100);
    ASSERT_EQ(SetTicTimer(window, 9, 100), 1);
    for (int n = 0; n < 10; ++n)
        scan(100);
    EXPECT_EQ(takeExpiries(), std::vector<unsigned>(10, 9u)) << "ten expiries, ten messages";
}

TEST_F(TicTimerManual, CallsGiveZeroWhileStopped)
{
    TicTimerView v{};
    EXPECT_FALSE(GetTicTimerView(v));
    EXPECT_EQ(SetTicTimer(window, 1, 100), 0);
    EXPECT_EQ(KillTicTimer(window, 1), 0);
    EXPECT_EQ(DestroyTicTimerThread(), 0);
    start(100);
    ASSERT_EQ(SetTicTimer(window, 1, 100), 1);
    EXPECT_EQ(destroy(), 1);
    EXPECT_EQ(SetTicTimer(window, 1, 100), 0) << "timers went with the service";
    EXPECT_EQ(KillTicTimer(window, 1), 0);
    EXPECT_EQ(DestroyTicTimerThread(), 0);
    start(100);
    EXPECT_EQ(view().activeCount, 0u) << "a new service starts empty";
}

TEST_F(TicTimerManual, KillFromTheWindowsDestroyMessage)
{
    // A window that kills its timer while it is being destroyed (as the message pop-up does).
    struct Popup : CWnd {
        int killed = -1;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_DESTROY)
                killed = KillTicTimer(m_hWnd, 4);
            return CWnd::WindowProc(message, wParam, lParam);
        }
    } popup;
    start(100);
    ASSERT_TRUE(popup.Create(L"Popup", L"", 0, CRect(0, 0, 50, 50), nullptr));
    ASSERT_EQ(SetTicTimer(popup, 4, 100), 1);
    scan(100);
    EXPECT_TRUE(popup.DestroyWindow());
    EXPECT_EQ(popup.killed, 1);
    EXPECT_EQ(view().activeCount, 0u);
}

TEST_F(TicTimerManual, DestroyDuringExpiry)
{
    start(100);
    for (unsigned id = 0; id < 100; ++id)
        ASSERT_EQ(SetTicTimer(window, id, 100), 1);
    scan(100);
    EXPECT_EQ(takeExpiries().size(), 100u);
    // The clock moves while the stop is under way: the worker may be mid-scan.
    // Each advance made before the stop reaches the worker is one more full scan: on a loaded
    // machine the stopping thread once started two advances late (300 expiries against a
    // fixed bound of 200), so the bound counts the advances.
    auto result = std::async(std::launch::async, DestroyTicTimerThread);
    clock->advance(100);
    std::size_t advances = 1;
    while (result.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
        if (clock->waitForSleepers(1, 5)) {
            clock->advance(100);
            ++advances;
        }
    EXPECT_EQ(result.get(), 1);
    EXPECT_LE(takeExpiries().size(), 100u * advances);
}

// On the real clock: a worker asleep in a 3000 ms base period cannot answer a stop within
// 1000 ms; it is let go and ends by itself later.
TEST(TicTimerRealClock, StopNotAcknowledgedLetsTheWorkerGo)
{
    const int threadsBefore = runningThreadCount();
    ASSERT_EQ(CreateTicTimerThread(3000), 1);
    const auto begin = Clock::now();
    EXPECT_EQ(DestroyTicTimerThread(), 1);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - begin);
    EXPECT_GE(waited.count(), 900) << "waited for the acknowledgement";
    EXPECT_LT(waited.count(), 2900) << "did not wait for the sleeping worker";
    ASSERT_EQ(CreateTicTimerThread(100), 1) << "a new service starts at once";
    EXPECT_EQ(runningThreadCount(), threadsBefore + 2) << "the old worker still sleeps";
    EXPECT_EQ(DestroyTicTimerThread(), 1);
    EXPECT_TRUE(waitUntil([&] { return runningThreadCount() == threadsBefore; }, std::chrono::seconds(10)))
        << "the old worker ends after its sleep";
}

// The stress run (also under ThreadSanitizer): windows on four threads, eight threads setting,
// re-arming and killing timers, windows made and destroyed, the service destroyed and made
// again once. Afterwards the active count equals the used slots.
TEST(TicTimerThreads, ConcurrentSetKillAndWindows)
{
    ASSERT_EQ(CreateTicTimerThread(10), 1);
    const int kWindowThreads = 4, kWindowsEach = 25, kSetters = 8;
    std::atomic<HWND__*> windows[kWindowThreads * kWindowsEach] = {};
    std::atomic<bool> stop{false};
    std::atomic<long> received{0};
    std::atomic<int> ready{0};

    std::vector<std::thread> threads;
    for (int t = 0; t < kWindowThreads; ++t) {
        threads.emplace_back([&, t] {
            std::mt19937 random(static_cast<unsigned>(100 + t));
            for (int i = 0; i < kWindowsEach; ++i) {
                const int slot = t * kWindowsEach + i;
                windows[slot] = createWindowStub(10, 10);
                SetTicTimer(windows[slot], static_cast<unsigned>(slot), 10 + 10 * static_cast<unsigned>(i % 5));
            }
            ++ready;
            for (int round = 0; !stop; ++round) {
                MSG msg;
                while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
                    received += msg.message == WM_TICTIMER;
                if (round % 5 == 0) {
                    const int slot = t * kWindowsEach + static_cast<int>(random() % kWindowsEach);
                    HWND old = windows[slot].exchange(createWindowStub(10, 10));
                    destroyWindowStub(old);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            for (int i = 0; i < kWindowsEach; ++i)
                destroyWindowStub(windows[t * kWindowsEach + i].exchange(nullptr));
        });
    }
    ASSERT_TRUE(waitUntil([&] { return ready == kWindowThreads; }, std::chrono::seconds(20)));
    for (int s = 0; s < kSetters; ++s) {
        threads.emplace_back([&, s] {
            std::mt19937 random(static_cast<unsigned>(s));
            while (!stop) {
                HWND window = windows[random() % (kWindowThreads * kWindowsEach)];
                const unsigned id = random() % 120;
                if (random() % 3 == 0)
                    KillTicTimer(window, id);
                else
                    SetTicTimer(window, id, random() % 200);
                if (random() % 64 == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    EXPECT_EQ(DestroyTicTimerThread(), 1);
    EXPECT_EQ(CreateTicTimerThread(10), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    TicTimerView view{};
    ASSERT_TRUE(GetTicTimerView(view));
    EXPECT_EQ(static_cast<int>(view.activeCount), usedSlots(view)) << "while running";
    stop = true;
    for (std::thread& t : threads)
        t.join();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // a few scans over dead windows
    ASSERT_TRUE(GetTicTimerView(view));
    EXPECT_EQ(static_cast<int>(view.activeCount), usedSlots(view));
    EXPECT_EQ(view.activeCount, 0u) << "every window is gone";
    EXPECT_GT(received.load(), 0);
    EXPECT_EQ(DestroyTicTimerThread(), 1);
}

} // namespace
