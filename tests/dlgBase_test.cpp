// The dialog base: the bar it builds from its choices, the messages to the application when a
// top-level dialog opens and closes, the hardware-key table, the calculator key, the focus rule,
// the control functions, the bold font and the soft-keyboard indicator.
#include "dialogs/calculator.h"
#include "dialogs/dlgBase.h"
#include "files/globalSettings.h"
#include "platform/keyboard.h"
#include "platform/messageBox.h"
#include "platform/screen.h"
#include "tests/deviceRootFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kTemplate = 7101;
constexpr int kEdit = 100;
constexpr int kNumber = 101;
constexpr int kCheck = 102;
constexpr int kLabel = 103;

void registerTemplate()
{
    DialogTemplate t;
    t.caption = L"Point";
    t.items.push_back({kEdit, L"edit", L"1001", CRect(10, 30, 100, 50), WS_VISIBLE | WS_TABSTOP});
    t.items.push_back({kNumber, L"edit", L"12", CRect(10, 60, 100, 80), WS_VISIBLE | WS_TABSTOP | ES_READONLY});
    t.items.push_back({kCheck, L"button", L"Store", CRect(10, 90, 100, 110), WS_VISIBLE | BS_AUTOCHECKBOX});
    t.items.push_back({kLabel, L"static", L"Name", CRect(110, 30, 200, 50), WS_VISIBLE});
    RegisterDialogTemplate(kTemplate, t);
}

// The settings this file changes, back to their start values after each test.
class DlgBaseTest : public DeviceRootTest {
protected:
    void SetUp() override
    {
        DeviceRootTest::SetUp();
        registerTemplate();
        SetMainWindow(nullptr);
    }
    void TearDown() override
    {
        SetCountry(1);
        ::SetBoldFont(0);
        SetShowAlphaKeyMode(false);
        SetWindowMadeHook(nullptr);
        SetMainWindow(nullptr);
        DeviceRootTest::TearDown();
    }
};

// The text of the bar's button at a position ("" when there is none).
std::wstring buttonAt(CTitlebar& bar, const wchar_t* pos)
{
    HWND window = bar.GetButtonWindow(pos);
    if (!window)
        return L"";
    wchar_t text[32] = {};
    GetWindowTextW(window, text, 32);
    return text + std::wstring(L" ") + std::to_wstring(GetDlgCtrlID(window));
}

TEST_F(DlgBaseTest, TheBarFollowsTheChoices)
{
    struct Case {
        const char* name;
        void (*choose)(CDlgBase&);
        const wchar_t* y;
        const wchar_t* z;
    };
    const Case cases[] = {
        {"default: Close alone", [](CDlgBase&) {}, L"", L"Close 2"},
        {"OK with Close", [](CDlgBase& d) { d.ShowOkButton(); }, L"OK 1", L"Close 2"},
        {"OK and Cancel", [](CDlgBase& d) { d.ShowCancelButton(); d.ShowOkButton(); }, L"OK 1", L"Cancel 2"},
        {"OK alone", [](CDlgBase& d) { d.ShowOkButton(); d.HideCloseButton(); }, L"", L"OK 1"},
        {"Finish replaces OK", [](CDlgBase& d) { d.ShowOkButton(); d.ShowFinishButton(); }, L"Finish 1", L"Close 2"},
        {"OK replaces Finish", [](CDlgBase& d) { d.ShowFinishButton(); d.ShowOkButton(); d.HideCloseButton(); }, L"", L"OK 1"},
        {"nothing", [](CDlgBase& d) { d.HideCloseButton(); }, L"", L""},
    };
    for (const Case& c : cases) {
        CDlgBase dialog(kTemplate, nullptr);
        c.choose(dialog);
        ASSERT_TRUE(dialog.CreateModeless()) << c.name;
        EXPECT_EQ(buttonAt(dialog.Titlebar(), L"Y"), c.y) << c.name;
        EXPECT_EQ(buttonAt(dialog.Titlebar(), L"Z"), c.z) << c.name;
        EXPECT_EQ(buttonAt(dialog.Titlebar(), L"A"), L" 11023") << c.name << ": the menu button";
        CRect title;
        EXPECT_TRUE(dialog.Titlebar().GetItemRect(L"B", title)) << c.name;
    }
}

