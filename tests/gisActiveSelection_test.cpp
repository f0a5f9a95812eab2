// The GIS active selection: identity, flags, the current insert location, removals with their
// recomputation, copies, the control-code delimiters, and random sequences of adds and
// removals checked against a model of the selection.
#include "devices/gisActiveSelection.h"
#include "platform/textCodec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

const GIS_OBJECT_TYPE P = GIS_OBJECT_POINT, L = GIS_OBJECT_LINE, A = GIS_OBJECT_AREA;

bool add(CGISActiveSelection& s, const wchar_t* code, const wchar_t* codeString, GIS_OBJECT_TYPE type,
         GIS_PTINSERT_LOC location = GIS_PTINSERT_NONE)
{
    return s.AddObjectToActiveList(code, codeString, type, location, L"label", true);
}

std::string codesOf(const CGISActiveSelection& s)
{
    std::string codes;
    for (int i = 0; i < s.GetNumActiveObjects(); ++i)
        codes += (i ? " " : "") + ToUtf8(s.GetActiveObjectAt(i).code) + "/" + ToUtf8(s.GetActiveObjectAt(i).codeString);
    return codes;
}

TEST(GisActiveSelection, TheSameIdentityIsAddedOnce)
{
    CGISActiveSelection s;
    EXPECT_TRUE(add(s, L"FENCE", L"1", L, GIS_PTINSERT_END));
    // Label, type, location and remain-active are not part of the identity.
    EXPECT_FALSE(s.AddObjectToActiveList(L"FENCE", L"1", A, GIS_PTINSERT_START, L"other", false));
    EXPECT_EQ(codesOf(s), "FENCE/1");
    EXPECT_EQ(s.GetActiveSelType(), 3u);
    EXPECT_EQ(s.GetActiveInsertType(), GIS_PTINSERT_END);
    // Identity is exact: case and code string count.
    EXPECT_TRUE(add(s, L"fence", L"1", P));
    EXPECT_TRUE(add(s, L"FENCE", L"2", P));
    EXPECT_TRUE(add(s, L"FENCE", L"1 ", P));
    EXPECT_EQ(s.ObjectLocInActiveList(L"FENCE", L"2"), 2);
    EXPECT_EQ(s.ObjectLocInActiveList(L"FENCE", L"3"), -1);
    EXPECT_EQ(s.FindObjectWithCode(L"FENCE"), 0);
    EXPECT_EQ(s.FindObjectWithCode(L"Fence"), -1);
}

TEST(GisActiveSelection, InsertLocationAfterRemovals)
{
    struct Case {
        const char* reason;
        std::vector<GISObject> objects;
        int removed;
        unsigned long flags;
        GIS_PTINSERT_LOC location;
    };
    auto o = [](const wchar_t* code, GIS_OBJECT_TYPE type, GIS_PTINSERT_LOC loc) {
        GISObject g;
        g.code = code;
        g.objectType = type;
        g.insertLocation = loc;
        return g;
    };
    const Case cases[] = {
        {"the first line before the first area", {o(L"a", A, GIS_PTINSERT_END), o(L"p", P, GIS_PTINSERT_NONE),
          o(L"l1", L, GIS_PTINSERT_START), o(L"l2", L, GIS_PTINSERT_INSERT)}, 3, 15, GIS_PTINSERT_NONE},
        {"two lines left: several", {o(L"l1", L, GIS_PTINSERT_START), o(L"a", A, GIS_PTINSERT_END),
          o(L"l2", L, GIS_PTINSERT_INSERT)}, 1, 11, GIS_PTINSERT_NONE},
        {"an area alone", {o(L"a", A, GIS_PTINSERT_END), o(L"l", L, GIS_PTINSERT_START)}, 1, 5, GIS_PTINSERT_END},
        {"a line alone after the area", {o(L"a", A, GIS_PTINSERT_END), o(L"l", L, GIS_PTINSERT_START)}, 0, 3,
         GIS_PTINSERT_START},
        {"points only", {o(L"p", P, GIS_PTINSERT_END), o(L"l", L, GIS_PTINSERT_START)}, 1, 1, GIS_PTINSERT_NONE},
        {"the last object", {o(L"l", L, GIS_PTINSERT_START)}, 0, 1, GIS_PTINSERT_NONE},
        {"a point removed from an area", {o(L"p", P, GIS_PTINSERT_END), o(L"a", A, GIS_PTINSERT_INSERT)}, 0, 5,
         GIS_PTINSERT_INSERT},
    };
    for (const Case& c : cases) {
        CGISActiveSelection s;
        for (const GISObject& g : c.objects)
            ASSERT_TRUE(s.AddObjectToActiveList(g)) << c.reason;
        ASSERT_TRUE(s.RemoveObjectFromActiveList(c.removed)) << c.reason;
        EXPECT_EQ(s.GetActiveSelType(), c.flags) << c.reason;
        EXPECT_EQ(s.GetActiveInsertType(), c.location) << c.reason;
    }
}

