#include "preferences/PermissionService.h"

#include <QPointer>

#include "base/Spawn.h"

namespace pellucine {

namespace {

const QString launchSource = QStringLiteral("launch");

QString boolText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// The "errorType" of the exception being handled.
QString currentErrorType() {
    try {
        throw;
    } catch (const std::exception& error) {
        return errorTypeName(error);
    } catch (...) {
        return QStringLiteral("unknown");
    }
}

}  // namespace

PermissionService::PermissionService(Desktop& desktop, Scheduler& scheduler, EventRecording& events,
                                     std::function<void()> waitForEventLog)
    : desktop_(desktop),
      scheduler_(scheduler),
      events_(events),
      waitForEventLog_(std::move(waitForEventLog)) {
    refresh(launchSource);
}

QString PermissionService::settingsPane(PermissionKind kind) {
    switch (kind) {
        case PermissionKind::accessibility:
            return QStringLiteral("Privacy_Accessibility");
        case PermissionKind::screenRecording:
            return QStringLiteral("Privacy_ScreenCapture");
    }
    return {};
}

QUrl PermissionService::settingsUrl(PermissionKind kind) {
    return QUrl(settingsUrlPrefix + settingsPane(kind), QUrl::StrictMode);
}

bool PermissionService::systemGrants(PermissionKind kind) const {
    switch (kind) {
        case PermissionKind::accessibility:
            return desktop_.accessibility().isProcessTrusted();
        case PermissionKind::screenRecording:
            return desktop_.permissions().isScreenCaptureAllowed();
    }
    return false;
}

PermissionState PermissionService::currentScreenRecording() const {
    if (systemGrants(PermissionKind::screenRecording) || liveCaptureWorked_) {
        return PermissionState::granted;
    }
    return screenRecordingWasRequested_ ? PermissionState::restartRequired
                                        : PermissionState::denied;
}

void PermissionService::refresh(const QString& source) {
    const PermissionState previousAccessibility = accessibility_.value();
    const PermissionState previousScreenRecording = screenRecording_.value();
    accessibility_.set(systemGrants(PermissionKind::accessibility) ? PermissionState::granted
                                                                   : PermissionState::denied);
    screenRecording_.set(currentScreenRecording());

    if (accessibility_.value() != previousAccessibility ||
        screenRecording_.value() != previousScreenRecording || source == launchSource) {
        events_.record(QStringLiteral("permission-status"),
                       {{QStringLiteral("source"), source},
                        {QStringLiteral("accessibility"), rawValue(accessibility_.value())},
                        {QStringLiteral("screenRecording"), rawValue(screenRecording_.value())}});
    }

    if (screenRecordingWasRequested_ && screenRecording_.value() != PermissionState::granted &&
        !screenProbeInFlight_) {
        screenProbeInFlight_ = true;
        spawn(scheduler_, guarded(this, &PermissionService::probeScreenRecording));
    }
}

QCoro::Task<void> PermissionService::probeScreenRecording(CancellationToken) {
    QPointer<PermissionService> self(this);
    bool worked = false;
    QString errorType;
    try {
        QCoro::Task<ShareableContent> listing = desktop_.screenCapture().shareableContent();
        co_await listing;
        worked = true;
    } catch (...) {
        errorType = currentErrorType();
    }
    if (!self) {
        co_return;
    }
    liveCaptureWorked_ = worked;
    if (worked) {
        if (screenRecording_.value() != PermissionState::granted) {
            screenRecording_.set(PermissionState::granted);
            events_.record(QStringLiteral("screen-recording-live-probe"),
                           {{QStringLiteral("result"), QStringLiteral("working")}});
        }
    } else {
        screenRecording_.set(PermissionState::restartRequired);
        events_.record(QStringLiteral("screen-recording-live-probe"),
                       {{QStringLiteral("result"), QStringLiteral("relaunch-required")},
                        {QStringLiteral("errorType"), errorType}});
    }
    screenProbeInFlight_ = false;
}

void PermissionService::request(PermissionKind kind) {
    requested_.modify([kind](std::set<PermissionKind>& kinds) { kinds.insert(kind); });
    bool result = false;
    switch (kind) {
        case PermissionKind::screenRecording:
            screenRecordingWasRequested_ = true;
            result = desktop_.permissions().requestScreenCapture();
            break;
        case PermissionKind::accessibility:
            result = desktop_.permissions().requestAccessibility();
            break;
    }
    events_.record(QStringLiteral("permission-request"),
                   {{QStringLiteral("permission"), rawValue(kind)},
                    {QStringLiteral("result"), boolText(result)}});
    refresh(QStringLiteral("request"));
    scheduler_.postAfter(seconds(fallbackDelaySeconds),
                         [self = QPointer<PermissionService>(this), kind] {
                             if (self) {
                                 self->requestFallback(kind);
                             }
                         });
}

void PermissionService::requestFallback(PermissionKind kind) {
    if (systemGrants(kind)) {
        return;
    }
    events_.record(QStringLiteral("permission-settings-fallback"),
                   {{QStringLiteral("permission"), rawValue(kind)}});
    openSettingsPane(kind);
    refresh(QStringLiteral("request-fallback"));
}

void PermissionService::openSettings(PermissionKind kind) {
    if (kind == PermissionKind::screenRecording) {
        screenRecordingWasRequested_ = true;
        screenRecording_.set(PermissionState::restartRequired);
    }
    events_.record(QStringLiteral("permission-settings-opened"),
                   {{QStringLiteral("permission"), rawValue(kind)}});
    openSettingsPane(kind);
}

void PermissionService::openSettingsPane(PermissionKind kind) {
    const QUrl url = settingsUrl(kind);
    if (url.isValid()) {
        desktop_.urlOpener().open(url);
    }
}

void PermissionService::relaunch() {
    events_.record(QStringLiteral("relaunch-requested"),
                   {{QStringLiteral("reason"), QStringLiteral("permission-refresh")}});
    if (waitForEventLog_) {
        waitForEventLog_();
    }
    spawn(scheduler_, guarded(this, &PermissionService::openNewInstanceAndQuit));
}

QCoro::Task<void> PermissionService::openNewInstanceAndQuit(CancellationToken) {
    QPointer<PermissionService> self(this);
    bool started = false;
    QString errorType;
    try {
        QCoro::Task<void> opening = desktop_.applicationLifecycle().openNewInstance();
        co_await opening;
        started = true;
    } catch (...) {
        errorType = currentErrorType();
    }
    if (!self) {
        co_return;
    }
    if (!started) {
        // Quitting now would leave the user with no program at all.
        events_.record(QStringLiteral("relaunch-open-failed"),
                       {{QStringLiteral("errorType"), errorType}});
        co_return;
    }
    desktop_.applicationLifecycle().terminate();
}

}  // namespace pellucine
