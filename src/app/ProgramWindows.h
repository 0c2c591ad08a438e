#pragma once

#include <optional>

#include "diagnostics/ReportPhase.h"
#include "settings/OnboardingView.h"

namespace pellucine {

// The program's windows as the delegate's actions open them. Main thread.
class ProgramWindows {
  public:
    virtual ~ProgramWindows() = default;

    // The welcome window at the step.
    virtual void showOnboarding(OnboardingView::Step step) = 0;
    // Records "settings-opened" and brings the settings window forward at the model's pending
    // page.
    virtual void showSettings() = 0;
    virtual void showDiagnosticsWindow() = 0;
    // The problem-report window, at the phase when given one.
    virtual void showReportWindow(const std::optional<ReportProblem::Phase>& phase) = 0;

    // Whether the settings, welcome or diagnostics window is on screen.
    virtual bool hasVisibleWindow() const = 0;
    // Brings the program forward: its visible window takes the focus from other applications.
    virtual void activate() = 0;
};

}  // namespace pellucine
