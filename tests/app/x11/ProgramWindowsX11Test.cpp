#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <array>
#include <memory>

#include "X11TestDesktop.h"
#include "app/BackgroundMove.h"
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
        return X11TestDesktop::waitUntil([&] {
            const QRect frame = desktop->frameOf(id());
            const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
            return desktop->activeWindow() == id() && window.size() == size &&
                   desktop->wmState(id()) == 1 && !fullScreenOnServer() &&
                   frame.width() > size.width() && frame.height() > size.height() &&
                   (frame.center() - centre).manhattanLength() <= 2;
        });
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

TEST_F(ProgramWindowsX11Test, AWindowTallerThanTheWorkAreaShrinksToFitInsideIt) {
    // Content that would rather be taller than the work area a 300-high dock leaves, with a
    // least size to match.
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* content = new QWidget;
    content->setMinimumSize(500, 600);
    layout->addWidget(content);
    window.setMinimumSize(500, 600);
    xcb_connection_t* c = desktop->get();
    const xcb_window_t dock = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, dock, desktop->root(), 0, 500, 1280, 300, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t dockType = desktop->atom("_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, dock, desktop->atom("_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM, 32, 1, &dockType);
    const std::array<uint32_t, 12> strut{0, 0, 0, 300, 0, 0, 0, 0, 0, 0, 0, 1279};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, dock, desktop->atom("_NET_WM_STRUT_PARTIAL"),
                        XCB_ATOM_CARDINAL, 32, strut.size(), strut.data());
    xcb_map_window(c, dock);
    desktop->sync();
    const auto workArea = [] { return QGuiApplication::primaryScreen()->availableGeometry(); };
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return workArea().height() == 500; }));

    present({500, 600});
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        const QRect frame = desktop->frameOf(id());
        // Decorated, inside the work area and as tall as it.
        return desktop->wmState(id()) == 1 && frame.height() > window.height() &&
               window.width() == 500 && workArea().contains(frame) &&
               frame.height() == workArea().height();
    })) << "frame "
        << desktop->frameOf(id()).y() << "+" << desktop->frameOf(id()).height();

    // With the dock gone, the window comes back at its size and keeps its least size again.
    xcb_destroy_window(c, dock);
    desktop->sync();
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return workArea().height() == 800; }));
    present({500, 600});
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        return window.size() == QSize(500, 600) && workArea().contains(desktop->frameOf(id()));
    }));
    EXPECT_EQ(window.minimumSize(), QSize(500, 600));
    EXPECT_EQ(content->minimumSize(), QSize(500, 600));
}

// Sees the presses the window itself receives.
class PressWatch final : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        presses += event->type() == QEvent::MouseButtonPress ? 1 : 0;
        return false;
    }
    int presses = 0;
};

TEST_F(ProgramWindowsX11Test, DraggingTheBackgroundMovesTheWindowButAButtonKeepsItsPress) {
    BackgroundMove::install(window);
    PressWatch watch;
    window.installEventFilter(&watch);
    auto* button = new QPushButton(QStringLiteral("Press"), &window);
    button->setGeometry(200, 150, 100, 40);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    present({500, 400});
    ASSERT_TRUE(presentedAt({500, 400}));
    const QRect before = desktop->frameOf(id());
    const auto xdotool = [](const QStringList& arguments) {
        QProcess process;
        process.start(QStringLiteral("xdotool"), arguments);
        return process.waitForFinished(5000) && process.exitCode() == 0;
    };
    const QPoint pressed = before.topLeft() + QPoint(40, 60);

    ASSERT_TRUE(xdotool({"mousemove", QString::number(pressed.x()), QString::number(pressed.y()),
                         "mousedown", "1"}));
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return watch.presses == 1; }));
    // The window catches up with the pointer, and the window manager takes the move over a
    // little later and follows the pointer from then on: the pointer goes on moving to and fro
    // by a pixel until the frame is where the pointer has taken it.
    const auto follows = [&](QPoint way) {
        int step = 0;
        return X11TestDesktop::waitUntil([&] {
            const QPoint to = pressed + way + QPoint(++step % 2, 0);
            xdotool({"mousemove", QString::number(to.x()), QString::number(to.y())});
            return desktop->frameOf(id()).topLeft() - before.topLeft() == to - pressed;
        });
    };
    EXPECT_TRUE(follows({120, 60}));
    EXPECT_TRUE(follows({160, 90}));
    ASSERT_TRUE(xdotool({"mouseup", "1"}));

    // A press the button takes leaves the window where it is.
    const QRect moved = desktop->frameOf(id());
    ASSERT_TRUE(
        xdotool({"mousemove", "--window", QString::number(id()), "250", "170", "click", "1"}));
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return clicks == 1; }));
    EXPECT_EQ(watch.presses, 1);
    EXPECT_EQ(desktop->frameOf(id()), moved);
}

}  // namespace
}  // namespace pellucine
