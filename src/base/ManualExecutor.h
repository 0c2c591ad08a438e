#pragma once

#include <deque>
#include <functional>

#include "base/BackgroundExecutor.h"
#include "base/Scheduler.h"

namespace pellucine {

// An executor for tests: jobs wait until the test runs them, inline and in the order it
// chooses; each completion is then posted on the scheduler (the test's main thread).
class ManualExecutor final : public BackgroundExecutor {
  public:
    explicit ManualExecutor(Scheduler& scheduler) : scheduler_(scheduler) {}

    void execute(std::function<void()> job, std::function<void()> done) override;

    std::size_t pendingCount() const { return jobs_.size(); }
    // Runs the pending job at index (0 is the oldest); false when there is none.
    bool runJob(std::size_t index = 0);
    // Runs every pending job, including jobs queued meanwhile; returns how many ran.
    int runAll();

  private:
    struct Job {
        std::function<void()> work;
        std::function<void()> done;
    };
    Scheduler& scheduler_;
    std::deque<Job> jobs_;
};

}  // namespace pellucine
