// The SVG toolkit on its own: box geometry, text measurement, label placement and round steps.
#include "road/svgScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace svgscene;

TEST(SvgScene, BoxesOverlapTouchAndTurn)
{
    const Box a{{0, 0}, {1, 0}, 10, 5};
    struct Case { const char* name; Box b; bool overlaps; };
    const double s = std::sqrt(0.5);
    const Case cases[] = {
        {"apart across", {{25, 0}, {1, 0}, 10, 5}, false},
        {"touching edges do not overlap", {{20, 0}, {1, 0}, 10, 5}, false},
        {"a pixel in", {{19, 0}, {1, 0}, 10, 5}, true},
        {"inside", {{0, 0}, {1, 0}, 2, 2}, true},
        // A box turned 45 degrees whose corner stops short of a's corner: the bounding boxes
        // overlap, the boxes do not.
        {"turned, clear of the corner", {{14, 9}, {s, s}, 4, 1}, false},
        {"turned, through the corner", {{11, 6}, {s, s}, 4, 1}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(overlap(a, c.b), c.overlaps) << c.name;
        EXPECT_EQ(overlap(c.b, a), c.overlaps) << c.name << " (swapped)";
    }
    EXPECT_TRUE(inside(a, -10, -5, 10, 5));
    EXPECT_FALSE(inside(a, -10, -5, 9.9, 5));
}

TEST(SvgScene, SegmentsThroughBoxes)
{
    const Box b{{0, 0}, {1, 0}, 10, 5};
    EXPECT_TRUE(crosses({-20, 0}, {20, 0}, b));
    EXPECT_TRUE(crosses({0, 0}, {0, 1}, b)) << "a segment inside";
    EXPECT_FALSE(crosses({-20, 6}, {20, 6}, b));
    EXPECT_FALSE(crosses({-20, 0}, {-11, 0}, b)) << "ends short of it";
    EXPECT_FALSE(crosses({-20, -20}, {20, -6}, b));
    EXPECT_TRUE(crosses({-20, -20}, {20, 20}, b)) << "the diagonal";
}

TEST(SvgScene, TextWidthFromTheAdvanceTable)
{
    // DejaVu Sans: digits 0.637 em, 'i' 0.278, 'W' 0.989, '+' 0.838; a CJK character a full em.
    EXPECT_NEAR(textWidth("0123456789", 10.0), 63.7, 1e-9);
    EXPECT_NEAR(textWidth("iW+", 10.0), 21.05, 1e-9);
    EXPECT_GT(textWidth("WWW", 10.0), textWidth("iii", 10.0) * 3.0);
    EXPECT_NEAR(textWidth("\xE6\x9D\xB1\xE4\xBA\xAC", 12.0), 24.0, 1e-9) << "two ideographs";
    EXPECT_NEAR(textWidth("PT", 10.0, true), 1.1 * textWidth("PT", 10.0), 1e-9);
    EXPECT_EQ(textWidth("", 10.0), 0.0);
}

TEST(SvgScene, HorizontalTextBoxFollowsItsAnchor)
{
    const double w = textWidth("0+100.00", 10.0);
    for (const char* anchor : {"start", "middle", "end"}) {
        const Prim t = hText({100, 50}, anchor, "0+100.00", 10.0, "x");
        const double left = std::string(anchor) == "start" ? 100 : std::string(anchor) == "end" ? 100 - w : 100 - w / 2;
        EXPECT_NEAR(t.box.c.x - t.box.hu, left - 1.0, 1e-9) << anchor;
        EXPECT_LT(t.box.c.y - t.box.hv, 50 - 0.75 * 10.0) << anchor << ": the box holds the capitals";
        EXPECT_GT(t.box.c.y + t.box.hv, 50 + 0.2 * 10.0) << anchor << ": and the descenders";
    }
}

TEST(SvgScene, PlacedLabelsKeepClearOfEachOther)
{
    Scene scene;
    Labels labels;
    Group& g = scene.add(0);
    // Ten labels at nearly the same point: every placed box is clear of the others.
    for (int i = 0; i < 10; ++i)
        if (!placeBeside(g, labels, {100.0 + i, 100.0}, "label " + std::to_string(i), 10.0, "l"))
            labels.drop();
    std::vector<Box> boxes;
    for (const Prim& p : g.prims)
        if (p.kind == Prim::Text)
            boxes.push_back(p.box);
    ASSERT_GE(boxes.size(), 4u);
    EXPECT_EQ(boxes.size() + static_cast<size_t>(labels.dropped()), 10u) << "each label placed or counted";
    for (size_t i = 0; i < boxes.size(); ++i)
        for (size_t j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(overlap(boxes[i], boxes[j])) << i << " and " << j;
}

TEST(SvgScene, RoundSteps)
{
    struct Case { double value, atLeast, atMost; };
    const Case cases[] = {{1.0, 1.0, 1.0}, {1.1, 2.0, 1.0}, {3.0, 5.0, 2.0}, {7.0, 10.0, 5.0}, {0.013, 0.02, 0.01},
                          {4500.0, 5000.0, 2000.0}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(niceAtLeast(c.value), c.atLeast) << c.value;
        EXPECT_DOUBLE_EQ(niceAtMost(c.value), c.atMost) << c.value;
    }
}

TEST(SvgScene, WrittenWithShiftAndEscapes)
{
    Scene scene;
    scene.add(1).prims.push_back(line({0, 0}, {10, 0.5}, "a"));
    scene.add(0, "id=\"first\"").prims.push_back(hText({1, 2}, "middle", "a<b & \"c\"", 10.0, ""));
    std::string out;
    scene.write(out, {100, 200});
    EXPECT_EQ(out, "<g id=\"first\"><text x=\"101\" y=\"202\" font-size=\"10\" text-anchor=\"middle\">a&lt;b &amp; &quot;c&quot;</text></g>\n"
                   "<line class=\"a\" x1=\"100\" y1=\"200\" x2=\"110\" y2=\"200.5\"/>\n")
        << "layer 0 first";
    double x0, y0, x1, y1;
    ASSERT_TRUE(scene.bounds(x0, y0, x1, y1));
    EXPECT_NEAR(x1, 1.0 + textWidth("a<b & \"c\"", 10.0) / 2 + 1.0, 1e-9) << "the text box reaches farthest";
}

// Text that is no XML character data comes out as U+FFFD, so that the page stays XML. Failed
// before: a --title or point name with \x01, or with the byte \xFF, made an SVG rsvg-convert
// refused to read.
TEST(SvgScene, TextThatIsNoXmlBecomesReplacementCharacters)
{
    const std::string r = "\xEF\xBF\xBD";
    struct Case { std::string in, out; const char* what; };
    const Case cases[] = {
        {"bad\x01" "ctl", "bad" + r + "ctl", "a control character"},
        {"bad\xFF" "utf", "bad" + r + "utf", "a byte that begins nothing"},
        {"a\xC3", "a" + r, "a sequence cut short"},
        {"\xC0\xAF", r + r, "an overlong form"},
        {"\xED\xA0\x80", r + r + r, "a surrogate"},
        {"\xEF\xBF\xBF", r + r + r, "U+FFFF"},
        {"line\nend\ttab", "line end tab", "line ends and tabs as blanks"},
        {"V\xC3\xA4g \xE6\x9D\xB1 \xF0\x9F\x9A\xA7", "V\xC3\xA4g \xE6\x9D\xB1 \xF0\x9F\x9A\xA7", "UTF-8 of 2, 3 and 4 bytes kept"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(escapeXml(c.in), c.out) << c.what;
}

// The area, the marks and the leaders keep labels off; a label with no free place is not drawn.
TEST(SvgScene, LabelsKeepToTheAreaAndOffMarksAndLeaders)
{
    Scene scene;
    Group& g = scene.add(0);
    Labels labels;
    labels.setArea(0, 0, 200, 200);
    // Right above the point would leave the area: the label goes to its left.
    ASSERT_TRUE(placeBeside(g, labels, {190, 100}, "0+100.00", 10.0, "l"));
    EXPECT_EQ(g.prims.back().anchor, "end");
    EXPECT_TRUE(inside(g.prims.back().box, 0, 0, 200, 200));
    // A mark covers the place right above: the label moves on.
    labels.takeMark(markBox({30, 40}, 20));
    ASSERT_TRUE(placeBeside(g, labels, {20, 50}, "PC", 10.0, "l"));
    EXPECT_FALSE(overlap(g.prims.back().box, markBox({30, 40}, 20)));
    // A leader kept: a later label stays off it.
    labels.takeLeader({100, 0}, {100, 200});
    const Prim across = hText({80, 150}, "start", "across the leader", 10.0, "l");
    EXPECT_FALSE(labels.isFree(across.box));
    // Nowhere to go in a tiny area: nothing drawn.
    Labels tiny;
    tiny.setArea(0, 0, 10, 10);
    const size_t before = g.prims.size();
    EXPECT_FALSE(placeOutward(g, tiny, {5, 5}, {1, 0}, 2.0, "too long a label", 10.0, "l", 5, true));
    EXPECT_EQ(g.prims.size(), before);
}

} // namespace
