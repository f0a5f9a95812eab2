// The message pop-up as a dialog: every button of every set pressed once, Enter and Escape,
// the time-out on the manual and on the real clock, the controls it shows, the beep, the
// dialog base's MessageBoxW.
#include "devices/ticTimer.h"
#include "dialogs/messagePopup.h"
#include "files/globalSettings.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "platform/sysTime.h"
#include "tests/deviceRootFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

class PopupTest : public DeviceRootTest {
protected:
    void TearDown() override
    {
        SetWindowMadeHook(nullptr);
        DeviceRootTest::TearDown();
    }
};

// Runs the pop-up with `script` called once it is made; its result.
template <class Script>
int runPopup(unsigned int type, bool yesToAll, bool noToAll, Script script, int timeoutMs = 0)
{
    SetWindowMadeHook([&](HWND window) { script(window); });
    const int result = MessagePopup(nullptr, L"Overwrite point 1001?", L"Point", type, timeoutMs, yesToAll, noToAll);
    SetWindowMadeHook(nullptr);
    return result;
}

TEST_F(PopupTest, EveryButtonOfEverySetReturnsItsResult)
{
    for (unsigned int set = 0; set <= 6; ++set)
        for (bool yesToAll : {false, true})
            for (bool noToAll : {false, true}) {
                const TPopupButtons buttons = PopupButtonsFor(set, yesToAll, noToAll);
                for (int p = 0; p < kPopupPlaces; ++p) {
                    if (!buttons.places[p].shown)
                        continue;
                    const int result = runPopup(set, yesToAll, noToAll, [&](HWND window) {
                        HWND button = GetDlgItem(window, kPopupFirstPlace + p);
                        EXPECT_TRUE(IsWindowVisible(button));
                        EXPECT_TRUE(ClickButton(button));
                    });
                    EXPECT_EQ(result, buttons.places[p].result) << "set " << set << " place " << p;
                }
            }
}

TEST_F(PopupTest, EnterPressesTheDefaultOrGivesOk)
{
    struct Case {
        unsigned int type;
        bool yesToAll;
        int enter;
        int escape;   // 0: ignored (the pop-up stays, and the Enter posted after it answers)
    };
    const Case cases[] = {
        {0x000, false, 1, 1},     // "&Close" default; Escape presses the only button
        {0x100, false, 1, 1},     // no default: IDOK
        {0x001, false, 1, 2},
        {0x101, false, 2, 2},
        {0x201, false, 1, 2},     // 0x200 on type 1: no default button, IDOK
        {0x102, false, 4, 0},
        {0x203, false, 2, 2},
        {0x004, false, 6, 0},
        {0x104, true, 7, 0},
        {0x005, false, 4, 2},
        {0x007, false, 1, 0},     // no button at all
    };
    for (const Case& c : cases) {
        EXPECT_EQ(runPopup(c.type, c.yesToAll, false, [](HWND) { PostKeyEvent(VK_RETURN, false); }), c.enter)
            << c.type;
        const int escape = runPopup(c.type, c.yesToAll, false, [](HWND) {
            PostKeyEvent(VK_ESCAPE, false);
            PostKeyEvent(VK_RETURN, false);
        });
        EXPECT_EQ(escape, c.escape ? c.escape : c.enter) << c.type;
    }
}

TEST_F(PopupTest, ControlsIconBeepAndTexts)
{
    clearRecordedSounds();
    runPopup(0x14, false, false, [](HWND window) {
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, kPopupIconStop)));
        for (int icon : {kPopupIconQuestion, kPopupIconExclamation, kPopupIconInformation})
            EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, icon)));
        for (int p = 0; p < kPopupPlaces; ++p) {
            HWND button = GetDlgItem(window, kPopupFirstPlace + p);
            EXPECT_EQ(IsWindowVisible(button) != FALSE, p >= 3) << p;
            EXPECT_EQ((GetWindowLongW(button, GWL_STYLE) & WS_TABSTOP) != 0, p >= 3) << p;
            EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, p == 3 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        }
        wchar_t text[64] = {};
        GetWindowTextW(GetDlgItem(window, kPopupText), text, 64);
        EXPECT_STREQ(text, L"Overwrite point 1001?");
        GetWindowTextW(window, text, 64);
        EXPECT_STREQ(text, L"Point");
        GetWindowTextW(GetDlgItem(window, kPopupFirstPlace + 3), text, 64);
        EXPECT_STREQ(text, L"&Yes");
    });
    const std::vector<SoundRecord> sounds = recordedSounds();
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_TRUE(sounds[0].beep);
    EXPECT_EQ(sounds[0].flags, 0x10u);

    // Without an icon the text takes the icon's place.
    CRect withIcon, without;
    runPopup(0x24, false, false, [&](HWND window) { GetWindowRect(GetDlgItem(window, kPopupText), &withIcon); });
    runPopup(0x04, false, false, [&](HWND window) {
        GetWindowRect(GetDlgItem(window, kPopupText), &without);
        CRect icon;
        GetWindowRect(GetDlgItem(window, kPopupIconStop), &icon);
        EXPECT_EQ(without.left, icon.left);
    });
    EXPECT_LT(without.left, withIcon.left);
    EXPECT_EQ(without.right, withIcon.right);
}

