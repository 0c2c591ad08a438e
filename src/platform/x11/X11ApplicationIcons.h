#pragma once

#include <xcb/xcb.h>

#include <QHash>
#include <QImage>
#include <QList>
#include <optional>

#include "platform/x11/X11ApplicationRegistry.h"

namespace pellucine {

class X11DesktopState;

// Applications' icons as the shell draws them: the picture a window offers (_NET_WM_ICON),
// else the desktop entry's icon from the theme. Windows' pictures are read once and kept until
// the window is forgotten. Main thread only.
class X11ApplicationIcons {
  public:
    // Reads the pictures of the windows not read before, in one round trip, at the size
    // closest to `side` pixels.
    void fetch(X11DesktopState& state, const QList<xcb_window_t>& windows, int side);
    // The picture of `window` (one of the application's) when it offers one, else the desktop
    // entry's; null when neither has one.
    QImage iconOf(const X11Application& app, std::optional<xcb_window_t> window, int side);
    void forget(xcb_window_t window) { windowIcons_.remove(window); }
    void clear() { windowIcons_.clear(); }

  private:
    // Null for windows that offer none.
    QHash<xcb_window_t, QImage> windowIcons_;
    QHash<QString, QImage> themeIcons_;
};

}  // namespace pellucine
