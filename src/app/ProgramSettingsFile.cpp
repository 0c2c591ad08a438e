#include "app/ProgramSettingsFile.h"

#include "app/OnboardingStore.h"
#include "diagnostics/ThisAppReport.h"
#include "preferences/CloudPreferenceSync.h"
#include "preferences/LegacyDefaultsMigration.h"
#include "preferences/PreferenceStore.h"

namespace pellucine {

const SettingsFileSchema& ProgramSettingsFile::schema() {
    using Kind = SettingsFileSchema::Kind;
    static const SettingsFileSchema program{{
        {PreferenceStore::portableKey, Kind::data},
        {PreferenceStore::machineKey, Kind::data},
        {OnboardingStore::completedKey, Kind::flag},
        {legacyDefaultsMigrationFlag, Kind::flag},
        {CloudPreferenceSync::syncFolderKey, Kind::text},
        {reportInstallIDKey, Kind::text},
    }};
    return program;
}

SettingsFileStore ProgramSettingsFile::open(const AppPaths& paths, EventRecording& events,
                                            const WallClock& clock) {
    return SettingsFileStore(SettingsFileStore::standardFilePath(paths),
                             {schema(), paths.programSupportFolder(), clock, events});
}

}  // namespace pellucine
