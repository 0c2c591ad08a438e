#include <gtest/gtest.h>

#include "platform/linux/DesktopSchemeReadings.h"
#include "platform/x11/XSettingsData.h"
#include "support/XSettingsBytes.h"

namespace pellucine {
namespace {

constexpr auto none = SchemePreference::none;
constexpr auto light = SchemePreference::light;
constexpr auto dark = SchemePreference::dark;

TEST(DesktopSchemeReadingsTest, ThePortalSpeaksFirstThenTheSessionsOwnSource) {
    struct Row {
        const char* name;
        DesktopSchemeReadings readings;
        QStringList desktops;
        SchemePreference expected;
    };
    const QStringList kde{QStringLiteral("KDE")};
    const QStringList gnome{QStringLiteral("ubuntu"), QStringLiteral("GNOME")};
    const QStringList xfce{QStringLiteral("XFCE")};
    const Row rows[] = {
        {"nothing anywhere", {}, xfce, none},
        {"portal dark over light everywhere", {dark, light, light, light}, gnome, dark},
        {"portal without preference", {none, none, dark, none}, xfce, dark},
        {"GNOME session: its setting over the theme", {none, light, dark, none}, gnome, light},
        {"GNOME default: the theme name", {none, none, dark, light}, gnome, dark},
        {"KDE session: kdeglobals over XSETTINGS", {none, none, light, dark}, kde, dark},
        {"KDE named in any case", {none, none, light, dark}, {QStringLiteral("kde")}, dark},
        {"Xfce: XSETTINGS over a stale GNOME setting", {none, dark, light, none}, xfce, light},
        {"Xfce without a manager: GNOME then KDE", {none, none, none, dark}, xfce, dark},
        {"no desktop named", {none, dark, none, light}, {}, dark},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(preferredScheme(row.readings, row.desktops), row.expected) << row.name;
    }
}

TEST(DesktopSchemeReadingsTest, ReadsEachSourcesWords) {
    struct Row {
        const char* name;
        SchemePreference actual;
        SchemePreference expected;
    };
    const Row rows[] = {
        {"portal 0", schemeOfPortalValue(0), none},
        {"portal 1", schemeOfPortalValue(1), dark},
        {"portal 2", schemeOfPortalValue(2), light},
        {"portal 3", schemeOfPortalValue(3), none},
        {"gsettings get dark", schemeOfGnomeSetting(u"'prefer-dark'\n"), dark},
        {"gsettings get light", schemeOfGnomeSetting(u"'prefer-light'"), light},
        {"gsettings get default", schemeOfGnomeSetting(u"'default'\n"), none},
        {"monitor line", schemeOfGnomeSetting(u"color-scheme: 'prefer-dark'\n"), dark},
        {"unquoted", schemeOfGnomeSetting(u"prefer-dark"), none},
        {"error text", schemeOfGnomeSetting(u"No such schema"), none},
        {"theme -dark", schemeOfThemeName(u"Adwaita-dark"), dark},
        {"theme -Dark", schemeOfThemeName(u"Arc-Dark"), dark},
        {"theme dark inside", schemeOfThemeName(u"Materia-dark-compact"), dark},
        {"theme :dark variant", schemeOfThemeName(u"Adwaita:dark"), dark},
        {"theme -Darker is not dark", schemeOfThemeName(u"Arc-Darker"), light},
        {"theme Darkmint is not dark", schemeOfThemeName(u"Darkmint"), light},
        {"theme light", schemeOfThemeName(u"Greybird"), light},
        {"no theme", schemeOfThemeName(u" "), none},
        {"kde colours dark",
         schemeOfKdeGlobals("[Colors:Window]\nBackgroundNormal=32,35,38\n"
                            "ForegroundNormal=252,252,252\n"),
         dark},
        {"kde colours light over a dark name",
         schemeOfKdeGlobals("[General]\nColorScheme=BreezeDark\n[Colors:Window]\n"
                            "BackgroundNormal=239,240,241\nForegroundNormal=35,38,41\n"),
         light},
        {"kde background alone", schemeOfKdeGlobals("[Colors:Window]\nBackgroundNormal=20,20,20\n"),
         dark},
        {"kde name only", schemeOfKdeGlobals("[General]\nColorScheme=BreezeDark\n"), dark},
        {"kde light name", schemeOfKdeGlobals("[General]\nColorScheme=Breeze\n"), light},
        {"kde bad colour, no name", schemeOfKdeGlobals("[Colors:Window]\nBackgroundNormal=1,x,3\n"),
         none},
        {"kde colour out of range",
         schemeOfKdeGlobals("[Colors:Window]\nBackgroundNormal=300,0,0\n[General]\n"
                            "ColorScheme=Breeze\n"),
         light},
        {"kde empty", schemeOfKdeGlobals(""), none},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.actual, row.expected) << row.name;
    }
}

TEST(DesktopSchemeReadingsTest, ReadsXSettingsStringsInEitherByteOrderAndRefusesDamage) {
    const QList<std::pair<QByteArray, QByteArray>> settings{{"Net/ThemeName", "Greybird-dark"},
                                                            {"Gtk/FontName", "Sans 10"}};
    for (const bool bigEndian : {false, true}) {
        const auto strings = readXSettingsStrings(testing::xsettingsBytes(settings, bigEndian));
        ASSERT_TRUE(strings) << bigEndian;
        EXPECT_EQ(strings->value(QStringLiteral("Net/ThemeName")), QStringLiteral("Greybird-dark"));
        EXPECT_EQ(strings->value(QStringLiteral("Gtk/FontName")), QStringLiteral("Sans 10"));
        EXPECT_EQ(strings->size(), 2);
    }
    const QByteArray good = testing::xsettingsBytes(settings);
    QByteArray unknownOrder = good;
    unknownOrder[0] = 'B';
    QByteArray unknownType = good;
    unknownType[12] = 7;
    QByteArray overCounted = good;
    overCounted[8] = 9;
    struct Row {
        const char* name;
        QByteArray data;
    };
    const Row damaged[] = {
        {"empty", QByteArray()},
        {"header only", good.left(8)},
        {"cut in a value", good.left(good.size() - 5)},
        {"unknown byte order", unknownOrder},
        {"unknown setting type", unknownType},
        {"more settings counted than held", overCounted},
    };
    for (const Row& row : damaged) {
        EXPECT_FALSE(readXSettingsStrings(row.data)) << row.name;
    }
    EXPECT_EQ(readXSettingsStrings(testing::xsettingsBytes({}))->size(), 0);
}

}  // namespace
}  // namespace pellucine
