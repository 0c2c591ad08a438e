#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <set>

#include "base/CancellationToken.h"
#include "base/EventRecording.h"
#include "base/Observable.h"
#include "base/Scheduler.h"
#include "core/Permission.h"
#include "platform/Desktop.h"

namespace pellucine {

// The one source of the two permission states. It polls the system's checks when asked to
// refresh, never waits for the user, asks the system for a permission, opens the matching
// settings pane, and relaunches the program when a Screen Recording grant only takes effect in
// a new process. Every refresh stores both states (observers hear every store; subscribe
// distinct for changes) and records "permission-status" when either changed, and always at
// launch. Main thread.
//
// Screen Recording granted in the system's settings while the program runs may still read as
// missing until a relaunch; after the program asked for it, a live capture test (listing the
// windows that can be pictured) tells whether pictures already work. Once such a test has
// succeeded, Screen Recording stays granted for the life of the process instead of dropping back on
// every refresh.
class PermissionService final : public QObject {
    Q_OBJECT

  public:
    static constexpr double fallbackDelaySeconds = 1.5;
    static constexpr QLatin1String settingsUrlPrefix{
        "x-apple.systempreferences:com.apple.preference.security?"};

    // `waitForEventLog` returns once every event recorded so far is written.
    PermissionService(Desktop& desktop, Scheduler& scheduler, EventRecording& events,
                      std::function<void()> waitForEventLog = {});

    Observable<PermissionState>& accessibility() { return accessibility_; }
    Observable<PermissionState>& screenRecording() { return screenRecording_; }
    // The kinds asked for with request() in this process; it only grows.
    Observable<std::set<PermissionKind>>& requested() { return requested_; }
    bool screenRecordingWasRequested() const { return screenRecordingWasRequested_; }
    bool isScreenProbeInFlight() const { return screenProbeInFlight_; }

    // Re-reads both permissions; `source` names the caller in the event.
    void refresh(const QString& source);
    // Asks the system for the permission, refreshes, and 1.5 s later opens its settings pane
    // when it is still missing.
    void request(PermissionKind kind);
    void openSettings(PermissionKind kind);
    // Starts a new instance of the program and quits this one once it started. When it cannot
    // be started, the failure is recorded and this instance keeps running.
    void relaunch();

    // "Privacy_Accessibility" or "Privacy_ScreenCapture".
    static QString settingsPane(PermissionKind kind);
    static QUrl settingsUrl(PermissionKind kind);

  private:
    bool systemGrants(PermissionKind kind) const;
    PermissionState currentScreenRecording() const;
    void openSettingsPane(PermissionKind kind);
    void requestFallback(PermissionKind kind);
    QCoro::Task<void> probeScreenRecording(CancellationToken token);
    QCoro::Task<void> openNewInstanceAndQuit(CancellationToken token);

    Desktop& desktop_;
    Scheduler& scheduler_;
    EventRecording& events_;
    std::function<void()> waitForEventLog_;

    Observable<PermissionState> accessibility_{PermissionState::notDetermined};
    Observable<PermissionState> screenRecording_{PermissionState::notDetermined};
    Observable<std::set<PermissionKind>> requested_;
    bool screenRecordingWasRequested_ = false;
    bool screenProbeInFlight_ = false;
    // A live capture test succeeded in this process (and none failed since).
    bool liveCaptureWorked_ = false;
};

}  // namespace pellucine
