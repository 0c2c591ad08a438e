#pragma once

#include <qcoro/qcorotask.h>

#include <QObject>
#include <QPointer>
#include <concepts>
#include <type_traits>

#include "base/SharedTask.h"

namespace pellucine {

namespace detail {

template <typename F>
using SpawnedTask = std::invoke_result_t<F&, CancellationToken>;

template <typename F>
concept TaskBody = std::copy_constructible<F> && std::invocable<F&, CancellationToken> && requires {
    typename SpawnedTask<F>::value_type;
} && std::same_as<SpawnedTask<F>, QCoro::Task<typename SpawnedTask<F>::value_type>>;

template <typename T, typename F>
QCoro::Task<void> runShared(std::shared_ptr<SharedTaskState<T>> state, F body) {
    try {
        if constexpr (std::is_void_v<T>) {
            co_await body(state->token);
            state->value.emplace();
        } else {
            state->value.emplace(co_await body(state->token));
        }
    } catch (...) {
        state->error = std::current_exception();
    }
    state->finish();
}

template <TaskBody F>
auto startShared(Scheduler& scheduler, F body, CancellationToken token) {
    using T = typename SpawnedTask<F>::value_type;
    auto state = std::make_shared<SharedTaskState<T>>(scheduler, std::move(token));
    scheduler.post([state, body = std::move(body)]() mutable { runShared<T>(state, body); });
    return SharedTask<T>(std::move(state));
}

}  // namespace detail

// Starts body(token) on the scheduler's next turn, never before the returned handle exists, and
// returns the handle (a TaskHandle for QCoro::Task<void>). body is a plain callable returning a
// QCoro::Task<T>, never a coroutine lambda with captures; the task's token is new.
// In coroutines, bind a conditional (?:) to a local before using it in a co_await operand:
// GCC 12 destroys such temporaries twice.
template <detail::TaskBody F>
auto spawn(Scheduler& scheduler, F body) {
    return detail::startShared(scheduler, std::move(body), CancellationToken());
}

// The same, with a token that is a child of parent: cancelling parent cancels the task.
template <detail::TaskBody F>
auto spawn(Scheduler& scheduler, F body, const CancellationToken& parent) {
    return detail::startShared(scheduler, std::move(body), parent.child());
}

// A task body that calls owner->method(token, args...) only while owner exists; when owner is
// gone at start, the task fails with CancellationError. Parameters are taken by value, so
// nothing the coroutine uses dies with the caller. The coroutine itself must still keep a
// QPointer to its owner and check it after every co_await.
template <typename Owner, typename R, typename... Params, typename... Args>
requires std::derived_from<Owner, QObject> &&
    (sizeof...(Params) ==
     sizeof...(Args)) auto guarded(std::type_identity_t<Owner>* owner,
                                   QCoro::Task<R> (Owner::*method)(CancellationToken, Params...),
                                   Args... args) {
    static_assert((!std::is_reference_v<Params> && ...),
                  "member coroutines take their parameters by value");
    return [owner = QPointer<Owner>(owner), method,
            ... args = std::move(args)](CancellationToken token) -> QCoro::Task<R> {
        if (owner.isNull()) {
            throw CancellationError();
        }
        return (owner.data()->*method)(std::move(token), Params(args)...);
    };
}

}  // namespace pellucine
