#pragma once

#include <xcb/xcb.h>

#include <QList>

#include "platform/x11/X11KeyboardMap.h"
#include "support/Keysyms.h"

namespace pellucine::testing {

class X11TestDesktop;

// The fixture server's keyboard as a test types on it through XTest, from the test's own
// connection; keys are found by keysym in the server's layout.
class X11TestKeyboard {
  public:
    explicit X11TestKeyboard(const X11TestDesktop& desktop);

    const X11KeyboardLayout& layout() const { return layout_; }

    // The first key that carries `keysym`; 0, failing the test, when none does.
    xcb_keycode_t keycodeOf(xcb_keysym_t keysym) const;
    QList<xcb_keycode_t> keycodesOf(const QList<xcb_keysym_t>& keysyms) const;

    // Sends XCB_KEY_PRESS or XCB_KEY_RELEASE of `key` without waiting; nothing for key 0.
    void send(uint8_t type, xcb_keycode_t key) const;
    void press(xcb_keysym_t keysym) const { send(XCB_KEY_PRESS, keycodeOf(keysym)); }
    void release(xcb_keysym_t keysym) const { send(XCB_KEY_RELEASE, keycodeOf(keysym)); }
    // Presses the keys in order and releases them in reverse, as a user would; returns once the
    // server has carried that out.
    void type(const QList<xcb_keycode_t>& keys) const;

  private:
    const X11TestDesktop& desktop_;
    X11KeyboardLayout layout_;
};

}  // namespace pellucine::testing
