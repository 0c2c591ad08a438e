#include <gmock/gmock.h>
#include <signal.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <array>

#include "X11TestDesktop.h"
#include "platform/AccessibilityNames.h"
#include "platform/x11/X11AccessibilityObserver.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using testing::TestXterm;
using testing::X11PortTest;
using testing::X11TestDesktop;

std::optional<QString> text(const AccessibilityElement& e, QStringView name) {
    const AttributeResult r = e.attribute(name);
    return r.ok() ? r.value()->toString() : std::nullopt;
}

std::optional<bool> flag(const AccessibilityElement& e, QStringView name) {
    const AttributeResult r = e.attribute(name);
    return r.ok() ? r.value()->toBoolean() : std::nullopt;
}

class X11DesktopTest : public X11PortTest {
  protected:
    void TearDown() override {
        if (ownWindow != XCB_NONE) {
            xcb_destroy_window(desktop->get(), ownWindow);
            xcb_flush(desktop->get());
        }
    }

    // The element of a window, found through its application's window list.
    ElementRef windowElement(qint32 pid, xcb_window_t window) {
        port->state().invalidate();
        const AttributeResult windows =
            port->accessibility().applicationElement(pid)->attribute(ax::windows);
        if (!windows.ok()) {
            return nullptr;
        }
        const ElementList elements = windows.value()->toElements().value_or(ElementList{});
        for (const ElementRef& element : elements) {
            if (element->windowNumber() == window) {
                return element;
            }
        }
        return nullptr;
    }

    // A managed window of the test's own process, of a given type, without WM_DELETE_WINDOW.
    xcb_window_t openOwnWindow(const char* type) {
        xcb_connection_t* c = desktop->get();
        ownWindow = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, ownWindow, desktop->root(), 500, 400, 160, 120,
                          0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const xcb_atom_t typeAtom = desktop->atom(type);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, ownWindow,
                            desktop->atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &typeAtom);
        desktop->setTitle(ownWindow, QStringLiteral("own window"));
        xcb_map_window(c, ownWindow);
        xcb_flush(c);
        X11TestDesktop::waitUntil([&] { return desktop->clients().contains(ownWindow); });
        return ownWindow;
    }

    xcb_window_t ownWindow = XCB_NONE;
};

TEST_F(X11DesktopTest, WindowElementsShareTheirGeometryWithTheWindowList) {
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    const qint32 pid = *desktop->pidOf(*alpha);
    const ElementRef element = windowElement(pid, *alpha);
    ASSERT_TRUE(element);

    EXPECT_EQ(text(*element, ax::role), QStringLiteral("AXWindow"));
    EXPECT_EQ(text(*element, ax::subrole), QStringLiteral("AXStandardWindow"));
    EXPECT_EQ(text(*element, ax::title), QStringLiteral("pellucine-alpha"));
    EXPECT_EQ(flag(*element, ax::minimized), false);
    EXPECT_EQ(flag(*element, ax::fullScreen), false);
    EXPECT_EQ(element->processIdentifier(), pid);

    const auto position = element->attribute(ax::position).value()->toPoint();
    const auto size = element->attribute(ax::size).value()->toSize();
    ASSERT_TRUE(position && size);
    const QList<WindowListEntry> list = port->windowList().windows({});
    const auto entry = std::find_if(list.begin(), list.end(), [&](const WindowListEntry& e) {
        return e.number == static_cast<qint64>(*alpha);
    });
    ASSERT_NE(entry, list.end());
    EXPECT_EQ(entry->bounds, (GlobalRect{position->x, position->y, size->width, size->height}));
    EXPECT_EQ(entry->ownerPID, pid);
    EXPECT_EQ(entry->layer, 0);
    EXPECT_EQ(entry->isOnScreen, true);
    const QRect frame = desktop->frameOf(*alpha);
    EXPECT_EQ(*entry->bounds, (GlobalRect{double(frame.x()), double(frame.y()),
                                          double(frame.width()), double(frame.height())}));

    // The close button, and the way back up.
    const AttributeResult close = element->attribute(ax::closeButton);
    ASSERT_TRUE(close.ok());
    const ElementRef button = close.value()->toElement();
    EXPECT_EQ(text(*button, ax::subrole), QStringLiteral("AXCloseButton"));
    EXPECT_TRUE(button->attribute(ax::parent).value()->toElement()->isSameElement(*element));
    EXPECT_TRUE(element->attribute(ax::parent)
                    .value()
                    ->toElement()
                    ->isSameElement(*port->accessibility().applicationElement(pid)));
    EXPECT_TRUE(port->accessibility().isProcessTrusted());
}

