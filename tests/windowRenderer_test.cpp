// The window renderer: its fonts and measurer, and the pixels of the pictures it draws of a
// title bar and of the controls.
#include "deviceRootFixture.h"

#include "dialogs/titlebar.h"
#include "files/fileFuncs.h"
#include "platform/controls.h"
#include "platform/messages.h"
#include "platform/screen.h"
#include "tools/render/windowRenderer.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

class Renderer : public DeviceRootTest {
protected:
    void SetUp() override
    {
        DeviceRootTest::SetUp();
        ::setenv("FIELDCORE_SCREEN", "240x320", 1);
        ReloadScreenMeasures();
        m_font.CreateFont(15, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    }
    void TearDown() override
    {
        ::unsetenv("FIELDCORE_SCREEN");
        ReloadScreenMeasures();
        DeviceRootTest::TearDown();
    }
    void start(CWindowRenderer& renderer)
    {
        std::string error;
        ASSERT_TRUE(renderer.Init(error)) << error;
    }
    // A full-screen window with a bar: a title in A, OK in Y, Cancel in Z, and any more.
    void makeBar(CWnd& window, CTitlebar& bar, const std::vector<std::wstring>& more = {})
    {
        ASSERT_TRUE(window.Create(L"Dialog", L"Stake out", WS_VISIBLE, CRect(0, 0, 10, 10), nullptr));
        bar.AddTitle(L"A");
        bar.AddButton(L"Y", L"OK", 1, nullptr);
        bar.AddButton(L"Z", L"Cancel", 2, nullptr);
        for (size_t i = 0; i + 1 < more.size(); i += 2)
            bar.AddButton(more[i].c_str(), more[i + 1].c_str(), static_cast<UINT>(100 + i), nullptr);
        ASSERT_TRUE(bar.InitDialog(&window, &m_font, WT_DIALOG));
    }
    TImage render(CWindowRenderer& renderer, CWnd& window, CTitlebar& bar, bool clip = true)
    {
        CDC dc;
        bar.Paint(&dc, true);
        TImage image;
        std::string error;
        TRenderOptions options;
        options.clipText = clip;
        EXPECT_TRUE(renderer.Render(window, dc.operations(), image, error, options)) << error;
        return image;
    }
    std::string picturePath(const std::string& name) const { return host(name); }

    CFont m_font;
};

// The number of pixels inside (or outside) the rectangle that differ from the background.
int inkInside(const TImage& image, const CRect& r, std::uint32_t background = kWindowPixel)
{
    int ink = 0;
    for (int y = std::max(0, r.top); y < std::min(image.height, r.bottom); ++y)
        for (int x = std::max(0, r.left); x < std::min(image.width, r.right); ++x)
            ink += image.at(x, y) != background;
    return ink;
}

int inkOutside(const TImage& image, const std::vector<CRect>& rects)
{
    int ink = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            bool inside = false;
            for (const CRect& r : rects)
                inside = inside || r.PtInRect(CPoint(x, y));
            ink += !inside && image.at(x, y) != kWindowPixel;
        }
    return ink;
}

TEST_F(Renderer, UsesLiberationSansAndMeasuresAsItDraws)
{
    {
        CWindowRenderer renderer;
        start(renderer);
        EXPECT_NE(renderer.FontFile(false).find("LiberationSans-Regular"), std::string::npos) << renderer.FontFile(false);
        EXPECT_NE(renderer.FontFile(true).find("LiberationSans-Bold"), std::string::npos) << renderer.FontFile(true);
        LOGFONTW font;
        m_font.GetLogFont(&font);
        const int wide = GetFontTextWidth(m_font, L"WWWW", 4);
        const int narrow = GetFontTextWidth(m_font, L"iiii", 4);
        EXPECT_EQ(wide, renderer.MeasureText(font, L"WWWW", 4)) << "installed in the layer";
        EXPECT_GT(wide, 4 * kStubCharWidth);
        EXPECT_LT(narrow, 4 * kStubCharWidth);
        font.lfWeight = FW_BOLD;
        EXPECT_GT(renderer.MeasureText(font, L"Stake out", 9), renderer.MeasureText(font, L"Stake out", 8));
        LOGFONTW regular;
        m_font.GetLogFont(&regular);
        EXPECT_GT(renderer.MeasureText(font, L"Stake out", 9), renderer.MeasureText(regular, L"Stake out", 9))
            << "bold is wider";
    }
    EXPECT_EQ(GetFontTextWidth(m_font, L"WWWW", 4), 4 * kStubCharWidth) << "the default again";
}

