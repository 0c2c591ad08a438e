#include <gtest/gtest.h>

#include "CoordinatorFixture.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using testing::CoordinatorFixture;

class CoordinatorLifecycleTest : public CoordinatorFixture {
  protected:
    // A Command-Tab glance up, with the switcher tracked and Command polled under secure entry.
    void startBusyCycle() {
        desktop.simulatedKeyboard().setSecureEventInput(true);
        makeCoordinator();
        refreshModel();
        keyDown(command);
        showStrip(1);
        coordinator->commandTabStep(false);
    }
    // What the coordinator holds of the desktop: the shortcut monitor's key tap, the Dock
    // monitor's pointer monitor and the window monitor's observers.
    int keyTaps() { return desktop.simulatedKeyboard().tapCount(); }
    int pointerMonitors() { return desktop.simulatedPointer().monitorCount(); }
    int windowObservers() const { return desktop.observerCount(); }
    QStringList namesAmong(const QStringList& wanted) const {
        QStringList out;
        for (const QString& name : events.names()) {
            if (wanted.contains(name)) {
                out << name;
            }
        }
        return out;
    }
};

TEST_F(CoordinatorLifecycleTest, BothPermissionsAtCreationStartTheTapAndMonitorsBeforeStart) {
    makeCoordinator(false);
    EXPECT_EQ(keyTaps(), 1);
    EXPECT_GT(windowObservers(), 0);
    EXPECT_EQ(pointerMonitors(), 1);
    EXPECT_EQ(desktop.simulatedDockRequests().requestCount(), 0)
        << "the Dock is asked for on start";
}

TEST_F(CoordinatorLifecycleTest, GrantingTheSecondPermissionRewiresThenPullsRefreshesAndPreloads) {
    store.portable.syncEnabled = true;
    desktop.simulatedPermissions().setScreenCapture(SimulatedPermission::denied);
    makeCoordinator();
    EXPECT_EQ(keyTaps(), 0);
    EXPECT_EQ(windowObservers(), 0);
    EXPECT_EQ(pointerMonitors(), 0);
    scheduler.advance(1.0);
    events.clear();

    desktop.simulatedPermissions().setScreenCapture(SimulatedPermission::granted);
    model->permissions().refresh(QStringLiteral("timer"));
    scheduler.advance(1.0);
    EXPECT_EQ(keyTaps(), 1);
    EXPECT_EQ(pointerMonitors(), 1);
    EXPECT_EQ(namesAmong({"shortcut-monitor-started", "dock-hover-monitor-started", "sync-pulled",
                          "windows-refreshed", "previews-warmed"}),
              (QStringList{"shortcut-monitor-started", "dock-hover-monitor-started", "sync-pulled",
                           "windows-refreshed", "previews-warmed"}));
    // The same pair stored again changes nothing.
    events.clear();
    model->permissions().refresh(QStringLiteral("timer"));
    scheduler.advance(1.0);
    EXPECT_EQ(events.count(QStringLiteral("shortcut-monitor-started")), 0);
}

TEST_F(CoordinatorLifecycleTest, OnlyTheDockPairAndTheSearchSettingRewire) {
    makeCoordinator();
    events.clear();
    search->setNextRegistrationProblem(QStringLiteral("Used by Spotlight"));
    model->portablePreferences().modify([](auto& p) { p.previewWidth = 500; });
    model->machinePreferences().set(MachinePreferences(model->machinePreferences().value()));
    scheduler.runUntilIdle();
    EXPECT_EQ(events.count(QStringLiteral("shortcut-monitor-started")), 0);
    EXPECT_EQ(search->registerCount(), 1);

    model->machinePreferences().modify([](auto& m) { m.windowSearchHotkey.keyCode = 3; });
    model->portablePreferences().modify([](auto& p) { p.dockHoverDelayMilliseconds = 700; });
    scheduler.runUntilIdle();
    EXPECT_EQ(search->registerCount(), 2);
    EXPECT_EQ(model->windowSearchHotkeyProblem().value(), QStringLiteral("Used by Spotlight"));
    EXPECT_EQ(events.count(QStringLiteral("dock-hover-monitor-started")), 1);
    // Rewired with the new delay.
    showDockItems();
    const GlobalRect notesItem = dockItemFrame(1);
    pointAt({notesItem.midX(), notesItem.midY()});
    scheduler.advance(0.699);
    EXPECT_TRUE(panel == nullptr || !panel->isPanelVisible());
    scheduler.advance(0.001);
    EXPECT_EQ(glanceOnScreen(), GlanceSource::dockHover);

    const SimulatedDockRequests& dockRequests = desktop.simulatedDockRequests();
    EXPECT_TRUE(dockRequests.isWanted());
    const int requests = dockRequests.requestCount();
    model->portablePreferences().modify([](auto& p) { p.enableDockHoverPreviews = false; });
    model->portablePreferences().modify([](auto& p) { p.previewWidth = 400; });
    scheduler.runUntilIdle();
    EXPECT_EQ(pointerMonitors(), 0);
    EXPECT_EQ(keyTaps(), 1);
    EXPECT_FALSE(dockRequests.isWanted());
    EXPECT_EQ(dockRequests.requestCount(), requests + 1);

    model->portablePreferences().modify([](auto& p) { p.enableDockHoverPreviews = true; });
    scheduler.runUntilIdle();
    EXPECT_TRUE(dockRequests.isWanted());
    coordinator->stop();
    EXPECT_FALSE(dockRequests.isWanted()) << "a stopped coordinator previews nothing on a Dock";
}

