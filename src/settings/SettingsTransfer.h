#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUuid>

#include "base/AppPaths.h"
#include "preferences/MachinePreferences.h"
#include "preferences/PortablePreferences.h"

namespace pellucine {

// The files of settings export, import and reset: what is written and where. The settings window
// decides when.
namespace SettingsTransfer {

// The name the save dialog proposes; it adds the extension.
inline const QString defaultFileName = QStringLiteral("pellucine-settings");
inline const QString nameFilter = QStringLiteral("JSON (*.json)");

// The settings file of a record, taken as it is: {"portable": …, "schemaVersion": 12} with the
// preference store's encoder. Throws PreferenceEncodingError.
QByteArray fileData(const PortablePreferences& portable);

// "<program folder>/backups".
QString backupFolder(const AppPaths& paths);
// "before-import-" followed by the UUID in upper case and ".json".
QString backupFileName(const QUuid& id);

// Writes the settings file of `current` as a new backup, creating the folder when missing, and
// returns its path. Throws SettingsFileError or PreferenceEncodingError; a failed write leaves
// no file behind.
QString writeBackup(const AppPaths& paths, const PortablePreferences& current);

// Replaces the file at `path` in one step; throws SettingsFileError.
void writeFile(const QString& path, const QByteArray& data);

// What Reset All stores.
PortablePreferences defaultPortable(const QDateTime& now);
MachinePreferences defaultMachine();

}  // namespace SettingsTransfer
}  // namespace pellucine
