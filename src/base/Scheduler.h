#pragma once

#include <cstdint>
#include <functional>

#include "base/Clock.h"

namespace pellucine {

// Runs work on the main thread, now or after a delay. Work posted for the same deadline runs in
// the order it was posted.
class Scheduler {
  public:
    using WorkId = std::uint64_t;

    virtual ~Scheduler() = default;

    // Runs the work soon, after everything already due.
    WorkId post(std::function<void()> work) { return postAfter(Duration::zero(), std::move(work)); }
    virtual WorkId postAfter(Duration delay, std::function<void()> work) = 0;
    // Drops work not yet run; unknown or finished work is ignored.
    virtual void cancel(WorkId id) = 0;
    // The continuous clock the deadlines are measured on.
    virtual const ContinuousClock& clock() const = 0;
};

// Owns one scheduled piece of work and cancels it when reset, replaced or destroyed.
class ScopedWork {
  public:
    ScopedWork() = default;
    ScopedWork(Scheduler& scheduler, Scheduler::WorkId id) : scheduler_(&scheduler), id_(id) {}
    ScopedWork(const ScopedWork&) = delete;
    ScopedWork& operator=(const ScopedWork&) = delete;
    ScopedWork(ScopedWork&& other) noexcept { *this = std::move(other); }
    ScopedWork& operator=(ScopedWork&& other) noexcept {
        if (this != &other) {
            reset();
            scheduler_ = other.scheduler_;
            id_ = other.id_;
            other.scheduler_ = nullptr;
        }
        return *this;
    }
    ~ScopedWork() { reset(); }

    void reset() {
        if (scheduler_ != nullptr) {
            scheduler_->cancel(id_);
            scheduler_ = nullptr;
        }
    }
    bool isSet() const { return scheduler_ != nullptr; }

  private:
    Scheduler* scheduler_ = nullptr;
    Scheduler::WorkId id_ = 0;
};

}  // namespace pellucine
