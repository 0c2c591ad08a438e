#pragma once

#include <xcb/xcb.h>

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>
#include <span>

namespace pellucine {

// The one translation between the stored virtual key codes (positions on the ANSI layout: 0 is
// A, 49 is Space) and X11 keys. Each key has its Linux input event code, whose X key code on a
// server with evdev key codes is that code plus 8, and the keysym it carries on a US layout, for
// servers whose key codes are not positional and for key names in configuration files.
class X11KeyTable final {
  public:
    X11KeyTable() = delete;

    struct Key {
        quint32 virtualKey;
        quint16 inputEventCode;
        xcb_keysym_t keysym;
        const char* keysymName;
    };

    // A modifier key: the keysym it carries and the `KeyModifiers` bit it holds.
    struct ModifierKey {
        quint32 virtualKey;
        xcb_keysym_t keysym;
        quint64 modifier;
    };

    // Every key a stored combination can name, in a fixed order.
    static std::span<const Key> keys();
    // The modifier keys, left and right, and Caps Lock; none of them names a combination.
    static std::span<const ModifierKey> modifierKeys();
    static const ModifierKey* modifierKeyFor(xcb_keysym_t keysym);
    static const Key* find(quint32 virtualKey);

    // The X key code at the key's position on a server with evdev key codes.
    static std::optional<xcb_keycode_t> positionalKeycode(quint32 virtualKey);
    // The virtual key at an evdev X key code.
    static std::optional<quint32> virtualKeyAtPosition(xcb_keycode_t keycode);
    // The virtual key of the key that carries the keysym on a US layout. Capital letters count
    // as their key.
    static std::optional<quint32> virtualKeyForKeysym(xcb_keysym_t keysym);
    // The keysym of a keysym name as X spells it ("space", "Tab", "Prior" or "Page_Up", "a" or
    // "A"), for the table's keys only.
    static std::optional<xcb_keysym_t> keysymNamed(QStringView name);
};

}  // namespace pellucine
