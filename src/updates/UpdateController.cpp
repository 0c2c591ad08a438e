#include "updates/UpdateController.h"

#include <QPointer>
#include <limits>

#include "base/QtScheduler.h"
#include "core/FlightRecorder.h"
#include "updates/UpdateChoice.h"
#include "updates/VersionWithV.h"

namespace pellucine {

UpdateController::UpdateController(QObject* parent)
    : UpdateController(std::make_unique<QtScheduler>(systemContinuousClock()), parent) {}

UpdateController::UpdateController(std::unique_ptr<QtScheduler> scheduler, QObject* parent)
    : UpdateController(Services{UpdateEnvironment::ofProcess(), *scheduler, systemWallClock(),
                                FlightRecorder::shared()},
                       Host{}, parent) {
    ownScheduler_ = std::move(scheduler);
}

UpdateController::UpdateController(Services services, Host host, QObject* parent)
    : QObject(parent), services_(std::move(services)), host_(std::move(host)) {}

UpdateController::~UpdateController() {
    subscriptions_.clear();
    watchdog_.reset();
    driverController_.reset();
}

void UpdateController::setHost(Host host) {
    host_ = std::move(host);
}

void UpdateController::apply(const MachinePreferences& preferences) {
    preferences_ = preferences;
    channel_ = UpdateChannel::stable;
    if (driverController_) {
        configure(*driverController_);
    } else if (canUpdateItself()) {
        updater();
    }
}

void UpdateController::follow(Observable<MachinePreferences>& preferences) {
    subscriptions_ += preferences.subscribeDistinct(
        [](const MachinePreferences& p) { return p.automaticUpdateChecks; },
        [this, &preferences](bool) { apply(preferences.value()); });
}

Updater* UpdateController::updater() {
    if (!driverController_ && host_.startUpdater) {
        driverController_ = host_.startUpdater(*this);
        if (driverController_) {
            configure(*driverController_);
            if (!lastChecked_.value()) {
                if (const auto date = driverController_->lastUpdateCheckDate()) {
                    lastChecked_.set(*date);
                }
            }
        }
    }
    return driverController_.get();
}

void UpdateController::configure(Updater& updater) const {
    updater.setAutomaticallyChecksForUpdates(preferences_.automaticUpdateChecks);
    updater.setAutomaticallyDownloadsUpdates(false);
    updater.setUpdateCheckInterval(seconds(checkIntervalSeconds));
}

void UpdateController::checkNow() {
    if (!services_.environment.feed()) {
        note_.set(QString(noFeedNote));
        return;
    }
    Updater* engine = updater();
    if (engine == nullptr || !engine->canCheckForUpdates()) {
        return;
    }
    note_.set(std::nullopt);
    if (host_.activateApplication) {
        host_.activateApplication();
    }
    engine->checkForUpdates();
}

void UpdateController::checkInBackground() {
    if (!canUpdateItself() || !services_.environment.feed()) {
        return;
    }
    Updater* engine = updater();
    if (engine == nullptr || engine->sessionInProgress()) {
        return;
    }
    checking_.set(true);
    failed_.set(false);
    note_.set(std::nullopt);
    if (checkGeneration_ == std::numeric_limits<int>::max()) {
        qFatal("The update check generation overflowed.");
    }
    const int generation = ++checkGeneration_;
    services_.events.record(QStringLiteral("update-check-started"),
                            {{QStringLiteral("channel"), rawValue(channel_)},
                             {QStringLiteral("currentVersion"), currentVersion()}});
    engine->checkForUpdateInformation();
    // An unanswered probe stops spinning; it counts as failed only while nothing is known.
    watchdog_ =
        ScopedWork(services_.scheduler,
                   services_.scheduler.postAfter(seconds(watchdogSeconds), [this, generation] {
                       if (checking_.value() && checkGeneration_ == generation) {
                           checking_.set(false);
                           failed_.set(availability_.value().availabilityCase() ==
                                       UpdateAvailability::Case::unknown);
                       }
                   }));
}

std::optional<QString> UpdateController::failureMessage(int code) {
    switch (code) {
        case 1000:
        case 1002:
        case 1004:
        case 1007:
            return QStringLiteral(
                "The update server didn’t answer. Nothing to fix on your end; try again later.");
        case 1001:
            return QStringLiteral("You’re on the newest version.");
        case 2001:
            return QStringLiteral(
                "The update couldn’t be downloaded. Check your connection and try again.");
        case 3001:
        case 3002:
        case 4009:
            return QStringLiteral(
                "The update didn’t pass its signature check, so it was not installed.");
        case 4006:
            return QStringLiteral(
                "The server offered an older version than this one, so nothing changed.");
        case 4007:
            return std::nullopt;
        case 4008:
            return QStringLiteral("The update will install the next time PELLUCINE quits.");
        default:
            return QStringLiteral(
                       "PELLUCINE couldn’t check for updates (code %1). Try again later.")
                .arg(code);
    }
}

QSet<QString> UpdateController::allowedChannels() {
    if (channel_ == UpdateChannel::beta) {
        return {QStringLiteral("beta")};
    }
    return {};
}

std::optional<QString> UpdateController::feedURLString() {
    return testFeed();
}

std::optional<AppcastItem> UpdateController::bestValidUpdate(const Appcast& appcast) {
    return pellucine::bestValidUpdate(appcast, channel_, services_.environment.buildVersion());
}

void UpdateController::later(std::function<void()> work) {
    services_.scheduler.post([self = QPointer<UpdateController>(this), work = std::move(work)] {
        if (self) {
            work();
        }
    });
}

void UpdateController::didFindValidUpdate(const AppcastItem& item) {
    later([this, version = item.displayVersionString] {
        checking_.set(false);
        failed_.set(false);
        lastChecked_.set(services_.clock.now());
        availability_.set(UpdateAvailability::available(version));
        services_.events.record(QStringLiteral("update-available"),
                                {{QStringLiteral("offeredVersion"), version},
                                 {QStringLiteral("channel"), rawValue(channel_)}});
    });
}

void UpdateController::didNotFindUpdate() {
    later([this] {
        checking_.set(false);
        failed_.set(false);
        lastChecked_.set(services_.clock.now());
        availability_.set(UpdateAvailability::upToDate());
        note_.set(std::nullopt);
        services_.events.record(QStringLiteral("update-none"),
                                {{QStringLiteral("currentVersion"), currentVersion()}});
    });
}

void UpdateController::didFinishUpdateCycle(UpdateCheck, const std::optional<UpdaterError>& error) {
    later([this, error] { finishCycle(error); });
}

void UpdateController::finishCycle(std::optional<UpdaterError> error) {
    checking_.set(false);
    if (!error) {
        return;
    }
    const int code = error->code;
    // The not-found answer has already said everything: no note and no event.
    if (code == UpdaterErrorCode::noUpdate) {
        return;
    }
    if (code == UpdaterErrorCode::appcastParse || code == UpdaterErrorCode::appcast) {
        availability_.set(UpdateAvailability::unknown());
        failed_.set(true);
        note_.set(std::nullopt);
    } else {
        note_.set(failureMessage(code));
    }
    if (code != UpdaterErrorCode::installationCanceled) {
        services_.events.record(QStringLiteral("update-check-failed"),
                                {{QStringLiteral("errorCode"), QString::number(code)}});
    }
}

void UpdateController::willRelaunchApplication() {
    if (host_.rememberOpenSettings) {
        host_.rememberOpenSettings();
    }
}

VersionDisplay& UpdateController::versionDisplayer() {
    return VersionWithV::shared();
}

void UpdateController::willShowModalAlert() {
    later([this] {
        if (host_.activateApplication) {
            host_.activateApplication();
        }
    });
}

}  // namespace pellucine
