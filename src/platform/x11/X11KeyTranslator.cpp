#include "platform/x11/X11KeyTranslator.h"

#include <algorithm>

#include "platform/KeyModifiers.h"
#include "platform/linux/LinuxKeyTable.h"

namespace pellucine {

X11KeyTranslator::X11KeyTranslator(const X11KeyboardLayout& layout)
    : layout_(layout), map_(layout) {}

void X11KeyTranslator::setLayout(const X11KeyboardLayout& layout) {
    layout_ = layout;
    map_ = X11KeyboardMap(layout);
}

void X11KeyTranslator::reset(quint64 modifiers) {
    down_.clear();
    modifiers_ = modifiers;
}

X11KeyTranslator::KeyIdentity X11KeyTranslator::identify(xcb_keycode_t keycode) const {
    if (const auto* modifier = LinuxKeyTable::modifierKeyFor(layout_.keysym(keycode, 0))) {
        return {modifier->virtualKey, modifier->modifier};
    }
    return {map_.virtualKey(keycode).value_or(KeyEvent::unknownKey), 0};
}

std::optional<KeyEvent> X11KeyTranslator::press(xcb_keycode_t keycode, bool repeatFlag) {
    const bool repeat = repeatFlag || down_.contains(keycode);
    down_.insert(keycode);
    const KeyIdentity key = identify(keycode);
    if (key.modifier == 0) {
        return KeyEvent{KeyEvent::Type::keyDown, key.virtualKey, modifiers_, repeat};
    }
    if (repeat) {
        return std::nullopt;
    }
    if (key.modifier == KeyModifiers::capsLock) {
        modifiers_ ^= key.modifier;
    } else {
        modifiers_ |= key.modifier;
    }
    return KeyEvent{KeyEvent::Type::flagsChanged, key.virtualKey, modifiers_, false};
}

std::optional<KeyEvent> X11KeyTranslator::release(xcb_keycode_t keycode) {
    down_.remove(keycode);
    const KeyIdentity key = identify(keycode);
    if (key.modifier == 0) {
        return KeyEvent{KeyEvent::Type::keyUp, key.virtualKey, modifiers_, false};
    }
    if (key.modifier == KeyModifiers::capsLock) {
        return std::nullopt;
    }
    const bool stillHeld = std::any_of(down_.begin(), down_.end(), [&](xcb_keycode_t other) {
        return identify(other).modifier == key.modifier;
    });
    if (!stillHeld) {
        modifiers_ &= ~key.modifier;
    }
    return KeyEvent{KeyEvent::Type::flagsChanged, key.virtualKey, modifiers_, false};
}

}  // namespace pellucine