// fieldcore ui bar --title "Stake out" --item Y:button:OK:1 --item Z:button:Cancel:2, in process.
TEST_F(Renderer, BarPictureDrawsInsideTheObjectsOnly)
{
    CWindowRenderer renderer;
    start(renderer);
    CWnd window;
    CTitlebar bar;
    makeBar(window, bar, {L"X", L"Hidden"});
    bar.ShowObject(L"X", false);
    bar.FinalizeChanges();
    const TImage image = render(renderer, window, bar);
    ASSERT_EQ(image.width, 240);
    ASSERT_EQ(image.height, 320);
    std::vector<CRect> shown;
    for (const wchar_t* pos : {L"A", L"Y", L"Z"}) {
        CRect r;
        ASSERT_TRUE(bar.GetItemRect(pos, r));
        EXPECT_GT(inkInside(image, r), 20) << "something drawn in " << r.left << "," << r.top;
        shown.push_back(r);
    }
    CRect hidden;
    ASSERT_TRUE(bar.GetItemRect(L"X", hidden));
    EXPECT_FALSE(hidden.IsRectEmpty());
    EXPECT_EQ(inkInside(image, hidden), 0) << "only background where the hidden button is";
    EXPECT_EQ(inkOutside(image, {bar.GetBarRect()}), 0) << "nothing outside the bar";
    EXPECT_EQ(inkOutside(image, shown), 0) << "nor between its objects";

    // The same through a PNG file.
    std::string error;
    ASSERT_TRUE(CWindowRenderer::WritePng(image, picturePath("bar.png"), error)) << error;
    TImage back;
    ASSERT_TRUE(CWindowRenderer::ReadPng(picturePath("bar.png"), back, error)) << error;
    EXPECT_EQ(back.width, 240);
    EXPECT_EQ(back.pixels, image.pixels);
    EXPECT_FALSE(CWindowRenderer::WritePng(image, picturePath("no/such/folder/bar.png"), error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_FALSE(CWindowRenderer::ReadPng(picturePath("missing.png"), back, error));
}

// Texts wider than a button's 50 pixels: laid out with the renderer's measurer none leaves
// its rectangle even when the picture does not cut texts; laid out with 8 pixels per
// character a text of wide letters does.
TEST_F(Renderer, NoTextLeavesItsRectangleWithTheRenderersMeasurer)
{
    const std::vector<std::wstring> wide = {L"R", L"WWWWW", L"S", L"&Measure"};
    {
        CWindowRenderer renderer;
        start(renderer);
        CWnd window;
        CTitlebar bar;
        makeBar(window, bar, wide);
        bar.AddText(L"T", L"a text far too long for fifty pixels");
        bar.FinalizeChanges();
        const TImage image = render(renderer, window, bar, false);
        std::vector<CRect> rects;
        for (const wchar_t* pos : {L"A", L"R", L"S", L"T", L"Y", L"Z"}) {
            CRect r;
            bar.GetItemRect(pos, r);
            rects.push_back(r);
        }
        EXPECT_GT(rects[1].Width(), 50) << "WWWWW grew";
        EXPECT_EQ(inkOutside(image, rects), 0);
    }
    CWindowRenderer late;
    CWnd window;
    CTitlebar bar;
    makeBar(window, bar, wide);   // measured at 8 px per character: 50 px for WWWWW
    start(late);
    CRect r;
    bar.GetItemRect(L"R", r);
    EXPECT_EQ(r.Width(), 50);
    const TImage image = render(late, window, bar, false);
    EXPECT_GT(inkOutside(image, {bar.GetBarRect()}) + inkInside(image, CRect(r.right, r.top, r.right + 2, r.bottom)), 0)
        << "the text measured by the stub spills over";
}

TEST_F(Renderer, ControlsByClassAndState)
{
    CWindowRenderer renderer;
    start(renderer);
    CWnd window;
    ASSERT_TRUE(window.Create(L"Dialog", L"", WS_VISIBLE, CRect(0, 0, 240, 320), nullptr));
    auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, CRect r) {
        return CreateWindowW(cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.Width(), r.Height(),
                             window, nullptr, nullptr, nullptr);
    };
    const CRect normalRect(10, 10, 70, 33), defaultRect(80, 10, 140, 33);
    make(L"button", L"&Yes", BS_PUSHBUTTON, normalRect);
    make(L"button", L"No", BS_DEFPUSHBUTTON, defaultRect);
    const CRect wrapRect(10, 40, 90, 120);
    make(L"static", L"one two three four five six seven", SS_LEFT, wrapRect);
    const CRect iconRects[] = {CRect(100, 40, 132, 72), CRect(140, 40, 172, 72), CRect(100, 80, 132, 112),
                               CRect(140, 80, 172, 112)};
    const LPCWSTR icons[] = {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK};
    for (int i = 0; i < 4; ++i) {
        HWND icon = make(L"static", L"", SS_ICON, iconRects[i]);
        SendMessage(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, icons[i])), 0);
    }
    ASSERT_TRUE(RegisterBitmapResource(L"APP_WITHOUT_LOOK", 30, 20));
    CBitmap unknown, menu;
    unknown.LoadBitmap(L"APP_WITHOUT_LOOK");
    menu.LoadBitmap(L"IDB_TITLEBAR2");
    const CRect crossRect(10, 130, 40, 150), menuRect(50, 130, 78, 153);
    SendMessage(make(L"static", L"", SS_BITMAP, crossRect), STM_SETIMAGE, IMAGE_BITMAP,
                reinterpret_cast<LPARAM>(unknown.GetSafeHandle()));
    SendMessage(make(L"button", L"", BS_BITMAP, menuRect), BM_SETIMAGE, IMAGE_BITMAP,
                reinterpret_cast<LPARAM>(menu.GetSafeHandle()));
    const CRect hiddenRect(10, 200, 100, 230);
    CreateWindowW(L"button", L"hidden", WS_CHILD | BS_PUSHBUTTON, hiddenRect.left, hiddenRect.top,
                  hiddenRect.Width(), hiddenRect.Height(), window, nullptr, nullptr, nullptr);
    make(L"edit", L"1234.567", 0, CRect(100, 130, 230, 153));

    TImage image;
    std::string error;
    TRenderOptions unclipped;
    unclipped.clipText = false;
    ASSERT_TRUE(renderer.Render(window, {}, image, error, unclipped)) << error;
    ASSERT_TRUE(CWindowRenderer::WritePng(image, picturePath("controls.png"), error));

    const std::uint32_t black = 0xFF000000;
    const int midY = 21;
    EXPECT_EQ(image.at(normalRect.left, midY), black);
    EXPECT_NE(image.at(normalRect.left + 1, midY), black) << "a one-pixel frame";
    EXPECT_EQ(image.at(defaultRect.left + 1, midY), black) << "the default button's heavier frame";

    // The static text wraps onto several lines inside its rectangle.
    int firstRow = -1, lastRow = -1;
    for (int y = 0; y < image.height; ++y)
        if (inkInside(image, CRect(wrapRect.left, y, wrapRect.right, y + 1)) > 0 && y >= wrapRect.top && y < crossRect.top) {
            firstRow = firstRow < 0 ? y : firstRow;
            lastRow = y;
        }
    EXPECT_GT(lastRow - firstRow, 25) << "three lines or more";
    EXPECT_LT(lastRow, wrapRect.bottom);
    EXPECT_EQ(inkInside(image, CRect(wrapRect.right, wrapRect.top, wrapRect.right + 8, wrapRect.bottom)), 0);

    // Icons: the stop icon red, the question blue, the exclamation yellow.
    auto red = [](std::uint32_t p) { return ((p >> 16) & 0xFF) > 180 && ((p >> 8) & 0xFF) < 80; };
    auto blue = [](std::uint32_t p) { return (p & 0xFF) > 150 && ((p >> 16) & 0xFF) < 80; };
    auto yellow = [](std::uint32_t p) { return ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 150 && (p & 0xFF) < 60; };
    EXPECT_TRUE(red(image.at(iconRects[0].left + 6, iconRects[0].top + 16)));
    EXPECT_TRUE(blue(image.at(iconRects[1].left + 6, iconRects[1].top + 16)));
    EXPECT_TRUE(yellow(image.at(iconRects[2].left + 16, iconRects[2].bottom - 5)));
    EXPECT_TRUE(blue(image.at(iconRects[3].left + 6, iconRects[3].top + 16)));
    // A name without a look: a crossed box (red corners and centre).
    EXPECT_TRUE(red(image.at(crossRect.left, crossRect.top)));
    EXPECT_TRUE(red(image.at(crossRect.right - 1, crossRect.bottom - 1)));
    EXPECT_GT(inkInside(image, CRect(crossRect.left + 13, crossRect.top + 8, crossRect.left + 17, crossRect.top + 12)), 0);
    EXPECT_GT(inkInside(image, menuRect), 100);
    EXPECT_EQ(inkInside(image, hiddenRect), 0);
}

