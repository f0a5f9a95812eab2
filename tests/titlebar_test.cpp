// The title bar: positions, the two-ended layout, the buttons' child windows, menus, painting
// and the screens and controllers the bar's rectangle depends on. Each test sets the screen
// through FIELDCORE_SCREEN and has a device root of its own (the wide-bar controller is a file
// in it).
#include "deviceRootFixture.h"

#include "dialogs/titlebar.h"
#include "platform/controls.h"
#include "platform/messages.h"
#include "platform/popupMenu.h"

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

class Titlebar : public DeviceRootTest {
protected:
    void SetUp() override
    {
        DeviceRootTest::SetUp();
        useScreen("240x320");
    }
    void TearDown() override
    {
        ::unsetenv("FIELDCORE_SCREEN");
        ReloadScreenMeasures();
        SetPopupMenuHandler(nullptr);
        clearPopupMenuCalls();
        SetTextMeasurer(nullptr);
        DeviceRootTest::TearDown();
    }
    static void useScreen(const char* size)
    {
        ::setenv("FIELDCORE_SCREEN", size, 1);
        ReloadScreenMeasures();
    }
    // A dialog-like top-level window with the caption.
    void makeWindow(const wchar_t* caption = L"Stake out")
    {
        ASSERT_TRUE(m_window.Create(L"Dialog", caption, WS_CAPTION, CRect(10, 20, 200, 300), nullptr));
    }
    CRect rectOf(const wchar_t* pos) const
    {
        CRect r(-1, -1, -1, -1);
        m_bar.GetItemRect(pos, r);
        return r;
    }

    CWnd m_window;
    CTitlebar m_bar;
};

CRect windowRect(HWND window)
{
    CRect r;
    GetWindowRect(window, &r);
    return r;
}

// Drains the window's posted messages, oldest first.
std::vector<MSG> postedTo(HWND window)
{
    std::vector<MSG> messages;
    MSG msg;
    while (PeekMessage(&msg, window, 0, 0, PM_REMOVE))
        messages.push_back(msg);
    return messages;
}

TEST(TitlebarPositions, OnlyTheFirstCapitalCounts)
{
    const struct { const wchar_t* name; int slot; } cases[] = {
        {L"A", 0}, {L"I", 8}, {L"R", 9}, {L"Right", 9}, {L"S", 10}, {L"Z", 17}, {L"Ziggy", 17},
        {L"Q", -1}, {L"J", -1}, {L"a", -1}, {L"r", -1}, {L"", -1}, {nullptr, -1}, {L"@", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(CTitlebar::GetPosition(c.name), c.slot) << (c.name ? c.name : L"(null)");
    for (int slot = 0; slot < CTitlebar::kSlots; ++slot)
        EXPECT_EQ(CTitlebar::GetPosition(CTitlebar::GetPosition(slot)), slot) << slot;
    EXPECT_EQ(CTitlebar::GetPosition(-1), nullptr);
    EXPECT_EQ(CTitlebar::GetPosition(18), nullptr);
    EXPECT_EQ(CTitlebar::StringDup(nullptr), CString(L""));
    EXPECT_EQ(GetTitlebarHeight(), 25);
}

TEST_F(Titlebar, NoPositionDoesNothing)
{
    makeWindow();
    for (const wchar_t* bad : {L"Q", L"a", static_cast<const wchar_t*>(nullptr)}) {
        if (bad) {
            EXPECT_FALSE(m_bar.AddButton(bad, L"OK", 1, nullptr));
            EXPECT_FALSE(m_bar.AddTitle(bad));
        }
        EXPECT_FALSE(m_bar.AddText(bad, L"x"));
        EXPECT_FALSE(m_bar.ShowObject(bad, false));
        EXPECT_FALSE(m_bar.RemoveObject(bad));
    }
    EXPECT_EQ(m_bar.FindNewLeftPos(), 0) << "nothing was added";
}

TEST_F(Titlebar, NullButtonPositionsFillFromTheRightEnd)
{
    for (int expected = 17; expected >= 9; --expected) {
        ASSERT_TRUE(m_bar.AddButton(nullptr, L"B", 100 + static_cast<UINT>(expected), nullptr));
        EXPECT_EQ(m_bar.FindNewRightPos(), expected - 1) << "slot " << expected << " taken";
    }
    // The right group is full: the next lands in the left group, from its right end.
    ASSERT_TRUE(m_bar.AddButton(nullptr, L"B", 99, nullptr));
    EXPECT_EQ(m_bar.FindNewRightPos(), 7);
    EXPECT_EQ(m_bar.FindNewLeftPos(), 0);
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(m_bar.AddButton(nullptr, L"B", 1, nullptr));
    EXPECT_EQ(m_bar.FindNewRightPos(), -1);
    EXPECT_FALSE(m_bar.AddButton(nullptr, L"B", 1, nullptr)) << "no free slot";
}

TEST_F(Titlebar, TitleBetweenTwoRightButtons)
{
    makeWindow();
    ASSERT_TRUE(m_bar.AddTitle(L"A"));
    ASSERT_TRUE(m_bar.AddButton(L"R", L"Cancel", 2, nullptr));
    ASSERT_TRUE(m_bar.AddButton(L"S", L"OK", 1, nullptr));
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_DIALOG));
    EXPECT_EQ(m_bar.GetBarRect(), CRect(0, 0, 235, 25));
    EXPECT_EQ(rectOf(L"S"), CRect(183, 1, 233, 24));
    EXPECT_EQ(rectOf(L"R"), CRect(131, 1, 181, 24));
    EXPECT_EQ(rectOf(L"A"), CRect(2, 1, 129, 24)) << "ends 2 px left of R";
}

