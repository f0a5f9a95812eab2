// Point-file lines: the forms surveyors keep (names, numbered points, headers, CR LF) and the
// lines refused with their reason.
#include "road/roadPoints.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Expect {
    const char* line;
    bool ok;
    const char* name;
    double north, east;
    bool hasHeight;
    double height;
    const char* code;
};

void check(const RoadPointFormat& format, const Expect& e)
{
    RoadPointRecord p;
    std::string why;
    ASSERT_EQ(ParseRoadPointLine(format, e.line, p, why), e.ok) << "'" << e.line << "': " << why;
    EXPECT_EQ(p.name, e.name) << e.line;
    if (!e.ok) {
        EXPECT_FALSE(why.empty()) << e.line;
        return;
    }
    EXPECT_EQ(p.north, e.north) << e.line;
    EXPECT_EQ(p.east, e.east) << e.line;
    EXPECT_EQ(p.hasHeight, e.hasHeight) << e.line;
    EXPECT_EQ(p.height, e.height) << e.line;
    EXPECT_EQ(p.code, e.code) << e.line;
}

TEST(RoadPoints, LinesWithoutHeader)
{
    const Expect cases[] = {
        {"100 200", true, "", 100, 200, false, 0, ""},
        {"100 200 5.5", true, "", 100, 200, true, 5.5, ""},
        {"P1,100;200\t5 KERB\r", true, "P1", 100, 200, true, 5, "KERB"},
        {"101 100 200 5", true, "101", 100, 200, true, 5, ""},   // a numbered point
        {"P2 100 200 EDGE", true, "P2", 100, 200, false, 0, "EDGE"},
        {"P3 100", false, "P3", 0, 0, false, 0, ""},
        {"100 200 5 CODE", false, "100", 0, 0, false, 0, ""},   // a code needs a name
        {"P4 0x10 200", false, "P4", 0, 0, false, 0, ""},
        {"P5 +-5 200", false, "P5", 0, 0, false, 0, ""},
        {"P6 1e9 200", false, "P6", 0, 0, false, 0, ""},
        {"P7 1 2 1e5", false, "P7", 0, 0, false, 0, ""},
    };
    for (const Expect& e : cases)
        check(RoadPointFormat(), e);
}

TEST(RoadPoints, HeaderRows)
{
    RoadPointFormat f;
    EXPECT_TRUE(ReadRoadPointHeader("Code;Easting;Northing;Elev;Point\r", f));
    ASSERT_TRUE(f.header);
    EXPECT_EQ(f.separator, ';');
    check(f, {"K; 200 ;100;;\"P 9\"", true, "P 9", 100, 200, false, 0, "K"});
    check(f, {"K 200 100 7 P1", true, "P1", 100, 200, true, 7, "K"});   // no ';': any separator
    check(f, {"K;200;x;;P2", false, "P2", 0, 0, false, 0, ""});

    RoadPointFormat g;
    EXPECT_TRUE(ReadRoadPointHeader("survey of May", g)) << "a line without numbers is a header to skip";
    EXPECT_FALSE(g.header);
    EXPECT_FALSE(ReadRoadPointHeader("P1 100 200", g)) << "a line with numbers is data";
}

TEST(RoadPoints, BlankAndQuoted)
{
    EXPECT_TRUE(IsBlankOrCommentLine(" \t\r"));
    EXPECT_TRUE(IsBlankOrCommentLine("  # note"));
    EXPECT_FALSE(IsBlankOrCommentLine(" P1 1 2"));
    EXPECT_EQ(QuotedInputLine("abc\r"), "'abc'");
    EXPECT_EQ(QuotedInputLine(std::string(100, 'x')), "'" + std::string(80, 'x') + "...'");
}

} // namespace
