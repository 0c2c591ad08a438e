#include <gtest/gtest.h>

#include "app/OnboardingStore.h"
#include "app/ProgramSettingsFile.h"
#include "base/RecordingEventLog.h"
#include "diagnostics/ThisAppReport.h"
#include "preferences/CloudPreferenceSync.h"
#include "preferences/LegacyDefaultsMigration.h"
#include "preferences/PreferenceStore.h"
#include "support/FileTraps.h"
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

TEST(ProgramSettingsFileTest, ARecordCutShortFallsBackAloneAndIsKeptAside) {
    testing::TempFolder folder;
    const AppPaths paths = folder.paths();
    FakeWallClock clock{QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC)};
    RecordingEventLog events;
    MachinePreferences machine;
    machine.automaticUpdateChecks = false;
    {
        SettingsFileStore file = ProgramSettingsFile::open(paths, events, clock);
        OnboardingStore(file).setCompletedOnboarding(true);
        PreferenceStore store(file, paths, clock, events);
        store.savePortablePreferences(PortablePreferences::makeDefault(clock.now()));
        store.saveMachinePreferences(machine);
    }
    // The portable record loses its end, closing parenthesis included.
    const QString path = SettingsFileStore::standardFilePath(paths);
    QByteArray text = testing::fileContents(path);
    const qsizetype record = text.indexOf("portablePreferences=");
    ASSERT_GE(record, 0);
    text.remove(record + 40, text.indexOf('\n', record) - record - 40);
    testing::putFile(path, text);

    SettingsFileStore file = ProgramSettingsFile::open(paths, events, clock);
    PreferenceStore store(file, paths, clock, events);
    EXPECT_EQ(store.loadMachinePreferences(), machine);
    EXPECT_TRUE(OnboardingStore(file).hasCompletedOnboarding());
    // The record falls back as one nobody edited, which never wins over a synced one.
    EXPECT_EQ(store.loadPortablePreferences(), PortablePreferences{});
    // What was dropped is kept aside, and the settings window is told where.
    const std::optional<UnreadableCopy> copy = store.unreadableCopy();
    ASSERT_TRUE(copy && !copy->path.isEmpty());
    EXPECT_EQ(testing::fileContents(copy->path), text);
    // The next save writes the portable record anew beside the machine record.
    ASSERT_TRUE(store.savePortablePreferences(PortablePreferences::makeDefault(clock.now())));
    SettingsFileStore again = ProgramSettingsFile::open(paths, events, clock);
    EXPECT_EQ(PreferenceStore(again, paths, clock, events).loadMachinePreferences(), machine);
    EXPECT_FALSE(again.unreadableCopy());
}

}  // namespace
}  // namespace pellucine
