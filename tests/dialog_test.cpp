// The dialog toolkit: templates, modal loops with scripted keys and clicks, the walk of
// PreTranslateMessage from the focus up to the dialog, Enter and Escape, focus notifications,
// edit selection, limit and styles, and the rule for a modal dialog nobody answers.
#include "platform/dialog.h"
#include "platform/keyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kEditTemplate = 7001;
constexpr int kEdit = 100;
constexpr int kNumber = 101;
constexpr int kDefault = 200;

DialogTemplate editTemplate(bool withDefault)
{
    DialogTemplate t;
    t.caption = L"Edit";
    t.rect = CRect(0, 0, 240, 320);
    t.items.push_back({kEdit, L"edit", L"1001", CRect(10, 10, 100, 30), WS_VISIBLE | WS_TABSTOP});
    t.items.push_back({kNumber, L"EDIT", L"", CRect(10, 40, 100, 60), WS_VISIBLE | WS_TABSTOP | ES_NUMBER});
    if (withDefault)
        t.items.push_back({kDefault, L"button", L"Store", CRect(10, 70, 60, 93),
                           WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON});
    return t;
}

// A dialog that records what reached it.
class RecordingDialog : public CDialog {
public:
    RecordingDialog(UINT id, CWnd* parent) : CDialog(id, parent) {}
    std::vector<std::wstring> seen;
    bool consumeF1 = false;

    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN) {
            seen.push_back(L"key " + std::to_wstring(msg->wParam) +
                           (msg->hwnd == m_hWnd ? L" dialog" : L" control"));
            if (msg->wParam == VK_F1 && consumeF1)
                return TRUE;
        }
        return FALSE;
    }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(L"command " + std::to_wstring(LOWORD(wParam)) + L" code " +
                       std::to_wstring(HIWORD(wParam)));
        if (LOWORD(wParam) == kDefault) {
            EndDialog(kDefault);
            return TRUE;
        }
        return CDialog::OnCommand(wParam, lParam);
    }
};

struct HookGuard {
    explicit HookGuard(WindowMadeHook hook) { SetWindowMadeHook(std::move(hook)); }
    ~HookGuard() { SetWindowMadeHook(nullptr); }
};

std::wstring textOf(HWND window)
{
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}

void press(UINT key)
{
    PostKeyEvent(key, false);
    PostKeyEvent(key, true);
}

TEST(Dialog, EnterAndEscapeEndTheModalLoop)
{
    struct Case {
        bool withDefault;
        UINT key;
        INT_PTR result;
        const wchar_t* command;
    };
    const Case cases[] = {
        {true, VK_RETURN, kDefault, L"command 200 code 0"},   // the default button's command
        {false, VK_RETURN, IDOK, L"command 1 code 0"},        // no default button: IDOK
        {true, VK_ESCAPE, IDCANCEL, L"command 2 code 0"},
    };
    for (const Case& c : cases) {
        RegisterDialogTemplate(kEditTemplate, editTemplate(c.withDefault));
        RecordingDialog dialog(kEditTemplate, nullptr);
        HookGuard hook([&](HWND) { press(c.key); });
        EXPECT_EQ(dialog.DoModal(), c.result) << c.key;
        ASSERT_EQ(dialog.seen.size(), 3u);
        EXPECT_EQ(dialog.seen[0], L"command 100 code 256") << "the first edit got the focus";
        EXPECT_EQ(dialog.seen[1], L"key " + std::to_wstring(c.key) + L" control")
            << "the key went to the focused edit and the dialog saw it on the walk";
        EXPECT_EQ(dialog.seen[2], c.command);
        EXPECT_EQ(dialog.m_hWnd, nullptr) << "DoModal destroys its window";
    }
}

