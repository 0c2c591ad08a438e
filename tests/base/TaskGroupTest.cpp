#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/ManualScheduler.h"
#include "base/Sleep.h"
#include "base/TaskGroup.h"

namespace pellucine {
namespace {

using Log = std::vector<std::string>;

struct Probe {
    ManualScheduler scheduler;
    Log log;
    int running = 0;
    int maxRunning = 0;
    std::vector<int> sawCancelled;
};

struct ChildPlan {
    double seconds = 1;
    bool honoursCancel = false;
    bool fails = false;
};

QCoro::Task<int> child(Probe* p, int item, ChildPlan plan, CancellationToken token) {
    p->log.push_back("start " + std::to_string(item));
    p->maxRunning = std::max(p->maxRunning, ++p->running);
    // A local, not a conditional inside the co_await operand: GCC 12 destroys such a
    // temporary twice.
    const CancellationToken sleepToken = plan.honoursCancel ? token : CancellationToken();
    const bool slept = co_await Sleep(p->scheduler, seconds(plan.seconds), sleepToken);
    --p->running;
    if (token.isCancelled()) {
        p->sawCancelled.push_back(item);
    }
    if (plan.fails) {
        throw std::runtime_error("child " + std::to_string(item));
    }
    co_return slept ? item : -item;
}

// The parent: adds every child, handles results one at a time, optionally cancels the group
// after a number of results or returns early (dropping the group).
QCoro::Task<void> parent(Probe* p, std::vector<ChildPlan> plans, int maxConcurrent,
                         CancellationToken token, int cancelAfter, int returnAfter) {
    TaskGroup<int> group(p->scheduler, maxConcurrent, token);
    for (int i = 0; i < static_cast<int>(plans.size()); ++i) {
        group.add([p, i, plan = plans[i]](CancellationToken t) { return child(p, i, plan, t); });
    }
    int handled = 0;
    for (;;) {
        try {
            const std::optional<int> result = co_await group.next();
            if (!result) {
                break;
            }
            p->log.push_back("handled " + std::to_string(*result));
        } catch (const std::exception& e) {
            p->log.push_back(std::string("failed ") + e.what());
        }
        ++handled;
        if (handled == cancelAfter) {
            group.cancel();
        }
        if (handled == returnAfter) {
            p->log.push_back("returned");
            co_return;
        }
    }
    p->log.push_back("done");
}

std::vector<ChildPlan> lasting(std::vector<double> secondsEach, bool honoursCancel = false) {
    std::vector<ChildPlan> out;
    for (const double s : secondsEach) {
        out.push_back({s, honoursCancel, false});
    }
    return out;
}

TEST(TaskGroupTest, StartsInListOrderHandlesInCompletionOrderAndNeverExceedsTheBound) {
    Probe p;
    parent(&p, lasting({5, 1, 3, 2, 4, 1, 1}), 4, CancellationToken(), -1, -1);
    EXPECT_TRUE(p.log.empty()) << "children start on posted turns";
    p.scheduler.advance(10.0);
    EXPECT_EQ(p.log, (Log{"start 0", "start 1", "start 2", "start 3",  //
                          "handled 1", "start 4",                      //
                          "handled 3", "start 5",                      //
                          "handled 2", "handled 5", "start 6",         //
                          "handled 6", "handled 0", "handled 4", "done"}));
    EXPECT_EQ(p.maxRunning, 4);
}

TEST(TaskGroupTest, ABoundAboveTheChildCountStartsEveryoneAndABoundBelowOneMeansOne) {
    Probe wide;
    parent(&wide, lasting({3, 2, 1}), 10, CancellationToken(), -1, -1);
    wide.scheduler.advance(3.0);
    EXPECT_EQ(wide.maxRunning, 3);
    EXPECT_EQ(wide.log.back(), "done");

    Probe narrow;
    parent(&narrow, lasting({1, 1, 1}), 0, CancellationToken(), -1, -1);
    narrow.scheduler.advance(3.0);
    EXPECT_EQ(narrow.maxRunning, 1);
    EXPECT_EQ(narrow.log.back(), "done");
}

TEST(TaskGroupTest, AfterCancelNothingStartsAndRunningChildrenAreDrained) {
    Probe p;
    parent(&p, lasting({1, 2, 3, 4, 5}), 2, CancellationToken(), 1, -1);
    p.scheduler.advance(1.0);
    EXPECT_EQ(p.log, (Log{"start 0", "start 1", "handled 0"}));
    p.scheduler.advance(1.0);
    EXPECT_EQ(p.log, (Log{"start 0", "start 1", "handled 0", "handled 1", "done"}));
    EXPECT_EQ(p.sawCancelled, (std::vector<int>{1}));
    p.scheduler.advance(10.0);
    EXPECT_EQ(p.log.size(), 5u);
    EXPECT_EQ(p.scheduler.pendingCount(), 0u);
}

TEST(TaskGroupTest, CancellingTheParentTokenWakesChildrenAndStartsNoMore) {
    Probe p;
    CancellationToken token;
    parent(&p, lasting({10, 10, 10, 10}, true), 2, token, -1, -1);
    p.scheduler.advance(1.0);
    token.cancel();
    p.scheduler.runUntilIdle();
    EXPECT_EQ(p.log, (Log{"start 0", "start 1", "handled 0", "handled -1", "done"}));
    EXPECT_EQ(p.sawCancelled, (std::vector<int>{0, 1}));
}

TEST(TaskGroupTest, AChildsFailureIsRethrownInItsTurnAndTheOthersContinue) {
    Probe p;
    std::vector<ChildPlan> plans = lasting({1, 2, 3});
    plans[1].fails = true;
    parent(&p, plans, 2, CancellationToken(), -1, -1);
    p.scheduler.advance(5.0);
    EXPECT_EQ(p.log, (Log{"start 0", "start 1", "handled 0", "start 2", "failed child 1",
                          "handled 2", "done"}));
}

TEST(TaskGroupTest, AParentLeavingEarlyCancelsTheRestAndDropsTheirResults) {
    Probe p;
    parent(&p, lasting({1, 2, 3, 4}, true), 3, CancellationToken(), -1, 1);
    p.scheduler.advance(1.0);
    p.scheduler.runUntilIdle();
    EXPECT_EQ(p.log, (Log{"start 0", "start 1", "start 2", "handled 0", "returned"}));
    EXPECT_EQ(p.sawCancelled, (std::vector<int>{1, 2}));
    EXPECT_EQ(p.running, 0);
    EXPECT_EQ(p.scheduler.pendingCount(), 0u);
}

}  // namespace
}  // namespace pellucine
