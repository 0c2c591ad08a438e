#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "base/SerialQueue.h"

namespace pellucine {
namespace {

// Appends from the worker; read after a drain.
class Trace {
  public:
    void add(int value) {
        const std::lock_guard lock(mutex_);
        values_.push_back(value);
    }
    std::vector<int> values() const {
        const std::lock_guard lock(mutex_);
        return values_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<int> values_;
};

std::vector<int> range(int from, int to) {
    std::vector<int> out;
    for (int i = from; i < to; ++i) {
        out.push_back(i);
    }
    return out;
}

TEST(SerialQueueTest, RunsWorkInSubmissionOrderOffTheCallersThread) {
    Trace trace;
    SerialQueue queue(QStringLiteral("test.serial"));
    std::atomic<bool> ranOnCaller{false};
    const auto caller = std::this_thread::get_id();
    for (int i = 0; i < 2000; ++i) {
        ASSERT_TRUE(queue.async([&, i] {
            ranOnCaller = ranOnCaller || std::this_thread::get_id() == caller;
            trace.add(i);
        }));
    }
    queue.drain();
    EXPECT_EQ(trace.values(), range(0, 2000));
    EXPECT_FALSE(ranOnCaller);
    EXPECT_FALSE(queue.isCurrent());
}

TEST(SerialQueueTest, DrainWaitsForWorkInProgressAndQueuedBehindIt) {
    SerialQueue queue(QStringLiteral("test.serial"));
    std::atomic<bool> release{false};
    std::atomic<int> done{0};
    queue.async([&] {
        // Holds the worker until the test thread is about to drain.
        while (!release) {
            std::this_thread::yield();
        }
        ++done;
    });
    for (int i = 0; i < 100; ++i) {
        queue.async([&] { ++done; });
    }
    release = true;
    queue.drain();
    EXPECT_EQ(done, 101);
    // An idle queue drains at once, repeatedly.
    queue.drain();
    queue.drain();
}

TEST(SerialQueueTest, KeepsEachSubmittersOrderUnderConcurrentSubmission) {
    Trace trace;
    SerialQueue queue(QStringLiteral("test.serial"));
    std::vector<std::thread> submitters;
    for (int t = 0; t < 4; ++t) {
        submitters.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i) {
                queue.async([&trace, t, i] { trace.add(t * 1000 + i); });
            }
        });
    }
    for (auto& s : submitters) {
        s.join();
    }
    queue.drain();
    const auto values = trace.values();
    ASSERT_EQ(values.size(), 2000u);
    std::vector<int> next(4, 0);
    for (const int v : values) {
        EXPECT_EQ(v % 1000, next[v / 1000]++) << "submitter " << v / 1000;
    }
}

TEST(SerialQueueTest, DrainFromTheWorkerRunsEarlierWorkInPlaceWithoutDeadlock) {
    Trace trace;
    SerialQueue queue(QStringLiteral("test.serial"));
    queue.async([&] {
        trace.add(1);
        queue.async([&] { trace.add(2); });
        queue.async([&] {
            trace.add(3);
            // Nested: nothing queued before it, returns at once.
            queue.drain();
        });
        EXPECT_TRUE(queue.isCurrent());
        queue.drain();
        trace.add(4);
        queue.async([&] { trace.add(5); });
    });
    queue.drain();
    // The last item may be queued after the drain above began; a second drain covers it.
    queue.drain();
    EXPECT_EQ(trace.values(), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(SerialQueueTest, ShutdownRunsAcceptedWorkThenDropsNewWorkSafely) {
    Trace trace;
    SerialQueue queue(QStringLiteral("test.serial"));
    for (int i = 0; i < 300; ++i) {
        queue.async([&, i] { trace.add(i); });
    }
    queue.shutdown();
    EXPECT_EQ(trace.values(), range(0, 300));
    EXPECT_TRUE(queue.isShutDown());

    bool ran = false;
    EXPECT_FALSE(queue.async([&] { ran = true; }));
    queue.drain();
    queue.shutdown();
    EXPECT_FALSE(ran);
    EXPECT_EQ(trace.values().size(), 300u);
}

TEST(SerialQueueTest, DestructionWithoutShutdownFinishesAcceptedWork) {
    Trace trace;
    {
        SerialQueue queue(QStringLiteral("test.serial"));
        for (int i = 0; i < 50; ++i) {
            queue.async([&, i] { trace.add(i); });
        }
    }
    EXPECT_EQ(trace.values(), range(0, 50));
}

TEST(SerialQueueTest, ShutdownFromTheWorkerStopsIntakeWithoutDeadlock) {
    Trace trace;
    SerialQueue queue(QStringLiteral("test.serial"));
    queue.async([&] {
        queue.shutdown();
        trace.add(1);
        EXPECT_FALSE(queue.async([&] { trace.add(99); }));
    });
    queue.async([&] { trace.add(2); });  // May or may not be accepted, never runs twice.
    queue.shutdown();
    const auto values = trace.values();
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.front(), 1);
    EXPECT_LE(values.size(), 2u);
}

TEST(SerialQueueTest, ConcurrentShutdownsAllReturnAfterTheWorkerStops) {
    SerialQueue queue(QStringLiteral("test.serial"));
    std::atomic<int> done{0};
    for (int i = 0; i < 200; ++i) {
        queue.async([&] { ++done; });
    }
    std::vector<std::thread> stoppers;
    for (int t = 0; t < 3; ++t) {
        stoppers.emplace_back([&] {
            queue.shutdown();
            EXPECT_EQ(done, 200);
        });
    }
    for (auto& s : stoppers) {
        s.join();
    }
}

TEST(SerialQueueTest, AFailingItemDoesNotStopTheQueue) {
    Trace trace;
    SerialQueue queue(QStringLiteral("test.serial"));
    queue.async([] { throw std::runtime_error("boom"); });
    queue.async([&] { trace.add(1); });
    queue.drain();
    EXPECT_EQ(trace.values(), std::vector<int>{1});
}

}  // namespace
}  // namespace pellucine
