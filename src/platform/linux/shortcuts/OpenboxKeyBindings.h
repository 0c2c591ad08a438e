#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/KeyboardShortcutSettings.h"

namespace pellucine {

// The key bindings of the Openbox window manager, from its rc.xml.
class OpenboxKeyBindings final {
  public:
    OpenboxKeyBindings() = delete;

    // The first key of every top-level binding, in file order, with its first action as owner
    // ("Openbox: next window", "Openbox: run scrot"; "Openbox: key chain" for the first key of a
    // chain). Bindings whose key or modifiers a stored
    // combination cannot name (Hyper, Meta, keys outside the key table) are left out; text that
    // is not rc.xml gives nothing.
    static QList<DesktopShortcut> parse(const QByteArray& rcXml);
    // The configuration Openbox reads when none is given on its command line: the first
    // "openbox/rc.xml" found in the folders, in order.
    static QString findConfiguration(const QStringList& configFolders);
    // The user's configuration folder, then $XDG_CONFIG_DIRS (or /etc/xdg).
    static QStringList configFolders(const QString& userConfigFolder);
};

}  // namespace pellucine
