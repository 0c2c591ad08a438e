#pragma once

#include <QString>

namespace pellucine {

// The application delegate's routines that the program's menu commands call. Main thread.
class ShellCommandTarget {
  public:
    virtual ~ShellCommandTarget() = default;

    // Sets the model's pending settings page, then shows the settings window.
    virtual void showSettingsPane(const QString& pane) = 0;
    virtual void showSettings() = 0;
    // The windows of the current application in the panel.
    virtual void openSwitcher() = 0;
    virtual void openWindowSearch() = 0;
    // The welcome window at its introduction step.
    virtual void showOnboardingFromMenu() = 0;
    virtual void showDiagnosticsWindow() = 0;
    // Records "report-opened" and opens the problem-report window.
    virtual void reportProblem() = 0;
};

}  // namespace pellucine
