#pragma once

#include <QtGlobal>
#include <coroutine>

#include "base/CancellationToken.h"
#include "base/Scheduler.h"

namespace pellucine {

// `bool slept = co_await Sleep(scheduler, d, token);` waits d on the scheduler. It yields true
// when d elapsed and false when the token was cancelled first: then it wakes early, on a posted
// turn (never inside cancel()), and its timer is dropped. A cancelled token does not suspend.
// Destroying a suspended Sleep cancels its pending work, so it never resumes a dead frame.
// A zero duration yields one turn of the scheduler.
class Sleep {
  public:
    Sleep(Scheduler& scheduler, Duration duration, CancellationToken token = CancellationToken())
        : scheduler_(scheduler), duration_(duration), token_(std::move(token)) {}
    // Moves only before it is awaited (some compilers copy the operand of co_await).
    Sleep(Sleep&& other) noexcept
        : scheduler_(other.scheduler_), duration_(other.duration_), token_(other.token_) {
        Q_ASSERT(!other.handle_);
    }
    Sleep& operator=(Sleep&&) = delete;

    bool await_ready() const noexcept { return token_.isCancelled(); }
    void await_suspend(std::coroutine_handle<> handle);
    bool await_resume() const noexcept { return !token_.isCancelled() && !wokenEarly_; }

  private:
    Scheduler& scheduler_;
    Duration duration_;
    CancellationToken token_;
    std::coroutine_handle<> handle_;
    bool wokenEarly_ = false;
    // Declared last: destroyed first, before the state their callbacks touch.
    CancellationRegistration onCancel_;
    ScopedWork pending_;
};

}  // namespace pellucine
