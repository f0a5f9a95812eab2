// Threads of the platform over POSIX threads: creation with a stack size, suspension at
// creation, priorities on the platform's eight-level scale, exit codes. A thread's handle is
// a kernel object (platform/kernelObjects.h) that is signalled when the thread has ended;
// wait for it with WaitForSingleObject and close it with CloseHandle (closing the handle does
// not stop the thread). Its identity is the layer's (platform/messages.h).
//
// What the host cannot give:
//  - No forcible termination (cancelling a thread can leave locks held): there is no
//    TerminateThread; a thread ends by returning from its function.
//  - Priorities: the requested level is recorded and reported back; it is applied to the host
//    thread as a nice value only where the host permits (raising it needs privileges), and a
//    refusal never fails the call.
//  - The stack size is a minimum: the host's default stack is used when it is larger (a few
//    kilobytes are far too small for this host's code, the more so under sanitizers).
#pragma once

#include "platform/kernelObjects.h"
#include "platform/winTypes.h"

typedef DWORD (*LPTHREAD_START_ROUTINE)(void* parameter);

constexpr DWORD CREATE_SUSPENDED = 0x00000004;
constexpr DWORD STILL_ACTIVE = 259;

// The eight levels, 0 highest.
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 0;
constexpr int THREAD_PRIORITY_HIGHEST = 1;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 2;
constexpr int THREAD_PRIORITY_NORMAL = 3;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = 4;
constexpr int THREAD_PRIORITY_LOWEST = 5;
constexpr int THREAD_PRIORITY_ABOVE_IDLE = 6;
constexpr int THREAD_PRIORITY_IDLE = 7;
constexpr int THREAD_PRIORITY_ERROR_RETURN = 0x7FFFFFFF;

// Starts `start(parameter)` on a new thread at normal priority; with CREATE_SUSPENDED it waits
// for ResumeThread. `*threadId` (when given) receives its identity. Returns its handle, or
// null (with the last error set) when the host cannot start a thread. `security` is ignored.
HANDLE CreateThread(void* security, DWORD stackSize, LPTHREAD_START_ROUTINE start, void* parameter,
                    DWORD flags, DWORD* threadId);
// Lets a suspended thread run: returns the previous suspension count (1 or 0), or 0xFFFFFFFF
// for a handle that is no thread.
DWORD ResumeThread(HANDLE thread);
// Records level 0 to 7 (FALSE for others or a handle that is no thread).
BOOL SetThreadPriority(HANDLE thread, int priority);
// The level last set; THREAD_PRIORITY_ERROR_RETURN for a handle that is no thread.
int GetThreadPriority(HANDLE thread);
// STILL_ACTIVE while the thread runs, then the value its function returned.
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);

// Threads started by CreateThread that have not yet ended (for tests: a thread let go by its
// owner is still counted until it ends).
int runningThreadCount();
