#include <gtest/gtest.h>
#include <xcb/xtest.h>

#include <QProcess>
#include <QStringList>
#include <cstdlib>

#include "X11TestDesktop.h"
#include "X11TestKeyboard.h"
#include "base/Clock.h"
#include "base/QtScheduler.h"
#include "base/RecordingEventLog.h"
#include "coordination/GlobalShortcutMonitor.h"
#include "platform/KeyModifiers.h"
#include "platform/x11/X11KeyboardMap.h"
#include "preferences/KeyCombo.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using testing::controlL;
using testing::shiftL;
using testing::superL;
using testing::tab;
using testing::X11PortTest;
using testing::X11TestDesktop;

constexpr xcb_keysym_t letterF = 'f';
constexpr xcb_keysym_t letterG = 'g';

// Drives the fixture's server with XTest and follows what the port's key and pointer sources
// make of it through the monitor the coordinator uses.
class X11InputTest : public X11PortTest {
  protected:
    void SetUp() override {
        X11PortTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        keyboard.emplace(*desktop);
        monitor = std::make_unique<GlobalShortcutMonitor>(*port, scheduler, events);
        monitor->setOnAdvance([this](bool backward) {
            log << (backward ? QStringLiteral("back") : QStringLiteral("forward"));
        });
        monitor->setOnSearch([this] { log << QStringLiteral("search"); });
        monitor->setOnCommandDown([this] { log << QStringLiteral("command"); });
        monitor->setOnRelease([this] { log << QStringLiteral("release"); });
        monitor->start(true);
        ASSERT_TRUE(monitor->isListening()) << "the server offers XInput 2.1";
    }
    void TearDown() override {
        monitor.reset();
        if (otherClient) {
            xcb_disconnect(otherClient);
        }
    }

    void down(xcb_keysym_t keysym) const { keyboard->press(keysym); }
    void up(xcb_keysym_t keysym) const { keyboard->release(keysym); }

    // Control-G as a marker: its release reaches the monitor after everything sent before it.
    QStringList settled() {
        down(controlL);
        up(controlL);
        desktop->sync();
        const int releases = static_cast<int>(log.count(QStringLiteral("release")));
        EXPECT_TRUE(X11TestDesktop::waitUntil(
            [&] { return log.count(QStringLiteral("release")) >= releases + 2; }, 5000));
        QStringList seen = log;
        seen.removeLast();
        seen.removeLast();
        log.clear();
        return seen;
    }

    // Another client holds Super+Tab and Super+Shift+Tab, as a window manager's switcher would.
    void grabSuperTabElsewhere() {
        otherClient = xcb_connect(display.constData(), nullptr);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(otherClient)).data->root;
        const X11KeyboardMap map(keyboard->layout());
        for (const quint64 modifiers :
             {KeyModifiers::command, KeyModifiers::command | KeyModifiers::shift}) {
            xcb_generic_error_t* error = xcb_request_check(
                otherClient, xcb_grab_key_checked(otherClient, 0, root, map.modifierMask(modifiers),
                                                  keyboard->keycodeOf(tab), XCB_GRAB_MODE_ASYNC,
                                                  XCB_GRAB_MODE_ASYNC));
            ASSERT_EQ(error, nullptr) << "the other client holds Super+Tab";
        }
    }

    FakeContinuousClock clock;
    QtScheduler scheduler{clock};
    RecordingEventLog events;
    std::optional<testing::X11TestKeyboard> keyboard;
    std::unique_ptr<GlobalShortcutMonitor> monitor;
    QStringList log;
    xcb_connection_t* otherClient = nullptr;
};

// Puts the server's keyboard in another layout for one test, and back in the fixture's US one
// after it, whatever the test did.
class LayoutChange {
  public:
    explicit LayoutChange(const QString& layout) : changed_(set(layout)) {}
    ~LayoutChange() { set(QStringLiteral("us")); }
    LayoutChange(const LayoutChange&) = delete;
    LayoutChange& operator=(const LayoutChange&) = delete;

    bool changed() const { return changed_; }

  private:
    // setxkbmap syncs before it exits, so the server has the layout on return.
    static bool set(const QString& layout) {
        return QProcess::execute(QStringLiteral("setxkbmap"),
                                 {QStringLiteral("-layout"), layout}) == 0;
    }
    bool changed_;
};

TEST_F(X11InputTest, ARecordedKeyIsNamedAsTheActiveLayoutLabelsIt) {
    const LayoutChange german(QStringLiteral("de"));
    ASSERT_TRUE(german.changed()) << "setxkbmap -layout de";
    const testing::X11TestKeyboard typing(*desktop);
    QList<KeyEvent> downs;
    const std::unique_ptr<KeyEventTap> tap = port->keyEvents().createTap([&](const KeyEvent& e) {
        if (e.type == KeyEvent::Type::keyDown) {
            downs << e;
        }
    });
    ASSERT_TRUE(tap);
    typing.type(typing.keycodesOf({controlL, superL, 'z'}));
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return !downs.isEmpty(); }, 5000));

    // The key German keyboards label Z sits where US ones have Y; the stored code stays that
    // position and its name is the German one.
    const KeyCombo recorded{downs.first().keyCode, downs.first().modifiers & KeyModifiers::all};
    EXPECT_EQ(recorded, (KeyCombo{16, KeyCombo::control | KeyCombo::command}));
    EXPECT_EQ(recorded.keycapLabels(port->keyboardState()), (QStringList{"Ctrl", "Super", "Z"}));
    EXPECT_EQ(KeyCombo{6}.keycapLabels(port->keyboardState()), QStringList{"Y"});
    // A dead key shows its accent: ^ left of 1.
    EXPECT_EQ(KeyCombo{50}.keycapLabels(port->keyboardState()), QStringList{"^"});
    settled();
}

