#include "platform/linux/updater/FeedUpdater.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QNetworkRequest>

#include "base/AtomicFile.h"
#include "base/IsoDateTime.h"
#include "base/VersionComparator.h"
#include "platform/linux/updater/AppcastParser.h"
#include "platform/linux/updater/EdSignature.h"

namespace pellucine {

namespace {

const QString lastCheckKey = QStringLiteral("lastUpdateCheckDate");

UpdaterError error(int code, QString description) {
    return {code, std::move(description)};
}

const QString noAnswer = QStringLiteral("The update server didn’t answer. Try again later.");

UpdaterError cancelled() {
    return error(UpdaterErrorCode::installationCanceled,
                 QStringLiteral("The update was cancelled."));
}

std::optional<QDateTime> readCheckDate(const QString& stateFile) {
    QFile file(stateFile);
    if (stateFile.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QJsonObject state = QJsonDocument::fromJson(file.read(4096)).object();
    return parseIsoDateTime(state.value(lastCheckKey).toString());
}

bool isWebLink(const QUrl& url) {
    return url.isValid() &&
           (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"));
}

}  // namespace

FeedUpdater::FeedUpdater(Setup setup, Services services, UpdaterDelegate& delegate, QObject* parent)
    : QObject(parent),
      setup_(std::move(setup)),
      services_(std::move(services)),
      delegate_(delegate),
      lastCheck_(readCheckDate(setup_.stateFile)) {
    network_.setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
}

FeedUpdater::~FeedUpdater() {
    if (session_ && session_->reply) {
        session_->reply->disconnect(this);
        session_->reply->abort();
    }
}

UpdaterFactory FeedUpdater::factory(Setup setup, Services services) {
    return [setup = std::move(setup), services = std::move(services)](UpdaterDelegate& delegate) {
        return std::unique_ptr<Updater>(std::make_unique<FeedUpdater>(setup, services, delegate));
    };
}

void FeedUpdater::setAutomaticallyChecksForUpdates(bool on) {
    automatic_ = on;
    scheduleNextCheck();
}

void FeedUpdater::setUpdateCheckInterval(Duration interval) {
    interval_ = std::max<Duration>(interval, minimumCheckInterval);
    scheduleNextCheck();
}

void FeedUpdater::checkForUpdates() {
    startSession(UpdateCheck::updates);
}

void FeedUpdater::checkForUpdateInformation() {
    startSession(UpdateCheck::updateInformation);
}

template <typename... Args>
std::function<void(Args...)> FeedUpdater::forSession(void (FeedUpdater::*method)(Args...)) {
    return [self = QPointer<FeedUpdater>(this), id = session_->id, method](Args... args) {
        if (self && self->session_ && self->session_->id == id) {
            (self.data()->*method)(std::forward<Args>(args)...);
        }
    };
}

std::function<void()> FeedUpdater::cancelSession() {
    return [self = QPointer<FeedUpdater>(this), id = session_->id] {
        if (self && self->session_ && self->session_->id == id && self->session_->reply) {
            self->session_->cancelling = true;
            self->session_->reply->abort();
        }
    };
}

void FeedUpdater::startSession(UpdateCheck check) {
    if (session_) {
        return;
    }
    scheduledCheck_.reset();
    // Assigned rather than emplaced: clang reads the nested type as not default-constructible.
    session_ = Session{};
    Session& session = *session_;
    session.id = ++sessionCount_;
    session.check = check;
    session.showsWindow = check == UpdateCheck::updates;
    lastAttempt_ = services_.clock.now();

    const std::optional<QString> override = delegate_.feedURLString();
    session.scope = override ? UpdateUrlScope::loopbackAllowed : UpdateUrlScope::secureOnly;
    const std::optional<QString> text = override ? override : setup_.feedURL;
    const std::optional<QUrl> feed = text ? parseFeedURL(*text, session.scope) : std::nullopt;
    if (!feed) {
        end(error(UpdaterErrorCode::invalidFeedURL,
                  QStringLiteral("The update feed’s address is missing or not allowed.")));
        return;
    }
    session.feedURL = *feed;
    if (session.showsWindow) {
        services_.dialogs.showChecking(cancelSession());
    }
    fetch(*feed, AppcastParser::maximumFeedSize, {}, forSession(&FeedUpdater::feedArrived));
}

void FeedUpdater::feedArrived(const Fetched& fetched) {
    if (fetched.cancelled) {
        return end(cancelled());
    }
    if (fetched.timedOut) {
        return end(error(UpdaterErrorCode::appcast, noAnswer));
    }
    if (fetched.tooLarge) {
        return end(
            error(UpdaterErrorCode::appcastParse, QStringLiteral("The update feed is too large.")));
    }
    if (fetched.failure) {
        return end(
            error(UpdaterErrorCode::appcast,
                  QStringLiteral("The update feed couldn’t be read: %1").arg(*fetched.failure)));
    }
    Session& session = *session_;
    Appcast appcast;
    try {
        appcast = AppcastParser(session.feedURL, setup_.systemVersion).parse(fetched.data);
    } catch (const AppcastError& e) {
        return end(error(UpdaterErrorCode::appcastParse, e.localizedDescription()));
    }
    rememberCheckDate(services_.clock.now());
    const QSet<QString> allowed = delegate_.allowedChannels();
    appcast.items.removeIf([&allowed](const AppcastItem& item) {
        return item.channel && !allowed.contains(*item.channel);
    });

    std::optional<AppcastItem> best = delegate_.bestValidUpdate(appcast);
    // Whatever was chosen, nothing that is not newer is ever offered.
    if (best && compareVersions(setup_.bundleVersion, best->versionString) >= 0) {
        best.reset();
    }
    if (!best) {
        delegate_.didNotFindUpdate();
        if (session.showsWindow) {
            delegate_.willShowModalAlert();
            services_.dialogs.showUpToDate(delegate_.versionDisplayer().formatBundleDisplayVersion(
                setup_.bundleDisplayVersion, setup_.bundleVersion, std::nullopt));
        }
        return end(error(UpdaterErrorCode::noUpdate, QStringLiteral("You’re up to date.")));
    }
    session.item = best;
    delegate_.didFindValidUpdate(*best);
    if (session.check == UpdateCheck::updateInformation) {
        return end(std::nullopt);
    }
    if (session.check == UpdateCheck::updatesInBackground) {
        if (delegate_.supportsGentleScheduledUpdateReminders() &&
            !delegate_.shouldHandleShowingScheduledUpdate(*best, false)) {
            return end(std::nullopt);
        }
        session.showsWindow = true;
    }
    offer();
}

void FeedUpdater::offer() {
    Session& session = *session_;
    QString current = setup_.bundleDisplayVersion;
    session.shownVersion = delegate_.versionDisplayer().formatUpdateDisplayVersion(
        *session.item, current, setup_.bundleVersion);
    const std::optional<QUrl> notes = session.item->releaseNotesURL;
    services_.dialogs.showUpdateFound(
        {session.shownVersion, current, notes && isWebLink(*notes) ? notes : std::nullopt},
        forSession(&FeedUpdater::offerAnswered));
}

void FeedUpdater::offerAnswered(bool install) {
    if (!install) {
        return end(cancelled());
    }
    const AppcastItem& item = *session_->item;
    if (!delegate_.mayInstallUpdates()) {
        return end(
            error(UpdaterErrorCode::installation,
                  QStringLiteral("This copy can’t replace itself, so nothing was installed.")));
    }
    if (!isUsablePublicKey(setup_.publicEDKey)) {
        return end(error(UpdaterErrorCode::missingSignature,
                         QStringLiteral("This build has no key to verify updates with, so nothing "
                                        "was installed.")));
    }
    if (!item.edSignature) {
        return end(
            error(UpdaterErrorCode::missingSignature,
                  QStringLiteral("The update carries no signature, so it was not installed.")));
    }
    if (item.contentLength <= 0 || item.contentLength > maximumUpdateSize) {
        return end(error(UpdaterErrorCode::download,
                         QStringLiteral("The update’s size is missing or too large.")));
    }
    if (!isAllowedUpdateURL(item.fileURL, session_->scope)) {
        return end(error(UpdaterErrorCode::download,
                         QStringLiteral("The update’s address is missing or not allowed.")));
    }
    services_.dialogs.showDownloading(cancelSession());
    UpdateDialogHost& dialogs = services_.dialogs;
    fetch(
        item.fileURL, item.contentLength,
        [&dialogs](qint64 received, qint64 total) {
            dialogs.showDownloadProgress(received, total > 0 ? std::optional(total) : std::nullopt);
        },
        forSession(&FeedUpdater::payloadArrived));
}

void FeedUpdater::payloadArrived(const Fetched& fetched) {
    Session& session = *session_;
    const AppcastItem& item = *session.item;
    if (fetched.cancelled) {
        return end(cancelled());
    }
    if (fetched.timedOut || fetched.failure || fetched.tooLarge ||
        fetched.data.size() != item.contentLength) {
        const QString why =
            fetched.timedOut ? QStringLiteral("the server didn’t answer")
            : fetched.failure
                ? *fetched.failure
                : QStringLiteral("its length is not %1 bytes").arg(item.contentLength);
        return end(error(UpdaterErrorCode::download,
                         QStringLiteral("The update couldn’t be downloaded: %1.").arg(why)));
    }
    switch (checkEdSignature(fetched.data, item.edSignature, setup_.publicEDKey)) {
        case SignatureCheck::valid:
            break;
        case SignatureCheck::invalid:
            return end(error(UpdaterErrorCode::signature,
                             QStringLiteral("The update’s signature is not valid, so it was not "
                                            "installed.")));
        case SignatureCheck::missingKey:
        case SignatureCheck::missingSignature:
            return end(error(UpdaterErrorCode::missingSignature,
                             QStringLiteral("The update couldn’t be verified, so it was not "
                                            "installed.")));
    }
    session.payload = fetched.data;
    services_.dialogs.showReadyToInstall(session.shownVersion,
                                         forSession(&FeedUpdater::installAnswered));
}

void FeedUpdater::installAnswered(bool relaunch) {
    if (!relaunch) {
        return end(cancelled());
    }
    Session& session = *session_;
    const QFileInfo target(setup_.executablePath);
    if (!target.isFile()) {
        return end(error(
            UpdaterErrorCode::installation,
            QStringLiteral("The program’s file %1 was not found.").arg(setup_.executablePath)));
    }
    const QString path = target.canonicalFilePath();
    if (!QFileInfo(QFileInfo(path).absolutePath()).isWritable()) {
        return end(error(UpdaterErrorCode::installationWriteNoPermission,
                         QStringLiteral("There is no permission to replace %1.").arg(path)));
    }
    const QFileDevice::Permissions permissions =
        target.permissions() | QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    if (const auto failure = writeFileAtomically(path, session.payload, permissions)) {
        return end(error(UpdaterErrorCode::installation,
                         QStringLiteral("The update couldn’t be installed: %1.").arg(*failure)));
    }
    session.payload.clear();
    services_.dialogs.close();
    delegate_.willRelaunchApplication();
    if (!services_.relaunch || !services_.relaunch(path)) {
        return end(error(UpdaterErrorCode::installation,
                         QStringLiteral("The update is installed, but the program couldn’t be "
                                        "started again. Quit it and open it again.")));
    }
    // The session stays open: nothing else starts while the program quits.
    if (services_.terminate) {
        services_.terminate();
    }
}

void FeedUpdater::end(std::optional<UpdaterError> error) {
    const Session session = std::move(*session_);
    session_.reset();
    if (session.reply && !session.reply->isFinished()) {
        session.reply->disconnect(this);
        session.reply->abort();
    }
    if (session.showsWindow) {
        const int code = error ? error->code : 0;
        if (error && code != UpdaterErrorCode::noUpdate &&
            code != UpdaterErrorCode::installationCanceled) {
            delegate_.willShowModalAlert();
            services_.dialogs.showError(error->description);
        } else if (code != UpdaterErrorCode::noUpdate) {
            services_.dialogs.close();
        }
    }
    delegate_.didFinishUpdateCycle(session.check, error);
    scheduleNextCheck();
}

void FeedUpdater::fetch(const QUrl& url, qint64 limit, FetchProgress progress,
                        std::function<void(const Fetched&)> done) {
    QNetworkRequest request(url);
    request.setTransferTimeout(static_cast<int>(setup_.transferTimeout.count()));
    request.setMaximumRedirectsAllowed(5);
    QNetworkReply* reply = network_.get(request);
    session_->reply = reply;

    struct State {
        bool tooLarge = false;
        bool redirectRefused = false;
    };
    auto state = std::make_shared<State>();
    const UpdateUrlScope scope = session_->scope;
    connect(reply, &QNetworkReply::redirected, this, [reply, scope, state](const QUrl& target) {
        if (isAllowedUpdateURL(reply->url().resolved(target), scope)) {
            emit reply->redirectAllowed();
        } else {
            state->redirectRefused = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::downloadProgress, this,
            [reply, limit, state, progress = std::move(progress)](qint64 received, qint64 total) {
                if (received > limit || total > limit) {
                    state->tooLarge = true;
                    reply->abort();
                    return;
                }
                if (progress) {
                    progress(received, total);
                }
            });
    connect(
        reply, &QNetworkReply::finished, this, [this, reply, limit, state, done = std::move(done)] {
            reply->deleteLater();
            Fetched fetched;
            if (state->tooLarge) {
                fetched.tooLarge = true;
            } else if (state->redirectRefused) {
                fetched.failure =
                    QStringLiteral("it was redirected to an address that is not allowed");
            } else if (reply->error() == QNetworkReply::OperationCanceledError) {
                // Qt ends a transfer that timed out as cancelled too.
                (session_ && session_->cancelling ? fetched.cancelled : fetched.timedOut) = true;
            } else if (reply->error() != QNetworkReply::NoError) {
                fetched.failure = reply->errorString();
            } else {
                fetched.data = reply->read(limit + 1);
                fetched.tooLarge = fetched.data.size() > limit;
            }
            done(fetched);
        });
}

void FeedUpdater::rememberCheckDate(const QDateTime& date) {
    lastCheck_ = date;
    if (setup_.stateFile.isEmpty()) {
        return;
    }
    QDir().mkpath(QFileInfo(setup_.stateFile).absolutePath());
    QJsonObject state{{lastCheckKey, formatIsoDateTime(date)}};
    // A date that cannot be kept only means the schedule restarts with the next launch.
    writeFileAtomically(setup_.stateFile, QJsonDocument(state).toJson(QJsonDocument::Compact));
}

void FeedUpdater::scheduleNextCheck() {
    scheduledCheck_.reset();
    if (!automatic_ || session_) {
        return;
    }
    Duration delay = interval_;
    const std::optional<QDateTime> last =
        lastAttempt_ && (!lastCheck_ || *lastAttempt_ > *lastCheck_) ? lastAttempt_ : lastCheck_;
    if (last) {
        const Duration elapsed = std::chrono::milliseconds(last->msecsTo(services_.clock.now()));
        // A last check in the future (the clock was set back) waits one interval at most.
        delay = std::clamp(interval_ - elapsed, Duration::zero(), interval_);
    }
    scheduledCheck_ = ScopedWork(services_.scheduler, services_.scheduler.postAfter(delay, [this] {
        startSession(UpdateCheck::updatesInBackground);
    }));
}

}  // namespace pellucine
