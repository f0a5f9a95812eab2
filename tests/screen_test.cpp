// The screen's size from FIELDCORE_SCREEN.
#include "platform/screen.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(ScreenSize, Parse)
{
    const struct { const char* text; bool ok; int width, height; } cases[] = {
        {"240x320", true, 240, 320}, {"640X480", true, 640, 480}, {"1x1", true, 1, 1},
        {"8192x8192", true, 8192, 8192}, {"8193x10", false, 0, 0}, {"0x320", false, 0, 0},
        {"240x", false, 0, 0}, {"x320", false, 0, 0}, {"240 x 320", false, 0, 0},
        {"240x320 ", false, 0, 0}, {"-240x320", false, 0, 0}, {"240*320", false, 0, 0},
        {"", false, 0, 0}, {"99999999999999999999x1", false, 0, 0}};
    for (const auto& c : cases) {
        int width = -7, height = -7;
        EXPECT_EQ(parseScreenSize(c.text, width, height), c.ok) << c.text;
        EXPECT_EQ(width, c.ok ? c.width : -7) << c.text << ": written only on success";
        EXPECT_EQ(height, c.ok ? c.height : -7) << c.text;
    }
    int w = 0, h = 0;
    EXPECT_FALSE(parseScreenSize(nullptr, w, h));
}

TEST(ScreenSize, FromTheEnvironment)
{
    ::unsetenv("FIELDCORE_SCREEN");
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 320);
    ::setenv("FIELDCORE_SCREEN", "480x640", 1);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 480);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(42), 0);
    int w, h;
    EXPECT_TRUE(getScreenSize(w, h));
    ::setenv("FIELDCORE_SCREEN", "big", 1);
    EXPECT_FALSE(getScreenSize(w, h)) << "unreadable: said so";
    EXPECT_EQ(w, 240) << "and the default given";
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 320);
    ::unsetenv("FIELDCORE_SCREEN");
}

} // namespace
