#include "platform/sysTime.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace {

const std::int64_t kTicksPerSecond = 10000000;           // 100 ns units
const std::int64_t kUnixEpochSeconds = 11644473600LL;    // 1601-01-01 to 1970-01-01
const std::int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

bool isLeap(unsigned y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned daysInMonth(unsigned y, unsigned m)
{
    static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

void fillSystemTime(const std::tm& tm, long nanoseconds, SYSTEMTIME* out)
{
    out->wYear = static_cast<WORD>(tm.tm_year + 1900);
    out->wMonth = static_cast<WORD>(tm.tm_mon + 1);
    out->wDayOfWeek = static_cast<WORD>(tm.tm_wday);
    out->wDay = static_cast<WORD>(tm.tm_mday);
    out->wHour = static_cast<WORD>(tm.tm_hour);
    out->wMinute = static_cast<WORD>(tm.tm_min);
    out->wSecond = static_cast<WORD>(tm.tm_sec > 59 ? 59 : tm.tm_sec);
    out->wMilliseconds = static_cast<WORD>(nanoseconds / 1000000);
}

std::timespec nowRealtime()
{
    std::timespec ts;
    std::timespec_get(&ts, TIME_UTC);
    return ts;
}

} // namespace

std::uint64_t fileTimeToUInt64(const FILETIME& time)
{
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME fileTimeFromUInt64(std::uint64_t value)
{
    FILETIME t;
    t.dwLowDateTime = static_cast<DWORD>(value & 0xFFFFFFFFu);
    t.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return t;
}

FILETIME fileTimeFromUnix(std::int64_t seconds, long nanoseconds)
{
    const std::int64_t since1601 = seconds + kUnixEpochSeconds;
    if (since1601 < 0)
        return fileTimeFromUInt64(0);
    return fileTimeFromUInt64(static_cast<std::uint64_t>(since1601) * kTicksPerSecond +
                              static_cast<std::uint64_t>(nanoseconds / 100));
}

void fileTimeToUnix(const FILETIME& time, std::int64_t& seconds, long& nanoseconds)
{
    const std::uint64_t ticks = fileTimeToUInt64(time);
    seconds = static_cast<std::int64_t>(ticks / kTicksPerSecond) - kUnixEpochSeconds;
    nanoseconds = static_cast<long>(ticks % kTicksPerSecond) * 100;
}

void GetSystemTimeAsFileTime(FILETIME* time)
{
    if (!time)
        return;
    const std::timespec ts = nowRealtime();
    *time = fileTimeFromUnix(ts.tv_sec, ts.tv_nsec);
}

void GetSystemTime(SYSTEMTIME* time)
{
    if (!time)
        return;
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    FileTimeToSystemTime(&ft, time);
}

void GetLocalTime(SYSTEMTIME* time)
{
    if (!time)
        return;
    const std::timespec ts = nowRealtime();
    std::tm tm{};
    const std::time_t t = ts.tv_sec;
    localtime_r(&t, &tm);
    fillSystemTime(tm, ts.tv_nsec, time);
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime)
{
    if (!fileTime || !systemTime)
        return FALSE;
    const std::uint64_t ticks = fileTimeToUInt64(*fileTime);
    if (ticks >= (std::uint64_t(1) << 63))
        return FALSE;
    const std::int64_t totalSeconds = static_cast<std::int64_t>(ticks / kTicksPerSecond);
    const std::int64_t days1601 = totalSeconds / kSecondsPerDay;
    const std::int64_t secondOfDay = totalSeconds % kSecondsPerDay;
    const std::int64_t days1970 = days1601 - kUnixEpochSeconds / kSecondsPerDay;
    std::int64_t y;
    unsigned m, d;
    civilFromDays(days1970, y, m, d);
    systemTime->wYear = static_cast<WORD>(y);
    systemTime->wMonth = static_cast<WORD>(m);
    systemTime->wDay = static_cast<WORD>(d);
    // 1601-01-01 was a Monday.
    systemTime->wDayOfWeek = static_cast<WORD>((days1601 + 1) % 7);
    systemTime->wHour = static_cast<WORD>(secondOfDay / 3600);
    systemTime->wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    systemTime->wSecond = static_cast<WORD>(secondOfDay % 60);
    systemTime->wMilliseconds = static_cast<WORD>(ticks % kTicksPerSecond / 10000);
    return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* s, FILETIME* fileTime)
{
    if (!s || !fileTime)
        return FALSE;
    if (s->wYear < 1601 || s->wYear > 30827 || s->wMonth < 1 || s->wMonth > 12 || s->wDay < 1 ||
        s->wDay > daysInMonth(s->wYear, s->wMonth) || s->wHour > 23 || s->wMinute > 59 ||
        s->wSecond > 59 || s->wMilliseconds > 999)
        return FALSE;
    const std::int64_t days1970 = daysFromCivil(s->wYear, s->wMonth, s->wDay);
    const std::int64_t seconds = days1970 * kSecondsPerDay + s->wHour * 3600 + s->wMinute * 60 +
                                 s->wSecond;
    *fileTime = fileTimeFromUnix(seconds, static_cast<long>(s->wMilliseconds) * 1000000);
    return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local)
{
    if (!utc || !local)
        return FALSE;
    std::int64_t seconds;
    long nanoseconds;
    fileTimeToUnix(*utc, seconds, nanoseconds);
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return FALSE;
    const std::int64_t shifted = static_cast<std::int64_t>(fileTimeToUInt64(*utc)) +
                                 static_cast<std::int64_t>(tm.tm_gmtoff) * kTicksPerSecond;
    if (shifted < 0)
        return FALSE;
    *local = fileTimeFromUInt64(static_cast<std::uint64_t>(shifted));
    return TRUE;
}

LONG CompareFileTime(const FILETIME* a, const FILETIME* b)
{
    const std::uint64_t x = fileTimeToUInt64(*a);
    const std::uint64_t y = fileTimeToUInt64(*b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

// ---- The tick clock ----

DWORD RealTickClock::now()
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<DWORD>(static_cast<std::uint64_t>(ms.count()));
}

void RealTickClock::sleep(DWORD milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool RealTickClock::waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                            DWORD milliseconds, const std::function<bool()>& ready)
{
    if (milliseconds == kInfiniteWait) {
        cv.wait(lock, ready);
        return true;
    }
    return cv.wait_for(lock, std::chrono::milliseconds(milliseconds), ready);
}

DWORD ManualTickClock::now()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return static_cast<DWORD>(m_now);
}

void ManualTickClock::sleep(DWORD milliseconds)
{
    if (milliseconds == 0)
        return;
    std::unique_lock<std::mutex> lock(m_mutex);
    const std::uint64_t wakeTime = m_now + milliseconds;
    const auto entry = m_wakeTimes.insert(wakeTime);
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_now >= wakeTime; });
    m_wakeTimes.erase(entry);
    m_changed.notify_all();
}

