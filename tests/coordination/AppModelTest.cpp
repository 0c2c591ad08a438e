#include <gtest/gtest.h>

#include "ModelFixture.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using testing::follow;
using testing::ModelFixture;

ApplicationDescriptor applicationWith(qint32 pid, const QList<quint32>& windows) {
    ApplicationDescriptor application;
    application.processIdentifier = pid;
    application.name = QStringLiteral("App %1").arg(pid);
    for (const quint32 id : windows) {
        WindowDescriptor window;
        window.id = id;
        window.ownerPID = pid;
        window.isOnScreen = true;
        application.windows.append(window);
    }
    return application;
}

QImage picture() {
    QImage image(8, 6, QImage::Format_ARGB32);
    image.fill(Qt::red);
    return image;
}

QList<quint32> cachedWindows(AppModel& model) {
    QList<quint32> windows;
    for (const auto& entry : model.previewCache().entries()) {
        windows.append(entry.first);
    }
    return windows;
}

class AppModelTest : public ModelFixture {
  protected:
    void cache(AppModel& m, const QList<quint32>& windows) {
        for (const quint32 window : windows) {
            m.previewCache().store(picture(), window, scheduler.now());
        }
    }
};

TEST_F(AppModelTest, CreationLoadsBothRecordsAndInstallsTheMemoryPressureSource) {
    store.portable.previewWidth = 420;
    store.machine.showMenuBarIcon = false;
    desktop.simulatedMemoryPressure().setUnavailable(QStringLiteral("no-pressure-stall"));
    AppModel& m = makeModel();
    EXPECT_EQ(m.portablePreferences().value().previewWidth, 420);
    EXPECT_FALSE(m.machinePreferences().value().showMenuBarIcon);
    EXPECT_EQ(m.syncStatus().value(), AppModel::SyncStatus::idle());
    EXPECT_EQ(m.previewSessionGeneration(), 0);
    EXPECT_EQ(m.previewCache().timeToLive(), 1200);
    EXPECT_EQ(m.previewCache().capacity(), 150);
    EXPECT_EQ(m.previewCache().hotCapacity(), 16);
    EXPECT_TRUE(m.hasMemoryPressureSource());
    EXPECT_EQ(events.count(QStringLiteral("memory-pressure-unavailable")), 1);
    EXPECT_EQ(events.last(QStringLiteral("memory-pressure-unavailable"))->fields.value("reason"),
              QStringLiteral("no-pressure-stall"));
    EXPECT_TRUE(store.saves.isEmpty());
}

TEST_F(AppModelTest, RefreshPublishesTheSnapshotAndKeepsPicturesOfWindowsTheSystemStillLists) {
    addApp(10);
    const quint32 listed = addWindow(10, {0, 0, 400, 300});
    desktop.addWindowListEntry({.number = 555,
                                .ownerPID = 77,
                                .layer = 0,
                                .bounds = GlobalRect{0, 0, 200, 200},
                                .isOnScreen = true});
    desktop.addWindowListEntry({.number = std::nullopt, .ownerPID = 78});
    AppModel& m = makeModel();
    cache(m, {listed, 555, 777});

    run(m.refreshWindows());

    ASSERT_EQ(m.applications().value().size(), 1);
    EXPECT_EQ(cachedWindows(m), (QList<quint32>{listed, 555}));
    const auto refreshed = events.last(QStringLiteral("windows-refreshed"));
    ASSERT_TRUE(refreshed);
    EXPECT_EQ(refreshed->fields.value("applicationCount"), QStringLiteral("1"));
    EXPECT_EQ(refreshed->fields.value("windowCount"), QStringLiteral("1"));
}

