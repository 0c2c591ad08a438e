#pragma once

#include <Qt>
#include <QtGlobal>
#include <functional>
#include <optional>

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

// Reads a key event that carries a native scan code at the key's position and its native
// modifier state, as the hotkey grabs read the keyboard.
using NativeKeyReader = std::function<HotkeyPress(const QKeyEvent& event)>;
// Makes a NativeKeyReader over the keyboard as it is now, at the start of a recording; an empty
// reader where the platform's keyboard cannot be read.
using NativeKeyboard = std::function<NativeKeyReader()>;

// The translation from key events to stored combinations: the one the hotkey grabs use, so that
// a recorded combination registers as the key that was pressed.
namespace HotkeyKeys {

// With a `native` reader, an event carrying a native scan code is read by it; otherwise the key's
// US keysym goes through the key table the grabs use and Qt's modifiers are taken (Super is
// Command, Alt is Option).
HotkeyPress translate(const QKeyEvent& event, const NativeKeyReader& native);

// The keysym a Qt key stands for on a US layout; none for keys the table has no place for.
std::optional<quint32> keysym(int qtKey, bool keypad);
quint64 modifiers(Qt::KeyboardModifiers modifiers);
bool isModifierKey(int qtKey);

}  // namespace HotkeyKeys
}  // namespace pellucine
