#include <gmock/gmock.h>

#include "X11TestDesktop.h"
#include "base/QtScheduler.h"
#include "base/RecordingEventLog.h"
#include "core/AccessibilityWindowService.h"
#include "core/WindowLifecycleMonitor.h"
#include "platform/AccessibilityNames.h"
#include "platform/x11/X11AccessibilityObserver.h"
#include "platform/x11/wiring/X11Desktop.h"

namespace pellucine {
namespace {

using testing::TestClient;
using testing::TestXterm;
using testing::X11PortTest;
using testing::X11TestDesktop;

// The program's window lifecycle monitor following real windows through the X11 port.
class X11LifecycleMonitorTest : public X11PortTest {
  protected:
    void SetUp() override {
        X11PortTest::SetUp();
        if (!port) {
            return;
        }
        monitor = std::make_unique<WindowLifecycleMonitor>(*port, scheduler, events);
        monitor->setOnChange([this] { ++changes; });
        monitor->setOnActivity([this](qint32 pid, bool titleChanged) {
            activity.append({pid, titleChanged});
        });
    }

    bool heardActivity(qint32 pid, bool titleChanged) const {
        return activity.contains(std::pair{pid, titleChanged});
    }

    // An observer of the process, started, on its new windows and, for `names`, on its one
    // window; what it hears goes to `heard`.
    std::unique_ptr<AccessibilityObserver> observeOneWindow(
        qint32 pid, std::initializer_list<QStringView> names) {
        auto observer = port->accessibility().createObserver(
            pid, [this](const ElementRef& element, const QString& name) {
                heard.append({element, name});
            });
        const ElementRef app = port->accessibility().applicationElement(pid);
        observer->addNotification(app, ax::windowCreated);
        const auto windows = AccessibilityWindowService::readElementsAttribute(*app, ax::windows);
        EXPECT_TRUE(windows && windows->size() == 1);
        for (const QStringView name : names) {
            EXPECT_EQ(observer->addNotification(windows->first(), name),
                      AccessibilityStatus::success);
        }
        observer->start();
        return observer;
    }
    // The window's element as its "AXWindowCreated" brought it; none before. The first window's
    // own announcement can come late, once an observer has started.
    ElementRef createdElement(xcb_window_t window) const {
        for (const auto& [element, name] : heard) {
            const auto* x = dynamic_cast<const X11Element*>(element.get());
            if (name == ax::windowCreated && x != nullptr && x->window() == window) {
                return element;
            }
        }
        return nullptr;
    }
    bool heardName(QStringView name) const {
        return std::any_of(heard.begin(), heard.end(),
                           [name](const auto& h) { return h.second == name; });
    }

    QList<std::pair<ElementRef, QString>> heard;
    RecordingEventLog events;
    QtScheduler scheduler{systemContinuousClock()};
    std::unique_ptr<WindowLifecycleMonitor> monitor;
    int changes = 0;
    QList<std::pair<qint32, bool>> activity;
};

TEST_F(X11LifecycleMonitorTest, ObservesEveryRunningXterm) {
    monitor->start();
    const auto started = events.last(QStringLiteral("window-lifecycle-monitor-started"));
    ASSERT_TRUE(started);
    EXPECT_GE(started->fields.value(QStringLiteral("applicationCount")).toInt(), 2);
    EXPECT_GE(monitor->observedApplicationCount(), 2u);
}

TEST_F(X11LifecycleMonitorTest, ReportsANewWindowAndFollowsIt) {
    TestClient client;
    ASSERT_TRUE(client.openWindow(*desktop, QStringLiteral("lifecycle-owner")));
    const auto pid = static_cast<qint32>(client.pid());
    monitor->start();
    ASSERT_EQ(changes, 0);

    const auto added = client.openWindow(*desktop, QStringLiteral("lifecycle-second"));
    ASSERT_TRUE(added);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return changes > 0; }));

    // The monitor took the new window on through its creation notice: its title changes reach
    // the monitor too.
    desktop->setTitle(*added, QStringLiteral("lifecycle-second renamed"));
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return heardActivity(pid, true); }));
}

