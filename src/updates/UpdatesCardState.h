#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>
#include <QUrl>
#include <optional>

#include "updates/UpdateAvailability.h"
#include "updates/UpdateEnvironment.h"

namespace pellucine {

// What the updates card shows, worked out from the controller's state.
struct UpdatesCardState {
    struct Inputs {
        UpdateAvailability availability;
        bool checking = false;
        bool failed = false;
        std::optional<QDateTime> lastChecked;
        std::optional<QString> note;
        UpdateSource source = UpdateSource::none;
        QString currentVersion;
        // The product's website; none when the build has none.
        std::optional<QUrl> website;
        QDateTime now;
        QTimeZone zone = QTimeZone::systemTimeZone();
        QLocale locale;
    };

    static constexpr QLatin1String upToDateSymbol{"checkmark.circle"};
    static constexpr QLatin1String statusSymbol{"arrow.triangle.2.circlepath"};
    static constexpr QLatin1String updateSymbol{"arrow.down.circle.fill"};

    // The status row.
    QString statusSymbolName;
    QString statusTitle;
    QString statusDetail;
    // Check Now shows only for a copy that updates itself.
    bool showsCheckNow = false;
    bool checkNowEnabled = false;
    // The update row, shown only for an available update.
    bool showsUpdateRow = false;
    QString updateTitle;
    QString installLabel;
    bool installEnabled = false;
    std::optional<QUrl> releaseNotes;
    // The notes under the rows; the second says where updates come from when not the feed.
    std::optional<QString> note;
    std::optional<QString> locationNote;
    // The automatic-check switch: usable only with the feed, else off with the reason.
    bool automaticChecksEnabled = false;
    QString automaticChecksHint;

    static UpdatesCardState from(const Inputs& inputs);
    // The website's "release-notes/pellucine-<version>.html"; none without a website.
    static std::optional<QUrl> releaseNotesURL(const std::optional<QUrl>& website,
                                               const QString& version);
};

}  // namespace pellucine
