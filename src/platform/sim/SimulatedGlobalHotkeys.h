#pragma once

#include <QList>
#include <QStringList>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "platform/GlobalHotkeys.h"

namespace pellucine {

// Global hotkeys in memory, for tests. Combinations can be held by other programs, the next
// registration can be made to fail with any answer, and presses are driven by the test; a press
// runs the handlers synchronously, as the desktop's event delivery would. Handles start at 1000
// so that a caller mixing them up with its own numbers shows.
class SimulatedGlobalHotkeys final : public GlobalHotkeys {
  public:
    // The error code of a combination held by another program unless the test gives one (the
    // X server's BadAccess).
    static constexpr qint32 heldErrorCode = 10;

    struct Registration {
        Handle handle = 0;
        quint32 keyCode = 0;
        quint64 modifiers = 0;
    };

    HotkeyRegistrationResult registerHotkey(quint32 keyCode, quint64 modifiers,
                                            PressHandler onPress) override;
    void unregisterHotkey(Handle handle) override;

    // Driver: another program holds the combination (modifiers as `KeyModifiers` bits), or lets
    // it go.
    void holdByAnotherClient(quint32 keyCode, quint64 modifiers, qint32 errorCode = heldErrorCode);
    void releaseByAnotherClient(quint32 keyCode, quint64 modifiers);
    // The next registration gets this answer instead of being made.
    void failNextRegistration(HotkeyRegistrationResult answer);
    // The user presses the key with these modifiers down (lock and other bits are ignored).
    // Runs the handler of every registration of the combination, oldest first; a registration
    // ended by an earlier handler of the same press is skipped. Returns how many ran.
    int press(quint32 keyCode, quint64 modifiers);

    // Inspection: live registrations, oldest first.
    QList<Registration> registrations() const;
    // Every request, as "register 49 0x120000: 1000", "register 49 0x120000: failed 10",
    // "unregister 1000".
    const QStringList& requests() const { return requests_; }

  private:
    struct Entry {
        Registration registration;
        PressHandler onPress;
    };
    using Combination = std::pair<quint32, quint64>;

    std::map<Handle, Entry> entries_;
    std::map<Combination, qint32> heldElsewhere_;
    std::optional<HotkeyRegistrationResult> nextAnswer_;
    Handle nextHandle_ = 1000;
    QStringList requests_;
};

}  // namespace pellucine
