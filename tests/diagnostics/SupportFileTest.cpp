#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>

#include "DiagnosticsBench.h"
#include "core/FlightRecorder.h"
#include "diagnostics/SupportFile.h"
#include "support/FileTraps.h"

namespace pellucine {
namespace {

using namespace Qt::StringLiterals;
using testing::eventLine;
using testing::eventLines;

class SupportFileTest : public testing::DiagnosticsFixture {
  protected:
    QJsonObject file() {
        const std::optional<QByteArray> bytes = diagnostics().supportFileData();
        EXPECT_TRUE(bytes);
        return QJsonDocument::fromJson(bytes.value_or(QByteArray())).object();
    }
    QJsonArray log() { return file().value(u"log"_s).toArray(); }
    // The "reason" field of each record, in order.
    static QStringList reasons(const QJsonArray& records) {
        QStringList out;
        for (const QJsonValue& record : records) {
            out << record.toObject().value(u"reason"_s).toString();
        }
        return out;
    }
};

TEST_F(SupportFileTest, TheLogWindowIsTheLastThousandLinesBeforeParsing) {
    writeLog(eventLines(1500));
    QJsonArray records = log();
    ASSERT_EQ(records.size(), 1000);
    EXPECT_EQ(reasons(records).first(), u"501"_s);
    EXPECT_EQ(reasons(records).last(), u"1500"_s);

    // A last line cut off in the middle of a character costs that line only; it is not made
    // up for from older lines.
    QByteArray torn = eventLines(999) + R"({"at":"2026","event":"x","reason":"caf)" + "\xc3";
    writeLog(torn);
    records = log();
    ASSERT_EQ(records.size(), 999);
    EXPECT_EQ(reasons(records).first(), u"1"_s);

    // Blank lines are neither counted nor reported.
    QByteArray spaced;
    for (int n = 1; n <= 1200; ++n) {
        spaced += eventLine(n) + "\n\n\n";
    }
    writeLog(spaced);
    records = log();
    ASSERT_EQ(records.size(), 1000);
    EXPECT_EQ(reasons(records).first(), u"201"_s);
}

TEST_F(SupportFileTest, OnlyObjectsAndArraysAreKeptAsWritten) {
    writeLog(R"({"z":"1","event":"a","at":"t"})"
             "\n5\n\"text\"\nnull\n[\"x\",\"y\"]\nnot json\n{\"event\":\"b\"}\n");
    const QJsonArray records = log();
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records[1].toArray(), QJsonArray({u"x"_s, u"y"_s}));
    EXPECT_EQ(records[2].toObject().value(u"event"_s), u"b"_s);

    // Keys come out in ascending order, whatever order the line had.
    const QByteArray bytes = *diagnostics().supportFileData();
    const qsizetype at = bytes.indexOf("\"at\"");
    EXPECT_LT(at, bytes.indexOf("\"event\": \"a\""));
    EXPECT_LT(bytes.indexOf("\"event\": \"a\""), bytes.indexOf("\"z\""));
    EXPECT_LT(bytes.indexOf("\"log\""), bytes.indexOf("\"status\""));
}

TEST_F(SupportFileTest, AMissingOrUnreadableLogStillGivesAFile) {
    EXPECT_TRUE(log().isEmpty());
    EXPECT_TRUE(file().contains(u"status"_s));
    // A folder where the log should be, and a pipe nobody writes to, read as no log.
    QDir().mkpath(logFile());
    EXPECT_TRUE(log().isEmpty());
    QDir().rmdir(logFile());
    testing::makePipe(logFile());
    EXPECT_TRUE(log().isEmpty());
}

TEST_F(SupportFileTest, TheStatusHoldsExactlyItsEightFacts) {
    model->permissions().screenRecording().set(PermissionState::restartRequired);
    model->permissions().accessibility().set(PermissionState::granted);
    displays = 0;
    const QJsonObject status = file().value(u"status"_s).toObject();
    EXPECT_EQ(status, (QJsonObject{{u"appVersion"_s, u"2.3"_s},
                                   {u"build"_s, u"230"_s},
                                   {u"macOSVersion"_s, u"Linux 6.1 (Test OS)"_s},
                                   {u"architecture"_s, u"x86_64"_s},
                                   {u"displayCount"_s, 0},
                                   {u"accessibilityPermission"_s, u"granted"_s},
                                   {u"screenRecordingPermission"_s, u"restartRequired"_s},
                                   {u"preferenceSchema"_s, 12}}));
    EXPECT_EQ(PrivacySafeDiagnostics::fromJson(status), diagnostics().capture());
    QJsonObject partial = status;
    partial.remove(u"build"_s);
    EXPECT_FALSE(PrivacySafeDiagnostics::fromJson(partial));
    partial = status;
    partial[u"displayCount"_s] = 1.5;
    EXPECT_FALSE(PrivacySafeDiagnostics::fromJson(partial));
}