TEST_F(Titlebar, TextButtonsGrowToTheirTextAndNeverShrink)
{
    makeWindow();
    ASSERT_TRUE(m_bar.AddButton(L"A", L"Options", 10, nullptr));    // 7 x 8 = 56 px
    ASSERT_TRUE(m_bar.AddButton(L"B", L"OK", 11, nullptr));         // 16 px: keeps 50
    ASSERT_TRUE(m_bar.AddButton(L"C", L"&Options", 12, nullptr));   // '&' is not drawn: 56
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_DIALOG));
    EXPECT_EQ(rectOf(L"A"), CRect(2, 1, 58, 24));
    EXPECT_EQ(rectOf(L"B"), CRect(60, 1, 110, 24));
    EXPECT_EQ(rectOf(L"C"), CRect(112, 1, 168, 24));
    ASSERT_TRUE(m_bar.ChangeButtonText(L"A", L"Go"));
    m_bar.FinalizeChanges();
    EXPECT_EQ(rectOf(L"A").Width(), 56) << "the width is kept when the text gets shorter";
    wchar_t text[16];
    GetWindowTextW(m_bar.GetButtonWindow(L"A"), text, 16);
    EXPECT_EQ(std::wstring(text), L"Go");
}

TEST_F(Titlebar, MeasuresInItsOwnFontElseTheWindows)
{
    SetTextMeasurer([](const LOGFONTW& font, const wchar_t*, int length) { return length * font.lfHeight; });
    makeWindow();
    CFont big, small;
    big.CreateFont(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    small.CreateFont(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    m_window.SetFont(&big, FALSE);
    ASSERT_TRUE(m_bar.AddButton(L"Z", L"abcd", 1, nullptr));
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_DIALOG));
    EXPECT_EQ(rectOf(L"Z").Width(), 80) << "the window's font";
    CTitlebar own;
    ASSERT_TRUE(own.AddButton(L"Z", L"abcd", 2, nullptr));
    ASSERT_TRUE(own.InitDialog(&m_window, &small, WT_DIALOG));
    CRect r;
    own.GetItemRect(L"Z", r);
    EXPECT_EQ(r.Width(), 50) << "the bar's own font: 48 px keeps 50";
    EXPECT_EQ(GetWindowFont(own.GetButtonWindow(L"Z")), small.GetSafeHandle()) << "its buttons get it";
}

TEST_F(Titlebar, ChangesBeforeInitDialogAreLaidOutWhenItRuns)
{
    makeWindow();
    ASSERT_TRUE(m_bar.AddButton(L"Z", L"OK", 1, nullptr));
    m_bar.FinalizeChanges();
    EXPECT_EQ(rectOf(L"Z"), CRect()) << "no layout before InitDialog";
    EXPECT_EQ(m_bar.GetButtonWindow(L"Z"), nullptr);
    EXPECT_FALSE(m_bar.DisplayMenu(L"Z"));
    ASSERT_TRUE(m_bar.AddButton(L"Y", L"Cancel", 2, nullptr));
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_DIALOG));
    EXPECT_EQ(rectOf(L"Z"), CRect(183, 1, 233, 24));
    EXPECT_EQ(rectOf(L"Y"), CRect(131, 1, 181, 24));
    EXPECT_EQ(childWindows(m_window).size(), 2u);
}

