#pragma once

#include <QHash>
#include <QSet>
#include <memory>

#include "base/WeakList.h"
#include "platform/KeyEventSource.h"
#include "platform/KeyboardState.h"

namespace pellucine {

class SimulatedPermissions;

// The keyboard of the simulated desktop: the test presses and releases keys by virtual key
// code, and every enabled tap sees the events at once, as the desktop's event delivery would.
// Modifier keys give flags-changed events and hold their bit while down; Caps Lock toggles its
// bit on each press. A key pressed again while down is a repeat. Taps cannot be made without
// accessibility trust, and see no key events while secure keyboard entry is on. Its layout is
// US unless the test says what a key types.
class SimulatedKeyboard final : public KeyEventSource, public KeyboardState {
  public:
    static constexpr quint32 rightCommandKey = 54;
    static constexpr quint32 commandKey = 55;
    static constexpr quint32 shiftKey = 56;
    static constexpr quint32 capsLockKey = 57;
    static constexpr quint32 optionKey = 58;
    static constexpr quint32 controlKey = 59;
    static constexpr quint32 rightShiftKey = 60;
    static constexpr quint32 rightOptionKey = 61;
    static constexpr quint32 rightControlKey = 62;

    explicit SimulatedKeyboard(const SimulatedPermissions& permissions)
        : permissions_(permissions) {}
    ~SimulatedKeyboard() override;

    std::unique_ptr<KeyEventTap> createTap(Handler handler) override;
    quint64 modifierFlags() const override { return modifiers_; }
    bool isSecureEventInputEnabled() const override { return secureInput_; }
    bool hasSecureEventInput() const override { return hasSecureInput_; }
    std::optional<char32_t> keyCharacter(quint32 virtualKey) const override {
        const auto found = characters_.constFind(virtualKey);
        return found == characters_.cend() ? std::nullopt : std::optional<char32_t>(*found);
    }

    // Driver.
    void keyDown(quint32 keyCode);
    void keyUp(quint32 keyCode);
    // Down, then up.
    void type(quint32 keyCode);
    // Presses the keys in order and releases them in reverse.
    void chord(std::initializer_list<quint32> keyCodes);
    // The desktop disables every enabled tap, telling each why (a `tapDisabledBy…` type).
    void disableTaps(KeyEvent::Type reason);
    void setSecureEventInput(bool on) { secureInput_ = on; }
    // Driver: a desktop without secure keyboard entry (its entry is then never turned on).
    void setHasSecureEventInput(bool has) { hasSecureInput_ = has; }
    void setTapCreationFails(bool fails) { tapCreationFails_ = fails; }
    // What the layout types on the key; none: the key keeps its US name.
    void setKeyCharacter(quint32 virtualKey, std::optional<char32_t> character) {
        if (character) {
            characters_.insert(virtualKey, *character);
        } else {
            characters_.remove(virtualKey);
        }
    }

    // Inspection.
    int tapCount() const;
    int enabledTapCount() const;

  private:
    struct TapState {
        Handler handler;
        bool enabled = true;
    };
    class Tap;

    // The modifier bit a key holds; 0 for other keys.
    static quint64 modifierOf(quint32 keyCode);
    void deliver(const KeyEvent& event);

    const SimulatedPermissions& permissions_;
    WeakList<TapState> taps_;
    QSet<quint32> down_;
    QHash<quint32, char32_t> characters_;
    quint64 modifiers_ = 0;
    bool secureInput_ = false;
    bool hasSecureInput_ = true;
    bool tapCreationFails_ = false;
};

}  // namespace pellucine
