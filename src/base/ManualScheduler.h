#pragma once

#include <map>
#include <optional>
#include <unordered_map>
#include <utility>

#include "base/Scheduler.h"

namespace pellucine {

// A scheduler of virtual time for tests: nothing runs until the test says so. Work runs in the
// order of its deadline, then of posting. Both fake clocks move with virtual time.
class ManualScheduler final : public Scheduler {
  public:
    using Scheduler::post;

    WorkId postAfter(Duration delay, std::function<void()> work) override;
    void cancel(WorkId id) override;
    const ContinuousClock& clock() const override { return clock_.continuous; }

    FakeClock& clocks() { return clock_; }
    ContinuousInstant now() const { return clock_.continuous.now(); }

    // Runs everything due now, including work that running work posts for now. Returns the
    // number of items run.
    int runUntilIdle();
    // Moves virtual time forward by d, running each item when its deadline comes, in order.
    int advance(Duration d);
    int advance(double secondsToAdvance) { return advance(seconds(secondsToAdvance)); }

    std::size_t pendingCount() const { return queue_.size(); }
    // The deadline of the next item, if any.
    std::optional<ContinuousInstant> nextDeadline() const;

  private:
    using Key = std::pair<Duration::rep, WorkId>;
    bool runNextDueBy(ContinuousInstant limit);

    FakeClock clock_;
    WorkId nextId_ = 1;
    std::map<Key, std::function<void()>> queue_;
    std::unordered_map<WorkId, Key> keys_;
};

}  // namespace pellucine
