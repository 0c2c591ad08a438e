#include "preferences/SettingsFileStore.h"

namespace pellucine {

SettingsFileStore::SettingsFileStore(const QString& filePath)
    : settings_(std::make_unique<QSettings>(filePath, QSettings::IniFormat)) {}

SettingsFileStore::~SettingsFileStore() = default;

QString SettingsFileStore::standardFilePath(const AppPaths& paths) {
    return paths.defaults + QStringLiteral("/pellucine/pellucine.conf");
}

QString SettingsFileStore::domainFilePath(const AppPaths& paths, const QString& domain) {
    return paths.defaults + QLatin1Char('/') + domain + QStringLiteral(".conf");
}

QVariant SettingsFileStore::value(const QString& key) const {
    return settings_->value(key);
}

bool SettingsFileStore::contains(const QString& key) const {
    return settings_->contains(key);
}

bool SettingsFileStore::setValue(const QString& key, const QVariant& value) {
    settings_->setValue(key, value);
    settings_->sync();
    if (settings_->status() == QSettings::NoError) {
        return true;
    }
    // The status keeps its first error for the object's life; a fresh object reports the next
    // write on its own. Unwritten values stay pending in the shared file cache and go out with
    // the next successful write.
    const QString path = settings_->fileName();
    settings_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
    return false;
}

}  // namespace pellucine
