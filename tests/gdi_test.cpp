// Fonts, bitmaps and icons by name, the replaceable text measurer and mnemonics.
#include "platform/gdi.h"
#include "platform/lastError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>

namespace {

TEST(Fonts, DescriptionsAndTheStockFont)
{
    CFont font;
    ASSERT_TRUE(font.CreateFont(15, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial"));
    EXPECT_FALSE(font.CreateFont(15, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial")) << "one per object";
    LOGFONTW d;
    ASSERT_EQ(font.GetLogFont(&d), static_cast<int>(sizeof d));
    EXPECT_EQ(d.lfHeight, 15);
    EXPECT_EQ(d.lfWeight, FW_BOLD);
    EXPECT_EQ(std::wstring(d.lfFaceName), L"Arial");

    ASSERT_TRUE(getFontDescription(nullptr, d));
    EXPECT_EQ(std::wstring(d.lfFaceName), L"Arial");
    EXPECT_EQ(d.lfHeight, 14);
    const HGDIOBJ stock = GetStockObject(DEFAULT_GUI_FONT);
    EXPECT_FALSE(DeleteObject(stock)) << "stock objects stay";
    EXPECT_EQ(GetStockObject(99), nullptr);

    LOGFONTW longName;
    std::wmemset(longName.lfFaceName, L'x', LF_FACESIZE);
    HFONT cut = CreateFontIndirectW(&longName);
    ASSERT_TRUE(getFontDescription(cut, d));
    EXPECT_EQ(std::wstring(d.lfFaceName).size(), static_cast<size_t>(LF_FACESIZE - 1));
    EXPECT_TRUE(DeleteObject(cut));
    EXPECT_FALSE(DeleteObject(cut)) << "gone";
    EXPECT_FALSE(getFontDescription(cut, d));
}

TEST(TextMeasurer, DefaultIsEightPixelsPerCharacterAndReplaceable)
{
    CFont font;
    font.CreateFont(30, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    EXPECT_EQ(GetFontTextWidth(font.GetSafeHandle(), L"abcd", 4), 4 * kStubCharWidth) << "every font";
    EXPECT_EQ(GetFontTextWidth(nullptr, L"abcd", 2), 2 * kStubCharWidth);
    EXPECT_EQ(GetFontTextWidth(nullptr, L"abcd", 0), 0);
    EXPECT_EQ(GetFontTextWidth(nullptr, nullptr, 3), 0);

    SetTextMeasurer([](const LOGFONTW& f, const wchar_t*, int length) { return length * f.lfHeight; });
    EXPECT_EQ(GetFontTextWidth(font.GetSafeHandle(), L"abcd", 4), 120);
    HWND window = createWindowStub(10, 10);
    SetWindowFont(window, font.GetSafeHandle(), FALSE);
    EXPECT_EQ(GetTextWidth(window, L"ab", 2), 60) << "the window's font";
    SetWindowFont(window, nullptr, FALSE);
    EXPECT_EQ(GetTextWidth(window, L"ab", 2), 28) << "the stock font";
    SetTextMeasurer(nullptr);
    EXPECT_EQ(GetTextWidth(window, L"ab", 2), 16);
    destroyWindowStub(window);
}

TEST(Mnemonics, StripAndFindTheUnderlinedCharacter)
{
    const struct { const wchar_t* text; const wchar_t* drawn; int underlined; } cases[] = {
        {L"&OK", L"OK", 0}, {L"N&o to All", L"No to All", 1}, {L"Fish && Chips", L"Fish & Chips", -1},
        {L"a&&&b", L"a&b", 2}, {L"end&", L"end", -1}, {L"", L"", -1}, {L"&a&b", L"ab", 0}};
    for (const auto& c : cases) {
        int underlined = 99;
        EXPECT_EQ(StripMnemonics(c.text, &underlined), c.drawn) << c.text;
        EXPECT_EQ(underlined, c.underlined) << c.text;
    }
    EXPECT_EQ(StripMnemonics(nullptr), L"");
}

TEST(BitmapResources, ByNameWithTheirSizes)
{
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(L"idb_titlebar2")) << "names are compared without case";
    BITMAP size;
    ASSERT_TRUE(bitmap.GetBitmap(&size));
    EXPECT_EQ(size.bmWidth, 28);
    EXPECT_EQ(size.bmHeight, 23);
    EXPECT_EQ(bitmapResourceName(bitmap), L"IDB_TITLEBAR2");

    SetLastError(0);
    EXPECT_EQ(LoadBitmapW(nullptr, L"NO_SUCH"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(LoadBitmapW(nullptr, nullptr), nullptr);

    EXPECT_TRUE(RegisterBitmapResource(L"App_Logo", 40, 20));
    EXPECT_FALSE(RegisterBitmapResource(L"", 4, 4));
    EXPECT_FALSE(RegisterBitmapResource(L"Bad", 0, 4));
    EXPECT_FALSE(RegisterBitmapResource(L"Bad", 4, 5000));
    int w = 0, h = 0;
    ASSERT_TRUE(bitmapResourceSize(L"APP_LOGO", w, h));
    EXPECT_EQ(w, 40);
    EXPECT_EQ(h, 20);
    const auto names = bitmapResourceNames();
    EXPECT_NE(std::find(names.begin(), names.end(), L"App_Logo"), names.end());
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));

    HBITMAP loaded = LoadBitmapW(nullptr, L"App_Logo");
    HBITMAP again = LoadBitmapW(nullptr, L"App_Logo");
    EXPECT_NE(loaded, again) << "each load a new object";
    EXPECT_TRUE(DeleteObject(loaded));
    EXPECT_TRUE(DeleteObject(again));
    EXPECT_EQ(bitmapResourceName(loaded), L"");
}

TEST(Icons, TheFourMessageIconsAreShared)
{
    const struct { LPCWSTR id; const wchar_t* name; } icons[] = {
        {IDI_HAND, L"IDI_HAND"}, {IDI_QUESTION, L"IDI_QUESTION"},
        {IDI_EXCLAMATION, L"IDI_EXCLAMATION"}, {IDI_ASTERISK, L"IDI_ASTERISK"}};
    for (const auto& icon : icons) {
        const HICON byNumber = LoadIconW(nullptr, icon.id);
        ASSERT_NE(byNumber, nullptr) << icon.name;
        EXPECT_EQ(LoadIconW(nullptr, icon.name), byNumber) << "shared";
        EXPECT_EQ(iconResourceName(byNumber), icon.name);
        int w = 0, h = 0;
        ASSERT_TRUE(iconSize(byNumber, w, h));
        EXPECT_EQ(w, 32);
        EXPECT_EQ(h, 32);
        EXPECT_TRUE(DestroyIcon(byNumber));
        EXPECT_EQ(iconResourceName(byNumber), icon.name) << "a shared icon stays";
    }
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
    EXPECT_EQ(LoadIconW(nullptr, L"IDB_TITLEBAR2"), nullptr);
}

} // namespace
