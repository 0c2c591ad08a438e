#include "platform/linux/LinuxKeyTable.h"

#include <array>

#include "platform/KeyModifiers.h"

namespace pellucine {

namespace {

using Key = LinuxKeyTable::Key;

constexpr quint32 keysymF1 = 0xffbe;
constexpr quint32 keysymKP0 = 0xffb0;

// Virtual key, input event code, keysym on a US layout, keysym name.
constexpr std::array<Key, 99> table{{
    // Letters.
    {0, 30, 'a', "a"},
    {11, 48, 'b', "b"},
    {8, 46, 'c', "c"},
    {2, 32, 'd', "d"},
    {14, 18, 'e', "e"},
    {3, 33, 'f', "f"},
    {5, 34, 'g', "g"},
    {4, 35, 'h', "h"},
    {34, 23, 'i', "i"},
    {38, 36, 'j', "j"},
    {40, 37, 'k', "k"},
    {37, 38, 'l', "l"},
    {46, 50, 'm', "m"},
    {45, 49, 'n', "n"},
    {31, 24, 'o', "o"},
    {35, 25, 'p', "p"},
    {12, 16, 'q', "q"},
    {15, 19, 'r', "r"},
    {1, 31, 's', "s"},
    {17, 20, 't', "t"},
    {32, 22, 'u', "u"},
    {9, 47, 'v', "v"},
    {13, 17, 'w', "w"},
    {7, 45, 'x', "x"},
    {16, 21, 'y', "y"},
    {6, 44, 'z', "z"},
    // Digits.
    {18, 2, '1', "1"},
    {19, 3, '2', "2"},
    {20, 4, '3', "3"},
    {21, 5, '4', "4"},
    {23, 6, '5', "5"},
    {22, 7, '6', "6"},
    {26, 8, '7', "7"},
    {28, 9, '8', "8"},
    {25, 10, '9', "9"},
    {29, 11, '0', "0"},
    // Punctuation.
    {27, 12, '-', "minus"},
    {24, 13, '=', "equal"},
    {33, 26, '[', "bracketleft"},
    {30, 27, ']', "bracketright"},
    {42, 43, '\\', "backslash"},
    {41, 39, ';', "semicolon"},
    {39, 40, '\'', "apostrophe"},
    {43, 51, ',', "comma"},
    {47, 52, '.', "period"},
    {44, 53, '/', "slash"},
    {50, 41, '`', "grave"},
    // Editing and navigation. Help sits where PC keyboards have Insert.
    {49, 57, ' ', "space"},
    {48, 15, 0xff09, "Tab"},
    {36, 28, 0xff0d, "Return"},
    {53, 1, 0xff1b, "Escape"},
    {51, 14, 0xff08, "BackSpace"},
    {117, 111, 0xffff, "Delete"},
    {114, 110, 0xff63, "Insert"},
    {115, 102, 0xff50, "Home"},
    {119, 107, 0xff57, "End"},
    {116, 104, 0xff55, "Prior"},
    {121, 109, 0xff56, "Next"},
    {123, 105, 0xff51, "Left"},
    {124, 106, 0xff53, "Right"},
    {125, 108, 0xff54, "Down"},
    {126, 103, 0xff52, "Up"},
    // Function keys.
    {122, 59, keysymF1 + 0, "F1"},
    {120, 60, keysymF1 + 1, "F2"},
    {99, 61, keysymF1 + 2, "F3"},
    {118, 62, keysymF1 + 3, "F4"},
    {96, 63, keysymF1 + 4, "F5"},
    {97, 64, keysymF1 + 5, "F6"},
    {98, 65, keysymF1 + 6, "F7"},
    {100, 66, keysymF1 + 7, "F8"},
    {101, 67, keysymF1 + 8, "F9"},
    {109, 68, keysymF1 + 9, "F10"},
    {103, 87, keysymF1 + 10, "F11"},
    {111, 88, keysymF1 + 11, "F12"},
    {105, 183, keysymF1 + 12, "F13"},
    {107, 184, keysymF1 + 13, "F14"},
    {113, 185, keysymF1 + 14, "F15"},
    {106, 186, keysymF1 + 15, "F16"},
    {64, 187, keysymF1 + 16, "F17"},
    {79, 188, keysymF1 + 17, "F18"},
    {80, 189, keysymF1 + 18, "F19"},
    {90, 190, keysymF1 + 19, "F20"},
    // Keypad.
    {82, 82, keysymKP0 + 0, "KP_0"},
    {83, 79, keysymKP0 + 1, "KP_1"},
    {84, 80, keysymKP0 + 2, "KP_2"},
    {85, 81, keysymKP0 + 3, "KP_3"},
    {86, 75, keysymKP0 + 4, "KP_4"},
    {87, 76, keysymKP0 + 5, "KP_5"},
    {88, 77, keysymKP0 + 6, "KP_6"},
    {89, 71, keysymKP0 + 7, "KP_7"},
    {91, 72, keysymKP0 + 8, "KP_8"},
    {92, 73, keysymKP0 + 9, "KP_9"},
    {65, 83, 0xffae, "KP_Decimal"},
    {67, 55, 0xffaa, "KP_Multiply"},
    {69, 78, 0xffab, "KP_Add"},
    {78, 74, 0xffad, "KP_Subtract"},
    {75, 98, 0xffaf, "KP_Divide"},
    {76, 96, 0xff8d, "KP_Enter"},
    {81, 117, 0xffbd, "KP_Equal"},
}};

// Super is Command and Alt (Meta where a layout puts it on the Alt keys) is Option.
constexpr std::array<LinuxKeyTable::ModifierKey, 11> modifiers{{
    {55, 0xffeb, KeyModifiers::command},   // Super_L
    {54, 0xffec, KeyModifiers::command},   // Super_R
    {56, 0xffe1, KeyModifiers::shift},     // Shift_L
    {60, 0xffe2, KeyModifiers::shift},     // Shift_R
    {59, 0xffe3, KeyModifiers::control},   // Control_L
    {62, 0xffe4, KeyModifiers::control},   // Control_R
    {58, 0xffe9, KeyModifiers::option},    // Alt_L
    {61, 0xffea, KeyModifiers::option},    // Alt_R
    {58, 0xffe7, KeyModifiers::option},    // Meta_L
    {61, 0xffe8, KeyModifiers::option},    // Meta_R
    {57, 0xffe5, KeyModifiers::capsLock},  // Caps_Lock
}};

// Other spellings X accepts for the table's keysyms.
constexpr std::array<std::pair<const char*, quint32>, 2> aliases{{
    {"Page_Up", 0xff55},
    {"Page_Down", 0xff56},
}};

constexpr quint8 evdevOffset = 8;

}  // namespace

std::span<const Key> LinuxKeyTable::keys() {
    return table;
}

std::span<const LinuxKeyTable::ModifierKey> LinuxKeyTable::modifierKeys() {
    return modifiers;
}

const LinuxKeyTable::ModifierKey* LinuxKeyTable::modifierKeyFor(quint32 keysym) {
    for (const ModifierKey& key : modifiers) {
        if (key.keysym == keysym) {
            return &key;
        }
    }
    return nullptr;
}

const Key* LinuxKeyTable::find(quint32 virtualKey) {
    for (const Key& key : table) {
        if (key.virtualKey == virtualKey) {
            return &key;
        }
    }
    return nullptr;
}

std::optional<quint8> LinuxKeyTable::positionalKeycode(quint32 virtualKey) {
    if (const Key* key = find(virtualKey)) {
        return static_cast<quint8>(key->inputEventCode + evdevOffset);
    }
    return std::nullopt;
}

std::optional<quint32> LinuxKeyTable::virtualKeyAtPosition(quint8 keycode) {
    for (const Key& key : table) {
        if (key.inputEventCode + evdevOffset == keycode) {
            return key.virtualKey;
        }
    }
    return std::nullopt;
}

std::optional<quint32> LinuxKeyTable::virtualKeyForKeysym(quint32 keysym) {
    if (keysym >= 'A' && keysym <= 'Z') {
        keysym += 'a' - 'A';
    }
    for (const Key& key : table) {
        if (key.keysym == keysym) {
            return key.virtualKey;
        }
    }
    return std::nullopt;
}

std::optional<quint32> LinuxKeyTable::keysymNamed(QStringView name) {
    for (const Key& key : table) {
        if (name == QLatin1String(key.keysymName)) {
            return key.keysym;
        }
    }
    for (const auto& [alias, keysym] : aliases) {
        if (name == QLatin1String(alias)) {
            return keysym;
        }
    }
    if (name.size() == 1 && name.front() >= u'A' && name.front() <= u'Z') {
        return name.front().toLower().unicode();
    }
    return std::nullopt;
}

}  // namespace pellucine
