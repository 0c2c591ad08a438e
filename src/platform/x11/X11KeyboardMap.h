#pragma once

#include <xcb/xcb.h>

#include <QHash>
#include <QList>
#include <optional>

namespace pellucine {

// The server's keyboard as one read of its keyboard and modifier mappings.
struct X11KeyboardLayout {
    xcb_keycode_t minKeycode = 8;
    xcb_keycode_t maxKeycode = 255;
    quint8 keysymsPerKeycode = 0;
    // `keysymsPerKeycode` keysyms for each key code from `minKeycode` on.
    QList<xcb_keysym_t> keysyms;
    quint8 keycodesPerModifier = 0;
    // `keycodesPerModifier` key codes for each of Shift, Lock, Control and Mod1 to Mod5; 0 is
    // an unused place.
    QList<xcb_keycode_t> modifierKeycodes;

    // Both mappings, in one round trip; empty when the server does not answer.
    static X11KeyboardLayout read(xcb_connection_t* connection);

    // The keysym at a level of the key's first group, or 0 (NoSymbol).
    xcb_keysym_t keysym(xcb_keycode_t keycode, int level) const;
    // The first key code carrying the keysym at its first level.
    std::optional<xcb_keycode_t> keycodeOf(xcb_keysym_t keysym) const;
};

// Translates between stored key combinations and the server's keys. Virtual key codes map to X
// key codes by position when the server uses evdev key codes, by the key's US keysym otherwise
// and for any key missing at its position; both directions use the same pairs, so every key
// that maps at all maps back to itself. Command is the modifier that carries Super, Option the
// one that carries Alt (Mod4 and Mod1 when the server binds neither).
class X11KeyboardMap {
  public:
    explicit X11KeyboardMap(const X11KeyboardLayout& layout = {});

    bool isPositional() const { return positional_; }

    std::optional<xcb_keycode_t> keycode(quint32 virtualKey) const;
    std::optional<quint32> virtualKey(xcb_keycode_t keycode) const;

    // The X modifier mask for `KeyModifiers` bits; other bits are dropped.
    quint16 modifierMask(quint64 modifiers) const;
    // The `KeyModifiers` bits of an X key state; lock and button bits are dropped.
    quint64 modifiers(quint16 state) const;
    // Caps Lock, Num Lock and Scroll Lock, those the server binds.
    quint16 lockMask() const { return lockMask_; }
    // Every combination of the lock modifiers, none first: a grab for each of them makes a
    // combination work whatever locks are on.
    QList<quint16> lockVariants() const;

  private:
    QHash<quint32, xcb_keycode_t> keycodes_;
    QHash<xcb_keycode_t, quint32> virtualKeys_;
    quint16 superMask_ = XCB_MOD_MASK_4;
    quint16 altMask_ = XCB_MOD_MASK_1;
    quint16 lockMask_ = XCB_MOD_MASK_LOCK;
    bool positional_ = false;
};

}  // namespace pellucine
