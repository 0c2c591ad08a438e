#pragma once

#include <QStringList>

#include "platform/KeyboardShortcutSettings.h"

namespace pellucine {

class X11Connection;

// What an X11 desktop makes known of its shortcuts: no symbolic hot keys (the desktop keeps no
// such settings), and the running window manager's key bindings where they can be read, which
// is Openbox's configuration file (the one named on the root window, else the first rc.xml in
// the configuration folders). Read afresh on every call.
class X11KeyboardShortcutSettings final : public KeyboardShortcutSettings {
  public:
    X11KeyboardShortcutSettings(X11Connection& connection, QStringList configFolders);

    QJsonObject symbolicHotKeys() const override { return {}; }
    QList<DesktopShortcut> desktopShortcuts() const override;

  private:
    X11Connection& connection_;
    QStringList configFolders_;
};

}  // namespace pellucine
