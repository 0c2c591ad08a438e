#include "base/CancellationToken.h"

#include <map>

namespace pellucine {

namespace detail {

struct CancellationState : std::enable_shared_from_this<CancellationState> {
    bool cancelled = false;
    std::uint64_t nextId = 1;
    std::map<std::uint64_t, std::function<void()>> callbacks;
    // A child's link to its parent, dropped with the child.
    CancellationRegistration parentLink;

    void cancel() {
        if (cancelled) {
            return;
        }
        cancelled = true;
        const auto keepAlive = shared_from_this();
        // One at a time from the live map, so that a callback removing another one (by
        // destroying its registration) is honoured.
        while (!callbacks.empty()) {
            auto node = callbacks.extract(callbacks.begin());
            node.mapped()();
        }
    }
};

}  // namespace detail

CancellationRegistration::CancellationRegistration(CancellationRegistration&& other) noexcept
    : state_(std::move(other.state_)), id_(other.id_) {
    other.state_.reset();
}

CancellationRegistration& CancellationRegistration::operator=(
    CancellationRegistration&& other) noexcept {
    if (this != &other) {
        reset();
        state_ = std::move(other.state_);
        id_ = other.id_;
        other.state_.reset();
    }
    return *this;
}

void CancellationRegistration::reset() {
    if (const auto state = state_.lock()) {
        state->callbacks.erase(id_);
    }
    state_.reset();
}

CancellationToken::CancellationToken() : state_(std::make_shared<detail::CancellationState>()) {}

CancellationToken CancellationToken::child() const {
    CancellationToken result;
    std::weak_ptr<detail::CancellationState> weakChild = result.state_;
    result.state_->parentLink = onCancel([weakChild] {
        if (const auto child = weakChild.lock()) {
            child->cancel();
        }
    });
    return result;
}

void CancellationToken::cancel() const {
    state_->cancel();
}

bool CancellationToken::isCancelled() const {
    return state_->cancelled;
}

void CancellationToken::throwIfCancelled() const {
    if (isCancelled()) {
        throw CancellationError();
    }
}

CancellationRegistration CancellationToken::onCancel(std::function<void()> fn) const {
    if (state_->cancelled) {
        fn();
        return {};
    }
    const std::uint64_t id = state_->nextId++;
    state_->callbacks.emplace(id, std::move(fn));
    return CancellationRegistration(state_, id);
}

CancellationError::CancellationError() : Error(QStringLiteral("The operation was cancelled.")) {}

}  // namespace pellucine
