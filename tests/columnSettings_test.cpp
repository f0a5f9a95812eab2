// Column layouts in "\columns.ini": reading order and show flags, writing them back, other
// sections kept, and random layouts round-tripping.
#include "deviceRootFixture.h"

#include "files/columnSettings.h"

#include <random>

namespace {

class ColumnSettings : public DeviceRootTest {
protected:
    // The root folder is the executable's folder of the device.
    std::string columnsFile() const { return "Program Files/fieldcore/columns.ini"; }
};

TEST_F(ColumnSettings, OrderAndShowWords)
{
    writeHost(columnsFile(), "[Points]\norder=name  north east\nshow=0 1\n[Other]\nkeep=yes\n");
    {
        CColumnSettings columns(L"Points");
        ASSERT_FALSE(columns.notLoaded());
        ASSERT_EQ(columns.getColumnCount(), 3);
        EXPECT_STREQ(columns.getColumnId(0), L"name");
        EXPECT_STREQ(columns.getColumnId(2), L"east") << "repeated blanks are skipped";
        EXPECT_FALSE(columns.getColumnShowFlag(0)) << "hidden";
        EXPECT_TRUE(columns.getColumnShowFlag(1));
        EXPECT_TRUE(columns.getColumnShowFlag(2)) << "no word left: shown";
        EXPECT_EQ(columns.getColumnId(3), nullptr);
        EXPECT_FALSE(columns.getColumnShowFlag(-1));
        columns.addColumn(L"height", false);
        columns.addColumn(L"bad id", true);  // a blank could not come back
        columns.addColumn(L"", true);
        EXPECT_EQ(columns.getColumnCount(), 4);
    }
    const std::string text = readHost(columnsFile());
    EXPECT_NE(text.find("order=name north east height\n"), std::string::npos) << text;
    EXPECT_NE(text.find("show=0 1 1 0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Other]\nkeep=yes\n"), std::string::npos) << "other sections stay";
}

TEST_F(ColumnSettings, ShowWordsOtherThanOneAreHidden)
{
    writeHost(columnsFile(), "[L]\norder=a b c d\nshow=1 yes 0 1 1 1\n");
    CColumnSettings columns(L"L");
    const bool expected[] = {true, false, false, true};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(columns.getColumnShowFlag(i), expected[i]) << i;
    columns.clear();
    EXPECT_EQ(columns.getColumnCount(), 0);
}

TEST_F(ColumnSettings, MissingFileIsCreatedByTheDestructor)
{
    {
        CColumnSettings columns(L"Codes");
        EXPECT_TRUE(columns.notLoaded());
        EXPECT_EQ(columns.getColumnCount(), 0);
    }
    EXPECT_EQ(readHost(columnsFile()), "[Codes]\norder=\nshow=\n\n");
}

TEST_F(ColumnSettings, RandomLayoutsRoundTrip)
{
    std::mt19937 random(59);
    for (int round = 0; round < 30; ++round) {
        std::vector<std::pair<std::wstring, bool>> layout;
        {
            CColumnSettings columns(L"R");
            columns.clear();
            const int n = static_cast<int>(random() % 8);
            for (int i = 0; i < n; ++i) {
                std::wstring id = L"c" + std::to_wstring(random() % 1000);
                if (random() % 4 == 0)
                    id += L"\u00e9";
                const bool show = random() % 2;
                layout.emplace_back(id, show);
                columns.addColumn(id.c_str(), show);
            }
        }
        CColumnSettings back(L"R");
        ASSERT_EQ(back.getColumnCount(), static_cast<int>(layout.size())) << round;
        for (int i = 0; i < back.getColumnCount(); ++i) {
            EXPECT_EQ(std::wstring(back.getColumnId(i)), layout[static_cast<std::size_t>(i)].first);
            EXPECT_EQ(back.getColumnShowFlag(i), layout[static_cast<std::size_t>(i)].second);
        }
    }
}

} // namespace