TEST_F(X11LifecycleMonitorTest, ReportsTitleMoveAndMinimizeChanges) {
    TestXterm xterm(*desktop, QStringLiteral("lifecycle-title"), "40x10+100+100");
    ASSERT_TRUE(xterm.window());
    const auto pid = static_cast<qint32>(xterm.pid());
    monitor->start();

    desktop->setTitle(*xterm.window(), QStringLiteral("lifecycle-title renamed"));
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return heardActivity(pid, true) && changes > 0; }));

    int before = changes;
    X11DesktopState& state = port->state();
    state.requests().move(*state.window(*xterm.window()), QPoint(300, 200));
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return heardActivity(pid, false); }));
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return changes > before; }));

    // Minimizing brings no activity of the window's own (focus moving to another application
    // may), only the debounced change signal.
    activity.clear();
    before = changes;
    state.requests().iconify(*xterm.window());
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(*xterm.window()) == 3; }));
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return changes > before; }));
    EXPECT_THAT(activity, ::testing::Not(::testing::Contains(::testing::Pair(pid, ::testing::_))));
}

TEST_F(X11LifecycleMonitorTest, ReportsNothingOnceStopped) {
    TestXterm xterm(*desktop, QStringLiteral("lifecycle-stopped"), "40x10+100+100");
    ASSERT_TRUE(xterm.window());
    monitor->start();
    monitor->stop();
    EXPECT_EQ(monitor->observedApplicationCount(), 0u);

    desktop->setTitle(*xterm.window(), QStringLiteral("lifecycle-stopped renamed"));
    port->state().requests().iconify(*xterm.window());
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(*xterm.window()) == 3; }));
    testing::settle(port->state().connection());
    EXPECT_FALSE(monitor->hasPendingDelivery());
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(activity.isEmpty());
}

// Windows come and go without end: what an observer holds for one ends with the window.
TEST_F(X11LifecycleMonitorTest, AVanishedWindowLeavesNoRegistrationBehind) {
    TestClient client;
    ASSERT_TRUE(client.openWindow(*desktop, QStringLiteral("lifecycle-stays")));
    const auto observer = observeOneWindow(static_cast<qint32>(client.pid()),
                                           {ax::elementDestroyed, ax::titleChanged, ax::moved});
    auto* x11 = dynamic_cast<X11AccessibilityObserver*>(observer.get());
    ASSERT_NE(x11, nullptr);
    const std::size_t before = x11->registrationCount();

    for (int round = 0; round < 3; ++round) {
        heard.clear();
        const auto added = client.openWindow(*desktop, QStringLiteral("lifecycle-goes"));
        ASSERT_TRUE(added);
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return createdElement(*added) != nullptr; }));
        for (const QStringView name : {ax::elementDestroyed, ax::titleChanged, ax::resized}) {
            observer->addNotification(createdElement(*added), name);
        }
        EXPECT_EQ(x11->registrationCount(), before + 3) << "round " << round;
        xcb_destroy_window(desktop->get(), *added);
        desktop->sync();
        // Its end is still told, and then nothing of it is held.
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return heardName(ax::elementDestroyed); }))
            << "round " << round;
        EXPECT_EQ(x11->registrationCount(), before) << "round " << round;
    }
}

// The registrations for a new window are made a turn or two after it was announced: by then it
// can be gone, its end told already. What it was given goes with the next window that ends.
TEST_F(X11LifecycleMonitorTest, ARegistrationMadeAfterTheWindowsEndIsNotKept) {
    TestClient client;
    ASSERT_TRUE(client.openWindow(*desktop, QStringLiteral("late-stays")));
    const auto observer = observeOneWindow(static_cast<qint32>(client.pid()), {ax::moved});
    auto* x11 = dynamic_cast<X11AccessibilityObserver*>(observer.get());
    ASSERT_NE(x11, nullptr);
    const std::size_t before = x11->registrationCount();

    for (int round = 0; round < 3; ++round) {
        heard.clear();
        const auto late = client.openWindow(*desktop, QStringLiteral("late-goes"));
        const auto next = client.openWindow(*desktop, QStringLiteral("late-next"));
        ASSERT_TRUE(late && next);
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
            return createdElement(*late) && createdElement(*next);
        })) << "round "
            << round;
        const ElementRef lateElement = createdElement(*late);
        xcb_destroy_window(desktop->get(), *late);
        desktop->sync();
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
            return !port->state().events().follows(*late);
        })) << "round "
            << round;
        for (const QStringView name : {ax::elementDestroyed, ax::titleChanged, ax::moved}) {
            observer->addNotification(lateElement, name);
        }
        observer->addNotification(createdElement(*next), ax::elementDestroyed);
        heard.clear();
        xcb_destroy_window(desktop->get(), *next);
        desktop->sync();
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return heardName(ax::elementDestroyed); }))
            << "round " << round;
        EXPECT_EQ(x11->registrationCount(), before) << "round " << round;
    }
}

}  // namespace
}  // namespace pellucine
