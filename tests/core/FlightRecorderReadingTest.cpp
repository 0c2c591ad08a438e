#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QSet>
#include <limits>

#include "FlightLogFile.h"
#include "core/FlightRecorder.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using testing::eventLine;
using testing::eventLines;
using testing::writeFile;

class FlightRecorderReadingTest : public ::testing::Test {
  protected:
    QString directory() const { return folder_.path(); }
    void writeLog(const QByteArray& content) {
        writeFile(FlightRecorder::logFilePath(directory()), content);
    }
    QList<ReadableDiagnosticEvent> read(int limit) const {
        return FlightRecorder::readRecentEvents(directory(), limit);
    }
    static QStringList details(const QList<ReadableDiagnosticEvent>& rows) {
        QStringList out;
        for (const auto& row : rows) {
            out << row.detail;
        }
        return out;
    }

    testing::TempFolder folder_;
};

TEST_F(FlightRecorderReadingTest, ReturnsEveryLineNewestFirstUnderTheLimit) {
    writeLog(eventLines(10));
    const auto rows = read(150);
    ASSERT_EQ(rows.size(), 10);
    EXPECT_EQ(rows.first().detail, "Reason: 10");
    EXPECT_EQ(rows.last().detail, "Reason: 1");
}

TEST_F(FlightRecorderReadingTest, ReturnsOnlyTheNewestLinesOverTheLimit) {
    writeLog(eventLines(200));
    const auto rows = read(150);
    ASSERT_EQ(rows.size(), 150);
    EXPECT_EQ(rows.first().detail, "Reason: 200");
    EXPECT_EQ(rows.last().detail, "Reason: 51");
}

TEST_F(FlightRecorderReadingTest, WindowScansNeverCrowdOutTheOtherEvents) {
    // Ten events, each after a run of 40 scans: 410 lines for a list of 30 rows.
    QByteArray log;
    for (int n = 1; n <= 10; ++n) {
        for (int i = 0; i < 20; ++i) {
            log += eventLine(i, "window-enumeration") + '\n' + eventLine(i, "windows-refreshed") +
                   '\n';
        }
        log += eventLine(n) + '\n';
    }
    writeLog(log);
    const auto rows = read(30);
    ASSERT_EQ(rows.size(), 30);
    EXPECT_EQ(rows[0].detail, "Reason: 10");
    EXPECT_EQ(rows[1].title, "Window list updated");
    EXPECT_EQ(rows[1].detail, "Reason: 19 · Times in a row: 20");
    EXPECT_EQ(rows[2].title, "Window scan completed");
    EXPECT_EQ(rows[27].detail, "Reason: 1");
}

TEST_F(FlightRecorderReadingTest, UnusableLinesTakeTheirPlaceInTheLimit) {
    writeLog(eventLines(200) + "not json\n");
    EXPECT_EQ(read(150).size(), 149);

    writeLog(eventLine(1) + "\n" +  //
             R"({"at":"2026-03-14T09:26:53Z","reason":"x"})"
             "\n"  // no event
             R"({"event":"launch","windowCount":3})"
             "\n"  // a number
             R"(["event","launch"])"
             "\n"  // not an object
             R"({"event":null})"
             "\n"  //
             "\n\n" +
             eventLine(2) + "\n\n");  // blank lines are not lines
    EXPECT_EQ(details(read(150)), (QStringList{"Reason: 2", "Reason: 1"}));
    EXPECT_EQ(details(read(6)), (QStringList{"Reason: 2", "Reason: 1"}));
    EXPECT_EQ(details(read(5)), (QStringList{"Reason: 2"}));
}

TEST_F(FlightRecorderReadingTest, ALineThatIsNotUtf8CostsOnlyItself) {
    writeLog(eventLine(1) + "\n" + "{\"event\":\"\xc3\x28\"}\n" + eventLine(2) + "\n" +
             "{\"event\":\"caf\xc3\xa9\"}\n");
    const auto rows = read(150);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].title, "Café");
    EXPECT_EQ(details(rows.mid(1)), (QStringList{"Reason: 2", "Reason: 1"}));

    // Not a line at all: it takes no place in the limit.
    writeLog(eventLine(1) + "\n" + eventLine(2) + "\n\xff\xfe\n");
    EXPECT_EQ(details(read(2)), (QStringList{"Reason: 2", "Reason: 1"}));
}

