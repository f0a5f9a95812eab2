// CPtrArrayT: ownership of the held elements and the CArray growth rule.
#include "inlines/ptrArray.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Counts the live objects of its kind.
struct Counted {
    explicit Counted(int v, int* l) : value(v), live(l) { ++*live; }
    ~Counted() { --*live; }
    int value, *live;
};

std::vector<int> values(const CPtrArrayT<Counted>& a)
{ std::vector<int> out; for (const Counted* c : a) out.push_back(c->value); return out; }

} // namespace

TEST(CPtrArrayT, OwnsWhatItHolds)
{
    int live = 0;
    {
        CPtrArrayT<Counted> a;
        EXPECT_TRUE(a.IsEmpty());
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(a.Add(new Counted(i, &live)), i);
        EXPECT_EQ(live, 5);
        a.InsertAt(0, new Counted(10, &live));
        a.InsertAt(a.GetSize(), new Counted(11, &live));
        a.InsertAt(3, new Counted(12, &live));
        EXPECT_EQ(values(a), (std::vector<int>{10, 0, 1, 12, 2, 3, 4, 11}));
        a.RemoveAt(3);
        EXPECT_EQ(live, 7) << "RemoveAt deletes";
        a.ReplaceAt(0, new Counted(20, &live));
        EXPECT_EQ(live, 7) << "ReplaceAt deletes the element it replaces";
        EXPECT_EQ(values(a), (std::vector<int>{20, 0, 1, 2, 3, 4, 11}));
        EXPECT_EQ(a.GetAt(a.GetUpperBound())->value, 11);
        CPtrArrayT<Counted> b(std::move(a));
        EXPECT_TRUE(live == 7 && b.GetSize() == 7) << "a move hands the elements over";
        b.RemoveAll();
        EXPECT_EQ(live, 0);
        b.Add(new Counted(1, &live));
        b.Add(new Counted(2, &live));
    }
    EXPECT_EQ(live, 0) << "the destructor deletes what is left";
}

// The first allocation is what is asked for; later ones grow by count / 8 within 4 ... 1024,
// or by the grow-by value when one is set.
TEST(CPtrArrayT, GrowsByTheCArrayRule)
{
    int live = 0;
    CPtrArrayT<Counted> a, b;
    b.SetGrowBy(10);
    std::vector<int> capacities, byTen;
    auto record = [](std::vector<int>& v, int capacity) { if (v.empty() || v.back() != capacity) v.push_back(capacity); };
    for (int i = 0; i < 60; ++i) {
        a.Add(new Counted(i, &live));
        b.Add(new Counted(i, &live));
        record(capacities, a.GetCapacity());
        record(byTen, b.GetCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 41, 46, 51, 57, 64}));
    EXPECT_EQ(byTen, (std::vector<int>{10, 20, 30, 40, 50, 60}));
}
