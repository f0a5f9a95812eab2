// Windows of the platform, modelled in the process: a handle names a window object that holds
// a class name, a text, a style, a parent, the thread that made it, its children in creation
// order, its rectangle, a control identifier, a font, named properties and a window procedure.
// Messages and queues: platform/messages.h.
//
// Geometry. A window has no frame or caption of its own: its window rectangle and its client
// area are the same pixels. A top-level window's position is in screen coordinates, a child's
// in its parent's client coordinates (x to the right, y downwards, rectangles half-open, as in
// platform/windowGeometry.h). The screen itself: platform/screen.h.
//
// Painting and input are not modelled: InvalidateRect only records the rectangles it is given
// (invalidatedRects reads them), and what a window would draw is recorded by a device context
// (platform/paintDC.h). Text is measured by the replaceable measurer of platform/gdi.h, which
// counts kStubCharWidth pixels per character unless a renderer installs its own.
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
struct HFONT__;
typedef HFONT__* HFONT;   // a font (platform/gdi.h)
class CFont;

typedef LRESULT (*WNDPROC)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Width in pixels of every character in a window's font.
constexpr int kStubCharWidth = 8;

// Style bits the model knows (others are kept as given).
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_TABSTOP = 0x00010000;

// GetWindowLongW / GetWindowLongPtrW indexes.
constexpr int GWL_STYLE = -16;
constexpr int GWLP_USERDATA = -21;
constexpr int GWLP_WNDPROC = -4;

// Makes a window of `className` (any name; there is no class registration) with the text
// `windowName`, the style, the position (x, y), a size of width x height pixels (negative sizes
// count as 0) and the given parent (null: a top-level window). Its procedure is DefWindowProcW,
// or the control procedure of the classes "button" and "static" (platform/controls.h; class
// names are compared without regard to case), until SetWindowLongPtrW changes it. For a child
// window `menu` carries its control identifier (as the platform does: (HMENU)id); for a
// top-level window it is ignored, as are `instance` and `param`. Gives the calling thread its
// message queue. Null (with ERROR_INVALID_WINDOW_HANDLE) when the parent is no window.
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
// The width in pixels of the first `length` characters of `text` in the window's font
// (GetWindowFont; the stock font when it has none), as the installed measurer of
// platform/gdi.h measures it (by default kStubCharWidth per character); 0 for a handle that is
// no window.
int GetTextWidth(HWND window, const wchar_t* text, int length);

// ---- Geometry and state ----

// The window rectangle in screen coordinates; FALSE for a handle that is no window.
BOOL GetWindowRect(HWND window, CRect* rect);
// Places the window at (x, y) (parent's client coordinates for a child, screen coordinates for
// a top-level window) with the size width x height (negative sizes count as 0). With `repaint`
// the parent's old and new places (the window's own client area for a top-level window) are
// recorded as invalidated. FALSE for a handle that is no window.
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
// SetWindowPos flags the model knows; the z-order is not modelled (`insertAfter` is ignored).
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
// Screen coordinates from a window's client coordinates and back (the sum of the positions of
// the window and its ancestors); FALSE for a handle that is no window or a null point.
BOOL ClientToScreen(HWND window, CPoint* point);
BOOL ScreenToClient(HWND window, CPoint* point);

// ShowWindow commands: SW_HIDE clears WS_VISIBLE, the others set it.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWNA = 8;
// Nonzero when the window was visible (WS_VISIBLE) before; 0 for a handle that is no window.
BOOL ShowWindow(HWND window, int command);
// Whether the window and every ancestor have WS_VISIBLE.
BOOL IsWindowVisible(HWND window);
// Enables (clears WS_DISABLED) or disables the window. Nonzero when it was disabled before.
BOOL EnableWindow(HWND window, BOOL enable);
// Whether the window exists and has no WS_DISABLED.
BOOL IsWindowEnabled(HWND window);

// The foreground window: SetForegroundWindow makes the window's top-level ancestor (the window
// itself when it is one) the foreground window; FALSE for a handle that is no window.
// GetForegroundWindow gives it, null when there is none or it has been destroyed.
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();

// Records `rect` (client coordinates; null: the whole client area) as to be repainted.
// `erase` is ignored. FALSE for a handle that is no window.
BOOL InvalidateRect(HWND window, const CRect* rect, BOOL erase);
// ValidateRect with a null rectangle forgets every recorded rectangle of the window (with a
// rectangle, the recorded rectangles equal to it).
BOOL ValidateRect(HWND window, const CRect* rect);
// The rectangles recorded by InvalidateRect since the last ValidateRect, oldest first.
std::vector<CRect> invalidatedRects(HWND window);

// The control identifier of a child window (0 for a top-level window or no window); the first
// child of `parent`, in creation order, with the identifier (null when none has it).
int GetDlgCtrlID(HWND window);
HWND GetDlgItem(HWND parent, int id);

// The window's font (null: none, the stock font is used); `redraw` records the whole client
// area as invalidated. The font is not owned by the window.
void SetWindowFont(HWND window, HFONT font, BOOL redraw);
HFONT GetWindowFont(HWND window);

// Named properties of a window (names compared as given): SetPropW adds or replaces (FALSE for
// a handle that is no window or a null name), GetPropW gives null when there is none,
// RemovePropW takes the property out and gives its value.
BOOL SetPropW(HWND window, LPCWSTR name, void* value);
void* GetPropW(HWND window, LPCWSTR name);
void* RemovePropW(HWND window, LPCWSTR name);

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
// Create sends its messages to WindowProc, whose default passes them to the procedure the
// window had before (the control procedure of a "button" or "static"); when it is destroyed (by DestroyWindow, through the
// handle or by a parent) the object's handle becomes null and PostNcDestroy is called, after
// which the object may delete itself. The destructor destroys a window still there (the
// derived class is gone by then: its WindowProc is not called).
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Makes the window at `rect` (in the parent's client coordinates, or the screen's); FALSE
    // when the object already has one or the parent is no window. `id` is a child's control
    // identifier.
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

    // The free functions above, for this object's window.
    void GetWindowRect(CRect* rect) const;
    void GetClientRect(CRect* rect) const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(const CRect& rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags);
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL SetForegroundWindow();
    void ClientToScreen(CPoint* point) const;
    void ScreenToClient(CPoint* point) const;
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(const CRect* rect, BOOL erase = TRUE);
    int GetDlgCtrlID() const;
    HWND GetDlgItem(int id) const;
    HWND GetParent() const;
    // The font (a null object: none); the object keeps no CFont, GetFontHandle gives the handle.
    void SetFont(CFont* font, BOOL redraw = TRUE);
    HFONT GetFontHandle() const;

    HWND m_hWnd = nullptr;

protected:
    // The window procedure; the default answers through DefWindowProcW.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called once the window is gone; the default does nothing.
    virtual void PostNcDestroy() {}

private:
    static LRESULT procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    WNDPROC m_superProcedure = nullptr;   // the procedure the window had before Create
};
