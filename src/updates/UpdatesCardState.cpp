#include "updates/UpdatesCardState.h"

#include "updates/LastCheckText.h"

namespace pellucine {

UpdatesCardState UpdatesCardState::from(const Inputs& in) {
    UpdatesCardState state;
    const bool upToDateAndIdle =
        in.availability.availabilityCase() == UpdateAvailability::Case::upToDate && !in.checking;
    state.statusSymbolName = upToDateAndIdle ? upToDateSymbol : statusSymbol;
    state.statusTitle = upToDateAndIdle
                            ? QStringLiteral("v%1 is up to date.").arg(in.currentVersion)
                            : QStringLiteral("You have v%1.").arg(in.currentVersion);
    if (in.checking) {
        state.statusDetail = QStringLiteral("Checking…");
    } else if (in.failed) {
        state.statusDetail = QStringLiteral("The update server didn’t answer. Try again later.");
    } else {
        state.statusDetail = lastCheckText(in.lastChecked, in.now, in.zone, in.locale);
    }
    state.checkNowEnabled = !in.checking && in.canUpdateItself;

    if (in.availability.availabilityCase() == UpdateAvailability::Case::available) {
        const QString& version = in.availability.version();
        state.showsUpdateRow = true;
        state.updateTitle = QStringLiteral("v%1 is available.").arg(version);
        state.installLabel = QStringLiteral("Install v%1").arg(version);
        state.installEnabled = in.canUpdateItself;
        state.releaseNotes = releaseNotesURL(in.website, version);
    }
    state.note = in.note;
    if (!in.canUpdateItself) {
        state.locationNote = QStringLiteral(
            "This copy is not in the Applications folder, so it cannot update itself. Move it "
            "there and open it again.");
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
