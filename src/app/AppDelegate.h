#pragma once

#include <QObject>
#include <QProcessEnvironment>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

#include "app/FlaggedProblem.h"
#include "app/ShellCommandTarget.h"
#include "app/StatusMenuModel.h"
#include "base/EventRecording.h"
#include "base/Scheduler.h"
#include "platform/RunningApplication.h"

namespace pellucine {

class Appearance;
class AppModel;
class Desktop;
class ProgramWindows;
class ShellCoordinating;
class StatusItem;
class StatusMenu;

// The application's delegate: the status item and its menu, the actions behind the menu and
// the program's commands, and the launch options. It owns the coordinator once launch hands it
// one. Actions whose precondition is missing (no coordinator, no target application, no link)
// do nothing. Main thread.
class AppDelegate final : public QObject, public ShellCommandTarget {
    Q_OBJECT

  public:
    static constexpr double previewReportDelaySeconds = 1.0;

    struct Services {
        AppModel& model;
        Desktop& desktop;
        EventRecording& events;
        Scheduler& scheduler;
        Appearance& appearance;
        ProgramWindows& windows;
        // Ends the application.
        std::function<void()> terminate;
        // The product's website, when there is one.
        std::optional<QUrl> website;
    };

    explicit AppDelegate(Services services, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The running delegate; null before one exists and after it is gone.
    static AppDelegate* shared();

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

    // Launch options.
    void applyAppearanceOverride(const QProcessEnvironment& environment);
    // Opens the report window in the chosen sample state a second later.
    void applyPreviewReportOption(const QStringList& arguments, const QString& desktopFolder);

  private:
    void showWindowsOf(const std::function<std::optional<qint32>()>& chooseTarget);
    std::optional<qint32> frontmostProcessIdentifier() const;
    qint32 ownProcessIdentifier() const;

    Services services_;
    std::unique_ptr<ShellCoordinating> coordinator_;
    std::unique_ptr<StatusMenu> statusMenu_;
    std::unique_ptr<StatusItem> statusItem_;
    std::optional<qint32> menuTarget_;
    std::optional<qint32> lastExternal_;
    ScopedWork previewReport_;
};

}  // namespace pellucine
