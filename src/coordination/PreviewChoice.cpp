#include "coordination/PreviewChoice.h"

#include "core/SensitiveApplication.h"

namespace pellucine {

bool PreviewChoice::isPrivate(const WindowDescriptor& window) const {
    return keepPasswordManagersPrivate &&
           isSensitiveApplication(window.ownerBundleIdentifier, window.ownerAliases,
                                  osMajorVersion);
}

QList<WindowDescriptor> PreviewChoice::needingCapture(const QList<WindowDescriptor>& windows,
                                                      const PreviewCache& cache,
                                                      ContinuousInstant now,
                                                      double maxAgeSeconds) const {
    QList<WindowDescriptor> chosen;
    for (const WindowDescriptor& window : windows) {
        if (!window.isOnScreen || isPrivate(window)) {
            continue;
        }
        const PreviewCache::Entry* entry = cache.entry(window.id);
        if (entry == nullptr || now - entry->createdAt > seconds(maxAgeSeconds)) {
            chosen.append(window);
        }
    }
    return chosen;
}

}  // namespace pellucine
