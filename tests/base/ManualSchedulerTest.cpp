#include <gtest/gtest.h>

#include <vector>

#include "base/ManualScheduler.h"

namespace pellucine {
namespace {

TEST(ManualSchedulerTest, RunsByDeadlineThenPostingOrder) {
    ManualScheduler s;
    std::vector<int> order;
    s.postAfter(seconds(0.2), [&] { order.push_back(3); });
    s.postAfter(seconds(0.1), [&] { order.push_back(1); });
    s.postAfter(seconds(0.1), [&] { order.push_back(2); });
    s.post([&] { order.push_back(0); });
    EXPECT_EQ(s.runUntilIdle(), 1);
    EXPECT_EQ(order, (std::vector<int>{0}));
    EXPECT_EQ(s.advance(0.1), 2);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    s.advance(0.1);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));
}

TEST(ManualSchedulerTest, ClocksStandAtEachDeadlineWhileItsWorkRuns) {
    ManualScheduler s;
    const ContinuousInstant start = s.now();
    const QDateTime wallStart = s.clocks().wall.now();
    Duration seen{};
    s.postAfter(seconds(0.09), [&] { seen = s.now() - start; });
    s.advance(0.4);
    EXPECT_EQ(seen, seconds(0.09));
    EXPECT_EQ(s.now() - start, seconds(0.4));
    EXPECT_EQ(wallStart.msecsTo(s.clocks().wall.now()), 400);
}

TEST(ManualSchedulerTest, WorkPostedByWorkRunsInTheSameAdvanceWhenDue) {
    ManualScheduler s;
    std::vector<int> order;
    s.postAfter(seconds(1), [&] {
        order.push_back(1);
        s.post([&] { order.push_back(2); });
        s.postAfter(seconds(1), [&] { order.push_back(4); });
    });
    s.postAfter(seconds(1.5), [&] { order.push_back(3); });
    s.advance(1.5);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(s.pendingCount(), 1u);
    EXPECT_EQ(s.advance(0.49), 0);
    EXPECT_EQ(s.advance(0.01), 1);
}

TEST(ManualSchedulerTest, CancelDropsOnlyThatWorkAndToleratesUnknownIds) {
    ManualScheduler s;
    int ran = 0;
    const auto a = s.postAfter(seconds(1), [&] { ran += 1; });
    s.postAfter(seconds(1), [&] { ran += 10; });
    s.cancel(a);
    s.cancel(a);
    s.cancel(12345);
    s.advance(2);
    EXPECT_EQ(ran, 10);
}

TEST(ManualSchedulerTest, ScopedWorkCancelsOnResetAndDestruction) {
    ManualScheduler s;
    int ran = 0;
    {
        ScopedWork w(s, s.postAfter(seconds(1), [&] { ++ran; }));
        EXPECT_TRUE(w.isSet());
    }
    ScopedWork kept(s, s.postAfter(seconds(1), [&] { ran += 10; }));
    ScopedWork moved = std::move(kept);
    EXPECT_FALSE(kept.isSet());
    s.advance(2);
    EXPECT_EQ(ran, 10);
    ScopedWork replaced(s, s.postAfter(seconds(1), [&] { ran += 100; }));
    replaced = ScopedWork(s, s.postAfter(seconds(1), [&] { ran += 1000; }));
    s.advance(2);
    EXPECT_EQ(ran, 1010);
}

TEST(ManualSchedulerTest, NegativeDelayRunsNow) {
    ManualScheduler s;
    int ran = 0;
    s.postAfter(seconds(-5), [&] { ++ran; });
    s.runUntilIdle();
    EXPECT_EQ(ran, 1);
}

}  // namespace
}  // namespace pellucine