TEST_F(FlightRecorderReadingTest, AnAbsurdlyLongLineCostsOnlyItself) {
    const QByteArray huge = R"({"event":"x","reason":")" + QByteArray(1 << 20, 'r') + R"("})";
    writeLog(eventLine(1) + "\n" + huge + "\n" + eventLine(2) + "\n");
    EXPECT_EQ(details(read(2)), (QStringList{"Reason: 2", "Reason: 1"}));
}

TEST_F(FlightRecorderReadingTest, ANamedPipeInPlaceOfTheLogIsNotWaitedOn) {
    QDir().mkpath(directory());
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(FlightRecorder::logFilePath(directory())).constData(), 0600), 0);
    EXPECT_TRUE(read(10).isEmpty());
}

TEST_F(FlightRecorderReadingTest, ALimitOfZeroOrBelowReadsNothing) {
    writeLog(eventLines(5));
    EXPECT_TRUE(read(0).isEmpty());
    EXPECT_TRUE(read(-1).isEmpty());
    EXPECT_TRUE(read(std::numeric_limits<int>::min()).isEmpty());
    EXPECT_EQ(read(std::numeric_limits<int>::max()).size(), 5);
}

TEST_F(FlightRecorderReadingTest, AMissingOrEmptyFileReadsAsNoEvents) {
    EXPECT_TRUE(read(150).isEmpty());
    EXPECT_TRUE(FlightRecorder::readRecentEvents(directory() + "/absent", 150).isEmpty());
    writeLog("");
    EXPECT_TRUE(read(150).isEmpty());
}

TEST_F(FlightRecorderReadingTest, BuildsTitleDetailTimestampAndAFreshIdentity) {
    writeLog(
        R"({"windowCount":"4","at":"2026-03-14T09:26:53.589Z","source":"command-tab","event":"glance-shown","bundleIdentifier":"b","zeta":""})"
        "\n"
        R"({"event":"launch"})"
        "\n"
        R"({"at":"last tuesday","event":"quit"})"
        "\n");
    const auto rows = read(150);
    ASSERT_EQ(rows.size(), 3);

    EXPECT_EQ(rows[0].title, "PELLUCINE closed");
    EXPECT_EQ(rows[0].timestamp, "last tuesday");
    EXPECT_EQ(rows[0].detail, "");
    EXPECT_EQ(rows[1].title, "PELLUCINE opened");
    EXPECT_EQ(rows[1].timestamp, "");
    EXPECT_EQ(rows[2].title, "Window previews shown");
    EXPECT_EQ(rows[2].detail,
              "Bundle: b \u00B7 Opened from: command-tab \u00B7 Windows: 4 \u00B7 Zeta: ");
    EXPECT_EQ(rows[2].timestamp,
              FlightRecorder::readableTimestamp(QStringLiteral("2026-03-14T09:26:53.589Z")));
    EXPECT_NE(rows[2].timestamp, "2026-03-14T09:26:53.589Z");

    const auto again = read(150);
    QSet<QUuid> ids;
    for (const auto& row : rows + again) {
        EXPECT_FALSE(row.id.isNull());
        ids.insert(row.id);
    }
    EXPECT_EQ(ids.size(), 6);
}

