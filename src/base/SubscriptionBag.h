#pragma once

#include <vector>

#include "base/Subscription.h"

namespace pellucine {

// Holds subscriptions and Qt connections; clear() and destruction undo them all, newest first.
class SubscriptionBag {
  public:
    SubscriptionBag() = default;
    SubscriptionBag(const SubscriptionBag&) = delete;
    SubscriptionBag& operator=(const SubscriptionBag&) = delete;
    ~SubscriptionBag() { clear(); }

    void add(Subscription subscription);
    void add(QMetaObject::Connection connection) { add(Subscription(connection)); }
    SubscriptionBag& operator+=(Subscription subscription) {
        add(std::move(subscription));
        return *this;
    }
    SubscriptionBag& operator+=(QMetaObject::Connection connection) {
        add(connection);
        return *this;
    }

    void clear();
    bool isEmpty() const { return subscriptions_.empty(); }
    std::size_t size() const { return subscriptions_.size(); }

  private:
    std::vector<Subscription> subscriptions_;
};

}  // namespace pellucine
