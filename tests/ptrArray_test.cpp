// CPtrArrayT: ownership of the held elements and the CArray growth rule.
#include "inlines/ptrArray.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Counts the live objects of its kind.
struct Counted {
    explicit Counted(int v, int* live) : value(v), live(live) { ++*live; }
    ~Counted() { --*live; }
    int value;
    int* live;
};

std::vector<int> values(const CPtrArrayT<Counted>& a)
{
    std::vector<int> out;
    for (const Counted* c : a)
        out.push_back(c->value);
    return out;
}

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
        EXPECT_EQ(live, 7) << "a move hands the elements over";
        EXPECT_EQ(b.GetSize(), 7);
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
    CPtrArrayT<Counted> a;
    std::vector<int> capacities;
    for (int i = 0; i < 60; ++i) {
        a.Add(new Counted(i, &live));
        if (capacities.empty() || capacities.back() != a.GetCapacity())
            capacities.push_back(a.GetCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 41, 46, 51, 57, 64}));

    CPtrArrayT<Counted> b;
    b.SetGrowBy(10);
    b.Add(new Counted(0, &live));
    EXPECT_EQ(b.GetCapacity(), 10);
    for (int i = 0; i < 10; ++i)
        b.Add(new Counted(i, &live));
    EXPECT_EQ(b.GetCapacity(), 20);
}
