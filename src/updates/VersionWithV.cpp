#include "updates/VersionWithV.h"

namespace pellucine {

VersionWithV& VersionWithV::shared() {
    static VersionWithV instance;
    return instance;
}

QString VersionWithV::withV(const QString& version) {
    return version.startsWith(QLatin1Char('v')) ? version : QLatin1Char('v') + version;
}

QString VersionWithV::formatUpdateDisplayVersion(const AppcastItem& update,
                                                 QString& bundleDisplayVersion, const QString&) {
    bundleDisplayVersion = withV(bundleDisplayVersion);
    return withV(update.displayVersionString);
}

QString VersionWithV::formatBundleDisplayVersion(const QString& bundleDisplayVersion,
                                                 const QString&,
                                                 const std::optional<AppcastItem>&) {
    return withV(bundleDisplayVersion);
}

}  // namespace pellucine
