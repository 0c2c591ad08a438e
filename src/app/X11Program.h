#pragma once

#include <QNetworkAccessManager>
#include <QProcessEnvironment>
#include <QStringList>
#include <memory>
#include <optional>

#include "app/AppEnvironment.h"
#include "app/MainApp.h"
#include "app/OnboardingStore.h"
#include "app/ProgramWindowPresenter.h"
#include "app/ShellNotifications.h"
#include "app/X11ApplicationIconProvider.h"
#include "app/X11PanelWindowSystem.h"
#include "app/X11WindowActivation.h"
#include "base/QtScheduler.h"
#include "base/ThreadPoolExecutor.h"
#include "design/Appearance.h"
#include "design/FontWarmUp.h"
#include "diagnostics/DiagnosticsService.h"
#include "diagnostics/FileDialogSavePanel.h"
#include "diagnostics/ReportConfig.h"
#include "diagnostics/ReportEnvironment.h"
#include "panels/FontTextMeasurer.h"
#include "panels/GlanceEnvironment.h"
#include "platform/x11/wiring/X11Desktop.h"
#include "preferences/HotkeyCenter.h"
#include "preferences/SettingsFileStore.h"
#include "preferences/SettingsUpdateResume.h"
#include "updates/UpdateDialogs.h"

namespace pellucine {

class AppDelegate;
class ProgramActivationPolicy;
class ShellCoordinating;

// The program on an X server, made in order: the user defaults, the desktop, the shared
// environment with its model, the program's windows and the application scene with its
// delegate; ended in the reverse order. Its own application switcher is started when the
// program's keys are free. Needs the GUI application; main thread.
class X11Program {
  public:
    struct Launch {
        // The command line after the program name, and the process environment.
        QStringList arguments;
        QProcessEnvironment environment;
        // Outlives the program.
        ProgramActivationPolicy& activationPolicy;
        // The user defaults as the launch read them, what it kept aside included; read afresh
        // when absent.
        std::optional<SettingsFileStore> defaults;
    };

    // Throws X11Error when the server cannot be reached.
    explicit X11Program(const Launch& launch);
    ~X11Program();
    X11Program(const X11Program&) = delete;
    X11Program& operator=(const X11Program&) = delete;

    AppDelegate& delegate() const { return app_->delegate(); }

  private:
    void startApplicationSwitcher();
    std::unique_ptr<ShellCoordinating> makeCoordinator();
    ReportProblem::Config reportConfig();
    void openReport(const std::optional<ReportProblem::Phase>& phase);
    std::unique_ptr<QWidget> makeDiagnosticsWindow();
    std::unique_ptr<QWidget> makeSettingsWindow();

    AppPaths paths_;
    SettingsFileStore defaults_;
    X11Desktop desktop_;
    QtScheduler scheduler_{systemContinuousClock()};
    ThreadPoolExecutor executor_;
    Appearance appearance_;
    // The desktop's light or dark preference, followed into `appearance_`.
    Subscription desktopScheme_;
    QNetworkAccessManager network_;
    AppEnvironment environment_;
    UpdateDialogs updateDialogs_;
    SettingsUpdateResume settingsResume_;
    DiagnosticsService diagnostics_;
    FileDialogSavePanel savePanel_;
    ReportProblem::Environment reportEnvironment_;
    ShellNotifications notifications_;
    OnboardingStore onboarding_;
    X11WindowActivation activation_;
    X11ApplicationIconProvider icons_;
    FontTextMeasurer measurer_;
    X11PanelWindowSystem panelWindows_;
    GlanceEnvironment glance_;
    HotkeyCenter hotkeys_;
    ProgramWindowPresenter windows_;
    std::unique_ptr<MainApp> app_;
    // Just after the launch, once the loop has gone idle, the panels' fonts are loaded so that
    // the first glance and the first search do not wait for them.
    static constexpr double panelFontWarmUpDelay = 0.1;
    FontWarmUp panelFonts_;
    // After the fonts, the switcher strip's icons are made ahead of its first opening, and the
    // heap the launch left free goes back to the system.
    static constexpr double switcherIconsDelay = 0.25;
    ScopedWork switcherIcons_;
};

}  // namespace pellucine
