// Pop-up menus opened at a point of the screen (TrackPopupMenu), modelled in the process.
// Nothing is shown: the call is recorded (the menu, the flags, the screen position and the
// owner window), and the choice comes from the installed handler, which stands for the user,
// as the file dialogs answer through SetFileDialogHandler (files/fileFuncs.h). Without a
// handler every menu is cancelled.
#pragma once

#include "platform/windowStub.h"
#include "platform/winTypes.h"

#include <functional>

constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

struct TPopupMenuCall {
    HMENU menu = nullptr;
    UINT flags = 0;
    int x = 0;           // screen coordinates
    int y = 0;
    HWND owner = nullptr;
};

// Stands for the user: given the call, answers the command identifier of the item chosen, or
// 0 for none (the menu cancelled).
using PopupMenuHandler = std::function<UINT(const TPopupMenuCall& call)>;
// Installs the handler (an empty one removes it).
void SetPopupMenuHandler(PopupMenuHandler handler);

// Records the call, then asks the handler. A choice counts only when it names an enabled
// string item of the menu or its submenus; anything else is a cancelled menu. With
// TPM_RETURNCMD the answer is the identifier chosen (0: none) and nothing is sent; without,
// a choice is posted to the owner as WM_COMMAND (wParam the identifier, lParam 0) and the
// answer is TRUE. FALSE (nothing recorded) when the menu is no menu or the owner no window.
// `reserved` and `exclude` are ignored.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                    const void* exclude);

// The last call recorded (false when none since the process began or the last
// clearPopupMenuCalls), and how many were recorded.
bool lastPopupMenuCall(TPopupMenuCall& call);
int popupMenuCallCount();
void clearPopupMenuCalls();
