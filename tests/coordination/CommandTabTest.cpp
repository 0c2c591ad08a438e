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
    std::optional<qint32> highlighted() const {
        const auto& cycle = coordinator->nativeSwitcherState();
        if (!cycle.selectedIndex) {
            return std::nullopt;
        }
        return cycle.applicationOrder[*cycle.selectedIndex];
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
    EXPECT_TRUE(panel->isPanelVisible());
    EXPECT_EQ(highlighted(), notes);

    keyUp(command);
    EXPECT_FALSE(panel->isPanelVisible());
    EXPECT_FALSE(coordinator->glanceSource());
    EXPECT_FALSE(coordinator->isTrackingSwitcher());
    EXPECT_TRUE(desktop.requests().filter(QStringLiteral("activate")).isEmpty())
        << "the system switches applications, not the program";
    EXPECT_EQ(
        glanceLog(),
        (QStringList{"glance-shown command-tab 1", "glance-refreshed-in-place command-tab 1",
                     "glance-not-shown no-windows command-tab 0", "glance-shown command-tab 1"}));
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

TEST_F(CommandTabTest, WithoutTheStripTheCycleStepsThroughItsOwnOrder) {
    useOneDisplay();
    makeCoordinator();
    coordinator->commandTabStep(false);
    EXPECT_EQ(coordinator->nativeSwitcherState().applicationOrder,
              (QList<qint32>{mail, notes, maps}));
    EXPECT_EQ(highlighted(), notes);
    coordinator->commandTabStep(false);
    coordinator->commandTabStep(false);
    EXPECT_EQ(highlighted(), mail);
    coordinator->commandReleased();
    coordinator->commandTabStep(true);
    EXPECT_EQ(highlighted(), maps);
    coordinator->commandReleased();

    // A single application makes no cycle: every Tab begins a new preview session.
    desktop.removeApplication(notes);
    desktop.removeApplication(maps);
    scheduler.runUntilIdle();
    const qint64 generation = model->previewSessionGeneration();
    coordinator->commandTabStep(false);
    coordinator->commandTabStep(false);
    EXPECT_FALSE(highlighted());
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
    EXPECT_FALSE(coordinator->glanceSource());
    EXPECT_FALSE(highlighted());
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
    EXPECT_EQ(highlighted(), ownPID);
    EXPECT_FALSE(panel->isPanelVisible());
    coordinator->commandTabStep(true);
    EXPECT_TRUE(panel->isPanelVisible());
    EXPECT_EQ(coordinator->glanceProcessIdentifier(), maps);
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
    coordinator->commandTabStep(false);
    // The strip is not drawn yet: its display is known, its frame estimated.
    EXPECT_FALSE(coordinator->nativeSwitcherFrame());
    EXPECT_EQ(panel->shows().back().switcherFrame, (ScreenRect{1630, 436, 900, 128}));

    desktop.setTreeElementFrame(list, sideStrip);
    scheduler.advance(0.05);
    EXPECT_EQ(coordinator->nativeSwitcherFrame(), (ScreenRect{1700, 460, 760, 140}));
    EXPECT_EQ(panel->shows().size(), 1u) << "same windows: refreshed in place, not moved";

    dock.selectSwitcherItem(0);
    scheduler.advance(0.05);
    EXPECT_EQ(highlighted(), mail);
    EXPECT_EQ(coordinator->glanceProcessIdentifier(), mail);

    const QStringList before = glanceLog();
    scheduler.advance(0.5);
    EXPECT_EQ(glanceLog(), before) << "an unchanged strip asks nothing";
    EXPECT_EQ(before.filter(QStringLiteral("display-resolved")), QStringList{});

    showStrip(0, {200, 300, 760, 140});
    scheduler.advance(0.05);
    EXPECT_EQ(glanceLog().filter(QStringLiteral("display-resolved")),
              QStringList{"native-switcher-display-resolved 1"});
    EXPECT_EQ(coordinator->glanceDisplayIdentifier(), 1u);
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
    EXPECT_EQ(coordinator->glanceProcessIdentifier(), secondNotes);
    EXPECT_EQ(selectedWindows(), QList<quint32>{secondWindow});

    dock.selectSwitcherItem(1);
    scheduler.advance(0.05);
    EXPECT_EQ(coordinator->glanceProcessIdentifier(), notes);
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
    EXPECT_FALSE(highlighted());
    scheduler.advance(0.119);
    EXPECT_EQ(search->showCount(), 0);
    scheduler.advance(0.001);
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
    EXPECT_FALSE(highlighted());
    EXPECT_FALSE(coordinator->isTrackingSwitcher());

    // Tab again with Command still held starts a new cycle.
    tabKey();
    scheduler.advance(0.2);
    EXPECT_TRUE(panel->isPanelVisible());
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
    ASSERT_EQ(coordinator->glanceSource(), GlanceSource::dockHover);
    EXPECT_TRUE(panel->shows().back().dockMode);
    coordinator->commandReleased();
    EXPECT_EQ(coordinator->glanceSource(), GlanceSource::dockHover);
    coordinator->dockHoverChanged({maps, {720, 40}});
    EXPECT_FALSE(coordinator->glanceSource()) << "an excluded item ends the Dock glance";

    // Only a panel on screen holds the pointer, and all of it while one of its menus is open.
    panel->setPanelFrame({500, 100, 400, 200});
    EXPECT_FALSE(coordinator->panelContainsPoint({600, 150}));
    coordinator->dockHoverChanged({notes, {650, 40}});
    scheduler.runUntilIdle();
    EXPECT_TRUE(coordinator->panelContainsPoint({600, 150}));
    EXPECT_FALSE(coordinator->panelContainsPoint({20, 20}));
    panel->setMenuOpen(true);
    EXPECT_TRUE(coordinator->panelContainsPoint({20, 20}));
    panel->setMenuOpen(false);

    coordinator->commandTabStep(false);
    coordinator->dockHoverChanged({mail, {600, 40}});
    EXPECT_EQ(coordinator->glanceSource(), GlanceSource::commandTab);
    coordinator->dockHoverEnded();
    EXPECT_EQ(coordinator->glanceSource(), GlanceSource::commandTab);
}

}  // namespace
}  // namespace pellucine
