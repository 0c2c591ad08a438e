#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <mutex>
#include <thread>

#include "FlightLogFile.h"
#include "core/FlightRecorder.h"
#include "support/FileTraps.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using testing::eventLines;
using testing::fileLines;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

// Collects the warnings printed while it lives, from any thread.
class WarningCapture {
  public:
    WarningCapture() {
        current() = this;
        previous_ = qInstallMessageHandler(&WarningCapture::handle);
    }
    ~WarningCapture() {
        qInstallMessageHandler(previous_);
        current() = nullptr;
    }
    QStringList messages() const {
        const std::lock_guard lock(mutex_);
        return messages_;
    }

  private:
    static WarningCapture*& current() {
        static WarningCapture* capture = nullptr;
        return capture;
    }
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtWarningMsg && current()) {
            const std::lock_guard lock(current()->mutex_);
            current()->messages_ << message;
        }
    }

    QtMessageHandler previous_ = nullptr;
    mutable std::mutex mutex_;
    QStringList messages_;
};

int mode(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return static_cast<int>(info.st_mode & 07777);
}

class FlightRecorderTest : public ::testing::Test {
  protected:
    QString directory() const {
        return folder_.path() + QStringLiteral("/data/pellucine/diagnostics");
    }
    QString logPath() const { return directory() + QStringLiteral("/flight.jsonl"); }

    void recordMany(FlightRecorder& recorder, int count) {
        for (int i = 0; i < count; ++i) {
            recorder.record(QStringLiteral("glance-shown"), {{"reason", QString::number(i)}});
        }
        recorder.drain();
    }

    // Puts a plain file where the folder is, so that every write fails until unblocked.
    void blockDirectory() {
        ASSERT_TRUE(QDir().rename(directory(), directory() + QStringLiteral(".aside")));
        writeFile(directory(), "not a folder");
    }
    void unblockDirectory() {
        ASSERT_TRUE(QFile::remove(directory()));
        ASSERT_TRUE(QDir().rename(directory() + QStringLiteral(".aside"), directory()));
    }

    TempFolder folder_;
    FakeWallClock clock_{QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53, 589), Qt::UTC)};
};

TEST_F(FlightRecorderTest, WritesOneCompactLineWithSortedKeysAndTheCallTime) {
    FlightRecorder recorder(directory(), clock_);
    recorder.record(QStringLiteral("glance-not-shown"), {{"source", "menu"},
                                                         {"reason", "no-windows"},
                                                         {"windowCount", "3"},
                                                         {"event", "spoofed"},
                                                         {"at", "yesterday"}});
    // The time is taken by the call, not by the write.
    clock_.advance(seconds(3600));
    recorder.drain();

    EXPECT_EQ(
        readFile(logPath()),
        R"({"at":"2026-03-14T09:26:53.589Z","event":"glance-not-shown","reason":"no-windows",)"
        R"("source":"menu","windowCount":"3"})"
        "\n");
}

TEST_F(FlightRecorderTest, KeepsExactlyTheAllowedKeys) {
    const QStringList allowed{"accessibility",
                              "applicationCount",
                              "at",
                              "axTimeoutCount",
                              "axWindowCount",
                              "build",
                              "cachedCount",
                              "cgCandidateCount",
                              "commandTabMode",
                              "commandTabTap",
                              "displayID",
                              "durationMilliseconds",
                              "errorType",
                              "event",
                              "lastSeenCount",
                              "loadedCount",
                              "macOS",
                              "offscreenCount",
                              "matchedWindowCount",
                              "permission",
                              "reason",
                              "pane",
                              "rejectedWindowCount",
                              "requestedCount",
                              "result",
                              "screenRecording",
                              "source",
                              "version",
                              "visible",
                              "warmedCount",
                              "windowCount",
                              "channel",
                              "currentVersion",
                              "errorCode",
                              "offeredVersion"};
    ASSERT_EQ(allowed.size(), 35);
    EventFields fields;
    for (const QString& key : allowed) {
        fields.insert(key, QStringLiteral("v"));
    }
    // Private or unlisted: a title, an application name, a bundle location (which has a
    // readable label but is not allowed), near misses of allowed keys.
    for (const char* key : {"title", "applicationName", "bundlePath", "bundleIdentifier",
                            "WindowCount", "windowcount", "reason "}) {
        fields.insert(QString::fromLatin1(key), QStringLiteral("secret"));
    }

    FlightRecorder recorder(directory(), clock_);
    recorder.record(QStringLiteral("launch"), fields);
    recorder.drain();

    const QJsonObject line = QJsonDocument::fromJson(readFile(logPath())).object();
    const QStringList keys = line.keys();
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()),
              QSet<QString>(allowed.begin(), allowed.end()));
    EXPECT_FALSE(readFile(logPath()).contains("secret"));
    EXPECT_EQ(line.value("event").toString(), "launch");
}

