#include "app/DeepLinkQueue.h"

#include <utility>

#include "app/DeepLink.h"

namespace pellucine {

void DeepLinkQueue::receive(const QString& text) {
    const std::optional<QUrl> url = deepLinkURL(text);
    if (!url) {
        return;
    }
    if (launched_) {
        handle_(*url);
    } else if (pending_.size() < maximumPending) {
        pending_.append(*url);
    }
}

void DeepLinkQueue::drain() {
    launched_ = true;
    const QList<QUrl> taken = std::exchange(pending_, {});
    for (const QUrl& url : taken) {
        handle_(url);
    }
}

}  // namespace pellucine
