#pragma once

#include <qcoro/qcorotask.h>

#include <algorithm>
#include <coroutine>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

#include "base/CancellationToken.h"
#include "base/Scheduler.h"
#include "base/WaitList.h"

namespace pellucine {

// Children with at most maxConcurrent in flight, consumed by one parent coroutine one result at
// a time, in completion order:
//
//     TaskGroup<Item> group(scheduler, 4, token);
//     for (...) group.add(guarded(this, &Owner::child, window));
//     while (auto result = co_await group.next()) { ... }
//
// add() queues children; they start in the order added, each on a posted turn. A child holds
// its slot from its start until the parent calls next() after receiving its result, so the
// next child starts only once the previous result has been handled. Cancelling (the group or
// the parent token) cancels the children's token and drops the queued children; next() still
// delivers the results of the children already started, then std::nullopt.
template <typename R>
class TaskGroup {
    static_assert(!std::is_void_v<R>, "children of a group yield a value");

    struct State {
        using Body = std::function<QCoro::Task<R>(CancellationToken)>;
        using Outcome = std::variant<R, std::exception_ptr>;

        State(Scheduler& s, int max, CancellationToken t)
            : scheduler(s), maxConcurrent(std::max(max, 1)), token(std::move(t)) {}

        Scheduler& scheduler;
        const int maxConcurrent;
        CancellationToken token;
        std::deque<Body> queued;
        int inFlight = 0;
        bool lastHoldsSlot = false;
        std::deque<Outcome> completed;
        detail::WaitList waiter;
        CancellationRegistration dropQueuedOnCancel;

        bool isDrained() const { return inFlight == 0 && queued.empty(); }

        void complete(Outcome outcome) {
            completed.push_back(std::move(outcome));
            waiter.wakeAll();
        }
    };

  public:
    // The children's token is a child of parent.
    TaskGroup(Scheduler& scheduler, int maxConcurrent,
              const CancellationToken& parent = CancellationToken())
        : state_(std::make_shared<State>(scheduler, maxConcurrent, parent.child())) {
        State* raw = state_.get();
        state_->dropQueuedOnCancel = state_->token.onCancel([raw] { raw->queued.clear(); });
    }
    TaskGroup(const TaskGroup&) = delete;
    TaskGroup& operator=(const TaskGroup&) = delete;
    // Cancels; running children finish on their own and their results are dropped.
    ~TaskGroup() { cancel(); }

    // Queues body(token), a callable returning QCoro::Task<R>. Ignored once cancelled.
    template <typename F>
    void add(F body) {
        if (state_->token.isCancelled()) {
            return;
        }
        state_->queued.emplace_back(std::move(body));
        startQueued(state_);
    }

    class Next {
      public:
        explicit Next(std::shared_ptr<State> state) : state_(std::move(state)) {}
        bool await_ready() const noexcept {
            return !state_->completed.empty() || state_->isDrained();
        }
        void await_suspend(std::coroutine_handle<> handle) {
            parked_.park(state_->waiter, state_->scheduler, handle);
        }
        // The next result; a child's exception is rethrown here. nullopt when no child is left.
        std::optional<R> await_resume() {
            if (state_->completed.empty()) {
                return std::nullopt;
            }
            typename State::Outcome outcome = std::move(state_->completed.front());
            state_->completed.pop_front();
            state_->lastHoldsSlot = true;
            if (auto* error = std::get_if<std::exception_ptr>(&outcome)) {
                std::rethrow_exception(*error);
            }
            return std::move(std::get<R>(outcome));
        }

      private:
        std::shared_ptr<State> state_;
        detail::ParkedCoroutine parked_;
    };

    // Frees the slot of the result handed out last, starts what the bound now allows, and
    // awaits the next result. One parent at a time.
    Next next() {
        if (state_->lastHoldsSlot) {
            state_->lastHoldsSlot = false;
            --state_->inFlight;
            startQueued(state_);
        }
        return Next(state_);
    }

    void cancel() { state_->token.cancel(); }
    bool isCancelled() const { return state_->token.isCancelled(); }
    CancellationToken token() const { return state_->token; }

  private:
    static QCoro::Task<void> runChild(std::shared_ptr<State> state, typename State::Body body) {
        std::optional<typename State::Outcome> outcome;
        try {
            outcome.emplace(std::in_place_index<0>, co_await body(state->token));
        } catch (...) {
            outcome.emplace(std::in_place_index<1>, std::current_exception());
        }
        state->complete(std::move(*outcome));
    }

    static void startQueued(const std::shared_ptr<State>& state) {
        while (state->inFlight < state->maxConcurrent && !state->queued.empty()) {
            ++state->inFlight;
            state->scheduler.post(
                [state, body = std::move(state->queued.front())] { runChild(state, body); });
            state->queued.pop_front();
        }
    }

    std::shared_ptr<State> state_;
};

}  // namespace pellucine
