// The geometry of the message pop-up's two dialog templates (dialogs/messagePopup.h), in pixels
// of the dialog's client area (x to the right, y down, rectangles half-open): one template for
// the 240 x 320 portrait screen, one for every other screen.
//
// The title bar makes every dialog full screen when it initialises (dialogs/titlebar.h), so a
// template lays out the inside of a full-screen window: the bar takes the top 25 pixels (27 on
// some controllers) and the controls start below it at y = 34. Places 0 to 2 stand in one row
// with place 1 in the middle of the screen (type 0's lone "&Close" then stands centred); places
// 3 and 4 stand below as a pair, centred; the icon (32 x 32) sits at the top left of the text,
// and without an icon the text takes the icon's place too (textWithoutIcon). Buttons are 23
// pixels high, as the title bar's. Every button text of the pop-up fits its place in both
// templates, in the dialog font and in the bold font (checked with the renderer's measurer,
// tests/popupLayout_test.cpp).
//
// The template for other screens is laid out for the smallest of them, 320 x 240 landscape; on
// larger screens it keeps its size and stands at the top left (a template does not scale), and
// on a screen smaller than 320 x 240 its lower places would fall outside.
#pragma once

#include "dialogs/popupButtons.h"
#include "platform/windowGeometry.h"

// Controls of the templates: place p is the button 50402 + p; the text is a static control.
constexpr int kPopupFirstPlace = 50402;
constexpr int kPopupText = 50422;

struct TPopupGeometry {
    CRect icon;              // each of the four icon controls
    CRect text;              // beside the icon
    CRect textWithoutIcon;   // the text widened to the icon's left edge
    CRect places[kPopupPlaces];
};

// The portrait template for exactly 240 x 320, the other one for every other size.
bool IsPortraitPopupScreen(int screenWidth, int screenHeight);
const TPopupGeometry& PopupGeometryFor(int screenWidth, int screenHeight);
