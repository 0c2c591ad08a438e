#include "updates/UpdatesCardState.h"

#include "updates/LastCheckText.h"

namespace pellucine {

UpdatesCardState UpdatesCardState::from(const Inputs& in) {
    UpdatesCardState state;
    const bool ownFeed = in.source == UpdateSource::feed;
    const bool upToDateAndIdle =
        in.availability.availabilityCase() == UpdateAvailability::Case::upToDate && !in.checking;
    state.statusSymbolName = upToDateAndIdle ? upToDateSymbol : statusSymbol;
    state.statusTitle = upToDateAndIdle
                            ? QStringLiteral("v%1 is up to date.").arg(in.currentVersion)
                            : QStringLiteral("You have v%1.").arg(in.currentVersion);
    if (!ownFeed) {
        state.statusDetail = QStringLiteral("Doesn’t check for updates");
    } else if (in.checking) {
        state.statusDetail = QStringLiteral("Checking…");
    } else if (in.failed) {
        state.statusDetail = QStringLiteral("The update server didn’t answer. Try again later.");
    } else {
        state.statusDetail = lastCheckText(in.lastChecked, in.now, in.zone, in.locale);
    }
    state.showsCheckNow = ownFeed;
    state.checkNowEnabled = !in.checking && ownFeed;

    if (in.availability.availabilityCase() == UpdateAvailability::Case::available) {
        const QString& version = in.availability.version();
        state.showsUpdateRow = true;
        state.updateTitle = QStringLiteral("v%1 is available.").arg(version);
        state.installLabel = QStringLiteral("Install v%1").arg(version);
        state.installEnabled = ownFeed;
        state.releaseNotes = releaseNotesURL(in.website, version);
    }
    state.note = in.note;
    switch (in.source) {
        case UpdateSource::feed:
            state.automaticChecksEnabled = true;
            state.automaticChecksHint = QStringLiteral("Once a day.");
            break;
        case UpdateSource::packageManager:
            state.locationNote = QStringLiteral(
                "This copy was installed by a package or the install script, so it never checks "
                "for updates: new versions come from your package manager or a new install.");
            state.automaticChecksHint =
                QStringLiteral("Off: updates come with your package manager.");
            break;
        case UpdateSource::none:
            state.locationNote = QStringLiteral(
                "This build has no update feed, so it never checks for updates or downloads "
                "any.");
            state.automaticChecksHint = QStringLiteral("Off: this build has no update feed.");
            break;
    }
    return state;
}

std::optional<QUrl> UpdatesCardState::releaseNotesURL(const std::optional<QUrl>& website,
                                                      const QString& version) {
    if (!website || !website->isValid() || website->host().isEmpty()) {
        return std::nullopt;
    }
    QUrl url = *website;
    QString path = url.path(QUrl::FullyEncoded);
    if (!path.endsWith(QLatin1Char('/'))) {
        path += QLatin1Char('/');
    }
    // Encoded whole, so that nothing in a version can leave the file name.
    path += QStringLiteral("release-notes/pellucine-") +
            QString::fromLatin1(QUrl::toPercentEncoding(version)) + QStringLiteral(".html");
    url.setPath(path, QUrl::TolerantMode);
    return url;
}

}  // namespace pellucine
