// The MFC-style arrays and the time span of the platform layer.
#include "platform/CTimeSpan.h"
#include "platform/containers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

void PrintTo(const CString& s, std::ostream* os) { *os << '"' << ToUtf8(s) << '"'; }

namespace {

using IntArray = CArray<int>;
using Ints = std::vector<int>;

IntArray makeArray(const Ints& values)
{
    IntArray a;
    for (int v : values)
        a.Add(v);
    return a;
}

Ints contents(const IntArray& a)
{
    Ints v;
    for (int i = 0; i < a.GetSize(); ++i)
        v.push_back(a.GetAt(i));
    return v;
}

TEST(CArray, EditsAndOutOfRangeArguments)
{
    IntArray empty;
    EXPECT_EQ(empty.GetUpperBound(), -1);
    EXPECT_EQ(empty.GetData(), nullptr) << "no data when empty";
    struct Case { Ints initial; std::function<void(IntArray&)> edit; Ints expected; const char* reason; };
    const std::vector<Case> cases = {
        {{1, 2, 3}, [](IntArray& a) { a.InsertAt(5, 9, 2); }, {1, 2, 3, 0, 0, 9, 9}, "insert past the end grows"},
        {{1, 2, 3}, [](IntArray& a) { a.InsertAt(1, 9, -2); }, {1, 2, 3}, "insert a negative count"},
        {{1, 2, 3}, [](IntArray& a) { a.InsertAt(-1, 9); }, {1, 2, 3}, "insert at a negative index"},
        {{1, 2, 3}, [](IntArray& a) { a.InsertAt(0, a[2], 2); }, {3, 3, 1, 2, 3}, "value from the array itself"},
        {{1, 2, 3, 4}, [](IntArray& a) { a.RemoveAt(2, 10); }, {1, 2}, "remove a count past the end"},
        {{1, 2, 3, 4}, [](IntArray& a) { a.RemoveAt(4); }, {1, 2, 3, 4}, "remove at the end"},
        {{1, 2, 3, 4}, [](IntArray& a) { a.RemoveAt(1, -1); }, {1, 2, 3, 4}, "remove a negative count"},
        {{5, 6}, [](IntArray& a) { a.ElementAt(7) = 99; a[-3] = 98; }, {5, 6}, "writes out of range"},
        {{5, 6}, [](IntArray& a) { a.SetAt(2, 1); a.SetAt(-1, 1); a.SetAt(1, 7); }, {5, 7}, "SetAt in range only"},
        {{1, 2}, [](IntArray& a) { a.SetSize(4); }, {1, 2, 0, 0}, "growing adds default elements"},
        {{1, 2}, [](IntArray& a) { a.SetSize(1, 16); }, {1}, "shrinking"},
        {{1, 2}, [](IntArray& a) { a.SetSize(-5); }, {}, "negative size is 0"},
        {{}, [](IntArray& a) { a.SetAtGrow(2, 8); a.SetAtGrow(0, 4); a.SetAtGrow(-1, 4); }, {4, 0, 8}, "SetAtGrow"},
        {{7}, [](IntArray& a) { EXPECT_EQ(a.Append(makeArray({4, 8})), 1); }, {7, 4, 8}, "Append: first new index"},
        {{7, 4}, [](IntArray& a) { EXPECT_EQ(a.Append(a), 2); }, {7, 4, 7, 4}, "appending the array to itself"},
        {{7, 4}, [](IntArray& a) { a.Copy(a); }, {7, 4}, "copying the array onto itself"},
    };
    for (const Case& c : cases) {
        IntArray a = makeArray(c.initial);
        c.edit(a);
        EXPECT_EQ(contents(a), c.expected) << c.reason;
    }
    IntArray a = makeArray({5, 6});
    a.ElementAt(7) = 99;
    EXPECT_EQ(a.GetAt(9), 0) << "the stray element is reset on every use";
    EXPECT_EQ(a.GetAt(-1), 0);
    const IntArray& constant = a;
    EXPECT_EQ(constant[2], 0);
    IntArray b;
    b.Copy(a);
    b.RemoveAll();
    EXPECT_EQ(a.GetSize(), 2) << "copies are independent";
}

// Add, InsertAt, RemoveAt and SetAt against a vector, with indices from -1 to one past the
// end and counts from -1 to 3.
TEST(CArray, RandomOperationsMatchAModel)
{
    std::mt19937 rng(11);
    IntArray a;
    Ints model;
    for (int step = 0; step < 2000; ++step) {
        const int size = static_cast<int>(model.size());
        const int index = static_cast<int>(rng() % (size + 3)) - 1;
        const int count = static_cast<int>(rng() % 5) - 1;
        const int value = static_cast<int>(rng() % 1000);
        switch (rng() % 4) {
        case 0:
            EXPECT_EQ(a.Add(value), size) << "Add returns the new index";
            model.push_back(value);
            break;
        case 1:
            a.InsertAt(index, value, count);
            if (index >= 0 && count > 0) {
                model.resize(std::max<size_t>(model.size(), index));
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
        ASSERT_EQ(a.GetUpperBound(), static_cast<int>(model.size()) - 1);
    }
}

struct Counted : CObject {
    explicit Counted(int& live) : live(live) { ++live; }
    ~Counted() override { --live; }
    int& live;
};

TEST(CArray, TypedArrays)
{
    CStringArray list;
    list.Add(L"alpha");
    list.Add(CString("b\xE9ta"));
    list.InsertAt(1, L"mid");
    list[1] += L"dle";
    const CStringArray copy = list;
    list.RemoveAt(0);
    EXPECT_EQ(copy[1], L"middle");
    EXPECT_EQ(copy.GetAt(2), L"b\u00E9ta");
    EXPECT_EQ(copy.GetAt(3), L"") << "out of range gives the empty string";
    EXPECT_EQ(copy.GetSize(), 3) << "copies are independent";
    CUIntArray numbers;
    numbers.Add(4000000000u);
    EXPECT_EQ(numbers[0], 4000000000u);

    int live = 0;
    Counted a(live);
    {
        CObArray pointers;
        pointers.Add(&a);
        pointers.Add(new Counted(live));
        EXPECT_EQ(pointers.GetAt(2), nullptr) << "out of range gives a null pointer";
        delete pointers[1];  // the owner's loop: delete the elements, then empty the array
        pointers.RemoveAll();
    }
    EXPECT_EQ(live, 1) << "the array never deletes its elements";
}

TEST(CTimeSpan, Parts)
{
    // The totals are not listed: the parts are computed from them.
    struct Case { CTimeSpan span; long long days; int hours, minutes, seconds; const char* reason; };
    const std::vector<Case> cases = {
        {CTimeSpan(59), 0, 0, 0, 59, "below a minute"}, {CTimeSpan(60), 0, 0, 1, 0, "one minute"},
        {CTimeSpan(3599), 0, 0, 59, 59, "just below an hour"}, {CTimeSpan(86399), 0, 23, 59, 59, "just below a day"},
        {CTimeSpan(86400), 1, 0, 0, 0, "one day"}, {CTimeSpan(2, 3, 4, 5), 2, 3, 4, 5, "from parts"},
        {CTimeSpan(0, 25, 61, 61), 1, 2, 2, 1, "parts beyond their range carry"},
        {CTimeSpan(-90), 0, 0, -1, -30, "negative span, parts towards zero"},
        {CTimeSpan(-1, 0, 0, 1), 0, -23, -59, -59, "mixed signs"},
        {CTimeSpan(40000LL * 86400 + 3661), 40000, 1, 1, 1, "beyond 32 bits"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.span.GetDays(), c.days) << c.reason;
        EXPECT_EQ(c.span.GetHours(), c.hours) << c.reason;
        EXPECT_EQ(c.span.GetMinutes(), c.minutes) << c.reason;
        EXPECT_EQ(c.span.GetSeconds(), c.seconds) << c.reason;
        // The parts put back together give the span.
        EXPECT_EQ(CTimeSpan(static_cast<LONG>(c.days), c.hours, c.minutes, c.seconds), c.span) << c.reason;
    }
    EXPECT_EQ(CTimeSpan(-1, 0, 0, 1).GetTotalMinutes(), -1439);
    EXPECT_EQ(CTimeSpan(40000LL * 86400).GetTotalHours(), 960000);
    const CTimeSpan hour(0, 1, 0, 0), b(90);
    EXPECT_EQ((b - hour).GetTotalSeconds(), -3510);
    CTimeSpan c = hour + b;
    c += b;
    c -= CTimeSpan(3690);
    EXPECT_EQ(c.GetTotalSeconds(), 90);
    EXPECT_TRUE(b < hour && hour > b && b <= b && hour >= b && hour != b && !(hour == b));
}

} // namespace
