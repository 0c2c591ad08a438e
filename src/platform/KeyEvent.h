#pragma once

#include <QtGlobal>

namespace pellucine {

// One keyboard event as a listen-only tap sees it.
struct KeyEvent {
    enum class Type {
        keyDown,
        keyUp,
        // A modifier key went down or up, or a lock changed; `keyCode` is that key.
        flagsChanged,
        // The desktop stopped delivering to the tap: it took too long, or user input turned it
        // off. The tap stays disabled until it is enabled again.
        tapDisabledByTimeout,
        tapDisabledByUserInput,
    };

    // The code of a key the virtual key codes do not name: outside the range of any of them.
    static constexpr quint32 unknownKey = 0x10000;

    Type type = Type::keyDown;
    // The positional virtual key code (0 is A, 48 is Tab, 55 is Command).
    quint32 keyCode = unknownKey;
    // `KeyModifiers` bits held once the event has taken effect, Caps Lock included.
    quint64 modifiers = 0;
    // A key down produced by holding the key.
    bool isRepeat = false;

    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

}  // namespace pellucine
