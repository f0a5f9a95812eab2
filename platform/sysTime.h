// Time services of the platform: file times, calendar times, the tick count and sleep.
//
// FILETIME counts 100-nanosecond intervals since 1601-01-01 00:00 UTC (the platform's file
// time); SYSTEMTIME is a broken-down calendar time (UTC or local, as the call says). Local
// time follows the host's time zone (the TZ environment variable, else the system's zone);
// tests that format local times set TZ themselves.
#pragma once

#include "platform/winTypes.h"

#include <cstdint>

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

// Milliseconds from a fixed moment (the host's monotonic clock), wrapping at 2^32: use
// differences only.
DWORD GetTickCount();

// Suspends the calling thread for `milliseconds`.
void Sleep(DWORD milliseconds);

// ---- File-time arithmetic for this port's file services ----
std::uint64_t fileTimeToUInt64(const FILETIME& time);
FILETIME fileTimeFromUInt64(std::uint64_t value);
// Host time (seconds and nanoseconds since 1970-01-01 UTC) to file time and back; times
// before 1601 give file time 0. fileTimeToUnix always succeeds.
FILETIME fileTimeFromUnix(std::int64_t seconds, long nanoseconds);
void fileTimeToUnix(const FILETIME& time, std::int64_t& seconds, long& nanoseconds);