TEST_F(FlightRecorderTest, ALineBreakInAValueStaysInsideItsLine) {
    FlightRecorder recorder(directory(), clock_);
    recorder.record(QStringLiteral("update-check-failed"), {{"reason", "first\nsecond\r\n\"x\""}});
    recorder.record(QStringLiteral("quit"));
    recorder.drain();

    ASSERT_EQ(fileLines(logPath()).size(), 2);
    const auto rows = recorder.readRecentEvents(10);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].detail, "Reason: first\nsecond\r\n\"x\"");
}

TEST_F(FlightRecorderTest, SkippedEventsWriteNothingAndDoNotCountTowardsATrim) {
    FlightRecorder recorder(directory(), clock_);
    for (const char* event : {"dock-app-action", "preview-action", "switcher-committed"}) {
        recorder.record(QString::fromLatin1(event), {{"reason", "x"}});
    }
    recorder.drain();
    EXPECT_FALSE(QFileInfo::exists(directory()));

    // The first write runs a trim test (nothing to cut yet); 249 writes later none is due,
    // however many skipped events came between them.
    writeFile(logPath(), eventLines(4300));
    recordMany(recorder, 1);
    for (int i = 0; i < 249; ++i) {
        recorder.record(QStringLiteral("glance-shown"));
        recorder.record(QStringLiteral("switcher-committed"));
    }
    recorder.drain();
    EXPECT_EQ(fileLines(logPath()).size(), 4550);

    recordMany(recorder, 1);
    EXPECT_EQ(fileLines(logPath()).size(), 4000);
}

TEST_F(FlightRecorderTest, FirstWriteTrimsAFileOverTheBoundToTheNewestLines) {
    writeFile(logPath(), eventLines(4500));
    ::chmod(QFile::encodeName(logPath()).constData(), 0644);
    FlightRecorder recorder(directory(), clock_);
    recorder.record(QStringLiteral("launch"));
    recorder.drain();

    const QByteArray content = readFile(logPath());
    const QList<QByteArray> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), 4000);
    EXPECT_TRUE(content.endsWith('\n'));
    EXPECT_FALSE(content.contains("\n\n"));
    // 4501 lines: the oldest 501 go.
    EXPECT_EQ(lines.first(), testing::eventLine(502));
    EXPECT_TRUE(lines.last().contains(R"("event":"launch")"));
    EXPECT_EQ(mode(logPath()), 0600);
}

TEST_F(FlightRecorderTest, FirstWriteLeavesAFileAtTheBoundAlone) {
    writeFile(logPath(), eventLines(4499));
    FlightRecorder recorder(directory(), clock_);
    recordMany(recorder, 1);

    const QList<QByteArray> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), 4500);
    EXPECT_EQ(lines.first(), testing::eventLine(1));
}

TEST_F(FlightRecorderTest, TrimTestsComeEvery250SuccessfulWritesAndFailuresAreReported) {
    WarningCapture warnings;
    writeFile(logPath(), eventLines(4300));
    FlightRecorder recorder(directory(), clock_);
    recordMany(recorder, 101);
    ASSERT_EQ(fileLines(logPath()).size(), 4401);

    blockDirectory();
    recordMany(recorder, 5);
    unblockDirectory();
    const QStringList messages = warnings.messages();
    ASSERT_EQ(messages.size(), 5);
    for (const QString& message : messages) {
        EXPECT_TRUE(message.startsWith("PELLUCINE flight recorder failed: "))
            << message.toStdString();
    }

    // 249 successful writes since the first: the failed five did not bring the test forward.
    // The first write after them also says that five were lost.
    recordMany(recorder, 149);
    EXPECT_EQ(fileLines(logPath()).size(), 4551);
    recordMany(recorder, 1);
    EXPECT_EQ(fileLines(logPath()).size(), 4000);
    EXPECT_EQ(warnings.messages().size(), 5);
}

