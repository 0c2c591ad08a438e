#include "platform/sim/SimulatedKeyboard.h"

#include <algorithm>

#include "platform/KeyModifiers.h"
#include "platform/sim/SimulatedPermissions.h"

namespace pellucine {

class SimulatedKeyboard::Tap final : public KeyEventTap {
  public:
    explicit Tap(std::shared_ptr<TapState> state) : state_(std::move(state)) {}
    void setEnabled(bool enabled) override { state_->enabled = enabled; }
    bool isEnabled() const override { return state_->enabled; }

  private:
    std::shared_ptr<TapState> state_;
};

SimulatedKeyboard::~SimulatedKeyboard() = default;

std::unique_ptr<KeyEventTap> SimulatedKeyboard::createTap(Handler handler) {
    if (tapCreationFails_ || !permissions_.isAccessibilityTrusted()) {
        return nullptr;
    }
    auto state = std::make_shared<TapState>(TapState{std::move(handler), true});
    taps_.add(state);
    return std::make_unique<Tap>(std::move(state));
}

quint64 SimulatedKeyboard::modifierOf(quint32 keyCode) {
    switch (keyCode) {
        case commandKey:
        case rightCommandKey:
            return KeyModifiers::command;
        case shiftKey:
        case rightShiftKey:
            return KeyModifiers::shift;
        case optionKey:
        case rightOptionKey:
            return KeyModifiers::option;
        case controlKey:
        case rightControlKey:
            return KeyModifiers::control;
        case capsLockKey:
            return KeyModifiers::capsLock;
        default:
            return 0;
    }
}

void SimulatedKeyboard::keyDown(quint32 keyCode) {
    const bool repeat = down_.contains(keyCode);
    down_.insert(keyCode);
    const quint64 bit = modifierOf(keyCode);
    if (bit == KeyModifiers::capsLock) {
        modifiers_ ^= bit;
    } else if (bit != 0) {
        if (repeat) {
            return;
        }
        modifiers_ |= bit;
    }
    deliver({bit != 0 ? KeyEvent::Type::flagsChanged : KeyEvent::Type::keyDown, keyCode, modifiers_,
             bit == 0 && repeat});
}

void SimulatedKeyboard::keyUp(quint32 keyCode) {
    if (!down_.remove(keyCode)) {
        return;
    }
    const quint64 bit = modifierOf(keyCode);
    if (bit == KeyModifiers::capsLock) {
        return;
    }
    if (bit != 0) {
        const bool stillHeld = std::any_of(down_.begin(), down_.end(),
                                           [bit](quint32 key) { return modifierOf(key) == bit; });
        if (!stillHeld) {
            modifiers_ &= ~bit;
        }
    }
    deliver({bit != 0 ? KeyEvent::Type::flagsChanged : KeyEvent::Type::keyUp, keyCode, modifiers_,
             false});
}

void SimulatedKeyboard::type(quint32 keyCode) {
    keyDown(keyCode);
    keyUp(keyCode);
}

void SimulatedKeyboard::chord(std::initializer_list<quint32> keyCodes) {
    for (const quint32 key : keyCodes) {
        keyDown(key);
    }
    for (auto it = std::rbegin(keyCodes); it != std::rend(keyCodes); ++it) {
        keyUp(*it);
    }
}

void SimulatedKeyboard::disableTaps(KeyEvent::Type reason) {
    taps_.forEach([&](TapState& tap) {
        if (tap.enabled) {
            tap.enabled = false;
            if (const Handler handler = tap.handler) {
                handler({reason, KeyEvent::unknownKey, modifiers_, false});
            }
        }
    });
}

void SimulatedKeyboard::deliver(const KeyEvent& event) {
    if (secureInput_) {
        return;
    }
    // A tap made by a handler sees the next event; one removed by a handler sees no more.
    taps_.forEach([&](const TapState& tap) {
        if (const Handler handler = tap.enabled ? tap.handler : nullptr) {
            handler(event);
        }
    });
}

int SimulatedKeyboard::tapCount() const {
    return taps_.size();
}

int SimulatedKeyboard::enabledTapCount() const {
    int enabled = 0;
    taps_.forEach([&](const TapState& tap) { enabled += tap.enabled ? 1 : 0; });
    return enabled;
}

}  // namespace pellucine
