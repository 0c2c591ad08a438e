#pragma once

#include <QString>
#include <optional>

#include "platform/AppcastItem.h"

namespace pellucine {

// How the updater's windows write versions.
class VersionDisplay {
  public:
    virtual ~VersionDisplay() = default;

    // The update's version as shown; may rewrite the running program's version beside it.
    virtual QString formatUpdateDisplayVersion(const AppcastItem& update,
                                               QString& bundleDisplayVersion,
                                               const QString& bundleVersion) = 0;
    // The running program's version as shown.
    virtual QString formatBundleDisplayVersion(
        const QString& bundleDisplayVersion, const QString& bundleVersion,
        const std::optional<AppcastItem>& matchingUpdate) = 0;
};

}  // namespace pellucine
