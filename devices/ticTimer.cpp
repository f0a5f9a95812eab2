#include "devices/ticTimer.h"

#include "files/logFile.h"
#include "platform/kernelObjects.h"
#include "platform/messages.h"
#include "platform/sync.h"
#include "platform/sysTime.h"
#include "platform/threads.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>

namespace {

const wchar_t* const kStartedEvent = L"Tic Timer Started";
const wchar_t* const kStoppedEvent = L"Tic Timer Stopped";
const DWORD kHandshakeMs = 1000;
const DWORD kWorkerStackBytes = 0x7FFF;

// The timer object. The lock guards the slots and the active count.
struct TicTimer {
    explicit TicTimer(unsigned int base) : basePeriodMs(base < kTicTimerMinBaseMs ? kTicTimerMinBaseMs : base)
    {
        InitializeCriticalSection(&lock);
    }
    ~TicTimer() { DeleteCriticalSection(&lock); }
    TicTimer(const TicTimer&) = delete;
    TicTimer& operator=(const TicTimer&) = delete;

    TTicTimerSlot slots[kTicTimerSlots] = {};
    CRITICAL_SECTION lock;
    // Read between slots without the lock: atomic, so that the read is neither torn nor
    // hoisted out of the loop.
    std::atomic<bool> stop{false};
    // Set when the destroying thread gave up waiting: the worker then ends silently.
    std::atomic<bool> abandoned{false};
    const unsigned int basePeriodMs;
    unsigned int activeCount = 0;
};

// The running service: the timer object and the worker's handle. Callers on any thread take a
// shared reference under the mutex and work on that, so that a destroy never pulls the object
// from under them.
struct Service {
    std::mutex mutex;
    std::shared_ptr<TicTimer> timer;
    HANDLE thread = nullptr;
};

Service& service()
{
    static Service* s = new Service;  // never destroyed: a let-go worker may outlive main
    return *s;
}

std::shared_ptr<TicTimer> runningTimer()
{
    Service& s = service();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.thread ? s.timer : nullptr;
}

unsigned int reloadCount(unsigned int periodMs, unsigned int base)
{
    const std::uint64_t ticks = (static_cast<std::uint64_t>(periodMs) + base / 2) / base;
    return ticks == 0 ? 1 : static_cast<unsigned int>(ticks);
}

void setNamedEvent(const wchar_t* name)
{
    const HANDLE event = OpenEvent(EVENT_ALL_ACCESS, FALSE, name);
    if (!event)
        return;
    SetEvent(event);
    CloseHandle(event);
}

// One pass over the table, under the lock.
void scan(TicTimer& timer)
{
    CCriticalSectionLock lock(timer.lock);
    unsigned int remaining = timer.activeCount;
    for (int i = 0; i < kTicTimerSlots && remaining > 0; ++i) {
        TTicTimerSlot& slot = timer.slots[i];
        if (!slot.window)
            continue;
        if (IsWindow(slot.window)) {
            if (--slot.countdown == 0) {
                slot.countdown = slot.reload;
                PostMessage(slot.window, WM_TICTIMER, slot.id, 0);
            }
        } else {
            slot = TTicTimerSlot{};
            --timer.activeCount;
        }
        --remaining;
        if (timer.stop.load())
            break;
    }
}

DWORD worker(void* parameter)
{
    // The worker holds its own reference from the start and never looks at the service again.
    std::shared_ptr<TicTimer> timer;
    {
        std::shared_ptr<TicTimer>* given = static_cast<std::shared_ptr<TicTimer>*>(parameter);
        timer = std::move(*given);
        delete given;
    }
    setNamedEvent(kStartedEvent);
    if (!timer)
        return static_cast<DWORD>(-1);
    const unsigned int base = timer->basePeriodMs;
    Sleep(base);
    DWORD t0 = GetTickCount();
    while (!timer->stop.load()) {
        scan(*timer);
        if (timer->stop.load())
            break;
        // Read after the scan; t0 is read again after the sleep, not reused from before it.
        const std::int32_t elapsed = static_cast<std::int32_t>(GetTickCount() - t0);
        if (elapsed >= 0 && static_cast<unsigned int>(elapsed) < base)
            Sleep(base - static_cast<unsigned int>(elapsed));
        t0 = GetTickCount();
    }
    if (!timer->abandoned.load())
        setNamedEvent(kStoppedEvent);
    return 0;
}

} // namespace