TEST_F(SupportFileTest, VersionsThatAreNotTextsReadDev) {
    bundle = Bundle({{u"CFBundleVersion"_s, 230}}, {});
    const PrivacySafeDiagnostics status = diagnostics().capture();
    EXPECT_EQ(status.appVersion, u"dev"_s);
    EXPECT_EQ(status.build, u"dev"_s);
}

TEST_F(SupportFileTest, TheStandardHostReportsThisMachine) {
    const DiagnosticsHost standard = DiagnosticsHost::standard(desktop, logFolder());
    utsname machine{};
    ASSERT_EQ(::uname(&machine), 0);
    const QString kernel = QString::fromLatin1(machine.machine);
    const QString architecture = standard.architecture();
    EXPECT_EQ(architecture, QSysInfo::currentCpuArchitecture());
    if (kernel == u"x86_64"_s || kernel == u"i686"_s) {
        EXPECT_EQ(architecture, kernel == u"x86_64"_s ? u"x86_64"_s : u"i386"_s);
    } else if (kernel == u"aarch64"_s) {
        EXPECT_EQ(architecture, u"arm64"_s);
    }
    EXPECT_EQ(standard.displayCount(), desktop.screenLayout().screens().size());
    EXPECT_EQ(standard.systemVersion(), desktop.process().operatingSystemVersionString());
}

TEST_F(SupportFileTest, NoWindowTitleOrApplicationNameReachesTheFile) {
    {
        FlightRecorder recorder(logFolder());
        recorder.record(u"glance-shown"_s, {{u"title"_s, u"Secret Plans.txt"_s},
                                            {u"appName"_s, u"SecretApp"_s},
                                            {u"windowTitle"_s, u"Secret Plans.txt"_s},
                                            {u"windowCount"_s, u"3"_s}});
        recorder.drain();
    }
    const QByteArray bytes = *diagnostics().supportFileData();
    EXPECT_FALSE(bytes.contains("Secret")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("glance-shown"));
    // Neither the machine's nor the user's name is part of the status.
    const QJsonObject status = file().value(u"status"_s).toObject();
    EXPECT_EQ(status.keys().size(), 8);
    for (const QJsonValue& value : status) {
        EXPECT_FALSE(value.toVariant().toString().contains(QSysInfo::machineHostName()));
    }
}

class SupportFileSaving : public testing::DiagnosticsFixture {
  protected:
    std::optional<std::optional<QString>> save(const QByteArray& bytes) {
        std::optional<std::optional<QString>> outcome;
        SupportFile::save(bytes, panel, nullptr,
                          [&outcome](const std::optional<QString>& failure) { outcome = failure; });
        return outcome;
    }
};

TEST_F(SupportFileSaving, CancellingWritesNothingAndReportsNothing) {
    EXPECT_FALSE(save("{}"));
    ASSERT_EQ(panel.requests.size(), 1);
    EXPECT_EQ(panel.requests[0].defaultName, u"PELLUCINE-Support.json"_s);
    EXPECT_EQ(panel.requests[0].filter, u"JSON (*.json)"_s);
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(SupportFileSaving, AnExistingFileIsReplacedOnlyByACompleteOne) {
    const QString target = folder.file(u"PELLUCINE-Support.json"_s);
    testing::putFile(target, "old support file");
    panel.answer = target;
    const auto written = save("{\"new\": 1}");
    ASSERT_TRUE(written);
    EXPECT_FALSE(written->has_value());
    EXPECT_EQ(testing::fileContents(target), "{\"new\": 1}");

    // A write that fails midway (a full disk) reports why and keeps the file there.
    testing::putFile(target, "old support file");
    {
        testing::FileSizeLimit limit(8);
        const auto outcome = save(QByteArray(4096, 'x'));
        ASSERT_TRUE(outcome);
        EXPECT_TRUE(outcome->has_value());
    }
    EXPECT_EQ(testing::fileContents(target), "old support file");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{u"PELLUCINE-Support.json"_s});
}

TEST_F(SupportFileSaving, FromTheServiceTheFileHoldsWhatWasLoggedBeforeTheWait) {
    // The wait lets the log writer finish: what it writes then belongs in the file.
    DiagnosticsService service(*model, host(), [this] { writeLog(eventLine(7)); });
    const QString target = folder.file(u"PELLUCINE-Support.json"_s);
    panel.answer = target;
    std::optional<std::optional<QString>> outcome;
    SupportFile::save(service, panel, nullptr,
                      [&outcome](const std::optional<QString>& failure) { outcome = failure; });
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->has_value());
    EXPECT_EQ(testing::fileContents(target), *service.supportFileData());
    EXPECT_TRUE(testing::fileContents(target).contains("\"reason\": \"7\""));
}

}  // namespace
}  // namespace pellucine
