#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/BackgroundWork.h"
#include "base/ManualExecutor.h"
#include "base/ManualScheduler.h"
#include "base/TaskGroup.h"
#include "base/ThreadPoolExecutor.h"

namespace pellucine {
namespace {

using Log = std::vector<std::string>;

QCoro::Task<void> awaitSquare(BackgroundExecutor* executor, int n, Log* log) {
    try {
        const int value = co_await runInBackground(*executor, [n] {
            if (n < 0) {
                throw std::invalid_argument("negative");
            }
            return n * n;
        });
        log->push_back(std::to_string(value));
    } catch (const std::exception& e) {
        log->push_back(std::string("error ") + e.what());
    }
}

TEST(BackgroundWorkTest, ResultsArriveOnALaterMainTurnInTheOrderJobsFinish) {
    ManualScheduler s;
    ManualExecutor executor(s);
    Log log;
    awaitSquare(&executor, 2, &log);
    awaitSquare(&executor, -1, &log);
    awaitSquare(&executor, 3, &log);
    EXPECT_EQ(executor.pendingCount(), 3u);
    EXPECT_TRUE(executor.runJob(2));
    EXPECT_TRUE(log.empty()) << "delivery waits for the main thread's turn";
    s.runUntilIdle();
    EXPECT_EQ(log, (Log{"9"}));
    EXPECT_EQ(executor.runAll(), 2);
    s.runUntilIdle();
    EXPECT_EQ(log, (Log{"9", "4", "error negative"}));
    EXPECT_FALSE(executor.runJob(0));
}

QCoro::Task<int> decodeChild(BackgroundExecutor* executor, int item) {
    co_return co_await runInBackground(*executor, [item] { return item * 10; });
}

QCoro::Task<void> decodeAll(ManualScheduler* s, BackgroundExecutor* executor, int count,
                            std::vector<int>* out) {
    TaskGroup<int> group(*s, count);
    for (int i = 0; i < count; ++i) {
        group.add([executor, i](CancellationToken) { return decodeChild(executor, i); });
    }
    while (const auto value = co_await group.next()) {
        out->push_back(*value);
    }
    out->push_back(-1);
}

TEST(BackgroundWorkTest, AnUnboundedGroupOfBackgroundChildrenYieldsInFinishingOrder) {
    ManualScheduler s;
    ManualExecutor executor(s);
    std::vector<int> out;
    decodeAll(&s, &executor, 3, &out);
    s.runUntilIdle();
    ASSERT_EQ(executor.pendingCount(), 3u);
    executor.runJob(1);
    s.runUntilIdle();
    executor.runJob(1);
    executor.runJob(0);
    s.runUntilIdle();
    EXPECT_EQ(out, (std::vector<int>{10, 20, 0, -1}));
}

QCoro::Task<void> hopAndBack(BackgroundExecutor* executor, QThread** worker, QThread** resumedOn,
                             QEventLoop* loop) {
    *worker = co_await runInBackground(*executor, [] { return QThread::currentThread(); });
    *resumedOn = QThread::currentThread();
    loop->quit();
}

TEST(BackgroundWorkTest, APoolRunsTheJobOffTheMainThreadAndResumesOnIt) {
    ThreadPoolExecutor executor(1);
    QEventLoop loop;
    QThread* worker = nullptr;
    QThread* resumedOn = nullptr;
    bool timedOut = false;
    QTimer::singleShot(10'000, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    hopAndBack(&executor, &worker, &resumedOn, &loop);
    loop.exec();
    ASSERT_FALSE(timedOut);
    EXPECT_NE(worker, nullptr);
    EXPECT_NE(worker, QCoreApplication::instance()->thread());
    EXPECT_EQ(resumedOn, QCoreApplication::instance()->thread());
}

}  // namespace
}  // namespace pellucine