TEST_F(AppModelTest, AnEmptySnapshotPrunesTheCacheToTheLiveWindows) {
    addApp(10);
    const quint32 live = addWindow(10, {0, 0, 400, 300});
    scripted.snapshots.push_back({});
    AppModel& m = makeModel(&scripted);
    cache(m, {live, 900});
    run(m.refreshWindows());
    EXPECT_TRUE(m.applications().value().isEmpty());
    EXPECT_EQ(cachedWindows(m), QList<quint32>{live});
    const auto refreshed = events.last(QStringLiteral("windows-refreshed"));
    ASSERT_TRUE(refreshed);
    EXPECT_EQ(refreshed->fields.value("applicationCount"), QStringLiteral("0"));
    EXPECT_EQ(refreshed->fields.value("windowCount"), QStringLiteral("0"));
}

TEST_F(AppModelTest, AFailedRefreshKeepsTheListAndTheCache) {
    scripted.snapshots.push_back({{applicationWith(10, {1, 2})}});
    scripted.snapshots.push_back({.fails = true});
    AppModel& m = makeModel(&scripted);
    run(m.refreshWindows());
    cache(m, {1, 2});
    run(m.refreshWindows());
    EXPECT_EQ(m.applications().value().size(), 1);
    EXPECT_EQ(cachedWindows(m), (QList<quint32>{1, 2}));
    EXPECT_EQ(m.errorMessage().value(),
              WindowServiceError::permissionRequired().localizedDescription());
    EXPECT_EQ(events.last(QStringLiteral("windows-refresh-failed"))->fields.value("errorType"),
              QStringLiteral("pellucine.WindowServiceError"));
}

TEST_F(AppModelTest, AnOlderSnapshotFinishingLastIsDropped) {
    // The first refresh is slow and lists window 1; the second lists window 2 and lands first.
    scripted.snapshots.push_back({{applicationWith(10, {1})}, 2.0});
    scripted.snapshots.push_back({{applicationWith(20, {2})}, 1.0});
    AppModel& m = makeModel(&scripted);
    cache(m, {1, 2});
    auto older = follow(m.refreshWindows());
    auto newer = follow(m.refreshWindows());
    settle();
    ASSERT_TRUE(older->succeeded() && newer->succeeded());
    ASSERT_EQ(m.applications().value().size(), 1);
    EXPECT_EQ(m.applications().value().front().processIdentifier, 20);
    EXPECT_EQ(cachedWindows(m), QList<quint32>{2});
    EXPECT_EQ(events.count(QStringLiteral("windows-refreshed")), 1);

    // A newer refresh that fails does not stop an older success from landing; an older
    // failure after a newer success is recorded but leaves the message alone.
    scripted.snapshots.push_back({{applicationWith(30, {3})}, 2.0});
    scripted.snapshots.push_back({.seconds = 1.0, .fails = true});
    follow(m.refreshWindows());
    follow(m.refreshWindows());
    settle();
    EXPECT_EQ(m.applications().value().front().processIdentifier, 30);
    EXPECT_TRUE(m.errorMessage().value().has_value());

    m.errorMessage().set(std::nullopt);
    scripted.snapshots.push_back({.seconds = 2.0, .fails = true});
    scripted.snapshots.push_back({{applicationWith(40, {4})}, 1.0});
    follow(m.refreshWindows());
    follow(m.refreshWindows());
    settle();
    EXPECT_EQ(m.applications().value().front().processIdentifier, 40);
    EXPECT_FALSE(m.errorMessage().value().has_value());
    EXPECT_EQ(events.count(QStringLiteral("windows-refresh-failed")), 2);
}

TEST_F(AppModelTest, OnlyASuccessfulWindowActionStartsANewPreviewSession) {
    AppModel& m = makeModel(&scripted);
    WindowDescriptor window;
    window.id = 42;
    m.previewImages().set({{42, picture()}});
    scripted.failActions = true;
    EXPECT_FALSE(m.performWindowAction(WindowAction::place(WindowPlacement::leftHalf), window));
    EXPECT_EQ(m.previewSessionGeneration(), 0);
    EXPECT_EQ(m.previewImages().value().size(), 1);
    EXPECT_EQ(events.last(QStringLiteral("window-action-failed"))->fields.value("reason"),
              QStringLiteral("place(pellucine.WindowPlacement.leftHalf)"));
    EXPECT_EQ(m.errorMessage().value(),
              WindowServiceError::windowUnavailable().localizedDescription());

    scripted.failActions = false;
    EXPECT_TRUE(m.performWindowAction(WindowAction::close(), window));
    EXPECT_EQ(m.previewSessionGeneration(), 1);
    EXPECT_TRUE(m.previewImages().value().isEmpty());
    EXPECT_EQ(scripted.actions,
              (QStringList{"place(pellucine.WindowPlacement.leftHalf) 42", "close 42"}));
}

