#pragma once

#include <functional>

namespace pellucine {

// Runs jobs off the main thread and hands each completion back to the main thread.
class BackgroundExecutor {
  public:
    virtual ~BackgroundExecutor() = default;

    // Runs job on a worker thread, then done on the main thread. Jobs may run concurrently and
    // finish in any order; done follows its own job.
    virtual void execute(std::function<void()> job, std::function<void()> done) = 0;
};

}  // namespace pellucine
