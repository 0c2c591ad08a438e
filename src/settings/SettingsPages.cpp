#include "settings/SettingsPages.h"

#include "design/YardCard.h"
#include "platform/Desktop.h"
#include "settings/AboutPage.h"
#include "settings/DockPage.h"
#include "settings/DockWording.h"
#include "settings/GeneralPage.h"
#include "settings/SettingsView.h"
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

QWidget* about(SettingsView& view) {
    Desktop& desktop = view.context().desktop;
    return new YardCard(QStringLiteral("PELLUCINE"),
                        AboutPage::productNote(desktop.systemSwitcher().binding(),
                                               DockWording::of(desktop.systemDock().kind()).place));
}

}  // namespace pellucine::SettingsPages
