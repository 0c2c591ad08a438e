#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include "X11TestDesktop.h"
#include "base/AppPaths.h"
#include "base/RecordingEventLog.h"
#include "platform/linux/SyncFolderRecordStore.h"
#include "preferences/CloudPreferenceSync.h"
#include "preferences/PreferenceStore.h"
#include "preferences/SettingsFileStore.h"
#include "support/ProgramProcesses.h"

namespace pellucine {
namespace {

using testing::X11TestDesktop;

// Where Settings › Dock has its "Skip apps with only one window" switch.
const QPoint skipSwitch(837, 430);

// One copy of the program with folders of its own, as on a computer of its own.
struct Copy {
    Copy() {
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
    }

    // As an earlier launch left it: the welcome done, sync on through `folder`, and the synced
    // record as given.
    void prepare(const QString& folder, const PortablePreferences& portable) const {
        SettingsFileStore defaults(SettingsFileStore::standardFilePath(paths));
        defaults.setValue(QStringLiteral("hasCompletedTaskSwitcherOnboarding"), true);
        defaults.setValue(CloudPreferenceSync::syncFolderKey, folder);
        RecordingEventLog events;
        PreferenceStore(defaults, paths, systemWallClock(), events)
            .savePortablePreferences(portable);
    }
    PortablePreferences stored() const {
        SettingsFileStore defaults(SettingsFileStore::standardFilePath(paths));
        RecordingEventLog events;
        return PreferenceStore(defaults, paths, systemWallClock(), events)
            .loadPortablePreferences();
    }
    QProcessEnvironment environment() const {
        return testing::programEnvironment(home.path(), runtime.path(), paths.applicationSupport,
                                           paths.defaults);
    }

    QTemporaryDir runtime{QDir::tempPath() + QStringLiteral("/pellucine-run-XXXXXX")};
    QTemporaryDir home;
    AppPaths paths = AppPaths::under(home.path());
    QProcess* process = nullptr;
};

// Two copies of the program on the fixture's desktop sharing one sync folder; neither is ever
// told to pull.
class SyncFolderProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "No X server to test against";
        }
        desktop = std::make_unique<X11TestDesktop>();
    }

    // Starts the copy and waits until it has launched: a later launch then hands its link over.
    void start(Copy& copy) {
        copy.process = &processes.launch(QStringLiteral(PELLUCINE_PROGRAM), {}, copy.environment());
        QFile log(copy.paths.applicationSupport +
                  QStringLiteral("/pellucine/diagnostics/flight.jsonl"));
        const qint64 before = log.exists() ? log.size() : 0;
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
            if (!log.open(QIODevice::ReadOnly)) {
                return false;
            }
            log.seek(before);
            const bool launched = log.readAll().contains("\"event\":\"launch\"");
            log.close();
            return launched;
        })) << "the copy did not launch";
    }
    // Ends the copy as the session does at logout.
    static void quit(Copy& copy) {
        copy.process->terminate();
        ASSERT_TRUE(copy.process->waitForFinished(15000));
        EXPECT_EQ(copy.process->exitCode(), 0);
    }
    // The copy's Settings window, when it shows.
    std::optional<xcb_window_t> settingsOf(const Copy& copy) const {
        for (const xcb_window_t client : desktop->clients()) {
            if (desktop->pidOf(client) == copy.process->processId() &&
                desktop->title(client) == QStringLiteral("PELLUCINE Settings") &&
                desktop->isViewable(client)) {
                return client;
            }
        }
        return std::nullopt;
    }
    // Opens Settings › Dock in the running copy, brings it to the front (the other copy's may
    // stand over it) and flips "Skip apps with only one window".
    void flipSkipInSettings(const Copy& copy) {
        QProcess& link =
            processes.launch(QStringLiteral(PELLUCINE_PROGRAM),
                             {QStringLiteral("pellucine://settings/dock")}, copy.environment());
        // The launch ends once the running copy has shown the page.
        ASSERT_TRUE(link.waitForFinished(15000));
        ASSERT_EQ(link.exitCode(), 0);
        std::optional<xcb_window_t> window;
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
            return (window = settingsOf(copy)).has_value();
        })) << "Settings did not open";
        const QString id = QString::number(*window);
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), {"windowactivate", "--sync", id, "mousemove",
                                                  "--window", id, QString::number(skipSwitch.x()),
                                                  QString::number(skipSwitch.y()), "click", "1"});
        ASSERT_TRUE(xdotool.waitForFinished(5000) && xdotool.exitCode() == 0);
    }

    // The record in the folder: its settings and its change tag.
    std::optional<std::pair<PortablePreferences, QString>> folderRecord() const {
        try {
            const CloudRecord record =
                SyncFolderRecordStore::fetchNow({folder.path(), QStringLiteral("pellucine")},
                                                QString(CloudPreferenceSync::recordName));
            const std::optional<CloudFieldValue> payload =
                record.field(QString(CloudPreferenceSync::payloadField));
            const QByteArray* bytes = payload ? std::get_if<QByteArray>(&*payload) : nullptr;
            if (bytes == nullptr) {
                return std::nullopt;
            }
            return std::pair{PortablePreferences::fromJsonData(*bytes), record.changeTag};
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    bool folderSkips(bool skips) const {
        return X11TestDesktop::waitUntil([&] {
            const auto record = folderRecord();
            return record && record->first.skipSingleWindowDockPreviews == skips;
        });
    }
    static bool skips(const Copy& copy, bool skips, int ms = 8000) {
        return X11TestDesktop::waitUntil(
            [&] { return copy.stored().skipSingleWindowDockPreviews == skips; }, ms);
    }

    std::unique_ptr<X11TestDesktop> desktop;
    testing::ProgramProcesses processes;
    QTemporaryDir folder;
    Copy a;
    Copy b;
};

TEST_F(SyncFolderProcessTest, TwoCopiesSharingAFolderEndWithTheLatestEdit) {
    PortablePreferences edited;
    edited.syncEnabled = true;
    edited.modifiedAt = QDateTime::currentDateTimeUtc().addSecs(-3600);
    a.prepare(folder.path(), edited);
    // B's settings were never edited.
    PortablePreferences untouched;
    untouched.syncEnabled = true;
    b.prepare(folder.path(), untouched);

    start(a);
    flipSkipInSettings(a);
    ASSERT_TRUE(folderSkips(true)) << "A's change was not pushed";
    const QString tag = folderRecord()->second;

    // B joins and takes A's settings; its untouched defaults are never pushed over them.
    start(b);
    EXPECT_TRUE(skips(b, true)) << "B did not take A's settings at start-up";
    EXPECT_EQ(folderRecord()->second, tag) << "B wrote over A's record";

    // A's next change reaches B while it runs.
    flipSkipInSettings(a);
    EXPECT_TRUE(skips(b, false, 2000)) << "A's change did not reach the running B";

    // B's change made just before it quits reaches the folder, and A takes it as it starts.
    quit(a);
    flipSkipInSettings(b);
    ASSERT_TRUE(skips(b, true));
    quit(b);
    EXPECT_TRUE(folderSkips(true)) << "B's last change did not reach the folder";
    start(a);
    EXPECT_TRUE(skips(a, true)) << "A did not take B's change at start-up";
}

}  // namespace
}  // namespace pellucine
