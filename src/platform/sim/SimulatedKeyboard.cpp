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
    std::erase_if(taps_, [](const auto& tap) { return tap.expired(); });
    taps_.push_back(state);
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
    const std::vector<std::weak_ptr<TapState>> snapshot = taps_;
    for (const auto& weak : snapshot) {
        const auto tap = weak.lock();
        if (tap && tap->enabled) {
            tap->enabled = false;
            const Handler handler = tap->handler;
            if (handler) {
                handler({reason, KeyEvent::unknownKey, modifiers_, false});
            }
        }
    }
}

std::vector<std::shared_ptr<SimulatedKeyboard::TapState>> SimulatedKeyboard::liveTaps() const {
    std::vector<std::shared_ptr<TapState>> live;
    for (const auto& weak : taps_) {
        if (auto tap = weak.lock()) {
            live.push_back(std::move(tap));
        }
    }
    return live;
}

void SimulatedKeyboard::deliver(const KeyEvent& event) {
    if (secureInput_) {
        return;
    }
    // A tap made by a handler sees the next event; one removed by a handler sees no more.
    const std::vector<std::weak_ptr<TapState>> snapshot = taps_;
    for (const auto& weak : snapshot) {
        const auto tap = weak.lock();
        if (tap && tap->enabled && tap->handler) {
            const Handler handler = tap->handler;
            handler(event);
        }
    }
}

int SimulatedKeyboard::tapCount() const {
    return static_cast<int>(liveTaps().size());
}

int SimulatedKeyboard::enabledTapCount() const {
    const auto live = liveTaps();
    return static_cast<int>(
        std::count_if(live.begin(), live.end(), [](const auto& tap) { return tap->enabled; }));
}

}  // namespace pellucine
