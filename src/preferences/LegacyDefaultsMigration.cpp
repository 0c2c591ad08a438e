#include "preferences/LegacyDefaultsMigration.h"

#include <array>

#include "preferences/PreferenceStore.h"
#include "preferences/SettingsFileStore.h"

namespace pellucine {

void migrateLegacyDefaults(KeyValueStore& target, const KeyValueStore& legacy) {
    if (target.value(legacyDefaultsMigrationFlag).toBool()) {
        return;
    }
    const std::array<QString, 3> keys{PreferenceStore::portableKey, PreferenceStore::machineKey,
                                      QStringLiteral("hasCompletedTaskSwitcherOnboarding")};
    for (const QString& key : keys) {
        if (target.contains(key) || !legacy.contains(key)) {
            continue;
        }
        target.setValue(key, legacy.value(key));
    }
    target.setValue(legacyDefaultsMigrationFlag, true);
}

void migrateLegacyDefaults(KeyValueStore& target, const AppPaths& paths,
                           const QString& legacyDomain) {
    if (target.value(legacyDefaultsMigrationFlag).toBool()) {
        return;
    }
    const SettingsFileStore legacy(SettingsFileStore::domainFilePath(paths, legacyDomain));
    migrateLegacyDefaults(target, legacy);
}

}  // namespace pellucine
