#include <gtest/gtest.h>
#include <xcb/xtest.h>

#include <cstdlib>

#include "X11TestDesktop.h"
#include "X11TestKeyboard.h"
#include "base/QtScheduler.h"
#include "base/RecordingEventLog.h"
#include "coordination/GlobalShortcutMonitor.h"
#include "core/NativeSwitcherProbe.h"
#include "platform/AccessibilityNames.h"
#include "platform/KeyModifiers.h"
#include "platform/x11/X11KeyboardMap.h"
#include "platform/x11/X11ShellContent.h"
#include "platform/x11/X11WindowRequests.h"
#include "support/QtPrinters.h"

namespace pellucine {

void PrintTo(const NativeSwitcherReading& r, std::ostream* os) {
    *os << "pid " << r.processIdentifier;
}

namespace {

using testing::controlL;
using testing::escape;
using testing::shiftL;
using testing::superL;
using testing::tab;
using testing::TestXterm;
using testing::X11PortTest;
using testing::X11TestDesktop;

// Three applications of their own (each xterm a process with a window class of its own),
// activated in turn so that the most recent is the third; the port's switcher started.
class X11ApplicationSwitcherTest : public X11PortTest {
  protected:
    void SetUp() override {
        X11PortTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        keyboard.emplace(*desktop);
        probe = std::make_unique<NativeSwitcherProbe>(*port);
        ASSERT_TRUE(port->applicationSwitcher().start()) << "Super+Tab is free";
        const char* names[] = {"Amber", "Birch", "Cedar"};
        for (int i = 0; i < 3; ++i) {
            xterms[i] = std::make_unique<TestXterm>(
                *desktop, QStringLiteral("switch-%1").arg(names[i]),
                QStringLiteral("50x10+%1+%2").arg(60 + 150 * i).arg(80 + 90 * i),
                QStringList{QStringLiteral("-class"), QStringLiteral("Pellucine%1").arg(names[i])});
            ASSERT_TRUE(xterms[i]->window()) << names[i] << " did not appear";
        }
        for (int i = 0; i < 3; ++i) {
            activate(i);
        }
    }
    void TearDown() override {
        release();
        for (auto& xterm : xterms) {
            xterm.reset();
        }
    }

    xcb_window_t window(int i) const { return *xterms[i]->window(); }
    qint32 pid(int i) const { return static_cast<qint32>(xterms[i]->pid()); }

    void activate(int i) {
        port->workspace().activate(pid(i), {});
        ASSERT_TRUE(
            X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == window(i); }));
        testing::settle(port->state().connection());
    }

    void fake(uint8_t type, xcb_keysym_t keysym) {
        keyboard->send(type, keyboard->keycodeOf(keysym));
        desktop->sync();
        held[keysym] = type == XCB_KEY_PRESS;
    }
    void type(xcb_keysym_t keysym) {
        fake(XCB_KEY_PRESS, keysym);
        fake(XCB_KEY_RELEASE, keysym);
    }
    // Lets go of every key a test left down.
    void release() {
        for (auto it = held.begin(); it != held.end(); ++it) {
            if (it.value()) {
                fake(XCB_KEY_RELEASE, it.key());
            }
        }
    }

    // Super held, Tab typed: the strip opens.
    void openStrip() {
        fake(XCB_KEY_PRESS, superL);
        type(tab);
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return switcher().isShowing(); }));
    }
    X11ApplicationSwitcher& switcher() { return port->applicationSwitcher(); }

    std::optional<qint32> highlighted() const {
        const auto reading = probe->probe();
        return reading ? std::optional(reading->processIdentifier) : std::nullopt;
    }
    // Whether the switcher has let go of the keyboard: another client can take it.
    bool keyboardIsFree() const {
        const auto reply = xcb_grab_keyboard_reply(
            desktop->get(),
            xcb_grab_keyboard(desktop->get(), 0, desktop->root(), XCB_CURRENT_TIME,
                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
            nullptr);
        const bool free = reply != nullptr && reply->status == XCB_GRAB_STATUS_SUCCESS;
        std::free(reply);
        xcb_ungrab_keyboard(desktop->get(), XCB_CURRENT_TIME);
        desktop->sync();
        return free;
    }

    std::optional<testing::X11TestKeyboard> keyboard;
    std::unique_ptr<TestXterm> xterms[3];
    QHash<xcb_keysym_t, bool> held;
    std::unique_ptr<NativeSwitcherProbe> probe;
};

