#include "X11TestKeyboard.h"

#include <gtest/gtest.h>
#include <xcb/xtest.h>

#include "X11TestDesktop.h"

namespace pellucine::testing {

X11TestKeyboard::X11TestKeyboard(const X11TestDesktop& desktop)
    : desktop_(desktop), layout_(X11KeyboardLayout::read(desktop.get())) {}

xcb_keycode_t X11TestKeyboard::keycodeOf(xcb_keysym_t keysym) const {
    const auto keycode = layout_.keycodeOf(keysym);
    EXPECT_TRUE(keycode) << "no key carries keysym " << keysym;
    return keycode.value_or(0);
}

QList<xcb_keycode_t> X11TestKeyboard::keycodesOf(const QList<xcb_keysym_t>& keysyms) const {
    QList<xcb_keycode_t> keys;
    for (const xcb_keysym_t keysym : keysyms) {
        keys.append(keycodeOf(keysym));
    }
    return keys;
}

void X11TestKeyboard::send(uint8_t type, xcb_keycode_t key) const {
    if (key != 0) {
        xcb_test_fake_input(desktop_.get(), type, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }
}

void X11TestKeyboard::type(const QList<xcb_keycode_t>& keys) const {
    for (const xcb_keycode_t key : keys) {
        send(XCB_KEY_PRESS, key);
    }
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        send(XCB_KEY_RELEASE, *it);
    }
    desktop_.sync();
}

}  // namespace pellucine::testing
