// CTimeSpan: a signed span of time in whole seconds, as MFC's.
//
// The parts (GetDays, GetHours, GetMinutes, GetSeconds) are the span cut into days, hours,
// minutes and seconds, each part truncated towards zero, so a negative span has negative
// (or zero) parts: -90 s is 0 days, 0 hours, -1 minute, -30 seconds. The totals are the
// whole span in that unit, truncated towards zero.
#pragma once

#include "platform/winTypes.h"

class CTimeSpan {
public:
    constexpr CTimeSpan() = default;
    constexpr CTimeSpan(LONGLONG seconds) : m_seconds(seconds) {}
    constexpr CTimeSpan(LONG days, int hours, int minutes, int seconds)
        : m_seconds(((static_cast<LONGLONG>(days) * 24 + hours) * 60 + minutes) * 60 + seconds)
    {
    }

    constexpr LONGLONG GetDays() const { return m_seconds / 86400; }
    constexpr LONG GetHours() const { return static_cast<LONG>(GetTotalHours() - GetDays() * 24); }
    constexpr LONG GetMinutes() const { return static_cast<LONG>(GetTotalMinutes() - GetTotalHours() * 60); }
    constexpr LONG GetSeconds() const { return static_cast<LONG>(m_seconds - GetTotalMinutes() * 60); }
    constexpr LONGLONG GetTotalHours() const { return m_seconds / 3600; }
    constexpr LONGLONG GetTotalMinutes() const { return m_seconds / 60; }
    constexpr LONGLONG GetTotalSeconds() const { return m_seconds; }

    constexpr CTimeSpan operator+(CTimeSpan other) const { return CTimeSpan(m_seconds + other.m_seconds); }
    constexpr CTimeSpan operator-(CTimeSpan other) const { return CTimeSpan(m_seconds - other.m_seconds); }
    CTimeSpan& operator+=(CTimeSpan other)
    {
        m_seconds += other.m_seconds;
        return *this;
    }
    CTimeSpan& operator-=(CTimeSpan other)
    {
        m_seconds -= other.m_seconds;
        return *this;
    }

    constexpr bool operator==(CTimeSpan other) const { return m_seconds == other.m_seconds; }
    constexpr bool operator!=(CTimeSpan other) const { return m_seconds != other.m_seconds; }
    constexpr bool operator<(CTimeSpan other) const { return m_seconds < other.m_seconds; }
    constexpr bool operator>(CTimeSpan other) const { return m_seconds > other.m_seconds; }
    constexpr bool operator<=(CTimeSpan other) const { return m_seconds <= other.m_seconds; }
    constexpr bool operator>=(CTimeSpan other) const { return m_seconds >= other.m_seconds; }

private:
    LONGLONG m_seconds = 0;
};
