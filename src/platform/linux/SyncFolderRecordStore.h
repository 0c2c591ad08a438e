#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "base/BackgroundExecutor.h"
#include "platform/CloudRecordStore.h"

namespace pellucine {

class SyncFolderWatch;

// A cloud container kept as a folder inside a folder the user already keeps in sync between
// machines with a tool of their own. Each record is one JSON file, "<container>/<name>.json",
// replaced atomically so the sync tool never sees half a file, and carrying a change tag that
// is renewed on every save: a save made from an older version than the one on disk (another
// machine's copy arrived meanwhile) is refused with serverRecordChanged.
//
// The file work runs on the background executor. Failures map to the store's codes: no folder
// chosen is notAuthenticated, a chosen folder that is not there (unmounted, removed) is
// accountTemporarilyUnavailable, a missing record unknownItem, refused access
// permissionFailure, a full disk quotaExceeded, a lost network file system networkFailure.
// A record file that cannot be understood reads as a record without fields or tag, so the next
// save replaces it. A container that is a link or not a folder fails with badContainer: nothing
// is read or written through a link below the chosen folder.
//
// watch() reports changes to a record (SyncFolderWatch); every fetch points the watches at the
// folder chosen now.
class SyncFolderRecordStore final : public CloudRecordStore {
  public:
    // Larger files are not records of this program.
    static constexpr qint64 recordSizeLimit = 1024 * 1024;

    // The folder kept in sync, none when the user chose none; asked at every operation, so a
    // newly chosen folder is used from the next one on.
    using FolderSource = std::function<std::optional<QString>()>;

    // `container`: the name of the container's folder inside the sync folder.
    SyncFolderRecordStore(FolderSource syncFolder, QString container, BackgroundExecutor& executor);

    QCoro::Task<CloudRecord> fetch(QString recordName) override;
    QCoro::Task<CloudRecord> save(CloudRecord record) override;
    Subscription watch(const QString& recordName, std::function<void()> onChange) override;

    // Where the store keeps its records.
    struct Location {
        std::optional<QString> syncFolder;
        QString container;

        QString containerFolder() const;
        QString recordPath(const QString& recordName) const;
    };
    // Where the next operation goes.
    Location location() const;

    // The same operations, run on the calling thread.
    static CloudRecord fetchNow(const Location& location, const QString& recordName);
    static CloudRecord saveNow(const Location& location, CloudRecord record);

    // The file form of a record; dates keep their milliseconds.
    static QByteArray encode(const CloudRecord& record);
    // A file that is not a record of this form gives a record with only the name.
    static CloudRecord decode(const QByteArray& data, const QString& recordName);

  private:
    void rearmWatches();

    FolderSource syncFolder_;
    QString container_;
    BackgroundExecutor& executor_;
    std::vector<std::weak_ptr<SyncFolderWatch>> watches_;
};

}  // namespace pellucine
