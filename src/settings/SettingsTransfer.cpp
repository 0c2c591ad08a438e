#include "settings/SettingsTransfer.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

#include "base/AtomicFile.h"
#include "preferences/PreferenceStore.h"
#include "preferences/SettingsEnvelope.h"
#include "settings/SettingsFileError.h"

namespace pellucine::SettingsTransfer {

QByteArray fileData(const PortablePreferences& portable) {
    SettingsEnvelope envelope;
    envelope.schemaVersion = SettingsEnvelope::currentSchemaVersion;
    envelope.portable = portable;
    return PreferenceStore::encode(envelope.toJson());
}

QString backupFolder(const AppPaths& paths) {
    return paths.programSupportFolder() + QStringLiteral("/backups");
}

QString backupFileName(const QUuid& id) {
    return QStringLiteral("before-import-") + id.toString(QUuid::WithoutBraces).toUpper() +
           QStringLiteral(".json");
}

QString writeBackup(const AppPaths& paths, const PortablePreferences& current) {
    const QString folder = backupFolder(paths);
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (!error && !QFileInfo(folder).isDir()) {
        error = std::make_error_code(std::errc::not_a_directory);
    }
    if (error) {
        throw SettingsFileError::folder(folder, QString::fromStdString(error.message()));
    }
    const QByteArray data = fileData(current);
    const QString path = folder + u'/' + backupFileName(QUuid::createUuid());
    writeFile(path, data);
    return path;
}

void writeFile(const QString& path, const QByteArray& data) {
    if (const std::optional<QString> reason = writeFileAtomically(path, data)) {
        throw SettingsFileError::file(path, *reason);
    }
}

PortablePreferences defaultPortable(const QDateTime& now) {
    return PortablePreferences::makeDefault(now);
}

MachinePreferences defaultMachine() {
    return {};
}

}  // namespace pellucine::SettingsTransfer
