#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <unordered_map>

#include "base/Scheduler.h"

namespace pellucine {

// The program's scheduler: Qt timers on the thread that owns it (the main thread). Deadlines
// are rounded up to whole milliseconds.
class QtScheduler final : public QObject, public Scheduler {
    Q_OBJECT

  public:
    explicit QtScheduler(const ContinuousClock& clock, QObject* parent = nullptr);
    ~QtScheduler() override;

    WorkId postAfter(Duration delay, std::function<void()> work) override;
    void cancel(WorkId id) override;
    const ContinuousClock& clock() const override { return clock_; }

    // Posts work from any thread onto this scheduler's thread.
    void postFromAnyThread(std::function<void()> work);

  private:
    const ContinuousClock& clock_;
    WorkId nextId_ = 1;
    std::unordered_map<WorkId, QTimer*> timers_;
};

}  // namespace pellucine
