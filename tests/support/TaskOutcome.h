#pragma once

#include <QCoro/QCoroTask>
#include <exception>
#include <memory>
#include <optional>
#include <type_traits>
#include <variant>

namespace pellucine::testing {

// What a task ended with, filled in as the scheduler runs it.
template <typename T>
struct TaskOutcome {
    // A task without a result leaves an empty value once it succeeded.
    using Value = std::conditional_t<std::is_void_v<T>, std::monostate, T>;

    std::optional<Value> value;
    std::exception_ptr error;
    bool done = false;

    bool succeeded() const { return done && !error; }

    // The error rethrown as E; null when the task ended otherwise.
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
        }
        return std::nullopt;
    }
};

namespace detail {
template <typename T>
QCoro::Task<void> collect(QCoro::Task<T> task, std::shared_ptr<TaskOutcome<T>> outcome) {
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(task);
            outcome->value.emplace();
        } else {
            outcome->value.emplace(co_await std::move(task));
        }
    } catch (...) {
        outcome->error = std::current_exception();
    }
    outcome->done = true;
}
}  // namespace detail

// Awaits an already started task and keeps its outcome.
template <typename T>
std::shared_ptr<TaskOutcome<T>> follow(QCoro::Task<T> task) {
    auto outcome = std::make_shared<TaskOutcome<T>>();
    detail::collect<T>(std::move(task), outcome);
    return outcome;
}

}  // namespace pellucine::testing