TEST(Dialog, ConsumedKeysDoNotReachTheToolkit)
{
    RegisterDialogTemplate(kEditTemplate, editTemplate(false));
    RecordingDialog dialog(kEditTemplate, nullptr);
    dialog.consumeF1 = true;
    HookGuard hook([&](HWND) {
        press(VK_F1);
        ClickButton(nullptr);
        press(VK_ESCAPE);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.seen, (std::vector<std::wstring>{L"command 100 code 256", L"key 112 control", L"key 27 control",
                                                      L"command 2 code 0"}));
}

TEST(Dialog, ClickSendsTheButtonsCommand)
{
    RegisterDialogTemplate(kEditTemplate, editTemplate(true));
    RecordingDialog dialog(kEditTemplate, nullptr);
    HookGuard hook([&](HWND window) {
        HWND button = GetDlgItem(window, kDefault);
        EnableWindow(button, FALSE);
        EXPECT_FALSE(ClickButton(button)) << "a disabled button takes no click";
        EnableWindow(button, TRUE);
        EXPECT_TRUE(ClickButton(button));
    });
    EXPECT_EQ(dialog.DoModal(), kDefault);
}

TEST(Dialog, NobodyToAnswerEndsWithCancel)
{
    RegisterDialogTemplate(kEditTemplate, editTemplate(true));
    RecordingDialog dialog(kEditTemplate, nullptr);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << "no hook, no input: the dialog does not wait";
    RecordingDialog missing(9999, nullptr);
    EXPECT_EQ(missing.DoModal(), -1) << "no template registered under 9999";
}

TEST(Dialog, QuitEndsTheLoopAndStaysQueued)
{
    RegisterDialogTemplate(kEditTemplate, editTemplate(true));
    RecordingDialog dialog(kEditTemplate, nullptr);
    HookGuard hook([&](HWND) { PostQuitMessage(3); });
    EXPECT_EQ(dialog.DoModal(), -1);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
}

// An edit that gets the focus tells its parent; the selection, the limit and the styles.
class FocusDialog : public CDialog {
public:
    FocusDialog() : CDialog(kEditTemplate, nullptr) {}
    std::vector<int> focused;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (HIWORD(wParam) == EN_SETFOCUS)
            focused.push_back(::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
        return CDialog::OnCommand(wParam, lParam);
    }
};

TEST(Dialog, FocusAndEdits)
{
    RegisterDialogTemplate(kEditTemplate, editTemplate(true));
    FocusDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless());
    HWND edit = dialog.GetDlgItem(kEdit);
    HWND number = dialog.GetDlgItem(kNumber);
    EXPECT_EQ(GetFocus(), edit) << "the first tab stop";
    EXPECT_EQ(GetActiveWindow(), dialog.m_hWnd);
    EXPECT_EQ(SetFocus(number), edit);
    EXPECT_EQ(dialog.focused, (std::vector<int>{kEdit, kNumber}));

    DWORD start = 9, end = 9;
    SendMessage(edit, EM_SETSEL, 0, -1);
    SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 4u) << "the whole of \"1001\"";
    SendMessage(edit, EM_SETSEL, 3, 1);
    EXPECT_EQ(SendMessage(edit, EM_GETSEL, 0, 0), (3 << 16) | 1) << "put in order";
    SendMessage(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(SendMessage(edit, EM_GETSEL, 0, 0), (3 << 16) | 3) << "no selection";

    // Typing: the selection is replaced, within the limit and the styles.
    SendMessage(edit, EM_SETSEL, 0, -1);
    SendMessage(edit, EM_LIMITTEXT, 2, 0);
    EXPECT_EQ(SendMessage(edit, EM_GETLIMITTEXT, 0, 0), 2);
    for (wchar_t ch : std::wstring(L"ABC"))
        SendMessage(edit, WM_CHAR, ch, 0);
    EXPECT_EQ(textOf(edit), L"AB") << "the third character is over the limit";
    SendMessage(edit, EM_SETREADONLY, TRUE, 0);
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
    SendMessage(edit, WM_CHAR, VK_BACK, 0);
    EXPECT_EQ(textOf(edit), L"AB") << "read-only";
    for (wchar_t ch : std::wstring(L"1a2"))
        SendMessage(number, WM_CHAR, ch, 0);
    EXPECT_EQ(textOf(number), L"12") << "digits only";

    // A modeless dialog's own loop: the caller's, with the dialog's processing.
    PostKeyEvent(VK_ESCAPE, false);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(PreTranslateDialogMessage(&msg));
    EXPECT_EQ(dialog.GetResult(), IDCANCEL);
    EXPECT_FALSE(IsWindowVisible(dialog.m_hWnd)) << "a modeless dialog is hidden by EndDialog";
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST(Dialog, NestedModalDialogsRestoreTheFocus)
{
    RegisterDialogTemplate(kEditTemplate, editTemplate(true));
    FocusDialog outer;
    ASSERT_TRUE(outer.CreateModeless());
    HWND number = outer.GetDlgItem(kNumber);
    SetFocus(number);
    RecordingDialog inner(kEditTemplate, &outer);
    EXPECT_TRUE(IsDialogWindow(outer.m_hWnd));
    EXPECT_EQ(inner.DoModal(), IDCANCEL);
    EXPECT_EQ(GetActiveWindow(), outer.m_hWnd);
    EXPECT_EQ(GetFocus(), number);
}

} // namespace
