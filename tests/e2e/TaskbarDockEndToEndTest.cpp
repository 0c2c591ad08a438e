#include <gtest/gtest.h>
#include <xcb/xtest.h>

#include <QDir>
#include <QStandardPaths>
#include <functional>
#include <memory>

#include "EndToEndSession.h"
#include "X11TestDesktop.h"
#include "platform/x11/shell/X11DockLayout.h"
#include "support/Keysyms.h"

namespace pellucine {
namespace {

using testing::EndToEndSession;
using testing::ShownWindow;
using testing::Taskbar;
using testing::TaskbarLaunch;
using testing::WindowManager;
using testing::X11TestDesktop;

constexpr const char* glance = "Pellucine previews";
constexpr const char* dock = "Pellucine Dock";
constexpr uint32_t iconicState = 3;

bool fromDockHover(const QJsonObject& e) {
    return e.value("source").toString() == QLatin1String("dock-hover");
}

// Two xterms under openbox with a real taskbar, the program started once the taskbar has
// published both windows' buttons. Each case makes its session: a second monitor needs a wider
// screen.
class TaskbarDockEndToEndTest : public ::testing::Test {
  protected:
    // The desktop with the taskbar and the xterms (on the last monitor), then the program.
    void startDesktop(const TaskbarLaunch& taskbar, QSize screen = {1280, 800},
                      bool secondMonitor = false,
                      const std::function<void(PortablePreferences&)>& preferences = {}) {
        // The heavier taskbars run where scripts/test-wm-matrix, which installs them, asks.
        const bool heavy = taskbar.name == u"mate-panel" || taskbar.name == u"lxpanel";
        if (heavy && qEnvironmentVariableIsEmpty("PELLUCINE_TASKBAR_MATRIX")) {
            GTEST_SKIP() << taskbar.name.toStdString() << " runs in scripts/test-wm-matrix";
        }
        if (QStandardPaths::findExecutable(taskbar.program).isEmpty()) {
            FAIL() << taskbar.program.toStdString() << " is not installed";
        }
        session = std::make_unique<EndToEndSession>(WindowManager::openbox, screen);
        QString error;
        ASSERT_TRUE(session->start(error)) << error.toStdString();
        if (secondMonitor) {
            ASSERT_TRUE(session->splitIntoTwoMonitors()) << "the server lists no two monitors";
        }
        monitor = QRect(screen.width() - 1280, 0, 1280, screen.height());
        for (const QString title : {"dock-term-one", "dock-term-two"}) {
            const int x = monitor.x() + (xterms.isEmpty() ? 100 : 600);
            const auto xterm = session->startClient(
                QStringLiteral("xterm"),
                {"-T", title, "-geometry", QStringLiteral("60x15+%1+200").arg(x), "-e", "/bin/sh"},
                title);
            ASSERT_TRUE(xterm) << title.toStdString() << " did not appear";
            xterms.append(*xterm);
        }
        ASSERT_TRUE(session->startTaskbar(taskbar, error)) << error.toStdString();
        buttons = session->waitForButtons(xterms);
        ASSERT_EQ(buttons.size(), 2)
            << taskbar.name.toStdString() << " did not publish a button for each xterm";
        for (const QRect& button : buttons) {
            EXPECT_TRUE(monitor.contains(button)) << "a button off the xterms' monitor";
        }
        if (preferences) {
            ASSERT_TRUE(session->changePreferences(preferences));
        }
        // The taskbar stands in for the program's own Dock bar.
        ASSERT_TRUE(session->startProgram(2, error, /*dockBar=*/false)) << error.toStdString();
    }

    void TearDown() override {
        if (HasFailure() && session) {
            const ::testing::TestInfo* test =
                ::testing::UnitTest::GetInstance()->current_test_info();
            QString base = QStringLiteral("%1.%2").arg(test->test_suite_name(), test->name());
            base.replace(QLatin1Char('/'), QLatin1Char('.'));
            session->keepTraces(QDir::current().absoluteFilePath(base));
        }
        session.reset();
    }

    qsizetype mark() const { return session->events().size(); }
    // Moves the pointer there, as a mouse does.
    void movePointer(QPoint point) const {
        xcb_test_fake_input(session->desktop().get(), XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME,
                            session->desktop().root(), static_cast<int16_t>(point.x()),
                            static_cast<int16_t>(point.y()), 0);
        session->desktop().sync();
    }
    // Rests the pointer on the button: the Dock glance it opens, of `windows` windows (one
    // xterm's, each being an application of its own, unless told).
    std::optional<ShownWindow> hover(const QRect& button, std::optional<int> windows = 1) {
        const qsizetype before = mark();
        movePointer(button.center());
        const std::optional<QJsonObject> shown =
            session->waitForEvent("glance-shown", before, fromDockHover);
        if (!shown) {
            ADD_FAILURE() << "no Dock glance for the button at " << button.x() << "," << button.y();
            return std::nullopt;
        }
        if (windows) {
            EXPECT_EQ(shown->value("windowCount").toString().toInt(), *windows);
        }
        std::optional<ShownWindow> window;
        EXPECT_TRUE(session->waitUntilShown(QString::fromLatin1(glance), window));
        return window;
    }
    // The glance wholly on the button's monitor, on the screen's side of the button's panel:
    // above one at the bottom, below one at the top.
    void expectBesideItsPanel(const ShownWindow& shown, const QRect& button) const {
        const std::optional<ShownWindow> panel = session->dockAt(button.center());
        ASSERT_TRUE(panel) << "no panel under the button";
        const QRect& at = shown.rect;
        EXPECT_TRUE(monitor.contains(at))
            << "glance " << at.x() << "," << at.y() << " " << at.width() << "x" << at.height();
        if (button.center().y() > monitor.center().y()) {
            EXPECT_LT(at.bottom(), panel->rect.top())
                << "glance bottom " << at.bottom() << ", panel top " << panel->rect.top();
        } else {
            EXPECT_GT(at.top(), panel->rect.bottom())
                << "glance top " << at.top() << ", panel bottom " << panel->rect.bottom();
        }
    }
    // Onto the desktop right of the xterms, far from the panel and the glance: the glance goes
    // once the exit delay has passed.
    void moveOff() {
        movePointer(QPoint(monitor.right() - 150, monitor.center().y()));
        EXPECT_TRUE(session->waitUntilGone(QString::fromLatin1(glance)))
            << "the glance stayed after the pointer left";
    }

