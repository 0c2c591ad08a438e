#pragma once

#include <QCoro/QCoroTask>
#include <QObject>
#include <QProcessEnvironment>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

#include "app/DeepLinkDestinations.h"
#include "app/DeepLinkQueue.h"
#include "app/FlaggedProblem.h"
#include "app/LinkAdmission.h"
#include "app/ShellCommandTarget.h"
#include "app/StatusMenuModel.h"
#include "base/EventRecording.h"
#include "base/Scheduler.h"
#include "base/SubscriptionBag.h"
#include "coordination/ShellCoordinating.h"
#include "platform/RunningApplication.h"
#include "preferences/MachinePreferences.h"
#include "preferences/SettingsUpdateResume.h"

namespace pellucine {

class Appearance;
class AppModel;
class Bundle;
class Desktop;
class OnboardingStore;
class ProgramActivationPolicy;
class ProgramWindows;
class ShellNotifications;
class StatusItem;
class StatusMenu;

// The application's delegate: the launch and termination sequences, the status item and its
// menu, the actions behind the menu and the program's commands, the launch options and the
// program's links. It owns the coordinator it makes at launch. Actions whose precondition is
// missing (no coordinator, no target application, no link) do nothing. Main thread.
class AppDelegate final : public QObject, public ShellCommandTarget, public DeepLinkDestinations {
    Q_OBJECT

  public:
    static constexpr double previewReportDelaySeconds = 1.0;
    static constexpr double firstUpdateCheckDelaySeconds = 3.0;
    static constexpr double testInstallDelaySeconds = 1.5;
    static constexpr double permissionPollSeconds = 10.0;
    static constexpr double accessibilityTimeoutSeconds = 0.5;

    struct Services {
        AppModel& model;
        Desktop& desktop;
        EventRecording& events;
        Scheduler& scheduler;
        Appearance& appearance;
        ProgramWindows& windows;
        // Ends the application.
        std::function<void()> terminate;
        // The product's website.
        QUrl website;
    };

    // What launch and termination use besides.
    struct Lifecycle {
        OnboardingStore& onboarding;
        ShellNotifications& notifications;
        ProgramActivationPolicy& activationPolicy;
        // The program's bundle: its versions for the "launch" event.
        const Bundle& bundle;
        CoordinatorFactory makeCoordinator;
        // Opens the settings window again after an update relaunched the program.
        std::function<void(SettingsUpdateResume::SettingsOpener)> resumeSettings;
        // The command line after the program name, and the process environment.
        QStringList arguments;
        QProcessEnvironment environment;
        // Where the report preview's sample file would be.
        QString desktopFolder;
        // Returns once every event recorded so far is written.
        std::function<void()> waitForEventLog;
        // Under a test host launch and termination do nothing.
        bool underTestHost = false;
        // Lets the task run to its end, or for a few seconds at most (the pushes at quit).
        std::function<void(QCoro::Task<void>)> finishAtQuit;
    };

