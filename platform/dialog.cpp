#include "platform/dialog.h"

#include "platform/keyboard.h"
#include "platform/screen.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <mutex>
#include <string>

const wchar_t* const kDialogClass = L"#32770";

namespace {

// What an edit keeps beyond its window: its selection and its text limit.
struct Control {
    DWORD selStart = 0;
    DWORD selEnd = 0;
    UINT limit = kEditMaxLimit;
};

// The toolkit's process-wide tables. Never destroyed: threads may end while the program exits.
struct Toolkit {
    std::mutex mutex;
    std::map<HWND, Control> controls;
    std::map<DWORD, HWND> focus;    // by thread
    std::map<DWORD, HWND> active;   // by thread
    std::map<UINT, DialogTemplate> templatesById;
    std::map<std::wstring, DialogTemplate> templatesByName;
    std::map<HWND, CDialog*> dialogs;
    WindowMadeHook hook;
};

Toolkit& toolkit()
{
    static Toolkit* t = new Toolkit;
    return *t;
}

bool findControl(HWND window, Control& control)
{
    Toolkit& t = toolkit();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.controls.find(window);
    if (it == t.controls.end())
        return false;
    control = it->second;
    return true;
}

void storeControl(HWND window, const Control& control)
{
    Toolkit& t = toolkit();
    std::lock_guard<std::mutex> lock(t.mutex);
    t.controls[window] = control;
}

void forgetControl(HWND window)
{
    Toolkit& t = toolkit();
    std::lock_guard<std::mutex> lock(t.mutex);
    t.controls.erase(window);
}

DWORD styleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

void setStyle(HWND window, DWORD remove, DWORD add)
{
    SetWindowLongW(window, GWL_STYLE, static_cast<LONG>((styleOf(window) & ~remove) | add));
}

std::wstring textOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

void notifyParent(HWND control, UINT code)
{
    if (HWND parent = GetParent(control))
        SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<UINT>(GetDlgCtrlID(control)), code),
                    reinterpret_cast<LPARAM>(control));
}

// EM_SETSEL: start -1 removes the selection (the caret stays at its end); end -1, or an end
// beyond the text, means the end of the text; a reversed pair is put in order.
void setSelection(Control& c, DWORD length, WPARAM start, LPARAM end)
{
    const long long s = static_cast<long long>(static_cast<INT_PTR>(start));
    if (s < 0) {
        c.selStart = c.selEnd;
        return;
    }
    long long e = end < 0 ? length : end;
    long long first = std::min<long long>(s, length);
    long long last = std::min<long long>(e, length);
    if (first > last)
        std::swap(first, last);
    c.selStart = static_cast<DWORD>(first);
    c.selEnd = static_cast<DWORD>(last);
}

// Typing one character (or a backspace) into an edit: replaces the selection, within the
// limit, the digits-only and the read-only styles. False when the edit refuses it.
bool typeCharacter(HWND window, Control& c, wchar_t ch)
{
    const DWORD style = styleOf(window);
    if (style & ES_READONLY)
        return false;
    std::wstring text = textOf(window);
    DWORD start = std::min<DWORD>(c.selStart, static_cast<DWORD>(text.size()));
    DWORD end = std::min<DWORD>(c.selEnd, static_cast<DWORD>(text.size()));
    if (ch == VK_BACK) {
        if (start == end && start > 0)
            --start;
        text.erase(start, end - start);
    } else {
        if ((style & ES_NUMBER) && !(ch >= L'0' && ch <= L'9'))
            return false;
        if (text.size() - (end - start) + 1 > c.limit)
            return false;
        text.replace(start, end - start, 1, ch);
        ++start;
    }
    SetWindowTextW(window, text.c_str());
    c.selStart = c.selEnd = start;
    return true;
}

