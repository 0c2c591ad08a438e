#pragma once

#include <xcb/xcb.h>

#include <QSet>
#include <optional>

#include "platform/KeyEvent.h"
#include "platform/x11/X11KeyboardMap.h"

namespace pellucine {

// Turns the raw presses and releases of X key codes into the port's key events. It keeps the
// keys that are down and the modifier set they make: a modifier key (by the keysym it carries)
// gives a flags-changed event and holds its bit while it or another key of the same bit is
// down; Caps Lock toggles its bit on each press. A press of a key that is already down is a
// repeat; a modifier's repeat gives nothing.
class X11KeyTranslator {
  public:
    explicit X11KeyTranslator(const X11KeyboardLayout& layout = {});

    // A new keyboard mapping; the keys down stay down.
    void setLayout(const X11KeyboardLayout& layout);
    // Starts again from a modifier set read from the server, no key known to be down.
    void reset(quint64 modifiers);

    // `repeatFlag`: the server marked the press as an automatic repeat.
    std::optional<KeyEvent> press(xcb_keycode_t keycode, bool repeatFlag = false);
    std::optional<KeyEvent> release(xcb_keycode_t keycode);

    quint64 modifiers() const { return modifiers_; }

  private:
    struct KeyIdentity {
        quint32 virtualKey = KeyEvent::unknownKey;
        quint64 modifier = 0;
    };
    KeyIdentity identify(xcb_keycode_t keycode) const;

    X11KeyboardLayout layout_;
    X11KeyboardMap map_;
    QSet<xcb_keycode_t> down_;
    quint64 modifiers_ = 0;
};

}  // namespace pellucine
