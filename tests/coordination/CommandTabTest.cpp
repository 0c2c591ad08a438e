#include <gtest/gtest.h>

#include "CoordinatorFixture.h"
#include "coordination/ShortcutDecision.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using testing::CoordinatorFixture;

class CommandTabTest : public CoordinatorFixture {
  protected:
    // One display, the pointer on it: the glance's display comes from the pointer.
    void useOneDisplay() {
        desktop.setDisplays({{1, {0, 0, 1440, 900}, {0, 25, 1440, 805}}});
        desktop.simulatedPointer().moveTo({700, 400});
    }
};

TEST_F(CommandTabTest, OneRoundFollowsTheStripOnItsDisplayAndReleasingHidesTheGlance) {
    makeModel();
    model->portablePreferences().modify([](auto& p) { p.includeWindowsFromOtherDisplays = false; });
    makeCoordinator();
    refreshModel();
    events.clear();
    desktop.clearRequests();

    keyDown(command);
    showStrip(1);
    tabKey();
    scheduler.advance(0.2);
    ASSERT_EQ(panel->shows().size(), 1u);
    const SwitcherPanelShowOptions& shown = panel->shows().back();
    EXPECT_EQ(shown.switcherFrame, (ScreenRect{1700, 460, 760, 140}));
    EXPECT_EQ(shown.screenFrame, (ScreenRect{1440, 100, 1280, 800}));
    EXPECT_FALSE(shown.dockMode);
    EXPECT_TRUE(shown.showsSearchHint);
    EXPECT_FALSE(shown.onClose);
    EXPECT_EQ(selectedWindows(), QList<quint32>{windowsOf[notes][1]}) << "only the strip's display";

    dock.selectSwitcherItem(2);
    tabKey();
    EXPECT_FALSE(panel->isPanelVisible()) << "Maps has no window on display 2";
    keyDown(shift);
    dock.selectSwitcherItem(1);
    tabKey();
    keyUp(shift);
    EXPECT_EQ(glancedApplication(), notes);

    keyUp(command);
    EXPECT_FALSE(panel->isPanelVisible());
    EXPECT_TRUE(desktop.requests().filter(QStringLiteral("activate")).isEmpty())
        << "the system switches applications, not the program";
    EXPECT_EQ(
        glanceLog(),
        (QStringList{"glance-shown command-tab 1", "glance-refreshed-in-place command-tab 1",
                     "glance-not-shown no-windows command-tab 0", "glance-shown command-tab 1"}));

    // Released, the cycle follows the strip no more, and the next round follows it again.
    dock.selectSwitcherItem(0);
    scheduler.advance(0.2);
    EXPECT_EQ(glanceLog().size(), 4);
    EXPECT_FALSE(panel->isPanelVisible());
    keyDown(command);
    dock.selectSwitcherItem(1);
    tabKey();
    scheduler.advance(0.2);
    EXPECT_EQ(glancedApplication(), notes);
    dock.selectSwitcherItem(0);
    scheduler.advance(0.05);
    EXPECT_EQ(glanceLog().last(), QStringLiteral("glance-not-shown no-windows command-tab 0"));
    keyUp(command);
}

// A preview picked while the strip is up ends the switch there: the strip closes before the
// window is asked for, and letting go of Command switches nothing more.
TEST_F(CommandTabTest, APreviewPickedClosesTheStripBeforeItsWindowIsAskedFor) {
    makeModel();
    makeCoordinator();
    refreshModel();
    keyDown(command);
    showStrip(1);
    tabKey();
    scheduler.advance(0.2);
    ASSERT_TRUE(panel->isPanelVisible());
    desktop.clearRequests();
    qsizetype requestsAtDismissal = -1;
    desktop.simulatedSwitcher().setDismissHandler([&] {
        requestsAtDismissal = desktop.requests().size();
        return true;
    });
    const int dismissals = desktop.simulatedSwitcher().dismissCount();

    panel->select(model->switcherSelection().value().windows.first());
    EXPECT_EQ(desktop.simulatedSwitcher().dismissCount(), dismissals + 1);
    EXPECT_EQ(requestsAtDismissal, 0) << "closed before the window was asked for";
    EXPECT_FALSE(desktop.requests().filter(QStringLiteral("AXRaise")).isEmpty());
    EXPECT_FALSE(panel->isPanelVisible());
    keyUp(command);
    EXPECT_FALSE(panel->isPanelVisible());

    // A Dock glance has no strip to close.
    coordinator->dockHoverChanged({notes, {650, 40}});
    scheduler.runUntilIdle();
    ASSERT_TRUE(panel->isPanelVisible());
    panel->select(model->switcherSelection().value().windows.first());
    EXPECT_EQ(desktop.simulatedSwitcher().dismissCount(), dismissals + 1);
}

