#include <gmock/gmock.h>

#include <QScopeGuard>

#include "X11TestDesktop.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11WindowReader.h"
#include "platform/x11/X11WindowRequests.h"

namespace pellucine {
namespace {

using testing::TestXterm;
using testing::X11Test;
using testing::X11TestDesktop;

class X11WindowRequestsTest : public X11Test {
  protected:
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped()) {
            return;
        }
        reader = std::make_unique<X11WindowReader>(*connection);
        requests = std::make_unique<X11WindowRequests>(*connection);
    }

    X11WindowInfo read(xcb_window_t window) {
        auto info = reader->readWindow(window);
        EXPECT_TRUE(info);
        return info.value_or(X11WindowInfo{});
    }

    std::unique_ptr<X11WindowReader> reader;
    std::unique_ptr<X11WindowRequests> requests;
};

TEST_F(X11WindowRequestsTest, IconifiesAndDeiconifiesOnlyTheGivenWindow) {
    TestXterm target(*desktop, QStringLiteral("requests-iconify"));
    TestXterm bystander(*desktop, QStringLiteral("requests-bystander"), "40x10+700+100");
    ASSERT_TRUE(target.window() && bystander.window());
    const xcb_window_t window = *target.window();

    requests->iconify(window);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(window) == 3; }));
    EXPECT_TRUE(read(window).isMinimized());
    EXPECT_FALSE(read(window).isOnScreen());
    EXPECT_TRUE(desktop->isViewable(*bystander.window()));

    requests->deiconify(window);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(window) == 1; }));
    EXPECT_FALSE(read(window).isMinimized());
    EXPECT_TRUE(read(window).isOnScreen());
}

TEST_F(X11WindowRequestsTest, TurnsFullScreenOnAndOff) {
    TestXterm target(*desktop, QStringLiteral("requests-fullscreen"));
    ASSERT_TRUE(target.window());
    const xcb_window_t window = *target.window();
    const xcb_atom_t fullScreen = desktop->atom("_NET_WM_STATE_FULLSCREEN");

    requests->setFullScreen(window, true);
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return desktop->netWmState(window).contains(fullScreen); }));
    EXPECT_TRUE(read(window).isFullScreen);
    // A full-screen window covers the whole screen without decorations.
    EXPECT_TRUE(X11TestDesktop::waitUntil(
        [&] { return read(window).frameRect() == QRect(0, 0, 1280, 800); }));

    requests->setFullScreen(window, false);
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return !desktop->netWmState(window).contains(fullScreen); }));
    EXPECT_FALSE(read(window).isFullScreen);
}

TEST_F(X11WindowRequestsTest, MovesAndResizesTheFrameDecorationsIncluded) {
    TestXterm target(*desktop, QStringLiteral("requests-move"));
    ASSERT_TRUE(target.window());
    const xcb_window_t window = *target.window();
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return read(window).extents.top > 0; }));
    const X11WindowInfo before = read(window);

    // The left half of the screen, as a placement asks for it.
    const QRect wanted(0, 0, 640, 800);
    requests->moveResize(before, wanted);
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return desktop->frameOf(window).topLeft() == wanted.topLeft(); }));
    // xterm grows in character cells, so the frame may fall short by less than one cell.
    const QSize step = before.sizeIncrement;
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
        const QRect frame = desktop->frameOf(window);
        return frame.width() <= wanted.width() && frame.width() > wanted.width() - step.width() &&
               frame.height() <= wanted.height() &&
               frame.height() > wanted.height() - step.height();
    })) << "frame "
        << desktop->frameOf(window).width() << "x" << desktop->frameOf(window).height();
    // The window manager resizes its frame and then the client inside it, so the client's own
    // geometry may still be catching up here.
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        return read(window).frameRect() == desktop->frameOf(window);
    })) << "read "
        << read(window).frameRect().width() << "x" << read(window).frameRect().height();
}

