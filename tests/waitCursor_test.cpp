// The wait cursor of the window model: nesting, the scope guard, unmatched ends, threads.
#include "platform/waitCursor.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

class WaitCursor : public ::testing::Test {
protected:
    void SetUp() override { ResetWaitCursorRecord(); }
    void TearDown() override { ResetWaitCursorRecord(); }
};

TEST_F(WaitCursor, NestedCallsShowItUntilTheLastEnd)
{
    EXPECT_FALSE(IsWaitCursorShown());
    BeginWaitCursor();
    {
        CWaitCursor inner;
        EXPECT_EQ(GetWaitCursorRecord().depth, 2);
    }
    EXPECT_TRUE(IsWaitCursorShown());
    EndWaitCursor();
    const WaitCursorRecord r = GetWaitCursorRecord();
    EXPECT_FALSE(IsWaitCursorShown());
    EXPECT_EQ(r.begins, 2);
    EXPECT_EQ(r.ends, 2);
    EXPECT_EQ(r.unmatchedEnds, 0);
}

TEST_F(WaitCursor, AnEndWithoutABeginChangesNothingAndIsCounted)
{
    EndWaitCursor();
    BeginWaitCursor();
    const WaitCursorRecord r = GetWaitCursorRecord();
    EXPECT_EQ(r.depth, 1) << "the unmatched end must not cancel a later begin";
    EXPECT_EQ(r.unmatchedEnds, 1);
    EXPECT_EQ(r.ends, 0);
    EndWaitCursor();
    EXPECT_FALSE(IsWaitCursorShown());
}

TEST_F(WaitCursor, ThreadsShareOneCursor)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 1000; ++i)
                CWaitCursor scope;
        });
    for (std::thread& t : threads)
        t.join();
    const WaitCursorRecord r = GetWaitCursorRecord();
    EXPECT_EQ(r.depth, 0);
    EXPECT_EQ(r.begins, 4000);
    EXPECT_EQ(r.ends, 4000);
}

} // namespace
