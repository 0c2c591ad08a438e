#pragma once

#include <QList>
#include <QObject>
#include <QSize>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "app/CommandTable.h"
#include "app/ProgramWindows.h"
#include "base/EventRecording.h"
#include "base/Scheduler.h"
#include "platform/KeyboardState.h"
#include "platform/SwitcherBinding.h"
#include "platform/SystemDock.h"

namespace pellucine {

class AppModel;
class Appearance;
class OnboardingStore;
class WelcomeWindow;
class WindowActivation;

// The program's windows: the welcome, settings and diagnostics windows, each made on first
// request and kept when closed (the welcome window until its flow completes), and every request
// brings its window forward at its default size, centred. The report window belongs to the
// report module; this only opens it. Main thread.
class ProgramWindowPresenter final : public QObject, public ProgramWindows {
    Q_OBJECT

  public:
    static constexpr QSize settingsSize{900, 680};
    static constexpr QSize diagnosticsSize{760, 560};

    using WindowFactory = std::function<std::unique_ptr<QWidget>()>;

    struct Services {
        AppModel& model;
        Scheduler& scheduler;
        EventRecording& events;
        OnboardingStore& onboarding;
        const Appearance& appearance;
        // Installed on every window made, so that their shortcuts work in it.
        std::function<QList<Command>()> commands;
        // The settings window, at least `settingsSize`. Without factories a window is not made.
        WindowFactory makeSettingsWindow;
        WindowFactory makeDiagnosticsWindow;
        std::function<void(const std::optional<ReportProblem::Phase>&)> openReport;
        // None: the focus is asked of Qt.
        WindowActivation* activation = nullptr;
        // The keys the switcher strip opens on (none while it is off), which the welcome window
        // names; without this function, Super+Tab.
        std::function<std::optional<SwitcherBinding>()> switcherKeys;
        // The Dock the previews sit on, which the welcome window names; none: the desktop's own.
        std::function<SystemDock::Kind()> dockKind;
        // Names the hotkey's keys as its layout labels them; none: as a US keyboard does.
        const KeyboardState* keyboard = nullptr;
    };

    explicit ProgramWindowPresenter(Services services, QObject* parent = nullptr);
    ~ProgramWindowPresenter() override;

    // ProgramWindows.
    // Refreshes the permissions; an open welcome window moves to `step`, else a new one opens
    // at it and "onboarding-shown" is recorded.
    void showOnboarding(OnboardingView::Step step) override;
    void showSettings() override;
    void showDiagnosticsWindow() override;
    void showReportWindow(const std::optional<ReportProblem::Phase>& phase) override;
    bool hasVisibleWindow() const override;
    void activate() override;

    WelcomeWindow* welcomeWindow() const { return welcome_.get(); }
    QWidget* settingsWindow() const { return settings_.get(); }
    QWidget* diagnosticsWindow() const { return diagnostics_.get(); }

  private:
    // The visible window to bring forward: settings, then welcome, then diagnostics.
    QWidget* visibleWindow() const;
    void adopt(QWidget& window);
    void present(QWidget& window, QSize size);
    void completeOnboarding();

    Services services_;
    std::unique_ptr<WelcomeWindow> welcome_;
    std::unique_ptr<QWidget> settings_;
    std::unique_ptr<QWidget> diagnostics_;
};

}  // namespace pellucine