    std::unique_ptr<EndToEndSession> session;
    QRect monitor;
    QList<xcb_window_t> xterms;
    QList<QRect> buttons;
};

// The same road on each taskbar: tint2 and xfce4-panel run in CI, the heavier ones where the
// script that runs them has installed them.
class TaskbarMatrixTest : public TaskbarDockEndToEndTest,
                          public ::testing::WithParamInterface<Taskbar> {};

TEST_P(TaskbarMatrixTest, HoveringAnXtermsButtonOpensXTermsGlanceBesideThePanel) {
    ASSERT_NO_FATAL_FAILURE(startDesktop(TaskbarLaunch::of(GetParam())));
    if (IsSkipped()) {
        return;
    }
    const std::optional<ShownWindow> shown = hover(buttons[0]);
    ASSERT_TRUE(shown);
    expectBesideItsPanel(*shown, buttons[0]);
    moveOff();
}

TEST_F(TaskbarDockEndToEndTest, AWindowControlOnAGlanceTileActsOnItsWindow) {
    ASSERT_NO_FATAL_FAILURE(startDesktop(
        TaskbarLaunch::of(Taskbar::tint2), {1280, 800}, false,
        [](PortablePreferences& p) { p.dockPreviewStyle = DockPreviewStyle::thumbnails; }));
    // The second xterm's button: its one window.
    const std::optional<ShownWindow> shown = hover(buttons[1]);
    ASSERT_TRUE(shown);
    // The tile's menu, which takes the keyboard once it is up: Focus, then Minimize.
    session->click(shown->rect.center(), 3);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return session->keyboardHeldElsewhere(); }, 8000))
        << "the tile's menu did not open";
    for (const xcb_keysym_t key : {testing::down, testing::down, testing::returnKey}) {
        session->keyboard().press(key);
        session->keyboard().release(key);
    }
    session->desktop().sync();
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
        return session->desktop().wmState(xterms[1]) == iconicState;
    })) << "the hovered xterm was not minimized";
    EXPECT_NE(session->desktop().wmState(xterms[0]), iconicState)
        << "the other xterm was minimized";
}

TEST_F(TaskbarDockEndToEndTest, AKilledTaskbarLeavesNoGhostButtonsAndTheDockBarComesBack) {
    ASSERT_NO_FATAL_FAILURE(startDesktop(TaskbarLaunch::of(Taskbar::tint2)));
    session->killTaskbar();
    // Its buttons stay written on the clients.
    ASSERT_EQ(session->iconGeometry(xterms[0]), buttons[0]);
    std::optional<ShownWindow> bar;
    ASSERT_TRUE(session->waitUntilShown(QString::fromLatin1(dock), bar))
        << "the Dock bar did not come up";
    const qsizetype ghost = mark();
    movePointer(buttons[0].center());
    EXPECT_FALSE(session->waitForEvent("glance-shown", ghost, fromDockHover))
        << "a glance for the dead taskbar's button";
    // The bar's items open their glances all the while.
    int items = 1;
    while (items < 8 && X11DockLayout::compute(items, monitor, 1.0).bar != bar->rect) {
        ++items;
    }
    const X11DockLayout layout = X11DockLayout::compute(items, monitor, 1.0);
    ASSERT_EQ(bar->rect, layout.bar) << "the bar is laid out for no number of items";
    EXPECT_TRUE(hover(layout.items[0].translated(bar->rect.topLeft()), std::nullopt));
}

TEST_F(TaskbarDockEndToEndTest, ATaskbarOnTheSecondMonitorOpensItsGlanceThere) {
    ASSERT_NO_FATAL_FAILURE(
        startDesktop(TaskbarLaunch::of(Taskbar::tint2, 1), {2560, 800}, /*secondMonitor=*/true));
    const std::optional<ShownWindow> shown = hover(buttons[0]);
    ASSERT_TRUE(shown);
    expectBesideItsPanel(*shown, buttons[0]);
    moveOff();
}

std::string taskbarName(const ::testing::TestParamInfo<Taskbar>& info) {
    QString name = TaskbarLaunch::of(info.param).name;
    return name.remove(QLatin1Char('-')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Taskbars, TaskbarMatrixTest,
                         ::testing::Values(Taskbar::tint2, Taskbar::xfce4Panel, Taskbar::matePanel,
                                           Taskbar::lxpanel),
                         taskbarName);

}  // namespace

namespace testing {
void PrintTo(Taskbar taskbar, std::ostream* out) {
    *out << TaskbarLaunch::of(taskbar).name.toStdString();
}
}  // namespace testing

}  // namespace pellucine
