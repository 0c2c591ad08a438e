#include "base/SubscriptionBag.h"

namespace pellucine {

void SubscriptionBag::add(Subscription subscription) {
    if (subscription.isActive()) {
        subscriptions_.push_back(std::move(subscription));
    }
}

void SubscriptionBag::clear() {
    // Taken out first: a disconnect that adds to or clears this bag sees it empty.
    std::vector<Subscription> taken;
    taken.swap(subscriptions_);
    while (!taken.empty()) {
        taken.pop_back();
    }
}

}  // namespace pellucine