TEST_F(Titlebar, ItemRectOfBadAndEmptyPositions)
{
    CRect r(1, 2, 3, 4);
    EXPECT_FALSE(m_bar.GetItemRect(L"Q", r));
    EXPECT_TRUE(r.IsRectNull()) << "an invalid name empties the rectangle";
    r.SetRect(1, 2, 3, 4);
    EXPECT_FALSE(m_bar.GetItemRect(L"B", r));
    EXPECT_EQ(r, CRect(1, 2, 3, 4)) << "an empty slot leaves it";
}

TEST_F(Titlebar, InitDialogMakesTheWindowFullScreen)
{
    makeWindow();
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_DIALOG));
    EXPECT_EQ(windowRect(m_window), CRect(0, 0, 240, 320));
    EXPECT_TRUE(m_window.GetStyle() & WS_POPUP);
    EXPECT_FALSE(m_window.GetStyle() & WS_CAPTION);
    EXPECT_FALSE(m_bar.InitDialog(nullptr, nullptr, WT_DIALOG));
}

TEST_F(Titlebar, WideBarController)
{
    writeHost("Windows/TorlanLib.dll", "");
    useScreen("480x640");
    makeWindow();
    ASSERT_TRUE(m_bar.AddButton(L"Z", L"OK", 1, nullptr));
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_DIALOG));
    EXPECT_EQ(m_bar.GetBarRect(), CRect(0, 0, 480, 27));
    EXPECT_EQ(rectOf(L"Z"), CRect(428, 1, 478, 24));
}

TEST_F(Titlebar, PropertySheetOnThePortraitScreen)
{
    makeWindow();
    CWnd tabs;
    ASSERT_TRUE(tabs.Create(kTabControlClass, L"", WS_CHILD | WS_VISIBLE, CRect(3, 5, 203, 105), &m_window));
    ASSERT_TRUE(m_bar.AddButton(L"A", L"Menu", 11023, nullptr, nullptr));
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_PROPERTY_SHEET));
    EXPECT_TRUE(m_bar.IsShifted());
    EXPECT_EQ(m_bar.GetBarRect(), CRect(0, 26, 235, 51));
    EXPECT_EQ(windowRect(m_window), CRect(0, -26, 240, 320)) << "26 px above the screen's top, down to its bottom";
    EXPECT_EQ(windowRect(tabs), CRect(3, 52 - 26, 203, 346 - 27 - 26)) << "below the bar, 27 px above the bottom";
    EXPECT_EQ(rectOf(L"A"), CRect(2, 27, 52, 50));

    ASSERT_TRUE(m_bar.DisplayMenu(L"A"));
    TPopupMenuCall call;
    ASSERT_TRUE(lastPopupMenuCall(call));
    EXPECT_EQ(call.x, 2);
    EXPECT_EQ(call.y, 50 - 26) << "the menu opens 26 px higher";
    postedTo(m_window);
}

TEST_F(Titlebar, PropertySheetWinsOverTheWideBar)
{
    writeHost("Windows/TorlanLib.dll", "");
    makeWindow();
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_PROPERTY_SHEET));
    EXPECT_EQ(m_bar.GetBarRect(), CRect(0, 26, 235, 51));
}

TEST_F(Titlebar, PropertySheetOnOtherScreensIsNotShifted)
{
    useScreen("320x240");
    makeWindow();
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_PROPERTY_SHEET));
    EXPECT_FALSE(m_bar.IsShifted());
    EXPECT_EQ(m_bar.GetBarRect(), CRect(0, 0, 315, 25));
    EXPECT_FALSE(m_bar.ResizeTabs()) << "no tab control";
}

TEST_F(Titlebar, BelowBarDialogMovesItsChildrenDown)
{
    makeWindow();
    CWnd edit, special;
    ASSERT_TRUE(edit.Create(L"edit", L"", WS_CHILD, CRect(5, 10, 105, 30), &m_window));
    ASSERT_TRUE(special.Create(L"static", kSpecialWindowText, WS_CHILD, CRect(5, 40, 105, 60), &m_window));
    ASSERT_TRUE(m_bar.AddButton(L"Z", L"OK", 1, nullptr));
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_DIALOG_BELOW_BAR));
    EXPECT_EQ(windowRect(edit), CRect(5, 36, 105, 56)) << "down by the bar's bottom + 1";
    EXPECT_EQ(windowRect(special), CRect(5, 40, 105, 60));
    EXPECT_EQ(windowRect(m_bar.GetButtonWindow(L"Z")), CRect(183, 1, 233, 24)) << "the bar's own button stays";
}

