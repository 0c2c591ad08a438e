#pragma once

#include <QStringList>

#include "platform/KeyboardShortcutSettings.h"
#include "platform/linux/shortcuts/DesktopKeyBindings.h"

namespace pellucine {

class X11Connection;

// What an X11 desktop makes known of its shortcuts: no symbolic hot keys (it is not the system
// that keeps them), the key bindings of the desktop that runs (GNOME, Cinnamon, MATE, KDE
// Plasma, Xfce), and those of Openbox when it is the window manager (its configuration file is
// the one named on the root window, else the first rc.xml in the configuration folders). Read
// afresh on every call.
class X11KeyboardShortcutSettings final : public KeyboardShortcutSettings {
  public:
    X11KeyboardShortcutSettings(X11Connection& connection, QStringList configFolders,
                                DesktopSession session = DesktopSession::other,
                                DesktopBindingFolders desktopFolders = {});

    std::optional<QJsonObject> symbolicHotKeys() const override { return std::nullopt; }
    QList<DesktopShortcut> desktopShortcuts() const override;

  private:
    QList<DesktopShortcut> openboxShortcuts() const;

    X11Connection& connection_;
    QStringList configFolders_;
    DesktopSession session_;
    DesktopBindingFolders desktopFolders_;
};

}  // namespace pellucine
