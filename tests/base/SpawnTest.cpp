#include <gtest/gtest.h>

#include <QObject>
#include <QPointer>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/ManualScheduler.h"
#include "base/Sleep.h"
#include "base/Spawn.h"

namespace pellucine {
namespace {

using Log = std::vector<std::string>;

QCoro::Task<void> napAndLog(Scheduler* scheduler, Duration d, CancellationToken token, Log* log,
                            std::string name) {
    const bool slept = co_await Sleep(*scheduler, d, token);
    log->push_back(name + (slept ? ":slept" : ":woken"));
}

QCoro::Task<int> answerAfter(Scheduler* scheduler, Duration d, int value) {
    co_await Sleep(*scheduler, d);
    co_return value;
}

QCoro::Task<void> failAfter(Scheduler* scheduler, Duration d) {
    co_await Sleep(*scheduler, d);
    throw std::runtime_error("boom");
}

QCoro::Task<void> awaitAndLog(TaskHandle task, Log* log, std::string name) {
    try {
        co_await task;
        log->push_back(name + ":done");
    } catch (const CancellationError&) {
        log->push_back(name + ":cancelled");
    } catch (const std::exception& e) {
        log->push_back(name + ":" + e.what());
    }
}

TEST(SpawnTest, ABodyNeverRunsBeforeItsHandleIsStored) {
    ManualScheduler s;
    TaskHandle stored;
    bool sawItsOwnHandle = false;
    TaskHandle* slot = &stored;
    stored = spawn(s, [slot, &sawItsOwnHandle](CancellationToken token) -> QCoro::Task<void> {
        sawItsOwnHandle = slot->isValid() && slot->token() == token;
        return []() -> QCoro::Task<void> { co_return; }();
    });
    EXPECT_FALSE(sawItsOwnHandle);
    EXPECT_FALSE(stored.isFinished());
    s.runUntilIdle();
    EXPECT_TRUE(sawItsOwnHandle);
    EXPECT_TRUE(stored.isFinished());
}

TEST(SpawnTest, SleepsWakeInDeadlineThenStartOrderUnderVirtualTime) {
    ManualScheduler s;
    Log log;
    const auto body = [&](Duration d, std::string name) {
        return [&s, &log, d, name](CancellationToken t) { return napAndLog(&s, d, t, &log, name); };
    };
    spawn(s, body(seconds(2), "c"));
    spawn(s, body(seconds(1), "a"));
    spawn(s, body(seconds(1), "b"));
    spawn(s, body(Duration::zero(), "now"));
    s.runUntilIdle();
    EXPECT_EQ(log, (Log{"now:slept"}));
    s.advance(seconds(0.999));
    EXPECT_EQ(log.size(), 1u);
    s.advance(seconds(0.001));
    EXPECT_EQ(log, (Log{"now:slept", "a:slept", "b:slept"}));
    s.advance(1.0);
    EXPECT_EQ(log.back(), "c:slept");
    EXPECT_EQ(s.pendingCount(), 0u);
}

TEST(SpawnTest, CancelWakesASleepEarlyOnAPostedTurnAndDropsItsTimer) {
    ManualScheduler s;
    Log log;
    TaskHandle task =
        spawn(s, [&](CancellationToken t) { return napAndLog(&s, seconds(3600), t, &log, "x"); });
    s.advance(1.0);
    task.cancel();
    EXPECT_TRUE(log.empty()) << "never resumed inside cancel()";
    EXPECT_EQ(s.pendingCount(), 1u) << "the hour-long timer gave way to the early wake";
    EXPECT_EQ(s.runUntilIdle(), 1);
    EXPECT_EQ(log, (Log{"x:woken"}));
    EXPECT_TRUE(task.isFinished());
    EXPECT_EQ(s.pendingCount(), 0u);
}

TEST(SpawnTest, ASleepOnACancelledTokenDoesNotSuspend) {
    ManualScheduler s;
    Log log;
    CancellationToken token;
    token.cancel();
    // The task's own token is a child of the cancelled one.
    TaskHandle task = spawn(
        s, [&](CancellationToken t) { return napAndLog(&s, seconds(10), t, &log, "x"); }, token);
    EXPECT_EQ(s.runUntilIdle(), 1);
    EXPECT_EQ(log, (Log{"x:woken"}));
    EXPECT_TRUE(task.isFinished());
}

TEST(SpawnTest, ParentCancellationReachesTheTaskButTheTasksCancelStaysLocal) {
    ManualScheduler s;
    Log log;
    CancellationToken parent;
    const auto body = [&](std::string name) {
        return [&s, &log, name](CancellationToken t) {
            return napAndLog(&s, seconds(5), t, &log, name);
        };
    };
    TaskHandle first = spawn(s, body("first"), parent);
    TaskHandle second = spawn(s, body("second"), parent);
    s.runUntilIdle();
    first.cancel();
    EXPECT_FALSE(parent.isCancelled());
    s.runUntilIdle();
    EXPECT_EQ(log, (Log{"first:woken"}));
    parent.cancel();
    s.runUntilIdle();
    EXPECT_EQ(log, (Log{"first:woken", "second:woken"}));
}

TEST(SpawnTest, DestroyingAWaitingSleepCancelsItsWorkAndIgnoresLaterCancels) {
    ManualScheduler s;
    CancellationToken token;
    {
        Sleep sleep(s, seconds(1), token);
        sleep.await_suspend(std::noop_coroutine());
        EXPECT_EQ(s.pendingCount(), 1u);
    }
    EXPECT_EQ(s.pendingCount(), 0u);
    token.cancel();
    EXPECT_EQ(s.pendingCount(), 0u);
    {
        Sleep sleep(s, seconds(1), token.child());
        EXPECT_TRUE(sleep.await_ready());
        EXPECT_FALSE(sleep.await_resume());
    }
    CancellationToken other;
    {
        Sleep sleep(s, seconds(1), other);
        sleep.await_suspend(std::noop_coroutine());
        other.cancel();
        EXPECT_EQ(s.pendingCount(), 1u) << "the early wake replaced the timer";
    }
    EXPECT_EQ(s.pendingCount(), 0u);
}

TEST(SpawnTest, AwaitersOfAHandleSeeItsEndAndItsFailure) {
    ManualScheduler s;
    Log log;
    TaskHandle ok =
        spawn(s, [&](CancellationToken t) { return napAndLog(&s, seconds(1), t, &log, "ok"); });
    TaskHandle failing = spawn(s, [&](CancellationToken) { return failAfter(&s, seconds(2)); });
    spawn(s, [&](CancellationToken) { return awaitAndLog(ok, &log, "w1"); });
    spawn(s, [&](CancellationToken) { return awaitAndLog(failing, &log, "w2"); });
    s.advance(3.0);
    EXPECT_EQ(log, (Log{"ok:slept", "w1:done", "w2:boom"}));
    EXPECT_TRUE(failing.isFinished());
}

class Owner : public QObject {
  public:
    explicit Owner(Scheduler& s, Log& log) : scheduler_(s), log_(log) {}
    ~Owner() override { task_.cancel(); }

