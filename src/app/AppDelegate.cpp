#include "app/AppDelegate.h"

#include <QPointer>

#include "app/CommandTable.h"
#include "app/LaunchChoices.h"
#include "app/PreviewReportOption.h"
#include "app/ProgramWindows.h"
#include "app/StatusItem.h"
#include "app/StatusMenu.h"
#include "app/UpdateOffer.h"
#include "coordination/AppModel.h"
#include "coordination/ShellCoordinating.h"
#include "design/Appearance.h"
#include "design/OpenFailureNotice.h"
#include "platform/Desktop.h"

namespace pellucine {

namespace {

QPointer<AppDelegate>& sharedDelegate() {
    static QPointer<AppDelegate> delegate;
    return delegate;
}

bool bothPermissionsGranted(AppModel& model) {
    return model.permissions().accessibility().value() == PermissionState::granted &&
           model.permissions().screenRecording().value() == PermissionState::granted;
}

}  // namespace

AppDelegate::AppDelegate(Services services, Lifecycle lifecycle, QObject* parent)
    : QObject(parent),
      services_(std::move(services)),
      lifecycle_(std::move(lifecycle)),
      pendingDeepLinks_([this](const QUrl& url) { return admitDeepLink(url); }) {
    sharedDelegate() = this;
}

AppDelegate::~AppDelegate() = default;

bool AppDelegate::admitDeepLink(const QUrl& url) {
    const LinkAdmission::Outcome outcome =
        linkAdmission_.admit({}, services_.scheduler.clock().now(), url.toString());
    linkAdmission_ = outcome.next;
    switch (outcome.verdict) {
        case LinkAdmission::Verdict::handle:
            handleDeepLink(url, services_.events, this);
            return true;
        case LinkAdmission::Verdict::repeat:
            return true;
        case LinkAdmission::Verdict::firstDropped:
            services_.events.record(QStringLiteral("deep-links-dropped"));
            return false;
        case LinkAdmission::Verdict::dropped:
            return false;
    }
    return false;
}

AppDelegate* AppDelegate::shared() {
    return sharedDelegate();
}

void AppDelegate::setCoordinator(std::unique_ptr<ShellCoordinating> coordinator) {
    coordinator_ = std::move(coordinator);
}

qint32 AppDelegate::ownProcessIdentifier() const {
    return services_.desktop.process().processIdentifier();
}

void AppDelegate::rememberExternalApplication(const RunningApplication& application) {
    if (isExternalApplication(application, ownProcessIdentifier())) {
        lastExternal_ = application.processIdentifier;
    }
}

void AppDelegate::rememberFrontmostApplication() {
    if (const auto front = frontmostApplication(services_.desktop.workspace())) {
        rememberExternalApplication(*front);
    }
}

std::optional<qint32> AppDelegate::frontmostProcessIdentifier() const {
    if (const auto front = frontmostApplication(services_.desktop.workspace())) {
        return front->processIdentifier;
    }
    return std::nullopt;
}

void AppDelegate::installStatusItem() {
    if (statusMenu_) {
        return;
    }
    Appearance& appearance = services_.appearance;
    // The rows are made and measured as the menu opens, never at launch.
    statusMenu_ = std::make_unique<StatusMenu>([this] {
        return std::pair{menuWillOpen(), services_.appearance.scheme()};
    });
    connect(statusMenu_.get(), &StatusMenu::triggered, this, &AppDelegate::perform);
    statusItem_ = std::make_unique<StatusItem>(*statusMenu_, appearance.scheme(),
                                               services_.desktop.systemSwitcher().binding());
    connect(&appearance, &Appearance::schemeChanged, statusItem_.get(), &StatusItem::setScheme);
    statusItem_->setVisible(true);
}

void AppDelegate::applyMenuBarVisibility(bool visible) {
    if (statusItem_) {
        statusItem_->setVisible(visible);
    }
    services_.events.record(
        QStringLiteral("menu-bar-visibility"),
        {{QStringLiteral("visible"), visible ? QStringLiteral("true") : QStringLiteral("false")}});
}

bool AppDelegate::isStatusItemReachable() const {
    return statusItem_ && statusItem_->isReachable();
}

StatusMenuModel AppDelegate::menuWillOpen() {
    rememberFrontmostApplication();
    menuTarget_ = lastExternal_;
    services_.model.permissions().refresh(QStringLiteral("menu-opened"));
    return statusMenuModel();
}

StatusMenuModel AppDelegate::statusMenuModel() const {
    AppModel& model = services_.model;
    const MachinePreferences& machine = model.machinePreferences().value();
    const UpdateOffer offer = updateOffer(model.updates());
    StatusMenuState state;
    state.scheme = services_.appearance.scheme();
    state.accessibility = model.permissions().accessibility().value();
    state.screenRecording = model.permissions().screenRecording().value();
    state.windowSearchEnabled = machine.windowSearchEnabled;
    state.windowSearchHotkey = machine.windowSearchHotkey;
    state.windowSearchKeyCharacter =
        services_.desktop.keyboardState().keyCharacter(machine.windowSearchHotkey.keyCode);
    state.windowSearchHotkeyProblem = model.windowSearchHotkeyProblem().value();
    state.canUpdateItself = offer.canUpdateItself;
    state.availability = offer.available;
    state.currentVersion = offer.currentVersion;
    state.switcherKeys = services_.desktop.systemSwitcher().binding();
    if (menuTarget_) {
        const auto target = services_.desktop.workspace().runningApplication(*menuTarget_);
        if (target && !target->isTerminated && target->localizedName &&
            !target->localizedName->isEmpty()) {
            state.targetApplicationName = target->localizedName;
        }
    }
    return makeStatusMenu(state);
}

std::optional<FlaggedProblem> AppDelegate::currentFlaggedProblem() const {
    AppModel& model = services_.model;
    return pellucine::currentFlaggedProblem(model.permissions().accessibility().value(),
                                            model.permissions().screenRecording().value(),
                                            model.machinePreferences().value().windowSearchEnabled,
                                            model.windowSearchHotkeyProblem().value());
}

void AppDelegate::perform(StatusMenuItem item) {
    using I = StatusMenuItem;
    switch (item) {
        case I::flag:
            return fixFlaggedProblem();
        case I::update:
            return openUpdates();
        case I::about:
            return showAbout();
        case I::settings:
            return openSettings();
        case I::showWindows:
            return openSwitcherFromMenu();
        case I::searchWindows:
            return openWindowSearch();
        case I::welcome:
            return showOnboardingFromMenu();
        case I::diagnostics:
            return showDiagnostics();
        case I::reportProblem:
            return reportProblem();
        case I::website:
            return openWebsite();
        case I::quit:
            return quit();
        case I::header:
        case I::updateSeparator:
        case I::separator:
            return;
    }
}

void AppDelegate::fixFlaggedProblem() {
    const auto problem = currentFlaggedProblem();
    if (!problem) {
        return;
    }
    if (problem->problemCase == FlaggedProblem::Case::hotkeyConflict) {
        showSettingsPane(QStringLiteral("switcher"));
    } else {
        services_.windows.showOnboarding(OnboardingView::Step::permissions);
    }
}

void AppDelegate::openWebsite() {
    openLink(services_.website);
}

void AppDelegate::openStudio() {
    openLink(studioURL);
}

void AppDelegate::openLink(const QUrl& url) {
    services_.desktop.urlOpener().openOrReport(
        url, OpenFailureNotice::whenNothingOpened(nullptr, OpenFailureNotice::noBrowser,
                                                  url.toString()));
}

void AppDelegate::openUpdates() {
    showSettingsPane(QStringLiteral("updates"));
}

void AppDelegate::openSettings() {
    showSettings();
}

void AppDelegate::showDiagnostics() {
    showDiagnosticsWindow();
}

void AppDelegate::showAbout() {
    showSettingsPane(QStringLiteral("about"));
}

void AppDelegate::quit() {
    if (coordinator_) {
        coordinator_->stop();
    }
    if (services_.terminate) {
        services_.terminate();
    }
}

void AppDelegate::showWindowsOf(const std::function<std::optional<qint32>()>& chooseTarget) {
    services_.events.record(QStringLiteral("menu-open-switcher"));
    if (!bothPermissionsGranted(services_.model)) {
        services_.windows.showOnboarding(OnboardingView::Step::introduction);
        return;
    }
    const std::optional<qint32> target = chooseTarget();
    if (!target || *target == ownProcessIdentifier() || !coordinator_) {
        return;
    }
    coordinator_->showWindows(*target);
}

void AppDelegate::openSwitcherFromMenu() {
    showWindowsOf([this]() -> std::optional<qint32> {
        const Workspace& workspace = services_.desktop.workspace();
        if (menuTarget_) {
            // The row named this application; another one must not take its place.
            return isRunning(workspace, *menuTarget_) ? menuTarget_ : std::nullopt;
        }
        if (lastExternal_ && isRunning(workspace, *lastExternal_)) {
            return lastExternal_;
        }
        return frontmostProcessIdentifier();
    });
}

void AppDelegate::openSwitcher() {
    showWindowsOf([this]() -> std::optional<qint32> {
        if (lastExternal_ && isRunning(services_.desktop.workspace(), *lastExternal_)) {
            return lastExternal_;
        }
        return frontmostProcessIdentifier();
    });
}

void AppDelegate::showSettingsPane(const QString& pane) {
    services_.model.pendingSettingsBay().set(pane);
    showSettings();
}

void AppDelegate::showSettings() {
    services_.windows.showSettings();
}

void AppDelegate::openWindowSearch() {
    services_.events.record(QStringLiteral("menu-open-window-search"));
    // After the menu has closed and let go of the keyboard.
    services_.scheduler.post([self = QPointer<AppDelegate>(this)] {
        if (self && self->coordinator_) {
            self->coordinator_->showWindowSearch();
        }
    });
}

void AppDelegate::showOnboardingFromMenu() {
    services_.windows.showOnboarding(OnboardingView::Step::introduction);
}

void AppDelegate::showDiagnosticsWindow() {
    services_.windows.showDiagnosticsWindow();
}

void AppDelegate::showPermissions() {
    services_.windows.showOnboarding(OnboardingView::Step::permissions);
}

void AppDelegate::showSettings(const std::optional<QString>& pendingPage) {
    services_.model.pendingSettingsBay().set(pendingPage);
    showSettings();
}

void AppDelegate::reportProblem() {
    services_.events.record(QStringLiteral("report-opened"));
    services_.windows.showReportWindow(std::nullopt);
}

void AppDelegate::applyAppearanceOverride(const QProcessEnvironment& environment) {
    if (const auto scheme = appearanceOverride(environment)) {
        services_.appearance.setForcedScheme(scheme);
    }
}

void AppDelegate::applyPreviewReportOption(const QStringList& arguments,
                                           const QString& desktopFolder) {
    const auto phase = previewReportPhase(arguments, desktopFolder);
    if (!phase) {
        return;
    }
    Scheduler& scheduler = services_.scheduler;
    previewReport_ = ScopedWork(
        scheduler, scheduler.postAfter(seconds(previewReportDelaySeconds), [this, phase] {
            services_.windows.showReportWindow(phase);
        }));
}

}  // namespace pellucine