TEST_F(DlgBaseTest, HelpItemUnlessCountry81)
{
    for (int country : {1, 81, 44}) {
        SetCountry(country);
        CDlgBase dialog(kTemplate, nullptr);
        dialog.HideTitle();
        ASSERT_TRUE(dialog.CreateModeless());
        HMENU menu = dialog.Titlebar().GetButtonMenu(L"A");
        ASSERT_NE(menu, nullptr);
        if (country == 81) {
            EXPECT_EQ(GetMenuItemCount(menu), 0);
        } else {
            ASSERT_EQ(GetMenuItemCount(menu), 1) << country;
            EXPECT_EQ(GetMenuItemID(menu, 0), 83u);
            wchar_t text[16] = {};
            GetMenuStringW(menu, 0, text, 16, MF_BYPOSITION);
            EXPECT_STREQ(text, L"Help");
        }
        CRect title(1, 2, 3, 4);
        EXPECT_FALSE(dialog.Titlebar().GetItemRect(L"B", title)) << "HideTitle: no title at B";
    }
}

// A window that counts the application's two messages it gets, sent or posted.
class ApplicationWindow : public CWnd {
public:
    int opened = 0;
    int closed = 0;
    // Runs the posted messages of the thread.
    void pump()
    {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_DIALOG_OPENED && wParam == 0 && lParam == 0)
            ++opened;
        if (message == WM_DIALOG_CLOSED && wParam == 0 && lParam == 0)
            ++closed;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST_F(DlgBaseTest, TopLevelDialogsTellTheApplicationNestedOnesDoNot)
{
    ApplicationWindow parent;
    ASSERT_TRUE(parent.Create(L"Application", L"", WS_POPUP, CRect(0, 0, 240, 320), nullptr));
    {
        CDlgBase top(kTemplate, &parent);
        EXPECT_FALSE(top.IsNested());
        ASSERT_TRUE(top.CreateModeless());
        EXPECT_EQ(parent.opened, 1) << "sent while initialising";

        CDlgBase nested(kTemplate, &top);
        EXPECT_TRUE(nested.IsNested());
        EXPECT_EQ(nested.DoModal(), IDCANCEL) << "nobody answers";
        parent.pump();
        EXPECT_EQ(parent.opened, 1);
        EXPECT_EQ(parent.closed, 0) << "a nested dialog posts nothing";
        EXPECT_TRUE(top.DestroyWindow());
        EXPECT_EQ(parent.closed, 0) << "posted, not sent";
        parent.pump();
        EXPECT_EQ(parent.closed, 1) << "no main window: the parent";
    }

    ApplicationWindow main;
    ASSERT_TRUE(main.Create(L"Application", L"", WS_POPUP, CRect(0, 0, 240, 320), nullptr));
    SetMainWindow(main.m_hWnd);
    {
        CDlgBase top(kTemplate, &parent);
        EXPECT_EQ(top.DoModal(), IDCANCEL);
    }
    parent.pump();
    EXPECT_EQ(parent.opened, 2);
    EXPECT_EQ(parent.closed, 1) << "the main window gets it";
    EXPECT_EQ(main.closed, 1);

    CDlgBase orphan(kTemplate, nullptr);
    EXPECT_EQ(orphan.DoModal(), IDCANCEL);
    parent.pump();
    EXPECT_EQ(main.opened, 0) << "no parent: nothing sent";
    EXPECT_EQ(main.closed, 2);
}

// A dialog whose handlers record their calls and answer as told.
class RecordingDialog : public CDlgBase {
public:
    RecordingDialog() : CDlgBase(kTemplate, nullptr) {}
    std::vector<std::string> calls;
    int answer = 0;      // what every handler returns
    bool calcOpens = false;   // CalcKey: the base's (opens the calculator) or a recording