    void start() { task_ = spawn(scheduler_, guarded(this, &Owner::run, std::string("tick"))); }
    TaskHandle task() const { return task_; }

    QCoro::Task<void> run(CancellationToken token, std::string word) {
        QPointer<Owner> self(this);
        log_.push_back(word);
        while (co_await Sleep(scheduler_, seconds(1), token)) {
            if (!self) {
                co_return;
            }
            log_.push_back(word);
        }
        if (self) {
            log_.push_back("stopped");
        }
    }

  private:
    Scheduler& scheduler_;
    Log& log_;
    TaskHandle task_;
};

TEST(SpawnTest, OwnerDestroyedMidAwaitIsNeverTouchedAgain) {
    ManualScheduler s;
    Log log;
    auto owner = std::make_unique<Owner>(s, log);
    owner->start();
    s.advance(1.0);
    EXPECT_EQ(log, (Log{"tick", "tick"}));
    const TaskHandle task = owner->task();
    owner.reset();
    s.advance(5.0);
    EXPECT_EQ(log, (Log{"tick", "tick"}));
    EXPECT_TRUE(task.isFinished());
    EXPECT_EQ(s.pendingCount(), 0u);
}

TEST(SpawnTest, OwnerGoneBeforeStartSkipsTheBodyAndFailsAsCancelled) {
    ManualScheduler s;
    Log log;
    auto owner = std::make_unique<Owner>(s, log);
    owner->start();
    const TaskHandle task = owner->task();
    spawn(s, [&](CancellationToken) { return awaitAndLog(task, &log, "w"); });
    owner.reset();
    s.runUntilIdle();
    EXPECT_EQ(log, (Log{"w:cancelled"}));
}

QCoro::Task<void> readAnswer(SharedTask<int> task, std::vector<int>* out) {
    out->push_back(co_await task);
}

TEST(SpawnTest, SpawnReturnsAValueHandleForValueTasks) {
    ManualScheduler s;
    std::vector<int> out;
    SharedTask<int> task =
        spawn(s, [&](CancellationToken) { return answerAfter(&s, seconds(1), 42); });
    spawn(s, [&](CancellationToken) { return readAnswer(task, &out); });
    s.advance(1.0);
    EXPECT_EQ(out, (std::vector<int>{42}));
}

}  // namespace
}  // namespace pellucine
