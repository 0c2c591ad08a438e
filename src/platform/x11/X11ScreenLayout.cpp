#include "platform/x11/X11ScreenLayout.h"

namespace pellucine {

QList<Screen> X11ScreenLayout::screens() const {
    const auto state = state_.lock();
    const QList<X11Monitor> monitors = state ? state->monitors() : QList<X11Monitor>{};
    if (monitors.isEmpty()) {
        return {};
    }
    const X11CoordinateSpace space = state->space();
    const double mainHeight = space.toGlobal(monitors.first().rect).height;
    QList<Screen> screens;
    for (const X11Monitor& monitor : monitors) {
        screens.append(Screen{monitor.identifier,
                              toScreenSpace(space.toGlobal(monitor.rect), mainHeight),
                              toScreenSpace(space.toGlobal(monitor.visibleRect), mainHeight)});
    }
    return screens;
}

quint32 X11ScreenLayout::mainDisplayIdentifier() const {
    const auto state = state_.lock();
    const QList<X11Monitor> monitors = state ? state->monitors() : QList<X11Monitor>{};
    return monitors.isEmpty() ? 0 : monitors.first().identifier;
}

GlobalRect X11ScreenLayout::displayBounds(quint32 displayIdentifier) const {
    const auto state = state_.lock();
    if (!state) {
        return {};
    }
    for (const X11Monitor& monitor : state->monitors()) {
        if (monitor.identifier == displayIdentifier) {
            return state->space().toGlobal(monitor.rect);
        }
    }
    return {};
}

}  // namespace pellucine
