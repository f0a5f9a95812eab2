// The pop-up's button sets: every type code with both extra-button flags against a table
// written here from the button-set rules, plus the icons and beeps.
#include "dialogs/popupButtons.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// One button set as the rules state it: each place "text=result" or "" (hidden), and the
// default place for the default bits 0x000, 0x100, 0x200 and 0x300.
struct Row {
    unsigned int set;
    int yesToAll;   // -1: either
    int noToAll;
    const char* places[kPopupPlaces];
    int defaults[4];
};

const Row kRows[] = {
    {0, -1, -1, {"", "&Close=1", "", "", ""}, {1, -1, -1, -1}},
    {1, -1, -1, {"", "", "", "&Ok=1", "&Cancel=2"}, {3, 4, -1, -1}},
    {2, -1, -1, {"&Abort=3", "&Retry=4", "&Ignore=5", "", ""}, {0, 1, 2, -1}},
    {3, 0, 0, {"&Yes=6", "&No=7", "&Cancel=2", "", ""}, {0, 1, 2, -1}},
    {3, 1, 0, {"&Yes=6", "&No=7", "&Cancel=2", "Yes to &All=24", ""}, {0, 1, 2, -1}},
    {3, 0, 1, {"&Yes=6", "&No=7", "&Cancel=2", "", "N&o to All=25"}, {0, 1, 2, -1}},
    {3, 1, 1, {"&Yes=6", "&No=7", "&Cancel=2", "Yes to &All=24", "N&o to All=25"}, {0, 1, 2, -1}},
    {4, 1, -1, {"Yes to &All=24", "&Yes=6", "&No=7", "", ""}, {1, 2, -1, -1}},
    {4, 0, -1, {"", "", "", "&Yes=6", "&No=7"}, {3, 4, -1, -1}},
    {5, -1, -1, {"", "", "", "&Retry=4", "&Cancel=2"}, {3, 4, -1, -1}},
};
const Row kNoButtons = {99, -1, -1, {"", "", "", "", ""}, {-1, -1, -1, -1}};

const Row& rowFor(unsigned int set, bool yesToAll, bool noToAll)
{
    for (const Row& row : kRows)
        if (row.set == set && (row.yesToAll < 0 || row.yesToAll == int(yesToAll)) &&
            (row.noToAll < 0 || row.noToAll == int(noToAll)))
            return row;
    return kNoButtons;
}

std::string describe(const TPopupPlace& place)
{
    if (!place.shown)
        return "";
    std::string text;
    for (const wchar_t* p = place.text; *p; ++p)
        text += static_cast<char>(*p);
    return text + "=" + std::to_string(place.result);
}

TEST(PopupButtons, EveryTypeCodeMatchesTheRules)
{
    for (unsigned int type = 0; type < 4096; ++type)
        for (bool yesToAll : {false, true})
            for (bool noToAll : {false, true}) {
                const TPopupButtons buttons = PopupButtonsFor(type, yesToAll, noToAll);
                const Row& row = rowFor(type & 0xF, yesToAll, noToAll);
                const std::string where = "type " + std::to_string(type) + " yesToAll " +
                                          std::to_string(yesToAll) + " noToAll " + std::to_string(noToAll);
                std::set<int> results;
                for (int p = 0; p < kPopupPlaces; ++p) {
                    ASSERT_EQ(describe(buttons.places[p]), row.places[p]) << where << " place " << p;
                    if (buttons.places[p].shown) {
                        EXPECT_TRUE(results.insert(buttons.places[p].result).second) << where;
                    }
                }
                const unsigned int bits = (type >> 8) & 0xF;
                ASSERT_EQ(buttons.defaultPlace, bits < 4 ? row.defaults[bits] : -1) << where;
                if (buttons.defaultPlace >= 0) {
                    EXPECT_TRUE(buttons.places[buttons.defaultPlace].shown) << where;
                }

                const unsigned int icon = type & 0xF0;
                const int controls[] = {0, 1031, 1034, 1032, 1033};
                const int control = icon >= 0x10 && icon <= 0x40 ? controls[icon >> 4] : 0;
                EXPECT_EQ(PopupIconControl(type), control) << where;
                EXPECT_EQ(PopupBeep(type), control ? icon : 0u) << where;
            }
}

} // namespace