TEST_F(PopupTest, MessageBoxOfTheDialogBase)
{
    CDlgBase dialog;
    ASSERT_TRUE(dialog.CreateModeless());
    clearRecordedSounds();
    HWND popup = nullptr;
    SetWindowMadeHook([&](HWND window) {
        popup = window;
        EXPECT_EQ(GetParent(window), dialog.m_hWnd) << "over the dialog";
        wchar_t caption[32] = {};
        GetWindowTextW(window, caption, 32);
        EXPECT_STREQ(caption, L"Warning!");
        PostKeyEvent(VK_RETURN, false);
    });
    EXPECT_EQ(dialog.MessageBoxW(L"Stored.", nullptr, 0x31, SOUND_ALARM), 1);
    SetWindowMadeHook(nullptr);
    EXPECT_NE(popup, nullptr);
    const std::vector<SoundRecord> sounds = recordedSounds();
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_FALSE(sounds[0].beep) << "the sound first";
    EXPECT_TRUE(sounds[0].path.Find(L"alarm.wav") >= 0);
    EXPECT_TRUE(sounds[1].beep) << "then the pop-up's beep";
    EXPECT_EQ(sounds[1].flags, 0x30u);
    EXPECT_EQ(dialog.MessageBoxW(L"Nobody answers.", L"Point", 0x24), IDCANCEL);
}

TEST_F(PopupTest, TimeOutWithTheServiceStoppedNeverCloses)
{
    DestroyTicTimerThread();
    const int result = runPopup(4, false, false, [](HWND) {}, 2000);
    EXPECT_EQ(result, IDCANCEL) << "no timer: nobody answers";
}

TEST_F(PopupTest, TimeOutOnTheManualClock)
{
    auto clock = std::make_shared<ManualTickClock>(1000);
    auto previous = setTickClock(clock);
    ASSERT_EQ(CreateTicTimerThread(100), 1);
    ASSERT_TRUE(clock->waitForSleepers(1));
    std::atomic<HWND> popup{nullptr};
    std::atomic<bool> done{false};
    std::thread driver([&] {
        while (!popup.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        for (int scan = 1; scan <= 19; ++scan) {
            clock->advance(100);
            clock->waitForSleepers(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(done.load()) << "still open after 19 scans";
        clock->advance(100);
        clock->waitForSleepers(1);
    });
    const int result = runPopup(4, false, false, [&](HWND window) { popup = window; }, 2000);
    done = true;
    driver.join();
    EXPECT_EQ(result, 1) << "the time-out closes through OK, also on Yes/No";
    TicTimerView view{};
    ASSERT_TRUE(GetTicTimerView(view));
    EXPECT_EQ(view.activeCount, 0u) << "the timer was killed";
    auto stop = std::async(std::launch::async, DestroyTicTimerThread);
    while (stop.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
        if (clock->waitForSleepers(1, 5))
            clock->advance(100);
    setTickClock(previous);
}

TEST_F(PopupTest, TimeOutOnTheRealClock)
{
    ASSERT_EQ(CreateTicTimerThread(100), 1);
    const auto start = std::chrono::steady_clock::now();
    const int result = runPopup(1, false, false, [](HWND) {}, 2000);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    DestroyTicTimerThread();
    EXPECT_EQ(result, 1);
    EXPECT_GE(ms, 1900);
    // Within one base period of two seconds, and some scheduling slack of a loaded machine.
    EXPECT_LE(ms, 2100 + 400);
}

} // namespace
