#pragma once

#include <QStringView>
#include <optional>

#include "platform/KeyboardShortcutSettings.h"

namespace pellucine {

// A desktop's written form of a key combination as a combination (its owner left empty). Forms
// whose modifiers or key a stored combination cannot name (Hyper, Meta on GTK, media keys) and
// the words desktops write for "none" give nothing.
class DesktopAccelerator final {
  public:
    DesktopAccelerator() = delete;

    // GTK's form, which GNOME, Cinnamon, MATE and Xfce store: "<Super>Tab", "<Primary><Alt>t",
    // "<Ctrl><Shift>Page_Up", "<Super>Above_Tab". Modifier names ignore letter case.
    static std::optional<DesktopShortcut> fromGtk(QStringView text);
    // Qt's portable form, which KDE Plasma stores: "Meta+Tab", "Ctrl+Alt+Del", "Alt+Shift+Backtab".
    static std::optional<DesktopShortcut> fromQt(QStringView text);
};

}  // namespace pellucine
