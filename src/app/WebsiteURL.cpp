#include "app/WebsiteURL.h"

#include "diagnostics/Maker.h"

namespace pellucine {

std::optional<QUrl> websiteURL(const Bundle& bundle) {
    const std::optional<QString> feed = Bundle::infoString(QStringLiteral("SUFeedURL"), bundle);
    if (!feed) {
        return std::nullopt;
    }
    // QUrl lower-cases the scheme, so it is compared as written.
    if (!feed->startsWith(QLatin1String("https:"))) {
        return std::nullopt;
    }
    const QUrl url(*feed, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return std::nullopt;
    }
    // Built from parts so that an IPv6 host keeps its brackets.
    QUrl site;
    site.setScheme(QStringLiteral("https"));
    site.setHost(url.host());
    return site;
}

QUrl productWebsite(const Bundle& bundle) {
    return websiteURL(bundle).value_or(Maker::productWebsite);
}

}  // namespace pellucine
