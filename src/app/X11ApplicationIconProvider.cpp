#include "app/X11ApplicationIconProvider.h"

#include <QSet>

#include "platform/x11/X11DesktopState.h"

namespace pellucine {

QImage X11ApplicationIconProvider::icon(qint32 processIdentifier) const {
    const QList<X11Application> applications = state_.applications();
    QSet<xcb_window_t> live;
    const X11Application* found = nullptr;
    for (const X11Application& app : applications) {
        live.unite(QSet<xcb_window_t>(app.windows.begin(), app.windows.end()));
        if (app.pid == processIdentifier) {
            found = &app;
        }
    }
    // A window id the server hands out again must not bring back a closed window's picture.
    icons_.keepOnly(live);
    if (found == nullptr) {
        return {};
    }
    const std::optional<xcb_window_t> window = state_.focusHistory().mostRecent(found->windows);
    if (window) {
        icons_.fetch(state_, {*window}, side);
    }
    return icons_.iconOf(*found, window, side);
}

}  // namespace pellucine
