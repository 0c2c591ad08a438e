#include <gtest/gtest.h>
#include <xcb/xtest.h>

#include <QCoreApplication>
#include <QWidget>

#include "X11PanelTest.h"
#include "panels/GlanceContentView.h"
#include "panels/SwitcherPanelController.h"
#include "platform/x11/X11KeyboardMap.h"

namespace pellucine {
namespace {

using testing::X11TestDesktop;

constexpr xcb_keysym_t escapeKeysym = 0xff1b;

// The coordinator over the X11 port with the program's preview panel: the menu glance of the
// fixture's first xterm, closed by the user in another application.
class MenuGlanceX11Test : public testing::X11PanelTest {
  protected:
    void SetUp() override {
        X11PanelTest::SetUp();
        if (IsSkipped() || !model) {
            return;
        }
        coordinator = makeCoordinator();
        coordinator->start();
        const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
        ASSERT_TRUE(alpha);
        const auto pid = desktop->pidOf(*alpha);
        ASSERT_TRUE(pid);
        alphaPID = *pid;
        layout = X11KeyboardLayout::read(desktop->get());
    }
    void TearDown() override {
        coordinator.reset();
        X11PanelTest::TearDown();
    }

    // Opens the menu glance and waits until it is on screen.
    void open() {
        coordinator->showWindows(alphaPID);
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return isGlancePanelVisible(); }));
        ASSERT_EQ(lastShownGlanceSource(), QStringLiteral("menu"));
    }
    bool closed() const { return !isGlancePanelVisible(); }
    // The top-left corner of the root, outside the panel, which stands over the middle.
    GlobalPoint outsideThePanel() {
        const double mainHeight = port->screenLayout().screens().value(0).frame.height;
        const GlobalPoint corner{4, 4};
        EXPECT_FALSE(glancePanel->panelFrame().contains(toScreenSpace(corner, mainHeight)));
        return corner;
    }
    void clickAt(GlobalPoint point) {
        xcb_connection_t* c = desktop->get();
        xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, desktop->root(),
                            static_cast<int16_t>(point.x), static_cast<int16_t>(point.y), 0);
        xcb_test_fake_input(c, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        desktop->sync();
    }
    void typeKey(xcb_keysym_t keysym) {
        const auto keycode = layout.keycodeOf(keysym);
        ASSERT_TRUE(keycode);
        xcb_test_fake_input(desktop->get(), XCB_KEY_PRESS, *keycode, XCB_CURRENT_TIME, XCB_NONE, 0,
                            0, 0);
        xcb_test_fake_input(desktop->get(), XCB_KEY_RELEASE, *keycode, XCB_CURRENT_TIME, XCB_NONE,
                            0, 0, 0);
        desktop->sync();
    }

    std::unique_ptr<AppCoordinator> coordinator;
    X11KeyboardLayout layout;
    qint32 alphaPID = 0;
};

TEST_F(MenuGlanceX11Test, AClickOutsideThePanelClosesIt) {
    open();
    clickAt(outsideThePanel());
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return closed(); }));
}

// The click that opens the status menu lands on the program's tray icon, and the one that picks
// its entry on the program's menu: neither closes the glance, so the entry closes it.
TEST_F(MenuGlanceX11Test, AClickOnAWindowOfTheProgramLeavesItForTheEntryToClose) {
    open();
    QWidget own;
    own.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    own.setAttribute(Qt::WA_ShowWithoutActivating);
    own.setGeometry(8, 8, 80, 60);
    own.show();
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return desktop->isViewable(static_cast<xcb_window_t>(own.winId())); }));
    QList<PointerEvent> seen;
    const Subscription watch = port->pointerEvents().monitor(
        PointerEventSource::clicks, [&](const PointerEvent& event) { seen.append(event); });
    clickAt({48, 38});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return seen.size() == 2; }));
    EXPECT_TRUE(seen.front().toOwnWindow);
    // The glance's own handling of the click has run by now.
    QCoreApplication::processEvents();
    EXPECT_FALSE(closed());
    coordinator->showWindows(alphaPID);
    EXPECT_TRUE(closed());
}

TEST_F(MenuGlanceX11Test, EscapeClosesIt) {
    open();
    typeKey(escapeKeysym);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return closed(); }));
    EXPECT_EQ(events.count(QStringLiteral("glance-shown")), 1);
}

}  // namespace
}  // namespace pellucine
