#include "platform/windowStub.h"

#include "platform/controls.h"
#include "platform/gdi.h"
#include "platform/lastError.h"
#include "platform/menu.h"
#include "platform/messages.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace {

struct Window {
    std::wstring className;
    std::wstring text;
    DWORD style = 0;
    HWND parent = nullptr;
    DWORD thread = 0;
    std::vector<HWND> children;
    int x = 0;        // in the parent's client coordinates, or the screen's
    int y = 0;
    int width = 0;
    int height = 0;
    int id = 0;       // a child's control identifier
    WNDPROC procedure = &DefWindowProcW;
    INT_PTR userData = 0;
    HMENU menu = nullptr;
    HFONT font = nullptr;
    std::map<std::wstring, void*> properties;
    std::vector<CRect> invalidated;
    bool destroying = false;
};

// Every window by handle. The handle is the window's number, counted up from 1 and never
// reused; the table is ordered by it, so iteration runs in creation order. Never destroyed:
// threads may still end (and forget their windows) while the program exits.
struct Model {
    std::mutex mutex;
    std::map<std::uintptr_t, Window> windows;
    std::uintptr_t lastNumber = 0;
    HWND foreground = nullptr;
};

Model& model()
{
    static Model* m = new Model;
    return *m;
}

std::uintptr_t numberOf(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }
HWND handleOf(std::uintptr_t number) { return reinterpret_cast<HWND>(number); }

// The window behind a handle; the model's lock must be held.
Window* find(Model& m, HWND window)
{
    auto it = m.windows.find(numberOf(window));
    return it == m.windows.end() ? nullptr : &it->second;
}

int copyText(const std::wstring& text, LPWSTR buffer, int maxCount)
{
    if (!buffer || maxCount <= 0)
        return 0;
    const int n = std::min(static_cast<int>(text.size()), maxCount - 1);
    std::copy(text.begin(), text.begin() + n, buffer);
    buffer[n] = L'\0';
    return n;
}

// Removes a window from the table and from its parent's children.
void eraseWindow(Model& m, HWND window)
{
    Window* w = find(m, window);
    if (!w)
        return;
    if (Window* parent = find(m, w->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
    m.windows.erase(numberOf(window));
}

// The screen position of a window's client origin; the model's lock must be held.
CPoint screenOrigin(Model& m, const Window* w)
{
    CPoint origin;
    for (; w; w = find(m, w->parent))
        origin.Offset(w->x, w->y);
    return origin;
}

// Runs `change` on the window under the model's lock; FALSE (ERROR_INVALID_WINDOW_HANDLE)
// when the handle is no window.
template <typename Change>
BOOL withWindow(HWND window, Change change)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    Window* w = find(m, window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    change(m, *w);
    return TRUE;
}

// What `get` gives for the window, run under the model's lock; `none` when the handle is no
// window. Unlike withWindow it leaves the last error alone, as the getters always have.
template <typename T, typename Get>
T windowValue(HWND window, T none, Get get)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    Window* w = find(m, window);
    return w ? static_cast<T>(get(m, *w)) : none;
}

} // namespace

HWND CreateWindowW(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                   int height, HWND parent, void* menu, void*, void*)
{
    const DWORD thread = GetCurrentThreadId();
    ensureMessageQueue();
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    Window* parentWindow = nullptr;
    if (parent && !(parentWindow = find(m, parent))) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    Window w;
    w.className = className ? className : L"";
    w.text = windowName ? windowName : L"";
    w.style = style;
    w.parent = parent;
    w.thread = thread;
    w.procedure = controlProcedureFor(w.className);
    w.x = x;
    w.y = y;
    if (parent)
        w.id = static_cast<int>(reinterpret_cast<std::uintptr_t>(menu));
    w.width = width > 0 ? width : 0;
    w.height = height > 0 ? height : 0;
    const HWND window = handleOf(++m.lastNumber);
    m.windows.emplace(m.lastNumber, std::move(w));
    if (parentWindow)
        parentWindow->children.push_back(window);
    return window;
}

BOOL DestroyWindow(HWND window)
{
    Model& m = model();
    std::vector<HWND> children;
    {
        std::lock_guard<std::mutex> lock(m.mutex);
        Window* w = find(m, window);
        if (!w || w->destroying) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        w->destroying = true;
        children = w->children;
    }
    for (HWND child : children)
        DestroyWindow(child);
    callWindowProcedure(window, WM_DESTROY, 0, 0);
    callWindowProcedure(window, WM_NCDESTROY, 0, 0);
    HMENU menu = nullptr;
    {
        std::lock_guard<std::mutex> lock(m.mutex);
        if (const Window* w = find(m, window))
            menu = w->menu;
        eraseWindow(m, window);
    }
    if (menu)
        DestroyMenu(menu);
    return TRUE;
}