TEST(GisActiveSelection, PointsOnlyGiveNoInsertLocation)
{
    CGISActiveSelection s;
    add(s, L"TREE", L"1", P, GIS_PTINSERT_END);
    add(s, L"TREE", L"2", P, GIS_PTINSERT_START);
    EXPECT_EQ(s.GetActiveSelType(), 1u);
    EXPECT_EQ(s.GetActiveInsertType(), GIS_PTINSERT_NONE);
    s.SetActiveInsertType(GIS_PTINSERT_END);
    EXPECT_EQ(s.GetActiveInsertType(), GIS_PTINSERT_NONE);
}

TEST(GisActiveSelection, RemoveObjectsWithCode)
{
    struct Case {
        std::vector<const wchar_t*> codes;
        std::string left;
    };
    const Case cases[] = {
        {{L"A", L"X", L"B", L"X", L"C"}, "A/0 B/2 C/4"},
        {{L"X", L"X", L"A", L"X", L"X"}, "A/2"},  // side by side: both go
        {{L"X", L"X"}, ""},
        {{L"A", L"B"}, "A/0 B/1"},
        {{L"x", L"X", L"X "}, "x/0 X /2"},
    };
    for (const Case& c : cases) {
        CGISActiveSelection s;
        for (size_t i = 0; i < c.codes.size(); ++i)
            ASSERT_TRUE(add(s, c.codes[i], std::to_wstring(i).c_str(), i % 2 ? L : A, GIS_PTINSERT_END));
        s.RemoveObjectsWithCode(L"X");
        EXPECT_EQ(codesOf(s), c.left);
    }
}

TEST(GisActiveSelection, AnEmptySelectionIsAPointSelection)
{
    CGISActiveSelection s;
    EXPECT_EQ(s.GetActiveSelType(), 1u);
    s.SetActiveSelectionType(L);
    s.SetActiveSelectionType(A);
    EXPECT_EQ(s.GetActiveSelType(), 1u) << "whatever the flags";
    add(s, L"P", L"1", P);
    EXPECT_EQ(s.GetActiveSelType(), 15u) << "adding never clears bits";
    s.Reset();
    EXPECT_EQ(s.GetActiveSelType(), 1u);
    EXPECT_EQ(s.GetNumActiveObjects(), 0);
    add(s, L"P", L"1", P);
    EXPECT_EQ(s.GetActiveSelType(), 1u);
    s.SetActiveSelectionType(static_cast<GIS_OBJECT_TYPE>(7));
    EXPECT_EQ(s.GetActiveSelType(), 1u) << "an unknown type changes nothing";
    EXPECT_FALSE(s.RemoveObjectFromActiveList(1));
    EXPECT_FALSE(s.RemoveObjectFromActiveList(-1));
    s.CleanActiveList();
    EXPECT_EQ(s.GetNumActiveObjects(), 0);
}