TEST_F(CoordinatorLifecycleTest, RewiringTheDockMonitorEndsTheDockGlanceItCanNoLongerClose) {
    makeCoordinator();
    coordinator->dockHoverChanged({notes, {650, 40}});
    scheduler.runUntilIdle();
    ASSERT_TRUE(panel->isPanelVisible());
    model->portablePreferences().modify([](auto& p) { p.dockHoverDelayMilliseconds = 500; });
    scheduler.runUntilIdle();
    EXPECT_FALSE(panel->isPanelVisible());
    const int hides = panel->hideCount();
    coordinator->dockHoverEnded();
    EXPECT_EQ(panel->hideCount(), hides) << "the glance is over: the Dock's exit ends nothing";
}

TEST_F(CoordinatorLifecycleTest, StopTearsEverythingDownOnceAndNothingFiresAfterwards) {
    startBusyCycle();
    scheduler.runUntilIdle();
    ASSERT_TRUE(panel->isPanelVisible());
    ASSERT_EQ(events.count(QStringLiteral("secure-input-on")), 1) << "Command is polled";

    coordinator->stop();
    const int hides = panel->hideCount();
    coordinator->stop();
    EXPECT_EQ(panel->hideCount(), hides);
    EXPECT_FALSE(panel->isPanelVisible());
    EXPECT_EQ(keyTaps(), 0);
    EXPECT_EQ(pointerMonitors(), 0);
    EXPECT_EQ(windowObservers(), 0);
    scheduler.advance(60.0);
    EXPECT_FALSE(scheduler.nextDeadline()) << "a timer or task outlived stop";

    // Nothing the coordinator subscribed to reaches it any more.
    events.clear();
    const int registrations = search->registerCount();
    const int dockRequests = desktop.simulatedDockRequests().requestCount();
    model->machinePreferences().modify([](auto& m) { m.windowSearchHotkey.keyCode = 3; });
    model->portablePreferences().modify([](auto& p) {
        p.dockHoverDelayMilliseconds = 900;
        p.enableDockHoverPreviews = false;
    });
    desktop.simulatedPermissions().setScreenCapture(SimulatedPermission::denied);
    model->permissions().refresh(QStringLiteral("timer"));
    addApp(20, QStringLiteral("Late"));
    scheduler.advance(5.0);
    EXPECT_EQ(
        namesAmong({"shortcut-monitor-started", "dock-hover-monitor-started",
                    "window-lifecycle-monitor-started", "windows-refreshed", "secure-input-off"}),
        QStringList{});
    EXPECT_EQ(search->registerCount(), registrations);
    EXPECT_EQ(desktop.simulatedDockRequests().requestCount(), dockRequests);
}

TEST_F(CoordinatorLifecycleTest, TheGlancePanelIsPreparedOnceAfterTheStartAndNeverAfterStop) {
    makeCoordinator();
    scheduler.advance(AppCoordinator::panelPreparationDelay / 2);
    EXPECT_EQ(panel, nullptr) << "prepared before its delay";
    scheduler.advance(AppCoordinator::panelPreparationDelay);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->prepareCount(), 1);
    EXPECT_TRUE(panel->shows().empty()) << "preparing showed the panel";
    scheduler.advance(60.0);
    EXPECT_EQ(panel->prepareCount(), 1);

    coordinator.reset();
    makeCoordinator();
    coordinator->stop();
    scheduler.advance(60.0);
    EXPECT_EQ(panel, nullptr) << "prepared after stop";
}

