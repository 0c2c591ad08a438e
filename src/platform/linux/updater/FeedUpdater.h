#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <optional>

#include "base/Clock.h"
#include "base/Scheduler.h"
#include "platform/UpdateDialogHost.h"
#include "platform/Updater.h"
#include "platform/UpdaterDelegate.h"
#include "platform/linux/updater/UpdateUrlPolicy.h"

class QNetworkReply;

namespace pellucine {

// The program's updater: reads an RSS update feed over https, lets the delegate choose the
// release, and, for a check the user started and with the user's consent, downloads the
// release, checks its length and its Ed25519 signature against the program's public key, puts
// it in place of the program's executable in one rename and starts the new program once this
// one has quit. Without a public key nothing is ever installed. A feed named by the delegate
// (a test feed) may also be read over http from this machine or from a local file; the
// program's own feed is https only. Main thread.
class FeedUpdater final : public QObject, public Updater {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds defaultTransferTimeout{60000};

    // The program being updated.
    struct Setup {
        // The program's own feed; none when it has none.
        std::optional<QString> feedURL;
        // The Ed25519 public key updates are signed with (base64).
        std::optional<QString> publicEDKey;
        QString bundleVersion;
        QString bundleDisplayVersion;
        // The system's version, checked against each release's system range.
        QString systemVersion;
        // The file an update replaces.
        QString executablePath;
        // Where the date of the last answered check is kept.
        QString stateFile;
        // How long a transfer may go without a byte before it ends as unanswered.
        std::chrono::milliseconds transferTimeout = defaultTransferTimeout;
    };

    struct Services {
        Scheduler& scheduler;
        const WallClock& clock;
        UpdateDialogHost& dialogs;
        // Starts the installed executable once this process has ended; false when it cannot.
        std::function<bool(const QString& executable)> relaunch;
        // Quits this program through its ordinary steps.
        std::function<void()> terminate;
    };

    static constexpr qint64 maximumUpdateSize = qint64(512) * 1024 * 1024;
    static constexpr std::chrono::hours minimumCheckInterval{1};

    // Starts at once: reads the last check date; the schedule starts when automatic checks
    // are turned on.
    FeedUpdater(Setup setup, Services services, UpdaterDelegate& delegate,
                QObject* parent = nullptr);
    ~FeedUpdater() override;

    static UpdaterFactory factory(Setup setup, Services services);

    bool automaticallyChecksForUpdates() const override { return automatic_; }
    void setAutomaticallyChecksForUpdates(bool on) override;
    // Stored only: this updater downloads nothing without the user.
    bool automaticallyDownloadsUpdates() const override { return automaticDownloads_; }
    void setAutomaticallyDownloadsUpdates(bool on) override { automaticDownloads_ = on; }
    Duration updateCheckInterval() const override { return interval_; }
    // At least an hour.
    void setUpdateCheckInterval(Duration interval) override;
    // When the feed last answered (with or without a release); a check without an answer, a
    // transfer that timed out included, keeps the date before it.
    std::optional<QDateTime> lastUpdateCheckDate() const override { return lastCheck_; }

    bool canCheckForUpdates() const override { return !session_.has_value(); }
    bool sessionInProgress() const override { return session_.has_value(); }

    void checkForUpdates() override;
    void checkForUpdateInformation() override;

  private:
    struct Session {
        quint64 id = 0;
        UpdateCheck check = UpdateCheck::updates;
        bool showsWindow = false;
        UpdateUrlScope scope = UpdateUrlScope::secureOnly;
        QUrl feedURL;
        std::optional<AppcastItem> item;
        QString shownVersion;
        QByteArray payload;
        QPointer<QNetworkReply> reply;
        // The user's cancel, told apart from a transfer timeout (both abort the reply).
        bool cancelling = false;
    };

    struct Fetched {
        QByteArray data;
        std::optional<QString> failure;
        bool cancelled = false;
        bool timedOut = false;
        bool tooLarge = false;
    };
    using FetchProgress = std::function<void(qint64 received, qint64 total)>;

    void startSession(UpdateCheck check);
    void feedArrived(const Fetched& fetched);
    void offer();
    void offerAnswered(bool install);
    void payloadArrived(const Fetched& fetched);
    void installAnswered(bool relaunch);
    void end(std::optional<UpdaterError> error);

    // Reads `url` for the current session: at most `limit` bytes, redirects only within the
    // session's scope.
    void fetch(const QUrl& url, qint64 limit, FetchProgress progress,
               std::function<void(const Fetched&)> done);
    // A callback for the session `id` that does nothing once that session has ended.
    template <typename... Args>
    std::function<void(Args...)> forSession(void (FeedUpdater::*method)(Args...));
    std::function<void()> cancelSession();

    void rememberCheckDate(const QDateTime& date);
    void scheduleNextCheck();

    Setup setup_;
    Services services_;
    UpdaterDelegate& delegate_;
    QNetworkAccessManager network_;
    bool automatic_ = false;
    bool automaticDownloads_ = false;
    Duration interval_ = std::chrono::hours(24);
    std::optional<QDateTime> lastCheck_;
    // When the last check started, answered or not: the schedule counts from the later one.
    std::optional<QDateTime> lastAttempt_;
    std::optional<Session> session_;
    quint64 sessionCount_ = 0;
    ScopedWork scheduledCheck_;
};

}  // namespace pellucine
