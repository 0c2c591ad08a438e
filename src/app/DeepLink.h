#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace pellucine {

inline const QString deepLinkScheme = QStringLiteral("pellucine");

// What one link of the program's own scheme asks for.
struct DeepLink {
    enum class Destination {
        diagnostics,
        // The welcome window at its permissions step.
        permissions,
        settings,
    };

    Destination destination = Destination::settings;
    // The settings page to show next, lower-cased; none keeps the page the window shows.
    std::optional<QString> settingsPage;
    // The "pane" field of the "deep-link" event: never a page the program does not know.
    QString pane;

    friend bool operator==(const DeepLink&, const DeepLink&) = default;
};

// Links longer than this are not read at all.
inline constexpr int maximumDeepLinkLength = 2048;

// The text as a link: none when it is longer than the limit or not a valid URL (bad
// percent-escapes included).
std::optional<QUrl> deepLinkURL(const QString& text);

// The command-line elements that are links, in order.
QStringList linkArguments(const QStringList& arguments);

// Reads a link: scheme and host compared without case; for "settings" the page is the first
// segment of the path, percent-decoded and lower-cased. None for another scheme, another host or
// no host.
std::optional<DeepLink> parseDeepLink(const QUrl& url);

// An empty page, "permissions", "updates" or one of the settings pages.
bool isKnownSettingsPage(const QString& page);

}  // namespace pellucine
