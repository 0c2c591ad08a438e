#pragma once

#include <QSettings>
#include <memory>

#include "base/AppPaths.h"
#include "preferences/KeyValueStore.h"

namespace pellucine {

// User defaults in an INI file. Every write is flushed to disk at once (atomically, through a
// temporary file). A file that does not exist reads as empty and is not created until the first
// write.
class SettingsFileStore final : public KeyValueStore {
  public:
    explicit SettingsFileStore(const QString& filePath);
    ~SettingsFileStore() override;
    SettingsFileStore(const SettingsFileStore&) = delete;
    SettingsFileStore& operator=(const SettingsFileStore&) = delete;

    // The program's own defaults: <defaults>/pellucine/pellucine.conf.
    static QString standardFilePath(const AppPaths& paths);
    // Another program's defaults domain: <defaults>/<domain>.conf.
    static QString domainFilePath(const AppPaths& paths, const QString& domain);

    QVariant value(const QString& key) const override;
    bool contains(const QString& key) const override;
    bool setValue(const QString& key, const QVariant& value) override;

    QString filePath() const { return settings_->fileName(); }

  private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace pellucine
