#include <gtest/gtest.h>

#include <QHash>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/ManualScheduler.h"
#include "base/Sleep.h"
#include "base/Spawn.h"

namespace pellucine {
namespace {

// A single-flight fetcher shaped like the per-window capture map: callers join the running
// fetch for a key, and each caller removes the entry when it resumes, if it is still its own.
struct Fetcher {
    ManualScheduler scheduler;
    QHash<int, SharedTask<int>> running;
    int runs = 0;
    bool failNext = false;
    std::vector<std::string> log;

    static QCoro::Task<int> fetchBody(Fetcher* f, int key, CancellationToken token) {
        ++f->runs;
        const int run = f->runs;
        const bool fail = std::exchange(f->failNext, false);
        co_await Sleep(f->scheduler, seconds(1), token);
        if (fail) {
            throw std::runtime_error("fetch failed");
        }
        co_return key * 100 + run;
    }

    SharedTask<int> join(int key) {
        SharedTask<int> task = running.value(key);
        if (!task.isValid()) {
            task = spawn(scheduler,
                         [this, key](CancellationToken t) { return fetchBody(this, key, t); });
            running.insert(key, task);
        }
        return task;
    }

    static QCoro::Task<void> request(Fetcher* f, int key, std::string who, bool again) {
        const SharedTask<int> task = f->join(key);
        try {
            const int value = co_await task;
            f->log.push_back(who + "=" + std::to_string(value));
        } catch (const std::exception& e) {
            f->log.push_back(who + "!" + e.what());
        }
        if (f->running.value(key) == task) {
            f->running.remove(key);
        }
        if (again) {
            request(f, key, who + "+", false);
        }
    }
};

TEST(SharedTaskTest, OneRunServesEveryAwaiterResumedByPostingInWaitingOrder) {
    Fetcher f;
    Fetcher::request(&f, 7, "a", false);
    Fetcher::request(&f, 7, "b", false);
    Fetcher::request(&f, 7, "c", false);
    f.scheduler.runUntilIdle();
    EXPECT_EQ(f.runs, 1);
    // The timer, then one posted resume per awaiter.
    EXPECT_EQ(f.scheduler.advance(1.0), 4);
    EXPECT_EQ(f.log, (std::vector<std::string>{"a=701", "b=701", "c=701"}));
    EXPECT_TRUE(f.running.isEmpty());
}

TEST(SharedTaskTest, AFailureReachesEveryAwaiterAsTheSameException) {
    ManualScheduler s;
    const SharedTask<int> task = spawn(s, [&s](CancellationToken) -> QCoro::Task<int> {
        return [](Scheduler* sp) -> QCoro::Task<int> {
            co_await Sleep(*sp, seconds(1));
            throw std::runtime_error("no content");
        }(&s);
    });
    std::vector<const std::exception*> seen;
    const auto catcher = [](SharedTask<int> t,
                            std::vector<const std::exception*>* out) -> QCoro::Task<void> {
        try {
            co_await t;
        } catch (const std::exception& e) {
            out->push_back(&e);
        }
    };
    catcher(task, &seen);
    catcher(task, &seen);
    s.advance(1.0);
    catcher(task, &seen);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0], seen[2]);
    EXPECT_STREQ(seen[0]->what(), "no content");
}

TEST(SharedTaskTest, ALateJoinerRemovesOnlyItsOwnEntry) {
    Fetcher f;
    Fetcher::request(&f, 3, "a", true);  // on resuming, asks again: a second fetch starts
    Fetcher::request(&f, 3, "b", false);
    f.scheduler.advance(0.5);
    f.scheduler.advance(1.0);
    // "b" resumed after "a+" had stored the second fetch: that entry must survive, so "c"
    // joins it instead of starting a third fetch alongside.
    EXPECT_TRUE(f.running.contains(3));
    Fetcher::request(&f, 3, "c", false);
    f.scheduler.advance(1.0);
    EXPECT_EQ(f.runs, 2);
    EXPECT_EQ(f.log, (std::vector<std::string>{"a=301", "b=301", "a+=302", "c=302"}));
}

TEST(SharedTaskTest, CancellingASharedTaskLeavesItsAwaitersToTheBodysAnswer) {
    Fetcher f;
    Fetcher::request(&f, 1, "a", false);
    f.scheduler.runUntilIdle();
    f.running.value(1).cancel();
    f.scheduler.runUntilIdle();
    EXPECT_EQ(f.log, (std::vector<std::string>{"a=101"})) << "woken early, still answered";
    f.failNext = true;
    Fetcher::request(&f, 2, "b", false);
    Fetcher::request(&f, 2, "c", false);
    f.scheduler.advance(1.0);
    EXPECT_EQ(f.log, (std::vector<std::string>{"a=101", "b!fetch failed", "c!fetch failed"}));
    EXPECT_TRUE(f.running.isEmpty());
}

}  // namespace
}  // namespace pellucine
