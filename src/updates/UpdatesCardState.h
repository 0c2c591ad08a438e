#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>
#include <QUrl>
#include <optional>

#include "updates/UpdateAvailability.h"

namespace pellucine {

// What the updates card shows, worked out from the controller's state.
struct UpdatesCardState {
    struct Inputs {
        UpdateAvailability availability;
        bool checking = false;
        bool failed = false;
        std::optional<QDateTime> lastChecked;
        std::optional<QString> note;
        bool canUpdateItself = false;
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
    bool checkNowEnabled = false;
    // The update row, shown only for an available update.
    bool showsUpdateRow = false;
    QString updateTitle;
    QString installLabel;
    bool installEnabled = false;
    std::optional<QUrl> releaseNotes;
    // The notes under the rows.
    std::optional<QString> note;
    std::optional<QString> locationNote;

    static UpdatesCardState from(const Inputs& inputs);
    // The website's "release-notes/pellucine-<version>.html"; none without a website.
    static std::optional<QUrl> releaseNotesURL(const std::optional<QUrl>& website,
                                               const QString& version);
};

}  // namespace pellucine
