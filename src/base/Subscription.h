#pragma once

#include <QMetaObject>
#include <QObject>
#include <functional>
#include <memory>
#include <utility>

namespace pellucine {

// One connection, undone when the Subscription is destroyed, reset or replaced. Move-only.
class Subscription {
  public:
    Subscription() = default;
    explicit Subscription(std::function<void()> disconnect) : disconnect_(std::move(disconnect)) {}
    // Keeps a publisher's token alive; the publisher forgets the subscriber once it is gone.
    explicit Subscription(std::shared_ptr<void> token)
        : disconnect_([token = std::move(token)] {}) {}
    // Owns a Qt connection.
    explicit Subscription(QMetaObject::Connection connection)
        : disconnect_([connection] { QObject::disconnect(connection); }) {}
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    Subscription(Subscription&& other) noexcept
        : disconnect_(std::exchange(other.disconnect_, {})) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            disconnect_ = std::exchange(other.disconnect_, {});
        }
        return *this;
    }
    ~Subscription() { reset(); }

    void reset() {
        if (auto disconnect = std::exchange(disconnect_, {})) {
            disconnect();
        }
    }
    bool isActive() const { return static_cast<bool>(disconnect_); }

  private:
    std::function<void()> disconnect_;
};

}  // namespace pellucine
