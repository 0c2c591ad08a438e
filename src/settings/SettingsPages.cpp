#include "settings/SettingsPages.h"

#include "design/YardCard.h"
#include "settings/SettingsView.h"

namespace pellucine::SettingsPages {

namespace {

QWidget* placeholder(SettingsView::Bay bay) {
    return new YardCard(SettingsView::title(bay));
}

}  // namespace

QWidget* general(SettingsView&) {
    return placeholder(SettingsView::Bay::general);
}

QWidget* switcher(SettingsView&) {
    return placeholder(SettingsView::Bay::switcher);
}

QWidget* dock(SettingsView&) {
    return new QWidget;
}

QWidget* about(SettingsView&) {
    return new YardCard(QStringLiteral("PELLUCINE"),
                        QStringLiteral("Window previews above Command-Tab and above the Dock."));
}

}  // namespace pellucine::SettingsPages
