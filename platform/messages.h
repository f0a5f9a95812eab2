// Window messages and the message queues of threads, modelled in the process.
//
// Thread identities. Every thread has an identity of this layer (GetCurrentThreadId), given at
// its first call and never reused within the process (the host reuses its thread ids). A
// thread has no message queue until it first calls GetMessage, PeekMessage or
// PostQuitMessage, or makes a window (platform/windowStub.h), as on the platform: until then,
// and once the thread has ended, posting to it fails (ERROR_INVALID_THREAD_ID). When a thread
// ends its queue ends with it: what was queued is dropped and senders waiting on it get 0.
//
// Posted messages are queued in order and never merged: ten posts are ten messages. A window's
// messages go to the queue of the thread that made the window.
#pragma once

#include "platform/windowStub.h"
#include "platform/winTypes.h"

// Every message number of the library, each defined here once.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_NCDESTROY = 0x0082;   // the last message a window gets
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_USER = 0x0400;
// Activation, focus, keys and dialogs (platform/dialog.h).
constexpr UINT WM_ACTIVATE = 0x0006;     // wParam WA_ACTIVE or WA_INACTIVE, lParam the other window
constexpr UINT WM_SETFOCUS = 0x0007;     // wParam the window that lost the focus
constexpr UINT WM_KILLFOCUS = 0x0008;    // wParam the window that gets the focus
constexpr UINT WM_KEYDOWN = 0x0100;      // wParam the virtual-key code (platform/keyboard.h)
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;         // wParam the character
constexpr UINT WM_INITDIALOG = 0x0110;   // wParam the control to get the focus
// Posted by the tic timer (devices/ticTimer.h) at each expiry: wParam the timer's identifier,
// lParam 0.
constexpr UINT WM_TICTIMER = 0x214C;

struct MSG {
    HWND hwnd;       // null for a thread message
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;      // GetTickCount() when it was posted
};

// PeekMessage: leave the message in the queue, or take it out.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// The calling thread's identity (never 0).
DWORD GetCurrentThreadId();
// Gives the calling thread its queue, if it has none (what the calls named above do).
void ensureMessageQueue();

// Queues a message for the window's thread (a null window: for the calling thread, as a
// thread message). FALSE when the handle is no window (ERROR_INVALID_WINDOW_HANDLE) or the
// thread has no queue or has ended.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues a thread message (hwnd null). FALSE when the thread has no queue or has ended.
BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the window's procedure and returns its answer. For a window of the calling thread
// the call is direct; for another thread's window the message waits, ahead of posted ones,
// until that thread's GetMessage or PeekMessage runs the procedure, and meanwhile the calling
// thread still answers messages sent to its own windows. 0 when the handle is no window or
// the window's thread ends first.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Waits for the next posted message for `window` (null: any window of the thread and thread
// messages) whose number lies in [filterMin, filterMax] (0 and 0: any), running messages sent
// from other threads while it waits. Takes it out and returns nonzero, or 0 for WM_QUIT;
// -1 for a null `msg`.
BOOL GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
// As GetMessage without waiting: FALSE when nothing matches. PM_REMOVE takes the message out.
BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Calls the procedure of the message's window (a window of the calling thread) and returns its
// answer; 0 for a thread message or another thread's window.
LRESULT DispatchMessage(const MSG* msg);
// Asks the calling thread's loop to end: GetMessage returns 0 with WM_QUIT (wParam the code)
// once no posted message is left before it.
void PostQuitMessage(int exitCode);

// Ends the calling thread's identity and queue now (the layer's threads call it as they end;
// other threads' queues end at their exit). Its windows end with it.
void releaseThreadQueue();
