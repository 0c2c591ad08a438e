#include "settings/SettingsPages.h"

#include "design/YardCard.h"
#include "settings/DockPage.h"
#include "settings/GeneralPage.h"
#include "settings/SwitcherPage.h"

namespace pellucine::SettingsPages {

QWidget* general(SettingsView& view) {
    return new GeneralPage(view);
}

QWidget* switcher(SettingsView& view) {
    return new SwitcherPage(view);
}

QWidget* dock(SettingsView& view) {
    return new DockPage(view);
}

QWidget* about(SettingsView&) {
    return new YardCard(
        QStringLiteral("PELLUCINE"),
        QStringLiteral("Window previews above the switcher strip (Super+Tab) and the Dock bar."));
}

}  // namespace pellucine::SettingsPages