TEST(GisActiveSelection, SettingTheInsertLocationOfAnObject)
{
    CGISActiveSelection s;
    add(s, L"P", L"1", P);
    add(s, L"L", L"1", L, GIS_PTINSERT_START);
    EXPECT_FALSE(s.SetActiveInsertType(L"L", L"2", GIS_PTINSERT_END));
    EXPECT_EQ(s.GetActiveInsertType(), GIS_PTINSERT_START);
    // A point keeps its own location but sets the current one.
    ASSERT_TRUE(s.SetActiveInsertType(L"P", L"1", GIS_PTINSERT_END));
    EXPECT_EQ(s.GetActiveObjectAt(0).insertLocation, GIS_PTINSERT_NONE);
    EXPECT_EQ(s.GetActiveInsertType(), GIS_PTINSERT_END);
    ASSERT_TRUE(s.SetActiveInsertType(L"L", L"1", GIS_PTINSERT_INSERT));
    EXPECT_EQ(s.GetActiveObjectAt(1).insertLocation, GIS_PTINSERT_INSERT);
    EXPECT_EQ(s.GetActiveInsertType(), GIS_PTINSERT_INSERT);
    // With several line/area objects the current location is 0, the object's is stored.
    add(s, L"A", L"1", A, GIS_PTINSERT_START);
    ASSERT_TRUE(s.SetActiveInsertType(L"A", L"1", GIS_PTINSERT_END));
    EXPECT_EQ(s.GetActiveObjectAt(2).insertLocation, GIS_PTINSERT_END);
    EXPECT_EQ(s.GetActiveInsertType(), GIS_PTINSERT_NONE);
    s.RemoveObjectFromActiveList(L"L", L"1");
    EXPECT_EQ(s.GetActiveInsertType(), GIS_PTINSERT_END) << "the area's stored location";
}

TEST(GisActiveSelection, ObjectsCopiesAndFlags)
{
    CGISActiveSelection s;
    add(s, L"P", L"1", P);
    add(s, L"A", L"1", A, GIS_PTINSERT_END);
    add(s, L"L", L"1", L, GIS_PTINSERT_START);
    add(s, L"L", L"2", L, GIS_PTINSERT_INSERT);
    GISObject g;
    ASSERT_TRUE(s.GetLineObject(g));
    EXPECT_EQ(g.codeString, CString(L"1"));
    ASSERT_TRUE(s.GetAreaObject(g));
    EXPECT_EQ(g.code, CString(L"A"));
    EXPECT_EQ(s.findObjectByType(L), 2);

    EXPECT_FALSE(s.SetShouldLineRemainActive(L"L", L"3", false));
    ASSERT_TRUE(s.SetShouldLineRemainActive(L"L", L"2", false));
    EXPECT_FALSE(s.GetActiveObjectAt(3).remainActive);
    EXPECT_TRUE(s.GetActiveObjectAt(2).remainActive);

    CGISActiveSelection copy(s);
    s.SetAllInactive();
    for (int i = 0; i < s.GetNumActiveObjects(); ++i)
        EXPECT_FALSE(s.GetActiveObjects()[i].remainActive);
    EXPECT_TRUE(copy.GetActiveObjectAt(0).remainActive) << "a copy holds objects of its own";
    EXPECT_EQ(copy.GetActiveSelType(), 15u);
    CGISActiveSelection assigned;
    assigned = copy;
    EXPECT_EQ(codesOf(assigned), "P/1 A/1 L/1 L/2");

    CArray<GISObject> target;
    GISObject stale;
    stale.code = L"stale";
    target.Add(stale);
    s.CopyActiveObjects(target);
    ASSERT_EQ(target.GetSize(), 4);
    EXPECT_EQ(target[0].code, CString(L"P"));

    CGISActiveSelection points;
    add(points, L"P", L"1", P);
    EXPECT_FALSE(points.GetLineObject(g));
    EXPECT_FALSE(points.GetAreaObject(g));
    EXPECT_EQ(g.code, CString(L"A")) << "untouched";
}

