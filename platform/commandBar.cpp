#include "platform/commandBar.h"

#include "platform/menu.h"
#include "platform/messages.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

const wchar_t* const kCommandBarClass = L"CommandBar";

namespace {

// The buttons of every command bar by window handle. An entry goes when its window is
// destroyed (the bar's procedure sees WM_NCDESTROY); handles are never reused, so an entry
// left behind by a thread's end reaches no other window.
struct Bars {
    std::mutex mutex;
    std::map<std::uintptr_t, std::vector<TCommandBarButton>> buttons;
};

Bars& bars()
{
    static Bars* b = new Bars;
    return *b;
}

std::uintptr_t numberOf(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

std::vector<TCommandBarButton>* find(Bars& b, HWND bar)
{
    auto it = b.buttons.find(numberOf(bar));
    return it == b.buttons.end() ? nullptr : &it->second;
}

LRESULT barProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_NCDESTROY)
        return DefWindowProcW(window, message, wParam, lParam);
    std::vector<TCommandBarButton> gone;
    {
        Bars& b = bars();
        std::lock_guard<std::mutex> lock(b.mutex);
        if (std::vector<TCommandBarButton>* buttons = find(b, window))
            gone = std::move(*buttons);
        b.buttons.erase(numberOf(window));
    }
    for (const TCommandBarButton& button : gone)
        if (button.menu)
            DestroyMenu(button.menu);
    return 0;
}

} // namespace

HWND CommandBar_Create(HINSTANCE, HWND parent, int)
{
    if (!IsWindow(parent))
        return nullptr;
    const HWND bar = CreateWindowW(kCommandBarClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                   parent, nullptr, nullptr, nullptr);
    if (!bar)
        return nullptr;
    {
        Bars& b = bars();
        std::lock_guard<std::mutex> lock(b.mutex);
        b.buttons[numberOf(bar)];
    }
    SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<INT_PTR>(&barProcedure));
    return bar;
}

HWND CommandBar_Find(HWND window)
{
    if (CommandBar_ButtonCount(window) >= 0)
        return window;
    for (HWND child : childWindows(window))
        if (CommandBar_ButtonCount(child) >= 0)
            return child;
    return nullptr;
}

int CommandBar_ButtonCount(HWND bar)
{
    Bars& b = bars();
    std::lock_guard<std::mutex> lock(b.mutex);
    const std::vector<TCommandBarButton>* buttons = find(b, bar);
    return buttons ? static_cast<int>(buttons->size()) : -1;
}

BOOL CommandBar_GetButton(HWND bar, int index, TCommandBarButton* button)
{
    Bars& b = bars();
    std::lock_guard<std::mutex> lock(b.mutex);
    const std::vector<TCommandBarButton>* buttons = find(b, bar);
    if (!button || !buttons || index < 0 || index >= static_cast<int>(buttons->size()))
        return FALSE;
    *button = (*buttons)[static_cast<size_t>(index)];
    return TRUE;
}

BOOL CommandBar_InsertButton(HWND bar, int index, const TCommandBarButton& button)
{
    if (index < 0 || (button.menu && !IsMenu(button.menu)))
        return FALSE;
    Bars& b = bars();
    std::lock_guard<std::mutex> lock(b.mutex);
    std::vector<TCommandBarButton>* buttons = find(b, bar);
    if (!buttons)
        return FALSE;
    const size_t at = std::min(static_cast<size_t>(index), buttons->size());
    buttons->insert(buttons->begin() + static_cast<std::ptrdiff_t>(at), button);
    return TRUE;
}

BOOL CommandBar_DeleteButton(HWND bar, int index)
{
    Bars& b = bars();
    std::lock_guard<std::mutex> lock(b.mutex);
    std::vector<TCommandBarButton>* buttons = find(b, bar);
    if (!buttons || index < 0 || index >= static_cast<int>(buttons->size()))
        return FALSE;
    buttons->erase(buttons->begin() + index);
    return TRUE;
}
