#include "platform/x11/X11KeyboardMap.h"

#include <array>

#include "platform/KeyModifiers.h"
#include "platform/linux/LinuxKeyTable.h"
#include "platform/x11/X11Reply.h"

namespace pellucine {

namespace {

constexpr xcb_keysym_t keysymSuperL = 0xffeb;
constexpr xcb_keysym_t keysymSuperR = 0xffec;
constexpr xcb_keysym_t keysymAltL = 0xffe9;
constexpr xcb_keysym_t keysymAltR = 0xffea;
constexpr xcb_keysym_t keysymNumLock = 0xff7f;
constexpr xcb_keysym_t keysymScrollLock = 0xff14;

// Keys whose keysym does not change with the layout: if most sit at their evdev positions, the
// server's key codes are positional.
constexpr std::array<quint32, 10> anchorKeys{53, 36, 49, 48, 51, 126, 123, 115, 122, 117};

constexpr std::array<quint16, 8> modifierBits{
    XCB_MOD_MASK_SHIFT, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_CONTROL, XCB_MOD_MASK_1,
    XCB_MOD_MASK_2,     XCB_MOD_MASK_3,    XCB_MOD_MASK_4,       XCB_MOD_MASK_5,
};

bool carries(const X11KeyboardLayout& layout, xcb_keycode_t keycode, xcb_keysym_t keysym) {
    for (int level = 0; level < layout.keysymsPerKeycode; ++level) {
        if (layout.keysym(keycode, level) == keysym) {
            return true;
        }
    }
    return false;
}

bool hasSymbols(const X11KeyboardLayout& layout, xcb_keycode_t keycode) {
    for (int level = 0; level < layout.keysymsPerKeycode; ++level) {
        if (layout.keysym(keycode, level) != 0) {
            return true;
        }
    }
    return false;
}

// The mask of the Mod1 to Mod5 modifier that holds a key carrying one of the keysyms; 0 when
// none does.
quint16 modifierCarrying(const X11KeyboardLayout& layout,
                         std::initializer_list<xcb_keysym_t> keysyms) {
    const int perModifier = layout.keycodesPerModifier;
    for (int modifier = 3; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const qsizetype index = modifier * perModifier + i;
            if (index >= layout.modifierKeycodes.size()) {
                return 0;
            }
            const xcb_keycode_t keycode = layout.modifierKeycodes[index];
            for (const xcb_keysym_t keysym : keysyms) {
                if (keycode != 0 && carries(layout, keycode, keysym)) {
                    return modifierBits[modifier];
                }
            }
        }
    }
    return 0;
}

}  // namespace

X11KeyboardLayout X11KeyboardLayout::read(xcb_connection_t* connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    X11KeyboardLayout layout;
    layout.minKeycode = setup->min_keycode;
    layout.maxKeycode = setup->max_keycode;
    const auto keyboardCookie = xcb_get_keyboard_mapping(
        connection, setup->min_keycode, setup->max_keycode - setup->min_keycode + 1);
    const auto modifierCookie = xcb_get_modifier_mapping(connection);
    const auto keyboard = takeReply(connection, xcb_get_keyboard_mapping_reply, keyboardCookie);
    const auto modifiers = takeReply(connection, xcb_get_modifier_mapping_reply, modifierCookie);
    if (keyboard) {
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(keyboard.get());
        const int count = xcb_get_keyboard_mapping_keysyms_length(keyboard.get());
        layout.keysymsPerKeycode = keyboard->keysyms_per_keycode;
        layout.keysyms = QList<xcb_keysym_t>(keysyms, keysyms + count);
    }
    if (modifiers) {
        const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(modifiers.get());
        const int count = xcb_get_modifier_mapping_keycodes_length(modifiers.get());
        layout.keycodesPerModifier = modifiers->keycodes_per_modifier;
        layout.modifierKeycodes = QList<xcb_keycode_t>(keycodes, keycodes + count);
    }
    return layout;
}

xcb_keysym_t X11KeyboardLayout::keysym(xcb_keycode_t keycode, int level) const {
    if (keycode < minKeycode || keycode > maxKeycode || level < 0 || level >= keysymsPerKeycode) {
        return 0;
    }
    const qsizetype index = qsizetype(keycode - minKeycode) * keysymsPerKeycode + level;
    return index < keysyms.size() ? keysyms[index] : 0;
}

std::optional<xcb_keycode_t> X11KeyboardLayout::keycodeOf(xcb_keysym_t wanted) const {
    for (int code = minKeycode; code <= maxKeycode; ++code) {
        if (keysym(static_cast<xcb_keycode_t>(code), 0) == wanted) {
            return static_cast<xcb_keycode_t>(code);
        }
    }
    return std::nullopt;
}

