// Draws a top-level window of the platform layer's model (platform/windowStub.h) into a
// picture of the screen's size, so that a person can see what a layout gives: the desktop,
// the window's background, the window's recorded painting (platform/paintDC.h), then every
// visible child window by its class and state (push buttons framed with their text, the
// default button with a heavier frame, check boxes and radio buttons, static texts wrapped
// in their rectangle, bitmaps and icons, edit fields; any other class as a grey frame).
//
// Why cairo, when the road plot writes SVG by hand and leaves PNG to rsvg-convert: a layout
// here depends on how wide its texts are, so the measurer that lays them out must be the one
// that draws them, with the same font file at the same size; and the tests read pixels. A
// drawing library gives both in the process. Text is drawn in Liberation Sans (the
// metric-compatible stand-in for Arial, the face the dialogs ask for), found through
// fontconfig and checked to be that very face: a missing font stops the renderer with a
// message instead of falling back silently to another face.
//
// Bitmaps and icons are named resources (platform/gdi.h); their look is drawn here as simple
// shapes: the menu button "IDB_TITLEBAR2" (three bars on blue), the soft-keyboard indicator
// "IDB_ALPHAKEY" (a keyboard) and "IDB_TITLEBAR_EMPTY" (the keyboard greyed out), and the
// message icons (a red disc with a cross, a blue disc with '?', a yellow triangle with '!',
// a blue disc with 'i'). Any other name is drawn as a crossed box.
#pragma once

#include "platform/gdi.h"
#include "platform/paintDC.h"
#include "platform/windowStub.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A picture: pixels 0xAARRGGBB, rows from the top.
struct TImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
};

// The colours of what is not painted by the window: the desktop around it and its background.
constexpr std::uint32_t kDesktopPixel = 0xFF3A6EA5;
constexpr std::uint32_t kWindowPixel = 0xFFFFFFFF;

struct TRenderOptions {
    // Texts are cut at their rectangle, and child windows at theirs (as the platform draws
    // them) unless a text asks for DT_NOCLIP; tests turn this off to see whether a text would
    // leave its rectangle.
    bool clipText = true;
};

class CWindowRenderer {
public:
    CWindowRenderer();
    // Removes the measurer it installed (the layer's default measures again).
    ~CWindowRenderer();
    CWindowRenderer(const CWindowRenderer&) = delete;
    CWindowRenderer& operator=(const CWindowRenderer&) = delete;

    // Finds Liberation Sans (regular and bold) and installs this renderer's text measurer
    // into the platform layer (SetTextMeasurer), so that layouts made from now on measure as
    // this renderer draws. False, with the reason, when the font is not installed (Debian:
    // fonts-liberation2) or fontconfig offers another face for it.
    bool Init(std::string& error);
    // The font files in use (after Init).
    const std::string& FontFile(bool bold) const;

    // The width in pixels of `length` characters of `text` in the font, rounded up; the face
    // is Liberation Sans whatever the font names (a face it does not stand for is reported by
    // Render). Weights from 600 are bold. Heights: see LOGFONTW (platform/gdi.h).
    int MeasureText(const LOGFONTW& font, const wchar_t* text, int length);

    // Draws the window (top-level, with its children) and its painting onto the screen
    // (GetSystemMetrics). False, with the reason, before Init, for a handle that is no window,
    // or when a text asked for a face other than Arial, Liberation Sans, Helvetica or the
    // default (an empty name).
    bool Render(HWND window, const std::vector<TDrawOp>& painting, TImage& image,
                std::string& error, const TRenderOptions& options = TRenderOptions());

    static bool WritePng(const TImage& image, const std::string& path, std::string& error);
    static bool ReadPng(const std::string& path, TImage& image, std::string& error);

    struct Fonts;

private:
    std::unique_ptr<Fonts> m_fonts;
};
