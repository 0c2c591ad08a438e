#include "platform/x11/X11DesktopAppearance.h"

#include <QFile>
#include <QFileInfo>

#include "platform/linux/GnomeSchemeWatch.h"
#include "platform/linux/PortalSchemeWatch.h"
#include "platform/linux/SyncFolderWatch.h"
#include "platform/x11/X11XSettingsWatch.h"

namespace pellucine {

X11DesktopAppearance::X11DesktopAppearance(const QByteArray& displayName, const Sources& sources)
    : sources_(sources) {
    xsettings_ = std::make_unique<X11XSettingsWatch>(displayName, [this](SchemePreference value) {
        take(&DesktopSchemeReadings::xsettings, value);
    });
    readings_.xsettings = xsettings_->preference();
    if (!sources_.kdeGlobals.isEmpty()) {
        // kdeglobals is replaced by a rename: its folder is watched with it.
        const QString file = sources_.kdeGlobals;
        kde_ = std::make_unique<SyncFolderWatch>(
            [file] {
                return QStringList{QFileInfo(file).absolutePath(), file};
            },
            [this] { readKdeGlobals(); });
        readKdeGlobals();
    }
    if (sources_.portal) {
        portal_ = std::make_unique<PortalSchemeWatch>(
            QDBusConnection::sessionBus(),
            [this](SchemePreference value) { take(&DesktopSchemeReadings::portal, value); });
    }
    if (!sources_.gsettings.isEmpty()) {
        gnome_ = std::make_unique<GnomeSchemeWatch>(
            sources_.gsettings,
            [this](SchemePreference value) { take(&DesktopSchemeReadings::gnome, value); });
    }
}

X11DesktopAppearance::~X11DesktopAppearance() = default;

SchemePreference X11DesktopAppearance::preference() const {
    return preferredScheme(readings_, sources_.desktopNames);
}

Subscription X11DesktopAppearance::subscribe(Handler handler) {
    return handlers_.add(
        [handler = std::move(handler)](const SchemePreference& value) { handler(value); });
}

void X11DesktopAppearance::take(SchemePreference DesktopSchemeReadings::*source,
                                SchemePreference value) {
    const SchemePreference before = preference();
    readings_.*source = value;
    if (const SchemePreference after = preference(); after != before) {
        handlers_.send(after);
    }
}

void X11DesktopAppearance::readKdeGlobals() {
    QFile file(sources_.kdeGlobals);
    const QByteArray text = file.open(QIODevice::ReadOnly) ? file.read(1 << 20) : QByteArray();
    take(&DesktopSchemeReadings::kde, schemeOfKdeGlobals(text));
}

}  // namespace pellucine