TEST_F(X11ApplicationSwitcherTest, TheProbeReadsTheStripAndReleasingSuperSwitches) {
    EXPECT_FALSE(probe->probe()) << "no strip is up";
    openStrip();
    // Most recent first: Cedar, Birch, Amber; the strip opens on the second.
    const auto reading = probe->probe();
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->processIdentifier, pid(1));
    EXPECT_EQ(reading->displayID, port->screenLayout().mainDisplayIdentifier());
    ASSERT_TRUE(reading->frame);
    const QRect strip = desktop->frameOf(switcher().stripWindow());
    EXPECT_EQ(*reading->frame, GlobalRect::fromQt(QRectF(strip)));
    EXPECT_NEAR(reading->frame->midX(), 640, 1) << "centred on the pointer's screen";
    EXPECT_NEAR(reading->frame->midY(), 400, 1);
    EXPECT_FALSE(keyboardIsFree()) << "the strip holds the keyboard";

    type(tab);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return highlighted() == pid(0); }));
    fake(XCB_KEY_PRESS, shiftL);
    type(tab);
    fake(XCB_KEY_RELEASE, shiftL);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return highlighted() == pid(1); }));
    type(tab);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return highlighted() == pid(0); }));
    EXPECT_EQ(desktop->activeWindow(), window(2)) << "nothing switches while Super is held";

    fake(XCB_KEY_RELEASE, superL);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == window(0); }));
    EXPECT_FALSE(switcher().isShowing());
    EXPECT_FALSE(desktop->isViewable(switcher().stripWindow()));
    EXPECT_TRUE(keyboardIsFree());
    EXPECT_FALSE(probe->probe());
}

TEST_F(X11ApplicationSwitcherTest, IconsMadeAheadShowNothingAndTheStripStillOpensAsBefore) {
    switcher().prepareIcons();
    testing::settle(port->state().connection());
    EXPECT_FALSE(switcher().isShowing());
    EXPECT_TRUE(keyboardIsFree());
    EXPECT_FALSE(probe->probe());
    openStrip();
    EXPECT_EQ(highlighted(), pid(1));
    fake(XCB_KEY_RELEASE, superL);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == window(1); }));
    // A stopped switcher makes nothing.
    switcher().stop();
    switcher().prepareIcons();
    EXPECT_FALSE(switcher().isShowing());
}

TEST_F(X11ApplicationSwitcherTest, TheKeyTapFollowsACycleWhileTheStripHoldsTheKeyboard) {
    FakeContinuousClock clock;
    QtScheduler scheduler{clock};
    RecordingEventLog events;
    GlobalShortcutMonitor monitor(*port, scheduler, events);
    QStringList log;
    monitor.setOnAdvance([&](bool backward) { log << (backward ? "back" : "forward"); });
    monitor.setOnCommandDown([&] { log << "command"; });
    monitor.setOnRelease([&] { log << "release"; });
    monitor.start(true);

    openStrip();
    type(tab);
    fake(XCB_KEY_PRESS, shiftL);
    type(tab);
    fake(XCB_KEY_RELEASE, shiftL);
    fake(XCB_KEY_RELEASE, superL);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return log.contains("release"); }));
    EXPECT_EQ(log, (QStringList{"command", "forward", "forward", "back", "release"}));
}

