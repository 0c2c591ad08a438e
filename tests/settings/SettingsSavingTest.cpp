#include <QFile>
#include <QLabel>

#include "SettingsFixture.h"
#include "design/BayHeader.h"

namespace pellucine {
namespace {

using testing::SettingsFixture;

class SettingsSavingTest : public SettingsFixture {
  protected:
    static QByteArray read(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    }
};

// ---- Commits and closing ---------------------------------------------------------------------

TEST_F(SettingsSavingTest, SavedStaysThroughABurstAndClearsAfterTheLastCommit) {
    shown();
    for (int i = 0; i < 3; ++i) {
        view().saving().markSaved();
        EXPECT_TRUE(view().header()->isSaved());
        scheduler.advance(0.5);
    }
    EXPECT_EQ(commits(), 3);
    EXPECT_EQ(view().saving().saveGeneration(), 3);
    scheduler.advance(1.05);
    EXPECT_TRUE(view().saving().isSaved());
    scheduler.advance(0.1);
    EXPECT_FALSE(view().saving().isSaved());
    EXPECT_FALSE(view().header()->isSaved());
}

TEST_F(SettingsSavingTest, ClosingSavesOnlyWhatWasLeftUncommitted) {
    shown();
    const QDateTime stamped = portable().modifiedAt;
    scheduler.clocks().advance(seconds(60));
    close();
    EXPECT_EQ(commits(), 0);
    EXPECT_EQ(portable().modifiedAt, stamped);
    EXPECT_TRUE(sync.started.isEmpty());

    // Dragged away and back: nothing changed.
    shown();
    view().saving().editPortable([](PortablePreferences& p) { p.previewWidth = 700; });
    view().saving().editPortable([](PortablePreferences& p) { p.previewWidth = 600; });
    close();
    EXPECT_EQ(commits(), 0);

    shown();
    view().saving().editPortable([](PortablePreferences& p) { p.previewWidth = 700; });
    close();
    EXPECT_EQ(commits(), 1);
    EXPECT_EQ(portable().modifiedAt, scheduler.clocks().wall.now());

    // A commit settles it; closing afterwards adds nothing.
    shown();
    view().saving().editMachine([](MachinePreferences& m) { m.showMenuBarIcon = false; });
    view().saving().markSaved();
    close();
    EXPECT_EQ(commits(), 2);
}

// ---- The notes under the header --------------------------------------------------------------

TEST_F(SettingsSavingTest, SettingsThatCouldNotBeReadAreToldOnceWithWhereTheCopyWasKept) {
    shown();
    EXPECT_FALSE(view().saving().isShowingReverted());
    close();

    // The next start finds the portable record damaged; the machine one still reads.
    store.defaults().setValue(PreferenceStore::portableKey, QByteArray("{\"previewWidth\": 4"));
    start();
    const std::optional<UnreadableCopy> copy = model->settingsReverted().value();
    ASSERT_TRUE(copy.has_value());
    EXPECT_EQ(copy->result, "kept");
    EXPECT_EQ(read(copy->path), "{\"previewWidth\": 4");
    shown();
    EXPECT_TRUE(view().saving().isShowingReverted());
    EXPECT_TRUE(view().findChild<QLabel*>("settingsReverted")->text().contains(copy->path));
    // Still there while the window stays; gone for good once it has closed.
    view().setBay(SettingsView::Bay::dock);
    EXPECT_TRUE(view().saving().isShowingReverted());
    close();
    shown();
    EXPECT_FALSE(view().saving().isShowingReverted());
    EXPECT_EQ(model->settingsReverted().value(), std::nullopt);
}

TEST_F(SettingsSavingTest, RevertedSettingsSayWhetherACopyWasKept) {
    EXPECT_TRUE(SettingsSaving::revertedText({"kept", "/a/unreadable-x.json"})
                    .contains("kept in /a/unreadable-x.json"));
    EXPECT_TRUE(SettingsSaving::revertedText({"already-kept", "/a/b.conf"}).contains("/a/b.conf"));
    EXPECT_TRUE(SettingsSaving::revertedText({"not-kept", {}}).contains("left as it was"));
    const QString empty = SettingsSaving::revertedText({"empty", {}});
    EXPECT_FALSE(empty.contains("copy"));
    EXPECT_TRUE(empty.contains("defaults"));
}

// ---- Sync on: pull first ---------------------------------------------------------------------

class SyncSwitchTest : public SettingsSavingTest {
  protected:
    PortablePreferences remoteAt(Duration offset, double width) {
        PortablePreferences p = portable();
        p.modifiedAt = portable().modifiedAt.addMSecs(
            std::chrono::duration_cast<std::chrono::milliseconds>(offset).count());
        p.previewWidth = width;
        p.syncEnabled = true;
        return p;
    }
};

TEST_F(SyncSwitchTest, TurningSyncOnTakesANewerSyncedCopyBeforePushing) {
    shown();
    sync.remote = remoteAt(seconds(30), 760);
    scheduler.clocks().advance(seconds(60));  // the local record would be stamped later
    view().saving().setSyncEnabled(true);
    EXPECT_TRUE(portable().syncEnabled);
    EXPECT_TRUE(sync.started.isEmpty());
    scheduler.runUntilIdle();
    EXPECT_EQ(sync.pullCount, 1);
    ASSERT_EQ(sync.pushed.size(), 1);
    EXPECT_EQ(sync.pushed.first().previewWidth, 760);
    EXPECT_TRUE(sync.pushed.first().syncEnabled);
    // Taken, not edited: it keeps the date it was synced with.
    EXPECT_EQ(sync.pushed.first().modifiedAt, sync.remote->modifiedAt);
    EXPECT_EQ(portable().previewWidth, 760);
}

TEST_F(SyncSwitchTest, JoiningTakesEvenAnOlderSyncedCopyAndAFailedPullPushesNothing) {
    shown();
    scheduler.clocks().advance(seconds(60));
    view().saving().commitPortable([](PortablePreferences& p) { p.previewWidth = 500; });
    sync.remote = remoteAt(-seconds(30), 420);
    view().saving().setSyncEnabled(true);
    scheduler.runUntilIdle();
    ASSERT_EQ(sync.pushed.size(), 1);
    EXPECT_EQ(sync.pushed.first().previewWidth, 420);
    EXPECT_EQ(portable().previewWidth, 420);

    view().saving().setSyncEnabled(false);
    EXPECT_EQ(model->syncStatus().value(), AppModel::SyncStatus::idle());
    EXPECT_EQ(sync.pullCount, 1);
    const int pushes = static_cast<int>(sync.started.size());

    sync.pullSteps.push_back({0, CloudStoreError(CloudErrorCode::networkFailure)});
    view().saving().setSyncEnabled(true);
    scheduler.runUntilIdle();
    EXPECT_EQ(sync.pullCount, 2);
    EXPECT_EQ(sync.started.size(), pushes);
    EXPECT_EQ(model->syncStatus().value().statusCase(), AppModel::SyncStatus::Case::failed);
    EXPECT_TRUE(portable().syncEnabled);
    EXPECT_TRUE(store.loadPortablePreferences().syncEnabled);
}

TEST_F(SyncSwitchTest, TurningSyncOffBeforeThePullEndsPushesNothing) {
    shown();
    sync.pullSteps.push_back({2.0, std::nullopt});
    view().saving().setSyncEnabled(true);
    scheduler.runUntilIdle();
    view().saving().setSyncEnabled(false);
    scheduler.advance(3.0);
    EXPECT_TRUE(sync.started.isEmpty());
    EXPECT_FALSE(portable().syncEnabled);
}

}  // namespace
}  // namespace pellucine