LRESULT editProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Control c;
    if (!findControl(window, c))
        return DefWindowProcW(window, message, wParam, lParam);
    const DWORD length = static_cast<DWORD>(GetWindowTextLengthW(window));
    switch (message) {
    case WM_SETFOCUS:
        notifyParent(window, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        notifyParent(window, EN_KILLFOCUS);
        return 0;
    case EM_SETSEL:
        setSelection(c, length, wParam, lParam);
        storeControl(window, c);
        return 0;
    case EM_GETSEL: {
        const DWORD start = std::min(c.selStart, length);
        const DWORD end = std::min(c.selEnd, length);
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = start;
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = end;
        return static_cast<LRESULT>((start & 0xFFFFu) | ((end & 0xFFFFu) << 16));
    }
    case EM_LIMITTEXT:
        c.limit = wParam == 0 || wParam > kEditMaxLimit ? kEditMaxLimit : static_cast<UINT>(wParam);
        storeControl(window, c);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(c.limit);
    case EM_SETREADONLY:
        setStyle(window, ES_READONLY, wParam ? ES_READONLY : 0);
        return TRUE;
    case WM_CHAR:
        if (typeCharacter(window, c, static_cast<wchar_t>(wParam))) {
            storeControl(window, c);
            notifyParent(window, EN_CHANGE);
        }
        return 0;
    case WM_NCDESTROY:
        forgetControl(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Whether the window's class is `className` (without regard to case).
bool hasClass(HWND window, const wchar_t* className)
{
    wchar_t name[32] = {};
    if (GetClassNameW(window, name, 32) <= 0)
        return false;
    std::wstring a = name, b = className;
    for (wchar_t& ch : a)
        ch = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
    return a == b;
}

HWND threadWindow(std::map<DWORD, HWND>& table, DWORD thread)
{
    auto it = table.find(thread);
    return it == table.end() ? nullptr : it->second;
}

// Whether `window` is `ancestor` or lies inside it.
bool isWithin(HWND window, HWND ancestor)
{
    for (HWND w = window; w; w = GetParent(w))
        if (w == ancestor)
            return true;
    return false;
}

// The dialog's default push button: the first visible child button of that type.
HWND defaultButton(HWND dialog)
{
    for (HWND child : childWindows(dialog))
        if (hasClass(child, L"button") && (styleOf(child) & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
            IsWindowVisible(child))
            return child;
    return nullptr;
}

// The first enabled, visible tab stop among the dialog's controls (the dialog itself is not
// shown yet while it initialises).
HWND firstTabStop(HWND dialog)
{
    for (HWND child : childWindows(dialog))
        if ((styleOf(child) & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE))
            return child;
    return nullptr;
}

void sendCommand(HWND dialog, int id, HWND control)
{
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<UINT>(id), BN_CLICKED),
                reinterpret_cast<LPARAM>(control));
}

} // namespace

HWND CreateControl(HWND parent, int id, LPCWSTR className, LPCWSTR text, DWORD style, const CRect& rect)
{
    const HWND window = CreateWindowW(className, text, style | WS_CHILD, rect.left, rect.top,
                                      rect.Width(), rect.Height(), parent,
                                      reinterpret_cast<void*>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    if (window && hasClass(window, L"edit")) {
        storeControl(window, Control());
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<INT_PTR>(&editProcedure));
    }
    return window;
}

BOOL ClickButton(HWND button)
{
    if (!IsWindowEnabled(button))
        return FALSE;
    const DWORD type = styleOf(button) & BS_TYPEMASK;
    const bool checked = SendMessage(button, BM_GETCHECK, 0, 0) == static_cast<LRESULT>(BST_CHECKED);
    if (type == BS_AUTOCHECKBOX)
        SendMessage(button, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
    else if (type == BS_AUTORADIOBUTTON)
        SendMessage(button, BM_SETCHECK, BST_CHECKED, 0);
    return PostMessage(GetParent(button), WM_COMMAND,
                       MAKEWPARAM(static_cast<UINT>(GetDlgCtrlID(button)), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
}

// ---- Focus and activation ----

HWND SetFocus(HWND window)
{
    if (window && !IsWindow(window))
        return nullptr;
    const DWORD thread = window ? GetWindowThreadProcessId(window, nullptr) : GetCurrentThreadId();
    HWND previous;
    {
        Toolkit& t = toolkit();
        std::lock_guard<std::mutex> lock(t.mutex);
        previous = threadWindow(t.focus, thread);
        if (previous == window)
            return previous;
        t.focus[thread] = window;
    }
    if (!IsWindow(previous))
        previous = nullptr;
    if (previous)
        SendMessage(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window)
        SendMessage(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND GetFocus()
{
    Toolkit& t = toolkit();
    HWND window;
    {
        std::lock_guard<std::mutex> lock(t.mutex);
        window = threadWindow(t.focus, GetCurrentThreadId());
    }
    return IsWindow(window) ? window : nullptr;
}

HWND SetActiveWindow(HWND window)
{
    if (!IsWindow(window))
        return nullptr;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    HWND previous;
    {
        Toolkit& t = toolkit();
        std::lock_guard<std::mutex> lock(t.mutex);
        previous = threadWindow(t.active, thread);
        t.active[thread] = window;
    }
    if (!IsWindow(previous))
        previous = nullptr;
    if (previous == window)
        return previous;
    if (previous)
        SendMessage(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
    SendMessage(window, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    return previous;
}

HWND GetActiveWindow()
{
    Toolkit& t = toolkit();
    HWND window;
    {
        std::lock_guard<std::mutex> lock(t.mutex);
        window = threadWindow(t.active, GetCurrentThreadId());
    }
    return IsWindow(window) ? window : nullptr;
}

BOOL PostKeyEvent(UINT virtualKey, bool keyUp)
{
    HWND target = GetFocus();
    if (!target)
        target = GetActiveWindow();
    if (!target)
        return FALSE;
    return PostMessage(target, keyUp ? WM_KEYUP : WM_KEYDOWN, virtualKey, 0);
}

// ---- Templates ----

void RegisterDialogTemplate(UINT id, const DialogTemplate& dialogTemplate)
{
    Toolkit& t = toolkit();
    std::lock_guard<std::mutex> lock(t.mutex);
    t.templatesById[id] = dialogTemplate;
}

void RegisterDialogTemplate(LPCWSTR name, const DialogTemplate& dialogTemplate)
{
    Toolkit& t = toolkit();
    std::lock_guard<std::mutex> lock(t.mutex);
    t.templatesByName[name ? name : L""] = dialogTemplate;
}

bool FindDialogTemplate(UINT id, DialogTemplate& dialogTemplate)
{
    Toolkit& t = toolkit();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.templatesById.find(id);
    if (it == t.templatesById.end())
        return false;
    dialogTemplate = it->second;
    return true;
}

bool FindDialogTemplate(LPCWSTR name, DialogTemplate& dialogTemplate)
{
    Toolkit& t = toolkit();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.templatesByName.find(name ? name : L"");
    if (it == t.templatesByName.end())
        return false;
    dialogTemplate = it->second;
    return true;
}

// ---- The window-made hook ----

void SetWindowMadeHook(WindowMadeHook hook)
{
    Toolkit& t = toolkit();
    std::lock_guard<std::mutex> lock(t.mutex);
    t.hook = std::move(hook);
}

bool HasWindowMadeHook()
{
    Toolkit& t = toolkit();
    std::lock_guard<std::mutex> lock(t.mutex);
    return static_cast<bool>(t.hook);
}

void NotifyWindowMade(HWND window)
{
    WindowMadeHook hook;
    {
        Toolkit& t = toolkit();
        std::lock_guard<std::mutex> lock(t.mutex);
        hook = t.hook;
    }
    if (hook)
        hook(window);
}

// ---- Dialog processing ----

bool IsDialogWindow(HWND window)
{
    wchar_t name[16];
    return GetClassNameW(window, name, 16) > 0 && std::wstring(name) == kDialogClass;
}

BOOL WalkPreTranslateTree(HWND stop, MSG* msg)
{
    if (!msg)
        return FALSE;
    for (HWND w = msg->hwnd; w; w = GetParent(w)) {
        if (CDialog* dialog = CDialog::FromHandle(w))
            if (dialog->PreTranslateMessage(msg))
                return TRUE;
        if (w == stop)
            break;
    }
    return FALSE;
}

BOOL IsDialogMessage(HWND dialog, MSG* msg)
{
    if (!msg || msg->message != WM_KEYDOWN || !IsWindow(dialog) || !isWithin(msg->hwnd, dialog))
        return FALSE;
    if (msg->wParam == VK_RETURN) {
        HWND button = defaultButton(dialog);
        if (!button)
            sendCommand(dialog, IDOK, GetDlgItem(dialog, IDOK));
        else if (IsWindowEnabled(button))
            sendCommand(dialog, GetDlgCtrlID(button), button);
        return TRUE;
    }
    if (msg->wParam == VK_ESCAPE) {
        sendCommand(dialog, IDCANCEL, GetDlgItem(dialog, IDCANCEL));
        return TRUE;
    }
    return FALSE;
}

BOOL PreTranslateDialogMessage(MSG* msg)
{
    if (!msg)
        return FALSE;
    if (WalkPreTranslateTree(nullptr, msg))
        return TRUE;
    for (HWND w = msg->hwnd; w; w = GetParent(w))
        if (IsDialogWindow(w))
            return IsDialogMessage(w, msg);
    return FALSE;
}

// ---- CDialog ----

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) : m_pParentWnd(parent)
{
    m_templateMissing = !FindDialogTemplate(templateId, m_template);
}

CDialog::CDialog(LPCWSTR templateName, CWnd* parent) : m_pParentWnd(parent)
{
    m_templateMissing = !FindDialogTemplate(templateName, m_template);
}

CDialog::CDialog(const DialogTemplate& dialogTemplate, CWnd* parent)
    : m_pParentWnd(parent), m_template(dialogTemplate)
{
}

CDialog::~CDialog()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    Toolkit& t = toolkit();
    std::lock_guard<std::mutex> lock(t.mutex);
    for (auto it = t.dialogs.begin(); it != t.dialogs.end(); ++it)
        if (it->second == this) {
            t.dialogs.erase(it);
            break;
        }
}

CDialog* CDialog::FromHandle(HWND window)
{
    Toolkit& t = toolkit();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.dialogs.find(window);
    return it == t.dialogs.end() ? nullptr : it->second;
}

HWND CDialog::GetParentHwnd() const
{
    return m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
}

BOOL CDialog::makeWindow()
{
    if (m_hWnd || m_templateMissing)
        return FALSE;
    CRect rect = m_template.rect;
    if (rect.IsRectEmpty())
        rect.SetRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const DWORD style = (m_template.style | WS_POPUP) & ~WS_VISIBLE;
    if (!Create(kDialogClass, m_template.caption, style, rect, m_pParentWnd))
        return FALSE;
    {
        Toolkit& t = toolkit();
        std::lock_guard<std::mutex> lock(t.mutex);
        t.dialogs[m_hWnd] = this;
    }
    for (const DialogItemTemplate& item : m_template.items)
        CreateControl(m_hWnd, item.id, item.className, item.text, item.style, item.rect);
    m_ended = false;
    m_result = 0;
    const LRESULT setFocus = SendMessage(WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop(m_hWnd)), 0);
    if (!m_hWnd)
        return FALSE;   // destroyed while initialising
    ::ShowWindow(m_hWnd, SW_SHOW);
    SetActiveWindow(m_hWnd);
    // The first tab stop as initialising left the controls.
    if (setFocus)
        if (HWND focus = firstTabStop(m_hWnd))
            SetFocus(focus);
    NotifyWindowMade(m_hWnd);
    return TRUE;
}

void CDialog::CenterWindow(CWnd* alternateOwner)
{
    if (!m_hWnd)
        return;
    const HWND reference = alternateOwner ? alternateOwner->GetSafeHwnd() : GetParentHwnd();
    CRect area;
    if (!reference || !::GetWindowRect(reference, &area))
        area.SetRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    CRect mine;
    ::GetWindowRect(m_hWnd, &mine);
    CPoint topLeft(area.left + (area.Width() - mine.Width()) / 2, area.top + (area.Height() - mine.Height()) / 2);
    if (HWND parent = ::GetParent(m_hWnd))
        ::ScreenToClient(parent, &topLeft);
    ::MoveWindow(m_hWnd, topLeft.x, topLeft.y, mine.Width(), mine.Height(), TRUE);
}

BOOL CDialog::CreateModeless()
{
    if (!makeWindow())
        return FALSE;
    m_modal = false;
    return TRUE;
}

INT_PTR CDialog::DoModal()
{
    const HWND previousActive = GetActiveWindow();
    const HWND previousFocus = GetFocus();
    m_modal = true;
    if (!makeWindow())
        return -1;
    m_result = -1;
    MSG msg;
    while (!m_ended && m_hWnd) {
        BOOL got = PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
        if (!got) {
            if (!ExpectsInput()) {
                EndDialog(IDCANCEL);
                break;
            }
            got = GetMessage(&msg, nullptr, 0, 0) > 0 ? TRUE : FALSE;
            if (!got && msg.message != WM_QUIT)
                break;
        }
        if (msg.message == WM_QUIT) {
            // The thread's loop must still see it: put it back and leave.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!WalkPreTranslateTree(m_hWnd, &msg) && !IsDialogMessage(m_hWnd, &msg))
            DispatchMessage(&msg);
    }
    if (m_hWnd)
        DestroyWindow();
    if (IsWindow(previousActive))
        SetActiveWindow(previousActive);
    if (IsWindow(previousFocus))
        SetFocus(previousFocus);
    return m_result;
}

void CDialog::EndDialog(int result)
{
    m_result = result;
    m_ended = true;
    if (!m_modal && m_hWnd)
        ::ShowWindow(m_hWnd, SW_HIDE);
}

BOOL CDialog::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return FALSE;   // a notification of a control whose identifier happens to be 1 or 2
    if (LOWORD(wParam) == static_cast<UINT>(IDOK)) {
        OnOK();
        return TRUE;
    }
    if (LOWORD(wParam) == static_cast<UINT>(IDCANCEL)) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

void CDialog::OnActivate(UINT, HWND) {}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (OnCommand(wParam, lParam))
            return 0;
        break;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_NCDESTROY: {
        Toolkit& t = toolkit();
        std::lock_guard<std::mutex> lock(t.mutex);
        t.dialogs.erase(m_hWnd);
        break;
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
