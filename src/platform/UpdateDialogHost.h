#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace pellucine {

// What the updater's window says when it finds an update; versions are written as shown.
struct UpdateOffer {
    QString updateVersion;
    QString currentVersion;
    std::optional<QUrl> releaseNotes;
};

// The updater's window during a check the user started. Each call replaces what the window
// showed; an answer callback is called at most once, and closing the window answers no (or
// cancels). Main thread.
class UpdateDialogHost {
  public:
    virtual ~UpdateDialogHost() = default;

    virtual void showChecking(std::function<void()> cancel) = 0;
    virtual void showUpdateFound(const UpdateOffer& offer,
                                 std::function<void(bool install)> answer) = 0;
    virtual void showDownloading(std::function<void()> cancel) = 0;
    // `total` none: length unknown.
    virtual void showDownloadProgress(qint64 received, std::optional<qint64> total) = 0;
    virtual void showReadyToInstall(const QString& updateVersion,
                                    std::function<void(bool relaunch)> answer) = 0;
    virtual void showUpToDate(const QString& currentVersion) = 0;
    virtual void showError(const QString& message) = 0;
    virtual void close() = 0;
};

}  // namespace pellucine
