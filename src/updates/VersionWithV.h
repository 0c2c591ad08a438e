#pragma once

#include "platform/VersionDisplay.h"

namespace pellucine {

// Writes every version the updater shows with a lower-case "v" in front, as the program does
// everywhere else.
class VersionWithV final : public VersionDisplay {
  public:
    // The one instance, made on first use.
    static VersionWithV& shared();

    // "1.4" → "v1.4"; a version already starting with "v" is kept; "" → "v".
    static QString withV(const QString& version);

    QString formatUpdateDisplayVersion(const AppcastItem& update, QString& bundleDisplayVersion,
                                       const QString& bundleVersion) override;
    QString formatBundleDisplayVersion(const QString& bundleDisplayVersion,
                                       const QString& bundleVersion,
                                       const std::optional<AppcastItem>& matchingUpdate) override;
};

}  // namespace pellucine
