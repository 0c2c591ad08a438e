#pragma once

#include <xcb/xcb.h>

#include <QHash>
#include <QImage>
#include <QList>
#include <QSet>
#include <optional>

#include "platform/x11/X11ApplicationRegistry.h"

namespace pellucine {

class X11DesktopState;

// Applications' icons, the same for every view: the desktop entry's Icon (see IconLookup), else
// the picture the window offers (_NET_WM_ICON), else a picture named after the application's
// window class or executable. Windows' pictures are read once and kept until the window is
// forgotten. Main thread only.
class X11ApplicationIcons {
  public:
    // Reads the pictures of the windows not read before, in one round trip, at the size
    // closest to `side` pixels.
    void fetch(X11DesktopState& state, const QList<xcb_window_t>& windows, int side);
    // The icon of the application whose window (one of its own) is `window`; null when there
    // is none, for the caller's generic symbol.
    QImage iconOf(const X11Application& app, std::optional<xcb_window_t> window, int side);
    void forget(xcb_window_t window) { windowIcons_.remove(window); }
    // Forgets the pictures of every window but `windows`.
    void keepOnly(const QSet<xcb_window_t>& windows);
    void clear() { windowIcons_.clear(); }
    std::size_t windowCount() const { return static_cast<std::size_t>(windowIcons_.size()); }

  private:
    QImage named(const QString& name, int side);

    // Null for windows that offer none.
    QHash<xcb_window_t, QImage> windowIcons_;
    QHash<QString, QImage> namedIcons_;
};

}  // namespace pellucine
