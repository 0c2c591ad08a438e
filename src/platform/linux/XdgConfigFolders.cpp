#include "platform/linux/XdgConfigFolders.h"

#include <QDir>

namespace pellucine {

QStringList xdgSystemConfigFolders() {
    QStringList folders;
    for (const QString& dir :
         qEnvironmentVariable("XDG_CONFIG_DIRS").split(u':', Qt::SkipEmptyParts)) {
        folders << QDir::cleanPath(dir);
    }
    return folders.isEmpty() ? QStringList{QStringLiteral("/etc/xdg")} : folders;
}

}  // namespace pellucine
