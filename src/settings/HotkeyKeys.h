#pragma once

#include <QtGlobal>
#include <optional>

#include "platform/x11/X11KeyboardMap.h"

class QKeyEvent;

namespace pellucine {

// One key press as stored key combinations name it.
struct HotkeyPress {
    // The stored key code of the key; none for a key no combination can name.
    std::optional<quint32> keyCode;
    // `KeyModifiers` bits held with it.
    quint64 modifiers = 0;
    // The key is itself a modifier or a lock (Shift, Control, Super, Caps Lock, …).
    bool modifierKey = false;

    friend bool operator==(const HotkeyPress&, const HotkeyPress&) = default;
};

// The translation from key events to stored combinations: the one the hotkey grabs use, so that
// a recorded combination registers as the key that was pressed.
namespace HotkeyKeys {

// With `map`, an event carrying an X key code is read at the key's position and its X modifier
// state, through the same map the grabs use; otherwise the key's US keysym goes through the same
// key table and Qt's modifiers are taken (Super is Command, Alt is Option).
HotkeyPress translate(const QKeyEvent& event, const X11KeyboardMap* map);

// The keysym a Qt key stands for on a US layout; none for keys the table has no place for.
std::optional<quint32> keysym(int qtKey, bool keypad);
quint64 modifiers(Qt::KeyboardModifiers modifiers);
bool isModifierKey(int qtKey);

// The keyboard of the X server the application draws on, read now; none on other platforms.
std::optional<X11KeyboardMap> applicationKeyboardMap();

}  // namespace HotkeyKeys
}  // namespace pellucine