TEST_F(CoordinatorLifecycleTest, AtRestOnlyADesktopWithSecureEntryWakesTheCoordinator) {
    struct Row {
        const char* name;
        bool hasSecureEntry;
        bool wakes;
    };
    const Row rows[] = {
        {"secure entry, read every few seconds", true, true},
        {"no secure entry, nothing to read", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        coordinator.reset();
        desktop.simulatedKeyboard().setHasSecureEventInput(row.hasSecureEntry);
        makeCoordinator();
        refreshModel();
        scheduler.advance(5.0);
        EXPECT_EQ(scheduler.advance(60.0) > 0, row.wakes);
    }
}

TEST_F(CoordinatorLifecycleTest, PanelCallbacksActOnTheGlanceThatIsUp) {
    // Only the actions' own refreshes count here, not those of the window events they cause.
    desktop.setObserverCreationFails(notes, true);
    makeCoordinator();
    refreshModel();
    const WindowDescriptor notesWindow = model->applications().value()[1].windows.first();
    scheduler.advance(AppCoordinator::panelPreparationDelay);
    ASSERT_NE(panel, nullptr);
    ASSERT_FALSE(panel->isPanelVisible());
    panel->select(notesWindow);
    EXPECT_TRUE(desktop.requests().filter(QStringLiteral("AXRaise")).isEmpty())
        << "a click on a hidden panel does nothing";

    coordinator->dockHoverChanged({notes, {650, 40}});
    scheduler.runUntilIdle();
    ASSERT_TRUE(panel->isPanelVisible());
    const int refreshes = events.count(QStringLiteral("windows-refreshed"));
    panel->actOnApplication(ApplicationAction::minimizeAll, notes);
    scheduler.advance(0.159);
    EXPECT_EQ(events.count(QStringLiteral("windows-refreshed")), refreshes);
    scheduler.advance(0.001);
    EXPECT_EQ(events.count(QStringLiteral("windows-refreshed")), refreshes + 1);

    // A failing window is reported and the next one is still tried.
    desktop.setApplicationUnresponsive(notes, true);
    panel->actOnApplication(ApplicationAction::closeAll, notes);
    EXPECT_EQ(events.count(QStringLiteral("window-action-failed")), 2);
    EXPECT_EQ(events.last(QStringLiteral("window-action-failed"))->fields,
              (EventFields{{"reason", "close"}}));
    EXPECT_TRUE(model->errorMessage().value());
    desktop.setApplicationUnresponsive(notes, false);
    scheduler.advance(0.45);
    EXPECT_EQ(events.count(QStringLiteral("windows-refreshed")), refreshes + 2);
    panel->actOnApplication(ApplicationAction::hide, 999);

    panel->select(model->switcherSelection().value().windows.first());
    EXPECT_FALSE(panel->isPanelVisible());
    EXPECT_FALSE(desktop.requests().filter(QStringLiteral("AXRaise")).isEmpty());
}

TEST_F(CoordinatorLifecycleTest, WindowSearchOpensInFrontOfTheGlanceByEndingIt) {
    makeCoordinator();
    coordinator->dockHoverChanged({notes, {650, 40}});
    scheduler.runUntilIdle();
    ASSERT_TRUE(panel->isPanelVisible());
    // The search hotkey, as the search panel reports its opening.
    search->show();
    EXPECT_FALSE(panel->isPanelVisible());
    EXPECT_EQ(search->showCount(), 1);
}

TEST_F(CoordinatorLifecycleTest, RestoreAllBringsBackWindowsMovedWhileMinimized) {
    windowsOf[notes].append(addWindow(notes, {200, 200, 400, 300}));
    makeCoordinator();
    coordinator->dockHoverChanged({notes, {650, 40}});
    scheduler.runUntilIdle();
    ASSERT_TRUE(panel->isPanelVisible());
    panel->actOnApplication(ApplicationAction::minimizeAll, notes);
    refreshModel();
    // The window manager moves minimized frames out of sight after the glance has read them, so
    // each window is read again with a frame of its own.
    double offset = 0;
    for (const quint32 window : windowsOf[notes]) {
        ASSERT_TRUE(desktop.window(window)->isMinimized);
        desktop.moveWindow(window, {360 + offset, 950 + offset});
        offset += 3;
    }
    panel->actOnApplication(ApplicationAction::restoreAll, notes);
    for (const quint32 window : windowsOf[notes]) {
        EXPECT_FALSE(desktop.window(window)->isMinimized) << window;
    }
    EXPECT_EQ(events.count(QStringLiteral("window-action-failed")), 0);
}

TEST_F(CoordinatorLifecycleTest, NothingTouchesADestroyedCoordinator) {
    startBusyCycle();
    coordinator->showWindows(maps);
    coordinator->windowActivity(notes, true);
    coordinator.reset();
    panelCallbacks.onSelect({});
    panelCallbacks.onApplicationAction(ApplicationAction::closeAll, notes);
    desktop.activate(notes, {});
    keyUp(command);
    scheduler.advance(30.0);
    EXPECT_FALSE(scheduler.nextDeadline());
}

}  // namespace
}  // namespace pellucine
