// The delegate's launch and termination sequences.

#include <QPointer>

#include "app/AppDelegate.h"
#include "app/LaunchChoices.h"
#include "app/OnboardingStore.h"
#include "app/ProgramActivationPolicy.h"
#include "app/ProgramWindows.h"
#include "app/ShellNotifications.h"
#include "coordination/AppModel.h"
#include "core/Bundle.h"
#include "platform/Desktop.h"

namespace pellucine {

namespace {

QString boolText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// The bundle's value for `key` when it is text, else "dev".
QString versionText(const Bundle& bundle, const QString& key) {
    const QVariant value = bundle.infoDictionary().value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QStringLiteral("dev");
}

}  // namespace

void AppDelegate::applicationDidFinishLaunching() {
    if (lifecycle_.underTestHost) {
        return;
    }
    AppModel& model = services_.model;
    Scheduler& scheduler = services_.scheduler;

    connect(&lifecycle_.notifications, &ShellNotifications::needsPermissions, this,
            &AppDelegate::showPermissions);
    if (lifecycle_.resumeSettings) {
        lifecycle_.resumeSettings(
            [&model, self = QPointer<AppDelegate>(this)](const QString& pane) {
                model.pendingSettingsBay().set(pane);
                if (self) {
                    self->showSettings();
                }
            });
    }
    applyAppearanceOverride(lifecycle_.environment);
    services_.desktop.accessibility().setGlobalMessagingTimeout(
        seconds(accessibilityTimeoutSeconds));

    if (lifecycle_.makeCoordinator) {
        coordinator_ = lifecycle_.makeCoordinator();
    }
    rememberFrontmostApplication();
    if (coordinator_) {
        coordinator_->start();
    }
    installStatusItem();

    observeMachinePreference(&MachinePreferences::showMenuBarIcon,
                             &AppDelegate::applyMenuBarVisibility);
    observeMachinePreference(&MachinePreferences::showInDockAndAppSwitcher,
                             &AppDelegate::applyDockVisibility);

    UpdateController& updates = model.updates();
    updates.apply(model.machinePreferences().value());
    updates.follow(model.machinePreferences());
    // Reads the updater's copy when it fires, not the one at launch.
    firstUpdateCheck_ = ScopedWork(
        scheduler, scheduler.postAfter(seconds(firstUpdateCheckDelaySeconds), [&updates] {
            if (updates.preferences().automaticUpdateChecks) {
                updates.checkInBackground();
            }
        }));
    schedulePermissionTimer();

    cancellables_ += connect(&lifecycle_.notifications, &ShellNotifications::showDiagnostics, this,
                             [this] { showDiagnosticsWindow(); });
    cancellables_ += services_.desktop.workspace().subscribe(
        [self = QPointer<AppDelegate>(this)](const WorkspaceNotice& notice) {
            if (!self || notice.kind != WorkspaceNotice::Kind::activated) {
                return;
            }
            const auto application =
                self->services_.desktop.workspace().runningApplication(notice.processIdentifier);
            if (application) {
                self->rememberExternalApplication(*application);
            }
        });

    applyPreviewReportOption(lifecycle_.arguments, lifecycle_.desktopFolder);
    if (updates.wantsTestInstall()) {
        testInstall_ =
            ScopedWork(scheduler, scheduler.postAfter(seconds(testInstallDelaySeconds),
                                                      [&updates] { updates.checkNow(); }));
    }

    recordLaunch();
    showFirstWindow();
    pendingDeepLinks_.drain();
}

void AppDelegate::observeMachinePreference(bool MachinePreferences::*field,
                                           void (AppDelegate::*apply)(bool)) {
    Observable<MachinePreferences>& preferences = services_.model.machinePreferences();
    (this->*apply)(preferences.value().*field);
    cancellables_ +=
        preferences.subscribeDistinct([field](const MachinePreferences& p) { return p.*field; },
                                      [self = QPointer<AppDelegate>(this), apply](bool value) {
                                          if (self) {
                                              (self->*apply)(value);
                                          }
                                      });
}

void AppDelegate::schedulePermissionTimer() {
    if (!services_.desktop.permissions().grantsCanChange()) {
        return;
    }
    Scheduler& scheduler = services_.scheduler;
    permissionTimer_ =
        ScopedWork(scheduler, scheduler.postAfter(seconds(permissionPollSeconds), [this] {
            services_.model.permissions().refresh(QStringLiteral("timer"));
            schedulePermissionTimer();
        }));
}

void AppDelegate::recordLaunch() {
    const Bundle& bundle = lifecycle_.bundle;
    services_.events.record(
        QStringLiteral("launch"),
        {{QStringLiteral("version"),
          versionText(bundle, QStringLiteral("CFBundleShortVersionString"))},
         {QStringLiteral("build"), versionText(bundle, QStringLiteral("CFBundleVersion"))},
         {QStringLiteral("macOS"), services_.desktop.process().operatingSystemVersionString()}});
}

void AppDelegate::showFirstWindow() {
    const PermissionState accessibility = services_.model.permissions().accessibility().value();
    const PermissionState screenRecording = services_.model.permissions().screenRecording().value();
    switch (firstWindowAtLaunch(lifecycle_.onboarding.hasCompletedOnboarding(), accessibility,
                                screenRecording, isStatusItemReachable())) {
        case FirstWindow::welcome:
            services_.windows.showOnboarding(OnboardingView::Step::introduction);
            break;
        case FirstWindow::permissions:
            services_.events.record(
                QStringLiteral("permissions-missing-at-launch"),
                {{QStringLiteral("accessibility"), rawValue(accessibility)},
                 {QStringLiteral("screenRecording"), rawValue(screenRecording)}});
            showPermissions();
            break;
        case FirstWindow::settings:
            settingsAtLaunch_ = ScopedWork(services_.scheduler,
                                           services_.scheduler.post([this] { showSettings(); }));
            break;
        case FirstWindow::none:
            break;
    }
}

void AppDelegate::applicationWillTerminate() {
    if (lifecycle_.underTestHost) {
        return;
    }
    if (coordinator_) {
        coordinator_->stop();
    }
    // Only a change not saved yet gets a new date, so an unchanged copy never wins over a newer
    // change made elsewhere; the push reads the synced record before it writes.
    services_.model.applyPreferences();
    if (lifecycle_.finishAtQuit) {
        lifecycle_.finishAtQuit(services_.model.pushesFinished());
    }
    services_.events.record(QStringLiteral("quit"));
    if (lifecycle_.waitForEventLog) {
        lifecycle_.waitForEventLog();
    }
}

void AppDelegate::applicationDidBecomeActive() {
    services_.model.permissions().refresh(QStringLiteral("application-became-active"));
}

bool AppDelegate::applicationShouldHandleReopen() {
    showSettings();
    return false;
}

bool AppDelegate::receiveLink(const QString& text) {
    return pendingDeepLinks_.receive(text);
}

void AppDelegate::applyDockVisibility(bool visible) {
    const ActivationPolicy wanted =
        visible ? ActivationPolicy::regular : ActivationPolicy::accessory;
    if (lifecycle_.activationPolicy.policy() == wanted) {
        return;
    }
    lifecycle_.activationPolicy.setPolicy(wanted);
    if (hasVisibleProgramWindow()) {
        services_.windows.activate();
    }
    services_.events.record(QStringLiteral("dock-visibility"),
                            {{QStringLiteral("visible"), boolText(visible)}});
}

bool AppDelegate::hasVisibleProgramWindow() const {
    return services_.windows.hasVisibleWindow();
}

}  // namespace pellucine
