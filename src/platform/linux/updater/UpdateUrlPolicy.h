#pragma once

#include <QString>
#include <QUrl>
#include <optional>

namespace pellucine {

// Which addresses the updater reads feeds and updates from.
enum class UpdateUrlScope {
    // https with a host only.
    secureOnly,
    // Also http to this machine's loopback and local files: a test feed's scope.
    loopbackAllowed,
};

bool isAllowedUpdateURL(const QUrl& url, UpdateUrlScope scope);
// The feed address written in `text` when it is complete and allowed; none otherwise.
std::optional<QUrl> parseFeedURL(const QString& text, UpdateUrlScope scope);

}  // namespace pellucine