bool ManualTickClock::waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                              DWORD milliseconds, const std::function<bool()>& ready)
{
    const bool timed = milliseconds != kInfiniteWait;
    std::uint64_t limit;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        limit = m_now + milliseconds;
        m_timedWaits += timed;
    }
    bool satisfied;
    for (;;) {
        if ((satisfied = ready()))
            break;
        if (timed) {
            std::lock_guard<std::mutex> guard(m_mutex);
            if (m_now >= limit)
                break;
        }
        cv.wait_for(lock, std::chrono::milliseconds(1));
    }
    std::lock_guard<std::mutex> guard(m_mutex);
    m_timedWaits -= timed;
    return satisfied;
}

void ManualTickClock::advance(DWORD milliseconds)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_now += milliseconds;
    m_changed.notify_all();
}

bool ManualTickClock::waitForSleepers(int count, DWORD realTimeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(realTimeoutMs), [&] {
        return static_cast<int>(m_wakeTimes.size()) == count &&
               (m_wakeTimes.empty() || *m_wakeTimes.begin() > m_now);
    });
}

int ManualTickClock::sleepers() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return static_cast<int>(m_wakeTimes.size());
}

int ManualTickClock::timedWaits() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_timedWaits;
}

namespace {

// The installed clock. Never destroyed: threads that outlive main (an abandoned worker) may
// still read the time while the program exits.
struct ClockHolder {
    std::mutex mutex;
    std::shared_ptr<TickClock> real = std::make_shared<RealTickClock>();
    std::shared_ptr<TickClock> current = real;
};

ClockHolder& clockHolder()
{
    static ClockHolder* holder = new ClockHolder;
    return *holder;
}

} // namespace

std::shared_ptr<TickClock> setTickClock(std::shared_ptr<TickClock> clock)
{
    ClockHolder& holder = clockHolder();
    std::lock_guard<std::mutex> guard(holder.mutex);
    std::shared_ptr<TickClock> previous = holder.current;
    holder.current = clock ? std::move(clock) : holder.real;
    return previous;
}

std::shared_ptr<TickClock> tickClock()
{
    ClockHolder& holder = clockHolder();
    std::lock_guard<std::mutex> guard(holder.mutex);
    return holder.current;
}

DWORD GetTickCount()
{
    return tickClock()->now();
}

void Sleep(DWORD milliseconds)
{
    tickClock()->sleep(milliseconds);
}