TEST_F(X11DesktopTest, TheDesktopAsReadFollowsChangesMadeByOtherClients) {
    TestXterm first(*desktop, QStringLiteral("pellucine-first"), QStringLiteral("40x10+100+100"));
    TestXterm second(*desktop, QStringLiteral("pellucine-second"), QStringLiteral("40x10+500+300"));
    const std::optional<xcb_window_t> alpha = first.window();
    const std::optional<xcb_window_t> beta = second.window();
    ASSERT_TRUE(alpha && beta);
    X11DesktopState& state = port->state();
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return state.window(*alpha).has_value() && state.window(*beta).has_value(); }));
    const auto title = [&](xcb_window_t window) {
        const std::optional<X11WindowInfo> info = state.window(window);
        return info ? info->title : QString();
    };

    // One client's title; the other client stays as read.
    desktop->setTitle(*alpha, QStringLiteral("pellucine-first renamed"));
    EXPECT_TRUE(X11TestDesktop::waitUntil(
        [&] { return title(*alpha) == QStringLiteral("pellucine-first renamed"); }));
    EXPECT_EQ(title(*beta), QStringLiteral("pellucine-second"));

    // A move by the window manager on another client's behalf.
    const QPoint before = state.window(*alpha)->clientRect.topLeft();
    const std::array<uint32_t, 2> moved{static_cast<uint32_t>(before.x() + 37),
                                        static_cast<uint32_t>(before.y() + 23)};
    xcb_configure_window(desktop->get(), *alpha, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y,
                         moved.data());
    desktop->sync();
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        const std::optional<X11WindowInfo> info = state.window(*alpha);
        return info && info->clientRect.topLeft() != before;
    }));

    // The active window, on the root alone, and back.
    for (const xcb_window_t window : {*beta, *alpha}) {
        desktop->sendToRoot(window, "_NET_ACTIVE_WINDOW", {2, XCB_CURRENT_TIME, 0, 0, 0});
        EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
            const X11DesktopSnapshot snapshot = state.snapshot();
            return snapshot.activeWindow == window && !snapshot.windows.isEmpty() &&
                   snapshot.windows.first().window == window;
        }));
    }

    // A client that goes is left out.
    {
        TestXterm passing(*desktop, QStringLiteral("pellucine-passing"));
        ASSERT_TRUE(passing.window());
        EXPECT_TRUE(
            X11TestDesktop::waitUntil([&] { return state.window(*passing.window()).has_value(); }));
        const xcb_window_t gone = *passing.window();
        passing.process().kill();
        EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return !state.window(gone).has_value(); }));
    }
    EXPECT_EQ(title(*beta), QStringLiteral("pellucine-second"));
}

TEST_F(X11DesktopTest, SubrolesLayersAndCloseButtonsFollowTheWindowType) {
    const auto pid = static_cast<qint32>(QCoreApplication::applicationPid());
    const xcb_window_t dialog = openOwnWindow("_NET_WM_WINDOW_TYPE_DIALOG");
    ASSERT_TRUE(desktop->clients().contains(dialog));

    const ElementRef element = windowElement(pid, dialog);
    ASSERT_TRUE(element);
    EXPECT_EQ(text(*element, ax::subrole), QStringLiteral("AXDialog"));
    // Without WM_DELETE_WINDOW there is nothing to press.
    EXPECT_EQ(element->attribute(ax::closeButton).status(), AccessibilityStatus::noValue);
    EXPECT_EQ(X11Element::subroleOf(X11WindowType::utility), QStringLiteral("AXFloatingWindow"));
    EXPECT_EQ(X11Element::subroleOf(X11WindowType::splash), QStringLiteral("AXUnknown"));

    // The program's own window is listed under its own process, at the application layer.
    const QList<WindowListEntry> list = port->windowList().windows({});
    const auto entry = std::find_if(list.begin(), list.end(), [&](const WindowListEntry& e) {
        return e.number == static_cast<qint64>(dialog);
    });
    ASSERT_NE(entry, list.end());
    EXPECT_EQ(entry->ownerPID, pid);
    EXPECT_EQ(entry->layer, 0);
}

