#include <gtest/gtest.h>

#include "app/OnboardingStore.h"
#include "app/ProgramSettingsFile.h"
#include "base/RecordingEventLog.h"
#include "diagnostics/ThisAppReport.h"
#include "preferences/CloudPreferenceSync.h"
#include "preferences/LegacyDefaultsMigration.h"
#include "preferences/PreferenceStore.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

// Whatever the program writes to its own file, it reads back as its own.
TEST(ProgramSettingsFileTest, EveryKeyTheProgramWritesReadsBackAsItsOwn) {
    testing::TempFolder folder;
    const AppPaths paths = folder.paths();
    FakeWallClock clock{QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC)};
    RecordingEventLog events;
    PortablePreferences portable = PortablePreferences::makeDefault(clock.now());
    portable.excludedDockAppBundleIdentifiers = {"com.example.kept"};
    QString installID;
    {
        SettingsFileStore file = ProgramSettingsFile::open(paths, events, clock);
        migrateLegacyDefaults(file, paths);
        OnboardingStore(file).setCompletedOnboarding(true);
        installID = thisAppInstallID(file);
        // Text that QSettings would split or trim if it were written bare.
        ASSERT_TRUE(file.setValue(QString(CloudPreferenceSync::syncFolderKey),
                                  QStringLiteral(" /home/a, b;c\"d\\e ")));
        PreferenceStore store(file, paths, clock, events);
        store.savePortablePreferences(portable);
        store.saveMachinePreferences(MachinePreferences{});
    }
    ASSERT_EQ(events.count("preferences-not-saved"), 0);

    SettingsFileStore file = ProgramSettingsFile::open(paths, events, clock);
    EXPECT_EQ(events.count("stored-preferences-unreadable"), 0);
    EXPECT_TRUE(OnboardingStore(file).hasCompletedOnboarding());
    EXPECT_EQ(thisAppInstallID(file), installID);
    EXPECT_EQ(CloudPreferenceSync::chosenSyncFolder(file), QStringLiteral("/home/a, b;c\"d\\e"));
    EXPECT_EQ(PreferenceStore(file, paths, clock, events).loadPortablePreferences(), portable);
}

TEST(ProgramSettingsFileTest, AnotherProgramsFileIsKeptAsideInTheProgramFolder) {
    testing::TempFolder folder;
    const AppPaths paths = folder.paths();
    FakeWallClock clock{QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC)};
    RecordingEventLog events;
    const QString path = SettingsFileStore::standardFilePath(paths);
    {
        SettingsFileStore theirs(path);
        ASSERT_TRUE(theirs.setValue("Window/geometry", QByteArray("x")));
    }
    SettingsFileStore file = ProgramSettingsFile::open(paths, events, clock);
    EXPECT_FALSE(file.contains("Window/geometry"));
    EXPECT_EQ(events.last("stored-preferences-unreadable")->fields.value("result"), "kept");
    EXPECT_TRUE(QFileInfo::exists(paths.programSupportFolder() +
                                  "/unreadable-pellucine.conf-20260314T092653Z.conf"));
}

}  // namespace
}  // namespace pellucine