TEST_F(X11WindowRequestsTest, RaisesAndActivatesTheGivenWindow) {
    TestXterm first(*desktop, QStringLiteral("requests-first"), "40x10+100+100");
    TestXterm second(*desktop, QStringLiteral("requests-second"), "40x10+150+150");
    ASSERT_TRUE(first.window() && second.window());

    requests->activate(*first.window());
    ASSERT_TRUE(
        X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == *first.window(); }));
    // The window manager announces the focus before the new stacking order.
    EXPECT_TRUE(
        X11TestDesktop::waitUntil([&] { return desktop->stacking().value(0) == *first.window(); }));

    requests->raise(*second.window());
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return desktop->stacking().value(0) == *second.window(); }));

    requests->activate(*second.window());
    ASSERT_TRUE(
        X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == *second.window(); }));
}

TEST_F(X11WindowRequestsTest, ActivatingAMinimizedWindowBringsItBack) {
    TestXterm target(*desktop, QStringLiteral("requests-activate-minimized"));
    ASSERT_TRUE(target.window());
    const xcb_window_t window = *target.window();
    requests->iconify(window);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(window) == 3; }));

    requests->activate(window);
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return desktop->activeWindow() == window && desktop->wmState(window) == 1; }));
}

TEST_F(X11WindowRequestsTest, ActivatingAWindowOnAnotherDesktopGoesThereFirst) {
    TestXterm target(*desktop, QStringLiteral("requests-activate-elsewhere"));
    TestXterm bystander(*desktop, QStringLiteral("requests-stays-here"), "40x10+700+100");
    ASSERT_TRUE(target.window() && bystander.window());
    const xcb_window_t window = *target.window();
    ASSERT_EQ(desktop->currentDesktop(), 0u);
    const auto backHome = qScopeGuard([&] {
        desktop->sendToRoot(desktop->root(), "_NET_CURRENT_DESKTOP", {0, 0, 0, 0, 0});
    });
    desktop->sendToRoot(window, "_NET_WM_DESKTOP", {1, 2, 0, 0, 0});
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return desktop->cardinal(window, "_NET_WM_DESKTOP") == 1u; }));
    requests->activate(*bystander.window());
    ASSERT_TRUE(
        X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == *bystander.window(); }));

    requests->activate(window);
    EXPECT_EQ(requests->activationPending(), window);
    // The manager may focus the window itself on switching, before the program has heard of
    // the switch and sent its own request.
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        return requests->activationPending() == XCB_NONE && desktop->currentDesktop() == 1u &&
               desktop->activeWindow() == window;
    })) << "desktop "
        << desktop->currentDesktop().value_or(99) << ", active " << desktop->activeWindow();
    EXPECT_EQ(desktop->cardinal(window, "_NET_WM_DESKTOP"), 1u);

    // Back on the first desktop, a window there is activated at once.
    desktop->sendToRoot(desktop->root(), "_NET_CURRENT_DESKTOP", {0, 0, 0, 0, 0});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->currentDesktop() == 0u; }));
    requests->activate(*bystander.window());
    EXPECT_EQ(requests->activationPending(), XCB_NONE);
    EXPECT_TRUE(
        X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == *bystander.window(); }));
    testing::settle(*connection);
    EXPECT_EQ(desktop->currentDesktop(), 0u);
}

TEST_F(X11WindowRequestsTest, MarksTheUserTimeWhereTheWindowKeepsIt) {
    xcb_connection_t* c = desktop->get();
    const auto create = [&] {
        const xcb_window_t window = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, desktop->root(), 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        return window;
    };
    const auto userTime = [&](xcb_window_t window) -> std::optional<quint32> {
        const std::optional<X11Property> p =
            takeProperty(c, requestProperty(c, window, desktop->atom("_NET_WM_USER_TIME"), 1));
        return p ? p->first32() : std::nullopt;
    };
    const xcb_window_t plain = create();
    const xcb_window_t withTimeWindow = create();
    const xcb_window_t timeWindow = create();
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, withTimeWindow,
                        desktop->atom("_NET_WM_USER_TIME_WINDOW"), XCB_ATOM_WINDOW, 32, 1,
                        &timeWindow);
    desktop->sync();

    const xcb_timestamp_t first = requests->markUserTime(plain);
    EXPECT_NE(first, XCB_CURRENT_TIME);
    EXPECT_EQ(userTime(plain), first);
    // Kept on the window it names, the window itself untouched.
    const xcb_timestamp_t second = requests->markUserTime(withTimeWindow);
    EXPECT_GE(second, first);
    EXPECT_EQ(userTime(timeWindow), second);
    EXPECT_FALSE(userTime(withTimeWindow));
    for (const xcb_window_t window : {plain, withTimeWindow, timeWindow}) {
        xcb_destroy_window(c, window);
    }
    desktop->sync();
}

