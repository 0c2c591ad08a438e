#include "DesktopFixture.h"
#include "core/WindowLifecycleMonitor.h"

namespace pellucine {
namespace {

class WindowLifecycleMonitorTest : public testing::DesktopFixture {
  protected:
    WindowLifecycleMonitorTest() {
        addApp(20);
        window = addWindow(20, {100, 100, 400, 300});
        monitor = std::make_unique<WindowLifecycleMonitor>(desktop, scheduler, events);
        monitor->setOnChange([this] { ++changes; });
        monitor->setOnActivity(
            [this](qint32 pid, bool titleChanged) { activity.emplace_back(pid, titleChanged); });
    }

    // Lets every notification already sent reach the monitor.
    void settle() { scheduler.runUntilIdle(); }

    void nudge(double dx = 1) {
        const GlobalRect f = desktop.window(window)->frame;
        desktop.moveWindow(window, {f.x + dx, f.y});
        settle();
    }

    quint32 window = 0;
    std::unique_ptr<WindowLifecycleMonitor> monitor;
    int changes = 0;
    std::vector<std::pair<qint32, bool>> activity;
};

TEST_F(WindowLifecycleMonitorTest, TheFirstChangeIsDeliveredAfterTheShortestWait) {
    monitor->start();
    scheduler.advance(5.0);
    nudge();
    scheduler.advance(0.089);
    EXPECT_EQ(changes, 0);
    scheduler.advance(0.001);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(monitor->hasPendingDelivery());
}

TEST_F(WindowLifecycleMonitorTest, DeliveriesAreAtLeastFourTenthsOfASecondApart) {
    monitor->start();
    nudge();
    scheduler.advance(0.09);
    ASSERT_EQ(changes, 1);

    scheduler.advance(0.1);
    nudge();
    scheduler.advance(0.299);
    EXPECT_EQ(changes, 1);
    scheduler.advance(0.001);
    EXPECT_EQ(changes, 2);

    // Long after the last delivery the shortest wait applies again.
    scheduler.advance(0.5);
    nudge();
    scheduler.advance(0.089);
    EXPECT_EQ(changes, 2);
    scheduler.advance(0.001);
    EXPECT_EQ(changes, 3);
}

TEST_F(WindowLifecycleMonitorTest, ABurstGivesActivityForEachAndOneChange) {
    monitor->start();
    for (int i = 0; i < 10; ++i) {
        nudge();
        scheduler.advance(0.005);
    }
    scheduler.advance(1.0);
    EXPECT_EQ(activity.size(), 10u);
    EXPECT_EQ(changes, 1);
}

TEST_F(WindowLifecycleMonitorTest, OnlyFocusTitleSizeAndPositionAreActivity) {
    monitor->start();
    desktop.retitleWindow(window, QStringLiteral("New"));
    settle();
    nudge();
    desktop.resizeWindow(window, {500, 300});
    settle();
    desktop.focusWindow(window);
    settle();
    EXPECT_EQ(activity, (std::vector<std::pair<qint32, bool>>{
                            {20, true}, {20, false}, {20, false}, {20, false}}));

    activity.clear();
    scheduler.advance(1.0);
    const int before = changes;
    const quint32 second = addWindow(20, {600, 100, 400, 300});
    desktop.setWindowMinimized(window, true);
    desktop.setWindowMinimized(window, false);
    desktop.removeWindow(window);
    settle();
    EXPECT_TRUE(activity.empty());
    scheduler.advance(1.0);
    EXPECT_EQ(changes, before + 1);

    // The window created after the start is followed too.
    desktop.moveWindow(second, {0, 0});
    settle();
    EXPECT_EQ(activity, (std::vector<std::pair<qint32, bool>>{{20, false}}));
}

TEST_F(WindowLifecycleMonitorTest, AnElementWithoutAProcessStillCountsAsAChange) {
    monitor->start();
    desktop.setProcessIdentifierUnreadable(20, true);
    const quint32 created = addWindow(20, {600, 100, 400, 300});
    nudge();
    scheduler.advance(1.0);
    EXPECT_TRUE(activity.empty());
    EXPECT_EQ(changes, 1);

    // Its window was never registered.
    desktop.setProcessIdentifierUnreadable(20, false);
    desktop.moveWindow(created, {0, 0});
    scheduler.advance(1.0);
    EXPECT_TRUE(activity.empty());
    EXPECT_EQ(changes, 1);
}

TEST_F(WindowLifecycleMonitorTest, StopDropsThePendingChange) {
    monitor->start();
    nudge();
    ASSERT_TRUE(monitor->hasPendingDelivery());
    monitor->stop();
    EXPECT_EQ(desktop.observerCount(), 0);
    nudge();
    scheduler.advance(1.0);
    EXPECT_EQ(changes, 0);
}

TEST_F(WindowLifecycleMonitorTest, StopDropsNotificationsAlreadyOnTheirWay) {
    monitor->start();
    const GlobalRect f = desktop.window(window)->frame;
    // The observer hands the move on to a later turn; the monitor stops before that turn.
    desktop.moveWindow(window, {f.x + 1, f.y});
    scheduler.post([this] { monitor->stop(); });
    scheduler.advance(1.0);
    EXPECT_TRUE(activity.empty());
    EXPECT_EQ(changes, 0);

    // An activity handler that stops the monitor leaves no change signal behind.
    monitor->setOnActivity([this](qint32, bool) { monitor->stop(); });
    monitor->start();
    nudge();
    EXPECT_FALSE(monitor->hasPendingDelivery());
    scheduler.advance(1.0);
    EXPECT_EQ(changes, 0);
}

TEST_F(WindowLifecycleMonitorTest, StartObservesOnlyRegularApplicationsItCanObserve) {
    addApp(30);
    desktop.setObserverCreationFails(30, true);
    addApp(40, "Agent", ActivationPolicy::accessory);
    addApp(ownPID, "Self");
    RunningApplication quitting;
    quitting.processIdentifier = 50;
    quitting.isTerminated = true;
    desktop.addApplication(quitting);
    addApp(0, "Kernel");
    addApp(60);
    monitor->start();
    EXPECT_EQ(events.last(QStringLiteral("window-lifecycle-monitor-started"))
                  ->fields.value(QStringLiteral("applicationCount")),
              QStringLiteral("2"));
    EXPECT_EQ(desktop.observerCount(), 2);
    EXPECT_TRUE(desktop.timeoutsSet().contains(QStringLiteral("application 20: 0.15 s")));
    EXPECT_TRUE(desktop.timeoutsSet().contains(QStringLiteral("application 60: 0.15 s")));

    // Starting again replaces the observers rather than adding to them.
    monitor->start();
    EXPECT_EQ(desktop.observerCount(), 2);
    nudge();
    EXPECT_EQ(activity.size(), 1u);
}

TEST_F(WindowLifecycleMonitorTest, StartWithoutTrustOnlyRemovesObservers) {
    monitor->start();
    desktop.setTrusted(false);
    monitor->start();
    EXPECT_EQ(monitor->observedApplicationCount(), 0u);
    EXPECT_EQ(desktop.observerCount(), 0);
    EXPECT_EQ(events.count(QStringLiteral("window-lifecycle-monitor-started")), 1);
}

TEST_F(WindowLifecycleMonitorTest, RestartingKeepsAPendingChangeOnTime) {
    monitor->start();
    nudge();
    scheduler.advance(0.05);
    monitor->start();
    EXPECT_TRUE(monitor->hasPendingDelivery());
    scheduler.advance(0.039);
    EXPECT_EQ(changes, 0);
    scheduler.advance(0.001);
    EXPECT_EQ(changes, 1);
}

TEST_F(WindowLifecycleMonitorTest, NothingReachesADestroyedMonitor) {
    monitor->start();
    nudge();  // a change signal is pending
    // The monitor goes after the observer delivered a move but before it handled it, and
    // before a title change is delivered.
    desktop.moveWindow(window, {0, 0});
    scheduler.post([this] { monitor.reset(); });
    desktop.retitleWindow(window, QStringLiteral("Late"));
    scheduler.advance(2.0);
    EXPECT_EQ(desktop.observerCount(), 0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(activity.size(), 1u);
}

TEST_F(WindowLifecycleMonitorTest, ACallbackMayDestroyTheMonitor) {
    monitor->setOnActivity([this](qint32, bool) { monitor.reset(); });
    monitor->start();
    nudge();
    EXPECT_EQ(monitor, nullptr);
    scheduler.advance(1.0);
    EXPECT_EQ(changes, 0);
}

TEST_F(WindowLifecycleMonitorTest, ACallbackMayRestartTheMonitor) {
    monitor->setOnChange([this] {
        ++changes;
        monitor->start();
    });
    monitor->start();
    nudge();
    scheduler.advance(0.09);
    EXPECT_EQ(changes, 1);
    nudge();
    scheduler.advance(0.4);
    EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace pellucine
