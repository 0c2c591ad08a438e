#include "settings/SettingsFileError.h"

#include <QFileInfo>

namespace pellucine {

SettingsFileError SettingsFileError::file(const QString& path, const QString& reason) {
    return {QStringLiteral("The file “%1” couldn’t be saved: %2.")
                .arg(QFileInfo(path).fileName(), reason),
            path};
}

SettingsFileError SettingsFileError::folder(const QString& path, const QString& reason) {
    return {QStringLiteral("The folder “%1” couldn’t be created: %2.")
                .arg(QFileInfo(path).fileName(), reason),
            path};
}

}  // namespace pellucine
