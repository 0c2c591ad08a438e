#pragma once

#include <QString>
#include <QUrl>
#include <optional>

#include "base/EventRecording.h"

namespace pellucine {

// The program windows a link can open. Main thread.
class DeepLinkDestinations {
  public:
    virtual ~DeepLinkDestinations() = default;

    virtual void showDiagnosticsWindow() = 0;
    // The welcome window at its permissions step.
    virtual void showPermissions() = 0;
    // Sets the model's pending settings page (none clears it), then shows the settings window.
    virtual void showSettings(const std::optional<QString>& pendingPage) = 0;
};

// Records "deep-link" with its pane and opens what the link asks for; a link of another scheme
// or host does nothing and records nothing. Nothing opens while `destinations` is null.
void handleDeepLink(const QUrl& url, EventRecording& events, DeepLinkDestinations* destinations);

}  // namespace pellucine
