// The platform's message box and the application's main window.
//
// There is no screen: every box is recorded (text, caption, flags, owner; the latest 100 are
// kept, oldest first) and answered by the installed handler. Without a handler a box answers
// IDOK: the boxes the library shows have only an OK button, so IDOK is the one answer a user
// could give (the file dialog answers "cancelled" instead, because a made-up file name would
// be a wrong answer, while an acknowledged message loses nothing).
#pragma once

#include "platform/CString.h"
#include "platform/windowStub.h"
#include "platform/winTypes.h"

#include <functional>
#include <vector>

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_ICONSTOP = 0x00000010;  // also MB_ICONHAND, MB_ICONERROR
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MessageBoxRecord {
    HWND owner;
    CString text;
    CString caption;
    UINT flags;
};

// Records the box and returns the handler's answer (IDOK without a handler). Null texts are
// recorded as empty.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT flags);

using MessageBoxHandler = std::function<int(const MessageBoxRecord& box)>;
// Installs the handler (an empty one removes it).
void SetMessageBoxHandler(MessageBoxHandler handler);
// The recorded boxes, oldest first; clearMessageBoxes forgets them.
std::vector<MessageBoxRecord> recordedMessageBoxes();
void clearMessageBoxes();

// The application's main window: set by the application (null: none), read by the library
// (the owner of its messages when a caller names none).
void SetMainWindow(HWND window);
HWND GetMainWindow();
