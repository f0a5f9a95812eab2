// The MFC-style arrays and the time span of the platform layer.
#include "platform/CTimeSpan.h"
#include "platform/containers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

void PrintTo(const CString& s, std::ostream* os) { *os << '"' << ToUtf8(s) << '"'; }

namespace {

using IntArray = CArray<int>;

IntArray makeArray(const std::vector<int>& values)
{
    IntArray a;
    for (int v : values)
        a.Add(v);
    return a;
}

std::vector<int> contents(const IntArray& a)
{
    std::vector<int> v;
    for (int i = 0; i < a.GetSize(); ++i)
        v.push_back(a.GetAt(i));
    return v;
}

TEST(CArray, AddReturnsTheIndex)
{
    IntArray a;
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(a.GetUpperBound(), -1);
    EXPECT_EQ(a.GetData(), nullptr) << "no data when empty";
    EXPECT_EQ(a.Add(10), 0);
    EXPECT_EQ(a.Add(20), 1);
    EXPECT_EQ(a.Add(30), 2);
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a.GetCount(), 3);
    EXPECT_EQ(a.GetUpperBound(), 2);
    EXPECT_FALSE(a.IsEmpty());
    ASSERT_NE(a.GetData(), nullptr);
    EXPECT_EQ(a.GetData()[2], 30);
}

TEST(CArray, InsertAt)
{
    struct Case {
        std::vector<int> initial;
        int index;
        int value;
        int count;
        std::vector<int> expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {{1, 2, 3}, 0, 9, 1, {9, 1, 2, 3}, "front"},
        {{1, 2, 3}, 1, 9, 1, {1, 9, 2, 3}, "middle"},
        {{1, 2, 3}, 3, 9, 1, {1, 2, 3, 9}, "at the end"},
        {{1, 2, 3}, 5, 9, 2, {1, 2, 3, 0, 0, 9, 9}, "past the end grows with default elements"},
        {{1, 2, 3}, 1, 9, 3, {1, 9, 9, 9, 2, 3}, "several copies"},
        {{1, 2, 3}, 1, 9, 0, {1, 2, 3}, "count 0"},
        {{1, 2, 3}, 1, 9, -2, {1, 2, 3}, "negative count"},
        {{1, 2, 3}, -1, 9, 1, {1, 2, 3}, "negative index does nothing"},
        {{}, 0, 9, 1, {9}, "into the empty array"},
    };
    for (const Case& c : cases) {
        IntArray a = makeArray(c.initial);
        a.InsertAt(c.index, c.value, c.count);
        EXPECT_EQ(contents(a), c.expected) << c.reason;
    }
    IntArray self = makeArray({1, 2, 3});
    self.InsertAt(0, self[2], 2);
    EXPECT_EQ(contents(self), (std::vector<int>{3, 3, 1, 2, 3})) << "value taken from the array itself";
}

TEST(CArray, RemoveAt)
{
    struct Case {
        std::vector<int> initial;
        int index;
        int count;
        std::vector<int> expected;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {{1, 2, 3, 4}, 0, 1, {2, 3, 4}, "front"},
        {{1, 2, 3, 4}, 1, 2, {1, 4}, "middle run"},
        {{1, 2, 3, 4}, 3, 1, {1, 2, 3}, "last"},
        {{1, 2, 3, 4}, 2, 10, {1, 2}, "count past the end removes to the end"},
        {{1, 2, 3, 4}, 4, 1, {1, 2, 3, 4}, "index at the end"},
        {{1, 2, 3, 4}, -1, 1, {1, 2, 3, 4}, "negative index"},
        {{1, 2, 3, 4}, 1, 0, {1, 2, 3, 4}, "count 0"},
        {{}, 0, 1, {}, "empty array"},
    };
    for (const Case& c : cases) {
        IntArray a = makeArray(c.initial);
        a.RemoveAt(c.index, c.count);
        EXPECT_EQ(contents(a), c.expected) << c.reason;
    }
}

