// The pop-up templates' geometry: both templates inside their screen and below the title bar,
// no two controls overlapping, place 1 and the pair centred, the icon at the top left of the
// text, and the text without icon taking the icon's place.
#include "dialogs/popupLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool overlap(const CRect& a, const CRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool inside(const CRect& r, int width, int height)
{
    return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && !r.IsRectEmpty();
}

TEST(PopupLayout, TheTemplateForEachScreen)
{
    EXPECT_TRUE(IsPortraitPopupScreen(240, 320));
    for (auto size : {std::make_pair(320, 240), std::make_pair(480, 640), std::make_pair(240, 240),
                      std::make_pair(640, 480), std::make_pair(800, 480)})
        EXPECT_FALSE(IsPortraitPopupScreen(size.first, size.second)) << size.first << "x" << size.second;
    EXPECT_NE(&PopupGeometryFor(240, 320), &PopupGeometryFor(320, 240));
    EXPECT_EQ(&PopupGeometryFor(320, 240), &PopupGeometryFor(800, 480));
}

TEST(PopupLayout, BothTemplatesHoldTogether)
{
    // The template for other screens is laid out for the smallest of them, 320 x 240.
    for (auto size : {std::make_pair(240, 320), std::make_pair(320, 240)}) {
        const int width = size.first, height = size.second;
        const std::string where = std::to_string(width) + "x" + std::to_string(height);
        const TPopupGeometry& g = PopupGeometryFor(width, height);
        std::vector<CRect> controls = {g.icon, g.text};
        for (const CRect& place : g.places)
            controls.push_back(place);
        for (size_t i = 0; i < controls.size(); ++i) {
            EXPECT_TRUE(inside(controls[i], width, height)) << where << " control " << i;
            EXPECT_GE(controls[i].top, 27 + 2) << where << " control " << i << " under the title bar";
            for (size_t j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE(overlap(controls[i], controls[j])) << where << " controls " << i << ", " << j;
        }
        EXPECT_EQ(g.icon.Width(), 32) << where;
        EXPECT_EQ(g.icon.Height(), 32) << where;
        EXPECT_EQ(g.icon.top, g.text.top) << where << " the icon at the top left of the text";
        EXPECT_LT(g.icon.right, g.text.left) << where;
        EXPECT_EQ(g.textWithoutIcon, CRect(g.icon.left, g.text.top, g.text.right, g.text.bottom)) << where;
        EXPECT_FALSE(overlap(g.textWithoutIcon, g.places[0]) || overlap(g.textWithoutIcon, g.places[3])) << where;

        // Places 0 to 2 in one row, place 1 in the middle of the screen; 3 and 4 a pair below,
        // centred; all of a height.
        for (int p = 1; p < kPopupPlaces; ++p)
            EXPECT_EQ(g.places[p].Height(), g.places[0].Height()) << where << " place " << p;
        EXPECT_EQ(g.places[1].top, g.places[0].top) << where;
        EXPECT_EQ(g.places[2].top, g.places[0].top) << where;
        EXPECT_LT(g.places[0].right, g.places[1].left) << where;
        EXPECT_LT(g.places[1].right, g.places[2].left) << where;
        EXPECT_EQ(g.places[1].left + g.places[1].right, width) << where << " place 1 centred";
        EXPECT_EQ(g.places[3].top, g.places[4].top) << where;
        EXPECT_GT(g.places[3].top, g.places[0].bottom) << where << " the pair below the row";
        EXPECT_EQ(g.places[3].left + g.places[4].right, width) << where << " the pair centred";
    }
}

} // namespace
