#include "platform/linux/updater/UpdateUrlPolicy.h"

#include <QHostAddress>

namespace pellucine {

namespace {

bool isLoopbackHost(const QString& host) {
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

}  // namespace

bool isAllowedUpdateURL(const QUrl& url, UpdateUrlScope scope) {
    if (!url.isValid() || url.isRelative()) {
        return false;
    }
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("https")) {
        return !url.host().isEmpty();
    }
    if (scope != UpdateUrlScope::loopbackAllowed) {
        return false;
    }
    if (scheme == QLatin1String("http")) {
        return isLoopbackHost(url.host());
    }
    if (scheme == QLatin1String("file")) {
        return (url.host().isEmpty() || isLoopbackHost(url.host())) && !url.path().isEmpty();
    }
    return false;
}

std::optional<QUrl> parseFeedURL(const QString& text, UpdateUrlScope scope) {
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!isAllowedUpdateURL(url, scope)) {
        return std::nullopt;
    }
    return url;
}

}  // namespace pellucine
