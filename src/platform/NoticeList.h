#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "base/Subscription.h"

namespace pellucine {

// The subscribers of one kind of notice, for the port's implementations. A subscriber dropped
// while notices are being sent gets no further notice.
template <class Notice>
class NoticeList {
  public:
    using Handler = std::function<void(const Notice&)>;

    Subscription add(Handler handler) {
        auto token = std::make_shared<Handler>(std::move(handler));
        handlers_.push_back(token);
        return Subscription(token);
    }

    void send(const Notice& notice) {
        std::erase_if(handlers_, [](const auto& h) { return h.expired(); });
        const std::vector<std::weak_ptr<Handler>> snapshot = handlers_;
        for (const auto& weak : snapshot) {
            if (const std::shared_ptr<Handler> handler = weak.lock()) {
                (*handler)(notice);
            }
        }
    }

  private:
    std::vector<std::weak_ptr<Handler>> handlers_;
};

}  // namespace pellucine
