// TrackPopupMenu: recorded, answered by the installed handler, cancelled without one.
#include "platform/menu.h"
#include "platform/messages.h"
#include "platform/popupMenu.h"

#include <gtest/gtest.h>

namespace {

class PopupMenus : public ::testing::Test {
protected:
    void SetUp() override
    {
        clearPopupMenuCalls();
        m_owner = createWindowStub(10, 10);
        m_menu = CreatePopupMenu();
        AppendMenuW(m_menu, MF_STRING, 83, L"Help");
        AppendMenuW(m_menu, MF_STRING | MF_GRAYED, 84, L"Grey");
        AppendMenuW(m_menu, MF_SEPARATOR, 0, nullptr);
    }
    void TearDown() override
    {
        SetPopupMenuHandler(nullptr);
        DestroyMenu(m_menu);
        destroyWindowStub(m_owner);
    }
    HWND m_owner = nullptr;
    HMENU m_menu = nullptr;
};

TEST_F(PopupMenus, CancelledWithoutAHandler)
{
    EXPECT_EQ(TrackPopupMenu(m_menu, TPM_RETURNCMD, 5, 6, 0, m_owner, nullptr), 0);
    EXPECT_TRUE(TrackPopupMenu(m_menu, 0, 5, 6, 0, m_owner, nullptr));
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, m_owner, 0, 0, PM_REMOVE)) << "nothing chosen, nothing posted";
    TPopupMenuCall call;
    ASSERT_TRUE(lastPopupMenuCall(call));
    EXPECT_EQ(call.menu, m_menu);
    EXPECT_EQ(call.x, 5);
    EXPECT_EQ(call.y, 6);
    EXPECT_EQ(call.owner, m_owner);
    EXPECT_EQ(popupMenuCallCount(), 2);
}

TEST_F(PopupMenus, TheHandlersChoice)
{
    UINT choice = 83;
    SetPopupMenuHandler([&](const TPopupMenuCall&) { return choice; });
    EXPECT_EQ(TrackPopupMenu(m_menu, TPM_RETURNCMD, 0, 0, 0, m_owner, nullptr), 83);
    EXPECT_TRUE(TrackPopupMenu(m_menu, TPM_LEFTALIGN, 0, 0, 0, m_owner, nullptr));
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, m_owner, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_COMMAND);
    EXPECT_EQ(msg.wParam, 83u);
    // A choice the user could not make counts as none: grayed, a separator, no such item.
    for (UINT impossible : {84u, 0u, 999u}) {
        choice = impossible;
        EXPECT_EQ(TrackPopupMenu(m_menu, TPM_RETURNCMD, 0, 0, 0, m_owner, nullptr), 0) << impossible;
    }
}

TEST_F(PopupMenus, BadMenuOrOwner)
{
    EXPECT_FALSE(TrackPopupMenu(nullptr, 0, 0, 0, 0, m_owner, nullptr));
    EXPECT_FALSE(TrackPopupMenu(m_menu, 0, 0, 0, 0, nullptr, nullptr));
    EXPECT_EQ(popupMenuCallCount(), 0) << "nothing recorded";
    TPopupMenuCall call;
    EXPECT_FALSE(lastPopupMenuCall(call));
}

} // namespace
