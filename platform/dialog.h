// Dialogs of the platform toolkit, modelled in the process: templates defined in code, dialogs
// made from them (modal with their own message loop, or modeless), the controls "edit",
// "button" and "static" with the state the library reads and changes, the keyboard focus and
// the active window, and the toolkit's own handling of Enter and Escape.
//
// There is no user: keys and clicks are scripted. PostKeyEvent posts WM_KEYDOWN or WM_KEYUP to
// the window that has the focus, ClickButton posts a click to a button. A test learns that a
// dialog was made through the window-made hook (SetWindowMadeHook), called once each dialog is
// initialised and before a modal dialog's loop takes its first message, so that the test can
// script its input there.
//
// Nobody to answer: a modal loop that finds its thread's queue empty waits for more only when
// the dialog says it expects input (CDialog::ExpectsInput, for instance a running time-out);
// otherwise it ends the dialog with IDCANCEL, so that library code that shows a dialog never
// hangs a process without a user (as the file dialog answers "cancelled" without a handler,
// files/fileFuncs.h). This holds with the window-made hook set too: the hook scripts its input
// before the loop starts (it runs on the dialog's thread), and once that input is used up
// nobody is left to answer.
//
// Left out of the toolkit's key handling: Tab and mnemonics (no focus moves by key). Typing
// into an edit (WM_CHAR) replaces its selection and keeps to its text limit, digits-only style
// and read-only style; there is no caret movement by key.
//
// Threads: focus and the active window belong to a thread, as on the platform: SetFocus and
// SetActiveWindow act for the thread that made the window, GetFocus and GetActiveWindow answer
// for the calling thread. A dialog and its loop run on the thread that makes them.
#pragma once

#include "platform/CString.h"
#include "platform/controls.h"
#include "platform/messageBox.h"
#include "platform/messages.h"
#include "platform/windowStub.h"
#include "platform/winTypes.h"

#include <functional>
#include <vector>

// The class name of dialog windows.
extern const wchar_t* const kDialogClass;   // "#32770"

// Edit styles.
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_NUMBER = 0x2000;
// Edit messages. EM_SETSEL: wParam start, lParam end (end -1: to the end of the text; start -1:
// no selection). EM_GETSEL: answers MAKELONG(start, end) and writes start and end through
// wParam and lParam when they are non-null DWORD pointers.
constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_LIMITTEXT = 0x00C5;      // wParam the limit in characters, 0: the largest
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_SETREADONLY = 0x00CF;    // wParam TRUE or FALSE
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
// Notification codes, in the high word of WM_COMMAND's wParam (lParam the control).
constexpr UINT BN_CLICKED = 0;
constexpr UINT EN_SETFOCUS = 0x0100;
constexpr UINT EN_KILLFOCUS = 0x0200;
constexpr UINT EN_CHANGE = 0x0300;
// WM_ACTIVATE's wParam.
constexpr UINT WA_INACTIVE = 0;
constexpr UINT WA_ACTIVE = 1;
// The largest text limit of an edit (the limit of EM_LIMITTEXT 0).
constexpr UINT kEditMaxLimit = 0x7FFFFFFE;

