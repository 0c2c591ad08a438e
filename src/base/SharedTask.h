#pragma once

#include <coroutine>
#include <exception>
#include <memory>
#include <optional>
#include <type_traits>
#include <variant>

#include "base/CancellationToken.h"
#include "base/Scheduler.h"
#include "base/WaitList.h"

namespace pellucine {

namespace detail {

template <typename T>
struct SharedTaskState {
    using Stored = std::conditional_t<std::is_void_v<T>, std::monostate, T>;

    SharedTaskState(Scheduler& s, CancellationToken t) : scheduler(s), token(std::move(t)) {}

    void finish() {
        finished = true;
        waiters.wakeAll();
    }

    Scheduler& scheduler;
    CancellationToken token;
    bool finished = false;
    std::optional<Stored> value;
    std::exception_ptr error;
    WaitList waiters;
};

}  // namespace detail

// The handle of a task started with spawn(): copies share the task. Any number of coroutines
// may co_await it; each gets a copy of the result or the same exception, and those that had to
// wait are resumed by posting, in the order they started waiting. Dropping every handle leaves
// the task running to its end; an exception nobody awaits is dropped, so fire-and-forget
// bodies handle their own failures.
template <typename T = void>
class SharedTask {
  public:
    using State = detail::SharedTaskState<T>;

    // An empty handle: no task.
    SharedTask() = default;
    explicit SharedTask(std::shared_ptr<State> state) : state_(std::move(state)) {}

    bool isValid() const { return state_ != nullptr; }
    // The task has returned or thrown (false for an empty handle).
    bool isFinished() const { return state_ && state_->finished; }
    // Cancels the task's token; the task decides what to do about it. Empty handle: nothing.
    void cancel() const {
        if (state_) {
            state_->token.cancel();
        }
    }
    bool isCancelled() const { return state_ && state_->token.isCancelled(); }
    // The task's token; an empty handle gives a fresh one.
    CancellationToken token() const { return state_ ? state_->token : CancellationToken(); }

    // Identity: true for handles of the same task (or two empty handles).
    friend bool operator==(const SharedTask&, const SharedTask&) = default;

    class Awaiter {
      public:
        explicit Awaiter(std::shared_ptr<State> state) : state_(std::move(state)) {}
        bool await_ready() const noexcept { return state_->finished; }
        void await_suspend(std::coroutine_handle<> handle) {
            parked_.park(state_->waiters, state_->scheduler, handle);
        }
        T await_resume() const {
            if (state_->error) {
                std::rethrow_exception(state_->error);
            }
            if constexpr (!std::is_void_v<T>) {
                return *state_->value;
            }
        }

      private:
        std::shared_ptr<State> state_;
        detail::ParkedCoroutine parked_;
    };

    // Awaiting an empty handle is a programming error.
    Awaiter operator co_await() const { return Awaiter(state_); }

  private:
    std::shared_ptr<State> state_;
};

// The handle of a task that yields nothing.
using TaskHandle = SharedTask<void>;

}  // namespace pellucine
