#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <memory>

#include "X11TestDesktop.h"
#include "app/PresentableWindow.h"
#include "app/QtPresentableWindow.h"
#include "app/X11WindowActivation.h"
#include "platform/x11/X11WindowRequests.h"

namespace pellucine {
namespace {

using testing::TestXterm;
using testing::X11TestDesktop;

// The program's windows presented through openbox, with activation through the window manager.
class ProgramWindowsX11Test : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "No X server to test against";
        }
        desktop = std::make_unique<X11TestDesktop>();
        connection = std::make_unique<X11Connection>();
        activation = std::make_unique<X11WindowActivation>(*connection);
        window.setWindowTitle(QStringLiteral("pellucine-presented"));
    }

    xcb_window_t id() { return static_cast<xcb_window_t>(window.winId()); }
    void present(QSize size) {
        presentWindow(QtPresentableWindow::of(window, activation.get()), size);
    }
    // The window has the focus, the content size and a frame in the middle of the screen.
    bool presentedAt(QSize size) {
        const bool ok = X11TestDesktop::waitUntil([&] {
            const QRect frame = desktop->frameOf(id());
            const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
            return desktop->activeWindow() == id() && window.size() == size &&
                   desktop->wmState(id()) == 1 && !fullScreenOnServer() &&
                   frame.width() > size.width() && frame.height() > size.height() &&
                   (frame.center() - centre).manhattanLength() <= 2;
        });
        if (!ok) {
            const QRect frame = desktop->frameOf(id());
            ADD_FAILURE() << "active " << desktop->activeWindow() << " ours " << id() << " size "
                          << window.width() << "x" << window.height() << " frame " << frame.x()
                          << "," << frame.y() << " " << frame.width() << "x" << frame.height()
                          << " state " << desktop->wmState(id());
        }
        return ok;
    }
    bool fullScreenOnServer() {
        return desktop->netWmState(id()).contains(desktop->atom("_NET_WM_STATE_FULLSCREEN"));
    }
    // Gives the focus to another client as a user's click would.
    void focusElsewhere(const TestXterm& xterm) {
        X11WindowRequests(*connection).activate(*xterm.window());
        ASSERT_TRUE(
            X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == *xterm.window(); }));
    }

    std::unique_ptr<X11TestDesktop> desktop;
    std::unique_ptr<X11Connection> connection;
    std::unique_ptr<X11WindowActivation> activation;
    QWidget window;
};

TEST_F(ProgramWindowsX11Test, APresentedWindowTakesTheFocusFromTheApplicationInFront) {
    TestXterm xterm(*desktop, QStringLiteral("pellucine-focus-holder"));
    ASSERT_TRUE(xterm.window());
    focusElsewhere(xterm);
    present({500, 400});
    EXPECT_TRUE(presentedAt({500, 400}));

    // Again once the other application has the focus back, after the user moved and resized it.
    focusElsewhere(xterm);
    window.resize(300, 200);
    window.move(10, 10);
    present({500, 400});
    EXPECT_TRUE(presentedAt({500, 400}));

    // Closed, it comes back the same way.
    window.close();
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(id()) != 1; }));
    focusElsewhere(xterm);
    present({520, 380});
    EXPECT_TRUE(presentedAt({520, 380}));
}

TEST_F(ProgramWindowsX11Test, AWindowInFullScreenLeavesItAndGetsItsSizeAndPlaceAfterwards) {
    window.resize(300, 200);
    window.showFullScreen();
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
        return fullScreenOnServer() &&
               window.size() == QGuiApplication::primaryScreen()->geometry().size();
    }));
    present({500, 400});
    EXPECT_TRUE(presentedAt({500, 400}));
    EXPECT_FALSE(fullScreenOnServer());
    EXPECT_FALSE(window.isFullScreen());

    // Zoomed: the same.
    window.showMaximized();
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return window.isMaximized(); }));
    present({500, 400});
    EXPECT_TRUE(presentedAt({500, 400}));
    EXPECT_FALSE(window.isMaximized());
}

}  // namespace
}  // namespace pellucine
