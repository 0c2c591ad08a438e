#pragma once

#include <memory>

namespace pellucine {

// Keeps a callback registered with a publisher for as long as it lives. Dropping it (or
// `reset`) unregisters; the publisher may outlive it or die first.
class Subscription {
  public:
    Subscription() = default;
    explicit Subscription(std::shared_ptr<void> token) : token_(std::move(token)) {}

    void reset() { token_.reset(); }
    bool isActive() const { return token_ != nullptr; }

  private:
    std::shared_ptr<void> token_;
};

}  // namespace pellucine