TEST_F(FlightRecorderTest, WritesRecoverAfterAFailure) {
    WarningCapture warnings;
    FlightRecorder recorder(directory(), clock_);
    recordMany(recorder, 1);
    blockDirectory();
    recorder.record(QStringLiteral("lost"));
    recorder.drain();
    unblockDirectory();
    recorder.record(QStringLiteral("kept"));
    recorder.drain();

    const QList<QByteArray> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].contains(R"("droppedCount":"1","event":"events-not-logged")"));
    EXPECT_TRUE(lines[2].contains(R"("event":"kept")"));
    EXPECT_EQ(warnings.messages().size(), 1);
}

TEST_F(FlightRecorderTest, AFullDiskTearsNoLineAndTheLostEventsAreCountedOnceWritingWorks) {
    WarningCapture warnings;
    FlightRecorder recorder(directory(), clock_);
    recordMany(recorder, 1);
    const QByteArray before = readFile(logPath());
    {
        // Room for a part of the next line only.
        const testing::FileSizeLimit fullDisk(static_cast<rlim_t>(before.size() + 20));
        recordMany(recorder, 3);
    }
    EXPECT_EQ(readFile(logPath()), before);
    recorder.record(QStringLiteral("kept"));
    recorder.drain();

    const QList<QByteArray> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), 3);
    const QJsonObject count = QJsonDocument::fromJson(lines[1]).object();
    EXPECT_EQ(count.value("event"), "events-not-logged");
    EXPECT_EQ(count.value("droppedCount"), "3");
    EXPECT_TRUE(lines[2].contains(R"("event":"kept")"));
    const QList<ReadableDiagnosticEvent> rows = recorder.readRecentEvents(2);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].title, "Events could not be written to the log");
    EXPECT_EQ(rows[1].detail, "Events lost: 3");
}

TEST_F(FlightRecorderTest, FolderAndFileAreOwnerOnlyEvenWhenTheyWereWider) {
    FlightRecorder recorder(directory(), clock_);
    recordMany(recorder, 1);
    EXPECT_EQ(mode(directory()), 0700);
    EXPECT_EQ(mode(QFileInfo(directory()).path()), 0700);
    EXPECT_EQ(mode(logPath()), 0600);

    ::chmod(QFile::encodeName(directory()).constData(), 0755);
    ::chmod(QFile::encodeName(logPath()).constData(), 0666);
    recordMany(recorder, 1);
    EXPECT_EQ(mode(directory()), 0700);
    EXPECT_EQ(mode(logPath()), 0600);
}

TEST_F(FlightRecorderTest, ALinkOrPipeInPlaceOfTheLogIsReplacedAndNeverWrittenThrough) {
    const QString elsewhere = folder_.file(QStringLiteral("elsewhere.txt"));
    writeFile(elsewhere, "the user's own file\n");
    ASSERT_TRUE(QFile::setPermissions(
        elsewhere, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));
    ASSERT_TRUE(QDir().mkpath(directory()));
    ASSERT_TRUE(QFile::link(elsewhere, logPath()));
    // A write killed halfway in an earlier run left this behind.
    const QString leftover =
        directory() + QStringLiteral("/.flight.jsonl.pellucine-tmp-999999999-a1b2c3d4");
    writeFile(leftover, eventLines(2));

    FlightRecorder recorder(directory(), clock_);
    recordMany(recorder, 1);
    EXPECT_EQ(readFile(elsewhere), "the user's own file\n");
    EXPECT_EQ(mode(elsewhere), 0604) << "the link's target keeps its permissions";
    EXPECT_FALSE(QFileInfo(logPath()).isSymLink());
    EXPECT_EQ(fileLines(logPath()).size(), 1);
    EXPECT_EQ(mode(logPath()), 0600);
    EXPECT_FALSE(QFileInfo::exists(leftover));

    // Opening a pipe to append would wait for a reader.
    ASSERT_TRUE(QFile::remove(logPath()));
    testing::makePipe(logPath());
    recordMany(recorder, 1);
    EXPECT_TRUE(QFileInfo(logPath()).isFile());
    EXPECT_EQ(fileLines(logPath()).size(), 1);
}

