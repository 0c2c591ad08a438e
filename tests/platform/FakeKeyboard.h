#pragma once

#include "platform/linux/LinuxKeyTable.h"
#include "platform/x11/X11KeyboardMap.h"
#include "support/Keysyms.h"

namespace pellucine::testing {

// A server keyboard built by a test: keysyms per key code and the keys of each modifier.
class FakeKeyboard {
  public:
    FakeKeyboard() {
        layout.minKeycode = 8;
        layout.maxKeycode = 255;
        layout.keysymsPerKeycode = 2;
        layout.keysyms = QList<xcb_keysym_t>(248 * 2, 0);
        layout.keycodesPerModifier = 2;
        layout.modifierKeycodes = QList<xcb_keycode_t>(16, 0);
    }

    // The US layout at evdev positions, with the usual modifier keys.
    static FakeKeyboard evdev() {
        FakeKeyboard keyboard;
        for (const LinuxKeyTable::Key& key : LinuxKeyTable::keys()) {
            keyboard.put(key.inputEventCode + 8, key.keysym);
        }
        keyboard.put(50, shiftL).put(66, capsLock).put(64, altL).put(133, superL).put(77, numLock);
        keyboard.bind(0, 50).bind(1, 66).bind(3, 64).bind(4, 77).bind(6, 133);
        return keyboard;
    }

    FakeKeyboard& put(int keycode, xcb_keysym_t keysym, int level = 0) {
        layout.keysyms[(keycode - 8) * 2 + level] = keysym;
        return *this;
    }
    FakeKeyboard& clear(int keycode) { return put(keycode, 0, 0).put(keycode, 0, 1); }
    // Adds the key code to modifier 0 (Shift) to 7 (Mod5).
    FakeKeyboard& bind(int modifier, int keycode) {
        const int slot = layout.modifierKeycodes[modifier * 2] == 0 ? 0 : 1;
        layout.modifierKeycodes[modifier * 2 + slot] = xcb_keycode_t(keycode);
        return *this;
    }
    X11KeyboardMap map() const { return X11KeyboardMap(layout); }

    X11KeyboardLayout layout;
};

}  // namespace pellucine::testing
