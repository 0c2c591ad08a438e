#pragma once

#include <QStringList>

#include "app/ProgramWindows.h"
#include "app/ShellCoordinating.h"

namespace pellucine::testing {

// Writes each window opened: "onboarding", "permissions", "settings", "diagnostics", "report"
// or "report sent|saved|writing".
class RecordingProgramWindows final : public ProgramWindows {
  public:
    void showOnboarding() override { opened << QStringLiteral("onboarding"); }
    void showPermissions() override { opened << QStringLiteral("permissions"); }
    void showSettings() override { opened << QStringLiteral("settings"); }
    void showDiagnosticsWindow() override { opened << QStringLiteral("diagnostics"); }
    void showReportWindow(const std::optional<ReportPreview>& sample) override {
        static const char* const states[] = {"sent", "saved", "writing"};
        opened << (sample ? QStringLiteral("report ") + states[int(sample->state)]
                          : QStringLiteral("report"));
        lastSample = sample;
    }

    QStringList opened;
    std::optional<ReportPreview> lastSample;
};

// Writes each request: "showWindows <pid>", "windowSearch", "stop"; into a log it shares with
// the test so that the order against other effects shows.
class RecordingCoordinator final : public ShellCoordinating {
  public:
    explicit RecordingCoordinator(QStringList& log) : log_(log) {}

    void showWindows(qint32 processIdentifier) override {
        log_ << QStringLiteral("showWindows %1").arg(processIdentifier);
    }
    void showWindowSearch() override { log_ << QStringLiteral("windowSearch"); }
    void stop() override { log_ << QStringLiteral("stop"); }

  private:
    QStringList& log_;
};

}  // namespace pellucine::testing
