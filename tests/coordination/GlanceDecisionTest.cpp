#include <gtest/gtest.h>

#include "CoordinatorFixture.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using testing::CoordinatorFixture;

class GlanceDecisionTest : public CoordinatorFixture {
  protected:
    void SetUp() override {
        makeCoordinator();
        refreshModel();
        events.clear();
    }
    void ask(qint32 pid, GlanceSource source, std::optional<quint32> display = 1u,
             bool refresh = false, std::optional<ScreenPoint> anchor = std::nullopt) {
        coordinator->showGlance(pid, source, anchor, display, std::nullopt, refresh);
        scheduler.runUntilIdle();
    }
};

TEST_F(GlanceDecisionTest, RefusalsAreRecordedWithTheirReasons) {
    for (int i = 0; i < 3; ++i) {
        ask(ownPID, GlanceSource::commandTab, 1u, true);
    }
    // A display that is gone holds no window back and has no screen to estimate a strip on.
    ask(maps, GlanceSource::commandTab, 7u);
    ask(notes, GlanceSource::commandTab);
    ask(ownPID, GlanceSource::menu);
    ask(mail, GlanceSource::commandTab, std::nullopt);
    model->portablePreferences().modify([](auto& p) {
        p.excludedDockAppBundleIdentifiers = {QStringLiteral("com.example.app12")};
        p.skipSingleWindowDockPreviews = true;
    });
    ask(maps, GlanceSource::dockHover);
    ask(maps, GlanceSource::menu);
    ask(mail, GlanceSource::dockHover, std::nullopt, false, ScreenPoint{600, 40});
    desktop.removeWindow(windowsOf[mail].first());
    refreshModel();
    ask(mail, GlanceSource::menu, 1u, true);
    EXPECT_EQ(
        glanceLog(),
        (QStringList{
            "glance-not-shown own-application command-tab", "glance-shown command-tab 1",
            "native-switcher-frame-estimated 1", "glance-shown command-tab 2",
            "glance-not-shown own-application menu", "glance-not-shown app-excluded dock-hover",
            "glance-not-shown app-excluded menu", "glance-not-shown display-policy dock-hover 1",
            "glance-not-shown no-windows menu 0"}));
    EXPECT_EQ(model->switcherSelection().value(), SwitcherSelection{});
    EXPECT_FALSE(panel->isPanelVisible());
    const QStringList refused = glanceLog();
    ask(mail, GlanceSource::menu);
    EXPECT_EQ(glanceLog(), refused) << "a refusal keeps its claim: asked again, it is left alone";
}

TEST_F(GlanceDecisionTest, EachSourceShowsThePanelItsOwnWay) {
    ask(notes, GlanceSource::dockHover, std::nullopt, false, ScreenPoint{650, 40});
    const SwitcherPanelShowOptions dock = panel->shows().back();
    EXPECT_TRUE(dock.dockMode && dock.showsWindowControls && !dock.showsSearchHint);
    EXPECT_EQ(dock.anchor, (ScreenPoint{650, 40}));
    EXPECT_FALSE(dock.switcherFrame);
    ask(notes, GlanceSource::dockHover);
    EXPECT_EQ(panel->shows().size(), 1u) << "the same glance asked again is left alone";

    model->machinePreferences().modify([](auto& m) { m.windowSearchEnabled = false; });
    ask(notes, GlanceSource::commandTab);
    const SwitcherPanelShowOptions commandTab = panel->shows().back();
    EXPECT_FALSE(commandTab.dockMode || commandTab.showsWindowControls ||
                 commandTab.showsSearchHint || commandTab.onClose);
    EXPECT_EQ(commandTab.screenFrame, (ScreenRect{0, 70, 1440, 805}));

    ask(maps, GlanceSource::menu);
    const SwitcherPanelShowOptions menu = panel->shows().back();
    EXPECT_FALSE(menu.dockMode || menu.showsWindowControls || menu.showsSearchHint);
    EXPECT_FALSE(menu.switcherFrame);
    ASSERT_TRUE(panel->close());
    EXPECT_FALSE(panel->isPanelVisible());
    ask(maps, GlanceSource::menu);
    EXPECT_TRUE(panel->isPanelVisible()) << "closed, the glance asked again shows anew";
}

