#include "platform/x11/X11SystemWindowList.h"

namespace pellucine {

QList<WindowListEntry> X11SystemWindowList::windows(const WindowListOptions& options) const {
    const auto state = state_.lock();
    if (!state) {
        return {};
    }
    const X11CoordinateSpace space = state->space();
    const X11DesktopSnapshot snapshot = state->snapshot();
    QList<WindowListEntry> entries;
    for (const X11WindowInfo& info : snapshot.windows) {
        if (options.onScreenOnly && !info.isOnScreen()) {
            continue;
        }
        if (options.excludeDesktopElements && info.type == X11WindowType::desktop) {
            continue;
        }
        WindowListEntry entry;
        entry.number = info.window;
        if (info.pid) {
            entry.ownerPID = *info.pid;
        }
        entry.layer = info.layer();
        entry.bounds = space.toGlobal(info.frameRect());
        entry.isOnScreen = info.isOnScreen();
        entries.append(entry);
    }
    return entries;
}

QSet<quint32> X11SystemWindowList::liveWindowNumbers() const {
    const auto state = state_.lock();
    return state ? state->clientNumbers() : QSet<quint32>{};
}

}  // namespace pellucine