TEST(CArray, OutOfRangeAccessIsSafe)
{
    IntArray a = makeArray({5, 6});
    EXPECT_EQ(a.GetAt(2), 0) << "one past the end reads a default element";
    EXPECT_EQ(a.GetAt(-1), 0);
    a.ElementAt(7) = 99;
    a[-3] = 98;
    EXPECT_EQ(contents(a), (std::vector<int>{5, 6})) << "writes out of range change nothing";
    EXPECT_EQ(a.GetAt(9), 0) << "the stray element is reset on every use";
    a.SetAt(2, 1);
    a.SetAt(-1, 1);
    EXPECT_EQ(contents(a), (std::vector<int>{5, 6}));
    a.SetAt(1, 7);
    a[0] = 4;
    EXPECT_EQ(contents(a), (std::vector<int>{4, 7}));
    const IntArray& constant = a;
    EXPECT_EQ(constant[1], 7);
    EXPECT_EQ(constant[2], 0);
}

TEST(CArray, SizeAppendCopy)
{
    IntArray a = makeArray({1, 2});
    a.SetSize(4);
    EXPECT_EQ(contents(a), (std::vector<int>{1, 2, 0, 0})) << "growing adds default elements";
    a.SetSize(1, 16);
    EXPECT_EQ(contents(a), (std::vector<int>{1}));
    a.SetSize(-5);
    EXPECT_TRUE(a.IsEmpty()) << "negative size is 0";

    a.SetAtGrow(2, 8);
    EXPECT_EQ(contents(a), (std::vector<int>{0, 0, 8}));
    a.SetAtGrow(0, 4);
    a.SetAtGrow(-1, 4);
    EXPECT_EQ(contents(a), (std::vector<int>{4, 0, 8}));

    IntArray b = makeArray({7});
    EXPECT_EQ(b.Append(a), 1) << "Append returns the first new index";
    EXPECT_EQ(contents(b), (std::vector<int>{7, 4, 0, 8}));
    EXPECT_EQ(b.Append(b), 4) << "appending the array to itself";
    EXPECT_EQ(contents(b), (std::vector<int>{7, 4, 0, 8, 7, 4, 0, 8}));
    b.Copy(a);
    EXPECT_EQ(contents(b), contents(a));
    b.Copy(b);
    EXPECT_EQ(contents(b), contents(a));
    b.RemoveAll();
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(a.GetSize(), 3) << "copies are independent";
}

TEST(CArray, RandomOperationsMatchAModel)
{
    std::mt19937 rng(11);
    IntArray a;
    std::vector<int> model;
    for (int step = 0; step < 3000; ++step) {
        const int size = static_cast<int>(model.size());
        const int index = static_cast<int>(rng() % (size + 3)) - 1;  // -1 .. size+1
        const int count = static_cast<int>(rng() % 4);
        const int value = static_cast<int>(rng() % 1000);
        switch (rng() % 4) {
        case 0:
            a.Add(value);
            model.push_back(value);
            break;
        case 1:
            a.InsertAt(index, value, count);
            if (index >= 0 && count > 0) {
                if (index > size)
                    model.resize(index);
                model.insert(model.begin() + index, count, value);
            }
            break;
        case 2:
            a.RemoveAt(index, count);
            if (index >= 0 && index < size && count > 0)
                model.erase(model.begin() + index, model.begin() + std::min(size, index + count));
            break;
        default:
            a.SetAt(index, value);
            if (index >= 0 && index < size)
                model[index] = value;
            break;
        }
        ASSERT_EQ(contents(a), model) << "step " << step;
    }
}

TEST(CStringArray, HoldsStrings)
{
    CStringArray list;
    EXPECT_EQ(list.Add(L"alpha"), 0);
    EXPECT_EQ(list.Add(CString("b\xE9ta")), 1);
    list.InsertAt(1, L"mid");
    ASSERT_EQ(list.GetSize(), 3);
    EXPECT_EQ(list[0], L"alpha");
    EXPECT_EQ(list[1], L"mid");
    EXPECT_EQ(list.GetAt(2), L"b\u00E9ta");
    list[1] += L"dle";
    EXPECT_EQ(list[1], L"middle");
    EXPECT_EQ(list.GetAt(3), L"") << "out of range gives the empty string";
    CStringArray copy = list;
    list.RemoveAt(0);
    EXPECT_EQ(copy.GetSize(), 3);
    EXPECT_EQ(list[0], L"middle");
}

TEST(CUIntArray, HoldsUnsigned)
{
    CUIntArray list;
    list.Add(4000000000u);
    list.Add(7);
    EXPECT_EQ(list[0], 4000000000u);
    EXPECT_EQ(list.GetAt(5), 0u);
}

