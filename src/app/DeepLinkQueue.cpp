#include "app/DeepLinkQueue.h"

#include <utility>

#include "app/DeepLink.h"

namespace pellucine {

bool DeepLinkQueue::receive(const QString& text) {
    const std::optional<QUrl> url = deepLinkURL(text);
    if (!url) {
        return false;
    }
    if (launched_) {
        return handle_(*url);
    }
    if (pending_.size() >= maximumPending) {
        return false;
    }
    pending_.append(*url);
    return true;
}

void DeepLinkQueue::drain() {
    launched_ = true;
    const QList<QUrl> taken = std::exchange(pending_, {});
    for (const QUrl& url : taken) {
        handle_(url);
    }
}

}  // namespace pellucine
