#include "platform/linux/DesktopSchemeReadings.h"

#include <QColor>
#include <QRegularExpression>
#include <array>
#include <optional>

#include "platform/linux/DesktopEntryGroup.h"

namespace pellucine {

namespace {

enum class Session { kde, gnome, other };

Session sessionOf(const QStringList& desktopNames) {
    static const QStringList gnomeKin{QStringLiteral("GNOME"),    QStringLiteral("Unity"),
                                      QStringLiteral("Budgie"),   QStringLiteral("Pantheon"),
                                      QStringLiteral("Cinnamon"), QStringLiteral("X-Cinnamon")};
    for (const QString& name : desktopNames) {
        if (name.compare(QStringLiteral("KDE"), Qt::CaseInsensitive) == 0) {
            return Session::kde;
        }
        if (gnomeKin.contains(name, Qt::CaseInsensitive)) {
            return Session::gnome;
        }
    }
    return Session::other;
}

// "r,g,b" as kdeglobals writes a colour.
std::optional<QColor> kdeColor(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() < 3) {
        return std::nullopt;
    }
    std::array<int, 3> rgb{};
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        bool ok = false;
        rgb[i] = parts[static_cast<qsizetype>(i)].trimmed().toInt(&ok);
        if (!ok || rgb[i] < 0 || rgb[i] > 255) {
            return std::nullopt;
        }
    }
    return QColor(rgb[0], rgb[1], rgb[2]);
}

}  // namespace

SchemePreference preferredScheme(const DesktopSchemeReadings& readings,
                                 const QStringList& desktopNames) {
    std::array<SchemePreference, 4> order{readings.portal, readings.xsettings, readings.gnome,
                                          readings.kde};
    switch (sessionOf(desktopNames)) {
        case Session::kde:
            order = {readings.portal, readings.kde, readings.xsettings, readings.gnome};
            break;
        case Session::gnome:
            order = {readings.portal, readings.gnome, readings.xsettings, readings.kde};
            break;
        case Session::other:
            break;
    }
    for (const SchemePreference preference : order) {
        if (preference != SchemePreference::none) {
            return preference;
        }
    }
    return SchemePreference::none;
}

SchemePreference schemeOfPortalValue(quint32 value) {
    switch (value) {
        case 1:
            return SchemePreference::dark;
        case 2:
            return SchemePreference::light;
        default:
            return SchemePreference::none;
    }
}

SchemePreference schemeOfGnomeSetting(QStringView text) {
    QStringView value = text.trimmed();
    if (const qsizetype colon = value.indexOf(u':'); colon >= 0) {
        value = value.mid(colon + 1).trimmed();
    }
    if (value == u"'prefer-dark'") {
        return SchemePreference::dark;
    }
    if (value == u"'prefer-light'") {
        return SchemePreference::light;
    }
    return SchemePreference::none;
}

SchemePreference schemeOfThemeName(QStringView name) {
    if (name.trimmed().isEmpty()) {
        return SchemePreference::none;
    }
    static const QRegularExpression separators(QStringLiteral("[-:]"));
    for (const QString& part : name.toString().split(separators)) {
        if (part.compare(QStringLiteral("dark"), Qt::CaseInsensitive) == 0) {
            return SchemePreference::dark;
        }
    }
    return SchemePreference::light;
}

SchemePreference schemeOfKdeGlobals(const QByteArray& text) {
    if (const auto window = readIniGroup(text, QStringLiteral("Colors:Window"))) {
        if (const auto ground = kdeColor(window->value(QStringLiteral("BackgroundNormal")))) {
            const auto ink = kdeColor(window->value(QStringLiteral("ForegroundNormal")));
            const int inkLightness = ink ? ink->lightness() : 128;
            return ground->lightness() < inkLightness ? SchemePreference::dark
                                                      : SchemePreference::light;
        }
    }
    const auto general = readIniGroup(text, QStringLiteral("General"));
    const QString name = general ? general->value(QStringLiteral("ColorScheme")) : QString();
    if (name.isEmpty()) {
        return SchemePreference::none;
    }
    return name.contains(QStringLiteral("dark"), Qt::CaseInsensitive) ? SchemePreference::dark
                                                                      : SchemePreference::light;
}

}  // namespace pellucine
