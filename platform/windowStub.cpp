#include "platform/windowStub.h"

#include <mutex>
#include <set>

struct HWND__ {
    int width;
    int height;
};

namespace {

std::mutex& windowMutex()
{
    static std::mutex m;
    return m;
}

std::set<HWND>& liveWindows()
{
    static std::set<HWND> windows;
    return windows;
}

} // namespace

HWND createWindowStub(int clientWidth, int clientHeight)
{
    HWND window = new HWND__{clientWidth > 0 ? clientWidth : 0, clientHeight > 0 ? clientHeight : 0};
    std::lock_guard<std::mutex> lock(windowMutex());
    liveWindows().insert(window);
    return window;
}

void destroyWindowStub(HWND window)
{
    std::lock_guard<std::mutex> lock(windowMutex());
    if (liveWindows().erase(window))
        delete window;
}

BOOL IsWindow(HWND window)
{
    std::lock_guard<std::mutex> lock(windowMutex());
    return window && liveWindows().count(window) ? TRUE : FALSE;
}

BOOL GetClientRect(HWND window, CRect* rect)
{
    if (!rect || !IsWindow(window))
        return FALSE;
    rect->SetRect(0, 0, window->width, window->height);
    return TRUE;
}

int GetTextWidth(HWND window, const wchar_t* text, int length)
{
    if (!text || length <= 0 || !IsWindow(window))
        return 0;
    return length * kStubCharWidth;
}
