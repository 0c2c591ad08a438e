#include <gtest/gtest.h>
#include <xcb/xtest.h>

#include "X11PanelTest.h"
#include "panels/GlanceContentView.h"
#include "panels/SwitcherPanelController.h"
#include "panels/WindowItem.h"
#include "platform/x11/X11ShellContent.h"

namespace pellucine {
namespace {

using testing::X11TestDesktop;

// The coordinator over the X11 port with the program's preview panel and the port's own Dock
// bar: the pointer resting on the icon of the fixture's first xterm.
class DockGlanceX11Test : public testing::X11PanelTest {
  protected:
    void SetUp() override {
        store.portable.dockHoverDelayMilliseconds = 100;
        X11PanelTest::SetUp();
        if (IsSkipped() || !model) {
            return;
        }
        alpha = desktop->findClient(QStringLiteral("pellucine-alpha")).value_or(XCB_NONE);
        beta = desktop->findClient(QStringLiteral("pellucine-beta")).value_or(XCB_NONE);
        ASSERT_NE(alpha, XCB_NONE);
        alphaPID = desktop->pidOf(alpha).value_or(0);
        port->dockBar().setWanted(true);
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
            testing::settle(port->state().connection());
            return icon().has_value() && desktop->isViewable(port->dockBar().barWindow());
        }));

        coordinator = makeCoordinator();
        coordinator->start();
        ASSERT_GE(events.count(QStringLiteral("dock-hover-monitor-started")), 1);
    }
    void TearDown() override {
        coordinator.reset();
        if (port) {
            port->dockBar().setWanted(false);
        }
        X11PanelTest::TearDown();
    }

    // The frame of alpha's item in the shell's Dock.
    std::optional<GlobalRect> icon() {
        const auto content = port->state().shell();
        if (!content) {
            return std::nullopt;
        }
        const NativeSwitcherProbe probe(*port);
        for (const X11ShellContent::Item& item : content->dock.items) {
            const GlobalPoint middle{item.frame.midX(), item.frame.midY()};
            if (probe.processIdentifierAtDockPoint(middle) == alphaPID) {
                return item.frame;
            }
        }
        return std::nullopt;
    }
    void pointAt(GlobalPoint point) {
        xcb_test_fake_input(desktop->get(), XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, desktop->root(),
                            int16_t(point.x), int16_t(point.y), 0);
        desktop->sync();
    }
    bool glanceIsUp() const {
        return isGlancePanelVisible() && lastShownGlanceSource() == QLatin1String("dock-hover");
    }
    // Rests on alpha's icon until its Dock glance is up.
    void hover() {
        const GlobalRect frame = *icon();
        pointAt(GlobalPoint{frame.midX(), frame.midY()});
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return glanceIsUp(); }));
    }

    std::unique_ptr<AppCoordinator> coordinator;
    xcb_window_t alpha = XCB_NONE;
    xcb_window_t beta = XCB_NONE;
    qint32 alphaPID = 0;
};

TEST_F(DockGlanceX11Test, RestingOnAnIconShowsItsWindowsAboveItUntilThePointerLeaves) {
    hover();
    const QList<WindowDescriptor> shown = model->switcherSelection().value().windows;
    ASSERT_FALSE(shown.isEmpty());
    for (const WindowDescriptor& window : shown) {
        EXPECT_EQ(window.ownerPID, alphaPID);
    }
    // Above the bar, beside the icon.
    const GlobalRect frame = *icon();
    const ScreenRect panel = glancePanel->panelFrame();
    const double mainHeight = port->screenLayout().screens().value(0).frame.height;
    EXPECT_GE(panel.minY(), mainHeight - frame.minY());
    EXPECT_LE(panel.minX(), frame.midX());
    EXPECT_GE(panel.maxX(), frame.midX());

    pointAt(GlobalPoint{4, 4});
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return !isGlancePanelVisible(); }));
}

TEST_F(DockGlanceX11Test, AClickOnAPreviewActivatesThatWindow) {
    port->workspace().activate(*desktop->pidOf(beta), {});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == beta; }));
    hover();
    const WindowItem* tile = glancePanel->content()->items().value(0);
    ASSERT_NE(tile, nullptr);
    ASSERT_EQ(tile->state().window.id, alpha);
    const QPoint at = tile->mapToGlobal(tile->rect().center());
    pointAt(GlobalPoint{double(at.x()), double(at.y())});
    xcb_test_fake_input(desktop->get(), XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(desktop->get(), XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    desktop->sync();
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == alpha; }));
}

}  // namespace
}  // namespace pellucine