TEST_F(X11WindowRequestsTest, ClosesThroughTheWindowsOwnProtocol) {
    TestXterm target(*desktop, QStringLiteral("requests-close"));
    ASSERT_TRUE(target.window());
    ASSERT_TRUE(requests->close(read(*target.window())));
    // xterm answers WM_DELETE_WINDOW by quitting.
    EXPECT_TRUE(target.process().waitForFinished(8000));
    EXPECT_FALSE(desktop->findClient(QStringLiteral("requests-close")));
}

TEST_F(X11WindowRequestsTest, LeavesAWindowWithoutTheCloseProtocolAlone) {
    // A managed window of the test's own that does not take WM_DELETE_WINDOW.
    xcb_connection_t* c = desktop->get();
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, desktop->root(), 300, 300, 200, 150, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(c, window);
    xcb_flush(c);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->clients().contains(window); }));

    const X11WindowInfo info = read(window);
    EXPECT_FALSE(info.acceptsDelete);
    EXPECT_FALSE(requests->close(info));
    // Still there, and the test's connection still alive: nothing was killed.
    testing::settle(*connection);
    EXPECT_TRUE(desktop->isViewable(window));
    EXPECT_EQ(xcb_connection_has_error(c), 0);
    xcb_destroy_window(c, window);
    xcb_flush(c);
}

TEST(X11GravityTest, PlacesTheRequestSoThatTheFrameLandsWhereAsked) {
    const X11FrameExtents e{2, 4, 20, 6};
    const QRect frame(100, 200, 300, 400);
    EXPECT_EQ(configurePosition(frame, e, XCB_GRAVITY_NORTH_WEST), QPoint(100, 200));
    EXPECT_EQ(configurePosition(frame, e, XCB_GRAVITY_BIT_FORGET), QPoint(100, 200));
    // Static gravity names the client's own corner, inside the decorations.
    EXPECT_EQ(configurePosition(frame, e, XCB_GRAVITY_STATIC), QPoint(102, 220));
    EXPECT_EQ(configurePosition(frame, e, XCB_GRAVITY_NORTH), QPoint(103, 200));
    EXPECT_EQ(configurePosition(frame, e, XCB_GRAVITY_CENTER), QPoint(103, 213));
    EXPECT_EQ(configurePosition(frame, e, XCB_GRAVITY_SOUTH_EAST), QPoint(106, 226));
    EXPECT_EQ(configurePosition(frame, e, XCB_GRAVITY_WEST), QPoint(100, 213));
    EXPECT_EQ(configurePosition(frame, e, XCB_GRAVITY_SOUTH_WEST), QPoint(100, 226));
    EXPECT_EQ(configurePosition(frame, e, XCB_GRAVITY_EAST), QPoint(106, 213));

    EXPECT_EQ(clientSizeFor(frame, e), QSize(294, 374));
    // A frame smaller than its decorations still asks for a client of 1 by 1.
    EXPECT_EQ(clientSizeFor(QRect(0, 0, 3, 10), e), QSize(1, 1));
}

TEST(X11DesktopToShowTest, SwitchesOnlyForAWindowOnAnotherKnownDesktop) {
    EXPECT_EQ(desktopToShow(2u, 0u), 2u);
    EXPECT_EQ(desktopToShow(0u, 3u), 0u);
    EXPECT_EQ(desktopToShow(1u, 1u), std::nullopt);
    // On every desktop, or either side unknown: nothing to switch to.
    EXPECT_EQ(desktopToShow(0xFFFFFFFFu, 0u), std::nullopt);
    EXPECT_EQ(desktopToShow(std::nullopt, 0u), std::nullopt);
    EXPECT_EQ(desktopToShow(1u, std::nullopt), std::nullopt);
    EXPECT_EQ(desktopToShow(0xFFFFFFFEu, 0u), 0xFFFFFFFEu);
}

}  // namespace
}  // namespace pellucine
