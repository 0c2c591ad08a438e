#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

namespace pellucine {

// One release in an update feed.
struct AppcastItem {
    QString title;
    // The build version that versions are compared by; never empty.
    QString versionString;
    // The version shown to people; the build version when the feed gives none.
    QString displayVersionString;
    // None for a release on the default channel.
    std::optional<QString> channel;
    std::optional<QString> minimumSystemVersion;
    std::optional<QString> maximumSystemVersion;
    // Whether this system lies within the release's system versions.
    bool minimumOperatingSystemVersionIsOK = true;
    bool maximumOperatingSystemVersionIsOK = true;
    // The payload: where it is, its length in bytes (0 when not given) and its Ed25519
    // signature (base64).
    QUrl fileURL;
    qint64 contentLength = 0;
    std::optional<QString> edSignature;
    std::optional<QUrl> releaseNotesURL;

    friend bool operator==(const AppcastItem&, const AppcastItem&) = default;
};

// An update feed: its releases in the feed's order.
struct Appcast {
    QList<AppcastItem> items;
};

}  // namespace pellucine
