#include "platform/messages.h"

#include "platform/lastError.h"
#include "platform/sysTime.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct ThreadRecord;

// A message sent from one thread to another thread's window, waiting for its answer.
struct Sent {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::shared_ptr<ThreadRecord> sender;
    LRESULT result = 0;  // written with `done`, under the sender's mutex
    bool done = false;
};

// A thread's identity and queue. The mutex guards every field but the id.
struct ThreadRecord {
    explicit ThreadRecord(DWORD identity) : id(identity) {}
    const DWORD id;
    std::mutex mutex;
    std::condition_variable changed;
    bool hasQueue = false;
    bool ended = false;
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<Sent>> sent;
    bool quitPending = false;
    int quitCode = 0;
};

// The live threads by identity. Never destroyed: threads may end while the program exits.
struct Registry {
    std::mutex mutex;
    std::map<DWORD, std::shared_ptr<ThreadRecord>> threads;
    DWORD lastId = 0;
};

Registry& registry()
{
    static Registry* r = new Registry;
    return *r;
}

std::shared_ptr<ThreadRecord> lookup(DWORD id)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.threads.find(id);
    return it == r.threads.end() ? nullptr : it->second;
}

void complete(Sent& sent, LRESULT result)
{
    std::lock_guard<std::mutex> lock(sent.sender->mutex);
    sent.result = result;
    sent.done = true;
    sent.sender->changed.notify_all();
}

void endRecord(const std::shared_ptr<ThreadRecord>& record)
{
    {
        Registry& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        r.threads.erase(record->id);
    }
    std::deque<std::shared_ptr<Sent>> pending;
    {
        std::lock_guard<std::mutex> lock(record->mutex);
        if (record->ended)
            return;
        record->ended = true;
        record->posted.clear();
        pending.swap(record->sent);
    }
    for (const auto& sent : pending)
        complete(*sent, 0);
    forgetThreadWindows(record->id);
}

// The calling thread's record, made at its first use and ended at the thread's exit.
struct CurrentThread {
    std::shared_ptr<ThreadRecord> record;
    ~CurrentThread()
    {
        if (record)
            endRecord(record);
    }
};

thread_local CurrentThread currentThread;

ThreadRecord& self()
{
    if (!currentThread.record) {
        Registry& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        currentThread.record = std::make_shared<ThreadRecord>(++r.lastId);
        r.threads.emplace(currentThread.record->id, currentThread.record);
    }
    return *currentThread.record;
}

BOOL post(ThreadRecord& target, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const MSG msg{window, message, wParam, lParam, GetTickCount()};
    std::lock_guard<std::mutex> lock(target.mutex);
    if (!target.hasQueue || target.ended) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    target.posted.push_back(msg);
    target.changed.notify_all();
    return TRUE;
}

void run(Sent& sent)
{
    complete(sent, callWindowProcedure(sent.window, sent.message, sent.wParam, sent.lParam));
}

bool inRange(UINT message, UINT filterMin, UINT filterMax)
{
    return (filterMin == 0 && filterMax == 0) || (filterMin <= message && message <= filterMax);
}

// Runs the messages sent to the thread, then looks for a posted message that matches, then
// for a pending quit; waits for more when `wait` is set.
bool take(ThreadRecord& r, MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove, bool wait)
{
    std::unique_lock<std::mutex> lock(r.mutex);
    for (;;) {
        if (!r.sent.empty()) {
            const std::shared_ptr<Sent> sent = r.sent.front();
            r.sent.pop_front();
            lock.unlock();
            run(*sent);
            lock.lock();
            continue;
        }
        for (auto it = r.posted.begin(); it != r.posted.end(); ++it) {
            if ((!window || it->hwnd == window) && inRange(it->message, filterMin, filterMax)) {
                *msg = *it;
                if (remove)
                    r.posted.erase(it);
                return true;
            }
        }
        if (r.quitPending && inRange(WM_QUIT, filterMin, filterMax)) {
            *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(r.quitCode), 0, GetTickCount()};
            if (remove)
                r.quitPending = false;
            return true;
        }
        if (!wait || r.ended)
            return false;
        r.changed.wait(lock);
    }
}

} // namespace

DWORD GetCurrentThreadId()
{
    return self().id;
}

void ensureMessageQueue()
{
    ThreadRecord& r = self();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.hasQueue = true;
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window) {
        ensureMessageQueue();
        return post(self(), nullptr, message, wParam, lParam);
    }
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (!thread) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const std::shared_ptr<ThreadRecord> target = lookup(thread);
    if (!target) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return post(*target, window, message, wParam, lParam);
}

BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    const std::shared_ptr<ThreadRecord> target = lookup(threadId);
    if (!target) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return post(*target, nullptr, message, wParam, lParam);
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (!thread) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    ThreadRecord& me = self();
    if (thread == me.id)
        return callWindowProcedure(window, message, wParam, lParam);
    const std::shared_ptr<ThreadRecord> target = lookup(thread);
    if (!target)
        return 0;
    auto sent = std::make_shared<Sent>();
    *sent = Sent{window, message, wParam, lParam, currentThread.record};
    {
        std::lock_guard<std::mutex> lock(target->mutex);
        if (!target->hasQueue || target->ended)
            return 0;
        target->sent.push_back(sent);
        target->changed.notify_all();
    }
    std::unique_lock<std::mutex> lock(me.mutex);
    while (!sent->done) {
        if (!me.sent.empty()) {
            const std::shared_ptr<Sent> incoming = me.sent.front();
            me.sent.pop_front();
            lock.unlock();
            run(*incoming);
            lock.lock();
            continue;
        }
        me.changed.wait(lock);
    }
    return sent->result;
}

BOOL GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax)
{
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    ensureMessageQueue();
    if (!take(self(), msg, window, filterMin, filterMax, true, true))
        return -1;
    return msg->message == WM_QUIT ? 0 : 1;
}

BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (!msg)
        return FALSE;
    ensureMessageQueue();
    return take(self(), msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0, false)
               ? TRUE
               : FALSE;
}

LRESULT DispatchMessage(const MSG* msg)
{
    if (!msg || !msg->hwnd || GetWindowThreadProcessId(msg->hwnd, nullptr) != GetCurrentThreadId())
        return 0;
    return callWindowProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode)
{
    ensureMessageQueue();
    ThreadRecord& r = self();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.quitPending = true;
    r.quitCode = exitCode;
    r.changed.notify_all();
}

void releaseThreadQueue()
{
    self();
    endRecord(currentThread.record);
}