TEST_F(FlightRecorderTest, KeepsTheOrderOfEachRecordingThread) {
    FlightRecorder recorder(directory());
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&recorder, t] {
            for (int i = 0; i < 200; ++i) {
                recorder.record(QStringLiteral("thread-%1").arg(t),
                                {{"reason", QString::number(i)}});
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    recorder.drain();

    const QList<QByteArray> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), 800);
    QMap<QString, int> next;
    for (const QByteArray& line : lines) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        const QString thread = object.value("event").toString();
        EXPECT_EQ(object.value("reason").toString().toInt(), next[thread]++) << line.toStdString();
    }
}

TEST_F(FlightRecorderTest, RecordingAfterShutdownIsIgnored) {
    FlightRecorder recorder(directory(), clock_);
    recordMany(recorder, 3);
    recorder.record(QStringLiteral("quit"));
    recorder.shutdown();
    ASSERT_EQ(fileLines(logPath()).size(), 4);

    recorder.record(QStringLiteral("late"), {{"reason", "x"}});
    recorder.drain();
    recorder.shutdown();
    EXPECT_EQ(fileLines(logPath()).size(), 4);
}

TEST_F(FlightRecorderTest, DestructionWritesWhatWasRecorded) {
    {
        FlightRecorder recorder(directory(), clock_);
        for (int i = 0; i < 20; ++i) {
            recorder.record(QStringLiteral("glance-shown"));
        }
    }
    EXPECT_EQ(fileLines(logPath()).size(), 20);
}

TEST_F(FlightRecorderTest, ATornLastLineIsEndedBeforeTheNextRecord) {
    writeFile(logPath(), testing::eventLine(1) + "\n" + R"({"at":"2026-03-14T09:2)");
    FlightRecorder recorder(directory(), clock_);
    recorder.record(QStringLiteral("launch"));
    recorder.drain();

    const QList<QByteArray> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1], R"({"at":"2026-03-14T09:2)");
    const auto rows = recorder.readRecentEvents(150);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].title, "PELLUCINE opened");
    EXPECT_EQ(rows[1].title, "Old");
}

TEST_F(FlightRecorderTest, ALineThatIsNotUtf8DoesNotStopTheTrim) {
    writeFile(logPath(), eventLines(100) + "{\"event\":\"\xff\xfe\"}\n" + eventLines(4500, "new"));
    FlightRecorder recorder(directory(), clock_);
    recordMany(recorder, 1);

    const QList<QByteArray> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), 4000);
    EXPECT_EQ(lines.first(), testing::eventLine(502, "new"));
}

// `count` valid lines numbered from 1, each `width` bytes long with its line feed.
QByteArray paddedLines(int count, qsizetype width) {
    QByteArray out;
    for (int n = 1; n <= count; ++n) {
        const QByteArray head = R"({"at":"2026-03-14T09:26:53.589Z","event":"old","reason":")" +
                                QByteArray::number(n) + ' ';
        out += head + QByteArray(width - head.size() - 3, 'r') + "\"}\n";
    }
    return out;
}