TEST_F(AppModelTest, ApplyingStampsThenNormalisesAndSavesPortableBeforeMachine) {
    store.machine.windowSearchHotkey = KeyCombo{0xFFFF, 0};
    AppModel& m = makeModel();
    QList<PortablePreferences> heard;
    auto subscription =
        m.portablePreferences().subscribe([&](const PortablePreferences& p) { heard.append(p); });
    m.portablePreferences().modify([](PortablePreferences& p) { p.previewWidth = 5000; });
    heard.clear();
    scheduler.clocks().advance(seconds(30));

    m.applyPreferences();

    ASSERT_EQ(heard.size(), 2);
    EXPECT_EQ(heard[0].modifiedAt, scheduler.clocks().wall.now());
    EXPECT_EQ(heard[0].previewWidth, 5000);
    EXPECT_EQ(heard[1].previewWidth, PortablePreferences::maximumPreviewWidth);
    EXPECT_EQ(store.saves, (QStringList{"portable", "machine"}));
    EXPECT_EQ(store.portable, m.portablePreferences().value());
    EXPECT_EQ(store.machine.windowSearchHotkey, (KeyCombo{0xFFFF, 0}));
    EXPECT_TRUE(sync.started.isEmpty());
}

TEST_F(AppModelTest, ApplyingWithSyncOffAnnouncesIdleOnlyWhenItWasNotIdle) {
    store.portable.syncEnabled = true;
    sync.pullSteps.push_back({0, CloudStoreError(CloudErrorCode::networkFailure)});
    AppModel& m = makeModel();
    run(m.pullSyncedPreferences());
    ASSERT_EQ(m.syncStatus().value().statusCase(), AppModel::SyncStatus::Case::failed);

    int announced = 0;
    auto subscription = m.syncStatus().subscribe([&](const auto&) { ++announced; });
    m.portablePreferences().modify([](PortablePreferences& p) { p.syncEnabled = false; });
    m.applyPreferences();
    m.applyPreferences();
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(m.syncStatus().value(), AppModel::SyncStatus::idle());
}

TEST_F(AppModelTest, PushesRunInOrderAndRecordsSavedMeanwhileAreCoalesced) {
    store.portable.syncEnabled = true;
    sync.pushSteps = {{3.0}, {1.0}};
    AppModel& m = makeModel();
    const auto applyWidth = [&](double width) {
        m.portablePreferences().modify([width](PortablePreferences& p) { p.previewWidth = width; });
        m.applyPreferences();
    };
    applyWidth(400);
    scheduler.runUntilIdle();
    applyWidth(500);
    applyWidth(600);
    EXPECT_EQ(m.syncStatus().value(), AppModel::SyncStatus::syncing());

    // The first push ends while the newest record still waits: the status stays "syncing".
    scheduler.advance(3.0);
    EXPECT_EQ(m.syncStatus().value(), AppModel::SyncStatus::syncing());
    settle();

    ASSERT_EQ(sync.pushed.size(), 2);
    EXPECT_EQ(sync.pushed[0].previewWidth, 400);
    EXPECT_EQ(sync.pushed[1].previewWidth, 600);
    EXPECT_EQ(m.syncStatus().value(), AppModel::SyncStatus::synced(scheduler.clocks().wall.now()));
    EXPECT_EQ(events.count(QStringLiteral("sync-pushed")), 2);
}

