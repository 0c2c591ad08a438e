#include "base/ThreadPoolExecutor.h"

#include <QMetaObject>
#include <QPointer>

namespace pellucine {

ThreadPoolExecutor::ThreadPoolExecutor(int maxThreads, QObject* parent) : QObject(parent) {
    pool_.setExpiryTimeout(idleWorkerExpiryMs);
    if (maxThreads > 0) {
        pool_.setMaxThreadCount(maxThreads);
    }
}

ThreadPoolExecutor::~ThreadPoolExecutor() {
    pool_.clear();
    pool_.waitForDone();
}

void ThreadPoolExecutor::execute(std::function<void()> job, std::function<void()> done) {
    pool_.start([this, job = std::move(job), done = std::move(done)]() mutable {
        job();
        job = nullptr;
        // Queued to this object's thread; dropped with the object if it is gone by then.
        QMetaObject::invokeMethod(this, std::move(done), Qt::QueuedConnection);
    });
}

}  // namespace pellucine
