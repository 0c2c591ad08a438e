#include <gtest/gtest.h>

#include "support/QtPrinters.h"
#include "updates/UpdatesCardState.h"

namespace pellucine {
namespace {

UpdatesCardState::Inputs inputs(UpdateAvailability availability,
                                UpdateSource source = UpdateSource::feed) {
    UpdatesCardState::Inputs in;
    in.availability = std::move(availability);
    in.source = source;
    in.currentVersion = QStringLiteral("1.4");
    in.website = QUrl(QStringLiteral("https://pellucine.example.com"));
    in.now = QDateTime(QDate(2026, 3, 5), QTime(12, 0), Qt::UTC);
    in.zone = QTimeZone::utc();
    in.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    return in;
}

TEST(UpdatesCardStateTest, StatusRowShowsUpToDateOnlyWhenIdle) {
    UpdatesCardState::Inputs in = inputs(UpdateAvailability::upToDate());
    UpdatesCardState state = UpdatesCardState::from(in);
    EXPECT_EQ(state.statusSymbolName, "checkmark.circle");
    EXPECT_EQ(state.statusTitle, "v1.4 is up to date.");
    EXPECT_EQ(state.statusDetail, "Never checked");
    EXPECT_TRUE(state.checkNowEnabled);
    EXPECT_FALSE(state.showsUpdateRow);
    EXPECT_FALSE(state.locationNote);

    in.checking = true;
    in.failed = true;
    state = UpdatesCardState::from(in);
    EXPECT_EQ(state.statusSymbolName, "arrow.triangle.2.circlepath");
    EXPECT_EQ(state.statusTitle, "You have v1.4.");
    EXPECT_EQ(state.statusDetail, "Checking…");
    EXPECT_FALSE(state.checkNowEnabled);

    // A failure wins over the last check, until the next probe.
    in = inputs(UpdateAvailability::unknown());
    in.failed = true;
    in.lastChecked = in.now.addSecs(-60);
    state = UpdatesCardState::from(in);
    EXPECT_EQ(state.statusTitle, "You have v1.4.");
    EXPECT_EQ(state.statusDetail, "The update server didn’t answer. Try again later.");
    in.failed = false;
    EXPECT_TRUE(UpdatesCardState::from(in).statusDetail.startsWith("Last check: Today, "));
}

TEST(UpdatesCardStateTest, OnlyTheFeedChecksAndEveryOtherSourceSaysWhereUpdatesComeFrom) {
    const UpdatesCardState feed = UpdatesCardState::from(inputs(UpdateAvailability::unknown()));
    EXPECT_TRUE(feed.showsCheckNow);
    EXPECT_TRUE(feed.automaticChecksEnabled);
    EXPECT_EQ(feed.automaticChecksHint, "Once a day.");
    EXPECT_FALSE(feed.locationNote);

    for (const UpdateSource source : {UpdateSource::packageManager, UpdateSource::none}) {
        UpdatesCardState::Inputs in = inputs(UpdateAvailability::available("1.5"), source);
        in.note = QStringLiteral("The update couldn’t be downloaded.");
        in.lastChecked = in.now.addSecs(-60);
        const UpdatesCardState state = UpdatesCardState::from(in);
        EXPECT_TRUE(state.showsUpdateRow);
        EXPECT_EQ(state.installLabel, "Install v1.5");
        EXPECT_FALSE(state.installEnabled);
        EXPECT_FALSE(state.showsCheckNow);
        EXPECT_FALSE(state.checkNowEnabled);
        EXPECT_FALSE(state.automaticChecksEnabled);
        EXPECT_EQ(state.statusDetail, "Doesn’t check for updates");
        EXPECT_EQ(state.note, in.note);
        ASSERT_TRUE(state.locationNote);
        for (const QString& text : {*state.locationNote, state.automaticChecksHint}) {
            EXPECT_FALSE(text.contains("Applications")) << text.toStdString();
            EXPECT_FALSE(text.contains("once a day", Qt::CaseInsensitive)) << text.toStdString();
        }
    }
    EXPECT_EQ(
        *UpdatesCardState::from(inputs(UpdateAvailability::unknown(), UpdateSource::packageManager))
             .locationNote,
        "This copy was installed by a package or the install script, so it never checks "
        "for updates: new versions come from your package manager or a new install.");
    EXPECT_EQ(UpdatesCardState::from(inputs(UpdateAvailability::unknown(), UpdateSource::none))
                  .automaticChecksHint,
              "Off: this build has no update feed.");
}

TEST(UpdatesCardStateTest, ReleaseNotesLiveOnTheWebsiteUnderTheVersion) {
    const auto notes = [](std::optional<QUrl> site, const QString& version) {
        const auto url = UpdatesCardState::releaseNotesURL(site, version);
        return url ? url->toString(QUrl::FullyEncoded) : QStringLiteral("none");
    };
    const QUrl site("https://h.example.com");
    EXPECT_EQ(notes(std::nullopt, "1.5"), "none");
    EXPECT_EQ(notes(QUrl("https://"), "1.5"), "none");
    EXPECT_EQ(notes(site, "1.5"), "https://h.example.com/release-notes/pellucine-1.5.html");
    EXPECT_EQ(notes(QUrl("https://h.example.com/"), "2"),
              "https://h.example.com/release-notes/pellucine-2.html");
    EXPECT_EQ(notes(site, "1.5 beta"),
              "https://h.example.com/release-notes/pellucine-1.5%20beta.html");
    // Nothing in a version leaves the file name.
    EXPECT_EQ(notes(site, "../../x?y#z"),
              "https://h.example.com/release-notes/pellucine-..%2F..%2Fx%3Fy%23z.html");
}

}  // namespace
}  // namespace pellucine
