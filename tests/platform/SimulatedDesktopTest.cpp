#include <gtest/gtest.h>

#include "base/ManualScheduler.h"
#include "platform/AccessibilityNames.h"
#include "platform/SystemDock.h"
#include "platform/sim/SimulatedDesktop.h"
#include "platform/sim/SimulatedSystemDock.h"

namespace pellucine {
namespace {

class SimulatedDesktopTest : public ::testing::Test {
  protected:
    SimulatedDesktopTest() {
        RunningApplication app;
        app.processIdentifier = 20;
        desktop.addApplication(app);
        app.processIdentifier = 30;
        desktop.addApplication(app);
        scheduler.runUntilIdle();
    }

    quint32 addWindow(qint32 pid, GlobalRect frame) {
        SimulatedWindow w;
        w.ownerPID = pid;
        w.frame = frame;
        return desktop.addWindow(w);
    }

    ElementRef windowElement(qint32 pid, qsizetype index) {
        return desktop.applicationElement(pid)
            ->attribute(ax::windows)
            .value()
            ->toElements()
            ->at(index);
    }

    ManualScheduler scheduler;
    SimulatedDesktop desktop{scheduler};
};

TEST_F(SimulatedDesktopTest, ObserversDeliverOnlyWhileStartedAndNeverInsideARequest) {
    const quint32 n = addWindow(20, {0, 0, 200, 200});
    QStringList seen;
    auto observer = desktop.createObserver(20, [&](const ElementRef& e, const QString& name) {
        seen << name + QStringLiteral(" %1").arg(*e->windowNumber());
    });
    ASSERT_NE(observer, nullptr);
    EXPECT_EQ(observer->addNotification(windowElement(20, 0), ax::moved),
              AccessibilityStatus::success);
    EXPECT_EQ(observer->addNotification(desktop.applicationElement(20), ax::windowCreated),
              AccessibilityStatus::success);
    // An element of another application cannot be observed here.
    EXPECT_EQ(observer->addNotification(desktop.applicationElement(30), ax::windowCreated),
              AccessibilityStatus::failure);

    desktop.moveWindow(n, {5, 5});
    scheduler.runUntilIdle();
    EXPECT_TRUE(seen.isEmpty());

    observer->start();
    windowElement(20, 0)->setAttribute(ax::position, GlobalPoint{9, 9});
    EXPECT_TRUE(seen.isEmpty());
    scheduler.runUntilIdle();
    EXPECT_EQ(seen, QStringList{QStringLiteral("AXMoved %1").arg(n)});

    const quint32 created = addWindow(20, {0, 0, 200, 200});
    desktop.resizeWindow(n, {300, 300});  // not registered
    addWindow(30, {0, 0, 200, 200});      // another application
    scheduler.runUntilIdle();
    EXPECT_EQ(seen.last(), QStringLiteral("AXWindowCreated %1").arg(created));
    EXPECT_EQ(seen.size(), 2);

    // Sent before the stop, delivered after it: dropped.
    desktop.moveWindow(n, {1, 1});
    observer->stop();
    scheduler.runUntilIdle();
    observer->start();
    desktop.moveWindow(n, {2, 2});
    observer.reset();
    scheduler.runUntilIdle();
    EXPECT_EQ(seen.size(), 2);
}

TEST_F(SimulatedDesktopTest, AHungApplicationCostsItsHandlesTimeOut) {
    addWindow(20, {0, 0, 200, 200});
    desktop.setApplicationUnresponsive(20, true);
    ElementRef app = desktop.applicationElement(20);
    EXPECT_EQ(app->attribute(ax::windows).status(), AccessibilityStatus::cannotComplete);
    EXPECT_EQ(desktop.stalledTime(), std::chrono::seconds(6));
    desktop.setGlobalMessagingTimeout(seconds(0.5));
    app->attribute(ax::windows);
    EXPECT_EQ(desktop.stalledTime(), seconds(6.5));
    app->setMessagingTimeout(seconds(0.25));
    app->setAttribute(ax::frontmost, true);
    EXPECT_EQ(desktop.stalledTime(), seconds(6.75));
    // A fresh handle has no time-out of its own.
    desktop.applicationElement(20)->performAction(ax::raise);
    EXPECT_EQ(desktop.stalledTime(), seconds(7.25));
}

TEST_F(SimulatedDesktopTest, TheWindowListReportsWhatIsOnScreen) {
    const quint32 minimized = addWindow(20, {0, 0, 200, 200});
    desktop.setWindowMinimized(minimized, true);
    const quint32 hidden = addWindow(30, {0, 0, 200, 200});
    desktop.hide(30);
    const quint32 unlisted = addWindow(20, {0, 0, 200, 200});
    desktop.setWindowListed(unlisted, false);
    const quint32 visible = addWindow(20, {10, 10, 200, 200});
    desktop.setWindowListBounds(visible, GlobalRect{10, 0, 200, 210});
    desktop.addWindowListEntry({1, 1, -2000, GlobalRect{0, 0, 1440, 900}, false}, false);

    const QList<WindowListEntry> all = desktop.windows({});
    ASSERT_EQ(all.size(), 4);
    EXPECT_EQ(all[0].number, visible);
    EXPECT_EQ(all[0].bounds, (GlobalRect{10, 0, 200, 210}));
    EXPECT_EQ(all[0].isOnScreen, true);
    EXPECT_EQ(all[1].number, hidden);
    EXPECT_EQ(all[1].isOnScreen, false);
    EXPECT_EQ(all[2].number, minimized);
    EXPECT_EQ(all[2].isOnScreen, false);

    WindowListOptions options;
    options.excludeDesktopElements = true;
    EXPECT_EQ(desktop.windows(options).size(), 3);
    options.onScreenOnly = true;
    EXPECT_EQ(desktop.windows(options).size(), 1);
}

TEST_F(SimulatedDesktopTest, ScreensAreReportedInTheScreenSpaceOfTheMainDisplay) {
    desktop.setDisplays({
        {7u, {0, 0, 1440, 900}, {0, 25, 1440, 835}},
        {9u, {-1920, -180, 1920, 1080}, {-1920, -180, 1920, 1080}, false},
    });
    const QList<Screen> screens = desktop.screens();
    ASSERT_EQ(screens.size(), 2);
    EXPECT_EQ(screens[0].displayIdentifier, 7u);
    EXPECT_EQ(screens[0].frame, (ScreenRect{0, 0, 1440, 900}));
    EXPECT_EQ(screens[0].visibleFrame, (ScreenRect{0, 40, 1440, 835}));
    EXPECT_FALSE(screens[1].displayIdentifier.has_value());
    EXPECT_EQ(screens[1].frame, (ScreenRect{-1920, 0, 1920, 1080}));
    EXPECT_EQ(desktop.mainDisplayIdentifier(), 7u);
    EXPECT_EQ(desktop.displayBounds(9), (GlobalRect{-1920, -180, 1920, 1080}));
    EXPECT_EQ(desktop.displayBounds(8), GlobalRect{});
}

TEST_F(SimulatedDesktopTest, ActivatingWithAllWindowsRaisesThemInTheirOrder) {
    const quint32 a1 = addWindow(20, {0, 0, 200, 200});
    const quint32 b1 = addWindow(30, {0, 0, 200, 200});
    const quint32 a2 = addWindow(20, {0, 0, 200, 200});
    const quint32 b2 = addWindow(30, {0, 0, 200, 200});
    EXPECT_EQ(desktop.stackingOrder(), (QList<quint32>{b2, a2, b1, a1}));

    std::vector<WorkspaceNotice> notices;
    Subscription subscription =
        desktop.subscribe([&](const WorkspaceNotice& n) { notices.push_back(n); });
    EXPECT_TRUE(desktop.activate(20, {true}));
    EXPECT_EQ(desktop.stackingOrder(), (QList<quint32>{a2, a1, b2, b1}));
    EXPECT_TRUE(desktop.runningApplication(20)->isActive);
    EXPECT_FALSE(desktop.activate(99, {true}));
    EXPECT_TRUE(notices.empty());
    scheduler.runUntilIdle();
    EXPECT_EQ(notices, (std::vector<WorkspaceNotice>{{WorkspaceNotice::Kind::activated, 20}}));

    desktop.activate(30, {false});
    EXPECT_EQ(desktop.stackingOrder(), (QList<quint32>{b2, a2, a1, b1}));
    EXPECT_FALSE(desktop.runningApplication(20)->isActive);
    scheduler.runUntilIdle();
    EXPECT_EQ(notices.size(), 2u);

    subscription.reset();
    desktop.terminate(30);
    scheduler.runUntilIdle();
    EXPECT_EQ(notices.size(), 2u);
    EXPECT_EQ(desktop.stackingOrder(), (QList<quint32>{a2, a1}));
}

TEST(SimulatedDesktopLifetimeTest, ElementsOutlivingTheDesktopFailQuietly) {
    ManualScheduler scheduler;
    ElementRef app;
    {
        SimulatedDesktop desktop(scheduler);
        RunningApplication a;
        a.processIdentifier = 20;
        desktop.addApplication(a);
        app = desktop.applicationElement(20);
        EXPECT_TRUE(app->attribute(ax::windows).ok());
    }
    EXPECT_EQ(app->attribute(ax::windows).status(), AccessibilityStatus::failure);
    EXPECT_EQ(app->performAction(ax::raise), AccessibilityStatus::failure);
    EXPECT_FALSE(app->processIdentifier().has_value());
    scheduler.runUntilIdle();  // the launch notice finds no desktop
}

TEST(AccessibilityValueTest, OnlyBooleansAndNumbersReadAsBooleans) {
    EXPECT_EQ(AccessibilityValue(true).toBoolean(), true);
    EXPECT_EQ(AccessibilityValue(0.0).toBoolean(), false);
    EXPECT_EQ(AccessibilityValue(2.0).toBoolean(), true);
    // A string literal stays a string.
    const AccessibilityValue literal(u"AXWindow");
    EXPECT_EQ(literal.toString(), QStringLiteral("AXWindow"));
    EXPECT_FALSE(literal.toBoolean().has_value());
    EXPECT_FALSE(AccessibilityValue(ElementList{nullptr}).toElements().has_value());
    EXPECT_EQ(AccessibilityValue(ElementRef{}).toElement(), nullptr);
}

TEST(NoticeListTest, ASubscriberDroppedDuringASendHearsNothingMore) {
    NoticeList<int> list;
    std::vector<int> heard;
    Subscription second;
    Subscription first = list.add([&](int n) {
        heard.push_back(n);
        second.reset();
    });
    second = list.add([&](int n) { heard.push_back(100 + n); });
    list.send(1);
    list.send(2);
    EXPECT_EQ(heard, (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace pellucine

namespace pellucine {
namespace {

TEST(SimulatedSwitcherTest, DismissingHidesTheDocksStripOnlyWhileItIsUp) {
    ManualScheduler scheduler;
    SimulatedDesktop desktop(scheduler);
    SystemSwitcher& switcher = desktop.systemSwitcher();
    EXPECT_EQ(switcher.shellBundleIdentifier(), systemDock::bundleIdentifier.toString());
    EXPECT_FALSE(switcher.dismiss()) << "no Dock, no strip";
    {
        SimulatedSystemDock dock(desktop);
        EXPECT_FALSE(switcher.dismiss());
        dock.showSwitcher({{QStringLiteral("Mail"), std::nullopt, {0, 0, 10, 10}}}, 0,
                          {0, 0, 100, 40});
        EXPECT_TRUE(switcher.dismiss());
        EXPECT_FALSE(dock.isSwitcherShowing());
        EXPECT_FALSE(switcher.dismiss());
    }
    EXPECT_FALSE(switcher.dismiss()) << "a Dock that is gone dismisses nothing";
    EXPECT_EQ(desktop.simulatedSwitcher().dismissCount(), 5);
}

}  // namespace
}  // namespace pellucine
