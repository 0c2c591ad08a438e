#include <gtest/gtest.h>

#include "CoordinatorFixture.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using testing::CoordinatorFixture;

class InventoryTest : public CoordinatorFixture {
  protected:
    int refreshes() const { return events.count(QStringLiteral("windows-refreshed")); }
    int warmUps() const { return events.count(QStringLiteral("previews-warmed")); }
};

TEST_F(InventoryTest, WindowEventsRefreshAtOnceOnlyAGlanceOnScreenOutsideACycle) {
    desktop.setDisplays({{1, {0, 0, 1440, 900}, {0, 25, 1440, 805}}});
    desktop.simulatedPointer().moveTo({700, 400});
    // No activity refreshes: only those of the glance count here.
    store.portable.keepPreviewsReady = false;
    makeCoordinator();
    const int before = refreshes();
    desktop.moveWindow(windowsOf[maps].first(), {200, 200});
    scheduler.advance(1.0);
    EXPECT_EQ(refreshes(), before);
    // The list is stale: a Tab that follows the cycle's first before it has listed lists again.
    coordinator->commandTabStep(false);
    coordinator->commandTabStep(false);
    scheduler.runUntilIdle();
    EXPECT_EQ(refreshes(), before + 2);

    coordinator->commandTabStep(false);
    scheduler.runUntilIdle();
    EXPECT_EQ(refreshes(), before + 2) << "listed, and nothing changed since";
    desktop.moveWindow(windowsOf[notes].first(), {300, 200});
    scheduler.advance(1.0);
    EXPECT_EQ(refreshes(), before + 2) << "the next Tab refreshes";
    coordinator->commandTabStep(false);
    scheduler.runUntilIdle();
    EXPECT_EQ(refreshes(), before + 3);

    coordinator->commandReleased();
    coordinator->dockHoverChanged({notes, {650, 40}});
    scheduler.runUntilIdle();
    desktop.moveWindow(windowsOf[notes].first(), {320, 200});
    scheduler.advance(1.0);
    EXPECT_EQ(refreshes(), before + 5);
    // Listed at once, the list is fresh: only the next cycle's first Tab lists.
    coordinator->dockHoverEnded();
    coordinator->commandTabStep(false);
    coordinator->commandTabStep(false);
    scheduler.runUntilIdle();
    EXPECT_EQ(refreshes(), before + 6);
}

TEST_F(InventoryTest, ActivityIsDebouncedPerApplicationAndTitleChangesThrottled) {
    addWindow(notes, {500, 500, 300, 200});
    makeCoordinator();
    scheduler.advance(6.0);
    const int before = refreshes();
    coordinator->windowActivity(notes, true);
    coordinator->windowActivity(maps, false);
    scheduler.advance(0.5);
    coordinator->windowActivity(notes, false);
    coordinator->windowActivity(ownPID, false);
    scheduler.advance(0.899);
    EXPECT_EQ(refreshes(), before + 1) << "Maps's own refresh; Notes's was put off";
    scheduler.advance(0.001);
    EXPECT_EQ(refreshes(), before + 2);
    EXPECT_EQ(events.last(QStringLiteral("previews-warmed"))->fields.value("requestedCount"),
              QStringLiteral("2"))
        << "the two most recently focused of three";
    coordinator->windowActivity(notes, true);
    scheduler.advance(10.0);
    EXPECT_EQ(refreshes(), before + 2) << "a title change within 30 s of the last";
    EXPECT_EQ(coordinator->activityTaskCount(), 0);
}

TEST_F(InventoryTest, TitleChangesOfProcessesLongGoneLeaveNoStampBehind) {
    makeCoordinator();
    scheduler.advance(6.0);
    // Windows of no known process each stand for a process of their own, then vanish.
    for (qint32 standIn = 0; standIn < 200; ++standIn) {
        coordinator->windowActivity(0x40000000 | standIn, true);
    }
    EXPECT_EQ(coordinator->titleActivityCount(), 200);
    scheduler.advance(29.9);
    coordinator->windowActivity(notes, true);
    EXPECT_EQ(coordinator->titleActivityCount(), 201) << "still within the interval";
    scheduler.advance(0.1);
    coordinator->windowActivity(maps, true);
    EXPECT_EQ(coordinator->titleActivityCount(), 2);
    // The throttle itself is kept: Notes again within 30 s of its stamp is put off.
    scheduler.advance(2.0);
    const int before = refreshes();
    coordinator->windowActivity(notes, true);
    scheduler.advance(2.0);
    EXPECT_EQ(refreshes(), before);
}

TEST_F(InventoryTest, ActivationsWarmTheApplicationAndTheOnePreviousUnlessPreviewsAreNotKept) {
    makeCoordinator();
    scheduler.advance(1.0);
    const int warmed = warmUps();
    // The pictures preloaded at start are old enough to be taken again.
    scheduler.advance(61.0);
    desktop.activate(notes, {});
    scheduler.advance(1.0);
    EXPECT_EQ(search->recency(), (QList<qint32>{notes, mail}));
    EXPECT_EQ(warmUps(), warmed + 1);
    EXPECT_EQ(events.last(QStringLiteral("previews-warmed"))->fields.value("requestedCount"),
              QStringLiteral("3"))
        << "both windows of Notes and Mail's";

    model->portablePreferences().modify([](auto& p) { p.keepPreviewsReady = false; });
    const int refreshed = refreshes();
    desktop.activate(maps, {});
    scheduler.advance(1.0);
    EXPECT_EQ(search->recency(), (QList<qint32>{maps, notes, mail}));
    EXPECT_EQ(refreshes(), refreshed + 1);
    EXPECT_EQ(warmUps(), warmed + 1);

    desktop.removeApplication(notes);
    scheduler.runUntilIdle();
    EXPECT_EQ(search->recency(), (QList<qint32>{maps, mail}));
}

TEST_F(InventoryTest, ABurstOfWorkspaceNoticesListsTheWindowsAtMostTwice) {
    makeModel(&scripted);
    makeCoordinator();
    scripted.snapshots.assign(10, {{}, 0.3});
    const int before = refreshes();
    for (int i = 0; i < 50; ++i) {
        addApp(100 + i);
    }
    scheduler.advance(1.0);
    EXPECT_EQ(refreshes(), before + 1);

    // Notices keep arriving while a listing runs: they share the one that follows it.
    for (int i = 0; i < 50; ++i) {
        desktop.removeApplication(100 + i);
        scheduler.advance(0.005);
    }
    scheduler.advance(2.0);
    EXPECT_EQ(refreshes(), before + 3);
}

}  // namespace
}  // namespace pellucine
