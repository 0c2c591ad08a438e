#include "platform/x11/X11ApplicationActivation.h"

#include "platform/Workspace.h"
#include "platform/x11/X11DesktopState.h"

namespace pellucine {

void activateApplication(X11DesktopState& state, Workspace& workspace, qint32 pid,
                         X11MinimizedWindows minimized) {
    const std::optional<X11Application> app = state.application(pid);
    if (!app) {
        return;
    }
    const X11FocusHistory& history = state.focusHistory();
    QList<xcb_window_t> shown;
    QList<xcb_window_t> hidden;
    for (const xcb_window_t window : std::as_const(app->windows)) {
        if (const std::optional<X11WindowInfo> info = state.window(window)) {
            (info->isMinimized() ? hidden : shown).append(window);
        }
    }
    std::optional<xcb_window_t> target = history.mostRecent(shown);
    if (app->isHidden) {
        workspace.unhide(pid);
        target = history.mostRecent(shown + hidden);
    } else if (!target && minimized != X11MinimizedWindows::leave) {
        target = history.mostRecent(hidden);
        if (minimized == X11MinimizedWindows::restoreAll) {
            for (const xcb_window_t window : std::as_const(hidden)) {
                if (window != target) {
                    state.requests().deiconify(window);
                }
            }
        }
        if (target) {
            state.requests().deiconify(*target);
        }
    }
    if (target) {
        state.requests().activate(*target);
    }
}

}  // namespace pellucine
