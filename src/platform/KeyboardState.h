#pragma once

#include <QtGlobal>

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
};

}  // namespace pellucine
