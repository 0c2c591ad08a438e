#pragma once

#include <optional>

#include "app/ReportPreview.h"

namespace pellucine {

// The program's windows as the delegate's actions open them. Main thread.
class ProgramWindows {
  public:
    virtual ~ProgramWindows() = default;

    // The welcome window at its introduction step.
    virtual void showOnboarding() = 0;
    // The welcome window at its permissions step.
    virtual void showPermissions() = 0;
    // Records "settings-opened" and brings the settings window forward at the model's pending
    // page.
    virtual void showSettings() = 0;
    virtual void showDiagnosticsWindow() = 0;
    // The problem-report window, in a sample state when given one.
    virtual void showReportWindow(const std::optional<ReportPreview>& sample) = 0;
};

}  // namespace pellucine
