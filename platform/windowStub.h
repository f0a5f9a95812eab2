// Windows of the platform, modelled in the process: a handle names a window object that holds
// a class name, a text, a style, a parent, the thread that made it, its children in creation
// order, a client-area size and a window procedure. There is no painting, no input and no
// real font: text is measured as kStubCharWidth pixels per character whatever the text.
// Messages and queues: platform/messages.h.
//
// Handles are identifiers that are never reused within a process, so a handle kept after its
// window was destroyed never reaches a newer window (IsWindow stays FALSE for it).
//
// Threads. Any thread may use any window. A window's procedure runs on the thread that calls
// it: SendMessage runs it on the window's own thread (platform/messages.h), DestroyWindow on
// the destroying thread. The model never holds its own lock while it calls a procedure, so a
// procedure may call back into the model, the message functions and the tic timer. When a
// thread ends, its windows end with it, without messages (the objects behind them may be
// gone by then).
#pragma once

#include "platform/winTypes.h"
#include "platform/windowGeometry.h"

#include <vector>

struct HWND__;
typedef HWND__* HWND;
struct HMENU__;
typedef HMENU__* HMENU;   // a menu (platform/menu.h)

typedef LRESULT (*WNDPROC)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Width in pixels of every character in a window's font.
constexpr int kStubCharWidth = 8;

// Style bits the model knows (others are kept as given).
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;

// GetWindowLongW / GetWindowLongPtrW indexes.
constexpr int GWL_STYLE = -16;
constexpr int GWLP_USERDATA = -21;
constexpr int GWLP_WNDPROC = -4;

// Makes a window of `className` (any name; there is no class registration) with the text
// `windowName`, the style, a client area of width x height pixels (negative sizes count as 0;
// the position is ignored) and the given parent (null: a top-level window). Its procedure is
// DefWindowProcW until GetWindowLongPtrW/SetWindowLongPtrW change it. `menu`, `instance` and
// `param` are ignored. Gives the calling thread its message queue. Null (with
// ERROR_INVALID_WINDOW_HANDLE) when the parent is no window.
HWND CreateWindowW(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                   int height, HWND parent, void* menu, void* instance, void* param);
// Destroys the window's children first (each in creation order, each the same way), then
// calls the window's procedure with WM_DESTROY and last with WM_NCDESTROY; the window exists
// (IsWindow) until both have returned. FALSE for a handle that is no window or a window
// already being destroyed.
BOOL DestroyWindow(HWND window);

// A top-level window whose client area is width x height pixels (negative sizes count as 0),
// of class "" without text: the least window the file utilities need (CompactPath).
HWND createWindowStub(int clientWidth, int clientHeight);
// DestroyWindow; null or unknown handles are ignored.
void destroyWindowStub(HWND window);

// Whether the handle names a live window.
BOOL IsWindow(HWND window);
// The client rectangle (0, 0, width, height); FALSE for a handle that is no window.
BOOL GetClientRect(HWND window, CRect* rect);
// The width in pixels of the first `length` characters of `text` in the window's font;
// 0 for a handle that is no window.
int GetTextWidth(HWND window, const wchar_t* text, int length);

// The first top-level window, in creation order, whose class name and text equal the given
// ones (case counts; a null argument matches any); null when none does.
HWND FindWindowW(LPCWSTR className, LPCWSTR windowName);
// Text and class name: copy at most maxCount - 1 characters and a zero; return the number
// copied (0 for a handle that is no window, a null buffer or maxCount 0).
int GetWindowTextW(HWND window, LPWSTR buffer, int maxCount);
int GetWindowTextLengthW(HWND window);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
int GetClassNameW(HWND window, LPWSTR buffer, int maxCount);
// GWL_STYLE only: the style bits; Set returns the previous bits. 0 for other indexes or a
// handle that is no window.
LONG GetWindowLongW(HWND window, int index);
LONG SetWindowLongW(HWND window, int index, LONG value);
// GWLP_WNDPROC (the procedure) and GWLP_USERDATA (a value the owner keeps with the window);
// Set returns the previous value.
INT_PTR GetWindowLongPtrW(HWND window, int index);
INT_PTR SetWindowLongPtrW(HWND window, int index, INT_PTR value);
// The parent (null for a top-level window or a handle that is no window).
HWND GetParent(HWND window);
// The children in creation order.
std::vector<HWND> childWindows(HWND window);
// A window's menu (null: none). SetMenu gives the window a menu (null takes it away; FALSE
// for a handle that is no window or a menu handle that is no menu); the menu it had before is
// not destroyed. DestroyWindow destroys the menu the window has then (platform/menu.h).
HMENU GetMenu(HWND window);
BOOL SetMenu(HWND window, HMENU menu);
// The identity of the thread that made the window (platform/messages.h); 0 for a handle
// that is no window. `processId`, when given, receives 1 (one process).
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);

// The default procedure: answers 0 to every message.
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the window's procedure on the calling thread (what SendMessage does for a window of
// the calling thread and DispatchMessage for a message taken from the queue); 0 for a handle
// that is no window.
LRESULT callWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Ends the windows of a thread that has ended, without messages (platform/messages.cpp).
void forgetThreadWindows(DWORD threadId);

// An object over a window handle, with a virtual window procedure. A window made through
// Create sends its messages to WindowProc; when it is destroyed (by DestroyWindow, through the
// handle or by a parent) the object's handle becomes null and PostNcDestroy is called, after
// which the object may delete itself. The destructor destroys a window still there (the
// derived class is gone by then: its WindowProc is not called).
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Makes the window (rect gives its client size); FALSE when the object already has one or
    // the parent is no window. `id` is ignored.
    BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const CRect& rect,
                CWnd* parent, UINT id = 0);
    BOOL DestroyWindow();
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    BOOL SetWindowText(LPCWSTR text);
    int GetWindowText(LPWSTR buffer, int maxCount) const;
    DWORD GetStyle() const;
    // Clears `remove`, then sets `add`; FALSE without a window.
    BOOL ModifyStyle(DWORD remove, DWORD add);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    HWND m_hWnd = nullptr;

protected:
    // The window procedure; the default answers through DefWindowProcW.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called once the window is gone; the default does nothing.
    virtual void PostNcDestroy() {}

private:
    static LRESULT procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
