#include <gtest/gtest.h>
#include <xcb/xtest.h>

#include <QScopeGuard>
#include <array>
#include <cstdlib>

#include "X11TestDesktop.h"
#include "base/ManualScheduler.h"
#include "base/RecordingEventLog.h"
#include "coordination/DockHoverMonitor.h"
#include "core/AccessibilityWindowService.h"
#include "core/NativeSwitcherProbe.h"
#include "panels/PreviewPanelPlacement.h"
#include "platform/x11/X11ShellContent.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using testing::TestXterm;
using testing::X11PortTest;
using testing::X11TestDesktop;

// A dock window of another client, placed where it asks to be.
class ForeignDock {
  public:
    ForeignDock(const X11TestDesktop& desktop, const QRect& frame) : desktop_(desktop) {
        xcb_connection_t* c = desktop.get();
        window_ = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window_, desktop.root(), int16_t(frame.x()),
                          int16_t(frame.y()), uint16_t(frame.width()), uint16_t(frame.height()), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const xcb_atom_t type = desktop.atom("_NET_WM_WINDOW_TYPE_DOCK");
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, desktop.atom("_NET_WM_WINDOW_TYPE"),
                            XCB_ATOM_ATOM, 32, 1, &type);
        const std::array<uint32_t, 18> hints{1 | 2, uint32_t(frame.x()), uint32_t(frame.y()),
                                             uint32_t(frame.width()), uint32_t(frame.height())};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NORMAL_HINTS,
                            XCB_ATOM_WM_SIZE_HINTS, 32, hints.size(), hints.data());
        xcb_map_window(c, window_);
        desktop.sync();
        X11TestDesktop::waitUntil([&] { return desktop.clients().contains(window_); });
    }
    ~ForeignDock() {
        xcb_destroy_window(desktop_.get(), window_);
        desktop_.sync();
    }

  private:
    const X11TestDesktop& desktop_;
    xcb_window_t window_ = XCB_NONE;
};

// Three applications of their own, launched in turn, and the port's Dock bar wanted.
class X11DockBarTest : public X11PortTest {
  protected:
    void SetUp() override {
        X11PortTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        probe = std::make_unique<NativeSwitcherProbe>(*port);
        const char* names[] = {"Alder", "Beech", "Cypress"};
        for (int i = 0; i < 3; ++i) {
            xterms[i] = std::make_unique<TestXterm>(
                *desktop, QStringLiteral("dock-%1").arg(names[i]),
                QStringLiteral("50x10+%1+%2").arg(80 + 160 * i).arg(60 + 80 * i),
                QStringList{QStringLiteral("-class"), QStringLiteral("Pellucine%1").arg(names[i])});
            ASSERT_TRUE(xterms[i]->window()) << names[i] << " did not appear";
        }
        dock().setWanted(true);
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return itemOf(pid(2)).has_value(); }));
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return barIsPlaced(); }));
    }
    void TearDown() override {
        if (port) {
            dock().setWanted(false);
        }
        for (auto& xterm : xterms) {
            xterm.reset();
        }
    }

    X11DockBar& dock() { return port->dockBar(); }
    xcb_window_t window(int i) const { return *xterms[i]->window(); }
    qint32 pid(int i) const { return static_cast<qint32>(xterms[i]->pid()); }

    static GlobalPoint middle(const GlobalRect& r) { return {r.midX(), r.midY()}; }
    // The shell's Dock items, each with the application the probe's hit test finds at its
    // middle, in order.
    QList<std::pair<GlobalRect, std::optional<qint32>>> items() {
        testing::settle(port->state().connection());
        QList<std::pair<GlobalRect, std::optional<qint32>>> result;
        if (const auto shell = port->state().shell()) {
            for (const X11ShellContent::Item& item : shell->dock.items) {
                result.append(
                    {item.frame, probe->processIdentifierAtDockPoint(middle(item.frame))});
            }
        }
        return result;
    }
    std::optional<GlobalRect> itemOf(qint32 application) {
        for (const auto& [frame, pid] : items()) {
            if (pid == application) {
                return frame;
            }
        }
        return std::nullopt;
    }
    // The window manager has put the bar where the shell publishes it, and counts its strut.
    bool barIsPlaced() {
        testing::settle(port->state().connection());
        const auto shell = port->state().shell();
        const QRect frame = desktop->frameOf(dock().barWindow());
        return shell && shell->dock.frame == GlobalRect::fromQt(QRectF(frame)) &&
               desktop->isViewable(dock().barWindow()) &&
               mainScreen().visibleFrame.minY() == frame.height();
    }

    void pointAt(GlobalPoint point) {
        xcb_test_fake_input(desktop->get(), XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, desktop->root(),
                            int16_t(point.x), int16_t(point.y), 0);
        desktop->sync();
    }
    void click(const GlobalRect& item) {
        pointAt(middle(item));
        for (const uint8_t type : {XCB_BUTTON_PRESS, XCB_BUTTON_RELEASE}) {
            xcb_test_fake_input(desktop->get(), type, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        }
        desktop->sync();
    }
    Screen mainScreen() { return port->screenLayout().screens().first(); }

    std::unique_ptr<TestXterm> xterms[3];
    std::unique_ptr<NativeSwitcherProbe> probe;
};