TEST(GisActiveSelection, ControlCodeDelimiters)
{
    const struct {
        int value;
        wchar_t ch;
    } cases[] = {{0, L' '}, {1, L'.'}, {2, L';'}, {3, L','}, {4, L'-'}, {5, L'\0'}, {-1, L'\0'}, {1000, L'\0'}};
    for (const auto& c : cases)
        EXPECT_EQ(GetCtlCodeDelimiterChar(static_cast<CONTROL_CODE_DELIMITERS>(c.value)), c.ch) << c.value;
}

// Random adds and removals against a model: bit 2 exactly when a line is active, 4 when an
// area is, 8 when two or more lines or areas are, 1 always; no two objects share an
// identity; the insert location follows the last line or area added, and after a removal
// that leaves at most one line or area, the first line's, else the first area's.
TEST(GisActiveSelection, RandomSequencesKeepTheFlagsAndIdentities)
{
    std::mt19937 rng(4242u);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const wchar_t* codes[] = {L"A", L"B", L"a"};
    const wchar_t* strings[] = {L"1", L"2"};
    for (int run = 0; run < 300; ++run) {
        CGISActiveSelection s;
        GIS_PTINSERT_LOC model = GIS_PTINSERT_NONE;
        for (int step = 0; step < 30; ++step) {
            const int action = pick(6);
            const CString code = codes[pick(3)], codeString = strings[pick(2)];
            if (action < 3) {
                const GIS_OBJECT_TYPE type = static_cast<GIS_OBJECT_TYPE>(pick(3));
                const GIS_PTINSERT_LOC loc = static_cast<GIS_PTINSERT_LOC>(pick(4));
                const bool known = s.ObjectLocInActiveList(code, codeString) >= 0;
                EXPECT_EQ(s.AddObjectToActiveList(code, codeString, type, loc, L"", true), !known);
                if (!known && type != P)
                    model = loc;
            } else {
                const int before = s.GetNumActiveObjects();
                if (action == 3)
                    s.RemoveObjectFromActiveList(code, codeString);
                else if (action == 4)
                    s.RemoveObjectFromActiveList(pick(before + 1));  // one past the end too
                else
                    s.RemoveObjectsWithCode(code);
                int linesAndAreas = 0, firstLine = -1, firstArea = -1;
                for (int i = 0; i < s.GetNumActiveObjects(); ++i) {
                    const GIS_OBJECT_TYPE t = s.GetActiveObjectAt(i).objectType;
                    linesAndAreas += t != P;
                    if (t == L && firstLine < 0)
                        firstLine = i;
                    if (t == A && firstArea < 0)
                        firstArea = i;
                }
                const int first = firstLine >= 0 ? firstLine : firstArea;
                if (s.GetNumActiveObjects() != before && linesAndAreas < 2)
                    model = first >= 0 ? s.GetActiveObjectAt(first).insertLocation : GIS_PTINSERT_NONE;
            }
            int lines = 0, areas = 0;
            for (int i = 0; i < s.GetNumActiveObjects(); ++i) {
                const GISObject& g = s.GetActiveObjectAt(i);
                lines += g.objectType == L;
                areas += g.objectType == A;
                EXPECT_EQ(s.ObjectLocInActiveList(g.code, g.codeString), i) << "a shared identity";
            }
            const unsigned long flags = s.GetActiveSelType();
            EXPECT_EQ((flags & 1) != 0, true);
            EXPECT_EQ((flags & 2) != 0, lines > 0);
            EXPECT_EQ((flags & 4) != 0, areas > 0);
            EXPECT_EQ((flags & 8) != 0, lines + areas >= 2);
            EXPECT_EQ(s.GetActiveInsertType(), lines + areas == 1 ? model : GIS_PTINSERT_NONE);
            if (::testing::Test::HasFailure())
                return;
        }
    }
}

} // namespace