HWND createWindowStub(int clientWidth, int clientHeight)
{
    return CreateWindowW(L"", L"", 0, 0, 0, clientWidth, clientHeight, nullptr, nullptr, nullptr,
                         nullptr);
}

void destroyWindowStub(HWND window)
{
    if (window)
        DestroyWindow(window);
}

BOOL IsWindow(HWND window)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    return window && find(m, window) ? TRUE : FALSE;
}

BOOL GetClientRect(HWND window, CRect* rect)
{
    if (!rect)
        return FALSE;
    return windowValue(window, FALSE, [&](Model&, Window& w) {
        rect->SetRect(0, 0, w.width, w.height);
        return TRUE;
    });
}

int GetTextWidth(HWND window, const wchar_t* text, int length)
{
    if (!text || length <= 0 || !IsWindow(window))
        return 0;
    return GetFontTextWidth(GetWindowFont(window), text, length);
}

BOOL GetWindowRect(HWND window, CRect* rect)
{
    if (!rect)
        return FALSE;
    return withWindow(window, [&](Model& m, Window& w) {
        const CPoint origin = screenOrigin(m, &w);
        rect->SetRect(origin.x, origin.y, origin.x + w.width, origin.y + w.height);
    });
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    return withWindow(window, [&](Model& m, Window& w) {
        const CRect before(w.x, w.y, w.x + w.width, w.y + w.height);
        w.x = x;
        w.y = y;
        w.width = width > 0 ? width : 0;
        w.height = height > 0 ? height : 0;
        if (!repaint)
            return;
        if (Window* parent = find(m, w.parent)) {
            parent->invalidated.push_back(before);
            parent->invalidated.push_back(CRect(w.x, w.y, w.x + w.width, w.y + w.height));
        } else {
            w.invalidated.push_back(CRect(0, 0, w.width, w.height));
        }
    });
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int width, int height, UINT flags)
{
    CRect rect;
    if (!GetWindowRect(window, &rect))
        return FALSE;
    CPoint place(x, y);
    if (flags & SWP_NOMOVE) {
        place = rect.TopLeft();
        if (HWND parent = GetParent(window))
            ScreenToClient(parent, &place);
    }
    if (flags & SWP_NOSIZE) {
        width = rect.Width();
        height = rect.Height();
    }
    MoveWindow(window, place.x, place.y, width, height, FALSE);
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(window, SW_SHOWNA);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(window, SW_HIDE);
    return TRUE;
}

BOOL ClientToScreen(HWND window, CPoint* point)
{
    if (!point)
        return FALSE;
    return withWindow(window, [&](Model& m, Window& w) { point->Offset(screenOrigin(m, &w)); });
}

BOOL ScreenToClient(HWND window, CPoint* point)
{
    if (!point)
        return FALSE;
    return withWindow(window, [&](Model& m, Window& w) { *point -= screenOrigin(m, &w); });
}

BOOL ShowWindow(HWND window, int command)
{
    BOOL wasVisible = FALSE;
    withWindow(window, [&](Model&, Window& w) {
        wasVisible = (w.style & WS_VISIBLE) ? TRUE : FALSE;
        w.style = command == SW_HIDE ? (w.style & ~WS_VISIBLE) : (w.style | WS_VISIBLE);
    });
    return wasVisible;
}

BOOL IsWindowVisible(HWND window)
{
    return windowValue(window, FALSE, [](Model& m, Window& w) {
        for (const Window* v = &w; v; v = find(m, v->parent))
            if (!(v->style & WS_VISIBLE))
                return FALSE;
        return TRUE;
    });
}

BOOL EnableWindow(HWND window, BOOL enable)
{
    BOOL wasDisabled = FALSE;
    withWindow(window, [&](Model&, Window& w) {
        wasDisabled = (w.style & WS_DISABLED) ? TRUE : FALSE;
        w.style = enable ? (w.style & ~WS_DISABLED) : (w.style | WS_DISABLED);
    });
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window)
{
    return windowValue(window, FALSE, [](Model&, Window& w) { return w.style & WS_DISABLED ? FALSE : TRUE; });
}

BOOL SetForegroundWindow(HWND window)
{
    return withWindow(window, [&](Model& m, Window& w) {
        HWND top = window;
        for (const Window* v = &w; v->parent; v = find(m, v->parent))
            top = v->parent;
        m.foreground = top;
    });
}