TEST_F(FlightRecorderTest, TheLogIsBoundInBytesAndDropsAnOversizedLine) {
    // One line far past any that counts, among few lines: cut, the line dropped.
    writeFile(logPath(),
              eventLines(10) + QByteArray(3 * 1024 * 1024, 'x') + '\n' + eventLines(10, "new"));
    {
        FlightRecorder recorder(directory(), clock_);
        recorder.record(QStringLiteral("launch"));
        recorder.drain();
    }
    QList<QByteArray> lines = fileLines(logPath());
    ASSERT_EQ(lines.size(), 21);
    EXPECT_EQ(lines.first(), testing::eventLine(1));
    EXPECT_EQ(lines[10], testing::eventLine(1, "new"));
    EXPECT_TRUE(lines.last().contains(R"("event":"launch")"));

    // Fewer lines than the bound, but long ones: the newest that fit in the bytes stay.
    writeFile(logPath(), paddedLines(3000, 1024));
    {
        FlightRecorder recorder(directory(), clock_);
        recorder.record(QStringLiteral("launch"));
        recorder.drain();
    }
    const QByteArray content = readFile(logPath());
    EXPECT_LE(content.size(), FlightRecorder::maximumBytes);
    EXPECT_GT(content.size(), FlightRecorder::maximumBytes - 1024);
    lines = fileLines(logPath());
    EXPECT_TRUE(lines.last().contains(R"("event":"launch")"));
    EXPECT_TRUE(lines[lines.size() - 2].contains(R"("reason":"3000 )"));
    EXPECT_TRUE(paddedLines(3000, 1024).endsWith(lines[lines.size() - 2] + '\n'));
}

TEST_F(FlightRecorderTest, LongRecordsBringTheTrimTestForward) {
    // Just under the point where the first write cuts the file.
    writeFile(logPath(), paddedLines(2200, 1024));
    FlightRecorder recorder(directory(), clock_);
    const QString reason(10 * 1024, QLatin1Char('r'));
    for (int i = 0; i < 120; ++i) {
        recorder.record(QStringLiteral("glance-shown"), {{"reason", reason}});
        recorder.drain();
        // A test finds at most the slack over the bound, plus what came since the last test.
        ASSERT_LE(QFileInfo(logPath()).size(),
                  FlightRecorder::maximumBytes + 2 * FlightRecorder::trimByteInterval + 11 * 1024)
            << "after write " << i;
    }
    EXPECT_TRUE(fileLines(logPath()).last().contains(R"("event":"glance-shown")"));
}

TEST_F(FlightRecorderTest, ReadsOnlyItsOwnFolder) {
    FlightRecorder first(directory(), clock_);
    FlightRecorder second(folder_.path() + QStringLiteral("/other"), clock_);
    first.record(QStringLiteral("launch"));
    second.record(QStringLiteral("quit"));
    first.drain();
    second.drain();
    ASSERT_EQ(first.readRecentEvents(10).size(), 1);
    EXPECT_EQ(first.readRecentEvents(10)[0].title, "PELLUCINE opened");
    EXPECT_EQ(second.readRecentEvents(10)[0].title, "PELLUCINE closed");
}

TEST(FlightRecorderDiagnosticsDirectoryTest, NamesTheProgramFolderAfterTheIdentifier) {
    const AppPaths paths = AppPaths::under(QStringLiteral("/root"));
    EXPECT_EQ(FlightRecorder::diagnosticsDirectory(paths, std::nullopt),
              "/root/data/pellucine/diagnostics");
    EXPECT_EQ(
        FlightRecorder::diagnosticsDirectory(paths, QStringLiteral("com.orrinvale.pellucine")),
        "/root/data/pellucine/diagnostics");
    EXPECT_EQ(
        FlightRecorder::diagnosticsDirectory(paths, QStringLiteral("com.orrinvale.pellucine.dev")),
        "/root/data/pellucine-com.orrinvale.pellucine.dev/diagnostics");
    EXPECT_EQ(FlightRecorder::diagnosticsDirectory(paths, QStringLiteral("com.example.testhost")),
              "/root/data/pellucine-com.example.testhost/diagnostics");
    EXPECT_EQ(FlightRecorder::logFilePath(QStringLiteral("/d")), "/d/flight.jsonl");
}

// The shared recorder is process-wide, so each case runs in a child process of its own; the
// parent never touches it.
TEST(FlightRecorderSharedDeathTest, OneConfiguredRecorderThatIgnoresRecordsAfterShutdown) {
    TempFolder folder;
    const QString directory = folder.path() + QStringLiteral("/diagnostics");
    EXPECT_EXIT(
        {
            const bool configured = FlightRecorder::configureShared(directory);
            FlightRecorder& recorder = FlightRecorder::shared();
            recorder.record(QStringLiteral("launch"));
            const bool reconfigured = FlightRecorder::configureShared(QStringLiteral("/nowhere"));
            recorder.record(QStringLiteral("quit"));
            recorder.shutdown();
            recorder.record(QStringLiteral("late"));
            const auto rows = FlightRecorder::readRecentEvents(directory, 10);
            const bool ok = configured && !reconfigured && &FlightRecorder::shared() == &recorder &&
                            recorder.directory() == directory && rows.size() == 2 &&
                            rows[0].title == "PELLUCINE closed";
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(FlightRecorderSharedDeathTest, ExitWithoutShutdownStillWritesEverything) {
    TempFolder folder;
    const QString directory = folder.path() + QStringLiteral("/diagnostics");
    EXPECT_EXIT(
        {
            FlightRecorder::configureShared(directory);
            for (int i = 0; i < 500; ++i) {
                FlightRecorder::shared().record(QStringLiteral("glance-shown"));
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(fileLines(FlightRecorder::logFilePath(directory)).size(), 500);
}

}  // namespace
}  // namespace pellucine
