#pragma once

#include <QByteArray>
#include <QStringList>
#include <QStringView>

#include "platform/DesktopAppearance.h"

namespace pellucine {

// What each place a Linux desktop publishes its light or dark preference in says, `none` where
// it says nothing (not running, not set, or "no preference").
struct DesktopSchemeReadings {
    // The settings portal's org.freedesktop.appearance color-scheme.
    SchemePreference portal = SchemePreference::none;
    // GNOME's org.gnome.desktop.interface color-scheme.
    SchemePreference gnome = SchemePreference::none;
    // The XSETTINGS theme name (Net/ThemeName), as Xfce, MATE and gsd-xsettings publish it.
    SchemePreference xsettings = SchemePreference::none;
    // KDE's colour scheme in kdeglobals.
    SchemePreference kde = SchemePreference::none;

    friend bool operator==(const DesktopSchemeReadings&, const DesktopSchemeReadings&) = default;
};

// The desktop's preference: the portal's, which speaks for the running desktop, when it tells
// one; else the first that tells one of the session's own source (by XDG_CURRENT_DESKTOP's
// names: KDE reads kdeglobals, GNOME and its kin their setting, others XSETTINGS), then the
// XSETTINGS theme, GNOME's setting and kdeglobals.
SchemePreference preferredScheme(const DesktopSchemeReadings& readings,
                                 const QStringList& desktopNames);

// The portal's value: 1 prefers dark, 2 prefers light, anything else none.
SchemePreference schemeOfPortalValue(quint32 value);
// GNOME's setting as `gsettings get` prints it ("'prefer-dark'") or a line of
// `gsettings monitor` ("color-scheme: 'prefer-dark'"); "default" and anything unknown is none.
SchemePreference schemeOfGnomeSetting(QStringView text);
// A GTK theme name: dark when one of its parts split at '-' or ':' is "dark" in any case
// ("Adwaita-dark", "Arc-Dark", "Materia-dark-compact"), light for any other name, none for none.
SchemePreference schemeOfThemeName(QStringView name);
// kdeglobals: dark when the window colour of [Colors:Window] is darker than its text, else by the
// [General] ColorScheme name ("BreezeDark"); none when it holds neither.
SchemePreference schemeOfKdeGlobals(const QByteArray& text);

}  // namespace pellucine