TEST_F(X11ApplicationSwitcherTest, BackwardOpensOnTheLastAndWrapsAround) {
    fake(XCB_KEY_PRESS, superL);
    fake(XCB_KEY_PRESS, shiftL);
    type(tab);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return switcher().isShowing(); }));
    const auto order = [&] {
        QList<qint32> pids;
        for (const RunningApplication& app : port->workspace().runningApplications()) {
            pids.append(app.processIdentifier);
        }
        return pids;
    }();
    // The last of the strip is the least recently active application of the desktop.
    const std::optional<qint32> last = highlighted();
    ASSERT_TRUE(last);
    EXPECT_TRUE(order.contains(*last));
    EXPECT_NE(*last, pid(2));
    fake(XCB_KEY_RELEASE, shiftL);
    type(tab);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return highlighted() == pid(2); }))
        << "forward from the last wraps to the first";
}

TEST_F(X11ApplicationSwitcherTest, EscapeAndTheDismissCallCloseWithoutSwitching) {
    openStrip();
    type(escape);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return !switcher().isShowing(); }));
    fake(XCB_KEY_RELEASE, superL);
    testing::settle(port->state().connection());
    EXPECT_EQ(desktop->activeWindow(), window(2));

    openStrip();
    EXPECT_TRUE(port->systemSwitcher().dismiss());
    EXPECT_FALSE(switcher().isShowing());
    EXPECT_FALSE(port->systemSwitcher().dismiss()) << "nothing is up any more";
    EXPECT_TRUE(keyboardIsFree());
    fake(XCB_KEY_RELEASE, superL);
    testing::settle(port->state().connection());
    EXPECT_EQ(desktop->activeWindow(), window(2));
}

TEST_F(X11ApplicationSwitcherTest, TheStripStaysAboveAFullScreenWindowWithoutTakingTheFocus) {
    port->state().requests().setFullScreen(window(2), true);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
        return desktop->netWmState(window(2)).contains(desktop->atom("_NET_WM_STATE_FULLSCREEN"));
    }));
    openStrip();
    const auto tree = xcb_query_tree_reply(
        desktop->get(), xcb_query_tree(desktop->get(), desktop->root()), nullptr);
    ASSERT_NE(tree, nullptr);
    const xcb_window_t* children = xcb_query_tree_children(tree);
    const int count = xcb_query_tree_children_length(tree);
    ASSERT_GT(count, 0);
    EXPECT_EQ(children[count - 1], switcher().stripWindow()) << "the topmost child of the root";
    std::free(tree);
    EXPECT_EQ(desktop->activeWindow(), window(2));
    EXPECT_FALSE(desktop->clients().contains(switcher().stripWindow()));
    port->state().requests().setFullScreen(window(2), false);
}

TEST_F(X11ApplicationSwitcherTest, AClickOnAnItemSwitchesToIt) {
    openStrip();
    const auto frame = probe->probe()->frame;
    ASSERT_TRUE(frame);
    // The third item (Amber), by its element's frame.
    const ElementRef shell =
        port->accessibility().applicationElement(X11ShellContent::processIdentifier);
    const AttributeResult hit =
        shell->elementAtPosition(float(frame->midX()), float(frame->midY()));
    ASSERT_TRUE(hit.ok());
    const ElementRef list = hit.value()->toElement()->attribute(ax::parent).value()->toElement();
    const ElementList items = *list->attribute(ax::children).value()->toElements();
    ASSERT_EQ(items.size(), port->workspace().runningApplications().size() - 1)
        << "one item per regular application";
    const GlobalPoint at = *items[2]->attribute(ax::position).value()->toPoint();
    xcb_test_fake_input(desktop->get(), XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, desktop->root(),
                        int16_t(at.x + 10), int16_t(at.y + 10), 0);
    xcb_test_fake_input(desktop->get(), XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(desktop->get(), XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    desktop->sync();
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == window(0); }));
    EXPECT_FALSE(switcher().isShowing());
}

