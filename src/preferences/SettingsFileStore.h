#pragma once

#include <QMap>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <optional>

#include "base/AppPaths.h"
#include "base/Clock.h"
#include "base/EventRecording.h"
#include "preferences/KeyValueStore.h"
#include "preferences/SettingsFileSchema.h"

namespace pellucine {

// User defaults in an INI file that QSettings reads. Every write replaces the whole file
// atomically: a write that fails (a full disk) leaves the previous file as it was. A file that
// does not exist reads as empty and is not created until the first write; one that exists but
// cannot be read (a folder or a pipe in its place, no permission) is never written over.
class SettingsFileStore final : public KeyValueStore {
  public:
    // What makes a file the program's own. One that does not parse as such (not INI, a key
    // that is not in the schema) reads as empty once its bytes were copied to
    // "unreadable-<file name>-<time>.conf" in `copyFolder` and "stored-preferences-unreadable"
    // was recorded; the next write holds only the new keys. In a file of the program's own keys,
    // a value of another form (a record cut short) is dropped the same way and the other values
    // stay. When no copy could be kept, the file is never written over.
    struct Claim {
        const SettingsFileSchema& schema;
        QString copyFolder;
        const WallClock& clock;
        EventRecording& events;
    };

    static constexpr qint64 copySizeLimit = 16 * 1024 * 1024;

    // Takes whatever the file holds.
    explicit SettingsFileStore(const QString& filePath);
    SettingsFileStore(const QString& filePath, const Claim& claim);

    // The program's own defaults: <defaults>/pellucine/pellucine.conf.
    static QString standardFilePath(const AppPaths& paths);
    // Another program's defaults domain: <defaults>/<domain>.conf.
    static QString domainFilePath(const AppPaths& paths, const QString& domain);

    QVariant value(const QString& key) const override;
    bool contains(const QString& key) const override;
    // A value that could not be written stays in memory and goes out with the next write.
    bool setValue(const QString& key, const QVariant& value) override;

    const QString& filePath() const { return filePath_; }
    std::optional<UnreadableCopy> unreadableCopy() const override { return disowned_; }

  private:
    // Reads the file once; its QSettings status, nothing when it is not a regular file.
    std::optional<QSettings::Status> load();
    // Keeps the file's bytes aside and drops what `reason` makes unreadable: the values of
    // another form for "invalid-value", everything otherwise.
    void disown(const Claim& claim, const QString& reason);

    QString filePath_;
    QMap<QString, QVariant> values_;
    bool readable_ = true;
    std::optional<UnreadableCopy> disowned_;
};

}  // namespace pellucine