inline WPARAM MAKEWPARAM(UINT low, UINT high)
{
    return static_cast<WPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
inline UINT LOWORD(UINT_PTR value) { return static_cast<UINT>(value & 0xFFFFu); }
inline UINT HIWORD(UINT_PTR value) { return static_cast<UINT>((value >> 16) & 0xFFFFu); }

// ---- Controls ----
// Makes a child control with the identifier, text, style (WS_CHILD is added) and place in the
// parent's client area: "edit" (any case) gets the edit behaviour here, "button" and "static"
// theirs (platform/controls.h), other classes none. Null when the parent is no window.
HWND CreateControl(HWND parent, int id, LPCWSTR className, LPCWSTR text, DWORD style, const CRect& rect);
// A click on a button, as a user's: an enabled button toggles its check state (automatic
// check boxes) or checks itself (automatic radio buttons) and posts WM_COMMAND (BN_CLICKED,
// its identifier, lParam the button) to its parent. FALSE when the handle is no window or the
// button is disabled.
BOOL ClickButton(HWND button);

// ---- Focus, activation and scripted keys ----
// Gives the keyboard focus to the window (null: to nobody) for the window's thread: the window
// that loses it gets WM_KILLFOCUS, the one that gets it WM_SETFOCUS; an edit that gets it sends
// EN_SETFOCUS to its parent. The window that had the focus, or null (also when `window` is no
// window: nothing changes then).
HWND SetFocus(HWND window);
// The calling thread's focus window (null when none, or when it was destroyed).
HWND GetFocus();
// Makes the top-level window active for its thread: WM_ACTIVATE (WA_INACTIVE) to the window
// that was active, then WM_ACTIVATE (WA_ACTIVE) to this one. The window that was active.
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
// Posts WM_KEYDOWN (or WM_KEYUP) with the virtual-key code to the calling thread's focus window,
// or to its active window when nothing has the focus. FALSE when there is neither.
BOOL PostKeyEvent(UINT virtualKey, bool keyUp);

// ---- Templates ----
struct DialogItemTemplate {
    int id = 0;
    CString className;   // "edit", "button", "static"
    CString text;
    CRect rect;          // within the dialog's client area
    DWORD style = WS_VISIBLE;
};
struct DialogTemplate {
    CString caption;
    CRect rect;          // the dialog's client size (an empty one: the whole screen when made)
    DWORD style = WS_POPUP;
    std::vector<DialogItemTemplate> items;
};
// Registers a template under an identifier or a name (replacing one of the same key). Names
// compare exactly.
void RegisterDialogTemplate(UINT id, const DialogTemplate& dialogTemplate);
void RegisterDialogTemplate(LPCWSTR name, const DialogTemplate& dialogTemplate);
// Copies a registered template; false (output untouched) when none is registered there.
bool FindDialogTemplate(UINT id, DialogTemplate& dialogTemplate);
bool FindDialogTemplate(LPCWSTR name, DialogTemplate& dialogTemplate);

// ---- The window-made hook ----
using WindowMadeHook = std::function<void(HWND window)>;
// Installs the hook (an empty one removes it). It runs on the thread that made the window.
void SetWindowMadeHook(WindowMadeHook hook);
bool HasWindowMadeHook();
// Tells the hook that a window was made (the dialogs call it; so may other windows that tests
// must find, such as the calculator).
void NotifyWindowMade(HWND window);

// ---- Dialogs ----
// The PreTranslateMessage walk: offers the message to the dialog object of its window and of
// each parent in turn, up to and including `stop` (null: up to the top); TRUE when one took it.
BOOL WalkPreTranslateTree(HWND stop, MSG* msg);
// The toolkit's own processing of a message meant for `dialog` or one of its children: Enter
// (key down) sends WM_COMMAND with the identifier of the dialog's default push button (a
// visible child button of style BS_DEFPUSHBUTTON; nothing when it is disabled), or IDOK (1) when
// there is none; Escape sends IDCANCEL (2). TRUE when it took the message.
BOOL IsDialogMessage(HWND dialog, MSG* msg);
// Whether the window is a dialog (its class is kDialogClass).
bool IsDialogWindow(HWND window);

class CDialog : public CWnd {
public:
    // Without a template the dialog is made empty (no controls, no caption, the whole screen).
    CDialog();
    CDialog(UINT templateId, CWnd* parent);
    CDialog(LPCWSTR templateName, CWnd* parent);
    // From a template of the caller's (a copy is kept).
    CDialog(const DialogTemplate& dialogTemplate, CWnd* parent);
    ~CDialog() override;

    // Makes the dialog, runs its loop on the calling thread until EndDialog, destroys it and
    // returns the result; -1 when the template is not registered or the window cannot be made.
    virtual INT_PTR DoModal();
    // Makes the dialog modeless (the caller's loop serves it: PreTranslateDialogMessage);
    // FALSE when the template is not registered, the window cannot be made or exists.
    BOOL CreateModeless();
    // Ends a modal dialog's loop with the result; a modeless dialog is hidden.
    void EndDialog(int result);
    INT_PTR GetResult() const { return m_result; }

    // Centres the window on the other window given, else on the parent, else on the screen.
    void CenterWindow(CWnd* alternateOwner = nullptr);
    CWnd* GetParentWnd() const { return m_pParentWnd; }
    HWND GetParentHwnd() const;

    // TRUE when the message was handled here (the loop then neither processes nor dispatches
    // it); the base returns FALSE.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // The dialog object whose window this is; null for any other window.
    static CDialog* FromHandle(HWND window);

protected:
    // WM_INITDIALOG: TRUE to give the focus to the first enabled, visible tab stop.
    virtual BOOL OnInitDialog();
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_COMMAND: IDOK calls OnOK, IDCANCEL calls OnCancel (commands and clicks, notification
    // code 0); TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void OnActivate(UINT state, HWND other);
    virtual void OnDestroy() {}
    // Whether a modal loop with an empty queue should wait for more (a time-out is running, for
    // instance); the base: no.
    virtual bool ExpectsInput() const { return false; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CWnd* m_pParentWnd = nullptr;
    DialogTemplate m_template;
    bool m_templateMissing = false;   // a template was named but is not registered

private:
    BOOL makeWindow();
    bool m_modal = false;
    bool m_ended = false;
    INT_PTR m_result = 0;
};

// For a caller's own loop: the walk up to the message window's top-level dialog, then that
// dialog's Enter and Escape processing. TRUE when the message was taken.
BOOL PreTranslateDialogMessage(MSG* msg);