TEST_F(X11DesktopTest, ElementsOfAGoneWindowOrAGoneDesktopFailEveryRequest) {
    ElementRef element;
    qint32 pid = 0;
    {
        TestXterm doomed(*desktop, QStringLiteral("desktop-doomed"));
        ASSERT_TRUE(doomed.window());
        pid = static_cast<qint32>(doomed.pid());
        element = windowElement(pid, *doomed.window());
        ASSERT_TRUE(element);
    }
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return !desktop->clients().contains(*element->windowNumber()); }));
    port->state().invalidate();
    EXPECT_EQ(element->attribute(ax::title).status(), AccessibilityStatus::failure);
    EXPECT_EQ(element->setAttribute(ax::minimized, true), AccessibilityStatus::failure);
    EXPECT_EQ(element->performAction(ax::raise), AccessibilityStatus::failure);
    // The process is gone as well: its application has no window list to read.
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        port->state().invalidate();
        return !port->accessibility().applicationElement(pid)->attribute(ax::windows).ok();
    }));

    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    const ElementRef survivor = windowElement(*desktop->pidOf(*alpha), *alpha);
    ASSERT_TRUE(survivor);
    port.reset();
    EXPECT_EQ(survivor->attribute(ax::title).status(), AccessibilityStatus::failure);
    EXPECT_EQ(survivor->processIdentifier(), std::nullopt);
}

TEST_F(X11DesktopTest, WritesOfTheWrongKindAreRefused) {
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    const ElementRef element = windowElement(*desktop->pidOf(*alpha), *alpha);
    ASSERT_TRUE(element);
    const QRect before = desktop->frameOf(*alpha);
    EXPECT_EQ(element->setAttribute(ax::position, QStringLiteral("10,10")),
              AccessibilityStatus::failure);
    EXPECT_EQ(element->setAttribute(ax::size, Size{-5, 100}), AccessibilityStatus::failure);
    EXPECT_EQ(element->setAttribute(ax::size, Size{std::nan(""), 100}),
              AccessibilityStatus::failure);
    EXPECT_EQ(element->setAttribute(ax::minimized, QStringLiteral("yes")),
              AccessibilityStatus::failure);
    EXPECT_EQ(element->setAttribute(ax::title, QStringLiteral("renamed")),
              AccessibilityStatus::failure);
    EXPECT_EQ(element->performAction(ax::press), AccessibilityStatus::failure);
    testing::settle(port->state().connection());
    EXPECT_EQ(desktop->frameOf(*alpha), before);
    EXPECT_EQ(desktop->findClient(QStringLiteral("pellucine-alpha")), alpha);
}

TEST_F(X11DesktopTest, HidingMinimizesTheApplicationAndUnhidingBringsBackWhatItHid) {
    testing::TestClient client;
    const auto shown = client.openWindow(*desktop, QStringLiteral("desktop-hide"));
    // A second window of the same process, minimized before the application is hidden.
    const auto second = client.openWindow(*desktop, QStringLiteral("desktop-hide second"));
    ASSERT_TRUE(shown && second);
    const auto pid = static_cast<qint32>(client.pid());
    port->state().invalidate();
    ASSERT_EQ(port->state().application(pid)->windows.size(), 2);
    port->state().requests().iconify(*second);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(*second) == 3; }));

    ASSERT_TRUE(port->workspace().hide(pid));
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(*shown) == 3; }));
    EXPECT_TRUE(port->workspace().runningApplication(pid)->isHidden);

    ASSERT_TRUE(port->workspace().unhide(pid));
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(*shown) == 1; }));
    EXPECT_FALSE(port->workspace().runningApplication(pid)->isHidden);
    // The window that was down before stays down.
    testing::settle(port->state().connection());
    EXPECT_EQ(desktop->wmState(*second), 3u);

    EXPECT_FALSE(port->workspace().hide(999999));
    EXPECT_FALSE(port->workspace().unhide(999999));
    EXPECT_FALSE(port->workspace().activate(999999, {}));
}

TEST_F(X11DesktopTest, ActivationFocusesTheApplicationsFrontWindow) {
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    const auto beta = desktop->findClient(QStringLiteral("pellucine-beta"));
    ASSERT_TRUE(alpha && beta);
    for (const xcb_window_t window : {*beta, *alpha}) {
        ASSERT_TRUE(port->workspace().activate(*desktop->pidOf(window), {true}));
        EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == window; }));
        EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
            const auto app = port->workspace().runningApplication(*desktop->pidOf(window));
            return app && app->isActive;
        }));
    }
}

