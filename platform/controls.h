// Child controls of the classes "button" and "static", modelled in the process: windows made
// with CreateWindowW of those class names (compared without regard to case) get the control
// procedure, which answers the control messages below and keeps their state with the window.
// What a control shows is its class, style, text, font, state and image; a renderer
// (tools/render/) draws it from those. Images are not owned by the control (as on the
// platform: the caller deletes them after the control).
//
// The control messages are defined here, with the controls they belong to.
#pragma once

#include "platform/gdi.h"
#include "platform/windowStub.h"
#include "platform/winTypes.h"

#include <string>

// "button" styles: the type in the low four bits, then the content.
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;   // the default button: a heavier frame
constexpr DWORD BS_CHECKBOX = 0x0002;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
constexpr DWORD BS_RADIOBUTTON = 0x0004;
constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
constexpr DWORD BS_TYPEMASK = 0x000F;
constexpr DWORD BS_ICON = 0x0040;
constexpr DWORD BS_BITMAP = 0x0080;          // shows its image instead of its text

// "static" styles: the type in the low five bits.
constexpr DWORD SS_LEFT = 0x0000;            // text, wrapped at words, left-aligned
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_ICON = 0x0003;            // shows its icon
constexpr DWORD SS_LEFTNOWORDWRAP = 0x000C;
constexpr DWORD SS_BITMAP = 0x000E;          // shows its bitmap
constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD SS_NOPREFIX = 0x0080;        // '&' is drawn as it is
constexpr DWORD SS_CENTERIMAGE = 0x0200;

// Image types of BM_SETIMAGE and STM_SETIMAGE.
constexpr WPARAM IMAGE_BITMAP = 0;
constexpr WPARAM IMAGE_ICON = 1;

// Button messages. BM_SETCHECK takes BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE;
// BM_GETSTATE answers the check state with BST_PUSHED while BM_SETSTATE(TRUE) holds it
// pushed. BM_SETIMAGE (wParam the image type, lParam the handle) answers the image it
// replaces; BM_GETIMAGE (wParam the type) the image of that type.
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_GETIMAGE = 0x00F6;
constexpr UINT BM_SETIMAGE = 0x00F7;
constexpr WPARAM BST_UNCHECKED = 0x0000;
constexpr WPARAM BST_CHECKED = 0x0001;
constexpr WPARAM BST_INDETERMINATE = 0x0002;
constexpr LRESULT BST_PUSHED = 0x0004;

// Static messages: STM_SETICON (wParam the icon) and STM_SETIMAGE (wParam the type, lParam
// the handle) answer the image they replace; STM_GETICON and STM_GETIMAGE the image.
constexpr UINT STM_SETICON = 0x0170;
constexpr UINT STM_GETICON = 0x0171;
constexpr UINT STM_SETIMAGE = 0x0172;
constexpr UINT STM_GETIMAGE = 0x0173;

// The procedure windows of a class get when they are made: the control procedure for
// "button" and "static", DefWindowProcW for every other class.
WNDPROC controlProcedureFor(const std::wstring& className);

// What a control shows, read directly (the renderer's view): the kind of control, its image
// (null: none) with the image's type, its check state and whether it is held pushed.
enum class TControlKind { None, PushButton, DefaultPushButton, CheckBox, RadioButton,
                          StaticText, StaticBitmap, StaticIcon };
struct TControlState {
    TControlKind kind = TControlKind::None;
    void* image = nullptr;
    WPARAM imageType = IMAGE_BITMAP;
    WPARAM check = BST_UNCHECKED;
    bool pushed = false;
};
// False (state untouched) for a window that is no "button" or "static" control.
bool getControlState(HWND control, TControlState& state);
