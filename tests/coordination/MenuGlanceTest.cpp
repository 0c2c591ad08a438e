#include <gtest/gtest.h>

#include "CoordinatorFixture.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using testing::CoordinatorFixture;

constexpr GlobalPoint onDisplay2{1800, 400};
constexpr ScreenRect panelFrame{1500, 300, 600, 300};
// Inside the panel's frame (screen y 400) and outside it.
constexpr GlobalPoint inPanel{1600, 500};
constexpr GlobalPoint outside{100, 100};

class MenuGlanceTest : public CoordinatorFixture {
  protected:
    void open(qint32 pid = notes) {
        if (!opened) {
            opened = true;
            listenersBefore = listeners();
        }
        desktop.simulatedPointer().moveTo(onDisplay2);
        coordinator->showWindows(pid);
        scheduler.runUntilIdle();
        if (panel != nullptr) {
            panel->setPanelFrame(panelFrame);
        }
    }
    void clickAt(GlobalPoint point) {
        desktop.simulatedPointer().moveTo(point);
        desktop.simulatedPointer().click(SimulatedPointer::Button::left);
        scheduler.runUntilIdle();
    }
    void type(quint32 key) {
        desktop.simulatedKeyboard().type(key);
        scheduler.runUntilIdle();
    }
    int listeners() {
        return desktop.simulatedPointer().monitorCount() + desktop.simulatedKeyboard().tapCount();
    }
    // The pointer monitors and key taps the coordinator holds on the desktop beyond those it
    // held before the first menu glance: the glance's click monitor and Escape tap.
    int menuGlanceMonitors() { return listeners() - listenersBefore; }

    bool opened = false;
    int listenersBefore = 0;
};

TEST_F(MenuGlanceTest, ItStaysOnItsDisplayWhenWindowEventsRefreshItAndTheEntryClosesIt) {
    makeModel();
    model->portablePreferences().modify([](auto& p) { p.includeWindowsFromOtherDisplays = false; });
    makeCoordinator();
    open();
    ASSERT_TRUE(panel->isPanelVisible());
    EXPECT_EQ(panel->shows().back().screenFrame, (ScreenRect{1440, 100, 1280, 800}));
    EXPECT_EQ(selectedWindows(), QList<quint32>{windowsOf[notes][1]});
    EXPECT_EQ(menuGlanceMonitors(), 2);

    desktop.simulatedPointer().moveTo(outside);
    const quint32 added = addWindow(notes, {2000, 300, 300, 200});
    scheduler.advance(1.0);
    ASSERT_EQ(panel->shows().size(), 2u);
    EXPECT_EQ(panel->shows().back().screenFrame, (ScreenRect{1440, 100, 1280, 800}));
    // The new window joins after the one already shown.
    EXPECT_EQ(selectedWindows(), (QList<quint32>{windowsOf[notes][1], added}));
    EXPECT_EQ(menuGlanceMonitors(), 2);

    coordinator->showWindows(notes);
    EXPECT_FALSE(panel->isPanelVisible());
    EXPECT_EQ(menuGlanceMonitors(), 0);
    open(mail);
    EXPECT_FALSE(panel->isPanelVisible()) << "Mail has no window on display 2";
    EXPECT_EQ(menuGlanceMonitors(), 0);
}

TEST_F(MenuGlanceTest, AnOutsideClickEscapeOrTheCloseButtonCloseItUntilAnotherSourceClaimsIt) {
    makeCoordinator();
    open();
    clickAt(inPanel);
    panel->setMenuOpen(true);
    clickAt(outside);
    panel->setMenuOpen(false);
    type(0);
    EXPECT_TRUE(panel->isPanelVisible());
    clickAt(outside);
    EXPECT_FALSE(panel->isPanelVisible());
    EXPECT_EQ(menuGlanceMonitors(), 0);

    open();
    type(KeyCombo::escapeKeyCode);
    EXPECT_FALSE(panel->isPanelVisible());
    open();
    ASSERT_TRUE(panel->close());
    EXPECT_FALSE(panel->isPanelVisible());

    open();
    showStrip(0);
    coordinator->commandTabStep(false);
    scheduler.runUntilIdle();
    ASSERT_EQ(glanceOnScreen(), GlanceSource::commandTab);
    type(KeyCombo::escapeKeyCode);
    clickAt(outside);
    EXPECT_TRUE(panel->isPanelVisible());
    EXPECT_EQ(menuGlanceMonitors(), 2) << "removed only by hiding the glance";
}

TEST_F(MenuGlanceTest, ClicksOnTheProgramsOwnWindowsLeaveItForTheEntryToToggle) {
    makeCoordinator();
    open();
    // The click on the tray icon that opens the status menu, then the one on its entry.
    desktop.simulatedPointer().moveTo(outside);
    desktop.simulatedPointer().click(SimulatedPointer::Button::left, /*onOwnWindow=*/true);
    scheduler.runUntilIdle();
    ASSERT_TRUE(panel->isPanelVisible());
    coordinator->showWindows(notes);
    scheduler.runUntilIdle();
    EXPECT_FALSE(panel->isPanelVisible());
    EXPECT_EQ(menuGlanceMonitors(), 0);
}

}  // namespace
}  // namespace pellucine
