#include "base/QtScheduler.h"

#include <QMetaObject>

namespace pellucine {

QtScheduler::QtScheduler(const ContinuousClock& clock, QObject* parent)
    : QObject(parent), clock_(clock) {}

QtScheduler::~QtScheduler() {
    for (auto& [id, timer] : timers_) {
        delete timer;
    }
}

Scheduler::WorkId QtScheduler::postAfter(Duration delay, std::function<void()> work) {
    const WorkId id = nextId_++;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(std::max(delay, Duration::zero()));
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    timers_.emplace(id, timer);
    connect(timer, &QTimer::timeout, this, [this, id, work = std::move(work)]() mutable {
        const auto it = timers_.find(id);
        if (it == timers_.end()) {
            return;
        }
        it->second->deleteLater();
        timers_.erase(it);
        std::function<void()> run = std::move(work);
        run();
    });
    timer->start(static_cast<int>(ms.count()));
    return id;
}

void QtScheduler::cancel(WorkId id) {
    const auto it = timers_.find(id);
    if (it == timers_.end()) {
        return;
    }
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
}

void QtScheduler::postFromAnyThread(std::function<void()> work) {
    QMetaObject::invokeMethod(
        this, [this, work = std::move(work)]() mutable { post(std::move(work)); },
        Qt::QueuedConnection);
}

}  // namespace pellucine
