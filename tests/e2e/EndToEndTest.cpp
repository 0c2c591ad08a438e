#include "EndToEndTest.h"

#include <xcb/xtest.h>

#include <QDir>

#include "support/Keysyms.h"

namespace pellucine::testing {

void EndToEndTest::TearDown() {
    if (!HasFailure()) {
        return;
    }
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    session.keepTraces(QDir::current().absoluteFilePath(
        QStringLiteral("%1.%2").arg(test->test_suite_name(), test->name())));
}

std::optional<xcb_window_t> EndToEndTest::startFocusedXterm() {
    const std::optional<xcb_window_t> xterm = session.startClient(
        QStringLiteral("xterm"), {"-T", "e2e-term", "-geometry", "60x15+700+80", "-e", "/bin/sh"},
        QStringLiteral("e2e-term"));
    return xterm && becomesActive(*xterm) ? xterm : std::nullopt;
}

bool EndToEndTest::becomesActive(xcb_window_t window) {
    const bool active =
        X11TestDesktop::waitUntil([&] { return desktop().activeWindow() == window; }, 15000);
    EXPECT_TRUE(active) << "active: " << desktop().activeWindow() << ", expected " << window;
    return active;
}

void EndToEndTest::activate(xcb_window_t window) {
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = window;
    request.type = desktop().atom("_NET_ACTIVE_WINDOW");
    request.data.data32[0] = 2;
    sendToRoot(request);
}

void EndToEndTest::sendToRoot(const xcb_client_message_event_t& message) {
    xcb_send_event(desktop().get(), 0, desktop().root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    desktop().sync();
}

bool EndToEndTest::minimize(xcb_window_t window) {
    constexpr uint32_t iconicState = 3;
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = window;
    request.type = desktop().atom("WM_CHANGE_STATE");
    request.data.data32[0] = iconicState;
    sendToRoot(request);
    return X11TestDesktop::waitUntil([&] { return desktop().wmState(window) == iconicState; });
}

void EndToEndTest::tap(xcb_keysym_t keysym) {
    keyboard().press(keysym);
    keyboard().release(keysym);
    desktop().sync();
}

void EndToEndTest::superTab() {
    keyboard().press(superL);
    tap(tab);
}

void EndToEndTest::releaseSuper() {
    keyboard().release(superL);
    desktop().sync();
}

void EndToEndTest::movePointer(QPoint point) {
    xcb_test_fake_input(desktop().get(), XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, desktop().root(),
                        static_cast<int16_t>(point.x()), static_cast<int16_t>(point.y()), 0);
    desktop().sync();
}

}  // namespace pellucine::testing