// A window picked while the strip is up (a preview in its glance) is where the switch ends,
// though the manager has not yet said it has the focus: the application's most recent window
// does not replace it.
TEST_F(X11ApplicationSwitcherTest, AWindowPickedWhileSwitchingIsWhereTheSwitchEnds) {
    testing::TestClient notes;
    const auto one = notes.openWindow(*desktop, QStringLiteral("notes-one"));
    const auto two = notes.openWindow(*desktop, QStringLiteral("notes-two"));
    ASSERT_TRUE(one && two);
    X11WindowRequests& requests = port->state().requests();
    for (const xcb_window_t window : {*two, *one, this->window(2)}) {
        requests.activate(window);
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == window; }));
        testing::settle(port->state().connection());
    }
    openStrip();
    ASSERT_EQ(highlighted(), static_cast<qint32>(notes.pid())) << "notes comes second";
    requests.activate(*two);
    fake(XCB_KEY_RELEASE, superL);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == *two; }));
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return !switcher().isShowing(); }));
    testing::settle(port->state().connection());
    desktop->sync();
    EXPECT_EQ(desktop->activeWindow(), *two);

    // Asked for before the strip opened, it is no choice of this switch: with Cedar focused by
    // another client, switching to notes brings notes forward.
    desktop->sendToRoot(this->window(2), "_NET_ACTIVE_WINDOW", {2, XCB_CURRENT_TIME, 0, 0, 0});
    ASSERT_TRUE(
        X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == this->window(2); }));
    testing::settle(port->state().connection());
    openStrip();
    ASSERT_EQ(highlighted(), static_cast<qint32>(notes.pid()));
    fake(XCB_KEY_RELEASE, superL);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == *two; }));
}

