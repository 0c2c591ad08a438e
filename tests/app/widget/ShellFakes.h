#pragma once

#include <QStringList>

#include "app/ProgramWindows.h"
#include "coordination/ShellCoordinating.h"

namespace pellucine::testing {

// Writes each window opened: "onboarding", "permissions" (the welcome window at that step),
// "settings", "diagnostics", "report", or "report <phase>" with the phase's kind as a number.
class RecordingProgramWindows final : public ProgramWindows {
  public:
    void showOnboarding(OnboardingView::Step step) override {
        opened << (step == OnboardingView::Step::permissions ? QStringLiteral("permissions")
                                                             : QStringLiteral("onboarding"));
    }
    void showSettings() override { opened << QStringLiteral("settings"); }
    void showDiagnosticsWindow() override { opened << QStringLiteral("diagnostics"); }
    void showReportWindow(const std::optional<ReportProblem::Phase>& phase) override {
        opened << (phase ? QStringLiteral("report %1").arg(int(phase->kind()))
                         : QStringLiteral("report"));
        lastPhase = phase;
    }

    // Each "activate" goes into `opened` too.
    bool hasVisibleWindow() const override { return visible; }
    void activate() override { opened << QStringLiteral("activate"); }

    QStringList opened;
    std::optional<ReportProblem::Phase> lastPhase;
    bool visible = false;
};

// Writes each request: "start", "showWindows <pid>", "windowSearch", "stop"; into a log it shares
// with the test so that the order against other effects shows.
class RecordingCoordinator final : public ShellCoordinating {
  public:
    explicit RecordingCoordinator(QStringList& log) : log_(log) {}

    void start() override { log_ << QStringLiteral("start"); }
    void showWindows(qint32 processIdentifier) override {
        log_ << QStringLiteral("showWindows %1").arg(processIdentifier);
    }
    void showWindowSearch() override { log_ << QStringLiteral("windowSearch"); }
    void stop() override { log_ << QStringLiteral("stop"); }

  private:
    QStringList& log_;
};

}  // namespace pellucine::testing