TEST(FlightRecorderTimestampTest, ShowsWholeAndFractionalSecondsAsLocalTime) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QTimeZone utc = QTimeZone::utc();
    EXPECT_EQ(FlightRecorder::readableTimestamp("2026-03-14T09:26:53.589Z", us, utc),
              "Mar 14, 2026, 9:26:53 AM");
    EXPECT_EQ(FlightRecorder::readableTimestamp("2026-03-14T09:26:53Z", us, utc),
              "Mar 14, 2026, 9:26:53 AM");
    EXPECT_EQ(FlightRecorder::readableTimestamp("2026-03-14T21:26:53.5Z", us, QTimeZone(3600)),
              "Mar 14, 2026, 10:26:53 PM");
    EXPECT_EQ(FlightRecorder::readableTimestamp("2026-03-14T09:26:53Z", QLocale::c(), utc),
              "14 Mar 2026, 09:26:53");
    EXPECT_EQ(FlightRecorder::readableTimestamp("2026-03-14T09:26:53Z",
                                                QLocale(QLocale::German, QLocale::Germany), utc),
              "14. M\u00E4rz 2026, 09:26:53");
}

TEST(FlightRecorderTimestampTest, ShowsTextThatIsNoDateAsItIs) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    for (const char* raw : {"", "2026-03-14", "2026-03-14T09:26:53", "2026-13-14T09:26:53Z",
                            "2026-03-14 09:26:53Z", "2026-03-14T09:26:53.Z", "soon"}) {
        EXPECT_EQ(FlightRecorder::readableTimestamp(QString::fromLatin1(raw), us), raw);
    }
}

TEST(FlightRecorderTitleTest, NamesKnownEventsAndCapitalisesOthers) {
    EXPECT_EQ(FlightRecorder::readableTitle("launch"), "PELLUCINE opened");
    EXPECT_EQ(FlightRecorder::readableTitle("command-tab-seen-without-keystrokes"),
              "Switcher strip found through the Dock bar (keystrokes hidden)");
    EXPECT_EQ(FlightRecorder::readableTitle("previews-warmed"), "Previews refreshed");

    EXPECT_EQ(FlightRecorder::readableTitle("dock-was-moved"), "Dock Was Moved");
    EXPECT_EQ(FlightRecorder::readableTitle("LAUNCH"), "Launch");
    EXPECT_EQ(FlightRecorder::readableTitle("preview--x-"), "Preview  X ");
    EXPECT_EQ(FlightRecorder::readableTitle("é-über"), "É Über");
    EXPECT_EQ(FlightRecorder::readableTitle(""), "");
}

TEST(FlightRecorderTitleTest, LabelsKnownKeysAndCapitalisesOthers) {
    EXPECT_EQ(FlightRecorder::readableDetailLabel("applicationCount"), "Apps");
    EXPECT_EQ(FlightRecorder::readableDetailLabel("displayID"), "Display");
    EXPECT_EQ(FlightRecorder::readableDetailLabel("macOS"), "System");
    EXPECT_EQ(FlightRecorder::readableDetailLabel("bundlePath"), "Installed in");
    EXPECT_EQ(FlightRecorder::readableDetailLabel("durationMilliseconds"), "Time (ms)");

    EXPECT_EQ(FlightRecorder::readableDetailLabel("bundleIdentifier"), "Bundle");
    EXPECT_EQ(FlightRecorder::readableDetailLabel("errorKind"), "Errorkind");
    EXPECT_EQ(FlightRecorder::readableDetailLabel("accessibility"), "Accessibility");
    EXPECT_EQ(FlightRecorder::readableDetailLabel("IdentifierappIdentifier"), "App");
    EXPECT_EQ(FlightRecorder::readableDetailLabel("Identifier"), "");
    // Only the exact spelling is removed.
    EXPECT_EQ(FlightRecorder::readableDetailLabel("bundleidentifier"), "Bundleidentifier");
}

