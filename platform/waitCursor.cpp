#include "platform/waitCursor.h"

#include "platform/winTypes.h"

#include <mutex>

namespace {

std::mutex& cursorMutex()
{
    static std::mutex mutex;
    return mutex;
}

WaitCursorRecord& cursorRecord()
{
    static WaitCursorRecord record;
    return record;
}

} // namespace

void BeginWaitCursor()
{
    std::lock_guard<std::mutex> lock(cursorMutex());
    ++cursorRecord().depth;
    ++cursorRecord().begins;
}

void EndWaitCursor()
{
    bool unmatched = false;
    {
        std::lock_guard<std::mutex> lock(cursorMutex());
        WaitCursorRecord& r = cursorRecord();
        unmatched = r.depth == 0;
        if (unmatched) {
            ++r.unmatchedEnds;
        } else {
            --r.depth;
            ++r.ends;
        }
    }
    if (unmatched)
        PlatformUsageError("EndWaitCursor: nothing to end (wait-cursor depth)", 0, 0);
}

bool IsWaitCursorShown()
{
    std::lock_guard<std::mutex> lock(cursorMutex());
    return cursorRecord().depth > 0;
}

WaitCursorRecord GetWaitCursorRecord()
{
    std::lock_guard<std::mutex> lock(cursorMutex());
    return cursorRecord();
}

void ResetWaitCursorRecord()
{
    std::lock_guard<std::mutex> lock(cursorMutex());
    cursorRecord() = WaitCursorRecord();
}
