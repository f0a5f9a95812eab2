// Command bars, modelled in the process: a command bar is a child window (class
// kCommandBarClass) that holds a row of buttons, each with a text, a command identifier and
// an optional drop-down menu. Buttons are read, inserted and deleted by index (from 0).
//
// The bar does not own the menus of its buttons while they are on it: deleting a button leaves
// its menu alone (a copy of the button may still name it). Destroying the bar destroys the
// menus its buttons name then.
#pragma once

#include "platform/CString.h"
#include "platform/process.h"
#include "platform/windowStub.h"

// The window class of command bars.
extern const wchar_t* const kCommandBarClass;

struct TCommandBarButton {
    CString text;
    UINT command = 0;
    HMENU menu = nullptr;   // the drop-down menu (null: none)
};

// Makes an empty command bar as a child of `parent`; null when the parent is no window.
// `instance` and `id` are ignored.
HWND CommandBar_Create(HINSTANCE instance, HWND parent, int id);
// The command bar of a window: the window itself when it is one, else its first direct child
// that is one; null when there is none.
HWND CommandBar_Find(HWND window);
// The number of buttons; -1 for a handle that is no command bar.
int CommandBar_ButtonCount(HWND bar);
// Copies the button at `index` into `button`; FALSE (button untouched) when there is none.
BOOL CommandBar_GetButton(HWND bar, int index, TCommandBarButton* button);
// Inserts a button before `index` (index == count, or beyond, appends); FALSE for a
// negative index, a handle that is no command bar, or a menu handle that is no menu.
BOOL CommandBar_InsertButton(HWND bar, int index, const TCommandBarButton& button);
// Deletes the button at `index`; FALSE when there is none.
BOOL CommandBar_DeleteButton(HWND bar, int index);
