// Menus: items by position and by identifier, states, submenus, destruction, window menus.
#include "platform/menu.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring itemText(HMENU menu, UINT item, UINT flags = MF_BYPOSITION)
{
    wchar_t buffer[64];
    GetMenuStringW(menu, item, buffer, 64, flags);
    return buffer;
}

UINT_PTR popup(HMENU menu) { return reinterpret_cast<UINT_PTR>(menu); }

TEST(Menu, InsertByPositionAndBeforeAnItem)
{
    const HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuW(menu, MF_STRING, 1, L"one"));
    ASSERT_TRUE(AppendMenuW(menu, MF_STRING, 3, L"three"));
    ASSERT_TRUE(InsertMenuW(menu, 1, MF_BYPOSITION | MF_STRING, 2, L"two"));
    ASSERT_TRUE(InsertMenuW(menu, 1, MF_BYCOMMAND | MF_STRING, 0, L"zero"));   // before item 1
    ASSERT_TRUE(InsertMenuW(menu, 99, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr));
    EXPECT_FALSE(InsertMenuW(menu, 77, MF_BYCOMMAND | MF_STRING, 5, L"x")) << "no item 77";
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    const wchar_t* texts[] = {L"zero", L"one", L"two", L"three", L""};
    const UINT ids[] = {0, 1, 2, 3, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(itemText(menu, i), texts[i]) << i;
        EXPECT_EQ(GetMenuItemID(menu, i), ids[i]) << i;
    }
    EXPECT_EQ(GetMenuState(menu, 4, MF_BYPOSITION), MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(menu, 5), 0xFFFFFFFFu);
    EXPECT_EQ(GetMenuItemID(menu, -1), 0xFFFFFFFFu);
    EXPECT_EQ(GetMenuState(menu, 5, MF_BYPOSITION), 0xFFFFFFFFu);
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_EQ(GetMenuItemCount(menu), -1);
    EXPECT_FALSE(DestroyMenu(menu));
}

TEST(Menu, StatesCheckAndEnable)
{
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    EXPECT_FALSE(menu.CreatePopupMenu()) << "already holds one";
    menu.AppendMenu(MF_STRING | MF_CHECKED | MF_GRAYED, 10, L"a");
    menu.AppendMenu(MF_STRING, 11, L"b");
    EXPECT_EQ(menu.GetMenuState(10, MF_BYCOMMAND), MF_CHECKED | MF_GRAYED);
    EXPECT_EQ(menu.CheckMenuItem(10, MF_BYCOMMAND | MF_UNCHECKED), MF_CHECKED);
    EXPECT_EQ(menu.CheckMenuItem(1, MF_BYPOSITION | MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(menu.EnableMenuItem(0, MF_BYPOSITION | MF_DISABLED), MF_GRAYED);
    EXPECT_EQ(menu.EnableMenuItem(11, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(menu.GetMenuState(0, MF_BYPOSITION), MF_DISABLED);
    EXPECT_EQ(menu.GetMenuState(1, MF_BYPOSITION), MF_CHECKED | MF_GRAYED);
    EXPECT_EQ(menu.CheckMenuItem(99, MF_BYCOMMAND), 0xFFFFFFFFu);
    EXPECT_EQ(menu.EnableMenuItem(99, MF_BYCOMMAND), 0xFFFFFFFFu);
    EXPECT_TRUE(menu.ModifyMenu(11, MF_BYCOMMAND | MF_STRING, 12, L"c"));
    EXPECT_EQ(menu.GetMenuItemID(1), 12u);
    EXPECT_EQ(menu.GetMenuState(1, MF_BYPOSITION), MF_STRING) << "modify replaces the states";
    CString text;
    EXPECT_EQ(menu.GetMenuString(1, text, MF_BYPOSITION), 1);
    EXPECT_EQ(std::wstring(text), L"c");
}

TEST(Menu, SubmenusByCommandRemoveAndDelete)
{
    const HMENU top = CreateMenu(), sub = CreatePopupMenu(), subsub = CreatePopupMenu();
    AppendMenuW(subsub, MF_STRING, 7, L"deep");
    AppendMenuW(sub, MF_POPUP, popup(subsub), L"more");
    AppendMenuW(top, MF_STRING, 7, L"later");   // after "file" below: its deep item 7 comes first
    InsertMenuW(top, 0, MF_BYPOSITION | MF_POPUP, popup(sub), L"file");
    EXPECT_EQ(GetMenuItemID(top, 0), 0xFFFFFFFFu) << "a popup's identifier";
    EXPECT_EQ(GetSubMenu(top, 0), sub);
    EXPECT_EQ(GetSubMenu(top, 1), nullptr);
    EXPECT_EQ(GetMenuState(top, 0, MF_BYPOSITION), MF_POPUP | (1u << 8)) << "item count in bits 8-15";
    EXPECT_EQ(itemText(top, 7, MF_BYCOMMAND), L"deep") << "depth first, in order";
    EXPECT_FALSE(AppendMenuW(subsub, MF_POPUP, popup(top), L"loop")) << "a menu cannot hold itself";
    EXPECT_FALSE(AppendMenuW(subsub, MF_POPUP, popup(subsub), L"loop"));
    EXPECT_FALSE(ModifyMenuW(top, 7, MF_BYCOMMAND | MF_POPUP, popup(sub), L"loop")) << "the item lies in subsub";
    EXPECT_FALSE(AppendMenuW(top, MF_POPUP, 12345, L"no menu"));

    EXPECT_TRUE(RemoveMenu(sub, 0, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(subsub)) << "remove keeps the submenu";
    AppendMenuW(sub, MF_POPUP, popup(subsub), L"more");
    EXPECT_TRUE(DeleteMenu(top, 0, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(sub)) << "delete destroys the submenu";
    EXPECT_FALSE(IsMenu(subsub)) << "and its submenus";
    EXPECT_EQ(GetMenuItemCount(top), 1);
    EXPECT_FALSE(RemoveMenu(top, 1, MF_BYPOSITION));
    DestroyMenu(top);
}

TEST(Menu, WindowMenuGoesWithTheWindow)
{
    const HWND window = CreateWindowW(L"frame", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const HMENU menu = CreateMenu(), other = CreateMenu();
    EXPECT_EQ(GetMenu(window), nullptr);
    EXPECT_TRUE(SetMenu(window, other));
    EXPECT_TRUE(SetMenu(window, menu));
    EXPECT_EQ(GetMenu(window), menu);
    EXPECT_FALSE(SetMenu(window, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(999999))));
    EXPECT_FALSE(SetMenu(nullptr, menu));
    DestroyWindow(window);
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_TRUE(IsMenu(other)) << "replaced, not destroyed";
    DestroyMenu(other);
}

TEST(Menu, CMenuAttachDetachAndDestructor)
{
    const HMENU handle = CreateMenu();
    {
        CMenu menu;
        EXPECT_TRUE(menu.Attach(handle));
        EXPECT_FALSE(menu.Attach(handle));
        EXPECT_EQ(menu.Detach(), handle);
    }
    EXPECT_TRUE(IsMenu(handle));
    {
        CMenu menu;
        menu.Attach(handle);
    }
    EXPECT_FALSE(IsMenu(handle)) << "the destructor destroys";
}

} // namespace
