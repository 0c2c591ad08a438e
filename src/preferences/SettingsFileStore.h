#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

#include "base/AppPaths.h"
#include "preferences/KeyValueStore.h"

namespace pellucine {

// User defaults in an INI file that QSettings reads. Every write replaces the whole file
// atomically: a write that fails (a full disk) leaves the previous file as it was. A file that
// does not exist reads as empty and is not created until the first write; one that exists but
// cannot be read (a folder or a pipe in its place, no permission) is never written over.
class SettingsFileStore final : public KeyValueStore {
  public:
    explicit SettingsFileStore(const QString& filePath);

    // The program's own defaults: <defaults>/pellucine/pellucine.conf.
    static QString standardFilePath(const AppPaths& paths);
    // Another program's defaults domain: <defaults>/<domain>.conf.
    static QString domainFilePath(const AppPaths& paths, const QString& domain);

    QVariant value(const QString& key) const override;
    bool contains(const QString& key) const override;
    // A value that could not be written stays in memory and goes out with the next write.
    bool setValue(const QString& key, const QVariant& value) override;

    const QString& filePath() const { return filePath_; }

  private:
    QString filePath_;
    QMap<QString, QVariant> values_;
    bool readable_ = true;
};

}  // namespace pellucine