TEST_F(X11DockBarTest, ListsRunningApplicationsInLaunchOrderAlongTheBottomEdge) {
    ASSERT_TRUE(dock().isShowing());
    const QRect bar = desktop->frameOf(dock().barWindow());
    EXPECT_EQ(bar.bottom(), 799) << "on the bottom edge of the 1280 x 800 screen";
    EXPECT_NEAR(bar.center().x(), 640, 1);
    EXPECT_TRUE(
        desktop->netWmState(dock().barWindow()).contains(desktop->atom("_NET_WM_STATE_ABOVE")));
    EXPECT_NE(desktop->activeWindow(), dock().barWindow());

    auto listed = items();
    ASSERT_GE(listed.size(), 3);
    // Launched last, listed last; each item's middle, on the bar, hits its own application.
    for (int i = 0; i < 3; ++i) {
        const auto& [frame, hit] = listed[listed.size() - 3 + i];
        EXPECT_EQ(hit, pid(i)) << i;
        EXPECT_TRUE(GlobalRect::fromQt(QRectF(bar)).contains(middle(frame)));
    }
    for (const auto& [frame, hit] : std::as_const(listed)) {
        EXPECT_TRUE(hit.has_value()) << "each maps to a running application";
    }
    // Between the bar's edge and its first icon lies no item.
    EXPECT_EQ(probe->processIdentifierAtDockPoint(GlobalPoint{bar.left() + 1.0, bar.top() + 1.0}),
              std::nullopt);
    EXPECT_EQ(probe->processIdentifierAtDockPoint(GlobalPoint{640, bar.top() - 10.0}),
              std::nullopt);

    // A new application goes to the end; one that quits leaves.
    const qint32 first = pid(0);
    TestXterm late(*desktop, QStringLiteral("dock-late"), QStringLiteral("40x8+500+300"),
                   {QStringLiteral("-class"), QStringLiteral("PellucineLarch")});
    ASSERT_TRUE(late.window());
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        listed = items();
        return !listed.isEmpty() && listed.last().second == qint32(late.pid());
    }));
    xterms[0].reset();
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return !itemOf(first); }));
    EXPECT_FALSE(probe->probe()) << "Dock items are never taken for the switcher's selection";
}

TEST_F(X11DockBarTest, TheStrutKeepsVisibleFramesAndPlacementsClearOfTheBar) {
    const QRect bar = desktop->frameOf(dock().barWindow());
    const Screen screen = mainScreen();
    EXPECT_EQ(screen.frame.height, 800);
    EXPECT_EQ(screen.visibleFrame.minY(), bar.height()) << "screen space: y grows upwards";
    EXPECT_EQ(screen.visibleFrame.width, 1280);

    RecordingEventLog events;
    AccessibilityWindowService service(*port, events);
    const auto visible = service.bestVisibleFrame(GlobalRect{100, 100, 300, 200});
    ASSERT_TRUE(visible);
    EXPECT_EQ(visible->maxY(), bar.top());

    // Maximizing through the window service stops at the bar.
    for (const ApplicationDescriptor& app : service.snapshot()) {
        for (const WindowDescriptor& w : app.windows) {
            if (w.id == window(1)) {
                service.performWindowAction(WindowAction::place(WindowPlacement::maximize), w);
            }
        }
    }
    // The terminal grows in whole character cells, so it may end a little above the bar.
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        const QRect frame = desktop->frameOf(window(1));
        return frame.bottom() < bar.top() && frame.bottom() > bar.top() - 40;
    })) << desktop->frameOf(window(1)).bottom();

    // A Dock glance anchored on an icon goes above the bar, not over it.
    const auto item = itemOf(pid(2));
    ASSERT_TRUE(item);
    const ScreenPoint anchor = toScreenSpace(middle(*item), 800);
    const ScreenPoint origin =
        PreviewPanelPlacement::origin(Size{400, 250}, screen.visibleFrame, anchor, std::nullopt);
    EXPECT_GE(origin.y, bar.height());
    EXPECT_DOUBLE_EQ(origin.y, anchor.y + PreviewPanelPlacement::dockOffset);
}

