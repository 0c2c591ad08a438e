#pragma once

#include <coroutine>
#include <exception>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

#include "base/BackgroundExecutor.h"

namespace pellucine {

namespace detail {

template <typename T>
struct BackgroundState {
    using Stored = std::conditional_t<std::is_void_v<T>, std::monostate, T>;
    // Written by the worker; read on the main thread after the executor's hand-back.
    std::optional<Stored> value;
    std::exception_ptr error;
    // Main thread only.
    bool delivered = false;
    std::coroutine_handle<> waiting;
};

}  // namespace detail

// The result of a function run on a BackgroundExecutor, awaited once on the main thread:
// `auto work = runInBackground(executor, [data] { return decode(data); });`
// `QImage image = co_await std::move(work);`
// Bind it to a local as here when the function captures anything with a destructor: GCC 12
// destroys such temporaries of a co_await operand's full expression twice.
// The function starts at once; its exception is rethrown to the awaiter. The function must
// not touch main-thread state: give it copies.
template <typename T>
class BackgroundWork {
  public:
    explicit BackgroundWork(std::shared_ptr<detail::BackgroundState<T>> state)
        : state_(std::move(state)) {}
    BackgroundWork(BackgroundWork&&) noexcept = default;
    BackgroundWork& operator=(BackgroundWork&&) = delete;
    // A frame destroyed while waiting is never resumed.
    ~BackgroundWork() {
        if (state_) {
            state_->waiting = nullptr;
        }
    }

    bool isDelivered() const { return state_->delivered; }

    bool await_ready() const noexcept { return state_->delivered; }
    void await_suspend(std::coroutine_handle<> handle) { state_->waiting = handle; }
    T await_resume() {
        state_->waiting = nullptr;
        if (state_->error) {
            std::rethrow_exception(state_->error);
        }
        if constexpr (!std::is_void_v<T>) {
            return std::move(*state_->value);
        }
    }

  private:
    std::shared_ptr<detail::BackgroundState<T>> state_;
};

// Runs fn() on the executor and returns its awaitable result.
template <typename F>
auto runInBackground(BackgroundExecutor& executor, F fn) {
    using T = std::invoke_result_t<F&>;
    auto state = std::make_shared<detail::BackgroundState<T>>();
    executor.execute(
        [state, fn = std::move(fn)]() mutable {
            try {
                if constexpr (std::is_void_v<T>) {
                    fn();
                    state->value.emplace();
                } else {
                    state->value.emplace(fn());
                }
            } catch (...) {
                state->error = std::current_exception();
            }
        },
        [state] {
            state->delivered = true;
            if (const auto waiting = std::exchange(state->waiting, nullptr)) {
                waiting.resume();
            }
        });
    return BackgroundWork<T>(std::move(state));
}

}  // namespace pellucine
