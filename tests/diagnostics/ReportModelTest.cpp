#include <gtest/gtest.h>

#include <QFile>
#include <QUrlQuery>

#include "LoopbackServer.h"
#include "ReportBench.h"
#include "diagnostics/ReportFile.h"
#include "support/FileTraps.h"

namespace pellucine::ReportProblem {
namespace {

using namespace Qt::StringLiterals;
using testing::LoopbackServer;
using testing::runUntil;

const QString name = u"ACME-report-2026-12-07-2105.txt"_s;

QString contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class Reports : public ::testing::Test {
  protected:
    // Sends `text` and waits for the outcome.
    std::shared_ptr<Model> send(const QString& text = u"It froze."_s, QUrl endpoint = {}) {
        auto model = Model::create(bench.config(endpoint.isEmpty() ? server.url() : endpoint),
                                   environment, text);
        model->send();
        EXPECT_TRUE(runUntil([&] { return !model->phase().is(Phase::Kind::sending); }));
        return model;
    }

    testing::ReportBench bench;
    Environment environment = bench.environment();
    LoopbackServer server;
};

TEST_F(Reports, AnAcceptedReportIsSentOnceWithItsTokenAndTheDraftEmptied) {
    server.answer = LoopbackServer::Answer{201, R"({"id":"R-7","note":"thanks"})"};
    Model::draft() = u"It froze."_s;
    const auto model = send();
    EXPECT_EQ(model->phase(), Phase::sent(u"R-7"_s));
    EXPECT_EQ(Model::draft(), QString());
    EXPECT_EQ(bench.lines, (QStringList{u"sending report"_s, u"report sent as R-7"_s}));
    EXPECT_EQ(bench.gathered, 2);
    EXPECT_TRUE(bench.saved(bench.desktop()).isEmpty());
    ASSERT_EQ(server.requests.size(), 1);
    const auto& [head, body] = server.requests.front();
    EXPECT_TRUE(head.startsWith("POST /report HTTP/1.1\r\n"));
    EXPECT_TRUE(head.contains("\r\nContent-Type: application/json\r\n"));
    EXPECT_TRUE(head.contains("\r\nX-OV-App-Token: acme_tok_0123456789abcdef01234567\r\n"));
    EXPECT_EQ(body, Report({environment.facts(), u"install-1"_s, u"  log line\n"_s, u"It froze."_s})
                        .requestBody(u"ACME"_s));
}

TEST_F(Reports, WithoutAReportServerSendSavesAtOnceAndAsksNoNetwork) {
    const auto model = Model::create(bench.config(), environment, u"It froze."_s);
    EXPECT_FALSE(model->config().hasEndpoint());
    EXPECT_FALSE(bench.config(QUrl(u"file:///tmp/x"_s)).hasEndpoint());
    EXPECT_TRUE(bench.config(server.url()).hasEndpoint());
    model->send();
    ASSERT_TRUE(model->phase().is(Phase::Kind::saved));
    EXPECT_EQ(model->phase().reason(),
              u"This build has no report server, so the report was saved for you to send."_s);
    EXPECT_EQ(model->phase().file(), bench.file());
    EXPECT_TRUE(contents(bench.file()).contains(u"It froze."_s));
    EXPECT_TRUE(server.requests.empty());
    ASSERT_EQ(bench.lines.size(), 1);
    EXPECT_TRUE(bench.lines.first().startsWith(u"report not sent (This build has no report"_s));

    // Where the next file goes, as the texts say it.
    EXPECT_EQ(ReportFile::nextPlace(environment), u"on your Desktop"_s);
    Environment noDesktop = environment;
    noDesktop.desktopFolder.clear();
    EXPECT_EQ(ReportFile::nextPlace(noDesktop), u"in "_s + bench.reports());
    noDesktop.desktopFolder = bench.folder.file(u"missing"_s);
    EXPECT_EQ(ReportFile::nextPlace(noDesktop), u"in "_s + bench.reports());
}

TEST_F(Reports, EveryFailureSavesTheReportWithItsReason) {
    environment.timeout = std::chrono::milliseconds(100);
    const std::tuple<std::optional<LoopbackServer::Answer>, QUrl, QString> failures[] = {
        {LoopbackServer::Answer{200, R"({"id":5})"}, {}, u"Orrinvale answered 200."_s},
        {LoopbackServer::Answer{503, R"({"error":"busy"})"}, {}, u"Orrinvale said: busy."_s},
        {LoopbackServer::Answer{500, ""}, {}, u"Orrinvale answered 500."_s},
        {std::nullopt, {}, u"Could not reach Orrinvale (The request timed out.)."_s},
        {{}, LoopbackServer::closedUrl(), u"Could not reach Orrinvale (Connection refused)."_s},
    };
    for (const auto& [answer, endpoint, reason] : failures) {
        QFile::remove(bench.file());
        server.answer = answer;
        Model::draft() = u"It froze."_s;
        const auto model = send(u"It froze."_s, endpoint);
        EXPECT_EQ(model->phase(), Phase::saved(bench.file(), reason));
        EXPECT_EQ(bench.lines.last(), u"report not sent (%1); saved %2"_s.arg(reason, name));
        EXPECT_EQ(Model::draft(), QString());
        EXPECT_TRUE(contents(bench.file()).startsWith(u"ACME problem report\n"_s));
    }
}

TEST_F(Reports, ASecondFailureInTheSameMinuteKeepsTheFirstFile) {
    server.answer = LoopbackServer::Answer{503, ""};
    send(u"First."_s);
    bench.clock.advance(std::chrono::seconds(40));
    const auto second = send(u"Second."_s);
    const QString next = u"ACME-report-2026-12-07-2105-2.txt"_s;
    EXPECT_EQ(bench.saved(bench.desktop()), (QStringList{next, name}));
    EXPECT_TRUE(contents(bench.file()).contains(u"What happened:\nFirst.\n"_s));
    EXPECT_EQ(second->phase().file(), bench.file(next));
    EXPECT_TRUE(bench.lines.last().endsWith(u"saved "_s + next));
}

TEST_F(Reports, WithoutADesktopReportsGoToTheProgramsOwnFolder) {
    QDir(bench.desktop()).removeRecursively();
    server.answer = LoopbackServer::Answer{503, ""};
    const QString file = bench.reports() + u'/' + name;
    EXPECT_EQ(send()->phase().file(), file);
    EXPECT_EQ(ReportFile::place(file, environment),
              u"in "_s + QDir::toNativeSeparators(bench.reports()));
    EXPECT_EQ(ReportFile::place(bench.file(), environment), u"on your Desktop"_s);
    EXPECT_FALSE(QFileInfo::exists(bench.desktop()));
    // A desktop folder set to the home folder is one turned off.
    EXPECT_EQ(Environment::desktopFolderOf(u"/home/u/"_s, u"/home/u"_s), QString());
    EXPECT_EQ(Environment::desktopFolderOf(u"/home/u/D"_s, u"/home/u"_s), u"/home/u/D"_s);
}

TEST_F(Reports, WhenNothingCanBeSavedTheWordsStayForAnotherTry) {
    environment.desktopFolder.clear();
    // The reports folder cannot be made below a plain file.
    QFile(bench.reports()).open(QIODevice::WriteOnly);
    server.answer = LoopbackServer::Answer{503, ""};
    Model::draft() = u"Keep me."_s;
    const auto model = send(u"Keep me."_s);
    EXPECT_EQ(model->phase(), Phase::writing());
    EXPECT_EQ(model->text(), u"Keep me."_s);
    EXPECT_EQ(Model::draft(), u"Keep me."_s);
    EXPECT_EQ(bench.lines.last(), u"report not sent (Orrinvale answered 503.); saved nothing"_s);
    EXPECT_EQ(model->unsaved(),
              u"The report wasn’t sent, and it couldn’t be saved either (%1: the folder could not "
              "be made). Your words are still here for another try."_s.arg(bench.reports()));

    // The e-mail route says so too, and sends no mail.
    bench.lines.clear();
    model->emailInstead();
    EXPECT_EQ(model->phase(), Phase::writing());
    EXPECT_TRUE(model->unsaved().startsWith(
        u"The report couldn’t be saved to attach to a mail ("_s + bench.reports() + u": "_s));
    EXPECT_TRUE(bench.lines.isEmpty());
    EXPECT_TRUE(bench.desk->mails.isEmpty());
}

TEST_F(Reports, OnAFullDiskTheReportSaysWhereItCouldNotBeSavedAndWhy) {
    server.answer = LoopbackServer::Answer{503, ""};
    std::shared_ptr<Model> model;
    {
        const testing::FileSizeLimit fullDisk(16);
        model = send(u"Keep me."_s);
    }
    EXPECT_EQ(model->phase(), Phase::writing());
    EXPECT_TRUE(model->unsaved().contains(bench.reports() + u": "_s))
        << model->unsaved().toStdString();
    EXPECT_TRUE(bench.saved(bench.desktop()).isEmpty());

    // Once the disk has room, the next send saves the report and the notice goes.
    model = send(u"Keep me."_s);
    EXPECT_EQ(model->phase().kind(), Phase::Kind::saved);
    EXPECT_EQ(model->unsaved(), QString());
}

TEST_F(Reports, AClosedWindowsSendStillEndsInASavedFile) {
    server.answer = LoopbackServer::Answer{503, ""};
    Model::create(bench.config(server.url()), environment, u"Orphaned."_s)->send();
    ASSERT_TRUE(runUntil([&] { return bench.lines.size() == 2; }));
    EXPECT_EQ(bench.saved(bench.desktop()), QStringList{name});
}

TEST(ReportFileName, UsesDigitsOnTheTwentyFourHourClockWhateverTheLocale) {
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    const QDateTime afterMidnight(QDate(2027, 1, 2), QTime(0, 5), QTimeZone(-9 * 3600 - 1800));
    EXPECT_EQ(ReportFile::name(u"ACME"_s, afterMidnight), u"ACME-report-2027-01-02-0005.txt"_s);
    EXPECT_EQ(ReportFile::name(u"ACME"_s, afterMidnight, 3),
              u"ACME-report-2027-01-02-0005-3.txt"_s);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

TEST_F(Reports, OnlyVisibleWordsCanBeSentOrMailed) {
    const auto model = bench.model(u"draft from before"_s);
    EXPECT_EQ(Model::draft(), QString());
    for (const QString& blank : {QString(), u" \t\r\n"_s, u"\u00A0\u2028 "_s}) {
        model->setText(blank);
        model->send();
        model->emailInstead();
        EXPECT_EQ(model->phase(), Phase::writing());
        EXPECT_FALSE(model->canSend() || model->canEmail());
    }
    model->setText(u"  .  "_s);
    EXPECT_TRUE(model->canSend() && model->canEmail());
    EXPECT_EQ(Model::draft(), u"  .  "_s);
    model->setPhase(Phase::sending());
    EXPECT_FALSE(model->canSend() || model->canEmail());
    EXPECT_TRUE(bench.lines.isEmpty());
}

TEST_F(Reports, MailingSavesTheReportAndBackBringsTheWordsBack) {
    const auto model = bench.model(QString());
    model->setText(u"It froze."_s);
    model->emailInstead();
    EXPECT_EQ(model->phase(), Phase::emailed(bench.file()));
    EXPECT_EQ(bench.desk->mails,
              (QStringList{u"help@example.com"_s, u"ACME problem report"_s,
                           u"What happened, and the app's log, are in the attached file."_s,
                           bench.file()}));
    EXPECT_EQ(bench.desk->revealed, QStringList{bench.file()});
    EXPECT_EQ(bench.lines, QStringList{u"report saved for email as "_s + name});
    EXPECT_EQ(Model::draft(), QString());

    model->backFromEmail();
    model->backFromEmail();
    EXPECT_EQ(model->phase(), Phase::writing());
    EXPECT_EQ(Model::draft(), u"It froze."_s);
    EXPECT_EQ(bench.lines.last(), u"report back from email"_s);
    EXPECT_EQ(bench.lines.size(), 2);

    // Without a mail service the mail is a link naming the file; the file is still shown.
    bench.desk->canMail = false;
    model->emailInstead();
    ASSERT_EQ(bench.desk->opened.size(), 1);
    const QUrl link = bench.desk->opened.front();
    EXPECT_EQ(link.toString(QUrl::RemoveQuery), u"mailto:help@example.com"_s);
    EXPECT_EQ(QUrlQuery(link).queryItemValue(u"body"_s, QUrl::FullyDecoded),
              u"Attached: ACME-report-2026-12-07-2105-2.txt, from my Desktop."_s);
    EXPECT_TRUE(link.toEncoded().contains("subject=ACME%20problem%20report"));
    EXPECT_EQ(bench.desk->revealed.size(), 2);
    // Query delimiters in the texts stay text.
    const QUrlQuery odd(Model::mailtoUrl(u"a@b.c"_s, u"A&B #1 = 100%"_s, u"x?y"_s));
    EXPECT_EQ(odd.queryItemValue(u"subject"_s, QUrl::FullyDecoded), u"A&B #1 = 100%"_s);
    EXPECT_EQ(odd.queryItemValue(u"body"_s, QUrl::FullyDecoded), u"x?y"_s);
}

}  // namespace
}  // namespace pellucine::ReportProblem
