// Command bars: buttons by index, finding a window's bar, menus at destruction.
#include "platform/commandBar.h"
#include "platform/menu.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandBar, ButtonsByIndex)
{
    const HWND frame = CreateWindowW(L"frame", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(CommandBar_Find(frame), nullptr);
    EXPECT_EQ(CommandBar_ButtonCount(frame), -1);
    EXPECT_EQ(CommandBar_Create(nullptr, nullptr, 1), nullptr);
    CreateWindowW(L"static", L"", WS_CHILD, 0, 0, 1, 1, frame, nullptr, nullptr, nullptr);
    const HWND bar = CommandBar_Create(nullptr, frame, 1);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(CommandBar_Find(frame), bar);
    EXPECT_EQ(CommandBar_Find(bar), bar);
    EXPECT_EQ(CommandBar_ButtonCount(bar), 0);
    const HMENU menu = CreatePopupMenu();
    TCommandBarButton b;
    b.text = L"b";
    b.command = 2;
    ASSERT_TRUE(CommandBar_InsertButton(bar, 0, b));
    b.text = L"a";
    b.command = 1;
    b.menu = menu;
    ASSERT_TRUE(CommandBar_InsertButton(bar, 0, b));
    b.text = L"c";
    b.menu = nullptr;
    ASSERT_TRUE(CommandBar_InsertButton(bar, 50, b)) << "beyond the end appends";
    EXPECT_FALSE(CommandBar_InsertButton(bar, -1, b));
    b.menu = reinterpret_cast<HMENU>(static_cast<std::intptr_t>(999999));
    EXPECT_FALSE(CommandBar_InsertButton(bar, 0, b)) << "no menu";
    ASSERT_EQ(CommandBar_ButtonCount(bar), 3);
    TCommandBarButton read;
    ASSERT_TRUE(CommandBar_GetButton(bar, 0, &read));
    EXPECT_EQ(std::wstring(read.text), L"a");
    EXPECT_EQ(read.menu, menu);
    ASSERT_TRUE(CommandBar_GetButton(bar, 2, &read));
    EXPECT_EQ(std::wstring(read.text), L"c");
    EXPECT_FALSE(CommandBar_GetButton(bar, 3, &read));
    EXPECT_EQ(std::wstring(read.text), L"c") << "untouched on failure";
    EXPECT_TRUE(CommandBar_DeleteButton(bar, 0));
    EXPECT_TRUE(IsMenu(menu)) << "deleting a button keeps its menu";
    EXPECT_FALSE(CommandBar_DeleteButton(bar, 2));
    EXPECT_EQ(CommandBar_ButtonCount(bar), 2);
    const HMENU second = CreatePopupMenu();
    read.menu = second;
    CommandBar_InsertButton(bar, 1, read);
    DestroyWindow(frame);
    EXPECT_EQ(CommandBar_ButtonCount(bar), -1);
    EXPECT_FALSE(IsMenu(second)) << "the bar's menus go with it";
    DestroyMenu(menu);
}

} // namespace
