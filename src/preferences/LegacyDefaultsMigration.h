#pragma once

#include <QString>

#include "base/AppPaths.h"
#include "preferences/KeyValueStore.h"

namespace pellucine {

inline const QString legacyDefaultsMigrationFlag =
    QStringLiteral("didMigrateBrackenmoorDefaults.v1");
inline const QString legacyDefaultsDomain = QStringLiteral("com.orrinvale.brackenmoor.dev");

// Copies the settings of the earlier development build into the target defaults, once in the
// life of the target: each of "portablePreferences", "machinePreferences" and
// "hasCompletedTaskSwitcherOnboarding" that the target does not hold is copied unchanged from
// the legacy domain when it holds it. The flag is set afterwards even when nothing was copied,
// so the legacy domain is never read again.
void migrateLegacyDefaults(KeyValueStore& target, const KeyValueStore& legacy);

// The same with the legacy domain's file under the defaults folder; a missing file is empty and
// is not created.
void migrateLegacyDefaults(KeyValueStore& target, const AppPaths& paths,
                           const QString& legacyDomain = legacyDefaultsDomain);

}  // namespace pellucine