TEST_F(X11DockBarTest, AClickActivatesAndRestoresAnApplicationWhoseWindowsAreAllMinimized) {
    port->state().requests().iconify(window(0));
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(window(0)) == 3; }));
    const auto item = itemOf(pid(0));
    ASSERT_TRUE(item);
    click(*item);
    EXPECT_TRUE(X11TestDesktop::waitUntil(
        [&] { return desktop->wmState(window(0)) == 1 && desktop->activeWindow() == window(0); }));

    const auto other = itemOf(pid(1));
    ASSERT_TRUE(other);
    click(*other);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == window(1); }));
    EXPECT_TRUE(dock().isShowing());

    // An application of two windows, both minimized: both come back.
    testing::TestClient client;
    ASSERT_TRUE(client.setWindowClass(QStringLiteral("PellucinePair")));
    const auto first = client.openWindow(*desktop, QStringLiteral("dock-pair-first"));
    const auto second = client.openWindow(*desktop, QStringLiteral("dock-pair-second"));
    ASSERT_TRUE(first && second);
    const auto pair = [&] { return itemOf(qint32(client.pid())); };
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return pair().has_value(); }));
    port->state().requests().iconify(*first);
    port->state().requests().iconify(*second);
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return desktop->wmState(*first) == 3 && desktop->wmState(*second) == 3; }));
    click(*pair());
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        return desktop->wmState(*first) == 1 && desktop->wmState(*second) == 1 &&
               (desktop->activeWindow() == *first || desktop->activeWindow() == *second);
    }));
}

TEST_F(X11DockBarTest, ThePreferenceOffWithdrawsTheBarItsStrutAndItsItems) {
    const xcb_window_t bar = dock().barWindow();
    const ScreenRect withBar = mainScreen().visibleFrame;
    dock().setWanted(false);
    desktop->sync();
    EXPECT_FALSE(dock().isShowing());
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return !desktop->isViewable(bar); }));
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        testing::settle(port->state().connection());
        return mainScreen().visibleFrame.minY() == 0;
    }));
    EXPECT_TRUE(items().isEmpty());
    EXPECT_EQ(probe->processIdentifierAtDockPoint(GlobalPoint{640, 780}), std::nullopt);
    for (const RunningApplication& app : port->workspace().runningApplications()) {
        EXPECT_NE(app.processIdentifier, X11ShellContent::processIdentifier)
            << "nothing of the shell is up";
    }

    dock().setWanted(true);
    EXPECT_TRUE(dock().isShowing());
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return barIsPlaced(); }));
    EXPECT_EQ(mainScreen().visibleFrame, withBar);
    EXPECT_TRUE(itemOf(pid(1)).has_value());
}

// A window can be gone before the bar hears of its end (or while it is not listening): its
// picture goes with the next refresh all the same.
TEST_F(X11DockBarTest, KeepsPicturesOnlyOfTheWindowsItShows) {
    testing::TestClient client;
    const auto window = client.openWindow(*desktop, QStringLiteral("dock-goes"));
    ASSERT_TRUE(window);
    const auto owner = static_cast<qint32>(client.pid());
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return itemOf(owner).has_value(); }));
    const std::size_t shown = dock().pictureCount();

    dock().setWanted(false);
    xcb_destroy_window(desktop->get(), *window);
    desktop->sync();
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return !desktop->clients().contains(*window); }));
    testing::settle(port->state().connection());
    dock().setWanted(true);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return itemOf(pid(2)).has_value(); }));
    EXPECT_FALSE(itemOf(owner).has_value());
    EXPECT_EQ(dock().pictureCount(), shown - 1);
}

