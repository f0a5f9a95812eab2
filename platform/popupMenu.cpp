#include "platform/popupMenu.h"

#include "platform/menu.h"
#include "platform/messages.h"

#include <mutex>

namespace {

struct Record {
    std::mutex mutex;
    PopupMenuHandler handler;
    TPopupMenuCall last;
    int count = 0;
};

Record& record()
{
    static Record* r = new Record;
    return *r;
}

// Whether the user could choose the identifier: an enabled string item of the menu.
bool choosable(HMENU menu, UINT id)
{
    if (id == 0)
        return false;
    const UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
    return state != 0xFFFFFFFF && !(state & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR | MF_POPUP));
}

} // namespace

void SetPopupMenuHandler(PopupMenuHandler handler)
{
    Record& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.handler = std::move(handler);
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const void*)
{
    if (!IsMenu(menu) || !IsWindow(owner))
        return FALSE;
    TPopupMenuCall call;
    call.menu = menu;
    call.flags = flags;
    call.x = x;
    call.y = y;
    call.owner = owner;
    PopupMenuHandler handler;
    {
        Record& r = record();
        std::lock_guard<std::mutex> lock(r.mutex);
        r.last = call;
        ++r.count;
        handler = r.handler;
    }
    UINT choice = handler ? handler(call) : 0;
    if (!choosable(menu, choice))
        choice = 0;
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(choice);
    if (choice)
        PostMessage(owner, WM_COMMAND, choice, 0);
    return TRUE;
}

bool lastPopupMenuCall(TPopupMenuCall& call)
{
    Record& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (r.count == 0)
        return false;
    call = r.last;
    return true;
}

int popupMenuCallCount()
{
    Record& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.count;
}

void clearPopupMenuCalls()
{
    Record& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.count = 0;
    r.last = TPopupMenuCall();
}
