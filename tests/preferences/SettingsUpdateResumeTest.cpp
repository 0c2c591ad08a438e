#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>

#include "base/ManualScheduler.h"
#include "preferences/SettingsUpdateResume.h"
#include "support/FileTraps.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using Window = SettingsUpdateResume::WindowSummary;

QStringList warnings;
void captureWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg) {
        warnings << message;
    }
}

class SettingsUpdateResumeTest : public ::testing::Test {
  protected:
    testing::TempFolder temp;
    ManualScheduler scheduler;
    QList<Window> windows{{"PELLUCINE Settings", true}};
    SettingsUpdateResume resume{temp.paths(), scheduler.clocks().wall, scheduler,
                                [this] { return windows; }};
    QStringList opened;

    SettingsUpdateResume::SettingsOpener opener() {
        return [this](const QString& pane) { opened << pane; };
    }
    double nowSeconds() {
        return SettingsUpdateResume::referenceSeconds(scheduler.clocks().wall.now());
    }
    void writeReceipt(const QByteArray& data) {
        ASSERT_TRUE(QDir().mkpath(temp.paths().programSupportFolder()));
        QFile file(resume.receiptPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(data), data.size());
    }
    void writeReceipt(const QString& pane, double writtenAt) {
        writeReceipt(QJsonDocument(SettingsUpdateResume::Receipt{pane, writtenAt}.toJson())
                         .toJson(QJsonDocument::Compact));
    }
    bool receiptExists() const { return QFileInfo::exists(resume.receiptPath()); }
    // Resumes and runs the scheduler well past the delay.
    void launch() {
        resume.resumeIfNeeded(opener());
        scheduler.advance(5.0);
    }
};

TEST_F(SettingsUpdateResumeTest, ReceiptIsInTheProgramFolderInSecondsSince2001) {
    EXPECT_EQ(resume.receiptPath(), temp.path() + "/data/pellucine/settings-update-resume.json");
    scheduler.clocks().wall.set(QDateTime(QDate(2001, 1, 1), QTime(0, 1, 40, 250), Qt::UTC));
    resume.setLastSettingsPane("about");
    resume.rememberOpenSettings();
    QFile file(resume.receiptPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), R"({"pane":"about","writtenAt":100.25})");
}

