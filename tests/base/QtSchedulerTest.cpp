#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <string>
#include <vector>

#include "base/QtScheduler.h"
#include "base/Sleep.h"
#include "base/Spawn.h"

namespace pellucine {
namespace {

using Log = std::vector<std::string>;

// Runs the loop until the test's work quits it; a generous watchdog turns a hang into a failure.
bool runLoop(QEventLoop& loop) {
    bool timedOut = false;
    QTimer::singleShot(10'000, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    loop.exec();
    return !timedOut;
}

QCoro::Task<void> turns(Scheduler* s, std::string name, int count, Log* log) {
    for (int i = 0; i < count; ++i) {
        co_await Sleep(*s, Duration::zero());
        log->push_back(name + std::to_string(i));
    }
}

QCoro::Task<void> longNap(Scheduler* s, CancellationToken token, Log* log, QEventLoop* loop) {
    const bool slept = co_await Sleep(*s, seconds(3600), token);
    log->push_back(slept ? "slept" : "woken");
    loop->quit();
}

TEST(QtSchedulerTest, SpawnedTasksInterleaveTurnByTurnOnARealLoop) {
    QtScheduler scheduler(systemContinuousClock());
    QEventLoop loop;
    Log log;
    spawn(scheduler, [&](CancellationToken) { return turns(&scheduler, "a", 2, &log); });
    spawn(scheduler, [&](CancellationToken) { return turns(&scheduler, "b", 2, &log); });
    EXPECT_TRUE(log.empty());
    scheduler.post([&] { scheduler.post([&] { scheduler.post([&] { loop.quit(); }); }); });
    ASSERT_TRUE(runLoop(loop));
    EXPECT_EQ(log, (Log{"a0", "b0", "a1", "b1"}));
}

TEST(QtSchedulerTest, CancelWakesAnHourLongSleepOnARealLoop) {
    QtScheduler scheduler(systemContinuousClock());
    QEventLoop loop;
    Log log;
    const TaskHandle task =
        spawn(scheduler, [&](CancellationToken t) { return longNap(&scheduler, t, &log, &loop); });
    scheduler.post([task] { task.cancel(); });
    ASSERT_TRUE(runLoop(loop));
    EXPECT_EQ(log, (Log{"woken"}));
    EXPECT_TRUE(task.isFinished());
}

}  // namespace
}  // namespace pellucine