// The file utilities' path shortening measures through the layer: with the renderer
// installed, as the renderer draws.
TEST_F(Renderer, CompactPathMeasuresWithTheRenderer)
{
    HWND window = createWindowStub(100, 20);   // paths up to 90 px
    const wchar_t* path = L"\\iiiii\\iiiiiii\\iii.txt";   // 8 px per character: 168 px
    EXPECT_NE(FileFuncsEx::CompactPath(window, path, L'\\'), CString(path)) << "shortened by the default";
    {
        CWindowRenderer renderer;
        start(renderer);
        EXPECT_EQ(FileFuncsEx::CompactPath(window, path, L'\\'), CString(path)) << "narrow letters fit";
    }
    destroyWindowStub(window);
}

TEST_F(Renderer, RefusesFacesItCannotDraw)
{
    CWindowRenderer renderer;
    CWnd window;
    ASSERT_TRUE(window.Create(L"Dialog", L"", WS_VISIBLE, CRect(0, 0, 240, 320), nullptr));
    TImage image;
    std::string error;
    EXPECT_FALSE(renderer.Render(window, {}, image, error)) << "not before Init";
    start(renderer);
    CDC dc;
    CFont tahoma;
    tahoma.CreateFont(13, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma");
    dc.SelectObject(&tahoma);
    CRect r(0, 0, 100, 20);
    dc.DrawText(L"text", -1, &r, DT_SINGLELINE);
    EXPECT_FALSE(renderer.Render(window, dc.operations(), image, error));
    EXPECT_NE(error.find("Tahoma"), std::string::npos) << error;
    EXPECT_FALSE(renderer.Render(nullptr, {}, image, error));
}

} // namespace