HWND GetForegroundWindow()
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    return find(m, m.foreground) ? m.foreground : nullptr;
}

BOOL InvalidateRect(HWND window, const CRect* rect, BOOL)
{
    return withWindow(window, [&](Model&, Window& w) {
        w.invalidated.push_back(rect ? *rect : CRect(0, 0, w.width, w.height));
    });
}

BOOL ValidateRect(HWND window, const CRect* rect)
{
    return withWindow(window, [&](Model&, Window& w) {
        auto& list = w.invalidated;
        if (!rect)
            list.clear();
        else
            list.erase(std::remove(list.begin(), list.end(), *rect), list.end());
    });
}

std::vector<CRect> invalidatedRects(HWND window)
{
    std::vector<CRect> rects;
    withWindow(window, [&](Model&, Window& w) { rects = w.invalidated; });
    return rects;
}

int GetDlgCtrlID(HWND window)
{
    int id = 0;
    withWindow(window, [&](Model&, Window& w) { id = w.parent ? w.id : 0; });
    return id;
}

HWND GetDlgItem(HWND parent, int id)
{
    return windowValue(parent, HWND(nullptr), [&](Model& m, Window& w) {
        for (HWND child : w.children)
            if (find(m, child)->id == id)
                return child;
        return HWND(nullptr);
    });
}

void SetWindowFont(HWND window, HFONT font, BOOL redraw)
{
    withWindow(window, [&](Model&, Window& w) {
        w.font = font;
        if (redraw)
            w.invalidated.push_back(CRect(0, 0, w.width, w.height));
    });
}

HFONT GetWindowFont(HWND window)
{
    HFONT font = nullptr;
    withWindow(window, [&](Model&, Window& w) { font = w.font; });
    return font;
}

BOOL SetPropW(HWND window, LPCWSTR name, void* value)
{
    if (!name)
        return FALSE;
    return withWindow(window, [&](Model&, Window& w) { w.properties[name] = value; });
}

void* GetPropW(HWND window, LPCWSTR name)
{
    void* value = nullptr;
    if (name)
        withWindow(window, [&](Model&, Window& w) {
            auto it = w.properties.find(name);
            value = it == w.properties.end() ? nullptr : it->second;
        });
    return value;
}

void* RemovePropW(HWND window, LPCWSTR name)
{
    void* value = nullptr;
    if (name)
        withWindow(window, [&](Model&, Window& w) {
            auto it = w.properties.find(name);
            if (it != w.properties.end()) {
                value = it->second;
                w.properties.erase(it);
            }
        });
    return value;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    for (const auto& entry : m.windows) {
        const Window& w = entry.second;
        if (!w.parent && (!className || w.className == className) &&
            (!windowName || w.text == windowName))
            return handleOf(entry.first);
    }
    return nullptr;
}

int GetWindowTextW(HWND window, LPWSTR buffer, int maxCount)
{
    return windowValue(window, 0, [&](Model&, Window& w) { return copyText(w.text, buffer, maxCount); });
}

int GetWindowTextLengthW(HWND window)
{
    return windowValue(window, 0, [](Model&, Window& w) { return w.text.size(); });
}

BOOL SetWindowTextW(HWND window, LPCWSTR text)
{
    return windowValue(window, FALSE, [&](Model&, Window& w) {
        w.text = text ? text : L"";
        return TRUE;
    });
}

int GetClassNameW(HWND window, LPWSTR buffer, int maxCount)
{
    return windowValue(window, 0, [&](Model&, Window& w) { return copyText(w.className, buffer, maxCount); });
}

LONG GetWindowLongW(HWND window, int index)
{
    if (index != GWL_STYLE)
        return 0;
    return windowValue(window, LONG(0), [](Model&, Window& w) { return w.style; });
}

LONG SetWindowLongW(HWND window, int index, LONG value)
{
    if (index != GWL_STYLE)
        return 0;
    return windowValue(window, LONG(0), [&](Model&, Window& w) {
        return std::exchange(w.style, static_cast<DWORD>(value));
    });
}

INT_PTR GetWindowLongPtrW(HWND window, int index)
{
    return windowValue(window, INT_PTR(0), [&](Model&, Window& w) {
        if (index == GWLP_WNDPROC)
            return reinterpret_cast<INT_PTR>(w.procedure);
        return index == GWLP_USERDATA ? w.userData : 0;
    });
}

