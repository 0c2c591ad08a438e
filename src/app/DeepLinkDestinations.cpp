#include "app/DeepLinkDestinations.h"

#include "app/DeepLink.h"

namespace pellucine {

void handleDeepLink(const QUrl& url, EventRecording& events, DeepLinkDestinations* destinations) {
    const std::optional<DeepLink> link = parseDeepLink(url);
    if (!link) {
        return;
    }
    events.record(QStringLiteral("deep-link"), {{QStringLiteral("pane"), link->pane}});
    if (destinations == nullptr) {
        return;
    }
    switch (link->destination) {
        case DeepLink::Destination::diagnostics:
            destinations->showDiagnosticsWindow();
            break;
        case DeepLink::Destination::permissions:
            destinations->showPermissions();
            break;
        case DeepLink::Destination::settings:
            destinations->showSettings(link->settingsPage);
            break;
    }
}

}  // namespace pellucine
