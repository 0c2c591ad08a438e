#pragma once

#include <QByteArray>
#include <QList>

#include "platform/KeyboardShortcutSettings.h"

namespace pellucine {

// KDE Plasma's global shortcuts, from kglobalshortcutsrc.
class PlasmaGlobalShortcuts final {
  public:
    PlasmaGlobalShortcuts() = delete;

    // Every active shortcut of every component, in file order, named by the action's friendly
    // name ("KDE Plasma: Walk Through Windows"; an application's launch shortcut by the
    // application's name). Shortcuts a stored combination cannot name are left out.
    static QList<DesktopShortcut> parse(const QByteArray& rc);
};

}  // namespace pellucine
