#include "coordination/ShortcutDecision.h"

namespace pellucine {

ShortcutDecision ShortcutDecision::decide(const KeyEvent& event, bool commandIsDown, quint64 hold) {
    using Type = KeyEvent::Type;
    const bool command = (event.modifiers & KeyModifiers::command) != 0;
    switch (event.type) {
        case Type::tapDisabledByTimeout:
        case Type::tapDisabledByUserInput:
            return {Action::reenableTap};
        case Type::keyDown:
            if (command && event.keyCode == tabKey && (event.modifiers & hold) == hold) {
                return {Action::advance, (event.modifiers & KeyModifiers::shift) != 0};
            }
            if (command && event.keyCode == fKey && !event.isRepeat) {
                return {Action::search};
            }
            if (command && event.keyCode == escapeKey && !event.isRepeat) {
                return {Action::dismiss};
            }
            return {};
        case Type::keyUp:
            return {};
        case Type::flagsChanged: {
            if (!command) {
                return {Action::release};
            }
            constexpr quint64 others =
                KeyModifiers::shift | KeyModifiers::control | KeyModifiers::option;
            if ((event.modifiers & others & ~hold) == 0 && !commandIsDown) {
                return {Action::commandDown};
            }
            return {};
        }
    }
    return {};
}

}  // namespace pellucine