TEST_F(X11DesktopTest, ActivationRightAfterARaiseFocusesTheRaisedWindow) {
    testing::TestClient client;
    const auto back = client.openWindow(*desktop, QStringLiteral("desktop-raise back"));
    const auto front = client.openWindow(*desktop, QStringLiteral("desktop-raise front"));
    ASSERT_TRUE(back && front);
    const qint32 pid = static_cast<qint32>(client.pid());
    testing::settle(port->state().connection());

    // Before the window manager has restacked: it is held still meanwhile.
    QFile pidFile(QStringLiteral(PELLUCINE_X11_STATE "/openbox.pid"));
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
    const pid_t manager = static_cast<pid_t>(pidFile.readAll().trimmed().toLongLong());
    ASSERT_GT(manager, 1);
    {
        ASSERT_EQ(::kill(manager, SIGSTOP), 0);
        const auto resume = qScopeGuard([manager] { ::kill(manager, SIGCONT); });
        port->state().requests().raise(*back);
        ASSERT_TRUE(port->workspace().activate(pid, {true}));
    }
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == *back; }));
    const QList<xcb_window_t> stacking = desktop->stacking();
    EXPECT_LT(stacking.indexOf(*back), stacking.indexOf(*front));

    // Once the stacking has changed, the application's front window counts again.
    testing::settle(port->state().connection());
    port->state().requests().activate(*front);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == *front; }));
    testing::settle(port->state().connection());
    ASSERT_TRUE(port->workspace().activate(pid, {true}));
    testing::settle(port->state().connection());
    EXPECT_EQ(desktop->activeWindow(), *front);
}

TEST_F(X11DesktopTest, RunningApplicationsAreTheProcessesWithWindows) {
    const QList<RunningApplication> apps = port->workspace().runningApplications();
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    const auto it = std::find_if(apps.begin(), apps.end(), [&](const RunningApplication& a) {
        return a.processIdentifier == desktop->pidOf(*alpha);
    });
    ASSERT_NE(it, apps.end());
    EXPECT_EQ(it->activationPolicy, ActivationPolicy::regular);
    EXPECT_EQ(it->localizedName, QStringLiteral("XTerm"));
    EXPECT_TRUE(it->bundleIdentifier.has_value());
    EXPECT_TRUE(it->bundleURL.has_value());
    EXPECT_FALSE(it->isTerminated);
}

TEST_F(X11DesktopTest, NoticesFollowLaunchActivationAndTermination) {
    QList<WorkspaceNotice> notices;
    const Subscription subscription =
        port->workspace().subscribe([&](const WorkspaceNotice& n) { notices.append(n); });
    qint32 pid = 0;
    {
        TestXterm xterm(*desktop, QStringLiteral("desktop-notices"));
        ASSERT_TRUE(xterm.window());
        pid = static_cast<qint32>(xterm.pid());
        EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
            return notices.contains(WorkspaceNotice{WorkspaceNotice::Kind::launched, pid});
        }));
        port->state().requests().activate(*xterm.window());
        EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
            return notices.contains(WorkspaceNotice{WorkspaceNotice::Kind::activated, pid});
        }));
        // Quitting asks every window to close; xterm then exits.
        ASSERT_TRUE(port->workspace().terminate(pid));
        EXPECT_TRUE(xterm.process().waitForFinished(8000));
    }
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        return notices.contains(WorkspaceNotice{WorkspaceNotice::Kind::terminated, pid});
    }));
    EXPECT_EQ(std::count(notices.begin(), notices.end(),
                         WorkspaceNotice{WorkspaceNotice::Kind::launched, pid}),
              1);
}

TEST_F(X11DesktopTest, QuittingAnApplicationWithoutTheCloseProtocolIsRefused) {
    const auto pid = static_cast<qint32>(QCoreApplication::applicationPid());
    openOwnWindow("_NET_WM_WINDOW_TYPE_NORMAL");
    port->state().invalidate();
    EXPECT_FALSE(port->workspace().terminate(pid));
    EXPECT_FALSE(port->workspace().terminate(999999));
    testing::settle(port->state().connection());
    EXPECT_TRUE(desktop->isViewable(ownWindow));
}

