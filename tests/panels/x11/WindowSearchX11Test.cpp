#include <gtest/gtest.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <QApplication>
#include <QGuiApplication>

#include "X11ModelTest.h"
#include "app/X11PanelWindowSystem.h"
#include "panels/WindowSearchController.h"
#include "panels/WindowSearchPanel.h"
#include "panels/WindowSearchView.h"
#include "preferences/HotkeyCenter.h"

namespace pellucine {
namespace {

using testing::X11TestDesktop;

constexpr xcb_keysym_t shiftL = 0xffe1;
constexpr xcb_keysym_t superL = 0xffeb;
constexpr xcb_keysym_t space = 0x20;
constexpr xcb_keysym_t returnKey = 0xff0d;
constexpr xcb_keysym_t escape = 0xff1b;

// Activation requests sent to the root window, seen as the window manager sees them.
class RootRequests {
  public:
    explicit RootRequests(const X11TestDesktop& desktop)
        : connection_(xcb_connect(nullptr, nullptr)),
          activeWindow_(desktop.atom("_NET_ACTIVE_WINDOW")) {
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, desktop.root(), XCB_CW_EVENT_MASK, &mask);
        // Selected before anything that follows is sent.
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }
    ~RootRequests() { xcb_disconnect(connection_); }

    // The source and timestamp of the last request seen for `window`.
    std::optional<std::pair<uint32_t, uint32_t>> activation(xcb_window_t window) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                message->type == activeWindow_ && message->window == window) {
                last_ = std::pair{message->data.data32[0], message->data.data32[1]};
            }
            std::free(event);
        }
        return last_;
    }

  private:
    xcb_connection_t* connection_;
    xcb_atom_t activeWindow_;
    std::optional<std::pair<uint32_t, uint32_t>> last_;
};

// The controller over the X11 port and the program's own scheduler and panel hints, with the
// default hotkey (Shift+Super+Space) registered; keys and clicks come from XTest as a user's would.
class WindowSearchX11Test : public testing::X11ModelTest {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "No X server to test against";
        }
        X11ModelTest::SetUp();
        if (!port) {
            return;
        }
        symbols.reset(xcb_key_symbols_alloc(desktop->get()));
        alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
        beta = desktop->findClient(QStringLiteral("pellucine-beta"));
        ASSERT_TRUE(alpha && beta);
        hotkeys = std::make_unique<HotkeyCenter>(port->globalHotkeys(), scheduler, events);
        makeModel();
        model->permissions().refresh(QStringLiteral("launch"));
        controller = std::make_unique<WindowSearchController>(
            *model, [] { return QList<qint32>{}; },
            WindowSearchController::Platform{
                *port, scheduler, events, *hotkeys, {}, {}, nullptr, nullptr, windowSystem});
        controller->registerHotkey();
        ASSERT_TRUE(controller->hotkeyID());
    }
    xcb_keycode_t keycode(xcb_keysym_t keysym) const {
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols.get(), keysym);
        const xcb_keycode_t code = codes != nullptr ? codes[0] : 0;
        std::free(codes);
        EXPECT_NE(code, 0) << "no key carries keysym " << keysym;
        return code;
    }
    // Presses the keys in order and lets them go in reverse.
    void press(const QList<xcb_keysym_t>& keysyms) {
        for (const xcb_keysym_t keysym : keysyms) {
            xcb_test_fake_input(desktop->get(), XCB_KEY_PRESS, keycode(keysym), XCB_CURRENT_TIME,
                                XCB_NONE, 0, 0, 0);
        }
        for (auto it = keysyms.rbegin(); it != keysyms.rend(); ++it) {
            xcb_test_fake_input(desktop->get(), XCB_KEY_RELEASE, keycode(*it), XCB_CURRENT_TIME,
                                XCB_NONE, 0, 0, 0);
        }
        desktop->sync();
    }
    void type(const QString& text) {
        for (const QChar c : text) {
            press({c.unicode()});
        }
    }
    void clickAt(QPoint root) {
        xcb_test_fake_input(desktop->get(), XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, desktop->root(),
                            static_cast<int16_t>(root.x()), static_cast<int16_t>(root.y()), 0);
        xcb_test_fake_input(desktop->get(), XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0,
                            0);
        xcb_test_fake_input(desktop->get(), XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0,
                            0);
        desktop->sync();
    }

    // The user works in another window right before: a click gives it the keyboard, and the
    // window manager counts that as the latest user action.
    void focusElsewhere(xcb_window_t window) {
        clickAt(desktop->frameOf(window).adjusted(10, 30, -10, -10).bottomRight());
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == window; }));
    }
    // The hotkey opens the panel, and the window manager gives it the keyboard.
    void openWithHotkey() {
        press({shiftL, superL, space});
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
            return controller->isPanelVisible() &&
                   desktop->activeWindow() == controller->panel()->winId() &&
                   controller->panel()->isActiveWindow() && controller->view()->field()->hasFocus();
        })) << "visible "
            << controller->isPanelVisible() << ", active window " << desktop->activeWindow()
            << ", Qt active " << controller->panel()->isActiveWindow();
    }
    QList<quint32> resultIDs() const {
        QList<quint32> ids;
        for (const WindowSearch::Result& result : controller->search().results()) {
            ids.append(result.candidate.window.id);
        }
        return ids;
    }

    std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> symbols{
        nullptr, &xcb_key_symbols_free};
    std::optional<xcb_window_t> alpha;
    std::optional<xcb_window_t> beta;
    std::unique_ptr<HotkeyCenter> hotkeys;
    X11PanelWindowSystem windowSystem;
    std::unique_ptr<WindowSearchController> controller;
};

