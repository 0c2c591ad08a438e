#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/Scheduler.h"
#include "base/Subscription.h"

namespace pellucine {

// A value whose every store is announced to subscribers after the value is stored, so a
// subscriber always reads the new value. Every set() notifies, also when the value is equal;
// subscribeDistinct() filters repeats. Subscribers run in subscription order, directly inside
// set(), or on a posted turn when given a scheduler. A subscriber that stores a newer value
// stops the older announcement, so each subscriber hears the newest value last. Subscribers
// added or dropped during an announcement take effect from the next one. Main thread only.
template <typename T>
class Observable {
  public:
    using Callback = std::function<void(const T&)>;

    explicit Observable(T initial = T()) : state_(std::make_shared<State>(std::move(initial))) {}
    Observable(const Observable&) = delete;
    Observable& operator=(const Observable&) = delete;

    const T& value() const { return state_->value; }

    // Stores value, then notifies.
    void set(T value) {
        state_->value = std::move(value);
        notify();
    }
    // Changes the value in place with fn(T&), then notifies.
    template <typename F>
    void modify(F fn) {
        fn(state_->value);
        notify();
    }

    // Calls fn(value) after every store.
    [[nodiscard]] Subscription subscribe(Callback fn, Scheduler* deliverOn = nullptr) {
        return add(deliverOn ? queued(std::move(fn), *deliverOn) : std::move(fn));
    }

    // Calls fn(value) after a store only when the value differs from the last one this
    // subscription saw; it starts from the current value and is not called for it.
    [[nodiscard]] Subscription subscribeDistinct(
        Callback fn, Scheduler* deliverOn = nullptr) requires std::equality_comparable<T> {
        return subscribeDistinct([](const T& v) { return v; }, std::move(fn), deliverOn);
    }

    // The same over key(value): fn(key) is called when the key changes.
    template <typename KeyFn, typename F>
    requires std::invocable < F&, const std::invoke_result_t<KeyFn&, const T&>
    & > [[nodiscard]] Subscription subscribeDistinct(KeyFn key, F fn,
                                                     Scheduler* deliverOn = nullptr) {
        using Key = std::decay_t<std::invoke_result_t<KeyFn&, const T&>>;
        std::function<void(const Key&)> target = std::move(fn);
        if (deliverOn != nullptr) {
            target = queued(std::move(target), *deliverOn);
        }
        return add([key = std::move(key), target = std::move(target),
                    last = std::optional<Key>(key(state_->value))](const T& value) mutable {
            Key current = key(value);
            if (current == *last) {
                return;
            }
            last = current;
            target(current);
        });
    }

  private:
    struct State {
        explicit State(T initial) : value(std::move(initial)) {}
        T value;
        std::uint64_t version = 0;
        std::uint64_t nextId = 1;
        std::map<std::uint64_t, std::shared_ptr<Callback>> subscribers;
    };

    // Posts each call; a call still pending when its subscription ends is dropped.
    template <typename V>
    static std::function<void(const V&)> queued(std::function<void(const V&)> fn,
                                                Scheduler& scheduler) {
        auto target = std::make_shared<std::function<void(const V&)>>(std::move(fn));
        return [target, &scheduler](const V& value) {
            scheduler.post([weak = std::weak_ptr(target), value] {
                if (const auto fn = weak.lock()) {
                    (*fn)(value);
                }
            });
        };
    }

    Subscription add(Callback fn) {
        const std::uint64_t id = state_->nextId++;
        state_->subscribers.emplace(id, std::make_shared<Callback>(std::move(fn)));
        return Subscription([weak = std::weak_ptr(state_), id] {
            if (const auto state = weak.lock()) {
                state->subscribers.erase(id);
            }
        });
    }

    void notify() {
        const auto state = state_;
        const std::uint64_t version = ++state->version;
        const T snapshot = state->value;
        std::vector<std::uint64_t> ids;
        ids.reserve(state->subscribers.size());
        for (const auto& entry : state->subscribers) {
            ids.push_back(entry.first);
        }
        for (const std::uint64_t id : ids) {
            if (state->version != version) {
                return;
            }
            const auto it = state->subscribers.find(id);
            if (it != state->subscribers.end()) {
                const std::shared_ptr<Callback> fn = it->second;
                (*fn)(snapshot);
            }
        }
    }

    std::shared_ptr<State> state_;
};

}  // namespace pellucine
