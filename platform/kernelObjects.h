// Kernel objects of the platform, modelled in the process: events, the handles that name
// them (and threads, platform/threads.h), waits with a time-out, and CloseHandle.
//
// Handles are numbers counted up and never reused within the process. An object lives while a
// handle to it is open or a wait on it is under way. Time-outs are milliseconds of the
// installed tick clock (platform/sysTime.h), so a test's manual clock also drives them.
#pragma once

#include "platform/sysTime.h"
#include "platform/winTypes.h"

#include <condition_variable>
#include <memory>
#include <mutex>

constexpr DWORD INFINITE = kInfiniteWait;
constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
constexpr DWORD WAIT_TIMEOUT = 0x00000102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

// OpenEvent's access right (every right; the layer does not check rights).
constexpr DWORD EVENT_ALL_ACCESS = 0x001F0003;

// An event: manual-reset events stay signalled until reset; auto-reset events release one
// wait and reset themselves. A named event exists while a handle to it is open: CreateEvent of
// an existing name returns a new handle to that event with its state unchanged (last error
// ERROR_ALREADY_EXISTS, the reset kind and initial state given are ignored); OpenEvent fails
// (ERROR_FILE_NOT_FOUND) when no event of that name is open. Names are compared exactly.
// `security` is ignored. Null on failure.
HANDLE CreateEvent(void* security, BOOL manualReset, BOOL initialState, LPCWSTR name);
HANDLE OpenEvent(DWORD access, BOOL inheritHandle, LPCWSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// Closes a handle of any kind this layer makes (events, threads). FALSE with
// ERROR_INVALID_HANDLE for a handle that is not open.
BOOL CloseHandle(HANDLE handle);

// Waits until the object is signalled (an event set, a thread ended) or `milliseconds` have
// passed: WAIT_OBJECT_0, WAIT_TIMEOUT, or WAIT_FAILED for a handle that is not open. 0 only
// looks; INFINITE waits without limit. A wait satisfied by an auto-reset event resets it.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// ---- For the layer's own kinds of object ----
// The state every object shares: a signal and the lock that guards it (and whatever a kind
// adds); whoever changes the signal notifies `changed` under the lock.
class KernelObject {
public:
    virtual ~KernelObject() = default;
    std::mutex mutex;
    std::condition_variable changed;
    bool signalled = false;
    bool autoReset = false;
};

// A new handle to the object; never fails.
HANDLE openHandle(std::shared_ptr<KernelObject> object);
// The object behind an open handle; null for any other handle.
std::shared_ptr<KernelObject> objectOfHandle(HANDLE handle);
// Signals the object and wakes its waiters.
void signalObject(KernelObject& object);
