#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>
#include <span>

namespace pellucine {

// The one translation between the stored virtual key codes (positions on the ANSI layout: 0 is
// A, 49 is Space) and Linux keys. Each key has its Linux input event code, whose X key code on a
// server with evdev key codes is that code plus 8, and the keysym it carries on a US layout, for
// servers whose key codes are not positional and for key names in configuration files. Keysyms
// and key codes are the X values (a keysym is 32 bits, a key code 8).
class LinuxKeyTable final {
  public:
    LinuxKeyTable() = delete;

    struct Key {
        quint32 virtualKey;
        quint16 inputEventCode;
        quint32 keysym;
        const char* keysymName;
    };

    // A modifier key: the keysym it carries and the `KeyModifiers` bit it holds.
    struct ModifierKey {
        quint32 virtualKey;
        quint32 keysym;
        quint64 modifier;
    };

    // Every key a stored combination can name, in a fixed order.
    static std::span<const Key> keys();
    // The modifier keys, left and right, and Caps Lock; none of them names a combination.
    static std::span<const ModifierKey> modifierKeys();
    static const ModifierKey* modifierKeyFor(quint32 keysym);
    static const Key* find(quint32 virtualKey);

    // The X key code at the key's position on a server with evdev key codes.
    static std::optional<quint8> positionalKeycode(quint32 virtualKey);
    // The virtual key at an evdev X key code.
    static std::optional<quint32> virtualKeyAtPosition(quint8 keycode);
    // The virtual key of the key that carries the keysym on a US layout. Capital letters count
    // as their key.
    static std::optional<quint32> virtualKeyForKeysym(quint32 keysym);
    // The keysym of a keysym name as X spells it ("space", "Tab", "Prior" or "Page_Up", "a" or
    // "A"), for the table's keys only.
    static std::optional<quint32> keysymNamed(QStringView name);
};

}  // namespace pellucine
