#pragma once

#include <QString>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace pellucine {

// One worker thread that runs submitted work in submission order. Submitting never waits for
// the work; `drain` waits until everything submitted before it has run. The worker is joined
// by `shutdown` (or the destructor) after the work already accepted has run; later work is
// dropped.
class SerialQueue {
  public:
    // `label` names the queue; its last dot-separated component (cut to the 15 characters the
    // system allows) names the worker thread.
    explicit SerialQueue(QString label);
    ~SerialQueue();

    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    const QString& label() const { return label_; }

    // Queues `work` behind everything submitted so far. Returns false, dropping `work`
    // unrun, once the queue is shutting down. Safe from any thread, the worker included.
    bool async(std::function<void()> work);

    // Returns once everything submitted before the call has run. Called from the worker
    // itself (from inside a work item) it runs the waiting items in place, in order, instead
    // of waiting on itself.
    void drain();

    // Stops accepting work, lets the worker finish what it accepted, and joins it. Idempotent
    // and safe from several threads. From the worker itself it only stops accepting work; the
    // thread is then joined by the destructor.
    void shutdown();

    bool isShutDown() const;
    // True on the worker thread.
    bool isCurrent() const { return std::this_thread::get_id() == workerId_; }

  private:
    struct Item {
        std::uint64_t sequence;
        std::function<void()> work;
    };

    void run();
    // Takes the front item and runs it outside the lock.
    void runFront(std::unique_lock<std::mutex>& lock);

    QString label_;
    mutable std::mutex mutex_;
    std::condition_variable workAvailable_;
    std::condition_variable progress_;
    std::deque<Item> pending_;
    // Items are numbered from 1 in submission order. Every item up to `doneThrough_` has
    // finished; `lastStarted_` runs ahead of it while a drain on the worker runs items inside
    // the one in progress.
    std::uint64_t submitted_ = 0;
    std::uint64_t lastStarted_ = 0;
    std::uint64_t doneThrough_ = 0;
    int drainWaiters_ = 0;
    bool stopping_ = false;
    std::once_flag joinOnce_;
    std::thread worker_;
    std::thread::id workerId_;
};

}  // namespace pellucine