// Every event the program records, with the title the Diagnostics window gives it.
TEST(FlightRecorderTitleTest, EveryEventTheProgramRecordsHasItsOwnTitle) {
    const std::pair<const char*, const char*> rows[] = {
        {"launch", "PELLUCINE opened"},
        {"quit", "PELLUCINE closed"},
        {"application-switcher-started", "Switcher strip ready"},
        {"application-switcher-unavailable", "Switcher strip off: its keys are taken"},
        {"shortcut-monitor-started", "Switcher keys followed"},
        {"shortcut-event-tap-failed", "Switcher keys could not be followed"},
        {"shortcut-event-tap-reenabled", "Switcher keys followed again"},
        {"command-tab-seen-without-keystrokes",
         "Switcher strip found through the Dock bar (keystrokes hidden)"},
        {"native-switcher-display-resolved", "App switcher display found"},
        {"native-switcher-frame-estimated", "App switcher position estimated"},
        {"switcher-suppressed", "Window previews skipped: a permission is missing"},
        {"window-enumeration", "Window scan completed"},
        {"windows-refreshed", "Window list updated"},
        {"windows-refresh-failed", "Window list could not update"},
        {"window-lifecycle-monitor-started", "Window changes followed"},
        {"window-action-failed", "A window did not take an action"},
        {"glance-shown", "Window previews shown"},
        {"glance-not-shown", "Window previews skipped"},
        {"glance-refreshed-in-place", "Window previews updated"},
        {"full-size-peek-shown", "Full-size peek shown"},
        {"previews-loaded", "Preview images ready"},
        {"previews-preloaded", "Nearby previews prepared"},
        {"preview-preload-failed", "Nearby previews could not be prepared"},
        {"preview-capture-failed", "A preview could not be shown"},
        {"previews-warmed", "Previews refreshed"},
        {"preview-cache-dropped", "Memory freed"},
        {"memory-pressure-unavailable", "Memory pressure cannot be followed"},
        {"dock-hover-monitor-started", "Dock previews started"},
        {"dock-visibility", "Taskbar entry shown or hidden"},
        {"menu-bar-visibility", "Tray icon shown or hidden"},
        {"menu-open-switcher", "Show App Windows chosen in the tray menu"},
        {"menu-open-window-search", "Search Windows chosen in the tray menu"},
        {"window-search-opened", "Window search opened"},
        {"window-search-committed", "Window search switched to a window"},
        {"window-search-hotkey", "Window search hotkey set"},
        {"window-search-from-command-tab", "Window search opened from the switcher strip"},
        {"hotkey-register-failed", "Window search hotkey could not be set"},
        {"secure-input-on", "Another app turned on Secure Keyboard Entry"},
        {"secure-input-off", "Secure Keyboard Entry is off again"},
        {"permission-status", "Permission status checked"},
        {"permission-request", "Permission requested"},
        {"permission-settings-opened", "Permission settings opened"},
        {"permission-settings-fallback", "Permission settings opened after a request"},
        {"permissions-missing-at-launch", "Permissions missing at launch"},
        {"screen-recording-live-probe", "Screen capture tried"},
        {"relaunch-requested", "PELLUCINE restarting"},
        {"relaunch-open-failed", "PELLUCINE could not restart"},
        {"settings-opened", "Settings opened"},
        {"stored-preferences-unreadable", "Stored settings could not be read"},
        {"preferences-not-saved", "Settings could not be saved"},
        {"sync-pulled", "Settings read from the sync folder"},
        {"sync-pushed", "Settings written to the sync folder"},
        {"sync-pull-failed", "Settings could not be read from the sync folder"},
        {"sync-push-failed", "Settings could not be written to the sync folder"},
        {"onboarding-shown", "Welcome window opened"},
        {"onboarding-completed", "Welcome window completed"},
        {"deep-link", "Opened from a link"},
        {"deep-links-dropped", "Links that came too fast were ignored"},
        {"update-check-started", "Update check started"},
        {"update-available", "Update found"},
        {"update-none", "Up to date"},
        {"update-check-failed", "Update check failed"},
        {"report-opened", "Report a Problem opened"},
        {"report-sending", "Problem report sending"},
        {"report-sent", "Problem report sent"},
        {"report-saved-to-desktop", "Problem report not sent"},
        {"events-not-logged", "Events could not be written to the log"},
    };
    for (const auto& [event, title] : rows) {
        EXPECT_EQ(FlightRecorder::readableTitle(QString::fromLatin1(event)),
                  QString::fromUtf8(title))
            << event;
    }
}

}  // namespace
}  // namespace pellucine