TEST_F(Titlebar, OtherWindowTypesAttachWithoutLayout)
{
    makeWindow();
    ASSERT_TRUE(m_bar.AddButton(L"Z", L"OK", 1, nullptr));
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_PROPERTY_PAGE));
    EXPECT_EQ(m_bar.GetWindow(), &m_window);
    EXPECT_EQ(rectOf(L"Z"), CRect());
    EXPECT_TRUE(childWindows(m_window).empty());
    m_bar.Activate(true);
    EXPECT_TRUE(m_bar.IsActive());
}

TEST_F(Titlebar, ButtonWindowsFollowTheObjects)
{
    makeWindow();
    ASSERT_TRUE(m_bar.AddButton(L"Z", L"OK", 1, nullptr));
    ASSERT_TRUE(m_bar.AddButton(L"A", L"", 11023, L"IDB_TITLEBAR2", nullptr));
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_DIALOG));
    const HWND ok = m_bar.GetButtonWindow(L"Z");
    const HWND menu = m_bar.GetButtonWindow(L"A");
    EXPECT_EQ(GetDlgItem(m_window, 1), ok);
    EXPECT_EQ(GetDlgItem(m_window, 11023), menu);
    TControlState state;
    ASSERT_TRUE(getControlState(menu, state));
    EXPECT_TRUE(GetWindowLongW(menu, GWL_STYLE) & BS_BITMAP);
    EXPECT_EQ(bitmapResourceName(static_cast<HBITMAP>(state.image)), L"IDB_TITLEBAR2");
    EXPECT_EQ(rectOf(L"A"), CRect(2, 1, 30, 24)) << "a bitmap button takes its bitmap's size";

    ASSERT_TRUE(m_bar.ShowObject(L"Z", false));
    EXPECT_FALSE(IsWindowVisible(ok));
    m_bar.FinalizeChanges();
    EXPECT_FALSE(IsWindowVisible(ok));
    EXPECT_EQ(m_bar.GetButtonWindow(L"Z"), ok) << "laid out again, not made again";

    ASSERT_TRUE(m_bar.ChangeButtonBitmap(L"A", nullptr));
    m_bar.FinalizeChanges();
    EXPECT_FALSE(GetWindowLongW(menu, GWL_STYLE) & BS_BITMAP) << "a text button again";
    EXPECT_EQ(rectOf(L"A").Width(), 50);

    // Destroying objects destroys their windows and menus.
    const HMENU popup = m_bar.GetButtonMenu(L"A");
    ASSERT_TRUE(IsMenu(popup));
    ASSERT_TRUE(m_bar.RemoveObject(L"A"));
    EXPECT_FALSE(IsWindow(menu));
    EXPECT_FALSE(IsMenu(popup));
    ASSERT_TRUE(m_bar.AddText(L"Z", L"replaces"));
    EXPECT_FALSE(IsWindow(ok));
    EXPECT_TRUE(childWindows(m_window).empty());
}

TEST_F(Titlebar, MoveObject)
{
    makeWindow();
    ASSERT_TRUE(m_bar.AddButton(L"A", L"OK", 1, nullptr));
    ASSERT_TRUE(m_bar.AddText(L"B", L"t"));
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_DIALOG));
    const HWND ok = m_bar.GetButtonWindow(L"A");
    EXPECT_FALSE(m_bar.MoveObject(L"C", L"D")) << "nothing to move";
    ASSERT_TRUE(m_bar.MoveObject(L"A", nullptr));
    EXPECT_EQ(m_bar.GetButtonWindow(L"Z"), ok) << "to the first free slot from the right";
    ASSERT_TRUE(m_bar.MoveObject(L"B", L"Z"));
    EXPECT_FALSE(IsWindow(ok)) << "what the target held is destroyed";
    CRect r(7, 7, 7, 7);
    EXPECT_FALSE(m_bar.GetItemRect(L"B", r));
    EXPECT_TRUE(m_bar.ChangeText(L"Z", L"moved"));
    EXPECT_TRUE(m_bar.MoveObject(L"Z", L"Z")) << "onto itself: kept";
    EXPECT_TRUE(m_bar.ChangeText(L"Z", L"still here"));
}

