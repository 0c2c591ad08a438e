#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

#include "platform/DesktopAppearance.h"
#include "platform/NoticeList.h"
#include "platform/linux/DesktopSchemeReadings.h"

namespace pellucine {

class GnomeSchemeWatch;
class PortalSchemeWatch;
class SyncFolderWatch;
class X11XSettingsWatch;

// The desktop's light or dark preference on an X server: the settings portal, GNOME's setting,
// the XSETTINGS theme and kdeglobals, each followed while the program runs, weighed by
// `preferredScheme`. Main thread.
class X11DesktopAppearance final : public DesktopAppearance {
  public:
    // Where to look besides XSETTINGS, which is always read; each left empty is not read.
    struct Sources {
        // XDG_CURRENT_DESKTOP's names, which decide whose source counts first.
        QStringList desktopNames;
        // Asks the session bus's settings portal.
        bool portal = false;
        // The gsettings tool.
        QString gsettings;
        // The kdeglobals file.
        QString kdeGlobals;
    };

    // Reads XSETTINGS and kdeglobals before it returns; the portal and GNOME answer later.
    // Throws X11Error when the server cannot be reached.
    X11DesktopAppearance(const QByteArray& displayName, const Sources& sources);
    ~X11DesktopAppearance() override;
    X11DesktopAppearance(const X11DesktopAppearance&) = delete;
    X11DesktopAppearance& operator=(const X11DesktopAppearance&) = delete;

    SchemePreference preference() const override;
    Subscription subscribe(Handler handler) override;

  private:
    void take(SchemePreference DesktopSchemeReadings::*source, SchemePreference value);
    void readKdeGlobals();

    Sources sources_;
    DesktopSchemeReadings readings_;
    NoticeList<SchemePreference> handlers_;
    std::unique_ptr<X11XSettingsWatch> xsettings_;
    std::unique_ptr<PortalSchemeWatch> portal_;
    std::unique_ptr<GnomeSchemeWatch> gnome_;
    std::unique_ptr<SyncFolderWatch> kde_;
};

}  // namespace pellucine
