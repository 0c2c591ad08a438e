#pragma once

#include <QString>

namespace pellucine {

// The folders the program reads and writes, injected so that tests never touch the real home
// folder. All paths are absolute and carry no trailing slash.
struct AppPaths {
    // Application Support: $XDG_DATA_HOME, else ~/.local/share.
    QString applicationSupport;
    // The folder of the user defaults file: $XDG_CONFIG_HOME, else ~/.config.
    QString defaults;
    // The user's Desktop folder.
    QString desktop;

    // The folders of the running user, from the environment.
    static AppPaths fromEnvironment();
    // Folders below one root ("data", "config", "Desktop"), for tests and sandboxes.
    static AppPaths under(const QString& root);

    // The program's own folder in Application Support.
    QString programSupportFolder() const {
        return applicationSupport + QStringLiteral("/pellucine");
    }
};

}  // namespace pellucine