TEST_F(Titlebar, MenusAndDisplayMenu)
{
    makeWindow();
    ASSERT_TRUE(m_bar.AddButton(L"A", L"Menu", 11023, nullptr, nullptr));
    ASSERT_TRUE(m_bar.AddButton(L"Z", L"OK", 1, nullptr));
    EXPECT_FALSE(m_bar.AddMenuItem(L"Z", L"x", 5, -1)) << "no menu on that button";
    ASSERT_TRUE(m_bar.AddMenuItem(L"A", L"Help", 83, -1));
    ASSERT_TRUE(m_bar.AddMenuItem(L"A", L"First", 80, 0));
    ASSERT_TRUE(m_bar.AddSeparator(L"A", 1));
    const HMENU menu = m_bar.GetButtonMenu(L"A");
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(GetMenuItemID(menu, 0), 80u);
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
    ASSERT_TRUE(m_bar.CheckTbarMenuItem(L"A", 83, MF_BYCOMMAND | MF_CHECKED));
    EXPECT_TRUE(GetMenuState(menu, 83, MF_BYCOMMAND) & MF_CHECKED);
    ASSERT_TRUE(m_bar.EnableTbarMenuItem(L"A", 80, MF_BYCOMMAND | MF_GRAYED));
    EXPECT_FALSE(m_bar.CheckTbarMenuItem(L"A", 999, MF_BYCOMMAND | MF_CHECKED));
    ASSERT_TRUE(m_bar.RemoveMenuItem(L"A", 1));
    EXPECT_EQ(GetMenuItemCount(menu), 2);

    EXPECT_FALSE(m_bar.DisplayMenu(L"A")) << "not before InitDialog";
    EXPECT_EQ(popupMenuCallCount(), 0);
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_DIALOG));
    postedTo(m_window);

    // The user picks "Help": the choice is posted as WM_COMMAND, then WM_NULL.
    SetPopupMenuHandler([&](const TPopupMenuCall& call) -> UINT {
        EXPECT_EQ(GetForegroundWindow(), m_window.GetSafeHwnd()) << "foreground first";
        EXPECT_EQ(call.owner, m_window.GetSafeHwnd());
        return 83;
    });
    ASSERT_TRUE(m_bar.DisplayMenu(L"A"));
    TPopupMenuCall call;
    ASSERT_TRUE(lastPopupMenuCall(call));
    EXPECT_EQ(call.menu, menu);
    EXPECT_EQ(call.x, rectOf(L"A").left);
    EXPECT_EQ(call.y, rectOf(L"A").bottom);
    const std::vector<MSG> posted = postedTo(m_window);
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].message, WM_COMMAND);
    EXPECT_EQ(posted[0].wParam, 83u);
    EXPECT_EQ(posted[1].message, WM_NULL);
    EXPECT_FALSE(m_bar.DisplayMenu(L"Z")) << "no menu";

    ASSERT_TRUE(m_bar.RemoveAllMenuItems(L"A"));
    EXPECT_EQ(GetMenuItemCount(menu), 0);
    const HMENU other = CreatePopupMenu();
    ASSERT_TRUE(m_bar.ChangeButtonMenu(L"A", other));
    EXPECT_FALSE(IsMenu(menu)) << "the old menu is destroyed";
    EXPECT_EQ(m_bar.GetButtonMenu(L"A"), other);
}

