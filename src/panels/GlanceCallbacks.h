#pragma once

#include <functional>
#include <optional>

#include "coordination/SwitcherPanelControlling.h"

namespace pellucine {

// Everything a glance's views send: the panel's callbacks, and the pointer entering a window
// (the window) or leaving it (nothing).
struct GlanceCallbacks {
    SwitcherPanelCallbacks panel;
    std::function<void(const std::optional<WindowDescriptor>&)> onHoverPeek;

    void select(const WindowDescriptor& window) const {
        if (panel.onSelect) {
            panel.onSelect(window);
        }
    }
    // A focus action is a selection; any other goes to onAction.
    void perform(const WindowAction& action, const WindowDescriptor& window) const {
        if (action.kind == WindowAction::Kind::focus) {
            select(window);
        } else if (panel.onAction) {
            panel.onAction(action, window);
        }
    }
    void performOnApplication(ApplicationAction action, qint32 processIdentifier) const {
        if (panel.onApplicationAction) {
            panel.onApplicationAction(action, processIdentifier);
        }
    }
    void hover(const std::optional<WindowDescriptor>& window) const {
        if (onHoverPeek) {
            onHoverPeek(window);
        }
    }
};

}  // namespace pellucine