TEST_F(X11ApplicationSwitcherTest, TheShellIsPublishedOnlyWhileTheSwitcherRuns) {
    const auto shellListed = [&] {
        for (const RunningApplication& app : port->workspace().runningApplications()) {
            if (app.bundleIdentifier == port->systemSwitcher().shellBundleIdentifier()) {
                return app.processIdentifier == X11ShellContent::processIdentifier &&
                       app.activationPolicy == ActivationPolicy::accessory;
            }
        }
        return false;
    };
    EXPECT_TRUE(shellListed());
    switcher().stop();
    port->state().connection().sync();
    EXPECT_FALSE(shellListed());
    // The keys are free for another client again.
    const xcb_keycode_t keycode = keyboard->keycodeOf(tab);
    const X11KeyboardMap map(keyboard->layout());
    xcb_generic_error_t* error = xcb_request_check(
        desktop->get(), xcb_grab_key_checked(desktop->get(), 0, desktop->root(),
                                             map.modifierMask(KeyModifiers::command), keycode,
                                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    EXPECT_EQ(error, nullptr);
    std::free(error);
    xcb_ungrab_key(desktop->get(), keycode, desktop->root(),
                   map.modifierMask(KeyModifiers::command));
    desktop->sync();
}

TEST_F(X11ApplicationSwitcherTest, AnotherClientHoldingTheBareSuperKeyKeepsTheSwitcherOff) {
    switcher().stop();
    const xcb_keycode_t super = keyboard->keycodeOf(superL);
    const X11KeyboardMap map(keyboard->layout());
    const auto grab = [&](xcb_keycode_t keycode, quint16 modifiers) {
        xcb_generic_error_t* error = xcb_request_check(
            desktop->get(),
            xcb_grab_key_checked(desktop->get(), 0, desktop->root(), modifiers, keycode,
                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        const bool granted = error == nullptr;
        std::free(error);
        return granted;
    };
    // As a manager that opens its menu on Super alone does.
    ASSERT_TRUE(grab(super, 0));
    EXPECT_FALSE(switcher().start());
    EXPECT_EQ(switcher().startProblem(), X11ApplicationSwitcher::StartProblem::superKeyHeld);
    EXPECT_FALSE(switcher().isRunning());
    // It left Super+Tab free.
    const quint16 command = map.modifierMask(KeyModifiers::command);
    EXPECT_TRUE(grab(keyboard->keycodeOf(tab), command));
    xcb_ungrab_key(desktop->get(), keyboard->keycodeOf(tab), desktop->root(), command);

    // Held with a modifier only, the bare key still reaches the program.
    xcb_ungrab_key(desktop->get(), super, desktop->root(), 0);
    ASSERT_TRUE(grab(super, XCB_MOD_MASK_CONTROL));
    EXPECT_TRUE(switcher().start());
    EXPECT_EQ(switcher().startProblem(), X11ApplicationSwitcher::StartProblem::none);
    xcb_ungrab_key(desktop->get(), super, desktop->root(), XCB_MOD_MASK_CONTROL);
    desktop->sync();

    // Super+Tab held elsewhere and Super+Ctrl+Tab too are told apart.
    switcher().stop();
    const quint16 commandControl = map.modifierMask(KeyModifiers::command | KeyModifiers::control);
    ASSERT_TRUE(grab(keyboard->keycodeOf(tab), command));
    ASSERT_TRUE(grab(keyboard->keycodeOf(tab), commandControl));
    EXPECT_FALSE(switcher().start());
    EXPECT_EQ(switcher().startProblem(), X11ApplicationSwitcher::StartProblem::combinationHeld);
    EXPECT_FALSE(switcher().binding());
    xcb_ungrab_key(desktop->get(), keyboard->keycodeOf(tab), desktop->root(), command);
    xcb_ungrab_key(desktop->get(), keyboard->keycodeOf(tab), desktop->root(), commandControl);
    desktop->sync();
    EXPECT_TRUE(switcher().start());
    EXPECT_EQ(switcher().binding(), SwitcherBinding{});
}

TEST_F(X11ApplicationSwitcherTest, WhereSuperTabIsHeldElsewhereTheStripOpensOnSuperCtrlTab) {
    switcher().stop();
    const X11KeyboardMap map(keyboard->layout());
    const quint16 command = map.modifierMask(KeyModifiers::command);
    // As a window manager that binds Super+` (and not Super+Tab) does.
    const xcb_keycode_t grave = keyboard->keycodeOf(0x60);
    xcb_generic_error_t* error = xcb_request_check(
        desktop->get(), xcb_grab_key_checked(desktop->get(), 0, desktop->root(), command, grave,
                                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    ASSERT_EQ(error, nullptr);
    desktop->sync();
    ASSERT_TRUE(switcher().start());
    ASSERT_TRUE(switcher().binding());
    EXPECT_EQ(switcher().binding()->name(), QStringLiteral("Super+Ctrl+Tab"));
    // It let Super+Tab go again: that one is free for others.
    error = xcb_request_check(
        desktop->get(),
        xcb_grab_key_checked(desktop->get(), 0, desktop->root(), command, keyboard->keycodeOf(tab),
                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    EXPECT_EQ(error, nullptr);
    std::free(error);
    xcb_ungrab_key(desktop->get(), keyboard->keycodeOf(tab), desktop->root(), command);
    desktop->sync();

    // Super and Ctrl held, Tab steps forward, Shift+Tab back; letting Ctrl go first keeps the
    // strip up, letting Super go switches.
    fake(XCB_KEY_PRESS, superL);
    fake(XCB_KEY_PRESS, controlL);
    type(tab);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return switcher().isShowing(); }));
    EXPECT_EQ(highlighted(), pid(1));
    type(tab);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return highlighted() == pid(0); }));
    fake(XCB_KEY_PRESS, shiftL);
    type(tab);
    fake(XCB_KEY_RELEASE, shiftL);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return highlighted() == pid(1); }));
    fake(XCB_KEY_RELEASE, controlL);
    testing::settle(port->state().connection());
    EXPECT_TRUE(switcher().isShowing());
    fake(XCB_KEY_RELEASE, superL);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == window(1); }));
    EXPECT_FALSE(switcher().isShowing());
    xcb_ungrab_key(desktop->get(), grave, desktop->root(), command);
    desktop->sync();
}

}  // namespace
}  // namespace pellucine
