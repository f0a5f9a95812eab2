// The window model: creation and destruction (children first, WM_DESTROY to each), handles
// that are never reused, look-up by class and text, text and style, CWnd.
#include "platform/messages.h"
#include "platform/windowStub.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

// The order in which windows got WM_DESTROY and WM_NCDESTROY, by their text.
std::vector<std::wstring> destroyed;

std::wstring textOf(HWND window)
{
    wchar_t text[64];
    GetWindowTextW(window, text, 64);
    return text;
}

LRESULT recordDestroy(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_DESTROY) {
        EXPECT_TRUE(IsWindow(window)) << "still a window during WM_DESTROY";
        destroyed.push_back(textOf(window));
    } else if (message == WM_NCDESTROY) {
        destroyed.push_back(textOf(window) + L" last");
    }
    return 0;
}

HWND make(const wchar_t* text, HWND parent)
{
    HWND window = CreateWindowW(L"Test", text, parent ? WS_CHILD : 0, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<INT_PTR>(&recordDestroy));
    return window;
}

TEST(Windows, DestroyTakesChildrenFirst)
{
    destroyed.clear();
    HWND top = make(L"top", nullptr);
    HWND a = make(L"a", top);
    HWND a1 = make(L"a1", a);
    HWND b = make(L"b", top);
    EXPECT_EQ(childWindows(top), (std::vector<HWND>{a, b})) << "creation order";
    EXPECT_EQ(GetParent(a1), a);
    EXPECT_EQ(GetParent(top), nullptr);
    EXPECT_TRUE(DestroyWindow(top));
    EXPECT_EQ(destroyed, (std::vector<std::wstring>{L"a1", L"a1 last", L"a", L"a last", L"b", L"b last", L"top",
                                                    L"top last"}));
    for (HWND w : {top, a, a1, b})
        EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(DestroyWindow(top)) << "already gone";
}

TEST(Windows, DestroyingAChildLeavesTheParent)
{
    destroyed.clear();
    HWND top = make(L"top", nullptr);
    HWND a = make(L"a", top);
    HWND b = make(L"b", top);
    EXPECT_TRUE(DestroyWindow(a));
    EXPECT_EQ(childWindows(top), (std::vector<HWND>{b}));
    EXPECT_TRUE(IsWindow(top));
    EXPECT_EQ(CreateWindowW(L"Test", L"", WS_CHILD, 0, 0, 1, 1, a, nullptr, nullptr, nullptr), nullptr)
        << "the parent must exist";
    DestroyWindow(top);
}

TEST(Windows, HandlesAreNeverReused)
{
    std::set<HWND> seen;
    for (int i = 0; i < 1000; ++i) {
        HWND window = createWindowStub(10, 10);
        ASSERT_TRUE(seen.insert(window).second) << "handle reused at " << i;
        destroyWindowStub(window);
        EXPECT_FALSE(IsWindow(window));
    }
}

TEST(Windows, TextStyleClassAndFind)
{
    HWND w = CreateWindowW(L"Keybord Window", L"Keys", WS_POPUP, 0, 0, 240, 80, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowW(L"Keybord Window", L"Child", WS_CHILD, 0, 0, 1, 1, w, nullptr, nullptr, nullptr);
    EXPECT_EQ(FindWindowW(L"Keybord Window", nullptr), w);
    EXPECT_EQ(FindWindowW(nullptr, L"Keys"), w);
    EXPECT_EQ(FindWindowW(L"Keybord Window", L"Keys"), w);
    EXPECT_EQ(FindWindowW(nullptr, L"Child"), nullptr) << "top-level windows only";
    EXPECT_EQ(FindWindowW(L"keybord window", nullptr), nullptr) << "case counts";

    EXPECT_EQ(textOf(w), L"Keys");
    EXPECT_EQ(GetWindowTextLengthW(w), 4);
    EXPECT_TRUE(SetWindowTextW(w, L"Keyboard"));
    EXPECT_EQ(textOf(w), L"Keyboard");
    wchar_t small[4];
    EXPECT_EQ(GetWindowTextW(w, small, 4), 3);
    EXPECT_EQ(std::wstring(small), L"Key") << "cut and terminated";
    wchar_t className[32];
    EXPECT_EQ(GetClassNameW(w, className, 32), 14);
    EXPECT_EQ(std::wstring(className), L"Keybord Window");

    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE)), WS_POPUP);
    EXPECT_EQ(static_cast<DWORD>(SetWindowLongW(w, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_VISIBLE))), WS_POPUP);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE)), WS_POPUP | WS_VISIBLE);

    CRect rect;
    EXPECT_TRUE(GetClientRect(w, &rect));
    EXPECT_EQ(rect, CRect(0, 0, 240, 80));
    EXPECT_EQ(GetTextWidth(w, L"abc", 3), 3 * kStubCharWidth);
    EXPECT_EQ(GetWindowThreadProcessId(w, nullptr), GetCurrentThreadId());

    DestroyWindow(w);
    EXPECT_EQ(FindWindowW(L"Keybord Window", nullptr), nullptr);
    EXPECT_FALSE(SetWindowTextW(w, L"x"));
    EXPECT_EQ(GetWindowTextW(w, small, 4), 0);
    EXPECT_FALSE(GetClientRect(w, &rect));
    EXPECT_EQ(GetTextWidth(w, L"abc", 3), 0);
    EXPECT_FALSE(IsWindow(child));
}

