#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "base/Error.h"

namespace pellucine {

namespace detail {
struct CancellationState;
}

// Keeps one cancel callback registered; destroying or resetting it removes the callback.
class CancellationRegistration {
  public:
    CancellationRegistration() = default;
    CancellationRegistration(const CancellationRegistration&) = delete;
    CancellationRegistration& operator=(const CancellationRegistration&) = delete;
    CancellationRegistration(CancellationRegistration&& other) noexcept;
    CancellationRegistration& operator=(CancellationRegistration&& other) noexcept;
    ~CancellationRegistration() { reset(); }

    void reset();

  private:
    friend class CancellationToken;
    CancellationRegistration(std::weak_ptr<detail::CancellationState> state, std::uint64_t id)
        : state_(std::move(state)), id_(id) {}

    std::weak_ptr<detail::CancellationState> state_;
    std::uint64_t id_ = 0;
};

// A shared cancellation flag: copies share one state. Cancelling is sticky and runs the
// registered callbacks once, in registration order, on the caller's stack. Main thread only.
class CancellationToken {
  public:
    // A new token, not cancelled.
    CancellationToken();

    // A new token that is cancelled when this one is (at once if it already is); cancelling the
    // child leaves this one alone.
    CancellationToken child() const;

    void cancel() const;
    bool isCancelled() const;
    // Throws CancellationError when cancelled.
    void throwIfCancelled() const;

    // Calls fn when the token is cancelled; at once (and registers nothing) if it already is.
    [[nodiscard]] CancellationRegistration onCancel(std::function<void()> fn) const;

    // Identity: copies of one token are equal.
    friend bool operator==(const CancellationToken&, const CancellationToken&) = default;

  private:
    std::shared_ptr<detail::CancellationState> state_;
};

// Thrown by work that stops because it was cancelled.
class CancellationError final : public Error {
  public:
    CancellationError();
    QString typeName() const override { return QStringLiteral("pellucine.CancellationError"); }
};

}  // namespace pellucine
