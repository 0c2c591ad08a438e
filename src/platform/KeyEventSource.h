#pragma once

#include <functional>
#include <memory>

#include "platform/KeyEvent.h"

namespace pellucine {

// An installed listen-only tap. Destroying it removes it.
class KeyEventTap {
  public:
    virtual ~KeyEventTap() = default;

    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
};

// The keyboard events of the whole session, observed without taking them: every event still
// reaches the application it was meant for, and keeps arriving while another client holds a
// keyboard grab. Handlers run on the main thread from the desktop's event delivery, in event
// order. While secure keyboard entry is on, no key events are delivered.
class KeyEventSource {
  public:
    using Handler = std::function<void(const KeyEvent&)>;

    virtual ~KeyEventSource() = default;

    // Installs an enabled tap; none when the desktop refuses one.
    virtual std::unique_ptr<KeyEventTap> createTap(Handler handler) = 0;
};

}  // namespace pellucine