TEST(Windows, AThreadsWindowsEndWithIt)
{
    HWND window = nullptr;
    std::thread owner([&] { window = createWindowStub(5, 5); });
    owner.join();
    EXPECT_NE(window, nullptr);
    EXPECT_FALSE(IsWindow(window));
}

class Counted : public CWnd {
public:
    int destroys = 0;
    int ncDestroys = 0;
    bool* gone = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        destroys += message == WM_DESTROY;
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override
    {
        ++ncDestroys;
        if (gone)
            *gone = true;
    }
};

TEST(CWndObjects, CreateDestroyAndStyle)
{
    Counted parent;
    Counted child;
    ASSERT_TRUE(parent.Create(L"Frame", L"Title", 0, CRect(0, 0, 100, 50), nullptr));
    EXPECT_FALSE(parent.Create(L"Frame", L"Again", 0, CRect(0, 0, 1, 1), nullptr)) << "one window per object";
    ASSERT_TRUE(child.Create(L"Button", L"OK", WS_CHILD, CRect(10, 10, 30, 20), &parent));
    CRect rect;
    GetClientRect(child, &rect);
    EXPECT_EQ(rect, CRect(0, 0, 20, 10));
    EXPECT_TRUE(parent.ModifyStyle(0, WS_VISIBLE));
    EXPECT_TRUE(child.ModifyStyle(WS_CHILD, WS_POPUP));
    EXPECT_EQ(parent.GetStyle(), WS_VISIBLE);
    EXPECT_EQ(child.GetStyle(), WS_POPUP);
    EXPECT_TRUE(parent.SetWindowText(L"New"));
    wchar_t text[8];
    EXPECT_EQ(parent.GetWindowText(text, 8), 3);

    const HWND childHandle = child;
    EXPECT_TRUE(parent.DestroyWindow());
    EXPECT_EQ(child.destroys, 1) << "the parent's destruction reached the child object";
    EXPECT_EQ(child.ncDestroys, 1);
    EXPECT_EQ(child.m_hWnd, nullptr);
    EXPECT_EQ(parent.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(childHandle));
    EXPECT_FALSE(parent.DestroyWindow());
    EXPECT_FALSE(parent.ModifyStyle(0, 1));
}

TEST(CWndObjects, DestructorDestroysTheWindow)
{
    HWND handle;
    {
        Counted window;
        ASSERT_TRUE(window.Create(L"Frame", L"", 0, CRect(0, 0, 1, 1), nullptr));
        handle = window;
    }
    EXPECT_FALSE(IsWindow(handle));
}

TEST(CWndObjects, ObjectMayDeleteItselfAfterItsWindow)
{
    bool gone = false;
    struct SelfDeleting : Counted {
        void PostNcDestroy() override
        {
            Counted::PostNcDestroy();
            delete this;
        }
    };
    SelfDeleting* window = new SelfDeleting;
    window->gone = &gone;
    ASSERT_TRUE(window->Create(L"Popup", L"", 0, CRect(0, 0, 1, 1), nullptr));
    const HWND handle = *window;
    EXPECT_TRUE(DestroyWindow(handle));
    EXPECT_TRUE(gone);
}

} // namespace

