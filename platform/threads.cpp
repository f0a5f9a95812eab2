#include "platform/threads.h"

#include "platform/lastError.h"
#include "platform/messages.h"

#include <atomic>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// A thread's handle object: signalled (manual reset) when the thread has ended. The fields
// are guarded by the object's mutex.
class Thread : public KernelObject {
public:
    LPTHREAD_START_ROUTINE start = nullptr;
    void* parameter = nullptr;
    DWORD id = 0;
    pid_t hostId = 0;
    bool suspended = false;
    int priority = THREAD_PRIORITY_NORMAL;
    DWORD exitCode = STILL_ACTIVE;
};

std::atomic<int> running{0};

// The nice value for each level: normal is the process's own; lower levels are nicer. Raising
// a thread above normal needs privileges the host usually refuses; the refusal is ignored.
void applyPriority(pid_t hostId, int priority)
{
    static const int kNice[8] = {-10, -6, -3, 0, 2, 5, 10, 19};
    if (hostId > 0 && priority >= 0 && priority < 8)
        (void)setpriority(PRIO_PROCESS, static_cast<id_t>(hostId), kNice[priority]);
}

void* threadMain(void* argument)
{
    // The thread keeps its own reference: the creator may close the handle at any time.
    std::shared_ptr<Thread>* given = static_cast<std::shared_ptr<Thread>*>(argument);
    const std::shared_ptr<Thread> self = std::move(*given);
    delete given;
    {
        std::unique_lock<std::mutex> lock(self->mutex);
        self->id = GetCurrentThreadId();
        self->hostId = static_cast<pid_t>(syscall(SYS_gettid));
        self->changed.notify_all();
        self->changed.wait(lock, [&] { return !self->suspended; });
        applyPriority(self->hostId, self->priority);
    }
    const DWORD code = self->start(self->parameter);
    releaseThreadQueue();
    --running;  // before the signal: a waiter that saw the end also sees the count
    {
        std::lock_guard<std::mutex> lock(self->mutex);
        self->exitCode = code;
        self->signalled = true;
        self->changed.notify_all();
    }
    return nullptr;
}

std::shared_ptr<Thread> threadOfHandle(HANDLE handle)
{
    return std::dynamic_pointer_cast<Thread>(objectOfHandle(handle));
}

size_t stackSizeFor(DWORD requested)
{
    pthread_attr_t defaults;
    size_t size = 0;
    pthread_attr_init(&defaults);
    pthread_attr_getstacksize(&defaults, &size);
    pthread_attr_destroy(&defaults);
    return requested > size ? requested : size;
}

} // namespace

HANDLE CreateThread(void*, DWORD stackSize, LPTHREAD_START_ROUTINE start, void* parameter, DWORD flags,
                    DWORD* threadId)
{
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto thread = std::make_shared<Thread>();
    thread->start = start;
    thread->parameter = parameter;
    thread->suspended = (flags & CREATE_SUSPENDED) != 0;

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_attr_setstacksize(&attributes, stackSizeFor(stackSize));
    auto* given = new std::shared_ptr<Thread>(thread);
    pthread_t host;
    ++running;
    const int failed = pthread_create(&host, &attributes, &threadMain, given);
    pthread_attr_destroy(&attributes);
    if (failed) {
        --running;
        delete given;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // The identity is the new thread's to take; it does so before anything else.
    std::unique_lock<std::mutex> lock(thread->mutex);
    thread->changed.wait(lock, [&] { return thread->id != 0; });
    if (threadId)
        *threadId = thread->id;
    lock.unlock();
    return openHandle(thread);
}

DWORD ResumeThread(HANDLE handle)
{
    const std::shared_ptr<Thread> thread = threadOfHandle(handle);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0xFFFFFFFF;
    }
    std::lock_guard<std::mutex> lock(thread->mutex);
    const DWORD previous = thread->suspended ? 1 : 0;
    thread->suspended = false;
    thread->changed.notify_all();
    return previous;
}

BOOL SetThreadPriority(HANDLE handle, int priority)
{
    const std::shared_ptr<Thread> thread = threadOfHandle(handle);
    if (!thread || priority < 0 || priority > 7) {
        SetLastError(thread ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(thread->mutex);
    thread->priority = priority;
    if (!thread->suspended && !thread->signalled)
        applyPriority(thread->hostId, priority);
    return TRUE;
}

int GetThreadPriority(HANDLE handle)
{
    const std::shared_ptr<Thread> thread = threadOfHandle(handle);
    if (!thread)
        return THREAD_PRIORITY_ERROR_RETURN;
    std::lock_guard<std::mutex> lock(thread->mutex);
    return thread->priority;
}

BOOL GetExitCodeThread(HANDLE handle, DWORD* exitCode)
{
    const std::shared_ptr<Thread> thread = threadOfHandle(handle);
    if (!thread || !exitCode) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(thread->mutex);
    *exitCode = thread->exitCode;
    return TRUE;
}

int runningThreadCount()
{
    return running.load();
}
