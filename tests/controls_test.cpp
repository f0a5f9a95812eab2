// The "button" and "static" controls: their procedure, kinds, images and check state.
#include "platform/controls.h"
#include "platform/messages.h"

#include <gtest/gtest.h>

namespace {

HWND control(const wchar_t* className, DWORD style, HWND parent)
{
    return CreateWindowW(className, L"&OK", WS_CHILD | WS_VISIBLE | style, 0, 0, 50, 23, parent,
                         reinterpret_cast<HMENU>(1), nullptr, nullptr);
}

TEST(Controls, KindsByClassAndStyle)
{
    HWND parent = createWindowStub(100, 100);
    const struct { const wchar_t* className; DWORD style; TControlKind kind; } cases[] = {
        {L"button", BS_PUSHBUTTON, TControlKind::PushButton},
        {L"BUTTON", BS_DEFPUSHBUTTON, TControlKind::DefaultPushButton},
        {L"Button", BS_BITMAP, TControlKind::PushButton},
        {L"button", BS_AUTOCHECKBOX, TControlKind::CheckBox},
        {L"button", BS_AUTORADIOBUTTON, TControlKind::RadioButton},
        {L"static", SS_LEFT, TControlKind::StaticText},
        {L"static", SS_CENTER | SS_NOPREFIX, TControlKind::StaticText},
        {L"Static", SS_BITMAP, TControlKind::StaticBitmap},
        {L"static", SS_ICON, TControlKind::StaticIcon}};
    for (const auto& c : cases) {
        TControlState state;
        ASSERT_TRUE(getControlState(control(c.className, c.style, parent), state)) << c.className;
        EXPECT_EQ(state.kind, c.kind) << c.className << " " << c.style;
    }
    TControlState state;
    EXPECT_FALSE(getControlState(parent, state)) << "no control";
    DestroyWindow(parent);
}

TEST(Controls, ButtonImagesChecksAndPushes)
{
    HWND parent = createWindowStub(100, 100);
    HWND button = control(L"button", BS_BITMAP, parent);
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(L"IDB_TITLEBAR2"));
    const LPARAM handle = reinterpret_cast<LPARAM>(bitmap.GetSafeHandle());
    EXPECT_EQ(SendMessage(button, BM_SETIMAGE, IMAGE_BITMAP, handle), 0);
    EXPECT_EQ(SendMessage(button, BM_GETIMAGE, IMAGE_BITMAP, 0), handle);
    EXPECT_EQ(SendMessage(button, BM_GETIMAGE, IMAGE_ICON, 0), 0) << "of the other type: none";
    EXPECT_EQ(SendMessage(button, BM_SETIMAGE, IMAGE_BITMAP, 0), handle) << "the one replaced";

    SendMessage(button, BM_SETCHECK, BST_CHECKED, 0);
    SendMessage(button, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(SendMessage(button, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
    EXPECT_EQ(SendMessage(button, BM_GETSTATE, 0, 0), static_cast<LRESULT>(BST_CHECKED) | BST_PUSHED);
    TControlState state;
    ASSERT_TRUE(getControlState(button, state));
    EXPECT_TRUE(state.pushed);
    EXPECT_EQ(state.check, BST_CHECKED);

    HWND icon = control(L"static", SS_ICON, parent);
    const HICON stop = LoadIconW(nullptr, IDI_HAND);
    SendMessage(icon, STM_SETICON, reinterpret_cast<WPARAM>(stop), 0);
    EXPECT_EQ(SendMessage(icon, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(stop));
    EXPECT_EQ(SendMessage(icon, STM_GETIMAGE, IMAGE_ICON, 0), reinterpret_cast<LRESULT>(stop));
    ASSERT_TRUE(getControlState(icon, state));
    EXPECT_EQ(state.imageType, IMAGE_ICON);
    EXPECT_EQ(state.image, static_cast<void*>(stop));
    EXPECT_EQ(SendMessage(icon, STM_SETIMAGE, 7, 0), 0) << "no such image type";
    DestroyWindow(parent);
}

} // namespace
