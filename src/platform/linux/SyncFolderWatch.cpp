#include "platform/linux/SyncFolderWatch.h"

#include <QFileInfo>

namespace pellucine {

SyncFolderWatch::SyncFolderWatch(std::function<QStringList()> paths, std::function<void()> onChange)
    : paths_(std::move(paths)), onChange_(std::move(onChange)) {
    settle_.setSingleShot(true);
    settle_.setInterval(settleMilliseconds);
    connect(&settle_, &QTimer::timeout, this, [this] {
        rearm();
        onChange_();
    });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &SyncFolderWatch::changed);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &SyncFolderWatch::changed);
    rearm();
}

void SyncFolderWatch::rearm() {
    QStringList wanted;
    for (const QString& path : paths_()) {
        const QFileInfo info(path);
        // The chosen folder may be a link; below it a link, or anything missing, ends the watch.
        if ((!wanted.isEmpty() && info.isSymLink()) || !info.exists()) {
            break;
        }
        wanted << info.absoluteFilePath();
    }
    // Files are watched afresh each time: one replaced by a rename is another file now.
    QStringList stale = watcher_.files();
    for (const QString& path : watcher_.directories()) {
        if (!wanted.contains(path)) {
            stale << path;
        }
    }
    if (!stale.isEmpty()) {
        watcher_.removePaths(stale);
    }
    QStringList missing;
    const QStringList watched = watcher_.directories();
    for (const QString& path : wanted) {
        if (!watched.contains(path)) {
            missing << path;
        }
    }
    if (!missing.isEmpty()) {
        watcher_.addPaths(missing);
    }
}

void SyncFolderWatch::changed() {
    settle_.start();
}

}  // namespace pellucine
