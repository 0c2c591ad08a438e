#include "app/DeepLink.h"

#include "settings/SettingsView.h"

namespace pellucine {

namespace {

const QString permissionsPage = QStringLiteral("permissions");

// The first non-empty segment of the path. The path is split while still encoded, so that an
// encoded slash stays inside its segment.
QString firstPathSegment(const QUrl& url) {
    const QString encoded = url.path(QUrl::FullyEncoded);
    for (const QStringView segment : QStringView(encoded).split(QLatin1Char('/'))) {
        if (!segment.isEmpty()) {
            return QUrl::fromPercentEncoding(segment.toUtf8());
        }
    }
    return {};
}

}  // namespace

std::optional<QUrl> deepLinkURL(const QString& text) {
    if (text.size() > maximumDeepLinkLength) {
        return std::nullopt;
    }
    QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty()) {
        return std::nullopt;
    }
    return url;
}

QStringList linkArguments(const QStringList& arguments) {
    QStringList links;
    for (const QString& argument : arguments) {
        if (deepLinkURL(argument)) {
            links.append(argument);
        }
    }
    return links;
}

bool isKnownSettingsPage(const QString& page) {
    return page.isEmpty() || page == permissionsPage || page == SettingsView::updatesTarget ||
           SettingsView::bayNamed(page).has_value();
}

std::optional<DeepLink> parseDeepLink(const QUrl& url) {
    if (url.scheme().toLower() != deepLinkScheme) {
        return std::nullopt;
    }
    const QString host = url.host().toLower();
    if (host == QLatin1String("diagnostics")) {
        return DeepLink{DeepLink::Destination::diagnostics, std::nullopt,
                        QStringLiteral("diagnostics")};
    }
    if (host != QLatin1String("settings")) {
        return std::nullopt;
    }
    const QString page = firstPathSegment(url).toLower();
    const QString pane = page.isEmpty()              ? QStringLiteral("settings")
                         : isKnownSettingsPage(page) ? page
                                                     : QStringLiteral("unknown");
    if (page == permissionsPage) {
        return DeepLink{DeepLink::Destination::permissions, std::nullopt, pane};
    }
    return DeepLink{DeepLink::Destination::settings,
                    page.isEmpty() ? std::nullopt : std::optional<QString>(page), pane};
}

}  // namespace pellucine