TEST_F(AppModelTest, AFailedPushShowsTheSyncMessageAndTheRecordStaysSaved) {
    store.portable.syncEnabled = true;
    sync.pushSteps = {{1.0, CloudStoreError(CloudErrorCode::quotaExceeded)}};
    AppModel& m = makeModel();
    m.portablePreferences().modify([](PortablePreferences& p) { p.previewWidth = 444; });
    m.applyPreferences();
    settle();
    EXPECT_EQ(m.syncStatus().value(),
              AppModel::SyncStatus::failed(QStringLiteral(
                  "The disk holding the sync folder is full, so settings can’t sync. Your "
                  "change is saved here.")));
    EXPECT_EQ(m.errorMessage().value(),
              CloudStoreError(CloudErrorCode::quotaExceeded).localizedDescription());
    EXPECT_EQ(events.last(QStringLiteral("sync-push-failed"))->fields.value("errorType"),
              QStringLiteral("pellucine.CloudStoreError"));
    EXPECT_EQ(store.portable.previewWidth, 444);
}

TEST_F(AppModelTest, TurningSyncOffDropsTheWaitingPushAndKeepsTheStatusIdle) {
    store.portable.syncEnabled = true;
    sync.pushSteps = {{2.0}};
    AppModel& m = makeModel();
    m.applyPreferences();
    scheduler.runUntilIdle();
    m.applyPreferences();
    m.portablePreferences().modify([](PortablePreferences& p) { p.syncEnabled = false; });
    m.applyPreferences();
    settle();
    EXPECT_EQ(sync.started.size(), 1);
    EXPECT_EQ(m.syncStatus().value(), AppModel::SyncStatus::idle());
    EXPECT_EQ(events.count(QStringLiteral("sync-pushed")), 1);
}

