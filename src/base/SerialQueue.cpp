#include "base/SerialQueue.h"

#include <pthread.h>

#include <QtGlobal>
#include <exception>

namespace pellucine {

namespace {

QByteArray threadName(const QString& label) {
    const QString last = label.section(QLatin1Char('.'), -1);
    // Linux limits thread names to 15 bytes.
    return last.toUtf8().left(15);
}

void invoke(std::function<void()>& work, const QString& label) {
    try {
        work();
    } catch (const std::exception& error) {
        qWarning("%s: work item failed: %s", qUtf8Printable(label), error.what());
    } catch (...) {
        qWarning("%s: work item failed", qUtf8Printable(label));
    }
}

}  // namespace

SerialQueue::SerialQueue(QString label) : label_(std::move(label)) {
    worker_ = std::thread([this] { run(); });
    workerId_ = worker_.get_id();
    const QByteArray name = threadName(label_);
    if (!name.isEmpty()) {
        pthread_setname_np(worker_.native_handle(), name.constData());
    }
}

SerialQueue::~SerialQueue() {
    shutdown();
    if (worker_.joinable()) {
        // Only reached when the queue is destroyed by its own work, which must not happen;
        // never leave a joinable thread to std::terminate.
        worker_.detach();
    }
}

bool SerialQueue::async(std::function<void()> work) {
    {
        const std::lock_guard lock(mutex_);
        if (stopping_) {
            return false;
        }
        pending_.push_back({++submitted_, std::move(work)});
    }
    workAvailable_.notify_one();
    return true;
}

void SerialQueue::drain() {
    std::unique_lock lock(mutex_);
    const std::uint64_t target = submitted_;
    if (isCurrent()) {
        // Everything before the item in progress has run; the items queued since are the
        // next ones in order, so running them here keeps the order.
        while (!pending_.empty() && pending_.front().sequence <= target) {
            runFront(lock);
        }
        return;
    }
    ++drainWaiters_;
    progress_.wait(lock, [&] { return doneThrough_ >= target; });
    --drainWaiters_;
}

void SerialQueue::shutdown() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workAvailable_.notify_all();
    if (isCurrent()) {
        return;
    }
    std::call_once(joinOnce_, [this] {
        if (worker_.joinable()) {
            worker_.join();
        }
    });
}

bool SerialQueue::isShutDown() const {
    const std::lock_guard lock(mutex_);
    return stopping_;
}

void SerialQueue::runFront(std::unique_lock<std::mutex>& lock) {
    Item item = std::move(pending_.front());
    pending_.pop_front();
    lastStarted_ = item.sequence;
    lock.unlock();
    invoke(item.work, label_);
    // Captured state is released outside the lock too.
    item.work = nullptr;
    lock.lock();
}

void SerialQueue::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        workAvailable_.wait(lock, [&] { return stopping_ || !pending_.empty(); });
        if (pending_.empty()) {
            return;
        }
        runFront(lock);
        doneThrough_ = lastStarted_;
        if (drainWaiters_ > 0) {
            progress_.notify_all();
        }
    }
}

}  // namespace pellucine