    AppDelegate(Services services, Lifecycle lifecycle, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The running delegate; null before one exists and after it is gone.
    static AppDelegate* shared();

    // Launch: observers, launch options, the coordinator, the status item, preference
    // subscriptions, the updater, timers, the "launch" event, the first window, and then the
    // links that came early.
    void applicationDidFinishLaunching();
    // Stops the coordinator, saves the preferences through the model (a change not saved yet is
    // stamped and, with sync on, pushed; the push is let finish), records "quit" and waits until
    // the event log is written.
    void applicationWillTerminate();
    void applicationDidBecomeActive();
    // Reopening the program shows the settings window; returns false.
    bool applicationShouldHandleReopen();

    // A link given to the program: held until launch has finished, then handled at once.
    // False when it was dropped: not a link, too many waiting, or one of a flood.
    bool receiveLink(const QString& text);
    bool launched() const { return pendingDeepLinks_.launched(); }

    // Regular when visible, else accessory; when the policy changes, brings a visible program
    // window forward and records "dock-visibility".
    void applyDockVisibility(bool visible);
    bool hasVisibleProgramWindow() const;

    ShellCoordinating* coordinator() const { return coordinator_.get(); }
    void setCoordinator(std::unique_ptr<ShellCoordinating> coordinator);

    // The application the status menu acted on when it last opened.
    std::optional<qint32> menuTargetProcessIdentifier() const { return menuTarget_; }
    // The last regular application of another process that was in front.
    std::optional<qint32> lastExternalProcessIdentifier() const { return lastExternal_; }
    // Remembers the application as the last external one when it is one.
    void rememberExternalApplication(const RunningApplication& application);
    void rememberFrontmostApplication();

    // The status item and its menu, built once; the item starts shown.
    void installStatusItem();
    StatusItem* statusItem() const { return statusItem_.get(); }
    StatusMenu* statusMenu() const { return statusMenu_.get(); }
    // Shows or hides the status item when there is one; records "menu-bar-visibility".
    void applyMenuBarVisibility(bool visible);
    // The status item is shown and the desktop has a tray to show it in.
    bool isStatusItemReachable() const;
    // As the menu opens: remembers the front application as the menu's target, refreshes the
    // permissions and returns the menu for the current state.
    StatusMenuModel menuWillOpen();
    // The menu for the current state, with no side effects.
    StatusMenuModel statusMenuModel() const;

    std::optional<FlaggedProblem> currentFlaggedProblem() const;

    // The status menu's rows.
    void perform(StatusMenuItem item);
    void fixFlaggedProblem();
    void openWebsite();
    // Opens a web link, or says that nothing opened it.
    void openLink(const QUrl& url);
    void openStudio();
    void openUpdates();
    void openSettings();
    void showDiagnostics();
    void showAbout();
    // Stops the coordinator, then ends the application.
    void quit();
    // The Show Windows row: the application chosen when the menu opened, and nothing when it
    // has ended since.
    void openSwitcherFromMenu();

    // ShellCommandTarget.
    void showSettingsPane(const QString& pane) override;
    void showSettings() override;
    // The last external application while it runs, else the front one.
    void openSwitcher() override;
    void openWindowSearch() override;
    void showOnboardingFromMenu() override;
    void showDiagnosticsWindow() override;
    void reportProblem() override;

    // DeepLinkDestinations.
    void showPermissions() override;
    void showSettings(const std::optional<QString>& pendingPage) override;

    // Launch options.
    void applyAppearanceOverride(const QProcessEnvironment& environment);
    // Opens the report window in the chosen sample state a second later.
    void applyPreviewReportOption(const QStringList& arguments, const QString& desktopFolder);

  private:
    // Delivers the preference's current value at once, then each change.
    void observeMachinePreference(bool MachinePreferences::*field,
                                  void (AppDelegate::*apply)(bool));
    void schedulePermissionTimer();
    void recordLaunch();
    void showFirstWindow();
    void showWindowsOf(const std::function<std::optional<qint32>()>& chooseTarget);
    // Acts on a link unless it repeats the last one or comes in a flood; false when dropped.
    bool admitDeepLink(const QUrl& url);
    std::optional<qint32> frontmostProcessIdentifier() const;
    qint32 ownProcessIdentifier() const;

    Services services_;
    Lifecycle lifecycle_;
    std::unique_ptr<ShellCoordinating> coordinator_;
    std::unique_ptr<StatusMenu> statusMenu_;
    std::unique_ptr<StatusItem> statusItem_;
    std::optional<qint32> menuTarget_;
    std::optional<qint32> lastExternal_;
    ScopedWork previewReport_;
    LinkAdmission linkAdmission_;
    DeepLinkQueue pendingDeepLinks_;
    SubscriptionBag cancellables_;
    ScopedWork permissionTimer_;
    ScopedWork firstUpdateCheck_;
    ScopedWork testInstall_;
    ScopedWork settingsAtLaunch_;
};

}  // namespace pellucine
