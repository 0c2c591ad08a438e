#pragma once

#include <xcb/xcb.h>

#include <QStringList>

#include "platform/KeyboardShortcutSettings.h"

namespace pellucine {

// What an X11 desktop makes known of its shortcuts: no symbolic hot keys (the desktop keeps no
// such settings), and the running window manager's key bindings where they can be read, which
// is Openbox's configuration file (the one named on the root window, else the first rc.xml in
// the configuration folders). Read afresh on every call.
class X11KeyboardShortcutSettings final : public KeyboardShortcutSettings {
  public:
    X11KeyboardShortcutSettings(xcb_connection_t* connection, xcb_window_t root,
                                QStringList configFolders);

    QJsonObject symbolicHotKeys() const override { return {}; }
    QList<DesktopShortcut> desktopShortcuts() const override;

  private:
    xcb_connection_t* connection_;
    xcb_window_t root_;
    QStringList configFolders_;
};

}  // namespace pellucine
