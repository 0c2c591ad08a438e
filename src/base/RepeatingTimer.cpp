#include "base/RepeatingTimer.h"

namespace pellucine {

RepeatingTimer::RepeatingTimer(Scheduler& scheduler, Duration interval, std::function<void()> work)
    : scheduler_(scheduler), interval_(interval), work_(std::move(work)) {
    arm();
}

void RepeatingTimer::arm() {
    pending_ = ScopedWork(scheduler_, scheduler_.postAfter(interval_, [this] {
        // Armed again first; the copy keeps the work alive should it end this timer.
        arm();
        const std::function<void()> work = work_;
        work();
    }));
}

}  // namespace pellucine
