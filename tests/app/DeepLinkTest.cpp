#include <gtest/gtest.h>

#include "app/DeepLink.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using Destination = DeepLink::Destination;

std::optional<DeepLink> parse(const QString& text) {
    const std::optional<QUrl> url = deepLinkURL(text);
    return url ? parseDeepLink(*url) : std::nullopt;
}

DeepLink settings(std::optional<QString> page, const QString& pane) {
    return {Destination::settings, std::move(page), pane};
}

TEST(DeepLinkTest, EveryFormOfTheGrammar) {
    const DeepLink diagnostics{Destination::diagnostics, std::nullopt, "diagnostics"};
    const DeepLink permissions{Destination::permissions, std::nullopt, "permissions"};
    const struct {
        QString link;
        DeepLink expected;
    } cases[] = {
        {"pellucine://diagnostics", diagnostics},
        {"pellucine://diagnostics/any/path?q=1#f", diagnostics},
        {"pellucine://settings", settings(std::nullopt, "settings")},
        {"pellucine://settings/", settings(std::nullopt, "settings")},
        {"pellucine://settings?page=dock", settings(std::nullopt, "settings")},
        {"pellucine://settings/permissions", permissions},
        {"pellucine://settings/updates", settings("updates", "updates")},
        {"pellucine://settings/general", settings("general", "general")},
        {"pellucine://settings/switcher", settings("switcher", "switcher")},
        {"pellucine://settings/dock", settings("dock", "dock")},
        {"pellucine://settings/about", settings("about", "about")},
        // Capitals anywhere read as their lower-case form.
        {"PELLUCINE://Settings/Dock", settings("dock", "dock")},
        {"pellucine://settings/Updates", settings("updates", "updates")},
        {"pellucine://settings/PERMISSIONS", permissions},
        // The first segment counts; the rest of the path is ignored.
        {"pellucine://settings/dock/extra", settings("dock", "dock")},
        {"pellucine://settings//dock", settings("dock", "dock")},
        {"pellucine://settings/dock?x=1#about", settings("dock", "dock")},
        // A page outside the known set still opens settings with that page pending.
        {"pellucine://settings/anything-else", settings("anything-else", "unknown")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse(c.link), std::optional(c.expected)) << c.link.toStdString();
    }
}

TEST(DeepLinkTest, PercentEscapesAreDecodedPerSegment) {
    EXPECT_EQ(parse("pellucine://settings/%64ock"), settings("dock", "dock"));
    EXPECT_EQ(parse("pellucine://settings/%44OCK"), settings("dock", "dock"));
    // An encoded slash stays inside its segment: never the empty page, never "dock".
    EXPECT_EQ(parse("pellucine://settings/%2Fdock/x"), settings("/dock", "unknown"));
    EXPECT_EQ(parse("pellucine://settings/%2F"), settings("/", "unknown"));
    // Bytes that are not UTF-8 make an unknown page, not a known one.
    EXPECT_EQ(parse("pellucine://settings/d%FFock")->pane, "unknown");
    EXPECT_EQ(parse("pellucine://settings/%00")->pane, "unknown");
}

TEST(DeepLinkTest, OtherSchemesHostsAndMalformedLinksAreNotLinks) {
    for (const QString& link : QStringList{
             "pellucine://about",
             "pellucine://permissions",
             "pellucine://settingsx/dock",
             "pellucine://diagnostic",
             "pellucine:settings/dock",
             "pellucine:///settings/dock",
             "pellucine:",
             "other://settings/dock",
             "https://settings/dock",
             "pellucinex://settings",
             "settings/dock",
             "",
             // Bad percent-escapes.
             "pellucine://settings/%zz",
             "pellucine://settings/%4",
             "pellucine://settings/dock%",
             "pellucine://se%ttings/dock",
             // Blanks and line breaks.
             "pellucine://settings/dock\n",
             "pellucine://settings/dock extra",
             " pellucine://settings/dock",
         }) {
        EXPECT_EQ(parse(link), std::nullopt) << link.toStdString();
    }
}

TEST(DeepLinkTest, LinksLongerThanTheLimitAreNotRead) {
    const QString prefix = QStringLiteral("pellucine://settings/");
    const QString atLimit = prefix + QString(maximumDeepLinkLength - prefix.size(), 'a');
    ASSERT_EQ(atLimit.size(), maximumDeepLinkLength);
    EXPECT_EQ(parse(atLimit)->pane, "unknown");
    EXPECT_EQ(parse(atLimit + 'a'), std::nullopt);
    EXPECT_EQ(parse(prefix + QString(1 << 20, 'a')), std::nullopt);
}

TEST(DeepLinkTest, KnownPagesAreTheSettingsPagesUpdatesAndPermissionsOnly) {
    for (const QString& page :
         QStringList{"", "general", "switcher", "dock", "about", "updates", "permissions"}) {
        EXPECT_TRUE(isKnownSettingsPage(page)) << page.toStdString();
    }
    for (const QString& page :
         QStringList{"General", "settings", "diagnostics", "docks", " dock", "unknown"}) {
        EXPECT_FALSE(isKnownSettingsPage(page)) << page.toStdString();
    }
}

TEST(DeepLinkTest, OnlyCommandLineElementsThatAreLinksAreTakenInOrder) {
    const QStringList arguments{"--preview-report",
                                "sent",
                                "pellucine://settings/dock",
                                "a b:c",
                                "other://x",
                                "pellucine://diagnostics",
                                "-x:y",
                                QStringLiteral("pellucine://settings/") + QString(4000, 'a')};
    EXPECT_EQ(linkArguments(arguments),
              (QStringList{"pellucine://settings/dock", "other://x", "pellucine://diagnostics"}));
}

}  // namespace
}  // namespace pellucine
