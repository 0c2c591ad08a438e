#include <gtest/gtest.h>

#include <QRegularExpression>

#include "DiagnosticsBench.h"
#include "diagnostics/ThisAppReport.h"
#include "preferences/InMemoryKeyValueStore.h"
#include "support/FileTraps.h"

namespace pellucine {
namespace {

using namespace Qt::StringLiterals;
using testing::eventLines;

const QString statusLines =
    u"Accessibility     denied\n"
    "Screen Recording  restartRequired\n"
    "Displays          2\n"_s;

class ThisAppReportTest : public testing::DiagnosticsFixture {
  protected:
    ThisAppReportTest() {
        model->permissions().accessibility().set(PermissionState::denied);
        model->permissions().screenRecording().set(PermissionState::restartRequired);
    }
    QString text() { return thisAppDiagnostics(diagnostics()); }
};

TEST_F(ThisAppReportTest, TheInstallIdentifierIsMadeOnceAndKept) {
    InMemoryKeyValueStore defaults;
    const QString first = thisAppInstallID(defaults);
    EXPECT_TRUE(QRegularExpression(u"^[0-9a-f]{8}(-[0-9a-f]{4}){3}-[0-9a-f]{12}$"_s)
                    .match(first)
                    .hasMatch())
        << first.toStdString();
    EXPECT_EQ(defaults.value(u"reportInstallID"_s), first);
    EXPECT_EQ(thisAppInstallID(defaults), first);
    EXPECT_EQ(defaults.writeCount(), 1);

    // A value that is not a text is replaced.
    InMemoryKeyValueStore odd({{u"reportInstallID"_s, 42}});
    const QString replaced = thisAppInstallID(odd);
    EXPECT_EQ(replaced.size(), 36);
    EXPECT_EQ(odd.value(u"reportInstallID"_s), replaced);
}

TEST_F(ThisAppReportTest, TheDiagnosticsTextKeepsTheLastFiveHundredPieces) {
    writeLog(eventLines(10));
    EXPECT_EQ(text(), statusLines + QString::fromUtf8(eventLines(10)));

    // The empty piece after the last line feed is one of the 500.
    writeLog(eventLines(3000));
    const QString tail = text().sliced(statusLines.size());
    const QStringList pieces = tail.split(u'\n');
    ASSERT_EQ(pieces.size(), 500);
    EXPECT_EQ(pieces.first(), QString::fromUtf8(testing::eventLine(2502)));
    EXPECT_EQ(pieces.last(), QString());

    writeLog({});
    EXPECT_EQ(text(), statusLines);

    // A run of 1,000 window scans after an event leaves it in the text, folded to one line.
    QByteArray log = testing::eventLine(1) + '\n';
    for (int i = 0; i < 1000; ++i) {
        log += testing::eventLine(i, "windows-refreshed") + '\n';
    }
    writeLog(log);
    EXPECT_EQ(text().sliced(statusLines.size()), QString::fromUtf8(testing::eventLine(1)) +
                                                     uR"(
{"at":"2026-03-14T09:26:53.589Z","event":"windows-refreshed","reason":"999","times":"1000"}
)"_s);
}

TEST_F(ThisAppReportTest, WithoutALogTheTextSaysSo) {
    EXPECT_EQ(text(), statusLines + u"(no log)"_s);
    QDir().mkpath(logFile());
    EXPECT_EQ(text(), statusLines + u"(no log)"_s);
    // A line cut mid-character keeps the rest of the log readable.
    QDir().rmdir(logFile());
    writeLog(eventLines(2) + "caf\xc3");
    EXPECT_EQ(text(), statusLines + QString::fromUtf8(eventLines(2)) + u"caf\uFFFD"_s);
}

TEST_F(ThisAppReportTest, ProgressLinesBecomeEventsWithoutTheirText) {
    const QString desktop = folder.path() + u"/Desktop"_s;
    QDir().mkpath(desktop);
    testing::putFile(desktop + u"/PELLUCINE-report-2026-12-07-2105.txt"_s, "report");
    const auto saved = [](const char* result) {
        return ThisAppEvent{u"report-saved-to-desktop"_s,
                            {{u"result"_s, QString::fromUtf8(result)}}};
    };
    const ThisAppEvent sending{u"report-sending"_s, {}};
    struct Row {
        QString line;
        QString desktop;
        ThisAppEvent event;
    };
    const Row rows[] = {
        {u"sending report"_s, desktop, sending},
        {u"report sent as R-17"_s, desktop, {u"report-sent"_s, {}}},
        {u"report saved for email as PELLUCINE-report-2026-12-07-2105.txt"_s, desktop, sending},
        {u"report back from email"_s, desktop, sending},
        {u"report sending switched on"_s, desktop, sending},
        {u"report not sent (Orrinvale answered 503.); "
         "saved PELLUCINE-report-2026-12-07-2105.txt"_s,
         desktop, saved("saved on the Desktop")},
        // Every report not sent is that event; its result says where the copy went, and a
        // reason that itself holds "; saved " does not mislead.
        {u"report not sent (x); saved PELLUCINE-report-2026-12-07-2106.txt"_s, desktop,
         saved("saved in the reports folder")},
        {u"report not sent (Orrinvale said: a; saved b.); saved nothing"_s, desktop,
         saved("not saved")},
        {u"report not sent (x); saved PELLUCINE-report-2026-12-07-2105.txt"_s,
         {},
         saved("saved in the reports folder")},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(thisAppEvent(row.line, row.desktop), row.event) << row.line.toStdString();
    }

    RecordingEventLog log;
    thisAppRecord(u"report sent as R-17"_s, log, desktop);
    ASSERT_EQ(log.names(), QStringList{u"report-sent"_s});
    EXPECT_TRUE(log.events()[0].fields.isEmpty());
}

TEST_F(ThisAppReportTest, TheConfigurationIsThisProgramsOwn) {
    InMemoryKeyValueStore defaults;
    const ReportProblem::Config config =
        ReportProblem::Config::thisApp({diagnostics(), defaults, events, folder.path()});
    EXPECT_EQ(config.appName, u"PELLUCINE"_s);
    // Two lower-case groups of nine characters together, each ending in "_", then 24 digits.
    EXPECT_TRUE(QRegularExpression(u"^(?=[a-z_]{9}[0-9a-f]{24}$)[a-z]+_[a-z]+_[0-9a-f]{24}$"_s)
                    .match(config.appToken)
                    .hasMatch())
        << config.appToken.toStdString();
    // A build given no report server saves reports as files.
    EXPECT_FALSE(config.hasEndpoint()) << config.endpoint.toString().toStdString();
    ASSERT_TRUE(config.fallbackPage);
    EXPECT_EQ(config.fallbackPage->path(), u"/report"_s);
    EXPECT_EQ(config.accent, QColor(63, 125, 90));
    EXPECT_EQ(config.onAccent, QColor(Qt::white));
    EXPECT_EQ(config.contentSize, QSize(600, 470));
    EXPECT_FALSE(config.consent);
    EXPECT_TRUE(config.supportEmail && config.supportEmail->contains(u'@'));
    EXPECT_EQ(config.example,
              u"EX: I switched to Mousepad and its windows showed as blank cards."_s);

    // The closures read the defaults, the diagnostics and the event log given.
    const QString id = config.installID();
    EXPECT_EQ(id, defaults.value(u"reportInstallID"_s).toString());
    EXPECT_TRUE(config.diagnostics().startsWith(statusLines));
    config.record(u"sending report"_s);
    EXPECT_EQ(events.names().last(), u"report-sending"_s);
}

}  // namespace
}  // namespace pellucine