X11KeyboardMap::X11KeyboardMap(const X11KeyboardLayout& layout) {
    int anchored = 0;
    for (const quint32 virtualKey : anchorKeys) {
        const LinuxKeyTable::Key* key = LinuxKeyTable::find(virtualKey);
        const auto keycode = LinuxKeyTable::positionalKeycode(virtualKey);
        anchored += key && keycode && layout.keysym(*keycode, 0) == key->keysym ? 1 : 0;
    }
    positional_ = anchored * 2 > int(anchorKeys.size());

    const auto claim = [this](quint32 virtualKey, xcb_keycode_t keycode) {
        keycodes_.insert(virtualKey, keycode);
        virtualKeys_.insert(keycode, virtualKey);
    };
    if (positional_) {
        for (const LinuxKeyTable::Key& key : LinuxKeyTable::keys()) {
            const auto keycode = LinuxKeyTable::positionalKeycode(key.virtualKey);
            if (keycode && hasSymbols(layout, *keycode) && !virtualKeys_.contains(*keycode)) {
                claim(key.virtualKey, *keycode);
            }
        }
    }
    // Keys not found at their position: the first free key code carrying their keysym on
    // either of the first two levels.
    for (const LinuxKeyTable::Key& key : LinuxKeyTable::keys()) {
        if (keycodes_.contains(key.virtualKey)) {
            continue;
        }
        for (int code = layout.minKeycode; code <= layout.maxKeycode; ++code) {
            const auto keycode = static_cast<xcb_keycode_t>(code);
            if (!virtualKeys_.contains(keycode) && (layout.keysym(keycode, 0) == key.keysym ||
                                                    layout.keysym(keycode, 1) == key.keysym)) {
                claim(key.virtualKey, keycode);
                break;
            }
        }
    }

    if (const quint16 super = modifierCarrying(layout, {keysymSuperL, keysymSuperR})) {
        superMask_ = super;
    }
    if (const quint16 alt = modifierCarrying(layout, {keysymAltL, keysymAltR})) {
        altMask_ = alt;
    }
    lockMask_ = XCB_MOD_MASK_LOCK | modifierCarrying(layout, {keysymNumLock}) |
                modifierCarrying(layout, {keysymScrollLock});
    // A lock sharing a modifier with Super or Alt would make that modifier ignored.
    lockMask_ &= ~(superMask_ | altMask_);
}

std::optional<xcb_keycode_t> X11KeyboardMap::keycode(quint32 virtualKey) const {
    const auto it = keycodes_.constFind(virtualKey);
    return it == keycodes_.constEnd() ? std::nullopt : std::optional(*it);
}

std::optional<quint32> X11KeyboardMap::virtualKey(xcb_keycode_t keycode) const {
    const auto it = virtualKeys_.constFind(keycode);
    return it == virtualKeys_.constEnd() ? std::nullopt : std::optional(*it);
}

quint16 X11KeyboardMap::modifierMask(quint64 modifiers) const {
    quint16 mask = 0;
    mask |= (modifiers & KeyModifiers::shift) ? XCB_MOD_MASK_SHIFT : 0;
    mask |= (modifiers & KeyModifiers::control) ? XCB_MOD_MASK_CONTROL : 0;
    mask |= (modifiers & KeyModifiers::option) ? altMask_ : 0;
    mask |= (modifiers & KeyModifiers::command) ? superMask_ : 0;
    return mask;
}

quint64 X11KeyboardMap::modifiers(quint16 state) const {
    quint64 bits = 0;
    bits |= (state & XCB_MOD_MASK_SHIFT) ? KeyModifiers::shift : 0;
    bits |= (state & XCB_MOD_MASK_CONTROL) ? KeyModifiers::control : 0;
    bits |= (state & altMask_) ? KeyModifiers::option : 0;
    bits |= (state & superMask_) ? KeyModifiers::command : 0;
    return bits;
}

QList<quint16> X11KeyboardMap::lockVariants() const {
    QList<quint16> locks;
    for (const quint16 bit : modifierBits) {
        if (lockMask_ & bit) {
            locks << bit;
        }
    }
    QList<quint16> variants{0};
    for (const quint16 lock : locks) {
        for (qsizetype i = 0, n = variants.size(); i < n; ++i) {
            variants << quint16(variants[i] | lock);
        }
    }
    return variants;
}

}  // namespace pellucine
