// Pictures of the message pop-up, drawn by the window renderer: for every button set with and
// without each icon, on both templates, ink in every shown place and in the text, only the
// background in hidden places, the icon's colours exactly when there is an icon, and no button
// text wider than its place as the renderer measures it.
#include "dialogs/messagePopup.h"
#include "platform/screen.h"
#include "tests/deviceRootFixture.h"
#include "tools/render/windowRenderer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class PopupPictures : public DeviceRootTest {
protected:
    void TearDown() override
    {
        ::unsetenv("FIELDCORE_SCREEN");
        ReloadScreenMeasures();
        DeviceRootTest::TearDown();
    }
};

CRect rectOf(HWND window)
{
    CRect r;
    GetWindowRect(window, &r);
    return r;
}

bool isBackground(std::uint32_t pixel) { return pixel == kWindowPixel; }
bool isColoured(std::uint32_t pixel)
{
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return std::abs(r - g) > 40 || std::abs(g - b) > 40 || std::abs(r - b) > 40;
}
bool isDark(std::uint32_t pixel)
{
    return ((pixel >> 16) & 0xFF) < 100 && ((pixel >> 8) & 0xFF) < 100 && (pixel & 0xFF) < 100;
}

template <class Test>
int countPixels(const TImage& image, const CRect& r, Test test)
{
    int n = 0;
    for (int y = std::max(0, r.top); y < std::min(image.height, r.bottom); ++y)
        for (int x = std::max(0, r.left); x < std::min(image.width, r.right); ++x)
            n += test(image.at(x, y)) ? 1 : 0;
    return n;
}

TEST_F(PopupPictures, EverySetOnBothTemplates)
{
    CWindowRenderer renderer;
    std::string error;
    ASSERT_TRUE(renderer.Init(error)) << error;
    for (const char* screen : {"240x320", "320x240"}) {
        ::setenv("FIELDCORE_SCREEN", screen, 1);
        ReloadScreenMeasures();
        for (unsigned int set = 0; set <= 6; ++set)
            for (unsigned int icon : {0x00u, 0x10u, 0x20u, 0x30u, 0x40u})
                for (bool extras : {false, true}) {
                    const unsigned int type = set | icon;
                    const std::string where = std::string(screen) + " type " + std::to_string(type) +
                                              (extras ? " with both extra buttons" : "");
                    CMessagePopupDlg popup(nullptr, L"Overwrite point 1001? It is stored already.", L"Point",
                                           type, 0, extras, extras);
                    ASSERT_TRUE(popup.CreateModeless()) << where;
                    TImage image;
                    TRenderOptions options;
                    options.clipText = false;
                    ASSERT_TRUE(renderer.Render(popup.m_hWnd, {}, image, error, options)) << error;
                    ASSERT_EQ(std::to_string(image.width) + "x" + std::to_string(image.height), screen);

                    for (int p = 0; p < kPopupPlaces; ++p) {
                        const HWND button = popup.GetDlgItem(kPopupFirstPlace + p);
                        const CRect place = rectOf(button);
                        if (!popup.Buttons().places[p].shown) {
                            EXPECT_EQ(countPixels(image, place, [](std::uint32_t px) { return !isBackground(px); }), 0)
                                << where << ": hidden place " << p;
                            continue;
                        }
                        CRect inside = place;
                        inside.DeflateRect(3, 3);
                        EXPECT_GT(countPixels(image, inside, isDark), 0) << where << ": text in place " << p;
                        LOGFONTW font;
                        getFontDescription(GetWindowFont(button), font);
                        const std::wstring text = StripMnemonics(popup.Buttons().places[p].text);
                        EXPECT_LE(renderer.MeasureText(font, text.c_str(), static_cast<int>(text.size())),
                                  place.Width() - 4)
                            << where << ": the text of place " << p << " fits";
                    }
                    const CRect iconPlace = rectOf(popup.GetDlgItem(kPopupIconStop));
                    EXPECT_EQ(countPixels(image, iconPlace, isColoured) > 0, icon != 0) << where << ": icon";
                    EXPECT_GT(countPixels(image, rectOf(popup.GetDlgItem(kPopupText)), isDark), 0) << where;
                }
    }
}

// The dialogs may be given the bold font (Arial, height 15, weight 700): every button text of
// every set fits its place in that font too, on both templates.
TEST_F(PopupPictures, EveryButtonTextFitsInTheBoldFont)
{
    CWindowRenderer renderer;
    std::string error;
    ASSERT_TRUE(renderer.Init(error)) << error;
    LOGFONTW bold;
    bold.lfHeight = 15;
    bold.lfWeight = FW_BOLD;
    wcscpy(bold.lfFaceName, L"Arial");
    for (const char* screen : {"240x320", "320x240"}) {
        ::setenv("FIELDCORE_SCREEN", screen, 1);
        int width = 0, height = 0;
        getScreenSize(width, height);
        const TPopupGeometry& g = PopupGeometryFor(width, height);
        for (unsigned int set = 0; set <= 5; ++set) {
            const TPopupButtons buttons = PopupButtonsFor(set, true, true);
            for (int p = 0; p < kPopupPlaces; ++p) {
                const std::wstring text = StripMnemonics(buttons.places[p].text);
                EXPECT_LE(renderer.MeasureText(bold, text.c_str(), static_cast<int>(text.size())),
                          g.places[p].Width() - 4)
                    << screen << " set " << set << " place " << p;
            }
        }
    }
}

} // namespace
