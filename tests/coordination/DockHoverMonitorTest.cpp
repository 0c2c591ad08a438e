#include <gtest/gtest.h>

#include "base/ManualScheduler.h"
#include "base/RecordingEventLog.h"
#include "coordination/DockHoverMonitor.h"
#include "platform/sim/SimulatedDesktop.h"
#include "platform/sim/SimulatedSystemDock.h"

namespace pellucine {
namespace {

using Target = DockHoverMonitor::Target;

constexpr qint32 mail = 10;
constexpr qint32 notes = 11;
constexpr double mainHeight = 900;

// A 1440 x 900 display with a 25-point menu bar and a 70-point Dock along the bottom holding
// Mail and Notes.
class DockHoverMonitorTest : public ::testing::Test {
  protected:
    static constexpr GlobalPoint onMail{630, 865};
    static constexpr GlobalPoint elsewhereOnMail{645, 880};
    static constexpr GlobalPoint onNotes{700, 865};
    // Near the bottom edge, between the Dock's items.
    static constexpr GlobalPoint besideTheItems{300, 865};
    static constexpr GlobalPoint midScreen{700, 400};
    static constexpr GlobalPoint alsoMidScreen{600, 300};

    DockHoverMonitorTest() {
        desktop.setDisplays({{1, {0, 0, 1440, 900}, {0, 25, 1440, 805}}});
        for (const auto& [pid, name] : {std::pair{mail, "Mail"}, std::pair{notes, "Notes"}}) {
            RunningApplication app;
            app.processIdentifier = pid;
            app.localizedName = QString::fromLatin1(name);
            desktop.addApplication(app);
        }
        dock.setItems({{QStringLiteral("Mail"), std::nullopt, {600, 835, 60, 60}},
                       {QStringLiteral("Notes"), std::nullopt, {670, 835, 60, 60}}},
                      {590, 830, 260, 70});
        monitor->setOnHover([this](const Target& target) { hovers.append(target); });
        monitor->setOnExit([this] { ++exits; });
        monitor->start();
    }

    // The pointer moves there and the monitor looks at the move.
    void move(GlobalPoint point) {
        desktop.simulatedPointer().moveTo(point);
        scheduler.runUntilIdle();
    }
    static Target at(qint32 pid, GlobalPoint point) {
        return {pid, toScreenSpace(point, mainHeight)};
    }
    void present(GlobalPoint point) {
        move(point);
        scheduler.advance(1.0);
        ASSERT_FALSE(hovers.isEmpty());
    }