    int UpdateAlphaKeyIndicator() override { return record("alpha"); }
    int FunctionKeyF1() override { return record("F1"); }
    int FunctionKeyF2() override { return record("F2"); }
    int FunctionKeyF5() override { return record("F5"); }
    int FunctionKeyF9() override { return record("F9"); }
    int EnterKey() override { return record("Enter"); }
    int EscapeKey() override { return record("Escape"); }
    int ArrowUpKey() override { return record("Up"); }
    int ArrowDownKey() override { return record("Down"); }
    int ArrowLeftKey() override { return record("Left"); }
    int ArrowRightKey() override { return record("Right"); }
    int CalcKey() override
    {
        if (calcOpens) {
            calls.push_back("calc");
            return CDlgBase::CalcKey();
        }
        return record("calc");
    }

private:
    int record(const char* name)
    {
        calls.push_back(name);
        return answer;
    }
};

struct Key {
    UINT code;
    bool up;
};

TEST_F(DlgBaseTest, KeyTable)
{
    const Key shift{VK_SHIFT, false}, shiftUp{VK_SHIFT, true}, prefix{0xC1, false};
    struct Case {
        const char* name;
        std::vector<Key> before;   // pressed first (their results are not checked)
        Key key;
        int answer;                // what the handlers return
        bool indicator;            // the soft-keyboard indicator setting
        const char* handler;       // "" for none
        bool consumed;
        bool prefixAfter;
        bool shiftAfter;
    };
    const Case cases[] = {
        {"F1 handled", {}, {VK_F1, false}, 1, false, "F1", true, false, false},
        {"F1 not handled", {}, {VK_F1, false}, 0, false, "F1", false, false, false},
        {"F2", {}, {0x71, false}, 1, false, "F2", true, false, false},
        {"F5", {}, {0x74, false}, 1, false, "F5", true, false, false},
        {"F9", {}, {VK_F9, false}, 1, false, "F9", true, false, false},
        {"Enter", {}, {VK_RETURN, false}, 1, false, "Enter", true, false, false},
        {"Escape not handled", {}, {VK_ESCAPE, false}, 0, false, "Escape", false, false, false},
        {"Up", {}, {VK_UP, false}, 1, false, "Up", true, false, false},
        {"Down", {}, {VK_DOWN, false}, 1, false, "Down", true, false, false},
        {"Left", {}, {VK_LEFT, false}, 1, false, "Left", true, false, false},
        {"Right", {}, {VK_RIGHT, false}, 1, false, "Right", true, false, false},
        {"F1 key up goes on", {}, {VK_F1, true}, 1, false, "", false, false, false},
        {"Shift", {}, shift, 1, false, "", true, false, true},
        {"Shift up", {shift}, shiftUp, 1, false, "", false, false, false},
        {"prefix", {}, prefix, 1, false, "", true, true, false},
        {"prefix then F", {prefix}, {'F', false}, 1, false, "calc", true, true, false},
        {"prefix then F, 0", {prefix}, {'F', false}, 0, false, "calc", false, false, false},
        {"F alone", {}, {'F', false}, 1, false, "", false, false, false},
        {"prefix then F1 (a function key, not F)", {prefix}, {VK_F1, false}, 1, false, "F1", true, true, false},
        {"prefix then F1, 0", {prefix}, {VK_F1, false}, 0, false, "F1", false, false, false},
        {"prefix then another key", {prefix}, {'A', false}, 1, false, "", false, false, false},
        {"prefix, key up", {prefix}, {'A', true}, 1, false, "", false, true, false},
        {"Shift then 0xBF", {shift}, {0xBF, false}, 1, false, "calc", true, false, true},
        {"Shift then 0xBF, 0", {shift}, {0xBF, false}, 0, false, "calc", false, false, true},
        {"0xBF alone", {}, {0xBF, false}, 1, false, "", false, false, false},
        {"Shift up then 0xBF", {shift, shiftUp}, {0xBF, false}, 1, false, "", false, false, false},
        {"Shift then F1", {shift}, {VK_F1, false}, 1, false, "F1", true, false, true},
        {"F24, indicator on", {prefix}, {VK_F24, false}, 1, true, "alpha", false, false, false},
        {"F24, indicator off", {}, {VK_F24, false}, 1, false, "", false, false, false},
        {"prefix twice", {prefix}, prefix, 0, false, "", true, true, false},
    };
    for (const Case& c : cases) {
        SetShowAlphaKeyMode(c.indicator);
        RecordingDialog dialog;
        ASSERT_TRUE(dialog.CreateModeless());
        HWND edit = dialog.GetDlgItem(kEdit);
        dialog.answer = 1;
        for (const Key& k : c.before) {
            MSG msg{edit, k.up ? WM_KEYUP : WM_KEYDOWN, k.code, 0, 0};
            dialog.PreTranslateMessage(&msg);
        }
        dialog.calls.clear();
        dialog.answer = c.answer;
        MSG msg{edit, c.key.up ? WM_KEYUP : WM_KEYDOWN, c.key.code, 0, 0};
        const BOOL consumed = dialog.PreTranslateMessage(&msg);
        const std::vector<std::string> expected =
            *c.handler ? std::vector<std::string>{c.handler} : std::vector<std::string>{};
        EXPECT_EQ(dialog.calls, expected) << c.name;
        EXPECT_EQ(consumed != FALSE, c.consumed) << c.name;
        EXPECT_EQ(dialog.CalcPrefixPressed(), c.prefixAfter) << c.name;
        EXPECT_EQ(dialog.ShiftHeld(), c.shiftAfter) << c.name;
    }
}

TEST_F(DlgBaseTest, ShiftThenSlashOpensTheCalculatorThroughTheLoop)
{
    RecordingDialog dialog;
    dialog.calcOpens = true;
    HWND calculator = nullptr;
    std::vector<std::string> callsAtEnd;
    SetWindowMadeHook([&](HWND window) {
        wchar_t name[32] = {};
        GetClassNameW(window, name, 32);
        if (std::wstring(name) == kCalculatorClass) {
            calculator = window;
            return;
        }
        // Keys go to the focused edit; the dialog still sees them.
        ASSERT_EQ(GetFocus(), dialog.GetDlgItem(kEdit));
        PostKeyEvent(0xBF, false);             // alone: normal processing
        PostKeyEvent(VK_SHIFT, false);
        PostKeyEvent(0xBF, false);             // with Shift: the calculator
        PostKeyEvent(VK_ESCAPE, false);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << "Escape: not handled, so the toolkit's IDCANCEL";
    EXPECT_EQ(dialog.calls, (std::vector<std::string>{"calc", "Escape"}));
    EXPECT_NE(calculator, nullptr) << "the calculator was made once";
    EXPECT_FALSE(IsWindow(calculator)) << "owned by the dialog: gone with it";
    EXPECT_FALSE(dialog.ShiftHeld()) << "CalcKey clears both flags";
}

TEST_F(DlgBaseTest, CalculatorIsOpenedOncePerDialog)
{
    CDlgBase dialog(kTemplate, nullptr);
    ASSERT_TRUE(dialog.CreateModeless());
    EXPECT_EQ(FindCalculator(dialog.m_hWnd), nullptr);
    EXPECT_EQ(dialog.CalcKey(), 0);
    HWND calculator = FindCalculator(dialog.m_hWnd);
    ASSERT_NE(calculator, nullptr);
    EXPECT_EQ(GetParent(calculator), dialog.m_hWnd);
    dialog.CalcKey();
    EXPECT_EQ(FindCalculator(dialog.m_hWnd), calculator);
    EXPECT_EQ(OpenCalculator(nullptr), nullptr);
}

TEST_F(DlgBaseTest, EditsGettingTheFocusHaveTheirTextSelected)
{
    CDlgBase dialog(kTemplate, nullptr);
    ASSERT_TRUE(dialog.CreateModeless());
    for (int id : {kNumber, kEdit}) {
        HWND edit = dialog.GetDlgItem(id);
        SendMessage(edit, EM_SETSEL, 1, 1);
        ASSERT_TRUE(dialog.SetDlgItemFocus(id));
        const LRESULT length = GetWindowTextLengthW(edit);
        EXPECT_EQ(SendMessage(edit, EM_GETSEL, 0, 0), length << 16) << id;
    }
    EXPECT_FALSE(dialog.SetDlgItemFocus(999));
}

TEST_F(DlgBaseTest, ControlFunctions)
{
    CDlgBase dialog(kTemplate, nullptr);
    ASSERT_TRUE(dialog.CreateModeless());
    HWND number = dialog.GetDlgItem(kNumber);
    const LONG before = GetWindowLongW(number, GWL_STYLE);
    EXPECT_TRUE(dialog.SetNumberOnly(kNumber));
    EXPECT_EQ(GetWindowLongW(number, GWL_STYLE), before | 0x2000) << "that bit and nothing else";
    EXPECT_TRUE(dialog.CancelNumberOnly(kNumber));
    EXPECT_EQ(GetWindowLongW(number, GWL_STYLE), before);
    EXPECT_TRUE(dialog.CancelNumberOnly(kNumber));
    EXPECT_EQ(GetWindowLongW(number, GWL_STYLE), before) << "cancelling twice changes nothing";
    EXPECT_FALSE(dialog.SetNumberOnly(999));

    EXPECT_TRUE(dialog.SetDlgItemText(kLabel, L"Code"));
    CString text;
    EXPECT_EQ(dialog.GetDlgItemText(kLabel, text), 4);
    EXPECT_EQ(text, CString(L"Code"));
    wchar_t buffer[3];
    EXPECT_EQ(dialog.GetDlgItemText(kLabel, buffer, 3), 2);
    EXPECT_STREQ(buffer, L"Co");
    EXPECT_EQ(dialog.GetDlgItemText(999, text), 0);
    EXPECT_EQ(text, CString(L""));

    EXPECT_TRUE(dialog.SetDlgEditReadOnly(kNumber, false));
    EXPECT_FALSE(GetWindowLongW(number, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(dialog.SetDlgEditLimitText(kNumber, 3));
    EXPECT_EQ(SendMessage(number, EM_GETLIMITTEXT, 0, 0), 3);
}

TEST_F(DlgBaseTest, ChangeControlsState)
{
    CDlgBase dialog(kTemplate, nullptr);
    ASSERT_TRUE(dialog.CreateModeless());
    unsigned int ids[] = {kEdit, 0, 999, kCheck};
    EXPECT_TRUE(dialog.HideControls(ids, 4));
    EXPECT_FALSE(dialog.IsDlgItemVisible(kCheck)) << "0 and a missing control are passed over";
    EXPECT_TRUE(dialog.DisableControls(ids, 4));
    EXPECT_FALSE(dialog.IsDlgItemEnabled(kCheck));
    EXPECT_TRUE(dialog.ShowControls(ids, 4));
    EXPECT_TRUE(dialog.IsDlgItemVisible(kEdit));
    EXPECT_TRUE(dialog.IsDlgItemVisible(kCheck)) << "past the 0";
    EXPECT_TRUE(dialog.IsDlgItemEnabled(kCheck)) << "show also enables";
    EXPECT_TRUE(dialog.DisableControls(ids, 2));
    EXPECT_FALSE(dialog.IsDlgItemEnabled(kEdit));
    EXPECT_TRUE(dialog.IsDlgItemEnabled(kCheck)) << "beyond the count";
    EXPECT_TRUE(dialog.EnableControls(ids, 1));
    EXPECT_TRUE(dialog.IsDlgItemEnabled(kEdit));

    EXPECT_FALSE(CDlgBase::ChangeControlsState(nullptr, ids, 4, 0));
    EXPECT_FALSE(CDlgBase::ChangeControlsState(&dialog, nullptr, 4, 0));
    EXPECT_FALSE(CDlgBase::ChangeControlsState(&dialog, ids, 0, 0));
    EXPECT_TRUE(CDlgBase::ChangeControlsState(&dialog, ids, 4, 7)) << "an unknown action does nothing";
    CDlgBase unmade(kTemplate, nullptr);
    EXPECT_FALSE(CDlgBase::ChangeControlsState(&unmade, ids, 4, 0)) << "no window";
}

TEST_F(DlgBaseTest, BoldFontOnlyWithTheSetting)
{
    for (int bold : {0, 1}) {
        ::SetBoldFont(bold);
        CDlgBase dialog(kTemplate, nullptr);
        ASSERT_TRUE(dialog.CreateModeless());
        LOGFONTW font;
        ASSERT_TRUE(getFontDescription(CDlgBase::GetBoldFont()->GetSafeHandle(), font));
        EXPECT_STREQ(font.lfFaceName, L"Arial");
        EXPECT_EQ(font.lfHeight, 15);
        EXPECT_EQ(font.lfWeight, 700);
        for (HWND window : {dialog.m_hWnd, dialog.GetDlgItem(kEdit)}) {
            const HFONT expected = bold ? CDlgBase::GetBoldFont()->GetSafeHandle() : nullptr;
            EXPECT_EQ(GetWindowFont(window), expected) << bold;
        }
    }
    CFont mine;
    CDlgBase::SetBoldFont(&mine);
    LOGFONTW font;
    ASSERT_TRUE(getFontDescription(mine.GetSafeHandle(), font));
    EXPECT_EQ(font.lfWeight, 700);
}

// The soft keyboard's stand-in: named and classed "Keybord Window"; answers command 7 with
// its mode.
LRESULT keyboardMode = 0;
LRESULT keyboardProcedure(HWND, UINT message, WPARAM wParam, LPARAM)
{
    return message == WM_COMMAND && wParam == 7 ? keyboardMode : 0;
}

// The name of the bitmap the bar paints at "R" ("" when none).
std::wstring indicatorOf(CDlgBase& dialog)
{
    CRect r;
    if (!dialog.Titlebar().GetItemRect(L"R", r))
        return L"";
    CDC dc;
    dialog.Titlebar().Paint(&dc, false);
    for (const TDrawOp& op : dc.operations())
        if (op.kind == TDrawKind::Bitmap && op.rect.TopLeft() == r.TopLeft())
            return op.image;
    return L"?";
}

TEST_F(DlgBaseTest, AlphaKeyIndicatorFollowsTheKeyboard)
{
    EXPECT_STREQ(AlphaKeyBitmapName(), L"IDB_TITLEBAR_EMPTY") << "no keyboard";
    HWND keyboard = CreateWindowW(L"Keybord Window", L"Keybord Window", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    SetWindowLongPtrW(keyboard, GWLP_WNDPROC, reinterpret_cast<INT_PTR>(&keyboardProcedure));
    {
        CDlgBase off(kTemplate, nullptr);
        ASSERT_TRUE(off.CreateModeless());
        EXPECT_EQ(indicatorOf(off), L"") << "indicator setting off: nothing at R";
    }
    SetShowAlphaKeyMode(true);
    keyboardMode = 1;
    CDlgBase dialog(kTemplate, nullptr);
    ASSERT_TRUE(dialog.CreateModeless());
    EXPECT_EQ(indicatorOf(dialog), L"IDB_ALPHAKEY") << "on initialising";

    keyboardMode = 0;
    MSG f24{dialog.GetDlgItem(kEdit), WM_KEYDOWN, VK_F24, 0, 0};
    EXPECT_FALSE(dialog.PreTranslateMessage(&f24));
    EXPECT_EQ(indicatorOf(dialog), L"IDB_TITLEBAR_EMPTY") << "on F24";

    keyboardMode = 1;
    CDlgBase other(kTemplate, nullptr);
    ASSERT_TRUE(other.CreateModeless());
    EXPECT_EQ(indicatorOf(dialog), L"IDB_TITLEBAR_EMPTY") << "not active, not updated";
    SetActiveWindow(dialog.m_hWnd);
    EXPECT_EQ(indicatorOf(dialog), L"IDB_ALPHAKEY") << "on activation";
    EXPECT_TRUE(dialog.Titlebar().IsActive());
    EXPECT_FALSE(other.Titlebar().IsActive());
    DestroyWindow(keyboard);
}

} // namespace
