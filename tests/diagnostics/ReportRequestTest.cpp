#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QVariantMap>

#include "core/Bundle.h"
#include "diagnostics/Report.h"
#include "diagnostics/ReportRequest.h"

namespace pellucine::ReportProblem {
namespace {

using namespace Qt::StringLiterals;

const Facts facts{u"com.example.acme"_s, u"1.2"_s, u"34"_s, u"Linux 6.1"_s, u"ThinkPad X1"_s};
const QString words = u"It froze."_s;

QByteArray body(const QString& diagnostics, const QString& text = words) {
    return requestBody(text, u"ACME"_s, u"install-1"_s, diagnostics, facts);
}

QString sentDiagnostics(const QByteArray& bytes) {
    return QJsonDocument::fromJson(bytes).object().value(u"diagnostics"_s).toString();
}

QString marker(qsizetype dropped) {
    return u"[… %1 earlier characters trimmed to fit …]\n"_s.arg(dropped);
}

// With empty diagnostics; each further ASCII letter adds one byte.
const qsizetype bare = body({}).size();

TEST(RequestBody, IsCompactWithSortedKeysAndTheTrimmedText) {
    EXPECT_EQ(body(u"log"_s, u"  \n It froze.\t\n"_s),
              R"({"appName":"ACME","build":"34","bundleId":"com.example.acme","diagnostics":"log",)"
              R"("installId":"install-1","macOS":"Linux 6.1","machine":"ThinkPad X1",)"
              R"("text":"It froze.","version":"1.2"})");
}

TEST(RequestBody, AtTheCapIsSentWholeAndOneByteOverLosesATenthAtTheHead) {
    const QString exact(bodyCap - bare, u'a');
    EXPECT_EQ(body(exact).size(), bodyCap);
    EXPECT_EQ(sentDiagnostics(body(exact)), exact);

    // The tenth is more than the excess of 1025 bytes.
    const QString over = exact + u'z';
    const QByteArray trimmed = body(over);
    const qsizetype dropped = over.size() / 10;
    EXPECT_LE(trimmed.size(), bodyCap);
    EXPECT_EQ(sentDiagnostics(trimmed), marker(dropped) + over.sliced(dropped));
}

TEST(RequestBody, DropsTheExcessWhenItIsMoreThanATenth) {
    const QString diagnostics(400000, u'q');
    const qsizetype excess = bare + 400000 - bodyTarget;
    ASSERT_GT(excess, 40000);
    const QByteArray trimmed = body(diagnostics);
    EXPECT_LE(trimmed.size(), bodyCap);
    EXPECT_EQ(sentDiagnostics(trimmed), marker(excess) + diagnostics.sliced(excess));
}

TEST(RequestBody, CountsWholeCharactersAndKeepsOneMarker) {
    // An escaped quote and backslash, a two-byte letter and an emoji family of eight code
    // units: 24 bytes for 4 characters.
    const QString unit = u"\"é👨‍👩‍👧\\"_s;
    const QString diagnostics = unit.repeated(11000);
    const qsizetype excess = bare + 24 * 11000 - bodyTarget;
    ASSERT_GT(excess, 44000 / 10);
    const QByteArray trimmed = body(diagnostics);
    EXPECT_LE(trimmed.size(), bodyCap);
    const QString kept = sentDiagnostics(trimmed);
    ASSERT_TRUE(kept.startsWith(marker(excess)));
    EXPECT_EQ(kept.count(u"trimmed to fit"_s), 1);
    const QString tail = kept.sliced(marker(excess).size());
    EXPECT_TRUE(diagnostics.endsWith(tail));
    // Exactly `excess` characters went: whole units of 11 code units, then part of one.
    const qsizetype partial[] = {0, 1, 2, 10};
    EXPECT_EQ(diagnostics.size() - tail.size(), excess / 4 * unit.size() + partial[excess % 4]);
}

TEST(RequestBody, NeverShortensTheTextAndDropsDiagnosticsThatCannotFit) {
    const QString huge(300000, u'x');
    const QJsonObject alone = QJsonDocument::fromJson(body(u"a log"_s, huge)).object();
    EXPECT_EQ(alone.value(u"text"_s).toString(), huge);
    EXPECT_EQ(alone.value(u"diagnostics"_s).toString(), QString());
    // An excess above the diagnostics' length leaves only the marker, too short to keep.
    EXPECT_EQ(sentDiagnostics(body(QString(2000, u'd'), QString(bodyCap - 50, u'x'))), QString());
}

TEST(Answers, OnlyA2xxWithAStringIdIsAccepted) {
    EXPECT_EQ(Outcome::ofAnswer(200, R"({"id":"R-1"})").id, u"R-1"_s);
    EXPECT_EQ(Outcome::ofAnswer(299, R"({"id":"R-2"})").id, u"R-2"_s);
    const std::tuple<int, QByteArray, QString> refusals[] = {
        {200, R"({"id":5})", u"Orrinvale answered 200."_s},
        {201, "R-1", u"Orrinvale answered 201."_s},
        {200, R"(["id","R-1"])", u"Orrinvale answered 200."_s},
        {300, R"({"id":"R-3"})", u"Orrinvale answered 300."_s},
        {503, R"({"error":"busy"})", u"Orrinvale said: busy."_s},
        {200, R"({"error":"no text"})", u"Orrinvale said: no text."_s},
        {400, R"({"error":{"code":1}})", u"Orrinvale answered 400."_s},
        {0, "", u"Orrinvale answered 0."_s},
    };
    for (const auto& [status, answer, reason] : refusals) {
        const Outcome outcome = Outcome::ofAnswer(status, answer);
        EXPECT_FALSE(outcome.id) << answer.toStdString();
        EXPECT_EQ(outcome.reason, reason);
    }
}

TEST(ReportText, ListsTheFactsTheTrimmedWordsAndTheWholeDiagnostics) {
    const Report report{facts, u"install-1"_s, u"one\ntwo\n"_s, u"\n  First.\n\nThen.  \n"_s};
    EXPECT_EQ(report.plainText(u"ACME"_s),
              u"ACME problem report\nVersion   1.2 (34)\nLinux     Linux 6.1\n"
              "Computer  ThinkPad X1\nInstall   install-1\n\nWhat happened:\nFirst.\n\nThen.\n\n"
              "===== diagnostics =====\none\ntwo\n"_s);
}

TEST(Facts, FallBackWhereTheBundleAndFirmwareSayNothing) {
    const Bundle bare(QVariantMap{{u"CFBundleVersion"_s, 7}}, QString());
    EXPECT_EQ(Facts::of(bare, u"Linux"_s, u"m"_s),
              (Facts{u"unknown"_s, u"?"_s, u"?"_s, u"Linux"_s, u"m"_s}));
    EXPECT_EQ(Facts::machineModelFrom("Standard PC (Q35)\n"), u"Standard PC (Q35)"_s);
    EXPECT_EQ(Facts::machineModelFrom(QByteArray("Pi 4\0junk", 9)), u"Pi 4"_s);
    EXPECT_EQ(Facts::machineModelFrom("Mod\xffl"), u"Mod\uFFFDl"_s);
    EXPECT_EQ(Facts::machineModelFrom(QByteArray("\0x", 2)), u"this computer (model unknown)"_s);
}

}  // namespace
}  // namespace pellucine::ReportProblem