struct Counted : CObject {
    explicit Counted(int& live) : live(live) { ++live; }
    ~Counted() override { --live; }
    int& live;
};

TEST(CObArray, HoldsPointersWithoutOwning)
{
    int live = 0;
    Counted a(live), b(live);
    {
        CObArray list;
        list.Add(&a);
        list.Add(&b);
        list.Add(nullptr);
        EXPECT_EQ(list.GetSize(), 3);
        EXPECT_EQ(list[1], &b);
        EXPECT_EQ(list.GetAt(2), nullptr);
        EXPECT_EQ(list.GetAt(3), nullptr) << "out of range gives a null pointer";
        list.RemoveAll();
    }
    EXPECT_EQ(live, 2) << "the array never deletes its elements";

    // The usual owner's loop: delete every element, then empty the array.
    CObArray owned;
    owned.Add(new Counted(live));
    owned.Add(new Counted(live));
    EXPECT_EQ(live, 4);
    for (int i = 0; i < owned.GetSize(); ++i)
        delete owned[i];
    owned.RemoveAll();
    EXPECT_EQ(live, 2);
}

// ---- CTimeSpan ----------------------------------------------------------------------------

TEST(CTimeSpan, Parts)
{
    struct Case {
        CTimeSpan span;
        long long days;
        int hours, minutes, seconds;
        long long totalHours, totalMinutes, totalSeconds;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {CTimeSpan(0), 0, 0, 0, 0, 0, 0, 0, "zero"},
        {CTimeSpan(59), 0, 0, 0, 59, 0, 0, 59, "below a minute"},
        {CTimeSpan(60), 0, 0, 1, 0, 0, 1, 60, "one minute"},
        {CTimeSpan(3599), 0, 0, 59, 59, 0, 59, 3599, "just below an hour"},
        {CTimeSpan(86399), 0, 23, 59, 59, 23, 1439, 86399, "just below a day"},
        {CTimeSpan(86400), 1, 0, 0, 0, 24, 1440, 86400, "one day"},
        {CTimeSpan(2, 3, 4, 5), 2, 3, 4, 5, 51, 3064, 183845, "from parts"},
        {CTimeSpan(0, 25, 61, 61), 1, 2, 2, 1, 26, 1562, 93721, "parts beyond their range carry"},
        {CTimeSpan(-90), 0, 0, -1, -30, 0, -1, -90, "negative span, parts towards zero"},
        {CTimeSpan(-1, 0, 0, 1), 0, -23, -59, -59, -23, -1439, -86399, "mixed signs"},
        {CTimeSpan(40000LL * 86400), 40000, 0, 0, 0, 960000, 57600000, 3456000000LL, "beyond 32 bits"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.span.GetDays(), c.days) << c.reason;
        EXPECT_EQ(c.span.GetHours(), c.hours) << c.reason;
        EXPECT_EQ(c.span.GetMinutes(), c.minutes) << c.reason;
        EXPECT_EQ(c.span.GetSeconds(), c.seconds) << c.reason;
        EXPECT_EQ(c.span.GetTotalHours(), c.totalHours) << c.reason;
        EXPECT_EQ(c.span.GetTotalMinutes(), c.totalMinutes) << c.reason;
        EXPECT_EQ(c.span.GetTotalSeconds(), c.totalSeconds) << c.reason;
        // The parts put back together give the span.
        EXPECT_EQ(CTimeSpan(static_cast<LONG>(c.days), c.hours, c.minutes, c.seconds), c.span) << c.reason;
    }
}

TEST(CTimeSpan, ArithmeticAndComparison)
{
    const CTimeSpan a(0, 1, 0, 0);
    const CTimeSpan b(90);
    EXPECT_EQ((a + b).GetTotalSeconds(), 3690);
    EXPECT_EQ((b - a).GetTotalSeconds(), -3510);
    CTimeSpan c = a;
    c += b;
    c -= CTimeSpan(3600);
    EXPECT_EQ(c, b);
    EXPECT_TRUE(b < a);
    EXPECT_TRUE(a > b);
    EXPECT_TRUE(b <= b);
    EXPECT_TRUE(a >= b);
    EXPECT_TRUE(a != b);
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(CTimeSpan() == CTimeSpan(0, 0, 0, 0));
}

} // namespace
