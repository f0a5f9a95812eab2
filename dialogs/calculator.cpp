#include "dialogs/calculator.h"

#include "platform/dialog.h"
#include "platform/screen.h"

#include <string>

const wchar_t* const kCalculatorClass = L"FieldcoreCalculator";

HWND FindCalculator(HWND owner)
{
    for (HWND child : childWindows(owner)) {
        wchar_t name[32];
        if (GetClassNameW(child, name, 32) > 0 && std::wstring(name) == kCalculatorClass)
            return child;
    }
    return nullptr;
}

HWND OpenCalculator(HWND owner)
{
    if (!IsWindow(owner))
        return nullptr;
    if (HWND open = FindCalculator(owner))
        return open;
    const HWND window = CreateWindowW(kCalculatorClass, L"Calculator", WS_POPUP | WS_VISIBLE, 0, 0,
                                      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                      owner, nullptr, nullptr, nullptr);
    if (window)
        NotifyWindowMade(window);
    return window;
}
