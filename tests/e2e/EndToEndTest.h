#pragma once

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include "EndToEndSession.h"

namespace pellucine::testing {

// Fixture base of the end-to-end tests: the session, the keys and requests a user's desktop
// sends, and what a failure leaves behind (a screenshot, the window tree and the event log,
// beside the test's working folder).
class EndToEndTest : public ::testing::Test {
  protected:
    EndToEndTest() = default;
    // On a screen of this size.
    explicit EndToEndTest(QSize screen) : session(WindowManager::openbox, screen) {}

    void TearDown() override;

    X11TestDesktop& desktop() { return session.desktop(); }
    X11TestKeyboard& keyboard() { return session.keyboard(); }
    qsizetype mark() const { return session.events().size(); }

    // An xterm titled "e2e-term" at the top right, once it holds the focus; none when it did not
    // appear or take it.
    std::optional<xcb_window_t> startFocusedXterm();
    // Waits until the window is the active one; a failure of the test when it is not.
    bool becomesActive(xcb_window_t window);
    // Asks the window manager to activate the window, as a pager does.
    void activate(xcb_window_t window);
    void sendToRoot(const xcb_client_message_event_t& message);
    // Asks the window manager to minimize the window and waits until it has.
    bool minimize(xcb_window_t window);
    void tap(xcb_keysym_t keysym);
    // Holds Super and presses Tab: the strip comes up.
    void superTab();
    void releaseSuper();
    // Moves the pointer there, as a mouse does.
    void movePointer(QPoint point);

    EndToEndSession session;
};

}  // namespace pellucine::testing
