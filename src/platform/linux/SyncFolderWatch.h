#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace pellucine {

// Watches one record of a sync folder: the sync folder, the container folder inside it and the
// record file, so that a record written in place, replaced by a rename (as sync tools and
// network shares do) or created along with its folder is seen. What to watch is asked again
// after every change and at rearm(), so a newly chosen folder is watched from then on; a link
// below the chosen folder is never watched through. Changes are reported on the main thread, a
// burst of them once, shortly after the last. A change inotify cannot see (a network file system
// written from another machine) goes unreported. Main thread.
class SyncFolderWatch final : public QObject {
    Q_OBJECT

  public:
    // How long a burst of changes is waited out before it is reported.
    static constexpr int settleMilliseconds = 50;

    // `paths` gives the folders and the file to watch, outermost first (the first may be a
    // link); those missing are watched once they appear in the folder above them.
    SyncFolderWatch(std::function<QStringList()> paths, std::function<void()> onChange);

    // Watches what `paths` gives now.
    void rearm();

  private:
    void changed();

    std::function<QStringList()> paths_;
    std::function<void()> onChange_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
};

}  // namespace pellucine
