#include "settings/HotkeyKeys.h"

#include <QKeyEvent>
#include <array>
#include <utility>

#include "platform/KeyModifiers.h"
#include "platform/linux/LinuxKeyTable.h"

namespace pellucine::HotkeyKeys {

namespace {

constexpr quint32 keysymF1 = 0xffbe;
constexpr quint32 keysymKP0 = 0xffb0;

constexpr std::array<std::pair<int, quint32>, 17> specialKeys{{
    {Qt::Key_Escape, 0xff1b},
    {Qt::Key_Tab, 0xff09},
    {Qt::Key_Backtab, 0xff09},
    {Qt::Key_Backspace, 0xff08},
    {Qt::Key_Return, 0xff0d},
    {Qt::Key_Enter, 0xff8d},
    {Qt::Key_Insert, 0xff63},
    {Qt::Key_Delete, 0xffff},
    {Qt::Key_Home, 0xff50},
    {Qt::Key_End, 0xff57},
    {Qt::Key_PageUp, 0xff55},
    {Qt::Key_PageDown, 0xff56},
    {Qt::Key_Left, 0xff51},
    {Qt::Key_Up, 0xff52},
    {Qt::Key_Right, 0xff53},
    {Qt::Key_Down, 0xff54},
    {Qt::Key_Space, ' '},
}};

constexpr std::array<std::pair<int, quint32>, 6> keypadKeys{{
    {Qt::Key_Period, 0xffae},
    {Qt::Key_Asterisk, 0xffaa},
    {Qt::Key_Plus, 0xffab},
    {Qt::Key_Minus, 0xffad},
    {Qt::Key_Slash, 0xffaf},
    {Qt::Key_Equal, 0xffbd},
}};

}  // namespace

bool isModifierKey(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
        case Qt::Key_Mode_switch:
            return true;
        default:
            return false;
    }
}

std::optional<quint32> keysym(int qtKey, bool keypad) {
    if (keypad) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
            return keysymKP0 + static_cast<quint32>(qtKey - Qt::Key_0);
        }
        for (const auto& [key, sym] : keypadKeys) {
            if (key == qtKey) {
                return sym;
            }
        }
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F35) {
        return keysymF1 + static_cast<quint32>(qtKey - Qt::Key_F1);
    }
    for (const auto& [key, sym] : specialKeys) {
        if (key == qtKey) {
            return sym;
        }
    }
    // Printable ASCII: Qt's key is the character, as is the keysym.
    if (qtKey > 0x20 && qtKey < 0x7f) {
        return static_cast<quint32>(qtKey);
    }
    return std::nullopt;
}

quint64 modifiers(Qt::KeyboardModifiers modifiers) {
    quint64 bits = 0;
    if (modifiers & Qt::ShiftModifier) {
        bits |= KeyModifiers::shift;
    }
    if (modifiers & Qt::ControlModifier) {
        bits |= KeyModifiers::control;
    }
    if (modifiers & Qt::AltModifier) {
        bits |= KeyModifiers::option;
    }
    if (modifiers & Qt::MetaModifier) {
        bits |= KeyModifiers::command;
    }
    return bits;
}

HotkeyPress translate(const QKeyEvent& event, const NativeKeyReader& native) {
    if (native && event.nativeScanCode() != 0) {
        return native(event);
    }
    HotkeyPress press;
    press.modifierKey = isModifierKey(event.key());
    press.modifiers = modifiers(event.modifiers());
    if (const std::optional<quint32> sym =
            keysym(event.key(), event.modifiers().testFlag(Qt::KeypadModifier))) {
        press.keyCode = LinuxKeyTable::virtualKeyForKeysym(*sym);
    }
    return press;
}

}  // namespace pellucine::HotkeyKeys