    ManualScheduler scheduler;
    SimulatedDesktop desktop{scheduler};
    SimulatedSystemDock dock{desktop};
    NativeSwitcherProbe probe{desktop};
    RecordingEventLog events;
    std::unique_ptr<DockHoverMonitor> monitor =
        std::make_unique<DockHoverMonitor>(desktop, probe, scheduler, events);
    QList<Target> hovers;
    int exits = 0;
};

TEST_F(DockHoverMonitorTest, RestingForTheDelayHoversOnceWithTheLatestAnchor) {
    EXPECT_EQ(events.names(), QStringList{"dock-hover-monitor-started"});
    move(onMail);
    scheduler.advance(0.2);
    move(elsewhereOnMail);
    scheduler.advance(0.099);
    EXPECT_TRUE(hovers.isEmpty()) << "moving within the item keeps the running delay";
    scheduler.advance(0.001);
    EXPECT_EQ(hovers, QList<Target>{at(mail, elsewhereOnMail)});
    scheduler.advance(5.0);
    move(onMail);
    scheduler.advance(5.0);
    EXPECT_EQ(hovers.size(), 1);
    EXPECT_EQ(monitor->candidate(), at(mail, onMail));
    EXPECT_EQ(monitor->presentedProcessIdentifier(), mail);
}

TEST_F(DockHoverMonitorTest, AConfiguredDelayHoldsAndANegativeOneIsNone) {
    monitor->setHoverDelayMilliseconds(1000);
    move(onMail);
    scheduler.advance(0.999);
    EXPECT_TRUE(hovers.isEmpty());
    scheduler.advance(0.001);
    EXPECT_EQ(hovers.size(), 1);

    monitor->stop();
    monitor->start();
    monitor->setHoverDelayMilliseconds(-500);
    move(onNotes);
    EXPECT_EQ(hovers.last(), at(notes, onNotes));
}

TEST_F(DockHoverMonitorTest, ANeighbourRestartsTheDelayUntilAPreviewShowsThenSwitchesAtOnce) {
    move(onMail);
    scheduler.advance(0.2);
    move(onNotes);
    scheduler.advance(0.299);
    EXPECT_TRUE(hovers.isEmpty());
    scheduler.advance(0.001);
    EXPECT_EQ(hovers, QList<Target>{at(notes, onNotes)});

    move(onMail);
    EXPECT_EQ(hovers.size(), 2) << "no delay once a preview is presented";
    EXPECT_EQ(hovers.last(), at(mail, onMail));
    EXPECT_EQ(exits, 0);
}

TEST_F(DockHoverMonitorTest, LeavingBrieflyKeepsThePreviewAndLeavingLongerClosesItOnce) {
    present(onMail);
    move(midScreen);
    scheduler.advance(0.27);
    move(onMail);
    scheduler.advance(2.0);
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(hovers.size(), 1);

    // Further moves off the Dock do not restart the countdown; a spot near the edge without
    // an item counts as off the Dock.
    move(besideTheItems);
    scheduler.advance(0.2);
    move(alsoMidScreen);
    scheduler.advance(0.079);
    EXPECT_EQ(exits, 0);
    scheduler.advance(0.001);
    EXPECT_EQ(exits, 1);
    scheduler.advance(2.0);
    move(midScreen);
    scheduler.advance(2.0);
    EXPECT_EQ(exits, 1);
    EXPECT_FALSE(monitor->presentedProcessIdentifier());
    EXPECT_FALSE(monitor->candidate());
}

TEST_F(DockHoverMonitorTest, LeavingBeforeTheDelayForgetsTheItemWithoutAnExit) {
    move(onMail);
    scheduler.advance(0.1);
    move(midScreen);
    scheduler.advance(2.0);
    EXPECT_TRUE(hovers.isEmpty());
    EXPECT_EQ(exits, 0);
    EXPECT_FALSE(monitor->candidate());
}

TEST_F(DockHoverMonitorTest, ComingBackToTheItemWithinTheExitDelayStartsTheHoverAgain) {
    move(onMail);
    scheduler.advance(0.1);
    move(midScreen);
    scheduler.advance(0.1);
    move(onMail);
    EXPECT_FALSE(monitor->isExitPending());
    scheduler.advance(0.299);
    EXPECT_TRUE(hovers.isEmpty()) << "the full delay, counted from the return";
    scheduler.advance(0.001);
    EXPECT_EQ(hovers, QList<Target>{at(mail, onMail)});
    EXPECT_EQ(exits, 0);
}

TEST_F(DockHoverMonitorTest, ThePointerOverThePreviewKeepsItOpen) {
    const ScreenRect panel{500, 150, 400, 200};
    monitor->setIsPointerInPreview([panel](ScreenPoint p) { return panel.contains(p); });
    present(onMail);
    move(midScreen);
    EXPECT_TRUE(monitor->isExitPending());
    move({700, 650});
    EXPECT_FALSE(monitor->isExitPending());
    scheduler.advance(2.0);
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(monitor->presentedProcessIdentifier(), mail);
}

TEST_F(DockHoverMonitorTest, StopForgetsEverythingWithoutAnExit) {
    present(onMail);
    move(midScreen);
    monitor->stop();
    scheduler.advance(2.0);
    EXPECT_EQ(exits, 0);
    EXPECT_FALSE(monitor->presentedProcessIdentifier());
    EXPECT_FALSE(monitor->isWatching());
    EXPECT_EQ(desktop.simulatedPointer().monitorCount(), 0);

    // A move handed over before a restart belongs to the stopped monitor.
    monitor->start();
    desktop.simulatedPointer().moveTo(onNotes);
    monitor->stop();
    monitor->start();
    scheduler.advance(2.0);
    EXPECT_FALSE(monitor->candidate());
    EXPECT_EQ(hovers.size(), 1);
}

TEST_F(DockHoverMonitorTest, ADestroyedMonitorReportsNothing) {
    move(onMail);
    monitor.reset();
    desktop.simulatedPointer().moveTo(onNotes);
    scheduler.advance(2.0);
    EXPECT_TRUE(hovers.isEmpty());
    EXPECT_EQ(desktop.simulatedPointer().monitorCount(), 0);
}

TEST_F(DockHoverMonitorTest, ARefusedPointerMonitorIsStillReportedStarted) {
    desktop.simulatedPointer().setMonitorsRefused(true);
    events.clear();
    monitor->start();
    EXPECT_FALSE(monitor->isWatching());
    EXPECT_EQ(events.names(), QStringList{"dock-hover-monitor-started"});
}

TEST_F(DockHoverMonitorTest, WithoutTheDockNothingIsHovered) {
    dock.quit();
    move(onMail);
    scheduler.advance(2.0);
    EXPECT_TRUE(hovers.isEmpty());
}

TEST(DockHoverGateTest, BandsFollowTheInsetOfEachEdge) {
    // Screen space: a 1000 x 800 screen with a 60-point Dock at the bottom and, on a second
    // screen to its right, one on the left; a third screen with no inset.
    const Screen bottom{1, {0, 0, 1000, 800}, {0, 60, 1000, 715}};
    const Screen left{2, {1000, 0, 800, 600}, {1080, 0, 720, 600}};
    const Screen right{3, {0, 800, 500, 400}, {0, 800, 430, 400}};
    const Screen plain{4, {1800, 0, 400, 400}, {1800, 0, 400, 400}};
    const QList<Screen> screens{bottom, left, right, plain};
    const auto near = [&](double x, double y) {
        return DockHoverMonitor::isNearDock({x, y}, screens);
    };
    EXPECT_TRUE(near(500, 210));
    EXPECT_FALSE(near(500, 210.5));
    EXPECT_TRUE(near(150, 400)) << "the left edge of a screen without a left inset";
    EXPECT_FALSE(near(150.5, 400));
    EXPECT_TRUE(near(1230, 300));
    EXPECT_FALSE(near(1230.5, 300));
    EXPECT_TRUE(near(280, 1000));
    EXPECT_FALSE(near(279.5, 1000)) << "the right band is the right inset plus 150";
    EXPECT_TRUE(near(2050, 350)) << "150 points of an edge without an inset";
    EXPECT_FALSE(near(1990, 200)) << "more than 150 points from each edge";
    EXPECT_TRUE(near(500, 625)) << "the top band is the top inset (25) plus 150";
    EXPECT_FALSE(near(500, 624.5));
    EXPECT_TRUE(near(2000, 250)) << "150 points of a top edge without an inset";
    EXPECT_FALSE(near(2000, 249.5));
    EXPECT_TRUE(near(-50, -50)) << "off every screen the hit test decides alone";
    EXPECT_TRUE(DockHoverMonitor::isNearDock({500, 400}, {}));
}

}  // namespace
}  // namespace pellucine
