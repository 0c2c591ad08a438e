#pragma once

#include <qcoro/qcorotask.h>

#include <exception>
#include <memory>
#include <optional>
#include <type_traits>
#include <variant>

namespace pellucine::testing {

// What became of a task a test started: still running, a value, or an exception.
template <typename T>
struct Outcome {
    using Value = std::conditional_t<std::is_void_v<T>, std::monostate, T>;

    bool finished = false;
    std::optional<Value> value;
    std::exception_ptr error;

    bool succeeded() const { return finished && !error; }
    // The exception when it is an E.
    template <typename E>
    std::optional<E> errorAs() const {
        if (!error) {
            return std::nullopt;
        }
        try {
            std::rethrow_exception(error);
        } catch (const E& e) {
            return e;
        } catch (...) {
            return std::nullopt;
        }
    }
};

namespace detail {
template <typename T>
QCoro::Task<void> follow(QCoro::Task<T> task, std::shared_ptr<Outcome<T>> outcome) {
    try {
        if constexpr (std::is_void_v<T>) {
            co_await task;
            outcome->value.emplace();
        } else {
            outcome->value.emplace(co_await task);
        }
    } catch (...) {
        outcome->error = std::current_exception();
    }
    outcome->finished = true;
}
}  // namespace detail

// Follows a started task; the outcome fills in as the test runs the scheduler.
template <typename T>
std::shared_ptr<Outcome<T>> follow(QCoro::Task<T> task) {
    auto outcome = std::make_shared<Outcome<T>>();
    detail::follow(std::move(task), outcome);
    return outcome;
}

}  // namespace pellucine::testing
