#pragma once

#include <QStringList>

#include "app/ShellCommandTarget.h"

namespace pellucine::testing {

// Writes each routine called as its name, with the page for `showSettingsPane`.
class RecordingShellCommands final : public ShellCommandTarget {
  public:
    void showSettingsPane(const QString& pane) override {
        calls << QStringLiteral("showSettingsPane ") + pane;
    }
    void showSettings() override { calls << QStringLiteral("showSettings"); }
    void openSwitcher() override { calls << QStringLiteral("openSwitcher"); }
    void openWindowSearch() override { calls << QStringLiteral("openWindowSearch"); }
    void showOnboardingFromMenu() override { calls << QStringLiteral("showOnboardingFromMenu"); }
    void showDiagnosticsWindow() override { calls << QStringLiteral("showDiagnosticsWindow"); }
    void reportProblem() override { calls << QStringLiteral("reportProblem"); }

    QStringList calls;
};

}  // namespace pellucine::testing