TEST_F(X11DesktopTest, TheMainScreenIsTheWholeDisplayInTheScreenSpace) {
    const QList<Screen> screens = port->screenLayout().screens();
    ASSERT_EQ(screens.size(), 1);
    EXPECT_EQ(screens.first().displayIdentifier, port->screenLayout().mainDisplayIdentifier());
    EXPECT_EQ(screens.first().frame, (ScreenRect{0, 0, 1280, 800}));
    EXPECT_EQ(screens.first().visibleFrame, (ScreenRect{0, 0, 1280, 800}));
    EXPECT_EQ(port->screenLayout().displayBounds(port->screenLayout().mainDisplayIdentifier()),
              (GlobalRect{0, 0, 1280, 800}));
    EXPECT_EQ(port->screenLayout().displayBounds(0xdead), GlobalRect{});
    EXPECT_EQ(port->process().processIdentifier(),
              static_cast<qint32>(QCoreApplication::applicationPid()));
}

TEST_F(X11DesktopTest, TheMonitorsAreReadAgainOnlyAfterANoticeThatTheyMoved) {
    X11DesktopState& state = port->state();
    xcb_connection_t* own = state.connection().get();
    // The requests a read sends, told by the sequence numbers around it.
    const auto requestsOf = [&](const auto& read) {
        const xcb_void_cookie_t before = xcb_no_operation(own);
        read();
        const xcb_void_cookie_t after = xcb_no_operation(own);
        return after.sequence - before.sequence - 1;
    };
    const auto visible = [&] { return state.monitors().value(0).visibleRect; };
    // The requests a read sends once a turn of the event loop has ended.
    const auto reads = [&] {
        QCoreApplication::processEvents();
        Q_EMIT QAbstractEventDispatcher::instance()->aboutToBlock();
        return requestsOf([&] { state.monitors(); });
    };
    ASSERT_EQ(visible(), QRect(0, 0, 1280, 800));
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return reads() == 0u; }))
        << "read again on every turn";

    // A dock appears and changes the space it reserves.
    const xcb_window_t dock = openOwnWindow("_NET_WM_WINDOW_TYPE_DOCK");
    const auto reserve = [&](uint32_t height) {
        const std::array<uint32_t, 12> strut{0, 0, 0, height, 0, 0, 0, 0, 0, 0, 0, 1279};
        xcb_change_property(desktop->get(), XCB_PROP_MODE_REPLACE, dock,
                            desktop->atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL, 32, 12,
                            strut.data());
        xcb_flush(desktop->get());
    };
    reserve(30);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return visible() == QRect(0, 0, 1280, 770); }));
    reserve(50);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return visible() == QRect(0, 0, 1280, 750); }));

    // A change of the dock that leaves the monitors is no notice.
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return reads() == 0u; }));
    desktop->setTitle(dock, QStringLiteral("renamed dock"));
    desktop->sync();
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
        const std::optional<X11WindowInfo> info = state.window(dock);
        return info && info->title == QStringLiteral("renamed dock");
    }));
    EXPECT_EQ(reads(), 0u);

    // Unmapped, it reserves nothing.
    xcb_unmap_window(desktop->get(), dock);
    xcb_flush(desktop->get());
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return visible() == QRect(0, 0, 1280, 800); }));

    // A monitor the user sets up, and takes away, is a RandR notice.
    desktop->setMonitor("PELLUCINE-LEFT", QRect(0, 0, 640, 800), false);
    const auto removed = qScopeGuard([&] { desktop->deleteMonitor("PELLUCINE-LEFT"); });
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return state.monitors().size() == 2; }));
    desktop->deleteMonitor("PELLUCINE-LEFT");
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return state.monitors().size() == 1; }));
}

