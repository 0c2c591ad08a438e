#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <memory>

#include "X11TestDesktop.h"
#include "app/ProgramActivationPolicy.h"
#include "app/X11WindowListing.h"

namespace pellucine {
namespace {

using testing::X11TestDesktop;

class WindowListingX11Test : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "No X server to test against";
        }
        desktop = std::make_unique<X11TestDesktop>();
        skipTaskbar = desktop->atom("_NET_WM_STATE_SKIP_TASKBAR");
        skipPager = desktop->atom("_NET_WM_STATE_SKIP_PAGER");
    }

    // Shows a window and waits until the window manager manages it.
    xcb_window_t show(QWidget& window, const QString& title) {
        window.setWindowTitle(title);
        window.resize(200, 120);
        window.show();
        const auto id = static_cast<xcb_window_t>(window.windowHandle()->winId());
        EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(id) == 1; }));
        return id;
    }
    // Whether the window is out of the taskbar and the pager, once the state settles there.
    bool becomes(xcb_window_t window, bool unlisted) {
        return X11TestDesktop::waitUntil([&] {
            const QList<quint32> state = desktop->netWmState(window);
            return state.contains(skipTaskbar) == unlisted && state.contains(skipPager) == unlisted;
        });
    }

    std::unique_ptr<X11TestDesktop> desktop;
    xcb_atom_t skipTaskbar = XCB_NONE;
    xcb_atom_t skipPager = XCB_NONE;
};

TEST_F(WindowListingX11Test, AnAccessoryProgramsWindowsAreMappedOutOfTheTaskbarAndPager) {
    ProgramActivationPolicy policy(ActivationPolicy::accessory, X11WindowListing::forApplication());
    QWidget settings;
    const xcb_window_t id = show(settings, QStringLiteral("pellucine-listing-accessory"));
    EXPECT_TRUE(becomes(id, true));
    // The window manager carried the states over from the property: they were set before the
    // window was first mapped.
    EXPECT_EQ(desktop->netWmState(id).count(skipTaskbar), 1);
}

TEST_F(WindowListingX11Test, APolicyChangeMovesAMappedWindowInAndOutOfTheTaskbar) {
    ProgramActivationPolicy policy(ActivationPolicy::regular, X11WindowListing::forApplication());
    QWidget settings;
    const xcb_window_t id = show(settings, QStringLiteral("pellucine-listing-change"));
    EXPECT_TRUE(becomes(id, false));
    policy.setPolicy(ActivationPolicy::accessory);
    EXPECT_TRUE(becomes(id, true));
    policy.setPolicy(ActivationPolicy::regular);
    EXPECT_TRUE(becomes(id, false));
    // Shown again after hiding, the window takes the current policy again.
    policy.setPolicy(ActivationPolicy::accessory);
    settings.hide();
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(id) != 1; }));
    policy.setPolicy(ActivationPolicy::regular);
    settings.show();
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(id) == 1; }));
    EXPECT_TRUE(becomes(id, false));
}

}  // namespace
}  // namespace pellucine
