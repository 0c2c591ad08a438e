#pragma once

#include <QtGlobal>
#include <functional>

namespace pellucine {

// What the desktop answered to one hotkey registration.
struct HotkeyRegistrationResult {
    enum class Status {
        registered,
        // Another program holds the combination.
        heldByAnotherClient,
        // The key has no place on the current keyboard.
        keyUnavailable,
        // Refused for another reason, or presses could not be delivered.
        failed,
    };

    Status status = Status::failed;
    // Names the registration when it was made; never 0 then.
    quint64 handle = 0;
    // The desktop's own code for the answer: 0 when registered, else the refusal's code (an X
    // error code on X11, a scripted one on the simulated desktop).
    qint32 errorCode = 0;

    bool isRegistered() const { return status == Status::registered && handle != 0; }
};

// System-wide keyboard shortcuts: a registered combination reaches the program whichever
// application is in front. Key codes are the stored positional virtual key codes; modifiers are
// `KeyModifiers` bits, and any other bit (Caps Lock among them) is ignored, so a press counts
// whatever lock keys are on. Press handlers run on the main thread from the desktop's event
// delivery, once per press, and may register and unregister hotkeys. A combination may be
// registered more than once; each registration holds until it is unregistered itself.
class GlobalHotkeys {
  public:
    using Handle = quint64;
    using PressHandler = std::function<void()>;

    virtual ~GlobalHotkeys() = default;

    virtual HotkeyRegistrationResult registerHotkey(quint32 keyCode, quint64 modifiers,
                                                    PressHandler onPress) = 0;
    // Ends a registration; unknown or already ended handles are ignored.
    virtual void unregisterHotkey(Handle handle) = 0;
};

}  // namespace pellucine
