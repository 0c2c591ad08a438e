#include "updates/UpdateChoice.h"

#include "base/VersionComparator.h"

namespace pellucine {

std::optional<AppcastItem> bestValidUpdate(const Appcast& appcast, UpdateChannel channel,
                                           const QString& runningBuild) {
    const bool beta = channel == UpdateChannel::beta;
    const AppcastItem* best = nullptr;
    for (const AppcastItem& item : appcast.items) {
        const bool qualifies =
            item.minimumOperatingSystemVersionIsOK && item.maximumOperatingSystemVersionIsOK &&
            (!item.channel || (beta && *item.channel == QLatin1String("beta"))) &&
            compareVersions(runningBuild, item.versionString) < 0;
        if (qualifies &&
            (best == nullptr || compareVersions(best->versionString, item.versionString) < 0)) {
            best = &item;
        }
    }
    if (best == nullptr) {
        return std::nullopt;
    }
    return *best;
}

}  // namespace pellucine