TEST_F(X11InputTest, SuperTabCycleIsReportedInOrder) {
    down(superL);
    down(tab);
    up(tab);
    down(tab);
    up(tab);
    down(shiftL);
    down(tab);
    up(tab);
    up(shiftL);
    up(superL);
    // Super down, two forward steps, Shift (a modifier change with Super held: nothing), one
    // backward step, Shift up (Super alone again: already reported), and the release.
    EXPECT_EQ(settled(), (QStringList{"command", "forward", "forward", "back", "release"}));
}

TEST_F(X11InputTest, SuperFHeldSearchesOnce) {
    down(superL);
    down(letterF);
    down(letterF);
    down(letterF);
    up(letterF);
    up(superL);
    EXPECT_EQ(settled(), (QStringList{"command", "search", "release"}));
    // F without Super, and another letter with it, search nothing.
    down(letterF);
    up(letterF);
    down(superL);
    down(letterG);
    up(letterG);
    up(superL);
    EXPECT_EQ(settled(), (QStringList{"command", "release"}));
}

TEST_F(X11InputTest, KeysStillArriveWhileAnotherClientHoldsSuperTab) {
    grabSuperTabElsewhere();
    down(superL);
    down(tab);
    up(tab);
    down(shiftL);
    down(tab);
    up(tab);
    up(shiftL);
    down(letterF);
    down(letterF);
    up(letterF);
    up(superL);
    EXPECT_EQ(settled(), (QStringList{"command", "forward", "back", "search", "release"}));
    // The grab was taken: the other client got both Tab presses.
    std::free(xcb_get_input_focus_reply(otherClient, xcb_get_input_focus(otherClient), nullptr));
    int grabbedPresses = 0;
    while (xcb_generic_event_t* event = xcb_poll_for_event(otherClient)) {
        grabbedPresses += (event->response_type & 0x7f) == XCB_KEY_PRESS ? 1 : 0;
        std::free(event);
    }
    EXPECT_EQ(grabbedPresses, 2);
}

TEST_F(X11InputTest, ModifierStateFollowsTheKeyboard) {
    EXPECT_EQ(port->keyboardState().modifierFlags() & KeyModifiers::all, 0u);
    down(superL);
    down(shiftL);
    desktop->sync();
    EXPECT_EQ(port->keyboardState().modifierFlags(), KeyModifiers::command | KeyModifiers::shift);
    up(shiftL);
    up(superL);
    desktop->sync();
    EXPECT_EQ(port->keyboardState().modifierFlags() & KeyModifiers::all, 0u);
    EXPECT_FALSE(port->keyboardState().isSecureEventInputEnabled());
    settled();
}

TEST_F(X11InputTest, AWarpedPointerIsAMoveToWhereItWasPut) {
    QList<PointerEvent> seen;
    Subscription watching = port->pointerEvents().monitor(
        PointerEventSource::moves, [&](const PointerEvent& event) { seen << event; });
    ASSERT_TRUE(watching.isActive());
    // Another client puts the pointer somewhere, twice; no device moved it.
    for (const auto& [x, y] : {std::pair<qint16, qint16>{120, 640}, {700, 30}}) {
        xcb_warp_pointer(desktop->get(), XCB_NONE, desktop->root(), 0, 0, 0, 0, x, y);
        desktop->sync();
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
            return !seen.isEmpty() && seen.last().location == GlobalPoint{double(x), double(y)};
        })) << x
            << "," << y;
        EXPECT_EQ(seen.last().type, PointerEvent::Type::moved);
    }
}

TEST_F(X11InputTest, PointerMovesAndClicksArriveInGlobalPoints) {
    QList<PointerEvent> seen;
    Subscription watching = port->pointerEvents().monitor(
        PointerEventSource::moves | PointerEventSource::clicks | PointerEventSource::scrolls,
        [&](const PointerEvent& event) { seen << event; });
    ASSERT_TRUE(watching.isActive());

    xcb_test_fake_input(desktop->get(), XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, desktop->root(),
                        310, 215, 0);
    desktop->sync();
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
        return !seen.isEmpty() && seen.last().location == GlobalPoint{310, 215};
    }));
    EXPECT_EQ(seen.last().type, PointerEvent::Type::moved);
    EXPECT_EQ(port->pointerEvents().pointerLocation(), (GlobalPoint{310, 215}));

    seen.clear();
    xcb_test_fake_input(desktop->get(), XCB_BUTTON_PRESS, 3, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(desktop->get(), XCB_BUTTON_RELEASE, 3, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    desktop->sync();
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return seen.size() >= 2; }));
    EXPECT_EQ(seen[0], (PointerEvent{PointerEvent::Type::rightDown, {310, 215}}));
    EXPECT_EQ(seen[1], (PointerEvent{PointerEvent::Type::rightUp, {310, 215}}));

    // A wheel step down is one scroll event; its release is nothing.
    seen.clear();
    xcb_test_fake_input(desktop->get(), XCB_BUTTON_PRESS, 5, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(desktop->get(), XCB_BUTTON_RELEASE, 5, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    settled();
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0], (PointerEvent{PointerEvent::Type::scrolled, {310, 215}, 0, -1}));

    // A dropped monitor sees nothing more.
    watching.reset();
    seen.clear();
    xcb_test_fake_input(desktop->get(), XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, desktop->root(), 20,
                        20, 0);
    settled();
    EXPECT_TRUE(seen.isEmpty());
}

}  // namespace
}  // namespace pellucine
