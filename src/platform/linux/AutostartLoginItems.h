#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "base/AppPaths.h"
#include "platform/LoginItems.h"
#include "platform/linux/AutostartEntry.h"

namespace pellucine {

// Launch at login through the session's autostart folders: registering writes
// "<identifier>.desktop" to the user's autostart folder; unregistering removes it, or, when a
// system autostart folder holds an entry of the same name, replaces it with a hidden one.
//
// Status: the user's entry, when there is one, decides: hidden over a system entry is not
// registered, hidden otherwise or switched off by the desktop's startup-applications tool
// needs the user's approval, anything else is enabled. Without a user entry, an enabled system
// entry counts as enabled. An unknown program location is notFound.
class AutostartLoginItems final : public LoginItems {
  public:
    struct Program {
        // The entry's file name without ".desktop".
        QString identifier;
        QString name;
        // Absolute; empty when unknown.
        QString executable;
    };

    // Entry files larger than this are not read.
    static constexpr qint64 entrySizeLimit = 64 * 1024;

    AutostartLoginItems(QString userFolder, QStringList systemFolders, Program program);

    // "<defaults>/autostart", that is $XDG_CONFIG_HOME/autostart.
    static QString userFolder(const AppPaths& paths);
    // "autostart" in each of $XDG_CONFIG_DIRS (/etc/xdg when unset), most important first.
    static QStringList systemFolders();

    QString entryPath() const;

    LoginItemStatus status() const override;
    void registerMainApplication() override;
    void unregisterMainApplication() override;

  private:
    // The entry of the same name in the first system folder that has one.
    std::optional<QString> systemEntryPath() const;
    void write(const AutostartEntry& entry);

    QString userFolder_;
    QStringList systemFolders_;
    Program program_;
};

}  // namespace pellucine
