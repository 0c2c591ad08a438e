#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

#include "base/AppPaths.h"
#include "base/Clock.h"
#include "base/Scheduler.h"
#include "core/Bundle.h"
#include "diagnostics/ReportDelivery.h"
#include "settings/ApplicationNames.h"
#include "settings/HotkeyKeys.h"

class QWidget;

namespace pellucine {

class Desktop;
class DialogHost;
class KeyValueStore;
class SettingsUpdateResume;
class SettingsView;

// What the settings window uses besides the model. Everything it refers to outlives the window.
struct SettingsContext {
    // The host name shown when the bundle names no website.
    static inline const QString fallbackWebsiteHost = QStringLiteral("pellucine.orrinvale.com");

    DialogHost& dialogs;
    Scheduler& scheduler;
    const WallClock& wallClock;
    // Running applications, links to open.
    Desktop& desktop;
    // The user defaults, where the chosen sync folder is kept.
    KeyValueStore& defaults;
    // Backups go to the program's folder in Application Support.
    AppPaths paths;
    // Remembers the page shown last for an update relaunch; none keeps nothing.
    SettingsUpdateResume* resume = nullptr;
    const Bundle* bundle = &Bundle::main();
    // The product's website.
    std::optional<QUrl> website;
    // The program's own application identifier, never offered as an app to leave out.
    std::optional<QString> ownApplicationIdentifier;
    // The name of the installed application with this identifier, or none.
    ApplicationNameLookup applicationName;
    // Builds the About page; a placeholder when empty.
    std::function<QWidget*(SettingsView& view)> aboutPage;
    // How this build's problem reports leave; the pages' texts say so.
    ReportProblem::Delivery reports;
    // Reads recorded hotkeys as the grabs read the keyboard; none: by their Qt keys.
    NativeKeyboard hotkeyKeyboard;

    QString websiteHost() const {
        return website && !website->host().isEmpty() ? website->host() : fallbackWebsiteHost;
    }
};

}  // namespace pellucine
