#include "platform/controls.h"

#include "platform/CString.h"

#include <cstdint>

namespace {

// The control's state, kept as window properties.
const wchar_t* const kImage = L"fieldcore.control.image";
const wchar_t* const kImageType = L"fieldcore.control.imageType";
const wchar_t* const kCheck = L"fieldcore.control.check";
const wchar_t* const kPushed = L"fieldcore.control.pushed";

void* asProperty(UINT_PTR value) { return reinterpret_cast<void*>(value); }
UINT_PTR fromProperty(void* value) { return reinterpret_cast<UINT_PTR>(value); }

std::wstring lower(const std::wstring& text)
{
    std::wstring result(text);
    for (wchar_t& c : result)
        c = CharToLower(c);
    return result;
}

std::wstring classOf(HWND window)
{
    wchar_t name[32];
    return GetClassNameW(window, name, 32) > 0 ? lower(name) : std::wstring();
}

// Replaces the image when its type is one the control takes; answers the one it had.
LRESULT setImage(HWND control, WPARAM type, LPARAM image)
{
    if (type != IMAGE_BITMAP && type != IMAGE_ICON)
        return 0;
    void* previous = GetPropW(control, kImage);
    SetPropW(control, kImage, reinterpret_cast<void*>(image));
    SetPropW(control, kImageType, asProperty(type));
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT getImage(HWND control, WPARAM type)
{
    if (fromProperty(GetPropW(control, kImageType)) != type)
        return 0;
    return reinterpret_cast<LRESULT>(GetPropW(control, kImage));
}

LRESULT buttonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case BM_GETCHECK:
        return static_cast<LRESULT>(fromProperty(GetPropW(button, kCheck)));
    case BM_SETCHECK:
        SetPropW(button, kCheck, asProperty(wParam <= BST_INDETERMINATE ? wParam : BST_CHECKED));
        return 0;
    case BM_GETSTATE:
        return static_cast<LRESULT>(fromProperty(GetPropW(button, kCheck))) |
               (GetPropW(button, kPushed) ? BST_PUSHED : 0);
    case BM_SETSTATE:
        SetPropW(button, kPushed, asProperty(wParam ? 1 : 0));
        return 0;
    case BM_GETIMAGE:
        return getImage(button, wParam);
    case BM_SETIMAGE:
        return setImage(button, wParam, lParam);
    default:
        return DefWindowProcW(button, message, wParam, lParam);
    }
}

LRESULT staticProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case STM_SETICON:
        return setImage(control, IMAGE_ICON, static_cast<LPARAM>(wParam));
    case STM_GETICON:
        return getImage(control, IMAGE_ICON);
    case STM_SETIMAGE:
        return setImage(control, wParam, lParam);
    case STM_GETIMAGE:
        return getImage(control, wParam);
    default:
        return DefWindowProcW(control, message, wParam, lParam);
    }
}

TControlKind buttonKind(DWORD style)
{
    switch (style & BS_TYPEMASK) {
    case BS_DEFPUSHBUTTON:
        return TControlKind::DefaultPushButton;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
        return TControlKind::CheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return TControlKind::RadioButton;
    default:
        return TControlKind::PushButton;
    }
}

TControlKind staticKind(DWORD style)
{
    switch (style & SS_TYPEMASK) {
    case SS_BITMAP:
        return TControlKind::StaticBitmap;
    case SS_ICON:
        return TControlKind::StaticIcon;
    default:
        return TControlKind::StaticText;
    }
}

} // namespace

WNDPROC controlProcedureFor(const std::wstring& className)
{
    const std::wstring name = lower(className);
    if (name == L"button")
        return &buttonProcedure;
    return name == L"static" ? &staticProcedure : &DefWindowProcW;
}

bool getControlState(HWND control, TControlState& state)
{
    const std::wstring name = classOf(control);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    TControlState s;
    if (name == L"button")
        s.kind = buttonKind(style);
    else if (name == L"static")
        s.kind = staticKind(style);
    else
        return false;
    s.image = GetPropW(control, kImage);
    s.imageType = fromProperty(GetPropW(control, kImageType));
    s.check = fromProperty(GetPropW(control, kCheck));
    s.pushed = GetPropW(control, kPushed) != nullptr;
    state = s;
    return true;
}
