#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QWidget>
#include <QWindow>
#include <memory>

#include "X11TestDesktop.h"
#include "app/StatusItem.h"
#include "app/StatusMenu.h"

namespace pellucine {
namespace {

using testing::X11TestDesktop;

// A system tray on the fixture's desktop for the length of one test: trayer, docked at the top
// edge, holding icons by the XEmbed tray protocol.
class StatusItemX11Test : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "No X server to test against";
        }
        desktop = std::make_unique<X11TestDesktop>();
        trayHost.start(QStringLiteral("trayer"),
                       {"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width",
                        "160", "--height", "28", "--SetPartialStrut", "false"});
        ASSERT_TRUE(trayHost.waitForStarted(5000)) << "trayer did not start";
        ASSERT_TRUE(X11TestDesktop::waitUntil([] { return StatusItem::isTrayAvailable(); }))
            << "no tray appeared";
    }

    void TearDown() override {
        trayHost.kill();
        trayHost.waitForFinished(5000);
        // Gone from the server before the next test looks at the desktop.
        EXPECT_TRUE(X11TestDesktop::waitUntil([] { return !StatusItem::isTrayAvailable(); }));
    }

    // The icon's own window, which the tray takes in.
    static QWidget* iconWidget() {
        for (QWidget* widget : QApplication::allWidgets()) {
            if (qstrcmp(widget->metaObject()->className(), "QSystemTrayIconSys") == 0) {
                return widget;
            }
        }
        return nullptr;
    }

    xcb_window_t parentOf(xcb_window_t window) const {
        auto* reply =
            xcb_query_tree_reply(desktop->get(), xcb_query_tree(desktop->get(), window), nullptr);
        const xcb_window_t parent = reply != nullptr ? reply->parent : XCB_NONE;
        free(reply);
        return parent;
    }

    // Where the window's top-left corner is on the screen.
    QPoint onScreen(xcb_window_t window) const {
        auto* reply = xcb_translate_coordinates_reply(
            desktop->get(),
            xcb_translate_coordinates(desktop->get(), window, desktop->root(), 0, 0), nullptr);
        const QPoint point = reply != nullptr ? QPoint(reply->dst_x, reply->dst_y) : QPoint(-1, -1);
        free(reply);
        return point;
    }

    std::unique_ptr<X11TestDesktop> desktop;
    QProcess trayHost;
};

TEST_F(StatusItemX11Test, TheItemSitsInTheTrayAndAClickOpensTheProgramsOwnMenu) {
    int openings = 0;
    StatusMenu menu([&] {
        ++openings;
        StatusMenuState state;
        state.accessibility = state.screenRecording = PermissionState::granted;
        state.targetApplicationName = QStringLiteral("Notes");
        return std::pair{makeStatusMenu(state), ColorScheme::light};
    });
    StatusItem item(menu, ColorScheme::light, SwitcherBinding{});
    item.setVisible(true);
    EXPECT_TRUE(item.isReachable());

    // Embedded: the icon's window is mapped inside a window of the tray, not on the root.
    QWidget* icon = nullptr;
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
        icon = iconWidget();
        if (icon == nullptr || icon->windowHandle() == nullptr) {
            return false;
        }
        const auto window = static_cast<xcb_window_t>(icon->winId());
        const xcb_window_t parent = parentOf(window);
        // Once the program knows where the tray put it, the tray is done placing it.
        return parent != XCB_NONE && parent != desktop->root() && desktop->isViewable(window) &&
               item.trayIcon().geometry().topLeft() == onScreen(window) &&
               !item.trayIcon().geometry().isEmpty();
    })) << "the icon was not taken into the tray";
    const QSize size = item.trayIcon().geometry().size();

    QProcess click;
    // Placed against the icon's window as the server has it when the pointer moves; the server
    // carries the move out before the click.
    click.start(QStringLiteral("xdotool"), {"mousemove", "--window", QString::number(icon->winId()),
                                            QString::number(size.width() / 2),
                                            QString::number(size.height() / 2), "click", "1"});
    ASSERT_TRUE(click.waitForFinished(5000));
    ASSERT_EQ(click.exitCode(), 0) << click.readAllStandardError().toStdString();

    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return menu.menu().isVisible(); }))
        << "the menu did not open";
    EXPECT_EQ(openings, 1);
    EXPECT_EQ(menu.action(StatusMenuItem::showWindows)->text(), "Show Notes Windows");
    // The rows are the program's own widgets, shown in the menu's own window.
    const QAction* quit = menu.action(StatusMenuItem::quit);
    EXPECT_TRUE(menu.menu().actionGeometry(const_cast<QAction*>(quit)).isValid());
    EXPECT_TRUE(desktop->isViewable(static_cast<xcb_window_t>(menu.menu().winId())));
    menu.menu().hide();

    item.setVisible(false);
    EXPECT_FALSE(item.isReachable());
}

}  // namespace
}  // namespace pellucine