// The order is Mail (frontmost), Notes, Maps: forwards from Notes round to Mail, backwards from
// Maps.
TEST_F(CommandTabTest, WithoutTheStripTheCycleStepsThroughItsOwnOrder) {
    useOneDisplay();
    makeCoordinator();
    refreshModel();
    for (const qint32 expected : {notes, maps, mail}) {
        coordinator->commandTabStep(false);
        EXPECT_EQ(glancedApplication(), expected);
    }
    coordinator->commandReleased();
    coordinator->commandTabStep(true);
    EXPECT_EQ(glancedApplication(), maps);
    coordinator->commandReleased();

    // A single application makes no cycle: every Tab begins a new preview session.
    desktop.removeApplication(notes);
    desktop.removeApplication(maps);
    scheduler.runUntilIdle();
    const qint64 generation = model->previewSessionGeneration();
    coordinator->commandTabStep(false);
    coordinator->commandTabStep(false);
    scheduler.runUntilIdle();
    EXPECT_FALSE(panel->isPanelVisible()) << "Mail glanced at as a step of a cycle";
    EXPECT_EQ(model->previewSessionGeneration(), generation + 2);
}

TEST_F(CommandTabTest, AMissingPermissionSuppressesEveryTabAndEndsTheGlance) {
    useOneDisplay();
    makeCoordinator();
    coordinator->dockHoverChanged({notes, {650, 40}});
    scheduler.runUntilIdle();
    desktop.simulatedPermissions().setScreenCapture(SimulatedPermission::denied);
    model->permissions().refresh(QStringLiteral("timer"));
    coordinator->commandTabStep(false);
    coordinator->commandTabStep(false);
    EXPECT_EQ(events.count(QStringLiteral("switcher-suppressed")), 2);
    EXPECT_EQ(events.last(QStringLiteral("switcher-suppressed"))->fields,
              (EventFields{{"reason", "permissions-not-ready"},
                           {"accessibility", "granted"},
                           {"screenRecording", "denied"}}));
    EXPECT_FALSE(panel->isPanelVisible());

    // No cycle began: once permitted, the next Tab begins one at Notes, not a step from Maps.
    desktop.simulatedPermissions().setScreenCapture(SimulatedPermission::granted);
    model->permissions().refresh(QStringLiteral("timer"));
    scheduler.runUntilIdle();
    coordinator->commandTabStep(false);
    scheduler.runUntilIdle();
    EXPECT_EQ(glancedApplication(), notes);
}

TEST_F(CommandTabTest, SteppingBackFromTheProgramItselfShowsThePreviousGlanceAgain) {
    useOneDisplay();
    RunningApplication own;
    own.processIdentifier = ownPID;
    own.localizedName = QStringLiteral("Pellucine");
    desktop.addApplication(own);
    addWindow(ownPID, {0, 0, 300, 300});
    makeCoordinator();
    refreshModel();
    coordinator->commandTabStep(false);
    coordinator->commandTabStep(false);
    coordinator->commandTabStep(false);
    EXPECT_EQ(glanceLog().last(), QStringLiteral("glance-not-shown own-application command-tab"));
    EXPECT_FALSE(panel->isPanelVisible());
    coordinator->commandTabStep(true);
    EXPECT_EQ(glancedApplication(), maps);
    EXPECT_EQ(glanceLog().filter(QStringLiteral("own-application")).size(), 1);
}

TEST_F(CommandTabTest, PicturesOfAGlanceSteppedAwayFromAreNotPublished) {
    useOneDisplay();
    makeCoordinator();
    refreshModel();
    for (const quint32 id : windowsOf[notes]) {
        desktop.simulatedCapture().setCaptureDelay(id, seconds(0.5));
    }
    coordinator->commandTabStep(false);
    scheduler.runUntilIdle();
    coordinator->commandTabStep(false);
    scheduler.advance(1.0);
    const PreviewImages& published = model->previewImages().value();
    EXPECT_TRUE(published.contains(windowsOf[maps].first()));
    for (const quint32 id : windowsOf[notes]) {
        EXPECT_FALSE(published.contains(id));
        EXPECT_TRUE(model->previewCache().cachedImage(id)) << "the picture is still cached";
    }
}

