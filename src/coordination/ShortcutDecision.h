#pragma once

#include "platform/KeyEvent.h"
#include "platform/KeyModifiers.h"

namespace pellucine {

// What one keyboard event means for Command-Tab, given whether Command has been reported down and
// the modifiers the switcher's Tab is held with (`hold`, Command alone unless the switcher opens
// on a fallback such as Command-Control-Tab). Tab advances only with every modifier of `hold`
// (and Shift for the direction); F and Escape look only at Command. Flags-changed events report a
// release for every change without Command and a Command press only without Shift, Control or
// Option beyond `hold`. Tab repeats advance each time; F and Escape repeats are ignored.
struct ShortcutDecision {
    enum class Action {
        none,
        // The desktop disabled the tap: enable it again.
        reenableTap,
        // Tab with the held modifiers; `backward` with Shift.
        advance,
        // F with Command.
        search,
        // Escape with Command: the strip is closed without switching.
        dismiss,
        // A modifier change without Command.
        release,
        // Command pressed on its own while not yet reported.
        commandDown,
    };

    static constexpr quint32 tabKey = 48;
    static constexpr quint32 fKey = 3;
    static constexpr quint32 escapeKey = 53;

    Action action = Action::none;
    bool backward = false;

    static ShortcutDecision decide(const KeyEvent& event, bool commandIsDown,
                                   quint64 hold = KeyModifiers::command);

    friend bool operator==(const ShortcutDecision&, const ShortcutDecision&) = default;
};

}  // namespace pellucine