TEST_F(GlanceDecisionTest, TheSameWindowsAreRefreshedInPlaceAndLoadOnlyWhatIsMissing) {
    ask(notes, GlanceSource::commandTab);
    scheduler.advance(1.0);
    model->switcherSelection().modify([](SwitcherSelection& s) { s.selectedIndex = 1; });
    const qsizetype captures = desktop.simulatedCapture().captureRequests().size();
    ask(notes, GlanceSource::commandTab, 2u, true);
    EXPECT_EQ(panel->shows().size(), 1u);
    EXPECT_EQ(model->switcherSelection().value().selectedIndex, 0);
    EXPECT_EQ(desktop.simulatedCapture().captureRequests().size(), captures);
    EXPECT_EQ(glanceLog().last(), QStringLiteral("glance-refreshed-in-place command-tab 2"));

    model->previewImages().modify(
        [&](PreviewImages& images) { images.remove(windowsOf[notes].first()); });
    ask(notes, GlanceSource::commandTab, 1u, true);
    scheduler.advance(1.0);
    EXPECT_TRUE(model->previewImages().value().contains(windowsOf[notes].first()));

    panel->hide();
    ask(notes, GlanceSource::commandTab, 1u, true);
    EXPECT_EQ(panel->shows().size(), 2u);
    EXPECT_EQ(glanceLog().last(), QStringLiteral("glance-shown command-tab 2"));
}

TEST_F(GlanceDecisionTest, ARefreshOfTheGlanceOnScreenKeepsEveryRemainingWindowInItsRow) {
    ask(notes, GlanceSource::dockHover, std::nullopt, false, ScreenPoint{650, 40});
    const QList<quint32> shown = selectedWindows();
    ASSERT_EQ(shown.size(), 2);
    // Focusing the lower row re-sorts the model; the rows stay put and only texts change.
    desktop.focusWindow(shown[1]);
    desktop.retitleWindow(shown[1], QStringLiteral("Restored"));
    refreshModel();
    ask(notes, GlanceSource::dockHover, std::nullopt, true, ScreenPoint{650, 40});
    EXPECT_EQ(selectedWindows(), shown);
    EXPECT_EQ(model->switcherSelection().value().windows[1].title, QStringLiteral("Restored"));
    EXPECT_EQ(glanceLog().last(), QStringLiteral("glance-refreshed-in-place dock-hover 2"));

    // A new window comes last, a closed one leaves the others in their order.
    const quint32 added = addWindow(notes, {300, 300, 400, 300});
    desktop.focusWindow(added);
    refreshModel();
    ask(notes, GlanceSource::dockHover, std::nullopt, true, ScreenPoint{650, 40});
    EXPECT_EQ(selectedWindows(), (QList<quint32>{shown[0], shown[1], added}));
    desktop.removeWindow(shown[0]);
    refreshModel();
    ask(notes, GlanceSource::dockHover, std::nullopt, true, ScreenPoint{650, 40});
    EXPECT_EQ(selectedWindows(), (QList<quint32>{shown[1], added}));

    // A glance shown anew takes the model's order.
    panel->hide();
    ask(notes, GlanceSource::dockHover, std::nullopt, true, ScreenPoint{650, 40});
    EXPECT_EQ(selectedWindows().first(), added);
}

TEST_F(GlanceDecisionTest, NeighboursArePreloadedOncePerGlance) {
    desktop.setDisplays({{1, {0, 0, 1440, 900}, {0, 25, 1440, 805}}});
    desktop.simulatedPointer().moveTo({700, 400});
    coordinator->commandTabStep(false);
    coordinator->commandTabStep(false);
    coordinator->commandTabStep(true);
    scheduler.advance(1.0);
    EXPECT_EQ(events.count(QStringLiteral("previews-preloaded")), 1);
    EXPECT_EQ(events.last(QStringLiteral("previews-preloaded"))->fields.value("requestedCount"),
              QStringLiteral("2"))
        << "Maps then Mail, one window each on display 1";
    coordinator->hideGlance();
    coordinator->commandTabStep(false);
    scheduler.advance(1.0);
    EXPECT_EQ(events.count(QStringLiteral("previews-preloaded")), 2);
}

}  // namespace
}  // namespace pellucine