TEST_F(SettingsUpdateResumeTest, ValidReceiptOpensItsPageOneSecondAfterLaunch) {
    resume.setLastSettingsPane("dock");
    resume.rememberOpenSettings();
    ASSERT_TRUE(receiptExists());
    scheduler.clocks().advance(seconds(599));

    resume.resumeIfNeeded(opener());
    EXPECT_FALSE(receiptExists());
    scheduler.runUntilIdle();
    scheduler.advance(0.999);
    EXPECT_TRUE(opened.isEmpty());
    scheduler.advance(0.001);
    EXPECT_EQ(opened, QStringList{"dock"});
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(SettingsUpdateResumeTest, ReceiptIsGoodForLessThanTenMinutes) {
    const struct {
        double age;
        bool opens;
    } cases[] = {{0, true},      {599, true}, {599.999, true}, {600, false},   {600.001, false},
                 {86400, false}, {-1, false}, {-60, false},    {-0.001, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.age);
        opened.clear();
        writeReceipt("switcher", nowSeconds() - c.age);
        launch();
        EXPECT_EQ(opened, c.opens ? QStringList{"switcher"} : QStringList{});
        EXPECT_FALSE(receiptExists());
    }
}

TEST_F(SettingsUpdateResumeTest, ReceiptsOfAnotherShapeAreRefusedAndDeleted) {
    const double now = nowSeconds();
    const QByteArray fine =
        QStringLiteral(R"({"pane":"general","writtenAt":%1})").arg(now - 10, 0, 'f', 3).toUtf8();
    const QByteArray cases[] = {
        R"({"pane":"","writtenAt":)" + QByteArray::number(now - 10, 'f', 3) + "}",
        R"({"pane":"general"})",
        R"({"writtenAt":)" + QByteArray::number(now - 10, 'f', 3) + "}",
        R"({"pane":"general","writtenAt":"2026-01-01T00:00:00Z"})",
        R"({"pane":7,"writtenAt":)" + QByteArray::number(now - 10, 'f', 3) + "}",
        // Seconds since 1970 instead of 2001: decades in the future.
        R"({"pane":"general","writtenAt":)" + QByteArray::number(now + 978307200.0, 'f', 3) + "}",
        // Only the settings pages are opened.
        R"({"pane":"privacy","writtenAt":)" + QByteArray::number(now - 10, 'f', 3) + "}",
        R"({"pane":"General","writtenAt":)" + QByteArray::number(now - 10, 'f', 3) + "}",
        "not json",
        "",
        "[]",
    };
    for (const QByteArray& data : cases) {
        SCOPED_TRACE(data.toStdString());
        writeReceipt(data);
        launch();
        EXPECT_TRUE(opened.isEmpty());
        EXPECT_FALSE(receiptExists());
    }
    writeReceipt(fine);
    launch();
    EXPECT_EQ(opened, QStringList{"general"});
}

TEST_F(SettingsUpdateResumeTest, ReceiptSizeLimitIs4095Bytes) {
    const QByteArray receipt =
        R"({"pane":"dock","writtenAt":)" + QByteArray::number(nowSeconds() - 1, 'f', 3) + "}";
    QByteArray largest = receipt;
    largest.insert(1, QByteArray(4095 - receipt.size(), ' '));
    ASSERT_EQ(largest.size(), 4095);
    writeReceipt(largest);
    launch();
    EXPECT_EQ(opened, QStringList{"dock"});

    QByteArray tooLarge = receipt;
    tooLarge.insert(1, QByteArray(4096 - receipt.size(), ' '));
    writeReceipt(tooLarge);
    launch();
    EXPECT_EQ(opened, QStringList{"dock"});
    EXPECT_FALSE(receiptExists());

    writeReceipt(receipt + QByteArray(10 * 1024 * 1024, ' '));
    launch();
    EXPECT_EQ(opened, QStringList{"dock"});
    EXPECT_FALSE(receiptExists());
}

TEST_F(SettingsUpdateResumeTest, FolderOrPipeAtTheReceiptPathIsNotRead) {
    ASSERT_TRUE(QDir().mkpath(resume.receiptPath()));
    launch();
    EXPECT_TRUE(opened.isEmpty());
    ASSERT_TRUE(QDir().rmdir(resume.receiptPath()));

    // Opening a pipe for reading would wait for a writer forever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(resume.receiptPath()).constData(), 0600), 0);
    launch();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(QFileInfo(resume.receiptPath()).exists());
}

TEST_F(SettingsUpdateResumeTest, AReceiptIsNeverWrittenThroughALinkAndHalfWrittenOnesGoAtLaunch) {
    ASSERT_TRUE(QDir().mkpath(temp.paths().programSupportFolder()));
    const QString elsewhere = temp.file("elsewhere.txt");
    testing::putFile(elsewhere, "not the program's");
    ASSERT_TRUE(QFile::link(elsewhere, resume.receiptPath()));
    resume.rememberOpenSettings();
    EXPECT_EQ(testing::fileContents(elsewhere), "not the program's");
    EXPECT_FALSE(QFileInfo(resume.receiptPath()).isSymLink());
    EXPECT_TRUE(testing::fileContents(resume.receiptPath()).startsWith(R"({"pane":"general")"));

    // What a run killed in the middle of a write left behind.
    const QString leftover = temp.paths().programSupportFolder() +
                             "/.settings-update-resume.json.pellucine-tmp-999999999-a1b2c3d4";
    testing::putFile(leftover, "{\"pa");
    launch();
    EXPECT_EQ(opened, QStringList{"general"});
    EXPECT_FALSE(QFileInfo::exists(leftover));
}

TEST_F(SettingsUpdateResumeTest, NoReceiptNoCall) {
    launch();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(SettingsUpdateResumeTest, WithoutAVisibleSettingsWindowAnOlderReceiptIsRemoved) {
    for (const QList<Window>& shown :
         {QList<Window>{}, QList<Window>{{"PELLUCINE Settings", false}},
          QList<Window>{{"PELLUCINE settings", true}}, QList<Window>{{"Window Search", true}}}) {
        writeReceipt("dock", nowSeconds());
        windows = shown;
        resume.rememberOpenSettings();
        EXPECT_FALSE(receiptExists());
    }
    // Nothing to remove is fine too.
    resume.rememberOpenSettings();
    EXPECT_FALSE(receiptExists());
}

TEST_F(SettingsUpdateResumeTest, PageComesFromTheLastPageShownNotFromTheWindow) {
    windows = {{"About PELLUCINE", true},
               {"PELLUCINE Settings — Dock", false},
               {"Settings", true},
               {"PELLUCINE Settings", true}};
    EXPECT_EQ(resume.lastSettingsPane(), "general");
    resume.rememberOpenSettings();
    resume.setLastSettingsPane("switcher");
    resume.rememberOpenSettings();
    launch();
    EXPECT_EQ(opened, QStringList{"switcher"});
}

TEST_F(SettingsUpdateResumeTest, FailureToWriteGoesToThePlatformLog) {
    // A plain file where Application Support should be.
    QFile blocker(temp.paths().applicationSupport);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureWarning);
    resume.rememberOpenSettings();
    qInstallMessageHandler(previous);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.first().startsWith("Could not remember Settings for update: "))
        << warnings.first().toStdString();
}

TEST_F(SettingsUpdateResumeTest, OpenRunsEvenIfTheResumerIsGone) {
    writeReceipt("about", nowSeconds());
    {
        SettingsUpdateResume shortLived(temp.paths(), scheduler.clocks().wall, scheduler, {});
        shortLived.resumeIfNeeded(opener());
    }
    scheduler.advance(1.0);
    EXPECT_EQ(opened, QStringList{"about"});
}

}  // namespace
}  // namespace pellucine