TEST(WindowGeometry, PlacesAreInTheParentsClientCoordinates)
{
    HWND top = CreateWindowW(L"Frame", L"", WS_POPUP, 10, 20, 200, 100, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowW(L"Pane", L"", WS_CHILD, 5, 6, 50, 40, top, reinterpret_cast<HMENU>(7), nullptr, nullptr);
    HWND grandchild = CreateWindowW(L"Pane", L"", WS_CHILD, 1, 2, 3, 4, child, nullptr, nullptr, nullptr);
    CRect rect;
    ASSERT_TRUE(GetWindowRect(grandchild, &rect));
    EXPECT_EQ(rect, CRect(16, 28, 19, 32));
    CPoint point(0, 0);
    ASSERT_TRUE(ClientToScreen(child, &point));
    EXPECT_EQ(point, CPoint(15, 26));
    ASSERT_TRUE(ScreenToClient(child, &point));
    EXPECT_EQ(point, CPoint(0, 0));

    ASSERT_TRUE(MoveWindow(child, 30, 40, -1, 12, TRUE));
    GetWindowRect(child, &rect);
    EXPECT_EQ(rect, CRect(40, 60, 40, 72)) << "negative sizes count as 0";
    EXPECT_EQ(invalidatedRects(top), (std::vector<CRect>{CRect(5, 6, 55, 46), CRect(30, 40, 30, 52)}))
        << "the old and new places in the parent";
    ASSERT_TRUE(SetWindowPos(child, nullptr, 0, 0, 8, 9, SWP_NOMOVE | SWP_NOZORDER));
    GetWindowRect(child, &rect);
    EXPECT_EQ(rect, CRect(40, 60, 48, 69));
    EXPECT_TRUE(ValidateRect(top, nullptr));
    EXPECT_TRUE(invalidatedRects(top).empty());

    EXPECT_EQ(GetDlgCtrlID(child), 7);
    EXPECT_EQ(GetDlgCtrlID(top), 0) << "a top-level window has no identifier";
    EXPECT_EQ(GetDlgItem(top, 7), child);
    EXPECT_EQ(GetDlgItem(top, 8), nullptr);
    DestroyWindow(top);
    EXPECT_FALSE(GetWindowRect(child, &rect));
    EXPECT_FALSE(MoveWindow(child, 0, 0, 1, 1, FALSE));
    EXPECT_FALSE(ClientToScreen(child, &point));
}

TEST(WindowGeometry, ShowEnableForegroundAndProperties)
{
    HWND top = CreateWindowW(L"Frame", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowW(L"Pane", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, top, nullptr, nullptr, nullptr);
    EXPECT_FALSE(IsWindowVisible(child)) << "its parent is hidden";
    EXPECT_FALSE(ShowWindow(top, SW_SHOW)) << "was hidden";
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_TRUE(ShowWindow(child, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_TRUE(IsWindowVisible(top));

    EXPECT_TRUE(IsWindowEnabled(child));
    EXPECT_FALSE(EnableWindow(child, FALSE));
    EXPECT_FALSE(IsWindowEnabled(child));
    EXPECT_TRUE(EnableWindow(child, TRUE)) << "was disabled";

    EXPECT_TRUE(SetForegroundWindow(child));
    EXPECT_EQ(GetForegroundWindow(), top) << "the top-level ancestor";

    int value = 0;
    EXPECT_TRUE(SetPropW(child, L"p", &value));
    EXPECT_EQ(GetPropW(child, L"p"), &value);
    EXPECT_EQ(GetPropW(child, L"q"), nullptr);
    EXPECT_EQ(RemovePropW(child, L"p"), &value);
    EXPECT_EQ(GetPropW(child, L"p"), nullptr);
    EXPECT_FALSE(SetPropW(child, nullptr, &value));

    ASSERT_TRUE(InvalidateRect(child, nullptr, TRUE));
    const CRect part(1, 1, 2, 2);
    ASSERT_TRUE(InvalidateRect(child, &part, TRUE));
    EXPECT_EQ(invalidatedRects(child), (std::vector<CRect>{CRect(0, 0, 5, 5), part}));
    ValidateRect(child, &part);
    EXPECT_EQ(invalidatedRects(child), std::vector<CRect>{CRect(0, 0, 5, 5)});

    DestroyWindow(top);
    EXPECT_EQ(GetForegroundWindow(), nullptr) << "gone with its window";
    EXPECT_FALSE(SetForegroundWindow(top));
    EXPECT_FALSE(IsWindowVisible(top));
    EXPECT_FALSE(IsWindowEnabled(top));
}

TEST(CWndObjects, SubclassedControlsKeepTheirProcedure)
{
    Counted parent;
    ASSERT_TRUE(parent.Create(L"Frame", L"", 0, CRect(0, 0, 100, 50), nullptr));
    Counted button;
    ASSERT_TRUE(button.Create(L"Button", L"OK", WS_CHILD, CRect(1, 2, 51, 25), &parent, 1));
    EXPECT_EQ(button.GetDlgCtrlID(), 1);
    EXPECT_EQ(parent.GetDlgItem(1), button.GetSafeHwnd());
    button.SendMessage(0x00F1 /* BM_SETCHECK */, 1, 0);
    EXPECT_EQ(button.SendMessage(0x00F0 /* BM_GETCHECK */), 1) << "the button's own procedure answered";
    CRect rect;
    button.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(1, 2, 51, 25));
}