TEST_F(WindowSearchX11Test, TheHotkeyOpensAPanelThatTakesTheKeyboardAndReturnSwitches) {
    focusElsewhere(*beta);
    RootRequests requests(*desktop);
    const xcb_timestamp_t before = connection->serverTime();
    openWithHotkey();
    // The panel asked as a user's direct action, stamped after the hotkey was pressed.
    const xcb_window_t panel = controller->panel()->winId();
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return requests.activation(panel).has_value(); }));
    EXPECT_EQ(requests.activation(panel)->first, 2u);
    EXPECT_GE(requests.activation(panel)->second, before);
    // Centred on the 1280 × 800 screen, its top a fifth of the height down.
    const QRect frame = desktop->frameOf(panel);
    EXPECT_EQ(frame.left(), 640 - 330);
    EXPECT_EQ(frame.top(), 160);
    EXPECT_EQ(frame.width(), 660);
    // The window manager's fresh list arrives; typing narrows it to the fixture's alpha xterm.
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return resultIDs().contains(*alpha) && resultIDs().contains(*beta); }));
    type(QStringLiteral("alpha"));
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return controller->view()->field()->text() == QStringLiteral("alpha"); }));
    EXPECT_EQ(resultIDs(), (QList<quint32>{*alpha}));
    // The program's own panel is never listed.
    for (const WindowSearch::Candidate& candidate : controller->search().candidates()) {
        EXPECT_NE(candidate.window.id, controller->panel()->winId());
    }
    press({returnKey});
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return !controller->isPanelVisible() && desktop->activeWindow() == *alpha; }));
    EXPECT_EQ(
        events.last(QStringLiteral("window-search-committed"))->fields.value("requestedCount"),
        QStringLiteral("1"));
}

TEST_F(WindowSearchX11Test, EscapeTheHotkeyAndAClickElsewhereCloseIt) {
    focusElsewhere(*alpha);
    openWithHotkey();
    press({escape});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return !controller->isPanelVisible(); }));

    openWithHotkey();
    press({shiftL, superL, space});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return !controller->isPanelVisible(); }));

    // Reopened at once after a close, the panel keeps the keyboard.
    openWithHotkey();
    // A point of beta that the panel does not cover.
    const QRect frame = desktop->frameOf(*beta).adjusted(10, 30, -10, -10);
    const QRect panel = controller->panel()->frameGeometry();
    const QPoint outside =
        panel.contains(frame.bottomRight()) ? frame.bottomLeft() : frame.bottomRight();
    ASSERT_FALSE(panel.contains(outside));
    clickAt(outside);
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return !controller->isPanelVisible() && desktop->activeWindow() == *beta; }));
    EXPECT_TRUE(controller->search().results().isEmpty());
}

}  // namespace
}  // namespace pellucine
