#include "dialogs/popupLayout.h"

namespace {

// 240 x 320 portrait: places of 76 x 23 in a row 4 pixels apart from the screen's edges at 2,
// the pair of 96 x 23 below, centred on x = 120.
const TPopupGeometry kPortrait = {
    CRect(6, 34, 38, 66),
    CRect(46, 34, 234, 250),
    CRect(6, 34, 234, 250),
    {CRect(2, 258, 78, 281), CRect(82, 258, 158, 281), CRect(162, 258, 238, 281),
     CRect(18, 289, 114, 312), CRect(126, 289, 222, 312)},
};

// Every other screen, laid out for 320 x 240 landscape: places of 96 x 23, centred on x = 160.
const TPopupGeometry kOther = {
    CRect(8, 34, 40, 66),
    CRect(48, 34, 312, 170),
    CRect(8, 34, 312, 170),
    {CRect(10, 178, 106, 201), CRect(112, 178, 208, 201), CRect(214, 178, 310, 201),
     CRect(58, 208, 154, 231), CRect(166, 208, 262, 231)},
};

} // namespace

bool IsPortraitPopupScreen(int screenWidth, int screenHeight)
{
    return screenWidth == 240 && screenHeight == 320;
}

const TPopupGeometry& PopupGeometryFor(int screenWidth, int screenHeight)
{
    return IsPortraitPopupScreen(screenWidth, screenHeight) ? kPortrait : kOther;
}
