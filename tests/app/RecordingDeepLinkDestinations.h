#pragma once

#include <QStringList>

#include "app/DeepLinkDestinations.h"

namespace pellucine::testing {

// Writes each opening as one line: "diagnostics", "permissions", "settings <page>" or
// "settings" without a page.
class RecordingDeepLinkDestinations final : public DeepLinkDestinations {
  public:
    void showDiagnosticsWindow() override { openings << QStringLiteral("diagnostics"); }
    void showPermissions() override { openings << QStringLiteral("permissions"); }
    void showSettings(const std::optional<QString>& pendingPage) override {
        openings << (pendingPage ? QStringLiteral("settings ") + *pendingPage
                                 : QStringLiteral("settings"));
    }

    QStringList openings;
};

}  // namespace pellucine::testing
