// The tic timer: one process-wide service whose worker thread counts down up to 100 software
// timers on a fixed base period and posts WM_TICTIMER (platform/messages.h; wParam the timer's
// identifier, lParam 0) to a timer's window at each expiry. Times are milliseconds of the tick
// clock (platform/sysTime.h).
//
// Timing: the worker sleeps one base period, then scans the table once per base period; a
// scan counts every timer down by one tick. A timer's period becomes a whole number of base
// ticks, the reload count: the period rounded to the nearest tick, (period + base/2) / base,
// computed without 32-bit wrap and at least 1. So on a base of 100 ms a period of 1000 ms
// fires every tenth scan, 149 ms every scan, 150 ms every second scan; a period below half the
// base (0 included) fires at every scan, the fastest the service goes, instead of counting down
// 2^32 ticks; a period near 2^32 ms keeps its length (4294967295 on base 100 is 42949673 ticks).
// Expiries are posted without waiting and never merged: a window that does not pump for ten
// expiries has ten messages queued.
//
// Threads: SetTicTimer, KillTicTimer and the view may be called from any thread, also while
// another thread destroys the service; Create and Destroy are meant for one thread (the
// application's main thread). A window's procedure may kill its timers while handling
// WM_DESTROY. A timer whose window is destroyed leaves the table at the next scan.
#pragma once

#include "platform/windowStub.h"
#include "platform/winTypes.h"

constexpr int kTicTimerSlots = 100;
constexpr unsigned int kTicTimerMinBaseMs = 10;

// One slot of the table (window null: free). The window is a pointer-sized handle here.
struct TTicTimerSlot {
    HWND window;
    unsigned int id;
    unsigned int periodMs;   // as requested
    unsigned int reload;     // the period in base ticks
    unsigned int countdown;  // base ticks left until the next expiry
};

// Starts the service with the base period (raised to 10 ms when smaller): 1 when it runs,
// 0 when its thread could not start. While it runs, returns 1 at once and keeps its base.
int CreateTicTimerThread(unsigned int basePeriodMs);
// Stops the service and discards every timer: 1, or 0 when it was not running. A worker
// that does not acknowledge the stop within 1000 ms is let go (it cannot be killed on this
// host): it keeps what it uses, ends at its next look at the stop flag, and the loss is logged
// at level 2; a new service may start at once.
int DestroyTicTimerThread();
// Sets or re-arms a timer: the first slot that is free or already holds this window and
// identifier takes it (so a free slot before an existing timer of the same window and
// identifier takes the new one, and the old one stays until killed). 1 when set; 0 when the
// service is stopped, the window does not exist, or all 100 slots hold other timers.
int SetTicTimer(HWND window, unsigned int id, unsigned int periodMs);
// Removes the first timer of that window and identifier: 1, or 0 when there is none or the
// service is stopped.
int KillTicTimer(HWND window, unsigned int id);

// A copy of the service's state, for tests and diagnostics.
struct TicTimerView {
    unsigned int basePeriodMs;
    unsigned int activeCount;
    TTicTimerSlot slots[kTicTimerSlots];
};
// False (view untouched) when the service is stopped.
bool GetTicTimerView(TicTimerView& view);