int CreateTicTimerThread(unsigned int basePeriodMs)
{
    Service& s = service();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.timer && s.thread)
            return 1;
    }
    std::shared_ptr<TicTimer> timer(new (std::nothrow) TicTimer(basePeriodMs));
    if (!timer)
        return 0;
    const HANDLE started = CreateEvent(nullptr, TRUE, FALSE, kStartedEvent);
    auto* given = new (std::nothrow) std::shared_ptr<TicTimer>(timer);
    DWORD id = 0;
    const HANDLE thread =
        given ? CreateThread(nullptr, kWorkerStackBytes, &worker, given, CREATE_SUSPENDED, &id) : nullptr;
    if (!thread) {
        delete given;
        if (started)
            CloseHandle(started);
        return 0;
    }
    SetThreadPriority(thread, THREAD_PRIORITY_ABOVE_NORMAL);
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.timer = timer;
        s.thread = thread;
    }
    ResumeThread(thread);
    if (started) {
        WaitForSingleObject(started, kHandshakeMs);
        CloseHandle(started);
    }
    return 1;
}

int DestroyTicTimerThread()
{
    Service& s = service();
    std::shared_ptr<TicTimer> timer;
    HANDLE thread;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (!s.timer || !s.thread)
            return 0;
        timer = s.timer;
        thread = s.thread;
    }
    const HANDLE stopped = CreateEvent(nullptr, TRUE, FALSE, kStoppedEvent);
    timer->stop.store(true);
    if (stopped && WaitForSingleObject(stopped, kHandshakeMs) == WAIT_OBJECT_0) {
        // Acknowledged: the worker only returns from here on.
        WaitForSingleObject(thread, kHandshakeMs);
    } else {
        timer->abandoned.store(true);
        LOGMESSAGE(2, "Tic timer thread did not stop within %lu ms: left to end by itself",
                   static_cast<unsigned long>(kHandshakeMs));
    }
    if (stopped)
        CloseHandle(stopped);
    CloseHandle(thread);
    std::lock_guard<std::mutex> lock(s.mutex);
    s.thread = nullptr;
    s.timer.reset();
    return 1;
}

int SetTicTimer(HWND window, unsigned int id, unsigned int periodMs)
{
    const std::shared_ptr<TicTimer> timer = runningTimer();
    if (!timer || !IsWindow(window))
        return 0;
    CCriticalSectionLock lock(timer->lock);
    for (TTicTimerSlot& slot : timer->slots) {
        const bool same = slot.window == window && slot.id == id;
        if (slot.window && !same)
            continue;
        if (!slot.window)
            ++timer->activeCount;
        const unsigned int reload = reloadCount(periodMs, timer->basePeriodMs);
        slot = TTicTimerSlot{window, id, periodMs, reload, reload};
        return 1;
    }
    return 0;
}

int KillTicTimer(HWND window, unsigned int id)
{
    const std::shared_ptr<TicTimer> timer = runningTimer();
    if (!timer || !window)
        return 0;
    CCriticalSectionLock lock(timer->lock);
    for (TTicTimerSlot& slot : timer->slots) {
        if (slot.window == window && slot.id == id) {
            slot = TTicTimerSlot{};
            --timer->activeCount;
            return 1;
        }
    }
    return 0;
}

bool GetTicTimerView(TicTimerView& view)
{
    const std::shared_ptr<TicTimer> timer = runningTimer();
    if (!timer)
        return false;
    CCriticalSectionLock lock(timer->lock);
    view.basePeriodMs = timer->basePeriodMs;
    view.activeCount = timer->activeCount;
    for (int i = 0; i < kTicTimerSlots; ++i)
        view.slots[i] = timer->slots[i];
    return true;
}