TEST_F(X11DockBarTest, AnotherDockOnTheBottomEdgeKeepsOursHidden) {
    {
        // Along the left edge it takes nothing of ours.
        ForeignDock side(*desktop, QRect(0, 0, 40, 800));
        testing::settle(port->state().connection());
        dock().refresh();
        EXPECT_TRUE(dock().isShowing());
    }
    {
        ForeignDock panel(*desktop, QRect(0, 770, 1280, 30));
        EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return !dock().isShowing(); }));
        EXPECT_TRUE(items().isEmpty());
        // Wanted again while the edge is taken, it stays aside.
        dock().setWanted(false);
        dock().setWanted(true);
        EXPECT_FALSE(dock().isShowing());
    }
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return dock().isShowing(); }))
        << "back once the other dock has gone";
    EXPECT_TRUE(itemOf(pid(2)).has_value());
}

TEST_F(X11DockBarTest, FollowsTheMainMonitorWhenItsMonitorGoes) {
    // Two monitors side by side, the left one the main one; the right one holds the output.
    const std::optional<uint32_t> output = desktop->firstOutput();
    ASSERT_TRUE(output) << "the server has no RandR output";
    desktop->setMonitor("PELLUCINE-RIGHT", QRect(640, 0, 640, 800), false, output);
    desktop->setMonitor("PELLUCINE-LEFT", QRect(0, 0, 640, 800), true);
    const auto restored = qScopeGuard([&] {
        desktop->deleteMonitor("PELLUCINE-LEFT");
        desktop->deleteMonitor("PELLUCINE-RIGHT");
    });
    const auto centredOn = [&](int middle) {
        testing::settle(port->state().connection());
        const QRect bar = desktop->frameOf(dock().barWindow());
        const auto shell = port->state().shell();
        return dock().isShowing() && desktop->isViewable(dock().barWindow()) &&
               std::abs(bar.center().x() - middle) <= 1 && bar.bottom() == 799 && shell &&
               shell->dock.frame == port->state().space().toGlobal(bar);
    };
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return centredOn(320); }, 1000))
        << "on the new main monitor, with no window event";

    desktop->deleteMonitor("PELLUCINE-LEFT");
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return centredOn(960); }, 1000))
        << "on the remaining monitor";
    EXPECT_TRUE(itemOf(pid(2)).has_value());
}

TEST_F(X11DockBarTest, RestingOnAnIconReachesTheDockHoverMonitor) {
    ManualScheduler scheduler;
    RecordingEventLog events;
    DockHoverMonitor monitor(*port, *probe, scheduler, events);
    QList<DockHoverMonitor::Target> hovers;
    int exits = 0;
    monitor.setOnHover([&](const DockHoverMonitor::Target& target) { hovers << target; });
    monitor.setOnExit([&] { ++exits; });
    monitor.start();

    const auto item = itemOf(pid(1));
    ASSERT_TRUE(item);
    const GlobalPoint at{std::round(item->midX()), std::round(item->midY())};
    pointAt(at);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
        scheduler.runUntilIdle();
        return monitor.candidate().has_value();
    }));
    EXPECT_EQ(monitor.candidate()->processIdentifier, pid(1));
    scheduler.advance(seconds(0.299));
    EXPECT_TRUE(hovers.isEmpty());
    scheduler.advance(seconds(0.001));
    ASSERT_EQ(hovers.size(), 1);
    EXPECT_EQ(hovers[0].processIdentifier, pid(1));
    EXPECT_EQ(hovers[0].anchor, toScreenSpace(at, 800));

    // Off the bar, above it: the preview closes after the exit delay.
    pointAt(GlobalPoint{at.x, 400});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
        scheduler.runUntilIdle();
        return monitor.isExitPending();
    }));
    scheduler.advance(seconds(DockHoverMonitor::exitDelaySeconds));
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(hovers.size(), 1);
}

}  // namespace
}  // namespace pellucine