TEST_F(Titlebar, PaintDrawsTitlesTextsAndBitmaps)
{
    CDC dc;
    m_bar.AddTitle(L"B");
    m_bar.Paint(&dc, true);
    EXPECT_TRUE(dc.operations().empty()) << "nothing without a window";

    makeWindow(std::wstring(120, L'c').c_str());
    ASSERT_TRUE(m_bar.AddButton(L"A", L"", 11023, L"IDB_TITLEBAR2", nullptr));
    ASSERT_TRUE(m_bar.AddText(L"R", L"km"));
    ASSERT_TRUE(m_bar.AddBitmap(L"S", L"IDB_ALPHAKEY"));
    ASSERT_TRUE(m_bar.AddText(L"T", L"hidden"));
    ASSERT_TRUE(m_bar.ShowObject(L"T", false));
    CFont font;
    ASSERT_TRUE(font.CreateFont(15, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial"));
    ASSERT_TRUE(m_bar.InitDialog(&m_window, &font, WT_DIALOG));

    m_bar.Paint(&dc, false);
    ASSERT_EQ(dc.operations().size(), 3u) << "title, text, bitmap; no button bitmap, nothing hidden";
    const TDrawOp& title = dc.operations()[0];
    EXPECT_EQ(title.kind, TDrawKind::Text);
    EXPECT_EQ(title.text, std::wstring(100, L'c')) << "the caption cut to 100 characters";
    EXPECT_EQ(title.rect, rectOf(L"B"));
    EXPECT_EQ(std::wstring(title.font.lfFaceName), L"Arial");
    EXPECT_EQ(title.font.lfWeight, FW_BOLD);
    EXPECT_EQ(dc.operations()[1].text, L"km");
    EXPECT_EQ(dc.operations()[1].rect, rectOf(L"R"));
    EXPECT_EQ(dc.operations()[2].kind, TDrawKind::Bitmap);
    EXPECT_EQ(dc.operations()[2].image, L"IDB_ALPHAKEY");
    EXPECT_EQ(dc.operations()[2].rect, rectOf(L"S"));

    dc.clearOperations();
    m_bar.Paint(&dc, true);
    ASSERT_EQ(dc.operations().size(), 4u);
    EXPECT_EQ(dc.operations()[0].image, L"IDB_TITLEBAR2") << "the button's bitmap, when asked";
    EXPECT_EQ(dc.operations()[0].rect, rectOf(L"A"));

    // Painting follows the caption, and repaints are recorded on the bar.
    ValidateRect(m_window, nullptr);
    m_window.SetWindowText(L"New");
    ASSERT_TRUE(m_bar.ChangeTitle(L"B"));
    EXPECT_EQ(invalidatedRects(m_window), std::vector<CRect>{m_bar.GetBarRect()});
    dc.clearOperations();
    m_bar.Paint(&dc, false);
    EXPECT_EQ(dc.operations()[0].text, L"New");
}

TEST_F(Titlebar, HitTestAndBitmaps)
{
    makeWindow();
    ASSERT_TRUE(m_bar.InitDialog(&m_window, nullptr, WT_DIALOG));
    EXPECT_TRUE(m_bar.OnNcHitTest(CPoint(0, 0)));
    EXPECT_TRUE(m_bar.OnNcHitTest(CPoint(234, 24)));
    EXPECT_FALSE(m_bar.OnNcHitTest(CPoint(235, 10)));
    EXPECT_FALSE(m_bar.OnNcHitTest(CPoint(10, 25)));
    EXPECT_FALSE(m_bar.AddBitmap(L"R", L"NO_SUCH_BITMAP"));
    EXPECT_FALSE(m_bar.AddButton(L"R", L"", 1, L"NO_SUCH_BITMAP"));
    CRect r(9, 9, 9, 9);
    EXPECT_FALSE(m_bar.GetItemRect(L"R", r)) << "nothing was added";
}

TEST_F(Titlebar, MeasuresFollowTheScreenChosen)
{
    useScreen("640x480");
    EXPECT_EQ(SCREEN_WIDTH, 640);
    EXPECT_EQ(SCREEN_HEIGHT, 480);
    EXPECT_EQ(MENU_WIDTH - 5, 635);
    ::setenv("FIELDCORE_SCREEN", "320x240", 1);
    EXPECT_EQ(SCREEN_WIDTH, 640) << "kept from the first use";
    ReloadScreenMeasures();
    EXPECT_EQ(SCREEN_WIDTH, 320);
}

// Random bars on four screens: the spacing, the tops, the title's span and the buttons'
// windows hold whatever the objects, their slots, sizes and visibility.
TEST_F(Titlebar, RandomBarsKeepTheirLayoutRules)
{
    std::mt19937 random(20261206);
    for (int w = 8; w <= 40; w += 4)
        for (int h = 10; h <= 23; h += 13)
            RegisterBitmapResource((L"TEST_" + std::to_wstring(w) + L"_" + std::to_wstring(h)).c_str(), w, h);
    const std::vector<std::wstring> texts = {L"", L"OK", L"Cancel", L"Measure", L"&Options", L"Stake out now"};
    for (const char* screen : {"240x320", "320x240", "480x640", "640x480"}) {
        useScreen(screen);
        for (int round = 0; round < 40; ++round) {
            SCOPED_TRACE(std::string(screen) + " round " + std::to_string(round));
            CWnd window;
            ASSERT_TRUE(window.Create(L"Dialog", L"Title", 0, CRect(0, 0, 10, 10), nullptr));
            auto bar = std::make_unique<CTitlebar>();
            std::vector<UINT> ids(CTitlebar::kSlots, 0);
            std::vector<bool> shown(CTitlebar::kSlots, true);
            const bool withTitle = random() % 2 == 0;
            const int titleSlot = static_cast<int>(random() % 6);
            for (int slot = 0; slot < CTitlebar::kSlots; ++slot) {
                const wchar_t* pos = CTitlebar::GetPosition(slot);
                if (withTitle && slot == titleSlot) {
                    bar->AddTitle(pos);
                    continue;
                }
                const unsigned what = random() % 5;
                const int bw = 8 + 4 * static_cast<int>(random() % 9);
                const std::wstring bitmap = L"TEST_" + std::to_wstring(bw) + (random() % 2 ? L"_10" : L"_23");
                if (what == 1)
                    bar->AddText(pos, texts[random() % texts.size()].c_str());
                else if (what == 2)
                    bar->AddBitmap(pos, bitmap.c_str());
                else if (what == 3) {
                    ids[slot] = 1000 + static_cast<UINT>(slot);
                    bar->AddButton(pos, texts[random() % texts.size()].c_str(), ids[slot],
                                   random() % 3 == 0 ? bitmap.c_str() : nullptr);
                }
                if (what != 0 && random() % 4 == 0) {
                    bar->ShowObject(pos, false);
                    shown[slot] = false;
                }
            }
            ASSERT_TRUE(bar->InitDialog(&window, nullptr, WT_DIALOG));
            const CRect barRect = bar->GetBarRect();
            EXPECT_EQ(barRect, CRect(0, 0, SCREEN_WIDTH - 5, 25));

            // Each group: 2 px between neighbours, every top at the bar's top + 1.
            int x = barRect.left + 2;
            for (int slot = 0; slot <= 8; ++slot) {
                CRect r;
                if (!bar->GetItemRect(CTitlebar::GetPosition(slot), r))
                    continue;
                if (withTitle && slot == titleSlot)
                    break;
                EXPECT_EQ(r.left, x) << "slot " << slot;
                EXPECT_EQ(r.top, barRect.top + 1);
                x = r.right + 2;
            }
            int right = barRect.right - 2;
            for (int slot = 17; slot >= 9; --slot) {
                CRect r;
                if (!bar->GetItemRect(CTitlebar::GetPosition(slot), r))
                    continue;
                EXPECT_EQ(r.right, right) << "slot " << slot;
                EXPECT_EQ(r.top, barRect.top + 1);
                right = r.left - 2;
            }
            if (withTitle) {
                CRect title;
                bar->GetItemRect(CTitlebar::GetPosition(titleSlot), title);
                EXPECT_EQ(title, CRect(x, 1, right, 24)) << "the title fills the gap";
            }

            // One window per button, with its identifier, shown as its flag says.
            size_t buttons = 0;
            for (int slot = 0; slot < CTitlebar::kSlots; ++slot) {
                const HWND button = bar->GetButtonWindow(CTitlebar::GetPosition(slot));
                if (!ids[slot]) {
                    EXPECT_EQ(button, nullptr);
                    continue;
                }
                ++buttons;
                ASSERT_NE(button, nullptr) << "slot " << slot;
                EXPECT_EQ(GetDlgCtrlID(button), static_cast<int>(ids[slot]));
                EXPECT_EQ(GetDlgItem(window, static_cast<int>(ids[slot])), button);
                CRect r;
                bar->GetItemRect(CTitlebar::GetPosition(slot), r);
                EXPECT_EQ(windowRect(button), r);
                EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE, shown[slot] ? WS_VISIBLE : 0u);
            }
            EXPECT_EQ(childWindows(window).size(), buttons);
            for (int slot = 0; slot < CTitlebar::kSlots; ++slot)
                bar->RemoveObject(CTitlebar::GetPosition(slot));
            EXPECT_TRUE(childWindows(window).empty()) << "removing every object leaves no child window";
        }
    }
}

} // namespace
