#pragma once

#include <QByteArray>
#include <QList>

#include "platform/KeyboardShortcutSettings.h"

namespace pellucine {

// Xfce's keyboard shortcuts, from its xfce4-keyboard-shortcuts settings channel.
class XfceKeyboardShortcuts final {
  public:
    XfceKeyboardShortcuts() = delete;

    // The shortcuts of the channel files, the system's defaults first and the user's file last:
    // a later file's property replaces an earlier one's. Of the window manager's and the
    // commands' shortcuts, the custom set counts when it is marked as overriding the defaults,
    // else the default set. Window-manager actions are named in words ("Xfce: Cycle windows"),
    // commands as run ("Xfce: run xfce4-appfinder"). Files that are not channel files add
    // nothing.
    static QList<DesktopShortcut> parse(const QList<QByteArray>& channelFiles);
};

}  // namespace pellucine