TEST_F(CommandTabTest, TrackingFollowsTheStripWithoutTabs) {
    makeCoordinator();
    refreshModel();
    showStrip(1);
    const quint64 list = *dock.switcherList();
    desktop.setTreeElementFrame(list, std::nullopt);
    const ScreenRect estimate{1630, 436, 900, 128};
    const auto estimates = [this] { return glanceLog().filter(QStringLiteral("estimated")); };
    coordinator->commandTabStep(false);
    scheduler.runUntilIdle();
    // The strip is not drawn yet: its display is known, its frame estimated for each glance.
    EXPECT_EQ(panel->shows().back().switcherFrame, estimate);
    const qsizetype estimated = estimates().size();
    EXPECT_EQ(estimates().last(), QStringLiteral("native-switcher-frame-estimated 2"));
    dock.selectSwitcherItem(2);
    scheduler.advance(0.05);
    EXPECT_EQ(glancedApplication(), maps);
    EXPECT_EQ(panel->shows().back().switcherFrame, estimate);
    EXPECT_EQ(estimates().size(), estimated + 1);

    desktop.setTreeElementFrame(list, sideStrip);
    scheduler.advance(0.05);
    EXPECT_EQ(panel->shows().size(), 2u) << "same windows: refreshed in place, not moved";

    // Once read, the strip's frame places later glances even when a reading misses it.
    desktop.setTreeElementFrame(list, std::nullopt);
    dock.selectSwitcherItem(0);
    scheduler.advance(0.05);
    EXPECT_EQ(glancedApplication(), mail);
    EXPECT_EQ(panel->shows().back().switcherFrame, (ScreenRect{1700, 460, 760, 140}));
    EXPECT_EQ(estimates().size(), estimated + 1);

    const QStringList before = glanceLog();
    scheduler.advance(0.5);
    EXPECT_EQ(glanceLog(), before) << "an unchanged strip asks nothing";
    EXPECT_EQ(before.filter(QStringLiteral("display-resolved")), QStringList{});

    // The strip moves to display 1: resolved once, and the next glance stands there.
    showStrip(0, {200, 300, 760, 140});
    scheduler.advance(0.5);
    EXPECT_EQ(glanceLog().filter(QStringLiteral("display-resolved")),
              QStringList{"native-switcher-display-resolved 1"});
    dock.selectSwitcherItem(1);
    scheduler.advance(0.05);
    EXPECT_EQ(glancedApplication(), notes);
    EXPECT_EQ(panel->shows().back().screenFrame, (ScreenRect{0, 70, 1440, 805}));
}

TEST_F(CommandTabTest, EachCopyOfAnApplicationGlancesAtItsOwnWindows) {
    // A second Notes process: the same name, so only the item's process tells them apart.
    constexpr qint32 secondNotes = 13;
    addApp(secondNotes, QStringLiteral("Notes"));
    const quint32 secondWindow = addWindow(secondNotes, {1700, 150, 400, 300});
    makeCoordinator();
    refreshModel();
    const GlobalRect frame = sideStrip;
    const auto at = [&frame](int i) {
        return GlobalRect{frame.x + 20 + 120.0 * i, frame.y + 20, 100, 100};
    };
    dock.showSwitcher({{QStringLiteral("Mail"), std::nullopt, at(0), mail},
                       {QStringLiteral("Notes"), std::nullopt, at(1), notes},
                       {QStringLiteral("Notes"), std::nullopt, at(2), secondNotes}},
                      2, frame);
    keyDown(command);
    tabKey();
    EXPECT_EQ(glancedApplication(), secondNotes);
    EXPECT_EQ(selectedWindows(), QList<quint32>{secondWindow});

    dock.selectSwitcherItem(1);
    scheduler.advance(0.05);
    EXPECT_EQ(glancedApplication(), notes);
    EXPECT_EQ(selectedWindows(), (QList<quint32>{windowsOf[notes][1], windowsOf[notes][0]}));
    keyUp(command);
}

TEST_F(CommandTabTest, CommandFOpensWindowSearchOnlyDuringACycleWithSearchOn) {
    makeCoordinator();
    showStrip(1);
    keyDown(command);
    desktop.simulatedKeyboard().type(3);
    scheduler.runUntilIdle();
    EXPECT_EQ(events.count(QStringLiteral("window-search-from-command-tab")), 0);
    tabKey();
    model->machinePreferences().modify([](auto& m) { m.windowSearchEnabled = false; });
    desktop.simulatedKeyboard().type(3);
    scheduler.runUntilIdle();
    EXPECT_TRUE(dock.isSwitcherShowing());
    model->machinePreferences().modify([](auto& m) { m.windowSearchEnabled = true; });
    desktop.simulatedKeyboard().type(3);
    scheduler.runUntilIdle();
    EXPECT_FALSE(dock.isSwitcherShowing());
    EXPECT_FALSE(panel->isPanelVisible());
    scheduler.advance(0.119);
    EXPECT_EQ(search->showCount(), 0);
    scheduler.advance(0.001);
    EXPECT_EQ(search->showCount(), 1);

    // The cycle ended with it: Command-F again opens nothing more.
    desktop.simulatedKeyboard().type(3);
    scheduler.advance(1.0);
    EXPECT_EQ(events.count(QStringLiteral("window-search-from-command-tab")), 1);
    EXPECT_EQ(search->showCount(), 1);
}

