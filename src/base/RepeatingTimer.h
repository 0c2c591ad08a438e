#pragma once

#include <functional>

#include "base/Scheduler.h"

namespace pellucine {

// Runs work on the scheduler every interval, the first time one interval after it is made,
// until it is invalidated or destroyed. The work may invalidate or destroy its own timer.
class RepeatingTimer {
  public:
    RepeatingTimer(Scheduler& scheduler, Duration interval, std::function<void()> work);
    RepeatingTimer(const RepeatingTimer&) = delete;
    RepeatingTimer& operator=(const RepeatingTimer&) = delete;

    void invalidate() { pending_.reset(); }
    bool isValid() const { return pending_.isSet(); }
    Duration interval() const { return interval_; }

  private:
    void arm();

    Scheduler& scheduler_;
    Duration interval_;
    std::function<void()> work_;
    ScopedWork pending_;
};

}  // namespace pellucine