INT_PTR SetWindowLongPtrW(HWND window, int index, INT_PTR value)
{
    return windowValue(window, INT_PTR(0), [&](Model&, Window& w) {
        if (index == GWLP_WNDPROC)
            return reinterpret_cast<INT_PTR>(
                std::exchange(w.procedure, value ? reinterpret_cast<WNDPROC>(value) : &DefWindowProcW));
        return index == GWLP_USERDATA ? std::exchange(w.userData, value) : 0;
    });
}

HWND GetParent(HWND window)
{
    return windowValue(window, HWND(nullptr), [](Model&, Window& w) { return w.parent; });
}

std::vector<HWND> childWindows(HWND window)
{
    return windowValue(window, std::vector<HWND>(), [](Model&, Window& w) { return w.children; });
}

HMENU GetMenu(HWND window)
{
    return windowValue(window, HMENU(nullptr), [](Model&, Window& w) { return w.menu; });
}

BOOL SetMenu(HWND window, HMENU menu)
{
    if (menu && !IsMenu(menu)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return withWindow(window, [&](Model&, Window& w) { w.menu = menu; });
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId)
{
    return windowValue(window, DWORD(0), [&](Model&, Window& w) {
        if (processId)
            *processId = 1;
        return w.thread;
    });
}

LRESULT DefWindowProcW(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

LRESULT callWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Called outside the lock: the procedure may call back into the model.
    const WNDPROC procedure = windowValue(window, WNDPROC(nullptr), [](Model&, Window& w) { return w.procedure; });
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

void forgetThreadWindows(DWORD threadId)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    std::vector<HWND> ended;
    for (const auto& entry : m.windows)
        if (entry.second.thread == threadId)
            ended.push_back(handleOf(entry.first));
    for (HWND window : ended)
        eraseWindow(m, window);
}

// ---- CWnd ----

CWnd::~CWnd()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

BOOL CWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const CRect& rect,
                  CWnd* parent, UINT id)
{
    if (m_hWnd)
        return FALSE;
    const HWND window = CreateWindowW(
        className, windowName, style, rect.left, rect.top, rect.right - rect.left,
        rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
        reinterpret_cast<void*>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
    if (!window)
        return FALSE;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<INT_PTR>(this));
    m_superProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<INT_PTR>(&CWnd::procedure)));
    m_hWnd = window;
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CWnd::SetWindowText(LPCWSTR text)
{
    return SetWindowTextW(m_hWnd, text);
}

int CWnd::GetWindowText(LPWSTR buffer, int maxCount) const
{
    return GetWindowTextW(m_hWnd, buffer, maxCount);
}

DWORD CWnd::GetStyle() const
{
    return static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_STYLE));
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add)
{
    if (!IsWindow(m_hWnd))
        return FALSE;
    SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>((GetStyle() & ~remove) | add));
    return TRUE;
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::GetWindowRect(CRect* rect) const { ::GetWindowRect(m_hWnd, rect); }
void CWnd::GetClientRect(CRect* rect) const { ::GetClientRect(m_hWnd, rect); }
void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}
void CWnd::MoveWindow(const CRect& rect, BOOL repaint)
{
    ::MoveWindow(m_hWnd, rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}
BOOL CWnd::SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags)
{
    return ::SetWindowPos(m_hWnd, insertAfter, x, y, width, height, flags);
}
BOOL CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
void CWnd::ClientToScreen(CPoint* point) const { ::ClientToScreen(m_hWnd, point); }
void CWnd::ScreenToClient(CPoint* point) const { ::ScreenToClient(m_hWnd, point); }
void CWnd::Invalidate(BOOL erase) { ::InvalidateRect(m_hWnd, nullptr, erase); }
void CWnd::InvalidateRect(const CRect* rect, BOOL erase) { ::InvalidateRect(m_hWnd, rect, erase); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
HWND CWnd::GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
HWND CWnd::GetParent() const { return ::GetParent(m_hWnd); }
void CWnd::SetFont(CFont* font, BOOL redraw)
{
    ::SetWindowFont(m_hWnd, font ? font->GetSafeHandle() : nullptr, redraw);
}
HFONT CWnd::GetFontHandle() const { return ::GetWindowFont(m_hWnd); }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_superProcedure)
        return m_superProcedure(m_hWnd, message, wParam, lParam);
    return DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* self = reinterpret_cast<CWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message != WM_NCDESTROY)
        return self->WindowProc(message, wParam, lParam);
    // The last message: the object lets go of the window before its own clean-up.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->WindowProc(message, wParam, lParam);
    self->m_hWnd = nullptr;
    self->PostNcDestroy();
    return 0;
}
