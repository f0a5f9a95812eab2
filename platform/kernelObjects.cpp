#include "platform/kernelObjects.h"

#include "platform/lastError.h"

#include <cstdint>
#include <map>
#include <string>

namespace {

class Event : public KernelObject {
public:
    std::wstring name;  // empty: unnamed
    int openHandles = 0;  // guarded by the handle table's lock
};

// Every open handle and every named event. Never destroyed: threads may close handles while
// the program exits.
struct HandleTable {
    std::mutex mutex;
    std::map<std::uintptr_t, std::shared_ptr<KernelObject>> handles;
    std::map<std::wstring, std::shared_ptr<Event>> namedEvents;
    std::uintptr_t lastNumber = 0x100;
};

HandleTable& table()
{
    static HandleTable* t = new HandleTable;
    return *t;
}

std::uintptr_t numberOf(HANDLE handle) { return reinterpret_cast<std::uintptr_t>(handle); }

// A handle to `object`; the table's lock must be held.
HANDLE addHandle(HandleTable& t, std::shared_ptr<KernelObject> object)
{
    if (auto* event = dynamic_cast<Event*>(object.get()))
        ++event->openHandles;
    t.lastNumber += 4;
    t.handles.emplace(t.lastNumber, std::move(object));
    return reinterpret_cast<HANDLE>(t.lastNumber);
}

std::shared_ptr<Event> eventOfHandle(HANDLE handle)
{
    return std::dynamic_pointer_cast<Event>(objectOfHandle(handle));
}

BOOL setSignal(HANDLE handle, bool signalled)
{
    const std::shared_ptr<Event> event = eventOfHandle(handle);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(event->mutex);
    event->signalled = signalled;
    if (signalled)
        event->changed.notify_all();
    return TRUE;
}

} // namespace

HANDLE openHandle(std::shared_ptr<KernelObject> object)
{
    HandleTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    return addHandle(t, std::move(object));
}

std::shared_ptr<KernelObject> objectOfHandle(HANDLE handle)
{
    HandleTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.handles.find(numberOf(handle));
    return it == t.handles.end() ? nullptr : it->second;
}

void signalObject(KernelObject& object)
{
    std::lock_guard<std::mutex> lock(object.mutex);
    object.signalled = true;
    object.changed.notify_all();
}

HANDLE CreateEvent(void*, BOOL manualReset, BOOL initialState, LPCWSTR name)
{
    HandleTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (name && *name) {
        auto it = t.namedEvents.find(name);
        if (it != t.namedEvents.end()) {
            const HANDLE handle = addHandle(t, it->second);
            SetLastError(ERROR_ALREADY_EXISTS);
            return handle;
        }
    }
    auto event = std::make_shared<Event>();
    event->autoReset = !manualReset;
    event->signalled = initialState != FALSE;
    if (name && *name) {
        event->name = name;
        t.namedEvents.emplace(event->name, event);
    }
    SetLastError(ERROR_SUCCESS);
    return addHandle(t, event);
}

HANDLE OpenEvent(DWORD, BOOL, LPCWSTR name)
{
    HandleTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = name ? t.namedEvents.find(name) : t.namedEvents.end();
    if (it == t.namedEvents.end()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    return addHandle(t, it->second);
}

BOOL SetEvent(HANDLE event) { return setSignal(event, true); }

BOOL ResetEvent(HANDLE event) { return setSignal(event, false); }

BOOL CloseHandle(HANDLE handle)
{
    std::shared_ptr<KernelObject> object;  // released after the lock
    HandleTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.handles.find(numberOf(handle));
    if (it == t.handles.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object = std::move(it->second);
    t.handles.erase(it);
    if (auto* event = dynamic_cast<Event*>(object.get()))
        if (--event->openHandles == 0 && !event->name.empty())
            t.namedEvents.erase(event->name);
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    const std::shared_ptr<KernelObject> object = objectOfHandle(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::unique_lock<std::mutex> lock(object->mutex);
    const bool ready = object->signalled ||
                       (milliseconds != 0 &&
                        tickClock()->waitFor(lock, object->changed, milliseconds,
                                             [&] { return object->signalled; }));
    if (!ready)
        return WAIT_TIMEOUT;
    if (object->autoReset)
        object->signalled = false;
    return WAIT_OBJECT_0;
}
