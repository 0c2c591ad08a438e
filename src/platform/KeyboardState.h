#pragma once

#include <QtGlobal>
#include <optional>

namespace pellucine {

// The keyboard as it stands now, read on request. Main thread only.
class KeyboardState {
  public:
    virtual ~KeyboardState() = default;

    // The `KeyModifiers` bits held down, with Caps Lock when it is on.
    virtual quint64 modifierFlags() const = 0;
    // Whether an application has turned on secure keyboard entry, which hides key events from
    // every tap.
    virtual bool isSecureEventInputEnabled() const = 0;
    // Whether this desktop has secure keyboard entry at all; where it has none, the entry is
    // never on and need not be read again.
    virtual bool hasSecureEventInput() const { return true; }
    // What the key at a stored key code types at its first level in the layout in effect: the
    // active group's, or the first group that types Latin letters where the active one does not;
    // a dead key gives its accent. None for a key that types no character, or when the layout
    // cannot be read: its name is then the US one.
    virtual std::optional<char32_t> keyCharacter(quint32 virtualKey) const = 0;
};

}  // namespace pellucine