TEST_F(X11DesktopTest, ObserversDeliverOnlyWhatWasRegisteredAndOnlyWhileStarted) {
    TestXterm xterm(*desktop, QStringLiteral("desktop-observed"), "40x10+100+100");
    TestXterm other(*desktop, QStringLiteral("desktop-unobserved"), "40x10+400+100");
    ASSERT_TRUE(xterm.window() && other.window());
    const auto pid = static_cast<qint32>(xterm.pid());

    QStringList heard;
    auto observer = port->accessibility().createObserver(
        pid, [&](const ElementRef& element, const QString& name) {
            heard.append(name + QLatin1Char(' ') + text(*element, ax::title).value_or("?"));
        });
    ASSERT_TRUE(observer);
    const ElementRef window = windowElement(pid, *xterm.window());
    ASSERT_TRUE(window);
    EXPECT_EQ(observer->addNotification(window, ax::titleChanged), AccessibilityStatus::success);
    // Another process's elements, and notifications of the wrong level, are refused.
    EXPECT_EQ(
        observer->addNotification(windowElement(static_cast<qint32>(other.pid()), *other.window()),
                                  ax::titleChanged),
        AccessibilityStatus::failure);
    EXPECT_EQ(observer->addNotification(window, ax::windowCreated), AccessibilityStatus::failure);
    EXPECT_EQ(port->accessibility().createObserver(0, {}), nullptr);

    // Nothing before start.
    desktop->setTitle(*xterm.window(), QStringLiteral("desktop-observed one"));
    testing::settle(port->state().connection());
    EXPECT_TRUE(heard.isEmpty());

    observer->start();
    desktop->setTitle(*xterm.window(), QStringLiteral("desktop-observed two"));
    desktop->setTitle(*other.window(), QStringLiteral("desktop-unobserved two"));
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return !heard.isEmpty(); }));
    testing::settle(port->state().connection());
    EXPECT_EQ(heard, QStringList{QStringLiteral("AXTitleChanged desktop-observed two")});

    observer->stop();
    desktop->setTitle(*xterm.window(), QStringLiteral("desktop-observed three"));
    testing::settle(port->state().connection());
    EXPECT_EQ(heard.size(), 1);

    // A delivery already on its way is dropped with the observer.
    observer->start();
    desktop->setTitle(*xterm.window(), QStringLiteral("desktop-observed four"));
    port->state().connection().serverTime();
    port->state().connection().dispatchPendingEvents();
    observer.reset();
    testing::settle(port->state().connection());
    EXPECT_EQ(heard.size(), 1);
}

TEST_F(X11DesktopTest, ApplicationNotificationsComeOnlyToObserversThatRegisteredThem) {
    TestXterm xterm(*desktop, QStringLiteral("desktop-focus-observed"), "40x10+100+100");
    TestXterm other(*desktop, QStringLiteral("desktop-focus-other"), "40x10+400+100");
    ASSERT_TRUE(xterm.window() && other.window());
    const auto pid = static_cast<qint32>(xterm.pid());

    QStringList windowOnly;
    auto windowObserver = port->accessibility().createObserver(
        pid, [&](const ElementRef&, const QString& name) { windowOnly.append(name); });
    QStringList focus;
    auto focusObserver = port->accessibility().createObserver(
        pid, [&](const ElementRef&, const QString& name) { focus.append(name); });
    ASSERT_TRUE(windowObserver && focusObserver);
    const ElementRef window = windowElement(pid, *xterm.window());
    ASSERT_TRUE(window);
    ASSERT_EQ(windowObserver->addNotification(window, ax::titleChanged),
              AccessibilityStatus::success);
    ASSERT_EQ(focusObserver->addNotification(port->accessibility().applicationElement(pid),
                                             ax::focusedWindowChanged),
              AccessibilityStatus::success);
    windowObserver->start();
    focusObserver->start();

    port->state().requests().activate(*other.window());
    ASSERT_TRUE(
        X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == *other.window(); }));
    // The port too has seen the other window active: it reads the active window when told it
    // changed, and would miss a change undone by then.
    testing::settle(port->state().connection());
    port->state().requests().activate(*xterm.window());
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return !focus.isEmpty(); }));
    testing::settle(port->state().connection());
    EXPECT_EQ(focus.first(), QStringLiteral("AXFocusedWindowChanged"));
    EXPECT_TRUE(windowOnly.isEmpty()) << windowOnly.join(u',').toStdString();
}

TEST_F(X11DesktopTest, SystemServicesGrantBothGatesAndKeepTheirFilesInTheGivenFolders) {
    EXPECT_TRUE(port->permissions().isScreenCaptureAllowed());
    EXPECT_TRUE(port->permissions().requestScreenCapture());
    EXPECT_TRUE(port->permissions().requestAccessibility());

    testing::TempFolder temp;
    X11Desktop::Options options;
    options.displayName = display;
    options.paths = AppPaths::under(temp.path());
    options.program.executable = QStringLiteral("/opt/pellucine/pellucine");
    X11Desktop configured(options);
    EXPECT_EQ(configured.loginItems().status(), LoginItemStatus::notRegistered);
    configured.loginItems().registerMainApplication();
    EXPECT_EQ(configured.loginItems().status(), LoginItemStatus::enabled);
    EXPECT_TRUE(QFileInfo::exists(options.paths.defaults +
                                  QStringLiteral("/autostart/com.orrinvale.pellucine.desktop")));
    // Another system's settings panes have nothing to open here.
    EXPECT_FALSE(configured.urlOpener().open(
        QUrl(QStringLiteral("x-apple.systempreferences:com.apple.preference.security"))));
}

}  // namespace
}  // namespace pellucine
