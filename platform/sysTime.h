// Time services of the platform: file times, calendar times, the tick count and sleep.
//
// FILETIME counts 100-nanosecond intervals since 1601-01-01 00:00 UTC (the platform's file
// time); SYSTEMTIME is a broken-down calendar time (UTC or local, as the call says). Local
// time follows the host's time zone (the TZ environment variable, else the system's zone);
// tests that format local times set TZ themselves.
#pragma once

#include "platform/winTypes.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct SYSTEMTIME {
    WORD wYear;          // 1601 to 30827
    WORD wMonth;         // 1 to 12
    WORD wDayOfWeek;     // 0 Sunday to 6 Saturday
    WORD wDay;           // 1 to 31
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

// Current time: local (host time zone) and UTC.
void GetLocalTime(SYSTEMTIME* time);
void GetSystemTime(SYSTEMTIME* time);
void GetSystemTimeAsFileTime(FILETIME* time);

// Calendar conversions. FileTimeToSystemTime fails for values at or above 2^63 (as the
// platform does); SystemTimeToFileTime fails for fields out of range (wDayOfWeek is ignored).
BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);
BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime);

// UTC file time to local file time, with the host zone's offset in force at that instant
// (the platform applies its current offset to every time; this port takes the offset of the
// date itself, so a summer date formats in summer time all year). False when the time lies
// outside what the host's time functions cover.
BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local);

// -1, 0 or 1 as the first time is earlier than, equal to or later than the second.
LONG CompareFileTime(const FILETIME* a, const FILETIME* b);

// Milliseconds from a fixed moment, wrapping at 2^32: use differences only, as 32-bit
// values (elapsed = (int32_t)(now - then)). Read from the installed tick clock (below).
DWORD GetTickCount();

// Suspends the calling thread for `milliseconds` of the installed tick clock.
void Sleep(DWORD milliseconds);

// ---- The tick clock ----
// Every reader of the tick count (GetTickCount, Sleep, the time-outs of the waits in
// platform/kernelObjects.h, the log's seconds) goes through one process-wide clock: the host's
// monotonic clock, or a clock installed for tests.
class TickClock {
public:
    virtual ~TickClock() = default;
    // Milliseconds, wrapping at 2^32.
    virtual DWORD now() = 0;
    virtual void sleep(DWORD milliseconds) = 0;
    // With `lock` held, waits on `cv` until `ready()` holds (true) or `milliseconds` of this
    // clock have passed (false); kInfiniteWait waits without limit. `ready` is called with the
    // lock held; whoever makes it true notifies `cv` under the same mutex.
    virtual bool waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                         DWORD milliseconds, const std::function<bool()>& ready) = 0;
};

// A wait without time-out (the platform's INFINITE).
constexpr DWORD kInfiniteWait = 0xFFFFFFFF;

// The host's steady clock, in whole milliseconds.
class RealTickClock : public TickClock {
public:
    DWORD now() override;
    void sleep(DWORD milliseconds) override;
    bool waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, DWORD milliseconds,
                 const std::function<bool()>& ready) override;
};

// A clock that stands still until the test moves it: Sleep(n) returns once advance() has
// carried the time n milliseconds past the moment of the call (Sleep(0) returns at once), and
// a timed wait gives up once the time has passed its limit (the wait looks at the clock every
// millisecond of real time). The time is kept in 64 bits; now() gives its low 32 bits, so a
// clock started just below 2^32 shows the wrap.
class ManualTickClock : public TickClock {
public:
    explicit ManualTickClock(DWORD start = 0) : m_now(start) {}
    DWORD now() override;
    void sleep(DWORD milliseconds) override;
    bool waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, DWORD milliseconds,
                 const std::function<bool()>& ready) override;

    // Moves the time on by `milliseconds` and wakes the sleepers that are due.
    void advance(DWORD milliseconds);
    // Waits, at most `realTimeoutMs` of real time, until exactly `count` threads sleep on this
    // clock and none of them is due (every woken sleeper has run on and slept again or left).
    // This is how a test knows that the threads it drives have done the work of one step.
    bool waitForSleepers(int count, DWORD realTimeoutMs = 10000);
    // Threads now in sleep() on this clock, due or not.
    int sleepers() const;
    // Timed waits (waitFor with a limit) now under way on this clock.
    int timedWaits() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::uint64_t m_now;
    std::multiset<std::uint64_t> m_wakeTimes;
    int m_timedWaits = 0;
};

// Installs `clock` for every reader of the tick count (null installs the host's clock) and
// returns the clock it replaces. Threads already asleep stay on the clock they sleep on.
std::shared_ptr<TickClock> setTickClock(std::shared_ptr<TickClock> clock);
// The installed clock.
std::shared_ptr<TickClock> tickClock();

// ---- File-time arithmetic for this port's file services ----
std::uint64_t fileTimeToUInt64(const FILETIME& time);
FILETIME fileTimeFromUInt64(std::uint64_t value);
// Host time (seconds and nanoseconds since 1970-01-01 UTC) to file time and back; times
// before 1601 give file time 0. fileTimeToUnix always succeeds.
FILETIME fileTimeFromUnix(std::int64_t seconds, long nanoseconds);
void fileTimeToUnix(const FILETIME& time, std::int64_t& seconds, long& nanoseconds);
