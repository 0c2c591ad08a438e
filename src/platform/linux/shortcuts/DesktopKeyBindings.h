#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/KeyboardShortcutSettings.h"

namespace pellucine {

// The desktops whose own key bindings are read.
enum class DesktopSession { gnome, cinnamon, mate, plasma, xfce, other };

// Where the desktops keep their key bindings, injected so that tests bring their own.
struct DesktopBindingFolders {
    // The user's configuration folder ($XDG_CONFIG_HOME), which holds the dconf database,
    // kglobalshortcutsrc and Xfce's channel files.
    QString userConfig;
    // The system's configuration folders, most important first.
    QStringList systemConfig;
    // The folders of compiled GSettings schemas and their sources, most important first.
    QStringList schemas;

    // The running user's folders.
    static DesktopBindingFolders fromEnvironment(const QString& userConfig);
};

// The key bindings of the desktop that runs, each named as the desktop calls the action
// ("GNOME: Switch applications"). Every file is read afresh; a file that is missing,
// unreadable, too large or malformed contributes nothing.
class DesktopKeyBindings final {
  public:
    DesktopKeyBindings() = delete;

    // The desktop named by XDG_CURRENT_DESKTOP (its first component this knows, so
    // "ubuntu:GNOME" is GNOME), else by XDG_SESSION_DESKTOP or DESKTOP_SESSION, else KDE's
    // own KDE_FULL_SESSION.
    static DesktopSession detect(const QString& currentDesktop, const QString& sessionDesktop,
                                 const QString& desktopSession, const QString& kdeFullSession);
    static DesktopSession detectFromEnvironment();

    static QList<DesktopShortcut> read(DesktopSession session,
                                       const DesktopBindingFolders& folders);
};

}  // namespace pellucine