TEST_F(CommandTabTest, EscapeWithCommandHeldEndsTheCycleAndItsGlance) {
    makeCoordinator();
    desktop.simulatedKeyboard().type(ShortcutDecision::escapeKey);
    keyDown(command);
    desktop.simulatedKeyboard().type(ShortcutDecision::escapeKey);
    scheduler.runUntilIdle();
    EXPECT_FALSE(panel) << "Escape outside a cycle shows and hides nothing";

    showStrip(1);
    tabKey();
    scheduler.advance(0.2);
    ASSERT_TRUE(panel->isPanelVisible());
    desktop.simulatedKeyboard().type(ShortcutDecision::escapeKey);
    scheduler.runUntilIdle();
    EXPECT_FALSE(panel->isPanelVisible());
    // The cycle is over: the strip, still up, is followed no more.
    const std::size_t shows = panel->shows().size();
    dock.selectSwitcherItem(2);
    scheduler.advance(0.2);
    EXPECT_EQ(panel->shows().size(), shows);
    EXPECT_FALSE(panel->isPanelVisible());

    // Tab again with Command still held starts a new cycle, which follows the strip.
    tabKey();
    scheduler.advance(0.2);
    EXPECT_EQ(glancedApplication(), maps);
    dock.selectSwitcherItem(1);
    scheduler.advance(0.05);
    EXPECT_EQ(glancedApplication(), notes);
    keyUp(command);
    EXPECT_FALSE(panel->isPanelVisible());
}

TEST_F(CommandTabTest, TheDockClaimsTheGlanceOnlyOutsideACycle) {
    useOneDisplay();
    makeModel();
    model->portablePreferences().modify([](auto& p) {
        p.excludedDockAppBundleIdentifiers = {QStringLiteral("com.example.app12")};
    });
    makeCoordinator();
    coordinator->dockHoverChanged({notes, {650, 40}});
    scheduler.runUntilIdle();
    ASSERT_EQ(glanceOnScreen(), GlanceSource::dockHover);
    EXPECT_TRUE(panel->shows().back().dockMode);
    coordinator->commandReleased();
    EXPECT_EQ(glanceOnScreen(), GlanceSource::dockHover);
    coordinator->dockHoverChanged({maps, {720, 40}});
    EXPECT_FALSE(panel->isPanelVisible()) << "an excluded item ends the Dock glance";

    coordinator->dockHoverChanged({notes, {650, 40}});
    scheduler.runUntilIdle();
    coordinator->commandTabStep(false);
    scheduler.runUntilIdle();
    ASSERT_EQ(glanceOnScreen(), GlanceSource::commandTab);
    const std::size_t shows = panel->shows().size();
    const int hides = panel->hideCount();
    coordinator->dockHoverChanged({mail, {600, 40}});
    coordinator->dockHoverEnded();
    scheduler.runUntilIdle();
    EXPECT_EQ(glanceOnScreen(), GlanceSource::commandTab);
    EXPECT_EQ(panel->shows().size(), shows);
    EXPECT_EQ(panel->hideCount(), hides);
}

// Off the Dock's items only a panel on screen holds the pointer for the Dock glance, and all of
// the screen while one of the panel's menus is open; anywhere else the glance ends.
TEST_F(CommandTabTest, OffTheDockOnlyThePanelOnScreenHoldsTheDockGlance) {
    useOneDisplay();
    makeCoordinator();
    showDockItems();
    restOnDockItem(1);
    ASSERT_EQ(glanceOnScreen(), GlanceSource::dockHover);
    ASSERT_EQ(glancedApplication(), notes);
    // Screen (600, 150) lies in the panel, screen (20, 20) well outside it.
    panel->setPanelFrame({500, 100, 400, 200});
    const GlobalPoint inPanel{600, 750};
    const GlobalPoint outside{20, 880};

    pointAt(inPanel);
    scheduler.advance(1.0);
    EXPECT_TRUE(panel->isPanelVisible());
    panel->setMenuOpen(true);
    pointAt(outside);
    scheduler.advance(1.0);
    EXPECT_TRUE(panel->isPanelVisible()) << "with a menu open";
    panel->setMenuOpen(false);
    pointAt({outside.x + 1, outside.y});
    scheduler.advance(1.0);
    EXPECT_FALSE(panel->isPanelVisible());

    // A panel off screen holds no pointer, wherever it last stood.
    restOnDockItem(1);
    ASSERT_EQ(glanceOnScreen(), GlanceSource::dockHover);
    panel->setPanelVisible(false);
    const int hides = panel->hideCount();
    pointAt(inPanel);
    scheduler.advance(1.0);
    EXPECT_EQ(panel->hideCount(), hides + 1) << "the Dock glance ended";
}

}  // namespace
}  // namespace pellucine