TEST_F(AppModelTest, StoringAtQuitNeitherStampsNorPushes) {
    store.portable.syncEnabled = true;
    store.portable.modifiedAt = QDateTime::fromSecsSinceEpoch(1'000, Qt::UTC);
    AppModel& m = makeModel();
    scheduler.clocks().advance(seconds(60));
    m.storePreferences();
    settle();
    EXPECT_EQ(store.portable.modifiedAt, QDateTime::fromSecsSinceEpoch(1'000, Qt::UTC));
    EXPECT_EQ(store.saves, (QStringList{"portable", "machine"}));
    EXPECT_TRUE(sync.started.isEmpty());
    EXPECT_EQ(m.syncStatus().value(), AppModel::SyncStatus::idle());
}

TEST_F(AppModelTest, APullKeepsTheLocalRecordUnlessTheRemoteOneIsStrictlyNewer) {
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(5'000, Qt::UTC);
    store.portable.syncEnabled = true;
    store.portable.modifiedAt = stamp;
    PortablePreferences remote = store.portable;
    remote.previewWidth = 100;  // Not normalised here: taken as the sync service returns it.
    sync.remote = remote;
    AppModel& m = makeModel();
    int announced = 0;
    auto subscription = m.portablePreferences().subscribe([&](const auto&) { ++announced; });

    run(m.pullSyncedPreferences());
    EXPECT_EQ(m.portablePreferences().value().previewWidth,
              PortablePreferences::defaultPreviewWidth);
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(store.saves, QStringList{"portable"});
    EXPECT_EQ(m.syncStatus().value(), AppModel::SyncStatus::synced(scheduler.clocks().wall.now()));

    sync.remote->modifiedAt = stamp.addMSecs(1);
    run(m.pullSyncedPreferences());
    EXPECT_EQ(m.portablePreferences().value(), *sync.remote);
    EXPECT_EQ(events.count(QStringLiteral("sync-pulled")), 2);
    EXPECT_TRUE(sync.started.isEmpty());
}

TEST_F(AppModelTest, APullComparesWithTheLocalRecordAsItIsWhenThePullReturns) {
    store.portable.syncEnabled = true;
    store.portable.modifiedAt = scheduler.clocks().wall.now();
    sync.pullSteps = {{2.0}};
    PortablePreferences remote = store.portable;
    remote.modifiedAt = scheduler.clocks().wall.now().addSecs(1);
    remote.previewWidth = 700;
    sync.remote = remote;
    AppModel& m = makeModel();

    auto pulling = follow(m.pullSyncedPreferences());
    scheduler.advance(1.5);
    m.portablePreferences().modify([](PortablePreferences& p) { p.previewWidth = 380; });
    m.applyPreferences();
    settle();
    ASSERT_TRUE(pulling->succeeded());
    EXPECT_EQ(m.portablePreferences().value().previewWidth, 380);
}

TEST_F(AppModelTest, APullWithSyncOffOrNoRecordChangesNoPreference) {
    sync.pushSteps = {{0, CloudStoreError(CloudErrorCode::notAuthenticated)}};
    store.portable.syncEnabled = true;
    AppModel& m = makeModel();
    m.applyPreferences();
    settle();
    const AppModel::SyncStatus failed = m.syncStatus().value();
    ASSERT_EQ(failed.statusCase(), AppModel::SyncStatus::Case::failed);

    m.portablePreferences().modify([](PortablePreferences& p) { p.syncEnabled = false; });
    events.clear();
    store.saves.clear();
    run(m.pullSyncedPreferences());
    EXPECT_EQ(m.syncStatus().value(), failed);
    EXPECT_EQ(sync.pullCount, 0);
    EXPECT_TRUE(events.events().empty());

    m.portablePreferences().modify([](PortablePreferences& p) { p.syncEnabled = true; });
    const PortablePreferences before = m.portablePreferences().value();
    run(m.pullSyncedPreferences());
    EXPECT_EQ(m.portablePreferences().value(), before);
    EXPECT_TRUE(store.saves.isEmpty());
    EXPECT_EQ(m.syncStatus().value().statusCase(), AppModel::SyncStatus::Case::synced);
    EXPECT_EQ(events.names(), QStringList{"sync-pulled"});
}

TEST_F(AppModelTest, AFailedPullKeepsTheLocalRecord) {
    store.portable.syncEnabled = true;
    sync.pullSteps = {{0, CloudStoreError(CloudErrorCode::accountTemporarilyUnavailable)}};
    PortablePreferences remote = store.portable;
    remote.modifiedAt = remote.modifiedAt.addYears(1);
    sync.remote = remote;
    AppModel& m = makeModel();
    const PortablePreferences before = m.portablePreferences().value();
    run(m.pullSyncedPreferences());
    EXPECT_EQ(m.portablePreferences().value(), before);
    EXPECT_EQ(m.syncStatus().value().message(),
              QStringLiteral("Sync folder not found. Your change is saved here and will sync once "
                             "the folder is back."));
    EXPECT_EQ(events.last(QStringLiteral("sync-pull-failed"))->fields.value("errorType"),
              QStringLiteral("pellucine.CloudStoreError"));
    EXPECT_TRUE(m.errorMessage().value().has_value());
}

TEST(SyncStatusTest, TextsForTheSettingsPage) {
    const QLocale british(QLocale::English, QLocale::UnitedKingdom);
    const QTimeZone utc(QTimeZone::utc());
    const QDateTime at(QDate(2026, 3, 1), QTime(9, 5, 42), Qt::UTC);
    EXPECT_EQ(AppModel::SyncStatus::synced(at).text(british, utc), QStringLiteral("Synced 09:05"));
    EXPECT_EQ(AppModel::SyncStatus::synced(at).text(british, QTimeZone(3600)),
              QStringLiteral("Synced 10:05"));
    EXPECT_EQ(AppModel::SyncStatus::synced(at, true).text(british, utc),
              QStringLiteral("Synced 09:05, with another computer’s newer settings"));
    EXPECT_EQ(AppModel::SyncStatus::syncing().text(british, utc), QStringLiteral("Syncing…"));
    EXPECT_EQ(AppModel::SyncStatus::failed(QStringLiteral("No")).text(british, utc),
              QStringLiteral("No"));
    EXPECT_TRUE(AppModel::SyncStatus::idle().text(british, utc).isEmpty());
}

}  // namespace
}  // namespace pellucine
